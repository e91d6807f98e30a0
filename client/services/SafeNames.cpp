#include "services/SafeNames.h"

#include "services/FileUtil.h"
#include "services/FolderTree.h"

#include <windows.h>

#include <cwctype>
#include <vector>

namespace {

bool IsRefusedCharacter(wchar_t c)
{
    return c < 0x20 || c == L':' || c == L'*' || c == L'?' || c == L'<' || c == L'>' || c == L'|' || c == L'"';
}

// Windows drops trailing dots and spaces from a step, so "..." or ". ." would
// become "" or "." there: any such step but "." and ".." is refused.
bool IsOnlyDotsAndSpaces(const std::wstring& step) { return step.find_first_not_of(L". ") == std::wstring::npos; }

// The pieces between the separators ("\" or "/"), empty ones included.
std::vector<std::wstring> SplitString(const std::wstring& name)
{
    std::vector<std::wstring> steps;
    std::wstring step;
    for (wchar_t c : name) {
        if (IsPathSeparator(c)) {
            steps.push_back(step);
            step.clear();
        } else {
            step.push_back(c);
        }
    }
    steps.push_back(step);
    return steps;
}

bool IsLinkPath(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Length of "C:\" or "\\server\share\" at the start of a full path; 0 when it
// has neither.
size_t RootLength(const std::wstring& full)
{
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\')
        return 3;
    if (full.compare(0, 2, L"\\\\") != 0)
        return 0;
    const size_t server = full.find(L'\\', 2);
    if (server == std::wstring::npos)
        return 0;
    const size_t share = full.find(L'\\', server + 1);
    return share == std::wstring::npos ? 0 : share + 1;
}

}  // namespace

bool SameFileName(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

std::wstring FullPath(const std::wstring& path)
{
    if (path.empty())
        return std::wstring();
    const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return std::wstring();
    std::vector<wchar_t> full(length + 1);
    if (GetFullPathNameW(path.c_str(), length + 1, full.data(), nullptr) == 0)
        return std::wstring();
    std::wstring result(full.data());
    while (result.size() > RootLength(result) && IsPathSeparator(result.back()))
        result.pop_back();
    return result;
}

std::wstring LongFullPath(const std::wstring& path)
{
    const std::wstring full = FullPath(path);
    const DWORD length = full.empty() ? 0 : GetLongPathNameW(full.c_str(), nullptr, 0);
    if (length == 0)
        return full;
    std::vector<wchar_t> longForm(length + 1);
    if (GetLongPathNameW(full.c_str(), longForm.data(), length + 1) == 0)
        return full;
    std::wstring result(longForm.data());
    while (result.size() > RootLength(result) && IsPathSeparator(result.back()))
        result.pop_back();
    return result;
}

std::wstring ResolveListedName(const std::wstring& installFolder, const std::wstring& name)
{
    if (name.empty() || installFolder.empty() || IsPathSeparator(name.front()))
        return std::wstring();
    for (wchar_t c : name) {
        if (IsRefusedCharacter(c))
            return std::wstring();
    }
    std::vector<std::wstring> kept;
    for (const std::wstring& step : SplitString(name)) {
        if (step.empty() || step == L".")
            continue;
        if (step == L"..") {
            if (kept.empty())
                return std::wstring();
            kept.pop_back();
            continue;
        }
        if (IsOnlyDotsAndSpaces(step))
            return std::wstring();
        kept.push_back(step);
    }
    if (kept.empty())
        return std::wstring();
    std::wstring path = installFolder;
    for (size_t i = 0; i < kept.size(); ++i)
        path += (i == 0 ? L"" : L"\\") + kept[i];
    // Whatever the system makes of the joined name must still lie below the
    // folder; the steps above should already guarantee it.
    const std::wstring folder = FullPath(installFolder) + L"\\";
    const std::wstring full = FullPath(path);
    if (full.size() <= folder.size() || !SameFileName(full.substr(0, folder.size()), folder))
        return std::wstring();
    return path;
}

bool IsDeviceName(const std::wstring& name)
{
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ')
        stem.pop_back();
    for (wchar_t& c : stem)
        c = static_cast<wchar_t>(std::towupper(c));
    static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* device : kDevices) {
        if (stem == device)
            return true;
    }
    return stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0) &&
           stem[3] >= L'1' && stem[3] <= L'9';
}

bool IsSafeFileName(const std::wstring& name)
{
    constexpr size_t kLongestName = 255;
    if (name.empty() || name.size() > kLongestName || IsOnlyDotsAndSpaces(name))
        return false;
    for (wchar_t c : name) {
        if (IsRefusedCharacter(c) || IsPathSeparator(c))
            return false;
    }
    return name.back() != L'.' && name.back() != L' ' && !IsDeviceName(name);
}

bool PassesThroughLink(const std::wstring& base, const std::wstring& path)
{
    if (path.size() <= base.size())
        return false;
    for (size_t end = path.find(L'\\', base.size()); end != std::wstring::npos; end = path.find(L'\\', end + 1)) {
        if (IsLinkPath(path.substr(0, end)))
            return true;
    }
    // A link that the system follows even when asked for the link itself (a
    // file link under Wine) is seen only by where the name leads.
    const std::wstring resolvedBase = ResolvedPath(base);
    const std::wstring resolved = ResolvedPath(path);
    return !resolvedBase.empty() && !resolved.empty() &&
           !SameFileName(resolved, resolvedBase + L"\\" + path.substr(base.size()));
}

bool AbsolutePathPassesThroughLink(const std::wstring& path)
{
    const size_t root = RootLength(path);
    return root == 0 || PassesThroughLink(path.substr(0, root), path);
}

bool IsSameOrBelowFolder(const std::wstring& folder, const std::wstring& path)
{
    if (!IsAbsoluteFolder(folder) || !IsAbsoluteFolder(path))
        return false;
    const std::wstring base = LongFullPath(folder);
    const std::wstring full = LongFullPath(path);
    if (base.empty() || full.empty())
        return false;
    if (SameFileName(base, full))
        return true;
    const std::wstring prefix = IsPathSeparator(base.back()) ? base : base + L"\\";
    return full.size() > prefix.size() && SameFileName(full.substr(0, prefix.size()), prefix);
}
