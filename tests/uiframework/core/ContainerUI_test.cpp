// The container in a real window: ownership of children, layout, scroll bars
// driven by keys and the wheel, hit tests and the order of painting.

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "core/ContainerUI.h"
#include "core/ControlInterfaces.h"
#include "DibCanvas.h"
#include "LayoutTestControls.h"
#include "controls/VerticalLayoutUI.h"
#include "ManagedWindow.h"
#include "core/ScrollBarUI.h"

using namespace CalUI;

namespace {

// Lets the window's next paint run the layout.
void LayOut(ManagedWindow& window)
{
    InvalidateRect(window.GetWindowHandle(), nullptr, FALSE);
    UpdateWindow(window.GetWindowHandle());
}

std::vector<std::wstring> Names(const CContainerUI& box)
{
    std::vector<std::wstring> names;
    for (int i = 0; i < box.GetCount(); ++i)
        names.push_back(box.GetItemAt(i)->GetName().GetData());
    return names;
}

CountedControl* Named(LPCWSTR name, int width = 0, int height = 0)
{
    auto* control = new CountedControl(width, height);
    control->SetName(name);
    return control;
}

// A vertical layout of `count` rows of 100 pixels named r0, r1, ... as the
// window's root; the first paint lays it out in 400 x 300.
CVerticalLayoutUI* AttachRows(ManagedWindow& window, int count, LPCWSTR attributes)
{
    auto* rows = new CVerticalLayoutUI;
    rows->SetAttributeList(attributes);
    for (int i = 0; i < count; ++i)
        rows->Add(Named((L"r" + std::to_wstring(i)).c_str(), 0, 100));
    window.Attach(rows);
    window.Pump();
    window.notifications.clear();
    return rows;
}

// Fills its whole rectangle with one colour, whatever the clipping allows.
class FillControl : public CControlUI
{
public:
    FillControl(LPCWSTR name, COLORREF color) : m_color(color) { SetName(name); }

    void PaintBkColor(HDC dc) override
    {
        HBRUSH brush = CreateSolidBrush(m_color);
        FillRect(dc, &m_pos, brush);
        DeleteObject(brush);
    }

private:
    COLORREF m_color;
};

// Four rows and one of 1000 pixels, with both bars.
CVerticalLayoutUI* AttachWideRows(ManagedWindow& window)
{
    CVerticalLayoutUI* rows = AttachRows(window, 4, L"vscrollbar=\"true\" hscrollbar=\"true\"");
    rows->Add(Named(L"wide", 1000, 100));
    LayOut(window);
    return rows;
}

}  // namespace

// ---- Children -------------------------------------------------------------------

TEST(ContainerItems, RefusesNullBadIndexesAndStrangers)
{
    CContainerUI box;
    CountedControl stranger;
    EXPECT_FALSE(box.Add(nullptr));
    auto* child = Named(L"a");
    EXPECT_FALSE(box.AddAt(child, 1));  // past the end of an empty list
    ASSERT_TRUE(box.AddAt(child, 0));
    EXPECT_EQ(nullptr, box.GetItemAt(-1));
    EXPECT_EQ(nullptr, box.GetItemAt(1));
    EXPECT_EQ(-1, box.GetItemIndex(&stranger));
    EXPECT_FALSE(box.Remove(&stranger));
    EXPECT_FALSE(box.Remove(nullptr));
    EXPECT_FALSE(box.RemoveAt(1));
    EXPECT_FALSE(box.SetItemIndex(&stranger, 0));
    EXPECT_FALSE(box.SetItemIndex(child, 1));  // the child stays where it was
    EXPECT_FALSE(box.SetItemIndex(child, -1));
    EXPECT_EQ(child, box.GetItemAt(0));
    EXPECT_EQ(1, box.GetCount());
}

TEST(ContainerItems, RemoveKeepsOrDestroysAsAsked)
{
    const int before = CountedControl::live;
    {
        CContainerUI box;
        auto* kept = Named(L"kept");
        box.Add(kept);
        box.Add(Named(L"dropped"));
        ASSERT_TRUE(box.Remove(kept, true));
        EXPECT_EQ(before + 2, CountedControl::live);
        ASSERT_TRUE(box.RemoveAt(0));
        EXPECT_EQ(before + 1, CountedControl::live);

        box.SetAutoDestroy(false);
        box.Add(kept);
        box.RemoveAll();
        EXPECT_EQ(0, box.GetCount());
        EXPECT_EQ(before + 1, CountedControl::live);
        kept->Delete();

        box.SetAutoDestroy(true);
        box.Add(Named(L"last"));
        box.EnableScrollBar(true, true);
    }
    EXPECT_EQ(before, CountedControl::live);  // children and bars go with the container
}

