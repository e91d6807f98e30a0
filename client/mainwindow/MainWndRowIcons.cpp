// The rows' icons: the icon worker of a list's batch reports each record as
// soon as its icon is cached, and the record's row shows it.

#include "mainwindow/MainWnd.h"

#include <deque>

using namespace CalUI;

namespace {

// The row of the record in the list, by its tag; null when it has gone.
CControlUI* RowOfRecord(CWindowManagerUI& manager, LPCWSTR listName, const void* record)
{
    auto* list = static_cast<CContainerUI*>(
        manager.FindControl(listName) != nullptr ? manager.FindControl(listName)->GetInterface(L"Container") : nullptr);
    for (int i = 0; list != nullptr && i < list->GetCount(); ++i) {
        if (list->GetItemAt(i)->GetTag() == reinterpret_cast<UINT_PTR>(record))
            return list->GetItemAt(i);
    }
    return nullptr;
}

template <class Record>
void ShowIcon(CWindowManagerUI& manager, LPCWSTR listName, CIconBatchList<Record>& batches, UINT_PTR list,
              UINT_PTR index)
{
    const auto* records = reinterpret_cast<const std::deque<Record*>*>(list);
    // A batch already released has no records left to show.
    if (!batches.Holds(records) || index >= records->size())
        return;
    const Record* record = (*records)[index];
    if (CControlUI* icon = RowChildOf(RowOfRecord(manager, listName, record), RowChild::kIcon))
        icon->SetBkImage(record->local_icon.c_str());
    batches.IconReady(records, index);
}

}  // namespace

void CMainWnd::OnGameIconReady(UINT_PTR list, UINT_PTR index)
{
    ShowIcon(m_manager, L"game_list", m_gameIcons, list, index);
}

void CMainWnd::OnPluginIconReady(UINT_PTR list, UINT_PTR index)
{
    ShowIcon(m_manager, L"plugin_list", m_pluginIcons, list, index);
}

void CMainWnd::OnJiasuqiIconReady(UINT_PTR list, UINT_PTR index)
{
    ShowIcon(m_manager, L"jiasuqi_list", m_jiasuqiIcons, list, index);
}
