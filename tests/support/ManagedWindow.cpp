#include "ManagedWindow.h"

using namespace CalUI;

// ---- RecordingControl -------------------------------------------------------------

RecordingControl::RecordingControl(EventLog* log, LPCWSTR name, RECT relativePos, UIControlFlag flags,
                                   LPCWSTR className)
    : m_log(log), m_flags(flags), m_className(className)
{
    SetName(name);
    SetFixedXY({relativePos.left, relativePos.top});
    SetFixedWidth(relativePos.right - relativePos.left);
    SetFixedHeight(relativePos.bottom - relativePos.top);
}

LPCWSTR RecordingControl::GetClass() const { return m_className; }
UIControlFlag RecordingControl::GetControlFlags() const { return m_flags; }

bool RecordingControl::Activate()
{
    if (!CControlUI::Activate())
        return false;
    ++activations;
    return true;
}

void RecordingControl::OnEvent(UIEvent& event)
{
    ReceivedEvent received;
    received.receiver = GetName().GetData();
    received.type = event.type;
    received.sender = event.sender != nullptr ? event.sender->GetName().GetData() : L"";
    received.event = event;
    m_log->push_back(received);
    CControlUI::OnEvent(event);
}

// ---- TestBox ------------------------------------------------------------------------

TestBox::~TestBox()
{
    for (CControlUI* child : m_children)
        child->Delete();
}

void TestBox::Add(CControlUI* child)
{
    m_children.push_back(child);
    if (m_manager != nullptr)
        m_manager->InitControls(child, this);
}

void TestBox::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init)
{
    for (CControlUI* child : m_children)
        child->SetManager(manager, this, init);
    CControlUI::SetManager(manager, parent, init);
}

void TestBox::SetPos(RECT rc, bool invalidate)
{
    CControlUI::SetPos(rc, invalidate);
    for (CControlUI* child : m_children) {
        SIZE xy = child->GetFixedXY();
        RECT place = {rc.left + xy.cx, rc.top + xy.cy, rc.left + xy.cx + child->GetFixedWidth(),
                      rc.top + xy.cy + child->GetFixedHeight()};
        child->SetPos(place, invalidate);
    }
}

CControlUI* TestBox::FindControl(FindControlProc proc, void* data, UIFindFlag flags)
{
    if (HasAny(flags, UIFindFlag::Visible) && !IsVisible())
        return nullptr;
    if (HasAny(flags, UIFindFlag::Enabled) && !IsEnabled())
        return nullptr;
    if (HasAny(flags, UIFindFlag::HitTest) && !PtInRect(&m_pos, *static_cast<POINT*>(data)))
        return nullptr;
    if (HasAny(flags, UIFindFlag::UpdateTest) && proc(this, data) != nullptr)
        return nullptr;
    bool offerSelf = !HasAny(flags, UIFindFlag::HitTest) || IsMouseEnabled();
    if (HasAny(flags, UIFindFlag::SelfFirst) && offerSelf) {
        if (CControlUI* found = proc(this, data))
            return found;
    }
    auto search = [&](CControlUI* child) { return child->FindControl(proc, data, flags); };
    if (HasAny(flags, UIFindFlag::TopFirst)) {
        for (auto it = m_children.rbegin(); it != m_children.rend(); ++it) {
            if (CControlUI* found = search(*it))
                return found;
        }
    } else {
        for (CControlUI* child : m_children) {
            if (CControlUI* found = search(child))
                return found;
        }
    }
    if (!HasAny(flags, UIFindFlag::SelfFirst) && offerSelf)
        return proc(this, data);
    return nullptr;
}

// ---- ManagedWindow ----------------------------------------------------------------------

ManagedWindow::ManagedWindow()
{
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    RECT rc = {0, 0, 400, 300};
    AdjustWindowRectEx(&rc, WS_POPUP, FALSE, 0);
    Create(nullptr, L"managed", WS_POPUP | WS_VISIBLE, 0, 100, 100, rc.right - rc.left, rc.bottom - rc.top, nullptr);
}

ManagedWindow::~ManagedWindow()
{
    if (IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
}

LPCWSTR ManagedWindow::GetWindowClassName() const { return L"CalverinManagedTestWnd"; }

LRESULT ManagedWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        manager.Init(m_hWnd);
        manager.AddNotifyReceiver(this);
    }
    LRESULT result = 0;
    if (manager.HandleWindowMessage(message, wParam, lParam, result))
        return result;
    unhandled.push_back(message);
    if (onUnhandled)
        onUnhandled(message, wParam, lParam);
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

void ManagedWindow::Notify(NotifyMsg& msg)
{
    ReceivedNotify received;
    received.type = msg.type.GetData();
    received.sender = msg.sender != nullptr ? msg.sender->GetName().GetData() : L"";
    received.wParam = msg.wParam;
    received.lParam = msg.lParam;
    received.senderControl = msg.sender;
    notifications.push_back(received);
}

void ManagedWindow::Attach(CControlUI* root)
{
    manager.AttachRoot(root);
    InvalidateRect(m_hWnd, nullptr, FALSE);
    UpdateWindow(m_hWnd);  // the first paint lays the tree out and sends "windowinit"
}

void ManagedWindow::Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (CWindowManagerUI::TranslateLoopMessage(&msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

LRESULT ManagedWindow::Send(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

LPARAM PointParam(int x, int y) { return MAKELPARAM(x, y); }
