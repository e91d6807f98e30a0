// The sign-in, set-password and sign-out windows in the test's own process,
// from the client's skin archive, over a stand-in owner the size of the main
// window, against the reference service: the checks that send nothing, the
// silent token sign-in and a refused token, closing while a request runs,
// and the process-wide pointers that the windows' workers reach them by.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "RefService.h"
#include "ScratchFolder.h"
#include "TestPaths.h"
#include "ThreadTimerAction.h"
#include "core/TabLayoutUI.h"
#include "dialogs/LoginWnd.h"
#include "dialogs/LogoutWnd.h"
#include "dialogs/SetPasswordWnd.h"
#include "services/RegistryUtil.h"

using namespace CalUI;

namespace {

const char kLoginPath[] = "/Box/User/login";
const char kSetPassPath[] = "/Box/User/setPass";
const char kDemoToken[] = "5f0c2a9e7b1d4c38a6e2f9d1b0c7a345";

class OwnerWnd : public CWindowWnd
{
public:
    LPCWSTR GetWindowClassName() const override { return L"CalverinAccountOwner"; }
};

class ProbedLoginWnd : public CLoginWnd
{
public:
    using CDialogWnd::FindControl;
    using CLoginWnd::CLoginWnd;
};

class ProbedSetPsdWnd : public CSetPsdWnd
{
public:
    using CDialogWnd::FindControl;
};

void PutSetting(const char* name, const std::string& value)
{
    WriteRegValue(HKEY_CURRENT_USER, "Software\\calverin", name, REG_SZ, value, static_cast<DWORD>(value.size()));
}

std::wstring TextOf(CControlUI* control) { return control != nullptr ? control->GetText().GetData() : L"<none>"; }

void ClickAt(HWND window, CControlUI* control)
{
    ASSERT_NE(control, nullptr);
    const RECT rc = control->GetPos();
    const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    PostMessageW(window, WM_MOUSEMOVE, 0, at);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(window, WM_LBUTTONUP, 0, at);
}

// Runs the thread's messages for `ms`.
void PumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

class AccountWindows : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        archive = ScratchFolder::ReadFile(BuildTreePath(L"client\\skin\\client.zip"));
        CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
        CWindowManagerUI::SetResourceZip(archive.data(), static_cast<unsigned>(archive.size()), nullptr);
    }

    void SetUp() override
    {
        RefService::Reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\calverin");
        ASSERT_NE(owner.Create(nullptr, L"owner", WS_POPUP | WS_VISIBLE, 0, 100, 50, 1200, 800, nullptr), nullptr);
    }

    void TearDown() override
    {
        DestroyWindow(owner.GetWindowHandle());
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\calverin");
    }

    static std::string archive;
    OwnerWnd owner;
};

std::string AccountWindows::archive;

// Each check stops the action before any request; the button the action
// disabled is itself again.
TEST_F(AccountWindows, SignInChecksSendNothing)
{
    struct Case
    {
        const char* what;
        int page;
        LPCWSTR button;
        LPCWSTR message;
        LPCWSTR buttonText;  // of login_btn afterwards
    } cases[] = {
        {"password page, no number", 0, L"login_btn", L"手机号为空，请输入手机号", L"登录"},
        {"code page, no number", 1, L"login_btn", L"手机号为空，请输入手机号", L"登录"},
        {"first-password page, no password", 2, L"login_btn", L"密码不能为空", L"登录"},
    };
    int reports = 0;
    ProbedLoginWnd login([&](UINT_PTR) { ++reports; });
    ASSERT_NE(login.CreateOver(owner.GetWindowHandle()), nullptr);
    HWND window = login.GetWindowHandle();
    struct Seen
    {
        std::wstring message, buttonText;
        bool messageShown = false, buttonEnabled = false;
    } seen[3];
    std::function<void(size_t)> play = [&](size_t i) {
        if (i == std::size(cases)) {
            PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            return;
        }
        static_cast<CTabLayoutUI*>(login.FindControl(L"child_page"))->SelectItem(cases[i].page, true);
        ClickAt(window, login.FindControl(cases[i].button));
        RunFromTheLoopIn(400, [&, i] {
            CControlUI* label = login.FindControl(L"msg_lab");
            CControlUI* button = login.FindControl(L"login_btn");
            seen[i] = {TextOf(label), TextOf(button), label->IsVisible(), button->IsEnabled()};
            play(i + 1);
        });
    };
    // Shown and laid out: the buttons have their places.
    RunFromTheLoopWhen([&] { return IsWindowVisible(window) && login.FindControl(L"login_btn")->GetPos().right > 0; },
                       [&] { RunFromTheLoopIn(300, [&] { play(0); }); },
                       [&] { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
    EXPECT_EQ(login.ShowModal(false, false), 0);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].what);
        EXPECT_EQ(seen[i].message, cases[i].message);
        EXPECT_TRUE(seen[i].messageShown);
        EXPECT_EQ(seen[i].buttonText, cases[i].buttonText);
        EXPECT_TRUE(seen[i].buttonEnabled);
    }
    EXPECT_EQ(reports, 0);
    EXPECT_EQ(RefService::Journal(kLoginPath).size(), 0u);
    EXPECT_EQ(RefService::Journal(kSetPassPath).size(), 0u);
}

