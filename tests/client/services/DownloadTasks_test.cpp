// The download tasks against the reference web service: packages served from
// its file store over real HTTPS, real ZIP archives unpacked into scratch
// folders, and the results arriving on a real window that stands in for the
// main window.
#include "services/AppFolder.h"
#include "services/BuildSettings.h"
#include "services/DownloadTasks.h"
#include "services/FileUtil.h"
#include "services/Md5A.h"
#include "ProgramFolder.h"
#include "RecordingWnd.h"
#include "RefService.h"
#include "ScratchFolder.h"
#include "ZipWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {
CRecordingWnd* g_testMainWnd = nullptr;

const char kDemoToken[] = "5f0c2a9e7b1d4c38a6e2f9d1b0c7a345";
const char kReportPath[] = "/Box/Server/boxReport";
const char kLinkPath[] = "/Box/Game/getEncryLink";
const char kPassword[] = "s3cret-Pwd";

// Bytes that do not compress, so that a throttled transfer takes its time.
std::string NoiseBytes(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        seed = seed * 1103515245 + 12345;
        byte = static_cast<char>(seed >> 16);
    }
    return bytes;
}

// A password-protected game package: a program, a data file in a sub-folder,
// a file whose name the packer wrote in the GBK code page ("存档/说明.txt") and
// a large stored entry that gives the transfer its length.
std::string GamePackage(size_t bulkSize = 150 * 1024)
{
    std::vector<ZipWriterEntry> entries(4);
    entries[0].name = "game.exe";
    entries[0].data = "MZ demo program";
    entries[1].name = "data/level1.dat";
    entries[1].data = std::string(4000, 'L');
    entries[1].deflate = true;
    entries[2].name = "data/bulk.bin";
    entries[2].data = NoiseBytes(bulkSize, 7);
    entries[3].name = "\xB4\xE6\xB5\xB5/\xCB\xB5\xC3\xF7.txt";
    entries[3].data = "readme";
    for (ZipWriterEntry& entry : entries)
        entry.password = kPassword;
    return BuildZip(entries);
}

struct ServedFile
{
    std::string url;
    std::string md5;
    std::string bytes;
};

ServedFile Serve(const std::string& name, const std::string& bytes)
{
    const Json::Value answer = RefService::AddFile(name, bytes);
    return {answer["url"].asString(), answer["md5"].asString(), bytes};
}

std::string FilePath(const std::string& url) { return url.substr(url.find("/files/")); }

// The reports in arrival order as "type,operation,status,id".
std::vector<std::string> Reports()
{
    std::vector<std::string> reports;
    for (const Json::Value& entry : RefService::Journal(kReportPath))
        reports.push_back(RefService::BodyValue(entry, "report_type") + "," + RefService::BodyValue(entry, "op_type") +
                          "," + RefService::BodyValue(entry, "op_status") + "," +
                          RefService::BodyValue(entry, "object_id"));
    return reports;
}

// The GET requests of a served file.
std::vector<Json::Value> Gets(const ServedFile& file)
{
    std::vector<Json::Value> gets;
    for (const Json::Value& entry : RefService::Journal(FilePath(file.url)))
        if (entry["method"].asString() == "GET")
            gets.push_back(entry);
    return gets;
}

bool IsProgress(const ReceivedCall& call) { return call.handler.find("Progress") != std::string::npos; }

std::vector<std::string> ResultHandlers(const CallLog& calls)
{
    std::vector<std::string> names;
    for (const ReceivedCall& call : calls)
        if (!IsProgress(call))
            names.push_back(call.handler);
    return names;
}

std::vector<std::string> AllHandlers(const CallLog& calls)
{
    std::vector<std::string> names;
    for (const ReceivedCall& call : calls)
        names.push_back(call.handler);
    return names;
}

size_t CountOf(const CallLog& calls, const std::string& handler)
{
    return std::count_if(calls.begin(), calls.end(), [&](const ReceivedCall& call) { return call.handler == handler; });
}

