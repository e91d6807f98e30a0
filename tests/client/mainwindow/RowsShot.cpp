// The main window's item rows for the row screenshots
// (scripts/screenshot-rows.sh): the demo user signs in with the saved token
// against the reference service, the window opens the first tile's game page
// (its pictures as the service's catalogue has them), shows there a list of
// its own (an installed game, a download running, idle rows, with icons of
// the demo catalogue), its plug-in page, then the service's accelerator list
// on the page of all applications. Before each page the program writes an empty marker file
// named after it into the given folder, waits for the script to shoot and
// ends by itself after the last.
//   rows_shot ARCHIVE MARKER_FOLDER

#include <windows.h>

#include <memory>
#include <string>

#include "ScratchFolder.h"
#include "TestPaths.h"
#include "ThreadTimerAction.h"
#include "controls/OptionUI.h"
#include "core/TabLayoutUI.h"
#include "mainwindow/ItemRows.h"
#include "mainwindow/MainWnd.h"
#include "services/AppFolder.h"
#include "services/BuildSettings.h"
#include "services/FileUtil.h"
#include "services/Md5A.h"
#include "services/RegistryUtil.h"

namespace {

constexpr DWORD kShotPauseMs = 4000;
const char kDemoToken[] = "5f0c2a9e7b1d4c38a6e2f9d1b0c7a345";

// The address of a row icon of the demo catalogue, named by its digest as
// the service hands it out.
std::string DemoIcon(const wchar_t* name)
{
    const std::wstring shipped = SourceTreePath(std::wstring(L"tests\\refservice\\files\\icons\\") + name + L".png");
    return std::string("https://") + CALVERIN_API_HOST + "/files/icons/" + CMd5A().GetFileMd5(shipped) + ".png";
}

std::string GamesList()
{
    return R"([{"game_id":"101","name":"星海征途 完整客户端","detail":"星海征途正式版完整客户端，含全部资源","size":"3221225472","icon":")" +
           DemoIcon(L"xinghai") +
           R"("},{"game_id":"102","name":"星海征途 测试客户端","detail":"测试服客户端，每周更新","size":"734003200","icon":")" +
           DemoIcon(L"xinghai_test") +
           R"("},{"game_id":"103","name":"星海征途 高清语音包","detail":"全部角色的高清语音","size":"11534336","icon":")" +
           DemoIcon(L"plugin") +
           R"("},{"game_id":"104","name":"Iron Harbor","detail":"Iron Harbor client for the Asian servers","size":"52428800","icon":")" +
           DemoIcon(L"ironharbor") + R"("}])";
}

std::string PluginsList()
{
    return R"([{"plugins_id":"1001","name":"星海征途 高清材质包","detail":"高清材质与界面插件","size":"268435456","icon":")" +
           DemoIcon(L"plugin") + R"("}])";
}

std::wstring g_markers;
std::string g_archive;
TaskProgress g_download;
GameInfo g_downloading;

void Mark(const wchar_t* page) { WriteStringToFile(" ", g_markers + L"\\" + page); }

CalUI::CContainerUI* List(CMainWnd& window, LPCWSTR name)
{
    CalUI::CControlUI* list = window.FindControl(name);
    return list != nullptr ? static_cast<CalUI::CContainerUI*>(list->GetInterface(L"Container")) : nullptr;
}

bool IconsIn(CMainWnd& window, LPCWSTR name, int rows)
{
    CalUI::CContainerUI* list = List(window, name);
    if (list == nullptr || list->GetCount() != rows)
        return false;
    for (int i = 0; i < rows; ++i) {
        if (RowChildOf(list->GetItemAt(i), RowChild::kIcon)->GetBkImage().IsEmpty())
            return false;
    }
    return true;
}

void SelectPage(CMainWnd& window, LPCWSTR tab, int page)
{
    static_cast<CalUI::CTabLayoutUI*>(window.FindControl(tab))->SelectItem(page);
}

