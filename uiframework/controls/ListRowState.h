#pragma once
// What every row keeps and does the same way whether it is a plain control
// (the label and text elements) or a container (the container elements and
// tree nodes): index, owner, selection and hover, the background drawn from
// the owner's item style, activation and the repaint of a row clipped to
// what its ancestors show.

#include <windows.h>

#include "controls/ListInterfaces.h"

namespace CalUI {

class CControlUI;

// Repaints the row's rectangle as far as its parent's client area and every
// further ancestor show it.
void InvalidateListItem(CControlUI& row);

struct ListRowState
{
    int index = -1;
    int visibleRow = 0;
    bool selected = false;
    bool hot = false;
    IListOwnerUI* owner = nullptr;

    void SetOwner(CControlUI* ownerControl);
    void LeaveOwner();
    ListItemStyle* Style() const;
    // Unselects a row that became hidden, and tells its owner.
    void AfterVisibilityChange(const CControlUI& row);
    bool Select(CControlUI& row, bool select, bool notify);
    // The base check, then "itemactivate".
    bool Activate(CControlUI& row);
    // The row's background colour and image from the owner's style; the
    // row's own "bkimage" is `ownImage`.
    void DrawItemBk(CControlUI& row, HDC hdc, ImageDrawInfo& ownImage);
    // The text colour for the row's state.
    DWORD TextColor(const CControlUI& row, const ListItemStyle& style) const;
    // Press, move, release, enter and leave of a clickable row; true when the
    // event is consumed.
    bool HandleMouse(CControlUI& row, UIEvent& event);
    // Double click and Return on an enabled row activate it; true when consumed.
    bool HandleActivation(CControlUI& row, UIEvent& event);
};

}  // namespace CalUI
