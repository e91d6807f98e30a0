#include "services/WindowMultiThreadManager.h"

#include <process.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {
// The manager whose worker runs on this thread; null on every other thread.
thread_local CWindowMultiThreadManager* t_manager = nullptr;

#ifdef CALVERIN_TEST_HOOKS
CCritLock g_refusedLock;
std::vector<CWindowMultiThreadManager::ThreadProc> g_refusedProcs;

bool IsRefused(CWindowMultiThreadManager::ThreadProc proc)
{
    CCritLockGuard refused(&g_refusedLock);
    return std::find(g_refusedProcs.begin(), g_refusedProcs.end(), proc) != g_refusedProcs.end();
}
#endif
}  // namespace

CWindowMultiThreadManager::CWindowMultiThreadManager()
    : m_stopRequested(false), m_stopEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{}

CWindowMultiThreadManager::~CWindowMultiThreadManager()
{
    TerminateAll();
    if (m_stopEvent)
        CloseHandle(m_stopEvent);
}

DWORD CWindowMultiThreadManager::StartThread(ThreadProc proc, void* param)
{
    HANDLE thread = nullptr;
    unsigned threadId = 0;
    {
        // Held across the creation so that TerminateAll either sees the new
        // worker or refuses it.
        CCritLockGuard handles(&m_handleLock);
        if (m_stopRequested)
            return 0;
#ifdef CALVERIN_TEST_HOOKS
        if (IsRefused(proc))
            return 0;
#endif
        thread = reinterpret_cast<HANDLE>(
            _beginthreadex(nullptr, 0, &CWindowMultiThreadManager::ThreadEntry, this, CREATE_SUSPENDED, &threadId));
        if (!thread)
            return 0;
        CCritLockGuard procs(&m_procLock);
        CCritLockGuard params(&m_paramLock);
        m_handles[threadId] = thread;
        m_procs[threadId] = proc;
        m_params[threadId] = param;
    }
    // Suspended until now, so the worker's lookups always find its entries.
    ResumeThread(thread);
    return threadId;
}

#ifdef CALVERIN_TEST_HOOKS
void CWindowMultiThreadManager::RefuseStartsOf(std::vector<ThreadProc> procs)
{
    CCritLockGuard refused(&g_refusedLock);
    g_refusedProcs = std::move(procs);
}
#endif

CWindowMultiThreadManager::ThreadProc CWindowMultiThreadManager::GetThreadProc(DWORD threadId)
{
    CCritLockGuard procs(&m_procLock);
    auto it = m_procs.find(threadId);
    return it == m_procs.end() ? nullptr : it->second;
}

void* CWindowMultiThreadManager::GetThreadParam(DWORD threadId)
{
    CCritLockGuard params(&m_paramLock);
    auto it = m_params.find(threadId);
    return it == m_params.end() ? nullptr : it->second;
}

void CWindowMultiThreadManager::RemoveThread(DWORD threadId)
{
    CCritLockGuard handles(&m_handleLock);
    auto it = m_handles.find(threadId);
    if (it != m_handles.end()) {
        CloseHandle(it->second);
        m_handles.erase(it);
    }
    CCritLockGuard procs(&m_procLock);
    m_procs.erase(threadId);
    CCritLockGuard params(&m_paramLock);
    m_params.erase(threadId);
}

void CWindowMultiThreadManager::TerminateAll()
{
    // Copies of the handles, because each worker closes its own on the way out.
    std::vector<HANDLE> running;
    {
        CCritLockGuard handles(&m_handleLock);
        m_stopRequested = true;
        SetEvent(m_stopEvent);
        const HANDLE process = GetCurrentProcess();
        for (const auto& [threadId, thread] : m_handles) {
            HANDLE copy = nullptr;
            // A worker cannot wait for its own end.
            if (threadId != GetCurrentThreadId() &&
                DuplicateHandle(process, thread, process, &copy, SYNCHRONIZE, FALSE, 0))
                running.push_back(copy);
        }
    }
    // Waiting without the lock lets the workers remove themselves.
    for (HANDLE thread : running) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
}

bool CWindowMultiThreadManager::IsStopRequested() { return t_manager && t_manager->m_stopRequested; }

HANDLE CWindowMultiThreadManager::GetStopEvent() { return t_manager ? t_manager->m_stopEvent : nullptr; }

bool CWindowMultiThreadManager::WaitForStop(DWORD milliseconds)
{
    if (!t_manager) {
        Sleep(milliseconds);
        return false;
    }
    return WaitForSingleObject(t_manager->m_stopEvent, milliseconds) == WAIT_OBJECT_0;
}

unsigned __stdcall CWindowMultiThreadManager::ThreadEntry(void* manager)
{
    auto* self = static_cast<CWindowMultiThreadManager*>(manager);
    t_manager = self;
    const DWORD threadId = GetCurrentThreadId();
    ThreadProc proc = self->GetThreadProc(threadId);
    void* param = self->GetThreadParam(threadId);
    if (proc)
        proc(param);
    self->RemoveThread(threadId);
    t_manager = nullptr;
    return 0;
}
