// The signed-in main window in the test's own process, against the reference
// service: sign-out and exit while a stand-in download runs, the session
// that the service drops (twice at once, or through a download address), and
// the list failure boxes as their workers queue them, and the codes of an
// expired session on the catalogue requests; the start-up steps whose
// workers cannot start.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "MsgBoxProbe.h"
#include "RefService.h"
#include "ScratchFolder.h"
#include "SkinPlaces.h"
#include "StandInTask.h"
#include "TestPaths.h"
#include "ThreadTimerAction.h"
#include "dialogs/LoginWnd.h"
#include "mainwindow/MainWnd.h"
#include "services/AppFolder.h"
#include "services/CatalogueWorkers.h"
#include "services/RegistryUtil.h"
#include "services/RequestProtocol.h"
#include "services/StartupWorkers.h"
#include "services/TextConvert.h"

namespace {

const char kDemoToken[] = "5f0c2a9e7b1d4c38a6e2f9d1b0c7a345";

std::wstring Setting(LPCWSTR name)
{
    std::wstring text;
    ReadRegValue(HKEY_CURRENT_USER, L"Software\\calverin", name, REG_SZ, text);
    return text;
}

void PutSetting(const char* name, const std::string& value)
{
    WriteRegValue(HKEY_CURRENT_USER, "Software\\calverin", name, REG_SZ, value, static_cast<DWORD>(value.size()));
}

HWND VisibleWindow(LPCWSTR className)
{
    HWND w = FindWindowW(className, nullptr);
    return w != nullptr && IsWindowVisible(w) ? w : nullptr;
}

// The box on top once it has laid itself out and shows its text.
HWND BoxWithText()
{
    HWND box = VisibleWindow(L"CMsgBoxWnd");
    return box != nullptr && !MsgBoxText(box, L"msgbox_text").empty() ? box : nullptr;
}

int WindowsOfClass(LPCWSTR className)
{
    int count = 0;
    for (HWND w = FindWindowExW(nullptr, nullptr, className, nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, className, nullptr))
        ++count;
    return count;
}

class MainWndSession : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        archive = ScratchFolder::ReadFile(BuildTreePath(L"client\\skin\\client.zip"));
        CalUI::CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
        CalUI::CWindowManagerUI::SetResourceZip(archive.data(), static_cast<unsigned>(archive.size()), nullptr);
        okAlone = SkinControlCentre(L"msgbox.xml", L"msgbox_ok", {L"msgbox_cancel"});
        okBeside = SkinControlCentre(L"msgbox.xml", L"msgbox_ok");
        cancel = SkinControlCentre(L"msgbox.xml", L"msgbox_cancel");
    }

    // The window signs in with the demo user's saved token as the client
    // does at start-up.
    void SetUp() override
    {
        RefService::Reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\calverin");
        PutSetting("token", kDemoToken);
        PutSetting("username", "13800138000");
        g_appFolder = folder.File(L"");
        ASSERT_NE(mainWnd.Create(nullptr, L"Calverin", 0x96CF0000, 0, 0, 0, 0, 0, nullptr), nullptr);
        mainWnd.CenterWindow();
    }

    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\calverin"); }

    // Runs `action` from the main loop once the sign-in has started the
    // catalogue requests.
    void WhenSignedIn(std::function<void()> action)
    {
        RunFromTheLoopWhen([] { return RefService::Journal("/Box/Game/getSoftwares").size() == 1; }, action,
                           [this] { mainWnd.Close(0); }, 20000);
    }

    // Clicks `at` in the box on top once it shows, then runs `then`.
    void AnswerBox(POINT at, std::function<void()> then)
    {
        RunFromTheLoopWhen([] { return VisibleWindow(L"CMsgBoxWnd") != nullptr; },
                           [at, then] {
                               PostClick(VisibleWindow(L"CMsgBoxWnd"), at);
                               RunFromTheLoopIn(300, then);
                           },
                           [this] { mainWnd.Close(0); });
    }

    struct SeenBox
    {
        std::wstring title, text;
    };
    // Runs the window from its start with the workers refused, answering each
    // box with its button, until `boxes` have come and gone; then closes it
    // unless it ended by then (closedByTheTest). Gives the boxes in turn.
    std::vector<SeenBox> RunRefusing(std::vector<CWindowMultiThreadManager::ThreadProc> refused, size_t boxes)
    {
        CWindowMultiThreadManager::RefuseStartsOf(std::move(refused));
        std::vector<SeenBox> seen;
        std::function<void()> answer = [&] {
            RunFromTheLoopWhen([] { return BoxWithText() != nullptr; },
                               [&] {
                                   HWND box = BoxWithText();
                                   seen.push_back({MsgBoxText(box, L"msgbox_title"), MsgBoxText(box, L"msgbox_text")});
                                   PostClick(box, okAlone);
                                   RunFromTheLoopWhen([box] { return !IsWindow(box); },
                                                      [&] {
                                                          if (seen.size() < boxes)
                                                              answer();
                                                          else
                                                              RunFromTheLoopIn(800, [this] {
                                                                  closedByTheTest = true;
                                                                  mainWnd.Close(0);
                                                              });
                                                      },
                                                      [this] { mainWnd.Close(0); });
                               },
                               [this] { mainWnd.Close(0); });
        };
        answer();
        EXPECT_EQ(mainWnd.ShowModal(), 0);
        DropPendingLoopAction();
        CWindowMultiThreadManager::RefuseStartsOf({});
        return seen;
    }

    bool closedByTheTest = false;
    static std::string archive;
    static POINT okAlone, okBeside, cancel;
    ScratchFolder folder;
    CMainWnd mainWnd;
};

