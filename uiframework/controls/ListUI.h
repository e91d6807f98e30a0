#pragma once
// The list ("List"): a vertical list of rows under an optional header of
// columns. It has two children of its own, the header (child 0) and the body
// (child 1), the scrolling container that holds the rows; both are destroyed
// with the list. The list is the rows' owner: it keeps the selection, the
// expanded row, the item style and the column rectangles, forwards its
// container and scroll operations to the body and moves the selection by
// keys and wheel. Rows removed while an event is being handled are destroyed
// once it is over.

#include "controls/ListInterfaces.h"
#include "controls/ListRowKeeper.h"
#include "controls/VerticalLayoutUI.h"

namespace CalUI {

class CListUI;
class CListHeaderUI;

// The body paints its rows numbered for alternate colours and separated by
// the item style's horizontal lines; the combo's drop body paints the same way.
bool PaintListRows(CContainerUI& body, const ListItemStyle* style, HDC hdc, const RECT& paint, CControlUI* stopControl);

class CListBodyUI : public CVerticalLayoutUI
{
public:
    explicit CListBodyUI(CListUI* owner);

    void SetPos(RECT rc, bool invalidate = true) override;
    void OnEvent(UIEvent& event) override;
    bool OnPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) override;
    // Moves the rows, and with a horizontal change the header's columns too.
    void SetScrollPos(SIZE pos, bool notify = true) override;

private:
    CListUI* m_owner;
};

class CListUI : public CVerticalLayoutUI, public IListUI
{
public:
    CListUI();

    LPCWSTR GetClass() const override;          // "List"
    void* GetInterface(LPCWSTR name) override;  // "List", "IList", "IListOwner"
    UIControlFlag GetControlFlags() const override;
    void SetPos(RECT rc, bool invalidate = true) override;
    void Move(SIZE offset, bool invalidate = true) override;
    void OnEvent(UIEvent& event) override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;
    int GetChildPadding() const override;
    void SetChildPadding(int padding) override;

    SIZE GetScrollPos() const override;
    SIZE GetScrollRange() const override;
    void SetScrollPos(SIZE pos, bool notify = true) override;
    void LineUp() override;
    void LineDown() override;
    void PageUp() override;
    void PageDown() override;
    void ScrollToTop() override;
    void ScrollToBottom() override;
    void LineLeft() override;
    void LineRight() override;
    void PageLeft() override;
    void PageRight() override;
    void ScrollToLeft() override;
    void ScrollToRight() override;
    void EnableScrollBar(bool vertical = true, bool horizontal = false) override;
    CScrollBarUI* GetVerticalScrollBar() const override;
    CScrollBarUI* GetHorizontalScrollBar() const override;

    // Rows are the body's children; a "ListHeader" replaces an empty header;
    // a "ListHeaderItem" joins the header.
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    bool SetItemIndex(CControlUI* control, int index) override;
    bool MoveItems(CControlUI* first, int count, int index) override;
    int GetCount() const override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control, bool keep = false) override;
    bool RemoveAt(int index, bool keep = false) override;
    void RemoveAll() override;

    ListItemStyle* GetItemStyle() override;
    int GetSelectedIndex() const override;
    // Scrolls the row into view, focuses it when asked and sends
    // "itemselect" (new index, old index).
    bool SelectItem(int index, bool takeFocus = false, bool notify = true) override;
    bool ExpandItem(int index, bool expand = true) override;
    int GetExpandedItem() const override;
    CListHeaderUI* GetHeader() const override;
    CListBodyUI* GetBody() const override;
    IListTextProviderUI* GetTextProvider() const override;
    void SetTextProvider(IListTextProviderUI* provider) override;

    bool IsScrollSelect() const { return m_scrollSelect; }
    void SetScrollSelect(bool scrollSelect) { m_scrollSelect = scrollSelect; }
    void EnsureVisible(int index);
    void Scroll(int dx, int dy);
    // Column rectangles from the header's items, shifted by the body's
    // horizontal scroll position.
    void ReadColumns();

private:
    bool IsHeaderControl(CControlUI* control) const;
    bool IsHeaderItem(CControlUI* control) const;
    bool AddHeader(CControlUI* header);
    void SetHeaderItemsInternVisible(bool visible);
    void SelectFound(int index);

    bool m_scrollSelect = false;
    int m_selected = -1;
    int m_expanded = -1;
    IListTextProviderUI* m_textProvider = nullptr;
    CListBodyUI* m_body = nullptr;      // child 1
    CListHeaderUI* m_header = nullptr;  // child 0; null after its removal
    ListItemStyle m_style;
    CListRowKeeper m_rows;
};

}  // namespace CalUI
