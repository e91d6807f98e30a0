#pragma once
// Running text that wraps, with up to eight clickable links when its markup
// is on ("showhtml"). The links are those the last paint drew: their
// rectangles (window coordinates) and targets live until the next paint.
// Over a link the cursor is a hand and a hovered link is drawn in the
// window's link hover colour; releasing the left button over link i sends
// "link" with wParam i. A disabled text shows its links but answers none.

#include "controls/LabelUI.h"

namespace CalUI {

class CTextUI : public CLabelUI
{
public:
    static constexpr int kMaxLinks = 8;

    // Top-left, word-wrapped text with 2 pixels of padding left and right.
    CTextUI();
    ~CTextUI() override;

    LPCWSTR GetClass() const override;          // "Text"
    void* GetInterface(LPCWSTR name) override;  // this for "Text"
    // Wants the set-cursor event while enabled and holding links.
    UIControlFlag GetControlFlags() const override;
    void OnEvent(UIEvent& event) override;
    void PaintText(HDC hdc) override;

    int GetLinkCount() const;  // links found by the last paint, 0 to kMaxLinks
    // The link's rectangle in window coordinates; empty outside 0 to count - 1.
    RECT GetLinkRect(int index) const;

private:
    int LinkAt(POINT pt) const;  // -1 when over none
    bool OnLinkMouseEvent(UIEvent& event);
    void ForgetLinks();

    int m_linkCount = 0;
    RECT m_linkRects[kMaxLinks] = {};
    CUIString m_linkTexts[kMaxLinks];
    int m_hoveredLink = -1;
};

}  // namespace CalUI
