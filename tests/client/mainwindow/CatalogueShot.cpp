// Runs the real main window signed in to the reference service by the demo
// user's saved token and saves its catalogue pages as bitmaps, for the
// screenshots of scripts/screenshot-catalogue.sh:
//   catalogue_shot ARCHIVE OUTDIR [SLOW_PICTURE_PATH...]
// writes overlay.bmp (the wait overlay over slow tile pictures), tiles.bmp,
// search.bmp ("星海" searched), gamepage.bmp (星海征途's page) and
// widenav.bmp (the wide navigation after adding 云梦山海), each the screen
// under the main window. The program folder (log, picture cache) is its own.

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "RefService.h"
#include "ScratchFolder.h"
#include "SkinPlaces.h"
#include "ThreadTimerAction.h"
#include "core/ContainerUI.h"
#include "mainwindow/MainWnd.h"
#include "services/AppFolder.h"
#include "services/FileUtil.h"
#include "services/RegistryUtil.h"

using namespace CalUI;

namespace {

std::wstring g_outFolder;
CMainWnd* g_window = nullptr;
int g_result = 0;

// The screen under the window as a 24-bit bottom-up bitmap file.
void SaveShot(HWND window, const wchar_t* name)
{
    RECT rc;
    GetWindowRect(window, &rc);
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rc.left, rc.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = ((width * 3 + 3) / 4) * 4;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + stride * height;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(BITMAPINFOHEADER));
    bytes.append(static_cast<const char*>(bits), stride * height);
    WriteStringToFile(bytes, g_outFolder + L"\\" + name);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

CControlUI* Control(LPCWSTR name) { return g_window->FindControl(name); }
POINT CentreOf(const RECT& rc) { return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }
void Click(CControlUI* control) { PostClick(g_window->GetWindowHandle(), CentreOf(control->GetPos())); }
CControlUI* TileButton(int index)
{
    auto* tiles = static_cast<CContainerUI*>(Control(L"all_game_tilelayout"));
    return static_cast<CContainerUI*>(tiles->GetItemAt(index))->GetItemAt(3);
}
void HoverNarrowPanel()
{
    const POINT at = CentreOf(Control(L"small_nav_layout")->GetPos());
    PostMessageW(g_window->GetWindowHandle(), WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
}

void Step(std::function<bool()> ready, std::function<void()> then)
{
    RunFromTheLoopWhen(
        ready, then,
        [] {
            std::fputs("catalogue_shot: a step never came\n", stderr);
            g_result = 1;
            g_window->Close(0);
        },
        40000);
}

// Settles, then saves the shot and goes on.
void ShootThen(const wchar_t* name, std::function<void()> next)
{
    RunFromTheLoopIn(1500, [name, next] {
        SaveShot(g_window->GetWindowHandle(), name);
        next();
    });
}

void Play()
{
    Step(
        [] {
            return FindWindowW(L"CWaitWnd", nullptr) != nullptr && IsWindowVisible(FindWindowW(L"CWaitWnd", nullptr));
        },
        [] {
            RunFromTheLoopIn(300, [] {
                SaveShot(FindWindowW(L"CWaitWnd", nullptr), L"overlay.bmp");
                Step(
                    [] { return Control(L"search_key")->IsEnabled(); },
                    [] {
                        ShootThen(L"tiles.bmp", [] {
                            Click(Control(L"search_key"));
                            for (wchar_t ch : std::wstring(L"星海"))
                                PostMessageW(g_window->GetWindowHandle(), WM_CHAR, ch, 0);
                            PostMessageW(g_window->GetWindowHandle(), WM_KEYDOWN, VK_RETURN, 0);
                            Step(
                                [] {
                                    return RefService::Journal("/Box/Game/searchGamesCategory").size() == 1 &&
                                           !g_window->IsAllGamesLoading();
                                },
                                [] {
                                    ShootThen(L"search.bmp", [] {
                                        Click(TileButton(0));
                                        Step(
                                            [] { return RefService::Journal("/Box/Game/getGamesPlugins").size() == 1; },
                                            [] {
                                                ShootThen(L"gamepage.bmp", [] {
                                                    Click(Control(L"all_game_btn"));
                                                    for (int i = 0; i < 2; ++i)
                                                        PostMessageW(g_window->GetWindowHandle(), WM_KEYDOWN, VK_BACK,
                                                                     0);
                                                    Step(
                                                        [] {
                                                            return RefService::Journal("/Box/Game/getGamesCategory")
                                                                           .size() == 2 &&
                                                                   !g_window->IsAllGamesLoading() &&
                                                                   static_cast<CContainerUI*>(
                                                                       Control(L"all_game_tilelayout"))
                                                                           ->GetCount() == 4;
                                                        },
                                                        [] {
                                                            HoverNarrowPanel();
                                                            RunFromTheLoopIn(500, [] {
                                                                Click(Control(L"add_my_game"));
                                                                RunFromTheLoopIn(500, [] {
                                                                    Click(TileButton(3));
                                                                    Step(
                                                                        [] {
                                                                            return static_cast<CContainerUI*>(
                                                                                       Control(L"mygamelist_expand"))
                                                                                       ->GetCount() == 4;
                                                                        },
                                                                        [] {
                                                                            HoverNarrowPanel();
                                                                            ShootThen(L"widenav.bmp",
                                                                                      [] { g_window->Close(0); });
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
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    if (__argc < 3) {
        std::fputs("usage: catalogue_shot ARCHIVE OUTDIR [SLOW_PICTURE_PATH...]\n", stderr);
        return 2;
    }
    g_outFolder = __wargv[2];
    const std::string archive = ScratchFolder::ReadFile(__wargv[1]);
    CWindowManagerUI::SetInstance(instance);
    CWindowManagerUI::SetResourceZip(archive.data(), static_cast<unsigned>(archive.size()), nullptr);
    ScratchFolder folder;
    g_appFolder = folder.File(L"");

    RefService::Reset();
    // The tile pictures named on the command line come slowly: the overlay
    // shows over them.
    for (int i = 3; i < __argc; ++i) {
        const std::wstring path = __wargv[i];
        Json::Value slow = RefService::Fault(std::string(path.begin(), path.end()), "slow");
        slow["seconds"] = 1.5;
        RefService::AddFault(slow);
    }
    const std::string token = "5f0c2a9e7b1d4c38a6e2f9d1b0c7a345";
    WriteRegValue(HKEY_CURRENT_USER, "Software\\calverin", "token", REG_SZ, token, static_cast<DWORD>(token.size()));
    WriteRegValue(HKEY_CURRENT_USER, "Software\\calverin", "username", REG_SZ, std::string("13800138000"), 11);

    CMainWnd window;
    g_window = &window;
    if (window.Create(nullptr, L"Calverin", 0x96CF0000, 0, 0, 0, 0, 0, nullptr) == nullptr)
        return 1;
    window.CenterWindow();
    Play();
    window.ShowModal();
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\calverin");
    return g_result;
}
