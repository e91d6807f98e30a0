// The wait overlay from the client's own skin archive over a stand-in owner:
// how it ends (loading over, closed, no owner to follow), what it leaves of
// its owner's state, and its spinning picture.

#include <gtest/gtest.h>

#include <string>

#include "dialogs/WaitWnd.h"
#include "ScratchFolder.h"
#include "TestPaths.h"
#include "ThreadTimerAction.h"

#include "controls/AnimationUI.h"

using namespace CalUI;

namespace {

class OwnerWnd : public CWindowWnd
{
public:
    LPCWSTR GetWindowClassName() const override { return L"CalverinWaitOwner"; }
};

// The overlay with its controls in reach of the test.
class ProbedWaitWnd : public CWaitWnd
{
public:
    using CDialogWnd::FindControl;
    using CWaitWnd::CWaitWnd;
};

class WaitWndTest : public testing::Test
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
        ASSERT_NE(owner.Create(nullptr, L"owner", WS_POPUP | WS_VISIBLE, 0, 100, 50, 1200, 800, nullptr), nullptr);
    }

    void TearDown() override { DestroyWindow(owner.GetWindowHandle()); }

    HWND Owner() const { return owner.GetWindowHandle(); }

    static std::string archive;
    OwnerWnd owner;
};

std::string WaitWndTest::archive;

TEST_F(WaitWndTest, EndsWithOneWhenTheLoadingEndsAndWithZeroWhenClosed)
{
    struct Case
    {
        const char* what;
        bool closed;  // SC_CLOSE while the loading goes on
        bool ownerEnabled;
        int result;
    } cases[] = {
        {"loading ends", false, true, 1},
        {"closed while loading", true, true, 0},
        {"loading ends over an owner another loop disabled", false, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EnableWindow(Owner(), c.ownerEnabled);
        bool loading = true, shown = false, ownerDisabled = false;
        ProbedWaitWnd overlay(WaitMode::AllGames, [&] { return loading; });
        RunFromTheLoopIn(300, [&] {
            shown = IsWindowVisible(overlay.GetWindowHandle()) != FALSE;
            ownerDisabled = !IsWindowEnabled(Owner());
            if (c.closed)
                PostMessageW(overlay.GetWindowHandle(), WM_SYSCOMMAND, SC_CLOSE, 0);
            else
                loading = false;
        });
        EXPECT_EQ(overlay.RunOver(Owner()), c.result);
        EXPECT_TRUE(shown);
        EXPECT_TRUE(ownerDisabled);
        EXPECT_EQ(IsWindowEnabled(Owner()) != FALSE, c.ownerEnabled);
        EXPECT_EQ(g_waitWnd, &overlay);
    }
    EnableWindow(Owner(), TRUE);
}

// A main window hidden in the notification area leaves no mask over the
// desktop; the overlay comes back with it.
TEST_F(WaitWndTest, WaitsHiddenWhileItsOwnerIsHidden)
{
    bool loading = true;
    bool hiddenWithOwner = false, shownAgain = false, hiddenFromTheStart = false;
    ProbedWaitWnd overlay(WaitMode::GamePage, [&] { return loading; });
    ShowWindow(Owner(), SW_HIDE);
    RunFromTheLoopIn(300, [&] {
        hiddenFromTheStart = !IsWindowVisible(overlay.GetWindowHandle());
        ShowWindow(Owner(), SW_SHOWNOACTIVATE);
        RunFromTheLoopIn(300, [&] {
            shownAgain = IsWindowVisible(overlay.GetWindowHandle()) != FALSE;
            ShowWindow(Owner(), SW_HIDE);
            RunFromTheLoopIn(300, [&] {
                hiddenWithOwner = !IsWindowVisible(overlay.GetWindowHandle());
                loading = false;
            });
        });
    });
    EXPECT_EQ(overlay.RunOver(Owner()), 1);
    EXPECT_TRUE(hiddenFromTheStart);
    EXPECT_TRUE(shownAgain);
    EXPECT_TRUE(hiddenWithOwner);
}

// Its timer goes with its window: a tick after the close finds nothing to
// ask, and the question is never asked again.
TEST_F(WaitWndTest, TheTimerDiesWithTheOverlay)
{
    int asked = 0;
    int askedAtClose = -1;
    HWND window = nullptr;
    {
        ProbedWaitWnd overlay(WaitMode::AllGames, [&] {
            ++asked;
            return true;
        });
        RunFromTheLoopIn(200, [&] {
            window = overlay.GetWindowHandle();
            PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        EXPECT_EQ(overlay.RunOver(Owner()), 0);
        askedAtClose = asked;
    }
    EXPECT_GT(askedAtClose, 0);
    EXPECT_EQ(g_waitWnd, nullptr);
    MSG msg;
    const DWORD until = GetTickCount() + 300;
    while (GetTickCount() < until) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(10);
    }
    EXPECT_EQ(asked, askedAtClose);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(WaitWndTest, SpinsTheLoadingPictureInTheMiddleOfTheMask)
{
    bool loading = true;
    int frames = 0, firstFrame = -1, laterFrame = -1;
    RECT place = {};
    ProbedWaitWnd overlay(WaitMode::AllGames, [&] { return loading; });
    RunFromTheLoopIn(300, [&] {
        auto* spinner = static_cast<CApngAnimUI*>(overlay.FindControl(L"wait_gif")->GetInterface(L"ApngAnim"));
        if (spinner == nullptr) {
            loading = false;
            return;
        }
        frames = spinner->GetFrameCount();
        place = spinner->GetPos();
        firstFrame = spinner->GetCurrentFrame();
        RunFromTheLoopIn(130, [&, spinner] {
            laterFrame = spinner->GetCurrentFrame();
            loading = false;
        });
    });
    EXPECT_EQ(overlay.RunOver(Owner()), 1);
    EXPECT_GT(frames, 1);
    EXPECT_NE(firstFrame, laterFrame);
    EXPECT_EQ(place.left, 575);
    EXPECT_EQ(place.top, 375);
    EXPECT_EQ(place.right - place.left, 50);
    EXPECT_EQ(place.bottom - place.top, 50);
}

}  // namespace
