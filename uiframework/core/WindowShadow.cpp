// GDI+ draws the shadow because it has path-gradient brushes: the colour
// fades from the content's edge out to the window's rounded border.

#include "core/WindowShadow.h"

#include <algorithm>
#include <memory>

#include <gdiplus.h>

namespace CalUI {

CGdiplusSession::CGdiplusSession()
{
    Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, own thread and codecs
    Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
}

CGdiplusSession::~CGdiplusSession()
{
    if (m_token != 0)
        Gdiplus::GdiplusShutdown(m_token);
}

float ShadowFocusScale(const ShadowStyle& style)
{
    if (style.focusScale != -1.0f)
        return style.focusScale;
    return std::clamp((100 - style.size) / 100.0f, 0.0f, 1.0f);
}

namespace {

// The window's outline with corners rounded by the shadow size.
void AddRoundedOutline(Gdiplus::GraphicsPath& path, int w, int h, int r)
{
    const int d = 2 * r;
    path.AddArc(0, 0, d, d, 180, 90);
    path.AddLine(r, 0, w - r, 0);
    path.AddArc(w - d, 0, d, d, 270, 90);
    path.AddLine(w, r, w, h - r);
    path.AddArc(w - d, h - d, d, d, 0, 90);
    path.AddLine(w - r, h, r, h);
    path.AddArc(0, h - d, d, d, 90, 90);
    path.AddLine(0, h - r, 0, r);
}

}  // namespace

void PaintShadowRing(DWORD* pixels, SIZE surfaceSize, SIZE window, const ShadowStyle& style)
{
    const int r = style.size;
    if (pixels == nullptr || r <= 0 || surfaceSize.cx <= 0 || surfaceSize.cy <= 0)
        return;
    // A view of the bottom-up DIB: its top line is the last row in memory.
    const int stride = static_cast<int>(surfaceSize.cx) * 4;
    auto* topLine = reinterpret_cast<BYTE*>(pixels) + static_cast<size_t>(surfaceSize.cy - 1) * stride;
    Gdiplus::Bitmap target(surfaceSize.cx, surfaceSize.cy, -stride, PixelFormat32bppPARGB, topLine);
    Gdiplus::Graphics graphics(&target);
    graphics.SetPageUnit(Gdiplus::UnitPixel);
    // A ring drawn again replaces the one before instead of darkening it.
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);

    const int w = window.cx;
    const int h = window.cy;
    Gdiplus::GraphicsPath outline;
    AddRoundedOutline(outline, w, h, r);
    Gdiplus::Region ring(&outline);
    Gdiplus::Rect content(r, r, w - 2 * r, h - 2 * r);
    ring.Exclude(content);

    Gdiplus::PathGradientBrush brush(&outline);
    brush.SetCenterColor(Gdiplus::Color(style.color));
    Gdiplus::Color transparent(0);
    INT surroundCount = 1;
    brush.SetSurroundColors(&transparent, &surroundCount);
    const float scale = ShadowFocusScale(style);
    brush.SetFocusScales(scale, scale);
    graphics.FillRegion(&brush, &ring);
}

}  // namespace CalUI
