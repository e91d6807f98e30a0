#pragma once
// A memory device context with a bitmap of the client area's size, kept by
// the paint manager between paints: the window's off-screen picture.
// Rectangles are client coordinates; in 32-bit
// mode the bitmap is bottom-up, so client line y is bitmap row height-1-y.

#include <windows.h>

namespace CalUI {

class CPaintSurface
{
public:
    CPaintSurface() = default;
    ~CPaintSurface();
    CPaintSurface(const CPaintSurface&) = delete;
    CPaintSurface& operator=(const CPaintSurface&) = delete;

    // A 32-bit bottom-up DIB with reachable pixels when `argb`, else a bitmap
    // compatible with `reference`. False (and nothing kept) when the platform
    // refuses either the context or the bitmap.
    bool Create(HDC reference, int width, int height, bool argb);
    void Release();

    bool Exists() const { return m_bitmap != nullptr; }
    // True when the surface is of this size and kind.
    bool Fits(int width, int height, bool argb) const;

    HDC GetDC() const { return m_dc; }
    HBITMAP GetBitmap() const { return m_bitmap; }
    DWORD* GetPixels() const { return m_pixels; }
    SIZE GetSize() const { return {m_width, m_height}; }
    RECT GetRect() const { return {0, 0, m_width, m_height}; }

    // The bitmap sits in the context only while it is drawn, so that other
    // contexts (a snapshot of the window) can select it in between.
    bool IsSelected() const { return m_previous != nullptr; }
    void Select();
    void Deselect();

    // Pixel work of a 32-bit surface over `rc`, cut to the bitmap.
    void Clear(const RECT& rc);
    // Plain GDI output (text, lines) leaves alpha 0 behind; such pixels become
    // opaque, while blended image pixels keep their alpha. Inside `opaqueArea`
    // (when given) every drawn pixel becomes opaque.
    void MakeDrawnPixelsOpaque(const RECT& rc, const RECT* opaqueArea);
    // Every pixel's alpha byte becomes 0xFF.
    void MakeOpaque(const RECT& rc);

private:
    // Calls `visitRow(begin, end, left, y)` for the pixels of each client
    // line of `rc` within the bitmap, `left` being the client x of `begin`.
    template <class VisitRow>
    void ForEachRow(const RECT& rc, VisitRow visitRow);

    HDC m_dc = nullptr;            // owned
    HBITMAP m_bitmap = nullptr;    // owned
    HGDIOBJ m_previous = nullptr;  // what the context held before Select
    DWORD* m_pixels = nullptr;     // the DIB's own memory; null for a compatible bitmap
    int m_width = 0;
    int m_height = 0;
};

}  // namespace CalUI
