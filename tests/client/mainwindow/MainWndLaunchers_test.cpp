// The outside launchers and the finishing of installed games on the signed-in
// main window in the test's own process: a launcher's end as its worker
// queues it (a heap copy of the launcher row's record), and the finishing of
// an installed game as the game's install result hands it on. Launchers are
// registered in the test prefix's registry with their programs in scratch
// folders; the launchers' data files and the shortcuts are the prefix's own
// (its roaming application data and desktop), put back as they were.

#include <json/json.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include "JsonText.h"
#include "MainWndRowsFixture.h"
#include "MsgBoxProbe.h"
#include "RefService.h"
#include "ShellLinkFile.h"
#include "mainwindow/ItemConfig.h"
#include "services/DesktopShortcuts.h"
#include "services/FileUtil.h"
#include "services/LauncherFiles.h"

namespace {

namespace fs = std::filesystem;

constexpr wchar_t kNexonKey[] = L"SOFTWARE\\Nexon Launcher";
constexpr wchar_t kReflectionKey[] = L"SOFTWARE\\d0673521-1e7c-5647-8f72-b2cae5719a78";

// A file of the prefix that a test changes: its bytes come back afterwards,
// or it goes when there was none, with its folder when the test made that.
class RestoredFile
{
public:
    explicit RestoredFile(std::wstring path)
        : m_path(std::move(path)), m_folderExisted(fs::exists(fs::path(m_path).parent_path()))
    {
        if (fs::exists(m_path))
            m_bytes = ScratchFolder::ReadFile(m_path);
    }
    ~RestoredFile()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
        if (m_bytes)
            WriteStringToFile(*m_bytes, m_path);
        else if (!m_folderExisted)
            fs::remove(fs::path(m_path).parent_path(), ignored);  // only when empty
    }
    RestoredFile(const RestoredFile&) = delete;
    RestoredFile& operator=(const RestoredFile&) = delete;
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
    bool m_folderExisted;
    std::optional<std::string> m_bytes;
};

std::wstring Config(int gameId, LPCWSTR key) { return ReadItemConfig(L"game_" + std::to_wstring(gameId), key); }

class MainWndLaunchersTest : public MainWndRows
{
protected:
    // Once for both suites: the framework keeps the first archive.
    static void SetUpTestSuite()
    {
        if (archive.empty())
            UseSkin(BuildTreePath(L"client\\skin\\client.zip"));
    }

