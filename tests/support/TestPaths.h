#pragma once

#include <string>

class ScratchFolder;

// A Linux path as Wine's programs reach it: "/a/b" -> "Z:\a\b".
std::wstring WinePathOf(const std::wstring& linuxPath);

// The Linux path behind a Windows path, as Wine maps it; the last step need
// not exist. Empty when Wine cannot map it.
std::wstring HostPathOf(const std::wstring& windowsPath);

// True when the path names an entry of any kind, a link to a device included
// (whose target GetFileAttributes would look at).
bool EntryExists(const std::wstring& path);

// A path inside the build tree (CALVERIN_BINARY_DIR), given relative to it
// with "\" separators.
std::wstring BuildTreePath(const std::wstring& relative);

// A path inside the source tree (CALVERIN_SOURCE_DIR).
std::wstring SourceTreePath(const std::wstring& relative);

// A file of that name in the scratch folder (its parent folder must exist)
// that takes every open and fails every write with "disk full": a link to
// Linux's /dev/full. A test that needs one cannot show anything without it,
// so a missing or misbehaving device fails the running test with the reason
// and gives an empty path; callers end the test on an empty path.
std::wstring FullDiskFileIn(ScratchFolder& scratch, const std::wstring& name);
