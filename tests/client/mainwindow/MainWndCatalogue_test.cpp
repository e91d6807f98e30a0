// The catalogue pages of the real main window from the shipped skins, signed
// in to the reference service by the demo user's saved token and driven by
// posted mouse and key messages: the tiles and their pictures in the real
// cache folder, the wait overlay, the search in Chinese, the game page, the
// user's own categories and adding one, and the boxes of failed requests.
// Requests are read in the service's journal.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MsgBoxProbe.h"
#include "RecordedLinks.h"
#include "RefService.h"
#include "ScratchFolder.h"
#include "SkinPlaces.h"
#include "TestPaths.h"
#include "ThreadTimerAction.h"
#include "controls/OptionUI.h"
#include "core/ContainerUI.h"
#include "core/TabLayoutUI.h"
#include "dialogs/MsgBoxWnd.h"
#include "mainwindow/MainWnd.h"
#include "services/AppFolder.h"
#include "services/FileUtil.h"
#include "services/BuildSettings.h"
#include "services/ImageCache.h"
#include "services/ItemRecords.h"
#include "services/Md5A.h"
#include "services/RegistryUtil.h"
#include "services/TextConvert.h"
#include "services/WindowMultiThreadManager.h"

using namespace CalUI;

namespace {

const char kDemoToken[] = "5f0c2a9e7b1d4c38a6e2f9d1b0c7a345";
const std::string kBase = std::string("https://") + CALVERIN_API_HOST;

// The demo catalogue's categories in the service's order, with the stem of
// their picture files in the service's store.
struct DemoCategory
{
    const char* id;
    const wchar_t* name;
    const wchar_t* server;
    const wchar_t* pictures;
};
const DemoCategory kCategories[] = {
    {"1", L"星海征途", L"电信一区", L"xinghai"},
    {"2", L"龙纹传说", L"网通二区", L"longwen"},
    {"3", L"Iron Harbor", L"亚服", L"ironharbor"},
    {"4", L"云梦山海", L"双线", L"yunmeng"},
};

// "/files/<md5>.png": where the service serves a category picture, named as
// the cache keeps it.
std::string PicturePath(const DemoCategory& category, const wchar_t* kind)
{
    const std::wstring shipped = SourceTreePath(std::wstring(L"tests\\refservice\\files\\category\\") +
                                                category.pictures + L"_" + kind + L".png");
    return "/files/category/" + CMd5A().GetFileMd5(shipped) + ".png";
}

std::wstring CacheNameOf(const std::string& picturePath)
{
    return Utf8ToWide(picturePath.substr(picturePath.rfind('/') + 1));
}

std::wstring CacheFileOf(const std::string& picturePath) { return g_appFolder + L"cache\\" + CacheNameOf(picturePath); }

size_t Requests(const std::string& path) { return RefService::Journal(path).size(); }

size_t PictureRequests()
{
    size_t count = 0;
    for (const DemoCategory& category : kCategories) {
        for (const wchar_t* kind : {L"icon", L"big", L"slide", L"logo", L"bg"})
            count += Requests(PicturePath(category, kind));
    }
    return count;
}

// A journal entry's form value, decoded.
std::wstring FormValue(const Json::Value& entry, const std::string& key)
{
    const std::string raw = RefService::BodyValue(entry, key);
    std::string bytes;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '%' && i + 2 < raw.size()) {
            bytes += static_cast<char>(std::stoi(raw.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            bytes += raw[i] == '+' ? ' ' : raw[i];
        }
    }
    return Utf8ToWide(bytes);
}

void PutSetting(const char* name, const std::string& value)
{
    WriteRegValue(HKEY_CURRENT_USER, "Software\\calverin", name, REG_SZ, value, static_cast<DWORD>(value.size()));
}

// The first shown window of the class in this process.
HWND VisibleWindow(LPCWSTR className)
{
    for (HWND w = FindWindowExW(nullptr, nullptr, className, nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, className, nullptr)) {
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        if (IsWindowVisible(w) && process == GetCurrentProcessId())
            return w;
    }
    return nullptr;
}

const CategoryInfo& RecordOf(CControlUI* entry) { return *reinterpret_cast<const CategoryInfo*>(entry->GetTag()); }

POINT CentreOf(const RECT& rc) { return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }

struct Tile
{
    std::wstring name, server, serverTip, picture;
    UINT_PTR record = 0;
};

class MainWndCatalogue : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        archive = ScratchFolder::ReadFile(BuildTreePath(L"client\\skin\\client.zip"));
        CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
        CWindowManagerUI::SetResourceZip(archive.data(), static_cast<unsigned>(archive.size()), nullptr);
    }

    void SetUp() override
    {
        RefService::Reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\calverin");
        PutSetting("token", kDemoToken);
        PutSetting("username", "13800138000");
        g_appFolder = folder.File(L"");
    }

    void TearDown() override
    {
        CWindowMultiThreadManager::RefuseStartsOf({});
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\calverin");
    }

    // A fresh main window, signed in by the saved token once it runs.
    void Open()
    {
        window.reset();
        window = std::make_unique<CMainWnd>();
        ASSERT_NE(window->Create(nullptr, L"Calverin", 0x96CF0000, 0, 0, 0, 0, 0, nullptr), nullptr);
        window->CenterWindow();
    }

    HWND Handle() const { return window->GetWindowHandle(); }
    CControlUI* Control(LPCWSTR name) const { return window->FindControl(name); }
    CContainerUI* List(LPCWSTR name) const { return static_cast<CContainerUI*>(Control(name)); }
    bool SearchEnabled() const { return Control(L"search_key")->IsEnabled(); }
    int MainPage() const { return static_cast<CTabLayoutUI*>(Control(L"maintable"))->GetSelectedIndex(); }

    void Click(CControlUI* control) { PostClick(Handle(), CentreOf(control->GetPos())); }
    void ClickNamed(LPCWSTR name) { Click(Control(name)); }
    void Type(const std::wstring& text)
    {
        for (wchar_t ch : text)
            PostMessageW(Handle(), WM_CHAR, ch, 0);
    }
    void PressKey(WPARAM key) { PostMessageW(Handle(), WM_KEYDOWN, key, 0); }

    std::vector<Tile> Tiles() const
    {
        std::vector<Tile> tiles;
        CContainerUI* layout = List(L"all_game_tilelayout");
        for (int i = 0; i < layout->GetCount(); ++i) {
            auto* tile = static_cast<CContainerUI*>(layout->GetItemAt(i));
            tiles.push_back({tile->GetItemAt(1)->GetText().GetData(), tile->GetItemAt(2)->GetText().GetData(),
                             tile->GetItemAt(2)->GetToolTip().GetData(), tile->GetItemAt(0)->GetBkImage().GetData(),
                             tile->GetTag()});
        }
        return tiles;
    }

    // The next step once `ready` holds; a step that never comes ends the
    // window and fails the test.
    void Then(std::function<bool()> ready, std::function<void()> action, DWORD limitMs = 20000)
    {
        RunFromTheLoopWhen(
            ready, action,
            [this] {
                HWND box = FindWindowW(L"CMsgBoxWnd", nullptr);
                ADD_FAILURE() << "a step never came; box " << box << " shown " << (box && IsWindowVisible(box))
                              << " main shown " << IsWindowVisible(Handle()) << " login "
                              << FindWindowW(L"CLoginWnd", nullptr) << " cats "
                              << RefService::Journal("/Box/Game/getGamesCategory").size() << " own "
                              << RefService::Journal("/Box/Game/ownerGamesCategory").size();
                window->Close(0);
            },
            limitMs);
    }

    // Runs the window until it closes, with `action` once the first tile
    // page has its pictures (search is enabled then).
    void RunWhenTilesLoaded(std::function<void()> action)
    {
        Then([this] { return SearchEnabled(); }, action, 30000);
        window->ShowModal();
    }

    void Finish() { window->Close(0); }

    static std::string archive;
    ScratchFolder folder;
    std::unique_ptr<CMainWnd> window;
};

