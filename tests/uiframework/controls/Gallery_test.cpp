// The control gallery's skin, built into a real window from the same archive
// the gallery program shows: every element of the page (and of the file its
// child layout builds) must have become a control of its own class, in the
// place the skin gives it.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "controls/AnimationUI.h"
#include "controls/ComboUI.h"
#include "controls/ListUI.h"
#include "controls/OptionUI.h"
#include "controls/TreeViewUI.h"
#include "core/ControlUI.h"
#include "builder/SkinBuilder.h"
#include "core/SkinMarkup.h"
#include "core/UIInterfaces.h"
#include "ManagedWindow.h"
#include "ScratchFolder.h"
#include "TestPaths.h"

using namespace CalUI;

namespace {

// The elements the page must hold: every element name of the first control set.
const wchar_t* const kGalleryElements[] = {
    L"VerticalLayout", L"VBox",   L"HorizontalLayout", L"HBox",       L"ScrollBar",   L"Label",    L"Text",
    L"Button",         L"Option", L"CheckBox",         L"TileLayout", L"ChildLayout", L"Progress", L"Slider",
};

// The class an element builds: the short layout names build the long ones.
std::wstring ClassOfElement(const std::wstring& element)
{
    if (element == L"VBox")
        return L"VerticalLayout";
    if (element == L"HBox")
        return L"HorizontalLayout";
    return element;
}

bool IsResourceElement(const std::wstring& element)
{
    return element == L"Font" || element == L"Default" || element == L"Image" || element == L"MultiLanguage";
}

void CollectElementNames(CSkinMarkupNode element, std::set<std::wstring>& names)
{
    for (CSkinMarkupNode child = element.FirstChild(); child.IsSet(); child = child.NextSibling()) {
        names.insert(child.TagName());
        CollectElementNames(child, names);
    }
}

// Hands the gallery archive to the framework, once for the process: the
// setting is process-wide and the framework reads the block for good.
void SupplyGalleryArchiveOnce()
{
    static const bool supplied = [] {
        const std::string bytes = ScratchFolder::ReadFile(BuildTreePath(L"tests\\gallery\\gallery.zip"));
        if (bytes.empty())
            return false;
        auto* archive = new BYTE[bytes.size()];
        std::memcpy(archive, bytes.data(), bytes.size());
        CWindowManagerUI::SetResourceZip(archive, static_cast<unsigned int>(bytes.size()), nullptr);
        return true;
    }();
    ASSERT_TRUE(supplied) << "the build made no gallery archive";
}

// Compares a built control tree with the markup it was built from, element
// by element, and collects what differs.
class TreeComparison
{
public:
    std::vector<std::string> faults;

    void Compare(CSkinMarkupNode element, CControlUI* control, const std::wstring& path)
    {
        const std::wstring tag = element.TagName();
        const std::wstring here = path + L"/" + tag + NameOf(control);
        const std::wstring expected = ClassOfElement(tag);
        if (expected != control->GetClass()) {
            Fault(here + L" became a " + control->GetClass());
            return;
        }
        auto* container = static_cast<IContainerUI*>(control->GetInterface(L"IContainer"));
        if (tag == L"ChildLayout") {
            CompareChildLayout(container, here);
            return;
        }
        std::vector<CSkinMarkupNode> children = ControlElements(element);
        // What an included file adds to the container is that file's to show.
        if (children.empty() || HoldsInclude(element))
            return;
        if (container == nullptr) {
            Fault(here + L" holds elements but is no container");
            return;
        }
        for (size_t i = 0; i < children.size(); ++i) {
            // Past the first element that built nothing, the two lists no
            // longer line up: the rest of this container tells nothing.
            CControlUI* child =
                static_cast<int>(i) < container->GetCount() ? container->GetItemAt(static_cast<int>(i)) : nullptr;
            if (child == nullptr) {
                Fault(here + L"/" + children[i].TagName() + L" (child " + std::to_wstring(i) + L") built nothing");
                return;
            }
            Compare(children[i], child, here);
        }
        if (container->GetCount() != static_cast<int>(children.size()))
            Fault(here + L" holds " + std::to_wstring(container->GetCount()) + L" controls for " +
                  std::to_wstring(children.size()) + L" elements");
    }

