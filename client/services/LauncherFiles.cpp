#include "services/LauncherFiles.h"

#include "services/FileUtil.h"
#include "services/RegistryUtil.h"
#include "services/TextConvert.h"
#include "services/WriteLogFile.h"

#include <json/json.h>
#include <shlobj.h>

#include <exception>
#include <memory>
#include <sstream>

namespace {

struct LauncherEntry
{
    HKEY root;
    const wchar_t* key;
    const wchar_t* value;
    const wchar_t* program;
};

LauncherEntry EntryOf(OutsideLauncher launcher)
{
    if (launcher == OutsideLauncher::Nexon)
        return {HKEY_CURRENT_USER, L"SOFTWARE\\Nexon Launcher", L"Install Directory", L"\\nexon_launcher.exe"};
    return {HKEY_LOCAL_MACHINE, L"SOFTWARE\\d0673521-1e7c-5647-8f72-b2cae5719a78", L"InstallLocation",
            L"\\ReflectionNetworkLauncher.exe"};
}

enum class FileRead
{
    Missing,
    Read,
    Unreadable,
};

// The whole file, zero bytes included, so that nothing after one is lost.
FileRead ReadWholeFile(const std::wstring& path, std::string& bytes)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileRead::Missing
                                                                              : FileRead::Unreadable;
    }
    FileRead result = FileRead::Read;
    char buffer[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
            result = FileRead::Unreadable;
            break;
        }
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    return result;
}

bool IsBlank(const std::string& text) { return text.find_first_not_of(" \t\r\n") == std::string::npos; }

// A parsed object, or null when the text is not a JSON object.
Json::Value ParseObject(std::string text)
{
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    Json::CharReaderBuilder builder;
    builder["collectComments"] = false;
    builder["failIfExtra"] = true;  // text after the object would be lost on writing
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors) || !root.isObject())
        return Json::Value(Json::nullValue);
    return root;
}

// "<path>.<n>.bak" for the first n that names nothing yet.
std::wstring FreeBackupPath(const std::wstring& path)
{
    for (unsigned n = 1;; ++n) {
        const std::wstring candidate = path + L"." + std::to_wstring(n) + L".bak";
        if (GetFileAttributesW(candidate.c_str()) == INVALID_FILE_ATTRIBUTES)
            return candidate;
    }
}

// Writes the text beside the file and moves it over the file.
bool ReplaceFileText(const std::wstring& path, const std::string& text)
{
    CreateFolderTree(GetFolderPart(path));
    const std::wstring aside = path + L".new";
    if (WriteStringToFile(text, aside) != 1) {
        DeleteFileW(aside.c_str());
        return false;
    }
    if (!MoveFileExW(aside.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(aside.c_str());
        return false;
    }
    return true;
}

std::string CompactText(const Json::Value& root)
{
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    builder["emitUTF8"] = true;
    return Json::writeString(builder, root);
}

// The launcher file as an object to change: damaged is set when the old
// text must be kept aside before it is replaced; false when the file exists
// but cannot be read.
bool LoadLauncherFile(const std::wstring& path, Json::Value& root, bool& damaged)
{
    std::string text;
    const FileRead read = ReadWholeFile(path, text);
    root = Json::Value(Json::objectValue);
    damaged = false;
    if (read == FileRead::Unreadable) {
        damaged = true;
        return true;  // copying it aside decides whether it can be replaced
    }
    if (read == FileRead::Missing || IsBlank(text))
        return true;
    // The reader stops at a zero byte as at the end: what follows would be lost.
    root = text.find('\0') == std::string::npos ? ParseObject(text) : Json::Value(Json::nullValue);
    if (root.isNull()) {
        root = Json::Value(Json::objectValue);
        damaged = true;
    }
    return true;
}

// The member as an object, made afresh (and damaged set) when it is anything else.
Json::Value& ObjectMember(Json::Value& parent, const char* name, bool& damaged)
{
    Json::Value& member = parent[name];
    if (!member.isObject()) {
        if (!member.isNull())
            damaged = true;
        member = Json::Value(Json::objectValue);
    }
    return member;
}

LauncherFileResult SaveLauncherFile(const std::wstring& path, const Json::Value& root, bool damaged)
{
    LauncherFileResult result;
    if (damaged) {
        const std::wstring backup = FreeBackupPath(path);
        if (!CopyFileW(path.c_str(), backup.c_str(), TRUE)) {
            WRITE_LOG_FORMAT(L"launcher file \"%s\" could not be kept aside; left as it is", path.c_str());
            return result;
        }
        result.keptCopy = backup;
    }
    if (!ReplaceFileText(path, CompactText(root))) {
        WRITE_LOG_FORMAT(L"launcher file \"%s\" could not be written", path.c_str());
        return result;
    }
    result.outcome = damaged ? LauncherFileOutcome::KeptAsideAndWritten : LauncherFileOutcome::Written;
    return result;
}

template <class SetMembers>
LauncherFileResult UpdateLauncherFile(const std::wstring& path, SetMembers setMembers)
{
    try {
        Json::Value root;
        bool damaged = false;
        LoadLauncherFile(path, root, damaged);
        setMembers(root, damaged);
        return SaveLauncherFile(path, root, damaged);
    } catch (const std::exception& error) {
        WRITE_LOG_FORMAT(L"launcher file \"%s\" left as it is: %hs", path.c_str(), error.what());
        return LauncherFileResult();
    }
}

std::wstring RoamingAppDataFile(const wchar_t* relative) { return ShellFolderPath(CSIDL_APPDATA) + relative; }

}  // namespace

