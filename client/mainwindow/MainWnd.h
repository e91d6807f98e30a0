#pragma once
// The client's main window: a frameless, layered window built from
// "main.xml" of the skin archive and run modally by the entry point for the
// whole life of the client. Closing it only hides it in the notification
// area; the tray menu's exit (ExitApp) or a WM_CLOSE from outside ends the
// client, and the tray icon goes with the window whatever ends it. Workers
// reach the window through g_mainWnd and hand it their results on its call
// queue.

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "services/ItemRecords.h"
#include "services/MsgDispatch.h"
#include "services/SessionData.h"
#include "services/WindowCalls.h"
#include "services/WindowMultiThreadManager.h"

#include "core/UIInterfaces.h"
#include "core/WindowManagerUI.h"
#include "core/WindowWnd.h"

#include "mainwindow/IconBatchList.h"
#include "mainwindow/ItemRows.h"
#include "mainwindow/RowLooks.h"
#include "dialogs/BindUsrWnd.h"
#include "dialogs/SetPathWnd.h"
#include "dialogs/WaitWnd.h"
#include "mainwindow/ImageBatchList.h"
#include "mainwindow/TrayIcon.h"

namespace CalUI {
class CContainerUI;
}

// The pages of "maintable".
enum class MainPage : int
{
    Game = 0,
    AllGames = 1,
    AllApps = 2,
};

