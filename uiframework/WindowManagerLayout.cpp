// The layout pass that every paint starts with, and invalidation. Laying the
// tree out, "windowinit" and the deferred focus move happen here, before any
// drawing, so that the window's own "windowinit" handling sees a laid-out tree.

#include "WindowManagerUI.h"

#include "ControlUI.h"

namespace CalUI {

namespace {

RECT Normalised(RECT rc)
{
    rc.left = rc.left < 0 ? 0 : rc.left;
    rc.top = rc.top < 0 ? 0 : rc.top;
    rc.right = rc.right < rc.left ? rc.left : rc.right;
    rc.bottom = rc.bottom < rc.top ? rc.top : rc.bottom;
    return rc;
}

}  // namespace

void CWindowManagerUI::Invalidate(RECT rc)
{
    RECT area = Normalised(rc);
    ::InvalidateRect(m_paintWindow, &area, FALSE);
}

void CWindowManagerUI::InvalidateAll()
{
    ::InvalidateRect(m_paintWindow, nullptr, FALSE);
}

bool CWindowManagerUI::OnPaint()
{
    PAINTSTRUCT ps;
    if (m_root == nullptr) {
        BeginPaint(m_paintWindow, &ps);
        EndPaint(m_paintWindow, &ps);
        return true;
    }
    RECT client;
    GetClientRect(m_paintWindow, &client);
    RECT update;
    if (!GetUpdateRect(m_paintWindow, &update, FALSE))
        return true;
    if (m_focusNeeded)
        FocusNextTabStop(true);
    LayoutPendingControls(client);
    BeginPaint(m_paintWindow, &ps);
    EndPaint(m_paintWindow, &ps);
    if (m_updateNeeded || m_focusNeeded)
        InvalidateAll();
    return true;
}

CControlUI* CWindowManagerUI::UpdateNeededCallback(CControlUI* control, void*)
{
    if (!control->IsUpdateNeeded())
        return nullptr;
    control->GetManager()->m_foundControls.Add(control);
    return control;   // its own SetPos lays out the subtree below it
}

void CWindowManagerUI::LayoutPendingControls(const RECT& client)
{
    if (!m_updateNeeded)
        return;
    m_updateNeeded = false;
    if (IsRectEmpty(&client))
        return;
    if (m_root->IsUpdateNeeded()) {
        m_root->SetPos(client, true);
    } else {
        m_foundControls.Empty();
        m_root->FindControl(UpdateNeededCallback, nullptr,
                            UIFIND_VISIBLE | UIFIND_UPDATETEST | UIFIND_ME_FIRST);
        for (int i = 0; i < m_foundControls.GetCount(); ++i) {
            auto* control = static_cast<CControlUI*>(m_foundControls[i]);
            control->SetPos(control->IsFloat() ? control->GetRelativePos() : control->GetPos(), true);
        }
    }
    if (m_firstLayout) {
        m_firstLayout = false;
        SendNotify(m_root, L"windowinit", 0, 0, false);
    }
}

}  // namespace CalUI
