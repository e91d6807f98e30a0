// The client program itself, started as a separate process from a scratch
// program folder against the reference service: its main window, its log, a
// second start and a build that carries no skin archive.

#include "ClientProgram.h"
#include "RefService.h"
#include "ScratchFolder.h"
#include "services/SingleInstance.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kSkinWidth = 1200;  // the size that main.xml gives the window
constexpr int kSkinHeight = 800;
constexpr unsigned long kLogCapBytes = 1024 * 1024;
const std::string kBom = "\xFF\xFE";

std::wstring Utf16Text(const std::string& bytes)
{
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

// True when `upper` comes before `lower` in the desktop's top-down order.
bool IsAbove(HWND upper, HWND lower)
{
    for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == upper)
            return true;
        if (w == lower)
            return false;
    }
    return false;
}

// A plain visible top-level window of this process that covers the screen's
// top-left part, for telling which window a start brought to the front.
class CoveringWindow
{
public:
    CoveringWindow()
    {
        m_window = CreateWindowExW(0, L"STATIC", L"cover", WS_POPUP | WS_VISIBLE, 0, 0, 1200, 900, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    }
    ~CoveringWindow() { DestroyWindow(m_window); }
    CoveringWindow(const CoveringWindow&) = delete;
    CoveringWindow& operator=(const CoveringWindow&) = delete;

    // The client may still be raising its own window as its start ends (later
    // on a loaded machine): the cover is raised until it stays above.
    void RaiseAbove(HWND window)
    {
        for (int attempt = 0; attempt < 25; ++attempt) {
            SetWindowPos(m_window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            Sleep(200);
            if (IsAbove(m_window, window))
                return;
        }
        ADD_FAILURE() << "the cover never stayed above the client's window";
    }
    HWND Handle() const { return m_window; }

private:
    HWND m_window = nullptr;
};

}  // namespace

TEST(StartupTest, MainWindowComesUpCentredWithTheSkinsSizeAndClosesWithExitCodeZero)
{
    RefService::Reset();
    ProgramCopy client(L"calverinapp.exe");
    HANDLE process = client.Start();
    HWND window = WaitForMainWindow(process);
    ASSERT_NE(nullptr, window);

    RECT rc;
    GetWindowRect(window, &rc);
    EXPECT_EQ(kSkinWidth, rc.right - rc.left);
    EXPECT_EQ(kSkinHeight, rc.bottom - rc.top);
    // Centred in the work area of the monitor that shows it, and that monitor
    // is the whole screen the display runs, not a stand-in the system gives
    // before it knows the screen.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONULL), &monitor));
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    ASSERT_TRUE(EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode));
    EXPECT_EQ(static_cast<LONG>(mode.dmPelsWidth), monitor.rcMonitor.right - monitor.rcMonitor.left);
    EXPECT_EQ(static_cast<LONG>(mode.dmPelsHeight), monitor.rcMonitor.bottom - monitor.rcMonitor.top);
    const RECT& work = monitor.rcWork;
    EXPECT_EQ((work.left + work.right) / 2 - kSkinWidth / 2, rc.left);
    EXPECT_EQ((work.top + work.bottom) / 2 - kSkinHeight / 2, rc.top);
    // Created WS_POPUP, WS_VISIBLE, WS_CLIPSIBLINGS, WS_CLIPCHILDREN and
    // WS_OVERLAPPEDWINDOW; frameless from its creation on, with the system
    // menu and the minimise and maximise boxes kept for the taskbar.
    EXPECT_EQ(0x96CF0000u & ~static_cast<DWORD>(WS_CAPTION | WS_THICKFRAME),
              static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)));
    EXPECT_EQ(0, GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(nullptr, GetParent(window));

    EXPECT_EQ(0u, CloseClient(window, process));
}

