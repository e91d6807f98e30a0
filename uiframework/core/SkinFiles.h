#pragma once
// Reading the bytes of one skin file: from the skin folder, or from the skin
// archive once one is set up (CWindowManagerUI's process-wide settings).

#include <windows.h>

#include <vector>

namespace CalUI {

enum class SkinFileResult {
    Ok,
    CannotOpen,   // the file, or the archive, cannot be opened
    NotFound,     // no such entry in the archive
    Empty,
    TooLarge,     // larger than the caller's limit
    CannotRead,   // short read, or the entry does not unpack
};

constexpr DWORD kNoSizeLimit = MAXDWORD;

// Folder or archive, as the skin settings say. `fromArchive` tells which.
SkinFileResult ReadSkinFile(LPCWSTR name, DWORD maxBytes, std::vector<BYTE>& bytes, bool* fromArchive = nullptr);
// A file named by its own path.
SkinFileResult ReadWholeFile(LPCWSTR path, DWORD maxBytes, std::vector<BYTE>& bytes);

}  // namespace CalUI
