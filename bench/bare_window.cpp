// The yardstick of the start-up benchmark: a bare Win32 program, one plain
// window and a message loop, linked statically like the client, so that
// what the platform costs any program shows beside what the client adds.
#include <windows.h>

namespace {

constexpr WCHAR kClass[] = L"CalverinBareWindow";

LRESULT CALLBACK BareWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = BareWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClass;
    RegisterClassW(&windowClass);
    CreateWindowExW(0, kClass, L"bare", WS_POPUP | WS_VISIBLE, 100, 100, 1200, 800, nullptr, nullptr, instance,
                    nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
