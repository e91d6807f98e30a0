#pragma once
// A real native window that stands in for the client's windows which receive
// worker results (sign-in, binding, set-password and main window): it has
// their handler names, receives the wake-up messages 2024 to 2027, and records
// every call with the payload it took over and freed.

#include "DispatchWindow.h"
#include "services/ItemRecords.h"
#include "services/MsgDispatch.h"
#include "services/WindowMultiThreadManager.h"

#include <windows.h>

#include <string>
#include <vector>

class CRecordingWnd;

// One handler call as the window received it.
struct ReceivedCall
{
    const CRecordingWnd* window = nullptr;
    std::string handler;
    UINT_PTR first = 0;
    UINT_PTR second = 0;  // of the calls that pass a number there
    bool hasText = false;
    std::wstring text;                      // a wide-string payload
    std::string bytes;                      // a byte-string payload
    AccountParam account;                   // an AccountParam payload
    std::vector<CategoryInfo> categories;   // category payloads, or the record a picture call names
    DWORD thread = 0;                       // the thread that ran the handler
    std::wstring itemId;                    // the item a download call names: its record's id or the id text
    TaskProgress progress;                  // a progress call's record as it read when the call ran
    const JiasuqiInfo* waitItem = nullptr;  // the row record of a ProcessWaitParam payload
    HANDLE waitProcess = nullptr;           // the handle it still held
};

typedef std::vector<ReceivedCall> CallLog;

class CRecordingWnd : public CMsgDispatch<CRecordingWnd>
{
public:
    // Calls go into the log, which several windows may share.
    explicit CRecordingWnd(CallLog* log);
    ~CRecordingWnd() override;

    HWND GetWindowHandle() const { return m_window.Handle(); }
    CWindowMultiThreadManager& Threads() { return m_threads; }

    // Runs this thread's messages until the log holds count calls or the
    // limit has passed; true when it does.
    bool WaitForCalls(size_t count, DWORD limitMs = 60000);

