// The native fields of the text-field page: the first edit is opened by a
// click and typed into, as a user would, so the screenshot shows an open
// edit with Latin and Chinese text and its caret beside the closed ones.

#include <windows.h>

#include "controls/EditUI.h"
#include "core/ControlUI.h"
#include "GalleryPages.h"

using namespace CalUI;

namespace {

constexpr DWORD kOpenLimitMs = 3000;

// Runs the window's messages until the edit has opened a native window other
// than `before` (the page's first focus may have opened one, which the click
// closes before it opens its own).
HWND WaitForEditWindow(CControlUI* edit, HWND before)
{
    const DWORD start = GetTickCount();
    auto opened = [&] { return edit->GetNativeWindow() != nullptr && edit->GetNativeWindow() != before; };
    while (!opened() && GetTickCount() - start < kOpenLimitMs) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return opened() ? edit->GetNativeWindow() : nullptr;
}

}  // namespace

void PlayNativeFields(CWindowManagerUI& manager)
{
    CControlUI* edit = manager.FindControl(L"native_edit");
    if (edit == nullptr)
        return;
    const RECT pos = edit->GetPos();
    HWND before = edit->GetNativeWindow();
    const LPARAM middle = MAKELPARAM((pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2);
    PostMessageW(manager.GetPaintWindow(), WM_LBUTTONDOWN, MK_LBUTTON, middle);
    PostMessageW(manager.GetPaintWindow(), WM_LBUTTONUP, 0, middle);
    HWND window = WaitForEditWindow(edit, before);
    if (window == nullptr)
        return;
    for (const wchar_t* ch = L"GG \x73A9\x5BB6 2024"; *ch != L'\0'; ++ch)
        PostMessageW(window, WM_CHAR, *ch, 1);
}
