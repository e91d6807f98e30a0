#include "controls/ListUI.h"

#include <algorithm>
#include <cwchar>

#include "controls/ListHeaderUI.h"
#include "core/ScrollBarUI.h"
#include "core/AttributeValues.h"
#include "core/ClipGuard.h"
#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

bool Meets(const RECT& a, const RECT& b)
{
    RECT common;
    return ::IntersectRect(&common, &a, &b) != FALSE;
}

int Clamp(int value, int minimum, int maximum) { return std::min(std::max(value, minimum), maximum); }

bool IsShown(const CScrollBarUI* bar) { return bar != nullptr && bar->IsVisible(); }

void PaintRowLine(CControlUI& body, CControlUI& row, const ListItemStyle& style, HDC hdc, const RECT& paint)
{
    const RECT r = row.GetPos();
    const RECT pad = row.GetPadding();
    const RECT box = {r.left, r.bottom + pad.bottom, r.right, r.bottom + pad.bottom + style.hLineSize};
    if (!Meets(box, paint))
        return;
    const int y = box.top + style.hLineSize / 2;
    const RECT line = {r.left, y, r.right, y};
    CSkinPainter::DrawLineSegment(hdc, line, style.hLineSize, body.AdjustColor(style.hLineColor));
}

}  // namespace

bool PaintListRows(CContainerUI& body, const ListItemStyle* style, HDC hdc, const RECT& paint, CControlUI* stopControl)
{
    RECT visible;
    if (!::IntersectRect(&visible, &paint, &body.GetPos()))
        return true;
    CClipGuard clip;
    CClipGuard::ClipRect(hdc, visible, clip);
    body.CControlUI::OnPaint(hdc, paint, stopControl);

    const RECT client = body.GetClientPos();
    RECT clientPaint;
    if (body.GetCount() > 0 && ::IntersectRect(&clientPaint, &paint, &client)) {
        CClipGuard rowsClip;
        CClipGuard::ClipRect(hdc, clientPaint, rowsClip);
        int visibleRow = 0;
        // Rows are stacked top to bottom: past the painted area only float
        // rows can still show (unless a stop control must be met).
        bool belowPaint = false;
        for (int i = 0; i < body.GetCount(); ++i) {
            CControlUI* row = body.GetItemAt(i);
            if (row == stopControl)
                return false;
            if (!row->IsVisible() || (belowPaint && !row->IsFloat()))
                continue;
            if (!row->IsFloat() && stopControl == nullptr && row->GetPos().top >= clientPaint.bottom) {
                belowPaint = true;
                continue;
            }
            if (!row->IsFloat()) {
                if (IListItemUI* item = AsListItem(row))
                    item->SetVisibleRow(visibleRow++);
                if (style != nullptr && style->hLineSize > 0)
                    PaintRowLine(body, *row, *style, hdc, paint);
            }
            if (!Meets(row->GetPos(), paint))
                continue;
            if (row->IsFloat()) {
                if (!Meets(row->GetPos(), body.GetPos()))
                    continue;
                CClipGuard::SelectOuterClip(hdc, rowsClip);
                const bool goOn = row->Paint(hdc, paint, stopControl);
                CClipGuard::SelectInnerClip(hdc, rowsClip);
                if (!goOn)
                    return false;
            } else if (Meets(row->GetPos(), client) && !row->Paint(hdc, paint, stopControl)) {
                return false;
            }
        }
    } else {
        for (int i = 0; i < body.GetCount(); ++i) {
            CControlUI* row = body.GetItemAt(i);
            if (row == stopControl)
                return false;
            if (row->IsVisible() && row->IsFloat() && Meets(row->GetPos(), paint) &&
                Meets(row->GetPos(), body.GetPos()) && !row->Paint(hdc, paint, stopControl))
                return false;
        }
    }
    for (CScrollBarUI* bar : {body.GetVerticalScrollBar(), body.GetHorizontalScrollBar()}) {
        if (bar == nullptr)
            continue;
        if (bar == stopControl)
            return false;
        if (bar->IsVisible() && Meets(bar->GetPos(), paint) && !bar->Paint(hdc, paint, stopControl))
            return false;
    }
    return true;
}

// ---- Body -------------------------------------------------------------------------------

CListBodyUI::CListBodyUI(CListUI* owner) : m_owner(owner) {}

