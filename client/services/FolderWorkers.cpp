#include "services/FolderWorkers.h"

#include "services/FileUtil.h"
#include "services/WriteLogFile.h"

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

// The recursion behind DeleteFolderTree, on a folder already accepted.
void DeleteContents(const std::wstring& folder, const std::wstring& keep, bool& failed)
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
            DeleteContents(path + L"\\", keep, failed);
        else if (!SamePath(path, keep))
            DeleteOrFlag(path, failed);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    RemoveDirectoryW(folder.c_str());
}
}  // namespace

bool IsDeletableFolder(const std::wstring& folder)
{
    if (!IsAbsoluteFolder(folder))
        return false;
    const std::wstring full = FullPathWithoutSeparator(folder);
    return !full.empty() && !IsRoot(full) && !HoldsCurrentFolder(full);
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
        DeleteContents(full + L"\\", fullKeep, failed);
}

std::wstring DeleteFailedMessage(const std::wstring& folder)
{
    return L"【" + folder + L"】里面有部分文件删除失败，请手动删除！";
}

bool WaitForProcessEnd(HANDLE process)
{
    const HANDLE stop = CWindowMultiThreadManager::GetStopEvent();
    const HANDLE handles[2] = {process, stop};
    const DWORD result = WaitForMultipleObjects(stop ? 2 : 1, handles, FALSE, INFINITE);
    return result != WAIT_OBJECT_0 + 1;
}
