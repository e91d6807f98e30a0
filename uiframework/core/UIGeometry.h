#pragma once
#include <windows.h>

namespace CalUI {

// A rectangle with RECT's layout, usable wherever a RECT is expected.
class CUIRect : public RECT
{
public:
    CUIRect();
    CUIRect(const RECT& rc);
    CUIRect(int left, int top, int right, int bottom);

    void UnionWith(const RECT& other);
    void MoveToOrigin();
    void Offset(int dx, int dy);
};

// A size with SIZE's layout, usable wherever a SIZE is expected.
class CUISize : public SIZE
{
public:
    CUISize(int cx = 0, int cy = 0);
};

static_assert(sizeof(CUIRect) == sizeof(RECT));
static_assert(sizeof(CUISize) == sizeof(SIZE));

}  // namespace CalUI
