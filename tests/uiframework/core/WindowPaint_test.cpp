// Painting of real windows: layered windows are checked through their own
// off-screen pixels, since Xvfb composes no layered window on the screen.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DibCanvas.h"
#include "LayoutTestControls.h"
#include "controls/VerticalLayoutUI.h"
#include "ManagedWindow.h"
#include "PngBuilder.h"
#include "ScratchFolder.h"
#include "core/SkinPainter.h"

using namespace CalUI;

namespace {

constexpr UINT kRepaintTimer = 0x2000;

// A float block at a fixed place inside its parent that fills itself with
// one colour and can draw a line of plain GDI text.
class Block : public CControlUI
{
public:
    Block(LPCWSTR name, RECT place, DWORD color, std::vector<std::wstring>* order = nullptr)
        : m_color(color), m_order(order)
    {
        SetName(name);
        SetFloat(true);
        SetFixedXY({place.left, place.top});
        SetFixedWidth(place.right - place.left);
        SetFixedHeight(place.bottom - place.top);
    }

    void PaintBkColor(HDC hdc) override
    {
        if (m_order != nullptr)
            m_order->push_back(GetName().GetData());
        CSkinPainter::FillSolidColor(hdc, GetPos(), m_color);
    }

    void PaintText(HDC hdc) override
    {
        if (text.empty())
            return;
        SetBkMode(hdc, TRANSPARENT);
        SetTextColor(hdc, RGB(0, 0, 255));
        TextOutW(hdc, GetPos().left, GetPos().top, text.c_str(), static_cast<int>(text.size()));
    }

    // Drawn over everything once registered with AddPostPaint.
    void PostPaint(HDC hdc) override
    {
        if (m_order != nullptr)
            m_order->push_back(GetName().GetData() + std::wstring(L" (post)"));
        RECT top = GetPos();
        top.bottom = top.top + 5;
        CSkinPainter::FillSolidColor(hdc, top, 0xFFFFFF00);
    }

    void SetColor(DWORD color)
    {
        m_color = color;
        Invalidate();
    }

    std::wstring text;

private:
    DWORD m_color;
    std::vector<std::wstring>* m_order;
};

// The root: records every rectangle it is asked to paint.
class RecordingRoot : public CVerticalLayoutUI
{
public:
    bool Paint(HDC hdc, const RECT& paint, CControlUI* stopControl) override
    {
        paints.push_back(paint);
        return CVerticalLayoutUI::Paint(hdc, paint, stopControl);
    }

    std::vector<RECT> paints;
};

// A native child window that prints itself in one colour.
LRESULT CALLBACK SolidChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PRINTCLIENT) {
        RECT rc;
        GetClientRect(window, &rc);
        HBRUSH brush = CreateSolidBrush(RGB(0, 128, 0));
        FillRect(reinterpret_cast<HDC>(wParam), &rc, brush);
        DeleteObject(brush);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateSolidChild(HWND parent, RECT place)
{
    static const ATOM registered = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = SolidChildProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"CalverinSolidChild";
        return RegisterClassW(&wc);
    }();
    (void)registered;
    return CreateWindowExW(0, L"CalverinSolidChild", L"", WS_CHILD | WS_VISIBLE, place.left, place.top,
                           place.right - place.left, place.bottom - place.top, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

// A 30 x 30 mask image: its four 10 x 10 corners transparent, the rest
// opaque 0xFF3366CC, written as a PNG file.
std::string CornerMaskPng()
{
    std::vector<uint32_t> rgba(30 * 30);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 30; ++x) {
            const bool corner = (x < 10 || x >= 20) && (y < 10 || y >= 20);
            rgba[y * 30 + x] = corner ? 0x00000000 : 0x3366CCFF;
        }
    }
    PngBuilder png;
    png.Header(30, 30).ImageData(RgbaScanlines(30, 30, rgba.data())).End();
    return png.Bytes();
}

class WindowPaint : public testing::Test
{
protected:
    void SetUp() override { root = new RecordingRoot; }
    void TearDown() override
    {
        if (window.manager.GetRoot() != root)
            root->Delete();
    }

    Block* AddBlock(LPCWSTR name, RECT place, DWORD color)
    {
        auto* block = new Block(name, place, color, &order);
        root->Add(block);
        return block;
    }

    // Attaches the tree to a layered window and lets the repaint timer draw
    // it until nothing more is collected (the first drawing lays the tree
    // out once more for the fresh background).
    void ShowLayered()
    {
        window.manager.SetLayered(true);
        window.Attach(root);
        ASSERT_TRUE(window.PumpUntil([&] { return Offscreen() != nullptr && !root->paints.empty(); }));
        Tick();
    }

