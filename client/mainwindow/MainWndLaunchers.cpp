// Games 12 and 15 run only inside an outside launcher, which the rows of
// games 13 and 16 install. When a launcher's installer has ended, its row
// shows whether the launcher is there, and the game that needs it starts in
// the launcher row's folders. Every installed game is finished here: the
// launcher's data (games 12 and 15) or a desktop shortcut, its "installed"
// flag and a balloon.

// First: it brings winsock2.h, which must come before windows.h.
#include "services/DownloadTasks.h"

#include "mainwindow/MainWnd.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>

#include "services/DesktopShortcuts.h"
#include "services/LauncherFiles.h"
#include "services/SessionData.h"

#include "dialogs/MsgBoxWnd.h"
#include "mainwindow/ItemConfig.h"

using namespace CalUI;

namespace {

constexpr int kNexonGame = 12;
constexpr int kReflectionGame = 15;
constexpr wchar_t kGameSection[] = L"game_";
constexpr wchar_t kInstalledKey[] = L"installed";
constexpr wchar_t kPathKey[] = L"path";
constexpr wchar_t kInstallPathKey[] = L"install_path";
constexpr wchar_t kGameInstalledTitle[] = L"安装成功！";
constexpr wchar_t kReflectionGameInstalledTitle[] = L"暗黑4俄服安装成功！";
constexpr UINT kBalloonMs = 8000;
// The Nexon launcher's shortcut to game 12 is named as the game, whatever
// the service calls it.
constexpr wchar_t kNexonGameShortcutName[] = L"HIT2";

// Game 12 takes both folders of the launcher row.
void TakeNexonFolders(const std::wstring& launcherSection, const std::wstring& gameSection)
{
    WriteItemConfig(gameSection, kPathKey, ReadItemConfig(launcherSection, kPathKey));
    WriteItemConfig(gameSection, kInstallPathKey, ReadItemConfig(launcherSection, kInstallPathKey));
}

// Game 15 downloads where the launcher row did and installs where the
// launcher expects it; a launcher folder without any separator names no
// such place, and the install folder is left then.
void TakeReflectionFolders(const std::wstring& launcherSection, const std::wstring& gameSection)
{
    WriteItemConfig(gameSection, kPathKey, ReadItemConfig(launcherSection, kPathKey));
    const std::wstring installFolder = ReflectionGameFolder(ReadLauncherFolder(OutsideLauncher::Reflection));
    if (!installFolder.empty())
        WriteItemConfig(gameSection, kInstallPathKey, installFolder);
}

void SaveNexonGameShortcut(const std::wstring& installFolder)
{
    const std::wstring program = LauncherProgram(OutsideLauncher::Nexon);
    if (program.empty())
        return;
    SaveDesktopShortcut(SystemDesktopFolders(), kNexonGameShortcutName, std::to_wstring(kNexonGame),
                        NexonGameShortcut(program, installFolder));
}

}  // namespace

struct CMainWnd::LauncherRoad
{
    bool (CMainWnd::*isPresent)();
    int game;  // the game that runs inside the launcher
    const wchar_t* installedTitle;
    const wchar_t* absentText;
    void (*takeFolders)(const std::wstring& launcherSection, const std::wstring& gameSection);
};

void CMainWnd::OnNexonLauncherDone(UINT_PTR record, UINT_PTR)
{
    static const LauncherRoad road = {&CMainWnd::IsNexonLauncherPresent, kNexonGame,
                                      L"Nexon安装成功，开始安装Hit2游戏本体！", L"未检测到Nexon安装成功",
                                      &TakeNexonFolders};
    OnLauncherDone(road, std::unique_ptr<GameInfo>(reinterpret_cast<GameInfo*>(record)));
}

void CMainWnd::OnReflectionLauncherDone(UINT_PTR record, UINT_PTR)
{
    static const LauncherRoad road = {&CMainWnd::IsReflectionLauncherPresent, kReflectionGame,
                                      L"ReflectionNetworkLauncher安装成功，开始安装暗黑4游戏本体！",
                                      L"未检测到ReflectionNetworkLauncher安装成功", &TakeReflectionFolders};
    OnLauncherDone(road, std::unique_ptr<GameInfo>(reinterpret_cast<GameInfo*>(record)));
}

