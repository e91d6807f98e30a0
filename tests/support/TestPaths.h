#pragma once

#include <string>

// A Linux path as Wine's programs reach it: "/a/b" -> "Z:\a\b".
std::wstring WinePathOf(const std::wstring& linuxPath);

// A path inside the build tree (CALVERIN_BINARY_DIR), given relative to it
// with "\" separators.
std::wstring BuildTreePath(const std::wstring& relative);

// A path inside the source tree (CALVERIN_SOURCE_DIR).
std::wstring SourceTreePath(const std::wstring& relative);

// Linux's /dev/full as Wine's programs reach it: it takes the open and fails
// every write with "disk full". Empty when it cannot be opened for writing.
std::wstring FullDiskDevicePath();
