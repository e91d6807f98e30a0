#include "controls/NativeWindowPlace.h"

namespace CalUI {

RECT ClipToAncestors(const CControlUI& control, RECT area)
{
    const RECT nothing = {0, 0, 0, 0};
    for (CControlUI* ancestor = control.GetParent(); ancestor != nullptr; ancestor = ancestor->GetParent()) {
        if (!ancestor->IsVisible())
            return nothing;
        const RECT client = ancestor->GetClientPos();
        RECT common;
        if (!::IntersectRect(&common, &area, &client))
            return nothing;
        area = common;
    }
    return area;
}

}  // namespace CalUI
