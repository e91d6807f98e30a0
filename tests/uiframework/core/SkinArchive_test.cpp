#include "core/SkinArchive.h"

#include "EnumPrinters.h"
#include "ScratchFolder.h"
#include "TestPaths.h"
#include "ZipWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace CalUI;

namespace {

// skin.zip is made by the zip tool with this password (see make-skin-zip.sh).
const char kSkinPassword[] = "Cv!2024";

std::string SkinZipBytes() { return ScratchFolder::ReadFile(SourceTreePath(L"tests\\fixtures\\skin.zip")); }

std::string LongText()
{
    std::string text;
    char line[64];
    for (int i = 0; i < 2000; ++i) {
        snprintf(line, sizeof line, "line %05d of a long skin text\n", i);
        text += line;
    }
    return text;
}

uint64_t Ticks(const FILETIME& t) { return uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime; }
uint64_t UnixTicks(uint32_t seconds) { return seconds * 10000000ULL + 116444736000000000ULL; }

struct ZipCloser
{
    void operator()(ZipHandle* zip) const { CloseZip(zip); }
};
using ZipPtr = std::unique_ptr<ZipHandle, ZipCloser>;

// The same archive opened from disk and from memory must behave alike.
struct ArchiveSource
{
    const char* label;
    std::function<ZipHandle*(const char* password)> open;
};

class SkinZip : public testing::TestWithParam<ArchiveSource>
{
protected:
    ZipPtr Open(const char* password = kSkinPassword) { return ZipPtr(GetParam().open(password)); }