    // A launcher's end starts its game's task for real; the test games'
    // packages lead nowhere, and without the overseas setting the failure
    // asks nothing of the user.
    void SetUp() override
    {
        ClearLaunchers();
        MainWndRows::SetUp();
        Json::Value user;
        user["mobile"] = "13800138000";
        user["is_overseas"] = "";
        RefService::PutUser(user);
    }
    void TearDown() override
    {
        MainWndRows::TearDown();
        ClearLaunchers();
    }
    static void ClearLaunchers()
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kNexonKey);
        for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kReflectionKey, view, 0);
    }
    static void SetLauncherValue(HKEY root, LPCWSTR key, LPCWSTR name, const std::wstring& value)
    {
        ASSERT_TRUE(WriteRegValue(root, key, name, REG_SZ, value, static_cast<DWORD>((value.size() + 1) * 2)));
    }
    // The Nexon launcher with its program in a scratch folder.
    std::wstring InstallNexonLauncher()
    {
        const std::wstring launcher = folder.File(L"Nexon Launcher");
        fs::create_directories(launcher);
        folder.WriteFile(L"Nexon Launcher\\nexon_launcher.exe", "MZ");
        SetLauncherValue(HKEY_CURRENT_USER, kNexonKey, L"Install Directory", launcher);
        return launcher + L"\\nexon_launcher.exe";
    }
    // The Reflection launcher registered at installLocation, its program
    // placed there (relative locations resolve in the current folder).
    void InstallReflectionLauncher(const std::wstring& installLocation)
    {
        fs::create_directories(installLocation);
        ASSERT_EQ(WriteStringToFile("MZ", installLocation + L"\\ReflectionNetworkLauncher.exe"), 1);
        SetLauncherValue(HKEY_LOCAL_MACHINE, kReflectionKey, L"InstallLocation", installLocation);
    }

    // A folder of the scratch folder with a file in it.
    std::wstring FolderWithFiles(const std::wstring& name)
    {
        fs::create_directories(folder.File(name));
        folder.WriteFile(name + L"\\game.exe", "MZ");
        return folder.File(name);
    }

    // The game list of a page with both launcher games and their games.
    void ShowLauncherGames(std::vector<Step>& steps, bool withDependentGames = true)
    {
        std::string list = "[" + GameEntry(L"13", L"Nexon Launcher", "1048576") + "," +
                           GameEntry(L"16", L"ReflectionNetworkLauncher", "2097152");
        if (withDependentGames)
            list += "," + GameEntry(L"12", L"HIT2", "11534336") + "," + GameEntry(L"15", L"暗黑4", "11534336");
        list += "]";
        const int rows = withDependentGames ? 4 : 2;
        // Fresh rows: a list reply while icons load would be dropped.
        steps.push_back({[this] { return !mainWnd.IsGamePageLoading(); }, [this] { QueueGames("[]"); }});
        steps.push_back({[this] { return RowCount(L"game_list") == 0; }, [this, list] { QueueGames(list); }});
        steps.push_back({[this, rows] {
                             return RowCount(L"game_list") == rows && IconsIn(L"game_list") &&
                                    !mainWnd.IsGamePageLoading();
                         },
                         [] {}});
    }
    // The game page shown: a control on a hidden page never counts as visible.
    CControlUI* GameRow(const std::wstring& id)
    {
        Row(L"game_list", 0);
        return mainWnd.FindItemRow(RowKind::kGame, id);
    }
    // A heap copy of the row's record, as the launcher's worker queues it.
    UINT_PTR RecordCopyOf(const std::wstring& id)
    {
        return reinterpret_cast<UINT_PTR>(new GameInfo(*reinterpret_cast<const GameInfo*>(GameRow(id)->GetTag())));
    }

    ConfigSections config;
};

void ExpectLauncherShownInstalled(const RowFace& face, const wchar_t* size)
{
    EXPECT_EQ(face.status, L"安装成功");
    EXPECT_TRUE(face.statusShown);
    EXPECT_EQ(face.speed, L"");
    EXPECT_FALSE(face.speedShown);
    EXPECT_EQ(face.size, size);
    EXPECT_TRUE(face.viewShown);
    EXPECT_FALSE(face.downloadShown || face.cancelShown || face.barShown);
    EXPECT_EQ(face.background, 0u);
}

// With the launcher in place the launcher row shows it installed and is
// marked so; its game takes the launcher row's folders only while its own
// folder holds nothing.
TEST_F(MainWndLaunchersTest, NexonLauncherRowShowsItInstalledAndHandsItsFoldersToAnEmptyGame)
{
    InstallNexonLauncher();
    const std::wstring launcherPath = folder.File(L"downloads\\13");
    const std::wstring launcherInstall = folder.File(L"游戏\\Nexon");
    const std::wstring ownFiles = FolderWithFiles(L"HIT2-own");
    struct Case
    {
        const char* what;
        const wchar_t* installed;  // game 12's "installed"; null: no section
        std::wstring installPath;  // game 12's
        bool takesLauncherFolders;
    } cases[] = {
        {"no folder yet", nullptr, L"", true},
        {"an empty folder", L"0", folder.File(L"HIT2-empty"), true},
        {"installed", L"1", ownFiles, false},
        {"files but not installed", L"0", ownFiles, false},
    };
    fs::create_directories(folder.File(L"HIT2-empty"));
    std::vector<RowFace> launcherRows;
    std::vector<std::wstring> paths, installPaths, launcherInstalled;
    std::vector<std::vector<CTrayIcon::Balloon>> balloons;
    std::vector<Step> steps;
    ShowLauncherGames(steps);
    for (const Case& c : cases) {
        steps.push_back(
            {[] { return true; },
             [&, c] {
                 WritePrivateProfileStringW(L"game_12", nullptr, nullptr, g_sessionData.GetConfigIniPath().c_str());
                 WritePrivateProfileStringW(L"game_13", nullptr, nullptr, g_sessionData.GetConfigIniPath().c_str());
                 config.Set(L"game_13", L"path", launcherPath);
                 config.Set(L"game_13", L"install_path", launcherInstall);
                 if (c.installed != nullptr) {
                     config.Set(L"game_12", L"installed", c.installed);
                     config.Set(L"game_12", L"path", c.installPath);
                     config.Set(L"game_12", L"install_path", c.installPath);
                 }
                 // As its queued call runs it.
                 CTrayIcon::TakeBalloonsShown();
                 mainWnd.OnNexonLauncherDone(RecordCopyOf(L"13"), 0);
                 balloons.push_back(CTrayIcon::TakeBalloonsShown());
                 launcherRows.push_back(FaceOf(GameRow(L"13")));
                 launcherInstalled.push_back(Config(13, L"installed"));
                 paths.push_back(Config(12, L"path"));
                 installPaths.push_back(Config(12, L"install_path"));
             }});
    }
    Play(std::move(steps));
    ASSERT_EQ(launcherRows.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].what);
        ExpectLauncherShownInstalled(launcherRows[i], L"1024KB");
        EXPECT_EQ(balloons[i], (std::vector<CTrayIcon::Balloon>{
                                   {L"Nexon安装成功，开始安装Hit2游戏本体！", L"Nexon Launcher", 8000}}));
        EXPECT_EQ(launcherInstalled[i], L"1");
        EXPECT_EQ(paths[i], cases[i].takesLauncherFolders ? launcherPath : cases[i].installPath);
        EXPECT_EQ(installPaths[i], cases[i].takesLauncherFolders ? launcherInstall : cases[i].installPath);
    }
}

