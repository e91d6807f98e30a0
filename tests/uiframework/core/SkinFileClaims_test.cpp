// What the sizes of skin files claim, taken whole: archive entries that claim
// more than the process can hold or more than their data gives, sizes in ZIP64
// blocks, and files larger than 32 bits can count. The archive setting cannot
// be undone within a process, hence a program of its own.

#include "core/SkinFiles.h"
#include "core/WindowManagerUI.h"

#include "ScratchFolder.h"
#include "ZipWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace CalUI;

namespace {

ZipWriterEntry Entry(const char* name, std::string data, int64_t claimedSize = -1, bool deflate = false,
                     bool zip64 = false)
{
    ZipWriterEntry entry;
    entry.name = name;
    entry.data = std::move(data);
    entry.claimedSize = claimedSize;
    entry.deflate = deflate;
    entry.zip64 = zip64;
    return entry;
}

const std::string kZip64Text = "<Window size=\"64,64\" />";

// The program's skin archive, set up by the first test that reads from it.
void UseClaimsArchive()
{
    static const std::string archive = BuildZip({
        // 2^62 bytes are more than either a 32-bit or a 64-bit process can
        // address; the claim needs a ZIP64 block.
        Entry("huge.png", "not really four exbibytes", int64_t(1) << 62),
        Entry("short.xml", std::string(25, 's'), 100),
        Entry("short-deflated.xml", std::string(40, 'd'), 100, true),
        Entry("zip64.xml", kZip64Text, -1, false, true),
        Entry("zip64-deflated.xml", kZip64Text, -1, true, true),
        Entry("fine.xml", "<Window />"),
    });
    static const bool set = [] {
        CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
        CWindowManagerUI::SetResourceZip(archive.data(), unsigned(archive.size()), "");
        return true;
    }();
    (void)set;
}

TEST(SkinFileClaims, AnEntryClaimingMoreThanTheProcessCanHoldFailsTheRead)
{
    UseClaimsArchive();
    std::vector<BYTE> bytes;
    EXPECT_EQ(SkinFileResult::CannotRead, ReadSkinFile(L"huge.png", kNoSizeLimit, bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(SkinFileResult::TooLarge, ReadSkinFile(L"huge.png", uint64_t(1) << 40, bytes));
    EXPECT_EQ(SkinFileResult::Ok, ReadSkinFile(L"fine.xml", kNoSizeLimit, bytes)) << "the archive still serves";
}

// The data ends before the size the entry claims: a damaged entry, not a
// file padded with zeros.
TEST(SkinFileClaims, AnEntryWhoseDataFallsShortOfItsClaimFailsTheRead)
{
    UseClaimsArchive();
    for (const wchar_t* name : {L"short.xml", L"short-deflated.xml"}) {
        std::vector<BYTE> bytes;
        EXPECT_EQ(SkinFileResult::CannotRead, ReadSkinFile(name, kNoSizeLimit, bytes)) << name;
        EXPECT_TRUE(bytes.empty()) << name;
    }
    std::vector<BYTE> bytes;
    EXPECT_EQ(SkinFileResult::Ok, ReadSkinFile(L"fine.xml", kNoSizeLimit, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "<Window />");
}

TEST(SkinFileClaims, SizesInAZip64BlockAreReadWhole)
{
    UseClaimsArchive();
    for (const wchar_t* name : {L"zip64.xml", L"zip64-deflated.xml"}) {
        std::vector<BYTE> bytes;
        EXPECT_EQ(SkinFileResult::Ok, ReadSkinFile(name, kNoSizeLimit, bytes)) << name;
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), kZip64Text) << name;
    }
}

// A sparse file 25 bytes past 4 GiB: its size cut to 32 bits would read as a
// file of 25 bytes.
TEST(SkinFileClaims, AFileBeyondFourGibibytesIsMeasuredWhole)
{
    ScratchFolder folder;
    const std::wstring path = folder.File(L"large.png");
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = (int64_t(1) << 32) + 25;
    const bool sized = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    ASSERT_TRUE(sized);

    std::vector<BYTE> bytes;
    EXPECT_EQ(SkinFileResult::TooLarge, ReadWholeFile(path.c_str(), 1 << 20, bytes));
    EXPECT_EQ(SkinFileResult::TooLarge, ReadWholeFile(path.c_str(), 0xFFFFFFFF, bytes));
    EXPECT_TRUE(bytes.empty());
}

}  // namespace