class CMainWnd : public CalUI::CWindowWnd,
                 public CalUI::INotifyUI,
                 public CalUI::IDialogBuilderCallback,
                 public CMsgDispatch<CMainWnd>
{
public:
    // Registers the object as g_mainWnd; creates no native window.
    CMainWnd();
    // Stops the window's workers before anything they might touch goes.
    ~CMainWnd() override;

    LPCWSTR GetWindowClassName() const override;  // "CMainWnd", which a second start looks for
    UINT GetClassStyle() const override;          // double clicks
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Notify(CalUI::NotifyMsg& msg) override;
    // "ContainerEx" for the navigation panels; none for other names.
    CalUI::CControlUI* CreateControl(LPCWSTR className) override;

    // Ends the client: asks first while downloads run (declined: nothing
    // changes), then stops them, hides the window, removes the tray icon and
    // ends the modal loop with 0. Both parameters are ignored (queued form).
    void ExitApp(UINT_PTR, UINT_PTR);
    bool HasRunningTasks() const;
    // Clears every registered task's run flag; the workers end on their own.
    void StopAllTasks();

    // The sign-in window, hidden until it needs the user; a sign-in shows the
    // user buttons, closing it otherwise ends the client. Nothing while a
    // sign-in window is already open, so that one window serves every road.
    void ShowLogin();
    // After the confirmation: asks first while downloads run (declined: the
    // user stays signed in), forgets the saved sign-in, signs in again.
    void Logout();
    // The accelerator-account binding window over the main window, offering
    // the newest accelerator list; read-only when the session holds a bound
    // account. True when the user bound an account; false when the window
    // was closed, or not opened because one is open already. A binding
    // refused for an expired session drops the session once the window has
    // gone.
    bool OpenBindingWindow();

    // Worker results. Both parameters are plain values or heap payloads that
    // the handler frees on every path, as each comment says.
    // (1, heap UTF-8 update text): offer the update; the client ends whatever
    // the answer. (0, none): fetch the configuration.
    void OnCheckVersionReply(UINT_PTR newerVersion, UINT_PTR updateText);
    // (ignored, heap message): a box; the client stays up without a user.
    void OnCheckVersionFailed(UINT_PTR, UINT_PTR message);
    void OnGetConfigDone(UINT_PTR, UINT_PTR);
    // (ignored, heap message): a box, then the end.
    void OnGetConfigFailed(UINT_PTR, UINT_PTR message);
    // (first-sign-in flag, ignored): starts the three catalogue requests.
    void OnLoginDone(UINT_PTR firstSignIn, UINT_PTR);
    // (heap category list, request tag), (heap list text, ignored) and (heap
    // list text, first-sign-in flag): freed until the lists are shown.
    void OnCategoryListReply(UINT_PTR categories, UINT_PTR);
    void OnMyGamesReply(UINT_PTR listText, UINT_PTR);
    // The service dropped the session: downloads stop without a question,
    // the saved sign-in is forgotten, the sign-in window comes.
    void OnSessionExpired(UINT_PTR, UINT_PTR);
    // (service code or 0, heap message): a box; a session code then drops
    // the session.
    void OnServerError(UINT_PTR code, UINT_PTR message);
    // (ignored, heap message): a box with the list's title, nothing else.
    void OnCategoryListFailed(UINT_PTR, UINT_PTR message);
    void OnMyGamesFailed(UINT_PTR, UINT_PTR message);
    void OnAddMyGameFailed(UINT_PTR, UINT_PTR message);
    void OnGameListFailed(UINT_PTR, UINT_PTR message);
    void OnPluginListFailed(UINT_PTR, UINT_PTR message);
    void OnJiasuqiListFailed(UINT_PTR, UINT_PTR message);

    // ---- Catalogue pages: all-games tiles and search, the game page, the
    // user's own categories at the left edge, and their picture batches.
    // Category records that a handler adopts belong to the window from then
    // on (to a picture batch, or to the list of added categories).

    // (heap CategoryInfo or none, ignored): an added category goes to the top
    // of both navigation lists unless they hold its id already.
    void OnAddMyGameReply(UINT_PTR category, UINT_PTR);
    // (heap CategoryInfo, ignored): the game page of a tile's category.
    void OnOpenGamePage(UINT_PTR category, UINT_PTR);
    // (heap CategoryInfo, heap list text): the page's title, the plug-in
    // request, then the game rows (BuildGameRows).
    void OnGameListReply(UINT_PTR category, UINT_PTR listText);
    // Image-ready calls of the batches: (tile batch holder or batch list,
    // index of the record whose pictures are in); a row shows its record's
    // icon.
    void OnAllGamesTileImageReady(UINT_PTR holder, UINT_PTR index);
    void OnMyGameIconReady(UINT_PTR list, UINT_PTR index);
    void OnGameIconReady(UINT_PTR list, UINT_PTR index);
    void OnPluginIconReady(UINT_PTR list, UINT_PTR index);
    void OnJiasuqiIconReady(UINT_PTR list, UINT_PTR index);
    // The newest tile batch, or the newest game or plug-in icon batch, is
    // still waiting for pictures.
    bool IsAllGamesLoading() const;
    bool IsGamePageLoading() const;
    // On after a click on "add_my_game", off after any other click.
    bool IsAddMyGameMode() const;
    void SetAddMyGameMode(bool on);
    // Searches the categories for the text of "search_key"; nothing for an
    // empty text.
    void SearchGames();
    // The named control of the window's skin (or one the lists added); none
    // when there is no such control.
    CalUI::CControlUI* FindControl(LPCWSTR name);
    // ---- Item lists and their rows (MainWndRows.cpp, MainWndProgress.cpp,
    // MainWndRowIcons.cpp) ---------------------------------------------------
    // (heap category id, heap list text): the plug-in rows.
    void OnPluginListReply(UINT_PTR categoryId, UINT_PTR listText);
    // (heap list text or none, first-sign-in flag): the accelerator rows; a
    // first sign-in's list with entries leads on to the binding window.
    void OnJiasuqiListReply(UINT_PTR listText, UINT_PTR firstSignIn);
    // (task's progress record, speed in KB/s): the running look on the task's
    // row. Nothing for a task that was cancelled or stopped.
    void OnGameDownloadProgress(UINT_PTR progress, UINT_PTR speedKb);
    void OnGameVerifyProgress(UINT_PTR progress, UINT_PTR speedKb);
    void OnGameUnzipProgress(UINT_PTR progress, UINT_PTR speedKb);
    void OnPluginDownloadProgress(UINT_PTR progress, UINT_PTR speedKb);
    void OnPluginVerifyProgress(UINT_PTR progress, UINT_PTR speedKb);
    void OnPluginUnzipProgress(UINT_PTR progress, UINT_PTR speedKb);
    void OnJiasuqiDownloadProgress(UINT_PTR progress, UINT_PTR speedKb);
    void OnJiasuqiVerifyProgress(UINT_PTR progress, UINT_PTR speedKb);

    // The row's task (its cancel button is the sender) stops and the row
    // shows the cancelled look. A row that shows no task stays as it is; a
    // thread id that names another item's task by now stops nothing.
    void OnGameCancelClick(CalUI::CControlUI* sender);
    void OnPluginCancelClick(CalUI::CControlUI* sender);
    void OnJiasuqiCancelClick(CalUI::CControlUI* sender);

    // ---- Row tasks: the start (MainWndTaskStart.cpp) and the results
    // (MainWndTaskResults.cpp) of game and plug-in tasks ----
    // A row's download button: the checks and the folder window, then the
    // worker on a copy of the row's record, and the row shows it queued. Any
    // check that fails leaves everything as it was. Nothing while the item's
    // task still runs.
    void OnGameDownloadClick(CalUI::CControlUI* sender);
    void OnPluginDownloadClick(CalUI::CControlUI* sender);
    // Appends the roots ("C:\") of the drives of that type in the system's
    // order; true when it appended one.
    static bool ListDrivesOfType(std::vector<std::string>& roots, UINT driveType);
    // As IsFolderEmpty, but entries named like the file (any case) do not
    // count, and an empty text lists the current folder.
    static bool IsFolderEmptyExcept(const std::wstring& folder, const std::wstring& fileName);
    // Results of a task's stages. First: a heap record copy (download done: a
    // heap id text); second: none or a heap message. Both are freed here on
    // every path, except the installed game's record, which goes on to the
    // game's finishing.
    void OnGameDownloadDone(UINT_PTR idText, UINT_PTR);
    void OnGameDownloadFailed(UINT_PTR record, UINT_PTR message);
    void OnGameVerifyDone(UINT_PTR record, UINT_PTR);
    void OnGameVerifyFailed(UINT_PTR record, UINT_PTR message);
    void OnGameUnzipFailed(UINT_PTR record, UINT_PTR message);
    void OnGameInstallDone(UINT_PTR record, UINT_PTR);
    void OnPluginDownloadDone(UINT_PTR idText, UINT_PTR);
    void OnPluginDownloadFailed(UINT_PTR record, UINT_PTR message);
    void OnPluginVerifyDone(UINT_PTR record, UINT_PTR);
    void OnPluginVerifyFailed(UINT_PTR record, UINT_PTR message);
    void OnPluginUnzipFailed(UINT_PTR record, UINT_PTR message);
    void OnPluginInstallDone(UINT_PTR record, UINT_PTR);
    // ---- End of the row tasks.

    // The rows of the game or plug-in list whose server and version match
    // the two filter boxes; a layout with one box filters by it alone.
    void OnGameFilterChanged();
    void OnPluginFilterChanged();

    // Installed tests of the rows' first look.
    bool IsGameInstalled(const std::wstring& gameId);
    bool IsPluginInstalled(const std::wstring& pluginId);
    bool IsJiasuqiInstalled(const JiasuqiInfo& record);
    bool IsNexonLauncherPresent();
    bool IsReflectionLauncherPresent();
    // True for an empty text, a folder that cannot be listed, or one that
    // holds nothing; any length of text.
    static bool IsFolderEmpty(const std::wstring& folder);

    // The row of a game or plug-in by id (first match), of an accelerator by
    // its record; null when the list shows none. Task steps find their rows
    // so: FindTaskRow also gives null for an item whose task was cancelled,
    // so that nothing its task queued before changes the row.
    CalUI::CControlUI* FindItemRow(RowKind kind, const std::wstring& id);
    CalUI::CControlUI* FindJiasuqiRow(const JiasuqiInfo* record);
    CalUI::CControlUI* FindTaskRow(const TaskItem& item, const JiasuqiInfo* record = nullptr);
    // Applies the look to the row (none: the list shows no such row) and
    // keeps it as the last look of the task on that thread, which a row built
    // later for the same item shows again while the task runs.
    void ShowTaskLook(CalUI::CControlUI* row, const TaskItem& item, DWORD threadId, const RowLook& look);
    // A new start of the item: its earlier cancel no longer silences it.
    void ForgetCancelledTask(const TaskItem& item);
    // An accelerator's task and its waiting installer work on the row's own
    // record: held, it outlives the list it came with until it is dropped.
    void HoldJiasuqiRecord(const JiasuqiInfo* record);
    void DropJiasuqiRecord(const JiasuqiInfo* record);
    // ---- Accelerator tasks (MainWndAccelerators.cpp) ------------------------
    // The row's program downloads into the cache folder, is checked, and its
    // installer runs; nothing while a download or an installer of the same
    // program is still under way.
    void OnJiasuqiDownloadClick(CalUI::CControlUI* sender);
    // Results of the task's worker: (the row's own record, heap message or
    // none), the message freed here.
    void OnJiasuqiDownloadDone(UINT_PTR record, UINT_PTR);
    void OnJiasuqiDownloadFailed(UINT_PTR record, UINT_PTR message);
    void OnJiasuqiVerifyDone(UINT_PTR record, UINT_PTR);
    void OnJiasuqiVerifyFailed(UINT_PTR record, UINT_PTR message);
    // (heap ProcessWaitParam, ignored): the installer has ended.
    void OnJiasuqiInstallerExited(UINT_PTR wait, UINT_PTR);
    // (the row's own record, ignored): the task's worker has returned and
    // reads the record no more.
    void OnJiasuqiTaskEnded(UINT_PTR record, UINT_PTR);

private:
    void RunJiasuqiInstaller(JiasuqiInfo* record);
    void EndJiasuqiWork(const JiasuqiInfo* record);
    // Software ids of the programs whose download runs or whose installer is
    // waited for, once for each.
    std::multiset<std::wstring> m_jiasuqiWork;
    // ---- End of the accelerator tasks.

protected:
    // The rounded window region follows the size, kept while minimised.
    virtual void OnSize();

private:
    // False when the skin yields no control tree.
    bool OnCreate();
    // True for the window's own timer; every other tick is the paint
    // manager's (its controls' timers and the layered repaint).
    bool OnTimer(UINT_PTR timer);
    void OnWindowInit();
    void OnClick(const CalUI::NotifyMsg& msg);
    void RunClick(const CalUI::NotifyMsg& msg);
    void OnItemSelect(const CalUI::NotifyMsg& msg);
    void OnSetFocus(const CalUI::NotifyMsg& msg);
    // The start-up chain after the window's first paint.
    void StartChecks(UINT_PTR, UINT_PTR);
    // A program folder under "\Favorites\" is refused: a box, then the end.
    void RefuseFavorites(UINT_PTR, UINT_PTR);
    // Copies "update.exe" into "update\" and starts the copy with the text
    // as its parameters; a box when the program folder has none.
    void StartUpdater(const std::wstring& parameters);
    void ShowSignedInButtons();
    // The binding window offered after a first sign-in: by the sign-in
    // window's own first sign-in, and by the accelerator list that a first
    // sign-in requested when it has entries. Once per sign-in; asked while
    // the sign-in window is still open, it waits until that window has
    // closed (ShowLogin then makes the offer).
    void OpenBindingAfterFirstSignIn();
    // The user menu's entry: the binding, read-only when one is stored.
    void OpenBindingFromMenu();
    // The accelerators of the newest list the window accepted, in its order;
    // empty before any.
    std::vector<AcceleratorChoice> AcceleratorChoices() const;
    // Removes the token and user id from the session and the registry.
    void ForgetSignIn();
    // Sign-out cancels every row of the three lists: the rows that show a
    // task change, installed and idle rows stay (MainWndRows.cpp).
    void CancelAllRows();
    // ---- Item lists and their rows (private) ----
    // Steps of the game list reply after the page's name: the rows and their
    // icon batch. Dropped while the previous game icons still load.
    void BuildGameRows(const std::wstring& categoryId, const std::string& listText);
    // Replaces the list's rows; a row whose own click is still running goes
    // only once that click has returned.
    void ClearRows(LPCWSTR listName);
    void AddRow(LPCWSTR listName, RowKind kind, const ItemRowFace& face, const TaskItem& item);
    void ApplyFilter(LPCWSTR listName, LPCWSTR serverBox, LPCWSTR versionBox);
    void CancelRowTask(CalUI::CControlUI* sender, RowKind kind);
    // After a cancel: the item's download buttons stay disabled until the
    // old work has ended (polled on a window timer).
    void HoldDownloadWhileEnding(const TaskItem& item);
    bool IsItemWorkRunning(const TaskItem& item);
    void EnableDownloadButtons(const TaskItem& item, bool enable);
    void ReleaseEndedDownloads();
    void ShowProgress(UINT_PTR progress, UINT_PTR speedKb, const wchar_t* stageFormat);
    bool IsJiasuqiRecordInUse(const JiasuqiInfo* record);
    // Queued after a click: the rows it retired go once no click runs.
    void FreeRetiredRows(UINT_PTR, UINT_PTR);
    static TaskItem TaskItemOfRow(CalUI::CControlUI* row, RowKind kind);
    // The thread of the item's task while it runs (registered, or started
    // and not ended); 0 when none runs.
    DWORD LiveTaskOf(const TaskItem& item);
    // The row task start's steps (MainWndTaskStart.cpp).
    // The system's drive type (DRIVE_FIXED, ...) of the path's drive.
    static UINT GetDriveType(const char* path);
    bool ChooseFolders(FolderMode mode, std::wstring& downloadFolder, std::wstring& installFolder,
                       const std::wstring& name);
    bool ConfirmDownloadFolder(const std::wstring& downloadFolder, const std::string& fileUrl);
    bool StoreFolders(const std::wstring& section, const std::wstring& downloadFolder,
                      const std::wstring& installFolder);
    // The worker on its heap record, unless the item's task runs already (a
    // dialog's loop may have let another start through); the item's row, if
    // the list shows one, then shows it queued.
    template <class Record>
    void StartRowTask(const TaskItem& item, CWindowMultiThreadManager::ThreadProc worker,
                      std::unique_ptr<Record> record)
    {
        if (LiveTaskOf(item) != 0)
            return;
        ForgetCancelledTask(item);
        const DWORD threadId = StartWorker(worker, std::move(record));
        if (threadId == 0)
            return;
        m_taskThreads[item] = StartedTask{threadId, worker};
        ShowTaskLook(FindItemRow(static_cast<RowKind>(item.kind), item.id), item, threadId, QueuedLook(threadId));
    }
    // A box over the main window with the OK button only. Its texts are the
    // box's own: what they came from may go while it is open.
    void ShowNotice(std::wstring title, std::wstring text);
    // No box without a message, or for an unknown overseas setting.
    void ShowDownloadFailure(const std::wstring& itemName, const std::wstring& workerMessage);
    // A result's look on the task's row (MainWndTaskResults.cpp).
    void ShowResultLook(const TaskItem& item, const RowLook& look);

    void ShowUserMenu();
    void HideUserMenu();
    void OpenSetPassword();
    void OpenLogoutConfirmation();
    // An OK box over the main window; frees the heap message.
    void ShowListFailure(LPCWSTR title, UINT_PTR message);
    // False once the window is ending: nothing more may run against it.
    bool IsAlive() const;
    LRESULT OnNcHitTest(LPARAM lParam);
    LRESULT OnSysCommand(WPARAM command, LPARAM lParam);
    void OnTrayIcon(LPARAM mouseMessage);
    void ShowInFront();
    // Ends every modal loop running over the main window's, each with 0.
    void CloseModalWindows();

    // ---- Catalogue pages (see the public block).
    // Enter in "search_key" searches; true when the key was taken.
    bool OnKeyDown(WPARAM key);
    void OnSelectChanged(const CalUI::NotifyMsg& msg);
    void OnMouseEnter(const CalUI::NotifyMsg& msg);
    void OnMouseLeave(const CalUI::NotifyMsg& msg);
    void OnTextChanged(const CalUI::NotifyMsg& msg);
    // The catalogue's clicks; false when the sender is none of its controls.
    bool OnCatalogueClick(const CalUI::NotifyMsg& msg);
    void SelectMainPage(MainPage page);
    // The navigation's page buttons.
    void OnAllGamesClick();
    void OnAddMyGameClick();
    void OnAllAppsClick();
    // Search becomes possible once a tile page has its pictures.
    void EnableSearch();
    void OnCategoryTileClick(CalUI::CControlUI* sender);
    void OnMyGameClick(CalUI::CControlUI* sender);
    // Runs the wait overlay while the awaited batch loads; nothing when it
    // does not.
    void WaitWhileLoading(WaitMode mode);
    void AddCategoryTile(CalUI::CContainerUI* tiles, CategoryInfo* category);
    // Page 0 with its first tab, the game-list request for the category,
    // then its three pictures into the category's local paths.
    void ShowGamePage(CategoryInfo& category, const std::wstring& logoDefault);
    // Stores the game page's pictures in a navigation entry's record once
    // nothing else writes them.
    void StorePagePictures(CategoryInfo* record, const CategoryInfo& pictures);
    void ApplyPendingPagePictures(const CategoryList* finishedBatch);
    bool MyGamesHoldId(const std::wstring& categoryId);
    void RebuildMyGames(CategoryList* categories);
    void InsertMyGameEntries(CategoryInfo* category, int index);
    void SetMyGameIcons(CategoryInfo* category);
    void AddMyGameAddEntries();
    // A worker of the start-up chain; one that cannot start queues `failed`
    // with the worker's text for a request without an answer.
    void StartChainWorker(CWindowMultiThreadManager::ThreadProc worker, void* param, WindowHandler<CMainWnd> failed,
                          LPCWSTR failureText);
    // Starts the worker with its heap parameter, which the worker frees, and
    // gives its thread id; 0, with the parameter freed here, when no thread
    // starts.
    template <class Param>
    DWORD StartWorker(CWindowMultiThreadManager::ThreadProc worker, std::unique_ptr<Param> param)
    {
        const DWORD threadId = m_threads.StartThread(worker, param.get());
        if (threadId != 0)
            param.release();
        return threadId;
    }

    CImageBatchList<OwnedListRef<CategoryInfo>> m_tileBatches;
    CImageBatchList<OwnedListRef<CategoryInfo>> m_myGameBatches;
    // Categories added from the tile page, which belong to no batch.
    std::vector<std::unique_ptr<CategoryInfo>> m_addedMyGames;
    // Game page pictures waiting for the unfinished batch of their record.
    std::vector<std::pair<CategoryInfo*, CategoryInfo>> m_pendingPagePictures;
    bool m_addMyGameMode = false;
    // ---- End of the catalogue pages.

    CalUI::CWindowManagerUI m_manager;
    CTrayIcon m_tray;
    CWindowMultiThreadManager m_threads;
    bool m_ending = false;  // ExitApp has gone past its question

    // ---- Item lists and their rows (state) ----
    CIconBatchList<GameInfo> m_gameIcons;
    CIconBatchList<PluginInfo> m_pluginIcons;
    CIconBatchList<JiasuqiInfo> m_jiasuqiIcons;
    // The last look of each running task, by item, with the task's thread.
    struct TaskLook
    {
        DWORD threadId = 0;
        RowLook look;
    };
    std::map<TaskItem, TaskLook> m_taskLooks;
    // Items whose task the user cancelled, until the item starts again.
    std::set<TaskItem> m_cancelledItems;
    // Cancelled items whose work still ends: their download buttons wait.
    std::set<TaskItem> m_endingTasks;
    // The worker each item's last start began, until it is seen to have ended.
    struct StartedTask
    {
        DWORD threadId = 0;
        CWindowMultiThreadManager::ThreadProc worker = nullptr;
    };
    std::map<TaskItem, StartedTask> m_taskThreads;
    // Accelerator records that a task or a waiting installer still uses.
    std::multiset<const JiasuqiInfo*> m_jiasuqiInUse;
    int m_clickDepth = 0;               // clicks whose handlers are running
    std::vector<RowPtr> m_retiredRows;  // freed once no click runs
    // The binding window waits for the sign-in window to close.
    bool m_bindingAfterSignIn = false;
    // The binding offer of the current sign-in: made already; asked for
    // while the sign-in window was open.
    bool m_bindingOffered = false;
    bool m_bindingAwaitsSignIn = false;

    // ---- Outside launchers and game finishing (MainWndLaunchers.cpp) ----
public:
    // (heap GameInfo copy of the launcher row's record, ignored), queued when
    // the launcher's installer has ended: with the launcher in place its row
    // shows it installed and the game that needs it is queued in the
    // launcher row's folders; without, the row can be started again and a
    // box says so.
    void OnNexonLauncherDone(UINT_PTR record, UINT_PTR);
    void OnReflectionLauncherDone(UINT_PTR record, UINT_PTR);
    // After the unpacking of any game: the launcher's data (games 12 and 15)
    // or a desktop shortcut, "installed" in config.ini, and a balloon.
    void FinishGameInstall(std::unique_ptr<GameInfo> record);

private:
    // What differs between the two launchers.
    struct LauncherRoad;
    void OnLauncherDone(const LauncherRoad& road, std::unique_ptr<GameInfo> record);
    // The game's row (when the list shows it) starts its task, unless the
    // game is installed or its task runs already.
    void QueueGameOfLauncher(int gameId);
    // The game's program on the desktop under the game's name, replacing a
    // shortcut of that name; none when lnk_app would lead out of the game's
    // install folder.
    void CreateDesktopShortcut(const GameInfo& record);
    // ---- End of outside launchers and game finishing.
    // ---- Item uninstall and view (MainWndUninstall.cpp) -------------------
public:
    // The view button of an installed row (the sender). Games and plug-ins:
    // the folder view window, then the install folder goes on a worker
    // while their rows wait; accelerators: the program's own uninstaller,
    // waited for. The row is found again after every modal window.
    void UninstallGame(CalUI::CControlUI* sender);
    void UninstallPlugins(CalUI::CControlUI* sender);
    void UninstallJiasuqi(CalUI::CControlUI* sender);
    // (heap ProcessWaitParam, ignored): the uninstaller has ended.
    void OnJiasuqiUninstallerExited(UINT_PTR wait, UINT_PTR);
    // The end of a folder deletion: (heap folder, ignored) when it all
    // went, (heap folder, heap message) when something stayed.
    void OnFolderDeleted(UINT_PTR folder, UINT_PTR);
    void OnDeleteFilesFailed(UINT_PTR folder, UINT_PTR message);
    // Removes the game's shortcut from the desktop folders.
    void DeleteGameShortcuts(const GameInfo& record);

private:
    // A folder deletion and the items that wait for it.
    struct PendingRemoval
    {
        std::wstring folder;  // as handed to the worker
        RowKind kind = RowKind::kGame;
        std::set<int> ids;  // id numbers of the items it removes
        std::wstring name;  // the item the user removed
    };
    // Result of the folder view window over the main window.
    int OpenFolderView(const std::wstring& downloadFolder, const std::wstring& installFolder);
    void UninstallNexonLauncher(const GameInfo& record);
    // False, with a box naming the folder, when the folder may not go.
    bool AcceptRemovalFolder(const std::wstring& title, const std::wstring& folder);
    void StartRemoval(PendingRemoval removal, const std::wstring& keep);
    // leftovers: the message naming what stayed, or null.
    void FinishRemoval(const std::wstring& folder, const std::wstring* leftovers);
    void ApplyRemovalLook(const PendingRemoval& removal, const RowLook& look);
    // The row's look and the user's message once an uninstaller has ended
    // (or could not start).
    void EndJiasuqiUninstall(const JiasuqiInfo* record);

    std::vector<PendingRemoval> m_pendingRemovals;
    // Accelerator types whose uninstaller runs (a second click starts none),
    // with the folder of the uninstaller's copy (empty: it runs in place).
    std::map<int32_t, std::wstring> m_uninstallingTypes;
    // ---- End of item uninstall and view.
};

// The one main window; null before it is constructed and after it is gone.
extern CMainWnd* g_mainWnd;
