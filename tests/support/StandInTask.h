#pragma once
// A worker as the task registry knows it: a thread registered with its run
// flag that runs until the flag drops, for tests of what the client asks and
// stops while downloads run.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <thread>

#include "services/SessionData.h"

class StandInTask
{
public:
    // The registry learns the item the task works on, when one is given.
    explicit StandInTask(TaskItem item = TaskItem())
        : m_thread([this, item] {
              m_threadId = GetCurrentThreadId();
              g_sessionData.SetTask(m_threadId, &m_runFlag, item);
              m_registered = true;
              while (m_runFlag != 0)
                  Sleep(10);
              g_sessionData.RemoveTask(m_threadId);
          })
    {
        while (!m_registered)
            Sleep(1);
    }
    ~StandInTask()
    {
        m_runFlag = 0;
        m_thread.join();
    }
    bool IsRunning() const { return m_runFlag != 0; }
    void Stop() { g_sessionData.FindTaskFlag(m_threadId).Clear(); }
    DWORD ThreadId() const { return m_threadId; }

private:
    volatile uint8_t m_runFlag = 1;
    std::atomic<bool> m_registered{false};
    DWORD m_threadId = 0;
    std::thread m_thread;
};
