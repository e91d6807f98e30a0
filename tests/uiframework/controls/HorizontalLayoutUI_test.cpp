// The horizontal layout: placement of its children from skin attributes, the
// horizontal scroll bar driven by keys and the wheel, and the separator drag
// along the left edge by posted mouse messages in a real window.

#include <gtest/gtest.h>

#include <vector>

#include "GeometryText.h"
#include "LayoutTestControls.h"
#include "ManagedWindow.h"
#include "controls/HorizontalLayoutUI.h"
#include "core/ControlInterfaces.h"
#include "core/ScrollBarUI.h"
#include "core/UIInterfaces.h"

using namespace CalUI;

namespace {

struct PlacementCase
{
    const char* what;
    LPCWSTR xml;  // one layout and its children
    RECT at;      // where the layout is put
    std::vector<RECT> children;
    SIZE scrollRange = {0, 0};
};

// One window for every test here: closing one costs seconds.
class HorizontalLayout : public testing::Test
{
protected:
    static void SetUpTestSuite() { window = new ManagedWindow; }
    static void TearDownTestSuite()
    {
        delete window;
        window = nullptr;
    }

    // Lets the window's next paint run the layout.
    static void Settle()
    {
        window->Pump();
        InvalidateRect(window->GetWindowHandle(), nullptr, FALSE);
        UpdateWindow(window->GetWindowHandle());
    }

    static void Mouse(UINT message, int x, int y)
    {
        PostMessageW(window->GetWindowHandle(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, PointParam(x, y));
        Settle();
    }

    static ManagedWindow* window;
};

ManagedWindow* HorizontalLayout::window = nullptr;

CControlUI* Column(LPCWSTR attributes)
{
    auto* column = new CControlUI;
    column->SetAttributeList(attributes);
    return column;
}

}  // namespace

TEST_F(HorizontalLayout, PlacesChildrenByTheirSizesPaddingAndAlignment)
{
    const PlacementCase cases[] = {
        {"adjustable children share the rest",
         LR"(<Window><HBox><Control width="20"/><Control/><Control/></HBox></Window>)",
         {0, 0, 100, 50},
         {{0, 0, 20, 50}, {20, 0, 60, 50}, {60, 0, 100, 50}}},
        {"the last adjustable child takes what the division left",
         LR"(<Window><HBox><Control width="20"/><Control/><Control/></HBox></Window>)",
         {0, 0, 101, 50},
         {{0, 0, 20, 50}, {20, 0, 60, 50}, {60, 0, 101, 50}}},
        {"a padded fixed child before an adjustable one that ends at the right",
         LR"(<Window><HorizontalLayout><Control width="20" padding="10,0,0,0"/><Control/></HorizontalLayout></Window>)",
         {0, 0, 100, 50},
         {{10, 0, 30, 50}, {30, 0, 100, 50}}},
        {"too little room: the adjustable child gets its minimum",
         LR"(<Window><HBox><Control width="80"/><Control width="50"/><Control minwidth="5"/></HBox></Window>)",
         {0, 0, 100, 50},
         {{0, 0, 80, 50}, {80, 0, 130, 50}, {130, 0, 135, 50}}},
        {"too little room with a bar: the bar takes the overflow",
         LR"(<Window><HBox hscrollbar="true"><Control width="80"/><Control width="50"/><Control minwidth="5"/>
            </HBox></Window>)",
         {0, 0, 100, 50},
         {{0, 0, 80, 34}, {80, 0, 130, 34}, {130, 0, 135, 34}},
         {35, 0}},
        {"hidden children take no room and no gap; float children move nobody",
         LR"(<Window><HBox childpadding="10"><Control width="20"/><Control width="30" visible="false"/>
            <Control float="true" pos="10,10,60,30"/><Control width="20"/></HBox></Window>)",
         {100, 50, 200, 100},
         {{100, 50, 120, 100}, {0, 0, 0, 0}, {110, 60, 160, 80}, {130, 50, 150, 100}}},
        {"minimum and maximum sizes",
         LR"(<Window><HBox><Control width="10" minwidth="25"/><Control maxwidth="30" maxheight="20"/>
            <Control minheight="60"/></HBox></Window>)",
         {0, 0, 100, 50},
         {{0, 0, 25, 50}, {25, 0, 55, 20}, {55, 0, 100, 60}}},
        {"top alignment keeps the top padding",
         LR"(<Window><HBox><Control width="20" height="20" padding="0,4,0,2"/></HBox></Window>)",
         {0, 0, 100, 50},
         {{0, 4, 20, 24}}},
        {"centred children move by their top padding less their bottom padding",
         LR"(<Window><HBox childvalign="vcenter"><Control width="20" height="20" padding="0,4,0,2"/></HBox></Window>)",
         {0, 0, 100, 50},
         {{0, 17, 20, 37}}},
        {"bottom alignment keeps the bottom padding",
         LR"(<Window><HBox childvalign="bottom"><Control width="20" height="20" padding="0,4,0,2"/></HBox></Window>)",
         {0, 0, 100, 50},
         {{0, 28, 20, 48}}},
        {"sizes beyond 32 bits stop at the end of the range instead of wrapping",
         LR"(<Window><HBox><Control minwidth="2000000000"/><Control minwidth="2000000000"/></HBox></Window>)",
         {0, 0, 100, 50},
         {{0, 0, 2000000000, 50}, {2000000000, 0, 2147483647, 50}}},
        {"the inset",
         LR"(<Window><HBox inset="5,6,7,8"><Control/></HBox></Window>)",
         {0, 0, 100, 50},
         {{5, 6, 93, 42}}},
    };
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.what);
        CControlUI* layout = BuildDetached(*window, c.xml);
        ASSERT_NE(nullptr, layout);
        ASSERT_STREQ(L"HorizontalLayout", layout->GetClass());
        layout->SetPos(c.at, false);
        EXPECT_EQ(c.children, ChildRects(*layout));
        EXPECT_EQ(c.scrollRange, static_cast<CContainerUI*>(layout)->GetScrollRange());
        layout->Delete();
    }
}

