#pragma once
// A bar that shows a value between a minimum and a maximum: the fore image
// ("foreimage") covers the filled part of the control, from the left or
// from the bottom, and the label's text is drawn over it.
//
// The limits are stored as set. A maximum at or below the minimum is
// repaired to one above it, together with a value outside the limits, the
// first time the control paints or measures a position; every division by
// the range therefore divides by at least 1. Products of the range with a
// length are formed in 64 bits, so any two limits paint and place exactly.

#include "controls/LabelUI.h"

namespace CalUI {

class CProgressUI : public CLabelUI
{
public:
    CProgressUI();

    LPCWSTR GetClass() const override;
    void* GetInterface(LPCWSTR name) override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;
    void PaintStatusImage(HDC hdc) override;

    bool IsHorizontal() const;
    void SetHorizontal(bool horizontal = true);  // true: fills from the left; false: from the bottom
    int GetMinValue() const;
    void SetMinValue(int minimum);  // the value is not clamped here
    int GetMaxValue() const;
    void SetMaxValue(int maximum);  // the value is not clamped here
    int GetValue() const;
    // Lowered to the maximum, then raised to the minimum: with the limits
    // crossed the minimum wins.
    void SetValue(int value);

protected:
    // Makes the maximum exceed the minimum (by 1, when it did not) and brings
    // the value within them; at the very top of int the minimum steps down.
    void RepairRange();
    // length x part / whole in 64 bits, truncated; whole must not be 0.
    static long long Scale(long long length, long long part, long long whole);
    // Draws the image into `place` (relative to the control's top-left
    // corner) instead of the destination its text gives; an empty place
    // only loads it. False when the image cannot be loaded.
    bool DrawImageAt(HDC hdc, ImageDrawInfo& image, RECT place);

    bool m_horizontal = true;
    int m_min = 0;
    int m_max = 100;
    int m_value = 0;

private:
    RECT FilledPart() const;  // relative to the top-left corner; the range repaired
};

}  // namespace CalUI
