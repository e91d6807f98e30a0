#pragma once
// The layout that stacks its children from top to bottom ("VerticalLayout",
// "VBox"). Each child gets its estimated height within its minimum and
// maximum; children whose estimate is 0 share what is left, the last of them
// taking the remainder of the division. Widths fill the client width unless
// the child has a fixed, maximum or estimated width; "childalign" places
// narrower children. Content taller than the client area sizes the vertical
// scroll bar. A "sepheight" strip lets the user drag the layout's own height
// (see SeparatorLayoutUI.h).

#include "controls/SeparatorLayoutUI.h"

namespace CalUI {

struct LayoutArea;

class CVerticalLayoutUI : public CSeparatorLayoutUI
{
public:
    CVerticalLayoutUI();

    LPCWSTR GetClass() const override;
    void* GetInterface(LPCWSTR name) override;
    void SetPos(RECT rc, bool invalidate = true) override;

    int GetSepHeight() const;
    void SetSepHeight(int height);  // negative: the strip lies along the top edge

private:
    struct Measure;
    Measure MeasureChildren(SIZE available) const;
    long long ChildLeft(const LayoutArea& area, const RECT& padding, int width) const;
};

}  // namespace CalUI
