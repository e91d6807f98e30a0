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
    std::unique_ptr<std::wstring> folder(reinterpret_cast<std::wstring*>(first));
    std::unique_ptr<std::wstring> message(reinterpret_cast<std::wstring*>(second));
    ReceivedCall& call = Record("OnDeleteFilesFailed", first);
    call.itemId = folder ? *folder : std::wstring();
    call.hasText = message != nullptr;
    if (message)
        call.text = *message;
}

void CRecordingWnd::OnFolderDeleted(UINT_PTR first, UINT_PTR)
{
    std::unique_ptr<std::wstring> folder(reinterpret_cast<std::wstring*>(first));
    Record("OnFolderDeleted", first).itemId = folder ? *folder : std::wstring();
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
