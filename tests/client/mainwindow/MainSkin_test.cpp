// The main window's and the message box's skins as the program carries them:
// read from the built skin archive, each control the window code looks up
// by name is there as the element it expects and starts as the code
// expects it (shown or hidden, enabled or not, placed where the code relies
// on it); every image a skin or the code names decodes; the program carries
// its icon. Controls whose class has not landed yet are skipped by the
// builder, so for them only the markup is checked.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "controls/ButtonUI.h"
#include "controls/LabelUI.h"
#include "controls/OptionUI.h"
#include "core/ScrollBarUI.h"
#include "controls/TileLayoutUI.h"
#include "core/ContainerUI.h"
#include "builder/ControlFactory.h"
#include "core/ImageDecode.h"
#include "core/SkinArchive.h"
#include "builder/SkinBuilder.h"
#include "core/SkinMarkup.h"
#include "core/TabLayoutUI.h"
#include "mainwindow/MainWnd.h"
#include "services/SessionData.h"
#include "ManagedWindow.h"
#include "ScratchFolder.h"
#include "TestPaths.h"

using namespace CalUI;

namespace {

const std::string& SkinArchive()
{
    static const std::string bytes = ScratchFolder::ReadFile(BuildTreePath(L"client\\skin\\client.zip"));
    return bytes;
}

// The entry's bytes; empty when it is missing or cannot be read.
std::string ArchiveEntry(const std::wstring& name)
{
    const std::string& archive = SkinArchive();
    ZipHandle* zip = OpenZipMemory(archive.data(), static_cast<unsigned int>(archive.size()), nullptr);
    if (zip == nullptr)
        return {};
    std::string bytes;
    int index = -1;
    ZipEntry entry = {};
    if (FindZipItem(zip, name.c_str(), false, &index, &entry) == ZipResult::Ok && entry.uncompressedSize > 0) {
        bytes.resize(static_cast<size_t>(entry.uncompressedSize));
        if (UnzipItemToMemory(zip, index, bytes.data(), static_cast<unsigned int>(bytes.size())) != ZipResult::Ok)
            bytes.clear();
    }
    CloseZip(zip);
    return bytes;
}

struct MarkupElement
{
    std::wstring tag;
    std::map<std::wstring, std::wstring> attributes;

    std::wstring Attribute(const std::wstring& name) const
    {
        auto found = attributes.find(name);
        return found != attributes.end() ? found->second : L"";
    }
};

void CollectElements(CSkinMarkupNode node, std::vector<MarkupElement>& out)
{
    for (; node.IsSet(); node = node.NextSibling()) {
        MarkupElement element{node.TagName(), {}};
        for (int i = 0; i < node.AttrCount(); ++i)
            element.attributes[node.AttrName(i)] = node.AttrValue(i);
        out.push_back(element);
        CollectElements(node.FirstChild(), out);
    }
}

// Every element of a skin file in document order, the root "Window" first.
std::vector<MarkupElement> SkinElements(const std::wstring& file)
{
    const std::string bytes = ArchiveEntry(file);
    CSkinMarkup markup;
    std::vector<MarkupElement> elements;
    if (!bytes.empty() &&
        markup.LoadFromBytes(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())))
        CollectElements(markup.RootNode(), elements);
    return elements;
}

const MarkupElement* Named(const std::vector<MarkupElement>& elements, const std::wstring& name)
{
    for (const MarkupElement& element : elements) {
        if (element.Attribute(L"name") == name)
            return &element;
    }
    return nullptr;
}

// The archive paths of the images named anywhere in the attribute values,
// in attribute lists nested in a value too.
std::set<std::wstring> ImagesNamedIn(const std::vector<MarkupElement>& elements)
{
    std::set<std::wstring> images;
    for (const MarkupElement& element : elements) {
        for (const auto& attribute : element.attributes) {
            const std::wstring& value = attribute.second;
            for (size_t at = value.find(L"img/"); at != std::wstring::npos; at = value.find(L"img/", at + 1)) {
                const size_t end = value.find_first_of(L"'\" ,;&", at);
                images.insert(value.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at));
            }
        }
    }
    return images;
}

// Whether the builder makes a control of this element yet.
bool ClassHasLanded(LPCWSTR element)
{
    if (std::wcscmp(element, L"ContainerEx") == 0)
        return true;  // the main window makes it itself
    std::unique_ptr<CControlUI> control(CreateControlByElementName(element));
    return control != nullptr;
}

enum class Where
{
    Window,     // outside the tab pages
    GamePage,   // page 0 of maintable
    AllGames,   // page 1, the one shown at start
    AllApps,    // page 2
    WidePanel,  // inside expand_nav_layout
    UserMenu,   // inside user_menu
};

