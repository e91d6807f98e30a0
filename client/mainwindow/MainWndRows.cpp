// The main window's three item lists: the rows built from the list replies,
// their installed tests, finding a task's row, cancelling from a row, the
// rows that a running task shows again after a rebuild, and the filters.

#include "mainwindow/MainWnd.h"

#include <memory>
#include <string>
#include <utility>

#include "services/AcceleratorPrograms.h"
#include "services/CatalogueWorkers.h"
#include "services/FileUtil.h"
#include "services/ImageCache.h"
#include "services/LauncherFiles.h"
#include "services/SessionData.h"
#include "services/TextConvert.h"

#include "dialogs/LoginWnd.h"
#include "dialogs/MsgBoxWnd.h"
#include "mainwindow/ItemConfig.h"
#include "mainwindow/ItemLists.h"

using namespace CalUI;

namespace {

constexpr WCHAR kGameList[] = L"game_list";
constexpr WCHAR kPluginList[] = L"plugin_list";
constexpr WCHAR kJiasuqiList[] = L"jiasuqi_list";
constexpr WCHAR kAnyServer[] = L"不限区服";
constexpr WCHAR kAnyVersion[] = L"不限版本";

// How often the download buttons held after a cancel look for its end.
constexpr UINT_PTR kEndingTasksTimer = 0x4E01;
constexpr UINT kEndingTasksTickMs = 100;

// The two games whose rows install an outside launcher.
constexpr int kNexonLauncherGame = 13;
constexpr int kReflectionLauncherGame = 16;

template <class Payload>
std::unique_ptr<Payload> Adopt(UINT_PTR payload)
{
    return std::unique_ptr<Payload>(reinterpret_cast<Payload*>(payload));
}

LPCWSTR ListNameOf(RowKind kind)
{
    switch (kind) {
    case RowKind::kPlugin:
        return kPluginList;
    case RowKind::kJiasuqi:
        return kJiasuqiList;
    default:
        return kGameList;
    }
}

bool IsMarkedInstalled(const std::wstring& section, const std::wstring& installFolder)
{
    const std::wstring ini = g_sessionData.GetConfigIniPath();
    return ::GetPrivateProfileIntW(section.c_str(), L"installed", 0, ini.c_str()) == 1 &&
           !CMainWnd::IsFolderEmpty(installFolder);
}

std::wstring RecordSizeOfRow(CControlUI* row, RowKind kind)
{
    const UINT_PTR tag = row->GetTag();
    if (tag == 0)
        return std::wstring();
    switch (kind) {
    case RowKind::kGame:
        return reinterpret_cast<const GameInfo*>(tag)->size;
    case RowKind::kPlugin:
        return reinterpret_cast<const PluginInfo*>(tag)->size;
    case RowKind::kJiasuqi:
        return reinterpret_cast<const JiasuqiInfo*>(tag)->size;
    }
    return std::wstring();
}

void ShowUnreadableList(HWND owner, LPCWSTR text)
{
    ShowMsgBox(owner, L"数据错误", text, MsgBoxButtons::Ok, L"确定", L"取消");
}

}  // namespace

// ---- Replies ----------------------------------------------------------------

void CMainWnd::BuildGameRows(const std::wstring& categoryId, const std::string& listText)
{
    if (m_gameIcons.IsLoading())
        return;
    if (listText.empty())
        return ClearRows(kGameList);
    RecordListPtr<GameInfo> list = ParseGameList(listText);
    if (!list)
        return ShowUnreadableList(m_hWnd, L"游戏列表解析异常！");
    ClearRows(kGameList);
    for (GameInfo* record : *list) {
        const int number = _wtoi(record->game_id.c_str());
        const bool installed = number == kNexonLauncherGame        ? IsNexonLauncherPresent()
                               : number == kReflectionLauncherGame ? IsReflectionLauncherPresent()
                                                                   : IsGameInstalled(record->game_id);
        AddRow(kGameList, RowKind::kGame,
               {reinterpret_cast<UINT_PTR>(record), record->game_id, record->name, record->detail, record->size,
                installed},
               TaskItem{static_cast<int32_t>(RowKind::kGame), record->game_id});
    }
    // Game and plug-in tasks work on copies: no record outlives its batch.
    m_gameIcons.ReleaseDone([](const GameInfo*) { return false; });
    // Rows whose icon worker cannot start keep their empty icons; the page
    // must not wait for them.
    if (!list->empty() &&
        m_threads.StartThread(&CacheGameIconsThread<g_mainWnd>, m_gameIcons.Add(categoryId, std::move(list))) == 0)
        m_gameIcons.FinishNewest();
}

