// The outside installer that the reference service hands out as the package of
// the launcher games: it takes a moment, as installers do, then leaves
// "<its own path>.installed" holding its process id and ends. Whoever started
// it can tell from that file that it ran to its end before they went on.
//
// Asked to (CALVERIN_STANDIN_LAUNCHER_FOLDER names a folder), it also installs
// the launcher it stands for there and registers it as the launcher's makers
// do, the value written exactly as given: as "NexonLauncherSetup.exe" the
// programs nexon_launcher.exe and Uninstall.exe and "Install Directory" of
// HKEY_CURRENT_USER "SOFTWARE\Nexon Launcher"; under any other name
// ReflectionNetworkLauncher.exe and "InstallLocation" of HKEY_LOCAL_MACHINE
// "SOFTWARE\d0673521-1e7c-5647-8f72-b2cae5719a78". Without it, it installs
// nothing. Run as Uninstall.exe it removes the Nexon launcher's program and
// entry again; as a launcher program it does nothing.
#include <windows.h>

#include <string>
#include <vector>

namespace {

constexpr wchar_t kNexonKey[] = L"SOFTWARE\\Nexon Launcher";
constexpr wchar_t kReflectionKey[] = L"SOFTWARE\\d0673521-1e7c-5647-8f72-b2cae5719a78";

std::wstring OwnPath()
{
    wchar_t self[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
    return self;
}

std::wstring FileNameOf(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

std::wstring Setting(const wchar_t* name)
{
    std::vector<wchar_t> value(32768);
    const DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    return length > 0 && length < value.size() ? std::wstring(value.data(), length) : std::wstring();
}

bool SetText(HKEY root, const wchar_t* key, const wchar_t* name, const std::wstring& text)
{
    HKEY opened = nullptr;
    if (RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &opened, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExW(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(opened);
    return result == ERROR_SUCCESS;
}

std::wstring InFolder(const std::wstring& folder, const wchar_t* name)
{
    return !folder.empty() && (folder.back() == L'\\' || folder.back() == L'/') ? folder + name : folder + L"\\" + name;
}

bool InstallLauncher(const std::wstring& self, const std::wstring& folder)
{
    CreateDirectoryW(folder.c_str(), nullptr);
    if (FileNameOf(self).find(L"Nexon") != std::wstring::npos) {
        return CopyFileW(self.c_str(), InFolder(folder, L"nexon_launcher.exe").c_str(), FALSE) &&
               CopyFileW(self.c_str(), InFolder(folder, L"Uninstall.exe").c_str(), FALSE) &&
               SetText(HKEY_CURRENT_USER, kNexonKey, L"Install Directory", folder);
    }
    return CopyFileW(self.c_str(), InFolder(folder, L"ReflectionNetworkLauncher.exe").c_str(), FALSE) &&
           SetText(HKEY_LOCAL_MACHINE, kReflectionKey, L"InstallLocation", folder);
}

int RemoveNexonLauncher(const std::wstring& self)
{
    const std::wstring folder = self.substr(0, self.find_last_of(L"\\/"));
    DeleteFileW(InFolder(folder, L"nexon_launcher.exe").c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, kNexonKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, kNexonKey);
    return 0;
}

int RunSetup(const std::wstring& self)
{
    Sleep(800);
    const std::wstring folder = Setting(L"CALVERIN_STANDIN_LAUNCHER_FOLDER");
    if (!folder.empty() && !InstallLauncher(self, folder))
        return 2;
    const std::wstring marker = self + L".installed";
    HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    const std::string pid = std::to_string(GetCurrentProcessId());
    DWORD written = 0;
    const BOOL ok = WriteFile(file, pid.data(), static_cast<DWORD>(pid.size()), &written, nullptr);
    CloseHandle(file);
    return ok ? 0 : 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const std::wstring self = OwnPath();
    const std::wstring name = FileNameOf(self);
    if (lstrcmpiW(name.c_str(), L"Uninstall.exe") == 0)
        return RemoveNexonLauncher(self);
    if (lstrcmpiW(name.c_str(), L"nexon_launcher.exe") == 0 ||
        lstrcmpiW(name.c_str(), L"ReflectionNetworkLauncher.exe") == 0)
        return 0;
    return RunSetup(self);
}
