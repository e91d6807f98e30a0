#include "TestPaths.h"

#include <windows.h>

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

} // namespace

std::wstring WinePathOf(const std::wstring& linuxPath)
{
    std::wstring path = L"Z:" + linuxPath;
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

std::wstring BuildTreePath(const std::wstring& relative)
{
    return TreePath(L"CALVERIN_BINARY_DIR", relative);
}

std::wstring SourceTreePath(const std::wstring& relative)
{
    return TreePath(L"CALVERIN_SOURCE_DIR", relative);
}

std::wstring FullDiskDevicePath()
{
    const std::wstring path = WinePathOf(L"/dev/full");
    HANDLE device = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE)
        return std::wstring();
    CloseHandle(device);
    return path;
}
