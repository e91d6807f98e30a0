// The accelerator-account binding as the signed-in main window offers it, in
// the test's own process against the reference service: from the user menu
// (read-only once an account is bound), a session that ends while the
// binding window is open (the window ends before the sign-in window shows),
// and the binding a new user is offered once the sign-in window has closed.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "RefService.h"
#include "ScratchFolder.h"
#include "SkinPlaces.h"
#include "TestPaths.h"
#include "ThreadTimerAction.h"
#include "controls/ListElementUI.h"
#include "controls/ComboUI.h"
#include "core/TabLayoutUI.h"
#include "dialogs/BindUsrWnd.h"
#include "dialogs/LoginWnd.h"
#include "mainwindow/MainWnd.h"
#include "services/AppFolder.h"
#include "services/RegistryUtil.h"
#include "services/SessionData.h"

using namespace CalUI;

namespace {

const char kDemoToken[] = "5f0c2a9e7b1d4c38a6e2f9d1b0c7a345";

// Reaches the controls of the window that a global pointer names.
class ProbedBindUsrWnd : public CBindUsrWnd
{
public:
    using CDialogWnd::FindControl;
};

class ProbedLoginWnd : public CLoginWnd
{
public:
    using CDialogWnd::FindControl;
};

CControlUI* BindingControl(LPCWSTR name)
{
    return g_bindUsrWnd != nullptr ? static_cast<ProbedBindUsrWnd*>(g_bindUsrWnd)->FindControl(name) : nullptr;
}

CControlUI* LoginControl(LPCWSTR name)
{
    return g_loginWnd != nullptr ? static_cast<ProbedLoginWnd*>(g_loginWnd)->FindControl(name) : nullptr;
}

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

void ClickAt(HWND window, CControlUI* control)
{
    ASSERT_NE(control, nullptr);
    const RECT rc = control->GetPos();
    PostClick(window, POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
}

class MainWndBinding : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        archive = ScratchFolder::ReadFile(BuildTreePath(L"client\\skin\\client.zip"));
        CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
        CWindowManagerUI::SetResourceZip(archive.data(), static_cast<unsigned>(archive.size()), nullptr);
        userButton = SkinControlCentre(L"main.xml", L"user_btn");
        bindRow = SkinControlCentre(L"main.xml", L"usermenu_bindjsq");
    }

    void SetUp() override
    {
        RefService::Reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\calverin");
        g_sessionData.SetSoftwareId("");
        g_sessionData.SetSoftwareUsername("");
        g_appFolder = folder.File(L"");
    }

    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\calverin"); }

    // The demo user signs in with the saved token as the client does at
    // start-up; `action` runs once the catalogue requests have gone.
    void StartSignedIn(std::function<void()> action)
    {
        PutSetting("token", kDemoToken);
        PutSetting("username", "13800138000");
        ASSERT_NE(mainWnd.Create(nullptr, L"Calverin", 0x96CF0000, 0, 0, 0, 0, 0, nullptr), nullptr);
        mainWnd.CenterWindow();
        RunFromTheLoopWhen([] { return RefService::Journal("/Box/Game/getSoftwares").size() == 1; }, action,
                           [this] { mainWnd.Close(0); }, 20000);
    }

    // Clicks the user menu's binding entry; `then` runs once the binding
    // window shows laid out.
    void OpenBindingFromMenu(std::function<void()> then)
    {
        HWND main = mainWnd.GetWindowHandle();
        PostClick(main, userButton);
        RunFromTheLoopIn(400, [this, main, then] {
            PostClick(main, bindRow);
            RunFromTheLoopWhen(
                [] {
                    return VisibleWindow(L"CBindUsrWnd") != nullptr && BindingControl(L"bind_btn") != nullptr &&
                           BindingControl(L"bind_btn")->GetPos().right > 0;
                },
                then, [this] { mainWnd.Close(0); });
        });
    }

    static std::string archive;
    static POINT userButton, bindRow;
    ScratchFolder folder;
    CMainWnd mainWnd;
};

std::string MainWndBinding::archive;
POINT MainWndBinding::userButton, MainWndBinding::bindRow;

TEST_F(MainWndBinding, TheUserMenuOpensTheBindingReadOnlyOnceAnAccountIsBound)
{
    const struct
    {
        const char* what;
        const char* account;
        bool editable;
    } cases[] = {
        {"nothing bound", "", true},
        {"an account bound", "13900139000", false},
    };
    struct Seen
    {
        bool opened = false, mainDisabled = false, editable = false;
        std::wstring number;
    } seen[std::size(cases)];
    std::function<void(size_t)> play = [&](size_t i) {
        if (i == std::size(cases)) {
            mainWnd.Close(0);
            return;
        }
        g_sessionData.SetSoftwareUsername(cases[i].account);
        g_sessionData.SetSoftwareId(*cases[i].account != '\0' ? "1" : "");
        OpenBindingFromMenu([&, i] {
            seen[i].opened = true;
            seen[i].editable = BindingControl(L"phonenum")->IsEnabled() && BindingControl(L"bind_btn")->IsEnabled();
            seen[i].number = BindingControl(L"phonenum")->GetText().GetData();
            seen[i].mainDisabled = !IsWindowEnabled(mainWnd.GetWindowHandle());
            PostMessageW(VisibleWindow(L"CBindUsrWnd"), WM_SYSCOMMAND, SC_CLOSE, 0);
            RunFromTheLoopWhen([] { return FindWindowW(L"CBindUsrWnd", nullptr) == nullptr; }, [&, i] { play(i + 1); },
                               [this] { mainWnd.Close(0); });
        });
    };
    StartSignedIn([&] { play(0); });
    EXPECT_EQ(mainWnd.ShowModal(), 0);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].what);
        EXPECT_TRUE(seen[i].opened);
        EXPECT_TRUE(seen[i].mainDisabled) << "the binding window is modal over the main window";
        EXPECT_EQ(seen[i].editable, cases[i].editable);
        if (!cases[i].editable) {
            EXPECT_EQ(seen[i].number, L"13900139000");
        }
    }
}