TEST(ContainerItems, DelayedDestroyWaitsForTheManagersCleanup)
{
    ManagedWindow window;
    auto* box = new CContainerUI;
    auto* child = Named(L"child");
    box->Add(child);
    box->SetDelayedDestroy(true);
    window.Attach(box);
    const int before = CountedControl::live;

    ASSERT_TRUE(box->Remove(child));
    EXPECT_EQ(0, box->GetCount());
    EXPECT_EQ(before, CountedControl::live);
    EXPECT_TRUE(window.PumpUntil([&] { return CountedControl::live == before - 1; }));
}

TEST(ContainerItems, MoveItemsMovesARunOrRefuses)
{
    struct Case
    {
        int first;
        int count;
        int newIndex;
        bool moved;
        std::vector<std::wstring> order;
    };
    const std::vector<std::wstring> start = {L"a", L"b", L"c", L"d", L"e"};
    const Case cases[] = {
        {1, 2, 3, true, {L"a", L"d", L"e", L"b", L"c"}},
        {3, 2, 0, true, {L"d", L"e", L"a", L"b", L"c"}},
        {2, 3, 2, true, start},  // already there
        {0, 1, 4, true, {L"b", L"c", L"d", L"e", L"a"}},
        {3, 3, 0, false, start},  // the run passes the end
        {0, 2, 4, false, start},  // so would the run at its new place
        {0, -1, 1, false, start},
        {0, 1, -1, false, start},
    };
    for (const Case& c : cases) {
        CContainerUI box;
        for (const std::wstring& name : start)
            box.Add(Named(name.c_str()));
        EXPECT_EQ(c.moved, box.MoveItems(box.GetItemAt(c.first), c.count, c.newIndex))
            << c.first << " " << c.count << " " << c.newIndex;
        EXPECT_EQ(c.order, Names(box)) << c.first << " " << c.count << " " << c.newIndex;
    }
    CContainerUI box;
    CountedControl stranger;
    EXPECT_FALSE(box.MoveItems(&stranger, 1, 0));
    EXPECT_FALSE(box.MoveItems(nullptr, 1, 0));
}

namespace {

// A row the list family would select: it answers the list item interface.
class SelectableRow : public CControlUI
{
public:
    void* GetInterface(LPCWSTR name) override
    {
        return std::wcscmp(name, kListItemInterface) == 0 ? this : CControlUI::GetInterface(name);
    }
};

// A container whose items live in an inner container, as a list's rows
// live in its body: only GetCount and GetItemAt show them.
class RowsInside : public CContainerUI
{
public:
    RowsInside() { CContainerUI::Add(&inner); }
    ~RowsInside() override { CContainerUI::Remove(&inner, true); }
    int GetCount() const override { return inner.GetCount(); }
    CControlUI* GetItemAt(int index) const override { return inner.GetItemAt(index); }

    CContainerUI inner;
};

}  // namespace

// Rows 1 and 3 cannot be chosen (hidden, disabled); row 0 is no list item.
TEST(ContainerItems, FindSelectableWalksTheItemsTheControlShows)
{
    struct Case
    {
        int index;
        bool forward;
        int found;
    };
    const Case cases[] = {
        {0, true, 2},  {3, true, 4},  {5, true, 4},  {-7, true, 2},
        {99, true, 4}, {3, false, 2}, {1, false, 2}, {99, false, 4},
    };
    RowsInside box;
    box.inner.Add(new CControlUI);
    for (int i = 1; i < 5; ++i)
        box.inner.Add(new SelectableRow);
    box.inner.GetItemAt(1)->SetVisible(false);
    box.inner.GetItemAt(3)->SetEnabled(false);
    for (const Case& c : cases)
        EXPECT_EQ(box.FindSelectable(c.index, c.forward), c.found) << c.index << (c.forward ? " forward" : " backward");
    box.inner.GetItemAt(4)->SetEnabled(false);
    EXPECT_EQ(box.FindSelectable(3, true), -1) << "nothing from 3 on";
    RowsInside empty;
    EXPECT_EQ(empty.FindSelectable(0, true), -1);
}

