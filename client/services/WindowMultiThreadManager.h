#pragma once
// Runs a window's background work on threads of its own and brings that work to
// an end before the window goes.
//
// Stopping is cooperative: TerminateAll raises the manager's stop request and
// waits until every worker has returned. Workers never get killed where they
// stand, so no lock (the log's, a call queue's, the task registry's) and no heap
// block is ever left owned by a vanished thread. In return every wait a worker
// makes must end on the stop request: the HTTP client's transfers abort by
// themselves, and the workers' own waits use WaitForStop or GetStopEvent.

#include "services/CritLock.h"

#include <windows.h>

#include <atomic>
#include <map>
#include <vector>

class CWindowMultiThreadManager
{
public:
    // A worker: one pointer-sized parameter whose record the worker or the
    // window owns; the manager never reads it.
    typedef void (*ThreadProc)(void* param);

    CWindowMultiThreadManager();
    // Stops the workers that are still running (as TerminateAll), so that none
    // of them outlives the maps it removes itself from.
    virtual ~CWindowMultiThreadManager();
    CWindowMultiThreadManager(const CWindowMultiThreadManager&) = delete;
    CWindowMultiThreadManager& operator=(const CWindowMultiThreadManager&) = delete;

    // Starts the worker and returns its thread id; 0 when no thread could be
    // made or the manager has been stopped.
    DWORD StartThread(ThreadProc proc, void* param);

#ifdef CALVERIN_TEST_HOOKS
    // Test builds only: from now on, in every manager, each start of these
    // procedures fails as though no thread could be made; an empty list lets
    // every start through again.
    static void RefuseStartsOf(std::vector<ThreadProc> procs);
#endif

    // Null when the id is not registered.
    ThreadProc GetThreadProc(DWORD threadId);
    void* GetThreadParam(DWORD threadId);

    // Asks every worker to stop and returns once all of them have returned. No
    // worker starts afterwards. Windows call it first in their destructors.
    void TerminateAll();

    // For code running on a worker thread; on any other thread nothing is ever
    // requested, GetStopEvent gives null and WaitForStop is a plain sleep.
    static bool IsStopRequested();
    static HANDLE GetStopEvent();
    // Sleeps up to the given time; true when the sleep ended on a stop request.
    static bool WaitForStop(DWORD milliseconds);

private:
    static unsigned __stdcall ThreadEntry(void* manager);
    // Forgets a worker whose procedure has returned and closes its handle.
    void RemoveThread(DWORD threadId);

    // The three maps and their locks, always taken in this order.
    CCritLock m_handleLock;
    std::map<DWORD, HANDLE> m_handles;
    CCritLock m_procLock;
    std::map<DWORD, ThreadProc> m_procs;
    CCritLock m_paramLock;
    std::map<DWORD, void*> m_params;

    std::atomic<bool> m_stopRequested;
    HANDLE m_stopEvent;
};
