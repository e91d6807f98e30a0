// The outside installer that the reference service hands out for the
// accelerator programs, built once per program under its catalogue file name
// ("ostrel_setup.exe" type 1, "pellinor_setup.exe" type 2, "tamsk_setup.exe"
// type 3). Asked to (CALVERIN_STANDIN_INSTALL_ROOT names a folder), it
// installs its program as that maker's installer would: a folder
// "<root>\<program>" holding unins000.exe (a copy of itself) and
// unins000.dat, and the type's uninstall entry whose "UninstallString" names
// that unins000.exe, quoted, with "/SILENT". Without it, or with
// CALVERIN_STANDIN_CANCEL set, it ends doing nothing, as an installer the user
// cancelled. With CALVERIN_STANDIN_HOLD naming an event, it first waits until
// that event is set (at most a minute), as an installer the user is still
// going through.
//
// Run as unins000.exe (from that folder or from a copy beside a copy of
// unins000.dat), it reads the entry and the folder from the .dat and removes
// both: the entry, unins000.exe, unins000.dat and the folder. With
// CALVERIN_STANDIN_CANCEL set it ends doing nothing. It writes the arguments
// it was given into "<its own path>.args".
#include "services/AcceleratorPrograms.h"
#include "services/CommandLine.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

struct Program
{
    const wchar_t* setupPrefix;
    int32_t type;
    const wchar_t* folderName;
};

constexpr Program kPrograms[] = {
    {L"ostrel", 1, L"Ostrel"},
    {L"pellinor", 2, L"Pellinor"},
    {L"tamsk", 3, L"tamsk"},
};

std::wstring OwnPath()
{
    wchar_t self[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
    return self;
}

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/")); }

std::wstring Setting(const wchar_t* name)
{
    std::vector<wchar_t> value(32768);
    const DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    return length > 0 && length < value.size() ? std::wstring(value.data(), length) : std::wstring();
}

bool WriteText(const std::wstring& path, const std::wstring& text)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return ok;
}

std::wstring ReadText(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::wstring();
    std::vector<wchar_t> text(8192, L'\0');
    DWORD got = 0;
    ReadFile(file, text.data(), static_cast<DWORD>((text.size() - 1) * sizeof(wchar_t)), &got, nullptr);
    CloseHandle(file);
    return std::wstring(text.data(), got / sizeof(wchar_t));
}

void WaitForRelease()
{
    const std::wstring hold = Setting(L"CALVERIN_STANDIN_HOLD");
    HANDLE release = hold.empty() ? nullptr : OpenEventW(SYNCHRONIZE, FALSE, hold.c_str());
    if (release == nullptr)
        return;
    WaitForSingleObject(release, 60000);
    CloseHandle(release);
}

int Install(const std::wstring& self, const Program& program)
{
    WaitForRelease();
    const std::wstring root = Setting(L"CALVERIN_STANDIN_INSTALL_ROOT");
    if (root.empty() || !Setting(L"CALVERIN_STANDIN_CANCEL").empty())
        return 0;
    const std::wstring folder = root + L"\\" + program.folderName;
    const std::wstring key = AcceleratorUninstallKey(program.type);
    CreateDirectoryW(folder.c_str(), nullptr);
    if (!CopyFileW(self.c_str(), (folder + L"\\unins000.exe").c_str(), FALSE) ||
        !WriteText(folder + L"\\unins000.dat", key + L"\n" + folder))
        return 2;
    const std::wstring command = L"\"" + folder + L"\\unins000.exe\" /SILENT";
    HKEY opened = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr,
                        &opened, nullptr) != ERROR_SUCCESS)
        return 3;
    RegSetValueExW(opened, L"UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(opened);
    return 0;
}

int Uninstall(const std::wstring& self)
{
    WriteText(self + L".args", ParseCommandLine(GetCommandLineW()).arguments);
    if (!Setting(L"CALVERIN_STANDIN_CANCEL").empty())
        return 0;
    const std::wstring data = ReadText(FolderOf(self) + L"\\unins000.dat");
    const size_t newline = data.find(L'\n');
    if (newline == std::wstring::npos)
        return 2;
    const std::wstring key = data.substr(0, newline);
    const std::wstring folder = data.substr(newline + 1);
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), view, 0);
    DeleteFileW((folder + L"\\unins000.dat").c_str());
    DeleteFileW((folder + L"\\unins000.exe").c_str());
    RemoveDirectoryW(folder.c_str());
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const std::wstring self = OwnPath();
    const std::wstring name = self.substr(self.find_last_of(L"\\/") + 1);
    if (lstrcmpiW(name.c_str(), L"unins000.exe") == 0)
        return Uninstall(self);
    for (const Program& program : kPrograms) {
        if (_wcsnicmp(name.c_str(), program.setupPrefix, wcslen(program.setupPrefix)) == 0)
            return Install(self, program);
    }
    return 1;
}
