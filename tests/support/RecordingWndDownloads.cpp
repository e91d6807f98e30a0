// The main window's download task handlers of the recording window. Game and
// plug-in calls free the heap record copy, the id text and the message they
// take over; accelerator calls leave the row's record alone. Progress calls
// read the task's record, and the item it points to, when they run.
#include "RecordingWnd.h"

#include <memory>

namespace {
std::wstring ProgressItemId(const TaskProgress& progress)
{
    switch (progress.kind) {
    case 1:
        return static_cast<const GameInfo*>(progress.item)->game_id;
    case 2:
        return static_cast<const PluginInfo*>(progress.item)->plugins_id;
    case 3:
        return static_cast<const JiasuqiInfo*>(progress.item)->software_id;
    default:
        return L"?";
    }
}

const std::wstring& IdOf(const GameInfo& record) { return record.game_id; }
const std::wstring& IdOf(const PluginInfo& record) { return record.plugins_id; }
}  // namespace

template <class Record>
void CRecordingWnd::RecordItemCopy(const char* handler, UINT_PTR record, UINT_PTR message)
{
    std::unique_ptr<Record> copy(reinterpret_cast<Record*>(record));
    RecordText(handler, record, message);
    m_log->back().itemId = IdOf(*copy);
}

void CRecordingWnd::RecordRowRecord(const char* handler, UINT_PTR record, UINT_PTR message)
{
    RecordText(handler, record, message);
    m_log->back().itemId = reinterpret_cast<const JiasuqiInfo*>(record)->software_id;
}

void CRecordingWnd::RecordProgress(const char* handler, UINT_PTR progress, UINT_PTR speed)
{
    const TaskProgress& record = *reinterpret_cast<const TaskProgress*>(progress);
    ReceivedCall& call = Record(handler, progress);
    call.second = speed;
    call.progress = record;
    call.itemId = ProgressItemId(record);
}

void CRecordingWnd::OnGameDownloadFailed(UINT_PTR first, UINT_PTR second)
{
    RecordItemCopy<GameInfo>("OnGameDownloadFailed", first, second);
}

void CRecordingWnd::OnGameDownloadDone(UINT_PTR first, UINT_PTR)
{
    std::unique_ptr<std::wstring> id(reinterpret_cast<std::wstring*>(first));
    Record("OnGameDownloadDone", first).itemId = *id;
}

void CRecordingWnd::OnGameVerifyDone(UINT_PTR first, UINT_PTR second)
{
    RecordItemCopy<GameInfo>("OnGameVerifyDone", first, 0);
    m_log->back().second = second;
}

void CRecordingWnd::OnGameVerifyFailed(UINT_PTR first, UINT_PTR second)
{
    RecordItemCopy<GameInfo>("OnGameVerifyFailed", first, second);
}

void CRecordingWnd::OnGameInstallDone(UINT_PTR first, UINT_PTR second)
{
    RecordItemCopy<GameInfo>("OnGameInstallDone", first, 0);
    m_log->back().second = second;
}

void CRecordingWnd::OnGameUnzipFailed(UINT_PTR first, UINT_PTR second)
{
    RecordItemCopy<GameInfo>("OnGameUnzipFailed", first, second);
}

void CRecordingWnd::OnGameDownloadProgress(UINT_PTR first, UINT_PTR second)
{
    RecordProgress("OnGameDownloadProgress", first, second);
}

void CRecordingWnd::OnGameVerifyProgress(UINT_PTR first, UINT_PTR second)
{
    RecordProgress("OnGameVerifyProgress", first, second);
}

void CRecordingWnd::OnGameUnzipProgress(UINT_PTR first, UINT_PTR second)
{
    RecordProgress("OnGameUnzipProgress", first, second);
}

void CRecordingWnd::OnPluginDownloadFailed(UINT_PTR first, UINT_PTR second)
{
    RecordItemCopy<PluginInfo>("OnPluginDownloadFailed", first, second);
}

void CRecordingWnd::OnPluginDownloadDone(UINT_PTR first, UINT_PTR)
{
    std::unique_ptr<std::wstring> id(reinterpret_cast<std::wstring*>(first));
    Record("OnPluginDownloadDone", first).itemId = *id;
}

void CRecordingWnd::OnPluginVerifyDone(UINT_PTR first, UINT_PTR second)
{
    RecordItemCopy<PluginInfo>("OnPluginVerifyDone", first, 0);
    m_log->back().second = second;
}

void CRecordingWnd::OnPluginVerifyFailed(UINT_PTR first, UINT_PTR second)
{
    RecordItemCopy<PluginInfo>("OnPluginVerifyFailed", first, second);
}

void CRecordingWnd::OnPluginInstallDone(UINT_PTR first, UINT_PTR second)
{
    RecordItemCopy<PluginInfo>("OnPluginInstallDone", first, 0);
    m_log->back().second = second;
}

void CRecordingWnd::OnPluginUnzipFailed(UINT_PTR first, UINT_PTR second)
{
    RecordItemCopy<PluginInfo>("OnPluginUnzipFailed", first, second);
}

void CRecordingWnd::OnPluginDownloadProgress(UINT_PTR first, UINT_PTR second)
{
    RecordProgress("OnPluginDownloadProgress", first, second);
}

void CRecordingWnd::OnPluginVerifyProgress(UINT_PTR first, UINT_PTR second)
{
    RecordProgress("OnPluginVerifyProgress", first, second);
}

void CRecordingWnd::OnPluginUnzipProgress(UINT_PTR first, UINT_PTR second)
{
    RecordProgress("OnPluginUnzipProgress", first, second);
}

void CRecordingWnd::OnJiasuqiDownloadFailed(UINT_PTR first, UINT_PTR second)
{
    RecordRowRecord("OnJiasuqiDownloadFailed", first, second);
}

void CRecordingWnd::OnJiasuqiDownloadDone(UINT_PTR first, UINT_PTR)
{
    RecordRowRecord("OnJiasuqiDownloadDone", first, 0);
}

void CRecordingWnd::OnJiasuqiVerifyDone(UINT_PTR first, UINT_PTR) { RecordRowRecord("OnJiasuqiVerifyDone", first, 0); }

void CRecordingWnd::OnJiasuqiVerifyFailed(UINT_PTR first, UINT_PTR second)
{
    RecordRowRecord("OnJiasuqiVerifyFailed", first, second);
}

void CRecordingWnd::OnJiasuqiDownloadProgress(UINT_PTR first, UINT_PTR second)
{
    RecordProgress("OnJiasuqiDownloadProgress", first, second);
}

void CRecordingWnd::OnJiasuqiVerifyProgress(UINT_PTR first, UINT_PTR second)
{
    RecordProgress("OnJiasuqiVerifyProgress", first, second);
}
