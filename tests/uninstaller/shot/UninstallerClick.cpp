// Clicks a point of the uninstaller's window as a user would, for the
// screenshot script, which has no other way to reach a window of Wine's:
//   uninstaller_click.exe X Y
// X and Y are window coordinates. Returns 0 once the click was posted, 1 when
// no uninstaller window showed within 30 s.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    const LPARAM where = MAKELPARAM(std::atoi(argv[1]), std::atoi(argv[2]));
    HWND window = nullptr;
    for (int attempt = 0; attempt < 300 && !window; ++attempt) {
        window = FindWindowW(L"CMainWnd", L"Calverin-卸载");
        if (!window)
            Sleep(100);
    }
    if (!window)
        return 1;
    PostMessageW(window, WM_MOUSEMOVE, 0, where);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageW(window, WM_LBUTTONUP, 0, where);
    return 0;
}