    std::string ReadAll(ZipHandle* zip, const wchar_t* name, unsigned int chunk, int* mores)
    {
        int index = -1;
        ZipEntry entry = {};
        EXPECT_EQ(ZipResult::Ok, FindZipItem(zip, name, true, &index, &entry));
        std::string out, buffer(chunk, '\0');
        for (;;) {
            ZipResult r = UnzipItemToMemory(zip, index, buffer.data(), chunk);
            if (r != ZipResult::Ok && r != ZipResult::More) {
                ADD_FAILURE() << testing::PrintToString(r);
                return out;
            }
            size_t got = r == ZipResult::Ok ? entry.uncompressedSize - out.size() : chunk;
            out.append(buffer.data(), got);
            if (r == ZipResult::Ok)
                return out;
            ++*mores;
        }
    }
};

std::string g_memoryCopy = SkinZipBytes();

INSTANTIATE_TEST_SUITE_P(
    FromDiskAndMemory, SkinZip,
    testing::Values(ArchiveSource{"disk",
                                  [](const char* pw) {
                                      return OpenZipFile(SourceTreePath(L"tests\\fixtures\\skin.zip").c_str(), pw);
                                  }},
                    ArchiveSource{"memory",
                                  [](const char* pw) {
                                      return OpenZipMemory(g_memoryCopy.data(), unsigned(g_memoryCopy.size()), pw);
                                  }}),
    [](const testing::TestParamInfo<ArchiveSource>& info) { return std::string(info.param.label); });

TEST_P(SkinZip, FindsEntriesWhateverTheSeparatorsAndCase)
{
    ZipPtr zip = Open();
    ASSERT_TRUE(zip);
    struct Lookup
    {
        const wchar_t* name;
        bool ignoreCase;
        ZipResult result;
        int index;
    };
    const Lookup lookups[] = {
        {L"img/bk.png", false, ZipResult::Ok, 1},        {L"/img\\bk.png", true, ZipResult::Ok, 1},
        {L"img\\bk.png", true, ZipResult::Ok, 1},        {L"IMG/BK.PNG", true, ZipResult::Ok, 1},
        {L"img//bk.png", true, ZipResult::Ok, 1},        {L"\\\\login.xml", false, ZipResult::Ok, 0},
        {L"IMG/BK.PNG", false, ZipResult::NotFound, -1}, {L"img/missing.png", true, ZipResult::NotFound, -1},
    };
    for (const Lookup& l : lookups) {
        int index = 99;
        ZipEntry entry = {};
        EXPECT_EQ(l.result, FindZipItem(zip.get(), l.name, l.ignoreCase, &index, &entry)) << l.name;
        EXPECT_EQ(l.index, index) << l.name;
        EXPECT_EQ(l.index, entry.index) << l.name;
        if (l.result == ZipResult::Ok) {
            EXPECT_STREQ(l.index ? L"img/bk.png" : L"login.xml", entry.name);
        }
    }
    ZipEntry count = {};
    EXPECT_EQ(ZipResult::Ok, GetZipItem(zip.get(), -1, &count));
    EXPECT_EQ(3, count.index);
    EXPECT_STREQ(L"", count.name);
}

TEST_P(SkinZip, UnpacksEncryptedEntriesWholeAndInPieces)
{
    ZipPtr zip = Open();
    ASSERT_TRUE(zip);
    int mores = 0;
    std::string xml = ReadAll(zip.get(), L"login.xml", 256, &mores);
    EXPECT_EQ(0, mores) << "a buffer of exactly the entry's size takes it whole";
    EXPECT_EQ(0u, xml.find("<?xml")) << xml;
    EXPECT_NE(std::string::npos, xml.find("name=\"msg_lab\""));

    std::string text = ReadAll(zip.get(), L"img/long.txt", 1000, &mores);
    EXPECT_EQ(61, mores) << "62000 bytes in 1000-byte pieces: 61 full buffers, then the last one ends it";
    EXPECT_EQ(LongText(), text);
}

TEST_P(SkinZip, ReportsEntryDetailsFromTheLocalTimestampBlock)
{
    ZipPtr zip = Open();
    ASSERT_TRUE(zip);
    ZipEntry entry = {};
    ASSERT_EQ(ZipResult::Ok, FindZipItem(zip.get(), L"img/long.txt", true, nullptr, &entry));
    EXPECT_EQ(62000u, entry.uncompressedSize);
    EXPECT_LT(entry.compressedSize, entry.uncompressedSize);
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_ARCHIVE), entry.attributes) << "a Unix file with its owner's write bit";
    // The zip tool writes modification and access time; creation keeps the DOS time.
    const uint32_t written = 1614834368;  // 2021-03-04 05:06:08 UTC
    EXPECT_EQ(UnixTicks(written), Ticks(entry.writeTime));
    EXPECT_EQ(UnixTicks(written), Ticks(entry.accessTime));
    FILETIME local = {};
    SYSTEMTIME st = {};
    FileTimeToLocalFileTime(&entry.creationTime, &local);
    FileTimeToSystemTime(&local, &st);
    EXPECT_EQ(2021, st.wYear);
    EXPECT_EQ(5, st.wHour);
    EXPECT_EQ(8, st.wSecond);
}

