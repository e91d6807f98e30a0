#pragma once
// Where a native child window that stands in for a control may show: the
// part of a rectangle that every ancestor leaves visible. The edit and the
// date field place their native windows with it, so that a scrolled or
// hidden container never shows a native window outside itself.

#include <windows.h>

#include "core/ControlUI.h"

namespace CalUI {

// `area` (window client coordinates) cut to the client area of each
// ancestor of `control` in turn; empty as soon as an ancestor is hidden or
// the cut leaves nothing.
RECT ClipToAncestors(const CControlUI& control, RECT area);

}  // namespace CalUI
