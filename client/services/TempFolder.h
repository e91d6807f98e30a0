#pragma once
// Programs that must not run from the folder they remove (this client's own
// uninstaller, an accelerator program's uninstaller) run from a copy in a new
// folder of their own under TEMP: a folder per run keeps two runs from
// overwriting each other and keeps whatever else lies in TEMP away from the
// copy.

#include <windows.h>

#include <string>

// The value of TEMP without trailing separators; empty when it is unset or
// empty.
std::wstring TempFolderSetting();

// A new folder "<parent>\<prefix><process id>-<n>\" (ending with "\") that no
// other run uses; empty, with the system's error code in error, when none can
// be made.
std::wstring MakeOwnFolder(const std::wstring& parent, const std::wstring& prefix, DWORD& error);
