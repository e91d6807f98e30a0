#include "controls/LayoutArea.h"

#include <algorithm>
#include <climits>

namespace CalUI {

LayoutArea LayoutAreaOf(const CContainerUI& layout)
{
    LayoutArea area;
    area.client = layout.GetClientPos();
    // The layout's own bars: a control that forwards its scrolling to an
    // inner container (the list to its body) does not move its own children.
    area.scrollPos = layout.CContainerUI::GetScrollPos();
    area.scrollRange = layout.CContainerUI::GetScrollRange();
    area.available = {
        ToRectRange(LayoutSum{area.client.right} - area.client.left + area.scrollRange.cx),
        ToRectRange(LayoutSum{area.client.bottom} - area.client.top + area.scrollRange.cy),
    };
    return area;
}

LONG ToRectRange(LayoutSum value) { return static_cast<LONG>(std::clamp<LayoutSum>(value, INT_MIN, INT_MAX)); }

RECT RectInRange(LayoutSum left, LayoutSum top, LayoutSum right, LayoutSum bottom)
{
    return RECT{ToRectRange(left), ToRectRange(top), ToRectRange(right), ToRectRange(bottom)};
}

}  // namespace CalUI