void CListBodyUI::SetPos(RECT rc, bool invalidate)
{
    if (KeepsLayout(rc, invalidate))
        return;
    CControlUI::SetPos(rc, invalidate);
    RECT client = GetInsetPos();
    if (IsBarShown(m_verticalScrollBar))
        client.right -= m_verticalScrollBar->GetFixedWidth();
    if (IsBarShown(m_horizontalScrollBar))
        client.bottom -= m_horizontalScrollBar->GetFixedHeight();

    SIZE avail = {client.right - client.left, client.bottom - client.top};
    if (IsBarShown(m_horizontalScrollBar))
        avail.cx += m_horizontalScrollBar->GetScrollRange();
    int gap = m_childPadding;
    const ListItemStyle* style = m_owner != nullptr ? m_owner->GetItemStyle() : nullptr;
    if (style != nullptr) {
        gap += style->hLineSize;
        if (style->columnCount > 0)
            avail.cx = style->ColumnsWidth();
    }

    int neededWidth = 0;
    int counted = 0;
    for (int i = 0; i < m_items.GetCount(); ++i) {
        CControlUI* row = ChildAt(i);
        if (!row->IsVisible() || row->IsFloat())
            continue;
        SIZE sz = row->EstimateSize(avail);
        sz.cx = Clamp(std::max<LONG>(sz.cx, 0), row->GetMinWidth(), row->GetMaxWidth());
        neededWidth = std::max<int>(neededWidth, sz.cx);
        ++counted;
    }
    CListHeaderUI* header = m_owner != nullptr ? m_owner->GetHeader() : nullptr;
    if (header != nullptr && header->GetCount() > 0)
        neededWidth =
            std::max<int>(0, header->EstimateSize({client.right - client.left, client.bottom - client.top}).cx);

    int y = client.top - (IsBarShown(m_verticalScrollBar) ? m_verticalScrollBar->GetScrollPos() : 0);
    const int x = client.left - (IsBarShown(m_horizontalScrollBar) ? m_horizontalScrollBar->GetScrollPos() : 0);
    int remaining = avail.cy;
    int neededHeight = 0;
    for (int i = 0; i < m_items.GetCount(); ++i) {
        CControlUI* row = ChildAt(i);
        if (!row->IsVisible())
            continue;
        if (row->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        const RECT pad = row->GetPadding();
        remaining -= pad.top;
        SIZE limit = {avail.cx - pad.left - pad.right, remaining};
        limit.cx = std::min<LONG>(limit.cx, row->GetFixedWidth() != 0 ? row->GetFixedWidth() : row->GetMaxWidth());
        limit.cy = std::min<LONG>(limit.cy, row->GetFixedHeight() != 0 ? row->GetFixedHeight() : row->GetMaxHeight());
        SIZE sz = row->EstimateSize(limit);
        sz.cy = Clamp(sz.cy, row->GetMinHeight(), row->GetMaxHeight());
        sz.cx = row->GetMaxWidth();
        if (sz.cx == 0)
            sz.cx = avail.cx - pad.left - pad.right;
        sz.cx = std::max<LONG>(std::min<LONG>(std::max<LONG>(sz.cx, 0), limit.cx), row->GetMinWidth());
        row->SetPos({x + pad.left, y + pad.top, x + pad.left + sz.cx, y + pad.top + sz.cy + pad.bottom}, false);
        y += sz.cy + gap + pad.top + pad.bottom;
        neededHeight += sz.cy + pad.top + pad.bottom;
        remaining -= sz.cy + gap + pad.bottom;
    }
    neededHeight += std::max(counted - 1, 0) * gap;
    UpdateScrollBars(client, neededWidth, neededHeight);
    KeepLayoutUnchanged();
}

void CListBodyUI::SetScrollPos(SIZE pos, bool notify)
{
    int dx = 0;
    int dy = 0;
    if (IsBarShown(m_verticalScrollBar)) {
        const int before = m_verticalScrollBar->GetScrollPos();
        m_verticalScrollBar->SetScrollPos(pos.cy, notify);
        dy = m_verticalScrollBar->GetScrollPos() - before;
    }
    if (IsBarShown(m_horizontalScrollBar)) {
        const int before = m_horizontalScrollBar->GetScrollPos();
        m_horizontalScrollBar->SetScrollPos(pos.cx, notify);
        dx = m_horizontalScrollBar->GetScrollPos() - before;
    }
    if (dx == 0 && dy == 0)
        return;
    for (int i = 0; i < m_items.GetCount(); ++i) {
        CControlUI* row = ChildAt(i);
        if (row->IsVisible() && !row->IsFloat())
            row->Move({-dx, -dy}, false);
    }
    Invalidate();
    CListHeaderUI* header = m_owner != nullptr ? m_owner->GetHeader() : nullptr;
    if (dx == 0 || header == nullptr)
        return;
    ListItemStyle& style = *m_owner->GetItemStyle();
    style.columnCount = std::min(header->GetCount(), ListItemStyle::kMaxColumns);
    for (int i = 0; i < style.columnCount; ++i) {
        CControlUI* item = header->GetItemAt(i);
        if (!item->IsVisible() || item->IsFloat())
            continue;
        item->Move({-dx, 0}, false);
        style.columns[i] = item->GetPos();
    }
    header->Invalidate();
}

void CListBodyUI::OnEvent(UIEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (m_owner != nullptr)
            m_owner->OnEvent(event);
        else
            CControlUI::OnEvent(event);
        return;
    }
    if (m_owner == nullptr) {
        CControlUI::OnEvent(event);
        return;
    }
    if (event.type == UIEventType::ScrollWheel && IsBarShown(m_horizontalScrollBar) &&
        m_horizontalScrollBar->IsEnabled() && ::PtInRect(&m_horizontalScrollBar->GetPos(), event.mousePoint)) {
        if (LOWORD(event.wParam) == 0)
            m_owner->LineLeft();
        else if (LOWORD(event.wParam) == 1)
            m_owner->LineRight();
        return;
    }
    m_owner->OnEvent(event);
}

