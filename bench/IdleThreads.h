#pragma once
// What a thread that only waits costs the process, by the benchmark's own
// measure (private bytes, working set), taken over a few such threads. Every
// worker of the client, one per running download, pays it; under Wine it is
// about 1 MB, on Windows the few stack pages a thread has touched.

#include <windows.h>

#include <vector>

inline DWORD WINAPI WaitForRelease(void* event) { return WaitForSingleObject(event, INFINITE); }

// `measure` gives the figure in bytes; `settle` lets the threads start.
template <class Measure, class Settle>
double IdleThreadCost(Measure measure, Settle settle)
{
    constexpr int kThreads = 10;
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const double before = measure();
    std::vector<HANDLE> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.push_back(CreateThread(nullptr, 0, &WaitForRelease, release, 0, nullptr));
    settle();
    const double cost = (measure() - before) / kThreads;
    SetEvent(release);
    WaitForMultipleObjects(kThreads, threads.data(), TRUE, INFINITE);
    for (HANDLE thread : threads)
        CloseHandle(thread);
    CloseHandle(release);
    return cost;
}
