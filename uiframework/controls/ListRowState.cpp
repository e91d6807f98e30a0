#include "controls/ListRowState.h"

#include "controls/ListRowKeeper.h"
#include "core/ContainerUI.h"
#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

void InvalidateListItem(CControlUI& row)
{
    if (!row.IsVisible())
        return;
    CControlUI* parent = row.GetParent();
    auto* parentContainer =
        parent != nullptr ? static_cast<CContainerUI*>(parent->GetInterface(L"Container")) : nullptr;
    if (parentContainer == nullptr || row.GetManager() == nullptr) {
        row.Invalidate();
        return;
    }
    const RECT client = parentContainer->GetClientPos();
    RECT area;
    if (!::IntersectRect(&area, &row.GetPos(), &client))
        return;
    for (CControlUI* above = parent->GetParent(); above != nullptr; above = above->GetParent()) {
        if (!::IntersectRect(&area, &area, &above->GetPos()))
            return;
    }
    row.GetManager()->Invalidate(area);
}

void ListRowState::SetOwner(CControlUI* ownerControl)
{
    if (ownerControl != nullptr)
        owner = static_cast<IListOwnerUI*>(ownerControl->GetInterface(kListOwnerInterface));
}

void ListRowState::LeaveOwner()
{
    owner = nullptr;
    index = -1;
}

ListItemStyle* ListRowState::Style() const { return owner != nullptr ? owner->GetItemStyle() : nullptr; }

void ListRowState::AfterVisibilityChange(const CControlUI& row)
{
    if (row.IsVisible() || !selected)
        return;
    selected = false;
    if (owner != nullptr)
        owner->SelectItem(-1, false, true);
}

bool ListRowState::Select(CControlUI& row, bool select, bool notify)
{
    if (!row.IsEnabled())
        return false;
    if (select == selected)
        return true;
    selected = select;
    if (select && owner != nullptr)
        owner->SelectItem(index, true, notify);
    InvalidateListItem(row);
    return true;
}

bool ListRowState::Activate(CControlUI& row)
{
    if (!row.IsVisible() || !row.IsEnabled())
        return false;
    if (CWindowManagerUI* manager = row.GetManager())
        manager->SendNotify(&row, L"itemactivate");
    return true;
}

void ListRowState::DrawItemBk(CControlUI& row, HDC hdc, ImageDrawInfo& ownImage)
{
    ListItemStyle* style = Style();
    if (style == nullptr)
        return;
    const bool plainOddRow = style->alternateBk && (visibleRow % 2) != 0;
    DWORD color = plainOddRow ? 0 : style->bkColor;
    if (hot)
        color = style->hotBkColor;
    if (selected)
        color = style->selectedBkColor;
    if (!row.IsEnabled())
        color = style->disabledBkColor;
    if (color != 0)
        CSkinPainter::FillSolidColor(hdc, row.GetPos(), row.AdjustColor(color));

    if (!row.IsEnabled() && row.DrawImage(hdc, style->disabledImage))
        return;
    if (selected && row.DrawImage(hdc, style->selectedImage))
        return;
    if (hot && row.DrawImage(hdc, style->hotImage))
        return;
    if (row.DrawImage(hdc, ownImage))
        return;
    if (!plainOddRow)
        row.DrawImage(hdc, style->bkImage);
}

DWORD ListRowState::TextColor(const CControlUI& row, const ListItemStyle& style) const
{
    DWORD color = style.textColor;
    if (hot)
        color = style.hotTextColor;
    if (selected)
        color = style.selectedTextColor;
    if (!row.IsEnabled())
        color = style.disabledTextColor;
    return color;
}

bool ListRowState::HandleMouse(CControlUI& row, UIEvent& event)
{
    CWindowManagerUI* manager = row.GetManager();
    switch (event.type) {
    case UIEventType::ButtonDown:
    case UIEventType::RightButtonDown:
        if (row.IsEnabled()) {
            if (manager != nullptr)
                manager->SendNotify(&row, L"itemclick");
            // Through the row's own Select: a tree node adds to it.
            if (IListItemUI* item = AsListItem(&row))
                item->Select(true, true);
            InvalidateListItem(row);
        }
        return true;
    case UIEventType::MouseMove:
    case UIEventType::ButtonUp:
        return true;
    case UIEventType::MouseEnter:
        if (::PtInRect(&row.GetPos(), event.mousePoint) && row.IsEnabled() && !hot) {
            hot = true;
            InvalidateListItem(row);
        }
        return false;
    case UIEventType::MouseLeave:
        if (::PtInRect(&row.GetPos(), event.mousePoint)) {
            if (manager != nullptr)
                manager->AddMouseLeaveNeeded(&row);
            return true;
        }
        if (row.IsEnabled() && hot) {
            hot = false;
            InvalidateListItem(row);
        }
        if (manager != nullptr)
            manager->RemoveMouseLeaveNeeded(&row);
        return false;
    default:
        return false;
    }
}

bool ListRowState::HandleActivation(CControlUI& row, UIEvent& event)
{
    const bool doubleClick = event.type == UIEventType::DoubleClick;
    const bool returnKey =
        event.type == UIEventType::KeyDown && event.keyChar == VK_RETURN && row.IsKeyboardEnabled() && row.IsEnabled();
    if (!doubleClick && !returnKey)
        return false;
    if (row.IsEnabled()) {
        row.Activate();
        InvalidateListItem(row);
    }
    return true;
}

}  // namespace CalUI
