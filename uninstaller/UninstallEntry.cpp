#include "uninstaller/UninstallEntry.h"

#include "services/CommandLine.h"
#include "services/FileUtil.h"
#include "services/FolderTree.h"
#include "services/SafeNames.h"

#include <vector>

namespace {

constexpr REGSAM kViews[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};

std::wstring ReadTextValue(HKEY key, const wchar_t* name)
{
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_SZ)
        return std::wstring();
    // One more character than asked for, so that a value stored without its
    // terminating zero still ends.
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 2, L'\0');
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes) != ERROR_SUCCESS)
        return std::wstring();
    return std::wstring(text.data());
}

}  // namespace

UninstallEntry ReadUninstallEntry()
{
    UninstallEntry entry;
    for (REGSAM view : kViews) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallEntryKey, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
            continue;
        entry.found = true;
        entry.view = view;
        entry.uninstallString = ReadTextValue(key, L"UninstallString");
        entry.displayShortcut = ReadTextValue(key, L"DisplayShortcut");
        RegCloseKey(key);
        break;
    }
    return entry;
}

bool DeleteRegKeyTree(HKEY root, const wchar_t* subKey, REGSAM view)
{
    HKEY key = nullptr;
    const REGSAM access = DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE | view;
    if (RegOpenKeyExW(root, subKey, 0, access, &key) != ERROR_SUCCESS)
        return false;
    RegDeleteTreeW(key, nullptr);
    RegCloseKey(key);
    return RegDeleteKeyExW(root, subKey, view, 0) == ERROR_SUCCESS;
}

std::wstring InstallFolderOf(const std::wstring& uninstallString)
{
    const std::wstring program = ParseCommandLine(uninstallString).program;
    const size_t last = program.find_last_of(L"\\");
    if (last == std::wstring::npos)
        return std::wstring();
    const std::wstring folder = program.substr(0, last + 1);
    if (!IsAbsoluteFolder(folder) || folder.compare(0, 4, L"\\\\?\\") == 0)
        return std::wstring();
    const std::wstring full = FullPath(folder);
    if (full.empty() || !IsDeletableFolder(full + L"\\"))
        return std::wstring();
    return full + L"\\";
}