std::string MainWndCatalogue::archive;

TEST_F(MainWndCatalogue, TilesShowEveryCategoryInOrderWithItsPictureFetchedOnce)
{
    Open();
    std::vector<Tile> tiles;
    bool searchButtonEnabled = false;
    RunWhenTilesLoaded([&] {
        tiles = Tiles();
        searchButtonEnabled = Control(L"search_game_btn")->IsEnabled();
        Finish();
    });
    ASSERT_EQ(tiles.size(), std::size(kCategories));
    EXPECT_TRUE(searchButtonEnabled);
    for (size_t i = 0; i < tiles.size(); ++i) {
        SCOPED_TRACE(i);
        const std::string big = PicturePath(kCategories[i], L"big");
        EXPECT_EQ(tiles[i].name, kCategories[i].name);
        EXPECT_EQ(tiles[i].server, kCategories[i].server);
        EXPECT_EQ(tiles[i].serverTip, kCategories[i].server);
        EXPECT_EQ(tiles[i].picture, CacheFileOf(big));
        EXPECT_EQ(CMd5A().GetFileMd5(CacheFileOf(big)) + ".png", big.substr(16));
        EXPECT_EQ(Requests(big), 1u);
    }

    // A warm cache: no request and no overlay.
    bool overlaySeen = false;
    Open();
    Then(
        [&] {
            overlaySeen = overlaySeen || VisibleWindow(L"CWaitWnd") != nullptr;
            return SearchEnabled();
        },
        [&] { Finish(); }, 30000);
    window->ShowModal();
    EXPECT_FALSE(overlaySeen);
    for (const DemoCategory& category : kCategories)
        EXPECT_EQ(Requests(PicturePath(category, L"big")), 1u);

    // A damaged cached picture is fetched again, and only that one.
    const std::string damaged = PicturePath(kCategories[2], L"big");
    folder.WriteFile(L"cache\\" + CacheNameOf(damaged), "damaged");
    Open();
    RunWhenTilesLoaded([&] {
        tiles = Tiles();
        Finish();
    });
    for (size_t i = 0; i < std::size(kCategories); ++i)
        EXPECT_EQ(Requests(PicturePath(kCategories[i], L"big")), i == 2 ? 2u : 1u);
    EXPECT_EQ(CMd5A().GetFileMd5(CacheFileOf(damaged)) + ".png", damaged.substr(16));
}

