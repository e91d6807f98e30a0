// The recording window's handlers of the folder deletion and process waits.
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
