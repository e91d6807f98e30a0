// The client program against the reference service, from start-up to
// sign-out: each road of the start-up chain (up to date, update offered,
// version check or configuration failing, a Favorites folder), the saved
// token's silent sign-in and the sign-out through the user menu. The client
// runs from a scratch folder with the client's registry key reset; the test
// clicks where the skins put the controls and reads the journal, the
// registry, the windows, the files and the exit code.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "ClientProgram.h"
#include "RefService.h"
#include "ScratchFolder.h"
#include "SkinPlaces.h"
#include "TestPaths.h"
#include "WineTray.h"
#include "core/WindowManagerUI.h"
#include "services/RegistryUtil.h"
#include "services/TextConvert.h"

namespace {

const char kVersionPath[] = "/Box/Version/checkVersion";
const char kConfigPath[] = "/Box/Config/getConfig";
const char kLoginPath[] = "/Box/User/login";
const char* const kCataloguePaths[] = {"/Box/Game/getGamesCategory", "/Box/Game/ownerGamesCategory",
                                       "/Box/Game/getSoftwares"};
const char kDemoToken[] = "5f0c2a9e7b1d4c38a6e2f9d1b0c7a345";
const char kDemoMobile[] = "13800138000";

bool WaitFor(const std::function<bool()>& done, DWORD limitMs = 20000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > limitMs)
            return false;
        Sleep(50);
    }
    return true;
}

// A visible top-level window of the class that the process owns; null when
// none shows.
HWND VisibleWindowOf(HANDLE process, LPCWSTR className)
{
    for (HWND w = FindWindowExW(nullptr, nullptr, className, nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, className, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == GetProcessId(process) && IsWindowVisible(w))
            return w;
    }
    return nullptr;
}

HWND WaitForWindow(HANDLE process, LPCWSTR className)
{
    HWND found = nullptr;
    WaitFor([&] { return (found = VisibleWindowOf(process, className)) != nullptr; });
    return found;
}

int WindowsOf(HANDLE process, LPCWSTR className)
{
    int count = 0;
    for (HWND w = FindWindowExW(nullptr, nullptr, className, nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, className, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == GetProcessId(process))
            ++count;
    }
    return count;
}

unsigned Requests(const char* path) { return RefService::Journal(path).size(); }

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

std::wstring Utf16File(const std::wstring& path)
{
    const std::string bytes = ScratchFolder::ReadFile(path);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

class MainWndSignIn : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        archive = ScratchFolder::ReadFile(BuildTreePath(L"client\\skin\\client.zip"));
        CalUI::CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
        CalUI::CWindowManagerUI::SetResourceZip(archive.data(), static_cast<unsigned>(archive.size()), nullptr);
    }

    void SetUp() override
    {
        RefService::Reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\calverin");
    }

    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\calverin"); }

    static POINT BoxButton(LPCWSTR name, bool cancelShown)
    {
        if (cancelShown)
            return SkinControlCentre(L"msgbox.xml", name);
        return SkinControlCentre(L"msgbox.xml", name, {L"msgbox_cancel"});
    }

    // Starts the client and waits for its main window.
    HANDLE Start(ProgramCopy& client)
    {
        HANDLE process = client.Start();
        mainWindow = WaitForMainWindow(process);
        EXPECT_NE(mainWindow, nullptr);
        return process;
    }

    // Starts with the demo user's saved token and waits for the sign-in and
    // the catalogue requests it starts.
    HANDLE StartSignedIn(ProgramCopy& client)
    {
        PutSetting("token", kDemoToken);
        PutSetting("username", kDemoMobile);
        HANDLE process = Start(client);
        EXPECT_TRUE(WaitFor([] {
            for (const char* path : kCataloguePaths) {
                if (Requests(path) == 0)
                    return false;
            }
            return true;
        })) << "the catalogue requests do not follow the sign-in";
        return process;
    }

    static std::string archive;
    HWND mainWindow = nullptr;
};

std::string MainWndSignIn::archive;

