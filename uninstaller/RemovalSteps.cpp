#include "uninstaller/RemovalSteps.h"

#include "services/FileUtil.h"
#include "services/FolderTree.h"
#include "services/TextConvert.h"
#include "services/WindowMultiThreadManager.h"
#include "services/WriteLogFile.h"
#include "uninstaller/ClientProcesses.h"
#include "services/SafeNames.h"

#include <shlobj.h>

#include <json/json.h>

#include <memory>

namespace {

// How long the removal waits for ended clients to let go of their files.
constexpr DWORD kClientEndLimitMs = 5000;
constexpr wchar_t kClientSettingsKeyW[] = L"Software\\calverin";
constexpr wchar_t kStartMenuFolderName[] = L"Calverin";
constexpr const wchar_t* kStartMenuShortcuts[] = {L"启动Calverin.lnk", L"卸载Calverin.lnk"};

bool IsLink(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool IsFolder(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool HasShortcutExtension(const std::wstring& path)
{
    return path.size() > 4 && SameFileName(path.substr(path.size() - 4), L".lnk");
}

// True when the folder holds files only, each of them a ".lnk".
bool HoldsOnlyShortcuts(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool onlyShortcuts = true;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
            !HasShortcutExtension(name))
            onlyShortcuts = false;
    } while (onlyShortcuts && FindNextFileW(search, &found));
    FindClose(search);
    return onlyShortcuts;
}

Json::Value ParseList(const std::string& text)
{
    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value list;
    std::string errors;
    if (!reader->parse(text.data(), text.data() + text.size(), &list, &errors) || !list.isArray())
        return Json::Value();
    return list;
}

// The element's "name", empty when the list ends at this element.
std::string ListedName(const Json::Value& list, Json::ArrayIndex index)
{
    if (!list.isValidIndex(index))
        return std::string();
    const Json::Value& element = list[index];
    if (!element.isObject())
        return std::string();
    const Json::Value& name = element["name"];
    return name.isString() ? name.asString() : std::string();
}

}  // namespace

bool DeletePath(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    if (IsLink(attributes) && IsFolder(attributes)) {
        RemoveDirectoryW(path.c_str());
    } else if (IsFolder(attributes)) {
        bool failed = false;
        DeleteFolderTree(path, L"", failed);
    } else {
        if (attributes & FILE_ATTRIBUTE_READONLY)
            SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
        DeleteFileW(path.c_str());
    }
    return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

int DeleteListedItems(const std::wstring& installFolder, const std::string& listText)
{
    const Json::Value list = ParseList(listText);
    int deleted = 0;
    for (Json::ArrayIndex index = 0; !CWindowMultiThreadManager::IsStopRequested(); ++index) {
        const std::string name = ListedName(list, index);
        if (name.empty())
            break;
        const std::wstring wideName = Utf8ToWide(name);
        const std::wstring path = ResolveListedName(installFolder, wideName);
        if (path.empty() || PassesThroughLink(installFolder, path)) {
            WRITE_LOG_FORMAT(L"skipped the listed name \"%s\": it leads outside the install folder", wideName.c_str());
            continue;
        }
        if (DeletePath(path))
            ++deleted;
    }
    return deleted;
}

void DeleteInstalledFiles(const UninstallEntry& entry, const std::wstring& listPath)
{
    const std::wstring installFolder = InstallFolderOf(entry.uninstallString);
    if (installFolder.empty()) {
        WRITE_LOG(L"no install folder in the uninstall entry: no listed file deleted");
        return;
    }
    DeleteListedItems(installFolder, ReadFileToString(listPath));
}

bool DeleteDisplayShortcut(const UninstallEntry& entry)
{
    if (entry.displayShortcut.empty())
        return true;
    const std::wstring path = FullPath(entry.displayShortcut);
    const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    const bool accepted = IsAbsoluteFolder(entry.displayShortcut) && IsDeletableFolder(path) &&
                          !AbsolutePathPassesThroughLink(path) && !IsLink(attributes) &&
                          (IsFolder(attributes) ? HoldsOnlyShortcuts(path) : HasShortcutExtension(path));
    if (accepted)
        DeletePath(path);
    else
        WRITE_LOG_FORMAT(L"refused to delete the registered shortcut \"%s\"", entry.displayShortcut.c_str());
    return true;
}

bool DeleteRegistryKeys(const UninstallEntry& entry)
{
    const bool entryDeleted = entry.found && DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kUninstallEntryKey, entry.view);
    DeleteRegKeyTree(HKEY_CURRENT_USER, kClientSettingsKeyW, 0);
    return entryDeleted;
}

void DeleteStartMenuFolder()
{
    wchar_t startMenu[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, startMenu, CSIDL_STARTMENU, FALSE))
        return;
    const std::wstring folder = std::wstring(startMenu) + L"\\" + kStartMenuFolderName;
    if (IsLink(GetFileAttributesW(folder.c_str())))
        return;
    for (const wchar_t* shortcut : kStartMenuShortcuts)
        DeleteFileW((folder + L"\\" + shortcut).c_str());
    RemoveDirectoryW(folder.c_str());
}

void UninstallThreadProc(void* param)
{
    auto* progress = static_cast<RemovalProgress*>(param);
    KillProcessByName(kClientProgramName, kClientEndLimitMs);
    const UninstallEntry entry = ReadUninstallEntry();
    const auto stopped = [] { return CWindowMultiThreadManager::IsStopRequested(); };
    if (stopped())
        return;
    DeleteInstalledFiles(entry, GetModuleFolder() + L"uninstall.dat");
    if (stopped())
        return;
    progress->filesDone = true;
    DeleteDisplayShortcut(entry);
    if (stopped())
        return;
    progress->shortcutDone = true;
    DeleteRegistryKeys(entry);
    if (stopped())
        return;
    DeleteStartMenuFolder();
    progress->allDone = true;
}
