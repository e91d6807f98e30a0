#include "Waiting.h"

namespace {

constexpr DWORD kPollMs = 20;

void PumpWaitingMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

void WaitUntil(const std::string& what, const std::function<bool()>& done, DWORD limitMs)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > limitMs)
            throw DriverTimeout("timed out after " + std::to_string(limitMs) + " ms waiting for " + what);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
        PumpWaitingMessages();
    }
}

void PumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
        PumpWaitingMessages();
    }
}
