// Ending the client from its main window, in process: with a download
// running the tray's exit asks first and Escape changes nothing; an exit that
// comes while a box is open closes the box with 0 and ends the main loop
// with 0, nothing running against a destroyed main window.

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

#include "mainwindow/MainWnd.h"
#include "services/AppFolder.h"
#include "services/SessionData.h"
#include "RefService.h"
#include "ScratchFolder.h"
#include "StandInTask.h"
#include "TestPaths.h"
#include "ThreadTimerAction.h"
#include "WineTray.h"

namespace {

HWND OpenBox() { return FindWindowW(L"CMsgBoxWnd", nullptr); }

class MainWndExit : public testing::Test
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
        g_appFolder = folder.File(L"");
        ASSERT_NE(mainWnd.Create(nullptr, L"Calverin", 0x96CF0000, 0, 0, 0, 0, 0, nullptr), nullptr);
        mainWnd.CenterWindow();
    }

    static std::string archive;
    ScratchFolder folder;
    CMainWnd mainWnd;
};

std::string MainWndExit::archive;

TEST_F(MainWndExit, WithATaskRunningExitAsksAndEscapeChangesNothing)
{
    StandInTask task;
    bool asked = false, stillRunning = false, visibleAfter = false;
    int iconsAfter = 0;
    RunFromTheLoopIn(1500, [&] {
        mainWnd.PostMsg(mainWnd.GetWindowHandle(), &CMainWnd::ExitApp, 0, 0);
        RunFromTheLoopIn(800, [&] {
            HWND box = OpenBox();
            asked = box != nullptr;
            PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 0);
            RunFromTheLoopIn(800, [&] {
                stillRunning = task.IsRunning();
                visibleAfter = IsWindowVisible(mainWnd.GetWindowHandle()) != FALSE;
                iconsAfter = CountTrayIcons();
                mainWnd.Close(0);
            });
        });
    });
    EXPECT_EQ(mainWnd.ShowModal(), 0);
    EXPECT_TRUE(asked) << "no question while a task runs";
    EXPECT_TRUE(stillRunning);
    EXPECT_TRUE(visibleAfter);
    EXPECT_EQ(iconsAfter, 1);
}

TEST_F(MainWndExit, AnExitWhileABoxIsOpenClosesItAndEndsTheLoopWithZero)
{
    StandInTask task;
    bool boxWasOpen = false;
    RunFromTheLoopIn(1500, [&] {
        mainWnd.PostMsg(mainWnd.GetWindowHandle(), &CMainWnd::ExitApp, 0, 0);
        RunFromTheLoopIn(800, [&] {
            boxWasOpen = OpenBox() != nullptr;
            task.Stop();
            while (mainWnd.HasRunningTasks())  // the worker leaves the registry on its own
                Sleep(5);
            mainWnd.ExitApp(0, 0);  // as the tray menu would, with the box still open
        });
    });
    EXPECT_EQ(mainWnd.ShowModal(), 0);
    EXPECT_TRUE(boxWasOpen);
    EXPECT_EQ(OpenBox(), nullptr);
    EXPECT_FALSE(IsWindow(mainWnd.GetWindowHandle()));
    EXPECT_EQ(CountTrayIcons(), 0);
}

}  // namespace
