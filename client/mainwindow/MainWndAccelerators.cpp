// The tasks of the accelerator rows: a program's own installer downloads into
// the cache folder and is checked, then it runs, and once it has ended the
// program's uninstall entry tells whether it is installed. The task's worker
// and the wait for the installer both work on the row's own record, which the
// window holds for each of them until it is done.

// First: the download tasks bring winsock2.h, which must come before
// windows.h.
#include "services/DownloadTasks.h"

#include "mainwindow/MainWnd.h"

#include <memory>
#include <string>

#include "services/AcceleratorPrograms.h"
#include "services/FolderWorkers.h"
#include "services/SessionData.h"
#include "services/TextConvert.h"

#include "dialogs/MsgBoxWnd.h"

using namespace CalUI;

namespace {

constexpr wchar_t kAwaitingCheck[] = L"等待校验";
constexpr wchar_t kAwaitingInstall[] = L"等待安装";
constexpr wchar_t kDownloadFailed[] = L"下载失败";
constexpr wchar_t kCheckFailed[] = L"校验失败";
constexpr wchar_t kInstalledTitle[] = L"安装成功！";
constexpr wchar_t kNotInstalled[] = L"未检测到安装成功";
constexpr UINT kBalloonMs = 8000;

TaskItem ItemOf(const JiasuqiInfo& record)
{
    return TaskItem{static_cast<int32_t>(RowKind::kJiasuqi), record.software_id};
}

JiasuqiInfo* RecordOf(UINT_PTR record) { return reinterpret_cast<JiasuqiInfo*>(record); }

std::unique_ptr<std::wstring> AdoptText(UINT_PTR text)
{
    return std::unique_ptr<std::wstring>(reinterpret_cast<std::wstring*>(text));
}

// The very file that the worker downloaded and checked.
std::wstring InstallerPath(const JiasuqiInfo& record)
{
    return LocalPackagePath(DownloadKind<JiasuqiInfo>::DownloadFolder(0), record.file_url);
}

// The task's worker; the call it queues last tells the window that nothing of
// the task reads the record any more, however the task ended.
void RunJiasuqiTask(void* record)
{
    DownloadJiasuqiThread<g_mainWnd>(record);
    QueueCall(g_mainWnd, &CMainWnd::OnJiasuqiTaskEnded, reinterpret_cast<UINT_PTR>(record), 0);
}

}  // namespace

void CMainWnd::OnJiasuqiDownloadClick(CControlUI* sender)
{
    CControlUI* row = sender != nullptr ? sender->GetParent() : nullptr;
    JiasuqiInfo* record = row != nullptr ? RecordOf(row->GetTag()) : nullptr;
    if (record == nullptr)
        return;
    const TaskItem item = ItemOf(*record);
    // A second download would write into the file that the first one fetches
    // or that a running installer was started from; a row that a new list
    // built meanwhile is the same program.
    if (m_jiasuqiWork.count(record->software_id) != 0 || g_sessionData.FindTaskFlag(item))
        return;
    const DWORD threadId = m_threads.StartThread(&RunJiasuqiTask, record);
    if (threadId == 0)
        return;
    HoldJiasuqiRecord(record);
    m_jiasuqiWork.insert(record->software_id);
    ForgetCancelledTask(item);
    ShowTaskLook(row, item, threadId, QueuedLook(threadId));
}

void CMainWnd::OnJiasuqiDownloadDone(UINT_PTR record, UINT_PTR)
{
    ApplyRowLook(FindTaskRow(ItemOf(*RecordOf(record)), RecordOf(record)), WaitingLook(kAwaitingCheck));
}

void CMainWnd::OnJiasuqiDownloadFailed(UINT_PTR record, UINT_PTR message)
{
    const std::unique_ptr<std::wstring> text = AdoptText(message);
    const JiasuqiInfo& program = *RecordOf(record);
    ApplyRowLook(FindTaskRow(ItemOf(program), &program), FailedLook(kDownloadFailed));
    ShowDownloadFailure(program.name, text ? *text : std::wstring());
}

void CMainWnd::OnJiasuqiVerifyFailed(UINT_PTR record, UINT_PTR message)
{
    const std::unique_ptr<std::wstring> text = AdoptText(message);
    const JiasuqiInfo& program = *RecordOf(record);
    ApplyRowLook(FindTaskRow(ItemOf(program), &program), FailedLook(kCheckFailed));
    ::DeleteFileW(InstallerPath(program).c_str());
    if (text && !text->empty())
        ShowNotice(program.name, *text);
}

void CMainWnd::OnJiasuqiVerifyDone(UINT_PTR record, UINT_PTR)
{
    JiasuqiInfo* program = RecordOf(record);
    const TaskItem item = ItemOf(*program);
    // Checked just before the user cancelled: a cancelled task starts no
    // installer.
    if (m_cancelledItems.count({item.kind, item.id}) != 0)
        return;
    ApplyRowLook(FindTaskRow(item, program), WaitingLook(kAwaitingInstall));
    RunJiasuqiInstaller(program);
}

void CMainWnd::RunJiasuqiInstaller(JiasuqiInfo* record)
{
    HoldJiasuqiRecord(record);
    m_jiasuqiWork.insert(record->software_id);
    auto wait = std::make_unique<ProcessWaitParam>();
    wait->item = record;
    wait->process = StartProgram(CommandLine{InstallerPath(*record), std::wstring()});
    if (wait->process != nullptr && m_threads.StartThread(&WaitInstallThread<g_mainWnd>, wait.get()) != 0) {
        wait.release();
        return;
    }
    // Nothing to wait for: an installer that did not start, or one whose end
    // nobody could see, counts as ended now.
    if (wait->process != nullptr)
        ::CloseHandle(wait->process);
    wait->process = nullptr;
    OnJiasuqiInstallerExited(reinterpret_cast<UINT_PTR>(wait.release()), 0);
}

void CMainWnd::OnJiasuqiInstallerExited(UINT_PTR wait, UINT_PTR)
{
    const std::unique_ptr<ProcessWaitParam> waited(reinterpret_cast<ProcessWaitParam*>(wait));
    const JiasuqiInfo& program = *waited->item;
    const std::wstring name = program.name;
    const std::wstring sizeText = SizeTextOf(program.size);
    // A cancel during the wait changed only the row: the installer's end
    // still moves it on, unless a new list has replaced it.
    CControlUI* row = FindJiasuqiRow(&program);
    const bool installed = IsJiasuqiInstalled(program);
    if (installed) {
        ApplyRowLook(row, InstalledLook(sizeText));
        ::DeleteFileW(InstallerPath(program).c_str());
    } else {
        ApplyRowLook(row, InstallNotDetectedLook(sizeText));
    }
    EndJiasuqiWork(&program);
    if (installed)
        m_tray.ShowBalloon(kInstalledTitle, name.c_str(), kBalloonMs);
    else
        ShowNotice(name, kNotInstalled);
}

void CMainWnd::OnJiasuqiTaskEnded(UINT_PTR record, UINT_PTR) { EndJiasuqiWork(RecordOf(record)); }

void CMainWnd::EndJiasuqiWork(const JiasuqiInfo* record)
{
    auto work = m_jiasuqiWork.find(record->software_id);
    if (work != m_jiasuqiWork.end())
        m_jiasuqiWork.erase(work);
    DropJiasuqiRecord(record);
}
