#pragma once
// A list's header ("ListHeader"): a horizontal layout of header items
// ("ListHeaderItem"), at most 64 of which count as the list's columns. An
// item is a caption button that reports "headerclick" and can be resized by
// dragging a separator strip at one edge; after the list's next layout its
// rectangle is the column of every row below. The header owns its items as
// any container does.

#include "controls/HorizontalLayoutUI.h"

namespace CalUI {

class CListHeaderUI : public CHorizontalLayoutUI
{
public:
    LPCWSTR GetClass() const override;          // "ListHeader"
    void* GetInterface(LPCWSTR name) override;  // this for "ListHeader"
    // The fixed height, else the tallest item but at least the default font
    // height + 8; the width of all items, hidden ones too.
    SIZE EstimateSize(SIZE available) override;
};

class CListHeaderItemUI : public CControlUI
{
public:
    CListHeaderItemUI();

    LPCWSTR GetClass() const override;          // "ListHeaderItem"
    void* GetInterface(LPCWSTR name) override;  // this for "ListHeaderItem"
    // Wants the set-cursor event while enabled with a separator strip.
    UIControlFlag GetControlFlags() const override;
    void SetEnabled(bool enable = true) override;
    void OnEvent(UIEvent& event) override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;
    SIZE EstimateSize(SIZE available) override;
    void PaintStatusImage(HDC hdc) override;
    void PaintText(HDC hdc) override;

    bool IsDragable() const { return m_dragable; }
    void SetDragable(bool dragable);  // false also ends a drag
    // > 0: a strip that wide at the right edge; < 0: at the left edge; 0: none.
    int GetSepWidth() const { return m_sepWidth; }
    void SetSepWidth(int width) { m_sepWidth = width; }
    void SetTextColor(DWORD color);  // colours without alpha become opaque
    DWORD GetTextColor() const { return m_textColor; }
    void SetSepColor(DWORD color);
    void SetFont(int font);
    void SetTextPadding(RECT padding);
    void SetShowHtml(bool showHtml);
    UINT GetTextStyle() const { return m_textStyle; }
    RECT GetSeparatorRect() const;

private:
    enum class DragState : unsigned
    {
        None = 0,
        Hot = 0x08,
        Pushed = 0x10,
        Dragging = 0x40,
    };
    bool Has(DragState bit) const { return (m_state & static_cast<unsigned>(bit)) != 0; }
    void Set(DragState bit, bool on);
    void RelayoutList();
    void DragTo(POINT point);

    POINT m_lastMouse = {0, 0};
    bool m_dragable = true;
    unsigned m_state = 0;
    int m_sepWidth = 4;
    DWORD m_textColor = 0;  // 0: the window's default, taken at the first paint
    DWORD m_sepColor = 0;   // 0: no line
    int m_font = -1;
    UINT m_textStyle = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    bool m_showHtml = false;
    RECT m_textPadding = {2, 0, 2, 0};
    ImageDrawInfo m_normalImage;
    ImageDrawInfo m_hotImage;
    ImageDrawInfo m_pushedImage;
    ImageDrawInfo m_focusedImage;
    ImageDrawInfo m_sepImage;
};

}  // namespace CalUI
