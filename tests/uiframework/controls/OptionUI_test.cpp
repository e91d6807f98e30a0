// Options and check boxes in a real layered window: groups by posted clicks,
// the notifications they send, groups that stay in their window and
// members destroyed at run time; looks read from the window's off-screen
// pixels. One window serves most tests: each starts with the mouse parked
// over the empty corner, nothing focused and the group's first member
// selected.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ClickableTestWindow.h"
#include "GeometryText.h"
#include "controls/OptionUI.h"
#include "core/ContainerUI.h"
#include "core/UIPtrArray.h"

using namespace CalUI;

namespace {

constexpr DWORD kBlue = 0x0000FF;
constexpr DWORD kGreen = 0x00FF00;
constexpr DWORD kRed = 0xFF0000;
constexpr DWORD kYellow = 0xFFFF00;
constexpr DWORD kCyan = 0x00FFFF;
constexpr DWORD kGrey = 0x808080;
constexpr POINT kParking = {390, 290};
constexpr POINT kScreenPlace = {600, 420};
constexpr POINT kSecondScreenPlace = {1050, 420};

// Normal blue, hot cyan, pushed red, selected green, selected and hot
// yellow, disabled grey.
constexpr wchar_t kImages[] =
    L" normalimage=\"color='#FF0000FF'\" hotimage=\"color='#FF00FFFF'\" pushedimage=\"color='#FFFF0000'\""
    L" selectedimage=\"color='#FF00FF00'\" selectedhotimage=\"color='#FFFFFF00'\""
    L" disabledimage=\"color='#FF808080'\"";

std::wstring OptionAt(LPCWSTR element, LPCWSTR name, int x, int y, const std::wstring& attributes)
{
    return L"<" + std::wstring(element) + L" name=\"" + name + L"\" float=\"true\" pos=\"" + std::to_wstring(x) + L"," +
           std::to_wstring(y) + L"," + std::to_wstring(x + 100) + L"," + std::to_wstring(y + 30) + L"\" " + attributes +
           L"/>";
}

const std::wstring kSkin =
    OptionAt(L"Option", L"o1", 10, 10, L"group=\"g\" selected=\"true\"" + std::wstring(kImages)) +
    OptionAt(L"Option", L"o2", 120, 10, L"group=\"g\"" + std::wstring(kImages)) +
    OptionAt(L"Option", L"o3", 230, 10, L"group=\"g\"" + std::wstring(kImages)) +
    OptionAt(L"Option", L"lone", 10, 50, kImages) +
    OptionAt(L"Option", L"offsel", 120, 50, L"enabled=\"false\" selected=\"true\"" + std::wstring(kImages)) +
    OptionAt(L"CheckBox", L"check", 230, 50, kImages) +
    OptionAt(L"Option", L"texts", 10, 90,
             L"text=\"MMMM\" font=\"1\" textcolor=\"#FFFF0000\" selectedtextcolor=\"#FF00FF00\""
             L" bkcolor=\"#FF101010\" selectedbkcolor=\"#FF303030\"");

constexpr wchar_t kFonts[] = L"<Font id=\"1\" name=\"Arial\" size=\"26\" bold=\"true\"/>";

using Notes = std::vector<std::wstring>;

class Option : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ui = new ClickableTestWindow(kScreenPlace, kSkin, kFonts);
        notesWhileBuilt = new Notes(ui->TakeNotifications());
    }
    static void TearDownTestSuite()
    {
        delete ui;
        delete notesWhileBuilt;
    }

    void SetUp() override
    {
        ui->MoveTo(kParking.x, kParking.y);
        ui->window.manager.SetFocus(nullptr);
        Named(L"o1")->SetSelected(true, false);
        Named(L"lone")->SetSelected(false, false);
        Named(L"check")->SetSelected(false, false);
        Named(L"texts")->SetSelected(false, false);
        ui->Repaint();
        ui->TakeNotifications();
    }

    static COptionUI* Named(LPCWSTR name) { return ui->Find<COptionUI>(name, L"Option"); }

    static std::vector<bool> GroupSelection()
    {
        return {Named(L"o1")->IsSelected(), Named(L"o2")->IsSelected(), Named(L"o3")->IsSelected()};
    }

    static DWORD Shown(int x, int y)
    {
        ui->Repaint();
        return ui->Rgb(x, y);
    }

    static CContainerUI* Root() { return static_cast<CContainerUI*>(ui->window.manager.GetRoot()); }

    static ClickableTestWindow* ui;
    static Notes* notesWhileBuilt;
};

