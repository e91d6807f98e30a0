#pragma once
// Bit operators for scoped enumerations that are sets of flags. A scoped
// enumeration has none, which keeps event types and result codes from being
// mixed by accident; a flag set asks for them by name, right after its
// declaration:
//     template <> inline constexpr bool kEnumIsFlagSet<UIFindFlag> = true;

#include <type_traits>

namespace CalUI {

template <class E>
inline constexpr bool kEnumIsFlagSet = false;

template <class E>
concept FlagSet = std::is_enum_v<E> && kEnumIsFlagSet<E>;

// The plain number, for fields and messages that carry the bits untyped.
template <FlagSet E>
constexpr std::underlying_type_t<E> ToBits(E flags)
{
    return static_cast<std::underlying_type_t<E>>(flags);
}

template <FlagSet E>
constexpr E FromBits(std::underlying_type_t<E> bits)
{
    return static_cast<E>(bits);
}

template <FlagSet E>
constexpr E operator|(E a, E b)
{
    return static_cast<E>(ToBits(a) | ToBits(b));
}

template <FlagSet E>
constexpr E operator&(E a, E b)
{
    return static_cast<E>(ToBits(a) & ToBits(b));
}

// Every bit of the underlying type flips, not only the named ones, as with
// the plain numbers this replaces.
template <FlagSet E>
constexpr E operator~(E a)
{
    return static_cast<E>(~ToBits(a));
}

template <FlagSet E>
constexpr E& operator|=(E& a, E b)
{
    return a = a | b;
}

template <FlagSet E>
constexpr E& operator&=(E& a, E b)
{
    return a = a & b;
}

// True when `flags` holds at least one of `bits`.
template <FlagSet E>
constexpr bool HasAny(E flags, E bits)
{
    return ToBits(flags & bits) != 0;
}

}  // namespace CalUI