bool CListBodyUI::OnPaint(HDC hdc, const RECT& paint, CControlUI* stopControl)
{
    return PaintListRows(*this, m_owner != nullptr ? m_owner->GetItemStyle() : nullptr, hdc, paint, stopControl);
}

// ---- List -------------------------------------------------------------------------------

CListUI::CListUI() : m_body(new CListBodyUI(this)), m_rows(*this, *m_body, m_selected, &m_expanded)
{
    // Rows a handler removes while their own event runs must outlive it.
    m_body->SetDelayedDestroy(true);
    Add(new CListHeaderUI);
    CVerticalLayoutUI::AddAt(m_body, 1);
}

LPCWSTR CListUI::GetClass() const { return L"List"; }

void* CListUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, L"List") == 0)
        return this;
    if (std::wcscmp(name, kListInterface) == 0)
        return static_cast<IListUI*>(this);
    if (std::wcscmp(name, kListOwnerInterface) == 0)
        return static_cast<IListOwnerUI*>(this);
    return CVerticalLayoutUI::GetInterface(name);
}

UIControlFlag CListUI::GetControlFlags() const { return UIControlFlag::TabStop; }

// ---- Children -------------------------------------------------------------------------

bool CListUI::IsHeaderControl(CControlUI* control) const
{
    return control != nullptr && control->GetInterface(L"ListHeader") != nullptr;
}

bool CListUI::IsHeaderItem(CControlUI* control) const
{
    return control != nullptr && std::wcsstr(control->GetClass(), L"ListHeaderItem") != nullptr;
}

bool CListUI::AddHeader(CControlUI* header)
{
    if (header != m_header && (m_header == nullptr || m_header->GetCount() == 0)) {
        if (m_header != nullptr)
            CVerticalLayoutUI::Remove(m_header, false);
        m_header = static_cast<CListHeaderUI*>(header->GetInterface(L"ListHeader"));
        m_style.columnCount = std::min(m_header->GetCount(), ListItemStyle::kMaxColumns);
    }
    return CVerticalLayoutUI::AddAt(header, 0);
}

CControlUI* CListUI::GetItemAt(int index) const { return m_body->GetItemAt(index); }
int CListUI::GetCount() const { return m_body->GetCount(); }

int CListUI::GetItemIndex(CControlUI* control) const
{
    if (IsHeaderControl(control))
        return CVerticalLayoutUI::GetItemIndex(control);
    if (IsHeaderItem(control))
        return m_header != nullptr ? m_header->GetItemIndex(control) : -1;
    return m_body->GetItemIndex(control);
}

