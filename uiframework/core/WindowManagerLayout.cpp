// The layout pass that every paint starts with, and invalidation. Laying the
// tree out and "windowinit" happen here, before any drawing, so that the
// window's own "windowinit" handling sees a laid-out tree.

#include "core/WindowManagerUI.h"

#include "core/ControlUI.h"

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

// A layered window collects what is invalidated and paints it from its
// repaint timer; the system never sees those invalidations.
void CWindowManagerUI::Invalidate(RECT rc)
{
    RECT area = Normalised(rc);
    if (m_layered)
        UnionRect(&m_layeredDirty, &m_layeredDirty, &area);
    else
        ::InvalidateRect(m_paintWindow, &area, FALSE);
}

void CWindowManagerUI::InvalidateAll()
{
    if (!m_layered) {
        ::InvalidateRect(m_paintWindow, nullptr, FALSE);
        return;
    }
    RECT client;
    GetClientRect(m_paintWindow, &client);
    UnionRect(&m_layeredDirty, &m_layeredDirty, &client);
}

RECT CWindowManagerUI::ContentRect(const RECT& client) const
{
    RECT content = client;
    if (m_layered)
        InflateRect(&content, -m_shadow.size, -m_shadow.size);
    return content;
}

CControlUI* CWindowManagerUI::UpdateNeededCallback(CControlUI* control, void*)
{
    if (!control->IsUpdateNeeded())
        return nullptr;
    control->GetManager()->m_foundControls.Add(control);
    return control;  // its own SetPos lays out the subtree below it
}

bool CWindowManagerUI::LayoutPendingControls(const RECT& client)
{
    if (!m_updateNeeded) {
        if (m_layered && m_layeredImageDirty) {
            m_offscreen.Clear(m_offscreen.GetRect());
            m_root->SetPos(ContentRect(client), true);
            MarkShadowDirty();
        }
        return true;
    }
    m_updateNeeded = false;
    if (IsRectEmpty(&client))
        return true;
    if (m_root->IsUpdateNeeded()) {
        DropPaintSurfaces();  // made again at the new size by this paint
        m_root->SetPos(ContentRect(client), true);
        MarkShadowDirty();
    } else {
        m_foundControls.Empty();
        m_root->FindControl(UpdateNeededCallback, nullptr,
                            UIFindFlag::Visible | UIFindFlag::UpdateTest | UIFindFlag::SelfFirst);
        for (int i = 0; i < m_foundControls.GetCount(); ++i) {
            auto* control = static_cast<CControlUI*>(m_foundControls[i]);
            control->SetPos(control->IsFloat() ? control->GetRelativePos() : control->GetPos(), true);
        }
    }
    if (!m_firstLayout)
        return true;
    m_firstLayout = false;
    SendNotify(m_root, L"windowinit", 0, 0, false);
    if (!(m_layered && m_layeredImageDirty))
        return true;
    // The window's "windowinit" handling may still change the tree; the
    // repaint timer draws everything right after it.
    InvalidateAll();
    return false;
}

}  // namespace CalUI
