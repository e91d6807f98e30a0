// The child layout in a real window built from an in-memory skin archive:
// the tree its file builds, controls found by name and clicked with posted
// messages, missing files, and files that build themselves again.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LayoutTestControls.h"
#include "ManagedWindow.h"
#include "ZipWriter.h"
#include "builder/ChildLayoutUI.h"
#include "core/ControlInterfaces.h"
#include "builder/SkinBuilder.h"

using namespace CalUI;

namespace {

const char kMainXml[] = R"(<?xml version="1.0" encoding="utf-8"?>
<Window>
  <VerticalLayout name="body">
    <ChildLayout name="holder" xmlfile="child.xml" height="100" />
    <ChildLayout name="empty" height="10" />
    <ChildLayout name="lost" xmlfile="nothere.xml" height="10"><Clicker name="doomed" /></ChildLayout>
    <ChildLayout name="self" xmlfile="self.xml" height="10" />
    <ChildLayout name="crossed" xmlfile="ping.xml" height="10" />
    <Clicker name="after" />
  </VerticalLayout>
</Window>)";

const char kChildXml[] = R"(<?xml version="1.0" encoding="utf-8"?>
<Window><HorizontalLayout name="inner"><Clicker name="inner_ok" width="50" /><Control /></HorizontalLayout></Window>)";

const char kSelfXml[] = R"(<Window><ChildLayout xmlfile="self.xml" /></Window>)";
const char kPingXml[] = R"(<Window><ChildLayout xmlfile="pong.xml" /></Window>)";
const char kPongXml[] = R"(<Window><VBox><ChildLayout xmlfile="ping.xml" /></VBox></Window>)";

CControlUI* CreateClicker(LPCWSTR elementName)
{
    return lstrcmpW(elementName, L"Clicker") == 0 ? new CountedControl : nullptr;
}

// The archive and the clicker class, once for the process: the framework
// keeps the first archive it is given.
void SupplySkinsOnce()
{
    static const std::string archive = BuildZip({{"main.xml", kMainXml, true},
                                                 {"child.xml", kChildXml},
                                                 {"self.xml", kSelfXml},
                                                 {"ping.xml", kPingXml},
                                                 {"pong.xml", kPongXml, true}});
    static const bool supplied = [] {
        CWindowManagerUI::SetResourceZip(archive.data(), static_cast<unsigned int>(archive.size()), nullptr);
        CWindowManagerUI::GetControlCreators().Add(reinterpret_cast<void*>(&CreateClicker));
        return true;
    }();
    (void)supplied;
}

// The number of child layouts that built a child, following the first child
// down; `innermost` is left at the last child layout met.
int BuiltDepth(CControlUI* start, CChildLayoutUI*& innermost)
{
    int depth = 0;
    innermost = nullptr;
    for (CControlUI* node = start; node != nullptr;) {
        if (auto* child = static_cast<CChildLayoutUI*>(node->GetInterface(L"ChildLayout"))) {
            innermost = child;
            if (child->GetCount() == 0)
                break;
            ++depth;
        }
        auto* items = static_cast<IContainerUI*>(node->GetInterface(kContainerInterface));
        node = items != nullptr ? items->GetItemAt(0) : nullptr;
    }
    return depth;
}

// One window built from main.xml for every test here.
class ChildLayout : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        SupplySkinsOnce();
        window = new ManagedWindow;
        CSkinBuilder builder;
        CControlUI* root = builder.Create(L"main.xml", nullptr, nullptr, &window->manager);
        ASSERT_NE(nullptr, root);
        window->Attach(root);
        window->Pump();
    }
    static void TearDownTestSuite()
    {
        delete window;
        window = nullptr;
    }

    static CChildLayoutUI* Layout(LPCWSTR name)
    {
        CControlUI* control = window->manager.FindControl(name);
        return control != nullptr ? static_cast<CChildLayoutUI*>(control->GetInterface(L"ChildLayout")) : nullptr;
    }

    // Posts a click at the control's centre; the "click" notifications that came.
    static std::vector<ReceivedNotify> ClickAt(CControlUI* control)
    {
        const RECT pos = control->GetPos();
        const LPARAM centre = PointParam((pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2);
        window->notifications.clear();
        PostMessageW(window->GetWindowHandle(), WM_LBUTTONDOWN, MK_LBUTTON, centre);
        PostMessageW(window->GetWindowHandle(), WM_LBUTTONUP, 0, centre);
        window->PumpUntil([] { return !NotificationsOfType(*window, L"click").empty(); }, 2000);
        return NotificationsOfType(*window, L"click");
    }

    static ManagedWindow* window;
};

ManagedWindow* ChildLayout::window = nullptr;

}  // namespace

TEST_F(ChildLayout, TheFileBuildsItsOnlyChildWhoseControlsTheWindowFindsAndClicks)
{
    CChildLayoutUI* holder = Layout(L"holder");
    ASSERT_NE(nullptr, holder);
    EXPECT_STREQ(L"child.xml", holder->GetChildLayoutXML().GetData());
    ASSERT_EQ(1, holder->GetCount());
    EXPECT_STREQ(L"inner", holder->GetItemAt(0)->GetName().GetData());

    CControlUI* ok = window->manager.FindControl(L"inner_ok");
    ASSERT_NE(nullptr, ok);
    EXPECT_EQ(holder->GetItemAt(0), ok->GetParent());
    EXPECT_EQ((RECT{0, 0, 50, 100}), ok->GetPos());
    const std::vector<ReceivedNotify> clicks = ClickAt(ok);
    ASSERT_EQ(1u, clicks.size());
    EXPECT_EQ(L"inner_ok", clicks[0].sender);
}

TEST_F(ChildLayout, WithoutAFileOrWithAMissingOneItStaysEmptyAndTheWindowWorks)
{
    ASSERT_NE(nullptr, Layout(L"empty"));
    EXPECT_EQ(0, Layout(L"empty")->GetCount());
    ASSERT_NE(nullptr, Layout(L"lost"));
    EXPECT_EQ(0, Layout(L"lost")->GetCount()) << "a failed build removes every child";
    EXPECT_EQ(nullptr, window->manager.FindControl(L"doomed"));

    CControlUI* after = window->manager.FindControl(L"after");
    ASSERT_NE(nullptr, after);
    EXPECT_EQ((RECT{0, 140, 400, 300}), after->GetPos());
    const std::vector<ReceivedNotify> clicks = ClickAt(after);
    ASSERT_EQ(1u, clicks.size());
    EXPECT_EQ(L"after", clicks[0].sender);
}

TEST_F(ChildLayout, FilesThatBuildThemselvesStopAtTheNestingLimit)
{
    for (LPCWSTR name : {L"self", L"crossed"}) {
        SCOPED_TRACE(testing::Message() << name);
        CChildLayoutUI* innermost = nullptr;
        EXPECT_EQ(CChildLayoutUI::kMaxNesting, BuiltDepth(Layout(name), innermost));
        ASSERT_NE(nullptr, innermost);
        EXPECT_EQ(0, innermost->GetCount());
    }
}

TEST_F(ChildLayout, AnswersAsTheContainerItIs)
{
    CChildLayoutUI* holder = Layout(L"holder");
    ASSERT_NE(nullptr, holder);
    EXPECT_EQ(static_cast<IContainerUI*>(holder), holder->GetInterface(L"IContainer"));
    EXPECT_EQ(static_cast<CContainerUI*>(holder), holder->GetInterface(L"Container"));
    EXPECT_EQ(holder, holder->GetInterface(L"ChildLayout"));
    EXPECT_EQ(nullptr, holder->GetInterface(L"childlayout"));
}
