// The client's stateless helpers: URL encodings, text conversions, paths,
// files and folders, machine facts and the time stamp.
#include <windows.h>
#include <gtest/gtest.h>

#include "services/FileUtil.h"
#include "services/MachineInfo.h"
#include "ScratchFolder.h"
#include "TestPaths.h"
#include "services/TextConvert.h"
#include "services/Timestamp.h"
#include "services/UrlEncoding.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <regex>
#include <string>
#include <utility>

namespace {

// "中文" in UTF-8 and in code page 936.
const std::string kChineseUtf8 = "\xE4\xB8\xAD\xE6\x96\x87";
const std::string kChineseGbk = "\xD6\xD0\xCE\xC4";

struct EncodingCase
{
    std::string input;
    std::string expected;
};

TEST(UrlEncoding, ParameterValues)
{
    const EncodingCase cases[] = {
        {"azAZ09-_.", "azAZ09-_."},
        {"a b", "a+b"},
        {"+", "%2B"},
        {"~*", "%7E%2A"},
        {"a/b:c?d=e&f%", "a%2Fb%3Ac%3Fd%3De%26f%25"},
        {"\xE4\xB8\xAD", "%E4%B8%AD"},
        {std::string("\x00\xFF\x7F", 3), "%00%FF%7F"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(c.expected, UrlEncode(c.input));
    }
}

TEST(UrlEncoding, DownloadPaths)
{
    const EncodingCase cases[] = {
        {"https://cdn.example.com:8443/a/b-c.zip?v=2", "https://cdn.example.com:8443/a/b-c.zip?v=2"},
        {"a b", "a%20b"},
        {"game_1.zip", "game%5F1.zip"},
        {"?a=1&b=2%", "?a=1%26b=2%25"},
        {"+~*", "%2B%7E%2A"},
        {"/" + kChineseUtf8 + ".zip", "/%E4%B8%AD%E6%96%87.zip"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(c.expected, UrlEncodePath(c.input));
    }
}

TEST(TextHelpers, ChangeCaseTouchesOnlyAsciiLetters)
{
    struct Case
    {
        bool upper;
        std::string input;
        std::string expected;
    };
    // 0xC3 0xA9 and 0xE9 are letters in Latin code pages; they must stay as they are.
    const Case cases[] = {
        {false, "%2F%E4AbC", "%2f%e4abc"},
        {true, "%2f%e4aBc", "%2F%E4ABC"},
        {false, "@[`{Z", "@[`{z"},
        {true, "@[`{a", "@[`{A"},
        {true, "\xC3\xA9\xE9" + kChineseUtf8, "\xC3\xA9\xE9" + kChineseUtf8},
        {false, "\xC3\x89\xC9" + kChineseGbk, "\xC3\x89\xC9" + kChineseGbk},
        {true, std::string("a\0b", 3), std::string("A\0B", 3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(c.expected, ChangeCase(c.upper, c.input));
    }
}

TEST(TextHelpers, TrimRemovesCharactersOfTheSetAtBothEnds)
{
    struct Case
    {
        std::wstring text;
        std::wstring set;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"  中 文  ", L" ", L"中 文"},         {L"    ", L" ", L""},   {L"", L" ", L""},
        {L"\r\n\t x \t\r\n", L" \t\r\n", L"x"}, {L"xxyxx", L"x", L"y"}, {L"abc", L"", L"abc"},
    };
    for (const auto& c : cases) {
        std::wstring text = c.text;
        Trim(text, c.set);
        EXPECT_EQ(c.expected, text) << "text of " << c.text.size() << " characters";
    }
}

TEST(TextConversions, ChineseTextRoundTripsBetweenUtf8AndUtf16)
{
    EXPECT_EQ(kChineseUtf8, WideToUtf8(L"中文"));
    EXPECT_EQ(L"中文", Utf8ToWide(kChineseUtf8));
    const std::wstring mixed = L"游戏 Game 下载 \U0001F600 ©";
    EXPECT_EQ(mixed, Utf8ToWide(WideToUtf8(mixed)));
    EXPECT_EQ("\xF0\x9F\x98\x80", WideToUtf8(L"\U0001F600")) << "a surrogate pair is one 4-byte character";
}

TEST(TextConversions, AnsiIsTheSystemCodePage)
{
    ASSERT_EQ(936u, GetACP()) << "tests run with the Chinese ANSI code page";
    EXPECT_EQ(L"中文", AnsiToWide(kChineseGbk));
    EXPECT_EQ(L"abc", AnsiToWide("abc"));
    EXPECT_NE(AnsiToWide(kChineseUtf8), Utf8ToWide(kChineseUtf8)) << "the two byte encodings are not the same";
}

TEST(TextConversions, StopAtTheFirstZeroAndGiveEmptyForEmpty)
{
    EXPECT_EQ("ab", WideToUtf8(std::wstring(L"ab\0cd", 5)));
    EXPECT_EQ(L"中", Utf8ToWide(std::string("\xE4\xB8\xAD\0\xE6\x96\x87", 7)));
    EXPECT_EQ(L"中", AnsiToWide(std::string("\xD6\xD0\0\xCE\xC4", 5)));
    EXPECT_EQ("", WideToUtf8(L""));
    EXPECT_EQ(L"", Utf8ToWide(""));
    EXPECT_EQ(L"", AnsiToWide(std::string("\0abc", 4)));
}

TEST(PathParts, SplitAtTheLastSeparatorOfEitherKind)
{
    struct Case
    {
        std::wstring path;
        std::wstring folder;
        std::wstring fileName;
    };
    const Case cases[] = {
        {L"C:\\a\\b.txt", L"C:\\a", L"b.txt"},
        {L"https://cdn.example.com/x/y/z.zip", L"https://cdn.example.com/x/y", L"z.zip"},
        {L"C:\\a/b\\c/d.exe", L"C:\\a/b\\c", L"d.exe"},
        {L"C:\\a\\", L"C:\\a", L""},
        {L"name.zip", L"name.zip", L"name.zip"},
        {L"", L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.folder, GetFolderPart(c.path));
        EXPECT_EQ(c.fileName, GetFileNamePart(c.path));
    }
}

// The check that keeps downloads and unpacking away from paths that would
// resolve against the current folder or a drive's root; these paths are only
// ever looked at here, never written to.
TEST(PathParts, OnlyDriveAndUncPathsAreAbsoluteFolders)
{
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"C:\\games\\", true},
        {L"d:/games", true},
        {L"C:\\", true},
        {L"\\\\server\\share\\games", true},
        {L"//server/share", true},
        {L"", false},
        {L".", false},
        {L"relative\\dir", false},
        {L"\\", false},
        {L"\\rooted", false},
        {L"/rooted", false},
        {L"C:", false},
        {L"C:drive-relative", false},
        {L"1:\\games", false},
        {L"\\\\", false},
        {L"\\\\\\server\\share", false},
    };
    for (const auto& [path, absolute] : cases) {
        SCOPED_TRACE(WideToUtf8(path));
        EXPECT_EQ(absolute, IsAbsoluteFolder(path));
    }
}

TEST(PathParts, ModuleFolderEndsWithBackslashAndHoldsTheModule)
{
    wchar_t ownName[1024];
    ASSERT_GT(GetModuleFileNameW(nullptr, ownName, 1024), 0u);
    const std::wstring folder = GetModuleFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(L'\\', folder.back());
    EXPECT_TRUE(FileExists(folder + GetFileNamePart(ownName)));
    EXPECT_EQ(folder, GetModuleFolder(GetModuleHandleW(nullptr)));

    const std::wstring systemModuleFolder = GetModuleFolder(GetModuleHandleW(L"kernel32.dll"));
    wchar_t systemFolder[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryW(systemFolder, MAX_PATH), 0u);
    EXPECT_EQ(0, _wcsicmp((std::wstring(systemFolder) + L"\\").c_str(), systemModuleFolder.c_str()));
}

// A fresh folder with a Chinese name, removed with everything in it.
class FileHelpers : public testing::Test
{
protected:
    void SetUp() override
    {
        root_ = scratch_.File(L"测试");
        ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr));
    }

