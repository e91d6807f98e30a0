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

void WaitUntilSteady(const std::string& what, const std::function<bool()>& done, DWORD steadyMs, DWORD limitMs)
{
    DWORD since = 0;
    bool holding = false;
    WaitUntil(
        what + " (steady for " + std::to_string(steadyMs) + " ms)",
        [&] {
            if (!done()) {
                holding = false;
                return false;
            }
            if (!holding) {
                holding = true;
                since = GetTickCount();
            }
            return GetTickCount() - since >= steadyMs;
        },
        limitMs);
}

void PumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
        PumpWaitingMessages();
    }
}
