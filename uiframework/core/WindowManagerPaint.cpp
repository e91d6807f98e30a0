// Painting a window: the control tree, the native child windows and the
// post-paint controls are drawn into an off-screen bitmap that goes to the
// screen in one step, with UpdateLayeredWindow for a layered window and a
// blit of the update rectangle otherwise.

#include "core/WindowManagerUI.h"

#include "core/ClipGuard.h"
#include "core/ControlUI.h"
#include "core/SkinPainter.h"

namespace CalUI {

namespace {

constexpr LPARAM kPrintNativeChild = PRF_CHECKVISIBLE | PRF_CLIENT | PRF_CHILDREN | PRF_OWNED;

int WidthOf(const RECT& rc) { return rc.right - rc.left; }
int HeightOf(const RECT& rc) { return rc.bottom - rc.top; }

HPEN UpdateRectPen()
{
    static const HPEN pen = CreatePen(PS_SOLID, 1, RGB(220, 0, 0));  // lives as long as the process
    return pen;
}

// The picture a native child window gives of itself, made opaque: GDI
// leaves alpha 0 behind, which a layered window would show as a hole.
void CopyNativeWindow(HWND child, HDC target, const RECT& place)
{
    CPaintSurface picture;
    if (!picture.Create(target, WidthOf(place), HeightOf(place), true))
        return;
    picture.Select();
    SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(picture.GetDC()), kPrintNativeChild);
    picture.MakeOpaque(picture.GetRect());
    BitBlt(target, place.left, place.top, WidthOf(place), HeightOf(place), picture.GetDC(), 0, 0, SRCCOPY);
}

}  // namespace

void CWindowManagerUI::LoadPaintLibrariesOnce()
{
    static const bool loaded = [] {
        UpdateRectPen();
        InitCommonControls();
        LoadLibraryW(L"msimg32.dll");  // the render engine finds AlphaBlend and GradientFill in it
        return true;
    }();
    (void)loaded;
}

bool CWindowManagerUI::IsPainting() const { return m_painting; }
void CWindowManagerUI::SetPainting(bool painting) { m_painting = painting; }
HBITMAP CWindowManagerUI::GetOffscreenBitmap() const { return m_offscreen.GetBitmap(); }
const DWORD* CWindowManagerUI::GetOffscreenPixels() const { return m_offscreen.GetPixels(); }
SIZE CWindowManagerUI::GetOffscreenSize() const { return m_offscreen.GetSize(); }

void CWindowManagerUI::DropPaintSurfaces() { m_offscreen.Release(); }

bool CWindowManagerUI::OnPaint()
{
    if (m_root == nullptr) {
        ValidateWithoutDrawing();
        return true;
    }
    RECT client;
    GetClientRect(m_paintWindow, &client);
    RECT paint;
    if (!TakePaintRect(client, paint))
        return true;
    if (m_focusNeeded)
        FocusNextTabStop(true);
    m_painting = true;
    const bool drawNow = LayoutPendingControls(client);
    if (!drawNow || !PrepareOffscreen(client)) {
        if (drawNow)
            ValidateWithoutDrawing();  // nothing to draw into, as while minimised
        m_painting = false;
        return true;
    }
    // A rectangle collected before a shrink may reach past the bitmap.
    IntersectRect(&paint, &paint, &client);

    PAINTSTRUCT ps;
    BeginPaint(m_paintWindow, &ps);
    m_offscreen.Select();
    HDC offscreen = m_offscreen.GetDC();
    int savedState = SaveDC(offscreen);
    if (m_layered)
        ComposeLayeredBackground(client, paint);
    m_root->Paint(offscreen, paint, nullptr);
    if (m_layered)
        PaintNativeWindows(paint);
    PaintPostPaintControls();
    RestoreDC(offscreen, savedState);
    if (m_layered)
        PresentLayered(client, paint);
    else
        BitBlt(ps.hdc, paint.left, paint.top, WidthOf(paint), HeightOf(paint), offscreen, paint.left, paint.top,
               SRCCOPY);
    m_offscreen.Deselect();
    if (m_showUpdateRect && !m_layered)
        OutlineUpdateRect(ps.hdc, paint);
    EndPaint(m_paintWindow, &ps);

    m_painting = false;
    m_layeredImageDirty = false;
    if (m_updateNeeded || m_focusNeeded)
        InvalidateAll();
    return true;
}

void CWindowManagerUI::ValidateWithoutDrawing()
{
    PAINTSTRUCT ps;
    BeginPaint(m_paintWindow, &ps);
    EndPaint(m_paintWindow, &ps);
}