struct ControlCase
{
    LPCWSTR name;
    LPCWSTR element;
    Where where;
    bool shown;
    bool enabled;
};

const ControlCase kMainControls[] = {
    {L"maintable", L"TabLayout", Where::Window, true, true},
    {L"service_btn", L"Button", Where::Window, true, true},
    {L"user_btn", L"Button", Where::Window, false, true},
    {L"min_btn", L"Button", Where::Window, true, true},
    {L"close_btn", L"Button", Where::Window, true, true},
    {L"user_menu", L"VerticalLayout", Where::Window, false, true},
    {L"small_nav_layout", L"ContainerEx", Where::Window, true, true},
    {L"all_game_btn", L"Button", Where::Window, true, true},
    {L"all_app_btn", L"Button", Where::Window, true, true},
    {L"mygamelist", L"VerticalLayout", Where::Window, true, true},
    {L"add_btn", L"Button", Where::Window, true, true},
    {L"expand_nav_layout", L"ContainerEx", Where::Window, false, true},
    {L"search_key", L"RichEdit", Where::AllGames, true, false},
    {L"search_game_btn", L"Button", Where::AllGames, true, false},
    {L"all_game_tilelayout", L"TileLayout", Where::AllGames, true, true},
    {L"root", L"Container", Where::GamePage, true, true},
    {L"game_pic", L"Control", Where::GamePage, true, true},
    {L"game_name_lab", L"Label", Where::GamePage, true, true},
    {L"game_ads_btn", L"GifButton", Where::GamePage, true, true},
    {L"game_opt", L"Option", Where::GamePage, true, true},
    {L"plugin_opt", L"Option", Where::GamePage, true, true},
    {L"article_opt", L"Option", Where::GamePage, false, true},
    {L"upload_plugin", L"Button", Where::GamePage, true, true},
    {L"game_child_page_tab", L"TabLayout", Where::GamePage, true, true},
    {L"game_list", L"VerticalLayout", Where::GamePage, true, true},
    {L"jiasuqi_list", L"VerticalLayout", Where::AllApps, true, true},
    {L"expand_user_btn", L"Button", Where::WidePanel, false, true},
    {L"all_game_btn_exp", L"Button", Where::WidePanel, true, true},
    {L"all_apps_btn", L"Button", Where::WidePanel, true, true},
    {L"mygamelist_expand", L"VerticalLayout", Where::WidePanel, true, true},
    {L"add_my_game", L"Button", Where::WidePanel, true, true},
    {L"username", L"Label", Where::UserMenu, true, true},
    {L"usermenu_bindjsq", L"Button", Where::UserMenu, true, true},
    {L"usermenu_setpsd", L"Button", Where::UserMenu, true, true},
    {L"usermenu_logout", L"Button", Where::UserMenu, true, true},
};

// Pages of game_child_page_tab that are not selected at start: their
// element and markup state only.
const ControlCase kHiddenTabPages[] = {
    {L"plugin_list", L"VerticalLayout", Where::GamePage, true, true},
    {L"article_list", L"VerticalLayout", Where::GamePage, true, true},
};

const ControlCase kMsgBoxControls[] = {
    {L"close_btn", L"Button", Where::Window, true, true},  {L"msgbox_title", L"Label", Where::Window, true, true},
    {L"msgbox_text", L"Label", Where::Window, true, true}, {L"msgbox_cancel", L"Button", Where::Window, true, true},
    {L"msgbox_ok", L"Button", Where::Window, true, true},
};

// The skin declares the element, and, where its class builds it, the built
// control starts in the expected state; without the class the markup must
// say the same.
void ExpectControl(const std::vector<MarkupElement>& markup, CWindowManagerUI& manager, const ControlCase& c)
{
    SCOPED_TRACE(testing::Message() << "control " << std::string(c.name, c.name + wcslen(c.name)));
    const MarkupElement* element = Named(markup, c.name);
    ASSERT_NE(element, nullptr) << "not in the skin";
    EXPECT_EQ(element->tag, c.element);
    if (!ClassHasLanded(c.element)) {
        EXPECT_EQ(element->Attribute(L"visible") != L"false", c.shown);
        EXPECT_EQ(element->Attribute(L"enabled") != L"false", c.enabled);
        return;
    }
    CControlUI* control = manager.FindControl(c.name);
    ASSERT_NE(control, nullptr) << "not built";
    EXPECT_STREQ(control->GetClass(), c.element);
    EXPECT_EQ(control->IsVisible(), c.shown);
    EXPECT_EQ(control->IsEnabled(), c.enabled);
}

