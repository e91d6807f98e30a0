#pragma once
// Text drawn through GDI+ with a gradient brush and optional glow, stroke and
// shadow. The label keeps one TextEffectStyle and hands it over for each
// paint; nothing here outlives the call.

#include <windows.h>

namespace CalUI {

// A gradient end colour of this value is "not set": the brush keeps its
// first colour.
constexpr DWORD kGradientColorNotSet = 0xFFFFFFFF;

struct TextEffectStyle
{
    int renderingHint = 4;  // GDI+ TextRenderingHint; 4 = anti-alias
    bool luminous = false;
    float luminousFuzzy = 3.0f;  // the glow's blur factor, above 0
    bool stroke = false;
    DWORD strokeColor = 0;  // 0: no stroke
    bool shadow = false;
    DWORD shadowColorA = 0xFF000000;
    DWORD shadowColorB = kGradientColorNotSet;
    POINT shadowOffset = {0, 0};
    int gradientAngle = 0;
    int gradientLength = 0;                   // 0: the text rectangle's height
    DWORD textColor1 = kGradientColorNotSet;  // the text gradient's end colour
};

// Draws `text` (language tokens already replaced) in `rc` with the window
// font `font`, aligned by the DrawTextW bits of `textStyle` (DT_CENTER,
// DT_RIGHT, DT_VCENTER, DT_BOTTOM, DT_SINGLELINE). Draws nothing for a
// rectangle of no area, a null font or an empty text.
void DrawEffectText(HDC hdc, HFONT font, const RECT& rc, LPCWSTR text, DWORD textColor, UINT textStyle,
                    const TextEffectStyle& style);

}  // namespace CalUI
