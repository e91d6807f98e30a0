#pragma once
// Runs an action from inside whichever message loop the test's thread runs
// `delayMs` from now: the way a test acts while a modal loop (a dialog, a
// box) holds the thread. One action is pending at a time; an action may
// schedule the next.

#include <windows.h>

#include <functional>

void RunFromTheLoopIn(DWORD delayMs, std::function<void()> action);

// Forgets the pending action, for a loop that ended before its action ran:
// nothing it captured may run later in another loop.
void DropPendingLoopAction();

// From inside the running loop: once `ready` holds (checked every 50 ms, at
// most `limitMs`), runs `then`; when it never does, runs `timedOut`.
void RunFromTheLoopWhen(std::function<bool()> ready, std::function<void()> then, std::function<void()> timedOut,
                        DWORD limitMs = 15000);
