// Skin files whose archive entry claims more bytes than the process can hold.
// The archive setting cannot be undone within a process, hence a program of
// its own.

#include "core/SkinFiles.h"
#include "core/SkinMarkup.h"
#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"

#include "ZipWriter.h"

#include <gtest/gtest.h>

#include <string>

using namespace CalUI;

namespace {

TEST(SkinFileClaims, AnEntryClaimingMoreThanTheProcessCanHoldFailsTheRead)
{
    ZipWriterEntry huge;
    huge.name = "huge.png";
    huge.data = "not really four gigabytes";
    huge.claimedSize = 0xFFFFFFF0u;
    ZipWriterEntry fine;
    fine.name = "fine.xml";
    fine.data = "<Window />";
    static const std::string archive = BuildZip({huge, fine});
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    CWindowManagerUI::SetResourceZip(archive.data(), unsigned(archive.size()), "");

    std::vector<BYTE> bytes;
    EXPECT_EQ(SkinFileResult::CannotRead, ReadSkinFile(L"huge.png", kNoSizeLimit, bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(SkinFileResult::Ok, ReadSkinFile(L"fine.xml", kNoSizeLimit, bytes)) << "the archive still serves";
}

}  // namespace
