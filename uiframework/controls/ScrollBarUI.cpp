// The scroll bar.

#include "controls/ScrollBarUI.h"

#include <cwchar>

#include "core/WindowManagerUI.h"

namespace CalUI {

CScrollBarUI::CScrollBarUI() { m_fixedWidth = kThickness; }

LPCWSTR CScrollBarUI::GetClass() const { return L"ScrollBar"; }

void* CScrollBarUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, L"ScrollBar") == 0)
        return this;
    return CControlUI::GetInterface(name);
}

void CScrollBarUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    if (std::wcscmp(name, L"scrollunit") == 0)
        m_scrollUnit = _wtoi(value);
    else
        CControlUI::SetAttribute(name, value);
}

CContainerUI* CScrollBarUI::GetOwner() const { return m_owner; }
void CScrollBarUI::SetOwner(CContainerUI* owner) { m_owner = owner; }

bool CScrollBarUI::IsHorizontal() const { return m_horizontal; }

void CScrollBarUI::SetHorizontal(bool horizontal)
{
    if (m_horizontal == horizontal)
        return;
    m_horizontal = horizontal;
    if (horizontal) {
        m_fixedHeight = kThickness;
        m_fixedWidth = 0;
    } else {
        m_fixedWidth = kThickness;
        m_fixedHeight = 0;
    }
    RequestParentUpdate();
}

int CScrollBarUI::GetScrollRange() const { return m_range; }

void CScrollBarUI::SetScrollRange(int range)
{
    m_range = range < 0 ? 0 : range;
    if (m_scrollPos > m_range)
        m_scrollPos = m_range;
    Relayout();
}

int CScrollBarUI::GetScrollPos() const { return m_scrollPos; }

void CScrollBarUI::SetScrollPos(int pos, bool notify)
{
    int old = m_scrollPos;
    if (pos < 0)
        pos = 0;
    if (m_scrollUnit > 1)
        pos = (pos + m_scrollUnit - 1) / m_scrollUnit * m_scrollUnit;
    if (pos > m_range)
        pos = m_range;
    m_scrollPos = pos;
    Relayout();
    if (notify && m_manager != nullptr)
        m_manager->SendNotify(this, L"scroll", m_scrollPos, old, true, false);
}

int CScrollBarUI::GetLineSize() const { return m_lineSize; }
int CScrollBarUI::GetScrollUnit() const { return m_scrollUnit; }

// The thumb follows range and position; it is placed by SetPos.
void CScrollBarUI::Relayout() { SetPos(m_pos, true); }

}  // namespace CalUI
