// Bitmaps with nine-grid, tiling and fade; solid and gradient fills; line and
// frame outlines; plain text.

#include "core/SkinPainter.h"

#include <algorithm>

#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

using AlphaBlendProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
using GradientFillProc = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// msimg32.dll is loaded with the first paint manager; a process without it
// still blends, only more slowly.
AlphaBlendProc PlatformAlphaBlend()
{
    static const AlphaBlendProc proc = [] {
        HMODULE module = GetModuleHandleW(L"msimg32.dll");
        auto found =
            module != nullptr ? reinterpret_cast<AlphaBlendProc>(GetProcAddress(module, "AlphaBlend")) : nullptr;
        return found != nullptr ? found : &CSkinPainter::AlphaBlendFallback;
    }();
    return proc;
}

GradientFillProc PlatformGradientFill()
{
    static const GradientFillProc proc = [] {
        HMODULE module = GetModuleHandleW(L"msimg32.dll");
        return module != nullptr ? reinterpret_cast<GradientFillProc>(GetProcAddress(module, "GradientFill")) : nullptr;
    }();
    return proc;
}

int Width(const RECT& rc) { return rc.right - rc.left; }

int Height(const RECT& rc) { return rc.bottom - rc.top; }

DWORD Premultiplied(DWORD argb)
{
    DWORD alpha = argb >> 24;
    auto channel = [&](int shift) { return ((argb >> shift) & 0xFF) * alpha / 255 << shift; };
    return alpha << 24 | channel(16) | channel(8) | channel(0);
}

// An unpremultiplied source pixel over a destination pixel, in whole numbers
// rounded as the platform's AlphaBlend rounds, so that both paths give the
// same bytes on every processor: the pixel's alpha is first scaled by the
// constant opacity, then every byte moves that far toward the source. The
// alpha byte of a pixel with per-pixel alpha stands for a full 255; without
// AC_SRC_ALPHA the source counts as opaque and its alpha byte blends like a
// colour, as with the platform's function.
void BlendPixelChannels(BYTE* dest, const BYTE* src, const BLENDFUNCTION& blend)
{
    const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
    const int opacity = perPixel ? (src[3] * blend.SourceConstantAlpha + 127) / 255 : blend.SourceConstantAlpha;
    auto mix = [opacity](int source, int destination) {
        return static_cast<BYTE>((source * opacity + destination * (255 - opacity) + 127) / 255);
    };
    for (int c = 0; c < 3; ++c)
        dest[c] = mix(src[c], dest[c]);
    dest[3] = mix(perPixel ? 255 : src[3], dest[3]);
}

// Premultiplied source over a destination pixel, rounded as the platform's
// AlphaBlend rounds, so that a fill looks the same on either path.
DWORD BlendPremultiplied(DWORD dest, DWORD source)
{
    const DWORD keep = 255 - (source >> 24);
    auto channel = [&](int shift) {
        return (((source >> shift) & 0xFF) + (((dest >> shift) & 0xFF) * keep + 127) / 255) << shift;
    };
    return channel(24) | channel(16) | channel(8) | channel(0);
}

// The 32-bit DIB section selected into a dc, written directly where GDI
// would give the same pixels: only while logical coordinates are device
// coordinates shifted and the clipping in force is one rectangle.
class DirectDib
{
public:
    // False leaves the output to GDI.
    bool Attach(HDC dc)
    {
        DIBSECTION dib;
        HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
        if (bitmap == nullptr || GetObjectW(bitmap, sizeof(dib), &dib) != sizeof(dib))
            return false;
        if (dib.dsBm.bmBits == nullptr || dib.dsBm.bmBitsPixel != 32 || dib.dsBmih.biCompression != BI_RGB)
            return false;
        if (GetMapMode(dc) != MM_TEXT || GetGraphicsMode(dc) != GM_COMPATIBLE || GetLayout(dc) != 0)
            return false;
        if (GetClipBox(dc, &m_clip) != SIMPLEREGION)
            return false;
        m_pixels = static_cast<DWORD*>(dib.dsBm.bmBits);
        m_width = dib.dsBm.bmWidth;
        m_height = dib.dsBm.bmHeight;
        m_offset = POINT{0, 0};
        LPtoDP(dc, &m_offset, 1);
        GdiFlush();  // GDI output still queued must land first
        m_bottomUp = RowsRunBottomUp(dc);
        return true;
    }

