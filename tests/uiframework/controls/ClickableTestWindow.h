#pragma once
// A layered test window built from a skin text and driven the way a user
// drives it: the real cursor is placed where each posted mouse message
// points, so the window's reading of the cursor agrees with the messages.
// Pixels are read from the window's own off-screen picture (Xvfb composes
// no layered window on the screen).
//
// Every test program on the display shares one pointer, and programs run
// side by side. So each program gives its windows a screen place of their
// own, kept above the others, and the window lets no leave of the pointer
// through: such a leave comes from another program moving the pointer,
// never from the posted messages that drive the test.

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ManagedWindow.h"
#include "builder/SkinBuilder.h"

class ClickableTestWindow
{
    // Before the window, which outlives it.
    class PointerLeaveFilter : public CalUI::IMessageFilterUI
    {
    public:
        LRESULT FilterMessage(UINT message, WPARAM, LPARAM, bool& handled) override
        {
            handled = message == WM_MOUSELEAVE;
            return 0;
        }
    };

    PointerLeaveFilter m_leaveFilter;

public:
    static constexpr UINT kRepaintTimer = 0x2000;

    // `controls` go into a black container that fills the window; `fonts`
    // are window-level elements such as <Font .../>. `screenPlace` is the
    // window's top-left corner on the screen.
    ClickableTestWindow(POINT screenPlace, const std::wstring& controls, const std::wstring& fonts = L"")
    {
        SetWindowPos(window.GetWindowHandle(), HWND_TOPMOST, screenPlace.x, screenPlace.y, 0, 0,
                     SWP_NOSIZE | SWP_NOACTIVATE);
        window.manager.AddMessageFilter(&m_leaveFilter);
        const std::wstring xml =
            L"<Window>" + fonts + L"<Container bkcolor=\"#FF000000\">" + controls + L"</Container></Window>";
        CalUI::CSkinBuilder builder;
        CalUI::CControlUI* root = builder.Create(xml.c_str(), nullptr, nullptr, &window.manager);
        EXPECT_NE(nullptr, root);
        window.manager.SetLayered(true);
        window.Attach(root);
        EXPECT_TRUE(window.PumpUntil([&] { return window.manager.GetOffscreenPixels() != nullptr; }));
        Repaint();
    }

    CalUI::CControlUI* Find(LPCWSTR name) { return window.manager.FindControl(name); }

    template <class T>
    T* Find(LPCWSTR name, LPCWSTR interfaceName)
    {
        CalUI::CControlUI* control = Find(name);
        return control != nullptr ? static_cast<T*>(control->GetInterface(interfaceName)) : nullptr;
    }

    POINT ToScreen(int x, int y) const
    {
        POINT pt = {x, y};
        ClientToScreen(window.GetWindowHandle(), &pt);
        return pt;
    }

    void MoveTo(int x, int y, WPARAM buttons = 0)
    {
        const POINT screen = ToScreen(x, y);
        SetCursorPos(screen.x, screen.y);
        Post(WM_MOUSEMOVE, buttons, MAKELPARAM(x, y));
    }
    void Press(int x, int y)
    {
        MoveTo(x, y);
        Post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    }
    void Release(int x, int y)
    {
        MoveTo(x, y, MK_LBUTTON);
        Post(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    void Click(int x, int y)
    {
        Press(x, y);
        Release(x, y);
    }
    void Key(WPARAM virtualKey) { Post(WM_KEYDOWN, virtualKey, 1); }

    // Posts the message and lets the window handle everything it leads to.
    void Post(UINT message, WPARAM wParam, LPARAM lParam)
    {
        PostMessageW(window.GetWindowHandle(), message, wParam, lParam);
        window.Pump();
    }

    // Draws what was invalidated, as the repaint timer does.
    void Repaint() { window.Send(WM_TIMER, kRepaintTimer, 0); }

    // Client pixel (x, y) as 0xRRGGBB.
    DWORD Rgb(int x, int y) const
    {
        const SIZE size = window.manager.GetOffscreenSize();
        return window.manager.GetOffscreenPixels()[(size.cy - 1 - y) * size.cx + x] & 0xFFFFFF;
    }

    // Pixels of `area` for which `match` holds.
    template <class Match>
    int CountPixels(const RECT& area, Match match) const
    {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x)
                count += match(Rgb(x, y)) ? 1 : 0;
        }
        return count;
    }

    // The notifications since the last call, as "type sender".
    std::vector<std::wstring> TakeNotifications()
    {
        std::vector<std::wstring> taken;
        for (const ReceivedNotify& n : window.notifications) {
            if (n.type != L"setfocus" && n.type != L"killfocus" && n.type != L"timer")
                taken.push_back(n.type + L" " + n.sender);
        }
        window.notifications.clear();
        return taken;
    }

    ManagedWindow window;
};