std::string MainWndSession::archive;
POINT MainWndSession::okAlone, MainWndSession::okBeside, MainWndSession::cancel;

// Declined, sign-out and exit leave the download running; confirmed, they
// stop it before the sign-in window comes or the client ends.
TEST_F(MainWndSession, SignOutAndExitAskFirstWhileADownloadRuns)
{
    struct Case
    {
        const char* what;
        bool exit;  // the tray's exit, else sign-out
        bool confirm;
    } cases[] = {
        {"sign-out declined", false, false},
        {"exit declined", true, false},
        {"sign-out confirmed", false, true},
    };
    StandInTask task;
    struct Seen
    {
        bool running = false, loginShown = false;
        std::wstring token;
    } seen[3];
    std::function<void(size_t)> play = [&](size_t i) {
        if (i == std::size(cases)) {
            PostMessageW(VisibleWindow(L"CLoginWnd"), WM_SYSCOMMAND, SC_CLOSE, 0);
            return;
        }
        // The answer is pending before the question: the box's own loop runs it.
        AnswerBox(cases[i].confirm ? okBeside : cancel, [&, i] {
            RunFromTheLoopIn(700, [&, i] {
                seen[i] = {task.IsRunning(), VisibleWindow(L"CLoginWnd") != nullptr, Setting(L"token")};
                play(i + 1);
            });
        });
        if (cases[i].exit)
            mainWnd.PostMsg(mainWnd.GetWindowHandle(), &CMainWnd::ExitApp, 0, 0);
        else
            mainWnd.Logout();
    };
    WhenSignedIn([&] { play(0); });
    EXPECT_EQ(mainWnd.ShowModal(), 0);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].what);
        EXPECT_EQ(seen[i].running, !cases[i].confirm);
        EXPECT_EQ(seen[i].loginShown, cases[i].confirm);
        EXPECT_EQ(seen[i].token, cases[i].confirm ? L"" : L"5f0c2a9e7b1d4c38a6e2f9d1b0c7a345");
    }
}

