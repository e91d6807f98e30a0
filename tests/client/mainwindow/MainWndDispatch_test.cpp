// Every notification the signed-in main window acts on, one case each,
// caused by posted mouse and key messages on the window's own controls and
// rows and seen by what it does: the page shown, a panel shown or hidden, a
// dialog that comes (and is closed again), a request in the service's
// journal, a link handed to the recorder, a row's look, the window hidden
// or minimised. The skin is the client's own with the filter boxes and the
// game page's article tab shown.

#include "DialogTexts.h"
#include "MainWndRowsFixture.h"
#include "RecordedLinks.h"
#include "RefService.h"
#include "services/AcceleratorPrograms.h"

namespace {

using namespace RefService;

constexpr wchar_t kXinghaiCategory[] = L"1";
constexpr char kSlideLink[] = "https://127.0.0.1/pages/slide.html";
// The demo user's own categories are 1 and 3; the tile of 4 is not among them.
constexpr int kTileNotOwned = 3;
constexpr int kTamsk = 2;
constexpr int32_t kTamskType = 3;

size_t Requests(const std::string& path) { return Journal(path).size(); }

class MainWndDispatch : public MainWndRows
{
public:
    // The cases of the table below play the window through these.
    using MainWndRows::After;
    using MainWndRows::folder;
    using MainWndRows::List;
    using MainWndRows::mainWnd;
    using MainWndRows::QueueGames;
    using MainWndRows::QueuePlugins;
    using MainWndRows::Row;
    using MainWndRows::Step;

    static void SetUpTestSuite()
    {
        UseSkin(BuildTreePath(L"testdata\\dispatch\\client.zip"));
        folderClose = SkinControlCentre(L"selpath.xml", L"close_btn");
        folderOk = SkinControlCentre(L"selpath.xml", L"ok_btn");
        bindClose = SkinControlCentre(L"bindjsq.xml", L"close_btn");
        passwordClose = SkinControlCentre(L"setpsd.xml", L"close_btn");
        logoutCancel = SkinControlCentre(L"logout.xml", L"cancel_logout");
        viewClose = SkinControlCentre(L"viewpath.xml", L"close_btn");
    }

    void SetUp() override
    {
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, AcceleratorUninstallKey(kTamskType).c_str());
        MainWndRows::SetUp();
        Json::Value user;
        user["mobile"] = "13800138000";
        user["software_username"] = "13900139000";
        user["software_id"] = "1";
        PutUser(user);
    }

