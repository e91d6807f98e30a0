#pragma once
// The download task of one list row: fetch the package (resuming a partial
// file), check its MD5 digest and, for games and plug-ins, unpack it into the
// install folder. Results and progress reach the main window as queued calls.
// Started on the main window's thread manager as &DownloadGameThread<g_mainWnd>,
// &DownloadPluginThread<g_mainWnd> and &DownloadJiasuqiThread<g_mainWnd>
// (WindowCalls.h).
//
// Progress calls pass the task's TaskProgress record, which the handlers only
// read. So that no such call ever runs after the record (or the item it points
// to) is freed, a task ends by waiting until the main window has run every call
// queued before that moment (WaitForQueuedCalls), and frees its records only
// then.

// First: curl brings winsock2.h, which must come before windows.h.
#include "services/HttpClient.h"

#include "services/FileUtil.h"
#include "services/ItemRecords.h"
#include "services/RequestProtocol.h"
#include "services/SessionData.h"
#include "services/TextConvert.h"
#include "services/UrlEncoding.h"
#include "services/WindowCalls.h"
#include "services/WindowMultiThreadManager.h"
#include "services/WriteLogFile.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

// The last time each progress callback posted, shared by every task: each
// phase posts at most once a second over all tasks.
extern volatile uint32_t g_lastDownloadPostTick;
extern volatile uint32_t g_lastMd5PostTick;
extern volatile uint32_t g_lastUnzipPostTick;

// Report numbers (BoxReport's operation and status).
enum TaskOperation : uint32_t
{
    kTaskOpDownload = 2,
    kTaskOpCheck = 3,
    kTaskOpUnpack = 4,
};
enum TaskOpStatus : uint32_t
{
    kTaskStarted = 0,
    kTaskSucceeded = 1,
    kTaskFailed = 2,
};

// What a phase of a task came to.
enum class PhaseOutcome
{
    kSucceeded,
    kFailed,
    kCancelled,
};

// The three phases that report progress, as indexes of ProgressHandler.
enum class ProgressPhase
{
    kDownload,
    kCheck,
    kUnpack,
};

// Reports (kind, operation, status, item id) with the session's token.
void ReportTask(uint32_t kind, uint32_t operation, uint32_t status, uint32_t itemId);

// The decimal item id of a record.
uint32_t ItemIdOf(const std::wstring& id);

// The package's place on disk: the folder (which carries its own trailing
// separator) followed by the file-name part of the URL.
std::wstring LocalPackagePath(const std::wstring& folder, const std::string& fileUrl);

// The user cleared the run flag, or the window is going.
bool IsTaskCancelled(const TaskProgress& progress);

// True when the second since the last post has passed; takes the turn then.
bool TakePostTurn(volatile uint32_t& lastPostTick);

// KB/s averaged since the start tick of the current phase.
uint32_t PhaseSpeedKb(const TaskProgress& progress, uint64_t done);

// Brings the local file to the remote size: appends from its size when it is
// smaller, starts afresh when it is larger (or the remote size is unknown),
// transfers nothing when they are equal. A folder that is empty or relative is
// refused: the package would land in the current folder or a drive root.
bool FetchPackage(TaskProgress& progress, const std::string& url, const std::wstring& folder,
                  const std::wstring& localFile, int64_t remoteSize, DownloadProgressCallback callback);

// Compares the file's digest with the expected one. An empty digest (unreadable
// file, or no expected digest) never matches.
PhaseOutcome CheckPackageDigest(TaskProgress& progress, const std::wstring& localFile, const std::string& expectedMd5,
                                UnzipProgressCallback callback);

// Unpacks the package with its password into the install folder, which must be
// absolute.
PhaseOutcome UnpackPackage(TaskProgress& progress, const std::wstring& localFile, const std::wstring& installFolder,
                           const std::string& password, UnzipProgressCallback callback);

// Returns once the window has run every call queued on it before this moment,
// or once nothing will run them any more (no window, or its thread manager is
// stopping the workers before the window goes, whose queue then goes unrun).
void WaitForQueuedCalls(HWND window);

// The progress record of a task, entered in the session's task registry for
// its whole life, so that the main window can count and cancel the task.
class CRegisteredTask
{
public:
    // The registry learns the task's item by kind and id text.
    CRegisteredTask(int32_t kind, void* item, const std::wstring& itemId, int64_t localSize, int64_t remoteSize);
    ~CRegisteredTask();
    CRegisteredTask(const CRegisteredTask&) = delete;
    CRegisteredTask& operator=(const CRegisteredTask&) = delete;