// Slow pictures: the overlay covers the disabled window, spins, and closes
// itself with the last picture; a list that comes meanwhile changes no tile.
TEST_F(MainWndCatalogue, OverlayWaitsForSlowTilePicturesAndClosesItselfOnTheLast)
{
    for (const DemoCategory& category : kCategories) {
        Json::Value slow = RefService::Fault(PicturePath(category, L"big"), "slow");
        slow["seconds"] = 0.6;
        RefService::AddFault(slow);
    }
    const long liveRecords = CLiveRecordCount<CategoryInfo>::Live();
    Open();
    bool mainDisabled = false, pixelsDiffer = false, searchWhileLoading = true;
    std::vector<Tile> before, after;
    bool overlayAfter = true, mainEnabledAfter = false;
    Then([] { return VisibleWindow(L"CWaitWnd") != nullptr; },
         [&] {
             mainDisabled = !IsWindowEnabled(Handle());
             searchWhileLoading = SearchEnabled();
             before = Tiles();
             auto* late = new CategoryList{new CategoryInfo};
             late->front()->name = L"迟到的列表";
             window->PostMsg(Handle(), &CMainWnd::OnCategoryListReply, reinterpret_cast<UINT_PTR>(late), 0);
             RECT overlay;
             GetWindowRect(VisibleWindow(L"CWaitWnd"), &overlay);
             const POINT spinner = {overlay.left + 600, overlay.top + 400};
             auto sample = [spinner] {
                 HDC screen = GetDC(nullptr);
                 std::vector<COLORREF> pixels;
                 for (int dy = -20; dy <= 20; dy += 4)
                     for (int dx = -20; dx <= 20; dx += 4)
                         pixels.push_back(GetPixel(screen, spinner.x + dx, spinner.y + dy));
                 ReleaseDC(nullptr, screen);
                 return pixels;
             };
             const std::vector<COLORREF> first = sample();
             RunFromTheLoopIn(130, [&, first, sample] {
                 pixelsDiffer = sample() != first;
                 Then([] { return FindWindowW(L"CWaitWnd", nullptr) == nullptr; },
                      [&] {
                          after = Tiles();
                          overlayAfter = false;
                          mainEnabledAfter = IsWindowEnabled(Handle()) != FALSE;
                          Then([this] { return SearchEnabled(); }, [&] { Finish(); });
                      });
             });
         });
    window->ShowModal();
    EXPECT_TRUE(mainDisabled);
    EXPECT_FALSE(searchWhileLoading);
    EXPECT_TRUE(pixelsDiffer);
    EXPECT_FALSE(overlayAfter);
    EXPECT_TRUE(mainEnabledAfter);
    ASSERT_EQ(after.size(), std::size(kCategories));
    for (size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].record, before[i].record);
        EXPECT_EQ(after[i].name, kCategories[i].name);
    }
    // The refused list and every batch went with the window.
    window.reset();
    EXPECT_EQ(CLiveRecordCount<CategoryInfo>::Live(), liveRecords);
}

// Picture workers that cannot start leave empty pictures, but their batches
// end done: the page never waits and search comes back.
TEST_F(MainWndCatalogue, BatchesWhoseWorkerCannotStartEndDone)
{
    CWindowMultiThreadManager::RefuseStartsOf(
        {&CacheCategoryImagesThread<g_mainWnd>, &CacheGameIconsThread<g_mainWnd>, &CachePluginIconsThread<g_mainWnd>});
    Open();
    bool overlaySeen = false, tilesLoading = true, pageLoading = true, buttonEnabled = false;
    std::vector<Tile> tiles;
    int gameRows = 0;
    auto watch = [&](std::function<bool()> ready) {
        return [&, ready] {
            overlaySeen = overlaySeen || VisibleWindow(L"CWaitWnd") != nullptr;
            return ready();
        };
    };
    Then(
        watch([this] { return SearchEnabled(); }),
        [&] {
            tiles = Tiles();
            tilesLoading = window->IsAllGamesLoading();
            buttonEnabled = Control(L"search_game_btn")->IsEnabled();
            // The tiles were built just now: clicked once laid out.
            RunFromTheLoopIn(500, [&] {
                Click(static_cast<CContainerUI*>(List(L"all_game_tilelayout")->GetItemAt(0))->GetItemAt(3));
                Then(watch([this] {
                         return RefService::Journal("/Box/Game/getGamesPlugins").size() == 1 &&
                                List(L"game_list")->GetCount() > 0;
                     }),
                     [&] {
                         RunFromTheLoopIn(500, [&] {
                             gameRows = List(L"game_list")->GetCount();
                             pageLoading = window->IsGamePageLoading();
                             Finish();
                         });
                     });
            });
        },
        30000);
    window->ShowModal();
    EXPECT_FALSE(overlaySeen);
    EXPECT_FALSE(tilesLoading);
    EXPECT_TRUE(buttonEnabled);
    ASSERT_EQ(tiles.size(), std::size(kCategories));
    for (const Tile& tile : tiles)
        EXPECT_EQ(tile.picture, L"");
    EXPECT_GT(gameRows, 0);
    EXPECT_FALSE(pageLoading);
}

TEST_F(MainWndCatalogue, ClosingTheOverlayLeavesThePicturesLoading)
{
    for (const DemoCategory& category : kCategories) {
        Json::Value slow = RefService::Fault(PicturePath(category, L"big"), "slow");
        slow["seconds"] = 1.0;
        RefService::AddFault(slow);
    }
    Open();
    bool goneWhileLoading = false, mainEnabled = false;
    Then([] { return VisibleWindow(L"CWaitWnd") != nullptr; },
         [&] {
             PostMessageW(VisibleWindow(L"CWaitWnd"), WM_SYSCOMMAND, SC_CLOSE, 0);
             Then([] { return FindWindowW(L"CWaitWnd", nullptr) == nullptr; },
                  [&] {
                      goneWhileLoading = window->IsAllGamesLoading();
                      mainEnabled = IsWindowEnabled(Handle()) != FALSE;
                      Then([this] { return SearchEnabled(); }, [&] { Finish(); });
                  });
         });
    window->ShowModal();
    EXPECT_TRUE(goneWhileLoading);
    EXPECT_TRUE(mainEnabled);
}