void CMainWnd::OnPluginListReply(UINT_PTR categoryId, UINT_PTR listText)
{
    const std::wstring key = *Adopt<std::wstring>(categoryId);
    const std::string text = *Adopt<std::string>(listText);
    if (m_pluginIcons.IsLoading())
        return;
    if (text.empty())
        return ClearRows(kPluginList);
    RecordListPtr<PluginInfo> list = ParsePluginList(text);
    if (!list) {
        ShowUnreadableList(m_hWnd, L"插件列表解析异常！");
        if (IsAlive())
            ExitApp(0, 0);
        return;
    }
    ClearRows(kPluginList);
    for (PluginInfo* record : *list) {
        AddRow(kPluginList, RowKind::kPlugin,
               {reinterpret_cast<UINT_PTR>(record), record->plugins_id, record->name, record->detail, record->size,
                IsPluginInstalled(record->plugins_id)},
               TaskItem{static_cast<int32_t>(RowKind::kPlugin), record->plugins_id});
    }
    m_pluginIcons.ReleaseDone([](const PluginInfo*) { return false; });
    if (!list->empty() &&
        m_threads.StartThread(&CachePluginIconsThread<g_mainWnd>, m_pluginIcons.Add(key, std::move(list))) == 0)
        m_pluginIcons.FinishNewest();
}

void CMainWnd::OnJiasuqiListReply(UINT_PTR listText, UINT_PTR firstSignIn)
{
    // No text: the service refused the list, which changes nothing.
    if (listText == 0)
        return;
    const std::string text = *Adopt<std::string>(listText);
    if (m_jiasuqiIcons.IsLoading())
        return;
    if (text.empty())
        return ClearRows(kJiasuqiList);
    RecordListPtr<JiasuqiInfo> list = ParseJiasuqiList(text);
    if (!list) {
        ShowUnreadableList(m_hWnd, L"加速器列表解析异常！");
        if (IsAlive())
            ExitApp(0, 0);
        return;
    }
    ClearRows(kJiasuqiList);
    for (JiasuqiInfo* record : *list) {
        AddRow(kJiasuqiList, RowKind::kJiasuqi,
               {reinterpret_cast<UINT_PTR>(record), L"", record->name, record->detail, record->size,
                IsJiasuqiInstalled(*record)},
               TaskItem{static_cast<int32_t>(RowKind::kJiasuqi), record->software_id});
    }
    m_jiasuqiIcons.ReleaseDone([this](const JiasuqiInfo* record) { return IsJiasuqiRecordInUse(record); });
    if (list->empty())
        return;
    if (m_threads.StartThread(&CacheJiasuqiIconsThread<g_mainWnd>, m_jiasuqiIcons.Add(L"", std::move(list))) == 0)
        m_jiasuqiIcons.FinishNewest();
    if (firstSignIn != 1)
        return;
    // Waits for a sign-in window that is still finishing the first sign-in.
    OpenBindingAfterFirstSignIn();
}

// ---- Rows -------------------------------------------------------------------

void CMainWnd::ClearRows(LPCWSTR listName)
{
    CContainerUI* list = AsContainer(m_manager.FindControl(listName));
    if (list == nullptr)
        return;
    if (m_clickDepth == 0)
        return list->RemoveAll();
    // A click handler may still be running on one of these rows (a dialog's
    // loop can deliver this reply): its rows stay whole until it returns.
    for (int i = list->GetCount() - 1; i >= 0; --i) {
        CControlUI* row = list->GetItemAt(i);
        if (list->RemoveAt(i, true))
            m_retiredRows.emplace_back(row);
    }
}