// ---- Layout ---------------------------------------------------------------------

TEST(ContainerLayout, PlacesChildrenOverTheInsetAreaWithinTheirLimits)
{
    ManagedWindow window;
    auto* box = new CContainerUI;
    box->SetAttribute(L"inset", L"10,20,30,40");
    auto* narrow = Named(L"narrow");
    narrow->SetMaxWidth(100);
    auto* tall = Named(L"tall");
    tall->SetMinHeight(500);
    auto* floating = Named(L"floating");
    floating->SetAttribute(L"float", L"0.5,0.5,0.5,0.5");
    floating->SetAttribute(L"pos", L"-10,-5,10,5");
    auto* hidden = Named(L"hidden");
    hidden->SetVisible(false);
    for (CControlUI* child : {static_cast<CControlUI*>(narrow), static_cast<CControlUI*>(tall),
                              static_cast<CControlUI*>(floating), static_cast<CControlUI*>(hidden)})
        box->Add(child);
    window.Attach(box);

    EXPECT_EQ((RECT{10, 20, 110, 260}), narrow->GetPos());
    EXPECT_EQ((RECT{10, 20, 370, 520}), tall->GetPos());
    EXPECT_EQ((RECT{190, 145, 210, 155}), floating->GetPos());  // centred on 200,150
    EXPECT_EQ((RECT{0, 0, 0, 0}), hidden->GetPos());
    EXPECT_EQ((RECT{10, 20, 370, 260}), box->GetClientPos());
}

// ---- Scrolling ------------------------------------------------------------------

TEST(ContainerScroll, OverflowShowsTheBarAtTheTopAndShrinkingHidesIt)
{
    ManagedWindow window;
    CVerticalLayoutUI* rows = AttachRows(window, 5, L"vscrollbar=\"true\"");
    CScrollBarUI* bar = rows->GetVerticalScrollBar();
    ASSERT_NE(nullptr, bar);
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(200, bar->GetScrollRange());
    EXPECT_EQ(0, bar->GetScrollPos());
    EXPECT_EQ((RECT{384, 0, 400, 300}), bar->GetPos());
    EXPECT_EQ((RECT{0, 0, 384, 100}), rows->GetItemAt(0)->GetPos());

    rows->RemoveAt(4);
    rows->RemoveAt(3);
    rows->RemoveAt(2);
    LayOut(window);
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ(0, bar->GetScrollPos());
    EXPECT_EQ((RECT{0, 0, 400, 100}), rows->GetItemAt(0)->GetPos());
}

TEST(ContainerScroll, AHeightChangeStartsTheBarAgainFromTheTop)
{
    ManagedWindow window;
    CVerticalLayoutUI* rows = AttachRows(window, 5, L"vscrollbar=\"true\"");
    rows->SetScrollPos(SIZE{0, 150});
    ASSERT_EQ(150, rows->GetScrollPos().cy);
    EXPECT_EQ(-150, rows->GetItemAt(0)->GetPos().top);

    rows->SetPos(RECT{0, 0, 400, 250});
    EXPECT_EQ(0, rows->GetScrollPos().cy);
    EXPECT_EQ(250, rows->GetScrollRange().cy);
    EXPECT_EQ(0, rows->GetItemAt(0)->GetPos().top);
}

