#pragma once
// The uninstall entry that the installer wrote under HKEY_LOCAL_MACHINE, read
// in whichever registry view holds it and deleted in that same view.

#include <windows.h>

#include <string>

// Where the entry lies, beside what the uninstaller reads of it.
struct UninstallEntry
{
    bool found = false;
    REGSAM view = 0;  // KEY_WOW64_32KEY or KEY_WOW64_64KEY
    std::wstring uninstallString;
    std::wstring displayShortcut;
};

// The key, relative to HKEY_LOCAL_MACHINE.
inline constexpr wchar_t kUninstallEntryKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\calverin";

// Looks in the 32-bit view first, then in the 64-bit view; found stays false
// when neither holds the key. A missing or non-text value reads as empty.
UninstallEntry ReadUninstallEntry();

// Deletes the key with everything below it in the registry view given
// (KEY_WOW64_32KEY, KEY_WOW64_64KEY, or 0 for the process's own); false when
// it was not there or could not be deleted.
bool DeleteRegKeyTree(HKEY root, const wchar_t* subKey, REGSAM view);

// The folder of the installed uninstall.exe, ending with "\": the text up to
// and including its last "\", after taking away surrounding quotes or the
// arguments that follow ".exe". Empty when that leaves no absolute folder, or
// only a drive or share root, or the current folder or one holding it.
std::wstring InstallFolderOf(const std::wstring& uninstallString);
