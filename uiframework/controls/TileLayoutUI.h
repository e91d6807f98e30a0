#pragma once
// The layout that arranges its children in a grid of equal cells
// ("TileLayout"). Without "rows" it fills rows left to right, as many
// columns as fit (or "columns"), and grows downwards; with "rows" it fills
// columns top to bottom and grows to the right, never needing more height
// than it has. The container's child padding is the gap between columns,
// "childvpadding" the gap between rows; "childalign" and "childvalign" place
// each child inside its cell, which its padding narrows. With both "columns"
// and "rows" set the grid takes no more children than it has cells.
//
// Cell sizes below 0 count as 0, and the grid keeps at least one column and
// one row whatever the sizes, so no skin value divides by zero.

#include "core/ContainerUI.h"

namespace CalUI {

struct LayoutArea;

class CTileLayoutUI : public CContainerUI
{
public:
    LPCWSTR GetClass() const override;
    void* GetInterface(LPCWSTR name) override;
    void SetPos(RECT rc, bool invalidate = true) override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;

    // Refused (false) for null and when the grid's cells are all taken;
    // Add comes here too.
    bool AddAt(CControlUI* control, int index) override;

    SIZE GetItemSize() const;
    void SetItemSize(SIZE size);  // negatives count as 0 in the layout
    int GetColumns() const;
    void SetColumns(int columns);  // 0: as many as fit; negative is ignored
    int GetRows() const;
    void SetRows(int rows);  // 0: fill rows; negative is ignored
    int GetChildVPadding() const;
    void SetChildVPadding(int padding);  // negative becomes 0

    // The grid of the last layout.
    int GetColumnCount() const;
    int GetRowCount() const;

private:
    // Without "rows": rows of as many columns as fit, growing downwards.
    void LayOutFillingRows(const LayoutArea& area);
    // With "rows": columns of that many cells, growing to the right.
    void LayOutFillingColumns(const LayoutArea& area);
    void PlaceInCell(CControlUI* child, long long cellLeft, long long cellTop) const;
    SIZE CellSize() const;
    int CountPlacedChildren() const;
    bool IsFull() const;

    SIZE m_itemSize = {80, 80};
    int m_columnCount = 1;
    int m_rowCount = 0;
    int m_columns = 0;
    int m_rows = 0;
    int m_childVPadding = 0;
};

}  // namespace CalUI