TEST_F(MainWndCatalogue, SearchTakesChineseByEnterOrButtonAndAnEmptyBoxBringsEveryCategoryBack)
{
    Open();
    struct Seen
    {
        std::vector<Tile> tiles;
        size_t searches = 0;
        bool searchEnabled = false;
        int page = -1;
    };
    Seen afterEnter, afterButton, afterNoMatch, afterEmptied, afterEmptyEnter;
    auto see = [this] {
        return Seen{Tiles(), RefService::Journal("/Box/Game/searchGamesCategory").size(), SearchEnabled(), MainPage()};
    };
    auto searchesAre = [](size_t n) {
        return [n] { return RefService::Journal("/Box/Game/searchGamesCategory").size() == n; };
    };
    RunWhenTilesLoaded([&] {
        ClickNamed(L"search_key");
        Type(L"星海");
        PressKey(VK_RETURN);
        Then(searchesAre(1), [&] {
            Then([&] { return Tiles().size() == 1 && SearchEnabled() && !window->IsAllGamesLoading(); },
                 [&] {
                     afterEnter = see();
                     Type(L" 电信");
                     ClickNamed(L"search_game_btn");
                     Then(searchesAre(2), [&] {
                         Then([&] { return !window->IsAllGamesLoading(); },
                              [&] {
                                  afterButton = see();
                                  ClickNamed(L"search_key");
                                  // Under load this click was once taken for a
                                  // double click, which selected the last word
                                  // and X replaced it: End puts the caret after
                                  // the text, where the click means it to go.
                                  PressKey(VK_END);
                                  Type(L"X");
                                  PressKey(VK_RETURN);
                                  Then(searchesAre(3), [&] {
                                      Then(
                                          [&] { return Tiles().empty(); },
                                          [&] {
                                              afterNoMatch = see();
                                              for (int i = 0; i < 6; ++i)
                                                  PressKey(VK_BACK);
                                              Then(
                                                  [] {
                                                      return RefService::Journal("/Box/Game/getGamesCategory").size() ==
                                                             2;
                                                  },
                                                  [&] {
                                                      Then(
                                                          [&] {
                                                              return Tiles().size() == 4 &&
                                                                     !window->IsAllGamesLoading();
                                                          },
                                                          [&] {
                                                              afterEmptied = see();
                                                              PressKey(VK_RETURN);
                                                              RunFromTheLoopIn(600, [&] {
                                                                  afterEmptyEnter = see();
                                                                  Finish();
                                                              });
                                                          });
                                                  });
                                          });
                                  });
                              });
                     });
                 });
        });
    });
    const Json::Value searches = RefService::Journal("/Box/Game/searchGamesCategory");
    ASSERT_EQ(searches.size(), 3u);
    EXPECT_EQ(FormValue(searches[0], "keywords"), L"星海");
    EXPECT_EQ(FormValue(searches[1], "keywords"), L"星海 电信");
    EXPECT_EQ(FormValue(searches[2], "keywords"), L"星海 电信X");
    ASSERT_EQ(afterEnter.tiles.size(), 1u);
    EXPECT_EQ(afterEnter.tiles[0].name, L"星海征途");
    ASSERT_EQ(afterButton.tiles.size(), 1u);
    EXPECT_EQ(afterButton.tiles[0].name, L"星海征途");
    EXPECT_TRUE(afterNoMatch.tiles.empty());
    EXPECT_TRUE(afterNoMatch.searchEnabled);
    ASSERT_EQ(afterEmptied.tiles.size(), 4u);
    EXPECT_EQ(afterEmptied.page, 1);
    EXPECT_EQ(afterEmptyEnter.searches, 3u);
}

TEST_F(MainWndCatalogue, ATileOpensItsGamePageWithItsCachedPicturesAndTitle)
{
    RecordedLinks links(folder);
    Open();
    CategoryInfo tileBefore, tileAfter;
    std::wstring title, logo, background, slideLink;
    int page = -1;
    bool gameTab = false;
    size_t picturesAfterFirst = 0, picturesAfterSecond = 0;
    RunWhenTilesLoaded([&] {
        CControlUI* firstTile = List(L"all_game_tilelayout")->GetItemAt(0);
        tileBefore = *reinterpret_cast<CategoryInfo*>(firstTile->GetTag());
        Click(static_cast<CContainerUI*>(firstTile)->GetItemAt(3));
        Then([] { return RefService::Journal("/Box/Game/getGamesPlugins").size() == 1; },
             [&] {
                 tileAfter = *reinterpret_cast<CategoryInfo*>(List(L"all_game_tilelayout")->GetItemAt(0)->GetTag());
                 page = MainPage();
                 gameTab = static_cast<COptionUI*>(Control(L"game_opt"))->IsSelected();
                 title = Control(L"game_name_lab")->GetText().GetData();
                 logo = Control(L"game_pic")->GetBkImage().GetData();
                 background = Control(L"root")->GetBkImage().GetData();
                 slideLink = Control(L"game_ads_btn")->GetUserData().GetData();
                 picturesAfterFirst = PictureRequests();
                 ClickNamed(L"game_ads_btn");
                 Then([&] { return !links.Opened().empty(); },
                      [&] {
                          // Opened again: everything comes from the cache.
                          window->PostMsg(Handle(), &CMainWnd::OnOpenGamePage,
                                          reinterpret_cast<UINT_PTR>(new CategoryInfo(tileBefore)), 0);
                          Then([] { return RefService::Journal("/Box/Game/getGamesPlugins").size() == 2; },
                               [&] {
                                   picturesAfterSecond = PictureRequests();
                                   Finish();
                               });
                      });
             });
    });
    const Json::Value games = RefService::Journal("/Box/Game/getGames");
    ASSERT_GE(games.size(), 1u);
    EXPECT_EQ(FormValue(games[0], "category_id"), L"1");
    EXPECT_EQ(page, 0);
    EXPECT_TRUE(gameTab);
    EXPECT_EQ(title, L"星海征途电信一区");
    EXPECT_EQ(logo, CacheFileOf(PicturePath(kCategories[0], L"logo")));
    EXPECT_EQ(background, CacheFileOf(PicturePath(kCategories[0], L"bg")));
    EXPECT_EQ(slideLink, Utf8ToWide(kBase + "/files/pages/xinghai.html"));
    EXPECT_EQ(links.Opened(), kBase + "/files/pages/xinghai.html\n");
    EXPECT_EQ(picturesAfterSecond, picturesAfterFirst);
    // The page worked on a copy: the tile's record is as its batch left it.
    EXPECT_EQ(tileAfter.local_logo, tileBefore.local_logo);
    EXPECT_EQ(tileAfter.local_slide, tileBefore.local_slide);
    EXPECT_EQ(tileAfter.local_bg, tileBefore.local_bg);
}

