// Progress of the rows' tasks: about once a second a task's worker queues its
// figures, and the task's row shows them in the running look.

#include "mainwindow/MainWnd.h"

using namespace CalUI;

namespace {

constexpr wchar_t kDownloadStage[] = L"已下载%.1f%%";
constexpr wchar_t kCheckStage[] = L"校验中%.1f%%";
constexpr wchar_t kUnpackStage[] = L"解压中%.1f%%";

TaskItem ItemOfTask(const TaskProgress& task)
{
    switch (static_cast<RowKind>(task.kind)) {
    case RowKind::kGame:
        return TaskItem{task.kind, static_cast<const GameInfo*>(task.item)->game_id};
    case RowKind::kPlugin:
        return TaskItem{task.kind, static_cast<const PluginInfo*>(task.item)->plugins_id};
    case RowKind::kJiasuqi:
        return TaskItem{task.kind, static_cast<const JiasuqiInfo*>(task.item)->software_id};
    }
    return TaskItem();
}

}  // namespace

// The progress record stays valid here: a task frees it only after the
// window has run every call that names it.
void CMainWnd::ShowProgress(UINT_PTR progress, UINT_PTR speedKb, const wchar_t* stageFormat)
{
    const TaskProgress& task = *reinterpret_cast<const TaskProgress*>(progress);
    // Queued before a cancel or a stop of all tasks: the row keeps what the
    // cancel or the stop left.
    if (task.run_flag == 0 || task.item == nullptr)
        return;
    const TaskItem item = ItemOfTask(task);
    const auto* record =
        task.kind == static_cast<int32_t>(RowKind::kJiasuqi) ? static_cast<const JiasuqiInfo*>(task.item) : nullptr;
    if (m_cancelledItems.count({item.kind, item.id}) != 0) {
        // Cancelled before it was registered: it stops now that it shows up.
        g_sessionData.FindTaskFlag(task.thread_id, item).Clear();
        return;
    }
    CControlUI* row = FindTaskRow(item, record);
    const RowKind kind = static_cast<RowKind>(task.kind);
    const int width = row != nullptr ? row->GetFixedWidth() : RowWidth(kind);
    const ProgressFigures figures{task.done, task.total, static_cast<uint32_t>(speedKb)};
    ShowTaskLook(row, item, task.thread_id, RunningLook(kind, stageFormat, figures, width, task.thread_id));
}

void CMainWnd::OnGameDownloadProgress(UINT_PTR progress, UINT_PTR speedKb)
{
    ShowProgress(progress, speedKb, kDownloadStage);
}
void CMainWnd::OnGameVerifyProgress(UINT_PTR progress, UINT_PTR speedKb)
{
    ShowProgress(progress, speedKb, kCheckStage);
}
void CMainWnd::OnGameUnzipProgress(UINT_PTR progress, UINT_PTR speedKb)
{
    ShowProgress(progress, speedKb, kUnpackStage);
}
void CMainWnd::OnPluginDownloadProgress(UINT_PTR progress, UINT_PTR speedKb)
{
    ShowProgress(progress, speedKb, kDownloadStage);
}
void CMainWnd::OnPluginVerifyProgress(UINT_PTR progress, UINT_PTR speedKb)
{
    ShowProgress(progress, speedKb, kCheckStage);
}
void CMainWnd::OnPluginUnzipProgress(UINT_PTR progress, UINT_PTR speedKb)
{
    ShowProgress(progress, speedKb, kUnpackStage);
}
void CMainWnd::OnJiasuqiDownloadProgress(UINT_PTR progress, UINT_PTR speedKb)
{
    ShowProgress(progress, speedKb, kDownloadStage);
}
void CMainWnd::OnJiasuqiVerifyProgress(UINT_PTR progress, UINT_PTR speedKb)
{
    ShowProgress(progress, speedKb, kCheckStage);
}
