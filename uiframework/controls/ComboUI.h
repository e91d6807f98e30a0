#pragma once
// The drop-down list ("Combo", "ComboBox"): a button-like control that shows
// its selected row's text and, when activated, opens a popup window
// ("ComboWnd") listing its rows in a drop body. The combo is a container
// whose children are its rows and their owner; while the popup is open the
// rows sit in the popup's tree, and they come back to the combo whenever the
// popup goes, also when the combo or its window goes first. The combo owns
// its rows and the popup object; the drop body never destroys a row.

#include "controls/ListInterfaces.h"
#include "controls/ListRowKeeper.h"
#include "controls/VerticalLayoutUI.h"
#include "core/UIInterfaces.h"
#include "core/WindowManagerUI.h"
#include "core/WindowWnd.h"

namespace CalUI {

class CComboUI;

// The popup's root: it paints the rows like a list body, in the combo's style.
class CComboBodyUI : public CVerticalLayoutUI
{
public:
    explicit CComboBodyUI(CComboUI* owner);
    bool OnPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) override;

private:
    CComboUI* m_owner;
};

class CComboWnd : public CWindowWnd, public INotifyUI
{
public:
    // Opens the popup under (or, near the work area's bottom, above) the
    // combo. False, leaving nothing open, when the window cannot be made.
    bool Init(CComboUI* owner);
    // Scrolls the row into view; nothing for a missing row or no selection.
    void EnsureVisible(int index);
    void Scroll(int dx, int dy);
    // Gives the rows back and destroys the window at once.
    void CloseNow();

    LPCWSTR GetWindowClassName() const override;  // "ComboWnd"
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;  // deletes this popup
    void Notify(NotifyMsg& msg) override;

    CWindowManagerUI* GetManager() { return &m_manager; }
    CComboBodyUI* GetBody() const { return m_body; }

private:
    void CreateBody();
    // The rows go back to the combo's tree; safe to call more than once.
    void ReturnRows();
    bool IsScrollBarAt(POINT point);

    CWindowManagerUI m_manager;
    CComboUI* m_owner = nullptr;
    CComboBodyUI* m_body = nullptr;  // owned by m_manager as its root
    int m_oldSelection = -1;
    bool m_scrollBarPressed = false;
    bool m_rowsReturned = false;
    bool m_creating = false;  // Init owns the object until the window exists
};

class CComboUI : public CContainerUI, public IListOwnerUI
{
public:
    CComboUI();
    ~CComboUI() override;

    LPCWSTR GetClass() const override;          // "Combo"
    void* GetInterface(LPCWSTR name) override;  // "Combo", "IListOwner"
    UIControlFlag GetControlFlags() const override;
    // Opens the popup and sends "dropdown".
    bool Activate() override;
    CUIString GetText() const override;  // the selected row's, empty without one
    // Rows keep empty rectangles while they are at home, and are left alone
    // while they are in the popup.
    void SetPos(RECT rc, bool invalidate = true) override;
    void Move(SIZE offset, bool invalidate = true) override;
    void SetEnabled(bool enable = true) override;
    void OnEvent(UIEvent& event) override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;
    SIZE EstimateSize(SIZE available) override;
    bool OnPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) override;
    void PaintStatusImage(HDC hdc) override;
    void PaintText(HDC hdc) override;

    ListItemStyle* GetItemStyle() override;
    int GetSelectedIndex() const override;
    // An index past the last row selects the last; sends "itemselect".
    bool SelectItem(int index, bool takeFocus = false, bool notify = true) override;
    bool ExpandItem(int index, bool expand = true) override;  // false
    int GetExpandedItem() const override;                     // -1

    // Each closes an open popup first, so the rows are home when they change.
    bool SetItemIndex(CControlUI* control, int index) override;
    bool MoveItems(CControlUI* first, int count, int index) override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control, bool keep = false) override;
    bool RemoveAt(int index, bool keep = false) override;
    void RemoveAll() override;

    void SetCloseOnSelect(bool close) { m_closeOnSelect = close; }
    bool IsDropped() const { return m_dropWindow != nullptr; }
    CComboWnd* GetDropWindow() const { return m_dropWindow; }
    SIZE GetDropBoxSize() const { return m_dropBoxSize; }
    const CUIString& GetDropBoxAttributeList() const { return m_dropBoxAttributes; }
    RECT GetDropBorderSize() const { return m_dropBorderSize; }
    DWORD GetDropBorderColor() const { return m_dropBorderColor; }
    DWORD GetDropBkColor() const { return m_dropBkColor; }
    bool IsMouseWheelEnabled() const { return m_mouseWheel; }
    // The stored "vscrollbar", "hscrollbar", "vscrollbarstyle" and
    // "hscrollbarstyle" values, empty when not set.
    const CUIString& GetScrollBarAttribute(LPCWSTR name) const;

private:
    friend class CComboWnd;

    // The combo's own child list, seen by the row keeper.
    class OwnRows : public IContainerUI
    {
    public:
        explicit OwnRows(CComboUI& combo) : m_combo(combo) {}
        CControlUI* GetItemAt(int index) const override;
        int GetItemIndex(CControlUI* control) const override;
        bool SetItemIndex(CControlUI* control, int index) override;
        bool MoveItems(CControlUI* first, int count, int index) override;
        int GetCount() const override;
        bool Add(CControlUI* control) override;
        bool AddAt(CControlUI* control, int index) override;
        bool Remove(CControlUI* control, bool keep) override;
        bool RemoveAt(int index, bool keep) override;
        void RemoveAll() override;

    private:
        CComboUI& m_combo;
    };

    enum class ButtonState : unsigned
    {
        Focused = 0x01,
        Disabled = 0x04,
        Hot = 0x08,
        Pushed = 0x10,
        Captured = 0x40,
    };
    bool Has(ButtonState bit) const { return (m_buttonState & static_cast<unsigned>(bit)) != 0; }
    void Set(ButtonState bit, bool on);
    void CloseDropWindow();
    void DropWindowGone();
    // Key and wheel steps select without closing an open popup; nothing
    // selectable ahead leaves the selection as it is.
    void StepTo(int index);
    void EmptyRowRects();

    CComboWnd* m_dropWindow = nullptr;
    int m_selected = -1;
    bool m_showText = true;
    bool m_closeOnSelect = true;
    RECT m_textPadding = {0, 0, 0, 0};
    CUIString m_dropBoxAttributes;
    CUIString m_vScrollBar;
    CUIString m_vScrollBarStyle;
    CUIString m_hScrollBar;
    CUIString m_hScrollBarStyle;
    SIZE m_dropBoxSize = {0, 150};
    unsigned m_buttonState = 0;
    int m_font = -1;
    DWORD m_textColor = 0;
    DWORD m_disabledTextColor = 0;
    UINT m_textStyle = DT_VCENTER | DT_SINGLELINE;
    RECT m_dropBorderSize = {0, 0, 0, 0};
    DWORD m_dropBorderColor = 0xFF000000;
    DWORD m_dropBkColor = 0xFF000000;
    ImageDrawInfo m_normalImage;
    ImageDrawInfo m_hotImage;
    ImageDrawInfo m_pushedImage;
    ImageDrawInfo m_focusedImage;
    ImageDrawInfo m_disabledImage;
    ListItemStyle m_style;
    int m_textRenderingHint = 4;  // "rhaa": kept for skins; text is drawn with GDI
    bool m_mouseWheel = true;
    OwnRows m_ownRows;
    CListRowKeeper m_rows;
};

}  // namespace CalUI
