// The built client driven from outside along the whole road of a user, the
// demo's road: no saved token, so the sign-in window and a password sign-in
// of a user with a bound accelerator account; the category tiles; a search;
// 星海征途's page; its download cancelled part-way and resumed; the package
// checked and unpacked, with the game's desktop shortcut; "查看" and "我要卸载",
// which take the install folder and the shortcut away; an accelerator
// installed by its (stand-in) installer; the sign-out confirmed; and the end
// from the tray menu, which takes the process and its icon along. Every
// screen is a marked step.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "Driver.h"
#include "GamePageSteps.h"
#include "RefService.h"
#include "ScratchFolder.h"
#include "ServiceLists.h"
#include "ShellLinkFile.h"
#include "services/AcceleratorPrograms.h"
#include "services/DesktopShortcuts.h"
#include "services/FileUtil.h"
#include "services/TextConvert.h"

namespace {

// The demo user with a password and a bound accelerator account.
const wchar_t kMobile[] = L"13900139000";
const wchar_t kPassword[] = L"mima5678";
const char kSignInPath[] = "/Box/User/login";
const char kCategoriesPath[] = "/Box/Game/getGamesCategory";
const char kSearchPath[] = "/Box/Game/searchGamesCategory";
const char kGamesPath[] = "/Box/Game/getGames";
const char kSoftwaresPath[] = "/Box/Game/getSoftwares";
const char kXinghaiPackage[] = "/files/packages/xinghai_full.zip";
const wchar_t kXinghaiPackageName[] = L"xinghai_full.zip";
const wchar_t kXinghaiId[] = L"101";
const wchar_t kXinghaiSection[] = L"game_101";
const wchar_t kXinghaiName[] = L"星海征途 完整客户端";
const wchar_t kXinghaiProgram[] = L"XingHai\\XingHai.exe";
// The first accelerator of the service's list, and its type.
constexpr int kOstrel = 0;
constexpr int kAccelerators = 3;
constexpr int32_t kOstrelType = 1;

// The package comes this many bytes a second: its 56 KB in about ten
// seconds, time enough to cancel it part-way.
constexpr int kSlowRate = 6000;
constexpr DWORD kCancelSettleMs = 1000;
// A tile's white name lies this far down the tile.
constexpr int kTileNameTop = 209;
constexpr int kDemoCategoryTiles = 4;
// The user menu shows under its button after a click.
constexpr DWORD kMenuSettleMs = 300;

bool FolderExists(const std::wstring& folder)
{
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The game's shortcut on the prefix's desktop, where the client saves it:
// one that was there before the road is put back as it was after it.
class DesktopShortcutKept
{
public:
    DesktopShortcutKept()
        : m_path(SystemDesktopFolders().saveIn + L"\\" + ShortcutFileName(kXinghaiName, kXinghaiId)),
          m_before(FileExists(m_path) ? ScratchFolder::ReadFile(m_path) : std::string()),
          m_existed(FileExists(m_path))
    {
        DeleteFileW(m_path.c_str());
    }
    ~DesktopShortcutKept()
    {
        DeleteFileW(m_path.c_str());
        if (!m_existed)
            return;
        HANDLE file = CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, m_before.data(), static_cast<DWORD>(m_before.size()), &written, nullptr);
        CloseHandle(file);
    }
    DesktopShortcutKept(const DesktopShortcutKept&) = delete;
    DesktopShortcutKept& operator=(const DesktopShortcutKept&) = delete;

    const std::wstring& Path() const { return m_path; }

private:
    const std::wstring m_path;
    const std::string m_before;
    const bool m_existed;
};

// The stand-in accelerator installer told to install into the scratch
// folder (the client hands its environment down), and the uninstall entry
// it registers removed before and after the road.
class AcceleratorEntryKept
{
public:
    explicit AcceleratorEntryKept(const std::wstring& installRoot)
    {
        CreateDirectoryW(installRoot.c_str(), nullptr);
        SetEnvironmentVariableW(L"CALVERIN_STANDIN_INSTALL_ROOT", installRoot.c_str());
        Remove();
    }
    ~AcceleratorEntryKept()
    {
        Remove();
        SetEnvironmentVariableW(L"CALVERIN_STANDIN_INSTALL_ROOT", nullptr);
    }
    AcceleratorEntryKept(const AcceleratorEntryKept&) = delete;
    AcceleratorEntryKept& operator=(const AcceleratorEntryKept&) = delete;

private:
    static void Remove()
    {
        for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, AcceleratorUninstallKey(kOstrelType).c_str(), view, 0);
    }
};

class WholeRoad : public testing::Test
{
protected:
    void SetUp() override { RefService::Reset(); }

