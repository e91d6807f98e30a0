#pragma once
// Wine's stand-in notification area: with no desktop tray (as under Xvfb),
// Wine shows the icons in a window of its own, one child window an icon,
// which forwards its mouse messages to the icon's owner.

#include <windows.h>

// The first icon's window, or null when no icon shows.
HWND FindTrayIconWindow();
// How many icons show.
int CountTrayIcons();
