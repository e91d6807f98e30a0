#pragma once
// A named semaphore held for the life of the process, by which a start can
// tell that the same program already runs.

#include <windows.h>

class CSingleInstance
{
public:
    // Creates (or opens) the semaphore under the name, open to every account
    // so that a client started elevated and one started plainly see the same
    // object. A failure leaves the handle null and is not reported.
    explicit CSingleInstance(const char* name);
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    bool IsAlreadyRunning() const;

private:
    DWORD m_lastError;
    HANDLE m_semaphore;
};
