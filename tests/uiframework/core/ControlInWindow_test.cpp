// The base control living in a real window with its paint manager.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/ControlUI.h"
#include "GeometryText.h"
#include "ManagedWindow.h"
#include "core/WindowManagerUI.h"

using namespace CalUI;

namespace {

// Records each event as "<tag> <type> <self|other|none>", the sender seen from the receiver.
class TaggedEventLog : public CControlUI
{
public:
    TaggedEventLog(std::vector<std::wstring>* log, const wchar_t* tag) : m_log(log), m_tag(tag) {}

    void OnEvent(UIEvent& event) override
    {
        const wchar_t* sender = event.sender == this ? L"self" : event.sender == nullptr ? L"none" : L"other";
        m_log->push_back(m_tag + L" " + std::to_wstring(static_cast<int>(event.type)) + L" " + sender);
        CControlUI::OnEvent(event);
    }

private:
    std::vector<std::wstring>* m_log;
    std::wstring m_tag;
};

class ControlInWindowTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_NE(window.GetWindowHandle(), nullptr); }

    RECT UpdateRect()
    {
        RECT rc = {};
        ::GetUpdateRect(window.GetWindowHandle(), &rc, FALSE);
        return rc;
    }

    // "<type> <wParam>" of each notification the window received.
    std::vector<std::wstring> NotificationTexts() const
    {
        std::vector<std::wstring> texts;
        for (const ReceivedNotify& received : window.notifications)
            texts.push_back(received.type + L" " + std::to_wstring(received.wParam));
        return texts;
    }

    ManagedWindow window;
};

TEST_F(ControlInWindowTest, RenamingUpdatesTheManagersNameIndex)
{
    auto* root = new CControlUI;
    root->SetName(L"first");
    ASSERT_TRUE(window.manager.AttachRoot(root));
    ASSERT_EQ(window.manager.FindControl(L"first"), root);

    root->SetAttribute(L"name", L"second");
    EXPECT_STREQ(root->GetName().GetData(), L"second");
    EXPECT_EQ(window.manager.FindControl(L"second"), root);
    EXPECT_EQ(window.manager.FindControl(L"first"), nullptr);
}

TEST_F(ControlInWindowTest, InvalidationIsClippedByTheAncestors)
{
    auto* root = new CControlUI;
    ASSERT_TRUE(window.manager.AttachRoot(root));
    root->SetPos(RECT{0, 0, 100, 100}, false);
    auto* cover = new CControlUI;
    root->SetCover(cover);
    cover->SetPos(RECT{50, 60, 180, 90}, false);

    ::ValidateRect(window.GetWindowHandle(), nullptr);
    cover->Invalidate();
    EXPECT_EQ(RectText(UpdateRect()), RectText(RECT{50, 60, 100, 90}));

    ::ValidateRect(window.GetWindowHandle(), nullptr);
    cover->SetPos(RECT{120, 0, 150, 20}, false);
    cover->Invalidate();
    EXPECT_EQ(RectText(UpdateRect()), RectText(RECT{0, 0, 0, 0})) << "outside its parent: nothing to repaint";

    // Moving invalidates the old and the new place.
    cover->SetPos(RECT{10, 10, 20, 20}, false);
    ::ValidateRect(window.GetWindowHandle(), nullptr);
    cover->Move(SIZE{30, 0}, true);
    EXPECT_EQ(RectText(UpdateRect()), RectText(RECT{10, 10, 50, 20}));

    ::ValidateRect(window.GetWindowHandle(), nullptr);
    root->SetVisible(false);
    ::ValidateRect(window.GetWindowHandle(), nullptr);
    cover->Invalidate();
    EXPECT_EQ(RectText(UpdateRect()), RectText(RECT{0, 0, 0, 0})) << "a hidden control paints nothing";
}

TEST_F(ControlInWindowTest, ACoverFollowsItsOwnersPosition)
{
    auto* root = new CControlUI;
    ASSERT_TRUE(window.manager.AttachRoot(root));

    auto* fixedCover = new CControlUI;
    fixedCover->SetMaxWidth(30);
    root->SetCover(fixedCover);
    root->SetPos(RECT{10, 20, 110, 70});
    EXPECT_EQ(RectText(fixedCover->GetPos()), RectText(RECT{10, 20, 40, 70})) << "clamped to the cover's maximum width";

    auto* floatCover = new CControlUI;
    floatCover->SetAttribute(L"float", L"0.5,0,0.5,1");
    floatCover->SetFixedXY(SIZE{-5, 2});
    floatCover->SetFixedWidth(10);
    root->SetCover(floatCover);
    root->SetPos(RECT{100, 100, 200, 150});
    EXPECT_EQ(RectText(floatCover->GetPos()), RectText(RECT{145, 102, 155, 152}));
}

