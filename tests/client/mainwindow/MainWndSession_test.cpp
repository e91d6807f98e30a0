// The signed-in main window in the test's own process, against the reference
// service: sign-out and exit while a stand-in download runs, the session
// that the service drops (twice at once, or through a download address), and
// the list failure boxes as their workers queue them.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <set>
#include <string>

#include "RefService.h"
#include "ScratchFolder.h"
#include "SkinPlaces.h"
#include "StandInTask.h"
#include "TestPaths.h"
#include "ThreadTimerAction.h"
#include "dialogs/LoginWnd.h"
#include "mainwindow/MainWnd.h"
#include "services/AppFolder.h"
#include "services/RegistryUtil.h"
#include "services/RequestProtocol.h"

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

}  // namespace