// The part to draw: what was collected since the last layered paint, kept
// off the shadow ring, or the system's update rectangle.
bool CWindowManagerUI::TakePaintRect(const RECT& client, RECT& paint)
{
    if (!m_layered)
        return GetUpdateRect(m_paintWindow, &paint, FALSE) != FALSE;
    paint = m_layeredDirty;
    if (IsRectEmpty(&paint)) {
        ValidateWithoutDrawing();
        return false;
    }
    const int ring = m_shadow.size;
    if (paint.left <= client.left)
        paint.left = client.left + ring;
    if (paint.top <= client.top)
        paint.top = client.top + ring;
    if (paint.right >= client.right)
        paint.right = client.right - ring;
    if (paint.bottom >= client.bottom)
        paint.bottom = client.bottom - ring;
    SetRectEmpty(&m_layeredDirty);
    return true;
}

// The off-screen bitmap always has the client's size and the mode's kind,
// also when the size or mode changed without a full layout (a resize while
// the root is hidden lays nothing out).
bool CWindowManagerUI::PrepareOffscreen(const RECT& client)
{
    const int width = WidthOf(client);
    const int height = HeightOf(client);
    if (m_offscreen.Fits(width, height, m_layered))
        return true;
    DropPaintSurfaces();
    MarkShadowDirty();
    return m_offscreen.Create(m_paintDC, width, height, m_layered);
}

// The layered image is drawn again for every paint, clipped to the part
// painted, rather than kept drawn at the window's size: that copy cost a
// window-sized bitmap (3.7 MB for 1200 x 800) for every layered window.
void CWindowManagerUI::ComposeLayeredBackground(const RECT& client, const RECT& paint)
{
    m_offscreen.Clear(paint);
    if (m_layeredImage.image == nullptr)
        return;
    CClipGuard clip;
    CClipGuard::ClipRect(m_offscreen.GetDC(), paint, clip);
    CSkinPainter::DrawImageAttr(m_offscreen.GetDC(), this, client, paint, m_layeredImage);
}

// A layered window shows its native children only through their pictures.
void CWindowManagerUI::PaintNativeWindows(const RECT& paint)
{
    for (int i = 0; i < m_nativeWindows.GetCount();) {
        auto child = static_cast<HWND>(m_nativeWindows[i]);
        if (!IsWindow(child)) {
            m_nativeWindows.RemoveAt(i);
            m_nativeWindowControls.RemoveAt(i);
            continue;
        }
        RECT place = GetNativeWindowRect(child);
        RECT common;
        if (IsWindowVisible(child) && IntersectRect(&common, &place, &paint))
            CopyNativeWindow(child, m_offscreen.GetDC(), place);
        ++i;
    }
}

void CWindowManagerUI::PaintPostPaintControls()
{
    for (int i = 0; i < m_postPaintControls.GetCount(); ++i)
        static_cast<CControlUI*>(m_postPaintControls[i])->PostPaint(m_offscreen.GetDC());
}

void CWindowManagerUI::PresentLayered(const RECT& client, const RECT& paint)
{
    RECT window;
    GetWindowRect(m_paintWindow, &window);
    RECT inner = {m_layeredInset.left, m_layeredInset.top, WidthOf(window) - m_layeredInset.right,
                  HeightOf(window) - m_layeredInset.bottom};
    m_offscreen.MakeDrawnPixelsOpaque(paint, HasLayeredInset() ? &inner : nullptr);
    if (m_shadow.size >= 1)
        PresentLayeredPicture(&paint);
    else
        UpdateLayeredWindowFromOffscreen(SIZE{WidthOf(client), HeightOf(client)}, &paint);
}

void CWindowManagerUI::OutlineUpdateRect(HDC dc, const RECT& paint)
{
    HGDIOBJ oldPen = SelectObject(dc, UpdateRectPen());
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, paint.left, paint.top, paint.right, paint.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

// Printing into a caller's context, for example an animation of the window:
// the tree over the whole client area and, on request, the child windows.
void CWindowManagerUI::PrintClient(HDC dc, LPARAM flags)
{
    RECT client;
    GetClientRect(m_paintWindow, &client);
    int savedState = SaveDC(dc);
    m_root->Paint(dc, client, nullptr);
    if (flags & PRF_CHILDREN) {
        for (HWND child = GetWindow(m_paintWindow, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            RECT place = GetNativeWindowRect(child);
            SetWindowOrgEx(dc, -place.left, -place.top, nullptr);
            SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags | PRF_NONCLIENT);
        }
    }
    RestoreDC(dc, savedState);
}

}  // namespace CalUI