    std::wstring Path(const std::wstring& relative) const { return root_ + L"\\" + relative; }

    static bool IsFolder(const std::wstring& path)
    {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    ScratchFolder scratch_;
    std::wstring root_;
};

TEST_F(FileHelpers, FileExistsForFilesAndFoldersOnly)
{
    ASSERT_EQ(1, WriteStringToFile("x", Path(L"f.txt")));
    EXPECT_TRUE(FileExists(Path(L"f.txt")));
    EXPECT_TRUE(FileExists(root_));
    EXPECT_FALSE(FileExists(Path(L"missing.txt")));
    EXPECT_FALSE(FileExists(L""));
}

TEST_F(FileHelpers, WriteThenReadGivesTheBytesBack)
{
    const std::string data = "line1\r\nline2\n\x1A\xFF" + kChineseUtf8 + std::string(100000, 'z');
    const std::wstring file = Path(L"数据.bin");
    ASSERT_EQ(1, WriteStringToFile(data, file));
    EXPECT_EQ(data, ReadFileToString(file)) << "no text-mode translation of line ends or end-of-file bytes";
    EXPECT_EQ(data.size(), std::filesystem::file_size(file));

    ASSERT_EQ(1, WriteStringToFile("short", file));
    EXPECT_EQ("short", ReadFileToString(file)) << "an existing file is truncated";
}

TEST_F(FileHelpers, ReadStopsAtTheFirstZeroByte)
{
    ASSERT_EQ(1, WriteStringToFile(std::string("ab\0cd", 5), Path(L"z.bin")));
    EXPECT_EQ(5u, std::filesystem::file_size(Path(L"z.bin")));
    EXPECT_EQ("ab", ReadFileToString(Path(L"z.bin")));
}

TEST_F(FileHelpers, ReadFailuresGiveEmptyText)
{
    EXPECT_EQ("", ReadFileToString(Path(L"missing.txt")));
    EXPECT_EQ("", ReadFileToString(root_)) << "a folder is not a file";

    // A writer that denies read sharing keeps the file from being read.
    ASSERT_EQ(1, WriteStringToFile("locked", Path(L"locked.txt")));
    HANDLE writer = CreateFileW(Path(L"locked.txt").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, writer);
    EXPECT_EQ("", ReadFileToString(Path(L"locked.txt")));
    CloseHandle(writer);
    EXPECT_EQ("locked", ReadFileToString(Path(L"locked.txt")));
}

TEST_F(FileHelpers, FileSizeWhileOthersWriteAndWhenUnreadable)
{
    const std::wstring file = Path(L"大小.bin");
    ASSERT_EQ(1, WriteStringToFile(std::string(70000, 'a'), file));
    EXPECT_EQ(70000, GetLocalFileSize(file));

    // A download or the log still being written is measured as it stands.
    FILE* appender = _wfopen(file.c_str(), L"ab");
    ASSERT_NE(nullptr, appender);
    fputs("tail", appender);
    fflush(appender);
    EXPECT_EQ(70004, GetLocalFileSize(file));
    fclose(appender);

    EXPECT_EQ(0, GetLocalFileSize(Path(L"missing.bin")));
    EXPECT_EQ(0, GetLocalFileSize(L""));

    // A package past 4 GB resumes from its real size (a sparse file: no disk space taken).
    const std::wstring large = Path(L"large.bin");
    HANDLE sizer = CreateFileW(large.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, sizer);
    LARGE_INTEGER end = {};
    end.QuadPart = (5LL << 30) + 3;
    const bool sized = SetFilePointerEx(sizer, end, nullptr, FILE_BEGIN) && SetEndOfFile(sizer);
    CloseHandle(sizer);
    ASSERT_TRUE(sized);
    EXPECT_EQ((5LL << 30) + 3, GetLocalFileSize(large));
}

TEST_F(FileHelpers, WriteResults)
{
    EXPECT_EQ(-1, WriteStringToFile("", Path(L"a.txt")));
    EXPECT_EQ(-1, WriteStringToFile("data", L""));
    EXPECT_FALSE(FileExists(Path(L"a.txt")));
    EXPECT_EQ(0, WriteStringToFile("data", Path(L"no\\such\\folder\\a.txt")));
    EXPECT_EQ(0, WriteStringToFile("data", root_)) << "a folder cannot be written as a file";
}

TEST_F(FileHelpers, WriteThatFailsAfterCreatingReportsFailure)
{
    const std::wstring diskFull = FullDiskFileIn(scratch_, L"full");
    ASSERT_FALSE(diskFull.empty());
    EXPECT_EQ(0, WriteStringToFile("data that cannot be stored", diskFull));
}

TEST_F(FileHelpers, CreateFolderTree)
{
    ASSERT_EQ(1, WriteStringToFile("x", Path(L"file")));
    struct Case
    {
        std::wstring path;
        bool created;
    };
    const Case cases[] = {
        {root_, true},                    // exists already
        {Path(L"一\\二\\三"), true},      // three new levels
        {Path(L"a/b/c"), true},           // forward slashes
        {Path(L"trailing\\"), true},      // the separator names the folder before it
        {Path(L"一\\二\\三\\四"), true},  // below a folder made before
        {L"bare_name", false},            // nothing to hang it on
        {Path(L"file"), false},           // a file is no folder
        {Path(L"file\\below"), false},    // nor can it hold one
    };
    // The bare name resolves in the current folder: let that be this one.
    const ScopedCurrentFolder inRoot(root_);
    for (const auto& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.path));
        ASSERT_TRUE(scratch_.Holds(c.path));
        EXPECT_EQ(c.created, CreateFolderTree(c.path));
        EXPECT_EQ(c.created, IsFolder(c.path));
    }
}

