// Window messages as the paint manager sees them: each is turned into events
// for single controls, reflected to a child window, or left to the window.

#include "core/WindowManagerUI.h"

#include <windowsx.h>

#include "core/ControlUI.h"
#include "core/ThreadCheck.h"

namespace CalUI {

namespace {

constexpr UINT kDeferredWorkMessage = 0x8001;
constexpr UINT kReflectOffset = 0x2000;

POINT ClientPointOf(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

}  // namespace

UIEvent CWindowManagerUI::MakeEvent(UIEventType type, CControlUI* sender, WPARAM wParam, LPARAM lParam) const
{
    UIEvent event;
    event.type = type;
    event.sender = sender;
    event.timestamp = GetTickCount();
    event.mousePoint = m_lastMousePos;
    event.keyState = ToBits(GetKeyStateFlags());
    event.wParam = wParam;
    event.lParam = lParam;
    return event;
}

bool CWindowManagerUI::AddMessageFilter(IMessageFilterUI* filter)
{
    return filter != nullptr && m_messageFilters.Add(filter);
}

bool CWindowManagerUI::RemoveMessageFilter(IMessageFilterUI* filter)
{
    int index = m_messageFilters.Find(filter);
    return index >= 0 && m_messageFilters.RemoveAt(index);
}

bool CWindowManagerUI::AddPostPaint(CControlUI* control)
{
    return control != nullptr && m_postPaintControls.Add(control);
}

bool CWindowManagerUI::RemovePostPaint(CControlUI* control)
{
    int index = m_postPaintControls.Find(control);
    return index >= 0 && m_postPaintControls.RemoveAt(index);
}

bool CWindowManagerUI::AddNativeWindow(CControlUI* control, HWND window)
{
    if (control == nullptr || window == nullptr)
        return false;
    // A registered window asks again when its picture changed: the manager
    // must repaint its place, or a layered window keeps showing the old one.
    RECT rc = GetNativeWindowRect(window);
    Invalidate(rc);
    if (m_nativeWindows.Find(window) >= 0)
        return false;
    return m_nativeWindows.Add(window) && m_nativeWindowControls.Add(control);
}

bool CWindowManagerUI::RemoveNativeWindow(HWND window)
{
    int index = m_nativeWindows.Find(window);
    if (index < 0)
        return false;
    m_nativeWindows.RemoveAt(index);
    m_nativeWindowControls.RemoveAt(index);
    return true;
}

RECT CWindowManagerUI::GetNativeWindowRect(HWND window) const
{
    RECT rc = {};
    GetWindowRect(window, &rc);
    MapWindowPoints(nullptr, m_paintWindow, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

bool CWindowManagerUI::HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (m_paintWindow == nullptr)
        return false;
    RequireWindowThread(m_paintWindow, "paint manager message handler");
    for (int i = 0; i < m_messageFilters.GetCount(); ++i) {
        bool handled = false;
        LRESULT answer =
            static_cast<IMessageFilterUI*>(m_messageFilters[i])->FilterMessage(message, wParam, lParam, handled);
        if (handled) {
            UpdateMousePosFromFilteredMessage(message, lParam);
            result = answer;
            return true;
        }
    }
    if (HandleLayeredFrameMessage(message, wParam, result))
        return true;
    switch (message) {
    case WM_SIZE:
        result = 0;
        return OnSize(wParam, lParam);
    case WM_KILLFOCUS:
        OnKillFocus(wParam);
        return false;
    case WM_PAINT:
        result = 0;
        return OnPaint();
    case WM_CLOSE:
        OnClose();
        return false;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_SETCURSOR:
        return OnSetCursor(wParam, lParam, result);
    case WM_MOUSEACTIVATE:
        if (!m_noActivate)
            return false;
        result = MA_NOACTIVATE;
        return true;
    case WM_GETMINMAXINFO:
        OnGetMinMaxInfo(lParam);
        return false;
    case WM_NOTIFY:
        if (lParam != 0)
            result = Reflect(reinterpret_cast<NMHDR*>(lParam)->hwndFrom, message, wParam, lParam);
        return true;
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (lParam == 0)
            return false;
        result = Reflect(reinterpret_cast<HWND>(lParam), message, wParam, lParam);
        return true;
    case WM_CONTEXTMENU:
        OnContextMenu(wParam, lParam);
        return false;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        OnKey(message, wParam, lParam);
        return false;
    case WM_TIMER:
        if (!OnRepaintTimer(wParam))
            OnTimer(wParam, lParam);
        return false;
    case WM_PRINTCLIENT:
        if (m_root != nullptr)
            PrintClient(reinterpret_cast<HDC>(wParam), lParam);
        return false;
    case WM_MOUSEMOVE:
        OnMouseMove(wParam, lParam);
        return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
        OnButtonDown(message, wParam, lParam);
        return false;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        OnButtonUp(message, wParam, lParam);
        return false;
    case WM_MOUSEWHEEL:
        OnMouseWheel(wParam, lParam);
        return false;
    case WM_MOUSEHOVER:
        if (!OnMouseHover(wParam, lParam))
            return false;
        result = 0;
        return true;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        return false;
    case kDeferredWorkMessage:
        OnDeferredWork();
        return false;
    default:
        return false;
    }
}

// A filter that consumed a mouse message still moves the manager's idea of
// where the mouse is, so later notifications carry the right point.
void CWindowManagerUI::UpdateMousePosFromFilteredMessage(UINT message, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        m_lastMousePos = ClientPointOf(lParam);
        break;
    case WM_MOUSEWHEEL:
    case WM_CONTEXTMENU: {
        POINT pt = ClientPointOf(lParam);
        ScreenToClient(m_paintWindow, &pt);
        m_lastMousePos = pt;
        break;
    }
    default:
        break;
    }
}

bool CWindowManagerUI::OnSize(WPARAM wParam, LPARAM lParam)
{
    if (m_focus != nullptr) {
        UIEvent event = MakeEvent(UIEventType::WindowSize, m_focus, wParam, lParam);
        m_focus->SendEvent(event);
    }
    if (m_root != nullptr)
        m_root->RequestUpdate();
    if (m_layered)
        InvalidateAll();
    return true;
}

// When the keyboard focus moved into one of the native child windows that a
// control hosts, that control becomes the focus control as well.
void CWindowManagerUI::OnKillFocus(WPARAM wParam)
{
    if (wParam == 0)
        return;
    HWND child = ::GetFocus();
    while (child != nullptr && GetParent(child) != m_paintWindow)
        child = GetParent(child);
    if (child == nullptr)
        return;
    int index = m_nativeWindows.Find(child);
    if (index < 0)
        return;
    auto* control = static_cast<CControlUI*>(m_nativeWindowControls[index]);
    if (control != m_focus)
        SetFocus(control, false);
}

void CWindowManagerUI::OnClose()
{
    if (m_hover != nullptr) {
        UIEvent event = MakeEvent(UIEventType::MouseLeave, m_hover);
        m_hover->SendEvent(event);
    }
    if (m_click != nullptr) {
        UIEvent event = MakeEvent(UIEventType::ButtonUp, m_click);
        m_click->SendEvent(event);
    }
    SetFocus(nullptr, true);
    if (GetActiveWindow() == m_paintWindow) {
        bool child = (GetWindowLongW(m_paintWindow, GWL_STYLE) & WS_CHILD) != 0;
        HWND next = child ? GetParent(m_paintWindow) : GetWindow(m_paintWindow, GW_OWNER);
        if (next != nullptr)
            ::SetFocus(next);
    }
    DestroyToolTip();
}

bool CWindowManagerUI::OnSetCursor(WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (m_root == nullptr || LOWORD(lParam) != HTCLIENT)
        return false;
    if (m_captured) {
        result = TRUE;
        return true;
    }
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(m_paintWindow, &pt);
    CControlUI* control = FindControlAt(pt);
    if (control == nullptr || !HasAny(control->GetControlFlags(), UIControlFlag::SetCursor))
        return false;
    UIEvent event = MakeEvent(UIEventType::SetCursor, control, wParam, lParam);
    event.mousePoint = pt;
    control->SendEvent(event);
    result = TRUE;
    return true;
}

void CWindowManagerUI::OnGetMinMaxInfo(LPARAM lParam)
{
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    if (m_minTrackSize.cx > 0)
        info->ptMinTrackSize.x = m_minTrackSize.cx;
    if (m_minTrackSize.cy > 0)
        info->ptMinTrackSize.y = m_minTrackSize.cy;
    if (m_maxTrackSize.cx > 0)
        info->ptMaxTrackSize.x = m_maxTrackSize.cx;
    if (m_maxTrackSize.cy > 0)
        info->ptMaxTrackSize.y = m_maxTrackSize.cy;
}

// Child windows get their own notifications back, so a control that hosts a
// native window can handle them in that window's procedure.
LRESULT CWindowManagerUI::Reflect(HWND child, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendMessageW(child, message + kReflectOffset, wParam, lParam);
}

void CWindowManagerUI::OnContextMenu(WPARAM wParam, LPARAM lParam)
{
    if (m_root == nullptr || m_captured)
        return;
    POINT pt = ClientPointOf(lParam);
    ScreenToClient(m_paintWindow, &pt);
    m_lastMousePos = pt;
    if (m_click == nullptr)
        return;
    UIEvent event = MakeEvent(UIEventType::ContextMenu, m_click, 0, reinterpret_cast<LPARAM>(m_click));
    event.keyState = LOWORD(wParam);
    CControlUI* control = m_click;
    m_click = nullptr;
    control->SendEvent(event);
}

void CWindowManagerUI::OnKey(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_root == nullptr)
        return;
    CControlUI* target = message == WM_KEYUP ? m_key : m_focus;
    if (target == nullptr)
        return;
    const UIEventType type = message == WM_KEYDOWN ? UIEventType::KeyDown
                             : message == WM_KEYUP ? UIEventType::KeyUp
                                                   : UIEventType::Char;
    UIEvent event = MakeEvent(type, target, wParam, lParam);
    event.keyChar = static_cast<WCHAR>(LOWORD(wParam));
    if (message == WM_KEYDOWN)
        m_key = target;
    target->SendEvent(event);
    if (message == WM_KEYUP)
        m_key = nullptr;
}

// ---- Mouse --------------------------------------------------------------------

void CWindowManagerUI::TrackMouse()
{
    if (m_mouseTracking)
        return;
    TRACKMOUSEEVENT track = {sizeof track, TME_HOVER | TME_LEAVE, m_paintWindow, m_hoverTime};
    if (m_toolTipWindow != nullptr)
        track.dwHoverTime = static_cast<DWORD>(SendMessageW(m_toolTipWindow, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
    TrackMouseEvent(&track);
    m_mouseTracking = true;
}

// Mouse messages that waited in the queue while the thread was busy come
// before the paint that would lay out what changed meanwhile: a control just
// shown would still have no place, and the click would go to what lies under
// it.
void CWindowManagerUI::LayOutBeforeHitTest()
{
    if (!m_updateNeeded || m_firstLayout)
        return;
    RECT client;
    GetClientRect(m_paintWindow, &client);
    LayoutPendingControls(client);
}

void CWindowManagerUI::OnMouseMove(WPARAM wParam, LPARAM lParam)
{
    if (m_root == nullptr)
        return;
    TrackMouse();
    LayOutBeforeHitTest();
    m_lastMousePos = ClientPointOf(lParam);
    CControlUI* control = FindControlAt(m_lastMousePos);
    if (control != nullptr && control->GetManager() != this)
        return;
    UIEvent event = MakeEvent(UIEventType::MouseMove, nullptr, wParam, lParam);
    if (!m_captured) {
        if (control != m_hover && m_hover != nullptr) {
            event.type = UIEventType::MouseLeave;
            event.sender = m_hover;
            CUIPtrArray listeners(m_mouseLeaveListeners);  // listeners may remove themselves
            for (int i = 0; i < listeners.GetCount(); ++i)
                static_cast<CControlUI*>(listeners[i])->SendEvent(event);
            if (m_hover != nullptr)
                m_hover->SendEvent(event);
            m_hover = nullptr;
            if (m_toolTipWindow != nullptr)
                SendMessageW(m_toolTipWindow, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_toolInfo));
        }
        if (control != m_hover && control != nullptr) {
            event.type = UIEventType::MouseEnter;
            event.sender = control;
            control->SendEvent(event);
            m_hover = control;
        }
    }
    event.type = UIEventType::MouseMove;
    if (m_click != nullptr) {
        event.sender = m_click;
        m_click->SendEvent(event);
    } else if (control != nullptr) {
        event.sender = control;
        control->SendEvent(event);
    }
}

void CWindowManagerUI::FocusPaintWindowUnlessNoActivate()
{
    if (!m_noActivate)
        ::SetFocus(m_paintWindow);
}

void CWindowManagerUI::OnButtonDown(UINT message, WPARAM wParam, LPARAM lParam)
{
    FocusPaintWindowUnlessNoActivate();
    if (m_root == nullptr)
        return;
    LayOutBeforeHitTest();
    m_lastMousePos = ClientPointOf(lParam);
    CControlUI* control = FindControlAt(m_lastMousePos);
    if (control == nullptr || control->GetManager() != this)
        return;
    WORD keyState = LOWORD(wParam);
    if (message == WM_LBUTTONDBLCLK) {
        SetCapture();
        UIEvent event = MakeEvent(UIEventType::DoubleClick, control);
        event.keyState = keyState;
        control->SendEvent(event);
        m_click = control;
        return;
    }
    UIEvent event = MakeEvent(message == WM_LBUTTONDOWN ? UIEventType::ButtonDown : UIEventType::RightButtonDown,
                              control, wParam, lParam);
    event.keyState = keyState;
    m_click = control;
    control->SetFocus();
    if (message == WM_LBUTTONDOWN)
        SetCapture();
    control->SendEvent(event);
}

void CWindowManagerUI::OnButtonUp(UINT message, WPARAM wParam, LPARAM lParam)
{
    m_lastMousePos = ClientPointOf(lParam);
    if (m_click == nullptr)
        return;
    if (message == WM_LBUTTONUP)
        ReleaseCapture();
    CControlUI* control = m_click;
    m_click = nullptr;
    UIEvent event = MakeEvent(message == WM_LBUTTONUP ? UIEventType::ButtonUp : UIEventType::RightButtonUp, control,
                              wParam, lParam);
    event.keyState = LOWORD(wParam);
    control->SendEvent(event);
}

void CWindowManagerUI::OnMouseWheel(WPARAM wParam, LPARAM lParam)
{
    if (m_root == nullptr || ::GetFocus() != m_paintWindow)
        return;
    POINT pt = ClientPointOf(lParam);
    ScreenToClient(m_paintWindow, &pt);
    m_lastMousePos = pt;
    CControlUI* control = FindControlAt(pt);
    if (control != nullptr && control->GetManager() == this) {
        bool down = GET_WHEEL_DELTA_WPARAM(wParam) < 0;
        UIEvent event = MakeEvent(UIEventType::ScrollWheel, control, down ? 1 : 0, lParam);
        control->SendEvent(event);
    }
    // Content may have scrolled under a still mouse: hover follows it.
    SendMessageW(m_paintWindow, WM_MOUSEMOVE, 0, MAKELPARAM(m_lastMousePos.x, m_lastMousePos.y));
}

void CWindowManagerUI::OnMouseLeave()
{
    if (m_root == nullptr)
        return;
    if (m_toolTipWindow != nullptr)
        SendMessageW(m_toolTipWindow, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_toolInfo));
    if (!m_mouseTracking)
        return;
    POINT cursor;
    GetCursorPos(&cursor);
    RECT window;
    GetWindowRect(m_paintWindow, &window);
    bool stillInside = !IsIconic(m_paintWindow) && GetActiveWindow() == m_paintWindow && PtInRect(&window, cursor) &&
                       SendMessageW(m_paintWindow, WM_NCHITTEST, 0, MAKELPARAM(cursor.x, cursor.y)) == HTCLIENT;
    LPARAM where = static_cast<LPARAM>(-1);  // (-1, -1): no control lies there
    if (stillInside) {
        ScreenToClient(m_paintWindow, &cursor);
        where = MAKELPARAM(cursor.x, cursor.y);
    }
    SendMessageW(m_paintWindow, WM_MOUSEMOVE, 0, where);
    m_mouseTracking = false;
}

// ---- Tooltips -------------------------------------------------------------------

bool CWindowManagerUI::OnMouseHover(WPARAM wParam, LPARAM lParam)
{
    if (m_root == nullptr)
        return false;
    m_mouseTracking = false;  // the system ends hover tracking with this message
    POINT pt = ClientPointOf(lParam);
    CControlUI* control = FindControlAt(pt);
    if (control == nullptr)
        return false;
    if (m_hover != nullptr) {
        UIEvent event = MakeEvent(UIEventType::MouseHover, m_hover, wParam, lParam);
        event.mousePoint = pt;
        m_hover->SendEvent(event);
    }
    ShowToolTip(control, pt);
    return true;
}

void CWindowManagerUI::ShowToolTip(CControlUI* control, POINT pt)
{
    CUIString text = control->GetToolTip();
    if (text.IsEmpty())
        return;
    ReplaceLanguageTokens(text);
    m_toolTipText = text;
    m_toolInfo = {};
    m_toolInfo.cbSize = TTTOOLINFOW_V2_SIZE;
    m_toolInfo.uFlags = TTF_IDISHWND;
    m_toolInfo.hwnd = m_paintWindow;
    m_toolInfo.uId = reinterpret_cast<UINT_PTR>(m_paintWindow);
    m_toolInfo.hinst = GetInstance();
    m_toolInfo.lpszText = const_cast<LPWSTR>(m_toolTipText.GetData());
    m_toolInfo.rect = control->GetPos();
    auto send = [this](UINT message, WPARAM wParam, LPARAM lParam) {
        SendMessageW(m_toolTipWindow, message, wParam, lParam);
    };
    LPARAM info = reinterpret_cast<LPARAM>(&m_toolInfo);
    if (m_toolTipWindow == nullptr) {
        m_toolTipWindow = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_paintWindow,
                                          nullptr, GetInstance(), nullptr);
        send(TTM_ADDTOOLW, 0, info);
        send(TTM_SETMAXTIPWIDTH, 0, control->GetToolTipWidth());
        send(TTM_SETTOOLINFOW, 0, info);
        send(TTM_TRACKACTIVATE, TRUE, info);
    }
    if (m_lastToolTipControl == nullptr) {
        m_lastToolTipControl = control;
    } else if (m_lastToolTipControl == control) {
        if (control->GetToolTipWidth() != m_lastToolTipWidth) {
            m_lastToolTipWidth = control->GetToolTipWidth();
            send(TTM_SETMAXTIPWIDTH, 0, m_lastToolTipWidth);
        }
        send(TTM_SETTOOLINFOW, 0, info);
        send(TTM_TRACKACTIVATE, TRUE, info);
    } else {
        send(TTM_SETMAXTIPWIDTH, 0, control->GetToolTipWidth());
        send(TTM_SETTOOLINFOW, 0, info);
        send(TTM_TRACKACTIVATE, TRUE, info);
    }
    send(TTM_TRACKPOSITION, 0, MAKELPARAM(pt.x, pt.y));
}

void CWindowManagerUI::DestroyToolTip()
{
    if (m_toolTipWindow == nullptr)
        return;
    DestroyWindow(m_toolTipWindow);
    m_toolTipWindow = nullptr;
}

}  // namespace CalUI
