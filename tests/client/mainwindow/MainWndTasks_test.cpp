// Row tasks of the signed-in main window, started by posted clicks on the
// rows' buttons and run by the real workers against the reference service:
// the folder window, real downloads, checks and unpacking into scratch
// folders, what each result shows on the row and in its box, and the checks
// that stop a start before anything changes.

#include "MainWndRowsFixture.h"
#include "MsgBoxProbe.h"
#include "RefService.h"
#include "services/DownloadTasks.h"
#include "services/FileUtil.h"

#include <algorithm>
#include <set>

namespace {

using namespace RefService;

constexpr char kXinghaiPackage[] = "/files/packages/xinghai_full.zip";
// The same path as the client sends it (the service's journal keeps it so).
constexpr char kXinghaiPackageSent[] = "/files/packages/xinghai%5Ffull.zip";
constexpr wchar_t kXinghaiCategory[] = L"1";

size_t FileRequests(const std::string& path) { return Journal(path).size(); }
size_t Gets(const std::string& path)
{
    size_t gets = 0;
    for (const Json::Value& entry : Journal(path))
        gets += entry["method"].asString() == "GET" ? 1 : 0;
    return gets;
}

class MainWndTasks : public MainWndRows
{
public:
    // Once for the three suites of this program: the framework keeps the
    // first skin archive.
    static void SetUpTestSuite()
    {
        if (!archive.empty())
            return;
        UseSkin(BuildTreePath(L"client\\skin\\client.zip"));
        folderOk = SkinControlCentre(L"selpath.xml", L"ok_btn");
        folderClose = SkinControlCentre(L"selpath.xml", L"close_btn");
        bindClose = SkinControlCentre(L"bindjsq.xml", L"close_btn");
    }

    void SetUp() override
    {
        MainWndRows::SetUp();
        Json::Value user;
        user["mobile"] = "13800138000";
        user["software_username"] = "13900139000";
        user["software_id"] = "1";
        PutUser(user);
    }

    // The game page of a service category, as a tile click opens it.
    void OpenCategory(const std::wstring& categoryId)
    {
        auto* category = new CategoryInfo();
        category->category_id = categoryId;
        category->name = L"星海征途";
        mainWnd.PostMsg(mainWnd.GetWindowHandle(), &CMainWnd::OnOpenGamePage, reinterpret_cast<UINT_PTR>(category), 0);
    }
    bool PageShown(int games) { return RowCount(L"game_list") == games && IconsIn(L"game_list"); }

    void ClickRowButton(LPCWSTR list, int index, RowChild button)
    {
        const RECT& at = RowChildOf(Row(list, index), button)->GetPos();
        PostClick(mainWnd.GetWindowHandle(), {(at.left + at.right) / 2, (at.top + at.bottom) / 2});
    }
    RowFace Face(LPCWSTR list, int index) { return FaceOf(Row(list, index)); }
    std::wstring Status(LPCWSTR list, int index) { return Face(list, index).status; }

    // The folders the folder window proposes, as a former start left them.
    void Propose(const std::wstring& section, const std::wstring& download, const std::wstring& install)
    {
        config.Set(section, L"path", download);
        config.Set(section, L"install_path", install);
    }
    std::wstring ConfigValue(const std::wstring& section, LPCWSTR key)
    {
        wchar_t value[512] = {};
        GetPrivateProfileStringW(section.c_str(), key, L"", value, 512, g_sessionData.GetConfigIniPath().c_str());
        return value;
    }

    static Step ConfirmFolders()
    {
        return {ShownAWhile(L"CSetPathWnd"), [] { PostClick(VisibleWindow(L"CSetPathWnd"), folderOk); }};
    }
    // Reads the box that comes, then closes it with the given button.
    static Step AnswerBox(std::wstring* title, std::wstring* text, POINT button)
    {
        return {ShownAWhile(L"CMsgBoxWnd"), [title, text, button] {
                    HWND box = VisibleWindow(L"CMsgBoxWnd");
                    if (title != nullptr)
                        *title = MsgBoxText(box, L"msgbox_title");
                    if (text != nullptr)
                        *text = MsgBoxText(box, L"msgbox_text");
                    PostClick(box, button);
                }};
    }

