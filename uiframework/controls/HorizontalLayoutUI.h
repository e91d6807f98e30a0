#pragma once
// The layout that places its children from left to right
// ("HorizontalLayout", "HBox"). A child without a fixed width (unless it
// calculates its own) or with an estimated width of 0 shares what is left,
// the last such child taking the remainder of the division; the others keep
// their width within minimum and maximum. Heights fill the client height
// unless the child has a fixed, maximum or estimated height; "childvalign"
// places shorter children. Content wider than the client area sizes the
// horizontal scroll bar. A "sepwidth" strip lets the user drag the layout's
// own width (see SeparatorLayoutUI.h).

#include <utility>

#include "controls/SeparatorLayoutUI.h"

namespace CalUI {

struct LayoutArea;

class CHorizontalLayoutUI : public CSeparatorLayoutUI
{
public:
    CHorizontalLayoutUI();

    LPCWSTR GetClass() const override;
    void* GetInterface(LPCWSTR name) override;
    void SetPos(RECT rc, bool invalidate = true) override;

    int GetSepWidth() const;
    void SetSepWidth(int width);  // negative: the strip lies along the left edge

private:
    struct Measure;
    Measure MeasureChildren(SIZE available) const;
    bool TakesASharedWidth(const CControlUI* child, SIZE estimate) const;
    // The child's top and bottom.
    std::pair<long long, long long> ChildRowSpan(const LayoutArea& area, const RECT& padding, int height) const;
};

}  // namespace CalUI
