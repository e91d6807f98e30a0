#pragma once
// What the benchmarks that measure item rows share: a window skin holding the
// main window's game list at its place, and game rows as the client builds
// them.

#include "core/ContainerUI.h"
#include "mainwindow/ItemRows.h"

#include <string>

constexpr wchar_t kGameListSkin[] =
    L"<Window><Font id=\"0\" name=\"微软雅黑\" size=\"14\" default=\"true\" />"
    L"<Font id=\"2\" name=\"微软雅黑\" size=\"12\" />"
    L"<VerticalLayout bkcolor=\"#FF1B1F27\" inset=\"307,154,53,14\">"
    L"<VerticalLayout name=\"game_list\" vscrollbar=\"true\" /></VerticalLayout></Window>";

inline void AddGameRows(CalUI::CContainerUI* list, int rows)
{
    for (int i = 0; i < rows; ++i) {
        ItemRowFace face;
        face.id = std::to_wstring(10000 + i);
        face.name = L"星海征途 完整客户端 " + std::to_wstring(i);
        face.detail = L"星海征途正式版完整客户端，含全部资源";
        face.size = std::to_wstring(3221225472ll + i);
        face.installed = i % 7 == 0;
        list->Add(BuildItemRow(RowKind::kGame, face));
    }
}
