#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/ControlUI.h"
#include "core/DelegateList.h"
#include "GeometryText.h"

using namespace CalUI;

namespace {

#define EXPECT_RECT(actual, l, t, r, b) EXPECT_EQ(RectText(actual), RectText(RECT{l, t, r, b}))

// Records what the base class does through its virtual hooks.
class ProbeControl : public CControlUI
{
public:
    ProbeControl() = default;
    explicit ProbeControl(std::vector<std::wstring>* log) : m_log(log) {}

    void PaintBkColor(HDC) override { Log(L"bkcolor"); }
    void PaintBkImage(HDC) override { Log(L"bkimage"); }
    void PaintStatusImage(HDC) override { Log(L"status"); }
    void PaintText(HDC) override { Log(L"text"); }
    void PaintBorder(HDC) override { Log(L"border"); }
    void OnEvent(UIEvent& event) override
    {
        Log(L"event " + std::to_wstring(static_cast<int>(event.type)));
        CControlUI::OnEvent(event);
    }

    std::wstring name;  // tells log lines of several probes apart

private:
    void Log(const std::wstring& what)
    {
        if (m_log != nullptr)
            m_log->push_back(name.empty() ? what : name + L":" + what);
    }

    std::vector<std::wstring>* m_log = nullptr;
};

// ---- Attributes ---------------------------------------------------------------

TEST(ControlAttributes, EachNameSetsItsProperty)
{
    CControlUI c;
    c.SetAttribute(L"pos", L"10,20,110,70");
    EXPECT_EQ(c.GetFixedXY().cx, 10);
    EXPECT_EQ(c.GetFixedXY().cy, 20);
    EXPECT_EQ(c.GetFixedWidth(), 100);
    EXPECT_EQ(c.GetFixedHeight(), 50);

    c.SetAttribute(L"padding", L"1,2,3,4");
    EXPECT_RECT(c.GetPadding(), 1, 2, 3, 4);
    c.SetAttribute(L"bkcolor", L"  #FF102030");
    EXPECT_EQ(c.GetBkColor(), 0xFF102030u);
    c.SetAttribute(L"bkcolor1", L"80FFFFFF");
    EXPECT_EQ(c.GetBkColor(), 0x80FFFFFFu);
    c.SetAttribute(L"bkcolor2", L"#00000001");
    EXPECT_EQ(c.GetBkColor2(), 1u);
    c.SetAttribute(L"bkcolor3", L"FFABCDEF");
    EXPECT_EQ(c.GetBkColor3(), 0xFFABCDEFu);
    c.SetAttribute(L"bordercolor", L"#FF000010");
    EXPECT_EQ(c.GetBorderColor(), 0xFF000010u);
    c.SetAttribute(L"focusbordercolor", L"FF000020");
    EXPECT_EQ(c.GetFocusBorderColor(), 0xFF000020u);
    c.SetAttribute(L"colorhsl", L"true");
    EXPECT_TRUE(c.IsColorHSL());
    c.SetAttribute(L"bordersize", L"3");
    EXPECT_RECT(c.GetBorderSize(), 3, 3, 3, 3);
    c.SetAttribute(L"bordersize", L"1,2,3,4");
    EXPECT_RECT(c.GetBorderSize(), 1, 2, 3, 4);
    c.SetAttribute(L"borderstyle", L"2");
    EXPECT_EQ(c.GetBorderStyle(), 2);
    c.SetAttribute(L"borderround", L"4,6");
    EXPECT_EQ(c.GetBorderRound().cx, 4);
    EXPECT_EQ(c.GetBorderRound().cy, 6);
    c.SetAttribute(L"bkimage", L"file='a.png' corner='1,1,1,1'");
    EXPECT_STREQ(c.GetBkImage().GetData(), L"file='a.png' corner='1,1,1,1'");
    c.SetAttribute(L"foreimage", L"b.png");
    EXPECT_STREQ(c.GetForeImage().GetData(), L"b.png");
    c.SetAttribute(L"width", L"33");
    c.SetAttribute(L"height", L"44");
    EXPECT_EQ(c.GetFixedWidth(), 33);
    EXPECT_EQ(c.GetFixedHeight(), 44);
    c.SetAttribute(L"minwidth", L"5");
    c.SetAttribute(L"minheight", L"6");
    c.SetAttribute(L"maxwidth", L"500");
    c.SetAttribute(L"maxheight", L"600");
    EXPECT_EQ(c.GetMinWidth(), 5);
    EXPECT_EQ(c.GetMinHeight(), 6);
    EXPECT_EQ(c.GetMaxWidth(), 500);
    EXPECT_EQ(c.GetMaxHeight(), 600);
    c.SetAttribute(L"name", L"okBtn");
    EXPECT_STREQ(c.GetName().GetData(), L"okBtn");
    c.SetAttribute(L"text", L"确定");
    EXPECT_STREQ(c.GetText().GetData(), L"确定");
    c.SetAttribute(L"tooltip", L"first<n>second");
    EXPECT_STREQ(c.GetToolTip().GetData(), L"first\r\nsecond");
    c.SetAttribute(L"userdata", L"u1");
    EXPECT_STREQ(c.GetUserData().GetData(), L"u1");
    c.SetAttribute(L"tag", L"4000000000");
    EXPECT_EQ(c.GetTag(), 4000000000u);
    c.SetAttribute(L"shortcut", L"Save");
    EXPECT_EQ(c.GetShortcut(), L'S');
    c.SetAttribute(L"menu", L"true");
    EXPECT_TRUE(c.IsContextMenuUsed());
    c.SetAttribute(L"virtualwnd", L"page1");
    EXPECT_STREQ(c.GetVirtualWnd().GetData(), L"page1");
    c.SetAttribute(L"mouse", L"false");
    EXPECT_FALSE(c.IsMouseEnabled());
    c.SetAttribute(L"keyboard", L"false");
    EXPECT_FALSE(c.IsKeyboardEnabled());
    c.SetAttribute(L"visible", L"false");
    EXPECT_FALSE(c.IsVisible());
}

TEST(ControlAttributes, BooleansAreExactlyTrueExceptAutoCalc)
{
    struct Case
    {
        const wchar_t* name;
        const wchar_t* value;
        bool expected;
    };
    const Case cases[] = {
        {L"enabled", L"true", true},       {L"enabled", L"True", false},     {L"enabled", L"1", false},
        {L"autocalwidth", L"TRUE", true},  {L"AutoCalWidth", L"true", true}, {L"autocalheight", L"tRuE", true},
        {L"autocalheight", L"yes", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::wstring(c.name).c_str() << "=" << c.value);
        CControlUI control;
        control.SetAttribute(L"enabled", L"false");
        control.SetAttribute(c.name, c.value);
        const bool actual = std::wstring(c.name) == L"enabled"                          ? control.IsEnabled()
                            : std::wstring(c.name).find(L"eight") != std::wstring::npos ? control.IsAutoCalcHeight()
                                                                                        : control.IsAutoCalcWidth();
        EXPECT_EQ(actual, c.expected);
    }
}

TEST(ControlAttributes, FloatTakesABooleanOrFourAnchors)
{
    CControlUI c;
    c.SetAttribute(L"float", L"0.5,0.25,1,0.75");
    EXPECT_TRUE(c.IsFloat());
    const FloatPercent p = c.GetFloatPercent();
    EXPECT_DOUBLE_EQ(p.left, 0.5);
    EXPECT_DOUBLE_EQ(p.top, 0.25);
    EXPECT_DOUBLE_EQ(p.right, 1.0);
    EXPECT_DOUBLE_EQ(p.bottom, 0.75);

    c.SetAttribute(L"float", L"false");
    EXPECT_FALSE(c.IsFloat());
    c.SetAttribute(L"float", L"true");
    EXPECT_TRUE(c.IsFloat());
}

TEST(ControlAttributes, ShortRectanglesReadNoFurtherThanTheirText)
{
    CControlUI c;
    c.SetAttribute(L"padding", L"7");
    EXPECT_RECT(c.GetPadding(), 7, 0, 0, 0);
    c.SetAttribute(L"pos", L"1,2");
    EXPECT_EQ(c.GetFixedXY().cx, 1);
    EXPECT_EQ(c.GetFixedXY().cy, 2);
    c.SetAttribute(L"borderround", L"");
    EXPECT_EQ(c.GetBorderRound().cx, 0);
}

TEST(ControlAttributes, UnknownNamesBecomeCustomAttributesKeepingTheFirstValue)
{
    CControlUI c;
    c.SetAttribute(L"gameid", L"42");
    c.SetAttribute(L"gameid", L"43");
    c.AddCustomAttribute(L"empty", L"");
    c.AddCustomAttribute(nullptr, L"x");
    EXPECT_STREQ(c.GetCustomAttribute(L"gameid"), L"42");
    EXPECT_EQ(c.GetCustomAttribute(L"empty"), nullptr);
    c.RemoveAllCustomAttributes();
    EXPECT_EQ(c.GetCustomAttribute(L"gameid"), nullptr);
    c.AddCustomAttribute(L"gameid", L"44");
    EXPECT_STREQ(c.GetCustomAttribute(L"gameid"), L"44");
}

TEST(ControlAttributes, AttributeListsStopAtTheFirstMalformedPair)
{
    struct Case
    {
        const wchar_t* list;
        const wchar_t* name;
        const wchar_t* text;
    };
    const Case cases[] = {
        {L"name=\"a\" text=\"b c\"", L"a", L"b c"},
        {L"name=\"a\",text=\"b\"", L"a", L""},
        {L"name=\"a\"  text=\"b\"", L"a", L""},
        {L"name=a text=\"b\"", L"", L""},
        {L"name=\"a\" text=\"b", L"a", L""},
        {L"name=\"a\" text", L"a", L""},
        {L"", L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.list);
        CControlUI control;
        control.SetAttributeList(c.list);
        EXPECT_STREQ(control.GetName().GetData(), c.name);
        EXPECT_STREQ(control.GetText().GetData(), c.text);
    }
}

// ---- Size and position rules ----------------------------------------------------

TEST(ControlSize, LimitsIgnoreNegativesAndMaxNeverFallsBelowMin)
{
    CControlUI c;
    c.SetMinWidth(200);
    c.SetMaxWidth(100);
    EXPECT_EQ(c.GetMaxWidth(), 200);
    c.SetMinHeight(10);
    EXPECT_EQ(c.GetMaxHeight(), 9999);

    c.SetFixedWidth(40);
    c.SetFixedWidth(-1);
    c.SetMinWidth(-5);
    c.SetMaxHeight(-5);
    c.SetFixedHeight(-2);
    EXPECT_EQ(c.GetFixedWidth(), 40);
    EXPECT_EQ(c.GetMinWidth(), 200);
    EXPECT_EQ(c.GetMaxHeight(), 9999);
    EXPECT_EQ(c.GetFixedHeight(), 0);
    EXPECT_EQ(c.EstimateSize(SIZE{500, 500}).cx, 40);
}

TEST(ControlPosition, InvertedRectanglesCollapseAndRelativePosNeedsAParent)
{
    CControlUI parent;
    parent.SetPos(RECT{100, 50, 400, 300});
    CControlUI child;
    child.SetPos(RECT{150, 80, 120, 60});
    EXPECT_RECT(child.GetPos(), 150, 80, 150, 80);
    EXPECT_RECT(child.GetRelativePos(), 0, 0, 0, 0);
    child.SetManager(nullptr, &parent, false);
    EXPECT_RECT(child.GetRelativePos(), 50, 30, 50, 30);
    EXPECT_EQ(child.GetX(), 150);
    EXPECT_EQ(child.GetWidth(), 0);
}

TEST(ControlPosition, FloatControlsArePlacedRelativeToTheirParent)
{
    CControlUI parent;
    parent.SetPos(RECT{100, 100, 300, 200});  // 200 x 100

    CControlUI plainFloat;
    plainFloat.SetFloat(true);
    plainFloat.SetManager(nullptr, &parent, false);
    plainFloat.SetPos(RECT{10, 10, 60, 40});
    EXPECT_RECT(plainFloat.GetPos(), 110, 110, 160, 140);
    EXPECT_EQ(plainFloat.GetFixedXY().cx, 10);
    EXPECT_EQ(plainFloat.GetFixedWidth(), 50);
    EXPECT_EQ(plainFloat.GetFixedHeight(), 30);

    // Anchors store the offsets from the anchored fractions of the parent.
    CControlUI anchored;
    anchored.SetAttribute(L"float", L"0.5,0.5,1,1");
    anchored.SetManager(nullptr, &parent, false);
    anchored.SetPos(RECT{110, 60, 190, 95});
    EXPECT_RECT(anchored.GetPos(), 210, 160, 290, 195);
    EXPECT_EQ(anchored.GetFixedXY().cx, 110 - 100);
    EXPECT_EQ(anchored.GetFixedXY().cy, 60 - 50);
    EXPECT_EQ(anchored.GetFixedWidth(), 190 - 200 - 10);
    EXPECT_EQ(anchored.GetFixedHeight(), 95 - 100 - 10);

    CControlUI orphan;
    orphan.SetFloat(true);
    orphan.SetPos(RECT{1, 2, 3, 4});
    EXPECT_RECT(orphan.GetPos(), 0, 0, 0, 0);
}

TEST(ControlPosition, MoveWithoutAManagerShiftsTheControlAndItsCover)
{
    CControlUI control;
    control.SetPos(RECT{10, 10, 50, 30});
    auto* cover = new CControlUI;
    control.SetCover(cover);
    cover->SetPos(RECT{10, 10, 20, 20});
    control.Move(SIZE{5, -3});
    EXPECT_RECT(control.GetPos(), 15, 7, 55, 27);
    EXPECT_RECT(cover->GetPos(), 15, 7, 25, 17);
}

// ---- Visibility ---------------------------------------------------------------

TEST(ControlVisibility, CoverFollowsTheVisibilityOfItsOwner)
{
    CControlUI control;
    auto* cover = new CControlUI;
    control.SetCover(cover);
    EXPECT_TRUE(cover->IsVisible());

    control.SetVisible(false);
    EXPECT_FALSE(control.IsVisible());
    EXPECT_FALSE(cover->IsVisible());
    control.SetVisible(true);
    EXPECT_TRUE(cover->IsVisible());

    control.SetInternVisible(false);
    EXPECT_FALSE(control.IsVisible());
    EXPECT_FALSE(cover->IsVisible());
    control.SetVisible(false);
    control.SetVisible(true);
    EXPECT_FALSE(control.IsVisible()) << "still hidden by its container";
    control.SetInternVisible(true);
    EXPECT_TRUE(cover->IsVisible());

    // A cover given to a hidden control starts hidden.
    control.SetVisible(false);
    auto* late = new CControlUI;
    control.SetCover(late);
    EXPECT_FALSE(late->IsVisible());
}

TEST(ControlVisibility, KeyboardNeedsTheControlEnabled)
{
    CControlUI c;
    EXPECT_TRUE(c.IsKeyboardEnabled());
    c.SetEnabled(false);
    EXPECT_FALSE(c.IsKeyboardEnabled());
    EXPECT_FALSE(c.Activate());
    c.SetEnabled(true);
    c.SetVisible(false);
    EXPECT_FALSE(c.Activate());
}

// ---- Finding controls -----------------------------------------------------------

CControlUI* Accept(CControlUI* control, void*) { return control; }

std::vector<CControlUI*> g_visited;

CControlUI* Visit(CControlUI* control, void*)
{
    g_visited.push_back(control);
    return nullptr;
}

TEST(ControlFind, FlagsFilterTheControlAndItsCover)
{
    CControlUI control;
    control.SetPos(RECT{0, 0, 100, 100});
    auto* cover = new CControlUI;
    control.SetCover(cover);
    cover->SetPos(RECT{0, 0, 50, 50});

    POINT inCover = {10, 10};
    POINT outsideCover = {80, 80};
    POINT outside = {150, 10};
    EXPECT_EQ(control.FindControl(Accept, &inCover, UIFindFlag::HitTest | UIFindFlag::SelfFirst), &control);
    EXPECT_EQ(control.FindControl(Accept, &inCover, UIFindFlag::HitTest), cover) << "cover before the control";
    EXPECT_EQ(control.FindControl(Accept, &outsideCover, UIFindFlag::HitTest), &control);
    EXPECT_EQ(control.FindControl(Accept, &outside, UIFindFlag::HitTest), nullptr);

    // A control that ignores the mouse is never hit, but its cover still is.
    control.SetMouseEnabled(false);
    EXPECT_EQ(control.FindControl(Accept, &inCover, UIFindFlag::HitTest | UIFindFlag::SelfFirst), cover);
    EXPECT_EQ(control.FindControl(Accept, &outsideCover, UIFindFlag::HitTest), nullptr);
    EXPECT_EQ(control.FindControl(Accept, nullptr, UIFindFlag::All), cover) << "only hit tests care about the mouse";

    control.SetEnabled(false);
    EXPECT_EQ(control.FindControl(Accept, nullptr, UIFindFlag::Enabled), nullptr);
    control.SetVisible(false);
    EXPECT_EQ(control.FindControl(Accept, nullptr, UIFindFlag::Visible), nullptr);

    // An update test skips a control the callback picks.
    control.SetVisible(true);
    EXPECT_EQ(control.FindControl(Accept, nullptr, UIFindFlag::UpdateTest), nullptr);

    g_visited.clear();
    control.FindControl(Visit, nullptr, UIFindFlag::SelfFirst);
    ASSERT_EQ(g_visited.size(), 2u);
    EXPECT_EQ(g_visited[0], &control);
    EXPECT_EQ(g_visited[1], cover);
}

// ---- Delegates and events ---------------------------------------------------------

struct Listener
{
    bool Allow(void* param)
    {
        seen.push_back(param);
        return answer;
    }
    bool Other(void* param)
    {
        seen.push_back(param);
        return true;
    }
    std::vector<void*> seen;
    bool answer = true;
};

TEST(DelegateList, HoldsEachDelegateOnceAndStopsAtTheFirstRefusal)
{
    Listener a;
    Listener b;
    CDelegateList list;
    EXPECT_FALSE(list.HasAny());
    EXPECT_TRUE(list.Invoke(nullptr));

    {
        CDelegate<Listener, Listener> allowA(&a, &Listener::Allow);
        list.Add(allowA);
        list.Add(CDelegate<Listener, Listener>(&a, &Listener::Allow));  // equal: ignored
    }                                                                   // the list holds its own copy
    list.Add(CDelegate<Listener, Listener>(&a, &Listener::Other));      // other handler
    list.Add(CDelegate<Listener, Listener>(&b, &Listener::Allow));      // other object
    EXPECT_TRUE(list.HasAny());

    int param = 0;
    EXPECT_TRUE(list.Invoke(&param));
    EXPECT_EQ(a.seen.size(), 2u);
    EXPECT_EQ(b.seen.size(), 1u);

    a.answer = false;
    EXPECT_FALSE(list.Invoke(&param));
    EXPECT_EQ(a.seen.size(), 3u) << "Other after the refusing Allow is not called";
    EXPECT_EQ(b.seen.size(), 1u);
}

// Handlers may add delegates while the list is walked. Enough of them to grow
// the list several times: the added ones run in the same pass, once each.
TEST(DelegateList, DelegatesAddedDuringTheWalkRunInTheSamePass)
{
    struct Grower
    {
        CDelegateList* list;
        std::vector<Listener>* added;
        bool Grow(void*)
        {
            for (Listener& listener : *added)
                list->Add(CDelegate<Listener, Listener>(&listener, &Listener::Allow));
            return true;
        }
    };
    CDelegateList list;
    std::vector<Listener> added(40);
    Grower grower{&list, &added};
    list.Add(CDelegate<Grower, Grower>(&grower, &Grower::Grow));

    int param = 0;
    EXPECT_TRUE(list.Invoke(&param));
    for (const Listener& listener : added)
        ASSERT_EQ(listener.seen, std::vector<void*>{&param});
    EXPECT_TRUE(list.Invoke(&param)) << "the second walk adds nothing new";
    EXPECT_EQ(added.back().seen.size(), 2u);
}

TEST(ControlEvents, EventDelegatesCanSwallowAnEvent)
{
    std::vector<std::wstring> log;
    ProbeControl control(&log);
    Listener listener;
    control.eventDelegates.Add(CDelegate<Listener, Listener>(&listener, &Listener::Allow));

    UIEvent event;
    event.type = UIEventType::ButtonDown;
    control.SendEvent(event);
    listener.answer = false;
    control.SendEvent(event);
    ASSERT_EQ(listener.seen.size(), 2u);
    EXPECT_EQ(listener.seen[0], &event);
    EXPECT_EQ(log, std::vector<std::wstring>{L"event 13"});
}

TEST(ControlEvents, UnhandledEventsBubbleToTheParent)
{
    std::vector<std::wstring> log;
    ProbeControl parent(&log);
    parent.name = L"parent";
    ProbeControl child(&log);
    child.name = L"child";
    child.SetManager(nullptr, &parent, false);

    for (UIEventType type :
         {UIEventType::ButtonDown, UIEventType::ContextMenu, UIEventType::SetFocus, UIEventType::KillFocus}) {
        UIEvent event;
        event.type = type;
        child.SendEvent(event);
    }
    const std::vector<std::wstring> expected = {
        L"child:event 13",  L"parent:event 13", L"child:event 18",
        L"parent:event 18", L"child:event 22",  L"child:event 21",
    };
    EXPECT_EQ(log, expected);
    EXPECT_FALSE(child.IsFocused());

    UIEvent focus;
    focus.type = UIEventType::SetFocus;
    child.SendEvent(focus);
    EXPECT_TRUE(child.IsFocused());
    child.SetVisible(false);
    EXPECT_FALSE(child.IsFocused()) << "hiding clears the focused flag";
}

TEST(ControlEvents, LifeDelegatesSeeTheControl)
{
    Listener listener;
    CControlUI parent;
    auto* control = new CControlUI;
    control->initDelegates.Add(CDelegate<Listener, Listener>(&listener, &Listener::Allow));
    control->destroyDelegates.Add(CDelegate<Listener, Listener>(&listener, &Listener::Other));

    control->SetManager(nullptr, nullptr, true);  // no parent: no Init
    EXPECT_TRUE(listener.seen.empty());
    control->SetManager(nullptr, &parent, false);
    EXPECT_TRUE(listener.seen.empty());
    control->SetManager(nullptr, &parent, true);
    ASSERT_EQ(listener.seen.size(), 1u);
    EXPECT_EQ(listener.seen[0], control);

    control->Delete();
    ASSERT_EQ(listener.seen.size(), 2u);
    EXPECT_EQ(listener.seen[1], static_cast<void*>(control));
}

// ---- Painting order --------------------------------------------------------------

TEST(ControlPaint, PaintsItsLayersInOrderThenTheCover)
{
    std::vector<std::wstring> log;
    ProbeControl control(&log);
    control.name = L"c";
    control.SetPos(RECT{0, 0, 100, 100});
    auto* cover = new ProbeControl(&log);
    cover->name = L"cover";
    cover->SetPos(RECT{0, 0, 10, 10});
    control.SetCover(cover);

    EXPECT_TRUE(control.Paint(nullptr, RECT{0, 0, 50, 50}, nullptr));
    const std::vector<std::wstring> expected = {
        L"c:bkcolor",     L"c:bkimage",     L"c:status",     L"c:text",     L"c:border",
        L"cover:bkcolor", L"cover:bkimage", L"cover:status", L"cover:text", L"cover:border",
    };
    EXPECT_EQ(log, expected);
}

TEST(ControlPaint, StopControlEmptyAreaAndRefusingDelegates)
{
    std::vector<std::wstring> log;
    ProbeControl control(&log);
    control.SetPos(RECT{0, 0, 100, 100});

    EXPECT_FALSE(control.Paint(nullptr, RECT{0, 0, 50, 50}, &control)) << "the stop control ends painting";
    EXPECT_TRUE(control.Paint(nullptr, RECT{200, 200, 300, 300}, nullptr)) << "nothing to draw here";
    EXPECT_TRUE(log.empty());

    Listener listener;
    listener.answer = false;
    control.paintDelegates.Add(CDelegate<Listener, Listener>(&listener, &Listener::Allow));
    EXPECT_TRUE(control.Paint(nullptr, RECT{0, 0, 50, 50}, nullptr));
    EXPECT_TRUE(log.empty()) << "a refusing paint delegate skips the own drawing";
    EXPECT_EQ(listener.seen.size(), 1u);

    control.postPaintDelegates.Add(CDelegate<Listener, Listener>(&listener, &Listener::Other));
    control.PostPaint(nullptr);
    ASSERT_EQ(listener.seen.size(), 2u);
    EXPECT_EQ(listener.seen[1], &control);
}

TEST(ControlTree, VirtualWindowNamesAreInheritedAndInterfacesNamed)
{
    CControlUI root;
    CControlUI child;
    child.SetManager(nullptr, &root, false);
    EXPECT_TRUE(child.GetVirtualWnd().IsEmpty());
    root.SetVirtualWnd(L"page");
    EXPECT_STREQ(child.GetVirtualWnd().GetData(), L"page");
    child.SetVirtualWnd(L"own");
    EXPECT_STREQ(child.GetVirtualWnd().GetData(), L"own");

    EXPECT_EQ(child.GetInterface(L"Control"), &child);
    EXPECT_EQ(child.GetInterface(L"IContainer"), nullptr);
    EXPECT_STREQ(child.GetClass(), L"Control");
}

}  // namespace
