// The scroll bar: the places of its parts, its position rules and skin
// attributes, a layout's bar and stand-alone bars driven by real mouse, wheel
// and key messages and timer ticks, and the parts' looks by state read from
// the window's own off-screen pixels (Xvfb composes no layered window).

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "DibCanvas.h"
#include "GeometryText.h"
#include "LayoutTestControls.h"
#include "ManagedWindow.h"
#include "core/ScrollBarUI.h"
#include "controls/VerticalLayoutUI.h"
#include "builder/SkinBuilder.h"

using namespace CalUI;

namespace {

constexpr UINT kRepeatTimerId = 10;  // the bars' held-press and drag timer
constexpr UINT kRepaintTimer = 0x2000;

// The smallest rectangle of the canvas's pixels of exactly this colour, all
// zero when there are none.
RECT BoundsOf(const DibCanvas& canvas, DWORD rgb)
{
    RECT bounds = {0, 0, 0, 0};
    bool found = false;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (canvas.Rgb(x, y) != rgb)
                continue;
            if (!found) {
                bounds = RECT{x, y, x + 1, y + 1};
                found = true;
            }
            bounds.left = std::min<LONG>(bounds.left, x);
            bounds.top = std::min<LONG>(bounds.top, y);
            bounds.right = std::max<LONG>(bounds.right, x + 1);
            bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
        }
    }
    return bounds;
}

