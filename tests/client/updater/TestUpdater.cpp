// The updater the client hands over to, as the tests copy it in: it leaves
// its whole command line in "<its own path>.cmdline" (UTF-16) and ends.
#include <windows.h>

#include <cwchar>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    wchar_t self[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
    const std::wstring marker = std::wstring(self) + L".cmdline";
    HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    const wchar_t* commandLine = GetCommandLineW();
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, commandLine, static_cast<DWORD>(std::wcslen(commandLine) * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return ok ? 0 : 1;
}
