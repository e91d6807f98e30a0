// The vertical layout: placement of its children from skin attributes, and
// the separator drag by posted mouse messages in a real layered window,
// checked through the window's own off-screen pixels.

#include <gtest/gtest.h>

#include <vector>

#include "GeometryText.h"
#include "LayoutTestControls.h"
#include "ManagedWindow.h"
#include "controls/VerticalLayoutUI.h"

using namespace CalUI;

namespace {

constexpr UINT kRepaintTimer = 0x2000;
constexpr DWORD kTracker = 0xAA000000;  // premultiplied over nothing drawn

struct PlacementCase
{
    const char* what;
    LPCWSTR xml;  // one layout and its children
    RECT at;      // where the layout is put
    std::vector<RECT> children;
    SIZE scrollRange = {0, 0};
};

// One layered window for every test here: opening one is cheap, closing one
// costs seconds.
class VerticalLayout : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        window = new ManagedWindow;
        window->manager.SetLayered(true);
    }
    static void TearDownTestSuite()
    {
        delete window;
        window = nullptr;
    }

    // A root stacking "top", a layout of 100 pixels with the given separator
    // attributes, over "rest", an adjustable control that draws nothing.
    void AttachTopAndRest(LPCWSTR separatorAttributes)
    {
        root = new CVerticalLayoutUI;
        top = new CVerticalLayoutUI;
        top->SetName(L"top");
        top->SetAttributeList(L"height=\"100\" minheight=\"40\" maxheight=\"200\"");
        top->SetAttributeList(separatorAttributes);
        rest = new CControlUI;
        rest->SetName(L"rest");
        root->Add(top);
        root->Add(rest);
        window->Attach(root);
        ASSERT_TRUE(window->PumpUntil([&] { return window->manager.GetOffscreenPixels() != nullptr; }));
        Settle();
    }

    // Runs what was posted, then the paint that lays out and draws.
    void Settle()
    {
        window->Pump();
        window->Send(WM_TIMER, kRepaintTimer, 0);
    }

    void Mouse(UINT message, int x, int y)
    {
        PostMessageW(window->GetWindowHandle(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, PointParam(x, y));
        Settle();
    }

    // Client pixel (x, y) of the bottom-up off-screen bitmap.
    DWORD Pixel(int x, int y) const
    {
        const SIZE size = window->manager.GetOffscreenSize();
        return window->manager.GetOffscreenPixels()[(size.cy - 1 - y) * size.cx + x];
    }

    // The cursor the window sets with the real pointer over client point (x, y).
    HCURSOR CursorAt(int x, int y) const
    {
        POINT screen = {x, y};
        ClientToScreen(window->GetWindowHandle(), &screen);
        SetCursorPos(screen.x, screen.y);
        SetCursor(nullptr);
        window->Send(WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    }

    static ManagedWindow* window;
    CVerticalLayoutUI* root = nullptr;  // owned by the window once attached
    CVerticalLayoutUI* top = nullptr;
    CControlUI* rest = nullptr;
};

ManagedWindow* VerticalLayout::window = nullptr;

}  // namespace

