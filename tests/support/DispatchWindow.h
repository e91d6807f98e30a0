#pragma once
// A real native popup window on the thread that creates it, whose wake-up
// messages (kDispatchFirstMessage to kDispatchLastMessage) each run one drain of
// a call queue: the part of a client window that receives worker results.
// Test windows that stand in for client windows hold one.

#include <windows.h>

#include <functional>

class CDispatchWindow
{
public:
    // The drain runs on this thread, once for every wake-up message that
    // arrives while the window exists.
    explicit CDispatchWindow(std::function<void()> drain);
    // Destroys the window: wake-ups still queued for it are dropped.
    ~CDispatchWindow();
    CDispatchWindow(const CDispatchWindow&) = delete;
    CDispatchWindow& operator=(const CDispatchWindow&) = delete;

    HWND Handle() const { return m_hWnd; }

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    std::function<void()> m_drain;
    HWND m_hWnd = nullptr;
};