void CMainWnd::FreeRetiredRows(UINT_PTR, UINT_PTR)
{
    if (m_clickDepth == 0)
        m_retiredRows.clear();
}

void CMainWnd::AddRow(LPCWSTR listName, RowKind kind, const ItemRowFace& face, const TaskItem& item)
{
    CContainerUI* list = AsContainer(m_manager.FindControl(listName));
    if (list == nullptr)
        return;
    CContainerUI* row = BuildItemRow(kind, face);
    if (!list->Add(row)) {
        row->Delete();
        return;
    }
    if (m_endingTasks.count(item) != 0) {
        if (CControlUI* download = RowChildOf(row, RowChild::kDownload))
            download->SetEnabled(false);
    }
    if (kind == RowKind::kJiasuqi)
        return;
    // The item's task outlives the rows of an earlier page: the new row shows
    // it again, and its cancel stops it.
    const DWORD threadId = LiveTaskOf(item);
    auto shown = m_taskLooks.find(item);
    if (threadId == 0 || m_cancelledItems.count(item) != 0) {
        if (shown != m_taskLooks.end())
            m_taskLooks.erase(shown);
        return;
    }
    if (shown != m_taskLooks.end() && shown->second.threadId == threadId)
        ApplyRowLook(row, shown->second.look);
    else
        ShowTaskLook(row, item, threadId, QueuedLook(threadId));
}

DWORD CMainWnd::LiveTaskOf(const TaskItem& item)
{
    if (const TaskFlagRef registered = g_sessionData.FindTaskFlag(item))
        return registered.ThreadId();
    // Started but not registered yet (still asking for its link), or
    // registered no more but still ending.
    auto started = m_taskThreads.find(item);
    if (started == m_taskThreads.end())
        return 0;
    // Thread ids are reused: the same id must still run the same worker.
    if (m_threads.GetThreadProc(started->second.threadId) == started->second.worker)
        return started->second.threadId;
    m_taskThreads.erase(started);
    return 0;
}

CControlUI* CMainWnd::FindItemRow(RowKind kind, const std::wstring& id)
{
    CContainerUI* list = AsContainer(m_manager.FindControl(kind == RowKind::kPlugin ? kPluginList : kGameList));
    if (list == nullptr || kind == RowKind::kJiasuqi)
        return nullptr;
    for (int i = 0; i < list->GetCount(); ++i) {
        CControlUI* row = list->GetItemAt(i);
        if (row->GetUserData() == id.c_str())
            return row;
    }
    return nullptr;
}

CControlUI* CMainWnd::FindJiasuqiRow(const JiasuqiInfo* record)
{
    CContainerUI* list = AsContainer(m_manager.FindControl(kJiasuqiList));
    if (list == nullptr)
        return nullptr;
    for (int i = 0; i < list->GetCount(); ++i) {
        CControlUI* row = list->GetItemAt(i);
        if (row->GetTag() == reinterpret_cast<UINT_PTR>(record))
            return row;
    }
    return nullptr;
}

CControlUI* CMainWnd::FindTaskRow(const TaskItem& item, const JiasuqiInfo* record)
{
    if (m_cancelledItems.count(item) != 0)
        return nullptr;
    if (item.kind == static_cast<int32_t>(RowKind::kJiasuqi))
        return FindJiasuqiRow(record);
    return FindItemRow(static_cast<RowKind>(item.kind), item.id);
}

void CMainWnd::ShowTaskLook(CControlUI* row, const TaskItem& item, DWORD threadId, const RowLook& look)
{
    ApplyRowLook(row, look);
    m_taskLooks[item] = TaskLook{threadId, look};
}

void CMainWnd::ForgetCancelledTask(const TaskItem& item) { m_cancelledItems.erase(item); }

