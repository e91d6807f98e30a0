#include "uninstaller/ClientProcesses.h"

#include "services/WindowMultiThreadManager.h"
#include "services/SafeNames.h"

#include <tlhelp32.h>

#include <vector>

namespace {

// Handles of the ended processes, to wait on, closed with the object.
class EndedProcesses
{
public:
    EndedProcesses() = default;
    ~EndedProcesses()
    {
        for (HANDLE process : m_handles)
            CloseHandle(process);
    }
    EndedProcesses(const EndedProcesses&) = delete;
    EndedProcesses& operator=(const EndedProcesses&) = delete;

    void End(DWORD processId)
    {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
        if (!process)
            return;
        if (TerminateProcess(process, 0))
            m_handles.push_back(process);
        else
            CloseHandle(process);
    }

    void WaitUntilGone(DWORD limitMs) const
    {
        const ULONGLONG deadline = GetTickCount64() + limitMs;
        for (HANDLE process : m_handles) {
            const ULONGLONG now = GetTickCount64();
            if (now >= deadline)
                return;
            const HANDLE stop = CWindowMultiThreadManager::GetStopEvent();
            const HANDLE handles[2] = {process, stop};
            const DWORD result =
                WaitForMultipleObjects(stop ? 2 : 1, handles, FALSE, static_cast<DWORD>(deadline - now));
            if (result == WAIT_OBJECT_0 + 1)
                return;
        }
    }

    int Count() const { return static_cast<int>(m_handles.size()); }

private:
    std::vector<HANDLE> m_handles;
};

}  // namespace

int KillProcessByName(const std::wstring& name, DWORD waitLimitMs)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    EndedProcesses ended;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID != GetCurrentProcessId() && SameFileName(entry.szExeFile, name))
            ended.End(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    ended.WaitUntilGone(waitLimitMs);
    return ended.Count();
}