// Game 15 downloads where the launcher row did and installs below the
// launcher's "InstallLocation": inside it when that ends with a separator,
// beside it when not; a location without any separator gives no folder.
TEST_F(MainWndLaunchersTest, ReflectionGameInstallsBesideOrInsideTheLauncher)
{
    ScopedCurrentFolder here(folder.File(L""));
    const std::wstring launcherPath = folder.File(L"downloads\\16");
    struct Case
    {
        std::wstring installLocation;
        std::wstring installPath;  // game 15's afterwards
    } cases[] = {
        {folder.File(L"L\\"), folder.File(L"L\\D4R_ENRU\\")},
        {folder.File(L"L"), folder.File(L"D4R_ENRU\\")},
        {L"L", L""},
    };
    std::vector<RowFace> launcherRows;
    std::vector<std::wstring> paths, installPaths;
    std::vector<std::vector<CTrayIcon::Balloon>> balloons;
    std::vector<Step> steps;
    ShowLauncherGames(steps);
    for (const Case& c : cases) {
        steps.push_back({[] { return true; },
                         [&, c] {
                             WritePrivateProfileStringW(L"game_15", nullptr, nullptr,
                                                        g_sessionData.GetConfigIniPath().c_str());
                             config.Set(L"game_16", L"path", launcherPath);
                             InstallReflectionLauncher(c.installLocation);
                             CTrayIcon::TakeBalloonsShown();
                             mainWnd.OnReflectionLauncherDone(RecordCopyOf(L"16"), 0);
                             balloons.push_back(CTrayIcon::TakeBalloonsShown());
                             launcherRows.push_back(FaceOf(GameRow(L"16")));
                             paths.push_back(Config(15, L"path"));
                             installPaths.push_back(Config(15, L"install_path"));
                         }});
    }
    Play(std::move(steps));
    ASSERT_EQ(launcherRows.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(WideToUtf8(cases[i].installLocation));
        ExpectLauncherShownInstalled(launcherRows[i], L"2048KB");
        EXPECT_EQ(balloons[i],
                  (std::vector<CTrayIcon::Balloon>{{L"ReflectionNetworkLauncher安装成功，开始安装暗黑4游戏本体！",
                                                    L"ReflectionNetworkLauncher", 8000}}));
        EXPECT_EQ(paths[i], launcherPath);
        EXPECT_EQ(installPaths[i], cases[i].installPath);
    }
    EXPECT_EQ(Config(16, L"installed"), L"1");
}

