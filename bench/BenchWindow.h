#pragma once

// The window a framework benchmark measures in: a paint manager and nothing
// else, so that the figures are the controls' own.

#include "core/WindowManagerUI.h"
#include "core/WindowWnd.h"

#include <windows.h>

class BenchWindow : public CalUI::CWindowWnd
{
public:
    // Each benchmark registers its own class name.
    explicit BenchWindow(LPCWSTR className) : m_className(className) {}

    LPCWSTR GetWindowClassName() const override { return m_className; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CREATE)
            manager.Init(m_hWnd);
        LRESULT result = 0;
        if (manager.HandleWindowMessage(message, wParam, lParam, result))
            return result;
        return CWindowWnd::HandleMessage(message, wParam, lParam);
    }

    CalUI::CWindowManagerUI manager;

private:
    LPCWSTR m_className;
};
