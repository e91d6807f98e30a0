// The paint manager's off-screen and background bitmaps.

#include "core/PaintSurface.h"

#include "core/SkinPainter.h"

#include <algorithm>
#include <cstring>

namespace CalUI {

CPaintSurface::~CPaintSurface() { Release(); }

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

template <class VisitRow>
void CPaintSurface::ForEachRow(const RECT& rc, VisitRow visitRow)
{
    RECT bounds = GetRect();
    RECT area;
    if (m_pixels == nullptr || !IntersectRect(&area, &rc, &bounds))
        return;
    GdiFlush();  // GDI output still queued must land before the pixels are read
    for (int y = area.top; y < area.bottom; ++y) {
        DWORD* line = m_pixels + static_cast<size_t>(m_height - 1 - y) * m_width;
        visitRow(line + area.left, line + area.right, area.left, y);
    }
}

void CPaintSurface::Clear(const RECT& rc)
{
    ForEachRow(rc, [](DWORD* begin, DWORD* end, int, int) { memset(begin, 0, (end - begin) * sizeof(DWORD)); });
}

void CPaintSurface::MakeDrawnPixelsOpaque(const RECT& rc, const RECT* opaqueArea)
{
    ForEachRow(rc, [&](DWORD* begin, DWORD* end, int left, int y) {
        // Within the row, [opaqueBegin, opaqueEnd) lies inside opaqueArea.
        DWORD* opaqueBegin = end;
        DWORD* opaqueEnd = end;
        if (opaqueArea != nullptr && y >= opaqueArea->top && y < opaqueArea->bottom) {
            opaqueBegin = begin + std::clamp<LONG>(opaqueArea->left - left, 0, end - begin);
            opaqueEnd = begin + std::clamp<LONG>(opaqueArea->right - left, opaqueBegin - begin, end - begin);
        }
        auto keepBlended = [](DWORD* from, DWORD* to) {
            for (DWORD* pixel = from; pixel != to; ++pixel)
                if (*pixel < 0x01000000 && *pixel != 0)
                    *pixel |= 0xFF000000;
        };
        keepBlended(begin, opaqueBegin);
        for (DWORD* pixel = opaqueBegin; pixel != opaqueEnd; ++pixel)
            if (*pixel != 0)
                *pixel |= 0xFF000000;
        keepBlended(opaqueEnd, end);
    });
}

void CPaintSurface::MakeOpaque(const RECT& rc)
{
    ForEachRow(rc, [](DWORD* begin, DWORD* end, int, int) {
        for (DWORD* pixel = begin; pixel != end; ++pixel)
            *pixel |= 0xFF000000;
    });
}

}  // namespace CalUI