// An installer that ended without its launcher: the row can be started
// again, a box says so, nothing is marked and no game is queued.
TEST_F(MainWndLaunchersTest, LauncherNotFoundAfterItsInstallerGivesTheRowBackWithABox)
{
    struct Case
    {
        const wchar_t* launcherGame;
        CMainWnd::Handler done;
        const wchar_t* size;
    } cases[] = {
        {L"13", &CMainWnd::OnNexonLauncherDone, L"1024KB"},
        {L"16", &CMainWnd::OnReflectionLauncherDone, L"2048KB"},
    };
    // A launcher folder without the launcher's program counts as none.
    SetLauncherValue(HKEY_CURRENT_USER, kNexonKey, L"Install Directory", FolderWithFiles(L"no-launcher"));
    std::vector<RowFace> launcherRows, dependentRows;
    std::vector<Step> steps;
    ShowLauncherGames(steps);
    for (const Case& c : cases) {
        steps.push_back(
            {[] { return true; },
             [&, c] { mainWnd.PostMsg(mainWnd.GetWindowHandle(), c.done, RecordCopyOf(c.launcherGame), 0); }});
        steps.push_back({[] { return VisibleWindow(L"CMsgBoxWnd") != nullptr; },
                         [&, c] {
                             launcherRows.push_back(FaceOf(GameRow(c.launcherGame)));
                             dependentRows.push_back(
                                 FaceOf(GameRow(c.launcherGame == std::wstring(L"13") ? L"12" : L"15")));
                             PostClick(VisibleWindow(L"CMsgBoxWnd"), okAlone);
                         }});
        steps.push_back({[] { return VisibleWindow(L"CMsgBoxWnd") == nullptr; }, [] {}});
    }
    Play(std::move(steps));
    ASSERT_EQ(launcherRows.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(WideToUtf8(cases[i].launcherGame));
        EXPECT_EQ(launcherRows[i].status, L"取消安装");
        EXPECT_FALSE(launcherRows[i].statusShown || launcherRows[i].speedShown || launcherRows[i].cancelShown ||
                     launcherRows[i].barShown);
        EXPECT_TRUE(launcherRows[i].downloadShown);
        EXPECT_EQ(launcherRows[i].size, cases[i].size);
        EXPECT_EQ(launcherRows[i].background, 0u);
        EXPECT_FALSE(dependentRows[i].cancelShown);
        EXPECT_NE(dependentRows[i].background, kBusyRowColour);
    }
    EXPECT_EQ(Config(13, L"installed"), L"");
    EXPECT_EQ(Config(16, L"installed"), L"");
    EXPECT_EQ(Config(12, L"path"), L"");
}

