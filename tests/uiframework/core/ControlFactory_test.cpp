// Controls made from element names.

#include <gtest/gtest.h>

#include "core/ControlFactory.h"
#include "core/ControlUI.h"
#include "controls/ScrollBarUI.h"

using namespace CalUI;

TEST(ControlFactory, ElementNamesMatchIgnoringCase)
{
    struct Case
    {
        LPCWSTR element;
        LPCWSTR expectedClass;  // null: no control
    };
    const Case cases[] = {
        {L"Control", L"Control"}, {L"control", L"Control"}, {L"SCROLLBAR", L"ScrollBar"},
        {L"ScrollBars", nullptr}, {L"", nullptr},           {nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.element != nullptr ? testing::PrintToString(std::wstring(c.element)) : "null");
        CControlUI* control = CreateControlByElementName(c.element);
        if (c.expectedClass == nullptr) {
            EXPECT_EQ(control, nullptr);
            continue;
        }
        ASSERT_NE(control, nullptr);
        EXPECT_STREQ(control->GetClass(), c.expectedClass);
        control->Delete();
    }
}

TEST(ControlFactory, ANewScrollBarIsAVerticalBarOfTheDefaultModel)
{
    auto* bar = static_cast<CScrollBarUI*>(CreateControlByElementName(L"ScrollBar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetInterface(L"ScrollBar"), bar);
    EXPECT_FALSE(bar->IsHorizontal());
    EXPECT_EQ(bar->GetScrollRange(), 100);
    EXPECT_EQ(bar->GetScrollPos(), 0);
    EXPECT_EQ(bar->GetLineSize(), 8);
    EXPECT_EQ(bar->GetScrollUnit(), 1);
    EXPECT_EQ(bar->GetFixedWidth(), 16);
    bar->SetHorizontal(true);
    EXPECT_EQ(bar->GetFixedWidth(), 0);
    EXPECT_EQ(bar->GetFixedHeight(), 16);
    bar->SetScrollPos(40, false);  // no manager: no notification to send
    EXPECT_EQ(bar->GetScrollPos(), 40);
    bar->Delete();
}