GameInfo MakeGame(const std::wstring& id, const ServedFile& file)
{
    GameInfo game;
    game.game_id = id;
    game.name = L"星海征途";
    game.file_url = file.url;
    game.file_md5 = file.md5;
    game.zip_pwd = kPassword;
    game.file_url_type = "1";
    game.cdn_url_type = "1";
    return game;
}

void ResetPostTicks()
{
    g_lastDownloadPostTick = 0;
    g_lastMd5PostTick = 0;
    g_lastUnzipPostTick = 0;
}

class DownloadTasksTest : public testing::Test
{
protected:
    void SetUp() override
    {
        RefService::Reset();
        g_sessionData.SetToken(kDemoToken);
        g_testMainWnd = &m_window;
        ResetPostTicks();
        ASSERT_TRUE(CreateFolderTree(DownloadFolder()));
    }
    void TearDown() override
    {
        g_testMainWnd = nullptr;
        g_sessionData.SetToken("");
        for (const std::wstring& section : m_sections)
            WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, g_sessionData.GetConfigIniPath().c_str());
    }

public:
    std::wstring DownloadFolder() const { return m_scratch.File(L"download\\"); }
    std::wstring InstallFolder() const { return m_scratch.File(L"install\\"); }

    // The folders of section "game_%d" or "plugin_%d" as the main window
    // writes them before it starts a task.
    void SetFolders(const std::wstring& section, const std::wstring& path, const std::wstring& installPath)
    {
        const std::wstring ini = g_sessionData.GetConfigIniPath();
        WritePrivateProfileStringW(section.c_str(), L"path", path.c_str(), ini.c_str());
        WritePrivateProfileStringW(section.c_str(), L"install_path", installPath.c_str(), ini.c_str());
        m_sections.push_back(section);
    }

protected:
    DWORD Start(CWindowMultiThreadManager::ThreadProc worker, void* param)
    {
        const DWORD id = m_window.Threads().StartThread(worker, param);
        EXPECT_NE(id, 0u);
        return id;
    }

    // Runs the window until the worker has returned and its calls have run.
    void Finish(DWORD id)
    {
        while (m_window.Threads().GetThreadProc(id))
            m_window.WaitForCalls(SIZE_MAX, 20);
        m_window.WaitForCalls(SIZE_MAX, 50);
    }

    const CallLog& Run(CWindowMultiThreadManager::ThreadProc worker, void* param)
    {
        Finish(Start(worker, param));
        return m_calls;
    }

    const CallLog& RunGame(const GameInfo& game) { return Run(&DownloadGameThread<g_testMainWnd>, new GameInfo(game)); }

    // Runs the window until a call satisfies the condition; false when the
    // worker ended first.
    bool RunUntil(DWORD id, const std::function<bool(const ReceivedCall&)>& condition)
    {
        for (;;) {
            m_window.WaitForCalls(SIZE_MAX, 20);
            if (std::any_of(m_calls.begin(), m_calls.end(), condition))
                return true;
            if (!m_window.Threads().GetThreadProc(id))
                return false;
        }
    }

    ScratchFolder m_scratch;
    ScopedProgramFolder m_programFolder;
    std::vector<std::wstring> m_sections;
    CallLog m_calls;
    CRecordingWnd m_window{&m_calls};
};
}  // namespace

