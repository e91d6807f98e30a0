// The item rows of the signed-in main window in the test's own process, with
// the demo user against the reference service: list replies, installed
// states over real folders, config.ini and the registry, the progress
// figures, cancelling from a row, a running task on a rebuilt row, and
// sign-out. Replies and progress arrive as calls queued on the real window,
// as the workers queue them.

#include "MainWndRowsFixture.h"
#include "MsgBoxProbe.h"
#include "RefService.h"

namespace {

class MainWndRowsTest : public MainWndRows
{
protected:
    static void SetUpTestSuite() { UseSkin(BuildTreePath(L"client\\skin\\client.zip")); }
};

TEST(RowSizeText, ByteCountsShowInTheirUnit)
{
    struct Case
    {
        const wchar_t* bytes;
        const wchar_t* text;
    } cases[] = {
        {L"1023", L"0KB"},
        {L"-5", L"0KB"},
        {L"-2147483648000", L"0KB"},
        {L"", L"0KB"},
        {L"abc", L"0KB"},
        {L"  2048", L"2KB"},
        {L"10485760", L"10240KB"},
        {L"11534336", L"11MB"},
        {L"2147483648", L"2048MB"},
        {L"2148532224", L"2.00GB"},
        {L"99999999999999999999", L"8589934592.00GB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(SizeTextOf(c.bytes), c.text);
    }
}

// Installed means: config.ini says so and the install folder holds
// something; the section is named by the id's number.
TEST_F(MainWndRowsTest, GameRowsShowTheirItemsAndWhatIsInstalled)
{
    ConfigSections config;
    const std::wstring full = folder.File(L"full");
    CreateDirectoryW(full.c_str(), nullptr);
    folder.WriteFile(L"full\\game.exe", "MZ");
    const std::wstring onlySub = folder.File(L"only-sub");
    CreateDirectoryW(onlySub.c_str(), nullptr);
    CreateDirectoryW((onlySub + L"\\empty").c_str(), nullptr);
    const std::wstring empty = folder.File(L"empty");
    CreateDirectoryW(empty.c_str(), nullptr);
    const std::wstring aFile = folder.WriteFile(L"a-file", "x");

    struct Case
    {
        const wchar_t* id;
        const wchar_t* installed;  // config.ini "installed"
        std::wstring installPath;
        bool shownInstalled;
    } cases[] = {
        {L"9701", L"1", full, true},
        {L"009702", L"1", onlySub, true},  // section "game_9702"
        {L"9703", L"1", empty, false},
        {L"9704", L"0", full, false},
        {L"9705", L"1", aFile, false},  // a path naming a file is empty
        {L"9706", L"1", folder.File(L"missing"), false},
        {L"9707", L"1", std::wstring(300, L'x'), false},
    };
    std::string list = "[";
    for (const Case& c : cases) {
        const std::wstring section = L"game_" + std::to_wstring(_wtoi(c.id));
        config.Set(section, L"installed", c.installed);
        config.Set(section, L"install_path", c.installPath);
        list += GameEntry(c.id, std::wstring(L"游戏") + c.id, "11534336") + ",";
    }
    list += "17, \"text\", null]";

    std::vector<RowFace> seen;
    std::vector<std::wstring> userData;
    bool builtRight = true;
    Play({{[] { return true; }, [&] { QueueGames(list); }},
          {[this] { return RowCount(L"game_list") == 7 && IconsIn(L"game_list"); },
           [&] {
               for (int i = 0; i < RowCount(L"game_list"); ++i) {
                   CControlUI* row = Row(L"game_list", i);
                   seen.push_back(FaceOf(row));
                   userData.push_back(row->GetUserData().GetData());
                   const auto* record = reinterpret_cast<const GameInfo*>(row->GetTag());
                   builtRight = builtRight && record != nullptr && record->game_id == cases[i].id &&
                                row->GetFixedWidth() == 840 && row->GetFixedHeight() == 64 &&
                                RowChildOf(row, RowChild::kDownload)->GetName() == L"game_download_btn" &&
                                RowChildOf(row, RowChild::kDownload)->GetText() == L"下载" &&
                                RowChildOf(row, RowChild::kView)->GetName() == L"game_unintall_btn" &&
                                RowChildOf(row, RowChild::kCancel)->GetName() == L"game_canceldownload_btn" &&
                                RowChildOf(row, RowChild::kDetail)->GetToolTip() == (record->name + L" 说明").c_str();
               }
           }}});
    ASSERT_EQ(seen.size(), std::size(cases));
    EXPECT_TRUE(builtRight);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].id);
        EXPECT_EQ(userData[i], cases[i].id);
        EXPECT_EQ(seen[i].size, L"11MB");
        EXPECT_EQ(seen[i].statusShown, cases[i].shownInstalled);
        EXPECT_EQ(seen[i].status, cases[i].shownInstalled ? L"已安装" : L"");
        EXPECT_EQ(seen[i].downloadShown, !cases[i].shownInstalled);
        EXPECT_EQ(seen[i].viewShown, cases[i].shownInstalled);
        EXPECT_FALSE(seen[i].cancelShown || seen[i].barShown || seen[i].speedShown);
    }
}

