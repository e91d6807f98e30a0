#pragma once
// Unpacks a whole ZIP archive from disk into a folder: wide-character paths,
// entry names decoded as UTF-8 when the entry says so and in the ANSI code page
// otherwise, an optional password for traditionally encrypted entries and a
// progress callback that can stop the work.
#include "services/ProgressCallbacks.h"

#include <cstdint>
#include <memory>
#include <string>

// False for an entry name that would lead out of the destination folder once
// appended to it: rooted or UNC names, drive letters, alternate data streams
// and steps that climb ("..", and ".. " or "..." as Windows trims them).
bool StaysInsideDestination(const std::wstring& name);

class CUnzipper
{
public:
    // Results of Unzip besides minizip's own negative error codes.
    static constexpr int kSuccess = 0;
    static constexpr int kCannotOpenArchive = 1;
    // An output file or folder could not be written, an entry name leads out of
    // the destination, or the callback asked to stop.
    static constexpr int kCannotWrite = -1;
    // The destination is empty or relative (minizip's UNZ_PARAMERROR).
    static constexpr int kBadDestination = -102;
    // The copy buffer could not be allocated (minizip's UNZ_INTERNALERROR).
    static constexpr int kNoMemory = -104;

    CUnzipper();
    ~CUnzipper();
    CUnzipper(const CUnzipper&) = delete;
    CUnzipper& operator=(const CUnzipper&) = delete;

    // Extracts every entry of the archive below the destination, which must be
    // an absolute folder path and is created when missing. The password (null
    // or narrow text) opens encrypted entries. The callback gets the bytes
    // written so far over the whole archive and the archive's total after each
    // block. Files written before a failure or a stop stay where they are.
    int Unzip(const std::wstring& archivePath, const std::wstring& destination, const char* password,
              UnzipProgressCallback callback, void* user);

private:
    // The archive handle is minizip's unzFile.
    uint64_t GetTotalUncompressedSize(void* archive);
    int ExtractAll(void* archive, const char* password);
    int ExtractCurrentFile(void* archive, const char* password);
    int CopyCurrentFile(void* archive, const std::wstring& path, uint64_t expectedSize);

    std::wstring m_archivePath;
    std::wstring m_destination;
    void* m_user;
    UnzipProgressCallback m_callback;
    uint64_t m_bytesWritten;
    uint64_t m_totalBytes;
    std::unique_ptr<char[]> m_block;
};
