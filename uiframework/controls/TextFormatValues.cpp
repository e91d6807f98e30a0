#include "controls/TextFormatValues.h"

#include <cwchar>

namespace CalUI {

namespace {

bool Contains(LPCWSTR value, LPCWSTR word) { return std::wcsstr(value, word) != nullptr; }

}  // namespace

UINT ApplyHorizontalAlign(UINT format, LPCWSTR value)
{
    if (Contains(value, L"left"))
        format &= ~(DT_CENTER | DT_RIGHT);
    if (Contains(value, L"center"))
        format = (format & ~DT_RIGHT) | DT_CENTER;
    if (Contains(value, L"right"))
        format = (format & ~DT_CENTER) | DT_RIGHT;
    return format;
}

UINT ApplyVerticalAlign(UINT format, LPCWSTR value)
{
    if (Contains(value, L"top"))
        format &= ~(DT_VCENTER | DT_BOTTOM);
    if (Contains(value, L"vcenter"))
        format = (format & ~DT_BOTTOM) | DT_VCENTER;
    if (Contains(value, L"bottom"))
        format = (format & ~DT_VCENTER) | DT_BOTTOM;
    return format;
}

}  // namespace CalUI
