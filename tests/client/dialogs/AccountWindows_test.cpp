// The sign-in, set-password and sign-out windows in the test's own process,
// from the client's skin archive, over a stand-in owner the size of the main
// window, against the reference service: the checks that send nothing, the
// silent token sign-in and a refused token, closing while a request runs,
// workers that cannot start, and the process-wide pointers that the windows'
// workers reach them by.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "RefService.h"
#include "ScratchFolder.h"
#include "TestPaths.h"
#include "ThreadTimerAction.h"
#include "core/TabLayoutUI.h"
#include "dialogs/LoginWnd.h"
#include "dialogs/LogoutWnd.h"
#include "dialogs/SetPasswordWnd.h"
#include "dialogs/SmsCodeLimit.h"
#include "services/AccountWorkers.h"
#include "services/RegistryUtil.h"
#include "services/SessionData.h"
#include "services/SignInWorkers.h"

using namespace CalUI;

namespace {

const char kLoginPath[] = "/Box/User/login";
const char kSetPassPath[] = "/Box/User/setPass";
const char kSendCodePath[] = "/Box/User/sendCode";
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
    using CDialogWnd::m_manager;
    using CLoginWnd::CLoginWnd;
};

class ProbedSetPsdWnd : public CSetPsdWnd
{
public:
    using CDialogWnd::FindControl;
    using CDialogWnd::m_manager;
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

// The window's own pixels inside the control's rectangle, row by row.
std::vector<DWORD> PixelsOf(CWindowManagerUI& manager, CControlUI* control)
{
    std::vector<DWORD> pixels;
    const DWORD* all = manager.GetOffscreenPixels();
    if (all == nullptr || control == nullptr)
        return pixels;
    const SIZE size = manager.GetOffscreenSize();
    const RECT rc = control->GetPos();
    for (int y = rc.top; y < rc.bottom && y < size.cy; ++y) {
        for (int x = rc.left; x < rc.right && x < size.cx; ++x)
            pixels.push_back(all[(size.cy - 1 - y) * size.cx + x]);
    }
    return pixels;
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
        std::vector<std::pair<LPCWSTR, LPCWSTR>> fields;  // texts set before the click
        LPCWSTR button;
        LPCWSTR message;
    } cases[] = {
        {"password page, no number", 0, {{L"mobile_code_0", L""}}, L"login_btn", L"手机号为空，请输入手机号"},
        {"password page, no password", 0, {{L"mobile_code_0", L"13800138000"}}, L"login_btn", L"密码为空，请输入密码"},
        {"code page, no number", 1, {{L"mobile_code_1", L""}}, L"login_btn", L"手机号为空，请输入手机号"},
        {"code page, no code", 1, {{L"mobile_code_1", L"13800138000"}}, L"login_btn", L"验证码为空，请输入验证码"},
        {"code request, no number", 1, {{L"mobile_code_1", L""}}, L"send_verify_btn", L"手机号不能为空!"},
        {"code request, area code +86",
         1,
         {{L"area_code_1", L"+86"}, {L"mobile_code_1", L"13800138000"}},
         L"send_verify_btn",
         L"手机区号请勿使用特殊字符"},
        {"code request, letters in the number",
         1,
         {{L"area_code_1", L"86"}, {L"mobile_code_1", L"1380013800a"}},
         L"send_verify_btn",
         L"账号请勿使用特殊字符"},
        {"first password, none", 2, {}, L"login_btn", L"密码不能为空"},
        {"first password, two different",
         2,
         {{L"pwd1_code", L"abc12345"}, {L"pwd2_code", L"abc12346"}},
         L"login_btn",
         L"两次输入的密码不一致"},
    };
    int reports = 0;
    ProbedLoginWnd login([&](UINT_PTR) { ++reports; });
    ASSERT_NE(login.CreateOver(owner.GetWindowHandle(), DialogCreation::HiddenUntilShowModal), nullptr);
    HWND window = login.GetWindowHandle();
    std::wstring focusAtStart;
    struct Seen
    {
        std::wstring message, buttonText;
        bool messageShown = false, buttonEnabled = false;
    } seen[std::size(cases)];
    std::function<void(size_t)> play = [&](size_t i) {
        if (i == std::size(cases)) {
            PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            return;
        }
        static_cast<CTabLayoutUI*>(login.FindControl(L"child_page"))->SelectItem(cases[i].page, true);
        for (const auto& [name, text] : cases[i].fields)
            login.FindControl(name)->SetText(text);
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
                       [&] {
                           RunFromTheLoopIn(300, [&] {
                               CControlUI* focus = login.m_manager.GetFocus();
                               focusAtStart = focus != nullptr ? focus->GetName().GetData() : L"";
                               play(0);
                           });
                       },
                       [&] { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
    EXPECT_EQ(login.ShowModal(!login.StartSavedSignIn(), true), 0);
    EXPECT_EQ(focusAtStart, L"mobile_code_0");
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].what);
        EXPECT_EQ(seen[i].message, cases[i].message);
        EXPECT_TRUE(seen[i].messageShown);
        EXPECT_EQ(seen[i].buttonText, L"登录");
        EXPECT_TRUE(seen[i].buttonEnabled);
    }
    EXPECT_EQ(reports, 0);
    EXPECT_EQ(RefService::Journal(kLoginPath).size(), 0u);
    EXPECT_EQ(RefService::Journal(kSetPassPath).size(), 0u);
    EXPECT_EQ(RefService::Journal(kSendCodePath).size(), 0u);
}

