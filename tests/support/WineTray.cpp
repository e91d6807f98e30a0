#include "WineTray.h"

namespace {

HWND StandInTray() { return FindWindowW(L"__winex11_standalone_tray", nullptr); }

}  // namespace

HWND FindTrayIconWindow()
{
    HWND tray = StandInTray();
    return tray != nullptr ? FindWindowExW(tray, nullptr, L"__winex11_tray_icon", nullptr) : nullptr;
}

int CountTrayIcons()
{
    HWND tray = StandInTray();
    int count = 0;
    for (HWND icon = nullptr; tray != nullptr && (icon = FindWindowExW(tray, icon, L"__winex11_tray_icon", nullptr));)
        ++count;
    return count;
}
