#include "core/SkinFiles.h"

#include "core/SkinArchive.h"
#include "core/WindowManagerUI.h"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace CalUI {

namespace {

// What one call of the archive or file functions reads at most: they count in
// 32 bits.
constexpr uint64_t kReadStep = 1u << 30;

// The size comes from the archive's directory or the file system, so a claim
// the process cannot hold, or one beyond what a size_t can count, must fail
// the read, not end the program.
bool AllocateBytes(std::vector<BYTE>& bytes, uint64_t size)
{
    if (size <= bytes.max_size()) {
        try {
            bytes.resize(static_cast<size_t>(size));
            return true;
        } catch (const std::bad_alloc&) {
        } catch (const std::length_error&) {
        }
    }
    bytes.clear();
    return false;
}

// Only a whole entry counts: one whose data ends before the size it claims is
// damaged, not a shorter file.
SkinFileResult ReadEntry(ZipHandle* zip, LPCWSTR name, uint64_t maxBytes, std::vector<BYTE>& bytes)
{
    int index = -1;
    ZipEntry entry = {};
    if (FindZipItem(zip, name, true, &index, &entry) != ZipResult::Ok)
        return SkinFileResult::NotFound;
    const uint64_t size = entry.uncompressedSize;
    if (size == 0)
        return SkinFileResult::Empty;
    if (size > maxBytes)
        return SkinFileResult::TooLarge;
    if (!AllocateBytes(bytes, size))
        return SkinFileResult::CannotRead;
    ZipResult result = ZipResult::More;
    for (uint64_t done = 0; result == ZipResult::More && done < size;) {
        const auto step = static_cast<unsigned int>(std::min(size - done, kReadStep));
        result = UnzipItemToMemory(zip, index, bytes.data() + done, step);
        done += step;
    }
    if (result == ZipResult::Ok)
        return SkinFileResult::Ok;
    bytes.clear();
    return SkinFileResult::CannotRead;
}

SkinFileResult ReadArchiveFile(LPCWSTR name, uint64_t maxBytes, std::vector<BYTE>& bytes)
{
    if (CWindowManagerUI::IsResourceZipCached()) {
        ZipHandle* zip = CWindowManagerUI::GetResourceZipHandle();
        return zip ? ReadEntry(zip, name, maxBytes, bytes) : SkinFileResult::CannotOpen;
    }
    CUIString path = CWindowManagerUI::GetResourcePath();
    path += CWindowManagerUI::GetResourceZip();
    ZipHandle* zip = OpenZipFile(path, CWindowManagerUI::GetResourceZipPassword());
    if (!zip)
        return SkinFileResult::CannotOpen;
    SkinFileResult result = ReadEntry(zip, name, maxBytes, bytes);
    CloseZip(zip);
    return result;
}

}  // namespace

SkinFileResult ReadSkinFile(LPCWSTR name, uint64_t maxBytes, std::vector<BYTE>& bytes, bool* fromArchive)
{
    bool archive = !CWindowManagerUI::GetResourceZip().IsEmpty();
    if (fromArchive)
        *fromArchive = archive;
    if (archive)
        return ReadArchiveFile(name, maxBytes, bytes);
    CUIString path = CWindowManagerUI::GetResourcePath();
    path += name;
    return ReadWholeFile(path, maxBytes, bytes);
}

SkinFileResult ReadWholeFile(LPCWSTR path, uint64_t maxBytes, std::vector<BYTE>& bytes)
{
    HANDLE file =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return SkinFileResult::CannotOpen;
    LARGE_INTEGER measured = {};
    const bool sized = GetFileSizeEx(file, &measured) != FALSE;
    const uint64_t size = sized ? static_cast<uint64_t>(measured.QuadPart) : 0;
    SkinFileResult result = SkinFileResult::Ok;
    if (!sized) {
        result = SkinFileResult::CannotRead;
    } else if (size == 0) {
        result = SkinFileResult::Empty;
    } else if (size > maxBytes) {
        result = SkinFileResult::TooLarge;
    } else if (!AllocateBytes(bytes, size)) {
        result = SkinFileResult::CannotRead;
    } else {
        for (uint64_t done = 0; done < size;) {
            const auto step = static_cast<DWORD>(std::min(size - done, kReadStep));
            DWORD read = 0;
            if (!ReadFile(file, bytes.data() + done, step, &read, nullptr) || read != step) {
                bytes.clear();
                result = SkinFileResult::CannotRead;
                break;
            }
            done += step;
        }
    }
    CloseHandle(file);
    return result;
}

}  // namespace CalUI
