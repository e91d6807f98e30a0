#pragma once
// The label: one text, drawn plain, in the framework's markup ("showhtml") or
// through GDI+ with gradient, glow, stroke and shadow ("enabledeffect"). It
// measures its text for the layouts and carries the text style, font,
// colours and padding that every text-showing control derives from it.
//
// Colours of 0 mean "not set": the text colours take the window's defaults
// at the first paint and keep them. The measured size is cached until the
// text, font, padding, style, fixed size or available size changes.

#include "core/ControlUI.h"
#include "controls/LabelEffects.h"

namespace CalUI {

class CLabelUI : public CControlUI
{
public:
    CLabelUI();
    ~CLabelUI() override;

    LPCWSTR GetClass() const override;          // "Label"
    void* GetInterface(LPCWSTR name) override;  // this for "Label"

    void SetText(LPCWSTR text) override;
    void SetFixedWidth(int cx) override;
    void SetFixedHeight(int cy) override;
    // Focus changes set and clear the focused flag without repainting.
    void OnEvent(UIEvent& event) override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;

    // Both fixed sizes above 0 are returned as they are; otherwise the text
    // is measured on the window's DC (once per change or new available
    // size): one line is as high as the font plus 8, a multi-line text wraps
    // at the fixed or available width. The padding is added; the GDI+ path
    // adds 3 % to a width that is not fixed.
    SIZE EstimateSize(SIZE available) override;
    // Disabled with a disabled background colour: that colour alone.
    void PaintBkColor(HDC hdc) override;
    void PaintText(HDC hdc) override;

    // ---- Text layout ---------------------------------------------------------
    UINT GetTextStyle() const;  // DrawTextW format bits, DT_VCENTER | DT_SINGLELINE at first
    // On: wraps words over several lines; off: one line.
    void SetMultiLine(bool multiLine);
    bool IsMultiLine() const;
    int GetFont() const;  // -1: the window's default font
    void SetFont(int fontId);
    RECT GetTextPadding() const;
    void SetTextPadding(RECT padding);
    bool IsShowHtml() const;
    void SetShowHtml(bool showHtml = true);

    // ---- Colours -------------------------------------------------------------
    DWORD GetTextColor() const;
    // A colour without alpha (below 0x01000000, not 0) becomes opaque.
    void SetTextColor(DWORD color);
    DWORD GetDisabledTextColor() const;
    void SetDisabledTextColor(DWORD color);  // stored as given
    DWORD GetDisabledBkColor() const;
    void SetDisabledBkColor(DWORD color);  // 0: none

    // ---- GDI+ text -----------------------------------------------------------
    bool IsEnabledEffect() const;
    void SetEnabledEffect(bool enable);
    int GetTextRenderingHint() const;
    void SetTextRenderingHint(int hint);
    bool IsEnabledLuminous() const;
    void SetEnabledLuminous(bool enable);
    float GetLuminousFuzzy() const;
    void SetLuminousFuzzy(float fuzzy);  // below 0.0001: ignored
    DWORD GetTextColor1() const;
    void SetTextColor1(DWORD color);  // kGradientColorNotSet: solid text
    DWORD GetTextShadowColorA() const;
    void SetTextShadowColorA(DWORD color);
    DWORD GetTextShadowColorB() const;
    void SetTextShadowColorB(DWORD color);
    DWORD GetStrokeColor() const;
    void SetStrokeColor(DWORD color);  // 0: no stroke
    int GetGradientAngle() const;
    void SetGradientAngle(int angle);
    int GetGradientLength() const;
    void SetGradientLength(int length);  // 0: the text rectangle's height
    bool IsEnabledStroke() const;
    void SetEnabledStroke(bool enable);
    bool IsEnabledShadow() const;
    void SetEnabledShadow(bool enable);
    // The shadow falls `distance` pixels away: up for angles -89 to 90, down
    // beyond; left for 0 to 180, right for -179 to -1. An angle outside -180
    // to 180 leaves the offset as it was.
    void SetShadowOffset(int distance, int angle);
    POINT GetShadowOffset() const;

protected:
    // Text colours of 0 become the window's defaults, kept from now on.
    void TakeDefaultTextColors();
    // The position less the text padding.
    RECT GetTextRect() const;
    // Plain or markup text in the text rectangle in `color`, as "showhtml"
    // says; nothing for an empty text.
    void DrawLabelText(HDC hdc, DWORD color);
    // The next EstimateSize measures again.
    void NeedMeasure();

    DWORD m_textColor = 0;
    DWORD m_disabledTextColor = 0;
    DWORD m_disabledBkColor = 0;
    int m_font = -1;
    UINT m_textStyle = DT_VCENTER | DT_SINGLELINE;
    RECT m_textPadding = {0, 0, 0, 0};
    bool m_showHtml = false;
    bool m_enabledEffect = false;
    TextEffectStyle m_effects;

private:
    SIZE MeasureText(SIZE box);

    SIZE m_lastAvailable = {0, 0};
    SIZE m_measured = {0, 0};
    bool m_needsMeasure = true;
};

}  // namespace CalUI