    // Paints what was collected, the way the repaint timer does.
    void Tick() { window.Send(WM_TIMER, kRepaintTimer, 0); }

    const DWORD* Offscreen() const { return window.manager.GetOffscreenPixels(); }

    // Client pixel (x, y) of the bottom-up off-screen bitmap.
    DWORD Pixel(int x, int y) const
    {
        SIZE size = window.manager.GetOffscreenSize();
        return Offscreen()[(size.cy - 1 - y) * size.cx + x];
    }

    void Resize(int width, int height)
    {
        SetWindowPos(window.GetWindowHandle(), nullptr, 0, 0, width, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    ManagedWindow window;
    RecordingRoot* root = nullptr;  // owned by the window once attached
    std::vector<std::wstring> order;
};

TEST_F(WindowPaint, FirstLayeredPaintLaysOutAndSendsWindowinitThenTheTimerDraws)
{
    AddBlock(L"a", {10, 10, 60, 40}, 0xFFFF0000);
    window.manager.SetLayered(true);
    window.Attach(root);  // runs the first WM_PAINT

    EXPECT_EQ(NotificationsOfType(window, L"windowinit").size(), 1u);
    EXPECT_TRUE(root->paints.empty());
    EXPECT_EQ(window.manager.GetOffscreenBitmap(), nullptr);

    ASSERT_TRUE(window.PumpUntil([&] { return Offscreen() != nullptr && !root->paints.empty(); }));
    EXPECT_EQ(Pixel(10, 10), 0xFFFF0000u);
    EXPECT_EQ(Pixel(59, 39), 0xFFFF0000u);
    EXPECT_EQ(Pixel(60, 40), 0u);  // nothing drawn stays fully transparent
    EXPECT_EQ(window.manager.GetOffscreenSize().cx, 400);
    EXPECT_EQ(window.manager.GetOffscreenSize().cy, 300);
    EXPECT_EQ(NotificationsOfType(window, L"windowinit").size(), 1u);
}

// A layered window repaints only what is marked: a tree put in place of
// another, with nothing of it drawn yet, is marked by the window itself.
TEST_F(WindowPaint, ATreeAttachedInPlaceOfAnotherIsLaidOutAndDrawnByTheNextTick)
{
    AddBlock(L"old", {10, 10, 60, 40}, 0xFFFF0000);
    ShowLayered();
    ASSERT_EQ(Pixel(10, 10), 0xFFFF0000u);

    auto* next = new RecordingRoot;
    next->Add(new Block(L"new", {100, 100, 150, 140}, 0xFF00FF00));
    ASSERT_TRUE(window.manager.AttachRoot(next));
    root = next;  // the window deletes the first tree
    Tick();

    EXPECT_FALSE(next->paints.empty());
    EXPECT_EQ(Pixel(100, 100), 0xFF00FF00u);
    EXPECT_EQ(Pixel(10, 10), 0u);
}

TEST_F(WindowPaint, ControlsPaintInTreeOrderAndPostPaintControlsLast)
{
    AddBlock(L"under", {10, 10, 110, 110}, 0xFFFF0000);
    Block* over = AddBlock(L"over", {50, 50, 150, 150}, 0xFF00FF00);
    AddBlock(L"beside", {200, 10, 250, 60}, 0x800000FF);  // half-transparent blue
    ShowLayered();
    order.clear();
    window.manager.AddPostPaint(over);
    window.manager.InvalidateAll();
    Tick();

    EXPECT_EQ(order, (std::vector<std::wstring>{L"under", L"over", L"beside", L"over (post)"}));
    EXPECT_EQ(Pixel(20, 20), 0xFFFF0000u);
    EXPECT_EQ(Pixel(60, 60), 0xFF00FF00u);   // the later sibling covers the earlier one
    EXPECT_EQ(Pixel(60, 52), 0xFFFFFF00u);   // the post-paint stripe covers both
    EXPECT_EQ(Pixel(220, 20), 0x80000080u);  // blended pixels keep their (premultiplied) alpha
}

TEST_F(WindowPaint, InvalidationsWithinOneTickArePaintedOnceAsTheirUnion)
{
    AddBlock(L"a", {0, 0, 400, 300}, 0xFF808080);
    ShowLayered();
    root->paints.clear();

    window.manager.Invalidate({10, 10, 20, 20});
    window.manager.Invalidate({50, 60, 70, 80});
    RECT systemUpdate;
    EXPECT_FALSE(GetUpdateRect(window.GetWindowHandle(), &systemUpdate, FALSE));  // the system never sees them

    ASSERT_TRUE(window.PumpUntil([&] { return !root->paints.empty(); }));
    window.PumpUntil([] { return false; }, 60);  // a few more ticks with nothing collected
    ASSERT_EQ(root->paints.size(), 1u);
    EXPECT_EQ(root->paints[0], (RECT{10, 10, 70, 80}));
}

TEST_F(WindowPaint, OnlyTheRepaintTimersWholeIdPaints)
{
    AddBlock(L"a", {0, 0, 400, 300}, 0xFF808080);
    ShowLayered();
    root->paints.clear();
    window.manager.Invalidate({10, 10, 20, 20});
    // Other timers of the window whose ids share the repaint timer's low bits.
    for (WPARAM other :
         {WPARAM(kRepaintTimer) | 0x10000, WPARAM(kRepaintTimer) | WPARAM(1) << (sizeof(WPARAM) * 8 - 1)})
        window.Send(WM_TIMER, other, 0);
    EXPECT_TRUE(root->paints.empty());
    Tick();
    EXPECT_EQ(root->paints.size(), 1u);
}

TEST_F(WindowPaint, LayeredImageGivesTheBackgroundWithTransparentCorners)
{
    ScratchFolder folder;
    std::wstring path = folder.WriteFile(L"bkmask.png", CornerMaskPng());
    window.manager.SetLayeredImage((L"file='" + path + L"' corner='10,10,10,10'").c_str());
    EXPECT_TRUE(window.manager.IsLayered());
    AddBlock(L"a", {100, 100, 120, 120}, 0xFFFF0000);
    window.Attach(root);
    ASSERT_TRUE(window.PumpUntil([&] { return Offscreen() != nullptr && !root->paints.empty(); }));

    const DWORD body = 0xFF3366CC;
    struct Case
    {
        int x, y;
        DWORD expected;
    };
    const Case cases[] = {
        {0, 0, 0},
        {9, 9, 0},
        {399, 0, 0},
        {390, 290, 0},
        {0, 299, 0},  // corners stay unstretched
        {10, 0, body},
        {200, 5, body},
        {5, 150, body},
        {395, 150, body},
        {200, 295, body},
        {200, 150, body},
        {110, 110, 0xFFFF0000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Pixel(c.x, c.y), c.expected) << c.x << "," << c.y;

    // Later paints copy the drawn background back under the controls.
    window.manager.Invalidate({100, 100, 130, 130});
    Tick();
    EXPECT_EQ(Pixel(125, 125), body);
}

TEST_F(WindowPaint, ShadowRingSurroundsTheContentInsetByItsSize)
{
    window.manager.SetShadowSize(14);
    AddBlock(L"fill", {0, 0, 372, 272}, 0xFF808080);
    ShowLayered();

    EXPECT_EQ(root->GetPos(), (RECT{14, 14, 386, 286}));
    EXPECT_EQ(root->paints[0], (RECT{14, 14, 386, 286}));  // the whole client less the ring

    EXPECT_EQ(Pixel(14, 150), 0xFF808080u);
    const BYTE nearContent = Pixel(13, 150) >> 24;
    const BYTE nearBorder = Pixel(1, 150) >> 24;
    EXPECT_GT(nearContent, 0);
    EXPECT_LT(nearBorder, nearContent);  // fades out towards the window's border
    EXPECT_EQ(Pixel(0, 0) >> 24, 0u);    // beyond the rounded corner

    // Later paints leave the ring alone.
    const DWORD ring = Pixel(13, 150);
    window.manager.InvalidateAll();
    Tick();
    EXPECT_EQ(Pixel(13, 150), ring);
    EXPECT_EQ(Pixel(14, 150), 0xFF808080u);
}

TEST_F(WindowPaint, PaintAfterOneChangeDrawsOnlyItsRectangleAndGivesTheFullPaintsPixels)
{
    ScratchFolder folder;
    std::wstring path = folder.WriteFile(L"bkmask.png", CornerMaskPng());
    window.manager.SetShadowSize(14);
    window.manager.SetLayeredImage((L"file='" + path + L"' corner='10,10,10,10'").c_str());
    AddBlock(L"under", {20, 20, 200, 120}, 0x80008000)->text = L"over the background";
    Block* changing = AddBlock(L"changing", {60, 60, 140, 100}, 0xFFFF0000);
    changing->text = L"text";
    AddBlock(L"beside", {220, 20, 300, 120}, 0xFF0000FF);
    ShowLayered();
    root->paints.clear();

    changing->SetColor(0x800000FF);  // half see-through: what lies under it shows anew
    Tick();
    ASSERT_EQ(root->paints.size(), 1u);
    EXPECT_EQ(root->paints[0], changing->GetPos());
    const SIZE size = window.manager.GetOffscreenSize();
    const std::vector<DWORD> afterChange(Offscreen(), Offscreen() + size.cx * size.cy);

    window.manager.InvalidateAll();
    Tick();
    const std::vector<DWORD> afterFullPaint(Offscreen(), Offscreen() + size.cx * size.cy);
    EXPECT_TRUE(afterChange == afterFullPaint);
}

TEST_F(WindowPaint, GdiOutputBecomesOpaqueAndTheInsetAreaIsFullyOpaque)
{
    // Client 400 x 300: the inner area is the top 100 lines.
    window.manager.SetLayeredInset({0, 0, 0, 200});
    Block* label = AddBlock(L"label", {10, 150, 200, 180}, 0);
    label->text = L"WWWW";
    AddBlock(L"upper", {10, 10, 50, 50}, 0x80800000);
    AddBlock(L"lower", {10, 250, 50, 290}, 0x80800000);
    ShowLayered();

    RECT textRect = {10, 150, 200, 180};
    int opaqueBlue = 0;
    for (int y = textRect.top; y < textRect.bottom; ++y) {
        for (int x = textRect.left; x < textRect.right; ++x) {
            DWORD p = Pixel(x, y);
            EXPECT_TRUE(p == 0 || (p >> 24) == 0xFF) << std::hex << p;
            opaqueBlue += p == 0xFF0000FF;
        }
    }
    EXPECT_GT(opaqueBlue, 0);
    EXPECT_EQ(Pixel(20, 20), 0xFF400000u);   // inside the inner area
    EXPECT_EQ(Pixel(20, 260), 0x80400000u);  // outside it the blend stays
}

TEST_F(WindowPaint, NativeChildWindowsArePrintedOpaqueAndDeadOnesDropped)
{
    ShowLayered();
    Block* host = AddBlock(L"host", {0, 0, 10, 10}, 0);
    HWND child = CreateSolidChild(window.GetWindowHandle(), {100, 100, 140, 130});
    HWND doomed = CreateSolidChild(window.GetWindowHandle(), {200, 100, 220, 120});
    ASSERT_TRUE(window.manager.AddNativeWindow(host, child));
    ASSERT_TRUE(window.manager.AddNativeWindow(host, doomed));
    DestroyWindow(doomed);
    window.manager.InvalidateAll();
    Tick();

    EXPECT_EQ(Pixel(100, 100), 0xFF008000u);
    EXPECT_EQ(Pixel(139, 129), 0xFF008000u);
    EXPECT_EQ(Pixel(140, 130), 0u);
    EXPECT_FALSE(window.manager.RemoveNativeWindow(doomed));  // already dropped
    EXPECT_TRUE(window.manager.RemoveNativeWindow(child));
}

// The off-screen and background bitmaps follow the client size even when no
// layout runs, and no paint writes outside them.
TEST_F(WindowPaint, BitmapsFollowResizesWhileTheRootIsHidden)
{
    ScratchFolder folder;
    std::wstring path = folder.WriteFile(L"bkmask.png", CornerMaskPng());
    window.manager.SetLayeredImage((L"file='" + path + L"' corner='10,10,10,10'").c_str());
    AddBlock(L"a", {0, 0, 20, 20}, 0xFFFF0000);
    window.Attach(root);
    ASSERT_TRUE(window.PumpUntil([&] { return Offscreen() != nullptr && !root->paints.empty(); }));
    root->SetVisible(false);
    Tick();

    const SIZE sizes[] = {{560, 420}, {200, 150}, {480, 360}};
    for (SIZE size : sizes) {
        Resize(size.cx, size.cy);
        Tick();
        SIZE drawn = window.manager.GetOffscreenSize();
        EXPECT_EQ(drawn.cx, size.cx);
        EXPECT_EQ(drawn.cy, size.cy);
        EXPECT_EQ(Pixel(size.cx - 1, size.cy - 1), 0u);  // the mask's corner, at the new size
        EXPECT_EQ(Pixel(size.cx / 2, size.cy - 1), 0xFF3366CCu);
    }

    root->SetVisible(true);
    Tick();
    EXPECT_EQ(Pixel(5, 15), 0xFFFF0000u);
}

TEST_F(WindowPaint, SwitchingToLayeredWhileTheRootIsHiddenGivesAPixelBitmap)
{
    AddBlock(L"a", {0, 0, 20, 20}, 0xFFFF0000);
    window.Attach(root);
    window.Pump();
    ASSERT_NE(window.manager.GetOffscreenBitmap(), nullptr);
    root->SetVisible(false);
    window.Pump();

    window.manager.SetLayered(true);  // the hidden root asks for no layout
    Tick();
    ASSERT_NE(Offscreen(), nullptr);
    EXPECT_EQ(window.manager.GetOffscreenSize().cx, 400);
    EXPECT_EQ(window.manager.GetOffscreenSize().cy, 300);
}

TEST_F(WindowPaint, SwitchingModes)
{
    HWND hwnd = window.GetWindowHandle();
    auto exStyle = [&] { return GetWindowLongW(hwnd, GWL_EXSTYLE); };
    window.manager.SetLayered(true);
    EXPECT_TRUE(window.manager.IsLayered());
    EXPECT_TRUE(exStyle() & WS_EX_LAYERED);
    window.manager.SetLayered(false);
    EXPECT_FALSE(window.manager.IsLayered());
    EXPECT_FALSE(exStyle() & WS_EX_LAYERED);

    window.manager.SetOpacity(128);  // constant alpha, painted in plain mode
    EXPECT_FALSE(window.manager.IsLayered());
    EXPECT_TRUE(exStyle() & WS_EX_LAYERED);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(hwnd, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 128);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));

    CWindowManagerUI childManager;
    HWND child = CreateSolidChild(hwnd, {0, 0, 10, 10});
    childManager.Init(child);
    childManager.SetLayered(true);
    EXPECT_FALSE(childManager.IsLayered());
    EXPECT_FALSE(GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(WindowPaint, PlainWindowsPaintTheUpdateRectangleAndCanBeSnapshot)
{
    AddBlock(L"a", {10, 10, 60, 40}, 0xFFFF0000);
    AddBlock(L"b", {100, 10, 150, 40}, 0xFF00FF00);
    window.Attach(root);
    window.Pump();
    EXPECT_NE(window.manager.GetOffscreenBitmap(), nullptr);
    EXPECT_EQ(Offscreen(), nullptr);  // a bitmap of the screen's kind
    RECT update;
    EXPECT_FALSE(GetUpdateRect(window.GetWindowHandle(), &update, FALSE));

    HBITMAP shot = CSkinPainter::RenderControlToBitmap(&window.manager, {0, 0, 200, 50}, nullptr, 0);
    ASSERT_NE(shot, nullptr);
    DibCanvas canvas(200, 50);
    canvas.CopyFrom(shot);
    DeleteObject(shot);
    EXPECT_EQ(canvas.Rgb(20, 20), 0xFF0000u);
    EXPECT_EQ(canvas.Rgb(120, 20), 0x00FF00u);

    // The window paints into a caller's context too.
    DibCanvas printed(400, 300);
    window.Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.dc()), PRF_CLIENT);
    EXPECT_EQ(printed.Rgb(20, 20), 0xFF0000u);
    EXPECT_EQ(printed.Rgb(120, 20), 0x00FF00u);
}

TEST_F(WindowPaint, SnapshotOfALayeredWindowStopsAtTheStopControl)
{
    AddBlock(L"a", {10, 10, 60, 40}, 0xFFFF0000);
    Block* stop = AddBlock(L"b", {100, 10, 150, 40}, 0xFF00FF00);
    ShowLayered();

    HBITMAP shot = CSkinPainter::RenderControlToBitmap(&window.manager, {0, 0, 200, 50}, stop, 0x80000000);
    ASSERT_NE(shot, nullptr);
    DibCanvas canvas(200, 50);
    canvas.CopyFrom(shot);
    DeleteObject(shot);
    EXPECT_EQ(canvas.Rgb(20, 20), 0x7F0000u);   // red under a half-black overlay
    EXPECT_EQ(canvas.Rgb(120, 20), 0x000000u);  // never painted
}

TEST_F(WindowPaint, PaintWithoutARootValidatesAndDrawsNothing)
{
    InvalidateRect(window.GetWindowHandle(), nullptr, FALSE);
    UpdateWindow(window.GetWindowHandle());
    RECT update;
    EXPECT_FALSE(GetUpdateRect(window.GetWindowHandle(), &update, FALSE));
    EXPECT_EQ(window.manager.GetOffscreenBitmap(), nullptr);
}

}  // namespace