// The named control as the class that answers to `interfaceName`; null when
// it is missing or of another class.
template <class T>
T* FindAs(CWindowManagerUI& manager, LPCWSTR name, LPCWSTR interfaceName)
{
    CControlUI* control = manager.FindControl(name);
    return control != nullptr ? static_cast<T*>(control->GetInterface(interfaceName)) : nullptr;
}

// A list's bar as the code's scrolling expects it: 2 pixels, one row or tile
// per unit.
void ExpectThinBar(CWindowManagerUI& manager, LPCWSTR name, int unit)
{
    SCOPED_TRACE(testing::Message() << "bar of " << std::string(name, name + wcslen(name)));
    auto* list = FindAs<CContainerUI>(manager, name, L"Container");
    ASSERT_NE(list, nullptr);
    CScrollBarUI* bar = list->GetVerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetFixedWidth(), 2);
    EXPECT_EQ(bar->GetScrollUnit(), unit);
}

void ExpectFloatAt(CControlUI* control, int x, int y, int width, int height)
{
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(control->IsFloat());
    EXPECT_EQ(control->GetFixedXY().cx, x);
    EXPECT_EQ(control->GetFixedXY().cy, y);
    EXPECT_EQ(control->GetFixedWidth(), width);
    EXPECT_EQ(control->GetFixedHeight(), height);
}

class MainSkin : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_FALSE(SkinArchive().empty()) << "no built skin archive";
        CWindowManagerUI::SetResourceZip(SkinArchive().data(), static_cast<unsigned int>(SkinArchive().size()),
                                         nullptr);
    }
};

