// Desktop shortcuts: names cleaned from whatever the service sends, targets
// kept inside the install folder, links read back. Most cases use desktop
// folders made in a scratch folder; one saves on the test prefix's own
// desktop, as the client does.
#include "services/DesktopShortcuts.h"
#include "ScratchFolder.h"
#include "ShellLinkFile.h"
#include "TestPaths.h"
#include "services/FileUtil.h"
#include "services/LauncherFiles.h"
#include "services/TextConvert.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Every file below the folder, relative to it, sorted.
std::vector<std::wstring> FilesBelow(const std::wstring& folder)
{
    std::vector<std::wstring> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_directory())
            files.push_back(fs::relative(entry.path(), folder).wstring());
    }
    std::sort(files.begin(), files.end());
    return files;
}

class DesktopShortcutsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        for (const wchar_t* folder : {L"desktops\\common", L"desktops\\user", L"desktops\\shell", L"install\\Game"})
            fs::create_directories(m_scratch.File(folder));
        m_scratch.WriteFile(L"install\\Game\\Game.exe", "MZ");
        m_folders.removeFrom = {m_scratch.File(L"desktops\\common"), m_scratch.File(L"desktops\\user"),
                                m_scratch.File(L"desktops\\shell")};
        m_folders.saveIn = m_scratch.File(L"desktops\\shell");
    }

    ScratchFolder m_scratch;
    DesktopFolders m_folders;
    const std::wstring m_install = m_scratch.File(L"install");
};

TEST_F(DesktopShortcutsTest, ServiceNamesBecomeOneSafeFileOnTheDesktopAndGoAgainExactly)
{
    struct Case
    {
        const wchar_t* name;
        const wchar_t* file;
        bool device = false;  // the raw name names a device wherever it leads
    };
    const Case cases[] = {
        {L"Iron Harbor", L"Iron Harbor.lnk"},
        {L"星海征途 完整客户端", L"星海征途 完整客户端.lnk"},
        {L"\\", L"_.lnk"},
        {L"/", L"_.lnk"},
        {L":", L"_.lnk"},
        {L"..", L"301.lnk"},
        {L"..\\..\\outside", L".._.._outside.lnk"},
        {L"C:\\Windows\\evil", L"C__Windows_evil.lnk"},
        {L"a*b?c\"d<e>f|g", L"a_b_c_d_e_f_g.lnk"},
        {L"tab\there\x01\x1F", L"tab_here__.lnk"},
        {L"Game...", L"Game.lnk"},
        {L"Game . . ", L"Game.lnk"},
        {L"  padded", L"padded.lnk"},
        {L"CON", L"_CON.lnk", true},
        {L"con.txt", L"_con.txt.lnk", true},
        {L"COM1", L"_COM1.lnk", true},
        {L"lpt9", L"_lpt9.lnk", true},
        {L"CONSOLE", L"CONSOLE.lnk"},
        {L"COM10", L"COM10.lnk"},
        {L"", L"301.lnk"},
        {L" . ", L"301.lnk"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.name));
        EXPECT_EQ(ShortcutFileName(c.name, L"301"), c.file);

        ASSERT_TRUE(SaveDesktopShortcut(m_folders, c.name, L"301", GameShortcut(m_install, L"Game\\Game.exe")));
        EXPECT_EQ(FilesBelow(m_scratch.File(L"desktops")),
                  std::vector<std::wstring>{L"shell\\" + std::wstring(c.file)});
        // Nothing where the raw name would have led either.
        const std::wstring raw = m_folders.saveIn + L"\\" + c.name + L".lnk";
        if (!c.device && raw != m_folders.saveIn + L"\\" + c.file) {
            EXPECT_FALSE(EntryExists(raw));
        }
        EXPECT_EQ(FilesBelow(m_install), std::vector<std::wstring>{L"Game\\Game.exe"});

        m_scratch.WriteFile(L"desktops\\shell\\neighbour.lnk", "other");
        DeleteDesktopShortcuts(m_folders, c.name, L"301");
        EXPECT_EQ(FilesBelow(m_scratch.File(L"desktops")), std::vector<std::wstring>{L"shell\\neighbour.lnk"});
        fs::remove(m_scratch.File(L"desktops\\shell\\neighbour.lnk"));
    }
    EXPECT_EQ(ShortcutFileName(L"..", L"?"), L"_.lnk");
    EXPECT_EQ(ShortcutFileName(L"..", L". "), L"");
    EXPECT_FALSE(SaveDesktopShortcut(m_folders, L"", L"", GameShortcut(m_install, L"Game\\Game.exe")));
    EXPECT_EQ(ShortcutFileName(std::wstring(300, L'x'), L"1").size(), 120u + 4u);
}

