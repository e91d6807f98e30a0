#include "DibCanvas.h"

#include <algorithm>

namespace {

HBITMAP CreateDib(int width, int height, DWORD** pixels)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    *pixels = static_cast<DWORD*>(bits);
    return bitmap;
}

}  // namespace

DibCanvas::DibCanvas(int width, int height, DWORD fill) : m_width(width), m_height(height)
{
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateDib(width, height, &m_pixels);
    m_oldBitmap = SelectObject(m_dc, m_bitmap);
    Fill(fill);
}

DibCanvas::~DibCanvas()
{
    SelectObject(m_dc, m_oldBitmap);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

void DibCanvas::Fill(DWORD pixel)
{
    GdiFlush();
    std::fill(m_pixels, m_pixels + m_width * m_height, pixel);
}

DWORD DibCanvas::Rgb(int x, int y) const
{
    GdiFlush();
    return m_pixels[y * m_width + x] & 0xFFFFFF;
}

int DibCanvas::Count(const RECT& rc, DWORD rgb) const
{
    int count = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            count += Rgb(x, y) == rgb;
    return count;
}

RECT DibCanvas::BoundsOfOther(DWORD rgb) const
{
    RECT bounds = {m_width, m_height, 0, 0};
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            if (Rgb(x, y) != rgb) {
                bounds.left = std::min<LONG>(bounds.left, x);
                bounds.top = std::min<LONG>(bounds.top, y);
                bounds.right = std::max<LONG>(bounds.right, x + 1);
                bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
            }
    return bounds;
}

HBITMAP MakeBitmap(int width, int height, const std::function<DWORD(int x, int y)>& pixel)
{
    DWORD* pixels = nullptr;
    HBITMAP bitmap = CreateDib(width, height, &pixels);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[y * width + x] = pixel(x, y);
    return bitmap;
}
