// The notification-area icon under Wine's own stand-in tray: the icon shows,
// its mouse messages reach the owner as the tray message, it leaves on
// Remove and comes back only while it is meant to be there.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mainwindow/TrayIcon.h"
#include "ManagedWindow.h"
#include "WineTray.h"

namespace {

class TrayIconTest : public testing::Test
{
protected:
    bool WaitForIcon(bool present)
    {
        return window.PumpUntil([present] { return (FindTrayIconWindow() != nullptr) == present; });
    }

    std::vector<LPARAM> TrayMessagesSeen() const
    {
        std::vector<LPARAM> seen;
        for (const TrayCall& call : calls)
            seen.push_back(call.lParam);
        return seen;
    }

    struct TrayCall
    {
        WPARAM wParam;
        LPARAM lParam;
    };

    ManagedWindow window;
    std::vector<TrayCall> calls;
};

TEST_F(TrayIconTest, MouseMessagesOfTheIconReachTheOwnerAsTheTrayMessage)
{
    CTrayIcon icon;
    EXPECT_NE(icon.GetTaskbarCreatedMessage(), 0u);
    window.onUnhandled = [this](UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == kTrayIconMessage)
            calls.push_back({wParam, lParam});
    };
    icon.Add(L"Calverin", window.GetWindowHandle());
    ASSERT_TRUE(WaitForIcon(true)) << "Wine's stand-in tray shows no icon";

    const UINT mouse[] = {WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN};
    for (UINT message : mouse)
        PostMessageW(FindTrayIconWindow(), message, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(window.PumpUntil([this] { return calls.size() >= 3; }));
    EXPECT_EQ(TrayMessagesSeen(), (std::vector<LPARAM>{WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN}));
    EXPECT_EQ(calls.front().wParam, 1000u);

    icon.Remove();
    EXPECT_FALSE(icon.IsAdded());
    EXPECT_TRUE(WaitForIcon(false));
    icon.AddAgain();  // removed: stays away
    window.PumpUntil([] { return false; }, 500);
    EXPECT_EQ(FindTrayIconWindow(), nullptr);
}

// Tip and balloon fields are fixed arrays; balloon bodies come from the
// server, so an over-long text must be cut, not written past the field.
TEST_F(TrayIconTest, OverLongAndMissingTextsAreCutOrEmpty)
{
    CTrayIcon icon;
    const std::wstring longText(1000, L'长');
    icon.Add(longText.c_str(), window.GetWindowHandle());
    ASSERT_TRUE(WaitForIcon(true));
    CTrayIcon::TakeBalloonsShown();
    icon.ShowBalloon(longText.c_str(), longText.c_str(), 8000);
    icon.ShowBalloon(nullptr, nullptr, 3000);
    icon.ShowBalloon(L"安装成功！", L"星海", 8000);
    EXPECT_EQ(CTrayIcon::TakeBalloonsShown(), (std::vector<CTrayIcon::Balloon>{
                                                  {std::wstring(63, L'长'), std::wstring(255, L'长'), 8000},
                                                  {L"", L"", 3000},
                                                  {L"安装成功！", L"星海", 8000},
                                              }));
    icon.Remove();
    EXPECT_TRUE(WaitForIcon(false));
}

}  // namespace
