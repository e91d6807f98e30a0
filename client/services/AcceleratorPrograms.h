#pragma once
// The accelerator programs of the catalogue are other makers' programs: the
// client learns whether one is installed only from the uninstall entry its
// installer registers (by the program's type), and removes one by running
// the uninstaller that entry names. The uninstaller runs from a copy in a
// folder of its own under TEMP, since it removes the folder it lies in.

#include "services/CommandLine.h"

#include <windows.h>

#include <cstdint>
#include <string>

// The uninstall key of the type under HKEY_LOCAL_MACHINE; empty for a type
// that names none (only 1, 2 and 3 do).
std::wstring AcceleratorUninstallKey(int32_t type);

// The entry's "UninstallString" read as a command line; false, with an empty
// command, when the type names no key or the value is missing or empty.
bool ReadAcceleratorUninstallCommand(int32_t type, CommandLine& command);

// The folder of the registered uninstaller, without a trailing separator;
// empty when there is no entry.
std::wstring AcceleratorProgramFolder(int32_t type);

// True when the entry names a folder that holds something.
bool IsAcceleratorInstalled(int32_t type);

// The registered uninstaller made ready to run: when TEMP names an existing
// absolute folder, the program is copied as "unins000.exe" into a new folder
// of its own there, with "unins000.dat" from the program's folder beside it
// (whether or not that copy succeeds); the arguments stay. With TEMP unset,
// empty, relative or missing, or when the program cannot be copied, the
// registered program runs in place. copyFolder is the new folder, or empty.
struct UninstallerRun
{
    CommandLine command;
    std::wstring copyFolder;
};
UninstallerRun PrepareUninstallerCopy(const CommandLine& registered);

// Starts the program with its arguments, no inherited handles, default
// start-up. The process handle (the caller closes it), or null when the
// program could not be started; the thread handle is closed here.
HANDLE StartProgram(const CommandLine& command);
