// Names and paths compared and joined the way the file system takes them.
#include "services/SafeNames.h"
#include "ScratchFolder.h"
#include "services/TextConvert.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <string>

namespace {

TEST(SafeNamesTest, OnlyNamesStrictlyBelowTheFolderResolve)
{
    ScratchFolder scratch;
    const std::wstring folder = scratch.File(L"Calverin\\");
    struct Case
    {
        const wchar_t* name;
        const wchar_t* resolved;  // relative to the folder; null: refused
    };
    const Case cases[] = {
        {L"calverinapp.exe", L"calverinapp.exe"},
        {L"res/skin/a.png", L"res\\skin\\a.png"},
        {L"res\\..\\log.txt", L"log.txt"},
        {L"res\\.\\skin\\", L"res\\skin"},
        {L"..\\outside.txt", nullptr},
        {L"sub\\..\\..\\outside2.txt", nullptr},
        {L"C:\\windows\\win.ini", nullptr},
        {L"C:win.ini", nullptr},
        {L"\\rooted.txt", nullptr},
        {L"/rooted.txt", nullptr},
        {L"\\\\?\\C:\\windows\\win.ini", nullptr},
        {L"\\\\server\\share\\file", nullptr},
        {L"*.dll", nullptr},
        {L"file?.txt", nullptr},
        {L".", nullptr},
        {L"res\\..", nullptr},
        {L"file.txt:stream", nullptr},
        {L"...", nullptr},
        {L".. \\outside.txt", nullptr},
        {L"", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.name));
        const std::wstring expected = c.resolved ? folder + c.resolved : L"";
        EXPECT_EQ(ResolveListedName(folder, c.name), expected);
    }
}

TEST(SafeNamesTest, AFolderHoldsItselfAndWhatLiesBelowInAnySpelling)
{
    ScratchFolder scratch;
    const std::wstring folder = scratch.File(L"Games\\XingHai");
    struct Case
    {
        std::wstring path;
        bool held;
    };
    std::wstring slashed = folder;
    for (wchar_t& c : slashed)
        c = c == L'\\' ? L'/' : c;
    std::wstring upper = folder;
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(towupper(c));
    const Case cases[] = {
        {folder, true},
        {folder + L"\\", true},
        {slashed + L"/", true},
        {upper, true},
        {folder + L"\\HD", true},
        {folder + L"/HD/Textures\\", true},
        {folder + L"\\..\\XingHai\\HD", true},
        {folder + L"HD", false},
        {folder + L"\\..", false},
        {scratch.File(L"Games\\XingHaiTest"), false},
        {L"", false},
        {L"Games\\XingHai", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.path));
        EXPECT_EQ(IsSameOrBelowFolder(folder, c.path), c.held);
        EXPECT_EQ(IsSameOrBelowFolder(folder + L"\\", c.path), c.held);
    }
    EXPECT_FALSE(IsSameOrBelowFolder(L"", folder));
}

}  // namespace