    // Writes `value` over the part of the logical rectangle within the
    // clipping; blended as premultiplied colour when `blend`.
    void Fill(const RECT& rc, DWORD value, bool blend)
    {
        RECT area;
        if (!IntersectRect(&area, &rc, &m_clip))
            return;
        OffsetRect(&area, m_offset.x, m_offset.y);
        const RECT bounds = {0, 0, m_width, m_height};
        if (!IntersectRect(&area, &area, &bounds))
            return;
        // What lies under a blend is mostly one colour: a pixel equal to the
        // one before takes the result already worked out.
        DWORD lastDest = 0;
        DWORD lastResult = BlendPremultiplied(lastDest, value);
        for (int y = area.top; y < area.bottom; ++y) {
            DWORD* const end = Line(y) + area.right;
            if (!blend) {
                for (DWORD* pixel = Line(y) + area.left; pixel != end; ++pixel)
                    *pixel = value;
                continue;
            }
            for (DWORD* pixel = Line(y) + area.left; pixel != end; ++pixel) {
                if (*pixel != lastDest) {
                    lastDest = *pixel;
                    lastResult = BlendPremultiplied(lastDest, value);
                }
                *pixel = lastResult;
            }
        }
    }

private:
    DWORD* Line(int y) const { return m_pixels + static_cast<size_t>(m_bottomUp ? m_height - 1 - y : y) * m_width; }

    // GetObject reports a top-down DIB section with a positive height too,
    // so the direction of the rows is asked of GDI itself: a probe value goes
    // into the bottom-up place of one visible line, and GetPixel sees it there
    // or not. With only the middle line visible the direction does not matter.
    bool RowsRunBottomUp(HDC dc) const
    {
        RECT visible = m_clip;
        OffsetRect(&visible, m_offset.x, m_offset.y);
        const RECT bounds = {0, 0, m_width, m_height};
        if (!IntersectRect(&visible, &visible, &bounds))
            return true;
        int y = visible.top;
        if (m_height - 1 - y == y && ++y >= visible.bottom)
            return true;
        const int x = visible.left;
        DWORD& bottomUpPlace = m_pixels[static_cast<size_t>(m_height - 1 - y) * m_width + x];
        const DWORD topDownRgb = m_pixels[static_cast<size_t>(y) * m_width + x] & 0xFFFFFF;
        const DWORD saved = bottomUpPlace;
        bottomUpPlace = (saved & 0xFF000000) | (~topDownRgb & 0xFFFFFF);
        const COLORREF seen = GetPixel(dc, x - m_offset.x, y - m_offset.y);
        bottomUpPlace = saved;
        return seen != RGB(topDownRgb >> 16, (topDownRgb >> 8) & 0xFF, topDownRgb & 0xFF);
    }

    DWORD* m_pixels = nullptr;
    int m_width = 0;
    int m_height = 0;
    POINT m_offset = {0, 0};  // device minus logical coordinates
    RECT m_clip = {};         // logical
    bool m_bottomUp = true;
};

// A solid one-pixel frame written as its four edges, with the alpha byte 0
// that GDI's pen output leaves; false leaves it to GDI.
bool DrawHairlineFrameDirect(HDC dc, const RECT& rc, COLORREF rgb)
{
    DirectDib direct;
    if (Width(rc) < 3 || Height(rc) < 3 || GetROP2(dc) != R2_COPYPEN || !direct.Attach(dc))
        return false;
    const DWORD pixel = GetRValue(rgb) << 16 | GetGValue(rgb) << 8 | GetBValue(rgb);
    for (const RECT& edge :
         {RECT{rc.left, rc.top, rc.right, rc.top + 1}, RECT{rc.left, rc.bottom - 1, rc.right, rc.bottom},
          RECT{rc.left, rc.top + 1, rc.left + 1, rc.bottom - 1},
          RECT{rc.right - 1, rc.top + 1, rc.right, rc.bottom - 1}})
        direct.Fill(edge, pixel, false);
    return true;
}

// Draws the pieces of one bitmap that meet the paint rectangle, blended or
// copied.
class PieceDrawer
{
public:
    PieceDrawer(HDC dc, HDC bitmapDC, const RECT& paint, bool blend, BYTE fade)
        : m_dc(dc),
          m_bitmapDC(bitmapDC),
          m_paint(paint),
          m_blend(blend),
          m_blendFunction{AC_SRC_OVER, 0, fade, AC_SRC_ALPHA}
    {}

