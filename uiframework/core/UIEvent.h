#pragma once
// The records that travel from the paint manager to controls (UIEvent) and
// from controls to their window (NotifyMsg).

#include <windows.h>

#include "core/EnumFlags.h"
#include "core/UIString.h"

namespace CalUI {

class CControlUI;

// The numbers are shared by every control and by skins; the gaps (1, 2, 7, 8,
// 20) are never sent, so the key and mouse ranges below can be tested with
// plain compares.
enum class UIEventType : int
{
    KeyDown = 3,
    KeyUp = 4,
    Char = 5,
    SysKey = 6,
    MouseMove = 9,
    MouseLeave = 10,
    MouseEnter = 11,
    MouseHover = 12,
    ButtonDown = 13,
    ButtonUp = 14,
    RightButtonDown = 15,
    RightButtonUp = 16,
    DoubleClick = 17,
    ContextMenu = 18,
    ScrollWheel = 19,
    KillFocus = 21,
    SetFocus = 22,
    WindowSize = 23,
    SetCursor = 24,
    Timer = 25,
};

inline bool IsKeyEvent(UIEventType type) { return type >= UIEventType::KeyDown && type <= UIEventType::SysKey; }

inline bool IsMouseEvent(UIEventType type)
{
    return type >= UIEventType::MouseMove && type <= UIEventType::ScrollWheel;
}

// Bits of UIEvent::keyState as the paint manager fills them. The buttons,
// Shift and Control equal the MK_ bits of a mouse message's wParam; a mouse
// message has no bit for Alt.
enum class UIKeyState : WORD
{
    None = 0,
    LeftButton = 0x01,
    RightButton = 0x02,
    Shift = 0x04,
    Control = 0x08,
    Alt = 0x20,
};
template <>
inline constexpr bool kEnumIsFlagSet<UIKeyState> = true;

// One event for one control. Fields an event does not use stay 0.
struct UIEvent
{
    UIEventType type{};            // 0, no event, until the manager fills it
    CControlUI* sender = nullptr;  // for kill focus: the control gaining it
    DWORD timestamp = 0;           // GetTickCount when the event was made
    POINT mousePoint = {0, 0};     // client coordinates
    WCHAR keyChar = 0;
    // UIKeyState bits, or the low wParam word of the mouse message that made
    // the event (MK_ bits), so it stays a plain word: ToBits(UIKeyState) goes
    // in, FromBits<UIKeyState>(keyState) reads it as UIKeyState bits.
    WORD keyState = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// One notification from a control to its window's receivers.
struct NotifyMsg
{
    CUIString type;                // "click", "selectchanged", "windowinit", ...
    CUIString virtualWnd;          // filled only while the window uses virtual windows
    CControlUI* sender = nullptr;  // null once the sender was deleted while queued
    DWORD timestamp = 0;
    POINT mousePoint = {0, 0};
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

}  // namespace CalUI
