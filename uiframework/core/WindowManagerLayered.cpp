// Per-pixel layered mode: switching it, its settings, the shadow ring and
// putting the off-screen picture on the screen. A layered window collects
// invalidations and paints them from its own repaint timer.

#include "core/WindowManagerUI.h"

#include "core/ControlUI.h"
#include "core/SkinPainter.h"

namespace CalUI {

namespace {

constexpr UINT_PTR kRepaintTimerId = 0x2000;
constexpr UINT kRepaintIntervalMs = 10;

using UpdateLayeredWindowProc = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
using UpdateLayeredWindowIndirectProc = BOOL(WINAPI*)(HWND, const UPDATELAYEREDWINDOWINFO*);
using SetLayeredWindowAttributesProc = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// Looked up at run time: a system without them keeps every window plain.
UpdateLayeredWindowProc PlatformUpdateLayeredWindow()
{
    static const auto proc = reinterpret_cast<UpdateLayeredWindowProc>(
        GetProcAddress(GetModuleHandleW(L"User32.dll"), "UpdateLayeredWindow"));
    return proc;
}

// Pushes only a changed part of the picture; null where the platform lacks it.
UpdateLayeredWindowIndirectProc PlatformUpdateLayeredWindowIndirect()
{
    static const auto proc = reinterpret_cast<UpdateLayeredWindowIndirectProc>(
        GetProcAddress(GetModuleHandleW(L"User32.dll"), "UpdateLayeredWindowIndirect"));
    return proc;
}

SetLayeredWindowAttributesProc PlatformSetLayeredWindowAttributes()
{
    return reinterpret_cast<SetLayeredWindowAttributesProc>(
        GetProcAddress(GetModuleHandleW(L"User32.dll"), "SetLayeredWindowAttributes"));
}

// Writes the extended style only when it changes.
void SetLayeredStyle(HWND window, bool layered)
{
    LONG style = GetWindowLongW(window, GWL_EXSTYLE);
    LONG wanted = layered ? (style | WS_EX_LAYERED) : (style & ~WS_EX_LAYERED);
    if (wanted != style)
        SetWindowLongW(window, GWL_EXSTYLE, wanted);
}

}  // namespace

bool CWindowManagerUI::IsLayered() const { return m_layered; }

void CWindowManagerUI::SetLayered(bool layered)
{
    if (m_paintWindow == nullptr || layered == m_layered)
        return;
    if (GetWindowLongW(m_paintWindow, GWL_STYLE) & WS_CHILD)
        return;
    if (PlatformUpdateLayeredWindow() == nullptr)
        return;
    if (layered)
        ::SetTimer(m_paintWindow, kRepaintTimerId, kRepaintIntervalMs, nullptr);
    else
        ::KillTimer(m_paintWindow, kRepaintTimerId);
    SetLayeredStyle(m_paintWindow, layered);
    m_layered = layered;
    m_layeredImageDirty = true;
    if (m_root != nullptr)
        m_root->RequestUpdate();
    InvalidateAll();
}

const CUIString& CWindowManagerUI::GetLayeredImage() const { return m_layeredImage.attributeText; }

// Loaded at once, so that the first paint finds the image ready.
void CWindowManagerUI::SetLayeredImage(LPCWSTR image)
{
    SetLayered(true);
    m_layeredImage.Clear();
    m_layeredImage.attributeText = image != nullptr ? image : L"";
    CSkinPainter::DrawImageAttr(nullptr, this, RECT{}, RECT{}, m_layeredImage);
    m_layeredImageDirty = true;  // a background drawn from an earlier image is stale
    InvalidateAll();
}

BYTE CWindowManagerUI::GetOpacity() const { return m_opacity; }

void CWindowManagerUI::SetLayeredOpacity(BYTE opacity)
{
    m_opacity = opacity;
    m_layeredImageDirty = true;
    InvalidateAll();
}

// A constant-alpha layered window is painted in plain mode; a repaint timer
// started earlier keeps running and finds no layered work.
void CWindowManagerUI::SetOpacity(BYTE opacity)
{
    m_opacity = opacity;
    if (m_paintWindow == nullptr)
        return;
    SetLayeredWindowAttributesProc setAttributes = PlatformSetLayeredWindowAttributes();
    if (setAttributes == nullptr)
        return;
    SetLayeredStyle(m_paintWindow, true);
    setAttributes(m_paintWindow, 0, m_opacity, LWA_ALPHA);
    m_layered = false;
    InvalidateAll();
}

RECT CWindowManagerUI::GetLayeredInset() const { return m_layeredInset; }
void CWindowManagerUI::SetLayeredInset(const RECT& inset) { m_layeredInset = inset; }

bool CWindowManagerUI::HasLayeredInset() const
{
    return m_layeredInset.left != 0 || m_layeredInset.top != 0 || m_layeredInset.right != 0 ||
           m_layeredInset.bottom != 0;
}

int CWindowManagerUI::GetShadowSize() const { return m_shadow.size; }
DWORD CWindowManagerUI::GetShadowColor() const { return m_shadow.color; }
float CWindowManagerUI::GetShadowFocusScales() const { return m_shadow.focusScale; }

void CWindowManagerUI::SetShadowSize(int size)
{
    if (size == m_shadow.size)
        return;
    m_shadow.size = size;
    MarkShadowDirty();
    InvalidateAll();
}

void CWindowManagerUI::SetShadowColor(DWORD color)
{
    if (color == m_shadow.color)
        return;
    m_shadow.color = color;
    MarkShadowDirty();
    InvalidateAll();
}

void CWindowManagerUI::SetShadowFocusScales(float scale)
{
    if (scale == m_shadow.focusScale)
        return;
    m_shadow.focusScale = scale;
    MarkShadowDirty();
    InvalidateAll();
}

void CWindowManagerUI::MarkShadowDirty() { m_shadowDirty = true; }

void CWindowManagerUI::PaintShadow() { PresentLayeredPicture(nullptr); }

void CWindowManagerUI::PresentLayeredPicture(const RECT* changed)
{
    RECT window;
    GetWindowRect(m_paintWindow, &window);
    SIZE size = {window.right - window.left, window.bottom - window.top};
    if (m_shadowDirty && m_offscreen.GetPixels() != nullptr) {
        PaintShadowRing(m_offscreen.GetPixels(), m_offscreen.GetSize(), size, m_shadow);
        m_shadowDirty = false;
        changed = nullptr;
    }
    UpdateLayeredWindowFromOffscreen(size, changed);
}

bool CWindowManagerUI::ScreenHoldsPictureOf(SIZE size) const
{
    return m_screenHoldsPicture && m_screenPictureSize.cx == size.cx && m_screenPictureSize.cy == size.cy &&
           m_screenOpacity == m_opacity && IsWindowVisible(m_paintWindow);
}

// The screen shows no more than the off-screen picture holds.
void CWindowManagerUI::UpdateLayeredWindowFromOffscreen(SIZE size, const RECT* changed)
{
    UpdateLayeredWindowProc update = PlatformUpdateLayeredWindow();
    if (update == nullptr || !m_offscreen.Exists())
        return;
    SIZE picture = m_offscreen.GetSize();
    size.cx = size.cx < picture.cx ? size.cx : picture.cx;
    size.cy = size.cy < picture.cy ? size.cy : picture.cy;
    RECT window;
    GetWindowRect(m_paintWindow, &window);
    POINT destination = {window.left, window.top};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, m_opacity, AC_SRC_ALPHA};
    const bool selectedHere = !m_offscreen.IsSelected();
    m_offscreen.Select();
    UpdateLayeredWindowIndirectProc updatePart = PlatformUpdateLayeredWindowIndirect();
    BOOL pushed = FALSE;
    if (changed != nullptr && updatePart != nullptr && ScreenHoldsPictureOf(size)) {
        const UPDATELAYEREDWINDOWINFO info = {sizeof info, m_paintDC, &destination, &size,     m_offscreen.GetDC(),
                                              &source,     0,         &blend,       ULW_ALPHA, changed};
        pushed = updatePart(m_paintWindow, &info);
    }
    if (!pushed)
        pushed =
            update(m_paintWindow, m_paintDC, &destination, &size, m_offscreen.GetDC(), &source, 0, &blend, ULW_ALPHA);
    m_screenHoldsPicture = pushed != FALSE && IsWindowVisible(m_paintWindow);
    m_screenPictureSize = size;
    m_screenOpacity = m_opacity;
    if (selectedHere)
        m_offscreen.Deselect();
}

// A layered window has no frame for the system to draw.
bool CWindowManagerUI::HandleLayeredFrameMessage(UINT message, WPARAM wParam, LRESULT& result)
{
    // The system may drop a layered window's picture when it hides or resizes
    // it: the next update pushes a whole one.
    if (message == WM_SHOWWINDOW || message == WM_SIZE || message == WM_DISPLAYCHANGE)
        m_screenHoldsPicture = false;
    if (!m_layered)
        return false;
    switch (message) {
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
        result = 0;
        return true;
    case WM_NCACTIVATE:
        if (IsIconic(m_paintWindow))
            return false;
        result = wParam == 0 ? 1 : 0;
        return true;
    default:
        return false;
    }
}

// True when the timer was the repaint timer.
bool CWindowManagerUI::OnRepaintTimer(WPARAM wParam)
{
    if (wParam != kRepaintTimerId || !m_layered)
        return false;
    if (!IsRectEmpty(&m_layeredDirty) && !IsIconic(m_paintWindow)) {
        LRESULT ignored = 0;
        HandleWindowMessage(WM_PAINT, 0, 0, ignored);
    }
    return true;
}

}  // namespace CalUI
