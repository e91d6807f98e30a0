// The lists page's play: closes one tree node, ticks another, opens the
// server combo's popup and leaves the mouse over a list row, all by posted
// messages as a user's mouse would.

#include <windows.h>

#include "GalleryPages.h"
#include "core/ControlUI.h"

using namespace CalUI;

namespace {

// Presses and releases the left button over a control's box, or the part of
// it given as offsets from its left and top.
void ClickGalleryControl(CWindowManagerUI& manager, const wchar_t* name, int dx = -1, int dy = -1)
{
    CControlUI* control = manager.FindControl(name);
    if (control == nullptr)
        return;
    const RECT pos = control->GetPos();
    const POINT pt = {dx >= 0 ? pos.left + dx : (pos.left + pos.right) / 2,
                      dy >= 0 ? pos.top + dy : (pos.top + pos.bottom) / 2};
    POINT screen = pt;
    ClientToScreen(manager.GetPaintWindow(), &screen);
    SetCursorPos(screen.x, screen.y);
    HWND window = manager.GetPaintWindow();
    PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
}

}  // namespace

void PlayListsPage(CWindowManagerUI& manager)
{
    // A node row is: dot line, folder button (18 wide), check box (18), text.
    CControlUI* action = manager.FindControl(L"tree_action");
    CControlUI* rpg = manager.FindControl(L"tree_rpg");
    if (action != nullptr && rpg != nullptr) {
        const int actionIndent = 18;  // one level down
        ClickGalleryControl(manager, L"tree_action", actionIndent + 9);
        ClickGalleryControl(manager, L"tree_rpg", actionIndent + 18 + 9);
    }
    ClickGalleryControl(manager, L"server_combo");
    HoverGalleryControl(manager, L"row_hot");
}
