#include "core/WindowWnd.h"

#include <vector>

#include "core/ControlUI.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

// Superclassed windows keep their object here: the system class may use its
// own GWLP_USERDATA slot.
const wchar_t kObjectProperty[] = L"WndX";

int ShowCommandFor(bool show, bool takeFocus)
{
    if (!show)
        return SW_HIDE;
    return takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE;
}

int RoundUpTo16(int value) { return (value + 15) / 16 * 16; }

// The windows whose modal loops run on this thread, outermost first.
thread_local std::vector<HWND> t_modalWindows;

// Keeps a window on the list for exactly as long as its loop runs.
class ModalLoopEntry
{
public:
    explicit ModalLoopEntry(HWND window) { t_modalWindows.push_back(window); }
    ~ModalLoopEntry() { t_modalWindows.pop_back(); }
    ModalLoopEntry(const ModalLoopEntry&) = delete;
    ModalLoopEntry& operator=(const ModalLoopEntry&) = delete;
};

}  // namespace

CWindowWnd::~CWindowWnd()
{
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd))
        return;
    HWND hWnd = m_hWnd;
    Unlink();
    ::DestroyWindow(hWnd);
}

void CWindowWnd::Unlink()
{
    if (::GetPropW(m_hWnd, kObjectProperty) == this) {
        // The remaining messages go straight to the system class.
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldWndProc));
        ::RemovePropW(m_hWnd, kObjectProperty);
    } else if (::GetWindowLongPtrW(m_hWnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this)) {
        ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
    }
    m_hWnd = nullptr;
}

HWND CWindowWnd::Create(HWND parent, LPCWSTR name, DWORD style, DWORD exStyle, int x, int y, int cx, int cy, HMENU menu)
{
    const bool registered = GetSuperClassName() != nullptr ? RegisterSuperclass() : RegisterWindowClass();
    if (!registered)
        return nullptr;
    m_hWnd = ::CreateWindowExW(exStyle, GetWindowClassName(), name, style, x, y, cx, cy, parent, menu,
                               CWindowManagerUI::GetInstance(), this);
    return m_hWnd;
}

HWND CWindowWnd::Create(HWND parent, LPCWSTR name, DWORD style, DWORD exStyle, RECT rc)
{
    return Create(parent, name, style, exStyle, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, nullptr);
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus)
{
    if (!::IsWindow(m_hWnd))
        return;
    ::ShowWindow(m_hWnd, ShowCommandFor(show, takeFocus));
}

int CWindowWnd::ShowModal() { return RunModalLoop(SW_SHOWNORMAL); }

int CWindowWnd::ShowModal(bool show, bool takeFocus) { return RunModalLoop(ShowCommandFor(show, takeFocus)); }

void CWindowWnd::RestoreOwner(HWND owner, bool wasEnabled)
{
    if (owner == nullptr || !wasEnabled)
        return;
    ::EnableWindow(owner, TRUE);
    ::SetFocus(owner);
}

int CWindowWnd::RunModalLoop(int showCommand)
{
    if (!::IsWindow(m_hWnd))
        return m_modalResult;
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    // A loop nested in another finds the owner disabled by the outer loop and
    // must leave it so, or a box over a dialog frees the window under both.
    const bool ownerWasEnabled = owner != nullptr && ::IsWindowEnabled(owner);
    ::ShowWindow(m_hWnd, showCommand);
    ::EnableWindow(owner, FALSE);
    ModalLoopEntry entry(m_hWnd);

    MSG msg = {};
    while (::IsWindow(m_hWnd)) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0)
            break;
        if (got == -1)
            continue;
        if (msg.message == WM_CLOSE && msg.hwnd == m_hWnd) {
            // The owner must be usable again before this window destroys
            // itself, or the system activates some other application.
            m_modalResult = static_cast<int>(msg.wParam);
            RestoreOwner(owner, ownerWasEnabled);
        }
        if (!CWindowManagerUI::TranslateLoopMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }

    RestoreOwner(owner, ownerWasEnabled);
    if (msg.message == WM_QUIT)
        ::PostQuitMessage(static_cast<int>(msg.wParam));
    return m_modalResult;
}

std::vector<HWND> CWindowWnd::GetModalWindows() { return t_modalWindows; }

