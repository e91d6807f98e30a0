#pragma once
// The control that holds children: it owns them in z-order, places them
// inside its rectangle less an inset, scrolls them with optional scroll bars,
// paints them clipped to its client area and finds controls among them.
// Every layout derives from it, overrides SetPos to arrange the children and
// then calls UpdateScrollBars.

#include "core/ControlUI.h"
#include "core/UIInterfaces.h"
#include "core/UIPtrArray.h"

namespace CalUI {

class CScrollBarUI;

// Values of the "childalign" attribute.
enum class UIChildAlign : int
{
    Left = 0,
    Center = 1,
    Right = 2,
};

// Values of the "childvalign" attribute. They do not overlap the horizontal
// ones, so the two still fit one number where both are kept together.
enum class UIChildVAlign : int
{
    Top = 0,
    Center = 4,
    Bottom = 8,
};

class CContainerUI : public CControlUI, public IContainerUI
{
public:
    CContainerUI();
    ~CContainerUI() override;

    LPCWSTR GetClass() const override;
    void* GetInterface(LPCWSTR name) override;

    // ---- Items (the IContainerUI face) -------------------------------------------
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    bool SetItemIndex(CControlUI* control, int newIndex) override;
    bool MoveItems(CControlUI* first, int count, int newIndex) override;
    int GetCount() const override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control, bool keep = false) override;
    bool RemoveAt(int index, bool keep = false) override;
    void RemoveAll() override;

    // ---- Settings ----------------------------------------------------------------
    virtual RECT GetInset() const;
    virtual void SetInset(RECT inset);
    virtual int GetChildPadding() const;
    virtual void SetChildPadding(int padding);  // negative becomes 0
    virtual UIChildAlign GetChildAlign() const;
    virtual void SetChildAlign(UIChildAlign align);
    virtual UIChildVAlign GetChildVAlign() const;
    virtual void SetChildVAlign(UIChildVAlign align);
    virtual bool IsAutoDestroy() const;
    virtual void SetAutoDestroy(bool autoDestroy);
    virtual bool IsDelayedDestroy() const;
    virtual void SetDelayedDestroy(bool delayed);
    virtual bool IsMouseChildEnabled() const;
    virtual void SetMouseChildEnabled(bool enable = true);
    // The first selectable list item from `index` on (backward: at or before
    // it, else the first of all), or -1. Walks GetCount and GetItemAt.
    virtual int FindSelectable(int index, bool forward = true) const;

    // ---- Scrolling (ContainerScroll.cpp) -------------------------------------------
    virtual SIZE GetScrollPos() const;
    virtual SIZE GetScrollRange() const;
    virtual void SetScrollPos(SIZE pos, bool notify = true);
    virtual void LineUp();
    virtual void LineDown();
    virtual void PageUp();
    virtual void PageDown();
    virtual void ScrollToTop();
    // Carried out after the next paint, once the layout computed the range.
    virtual void ScrollToBottom();
    virtual void LineLeft();
    virtual void LineRight();
    virtual void PageLeft();
    virtual void PageRight();
    virtual void ScrollToLeft();
    virtual void ScrollToRight();
    virtual void EnableScrollBar(bool vertical = true, bool horizontal = false);
    virtual CScrollBarUI* GetVerticalScrollBar() const;
    virtual CScrollBarUI* GetHorizontalScrollBar() const;

    // ---- Layout ----------------------------------------------------------------------
    virtual void SetFloatPos(int index);
    // Shows, hides and sizes the bars for children needing that much room in
    // `rc`; lays the container out again when a bar came or went.
    virtual void UpdateScrollBars(RECT rc, int neededWidth, int neededHeight);

    // ---- Overrides of the base control -------------------------------------------
    void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true) override;
    RECT GetClientPos() const override;
    void SetPos(RECT rc, bool invalidate = true) override;
    void Move(SIZE offset, bool invalidate = true) override;
    void SetVisible(bool show = true) override;
    void SetInternVisible(bool show = true) override;
    void SetMouseEnabled(bool enable = true) override;
    CControlUI* FindControl(FindControlProc proc, void* data, UIFindFlag flags) override;
    void OnEvent(UIEvent& event) override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;
    bool OnPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) override;
    void PostPaint(HDC hdc) override;

protected:
    CControlUI* ChildAt(int index) const;
    // The position less the inset.
    RECT GetInsetPos() const;
    // Takes a child out of the list and destroys it as the destroy flags say.
    bool DetachItem(int index, bool keep);
    void DestroyChild(CControlUI* child);
    // Every child out of the list, destroyed as the destroy flags say.
    void DestroyAllChildren();
    // A size change along an axis empties that axis's visible bar.
    void ResetBarsForNewSize(const RECT& rc);
    // SetPos again at the current place, as UpdateScrollBars needs.
    void Relayout(bool invalidate);
    // A layout asked for at the same place as the last one, with nothing
    // marked changed at or below the container since, keeps every child
    // where it is: the position is stored as SetPos stores it and the
    // answer is true. A layout that does its work ends with
    // KeepLayoutUnchanged.
    bool KeepsLayout(const RECT& rc, bool invalidate);
    bool IsBarShown(const CScrollBarUI* bar) const;
    bool IsBarActive(const CScrollBarUI* bar) const;
    // The children as the container paints them: inside the client area, float
    // children over the whole container; false when the stop control came.
    bool PaintChildren(HDC hdc, const RECT& paint, CControlUI* stopControl);

    CUIPtrArray m_items;  // owned CControlUI* while auto-destroy is on
    RECT m_inset = {0, 0, 0, 0};
    int m_childPadding = 0;
    UIChildAlign m_childAlign = UIChildAlign::Left;
    UIChildVAlign m_childVAlign = UIChildVAlign::Top;
    bool m_autoDestroy = true;
    bool m_delayedDestroy = false;
    bool m_mouseChildEnabled = true;
    bool m_scrollRelayout = false;  // UpdateScrollBars is laying out again
    bool m_scrollToBottomPending = false;
    CScrollBarUI* m_verticalScrollBar = nullptr;    // owned
    CScrollBarUI* m_horizontalScrollBar = nullptr;  // owned

private:
    CScrollBarUI* CreateScrollBar(bool horizontal);
    void DeleteScrollBar(CScrollBarUI*& bar);
    void UpdateSingleBar(CScrollBarUI* bar, int overflow, const RECT& barPos);
    void UpdateBothBars(RECT rc, int neededWidth, int neededHeight);
    // Sets the bar's range to `overflow`; hides an emptied bar. Returns
    // whether the position went down.
    bool ResizeBarRange(CScrollBarUI* bar, int overflow);
    int VerticalLineStep() const;
    int HorizontalLineStep() const;
    int VerticalPage() const;
    int HorizontalPage() const;
    bool HandleScrollKey(UINT key);
    bool HandleWheel(const UIEvent& event);
    bool PaintFloatChildren(HDC hdc, const RECT& paint, CControlUI* stopControl);
};

}  // namespace CalUI
