// Notifications from controls to the window's receivers, at once or through
// the queue that the deferred-work message drains; delayed deletion of
// controls on that same message; option groups.

#include "core/WindowManagerUI.h"

#include <memory>

#include "core/ControlUI.h"
#include "core/StringMapValues.h"

namespace CalUI {

namespace {

constexpr UINT kDeferredWorkMessage = 0x8001;
constexpr int kOptionGroupCapacity = 6;

}  // namespace

bool CWindowManagerUI::AddNotifyReceiver(INotifyUI* receiver)
{
    return receiver != nullptr && m_notifyReceivers.Add(receiver);
}

void CWindowManagerUI::SendNotify(CControlUI* sender, LPCWSTR type, WPARAM wParam, LPARAM lParam, bool async,
                                  bool allowRepeat)
{
    NotifyMsg msg;
    msg.sender = sender;
    msg.type = type;
    msg.wParam = wParam;
    msg.lParam = lParam;
    SendNotifyMsg(msg, async, allowRepeat);
}

void CWindowManagerUI::SendNotifyMsg(NotifyMsg& msg, bool async, bool allowRepeat)
{
    msg.mousePoint = m_lastMousePos;
    msg.timestamp = GetTickCount();
    if (m_usesVirtualWindows)
        msg.virtualWnd = msg.sender != nullptr ? msg.sender->GetVirtualWnd() : CUIString();
    if (!async) {
        DeliverNotify(msg);
        return;
    }
    if (!allowRepeat) {
        // A burst from one sender reaches the receivers once, with the last
        // values, at the place of the first.
        for (const auto& queued : m_queuedNotifications) {
            if (queued->sender != msg.sender || !(queued->type == msg.type))
                continue;
            if (m_usesVirtualWindows)
                queued->virtualWnd = msg.virtualWnd;
            queued->wParam = msg.wParam;
            queued->lParam = msg.lParam;
            queued->mousePoint = msg.mousePoint;
            queued->timestamp = msg.timestamp;
            return;
        }
    }
    auto copy = std::make_unique<NotifyMsg>(msg);
    if (!m_usesVirtualWindows)
        copy->virtualWnd.Empty();
    m_queuedNotifications.push_back(std::move(copy));
    PostDeferredWork();
}

void CWindowManagerUI::DeliverNotify(NotifyMsg& msg)
{
    if (msg.sender != nullptr && msg.sender->notifyDelegates.HasAny())
        msg.sender->notifyDelegates.Invoke(&msg);
    for (int i = 0; i < m_notifyReceivers.GetCount(); ++i)
        static_cast<INotifyUI*>(m_notifyReceivers[i])->Notify(msg);
}

void CWindowManagerUI::SetUsesVirtualWindows(bool uses) { m_usesVirtualWindows = uses; }

void CWindowManagerUI::PostDeferredWork()
{
    if (m_deferredWorkPosted)
        return;
    PostMessageW(m_paintWindow, kDeferredWorkMessage, 0, 0);
    m_deferredWorkPosted = true;
}

void CWindowManagerUI::OnDeferredWork()
{
    m_deferredWorkPosted = false;
    // Each message leaves the queue before it is delivered: receivers may
    // queue more (delivered in this same pass), drop the whole queue with a
    // new root, or delete the sender, which clears it in queued messages only.
    while (!m_queuedNotifications.empty()) {
        std::unique_ptr<NotifyMsg> msg = std::move(m_queuedNotifications.front());
        m_queuedNotifications.erase(m_queuedNotifications.begin());
        DeliverNotify(*msg);
    }
    DeleteDelayedCleanups();
}

void CWindowManagerUI::FreeQueuedNotifications() { m_queuedNotifications.clear(); }

void CWindowManagerUI::ControlDeleter::operator()(CControlUI* control) const { control->Delete(); }

void CWindowManagerUI::AddDelayedCleanup(CControlUI* control)
{
    if (control == nullptr)
        return;
    control->SetManager(this, nullptr, false);
    m_delayedCleanups.emplace_back(control);
    PostDeferredWork();
}

void CWindowManagerUI::DeleteDelayedCleanups()
{
    // The list is taken whole before anything goes: deleting a control may
    // hand over more, which the next turn deletes. Taking the controls one by
    // one from the front moved the rest each time, a long list's RemoveAll
    // ran in quadratic time.
    while (!m_delayedCleanups.empty()) {
        auto batch = std::move(m_delayedCleanups);
        m_delayedCleanups.clear();
        for (auto& control : batch)
            control.reset();
    }
}

bool CWindowManagerUI::AddOptionGroup(LPCWSTR groupName, CControlUI* control)
{
    if (groupName == nullptr || control == nullptr)
        return false;
    if (CUIPtrArray* group = GetOptionGroup(groupName)) {
        if (group->Find(control) >= 0)
            return false;
        return group->Add(control);
    }
    auto group = std::make_unique<CUIPtrArray>(kOptionGroupCapacity);
    if (!group->Add(control) || !m_optionGroups.Insert(groupName, group.get()))
        return false;
    group.release();
    return true;
}

CUIPtrArray* CWindowManagerUI::GetOptionGroup(LPCWSTR groupName)
{
    return static_cast<CUIPtrArray*>(m_optionGroups.Find(groupName));
}

void CWindowManagerUI::RemoveOptionGroup(LPCWSTR groupName, CControlUI* control)
{
    CUIPtrArray* group = GetOptionGroup(groupName);
    if (group == nullptr)
        return;
    int index = group->Find(control);
    if (index < 0)
        return;
    group->RemoveAt(index);
    if (group->IsEmpty()) {
        delete group;
        m_optionGroups.Remove(groupName);
    }
}

void CWindowManagerUI::RemoveAllOptionGroups() { DeleteMapValues<CUIPtrArray>(m_optionGroups); }

}  // namespace CalUI