    void TearDown() override
    {
        if (heldConfig != INVALID_HANDLE_VALUE)
            CloseHandle(heldConfig);
        CWindowMultiThreadManager::RefuseStartsOf({});
        MainWndRows::TearDown();
    }
    // Opens config.ini sharing only reading, so that every write fails.
    void HoldConfig()
    {
        heldConfig = CreateFileW(g_sessionData.GetConfigIniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(heldConfig, INVALID_HANDLE_VALUE);
    }

    static inline POINT folderOk, folderClose, bindClose;
    ConfigSections config;
    HANDLE heldConfig = INVALID_HANDLE_VALUE;
};

// The whole road of a game: the folder window, a download slowed so that it
// shows its progress, a cancel that keeps the partial file, a second start
// that resumes it with a range request and no question, the check, the
// unpacking, and the row that stays installed when the page opens again.
TEST_F(MainWndTasks, AGameDownloadsResumesAfterACancelAndIsInstalled)
{
    const std::wstring download = folder.File(L"下载") + L"\\";
    const std::wstring install = folder.File(L"游戏") + L"\\";
    CreateDirectoryW(download.c_str(), nullptr);
    Propose(L"game_101", download, install);
    Json::Value slow = Fault(kXinghaiPackage, "throttle");
    slow["rate"] = 8000;
    AddFault(slow);

    RowFace running, cancelled, reopened;
    int64_t partialSize = 0;
    std::vector<std::wstring> statuses;
    auto recordStatus = [&] {
        const std::wstring status = Status(L"game_list", 0);
        if (statuses.empty() || statuses.back() != status)
            statuses.push_back(status);
    };
    Play({{[] { return true; }, [this] { OpenCategory(kXinghaiCategory); }},
          {[this] { return PageShown(2); }, [this] { ClickRowButton(L"game_list", 0, RowChild::kDownload); }},
          ConfirmFolders(),
          {[this] {
               const RowFace face = Face(L"game_list", 0);
               return face.status.rfind(L"已下载", 0) == 0 && face.barWidth > 0;
           },
           [&] { running = Face(L"game_list", 0); }},
          After(1500, [this] { ClickRowButton(L"game_list", 0, RowChild::kCancel); }),
          After(1500,
                [&] {
                    cancelled = Face(L"game_list", 0);
                    partialSize = GetLocalFileSize(download + L"xinghai_full.zip");
                    ClearFaults();
                    ClickRowButton(L"game_list", 0, RowChild::kDownload);
                }),
          ConfirmFolders(),
          {[&] {
               recordStatus();
               return Status(L"game_list", 0) == L"已安装";
           },
           [this] { OpenCategory(kXinghaiCategory); }},
          After(500, [] {}),
          {[this] { return PageShown(2); }, [&] { reopened = Face(L"game_list", 0); }}});

    EXPECT_FALSE(running.downloadShown);
    EXPECT_TRUE(running.cancelShown);
    EXPECT_EQ(running.background, kBusyRowColour);
    EXPECT_NE(running.speed.find(L"KB/S"), std::wstring::npos) << running.speed;
    EXPECT_NE(running.size.find(L"/"), std::wstring::npos) << running.size;
    EXPECT_GT(running.barWidth, 0);

    EXPECT_TRUE(cancelled.downloadShown);
    EXPECT_FALSE(cancelled.statusShown);
    EXPECT_FALSE(cancelled.cancelShown);
    EXPECT_GT(partialSize, 0) << "the cancel keeps the partial file";

    const Json::Value requests = Journal(kXinghaiPackageSent);
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(Header(requests[requests.size() - 1], "Range"), "bytes=" + std::to_string(partialSize) + "-");
    EXPECT_EQ(VisibleWindow(L"CMsgBoxWnd"), nullptr);
    // After the resume the row showed only the task's stages, and ended
    // installed (the short waiting looks between them may pass unseen).
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.back(), L"已安装");
    for (const std::wstring& status : statuses) {
        const bool stage = status.rfind(L"已下载", 0) == 0 || status.rfind(L"校验中", 0) == 0 ||
                           status.rfind(L"解压中", 0) == 0 || status == L"等待开始" || status == L"等待校验" ||
                           status == L"等待解压" || status == L"已安装" ||
                           status == L"已取消";  // before the second start
        EXPECT_TRUE(stage) << Utf8(status);
    }
    EXPECT_TRUE(FileExists(install + L"XingHai\\XingHai.exe"));
    EXPECT_TRUE(FileExists(install + L"XingHai\\data\\地图\\星图.pak"));
    EXPECT_EQ(ConfigValue(L"game_101", L"installed"), L"1");
    EXPECT_EQ(reopened.status, L"已安装");
    EXPECT_TRUE(reopened.viewShown);
}

// Right after a cancel the old worker still ends: the row's download button
// waits, disabled, and takes the click once the worker has gone. A result
// that lands just after a cancel tells of a game installed in full: the row
// shows it installed, as config.ini does.
TEST_F(MainWndTasks, AfterACancelTheDownloadWaitsForTheOldWorkerAndALateInstallShows)
{
    const std::wstring download = folder.File(L"下载") + L"\\";
    const std::wstring install = folder.File(L"游戏") + L"\\";
    CreateDirectoryW(download.c_str(), nullptr);
    Propose(L"game_101", download, install);
    Json::Value slow = Fault(kXinghaiPackage, "throttle");
    slow["rate"] = 8000;
    AddFault(slow);

    RowFace cancelled, released, restarted, late;
    auto downloading = [this] { return Status(L"game_list", 0).rfind(L"已下载", 0) == 0; };
    Play({{[] { return true; }, [this] { OpenCategory(kXinghaiCategory); }},
          {[this] { return PageShown(2); }, [this] { ClickRowButton(L"game_list", 0, RowChild::kDownload); }},
          ConfirmFolders(),
          {downloading,
           [&, this] {
               mainWnd.OnGameCancelClick(RowChildOf(Row(L"game_list", 0), RowChild::kCancel));
               cancelled = Face(L"game_list", 0);
           }},
          {[this] { return Face(L"game_list", 0).downloadEnabled; },
           [&, this] {
               released = Face(L"game_list", 0);
               ClickRowButton(L"game_list", 0, RowChild::kDownload);
           }},
          ConfirmFolders(),
          {downloading,
           [&, this] {
               restarted = Face(L"game_list", 0);
               const auto* record = reinterpret_cast<const GameInfo*>(Row(L"game_list", 0)->GetTag());
               mainWnd.OnGameCancelClick(RowChildOf(Row(L"game_list", 0), RowChild::kCancel));
               mainWnd.PostMsg(mainWnd.GetWindowHandle(), &CMainWnd::OnGameInstallDone,
                               reinterpret_cast<UINT_PTR>(new GameInfo(*record)), 0);
           }},
          After(1000, [&, this] { late = Face(L"game_list", 0); })});

    EXPECT_EQ(cancelled.status, L"已取消");
    EXPECT_TRUE(cancelled.downloadShown);
    EXPECT_FALSE(cancelled.downloadEnabled) << "the old worker still ends";
    EXPECT_TRUE(released.downloadShown);
    EXPECT_FALSE(restarted.downloadShown) << "the click after the wait started the task";
    EXPECT_TRUE(restarted.cancelShown);
    EXPECT_EQ(late.status, L"已安装");
    EXPECT_TRUE(late.viewShown);
    EXPECT_FALSE(late.downloadShown);
    EXPECT_EQ(ConfigValue(L"game_101", L"installed"), L"1");
}

// A page left while its game downloads: the task's results change no row of
// the page shown instead, yet still mark the game installed; the page opened
// again shows the running task on its row, and then its end.
TEST_F(MainWndTasks, ResultsOfALeftPageChangeNoOtherRowAndStillMarkTheGame)
{
    const std::wstring download = folder.File(L"下载") + L"\\";
    const std::wstring install = folder.File(L"游戏") + L"\\";
    Propose(L"game_101", download, install);
    Json::Value slow = Fault(kXinghaiPackage, "throttle");
    slow["rate"] = 6000;
    AddFault(slow);

    RowFace otherBefore, otherAfter, reopened, ended;
    Play({{[] { return true; }, [this] { OpenCategory(kXinghaiCategory); }},
          {[this] { return PageShown(2); }, [this] { ClickRowButton(L"game_list", 0, RowChild::kDownload); }},
          ConfirmFolders(),
          {[this] { return Status(L"game_list", 0).rfind(L"已下载", 0) == 0; }, [this] { OpenCategory(L"2"); }},
          {[this] { return PageShown(1) && Face(L"game_list", 0).name.find(L"龙纹") != std::wstring::npos; },
           [&] { otherBefore = Face(L"game_list", 0); }},
          After(2500,
                [&] {
                    otherAfter = Face(L"game_list", 0);
                    OpenCategory(kXinghaiCategory);
                }),
          {[this] { return PageShown(2); }, [&] { reopened = Face(L"game_list", 0); }},
          {[this] { return Status(L"game_list", 0) == L"已安装"; }, [&] { ended = Face(L"game_list", 0); }},
          After(1000, [] {})});

    EXPECT_EQ(otherAfter.status, otherBefore.status);
    EXPECT_EQ(otherAfter.size, otherBefore.size);
    EXPECT_EQ(otherAfter.downloadShown, otherBefore.downloadShown);
    EXPECT_FALSE(otherAfter.cancelShown);
    EXPECT_TRUE(reopened.cancelShown) << "the reopened row shows its running task";
    EXPECT_FALSE(reopened.downloadShown);
    EXPECT_TRUE(ended.viewShown);
    EXPECT_EQ(ConfigValue(L"game_101", L"installed"), L"1");
    EXPECT_EQ(VisibleWindow(L"CMsgBoxWnd"), nullptr);
}

// The plug-in road: no folder is proposed, the AddOns folder of the game is
// found below the picked one, and the end removes the package and marks the
// plug-in installed.
TEST_F(MainWndTasks, APlugInIsInstalledIntoItsGamesAddOnsAndItsPackageGoes)
{
    const std::wstring download = folder.File(L"插件包") + L"\\";
    const std::wstring game = folder.File(L"游戏");
    CreateDirectoryW(game.c_str(), nullptr);
    CreateDirectoryW((game + L"\\Interface").c_str(), nullptr);
    const std::wstring addOns = game + L"\\Interface\\AddOns\\";
    Propose(L"plugin_1001", download, addOns);

    RowFace done;
    CTrayIcon::TakeBalloonsShown();
    Play({{[] { return true; }, [this] { OpenCategory(kXinghaiCategory); }},
          {[this] { return PageShown(2) && RowCount(L"plugin_list") == 1 && IconsIn(L"plugin_list"); },
           [this] { Row(L"plugin_list", 0); }},
          After(500, [this] { ClickRowButton(L"plugin_list", 0, RowChild::kDownload); }),
          ConfirmFolders(),
          {[this] { return Status(L"plugin_list", 0) == L"已安装"; }, [&] { done = Face(L"plugin_list", 0); }}});

    EXPECT_TRUE(done.viewShown);
    EXPECT_FALSE(done.downloadShown);
    EXPECT_EQ(ConfigValue(L"plugin_1001", L"installed"), L"1");
    EXPECT_EQ(ConfigValue(L"plugin_1001", L"install_path"), addOns);
    EXPECT_TRUE(FileExists(addOns + L"XingHaiHD\\高清材质.pak"));
    EXPECT_FALSE(FileExists(download + L"xinghai_hd.zip"));
    EXPECT_EQ(CTrayIcon::TakeBalloonsShown(), (std::vector<CTrayIcon::Balloon>{{L"安装成功！", done.name, 8000}}));
}

// Every check of the start that fails ends it with the row, config.ini and
// the service untouched.
struct StopCase
{
    const char* name;
    // Prepares the case; the folders are the test's scratch folders.
    void (*arrange)(MainWndTasks& test, const std::wstring& scratch);
    // What the user does after the click until the start is over.
    enum class Answer
    {
        kCloseBinding,
        kCloseFolders,
        kDeclineOverwrite,
        kRefusedFolderThenClose,
        kConfirm,
        kConfirmThenNotice,
    } answer;
    const wchar_t* boxText;  // null: none; empty: any text
};

class MainWndTaskStops : public MainWndTasks, public testing::WithParamInterface<StopCase>
{};

void Unbind(MainWndTasks&, const std::wstring&)
{
    Json::Value user;
    user["mobile"] = "13800138000";
    user["software_username"] = "";
    PutUser(user);
}
void NoArrangement(MainWndTasks&, const std::wstring&) {}

const StopCase kStopCases[] = {
    {"UnboundAndBindingClosed", &Unbind, StopCase::Answer::kCloseBinding, nullptr},
    {"FolderWindowClosed", &NoArrangement, StopCase::Answer::kCloseFolders, nullptr},
    {"OtherFilesNotOverwritten",
     [](MainWndTasks& test, const std::wstring& scratch) {
         CreateDirectoryW((scratch + L"\\别的").c_str(), nullptr);
         HANDLE file =
             CreateFileW((scratch + L"\\别的\\存档.dat").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
         CloseHandle(file);
         test.Propose(L"game_101", scratch + L"\\别的\\", scratch + L"\\别的\\");
     },
     StopCase::Answer::kDeclineOverwrite, L"所选的下载目录不为空，可能会覆盖同名文件，是否继续？"},
    {"RelativeDownloadFolder",
     [](MainWndTasks& test, const std::wstring& scratch) { test.Propose(L"game_101", L"下载\\", scratch + L"\\"); },
     StopCase::Answer::kRefusedFolderThenClose, L""},
    {"ConfigNotWritable",
     [](MainWndTasks& test, const std::wstring& scratch) {
         CreateDirectoryW((scratch + L"\\空").c_str(), nullptr);
         test.Propose(L"game_101", scratch + L"\\空\\", scratch + L"\\空\\");
         test.HoldConfig();
     },
     StopCase::Answer::kConfirmThenNotice, L"下载设置写入失败，请检查磁盘空间和权限！"},
    {"WorkerCannotStart",
     [](MainWndTasks& test, const std::wstring& scratch) {
         CreateDirectoryW((scratch + L"\\空").c_str(), nullptr);
         test.Propose(L"game_101", scratch + L"\\空\\", scratch + L"\\空\\");
         CWindowMultiThreadManager::RefuseStartsOf({&DownloadGameThread<g_mainWnd>});
     },
     StopCase::Answer::kConfirm, nullptr},
};

TEST_P(MainWndTaskStops, NothingChanges)
{
    const StopCase& c = GetParam();
    c.arrange(*this, folder.File(L""));
    const std::wstring pathBefore = ConfigValue(L"game_101", L"path");
    std::wstring boxText;
    bool boxSeen = false;
    RowFace after;
    const POINT cancelBox = SkinControlCentre(L"msgbox.xml", L"msgbox_cancel");
    std::vector<Step> steps = {
        {[] { return true; }, [this] { OpenCategory(kXinghaiCategory); }},
        {[this] { return PageShown(2); }, [this] { ClickRowButton(L"game_list", 0, RowChild::kDownload); }}};
    auto closeWindow = [](LPCWSTR className, POINT at) {
        return Step{ShownAWhile(className), [className, at] { PostClick(VisibleWindow(className), at); }};
    };
    switch (c.answer) {
    case StopCase::Answer::kCloseBinding:
        steps.push_back(closeWindow(L"CBindUsrWnd", bindClose));
        break;
    case StopCase::Answer::kCloseFolders:
        steps.push_back(closeWindow(L"CSetPathWnd", folderClose));
        break;
    case StopCase::Answer::kDeclineOverwrite:
        steps.push_back(ConfirmFolders());
        steps.push_back(AnswerBox(nullptr, &boxText, cancelBox));
        break;
    case StopCase::Answer::kRefusedFolderThenClose:
        steps.push_back(ConfirmFolders());
        steps.push_back(AnswerBox(nullptr, &boxText, okAlone));
        steps.push_back(closeWindow(L"CSetPathWnd", folderClose));
        break;
    case StopCase::Answer::kConfirm:
        steps.push_back(ConfirmFolders());
        break;
    case StopCase::Answer::kConfirmThenNotice:
        steps.push_back(ConfirmFolders());
        steps.push_back(AnswerBox(nullptr, &boxText, okAlone));
        break;
    }
    steps.push_back(After(800, [&] {
        boxSeen = VisibleWindow(L"CMsgBoxWnd") != nullptr || VisibleWindow(L"CSetPathWnd") != nullptr;
        after = Face(L"game_list", 0);
    }));
    Play(steps);

    if (c.boxText == nullptr)
        EXPECT_TRUE(boxText.empty()) << Utf8(boxText);
    else if (*c.boxText != L'\0')
        EXPECT_EQ(boxText, c.boxText);
    else
        EXPECT_FALSE(boxText.empty()) << "a box tells why the folder is refused";
    EXPECT_FALSE(boxSeen) << "nothing more is asked";
    EXPECT_TRUE(after.downloadShown);
    EXPECT_FALSE(after.cancelShown);
    EXPECT_NE(after.background, kBusyRowColour);
    EXPECT_EQ(ConfigValue(L"game_101", L"path"), pathBefore);
    EXPECT_EQ(FileRequests(kXinghaiPackageSent), 0u);
}

INSTANTIATE_TEST_SUITE_P(Checks, MainWndTaskStops, testing::ValuesIn(kStopCases),
                         [](const testing::TestParamInfo<StopCase>& info) { return info.param.name; });

// A failed stage shows on its row (never "已安装") and in its box; the
// package is kept or deleted as the failure needs.
struct FailureCase
{
    const char* name;
    // A test game listed after the two demo games, or none (game 101).
    const char* testGameFields;
    const char* faultKind;  // on the package's path; null: none
    const char* isOverseas;
    const wchar_t* status;
    const wchar_t* boxText;  // null: no box
    bool deleteAnswer;       // the game's check box: "删除" or "暂不删除"
    bool packageStays;
    // A complete package of the listed size but other bytes lies in the
    // download folder: nothing is fetched and the check fails.
    bool damagedOnDisk = false;
    // A second start after the box: the kept package is checked and unpacked
    // again without a new transfer, and fails the same way.
    bool startsAgain = false;
};

class MainWndTaskFailures : public MainWndTasks, public testing::WithParamInterface<FailureCase>
{};

const FailureCase kFailureCases[] = {
    {"SizeProbeNotFound", nullptr, "404", "0", L"下载失败", L"文件大小获取失败！", false, false},
    {"TransferCut", nullptr, "truncate", "0", L"下载失败", L"下载出错！", false, true},
    {"TransferCutOverseas", nullptr, "truncate", "1", L"下载失败", L"下载失败，请从网盘下载", false, true},
    {"TransferCutUnknownSetting", nullptr, "truncate", "", L"下载失败", nullptr, false, true},
    {"WrongDigestDeleted", nullptr, nullptr, "0", L"校验失败", L"校验失败，是否删除错误的安装包？", true, false, true},
    {"WrongDigestKept", nullptr, nullptr, "0", L"校验失败", L"校验失败，是否删除错误的安装包？", false, true, true},
    {"WrongZipPassword", R"({"zip_pwd": "not-the-password"})", nullptr, "0", L"解压失败", L"解压失败，请检查磁盘空间！",
     false, true, false, true},
};

TEST_P(MainWndTaskFailures, ShowOnTheRowAndInABox)
{
    const FailureCase& c = GetParam();
    Json::Value user;
    user["mobile"] = "13800138000";
    user["is_overseas"] = c.isOverseas;
    PutUser(user);
    int index = 0;
    std::string packagePath = kXinghaiPackage;
    std::wstring packageName = L"xinghai_full.zip", section = L"game_101";
    if (c.testGameFields != nullptr) {
        Json::Value game;
        Json::Reader().parse(c.testGameFields, game);
        game["game_id"] = "9901";
        game["name"] = "测试游戏";
        const Json::Value listed = AddGame("1", game);
        index = 2;
        section = L"game_9901";
        const std::string url = listed["file_url"].asString();
        packageName = Utf8ToWide(url.substr(url.rfind('/') + 1));
        packagePath = url.substr(url.find("/files/"));
    }
    if (c.faultKind != nullptr) {
        Json::Value fault =
            std::string(c.faultKind) == "404" ? Fault(packagePath, "status") : Fault(packagePath, c.faultKind);
        if (std::string(c.faultKind) == "404")
            fault["status"] = 404;
        AddFault(fault);
    }
    const std::wstring download = folder.File(L"下载") + L"\\";
    const std::wstring install = folder.File(L"游戏") + L"\\";
    Propose(section, download, install);
    const POINT answer = c.deleteAnswer ? okBeside : SkinControlCentre(L"msgbox.xml", L"msgbox_cancel");

    std::wstring title, text;
    RowFace failed;
    bool boxCame = false;
    std::vector<Step> steps = {
        {[] { return true; }, [this] { OpenCategory(kXinghaiCategory); }},
        {[this, index] { return PageShown(index == 0 ? 2 : 3); },
         [&, index] {
             if (c.damagedOnDisk) {
                 const auto* record = reinterpret_cast<const GameInfo*>(Row(L"game_list", index)->GetTag());
                 CreateDirectoryW(download.c_str(), nullptr);
                 folder.WriteFile(L"下载\\" + packageName,
                                  std::string(static_cast<size_t>(_wtoi64(record->size.c_str())), '\0'));
             }
             ClickRowButton(L"game_list", index, RowChild::kDownload);
         }},
        ConfirmFolders(),
        {[this, index, &c] { return Status(L"game_list", index) == c.status; },
         [&, index] { failed = Face(L"game_list", index); }}};
    if (c.boxText != nullptr)
        steps.push_back(AnswerBox(&title, &text, c.status == std::wstring(L"校验失败") ? answer : okAlone));
    size_t transfers = 0;
    std::wstring secondText;
    RowFace secondFailure;
    if (c.startsAgain) {
        steps.push_back(After(500, [&, index] {
            transfers = Gets(packagePath);
            ClickRowButton(L"game_list", index, RowChild::kDownload);
        }));
        steps.push_back(ConfirmFolders());
        steps.push_back(AnswerBox(nullptr, &secondText, okAlone));
        steps.push_back({[] { return true; }, [&, index] { secondFailure = Face(L"game_list", index); }});
    }
    steps.push_back(After(1000, [&] { boxCame = VisibleWindow(L"CMsgBoxWnd") != nullptr; }));
    Play(steps);

    EXPECT_TRUE(failed.downloadShown);
    EXPECT_FALSE(failed.cancelShown);
    EXPECT_FALSE(failed.viewShown);
    if (c.boxText != nullptr) {
        EXPECT_EQ(text, c.boxText);
        EXPECT_EQ(title, failed.name);
    }
    EXPECT_FALSE(boxCame) << "one box at most";
    EXPECT_EQ(FileExists(download + packageName), c.packageStays);
    EXPECT_NE(ConfigValue(section, L"installed"), L"1");
    if (c.damagedOnDisk) {
        EXPECT_EQ(Gets(kXinghaiPackageSent), 0u) << "a complete package is only checked";
    }
    if (c.startsAgain) {
        EXPECT_EQ(transfers, 1u);
        EXPECT_EQ(Gets(packagePath), transfers) << "the kept package is unpacked again without a transfer";
        EXPECT_EQ(secondText, c.boxText);
        EXPECT_EQ(secondFailure.status, c.status);
    }
}

INSTANTIATE_TEST_SUITE_P(Results, MainWndTaskFailures, testing::ValuesIn(kFailureCases),
                         [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

// Game 102 is fetched through a link the service gives. A refused link shows
// the service's own text, then the client's; the row fails without a file
// request. An expired sign-in there also stops the tasks that run and asks for
// a new sign-in.
class MainWndTaskLinks : public MainWndTasks
{
public:
    static constexpr int kLinkedGame = 1;  // game 102, second on the page

    void SetUp() override
    {
        MainWndTasks::SetUp();
        Propose(L"game_101", folder.File(L"下载") + L"\\", folder.File(L"游戏") + L"\\");
        // Folders of its own: one that holds game 101's package would bring
        // the overwrite question first.
        Propose(L"game_102", folder.File(L"下载2") + L"\\", folder.File(L"游戏2") + L"\\");
    }
    static void RefuseLink(int code, const char* message)
    {
        Json::Value refused = Fault("/Box/Game/getEncryLink", "code");
        refused["code"] = code;
        refused["message"] = message;
        AddFault(refused);
    }
    Step OpenPageAndStart(int index)
    {
        return {[this] { return PageShown(2); },
                [this, index] { ClickRowButton(L"game_list", index, RowChild::kDownload); }};
    }
    // Answers each box that comes (boxes may stack) with its only button,
    // keeping title and text, until the condition holds.
    Step AnswerBoxesUntil(std::function<bool()> done, std::vector<std::wstring>* texts)
    {
        auto answered = std::make_shared<std::set<HWND>>();
        auto shown = std::make_shared<std::function<bool()>>(ShownAWhile(L"CMsgBoxWnd"));
        return {[=] {
                    if (done())
                        return true;
                    HWND box = VisibleWindow(L"CMsgBoxWnd");
                    if ((*shown)() && answered->insert(box).second) {
                        texts->push_back(MsgBoxText(box, L"msgbox_title") + L": " + MsgBoxText(box, L"msgbox_text"));
                        PostClick(box, okAlone);
                    }
                    return false;
                },
                [] {}};
    }
};

TEST_F(MainWndTaskLinks, ARefusedLinkShowsTheServicesTextAndFailsTheRow)
{
    RefuseLink(10007, "下载地址获取失败");
    std::vector<std::wstring> boxes;
    RowFace failed;
    bool boxLeft = true;
    Play({{[] { return true; }, [this] { OpenCategory(kXinghaiCategory); }},
          OpenPageAndStart(kLinkedGame),
          ConfirmFolders(),
          AnswerBoxesUntil([&] { return boxes.size() == 2 && Status(L"game_list", kLinkedGame) == L"下载失败"; },
                           &boxes),
          After(1000, [&] {
              failed = Face(L"game_list", kLinkedGame);
              boxLeft = VisibleWindow(L"CMsgBoxWnd") != nullptr;
          })});

    std::sort(boxes.begin(), boxes.end());
    EXPECT_EQ(boxes, (std::vector<std::wstring>{L"Calverin: 下载地址获取失败", L"Calverin: 加密链接解析失败。"}));
    EXPECT_FALSE(boxLeft) << "the row's failure adds no box of its own";
    EXPECT_TRUE(failed.downloadShown);
    EXPECT_FALSE(failed.cancelShown);
    EXPECT_EQ(Journal("/Box/Game/getEncryLink").size(), 1u);
    for (const Json::Value& entry : Journal(""))
        EXPECT_EQ(entry["path"].asString().rfind("/files/packages/", 0), std::string::npos) << entry["path"];
    EXPECT_NE(ConfigValue(L"game_102", L"installed"), L"1");
}

TEST_F(MainWndTaskLinks, AnExpiredSignInOnTheLinkStopsTheTasksAndSignsInAgain)
{
    Json::Value slow = Fault(kXinghaiPackage, "throttle");
    slow["rate"] = 1500;
    AddFault(slow);
    RefuseLink(10011, "登录已失效");
    std::vector<std::wstring> boxes;
    size_t tasksAtSignIn = 1;
    bool signInShown = false;
    Play({{[] { return true; }, [this] { OpenCategory(kXinghaiCategory); }},
          OpenPageAndStart(0),
          ConfirmFolders(),
          {[this] { return Status(L"game_list", 0).rfind(L"已下载", 0) == 0; },
           [this] { ClickRowButton(L"game_list", kLinkedGame, RowChild::kDownload); }},
          ConfirmFolders(),
          AnswerBoxesUntil(ShownAWhile(L"CLoginWnd"), &boxes),
          {[] { return true; },
           [&] {
               signInShown = true;
               tasksAtSignIn = g_sessionData.GetTaskCount();
               PostMessageW(VisibleWindow(L"CLoginWnd"), WM_SYSCOMMAND, SC_CLOSE, 0);
           }}});

    EXPECT_TRUE(signInShown);
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(tasksAtSignIn, 0u) << "the running download stops before the sign-in";
    EXPECT_TRUE(g_sessionData.GetToken().empty());
    EXPECT_NE(ConfigValue(L"game_101", L"installed"), L"1");
}

}  // namespace