    bool Meets(const RECT& rc) const
    {
        RECT visible;
        return IntersectRect(&visible, &rc, &m_paint) != FALSE;
    }

    // A piece without positive size on either side is skipped: the platform
    // would draw a negative extent mirrored.
    void Draw(int x, int y, int width, int height, int srcX, int srcY, int srcWidth, int srcHeight) const
    {
        if (width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0)
            return;
        if (!Meets(RECT{x, y, x + width, y + height}))
            return;
        if (m_blend)
            PlatformAlphaBlend()(m_dc, x, y, width, height, m_bitmapDC, srcX, srcY, srcWidth, srcHeight,
                                 m_blendFunction);
        else if (width == srcWidth && height == srcHeight)
            BitBlt(m_dc, x, y, width, height, m_bitmapDC, srcX, srcY, SRCCOPY);
        else
            StretchBlt(m_dc, x, y, width, height, m_bitmapDC, srcX, srcY, srcWidth, srcHeight, SRCCOPY);
    }

    // Only the visible part of an unscaled band-less bitmap is copied.
    void CopyVisible(const RECT& dest, const RECT& source) const
    {
        RECT visible;
        if (!IntersectRect(&visible, &dest, &m_paint))
            return;
        BitBlt(m_dc, visible.left, visible.top, Width(visible), Height(visible), m_bitmapDC,
               source.left + visible.left - dest.left, source.top + visible.top - dest.top, SRCCOPY);
    }

    // Tiles of the source middle over M; an axis without a source extent
    // draws nothing.
    void DrawMiddle(const RECT& m, int srcX, int srcY, int srcWidth, int srcHeight, bool xTiled, bool yTiled) const
    {
        if (!Meets(m))
            return;
        if (!xTiled && !yTiled) {
            Draw(m.left, m.top, Width(m), Height(m), srcX, srcY, srcWidth, srcHeight);
            return;
        }
        if ((xTiled && srcWidth <= 0) || (yTiled && srcHeight <= 0))
            return;
        if (xTiled && yTiled) {
            for (int y = m.top; y < m.bottom; y += srcHeight) {
                int height = std::min(srcHeight, static_cast<int>(m.bottom) - y);
                for (int x = m.left; x < m.right; x += srcWidth) {
                    int width = std::min(srcWidth, static_cast<int>(m.right) - x);
                    Draw(x, y, width, height, srcX, srcY, width, height);
                }
            }
        } else if (xTiled) {
            for (int x = m.left; x < m.right; x += srcWidth) {
                int width = std::min(srcWidth, static_cast<int>(m.right) - x);
                Draw(x, m.top, width, Height(m), srcX, srcY, width, srcHeight);
            }
        } else {
            for (int y = m.top; y < m.bottom; y += srcHeight) {
                int height = std::min(srcHeight, static_cast<int>(m.bottom) - y);
                Draw(m.left, y, Width(m), height, srcX, srcY, srcWidth, height);
            }
        }
    }

private:
    HDC m_dc;
    HDC m_bitmapDC;
    const RECT& m_paint;
    bool m_blend;
    BLENDFUNCTION m_blendFunction;
};

void DrawBands(const PieceDrawer& drawer, const RECT& d, const RECT& s, const RECT& bands)
{
    const int cl = bands.left, ct = bands.top, cr = bands.right, cb = bands.bottom;
    const int dw = Width(d), dh = Height(d), sw = Width(s), sh = Height(s);
    if (cl > 0 && ct > 0)
        drawer.Draw(d.left, d.top, cl, ct, s.left, s.top, cl, ct);
    if (ct > 0)
        drawer.Draw(d.left + cl, d.top, dw - cl - cr, ct, s.left + cl, s.top, sw - cl - cr, ct);
    if (cr > 0 && ct > 0)
        drawer.Draw(d.right - cr, d.top, cr, ct, s.right - cr, s.top, cr, ct);
    if (cl > 0)
        drawer.Draw(d.left, d.top + ct, cl, dh - ct - cb, s.left, s.top + ct, cl, sh - ct - cb);
    if (cr > 0)
        drawer.Draw(d.right - cr, d.top + ct, cr, dh - ct - cb, s.right - cr, s.top + ct, cr, sh - ct - cb);
    if (cl > 0 && cb > 0)
        drawer.Draw(d.left, d.bottom - cb, cl, cb, s.left, s.bottom - cb, cl, cb);
    if (cb > 0)
        drawer.Draw(d.left + cl, d.bottom - cb, dw - cl - cr, cb, s.left + cl, s.bottom - cb, sw - cl - cr, cb);
    if (cr > 0 && cb > 0)
        drawer.Draw(d.right - cr, d.bottom - cb, cr, cb, s.right - cr, s.bottom - cb, cr, cb);
}

