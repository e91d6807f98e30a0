// Controls made from element names.

#include <algorithm>

#include <gtest/gtest.h>

#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

#include "builder/ControlFactory.h"
#include "core/ControlUI.h"
#include "core/ScrollBarUI.h"

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
        // "I..." names and "WantTab" answer with that face, the rest with the control
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
        {L"Edit", L"Edit", {L"Edit", L"Label", L"Control"}},
        {L"DateTime", L"DateTime", {L"DateTime", L"Label", L"Control"}},
        {L"GifAnim", L"GifAnim", {L"GifAnim", L"Label", L"Control"}},
        {L"ApngAnim", L"ApngAnim", {L"ApngAnim", L"GifAnim", L"Label", L"Control"}},
        {L"GifButton", L"GifButton", {L"GifButton", L"GifAnim", L"Label", L"Control"}},
        {L"ApngButton", L"ApngButton", {L"ApngButton", L"ApngAnim", L"GifAnim", L"Label", L"Control"}},
        {L"ChrysanthemumLoading", L"ChrysanthemumLoading", {L"ChrysanthemumLoading", L"Control"}},
        {L"RotateImage", L"RotateImage", {L"RotateImage", L"Control"}},
        {L"RichEdit", L"RichEdit", with({L"RichEdit", L"WantTab"}, container)},
        {L"ActiveX", L"ActiveX", {L"ActiveX", L"Control"}},
        {L"WebBrowser", L"WebBrowser", {L"WebBrowser", L"ActiveX", L"Control"}},
        {L"List", L"List", with({L"List", L"IList", L"IListOwner", L"VerticalLayout"}, container)},
        {L"Combo", L"Combo", with({L"Combo", L"IListOwner"}, container)},
        {L"ComboBox", L"Combo", with({L"Combo", L"IListOwner"}, container)},
        {L"TreeView", L"TreeView", with({L"TreeView", L"List", L"IList", L"IListOwner", L"VerticalLayout"}, container)},
        {L"Tree", L"TreeView", with({L"TreeView", L"List", L"IList", L"IListOwner", L"VerticalLayout"}, container)},
        {L"TreeNode", L"TreeNode",
         with({L"TreeNode", L"ITreeNodeRow", L"ListContainerElement", L"IListItem"}, container)},
        {L"ListHeader", L"ListHeader", with({L"ListHeader", L"HorizontalLayout"}, container)},
        {L"ListHeaderItem", L"ListHeaderItem", {L"ListHeaderItem", L"Control"}},
        {L"ListLabelElement", L"ListLabelElement", {L"ListLabelElement", L"ListElement", L"IListItem", L"Control"}},
        {L"ListTextElement",
         L"ListTextElement",
         {L"ListTextElement", L"ListLabelElement", L"ListElement", L"IListItem", L"Control"}},
        {L"ListContainerElement", L"ListContainerElement", with({L"ListContainerElement", L"IListItem"}, container)},
        {L"ListHBoxElement", L"ListHBoxElement",
         with({L"ListHBoxElement", L"ListContainerElement", L"IListItem"}, container)},
    };
    // Names of other families, each refused wherever it is not one of the
    // control's own answers.
    const LPCWSTR otherFamilies[] = {L"Edit",     L"RichEdit",  L"List",    L"Combo",
                                     L"TreeView", L"IListItem", L"GifAnim", L"ActiveX"};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.element)));
        CControlUI* control = CreateControlByElementName(c.element);
        ASSERT_NE(control, nullptr);
        EXPECT_STREQ(control->GetClass(), c.className);
        for (LPCWSTR name : c.answers) {
            SCOPED_TRACE(testing::PrintToString(std::wstring(name)));
            const bool interfaceFace = (name[0] == L'I' && iswupper(name[1])) || std::wcscmp(name, L"WantTab") == 0;
            if (interfaceFace)
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
        for (LPCWSTR name : otherFamilies) {
            const bool own = std::any_of(c.answers.begin(), c.answers.end(),
                                         [name](LPCWSTR answer) { return std::wcscmp(answer, name) == 0; });
            if (!own) {
                EXPECT_EQ(control->GetInterface(name), nullptr) << testing::PrintToString(std::wstring(name));
            }
        }
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