TEST_F(MainWndSession, TwoExpiredReportsBringOneSignInWindowWithoutAQuestion)
{
    StandInTask task;
    int logins = 0, boxes = -1;
    bool running = true;
    WhenSignedIn([&] {
        mainWnd.PostMsg(mainWnd.GetWindowHandle(), &CMainWnd::OnSessionExpired, 0, 0);
        mainWnd.PostMsg(mainWnd.GetWindowHandle(), &CMainWnd::OnSessionExpired, 0, 0);
        RunFromTheLoopWhen([] { return VisibleWindow(L"CLoginWnd") != nullptr; },
                           [&] {
                               RunFromTheLoopIn(500, [&] {
                                   logins = WindowsOfClass(L"CLoginWnd");
                                   boxes = WindowsOfClass(L"CMsgBoxWnd");
                                   running = task.IsRunning();
                                   PostMessageW(VisibleWindow(L"CLoginWnd"), WM_SYSCOMMAND, SC_CLOSE, 0);
                               });
                           },
                           [&] { mainWnd.Close(0); });
    });
    EXPECT_EQ(mainWnd.ShowModal(), 0);
    EXPECT_EQ(logins, 1);
    EXPECT_EQ(boxes, 0);
    EXPECT_FALSE(running);
    EXPECT_EQ(Setting(L"token"), L"");
    EXPECT_EQ(Setting(L"token2"), L"");
}

// The service's message and the worker's own text each get their box; then
// the sign-in window, without a question while a download runs.
TEST_F(MainWndSession, ADownloadAddressRefusedForAnExpiredSessionSignsInAgain)
{
    Json::Value fault = RefService::Fault("/Box/Game/getEncryLink", "code");
    fault["code"] = 10013;
    fault["message"] = "登录已失效";
    RefService::AddFault(fault);
    StandInTask task;
    std::set<HWND> answeredBoxes;
    bool loginShown = false, running = true;
    std::function<void()> answerUntilSignIn = [&] {
        RunFromTheLoopWhen([] { return VisibleWindow(L"CMsgBoxWnd") != nullptr || VisibleWindow(L"CLoginWnd"); },
                           [&] {
                               if (HWND login = VisibleWindow(L"CLoginWnd")) {
                                   loginShown = true;
                                   running = task.IsRunning();
                                   PostMessageW(login, WM_SYSCOMMAND, SC_CLOSE, 0);
                                   return;
                               }
                               // A box still up after the last click is
                               // clicked again, not counted again.
                               HWND box = VisibleWindow(L"CMsgBoxWnd");
                               answeredBoxes.insert(box);
                               PostClick(box, okAlone);
                               RunFromTheLoopIn(500, answerUntilSignIn);
                           },
                           [&] { mainWnd.Close(0); });
    };
    std::thread worker;
    WhenSignedIn([&] {
        worker = std::thread([] { g_sessionData.GetEncryLink<g_mainWnd>("https://example.invalid/a.zip", L"1"); });
        answerUntilSignIn();
    });
    EXPECT_EQ(mainWnd.ShowModal(), 0);
    if (worker.joinable())
        worker.join();
    EXPECT_EQ(answeredBoxes.size(), 2u);
    EXPECT_TRUE(loginShown);
    EXPECT_FALSE(running);
}

// As their workers queue them: each failure shows one box and leaves the
// signed-in window as it was.
TEST_F(MainWndSession, QueuedListFailuresShowABoxEachAndChangeNothing)
{
    using Handler = void (CMainWnd::*)(UINT_PTR, UINT_PTR);
    const Handler handlers[] = {&CMainWnd::OnGameListFailed, &CMainWnd::OnPluginListFailed,
                                &CMainWnd::OnAddMyGameFailed};
    int boxes = 0;
    bool loginShown = false;
    std::function<void(size_t)> play = [&](size_t i) {
        if (i == std::size(handlers)) {
            loginShown = VisibleWindow(L"CLoginWnd") != nullptr;
            mainWnd.Close(0);
            return;
        }
        mainWnd.PostMsg(mainWnd.GetWindowHandle(), handlers[i], 0,
                        reinterpret_cast<UINT_PTR>(new std::wstring(L"列表暂时不可用")));
        AnswerBox(okAlone, [&, i] {
            ++boxes;
            play(i + 1);
        });
    };
    WhenSignedIn([&] { play(0); });
    EXPECT_EQ(mainWnd.ShowModal(), 0);
    EXPECT_EQ(boxes, 3);
    EXPECT_FALSE(loginShown);
    EXPECT_EQ(Setting(L"token"), L"5f0c2a9e7b1d4c38a6e2f9d1b0c7a345");
}

