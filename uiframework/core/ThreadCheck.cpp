#include "core/ThreadCheck.h"

#ifdef CALVERIN_CHECK_THREADS

#include <cstdio>
#include <cstdlib>

namespace CalUI {

// The framework keeps no log file, so the report goes where a debugger and
// the test runner see it, and the stop comes at once, before the foreign
// thread touches anything.
void RequireWindowThread(HWND window, const char* entry)
{
    if (window == nullptr)
        return;
    const DWORD owner = GetWindowThreadProcessId(window, nullptr);
    const DWORD caller = GetCurrentThreadId();
    if (owner == 0 || owner == caller)
        return;
    char report[256];
    std::snprintf(report, sizeof report, "%s entered on thread %lu, not on its window's thread %lu\n", entry,
                  static_cast<unsigned long>(caller), static_cast<unsigned long>(owner));
    OutputDebugStringA(report);
    std::fputs(report, stderr);
    std::fflush(stderr);
    std::abort();
}

}  // namespace CalUI

#endif
