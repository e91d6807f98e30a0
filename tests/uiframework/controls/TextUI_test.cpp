// The text with links in a real layered window: posted mouse messages, the
// cursor placed on the screen, the "link" notifications the window receives
// and the link colours read back from the window's own off-screen pixels.

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "ManagedWindow.h"
#include "controls/TextUI.h"
#include "builder/SkinBuilder.h"

using namespace CalUI;

namespace {

constexpr UINT kRepaintTimer = 0x2000;  // the layered window's repaint timer
constexpr DWORD kLinkRgb = 0x0000FF;
constexpr DWORD kHoverRgb = 0xFF0000;

// Ten links: eight on the first line, the last two on the second.
constexpr wchar_t kSkin[] =
    L"<Window linkfontcolor=\"#FF0000FF\" linkhoverfontcolor=\"#FFFF0000\" defaultfontcolor=\"#FF008000\">"
    L"<Font id=\"0\" name=\"Tahoma\" size=\"14\" default=\"true\"/>"
    L"<Container bkcolor=\"#FFFFFFFF\">"
    L"<Text name=\"links\" float=\"true\" pos=\"0,0,400,60\" showhtml=\"true\" text=\""
    L"{a t0}L0{/a} {a t1}L1{/a} {a t2}L2{/a} {a t3}L3{/a} {a t4}L4{/a} {a t5}L5{/a} {a t6}L6{/a} {a t7}L7{/a}"
    L"{n}{a t8}Ninth link{/a} {a t9}Tenth link{/a}\"/>"
    L"<Text name=\"plain\" float=\"true\" pos=\"0,60,400,100\" text=\"{a p}not a link{/a}\"/>"
    L"<Text name=\"off\" float=\"true\" pos=\"0,100,400,140\" showhtml=\"true\" enabled=\"false\""
    L" text=\"{a d0}first{/a} {a d1}second{/a}\"/>"
    L"<Text name=\"changing\" float=\"true\" pos=\"0,140,400,180\" showhtml=\"true\" text=\"{a c0}gone soon{/a}\"/>"
    L"</Container></Window>";

POINT Centre(const RECT& rc) { return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }

class TextLinks : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        window = new ManagedWindow;
        CSkinBuilder builder;
        CControlUI* root = builder.Create(kSkin, nullptr, nullptr, &window->manager);
        ASSERT_NE(nullptr, root);
        window->manager.SetLayered(true);
        window->Attach(root);
        ASSERT_TRUE(window->PumpUntil([] { return window->manager.GetOffscreenPixels() != nullptr; }));
        Repaint();
    }
    static void TearDownTestSuite()
    {
        delete window;
        window = nullptr;
    }

    // Every test starts with the mouse away from the texts.
    void SetUp() override
    {
        MoveTo(POINT{390, 290});
        Repaint();
        window->notifications.clear();
    }

    // The cursor, placed on the screen, and the mouse message agree: the
    // manager reads the cursor when the mouse may have left the window.
    static void MoveTo(POINT pt)
    {
        PlaceCursor(pt);
        Post(WM_MOUSEMOVE, 0, pt.x, pt.y);
    }

    // Lets the move that placing the cursor makes arrive before anything else.
    static void PlaceCursor(POINT pt)
    {
        POINT screen = pt;
        ClientToScreen(window->GetWindowHandle(), &screen);
        SetCursorPos(screen.x, screen.y);
        const DWORD start = GetTickCount();
        window->PumpUntil([start] { return GetTickCount() - start >= 50; });
    }

    static CTextUI* Text(LPCWSTR name)
    {
        CControlUI* control = window->manager.FindControl(name);
        return control != nullptr ? static_cast<CTextUI*>(control->GetInterface(L"Text")) : nullptr;
    }

    static void Post(UINT message, WPARAM wParam, int x, int y)
    {
        PostMessageW(window->GetWindowHandle(), message, wParam, PointParam(x, y));
        window->Pump();
    }

    static void Click(POINT down, POINT up)
    {
        Post(WM_LBUTTONDOWN, MK_LBUTTON, down.x, down.y);
        Post(WM_LBUTTONUP, 0, up.x, up.y);
    }

    // Paints what was invalidated, the way the repaint timer does.
    static void Repaint() { window->Send(WM_TIMER, kRepaintTimer, 0); }

    // The links reported, by wParam.
    static std::vector<WPARAM> Reported()
    {
        std::vector<WPARAM> links;
        for (const ReceivedNotify& n : window->notifications)
            if (n.type == L"link")
                links.push_back(n.wParam);
        return links;
    }

    // The cursor the window sets with the mouse at client point `pt`.
    static HCURSOR CursorAt(POINT pt)
    {
        PlaceCursor(pt);
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        window->Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(window->GetWindowHandle()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    }

    static DWORD Rgb(int x, int y)
    {
        const SIZE size = window->manager.GetOffscreenSize();
        return window->manager.GetOffscreenPixels()[(size.cy - 1 - y) * size.cx + x] & 0xFFFFFF;
    }

    static int Count(const RECT& rc, DWORD rgb)
    {
        int count = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                count += Rgb(x, y) == rgb ? 1 : 0;
        return count;
    }

    static ManagedWindow* window;
};