// The test programs run side by side and share one cursor. Their windows
// open at 100,100; these bars follow the real cursor (a held press on the
// rail reads it), so their windows move where no other program points.
void MoveAside(ManagedWindow& window)
{
    SetWindowPos(window.GetWindowHandle(), nullptr, 1150, 650, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

POINT ScreenPoint(const ManagedWindow& window, POINT client)
{
    ClientToScreen(window.GetWindowHandle(), &client);
    return client;
}

// Puts the real cursor where a message says the mouse is, so that what the
// system reports of the real mouse agrees with the posted messages.
void PlaceCursor(const ManagedWindow& window, POINT client)
{
    const POINT screen = ScreenPoint(window, client);
    SetCursorPos(screen.x, screen.y);
}

// The bar's position as each tick of its repeat timer reached it, before the
// bar acted on the tick. It must outlive the bar: a delegate stays.
class TickRecorder
{
public:
    explicit TickRecorder(CScrollBarUI* bar) : m_bar(bar)
    {
        bar->eventDelegates.Add(CDelegate<TickRecorder, TickRecorder>(this, &TickRecorder::OnEvent));
    }

    std::vector<int> positions;

private:
    bool OnEvent(void* param)
    {
        const auto* event = static_cast<UIEvent*>(param);
        if (event->type == UIEventType::Timer && event->wParam == kRepeatTimerId)
            positions.push_back(m_bar->GetScrollPos());
        return true;
    }

    CScrollBarUI* m_bar;
};

}  // namespace

// ---- Geometry --------------------------------------------------------------------

// Each part painted in a colour of its own shows where the layout put it.
TEST(ScrollBarGeometry, PartsFollowLengthRangePositionAndButtons)
{
    constexpr DWORD kButton1 = 0xFF0000;
    constexpr DWORD kButton2 = 0x0000FF;
    constexpr DWORD kThumb = 0x00FF00;
    constexpr RECT kNone = {0, 0, 0, 0};
    struct Case
    {
        const char* what;
        bool horizontal;
        LPCWSTR buttons;  // showbutton1, showbutton2
        int range;
        int pos;
        int length;
        RECT button1;
        RECT button2;
        RECT thumb;
    };
    const Case cases[] = {
        {"middle of the range", false, L"11", 100, 50, 200, {0, 0, 16, 16}, {0, 184, 16, 200}, {0, 44, 16, 156}},
        {"end of the range", false, L"11", 100, 100, 200, {0, 0, 16, 16}, {0, 184, 16, 200}, {0, 72, 16, 184}},
        {"range 0: the thumb fills the rail",
         false,
         L"11",
         0,
         0,
         200,
         {0, 0, 16, 16},
         {0, 184, 16, 200},
         {0, 16, 16, 184}},
        {"a range far beyond the length: the thumb is as long as the bar is thick",
         false,
         L"11",
         1000000,
         0,
         200,
         {0, 0, 16, 16},
         {0, 184, 16, 200},
         {0, 16, 16, 32}},
        {"the largest range at its end",
         false,
         L"11",
         INT_MAX,
         INT_MAX,
         200,
         {0, 0, 16, 16},
         {0, 184, 16, 200},
         {0, 168, 16, 184}},
        {"40 long: square buttons, no thumb", false, L"11", 100, 0, 40, {0, 0, 16, 16}, {0, 24, 16, 40}, kNone},
        {"20 long: buttons half the length", false, L"11", 100, 0, 20, {0, 0, 16, 10}, {0, 10, 16, 20}, kNone},
        {"button 1 hidden gives its room to the rail",
         false,
         L"01",
         100,
         0,
         200,
         kNone,
         {0, 184, 16, 200},
         {0, 0, 16, 122}},
        {"button 2 hidden", false, L"10", 100, 100, 200, {0, 0, 16, 16}, kNone, {0, 78, 16, 200}},
        {"no buttons and too short for a thumb", false, L"00", 100, 0, 10, kNone, kNone, kNone},
        {"no length at all", false, L"11", 100, 0, 0, kNone, kNone, kNone},
        {"horizontal", true, L"11", 100, 50, 200, {0, 0, 16, 16}, {184, 0, 200, 16}, {44, 0, 156, 16}},
        {"horizontal, 20 long", true, L"11", 100, 0, 20, {0, 0, 10, 16}, {10, 0, 20, 16}, kNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CScrollBarUI bar;
        bar.SetHorizontal(c.horizontal);
        bar.SetShowButton1(c.buttons[0] == L'1');
        bar.SetShowButton2(c.buttons[1] == L'1');
        bar.SetButton1Color(0xFF000000 | kButton1);
        bar.SetButton2Color(0xFF000000 | kButton2);
        bar.SetThumbColor(0xFF000000 | kThumb);
        bar.SetScrollRange(c.range);
        bar.SetScrollPos(c.pos, false);
        const RECT place = c.horizontal ? RECT{0, 0, c.length, 16} : RECT{0, 0, 16, c.length};
        bar.SetPos(place);

        DibCanvas canvas(210, 210);
        EXPECT_TRUE(bar.Paint(canvas.dc(), RECT{0, 0, 210, 210}, nullptr));
        EXPECT_EQ(c.button1, BoundsOf(canvas, kButton1));
        EXPECT_EQ(c.button2, BoundsOf(canvas, kButton2));
        EXPECT_EQ(c.thumb, BoundsOf(canvas, kThumb));
    }
}

// ---- Position, range and attributes ---------------------------------------------------

TEST(ScrollBarPosition, ClampsIntoTheRangeAndRoundsUpToTheScrollUnit)
{
    struct Case
    {
        int range;
        int unit;
        int set;
        int expected;
    };
    const Case cases[] = {
        {300, 64, 1, 64},
        {300, 64, 65, 128},
        {300, 64, 290, 300},  // 320 is past the range, whose end need not be a multiple
        {300, 64, -5, 0},
        {300, 1, 301, 300},
        {INT_MAX, 64, INT_MAX - 10, INT_MAX},  // the rounding leaves the int range
    };
    for (const Case& c : cases) {
        CScrollBarUI bar;
        bar.SetScrollRange(c.range);
        bar.SetScrollUnit(c.unit);
        bar.SetScrollPos(c.set);
        EXPECT_EQ(c.expected, bar.GetScrollPos()) << c.range << " / " << c.unit << " / " << c.set;
    }

    CScrollBarUI bar;
    bar.SetScrollPos(80);
    bar.SetScrollRange(50);
    EXPECT_EQ(50, bar.GetScrollPos()) << "a smaller range takes the position along";
    bar.SetScrollRange(-3);
    EXPECT_EQ(0, bar.GetScrollRange());
    EXPECT_EQ(0, bar.GetScrollPos());
}

TEST(ScrollBarAttributes, SkinValuesSetTheModel)
{
    struct Case
    {
        LPCWSTR attributes;
        int range;
        int pos;
        int lineSize;
        int unit;
        bool horizontal;
        SIZE fixed;
    };
    const Case cases[] = {
        {L"", 100, 0, 8, 1, false, {16, 0}},
        {L"range=\"500\" value=\"120\" linesize=\"20\"", 500, 120, 20, 1, false, {16, 0}},
        {L"value=\"120\" range=\"500\"", 500, 100, 8, 1, false, {16, 0}},  // the value met the old range
        {L"scrollunit=\"64\" linesize=\"20\"", 100, 0, 64, 64, false, {16, 0}},
        {L"linesize=\"-4\" scrollunit=\"-2\"", 100, 0, 8, 1, false, {16, 0}},  // negatives are ignored
        {L"range=\"-5\" value=\"x9\"", 0, 0, 8, 1, false, {16, 0}},
        {L"hor=\"true\"", 100, 0, 8, 1, true, {0, 16}},
        {L"hor=\"TRUE\"", 100, 0, 8, 1, false, {16, 0}},                // only "true" is true
        {L"height=\"10\" hor=\"true\"", 100, 0, 8, 1, true, {16, 10}},  // a set height stays the thickness
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "attributes: " << std::wstring(c.attributes).c_str());
        CScrollBarUI bar;
        bar.SetAttributeList(c.attributes);
        EXPECT_EQ(c.range, bar.GetScrollRange());
        EXPECT_EQ(c.pos, bar.GetScrollPos());
        EXPECT_EQ(c.lineSize, bar.GetLineSize());
        EXPECT_EQ(c.unit, bar.GetScrollUnit());
        EXPECT_EQ(c.horizontal, bar.IsHorizontal());
        EXPECT_EQ(c.fixed.cx, bar.GetFixedWidth());
        EXPECT_EQ(c.fixed.cy, bar.GetFixedHeight());
    }

    CScrollBarUI bar;
    EXPECT_STREQ(L"ScrollBar", bar.GetClass());
    EXPECT_EQ(&bar, bar.GetInterface(L"ScrollBar"));
    EXPECT_EQ(nullptr, bar.GetInterface(L"scrollbar"));
    bar.SetAttribute(L"thumbsize", L"3");  // no attribute of the bar's: kept as a custom one
    EXPECT_STREQ(L"3", bar.GetCustomAttribute(L"thumbsize"));
}

// ---- A layout's bar -----------------------------------------------------------------

// Thirty rows of 100 in a 400 x 300 vertical layout whose vertical bar steps
// 10 a line: the bar takes x 384 to 400, its range is 2700, its rail 268
// long, its thumb 26 long and placed at 16 + 242 x position / 2700. One
// window serves every case (a window takes seconds to go).
class LayoutBar : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        window = new ManagedWindow;
        MoveAside(*window);
        rows = new CVerticalLayoutUI;
        rows->SetName(L"rows");
        rows->SetAttribute(L"vscrollbar", L"true");
        rows->SetAttribute(L"vscrollbarstyle", L"scrollunit=\"10\"");
        for (int i = 0; i < 30; ++i) {
            auto* row = new CountedControl(0, 100);
            row->SetName((L"r" + std::to_wstring(i)).c_str());
            rows->Add(row);
        }
        window->Attach(rows);
        window->Pump();
        bar = rows->GetVerticalScrollBar();
        if (bar != nullptr)
            recorder = new TickRecorder(bar);
    }

    static void TearDownTestSuite()
    {
        delete window;
        window = nullptr;
        delete recorder;
        recorder = nullptr;
    }

    void SetUp() override
    {
        ASSERT_NE(nullptr, bar);
        ASSERT_TRUE(bar->IsVisible());
        ASSERT_EQ(2700, bar->GetScrollRange());
        SetForegroundWindow(window->GetWindowHandle());
        rows->SetScrollPos(SIZE{0, 0}, false);
        window->Pump();
        window->notifications.clear();
        recorder->positions.clear();
    }

    // Where the first row is drawn: the content moves with the position.
    int FirstRowTop() const { return rows->GetItemAt(0)->GetPos().top; }

    void Post(UINT message, POINT pt, WPARAM keys = 0)
    {
        PostMessageW(window->GetWindowHandle(), message, keys, MAKELPARAM(pt.x, pt.y));
        window->Pump();
    }

    void WaitForTicks(const TickRecorder& ticks, size_t count)
    {
        ASSERT_TRUE(window->PumpUntil([&] { return ticks.positions.size() >= count; }))
            << "only " << ticks.positions.size() << " ticks arrived";
    }

    std::vector<ReceivedNotify> Scrolls() const { return NotificationsOfType(*window, L"scroll"); }

    static ManagedWindow* window;
    static CVerticalLayoutUI* rows;  // owned by the window
    static CScrollBarUI* bar;        // owned by rows
    static TickRecorder* recorder;
};

