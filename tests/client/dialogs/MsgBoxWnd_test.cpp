// The message box from the client's own skin archive, over a stand-in owner
// the size of the main window: its buttons by kind, its results and the keys
// it swallows.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "dialogs/MsgBoxWnd.h"
#include "ScratchFolder.h"
#include "TestPaths.h"
#include "ThreadTimerAction.h"

using namespace CalUI;

namespace {

class OwnerWnd : public CWindowWnd
{
public:
    LPCWSTR GetWindowClassName() const override { return L"CalverinMsgBoxOwner"; }
};

// The box as ShowMsgBox runs it, with its controls in reach of the test.
class ProbedMsgBox : public CMsgBoxWnd
{
public:
    using CDialogWnd::FindControl;
    using CMsgBoxWnd::CMsgBoxWnd;
};

void ClickAt(HWND window, const RECT& rc)
{
    const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    PostMessageW(window, WM_MOUSEMOVE, 0, at);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(window, WM_LBUTTONUP, 0, at);
}

class MsgBoxTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        archive = ScratchFolder::ReadFile(BuildTreePath(L"client\\skin\\client.zip"));
        CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
        // A process keeps the first archive it is given.
        CWindowManagerUI::SetResourceZip(archive.data(), static_cast<unsigned>(archive.size()), nullptr);
    }

    void SetUp() override
    {
        ASSERT_NE(owner.Create(nullptr, L"owner", WS_POPUP | WS_VISIBLE, 0, 100, 50, 1200, 800, nullptr), nullptr);
    }

    void TearDown() override { DestroyWindow(owner.GetWindowHandle()); }

    static std::string archive;
    OwnerWnd owner;
};

std::string MsgBoxTest::archive;

TEST_F(MsgBoxTest, ButtonsByKindAndTheResultOfEachWayOut)
{
    struct Case
    {
        const char* what;
        MsgBoxButtons buttons;
        bool okShown, cancelShown;
        LPCWSTR clicked;  // null: Escape
        MsgBoxResult result;
    } cases[] = {
        {"OK only, clicked", MsgBoxButtons::Ok, true, false, L"msgbox_ok", MsgBoxResult::Ok},
        {"both, cancel clicked", MsgBoxButtons::OkCancel, true, true, L"msgbox_cancel", MsgBoxResult::Cancel},
        {"both, OK clicked", MsgBoxButtons::OkCancel, true, true, L"msgbox_ok", MsgBoxResult::Ok},
        {"neither, closed by its close button", MsgBoxButtons::None, false, false, L"close_btn", MsgBoxResult::Closed},
        {"both, Escape", MsgBoxButtons::OkCancel, true, true, nullptr, MsgBoxResult::Closed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProbedMsgBox box(L"标题 Title", L"正文 text", c.buttons, L"好的 OK", L"不要 Cancel");
        ASSERT_NE(box.CreateOver(owner.GetWindowHandle(), DialogCreation::HiddenUntilShowModal), nullptr);
        bool ownerDisabled = false, centred = false;
        std::wstring title, okText, cancelText;
        bool okVisible = false, cancelVisible = false;
        RunFromTheLoopIn(300, [&] {
            HWND window = box.GetWindowHandle();
            ownerDisabled = !IsWindowEnabled(owner.GetWindowHandle());
            RECT boxRect, ownerRect;
            GetWindowRect(window, &boxRect);
            GetWindowRect(owner.GetWindowHandle(), &ownerRect);
            centred = EqualRect(&boxRect, &ownerRect) != FALSE;
            title = box.FindControl(L"msgbox_title")->GetText().GetData();
            CControlUI* ok = box.FindControl(L"msgbox_ok");
            CControlUI* cancel = box.FindControl(L"msgbox_cancel");
            okVisible = ok->IsVisible();
            cancelVisible = cancel->IsVisible();
            okText = ok->GetText().GetData();
            cancelText = cancel->GetText().GetData();
            // Keys other than Escape are swallowed: Return does not press
            // a focused button.
            PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
            PostMessageW(window, WM_KEYDOWN, L'A', 0);
            if (c.clicked != nullptr)
                ClickAt(window, box.FindControl(c.clicked)->GetPos());
            else
                PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        EXPECT_EQ(static_cast<MsgBoxResult>(box.ShowModal(true, false)), c.result);
        EXPECT_TRUE(ownerDisabled);
        EXPECT_TRUE(centred);
        EXPECT_TRUE(IsWindowEnabled(owner.GetWindowHandle()));
        EXPECT_EQ(title, L"标题 Title");
        EXPECT_EQ(okVisible, c.okShown);
        EXPECT_EQ(cancelVisible, c.cancelShown);
        if (c.okShown) {
            EXPECT_EQ(okText, L"好的 OK");
        }
        if (c.cancelShown) {
            EXPECT_EQ(cancelText, L"不要 Cancel");
        }
    }
}

// The box shows over its owner without taking the activation from it: a box
// raised by a worker's reply must not pull the user out of what they type.
TEST_F(MsgBoxTest, ShownWithoutTakingTheFocusAndClosedBySystemCloseWithZero)
{
    SetForegroundWindow(owner.GetWindowHandle());
    SetActiveWindow(owner.GetWindowHandle());
    HWND box = nullptr, active = nullptr, foreground = nullptr;
    bool visible = false;
    RunFromTheLoopIn(300, [&] {
        box = FindWindowW(L"CMsgBoxWnd", nullptr);
        visible = IsWindowVisible(box) != FALSE;
        active = GetActiveWindow();
        foreground = GetForegroundWindow();
        PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(ShowMsgBox(owner.GetWindowHandle(), L"t", L"x", MsgBoxButtons::Ok, L"OK", L"取消"), MsgBoxResult::Closed);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(visible);
    EXPECT_NE(active, box);
    EXPECT_NE(foreground, box);
}

}  // namespace