// Names that can never match their content show the defaults: unsafe ones
// at once, without a request, any other after a fetch; a link that is not a
// web address opens nothing.
TEST_F(MainWndCatalogue, PicturesWithUnusableNamesShowTheDefaultsAndOtherSchemesOpenNothing)
{
    RecordedLinks links(folder);
    const std::string digest = CMd5A().GetStringMd5("picture");
    struct Case
    {
        const char* what;
        std::string name;
        std::string link;
        bool plainName;  // a name that a file of the cache could have
        bool fetched;
    } cases[] = {
        {"no dot", digest, "file:///C:/windows/notepad.exe", true, false},
        {"upper-case stem", "ABCDEF0123456789ABCDEF0123456789.png", "calc.exe", true, true},
        {"a device name", "CON.png", "javascript:alert(1)", false, false},
        {"a stream behind the name", digest + ".png:zone", "\\\\server\\share\\x.exe", false, false},
    };
    struct Seen
    {
        std::wstring logo, background, slide;
    };
    std::vector<Seen> seen;
    Open();
    std::function<void(size_t)> play = [&](size_t i) {
        if (i == std::size(cases)) {
            RunFromTheLoopIn(1500, [&] { Finish(); });
            return;
        }
        auto* category = new CategoryInfo;
        category->category_id = L"2";
        category->logo = kBase + "/files/" + cases[i].name;
        category->bg_img = kBase + "/files/" + cases[i].name;
        category->slide_url = kBase + "/files/" + cases[i].name;
        category->slide_target_url = cases[i].link;
        window->PostMsg(Handle(), &CMainWnd::OnOpenGamePage, reinterpret_cast<UINT_PTR>(category), 0);
        Then([i] { return RefService::Journal("/Box/Game/getGamesPlugins").size() == i + 1; },
             [&, i] {
                 seen.push_back({Control(L"game_pic")->GetBkImage().GetData(), Control(L"root")->GetBkImage().GetData(),
                                 Control(L"game_ads_btn")->GetUserData().GetData()});
                 ClickNamed(L"game_ads_btn");
                 play(i + 1);
             });
    };
    RunWhenTilesLoaded([&] { play(0); });
    ASSERT_EQ(seen.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].what);
        EXPECT_EQ(seen[i].logo, L"/img/CategoryInfoIconDef.png");
        EXPECT_EQ(seen[i].background, L"/img/CategoryInfoBgIconDef.png");
        EXPECT_EQ(Requests("/files/" + cases[i].name) != 0, cases[i].fetched);
        if (cases[i].plainName) {
            EXPECT_FALSE(FileExists(g_appFolder + L"cache\\" + Utf8ToWide(cases[i].name)));
        }
    }
    EXPECT_EQ(links.Opened(), "");
}

TEST_F(MainWndCatalogue, OwnCategoriesFillBothPanelsAndTheWideOneOpensOverTheNarrowOne)
{
    Open();
    std::vector<std::wstring> narrowNames, wideTexts, wideIcons;
    bool shownOverNarrow = false, keptOverItsButton = false, hiddenWhenLeft = true;
    std::wstring pageLogo;
    CategoryInfo record;
    Then([&] { return !window->IsAllGamesLoading() && List(L"mygamelist")->GetCount() == 3 && SearchEnabled(); },
         [&] {
             // The last picture of the last category is in, and its call has run.
             Then([&] { return !RecordOf(List(L"mygamelist_expand")->GetItemAt(1)).local_bg.empty(); },
                  [&] {
                      RunFromTheLoopIn(500, [&] {
                          for (CContainerUI* list : {List(L"mygamelist"), List(L"mygamelist_expand")}) {
                              for (int i = 0; i < list->GetCount(); ++i) {
                                  CControlUI* entry = list->GetItemAt(i);
                                  if (list == List(L"mygamelist")) {
                                      narrowNames.push_back(entry->GetName().GetData());
                                  } else {
                                      wideTexts.push_back(entry->GetText().GetData());
                                      wideIcons.push_back(entry->GetTag() ? RecordOf(entry).local_icon : L"");
                                  }
                              }
                          }
                          POINT narrow = CentreOf(Control(L"small_nav_layout")->GetPos());
                          PostMessageW(Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(narrow.x, narrow.y));
                          RunFromTheLoopIn(300, [&] {
                              shownOverNarrow = Control(L"expand_nav_layout")->IsVisible();
                              POINT button = CentreOf(Control(L"all_game_btn_exp")->GetPos());
                              PostMessageW(Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(button.x, button.y));
                              RunFromTheLoopIn(300, [&] {
                                  keptOverItsButton = Control(L"expand_nav_layout")->IsVisible();
                                  CControlUI* entry = List(L"mygamelist_expand")->GetItemAt(1);
                                  Click(entry);
                                  Then([] { return RefService::Journal("/Box/Game/getGames").size() == 1; },
                                       [&] {
                                           pageLogo = Control(L"game_pic")->GetBkImage().GetData();
                                           record = *reinterpret_cast<CategoryInfo*>(
                                               List(L"mygamelist_expand")->GetItemAt(1)->GetTag());
                                           PostMessageW(Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(700, 500));
                                           RunFromTheLoopIn(300, [&] {
                                               hiddenWhenLeft = Control(L"expand_nav_layout")->IsVisible();
                                               Finish();
                                           });
                                       });
                              });
                          });
                      });
                  });
         },
         30000);
    window->ShowModal();
    // The demo user's own categories are 1 and 3, in that order.
    EXPECT_EQ(narrowNames,
              (std::vector<std::wstring>{L"user_game_category_btn", L"user_game_category_btn", L"add_btn"}));
    ASSERT_EQ(wideTexts.size(), 3u);
    EXPECT_EQ(wideTexts[0], L"星海征途电信一区");
    EXPECT_EQ(wideTexts[1], L"Iron Harbor亚服");
    EXPECT_EQ(wideTexts[2], L"添加游戏");
    EXPECT_EQ(wideIcons[1], CacheFileOf(PicturePath(kCategories[2], L"icon")));
    EXPECT_TRUE(shownOverNarrow);
    EXPECT_TRUE(keptOverItsButton);
    EXPECT_FALSE(hiddenWhenLeft);
    const Json::Value games = RefService::Journal("/Box/Game/getGames");
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(FormValue(games[0], "category_id"), L"3");
    EXPECT_EQ(pageLogo, CacheFileOf(PicturePath(kCategories[2], L"logo")));
    EXPECT_EQ(record.local_logo, pageLogo);
    EXPECT_EQ(record.local_bg, CacheFileOf(PicturePath(kCategories[2], L"bg")));
}

