#include "services/FolderTree.h"

#include "services/FileUtil.h"
#include "services/SafeNames.h"
#include "services/WindowMultiThreadManager.h"
#include "services/WriteLogFile.h"

#include <shlobj.h>

#include <vector>

namespace {
// The absolute, normalised form with "\" separators and no trailing separator;
// empty when it cannot be formed.
std::wstring FullPathWithoutSeparator(const std::wstring& path)
{
    const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return std::wstring();
    std::vector<wchar_t> buffer(length + 1);
    if (GetFullPathNameW(path.c_str(), length + 1, buffer.data(), nullptr) == 0)
        return std::wstring();
    std::wstring full(buffer.data());
    while (!full.empty() && IsPathSeparator(full.back()))
        full.pop_back();
    return full;
}

// "C:" or "\\server\share" of a full path (the trailing separator gone).
bool IsRoot(const std::wstring& full)
{
    if (full.size() == 2 && full[1] == L':')
        return true;
    if (full.compare(0, 2, L"\\\\") != 0)
        return false;
    const size_t shareStart = full.find(L'\\', 2);
    return shareStart == std::wstring::npos || full.find(L'\\', shareStart + 1) == std::wstring::npos;
}

// True when the folder is the current folder or one of its ancestors.
bool HoldsCurrentFolder(const std::wstring& full)
{
    wchar_t current[MAX_PATH * 2] = {};
    if (GetCurrentDirectoryW(MAX_PATH * 2, current) == 0)
        return true;
    const std::wstring cwd = FullPathWithoutSeparator(current) + L"\\";
    const std::wstring folder = full + L"\\";
    return cwd.size() >= folder.size() &&
           CompareStringOrdinal(cwd.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                                static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL;
}

// The folders whose loss would break the system or take the user's own files.
bool HoldsProtectedFolder(const std::wstring& full)
{
    static const int kProtected[] = {
        CSIDL_WINDOWS,
        CSIDL_SYSTEM,
        CSIDL_SYSTEMX86,
        CSIDL_PROGRAM_FILES,
        CSIDL_PROGRAM_FILESX86,
        CSIDL_PROGRAM_FILES_COMMON,
        CSIDL_PROGRAM_FILES_COMMONX86,
        CSIDL_PROFILE,
        CSIDL_DESKTOPDIRECTORY,
        CSIDL_COMMON_DESKTOPDIRECTORY,
        CSIDL_PERSONAL,
        CSIDL_COMMON_DOCUMENTS,
        CSIDL_APPDATA,
        CSIDL_LOCAL_APPDATA,
        CSIDL_COMMON_APPDATA,
    };
    for (int csidl : kProtected) {
        if (IsSameOrBelowFolder(full, ShellFolderPath(csidl)))
            return true;
    }
    return false;
}

bool IsLink(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool IsDotEntry(const wchar_t* name) { return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0; }

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

void DeleteOrFlag(const std::wstring& path, bool& failed)
{
    if (!DeleteFileW(path.c_str()))
        failed = true;
}

// True when the file's name resolves somewhere else than the folder's own
// resolved path and that name: a file link that the system follows even when
// deleting (Wine does), whose deletion would take its target instead.
bool IsFollowedFileLink(const std::wstring& resolvedFolder, const std::wstring& path, const wchar_t* name)
{
    if (resolvedFolder.empty())
        return false;
    const std::wstring resolved = ResolvedPath(path);
    return !resolved.empty() && !SamePath(resolved, resolvedFolder + L"\\" + name);
}

// The recursion behind DeleteFolderTree, on a folder already accepted;
// resolvedFolder is where the system takes it (empty when unknown).
void DeleteContents(const std::wstring& folder, const std::wstring& resolvedFolder, const std::wstring& keep,
                    bool& failed)
{
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW((folder + L"*.*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (CWindowMultiThreadManager::IsStopRequested())
            break;
        if (IsDotEntry(entry.cFileName))
            continue;
        const std::wstring path = folder + entry.cFileName;
        const bool isFolder = entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (isFolder && IsLink(entry.dwFileAttributes))
            RemoveDirectoryW(path.c_str());  // the link alone; what it points to stays
        else if (isFolder)
            DeleteContents(path + L"\\",
                           resolvedFolder.empty() ? resolvedFolder : resolvedFolder + L"\\" + entry.cFileName, keep,
                           failed);
        else if (IsFollowedFileLink(resolvedFolder, path, entry.cFileName))
            failed = true;  // the link stays: deleting it here would delete what it points to
        else if (!SamePath(path, keep))
            DeleteOrFlag(path, failed);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    RemoveDirectoryW(folder.c_str());
}
}  // namespace

std::wstring ResolvedPath(const std::wstring& path)
{
    const HANDLE file =
        CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::wstring();
    std::vector<wchar_t> buffer(MAX_PATH);
    DWORD length = GetFinalPathNameByHandleW(file, buffer.data(), static_cast<DWORD>(buffer.size()), VOLUME_NAME_DOS);
    if (length >= buffer.size()) {
        buffer.resize(length + 1);
        length = GetFinalPathNameByHandleW(file, buffer.data(), static_cast<DWORD>(buffer.size()), VOLUME_NAME_DOS);
    }
    CloseHandle(file);
    if (length == 0 || length >= buffer.size())
        return std::wstring();
    std::wstring resolved(buffer.data(), length);
    if (resolved.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        resolved = L"\\" + resolved.substr(7);
    else if (resolved.compare(0, 4, L"\\\\?\\") == 0)
        resolved = resolved.substr(4);
    return FullPathWithoutSeparator(resolved);
}

bool IsDeletableFolder(const std::wstring& folder)
{
    if (!IsAbsoluteFolder(folder))
        return false;
    const std::wstring full = FullPathWithoutSeparator(folder);
    return !full.empty() && !IsRoot(full) && !HoldsCurrentFolder(full) && !HoldsProtectedFolder(full);
}

void DeleteFolderTree(const std::wstring& folder, const std::wstring& keep, bool& failed)
{
    if (!IsDeletableFolder(folder)) {
        WRITE_LOG_FORMAT(L"refused to delete the folder \"%s\"", folder.c_str());
        failed = true;
        return;
    }
    // Both paths in one normal form, so that a package named with "/" or
    // doubled separators is still recognised and kept.
    const std::wstring full = FullPathWithoutSeparator(folder);
    const std::wstring fullKeep = keep.empty() ? keep : FullPathWithoutSeparator(keep);
    if (IsLink(GetFileAttributesW(full.c_str())))
        RemoveDirectoryW(full.c_str());
    else
        DeleteContents(full + L"\\", ResolvedPath(full), fullKeep, failed);
}
