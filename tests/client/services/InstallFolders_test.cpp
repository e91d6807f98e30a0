// The folder rules of a first download on real folders: the AddOns search
// below a picked folder, the cleaning of the name a game's folder gets, and
// the folder proposed from the service's install folder name.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "services/InstallFolders.h"

namespace {

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// Makes each folder (relative to the scratch folder, "\"-separated) with its
// parents; a name ending in "!" is made hidden, one ending in "#" is a file.
void MakeFolders(const ScratchFolder& scratch, const std::vector<std::wstring>& folders)
{
    for (std::wstring folder : folders) {
        if (!folder.empty() && folder.back() == L'#') {
            folder.pop_back();
            MakeFolders(scratch, {folder.substr(0, folder.rfind(L'\\'))});
            scratch.WriteFile(folder, "not a folder");
            continue;
        }
        const bool hidden = !folder.empty() && folder.back() == L'!';
        if (hidden)
            folder.pop_back();
        std::wstring path = scratch.File(L"");
        size_t start = 0;
        while (start <= folder.size()) {
            const size_t end = folder.find(L'\\', start);
            path += folder.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start) + L"\\";
            CreateDirectoryW(path.c_str(), nullptr);
            if (end == std::wstring::npos)
                break;
            start = end + 1;
        }
        if (hidden)
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    }
}

// Each case builds its tree in a scratch folder of its own and picks a folder
// in it; "" expects nothing found, else the AddOns folder below the scratch
// folder.
TEST(InstallFolders, TheAddOnsSearchOnRealFolders)
{
    struct Case
    {
        const char* what;
        std::vector<std::wstring> tree;
        std::wstring picked;    // below the scratch folder
        std::wstring expected;  // below the scratch folder, or ""
    } cases[] = {
        {"Interface right in the picked folder", {L"Game\\Interface"}, L"Game\\", L"Game\\Interface\\AddOns\\"},
        {"lower case, found and spelled the fixed way", {L"Game\\interface"}, L"Game\\", L"Game\\Interface\\AddOns\\"},
        {"two levels down", {L"Game\\a\\Interface"}, L"Game\\", L"Game\\a\\Interface\\AddOns\\"},
        {"three levels down", {L"Game\\a\\b\\Interface"}, L"Game\\", L"Game\\a\\b\\Interface\\AddOns\\"},
        {"four levels down is too deep", {L"Game\\a\\b\\c\\Interface"}, L"Game\\", L""},
        {"a shallower one wins",
         {L"Game\\a\\b\\Interface", L"Game\\z\\Interface"},
         L"Game\\",
         L"Game\\z\\Interface\\AddOns\\"},
        {"a hidden Interface is passed over", {L"Game\\Interface!"}, L"Game\\", L""},
        {"nothing inside a hidden folder either", {L"Game\\a!", L"Game\\a\\Interface"}, L"Game\\", L""},
        {"a file named Interface is no folder", {L"Game\\Interface#"}, L"Game\\", L""},
        {"a picked path inside Interface is cut there without listing",
         {L"Game\\Interface\\Foo"},
         L"Game\\Interface\\Foo\\",
         L"Game\\Interface\\AddOns\\"},
        {"a picked folder without its separator", {L"Game\\Interface"}, L"Game", L"Game\\Interface\\AddOns\\"},
        {"a folder that does not exist", {}, L"Gone\\", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder scratch;
        MakeFolders(scratch, c.tree);
        const std::wstring found = FindAddOnsFolder(scratch.File(c.picked));
        EXPECT_EQ(Narrow(found), c.expected.empty() ? "" : Narrow(scratch.File(c.expected)));
    }
}

// Longer than any path the system lists: nothing is found, nothing overruns.
TEST(InstallFolders, TheAddOnsSearchTakesTextsOfAnyLength)
{
    ScratchFolder scratch;
    for (size_t length : {size_t{259}, size_t{260}, size_t{1000}, size_t{40000}}) {
        SCOPED_TRACE(length);
        const std::wstring picked = scratch.File(std::wstring(length, L'x') + L"\\");
        EXPECT_EQ(Narrow(FindAddOnsFolder(picked)), "");
        const std::wstring inside = scratch.File(std::wstring(length, L'y') + L"\\Interface\\");
        EXPECT_EQ(Narrow(FindAddOnsFolder(inside)), "");
    }
}

TEST(InstallFolders, AGamesNameBecomesOneCleanFolderName)
{
    const struct
    {
        std::wstring name, clean;
    } cases[] = {
        {L"星海征途", L"星海征途"},
        {L"Star Sea: Voyage", L"Star Sea_ Voyage"},
        {L"..\\..\\Windows", L".._.._Windows"},
        {L"a/b", L"a_b"},
        {L"C:\\Games", L"C__Games"},
        {L"<x>|\"y\"?*", L"_x___y___"},
        {std::wstring(L"tab\there"), L"tab_here"},
        {L"trailing. . ", L"trailing"},
        {L"..", L""},
        {L"  ", L""},
        {L"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        EXPECT_EQ(CleanFolderName(c.name), c.clean);
    }
}

// Only one plain name is proposed below the drive; anything that would climb
// out of it, name another drive or add levels proposes nothing.
TEST(InstallFolders, TheProposedFolderTakesOnlyOnePlainName)
{
    const struct
    {
        std::wstring drive, name;
        bool plain;
        std::wstring proposed;
    } cases[] = {
        {L"C:\\", L"StarSea", true, L"C:\\StarSea\\"},
        {L"D:\\", L"星海征途", true, L"D:\\星海征途\\"},
        {L"C:\\", L"", false, L""},
        {L"C:\\", L"..", false, L""},
        {L"C:\\", L".", false, L""},
        {L"C:\\", L"..\\Windows", false, L""},
        {L"C:\\", L"a\\b", false, L""},
        {L"C:\\", L"a/b", false, L""},
        {L"C:\\", L"D:evil", false, L""},
        {L"C:\\", L"\\\\server\\share", false, L""},
        {L"", L"StarSea", true, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.drive + L" + " + c.name));
        EXPECT_EQ(IsPlainFolderName(c.name), c.plain);
        EXPECT_EQ(ProposedGameFolder(c.drive, c.name), c.proposed);
    }
}

}  // namespace