TEST_F(VerticalLayout, PlacesChildrenByTheirSizesPaddingAndAlignment)
{
    const PlacementCase cases[] = {
        {"adjustable children share the rest",
         LR"(<Window><VBox><Control height="20"/><Control/><Control/></VBox></Window>)",
         {0, 0, 400, 100},
         {{0, 0, 400, 20}, {0, 20, 400, 60}, {0, 60, 400, 100}}},
        {"the last adjustable child takes what the division left",
         LR"(<Window><VBox><Control height="20"/><Control/><Control/></VBox></Window>)",
         {0, 0, 400, 101},
         {{0, 0, 400, 20}, {0, 20, 400, 60}, {0, 60, 400, 101}}},
        {"a padded fixed child above an adjustable one that ends at the bottom",
         LR"(<Window><VerticalLayout><Control height="20" padding="0,10,0,0"/><Control/></VerticalLayout></Window>)",
         {0, 0, 400, 100},
         {{0, 10, 400, 30}, {0, 30, 400, 100}}},
        {"too little room: the adjustable child gets its minimum",
         LR"(<Window><VBox><Control height="80"/><Control height="50"/><Control minheight="5"/></VBox></Window>)",
         {0, 0, 400, 100},
         {{0, 0, 400, 80}, {0, 80, 400, 130}, {0, 130, 400, 135}}},
        {"too little room with a bar: the bar takes the overflow",
         LR"(<Window><VBox vscrollbar="true"><Control height="80"/><Control height="50"/><Control minheight="5"/>
            </VBox></Window>)",
         {0, 0, 400, 100},
         {{0, 0, 384, 80}, {0, 80, 384, 130}, {0, 130, 384, 135}},
         {0, 35}},
        {"hidden children take no room and no gap; float children move nobody",
         LR"(<Window><VBox childpadding="10"><Control height="20"/><Control height="30" visible="false"/>
            <Control float="true" pos="10,10,60,30"/><Control height="20"/></VBox></Window>)",
         {100, 50, 500, 150},
         {{100, 50, 500, 70}, {0, 0, 0, 0}, {110, 60, 160, 80}, {100, 80, 500, 100}}},
        {"minimum and maximum sizes",
         LR"(<Window><VBox><Control height="10" minheight="25"/><Control maxheight="30" maxwidth="100"/>
            <Control minwidth="500"/></VBox></Window>)",
         {0, 0, 400, 100},
         {{0, 0, 400, 25}, {0, 25, 100, 55}, {0, 55, 500, 100}}},
        {"left alignment keeps the padding",
         LR"(<Window><VBox><Control width="100" height="20" padding="10,0,30,0"/></VBox></Window>)",
         {0, 0, 400, 100},
         {{10, 0, 110, 20}}},
        {"centred children leave their side padding out",
         LR"(<Window><VBox childalign="center"><Control width="100" height="20" padding="10,0,30,0"/></VBox></Window>)",
         {0, 0, 400, 100},
         {{150, 0, 250, 20}}},
        {"right alignment keeps the right padding",
         LR"(<Window><VBox childalign="right"><Control width="100" height="20" padding="10,0,30,0"/></VBox></Window>)",
         {0, 0, 400, 100},
         {{270, 0, 370, 20}}},
        {"sizes beyond 32 bits stop at the end of the range instead of wrapping",
         LR"(<Window><VBox><Control minheight="2000000000"/><Control minheight="2000000000"/></VBox></Window>)",
         {0, 0, 400, 100},
         {{0, 0, 400, 2000000000}, {0, 2000000000, 400, 2147483647}}},
        {"the inset",
         LR"(<Window><VBox inset="5,6,7,8"><Control/></VBox></Window>)",
         {0, 0, 400, 100},
         {{5, 6, 393, 92}}},
    };
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.what);
        CControlUI* layout = BuildDetached(*window, c.xml);
        ASSERT_NE(nullptr, layout);
        ASSERT_STREQ(L"VerticalLayout", layout->GetClass());
        layout->SetPos(c.at, false);
        EXPECT_EQ(c.children, ChildRects(*layout));
        EXPECT_EQ(c.scrollRange, static_cast<CContainerUI*>(layout)->GetScrollRange());
        layout->Delete();
    }
}

TEST_F(VerticalLayout, SeparatorStripLiesAlongTheEdgeItsSignNames)
{
    struct Case
    {
        LPCWSTR sepheight;
        RECT strip;
    };
    const Case cases[] = {
        {L"4", {10, 116, 110, 120}}, {L"-4", {10, 20, 110, 24}},
        {L"0", {10, 120, 110, 120}}, {L"500", {10, 20, 110, 120}},  // never beyond the layout
        {L"x", {10, 120, 110, 120}},                                // no number: no strip
    };
    CVerticalLayoutUI layout;
    layout.SetPos(RECT{10, 20, 110, 120}, false);
    for (const Case& c : cases) {
        layout.SetAttribute(L"sepheight", c.sepheight);
        EXPECT_EQ(c.strip, layout.GetSeparatorRect(false)) << c.sepheight;
        EXPECT_EQ(layout.GetSepHeight() != 0, HasAny(layout.GetControlFlags(), UIControlFlag::SetCursor));
    }
    layout.SetAttribute(L"sepheight", L"4");
    layout.SetEnabled(false);
    EXPECT_EQ(UIControlFlag::None, layout.GetControlFlags());
}