void CMainWnd::OnLauncherDone(const LauncherRoad& road, std::unique_ptr<GameInfo> record)
{
    const TaskItem item{static_cast<int32_t>(RowKind::kGame), record->game_id};
    CControlUI* row = FindItemRow(RowKind::kGame, record->game_id);
    const std::wstring sizeText = SizeTextOf(record->size);
    // The look outlasts a rebuilt list while the launcher's task ends.
    const DWORD threadId = g_sessionData.FindTaskFlag(item).ThreadId();
    if (!(this->*road.isPresent)()) {
        ShowTaskLook(row, item, threadId, InstallNotDetectedLook(sizeText));
        ShowMsgBox(m_hWnd, record->name.c_str(), road.absentText, MsgBoxButtons::Ok, L"确定", L"取消");
        return;
    }
    ShowTaskLook(row, item, threadId, LauncherInstalledLook(sizeText));
    const std::wstring launcherSection = ConfigSection(kGameSection, record->game_id);
    WriteItemConfig(launcherSection, kInstalledKey, L"1");
    m_tray.ShowBalloon(road.installedTitle, record->name.c_str(), kBalloonMs);

    const std::wstring gameId = std::to_wstring(road.game);
    if (IsGameInstalled(gameId))
        return;
    // A game folder that holds something keeps its folders.
    if (IsFolderEmpty(g_sessionData.GetGameInstallPath(road.game)))
        road.takeFolders(launcherSection, ConfigSection(kGameSection, gameId));
    QueueGameOfLauncher(road.game);
}

void CMainWnd::QueueGameOfLauncher(int gameId)
{
    CControlUI* row = FindItemRow(RowKind::kGame, std::to_wstring(gameId));
    const auto* record = row != nullptr ? reinterpret_cast<const GameInfo*>(row->GetTag()) : nullptr;
    if (record == nullptr)
        return;
    const TaskItem item{static_cast<int32_t>(RowKind::kGame), record->game_id};
    // One task per game: the user may have started it already, and a task
    // shows on its row before its worker has registered it.
    if (row->GetBkColor() == kBusyRowColour)
        return;
    StartRowTask(item, &DownloadGameThread<g_mainWnd>, std::make_unique<GameInfo>(*record));
}

void CMainWnd::CreateDesktopShortcut(const GameInfo& record)
{
    const std::wstring installFolder = g_sessionData.GetGameInstallPath(_wtoi(record.game_id.c_str()));
    const ShellLinkDetails link = GameShortcut(installFolder, record.lnk_app);
    const DesktopFolders folders = SystemDesktopFolders();
    if (link.target.empty()) {
        // An older shortcut of that name would lead to what is no longer
        // installed there.
        DeleteDesktopShortcuts(folders, record.name, record.game_id);
        return;
    }
    SaveDesktopShortcut(folders, record.name, record.game_id, link);
}

void CMainWnd::FinishGameInstall(std::unique_ptr<GameInfo> record)
{
    const int id = _wtoi(record->game_id.c_str());
    const std::wstring section = ConfigSection(kGameSection, record->game_id);
    const std::wstring installFolder = g_sessionData.GetGameInstallPath(id);
    const wchar_t* title = kGameInstalledTitle;
    // The flag stands whatever becomes of the launcher's data or the shortcut.
    switch (id) {
    case kNexonGame:
        WriteItemConfig(section, kInstalledKey, L"1");
        WriteNexonInstalledApp(NexonInstalledAppsPath(), installFolder, static_cast<int64_t>(std::time(nullptr)));
        SaveNexonGameShortcut(installFolder);
        break;
    case kReflectionGame:
        WriteItemConfig(section, kInstalledKey, L"1");
        WriteReflectionConfig(ReflectionConfigPath(), installFolder);
        title = kReflectionGameInstalledTitle;
        break;
    default:
        CreateDesktopShortcut(*record);
        WriteItemConfig(section, kInstalledKey, L"1");
        break;
    }
    m_tray.ShowBalloon(title, record->name.c_str(), kBalloonMs);
}
