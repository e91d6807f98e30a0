#pragma once
// The container operations of a list owner: rows go into the owner's row
// container (the list's body, the combo itself) while every row's index stays
// equal to its position and the selected and expanded indices stay on their
// rows. Controls that are not rows are stored without an index.
//
// The keeper owns nothing; the row container owns the rows. A row that
// leaves, kept or not, forgets its owner first, so a row still finishing an
// event after a handler removed it reaches no owner.

#include "controls/ListInterfaces.h"
#include "core/UIInterfaces.h"

namespace CalUI {

class CContainerUI;

// The row face of a control, or null.
IListItemUI* AsListItem(CControlUI* control);

class CListRowKeeper
{
public:
    // `owner` is the control rows report as their owner and whose
    // FindSelectable picks the row selected after a removal; `expanded` is
    // null for an owner that expands nothing.
    CListRowKeeper(CContainerUI& owner, IContainerUI& rows, int& selected, int* expanded);

    bool Add(CControlUI* row);
    bool AddAt(CControlUI* row, int index);
    bool Remove(CControlUI* row, bool keep);
    bool RemoveAt(int index, bool keep);
    bool SetItemIndex(CControlUI* row, int index);
    bool MoveItems(CControlUI* first, int count, int index);
    // Leaves no selection and sends nothing.
    void RemoveAll();

private:
    void Renumber(int first, int last);
    void TakeOwnership(CControlUI* row, int index);
    // The row at `index` to follow through a move, or null.
    IListItemUI* RowAt(int index) const;
    void Follow(IListItemUI* selectedRow, IListItemUI* expandedRow);

    CContainerUI& m_owner;
    IContainerUI& m_rows;
    int& m_selected;
    int* m_expanded;
};

}  // namespace CalUI