bool CListUI::SetItemIndex(CControlUI* control, int index)
{
    if (IsHeaderControl(control))
        return CVerticalLayoutUI::SetItemIndex(control, index);
    if (IsHeaderItem(control))
        return m_header != nullptr && m_header->SetItemIndex(control, index);
    return m_rows.SetItemIndex(control, index);
}

bool CListUI::MoveItems(CControlUI* first, int count, int index)
{
    if (IsHeaderControl(first))
        return CVerticalLayoutUI::MoveItems(first, count, index);
    if (IsHeaderItem(first))
        return m_header != nullptr && m_header->MoveItems(first, count, index);
    return m_rows.MoveItems(first, count, index);
}

bool CListUI::Add(CControlUI* control)
{
    if (control == nullptr)
        return false;
    if (IsHeaderControl(control))
        return AddHeader(control);
    if (IsHeaderItem(control)) {
        if (m_header == nullptr || !m_header->Add(control))
            return false;
        m_style.columnCount = std::min(m_header->GetCount(), ListItemStyle::kMaxColumns);
        return true;
    }
    return m_rows.Add(control);
}

bool CListUI::AddAt(CControlUI* control, int index)
{
    if (control == nullptr)
        return false;
    if (IsHeaderControl(control))
        return AddHeader(control);
    if (IsHeaderItem(control)) {
        if (m_header == nullptr || !m_header->AddAt(control, index))
            return false;
        m_style.columnCount = std::min(m_header->GetCount(), ListItemStyle::kMaxColumns);
        return true;
    }
    return m_rows.AddAt(control, index);
}

bool CListUI::Remove(CControlUI* control, bool keep)
{
    if (control == nullptr)
        return false;
    if (IsHeaderControl(control)) {
        // The list reads its columns from the header: it must not keep a
        // freed one.
        if (control == m_header) {
            m_header = nullptr;
            m_style.columnCount = 0;
        }
        return CVerticalLayoutUI::Remove(control, keep);
    }
    if (IsHeaderItem(control))
        return m_header != nullptr && m_header->Remove(control, keep);
    return m_rows.Remove(control, keep);
}

bool CListUI::RemoveAt(int index, bool keep) { return m_rows.RemoveAt(index, keep); }
void CListUI::RemoveAll() { m_rows.RemoveAll(); }

// ---- Forwarded to the body --------------------------------------------------------------

int CListUI::GetChildPadding() const { return m_body->GetChildPadding(); }
void CListUI::SetChildPadding(int padding) { m_body->SetChildPadding(padding); }
SIZE CListUI::GetScrollPos() const { return m_body->GetScrollPos(); }
SIZE CListUI::GetScrollRange() const { return m_body->GetScrollRange(); }
void CListUI::SetScrollPos(SIZE pos, bool notify) { m_body->SetScrollPos(pos, notify); }
void CListUI::LineUp() { m_body->LineUp(); }
void CListUI::LineDown() { m_body->LineDown(); }
void CListUI::PageUp() { m_body->PageUp(); }
void CListUI::PageDown() { m_body->PageDown(); }
void CListUI::ScrollToTop() { m_body->ScrollToTop(); }
void CListUI::ScrollToBottom() { m_body->ScrollToBottom(); }
void CListUI::LineLeft() { m_body->LineLeft(); }
void CListUI::LineRight() { m_body->LineRight(); }
void CListUI::PageLeft() { m_body->PageLeft(); }
void CListUI::PageRight() { m_body->PageRight(); }
void CListUI::ScrollToLeft() { m_body->ScrollToLeft(); }
void CListUI::ScrollToRight() { m_body->ScrollToRight(); }
void CListUI::EnableScrollBar(bool vertical, bool horizontal) { m_body->EnableScrollBar(vertical, horizontal); }
CScrollBarUI* CListUI::GetVerticalScrollBar() const { return m_body->GetVerticalScrollBar(); }
CScrollBarUI* CListUI::GetHorizontalScrollBar() const { return m_body->GetHorizontalScrollBar(); }

// ---- Owner face ---------------------------------------------------------------------------

ListItemStyle* CListUI::GetItemStyle() { return &m_style; }
int CListUI::GetSelectedIndex() const { return m_selected; }
int CListUI::GetExpandedItem() const { return m_expanded; }
CListHeaderUI* CListUI::GetHeader() const { return m_header; }
CListBodyUI* CListUI::GetBody() const { return m_body; }
IListTextProviderUI* CListUI::GetTextProvider() const { return m_textProvider; }
void CListUI::SetTextProvider(IListTextProviderUI* provider) { m_textProvider = provider; }

