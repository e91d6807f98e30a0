#pragma once
// The two catalogue games whose package is the installer of an outside game
// launcher that another game needs: game 13 installs the Nexon launcher (for
// game 12), game 16 the ReflectionNetworkLauncher (for game 15). The package is
// fetched and checked exactly as a game's (DownloadTasks.h); after a good digest
// the worker runs the installer, waits until it has ended and queues the
// launcher's handler, which looks for the installed launcher. Started with
// &NexonLauncherSetupThread<g_mainWnd> or &ReflectionLauncherSetupThread<g_mainWnd>.

#include "services/DownloadTasks.h"
#include "services/ItemRecords.h"
#include "services/WindowCalls.h"

#include <memory>
#include <string>

// Runs the program with no arguments and waits until it has ended; false only
// when the worker was asked to stop first (the window is going). A program that
// cannot be started counts as ended at once.
bool RunInstallerToEnd(const std::wstring& program);

// A game download whose last step runs the installer; Launcher names the
// handler that the launcher's end is queued to.
template <class Launcher>
struct LauncherDownloadKind : DownloadKind<GameInfo>
{
    static constexpr bool kRunsInstaller = true;

    template <auto& MainWnd>
    static void RunInstaller(GameInfo& record, const std::wstring& localFile)
    {
        if (RunInstallerToEnd(localFile))
            QueueWithFirst(MainWnd, Launcher::template Done<WindowOf<MainWnd>>(), record, 0);
    }
};

struct NexonLauncher
{
    template <class Wnd>
    static WindowHandler<Wnd> Done()
    {
        return &Wnd::OnNexonLauncherDone;
    }
};

struct ReflectionLauncher
{
    template <class Wnd>
    static WindowHandler<Wnd> Done()
    {
        return &Wnd::OnReflectionLauncherDone;
    }
};

// Parameter: heap copy of the launcher row's GameInfo (game 13), freed here.
template <auto& MainWnd>
void NexonLauncherSetupThread(void* param)
{
    std::unique_ptr<GameInfo> record(static_cast<GameInfo*>(param));
    RunDownloadTask<MainWnd, GameInfo, LauncherDownloadKind<NexonLauncher>>(*record);
}

// Parameter: heap copy of the launcher row's GameInfo (game 16), freed here.
template <auto& MainWnd>
void ReflectionLauncherSetupThread(void* param)
{
    std::unique_ptr<GameInfo> record(static_cast<GameInfo*>(param));
    RunDownloadTask<MainWnd, GameInfo, LauncherDownloadKind<ReflectionLauncher>>(*record);
}