TEST_F(DownloadTasksTest, GamePackageCancelledHalfwayResumesWithARangeAndInstallsWithItsPassword)
{
    SetFolders(L"game_7", DownloadFolder(), InstallFolder());
    const ServedFile package = Serve("games/starsea.zip", GamePackage());
    const GameInfo game = MakeGame(L"7", package);
    const std::wstring localFile = DownloadFolder() + L"starsea.zip";

    // A slow transfer, cancelled as the user would once part of it is there.
    Json::Value throttle = RefService::Fault(FilePath(package.url), "throttle");
    throttle["rate"] = 48 * 1024;
    RefService::AddFault(throttle);
    const DWORD first = Start(&DownloadGameThread<g_testMainWnd>, new GameInfo(game));
    ASSERT_TRUE(RunUntil(first, [](const ReceivedCall& call) { return IsProgress(call) && call.progress.done > 0; }));
    EXPECT_EQ(g_sessionData.GetTaskCount(), 1u);
    {
        const TaskFlagRef flag = g_sessionData.FindTaskFlag(first);
        EXPECT_TRUE(flag);
        flag.Clear();
    }
    Finish(first);

    for (const ReceivedCall& call : m_calls) {
        EXPECT_EQ(call.handler, "OnGameDownloadProgress");
        EXPECT_EQ(call.itemId, L"7");
        EXPECT_EQ(call.progress.kind, 1);
        EXPECT_EQ(call.progress.thread_id, first);
        EXPECT_EQ(call.progress.total, package.bytes.size());
    }
    EXPECT_EQ(g_sessionData.GetTaskCount(), 0u);
    EXPECT_EQ(Reports(), (std::vector<std::string>{"1,2,0,7"}));
    const std::string partial = ScratchFolder::ReadFile(localFile);
    ASSERT_GT(partial.size(), 0u);
    ASSERT_LT(partial.size(), package.bytes.size());
    EXPECT_EQ(partial, package.bytes.substr(0, partial.size()));
    EXPECT_EQ(RefService::Journal(kLinkPath).size(), 1u);

    // Started again: the rest of the file only, then the check and the unpacking.
    RefService::Reset();
    Serve("games/starsea.zip", package.bytes);
    ResetPostTicks();
    m_calls.clear();
    const CallLog& calls = RunGame(game);

    const std::vector<Json::Value> gets = Gets(package);
    ASSERT_EQ(gets.size(), 1u);
    EXPECT_EQ(RefService::Header(gets[0], "Range"), "bytes=" + std::to_string(partial.size()) + "-");
    EXPECT_EQ(ScratchFolder::ReadFile(localFile), package.bytes);
    EXPECT_EQ(AllHandlers(calls),
              (std::vector<std::string>{"OnGameDownloadProgress", "OnGameDownloadDone", "OnGameVerifyProgress",
                                        "OnGameVerifyDone", "OnGameUnzipProgress", "OnGameInstallDone"}));
    for (const ReceivedCall& call : calls)
        EXPECT_EQ(call.itemId, L"7") << call.handler;
    EXPECT_FALSE(calls[3].hasText);
    EXPECT_FALSE(calls[5].hasText);

    EXPECT_EQ(ScratchFolder::ReadFile(InstallFolder() + L"game.exe"), "MZ demo program");
    EXPECT_EQ(ScratchFolder::ReadFile(InstallFolder() + L"data\\level1.dat"), std::string(4000, 'L'));
    EXPECT_EQ(ScratchFolder::ReadFile(InstallFolder() + L"data\\bulk.bin").size(), 150u * 1024);
    EXPECT_EQ(ScratchFolder::ReadFile(InstallFolder() + L"存档\\说明.txt"), "readme");
    // A good download and a good digest are not reported; a good installation is.
    EXPECT_EQ(Reports(), (std::vector<std::string>{"1,2,0,7", "1,4,1,7"}));
    EXPECT_EQ(RefService::BodyValue(RefService::Journal(kReportPath)[1], "token"), kDemoToken);
    const Json::Value links = RefService::Journal(kLinkPath);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(RefService::BodyValue(links[0], "cdn_url_type"), "1");
    EXPECT_EQ(g_sessionData.GetTaskCount(), 0u);
}

