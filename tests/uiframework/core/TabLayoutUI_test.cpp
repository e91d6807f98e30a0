// The tab layout in a real window: which page shows, the "tabselect"
// notification, the current index through insertions and removals, and where
// the current page is placed.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LayoutTestControls.h"
#include "ManagedWindow.h"
#include "builder/SkinBuilder.h"
#include "core/TabLayoutUI.h"

using namespace CalUI;

namespace {

constexpr wchar_t kThreePages[] = L"<Window><TabLayout name=\"tabs\" inset=\"10,10,10,10\" selectedid=\"1\">"
                                  L"<Control name=\"p0\"/><Control name=\"p1\"/><Control name=\"p2\"/>"
                                  L"</TabLayout></Window>";

// The pages' names and whether each shows, as "p0+ p1- ...".
std::wstring Pages(CTabLayoutUI* tabs)
{
    std::wstring text;
    for (int i = 0; i < tabs->GetCount(); ++i) {
        CControlUI* page = tabs->GetItemAt(i);
        text += page->GetName().GetData();
        text += page->IsVisible() ? L"+ " : L"- ";
    }
    return text;
}

std::vector<ReceivedNotify> TabSelects(const ManagedWindow& window)
{
    return NotificationsOfType(window, L"tabselect");
}

class TabLayoutTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CSkinBuilder builder;
        CControlUI* root = builder.Create(kThreePages, nullptr, nullptr, &window.manager);
        ASSERT_NE(nullptr, root);
        tabs = static_cast<CTabLayoutUI*>(root->GetInterface(L"TabLayout"));
        ASSERT_NE(nullptr, tabs);
        window.Attach(root);
    }

    ManagedWindow window;
    CTabLayoutUI* tabs = nullptr;
};

}  // namespace

TEST_F(TabLayoutTest, SkinSelectionShowsOnePageAndTellsTheWindow)
{
    EXPECT_EQ(1, tabs->GetSelectedIndex());
    EXPECT_EQ(L"p0- p1+ p2- ", Pages(tabs));
    const std::vector<ReceivedNotify> selects = TabSelects(window);
    ASSERT_EQ(1u, selects.size());
    EXPECT_EQ(L"tabs", selects[0].sender);
    EXPECT_EQ(1u, selects[0].wParam);
    EXPECT_EQ(0, selects[0].lParam);
    // The name goes on to the base control as well.
    EXPECT_STREQ(L"1", tabs->GetCustomAttribute(L"selectedid"));
}

TEST(TabLayoutWithoutSelection, ShowsTheFirstPageAndHidesTheOthers)
{
    ManagedWindow window;
    CSkinBuilder builder;
    CControlUI* root = builder.Create(L"<Window><TabLayout><Control name=\"p0\"/><Control name=\"p1\"/>"
                                      L"<Control name=\"p2\"/></TabLayout></Window>",
                                      nullptr, nullptr, &window.manager);
    ASSERT_NE(nullptr, root);
    auto* tabs = static_cast<CTabLayoutUI*>(root->GetInterface(L"TabLayout"));
    ASSERT_NE(nullptr, tabs);
    window.Attach(root);
    EXPECT_EQ(0, tabs->GetSelectedIndex());
    EXPECT_EQ(L"p0+ p1- p2- ", Pages(tabs));
    EXPECT_EQ((RECT{0, 0, 400, 300}), tabs->GetItemAt(0)->GetPos());
    EXPECT_TRUE(TabSelects(window).empty());
}

TEST_F(TabLayoutTest, SelectItemSwitchesAndNotifiesOnlyOnAChange)
{
    window.notifications.clear();
    EXPECT_TRUE(tabs->SelectItem(1));
    EXPECT_FALSE(tabs->SelectItem(3));
    EXPECT_FALSE(tabs->SelectItem(-1));
    EXPECT_TRUE(TabSelects(window).empty());

    EXPECT_TRUE(tabs->SelectItem(2, false));
    EXPECT_TRUE(TabSelects(window).empty());
    EXPECT_TRUE(tabs->SelectItem(0));
    EXPECT_EQ(L"p0+ p1- p2- ", Pages(tabs));
    const std::vector<ReceivedNotify> selects = TabSelects(window);
    ASSERT_EQ(1u, selects.size());
    EXPECT_EQ(0u, selects[0].wParam);
    EXPECT_EQ(2, selects[0].lParam);
}

TEST_F(TabLayoutTest, RemovingPagesKeepsTheCurrentIndexRight)
{
    tabs->SelectItem(2);
    CControlUI* last = tabs->GetItemAt(2);
    ASSERT_TRUE(tabs->Remove(tabs->GetItemAt(0)));
    EXPECT_EQ(1, tabs->GetSelectedIndex());  // the same page, one place up
    EXPECT_EQ(last, tabs->GetItemAt(1));

    window.notifications.clear();
    ASSERT_TRUE(tabs->Remove(last));
    EXPECT_EQ(0, tabs->GetSelectedIndex());  // the first page takes over
    EXPECT_EQ(L"p1+ ", Pages(tabs));
    EXPECT_TRUE(TabSelects(window).empty());

    ASSERT_TRUE(tabs->Remove(tabs->GetItemAt(0)));
    EXPECT_EQ(-1, tabs->GetSelectedIndex());
    auto* fresh = new CountedControl;
    ASSERT_TRUE(tabs->Add(fresh));
    EXPECT_EQ(0, tabs->GetSelectedIndex());  // the first visible page becomes current
    EXPECT_TRUE(fresh->IsVisible());
    tabs->RemoveAll();
    EXPECT_EQ(-1, tabs->GetSelectedIndex());
}

TEST_F(TabLayoutTest, InsertingBeforeTheCurrentPageMovesItsIndex)
{
    auto* before = new CountedControl;
    before->SetName(L"before");
    ASSERT_TRUE(tabs->AddAt(before, 0));
    EXPECT_EQ(2, tabs->GetSelectedIndex());
    EXPECT_EQ(L"p1", std::wstring(tabs->GetItemAt(2)->GetName().GetData()));

    auto* after = new CountedControl;
    after->SetName(L"after");
    ASSERT_TRUE(tabs->AddAt(after, 4));
    EXPECT_FALSE(after->IsVisible());
    auto* appended = new CountedControl;
    ASSERT_TRUE(tabs->Add(appended));
    EXPECT_FALSE(appended->IsVisible());
    EXPECT_EQ(2, tabs->GetSelectedIndex());
}

TEST_F(TabLayoutTest, PlacesOnlyTheCurrentPageWithinItsPaddingAndLimits)
{
    // 400 x 300 less the inset of 10 all round.
    CControlUI* current = tabs->GetItemAt(1);
    EXPECT_EQ((RECT{10, 10, 390, 290}), current->GetPos());
    EXPECT_EQ((RECT{0, 0, 0, 0}), tabs->GetItemAt(0)->GetPos());

    auto* sized = new CountedControl(100, 0);  // wants 100 wide, any height
    sized->SetPadding(RECT{5, 6, 7, 8});
    sized->SetMaxHeight(200);
    tabs->Add(sized);
    tabs->SelectItem(3);
    tabs->SetPos(RECT{0, 0, 400, 300});
    EXPECT_EQ((RECT{15, 16, 115, 216}), sized->GetPos());
}
