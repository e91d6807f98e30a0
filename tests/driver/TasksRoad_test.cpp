// The built client driven from outside through the tasks of a game page,
// signed in by a saved token for a user with no accelerator account: the
// binding window that the first download asks for, the folder window, a
// download slowed so that it shows its stages, a cancel that keeps the
// partial file, a second start that resumes it with a range request and no
// question, the unpacked game, then a plug-in installed, a failed check with
// its box and the page of applications. The rows' texts are not readable
// from outside: the service's journal, the disk, config.ini and the light
// text on screen tell what happened, and the marked steps show it.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "Driver.h"
#include "GamePageSteps.h"
#include "RefService.h"
#include "ScratchFolder.h"
#include "ServiceLists.h"
#include "mainwindow/ItemRows.h"
#include "services/FileUtil.h"
#include "services/TextConvert.h"

namespace {

// The demo user, with no accelerator account bound.
const char kToken[] = "5f0c2a9e7b1d4c38a6e2f9d1b0c7a345";
const char kUsername[] = "13800138000";
// The accelerator account the binding window binds.
const char kAccountMobile[] = "13700137000";
const char kGamesPath[] = "/Box/Game/getGames";
const char kSoftwaresPath[] = "/Box/Game/getSoftwares";
const char kSendCodePath[] = "/Box/User/sendCode";
const char kBindPath[] = "/Box/User/bindSpeed";
const char kXinghaiPackage[] = "/files/packages/xinghai_full.zip";
const wchar_t kXinghaiPackageName[] = L"xinghai_full.zip";
const wchar_t kXinghaiSection[] = L"game_101";
const wchar_t kPluginSection[] = L"plugin_1001";
// A test game listed after the two demo games of 星海征途, whose package
// never matches its digest.
const char kBadDigestGameId[] = "9901";
const wchar_t kBadDigestSection[] = L"game_9901";

// The package comes this many bytes a second: its 56 KB in about ten
// seconds, time enough to watch it and cancel it halfway.
constexpr int kSlowRate = 6000;
// The size probe waits this long: the row stays queued meanwhile.
constexpr int kProbeDelaySeconds = 4;
// A download that goes on writes within this time, even throttled.
constexpr DWORD kGrowthWindowMs = 4000;

class TasksRoad : public testing::Test
{
protected:
    void SetUp() override { RefService::Reset(); }

    // The page opened again from the tiles of every game.
    void ReopenXinghaiPage(HWND main, unsigned timesOpened)
    {
        driver.HoverControl(main, L"main.xml", L"small_nav_layout");
        driver.ClickControl(main, L"main.xml", L"all_game_btn_exp");
        steps.OpenXinghaiPage(main, timesOpened);
        // The mouse leaves the wide panel, which then closes.
        driver.HoverControl(main, L"main.xml", L"game_list");
    }

    // The accelerator chosen, the account's code asked for and typed, and
    // the binding done.
    void Bind(HWND binding)
    {
        driver.ClickControl(binding, L"bindjsq.xml", L"seljsq");
        HWND drop = driver.WaitForDialog(L"ComboWnd");
        RECT dropArea = {};
        GetClientRect(drop, &dropArea);
        // The first accelerator: the drop list's first item, below its border.
        driver.ClickAt(drop, POINT{dropArea.right / 2, 16});
        driver.WaitForWindowGone(drop, "the accelerator drop list");

        driver.ClickControl(binding, L"bindjsq.xml", L"phonenum");
        driver.Type(binding, Utf8ToWide(kAccountMobile));
        driver.ClickControl(binding, L"bindjsq.xml", L"getcheckcode");
        const Json::Value sent = driver.WaitForJournal(kSendCodePath);
        EXPECT_EQ(RefService::BodyValue(sent, "object"), kAccountMobile);
        EXPECT_EQ(RefService::BodyValue(sent, "type"), "2") << "a code for a binding";
        std::string code;
        WaitUntil(
            "the SMS code of " + std::string(kAccountMobile),
            [&code] { return !(code = RefService::SmsCode(kAccountMobile)).empty(); }, kWaitLimitMs);
        driver.ClickControl(binding, L"bindjsq.xml", L"checkcode");
        driver.Type(binding, Utf8ToWide(code));
        driver.MarkStep("binding", binding);

        driver.ClickControl(binding, L"bindjsq.xml", L"bind_btn");
        const Json::Value bound = driver.WaitForJournal(kBindPath);
        EXPECT_EQ(RefService::BodyValue(bound, "software_username"), kAccountMobile);
        EXPECT_EQ(RefService::BodyValue(bound, "software_id"), "1") << "the first accelerator listed";
        EXPECT_EQ(RefService::BodyValue(bound, "code"), code);
        driver.WaitForWindowGone(binding, "the binding window");
    }

