#pragma once
// A 32-bit top-down DIB section selected into its own memory context, for
// tests that draw and then read exact pixels.

#include <windows.h>

#include <functional>
#include <string>

class DibCanvas
{
public:
    DibCanvas(int width, int height, DWORD fill = 0x00FFFFFF);
    ~DibCanvas();
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    HDC dc() const { return m_dc; }
    int width() const { return m_width; }
    int height() const { return m_height; }

    void Fill(DWORD pixel);
    // Copies the bitmap's top-left corner of the canvas's size onto the canvas.
    void CopyFrom(HBITMAP bitmap);
    // The pixel's colour as 0xRRGGBB; the fourth byte is left out because
    // GDI output clears it.
    DWORD Rgb(int x, int y) const;
    // Pixels inside `rc` with exactly this colour.
    int Count(const RECT& rc, DWORD rgb) const;
    // The smallest rectangle holding every pixel that differs from `rgb`.
    RECT BoundsOfOther(DWORD rgb) const;

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
    DWORD* m_pixels = nullptr;
};

// A top-down 32-bit DIB section whose pixel (x, y) is pixel(x, y), written as
// the premultiplied value 0xAARRGGBB. The caller deletes it.
HBITMAP MakeBitmap(int width, int height, const std::function<DWORD(int x, int y)>& pixel);

// The bytes of a 24-bit BMP file whose pixel (x, y) has the colour
// rgb(x, y), written as 0xRRGGBB.
std::string BmpFileBytes(int width, int height, const std::function<DWORD(int x, int y)>& rgb);
