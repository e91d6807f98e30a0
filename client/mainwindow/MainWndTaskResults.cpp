// What the row of a game's or plug-in's task shows when a stage of the task
// has ended, and what the result needs besides: a box, a bad package deleted,
// the installed flag, a balloon. A result whose row has gone (another game
// page is shown) or whose task the user cancelled changes no row; the rest
// still happens.

// First: the workers bring curl, whose winsock2.h must come before windows.h.
#include "services/DownloadTasks.h"

#include "mainwindow/MainWnd.h"

#include <memory>
#include <string>

#include "services/FileUtil.h"
#include "services/SessionData.h"
#include "services/TextConvert.h"

#include "dialogs/MsgBoxWnd.h"
#include "mainwindow/ItemConfig.h"
#include "mainwindow/DownloadFailureText.h"

using namespace CalUI;

namespace {

constexpr UINT kBalloonMs = 8000;

template <class Payload>
std::unique_ptr<Payload> Adopt(UINT_PTR payload)
{
    return std::unique_ptr<Payload>(reinterpret_cast<Payload*>(payload));
}

// A missing record counts as one with empty fields, a missing message as an
// empty one.
template <class Record>
Record AdoptRecord(UINT_PTR record)
{
    std::unique_ptr<Record> adopted = Adopt<Record>(record);
    return adopted ? *adopted : Record();
}

std::wstring AdoptMessage(UINT_PTR message)
{
    std::unique_ptr<std::wstring> adopted = Adopt<std::wstring>(message);
    return adopted ? *adopted : std::wstring();
}

TaskItem GameItem(const std::wstring& id) { return TaskItem{static_cast<int32_t>(RowKind::kGame), id}; }
TaskItem PluginItem(const std::wstring& id) { return TaskItem{static_cast<int32_t>(RowKind::kPlugin), id}; }

// The very file the worker wrote; nothing for an address without a file name.
void DeletePackage(const std::wstring& folder, const std::string& fileUrl)
{
    if (folder.empty() || GetFileNamePart(Utf8ToWide(fileUrl)).empty())
        return;
    ::DeleteFileW(LocalPackagePath(folder, fileUrl).c_str());
}

std::wstring GamePackageFolder(const GameInfo& record)
{
    return g_sessionData.GetGamePath(_wtoi(record.game_id.c_str()));
}

std::wstring PluginPackageFolder(const PluginInfo& record)
{
    return g_sessionData.GetPluginPath(_wtoi(record.plugins_id.c_str()));
}

}  // namespace

// ---- Looks ------------------------------------------------------------------

// Kept as the task's last look until its worker has gone: a row rebuilt
// meanwhile shows the result, not a task that seems to start again.
void CMainWnd::ShowResultLook(const TaskItem& item, const RowLook& look)
{
    CControlUI* row = FindTaskRow(item);
    if (row == nullptr)
        return;
    const auto shown = m_taskLooks.find(item);
    const DWORD threadId = shown != m_taskLooks.end() ? shown->second.threadId : LiveTaskOf(item);
    ShowTaskLook(row, item, threadId, look);
}

// The box of a failed download, as the sign-in's overseas setting wants it.
void CMainWnd::ShowDownloadFailure(const std::wstring& itemName, const std::wstring& workerMessage)
{
    const std::wstring text = DownloadFailureBoxText(Utf8ToWide(g_sessionData.GetIsOverseas()), workerMessage);
    if (!text.empty())
        ShowNotice(itemName, text);
}

// ---- Games ------------------------------------------------------------------

void CMainWnd::OnGameDownloadDone(UINT_PTR idText, UINT_PTR)
{
    ShowResultLook(GameItem(AdoptMessage(idText)), WaitingLook(L"等待校验"));
}

void CMainWnd::OnGameDownloadFailed(UINT_PTR record, UINT_PTR message)
{
    const GameInfo game = AdoptRecord<GameInfo>(record);
    const std::wstring text = AdoptMessage(message);
    ShowResultLook(GameItem(game.game_id), FailedLook(L"下载失败"));
    ShowDownloadFailure(game.name, text);
}