TEST_F(MainSkin, TheMainWindowHasEveryControlTheCodeLooksUpInItsStartState)
{
    const std::vector<MarkupElement> markup = SkinElements(L"main.xml");
    ASSERT_FALSE(markup.empty());
    ManagedWindow window;
    CMainWnd factory;  // the window's own maker of "ContainerEx"
    CSkinBuilder builder;
    CControlUI* root = builder.Create(L"main.xml", nullptr, &factory, &window.manager);
    ASSERT_NE(root, nullptr);
    window.Attach(root);
    window.Pump();
    CWindowManagerUI& manager = window.manager;

    EXPECT_STREQ(root->GetClass(), L"Container");
    EXPECT_EQ(manager.GetInitSize().cx, 1200);
    EXPECT_EQ(manager.GetInitSize().cy, 800);
    const RECT caption = manager.GetCaptionRect();
    EXPECT_EQ(caption.top, 0);
    EXPECT_EQ(caption.bottom, 86);
    EXPECT_EQ(manager.GetRoundCorner().cx, 20);
    EXPECT_EQ(manager.GetRoundCorner().cy, 20);
    EXPECT_EQ(manager.GetShadowFocusScales(), 0.8f);
    EXPECT_EQ(manager.GetLayeredInset().left, 14);
    EXPECT_EQ(manager.GetLayeredInset().bottom, 14);
    EXPECT_NE(manager.GetLayeredImage().Find(L"corner='20,20,20,20'"), -1);
    const struct
    {
        int id;
        int size;
        bool bold;
    } fonts[] = {{0, 14, false}, {1, 16, false}, {2, 12, false}, {4, 14, true}};
    for (const auto& font : fonts) {
        SCOPED_TRACE(font.id);
        FontInfo* info = manager.GetFontInfo(font.id);
        ASSERT_NE(info, nullptr);
        EXPECT_STREQ(info->faceName.GetData(), L"微软雅黑");
        EXPECT_EQ(info->size, font.size);
        EXPECT_EQ(info->bold, font.bold);
    }
    EXPECT_EQ(manager.GetDefaultFontInfo()->size, 14);

    // The caption band's logo and title take no input, so the window drags by them.
    for (LPCWSTR name : {L"logo", L"title"}) {
        CControlUI* control = manager.FindControl(name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->GetControlFlags(), UIControlFlag::None);
    }

    auto* tabs = FindAs<CTabLayoutUI>(manager, L"maintable", L"TabLayout");
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->GetSelectedIndex(), 1);
    auto expectAll = [&](Where where) {
        for (const ControlCase& c : kMainControls) {
            if (c.where == where)
                ExpectControl(markup, manager, c);
        }
    };
    expectAll(Where::Window);
    expectAll(Where::AllGames);
    tabs->SelectItem(0, false);
    expectAll(Where::GamePage);
    tabs->SelectItem(2, false);
    expectAll(Where::AllApps);
    for (const ControlCase& c : kHiddenTabPages) {
        const MarkupElement* element = Named(markup, c.name);
        ASSERT_NE(element, nullptr) << std::string(c.name, c.name + wcslen(c.name));
        EXPECT_EQ(element->tag, c.element);
    }
    for (LPCWSTR panel : {L"expand_nav_layout", L"user_menu"}) {
        if (CControlUI* control = manager.FindControl(panel))
            control->SetVisible(true);
    }
    expectAll(Where::WidePanel);
    expectAll(Where::UserMenu);

    // What the navigation, the tiles, the page's tabs and the search rely on.
    auto* gameTab = FindAs<COptionUI>(manager, L"game_opt", L"Option");
    auto* pluginTab = FindAs<COptionUI>(manager, L"plugin_opt", L"Option");
    auto* articleTab = FindAs<COptionUI>(manager, L"article_opt", L"Option");
    ASSERT_TRUE(gameTab != nullptr && pluginTab != nullptr && articleTab != nullptr);
    EXPECT_STREQ(gameTab->GetText().GetData(), L"游戏下载");
    EXPECT_STREQ(pluginTab->GetText().GetData(), L"插件下载");
    for (COptionUI* tab : {gameTab, pluginTab, articleTab})
        EXPECT_STREQ(tab->GetGroup().GetData(), L"game_child_page_group");
    EXPECT_TRUE(gameTab->IsSelected());
    EXPECT_FALSE(pluginTab->IsSelected());

    const MarkupElement* search = Named(markup, L"search_key");
    for (LPCWSTR flag : {L"multiline", L"wanttab", L"wantreturn", L"wantctrlreturn"})
        EXPECT_EQ(search->Attribute(flag), L"false") << std::string(flag, flag + wcslen(flag));
    EXPECT_FALSE(search->Attribute(L"tipvalue").empty());

    auto* username = FindAs<CLabelUI>(manager, L"username", L"Label");
    ASSERT_NE(username, nullptr);
    EXPECT_EQ(username->GetTextPadding().left, 40);

    // The add entries as the code makes them again after each rebuild.
    auto* addMyGame = FindAs<CButtonUI>(manager, L"add_my_game", L"Button");
    ASSERT_NE(addMyGame, nullptr);
    EXPECT_STREQ(addMyGame->GetText().GetData(), L"添加游戏");
    EXPECT_STREQ(addMyGame->GetToolTip().GetData(), L"点击然后选择要添加的游戏分类添加我的游戏");
    EXPECT_EQ(addMyGame->GetTextColor(), 0xFFA1A1A1u);
    EXPECT_EQ(addMyGame->GetTextStyle() & (DT_CENTER | DT_RIGHT), 0u) << "left-aligned";
    const RECT padding = addMyGame->GetTextPadding();
    EXPECT_EQ(padding.left, 50);
    EXPECT_EQ(padding.right, 10);
    EXPECT_EQ(addMyGame->GetFixedWidth(), 195);
    EXPECT_EQ(addMyGame->GetFixedHeight(), 40);
    const MarkupElement* add = Named(markup, L"add_my_game");
    EXPECT_EQ(add->Attribute(L"foreimage"), L"file='img/gameadd.png' dest='10,5,40,35'");
    EXPECT_EQ(add->Attribute(L"hotimage"), L"img/ellipseh.png");
    CControlUI* addButton = manager.FindControl(L"add_btn");
    ASSERT_NE(addButton, nullptr);
    EXPECT_EQ(addButton->GetFixedWidth(), 30);
    EXPECT_EQ(addButton->GetFixedHeight(), 30);
    EXPECT_EQ(Named(markup, L"add_btn")->Attribute(L"normalimage"), L"img/gameadd.png");

    auto* narrow = FindAs<CContainerUI>(manager, L"mygamelist", L"Container");
    ASSERT_NE(narrow, nullptr);
    EXPECT_EQ(narrow->GetFixedWidth(), 50);
    EXPECT_EQ(narrow->GetChildPadding(), 22);
    const RECT inset = narrow->GetInset();
    EXPECT_EQ(inset.left, 10);
    EXPECT_EQ(inset.top, 14);
    EXPECT_EQ(inset.right, 10);
    EXPECT_EQ(inset.bottom, 14);
    EXPECT_EQ(narrow->GetItemAt(narrow->GetCount() - 1), addButton) << "the add entry ends the list";
    auto* wide = FindAs<CContainerUI>(manager, L"mygamelist_expand", L"Container");
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->GetFixedWidth(), 195);
    EXPECT_EQ(wide->GetChildPadding(), 14);
    EXPECT_EQ(wide->GetItemAt(wide->GetCount() - 1), addMyGame);

    auto* tiles = FindAs<CTileLayoutUI>(manager, L"all_game_tilelayout", L"TileLayout");
    ASSERT_NE(tiles, nullptr);
    ExpectFloatAt(tiles, 107, 125, 1040, 690);
    EXPECT_EQ(tiles->GetItemSize().cx, 139);
    EXPECT_EQ(tiles->GetItemSize().cy, 251);
    EXPECT_EQ(tiles->GetChildPadding(), 40);
    EXPECT_EQ(tiles->GetChildVPadding(), 33);
    // Placed where the code fixes it, the layout reaches 15 pixels past the
    // window's bottom: its inset keeps the last row above the rounded corner.
    EXPECT_LE(125 + 690 - tiles->GetInset().bottom, 800 - manager.GetRoundCorner().cy / 2);
    ExpectThinBar(manager, L"all_game_tilelayout", 251);
    ExpectThinBar(manager, L"mygamelist_expand", 40);
    for (LPCWSTR list : {L"game_list", L"plugin_list", L"jiasuqi_list"})
        ExpectThinBar(manager, list, 64);

    for (const MarkupElement& element : markup) {
        EXPECT_NE(element.Attribute(L"name"), L"login_btn");
        EXPECT_NE(element.Attribute(L"name"), L"version_lab");
        EXPECT_NE(element.tag, L"Combo") << "the lists show unfiltered";
    }
}

