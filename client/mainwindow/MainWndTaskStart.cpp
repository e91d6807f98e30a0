// The start of a game's or plug-in's task from its row: the bound accelerator
// account, the outside launcher a game needs, the folders the user confirms,
// a question before writing into a folder that holds other files, then the
// worker on a copy of the row's record. Every check that fails leaves the
// row, config.ini and the disk as they were.

// First: the workers bring curl, whose winsock2.h must come before windows.h.
#include "services/DownloadTasks.h"

#include "mainwindow/MainWnd.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "services/FileUtil.h"
#include "services/InstallFolders.h"
#include "services/LauncherSetupWorkers.h"
#include "services/SessionData.h"
#include "services/TextConvert.h"
#include "services/WriteLogFile.h"

#include "dialogs/MsgBoxWnd.h"
#include "mainwindow/ItemConfig.h"

using namespace CalUI;

namespace {

// The games that run only inside an outside launcher.
constexpr int kNexonGame = 12;
constexpr int kReflectionGame = 15;
constexpr int kNexonLauncherRow = 13;
constexpr int kReflectionLauncherRow = 16;
// The folder game 15's launcher insists on.
constexpr wchar_t kReflectionGameFolderName[] = L"D4R_ENRU";

// A copy of the record that the clicked button's row carries: the row may
// go while a dialog of the start runs, the copy stays the start's.
template <class Record>
std::unique_ptr<Record> CopyRowRecord(CControlUI* sender)
{
    CControlUI* row = sender != nullptr ? sender->GetParent() : nullptr;
    if (row == nullptr || row->GetTag() == 0)
        return nullptr;
    return std::make_unique<Record>(*reinterpret_cast<const Record*>(row->GetTag()));
}

// The last component of the folder, whatever separators follow it.
std::wstring LastFolderName(std::wstring folder)
{
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    const size_t separator = folder.find_last_of(L"\\/");
    return separator == std::wstring::npos ? folder : folder.substr(separator + 1);
}

std::wstring ProposedDownloadFolder(const std::wstring& installFolderName)
{
    std::vector<std::string> fixedDrives;
    if (!CMainWnd::ListDrivesOfType(fixedDrives, DRIVE_FIXED))
        return std::wstring();
    return ProposedGameFolder(AnsiToWide(fixedDrives.front()), installFolderName);
}

// The rows of games 13 and 16 install the launcher another game needs.
CWindowMultiThreadManager::ThreadProc GameWorker(int gameId)
{
    switch (gameId) {
    case kNexonLauncherRow:
        return &NexonLauncherSetupThread<g_mainWnd>;
    case kReflectionLauncherRow:
        return &ReflectionLauncherSetupThread<g_mainWnd>;
    default:
        return &DownloadGameThread<g_mainWnd>;
    }
}

}  // namespace

// ---- Starts -----------------------------------------------------------------

void CMainWnd::OnGameDownloadClick(CControlUI* sender)
{
    std::unique_ptr<GameInfo> record = CopyRowRecord<GameInfo>(sender);
    if (!record)
        return;
    const TaskItem item{static_cast<int32_t>(RowKind::kGame), record->game_id};
    if (LiveTaskOf(item) != 0)
        return;
    if (g_sessionData.GetSoftwareUsername().empty() && !OpenBindingWindow())
        return;
    const int id = _wtoi(record->game_id.c_str());
    if (id == kNexonGame && !IsNexonLauncherPresent())
        return ShowNotice(L"未检测到Nexon", L"请先安装Nexon台服！");
    if (id == kReflectionGame && !IsReflectionLauncherPresent())
        return ShowNotice(L"未检测到ReflectionNetworkLauncher", L"请先安装ReflectionNetworkLauncher！");

    std::wstring downloadFolder = g_sessionData.GetGamePath(id);
    if (downloadFolder.empty())
        downloadFolder = ProposedDownloadFolder(record->install_folder);
    std::wstring installFolder = g_sessionData.GetGameInstallPath(id);
    if (installFolder.empty())
        installFolder = downloadFolder;
    if (!ChooseFolders(FolderMode::Game, downloadFolder, installFolder, record->name))
        return;
    if (id == kReflectionGame && LastFolderName(installFolder) != kReflectionGameFolderName)
        return ShowNotice(L"无法安装到此目录", L"本体安装的目录名必须为D4R_ENRU");
    downloadFolder = WithFinalBackslash(downloadFolder);
    installFolder = WithFinalBackslash(installFolder);
    WRITE_LOG_FORMAT(L"游戏ID：%ls，下载目录选择：%ls，安装目录选择：%ls", record->game_id.c_str(),
                     downloadFolder.c_str(), installFolder.c_str());
    if (!ConfirmDownloadFolder(downloadFolder, record->file_url) ||
        !StoreFolders(ConfigSection(L"game_", record->game_id), downloadFolder, installFolder))
        return;
    StartRowTask(item, GameWorker(id), std::move(record));
}

