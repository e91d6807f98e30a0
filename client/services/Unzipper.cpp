#include "services/Unzipper.h"

#include "services/FileUtil.h"
#include "services/TextConvert.h"
#include "services/WriteLogFile.h"

#include <unzip.h>

#include <cstdio>
#include <cwctype>
#include <new>

namespace {

// Large blocks keep the per-call overhead of inflating, writing and reporting
// progress small next to the copying itself.
constexpr unsigned kBlockSize = 256 * 1024;
constexpr uLong kFlagEncrypted = 0x1;
constexpr uLong kFlagUtf8Name = 0x800;

// minizip reaches the archive only through these, so that its path can be wide.
voidpf ZCALLBACK OpenArchive(voidpf, const void* path, int mode)
{
    const wchar_t* openMode = nullptr;
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) == ZLIB_FILEFUNC_MODE_READ)
        openMode = L"rb";
    else if (mode & ZLIB_FILEFUNC_MODE_EXISTING)
        openMode = L"r+b";
    else if (mode & ZLIB_FILEFUNC_MODE_CREATE)
        openMode = L"wb";
    if (!path || !openMode)
        return nullptr;
    return _wfopen(static_cast<const wchar_t*>(path), openMode);
}

uLong ZCALLBACK ReadArchive(voidpf, voidpf stream, void* buffer, uLong size)
{
    return static_cast<uLong>(fread(buffer, 1, size, static_cast<FILE*>(stream)));
}

uLong ZCALLBACK WriteArchive(voidpf, voidpf stream, const void* buffer, uLong size)
{
    return static_cast<uLong>(fwrite(buffer, 1, size, static_cast<FILE*>(stream)));
}

ZPOS64_T ZCALLBACK TellArchive(voidpf, voidpf stream)
{
    return static_cast<ZPOS64_T>(_ftelli64(static_cast<FILE*>(stream)));
}

long ZCALLBACK SeekArchive(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    int runtimeOrigin;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
        runtimeOrigin = SEEK_SET;
        break;
    case ZLIB_FILEFUNC_SEEK_CUR:
        runtimeOrigin = SEEK_CUR;
        break;
    case ZLIB_FILEFUNC_SEEK_END:
        runtimeOrigin = SEEK_END;
        break;
    default:
        return -1;
    }
    return _fseeki64(static_cast<FILE*>(stream), static_cast<__int64>(offset), runtimeOrigin) == 0 ? 0 : -1;
}

int ZCALLBACK CloseArchive(voidpf, voidpf stream) { return fclose(static_cast<FILE*>(stream)); }

int ZCALLBACK ArchiveError(voidpf, voidpf stream) { return ferror(static_cast<FILE*>(stream)); }

// Windows drops trailing dots and blanks of a path step, so "..", ".. " and
// "..." all climb or vanish; a single "." stays where it is.
bool IsParentLikeStep(std::wstring_view step)
{
    return step.size() > 1 && step.find_first_not_of(L". ") == std::wstring_view::npos;
}

}  // namespace

// An archive's names come from whoever made it: accept only names that stay
// below the destination folder once appended to it.
bool StaysInsideDestination(const std::wstring& name)
{
    if (!name.empty() && IsPathSeparator(name.front()))
        return false;  // rooted or UNC
    if (name.find(L':') != std::wstring::npos)
        return false;  // drive letters and alternate data streams
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of(L"\\/", start);
        if (end == std::wstring::npos)
            end = name.size();
        if (IsParentLikeStep(std::wstring_view(name).substr(start, end - start)))
            return false;
        start = end + 1;
    }
    return true;
}

CUnzipper::CUnzipper() : m_user(nullptr), m_callback(nullptr), m_bytesWritten(0), m_totalBytes(0) {}

CUnzipper::~CUnzipper() = default;

int CUnzipper::Unzip(const std::wstring& archivePath, const std::wstring& destination, const char* password,
                     UnzipProgressCallback callback, void* user)
{
    m_callback = callback;
    m_user = user;
    m_archivePath = archivePath;
    m_destination = destination;
    if (!IsAbsoluteFolder(m_destination)) {
        WRITE_LOG_FORMAT(L"unzip refused destination \"%s\"", m_destination.c_str());
        return kBadDestination;
    }
    if (!IsPathSeparator(m_destination.back()))
        m_destination += L'\\';

    zlib_filefunc64_def fileFunctions = {OpenArchive, ReadArchive,  WriteArchive, TellArchive,
                                         SeekArchive, CloseArchive, ArchiveError, nullptr};
    unzFile archive = unzOpen2_64(m_archivePath.c_str(), &fileFunctions);
    if (!archive)
        return kCannotOpenArchive;
    m_totalBytes = GetTotalUncompressedSize(archive);
    const int result = ExtractAll(archive, password);
    unzClose(archive);
    return result;
}

