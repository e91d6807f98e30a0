// The label.

#include "controls/LabelUI.h"

#include <cwchar>

#include "controls/TextFormatValues.h"
#include "core/AttributeValues.h"
#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

// A single line is as high as its font plus this much air.
constexpr int kSingleLineAir = 8;
// Unbounded extent of the box a text is measured in.
constexpr int kMeasureExtent = 99999;
// GDI+ draws the same text a little wider than GDI measures it.
constexpr int kEffectWidthPercent = 103;
constexpr float kSmallestLuminousFuzzy = 0.0001f;
constexpr DWORD kOpaque = 0xFF000000;

UINT WithBit(UINT style, UINT bit, bool on) { return on ? style | bit : style & ~bit; }

}  // namespace

CLabelUI::CLabelUI() = default;
CLabelUI::~CLabelUI() = default;

LPCWSTR CLabelUI::GetClass() const { return L"Label"; }

void* CLabelUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, L"Label") == 0)
        return this;
    return CControlUI::GetInterface(name);
}

void CLabelUI::SetText(LPCWSTR text)
{
    CControlUI::SetText(text);
    NeedMeasure();
}

void CLabelUI::SetFixedWidth(int cx)
{
    NeedMeasure();
    CControlUI::SetFixedWidth(cx);
}

void CLabelUI::SetFixedHeight(int cy)
{
    NeedMeasure();
    CControlUI::SetFixedHeight(cy);
}

void CLabelUI::OnEvent(UIEvent& event)
{
    if (event.type == UIEventType::SetFocus) {
        m_focused = true;
        return;
    }
    if (event.type == UIEventType::KillFocus) {
        m_focused = false;
        return;
    }
    CControlUI::OnEvent(event);
}

void CLabelUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    const CUIString n(name);
    if (n == L"align") {
        m_textStyle = ApplyHorizontalAlign(m_textStyle, value);
    } else if (n == L"valign") {
        m_textStyle = ApplyVerticalAlign(m_textStyle, value);
    } else if (n == L"endellipsis") {
        m_textStyle = WithBit(m_textStyle, DT_END_ELLIPSIS, IsTrueValue(value));
    } else if (n == L"font") {
        SetFont(_wtoi(value));
    } else if (n == L"textcolor") {
        SetTextColor(ParseColorValue(value));
    } else if (n == L"disabledtextcolor") {
        SetDisabledTextColor(ParseColorValue(value));
    } else if (n == L"disabledbkcolor") {
        SetDisabledBkColor(ParseColorValue(value));
    } else if (n == L"textpadding") {
        SetTextPadding(ParseRectValue(value));
    } else if (n == L"multiline") {
        SetMultiLine(IsTrueValue(value));
    } else if (n == L"showhtml") {
        SetShowHtml(IsTrueValue(value));
    } else if (n == L"enabledeffect") {
        SetEnabledEffect(IsTrueValue(value));
    } else if (n == L"enabledluminous") {
        SetEnabledLuminous(IsTrueValue(value));
    } else if (n == L"rhaa") {
        SetTextRenderingHint(_wtoi(value));
    } else if (n == L"luminousfuzzy") {
        SetLuminousFuzzy(static_cast<float>(std::wcstod(value, nullptr)));
    } else if (n == L"gradientangle") {
        SetGradientAngle(_wtoi(value));
    } else if (n == L"enabledstroke") {
        SetEnabledStroke(IsTrueValue(value));
    } else if (n == L"enabledshadow") {
        SetEnabledShadow(IsTrueValue(value));
    } else if (n == L"gradientlength") {
        SetGradientLength(_wtoi(value));
    } else if (n == L"shadowoffset") {
        const SIZE distanceAndAngle = ParseSizeValue(value);
        SetShadowOffset(distanceAndAngle.cx, distanceAndAngle.cy);
    } else if (n == L"textcolor1") {
        SetTextColor1(ParseColorValue(value));
    } else if (n == L"textshadowcolora") {
        SetTextShadowColorA(ParseColorValue(value));
    } else if (n == L"textshadowcolorb") {
        SetTextShadowColorB(ParseColorValue(value));
    } else if (n == L"strokecolor") {
        SetStrokeColor(ParseColorValue(value));
    } else {
        // "autocalwidth" and "autocalheight" are the base control's.
        CControlUI::SetAttribute(name, value);
    }
}

// ---- Measuring -----------------------------------------------------------------

