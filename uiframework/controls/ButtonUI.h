#pragma once
// The button: a label that tracks hover, press and focus in a state word,
// paints an image per state (cross-fading between the normal and the hot
// image when "fadedelta" is set), state colours for background, text and
// border, and tells its window "click", "mouseenter", "mouseleave" and
// "menu".
//
// A press arms the button: moves while it is held show it pushed only over
// the button, and the release clicks only over it. The hot and pushed bits
// live while the mouse is over or pressing the button; disabling clears the
// whole state. The fade timer runs from a mouse enter or leave until the
// fade reaches its end. Colours of 0 mean "not set" throughout.

#include "core/ControlState.h"
#include "controls/LabelUI.h"

namespace CalUI {

// The paint manager's timer of the hover cross-fade, and its period.
inline constexpr UINT kButtonFadeTimerId = 11;
inline constexpr UINT kButtonFadeTimerMs = 30;

class CButtonUI : public CLabelUI
{
public:
    CButtonUI();

    LPCWSTR GetClass() const override;          // "Button"
    void* GetInterface(LPCWSTR name) override;  // this for "Button"
    // A tab stop while keyboard-enabled; wants the set-cursor event while
    // enabled.
    UIControlFlag GetControlFlags() const override;
    // False while hidden or disabled; otherwise "click" goes to the window
    // before this returns.
    bool Activate() override;
    // Disabling drops the state and the hover's cross-fade.
    void SetEnabled(bool enable = true) override;
    void OnEvent(UIEvent& event) override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;

    void PaintBkColor(HDC hdc) override;
    void PaintStatusImage(HDC hdc) override;
    void PaintText(HDC hdc) override;
    void PaintBorder(HDC hdc) override;

    UIControlState GetButtonState() const;

    // ---- State images --------------------------------------------------------
    // Each setter leaves a record alone that already shows the loaded image
    // of the same text; otherwise the text is taken and the button repaints.
    void SetNormalImage(LPCWSTR image);
    void SetHotImage(LPCWSTR image);
    void SetPushedImage(LPCWSTR image);
    void SetFocusedImage(LPCWSTR image);
    void SetDisabledImage(LPCWSTR image);
    void SetHotForeImage(LPCWSTR image);
    // One strip of five equal frames, left to right: normal, pushed, hot,
    // focused, disabled. A float button without a fixed size takes the size
    // of one frame.
    void SetFiveStatusImage(LPCWSTR image);

    // ---- State colours (stored; they show at the next paint) -----------------
    DWORD GetHotBkColor() const;
    void SetHotBkColor(DWORD color);
    DWORD GetHotBorderColor() const;
    void SetHotBorderColor(DWORD color);
    DWORD GetHotTextColor() const;
    void SetHotTextColor(DWORD color);
    DWORD GetPushedTextColor() const;
    void SetPushedTextColor(DWORD color);
    DWORD GetFocusedTextColor() const;
    void SetFocusedTextColor(DWORD color);
    DWORD GetFocusedBkColor() const;
    void SetFocusedBkColor(DWORD color);

    // ---- Cross-fade and cursor -----------------------------------------------
    BYTE GetFadeDelta() const;  // 0: the hot image shows at once
    void SetFadeDelta(BYTE step);
    const CUIString& GetCursorName() const;
    // "arrow" shows the arrow over the button, every other name the hand;
    // set while the enabled button is under the mouse, "arrow" and "hand"
    // change the cursor at once.
    void SetCursorName(LPCWSTR name);

protected:
    bool HasState(UIControlState bits) const;
    void SetState(UIControlState bits, bool on);
    // The focused and disabled bits follow the control's flags.
    void RefreshFocusAndEnabledState();
    // The text in `color`: plain or markup, or with "enabledeffect" in one
    // solid GDI+ brush, without gradient, glow, stroke or shadow.
    void DrawStateText(HDC hdc, DWORD color);
    // Loads the record before it takes `fade`: a first load applies the
    // fade the attribute text may name, which must not win over this one.
    bool DrawImageFaded(HDC hdc, ImageDrawInfo& image, BYTE fade);
    // Fills a state's background colour: an opaque one over the part being
    // painted, a translucent one over the whole button.
    void FillStateBkColor(HDC hdc, DWORD color);
    // The focused, else the hot background colour of an enabled button;
    // false when neither applies.
    bool PaintFocusedOrHotBkColor(HDC hdc);
    // Takes the text for the record and repaints; nothing when unchanged.

    UIControlState m_state = UIControlState::None;
    ImageDrawInfo m_normalImage;
    ImageDrawInfo m_hotImage;
    ImageDrawInfo m_hotForeImage;
    ImageDrawInfo m_pushedImage;
    ImageDrawInfo m_focusedImage;
    ImageDrawInfo m_disabledImage;

private:
    bool IsInside(POINT pt) const;
    bool IsUnderMouse() const;
    void ApplyCursor() const;
    void StartFade();
    void StepFade();
    void OnMouseEnter(const UIEvent& event);
    // False when the mouse is still over the button and the leave waits.
    bool OnMouseLeave(const UIEvent& event);
    void PaintNormalImage(HDC hdc);
    bool PaintHotImage(HDC hdc);

    CUIString m_cursorName = L"hand";
    DWORD m_hotBkColor = 0;
    DWORD m_hotBorderColor = 0;
    DWORD m_hotTextColor = 0;
    DWORD m_pushedTextColor = 0;
    DWORD m_focusedTextColor = 0;
    DWORD m_focusedBkColor = 0;
    BYTE m_fadeAlpha = 255;  // weight of the normal image in the cross-fade
    BYTE m_fadeDelta = 0;
};

}  // namespace CalUI
