#include "ScratchFolder.h"

#include "TestPaths.h"

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

constexpr DWORD kHostProgramLimitMs = 10000;

std::wstring FullPath(const std::wstring& path)
{
    if (path.empty())
        return std::wstring();
    const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return std::wstring();
    std::wstring full(length, L'\0');
    full.resize(GetFullPathNameW(path.c_str(), length, full.data(), nullptr));
    return full;
}

// Starts a Linux program. Wine runs it beside its own processes and hands
// back no process to wait for, so the caller waits for what it does.
bool StartHostProgram(const std::wstring& linuxProgram, std::wstring commandLine)
{
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(WinePathOf(linuxProgram).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return false;
    if (process.hThread)
        CloseHandle(process.hThread);
    if (process.hProcess)
        CloseHandle(process.hProcess);
    return true;
}

template <typename Condition>
bool WaitFor(Condition condition)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > kHostProgramLimitMs)
            return false;
        Sleep(10);
    }
    return true;
}

// Empties the folder (ending with "\") and removes it. A link goes itself,
// never what it leads to: this is the one deletion every test runs, and a
// link inside a scratch folder may well lead out of it.
void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + name;
            const DWORD attributes = entry.dwFileAttributes;
            if (attributes & FILE_ATTRIBUTE_READONLY)
                SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
            if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                if (!RemoveDirectoryW(path.c_str()))
                    DeleteFileW(path.c_str());
            } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + L"\\");
            } else {
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

ScratchFolder::ScratchFolder()
{
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH)
        throw std::runtime_error("no temporary folder");
    std::wstring base = FullPath(std::wstring(temp, length));
    if (base.empty())
        throw std::runtime_error("no temporary folder");
    if (base.back() != L'\\')
        base += L'\\';
    // A folder of a new name, never one found there: the removal must only
    // ever take what this object made.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        m_path = base + L"calverin-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter) +
                 L"\\";
        if (CreateDirectoryW(m_path.c_str(), nullptr))
            return;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    throw std::runtime_error("cannot create a scratch folder");
}

ScratchFolder::~ScratchFolder()
{
    for (const HostLink& link : m_hostLinks) {
        if (StartHostProgram(L"/bin/rm", L"rm -f -- \"" + link.linuxPath + L"\""))
            WaitFor([&] { return !EntryExists(link.path); });
    }
    RemoveTree(m_path);
}

bool ScratchFolder::Holds(const std::wstring& path) const
{
    std::wstring full = FullPath(path);
    if (full.empty())
        return false;
    if (full.back() != L'\\')
        full += L'\\';
    const int length = static_cast<int>(m_path.size());
    return full.size() >= m_path.size() &&
           CompareStringOrdinal(full.c_str(), length, m_path.c_str(), length, TRUE) == CSTR_EQUAL;
}

bool ScratchFolder::LinkOnHost(const std::wstring& name, const std::wstring& target)
{
    const std::wstring path = File(name);
    const std::wstring link = HostPathOf(path);
    if (link.empty() || !Holds(path))
        return false;
    if (!StartHostProgram(L"/bin/ln", L"ln -s -- \"" + target + L"\" \"" + link + L"\""))
        return false;
    m_hostLinks.push_back({path, link});
    return WaitFor([&] { return EntryExists(path); });
}

ScopedCurrentFolder::ScopedCurrentFolder(const std::wstring& folder)
{
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    m_previous.resize(length);
    m_previous.resize(GetCurrentDirectoryW(length, m_previous.data()));
    if (!SetCurrentDirectoryW(folder.c_str()))
        throw std::runtime_error("cannot change to the folder");
}

ScopedCurrentFolder::~ScopedCurrentFolder() { SetCurrentDirectoryW(m_previous.c_str()); }

std::wstring ScratchFolder::WriteFile(const std::wstring& name, const std::string& bytes) const
{
    std::wstring path = File(name);
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write a scratch file");
    return path;
}

std::string ScratchFolder::ReadFile(const std::wstring& path)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