TEST(MachineFacts, CpuIdIsSixteenUpperCaseHexDigits)
{
    const std::string id = GetCpuId();
    EXPECT_TRUE(std::regex_match(id, std::regex("[0-9A-F]{16}"))) << id;
    EXPECT_EQ(id, GetCpuId());
}

TEST(MachineFacts, MacAddressIsEmptyOrSixBytes)
{
    const std::string address = GetMacAddress();
    if (!address.empty()) {
        EXPECT_TRUE(std::regex_match(address, std::regex("([0-9A-F]{2}-){5}[0-9A-F]{2}"))) << address;
    }
    EXPECT_EQ(address, GetMacAddress());
}

TEST(MachineFacts, OsVersionAgreesWithTheKernel)
{
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    ASSERT_NE(nullptr, rtlGetVersion);
    OSVERSIONINFOW kernel = {sizeof kernel};
    ASSERT_EQ(0, rtlGetVersion(&kernel));

    int major = -1, minor = -1;
    const int build = GetOsVersion(major, minor);
    EXPECT_EQ(static_cast<int>(kernel.dwMajorVersion), major);
    EXPECT_EQ(static_cast<int>(kernel.dwMinorVersion), minor);
    EXPECT_GE(build, 0);
    EXPECT_EQ(major > 6 || (major == 6 && minor >= 2), IsWin8OrLater());
}

TEST(Timestamp, SecondsSinceTheUnixEpoch)
{
    const long long before = static_cast<long long>(std::time(nullptr));
    const std::string stamp = GetTimestamp();
    const long long after = static_cast<long long>(std::time(nullptr));
    ASSERT_TRUE(std::regex_match(stamp, std::regex("[0-9]{10}"))) << stamp;
    EXPECT_GE(std::stoll(stamp), before);
    EXPECT_LE(std::stoll(stamp), after);
}

}  // namespace
