#include "mainwindow/ItemRows.h"

#include <cwchar>
#include <iterator>

#include "controls/ButtonUI.h"
#include "controls/LabelUI.h"

using namespace CalUI;

namespace {

constexpr DWORD kMainTextColour = 0xFFFFFFFF;
constexpr DWORD kSecondaryTextColour = 0xFFA1A1A1;
constexpr DWORD kSpeedColour = 0xFF43CF7C;
constexpr int kDetailFont = 2;
constexpr int kRowHeight = 64;

// The places of the children that move with the row's width: game and
// plug-in rows are 840 wide, accelerator rows 1040.
struct RowGeometry
{
    int width;
    RECT name, detail, speed, size, status, download, cancel;
};

const RowGeometry& GeometryOf(RowKind kind)
{
    static const RowGeometry game = {840,
                                     {76, 12, 476, 32},
                                     {76, 32, 476, 52},
                                     {497, 22, 557, 42},
                                     {575, 22, 675, 42},
                                     {683, 22, 754, 42},
                                     {759, 20, 826, 44},
                                     {779, 20, 803, 44}};
    static const RowGeometry plugin = {840,
                                       {76, 12, 476, 32},
                                       {76, 32, 476, 52},
                                       {497, 22, 557, 42},
                                       {575, 22, 675, 42},
                                       {680, 22, 764, 42},
                                       {759, 20, 826, 44},
                                       {779, 20, 803, 44}};
    static const RowGeometry jiasuqi = {1040,
                                        {76, 12, 676, 32},
                                        {76, 32, 676, 52},
                                        {697, 22, 757, 42},
                                        {765, 22, 875, 42},
                                        {890, 22, 954, 42},
                                        {959, 20, 1026, 44},
                                        {979, 20, 1003, 44}};
    switch (kind) {
    case RowKind::kPlugin:
        return plugin;
    case RowKind::kJiasuqi:
        return jiasuqi;
    case RowKind::kGame:
        break;
    }
    return game;
}

// Float children keep their place through the container's layouts.
template <class Control>
Control* AddFloat(CContainerUI& row, Control* control, const RECT& place)
{
    control->SetFloat(true);
    control->SetFixedXY({place.left, place.top});
    control->SetFixedWidth(place.right - place.left);
    control->SetFixedHeight(place.bottom - place.top);
    row.Add(control);
    return control;
}

CLabelUI* AddLabel(CContainerUI& row, const RECT& place, DWORD colour, LPCWSTR text, bool smallFont)
{
    CLabelUI* label = AddFloat(row, new CLabelUI, place);
    label->SetTextColor(colour);
    if (smallFont)
        label->SetFont(kDetailFont);
    label->SetText(text);
    return label;
}

CButtonUI* AddImageButton(CContainerUI& row, const RECT& place, LPCWSTR name, LPCWSTR text, LPCWSTR normal, LPCWSTR hot)
{
    CButtonUI* button = AddFloat(row, new CButtonUI, place);
    button->SetName(name);
    button->SetAttribute(L"align", L"left");
    button->SetTextColor(kMainTextColour);
    button->SetTextPadding({27, 0, 0, 0});
    button->SetText(text);
    button->SetNormalImage(normal);
    button->SetHotImage(hot);
    return button;
}

}  // namespace

int RowWidth(RowKind kind) { return GeometryOf(kind).width; }

LPCWSTR DownloadButtonName(RowKind kind)
{
    switch (kind) {
    case RowKind::kPlugin:
        return L"plugin_download_btn";
    case RowKind::kJiasuqi:
        return L"jiasuqi_download_btn";
    case RowKind::kGame:
        break;
    }
    return L"game_download_btn";
}

LPCWSTR CancelButtonName(RowKind kind)
{
    switch (kind) {
    case RowKind::kPlugin:
        return L"plugin_canceldownload_btn";
    case RowKind::kJiasuqi:
        return L"jiasuqi_canceldownload_btn";
    case RowKind::kGame:
        break;
    }
    return L"game_canceldownload_btn";
}

