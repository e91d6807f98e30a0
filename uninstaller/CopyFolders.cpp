#include "uninstaller/CopyFolders.h"

#include "services/FileUtil.h"
#include "services/FolderTree.h"
#include "services/SafeNames.h"
#include "services/TempFolder.h"

#include <cwchar>
#include <cwctype>

namespace {

constexpr wchar_t kProgramName[] = L"uninstall.exe";
const wchar_t* const kRemovedNowNames[] = {L"uninstall.dat", L"uninstall.log"};

// Open without sharing deletion, the folder can be neither removed nor opened
// for deletion by anyone else.
HANDLE OpenHeld(const std::wstring& folder)
{
    return CreateFileW(folder.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool IsHeld(const std::wstring& folder)
{
    const HANDLE probe = CreateFileW(folder.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(probe);
    return false;
}

// The process whose id the folder's name carries, that made the folder.
bool IsMakerRunning(const std::wstring& name)
{
    const wchar_t* digits = name.c_str() + std::wcslen(kCopyFolderPrefix);
    if (!std::iswdigit(*digits))
        return false;
    const DWORD id = std::wcstoul(digits, nullptr, 10);
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (process == nullptr)
        return false;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

}  // namespace

CCopyFolderHold::CCopyFolderHold(const std::wstring& folder) : m_folder(folder), m_handle(OpenHeld(folder)) {}

CCopyFolderHold::~CCopyFolderHold()
{
    if (m_handle != INVALID_HANDLE_VALUE)
        CloseHandle(m_handle);
    for (const wchar_t* name : kRemovedNowNames)
        DeleteFileW((m_folder + name).c_str());
    // Only an administrator may mark files for removal at a restart; for
    // everyone else the next start clears the folder.
    MoveFileExW((m_folder + kProgramName).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    std::wstring folder = m_folder;
    while (!folder.empty() && IsPathSeparator(folder.back()))
        folder.pop_back();
    MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

void RemoveEarlierCopyFolders(const std::wstring& ownFolder)
{
    const std::wstring temp = TempFolderSetting();
    if (temp.empty())
        return;
    const std::wstring own = ownFolder.empty() ? std::wstring() : LongFullPath(ownFolder);
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW((temp + L"\\" + kCopyFolderPrefix + L"*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const bool plainFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                                 (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
        if (!plainFolder)
            continue;
        // The pattern also matches short names: the long one must match too.
        const std::wstring name = entry.cFileName;
        const size_t prefixLength = std::wcslen(kCopyFolderPrefix);
        if (name.size() <= prefixLength || !SameFileName(name.substr(0, prefixLength), kCopyFolderPrefix))
            continue;
        const std::wstring folder = temp + L"\\" + name;
        if ((!own.empty() && SameFileName(LongFullPath(folder), own)) || IsMakerRunning(name) || IsHeld(folder))
            continue;
        bool failed = false;
        DeleteFolderTree(folder, L"", failed);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}
