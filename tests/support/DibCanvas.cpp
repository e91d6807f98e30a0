#include "DibCanvas.h"

#include <algorithm>

#include "core/SkinPainter.h"

namespace {

DWORD* TopDownPixels(HBITMAP* bitmap, int width, int height)
{
    BYTE* pixels = nullptr;
    *bitmap = CalUI::CSkinPainter::CreateARGB32Bitmap(nullptr, width, -height, &pixels);
    return reinterpret_cast<DWORD*>(pixels);
}

}  // namespace

DibCanvas::DibCanvas(int width, int height, DWORD fill) : m_width(width), m_height(height)
{
    m_dc = CreateCompatibleDC(nullptr);
    m_pixels = TopDownPixels(&m_bitmap, width, height);
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

void DibCanvas::CopyFrom(HBITMAP bitmap)
{
    HDC source = CreateCompatibleDC(m_dc);
    HGDIOBJ previous = SelectObject(source, bitmap);
    BitBlt(m_dc, 0, 0, m_width, m_height, source, 0, 0, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
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
    HBITMAP bitmap = nullptr;
    DWORD* pixels = TopDownPixels(&bitmap, width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[y * width + x] = pixel(x, y);
    return bitmap;
}

std::string BmpFileBytes(int width, int height, const std::function<DWORD(int x, int y)>& rgb)
{
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + stride * height;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;  // rows bottom to top
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    for (int y = height - 1; y >= 0; --y) {
        std::string row(stride, '\0');
        for (int x = 0; x < width; ++x) {
            const DWORD colour = rgb(x, y);
            row[x * 3] = static_cast<char>(colour & 0xFF);
            row[x * 3 + 1] = static_cast<char>((colour >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<char>((colour >> 16) & 0xFF);
        }
        bytes += row;
    }
    return bytes;
}
