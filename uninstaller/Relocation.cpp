#include "uninstaller/Relocation.h"

#include "services/FileUtil.h"
#include "services/SafeNames.h"
#include "services/TempFolder.h"
#include "uninstaller/CopyFolders.h"

#include <windows.h>

#include <shellapi.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kProgramName[] = L"uninstall.exe";
constexpr wchar_t kListName[] = L"uninstall.dat";

// The full path of the running program, however long.
std::wstring OwnProgramPath()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return std::wstring();
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring CopyError(const wchar_t* fileName, DWORD error)
{
    return std::wstring(fileName) + L"复制到缓存目录失败,err=" + std::to_wstring(static_cast<long>(error));
}

void RemoveCopyFolder(const std::wstring& folder)
{
    DeleteFileW((folder + kProgramName).c_str());
    DeleteFileW((folder + kListName).c_str());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

bool IsRelocatedCopyFolder(const std::wstring& programFolder)
{
    const std::wstring program = LongFullPath(programFolder);
    const size_t last = program.find_last_of(L'\\');
    if (last == std::wstring::npos)
        return false;
    const std::wstring name = program.substr(last + 1);
    const size_t prefixLength = std::wcslen(kCopyFolderPrefix);
    return name.size() > prefixLength && SameFileName(name.substr(0, prefixLength), kCopyFolderPrefix);
}

RelocationResult RelocateToTemp(std::wstring& message)
{
    const std::wstring tempFolder = TempFolderSetting();
    if (tempFolder.empty())
        return RelocationResult::RunningInPlace;
    const std::wstring program = OwnProgramPath();
    const std::wstring programFolder = GetFolderPart(program);
    if (IsRelocatedCopyFolder(programFolder))
        return RelocationResult::RunningAsCopy;

    const std::wstring list = programFolder + L"\\" + kListName;
    if (!FileExists(list)) {
        message = L"uninstall.dat文件不存在，无法卸载";
        return RelocationResult::Failed;
    }
    DWORD error = ERROR_PATH_NOT_FOUND;
    const std::wstring copyFolder =
        program.empty() ? std::wstring() : MakeOwnFolder(tempFolder, kCopyFolderPrefix, error);
    if (copyFolder.empty()) {
        message = CopyError(kProgramName, error);
        return RelocationResult::Failed;
    }
    const std::wstring copy = copyFolder + kProgramName;
    if (!CopyFileW(program.c_str(), copy.c_str(), FALSE)) {
        message = CopyError(kProgramName, GetLastError());
        RemoveCopyFolder(copyFolder);
        return RelocationResult::Failed;
    }
    // Never an older list: a list that cannot be copied stops the removal.
    if (!CopyFileW(list.c_str(), (copyFolder + kListName).c_str(), FALSE)) {
        message = CopyError(kListName, GetLastError());
        RemoveCopyFolder(copyFolder);
        return RelocationResult::Failed;
    }
    // The copy's own folder as its current one, so that no folder it might
    // delete is held as the current folder.
    ShellExecuteW(nullptr, L"open", copy.c_str(), L"", copyFolder.c_str(), SW_SHOWNORMAL);
    return RelocationResult::CopyStarted;
}