// A start of game 12 or 15 without its launcher is refused with a box before
// the folder window opens; game 15's install folder must be named D4R_ENRU,
// in that case, whatever separators follow it. A refused start writes
// nothing and leaves the row as it was.
TEST_F(MainWndLaunchersTest, LauncherGamesAreRefusedWithoutTheirLauncherOrItsFolderName)
{
    Json::Value user;
    user["mobile"] = "13800138000";
    user["software_username"] = "13900139000";
    user["software_id"] = "1";
    user["is_overseas"] = "";
    RefService::PutUser(user);
    const POINT folderOk = SkinControlCentre(L"selpath.xml", L"ok_btn");
    struct Case
    {
        const char* what;
        const wchar_t* game;
        bool launcher;              // game 15's launcher is in place
        const wchar_t* installDir;  // game 15's proposed install folder, below the scratch folder
        const wchar_t* title;       // null: no box, the task starts
        const wchar_t* text;
    } cases[] = {
        {"game 12 without Nexon", L"12", false, nullptr, L"未检测到Nexon", L"请先安装Nexon台服！"},
        {"game 15 without its launcher", L"15", false, nullptr, L"未检测到ReflectionNetworkLauncher",
         L"请先安装ReflectionNetworkLauncher！"},
        {"another folder name", L"15", true, L"Diablo\\", L"无法安装到此目录", L"本体安装的目录名必须为D4R_ENRU"},
        {"the name in small letters", L"15", true, L"d4r_enru\\", L"无法安装到此目录",
         L"本体安装的目录名必须为D4R_ENRU"},
        {"a folder below it", L"15", true, L"D4R_ENRU\\sub\\", L"无法安装到此目录", L"本体安装的目录名必须为D4R_ENRU"},
        {"the name and two separators", L"15", true, L"D4R_ENRU\\/", nullptr, nullptr},
    };
    struct Seen
    {
        std::wstring title, text;
        bool foldersAsked = false;
        bool started = false;
        RowFace row;
    };
    std::vector<Seen> seen(std::size(cases));
    std::vector<Step> steps;
    ShowLauncherGames(steps);
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        Seen& s = seen[i];
        steps.push_back({[] { return true; },
                         [&, c] {
                             ClearLaunchers();
                             if (c.launcher)
                                 InstallReflectionLauncher(folder.File(L"Reflection"));
                             if (c.installDir != nullptr) {
                                 fs::create_directories(folder.File(L"downloads\\15"));
                                 config.Set(L"game_15", L"path", folder.File(L"downloads\\15\\"));
                                 config.Set(L"game_15", L"install_path", folder.File(c.installDir));
                             }
                             GameRow(c.game);
                         }});
        // Clicked once the shown page has laid the button out inside its list.
        steps.push_back({[this, c] {
                             const RECT at = RowChildOf(GameRow(c.game), RowChild::kDownload)->GetPos();
                             const RECT list = mainWnd.FindControl(L"game_list")->GetPos();
                             return at.right > at.left && at.left >= list.left && at.right <= list.right &&
                                    at.top >= list.top && at.bottom <= list.bottom;
                         },
                         [this, c] {
                             const RECT at = RowChildOf(GameRow(c.game), RowChild::kDownload)->GetPos();
                             PostClick(mainWnd.GetWindowHandle(), {(at.left + at.right) / 2, (at.top + at.bottom) / 2});
                         }});
        if (c.installDir != nullptr) {
            steps.push_back({ShownAWhile(L"CSetPathWnd"), [&] {
                                 s.foldersAsked = true;
                                 PostClick(VisibleWindow(L"CSetPathWnd"), folderOk);
                             }});
        }
        if (c.title != nullptr) {
            steps.push_back({ShownAWhile(L"CMsgBoxWnd"), [&] {
                                 HWND box = VisibleWindow(L"CMsgBoxWnd");
                                 s.title = MsgBoxText(box, L"msgbox_title");
                                 s.text = MsgBoxText(box, L"msgbox_text");
                                 s.foldersAsked = s.foldersAsked || VisibleWindow(L"CSetPathWnd") != nullptr;
                                 PostClick(box, okAlone);
                             }});
            steps.push_back(
                {[] { return VisibleWindow(L"CMsgBoxWnd") == nullptr; }, [&, c] { s.row = FaceOf(GameRow(c.game)); }});
        } else {
            // The start stores the folders, each with its final backslash,
            // just before its worker starts.
            const std::wstring stored = folder.File(c.installDir) + L"\\";
            steps.push_back({[stored] { return Config(15, L"install_path") == stored; }, [&] { s.started = true; }});
        }
        steps.push_back({[] { return true; },
                         [this] {
                             WritePrivateProfileStringW(L"game_15", nullptr, nullptr,
                                                        g_sessionData.GetConfigIniPath().c_str());
                         }});
    }
    Play(std::move(steps));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.what);
        EXPECT_EQ(seen[i].foldersAsked, c.installDir != nullptr);
        if (c.title == nullptr) {
            EXPECT_TRUE(seen[i].started);
            continue;
        }
        EXPECT_EQ(seen[i].title, c.title);
        EXPECT_EQ(seen[i].text, c.text);
        EXPECT_TRUE(seen[i].row.downloadShown);
        EXPECT_FALSE(seen[i].row.cancelShown);
        EXPECT_NE(seen[i].row.background, kBusyRowColour);
    }
    EXPECT_EQ(Config(12, L"path"), L"");
}