TEST_F(MainSkin, TheMessageBoxHasItsPanelTextAndButtonRow)
{
    const std::vector<MarkupElement> markup = SkinElements(L"msgbox.xml");
    ASSERT_FALSE(markup.empty());
    ManagedWindow window;
    CSkinBuilder builder;
    CControlUI* root = builder.Create(L"msgbox.xml", nullptr, nullptr, &window.manager);
    ASSERT_NE(root, nullptr);
    window.Attach(root);
    window.Pump();
    CWindowManagerUI& manager = window.manager;

    EXPECT_EQ(manager.GetInitSize().cx, 1200);
    EXPECT_EQ(manager.GetInitSize().cy, 800);
    EXPECT_NE(manager.GetLayeredImage().Find(L"img/bkmask.png"), -1);
    EXPECT_TRUE(markup.front().Attribute(L"caption").empty()) << "a box cannot be dragged";
    for (const ControlCase& c : kMsgBoxControls)
        ExpectControl(markup, manager, c);

    CControlUI* close = manager.FindControl(L"close_btn");
    ASSERT_NE(close, nullptr);
    CControlUI* panel = close->GetParent();
    ExpectFloatAt(panel, 401, 292, 397, 216);
    EXPECT_STREQ(panel->GetClass(), L"VerticalLayout");
    auto* text = FindAs<CLabelUI>(manager, L"msgbox_text", L"Label");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetParent(), panel);
    EXPECT_TRUE(text->IsMultiLine());
    EXPECT_EQ(text->GetFixedWidth(), 317);
    EXPECT_EQ(text->GetFixedHeight(), 96);
    EXPECT_EQ(manager.FindControl(L"msgbox_title")->GetParent(), panel);

    CControlUI* cancel = manager.FindControl(L"msgbox_cancel");
    CControlUI* ok = manager.FindControl(L"msgbox_ok");
    ASSERT_TRUE(cancel != nullptr && ok != nullptr);
    EXPECT_STREQ(cancel->GetText().GetData(), L"取消");
    EXPECT_STREQ(ok->GetText().GetData(), L"确定");
    EXPECT_EQ(cancel->GetFixedWidth(), 100);
    EXPECT_EQ(ok->GetFixedWidth(), 100);
    EXPECT_EQ(cancel->GetPadding().right, 50);
    // Flexible controls on both sides keep the shown buttons centred.
    auto* row = static_cast<IContainerUI*>(cancel->GetParent()->GetInterface(L"IContainer"));
    ASSERT_NE(row, nullptr);
    EXPECT_STREQ(cancel->GetParent()->GetClass(), L"HorizontalLayout");
    ASSERT_EQ(row->GetCount(), 4);
    EXPECT_EQ(row->GetItemAt(1), cancel);
    EXPECT_EQ(row->GetItemAt(2), ok);
    for (int side : {0, 3}) {
        EXPECT_STREQ(row->GetItemAt(side)->GetClass(), L"Control");
        EXPECT_EQ(row->GetItemAt(side)->GetFixedWidth(), 0);
    }
}

