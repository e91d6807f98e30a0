#include "services/LauncherSetupWorkers.h"

#include "services/FolderWorkers.h"
#include "services/WriteLogFile.h"

#include <windows.h>

bool RunInstallerToEnd(const std::wstring& program)
{
    wchar_t commandLine[512] = {};
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        WRITE_LOG_FORMAT(L"cannot start the installer \"%s\": %lu", program.c_str(), GetLastError());
        return true;
    }
    CloseHandle(process.hThread);
    const bool ended = WaitForProcessEnd(process.hProcess);
    CloseHandle(process.hProcess);
    return ended;
}
