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

// Calls found with the id of every other process named so, in the system's
// order, until it returns false; false when no snapshot could be taken.
template <class Found>
bool WalkProcessesNamed(const std::wstring& name, Found found)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID != GetCurrentProcessId() && SameFileName(entry.szExeFile, name) &&
            !found(entry.th32ProcessID))
            break;
    }
    CloseHandle(snapshot);
    return true;
}

}  // namespace

int KillProcessByName(const std::wstring& name, DWORD waitLimitMs)
{
    EndedProcesses ended;
    const bool walked = WalkProcessesNamed(name, [&](DWORD processId) {
        ended.End(processId);
        return true;
    });
    if (!walked)
        return 0;
    ended.WaitUntilGone(waitLimitMs);
    return ended.Count();
}

std::optional<DWORD> FindProcessId(const std::wstring& name)
{
    std::optional<DWORD> first;
    WalkProcessesNamed(name, [&](DWORD processId) {
        first = processId;
        return false;
    });
    return first;
}
