#include "controls/LayoutArea.h"

#include <algorithm>
#include <climits>

namespace CalUI {

LayoutArea LayoutAreaOf(const CContainerUI& layout)
{
    LayoutArea area;
    area.client = layout.GetClientPos();
    area.scrollPos = layout.GetScrollPos();
    area.scrollRange = layout.GetScrollRange();
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
