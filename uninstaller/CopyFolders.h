#pragma once
// The folders "CalverinUninstall-<pid>-<n>" under TEMP that the relocated
// copies run from. A copy cannot delete its own folder while it runs, so each
// start clears the folders of the runs before it, and a copy that ends has
// what it can of its own removed.

#include <windows.h>

#include <string>

inline constexpr wchar_t kCopyFolderPrefix[] = L"CalverinUninstall-";

// A running copy's hold on its folder (ending with "\"): while held, no start
// removes it. Released, the copy's list and log go at once, and the running
// program and the folder are marked for removal at the next restart where the
// system lets this program do so; a later start removes them otherwise.
class CCopyFolderHold
{
public:
    explicit CCopyFolderHold(const std::wstring& folder);
    ~CCopyFolderHold();
    CCopyFolderHold(const CCopyFolderHold&) = delete;
    CCopyFolderHold& operator=(const CCopyFolderHold&) = delete;

private:
    std::wstring m_folder;
    HANDLE m_handle;
};

// Removes every copy folder under TEMP but the given one (ending with "\" or
// empty) whose copy no longer runs: not held, and not made by a process that
// is still running (it may be filling the folder for a copy about to start).
void RemoveEarlierCopyFolders(const std::wstring& ownFolder);
