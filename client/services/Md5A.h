#pragma once

#include "services/ProgressCallbacks.h"

#include <string>

// MD5 digests as 32 lower-case hexadecimal digits. Keeps no state between
// calls, so one object may serve several threads.
class CMd5A
{
public:
    virtual ~CMd5A() = default;

    std::string GetStringMd5(const std::string& text) const;

    // Hashes the file in 512-byte blocks and reports each block to the
    // callback; a stop from the callback yields the digest of the part read.
    // Empty when the file cannot be opened.
    std::string GetFileMd5(const std::wstring& path, UnzipProgressCallback callback = nullptr,
                           void* user = nullptr) const;
};