ManagedWindow* LayoutBar::window = nullptr;
CVerticalLayoutUI* LayoutBar::rows = nullptr;
CScrollBarUI* LayoutBar::bar = nullptr;
TickRecorder* LayoutBar::recorder = nullptr;

TEST_F(LayoutBar, HeldButton2StepsOnceThenWaitsFiveTicksThenStepsEachTick)
{
    const POINT button2 = {392, 292};
    PlaceCursor(*window, button2);
    const TickRecorder& ticks = *recorder;
    Post(WM_LBUTTONDOWN, button2, MK_LBUTTON);
    EXPECT_EQ(10, bar->GetScrollPos()) << "one line at the press";
    EXPECT_EQ(-10, FirstRowTop());

    WaitForTicks(ticks, 8);
    // Positions as ticks 1 to 8 found them: ticks 1 to 5 do nothing.
    const std::vector<int> seen(ticks.positions.begin(), ticks.positions.begin() + 8);
    EXPECT_EQ((std::vector<int>{10, 10, 10, 10, 10, 10, 20, 30}), seen);

    Post(WM_LBUTTONUP, button2);
    const int released = bar->GetScrollPos();
    const size_t ticksAtRelease = ticks.positions.size();
    window->PumpUntil([] { return false; }, 200);
    EXPECT_EQ(released, bar->GetScrollPos()) << "the release ends the repeat";
    EXPECT_EQ(ticksAtRelease, ticks.positions.size()) << "and the timer";
    EXPECT_EQ(-released, FirstRowTop());
    EXPECT_EQ(rows, window->manager.GetFocus()) << "the container keeps the focus after a click on its bar";
}

