// The pictures of the game, plug-in and accelerator rows as their batches
// bring them: each sets the first child of the row whose tag is the record.

#include "mainwindow/MainWnd.h"

#include "core/ContainerUI.h"

using namespace CalUI;

namespace {

template <class Batches>
void SetRowIcon(CWindowManagerUI& manager, LPCWSTR listName, Batches& batches, UINT_PTR list, UINT_PTR index)
{
    const auto* batch = reinterpret_cast<const typename Batches::List*>(list);
    if (!batches.Contains(batch) || index >= batch->size())
        return;
    const auto* record = (*batch)[index];
    if (auto* rows = static_cast<CContainerUI*>(manager.FindControl(listName))) {
        for (int i = 0; i < rows->GetCount(); ++i) {
            auto* row = static_cast<CContainerUI*>(rows->GetItemAt(i));
            if (row->GetTag() == reinterpret_cast<UINT_PTR>(record)) {
                if (CControlUI* icon = row->GetItemAt(0))
                    icon->SetBkImage(record->local_icon.c_str());
                break;
            }
        }
    }
    batches.FinishIfLast(batch, index);
}

}  // namespace

void CMainWnd::OnGameIconReady(UINT_PTR list, UINT_PTR index)
{
    SetRowIcon(m_manager, L"game_list", m_gameIconBatches, list, index);
}

void CMainWnd::OnPluginIconReady(UINT_PTR list, UINT_PTR index)
{
    SetRowIcon(m_manager, L"plugin_list", m_pluginIconBatches, list, index);
}

void CMainWnd::OnJiasuqiIconReady(UINT_PTR list, UINT_PTR index)
{
    SetRowIcon(m_manager, L"jiasuqi_list", m_jiasuqiIconBatches, list, index);
}
