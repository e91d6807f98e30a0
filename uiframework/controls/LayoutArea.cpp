#include "controls/LayoutArea.h"

namespace CalUI {

LayoutArea LayoutAreaOf(const CContainerUI& layout)
{
    LayoutArea area;
    area.client = layout.GetClientPos();
    area.scrollPos = layout.GetScrollPos();
    area.scrollRange = layout.GetScrollRange();
    area.available = {area.client.right - area.client.left + area.scrollRange.cx,
                      area.client.bottom - area.client.top + area.scrollRange.cy};
    return area;
}

}  // namespace CalUI