// The sign-in, set-password and sign-out windows: each control the code
// looks up, the panels where the windows expect them and every field as the
// code reads it: one line, no Tab or Return of its own, a tip, the focused
// look; the password fields masked, page 0's fields bounded.
TEST_F(MainSkin, TheAccountWindowsHaveTheirControlsAndFields)
{
    struct SkinCase
    {
        LPCWSTR skin;
        RECT panel;  // x, y, width, height
        std::vector<ControlCase> controls;
    } skins[] = {
        {L"login.xml",
         {346, 216, 559, 373},
         {{L"close_btn", L"Button", Where::Window, true, true},
          {L"child_page", L"TabLayout", Where::Window, true, true},
          {L"area_code_0", L"RichEdit", Where::Window, true, true},
          {L"mobile_code_0", L"RichEdit", Where::Window, true, true},
          {L"pwd_code_0", L"RichEdit", Where::Window, true, true},
          {L"go_verify_btn", L"Button", Where::Window, true, true},
          {L"login_btn", L"Button", Where::Window, true, true},
          {L"msg_lab", L"Label", Where::Window, false, true}}},
        {L"setpsd.xml",
         {412, 272, 378, 281},
         {{L"close_btn", L"Button", Where::Window, true, true},
          {L"pwd1_code", L"RichEdit", Where::Window, true, true},
          {L"pwd2_code", L"RichEdit", Where::Window, true, true},
          {L"ok_btn", L"Button", Where::Window, true, true},
          {L"msg_lab", L"Label", Where::Window, false, true}}},
        {L"logout.xml",
         {450, 272, 340, 223},
         {{L"close_btn", L"Button", Where::Window, true, true},
          {L"cancel_logout", L"Button", Where::Window, true, true},
          {L"ok_logout", L"Button", Where::Window, true, true}}},
        {L"selpath.xml",
         {364, 270, 422, 269},
         {{L"close_btn", L"Button", Where::Window, true, true},
          {L"download_path_edit", L"RichEdit", Where::Window, true, true},
          {L"install_path_edit", L"RichEdit", Where::Window, true, true},
          {L"choose_download_btn", L"Button", Where::Window, true, true},
          {L"choose_install_btn", L"Button", Where::Window, true, true},
          {L"ok_btn", L"Button", Where::Window, true, true},
          {L"go_help_btn", L"Button", Where::Window, true, true},
          {L"msg_lab", L"Label", Where::Window, false, true}}},
        {L"viewpath.xml",
         {401, 287, 397, 226},
         {{L"close_btn", L"Button", Where::Window, true, true},
          {L"download_path_edit", L"RichEdit", Where::Window, true, true},
          {L"install_path_edit", L"RichEdit", Where::Window, true, true},
          {L"open_download_btn", L"Button", Where::Window, true, true},
          {L"open_install_btn", L"Button", Where::Window, true, true},
          {L"unstall_btn", L"Button", Where::Window, true, true},
          {L"close2_btn", L"Button", Where::Window, true, true}}},
        {L"bindjsq.xml",
         {269, 153, 678, 442},
         {{L"close_btn", L"Button", Where::Window, true, true},
          {L"seljsq", L"Combo", Where::Window, true, true},
          {L"area_code", L"RichEdit", Where::Window, true, true},
          {L"phonenum", L"RichEdit", Where::Window, true, true},
          {L"getcheckcode", L"Button", Where::Window, true, true},
          {L"checkcode", L"RichEdit", Where::Window, true, true},
          {L"bind_btn", L"Button", Where::Window, true, true},
          {L"msg_lab", L"Label", Where::Window, false, true}}},
    };
    const std::set<std::wstring> passwords = {L"pwd_code_0", L"pwd1_code", L"pwd2_code"};
    for (const SkinCase& c : skins) {
        SCOPED_TRACE(testing::Message() << "skin " << std::string(c.skin, c.skin + wcslen(c.skin)));
        const std::vector<MarkupElement> markup = SkinElements(c.skin);
        ASSERT_FALSE(markup.empty());
        EXPECT_TRUE(markup.front().Attribute(L"caption").empty()) << "a dialog cannot be dragged";
        EXPECT_NE(markup.front().Attribute(L"layeredimage").find(L"img/bkmask.png"), std::wstring::npos);
        ManagedWindow window;
        CSkinBuilder builder;
        CControlUI* root = builder.Create(c.skin, nullptr, nullptr, &window.manager);
        ASSERT_NE(root, nullptr);
        window.Attach(root);
        window.Pump();
        EXPECT_EQ(window.manager.GetInitSize().cx, 1200);
        EXPECT_EQ(window.manager.GetInitSize().cy, 800);
        for (const ControlCase& control : c.controls)
            ExpectControl(markup, window.manager, control);
        CControlUI* panel = window.manager.FindControl(L"close_btn")->GetParent();
        ExpectFloatAt(panel, c.panel.left, c.panel.top, c.panel.right, c.panel.bottom);
        EXPECT_STREQ(panel->GetClass(), L"VerticalLayout");
        for (const MarkupElement& field : markup) {
            if (field.tag != L"RichEdit")
                continue;
            const std::wstring name = field.Attribute(L"name");
            SCOPED_TRACE(testing::Message() << "field " << std::string(name.begin(), name.end()));
            EXPECT_EQ(field.Attribute(L"multiline"), L"false");
            EXPECT_EQ(field.Attribute(L"autohscroll"), L"true");
            EXPECT_EQ(field.Attribute(L"wanttab"), L"false");
            EXPECT_EQ(field.Attribute(L"wantreturn"), L"false");
            EXPECT_EQ(field.Attribute(L"wantctrlreturn"), L"false");
            EXPECT_FALSE(field.Attribute(L"tipvalue").empty());
            EXPECT_FALSE(field.Attribute(L"focusedimage").empty());
            EXPECT_EQ(field.Attribute(L"password") == L"true", passwords.count(name) == 1);
        }
    }
    // Pages 1 and 2 are hidden at start, and the code button lives inside
    // its field: their markup.
    const std::vector<MarkupElement> login = SkinElements(L"login.xml");
    const std::pair<LPCWSTR, LPCWSTR> laterPages[] = {
        {L"area_code_1", L"RichEdit"},   {L"mobile_code_1", L"RichEdit"}, {L"verify_code", L"RichEdit"},
        {L"send_verify_btn", L"Button"}, {L"go_pwd_btn", L"Button"},      {L"pwd1_code", L"RichEdit"},
        {L"pwd2_code", L"RichEdit"},     {L"go_close_btn", L"Button"},
    };
    for (const auto& [name, element] : laterPages) {
        const MarkupElement* found = Named(login, name);
        ASSERT_NE(found, nullptr) << std::string(name, name + wcslen(name));
        EXPECT_EQ(found->tag, element);
    }
    EXPECT_EQ(Named(login, L"mobile_code_0")->Attribute(L"maxchar"), L"11");
    EXPECT_EQ(Named(login, L"area_code_0")->Attribute(L"maxchar"), L"5");
    EXPECT_EQ(Named(login, L"area_code_0")->Attribute(L"text"), L"86");
    EXPECT_EQ(Named(login, L"area_code_1")->Attribute(L"text"), L"86");
    EXPECT_EQ(Named(login, L"child_page")->Attribute(L"selectedid"), L"0");
    EXPECT_EQ(Named(login, L"login_btn")->Attribute(L"text"), L"登录");
    EXPECT_FALSE(Named(login, L"login_btn")->Attribute(L"disabledimage").empty());

    // The texts the folder and binding windows start with.
    const struct
    {
        LPCWSTR skin, name, attribute, value;
    } texts[] = {
        {L"selpath.xml", L"choose_download_btn", L"text", L"浏览"},
        {L"selpath.xml", L"choose_install_btn", L"text", L"浏览"},
        {L"selpath.xml", L"ok_btn", L"text", L"安装"},
        {L"selpath.xml", L"go_help_btn", L"text", L"帮助"},
        {L"viewpath.xml", L"download_path_edit", L"tipvalue", L"游戏的下载路径"},
        {L"viewpath.xml", L"install_path_edit", L"tipvalue", L"游戏的安装路径"},
        {L"viewpath.xml", L"open_download_btn", L"text", L"打开目录"},
        {L"viewpath.xml", L"open_install_btn", L"text", L"打开目录"},
        {L"viewpath.xml", L"unstall_btn", L"text", L"我要卸载"},
        {L"viewpath.xml", L"close2_btn", L"text", L"关闭"},
        {L"bindjsq.xml", L"area_code", L"text", L"86"},
        {L"bindjsq.xml", L"phonenum", L"tipvalue", L"请输入手机号码"},
        {L"bindjsq.xml", L"checkcode", L"tipvalue", L"请输入验证码"},
        {L"bindjsq.xml", L"getcheckcode", L"text", L"获取验证码"},
        {L"bindjsq.xml", L"bind_btn", L"text", L"绑定"},
    };
    for (const auto& t : texts) {
        SCOPED_TRACE(testing::Message() << std::string(t.name, t.name + wcslen(t.name)));
        const std::vector<MarkupElement> markup = SkinElements(t.skin);
        const MarkupElement* found = Named(markup, t.name);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->Attribute(t.attribute), t.value);
    }
    std::vector<std::wstring> labels;
    for (LPCWSTR skin : {L"selpath.xml", L"viewpath.xml", L"bindjsq.xml"}) {
        for (const MarkupElement& element : SkinElements(skin)) {
            if (element.tag == L"Label")
                labels.push_back(element.Attribute(L"text"));
        }
    }
    for (LPCWSTR text : {L"下载：", L"安装：", L"查看路径", L"提醒：卸载时将删除安装目录下的所有文件和文件夹！",
                         L"亲爱的用户，绑定游戏加速器账号，可以免费使用Calverin呦！"})
        EXPECT_NE(std::find(labels.begin(), labels.end(), text), labels.end()) << "no label " << labels.size();
    const std::vector<MarkupElement> bind = SkinElements(L"bindjsq.xml");
    size_t placeholders = 0;
    for (const MarkupElement& element : bind)
        placeholders += element.tag == L"ListLabelElement" ? 1 : 0;
    EXPECT_EQ(placeholders, 3u) << "the accelerator box's placeholder items";
}