    // The controls of a "Window" document: its first control element.
    static CSkinMarkupNode RootControlElement(CSkinMarkupNode window)
    {
        std::vector<CSkinMarkupNode> children = ControlElements(window);
        return children.empty() ? CSkinMarkupNode() : children.front();
    }

private:
    static bool HoldsInclude(CSkinMarkupNode element)
    {
        for (CSkinMarkupNode child = element.FirstChild(); child.IsSet(); child = child.NextSibling()) {
            if (std::wstring(child.TagName()) == L"Include")
                return true;
        }
        return false;
    }

    static std::vector<CSkinMarkupNode> ControlElements(CSkinMarkupNode element)
    {
        std::vector<CSkinMarkupNode> children;
        for (CSkinMarkupNode child = element.FirstChild(); child.IsSet(); child = child.NextSibling()) {
            if (!IsResourceElement(child.TagName()))
                children.push_back(child);
        }
        return children;
    }

    static std::wstring NameOf(CControlUI* control)
    {
        const std::wstring name = control->GetName().GetData();
        return name.empty() ? L"" : L"[" + name + L"]";
    }

    // Its one child is the root of the file it names.
    void CompareChildLayout(IContainerUI* container, const std::wstring& here)
    {
        CSkinMarkup child;
        if (!child.LoadSkinFile(L"child.xml")) {
            Fault(here + L": child.xml is not in the archive");
            return;
        }
        CSkinMarkupNode root = RootControlElement(child.RootNode());
        if (container == nullptr || container->GetCount() != 1 || !root.IsSet()) {
            Fault(here + L" did not build child.xml into one child");
            return;
        }
        Compare(root, container->GetItemAt(0), here + L"{child.xml}");
    }

    void Fault(const std::wstring& text)
    {
        char narrow[1024] = {};
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, narrow, sizeof narrow - 1, nullptr, nullptr);
        faults.emplace_back(narrow);
    }
};

class GalleryTest : public testing::Test
{
protected:
    // One window for the program: destroying one costs about two seconds.
    static void SetUpTestSuite()
    {
        SupplyGalleryArchiveOnce();
        window = new ManagedWindow;
        CSkinBuilder builder;
        root = builder.Create(L"gallery.xml", nullptr, nullptr, &window->manager);
        if (root != nullptr)
            window->Attach(root);
    }

    static void TearDownTestSuite()
    {
        delete window;
        window = nullptr;
        root = nullptr;
    }

    void SetUp() override { ASSERT_NE(root, nullptr) << "gallery.xml built no control tree"; }

    static ManagedWindow* window;
    static CControlUI* root;  // owned by the window's manager
};

ManagedWindow* GalleryTest::window = nullptr;
CControlUI* GalleryTest::root = nullptr;

}  // namespace

TEST_F(GalleryTest, EveryElementOfThePageBecameAControlOfItsClass)
{
    CSkinMarkup page;
    ASSERT_TRUE(page.LoadSkinFile(L"gallery.xml"));
    TreeComparison comparison;
    comparison.Compare(TreeComparison::RootControlElement(page.RootNode()), root, L"gallery.xml");
    for (const std::string& fault : comparison.faults)
        ADD_FAILURE() << fault;
}

TEST_F(GalleryTest, ThePageHoldsEveryElementOfTheControlSet)
{
    std::set<std::wstring> names;
    for (LPCWSTR file : {L"gallery.xml", L"child.xml"}) {
        CSkinMarkup markup;
        ASSERT_TRUE(markup.LoadSkinFile(file));
        CollectElementNames(markup.RootNode(), names);
    }
    for (const wchar_t* element : kGalleryElements)
        EXPECT_TRUE(names.count(element)) << "the gallery holds no " << testing::PrintToString(std::wstring(element));
}

