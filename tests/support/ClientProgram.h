#pragma once
// The client program run as a separate process from a scratch program
// folder, and its main window as a second start finds it.

#include <windows.h>

#include <string>
#include <vector>

#include "ScratchFolder.h"

constexpr DWORD kStartLimitMs = 30000;

// A copy of a built program in a folder of its own, so that its log is its
// own; the processes it starts are ended with the object.
class ProgramCopy
{
public:
    // `builtName` in the build's client folder, copied into `subfolder` of
    // the scratch folder ("a\\b\\", made here; empty: the scratch folder
    // itself); throws when it cannot be copied.
    explicit ProgramCopy(const wchar_t* builtName, const std::wstring& subfolder = L"");
    ~ProgramCopy();
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;

    const ScratchFolder& Folder() const { return m_folder; }
    // The program's own folder, with a trailing backslash.
    const std::wstring& ProgramFolder() const { return m_programFolder; }
    std::wstring LogPath() const { return m_programFolder + L"log.txt"; }

    // Starts the program with the arguments; returns its process handle.
    HANDLE Start(const std::wstring& arguments = L"");

private:
    ScratchFolder m_folder;
    std::wstring m_programFolder;
    std::wstring m_exe;
    std::vector<PROCESS_INFORMATION> m_processes;
};

// The exit code, or STILL_ACTIVE when the process did not end in time.
DWORD WaitForExit(HANDLE process, DWORD limitMs = kStartLimitMs);

// The client's main window as a second start searches for it, once the
// process that owns it has shown it; null when none turns up in time.
HWND WaitForMainWindow(HANDLE process);

// Closes the window from outside and waits for the client to end; its exit
// code.
DWORD CloseClient(HWND window, HANDLE process);

// Whether the window has stayed enabled for `forMs` in a row within the time
// limit. After sign-in the wait overlay over the first pictures disables the
// main window now and then, and a click or menu meanwhile is lost.
bool StaysEnabled(HWND window, DWORD forMs, DWORD limitMs = kStartLimitMs);