SIZE CLabelUI::EstimateSize(SIZE available)
{
    if (m_fixedWidth > 0 && m_fixedHeight > 0)
        return SIZE{m_fixedWidth, m_fixedHeight};
    // One line is measured against a fixed extent: only wrapped text depends
    // on the room the layout offers, which changes between its two passes.
    const bool wraps = (m_textStyle & DT_SINGLELINE) == 0;
    if (wraps && (available.cx != m_lastAvailable.cx || available.cy != m_lastAvailable.cy))
        m_needsMeasure = true;
    if (!m_needsMeasure || m_manager == nullptr)
        return m_needsMeasure ? SIZE{m_fixedWidth, m_fixedHeight} : m_measured;
    m_needsMeasure = false;
    m_lastAvailable = available;

    SIZE box;
    if ((m_textStyle & DT_SINGLELINE) != 0) {
        const int lineHeight = m_manager->GetFontInfo(m_font)->textMetrics.tmHeight + kSingleLineAir +
                               m_textPadding.top + m_textPadding.bottom;
        m_measured.cy = m_fixedHeight != 0 ? m_fixedHeight : lineHeight;
        if (m_fixedWidth > 0) {
            m_measured.cx = m_fixedWidth;
            return m_measured;
        }
        box = SIZE{kMeasureExtent, m_measured.cy};
    } else {
        box.cx = m_fixedWidth > 0 ? m_fixedWidth : available.cx;
        box.cy = m_fixedHeight > 0 ? m_fixedHeight : kMeasureExtent;
    }

    const SIZE text = MeasureText(box);
    m_measured.cx = m_fixedWidth != 0 ? m_fixedWidth : text.cx + m_textPadding.left + m_textPadding.right;
    m_measured.cy = m_fixedHeight != 0 ? m_fixedHeight : text.cy + m_textPadding.top + m_textPadding.bottom;
    if (m_enabledEffect && m_fixedWidth <= 0)
        m_measured.cx = static_cast<int>(static_cast<long long>(m_measured.cx) * kEffectWidthPercent / 100);
    return m_measured;
}