// An unreadable reply keeps the rows with a box; "[]" empties the list; a
// second reply while the first one's icons load is dropped, but its plug-in
// request still goes out.
TEST_F(MainWndRowsTest, GameListRepliesReplaceDropOrKeepTheRows)
{
    int boxes = 0;
    int rowsAfterBadReply = -1, rowsAfterEmptyReply = -1, rowsAfterTwoReplies = -1;
    std::wstring firstName;
    size_t pluginRequests = 0;
    Play({{[] { return true; }, [&] { QueueGames("[" + GameEntry(L"9711", L"甲") + "]"); }},
          {[this] { return RowCount(L"game_list") == 1 && IconsIn(L"game_list"); }, [&] { QueueGames("{not json"); }},
          // The box's own loop runs the answer.
          {[] { return VisibleWindow(L"CMsgBoxWnd") != nullptr; },
           [&] {
               ++boxes;
               rowsAfterBadReply = RowCount(L"game_list");
               PostClick(VisibleWindow(L"CMsgBoxWnd"), okAlone);
           }},
          After(500, [&] { QueueGames("[]"); }),
          After(1000,
                [&] {
                    rowsAfterEmptyReply = RowCount(L"game_list");
                    pluginRequests = RefService::Journal("/Box/Game/getGamesPlugins").size();
                    QueueGames("[" + GameEntry(L"9712", L"乙") + "," + GameEntry(L"9713", L"丙") + "]");
                    QueueGames("[" + GameEntry(L"9714", L"丁") + "]");
                }),
          {[this] { return RowCount(L"game_list") == 2 && IconsIn(L"game_list"); },
           [&] {
               rowsAfterTwoReplies = RowCount(L"game_list");
               firstName = RowChildOf(Row(L"game_list", 0), RowChild::kName)->GetText().GetData();
           }},
          After(1000,
                [&] { pluginRequests = RefService::Journal("/Box/Game/getGamesPlugins").size() - pluginRequests; })});
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(rowsAfterBadReply, 1);
    EXPECT_EQ(rowsAfterEmptyReply, 0);
    EXPECT_EQ(rowsAfterTwoReplies, 2);
    EXPECT_EQ(firstName, L"乙");
    EXPECT_EQ(pluginRequests, 2u);
}

// A plug-in or accelerator list that does not read is a box, after which the
// client ends on its own: the window's loop returns with nobody closing it.
struct UnreadableListCase
{
    const char* name;
    bool plugins;
    const wchar_t* text;
};

class MainWndUnreadableList : public MainWndRowsTest, public testing::WithParamInterface<UnreadableListCase>
{};

