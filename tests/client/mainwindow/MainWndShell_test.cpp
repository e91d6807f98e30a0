// The main window of the running client, driven from outside as the system
// and the user drive it: it hides to the notification area and comes back
// from the icon, ignores what would maximise or frame it, keeps its rounded
// region, drags only by its caption band and ends only from the tray menu or
// a WM_CLOSE from outside, taking its icon with it.

#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

#include "ClientProgram.h"
#include "RefService.h"
#include "WineTray.h"
#include "services/RegistryUtil.h"

namespace {

void PutSetting(const char* name, const std::string& value)
{
    WriteRegValue(HKEY_CURRENT_USER, "Software\\calverin", name, REG_SZ, value, static_cast<DWORD>(value.size()));
}

bool MenuShown()
{
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu != nullptr && IsWindowVisible(menu);
}

bool WaitFor(const std::function<bool()>& done, DWORD limitMs = 10000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > limitMs)
            return false;
        Sleep(20);
    }
    return true;
}

class MainWndShell : public testing::Test
{
protected:
    // The shell as users meet it, signed in: the saved token signs in without
    // a window, so no sign-in window holds the main window disabled.
    void SetUp() override
    {
        RefService::Reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\calverin");
        PutSetting("token", "5f0c2a9e7b1d4c38a6e2f9d1b0c7a345");
        PutSetting("username", "13800138000");
        Start();
    }

    // Returns once the start-up chain has signed in and the first pictures
    // are in: until then the silent sign-in's hidden window and the wait
    // overlay disable the main window now and then, and disabling a window
    // ends any menu open over it.
    void Start()
    {
        process = client.Start();
        window = WaitForMainWindow(process);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(WaitFor([] { return CountTrayIcons() == 1; })) << "the client shows no tray icon";
        ASSERT_TRUE(WaitFor([] { return !RefService::Journal("/Box/Game/getSoftwares").empty(); }))
            << "the client did not sign in";
        ASSERT_TRUE(StaysEnabled(window, 1500)) << "the main window stays disabled";
    }

    void Restart()
    {
        RefService::Reset();
        Start();
    }

    void TearDown() override
    {
        if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT)
            CloseClient(window, process);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\calverin");
    }

    void SysCommand(WPARAM command) { SendMessageW(window, WM_SYSCOMMAND, command, 0); }

    RECT WindowRect() const
    {
        RECT rc = {};
        GetWindowRect(window, &rc);
        return rc;
    }

    LRESULT HitTest(int x, int y) const
    {
        POINT pt = {x, y};
        ClientToScreen(window, &pt);
        return SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    }

    bool HasRoundedRegion() const
    {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        const int kind = GetWindowRgn(window, region);
        const RECT rc = WindowRect();
        // A corner pixel lies outside a rounded region, the centre inside.
        const bool rounded = kind != ERROR && !PtInRegion(region, 0, 0) &&
                             PtInRegion(region, (rc.right - rc.left) / 2, (rc.bottom - rc.top) / 2);
        DeleteObject(region);
        return rounded;
    }

    ProgramCopy client{L"calverinapp.exe"};
    HANDLE process = nullptr;
    HWND window = nullptr;
};

TEST_F(MainWndShell, ClosingHidesToTheTrayAndTheIconBringsItBack)
{
    for (UINT click : {WM_LBUTTONUP, WM_LBUTTONDBLCLK}) {
        SCOPED_TRACE(click == WM_LBUTTONUP ? "click" : "double click");
        SysCommand(SC_CLOSE);
        EXPECT_FALSE(IsWindowVisible(window));
        EXPECT_EQ(CountTrayIcons(), 1);
        EXPECT_EQ(WaitForSingleObject(process, 200), static_cast<DWORD>(WAIT_TIMEOUT)) << "a close only hides";

        PostMessageW(FindTrayIconWindow(), click, 0, MAKELPARAM(5, 5));
        EXPECT_TRUE(WaitFor([this] { return IsWindowVisible(window) != FALSE; }));
    }
}