// Each way a game task can fail ends in that failure's handler with its text,
// never in a success call, and sends the failure's report (none for the
// address and the size probe).
TEST_F(DownloadTasksTest, EveryFailureEndsInItsHandlerWithItsText)
{
    const std::string goodPackage = GamePackage(20 * 1024);
    struct Case
    {
        const char* what;
        std::function<GameInfo(DownloadTasksTest&)> arrange;
        const char* handler;
        const wchar_t* text;  // null: no message
        std::vector<std::string> reports;
    };
    const std::vector<Case> cases = {
        {"digest differs",
         [&](DownloadTasksTest&) {
             GameInfo game = MakeGame(L"21", Serve("a.zip", goodPackage));
             game.file_md5 = CMd5A().GetStringMd5("something else");
             return game;
         },
         "OnGameVerifyFailed",
         L"校验失败！",
         {"1,2,0,21", "1,3,2,21"}},
        {"package missing (404)",
         [&](DownloadTasksTest&) {
             ServedFile missing{std::string("https://") + CALVERIN_API_HOST + "/files/missing.zip", "", ""};
             return MakeGame(L"21", missing);
         },
         "OnGameDownloadFailed",
         L"文件大小获取失败！",
         {"1,2,0,21"}},
        {"package of size 0",
         [&](DownloadTasksTest&) { return MakeGame(L"21", Serve("empty.zip", "")); },
         "OnGameDownloadFailed",
         L"文件大小获取失败！",
         {"1,2,0,21"}},
        {"download address refused",
         [&](DownloadTasksTest&) {
             g_sessionData.SetToken("ffffffffffffffffffffffffffffffff");
             return MakeGame(L"21", Serve("a.zip", goodPackage));
         },
         "OnGameDownloadFailed",
         nullptr,
         {"1,2,0,21"}},
        {"transfer cut off",
         [&](DownloadTasksTest&) {
             const ServedFile file = Serve("a.zip", goodPackage);
             RefService::AddFault(RefService::Fault(FilePath(file.url), "truncate"));
             return MakeGame(L"21", file);
         },
         "OnGameDownloadFailed",
         L"下载出错！",
         {"1,2,0,21", "1,2,2,21"}},
        {"server error on the transfer",
         [&](DownloadTasksTest&) {
             const ServedFile file = Serve("a.zip", goodPackage);
             // The size probe goes through; the transfer meets the error.
             Json::Value pass = RefService::Fault(FilePath(file.url), "slow");
             pass["count"] = 1;
             RefService::AddFault(pass);
             RefService::AddFault(RefService::Fault(FilePath(file.url), "status"));
             return MakeGame(L"21", file);
         },
         "OnGameDownloadFailed",
         L"下载出错！",
         {"1,2,0,21", "1,2,2,21"}},
        {"wrong password",
         [&](DownloadTasksTest&) {
             GameInfo game = MakeGame(L"21", Serve("a.zip", goodPackage));
             game.zip_pwd = "not-the-password";
             return game;
         },
         "OnGameUnzipFailed",
         L"解压出错！",
         {"1,2,0,21", "1,4,2,21"}},
        {"package that is no ZIP archive",
         [&](DownloadTasksTest&) { return MakeGame(L"21", Serve("a.zip", NoiseBytes(5000, 3))); },
         "OnGameUnzipFailed",
         L"解压出错！",
         {"1,2,0,21", "1,4,2,21"}},
        {"ZIP archive cut in half",
         [&](DownloadTasksTest&) {
             return MakeGame(L"21", Serve("a.zip", goodPackage.substr(0, goodPackage.size() / 2)));
         },
         "OnGameUnzipFailed",
         L"解压出错！",
         {"1,2,0,21", "1,4,2,21"}},
        {"relative install folder",
         [&](DownloadTasksTest& test) {
             test.SetFolders(L"game_21", test.DownloadFolder(), L"calverin-relative\\");
             return MakeGame(L"21", Serve("a.zip", goodPackage));
         },
         "OnGameUnzipFailed",
         L"解压出错！",
         {"1,2,0,21", "1,4,2,21"}},
        // A drive's root ("\\") is refused by the same check, shown on the
        // check itself: were it handed to the task, a broken refusal would
        // unpack into the host's root.
        {"install folder relative to its drive's current folder",
         [&](DownloadTasksTest& test) {
             test.SetFolders(L"game_21", test.DownloadFolder(),
                             test.InstallFolder().substr(0, 2) + L"calverin-drive-relative\\");
             return MakeGame(L"21", Serve("a.zip", goodPackage));
         },
         "OnGameUnzipFailed",
         L"解压出错！",
         {"1,2,0,21", "1,4,2,21"}},
        {"no folders at all",
         [&](DownloadTasksTest& test) {
             test.SetFolders(L"game_21", L"", L"");
             return MakeGame(L"21", Serve("a.zip", goodPackage));
         },
         "OnGameDownloadFailed",
         L"下载出错！",
         {"1,2,0,21", "1,2,2,21"}},
    };
    // Relative folders resolve in a current folder inside the scratch folder.
    const std::wstring currentFolder = m_scratch.File(L"current\\");
    ASSERT_TRUE(CreateFolderTree(currentFolder));
    const ScopedCurrentFolder inScratch(currentFolder);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RefService::Reset();
        g_sessionData.SetToken(kDemoToken);
        SetFolders(L"game_21", DownloadFolder(), InstallFolder());
        DeleteFileW((DownloadFolder() + L"a.zip").c_str());
        m_calls.clear();
        const CallLog& calls = RunGame(c.arrange(*this));

        const std::vector<std::string> results = ResultHandlers(calls);
        ASSERT_FALSE(results.empty());
        EXPECT_EQ(results.back(), c.handler);
        for (const std::string& name : results)
            EXPECT_TRUE(name == c.handler || name == "OnGameDownloadDone" || name == "OnGameVerifyDone" ||
                        name == "OnServerError")
                << name;
        const ReceivedCall& failure = *std::find_if(
            calls.begin(), calls.end(), [&](const ReceivedCall& call) { return call.handler == c.handler; });
        EXPECT_EQ(failure.itemId, L"21");
        EXPECT_EQ(failure.hasText, c.text != nullptr);
        if (c.text) {
            EXPECT_EQ(failure.text, c.text);
        }
        EXPECT_EQ(Reports(), c.reports);
        EXPECT_EQ(g_sessionData.GetTaskCount(), 0u);
        EXPECT_FALSE(FileExists(currentFolder + L"a.zip"));
        EXPECT_FALSE(FileExists(currentFolder + L"calverin-relative"));
        EXPECT_FALSE(FileExists(currentFolder + L"calverin-drive-relative"));
    }
}

