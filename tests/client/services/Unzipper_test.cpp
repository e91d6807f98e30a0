// Unpacking real ZIP archives: packages made by the zip tool with a password,
// names in UTF-8 and in the ANSI code page, and hand-written archives with
// damaged data or names that try to leave the destination.
#include <windows.h>
#include <gtest/gtest.h>

#include "services/FileUtil.h"
#include "ScratchFolder.h"
#include "TestPaths.h"
#include "services/Unzipper.h"
#include "ZipWriter.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::wstring Fixture(const std::wstring& name) { return BuildTreePath(L"testdata\\unzipper\\" + name); }

// A file that the zip tool packed, as it was before packing.
std::string PackedSource(const std::wstring& relative) { return ScratchFolder::ReadFile(Fixture(L"src\\" + relative)); }

// Every file below the folder (folders themselves are left out), relative to
// it, sorted; empty when the folder is missing.
std::vector<std::wstring> FilesBelow(const std::wstring& folder)
{
    std::vector<std::wstring> files;
    std::error_code error;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder, error))
        if (item.is_regular_file())
            files.push_back(item.path().lexically_relative(folder).wstring());
    std::sort(files.begin(), files.end());
    return files;
}

struct ProgressLog
{
    std::vector<uint64_t> done;
    std::vector<uint64_t> totals;
    size_t callsBeforeStop = SIZE_MAX;
};

bool RecordProgress(void* user, const uint64_t* done, uint64_t total)
{
    auto* log = static_cast<ProgressLog*>(user);
    log->done.push_back(*done);
    log->totals.push_back(total);
    return log->done.size() < log->callsBeforeStop;
}

TEST(Unzipper, ExtractsPasswordPackageIntoNewFolderWithProgress)
{
    const std::string big = PackedSource(L"big.bin");
    const std::string story = PackedSource(L"story.txt");
    const std::string notes = PackedSource(L"data\\sub\\notes.txt");
    const uint64_t total = big.size() + story.size() + notes.size();
    ScratchFolder scratch;
    const wchar_t* endings[] = {L"", L"\\", L"/"};
    for (int i = 0; i < 3; ++i) {
        const std::wstring ending = endings[i];
        SCOPED_TRACE(testing::Message() << "destination ending \"" << ending << "\"");
        // Two levels that do not exist yet.
        const std::wstring folder = scratch.File(L"install" + std::to_wstring(i) + L"\\game");
        CUnzipper unzipper;
        ProgressLog log;
        ASSERT_EQ(CUnzipper::kSuccess,
                  unzipper.Unzip(Fixture(L"package.zip"), folder + ending, "secret", RecordProgress, &log));

        EXPECT_EQ(big, ScratchFolder::ReadFile(folder + L"\\big.bin"));
        EXPECT_EQ(story, ScratchFolder::ReadFile(folder + L"\\story.txt"));
        EXPECT_EQ(notes, ScratchFolder::ReadFile(folder + L"\\data\\sub\\notes.txt"));
        EXPECT_TRUE(std::filesystem::is_directory(folder + L"\\empty"));

        ASSERT_FALSE(log.done.empty());
        EXPECT_TRUE(std::is_sorted(log.done.begin(), log.done.end(), std::less_equal<>()))
            << "the count runs over all entries and never goes back";
        EXPECT_EQ(total, log.done.back());
        EXPECT_TRUE(std::all_of(log.totals.begin(), log.totals.end(), [&](uint64_t t) { return t == total; }));
    }
}

TEST(Unzipper, CallbackReturningFalseStopsAfterOneBlock)
{
    ScratchFolder scratch;
    const std::wstring folder = scratch.File(L"game");
    CUnzipper unzipper;
    ProgressLog log;
    log.callsBeforeStop = 1;

    EXPECT_EQ(CUnzipper::kCannotWrite, unzipper.Unzip(Fixture(L"package.zip"), folder, "secret", RecordProgress, &log));

    EXPECT_EQ(1u, log.done.size());
    // The first entry is larger than a block: it stays, partly written, alone.
    EXPECT_EQ(std::vector<std::wstring>{L"big.bin"}, FilesBelow(folder));
    const auto written = std::filesystem::file_size(folder + L"\\big.bin");
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, PackedSource(L"big.bin").size());
    EXPECT_EQ(written, log.done.front());
}