    // The client, ended with the driver, goes before its folders and sections.
    OwnSections sections{{kXinghaiSection, kPluginSection, kBadDigestSection}};
    ScratchFolder folder;
    Driver driver;
    GamePageSteps steps{driver};
};

TEST_F(TasksRoad, BindDownloadCancelResumeInstallThenPluginFailedCheckAndApplications)
{
    Json::Value probeDelay = RefService::Fault(kXinghaiPackage, "slow");
    probeDelay["seconds"] = kProbeDelaySeconds;
    probeDelay["count"] = 1;
    RefService::AddFault(probeDelay);
    Json::Value slow = RefService::Fault(kXinghaiPackage, "throttle");
    slow["rate"] = kSlowRate;
    RefService::AddFault(slow);
    const std::wstring download = folder.File(L"下载") + L"\\";
    const std::wstring install = folder.File(L"游戏") + L"\\";
    const std::wstring package = download + kXinghaiPackageName;

    driver.StartClient(kToken, kUsername);
    HWND main = driver.WaitForMainWindow();
    ASSERT_NO_FATAL_FAILURE(steps.OpenXinghaiPage(main, 1));
    const ItemSpot xinghai = GamePageSteps::Row(RowKind::kGame, L"game_list", 0, 2);

    // 1. No account is bound: "下载" asks for one first.
    steps.ClickRowChild(main, RowKind::kGame, xinghai, RowChild::kDownload);
    Bind(driver.WaitForDialog(L"CBindUsrWnd"));

    // 2. The folder window proposes the first fixed drive; scratch folders
    // replace its proposal.
    HWND folders = driver.WaitForDialog(L"CSetPathWnd");
    driver.MarkStep("folders", folders);
    steps.ConfirmFolders(folders, download, install);
    WaitUntil(
        "the chosen folders in config.ini",
        [&] {
            return ConfigValue(kXinghaiSection, L"path") == download &&
                   ConfigValue(kXinghaiSection, L"install_path") == install;
        },
        kWaitLimitMs);

    // 3. Queued while the size probe waits, then downloading slowly.
    driver.WaitForJournal(kXinghaiPackage, 1);
    WaitUntil(
        "the queued row's status", [&] { return steps.StatusShown(main, RowKind::kGame, xinghai); }, kWaitLimitMs);
    driver.MarkStep("queued", main);
    WaitUntil(
        "the package's download", [] { return !Downloads(kXinghaiPackage).empty(); }, kWaitLimitMs);
    int64_t size = 0;
    WaitForFileSize(package, "the partial package", [&size](int64_t now) { return (size = now) > 0; });
    WaitForFileSize(package, "the partial package to grow", [size](int64_t now) { return now > size; });
    PumpFor(1500);
    EXPECT_TRUE(steps.StatusShown(main, RowKind::kGame, xinghai));
    driver.MarkStep("downloading", main);

    // 4. The cancel stops the download and keeps what came.
    steps.ClickRowChild(main, RowKind::kGame, xinghai, RowChild::kCancel);
    PumpFor(1000);
    const int64_t partial = GetLocalFileSize(package);
    PumpFor(kGrowthWindowMs);
    ASSERT_GT(partial, 0) << "the cancel keeps the partial file";
    ASSERT_LT(partial, std::stoll(ListInReply(driver.WaitForJournal(kGamesPath))[0]["size"].asString()))
        << "the cancel came before the end of the download";
    EXPECT_EQ(GetLocalFileSize(package), partial) << "nothing more is written after the cancel";
    EXPECT_FALSE(steps.StatusShown(main, RowKind::kGame, xinghai)) << "the row's status goes with the cancel";
    driver.MarkStep("cancelled", main);

    // 5. A second start: the account is bound and the folders are stored, the
    // folder holds only the partial package, and the download resumes.
    RefService::ClearFaults();
    steps.ClickRowChild(main, RowKind::kGame, xinghai, RowChild::kDownload);
    folders = driver.WaitForDialog(L"CSetPathWnd");
    EXPECT_EQ(FindWindowW(L"CBindUsrWnd", nullptr), nullptr) << "no binding window once an account is bound";
    driver.MarkStep("folders-stored", folders);
    driver.ClickControl(folders, L"selpath.xml", L"ok_btn");
    driver.WaitForWindowGone(folders, "the folder window");
    WaitUntil(
        "the second download", [] { return Downloads(kXinghaiPackage).size() >= 2; }, kWaitLimitMs);
    EXPECT_EQ(RefService::Header(Downloads(kXinghaiPackage).back(), "Range"), "bytes=" + std::to_string(partial) + "-");
    EXPECT_EQ(FindWindowW(L"CMsgBoxWnd", nullptr), nullptr) << "no overwrite question for the package alone";

    // 6. Checked, unpacked and marked installed.
    driver.WaitForFile(install + L"XingHai\\XingHai.exe", true, kInstallLimitMs);
    driver.WaitForFile(install + L"XingHai\\data\\地图\\星图.pak", true, kInstallLimitMs);
    WaitUntil(
        "\"installed\" in config.ini", [] { return ConfigValue(kXinghaiSection, L"installed") == L"1"; },
        kInstallLimitMs);
    WaitUntil(
        "the installed row's status", [&] { return steps.StatusShown(main, RowKind::kGame, xinghai); }, kWaitLimitMs);
    driver.MarkStep("installed", main);

    // 7. The page opened again still shows the game installed.
    ASSERT_NO_FATAL_FAILURE(ReopenXinghaiPage(main, 2));
    EXPECT_TRUE(steps.StatusShown(main, RowKind::kGame, xinghai));
    driver.MarkStep("reopened", main);

    // The plug-in: no folder proposed, both typed; installed into them.
    const std::wstring pluginDownload = folder.File(L"插件包") + L"\\";
    const std::wstring addOns = install + L"Interface\\AddOns\\";
    driver.ClickControl(main, L"main.xml", L"plugin_opt");
    const ItemSpot plugin = GamePageSteps::Row(RowKind::kPlugin, L"plugin_list", 0, 1);
    PumpFor(500);
    steps.ClickRowChild(main, RowKind::kPlugin, plugin, RowChild::kDownload);
    steps.ConfirmFolders(driver.WaitForDialog(L"CSetPathWnd"), pluginDownload, addOns);
    WaitUntil(
        "the plug-in's \"installed\" in config.ini", [] { return ConfigValue(kPluginSection, L"installed") == L"1"; },
        kInstallLimitMs);
    EXPECT_TRUE(FileExists(addOns + L"XingHaiHD\\高清材质.pak"));
    WaitUntil(
        "the installed plug-in row's status", [&] { return steps.StatusShown(main, RowKind::kPlugin, plugin); },
        kWaitLimitMs);
    driver.MarkStep("plugin-installed", main);

    // A game whose package fails its check: the row and the box say so, and
    // "删除" removes the package.
    Json::Value badDigest;
    badDigest["game_id"] = kBadDigestGameId;
    badDigest["name"] = "测试游戏";
    badDigest["file_md5"] = "00000000000000000000000000000000";
    const std::string badUrl = RefService::AddGame("1", badDigest)["file_url"].asString();
    const std::wstring badDownload = folder.File(L"测试下载") + L"\\";
    const std::wstring badPackage = badDownload + GetFileNamePart(Utf8ToWide(badUrl));
    ASSERT_NO_FATAL_FAILURE(ReopenXinghaiPage(main, 3));
    driver.ClickControl(main, L"main.xml", L"game_opt");
    const ItemSpot bad = GamePageSteps::Row(RowKind::kGame, L"game_list", 2, 3);
    steps.ClickRowChild(main, RowKind::kGame, bad, RowChild::kDownload);
    steps.ConfirmFolders(driver.WaitForDialog(L"CSetPathWnd"), badDownload, folder.File(L"测试游戏") + L"\\");
    HWND box = driver.WaitForDialog(L"CMsgBoxWnd", kInstallLimitMs);
    EXPECT_TRUE(FileExists(badPackage)) << "the package stays until the answer";
    driver.MarkStep("check-failed", box);
    driver.ClickControl(box, L"msgbox.xml", L"msgbox_ok");
    driver.WaitForWindowGone(box, "the check's box");
    WaitUntil(
        "the bad package deleted", [&] { return !FileExists(badPackage); }, kWaitLimitMs);
    EXPECT_NE(ConfigValue(kBadDigestSection, L"installed"), L"1");

    // Every application: the accelerators' page.
    driver.HoverControl(main, L"main.xml", L"small_nav_layout");
    driver.ClickControl(main, L"main.xml", L"all_apps_btn");
    EXPECT_EQ(ListInReply(driver.WaitForJournal(kSoftwaresPath)).size(), 3u);
    WaitUntilEnabled(main, "the applications page");
    driver.HoverControl(main, L"main.xml", L"jiasuqi_list");
    driver.MarkStep("applications", main);

    EXPECT_EQ(driver.CloseClient(main), 0u);
}

}  // namespace