ClickableTestWindow* Option::ui = nullptr;
Notes* Option::notesWhileBuilt = nullptr;

// ---- Groups and toggling --------------------------------------------------------

TEST_F(Option, ClickInAGroupSelectsOnlyTheClickedMemberWhichAloneReports)
{
    ui->Click(170, 25);
    EXPECT_EQ(GroupSelection(), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(ui->TakeNotifications(), (Notes{L"mouseenter o2", L"click o2", L"selectchanged o2"}));

    ui->Click(170, 25);
    EXPECT_EQ(GroupSelection(), (std::vector<bool>{false, true, false})) << "the selected member stays selected";
    EXPECT_EQ(ui->TakeNotifications(), (Notes{L"click o2"}));

    ui->Click(280, 25);
    EXPECT_EQ(GroupSelection(), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(ui->TakeNotifications(), (Notes{L"mouseleave o2", L"mouseenter o3", L"click o3", L"selectchanged o3"}));
}

TEST_F(Option, UngroupedOptionAndCheckBoxToggleOnEveryClick)
{
    struct Case
    {
        LPCWSTR name;
        POINT at;
    } cases[] = {{L"lone", {60, 65}}, {L"check", {280, 65}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        const std::wstring name = c.name;
        ui->Click(c.at.x, c.at.y);
        EXPECT_TRUE(Named(c.name)->IsSelected());
        ui->Click(c.at.x, c.at.y);
        EXPECT_FALSE(Named(c.name)->IsSelected());
        ui->MoveTo(kParking.x, kParking.y);
        EXPECT_EQ(ui->TakeNotifications(), (Notes{L"mouseenter " + name, L"click " + name, L"selectchanged " + name,
                                                  L"click " + name, L"selectchanged " + name, L"mouseleave " + name}));
    }
    auto* check = ui->Find<CCheckBoxUI>(L"check", L"CheckBox");
    ASSERT_NE(check, nullptr);
    ui->Click(280, 65);
    EXPECT_TRUE(check->GetCheck());
    check->SetSelected(false);
    EXPECT_FALSE(check->GetCheck());
}

TEST_F(Option, SelectedInTheSkinReportsWhileTheWindowIsBuilt)
{
    // Two, in the order of the skin; the group's first member and the
    // disabled one.
    Notes selections;
    for (const std::wstring& note : *notesWhileBuilt) {
        if (note.rfind(L"selectchanged", 0) == 0)
            selections.push_back(note);
    }
    EXPECT_EQ(selections, (Notes{L"selectchanged o1", L"selectchanged offsel"}));
    EXPECT_TRUE(Named(L"offsel")->IsSelected());
}

TEST_F(Option, SelectingInCodeKeepsTheGroupAndReportsOnlyWhenAsked)
{
    Named(L"o3")->SetSelected(true, false);
    EXPECT_EQ(GroupSelection(), (std::vector<bool>{false, false, true}));
    EXPECT_TRUE(ui->TakeNotifications().empty());
    Named(L"o3")->SetSelected(false, true);
    EXPECT_EQ(GroupSelection(), (std::vector<bool>{false, false, false}));
    EXPECT_TRUE(ui->TakeNotifications().empty()) << "a grouped option does not report losing the selection";
    Named(L"o2")->SetSelected(true, true);
    EXPECT_EQ(ui->TakeNotifications(), (Notes{L"selectchanged o2"}));
}

TEST_F(Option, MovingToAnotherGroupLeavesTheOldOne)
{
    COptionUI* o3 = Named(L"o3");
    o3->SetGroup(L"other");
    EXPECT_EQ(ui->window.manager.GetOptionGroup(L"g")->GetCount(), 2);
    EXPECT_EQ(ui->window.manager.GetOptionGroup(L"other")->GetCount(), 1);
    ui->Click(280, 25);
    EXPECT_EQ(GroupSelection(), (std::vector<bool>{true, false, true})) << "o1 is in another group now";
    o3->SetGroup(L"");
    EXPECT_EQ(ui->window.manager.GetOptionGroup(L"other"), nullptr) << "an emptied group goes";
    ui->Click(280, 25);
    EXPECT_FALSE(o3->IsSelected()) << "without a group it toggles";
    o3->SetGroup(L"g");
    o3->SetSelected(false, false);
    EXPECT_EQ(ui->window.manager.GetOptionGroup(L"g")->GetCount(), 3);
}

// A member created at run time joins when it is added; destroyed, it leaves
// the group, and selecting another member reaches only the living ones.
TEST_F(Option, DestroyedMemberLeavesItsGroup)
{
    for (bool selectedWhenDestroyed : {false, true}) {
        SCOPED_TRACE(selectedWhenDestroyed);
        auto* extra = new COptionUI;
        extra->SetName(L"extra");
        extra->SetGroup(L"g");
        ASSERT_TRUE(Root()->Add(extra));
        CUIPtrArray* group = ui->window.manager.GetOptionGroup(L"g");
        ASSERT_NE(group, nullptr);
        ASSERT_EQ(group->GetCount(), 4);
        extra->SetSelected(selectedWhenDestroyed, true);

        ASSERT_TRUE(Root()->Remove(extra));
        group = ui->window.manager.GetOptionGroup(L"g");
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->GetCount(), 3);
        EXPECT_LT(group->Find(extra), 0);

        ui->TakeNotifications();
        ui->Click(170, 25);
        EXPECT_EQ(GroupSelection(), (std::vector<bool>{false, true, false}));
        ui->MoveTo(kParking.x, kParking.y);
        EXPECT_EQ(ui->TakeNotifications(),
                  (Notes{L"mouseenter o2", L"click o2", L"selectchanged o2", L"mouseleave o2"}));
        Named(L"o1")->SetSelected(true, false);
    }
}

TEST_F(Option, GroupsBelongToOneWindow)
{
    ClickableTestWindow second(kSecondScreenPlace,
                               OptionAt(L"Option", L"p1", 10, 10, L"group=\"g\" selected=\"true\"") +
                                   OptionAt(L"Option", L"p2", 120, 10, L"group=\"g\""));
    EXPECT_EQ(second.window.manager.GetOptionGroup(L"g")->GetCount(), 2);
    EXPECT_EQ(ui->window.manager.GetOptionGroup(L"g")->GetCount(), 3);
    second.Click(170, 25);
    EXPECT_TRUE(second.Find<COptionUI>(L"p2", L"Option")->IsSelected());
    EXPECT_FALSE(second.Find<COptionUI>(L"p1", L"Option")->IsSelected());
    EXPECT_EQ(GroupSelection(), (std::vector<bool>{true, false, false})) << "the first window's group is untouched";
    ui->Click(280, 25);
    EXPECT_TRUE(second.Find<COptionUI>(L"p2", L"Option")->IsSelected());
}

TEST_F(Option, CheckBoxIsAClassOfItsOwnThatAnswersAsAnOption)
{
    CControlUI* check = ui->Find(L"check");
    EXPECT_STREQ(check->GetClass(), L"CheckBox");
    for (LPCWSTR name : {L"CheckBox", L"Option", L"Button", L"Label", L"Control"})
        EXPECT_EQ(check->GetInterface(name), check) << name;
    EXPECT_EQ(check->GetInterface(L"checkbox"), nullptr);
    EXPECT_EQ(ui->Find(L"o1")->GetInterface(L"CheckBox"), nullptr);
    EXPECT_STREQ(ui->Find(L"o1")->GetClass(), L"Option");
}

TEST_F(Option, WithoutAFixedHeightIsAsHighAsItsFontPlusEight)
{
    auto* loose = new COptionUI;
    loose->SetFixedWidth(70);
    ASSERT_TRUE(Root()->Add(loose));
    const int fontHeight = ui->window.manager.GetDefaultFontInfo()->textMetrics.tmHeight;
    EXPECT_GT(fontHeight, 0);
    EXPECT_EQ(loose->EstimateSize({500, 500}), (SIZE{70, fontHeight + 8}));
    loose->SetFixedHeight(12);
    EXPECT_EQ(loose->EstimateSize({500, 500}), (SIZE{70, 12}));
    Root()->Remove(loose);
}

// ---- Looks ----------------------------------------------------------------------

TEST_F(Option, SelectedSelectedHotAndUnselectedLooks)
{
    EXPECT_EQ(Shown(60, 25), kGreen) << "selected";
    EXPECT_EQ(Shown(170, 25), kBlue) << "not selected";
    ui->MoveTo(60, 25);
    EXPECT_EQ(Shown(60, 25), kYellow) << "selected and hot";
    ui->MoveTo(170, 25);
    EXPECT_EQ(Shown(170, 25), kCyan) << "hot";
    ui->Press(170, 25);
    EXPECT_EQ(Shown(170, 25), kCyan) << "pressed: never the pushed image";
    ui->Release(170, 25);
    EXPECT_EQ(Shown(170, 25), kYellow) << "selected by the click, still hot";
    EXPECT_EQ(Shown(60, 25), kBlue);
}

TEST_F(Option, DisabledOptionShowsTheDisabledImageAndKeepsOnlyItsSelection)
{
    COptionUI* offsel = Named(L"offsel");
    EXPECT_EQ(Shown(170, 65), kGrey);
    ui->MoveTo(170, 65);
    ui->Click(170, 65);
    EXPECT_EQ(Shown(170, 65), kGrey);
    EXPECT_TRUE(offsel->IsSelected());

    COptionUI* o2 = Named(L"o2");
    o2->SetSelected(true, false);
    ui->MoveTo(170, 25);
    ui->Press(170, 25);
    ASSERT_TRUE(HasAny(o2->GetButtonState(), UIControlState::Hot | UIControlState::Pushed));
    o2->SetEnabled(false);
    EXPECT_EQ(o2->GetButtonState(), UIControlState::Selected);
    EXPECT_EQ(Shown(170, 25), kGrey);
    ui->Release(170, 25);
    o2->SetEnabled(true);
    EXPECT_TRUE(o2->IsSelected());
    EXPECT_EQ(Shown(170, 25), kGreen);
    o2->SetSelected(false, false);
}

TEST_F(Option, SelectedTextAndBackgroundColours)
{
    const RECT area = {12, 92, 108, 118};
    auto countOf = [&](DWORD rgb) { return ui->CountPixels(area, [rgb](DWORD p) { return p == rgb; }); };
    ui->Repaint();
    EXPECT_EQ(ui->Rgb(11, 91), 0x101010u);
    EXPECT_GT(countOf(kRed), 20);
    EXPECT_EQ(countOf(kGreen), 0);
    Named(L"texts")->SetSelected(true, false);
    ui->Repaint();
    EXPECT_EQ(ui->Rgb(11, 91), 0x303030u);
    EXPECT_GT(countOf(kGreen), 20);
    EXPECT_EQ(countOf(kRed), 0);
    EXPECT_EQ(Named(L"texts")->GetTextColor(), 0xFFFF0000u) << "the selected colour stands in for one paint only";
}

}  // namespace
