#pragma once
// A progress bar with a thumb that the user drags, clicks or turns with the
// wheel to set the value. The window hears "valuechanged" (synchronous,
// wParam and lParam 0; GetValue gives the value) when a press is released,
// for every wheel notch (also when the value stayed at a limit) and, with
// "imm", for every move of a drag.
//
// A press moves the thumb under the pointer at once and starts the drag; the
// thumb shows its pushed image while the drag lasts and its hot image while
// the pointer is over the slider, each falling back to the plain thumb image.
// A disabled slider takes no press, no wheel and never turns hot.

#include "core/ControlState.h"
#include "controls/ProgressUI.h"

namespace CalUI {

class CSliderUI : public CProgressUI
{
public:
    CSliderUI();

    LPCWSTR GetClass() const override;
    void* GetInterface(LPCWSTR name) override;
    // Tab stop and set-cursor while enabled, none while disabled.
    UIControlFlag GetControlFlags() const override;
    // Disabling also ends a drag and the hot look.
    void SetEnabled(bool enable = true) override;
    void OnEvent(UIEvent& event) override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;
    void PaintStatusImage(HDC hdc) override;

    int GetChangeStep() const;
    void SetChangeStep(int step);       // the change of one wheel notch
    void SetThumbSize(SIZE size);       // negative sizes count as 0
    void SetCanSendMove(bool canSend);  // "valuechanged" at every move of a drag
    void SetThumbImage(LPCWSTR image);
    void SetThumbHotImage(LPCWSTR image);
    void SetThumbPushedImage(LPCWSTR image);

    // Where the thumb stands for the value, in window client coordinates:
    // centred across the bar, along it from the left (horizontal) or up from
    // the bottom (vertical). Repairs the range first.
    RECT GetThumbRect();

private:
    // The value a pointer at `pt` chooses: a limit within half a thumb of
    // either end, else in proportion along the bar. Repairs the range first.
    int ValueAt(POINT pt);
    bool HasState(UIControlState bit) const;
    void NotifyValueChanged();

    void OnPress(POINT pt);
    void OnRelease(POINT pt);
    void OnDrag(POINT pt);
    bool OnWheel(WPARAM direction);  // false for a direction that is neither up nor down
    void OnMouseEnter(POINT pt);
    void OnMouseLeave(POINT pt);

    SIZE m_thumbSize = {10, 10};
    UIControlState m_state = UIControlState::None;  // Hot and Captured only
    int m_step = 1;
    bool m_sendMove = false;
    ImageDrawInfo m_thumbImage;
    ImageDrawInfo m_thumbHotImage;
    ImageDrawInfo m_thumbPushedImage;
};

}  // namespace CalUI