// A complete local file is not fetched again; one larger than the remote file
// is replaced from the first byte.
TEST_F(DownloadTasksTest, LocalFileOfTheRemoteSizeIsKeptAndALargerOneReplaced)
{
    SetFolders(L"game_8", DownloadFolder(), InstallFolder());
    const ServedFile package = Serve("b.zip", GamePackage(10 * 1024));
    const std::wstring localFile = DownloadFolder() + L"b.zip";

    WriteStringToFile(package.bytes, localFile);
    const CallLog& complete = RunGame(MakeGame(L"8", package));
    EXPECT_TRUE(Gets(package).empty());
    EXPECT_EQ(ResultHandlers(complete),
              (std::vector<std::string>{"OnGameDownloadDone", "OnGameVerifyDone", "OnGameInstallDone"}));
    EXPECT_EQ(CountOf(complete, "OnGameDownloadProgress"), 0u);

    RefService::Reset();
    Serve("b.zip", package.bytes);
    WriteStringToFile(package.bytes + NoiseBytes(3000, 5), localFile);
    ResetPostTicks();
    m_calls.clear();
    const CallLog& larger = RunGame(MakeGame(L"8", package));
    const std::vector<Json::Value> gets = Gets(package);
    ASSERT_EQ(gets.size(), 1u);
    EXPECT_EQ(RefService::Header(gets[0], "Range"), "");
    EXPECT_EQ(ScratchFolder::ReadFile(localFile), package.bytes);
    EXPECT_EQ(ResultHandlers(larger),
              (std::vector<std::string>{"OnGameDownloadDone", "OnGameVerifyDone", "OnGameInstallDone"}));
}