TEST_F(LayoutBar, HeldPressOnTheRailPagesWhileTheCursorStaysInTheRailBeyondTheThumb)
{
    const POINT rail = {392, 150};
    PlaceCursor(*window, rail);
    const TickRecorder& ticks = *recorder;
    Post(WM_LBUTTONDOWN, rail, MK_LBUTTON);
    EXPECT_EQ(300, bar->GetScrollPos()) << "a page, the client height, at the press";

    // From the sixth tick on a page per tick, until the thumb (150 to 176 at
    // 1500) reaches the cursor.
    WaitForTicks(ticks, 12);
    EXPECT_EQ((std::vector<int>{300, 300, 300, 300, 300, 300, 600, 900, 1200, 1500, 1500, 1500}),
              std::vector<int>(ticks.positions.begin(), ticks.positions.begin() + 12));

    // The cursor leaves the bar: nothing, however far below the thumb.
    PlaceCursor(*window, POINT{200, 280});
    WaitForTicks(ticks, ticks.positions.size() + 3);
    EXPECT_EQ(1500, bar->GetScrollPos());

    // Back in the rail below the thumb: paging goes on.
    PlaceCursor(*window, POINT{392, 280});
    WaitForTicks(ticks, ticks.positions.size() + 2);
    EXPECT_GT(bar->GetScrollPos(), 1500);

    Post(WM_LBUTTONUP, POINT{392, 280});
    EXPECT_EQ(-bar->GetScrollPos(), FirstRowTop());
}

