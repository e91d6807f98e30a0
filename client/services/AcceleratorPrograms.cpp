#include "services/AcceleratorPrograms.h"

#include "services/FileUtil.h"
#include "services/RegistryUtil.h"
#include "services/TempFolder.h"

#include <vector>

namespace {

constexpr wchar_t kUninstallRoot[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// The second program's installer registers under its own setup id in the
// 32-bit view.
constexpr wchar_t kPellinorUninstallKey[] = L"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                                            L"{5B0E6C1A-93D2-4F87-A1C4-7E2D9B306F58}_is1";
constexpr wchar_t kCopyFolderPrefix[] = L"CalverinAccelerator-";
constexpr wchar_t kCopiedProgramName[] = L"unins000.exe";
constexpr wchar_t kUninstallDataName[] = L"unins000.dat";

bool IsExistingFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::wstring AcceleratorUninstallKey(int32_t type)
{
    switch (type) {
    case 1:
        return std::wstring(kUninstallRoot) + L"Ostrel加速器";
    case 2:
        return kPellinorUninstallKey;
    case 3:
        return std::wstring(kUninstallRoot) + L"tamsk";
    default:
        return std::wstring();
    }
}

bool ReadAcceleratorUninstallCommand(int32_t type, CommandLine& command)
{
    command = CommandLine();
    const std::wstring key = AcceleratorUninstallKey(type);
    std::wstring value;
    if (key.empty() || !ReadRegValue(HKEY_LOCAL_MACHINE, key, L"UninstallString", REG_SZ, value))
        return false;
    command = ParseCommandLine(value);
    return !command.program.empty();
}

std::wstring AcceleratorProgramFolder(int32_t type)
{
    CommandLine command;
    if (!ReadAcceleratorUninstallCommand(type, command))
        return std::wstring();
    const std::wstring folder = GetFolderPart(command.program);
    return folder == command.program ? std::wstring() : folder;
}

bool IsAcceleratorInstalled(int32_t type)
{
    const std::wstring folder = AcceleratorProgramFolder(type);
    return !folder.empty() && !IsFolderEmpty(folder);
}

UninstallerRun PrepareUninstallerCopy(const CommandLine& registered)
{
    UninstallerRun run;
    run.command = registered;
    const std::wstring temp = TempFolderSetting();
    if (!IsAbsoluteFolder(temp) || !IsExistingFolder(temp))
        return run;
    DWORD error = 0;
    const std::wstring folder = MakeOwnFolder(temp, kCopyFolderPrefix, error);
    if (folder.empty())
        return run;
    const std::wstring copy = folder + kCopiedProgramName;
    if (!CopyFileW(registered.program.c_str(), copy.c_str(), FALSE)) {
        RemoveDirectoryW(folder.c_str());
        return run;
    }
    const std::wstring data = GetFolderPart(registered.program) + L"\\" + kUninstallDataName;
    CopyFileW(data.c_str(), (folder + kUninstallDataName).c_str(), FALSE);
    run.command.program = copy;
    run.copyFolder = folder;
    return run;
}

HANDLE StartProgram(const CommandLine& command)
{
    if (command.program.empty())
        return nullptr;
    std::wstring line = JoinCommandLine(command);
    std::vector<wchar_t> writable(line.begin(), line.end());
    writable.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(command.program.c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}