TEST_P(MainWndUnreadableList, ShowsItsBoxAndEndsTheClient)
{
    const UnreadableListCase& c = GetParam();
    std::wstring title, text;
    bool stillOpen = false;
    auto close = [this] { mainWnd.Close(0); };
    RunFromTheLoopWhen([this] { return RowCount(L"jiasuqi_list") == 3 && IconsIn(L"jiasuqi_list"); },
                       [&] {
                           if (c.plugins)
                               QueuePlugins("{not json");
                           else
                               QueueJiasuqis("{not json");
                           RunFromTheLoopWhen(
                               [] {
                                   HWND box = VisibleWindow(L"CMsgBoxWnd");
                                   return box != nullptr && !MsgBoxText(box, L"msgbox_text").empty();
                               },
                               [&] {
                                   HWND box = VisibleWindow(L"CMsgBoxWnd");
                                   title = MsgBoxText(box, L"msgbox_title");
                                   text = MsgBoxText(box, L"msgbox_text");
                                   PostClick(box, okAlone);
                                   // Only when the client stays up after the box.
                                   RunFromTheLoopIn(10000, [&] {
                                       stillOpen = true;
                                       mainWnd.Close(0);
                                   });
                               },
                               close);
                       },
                       close, 20000);
    EXPECT_EQ(mainWnd.ShowModal(), 0);
    DropPendingLoopAction();
    EXPECT_EQ(title, L"数据错误");
    EXPECT_EQ(text, c.text);
    EXPECT_FALSE(stillOpen);
}

const UnreadableListCase kUnreadableLists[] = {
    {"PluginList", true, L"插件列表解析异常！"},
    {"AcceleratorList", false, L"加速器列表解析异常！"},
};
INSTANTIATE_TEST_SUITE_P(ItemLists, MainWndUnreadableList, testing::ValuesIn(kUnreadableLists),
                         [](const testing::TestParamInfo<UnreadableListCase>& info) { return info.param.name; });

// Plug-in rows by config.ini, accelerator rows by the uninstall entry of
// their type in the registry.
TEST_F(MainWndRowsTest, PluginAndAcceleratorRowsShowWhatIsInstalled)
{
    ConfigSections config;
    const std::wstring full = folder.File(L"plugin");
    CreateDirectoryW(full.c_str(), nullptr);
    folder.WriteFile(L"plugin\\addon.lua", "--");
    config.Set(L"plugin_9721", L"installed", L"1");
    config.Set(L"plugin_9721", L"path", full);
    const std::wstring tamsk = folder.File(L"tamsk");
    CreateDirectoryW(tamsk.c_str(), nullptr);
    folder.WriteFile(L"tamsk\\uninst.exe", "MZ");
    const std::wstring key = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\tamsk";
    const std::string uninstaller = WideToUtf8(tamsk + L"\\uninst.exe");
    ASSERT_TRUE(WriteRegValue(HKEY_LOCAL_MACHINE, WideToUtf8(key).c_str(), "UninstallString", REG_SZ, uninstaller,
                              static_cast<DWORD>(uninstaller.size())));

    std::vector<RowFace> plugins, accelerators;
    std::vector<std::wstring> pluginButtons;
    bool acceleratorRowsRight = true;
    Play({{[] { return true; },
           [&] {
               QueuePlugins("[" + PluginEntry(L"9721", L"插件甲") + "," + PluginEntry(L"9722", L"插件乙") + "]");
               QueueJiasuqis("[{\"software_id\":\"3\",\"type\":3,\"name\":\"Tamsk加速器\",\"size\":\"1048576\"},"
                             "{\"software_id\":\"3\",\"type\":\" 3\",\"name\":\"同一程序\"},"
                             "{\"software_id\":\"4\",\"name\":\"无类型\"},"
                             "{\"software_id\":\"1\",\"type\":1,\"name\":\"Ostrel加速器\"}]");
           }},
          {[this] {
               return RowCount(L"plugin_list") == 2 && IconsIn(L"plugin_list") && RowCount(L"jiasuqi_list") == 4 &&
                      IconsIn(L"jiasuqi_list");
           },
           [&] {
               for (int i = 0; i < 2; ++i) {
                   plugins.push_back(FaceOf(Row(L"plugin_list", i)));
                   pluginButtons.push_back(
                       RowChildOf(Row(L"plugin_list", i), RowChild::kDownload)->GetText().GetData());
               }
               for (int i = 0; i < 4; ++i) {
                   CControlUI* row = Row(L"jiasuqi_list", i);
                   accelerators.push_back(FaceOf(row));
                   acceleratorRowsRight = acceleratorRowsRight && row->GetFixedWidth() == 1040 &&
                                          row->GetUserData().IsEmpty() &&
                                          RowChildOf(row, RowChild::kView)->GetText() == L"卸载";
               }
           }}});
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
    ASSERT_EQ(plugins.size(), 2u);
    EXPECT_TRUE(plugins[0].statusShown && plugins[0].viewShown && !plugins[0].downloadShown);
    EXPECT_TRUE(!plugins[1].statusShown && !plugins[1].viewShown && plugins[1].downloadShown);
    EXPECT_EQ(pluginButtons, (std::vector<std::wstring>{L"安装", L"安装"}));
    ASSERT_EQ(accelerators.size(), 4u);
    EXPECT_TRUE(acceleratorRowsRight);
    const bool installed[] = {true, true, false, false};
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(accelerators[i].status, installed[i] ? L"已安装" : L"");
        EXPECT_EQ(accelerators[i].viewShown, installed[i]);
        EXPECT_EQ(accelerators[i].downloadShown, !installed[i]);
    }
    EXPECT_EQ(accelerators[0].size, L"1024KB");
}