    // The tile's white name on screen and no overlay over the page, steadily.
    void WaitForTile(HWND main, int index, int count, const std::string& what)
    {
        ItemSpot tile;
        tile.container = L"all_game_tilelayout";
        tile.index = index;
        tile.count = count;
        RECT name = driver.ItemRect(L"main.xml", tile);
        name.top += kTileNameTop;
        WaitUntilSteady(
            what + " with no overlay",
            [&] { return driver.CountLightPixels(main, name) > 10 && IsWindowEnabled(main); }, kPageSteadyMs,
            kWaitLimitMs);
    }

    void SignIn(HWND login)
    {
        driver.ClickControl(login, L"login.xml", L"mobile_code_0");
        driver.Type(login, kMobile);
        driver.ClickControl(login, L"login.xml", L"pwd_code_0");
        driver.Type(login, kPassword);
        driver.MarkStep("sign-in", login);
        driver.ClickControl(login, L"login.xml", L"login_btn");
        EXPECT_EQ(RefService::BodyValue(driver.WaitForJournal(kSignInPath), "mobile"), WideToUtf8(kMobile));
        driver.WaitForWindowGone(login, "the sign-in window");
    }

    // The client, ended with the driver, goes before the folders, sections,
    // shortcut and entry.
    OwnSections sections{{kXinghaiSection}};
    DesktopShortcutKept shortcut;
    ScratchFolder folder;
    AcceleratorEntryKept accelerator{folder.File(L"programs")};
    Driver driver;
    GamePageSteps steps{driver};
};