bool CListUI::SelectItem(int index, bool takeFocus, bool notify)
{
    if (index == m_selected)
        return true;
    const int old = m_selected;
    if (m_selected >= 0) {
        if (IListItemUI* item = AsListItem(GetItemAt(m_selected)))
            item->Select(false, notify);
        m_selected = -1;
    }
    if (index < 0)
        return false;
    CControlUI* row = GetItemAt(index);
    IListItemUI* item = AsListItem(row);
    if (row == nullptr || !row->IsVisible() || !row->IsEnabled() || item == nullptr)
        return false;
    m_selected = index;
    if (!item->Select(true, notify)) {
        m_selected = -1;
        return false;
    }
    EnsureVisible(index);
    if (takeFocus)
        row->SetFocus();
    if (notify && m_manager != nullptr)
        m_manager->SendNotify(this, L"itemselect", static_cast<WPARAM>(index), static_cast<LPARAM>(old));
    return true;
}

// A row's Expand calls back here: the row already expanded stays so, and
// the index is cleared before the old row collapses, so the two never call
// each other without end.
bool CListUI::ExpandItem(int index, bool expand)
{
    if (expand && index >= 0 && index == m_expanded)
        return true;
    if (m_expanded >= 0 && !m_style.multiExpanding) {
        IListItemUI* item = AsListItem(GetItemAt(m_expanded));
        m_expanded = -1;
        if (item != nullptr)
            item->Expand(false);
    }
    if (expand) {
        CControlUI* row = GetItemAt(index);
        IListItemUI* item = AsListItem(row);
        if (row == nullptr || !row->IsVisible() || item == nullptr)
            return false;
        m_expanded = index;
        if (!item->Expand(true)) {
            m_expanded = -1;
            return false;
        }
    }
    RequestUpdate();
    return true;
}

void CListUI::EnsureVisible(int index)
{
    if (m_selected < 0)
        return;
    CControlUI* row = GetItemAt(index);
    if (row == nullptr)
        return;
    const RECT r = row->GetPos();
    RECT b = m_body->GetPos();
    const RECT inset = m_body->GetInset();
    b.left += inset.left;
    b.top += inset.top;
    b.right -= inset.right;
    b.bottom -= inset.bottom;
    if (IsShown(m_body->GetHorizontalScrollBar()))
        b.bottom -= m_body->GetHorizontalScrollBar()->GetFixedHeight();
    if (r.top >= b.top && r.bottom < b.bottom)
        return;
    int dy = 0;
    if (r.top < b.top)
        dy = r.top - b.top;
    if (r.bottom > b.bottom)
        dy = r.bottom - b.bottom;
    Scroll(0, dy);
}

void CListUI::Scroll(int dx, int dy)
{
    if (dx == 0 && dy == 0)
        return;
    const SIZE pos = m_body->GetScrollPos();
    m_body->SetScrollPos({pos.cx + dx, pos.cy + dy}, true);
}

// ---- Layout ---------------------------------------------------------------------------------

void CListUI::SetHeaderItemsInternVisible(bool visible)
{
    for (int i = m_header->GetCount() - 1; i >= 0; --i)
        m_header->GetItemAt(i)->SetInternVisible(visible);
}

void CListUI::ReadColumns()
{
    if (m_header == nullptr) {
        m_style.columnCount = 0;
        return;
    }
    m_style.columnCount = std::min(m_header->GetCount(), ListItemStyle::kMaxColumns);
    const int x = m_body->GetScrollPos().cx;
    for (int i = 0; i < m_style.columnCount; ++i) {
        CControlUI* item = m_header->GetItemAt(i);
        if (!item->IsVisible() || item->IsFloat())
            continue;
        if (x > 0) {
            RECT shifted = item->GetPos();
            ::OffsetRect(&shifted, -x, 0);
            item->SetPos(shifted, false);
        }
        m_style.columns[i] = item->GetPos();
    }
}

