#pragma once
// The faces through which a list owner (the list, the combo box) and its rows
// (the list elements, the tree nodes) talk, handed out by GetInterface under
// the names below. Neither side owns the other through them: the owner's row
// container owns the rows, and a row forgets its owner when it leaves it.

#include <windows.h>

#include "controls/ListItemStyle.h"
#include "core/ControlInterfaces.h"
#include "core/UIEvent.h"

namespace CalUI {

class CControlUI;
class CListHeaderUI;
class CListBodyUI;

constexpr wchar_t kListOwnerInterface[] = L"IListOwner";  // IListOwnerUI*: the list, the combo
constexpr wchar_t kListInterface[] = L"IList";            // IListUI*: the list
// Rows answer kListItemInterface (core/ControlInterfaces.h) with IListItemUI*.

class IListOwnerUI
{
public:
    // Never null for the list and the combo.
    virtual ListItemStyle* GetItemStyle() = 0;
    // -1 when no row is selected.
    virtual int GetSelectedIndex() const = 0;
    // Makes the row at `index` the only selected one; false when it cannot be.
    virtual bool SelectItem(int index, bool takeFocus = false, bool notify = true) = 0;
    // Rows pass every event they do not consume here.
    virtual void OnEvent(UIEvent& event) = 0;
    virtual bool ExpandItem(int index, bool expand = true) = 0;
    // -1 when no row is expanded.
    virtual int GetExpandedItem() const = 0;

protected:
    ~IListOwnerUI() = default;
};

// Texts a list's text rows draw in place of their own; the list does not own it.
class IListTextProviderUI
{
public:
    virtual LPCWSTR GetItemText(CControlUI* row, int index, int column) = 0;

protected:
    ~IListTextProviderUI() = default;
};

class IListUI : public IListOwnerUI
{
public:
    // Null once the list's header was removed, until another comes.
    virtual CListHeaderUI* GetHeader() const = 0;
    virtual CListBodyUI* GetBody() const = 0;
    // Null by default.
    virtual IListTextProviderUI* GetTextProvider() const = 0;
    // Stored without a repaint.
    virtual void SetTextProvider(IListTextProviderUI* provider) = 0;

protected:
    ~IListUI() = default;
};

class IListItemUI
{
public:
    // -1 while the row belongs to no owner.
    virtual int GetIndex() const = 0;
    virtual void SetIndex(int index) = 0;  // the owner's bookkeeping only
    // The row's number among the visible rows at the last paint.
    virtual int GetVisibleRow() const = 0;
    virtual void SetVisibleRow(int row) = 0;
    // Null while the row belongs to no owner.
    virtual IListOwnerUI* GetOwner() const = 0;
    // The control's owner face; a null control leaves the owner as it is.
    virtual void SetOwner(CControlUI* owner) = 0;
    virtual bool IsSelected() const = 0;
    virtual bool Select(bool select = true, bool notify = true) = 0;
    virtual bool IsExpanded() const = 0;
    virtual bool Expand(bool expand = true) = 0;
    virtual void PaintItemText(HDC hdc, const RECT& rc) = 0;
    // The owner let the row go: no owner, index -1, so nothing it does later
    // reaches the owner.
    virtual void LeaveOwner() = 0;

protected:
    ~IListItemUI() = default;
};

}  // namespace CalUI
