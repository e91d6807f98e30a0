#pragma once
// The removal of an installed client, in the order the window shows it: end
// the running client, the listed files, the registered shortcut, the registry
// entries and the Start-menu folder. Every deletion is silent and final (no
// recycle bin). Names that would reach outside what they claim are skipped
// with a log line; links are deleted as links, never followed. Each step
// checks the worker's stop request between its entries.

#include "uninstaller/UninstallEntry.h"

#include <atomic>
#include <string>

// What the worker reports to the window's progress timer. Owned by the window,
// which stops the worker before it goes.
struct RemovalProgress
{
    std::atomic<bool> filesDone{false};
    std::atomic<bool> shortcutDone{false};
    std::atomic<bool> allDone{false};
};

// The worker: parameter the window's RemovalProgress. Sets each flag after its
// step; a stop request ends it between entries and steps, leaving later flags
// unset.
void UninstallThreadProc(void* progress);

// Deletes one file or one folder tree; a link goes as a link. True when the
// path is gone afterwards; false when it was missing or something stayed.
bool DeletePath(const std::wstring& path);

// Deletes the entries of the list text (UTF-8 JSON, an array of objects with a
// "name" each) below the install folder (ending with "\"). The list ends at
// the first element that is not an object or whose "name" is missing, empty
// or not a string; text that is not a JSON array deletes nothing. Refused
// names (ResolveListedName, PassesThroughLink) are skipped. Returns the number
// of entries deleted.
int DeleteListedItems(const std::wstring& installFolder, const std::string& listText);

// Step 1: the list beside the running program, below the install folder that
// the entry's UninstallString names; nothing without one.
void DeleteInstalledFiles(const UninstallEntry& entry, const std::wstring& listPath);

// Step 2: the entry's DisplayShortcut, when it is an absolute path reached
// through no link and names a ".lnk" file or a folder holding nothing but
// ".lnk" files. Always true: whatever stays, the removal goes on.
bool DeleteDisplayShortcut(const UninstallEntry& entry);

// Step 3: the uninstall entry (in its own view) and the client's key
// "Software\calverin" of the current user, each with everything below it;
// the result of the first.
bool DeleteRegistryKeys(const UninstallEntry& entry);

// Step 4: the two shortcuts of the Start-menu folder "Calverin", then the
// folder when nothing else is left in it.
void DeleteStartMenuFolder();