void CListUI::SetPos(RECT rc, bool invalidate)
{
    // Nothing changed: the columns read last time are still the header's.
    if (KeepsLayout(rc, invalidate))
        return;
    // A new size starts that axis of the body from the beginning.
    SIZE pos = m_body->GetScrollPos();
    const bool newWidth = rc.right - rc.left != m_pos.right - m_pos.left;
    const bool newHeight = rc.bottom - rc.top != m_pos.bottom - m_pos.top;
    if (newWidth)
        pos.cx = 0;
    if (newHeight)
        pos.cy = 0;
    if (newWidth || newHeight)
        m_body->SetScrollPos(pos, false);

    // The columns the body lays its rows out in; a hidden header is placed
    // all the same, so its items still give the columns.
    auto placeHeaderForColumns = [this](int left, int right) {
        if (m_header == nullptr)
            return;
        const bool hidden = !m_header->IsVisible();
        if (hidden)
            SetHeaderItemsInternVisible(true);
        m_header->SetPos({left, 0, right, 0}, false);
        ReadColumns();
        // Only the items: the header's own flag stays its parent's business.
        if (hidden)
            SetHeaderItemsInternVisible(false);
    };
    placeHeaderForColumns(rc.left + m_inset.left, rc.right - m_inset.right);

    CVerticalLayoutUI::SetPos(rc, invalidate);
    const RECT inner = GetInsetPos();

    if (m_header != nullptr && m_header->IsVisible())
        ReadColumns();
    else
        placeHeaderForColumns(inner.left, inner.right);
}

void CListUI::Move(SIZE offset, bool invalidate)
{
    CVerticalLayoutUI::Move(offset, invalidate);
    if (m_header != nullptr && !m_header->IsVisible())
        m_header->Move(offset, false);
}

// ---- Events and attributes ------------------------------------------------------------------

void CListUI::SelectFound(int index)
{
    // Nothing selectable ahead: the selection stays where it is.
    if (index >= 0)
        SelectItem(index, true, true);
}

void CListUI::OnEvent(UIEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (m_parent != nullptr)
            m_parent->OnEvent(event);
        else
            CVerticalLayoutUI::OnEvent(event);
        return;
    }
    switch (event.type) {
    case UIEventType::SetFocus:
        m_focused = true;
        return;
    case UIEventType::KillFocus:
        m_focused = false;
        return;
    case UIEventType::KeyDown:
        if (!IsKeyboardEnabled() || !IsEnabled())
            break;
        switch (event.keyChar) {
        case VK_RETURN:
            if (m_selected >= 0) {
                if (CControlUI* row = GetItemAt(m_selected))
                    row->Activate();
            }
            return;
        case VK_PRIOR:
            PageUp();
            return;
        case VK_NEXT:
            PageDown();
            return;
        case VK_HOME:
            SelectFound(FindSelectable(0, true));
            return;
        case VK_END:
            SelectFound(FindSelectable(GetCount() - 1, false));
            return;
        case VK_UP:
            SelectFound(FindSelectable(m_selected - 1, false));
            return;
        case VK_DOWN:
            SelectFound(FindSelectable(m_selected + 1, true));
            return;
        default:
            return;
        }
    case UIEventType::ScrollWheel:
        if (!IsEnabled())
            break;
        if (LOWORD(event.wParam) == 0) {
            if (m_scrollSelect)
                SelectFound(FindSelectable(m_selected - 1, false));
            else
                LineUp();
            return;
        }
        if (LOWORD(event.wParam) == 1) {
            if (m_scrollSelect)
                SelectFound(FindSelectable(m_selected + 1, true));
            else
                LineDown();
            return;
        }
        break;
    default:
        break;
    }
    CVerticalLayoutUI::OnEvent(event);
}

void CListUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    const auto is = [name](LPCWSTR candidate) { return std::wcscmp(name, candidate) == 0; };
    if (is(L"header")) {
        if (m_header != nullptr)
            m_header->SetVisible(std::wcscmp(value, L"false") != 0 && std::wcscmp(value, L"hidden") != 0);
        return;
    }
    if (is(L"headerbkimage")) {
        if (m_header != nullptr)
            m_header->SetBkImage(value);
        return;
    }
    if (is(L"scrollselect")) {
        SetScrollSelect(IsTrueValue(value));
        return;
    }
    switch (ApplyItemStyleAttribute(m_style, ItemStyleOwner::List, name, value)) {
    case ItemStyleEffect::NotAccepted:
        CVerticalLayoutUI::SetAttribute(name, value);
        return;
    case ItemStyleEffect::Relayout:
        RequestUpdate();
        return;
    case ItemStyleEffect::Repaint:
        Invalidate();
        return;
    case ItemStyleEffect::Stored:
        return;
    }
}

}  // namespace CalUI
