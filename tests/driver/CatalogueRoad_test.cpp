// The built client driven from outside through its catalogue, signed in by
// a saved token: the category tiles behind the wait overlay while their
// pictures come slowly, a search in Chinese, a game page with its title, and
// a category added to the user's own games in the wide navigation panel.

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Driver.h"
#include "RefService.h"
#include "ServiceLists.h"
#include "TestPaths.h"
#include "services/Md5A.h"

namespace {

// The demo user whose own categories are 星海征途 and Iron Harbor.
const char kToken[] = "5f0c2a9e7b1d4c38a6e2f9d1b0c7a345";
const char kUsername[] = "13800138000";
const char kCategoriesPath[] = "/Box/Game/getGamesCategory";
const char kOwnPath[] = "/Box/Game/ownerGamesCategory";
const char kSearchPath[] = "/Box/Game/searchGamesCategory";
const char kGamesPath[] = "/Box/Game/getGames";
const char kPluginsPath[] = "/Box/Game/getGamesPlugins";
const char kAddPath[] = "/Box/Game/addOwnerGamesCategory";
// The tile pictures of the demo catalogue, as shipped with the service.
const wchar_t* const kTilePictures[] = {L"xinghai_big.png", L"longwen_big.png", L"ironharbor_big.png",
                                        L"yunmeng_big.png"};
// Each tile picture comes in about a second and a half.
constexpr int kSlowTenthsOfASecond = 15;
// Tile lists bring the wait overlay for a moment even with every picture
// cached: a page counts as shown once it stayed so this long.
constexpr DWORD kSteadyMs = 600;
// A tile's name label (white), inside the tile.
constexpr RECT kTileName = {0, 209, 139, 229};
// A navigation entry's text is grey: A1 in every channel.
constexpr BYTE kGreyText = 0x90;

std::wstring PicturePath(const wchar_t* file)
{
    return SourceTreePath(std::wstring(L"tests\\refservice\\files\\category\\") + file);
}

std::string PictureDigest(const wchar_t* file) { return CMd5A().GetFileMd5(PicturePath(file)); }

std::string UrlDecoded(const std::string& text)
{
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            plain += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            plain += text[i] == '+' ? ' ' : text[i];
        }
    }
    return plain;
}

class CatalogueRoad : public testing::Test
{
protected:
    void SetUp() override { RefService::Reset(); }

    ItemSpot Tile(int index, int count) const
    {
        ItemSpot spot;
        spot.container = L"all_game_tilelayout";
        spot.index = index;
        spot.count = count;
        return spot;
    }

    ItemSpot NavigationEntry(int index, int count) const
    {
        ItemSpot spot;
        spot.container = L"mygamelist_expand";
        spot.index = index;
        spot.count = count;
        spot.size = SIZE{195, 40};
        return spot;
    }

    // The tile's name on screen: the tile is there.
    bool TileShown(HWND main, int index, int count)
    {
        RECT name = driver.ItemRect(L"main.xml", Tile(index, count));
        OffsetRect(&name, 0, kTileName.top);
        name.bottom = name.top + (kTileName.bottom - kTileName.top);
        return driver.CountLightPixels(main, name) > 10;
    }

    Driver driver;
};