TEST(Unzipper, DecodesNamesByTheirUtf8Flag)
{
    // Runs with the ANSI code page 936, so the name without the flag is GBK.
    ASSERT_EQ(936u, GetACP());
    ScratchFolder scratch;
    const std::wstring folder = scratch.File(L"names");
    CUnzipper unzipper;

    ASSERT_EQ(CUnzipper::kSuccess, unzipper.Unzip(Fixture(L"names.zip"), folder, nullptr, nullptr, nullptr));

    const std::wstring utf8Name = L"中文目录\\简体说明.txt";
    const std::wstring gbkName = L"游戏\\补丁说明.txt";
    const std::wstring longName = std::wstring(60, L'长') + L"\\" + std::wstring(60, L'长') + L".txt";
    std::vector<std::wstring> expected = {utf8Name, gbkName, longName};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, FilesBelow(folder));
    EXPECT_EQ("utf-8 name", ScratchFolder::ReadFile(folder + L"\\" + utf8Name));
    EXPECT_EQ("gbk name", ScratchFolder::ReadFile(folder + L"\\" + gbkName));
    EXPECT_EQ("long name", ScratchFolder::ReadFile(folder + L"\\" + longName));
}

TEST(Unzipper, BadPasswordsAndDamagedArchivesFail)
{
    struct Case
    {
        const wchar_t* archive;
        const char* password;
        const char* what;
    };
    const Case cases[] = {
        {L"package.zip", "wrong", "wrong password, stored entry decrypts to garbage"},
        {L"deflated.zip", "wrong", "wrong password, deflated entry"},
        {L"package.zip", nullptr, "encrypted entries without a password"},
        {L"corrupt.zip", nullptr, "damaged deflate data"},
        {L"bad_crc.zip", nullptr, "data that does not match its CRC"},
        {L"short_deflate.zip", nullptr, "deflate data cut short"},
        {L"short_stored.zip", nullptr, "stored data cut short"},
        {L"truncated.zip", nullptr, "archive cut in half"},
        {L"missing.zip", nullptr, "no such archive"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder scratch;
        CUnzipper unzipper;
        EXPECT_NE(CUnzipper::kSuccess,
                  unzipper.Unzip(Fixture(c.archive), scratch.File(L"out"), c.password, nullptr, nullptr));
    }
}

TEST(Unzipper, EntryThatCannotBeWrittenFails)
{
    ScratchFolder scratch;
    // Something of the other kind already stands where an entry should go.
    const std::wstring fileBlockedByFolder = scratch.File(L"file");
    ASSERT_TRUE(CreateFolderTree(fileBlockedByFolder + L"\\story.txt"));
    const std::wstring folderBlockedByFile = scratch.File(L"folder");
    ASSERT_TRUE(CreateFolderTree(folderBlockedByFile));
    scratch.WriteFile(L"folder\\empty", "a file named like the folder entry");

    CUnzipper unzipper;
    EXPECT_EQ(CUnzipper::kCannotWrite,
              unzipper.Unzip(Fixture(L"plain.zip"), fileBlockedByFolder, nullptr, nullptr, nullptr));
    CUnzipper another;
    EXPECT_EQ(CUnzipper::kCannotWrite,
              another.Unzip(Fixture(L"package.zip"), folderBlockedByFile, "secret", nullptr, nullptr));
}

TEST(Unzipper, EntryThatTheDiskCannotHoldFails)
{
    // A small entry stays in the file buffer until the file is closed; the
    // entry "full" lands on a link of that name to the full-disk device.
    ScratchFolder scratch;
    const std::wstring destination = scratch.File(L"device");
    ASSERT_TRUE(CreateFolderTree(destination));
    ASSERT_FALSE(FullDiskFileIn(scratch, L"device\\full").empty());
    ZipWriterEntry entry;
    entry.name = "full";
    entry.data = "a small entry";
    const std::wstring archive = scratch.WriteFile(L"full.zip", BuildZip({entry}));

    CUnzipper unzipper;
    EXPECT_EQ(CUnzipper::kCannotWrite, unzipper.Unzip(archive, destination, nullptr, nullptr, nullptr));
}

TEST(Unzipper, EntryNamesThatLeaveTheDestinationAreRecognised)
{
    struct Case
    {
        const wchar_t* name;
        bool inside;
    };
    const Case cases[] = {
        {L"../escaped.txt", false},
        {L"..\\escaped.txt", false},
        {L"inner/../../escaped.txt", false},
        {L"inner/.. /.. /escaped.txt", false},  // Windows drops the trailing blanks
        {L"inner/.../escaped.txt", false},
        {L"inner/..", false},
        {L"/escaped.txt", false},
        {L"\\escaped.txt", false},
        {L"C:\\escaped.txt", false},
        {L"C:/escaped.txt", false},
        {L"C:escaped.txt", false},
        {L"\\\\localhost\\share\\escaped.txt", false},
        {L"//localhost/share/escaped.txt", false},
        {L"\\\\?\\C:\\escaped.txt", false},
        {L"carrier.txt:escaped.txt", false},
        {L"story.txt", true},
        {L"data/sub/notes.txt", true},
        {L"data\\sub\\", true},
        {L"./story.txt", true},
        {L"..story.txt", true},
        {L"story..txt", true},
        {L"inner/..hidden/x.txt", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << testing::PrintToString(std::wstring(c.name)));
        EXPECT_EQ(c.inside, StaysInsideDestination(c.name));
    }
}

TEST(Unzipper, NamesLeavingTheDestinationAreRefused)
{
    const wchar_t* archives[] = {
        L"parent",         L"parent_backslash",
        L"nested_parent",  L"parent_trailing_blank",
        L"rooted_slash",   L"rooted_backslash",
        L"drive",          L"drive_slash",
        L"drive_relative", L"unc",
        L"unc_slash",      L"stream",
    };
    for (const wchar_t* archive : archives) {
        SCOPED_TRACE(testing::Message() << archive);
        ScratchFolder scratch;
        CUnzipper unzipper;

        // Names are appended to the destination, and the climbing ones end one
        // step above it: with the destination three levels down, a name that
        // got through would still be written inside the scratch folder, where
        // the check below finds it.
        EXPECT_NE(CUnzipper::kSuccess, unzipper.Unzip(Fixture(std::wstring(L"hostile_") + archive + L".zip"),
                                                      scratch.File(L"a\\b\\dest"), nullptr, nullptr, nullptr));
        EXPECT_EQ(std::vector<std::wstring>{}, FilesBelow(scratch.File(L"")));
    }
}

TEST(Unzipper, EmptyOrRelativeDestinationIsRefused)
{
    // Only destinations that resolve inside the scratch folder are handed to
    // the unzipper; the empty and the rooted ones, which would resolve to a
    // drive's root, are shown to IsAbsoluteFolder in the utilities' tests.
    ScratchFolder scratch;
    const std::wstring folder = scratch.File(L"current");
    ASSERT_TRUE(CreateFolderTree(folder));
    const ScopedCurrentFolder inScratch(folder);
    const std::wstring drive = folder.substr(0, 2);
    const std::wstring destinations[] = {L".", L"relative", L"relative\\dir", drive + L"drive-relative"};
    for (const std::wstring& destination : destinations) {
        SCOPED_TRACE(testing::Message() << testing::PrintToString(destination));
        ASSERT_TRUE(scratch.Holds(destination));
        CUnzipper unzipper;
        EXPECT_EQ(CUnzipper::kBadDestination,
                  unzipper.Unzip(Fixture(L"probe.zip"), destination, nullptr, nullptr, nullptr));
    }
    EXPECT_EQ(std::vector<std::wstring>{}, FilesBelow(scratch.File(L"")));
}

}  // namespace