    TaskProgress& Progress() { return *m_progress; }

private:
    std::unique_ptr<TaskProgress> m_progress;
};

// The handler of a kind's progress phase; null for a kind or phase without one.
template <class Wnd>
WindowHandler<Wnd> ProgressHandler(int32_t kind, ProgressPhase phase)
{
    static const WindowHandler<Wnd> handlers[3][3] = {
        {&Wnd::OnGameDownloadProgress, &Wnd::OnGameVerifyProgress, &Wnd::OnGameUnzipProgress},
        {&Wnd::OnPluginDownloadProgress, &Wnd::OnPluginVerifyProgress, &Wnd::OnPluginUnzipProgress},
        {&Wnd::OnJiasuqiDownloadProgress, &Wnd::OnJiasuqiVerifyProgress, nullptr},
    };
    if (kind < 1 || kind > 3)
        return nullptr;
    return handlers[kind - 1][static_cast<int>(phase)];
}

template <auto& MainWnd>
void QueueProgress(TaskProgress& progress, ProgressPhase phase, uint32_t speedKb)
{
    if (const auto handler = ProgressHandler<WindowOf<MainWnd>>(progress.kind, phase))
        QueueCall(MainWnd, handler, reinterpret_cast<UINT_PTR>(&progress), speedKb);
}

// A DownloadProgressCallback whose user value is the TaskProgress.
template <auto& MainWnd>
bool OnDownloadProgress(void* user, int64_t, int64_t received, double bytesPerSecond)
{
    TaskProgress& progress = *static_cast<TaskProgress*>(user);
    if (IsTaskCancelled(progress))
        return false;
    if (!TakePostTurn(g_lastDownloadPostTick))
        return true;
    // The total stays the probed remote size, not this transfer's expectation.
    progress.done = progress.bytes_on_disk + static_cast<uint64_t>(received);
    QueueProgress<MainWnd>(progress, ProgressPhase::kDownload, static_cast<uint32_t>(bytesPerSecond / 1024));
    return true;
}

template <auto& MainWnd, ProgressPhase Phase>
bool OnPhaseProgress(void* user, const uint64_t* done, uint64_t total, volatile uint32_t& lastPostTick)
{
    TaskProgress& progress = *static_cast<TaskProgress*>(user);
    if (IsTaskCancelled(progress))
        return false;
    if (!TakePostTurn(lastPostTick))
        return true;
    progress.done = *done;
    progress.total = total;
    QueueProgress<MainWnd>(progress, Phase, PhaseSpeedKb(progress, *done));
    return true;
}

// UnzipProgressCallbacks whose user value is the TaskProgress.
template <auto& MainWnd>
bool OnMd5Progress(void* user, const uint64_t* done, uint64_t total)
{
    return OnPhaseProgress<MainWnd, ProgressPhase::kCheck>(user, done, total, g_lastMd5PostTick);
}

template <auto& MainWnd>
bool OnUnzipProgress(void* user, const uint64_t* done, uint64_t total)
{
    return OnPhaseProgress<MainWnd, ProgressPhase::kUnpack>(user, done, total, g_lastUnzipPostTick);
}

// The result handlers of one kind; the accelerator has no unpacking.
template <class Wnd>
struct TaskCalls
{
    WindowHandler<Wnd> downloadFailed;
    WindowHandler<Wnd> downloadDone;
    WindowHandler<Wnd> verifyDone;
    WindowHandler<Wnd> verifyFailed;
    WindowHandler<Wnd> installDone;
    WindowHandler<Wnd> unzipFailed;
};

// How the three kinds differ.
template <class Record>
struct DownloadKind;

template <>
struct DownloadKind<GameInfo>
{
    static constexpr int32_t kKind = 1;
    static constexpr bool kCopiesRecord = true;  // calls carry fresh heap copies
    static constexpr bool kUnpacks = true;
    static constexpr bool kReportsInstall = true;
    static constexpr bool kLogsFailedUrl = false;
    static constexpr DWORD kPauseBeforeEndMs = 0;
    static const std::wstring& Id(const GameInfo& record) { return record.game_id; }
    static std::wstring DownloadFolder(int id) { return g_sessionData.GetGamePath(id); }
    static std::wstring InstallFolder(int id) { return g_sessionData.GetGameInstallPath(id); }
    template <class Wnd>
    static TaskCalls<Wnd> Calls()
    {
        return {&Wnd::OnGameDownloadFailed, &Wnd::OnGameDownloadDone, &Wnd::OnGameVerifyDone,
                &Wnd::OnGameVerifyFailed,   &Wnd::OnGameInstallDone,  &Wnd::OnGameUnzipFailed};
    }
};