TEST_F(CatalogueRoad, TilesBehindTheOverlayThenSearchGamePageAndAnAddedCategory)
{
    std::vector<std::string> digests;
    for (const wchar_t* picture : kTilePictures) {
        digests.push_back(PictureDigest(picture));
        Json::Value slow = RefService::Fault("/files/category/" + digests.back() + ".png", "throttle");
        slow["rate"] =
            static_cast<Json::UInt64>(std::filesystem::file_size(PicturePath(picture)) * 10 / kSlowTenthsOfASecond);
        slow["count"] = 1;
        RefService::AddFault(slow);
    }
    driver.StartClient(kToken, kUsername);
    HWND main = driver.WaitForMainWindow();

    // Tiles, at first behind the overlay while their pictures come.
    const Json::Value all = ListInReply(driver.WaitForJournal(kCategoriesPath));
    const int tiles = static_cast<int>(all.size());
    ASSERT_EQ(tiles, 4);
    HWND overlay = driver.WaitForWindow(L"CWaitWnd", L"Calverin");
    EXPECT_FALSE(IsWindowEnabled(main)) << "the overlay is modal over the main window";
    driver.MarkStep("overlay", overlay);
    for (const std::string& digest : digests)
        driver.WaitForFile(driver.ProgramFolder() + L"cache\\" + std::wstring(digest.begin(), digest.end()) + L".png");
    driver.WaitForWindowGone(overlay, "the overlay after the last picture");
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_TRUE(TileShown(main, tiles - 1, tiles));
    driver.MarkStep("tiles", main);

    // A search in Chinese leaves one tile.
    driver.ClickControl(main, L"main.xml", L"search_key");
    driver.Type(main, L"星海");
    driver.PressKey(main, VK_RETURN);
    const Json::Value search = driver.WaitForJournal(kSearchPath);
    EXPECT_EQ(UrlDecoded(RefService::BodyValue(search, "keywords")), "星海");
    ASSERT_EQ(ListInReply(search).size(), 1u);
    WaitUntilSteady(
        "the search's one tile alone on the page, no overlay over it",
        [&] { return TileShown(main, 0, tiles) && !TileShown(main, 1, tiles) && IsWindowEnabled(main); }, kSteadyMs,
        kWaitLimitMs);
    driver.MarkStep("search", main);

    // 星海征途's page, with its title.
    driver.ClickTile(main, 0, 1);
    const Json::Value games = driver.WaitForJournal(kGamesPath);
    EXPECT_EQ(RefService::BodyValue(games, "category_id"), "1");
    driver.WaitForJournal(kPluginsPath);
    const RECT title = driver.ControlRect(L"main.xml", L"game_name_lab");
    WaitUntil(
        "the game page's title", [&] { return driver.CountLightPixels(main, title) > 20; }, kWaitLimitMs);
    driver.MarkStep("game-page", main);

    // Every category again: the wide panel's "全部游戏", then the search text
    // deleted.
    driver.HoverControl(main, L"main.xml", L"small_nav_layout");
    driver.ClickControl(main, L"main.xml", L"all_game_btn_exp");
    driver.ClickControl(main, L"main.xml", L"search_key");
    driver.PressKey(main, VK_END);
    driver.PressKey(main, VK_BACK);
    driver.PressKey(main, VK_BACK);
    driver.WaitForJournal(kCategoriesPath, 2);
    WaitUntilSteady(
        "every tile back, no overlay over them",
        [&] { return TileShown(main, tiles - 1, tiles) && IsWindowEnabled(main); }, kSteadyMs, kWaitLimitMs);

    // 云梦山海 added from the wide panel's add entry, which follows the
    // user's own categories.
    const int own = static_cast<int>(ListInReply(driver.WaitForJournal(kOwnPath)).size());
    driver.HoverControl(main, L"main.xml", L"small_nav_layout");
    driver.ClickItem(main, L"main.xml", NavigationEntry(own, own + 1));
    const int yunmeng = IndexOfName(all, "云梦山海");
    ASSERT_GE(yunmeng, 0);
    driver.ClickTile(main, yunmeng, tiles);
    const Json::Value added = driver.WaitForJournal(kAddPath);
    EXPECT_EQ(RefService::BodyValue(added, "category_id"), all[yunmeng]["category_id"].asString());
    const Json::Value opened = driver.WaitForJournal(kGamesPath, 2);
    EXPECT_EQ(RefService::BodyValue(opened, "category_id"), all[yunmeng]["category_id"].asString());

    // The wide panel holds one entry more: the add entry moved down.
    driver.HoverControl(main, L"main.xml", L"small_nav_layout");
    const RECT last = driver.ItemRect(L"main.xml", NavigationEntry(own + 1, own + 2));
    WaitUntil(
        "the added category in the wide panel", [&] { return driver.CountLightPixels(main, last, kGreyText) > 10; },
        kWaitLimitMs);
    driver.MarkStep("wide-navigation", main);

    EXPECT_EQ(driver.CloseClient(main), 0u);
}

}  // namespace
