// The shape every dialog of the client shares, on a stand-in dialog with the
// two controls the dialogs drive themselves: the self-hiding message label
// and a button that counts down to the next SMS code.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ControlUI.h"
#include "core/UIEvent.h"
#include "dialogs/DialogWnd.h"
#include "dialogs/MsgBoxWnd.h"
#include "ThreadTimerAction.h"
#include "ZipWriter.h"

using namespace CalUI;

namespace {

const std::string kStandInSkin = "<Window size=\"400,300\"><VerticalLayout bkcolor=\"#FF242A35\">"
                                 "<Label name=\"msg_lab\" visible=\"false\" height=\"30\"/>"
                                 "<Button name=\"code_btn\" text=\"获取验证码\" height=\"32\"/>"
                                 "<Control/></VerticalLayout></Window>";

// A message box skin that lacks the title and the cancel button.
const std::string kBoxWithoutCancelOrTitle =
    "<Window size=\"1200,800\"><VerticalLayout><Label name=\"msgbox_text\"/>"
    "<Button name=\"msgbox_ok\" height=\"40\"/><Control/></VerticalLayout></Window>";

class StandInDialog : public CDialogWnd
{
public:
    explicit StandInDialog(LPCWSTR skinFile = L"standin.xml")
        : CDialogWnd(skinFile, CaptionClickables::ButtonsAndOptions)
    {}
    LPCWSTR GetWindowClassName() const override { return L"CalverinStandInDialog"; }

    using CDialogWnd::ShowMessage;
    using CDialogWnd::StartCodeCountdown;
    CControlUI* Find(LPCWSTR name) { return FindControl(name); }

    void Pump()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!CWindowManagerUI::TranslateLoopMessage(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
    // Pumps for about `ms` milliseconds.
    void PumpFor(DWORD ms)
    {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < ms) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            Pump();
        }
    }
};

class DialogWndTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        static const std::string archive =
            BuildZip({{"standin.xml", kStandInSkin, true}, {"msgbox.xml", kBoxWithoutCancelOrTitle, true}});
        CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
        CWindowManagerUI::SetResourceZip(archive.data(), static_cast<unsigned>(archive.size()), nullptr);
    }

    void SetUp() override
    {
        ASSERT_NE(dialog.CreateOver(nullptr), nullptr);
        dialog.ShowWindow(true, true);
        dialog.PumpFor(200);
    }

    StandInDialog dialog;
};

TEST_F(DialogWndTest, NoFrameNoDragNoSystemMenuAndNothingMaximises)
{
    HWND window = dialog.GetWindowHandle();
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION, 0);
    RECT before = {};
    GetWindowRect(window, &before);
    for (POINT p : {POINT{5, 5}, POINT{200, 15}, POINT{200, 280}}) {
        ClientToScreen(window, &p);
        EXPECT_EQ(dialog.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTCLIENT);
    }
    dialog.SendMessage(WM_SYSCOMMAND, SC_KEYMENU, 0);
    dialog.SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    RECT after = {};
    GetWindowRect(window, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_FALSE(IsZoomed(window));

    dialog.PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(dialog.ShowModal(), 0);
}

TEST_F(DialogWndTest, AMessageStaysFiveSecondsFromItsLastSetting)
{
    CControlUI* label = dialog.Find(L"msg_lab");
    ASSERT_NE(label, nullptr);
    dialog.ShowMessage(L"验证码错误 wrong code");
    EXPECT_TRUE(label->IsVisible());
    dialog.PumpFor(3000);
    dialog.ShowMessage(L"second message");
    dialog.PumpFor(3500);  // 6.5 s after the first, 3.5 s after the second
    EXPECT_TRUE(label->IsVisible());
    EXPECT_EQ(label->GetText(), L"second message");
    dialog.PumpFor(2500);
    EXPECT_FALSE(label->IsVisible());
    EXPECT_EQ(label->GetText(), L"");

    dialog.ShowMessage(L"shown");
    dialog.ShowMessage(L"");
    EXPECT_FALSE(label->IsVisible()) << "an empty message hides the label at once";
}

TEST_F(DialogWndTest, TheCodeButtonCountsDownFromSixtySeconds)
{
    CControlUI* button = dialog.Find(L"code_btn");
    ASSERT_NE(button, nullptr);
    dialog.StartCodeCountdown(button);
    EXPECT_FALSE(button->IsEnabled());
    EXPECT_EQ(button->GetText(), L"60s");
    dialog.PumpFor(1300);  // one real tick of the window's timer
    EXPECT_EQ(button->GetText(), L"59s");

    // The remaining ticks as the paint manager delivers them.
    std::vector<std::wstring> texts;
    for (int tick = 0; tick < 59; ++tick) {
        UIEvent timer;
        timer.type = UIEventType::Timer;
        timer.sender = button;
        timer.wParam = static_cast<WPARAM>(DialogTimer::CodeCountdown);
        button->SendEvent(timer);
        texts.push_back(button->GetText().GetData());
    }
    EXPECT_EQ(texts.front(), L"58s");
    EXPECT_EQ(texts[texts.size() - 2], L"1s");
    EXPECT_EQ(texts.back(), L"获取验证码");
    EXPECT_TRUE(button->IsEnabled());
    dialog.PumpFor(1300);
    EXPECT_EQ(button->GetText(), L"获取验证码") << "the timer stopped with the countdown";
}

// A dialog whose skin does not build is never created: its modal loop
// returns 0 at once instead of leaving an empty mask nothing can reach.
TEST_F(DialogWndTest, WithoutItsSkinADialogReturnsZeroAtOnce)
{
    StandInDialog lost(L"missing.xml");
    EXPECT_EQ(lost.CreateOver(dialog.GetWindowHandle()), nullptr);
    EXPECT_EQ(lost.ShowModal(true, false), 0);
    EXPECT_TRUE(IsWindowEnabled(dialog.GetWindowHandle()));
}

TEST_F(DialogWndTest, ABoxMissingSomeControlsStillWorksWithTheOthers)
{
    struct ProbedMsgBox : CMsgBoxWnd
    {
        using CDialogWnd::FindControl;
        using CMsgBoxWnd::CMsgBoxWnd;
    } box(L"title", L"正文 text", MsgBoxButtons::OkCancel, L"OK", L"取消");
    ASSERT_NE(box.CreateOver(dialog.GetWindowHandle()), nullptr);
    std::wstring text;
    RunFromTheLoopIn(400, [&] {
        text = box.FindControl(L"msgbox_text")->GetText().GetData();
        const RECT ok = box.FindControl(L"msgbox_ok")->GetPos();
        const LPARAM at = MAKELPARAM((ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2);
        box.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        box.PostMessage(WM_LBUTTONUP, 0, at);
    });
    EXPECT_EQ(static_cast<MsgBoxResult>(box.ShowModal(true, false)), MsgBoxResult::Ok);
    EXPECT_EQ(text, L"正文 text");
}

}  // namespace