TEST_F(LayoutBar, ThumbDragMovesTheContentAtTheNextTick)
{
    const POINT thumb = {392, 20};  // the thumb lies at 16 to 42
    PlaceCursor(*window, thumb);
    window->Pump();
    const TickRecorder& ticks = *recorder;
    window->Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(thumb.x, thumb.y));

    // 100 pixels of the 242 the thumb can travel: 1115 of 2700, rounded up to the unit.
    PlaceCursor(*window, POINT{392, 120});
    window->Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(392, 120));
    EXPECT_EQ(0, bar->GetScrollPos()) << "the move itself moves nothing";
    EXPECT_EQ(0, FirstRowTop());
    WaitForTicks(ticks, 1);
    window->Pump();
    EXPECT_EQ(1120, bar->GetScrollPos());
    EXPECT_EQ(-1120, FirstRowTop());

    // Back up by half: the offset counts from where the drag began.
    PlaceCursor(*window, POINT{392, 70});
    window->Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(392, 70));
    WaitForTicks(ticks, ticks.positions.size() + 1);
    window->Pump();
    EXPECT_EQ(560, bar->GetScrollPos());

    window->Send(WM_LBUTTONUP, 0, MAKELPARAM(392, 70));
    window->Send(WM_MOUSEMOVE, 0, MAKELPARAM(392, 250));
    window->PumpUntil([] { return false; }, 150);
    EXPECT_EQ(560, bar->GetScrollPos()) << "after the release the mouse drags nothing";
    EXPECT_EQ(-560, FirstRowTop());
}

TEST_F(LayoutBar, WheelAndKeysOnTheBarScrollTheContainer)
{
    const POINT button1 = {392, 8};
    PlaceCursor(*window, button1);
    Post(WM_LBUTTONDOWN, button1, MK_LBUTTON);
    Post(WM_LBUTTONUP, button1);
    EXPECT_EQ(0, bar->GetScrollPos());
    ASSERT_EQ(rows, window->manager.GetFocus());

    window->Send(WM_KEYDOWN, VK_NEXT);
    EXPECT_EQ(300, bar->GetScrollPos());
    window->Send(WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(310, bar->GetScrollPos());

    // The wheel goes to the window with the keyboard focus, which other
    // programs' windows may have taken meanwhile.
    SetFocus(window->GetWindowHandle());
    const POINT onBar = ScreenPoint(*window, POINT{392, 150});
    window->Send(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(onBar.x, onBar.y));
    EXPECT_EQ(320, bar->GetScrollPos()) << "the wheel over the bar scrolls its container";
    window->Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(onBar.x, onBar.y));
    EXPECT_EQ(310, bar->GetScrollPos());
    EXPECT_EQ(-310, FirstRowTop());
}

TEST_F(LayoutBar, ScrollIsQueuedOnceForABurstAndNeverForAnUnchangedPosition)
{
    window->Send(WM_KEYDOWN, VK_UP);  // at the top already
    window->Pump();
    EXPECT_TRUE(Scrolls().empty());

    window->manager.SetFocus(rows, true);
    window->Send(WM_KEYDOWN, VK_DOWN);
    window->Send(WM_KEYDOWN, VK_DOWN);
    EXPECT_TRUE(Scrolls().empty()) << "queued, not sent at once";
    window->Pump();
    std::vector<ReceivedNotify> scrolls = Scrolls();
    ASSERT_EQ(1u, scrolls.size());
    EXPECT_EQ(bar, scrolls[0].senderControl);
    EXPECT_EQ(20u, scrolls[0].wParam);
    EXPECT_EQ(10, scrolls[0].lParam);

    // At the end a click on button 2 asks for a position past the range.
    window->notifications.clear();
    rows->SetScrollPos(SIZE{0, 2700});
    window->Pump();
    window->notifications.clear();
    const POINT button2 = {392, 292};
    PlaceCursor(*window, button2);
    Post(WM_LBUTTONDOWN, button2, MK_LBUTTON);
    Post(WM_LBUTTONUP, button2);
    EXPECT_EQ(2700, bar->GetScrollPos());
    EXPECT_TRUE(Scrolls().empty());
}

// ---- Bars built from a skin, without an owner ---------------------------------------------

