#pragma once

#include <windows.h>

#include "core/UIString.h"

namespace CalUI {

// One loaded skin image. Pixels are 4 bytes each, blue, green, red, alpha,
// with the colours premultiplied by alpha, rows top to bottom.
struct LoadedImage
{
    HBITMAP bitmap = nullptr;  // owns `pixels`
    BYTE* pixels = nullptr;
    BYTE* sourcePixels = nullptr;  // owned copy (new BYTE[]) kept for HSL changes, or null
    int width = 0;
    int height = 0;
    bool alpha = false;  // some pixel is not opaque or was keyed out by the mask
    bool followsHsl = false;
    CUIString resourceType;
    DWORD mask = 0;
};

}  // namespace CalUI
