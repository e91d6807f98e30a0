#pragma once
// The look that every row of one list or combo box draws itself with: one
// record per owner, embedded in it and read by the rows at paint and measure
// time, so a change shows at the next paint or layout. The column fields are
// written by the list alone, from its header's items after each layout.

#include <windows.h>

#include "core/ImageDrawInfo.h"

namespace CalUI {

struct ListItemStyle
{
    static constexpr int kMaxColumns = 64;

    int columnCount = 0;
    RECT columns[kMaxColumns] = {};
    int itemHeight = 0;  // 0: rows measure themselves
    int font = -1;       // -1: the window's default font
    UINT textStyle = DT_VCENTER | DT_SINGLELINE;
    RECT textPadding = {0, 0, 0, 0};
    DWORD textColor = 0xFF000000;
    DWORD bkColor = 0;  // 0: none
    ImageDrawInfo bkImage;
    bool alternateBk = false;  // odd visible rows go without the background
    DWORD selectedTextColor = 0xFF000000;
    DWORD selectedBkColor = 0xFFC1E3FF;
    ImageDrawInfo selectedImage;
    DWORD hotTextColor = 0xFF000000;
    DWORD hotBkColor = 0xFFE9F5FF;
    ImageDrawInfo hotImage;
    DWORD disabledTextColor = 0xFFCCCCCC;
    DWORD disabledBkColor = 0xFFFFFFFF;
    ImageDrawInfo disabledImage;
    int hLineSize = 0;
    DWORD hLineColor = 0xFF3C3C3C;
    int vLineSize = 0;
    DWORD vLineColor = 0xFF3C3C3C;
    bool showHtml = false;
    bool multiExpanding = false;

    // Left of the first column to right of the last; 0 without columns.
    int ColumnsWidth() const;
};

// Which owner reads an item attribute: the combo accepts fewer names and
// repaints where the list lays out.
enum class ItemStyleOwner
{
    List,
    Combo,
};

// What the owner must do after an item attribute was read.
enum class ItemStyleEffect
{
    NotAccepted,  // not an item attribute of this owner: pass it on
    Stored,
    Relayout,
    Repaint,
};

ItemStyleEffect ApplyItemStyleAttribute(ListItemStyle& style, ItemStyleOwner owner, LPCWSTR name, LPCWSTR value);

}  // namespace CalUI
