#pragma once
// Clickable animations: a GIF ("GifButton") or APNG ("ApngButton") animation
// that behaves like a button. It tracks hover and press in a state word,
// tells its window "click", "mouseenter", "mouseleave" and "menu", shows the
// hand cursor (or the arrow for "cursor" "arrow") and changes its background
// and text colour with its state. The animation plays whatever the state.
//
// A press arms the button: moves while it is held show it pushed only over
// it, and the release clicks only over it. Disabling clears the whole state.
// Notifications go out before the button changes its state; a window that
// removes the button while it handles one gets it destroyed after the
// button's event is over, through the manager's delayed clean-up.

#include "controls/AnimationUI.h"
#include "core/ControlState.h"

namespace CalUI {

template <class Animation>
class CAnimatedButtonUI : public Animation
{
public:
    CAnimatedButtonUI();

    // Destroyed later, by the manager, while one of its own events runs.
    void Delete() override;
    // A tab stop while keyboard-enabled; wants the set-cursor event while
    // enabled.
    UIControlFlag GetControlFlags() const override;
    // False while hidden or disabled; otherwise "click" goes to the window
    // before this returns.
    bool Activate() override;
    void SetEnabled(bool enable = true) override;
    void OnEvent(UIEvent& event) override;
    // "cursor", "hotbkcolor", "hottextcolor", "pushedtextcolor"; the rest
    // goes to the animation.
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;
    void PaintBkColor(HDC hdc) override;
    void PaintText(HDC hdc) override;

    UIControlState GetButtonState() const;
    const CUIString& GetCursorName() const;
    // "arrow" or "hand" changes the cursor at once while the enabled button
    // is under the mouse; any other name shows the hand from the next
    // set-cursor event on.
    void SetCursorName(LPCWSTR name);
    // Colours of 0 are "not set"; stored, shown at the next paint.
    DWORD GetHotBkColor() const;
    void SetHotBkColor(DWORD color);
    DWORD GetHotTextColor() const;  // opaque black at first
    void SetHotTextColor(DWORD color);
    DWORD GetPushedTextColor() const;
    void SetPushedTextColor(DWORD color);

private:
    class EventScope;

    bool HasState(UIControlState bits) const;
    bool IsInside(POINT pt) const;
    bool IsUnderMouse() const;
    void HandleEvent(UIEvent& event);
    void OnMouseEnter(const UIEvent& event);
    // False when the mouse is still over the button and the leave waits.
    bool OnMouseLeave(const UIEvent& event);

    UIControlState m_state = UIControlState::None;
    CUIString m_cursorName = L"hand";
    DWORD m_hotBkColor = 0;
    DWORD m_hotTextColor = 0xFF000000;
    DWORD m_pushedTextColor = 0;
    int m_eventDepth = 0;             // own events and clicks under way
    bool m_cleanupQueued = false;     // handed to the manager's delayed clean-up
    bool m_deleteAfterEvent = false;  // the clean-up ran during the event
};

class CGifButtonUI : public CAnimatedButtonUI<CGifAnimUI>
{
public:
    LPCWSTR GetClass() const override;          // "GifButton"
    void* GetInterface(LPCWSTR name) override;  // this for "GifButton"
};

class CApngButtonUI : public CAnimatedButtonUI<CApngAnimUI>
{
public:
    LPCWSTR GetClass() const override;          // "ApngButton"
    void* GetInterface(LPCWSTR name) override;  // this for "ApngButton"
};

}  // namespace CalUI
