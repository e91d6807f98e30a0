#pragma once
// The room a layout of this folder places its children in, as every one of
// them works it out at the start of SetPos, once its own position is stored.

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

}  // namespace CalUI
