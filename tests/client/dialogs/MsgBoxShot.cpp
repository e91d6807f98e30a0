// The message box over the real main window, for the box's screenshot
// (scripts/screenshot-main.sh): the client's skin archive, named on the
// command line, goes to the framework, the main window comes up as the
// client's entry makes it, and the box opens through ShowMsgBox with the
// texts the client asks before it ends running tasks. After the given time
// the box is closed with Escape and the main window with a WM_CLOSE from
// outside, so the program ends on its own.
//   msgbox_shot ARCHIVE [SECONDS]
// The picture cache folder and the log go beside the program, as the
// client's do: run a copy of it from a folder of its own.

#include "services/AppFolder.h"
#include "services/FileUtil.h"

#include "core/WindowManagerUI.h"

#include "dialogs/MsgBoxWnd.h"
#include "mainwindow/MainWnd.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

constexpr UINT kBoxDelayMs = 5000;  // the script shoots the main window alone before it
constexpr UINT kDefaultSeconds = 10;
// As the client's entry creates its main window.
constexpr DWORD kMainWindowStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW;

UINT g_closeAfterMs = kDefaultSeconds * 1000;

// Hands the archive to the framework for the life of the process; false when
// it cannot be read.
bool SupplySkinArchive(const wchar_t* path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const DWORD size = GetFileSize(file, nullptr);
    // The framework reads every skin file from this block while the process
    // runs, so it is never freed.
    auto* bytes = size != INVALID_FILE_SIZE && size > 0 ? new BYTE[size] : nullptr;
    DWORD read = 0;
    const bool ok = bytes != nullptr && ReadFile(file, bytes, size, &read, nullptr) && read == size;
    CloseHandle(file);
    if (!ok)
        return false;
    CalUI::CWindowManagerUI::SetResourceZip(bytes, size, nullptr);
    return true;
}

void CALLBACK CloseEverything(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    if (HWND box = FindWindowW(L"CMsgBoxWnd", nullptr))
        PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 0);
    if (g_mainWnd != nullptr)
        PostMessageW(g_mainWnd->GetWindowHandle(), WM_CLOSE, 0, 0);
}

void CALLBACK OpenBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    SetTimer(nullptr, 0, g_closeAfterMs, CloseEverything);
    if (g_mainWnd != nullptr)
        ShowMsgBox(g_mainWnd->GetWindowHandle(), L"还有任务正在进行", L"退出程序将停止全部任务，确定退出吗？",
                   MsgBoxButtons::OkCancel, L"确定", L"取消");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    if (__argc < 2) {
        MessageBoxW(nullptr, L"usage: msgbox_shot ARCHIVE [SECONDS]", L"msgbox_shot", MB_OK);
        return 2;
    }
    if (__argc > 2)
        g_closeAfterMs = static_cast<UINT>(std::max(1, _wtoi(__wargv[2]))) * 1000;
    g_appFolder = GetModuleFolder();
    CalUI::CWindowManagerUI::SetInstance(instance);
    if (!SupplySkinArchive(__wargv[1])) {
        MessageBoxW(nullptr, (L"The skin archive cannot be read: " + std::wstring(__wargv[1])).c_str(), L"msgbox_shot",
                    MB_OK);
        return 1;
    }
    CMainWnd mainWnd;
    if (mainWnd.Create(nullptr, L"Calverin", kMainWindowStyle, 0, 0, 0, 0, 0, nullptr) == nullptr)
        return 1;
    mainWnd.CenterWindow();
    SetTimer(nullptr, 0, kBoxDelayMs, OpenBox);
    mainWnd.ShowModal();
    return 0;
}
