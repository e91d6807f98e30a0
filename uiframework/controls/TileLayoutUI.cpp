// The tile layout's grid.

#include "controls/TileLayoutUI.h"

#include <algorithm>
#include <cwchar>

#include "controls/LayoutArea.h"
#include "core/AttributeValues.h"

namespace CalUI {

namespace {

// The share of `free` room that each of the `count` - 1 gaps between `count`
// cells gets; 0 when there is no gap or no room.
LayoutSum SharedGap(LayoutSum free, LayoutSum count)
{
    return count < 2 ? 0 : std::max<LayoutSum>(free / (count - 1), 0);
}

}  // namespace

LPCWSTR CTileLayoutUI::GetClass() const { return L"TileLayout"; }

void* CTileLayoutUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, L"TileLayout") == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

// ---- Settings -------------------------------------------------------------------

SIZE CTileLayoutUI::GetItemSize() const { return m_itemSize; }

void CTileLayoutUI::SetItemSize(SIZE size)
{
    if (size.cx == m_itemSize.cx && size.cy == m_itemSize.cy)
        return;
    m_itemSize = size;
    RequestUpdate();
}

int CTileLayoutUI::GetColumns() const { return m_columns; }

void CTileLayoutUI::SetColumns(int columns)
{
    if (columns < 0)
        return;
    m_columns = columns;
    RequestUpdate();
}

int CTileLayoutUI::GetRows() const { return m_rows; }

void CTileLayoutUI::SetRows(int rows)
{
    if (rows < 0)
        return;
    m_rows = rows;
    RequestUpdate();
}

int CTileLayoutUI::GetChildVPadding() const { return m_childVPadding; }

void CTileLayoutUI::SetChildVPadding(int padding)
{
    m_childVPadding = std::max(padding, 0);
    RequestUpdate();
}

int CTileLayoutUI::GetColumnCount() const { return m_columnCount; }
int CTileLayoutUI::GetRowCount() const { return m_rowCount; }

void CTileLayoutUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    if (std::wcscmp(name, L"itemsize") == 0)
        SetItemSize(ParseSizeValue(value));
    else if (std::wcscmp(name, L"columns") == 0)
        SetColumns(_wtoi(value));
    else if (std::wcscmp(name, L"rows") == 0)
        SetRows(_wtoi(value));
    else if (std::wcscmp(name, L"childvpadding") == 0)
        SetChildVPadding(_wtoi(value));
    else
        CContainerUI::SetAttribute(name, value);
}

// ---- Children -------------------------------------------------------------------

// Also refuses children beyond the cells when "columns" or "rows" shrank the
// grid after it was filled.
bool CTileLayoutUI::IsFull() const
{
    const LayoutSum cells = LayoutSum{m_columns} * m_rows;
    return cells >= 1 && GetCount() >= cells;
}

bool CTileLayoutUI::AddAt(CControlUI* control, int index)
{
    if (control == nullptr || IsFull())
        return false;
    return CContainerUI::AddAt(control, index);
}

// ---- Layout ---------------------------------------------------------------------

SIZE CTileLayoutUI::CellSize() const
{
    return SIZE{std::max<LONG>(m_itemSize.cx, 0), std::max<LONG>(m_itemSize.cy, 0)};
}

int CTileLayoutUI::CountPlacedChildren() const
{
    int count = 0;
    for (int i = 0; i < GetCount(); ++i) {
        const CControlUI* child = ChildAt(i);
        if (child->IsVisible() && !child->IsFloat())
            ++count;
    }
    return count;
}

void CTileLayoutUI::SetPos(RECT rc, bool invalidate)
{
    if (KeepsLayout(rc, invalidate))
        return;
    ResetBarsForNewSize(rc);
    CControlUI::SetPos(rc, invalidate);
    const LayoutArea area = LayoutAreaOf(*this);
    if (GetCount() == 0) {
        UpdateScrollBars(area.client, 0, 0);
        return;
    }
    if (m_rows < 1)
        LayOutFillingRows(area);
    else
        LayOutFillingColumns(area);
    KeepLayoutUnchanged();
}

