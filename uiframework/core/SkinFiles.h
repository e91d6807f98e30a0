#pragma once
// Reading the bytes of one skin file: from the skin folder, or from the skin
// archive once one is set up (CWindowManagerUI's process-wide settings).

#include <windows.h>

#include <cstdint>
#include <vector>

namespace CalUI {

enum class SkinFileResult
{
    Ok,
    CannotOpen,  // the file, or the archive, cannot be opened
    NotFound,    // no such entry in the archive
    Empty,
    TooLarge,    // larger than the caller's limit
    CannotRead,  // more than the process can hold, a short read, or the entry does not unpack
};

// Sizes and limits are 64-bit: files and ZIP64 entries can be larger than
// 4 GiB, and a size cut to 32 bits would read the wrong number of bytes.
constexpr uint64_t kNoSizeLimit = UINT64_MAX;

// Folder or archive, as the skin settings say. `fromArchive` tells which.
SkinFileResult ReadSkinFile(LPCWSTR name, uint64_t maxBytes, std::vector<BYTE>& bytes, bool* fromArchive = nullptr);
// A file named by its own path.
SkinFileResult ReadWholeFile(LPCWSTR path, uint64_t maxBytes, std::vector<BYTE>& bytes);

}  // namespace CalUI
