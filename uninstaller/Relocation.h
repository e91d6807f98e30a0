#pragma once
// The uninstaller cannot delete the install folder while it runs from it, so
// a start from anywhere but its own copy copies itself and the installer's
// list into a new folder of its own under TEMP and starts that copy. A folder
// per run keeps two uninstallers from overwriting each other, and keeps
// whatever else lies in TEMP (a "msimg32.dll" the framework would load by
// bare name) away from the copy's folder.

#include <string>

// The display title: the window's, and the caption of every message box.
inline constexpr wchar_t kUninstallerTitle[] = L"Calverin-卸载";

enum class RelocationResult
{
    RunningAsCopy,   // this process is a relocated copy: go on here
    RunningInPlace,  // TEMP is unset or empty: go on where the program is
    CopyStarted,     // the copy was made and started: this process ends
    Failed,          // the message says why: show it and end
};

// True when the program's folder is a copy's folder: its name, in its long
// form and ignoring case, begins with the copies' prefix. Only the name
// counts, never how TEMP is spelt ("/" separators, other case, a trailing
// separator, 8.3 names) nor whether TEMP still names the folder's parent, so
// a copy never makes another copy.
bool IsRelocatedCopyFolder(const std::wstring& programFolder);

// Makes and starts the copy when this program is not one already. Failed
// with the message: "uninstall.dat文件不存在，无法卸载" when the program's
// folder holds no list, "uninstall.exe复制到缓存目录失败,err=N" when the folder
// or the program's copy cannot be made (N the system's error code),
// "uninstall.dat复制到缓存目录失败,err=N" when the list cannot be copied; a
// failed relocation leaves no folder behind.
RelocationResult RelocateToTemp(std::wstring& message);