// The service drops the session while the user binds: the binding window
// ends first, then the sign-in window comes, with the saved sign-in
// forgotten. Also when another request reports the end of the session.
TEST_F(MainWndBinding, AnEndedSessionClosesTheBindingWindowBeforeTheSignInWindowShows)
{
    const struct
    {
        const char* what;
        bool byTheBinding;  // else reported by another request
    } cases[] = {{"the binding refused", true}, {"another request", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RefService::Reset();
        bool bindingGoneAtSignIn = false, signInShown = false;
        StartSignedIn([&] {
            OpenBindingFromMenu([&] {
                if (c.byTheBinding) {
                    // The service forgets the token the client signed in with.
                    Json::Value user;
                    user["mobile"] = "13800138000";
                    user["token"] = "0123456789abcdef0123456789abcdef";
                    RefService::PutUser(user);
                    auto* item = new CListLabelElementUI;
                    item->SetText(L"Ostrel加速器");
                    item->SetTag(1);
                    auto* box = static_cast<CComboUI*>(BindingControl(L"seljsq"));
                    box->Add(item);
                    box->SelectItem(0);
                    BindingControl(L"phonenum")->SetText(L"13700137000");
                    BindingControl(L"checkcode")->SetText(L"123456");
                    ClickAt(VisibleWindow(L"CBindUsrWnd"), BindingControl(L"bind_btn"));
                } else {
                    mainWnd.PostMsg(mainWnd.GetWindowHandle(), &CMainWnd::OnSessionExpired, 0, 0);
                }
                RunFromTheLoopWhen([] { return VisibleWindow(L"CLoginWnd") != nullptr; },
                                   [&] {
                                       signInShown = true;
                                       bindingGoneAtSignIn = FindWindowW(L"CBindUsrWnd", nullptr) == nullptr;
                                       PostMessageW(VisibleWindow(L"CLoginWnd"), WM_SYSCOMMAND, SC_CLOSE, 0);
                                   },
                                   [this] { mainWnd.Close(0); });
            });
        });
        EXPECT_EQ(mainWnd.ShowModal(), 0);
        DropPendingLoopAction();
        EXPECT_TRUE(signInShown);
        EXPECT_TRUE(bindingGoneAtSignIn);
        EXPECT_EQ(Setting(L"token"), L"");
        if (c.byTheBinding) {
            EXPECT_EQ(RefService::Journal("/Box/User/bindSpeed").size(), 1u);
        }
    }
}

// A new number signs in by code and skips the password: the binding window
// comes once the sign-in window has gone, and only once.
TEST_F(MainWndBinding, ANewUserIsOfferedTheBindingOnceTheSignInWindowHasClosed)
{
    const std::string mobile = "13700137000";
    bool loginGoneAtBinding = false;
    int bindingWindows = 0;
    auto end = [this] { mainWnd.Close(0); };
    ASSERT_NE(mainWnd.Create(nullptr, L"Calverin", 0x96CF0000, 0, 0, 0, 0, 0, nullptr), nullptr);
    mainWnd.CenterWindow();
    RunFromTheLoopWhen(
        [] { return VisibleWindow(L"CLoginWnd") != nullptr && LoginControl(L"login_btn")->GetPos().right > 0; },
        [&] {
            HWND login = VisibleWindow(L"CLoginWnd");
            static_cast<CTabLayoutUI*>(LoginControl(L"child_page"))->SelectItem(1, true);
            LoginControl(L"mobile_code_1")->SetText(L"13700137000");
            ClickAt(login, LoginControl(L"send_verify_btn"));
            RunFromTheLoopWhen(
                [&] { return !RefService::SmsCode(mobile).empty(); },
                [&, login] {
                    const std::string code = RefService::SmsCode(mobile);
                    LoginControl(L"verify_code")->SetText(std::wstring(code.begin(), code.end()).c_str());
                    ClickAt(login, LoginControl(L"login_btn"));
                    auto* pages = static_cast<CTabLayoutUI*>(LoginControl(L"child_page"));
                    RunFromTheLoopWhen(
                        [pages] { return pages->GetSelectedIndex() == 2; },
                        [&, login] {
                            ClickAt(login, LoginControl(L"go_close_btn"));
                            RunFromTheLoopWhen(
                                [] { return VisibleWindow(L"CBindUsrWnd") != nullptr; },
                                [&] {
                                    ++bindingWindows;
                                    loginGoneAtBinding = FindWindowW(L"CLoginWnd", nullptr) == nullptr;
                                    PostMessageW(VisibleWindow(L"CBindUsrWnd"), WM_SYSCOMMAND, SC_CLOSE, 0);
                                    // A second offer would show within this time.
                                    RunFromTheLoopIn(3000, [&] {
                                        bindingWindows += VisibleWindow(L"CBindUsrWnd") != nullptr ? 1 : 0;
                                        mainWnd.Close(0);
                                    });
                                },
                                end);
                        },
                        end);
                },
                end);
        },
        end, 30000);
    EXPECT_EQ(mainWnd.ShowModal(), 0);
    DropPendingLoopAction();
    EXPECT_EQ(bindingWindows, 1);
    EXPECT_TRUE(loginGoneAtBinding);
}

}  // namespace
