#include "TestPaths.h"

#include "ScratchFolder.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

std::wstring EnvironmentValue(const wchar_t* name)
{
    DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        throw std::runtime_error("a test environment variable is not set");
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), size));
    return value;
}

std::wstring TreePath(const wchar_t* variable, const std::wstring& relative)
{
    std::wstring root = WinePathOf(EnvironmentValue(variable));
    if (root.back() != L'\\')
        root += L'\\';
    return root + relative;
}

}  // namespace

bool EntryExists(const std::wstring& path)
{
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW(path.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

std::wstring WinePathOf(const std::wstring& linuxPath)
{
    std::wstring path = L"Z:" + linuxPath;
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

std::wstring HostPathOf(const std::wstring& windowsPath)
{
    // Wine's own export: the Linux name in the Linux locale's encoding
    // (UTF-8 for the tests), allocated on the process heap.
    using UnixFileName = char*(CDECL*)(const wchar_t*);
    const auto unixFileName = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixFileName)
        return std::wstring();
    char* name = unixFileName(windowsPath.c_str());
    if (!name)
        return std::wstring();
    std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, name, -1, nullptr, 0), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, name, -1, wide.data(), static_cast<int>(wide.size())));
    HeapFree(GetProcessHeap(), 0, name);
    if (!wide.empty() && wide.back() == L'\0')
        wide.pop_back();
    return wide;
}

std::wstring BuildTreePath(const std::wstring& relative) { return TreePath(L"CALVERIN_BINARY_DIR", relative); }

std::wstring SourceTreePath(const std::wstring& relative) { return TreePath(L"CALVERIN_SOURCE_DIR", relative); }

std::wstring FullDiskFileIn(ScratchFolder& scratch, const std::wstring& name)
{
    // Only looked up, never opened: the link is what the test writes to.
    if (!EntryExists(WinePathOf(L"/dev/full"))) {
        ADD_FAILURE() << "Linux's /dev/full is missing: this test needs a device that fails every write "
                         "with \"disk full\" (a container needs /dev/full passed in)";
        return std::wstring();
    }
    const std::wstring path = scratch.File(name);
    if (!scratch.LinkOnHost(name, L"/dev/full")) {
        ADD_FAILURE() << "cannot make " << testing::PrintToString(path) << " a link to /dev/full with Linux's ln";
        return std::wstring();
    }
    // One byte through the link: it must be refused as a full disk, or the
    // test would show nothing.
    const HANDLE device = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "/dev/full cannot be opened for writing through " << testing::PrintToString(path) << ": error "
                      << GetLastError();
        return std::wstring();
    }
    DWORD written = 0;
    const BOOL wrote = WriteFile(device, "x", 1, &written, nullptr);
    const DWORD error = GetLastError();
    CloseHandle(device);
    if (wrote || error != ERROR_DISK_FULL) {
        ADD_FAILURE() << "/dev/full does not refuse writes as a full disk (wrote " << written << " byte, error "
                      << error << ")";
        return std::wstring();
    }
    return path;
}
