#include "DispatchWindow.h"

#include "services/MsgDispatch.h"

#include <utility>

namespace {
ATOM RegisterDispatchClass(WNDPROC proc)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CDispatchWindow";
    return RegisterClassW(&wc);
}
}  // namespace

CDispatchWindow::CDispatchWindow(std::function<void()> drain) : m_drain(std::move(drain))
{
    static const ATOM windowClass = RegisterDispatchClass(&CDispatchWindow::WindowProc);
    m_hWnd = CreateWindowExW(0, MAKEINTATOM(windowClass), L"dispatch", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             GetModuleHandleW(nullptr), this);
}

CDispatchWindow::~CDispatchWindow() { DestroyWindow(m_hWnd); }

LRESULT CALLBACK CDispatchWindow::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(hWnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<CDispatchWindow*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (self && IsDispatchMessage(message)) {
        self->m_drain();
        return 0;
    }
    return DefWindowProcW(hWnd, message, wParam, lParam);
}