    void TearDown() override
    {
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, AcceleratorUninstallKey(kTamskType).c_str());
        MainWndRows::TearDown();
    }

    HWND Handle() { return mainWnd.GetWindowHandle(); }
    CControlUI* Control(LPCWSTR name) { return mainWnd.FindControl(name); }
    bool Shown(LPCWSTR name) { return Control(name)->IsVisible(); }
    int Page(LPCWSTR tab) { return static_cast<CTabLayoutUI*>(Control(tab))->GetSelectedIndex(); }
    int MainPage() { return Page(L"maintable"); }

    // A control's places are there once the window has painted it.
    void ClickAt(CControlUI* control)
    {
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const RECT& at = control->GetPos();
        PostClick(Handle(), {(at.left + at.right) / 2, (at.top + at.bottom) / 2});
    }
    void Click(LPCWSTR name) { ClickAt(Control(name)); }
    void ClickRowButton(LPCWSTR list, int index, RowChild button) { ClickAt(RowChildOf(Row(list, index), button)); }
    void ClickTile(int index)
    {
        ClickAt(static_cast<CContainerUI*>(List(L"all_game_tilelayout")->GetItemAt(index))->GetItemAt(3));
    }
    void MoveMouseTo(POINT at) { PostMessageW(Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y)); }
    void HoverAt(CControlUI* control)
    {
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const RECT& at = control->GetPos();
        MoveMouseTo({(at.left + at.right) / 2, (at.top + at.bottom) / 2});
    }
    void HoverNarrowPanel() { HoverAt(Control(L"small_nav_layout")); }
    void Type(const std::wstring& text)
    {
        for (wchar_t ch : text)
            PostMessageW(Handle(), WM_CHAR, ch, 0);
    }
    void PressKey(WPARAM key) { PostMessageW(Handle(), WM_KEYDOWN, key, 0); }
    // Keys go to the focused control: the box gets the focus as a tab
    // would give it, without opening its drop-down.
    void PressKeyIn(LPCWSTR name, WPARAM key)
    {
        Control(name)->SetFocus();
        PressKey(key);
    }

    RowFace Face(LPCWSTR list, int index) { return FaceOf(Row(list, index)); }
    std::wstring Status(LPCWSTR list, int index) { return Face(list, index).status; }

    // The game page of a category, as a tile opens it.
    void OpenCategory(const std::wstring& categoryId)
    {
        auto* category = new CategoryInfo();
        category->category_id = categoryId;
        category->name = L"星海征途";
        category->slide_target_url = kSlideLink;
        mainWnd.PostMsg(Handle(), &CMainWnd::OnOpenGamePage, reinterpret_cast<UINT_PTR>(category), 0);
    }
    bool ListShown(LPCWSTR list, int rows) { return RowCount(list) == rows && IconsIn(list); }

    void Propose(const std::wstring& section, const std::wstring& download, const std::wstring& install)
    {
        config.Set(section, L"path", download);
        config.Set(section, L"install_path", install);
    }
    void Slow(const std::string& path)
    {
        Json::Value slow = Fault(path, "throttle");
        slow["rate"] = 2000;
        AddFault(slow);
    }

    // The steps of the common roads.
    static Step Now(std::function<void()> action)
    {
        return {[] { return true; }, std::move(action)};
    }
    static Step When(
        std::function<bool()> ready, std::function<void()> action = [] {})
    {
        return {std::move(ready), std::move(action)};
    }
    // A window of the class shown for a moment (laid out and taking clicks),
    // closed by a click at `at`, and gone.
    static std::vector<Step> CloseWhenShown(
        LPCWSTR className, POINT at, std::function<void(HWND)> read = [](HWND) {})
    {
        auto since = std::make_shared<DWORD>(0);
        return {{[since, className] {
                     if (VisibleWindow(className) == nullptr)
                         return false;
                     if (*since == 0)
                         *since = GetTickCount();
                     return GetTickCount() - *since >= 300;
                 },
                 [className, at, read] {
                     HWND window = VisibleWindow(className);
                     read(window);
                     PostClick(window, at);
                 }},
                When([className] { return FindWindowW(className, nullptr) == nullptr; })};
    }
    std::vector<Step> OpenUserMenu(LPCWSTR button)
    {
        return {Now([this, button] {
                    if (std::wstring(button) == L"expand_user_btn")
                        HoverNarrowPanel();
                }),
                After(300, [this, button] { Click(button); }), When([this] { return Shown(L"user_menu"); }),
                After(300, [] {})};
    }
    std::vector<Step> ClickInWidePanel(LPCWSTR button)
    {
        return {Now([this] { HoverNarrowPanel(); }), After(300, [this, button] { Click(button); })};
    }
    Step TilesIn()
    {
        return When([this] {
            return !mainWnd.IsAllGamesLoading() && Control(L"search_key")->IsEnabled() &&
                   List(L"all_game_tilelayout")->GetCount() == 4;
        });
    }
    std::vector<Step> GamePage()
    {
        return {Now([this] { OpenCategory(kXinghaiCategory); }),
                When([this] { return ListShown(L"game_list", 2) && ListShown(L"plugin_list", 1); }),
                Now([this] { Row(L"game_list", 0); }), After(300, [] {})};
    }
    // Listed games or plug-ins with the servers and versions of the filter
    // boxes' second entries on the first row only.
    std::vector<Step> FilterRows(bool games)
    {
        return {Now([this, games] {
                    const std::string first = games ? GameEntry(L"901", L"一号", "0", L"电信一区", L"正式版")
                                                    : PluginEntry(L"901", L"一号", "0", L"电信一区", L"正式版");
                    const std::string second = games ? GameEntry(L"902", L"二号", "0", L"天空岛", L"测试版")
                                                     : PluginEntry(L"902", L"二号", "0", L"天空岛", L"测试版");
                    if (games)
                        QueueGames("[" + first + "," + second + "]");
                    else
                        QueuePlugins("[" + first + "," + second + "]");
                }),
                When([this, games] { return ListShown(games ? L"game_list" : L"plugin_list", 2); },
                     [this, games] { Row(games ? L"game_list" : L"plugin_list", 0); }),
                After(300, [] {})};
    }
    Step OnlyFirstRowShown(LPCWSTR list)
    {
        return When(
            [this, list] { return List(list)->GetItemAt(0)->IsVisible() && !List(list)->GetItemAt(1)->IsVisible(); });
    }

    static inline POINT folderClose, folderOk, bindClose, passwordClose, logoutCancel, viewClose;
    ConfigSections config;
    std::unique_ptr<RecordedLinks> links;
};

