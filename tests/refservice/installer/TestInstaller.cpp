// The outside installer that the reference service hands out as the package of
// the launcher games: it takes a moment, as installers do, then leaves
// "<its own path>.installed" holding its process id and ends. Whoever started
// it can tell from that file that it ran to its end before they went on.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    Sleep(800);
    wchar_t self[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
    const std::wstring marker = std::wstring(self) + L".installed";
    HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    const std::string pid = std::to_string(GetCurrentProcessId());
    DWORD written = 0;
    const BOOL ok = WriteFile(file, pid.data(), static_cast<DWORD>(pid.size()), &written, nullptr);
    CloseHandle(file);
    return ok ? 0 : 1;
}