// Bars floating in a container that sits at 40,30 of a layered window:
// "free" at 50,40 to 66,240 (its thumb 28 long), "huge" at 90,40 with a
// range of two thousand million, "looks" at 140,40 with an image for every
// part and state, "across", horizontal, at 190,40 to 390,56, and "stub", 40
// long, with buttons at 240,70 and 240,94 and no thumb, and "flat" at 290,70
// with a range of 0, its thumb filling the rail from 86 to 154.
class SkinBars : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        window = new ManagedWindow;
        MoveAside(*window);
        CSkinBuilder builder;
        CControlUI* root = builder.Create(
            L"<Window><Container inset=\"40,30,0,0\"><Container>"
            L"<ScrollBar name=\"free\" float=\"true\" pos=\"10,10,26,210\" range=\"1000\" linesize=\"7\" "
            L"value=\"300\"/>"
            L"<ScrollBar name=\"huge\" float=\"true\" pos=\"50,10,66,210\" range=\"2000000000\"/>"
            L"<ScrollBar name=\"looks\" float=\"true\" pos=\"100,10,116,210\" "
            L"bknormalimage=\"color='FF202020'\" button1normalimage=\"color='FF0000C0'\" "
            L"button2normalimage=\"color='FF00C000'\" button2hotimage=\"color='FF00FF00'\" "
            L"button2pushedimage=\"color='FF008000'\" button2disabledimage=\"color='FF404040'\" "
            L"thumbnormalimage=\"color='FFC00000'\" thumbhotimage=\"color='FFFF0000'\" "
            L"thumbpushedimage=\"color='FF800000'\" thumbdisabledimage=\"color='FF606060'\" "
            L"railnormalimage=\"color='FFFFFF00'\" raildisabledimage=\"color='FF808000'\"/>"
            L"<ScrollBar name=\"across\" float=\"true\" hor=\"true\" pos=\"150,10,350,26\" linesize=\"5\"/>"
            L"<ScrollBar name=\"stub\" float=\"true\" pos=\"200,40,216,80\"/>"
            L"<ScrollBar name=\"flat\" float=\"true\" pos=\"250,40,266,140\" range=\"0\"/>"
            L"</Container></Container></Window>",
            nullptr, nullptr, &window->manager);
        if (root == nullptr)
            return;
        window->manager.SetLayered(true);
        window->Attach(root);
        window->PumpUntil([] { return window->manager.GetOffscreenPixels() != nullptr; });
    }

    static void TearDownTestSuite()
    {
        delete window;
        window = nullptr;
    }

    void SetUp() override
    {
        ASSERT_NE(nullptr, window->manager.GetRoot()) << "the skin built nothing";
        ASSERT_NE(nullptr, window->manager.GetOffscreenPixels());
        SetForegroundWindow(window->GetWindowHandle());
        window->Pump();
        window->notifications.clear();
    }

    static CScrollBarUI* Bar(LPCWSTR name)
    {
        CControlUI* control = window->manager.FindControl(name);
        return control != nullptr ? static_cast<CScrollBarUI*>(control->GetInterface(L"ScrollBar")) : nullptr;
    }

    // A click as the user makes it: the cursor there, press and release.
    void Click(POINT pt)
    {
        PlaceCursor(*window, pt);
        Post(WM_MOUSEMOVE, pt);
        Post(WM_LBUTTONDOWN, pt, MK_LBUTTON);
        Post(WM_LBUTTONUP, pt);
    }

    void Post(UINT message, POINT pt, WPARAM keys = 0)
    {
        PostMessageW(window->GetWindowHandle(), message, keys, MAKELPARAM(pt.x, pt.y));
        window->Pump();
    }

    // Paints the whole window the way the repaint timer does.
    void Repaint()
    {
        window->manager.InvalidateAll();
        window->Send(WM_TIMER, kRepaintTimer, 0);
    }

    // Client pixel (x, y) of the bottom-up off-screen bitmap.
    DWORD Pixel(int x, int y) const
    {
        const SIZE size = window->manager.GetOffscreenSize();
        return window->manager.GetOffscreenPixels()[(size.cy - 1 - y) * size.cx + x];
    }

    static ManagedWindow* window;
};

ManagedWindow* SkinBars::window = nullptr;