void CMainWnd::OnPluginDownloadClick(CControlUI* sender)
{
    std::unique_ptr<PluginInfo> record = CopyRowRecord<PluginInfo>(sender);
    if (!record)
        return;
    const TaskItem item{static_cast<int32_t>(RowKind::kPlugin), record->plugins_id};
    if (LiveTaskOf(item) != 0)
        return;
    if (g_sessionData.GetSoftwareUsername().empty() && !OpenBindingWindow())
        return;
    const int id = _wtoi(record->plugins_id.c_str());
    std::wstring downloadFolder = g_sessionData.GetPluginPath(id);
    std::wstring installFolder = g_sessionData.GetPluginInstallPath(id);
    if (!ChooseFolders(FolderMode::Plugin, downloadFolder, installFolder, std::wstring()))
        return;
    downloadFolder = WithFinalBackslash(downloadFolder);
    installFolder = WithFinalBackslash(installFolder);
    WRITE_LOG_FORMAT(L"插件ID：%ls，下载目录选择：%ls,安装目录选择：%ls", record->plugins_id.c_str(),
                     downloadFolder.c_str(), installFolder.c_str());
    if (!ConfirmDownloadFolder(downloadFolder, record->file_url) ||
        !StoreFolders(ConfigSection(L"plugin_", record->plugins_id), downloadFolder, installFolder))
        return;
    StartRowTask(item, &DownloadPluginThread<g_mainWnd>, std::move(record));
}

// ---- Steps ------------------------------------------------------------------

bool CMainWnd::ChooseFolders(FolderMode mode, std::wstring& downloadFolder, std::wstring& installFolder,
                             const std::wstring& name)
{
    CSetPathWnd window(mode, downloadFolder, installFolder, name);
    window.CreateOver(m_hWnd);
    if (window.ShowModal(true, true) != 1 || !IsAlive())
        return false;
    if (downloadFolder.empty()) {
        ShowNotice(L"无法下载到此目录", L"路径不能为空！");
        return false;
    }
    if (installFolder.empty()) {
        ShowNotice(L"无法安装到此目录", L"路径不能为空！");
        return false;
    }
    return true;
}

// A folder holding only the package (an earlier download to resume) is not
// asked about.
bool CMainWnd::ConfirmDownloadFolder(const std::wstring& downloadFolder, const std::string& fileUrl)
{
    if (IsFolderEmpty(downloadFolder) || IsFolderEmptyExcept(downloadFolder, GetFileNamePart(Utf8ToWide(fileUrl))))
        return true;
    return ShowMsgBox(m_hWnd, L"提示", L"所选的下载目录不为空，可能会覆盖同名文件，是否继续？", MsgBoxButtons::OkCancel,
                      L"继续", L"取消") == MsgBoxResult::Ok &&
           IsAlive();
}

// The worker reads the folders back from config.ini: a start whose folders
// did not reach it would download elsewhere than the user chose.
bool CMainWnd::StoreFolders(const std::wstring& section, const std::wstring& downloadFolder,
                            const std::wstring& installFolder)
{
    if (WriteItemConfig(section, L"path", downloadFolder) && WriteItemConfig(section, L"install_path", installFolder))
        return true;
    ShowNotice(L"无法保存下载目录", L"下载设置写入失败，请检查磁盘空间和权限！");
    return false;
}

void CMainWnd::ShowNotice(std::wstring title, std::wstring text)
{
    ShowMsgBox(m_hWnd, title.c_str(), text.c_str(), MsgBoxButtons::Ok, L"确定", L"取消");
}

// ---- Folders and drives -----------------------------------------------------

bool CMainWnd::ListDrivesOfType(std::vector<std::string>& roots, UINT driveType)
{
    char drives[512] = {};
    const DWORD length = ::GetLogicalDriveStringsA(sizeof(drives) - 1, drives);
    if (length == 0 || length >= sizeof(drives))
        return false;
    bool appended = false;
    for (const char* root = drives; *root != '\0'; root += std::strlen(root) + 1) {
        if (GetDriveType(root) == driveType) {
            roots.emplace_back(root);
            appended = true;
        }
    }
    return appended;
}

UINT CMainWnd::GetDriveType(const char* path) { return ::GetDriveTypeA(path); }

bool CMainWnd::IsFolderEmptyExcept(const std::wstring& folder, const std::wstring& fileName)
{
    return ::IsFolderEmptyExcept(folder, fileName);
}