TEST_F(MainWndShell, WhatWouldMaximiseOrOpenTheSystemMenuChangesNothing)
{
    const RECT before = WindowRect();
    SysCommand(SC_MAXIMIZE);
    SysCommand(SC_KEYMENU);
    SendMessageW(window, WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    const RECT after = WindowRect();
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_FALSE(IsZoomed(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(HasRoundedRegion());

    SysCommand(SC_MINIMIZE);
    EXPECT_TRUE(WaitFor([this] { return IsIconic(window) != FALSE; }));
    EXPECT_TRUE(HasRoundedRegion()) << "the region survives minimising";
    ShowWindow(window, SW_RESTORE);
    EXPECT_TRUE(WaitFor([this] { return IsIconic(window) == FALSE; }));
    EXPECT_TRUE(HasRoundedRegion());
}

TEST_F(MainWndShell, ComesUpWithItsCacheFolderAndOneTrayIcon)
{
    // The folder comes right after the tray icon, on the client's own thread.
    const std::wstring cache = client.Folder().File(L"cache");
    EXPECT_TRUE(WaitFor([&cache] {
        const DWORD attributes = GetFileAttributesW(cache.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }));
    EXPECT_EQ(CountTrayIcons(), 1);
}

TEST_F(MainWndShell, OnlyTheCaptionBandsBackgroundAndLogoDrag)
{
    EXPECT_EQ(HitTest(300, 40), HTCAPTION) << "the band's background";
    EXPECT_EQ(HitTest(30, 43), HTCAPTION) << "the logo";
    EXPECT_EQ(HitTest(1164, 43), HTCLIENT) << "the close button";
    EXPECT_EQ(HitTest(1124, 43), HTCLIENT) << "the minimise button";
    EXPECT_EQ(HitTest(300, 200), HTCLIENT) << "below the band";
}

TEST_F(MainWndShell, AWmCloseFromOutsideEndsTheClientWithItsIcon)
{
    EXPECT_EQ(CloseClient(window, process), 0u);
    EXPECT_TRUE(WaitFor([] { return CountTrayIcons() == 0; }));
}

TEST_F(MainWndShell, TheIconComesBackWhenTheTaskbarIsCreatedAgain)
{
    // As a restarting shell does: the icon is gone, then "TaskbarCreated"
    // goes to every top-level window.
    NOTIFYICONDATAW icon = {};
    icon.cbSize = sizeof icon;
    icon.hWnd = window;
    icon.uID = 1000;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &icon));
    ASSERT_TRUE(WaitFor([] { return CountTrayIcons() == 0; }));
    SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitFor([] { return CountTrayIcons() == 1; }));
}

TEST_F(MainWndShell, TheTrayMenusFirstEntryShowsTheWindow)
{
    SysCommand(SC_CLOSE);
    ASSERT_FALSE(IsWindowVisible(window));
    // The menu runs its own loop on the client's thread; keys posted to the
    // client's window reach it there. The menu opens under the cursor, which
    // may already have picked an entry, so Home chooses, not an arrow.
    PostMessageW(FindTrayIconWindow(), WM_RBUTTONDOWN, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(WaitFor([] { return FindWindowW(L"#32768", nullptr) != nullptr; })) << "no tray menu opened";
    PostMessageW(window, WM_KEYDOWN, VK_HOME, 0);
    PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(WaitFor([this] { return IsWindowVisible(window) != FALSE; }));
    EXPECT_TRUE(WaitFor([] { return !MenuShown(); })) << "the menu stayed open";
}

// The exit entry ends the client with 0 and takes its icon along, from the
// tray and over the shown window.
TEST_F(MainWndShell, TheTrayMenusExitEntryEndsTheClient)
{
    for (const bool hidden : {true, false}) {
        SCOPED_TRACE(hidden ? "hidden in the tray" : "shown");
        if (!hidden)
            Restart();
        if (hidden)
            SysCommand(SC_CLOSE);
        PostMessageW(FindTrayIconWindow(), WM_RBUTTONDOWN, 0, MAKELPARAM(5, 5));
        ASSERT_TRUE(WaitFor([] { return FindWindowW(L"#32768", nullptr) != nullptr; })) << "no tray menu opened";
        PostMessageW(window, WM_KEYDOWN, VK_END, 0);
        PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_EQ(WaitForExit(process), 0u);
        EXPECT_TRUE(WaitFor([] { return CountTrayIcons() == 0; }));
    }
}

}  // namespace
