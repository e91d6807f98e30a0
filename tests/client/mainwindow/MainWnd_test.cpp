// The main window object as the entry point uses it, in a process whose skin
// archive lacks "main.xml": the object is the process's main window for as
// long as it lives, and without its layout no window comes up, so that the
// modal loop returns at once instead of running an empty window nobody can
// close.

#include "mainwindow/MainWnd.h"
#include "ZipWriter.h"

#include <gtest/gtest.h>

TEST(MainWndTest, WithoutItsLayoutNoWindowComesUpAndTheModalLoopReturns)
{
    static const std::string archive =
        BuildZip({{"login.xml", "<Window size=\"300,200\"><Container/></Window>", true}});
    CalUI::CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    CalUI::CWindowManagerUI::SetResourceZip(archive.data(), static_cast<unsigned int>(archive.size()), nullptr);

    EXPECT_EQ(nullptr, g_mainWnd);
    {
        CMainWnd mainWnd;
        EXPECT_EQ(&mainWnd, g_mainWnd);
        ASSERT_EQ(nullptr, mainWnd.Create(nullptr, L"Calverin", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0, nullptr));
        EXPECT_EQ(nullptr, FindWindowW(L"CMainWnd", L"Calverin"));
        EXPECT_EQ(0, mainWnd.ShowModal());
    }
    EXPECT_EQ(nullptr, g_mainWnd);
}
