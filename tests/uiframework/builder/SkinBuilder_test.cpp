// The skin builder: a window built from layouts in an in-memory skin archive,
// clicked with real mouse messages; element names, attribute order, includes,
// resource elements and the controls nobody would own.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ContainerUI.h"
#include "builder/ControlFactory.h"
#include "LayoutTestControls.h"
#include "core/LoadedImage.h"
#include "ManagedWindow.h"
#include "ScratchFolder.h"
#include "core/SharedUIResources.h"
#include "builder/SkinBuilder.h"
#include "controls/TreeViewUI.h"
#include "TestPaths.h"
#include "ZipWriter.h"

using namespace CalUI;

namespace {

const char kMainXml[] = R"(<?xml version="1.0" encoding="utf-8" standalone="yes" ?>
<Window size="420,320" caption="0,0,0,30" roundcorner="6,6" mininfo="200,150">
  <Image name="bk.png" mask="#FF00FF00" />
  <Image restype="PNG" />
  <Font id="0" name="微软雅黑" size="13" default="true" />
  <Font id="1" name="微软雅黑" size="18" bold="TRUE" />
  <Font name="no id" />
  <Default name="Clicker" value="tooltip=&quot;from default&quot; userdata=&quot;default&quot;" />
  <MultiLanguage id="7" value="你好" />
  <MultiLanguage id="8" />
  <Container name="body">
    <Container name="frame" inset="100,100,100,100">
      <Clicker name="ok" userdata="own" />
    </Container>
    <Container name="rows" visible="false">
      <Include source="row.xml" count="3" />
    </Container>
    <Custom name="custom" visible="false" />
    <Mystery name="mystery"><Clicker name="lost" /></Mystery>
    <Control name="covered" visible="false"><Clicker name="lid" cover="true" /></Control>
    <Control name="notcovered" visible="false"><Clicker name="orphan" cover="True" /></Control>
    <TabLayout name="tabs" visible="false">
      <Clicker name="page0" /><Clicker name="page1" /><Clicker name="page2" />
    </TabLayout>
  </Container>
  <Clicker name="second" />
</Window>)";

const char kRowXml[] = R"(<?xml version="1.0" encoding="utf-8" standalone="yes" ?>
<Window><MultiLanguage id="9" value="row" /><Clicker userdata="row" /></Window>)";

// Clickers made in main.xml that stay alive: ok, three rows, lid, three
// pages; "custom" comes from the window's callback.
constexpr int kClickersKept = 8;

CControlUI* CreateTestControl(LPCWSTR elementName)
{
    if (lstrcmpiW(elementName, L"Clicker") == 0)
        return new CountedControl;
    return nullptr;
}

// The skin archive and the test control class, once per process.
void SetUpSkins()
{
    static const std::string archive =
        BuildZip({{"main.xml", kMainXml, true},
                  {"row.xml", kRowXml},
                  {"bk.png", ScratchFolder::ReadFile(SourceTreePath(L"tests\\fixtures\\bk.png"))}});
    static bool done = false;
    if (done)
        return;
    done = true;
    CWindowManagerUI::SetResourceZip(archive.data(), static_cast<unsigned int>(archive.size()), nullptr);
    CWindowManagerUI::GetControlCreators().Add(reinterpret_cast<void*>(&CreateTestControl));
}

// What a window answers the builder for element names nobody else knows.
class TestCallback : public IDialogBuilderCallback
{
public:
    CControlUI* CreateControl(LPCWSTR className) override
    {
        asked.push_back(className);
        return std::wstring(className) == L"Custom" ? new CountedControl : nullptr;
    }

    std::vector<std::wstring> asked;
};

// Records each attribute as "name=value@children" when it is applied.
class ProbeContainer : public CContainerUI
{
public:
    void SetAttribute(LPCWSTR name, LPCWSTR value) override
    {
        applied.push_back(std::wstring(name) + L"=" + value + L"@" + std::to_wstring(GetCount()));
        CContainerUI::SetAttribute(name, value);
    }

    std::vector<std::wstring> applied;
};

ProbeContainer* lastProbe = nullptr;

class ProbeCallback : public IDialogBuilderCallback
{
public:
    CControlUI* CreateControl(LPCWSTR className) override
    {
        if (std::wstring(className) != L"Probe")
            return nullptr;
        lastProbe = new ProbeContainer;
        return lastProbe;
    }
};

class SkinWindowTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { SetUpSkins(); }

    void SetUp() override
    {
        liveBefore = CountedControl::live;
        CSkinBuilder builder;
        root = builder.Create(L"main.xml", nullptr, &callback, &window.manager);
        ASSERT_NE(nullptr, root);
        window.Attach(root);
    }

    CControlUI* Find(LPCWSTR name) { return window.manager.FindControl(name); }

    int liveBefore = 0;
    TestCallback callback;
    ManagedWindow window;
    CControlUI* root = nullptr;
};

}  // namespace

TEST_F(SkinWindowTest, RootAttributesAndResourceElementsReachTheWindow)
{
    EXPECT_EQ(L"body", std::wstring(root->GetName().GetData()));
    EXPECT_EQ((SIZE{420, 320}), window.manager.GetInitSize());
    EXPECT_EQ((SIZE{6, 6}), window.manager.GetRoundCorner());
    EXPECT_EQ((SIZE{200, 150}), window.manager.GetMinInfo());
    EXPECT_EQ(30, window.manager.GetCaptionRect().bottom);

    EXPECT_EQ(13, window.manager.GetFontInfo(0)->size);  // the font without an id changed nothing
    EXPECT_EQ(18, window.manager.GetFontInfo(1)->size);
    EXPECT_TRUE(window.manager.GetFontInfo(1)->bold);
    EXPECT_EQ(13, window.manager.GetDefaultFontInfo()->size);
    EXPECT_STREQ(L"微软雅黑", window.manager.GetDefaultFontInfo()->faceName.GetData());

    LoadedImage* image = window.manager.GetImage(L"bk.png");
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(0xFF00FF00u, image->mask);

    EXPECT_STREQ(L"你好", CWindowManagerUI::GetLanguageString(7));
    EXPECT_STREQ(L"row", CWindowManagerUI::GetLanguageString(9));  // from the included file
    LPCWSTR missing = CWindowManagerUI::GetLanguageString(8);
    EXPECT_TRUE(missing == nullptr || missing[0] == L'\0');
}

TEST_F(SkinWindowTest, ControlsAreFoundByNameWithTheirDefaultsAndIncludes)
{
    CControlUI* ok = Find(L"ok");
    ASSERT_NE(nullptr, ok);
    EXPECT_STREQ(L"own", ok->GetUserData().GetData());  // its own attribute wins
    EXPECT_STREQ(L"from default", ok->GetToolTip().GetData());

    auto* rows = static_cast<IContainerUI*>(Find(L"rows")->GetInterface(L"IContainer"));
    ASSERT_EQ(3, rows->GetCount());
    for (int i = 0; i < 3; ++i)
        EXPECT_STREQ(L"row", rows->GetItemAt(i)->GetUserData().GetData());

    ASSERT_NE(nullptr, Find(L"lid"));
    EXPECT_EQ(Find(L"lid"), Find(L"covered")->GetCover());
    EXPECT_NE(nullptr, Find(L"custom"));
    EXPECT_EQ(nullptr, Find(L"orphan"));  // True is not true: no cover, and Control holds no children
    EXPECT_EQ(nullptr, Find(L"mystery"));
    EXPECT_EQ(nullptr, Find(L"lost"));  // skipped with the element nobody creates
    EXPECT_EQ(nullptr, Find(L"second"));
    EXPECT_EQ((std::vector<std::wstring>{L"Custom", L"Mystery"}), callback.asked);
}

TEST_F(SkinWindowTest, ControlsNobodyOwnsAreDestroyed)
{
    // "orphan" and "second" are gone; the rest belongs to the window.
    EXPECT_EQ(liveBefore + kClickersKept + 1, CountedControl::live);
}