// The page of an own category whose batch still loads fetches its pictures
// for itself; the worker is writing the same record, so the page's paths
// reach the record only once the batch is done, and none is lost.
TEST_F(MainWndCatalogue, AnOwnCategoryOpenedWhileItsBatchLoadsGetsItsPathsAfterTheBatch)
{
    // Without tile pictures only the own-category worker fetches; it stops
    // long on the second category's first picture.
    CWindowMultiThreadManager::RefuseStartsOf({&CacheCategoryImagesThread<g_mainWnd>});
    Json::Value slow = RefService::Fault(PicturePath(kCategories[2], L"icon"), "slow");
    slow["seconds"] = 5.0;
    RefService::AddFault(slow);
    Open();
    CategoryInfo whileLoading, afterBatch;
    std::wstring pageLogo;
    auto second = [this] { return RecordOf(List(L"mygamelist_expand")->GetItemAt(1)); };
    Then(
        [&] {
            return SearchEnabled() && List(L"mygamelist_expand")->GetCount() == 3 &&
                   !RecordOf(List(L"mygamelist_expand")->GetItemAt(0)).local_bg.empty();
        },
        [&] {
            POINT narrow = CentreOf(Control(L"small_nav_layout")->GetPos());
            PostMessageW(Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(narrow.x, narrow.y));
            RunFromTheLoopIn(300, [&] {
                Click(List(L"mygamelist_expand")->GetItemAt(1));
                Then([] { return RefService::Journal("/Box/Game/getGames").size() == 1; },
                     [&] {
                         pageLogo = Control(L"game_pic")->GetBkImage().GetData();
                         whileLoading = second();
                         Then([&] { return !second().local_bg.empty(); },
                              [&] {
                                  // The batch's last call has run by now.
                                  RunFromTheLoopIn(500, [&] {
                                      afterBatch = second();
                                      Finish();
                                  });
                              });
                     });
            });
        },
        30000);
    window->ShowModal();
    const Json::Value games = RefService::Journal("/Box/Game/getGames");
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(FormValue(games[0], "category_id"), L"3");
    EXPECT_EQ(pageLogo, CacheFileOf(PicturePath(kCategories[2], L"logo")));
    for (const std::wstring* path :
         {&whileLoading.local_icon, &whileLoading.local_slide, &whileLoading.local_logo, &whileLoading.local_bg})
        EXPECT_EQ(*path, L"");
    EXPECT_EQ(afterBatch.local_icon, CacheFileOf(PicturePath(kCategories[2], L"icon")));
    EXPECT_EQ(afterBatch.local_logo, pageLogo);
    EXPECT_EQ(afterBatch.local_slide, CacheFileOf(PicturePath(kCategories[2], L"slide")));
    EXPECT_EQ(afterBatch.local_bg, CacheFileOf(PicturePath(kCategories[2], L"bg")));
}

// In add-my-game mode a tile adds its category (unless listed) and opens its
// page; any other click in between ends the mode.
TEST_F(MainWndCatalogue, AddingACategoryFromItsTile)
{
    Open();
    auto showWide = [this] {
        POINT narrow = CentreOf(Control(L"small_nav_layout")->GetPos());
        PostMessageW(Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(narrow.x, narrow.y));
    };
    auto tileButton = [this](int index) {
        return static_cast<CContainerUI*>(List(L"all_game_tilelayout")->GetItemAt(index))->GetItemAt(3);
    };
    auto gamesAre = [](size_t n) { return [n] { return RefService::Journal("/Box/Game/getGames").size() == n; }; };
    std::wstring firstWide, firstNarrowTip, firstWideIcon;
    int wideCount = 0, wideAfterListed = 0;
    Then([&] { return SearchEnabled() && List(L"mygamelist_expand")->GetCount() == 3 && !window->IsAllGamesLoading(); },
         [&] {
             // Mode on, then the tile of 云梦山海: added and opened.
             showWide();
             RunFromTheLoopIn(300, [&] {
                 ClickNamed(L"add_my_game");
                 RunFromTheLoopIn(300, [&] {
                     Click(tileButton(3));
                     Then([&] { return List(L"mygamelist_expand")->GetCount() == 4 && gamesAre(1)(); },
                          [&] {
                              firstWide = List(L"mygamelist_expand")->GetItemAt(0)->GetText().GetData();
                              firstNarrowTip = List(L"mygamelist")->GetItemAt(0)->GetToolTip().GetData();
                              firstWideIcon = RecordOf(List(L"mygamelist_expand")->GetItemAt(0)).local_icon;
                              wideCount = List(L"mygamelist_expand")->GetCount();
                              // A listed category (Iron Harbor, by id) only opens.
                              showWide();
                              RunFromTheLoopIn(300, [&] {
                                  ClickNamed(L"add_my_game");
                                  RunFromTheLoopIn(300, [&] {
                                      Click(tileButton(2));
                                      Then(gamesAre(2), [&] {
                                          // Mode on, a click on min_btn ends it.
                                          showWide();
                                          RunFromTheLoopIn(300, [&] {
                                              ClickNamed(L"add_my_game");
                                              RunFromTheLoopIn(300, [&] {
                                                  ClickNamed(L"min_btn");
                                                  RunFromTheLoopIn(300, [&] {
                                                      ShowWindow(Handle(), SW_RESTORE);
                                                      RunFromTheLoopIn(300, [&] {
                                                          Click(tileButton(1));
                                                          Then(gamesAre(3), [&] {
                                                              RunFromTheLoopIn(800, [&] {
                                                                  wideAfterListed =
                                                                      List(L"mygamelist_expand")->GetCount();
                                                                  Finish();
                                                              });
                                                          });
                                                      });
                                                  });
                                              });
                                          });
                                      });
                                  });
                              });
                          });
                 });
             });
         },
         30000);
    window->ShowModal();
    const Json::Value adds = RefService::Journal("/Box/Game/addOwnerGamesCategory");
    ASSERT_EQ(adds.size(), 1u);
    EXPECT_EQ(FormValue(adds[0], "category_id"), L"4");
    EXPECT_EQ(firstWide, L"云梦山海双线");
    EXPECT_EQ(firstNarrowTip, L"云梦山海");
    EXPECT_EQ(firstWideIcon, CacheFileOf(PicturePath(kCategories[3], L"icon")));
    EXPECT_EQ(wideCount, 4);
    EXPECT_EQ(wideAfterListed, 4);
    const Json::Value games = RefService::Journal("/Box/Game/getGames");
    ASSERT_EQ(games.size(), 3u);
    EXPECT_EQ(FormValue(games[0], "category_id"), L"4");
    EXPECT_EQ(FormValue(games[1], "category_id"), L"3");
    EXPECT_EQ(FormValue(games[2], "category_id"), L"2");
}

