// The recording window's handlers of the folder deletion, the process waits
// and the launcher installers.
#include "RecordingWnd.h"

#include <memory>

void CRecordingWnd::RecordProcessWait(const char* handler, UINT_PTR record)
{
    std::unique_ptr<ProcessWaitParam> wait(reinterpret_cast<ProcessWaitParam*>(record));
    ReceivedCall& call = Record(handler, record);
    call.waitItem = wait->item;
    call.waitProcess = wait->process;
}

void CRecordingWnd::OnDeleteFilesFailed(UINT_PTR first, UINT_PTR second)
{
    RecordText("OnDeleteFilesFailed", first, second);
}

void CRecordingWnd::OnJiasuqiUninstallerExited(UINT_PTR first, UINT_PTR)
{
    RecordProcessWait("OnJiasuqiUninstallerExited", first);
}

void CRecordingWnd::OnJiasuqiInstallerExited(UINT_PTR first, UINT_PTR)
{
    RecordProcessWait("OnJiasuqiInstallerExited", first);
}

void CRecordingWnd::OnNexonLauncherDone(UINT_PTR first, UINT_PTR)
{
    std::unique_ptr<GameInfo> record(reinterpret_cast<GameInfo*>(first));
    Record("OnNexonLauncherDone", first).itemId = record->game_id;
}

void CRecordingWnd::OnReflectionLauncherDone(UINT_PTR first, UINT_PTR)
{
    std::unique_ptr<GameInfo> record(reinterpret_cast<GameInfo*>(first));
    Record("OnReflectionLauncherDone", first).itemId = record->game_id;
}
