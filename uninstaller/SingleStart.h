#pragma once
// One uninstaller window at a time: a second start, from the install folder
// or from a copy, raises the window that is there and ends.

#include <windows.h>

#include <string>

// "Global\_ONCE_RUN_" + the display title in the ANSI code page + "uninstall_".
std::string UninstallerSemaphoreName();

// True when some process holds the uninstaller's semaphore, without taking it.
bool IsUninstallerStarting();

// Looks for the uninstaller's window for up to waitMs (0: once); when found,
// restores it, raises it to the front and returns true.
bool RaiseUninstallerWindow(DWORD waitMs);
