#pragma once
// A layered test window whose tree is a container of float controls given as
// skin text, read back through the window's own off-screen pixels (Xvfb
// composes no layered window on the screen) and driven by posted mouse
// messages.
//
// The real cursor waits in the window's bottom-right corner, away from the
// controls: inside the window, so that the manager's mouse tracking reports
// no leave, and still, because every move of it reaches the window as a
// mouse message of its own.

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "ManagedWindow.h"
#include "builder/SkinBuilder.h"

class ProgressSliderWindow
{
public:
    static constexpr UINT_PTR kRepaintTimer = 0x2000;

    ProgressSliderWindow()
    {
        window.manager.SetLayered(true);
        SetForegroundWindow(window.GetWindowHandle());
    }

    // Replaces the tree by a container of `controls`, lays it out and paints it.
    void Load(const std::wstring& controls)
    {
        CalUI::CSkinBuilder builder;
        const std::wstring xml = L"<Window><Container>" + controls + L"</Container></Window>";
        CalUI::CControlUI* root = builder.Create(xml.c_str(), nullptr, nullptr, &window.manager);
        ASSERT_NE(root, nullptr);
        window.Attach(root);
        ASSERT_TRUE(window.PumpUntil([&] { return window.manager.GetOffscreenPixels() != nullptr; }));
        ParkCursor();
        window.manager.InvalidateAll();
        Paint();
        window.notifications.clear();
    }

    // The named control as the class that answers `interfaceName`; null
    // when there is no such control or it does not answer.
    template <class T>
    T* Find(LPCWSTR name, LPCWSTR interfaceName)
    {
        CalUI::CControlUI* control = window.manager.FindControl(name);
        return control != nullptr ? static_cast<T*>(control->GetInterface(interfaceName)) : nullptr;
    }

    // Paints what the controls invalidated since the last paint, the way the
    // layered window's repaint timer does.
    void Paint() { window.Send(WM_TIMER, kRepaintTimer, 0); }

    // Client pixel (x, y) as premultiplied ARGB.
    DWORD Pixel(int x, int y) const
    {
        const SIZE size = window.manager.GetOffscreenSize();
        return window.manager.GetOffscreenPixels()[(size.cy - 1 - y) * size.cx + x];
    }

    // The smallest rectangle within `area` holding every pixel of that
    // colour; empty when there is none.
    RECT BoundsOf(DWORD argb, const RECT& area) const
    {
        RECT bounds = {0, 0, 0, 0};
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                if (Pixel(x, y) != argb)
                    continue;
                const RECT pixel = {x, y, x + 1, y + 1};
                UnionRect(&bounds, &bounds, &pixel);
            }
        }
        return bounds;
    }

    POINT ScreenPoint(int x, int y) const
    {
        POINT pt = {x, y};
        ClientToScreen(window.GetWindowHandle(), &pt);
        return pt;
    }

    // Moves the real cursor to the corner and lets the move it makes arrive.
    void ParkCursor()
    {
        const POINT corner = ScreenPoint(399, 299);
        SetCursorPos(corner.x, corner.y);
        window.PumpUntil([] { return false; }, 100);
    }

    // Moves the real cursor to a client point and lets the move it makes
    // arrive: a release of the capture then reports the mouse where the
    // posted messages put it.
    void PlaceCursor(int x, int y)
    {
        const POINT screen = ScreenPoint(x, y);
        SetCursorPos(screen.x, screen.y);
        window.PumpUntil([] { return false; }, 100);
    }

    // Posts a mouse message at a client point and runs it.
    void Mouse(UINT message, int x, int y)
    {
        if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK)
            held = true;
        else if (message == WM_LBUTTONUP)
            held = false;
        PostMessageW(window.GetWindowHandle(), message, held ? MK_LBUTTON : 0, MAKELPARAM(x, y));
        window.Pump();
    }

    void Click(int x, int y)
    {
        Mouse(WM_LBUTTONDOWN, x, y);
        Mouse(WM_LBUTTONUP, x, y);
    }

    // One wheel notch away from the user (up) or towards the user (down) at
    // a client point; the wheel reaches only a window with the focus.
    void Wheel(bool up, int x, int y)
    {
        SetFocus(window.GetWindowHandle());
        const POINT screen = ScreenPoint(x, y);
        const short delta = up ? WHEEL_DELTA : -WHEEL_DELTA;
        PostMessageW(window.GetWindowHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)),
                     MAKELPARAM(screen.x, screen.y));
        window.Pump();
    }

    ManagedWindow window;
    bool held = false;  // the left button went down and is not up yet
};

// "<Element name=... float="true" pos=.../>" with further attributes.
inline std::wstring FloatControl(const std::wstring& element, const std::wstring& name, RECT pos,
                                 const std::wstring& attributes)
{
    return L"<" + element + L" name=\"" + name + L"\" float=\"true\" pos=\"" + std::to_wstring(pos.left) + L"," +
           std::to_wstring(pos.top) + L"," + std::to_wstring(pos.right) + L"," + std::to_wstring(pos.bottom) + L"\" " +
           attributes + L" />";
}