ManagedWindow* TextLinks::window = nullptr;

}  // namespace

TEST_F(TextLinks, TheReleaseDecidesTheLinkReported)
{
    CTextUI* links = Text(L"links");
    ASSERT_EQ(CTextUI::kMaxLinks, links->GetLinkCount());
    const POINT l0 = Centre(links->GetLinkRect(0));
    const POINT l3 = Centre(links->GetLinkRect(3));
    const POINT l5 = Centre(links->GetLinkRect(5));

    Click(l5, l5);
    EXPECT_EQ(std::vector<WPARAM>{5}, Reported());
    window->notifications.clear();

    Click(l0, l3);  // pressed on one, released on another
    EXPECT_EQ(std::vector<WPARAM>{3}, Reported());
    window->notifications.clear();

    const RECT text = links->GetPos();
    Click(l3, POINT{text.right - 5, text.top + 3});  // released beside every link
    EXPECT_TRUE(Reported().empty());
    for (const ReceivedNotify& n : window->notifications)
        EXPECT_EQ(0, n.lParam);
}

TEST_F(TextLinks, OfTenLinksOnlyEightAreTracked)
{
    CTextUI* links = Text(L"links");
    ASSERT_EQ(8, links->GetLinkCount());
    const RECT untracked = links->GetLinkRect(8);
    EXPECT_TRUE(IsRectEmpty(&untracked));
    // The ninth link opens the second line: drawn in the link colour, but
    // no click there reports anything.
    const RECT first = links->GetLinkRect(0);
    const LONG lineHeight = first.bottom - first.top;
    const RECT secondLine = {first.left, first.bottom, first.left + 40, first.bottom + lineHeight};
    ASSERT_GT(Count(secondLine, kLinkRgb), 0);
    const POINT ninth = Centre(secondLine);
    Click(ninth, ninth);
    EXPECT_TRUE(Reported().empty());
    EXPECT_NE(LoadCursorW(nullptr, IDC_HAND), CursorAt(ninth));
}