// Progress calls name the task's record; the task must not free it while such
// a call still waits in the window's queue.
TEST_F(DownloadTasksTest, TaskOutlivesTheProgressCallsQueuedWithItsRecord)
{
    SetFolders(L"game_9", DownloadFolder(), InstallFolder());
    const ServedFile package = Serve("c.zip", GamePackage(8 * 1024));
    const DWORD id = Start(&DownloadGameThread<g_testMainWnd>, new GameInfo(MakeGame(L"9", package)));

    // The window's thread is busy while the task runs through to its end (its
    // last report), with its calls waiting in the queue.
    const DWORD start = GetTickCount();
    while (Reports().size() < 2 && GetTickCount() - start < 20000)
        Sleep(50);
    ASSERT_EQ(Reports(), (std::vector<std::string>{"1,2,0,9", "1,4,1,9"}));
    Sleep(300);
    EXPECT_NE(m_window.Threads().GetThreadProc(id), nullptr);
    EXPECT_TRUE(m_calls.empty());

    Finish(id);
    ASSERT_EQ(ResultHandlers(m_calls),
              (std::vector<std::string>{"OnGameDownloadDone", "OnGameVerifyDone", "OnGameInstallDone"}));
    ASSERT_GE(m_calls.size(), 6u);
    for (const ReceivedCall& call : m_calls) {
        if (!IsProgress(call))
            continue;
        EXPECT_EQ(call.progress.kind, 1);
        EXPECT_EQ(call.progress.thread_id, id);
        EXPECT_EQ(call.progress.run_flag, 1);
        EXPECT_EQ(call.itemId, L"9");
    }
}

// Two tasks in the same phase share one post a second between them.
TEST_F(DownloadTasksTest, TwoDownloadsPostAtMostOneProgressCallASecondBetweenThem)
{
    SetFolders(L"game_11", DownloadFolder(), InstallFolder());
    SetFolders(L"game_12", DownloadFolder(), InstallFolder());
    const ServedFile first = Serve("d1.zip", GamePackage(100 * 1024));
    const ServedFile second = Serve("d2.zip", GamePackage(100 * 1024));
    for (const ServedFile* file : {&first, &second}) {
        Json::Value throttle = RefService::Fault(FilePath(file->url), "throttle");
        throttle["rate"] = 40 * 1024;
        RefService::AddFault(throttle);
    }
    const DWORD start = GetTickCount();
    const DWORD a = Start(&DownloadGameThread<g_testMainWnd>, new GameInfo(MakeGame(L"11", first)));
    const DWORD b = Start(&DownloadGameThread<g_testMainWnd>, new GameInfo(MakeGame(L"12", second)));
    Finish(a);
    Finish(b);
    const DWORD elapsedMs = GetTickCount() - start;

    EXPECT_EQ(CountOf(m_calls, "OnGameInstallDone"), 2u);
    const size_t downloadPosts = CountOf(m_calls, "OnGameDownloadProgress");
    EXPECT_GE(downloadPosts, 2u);
    EXPECT_LE(downloadPosts, elapsedMs / 1000 + 1);
}

// A cleared run flag stops the check and the unpacking at their next block,
// and such a stop is no failure: nothing is posted and nothing counted wrong.
TEST_F(DownloadTasksTest, ClearedRunFlagStopsCheckAndUnpackingAsCancelled)
{
    const std::wstring package = m_scratch.WriteFile(L"e.zip", GamePackage(64 * 1024));
    GameInfo game;
    game.game_id = L"5";
    TaskProgress progress;
    progress.kind = 1;
    progress.item = &game;
    progress.run_flag = 0;

    EXPECT_EQ(CheckPackageDigest(progress, package, "0123456789abcdef0123456789abcdef", &OnMd5Progress<g_testMainWnd>),
              PhaseOutcome::kCancelled);
    EXPECT_EQ(UnpackPackage(progress, package, InstallFolder(), kPassword, &OnUnzipProgress<g_testMainWnd>),
              PhaseOutcome::kCancelled);
    EXPECT_FALSE(FileExists(InstallFolder() + L"data\\bulk.bin"));

    progress.run_flag = 1;
    EXPECT_EQ(CheckPackageDigest(progress, package, "0123456789abcdef0123456789abcdef", &OnMd5Progress<g_testMainWnd>),
              PhaseOutcome::kFailed);
    m_window.WaitForCalls(SIZE_MAX, 50);
    EXPECT_EQ(AllHandlers(m_calls), (std::vector<std::string>{"OnGameVerifyProgress"}));
}

