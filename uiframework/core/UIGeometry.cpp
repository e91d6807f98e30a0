#include "core/UIGeometry.h"

namespace CalUI {

CUIRect::CUIRect() : CUIRect(0, 0, 0, 0) {}

CUIRect::CUIRect(const RECT& rc) : CUIRect(rc.left, rc.top, rc.right, rc.bottom) {}

CUIRect::CUIRect(int left, int top, int right, int bottom) : RECT{left, top, right, bottom} {}

// An empty rectangle widens the union like any other.
void CUIRect::UnionWith(const RECT& other)
{
    if (other.left < left)
        left = other.left;
    if (other.top < top)
        top = other.top;
    if (other.right > right)
        right = other.right;
    if (other.bottom > bottom)
        bottom = other.bottom;
}

void CUIRect::MoveToOrigin() { Offset(-left, -top); }

void CUIRect::Offset(int dx, int dy)
{
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
}

CUISize::CUISize(int cx, int cy) : SIZE{cx, cy} {}

}  // namespace CalUI