// The text's extent within `box`, laid out at the origin the way it is drawn
// but without the horizontal alignment, which would only move it.
SIZE CLabelUI::MeasureText(SIZE box)
{
    CUIString text = m_text;
    CWindowManagerUI::ReplaceLanguageTokens(text);
    RECT rc = {0, 0, box.cx, box.cy};
    const UINT format = (m_textStyle & ~(DT_CENTER | DT_RIGHT)) | DT_CALCRECT;
    HDC dc = m_manager->GetPaintDC();
    if (m_showHtml) {
        int linkCount = 0;
        CSkinPainter::DrawMarkupText(dc, m_manager, rc, text, 0, nullptr, nullptr, linkCount, m_font, format);
    } else {
        CSkinPainter::DrawPlainText(dc, m_manager, rc, text, 0, m_font, format);
    }
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

void CLabelUI::NeedMeasure() { m_needsMeasure = true; }

// ---- Painting ------------------------------------------------------------------

void CLabelUI::PaintBkColor(HDC hdc)
{
    if (IsEnabled() || m_disabledBkColor == 0) {
        CControlUI::PaintBkColor(hdc);
        return;
    }
    const DWORD color = AdjustColor(m_disabledBkColor);
    const RECT& area = m_disabledBkColor >= kOpaque ? m_paintRect : m_pos;
    CSkinPainter::FillSolidColor(hdc, area, color);
}

void CLabelUI::PaintText(HDC hdc)
{
    TakeDefaultTextColors();
    if (!m_enabledEffect) {
        DrawLabelText(hdc, IsEnabled() ? m_textColor : m_disabledTextColor);
        return;
    }
    if (m_manager == nullptr)
        return;
    CUIString text = m_text;
    CWindowManagerUI::ReplaceLanguageTokens(text);
    DrawEffectText(hdc, m_manager->GetFont(m_font), GetTextRect(), text, m_textColor, m_textStyle, m_effects);
}

void CLabelUI::TakeDefaultTextColors()
{
    if (m_manager == nullptr)
        return;
    if (m_textColor == 0)
        m_textColor = m_manager->GetDefaultFontColor();
    if (m_disabledTextColor == 0)
        m_disabledTextColor = m_manager->GetDefaultDisabledColor();
}

RECT CLabelUI::GetTextRect() const
{
    return RECT{m_pos.left + m_textPadding.left, m_pos.top + m_textPadding.top, m_pos.right - m_textPadding.right,
                m_pos.bottom - m_textPadding.bottom};
}

void CLabelUI::DrawLabelText(HDC hdc, DWORD color)
{
    if (m_text.IsEmpty() || m_manager == nullptr)
        return;
    RECT rc = GetTextRect();
    if (m_showHtml) {
        int linkCount = 0;
        CSkinPainter::DrawMarkupText(hdc, m_manager, rc, m_text, color, nullptr, nullptr, linkCount, m_font,
                                     m_textStyle);
    } else {
        CSkinPainter::DrawPlainText(hdc, m_manager, rc, m_text, color, m_font, m_textStyle);
    }
}

// ---- Text layout ---------------------------------------------------------------

UINT CLabelUI::GetTextStyle() const { return m_textStyle; }

void CLabelUI::SetMultiLine(bool multiLine)
{
    if (multiLine)
        m_textStyle = (m_textStyle & ~DT_SINGLELINE) | DT_WORDBREAK;
    else
        m_textStyle |= DT_SINGLELINE;
    NeedMeasure();
}

bool CLabelUI::IsMultiLine() const { return (m_textStyle & DT_SINGLELINE) == 0; }

int CLabelUI::GetFont() const { return m_font; }

void CLabelUI::SetFont(int fontId)
{
    m_font = fontId;
    NeedMeasure();
    Invalidate();
}

RECT CLabelUI::GetTextPadding() const { return m_textPadding; }

void CLabelUI::SetTextPadding(RECT padding)
{
    m_textPadding = padding;
    NeedMeasure();
    Invalidate();
}

bool CLabelUI::IsShowHtml() const { return m_showHtml; }

void CLabelUI::SetShowHtml(bool showHtml)
{
    if (m_showHtml == showHtml)
        return;
    m_showHtml = showHtml;
    NeedMeasure();
    Invalidate();
}

// ---- Colours -------------------------------------------------------------------

DWORD CLabelUI::GetTextColor() const { return m_textColor; }

void CLabelUI::SetTextColor(DWORD color)
{
    if (color != 0 && color < 0x01000000)
        color |= kOpaque;
    m_textColor = color;
    Invalidate();
}

DWORD CLabelUI::GetDisabledTextColor() const { return m_disabledTextColor; }

void CLabelUI::SetDisabledTextColor(DWORD color)
{
    m_disabledTextColor = color;
    Invalidate();
}

DWORD CLabelUI::GetDisabledBkColor() const { return m_disabledBkColor; }

void CLabelUI::SetDisabledBkColor(DWORD color)
{
    m_disabledBkColor = color;
    Invalidate();
}

// ---- GDI+ text -----------------------------------------------------------------

bool CLabelUI::IsEnabledEffect() const { return m_enabledEffect; }

// The GDI+ text is wider, so the measured size changes with the path.
void CLabelUI::SetEnabledEffect(bool enable)
{
    m_enabledEffect = enable;
    NeedMeasure();
    Invalidate();
}

int CLabelUI::GetTextRenderingHint() const { return m_effects.renderingHint; }

void CLabelUI::SetTextRenderingHint(int hint)
{
    m_effects.renderingHint = hint;
    Invalidate();
}

bool CLabelUI::IsEnabledLuminous() const { return m_effects.luminous; }

void CLabelUI::SetEnabledLuminous(bool enable)
{
    m_effects.luminous = enable;
    Invalidate();
}

float CLabelUI::GetLuminousFuzzy() const { return m_effects.luminousFuzzy; }

void CLabelUI::SetLuminousFuzzy(float fuzzy)
{
    if (fuzzy < kSmallestLuminousFuzzy)
        return;
    m_effects.luminousFuzzy = fuzzy;
    Invalidate();
}

DWORD CLabelUI::GetTextColor1() const { return m_effects.textColor1; }

void CLabelUI::SetTextColor1(DWORD color)
{
    m_effects.textColor1 = color;
    Invalidate();
}

DWORD CLabelUI::GetTextShadowColorA() const { return m_effects.shadowColorA; }

void CLabelUI::SetTextShadowColorA(DWORD color)
{
    m_effects.shadowColorA = color;
    Invalidate();
}

DWORD CLabelUI::GetTextShadowColorB() const { return m_effects.shadowColorB; }

void CLabelUI::SetTextShadowColorB(DWORD color)
{
    m_effects.shadowColorB = color;
    Invalidate();
}

DWORD CLabelUI::GetStrokeColor() const { return m_effects.strokeColor; }

void CLabelUI::SetStrokeColor(DWORD color)
{
    m_effects.strokeColor = color;
    Invalidate();
}

int CLabelUI::GetGradientAngle() const { return m_effects.gradientAngle; }

void CLabelUI::SetGradientAngle(int angle)
{
    m_effects.gradientAngle = angle;
    Invalidate();
}

int CLabelUI::GetGradientLength() const { return m_effects.gradientLength; }

void CLabelUI::SetGradientLength(int length)
{
    m_effects.gradientLength = length;
    Invalidate();
}

bool CLabelUI::IsEnabledStroke() const { return m_effects.stroke; }

void CLabelUI::SetEnabledStroke(bool enable)
{
    m_effects.stroke = enable;
    Invalidate();
}

bool CLabelUI::IsEnabledShadow() const { return m_effects.shadow; }

void CLabelUI::SetEnabledShadow(bool enable)
{
    m_effects.shadow = enable;
    Invalidate();
}

void CLabelUI::SetShadowOffset(int distance, int angle)
{
    if (angle > 180 || angle < -180)
        return;
    POINT offset;
    if (angle == -180)
        offset.x = 0;
    else
        offset.x = angle >= 0 ? -distance : distance;
    if (angle == -90)
        offset.y = 0;
    else
        offset.y = angle >= -89 && angle <= 90 ? -distance : distance;
    m_effects.shadowOffset = offset;
    Invalidate();
}

POINT CLabelUI::GetShadowOffset() const { return m_effects.shadowOffset; }

}  // namespace CalUI