void FillWithGradientFill(GradientFillProc gradientFill, HDC dc, const RECT& rc, COLORREF first, COLORREF second,
                          bool vertical)
{
    auto vertex = [](LONG x, LONG y, COLORREF color) {
        return TRIVERTEX{x,
                         y,
                         static_cast<COLOR16>(GetRValue(color) << 8),
                         static_cast<COLOR16>(GetGValue(color) << 8),
                         static_cast<COLOR16>(GetBValue(color) << 8),
                         0xFF00};
    };
    TRIVERTEX vertices[2] = {vertex(rc.left, rc.top, first), vertex(rc.right, rc.bottom, second)};
    GRADIENT_RECT gradientRect = {0, 1};
    gradientFill(dc, vertices, 2, &gradientRect, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

// Without the platform's gradient: 2^k solid bands, the first at the far end.
void FillWithBands(HDC dc, const RECT& rc, COLORREF first, COLORREF second, bool vertical, int steps)
{
    const int k = steps >= 64 ? 6 : steps >= 32 ? 5 : steps >= 16 ? 4 : steps >= 8 ? 3 : steps >= 4 ? 2 : 1;
    const int n = 1 << k;
    const int extent = vertical ? Height(rc) : Width(rc);
    for (int i = 0; i < n; ++i) {
        auto mix = [&](BYTE a, BYTE b) { return static_cast<BYTE>((b * (n - i) + a * i) >> k); };
        COLORREF color = RGB(mix(GetRValue(first), GetRValue(second)), mix(GetGValue(first), GetGValue(second)),
                             mix(GetBValue(first), GetBValue(second)));
        int nearEdge = (i + 1) * extent >> k;
        int farEdge = i * extent >> k;
        if (nearEdge == farEdge)
            continue;
        RECT band = rc;
        if (vertical) {
            band.top = rc.bottom - nearEdge;
            band.bottom = rc.bottom - farEdge;
        } else {
            band.left = rc.right - nearEdge;
            band.right = rc.right - farEdge;
        }
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc, &band, brush);
        DeleteObject(brush);
    }
}

HPEN CreateLogicalPen(int style, int width, DWORD color)
{
    LOGPEN pen = {static_cast<UINT>(style), POINT{width, 0}, CSkinPainter::ToDrawingColor(color)};
    return CreatePenIndirect(&pen);
}

template <class Draw>
void DrawWithPen(HDC dc, HPEN pen, Draw draw)
{
    if (pen == nullptr)
        return;
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    draw();
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

}  // namespace

COLORREF CSkinPainter::ToDrawingColor(DWORD argb)
{
    if (argb == 0 || argb == 0xFF000000)
        argb = 0xFF000001;
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

bool CSkinPainter::DrawImageAttr(HDC dc, CWindowManagerUI* manager, const RECT& control, const RECT& paint,
                                 ImageDrawInfo& info)
{
    if (manager == nullptr)
        return true;
    if (info.image != nullptr && manager->GetImage(info.imageName) != info.image) {
        // The tables let the image go (RemoveAllImages) since the record found
        // it: the pointer is only compared, never followed, and looked up anew.
        info.image = nullptr;
        info.parsed = false;
    }
    if (info.image == nullptr) {
        // A failed load is not tried again until the record is cleared.
        if (info.parsed)
            return false;
        info.parsed = true;
        if (info.attributeText.IsEmpty())
            return false;
        const ImageLoadRequest request = info.Parse();
        info.image = manager->GetOrAddImage(info.imageName, request.Type(), request.mask, request.hsl);
        if (info.image == nullptr)
            return false;
    }
    if (dc == nullptr)
        return true;

    // Worked out at every drawing: a replaced image may differ in size.
    RECT source = info.source;
    if (source.left == 0 && source.top == 0 && source.right == 0 && source.bottom == 0)
        source = RECT{0, 0, info.image->width, info.image->height};
    source.right = std::min<LONG>(source.right, info.image->width);
    source.bottom = std::min<LONG>(source.bottom, info.image->height);

    RECT dest = control;
    const RECT& offsets = info.dest;
    if (offsets.left != 0 || offsets.top != 0 || offsets.right != 0 || offsets.bottom != 0)
        dest = RECT{control.left + offsets.left, control.top + offsets.top,
                    std::min(control.left + offsets.right, control.right),
                    std::min(control.top + offsets.bottom, control.bottom)};
    RECT visible;
    if (IntersectRect(&visible, &dest, &control) && IntersectRect(&visible, &visible, &paint))
        DrawBitmap(dc, info.image->bitmap, dest, paint, source, info.corners, info.image->alpha, info.fade, info.hole,
                   info.xTiled, info.yTiled);
    return true;
}

void CSkinPainter::DrawBitmap(HDC dc, HBITMAP bitmap, const RECT& dest, const RECT& paint, const RECT& source,
                              const RECT& corners, bool alpha, BYTE fade, bool hole, bool xTiled, bool yTiled)
{
    if (bitmap == nullptr)
        return;
    HDC bitmapDC = CreateCompatibleDC(dc);
    if (bitmapDC == nullptr)
        return;
    HGDIOBJ oldBitmap = SelectObject(bitmapDC, bitmap);
    SetStretchBltMode(dc, COLORONCOLOR);

    const bool blend = alpha || fade < 255;
    PieceDrawer drawer(dc, bitmapDC, paint, blend, fade);
    const bool noBands = corners.left == 0 && corners.top == 0 && corners.right == 0 && corners.bottom == 0;
    if (!blend && noBands && Width(dest) == Width(source) && Height(dest) == Height(source)) {
        drawer.CopyVisible(dest, source);
    } else {
        if (!hole) {
            RECT middle = {dest.left + corners.left, dest.top + corners.top, dest.right - corners.right,
                           dest.bottom - corners.bottom};
            drawer.DrawMiddle(middle, source.left + corners.left, source.top + corners.top,
                              Width(source) - corners.left - corners.right,
                              Height(source) - corners.top - corners.bottom, xTiled, yTiled);
        }
        DrawBands(drawer, dest, source, corners);
    }

    SelectObject(bitmapDC, oldBitmap);
    DeleteDC(bitmapDC);
}

BOOL WINAPI CSkinPainter::AlphaBlendFallback(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                                             int srcWidth, int srcHeight, BLENDFUNCTION blend)
{
    HDC work = CreateCompatibleDC(dest);
    if (work == nullptr)
        return FALSE;
    BYTE* srcPixels = nullptr;
    BYTE* destPixels = nullptr;
    HBITMAP srcCopy = CSkinPainter::CreateARGB32Bitmap(dest, width, height, &srcPixels);
    HBITMAP destCopy = CSkinPainter::CreateARGB32Bitmap(dest, width, height, &destPixels);
    BOOL done = FALSE;
    if (srcCopy != nullptr && destCopy != nullptr) {
        HGDIOBJ old = SelectObject(work, srcCopy);
        StretchBlt(work, 0, 0, width, height, src, srcX, srcY, srcWidth, srcHeight, SRCCOPY);
        SelectObject(work, destCopy);
        BitBlt(work, 0, 0, width, height, dest, x, y, SRCCOPY);
        GdiFlush();
        for (int i = 0; i < width * height; ++i)
            BlendPixelChannels(destPixels + i * 4, srcPixels + i * 4, blend);
        BitBlt(dest, x, y, width, height, work, 0, 0, SRCCOPY);
        SelectObject(work, old);
        done = TRUE;
    }
    if (srcCopy != nullptr)
        DeleteObject(srcCopy);
    if (destCopy != nullptr)
        DeleteObject(destCopy);
    DeleteDC(work);
    return done;
}

void CSkinPainter::FillSolidColor(HDC dc, const RECT& rc, DWORD color)
{
    if ((color >> 24) == 0)
        return;
    DirectDib direct;
    if (direct.Attach(dc)) {
        direct.Fill(rc, Premultiplied(color), (color >> 24) != 0xFF);
        return;
    }
    BYTE* pixels = nullptr;
    HBITMAP pixel = CreateARGB32Bitmap(dc, 1, 1, &pixels);
    if (pixel == nullptr)
        return;
    *reinterpret_cast<DWORD*>(pixels) = Premultiplied(color);
    DrawBitmap(dc, pixel, rc, rc, RECT{0, 0, 1, 1}, RECT{0, 0, 0, 0}, true);
    DeleteObject(pixel);
}

void CSkinPainter::FillGradient(HDC dc, const RECT& rc, DWORD first, DWORD second, bool vertical, int steps)
{
    const BYTE opacity = static_cast<BYTE>(((first >> 24) + (second >> 24)) / 2);
    if (opacity == 0 || Width(rc) <= 0 || Height(rc) <= 0)
        return;

    // A translucent gradient is drawn opaque off-screen and blended on at once.
    HDC target = dc;
    RECT area = rc;
    HDC offscreen = nullptr;
    HBITMAP offscreenBitmap = nullptr;
    HGDIOBJ oldBitmap = nullptr;
    if (opacity < 255) {
        offscreen = CreateCompatibleDC(dc);
        BYTE* pixels = nullptr;
        offscreenBitmap = CreateARGB32Bitmap(dc, Width(rc), Height(rc), &pixels);
        if (offscreen == nullptr || offscreenBitmap == nullptr) {
            if (offscreen != nullptr)
                DeleteDC(offscreen);
            if (offscreenBitmap != nullptr)
                DeleteObject(offscreenBitmap);
            return;
        }
        oldBitmap = SelectObject(offscreen, offscreenBitmap);
        target = offscreen;
        area = RECT{0, 0, Width(rc), Height(rc)};
    }

    const COLORREF from = ToDrawingColor(first);
    const COLORREF to = ToDrawingColor(second);
    if (GradientFillProc gradientFill = PlatformGradientFill())
        FillWithGradientFill(gradientFill, target, area, from, to, vertical);
    else
        FillWithBands(target, area, from, to, vertical, steps);

    if (offscreen != nullptr) {
        // The gradient itself is opaque: only the constant opacity blends it,
        // whatever the gradient function left in the alpha bytes.
        PlatformAlphaBlend()(dc, rc.left, rc.top, Width(rc), Height(rc), offscreen, 0, 0, Width(rc), Height(rc),
                             BLENDFUNCTION{AC_SRC_OVER, 0, opacity, 0});
        SelectObject(offscreen, oldBitmap);
        DeleteObject(offscreenBitmap);
        DeleteDC(offscreen);
    }
}

void CSkinPainter::DrawLineSegment(HDC dc, const RECT& rc, int width, DWORD color, int penStyle)
{
    DrawWithPen(dc, CreateLogicalPen(penStyle, width, color), [&] {
        MoveToEx(dc, rc.left, rc.top, nullptr);
        LineTo(dc, rc.right, rc.bottom);
    });
}

void CSkinPainter::DrawRectFrame(HDC dc, const RECT& rc, int width, DWORD color, int penStyle)
{
    // Dashes and dots exist only for one-pixel pens; every other frame stays
    // inside the rectangle.
    if (width == 1 && penStyle == PS_SOLID && DrawHairlineFrameDirect(dc, rc, ToDrawingColor(color)))
        return;
    HPEN pen = nullptr;
    if (width == 1 && (penStyle & 7) != 0)
        pen = CreateLogicalPen(penStyle, width, color);
    if (pen == nullptr)
        pen = CreateLogicalPen(penStyle | PS_INSIDEFRAME, width, color);
    DrawWithPen(dc, pen, [&] { Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom); });
}

void CSkinPainter::DrawRoundRectFrame(HDC dc, const RECT& rc, int width, int cornerWidth, int cornerHeight, DWORD color,
                                      int penStyle)
{
    DrawWithPen(dc, CreateLogicalPen(penStyle | PS_INSIDEFRAME, width, color),
                [&] { RoundRect(dc, rc.left, rc.top, rc.right, rc.bottom, cornerWidth, cornerHeight); });
}

void CSkinPainter::DrawPlainText(HDC dc, CWindowManagerUI* manager, RECT& rc, LPCWSTR text, DWORD color, int fontId,
                                 UINT format)
{
    if (text == nullptr || *text == 0 || manager == nullptr)
        return;
    CUIString shown = text;
    CWindowManagerUI::ReplaceLanguageTokens(shown);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ToDrawingColor(color));
    HGDIOBJ oldFont = SelectObject(dc, manager->GetFont(fontId));
    DrawTextW(dc, shown, -1, &rc, format | DT_NOPREFIX);
    SelectObject(dc, oldFont);
}

}  // namespace CalUI