// The accelerator list of a first sign-in offers the binding window, and only
// when the list names programs to bind.
struct OfferCase
{
    const char* name;
    const char* list;
    UINT_PTR firstSignIn;
    bool offered;
};

class MainWndBindingOffer : public MainWndRowsTest, public testing::WithParamInterface<OfferCase>
{};

TEST_P(MainWndBindingOffer, OpensOnlyForAFirstSignInWithPrograms)
{
    const OfferCase& c = GetParam();
    const POINT bindClose = SkinControlCentre(L"bindjsq.xml", L"close_btn");
    bool offered = false;
    std::vector<Step> steps = {{[] { return true; }, [&] { QueueJiasuqis(c.list, c.firstSignIn); }},
                               After(1500, [&] { offered = VisibleWindow(L"CBindUsrWnd") != nullptr; })};
    if (c.offered) {
        steps.push_back(After(300, [&] { PostClick(VisibleWindow(L"CBindUsrWnd"), bindClose); }));
        steps.push_back({[] { return FindWindowW(L"CBindUsrWnd", nullptr) == nullptr; }, [] {}});
    }
    Play(steps);
    EXPECT_EQ(offered, c.offered);
}

constexpr char kOneProgram[] = R"([{"software_id":"1","type":1,"name":"Ostrel加速器"}])";
const OfferCase kOfferCases[] = {
    {"FirstSignInWithPrograms", kOneProgram, 1, true},
    {"LaterSignIn", kOneProgram, 0, false},
    {"FirstSignInEmptyList", "[]", 1, false},
};
INSTANTIATE_TEST_SUITE_P(AcceleratorLists, MainWndBindingOffer, testing::ValuesIn(kOfferCases),
                         [](const testing::TestParamInfo<OfferCase>& info) { return info.param.name; });