TEST_P(SkinZip, ResultCodes)
{
    ZipPtr right = Open(), wrong = Open("wrong"), none = Open(nullptr);
    ASSERT_TRUE(right && wrong && none);
    char buffer[300];
    struct Case
    {
        const char* what;
        std::function<ZipResult()> call;
        ZipResult expected;
    };
    struct
    {
        uint32_t kind;
        void* archive;
    } notAReader = {2, nullptr};
    auto* foreign = reinterpret_cast<ZipHandle*>(&notAReader);
    const Case cases[] = {
        {"right password", [&] { return UnzipItemToMemory(right.get(), 0, buffer, sizeof buffer); }, ZipResult::Ok},
        {"wrong password", [&] { return UnzipItemToMemory(wrong.get(), 0, buffer, sizeof buffer); },
         ZipResult::BadPassword},
        {"no password", [&] { return UnzipItemToMemory(none.get(), 0, buffer, sizeof buffer); },
         ZipResult::BadPassword},
        {"small buffer", [&] { return UnzipItemToMemory(right.get(), 2, buffer, sizeof buffer); }, ZipResult::More},
        {"index past the end", [&] { return UnzipItemToMemory(right.get(), 3, buffer, sizeof buffer); },
         ZipResult::BadArgument},
        {"item past the end",
         [&] {
             ZipEntry e;
             return GetZipItem(right.get(), 3, &e);
         },
         ZipResult::BadArgument},
        {"item below -1",
         [&] {
             ZipEntry e;
             return GetZipItem(right.get(), -2, &e);
         },
         ZipResult::BadArgument},
        {"null find", [&] { return FindZipItem(nullptr, L"login.xml", true, nullptr, nullptr); },
         ZipResult::BadArgument},
        {"null item",
         [&] {
             ZipEntry e;
             return GetZipItem(nullptr, 0, &e);
         },
         ZipResult::BadArgument},
        {"null unzip", [&] { return UnzipItemToMemory(nullptr, 0, buffer, 1); }, ZipResult::BadArgument},
        {"null close", [&] { return CloseZip(nullptr); }, ZipResult::BadArgument},
        {"foreign find", [&] { return FindZipItem(foreign, L"login.xml", true, nullptr, nullptr); },
         ZipResult::NotReader},
        {"foreign unzip", [&] { return UnzipItemToMemory(foreign, 0, buffer, 1); }, ZipResult::NotReader},
        {"foreign close", [&] { return CloseZip(foreign); }, ZipResult::NotReader},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, c.call()) << c.what;
    // The archive stays usable after a wrong password.
    EXPECT_EQ(ZipResult::BadPassword, UnzipItemToMemory(wrong.get(), 1, buffer, sizeof buffer));
    EXPECT_EQ(ZipResult::Ok, FindZipItem(wrong.get(), L"login.xml", true, nullptr, nullptr));
}

TEST(SkinArchive, OpeningSomethingThatIsNoArchiveGivesNoHandle)
{
    const std::string notZip = "PK\x03\x04 this is not a zip archive at all";
    EXPECT_EQ(nullptr, OpenZipMemory(notZip.data(), unsigned(notZip.size()), nullptr));
    EXPECT_EQ(nullptr, OpenZipMemory("", 0, nullptr));
    EXPECT_EQ(nullptr, OpenZipFile(L"Z:\\no\\such\\skin.zip", nullptr));
    // A directory that claims to lie beyond its own end record.
    std::string zip = BuildZip({{.name = "a.txt", .data = "abc"}});
    zip[zip.size() - 6] = char(0x70);
    EXPECT_EQ(nullptr, OpenZipMemory(zip.data(), unsigned(zip.size()), nullptr));
}

ZipEntry OnlyEntry(const std::string& zip, ZipResult expected = ZipResult::Ok)
{
    ZipPtr handle(OpenZipMemory(zip.data(), unsigned(zip.size()), nullptr));
    ZipEntry entry = {};
    EXPECT_TRUE(handle);
    EXPECT_EQ(expected, GetZipItem(handle.get(), 0, &entry));
    return entry;
}

TEST(SkinArchive, EntryNamesCannotClimbOutOfTheirFolder)
{
    const std::pair<const char*, const wchar_t*> names[] = {
        {"C:\\..\\x/../a.txt", L"a.txt"},  {"/abs/b.txt", L"abs/b.txt"},    {"d/..\\e/c.txt", L"e/c.txt"},
        {"\\\\srv\\f.txt", L"srv\\f.txt"}, {"img\\bk.png", L"img\\bk.png"},
    };
    for (auto [stored, shown] : names)
        EXPECT_STREQ(shown, OnlyEntry(BuildZip({{.name = stored, .data = "x"}})).name);
}

TEST(SkinArchive, AttributesFollowTheHostSystem)
{
    struct Case
    {
        uint16_t versionMadeBy;
        uint32_t external;
        DWORD attributes;
    };
    const Case cases[] = {
        {0x0014, 0x23, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE},
        {0x0B14, 0x14, FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY},
        {0x0314, 0x41ED0010, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE},  // rwx dir
        {0x0314, 0x81240000, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE},   // r--r--r--
    };
    for (const Case& c : cases) {
        ZipWriterEntry e{.name = "f", .data = "x", .versionMadeBy = c.versionMadeBy, .externalAttributes = c.external};
        EXPECT_EQ(c.attributes, OnlyEntry(BuildZip({e})).attributes) << std::hex << c.versionMadeBy;
    }
}

