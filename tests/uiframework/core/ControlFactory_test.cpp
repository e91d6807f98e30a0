// Controls made from element names.

#include <gtest/gtest.h>

#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

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

// Every element name the skins may use, the class it builds and the exact,
// case-sensitive interface names it answers: its own and its bases'. Each
// name is refused in any other case, and names of other families are refused.
TEST(ControlFactory, EveryElementBuildsItsClassAndAnswersExactlyItsInterfaces)
{
    struct Case
    {
        LPCWSTR element;
        LPCWSTR className;
        // "IContainer" and "WantTab" answer with their face, the rest with the control
        std::vector<LPCWSTR> answers;
    };
    const std::vector<LPCWSTR> container = {L"Container", L"IContainer", L"Control"};
    auto with = [](std::vector<LPCWSTR> own, const std::vector<LPCWSTR>& bases) {
        own.insert(own.end(), bases.begin(), bases.end());
        return own;
    };
    const Case cases[] = {
        {L"Control", L"Control", {L"Control"}},
        {L"Container", L"Container", container},
        {L"TabLayout", L"TabLayout", with({L"TabLayout"}, container)},
        {L"ScrollBar", L"ScrollBar", {L"ScrollBar", L"Control"}},
        {L"VerticalLayout", L"VerticalLayout", with({L"VerticalLayout"}, container)},
        {L"VBox", L"VerticalLayout", with({L"VerticalLayout"}, container)},
        {L"HorizontalLayout", L"HorizontalLayout", with({L"HorizontalLayout"}, container)},
        {L"HBox", L"HorizontalLayout", with({L"HorizontalLayout"}, container)},
        {L"TileLayout", L"TileLayout", with({L"TileLayout"}, container)},
        {L"ChildLayout", L"ChildLayout", with({L"ChildLayout"}, container)},
        {L"Label", L"Label", {L"Label", L"Control"}},
        {L"Text", L"Text", {L"Text", L"Label", L"Control"}},
        {L"Progress", L"Progress", {L"Progress", L"Label", L"Control"}},
        {L"Slider", L"Slider", {L"Slider", L"Progress", L"Label", L"Control"}},
        {L"Button", L"Button", {L"Button", L"Label", L"Control"}},
        {L"Option", L"Option", {L"Option", L"Button", L"Label", L"Control"}},
        {L"CheckBox", L"CheckBox", {L"CheckBox", L"Option", L"Button", L"Label", L"Control"}},
        {L"RichEdit", L"RichEdit", with({L"RichEdit", L"WantTab"}, container)},
    };
    const LPCWSTR otherFamilies[] = {L"Edit", L"List", L"Combo", L"TreeView", L"IListItem", L"TreeNode"};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.element)));
        CControlUI* control = CreateControlByElementName(c.element);
        ASSERT_NE(control, nullptr);
        EXPECT_STREQ(control->GetClass(), c.className);
        for (LPCWSTR name : c.answers) {
            SCOPED_TRACE(testing::PrintToString(std::wstring(name)));
            if (std::wcscmp(name, L"IContainer") == 0 || std::wcscmp(name, L"WantTab") == 0)
                EXPECT_NE(control->GetInterface(name), nullptr);
            else
                EXPECT_EQ(control->GetInterface(name), control);
            std::wstring lower(name), upper(name);
            for (wchar_t& ch : lower)
                ch = towlower(ch);
            for (wchar_t& ch : upper)
                ch = towupper(ch);
            EXPECT_EQ(control->GetInterface(lower.c_str()), nullptr);
            EXPECT_EQ(control->GetInterface(upper.c_str()), nullptr);
        }
        for (LPCWSTR name : otherFamilies)
            EXPECT_EQ(control->GetInterface(name), nullptr) << testing::PrintToString(std::wstring(name));
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
