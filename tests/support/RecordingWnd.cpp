#include "RecordingWnd.h"

#include <memory>

CRecordingWnd::CRecordingWnd(CallLog* log) : m_log(log), m_window([this] { DispatchMsgs(); }) {}

// The workers stop before the window goes, as in the client's windows.
CRecordingWnd::~CRecordingWnd() { m_threads.TerminateAll(); }

bool CRecordingWnd::WaitForCalls(size_t count, DWORD limitMs)
{
    const DWORD start = GetTickCount();
    while (m_log->size() < count) {
        if (GetTickCount() - start > limitMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

ReceivedCall& CRecordingWnd::Record(const char* handler, UINT_PTR first)
{
    ReceivedCall call;
    call.window = this;
    call.handler = handler;
    call.first = first;
    call.thread = GetCurrentThreadId();
    m_log->push_back(call);
    return m_log->back();
}

void CRecordingWnd::RecordText(const char* handler, UINT_PTR first, UINT_PTR text)
{
    std::unique_ptr<std::wstring> message(reinterpret_cast<std::wstring*>(text));
    ReceivedCall& call = Record(handler, first);
    call.hasText = message != nullptr;
    if (message)
        call.text = *message;
}

void CRecordingWnd::OnCodeLoginDone(UINT_PTR first, UINT_PTR) { Record("OnCodeLoginDone", first); }
void CRecordingWnd::OnCodeLoginFailed(UINT_PTR first, UINT_PTR second)
{
    RecordText("OnCodeLoginFailed", first, second);
}
void CRecordingWnd::OnPasswordLoginDone(UINT_PTR first, UINT_PTR) { Record("OnPasswordLoginDone", first); }

void CRecordingWnd::OnPasswordLoginFailed(UINT_PTR first, UINT_PTR second)
{
    RecordText("OnPasswordLoginFailed", first, second);
}

void CRecordingWnd::OnTokenLoginDone(UINT_PTR first, UINT_PTR) { Record("OnTokenLoginDone", first); }
void CRecordingWnd::OnTokenLoginFailed(UINT_PTR first, UINT_PTR second)
{
    RecordText("OnTokenLoginFailed", first, second);
}
void CRecordingWnd::OnSendCodeDone(UINT_PTR first, UINT_PTR) { Record("OnSendCodeDone", first); }
void CRecordingWnd::OnSendCodeFailed(UINT_PTR first, UINT_PTR second) { RecordText("OnSendCodeFailed", first, second); }
void CRecordingWnd::OnSetPassDone(UINT_PTR first, UINT_PTR) { Record("OnSetPassDone", first); }
void CRecordingWnd::OnSetPassFailed(UINT_PTR first, UINT_PTR second) { RecordText("OnSetPassFailed", first, second); }

void CRecordingWnd::OnBindDone(UINT_PTR first, UINT_PTR)
{
    std::unique_ptr<AccountParam> record(reinterpret_cast<AccountParam*>(first));
    Record("OnBindDone", 0).account = *record;
}

void CRecordingWnd::OnBindFailed(UINT_PTR first, UINT_PTR second) { RecordText("OnBindFailed", first, second); }
void CRecordingWnd::OnSessionExpired(UINT_PTR first, UINT_PTR) { Record("OnSessionExpired", first); }
void CRecordingWnd::OnServerError(UINT_PTR first, UINT_PTR second) { RecordText("OnServerError", first, second); }

void CRecordingWnd::OnCheckVersionReply(UINT_PTR first, UINT_PTR second)
{
    ReceivedCall& call = Record("OnCheckVersionReply", first);
    if (first == 1) {
        std::unique_ptr<std::string> updateText(reinterpret_cast<std::string*>(second));
        call.bytes = *updateText;
    }
}

void CRecordingWnd::OnCheckVersionFailed(UINT_PTR first, UINT_PTR second)
{
    RecordText("OnCheckVersionFailed", first, second);
}

void CRecordingWnd::OnGetConfigDone(UINT_PTR first, UINT_PTR) { Record("OnGetConfigDone", first); }
void CRecordingWnd::OnGetConfigFailed(UINT_PTR first, UINT_PTR second)
{
    RecordText("OnGetConfigFailed", first, second);
}
