#include "core/TabLayoutUI.h"

#include <algorithm>
#include <cwchar>

#include "core/WindowManagerUI.h"

namespace CalUI {

LPCWSTR CTabLayoutUI::GetClass() const { return L"TabLayout"; }

void* CTabLayoutUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, L"TabLayout") == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

bool CTabLayoutUI::Add(CControlUI* page)
{
    // The container's Add goes through the virtual AddAt, whose insertion rule
    // would run first and leave this one hiding the page it just made current.
    if (!CContainerUI::AddAt(page, GetCount()))
        return false;
    if (m_currentIndex == -1 && page->IsVisible())
        m_currentIndex = GetItemIndex(page);
    else
        page->SetVisible(false);
    return true;
}

bool CTabLayoutUI::AddAt(CControlUI* page, int index)
{
    if (!CContainerUI::AddAt(page, index))
        return false;
    if (m_currentIndex == -1 && page->IsVisible())
        m_currentIndex = GetItemIndex(page);
    else if (m_currentIndex != -1 && index <= m_currentIndex)
        ++m_currentIndex;  // the shown page moved up; the new one keeps its visibility
    else
        page->SetVisible(false);
    return true;
}

bool CTabLayoutUI::Remove(CControlUI* page, bool keep)
{
    const int index = GetItemIndex(page);
    if (!CContainerUI::Remove(page, keep))
        return false;
    if (index == m_currentIndex) {
        if (GetCount() > 0) {
            m_currentIndex = 0;
            GetItemAt(0)->SetVisible(true);
        } else {
            m_currentIndex = -1;
        }
        RequestParentUpdate();
    } else if (index < m_currentIndex) {
        --m_currentIndex;
    }
    return true;
}

void CTabLayoutUI::RemoveAll()
{
    m_currentIndex = -1;
    CContainerUI::RemoveAll();
    RequestParentUpdate();
}

int CTabLayoutUI::GetSelectedIndex() const { return m_currentIndex; }

bool CTabLayoutUI::SelectItem(int index, bool notify)
{
    if (index < 0 || index >= GetCount())
        return false;
    if (index == m_currentIndex)
        return true;
    const int old = m_currentIndex;
    m_currentIndex = index;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* page = GetItemAt(i);
        if (i == index) {
            page->SetVisible(true);
            page->SetFocus();
        } else {
            page->SetVisible(false);
        }
    }
    RequestParentUpdate();
    Invalidate();
    if (m_manager != nullptr) {
        m_manager->FocusNextTabStop(true);
        if (notify)
            m_manager->SendNotify(this, L"tabselect", index, old, false, true);
    }
    return true;
}

void CTabLayoutUI::SetPos(RECT rc, bool invalidate)
{
    ResetBarsForNewSize(rc);
    CControlUI::SetPos(rc, invalidate);
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* page = GetItemAt(i);
        if (page->IsVisible() && page->IsFloat())
            SetFloatPos(i);
    }
    PlaceCurrentPage(GetInsetPos());
}

void CTabLayoutUI::PlaceCurrentPage(const RECT& layout)
{
    CControlUI* page = GetItemAt(m_currentIndex);
    if (page == nullptr || !page->IsVisible() || page->IsFloat())
        return;
    const RECT padding = page->GetPadding();
    RECT area = layout;
    area.left += padding.left;
    area.top += padding.top;
    area.right -= padding.right;
    area.bottom -= padding.bottom;
    const SIZE available = {area.right - area.left, area.bottom - area.top};
    SIZE wanted = page->EstimateSize(available);
    if (wanted.cx == 0)
        wanted.cx = std::max(available.cx, 0L);
    if (wanted.cy == 0)
        wanted.cy = std::max(available.cy, 0L);
    wanted.cx = std::min<LONG>(std::max<LONG>(wanted.cx, page->GetMinWidth()), page->GetMaxWidth());
    wanted.cy = std::min<LONG>(std::max<LONG>(wanted.cy, page->GetMinHeight()), page->GetMaxHeight());
    page->SetPos(RECT{area.left, area.top, area.left + wanted.cx, area.top + wanted.cy}, false);
}

void CTabLayoutUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    if (std::wcscmp(name, L"selectedid") == 0)
        SelectItem(_wtoi(value), true);
    CContainerUI::SetAttribute(name, value);
}

}  // namespace CalUI