    // The sign-in window.
    void OnCodeLoginDone(UINT_PTR first, UINT_PTR second);
    void OnCodeLoginFailed(UINT_PTR first, UINT_PTR second);
    void OnPasswordLoginDone(UINT_PTR first, UINT_PTR second);
    void OnPasswordLoginFailed(UINT_PTR first, UINT_PTR second);
    void OnTokenLoginDone(UINT_PTR first, UINT_PTR second);
    void OnTokenLoginFailed(UINT_PTR first, UINT_PTR second);
    // The sign-in and binding windows.
    void OnSendCodeDone(UINT_PTR first, UINT_PTR second);
    void OnSendCodeFailed(UINT_PTR first, UINT_PTR second);
    // The sign-in and set-password windows.
    void OnSetPassDone(UINT_PTR first, UINT_PTR second);
    void OnSetPassFailed(UINT_PTR first, UINT_PTR second);
    // The binding window.
    void OnBindDone(UINT_PTR first, UINT_PTR second);
    void OnBindFailed(UINT_PTR first, UINT_PTR second);
    // The main window.
    void OnSessionExpired(UINT_PTR first, UINT_PTR second);
    void OnServerError(UINT_PTR first, UINT_PTR second);
    void OnCheckVersionReply(UINT_PTR first, UINT_PTR second);
    void OnCheckVersionFailed(UINT_PTR first, UINT_PTR second);
    void OnGetConfigDone(UINT_PTR first, UINT_PTR second);
    void OnGetConfigFailed(UINT_PTR first, UINT_PTR second);
    // The main window's catalogue and picture calls (RecordingWndCatalogue.cpp).
    void OnCategoryListReply(UINT_PTR first, UINT_PTR second);
    void OnCategoryListFailed(UINT_PTR first, UINT_PTR second);
    void OnMyGamesReply(UINT_PTR first, UINT_PTR second);
    void OnMyGamesFailed(UINT_PTR first, UINT_PTR second);
    void OnAddMyGameReply(UINT_PTR first, UINT_PTR second);
    void OnAddMyGameFailed(UINT_PTR first, UINT_PTR second);
    void OnGameListReply(UINT_PTR first, UINT_PTR second);
    void OnGameListFailed(UINT_PTR first, UINT_PTR second);
    void OnPluginListReply(UINT_PTR first, UINT_PTR second);
    void OnPluginListFailed(UINT_PTR first, UINT_PTR second);
    void OnJiasuqiListReply(UINT_PTR first, UINT_PTR second);
    void OnJiasuqiListFailed(UINT_PTR first, UINT_PTR second);
    void OnPluginIconReady(UINT_PTR first, UINT_PTR second);
    void OnGameIconReady(UINT_PTR first, UINT_PTR second);
    void OnJiasuqiIconReady(UINT_PTR first, UINT_PTR second);
    void OnMyGameIconReady(UINT_PTR first, UINT_PTR second);
    void OnAllGamesTileImageReady(UINT_PTR first, UINT_PTR second);
    // The main window's folder deletion, process waits and launcher installers
    // (RecordingWndFolders.cpp).
    void OnDeleteFilesFailed(UINT_PTR first, UINT_PTR second);
    void OnFolderDeleted(UINT_PTR first, UINT_PTR second);
    void OnJiasuqiUninstallerExited(UINT_PTR first, UINT_PTR second);
    void OnJiasuqiInstallerExited(UINT_PTR first, UINT_PTR second);
    void OnNexonLauncherDone(UINT_PTR first, UINT_PTR second);
    void OnReflectionLauncherDone(UINT_PTR first, UINT_PTR second);
    // The main window's download task calls (RecordingWndDownloads.cpp).
    void OnGameDownloadFailed(UINT_PTR first, UINT_PTR second);
    void OnGameDownloadDone(UINT_PTR first, UINT_PTR second);
    void OnGameVerifyDone(UINT_PTR first, UINT_PTR second);
    void OnGameVerifyFailed(UINT_PTR first, UINT_PTR second);
    void OnGameInstallDone(UINT_PTR first, UINT_PTR second);
    void OnGameUnzipFailed(UINT_PTR first, UINT_PTR second);
    void OnGameDownloadProgress(UINT_PTR first, UINT_PTR second);
    void OnGameVerifyProgress(UINT_PTR first, UINT_PTR second);
    void OnGameUnzipProgress(UINT_PTR first, UINT_PTR second);
    void OnPluginDownloadFailed(UINT_PTR first, UINT_PTR second);
    void OnPluginDownloadDone(UINT_PTR first, UINT_PTR second);
    void OnPluginVerifyDone(UINT_PTR first, UINT_PTR second);
    void OnPluginVerifyFailed(UINT_PTR first, UINT_PTR second);
    void OnPluginInstallDone(UINT_PTR first, UINT_PTR second);
    void OnPluginUnzipFailed(UINT_PTR first, UINT_PTR second);
    void OnPluginDownloadProgress(UINT_PTR first, UINT_PTR second);
    void OnPluginVerifyProgress(UINT_PTR first, UINT_PTR second);
    void OnPluginUnzipProgress(UINT_PTR first, UINT_PTR second);
    void OnJiasuqiDownloadFailed(UINT_PTR first, UINT_PTR second);
    void OnJiasuqiDownloadDone(UINT_PTR first, UINT_PTR second);
    void OnJiasuqiVerifyDone(UINT_PTR first, UINT_PTR second);
    void OnJiasuqiVerifyFailed(UINT_PTR first, UINT_PTR second);
    void OnJiasuqiDownloadProgress(UINT_PTR first, UINT_PTR second);
    void OnJiasuqiVerifyProgress(UINT_PTR first, UINT_PTR second);

private:
    ReceivedCall& Record(const char* handler, UINT_PTR first);
    void RecordText(const char* handler, UINT_PTR first, UINT_PTR text);
    void RecordListText(const char* handler, UINT_PTR text, UINT_PTR second);
    void RecordProcessWait(const char* handler, UINT_PTR record);
    template <class Record>
    void RecordItemCopy(const char* handler, UINT_PTR record, UINT_PTR message);
    void RecordRowRecord(const char* handler, UINT_PTR record, UINT_PTR message);
    void RecordProgress(const char* handler, UINT_PTR progress, UINT_PTR speed);
    void RecordPicture(const char* handler, UINT_PTR first, UINT_PTR index, const std::wstring& localIcon);

    CallLog* m_log;
    CDispatchWindow m_window;
    CWindowMultiThreadManager m_threads;
};