TEST_F(SkinBars, AStandAloneBarMovesItsOwnPositionByLinesAndItsOwnLength)
{
    CScrollBarUI* free = Bar(L"free");
    ASSERT_NE(nullptr, free);
    ASSERT_EQ(300, free->GetScrollPos());
    const RECT place = {50, 40, 66, 240};
    ASSERT_EQ(place, free->GetPos());

    struct Case
    {
        const char* what;
        POINT pt;
        int expected;
    };
    // The thumb lies at 98 to 126 for 300 and at 126 to 154 for 500.
    const Case cases[] = {
        {"button 2: a line", {58, 235}, 307},
        {"button 1: a line back", {58, 45}, 300},
        {"the rail after the thumb: the bar's height", {58, 200}, 500},
        {"the rail before the thumb", {58, 100}, 300},
        {"button 1 at a line from the start", {58, 45}, 293},
    };
    for (const Case& c : cases) {
        Click(c.pt);
        EXPECT_EQ(c.expected, free->GetScrollPos()) << c.what;
        EXPECT_EQ(place, free->GetPos()) << c.what << ": the bar stays where it floats";
    }
    EXPECT_EQ(free, window->manager.GetFocus()) << "without an owner the bar takes the focus itself";

    const std::vector<ReceivedNotify> scrolls = NotificationsOfType(*window, L"scroll");
    ASSERT_EQ(std::size(cases), scrolls.size());
    EXPECT_EQ(L"free", scrolls.back().sender);
    EXPECT_EQ(293u, scrolls.back().wParam);
    EXPECT_EQ(300, scrolls.back().lParam);

    CScrollBarUI* across = Bar(L"across");
    ASSERT_NE(nullptr, across);
    ASSERT_EQ((RECT{190, 40, 390, 56}), across->GetPos());
    Click(POINT{382, 48});
    EXPECT_EQ(5, across->GetScrollPos()) << "button 2 of a horizontal bar";
    Click(POINT{350, 48});
    EXPECT_EQ(100, across->GetScrollPos()) << "a page of its width, clamped to the range";
    Click(POINT{250, 48});
    EXPECT_EQ(0, across->GetScrollPos()) << "the rail before the thumb";

    CScrollBarUI* stub = Bar(L"stub");
    ASSERT_NE(nullptr, stub);
    Click(POINT{248, 90});
    EXPECT_EQ(0, stub->GetScrollPos()) << "between the buttons of a bar without a thumb";
    Click(POINT{248, 105});
    EXPECT_EQ(8, stub->GetScrollPos()) << "its button 2";
}

TEST_F(SkinBars, ADragMovesInProportionOverAHugeRangeAndNotAtAllOverNone)
{
    struct Case
    {
        LPCWSTR bar;
        POINT press;
        POINT to;
        int expected;
    };
    const Case cases[] = {
        // 50 of the 152 pixels the thumb, as long as the bar is thick, can travel.
        {L"huge", {98, 60}, {98, 110}, 657894736},
        // The thumb fills the rail: it can travel nowhere.
        {L"flat", {298, 100}, {298, 150}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::wstring(c.bar).c_str());
        CScrollBarUI* bar = Bar(c.bar);
        ASSERT_NE(nullptr, bar);
        PlaceCursor(*window, c.press);
        window->Pump();
        window->Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.press.x, c.press.y));
        PlaceCursor(*window, c.to);
        window->Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.to.x, c.to.y));
        // The move itself divides by the travel; the next tick applies it.
        EXPECT_TRUE(window->PumpUntil([&] { return bar->GetScrollPos() == c.expected; }));
        window->PumpUntil([] { return false; }, 120);
        EXPECT_EQ(c.expected, bar->GetScrollPos()) << "later ticks keep it";
        window->Send(WM_LBUTTONUP, 0, MAKELPARAM(c.to.x, c.to.y));
    }
}