// The launcher's end starts its game's task on the game's row, once: not for
// an installed game, not a second one beside a task that runs (registered,
// or still on its way on its row), and nothing when the page shows no row.
TEST_F(MainWndLaunchersTest, LauncherEndStartsItsGameOnce)
{
    InstallNexonLauncher();
    config.Set(L"game_13", L"path", folder.File(L"downloads\\13"));
    const std::wstring ownFiles = FolderWithFiles(L"HIT2-own");
    enum class Before
    {
        Nothing,
        Installed,
        FilesNotInstalled,
        TaskRegistered,
        TaskOnItsRow,
        NotShown,
    };
    struct Case
    {
        const char* what;
        Before before;
        bool starts;
    } cases[] = {
        {"an empty folder", Before::Nothing, true},
        {"installed", Before::Installed, false},
        {"files but not installed", Before::FilesNotInstalled, true},
        {"a registered task", Before::TaskRegistered, false},
        {"a task on its row", Before::TaskOnItsRow, false},
        {"no row", Before::NotShown, false},
    };
    volatile uint8_t runFlag = 1;
    const DWORD runningThread = 0x7FFF1234;
    GameInfo running;
    running.game_id = L"12";
    TaskProgress onItsRow;
    onItsRow.item = &running;
    onItsRow.kind = 1;
    onItsRow.thread_id = runningThread;
    onItsRow.run_flag = 1;

    std::vector<RowFace> rows;
    std::vector<Step> steps;
    for (const Case& c : cases) {
        ShowLauncherGames(steps, c.before != Before::NotShown);
        steps.push_back({[] { return true; },
                         [&, c] {
                             WritePrivateProfileStringW(L"game_12", nullptr, nullptr,
                                                        g_sessionData.GetConfigIniPath().c_str());
                             if (c.before == Before::Installed || c.before == Before::FilesNotInstalled) {
                                 config.Set(L"game_12", L"installed", c.before == Before::Installed ? L"1" : L"0");
                                 config.Set(L"game_12", L"install_path", ownFiles);
                             }
                             if (c.before == Before::TaskRegistered)
                                 g_sessionData.SetTask(runningThread, &runFlag, TaskItem{1, L"12"});
                             if (c.before == Before::TaskOnItsRow)
                                 QueueProgress(&CMainWnd::OnGameDownloadProgress, onItsRow, 1);
                         }});
        steps.push_back(After(200, [&, c] {
            mainWnd.OnNexonLauncherDone(RecordCopyOf(L"13"), 0);
            rows.push_back(c.before == Before::NotShown ? RowFace() : FaceOf(GameRow(L"12")));
            g_sessionData.RemoveTask(runningThread);
        }));
        // A started task fails at once (its package's address leads nowhere,
        // and without the overseas setting no box asks about it); the next
        // case waits until its worker has gone.
        steps.push_back({[this] {
                             CControlUI* row = GameRow(L"12");
                             return row == nullptr || FaceOf(row).status != L"等待开始";
                         },
                         [] {}});
        steps.push_back(After(500, [] {}));
    }
    Play(std::move(steps));
    ASSERT_EQ(rows.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].what);
        const bool started = rows[i].status == L"等待开始";
        EXPECT_EQ(started, cases[i].starts);
        if (!started)
            continue;
        EXPECT_EQ(rows[i].background, kBusyRowColour);
        EXPECT_EQ(rows[i].speed, L"等待");
        EXPECT_TRUE(rows[i].cancelShown && rows[i].barShown && !rows[i].downloadShown);
        EXPECT_NE(rows[i].cancelTag, 0u);
    }
}

class FinishGameInstallTest : public MainWndLaunchersTest
{
protected:
    // Runs the finishing of the record from the window's loop, as the game's
    // install result does.
    void Finish(const GameInfo& record)
    {
        Play({{[] { return true; }, [&] { mainWnd.FinishGameInstall(std::make_unique<GameInfo>(record)); }}});
    }
    static GameInfo Game(const wchar_t* id, const std::wstring& name, const wchar_t* lnkApp = L"")
    {
        GameInfo record;
        record.game_id = id;
        record.name = name;
        record.lnk_app = lnkApp;
        return record;
    }
    const std::wstring desktop = SystemDesktopFolders().saveIn;
};