template <>
struct DownloadKind<PluginInfo>
{
    static constexpr int32_t kKind = 2;
    static constexpr bool kCopiesRecord = true;
    static constexpr bool kUnpacks = true;
    static constexpr bool kReportsInstall = false;
    static constexpr bool kLogsFailedUrl = true;
    static constexpr DWORD kPauseBeforeEndMs = 200;
    static const std::wstring& Id(const PluginInfo& record) { return record.plugins_id; }
    static std::wstring DownloadFolder(int id) { return g_sessionData.GetPluginPath(id); }
    static std::wstring InstallFolder(int id) { return g_sessionData.GetPluginInstallPath(id); }
    template <class Wnd>
    static TaskCalls<Wnd> Calls()
    {
        return {&Wnd::OnPluginDownloadFailed, &Wnd::OnPluginDownloadDone, &Wnd::OnPluginVerifyDone,
                &Wnd::OnPluginVerifyFailed,   &Wnd::OnPluginInstallDone,  &Wnd::OnPluginUnzipFailed};
    }
};

template <>
struct DownloadKind<JiasuqiInfo>
{
    static constexpr int32_t kKind = 3;
    static constexpr bool kCopiesRecord = false;  // calls carry the row's own record
    static constexpr bool kUnpacks = false;       // the main window runs the installer
    static constexpr bool kReportsInstall = false;
    static constexpr bool kLogsFailedUrl = false;
    static constexpr DWORD kPauseBeforeEndMs = 200;
    static const std::wstring& Id(const JiasuqiInfo& record) { return record.software_id; }
    static std::wstring DownloadFolder(int);  // the program's "cache\" folder
    template <class Wnd>
    static TaskCalls<Wnd> Calls()
    {
        return {&Wnd::OnJiasuqiDownloadFailed,
                &Wnd::OnJiasuqiDownloadDone,
                &Wnd::OnJiasuqiVerifyDone,
                &Wnd::OnJiasuqiVerifyFailed,
                nullptr,
                nullptr};
    }
};

// A result call about the record, with a heap message or null as second
// parameter.
template <class Wnd, class Record>
void QueueRecordCall(Wnd* window, WindowHandler<Wnd> handler, Record& record, const wchar_t* message)
{
    std::unique_ptr<std::wstring> text(message ? new std::wstring(message) : nullptr);
    if constexpr (DownloadKind<Record>::kCopiesRecord)
        QueueCall(window, handler, std::make_unique<Record>(record), std::move(text));
    else
        QueueCall(window, handler, reinterpret_cast<UINT_PTR>(&record), std::move(text));
}

// The call for a complete local file: games and plug-ins name the item by a
// heap copy of its id.
template <class Wnd, class Record>
void QueueDownloadDone(Wnd* window, WindowHandler<Wnd> handler, Record& record)
{
    if constexpr (DownloadKind<Record>::kCopiesRecord)
        QueueWithFirst(window, handler, DownloadKind<Record>::Id(record), 0);
    else
        QueueCall(window, handler, reinterpret_cast<UINT_PTR>(&record), 0);
}

// The download address: the path-encoded file_url itself when file_url_type
// is "0", else the link that the web service gives for cdn_url_type (empty
// when that request failed).
template <auto& MainWnd, class Record>
std::string ChooseDownloadUrl(const Record& record)
{
    const std::wstring linkType =
        Utf8ToWide(record.file_url_type) == L"0" ? std::wstring(L"0") : Utf8ToWide(record.cdn_url_type);
    return g_sessionData.GetEncryLink<MainWnd>(UrlEncodePath(record.file_url), linkType);
}

