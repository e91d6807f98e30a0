// A container that reports entering and leaving as a whole.

#include "mainwindow/ContainerExUI.h"

#include <cwchar>

#include "core/UIEvent.h"
#include "core/WindowManagerUI.h"

using namespace CalUI;

LPCWSTR CContainerExUI::GetClass() const { return L"ContainerEx"; }

void* CContainerExUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, L"ContainerEx") == 0)
        return static_cast<IContainerUI*>(this);
    return CContainerUI::GetInterface(name);
}

void CContainerExUI::OnEvent(UIEvent& event)
{
    // Without a window to tell, the panel keeps no state it could not report.
    if (m_manager == nullptr || (!IsMouseEnabled() && IsMouseEvent(event.type))) {
        CContainerUI::OnEvent(event);  // passes it on, as for any container
        return;
    }
    // A child that passes its mouse events up brings its own enter and leave
    // here as well; only a change of "over the panel" is worth telling.
    if (event.type == UIEventType::MouseEnter && ContainsEventPoint(event) && !m_mouseOver) {
        m_mouseOver = true;
        NotifyWindow(L"mouseenter");
    }
    if (event.type == UIEventType::MouseLeave) {
        if (ContainsEventPoint(event)) {
            // The mouse went onto a child: keep listening for the real leave.
            m_manager->AddMouseLeaveNeeded(this);
            return;
        }
        if (m_mouseOver) {
            m_mouseOver = false;
            NotifyWindow(L"mouseleave");
        }
        m_manager->RemoveMouseLeaveNeeded(this);
    }
    CContainerUI::OnEvent(event);
}

bool CContainerExUI::ContainsEventPoint(const UIEvent& event) const
{
    return ::PtInRect(&m_pos, event.mousePoint) != FALSE;
}

void CContainerExUI::NotifyWindow(LPCWSTR type) { m_manager->SendNotify(this, type, 0, 0, false, true); }
