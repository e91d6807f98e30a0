// The launcher games against the reference web service: the catalogue's
// installer program fetched over real HTTPS, checked, run as a real process and
// waited for, with the results arriving on a real window.
// First: it brings libcurl's winsock2.h, which must come before windows.h.
#include "services/LauncherSetupWorkers.h"

#include "services/CatalogueWorkers.h"
#include "services/FileUtil.h"
#include "RecordingWnd.h"
#include "RefService.h"
#include "ScratchFolder.h"
#include "services/TextConvert.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <string>
#include <vector>

namespace {
CRecordingWnd* g_testMainWnd = nullptr;

const char kDemoToken[] = "5f0c2a9e7b1d4c38a6e2f9d1b0c7a345";
const char kReportPath[] = "/Box/Server/boxReport";

bool IsProgress(const ReceivedCall& call) { return call.handler.find("Progress") != std::string::npos; }

std::vector<std::string> ResultHandlers(const CallLog& calls)
{
    std::vector<std::string> names;
    for (const ReceivedCall& call : calls)
        if (!IsProgress(call))
            names.push_back(call.handler);
    return names;
}

class LauncherSetupWorkersTest : public testing::Test
{
protected:
    void SetUp() override
    {
        RefService::Reset();
        g_sessionData.SetToken(kDemoToken);
        g_testMainWnd = &m_window;
    }
    void TearDown() override
    {
        g_testMainWnd = nullptr;
        g_sessionData.SetToken("");
        for (const wchar_t* section : {L"game_13", L"game_16"})
            WritePrivateProfileStringW(section, nullptr, nullptr, g_sessionData.GetConfigIniPath().c_str());
    }

    // The launcher game of the service's catalogue, its download folder set
    // as the main window sets it before the start.
    GameInfo LauncherGame(const std::wstring& categoryId, const std::wstring& gameId)
    {
        const std::wstring folder = m_scratch.File(L"download-" + gameId + L"\\");
        CreateDirectoryW(folder.c_str(), nullptr);
        WritePrivateProfileStringW((L"game_" + gameId).c_str(), L"path", folder.c_str(),
                                   g_sessionData.GetConfigIniPath().c_str());

        CategoryInfo category;
        category.category_id = categoryId;
        CallLog list;
        CRecordingWnd listWindow(&list);
        g_testMainWnd = &listWindow;
        listWindow.Threads().StartThread(&GetGamesThread<g_testMainWnd>, new CategoryInfo(category));
        EXPECT_TRUE(listWindow.WaitForCalls(1));
        g_testMainWnd = &m_window;

        Json::Value games;
        GameInfo game;
        if (list.empty() || !Json::Reader().parse(list[0].bytes, games))
            return game;
        for (const Json::Value& entry : games)
            if (entry["game_id"].asString() == WideToUtf8(gameId)) {
                game.game_id = gameId;
                game.name = Utf8ToWide(entry["name"].asString());
                game.file_url = entry["file_url"].asString();
                game.file_md5 = entry["file_md5"].asString();
                game.file_url_type = entry["file_url_type"].asString();
                game.cdn_url_type = entry["cdn_url_type"].asString();
            }
        return game;
    }

    std::wstring LocalInstaller(const GameInfo& game)
    {
        return m_scratch.File(L"download-" + game.game_id + L"\\") + GetFileNamePart(Utf8ToWide(game.file_url));
    }

    DWORD Start(CWindowMultiThreadManager::ThreadProc worker, const GameInfo& game)
    {
        m_calls.clear();
        const DWORD id = m_window.Threads().StartThread(worker, new GameInfo(game));
        EXPECT_NE(id, 0u);
        return id;
    }

    void Finish(DWORD id)
    {
        while (m_window.Threads().GetThreadProc(id))
            m_window.WaitForCalls(SIZE_MAX, 20);
        m_window.WaitForCalls(SIZE_MAX, 50);
    }

    ScratchFolder m_scratch;
    CallLog m_calls;
    CRecordingWnd m_window{&m_calls};
};
}  // namespace