TEST_F(TextLinks, TheHandCursorAndTheHoverColourFollowTheLinkUnderTheMouse)
{
    CTextUI* links = Text(L"links");
    const RECT l1 = links->GetLinkRect(1);
    const RECT l2 = links->GetLinkRect(2);
    EXPECT_EQ(LoadCursorW(nullptr, IDC_HAND), CursorAt(Centre(l2)));
    EXPECT_NE(LoadCursorW(nullptr, IDC_HAND), CursorAt(POINT{links->GetPos().right - 5, l2.top + 2}));

    // Placing the cursor moved the real mouse over link 2 and off again; the
    // repaint timer may not have caught up with the second move yet.
    Repaint();
    EXPECT_EQ(0, Count(l2, kHoverRgb));
    MoveTo(Centre(l2));
    Repaint();
    EXPECT_GT(Count(l2, kHoverRgb), 0);
    EXPECT_EQ(0, Count(l2, kLinkRgb));
    EXPECT_EQ(0, Count(l1, kHoverRgb));
    EXPECT_GT(Count(l1, kLinkRgb), 0);

    MoveTo(Centre(l1));  // to the next link
    Repaint();
    EXPECT_GT(Count(l1, kHoverRgb), 0);
    EXPECT_EQ(0, Count(l2, kHoverRgb));

    MoveTo(POINT{390, 290});  // off the text
    Repaint();
    EXPECT_EQ(0, Count(l1, kHoverRgb));
    EXPECT_GT(Count(l1, kLinkRgb), 0);
}

TEST_F(TextLinks, ADisabledTextShowsItsLinksButReportsAndHoversNothing)
{
    CTextUI* off = Text(L"off");
    ASSERT_EQ(2, off->GetLinkCount());
    const RECT d0 = off->GetLinkRect(0);
    EXPECT_GT(Count(d0, kLinkRgb), 0);
    EXPECT_EQ(UIControlFlag::None, off->GetControlFlags());

    MoveTo(Centre(d0));
    off->Invalidate();  // repainted while the mouse is on its link
    Repaint();
    EXPECT_EQ(0, Count(off->GetPos(), kHoverRgb));
    EXPECT_GT(Count(d0, kLinkRgb), 0);
    EXPECT_NE(LoadCursorW(nullptr, IDC_HAND), CursorAt(Centre(d0)));

    Click(Centre(d0), Centre(d0));
    EXPECT_TRUE(Reported().empty());

    // Enabled, the same link answers.
    off->SetEnabled(true);
    Repaint();
    Click(Centre(d0), Centre(d0));
    EXPECT_EQ(std::vector<WPARAM>{0}, Reported());
    off->SetEnabled(false);
    Repaint();
}

TEST_F(TextLinks, WithoutShowhtmlThereAreNoLinks)
{
    CTextUI* plain = Text(L"plain");
    EXPECT_EQ(0, plain->GetLinkCount());
    EXPECT_EQ(UIControlFlag::None, plain->GetControlFlags());
    const RECT pos = plain->GetPos();
    const POINT start = {pos.left + 12, (pos.top + pos.bottom) / 2};
    EXPECT_NE(LoadCursorW(nullptr, IDC_HAND), CursorAt(start));
    Click(start, start);
    EXPECT_TRUE(Reported().empty());
    // The tags are plain characters, drawn in the text colour.
    EXPECT_EQ(0, Count(pos, kLinkRgb));
    EXPECT_GT(Count(pos, 0x008000), 0);
}

TEST_F(TextLinks, EmptyingTheTextClearsItsLinksAtTheNextPaint)
{
    CTextUI* changing = Text(L"changing");
    ASSERT_EQ(1, changing->GetLinkCount());
    const POINT link = Centre(changing->GetLinkRect(0));
    changing->SetText(L"");
    Repaint();
    EXPECT_EQ(0, changing->GetLinkCount());
    EXPECT_EQ(UIControlFlag::None, changing->GetControlFlags());
    Click(link, link);
    EXPECT_TRUE(Reported().empty());
}

TEST(TextDefaults, WrapsFromTheTopLeftWithTwoPixelsAtTheSides)
{
    CTextUI text;
    EXPECT_EQ(static_cast<UINT>(DT_WORDBREAK), text.GetTextStyle());
    const RECT padding = text.GetTextPadding();
    EXPECT_EQ(2, padding.left);
    EXPECT_EQ(0, padding.top);
    EXPECT_EQ(2, padding.right);
    EXPECT_EQ(0, padding.bottom);
    EXPECT_EQ(0, text.GetLinkCount());
    EXPECT_EQ(UIControlFlag::None, text.GetControlFlags());
}