TEST_F(DesktopShortcutsTest, TheTargetIsTheGamesProgramAndNeverOutsideItsFolder)
{
    ASSERT_TRUE(SaveDesktopShortcut(m_folders, L"Iron Harbor", L"301", GameShortcut(m_install, L"Game/Game.exe")));
    const ShellLinkContents link = ReadShellLinkFile(m_folders.saveIn + L"\\Iron Harbor.lnk");
    ASSERT_TRUE(link.read);
    EXPECT_EQ(link.target, m_install + L"\\Game\\Game.exe");
    EXPECT_EQ(link.workingFolder, m_install + L"\\Game");
    EXPECT_TRUE(link.arguments.empty());

    const std::wstring refused[] = {
        L"",
        L"C:\\windows\\notepad.exe",
        L"C:notepad.exe",
        L"\\Game\\Game.exe",
        L"..\\install\\Game\\Game.exe",
        L"Game\\..\\..\\Game.exe",
        L"\\\\server\\share\\Game.exe",
        L"Game\\Ga*me.exe",
    };
    for (const std::wstring& lnkApp : refused) {
        SCOPED_TRACE(WideToUtf8(lnkApp));
        EXPECT_EQ(GameShortcutTarget(m_install, lnkApp), L"");
        const ShellLinkDetails game = GameShortcut(m_install, lnkApp);
        EXPECT_EQ(game.target, L"");
        EXPECT_EQ(game.workingFolder, L"");
    }
    EXPECT_EQ(GameShortcutTarget(L"install", L"Game\\Game.exe"), L"") << "a relative install folder";
}

TEST_F(DesktopShortcutsTest, TheSameNameTwiceReplacesTheShortcutOnEveryDesktop)
{
    m_scratch.WriteFile(L"desktops\\common\\Iron Harbor.lnk", "old");
    m_scratch.WriteFile(L"desktops\\user\\Iron Harbor.lnk", "old");
    fs::create_directories(m_scratch.File(L"install\\Other"));
    m_scratch.WriteFile(L"install\\Other\\Other.exe", "MZ");
    ASSERT_TRUE(SaveDesktopShortcut(m_folders, L"Iron Harbor", L"301", GameShortcut(m_install, L"Game\\Game.exe")));
    ASSERT_TRUE(SaveDesktopShortcut(m_folders, L"Iron Harbor", L"302", GameShortcut(m_install, L"Other\\Other.exe")));
    EXPECT_EQ(FilesBelow(m_scratch.File(L"desktops")), std::vector<std::wstring>{L"shell\\Iron Harbor.lnk"});
    EXPECT_EQ(ReadShellLinkFile(m_folders.saveIn + L"\\Iron Harbor.lnk").target, m_install + L"\\Other\\Other.exe");
}

TEST_F(DesktopShortcutsTest, ComIsLeftAsEachThreadHadIt)
{
    // A thread without COM has none afterwards: the start was undone.
    std::thread([this] {
        EXPECT_TRUE(SaveDesktopShortcut(m_folders, L"A", L"1", GameShortcut(m_install, L"Game\\Game.exe")));
        const HRESULT again = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        EXPECT_EQ(again, S_OK);
        CoUninitialize();
    }).join();
    // A thread in the other model still gets its link and keeps its own start.
    std::thread([this] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        EXPECT_TRUE(SaveDesktopShortcut(m_folders, L"B", L"2", GameShortcut(m_install, L"Game\\Game.exe")));
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
        CoUninitialize();
        CoUninitialize();
    }).join();
    EXPECT_EQ(FilesBelow(m_scratch.File(L"desktops")), (std::vector<std::wstring>{L"shell\\A.lnk", L"shell\\B.lnk"}));
    // Nothing holds the saved files open.
    EXPECT_TRUE(DeleteFileW((m_folders.saveIn + L"\\A.lnk").c_str()));
}

TEST(PrefixDesktopTest, TheLauncherGameShortcutIsSavedOnThePrefixesOwnDesktopAndReadsBack)
{
    const DesktopFolders folders = SystemDesktopFolders();
    ASSERT_FALSE(folders.saveIn.empty());
    ASSERT_EQ(folders.removeFrom.size(), 3u);
    // The desktop is a folder of the test prefix, not a link to the host's.
    const std::wstring host = HostPathOf(folders.saveIn);
    const char* prefix = getenv("WINEPREFIX");
    ASSERT_NE(prefix, nullptr);
    ASSERT_EQ(host.compare(0, Utf8ToWide(prefix).size(), Utf8ToWide(prefix)), 0) << WideToUtf8(host);
    ASSERT_EQ(GetFileAttributesW(folders.saveIn.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);

    const std::wstring name = L"HIT2-test-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring path = folders.saveIn + L"\\" + name + L".lnk";
    ASSERT_TRUE(SaveDesktopShortcut(folders, name, L"12",
                                    NexonGameShortcut(L"C:\\Nexon\\nexon_launcher.exe", L"C:\\Games\\HIT2\\")));
    const ShellLinkContents link = ReadShellLinkFile(path);
    DeleteDesktopShortcuts(folders, name, L"12");
    ASSERT_TRUE(link.read);
    EXPECT_EQ(link.target, L"C:\\Nexon\\nexon_launcher.exe");
    EXPECT_EQ(link.arguments, L"nxl://launch/59767");
    EXPECT_EQ(link.workingFolder, L"C:\\Nexon");
    EXPECT_EQ(link.icon, L"C:\\Games\\HIT2\\appdata\\HIT2.exe");
    EXPECT_EQ(link.iconIndex, 0);
    EXPECT_FALSE(EntryExists(path));
}

}  // namespace
