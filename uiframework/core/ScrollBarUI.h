#pragma once
// The scroll bar: a background, button 1 (up or left), button 2 (down or
// right), the thumb, and the rail grip drawn in the middle of the thumb, each
// with its own images by state.
//
// A bar that a container made has that container as its owner (not owned;
// the container creates, places, shows, hides and deletes its bars) and turns
// every click into the owner's line and page operations, which set the bar's
// position in turn; the owner also gets the wheel and the keys that reach the
// bar, and the focus when the bar is clicked. A bar built from a skin element
// has no owner and moves its own position.
//
// Every change of the position reaches the window as a queued "scroll"
// (wParam the new position, lParam the old one); a burst of changes before
// the window reads its queue arrives as one. Held presses repeat through the
// manager's timer 10: one step at the press, none for five ticks, then one per
// tick; a thumb drag moves the position at the tick after each mouse move.

#include <array>

#include "core/ControlState.h"
#include "core/ControlUI.h"

namespace CalUI {

class CContainerUI;

class CScrollBarUI : public CControlUI
{
public:
    CScrollBarUI();

    LPCWSTR GetClass() const override;
    void* GetInterface(LPCWSTR name) override;  // this for "ScrollBar"

    CContainerUI* GetOwner() const;
    void SetOwner(CContainerUI* owner);

    bool IsHorizontal() const;
    // A bar turned across takes the thickness 16 along its new cross axis
    // unless that axis already has a fixed size.
    void SetHorizontal(bool horizontal = true);

    int GetScrollRange() const;
    void SetScrollRange(int range);  // negative becomes 0; the position follows into it
    int GetScrollPos() const;
    // Clamped into 0 to range and, with a scroll unit above 1, raised to a
    // multiple of it (the range itself need not be one). Setting the current
    // value does nothing; a value that clamps to the current one neither
    // lays out nor notifies.
    void SetScrollPos(int pos, bool notify = true);
    int GetLineSize() const;       // the scroll unit when above 1, else the line size
    void SetLineSize(int size);    // negative is ignored
    int GetScrollUnit() const;     // above 1: also the owner's line step
    void SetScrollUnit(int unit);  // negative is ignored

    void SetShowButton1(bool show);
    void SetShowButton2(bool show);

    // ---- Images and colours of the parts ---------------------------------------
    // An image setter keeps a record that already holds the loaded image of the
    // same text; a colour of 0 fills nothing.
    void SetButton1NormalImage(LPCWSTR image);
    void SetButton1HotImage(LPCWSTR image);
    void SetButton1PushedImage(LPCWSTR image);
    void SetButton1DisabledImage(LPCWSTR image);
    void SetButton1Color(DWORD color);
    void SetButton2NormalImage(LPCWSTR image);
    void SetButton2HotImage(LPCWSTR image);
    void SetButton2PushedImage(LPCWSTR image);
    void SetButton2DisabledImage(LPCWSTR image);
    void SetButton2Color(DWORD color);
    void SetThumbNormalImage(LPCWSTR image);
    void SetThumbHotImage(LPCWSTR image);
    void SetThumbPushedImage(LPCWSTR image);
    void SetThumbDisabledImage(LPCWSTR image);
    void SetThumbColor(DWORD color);
    void SetRailNormalImage(LPCWSTR image);
    void SetRailHotImage(LPCWSTR image);
    void SetRailPushedImage(LPCWSTR image);
    void SetRailDisabledImage(LPCWSTR image);
    void SetBkNormalImage(LPCWSTR image);
    void SetBkHotImage(LPCWSTR image);
    void SetBkPushedImage(LPCWSTR image);
    void SetBkDisabledImage(LPCWSTR image);

    // ---- Overrides of the base control -----------------------------------------
    // Places the buttons and the thumb; a bar too short for a thumb has none.
    void SetPos(RECT rc, bool invalidate = true) override;
    // Leaves the layout to the owner: the parent is not asked to lay out again.
    void SetVisible(bool show = true) override;
    // Disabling clears the states of the buttons and the thumb.
    void SetEnabled(bool enable = true) override;
    // The owner takes the focus when there is one.
    void SetFocus() override;
    void OnEvent(UIEvent& event) override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;
    bool OnPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) override;

    // ---- Paint steps, in the order OnPaint runs them ----------------------------
    void PaintBk(HDC hdc);
    void PaintButton1(HDC hdc);
    void PaintButton2(HDC hdc);
    void PaintThumb(HDC hdc);  // nothing without a thumb
    void PaintRail(HDC hdc);   // a square of the thickness centred on the thumb

private:
    static constexpr int kDefaultThickness = 16;
    // The manager's timer of held presses and thumb drags (the id the
    // framework keeps for the bars), its period, and the ticks a held press
    // waits before it repeats.
    static constexpr UINT kRepeatTimerId = 10;
    static constexpr UINT kRepeatPeriodMs = 50;
    static constexpr int kRepeatDelayTicks = 5;

    // Image records of a part by state, in this order.
    enum class PartLook
    {
        Normal,
        Hot,
        Pushed,
        Disabled
    };
    using PartImages = std::array<ImageDrawInfo, 4>;
    static constexpr size_t Look(PartLook look) { return static_cast<size_t>(look); }

    struct Part
    {
        RECT rect = {0, 0, 0, 0};  // window coordinates
        UIControlState state = UIControlState::None;
        DWORD color = 0;  // 0: no fill
        PartImages images;
    };

    // What a click on a part asks of the owner, or of the bar itself.
    enum class Step
    {
        LineBefore,
        LineAfter,
        PageBefore,
        PageAfter
    };

    int Thickness() const;
    int Length() const;  // of the bar along its axis
    int ShownButtonsLength() const;
    bool HasThumb() const;
    int ThumbLength() const;
    // A rectangle across the bar's whole thickness, from `from` to `to` along it.
    RECT Span(int from, int to) const;
    void PlaceParts();
    // SetPos again at the current place.
    void LayOutAgain();

    void OnButtonDown(POINT pt);
    void OnButtonUp();
    void OnMouseMove(POINT pt);
    void OnTimerTick();
    void OnMouseEnter(POINT pt);
    bool OnMouseLeave(POINT pt);  // false: the event stops at the bar
    void PassOn(UIEvent& event);

    void RunStep(Step step);
    // The page step for a point of the rail: before or after the thumb; false
    // on the thumb or with no thumb at all.
    bool RailStepAt(POINT pt, Step& step) const;
    bool IsInRail(POINT pt) const;
    void DragTo(POINT pt);

    void SetPartImage(PartImages& images, PartLook look, LPCWSTR image);
    void SetPartColor(DWORD& field, DWORD color);
    void PaintPart(HDC hdc, Part& part);
    // The image the state asks for, else the normal one.
    void DrawStateImage(HDC hdc, PartImages& images, UIControlState state, const RECT* dest);
    void RefreshDisabled(UIControlState& state) const;

    CContainerUI* m_owner = nullptr;  // not owned
    bool m_horizontal = false;
    int m_range = 100;
    int m_scrollPos = 0;
    int m_lineSize = 8;
    int m_scrollUnit = 1;
    POINT m_pressPoint = {0, 0};
    int m_dragStartPos = 0;
    int m_dragOffset = 0;
    int m_repeatCount = 0;
    bool m_showButton1 = true;
    bool m_showButton2 = true;
    Part m_button1;
    Part m_button2;
    Part m_thumb;  // all four coordinates 0: no thumb
    PartImages m_railImages;
    PartImages m_bkImages;
};

}  // namespace CalUI