void CMainWnd::OnGameVerifyDone(UINT_PTR record, UINT_PTR)
{
    ShowResultLook(GameItem(AdoptRecord<GameInfo>(record).game_id), WaitingLook(L"等待解压"));
}

// The package may be worth keeping (a slow line): the user decides.
void CMainWnd::OnGameVerifyFailed(UINT_PTR record, UINT_PTR message)
{
    const GameInfo game = AdoptRecord<GameInfo>(record);
    AdoptMessage(message);
    ShowResultLook(GameItem(game.game_id), FailedLook(L"校验失败"));
    if (ShowMsgBox(m_hWnd, game.name.c_str(), L"校验失败，是否删除错误的安装包？", MsgBoxButtons::OkCancel, L"删除",
                   L"暂不删除") == MsgBoxResult::Ok)
        DeletePackage(GamePackageFolder(game), game.file_url);
}

// The package stays: a new start finds it complete and checks it again.
void CMainWnd::OnGameUnzipFailed(UINT_PTR record, UINT_PTR message)
{
    const GameInfo game = AdoptRecord<GameInfo>(record);
    AdoptMessage(message);
    ShowResultLook(GameItem(game.game_id), FailedLook(L"解压失败"));
    ShowNotice(game.name, L"解压失败，请检查磁盘空间！");
}

void CMainWnd::OnGameInstallDone(UINT_PTR record, UINT_PTR)
{
    std::unique_ptr<GameInfo> game = Adopt<GameInfo>(record);
    if (!game)
        return;
    // Installed in full just as the user cancelled: config.ini will say
    // installed, and so does the row.
    ForgetCancelledTask(GameItem(game->game_id));
    ShowResultLook(GameItem(game->game_id), InstalledLook(SizeTextOf(game->size)));
    FinishGameInstall(std::move(game));
}

// ---- Plug-ins ---------------------------------------------------------------

void CMainWnd::OnPluginDownloadDone(UINT_PTR idText, UINT_PTR)
{
    ShowResultLook(PluginItem(AdoptMessage(idText)), WaitingLook(L"等待校验"));
}

void CMainWnd::OnPluginDownloadFailed(UINT_PTR record, UINT_PTR message)
{
    const PluginInfo plugin = AdoptRecord<PluginInfo>(record);
    const std::wstring text = AdoptMessage(message);
    ShowResultLook(PluginItem(plugin.plugins_id), FailedLook(L"下载失败"));
    ShowDownloadFailure(plugin.name, text);
}

void CMainWnd::OnPluginVerifyDone(UINT_PTR record, UINT_PTR)
{
    ShowResultLook(PluginItem(AdoptRecord<PluginInfo>(record).plugins_id), WaitingLook(L"等待解压"));
}

void CMainWnd::OnPluginVerifyFailed(UINT_PTR record, UINT_PTR message)
{
    const PluginInfo plugin = AdoptRecord<PluginInfo>(record);
    const std::wstring text = AdoptMessage(message);
    ShowResultLook(PluginItem(plugin.plugins_id), FailedLook(L"校验失败"));
    DeletePackage(PluginPackageFolder(plugin), plugin.file_url);
    ShowNotice(plugin.name, text);
}

void CMainWnd::OnPluginUnzipFailed(UINT_PTR record, UINT_PTR message)
{
    const PluginInfo plugin = AdoptRecord<PluginInfo>(record);
    const std::wstring text = AdoptMessage(message);
    ShowResultLook(PluginItem(plugin.plugins_id), FailedLook(L"解压失败"));
    ShowNotice(plugin.name, text);
}

void CMainWnd::OnPluginInstallDone(UINT_PTR record, UINT_PTR)
{
    const PluginInfo plugin = AdoptRecord<PluginInfo>(record);
    ForgetCancelledTask(PluginItem(plugin.plugins_id));
    ShowResultLook(PluginItem(plugin.plugins_id), InstalledLook(SizeTextOf(plugin.size)));
    WriteItemConfig(ConfigSection(L"plugin_", plugin.plugins_id), L"installed", L"1");
    DeletePackage(PluginPackageFolder(plugin), plugin.file_url);
    m_tray.ShowBalloon(L"安装成功！", plugin.name.c_str(), kBalloonMs);
}
