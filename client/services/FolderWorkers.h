#pragma once
// Slow file-system and process waits of the main window, kept off its thread:
// removing an uninstalled game's or plug-in's install folder, and waiting for an
// accelerator program's installer or uninstaller to end. Each worker's only way
// back is one call on the main window's queue. Started with
// &DeleteFolderThread<g_mainWnd> and so on (WindowCalls.h).

#include "services/FolderTree.h"
#include "services/ItemRecords.h"
#include "services/WindowCalls.h"
#include "services/WindowMultiThreadManager.h"

#include <windows.h>

#include <memory>
#include <string>
#include <utility>

// {downloaded package to keep, install folder to delete (ending with "\")}.
typedef std::pair<std::wstring, std::wstring> FolderDeletionParam;

// The message of OnDeleteFilesFailed naming the install folder.
std::wstring DeleteFailedMessage(const std::wstring& folder);

// Waits until the process has ended or the worker is asked to stop; true when
// the process ended (or the handle cannot be waited on).
bool WaitForProcessEnd(HANDLE process);

// True when the folder is the running program's own folder or holds it: an
// item's install folder may never take the client with it.
bool HoldsProgramFolder(const std::wstring& folder);

// Parameter: heap FolderDeletionParam, freed here. Reports its end exactly
// once, naming the folder as it was given (heap text): OnFolderDeleted
// (folder, 0) when everything but the kept package went, OnDeleteFilesFailed
// (folder, heap message) when something could not go, the whole folder
// included when it is refused (DeleteFolderTree, HoldsProgramFolder). A
// worker stopped on the way reports nothing.
template <auto& MainWnd>
void DeleteFolderThread(void* param)
{
    using Wnd = WindowOf<MainWnd>;
    const FolderDeletionParam paths = *std::unique_ptr<FolderDeletionParam>(static_cast<FolderDeletionParam*>(param));
    bool failed = HoldsProgramFolder(paths.second);
    if (!failed)
        DeleteFolderTree(paths.second, paths.first, failed);
    if (CWindowMultiThreadManager::IsStopRequested())
        return;
    auto folder = std::make_unique<std::wstring>(paths.second);
    if (failed)
        QueueCall(MainWnd, &Wnd::OnDeleteFilesFailed, std::move(folder),
                  std::make_unique<std::wstring>(DeleteFailedMessage(paths.second)));
    else
        QueueCall(MainWnd, &Wnd::OnFolderDeleted, std::move(folder), 0);
}

// Closes the record's process handle once the process has ended and hands the
// record to the handler, which frees it. A worker stopped first closes the
// handle and frees the record itself (never the row's item it points to).
template <auto& MainWnd>
void WaitProcessThenQueue(void* param, WindowHandler<WindowOf<MainWnd>> handler)
{
    std::unique_ptr<ProcessWaitParam> record(static_cast<ProcessWaitParam*>(param));
    const bool ended = WaitForProcessEnd(record->process);
    if (record->process)
        CloseHandle(record->process);
    record->process = nullptr;
    if (ended)
        QueueCall(MainWnd, handler, std::move(record), 0);
}

// Parameter: heap ProcessWaitParam of an accelerator's uninstaller.
template <auto& MainWnd>
void WaitUninstallThread(void* param)
{
    WaitProcessThenQueue<MainWnd>(param, &WindowOf<MainWnd>::OnJiasuqiUninstallerExited);
}

// Parameter: heap ProcessWaitParam of an accelerator's installer.
template <auto& MainWnd>
void WaitInstallThread(void* param)
{
    WaitProcessThenQueue<MainWnd>(param, &WindowOf<MainWnd>::OnJiasuqiInstallerExited);
}
