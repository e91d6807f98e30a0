#include "services/TempFolder.h"

#include "services/FileUtil.h"

#include <vector>

std::wstring TempFolderSetting()
{
    const DWORD length = GetEnvironmentVariableW(L"TEMP", nullptr, 0);
    if (length == 0)
        return std::wstring();
    std::vector<wchar_t> value(length + 1);
    if (GetEnvironmentVariableW(L"TEMP", value.data(), length + 1) == 0)
        return std::wstring();
    std::wstring folder(value.data());
    while (folder.size() > 1 && IsPathSeparator(folder.back()))
        folder.pop_back();
    return folder;
}

std::wstring MakeOwnFolder(const std::wstring& parent, const std::wstring& prefix, DWORD& error)
{
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        const std::wstring name = prefix + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(attempt);
        const std::wstring folder = parent + L"\\" + name + L"\\";
        if (CreateDirectoryW(folder.c_str(), nullptr))
            return folder;
        error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS)
            return std::wstring();
    }
    return std::wstring();
}