// A step of the start whose worker cannot start ends as its request without
// an answer: its box, and what follows that box.
TEST_F(MainWndSession, AVersionCheckThatCannotStartShowsItsBoxAndTheClientStaysUp)
{
    const std::vector<SeenBox> seen = RunRefusing({&CheckVersionThread<g_mainWnd>}, 1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, L"检查更新失败，请下载最新版本！");
    EXPECT_TRUE(closedByTheTest) << "the client stays up";
    EXPECT_EQ(RefService::Journal("/Box/Config/getConfig").size(), 0u);
    EXPECT_EQ(RefService::Journal("/Box/User/login").size(), 0u);
}

TEST_F(MainWndSession, AConfigurationRequestThatCannotStartEndsTheClientAfterItsBox)
{
    const std::vector<SeenBox> seen = RunRefusing({&GetConfigThread<g_mainWnd>}, 1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, L"初始化失败");
    EXPECT_EQ(seen[0].text, L"配置数据获取失败！");
    EXPECT_FALSE(closedByTheTest);
    EXPECT_EQ(RefService::Journal("/Box/User/login").size(), 0u);
}

TEST_F(MainWndSession, CatalogueRequestsThatCannotStartAfterTheSignInShowTheirBoxes)
{
    const std::vector<SeenBox> seen = RunRefusing(
        {&GetGamesCategoryThread<g_mainWnd>, &OwnerGamesCategoryThread<g_mainWnd>, &GetSoftwaresThread<g_mainWnd>}, 3);
    std::set<std::pair<std::wstring, std::wstring>> boxes;
    for (const SeenBox& box : seen)
        boxes.insert({box.title, box.text});
    EXPECT_EQ(boxes, (std::set<std::pair<std::wstring, std::wstring>>{
                         {L"游戏分类列表获取失败", L"游戏分类列表获取失败！"},
                         {L"我的游戏列表获取失败", L"我的游戏分类列表获取失败！"},
                         {L"加速器列表获取失败", L"加速器列表获取失败！"},
                     }));
    EXPECT_EQ(Setting(L"token"), L"5f0c2a9e7b1d4c38a6e2f9d1b0c7a345");
}