// A layout at the place it already has does no work unless something at or
// below it changed: a text that measures wider, and a size changed two levels
// down, still reach it.
TEST_F(HorizontalLayout, ALayoutAtTheSamePlaceFollowsChangesBelowIt)
{
    CControlUI* layout = BuildDetached(*window, LR"(<Window><HBox><Label text="ab" autocalwidth="true"/><Control/>
        <HBox width="100"><Control width="20"/><Control/></HBox></HBox></Window>)");
    ASSERT_NE(nullptr, layout);
    auto* items = static_cast<IContainerUI*>(layout->GetInterface(kContainerInterface));
    auto* inner = static_cast<IContainerUI*>(items->GetItemAt(2)->GetInterface(kContainerInterface));
    const RECT at = {0, 0, 400, 40};
    layout->SetPos(at, false);
    const std::vector<RECT> before = ChildRects(*layout);
    layout->SetPos(at, false);
    EXPECT_EQ(before, ChildRects(*layout));

    items->GetItemAt(0)->SetText(L"a text much wider than the one before");
    layout->SetPos(at, false);
    const RECT label = items->GetItemAt(0)->GetPos();
    EXPECT_GT(label.right, before[0].right);
    EXPECT_EQ(items->GetItemAt(1)->GetPos().left, label.right);

    inner->GetItemAt(0)->SetFixedWidth(50);
    layout->SetPos(at, false);
    EXPECT_EQ(inner->GetItemAt(1)->GetPos().left, items->GetItemAt(2)->GetPos().left + 50);
    layout->Delete();
}

TEST_F(HorizontalLayout, OverflowShowsTheBarKeysAndWheelScrollAndFittingHidesIt)
{
    auto* row = new CHorizontalLayoutUI;
    row->SetAttribute(L"hscrollbar", L"true");
    for (int i = 0; i < 5; ++i)
        row->Add(Column(L"width=\"100\""));
    window->Attach(row);
    Settle();
    CScrollBarUI* bar = row->GetHorizontalScrollBar();
    ASSERT_TRUE(bar->IsVisible());
    EXPECT_EQ(100, bar->GetScrollRange());
    EXPECT_EQ((RECT{0, 284, 400, 300}), bar->GetPos());
    EXPECT_EQ((RECT{0, 0, 100, 284}), row->GetItemAt(0)->GetPos());

    window->manager.SetFocus(row, true);
    window->Send(WM_KEYDOWN, VK_NEXT);
    EXPECT_EQ(100, row->GetScrollPos().cx);
    EXPECT_EQ(-100, row->GetItemAt(0)->GetPos().left);
    window->Send(WM_KEYDOWN, VK_HOME);
    EXPECT_EQ(0, row->GetScrollPos().cx);
    POINT screen = {200, 100};
    ClientToScreen(window->GetWindowHandle(), &screen);
    window->Send(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(8, row->GetScrollPos().cx);
    EXPECT_EQ((RECT{392, 0, 492, 284}), row->GetItemAt(4)->GetPos());
    row->SetPos(row->GetPos(), false);
    EXPECT_EQ(8, row->GetScrollPos().cx) << "a layout at the same size keeps the position";
    EXPECT_EQ(-8, row->GetItemAt(0)->GetPos().left);

    row->RemoveAt(4);
    row->RemoveAt(3);
    Settle();
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ((RECT{0, 0, 100, 300}), row->GetItemAt(0)->GetPos());
}

TEST_F(HorizontalLayout, DragOfALeftEdgeStripResizesWithinTheLimits)
{
    auto* root = new CHorizontalLayoutUI;
    auto* rest = Column(L"name=\"rest\"");
    auto* panel = new CHorizontalLayoutUI;
    panel->SetAttributeList(L"width=\"100\" minwidth=\"50\" maxwidth=\"150\" sepwidth=\"-4\" sepimm=\"true\"");
    root->Add(rest);
    root->Add(panel);
    window->Attach(root);
    Settle();
    ASSERT_EQ((RECT{300, 0, 400, 300}), panel->GetPos());
    EXPECT_EQ((RECT{300, 0, 304, 300}), panel->GetSeparatorRect(false));

    POINT screen = {302, 150};
    ClientToScreen(window->GetWindowHandle(), &screen);
    SetCursorPos(screen.x, screen.y);
    window->Send(WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(LoadCursorW(nullptr, IDC_SIZEWE), GetCursor());

    Mouse(WM_LBUTTONDOWN, 302, 150);
    Mouse(WM_MOUSEMOVE, 272, 150);
    EXPECT_EQ((RECT{270, 0, 400, 300}), panel->GetPos());
    EXPECT_EQ((RECT{0, 0, 270, 300}), rest->GetPos());
    Mouse(WM_MOUSEMOVE, 100, 150);
    EXPECT_EQ((RECT{250, 0, 400, 300}), panel->GetPos()) << "held at the maximum";
    Mouse(WM_MOUSEMOVE, 390, 150);
    EXPECT_EQ((RECT{350, 0, 400, 300}), panel->GetPos()) << "held at the minimum";
    Mouse(WM_LBUTTONUP, 390, 150);
    EXPECT_EQ(50, panel->GetFixedWidth());
    root->SetPos(root->GetPos(), false);
    EXPECT_EQ((RECT{350, 0, 400, 300}), panel->GetPos()) << "the parent's next layout keeps the size";
}
