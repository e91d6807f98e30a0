#include "services/SessionData.h"

#include "services/FileUtil.h"

#include <shlobj.h>

#include <cstdio>
#include <cstdlib>

namespace {
template <class Text>
Text ReadLocked(CCritLock& lock, const Text& field)
{
    CCritLockGuard guard(&lock);
    return field;
}

template <class Text>
void WriteLocked(CCritLock& lock, Text& field, const Text& value)
{
    CCritLockGuard guard(&lock);
    field = value;
}

std::wstring LocalAppDataFolder()
{
    PWSTR known = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known)) && known)
        folder = known;
    CoTaskMemFree(known);
    if (!folder.empty())
        return folder;
    const wchar_t* profile = _wgetenv(L"USERPROFILE");
    return std::wstring(profile ? profile : L"") + L"\\AppData\\Local";
}

// The profile functions keep a file that starts with the UTF-16 byte-order
// mark in UTF-16, and any other in the system's ANSI code page, which loses
// every folder name outside it (Chinese names on most systems). A file that
// exists already stays as it is.
void CreateUnicodeProfile(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const unsigned char byteOrderMark[] = {0xFF, 0xFE};
    DWORD written = 0;
    WriteFile(file, byteOrderMark, sizeof(byteOrderMark), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

std::string CSessionData::GetUserIdOrZero()
{
    std::string userId = ReadLocked(m_fieldLock, m_userId);
    return userId.empty() ? "0" : userId;
}

void CSessionData::SetUserId(const std::string& userId) { WriteLocked(m_fieldLock, m_userId, userId); }
std::string CSessionData::GetToken() { return ReadLocked(m_fieldLock, m_token); }
void CSessionData::SetToken(const std::string& token) { WriteLocked(m_fieldLock, m_token, token); }
std::string CSessionData::GetUsername() { return ReadLocked(m_fieldLock, m_username); }
void CSessionData::SetUsername(const std::string& username) { WriteLocked(m_fieldLock, m_username, username); }
std::string CSessionData::GetSoftwareId() { return ReadLocked(m_fieldLock, m_softwareId); }
void CSessionData::SetSoftwareId(const std::string& softwareId) { WriteLocked(m_fieldLock, m_softwareId, softwareId); }
std::string CSessionData::GetSoftwareUsername() { return ReadLocked(m_fieldLock, m_softwareUsername); }

void CSessionData::SetSoftwareUsername(const std::string& softwareUsername)
{
    WriteLocked(m_fieldLock, m_softwareUsername, softwareUsername);
}

std::string CSessionData::GetIsOverseas() { return ReadLocked(m_fieldLock, m_isOverseas); }
void CSessionData::SetIsOverseas(const std::string& isOverseas) { WriteLocked(m_fieldLock, m_isOverseas, isOverseas); }
bool CSessionData::GetIsFirst() { return ReadLocked(m_fieldLock, m_isFirst); }
void CSessionData::SetIsFirst(bool isFirst) { WriteLocked(m_fieldLock, m_isFirst, isFirst); }
std::wstring CSessionData::GetService() { return ReadLocked(m_fieldLock, m_service); }
void CSessionData::SetService(const std::wstring& service) { WriteLocked(m_fieldLock, m_service, service); }
std::wstring CSessionData::GetUploadPlugins() { return ReadLocked(m_fieldLock, m_uploadPlugins); }

void CSessionData::SetUploadPlugins(const std::wstring& uploadPlugins)
{
    WriteLocked(m_fieldLock, m_uploadPlugins, uploadPlugins);
}

uint32_t CSessionData::MakeReportCode(uint32_t reportType, uint32_t opType, uint32_t opStatus, uint32_t objectId)
{
    char text[32];
    snprintf(text, sizeof(text), "%s%u%u%u%u", "11", reportType, opType, opStatus, objectId);
    const unsigned long long value = strtoull(text, nullptr, 10);
    return value > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(value);
}

std::wstring CSessionData::GetConfigIniPath()
{
    CCritLockGuard guard(&m_fieldLock);
    if (m_configIniPath.empty()) {
        const std::wstring folder = LocalAppDataFolder() + L"\\calverinapp\\";
        CreateFolderTree(folder);
        m_configIniPath = folder + L"config.ini";
        CreateUnicodeProfile(m_configIniPath);
    }
    return m_configIniPath;
}

std::wstring CSessionData::ReadConfigValue(const wchar_t* sectionFormat, int id, const wchar_t* key)
{
    wchar_t section[32];
    swprintf(section, 32, sectionFormat, id);
    // Values longer than 511 characters are cut there.
    wchar_t value[512] = {};
    GetPrivateProfileStringW(section, key, L"", value, 512, GetConfigIniPath().c_str());
    return value;
}

std::wstring CSessionData::ReadInstallPath(const wchar_t* sectionFormat, int id)
{
    const std::wstring path = ReadConfigValue(sectionFormat, id, L"path");
    const std::wstring installPath = ReadConfigValue(sectionFormat, id, L"install_path");
    return installPath.empty() ? path : installPath;
}

std::wstring CSessionData::GetGamePath(int gameId) { return ReadConfigValue(L"game_%d", gameId, L"path"); }
std::wstring CSessionData::GetGameInstallPath(int gameId) { return ReadInstallPath(L"game_%d", gameId); }
std::wstring CSessionData::GetPluginPath(int pluginId) { return ReadConfigValue(L"plugin_%d", pluginId, L"path"); }
std::wstring CSessionData::GetPluginInstallPath(int pluginId) { return ReadInstallPath(L"plugin_%d", pluginId); }

void CSessionData::SetTask(DWORD threadId, volatile uint8_t* runFlag, const TaskItem& item)
{
    CCritLockGuard guard(&m_taskLock);
    m_tasks[threadId] = TaskEntry{runFlag, item};
}

void CSessionData::RemoveTask(DWORD threadId)
{
    CCritLockGuard guard(&m_taskLock);
    m_tasks.erase(threadId);
}

TaskFlagRef::TaskFlagRef(CCritLock& lock) : m_lock(&lock) { m_lock->Enter(); }

TaskFlagRef::TaskFlagRef(TaskFlagRef&& other) noexcept
    : m_lock(other.m_lock), m_flag(other.m_flag), m_threadId(other.m_threadId)
{
    other.m_lock = nullptr;
}

TaskFlagRef::~TaskFlagRef()
{
    if (m_lock)
        m_lock->Leave();
}

void TaskFlagRef::Clear() const
{
    if (m_flag)
        *m_flag = 0;
}

TaskFlagRef CSessionData::FindTaskFlag(DWORD threadId)
{
    TaskFlagRef found(m_taskLock);
    auto it = m_tasks.find(threadId);
    if (it != m_tasks.end()) {
        found.m_flag = it->second.runFlag;
        found.m_threadId = threadId;
    }
    return found;
}

TaskFlagRef CSessionData::FindTaskFlag(DWORD threadId, const TaskItem& item)
{
    TaskFlagRef found = FindTaskFlag(threadId);
    if (found && !(m_tasks.at(threadId).item == item)) {
        found.m_flag = nullptr;
        found.m_threadId = 0;
    }
    return found;
}

TaskFlagRef CSessionData::FindTaskFlag(const TaskItem& item)
{
    TaskFlagRef found(m_taskLock);
    for (const auto& [threadId, entry] : m_tasks) {
        if (entry.item == item) {
            found.m_flag = entry.runFlag;
            found.m_threadId = threadId;
            break;
        }
    }
    return found;
}

size_t CSessionData::GetTaskCount()
{
    CCritLockGuard guard(&m_taskLock);
    return m_tasks.size();
}

DWORD CSessionData::PopFirstTask()
{
    CCritLockGuard guard(&m_taskLock);
    if (m_tasks.empty())
        return 0;
    auto first = m_tasks.begin();
    const DWORD threadId = first->first;
    *first->second.runFlag = 0;
    m_tasks.erase(first);
    return threadId;
}

std::wstring CSessionData::GetDefaultGameIcon() { return L"/img/GameIconDef.png"; }
std::wstring CSessionData::GetDefaultPluginIcon() { return L"/img/PluginIconDef.png"; }
std::wstring CSessionData::GetDefaultCategoryIcon() { return L"/img/CategoryInfoIconDef.png"; }
std::wstring CSessionData::GetDefaultCategoryBigIcon() { return L"/img/CategoryInfoBigIconDef.png"; }
std::wstring CSessionData::GetDefaultCategorySlideIcon() { return L"/img/CategoryInfoSlideIconDef.png"; }
std::wstring CSessionData::GetDefaultCategoryLogoIcon() { return L"/img/CategoryInfoLogoIconDef.png"; }
std::wstring CSessionData::GetDefaultCategoryBgIcon() { return L"/img/CategoryInfoBgIconDef.png"; }

std::wstring CSessionData::GetJiasuqiIcon(const std::wstring& softwareId)
{
    if (softwareId == L"1")
        return L"/img/ostrel.png";
    if (softwareId == L"2")
        return L"/img/pellinor.png";
    return L"/img/tamsk.png";
}
