#include "controls/ListContainerElementUI.h"

#include <cwchar>

#include "core/AttributeValues.h"
#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

// ---- Container element ------------------------------------------------------------

LPCWSTR CListContainerElementUI::GetClass() const { return L"ListContainerElement"; }

void* CListContainerElementUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, kListItemInterface) == 0)
        return static_cast<IListItemUI*>(this);
    if (std::wcscmp(name, L"ListContainerElement") == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

UIControlFlag CListContainerElementUI::GetControlFlags() const { return UIControlFlag::ListElement; }

bool CListContainerElementUI::Activate() { return m_row.Activate(*this); }

void CListContainerElementUI::SetVisible(bool show)
{
    CContainerUI::SetVisible(show);
    m_row.AfterVisibilityChange(*this);
}

void CListContainerElementUI::SetEnabled(bool enable)
{
    CContainerUI::SetEnabled(enable);
    if (!IsEnabled())
        m_row.hot = false;
}

void CListContainerElementUI::PassToOwner(UIEvent& event)
{
    if (m_row.owner != nullptr)
        m_row.owner->OnEvent(event);
    else if (IsMouseEvent(event.type))
        CContainerUI::OnEvent(event);
    else
        CControlUI::OnEvent(event);
}

void CListContainerElementUI::OnEvent(UIEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        PassToOwner(event);
        return;
    }
    if (m_row.HandleMouse(*this, event) || m_row.HandleActivation(*this, event))
        return;
    PassToOwner(event);
}

void CListContainerElementUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    if (std::wcscmp(name, L"selected") == 0)
        Select(IsTrueValue(value), true);
    else if (std::wcscmp(name, L"expandable") == 0)
        SetExpandable(IsTrueValue(value));
    else
        CContainerUI::SetAttribute(name, value);
}

SIZE CListContainerElementUI::EstimateSize(SIZE)
{
    int height = m_fixedHeight;
    if (height == 0) {
        const ListItemStyle* style = m_row.Style();
        height = style != nullptr ? style->itemHeight : 0;
    }
    return {m_fixedWidth, height};
}

bool CListContainerElementUI::OnPaint(HDC hdc, const RECT& paint, CControlUI* stopControl)
{
    DrawItemBk(hdc, m_pos);
    return CContainerUI::OnPaint(hdc, paint, stopControl);
}

int CListContainerElementUI::GetIndex() const { return m_row.index; }
void CListContainerElementUI::SetIndex(int index) { m_row.index = index; }
int CListContainerElementUI::GetVisibleRow() const { return m_row.visibleRow; }
void CListContainerElementUI::SetVisibleRow(int row) { m_row.visibleRow = row; }
IListOwnerUI* CListContainerElementUI::GetOwner() const { return m_row.owner; }
void CListContainerElementUI::SetOwner(CControlUI* owner) { m_row.SetOwner(owner); }
bool CListContainerElementUI::IsSelected() const { return m_row.selected; }
bool CListContainerElementUI::Select(bool select, bool notify) { return m_row.Select(*this, select, notify); }
bool CListContainerElementUI::IsExpanded() const { return m_expanded; }
void CListContainerElementUI::PaintItemText(HDC, const RECT&) {}
void CListContainerElementUI::LeaveOwner() { m_row.LeaveOwner(); }
void CListContainerElementUI::SetExpandable(bool expandable) { m_expandable = expandable; }
void CListContainerElementUI::DrawItemBk(HDC hdc, const RECT&) { m_row.DrawItemBk(*this, hdc, m_bkImage); }

bool CListContainerElementUI::Expand(bool expand)
{
    if (m_row.owner == nullptr)
        return false;
    if (expand == m_expanded)
        return true;
    m_expanded = expand;
    if (!m_expandable)
        return true;
    if (!m_row.owner->ExpandItem(m_row.index, expand))
        return false;
    if (m_manager != nullptr)
        m_manager->SendNotify(this, expand ? L"itemexpand" : L"itemcollapse");
    return true;
}

// ---- Horizontal-box element ---------------------------------------------------------

LPCWSTR CListHBoxElementUI::GetClass() const { return L"ListHBoxElement"; }

void* CListHBoxElementUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, L"ListHBoxElement") == 0)
        return this;
    return CListContainerElementUI::GetInterface(name);
}

void CListHBoxElementUI::SetPos(RECT rc, bool invalidate)
{
    if (m_row.owner == nullptr) {
        CContainerUI::SetPos(rc, invalidate);
        return;
    }
    CControlUI::SetPos(rc, invalidate);
    const ListItemStyle* style = m_row.Style();
    if (style == nullptr)
        return;
    int column = 0;
    for (int i = 0; i < m_items.GetCount(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible())
            continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        const RECT pad = child->GetPadding();
        if (style->columnCount == 0) {
            child->SetPos({rc.left + pad.left, rc.top + pad.top, rc.right - pad.right, rc.bottom - pad.bottom}, false);
            continue;
        }
        if (column >= style->columnCount)
            continue;
        const RECT& cell = style->columns[column];
        RECT place = {cell.left + pad.left, rc.top + pad.top, cell.right - pad.right, rc.bottom - pad.bottom};
        if (style->vLineSize > 0 && column < style->columnCount - 1)
            place.right -= style->vLineSize;
        child->SetPos(place, false);
        ++column;
    }
}

bool CListHBoxElementUI::OnPaint(HDC hdc, const RECT& paint, CControlUI* stopControl)
{
    const ListItemStyle* style = m_row.Style();
    if (style == nullptr)
        return true;
    DrawItemBk(hdc, m_pos);
    if (style->vLineSize > 0) {
        for (int i = 0; i < style->columnCount - 1; ++i) {
            const int x = style->columns[i].right - style->vLineSize / 2;
            const RECT line = {x, m_pos.top, x, m_pos.bottom};
            CSkinPainter::DrawLineSegment(hdc, line, style->vLineSize, AdjustColor(style->vLineColor));
        }
    }
    return CContainerUI::OnPaint(hdc, paint, stopControl);
}

}  // namespace CalUI
