// Stands in for the system's browser in the test prefix: registered as the
// opener of http and https links, it appends the link it was given (its
// second argument) as a UTF-8 line to the file named by its first.

#include <windows.h>

#include <shellapi.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (args == nullptr || count < 3)
        return 1;
    const std::wstring link = args[2];
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, link.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string line(bytes > 0 ? bytes - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, link.c_str(), -1, line.data(), bytes, nullptr, nullptr);
    line += "\n";
    HANDLE file = CreateFileW(args[1], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    LocalFree(args);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}
