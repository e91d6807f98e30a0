// The bit operators of the flag sets, and the event classes that controls
// test with plain range compares.
#include "core/ControlUI.h"
#include "core/EnumFlags.h"
#include "core/SkinArchive.h"
#include "core/UIEvent.h"

#include <gtest/gtest.h>

#include "EnumPrinters.h"

using namespace CalUI;

namespace {

template <class E>
concept Combinable = requires(E a)
{
    a | a;
    a& a;
    ~a;
};

// Only the sets that asked for the operators have them: event types and
// archive results stay values that cannot be or-ed together by mistake.
static_assert(Combinable<UIFindFlag> && Combinable<UIControlFlag> && Combinable<UIKeyState>);
static_assert(!Combinable<UIEventType> && !Combinable<ZipResult>);

// Flag constants are made at compile time (kTabStopFindFlags and the like).
static_assert(HasAny(UIFindFlag::Visible | UIFindFlag::SelfFirst, UIFindFlag::SelfFirst));

TEST(EnumFlags, HasAnyIsTrueForOneSharedBit)
{
    struct Case
    {
        const char* what;
        UIFindFlag flags;
        UIFindFlag bits;
        bool expected;
    };
    const Case cases[] = {
        {"the bit alone", UIFindFlag::HitTest, UIFindFlag::HitTest, true},
        {"one of several set", UIFindFlag::Visible | UIFindFlag::HitTest, UIFindFlag::HitTest, true},
        {"another bit", UIFindFlag::Visible | UIFindFlag::HitTest, UIFindFlag::Enabled, false},
        {"any of the asked bits, not all", UIFindFlag::Visible, UIFindFlag::Visible | UIFindFlag::Enabled, true},
        {"nothing set", UIFindFlag::All, UIFindFlag::Visible, false},
        {"nothing asked", UIFindFlag::Visible | UIFindFlag::TopFirst, UIFindFlag::All, false},
        {"the top bit", UIFindFlag::SelfFirst, UIFindFlag::SelfFirst, true},
        {"the top bit among low ones", UIFindFlag::Visible | UIFindFlag::SelfFirst, UIFindFlag::SelfFirst, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HasAny(c.flags, c.bits), c.expected) << c.what;
}

TEST(EnumFlags, ClearingABitKeepsTheOthers)
{
    UIFindFlag flags = UIFindFlag::Visible | UIFindFlag::Enabled;
    flags |= UIFindFlag::SelfFirst;
    flags &= ~UIFindFlag::Enabled;
    EXPECT_EQ(ToBits(flags), 0x80000001u);
    EXPECT_TRUE(HasAny(flags, UIFindFlag::SelfFirst));
    EXPECT_FALSE(HasAny(flags, UIFindFlag::Enabled));

    // The compound forms give back the variable itself, so they chain.
    UIControlFlag control = UIControlFlag::None;
    (control |= UIControlFlag::TabStop) |= UIControlFlag::SetCursor;
    EXPECT_EQ(ToBits(control), 0x3u);
}

// UIEvent::keyState is a plain word that holds either the manager's key bits
// or a mouse message's MK_ bits; both read back through FromBits.
TEST(EnumFlags, KeyStateWordRoundTrip)
{
    UIEvent event;
    event.keyState = ToBits(UIKeyState::Shift | UIKeyState::Alt);
    const UIKeyState state = FromBits<UIKeyState>(event.keyState);
    EXPECT_TRUE(HasAny(state, UIKeyState::Alt));
    EXPECT_FALSE(HasAny(state, UIKeyState::Control));

    event.keyState = MK_LBUTTON | MK_CONTROL;
    const UIKeyState mouse = FromBits<UIKeyState>(event.keyState);
    EXPECT_TRUE(HasAny(mouse, UIKeyState::LeftButton));
    EXPECT_TRUE(HasAny(mouse, UIKeyState::Control));
    EXPECT_FALSE(HasAny(mouse, UIKeyState::RightButton | UIKeyState::Shift));
}

TEST(UIEventClasses, KeyAndMouseRangesHoldExactlyTheirEvents)
{
    using T = UIEventType;
    const T keys[] = {T::KeyDown, T::KeyUp, T::Char, T::SysKey};
    const T mouse[] = {T::MouseMove,   T::MouseLeave,  T::MouseEnter,      T::MouseHover,    T::ButtonDown, T::ButtonUp,
                       T::DoubleClick, T::ContextMenu, T::RightButtonDown, T::RightButtonUp, T::ScrollWheel};
    const T others[] = {T::KillFocus, T::SetFocus, T::WindowSize, T::SetCursor, T::Timer};
    for (T type : keys) {
        EXPECT_TRUE(IsKeyEvent(type)) << testing::PrintToString(type);
        EXPECT_FALSE(IsMouseEvent(type)) << testing::PrintToString(type);
    }
    for (T type : mouse) {
        EXPECT_TRUE(IsMouseEvent(type)) << testing::PrintToString(type);
        EXPECT_FALSE(IsKeyEvent(type)) << testing::PrintToString(type);
    }
    for (T type : others) {
        EXPECT_FALSE(IsKeyEvent(type) || IsMouseEvent(type)) << testing::PrintToString(type);
    }
}

}  // namespace
