// Removing installed items from their rows: a game's or its plug-ins'
// install folder goes on a worker, and the rows say "已卸载" only once it has
// gone; an accelerator program goes through its own uninstaller, which the
// window waits for; the Nexon Launcher's row starts that launcher's own
// uninstaller. Modal windows come first, and any list reply they let through
// may free the row and its record: the handlers work on copies and find the
// rows again afterwards.

#include "mainwindow/MainWnd.h"

#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "services/AcceleratorPrograms.h"
#include "services/DesktopShortcuts.h"
#include "services/FileUtil.h"
#include "services/FolderTree.h"
#include "services/FolderWorkers.h"
#include "services/RegistryUtil.h"
#include "services/SafeNames.h"
#include "services/SessionData.h"
#include "services/TextConvert.h"

#include "mainwindow/ItemConfig.h"

#include "dialogs/MsgBoxWnd.h"
#include "dialogs/ViewPathWnd.h"

using namespace CalUI;

namespace {

constexpr int kNexonLauncherGame = 13;
constexpr WCHAR kNexonLauncherKey[] = L"SOFTWARE\\Nexon Launcher";
constexpr WCHAR kNexonInstallValue[] = L"Install Directory";
constexpr WCHAR kNexonUninstaller[] = L"\\Uninstall.exe";
constexpr WCHAR kRemovedTitle[] = L"卸载成功！";
constexpr UINT kBalloonMs = 8000;
// The folder view window's result that asks for the removal.
constexpr int kViewResultRemove = 1;

// The package that a download into the install folder left there: kept, so
// that a new install needs no new download.
std::wstring KeptPackage(const std::wstring& downloadFolder, const std::string& fileUrl)
{
    const std::wstring name = GetFileNamePart(Utf8ToWide(fileUrl));
    if (downloadFolder.empty() || name.empty())
        return std::wstring();
    const bool separated = IsPathSeparator(downloadFolder.back());
    return downloadFolder + (separated ? L"" : L"\\") + name;
}

void MarkNotInstalled(const std::wstring& section) { WriteItemConfig(section, L"installed", L"0"); }

// The folder under TEMP that an accelerator's uninstaller ran from, with all
// it left there; nothing when it ran in place.
void RemoveUninstallerCopy(const std::wstring& copyFolder)
{
    if (copyFolder.empty())
        return;
    bool failed = false;
    DeleteFolderTree(copyFolder, L"", failed);
}

// Every "plugin_<number>" section of config.ini.
std::vector<int> PluginSections()
{
    const std::wstring ini = g_sessionData.GetConfigIniPath();
    std::vector<wchar_t> names(4096);
    DWORD length = 0;
    while ((length = GetPrivateProfileSectionNamesW(names.data(), static_cast<DWORD>(names.size()), ini.c_str())) ==
           names.size() - 2)
        names.resize(names.size() * 2);
    std::vector<int> ids;
    for (const wchar_t* name = names.data(); *name != L'\0'; name += wcslen(name) + 1) {
        const std::wstring section = name;
        constexpr WCHAR kPrefix[] = L"plugin_";
        if (section.compare(0, wcslen(kPrefix), kPrefix) != 0)
            continue;
        const std::wstring id = section.substr(wcslen(kPrefix));
        if (ConfigSection(kPrefix, id) == section)
            ids.push_back(_wtoi(id.c_str()));
    }
    return ids;
}

// Marks every installed plug-in of the folder, or of a folder below it, as
// not installed, whether or not the page lists it; their id numbers.
std::set<int> MarkPluginsOfFolderRemoved(const std::wstring& folder)
{
    const std::wstring ini = g_sessionData.GetConfigIniPath();
    std::set<int> removed;
    for (int id : PluginSections()) {
        const std::wstring section = L"plugin_" + std::to_wstring(id);
        if (GetPrivateProfileIntW(section.c_str(), L"installed", 0, ini.c_str()) == 0)
            continue;
        if (!IsSameOrBelowFolder(folder, g_sessionData.GetPluginInstallPath(id)))
            continue;
        MarkNotInstalled(section);
        removed.insert(id);
    }
    return removed;
}

void ShowOkBox(HWND owner, const std::wstring& title, const std::wstring& text)
{
    ShowMsgBox(owner, title.c_str(), text.c_str(), MsgBoxButtons::Ok, L"确定", L"取消");
}

}  // namespace

// ---- Games and plug-ins -----------------------------------------------------