// Game 12 in Iron Harbor's folder: the launcher's database gets game 12 with
// every member (64-bit size, paths in UTF-8) beside the apps it held, and
// HIT2.lnk starts it through the launcher.
TEST_F(FinishGameInstallTest, NexonGameEntersTheLaunchersDatabaseAndGetsItsShortcut)
{
    RestoredFile db(NexonInstalledAppsPath());
    RestoredFile shortcut(desktop + L"\\HIT2.lnk");
    const std::wstring launcherProgram = InstallNexonLauncher();
    const std::wstring installFolder = folder.File(L"铁港\\HIT2");
    config.Set(L"game_12", L"install_path", installFolder);
    fs::create_directories(fs::path(db.Path()).parent_path());
    ASSERT_EQ(WriteStringToFile(R"({"installedApps":{"100":{"name":"Other"}},"settings":{"lang":"zh"}})", db.Path()),
              1);
    const int64_t before = static_cast<int64_t>(time(nullptr));
    CTrayIcon::TakeBalloonsShown();

    Finish(Game(L"12", L"Iron Harbor"));

    EXPECT_EQ(CTrayIcon::TakeBalloonsShown(), (std::vector<CTrayIcon::Balloon>{{L"安装成功！", L"Iron Harbor", 8000}}));
    EXPECT_EQ(Config(12, L"installed"), L"1");
    const Json::Value root = ParseJsonText(ScratchFolder::ReadFile(db.Path()));
    EXPECT_EQ(root["settings"]["lang"], "zh");
    EXPECT_EQ(root["installedApps"]["100"]["name"], "Other");
    const Json::Value& game = root["installedApps"]["59767"];
    const std::string folderUtf8 = WideToUtf8(installFolder) + "\\";
    EXPECT_EQ(game["name"], "HIT2TW");
    EXPECT_TRUE(game["gameSize"].isInt64());
    EXPECT_EQ(game["gameSize"].asInt64(), 16366786146LL);
    EXPECT_EQ(game["installPath"], folderUtf8 + "appdata");
    EXPECT_EQ(game["installRootPath"], folderUtf8);
    EXPECT_EQ(game["localManifest"], folderUtf8 + "patchdata\\59767.manifest.hash");
    EXPECT_EQ(game["autoUpdate"], true);
    EXPECT_GE(game["installTime"].asInt64(), before);
    EXPECT_LE(game["installTime"].asInt64(), static_cast<int64_t>(time(nullptr)));
    EXPECT_EQ(game["currentState"], 2);
    EXPECT_EQ(game["currentBranch"], "public");
    EXPECT_TRUE(game.isMember("customTargetBuildId") && game["customTargetBuildId"].isNull());
    EXPECT_EQ(game["customLaunchConfigEnable"], false);
    EXPECT_TRUE(game.isMember("customLaunchConfigExe") && game["customLaunchConfigExe"].isNull());
    EXPECT_TRUE(game["customLaunchConfigArgs"].isArray() && game["customLaunchConfigArgs"].empty());

    const ShellLinkContents link = ReadShellLinkFile(shortcut.Path());
    ASSERT_TRUE(link.read);
    EXPECT_EQ(link.target, launcherProgram);
    EXPECT_EQ(link.arguments, L"nxl://launch/59767");
    EXPECT_EQ(link.workingFolder, GetFolderPart(launcherProgram));
    EXPECT_EQ(link.icon, installFolder + L"\\appdata\\HIT2.exe");
    EXPECT_FALSE(EntryExists(desktop + L"\\Iron Harbor.lnk"));
}