TEST_F(MainSkin, EveryImageTheSkinsAndTheCodeNameDecodes)
{
    std::set<std::wstring> images;
    for (LPCWSTR skin : {L"main.xml", L"msgbox.xml", L"login.xml", L"setpsd.xml", L"logout.xml", L"selpath.xml",
                         L"viewpath.xml", L"bindjsq.xml"}) {
        const std::set<std::wstring> named = ImagesNamedIn(SkinElements(skin));
        EXPECT_FALSE(named.empty());
        images.insert(named.begin(), named.end());
    }
    // The rows, tiles and navigation entries the code builds.
    for (LPCWSTR name : {L"img/gameadd.png", L"img/ellipseh.png", L"img/download.png", L"img/download_hot.png",
                         L"img/process.png", L"img/cancel.png", L"img/view.png", L"img/view_hot.png"})
        images.insert(name);
    // The stand-ins for pictures the web service does not deliver.
    for (const std::wstring& path :
         {CSessionData::GetDefaultGameIcon(), CSessionData::GetDefaultPluginIcon(),
          CSessionData::GetDefaultCategoryIcon(), CSessionData::GetDefaultCategoryBigIcon(),
          CSessionData::GetDefaultCategorySlideIcon(), CSessionData::GetDefaultCategoryLogoIcon(),
          CSessionData::GetDefaultCategoryBgIcon(), CSessionData::GetJiasuqiIcon(L"1"),
          CSessionData::GetJiasuqiIcon(L"2"), CSessionData::GetJiasuqiIcon(L"3")})
        images.insert(path.substr(path.find_first_not_of(L'/')));

    std::map<std::wstring, SIZE> sizes;
    for (const std::wstring& image : images) {
        SCOPED_TRACE(testing::Message() << std::string(image.begin(), image.end()));
        const std::string bytes = ArchiveEntry(image);
        ASSERT_FALSE(bytes.empty()) << "not in the archive";
        int width = 0;
        int height = 0;
        unsigned char* pixels = DecodeImageRgba(reinterpret_cast<const unsigned char*>(bytes.data()),
                                                static_cast<int>(bytes.size()), &width, &height);
        EXPECT_NE(pixels, nullptr);
        FreeImagePixels(pixels);
        sizes[image] = {width, height};
    }
    // The sizes the code's rectangles are drawn for.
    const struct
    {
        LPCWSTR image;
        int width;
        int height;
    } fixed[] = {{L"img/CategoryInfoBigIconDef.png", 139, 199},
                 {L"img/PluginIconDef.png", 40, 40},
                 {L"img/GameIconDef.png", 40, 40},
                 {L"img/gameadd.png", 30, 30},
                 {L"img/ellipseh.png", 195, 40},
                 {L"img/download.png", 67, 24},
                 {L"img/view.png", 67, 24},
                 {L"img/cancel.png", 24, 24}};
    for (const auto& f : fixed) {
        SCOPED_TRACE(testing::Message() << std::string(f.image, f.image + wcslen(f.image)));
        EXPECT_EQ(sizes[f.image].cx, f.width);
        EXPECT_EQ(sizes[f.image].cy, f.height);
    }
}

TEST(ClientProgram, CarriesItsIconInThreeSizes)
{
    HMODULE program =
        LoadLibraryExW(BuildTreePath(L"client\\calverinapp.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    HRSRC group = FindResourceW(program, MAKEINTRESOURCEW(103), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(program, group)));
    ASSERT_NE(directory, nullptr);
    std::set<int> sizes;
    for (int size : {16, 32, 48}) {
        const int id = LookupIconIdFromDirectoryEx(const_cast<BYTE*>(directory), TRUE, size, size, LR_DEFAULTCOLOR);
        HRSRC image = FindResourceW(program, MAKEINTRESOURCEW(id), RT_ICON);
        ASSERT_NE(image, nullptr) << size;
        HICON icon =
            CreateIconFromResourceEx(static_cast<BYTE*>(LockResource(LoadResource(program, image))),
                                     SizeofResource(program, image), TRUE, 0x00030000, size, size, LR_DEFAULTCOLOR);
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap = {};
        GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        sizes.insert(bitmap.bmWidth);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    EXPECT_EQ(sizes.size(), 3u);
    FreeLibrary(program);
}

}  // namespace