void CMainWnd::UninstallGame(CControlUI* sender)
{
    CControlUI* row = sender != nullptr ? sender->GetParent() : nullptr;
    if (row == nullptr || row->GetTag() == 0)
        return;
    const GameInfo record = *reinterpret_cast<const GameInfo*>(row->GetTag());
    const int id = _wtoi(record.game_id.c_str());
    if (id == kNexonLauncherGame)
        return UninstallNexonLauncher(record);
    const std::wstring downloadFolder = g_sessionData.GetGamePath(id);
    const std::wstring installFolder = g_sessionData.GetGameInstallPath(id);
    if (OpenFolderView(downloadFolder, installFolder) != kViewResultRemove || !IsAlive())
        return;
    if (!AcceptRemovalFolder(record.name, installFolder))
        return;
    MarkNotInstalled(ConfigSection(L"game_", record.game_id));
    DeleteGameShortcuts(record);
    StartRemoval({installFolder, RowKind::kGame, {id}, record.name}, KeptPackage(downloadFolder, record.file_url));
}

void CMainWnd::UninstallPlugins(CControlUI* sender)
{
    CControlUI* row = sender != nullptr ? sender->GetParent() : nullptr;
    if (row == nullptr || row->GetTag() == 0)
        return;
    const PluginInfo record = *reinterpret_cast<const PluginInfo*>(row->GetTag());
    const int id = _wtoi(record.plugins_id.c_str());
    const std::wstring downloadFolder = g_sessionData.GetPluginPath(id);
    const std::wstring installFolder = g_sessionData.GetPluginInstallPath(id);
    if (OpenFolderView(downloadFolder, installFolder) != kViewResultRemove || !IsAlive())
        return;
    if (ShowMsgBox(m_hWnd, L"确定卸载吗", L"您将删除所有插件，确定要继续吗？", MsgBoxButtons::OkCancel, L"确定",
                   L"取消") != MsgBoxResult::Ok ||
        !IsAlive())
        return;
    if (!AcceptRemovalFolder(record.name, installFolder))
        return;
    std::set<int> ids = MarkPluginsOfFolderRemoved(installFolder);
    MarkNotInstalled(ConfigSection(L"plugin_", record.plugins_id));
    ids.insert(id);
    StartRemoval({installFolder, RowKind::kPlugin, std::move(ids), record.name},
                 KeptPackage(downloadFolder, record.file_url));
}

int CMainWnd::OpenFolderView(const std::wstring& downloadFolder, const std::wstring& installFolder)
{
    CViewPathWnd window(downloadFolder, installFolder);
    window.CreateOver(m_hWnd);
    return window.ShowModal(true, true);
}

bool CMainWnd::AcceptRemovalFolder(const std::wstring& title, const std::wstring& folder)
{
    if (IsDeletableFolder(folder) && !HoldsProgramFolder(folder))
        return true;
    ShowOkBox(m_hWnd, title, DeleteFailedMessage(folder));
    return false;
}

void CMainWnd::StartRemoval(PendingRemoval removal, const std::wstring& keep)
{
    ApplyRemovalLook(removal, RemovingLook());
    const std::wstring folder = removal.folder;
    m_pendingRemovals.push_back(std::move(removal));
    if (!StartWorker(&DeleteFolderThread<g_mainWnd>, std::make_unique<FolderDeletionParam>(keep, folder))) {
        const std::wstring untouched = DeleteFailedMessage(folder);
        FinishRemoval(folder, &untouched);
    }
}

void CMainWnd::FinishRemoval(const std::wstring& folder, const std::wstring* leftovers)
{
    auto pending = std::find_if(m_pendingRemovals.begin(), m_pendingRemovals.end(),
                                [&folder](const PendingRemoval& removal) { return removal.folder == folder; });
    if (pending == m_pendingRemovals.end())
        return;
    const PendingRemoval removal = std::move(*pending);
    m_pendingRemovals.erase(pending);
    ApplyRemovalLook(removal, RemovedLook());
    if (leftovers != nullptr)
        ShowOkBox(m_hWnd, removal.name, *leftovers);
    else
        m_tray.ShowBalloon(kRemovedTitle, removal.name.c_str(), kBalloonMs);
}

void CMainWnd::ApplyRemovalLook(const PendingRemoval& removal, const RowLook& look)
{
    CContainerUI* list = AsContainer(FindControl(removal.kind == RowKind::kPlugin ? L"plugin_list" : L"game_list"));
    for (int i = 0; list != nullptr && i < list->GetCount(); ++i) {
        CControlUI* row = list->GetItemAt(i);
        if (removal.ids.count(_wtoi(row->GetUserData().GetData())) != 0)
            ApplyRowLook(row, look);
    }
}

void CMainWnd::OnFolderDeleted(UINT_PTR folder, UINT_PTR)
{
    const std::unique_ptr<std::wstring> deleted(reinterpret_cast<std::wstring*>(folder));
    FinishRemoval(deleted ? *deleted : std::wstring(), nullptr);
}