std::wstring ReadLauncherFolder(OutsideLauncher launcher)
{
    const LauncherEntry entry = EntryOf(launcher);
    std::wstring folder;
    if (!ReadRegValue(entry.root, entry.key, entry.value, REG_SZ, folder))
        folder.clear();
    return folder;
}

std::wstring LauncherProgram(OutsideLauncher launcher)
{
    const std::wstring folder = ReadLauncherFolder(launcher);
    return folder.empty() ? folder : folder + EntryOf(launcher).program;
}

bool IsLauncherPresent(OutsideLauncher launcher)
{
    const std::wstring program = LauncherProgram(launcher);
    return !program.empty() && FileExists(program);
}

std::wstring WithTrailingBackslash(const std::wstring& folder)
{
    if (!folder.empty() && IsPathSeparator(folder.back()))
        return folder;
    return folder + L"\\";
}

std::wstring ReflectionGameFolder(const std::wstring& installLocation)
{
    const size_t last = installLocation.find_last_of(L"\\/");
    if (last == std::wstring::npos)
        return std::wstring();
    return installLocation.substr(0, last) + L"\\D4R_ENRU\\";
}

std::wstring NexonInstalledAppsPath() { return RoamingAppDataFile(L"\\NexonLauncher\\installed-apps.db"); }

std::wstring ReflectionConfigPath() { return RoamingAppDataFile(L"\\ReflectionNetworkLauncher\\config.json"); }

LauncherFileResult WriteNexonInstalledApp(const std::wstring& path, const std::wstring& installFolder,
                                          int64_t installTime)
{
    const std::string root = WideToUtf8(WithTrailingBackslash(installFolder));
    return UpdateLauncherFile(path, [&](Json::Value& document, bool& damaged) {
        Json::Value& apps = ObjectMember(document, "installedApps", damaged);
        Json::Value& game = ObjectMember(apps, kNexonGameAppId, damaged);
        game["name"] = "HIT2TW";
        game["gameSize"] = Json::Int64(16366786146LL);
        game["installPath"] = root + "appdata";
        game["installRootPath"] = root;
        game["localManifest"] = root + "patchdata\\59767.manifest.hash";
        game["autoUpdate"] = true;
        game["installTime"] = Json::Int64(installTime);
        game["currentState"] = 2;
        game["currentBranch"] = "public";
        game["customTargetBuildId"] = Json::Value(Json::nullValue);
        game["customLaunchConfigEnable"] = false;
        game["customLaunchConfigExe"] = Json::Value(Json::nullValue);
        game["customLaunchConfigArgs"] = Json::Value(Json::arrayValue);
    });
}

LauncherFileResult WriteReflectionConfig(const std::wstring& path, const std::wstring& installFolder)
{
    const std::string folder = WideToUtf8(WithTrailingBackslash(installFolder));
    return UpdateLauncherFile(path, [&](Json::Value& document, bool&) {
        document["d4_installed_locale"] = "enru";
        document["d4_install_dir"] = folder;
        document["d4_download_finished"] = true;
    });
}

ShellLinkDetails NexonGameShortcut(const std::wstring& launcherProgram, const std::wstring& installFolder)
{
    ShellLinkDetails link;
    link.target = launcherProgram;
    link.arguments = L"nxl://launch/" + Utf8ToWide(kNexonGameAppId);
    link.workingFolder = GetFolderPart(launcherProgram);
    link.icon = WithTrailingBackslash(installFolder) + L"appdata\\HIT2.exe";
    link.iconIndex = 0;
    return link;
}