// The page promises one focused button, disabled controls of every kind and
// selected members in each group; nothing but the skin sets them.
TEST_F(GalleryTest, TheStatesThePageShowsAreTheOnesItsSkinSets)
{
    // The first tab stop takes the focus at a paint after the first layout.
    ASSERT_TRUE(window->PumpUntil([] { return window->manager.GetFocus() != nullptr; }));
    EXPECT_STREQ(window->manager.GetFocus()->GetName().GetData(), L"button_focused");

    struct Case
    {
        LPCWSTR name;
        bool enabled;
        int selected;  // -1: no option
    };
    const Case cases[] = {
        {L"button_focused", true, -1}, {L"button_hot", true, -1},      {L"button_disabled", false, -1},
        {L"tab_games", true, 1},       {L"tab_plugins", true, 0},      {L"tab_articles", true, 0},
        {L"radio_auto", true, 0},      {L"radio_fast", true, 1},       {L"radio_saver", false, 0},
        {L"radio_locked", false, 1},   {L"check_startup", true, 1},    {L"check_update", true, 0},
        {L"check_limit", false, 1},    {L"label_disabled", false, -1}, {L"text_disabled", false, -1},
        {L"bar_disabled", false, -1},  {L"slider_volume", true, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        CControlUI* control = window->manager.FindControl(c.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->IsEnabled(), c.enabled);
        auto* option = static_cast<COptionUI*>(control->GetInterface(L"Option"));
        ASSERT_EQ(option != nullptr, c.selected >= 0);
        if (option != nullptr) {
            EXPECT_EQ(option->IsSelected(), c.selected == 1);
        }
    }
}

// The animations page: every element built into its class, every animated
// element present, and the place kept for the ActiveX controls' own file.
TEST(GalleryAnimationsPage, EveryElementBuildsAndTheActiveXAreaIsKept)
{
    SupplyGalleryArchiveOnce();
    ManagedWindow window;
    CSkinBuilder builder;
    CControlUI* root = builder.Create(L"animations.xml", nullptr, nullptr, &window.manager);
    ASSERT_NE(root, nullptr);
    window.Attach(root);

    CSkinMarkup page;
    ASSERT_TRUE(page.LoadSkinFile(L"animations.xml"));
    TreeComparison comparison;
    comparison.Compare(TreeComparison::RootControlElement(page.RootNode()), root, L"animations.xml");
    for (const std::string& fault : comparison.faults)
        ADD_FAILURE() << fault;

    std::set<std::wstring> names;
    CollectElementNames(page.RootNode(), names);
    for (LPCWSTR element : {L"GifAnim", L"ApngAnim", L"GifButton", L"ChrysanthemumLoading", L"RotateImage", L"Include"})
        EXPECT_TRUE(names.count(element)) << "the page holds no " << testing::PrintToString(std::wstring(element));
    CControlUI* area = window.manager.FindControl(L"activex_area");
    ASSERT_NE(area, nullptr);
    EXPECT_STREQ(area->GetClass(), L"VerticalLayout");
    for (LPCWSTR animated : {L"anim_gif", L"anim_loading", L"anim_button"}) {
        CControlUI* control = window.manager.FindControl(animated);
        ASSERT_NE(control, nullptr);
        auto* anim = static_cast<CGifAnimUI*>(control->GetInterface(L"GifAnim"));
        ASSERT_NE(anim, nullptr);
        EXPECT_GT(anim->GetFrameCount(), 1) << testing::PrintToString(std::wstring(animated));
    }
}

// The lists page: its list, combo boxes and tree hold what the skin writes,
// with the tree's nodes flat in depth-first order.
TEST(GalleryListsPage, BuildsItsListCombosAndTree)
{
    SupplyGalleryArchiveOnce();
    ManagedWindow window;
    CSkinBuilder builder;
    CControlUI* root = builder.Create(L"lists.xml", nullptr, nullptr, &window.manager);
    ASSERT_NE(root, nullptr);
    window.Attach(root);
    window.Pump();

    auto* list = static_cast<CListUI*>(window.manager.FindControl(L"games")->GetInterface(L"List"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetCount(), 20);
    EXPECT_EQ(list->GetItemStyle()->columnCount, 4);
    EXPECT_EQ(list->GetSelectedIndex(), 1);

    auto* combo = static_cast<CComboUI*>(window.manager.FindControl(L"server_combo")->GetInterface(L"Combo"));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->GetCount(), 8);
    EXPECT_EQ(std::wstring(combo->GetText()), L"华东一区");

    auto* tree = static_cast<CTreeViewUI*>(window.manager.FindControl(L"tree")->GetInterface(L"TreeView"));
    ASSERT_NE(tree, nullptr);
    const wchar_t* order[] = {L"tree_games",   L"tree_action", L"tree_naraka", L"tree_cf",    L"tree_rpg",
                              L"tree_genshin", L"tree_wow",    L"tree_sim",    L"tree_tools", L"tree_speed"};
    ASSERT_EQ(tree->GetCount(), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(std::wstring(tree->GetItemAt(i)->GetName()), order[i]);
}
