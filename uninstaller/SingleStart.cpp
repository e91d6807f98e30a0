#include "uninstaller/SingleStart.h"

#include "uninstaller/Relocation.h"

#include <vector>

namespace {

constexpr DWORD kLookIntervalMs = 50;

std::string ToAnsi(const std::wstring& text)
{
    const int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::string();
    std::vector<char> bytes(length);
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, bytes.data(), length, nullptr, nullptr);
    return std::string(bytes.data());
}

}  // namespace

std::string UninstallerSemaphoreName() { return "Global\\_ONCE_RUN_" + ToAnsi(kUninstallerTitle) + "uninstall_"; }

bool IsUninstallerStarting()
{
    HANDLE semaphore = OpenSemaphoreA(SYNCHRONIZE, FALSE, UninstallerSemaphoreName().c_str());
    if (!semaphore)
        return false;
    CloseHandle(semaphore);
    return true;
}

bool RaiseUninstallerWindow(DWORD waitMs)
{
    const ULONGLONG deadline = GetTickCount64() + waitMs;
    HWND window = FindWindowW(L"CMainWnd", kUninstallerTitle);
    while (!window && GetTickCount64() < deadline) {
        Sleep(kLookIntervalMs);
        window = FindWindowW(L"CMainWnd", kUninstallerTitle);
    }
    if (!window)
        return false;
    ShowWindow(window, SW_RESTORE);
    // Topmost and back again raises the window without leaving it topmost.
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return true;
}
