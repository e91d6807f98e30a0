// The accelerator-account binding window in the test's own process, from the
// client's skin archive, over a stand-in owner the size of the main window,
// against the reference service: the code requests it refuses (the daily
// limit is the one the sign-in window counts), a code request and a binding
// with the service's code, the boxes of a bind it refuses, a bound account
// shown read-only, Enter while a request runs, and a binding refused for an
// expired session.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "RefService.h"
#include "ScratchFolder.h"
#include "TestPaths.h"
#include "ThreadTimerAction.h"
#include "controls/ComboUI.h"
#include "dialogs/BindUsrWnd.h"
#include "dialogs/MsgBoxWnd.h"
#include "dialogs/SmsCodeLimit.h"
#include "services/AccountWorkers.h"
#include "services/RegistryUtil.h"
#include "services/SessionData.h"

using namespace CalUI;

namespace {

const char kSendCodePath[] = "/Box/User/sendCode";
const char kBindPath[] = "/Box/User/bindSpeed";
const char kDemoToken[] = "5f0c2a9e7b1d4c38a6e2f9d1b0c7a345";
const std::vector<AcceleratorChoice> kChoices = {
    {L"Ostrel加速器", L"1"}, {L"Pellinor加速器", L"2"}, {L"Tamsk加速器", L"3"}, {L"未编号加速器", L"abc"}};

class OwnerWnd : public CWindowWnd
{
public:
    LPCWSTR GetWindowClassName() const override { return L"CalverinBindOwner"; }
};

class ProbedBindUsrWnd : public CBindUsrWnd
{
public:
    using CBindUsrWnd::CBindUsrWnd;
    using CDialogWnd::FindControl;
    using CDialogWnd::m_manager;
};

class ProbedMsgBox : public CMsgBoxWnd
{
public:
    using CDialogWnd::FindControl;
};

void PutSetting(const char* name, const std::string& value)
{
    WriteRegValue(HKEY_CURRENT_USER, "Software\\calverin", name, REG_SZ, value, static_cast<DWORD>(value.size()));
}

std::wstring Setting(LPCWSTR name)
{
    std::wstring text;
    ReadRegValue(HKEY_CURRENT_USER, L"Software\\calverin", name, REG_SZ, text);
    return text;
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

HWND VisibleWindow(LPCWSTR className)
{
    HWND w = FindWindowW(className, nullptr);
    return w != nullptr && IsWindowVisible(w) ? w : nullptr;
}

// The text of the box in that window.
std::wstring BoxText(HWND box)
{
    auto* window = reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(box, GWLP_USERDATA));
    auto* probe = static_cast<ProbedMsgBox*>(static_cast<CMsgBoxWnd*>(window));
    return window != nullptr ? TextOf(probe->FindControl(L"msgbox_text")) : L"<none>";
}

class BindUsrWndTest : public testing::Test
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
        g_sessionData.SetToken(kDemoToken);
        g_sessionData.SetSoftwareId("");
        g_sessionData.SetSoftwareUsername("");
        ASSERT_NE(owner.Create(nullptr, L"owner", WS_POPUP | WS_VISIBLE, 0, 100, 50, 1200, 800, nullptr), nullptr);
    }

    void TearDown() override
    {
        DestroyWindow(owner.GetWindowHandle());
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\calverin");
    }

    // Runs `act` from the window's loop once it shows laid out; returns the
    // modal result.
    int Run(ProbedBindUsrWnd& window, std::function<void(HWND)> act)
    {
        if (window.CreateOver(owner.GetWindowHandle()) == nullptr)
            return -1;
        HWND handle = window.GetWindowHandle();
        RunFromTheLoopWhen(
            [&window, handle] {
                return IsWindowVisible(handle) && window.FindControl(L"bind_btn")->GetPos().right > 0;
            },
            [act, handle] { act(handle); }, [handle] { PostMessageW(handle, WM_SYSCOMMAND, SC_CLOSE, 0); });
        const int result = window.ShowModal(true, true);
        DropPendingLoopAction();
        return result;
    }

    static std::string archive;
    OwnerWnd owner;
};

