// The built client driven from outside along the road every user takes
// first: no saved token, so the sign-in window; a password sign-in; the main
// window signed in on its all-games page; minimised and back from the
// notification area; ended from outside.

#include <gtest/gtest.h>

#include <windows.h>

#include "Driver.h"
#include "RefService.h"

namespace {

// A demo user of the reference service with a password and a bound
// accelerator account.
const wchar_t kMobile[] = L"13900139000";
const wchar_t kPassword[] = L"mima5678";

// Where page 1 of the main window shows its white title "全部游戏" (an
// unnamed label of main.xml).
constexpr RECT kAllGamesTitle = {107, 88, 400, 120};
// The tile list brings the wait overlay for a moment even with every picture
// cached: the page counts as shown once it stayed so this long.
constexpr DWORD kSteadyMs = 600;
// A tile's white name lies this far down the tile.
constexpr int kTileNameTop = 209;

TEST(ShellRoad, SignInByPasswordThenMinimiseRestoreFromTheTrayAndEndFromOutside)
{
    RefService::Reset();
    Driver driver;
    driver.StartClient();
    HWND main = driver.WaitForMainWindow();
    HWND login = driver.WaitForWindow(L"CLoginWnd", L"Calverin");
    WaitUntil(
        "the main window disabled under the modal sign-in window", [main] { return IsWindowEnabled(main) == FALSE; },
        kWaitLimitMs);
    driver.MarkStep("sign-in", login);

    driver.ClickControl(login, L"login.xml", L"mobile_code_0");
    driver.Type(login, kMobile);
    driver.ClickControl(login, L"login.xml", L"pwd_code_0");
    driver.Type(login, kPassword);
    driver.ClickControl(login, L"login.xml", L"login_btn");
    const Json::Value signIn = driver.WaitForJournal("/Box/User/login");
    EXPECT_EQ(RefService::BodyValue(signIn, "mobile"), "13900139000");
    EXPECT_EQ(RefService::BodyValue(signIn, "login_token"), "") << "a password sign-in, not a token one";
    driver.WaitForWindowGone(login, "the sign-in window");

    for (const char* path : {"/Box/Game/getGamesCategory", "/Box/Game/ownerGamesCategory", "/Box/Game/getSoftwares"})
        driver.WaitForJournal(path);
    // The page's title and its first tile's name, light on screen: the tiles
    // are in and their wait overlay (modal, a dark mask) is gone.
    ItemSpot firstTile;
    firstTile.container = L"all_game_tilelayout";
    firstTile.count = 1;
    RECT tileName = driver.ItemRect(L"main.xml", firstTile);
    tileName.top += kTileNameTop;
    WaitUntilSteady(
        "the all-games page with its tiles and no overlay",
        [&] {
            return driver.CountLightPixels(main, kAllGamesTitle) > 20 && driver.CountLightPixels(main, tileName) > 10 &&
                   IsWindowEnabled(main);
        },
        kSteadyMs, kWaitLimitMs);
    driver.MarkStep("signed-in", main);

    driver.ClickControl(main, L"main.xml", L"min_btn");
    WaitUntil(
        "the main window minimised", [main] { return IsIconic(main) != FALSE; }, kWaitLimitMs);
    EXPECT_EQ(Driver::TrayIconCount(), 1);

    driver.ClickTrayIcon();
    WaitUntil(
        "the main window back from the tray", [main] { return IsWindowVisible(main) && !IsIconic(main); },
        kWaitLimitMs);
    driver.MarkStep("back-from-tray", main);

    EXPECT_EQ(driver.CloseClient(main), 0u);
    WaitUntil(
        "the client's icon gone", [] { return Driver::TrayIconCount() == 0; }, kWaitLimitMs);
}

}  // namespace
