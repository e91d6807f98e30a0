#pragma once
// The option: a button with a selected state. Alone it toggles on every
// click; with a "group" name it is a radio button: selecting it unselects
// the other members of that group in the same window. The check box is the
// option under its own class name, with GetCheck.
//
// Groups live in the window's paint manager, so a group never reaches into
// another window. An option joins its group once it has a manager and a
// group name (while its skin is built, or when it is attached to the
// window) and leaves it on SetGroup to another name or when it is
// destroyed. A grouped option reports "selectchanged" only for gaining the
// selection; the members that lose it stay silent. A click sends "click"
// before "selectchanged".

#include "controls/ButtonUI.h"

namespace CalUI {

class COptionUI : public CButtonUI
{
public:
    COptionUI();
    ~COptionUI() override;

    LPCWSTR GetClass() const override;          // "Option"
    void* GetInterface(LPCWSTR name) override;  // this for "Option"
    // The button's activation ("click"), then a grouped option selects
    // itself and a lone one toggles. False while hidden or disabled.
    bool Activate() override;
    void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true) override;
    // A disabled option keeps its selected bit and nothing else.
    void SetEnabled(bool enable = true) override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;
    // The fixed size; without a fixed height, the fixed width and the
    // font's height plus 8. The text is not measured.
    SIZE EstimateSize(SIZE available) override;
    void PaintBkColor(HDC hdc) override;
    void PaintStatusImage(HDC hdc) override;
    void PaintText(HDC hdc) override;

    bool IsSelected() const;
    // Nothing when unchanged. Selecting a grouped option unselects the other
    // members; `notify` sends "selectchanged", except for a grouped option
    // that lost the selection.
    virtual void SetSelected(bool selected, bool notify = true);

    const CUIString& GetGroup() const;
    // Leaves the current group and joins the named one; empty: no group.
    void SetGroup(LPCWSTR name);

    void SetSelectedImage(LPCWSTR image);
    void SetSelectedHotImage(LPCWSTR image);
    // The option's own fore image, drawn after its state images.
    void SetForeImage(LPCWSTR image);
    DWORD GetSelectedBkColor() const;
    void SetSelectedBkColor(DWORD color);
    DWORD GetSelectedTextColor() const;
    void SetSelectedTextColor(DWORD color);

private:
    void JoinGroup();
    void LeaveGroup();
    void UnselectOtherMembers(bool notify);
    // Runs `paint` as the button, with the pushed bit cleared for it: a
    // pressed option never shows the pushed look.
    template <class PaintStep>
    void PaintAsUnpushedButton(PaintStep paint);

    bool m_selected = false;
    CUIString m_group;
    DWORD m_selectedBkColor = 0;
    DWORD m_selectedTextColor = 0;
    ImageDrawInfo m_selectedImage;
    ImageDrawInfo m_selectedHotImage;
    ImageDrawInfo m_optionForeImage;
};

// The option as a check box: the tree view's nodes ask it GetCheck.
class CCheckBoxUI : public COptionUI
{
public:
    LPCWSTR GetClass() const override;          // "CheckBox"
    void* GetInterface(LPCWSTR name) override;  // this for "CheckBox", then as the option
    bool GetCheck() const;                      // IsSelected
};

}  // namespace CalUI