// The codes of an expired session drop it only where the request needs the
// user's token; the other lists show their box and change nothing.
TEST_F(MainWndSession, ExpiredCodesSignOutOnlyFromTheOwnCategoryRequests)
{
    const auto openGamePage = [this] {
        auto* category = new CategoryInfo;
        category->category_id = L"1";
        category->name = L"星海征途";
        mainWnd.PostMsg(mainWnd.GetWindowHandle(), &CMainWnd::OnOpenGamePage, reinterpret_cast<UINT_PTR>(category), 0);
    };
    const auto signedIn = [this] { mainWnd.PostMsg(mainWnd.GetWindowHandle(), &CMainWnd::OnLoginDone, 0, 0); };
    const auto search = [this] {
        mainWnd.FindControl(L"search_key")->SetText(L"星海");
        mainWnd.SearchGames();
    };
    struct Case
    {
        const char* path;
        int code;
        std::function<void()> request;
        const wchar_t* title;
        bool signsOut;
    };
    const Case cases[] = {
        {"/Box/Game/getGames", 10011, openGamePage, L"游戏列表获取失败", false},
        {"/Box/Game/getGames", 10016, openGamePage, L"游戏列表获取失败", false},
        {"/Box/Game/getGamesPlugins", 10011, openGamePage, L"插件列表获取失败", false},
        {"/Box/Game/getGamesPlugins", 10016, openGamePage, L"插件列表获取失败", false},
        {"/Box/Game/getGamesCategory", 10011, signedIn, L"游戏分类列表获取失败", false},
        {"/Box/Game/getGamesCategory", 10016, signedIn, L"游戏分类列表获取失败", false},
        {"/Box/Game/searchGamesCategory", 10011, search, L"游戏分类列表获取失败", false},
        {"/Box/Game/searchGamesCategory", 10016, search, L"游戏分类列表获取失败", false},
        {"/Box/Game/getSoftwares", 10011, signedIn, L"加速器列表获取失败", false},
        {"/Box/Game/getSoftwares", 10016, signedIn, L"加速器列表获取失败", false},
        {"/Box/Game/ownerGamesCategory", 10016, signedIn, L"我的游戏列表获取失败", true},
    };
    struct Seen
    {
        std::wstring title, text, token, savedToken;
        bool running = false, loginShown = false;
    };
    std::vector<Seen> seen(std::size(cases));
    StandInTask task;
    std::function<void(size_t)> play = [&](size_t i) {
        if (i == std::size(cases)) {
            PostMessageW(VisibleWindow(L"CLoginWnd"), WM_SYSCOMMAND, SC_CLOSE, 0);
            return;
        }
        Json::Value fault = RefService::Fault(cases[i].path, "code");
        fault["code"] = cases[i].code;
        fault["message"] = "登录状态已失效";
        fault["count"] = 1;
        RefService::AddFault(fault);
        RunFromTheLoopWhen([] { return BoxWithText() != nullptr; },
                           [&, i] {
                               HWND box = BoxWithText();
                               seen[i].title = MsgBoxText(box, L"msgbox_title");
                               seen[i].text = MsgBoxText(box, L"msgbox_text");
                               PostClick(box, okAlone);
                               // What a dropped session would do comes with
                               // the box's end: the sign-in window, at once.
                               RunFromTheLoopWhen(
                                   [&, i] {
                                       return VisibleWindow(L"CMsgBoxWnd") == nullptr &&
                                              (!cases[i].signsOut || VisibleWindow(L"CLoginWnd") != nullptr);
                                   },
                                   [&, i] {
                                       RunFromTheLoopIn(500, [&, i] {
                                           seen[i].token = Utf8ToWide(g_sessionData.GetToken());
                                           seen[i].savedToken = Setting(L"token");
                                           seen[i].running = task.IsRunning();
                                           seen[i].loginShown = VisibleWindow(L"CLoginWnd") != nullptr;
                                           play(i + 1);
                                       });
                                   },
                                   [this] { mainWnd.Close(0); });
                           },
                           [this] { mainWnd.Close(0); });
        cases[i].request();
    };
    WhenSignedIn([&] { play(0); });
    EXPECT_EQ(mainWnd.ShowModal(), 0);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(std::string(cases[i].path) + " " + std::to_string(cases[i].code));
        EXPECT_EQ(seen[i].title, cases[i].title);
        EXPECT_EQ(seen[i].text, L"登录状态已失效");
        EXPECT_EQ(seen[i].loginShown, cases[i].signsOut);
        EXPECT_EQ(seen[i].running, !cases[i].signsOut);
        EXPECT_EQ(seen[i].token, cases[i].signsOut ? L"" : L"5f0c2a9e7b1d4c38a6e2f9d1b0c7a345");
        EXPECT_EQ(seen[i].savedToken, cases[i].signsOut ? L"" : L"5f0c2a9e7b1d4c38a6e2f9d1b0c7a345");
    }
}

}  // namespace
