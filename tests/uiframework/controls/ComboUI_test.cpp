// The combo box and its popup in a real layered window: opening by a posted
// click, where and how large the popup opens, choosing a row in it, the keys
// and wheel with the popup open and closed, the popup's lifetime against the
// combo's, and the way the client fills and reads a combo.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ClickableTestWindow.h"
#include "controls/ComboUI.h"
#include "controls/ListElementUI.h"
#include "core/ScrollBarUI.h"
#include "core/ContainerUI.h"

using namespace CalUI;

namespace {

using Notes = std::vector<std::wstring>;

constexpr POINT kScreenPlace = {1150, 80};
constexpr POINT kParking = {395, 295};
constexpr DWORD kRowColour = 0x2B2B2B;
constexpr DWORD kHotColour = 0x3A3A3A;
constexpr DWORD kSelectedColour = 0x1F6B3A;

// The attribute set a window's combo uses: state images, text clear of the
// arrow, rows of 30 in the dark palette, a 1-pixel drop border and a bar.
const std::wstring kComboLook =
    L" normalimage=\"color='#FF2B2B2B'\" hotimage=\"color='#FF333333'\" pushedimage=\"color='#FF252525'\""
    L" disabledimage=\"color='#FF1E1E1E'\" textpadding=\"10,0,32,0\" font=\"1\" textcolor=\"#FFE6E6E6\""
    L" itemheight=\"30\" itemtextpadding=\"10,0,10,0\" itemtextcolor=\"#FFE6E6E6\" itembkcolor=\"#FF2B2B2B\""
    L" itemhotbkcolor=\"#FF3A3A3A\" itemselectedbkcolor=\"#FF1F6B3A\" dropbkcolor=\"#FF2B2B2B\""
    L" dropbordersize=\"1\" dropbordercolor=\"#FF4A4A4A\" vscrollbar=\"true\"";

const std::wstring kSkin = L"<Combo name=\"three\" float=\"true\" pos=\"10,10,210,40\"" + kComboLook +
                           L"/><Combo name=\"twenty\" float=\"true\" pos=\"220,10,380,40\" dropboxsize=\"200,150\"" +
                           kComboLook +
                           L"/><Combo name=\"nobar\" float=\"true\" pos=\"10,60,210,90\" itemheight=\"30\"/>";

constexpr wchar_t kFonts[] =
    L"<Font id=\"1\" name=\"微软雅黑\" size=\"14\"/><Default name=\"VScrollBar\" value=\"width=&quot;8&quot;\"/>";

void Fill(CComboUI* combo, int count)
{
    combo->RemoveAll();
    for (int i = 0; i < count; ++i) {
        auto* row = new CListLabelElementUI;
        const std::wstring text = std::wstring(i % 2 == 0 ? L"不限区服 " : L"不限版本 ") + std::to_wstring(i);
        row->SetText(text.c_str());
        combo->Add(row);
    }
}

class Combo : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ui = new ClickableTestWindow(kScreenPlace, kSkin, kFonts);
        three = ui->Find<CComboUI>(L"three", L"Combo");
        twenty = ui->Find<CComboUI>(L"twenty", L"Combo");
        ASSERT_NE(three, nullptr);
        ASSERT_NE(twenty, nullptr);
    }
    static void TearDownTestSuite() { delete ui; }

    void SetUp() override
    {
        ui->MoveTo(kParking.x, kParking.y);
        for (CComboUI* combo : {three, twenty}) {
            if (combo->GetDropWindow() != nullptr)
                combo->GetDropWindow()->CloseNow();
        }
        Fill(three, 3);
        Fill(twenty, 20);
        three->SelectItem(0, false, false);
        twenty->SelectItem(0, false, false);
        ui->Repaint();
        ui->window.Pump();
        ui->TakeNotifications();
    }

    // Opens the combo with a posted click and waits for the popup's first layout.
    static CComboWnd* Open(CComboUI* combo)
    {
        const RECT r = combo->GetPos();
        ui->Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        CComboWnd* popup = combo->GetDropWindow();
        if (popup == nullptr)
            return nullptr;
        EXPECT_TRUE(ui->window.PumpUntil([&] {
            return combo->GetDropWindow() != nullptr && popup->GetManager()->GetOffscreenPixels() != nullptr &&
                   popup->GetBody()->GetItemAt(0)->GetPos().bottom > 0;
        }));
        return combo->GetDropWindow();
    }

    static RECT ScreenRect(HWND window)
    {
        RECT r;
        GetWindowRect(window, &r);
        return r;
    }

    static POINT ComboScreenCorner(CComboUI* combo, bool bottom)
    {
        const RECT r = combo->GetPos();
        return ui->ToScreen(r.left, bottom ? r.bottom : r.top);
    }

    // Posts a click to the popup at a client point of it.
    static void ClickPopup(CComboWnd* popup, int x, int y)
    {
        POINT screen = {x, y};
        ClientToScreen(popup->GetWindowHandle(), &screen);
        SetCursorPos(screen.x, screen.y);
        PostMessageW(popup->GetWindowHandle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        PostMessageW(popup->GetWindowHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        PostMessageW(popup->GetWindowHandle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        ui->window.Pump();
    }

    static bool WaitClosed(CComboUI* combo)
    {
        return ui->window.PumpUntil([&] { return combo->GetDropWindow() == nullptr; });
    }

    static Notes ItemNotes()
    {
        Notes relevant;
        for (const std::wstring& n : ui->TakeNotifications()) {
            if (n.rfind(L"item", 0) == 0 || n.rfind(L"dropdown", 0) == 0)
                relevant.push_back(n);
        }
        return relevant;
    }

    static ClickableTestWindow* ui;
    static CComboUI* three;
    static CComboUI* twenty;
};

ClickableTestWindow* Combo::ui = nullptr;
CComboUI* Combo::three = nullptr;
CComboUI* Combo::twenty = nullptr;

TEST_F(Combo, AClickOpensAPopupUnderTheComboSizedByItsRows)
{
    CComboWnd* popup = Open(three);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(ItemNotes(), (Notes{L"dropdown three"}));
    wchar_t className[32] = {};
    GetClassNameW(popup->GetWindowHandle(), className, 32);
    EXPECT_STREQ(className, L"ComboWnd");
    const RECT shown = ScreenRect(popup->GetWindowHandle());
    const POINT under = ComboScreenCorner(three, true);
    EXPECT_EQ(shown.left, under.x);
    EXPECT_EQ(shown.top, under.y);
    EXPECT_EQ(shown.right - shown.left, 200) << "as wide as the combo";
    EXPECT_EQ(shown.bottom - shown.top, 3 * 30 + 2) << "three rows and the drop border";
    EXPECT_EQ(three->GetItemAt(0)->GetManager(), popup->GetManager()) << "the rows are in the popup";

    // A layout of the combo's window meanwhile leaves the rows in the popup alone.
    three->SetPos(three->GetPos());
    EXPECT_GT(three->GetItemAt(1)->GetPos().bottom, 0);

    // The rows are painted in the combo's item style: the selected one green.
    popup->GetManager()->Invalidate({0, 0, 200, 92});
    popup->GetManager()->GetRoot()->Invalidate();
    ASSERT_TRUE(ui->window.PumpUntil([&] {
        const SIZE size = popup->GetManager()->GetOffscreenSize();
        const RECT row = three->GetItemAt(0)->GetPos();
        const DWORD* pixels = popup->GetManager()->GetOffscreenPixels();
        return (pixels[(size.cy - 1 - (row.top + 15)) * size.cx + 190] & 0xFFFFFF) == kSelectedColour;
    }));

    popup->CloseNow();
    EXPECT_EQ(three->GetDropWindow(), nullptr);
    EXPECT_EQ(three->GetItemAt(0)->GetManager(), &ui->window.manager) << "the rows came back";
    EXPECT_EQ(three->GetItemAt(0)->GetPos().bottom, 0);

    popup = Open(twenty);
    ASSERT_NE(popup, nullptr);
    const RECT tall = ScreenRect(popup->GetWindowHandle());
    EXPECT_EQ(tall.bottom - tall.top, 150) << "the drop box size caps the height";
    EXPECT_EQ(tall.right - tall.left, 200) << "\"dropboxsize\" 200,150 sets the width";
    ASSERT_NE(popup->GetBody()->GetVerticalScrollBar(), nullptr);
    popup->CloseNow();

    // Near the work area's bottom the popup opens above, touching the combo.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(ui->window.GetWindowHandle(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    HWND window = ui->window.GetWindowHandle();
    SetWindowPos(window, HWND_TOPMOST, kScreenPlace.x, monitor.rcWork.bottom - 60, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    popup = Open(three);
    ASSERT_NE(popup, nullptr);
    const RECT above = ScreenRect(popup->GetWindowHandle());
    EXPECT_EQ(above.bottom, ComboScreenCorner(three, false).y);
    EXPECT_EQ(above.bottom - above.top, 92);
    popup->CloseNow();
    SetWindowPos(window, HWND_TOPMOST, kScreenPlace.x, kScreenPlace.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

TEST_F(Combo, ClickingARowSelectsItBeforeTheClickArrivesAndCloses)
{
    CComboWnd* popup = Open(three);
    ASSERT_NE(popup, nullptr);
    ui->TakeNotifications();
    const RECT row = three->GetItemAt(2)->GetPos();
    ClickPopup(popup, 20, (row.top + row.bottom) / 2);
    ASSERT_TRUE(WaitClosed(three));
    ui->window.Pump();
    EXPECT_EQ(ItemNotes(), (Notes{L"itemselect three", L"itemclick "}));
    EXPECT_EQ(three->GetSelectedIndex(), 2);
    EXPECT_EQ(std::wstring(three->GetText()), L"不限区服 2");
    EXPECT_EQ(three->GetItemAt(2)->GetManager(), &ui->window.manager);
    EXPECT_EQ(ui->window.manager.GetFocus(), three);
}

TEST_F(Combo, KeysInThePopupMoveTheSelectionReturnClosesAndEscapeRestores)
{
    CComboWnd* popup = Open(twenty);
    ASSERT_NE(popup, nullptr);
    ui->TakeNotifications();
    HWND window = popup->GetWindowHandle();
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_UP})
        PostMessageW(window, WM_KEYDOWN, key, 1);
    ui->window.Pump();
    EXPECT_EQ(twenty->GetSelectedIndex(), 1);
    EXPECT_NE(twenty->GetDropWindow(), nullptr) << "keys keep the popup open";
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 1);
    ASSERT_TRUE(WaitClosed(twenty));
    EXPECT_EQ(twenty->GetSelectedIndex(), 0) << "the selection it had when it opened";
    const Notes notes = ItemNotes();
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes.back(), L"itemselect twenty");
    EXPECT_EQ(ui->window.notifications.size(), 0u);

    popup = Open(twenty);
    ASSERT_NE(popup, nullptr);
    PostMessageW(popup->GetWindowHandle(), WM_KEYDOWN, VK_DOWN, 1);
    PostMessageW(popup->GetWindowHandle(), WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_TRUE(WaitClosed(twenty));
    EXPECT_EQ(twenty->GetSelectedIndex(), 1) << "Return keeps the new selection";
}

TEST_F(Combo, WithoutTheWheelOptionTheOpenPopupScrollsInstead)
{
    twenty->SetAttribute(L"mousewheel", L"false");
    CComboWnd* popup = Open(twenty);
    ASSERT_NE(popup, nullptr);
    CScrollBarUI* bar = popup->GetBody()->GetVerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    PostMessageW(popup->GetWindowHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    ui->window.Pump();
    EXPECT_EQ(twenty->GetSelectedIndex(), 0);
    EXPECT_GT(bar->GetScrollPos(), 0);

    // A press and release on the bar leave the popup open.
    const RECT barRect = bar->GetPos();
    ClickPopup(popup, (barRect.left + barRect.right) / 2, barRect.bottom - 4);
    ui->window.Pump();
    EXPECT_NE(twenty->GetDropWindow(), nullptr);
    popup->CloseNow();
    twenty->SetAttribute(L"mousewheel", L"true");
}

TEST_F(Combo, KeysOnTheClosedComboStepOverDisabledRowsAndF4Opens)
{
    Fill(three, 5);
    three->GetItemAt(1)->SetEnabled(false);
    three->GetItemAt(4)->SetEnabled(false);
    three->SelectItem(2, true, false);
    ui->TakeNotifications();
    struct Step
    {
        WPARAM key;
        int selected;
    };
    const Step steps[] = {{VK_UP, 0}, {VK_UP, 0}, {VK_END, 3}, {VK_DOWN, 3}, {VK_HOME, 0}};
    for (const Step& step : steps) {
        ui->Key(step.key);
        EXPECT_EQ(three->GetSelectedIndex(), step.selected) << "key " << step.key;
    }
    EXPECT_EQ(ItemNotes(), (Notes{L"itemselect three", L"itemselect three", L"itemselect three"}));
    EXPECT_EQ(three->GetDropWindow(), nullptr);

    // The wheel steps as the arrows do; "selectedid" selects as a call would.
    const RECT r = three->GetPos();
    // Where the window really is: under load the display may still be
    // settling the moves of an earlier test.
    const POINT screen = ui->ToScreen((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    const LPARAM over = MAKELPARAM(screen.x, screen.y);
    ui->MoveTo((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ui->Post(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), over);
    EXPECT_EQ(three->GetSelectedIndex(), 2);
    three->SetAttribute(L"selectedid", L"3");
    EXPECT_EQ(three->GetSelectedIndex(), 3);
    three->SetAttribute(L"selectedid", L"0");
    ui->TakeNotifications();

    ui->Key(VK_F4);
    ASSERT_NE(three->GetDropWindow(), nullptr);
    EXPECT_EQ(three->GetSelectedIndex(), 0) << "F4 only opens";
    three->GetDropWindow()->EnsureVisible(99);  // no such row: nothing happens
    three->GetDropWindow()->CloseNow();

    three->GetItemAt(4)->SetEnabled(true);
    EXPECT_TRUE(three->SelectItem(99, false, false));
    EXPECT_EQ(three->GetSelectedIndex(), 4) << "beyond the end: the last row";
}

TEST_F(Combo, RowsChangingOrTheComboGoingWhileThePopupIsOpen)
{
    CComboWnd* popup = Open(three);
    ASSERT_NE(popup, nullptr);
    auto* extra = new CListLabelElementUI;
    extra->SetText(L"新");
    ASSERT_TRUE(three->Add(extra));
    EXPECT_EQ(three->GetDropWindow(), nullptr) << "the popup closed before the rows changed";
    EXPECT_EQ(three->GetCount(), 4);
    EXPECT_EQ(three->GetItemAt(0)->GetManager(), &ui->window.manager);

    // A combo made at run time, destroyed with its popup open.
    auto* parent = static_cast<CContainerUI*>(ui->window.manager.GetRoot());
    auto* doomed = new CComboUI;
    doomed->SetAttribute(L"float", L"true");
    doomed->SetAttribute(L"pos", L"10,120,210,150");
    Fill(doomed, 3);
    ASSERT_TRUE(parent->Add(doomed));
    ui->Repaint();
    ui->window.Pump();
    ASSERT_NE(Open(doomed), nullptr);
    HWND popupWindow = doomed->GetDropWindow()->GetWindowHandle();
    parent->Remove(doomed);
    EXPECT_FALSE(IsWindow(popupWindow));
    ui->window.Pump();
}

// What a window does with its combo: empty it, add rows with the record's id
// as user data and tag, select the matching row without the focus, disable
// the combo and read the choice back.
TEST_F(Combo, FilledAndReadAsAWindowDoes)
{
    three->RemoveAll();
    EXPECT_EQ(three->GetSelectedIndex(), -1);
    const wchar_t* names[] = {L"不限区服", L"华东一区", L"不限版本"};
    const wchar_t* ids[] = {L"11", L"22", L"33"};
    for (int i = 0; i < 3; ++i) {
        auto* row = new CListLabelElementUI;
        row->SetText(names[i]);
        row->SetUserData(ids[i]);
        row->SetTag(static_cast<UINT_PTR>(0x1000 + i));
        ASSERT_TRUE(three->Add(row));
    }
    ui->window.manager.SetFocus(nullptr);
    ASSERT_TRUE(three->SelectItem(1, false, true));
    EXPECT_NE(ui->window.manager.GetFocus(), three->GetItemAt(1));
    three->SetEnabled(false);
    ui->Click(100, 25);
    EXPECT_EQ(three->GetDropWindow(), nullptr) << "disabled";
    const int selected = three->GetSelectedIndex();
    ASSERT_EQ(selected, 1);
    EXPECT_EQ(std::wstring(three->GetItemAt(selected)->GetUserData()), L"22");
    EXPECT_EQ(three->GetItemAt(selected)->GetTag(), 0x1001u);
    EXPECT_EQ(std::wstring(three->GetText()), L"华东一区");
    three->SetEnabled(true);
}

}  // namespace