TEST_F(AccountWindows, ASavedTokenSignsInHiddenAndARefusedOneShowsTheWindow)
{
    struct Case
    {
        const char* what;
        const char* token;
        int result;
        int reports;
    } cases[] = {
        {"saved token", kDemoToken, 1, 1},
        {"refused token", "00000000000000000000000000000000", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PutSetting("token", c.token);
        PutSetting("username", "13800138000");
        int reports = 0;
        UINT_PTR reportedFlag = 99;
        ProbedLoginWnd login([&](UINT_PTR first) {
            ++reports;
            reportedFlag = first;
        });
        ASSERT_NE(login.CreateOver(owner.GetWindowHandle()), nullptr);
        HWND window = login.GetWindowHandle();
        bool everVisible = false, shown = false, buttonEnabled = false;
        std::wstring message, buttonText, number;
        std::function<void()> watch = [&] {
            everVisible = everVisible || IsWindowVisible(window);
            if (!IsWindowVisible(window)) {
                RunFromTheLoopIn(20, watch);
                return;
            }
            // The refused token's road: read what the user sees, then close.
            RunFromTheLoopIn(200, [&] {
                shown = true;
                message = TextOf(login.FindControl(L"msg_lab"));
                buttonText = TextOf(login.FindControl(L"login_btn"));
                buttonEnabled = login.FindControl(L"login_btn")->IsEnabled();
                if (CControlUI* field = login.FindControl(L"mobile_code_0"))
                    number = field->GetText().GetData();
                PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            });
        };
        RunFromTheLoopIn(20, watch);
        EXPECT_EQ(login.ShowModal(false, false), c.result);
        KillTimer(nullptr, 0);
        EXPECT_EQ(reports, c.reports);
        if (c.result == 1) {
            EXPECT_FALSE(everVisible);
            EXPECT_EQ(reportedFlag, 0u) << "the demo user has signed in before";
            continue;
        }
        EXPECT_TRUE(shown);
        EXPECT_EQ(message, L"用户信息过期，请重新登录！");
        EXPECT_EQ(buttonText, L"登录");
        EXPECT_TRUE(buttonEnabled);
        if (login.FindControl(L"mobile_code_0") != nullptr) {
            EXPECT_EQ(number, L"13800138000");
        }
    }
}

// The request that was running when the window closed finds no window: no
// handler runs and nothing is reported.
TEST_F(AccountWindows, ClosingDuringASlowSignInEndsWithZeroAndNothingRunsLater)
{
    Json::Value slow = RefService::Fault(kLoginPath, "slow");
    slow["seconds"] = 3;
    RefService::AddFault(slow);
    PutSetting("token", kDemoToken);
    int reports = 0;
    {
        ProbedLoginWnd login([&](UINT_PTR) { ++reports; });
        ASSERT_NE(login.CreateOver(owner.GetWindowHandle()), nullptr);
        HWND window = login.GetWindowHandle();
        RunFromTheLoopWhen([] { return RefService::Journal(kLoginPath).size() == 1; },
                           [&] { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); },
                           [&] { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
        EXPECT_EQ(login.ShowModal(false, false), 0);
    }
    EXPECT_EQ(g_loginWnd, nullptr);
    PumpFor(4000);
    EXPECT_EQ(reports, 0);
}

// A window going clears its process-wide pointer only while it still names
// that window, so that a newer window of the class stays reachable.
TEST_F(AccountWindows, AWindowClearsItsPointerOnlyWhileItNamesIt)
{
    auto firstLogin = std::make_unique<CLoginWnd>([](UINT_PTR) {});
    auto secondLogin = std::make_unique<CLoginWnd>([](UINT_PTR) {});
    firstLogin.reset();
    EXPECT_EQ(g_loginWnd, secondLogin.get());
    secondLogin.reset();
    EXPECT_EQ(g_loginWnd, nullptr);

    auto firstSetPsd = std::make_unique<CSetPsdWnd>();
    auto secondSetPsd = std::make_unique<CSetPsdWnd>();
    firstSetPsd.reset();
    EXPECT_EQ(g_setPsdWnd, secondSetPsd.get());
    secondSetPsd.reset();
    EXPECT_EQ(g_setPsdWnd, nullptr);

    auto firstLogout = std::make_unique<CLogoutWnd>();
    auto secondLogout = std::make_unique<CLogoutWnd>();
    firstLogout.reset();
    EXPECT_EQ(g_logoutWnd, secondLogout.get());
    secondLogout.reset();
    EXPECT_EQ(g_logoutWnd, nullptr);
}

TEST_F(AccountWindows, SetPasswordRefusesEmptyEntriesWithoutARequest)
{
    ProbedSetPsdWnd window;
    ASSERT_NE(window.CreateOver(owner.GetWindowHandle()), nullptr);
    HWND handle = window.GetWindowHandle();
    std::wstring message, okText;
    RunFromTheLoopIn(400, [&] {
        ClickAt(handle, window.FindControl(L"ok_btn"));
        RunFromTheLoopIn(400, [&] {
            message = TextOf(window.FindControl(L"msg_lab"));
            okText = TextOf(window.FindControl(L"ok_btn"));
            ClickAt(handle, window.FindControl(L"close_btn"));
        });
    });
    EXPECT_EQ(window.ShowModal(true, true), 0);
    EXPECT_EQ(message, L"密码不能为空");
    EXPECT_EQ(okText, L"确定");
    EXPECT_EQ(RefService::Journal(kSetPassPath).size(), 0u);
}

}  // namespace
