#pragma once
// The soft shadow ring around a layered window's content, drawn with GDI+,
// and the GDI+ session that each paint manager holds for it.

#include <windows.h>

namespace CalUI {

// Starts GDI+ for its owner's life.
class CGdiplusSession
{
public:
    CGdiplusSession();
    ~CGdiplusSession();
    CGdiplusSession(const CGdiplusSession&) = delete;
    CGdiplusSession& operator=(const CGdiplusSession&) = delete;

private:
    ULONG_PTR m_token = 0;
};

struct ShadowStyle
{
    int size = 0;              // ring width in pixels
    DWORD color = 0xFF000000;  // ARGB at the ring's inner edge
    float focusScale = -1.0f;  // -1: derived from the size
};

// How much of the gradient keeps the centre colour: the configured value,
// or for -1 (100 - size) / 100 limited to 0..1.
float ShadowFocusScale(const ShadowStyle& style);

// Fills the ring between the border of a width x height window with corners
// rounded by the shadow size, and the rectangle inset by the size, into a
// bottom-up 32-bit premultiplied bitmap of surfaceSize whose pixels start at
// `pixels`. Only the pixels of the ring change.
void PaintShadowRing(DWORD* pixels, SIZE surfaceSize, SIZE window, const ShadowStyle& style);

}  // namespace CalUI