void ShowPages(CMainWnd& window)
{
    CategoryInfo category;
    category.category_id = L"1";
    category.name = L"星海征途";
    category.server = L"电信一区";
    window.PostMsg(window.GetWindowHandle(), &CMainWnd::OnGameListReply,
                   reinterpret_cast<UINT_PTR>(new CategoryInfo(category)),
                   reinterpret_cast<UINT_PTR>(new std::string(GamesList())));
    window.PostMsg(window.GetWindowHandle(), &CMainWnd::OnPluginListReply,
                   reinterpret_cast<UINT_PTR>(new std::wstring(L"1")),
                   reinterpret_cast<UINT_PTR>(new std::string(PluginsList())));
    SelectPage(window, L"maintable", 0);
    RunFromTheLoopWhen(
        [&window] { return IconsIn(window, L"game_list", 4) && IconsIn(window, L"plugin_list", 1); },
        [&window] {
            g_downloading.game_id = L"102";
            g_download.item = &g_downloading;
            g_download.run_flag = 1;
            g_download.thread_id = 1;
            g_download.done = 289406976;
            g_download.total = 734003200;
            window.PostMsg(window.GetWindowHandle(), &CMainWnd::OnGameDownloadProgress,
                           reinterpret_cast<UINT_PTR>(&g_download), 1536);
            RunFromTheLoopIn(1000, [&window] {
                Mark(L"games");
                RunFromTheLoopIn(kShotPauseMs, [&window] {
                    // The page's own option shows which list is open.
                    static_cast<CalUI::COptionUI*>(window.FindControl(L"plugin_opt"))->SetSelected(true, false);
                    SelectPage(window, L"game_child_page_tab", 1);
                    Mark(L"plugins");
                    RunFromTheLoopIn(kShotPauseMs, [&window] {
                        SelectPage(window, L"maintable", 2);
                        Mark(L"apps");
                        RunFromTheLoopIn(kShotPauseMs, [&window] { window.Close(0); });
                    });
                });
            });
        },
        [&window] { window.Close(0); }, 60000);
}

// The first tile's category as the service listed it, once every tile shows
// its picture; null before.
const CategoryInfo* FirstTile(CMainWnd& window)
{
    CalUI::CContainerUI* tiles = List(window, L"all_game_tilelayout");
    if (tiles == nullptr || tiles->GetCount() == 0 || window.IsAllGamesLoading())
        return nullptr;
    return reinterpret_cast<const CategoryInfo*>(tiles->GetItemAt(0)->GetTag());
}

// The page opens as a tile click opens it; its own lists come once the
// service's have their icons, so that none of them is dropped.
void OpenGamePage(CMainWnd& window)
{
    window.PostMsg(window.GetWindowHandle(), &CMainWnd::OnOpenGamePage,
                   reinterpret_cast<UINT_PTR>(new CategoryInfo(*FirstTile(window))), 0);
    RunFromTheLoopWhen(
        [&window] {
            return IconsIn(window, L"game_list", 2) && IconsIn(window, L"plugin_list", 1) &&
                   !window.IsGamePageLoading();
        },
        [&window] { ShowPages(window); }, [&window] { window.Close(0); }, 60000);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    if (__argc < 3)
        return 2;
    g_archive = ScratchFolder::ReadFile(__wargv[1]);
    if (g_archive.empty())
        return 2;
    g_markers = __wargv[2];
    g_appFolder = GetModuleFolder();
    CalUI::CWindowManagerUI::SetInstance(instance);
    CalUI::CWindowManagerUI::SetResourceZip(g_archive.data(), static_cast<unsigned>(g_archive.size()), nullptr);
    WriteRegValue(HKEY_CURRENT_USER, std::string(kClientSettingsKey), "token", REG_SZ, kDemoToken,
                  static_cast<DWORD>(sizeof(kDemoToken) - 1));
    WriteRegValue(HKEY_CURRENT_USER, std::string(kClientSettingsKey), "username", REG_SZ, "13800138000", 11);

    CMainWnd window;
    if (window.Create(nullptr, L"Calverin", 0x96CF0000, 0, 0, 0, 0, 0, nullptr) == nullptr)
        return 1;
    window.CenterWindow();
    RunFromTheLoopWhen([&window] { return IconsIn(window, L"jiasuqi_list", 3) && FirstTile(window) != nullptr; },
                       [&window] { OpenGamePage(window); }, [&window] { window.Close(0); }, 60000);
    window.ShowModal();
    return 0;
}
