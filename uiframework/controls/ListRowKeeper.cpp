#include "controls/ListRowKeeper.h"

#include <algorithm>

#include "core/ContainerUI.h"

namespace CalUI {

IListItemUI* AsListItem(CControlUI* control)
{
    return control != nullptr ? static_cast<IListItemUI*>(control->GetInterface(kListItemInterface)) : nullptr;
}

CListRowKeeper::CListRowKeeper(CContainerUI& owner, IContainerUI& rows, int& selected, int* expanded)
    : m_owner(owner), m_rows(rows), m_selected(selected), m_expanded(expanded)
{}

void CListRowKeeper::TakeOwnership(CControlUI* row, int index)
{
    if (IListItemUI* item = AsListItem(row)) {
        item->SetOwner(&m_owner);
        item->SetIndex(index);
    }
}

void CListRowKeeper::Renumber(int first, int last)
{
    last = std::min(last, m_rows.GetCount() - 1);
    for (int i = std::max(first, 0); i <= last; ++i) {
        if (IListItemUI* item = AsListItem(m_rows.GetItemAt(i)))
            item->SetIndex(i);
    }
}

IListItemUI* CListRowKeeper::RowAt(int index) const
{
    return index >= 0 ? AsListItem(m_rows.GetItemAt(index)) : nullptr;
}

void CListRowKeeper::Follow(IListItemUI* selectedRow, IListItemUI* expandedRow)
{
    if (selectedRow != nullptr)
        m_selected = selectedRow->GetIndex();
    if (expandedRow != nullptr)
        *m_expanded = expandedRow->GetIndex();
}

bool CListRowKeeper::Add(CControlUI* row)
{
    if (row == nullptr)
        return false;
    TakeOwnership(row, m_rows.GetCount());
    return m_rows.Add(row);
}

bool CListRowKeeper::AddAt(CControlUI* row, int index)
{
    if (!m_rows.AddAt(row, index))
        return false;
    TakeOwnership(row, index);
    Renumber(index + 1, m_rows.GetCount() - 1);
    if (m_selected >= index)
        ++m_selected;
    if (m_expanded != nullptr && *m_expanded >= index)
        ++*m_expanded;
    return true;
}

bool CListRowKeeper::Remove(CControlUI* row, bool keep)
{
    if (row == nullptr)
        return false;
    // A row of this owner knows its position: no search through a long list.
    const IListItemUI* item = AsListItem(row);
    const int known = item != nullptr ? item->GetIndex() : -1;
    return RemoveAt(known >= 0 && m_rows.GetItemAt(known) == row ? known : m_rows.GetItemIndex(row), keep);
}

bool CListRowKeeper::RemoveAt(int index, bool keep)
{
    CControlUI* row = index >= 0 ? m_rows.GetItemAt(index) : nullptr;
    if (row == nullptr)
        return false;
    if (IListItemUI* item = AsListItem(row))
        item->LeaveOwner();
    if (!m_rows.RemoveAt(index, keep))
        return false;
    Renumber(index, m_rows.GetCount() - 1);
    if (m_expanded != nullptr) {
        if (index == *m_expanded)
            *m_expanded = -1;
        else if (index < *m_expanded)
            --*m_expanded;
    }
    if (index == m_selected && m_selected >= 0) {
        m_selected = -1;
        if (auto* face = static_cast<IListOwnerUI*>(m_owner.GetInterface(kListOwnerInterface)))
            face->SelectItem(m_owner.FindSelectable(index, false), false, true);
    } else if (index < m_selected) {
        --m_selected;
    }
    return true;
}

bool CListRowKeeper::SetItemIndex(CControlUI* row, int index)
{
    const int old = m_rows.GetItemIndex(row);
    if (old < 0)
        return false;
    if (old == index)
        return true;
    IListItemUI* selectedRow = RowAt(m_selected);
    IListItemUI* expandedRow = m_expanded != nullptr ? RowAt(*m_expanded) : nullptr;
    if (!m_rows.SetItemIndex(row, index))
        return false;
    Renumber(std::min(old, index), std::max(old, index));
    Follow(selectedRow, expandedRow);
    return true;
}

bool CListRowKeeper::MoveItems(CControlUI* first, int count, int index)
{
    if (first == nullptr || count < 0 || index < 0)
        return false;
    const int old = m_rows.GetItemIndex(first);
    if (old < 0)
        return false;
    if (old == index)
        return true;
    if (count + old > m_rows.GetCount() || count + index > m_rows.GetCount())
        return false;
    IListItemUI* selectedRow = RowAt(m_selected);
    IListItemUI* expandedRow = m_expanded != nullptr ? RowAt(*m_expanded) : nullptr;
    if (!m_rows.MoveItems(first, count, index))
        return false;
    Renumber(std::min(old, index), std::max(old, index) + count - 1);
    Follow(selectedRow, expandedRow);
    return true;
}

void CListRowKeeper::RemoveAll()
{
    m_selected = -1;
    if (m_expanded != nullptr)
        *m_expanded = -1;
    for (int i = 0; i < m_rows.GetCount(); ++i) {
        if (IListItemUI* item = AsListItem(m_rows.GetItemAt(i)))
            item->LeaveOwner();
    }
    m_rows.RemoveAll();
}

}  // namespace CalUI
