#pragma once
// The "align" and "valign" attribute families shared by the text controls,
// the list owners and the header items: each turns DrawText format bits.

#include <windows.h>

namespace CalUI {

// "left", "center" and "right" are each applied when present, in that
// order, so the last one named in that order wins.
UINT ApplyHorizontalAlign(UINT format, LPCWSTR value);
// Only "vcenter" centres vertically; "center" means nothing here.
UINT ApplyVerticalAlign(UINT format, LPCWSTR value);

}  // namespace CalUI
