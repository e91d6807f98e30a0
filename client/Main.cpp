// The client's entry: one running client per desktop session, the log, COM,
// OLE and libcurl around the main window's modal loop, and the skin archive
// taken from the program's own resources.

// curl brings winsock2.h, which must come before windows.h.
#include <curl/curl.h>

#include "services/AppFolder.h"
#include "dialogs/SkinResource.h"
#include "services/FileUtil.h"
#include "mainwindow/MainWnd.h"
#include "services/ProductInfo.h"
#include "services/SingleInstance.h"
#include "core/WindowManagerUI.h"
#include "services/WriteLogFile.h"

#include <objbase.h>
#include <ole2.h>

namespace {
constexpr WORD kSkinResourceId = 101;
constexpr int kLogCapKb = 1024;
// WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW:
// the skin gives the size, centring the place.
constexpr DWORD kMainWindowStyle = 0x96CF0000;

// Restores the running client's main window and raises it above all others;
// false when no client window is there.
bool ActivateRunningClient()
{
    HWND window = FindWindowW(L"CMainWnd", L"" CALVERIN_DISPLAY_NAME);
    if (!window)
        return false;
    ShowWindow(window, SW_RESTORE);
    // Topmost and back again raises the window without leaving it topmost.
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return true;
}

// Returns when the main window has closed and its workers have ended, so that
// none of them still uses COM or libcurl when the caller shuts those down.
void RunMainWindow()
{
    CMainWnd mainWnd;
    mainWnd.Create(nullptr, L"" CALVERIN_DISPLAY_NAME, kMainWindowStyle, 0, 0, 0, 0, 0, nullptr);
    mainWnd.CenterWindow();
    mainWnd.ShowModal();
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    g_appFolder = GetModuleFolder();
    // Whether the semaphore existed changes nothing: a client that is still
    // starting has no window yet, and then this start becomes a client too.
    CSingleInstance singleInstance("Global\\_ONCE_RUN_" CALVERIN_DISPLAY_NAME "_Main_");
    if (ActivateRunningClient())
        return 0;

    g_logFile.SetLogPath(g_appFolder + L"log.txt", kLogCapKb);
    WRITE_LOG_FORMAT(L"当前版本：%s", L"" CALVERIN_VERSION_TEXT);

    if (FAILED(CoInitialize(nullptr)))
        return 0;
    OleInitialize(nullptr);
    curl_global_init(CURL_GLOBAL_ALL);

    CalUI::CWindowManagerUI::SetInstance(instance);
    if (!SupplySkinArchive(kSkinResourceId))
        return 0;
    RunMainWindow();

    OleUninitialize();
    CoUninitialize();
    curl_global_cleanup();
    return 0;
}
