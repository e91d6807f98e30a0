#pragma once
// The render engine: static painting operations with no state of their own
// beyond the platform blending functions looked up on first use.

#include <windows.h>

#include "core/ImageDrawInfo.h"
#include "core/LoadedImage.h"
#include "core/ResourceRef.h"
#include "core/UIString.h"

namespace CalUI {

class CControlUI;
class CWindowManagerUI;

class CSkinPainter
{
public:
    // ---- Images (SkinPainterImages.cpp) ---------------------------------------
    // From a resource when a type is given; with type "*COLOR*" a 1 x 1 image of
    // the colour named by the text (AARRGGBB, optional '#'); otherwise from the
    // skin folder or archive, and at last from the name as a file path. Pixels
    // whose premultiplied ARGB value equals `mask` become transparent.
    static LoadedImage* LoadSkinImage(ResourceRef name, LPCWSTR type, DWORD mask);
    static void FreeLoadedImage(LoadedImage* image, bool deleteRecord);
    // A 32-bit DIB section; a positive height is bottom-up.
    static HBITMAP CreateARGB32Bitmap(HDC dc, int width, int height, BYTE** pixels);
    // RGBA to premultiplied BGRA; pixels equal to the mask become transparent.
    // Returns whether any pixel needs blending.
    static bool PremultiplyPixels(const unsigned char* rgba, BYTE* bgra, size_t count, DWORD mask);

    // ---- Colour (SkinPainterColour.cpp) ---------------------------------------
    // Hue is in degrees offset from 180, saturation and lightness in per cent:
    // 180, 100, 100 changes nothing. Alpha is kept.
    static DWORD AdjustColorHsl(DWORD colour, short hue, short saturation, short lightness);
    // Recomputes the pixels of an image that follows HSL from its source copy.
    static void AdjustImageHsl(bool useHsl, LoadedImage* image, short hue, short saturation, short lightness);
    static void RgbToHsl(DWORD colour, float* hue, float* saturation, float* lightness);
    static void HslToRgb(DWORD* colour, float hue, float saturation, float lightness);

    // ---- Images, fills, outlines and plain text (SkinPainterDraw.cpp) ---------
    // Parses the attribute on first use, loads its image through the
    // manager's image table and draws it; false when there is no image. A null
    // dc only loads.
    static bool DrawImageAttr(HDC dc, CWindowManagerUI* manager, const RECT& control, const RECT& paint,
                              ImageDrawInfo& info);
    // Stretches, tiles or nine-grids `source` of the bitmap over `dest`,
    // touching only what meets `paint`. `alpha`: the bitmap carries
    // premultiplied per-pixel alpha.
    static void DrawBitmap(HDC dc, HBITMAP bitmap, const RECT& dest, const RECT& paint, const RECT& source,
                           const RECT& corners, bool alpha, BYTE fade = 255, bool hole = false, bool xTiled = false,
                           bool yTiled = false);
    static void FillSolidColor(HDC dc, const RECT& rc, DWORD color);
    static void FillGradient(HDC dc, const RECT& rc, DWORD first, DWORD second, bool vertical, int steps);
    static void DrawLineSegment(HDC dc, const RECT& rc, int width, DWORD color, int penStyle = PS_SOLID);
    static void DrawRectFrame(HDC dc, const RECT& rc, int width, DWORD color, int penStyle = PS_SOLID);
    static void DrawRoundRectFrame(HDC dc, const RECT& rc, int width, int cornerWidth, int cornerHeight, DWORD color,
                                   int penStyle = PS_SOLID);
    static void DrawPlainText(HDC dc, CWindowManagerUI* manager, RECT& rc, LPCWSTR text, DWORD color, int fontId,
                              UINT format);

    // The colour that lines, outlines, text and gradients draw for an ARGB
    // value: black (0 or opaque) becomes red 0, green 0, blue 1, which a
    // layered window's colour key can never take for transparent.
    static COLORREF ToDrawingColor(DWORD argb);

    // Stands in for the platform's AlphaBlend where msimg32.dll has none; it
    // takes the source colours as not premultiplied.
    static BOOL WINAPI AlphaBlendFallback(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                                          int srcWidth, int srcHeight, BLENDFUNCTION blend);

    // ---- Snapshot of a window (SkinPainterSnapshot.cpp) -----------------------
    // The window's controls within `rc` as a new 32-bit bottom-up DIB section
    // of rc's size, owned by the caller: the last painted picture, or, with a
    // stop control or on a layered window, a fresh paint of the tree that
    // ends at the stop control. An overlay colour with alpha covers it.
    static HBITMAP RenderControlToBitmap(CWindowManagerUI* manager, const RECT& rc, CControlUI* stopControl,
                                         DWORD overlay);

    // ---- Markup text (MarkupText.cpp) -----------------------------------------
    // Draws, or with DT_CALCRECT measures, text with inline tags. `linkRects`
    // and `linkTexts` hold `linkCount` entries on entry (the previous call's
    // links, for the hover colour) and receive this call's links; `linkCount`
    // returns how many were produced.
    static void DrawMarkupText(HDC dc, CWindowManagerUI* manager, RECT& rc, LPCWSTR text, DWORD color, RECT* linkRects,
                               CUIString* linkTexts, int& linkCount, int fontId, UINT format);
};

}  // namespace CalUI
