#include "core/SkinArchive.h"

#include <zlib.h>
#include <unzip.h>
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wregister"
#include <crypt.h>
#pragma GCC diagnostic pop

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace CalUI {

namespace {

constexpr uint32_t kReaderKind = 1;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr int kCentralHeaderSize = 46;
constexpr int kLocalHeaderSize = 30;
constexpr int kEncryptionHeaderSize = 12;
constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ULL;

uint16_t Le16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t Le32(const unsigned char* p) { return uint32_t(Le16(p)) | uint32_t(Le16(p + 2)) << 16; }

// The bytes minizip reads the archive through.
class ZipSource
{
public:
    virtual ~ZipSource() = default;
    virtual uLong Read(void* buffer, uLong size) = 0;
    virtual long Tell() = 0;
    virtual long Seek(uLong offset, int origin) = 0;
    virtual int Error() = 0;

    // Used for the checks minizip does not make itself.
    bool ReadAt(uint32_t offset, void* buffer, uLong size)
    {
        return Seek(offset, ZLIB_FILEFUNC_SEEK_SET) == 0 && Read(buffer, size) == size;
    }
};

class FileSource final : public ZipSource
{
public:
    explicit FileSource(HANDLE file) : file_(file), start_(SetFilePointer(file, 0, nullptr, FILE_CURRENT)) {}
    ~FileSource() override { CloseHandle(file_); }

    uLong Read(void* buffer, uLong size) override
    {
        DWORD read = 0;
        if (!ReadFile(file_, buffer, size, &read, nullptr))
            failed_ = true;
        return read;
    }
    long Tell() override { return long(SetFilePointer(file_, 0, nullptr, FILE_CURRENT) - start_); }
    long Seek(uLong offset, int origin) override
    {
        DWORD method = FILE_CURRENT;
        if (origin == ZLIB_FILEFUNC_SEEK_SET) {
            offset += start_;
            method = FILE_BEGIN;
        } else if (origin == ZLIB_FILEFUNC_SEEK_END) {
            method = FILE_END;
        }
        SetFilePointer(file_, LONG(offset), nullptr, method);
        return 0;
    }
    int Error() override { return failed_; }

private:
    HANDLE file_;
    DWORD start_;
    bool failed_ = false;
};

class MemorySource final : public ZipSource
{
public:
    MemorySource(const void* data, uint32_t length) : data_(static_cast<const unsigned char*>(data)), length_(length) {}

    uLong Read(void* buffer, uLong size) override
    {
        if (position_ >= length_)
            return 0;
        uLong count = std::min<uLong>(size, length_ - position_);
        memcpy(buffer, data_ + position_, count);
        position_ += count;
        return count;
    }
    long Tell() override { return long(position_); }
    long Seek(uLong offset, int origin) override
    {
        if (origin == ZLIB_FILEFUNC_SEEK_SET)
            position_ = offset;
        else if (origin == ZLIB_FILEFUNC_SEEK_CUR)
            position_ += offset;
        else
            position_ = length_ + offset;
        return 0;
    }
    int Error() override { return 0; }

private:
    const unsigned char* data_;
    uint32_t length_;
    uint32_t position_ = 0;
};

// minizip's file-function table over a ZipSource passed as the opaque value.
voidpf ZCALLBACK SourceOpen(voidpf opaque, const char*, int) { return opaque; }
uLong ZCALLBACK SourceRead(voidpf, voidpf stream, void* buffer, uLong size)
{
    return static_cast<ZipSource*>(stream)->Read(buffer, size);
}
uLong ZCALLBACK SourceWrite(voidpf, voidpf, const void*, uLong) { return 0; }
long ZCALLBACK SourceTell(voidpf, voidpf stream) { return static_cast<ZipSource*>(stream)->Tell(); }
long ZCALLBACK SourceSeek(voidpf, voidpf stream, uLong offset, int origin)
{
    return static_cast<ZipSource*>(stream)->Seek(offset, origin);
}
int ZCALLBACK SourceClose(voidpf, voidpf) { return 0; }  // the archive owns the source
int ZCALLBACK SourceError(voidpf, voidpf stream) { return static_cast<ZipSource*>(stream)->Error(); }

// Leading separators vanish and runs of separators become one '/'.
std::string NormalisedLookupName(const wchar_t* name)
{
    char ansi[MAX_PATH + 1] = {};
    WideCharToMultiByte(CP_ACP, 0, name, -1, ansi, MAX_PATH, nullptr, nullptr);
    ansi[MAX_PATH] = 0;
    std::string result;
    for (const char* p = ansi; *p; ++p) {
        char c = *p == '\\' ? '/' : *p;
        if (c == '/' && (result.empty() || result.back() == '/'))
            continue;
        result += c;
    }
    return result;
}

// Strips drive prefixes, leading separators and everything up to a parent
// reference, so that an entry name can never climb out of a folder.
void NormaliseEntryName(const wchar_t* stored, wchar_t* out)
{
    static const wchar_t* const parentRefs[] = {L"\\..\\", L"\\../", L"/../", L"/..\\"};
    const wchar_t* p = stored;
    for (;;) {
        if (p[0] && p[1] == L':') {
            p += 2;
            continue;
        }
        if (*p == L'\\' || *p == L'/') {
            ++p;
            continue;
        }
        const wchar_t* parent = nullptr;
        for (const wchar_t* ref : parentRefs) {
            const wchar_t* hit = wcsstr(p, ref);
            if (hit && (!parent || hit < parent))
                parent = hit;
        }
        if (!parent)
            break;
        p = parent + 4;
    }
    lstrcpynW(out, p, MAX_PATH);
}

DWORD WindowsAttributes(uLong versionMadeBy, uLong external)
{
    uLong host = versionMadeBy >> 8;
    bool dosBits = host == 0 || host == 7 || host == 11 || host == 14;
    bool readOnly = dosBits ? (external & 0x01) : !(external & 0x00800000);
    bool hidden = dosBits && (external & 0x02);
    bool system = dosBits && (external & 0x04);
    bool directory = dosBits ? (external & 0x10) : (external & 0x40000000);
    bool archive = dosBits ? (external & 0x20) : true;
    return (readOnly ? FILE_ATTRIBUTE_READONLY : 0) | (hidden ? FILE_ATTRIBUTE_HIDDEN : 0) |
           (system ? FILE_ATTRIBUTE_SYSTEM : 0) | (directory ? FILE_ATTRIBUTE_DIRECTORY : 0) |
           (archive ? FILE_ATTRIBUTE_ARCHIVE : 0);
}

FILETIME DosTimeToUtc(uLong dosDateTime)
{
    uint16_t date = uint16_t(dosDateTime >> 16), time = uint16_t(dosDateTime);
    SYSTEMTIME st = {};
    st.wYear = WORD((date >> 9) + 1980);
    st.wMonth = WORD((date >> 5) & 15);
    st.wDay = WORD(date & 31);
    st.wHour = WORD(time >> 11);
    st.wMinute = WORD((time >> 5) & 63);
    st.wSecond = WORD((time & 31) * 2);
    FILETIME local = {}, utc = {};
    SystemTimeToFileTime(&st, &local);
    LocalFileTimeToFileTime(&local, &utc);
    return utc;
}

FILETIME UnixTimeToFileTime(uint32_t unixTime)
{
    uint64_t t = uint64_t(unixTime) * 10000000ULL + kUnixEpochAsFileTime;
    return FILETIME{DWORD(t), DWORD(t >> 32)};
}

// A size field of all ones stands for the 64-bit size in the ZIP64 block
// (tag 1) of the extra field, where such sizes follow each other in the order
// of their fields: uncompressed, then compressed. Without the block the
// fields keep their value; false when the block is too short for them.
bool ReadZip64Sizes(const std::vector<unsigned char>& extra, uint64_t& uncompressed, uint64_t& compressed)
{
    constexpr uint64_t kInZip64Block = 0xFFFFFFFF;
    if (uncompressed != kInZip64Block && compressed != kInZip64Block)
        return true;
    size_t length = extra.size();
    for (size_t p = 0; p + 4 <= length; p += 4 + Le16(&extra[p + 2])) {
        if (Le16(&extra[p]) != 1)
            continue;
        size_t at = p + 4;
        const size_t end = std::min<size_t>(length, at + Le16(&extra[p + 2]));
        for (uint64_t* size : {&uncompressed, &compressed}) {
            if (*size != kInZip64Block)
                continue;
            if (at + 8 > end)
                return false;
            *size = uint64_t(Le32(&extra[at])) | uint64_t(Le32(&extra[at + 4])) << 32;
            at += 8;
        }
        return true;
    }
    return true;
}

// The extended-timestamp block ("UT") replaces the DOS time. Each time stamp
// is taken only when all four of its bytes lie inside both its block and
// the extra field; a block that claims more than it holds yields no more.
void ApplyExtendedTimestamps(const std::vector<unsigned char>& extra, ZipEntry& entry)
{
    size_t length = extra.size();
    for (size_t p = 0; p + 4 < length; p += 4 + Le16(&extra[p + 2])) {
        if (extra[p] != 'U' || extra[p + 1] != 'T')
            continue;
        size_t end = std::min<size_t>(length, p + 4 + Le16(&extra[p + 2]));
        if (p + 5 > end)
            return;
        unsigned flags = extra[p + 4];
        size_t at = p + 5;
        FILETIME* const targets[] = {&entry.writeTime, &entry.accessTime, &entry.creationTime};
        for (int bit = 0; bit < 3; ++bit) {
            if (!(flags & (1u << bit)))
                continue;
            if (at + 4 > end)
                return;
            *targets[bit] = UnixTimeToFileTime(Le32(&extra[at]));
            at += 4;
        }
        return;
    }
}

class ZipArchive
{
public:
    ZipArchive(std::unique_ptr<ZipSource> source, const char* password)
        : source_(std::move(source)), password_(password ? std::make_unique<std::string>(password) : nullptr)
    {
        zlib_filefunc_def functions = {SourceOpen, SourceRead,  SourceWrite, SourceTell,
                                       SourceSeek, SourceClose, SourceError, source_.get()};
        unz_ = unzOpen2("", &functions);
    }
    ~ZipArchive()
    {
        if (!unz_)
            return;
        CloseOpenEntry();
        unzClose(unz_);
    }
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool IsOpen() const { return unz_ != nullptr; }

    ZipResult Find(const wchar_t* name, bool ignoreCase, int* outIndex, ZipEntry* outEntry)
    {
        std::string lookup = NormalisedLookupName(name);
        if (unzLocateFile(unz_, lookup.c_str(), ignoreCase ? 2 : 1) != UNZ_OK) {
            if (outIndex)
                *outIndex = -1;
            if (outEntry) {
                *outEntry = ZipEntry{};
                outEntry->index = -1;
            }
            return ZipResult::NotFound;
        }
        CloseOpenEntry();
        int index = CurrentNumber();
        if (outIndex)
            *outIndex = index;
        return outEntry ? GetItem(index, outEntry) : ZipResult::Ok;
    }

    ZipResult GetItem(int index, ZipEntry* entry)
    {
        int count = EntryCount();
        if (index < -1 || index >= count)
            return ZipResult::BadArgument;
        CloseOpenEntry();
        if (index != -1 && index == cachedIndex_) {
            *entry = cachedEntry_;
            return ZipResult::Ok;
        }
        if (index == -1) {
            *entry = ZipEntry{};
            entry->index = count;
            return ZipResult::Ok;
        }
        ZipEntry fresh = {};
        ZipResult result = ReadEntry(index, fresh);
        if (result != ZipResult::Ok)
            return result;
        *entry = cachedEntry_ = fresh;
        cachedIndex_ = index;
        return ZipResult::Ok;
    }

    ZipResult Unzip(int index, void* buffer, unsigned int size)
    {
        if (index != openIndex_) {
            CloseOpenEntry();
            ZipResult opened = OpenEntry(index);
            if (opened != ZipResult::Ok)
                return opened;
        }
        // minizip counts what one read gives in an int, so a larger buffer is
        // filled in steps; a step that comes back short ends the data.
        constexpr unsigned int kStep = 1u << 30;
        auto* at = static_cast<unsigned char*>(buffer);
        unsigned int done = 0;
        int read = 0;
        do {
            read = unzReadCurrentFile(unz_, at + done, std::min(kStep, size - done));
            if (read > 0)
                done += unsigned(read);
        } while (read > 0 && done < size && unzeof(unz_) != 1);
        ZipResult result = ZipResult::ReadFailed;
        if (read >= 0 && unzeof(unz_) == 1)
            result = ZipResult::Ok;
        else if (read > 0 && done == size)
            result = ZipResult::More;
        // A buffer left short with the entry not at its end: the data ends
        // before the size the entry claims.
        if (read <= 0 || result == ZipResult::ReadFailed)
            CloseOpenEntry();
        return result;
    }

private:
    int EntryCount()
    {
        unz_global_info info = {};
        unzGetGlobalInfo(unz_, &info);
        return int(info.number_entry);
    }

    int CurrentNumber()
    {
        unz_file_pos pos = {};
        return unzGetFilePos(unz_, &pos) == UNZ_OK ? int(pos.num_of_file) : -1;
    }

    // Steps forward from the current entry; only a backward move restarts.
    bool GoToEntry(int index)
    {
        int current = CurrentNumber();
        if (current < 0 || index < current) {
            if (unzGoToFirstFile(unz_) != UNZ_OK)
                return false;
            current = 0;
        }
        for (; current < index; ++current)
            if (unzGoToNextFile(unz_) != UNZ_OK)
                return false;
        return true;
    }

    void CloseOpenEntry()
    {
        if (openIndex_ < 0)
            return;
        unzCloseCurrentFile(unz_);
        openIndex_ = -1;
    }

    ZipResult OpenEntry(int index)
    {
        if (index < 0 || index >= EntryCount())
            return ZipResult::BadArgument;
        unz_file_info64 info = {};
        if (!GoToEntry(index) || unzGetCurrentFileInfo64(unz_, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
            return ZipResult::ReadFailed;
        // minizip decrypts whenever it is given a password, so one is passed
        // for encrypted entries only; no password means the initial keys.
        bool encrypted = info.flag & 1;
        const char* password = encrypted ? (password_ ? password_->c_str() : "") : nullptr;
        if (unzOpenCurrentFilePassword(unz_, password) != UNZ_OK)
            return ZipResult::ReadFailed;
        if (encrypted && !PasswordMatches(info)) {
            unzCloseCurrentFile(unz_);
            return ZipResult::BadPassword;
        }
        openIndex_ = index;
        return ZipResult::Ok;
    }

    // The last byte of the decrypted encryption header repeats the high byte
    // of the CRC (or of the DOS time for entries with a data descriptor).
    bool PasswordMatches(const unz_file_info64& info)
    {
        unsigned char header[kEncryptionHeaderSize];
        uint64_t dataStart = unzGetCurrentFileZStreamPos64(unz_);
        if (dataStart < kEncryptionHeaderSize ||
            !source_->ReadAt(uint32_t(dataStart - kEncryptionHeaderSize), header, sizeof header))
            return false;
        unsigned long keys[3];
        const z_crc_t* crcTable = get_crc_table();
        init_keys(password_ ? password_->c_str() : "", keys, crcTable);
        for (unsigned char& c : header)
            c = zdecode(keys, crcTable, c);
        unsigned char check = (info.flag & 8) ? (info.dosDate >> 8) & 0xff : info.crc >> 24;
        return header[kEncryptionHeaderSize - 1] == check;
    }

    ZipResult ReadEntry(int index, ZipEntry& entry)
    {
        // The 64-bit form: the other one cuts the sizes of ZIP64 entries to
        // their low 32 bits.
        unz_file_info64 info = {};
        char storedName[MAX_PATH + 1] = {};
        if (!GoToEntry(index) ||
            unzGetCurrentFileInfo64(unz_, &info, storedName, MAX_PATH, nullptr, 0, nullptr, 0) != UNZ_OK)
            return ZipResult::Corrupt;
        std::vector<unsigned char> extra;
        ZipResult local = ReadLocalHeader(info, extra);
        if (local != ZipResult::Ok)
            return local;

        entry.index = index;
        wchar_t wide[MAX_PATH + 1] = {};
        MultiByteToWideChar(CP_ACP, 0, storedName, -1, wide, MAX_PATH);
        NormaliseEntryName(wide, entry.name);
        entry.attributes = WindowsAttributes(info.version, info.external_fa);
        entry.compressedSize = info.compressed_size;
        entry.uncompressedSize = info.uncompressed_size;
        entry.writeTime = entry.accessTime = entry.creationTime = DosTimeToUtc(info.dosDate);
        ApplyExtendedTimestamps(extra, entry);
        return ZipResult::Ok;
    }

    // Checks the local header against the central record and reads its
    // extra field, which is where the extended time stamps live.
    ZipResult ReadLocalHeader(const unz_file_info64& info, std::vector<unsigned char>& extra)
    {
        unsigned char central[kCentralHeaderSize], local[kLocalHeaderSize];
        if (!source_->ReadAt(unzGetOffset(unz_), central, sizeof central) || Le32(central) != kCentralSignature)
            return ZipResult::Corrupt;
        uint32_t localOffset = Le32(central + 42);
        if (!source_->ReadAt(localOffset, local, sizeof local) || Le32(local) != kLocalSignature)
            return ZipResult::Corrupt;
        uint16_t method = Le16(local + 8);
        bool descriptor = Le16(local + 6) & 8;
        if (method != info.compression_method || (method != 0 && method != Z_DEFLATED))
            return ZipResult::Corrupt;
        if (!descriptor && Le32(local + 14) != info.crc)
            return ZipResult::Corrupt;
        if (Le16(local + 26) != info.size_filename)
            return ZipResult::Corrupt;
        extra.resize(Le16(local + 28));
        if (!extra.empty() &&
            !source_->ReadAt(localOffset + kLocalHeaderSize + info.size_filename, extra.data(), uLong(extra.size())))
            return ZipResult::BadExtraField;
        // The sizes come after the extra field, which may hold them whole.
        if (descriptor)
            return ZipResult::Ok;
        uint64_t uncompressed = Le32(local + 22), compressed = Le32(local + 18);
        if (!ReadZip64Sizes(extra, uncompressed, compressed) || compressed != info.compressed_size ||
            uncompressed != info.uncompressed_size)
            return ZipResult::Corrupt;
        return ZipResult::Ok;
    }

    std::unique_ptr<ZipSource> source_;
    std::unique_ptr<std::string> password_;
    unzFile unz_ = nullptr;
    int openIndex_ = -1;
    int cachedIndex_ = -1;
    ZipEntry cachedEntry_ = {};
};

}  // namespace

struct ZipHandle
{
    uint32_t kind;
    ZipArchive* archive;
};

namespace {

ZipHandle* OpenArchive(std::unique_ptr<ZipSource> source, const char* password)
{
    auto archive = std::make_unique<ZipArchive>(std::move(source), password);
    if (!archive->IsOpen())
        return nullptr;
    return new ZipHandle{kReaderKind, archive.release()};
}

template <class Operation>
ZipResult WithArchive(ZipHandle* zip, Operation operation)
{
    if (!zip)
        return ZipResult::BadArgument;
    if (zip->kind != kReaderKind)
        return ZipResult::NotReader;
    return operation(*zip->archive);
}

}  // namespace

ZipHandle* OpenZipFile(const wchar_t* path, const char* password)
{
    HANDLE file =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    return OpenArchive(std::make_unique<FileSource>(file), password);
}

ZipHandle* OpenZipMemory(const void* data, unsigned int size, const char* password)
{
    return OpenArchive(std::make_unique<MemorySource>(data, size), password);
}

ZipResult FindZipItem(ZipHandle* zip, const wchar_t* name, bool ignoreCase, int* outIndex, ZipEntry* outEntry)
{
    return WithArchive(zip, [&](ZipArchive& a) { return a.Find(name, ignoreCase, outIndex, outEntry); });
}

ZipResult GetZipItem(ZipHandle* zip, int index, ZipEntry* outEntry)
{
    return WithArchive(zip, [&](ZipArchive& a) { return a.GetItem(index, outEntry); });
}

ZipResult UnzipItemToMemory(ZipHandle* zip, int index, void* buffer, unsigned int size)
{
    return WithArchive(zip, [&](ZipArchive& a) { return a.Unzip(index, buffer, size); });
}

ZipResult CloseZip(ZipHandle* zip)
{
    ZipResult result = WithArchive(zip, [](ZipArchive& a) {
        delete &a;
        return ZipResult::Ok;
    });
    if (result == ZipResult::Ok)
        delete zip;
    return result;
}

}  // namespace CalUI
