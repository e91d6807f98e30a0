#include "ThreadTimerAction.h"

namespace {

std::function<void()>& Pending()
{
    static std::function<void()> pending;
    return pending;
}

void CALLBACK RunPending(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    std::function<void()> action = std::move(Pending());
    Pending() = nullptr;
    if (action)
        action();
}

}  // namespace

void RunFromTheLoopIn(DWORD delayMs, std::function<void()> action)
{
    Pending() = std::move(action);
    SetTimer(nullptr, 0, delayMs, RunPending);
}

void DropPendingLoopAction() { Pending() = nullptr; }

void RunFromTheLoopWhen(std::function<bool()> ready, std::function<void()> then, std::function<void()> timedOut,
                        DWORD limitMs)
{
    if (ready()) {
        then();
        return;
    }
    if (limitMs < 50) {
        timedOut();
        return;
    }
    RunFromTheLoopIn(50, [=] { RunFromTheLoopWhen(ready, then, timedOut, limitMs - 50); });
}