// Whatever the launcher's file holds, or when the launcher holds it open,
// the game is marked installed; a damaged file is kept aside before it is
// replaced; without the launcher no shortcut is made.
TEST_F(FinishGameInstallTest, LauncherFilesInAnyStateLeaveTheGameInstalled)
{
    RestoredFile db(NexonInstalledAppsPath());
    RestoredFile shortcut(desktop + L"\\HIT2.lnk");
    RestoredFile configuration(ReflectionConfigPath());
    fs::remove_all(shortcut.Path());
    config.Set(L"game_12", L"install_path", folder.File(L"HIT2"));
    config.Set(L"game_15", L"install_path", folder.File(L"D4R_ENRU"));
    struct Case
    {
        const char* what;
        const wchar_t* id;
        std::optional<std::string> text;  // none: no file
        bool heldOpen;
        bool keptAside;
    } cases[] = {
        {"database missing", L"12", std::nullopt, false, false},
        {"database empty", L"12", "", false, false},
        {"database unparsable", L"12", "{\"installedApps\":", false, true},
        {"database not an object", L"12", "[1,2]", false, true},
        {"database held open", L"12", "{}", true, false},
        {"configuration missing", L"15", std::nullopt, false, false},
        {"configuration unparsable", L"15", "d4_install_dir=", false, true},
        {"configuration held open", L"15", "{}", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const bool nexon = c.id == std::wstring(L"12");
        const std::wstring path = nexon ? db.Path() : configuration.Path();
        const std::wstring section = std::wstring(L"game_") + c.id;
        WritePrivateProfileStringW(section.c_str(), L"installed", nullptr, g_sessionData.GetConfigIniPath().c_str());
        fs::remove_all(path);
        fs::create_directories(fs::path(path).parent_path());
        if (c.text)
            std::ofstream(fs::path(path), std::ios::binary) << *c.text;
        HANDLE held = c.heldOpen ? CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                                 : INVALID_HANDLE_VALUE;
        CTrayIcon::TakeBalloonsShown();

        mainWnd.FinishGameInstall(std::make_unique<GameInfo>(Game(c.id, L"Game")));

        EXPECT_EQ(CTrayIcon::TakeBalloonsShown(),
                  (std::vector<CTrayIcon::Balloon>{{nexon ? L"安装成功！" : L"暗黑4俄服安装成功！", L"Game", 8000}}));
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        EXPECT_EQ(ReadItemConfig(section, L"installed"), L"1");
        const std::string after = ScratchFolder::ReadFile(path);
        if (c.heldOpen) {
            EXPECT_EQ(after, *c.text);
        } else {
            const Json::Value root = ParseJsonText(after);
            EXPECT_TRUE(nexon ? root["installedApps"]["59767"]["name"] == "HIT2TW"
                              : root["d4_download_finished"] == true);
        }
        EXPECT_EQ(EntryExists(path + L".1.bak"), c.keptAside);
        if (c.keptAside) {
            EXPECT_EQ(ScratchFolder::ReadFile(path + L".1.bak"), *c.text);
        }
        fs::remove_all(path + L".1.bak");
    }
    EXPECT_FALSE(EntryExists(shortcut.Path()));
}

// Any other game gets a desktop shortcut to its program in its folder, or
// none when the program would lie outside the folder; it is marked
// installed either way.
TEST_F(FinishGameInstallTest, OtherGamesGetADesktopShortcutInsideTheirFolder)
{
    const std::wstring installFolder = FolderWithFiles(L"游戏\\Iron Harbor");
    fs::create_directories(installFolder + L"\\bin");
    const std::wstring name = L"Iron Harbor " + std::to_wstring(GetCurrentProcessId());
    RestoredFile shortcut(desktop + L"\\" + name + L".lnk");
    struct Case
    {
        const wchar_t* lnkApp;
        std::wstring target;  // empty: no shortcut
    } cases[] = {
        {L"bin\\IronHarbor.exe", installFolder + L"\\bin\\IronHarbor.exe"},
        {L"C:\\windows\\notepad.exe", L""},
        {L"..\\..\\outside.exe", L""},
    };
    // The shortcut the first case saves stays for the refused ones: a refused
    // program leaves no shortcut of the name, not even the older one.
    fs::remove_all(shortcut.Path());
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.lnkApp));
        WritePrivateProfileStringW(L"game_9801", nullptr, nullptr, g_sessionData.GetConfigIniPath().c_str());
        config.Set(L"game_9801", L"install_path", installFolder);
        CTrayIcon::TakeBalloonsShown();

        mainWnd.FinishGameInstall(std::make_unique<GameInfo>(Game(L"9801", name, c.lnkApp)));

        EXPECT_EQ(CTrayIcon::TakeBalloonsShown(), (std::vector<CTrayIcon::Balloon>{{L"安装成功！", name, 8000}}));
        EXPECT_EQ(Config(9801, L"installed"), L"1");
        const ShellLinkContents link = ReadShellLinkFile(shortcut.Path());
        EXPECT_EQ(link.read, !c.target.empty());
        EXPECT_EQ(link.target, c.target);
        if (link.read) {
            EXPECT_EQ(link.workingFolder, installFolder + L"\\bin");
        }
    }
}

}  // namespace