// The figures of queued progress calls, as the row shows them.
TEST_F(MainWndRowsTest, ProgressCallsShowSpeedSizesStageAndBand)
{
    const uint64_t gb = 1024ull * 1024 * 1024;
    struct Case
    {
        const char* what;
        CMainWnd::Handler handler;
        uint64_t done, total;
        UINT_PTR speed;
        const wchar_t *speedText, *sizeText, *status;
        int bar;
    } cases[] = {
        {"a third downloaded", &CMainWnd::OnGameDownloadProgress, gb, 3 * gb, 2048, L"2048 KB/S", L"1024MB/3.00GB",
         L"已下载33.3%", 280},
        {"faster than 2 MB/s", &CMainWnd::OnGameDownloadProgress, gb, 3 * gb, 2049, L"2.00 M/S", L"1024MB/3.00GB",
         L"已下载33.3%", 280},
        {"checking", &CMainWnd::OnGameVerifyProgress, 3 * gb, 4 * gb, 0, L"0 KB/S", L"3.00GB/4.00GB", L"校验中75.0%",
         630},
        {"unpacking", &CMainWnd::OnGameUnzipProgress, 5 * 1024, 10 * 1024, 12, L"12 KB/S", L"5KB/10KB", L"解压中50.0%",
         420},
        {"a total of 0", &CMainWnd::OnGameVerifyProgress, 4096, 0, 1, L"1 KB/S", L"4KB/0KB", L"校验中0.0%", 0},
        {"bytes past the total", &CMainWnd::OnGameUnzipProgress, 3 * gb, gb, 1, L"1 KB/S", L"3.00GB/1024MB",
         L"解压中100.0%", 840},
    };
    GameInfo record;
    record.game_id = L"9731";
    GameInfo other;
    other.game_id = L"9732";
    TaskProgress progress, second;
    progress.item = &record;
    progress.thread_id = 4242;
    progress.run_flag = 1;
    second.item = &other;
    second.thread_id = 4343;
    second.run_flag = 1;
    second.done = 1024;
    second.total = 4096;

    std::vector<RowFace> seen;
    RowFace otherRow, before;
    std::vector<Step> steps = {
        {[] { return true; },
         [&] { QueueGames("[" + GameEntry(L"9731", L"甲", "3221225472") + "," + GameEntry(L"9732", L"乙") + "]"); }},
        {[this] { return RowCount(L"game_list") == 2 && IconsIn(L"game_list"); },
         [&] { before = FaceOf(Row(L"game_list", 0)); }}};
    for (const Case& c : cases) {
        steps.push_back({[] { return true; },
                         [&, c] {
                             progress.done = c.done;
                             progress.total = c.total;
                             QueueProgress(c.handler, progress, c.speed);
                             QueueProgress(&CMainWnd::OnGameDownloadProgress, second, 100);
                         }});
        steps.push_back(After(100, [&] {
            seen.push_back(FaceOf(Row(L"game_list", 0)));
            otherRow = FaceOf(Row(L"game_list", 1));
        }));
    }
    Play(std::move(steps));
    ASSERT_EQ(seen.size(), std::size(cases));
    EXPECT_EQ(before.size, L"3.00GB");
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].what);
        EXPECT_EQ(seen[i].speed, cases[i].speedText);
        EXPECT_EQ(seen[i].size, cases[i].sizeText);
        EXPECT_EQ(seen[i].status, cases[i].status);
        EXPECT_EQ(seen[i].barWidth, cases[i].bar);
        EXPECT_TRUE(seen[i].speedShown && seen[i].statusShown && seen[i].barShown && seen[i].cancelShown);
        EXPECT_FALSE(seen[i].downloadShown || seen[i].viewShown);
        EXPECT_EQ(seen[i].background, kBusyRowColour);
        EXPECT_EQ(seen[i].cancelTag, 4242u);
    }
    // The other download runs beside it.
    EXPECT_EQ(otherRow.status, L"已下载25.0%");
    EXPECT_EQ(otherRow.cancelTag, 4343u);
}

