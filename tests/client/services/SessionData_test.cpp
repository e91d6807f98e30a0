// The session object as the GUI thread and the workers share it.
#include "services/SessionData.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

TEST(SessionFields, EmptyUserIdReadsAsZeroAndEveryFieldKeepsWhatWasSet)
{
    CSessionData session;
    EXPECT_EQ(session.GetUserIdOrZero(), "0");
    EXPECT_FALSE(session.GetIsFirst());

    session.SetUserId("4711");
    session.SetToken("tk");
    session.SetUsername("13800000000");
    session.SetSoftwareId("2");
    session.SetSoftwareUsername("acc");
    session.SetIsOverseas("1");
    session.SetIsFirst(true);
    session.SetService(L"https://help/服务");
    session.SetUploadPlugins(L"https://upload");
    EXPECT_EQ(session.GetUserIdOrZero(), "4711");
    EXPECT_EQ(session.GetToken(), "tk");
    EXPECT_EQ(session.GetUsername(), "13800000000");
    EXPECT_EQ(session.GetSoftwareId(), "2");
    EXPECT_EQ(session.GetSoftwareUsername(), "acc");
    EXPECT_EQ(session.GetIsOverseas(), "1");
    EXPECT_TRUE(session.GetIsFirst());
    EXPECT_EQ(session.GetService(), L"https://help/服务");
    EXPECT_EQ(session.GetUploadPlugins(), L"https://upload");
}

// A sign-in worker replaces the token while request workers read it: every read
// must give one whole value, never a torn or freed one. Both fields hold one of
// the written values before any reader starts, so that anything else is a torn
// read and not the empty field of a reader that came first.
TEST(SessionFields, ConcurrentWritersAndReadersSeeOnlyWholeValues)
{
    CSessionData session;
    const std::string first(300, 'a'), second(700, 'b');
    session.SetToken(first);
    session.SetService(L"x");
    std::atomic<bool> torn{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                session.SetToken(i % 2 ? first : second);
                session.SetService(i % 2 ? L"x" : std::wstring(500, L'y'));
            }
        });
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                const std::string token = session.GetToken();
                if (token != first && token != second)
                    torn = true;
                const std::wstring service = session.GetService();
                if (service != L"x" && service != std::wstring(500, L'y'))
                    torn = true;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_FALSE(torn);
}

TEST(ClientId, ThirtyTwoLowerCaseHexDigitsTheSameForEveryComputation)
{
    CSessionData once;
    const std::string id = once.GetClientUuid();
    ASSERT_EQ(id.size(), 32u);
    EXPECT_TRUE(std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
    })) << id;

    // A fresh session computes it again, here from several threads at once.
    CSessionData fresh;
    std::vector<std::string> seen(8);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < seen.size(); ++t)
        threads.emplace_back([&, t] { seen[t] = fresh.GetClientUuid(); });
    for (auto& thread : threads)
        thread.join();
    for (const std::string& other : seen)
        EXPECT_EQ(other, id);
}

TEST(ReportCode, DigitsElevenAndTheFourNumbersCappedAtTheLargestValue)
{
    struct Case
    {
        uint32_t reportType, opType, opStatus, objectId, code;
    };
    const Case cases[] = {
        {0, 0, 1, 0, 110010}, {0, 1, 1, 0, 110110}, {1, 2, 0, 37, 1112037}, {3, 2, 2, 4294967295u, 4294967295u},
        {1, 4, 1, 9, 111419},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CSessionData::MakeReportCode(c.reportType, c.opType, c.opStatus, c.objectId), c.code)
            << c.reportType << c.opType << c.opStatus << " " << c.objectId;
}

TEST(TaskRegistry, PopsInThreadIdOrderAndClearsEachFlag)
{
    CSessionData session;
    volatile uint8_t flags[3] = {1, 1, 1};
    session.SetTask(900, &flags[0]);
    session.SetTask(12, &flags[1]);
    session.SetTask(4000, &flags[2]);
    EXPECT_EQ(session.GetTaskCount(), 3u);

    EXPECT_EQ(session.PopFirstTask(), 12u);
    EXPECT_EQ(flags[1], 0);
    EXPECT_EQ(flags[0], 1);
    EXPECT_EQ(session.PopFirstTask(), 900u);
    EXPECT_EQ(session.PopFirstTask(), 4000u);
    EXPECT_EQ(session.PopFirstTask(), 0u);
    EXPECT_EQ(session.GetTaskCount(), 0u);
    EXPECT_EQ(flags[0] + flags[2], 0);
}