// What start-up does with the log it finds in the program folder.
TEST(StartupTest, LogBeginsWithTheVersionUnlessASmallLogIsThere)
{
    RefService::Reset();
    const std::wregex versionEntry(LR"(\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\]\[[^\]]*Main\.cpp \d+\]当前版本：200\r\n)");
    const std::string earlier = kBom + std::string("e\0a\0r\0l\0i\0e\0r\0\r\0\n\0", 18);
    struct Case
    {
        const char* name;
        bool present;
        std::string content;  // of the log before the start
        bool kept;            // the old content stays in front of the new entry
    } cases[] = {
        {"no log", false, "", false},
        {"empty log", true, "", false},
        {"log over the cap", true, kBom + std::string(kLogCapBytes - 1, 'x'), false},
        {"small log", true, earlier, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramCopy client(L"calverinapp.exe");
        if (c.present)
            client.Folder().WriteFile(L"log.txt", c.content);
        HANDLE process = client.Start();
        HWND window = WaitForMainWindow(process);
        ASSERT_NE(nullptr, window);
        ASSERT_EQ(0u, CloseClient(window, process));

        const std::string log = ScratchFolder::ReadFile(client.LogPath());
        const std::string before = c.kept ? c.content : kBom;
        ASSERT_EQ(before, log.substr(0, before.size()));
        const std::wstring added = Utf16Text(log.substr(before.size()));
        EXPECT_TRUE(std::regex_match(added, versionEntry)) << "added: " << testing::PrintToString(added);
    }
}

// A second start, with or without arguments, shows the running client's
// window, raises it above other windows and ends with exit code 0 without
// writing to the log.
TEST(StartupTest, SecondStartBringsTheRunningWindowToTheFront)
{
    RefService::Reset();
    struct Case
    {
        const char* name;
        int showCommand;  // what the user did to the first client's window
        const wchar_t* arguments;
    } cases[] = {
        {"visible", SW_SHOWNOACTIVATE, L""},
        {"minimised", SW_MINIMIZE, L"--any thing"},
        {"hidden", SW_HIDE, L"/S"},
    };
    ProgramCopy client(L"calverinapp.exe");
    HANDLE first = client.Start();
    HWND window = WaitForMainWindow(first);
    ASSERT_NE(nullptr, window);
    CoveringWindow cover;

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShowWindow(window, c.showCommand);
        cover.RaiseAbove(window);
        const std::string logBefore = ScratchFolder::ReadFile(client.LogPath());

        HANDLE second = client.Start(c.arguments);
        EXPECT_EQ(0u, WaitForExit(second));

        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_FALSE(IsIconic(window));
        EXPECT_TRUE(IsAbove(window, cover.Handle()));
        EXPECT_EQ(0, GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_EQ(logBefore, ScratchFolder::ReadFile(client.LogPath()));
        EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(first, 0));
    }
    EXPECT_EQ(0u, CloseClient(window, first));
}

TEST(StartupTest, ProgramWithoutSkinArchiveEndsWithExitCodeZeroAndNoWindow)
{
    RefService::Reset();
    ProgramCopy client(L"calverinapp_noskin.exe");
    HANDLE process = client.Start();
    // Had it made its window, it would run modally until closed.
    EXPECT_EQ(0u, WaitForExit(process));
    EXPECT_EQ(nullptr, FindWindowW(L"CMainWnd", L"Calverin"));
    // The log line comes before the skin is looked for.
    EXPECT_NE(std::string::npos, Utf16Text(ScratchFolder::ReadFile(client.LogPath())).find(L"当前版本：200"));
}

TEST(SingleInstanceTest, AStartFindsTheSemaphoreWhileAnotherHoldsIt)
{
    const std::string name = "Local\\calverin-test-once-" + std::to_string(GetCurrentProcessId());
    {
        CSingleInstance first(name.c_str());
        EXPECT_FALSE(first.IsAlreadyRunning());
        CSingleInstance second(name.c_str());
        EXPECT_TRUE(second.IsAlreadyRunning());
    }
    CSingleInstance afterBothEnded(name.c_str());
    EXPECT_FALSE(afterBothEnded.IsAlreadyRunning());
}
