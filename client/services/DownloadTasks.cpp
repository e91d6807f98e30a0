#include "services/DownloadTasks.h"

#include "services/AppFolder.h"
#include "services/FileUtil.h"
#include "services/Md5A.h"
#include "services/MsgDispatch.h"
#include "services/Unzipper.h"

#include <cwchar>

volatile uint32_t g_lastDownloadPostTick = 0;
volatile uint32_t g_lastMd5PostTick = 0;
volatile uint32_t g_lastUnzipPostTick = 0;

namespace {
constexpr DWORD kPostIntervalMs = 1000;
// A phase's start tick lies this far back, so that its first speed figure
// never divides by zero.
constexpr DWORD kPhaseStartBackdateMs = 1100;
// How long one attempt to reach the window's thread may wait before the task
// looks again whether it is being stopped.
constexpr UINT kQueueWaitStepMs = 100;

void StartPhase(TaskProgress& progress)
{
    progress.bytes_on_disk = static_cast<uint32_t>(GetTickCount() - kPhaseStartBackdateMs);
}
}  // namespace

std::wstring DownloadKind<JiasuqiInfo>::DownloadFolder(int) { return g_appFolder + L"cache\\"; }

void ReportTask(uint32_t kind, uint32_t operation, uint32_t status, uint32_t itemId)
{
    uint32_t code = CSessionData::MakeReportCode(kind, operation, status, itemId);
    BoxReport(kind, operation, status, itemId, code, g_sessionData.GetToken());
}

uint32_t ItemIdOf(const std::wstring& id) { return static_cast<uint32_t>(_wtoi(id.c_str())); }

std::wstring LocalPackagePath(const std::wstring& folder, const std::string& fileUrl)
{
    return folder + GetFileNamePart(Utf8ToWide(fileUrl));
}

bool IsTaskCancelled(const TaskProgress& progress)
{
    return progress.run_flag == 0 || CWindowMultiThreadManager::IsStopRequested();
}

bool TakePostTurn(volatile uint32_t& lastPostTick)
{
    const uint32_t now = GetTickCount();
    if (now - lastPostTick <= kPostIntervalMs)
        return false;
    lastPostTick = now;
    return true;
}

uint32_t PhaseSpeedKb(const TaskProgress& progress, uint64_t done)
{
    const uint32_t elapsedMs = static_cast<uint32_t>(GetTickCount()) - static_cast<uint32_t>(progress.bytes_on_disk);
    if (elapsedMs == 0)
        return 0;
    return static_cast<uint32_t>(done * 1000 / elapsedMs / 1024);
}

bool FetchPackage(TaskProgress& progress, const std::string& url, const std::wstring& folder,
                  const std::wstring& localFile, int64_t remoteSize, DownloadProgressCallback callback)
{
    if (!IsAbsoluteFolder(folder))
        return false;
    const int64_t localSize = static_cast<int64_t>(progress.bytes_on_disk);
    if (localSize == remoteSize)
        return true;
    if (localSize > remoteSize) {
        DeleteFileW(localFile.c_str());
        progress.bytes_on_disk = 0;
    }
    return CHttpClient().DownloadFile(&progress, url.c_str(), localFile, callback);
}

PhaseOutcome CheckPackageDigest(TaskProgress& progress, const std::wstring& localFile, const std::string& expectedMd5,
                                UnzipProgressCallback callback)
{
    StartPhase(progress);
    const std::string digest = CMd5A().GetFileMd5(localFile, callback, &progress);
    if (!digest.empty() && digest == expectedMd5)
        return PhaseOutcome::kSucceeded;
    // A stopped check has hashed only part of the file.
    if (IsTaskCancelled(progress))
        return PhaseOutcome::kCancelled;
    WRITE_LOG_FORMAT(L"md51:%S,md52:%S", digest.c_str(), expectedMd5.c_str());
    return PhaseOutcome::kFailed;
}

PhaseOutcome UnpackPackage(TaskProgress& progress, const std::wstring& localFile, const std::wstring& installFolder,
                           const std::string& password, UnzipProgressCallback callback)
{
    StartPhase(progress);
    const int result =
        CUnzipper().Unzip(localFile, installFolder, password.empty() ? nullptr : password.c_str(), callback, &progress);
    if (result == CUnzipper::kSuccess)
        return PhaseOutcome::kSucceeded;
    return IsTaskCancelled(progress) ? PhaseOutcome::kCancelled : PhaseOutcome::kFailed;
}

void WaitForQueuedCalls(HWND window)
{
    // The window answers the wake-up message by running its whole queue, on
    // its own thread, before the send returns.
    while (IsWindow(window) && !CWindowMultiThreadManager::IsStopRequested()) {
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutW(window, kDispatchFirstMessage, 0, 0, SMTO_NORMAL, kQueueWaitStepMs, &answer) ||
            GetLastError() != ERROR_TIMEOUT)
            return;
    }
}

CRegisteredTask::CRegisteredTask(int32_t kind, void* item, const std::wstring& itemId, int64_t localSize,
                                 int64_t remoteSize)
    : m_progress(std::make_unique<TaskProgress>())
{
    m_progress->kind = kind;
    m_progress->item = item;
    m_progress->bytes_on_disk = static_cast<uint64_t>(localSize);
    m_progress->total = static_cast<uint64_t>(remoteSize);
    m_progress->thread_id = GetCurrentThreadId();
    m_progress->run_flag = 1;
    g_sessionData.SetTask(m_progress->thread_id, &m_progress->run_flag, TaskItem{kind, itemId});
}

CRegisteredTask::~CRegisteredTask() { g_sessionData.RemoveTask(m_progress->thread_id); }