TEST_F(MainWndSignIn, UpToDateTheChainEndsInTheSignInWindowWhoseClosingEndsTheClient)
{
    ProgramCopy client(L"calverinapp.exe");
    HANDLE process = Start(client);
    HWND login = WaitForWindow(process, L"CLoginWnd");
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(Requests(kVersionPath), 1u);
    EXPECT_EQ(Requests(kConfigPath), 1u);
    EXPECT_FALSE(IsWindowEnabled(mainWindow)) << "the sign-in window is modal over the main window";

    PostMessageW(login, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(WaitForExit(process), 0u);
    EXPECT_EQ(Requests(kLoginPath), 0u);
}

// Whatever the user answers to the update offer, the client ends; only
// "立即更新" with an updater beside the client starts the copied updater,
// with the service's text as its parameters.
TEST_F(MainWndSignIn, AnOfferedUpdateEndsTheClientAndStartsOnlyTheCopiedUpdater)
{
    const std::string updater = ScratchFolder::ReadFile(BuildTreePath(L"tests\\test_updater.exe"));
    ASSERT_FALSE(updater.empty());
    const std::string updateText = "--from 200 --to 201 \"C:\\a b\"";
    struct Case
    {
        const char* what;
        bool updaterPresent;
        LPCWSTR answer;   // the box's button
        bool missingBox;  // a second box says the updater is missing
        bool updaterStarts;
    } cases[] = {
        {"update", true, L"msgbox_ok", false, true},
        {"quit", true, L"msgbox_cancel", false, false},
        {"closed", true, L"close_btn", false, false},
        {"update without an updater", false, L"msgbox_ok", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RefService::Reset();
        Json::Value config;
        config["update_text"] = updateText;
        RefService::PutConfig(config);
        ProgramCopy client(L"calverinapp.exe");
        if (c.updaterPresent) {
            client.Folder().WriteFile(L"update.exe", updater);
            CreateDirectoryW(client.Folder().File(L"update").c_str(), nullptr);
            client.Folder().WriteFile(L"update\\update.exe", "an older updater");
        }
        HANDLE process = Start(client);
        HWND box = WaitForWindow(process, L"CMsgBoxWnd");
        ASSERT_NE(box, nullptr);
        PostClick(box, BoxButton(c.answer, true));
        if (c.missingBox) {
            ASSERT_TRUE(WaitFor([&] {
                HWND second = VisibleWindowOf(process, L"CMsgBoxWnd");
                return second != nullptr && second != box;
            })) << "no box about the missing updater";
            PostClick(VisibleWindowOf(process, L"CMsgBoxWnd"), BoxButton(L"msgbox_ok", false));
        }
        EXPECT_EQ(WaitForExit(process), 0u);
        EXPECT_EQ(Requests(kConfigPath), 0u);
        const std::wstring copy = client.Folder().File(L"update\\update.exe");
        const std::wstring started = copy + L".cmdline";
        if (c.updaterStarts) {
            EXPECT_EQ(ScratchFolder::ReadFile(copy), updater) << "the copy in \"update\" is overwritten";
            ASSERT_TRUE(WaitFor([&] { return !ScratchFolder::ReadFile(started).empty(); }));
            const std::wstring commandLine = Utf16File(started);
            EXPECT_NE(commandLine.find(L"update\\update.exe"), std::wstring::npos) << "the copy is what starts";
            const std::wstring parameters = L"--from 200 --to 201 \"C:\\a b\"";
            ASSERT_GE(commandLine.size(), parameters.size());
            EXPECT_EQ(commandLine.substr(commandLine.size() - parameters.size()), parameters);
        } else {
            Sleep(500);
            EXPECT_FALSE(EntryExists(started)) << "no updater may start";
            if (c.updaterPresent) {
                EXPECT_EQ(ScratchFolder::ReadFile(copy), "an older updater");
            }
        }
    }
}

// A failed version check leaves the client up without a user and asks
// nothing more; a failed configuration request ends the client.
TEST_F(MainWndSignIn, FailedStartRequestsShowTheirBoxThenStopOrEnd)
{
    struct Case
    {
        const char* what;
        const char* path;
        Json::Value fault;
        bool ends;
    } cases[] = {
        {"version check, status 500 at both listeners", kVersionPath, RefService::Fault(kVersionPath, "status"), false},
        {"version check, a service code", kVersionPath, RefService::Fault(kVersionPath, "code"), false},
        {"configuration, a service code", kConfigPath, RefService::Fault(kConfigPath, "code"), true},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        RefService::Reset();
        if (c.fault["kind"].asString() == "status")
            c.fault["status"] = 500;
        else {
            c.fault["code"] = 10009;
            c.fault["message"] = "服务维护中";
        }
        RefService::AddFault(c.fault);
        ProgramCopy client(L"calverinapp.exe");
        HANDLE process = Start(client);
        HWND box = WaitForWindow(process, L"CMsgBoxWnd");
        ASSERT_NE(box, nullptr);
        PostClick(box, BoxButton(L"msgbox_ok", false));
        if (c.ends) {
            EXPECT_EQ(WaitForExit(process), 0u);
            continue;
        }
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
        Sleep(1000);
        EXPECT_EQ(WaitForSingleObject(process, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the client stays up";
        EXPECT_TRUE(IsWindowVisible(mainWindow));
        EXPECT_TRUE(IsWindowEnabled(mainWindow));
        EXPECT_EQ(VisibleWindowOf(process, L"CLoginWnd"), nullptr);
        EXPECT_EQ(Requests(kConfigPath), 0u);
        EXPECT_EQ(Requests(kLoginPath), 0u);
        EXPECT_EQ(CloseClient(mainWindow, process), 0u);
    }
}

// The folder name is compared exactly: only "\Favorites\" is refused.
TEST_F(MainWndSignIn, AFavoritesFolderIsRefusedBeforeAnyRequest)
{
    {
        ProgramCopy client(L"calverinapp.exe", L"Favorites\\");
        HANDLE process = Start(client);
        HWND box = WaitForWindow(process, L"CMsgBoxWnd");
        ASSERT_NE(box, nullptr);
        PostClick(box, BoxButton(L"msgbox_ok", false));
        EXPECT_EQ(WaitForExit(process), 0u);
        EXPECT_EQ(Requests(kVersionPath), 0u);
    }
    ProgramCopy client(L"calverinapp.exe", L"favorites\\");
    HANDLE process = Start(client);
    HWND login = WaitForWindow(process, L"CLoginWnd");
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(Requests(kVersionPath), 1u);
    PostMessageW(login, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(WaitForExit(process), 0u);
}

TEST_F(MainWndSignIn, ASavedTokenSignsInWithoutEverShowingTheSignInWindow)
{
    PutSetting("token", kDemoToken);
    PutSetting("username", kDemoMobile);
    ProgramCopy client(L"calverinapp.exe");
    HANDLE process = client.Start();
    bool loginShown = false;
    ASSERT_TRUE(WaitFor([&] {
        loginShown = loginShown || VisibleWindowOf(process, L"CLoginWnd") != nullptr;
        for (const char* path : kCataloguePaths) {
            if (Requests(path) != 1)
                return false;
        }
        return true;
    })) << "the catalogue requests do not follow the sign-in";
    EXPECT_FALSE(loginShown);
    EXPECT_EQ(Requests(kLoginPath), 1u);
    mainWindow = WaitForMainWindow(process);
    ASSERT_NE(mainWindow, nullptr);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(mainWindow) != FALSE; }));
    EXPECT_EQ(Setting(L"token"), L"5f0c2a9e7b1d4c38a6e2f9d1b0c7a345");
    EXPECT_EQ(Setting(L"token2"), L"1001");
    EXPECT_EQ(Setting(L"username"), L"13800138000");
    EXPECT_EQ(CloseClient(mainWindow, process), 0u);
}

TEST_F(MainWndSignIn, ARejectedTokenShowsTheSignInWindow)
{
    PutSetting("token", "00000000000000000000000000000000");
    PutSetting("username", kDemoMobile);
    ProgramCopy client(L"calverinapp.exe");
    HANDLE process = Start(client);
    HWND login = WaitForWindow(process, L"CLoginWnd");
    ASSERT_NE(login, nullptr);
    // Once seen without the request: the client's log tells which way it went.
    EXPECT_EQ(Requests(kLoginPath), 1u) << "token now: " << WideToUtf8(Setting(L"token")) << "\nthe client's log:\n"
                                        << WideToUtf8(Utf16File(client.LogPath()));
    for (const char* path : kCataloguePaths)
        EXPECT_EQ(Requests(path), 0u) << path;
    PostMessageW(login, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(WaitForExit(process), 0u);
}

// Only "确定退出" signs out: the token goes, the user name stays, and the
// sign-in window that follows ends the client when it is closed.
TEST_F(MainWndSignIn, SignOutByTheUserMenu)
{
    const POINT userButton = SkinControlCentre(L"main.xml", L"user_btn");
    const POINT logoutRow = SkinControlCentre(L"main.xml", L"usermenu_logout");
    struct Case
    {
        const char* what;
        LPCWSTR answer;  // null: SC_CLOSE
        bool signsOut;
    } cases[] = {
        {"cancel", L"cancel_logout", false},
        {"close button", L"close_btn", false},
        {"system close", nullptr, false},
        {"confirm", L"ok_logout", true},
    };
    ProgramCopy client(L"calverinapp.exe");
    HANDLE process = StartSignedIn(client);
    ASSERT_TRUE(StaysEnabled(mainWindow, 1500));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PostClick(mainWindow, userButton);
        Sleep(300);
        PostClick(mainWindow, logoutRow);
        HWND confirmation = WaitForWindow(process, L"CLogoutWnd");
        ASSERT_NE(confirmation, nullptr);
        if (c.answer != nullptr)
            PostClick(confirmation, SkinControlCentre(L"logout.xml", c.answer));
        else
            PostMessageW(confirmation, WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(confirmation); }));
        if (!c.signsOut) {
            Sleep(300);
            EXPECT_EQ(VisibleWindowOf(process, L"CLoginWnd"), nullptr);
            EXPECT_EQ(Setting(L"token"), L"5f0c2a9e7b1d4c38a6e2f9d1b0c7a345");
            continue;
        }
        HWND login = WaitForWindow(process, L"CLoginWnd");
        ASSERT_NE(login, nullptr);
        EXPECT_EQ(Setting(L"token"), L"");
        EXPECT_EQ(Setting(L"token2"), L"");
        EXPECT_EQ(Setting(L"username"), L"13800138000");
        PostMessageW(login, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(WaitForExit(process), 0u);
    }
}

// A catalogue request that fails shows its box and changes nothing, unless
// the service says the session is gone: then the sign-in is forgotten and
// one sign-in window comes.
TEST_F(MainWndSignIn, FailedCatalogueRequestsShowABoxAndAnExpiredSessionSignsInAgain)
{
    struct Case
    {
        const char* what;
        const char* path;
        const char* kind;
        int code;
        bool expired;
    } cases[] = {
        {"own categories, 10011", "/Box/Game/ownerGamesCategory", "code", 10011, true},
        {"own categories, 10013", "/Box/Game/ownerGamesCategory", "code", 10013, true},
        {"own categories, 10016", "/Box/Game/ownerGamesCategory", "code", 10016, true},
        {"own categories, 10010", "/Box/Game/ownerGamesCategory", "code", 10010, false},
        {"own categories, 10017", "/Box/Game/ownerGamesCategory", "code", 10017, false},
        {"all categories refused", "/Box/Game/getGamesCategory", "code", 10006, false},
        {"accelerator list unreadable", "/Box/Game/getSoftwares", "not_json", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RefService::Reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\calverin");
        Json::Value fault = RefService::Fault(c.path, c.kind);
        fault["count"] = 1;
        if (c.code != 0) {
            fault["code"] = c.code;
            fault["message"] = "列表暂时不可用";
        }
        RefService::AddFault(fault);
        ProgramCopy client(L"calverinapp.exe");
        HANDLE process = StartSignedIn(client);
        HWND box = WaitForWindow(process, L"CMsgBoxWnd");
        ASSERT_NE(box, nullptr);
        PostClick(box, BoxButton(L"msgbox_ok", false));
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
        if (!c.expired) {
            Sleep(1000);
            EXPECT_EQ(VisibleWindowOf(process, L"CLoginWnd"), nullptr);
            EXPECT_EQ(Setting(L"token"), L"5f0c2a9e7b1d4c38a6e2f9d1b0c7a345");
            EXPECT_EQ(CloseClient(mainWindow, process), 0u);
            continue;
        }
        HWND login = WaitForWindow(process, L"CLoginWnd");
        ASSERT_NE(login, nullptr);
        EXPECT_EQ(WindowsOf(process, L"CLoginWnd"), 1);
        EXPECT_EQ(Setting(L"token"), L"");
        EXPECT_EQ(Setting(L"token2"), L"");
        PostMessageW(login, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(WaitForExit(process), 0u);
    }
}

// The whole way in and out as a user goes it: a password typed into the
// sign-in window, the tray's exit, a start with the saved token, sign-out by
// the user menu and the sign-in window closed.
TEST_F(MainWndSignIn, OneScriptedRoadInAndOut)
{
    const char* const loginCount = kLoginPath;
    PutSetting("username", kDemoMobile);
    {
        ProgramCopy client(L"calverinapp.exe");
        HANDLE process = Start(client);
        HWND login = WaitForWindow(process, L"CLoginWnd");
        ASSERT_NE(login, nullptr);
        Sleep(500);
        PostClick(login, SkinControlCentre(L"login.xml", L"pwd_code_0"));
        for (wchar_t c : std::wstring(L"demo1234"))
            PostMessageW(login, WM_CHAR, c, 1);
        PostMessageW(login, WM_KEYDOWN, VK_RETURN, 1);
        ASSERT_TRUE(WaitFor([] { return Requests("/Box/Game/getSoftwares") == 1; })) << "no sign-in by password";
        EXPECT_EQ(Requests(loginCount), 1u);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(login); }));
        EXPECT_EQ(Setting(L"token"), L"5f0c2a9e7b1d4c38a6e2f9d1b0c7a345");
        EXPECT_EQ(Setting(L"token2"), L"1001");

        // The tray menu's second entry ends the client.
        ASSERT_TRUE(WaitFor([] { return FindTrayIconWindow() != nullptr; }));
        PostMessageW(FindTrayIconWindow(), WM_RBUTTONDOWN, 0, MAKELPARAM(5, 5));
        ASSERT_TRUE(WaitFor([] { return FindWindowW(L"#32768", nullptr) != nullptr; })) << "no tray menu opened";
        PostMessageW(mainWindow, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(mainWindow, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(mainWindow, WM_KEYDOWN, VK_RETURN, 0);
        ASSERT_EQ(WaitForExit(process), 0u);
    }
    ProgramCopy client(L"calverinapp.exe");
    HANDLE process = Start(client);
    ASSERT_TRUE(WaitFor([] { return Requests("/Box/Game/getSoftwares") == 2; })) << "no sign-in by the saved token";
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(mainWindow) != FALSE; }));
    PostClick(mainWindow, SkinControlCentre(L"main.xml", L"user_btn"));
    Sleep(300);
    PostClick(mainWindow, SkinControlCentre(L"main.xml", L"usermenu_logout"));
    HWND confirmation = WaitForWindow(process, L"CLogoutWnd");
    ASSERT_NE(confirmation, nullptr);
    PostClick(confirmation, SkinControlCentre(L"logout.xml", L"ok_logout"));
    HWND login = WaitForWindow(process, L"CLoginWnd");
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(Setting(L"token"), L"");
    PostMessageW(login, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(WaitForExit(process), 0u);
}

}  // namespace
