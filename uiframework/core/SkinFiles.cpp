#include "core/SkinFiles.h"

#include "core/SkinArchive.h"
#include "core/WindowManagerUI.h"

#include <new>
#include <stdexcept>

namespace CalUI {

namespace {

// The size comes from the archive's directory or the file system, so a claim
// the process cannot hold must fail the read, not end the program.
bool AllocateBytes(std::vector<BYTE>& bytes, DWORD size)
{
    try {
        bytes.resize(size);
        return true;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    bytes.clear();
    return false;
}

SkinFileResult ReadEntry(ZipHandle* zip, LPCWSTR name, DWORD maxBytes, std::vector<BYTE>& bytes)
{
    int index = -1;
    ZipEntry entry = {};
    if (FindZipItem(zip, name, true, &index, &entry) != ZR_OK) return SkinFileResult::NotFound;
    if (entry.uncompressedSize == 0) return SkinFileResult::Empty;
    if (entry.uncompressedSize > maxBytes) return SkinFileResult::TooLarge;
    if (!AllocateBytes(bytes, entry.uncompressedSize)) return SkinFileResult::CannotRead;
    ZipResult result = UnzipItemToMemory(zip, index, bytes.data(), entry.uncompressedSize);
    if (result == ZR_OK || result == ZR_MORE) return SkinFileResult::Ok;
    bytes.clear();
    return SkinFileResult::CannotRead;
}

SkinFileResult ReadArchiveFile(LPCWSTR name, DWORD maxBytes, std::vector<BYTE>& bytes)
{
    if (CWindowManagerUI::IsResourceZipCached()) {
        ZipHandle* zip = CWindowManagerUI::GetResourceZipHandle();
        return zip ? ReadEntry(zip, name, maxBytes, bytes) : SkinFileResult::CannotOpen;
    }
    CUIString path = CWindowManagerUI::GetResourcePath();
    path += CWindowManagerUI::GetResourceZip();
    ZipHandle* zip = OpenZipFile(path, CWindowManagerUI::GetResourceZipPassword());
    if (!zip) return SkinFileResult::CannotOpen;
    SkinFileResult result = ReadEntry(zip, name, maxBytes, bytes);
    CloseZip(zip);
    return result;
}

}  // namespace

SkinFileResult ReadSkinFile(LPCWSTR name, DWORD maxBytes, std::vector<BYTE>& bytes, bool* fromArchive)
{
    bool archive = !CWindowManagerUI::GetResourceZip().IsEmpty();
    if (fromArchive) *fromArchive = archive;
    if (archive) return ReadArchiveFile(name, maxBytes, bytes);
    CUIString path = CWindowManagerUI::GetResourcePath();
    path += name;
    return ReadWholeFile(path, maxBytes, bytes);
}

SkinFileResult ReadWholeFile(LPCWSTR path, DWORD maxBytes, std::vector<BYTE>& bytes)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return SkinFileResult::CannotOpen;
    DWORD size = GetFileSize(file, nullptr);
    SkinFileResult result = SkinFileResult::Ok;
    if (size == 0) {
        result = SkinFileResult::Empty;
    } else if (size > maxBytes) {
        result = SkinFileResult::TooLarge;
    } else if (!AllocateBytes(bytes, size)) {
        result = SkinFileResult::CannotRead;
    } else {
        DWORD read = 0;
        if (!ReadFile(file, bytes.data(), size, &read, nullptr) || read != size) {
            bytes.clear();
            result = SkinFileResult::CannotRead;
        }
    }
    CloseHandle(file);
    return result;
}

}  // namespace CalUI