TEST_F(SkinWindowTest, MouseClickAtAControlsCentreReachesTheWindow)
{
    CControlUI* ok = Find(L"ok");
    ASSERT_NE(nullptr, ok);
    const RECT pos = ok->GetPos();
    ASSERT_FALSE(IsRectEmpty(&pos));
    const LPARAM centre = MAKELPARAM((pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2);
    window.notifications.clear();
    PostMessageW(window.GetWindowHandle(), WM_LBUTTONDOWN, MK_LBUTTON, centre);
    PostMessageW(window.GetWindowHandle(), WM_LBUTTONUP, 0, centre);
    ASSERT_TRUE(window.PumpUntil([&] { return !NotificationsOfType(window, L"click").empty(); }));
    const std::vector<ReceivedNotify> clicks = NotificationsOfType(window, L"click");
    ASSERT_EQ(1u, clicks.size());
    EXPECT_EQ(L"ok", clicks[0].sender);
}

TEST(SkinBuilder, ElementNamesMatchIgnoringCase)
{
    const struct
    {
        LPCWSTR xml;
        LPCWSTR className;
    } cases[] = {
        {L"<Window><container/></Window>", L"Container"},
        {L"<Window><TABLAYOUT/></Window>", L"TabLayout"},
        {L"<Window><CoNtRoL/></Window>", L"Control"},
        {L"<Window><scrollbar/></Window>", L"ScrollBar"},
    };
    for (const auto& c : cases) {
        CSkinBuilder builder;
        CControlUI* control = builder.Create(c.xml);
        ASSERT_NE(nullptr, control) << c.xml;
        EXPECT_STREQ(c.className, control->GetClass());
        control->Delete();
    }
}

TEST(SkinBuilder, ChildrenAndDefaultsComeBeforeOwnAttributes)
{
    CWindowManagerUI manager;  // no window: the root's attributes stay away
    ProbeCallback callback;
    CSkinBuilder builder;
    CControlUI* root =
        builder.Create(L"<Window size=\"123,45\">"
                       L"<Default name=\"Probe\" value=\"userdata=&quot;default&quot; tag=&quot;7&quot;\"/>"
                       L"<Probe userdata=\"own\"><Control/><Control/></Probe></Window>",
                       nullptr, &callback, &manager);
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(lastProbe, root);
    EXPECT_EQ((std::vector<std::wstring>{L"userdata=default@2", L"tag=7@2", L"userdata=own@2"}), lastProbe->applied);
    EXPECT_EQ(nullptr, root->GetManager());  // the window's attach gives it for good
    EXPECT_EQ((SIZE{0, 0}), manager.GetInitSize());
    root->Delete();
}

TEST(SkinBuilder, ResourceElementsNeedAManager)
{
    CSkinBuilder builder;
    CControlUI* control = builder.Create(L"<Window><MultiLanguage id=\"50\" value=\"x\"/><Control/></Window>");
    ASSERT_NE(nullptr, control);
    LPCWSTR text = CWindowManagerUI::GetLanguageString(50);
    EXPECT_TRUE(text == nullptr || text[0] == L'\0');
    control->Delete();
}

TEST(SkinBuilder, ResourceLayoutsIncludeOthersByResourceId)
{
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    CSkinBuilder builder;
    CControlUI* root = builder.Create(301u, L"SKINXML");
    ASSERT_NE(nullptr, root);
    auto* items = static_cast<IContainerUI*>(root->GetInterface(L"IContainer"));
    ASSERT_EQ(2, items->GetCount());
    EXPECT_STREQ(L"resrow", items->GetItemAt(1)->GetUserData().GetData());
    root->Delete();

    CSkinBuilder missing;
    EXPECT_EQ(nullptr, missing.Create(303u, L"SKINXML"));
    EXPECT_EQ(nullptr, missing.Create(301u, L"OTHERTYPE"));
}

TEST(SkinBuilder, DocumentsWithoutControlsGiveNothing)
{
    SetUpSkins();
    for (LPCWSTR xml : {L"absent.xml", L"<Window></Window>", L"<Window><Font id=\"1\" name=\"x\"/></Window>",
                        L"<Window><Unknown/></Window>", L"<Window><Include/></Window>", L"<broken"}) {
        CSkinBuilder builder;
        EXPECT_EQ(nullptr, builder.Create(xml)) << xml;
    }
}

TEST(SkinBuilder, TopLevelIncludesAndExtraControlsDoNotLeak)
{
    SetUpSkins();
    const int before = CountedControl::live;
    CSkinBuilder builder;
    CControlUI* first = builder.Create(
        L"<Window><Include source=\"row.xml\" count=\"2\"/><Clicker name=\"first\"/><Clicker/></Window>");
    ASSERT_NE(nullptr, first);
    EXPECT_STREQ(L"first", first->GetName().GetData());
    EXPECT_EQ(before + 1, CountedControl::live);
    first->Delete();
}

TEST(SkinBuilder, LongIncludeAndCoverValuesAreCut)
{
    SetUpSkins();
    const std::wstring longText =
        L"&lt;Window&gt;&lt;Clicker name=&quot;" + std::wstring(600, L'x') + L"&quot;/&gt;&lt;/Window&gt;";
    const std::wstring longCount = std::wstring(600, L'0') + L"2";
    const std::wstring xml = L"<Window><Container name=\"host\">"
                             L"<Include source=\"" +
                             longText +
                             L"\"/>"
                             L"<Include source=\"row.xml\" count=\"" +
                             longCount +
                             L"\"/>"
                             L"<Clicker cover=\"true" +
                             std::wstring(400, L' ') +
                             L"\"/>"
                             L"</Container></Window>";
    CSkinBuilder builder;
    CControlUI* host = builder.Create(xml.c_str());
    ASSERT_NE(nullptr, host);
    auto* items = static_cast<IContainerUI*>(host->GetInterface(L"IContainer"));
    // Only the clicker: the cut document does not parse, the cut count is 0.
    EXPECT_EQ(1, items->GetCount());
    EXPECT_EQ(nullptr, host->GetCover());
    host->Delete();
}

namespace {

std::vector<std::wstring> TreeRows(CTreeViewUI& view)
{
    std::vector<std::wstring> rows;
    for (int i = 0; i < view.GetCount(); ++i) {
        auto* node = static_cast<CTreeNodeUI*>(view.GetItemAt(i)->GetInterface(L"TreeNode"));
        rows.push_back(node != nullptr ? std::wstring(node->GetItemButton()->GetText()) : L"?");
    }
    return rows;
}

}  // namespace

// Nodes in nodes join their node, top-level nodes join the view with their
// subtree, other controls in a node go into its row; "Tree" and "TreeView"
// build the same.
TEST(SkinBuilder, TreeNodesJoinTheirNodeOrViewAndOtherControlsTheNodesRow)
{
    for (const wchar_t* viewElement : {L"TreeView", L"Tree"}) {
        const std::wstring xml = std::wstring(L"<Window><") + viewElement +
                                 L"><TreeNode text=\"A\"><TreeNode text=\"B\"><TreeNode text=\"E\"/></TreeNode>"
                                 L"<Label name=\"extra\"/><TreeNode text=\"D\"/></TreeNode></" +
                                 viewElement + L"></Window>";
        CSkinBuilder builder;
        CControlUI* root = builder.Create(xml.c_str());
        ASSERT_NE(root, nullptr);
        auto* view = static_cast<CTreeViewUI*>(root->GetInterface(L"TreeView"));
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(TreeRows(*view), (std::vector<std::wstring>{L"A", L"B", L"E", L"D"}));
        auto* a = static_cast<CTreeNodeUI*>(view->GetItemAt(0));
        EXPECT_EQ(a->GetChildCount(), 2);
        EXPECT_EQ(a->GetRow()->GetCount(), 5) << "dot line, folder, check box, text and the label";
        EXPECT_EQ(std::wstring(a->GetRow()->GetItemAt(4)->GetName()), L"extra");
        root->Delete();
    }
}

// A node with neither node nor view around it is destroyed with what it
// holds, and ends its parent's children there.
TEST(SkinBuilder, AnOrphanTreeNodeEndsItsParentsChildren)
{
    CSkinBuilder builder;
    CControlUI* root = builder.Create(
        L"<Window><VerticalLayout><Label name=\"before\"/><TreeNode text=\"lost\"><TreeNode/><Label/></TreeNode>"
        L"<Label name=\"after\"/></VerticalLayout></Window>");
    ASSERT_NE(root, nullptr);
    auto* layout = static_cast<CContainerUI*>(root->GetInterface(L"Container"));
    ASSERT_NE(layout, nullptr);
    ASSERT_EQ(layout->GetCount(), 1);
    EXPECT_EQ(std::wstring(layout->GetItemAt(0)->GetName()), L"before");
    root->Delete();
}