// A cancel stops only its own item's task, also when its button keeps the
// thread id of an ended task that another item's task now has; nothing the
// task queued before changes the row afterwards; a row that shows no task
// stays as it is.
TEST_F(MainWndRowsTest, CancelStopsOnlyItsOwnItemsTask)
{
    StandInTask first(TaskItem{1, L"9741"});
    StandInTask second(TaskItem{1, L"9742"});
    GameInfo firstRecord;
    firstRecord.game_id = L"9741";
    TaskProgress lateProgress;
    lateProgress.item = &firstRecord;
    lateProgress.thread_id = first.ThreadId();
    lateProgress.run_flag = 1;
    TaskProgress secondProgress;
    GameInfo secondRecord;
    secondRecord.game_id = L"9742";
    secondProgress.item = &secondRecord;
    secondProgress.thread_id = second.ThreadId();
    secondProgress.run_flag = 1;
    secondProgress.total = 100;

    ConfigSections config;
    const std::wstring full = folder.File(L"installed");
    CreateDirectoryW(full.c_str(), nullptr);
    folder.WriteFile(L"installed\\game.exe", "MZ");
    config.Set(L"game_9743", L"installed", L"1");
    config.Set(L"game_9743", L"install_path", full);

    bool secondRanAfterStaleCancel = false, firstRanAfterCancel = true, secondRanAfterItsCancel = true;
    RowFace staleCancelled, cancelled, afterLatePost, installedAfter, idleAfter, installedBefore, idleBefore;
    auto clickCancel = [this](int index) {
        CControlUI* cancel = RowChildOf(Row(L"game_list", index), RowChild::kCancel);
        const RECT& at = cancel->GetPos();
        PostClick(mainWnd.GetWindowHandle(), {(at.left + at.right) / 2, (at.top + at.bottom) / 2});
    };
    Play({{[] { return true; },
           [&] {
               static_cast<CTabLayoutUI*>(mainWnd.FindControl(L"maintable"))->SelectItem(0);
               QueueGames("[" + GameEntry(L"9741", L"甲", "2048") + "," + GameEntry(L"9742", L"乙") + "," +
                          GameEntry(L"9743", L"丙") + "," + GameEntry(L"9744", L"丁") + "]");
           }},
          {[this] { return RowCount(L"game_list") == 4 && IconsIn(L"game_list"); },
           [&] {
               installedBefore = FaceOf(Row(L"game_list", 2));
               idleBefore = FaceOf(Row(L"game_list", 3));
               // The first row's button still names the second row's thread.
               lateProgress.thread_id = second.ThreadId();
               QueueProgress(&CMainWnd::OnGameDownloadProgress, lateProgress, 10);
               lateProgress.thread_id = first.ThreadId();
           }},
          After(300, [&] { clickCancel(0); }),
          After(300,
                [&] {
                    staleCancelled = FaceOf(Row(L"game_list", 0));
                    secondRanAfterStaleCancel = second.IsRunning();
                    // A new start of the first item, now with its own thread.
                    mainWnd.ForgetCancelledTask(TaskItem{1, L"9741"});
                    QueueProgress(&CMainWnd::OnGameDownloadProgress, lateProgress, 10);
                }),
          After(300,
                [&] {
                    // The click, and a progress call its task queued just before.
                    clickCancel(0);
                    QueueProgress(&CMainWnd::OnGameDownloadProgress, lateProgress, 10);
                }),
          After(300,
                [&] {
                    firstRanAfterCancel = first.IsRunning();
                    afterLatePost = FaceOf(Row(L"game_list", 0));
                    QueueProgress(&CMainWnd::OnGameDownloadProgress, secondProgress, 10);
                }),
          After(300, [&] {
              // Every row is cancelled: only the one that shows a task
              // changes.
              for (int i = 1; i < 4; ++i)
                  mainWnd.OnGameCancelClick(RowChildOf(Row(L"game_list", i), RowChild::kCancel));
              secondRanAfterItsCancel = second.IsRunning();
              installedAfter = FaceOf(Row(L"game_list", 2));
              idleAfter = FaceOf(Row(L"game_list", 3));
          })});
    EXPECT_TRUE(secondRanAfterStaleCancel);
    EXPECT_EQ(staleCancelled.status, L"已取消");
    EXPECT_FALSE(staleCancelled.statusShown || staleCancelled.cancelShown || staleCancelled.barShown);
    EXPECT_TRUE(staleCancelled.downloadShown);
    EXPECT_EQ(staleCancelled.size, L"2KB");
    EXPECT_EQ(staleCancelled.background, 0u);
    EXPECT_FALSE(firstRanAfterCancel);
    EXPECT_EQ(afterLatePost.status, L"已取消");
    EXPECT_FALSE(afterLatePost.cancelShown);
    EXPECT_FALSE(secondRanAfterItsCancel);
    EXPECT_EQ(installedAfter.status, installedBefore.status);
    EXPECT_TRUE(installedAfter.viewShown && installedAfter.statusShown && !installedAfter.downloadShown);
    EXPECT_EQ(idleAfter.status, idleBefore.status);
    EXPECT_EQ(idleAfter.downloadShown, idleBefore.downloadShown);
}

