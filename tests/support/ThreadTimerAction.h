#pragma once
// Runs an action from inside whichever message loop the test's thread runs
// `delayMs` from now: the way a test acts while a modal loop (a dialog, a
// box) holds the thread. One action is pending at a time; an action may
// schedule the next.

#include <windows.h>

#include <functional>

void RunFromTheLoopIn(DWORD delayMs, std::function<void()> action);
