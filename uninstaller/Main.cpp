// The uninstaller's entry: the skin archive from its own resources, the move
// to its copy under TEMP, one window at a time, and the window's modal loop.

#include "dialogs/SkinResource.h"
#include "services/FileUtil.h"
#include "services/SingleInstance.h"
#include "services/WriteLogFile.h"
#include "uninstaller/CopyFolders.h"
#include "uninstaller/MainWnd.h"
#include "uninstaller/Relocation.h"
#include "uninstaller/SingleStart.h"

#include "core/WindowManagerUI.h"

#include <objbase.h>

#include <memory>

// The process's one log writer; it writes only in a relocated copy's folder.
CWriteLogFile g_logFile;

namespace {

constexpr WORD kSkinResourceId = 109;
constexpr int kLogCapKb = 256;
// How long a start that finds another uninstaller starting waits for its window.
constexpr DWORD kStartingWindowWaitMs = 5000;
// WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN: the skin gives the size,
// centring the place.
constexpr DWORD kWindowStyle = 0x16000000;

void KeepNoInstallFolderCurrent()
{
    wchar_t system[MAX_PATH] = {};
    if (GetSystemDirectoryW(system, MAX_PATH) != 0)
        SetCurrentDirectoryW(system);
}

// Returns once the window and, with it, the removal worker are gone.
void RunWindow()
{
    CMainWnd window;
    if (!window.Create(nullptr, kUninstallerTitle, kWindowStyle, 0, 0, 0, 0, 0, nullptr))
        return;
    window.CenterWindow();
    window.ShowModal();
}

void RunUninstaller()
{
    if (RaiseUninstallerWindow(0))
        return;
    const bool isCopy = IsRelocatedCopyFolder(GetModuleFolder());
    // A start from the install folder while another uninstaller is starting
    // would only make a second copy.
    if (!isCopy && IsUninstallerStarting() && RaiseUninstallerWindow(kStartingWindowWaitMs))
        return;

    std::wstring message;
    std::unique_ptr<CCopyFolderHold> copyFolder;
    switch (RelocateToTemp(message)) {
    case RelocationResult::CopyStarted:
        return;
    case RelocationResult::Failed:
        MessageBoxW(nullptr, message.c_str(), kUninstallerTitle, MB_OK);
        return;
    case RelocationResult::RunningAsCopy:
        copyFolder = std::make_unique<CCopyFolderHold>(GetModuleFolder());
        g_logFile.SetLogPath(GetModuleFolder() + L"uninstall.log", kLogCapKb);
        break;
    case RelocationResult::RunningInPlace:
        // Started from the install folder itself: a current folder there
        // would keep the removal from deleting it.
        KeepNoInstallFolderCurrent();
        break;
    }
    RemoveEarlierCopyFolders(copyFolder ? GetModuleFolder() : std::wstring());

    CSingleInstance instance(UninstallerSemaphoreName().c_str());
    // A start that finds the first still creating its window waits for it;
    // without one after that, this start becomes the uninstaller.
    if (instance.IsAlreadyRunning() && RaiseUninstallerWindow(kStartingWindowWaitMs))
        return;
    RunWindow();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    if (FAILED(CoInitialize(nullptr)))
        return 0;
    CalUI::CWindowManagerUI::SetInstance(instance);
    if (SupplySkinArchive(kSkinResourceId))
        RunUninstaller();
    CoUninitialize();
    return 0;
}