// Another game page and back: the item's running task shows on the new row
// with its last figures, and the new row's cancel stops it.
TEST_F(MainWndRowsTest, ARebuiltRowShowsItsRunningTaskWithAWorkingCancel)
{
    StandInTask task(TaskItem{1, L"9751"});
    GameInfo record;
    record.game_id = L"9751";
    TaskProgress progress;
    progress.item = &record;
    progress.thread_id = task.ThreadId();
    progress.run_flag = 1;
    progress.done = 512;
    progress.total = 1024;
    const std::string page = "[" + GameEntry(L"9750", L"甲") + "," + GameEntry(L"9751", L"乙") + "]";

    RowFace rebuilt, cancelled;
    bool runningAfterCancel = true;
    Play({{[] { return true; }, [&] { QueueGames(page); }},
          {[this] { return RowCount(L"game_list") == 2 && IconsIn(L"game_list"); },
           [&] { QueueProgress(&CMainWnd::OnGameDownloadProgress, progress, 64); }},
          After(200, [&] { QueueGames("[" + GameEntry(L"9760", L"别的游戏") + "]"); }),
          {[this] { return RowCount(L"game_list") == 1 && IconsIn(L"game_list"); }, [&] { QueueGames(page); }},
          {[this] { return RowCount(L"game_list") == 2 && IconsIn(L"game_list"); },
           [&] {
               rebuilt = FaceOf(Row(L"game_list", 1));
               mainWnd.OnGameCancelClick(RowChildOf(Row(L"game_list", 1), RowChild::kCancel));
               runningAfterCancel = task.IsRunning();
               cancelled = FaceOf(Row(L"game_list", 1));
           }}});
    EXPECT_EQ(rebuilt.status, L"已下载50.0%");
    EXPECT_EQ(rebuilt.speed, L"64 KB/S");
    EXPECT_TRUE(rebuilt.cancelShown);
    EXPECT_EQ(rebuilt.cancelTag, task.ThreadId());
    EXPECT_FALSE(runningAfterCancel);
    EXPECT_EQ(cancelled.status, L"已取消");
}

// Sign-out stops the running task and cancels its row; installed and idle
// rows stay as they were.
TEST_F(MainWndRowsTest, SignOutCancelsOnlyRowsThatShowATask)
{
    StandInTask task(TaskItem{3, L"1"});
    ConfigSections config;
    const std::wstring full = folder.File(L"installed");
    CreateDirectoryW(full.c_str(), nullptr);
    folder.WriteFile(L"installed\\game.exe", "MZ");
    config.Set(L"game_9771", L"installed", L"1");
    config.Set(L"game_9771", L"install_path", full);
    TaskProgress progress;
    bool running = true;
    RowFace installed, idle, accelerator;
    Play({{[] { return true; },
           [&] { QueueGames("[" + GameEntry(L"9771", L"已装") + "," + GameEntry(L"9772", L"未装") + "]"); }},
          {[this] { return RowCount(L"game_list") == 2 && IconsIn(L"game_list"); },
           [&] {
               progress.item = reinterpret_cast<void*>(Row(L"jiasuqi_list", 0)->GetTag());
               progress.kind = 3;
               progress.thread_id = task.ThreadId();
               progress.run_flag = 1;
               progress.total = 10;
               QueueProgress(&CMainWnd::OnJiasuqiDownloadProgress, progress, 1);
           }},
          After(300, [&] {
              // The question first, then the sign-in window; each answered
              // from the loop that shows it.
              RunFromTheLoopWhen([] { return VisibleWindow(L"CMsgBoxWnd") != nullptr; },
                                 [&] {
                                     PostClick(VisibleWindow(L"CMsgBoxWnd"), okBeside);
                                     RunFromTheLoopWhen([] { return VisibleWindow(L"CLoginWnd") != nullptr; },
                                                        [&] {
                                                            running = task.IsRunning();
                                                            installed = FaceOf(Row(L"game_list", 0));
                                                            idle = FaceOf(Row(L"game_list", 1));
                                                            accelerator = FaceOf(Row(L"jiasuqi_list", 0));
                                                            PostMessageW(VisibleWindow(L"CLoginWnd"), WM_SYSCOMMAND,
                                                                         SC_CLOSE, 0);
                                                        },
                                                        [] {});
                                 },
                                 [] {});
              mainWnd.Logout();
          })});
    EXPECT_FALSE(running);
    EXPECT_TRUE(installed.statusShown && installed.viewShown && !installed.downloadShown);
    EXPECT_EQ(installed.status, L"已安装");
    EXPECT_TRUE(idle.downloadShown && !idle.statusShown && !idle.viewShown);
    EXPECT_EQ(accelerator.status, L"已取消");
    EXPECT_TRUE(accelerator.downloadShown && !accelerator.cancelShown);
}

}  // namespace