struct DispatchCase
{
    const char* name;
    // What happens until its effect shows; the last step waits for it.
    std::vector<MainWndDispatch::Step> (*play)(MainWndDispatch& t);
};

class MainWndDispatchRows : public MainWndDispatch, public testing::WithParamInterface<DispatchCase>
{};

using Steps = std::vector<MainWndDispatch::Step>;

Steps operator+(Steps first, const Steps& then)
{
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

const DispatchCase kCases[] = {
    // The window's own buttons.
    {"CloseHidesTheWindow",
     [](MainWndDispatch& t) {
         return Steps{t.Now([&t] { t.Click(L"close_btn"); }), t.When([&t] { return !IsWindowVisible(t.Handle()); })};
     }},
    {"MinimiseMinimises",
     [](MainWndDispatch& t) {
         return Steps{t.Now([&t] { t.Click(L"min_btn"); }), t.When([&t] { return IsIconic(t.Handle()) != FALSE; },
                                                                   [&t] { ShowWindow(t.Handle(), SW_RESTORE); })};
     }},
    // The user menu and its three buttons.
    {"UserButtonShowsTheMenuWithTheName",
     [](MainWndDispatch& t) {
         return t.OpenUserMenu(L"user_btn") + Steps{t.Now([&t] {
                    EXPECT_EQ(t.Control(L"username")->GetText().GetData(), Utf8ToWide(g_sessionData.GetUsername()));
                    EXPECT_FALSE(g_sessionData.GetUsername().empty());
                })};
     }},
    {"WidePanelUserButtonShowsTheMenu", [](MainWndDispatch& t) { return t.OpenUserMenu(L"expand_user_btn"); }},
    {"FocusOutsideTheMenuHidesIt",
     [](MainWndDispatch& t) {
         return Steps{t.TilesIn()} + t.OpenUserMenu(L"user_btn") +
                Steps{t.Now([&t] { t.Click(L"search_key"); }), t.When([&t] { return !t.Shown(L"user_menu"); })};
     }},
    {"BindingOpensReadOnlyForABoundAccount",
     [](MainWndDispatch& t) {
         return t.OpenUserMenu(L"user_btn") + Steps{t.Now([&t] { t.Click(L"usermenu_bindjsq"); })} +
                t.CloseWhenShown(L"CBindUsrWnd", t.bindClose, [&t](HWND window) {
                    EXPECT_FALSE(t.Shown(L"user_menu"));
                    EXPECT_EQ(DialogTexts::Of(window, L"phonenum"), L"13900139000");
                });
     }},
    {"SetPasswordOpens",
     [](MainWndDispatch& t) {
         return t.OpenUserMenu(L"user_btn") + Steps{t.Now([&t] { t.Click(L"usermenu_setpsd"); })} +
                t.CloseWhenShown(L"CSetPsdWnd", t.passwordClose, [&t](HWND) { EXPECT_FALSE(t.Shown(L"user_menu")); });
     }},
    {"SignOutDeclinedKeepsTheUserSignedIn",
     [](MainWndDispatch& t) {
         return t.OpenUserMenu(L"user_btn") + Steps{t.Now([&t] { t.Click(L"usermenu_logout"); })} +
                t.CloseWhenShown(L"CLogoutWnd", t.logoutCancel, [&t](HWND) { EXPECT_FALSE(t.Shown(L"user_menu")); }) +
                Steps{t.After(800, [&t] {
                    EXPECT_TRUE(IsWindowVisible(t.Handle()));
                    EXPECT_EQ(VisibleWindow(L"CLoginWnd"), nullptr);
                    EXPECT_EQ(g_sessionData.GetToken(), kDemoToken);
                })};
     }},
    // Web links.
    {"ServiceOpensItsLink",
     [](MainWndDispatch& t) {
         return Steps{
             t.When([] { return !g_sessionData.GetService().empty(); }), t.Now([&t] { t.Click(L"service_btn"); }),
             t.When([&t] { return t.links->Opened().find("/files/pages/service.html\n") != std::string::npos; })};
     }},
    {"UploadPluginOpensItsLink",
     [](MainWndDispatch& t) {
         // The filter boxes of this skin lie over the button.
         return t.GamePage() + Steps{t.When([] { return !g_sessionData.GetUploadPlugins().empty(); }), t.Now([&t] {
                                         t.Control(L"plugin_version_combo")->SetVisible(false);
                                         t.Click(L"upload_plugin");
                                     }),
                                     t.When([&t] {
                                         return t.links->Opened().find("/files/pages/upload_plugins.html\n") !=
                                                std::string::npos;
                                     })};
     }},
    {"SlideOpensItsLink",
     [](MainWndDispatch& t) {
         return t.GamePage() + Steps{t.Now([&t] { t.Click(L"game_ads_btn"); }),
                                     t.When([&t] { return t.links->Opened() == std::string(kSlideLink) + "\n"; })};
     }},
    // Pages and panels.
    {"TileOpensItsGamePage",
     [](MainWndDispatch& t) {
         return Steps{t.TilesIn(), t.Now([&t] { t.ClickTile(0); }),
                      t.When([&t] { return Requests("/Box/Game/getGames") == 1 && t.MainPage() == 0; })};
     }},
    {"AllGamesShowsPageOne",
     [](MainWndDispatch& t) {
         return Steps{t.Now([&t] { t.Row(L"jiasuqi_list", 0); })} + t.ClickInWidePanel(L"all_game_btn_exp") +
                Steps{t.When([&t] { return t.MainPage() == 1; })};
     }},
    {"AllAppsShowsPageTwo",
     [](MainWndDispatch& t) {
         return t.ClickInWidePanel(L"all_apps_btn") + Steps{t.When([&t] { return t.MainPage() == 2; })};
     }},
    {"OwnCategoryOpensItsGamePage",
     [](MainWndDispatch& t) {
         return Steps{t.When([&t] { return t.List(L"mygamelist_expand")->GetCount() == 3; }),
                      t.Now([&t] { t.HoverNarrowPanel(); }),
                      t.After(300, [&t] { t.ClickAt(t.List(L"mygamelist_expand")->GetItemAt(1)); }),
                      t.When([&t] { return Requests("/Box/Game/getGames") == 1 && t.MainPage() == 0; })};
     }},
    {"AddMyGameShowsPageOneInAddMode",
     [](MainWndDispatch& t) {
         return Steps{t.Now([&t] { t.Row(L"jiasuqi_list", 0); })} + t.ClickInWidePanel(L"add_my_game") +
                Steps{t.When([&t] { return t.MainPage() == 1 && t.mainWnd.IsAddMyGameMode(); })};
     }},
    {"AddMyGameThenATileAddsItsCategory",
     [](MainWndDispatch& t) {
         return Steps{t.TilesIn()} + t.ClickInWidePanel(L"add_my_game") +
                Steps{t.After(300, [&t] { t.ClickTile(kTileNotOwned); }), t.When([&t] {
                          return Requests("/Box/Game/addOwnerGamesCategory") == 1 &&
                                 Requests("/Box/Game/getGames") == 1;
                      })};
     }},
    {"AnyClickBetweenEndsTheAddMode",
     [](MainWndDispatch& t) {
         return Steps{t.TilesIn()} + t.ClickInWidePanel(L"add_my_game") +
                Steps{t.After(300, [&t] { t.Click(L"min_btn"); }),
                      t.When([&t] { return IsIconic(t.Handle()) != FALSE; },
                             [&t] { ShowWindow(t.Handle(), SW_RESTORE); }),
                      t.After(300, [&t] { t.ClickTile(kTileNotOwned); }),
                      t.When([] { return Requests("/Box/Game/getGames") == 1; }), t.After(800, [&t] {
                          EXPECT_EQ(Requests("/Box/Game/addOwnerGamesCategory"), 0u);
                          EXPECT_FALSE(t.mainWnd.IsAddMyGameMode());
                      })};
     }},
    {"WideningWhenTheMouseEntersAndNarrowingWhenItLeaves",
     [](MainWndDispatch& t) {
         // The mouse crosses the wide panel before it leaves: a panel that
         // was never under it has nothing to leave.
         return Steps{t.Now([&t] { t.HoverNarrowPanel(); }), t.When([&t] { return t.Shown(L"expand_nav_layout"); }),
                      t.After(300, [&t] { t.HoverAt(t.Control(L"expand_nav_layout")); }),
                      t.After(300,
                              [&t] {
                                  t.MoveMouseTo({700, 500});
                              }),
                      t.When([&t] { return !t.Shown(L"expand_nav_layout"); })};
     }},
    // The search.
    {"SearchButtonSearches",
     [](MainWndDispatch& t) {
         return Steps{t.TilesIn(), t.Now([&t] {
                          t.Click(L"search_key");
                          t.Type(L"星海");
                      }),
                      t.After(500,
                              [&t] {
                                  EXPECT_EQ(Requests("/Box/Game/searchGamesCategory"), 0u)
                                      << "typing alone searches nothing";
                                  t.Click(L"search_game_btn");
                              }),
                      t.When([&t] { return Requests("/Box/Game/searchGamesCategory") == 1 && t.MainPage() == 1; })};
     }},
    {"EmptiedSearchBoxReloadsEveryCategory",
     [](MainWndDispatch& t) {
         return Steps{t.TilesIn(), t.Now([&t] {
                          t.Click(L"search_key");
                          t.Type(L"星");
                      }),
                      t.After(300, [&t] { t.PressKey(VK_BACK); }),
                      t.When([&t] { return Requests("/Box/Game/getGamesCategory") == 2 && t.MainPage() == 1; })};
     }},
    // The game page's tabs.
    {"TabsSelectTheirListPages",
     [](MainWndDispatch& t) {
         return t.GamePage() +
                Steps{t.Now([&t] { t.Click(L"plugin_opt"); }),
                      t.When([&t] { return t.Page(L"game_child_page_tab") == 1; }, [&t] { t.Click(L"article_opt"); }),
                      t.When([&t] { return t.Page(L"game_child_page_tab") == 2; }, [&t] { t.Click(L"game_opt"); }),
                      t.When([&t] { return t.Page(L"game_child_page_tab") == 0; })};
     }},
    // The filter boxes: one step of the selection each.
    {"GameServerBoxFilters",
     [](MainWndDispatch& t) {
         return t.FilterRows(true) +
                Steps{t.Now([&t] { t.PressKeyIn(L"game_server_combo", VK_DOWN); }), t.OnlyFirstRowShown(L"game_list")};
     }},
    {"GameVersionBoxFilters",
     [](MainWndDispatch& t) {
         return t.FilterRows(true) +
                Steps{t.Now([&t] { t.PressKeyIn(L"game_version_combo", VK_DOWN); }), t.OnlyFirstRowShown(L"game_list")};
     }},
    {"PluginServerBoxFilters",
     [](MainWndDispatch& t) {
         return t.FilterRows(false) + Steps{t.Now([&t] { t.PressKeyIn(L"plugin_server_combo", VK_DOWN); }),
                                            t.OnlyFirstRowShown(L"plugin_list")};
     }},
    {"PluginVersionBoxFilters",
     [](MainWndDispatch& t) {
         return t.FilterRows(false) + Steps{t.Now([&t] { t.PressKeyIn(L"plugin_version_combo", VK_DOWN); }),
                                            t.OnlyFirstRowShown(L"plugin_list")};
     }},
    // The rows' buttons.
    {"GameDownloadAsksForFolders",
     [](MainWndDispatch& t) {
         return t.GamePage() + Steps{t.Now([&t] { t.ClickRowButton(L"game_list", 0, RowChild::kDownload); })} +
                t.CloseWhenShown(L"CSetPathWnd", t.folderClose);
     }},
    {"GameCancelStopsItsDownload",
     [](MainWndDispatch& t) {
         t.Slow("/files/packages/xinghai_full.zip");
         CreateDirectoryW(t.folder.File(L"下载").c_str(), nullptr);
         t.Propose(L"game_101", t.folder.File(L"下载") + L"\\", t.folder.File(L"游戏") + L"\\");
         return t.GamePage() + Steps{t.Now([&t] { t.ClickRowButton(L"game_list", 0, RowChild::kDownload); })} +
                t.CloseWhenShown(L"CSetPathWnd", t.folderOk) +
                Steps{t.When([&t] { return t.Face(L"game_list", 0).cancelShown; },
                             [&t] { t.ClickRowButton(L"game_list", 0, RowChild::kCancel); }),
                      t.When([&t] {
                          const RowFace face = t.Face(L"game_list", 0);
                          return face.downloadShown && !face.cancelShown;
                      })};
     }},
    {"GameViewOpensTheFolders",
     [](MainWndDispatch& t) {
         // A row shows as installed only over a folder that holds files.
         const std::wstring installed = t.folder.File(L"g901") + L"\\";
         CreateDirectoryW(installed.c_str(), nullptr);
         t.folder.WriteFile(L"g901\\game.exe", "MZ");
         t.Propose(L"game_901", installed, installed);
         t.config.Set(L"game_901", L"installed", L"1");
         return Steps{t.Now([&t] { t.QueueGames("[" + GameEntry(L"901", L"一号") + "]"); }),
                      t.When([&t] { return t.ListShown(L"game_list", 1); },
                             [&t] { t.ClickRowButton(L"game_list", 0, RowChild::kView); })} +
                t.CloseWhenShown(L"CViewPathWnd", t.viewClose);
     }},
    {"PluginDownloadAsksForFolders",
     [](MainWndDispatch& t) {
         return t.GamePage() +
                Steps{t.Now([&t] { t.Row(L"plugin_list", 0); }),
                      t.After(300, [&t] { t.ClickRowButton(L"plugin_list", 0, RowChild::kDownload); })} +
                t.CloseWhenShown(L"CSetPathWnd", t.folderClose);
     }},
    {"PluginCancelStopsItsDownload",
     [](MainWndDispatch& t) {
         t.Slow("/files/packages/xinghai_hd.zip");
         const std::wstring game = t.folder.File(L"游戏");
         CreateDirectoryW(game.c_str(), nullptr);
         CreateDirectoryW((game + L"\\Interface").c_str(), nullptr);
         t.Propose(L"plugin_1001", t.folder.File(L"插件包") + L"\\", game + L"\\Interface\\AddOns\\");
         return t.GamePage() +
                Steps{t.Now([&t] { t.Row(L"plugin_list", 0); }),
                      t.After(300, [&t] { t.ClickRowButton(L"plugin_list", 0, RowChild::kDownload); })} +
                t.CloseWhenShown(L"CSetPathWnd", t.folderOk) +
                Steps{t.When([&t] { return t.Face(L"plugin_list", 0).cancelShown; },
                             [&t] { t.ClickRowButton(L"plugin_list", 0, RowChild::kCancel); }),
                      t.When([&t] {
                          const RowFace face = t.Face(L"plugin_list", 0);
                          return face.downloadShown && !face.cancelShown;
                      })};
     }},
    {"PluginViewOpensTheFolders",
     [](MainWndDispatch& t) {
         const std::wstring installed = t.folder.File(L"p901") + L"\\";
         CreateDirectoryW(installed.c_str(), nullptr);
         t.folder.WriteFile(L"p901\\plugin.lua", "--");
         t.Propose(L"plugin_901", installed, installed);
         t.config.Set(L"plugin_901", L"installed", L"1");
         return Steps{t.Now([&t] { t.QueuePlugins("[" + PluginEntry(L"901", L"一号") + "]"); }),
                      t.When([&t] { return t.ListShown(L"plugin_list", 1); }, [&t] { t.Row(L"plugin_list", 0); }),
                      t.After(300, [&t] { t.ClickRowButton(L"plugin_list", 0, RowChild::kView); })} +
                t.CloseWhenShown(L"CViewPathWnd", t.viewClose);
     }},
    {"AcceleratorDownloadQueuesItsRowAndCancelStopsIt",
     [](MainWndDispatch& t) {
         t.Slow("/files/installers/ostrel_setup.exe");
         return Steps{t.Now([&t] { t.Row(L"jiasuqi_list", 0); }),
                      t.After(300, [&t] { t.ClickRowButton(L"jiasuqi_list", 0, RowChild::kDownload); }),
                      t.When([&t] { return t.Face(L"jiasuqi_list", 0).cancelShown; },
                             [&t] {
                                 EXPECT_EQ(t.Face(L"jiasuqi_list", 0).background, kBusyRowColour);
                                 t.ClickRowButton(L"jiasuqi_list", 0, RowChild::kCancel);
                             }),
                      t.When([&t] {
                          const RowFace face = t.Face(L"jiasuqi_list", 0);
                          return face.downloadShown && !face.cancelShown;
                      })};
     }},
    {"AcceleratorViewOfAProgramGoneMeanwhileShowsItRemoved",
     [](MainWndDispatch& t) {
         // Registered and present when the list comes; its folder emptied
         // before the click.
         const std::wstring program = t.folder.File(L"tamsk");
         CreateDirectoryW(program.c_str(), nullptr);
         const std::wstring uninstaller = t.folder.WriteFile(L"tamsk\\uninst.exe", "MZ");
         const std::wstring command = L"\"" + uninstaller + L"\"";
         RegSetKeyValueW(HKEY_LOCAL_MACHINE, AcceleratorUninstallKey(kTamskType).c_str(), L"UninstallString", REG_SZ,
                         command.c_str(), static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
         return Steps{t.When([&t] { return t.Status(L"jiasuqi_list", kTamsk) == L"已安装"; },
                             [uninstaller] { DeleteFileW(uninstaller.c_str()); }),
                      t.After(300, [&t] { t.ClickRowButton(L"jiasuqi_list", kTamsk, RowChild::kView); }),
                      t.When([&t] { return t.Status(L"jiasuqi_list", kTamsk) == L"已卸载"; })};
     }},
};

TEST_P(MainWndDispatchRows, ActsAsItsRowSays)
{
    links = std::make_unique<RecordedLinks>(folder);
    Play(GetParam().play(*this));
    EXPECT_EQ(VisibleWindow(L"CMsgBoxWnd"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Notifications, MainWndDispatchRows, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<DispatchCase>& info) { return info.param.name; });

}  // namespace