void CMainWnd::OnDeleteFilesFailed(UINT_PTR folder, UINT_PTR message)
{
    const std::unique_ptr<std::wstring> failed(reinterpret_cast<std::wstring*>(folder));
    const std::unique_ptr<std::wstring> text(reinterpret_cast<std::wstring*>(message));
    const std::wstring path = failed ? *failed : std::wstring();
    const std::wstring leftovers = text ? *text : DeleteFailedMessage(path);
    FinishRemoval(path, &leftovers);
}

void CMainWnd::DeleteGameShortcuts(const GameInfo& record)
{
    DeleteDesktopShortcuts(SystemDesktopFolders(), record.name, record.game_id);
}

// ---- The Nexon Launcher -----------------------------------------------------

void CMainWnd::UninstallNexonLauncher(const GameInfo& record)
{
    std::wstring launcherFolder;
    if (!ReadRegValue(HKEY_CURRENT_USER, kNexonLauncherKey, kNexonInstallValue, REG_SZ, launcherFolder) ||
        launcherFolder.empty())
        return;
    const std::wstring uninstaller = launcherFolder + kNexonUninstaller;
    const std::wstring section = ConfigSection(L"game_", record.game_id);
    if (!FileExists(uninstaller))
        return MarkNotInstalled(section);
    if (OpenFolderView(g_sessionData.GetGamePath(kNexonLauncherGame), uninstaller) != kViewResultRemove || !IsAlive())
        return;
    const auto started =
        reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", uninstaller.c_str(), L"", L"", SW_SHOWNORMAL));
    // ShellExecuteW reports success with a value above 32.
    if (started <= 32)
        return ShowOkBox(m_hWnd, record.name, L"【" + uninstaller + L"】无法启动，请手动卸载！");
    MarkNotInstalled(section);
    ApplyRowLook(FindItemRow(RowKind::kGame, record.game_id), RemovedLook());
}

// ---- Accelerators -----------------------------------------------------------

void CMainWnd::UninstallJiasuqi(CControlUI* sender)
{
    CControlUI* row = sender != nullptr ? sender->GetParent() : nullptr;
    auto* record = row != nullptr ? reinterpret_cast<JiasuqiInfo*>(row->GetTag()) : nullptr;
    if (record == nullptr || m_uninstallingTypes.count(record->type) != 0)
        return;
    if (!IsJiasuqiInstalled(*record)) {
        ApplyRowLook(row, RemovedLook());
        m_tray.ShowBalloon(kRemovedTitle, record->name.c_str(), kBalloonMs);
        return;
    }
    CommandLine registered;
    ReadAcceleratorUninstallCommand(record->type, registered);
    const UninstallerRun run = PrepareUninstallerCopy(registered);
    const HANDLE process = StartProgram(run.command);
    ApplyRowLook(row, UninstallerRunningLook(SizeTextOf(record->size)));
    if (process == nullptr) {
        RemoveUninstallerCopy(run.copyFolder);
        return EndJiasuqiUninstall(record);
    }
    HoldJiasuqiRecord(record);
    m_uninstallingTypes[record->type] = run.copyFolder;
    if (StartWorker(&WaitUninstallThread<g_mainWnd>,
                    std::make_unique<ProcessWaitParam>(ProcessWaitParam{record, process})))
        return;
    // Nothing can wait for it: the row does not wait either, and the copy
    // stays until the program has ended.
    CloseHandle(process);
    m_uninstallingTypes.erase(record->type);
    EndJiasuqiUninstall(record);
    DropJiasuqiRecord(record);
}

void CMainWnd::OnJiasuqiUninstallerExited(UINT_PTR wait, UINT_PTR)
{
    const std::unique_ptr<ProcessWaitParam> ended(reinterpret_cast<ProcessWaitParam*>(wait));
    if (!ended)
        return;
    if (ended->process != nullptr)
        CloseHandle(ended->process);
    if (ended->item == nullptr)
        return;
    const auto running = m_uninstallingTypes.find(ended->item->type);
    if (running != m_uninstallingTypes.end()) {
        RemoveUninstallerCopy(running->second);
        m_uninstallingTypes.erase(running);
    }
    EndJiasuqiUninstall(ended->item);
    DropJiasuqiRecord(ended->item);
}

void CMainWnd::EndJiasuqiUninstall(const JiasuqiInfo* record)
{
    // The box lets list replies through, which may free the record.
    const std::wstring name = record->name;
    CControlUI* row = FindJiasuqiRow(record);
    if (!IsJiasuqiInstalled(*record)) {
        ApplyRowLook(row, ProgramRemovedLook());
        m_tray.ShowBalloon(kRemovedTitle, name.c_str(), kBalloonMs);
        return;
    }
    ApplyRowLook(row, InstalledLook(SizeTextOf(record->size)));
    ShowOkBox(m_hWnd, name, L"未检测到卸载成功");
}
