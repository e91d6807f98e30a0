#pragma once
// The scroll bar's model: range, position, scroll unit and direction, and the
// "scroll" notification its owner's window receives when the position moves.
// A container creates one per direction, owns it and drives it.

#include "core/ControlUI.h"

namespace CalUI {

class CContainerUI;

class CScrollBarUI : public CControlUI
{
public:
    CScrollBarUI();

    LPCWSTR GetClass() const override;
    void* GetInterface(LPCWSTR name) override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;

    CContainerUI* GetOwner() const;
    void SetOwner(CContainerUI* owner);

    bool IsHorizontal() const;
    void SetHorizontal(bool horizontal = true);

    int GetScrollRange() const;
    void SetScrollRange(int range);  // negative becomes 0
    int GetScrollPos() const;
    // A burst of moves reaches the window as one "scroll" notification
    // (wParam the new position, lParam the old one).
    void SetScrollPos(int pos, bool notify = true);
    int GetLineSize() const;
    int GetScrollUnit() const;  // above 1: the owner's line step

private:
    static constexpr int kThickness = 16;

    void Relayout();

    CContainerUI* m_owner = nullptr;
    bool m_horizontal = false;
    int m_range = 100;
    int m_scrollPos = 0;
    int m_lineSize = 8;
    int m_scrollUnit = 1;
};

}  // namespace CalUI