LPCWSTR ViewButtonName(RowKind kind)
{
    switch (kind) {
    case RowKind::kPlugin:
        return L"plugin_unintall_btn";
    case RowKind::kJiasuqi:
        return L"jiasuqi_unintall_btn";
    case RowKind::kGame:
        break;
    }
    return L"game_unintall_btn";
}

CContainerUI* BuildItemRow(RowKind kind, const ItemRowFace& face)
{
    const RowGeometry& at = GeometryOf(kind);
    auto* row = new CContainerUI;
    row->SetFixedWidth(at.width);
    row->SetFixedHeight(kRowHeight);
    row->SetTag(face.record);
    if (kind != RowKind::kJiasuqi)
        row->SetUserData(face.id.c_str());

    AddFloat(*row, new CControlUI, {20, 12, 60, 52});
    AddLabel(*row, at.name, kMainTextColour, face.name.c_str(), false);
    CLabelUI* detail = AddLabel(*row, at.detail, kSecondaryTextColour, face.detail.c_str(), true);
    detail->SetToolTip(face.detail.c_str());
    detail->SetAttribute(L"endellipsis", L"true");
    AddLabel(*row, at.speed, kSpeedColour, L"", true)->SetVisible(false);
    AddLabel(*row, at.size, kMainTextColour, SizeTextOf(face.size).c_str(), true);
    CLabelUI* status = AddLabel(*row, at.status, kMainTextColour, face.installed ? L"已安装" : L"", true);
    status->SetVisible(face.installed);

    CButtonUI* download =
        AddImageButton(*row, at.download, DownloadButtonName(kind), kind == RowKind::kPlugin ? L"安装" : L"下载",
                       L"img/download.png", L"img/download_hot.png");
    download->SetVisible(!face.installed);

    CControlUI* bar = AddFloat(*row, new CControlUI, {0, 0, 0, kRowHeight});
    bar->SetBkImage(L"img/process.png");
    bar->SetVisible(false);

    CButtonUI* cancel = AddFloat(*row, new CButtonUI, at.cancel);
    cancel->SetName(CancelButtonName(kind));
    cancel->SetToolTip(L"取消下载");
    cancel->SetBkImage(L"img/cancel.png");
    cancel->SetVisible(false);

    CButtonUI* view =
        AddImageButton(*row, at.download, ViewButtonName(kind), kind == RowKind::kJiasuqi ? L"卸载" : L"查看",
                       L"img/view.png", L"img/view_hot.png");
    view->SetVisible(face.installed);
    return row;
}

CControlUI* RowChildOf(CControlUI* row, RowChild child)
{
    auto* container = row != nullptr ? static_cast<CContainerUI*>(row->GetInterface(L"Container")) : nullptr;
    return container != nullptr ? container->GetItemAt(static_cast<int>(child)) : nullptr;
}

std::wstring SizeText(int64_t bytes)
{
    // Nothing is smaller than nothing: a negative count would wrap below.
    const int64_t kb = bytes > 0 ? bytes / 1024 : 0;
    const uint64_t mb = static_cast<uint64_t>(kb) / 1024;
    const double gb = static_cast<double>(mb) / 1024.0;
    wchar_t text[256] = {};
    if (gb > 2.0)
        std::swprintf(text, std::size(text), L"%.02fGB", gb);
    else if (mb > 10)
        std::swprintf(text, std::size(text), L"%lluMB", static_cast<unsigned long long>(mb));
    else
        std::swprintf(text, std::size(text), L"%lldKB", static_cast<long long>(kb));
    return text;
}

std::wstring SizeTextOf(const std::wstring& decimalBytes)
{
    // wcstoll saturates instead of overflowing and stops at the first
    // character that is no digit, as the list's texts need.
    return SizeText(std::wcstoll(decimalBytes.c_str(), nullptr, 10));
}

CContainerUI* AsContainer(CControlUI* control)
{
    return control != nullptr ? static_cast<CContainerUI*>(control->GetInterface(L"Container")) : nullptr;
}