void CWindowWnd::Close(int result)
{
    if (!::IsWindow(m_hWnd))
        return;
    m_modalResult = result;
    ::PostMessageW(m_hWnd, WM_CLOSE, static_cast<WPARAM>(result), 0);
}

void CWindowWnd::CenterWindow()
{
    RECT window = {};
    ::GetWindowRect(m_hWnd, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;

    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(owner != nullptr ? owner : m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT work = monitor.rcWork;

    RECT area = work;
    if (owner != nullptr && !::IsIconic(owner))
        ::GetWindowRect(owner, &area);

    int x = (area.left + area.right) / 2 - width / 2;
    int y = (area.top + area.bottom) / 2 - height / 2;
    if (x < work.left)
        x = work.left;
    else if (x + width > work.right)
        x = work.right - width;
    if (y < work.top)
        y = work.top;
    else if (y + height > work.bottom)
        y = work.bottom - height;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::SetIcon(UINT resourceId)
{
    HINSTANCE instance = CWindowManagerUI::GetInstance();
    HANDLE bigIcon =
        ::LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, RoundUpTo16(::GetSystemMetrics(SM_CXICON)),
                     RoundUpTo16(::GetSystemMetrics(SM_CYICON)), LR_DEFAULTCOLOR);
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    HANDLE smallIcon =
        ::LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, RoundUpTo16(::GetSystemMetrics(SM_CXSMICON)),
                     RoundUpTo16(::GetSystemMetrics(SM_CYSMICON)), LR_DEFAULTCOLOR);
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
}

LRESULT CWindowWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

LRESULT CWindowWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

bool CWindowWnd::RegisterWindowClass()
{
    WNDCLASSW wc = {};
    wc.style = GetClassStyle();
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = CWindowManagerUI::GetInstance();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = GetWindowClassName();
    return ::RegisterClassW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWindowWnd::RegisterSuperclass()
{
    HINSTANCE instance = CWindowManagerUI::GetInstance();
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoExW(nullptr, GetSuperClassName(), &wc) && !::GetClassInfoExW(instance, GetSuperClassName(), &wc))
        return false;
    // Learnt on every Create, so each object knows where unhandled messages go
    // even when an earlier object registered the class.
    m_oldWndProc = wc.lpfnWndProc;
    wc.lpfnWndProc = ControlProc;
    wc.hInstance = instance;
    wc.lpszClassName = GetWindowClassName();
    return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

LRESULT CWindowWnd::RouteMessage(CWindowWnd* window, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window == nullptr)
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    if (message != WM_NCDESTROY)
        return window->HandleMessage(message, wParam, lParam);
    const LRESULT result = ::CallWindowProcW(window->m_oldWndProc, hWnd, message, wParam, lParam);
    window->Unlink();
    window->OnFinalMessage(hWnd);
    return result;
}

LRESULT CALLBACK CWindowWnd::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWindowWnd* window = nullptr;
    if (message == WM_NCCREATE) {
        window = static_cast<CWindowWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->m_hWnd = hWnd;
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    } else {
        window = reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    }
    return RouteMessage(window, hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::ControlProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWindowWnd* window = nullptr;
    if (message == WM_NCCREATE) {
        window = static_cast<CWindowWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->m_hWnd = hWnd;
        ::SetPropW(hWnd, kObjectProperty, window);
    } else {
        window = static_cast<CWindowWnd*>(::GetPropW(hWnd, kObjectProperty));
    }
    return RouteMessage(window, hWnd, message, wParam, lParam);
}

LPCWSTR CWindowWnd::GetSuperClassName() const { return nullptr; }

UINT CWindowWnd::GetClassStyle() const { return 0; }

LRESULT CWindowWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::CallWindowProcW(m_oldWndProc, m_hWnd, message, wParam, lParam);
}

void CWindowWnd::OnFinalMessage(HWND) {}

bool CWindowWnd::IsCaptionControl(CControlUI* control)
{
    if (control == nullptr)
        return false;
    for (CControlUI* c = control; c != nullptr; c = c->GetParent()) {
        if (c->GetControlFlags() != UIControlFlag::None)
            return false;
    }
    return true;
}

}  // namespace CalUI
