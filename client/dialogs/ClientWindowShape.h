#pragma once
// What every window of the client does alike with its native frame and its
// skin: it drops the system caption (the skin draws its own), builds its
// layout into its paint manager, finds the control under a caption-band
// point, and tells its controls' notifications apart by the sender's name.

#include <windows.h>

#include "core/ControlUI.h"
#include "core/UIInterfaces.h"
#include "core/WindowManagerUI.h"

// Clears `frameStyles` and sets WS_CLIPSIBLINGS and WS_CLIPCHILDREN.
void MakeFrameless(HWND window, DWORD frameStyles);

// Binds the manager to the window and attaches the layout `skinFile`, the
// window receiving its notifications; false, with nothing attached, when the
// skin yields no control tree.
bool BuildWindowSkin(HWND window, CalUI::CWindowManagerUI& manager, LPCWSTR skinFile,
                     CalUI::IDialogBuilderCallback* callback, CalUI::INotifyUI* receiver);

// The control under a WM_NCHITTEST point (screen coordinates in lParam) when
// the point lies in the skin's caption band; null outside the band or where
// no control is.
CalUI::CControlUI* ControlInCaptionBand(HWND window, CalUI::CWindowManagerUI& manager, LPARAM screenPoint);

// True when the notification comes from the control of that name.
bool IsNotifyFrom(const CalUI::NotifyMsg& msg, LPCWSTR name);
