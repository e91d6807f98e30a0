#include "GalleryPages.h"

#include <windows.h>

#include "core/ControlUI.h"

using namespace CalUI;

namespace {

void PlayControlsPage(CWindowManagerUI& manager) { HoverGalleryControl(manager, L"button_hot"); }

struct GalleryPage
{
    const wchar_t* skinFile;
    void (*play)(CWindowManagerUI& manager);
};

// clang-format off
const GalleryPage kGalleryPages[] = {
    {L"gallery.xml", PlayControlsPage},
    {L"text-fields.xml", PlayTextFieldsPage},
};
// clang-format on

}  // namespace

void PlayGalleryPage(const std::wstring& page, CWindowManagerUI& manager)
{
    for (const GalleryPage& entry : kGalleryPages)
        if (page == entry.skinFile)
            entry.play(manager);
}

void HoverGalleryControl(CWindowManagerUI& manager, const wchar_t* name)
{
    CControlUI* control = manager.FindControl(name);
    if (control == nullptr)
        return;
    const RECT pos = control->GetPos();
    const POINT pt = {(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2};
    POINT screen = pt;
    ClientToScreen(manager.GetPaintWindow(), &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageW(manager.GetPaintWindow(), WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
}
