#pragma once
// Ending the running client before its files go: a client that still runs
// holds its program and its open files, which would then stay behind.

#include <windows.h>

#include <optional>
#include <string>

// The client's executable name, compared ignoring case.
inline constexpr wchar_t kClientProgramName[] = L"calverinapp.exe";

// Ends every process whose executable name equals the name ignoring case
// ("CalverinApp.exe" is the same program), then waits until they are gone, at
// most waitLimitMs and never past a stop request of the worker thread.
// Returns the number of processes it ended; 0 also when no snapshot of the
// processes could be taken. Processes that refuse to be opened keep running.
int KillProcessByName(const std::wstring& name, DWORD waitLimitMs);

// The id of the first other process whose executable name equals the name
// ignoring case; none when there is none or no snapshot could be taken.
std::optional<DWORD> FindProcessId(const std::wstring& name);
