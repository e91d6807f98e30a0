#pragma once
// Readers for the value forms of skin attributes: colours, rectangles, pairs,
// booleans. Short or malformed values read as 0 for the missing parts and
// never read past the end of the text.

#include <windows.h>

namespace CalUI {

// "AARRGGBB" with optional leading blanks and one optional '#'.
DWORD ParseColorValue(LPCWSTR value);
// Four integers separated by one character each: "l,t,r,b".
RECT ParseRectValue(LPCWSTR value);
// Two integers separated by one character: "cx,cy".
SIZE ParseSizeValue(LPCWSTR value);
// Booleans are exactly "true".
bool IsTrueValue(LPCWSTR value);

}  // namespace CalUI
