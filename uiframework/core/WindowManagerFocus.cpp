// The focus control, Tab navigation between tab stops, mouse capture and the
// key-state bits that every event carries.

#include "core/WindowManagerUI.h"

#include "core/ControlUI.h"

namespace CalUI {

namespace {

struct TabStopSearch
{
    CControlUI* start = nullptr;       // usually the focus control
    CControlUI* lastPassed = nullptr;  // the last tab stop the search went by
    bool forward = true;
    bool nextIsIt = false;
};

constexpr UIFindFlag kTabStopFindFlags = UIFindFlag::Visible | UIFindFlag::Enabled | UIFindFlag::SelfFirst;

}  // namespace

CControlUI* CWindowManagerUI::GetFocus() const { return m_focus; }

// The old focus hears who takes over (kill focus names the gaining control).
void CWindowManagerUI::DropFocus(CControlUI* gainer)
{
    if (m_focus == nullptr)
        return;
    UIEvent event = MakeEvent(UIEventType::KillFocus, gainer);
    m_focus->SendEvent(event);
    if (m_focus != nullptr)
        SendNotify(m_focus, L"killfocus");
    m_focus = nullptr;
}

void CWindowManagerUI::SetFocus(CControlUI* control, bool focusWindow)
{
    if (focusWindow && ::GetFocus() != m_paintWindow && control != m_focus && !m_noActivate)
        ::SetFocus(m_paintWindow);
    if (control == m_focus)
        return;
    DropFocus(control);
    if (control == nullptr || control->GetManager() != this || !control->IsVisible() || !control->IsEnabled())
        return;
    m_focus = control;
    UIEvent event = MakeEvent(UIEventType::SetFocus, control);
    control->SendEvent(event);
    SendNotify(control, L"setfocus");
}

void CWindowManagerUI::SetFocusNeeded(CControlUI* control)
{
    FocusPaintWindowUnlessNoActivate();
    if (control == nullptr) {
        m_focusNeeded = false;
        return;
    }
    DropFocus(control);
    // The tab stop before the control becomes the focus quietly, so that the
    // next paint's forward move lands on the control itself (or the stop after it).
    TabStopSearch search{control, nullptr, false, false};
    m_focus = m_root != nullptr ? m_root->FindControl(TabStopCallback, &search, kTabStopFindFlags) : nullptr;
    m_focusNeeded = true;
    if (m_root != nullptr)
        m_root->RequestUpdate();
}

CControlUI* CWindowManagerUI::TabStopCallback(CControlUI* control, void* data)
{
    auto* search = static_cast<TabStopSearch*>(data);
    if (control == search->start) {
        if (!search->forward)
            return search->lastPassed;
        search->nextIsIt = true;
        return nullptr;
    }
    if (!HasAny(control->GetControlFlags(), UIControlFlag::TabStop))
        return nullptr;
    search->lastPassed = control;
    return search->nextIsIt || search->start == nullptr ? control : nullptr;
}

bool CWindowManagerUI::FocusNextTabStop(bool forward)
{
    if (m_updateNeeded && forward) {
        // The tab order is only known once the pending layout has run.
        m_focusNeeded = true;
        ::InvalidateRect(m_paintWindow, nullptr, FALSE);
        return true;
    }
    if (m_root == nullptr)
        return true;
    TabStopSearch search{m_focus, nullptr, forward, false};
    CControlUI* found = m_root->FindControl(TabStopCallback, &search, kTabStopFindFlags);
    if (found == nullptr) {
        if (forward) {
            TabStopSearch fromTop{nullptr, nullptr, true, false};
            found = m_root->FindControl(TabStopCallback, &fromTop, kTabStopFindFlags);
        } else {
            found = search.lastPassed;
        }
    }
    if (found != nullptr)
        SetFocus(found, true);
    m_focusNeeded = false;
    return true;
}

void CWindowManagerUI::SetCapture()
{
    ::SetCapture(m_paintWindow);
    m_captured = true;
}

void CWindowManagerUI::ReleaseCapture()
{
    ::ReleaseCapture();
    m_captured = false;
}

bool CWindowManagerUI::IsCaptured() const { return m_captured; }

bool CWindowManagerUI::AddMouseLeaveNeeded(CControlUI* control)
{
    if (control == nullptr || m_mouseLeaveListeners.Find(control) >= 0)
        return false;
    return m_mouseLeaveListeners.Add(control);
}

bool CWindowManagerUI::RemoveMouseLeaveNeeded(CControlUI* control)
{
    int index = m_mouseLeaveListeners.Find(control);
    return index >= 0 && m_mouseLeaveListeners.RemoveAt(index);
}

UIKeyState CWindowManagerUI::GetKeyStateFlags()
{
    auto down = [](int key) { return (GetKeyState(key) & 0x8000) != 0; };
    UIKeyState flags = UIKeyState::None;
    if (down(VK_LBUTTON))
        flags |= UIKeyState::LeftButton;
    if (down(VK_RBUTTON))
        flags |= UIKeyState::RightButton;
    if (down(VK_SHIFT))
        flags |= UIKeyState::Shift;
    if (down(VK_CONTROL))
        flags |= UIKeyState::Control;
    if (down(VK_MENU))
        flags |= UIKeyState::Alt;
    return flags;
}

}  // namespace CalUI
