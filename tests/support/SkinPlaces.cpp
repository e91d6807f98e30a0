// Control places of the client's dialog skins.

#include "SkinPlaces.h"

#include <stdexcept>

#include "builder/SkinBuilder.h"
#include "ManagedWindow.h"

using namespace CalUI;

POINT SkinControlCentre(LPCWSTR skinFile, LPCWSTR name, std::initializer_list<LPCWSTR> hidden)
{
    ManagedWindow window;
    CSkinBuilder builder;
    CControlUI* root = builder.Create(skinFile, nullptr, nullptr, &window.manager);
    if (root == nullptr)
        throw std::runtime_error("the skin does not build");
    window.Attach(root);
    for (LPCWSTR other : hidden) {
        if (CControlUI* control = window.manager.FindControl(other))
            control->SetVisible(false);
    }
    CControlUI* control = window.manager.FindControl(name);
    if (control == nullptr)
        throw std::runtime_error("the skin has no such control");
    for (CControlUI* shown = control; shown != nullptr; shown = shown->GetParent())
        shown->SetVisible(true);
    window.Pump();
    const RECT rc = control->GetPos();
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

void PostClick(HWND window, POINT at)
{
    const LPARAM place = MAKELPARAM(at.x, at.y);
    PostMessageW(window, WM_MOUSEMOVE, 0, place);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, place);
    PostMessageW(window, WM_LBUTTONUP, 0, place);
}