void CTileLayoutUI::LayOutFillingRows(const LayoutArea& area)
{
    const LayoutSum width = LayoutSum{area.client.right} - area.client.left;
    const SIZE cell = CellSize();
    const LayoutSum hg = m_childPadding;
    const LayoutSum vg = m_childVPadding;
    const LayoutSum placed = CountPlacedChildren();

    LayoutSum columns = m_columns;
    LayoutSum neededWidth = width;
    if (m_columns == 0) {
        if (width < cell.cx) {
            columns = 1;
            neededWidth = cell.cx;
        } else {
            // Cells of no width with no padding: as many columns as pixels.
            columns = (width + hg) / std::max<LayoutSum>(cell.cx + hg, 1);
        }
    }
    columns = std::max<LayoutSum>(columns, 1);

    LayoutSum gap = 0;
    if (columns >= 2 && hg >= 1) {
        gap = hg;
    } else if (columns >= 2) {
        const LayoutSum cellsWidth = columns * cell.cx;
        const bool wholeContent = m_columns != 0 && (!IsBarShown(m_horizontalScrollBar) || width < cellsWidth);
        gap = SharedGap((wholeContent ? area.available.cx : width) - cellsWidth, columns);
    }
    if (m_columns != 0) {
        const LayoutSum shown = std::min(placed, columns);
        neededWidth = std::max<LayoutSum>(shown * cell.cx + (shown - 1) * gap, 0);
    }
    const LayoutSum rows = std::max<LayoutSum>((placed - 1) / columns + 1, 1);
    const LayoutSum neededHeight = rows * cell.cy + (rows - 1) * vg;
    m_columnCount = ToRectRange(columns);
    m_rowCount = ToRectRange(rows);

    LayoutSum k = 0;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible())
            continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        const LayoutSum row = k / columns;
        const LayoutSum column = k % columns;
        PlaceInCell(child, area.client.left + (cell.cx + gap) * column - area.scrollPos.cx,
                    area.client.top + (cell.cy + vg) * row - area.scrollPos.cy);
        ++k;
    }
    UpdateScrollBars(area.client, ToRectRange(neededWidth), ToRectRange(neededHeight));
}

void CTileLayoutUI::LayOutFillingColumns(const LayoutArea& area)
{
    const LayoutSum width = LayoutSum{area.client.right} - area.client.left;
    const LayoutSum height = LayoutSum{area.client.bottom} - area.client.top;
    const SIZE cell = CellSize();
    const LayoutSum hg = m_childPadding;
    const LayoutSum vg = m_childVPadding;
    const LayoutSum rows = m_rows;

    LayoutSum rowGap = 0;
    if (rows >= 2 && vg >= 1) {
        rowGap = vg;
    } else if (rows >= 2) {
        const LayoutSum cellsHeight = rows * cell.cy;
        const bool wholeContent = !IsBarShown(m_verticalScrollBar) || height < cellsHeight;
        rowGap = SharedGap((wholeContent ? area.available.cy : height) - cellsHeight, rows);
    }
    // Hidden children keep their cells, so every child counts.
    const LayoutSum columns = std::max<LayoutSum>(m_columns != 0 ? m_columns : (GetCount() - 1 + rows) / rows, 1);
    const LayoutSum neededWidth = columns * cell.cx + (columns - 1) * hg;
    LayoutSum gap = 0;
    if (columns >= 2 && hg >= 1)
        gap = hg;
    else if (columns >= 2 && width >= columns * cell.cx)
        gap = SharedGap(width - columns * cell.cx, columns);
    m_columnCount = ToRectRange(columns);
    m_rowCount = ToRectRange(rows);

    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible())
            continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        PlaceInCell(child, area.client.left + (cell.cx + gap) * (i / rows) - area.scrollPos.cx,
                    area.client.top + (cell.cy + rowGap) * (i % rows) - area.scrollPos.cy);
    }
    // The grid never needs more height than it has.
    UpdateScrollBars(area.client, ToRectRange(neededWidth), ToRectRange(height));
}

// The child's padding narrows the cell and then, once more, its rectangle.
void CTileLayoutUI::PlaceInCell(CControlUI* child, LayoutSum cellLeft, LayoutSum cellTop) const
{
    const SIZE cell = CellSize();
    const RECT pad = child->GetPadding();
    const LayoutSum width =
        std::max<LayoutSum>(std::min<LayoutSum>(LayoutSum{cell.cx} - pad.left - pad.right, child->GetMaxWidth()), 0);
    const LayoutSum height =
        std::max<LayoutSum>(std::min<LayoutSum>(LayoutSum{cell.cy} - pad.top - pad.bottom, child->GetMaxHeight()), 0);
    LayoutSum offsetX = 0;
    if (m_childAlign == UIChildAlign::Center)
        offsetX = (cell.cx - width) / 2;
    else if (m_childAlign == UIChildAlign::Right)
        offsetX = cell.cx - width;
    LayoutSum offsetY = 0;
    if (m_childVAlign == UIChildVAlign::Center)
        offsetY = (cell.cy - height) / 2;
    else if (m_childVAlign == UIChildVAlign::Bottom)
        offsetY = cell.cy - height;
    const LayoutSum left = cellLeft + offsetX;
    const LayoutSum top = cellTop + offsetY;
    child->SetPos(RectInRange(left + pad.left, top + pad.top, left + width - pad.right, top + height - pad.bottom),
                  false);
}

}  // namespace CalUI
