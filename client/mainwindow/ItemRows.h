#pragma once
// The item rows of the main window's three lists (games, plug-ins,
// accelerators): how a row is made from its record, what each of its ten
// children is, and the byte counts it shows as size texts. A row is a plain
// container whose tag is its record (owned by the list's icon batch) and, for
// game and plug-in rows, whose user data is the item id.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "core/ContainerUI.h"

// Which list a row belongs to; the numbers are the task kinds of the workers.
enum class RowKind : int32_t
{
    kGame = 1,
    kPlugin = 2,
    kJiasuqi = 3,
};

// The children of a row by index; the task steps address them so.
enum class RowChild : int
{
    kIcon = 0,
    kName = 1,
    kDetail = 2,
    kSpeed = 3,
    kSize = 4,
    kStatus = 5,
    kDownload = 6,
    kBar = 7,
    kCancel = 8,
    kView = 9,
};

// What a new row shows of its record.
struct ItemRowFace
{
    UINT_PTR record = 0;  // the row's tag
    std::wstring id;      // user data; empty for accelerator rows
    std::wstring name;
    std::wstring detail;
    std::wstring size;  // the record's decimal byte count
    bool installed = false;
};

// A new row of the kind with its ten float children; the caller adds it to
// its list, which then owns it.
CalUI::CContainerUI* BuildItemRow(RowKind kind, const ItemRowFace& face);

// A row taken out of its list, destroyed when it goes.
struct RowDelete
{
    void operator()(CalUI::CControlUI* row) const { row->Delete(); }
};
using RowPtr = std::unique_ptr<CalUI::CControlUI, RowDelete>;

// A row's fixed width: 840 for game and plug-in rows, 1040 for accelerators.
int RowWidth(RowKind kind);

// The control as a container (a list of rows), or null when it is none.
CalUI::CContainerUI* AsContainer(CalUI::CControlUI* control);

// The child of a row, or null when the row has fewer children.
CalUI::CControlUI* RowChildOf(CalUI::CControlUI* row, RowChild child);

// The names of a kind's download, cancel and view buttons.
LPCWSTR DownloadButtonName(RowKind kind);
LPCWSTR CancelButtonName(RowKind kind);
LPCWSTR ViewButtonName(RowKind kind);

// A decimal byte count as the rows show it: above 2 GB "%.02fGB", above
// 10 MB "%dMB", else "%dKB"; a negative count shows as "0KB".
std::wstring SizeText(int64_t bytes);
// The same for a text: leading blanks, an optional sign and digits, 0 when
// there are none.
std::wstring SizeTextOf(const std::wstring& decimalBytes);