uint64_t CUnzipper::GetTotalUncompressedSize(void* archive)
{
    unzGoToFirstFile(archive);
    unz_global_info64 global;
    if (unzGetGlobalInfo64(archive, &global) != UNZ_OK)
        return 0;
    uint64_t total = 0;
    for (ZPOS64_T index = 0; index < global.number_entry; ++index) {
        unz_file_info64 info;
        if (unzGetCurrentFileInfo64(archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
            break;
        total += info.uncompressed_size;
        if (index + 1 < global.number_entry && unzGoToNextFile(archive) != UNZ_OK)
            break;
    }
    return total;
}

int CUnzipper::ExtractAll(void* archive, const char* password)
{
    unzGoToFirstFile(archive);
    unz_global_info64 global;
    int result = unzGetGlobalInfo64(archive, &global);
    if (result != UNZ_OK)
        return result;
    for (ZPOS64_T index = 0; index < global.number_entry; ++index) {
        result = ExtractCurrentFile(archive, password);
        if (result != UNZ_OK)
            return result;
        if (index + 1 < global.number_entry) {
            result = unzGoToNextFile(archive);
            if (result != UNZ_OK)
                return result;
        }
    }
    return UNZ_OK;
}

int CUnzipper::ExtractCurrentFile(void* archive, const char* password)
{
    unz_file_info64 info;
    int result = unzGetCurrentFileInfo64(archive, &info, nullptr, 0, nullptr, 0, nullptr, 0);
    if (result != UNZ_OK)
        return result;
    std::string rawName(info.size_filename, '\0');
    result = unzGetCurrentFileInfo64(archive, &info, rawName.data(), rawName.size(), nullptr, 0, nullptr, 0);
    if (result != UNZ_OK)
        return result;

    const std::wstring name = (info.flag & kFlagUtf8Name) ? Utf8ToWide(rawName) : AnsiToWide(rawName);
    if ((name.empty() && !rawName.empty()) || !StaysInsideDestination(name)) {
        WRITE_LOG_FORMAT(L"unzip refused entry \"%s\" of %s", name.c_str(), m_archivePath.c_str());
        return kCannotWrite;
    }
    const std::wstring path = m_destination + name;
    if (IsPathSeparator(path.back()))
        return CreateFolderTree(path) ? UNZ_OK : kCannotWrite;
    // A folder that cannot be made shows up as a file that cannot be created.
    CreateFolderTree(GetFolderPart(path));

    if (!m_block)
        m_block.reset(new (std::nothrow) char[kBlockSize]);
    if (!m_block)
        return kNoMemory;
    result = (info.flag & kFlagEncrypted) ? unzOpenCurrentFilePassword(archive, password) : unzOpenCurrentFile(archive);
    if (result != UNZ_OK)
        return result;
    result = CopyCurrentFile(archive, path, info.uncompressed_size);
    // Closing compares the CRC once the whole entry was read: a wrong password
    // on a stored entry only shows here.
    const int closeResult = unzCloseCurrentFile(archive);
    return result != UNZ_OK ? result : closeResult;
}

int CUnzipper::CopyCurrentFile(void* archive, const std::wstring& path, uint64_t expectedSize)
{
    UniqueCFile file(_wfopen(path.c_str(), L"wb"));
    if (!file) {
        WRITE_LOG_FORMAT(L"unzip cannot create %s", path.c_str());
        return kCannotWrite;
    }
    uint64_t entryBytes = 0;
    for (;;) {
        const int count = unzReadCurrentFile(archive, m_block.get(), kBlockSize);
        if (count < 0)
            return count;
        if (count == 0)
            break;
        if (fwrite(m_block.get(), static_cast<size_t>(count), 1, file.get()) != 1)
            return kCannotWrite;
        entryBytes += static_cast<unsigned>(count);
        m_bytesWritten += static_cast<unsigned>(count);
        if (m_callback && !m_callback(m_user, &m_bytesWritten, m_totalBytes))
            return kCannotWrite;
    }
    // minizip ends an entry quietly when its compressed data runs out early and
    // then skips the CRC check: only the size shows the cut.
    if (entryBytes != expectedSize)
        return UNZ_BADZIPFILE;
    return CloseWrittenFile(file.release()) ? UNZ_OK : kCannotWrite;
}
