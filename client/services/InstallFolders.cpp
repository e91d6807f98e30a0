#include "services/InstallFolders.h"

#include <windows.h>

#include <cwchar>
#include <vector>

namespace {

constexpr WCHAR kInterface[] = L"Interface";
constexpr WCHAR kAddOnsBelowInterface[] = L"Interface\\AddOns\\";
// How far below the picked folder the game's "Interface" may lie.
constexpr int kSearchLevels = 3;

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsForbiddenInName(wchar_t c) { return c < 32 || wcschr(L"<>:\"/\\|?*", c) != nullptr; }

struct FindCloser
{
    HANDLE handle;
    ~FindCloser() { FindClose(handle); }
};

// The visible sub-folders of `folder` (ending with "\") in listing order;
// none when it cannot be listed.
std::vector<std::wstring> VisibleSubFolders(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry = {};
    HANDLE find = FindFirstFileW((folder + L"*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    const FindCloser closer{find};
    do {
        const std::wstring name = entry.cFileName;
        const DWORD attributes = entry.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
            (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0 || name == L"." || name == L"..")
            continue;
        names.push_back(name);
    } while (FindNextFileW(find, &entry));
    return names;
}

}  // namespace

bool IsPlainFolderName(const std::wstring& name)
{
    return !name.empty() && name != L"." && name != L".." && name.find_first_of(L"\\/:") == std::wstring::npos;
}

std::wstring CleanFolderName(const std::wstring& name)
{
    std::wstring clean = name;
    for (wchar_t& c : clean) {
        if (IsForbiddenInName(c))
            c = L'_';
    }
    // The system drops trailing dots and blanks itself, so "x." and "x" would
    // be one folder under two names.
    const size_t last = clean.find_last_not_of(L". ");
    clean.erase(last == std::wstring::npos ? 0 : last + 1);
    return clean;
}

std::wstring ProposedGameFolder(const std::wstring& driveRoot, const std::wstring& installFolderName)
{
    if (driveRoot.empty() || !IsPlainFolderName(installFolderName))
        return std::wstring();
    return driveRoot + installFolderName + L"\\";
}

std::wstring FindAddOnsFolder(const std::wstring& picked)
{
    const std::wstring folder = picked.empty() || picked.back() == L'\\' ? picked : picked + L"\\";
    if (!IsFolder(folder))
        return std::wstring();
    const size_t inside = folder.find(L"\\Interface\\");
    if (inside != std::wstring::npos)
        return folder.substr(0, inside) + L"\\" + kAddOnsBelowInterface;
    // Each level: the folders to list, every one ending with "\".
    std::vector<std::wstring> level = {folder};
    for (int depth = 1; depth <= kSearchLevels; ++depth) {
        std::vector<std::wstring> next;
        for (const std::wstring& parent : level) {
            for (const std::wstring& name : VisibleSubFolders(parent)) {
                if (_wcsicmp(name.c_str(), kInterface) == 0)
                    return parent + kAddOnsBelowInterface;
                if (depth < kSearchLevels)
                    next.push_back(parent + name + L"\\");
            }
        }
        level = std::move(next);
    }
    return std::wstring();
}
