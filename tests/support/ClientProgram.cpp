#include "ClientProgram.h"

#include <stdexcept>

#include "TestPaths.h"

ProgramCopy::ProgramCopy(const wchar_t* builtName, const std::wstring& subfolder)
{
    m_programFolder = m_folder.File(L"");
    for (size_t start = 0, end; (end = subfolder.find(L'\\', start)) != std::wstring::npos; start = end + 1) {
        m_programFolder += subfolder.substr(start, end + 1 - start);
        CreateDirectoryW(m_programFolder.c_str(), nullptr);
    }
    m_exe = m_programFolder + L"calverinapp.exe";
    if (!CopyFileW(BuildTreePath(std::wstring(L"client\\") + builtName).c_str(), m_exe.c_str(), FALSE))
        throw std::runtime_error("cannot copy the program");
}

ProgramCopy::~ProgramCopy()
{
    for (const PROCESS_INFORMATION& process : m_processes) {
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
}

HANDLE ProgramCopy::Start(const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + m_exe + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    const std::wstring& folder = m_programFolder;
    if (!CreateProcessW(m_exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process))
        throw std::runtime_error("cannot start the program");
    m_processes.push_back(process);
    return process.hProcess;
}

DWORD WaitForExit(HANDLE process, DWORD limitMs)
{
    WaitForSingleObject(process, limitMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process, &code);
    return code;
}

HWND WaitForMainWindow(HANDLE process)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kStartLimitMs) {
        HWND window = FindWindowW(L"CMainWnd", L"Calverin");
        DWORD owner = 0;
        if (window != nullptr)
            GetWindowThreadProcessId(window, &owner);
        if (owner == GetProcessId(process) && IsWindowVisible(window))
            return window;
        if (WaitForSingleObject(process, 50) != WAIT_TIMEOUT)
            return nullptr;
    }
    return nullptr;
}

DWORD CloseClient(HWND window, HANDLE process)
{
    PostMessageW(window, WM_CLOSE, 0, 0);
    return WaitForExit(process);
}

bool StaysEnabled(HWND window, DWORD forMs, DWORD limitMs)
{
    const DWORD start = GetTickCount();
    DWORD enabledSince = start;
    while (GetTickCount() - start < limitMs) {
        if (!IsWindowEnabled(window))
            enabledSince = GetTickCount();
        else if (GetTickCount() - enabledSince >= forMs)
            return true;
        Sleep(20);
    }
    return false;
}
