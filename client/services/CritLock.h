#pragma once

#include <windows.h>

// A lock that the thread holding it may enter again: the log writer's size
// query runs inside an entry that already holds the writer's lock.
class CCritLock
{
public:
    CCritLock() { InitializeCriticalSection(&m_section); }
    ~CCritLock() { DeleteCriticalSection(&m_section); }
    CCritLock(const CCritLock&) = delete;
    CCritLock& operator=(const CCritLock&) = delete;

    void Enter() { EnterCriticalSection(&m_section); }
    void Leave() { LeaveCriticalSection(&m_section); }

private:
    CRITICAL_SECTION m_section;
};

// Holds a lock for the rest of the scope; a null lock makes it do nothing.
class CCritLockGuard
{
public:
    explicit CCritLockGuard(CCritLock* lock) : m_lock(lock)
    {
        if (m_lock)
            m_lock->Enter();
    }
    ~CCritLockGuard()
    {
        if (m_lock)
            m_lock->Leave();
    }
    CCritLockGuard(const CCritLockGuard&) = delete;
    CCritLockGuard& operator=(const CCritLockGuard&) = delete;

private:
    CCritLock* m_lock;
};