// A wrong password shows the service's message and gives the button back; the
// right one signs in with the first-sign-in flag of the service.
TEST_F(AccountWindows, PasswordSignIn)
{
    struct Case
    {
        const char* what;
        LPCWSTR password;
        int result;
    } cases[] = {
        {"wrong password", L"wrong-one", 0},
        {"right password", L"demo1234", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RefService::Reset();
        int reports = 0;
        ProbedLoginWnd login([&](UINT_PTR) { ++reports; });
        ASSERT_NE(login.CreateOver(owner.GetWindowHandle(), DialogCreation::HiddenUntilShowModal), nullptr);
        HWND window = login.GetWindowHandle();
        std::wstring message, buttonText;
        bool buttonEnabled = false;
        RunFromTheLoopWhen(
            [&] { return IsWindowVisible(window) && login.FindControl(L"login_btn")->GetPos().right > 0; },
            [&] {
                login.FindControl(L"mobile_code_0")->SetText(L"13800138000");
                login.FindControl(L"pwd_code_0")->SetText(c.password);
                ClickAt(window, login.FindControl(L"login_btn"));
                // The answer has come when the request is in and the button is back.
                RunFromTheLoopWhen(
                    [&] {
                        return RefService::Journal(kLoginPath).size() == 1 &&
                               login.FindControl(L"login_btn")->IsEnabled();
                    },
                    [&] {
                        message = TextOf(login.FindControl(L"msg_lab"));
                        buttonText = TextOf(login.FindControl(L"login_btn"));
                        buttonEnabled = true;
                        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
                    },
                    [&] { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
            },
            [&] { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
        EXPECT_EQ(login.ShowModal(!login.StartSavedSignIn(), true), c.result);
        DropPendingLoopAction();  // a sign-in closes the window while the test still waits
        EXPECT_EQ(reports, c.result);
        EXPECT_EQ(RefService::Journal(kLoginPath).size(), 1u);
        if (c.result == 0) {
            EXPECT_FALSE(message.empty());
            EXPECT_NE(message, L"用户信息过期，请重新登录！");
            EXPECT_EQ(buttonText, L"登录");
            EXPECT_TRUE(buttonEnabled);
        }
    }
}

// A new number: the code request counts down and is counted, the code signs
// the new user in onto the password page, and the password closes the window
// with the user's password marked as set.
TEST_F(AccountWindows, ANewUserSignsInByCodeAndSetsAPassword)
{
    const std::string mobile = "13700137000";
    int reports = 0;
    ProbedLoginWnd login([&](UINT_PTR) { ++reports; });
    ASSERT_NE(login.CreateOver(owner.GetWindowHandle(), DialogCreation::HiddenUntilShowModal), nullptr);
    HWND window = login.GetWindowHandle();
    std::wstring countdown, sentMessage, lastMessage;
    int pageAfterCode = -1;
    auto close = [&] { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); };
    RunFromTheLoopWhen(
        [&] { return IsWindowVisible(window) && login.FindControl(L"login_btn")->GetPos().right > 0; },
        [&] {
            ClickAt(window, login.FindControl(L"go_verify_btn"));
            RunFromTheLoopIn(300, [&] {
                login.FindControl(L"mobile_code_1")->SetText(L"13700137000");
                ClickAt(window, login.FindControl(L"send_verify_btn"));
                RunFromTheLoopWhen(
                    [&] { return TextOf(login.FindControl(L"msg_lab")) == L"发送成功!"; },
                    [&] {
                        countdown = TextOf(login.FindControl(L"send_verify_btn"));
                        sentMessage = TextOf(login.FindControl(L"msg_lab"));
                        const std::string code = RefService::SmsCode(mobile);
                        login.FindControl(L"verify_code")->SetText(std::wstring(code.begin(), code.end()).c_str());
                        ClickAt(window, login.FindControl(L"login_btn"));
                        auto* pages = static_cast<CTabLayoutUI*>(login.FindControl(L"child_page"));
                        RunFromTheLoopWhen([&, pages] { return pages->GetSelectedIndex() == 2; },
                                           [&, pages] {
                                               pageAfterCode = pages->GetSelectedIndex();
                                               login.FindControl(L"pwd1_code")->SetText(L"newpass99");
                                               login.FindControl(L"pwd2_code")->SetText(L"newpass99");
                                               ClickAt(window, login.FindControl(L"login_btn"));
                                               // Success closes the window; a failure shows its message.
                                               RunFromTheLoopWhen(
                                                   [&] { return login.FindControl(L"msg_lab")->IsVisible(); },
                                                   [&] {
                                                       lastMessage = TextOf(login.FindControl(L"msg_lab"));
                                                       close();
                                                   },
                                                   close);
                                           },
                                           close);
                    },
                    close);
            });
        },
        close);
    EXPECT_EQ(login.ShowModal(!login.StartSavedSignIn(), true), 1) << testing::PrintToString(lastMessage);
    DropPendingLoopAction();
    EXPECT_NE(countdown.find(L"s"), std::wstring::npos) << "counting down: " << testing::PrintToString(countdown);
    EXPECT_EQ(sentMessage, L"发送成功!");
    EXPECT_EQ(pageAfterCode, 2);
    EXPECT_EQ(reports, 1);
    EXPECT_TRUE(login.OffersBinding()) << "a first sign-in goes on to the binding";
    std::wstring count, userMark;
    ReadRegValue(HKEY_CURRENT_USER, L"Software\\calverin", L"send_count", REG_SZ, count);
    EXPECT_EQ(count, L"1");
    std::wstring userId;
    ReadRegValue(HKEY_CURRENT_USER, L"Software\\calverin", L"token2", REG_SZ, userId);
    ASSERT_FALSE(userId.empty());
    ReadRegValue(HKEY_CURRENT_USER, L"Software\\calverin", userId, REG_SZ, userMark);
    EXPECT_EQ(userMark, L"1");
    EXPECT_EQ(RefService::Journal(kSetPassPath).size(), 1u);
}

// The code road of a returning user: the number typed on the password page
// comes along to the code page; a sixth code in a day is refused without a
// request; with a code left for the day, Enter in the code field signs the
// user in at once, with no password page after it.
TEST_F(AccountWindows, AReturningUserSignsInByCodeWithEnterAndASixthCodeIsRefused)
{
    const std::string mobile = "13800138000";
    PutSetting("send_date", std::to_string(TodayAsDateNumber()));
    PutSetting("send_count", "5");
    int reports = 0;
    ProbedLoginWnd login([&](UINT_PTR) { ++reports; });
    ASSERT_NE(login.CreateOver(owner.GetWindowHandle(), DialogCreation::HiddenUntilShowModal), nullptr);
    HWND window = login.GetWindowHandle();
    auto* pages = static_cast<CTabLayoutUI*>(login.FindControl(L"child_page"));
    ASSERT_NE(pages, nullptr);
    std::wstring copiedNumber, refusal;
    size_t requestsWhenRefused = 99;
    int highestPage = 0;
    auto close = [&] { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); };
    RunFromTheLoopWhen([&] { return IsWindowVisible(window) && login.FindControl(L"login_btn")->GetPos().right > 0; },
                       [&] {
                           login.FindControl(L"mobile_code_0")->SetText(L"13800138000");
                           ClickAt(window, login.FindControl(L"go_verify_btn"));
                           RunFromTheLoopWhen(
                               [&] { return pages->GetSelectedIndex() == 1; },
                               [&] {
                                   copiedNumber = TextOf(login.FindControl(L"mobile_code_1"));
                                   ClickAt(window, login.FindControl(L"send_verify_btn"));
                                   RunFromTheLoopWhen(
                                       [&] { return login.FindControl(L"msg_lab")->IsVisible(); },
                                       [&] {
                                           refusal = TextOf(login.FindControl(L"msg_lab"));
                                           requestsWhenRefused = RefService::Journal(kSendCodePath).size();
                                           PutSetting("send_count", "4");
                                           ClickAt(window, login.FindControl(L"send_verify_btn"));
                                           RunFromTheLoopWhen(
                                               [&] { return TextOf(login.FindControl(L"msg_lab")) == L"发送成功!"; },
                                               [&] {
                                                   const std::string code = RefService::SmsCode(mobile);
                                                   CControlUI* field = login.FindControl(L"verify_code");
                                                   field->SetText(std::wstring(code.begin(), code.end()).c_str());
                                                   field->SetFocus();
                                                   PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
                                                   // A returning user is in: the window closes with 1.
                                                   RunFromTheLoopWhen(
                                                       [&] {
                                                           highestPage =
                                                               std::max(highestPage, pages->GetSelectedIndex());
                                                           return false;
                                                       },
                                                       [] {}, close);
                                               },
                                               close);
                                       },
                                       close);
                               },
                               close);
                       },
                       close);
    EXPECT_EQ(login.ShowModal(!login.StartSavedSignIn(), true), 1);
    DropPendingLoopAction();
    EXPECT_EQ(copiedNumber, L"13800138000");
    EXPECT_EQ(refusal, L"当前日发送验证码次数已超限!");
    EXPECT_EQ(requestsWhenRefused, 0u);
    EXPECT_EQ(RefService::Journal(kSendCodePath).size(), 1u);
    EXPECT_EQ(reports, 1);
    EXPECT_LT(highestPage, 2) << "a returning user gets no password page";
    EXPECT_FALSE(login.OffersBinding());
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
        ASSERT_NE(login.CreateOver(owner.GetWindowHandle(), DialogCreation::HiddenUntilShowModal), nullptr);
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
        EXPECT_EQ(login.ShowModal(!login.StartSavedSignIn(), true), c.result);
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

// A worker that cannot start ends as a request without an answer: the
// hidden window of a saved token shows itself, and a waiting button is
// itself again with the failure's text beside it.
TEST_F(AccountWindows, WorkersThatCannotStartLeaveNoWindowWaiting)
{
    struct Seen
    {
        bool shown = false, buttonEnabled = false;
        std::wstring message, buttonText;
    };
    CWindowMultiThreadManager::RefuseStartsOf(
        {&TokenLoginThread<g_loginWnd>, &PasswordLoginThread<g_loginWnd>, &SetPassThread<g_setPsdWnd>});

    PutSetting("token", kDemoToken);
    PutSetting("username", "13800138000");
    Seen token;
    {
        ProbedLoginWnd login([](UINT_PTR) {});
        ASSERT_NE(login.CreateOver(owner.GetWindowHandle(), DialogCreation::HiddenUntilShowModal), nullptr);
        HWND window = login.GetWindowHandle();
        RunFromTheLoopWhen(
            [&] {
                return IsWindowVisible(window) && login.FindControl(L"login_btn")->IsEnabled() &&
                       !TextOf(login.FindControl(L"msg_lab")).empty();
            },
            [&] {
                token = {true, true, TextOf(login.FindControl(L"msg_lab")), TextOf(login.FindControl(L"login_btn"))};
                PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            },
            [&] { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
        EXPECT_EQ(login.ShowModal(!login.StartSavedSignIn(), true), 0);
        DropPendingLoopAction();
    }

    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\calverin");
    Seen password;
    {
        ProbedLoginWnd login([](UINT_PTR) {});
        ASSERT_NE(login.CreateOver(owner.GetWindowHandle(), DialogCreation::HiddenUntilShowModal), nullptr);
        HWND window = login.GetWindowHandle();
        RunFromTheLoopWhen(
            [&] { return IsWindowVisible(window) && login.FindControl(L"login_btn")->GetPos().right > 0; },
            [&] {
                login.FindControl(L"mobile_code_0")->SetText(L"13800138000");
                login.FindControl(L"pwd_code_0")->SetText(L"demo1234");
                ClickAt(window, login.FindControl(L"login_btn"));
                RunFromTheLoopWhen([&] { return !TextOf(login.FindControl(L"msg_lab")).empty(); },
                                   [&] {
                                       password = {true, login.FindControl(L"login_btn")->IsEnabled(),
                                                   TextOf(login.FindControl(L"msg_lab")),
                                                   TextOf(login.FindControl(L"login_btn"))};
                                       PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
                                   },
                                   [&] { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
            },
            [&] { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
        EXPECT_EQ(login.ShowModal(!login.StartSavedSignIn(), true), 0);
        DropPendingLoopAction();
    }

    Seen setPassword;
    {
        ProbedSetPsdWnd window;
        ASSERT_NE(window.CreateOver(owner.GetWindowHandle()), nullptr);
        HWND handle = window.GetWindowHandle();
        RunFromTheLoopWhen([&] { return IsWindowVisible(handle) && window.FindControl(L"ok_btn")->GetPos().right > 0; },
                           [&] {
                               window.FindControl(L"pwd1_code")->SetText(L"new-pass-1");
                               window.FindControl(L"pwd2_code")->SetText(L"new-pass-1");
                               ClickAt(handle, window.FindControl(L"ok_btn"));
                               RunFromTheLoopWhen([&] { return !TextOf(window.FindControl(L"msg_lab")).empty(); },
                                                  [&] {
                                                      setPassword = {true, window.FindControl(L"ok_btn")->IsEnabled(),
                                                                     TextOf(window.FindControl(L"msg_lab")),
                                                                     TextOf(window.FindControl(L"ok_btn"))};
                                                      ClickAt(handle, window.FindControl(L"close_btn"));
                                                  },
                                                  [&] { ClickAt(handle, window.FindControl(L"close_btn")); });
                           },
                           [&] { ClickAt(handle, window.FindControl(L"close_btn")); });
        EXPECT_EQ(window.ShowModal(true, true), 0);
        DropPendingLoopAction();
    }
    CWindowMultiThreadManager::RefuseStartsOf({});

    EXPECT_TRUE(token.shown);
    EXPECT_EQ(token.message, L"用户信息过期，请重新登录！");
    EXPECT_EQ(token.buttonText, L"登录");
    EXPECT_EQ(password.message, L"登录错误！请稍后重试");
    EXPECT_EQ(password.buttonText, L"登录");
    EXPECT_TRUE(password.buttonEnabled);
    EXPECT_EQ(setPassword.message, L"密码设置失败！请稍后重试");
    EXPECT_EQ(setPassword.buttonText, L"提交");
    EXPECT_TRUE(setPassword.buttonEnabled);
    EXPECT_EQ(RefService::Journal(kLoginPath).size(), 0u);
    EXPECT_EQ(RefService::Journal(kSetPassPath).size(), 0u);
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
        ASSERT_NE(login.CreateOver(owner.GetWindowHandle(), DialogCreation::HiddenUntilShowModal), nullptr);
        HWND window = login.GetWindowHandle();
        RunFromTheLoopWhen([] { return RefService::Journal(kLoginPath).size() == 1; },
                           [&] { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); },
                           [&] { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
        EXPECT_EQ(login.ShowModal(!login.StartSavedSignIn(), true), 0);
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

// The set-password window: its two checks send nothing, Enter in an entry
// neither submits nor types, a refused password leaves the window open with
// the service's text and the button back as "提交", and an accepted one
// closes it with 1 and marks the user's password as set.
TEST_F(AccountWindows, SetPasswordChecksEnterAndTheServicesAnswer)
{
    g_sessionData.SetToken(kDemoToken);
    g_sessionData.SetUserId("1001");
    struct Case
    {
        const char* what;
        LPCWSTR first;
        LPCWSTR second;
        bool enter;  // Enter in the second entry instead of a click on ok_btn
        bool refused;
        int result;
        LPCWSTR message;
        LPCWSTR okText;
        size_t requests;
    } cases[] = {
        {"both empty", L"", L"", false, false, 0, L"密码不能为空", L"确定", 0},
        {"second empty", L"newpass99", L"", false, false, 0, L"密码不能为空", L"确定", 0},
        {"different", L"newpass99", L"newpass98", false, false, 0, L"两次输入的密码不一致", L"确定", 0},
        {"Enter", L"newpass99", L"newpass99", true, false, 0, L"", L"确定", 0},
        {"refused", L"newpass99", L"newpass99", false, true, 0, L"密码设置失败！请稍后重试", L"提交", 1},
        {"accepted", L"newpass99", L"newpass99", false, false, 1, nullptr, nullptr, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RefService::Reset();
        if (c.refused) {
            Json::Value fault = RefService::Fault(kSetPassPath, "code");
            fault["code"] = 10010;
            fault["message"] = "密码设置失败！请稍后重试";
            RefService::AddFault(fault);
        }
        ProbedSetPsdWnd window;
        ASSERT_NE(window.CreateOver(owner.GetWindowHandle()), nullptr);
        HWND handle = window.GetWindowHandle();
        std::wstring message, okText, second;
        auto close = [&] { ClickAt(handle, window.FindControl(L"close_btn")); };
        RunFromTheLoopWhen([&] { return IsWindowVisible(handle) && window.FindControl(L"ok_btn")->GetPos().right > 0; },
                           [&] {
                               window.FindControl(L"pwd1_code")->SetText(c.first);
                               window.FindControl(L"pwd2_code")->SetText(c.second);
                               if (c.enter) {
                                   window.FindControl(L"pwd2_code")->SetFocus();
                                   PostMessageW(handle, WM_KEYDOWN, VK_RETURN, 0);
                                   PostMessageW(handle, WM_CHAR, VK_RETURN, 0);
                                   PostMessageW(handle, WM_KEYUP, VK_RETURN, 0);
                               } else {
                                   ClickAt(handle, window.FindControl(L"ok_btn"));
                               }
                               // A check or a key has acted once the messages posted for
                               // it are handled; a request once its answer restored the
                               // button.
                               RunFromTheLoopWhen(
                                   [&] {
                                       return c.requests == 0 ? LOWORD(GetQueueStatus(QS_POSTMESSAGE | QS_INPUT)) == 0
                                                              : TextOf(window.FindControl(L"ok_btn")) == L"提交";
                                   },
                                   [&] {
                                       message = TextOf(window.FindControl(L"msg_lab"));
                                       okText = TextOf(window.FindControl(L"ok_btn"));
                                       second = TextOf(window.FindControl(L"pwd2_code"));
                                       close();
                                   },
                                   close);
                           },
                           close);
        EXPECT_EQ(window.ShowModal(true, true), c.result);
        DropPendingLoopAction();  // an accepted password closes the window while the test waits
        EXPECT_EQ(RefService::Journal(kSetPassPath).size(), c.requests);
        if (c.message != nullptr) {
            EXPECT_EQ(message, c.message);
            EXPECT_EQ(okText, c.okText);
            EXPECT_EQ(second, c.second);
        }
        std::wstring mark;
        ReadRegValue(HKEY_CURRENT_USER, L"Software\\calverin", L"1001", REG_SZ, mark);
        EXPECT_EQ(mark, c.result == 1 ? L"1" : L"");
    }
    g_sessionData.SetToken("");
    g_sessionData.SetUserId("");
}

// While a sign-in runs its button is disabled, and Enter in a field starts
// nothing more; Enter while the button is enabled signs in.
TEST_F(AccountWindows, EnterSignsInOnlyWhileTheButtonIsEnabled)
{
    Json::Value slow = RefService::Fault(kLoginPath, "slow");
    slow["seconds"] = 2;
    RefService::AddFault(slow);
    int reports = 0;
    ProbedLoginWnd login([&](UINT_PTR) { ++reports; });
    ASSERT_NE(login.CreateOver(owner.GetWindowHandle(), DialogCreation::HiddenUntilShowModal), nullptr);
    HWND window = login.GetWindowHandle();
    bool disabledWhileRunning = false;
    RunFromTheLoopWhen([&] { return IsWindowVisible(window) && login.FindControl(L"login_btn")->GetPos().right > 0; },
                       [&] {
                           login.FindControl(L"mobile_code_0")->SetText(L"13800138000");
                           login.FindControl(L"pwd_code_0")->SetText(L"demo1234");
                           login.FindControl(L"pwd_code_0")->SetFocus();
                           PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
                           RunFromTheLoopIn(300, [&] {
                               disabledWhileRunning = !login.FindControl(L"login_btn")->IsEnabled();
                               PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
                               PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
                           });
                       },
                       [&] { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
    EXPECT_EQ(login.ShowModal(!login.StartSavedSignIn(), true), 1);
    DropPendingLoopAction();
    EXPECT_TRUE(disabledWhileRunning);
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(RefService::Journal(kLoginPath).size(), 1u);
}

// Two passwords of one length look the same in both windows, and something
// is drawn for them: the mask shows, never the text.
TEST_F(AccountWindows, PasswordFieldsPaintTheSameForPasswordsOfOneLength)
{
    struct Looks
    {
        std::vector<DWORD> first, second, empty;
    };
    auto compare = [](const Looks& looks) {
        ASSERT_FALSE(looks.first.empty());
        size_t differing = 0;
        for (size_t i = 0; i < looks.first.size() && i < looks.second.size(); ++i)
            differing += looks.first[i] != looks.second[i] ? 1 : 0;
        EXPECT_EQ(differing, 0u) << "two passwords of one length differ on screen, of " << looks.first.size();
        EXPECT_FALSE(looks.first == looks.empty) << "a password draws nothing";
    };
    // Each step sets the text, lets the window repaint and reads the field.
    auto sample = [](CWindowManagerUI& manager, CControlUI* field, HWND window, Looks& looks,
                     std::function<void()> done) {
        field->SetText(L"abc123");
        RunFromTheLoopIn(500, [&manager, field, window, &looks, done] {
            looks.first = PixelsOf(manager, field);
            field->SetText(L"xyz789");
            RunFromTheLoopIn(500, [&manager, field, window, &looks, done] {
                looks.second = PixelsOf(manager, field);
                field->SetText(L"");
                RunFromTheLoopIn(500, [&manager, field, &looks, done] {
                    looks.empty = PixelsOf(manager, field);
                    done();
                });
            });
        });
    };
    {
        SCOPED_TRACE("sign-in window");
        Looks looks;
        ProbedLoginWnd login([](UINT_PTR) {});
        ASSERT_NE(login.CreateOver(owner.GetWindowHandle(), DialogCreation::HiddenUntilShowModal), nullptr);
        HWND window = login.GetWindowHandle();
        RunFromTheLoopWhen([&] { return IsWindowVisible(window) && login.m_manager.GetOffscreenPixels() != nullptr; },
                           [&] {
                               // No blinking caret in any field while the pixels are read.
                               login.FindControl(L"login_btn")->SetFocus();
                               sample(login.m_manager, login.FindControl(L"pwd_code_0"), window, looks,
                                      [window] { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
                           },
                           [window] { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
        login.ShowModal(!login.StartSavedSignIn(), true);
        compare(looks);
    }
    {
        SCOPED_TRACE("set-password window");
        Looks looks;
        ProbedSetPsdWnd setPsd;
        ASSERT_NE(setPsd.CreateOver(owner.GetWindowHandle()), nullptr);
        HWND window = setPsd.GetWindowHandle();
        // The second entry: the first may hold the focus and its caret.
        RunFromTheLoopWhen([&] { return IsWindowVisible(window) && setPsd.m_manager.GetOffscreenPixels() != nullptr; },
                           [&] {
                               sample(setPsd.m_manager, setPsd.FindControl(L"pwd2_code"), window, looks,
                                      [window] { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
                           },
                           [window] { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
        setPsd.ShowModal(true, true);
        compare(looks);
    }
}

}  // namespace