TEST(SkinArchive, ExtendedTimestampsAreReadOnlyInsideTheirBlock)
{
    const uint32_t t1 = 1600000000, t2 = 1500000000, t3 = 1400000000;
    ZipWriterEntry dosOnly{.name = "f", .data = "x"};
    const uint64_t dos = Ticks(OnlyEntry(BuildZip({dosOnly})).writeTime);
    struct Case
    {
        const char* what;
        std::string extra;
        uint64_t write, access, creation;
    };
    const Case cases[] = {
        {"modification only", ExtraBlock("UT", "\x01" + Le32Bytes(t1)), UnixTicks(t1), dos, dos},
        {"all three", ExtraBlock("UT", "\x07" + Le32Bytes(t1) + Le32Bytes(t2) + Le32Bytes(t3)), UnixTicks(t1),
         UnixTicks(t2), UnixTicks(t3)},
        {"after another block", ExtraBlock("ux", "abcd") + ExtraBlock("UT", "\x03" + Le32Bytes(t1) + Le32Bytes(t2)),
         UnixTicks(t1), UnixTicks(t2), dos},
        // The block claims three times but holds one; what follows it is no time.
        {"block shorter than its flags",
         "UT" + Le16Bytes(5) + "\x07" + Le32Bytes(t1) + ExtraBlock("zz", Le32Bytes(t2) + Le32Bytes(t3)), UnixTicks(t1),
         dos, dos},
        {"block longer than the field", "UT" + Le16Bytes(13) + "\x07" + Le32Bytes(t1) + "\x01\x02", UnixTicks(t1), dos,
         dos},
        {"flag byte outside the field", "UT" + Le16Bytes(9), dos, dos, dos},
        {"empty block", ExtraBlock("UT", "") + ExtraBlock("zz", "\x01" + Le32Bytes(t1)), dos, dos, dos},
    };
    for (const Case& c : cases) {
        ZipWriterEntry e{.name = "f", .data = "x", .localExtra = c.extra};
        ZipEntry entry = OnlyEntry(BuildZip({e}));
        EXPECT_EQ(c.write, Ticks(entry.writeTime)) << c.what;
        EXPECT_EQ(c.access, Ticks(entry.accessTime)) << c.what;
        EXPECT_EQ(c.creation, Ticks(entry.creationTime)) << c.what;
    }
}

TEST(SkinArchive, LocalHeadersThatDisagreeAreRejected)
{
    ZipWriterEntry method{.name = "f", .data = "x", .localMethodOverride = 8};
    OnlyEntry(BuildZip({method}), ZipResult::Corrupt);
    ZipWriterEntry extra{.name = "f", .data = "x", .localExtraLengthOverride = 0xFFFF};
    OnlyEntry(BuildZip({extra}), ZipResult::BadExtraField);
}

TEST(SkinArchive, PasswordCheckUsesTheCrcWithoutADataDescriptor)
{
    std::vector<ZipWriterEntry> entries = {
        {.name = "plain.txt", .data = "open text"},
        {.name = "secret.txt", .data = std::string(500, 's'), .deflate = true, .password = "pw"},
    };
    std::string bytes = BuildZip(entries);
    for (const char* password : {"pw", "px", static_cast<const char*>(nullptr)}) {
        char buffer[600] = {};
        ZipPtr zip(OpenZipMemory(bytes.data(), unsigned(bytes.size()), password));
        ASSERT_TRUE(zip);
        EXPECT_EQ(ZipResult::Ok, UnzipItemToMemory(zip.get(), 0, buffer, sizeof buffer))
            << "unencrypted entries ignore it";
        EXPECT_STREQ("open text", buffer);
        bool right = password && std::string(password) == "pw";
        EXPECT_EQ(right ? ZipResult::Ok : ZipResult::BadPassword,
                  UnzipItemToMemory(zip.get(), 1, buffer, sizeof buffer));
        if (right) {
            EXPECT_EQ(std::string(500, 's'), std::string(buffer, 500));
        }
    }
}

}  // namespace
