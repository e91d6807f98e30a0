#include "core/AttributeValues.h"

#include <cwchar>

namespace CalUI {

namespace {

// Reads one integer and steps over the single separator after it, staying on
// the terminator when the text ends early.
long ReadInteger(LPCWSTR& p)
{
    LPWSTR end = nullptr;
    const long value = std::wcstol(p, &end, 10);
    p = end;
    if (*p != L'\0')
        ++p;
    return value;
}

}  // namespace

DWORD ParseColorValue(LPCWSTR value)
{
    while (*value == L' ')
        ++value;
    if (*value == L'#')
        ++value;
    return static_cast<DWORD>(std::wcstoul(value, nullptr, 16));
}

RECT ParseRectValue(LPCWSTR value)
{
    RECT rc;
    rc.left = ReadInteger(value);
    rc.top = ReadInteger(value);
    rc.right = ReadInteger(value);
    rc.bottom = ReadInteger(value);
    return rc;
}

SIZE ParseSizeValue(LPCWSTR value)
{
    SIZE size;
    size.cx = ReadInteger(value);
    size.cy = ReadInteger(value);
    return size;
}

bool IsTrueValue(LPCWSTR value) { return std::wcscmp(value, L"true") == 0; }

}  // namespace CalUI
