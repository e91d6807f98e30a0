#pragma once
// A paint manager and its controls belong to the thread that made their paint
// window: nothing of them takes a lock, so another thread that enters them
// corrupts the tree at some later, unrelated moment. Builds compiled with
// CALVERIN_CHECK_THREADS (the test builds) stop at the faulty entry instead;
// other builds check nothing.

#include <windows.h>

namespace CalUI {

#ifdef CALVERIN_CHECK_THREADS
// Logs to the debugger output and stderr, naming `entry` and both threads,
// and stops the program when the calling thread is not the one that made
// `window`. A null or destroyed window names no thread and passes.
void RequireWindowThread(HWND window, const char* entry);
#else
inline void RequireWindowThread(HWND, const char*) {}
#endif

}  // namespace CalUI
