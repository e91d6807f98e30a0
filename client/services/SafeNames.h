#pragma once
// The names of the installer's list and the registered shortcut come from a
// file and a registry value that anyone with write access to them could have
// changed. Only what lies strictly below the install folder, reached without
// passing through a link, may be deleted.

#include <string>

// The install folder (ending with "\") joined with the listed name, "/" read
// as "\", "." steps dropped and ".." steps applied. Empty when the name is
// refused: empty, a drive ("C:x") or ":" stream, rooted at "\" or "/", a
// "\\?\" or share prefix, a wildcard or another character that Windows
// refuses in names, a step of dots and spaces other than "." and "..", a ".."
// that leads out, or a name that ends at the install folder itself.
std::wstring ResolveListedName(const std::wstring& installFolder, const std::wstring& name);

// True when Windows opens a device for the name, whatever its extension and
// case ("CON", "nul.png", "COM1 .txt", ...).
bool IsDeviceName(const std::wstring& name);

// True when the name, taken as one file name in a folder, names that file and
// nothing else: not empty, at most 255 characters, no separator, stream or
// other character that Windows refuses, not only dots and spaces, no trailing
// dot or space (which Windows would drop), and no device name.
bool IsSafeFileName(const std::wstring& name);

// True when a step of the path after base (base ending with "\") and before
// the path's last step is a link (junction or symbolic link): deleting there
// would reach outside what the name appears to say. The last step may be a
// link that the system deletes as a link; one that it would follow even then
// (a file link under Wine) counts as passing through, since deleting it would
// delete its target.
bool PassesThroughLink(const std::wstring& base, const std::wstring& path);

// True when a step of the absolute path after its root ("C:\" or
// "\\server\share\") and before its last step is a link; true also for a
// path without such a root, which no deletion may take.
bool AbsolutePathPassesThroughLink(const std::wstring& path);

// The absolute, normalised form with "\" separators and no trailing separator
// (a root keeps its own); empty when it cannot be formed. Links stay as they
// are written, so a path checked for links is the path that gets deleted.
std::wstring FullPath(const std::wstring& path);

// FullPath in its long form (8.3 names spelled out) where the path exists,
// for comparing two spellings of one folder.
std::wstring LongFullPath(const std::wstring& path);

// Ordinal comparison ignoring case, as the file system compares names.
bool SameFileName(const std::wstring& a, const std::wstring& b);

// True when path names the folder itself or lies below it, compared on full,
// long paths ignoring case, "/" against "\" and trailing separators. False
// when either is empty or not absolute.
bool IsSameOrBelowFolder(const std::wstring& folder, const std::wstring& path);