TEST(TaskRegistry, CancelReachesOnlyRegisteredTasks)
{
    CSessionData session;
    volatile uint8_t older = 1, newer = 1;
    session.SetTask(7, &older, TaskItem{1, L"30"});
    session.SetTask(7, &newer, TaskItem{1, L"31"});  // the same worker id registers again
    EXPECT_EQ(session.GetTaskCount(), 1u);
    {
        const TaskFlagRef flag = session.FindTaskFlag(7);
        ASSERT_TRUE(flag);
        EXPECT_EQ(flag.ThreadId(), 7u);
        flag.Clear();
    }
    EXPECT_EQ(newer, 0);
    EXPECT_EQ(older, 1);

    // A task that has ended removed itself first; its record is then beyond
    // reach, so a late cancel writes nothing.
    volatile uint8_t ended = 1;
    session.SetTask(8, &ended);
    session.RemoveTask(8);
    EXPECT_FALSE(session.FindTaskFlag(8));
    session.FindTaskFlag(8).Clear();
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(session.FindTaskFlag(9));
    EXPECT_EQ(session.FindTaskFlag(9).ThreadId(), 0u);
}

// A thread id kept from an ended task may name another item's task by now:
// found with its item, only that item's task stops.
TEST(TaskRegistry, AFlagFoundWithItsItemIsOnlyThatItemsTask)
{
    CSessionData session;
    volatile uint8_t game = 1, plugin = 1;
    session.SetTask(40, &game, TaskItem{1, L"30"});
    session.SetTask(12, &plugin, TaskItem{2, L"30"});

    session.FindTaskFlag(40, TaskItem{2, L"30"}).Clear();
    session.FindTaskFlag(40, TaskItem{1, L"31"}).Clear();
    EXPECT_EQ(game, 1);
    session.FindTaskFlag(40, TaskItem{1, L"30"}).Clear();
    EXPECT_EQ(game, 0);

    EXPECT_EQ(session.FindTaskFlag(TaskItem{2, L"30"}).ThreadId(), 12u);
    EXPECT_EQ(session.FindTaskFlag(TaskItem{1, L"30"}).ThreadId(), 40u);
    EXPECT_FALSE(session.FindTaskFlag(TaskItem{3, L"30"}));
    EXPECT_EQ(plugin, 1);
}

namespace {
// Sections written into the real config.ini for one test and removed again.
class ConfigSections
{
public:
    explicit ConfigSections(std::wstring path) : m_path(std::move(path)) {}
    ~ConfigSections()
    {
        for (const std::wstring& section : m_sections)
            WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, m_path.c_str());
    }
    void Set(const std::wstring& section, const wchar_t* key, const std::wstring& value)
    {
        m_sections.insert(section);
        ASSERT_TRUE(WritePrivateProfileStringW(section.c_str(), key, value.c_str(), m_path.c_str()));
    }

private:
    std::wstring m_path;
    std::set<std::wstring> m_sections;
};
}  // namespace

TEST(ConfigIni, LivesInLocalAppDataAndIsFoundOnce)
{
    CSessionData session;
    const std::wstring path = session.GetConfigIniPath();
    const std::wstring tail = L"\\calverinapp\\config.ini";
    ASSERT_GT(path.size(), tail.size());
    EXPECT_EQ(path.substr(path.size() - tail.size()), tail);
    const std::wstring folder = path.substr(0, path.size() - std::wstring(L"config.ini").size());
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(session.GetConfigIniPath(), path);
}

TEST(ConfigIni, FolderReadersFallBackFromInstallPathToPath)
{
    CSessionData session;
    ConfigSections config(session.GetConfigIniPath());
    config.Set(L"game_9101", L"path", L"D:\\下载\\game");
    config.Set(L"game_9102", L"path", L"D:\\dl");
    config.Set(L"game_9102", L"install_path", L"E:\\游戏");
    config.Set(L"game_9103", L"install_path", L"");
    config.Set(L"game_9103", L"path", L"F:\\only");
    config.Set(L"plugin_9101", L"path", L"G:\\plug");
    config.Set(L"plugin_9101", L"install_path", L"H:\\plug");
    config.Set(L"plugin_9102", L"path", std::wstring(600, L'p'));

    struct Case
    {
        std::wstring value, expected;
    };
    const Case cases[] = {
        {session.GetGamePath(9101), L"D:\\下载\\game"},
        {session.GetGameInstallPath(9101), L"D:\\下载\\game"},
        {session.GetGamePath(9102), L"D:\\dl"},
        {session.GetGameInstallPath(9102), L"E:\\游戏"},
        {session.GetGameInstallPath(9103), L"F:\\only"},
        {session.GetPluginPath(9101), L"G:\\plug"},
        {session.GetPluginInstallPath(9101), L"H:\\plug"},
        {session.GetPluginPath(9102), std::wstring(511, L'p')},
        {session.GetGamePath(9199), L""},
        {session.GetGameInstallPath(9199), L""},
        {session.GetPluginInstallPath(9101 + 1000), L""},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].value, cases[i].expected) << "case " << i;
}

TEST(DefaultPictures, AcceleratorPicturesByBrandWithTheThirdForEveryOtherId)
{
    EXPECT_EQ(CSessionData::GetJiasuqiIcon(L"1"), L"/img/ostrel.png");
    EXPECT_EQ(CSessionData::GetJiasuqiIcon(L"2"), L"/img/pellinor.png");
    for (const wchar_t* other : {L"3", L"7", L"", L"02"})
        EXPECT_EQ(CSessionData::GetJiasuqiIcon(other), L"/img/tamsk.png") << other;
}