// A second reply for a category the lists hold already adds nothing.
TEST_F(MainWndCatalogue, AnAddReplyForAListedCategoryAddsNoSecondPair)
{
    Open();
    int narrow = 0, wide = 0;
    Then([&] { return SearchEnabled() && List(L"mygamelist_expand")->GetCount() == 3; },
         [&] {
             for (int i = 0; i < 2; ++i) {
                 auto* record = new CategoryInfo;
                 record->category_id = L"4";
                 record->name = L"云梦山海";
                 window->PostMsg(Handle(), &CMainWnd::OnAddMyGameReply, reinterpret_cast<UINT_PTR>(record), 0);
             }
             RunFromTheLoopIn(300, [&] {
                 narrow = List(L"mygamelist")->GetCount();
                 wide = List(L"mygamelist_expand")->GetCount();
                 Finish();
             });
         });
    window->ShowModal();
    EXPECT_EQ(narrow, 4);
    EXPECT_EQ(wide, 4);
}

// Each failed request shows its box with the service's text (or the
// worker's own) and changes nothing else.
TEST_F(MainWndCatalogue, FailedRequestsShowTheirBoxAndChangeNothingElse)
{
    enum class Trigger
    {
        SignIn,    // the requests that follow the sign-in
        Search,    // "星海" searched on the loaded page
        AddTile,   // add-my-game mode, then the tile of 云梦山海
        OpenTile,  // the first tile
    };
    struct Case
    {
        const char* what;
        const char* path;
        Json::Value fault;  // beside path and kind
        const char* kind;
        Trigger trigger;
        const wchar_t* title;
        const wchar_t* text;
        size_t tiles;    // after the box
        int ownEntries;  // of the wide list after the box
    };
    auto withCode = [](int code, const char* message) {
        Json::Value fields;
        fields["code"] = code;
        fields["message"] = message;
        return fields;
    };
    Json::Value status500;
    status500["status"] = 500;
    Json::Value notJson;
    notJson["text"] = "这不是列表";
    const Case cases[] = {
        {"category request refused", "/Box/Game/getGamesCategory", withCode(10020, "分类暂不可用"), "code",
         Trigger::SignIn, L"游戏分类列表获取失败", L"分类暂不可用", 0, 3},
        {"category request 500 at both listeners", "/Box/Game/getGamesCategory", status500, "status", Trigger::SignIn,
         L"游戏分类列表获取失败", L"游戏分类列表获取失败！", 0, 3},
        {"search refused", "/Box/Game/searchGamesCategory", withCode(10020, "搜索暂不可用"), "code", Trigger::Search,
         L"游戏分类列表获取失败", L"搜索暂不可用", 4, 3},
        {"search unreadable", "/Box/Game/searchGamesCategory", Json::Value(), "not_json", Trigger::Search,
         L"游戏分类列表获取失败", L"游戏分类列表搜索失败！", 4, 3},
        {"my-games request refused", "/Box/Game/ownerGamesCategory", withCode(10020, "我的游戏暂不可用"), "code",
         Trigger::SignIn, L"我的游戏列表获取失败", L"我的游戏暂不可用", 4, 1},
        {"my-games reply unreadable", "/Box/Game/ownerGamesCategory", notJson, "result", Trigger::SignIn, L"数据错误",
         L"我的游戏分类列表解析异常！", 4, 1},
        {"add request refused", "/Box/Game/addOwnerGamesCategory", withCode(10020, "添加暂不可用"), "code",
         Trigger::AddTile, L"添加我的游戏列表失败", L"添加暂不可用", 4, 3},
        {"game-list request refused", "/Box/Game/getGames", withCode(10020, "游戏列表暂不可用"), "code",
         Trigger::OpenTile, L"游戏列表获取失败", L"游戏列表暂不可用", 4, 3},
    };
    const POINT ok = SkinControlCentre(L"msgbox.xml", L"msgbox_ok", {L"msgbox_cancel"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RefService::Reset();
        Json::Value fault = c.fault.isNull() ? Json::Value(Json::objectValue) : c.fault;
        fault["path"] = c.path;
        fault["kind"] = c.kind;
        RefService::AddFault(fault);
        Open();
        std::wstring title, text;
        size_t tiles = 99;
        int ownEntries = -1, page = -1;
        auto boxShown = [] { return VisibleWindow(L"CMsgBoxWnd") != nullptr; };
        // Read and answered once the shown box has laid itself out.
        auto answer = [&] {
            RunFromTheLoopIn(300, [&] {
                HWND box = VisibleWindow(L"CMsgBoxWnd");
                title = MsgBoxText(box, L"msgbox_title");
                text = MsgBoxText(box, L"msgbox_text");
                PostClick(box, ok);
                Then([&] { return !boxShown() && !window->IsAllGamesLoading(); },
                     [&] {
                         RunFromTheLoopIn(500, [&] {
                             tiles = Tiles().size();
                             ownEntries = List(L"mygamelist_expand")->GetCount();
                             page = MainPage();
                             Finish();
                         });
                     });
            });
        };
        auto loaded = [this] {
            return SearchEnabled() && List(L"mygamelist_expand")->GetCount() == 3 && !window->IsAllGamesLoading();
        };
        switch (c.trigger) {
        case Trigger::SignIn:
            Then(boxShown, answer);
            break;
        case Trigger::Search:
            Then(loaded, [&] {
                ClickNamed(L"search_key");
                Type(L"星海");
                PressKey(VK_RETURN);
                Then(boxShown, answer);
            });
            break;
        case Trigger::AddTile:
            Then(loaded, [&] {
                const POINT narrow = CentreOf(Control(L"small_nav_layout")->GetPos());
                PostMessageW(Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(narrow.x, narrow.y));
                RunFromTheLoopIn(300, [&] {
                    ClickNamed(L"add_my_game");
                    RunFromTheLoopIn(300, [&] {
                        Click(static_cast<CContainerUI*>(List(L"all_game_tilelayout")->GetItemAt(3))->GetItemAt(3));
                        Then(boxShown, answer);
                    });
                });
            });
            break;
        case Trigger::OpenTile:
            // The tiles have their places once a paint after the last
            // picture has laid them out.
            Then(loaded, [&] {
                RunFromTheLoopIn(300, [&] {
                    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                    Click(static_cast<CContainerUI*>(List(L"all_game_tilelayout")->GetItemAt(0))->GetItemAt(3));
                    Then(boxShown, answer);
                });
            });
            break;
        }
        window->ShowModal();
        EXPECT_EQ(title, c.title);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(tiles, c.tiles);
        EXPECT_EQ(ownEntries, c.ownEntries);
        if (c.trigger == Trigger::AddTile) {
            // The page opens anyway.
            EXPECT_EQ(page, 0);
            EXPECT_EQ(RefService::Journal("/Box/Game/getGames").size(), 1u);
        }
        EXPECT_EQ(FindWindowW(L"CLoginWnd", nullptr) != nullptr && IsWindowVisible(FindWindowW(L"CLoginWnd", nullptr)),
                  false);
    }
}

// An empty or element-free reply leaves only the add entries and fetches no
// picture; an expired session on the own list brings the sign-in window.
TEST_F(MainWndCatalogue, EmptyOwnListsKeepTheAddEntries)
{
    for (const char* reply : {"", "[]"}) {
        SCOPED_TRACE(reply);
        RefService::Reset();
        Json::Value fault = RefService::Fault("/Box/Game/ownerGamesCategory", "result");
        fault["text"] = reply;
        RefService::AddFault(fault);
        // No tiles either, whose pictures would be requested too.
        Json::Value noTiles = RefService::Fault("/Box/Game/getGamesCategory", "result");
        noTiles["text"] = "[]";
        RefService::AddFault(noTiles);
        Open();
        std::vector<std::wstring> narrow, wide;
        Then([&] { return RefService::Journal("/Box/Game/getSoftwares").size() == 1; },
             [&] {
                 RunFromTheLoopIn(1500, [&] {
                     for (int i = 0; i < List(L"mygamelist")->GetCount(); ++i)
                         narrow.push_back(List(L"mygamelist")->GetItemAt(i)->GetName().GetData());
                     for (int i = 0; i < List(L"mygamelist_expand")->GetCount(); ++i)
                         wide.push_back(List(L"mygamelist_expand")->GetItemAt(i)->GetName().GetData());
                     Finish();
                 });
             });
        window->ShowModal();
        EXPECT_EQ(narrow, std::vector<std::wstring>{L"add_btn"});
        EXPECT_EQ(wide, std::vector<std::wstring>{L"add_my_game"});
        for (const DemoCategory& category : kCategories)
            EXPECT_EQ(Requests(PicturePath(category, L"icon")), 0u);
    }
}

// A session the service dropped while the own categories were asked for:
// their box, then the sign-in window. The box's button is measured before the
// window opens: measuring pumps the thread's messages, which would run the
// window's start-up, and the modal loops it opens, inside the measurement.
TEST_F(MainWndCatalogue, AnExpiredSessionOnTheOwnCategoriesSignsInAgain)
{
    RefService::Reset();
    Json::Value expired = RefService::Fault("/Box/Game/ownerGamesCategory", "code");
    expired["code"] = 10011;
    expired["message"] = "登录已失效";
    RefService::AddFault(expired);
    const POINT ok = SkinControlCentre(L"msgbox.xml", L"msgbox_ok", {L"msgbox_cancel"});
    Open();
    bool signInShown = false;
    std::function<void()> answerUntilSignIn = [&] {
        Then([] { return VisibleWindow(L"CMsgBoxWnd") != nullptr || VisibleWindow(L"CLoginWnd") != nullptr; },
             [&] {
                 if (HWND login = VisibleWindow(L"CLoginWnd")) {
                     signInShown = true;
                     PostMessageW(login, WM_SYSCOMMAND, SC_CLOSE, 0);
                     return;
                 }
                 PostClick(VisibleWindow(L"CMsgBoxWnd"), ok);
                 RunFromTheLoopIn(300, answerUntilSignIn);
             });
    };
    answerUntilSignIn();
    window->ShowModal();
    EXPECT_TRUE(signInShown);
}

}  // namespace
