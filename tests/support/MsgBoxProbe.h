#pragma once
// What an open message box says, read from its controls.

#include <windows.h>

#include <string>

#include "dialogs/MsgBoxWnd.h"

// The text of the box's control ("msgbox_title", "msgbox_text"); empty when
// it has none.
inline std::wstring MsgBoxText(HWND box, LPCWSTR control)
{
    // The box's controls are the dialog's own: reached through a view of it.
    struct ProbedMsgBox : CMsgBoxWnd
    {
        using CDialogWnd::FindControl;
    };
    auto* window = reinterpret_cast<CalUI::CWindowWnd*>(GetWindowLongPtrW(box, GWLP_USERDATA));
    CalUI::CControlUI* found = static_cast<ProbedMsgBox*>(static_cast<CMsgBoxWnd*>(window))->FindControl(control);
    return found != nullptr ? std::wstring(found->GetText().GetData()) : L"";
}