// Download, check and (for games and plug-ins) unpacking after the task has
// been registered; the calls it queues name the task's progress record. A kind
// with an installer (the launcher games) runs it after a good digest instead.
template <auto& MainWnd, class Record, class Kind = DownloadKind<Record>>
void RunRegisteredTask(Record& record, TaskProgress& progress, const std::string& url, const std::wstring& folder,
                       int64_t remoteSize)
{
    const TaskCalls<WindowOf<MainWnd>> calls = Kind::template Calls<WindowOf<MainWnd>>();
    const uint32_t itemId = ItemIdOf(Kind::Id(record));
    const std::wstring localFile = LocalPackagePath(folder, record.file_url);

    if (!FetchPackage(progress, url, folder, localFile, remoteSize, &OnDownloadProgress<MainWnd>)) {
        if (IsTaskCancelled(progress))
            return;
        QueueRecordCall(MainWnd, calls.downloadFailed, record, L"下载出错！");
        if constexpr (Kind::kLogsFailedUrl)
            WRITE_LOG_FORMAT(L"%s", Utf8ToWide(url).c_str());
        return ReportTask(Kind::kKind, kTaskOpDownload, kTaskFailed, itemId);
    }
    QueueDownloadDone(MainWnd, calls.downloadDone, record);

    if (IsTaskCancelled(progress))
        return;
    const PhaseOutcome check = CheckPackageDigest(progress, localFile, record.file_md5, &OnMd5Progress<MainWnd>);
    if (check == PhaseOutcome::kCancelled)
        return;
    if (check == PhaseOutcome::kFailed) {
        QueueRecordCall(MainWnd, calls.verifyFailed, record, L"校验失败！");
        return ReportTask(Kind::kKind, kTaskOpCheck, kTaskFailed, itemId);
    }
    QueueRecordCall(MainWnd, calls.verifyDone, record, nullptr);

    if constexpr (requires { Kind::kRunsInstaller; }) {
        if (!IsTaskCancelled(progress))
            Kind::template RunInstaller<MainWnd>(record, localFile);
    } else if constexpr (Kind::kUnpacks) {
        if (IsTaskCancelled(progress))
            return;
        const PhaseOutcome unpack = UnpackPackage(progress, localFile, Kind::InstallFolder(static_cast<int>(itemId)),
                                                  record.zip_pwd, &OnUnzipProgress<MainWnd>);
        if (unpack == PhaseOutcome::kCancelled)
            return;
        if (unpack == PhaseOutcome::kFailed) {
            QueueRecordCall(MainWnd, calls.unzipFailed, record, L"解压出错！");
            return ReportTask(Kind::kKind, kTaskOpUnpack, kTaskFailed, itemId);
        }
        QueueRecordCall(MainWnd, calls.installDone, record, nullptr);
        if constexpr (Kind::kReportsInstall)
            ReportTask(Kind::kKind, kTaskOpUnpack, kTaskSucceeded, itemId);
    }
}

// One whole task on the worker's record, which stays valid until it returns.
template <auto& MainWnd, class Record, class Kind = DownloadKind<Record>>
void RunDownloadTask(Record& record)
{
    const TaskCalls<WindowOf<MainWnd>> calls = Kind::template Calls<WindowOf<MainWnd>>();
    const uint32_t itemId = ItemIdOf(Kind::Id(record));
    ReportTask(Kind::kKind, kTaskOpDownload, kTaskStarted, itemId);

    const std::string url = ChooseDownloadUrl<MainWnd>(record);
    if (url.empty())
        return QueueRecordCall(MainWnd, calls.downloadFailed, record, nullptr);
    const std::wstring folder = Kind::DownloadFolder(static_cast<int>(itemId));
    const int64_t localSize = GetLocalFileSize(LocalPackagePath(folder, record.file_url));
    const int64_t remoteSize = CHttpClient().GetRemoteFileSize(url);
    if (remoteSize == 0)
        return QueueRecordCall(MainWnd, calls.downloadFailed, record, L"文件大小获取失败！");

    {
        CRegisteredTask task(Kind::kKind, &record, Kind::Id(record), localSize, remoteSize);
        RunRegisteredTask<MainWnd, Record, Kind>(record, task.Progress(), url, folder, remoteSize);
        if (Kind::kPauseBeforeEndMs)
            CWindowMultiThreadManager::WaitForStop(Kind::kPauseBeforeEndMs);
        if (MainWnd)
            WaitForQueuedCalls(MainWnd->GetWindowHandle());
    }
}

// Parameter: heap copy of the row's GameInfo, freed here.
template <auto& MainWnd>
void DownloadGameThread(void* param)
{
    std::unique_ptr<GameInfo> record(static_cast<GameInfo*>(param));
    RunDownloadTask<MainWnd>(*record);
}

// Parameter: heap copy of the row's PluginInfo, freed here.
template <auto& MainWnd>
void DownloadPluginThread(void* param)
{
    std::unique_ptr<PluginInfo> record(static_cast<PluginInfo*>(param));
    RunDownloadTask<MainWnd>(*record);
}

// Parameter: the row's own JiasuqiInfo, which the main window keeps alive until
// the task has ended.
template <auto& MainWnd>
void DownloadJiasuqiThread(void* param)
{
    RunDownloadTask<MainWnd>(*static_cast<JiasuqiInfo*>(param));
}
