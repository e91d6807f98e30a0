// The text-field page: a password and a line of Chinese and Latin typed by
// posted messages, as a user's keyboard and input method would send them,
// and the typed field left focused so its caret shows.

#include <windows.h>

#include "GalleryPages.h"
#include "core/ControlUI.h"

using namespace CalUI;

namespace {

void PostClickInto(CWindowManagerUI& manager, CControlUI* control)
{
    const RECT pos = control->GetPos();
    const POINT pt = {(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2};
    POINT screen = pt;
    ClientToScreen(manager.GetPaintWindow(), &screen);
    SetCursorPos(screen.x, screen.y);
    HWND window = manager.GetPaintWindow();
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
}

// Each character as a keyboard's WM_CHAR, or as an input method's
// WM_IME_CHAR when `ime` is set.
void PostTyping(CWindowManagerUI& manager, const wchar_t* text, bool ime = false)
{
    for (const wchar_t* ch = text; *ch != L'\0'; ++ch)
        PostMessageW(manager.GetPaintWindow(), ime ? WM_IME_CHAR : WM_CHAR, *ch, 1);
}

}  // namespace

void PlayTextFieldsPage(CWindowManagerUI& manager)
{
    CControlUI* multi = manager.FindControl(L"field_multi");
    if (multi != nullptr) {
        multi->SetText(L"下载目录 Download folder: D:\\Games\\Calverin\r"
                       L"安装目录 Install folder: D:\\Games\\Installed\r"
                       L"插件 Plug-ins: 3 · 加速器 Accelerators: 1\r"
                       L"校验 MD5 checked, 解压 unpacked\r"
                       L"快捷方式 Shortcut created\r"
                       L"完成 Done, ready to play\r"
                       L"日志 Log: log.txt\r"
                       L"版本 Version 1.0.3 · 更新 Up to date\r"
                       L"账号 Account: 138****0000\r"
                       L"服务器 Server: 华东一区 East 1\r"
                       L"缓存 Cache: 1.2 GB");
    }
    CControlUI* password = manager.FindControl(L"field_password");
    CControlUI* typed = manager.FindControl(L"field_typed");
    if (password == nullptr || typed == nullptr)
        return;
    // The caret blinks only in the window that holds the keyboard.
    SetForegroundWindow(manager.GetPaintWindow());
    SetFocus(manager.GetPaintWindow());
    PostClickInto(manager, password);
    PostTyping(manager, L"secret2026");
    PostClickInto(manager, typed);
    // An input method's characters come back as WM_CHAR behind whatever is
    // queued already, so they are typed last.
    PostTyping(manager, L"Calverin 2026 游戏");
    PostTyping(manager, L"中心", true);
}
