#pragma once
// The room a layout of this folder places its children in, as every one of
// them works it out at the start of SetPos, once its own position is stored,
// and the arithmetic they place the children with.

#include "core/ContainerUI.h"

namespace CalUI {

struct LayoutArea
{
    RECT client;     // the position less inset and visible scroll bars
    SIZE scrollPos;  // of the visible bars; 0 along an axis without one
    SIZE scrollRange;
    SIZE available;  // the client size plus the visible bars' ranges
};

LayoutArea LayoutAreaOf(const CContainerUI& layout);

// Sums and products of sizes from a skin are formed in 64 bits, where no
// value of any skin wraps, and brought back into a RECT's range where they
// are stored.
using LayoutSum = long long;
LONG ToRectRange(LayoutSum value);
RECT RectInRange(LayoutSum left, LayoutSum top, LayoutSum right, LayoutSum bottom);

}  // namespace CalUI
