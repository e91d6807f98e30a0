#pragma once
// The rows of a list that hold child controls: the container row, which can
// also expand ("ListContainerElement"; the client's item rows and the tree
// nodes are built on it), and the horizontal-box row whose children sit in
// the header's columns ("ListHBoxElement"). The row owns its children as any
// container does; its owner is only read.

#include "controls/ListRowState.h"
#include "core/ContainerUI.h"

namespace CalUI {

class CListContainerElementUI : public CContainerUI, public IListItemUI
{
public:
    LPCWSTR GetClass() const override;          // "ListContainerElement"
    void* GetInterface(LPCWSTR name) override;  // the row face for "IListItem"
    UIControlFlag GetControlFlags() const override;
    bool Activate() override;  // sends "itemactivate"
    void SetVisible(bool show = true) override;
    void SetEnabled(bool enable = true) override;
    void OnEvent(UIEvent& event) override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;
    // The fixed size; a height of 0 is the owner's item height.
    SIZE EstimateSize(SIZE available) override;
    bool OnPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) override;

    int GetIndex() const override;
    void SetIndex(int index) override;
    int GetVisibleRow() const override;
    void SetVisibleRow(int row) override;
    IListOwnerUI* GetOwner() const override;
    void SetOwner(CControlUI* owner) override;
    bool IsSelected() const override;
    bool Select(bool select = true, bool notify = true) override;
    bool IsExpanded() const override;
    // Tells the owner and sends "itemexpand" or "itemcollapse" for an
    // expandable row; false without an owner.
    bool Expand(bool expand = true) override;
    void PaintItemText(HDC hdc, const RECT& rc) override;  // draws nothing
    void LeaveOwner() override;

    bool IsExpandable() const { return m_expandable; }
    void SetExpandable(bool expandable);
    void DrawItemBk(HDC hdc, const RECT& rc);
    bool IsHot() const { return m_row.hot; }

protected:
    void PassToOwner(UIEvent& event);

    ListRowState m_row;
    bool m_expandable = false;
    bool m_expanded = false;
};

class CListHBoxElementUI : public CListContainerElementUI
{
public:
    LPCWSTR GetClass() const override;  // "ListHBoxElement"
    void* GetInterface(LPCWSTR name) override;
    // With an owner, the n-th placed child goes into column n.
    void SetPos(RECT rc, bool invalidate = true) override;
    bool OnPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) override;
};

}  // namespace CalUI
