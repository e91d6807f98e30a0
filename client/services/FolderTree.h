#pragma once
// Deleting a folder with everything in it, never through a link: a junction or
// symbolic link inside goes as a link, and what it points to stays whole.
// Shared by the client's folder workers and the uninstaller.

#include <string>

// False for a folder that a deletion must never touch: an empty or relative
// path, a drive or share root, and any folder that is or holds the current
// folder, the Windows or system folder, a
// program-files folder, the user's profile, desktop, documents or
// application-data folders or their all-users counterparts. Compared on
// full, long paths ignoring case, "/" and trailing separators.
bool IsDeletableFolder(const std::wstring& folder);

// Where the system takes the path: links followed wherever the system follows
// them (this Wine follows a file link even when asked to open the link
// itself), as a full path without "\\?\" and trailing separator. Empty when
// the path cannot be opened.
std::wstring ResolvedPath(const std::wstring& path);

// Deletes the folder's contents and then the folder, except the file whose path
// equals keep (ignoring case). A file that cannot be deleted stays and sets
// failed; folders that still hold something stay silently. Links (junctions,
// symbolic links) are removed themselves, never followed; a file link that the
// system would follow when deleting stays and sets failed. A refused folder
// (IsDeletableFolder) is left whole and sets failed. Ends early on a stop
// request of the worker thread.
void DeleteFolderTree(const std::wstring& folder, const std::wstring& keep, bool& failed);