std::string BindUsrWndTest::archive;

void Close(HWND handle) { PostMessageW(handle, WM_SYSCOMMAND, SC_CLOSE, 0); }

// Each refusal shows its message and sends nothing; the code button stays
// ready. Five codes counted today, in either window, refuse a sixth.
TEST_F(BindUsrWndTest, CodeRequestsItRefusesSendNothing)
{
    const struct
    {
        const char* what;
        LPCWSTR number;
        const char* countToday;  // null: nothing counted yet
        LPCWSTR message;
    } cases[] = {
        {"five codes counted today", L"13700137000", "5", L"当前日发送验证码次数已超限!"},
        {"no number", L"", nullptr, L"手机号不能为空!"},
        {"letters", L"1370013700a", nullptr, L"账号请勿使用特殊字符"},
        {"a blank", L"137 0013700", nullptr, L"账号请勿使用特殊字符"},
        {"ten digits", L"1370013700", nullptr, L"账号长度错误"},
        {"twelve digits", L"137001370000", nullptr, L"账号长度错误"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\calverin");
        if (c.countToday != nullptr) {
            PutSetting("send_date", std::to_string(TodayAsDateNumber()));
            PutSetting("send_count", c.countToday);
        }
        ProbedBindUsrWnd window(kChoices, [] {});
        std::wstring message, buttonText;
        bool buttonEnabled = false;
        Run(window, [&](HWND handle) {
            window.FindControl(L"phonenum")->SetText(c.number);
            ClickAt(handle, window.FindControl(L"getcheckcode"));
            RunFromTheLoopIn(400, [&, handle] {
                message = TextOf(window.FindControl(L"msg_lab"));
                buttonText = TextOf(window.FindControl(L"getcheckcode"));
                buttonEnabled = window.FindControl(L"getcheckcode")->IsEnabled();
                Close(handle);
            });
        });
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(buttonText, L"获取验证码");
        EXPECT_TRUE(buttonEnabled);
    }
    EXPECT_EQ(RefService::Journal(kSendCodePath).size(), 0u);
}

// A binding code counts down at once and is counted for the day; Enter in
// the number field during the countdown asks for no second one. The
// service's code then binds: the window closes with 1 and the session holds
// the account. A wrong code before it is the service's refusal, in the label.
TEST_F(BindUsrWndTest, TheServicesCodeBindsTheAccount)
{
    const std::string mobile = "13700137000";
    PutSetting("send_date", std::to_string(TodayAsDateNumber()));
    PutSetting("send_count", "4");
    ProbedBindUsrWnd window(kChoices, [] {});
    std::wstring countdown, sent, refusal, buttonAfterRefusal;
    bool countdownEnabled = true;
    auto close = [&] { Close(window.GetWindowHandle()); };
    const int result = Run(window, [&](HWND handle) {
        window.FindControl(L"phonenum")->SetText(L"13700137000");
        ClickAt(handle, window.FindControl(L"getcheckcode"));
        RunFromTheLoopWhen(
            [&] { return TextOf(window.FindControl(L"msg_lab")) == L"发送成功!"; },
            [&, handle] {
                countdown = TextOf(window.FindControl(L"getcheckcode"));
                countdownEnabled = window.FindControl(L"getcheckcode")->IsEnabled();
                sent = TextOf(window.FindControl(L"msg_lab"));
                window.FindControl(L"phonenum")->SetFocus();
                PostMessageW(handle, WM_KEYDOWN, VK_RETURN, 0);
                static_cast<CComboUI*>(window.FindControl(L"seljsq"))->SelectItem(1);
                window.FindControl(L"checkcode")->SetText(L"000000");
                ClickAt(handle, window.FindControl(L"bind_btn"));
                RunFromTheLoopWhen(
                    [&] {
                        return RefService::Journal(kBindPath).size() == 1 &&
                               window.FindControl(L"bind_btn")->IsEnabled();
                    },
                    [&, handle] {
                        refusal = TextOf(window.FindControl(L"msg_lab"));
                        buttonAfterRefusal = TextOf(window.FindControl(L"bind_btn"));
                        const std::string code = RefService::SmsCode(mobile);
                        window.FindControl(L"checkcode")->SetText(std::wstring(code.begin(), code.end()).c_str());
                        ClickAt(handle, window.FindControl(L"bind_btn"));
                        RunFromTheLoopIn(8000, close);
                    },
                    close);
            },
            close);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(countdown, L"60s");
    EXPECT_FALSE(countdownEnabled);
    EXPECT_EQ(sent, L"发送成功!");
    EXPECT_EQ(Setting(L"send_count"), L"5");
    const Json::Value codes = RefService::Journal(kSendCodePath);
    ASSERT_EQ(codes.size(), 1u) << "Enter during the countdown asks for no second code";
    EXPECT_EQ(RefService::BodyValue(codes[0], "type"), "2");
    EXPECT_EQ(RefService::BodyValue(codes[0], "object"), mobile);
    EXPECT_EQ(RefService::BodyValue(codes[0], "area_code"), "86");
    EXPECT_FALSE(refusal.empty());
    EXPECT_NE(refusal, L"发送成功!");
    EXPECT_EQ(buttonAfterRefusal, L"绑定");
    const Json::Value binds = RefService::Journal(kBindPath);
    ASSERT_EQ(binds.size(), 2u);
    EXPECT_EQ(RefService::BodyValue(binds[1], "software_id"), "2");
    EXPECT_EQ(RefService::BodyValue(binds[1], "software_username"), mobile);
    EXPECT_EQ(g_sessionData.GetSoftwareId(), "2");
    EXPECT_EQ(g_sessionData.GetSoftwareUsername(), mobile);
}

// What is missing is said in a box over the window, the button is itself
// again and nothing is sent. An accelerator whose id is no number is sent
// as 0, for the service to refuse.
TEST_F(BindUsrWndTest, ABindWithSomethingMissingIsRefusedInABox)
{
    const struct
    {
        const char* what;
        int choice;  // -1: none selected
        LPCWSTR number, code;
        LPCWSTR boxText;
    } cases[] = {
        {"no accelerator", -1, L"13700137000", L"123456", L"还没有选择加速器，请先选择加速器"},
        {"no number", 0, L"", L"123456", L"手机号为空，请输入手机号"},
        {"no code", 0, L"13700137000", L"", L"验证码为空，请输入验证码"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProbedBindUsrWnd window(kChoices, [] {});
        std::wstring boxText, buttonText;
        bool buttonEnabled = false;
        Run(window, [&](HWND handle) {
            if (c.choice >= 0)
                static_cast<CComboUI*>(window.FindControl(L"seljsq"))->SelectItem(c.choice);
            window.FindControl(L"phonenum")->SetText(c.number);
            window.FindControl(L"checkcode")->SetText(c.code);
            ClickAt(handle, window.FindControl(L"bind_btn"));
            // The box's text is set once it has laid itself out.
            RunFromTheLoopWhen(
                [] {
                    HWND box = VisibleWindow(L"CMsgBoxWnd");
                    return box != nullptr && !BoxText(box).empty();
                },
                [&, handle] {
                    HWND box = VisibleWindow(L"CMsgBoxWnd");
                    boxText = BoxText(box);
                    PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 0);
                    RunFromTheLoopIn(300, [&, handle] {
                        buttonText = TextOf(window.FindControl(L"bind_btn"));
                        buttonEnabled = window.FindControl(L"bind_btn")->IsEnabled();
                        Close(handle);
                    });
                },
                [handle] { Close(handle); });
        });
        EXPECT_EQ(boxText, c.boxText);
        EXPECT_EQ(buttonText, L"绑定");
        EXPECT_TRUE(buttonEnabled);
    }
    EXPECT_EQ(RefService::Journal(kBindPath).size(), 0u);

    ProbedBindUsrWnd window(kChoices, [] {});
    std::wstring refusal;
    Run(window, [&](HWND handle) {
        static_cast<CComboUI*>(window.FindControl(L"seljsq"))->SelectItem(3);
        window.FindControl(L"phonenum")->SetText(L"13700137000");
        window.FindControl(L"checkcode")->SetText(L"123456");
        ClickAt(handle, window.FindControl(L"bind_btn"));
        RunFromTheLoopWhen([&] { return window.FindControl(L"msg_lab")->IsVisible(); },
                           [&, handle] {
                               refusal = TextOf(window.FindControl(L"msg_lab"));
                               Close(handle);
                           },
                           [handle] { Close(handle); });
    });
    const Json::Value binds = RefService::Journal(kBindPath);
    ASSERT_EQ(binds.size(), 1u);
    EXPECT_EQ(RefService::BodyValue(binds[0], "software_id"), "0");
    EXPECT_FALSE(refusal.empty());
}

// A binding whose worker cannot start ends as one without an answer: the
// button is itself again and the window says the binding failed.
TEST_F(BindUsrWndTest, ABindingWhoseWorkerCannotStartGivesTheButtonBack)
{
    CWindowMultiThreadManager::RefuseStartsOf({&BindSpeedThread<g_bindUsrWnd, g_bindUsrWnd>});
    ProbedBindUsrWnd window(kChoices, [] {});
    std::wstring message, buttonText;
    bool buttonEnabled = false;
    Run(window, [&](HWND handle) {
        static_cast<CComboUI*>(window.FindControl(L"seljsq"))->SelectItem(0);
        window.FindControl(L"phonenum")->SetText(L"13700137000");
        window.FindControl(L"checkcode")->SetText(L"123456");
        ClickAt(handle, window.FindControl(L"bind_btn"));
        RunFromTheLoopWhen([&] { return window.FindControl(L"msg_lab")->IsVisible(); },
                           [&, handle] {
                               message = TextOf(window.FindControl(L"msg_lab"));
                               buttonText = TextOf(window.FindControl(L"bind_btn"));
                               buttonEnabled = window.FindControl(L"bind_btn")->IsEnabled();
                               Close(handle);
                           },
                           [handle] { Close(handle); });
    });
    CWindowMultiThreadManager::RefuseStartsOf({});
    EXPECT_EQ(message, L"绑定账号错误！请稍后重试");
    EXPECT_EQ(buttonText, L"绑定");
    EXPECT_TRUE(buttonEnabled);
    EXPECT_EQ(RefService::Journal(kBindPath).size(), 0u);
}

// Enter in the code field binds once: while the request runs its button is
// disabled, and further Enters start nothing.
TEST_F(BindUsrWndTest, EnterWhileABindingRunsStartsNothing)
{
    Json::Value slow = RefService::Fault(kBindPath, "slow");
    slow["seconds"] = 2;
    RefService::AddFault(slow);
    ProbedBindUsrWnd window(kChoices, [] {});
    std::wstring runningText;
    Run(window, [&](HWND handle) {
        static_cast<CComboUI*>(window.FindControl(L"seljsq"))->SelectItem(0);
        window.FindControl(L"phonenum")->SetText(L"13700137000");
        window.FindControl(L"checkcode")->SetText(L"123456");
        window.FindControl(L"checkcode")->SetFocus();
        PostMessageW(handle, WM_KEYDOWN, VK_RETURN, 0);
        RunFromTheLoopIn(300, [&, handle] {
            runningText = TextOf(window.FindControl(L"bind_btn"));
            PostMessageW(handle, WM_KEYDOWN, VK_RETURN, 0);
            PostMessageW(handle, WM_KEYDOWN, VK_RETURN, 0);
            RunFromTheLoopWhen([&] { return window.FindControl(L"bind_btn")->IsEnabled(); },
                               [&, handle] { RunFromTheLoopIn(500, [handle] { Close(handle); }); },
                               [handle] { Close(handle); });
        });
    });
    EXPECT_EQ(runningText, L"正在绑定...");
    EXPECT_EQ(RefService::Journal(kBindPath).size(), 1u);
}

// A bound account shows with every input disabled, its accelerator selected
// when it is still listed; Enter sends nothing.
TEST_F(BindUsrWndTest, ABoundAccountShowsReadOnly)
{
    const struct
    {
        const char* what;
        const char* softwareId;
        int selected;
    } cases[] = {
        {"listed accelerator", "2", 1},
        {"accelerator no longer listed", "9", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProbedBindUsrWnd window(kChoices, [] {});
        std::wstring number, areaCode;
        int selected = -2;
        std::vector<std::pair<std::wstring, bool>> enabled;
        int result = -1;
        if (window.CreateOver(owner.GetWindowHandle()) != nullptr) {
            window.SetBoundAccount("13900139000", c.softwareId);
            HWND handle = window.GetWindowHandle();
            RunFromTheLoopWhen(
                [&] { return IsWindowVisible(handle) && window.FindControl(L"bind_btn")->GetPos().right > 0; },
                [&, handle] {
                    number = TextOf(window.FindControl(L"phonenum"));
                    areaCode = TextOf(window.FindControl(L"area_code"));
                    selected = static_cast<CComboUI*>(window.FindControl(L"seljsq"))->GetSelectedIndex();
                    for (LPCWSTR name : {L"seljsq", L"area_code", L"phonenum", L"checkcode", L"getcheckcode",
                                         L"bind_btn", L"close_btn"})
                        enabled.emplace_back(name, window.FindControl(name)->IsEnabled());
                    window.m_manager.SetFocus(window.FindControl(L"phonenum"));
                    PostMessageW(handle, WM_KEYDOWN, VK_RETURN, 0);
                    RunFromTheLoopIn(500, [handle] { Close(handle); });
                },
                [handle] { Close(handle); });
            result = window.ShowModal(true, true);
            DropPendingLoopAction();
        }
        EXPECT_EQ(result, 0);
        EXPECT_EQ(number, L"13900139000");
        EXPECT_EQ(areaCode, L"");
        EXPECT_EQ(selected, c.selected);
        for (const auto& [name, on] : enabled) {
            SCOPED_TRACE(std::string(name.begin(), name.end()));
            EXPECT_EQ(on, name == L"close_btn");
        }
    }
    EXPECT_EQ(RefService::Journal(kSendCodePath).size(), 0u);
}

// The service no longer knows the session: the window ends with 0 and only
// then tells its opener, once.
TEST_F(BindUsrWndTest, AnExpiredSessionEndsTheWindowWithZeroAndIsReported)
{
    g_sessionData.SetToken("00000000000000000000000000000000");
    int reports = 0;
    std::wstring lastMessage;
    ProbedBindUsrWnd window(kChoices, [&] { ++reports; });
    const int result = Run(window, [&](HWND handle) {
        static_cast<CComboUI*>(window.FindControl(L"seljsq"))->SelectItem(0);
        window.FindControl(L"phonenum")->SetText(L"13700137000");
        window.FindControl(L"checkcode")->SetText(L"123456");
        ClickAt(handle, window.FindControl(L"bind_btn"));
        RunFromTheLoopWhen([&] { return window.FindControl(L"msg_lab")->IsVisible(); },
                           [&] { lastMessage = TextOf(window.FindControl(L"msg_lab")); }, [handle] { Close(handle); },
                           8000);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(reports, 1) << testing::PrintToString(lastMessage);
    EXPECT_EQ(RefService::Journal(kBindPath).size(), 1u);
    EXPECT_EQ(g_sessionData.GetSoftwareUsername(), "");
}

}  // namespace