TEST_F(WholeRoad, SignInCatalogueDownloadUninstallAcceleratorSignOutAndExitFromTheTray)
{
    Json::Value slow = RefService::Fault(kXinghaiPackage, "throttle");
    slow["rate"] = kSlowRate;
    RefService::AddFault(slow);
    const std::wstring download = folder.File(L"下载") + L"\\";
    const std::wstring install = folder.File(L"游戏") + L"\\";
    const std::wstring package = download + kXinghaiPackageName;

    // No saved token: the sign-in window over the disabled main window.
    driver.StartClient();
    HWND main = driver.WaitForMainWindow();
    HWND login = driver.WaitForDialog(L"CLoginWnd");
    EXPECT_FALSE(IsWindowEnabled(main)) << "the sign-in window is modal";
    SignIn(login);

    // The category tiles.
    const Json::Value categories = ListInReply(driver.WaitForJournal(kCategoriesPath));
    ASSERT_EQ(static_cast<int>(categories.size()), kDemoCategoryTiles);
    WaitForTile(main, kDemoCategoryTiles - 1, kDemoCategoryTiles, "every tile");
    driver.MarkStep("tiles", main);

    // A search leaves 星海征途's tile alone.
    driver.ClickControl(main, L"main.xml", L"search_key");
    driver.Type(main, L"星海");
    driver.PressKey(main, VK_RETURN);
    const Json::Value found = ListInReply(driver.WaitForJournal(kSearchPath));
    ASSERT_EQ(found.size(), 1u);
    WaitForTile(main, 0, 1, "the search's tile");
    driver.MarkStep("search", main);

    // 星海征途's page.
    driver.ClickTile(main, 0, 1);
    ASSERT_NO_FATAL_FAILURE(steps.WaitForGamePage(main, found[0]["category_id"].asString(), 1));
    driver.MarkStep("game-page", main);

    // "下载": the account is bound, so straight to the folder window.
    const ItemSpot xinghai = GamePageSteps::Row(RowKind::kGame, L"game_list", 0, 2);
    steps.ClickRowChild(main, RowKind::kGame, xinghai, RowChild::kDownload);
    HWND folders = driver.WaitForDialog(L"CSetPathWnd");
    EXPECT_EQ(FindWindowW(L"CBindUsrWnd", nullptr), nullptr) << "no binding window with an account bound";
    steps.ReplaceField(folders, L"selpath.xml", L"download_path_edit", download);
    steps.ReplaceField(folders, L"selpath.xml", L"install_path_edit", install);
    driver.MarkStep("folders", folders);
    driver.ClickControl(folders, L"selpath.xml", L"ok_btn");
    driver.WaitForWindowGone(folders, "the folder window");

    // Downloading slowly, then cancelled part-way: the partial file stays.
    int64_t size = 0;
    WaitForFileSize(package, "the partial package", [&size](int64_t now) { return (size = now) > 0; });
    WaitForFileSize(package, "the partial package to grow", [size](int64_t now) { return now > size; });
    driver.MarkStep("downloading", main);
    steps.ClickRowChild(main, RowKind::kGame, xinghai, RowChild::kCancel);
    WaitUntil(
        "the row's status gone with the cancel", [&] { return !steps.StatusShown(main, RowKind::kGame, xinghai); },
        kWaitLimitMs);
    // A write under way when the cancel came still lands.
    PumpFor(kCancelSettleMs);
    const int64_t partial = GetLocalFileSize(package);
    ASSERT_GT(partial, 0) << "the cancel keeps the partial file";
    ASSERT_LT(partial, std::stoll(ListInReply(driver.WaitForJournal(kGamesPath))[0]["size"].asString()))
        << "the cancel came before the end of the download";
    driver.MarkStep("cancelled", main);

    // Resumed at full speed with a range request from the stored folders.
    RefService::ClearFaults();
    steps.ClickRowChild(main, RowKind::kGame, xinghai, RowChild::kDownload);
    folders = driver.WaitForDialog(L"CSetPathWnd");
    driver.ClickControl(folders, L"selpath.xml", L"ok_btn");
    driver.WaitForWindowGone(folders, "the folder window");
    WaitUntil(
        "the resumed download", [] { return Downloads(kXinghaiPackage).size() >= 2; }, kWaitLimitMs);
    EXPECT_EQ(RefService::Header(Downloads(kXinghaiPackage).back(), "Range"), "bytes=" + std::to_string(partial) + "-");

    // Checked and unpacked: the game's files, "installed", its shortcut.
    driver.WaitForFile(install + kXinghaiProgram, true, kInstallLimitMs);
    driver.WaitForFile(install + L"XingHai\\data\\地图\\星图.pak", true, kInstallLimitMs);
    WaitUntil(
        "\"installed\" in config.ini", [] { return ConfigValue(kXinghaiSection, L"installed") == L"1"; },
        kInstallLimitMs);
    driver.WaitForFile(shortcut.Path());
    EXPECT_EQ(ReadShellLinkFile(shortcut.Path()).target, install + kXinghaiProgram);
    WaitUntil(
        "the installed row's status", [&] { return steps.StatusShown(main, RowKind::kGame, xinghai); }, kWaitLimitMs);
    driver.MarkStep("installed", main);

    // "查看", then "我要卸载": the install folder and the shortcut go.
    steps.ClickRowChild(main, RowKind::kGame, xinghai, RowChild::kView);
    HWND view = driver.WaitForDialog(L"CViewPathWnd");
    driver.MarkStep("view", view);
    driver.ClickControl(view, L"viewpath.xml", L"unstall_btn");
    driver.WaitForWindowGone(view, "the folder view");
    WaitUntil(
        "the install folder removed", [&] { return !FolderExists(install); }, kInstallLimitMs);
    WaitUntil(
        "the desktop shortcut removed", [&] { return !FileExists(shortcut.Path()); }, kWaitLimitMs);
    EXPECT_TRUE(FileExists(package)) << "the package stays for a later install";
    EXPECT_NE(ConfigValue(kXinghaiSection, L"installed"), L"1");
    WaitUntilEnabled(main, "the game page after the removal");
    driver.MarkStep("uninstalled", main);

    // The applications' page: Ostrel's installer runs and registers it.
    driver.HoverControl(main, L"main.xml", L"small_nav_layout");
    driver.ClickControl(main, L"main.xml", L"all_apps_btn");
    ASSERT_EQ(static_cast<int>(ListInReply(driver.WaitForJournal(kSoftwaresPath)).size()), kAccelerators);
    WaitUntilEnabled(main, "the applications page");
    driver.HoverControl(main, L"main.xml", L"jiasuqi_list");
    const ItemSpot ostrel = GamePageSteps::Row(RowKind::kJiasuqi, L"jiasuqi_list", kOstrel, kAccelerators);
    steps.ClickRowChild(main, RowKind::kJiasuqi, ostrel, RowChild::kDownload);
    WaitUntil(
        "Ostrel's uninstall entry", [] { return IsAcceleratorInstalled(kOstrelType); }, kInstallLimitMs);
    WaitUntil(
        "the installed accelerator's status", [&] { return steps.StatusShown(main, RowKind::kJiasuqi, ostrel); },
        kWaitLimitMs);
    driver.MarkStep("accelerator-installed", main);

    // The sign-out, confirmed: the sign-in window comes back.
    driver.ClickControl(main, L"main.xml", L"user_btn");
    PumpFor(kMenuSettleMs);
    driver.ClickControl(main, L"main.xml", L"usermenu_logout");
    HWND logout = driver.WaitForDialog(L"CLogoutWnd");
    driver.MarkStep("sign-out", logout);
    driver.ClickControl(logout, L"logout.xml", L"ok_logout");
    driver.WaitForWindowGone(logout, "the sign-out confirmation");
    login = driver.WaitForDialog(L"CLoginWnd");
    driver.MarkStep("signed-out", login);

    // "退出" from the tray menu, with the sign-in window still open: the
    // client ends with its icon.
    HWND menu = driver.OpenTrayMenu();
    driver.MarkStep("tray-menu", menu);
    driver.PressKey(main, VK_END);
    driver.PressKey(main, VK_RETURN);
    EXPECT_EQ(driver.WaitForExit("the tray menu's exit entry"), 0u);
    WaitUntil(
        "the client's icon gone", [] { return Driver::TrayIconCount() == 0; }, kWaitLimitMs);
}

}  // namespace