void CMainWnd::HoldJiasuqiRecord(const JiasuqiInfo* record) { m_jiasuqiInUse.insert(record); }

void CMainWnd::DropJiasuqiRecord(const JiasuqiInfo* record)
{
    auto held = m_jiasuqiInUse.find(record);
    if (held != m_jiasuqiInUse.end())
        m_jiasuqiInUse.erase(held);
}

bool CMainWnd::IsJiasuqiRecordInUse(const JiasuqiInfo* record) { return m_jiasuqiInUse.count(record) != 0; }

// ---- Installed tests --------------------------------------------------------

bool CMainWnd::IsFolderEmpty(const std::wstring& folder) { return ::IsFolderEmpty(folder); }

bool CMainWnd::IsGameInstalled(const std::wstring& gameId)
{
    return IsMarkedInstalled(ConfigSection(L"game_", gameId), g_sessionData.GetGameInstallPath(_wtoi(gameId.c_str())));
}

bool CMainWnd::IsPluginInstalled(const std::wstring& pluginId)
{
    return IsMarkedInstalled(ConfigSection(L"plugin_", pluginId),
                             g_sessionData.GetPluginInstallPath(_wtoi(pluginId.c_str())));
}

// The entry's program path may be quoted and followed by arguments, as the
// programs' own installers write it.
bool CMainWnd::IsJiasuqiInstalled(const JiasuqiInfo& record) { return IsAcceleratorInstalled(record.type); }

bool CMainWnd::IsNexonLauncherPresent() { return IsLauncherPresent(OutsideLauncher::Nexon); }

bool CMainWnd::IsReflectionLauncherPresent() { return IsLauncherPresent(OutsideLauncher::Reflection); }

// ---- Cancel -----------------------------------------------------------------

TaskItem CMainWnd::TaskItemOfRow(CControlUI* row, RowKind kind)
{
    if (kind != RowKind::kJiasuqi)
        return TaskItem{static_cast<int32_t>(kind), row->GetUserData().GetData()};
    const auto* record = reinterpret_cast<const JiasuqiInfo*>(row->GetTag());
    return TaskItem{static_cast<int32_t>(kind), record != nullptr ? record->software_id : std::wstring()};
}

void CMainWnd::CancelRowTask(CControlUI* sender, RowKind kind)
{
    CControlUI* row = sender != nullptr ? sender->GetParent() : nullptr;
    // A row shows a task exactly while it has the busy colour (also on a page
    // that is not shown).
    if (row == nullptr || row->GetBkColor() != kBusyRowColour)
        return;
    const TaskItem item = TaskItemOfRow(row, kind);
    g_sessionData.FindTaskFlag(static_cast<DWORD>(sender->GetTag()), item).Clear();
    m_cancelledItems.insert(item);
    m_taskLooks.erase(item);
    ApplyRowLook(row, CancelledLook(SizeTextOf(RecordSizeOfRow(row, kind))));
    HoldDownloadWhileEnding(item);
}

// The cancelled task's work goes on for a moment (a transfer aborts, a file
// closes) or, for an accelerator, as long as its installer runs; a start
// meanwhile would find it and do nothing. The item's download button waits,
// disabled, for that end.
void CMainWnd::HoldDownloadWhileEnding(const TaskItem& item)
{
    if (!IsItemWorkRunning(item))
        return;
    m_endingTasks.insert(item);
    EnableDownloadButtons(item, false);
    ::SetTimer(m_hWnd, kEndingTasksTimer, kEndingTasksTickMs, nullptr);
}

bool CMainWnd::IsItemWorkRunning(const TaskItem& item)
{
    if (item.kind == static_cast<int32_t>(RowKind::kJiasuqi))
        return m_jiasuqiWork.count(item.id) != 0 || static_cast<bool>(g_sessionData.FindTaskFlag(item));
    return LiveTaskOf(item) != 0;
}