TEST_F(ControlInWindowTest, SizeDelegatesFireOncePerPositionEvenWhenTheyMoveTheControl)
{
    struct Resizer
    {
        bool OnSize(void* param)
        {
            ++calls;
            static_cast<CControlUI*>(param)->SetPos(RECT{0, 0, 10, 10});
            return true;
        }
        int calls = 0;
    } resizer;
    auto* root = new CControlUI;
    ASSERT_TRUE(window.manager.AttachRoot(root));
    root->sizeDelegates.Add(CDelegate<Resizer, Resizer>(&resizer, &Resizer::OnSize));
    root->RequestUpdate();
    EXPECT_TRUE(root->IsUpdateNeeded());

    root->SetPos(RECT{0, 0, 50, 50});
    EXPECT_EQ(resizer.calls, 1);
    EXPECT_FALSE(root->IsUpdateNeeded());
    EXPECT_EQ(RectText(root->GetPos()), RectText(RECT{0, 0, 10, 10}));
}

TEST_F(ControlInWindowTest, HidingTheFocusedControlTakesTheFocusAway)
{
    auto* root = new CControlUI;
    ASSERT_TRUE(window.manager.AttachRoot(root));
    auto* cover = new CControlUI;
    root->SetCover(cover);

    cover->SetFocus();
    ASSERT_EQ(window.manager.GetFocus(), cover);
    EXPECT_TRUE(cover->IsFocused());
    root->SetVisible(false);  // hides the cover through its intern visibility
    EXPECT_EQ(window.manager.GetFocus(), nullptr);
    EXPECT_FALSE(cover->IsFocused());

    root->SetVisible(true);
    root->SetFocus();
    root->SetVisible(false);
    EXPECT_EQ(window.manager.GetFocus(), nullptr);
}

TEST_F(ControlInWindowTest, TimerAndContextMenuEventsBecomeNotifications)
{
    std::vector<std::wstring> events;
    auto* root = new TaggedEventLog(&events, L"root");
    ASSERT_TRUE(window.manager.AttachRoot(root));

    UIEvent timer;
    timer.type = UIEventType::Timer;
    timer.wParam = 7;
    root->SendEvent(timer);

    UIEvent menu;
    menu.type = UIEventType::ContextMenu;
    menu.wParam = 3;
    root->SendEvent(menu);  // menu not used: nothing
    root->SetContextMenuUsed(true);
    root->SendEvent(menu);

    const std::vector<std::wstring> expected = {L"timer 7", L"menu 3"};
    EXPECT_EQ(NotificationTexts(), expected);
}

TEST_F(ControlInWindowTest, MouseMessagesReachTheControlsUnderThePointer)
{
    std::vector<std::wstring> events;
    auto* root = new TaggedEventLog(&events, L"root");
    ASSERT_TRUE(window.manager.AttachRoot(root));
    auto* cover = new TaggedEventLog(&events, L"cover");
    root->SetCover(cover);
    root->SetPos(RECT{0, 0, 400, 300});
    cover->SetPos(RECT{200, 0, 300, 100}, false);
    events.clear();

    HWND hWnd = window.GetWindowHandle();
    ::SendMessageW(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    ::SendMessageW(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(250, 50));
    ::SendMessageW(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(250, 50));
    ::SendMessageW(hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 20));
    ::SendMessageW(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));

    // The cover's unhandled mouse events bubble up to its owner; while the
    // button is down the cover keeps the mouse and nobody enters or leaves.
    const std::vector<std::wstring> expected = {
        L"root 11 self", L"root 9 self",  L"root 10 self",  L"cover 11 self", L"root 11 other",
        L"cover 9 self", L"root 9 other", L"cover 22 self", L"cover 13 self", L"root 13 other",
        L"cover 9 self", L"root 9 other", L"cover 14 self", L"root 14 other",
    };
    EXPECT_EQ(events, expected);
}

}  // namespace
