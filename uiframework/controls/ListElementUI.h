#pragma once
// The rows of a list or combo box that are plain controls: the element base,
// the one-text label row that measures itself ("ListLabelElement", the rows of
// the client's combo boxes) and the text row with one text per header column
// and up to eight clickable links ("ListTextElement"). They draw themselves
// from their owner's item style and report "itemclick", "itemactivate" and
// "link"; selecting one makes the owner send "itemselect".
//
// A row belongs to the container it was added to; its owner is only read.

#include "controls/ListRowState.h"
#include "core/ControlUI.h"
#include "core/UIPtrArray.h"

namespace CalUI {

class CListElementUI : public CControlUI, public IListItemUI
{
public:
    LPCWSTR GetClass() const override;          // "ListElement"
    void* GetInterface(LPCWSTR name) override;  // the row face for "IListItem"
    UIControlFlag GetControlFlags() const override;
    bool Activate() override;  // sends "itemactivate"
    void SetVisible(bool show = true) override;
    void SetEnabled(bool enable = true) override;
    void OnEvent(UIEvent& event) override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;

    int GetIndex() const override;
    void SetIndex(int index) override;
    int GetVisibleRow() const override;
    void SetVisibleRow(int row) override;
    IListOwnerUI* GetOwner() const override;
    void SetOwner(CControlUI* owner) override;
    bool IsSelected() const override;
    bool Select(bool select = true, bool notify = true) override;
    bool IsExpanded() const override;          // false
    bool Expand(bool expand = true) override;  // false
    void LeaveOwner() override;

    void DrawItemBk(HDC hdc, const RECT& rc);
    bool IsHot() const { return m_row.hot; }

protected:
    // To the owner, or to the base control without one.
    void PassToOwner(UIEvent& event);

    ListRowState m_row;
};

class CListLabelElementUI : public CListElementUI
{
public:
    LPCWSTR GetClass() const override;  // "ListLabelElement"
    void* GetInterface(LPCWSTR name) override;
    void SetText(LPCWSTR text) override;
    void SetFixedWidth(int cx) override;
    void SetFixedHeight(int cy) override;
    void OnEvent(UIEvent& event) override;
    // (0, 0) without an owner; the fixed sizes without a window to measure in.
    SIZE EstimateSize(SIZE available) override;
    bool OnPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) override;

    void SetOwner(CControlUI* owner) override;
    void PaintItemText(HDC hdc, const RECT& rc) override;

protected:
    // Measures `text` as the owner's style draws it, within `available`.
    SIZE MeasureText(LPCWSTR text, SIZE available, const ListItemStyle& style);
    // Whether the style values of the last measurement still hold; stores
    // the new ones when not.
    bool StyleChangedSinceEstimate(const ListItemStyle& style);

    SIZE m_estimated = {0, 0};
    bool m_needsEstimate = true;
    SIZE m_lastAvailable = {0, 0};
    int m_cachedItemHeight = 0;
    int m_cachedFont = -1;
    UINT m_cachedTextStyle = 0;
    RECT m_cachedPadding = {0, 0, 0, 0};
};

class CListTextElementUI : public CListLabelElementUI
{
public:
    static constexpr int kMaxLinks = 8;

    ~CListTextElementUI() override;

    LPCWSTR GetClass() const override;  // "ListTextElement"
    void* GetInterface(LPCWSTR name) override;
    // Also wants the set-cursor event while enabled and holding links.
    UIControlFlag GetControlFlags() const override;
    void OnEvent(UIEvent& event) override;
    SIZE EstimateSize(SIZE available) override;

    void SetOwner(CControlUI* owner) override;
    void LeaveOwner() override;
    void PaintItemText(HDC hdc, const RECT& rc) override;

    // Null for a column without a text.
    LPCWSTR GetColumnText(int column) const;
    int GetLinkCount() const { return m_linkCount; }
    const RECT& GetLinkRect(int link) const { return m_linkRects[link]; }

private:
    // The provider's text for the column, else the row's own.
    LPCWSTR TextOfColumn(int column);
    // The text measured and drawn without columns.
    LPCWSTR SingleText();
    int LinkAt(POINT point) const;

    int m_linkCount = 0;
    RECT m_linkRects[kMaxLinks] = {};
    CUIString m_linkTexts[kMaxLinks];
    int m_hoveredLink = -1;
    IListUI* m_ownerList = nullptr;
    CUIPtrArray m_columnTexts;  // owned CUIString*, null for a column without text
    CUIString m_lastText;
    int m_lastColumnsWidth = 0;
};

}  // namespace CalUI