TEST_F(VerticalLayout, ImmediateDragResizesAtEveryMoveWithinTheLimits)
{
    AttachTopAndRest(L"sepheight=\"4\" sepimm=\"true\"");
    ASSERT_EQ((RECT{0, 0, 400, 100}), top->GetPos());

    Mouse(WM_LBUTTONDOWN, 200, 98);
    ASSERT_TRUE(top->IsDraggingSeparator());
    // The edge keeps the two pixels it had below the mouse, from the first
    // small step on.
    Mouse(WM_MOUSEMOVE, 200, 101);
    EXPECT_EQ((RECT{0, 0, 400, 103}), top->GetPos());
    EXPECT_EQ(103, rest->GetPos().top);
    Mouse(WM_MOUSEMOVE, 200, 128);
    EXPECT_EQ((RECT{0, 0, 400, 130}), top->GetPos());
    EXPECT_EQ((RECT{0, 130, 400, 300}), rest->GetPos());

    Mouse(WM_MOUSEMOVE, 200, 290);
    EXPECT_EQ(200, top->GetPos().bottom) << "held at the maximum";
    Mouse(WM_MOUSEMOVE, 200, 295);
    EXPECT_EQ(200, top->GetPos().bottom);
    Mouse(WM_MOUSEMOVE, 200, 10);
    EXPECT_EQ(40, top->GetPos().bottom) << "held at the minimum";
    Mouse(WM_MOUSEMOVE, 200, 5);
    EXPECT_EQ(40, top->GetPos().bottom);

    Mouse(WM_LBUTTONUP, 200, 5);
    EXPECT_FALSE(top->IsDraggingSeparator());
    EXPECT_EQ(40, top->GetFixedHeight());
    root->SetPos(root->GetPos(), false);
    EXPECT_EQ((RECT{0, 0, 400, 40}), top->GetPos()) << "the parent's next layout keeps the size";
    EXPECT_EQ((RECT{0, 40, 400, 300}), rest->GetPos());

    // A press beside the strip is no drag.
    Mouse(WM_LBUTTONDOWN, 200, 20);
    EXPECT_FALSE(top->IsDraggingSeparator());
    Mouse(WM_MOUSEMOVE, 200, 60);
    Mouse(WM_LBUTTONUP, 200, 60);
    EXPECT_EQ(40, top->GetPos().bottom);
}

TEST_F(VerticalLayout, TrackerDragShowsAStripAndResizesOnRelease)
{
    AttachTopAndRest(L"sepheight=\"4\"");
    Mouse(WM_LBUTTONDOWN, 200, 98);
    Mouse(WM_MOUSEMOVE, 200, 148);
    EXPECT_EQ((RECT{0, 0, 400, 100}), top->GetPos()) << "the layout waits for the release";
    EXPECT_EQ(100, rest->GetPos().top);
    EXPECT_EQ(kTracker, Pixel(200, 146));
    EXPECT_EQ(kTracker, Pixel(0, 149));
    EXPECT_EQ(0u, Pixel(200, 145));
    EXPECT_EQ(0u, Pixel(200, 150));
    EXPECT_EQ(0u, Pixel(200, 98)) << "the strip at the layout's edge stays undrawn";

    Mouse(WM_MOUSEMOVE, 200, 168);
    EXPECT_EQ(0u, Pixel(200, 146)) << "the old tracker is painted over";
    EXPECT_EQ(kTracker, Pixel(200, 166));

    Mouse(WM_LBUTTONUP, 200, 168);
    EXPECT_EQ((RECT{0, 0, 400, 170}), top->GetPos());
    EXPECT_EQ(170, rest->GetPos().top);
    EXPECT_EQ(0u, Pixel(200, 166)) << "the tracker goes with the release";
    EXPECT_FALSE(window->manager.RemovePostPaint(top)) << "off the post-paint list after the drag";
}

TEST_F(VerticalLayout, SizingCursorOnlyOverTheStrip)
{
    AttachTopAndRest(L"sepheight=\"4\"");
    const HCURSOR sizing = LoadCursorW(nullptr, IDC_SIZENS);
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    EXPECT_EQ(sizing, CursorAt(200, 97));
    EXPECT_EQ(sizing, CursorAt(5, 99));
    EXPECT_EQ(arrow, CursorAt(200, 95));
    EXPECT_NE(sizing, CursorAt(200, 100));  // the control below
    top->SetEnabled(false);
    EXPECT_NE(sizing, CursorAt(200, 97));
}

TEST_F(VerticalLayout, ALayoutDestroyedDuringATrackerDragLeavesThePostPaintList)
{
    AttachTopAndRest(L"sepheight=\"4\"");
    Mouse(WM_LBUTTONDOWN, 200, 98);
    Mouse(WM_MOUSEMOVE, 200, 148);
    ASSERT_EQ(kTracker, Pixel(200, 146));

    const CControlUI* gone = top;
    root->Remove(top);
    top = nullptr;
    EXPECT_FALSE(window->manager.RemovePostPaint(const_cast<CControlUI*>(gone)));
    Mouse(WM_MOUSEMOVE, 200, 160);
    Mouse(WM_LBUTTONUP, 200, 160);
    EXPECT_EQ((RECT{0, 0, 400, 300}), rest->GetPos());
    EXPECT_EQ(0u, Pixel(200, 146)) << "the next paint draws no tracker";
}
