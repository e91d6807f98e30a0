#pragma once
// Read-only access to the skin archive (a ZIP file on disk or held in memory):
// open, find an entry by name, inflate one entry into the caller's buffer,
// close. Every call that takes a handle reports through a ZipResult.

#include <windows.h>

#include <cstdint>

namespace CalUI {

// The numbers are those the archive calls have always answered with.
enum class ZipResult : uint32_t
{
    Ok = 0,
    NotFound = 0x500,
    More = 0x600,            // the buffer is full and the entry has more data
    Corrupt = 0x700,         // local header disagrees with the central directory
    BadExtraField = 0x800,   // the local extra field cannot be read
    BadPassword = 0x1000,    // an encrypted entry with a wrong or missing password
    BadArgument = 0x10000,   // null handle or an index outside the archive
    NotReader = 0x80000,     // the handle is not an archive-reader handle
    ReadFailed = 0x5000000,  // reading or inflating failed
};

struct ZipEntry
{
    int index;  // for index -1: the number of entries
    wchar_t name[MAX_PATH];
    DWORD attributes;  // FILE_ATTRIBUTE_* bits
    FILETIME accessTime;
    FILETIME creationTime;
    FILETIME writeTime;
    uint64_t compressedSize;  // ZIP64 entries are larger than 32 bits can say
    uint64_t uncompressedSize;
};

struct ZipHandle;

// Both return null when the source cannot be opened or holds no ZIP archive.
// A memory archive reads the caller's block in place until CloseZip.
ZipHandle* OpenZipFile(const wchar_t* path, const char* password);
ZipHandle* OpenZipMemory(const void* data, unsigned int size, const char* password);

// '\' and '/' are equivalent; leading and repeated separators are ignored.
ZipResult FindZipItem(ZipHandle* zip, const wchar_t* name, bool ignoreCase, int* outIndex, ZipEntry* outEntry);
ZipResult GetZipItem(ZipHandle* zip, int index, ZipEntry* outEntry);
// A ZipResult::More result leaves the entry open: the next call with the same index
// continues where this one stopped. An entry whose data ends before the size
// it claims gives ZipResult::ReadFailed.
ZipResult UnzipItemToMemory(ZipHandle* zip, int index, void* buffer, unsigned int size);
ZipResult CloseZip(ZipHandle* zip);

}  // namespace CalUI