void CMainWnd::EnableDownloadButtons(const TaskItem& item, bool enable)
{
    const RowKind kind = static_cast<RowKind>(item.kind);
    CContainerUI* list = AsContainer(m_manager.FindControl(ListNameOf(kind)));
    for (int i = 0; list != nullptr && i < list->GetCount(); ++i) {
        CControlUI* row = list->GetItemAt(i);
        if (TaskItemOfRow(row, kind) != item)
            continue;
        if (CControlUI* download = RowChildOf(row, RowChild::kDownload))
            download->SetEnabled(enable);
    }
}

bool CMainWnd::OnTimer(UINT_PTR timer)
{
    if (timer != kEndingTasksTimer)
        return false;
    ReleaseEndedDownloads();
    return true;
}

void CMainWnd::ReleaseEndedDownloads()
{
    for (auto item = m_endingTasks.begin(); item != m_endingTasks.end();) {
        if (IsItemWorkRunning(*item)) {
            ++item;
            continue;
        }
        EnableDownloadButtons(*item, true);
        item = m_endingTasks.erase(item);
    }
    if (m_endingTasks.empty())
        ::KillTimer(m_hWnd, kEndingTasksTimer);
}

void CMainWnd::OnGameCancelClick(CControlUI* sender) { CancelRowTask(sender, RowKind::kGame); }
void CMainWnd::OnPluginCancelClick(CControlUI* sender) { CancelRowTask(sender, RowKind::kPlugin); }
void CMainWnd::OnJiasuqiCancelClick(CControlUI* sender) { CancelRowTask(sender, RowKind::kJiasuqi); }

void CMainWnd::CancelAllRows()
{
    const std::pair<LPCWSTR, RowKind> lists[] = {
        {kGameList, RowKind::kGame}, {kPluginList, RowKind::kPlugin}, {kJiasuqiList, RowKind::kJiasuqi}};
    for (const auto& [name, kind] : lists) {
        CContainerUI* list = AsContainer(m_manager.FindControl(name));
        for (int i = 0; list != nullptr && i < list->GetCount(); ++i) {
            CControlUI* cancel = RowChildOf(list->GetItemAt(i), RowChild::kCancel);
            if (cancel != nullptr && cancel->GetName() == CancelButtonName(kind))
                CancelRowTask(cancel, kind);
        }
    }
}

// ---- Filters ----------------------------------------------------------------

void CMainWnd::OnGameFilterChanged() { ApplyFilter(kGameList, L"game_server_combo", L"game_version_combo"); }
void CMainWnd::OnPluginFilterChanged() { ApplyFilter(kPluginList, L"plugin_server_combo", L"plugin_version_combo"); }

void CMainWnd::ApplyFilter(LPCWSTR listName, LPCWSTR serverBox, LPCWSTR versionBox)
{
    CContainerUI* list = AsContainer(m_manager.FindControl(listName));
    CControlUI* serverCombo = m_manager.FindControl(serverBox);
    CControlUI* versionCombo = m_manager.FindControl(versionBox);
    if (list == nullptr || (serverCombo == nullptr && versionCombo == nullptr))
        return;
    // A missing box restricts nothing.
    const std::wstring server = serverCombo != nullptr ? serverCombo->GetText().GetData() : kAnyServer;
    const std::wstring version = versionCombo != nullptr ? versionCombo->GetText().GetData() : kAnyVersion;
    const bool isGame = std::wstring(listName) == kGameList;
    for (int i = 0; i < list->GetCount(); ++i) {
        CControlUI* row = list->GetItemAt(i);
        const UINT_PTR tag = row->GetTag();
        if (tag == 0)
            continue;
        const std::wstring& rowServer =
            isGame ? reinterpret_cast<const GameInfo*>(tag)->server : reinterpret_cast<const PluginInfo*>(tag)->server;
        const std::wstring& rowVersion = isGame ? reinterpret_cast<const GameInfo*>(tag)->version
                                                : reinterpret_cast<const PluginInfo*>(tag)->version;
        const bool serverMatches = server == kAnyServer || server == rowServer;
        const bool versionMatches = version == kAnyVersion || version == rowVersion;
        row->SetVisible(serverMatches && versionMatches);
    }
}
