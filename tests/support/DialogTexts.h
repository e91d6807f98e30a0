#pragma once
// What a dialog of the window under test shows: its controls' texts.

#include <windows.h>

#include <string>

#include "dialogs/DialogWnd.h"

struct DialogTexts : CDialogWnd
{
    static std::wstring Of(HWND window, LPCWSTR control)
    {
        auto* dialog =
            dynamic_cast<CDialogWnd*>(reinterpret_cast<CalUI::CWindowWnd*>(GetWindowLongPtrW(window, GWLP_USERDATA)));
        return dialog != nullptr ? (dialog->*(&DialogTexts::TextOf))(control) : std::wstring();
    }
};
