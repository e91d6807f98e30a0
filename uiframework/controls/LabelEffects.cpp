// GDI+ text for the label: the glow is the text drawn small and stretched
// back, so its blur grows with the blur factor.

#include "controls/LabelEffects.h"

#include <algorithm>

#include <gdiplus.h>

namespace CalUI {

namespace {

Gdiplus::Color ToGdiplusColor(DWORD argb) { return Gdiplus::Color(static_cast<Gdiplus::ARGB>(argb)); }

void ApplyAlignment(Gdiplus::StringFormat& format, UINT textStyle)
{
    if ((textStyle & DT_VCENTER) != 0)
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    else if ((textStyle & DT_BOTTOM) != 0)
        format.SetLineAlignment(Gdiplus::StringAlignmentFar);
    else
        format.SetLineAlignment(Gdiplus::StringAlignmentNear);
    if ((textStyle & DT_CENTER) != 0)
        format.SetAlignment(Gdiplus::StringAlignmentCenter);
    else if ((textStyle & DT_RIGHT) != 0)
        format.SetAlignment(Gdiplus::StringAlignmentFar);
    else
        format.SetAlignment(Gdiplus::StringAlignmentNear);
    if ((textStyle & DT_SINGLELINE) != 0)
        format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
}

// Every brush of the effects runs from (angle, 0) to (0, length), in window
// coordinates, as the skins were drawn against.
Gdiplus::LinearGradientBrush MakeGradient(int angle, float length, DWORD from, DWORD to)
{
    const DWORD end = to == kGradientColorNotSet ? from : to;
    return Gdiplus::LinearGradientBrush(Gdiplus::PointF(static_cast<Gdiplus::REAL>(angle), 0),
                                        Gdiplus::PointF(0, length), ToGdiplusColor(from), ToGdiplusColor(end));
}

struct TextPieces
{
    LPCWSTR text;
    const Gdiplus::Font& font;
    const Gdiplus::StringFormat& format;
};

void DrawTextAt(Gdiplus::Graphics& graphics, const TextPieces& pieces, const Gdiplus::RectF& rc,
                const Gdiplus::Brush& brush)
{
    graphics.DrawString(pieces.text, -1, &pieces.font, rc, &pieces.format, &brush);
}

// The text drawn into a bitmap of the text rectangle's size, shrunk by the
// blur factor and stretched back at the shadow offset: a soft copy of itself.
void DrawGlow(Gdiplus::Graphics& graphics, const TextPieces& pieces, const Gdiplus::RectF& textRect,
              const Gdiplus::Brush& brush, const TextEffectStyle& style)
{
    const int width = static_cast<int>(textRect.Width);
    const int height = static_cast<int>(textRect.Height);
    if (width <= 0 || height <= 0)
        return;
    const int smallWidth = std::max(1, static_cast<int>(textRect.Width / style.luminousFuzzy));
    const int smallHeight = std::max(1, static_cast<int>(textRect.Height / style.luminousFuzzy));

    Gdiplus::Bitmap full(width, height, PixelFormat32bppARGB);
    Gdiplus::Graphics onFull(&full);
    onFull.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    onFull.SetTextRenderingHint(static_cast<Gdiplus::TextRenderingHint>(style.renderingHint));
    onFull.SetCompositingQuality(Gdiplus::CompositingQualityAssumeLinear);
    DrawTextAt(onFull, pieces, Gdiplus::RectF(0, 0, textRect.Width, textRect.Height), brush);

    Gdiplus::Bitmap shrunk(smallWidth, smallHeight, PixelFormat32bppARGB);
    Gdiplus::Graphics onShrunk(&shrunk);
    onShrunk.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    onShrunk.SetPixelOffsetMode(Gdiplus::PixelOffsetModeNone);
    onShrunk.DrawImage(&full, 0, 0, smallWidth, smallHeight);

    onFull.Clear(Gdiplus::Color(0, 0, 0, 0));
    onFull.DrawImage(&shrunk, static_cast<INT>(style.shadowOffset.x), static_cast<INT>(style.shadowOffset.y), width,
                     height);
    graphics.DrawImage(&full, textRect.X, textRect.Y);
}

// Four copies one pixel off in each direction make the outline.
void DrawStroke(Gdiplus::Graphics& graphics, const TextPieces& pieces, const Gdiplus::RectF& textRect, const RECT& rc,
                const TextEffectStyle& style)
{
    const Gdiplus::LinearGradientBrush brush = MakeGradient(
        style.gradientAngle, static_cast<float>(rc.bottom - rc.top + 2), style.strokeColor, style.strokeColor);
    const Gdiplus::PointF offsets[] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (const Gdiplus::PointF& offset : offsets) {
        Gdiplus::RectF moved = textRect;
        moved.Offset(offset);
        DrawTextAt(graphics, pieces, moved, brush);
    }
}

}  // namespace

void DrawEffectText(HDC hdc, HFONT font, const RECT& rc, LPCWSTR text, DWORD textColor, UINT textStyle,
                    const TextEffectStyle& style)
{
    if (IsRectEmpty(&rc) || font == nullptr || text == nullptr || *text == 0)
        return;
    const Gdiplus::Font gdiplusFont(hdc, font);
    if (gdiplusFont.GetLastStatus() != Gdiplus::Ok)
        return;
    Gdiplus::Graphics graphics(hdc);
    graphics.SetTextRenderingHint(static_cast<Gdiplus::TextRenderingHint>(style.renderingHint));
    Gdiplus::StringFormat format;
    ApplyAlignment(format, textStyle);
    const TextPieces pieces{text, gdiplusFont, format};

    const Gdiplus::RectF textRect(static_cast<Gdiplus::REAL>(rc.left), static_cast<Gdiplus::REAL>(rc.top),
                                  static_cast<Gdiplus::REAL>(rc.right - rc.left),
                                  static_cast<Gdiplus::REAL>(rc.bottom - rc.top));
    Gdiplus::RectF shadowRect = textRect;
    shadowRect.Offset(static_cast<Gdiplus::REAL>(style.shadowOffset.x),
                      static_cast<Gdiplus::REAL>(style.shadowOffset.y));
    const float length = static_cast<float>(style.gradientLength != 0 ? style.gradientLength : rc.bottom - rc.top);
    const Gdiplus::LinearGradientBrush textBrush =
        MakeGradient(style.gradientAngle, length, textColor, style.textColor1);

    if (style.luminous)
        DrawGlow(graphics, pieces, textRect, textBrush, style);
    if (style.stroke && style.strokeColor != 0)
        DrawStroke(graphics, pieces, textRect, rc, style);
    if (style.shadow && (style.shadowColorA != 0 || style.shadowColorB != 0)) {
        const Gdiplus::LinearGradientBrush shadowBrush =
            MakeGradient(style.gradientAngle, length, style.shadowColorA, style.shadowColorB);
        DrawTextAt(graphics, pieces, shadowRect, shadowBrush);
    }
    DrawTextAt(graphics, pieces, textRect, textBrush);
}

}  // namespace CalUI
