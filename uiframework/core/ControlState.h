#pragma once
// The state word shared by the button family, the option, the scroll bar's
// parts and the animated buttons. The bits keep the values skins and stored
// states have always used.

#include "core/EnumFlags.h"

namespace CalUI {

enum class UIControlState : unsigned
{
    None = 0,
    Focused = 0x01,
    Selected = 0x02,
    Disabled = 0x04,
    Hot = 0x08,
    Pushed = 0x10,
    Captured = 0x40,  // the left button went down on the control and is still held
};
template <>
inline constexpr bool kEnumIsFlagSet<UIControlState> = true;

}  // namespace CalUI