// Plug-ins: the same pipeline on the plug-in handlers, with no report for a
// good installation; a plain address ("file_url_type" "0") needs no request.
TEST_F(DownloadTasksTest, PluginPackageInstallsWithoutLinkRequestOrInstallReport)
{
    SetFolders(L"plugin_31", DownloadFolder(), InstallFolder());
    const ServedFile package = Serve("plugins/p.zip", GamePackage(4 * 1024));
    PluginInfo plugin;
    plugin.plugins_id = L"31";
    plugin.file_url = package.url;
    plugin.file_md5 = package.md5;
    plugin.zip_pwd = kPassword;
    plugin.file_url_type = "0";
    plugin.cdn_url_type = "1";

    const CallLog& calls = Run(&DownloadPluginThread<g_testMainWnd>, new PluginInfo(plugin));
    EXPECT_EQ(ResultHandlers(calls),
              (std::vector<std::string>{"OnPluginDownloadDone", "OnPluginVerifyDone", "OnPluginInstallDone"}));
    for (const ReceivedCall& call : calls)
        EXPECT_EQ(call.itemId, L"31") << call.handler;
    EXPECT_GE(CountOf(calls, "OnPluginDownloadProgress"), 1u);
    EXPECT_EQ(ScratchFolder::ReadFile(InstallFolder() + L"game.exe"), "MZ demo program");
    EXPECT_TRUE(RefService::Journal(kLinkPath).empty());
    EXPECT_EQ(Reports(), (std::vector<std::string>{"2,2,0,31"}));
}

// Accelerators: the installer lands in the program's cache folder, calls carry
// the row's own record, and nothing is unpacked.
TEST_F(DownloadTasksTest, AcceleratorInstallerIsCachedAndCallsCarryTheRowsRecord)
{
    const ServedFile installer = Serve("setup/speed.exe", NoiseBytes(30 * 1024, 9));
    JiasuqiInfo row;
    row.software_id = L"2";
    row.file_url = installer.url;
    row.file_md5 = installer.md5;
    row.file_url_type = "1";
    row.cdn_url_type = "0";

    const CallLog& good = Run(&DownloadJiasuqiThread<g_testMainWnd>, &row);
    EXPECT_EQ(AllHandlers(good), (std::vector<std::string>{"OnJiasuqiDownloadProgress", "OnJiasuqiDownloadDone",
                                                           "OnJiasuqiVerifyProgress", "OnJiasuqiVerifyDone"}));
    for (const ReceivedCall& call : good) {
        if (IsProgress(call))
            EXPECT_EQ(call.progress.item, &row);
        else
            EXPECT_EQ(call.first, reinterpret_cast<UINT_PTR>(&row));
    }
    EXPECT_EQ(ScratchFolder::ReadFile(g_appFolder + L"cache\\speed.exe"), installer.bytes);
    EXPECT_EQ(Reports(), (std::vector<std::string>{"3,2,0,2"}));

    RefService::Reset();
    Serve("setup/speed.exe", installer.bytes);
    row.file_md5 = CMd5A().GetStringMd5("another installer");
    m_calls.clear();
    const CallLog& bad = Run(&DownloadJiasuqiThread<g_testMainWnd>, &row);
    EXPECT_EQ(ResultHandlers(bad), (std::vector<std::string>{"OnJiasuqiDownloadDone", "OnJiasuqiVerifyFailed"}));
    EXPECT_EQ(bad.back().first, reinterpret_cast<UINT_PTR>(&row));
    EXPECT_EQ(bad.back().text, L"校验失败！");
    EXPECT_TRUE(Gets(installer).empty());
    EXPECT_EQ(Reports(), (std::vector<std::string>{"3,2,0,2", "3,3,2,2"}));
}