TEST(ContainerScroll, SkinScrollUnitIsTheWheelAndArrowStep)
{
    ManagedWindow window;
    CVerticalLayoutUI* rows = AttachRows(window, 5, L"vscrollbar=\"true\"");
    rows->SetAttribute(L"vscrollbarstyle", L"scrollunit=\"64\"");
    window.manager.SetFocus(rows, true);
    ASSERT_EQ(window.GetWindowHandle(), GetFocus());

    POINT screen = {100, 100};
    ClientToScreen(window.GetWindowHandle(), &screen);
    window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(64, rows->GetScrollPos().cy);
    window.Send(WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(128, rows->GetScrollPos().cy);
    EXPECT_EQ(-128, rows->GetItemAt(0)->GetPos().top);

    // The burst reaches the window once, with the last move.
    window.Pump();
    const std::vector<ReceivedNotify> scrolls = NotificationsOfType(window, L"scroll");
    ASSERT_EQ(1u, scrolls.size());
    EXPECT_EQ(128u, scrolls[0].wParam);
    EXPECT_EQ(64, scrolls[0].lParam);

    window.Send(WM_KEYDOWN, VK_HOME);
    EXPECT_EQ(0, rows->GetScrollPos().cy);
}

TEST(ContainerScroll, KeysGoToTheVerticalBarWhileItIsVisibleAndEnabled)
{
    ManagedWindow window;
    CVerticalLayoutUI* rows = AttachWideRows(window);
    ASSERT_TRUE(rows->GetVerticalScrollBar()->IsVisible());
    ASSERT_TRUE(rows->GetHorizontalScrollBar()->IsVisible());
    EXPECT_EQ((SIZE{616, 216}), rows->GetScrollRange());
    window.manager.SetFocus(rows, true);

    window.Send(WM_KEYDOWN, VK_NEXT);
    EXPECT_EQ((SIZE{0, 216}), rows->GetScrollPos());  // a page is 300 less the bottom bar

    rows->SetScrollPos(SIZE{100, 216});
    rows->GetVerticalScrollBar()->SetVisible(false);
    window.Send(WM_KEYDOWN, VK_HOME);
    EXPECT_EQ(0, rows->GetScrollPos().cx) << "with only the horizontal bar visible, Home scrolls it";
    window.Send(WM_KEYDOWN, VK_NEXT);
    EXPECT_EQ(400, rows->GetScrollPos().cx) << "and Page Down pages it";

    rows->GetVerticalScrollBar()->SetVisible(true);
    rows->GetVerticalScrollBar()->SetEnabled(false);
    window.Send(WM_KEYDOWN, VK_HOME);
    EXPECT_EQ(0, rows->GetScrollPos().cx) << "a disabled vertical bar leaves the keys to the horizontal one";
    rows->GetVerticalScrollBar()->SetEnabled(true);

    rows->EnableScrollBar(false, true);
    LayOut(window);
    ASSERT_EQ(600, rows->GetScrollRange().cx);
    window.Send(WM_KEYDOWN, VK_HOME);
    EXPECT_EQ(0, rows->GetScrollPos().cx);
    window.Send(WM_KEYDOWN, VK_NEXT);
    EXPECT_EQ(400, rows->GetScrollPos().cx);
    window.Send(WM_KEYDOWN, VK_END);
    EXPECT_EQ(600, rows->GetScrollPos().cx);
}

TEST(ContainerScroll, WheelOverTheHorizontalBarScrollsSideways)
{
    ManagedWindow window;
    CVerticalLayoutUI* rows = AttachWideRows(window);
    SetFocus(window.GetWindowHandle());

    for (POINT client : {POINT{100, 292}, POINT{100, 100}}) {
        POINT screen = client;
        ClientToScreen(window.GetWindowHandle(), &screen);
        window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    }
    EXPECT_EQ(8, rows->GetScrollPos().cx);
    EXPECT_GT(rows->GetScrollPos().cy, 0);
    EXPECT_EQ(-8, rows->GetItemAt(4)->GetPos().left);
}

TEST(ContainerScroll, ScrollToBottomWaitsForThePostPaint)
{
    ManagedWindow window;
    CVerticalLayoutUI* rows = AttachRows(window, 5, L"vscrollbar=\"true\"");
    rows->ScrollToBottom();
    EXPECT_EQ(0, rows->GetScrollPos().cy);
    rows->PostPaint(nullptr);
    EXPECT_EQ(200, rows->GetScrollPos().cy);
    rows->SetScrollPos(SIZE{0, 0});
    rows->PostPaint(nullptr);  // carried out once only
    EXPECT_EQ(0, rows->GetScrollPos().cy);
}

TEST(ContainerScroll, BarStyleAppliesOnlyOnceTheBarExists)
{
    CContainerUI box;
    box.SetAttribute(L"vscrollbarstyle", L"scrollunit=\"64\"");
    box.SetAttribute(L"vscrollbar", L"true");
    ASSERT_NE(nullptr, box.GetVerticalScrollBar());
    EXPECT_EQ(1, box.GetVerticalScrollBar()->GetScrollUnit());
    box.SetAttribute(L"vscrollbarstyle", L"scrollunit=\"64\"");
    EXPECT_EQ(64, box.GetVerticalScrollBar()->GetScrollUnit());
    box.SetAttribute(L"vscrollbar", L"false");
    EXPECT_EQ(nullptr, box.GetVerticalScrollBar());
}

// ---- Hit tests and painting -------------------------------------------------------

TEST(ContainerHitTest, ChildrenAreHitOnlyInsideTheClientArea)
{
    ManagedWindow window;
    auto* box = new CContainerUI;
    box->SetName(L"box");
    box->SetAttribute(L"inset", L"20,20,20,20");
    auto* wide = Named(L"wide");
    wide->SetMinWidth(500);
    auto* corner = Named(L"corner");
    corner->SetAttribute(L"float", L"true");
    corner->SetAttribute(L"pos", L"2,2,18,18");
    box->Add(wide);
    box->Add(corner);
    window.Attach(box);

    struct Case
    {
        POINT pt;
        LPCWSTR found;
    };
    const Case cases[] = {
        {{200, 100}, L"wide"},
        {{390, 100}, L"box"},   // over the child, but in the inset
        {{10, 10}, L"corner"},  // a float child is hit outside the client area
    };
    for (const Case& c : cases) {
        CControlUI* found = window.manager.FindControlAt(c.pt);
        ASSERT_NE(nullptr, found);
        EXPECT_STREQ(c.found, found->GetName().GetData()) << c.pt.x << "," << c.pt.y;
    }
    box->SetAttribute(L"mousechild", L"false");
    EXPECT_EQ(box, window.manager.FindControlAt(POINT{200, 100}));
}

TEST(ContainerPaint, PaintsWhatShowsInTheClientAreaAndStopsAtTheStopControl)
{
    ManagedWindow window;
    CVerticalLayoutUI* rows = AttachRows(window, 5, L"vscrollbar=\"true\"");
    auto* badge = Named(L"badge");
    badge->SetAttribute(L"float", L"true");
    badge->SetAttribute(L"pos", L"350,0,400,20");  // over the scroll bar
    rows->Add(badge);
    LayOut(window);
    rows->SetScrollPos(SIZE{0, 200});
    PaintRecorder recorder;
    for (int i = 0; i < rows->GetCount(); ++i)
        recorder.Watch(rows->GetItemAt(i));

    HDC dc = CreateCompatibleDC(nullptr);
    const RECT all = {0, 0, 400, 300};
    EXPECT_TRUE(rows->Paint(dc, all, nullptr));
    EXPECT_EQ((std::vector<std::wstring>{L"r2", L"r3", L"r4", L"badge"}), recorder.painted);

    recorder.painted.clear();
    EXPECT_FALSE(rows->Paint(dc, all, rows->GetItemAt(3)));
    EXPECT_EQ((std::vector<std::wstring>{L"r2"}), recorder.painted);
    DeleteDC(dc);
}

TEST(ContainerPaint, ChildrenAreClippedToTheClientAreaAndFloatChildrenToTheContainer)
{
    ManagedWindow window;
    auto* box = new CContainerUI;
    box->SetAttribute(L"inset", L"20,20,20,20");
    auto* wide = new FillControl(L"wide", RGB(255, 0, 0));
    wide->SetMinWidth(500);
    auto* corner = new FillControl(L"corner", RGB(0, 0, 255));
    corner->SetAttribute(L"float", L"true");
    corner->SetAttribute(L"pos", L"2,2,18,18");
    box->Add(wide);
    box->Add(corner);
    window.Attach(box);
    ASSERT_EQ((RECT{20, 20, 520, 280}), wide->GetPos());

    DibCanvas canvas(400, 300);
    EXPECT_TRUE(box->Paint(canvas.dc(), RECT{0, 0, 400, 300}, nullptr));
    EXPECT_EQ(360 * 260, canvas.Count(RECT{20, 20, 380, 280}, 0xFF0000));
    EXPECT_EQ(0, canvas.Count(RECT{380, 0, 400, 300}, 0xFF0000));  // the inset stays clear
    EXPECT_EQ(16 * 16, canvas.Count(RECT{2, 2, 18, 18}, 0x0000FF));

    // Only the asked part is painted, and the clipping found is given back.
    canvas.Fill(0x00FFFFFF);
    EXPECT_TRUE(box->Paint(canvas.dc(), RECT{0, 0, 200, 300}, nullptr));
    EXPECT_EQ((RECT{2, 2, 200, 280}), canvas.BoundsOfOther(0xFFFFFF));
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(0, GetClipRgn(canvas.dc(), region));
    DeleteObject(region);
}
