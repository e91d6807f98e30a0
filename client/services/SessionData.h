#pragma once
// The signed-in user's session, the settings that several windows and workers
// share, and the registry of running download tasks. One process-wide
// instance, g_sessionData, used by the GUI thread and every worker.

#include "services/CritLock.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

// The item a task works on: its kind (1 game, 2 plug-in, 3 accelerator) and
// its id text. Kind 0 is no item (tasks registered without one).
struct TaskItem
{
    int32_t kind = 0;
    std::wstring id;
    auto operator<=>(const TaskItem&) const = default;
    bool operator==(const TaskItem&) const = default;
};

// A registered task's run flag, found under the registry's lock, which it
// holds for as long as it lives: the task cannot remove its entry and free
// its record in between. Keep it for the write only.
class TaskFlagRef
{
public:
    TaskFlagRef(TaskFlagRef&& other) noexcept;
    TaskFlagRef(const TaskFlagRef&) = delete;
    TaskFlagRef& operator=(const TaskFlagRef&) = delete;
    TaskFlagRef& operator=(TaskFlagRef&&) = delete;
    ~TaskFlagRef();

    explicit operator bool() const { return m_flag != nullptr; }
    // The task's thread id; 0 when no task was found.
    DWORD ThreadId() const { return m_threadId; }
    // The task stops at its next check; nothing when no task was found.
    void Clear() const;

private:
    friend class CSessionData;
    explicit TaskFlagRef(CCritLock& lock);

    CCritLock* m_lock;
    volatile uint8_t* m_flag = nullptr;
    DWORD m_threadId = 0;
};

class CSessionData
{
public:
    CSessionData() = default;
    CSessionData(const CSessionData&) = delete;
    CSessionData& operator=(const CSessionData&) = delete;

    // The user's fields; byte strings hold UTF-8. Every accessor takes the
    // field lock, as sign-in workers write while request workers read.
    std::string GetUserIdOrZero();  // "0" while no user id is stored
    void SetUserId(const std::string& userId);
    std::string GetToken();
    void SetToken(const std::string& token);
    std::string GetUsername();
    void SetUsername(const std::string& username);
    std::string GetSoftwareId();
    void SetSoftwareId(const std::string& softwareId);
    std::string GetSoftwareUsername();
    void SetSoftwareUsername(const std::string& softwareUsername);
    std::string GetIsOverseas();
    void SetIsOverseas(const std::string& isOverseas);
    bool GetIsFirst();
    void SetIsFirst(bool isFirst);

    // The web service's configuration.
    std::wstring GetService();
    void SetService(const std::wstring& service);
    std::wstring GetUploadPlugins();
    void SetUploadPlugins(const std::wstring& uploadPlugins);

    // 32 lower-case hexadecimal digits made from the machine's facts; computed
    // once per process.
    std::string GetClientUuid();

    // The client's own request header lines, built from the current user id
    // and client id.
    std::string BuildRequestHeaders();
    // The address to download the file at url from; cdnUrlType "0" gives url
    // itself without a request. Empty on failure, whose messages are queued on
    // the main window that MainWnd points to. Defined in RequestProtocol.h.
    template <auto& MainWnd>
    std::string GetEncryLink(const std::string& url, const std::wstring& cdnUrlType);

    // "11" followed by the four numbers in decimal, read back as a number;
    // 4294967295 when that text is larger.
    static uint32_t MakeReportCode(uint32_t reportType, uint32_t opType, uint32_t opStatus, uint32_t objectId);

    // config.ini in the user's local application data; its folder is made on
    // the first call and the path is kept for the process.
    std::wstring GetConfigIniPath();
    // Download folder ("path") and install folder ("install_path", else
    // "path") of the section "game_%d" or "plugin_%d"; empty when missing.
    std::wstring GetGamePath(int gameId);
    std::wstring GetGameInstallPath(int gameId);
    std::wstring GetPluginPath(int pluginId);
    std::wstring GetPluginInstallPath(int pluginId);

    // Task registry: worker thread id -> the run flag inside the task's
    // progress record. A flag is written only under the registry's lock and a
    // task removes its entry before it frees the record, so a cancel never
    // writes into a freed record.
    void SetTask(DWORD threadId, volatile uint8_t* runFlag, const TaskItem& item = TaskItem());
    void RemoveTask(DWORD threadId);
    // The run flag of the task on that thread; none when no such task is
    // registered, or when that task works on another item than the one
    // given: thread ids are reused, so an id kept from an ended task may
    // name another item's task by now.
    TaskFlagRef FindTaskFlag(DWORD threadId);
    TaskFlagRef FindTaskFlag(DWORD threadId, const TaskItem& item);
    // The run flag of the item's registered task; none when none is.
    TaskFlagRef FindTaskFlag(const TaskItem& item);
    size_t GetTaskCount();
    // Takes the task with the smallest thread id out of the registry, clears
    // its run flag and returns its id; 0 when the registry is empty.
    DWORD PopFirstTask();

    // Skin pictures that stand in for item pictures that are not cached.
    static std::wstring GetDefaultGameIcon();
    static std::wstring GetDefaultPluginIcon();
    static std::wstring GetDefaultCategoryIcon();
    static std::wstring GetDefaultCategoryBigIcon();
    static std::wstring GetDefaultCategorySlideIcon();
    static std::wstring GetDefaultCategoryLogoIcon();
    static std::wstring GetDefaultCategoryBgIcon();
    static std::wstring GetJiasuqiIcon(const std::wstring& softwareId);

private:
    std::wstring ReadConfigValue(const wchar_t* sectionFormat, int id, const wchar_t* key);
    std::wstring ReadInstallPath(const wchar_t* sectionFormat, int id);

    CCritLock m_fieldLock;
    std::string m_userId;
    std::string m_clientUuid;
    std::string m_token;
    std::string m_username;
    std::string m_softwareId;
    std::string m_softwareUsername;
    std::string m_isOverseas;
    bool m_isFirst = false;
    std::wstring m_service;
    std::wstring m_uploadPlugins;
    std::wstring m_configIniPath;

    struct TaskEntry
    {
        volatile uint8_t* runFlag = nullptr;
        TaskItem item;
    };
    CCritLock m_taskLock;
    std::map<DWORD, TaskEntry> m_tasks;
};

extern CSessionData g_sessionData;
