#pragma once
// The records that travel from the paint manager to controls (UIEvent) and
// from controls to their window (NotifyMsg).

#include <windows.h>

#include "core/UIString.h"

namespace CalUI {

class CControlUI;

// The numbers are shared by every control; the gaps (1, 2, 7, 8, 20) are never
// sent, so the key and mouse ranges below can be tested with plain compares.
enum UIEventType {
    UIEVENT_KEYDOWN = 3,
    UIEVENT_KEYUP = 4,
    UIEVENT_CHAR = 5,
    UIEVENT_SYSKEY = 6,
    UIEVENT_MOUSEMOVE = 9,
    UIEVENT_MOUSELEAVE = 10,
    UIEVENT_MOUSEENTER = 11,
    UIEVENT_MOUSEHOVER = 12,
    UIEVENT_BUTTONDOWN = 13,
    UIEVENT_BUTTONUP = 14,
    UIEVENT_RBUTTONDOWN = 15,
    UIEVENT_RBUTTONUP = 16,
    UIEVENT_DBLCLICK = 17,
    UIEVENT_CONTEXTMENU = 18,
    UIEVENT_SCROLLWHEEL = 19,
    UIEVENT_KILLFOCUS = 21,
    UIEVENT_SETFOCUS = 22,
    UIEVENT_WINDOWSIZE = 23,
    UIEVENT_SETCURSOR = 24,
    UIEVENT_TIMER = 25,
};

inline bool IsKeyEvent(int type) { return type > 2 && type < 7; }
inline bool IsMouseEvent(int type) { return type > 8 && type < 20; }

// Bits of UIEvent::keyState as the paint manager fills them.
enum UIKeyState : WORD {
    UIKEYSTATE_LBUTTON = 0x01,
    UIKEYSTATE_RBUTTON = 0x02,
    UIKEYSTATE_SHIFT = 0x04,
    UIKEYSTATE_CONTROL = 0x08,
    UIKEYSTATE_ALT = 0x20,
};

// One event for one control. Fields an event does not use stay 0.
struct UIEvent {
    int type = 0;                    // a UIEventType value
    CControlUI* sender = nullptr;    // for kill focus: the control gaining it
    DWORD timestamp = 0;             // GetTickCount when the event was made
    POINT mousePoint = {0, 0};       // client coordinates
    WCHAR keyChar = 0;
    WORD keyState = 0;               // UIKeyState bits, or the message's low wParam word
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// One notification from a control to its window's receivers.
struct NotifyMsg {
    CUIString type;                  // "click", "selectchanged", "windowinit", ...
    CUIString virtualWnd;            // filled only while the window uses virtual windows
    CControlUI* sender = nullptr;    // null once the sender was deleted while queued
    DWORD timestamp = 0;
    POINT mousePoint = {0, 0};
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

}  // namespace CalUI