TEST_F(SkinBars, PartsShowTheImageOfTheirStateOrElseTheNormalOne)
{
    CScrollBarUI* looks = Bar(L"looks");
    ASSERT_NE(nullptr, looks);
    struct Spot
    {
        const char* part;
        POINT pt;
    };
    // The thumb lies at 56 to 168, its rail square at 104 to 120.
    const Spot spots[] = {{"button 1", {148, 48}},
                          {"button 2", {148, 232}},
                          {"thumb", {148, 60}},
                          {"rail", {148, 112}},
                          {"background", {148, 200}}};
    auto expectLooks = [&](const char* state, std::initializer_list<DWORD> colours) {
        Repaint();
        const DWORD* colour = colours.begin();
        for (const Spot& spot : spots) {
            EXPECT_EQ(*colour, Pixel(spot.pt.x, spot.pt.y))
                << state << ": " << spot.part << std::hex << " is 0x" << Pixel(spot.pt.x, spot.pt.y);
            ++colour;
        }
    };

    expectLooks("normal", {0xFF0000C0, 0xFF00C000, 0xFFC00000, 0xFFFFFF00, 0xFF202020});

    // The mouse over the thumb makes both buttons and the thumb hot; button 1
    // and the rail have no hot image.
    PlaceCursor(*window, POINT{148, 70});
    Post(WM_MOUSEMOVE, POINT{148, 70});
    expectLooks("hot", {0xFF0000C0, 0xFF00FF00, 0xFFFF0000, 0xFFFFFF00, 0xFF202020});
    PlaceCursor(*window, POINT{300, 200});
    Post(WM_MOUSEMOVE, POINT{300, 200});
    expectLooks("left by the mouse", {0xFF0000C0, 0xFF00C000, 0xFFC00000, 0xFFFFFF00, 0xFF202020});

    // Held on button 2: pushed; the thumb, left by the mouse, is no longer hot
    // (a line moved it 4 pixels down).
    PlaceCursor(*window, POINT{148, 232});
    Post(WM_MOUSEMOVE, POINT{148, 232});
    Post(WM_LBUTTONDOWN, POINT{148, 232}, MK_LBUTTON);
    expectLooks("pushed", {0xFF0000C0, 0xFF008000, 0xFFC00000, 0xFFFFFF00, 0xFF202020});
    Post(WM_LBUTTONUP, POINT{148, 232});

    looks->SetEnabled(false);
    expectLooks("disabled", {0xFF0000C0, 0xFF404040, 0xFF606060, 0xFF808000, 0xFF202020});
    looks->SetEnabled(true);
    expectLooks("enabled again", {0xFF0000C0, 0xFF00C000, 0xFFC00000, 0xFFFFFF00, 0xFF202020});
}

// ---- A layout's horizontal bar ---------------------------------------------------------------

// Two rows and one of 1000 pixels: the horizontal bar alone, at the bottom,
// 400 long with a range of 600 and a thumb of 147 at first. When the wide
// row goes, the bar goes: hiding a bar asks no one for a layout, so the
// container places its children again itself.
TEST(LayoutHorizontalBar, ClicksScrollSidewaysAndTheBarGoesWhenTheContentFits)
{
    ManagedWindow window;
    MoveAside(window);
    auto* rows = new CVerticalLayoutUI;
    rows->SetAttributeList(L"vscrollbar=\"true\" hscrollbar=\"true\"");
    for (int i = 0; i < 2; ++i)
        rows->Add(new CountedControl(0, 100));
    auto* wide = new CountedControl(1000, 50);
    rows->Add(wide);
    window.Attach(rows);
    window.Pump();
    CScrollBarUI* across = rows->GetHorizontalScrollBar();
    ASSERT_TRUE(across->IsVisible());
    ASSERT_FALSE(rows->GetVerticalScrollBar()->IsVisible());
    ASSERT_EQ(600, across->GetScrollRange());

    for (POINT pt : {POINT{392, 292}, POINT{300, 292}}) {  // button 2, then the rail after the thumb
        PlaceCursor(window, pt);
        PostMessageW(window.GetWindowHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
        PostMessageW(window.GetWindowHandle(), WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
        window.Pump();
    }
    EXPECT_EQ(408, across->GetScrollPos()) << "a line of 8, then a page of the client width";
    EXPECT_EQ(-408, rows->GetItemAt(0)->GetPos().left);

    rows->Remove(wide);
    InvalidateRect(window.GetWindowHandle(), nullptr, FALSE);
    UpdateWindow(window.GetWindowHandle());
    EXPECT_FALSE(across->IsVisible());
    EXPECT_EQ((RECT{0, 0, 400, 100}), rows->GetItemAt(0)->GetPos());
    EXPECT_EQ((RECT{0, 0, 400, 300}), rows->GetClientPos());
}