TEST_F(LauncherSetupWorkersTest, RunsTheCheckedInstallerAndQueuesTheLauncherOnlyAfterItHasEnded)
{
    struct Case
    {
        const wchar_t* category;
        const wchar_t* game;
        CWindowMultiThreadManager::ThreadProc worker;
        const char* launcherDone;
    };
    const Case cases[] = {
        {L"3", L"13", &NexonLauncherSetupThread<g_testMainWnd>, "OnNexonLauncherDone"},
        {L"4", L"16", &ReflectionLauncherSetupThread<g_testMainWnd>, "OnReflectionLauncherDone"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.launcherDone);
        RefService::Reset();
        const GameInfo game = LauncherGame(c.category, c.game);
        ASSERT_EQ(game.game_id, c.game);
        ASSERT_EQ(game.file_md5.size(), 32u) << "the service serves the built installer";
        const std::wstring marker = LocalInstaller(game) + L".installed";

        const DWORD id = Start(c.worker, game);
        ASSERT_TRUE(m_window.WaitForCalls(3));
        while (ResultHandlers(m_calls).size() < 3 && m_window.WaitForCalls(m_calls.size() + 1)) {
        }
        // The installer writes its mark just before it ends, some time after its
        // start: the launcher call must not come before that.
        EXPECT_TRUE(FileExists(marker));
        EXPECT_EQ(ResultHandlers(m_calls),
                  (std::vector<std::string>{"OnGameDownloadDone", "OnGameVerifyDone", c.launcherDone}));
        EXPECT_EQ(m_calls.back().itemId, c.game);
        Finish(id);
        EXPECT_EQ(g_sessionData.GetTaskCount(), 0u);

        // Only the start is reported.
        const Json::Value reports = RefService::Journal(kReportPath);
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(RefService::BodyValue(reports[0], "object_id"), WideToUtf8(c.game));
        EXPECT_EQ(RefService::BodyValue(reports[0], "op_status"), "0");
    }
}

TEST_F(LauncherSetupWorkersTest, NoInstallerRunsAfterABadDigest)
{
    GameInfo game = LauncherGame(L"3", L"13");
    const std::wstring marker = LocalInstaller(game) + L".installed";

    // A digest that differs: the installer stays on disk, unstarted.
    GameInfo wrong = game;
    wrong.file_md5 = std::string(32, '0');
    Finish(Start(&NexonLauncherSetupThread<g_testMainWnd>, wrong));
    EXPECT_EQ(ResultHandlers(m_calls), (std::vector<std::string>{"OnGameDownloadDone", "OnGameVerifyFailed"}));
    EXPECT_TRUE(FileExists(LocalInstaller(game)));
    EXPECT_FALSE(FileExists(marker));
}

TEST_F(LauncherSetupWorkersTest, PackageThatIsNoProgramStillLeadsToTheLauncherCheck)
{
    const std::string notAProgram = "this is no program";
    const Json::Value served = RefService::AddFile("installers/broken_setup.exe", notAProgram);
    GameInfo game = LauncherGame(L"4", L"16");
    game.file_url = served["url"].asString();
    game.file_md5 = served["md5"].asString();

    Finish(Start(&ReflectionLauncherSetupThread<g_testMainWnd>, game));
    EXPECT_EQ(ResultHandlers(m_calls),
              (std::vector<std::string>{"OnGameDownloadDone", "OnGameVerifyDone", "OnReflectionLauncherDone"}));
}

TEST_F(LauncherSetupWorkersTest, ClosingTheWindowEndsTheWaitForTheInstaller)
{
    const GameInfo game = LauncherGame(L"3", L"13");
    Start(&NexonLauncherSetupThread<g_testMainWnd>, game);
    while (m_calls.empty() || m_calls.back().handler != "OnGameVerifyDone")
        ASSERT_TRUE(m_window.WaitForCalls(m_calls.size() + 1));

    m_window.Threads().TerminateAll();
    // The installer is still at work: the worker has not waited for its end.
    EXPECT_FALSE(FileExists(LocalInstaller(game) + L".installed"));
    EXPECT_EQ(g_sessionData.GetTaskCount(), 0u);
    EXPECT_FALSE(m_window.WaitForCalls(m_calls.size() + 1, 200));
    Sleep(1500);  // lets the installer end before its folder goes
}
