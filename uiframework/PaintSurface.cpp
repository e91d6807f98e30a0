// The paint manager's off-screen and background bitmaps.

#include "PaintSurface.h"

#include "SkinPainter.h"

namespace CalUI {

CPaintSurface::~CPaintSurface()
{
    Release();
}

bool CPaintSurface::Create(HDC reference, int width, int height, bool argb)
{
    Release();
    if (width <= 0 || height <= 0)
        return false;
    m_dc = CreateCompatibleDC(reference);
    BYTE* pixels = nullptr;
    m_bitmap = argb ? CSkinPainter::CreateARGB32Bitmap(reference, width, height, &pixels)
                    : CreateCompatibleBitmap(reference, width, height);
    if (m_dc == nullptr || m_bitmap == nullptr) {
        Release();
        return false;
    }
    m_pixels = reinterpret_cast<DWORD*>(pixels);
    m_width = width;
    m_height = height;
    return true;
}

void CPaintSurface::Release()
{
    Deselect();
    if (m_dc != nullptr)
        DeleteDC(m_dc);
    if (m_bitmap != nullptr)
        DeleteObject(m_bitmap);
    m_dc = nullptr;
    m_bitmap = nullptr;
    m_pixels = nullptr;
    m_width = m_height = 0;
}

bool CPaintSurface::Fits(int width, int height, bool argb) const
{
    return Exists() && m_width == width && m_height == height && (m_pixels != nullptr) == argb;
}

void CPaintSurface::Select()
{
    if (m_dc != nullptr && m_previous == nullptr)
        m_previous = SelectObject(m_dc, m_bitmap);
}

void CPaintSurface::Deselect()
{
    if (m_previous == nullptr)
        return;
    SelectObject(m_dc, m_previous);
    m_previous = nullptr;
}

template <class Visit>
void CPaintSurface::ForEachPixel(const RECT& rc, Visit visit)
{
    RECT bounds = GetRect();
    RECT area;
    if (m_pixels == nullptr || !IntersectRect(&area, &rc, &bounds))
        return;
    GdiFlush();   // GDI output still queued must land before the pixels are read
    for (int y = area.top; y < area.bottom; ++y) {
        DWORD* line = m_pixels + static_cast<size_t>(m_height - 1 - y) * m_width;
        for (int x = area.left; x < area.right; ++x)
            visit(line[x], x, y);
    }
}

void CPaintSurface::Clear(const RECT& rc)
{
    ForEachPixel(rc, [](DWORD& pixel, int, int) { pixel = 0; });
}

void CPaintSurface::CopyFrom(const CPaintSurface& source, const RECT& rc)
{
    RECT common;
    RECT sourceRect = source.GetRect();
    if (source.m_pixels == nullptr || !IntersectRect(&common, &rc, &sourceRect))
        return;
    const int sourceHeight = source.m_height;
    const int sourceWidth = source.m_width;
    const DWORD* sourcePixels = source.m_pixels;
    ForEachPixel(common, [&](DWORD& pixel, int x, int y) {
        pixel = sourcePixels[static_cast<size_t>(sourceHeight - 1 - y) * sourceWidth + x];
    });
}

void CPaintSurface::MakeDrawnPixelsOpaque(const RECT& rc, const RECT* opaqueArea)
{
    ForEachPixel(rc, [&](DWORD& pixel, int x, int y) {
        if (pixel == 0)
            return;
        const bool inside = opaqueArea != nullptr && x >= opaqueArea->left && x < opaqueArea->right &&
                            y >= opaqueArea->top && y < opaqueArea->bottom;
        if (inside || (pixel >> 24) == 0)
            pixel |= 0xFF000000;
    });
}

void CPaintSurface::MakeOpaque(const RECT& rc)
{
    ForEachPixel(rc, [](DWORD& pixel, int, int) { pixel |= 0xFF000000; });
}

}  // namespace CalUI
