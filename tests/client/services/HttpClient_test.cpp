// The HTTP client against the reference web service over real HTTPS on
// loopback, with the service's file store, journal and faults.
#include "services/BuildSettings.h"
#include "services/HttpClient.h"
#include "RefService.h"
#include "ScratchFolder.h"
#include "TestPaths.h"
#include "services/WindowMultiThreadManager.h"
#include "services/WriteLogFile.h"

#include <gtest/gtest.h>
#include <json/json.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace {
const std::string kBase = std::string("https://") + CALVERIN_API_HOST;

// A fault written as JSON text, with the fields its kind takes.
void AddFault(const std::string& json)
{
    Json::Value fault;
    ASSERT_TRUE(Json::Reader().parse(json, fault, false)) << json;
    RefService::AddFault(fault);
}

// Content without zero bytes, as the control interface takes it as a text body.
std::string MakeContent(size_t size, unsigned seed)
{
    std::string content(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245 + 12345;
        content[i] = static_cast<char>(1 + (seed >> 16) % 255);
    }
    return content;
}

// Puts a file into the service's store and gives its address.
std::string ServeFile(const std::string& name, const std::string& content)
{
    return RefService::AddFile(name, content)["url"].asString();
}

using RefService::Header;
using RefService::Journal;

class HttpClientTest : public testing::Test
{
protected:
    void SetUp() override { RefService::Reset(); }
    ScratchFolder m_folder;
};
}  // namespace

TEST_F(HttpClientTest, PostCarriesTheFixedHeadersThenTheExtraLinesAndReturnsStatusAndBody)
{
    CHttpClient client;
    ASSERT_TRUE(client.InitLibCurl(nullptr));
    const char* body = "a=1&b=%E4";
    client.SetPostData(body);
    std::string out;
    const int status = client.Request(kBase + "/plain/post", kHttpPostOrDefault, out,
                                      "Userid: 5\r\nClientuuid: abc\r\nx\r\n;Lang: zh-cn", L"");
    client.Close();

    // An error status is no transfer failure: the server's body comes back.
    EXPECT_EQ(status, 404);
    EXPECT_EQ(out, "not found");
    const Json::Value journal = Journal("/plain/post");
    ASSERT_EQ(journal.size(), 1u);
    const Json::Value& entry = journal[0];
    EXPECT_EQ(entry["method"].asString(), "POST");
    EXPECT_EQ(entry["body"].asString(), body);
    // libcurl sends the Host line first, wherever the list has it.
    EXPECT_EQ(Header(entry, "Host"), CALVERIN_API_HOST);
    std::vector<std::string> lines;
    for (const Json::Value& header : entry["headers"])
        if (header[0].asString() != "Host")
            lines.push_back(header[0].asString() + ": " + header[1].asString());
    const std::vector<std::string> expected = {
        "Accept: */*",
        "Accept-Language: zh-CN",
        "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)",
        "Accept-Encoding: gzip, deflate",
        "Connection: Keep-Alive",
        "Userid: 5",
        "Clientuuid: abc",
        "Lang: zh-cn",
    };
    // libcurl adds the body's own headers after the caller's.
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + expected.size()), expected);
}

TEST_F(HttpClientTest, GzipAnswerArrivesDecodedAndATargetFileGetsExactlyTheBody)
{
    const std::string content = MakeContent(5000, 1);
    const std::string url = ServeFile("plain.bin", content);
    AddFault(R"({"path": "/files/plain.bin", "kind": "gzip", "count": 1})");
    const std::wstring target = m_folder.WriteFile(L"got.bin", "old content that must go");

    CHttpClient client;
    ASSERT_TRUE(client.InitLibCurl(nullptr));
    std::string out;
    EXPECT_EQ(client.Request(url, kHttpGet, out, nullptr, target), 200);
    EXPECT_EQ(out, content);
    EXPECT_EQ(ScratchFolder::ReadFile(target), content);
    EXPECT_EQ(Journal("/files/plain.bin")[0]["fault"].asString(), "gzip");
}

TEST_F(HttpClientTest, RequestsThatCannotBeMadeSayWhy)
{
    std::string out = "untouched";
    CHttpClient uninitialised;
    EXPECT_EQ(uninitialised.Request(kBase + "/plain/x", kHttpGet, out, nullptr, L""), 0);
    EXPECT_EQ(out, "InitLibCurl is not invoked");

    CHttpClient client;
    ASSERT_TRUE(client.InitLibCurl(nullptr));
    const std::wstring target = m_folder.WriteFile(L"stale.bin", "stale");
    out = "untouched";
    EXPECT_EQ(client.Request("", kHttpGet, out, nullptr, target), 0);
    EXPECT_EQ(out, "untouched");
    EXPECT_EQ(GetFileAttributesW(target.c_str()), INVALID_FILE_ATTRIBUTES) << "the target goes even so";

    // Nothing listens on port 1.
    EXPECT_EQ(client.Request("https://127.0.0.1:1/x", kHttpGet, out, nullptr, L""), 0);
    EXPECT_EQ(out, curl_easy_strerror(CURLE_COULDNT_CONNECT));
}

TEST_F(HttpClientTest, SizeProbeFollowsRedirectsAndFailsOnErrorStatusesAndStalls)
{
    const std::string content = MakeContent(123457, 2);
    const std::string url = ServeFile("probe.bin", content);
    AddFault(R"({"path": "/files/moved.bin", "kind": "redirect", "location": ")" + url + R"("})");
    ServeFile("broken.bin", "x");
    AddFault(R"({"path": "/files/broken.bin", "kind": "status", "status": 500})");
    ServeFile("stalled.bin", content);
    // Answers long after the probe has given up.
    AddFault(R"({"path": "/files/stalled.bin", "kind": "slow", "seconds": 90, "count": 1})");

    struct Case
    {
        std::string url;
        int64_t size;
    };
    const Case cases[] = {
        {url, 123457},
        {kBase + "/files/moved.bin", 123457},
        {kBase + "/files/missing.bin", 0},
        {kBase + "/files/broken.bin", 0},
        {"https://127.0.0.1:1/nothing", 0},
        {kBase + "/files/stalled.bin", 0},
    };
    CHttpClient client;
    for (const Case& c : cases)
        EXPECT_EQ(client.GetRemoteFileSize(c.url), c.size) << c.url;
    EXPECT_EQ(Journal("/files/probe.bin")[0]["method"].asString(), "HEAD");
}

namespace {
struct Progress
{
    int64_t expected = -1;
    int64_t lastReceived = 0;
    int calls = 0;
    bool abortOnData = false;
};

bool RecordProgress(void* user, int64_t expected, int64_t received, double)
{
    auto* progress = static_cast<Progress*>(user);
    ++progress->calls;
    if (received > 0)
        progress->expected = expected;
    progress->lastReceived = received;
    return !(progress->abortOnData && received > 0);
}
}  // namespace

TEST_F(HttpClientTest, DownloadResumesFromTheLocalSizeAndReportsThisTransfersProgress)
{
    const std::string content = MakeContent(300000, 3);
    const std::string url = ServeFile("pkg.zip", content);
    const std::wstring local = m_folder.WriteFile(L"pkg.zip", content.substr(0, 1000));

    Progress progress;
    CHttpClient client;
    EXPECT_TRUE(client.DownloadFile(&progress, url.c_str(), local, &RecordProgress));
    EXPECT_TRUE(ScratchFolder::ReadFile(local) == content);
    EXPECT_EQ(Header(Journal("/files/pkg.zip")[0], "Range"), "bytes=1000-");
    EXPECT_EQ(progress.expected, 299000);
    EXPECT_EQ(progress.lastReceived, 299000);
}

TEST_F(HttpClientTest, StoppedOrRefusedDownloadKeepsWhatItHadForALaterResume)
{
    const std::string content = MakeContent(200000, 4);
    const std::string url = ServeFile("slow.zip", content);
    const std::wstring local = m_folder.File(L"slow.zip");
    CHttpClient client;

    AddFault(R"({"path": "/files/slow.zip", "kind": "throttle", "rate": 20000, "count": 1})");
    Progress aborting;
    aborting.abortOnData = true;
    EXPECT_FALSE(client.DownloadFile(&aborting, url.c_str(), local, &RecordProgress));
    const std::string partial = ScratchFolder::ReadFile(local);
    ASSERT_GT(partial.size(), 0u);
    ASSERT_LT(partial.size(), content.size());
    EXPECT_TRUE(partial == content.substr(0, partial.size()));

    // An error answer adds nothing to the file.
    AddFault(R"({"path": "/files/slow.zip", "kind": "status", "status": 503, "count": 1})");
    Progress refused;
    EXPECT_FALSE(client.DownloadFile(&refused, url.c_str(), local, &RecordProgress));
    EXPECT_TRUE(ScratchFolder::ReadFile(local) == partial);
    EXPECT_FALSE(client.DownloadFile(&refused, (kBase + "/files/none.zip").c_str(), local, &RecordProgress));
    EXPECT_TRUE(ScratchFolder::ReadFile(local) == partial);

    Progress finishing;
    EXPECT_TRUE(client.DownloadFile(&finishing, url.c_str(), local, &RecordProgress));
    EXPECT_TRUE(ScratchFolder::ReadFile(local) == content);
    EXPECT_FALSE(client.DownloadFile(&finishing, "", local, &RecordProgress));
}

TEST_F(HttpClientTest, DownloadThatCannotBeStoredFails)
{
    // A small body stays in the file buffer until the file is closed.
    const std::wstring diskFull = FullDiskFileIn(m_folder, L"small.zip");
    ASSERT_FALSE(diskFull.empty());
    const std::string url = ServeFile("small.zip", MakeContent(100, 5));

    Progress progress;
    EXPECT_FALSE(CHttpClient().DownloadFile(&progress, url.c_str(), diskFull, &RecordProgress));
}

TEST_F(HttpClientTest, DownloadToFileKeepsOnlyAnswersFrom200To300AndLogsTheOthers)
{
    g_logFile.SetLogPath(m_folder.File(L"log.txt"), 1024);
    const std::string content = MakeContent(40000, 5);
    const std::string url = ServeFile("pic.png", content);
    ServeFile("multi.png", "x");
    AddFault(R"({"path": "/files/multi.png", "kind": "raw", "status": 300, "body": "choices"})");
    ServeFile("cut.png", content);
    AddFault(R"({"path": "/files/cut.png", "kind": "truncate", "bytes": 1000})");

    struct Case
    {
        std::string url;
        bool kept;
        std::string content;
    };
    const Case cases[] = {
        {url, true, content},
        {kBase + "/files/multi.png", true, "choices"},
        // Cut off after a good status line: what arrived stays.
        {kBase + "/files/cut.png", true, content.substr(0, 1000)},
        {kBase + "/files/absent.png", false, ""},
        {"https://127.0.0.1:1/absent.png", false, ""},
    };
    bool overwrite = true;
    for (const Case& c : cases) {
        const std::wstring local = m_folder.WriteFile(L"cached.png", "previous");
        EXPECT_EQ(DownloadToFile(c.url.c_str(), local.c_str(), overwrite), c.kept) << c.url;
        EXPECT_TRUE(ScratchFolder::ReadFile(local) == c.content) << c.url;
    }
    const std::string log = ScratchFolder::ReadFile(m_folder.File(L"log.txt"));
    const std::wstring logText(reinterpret_cast<const wchar_t*>(log.data()), log.size() / 2);
    EXPECT_NE(logText.find(L"/files/absent.png下载失败"), std::wstring::npos);
    EXPECT_NE(logText.find(L"cached.png,404"), std::wstring::npos);
    EXPECT_NE(logText.find(L"cached.png,0"), std::wstring::npos);
    g_logFile.SetLogPath(L"", 1024);

    // An existing file is kept when the caller does not overwrite.
    const std::wstring kept = m_folder.WriteFile(L"kept.png", "mine");
    bool keep = false;
    EXPECT_TRUE(DownloadToFile(url.c_str(), kept.c_str(), keep));
    EXPECT_EQ(ScratchFolder::ReadFile(kept), "mine");
}

namespace {
struct Transfers
{
    std::string slowUrl, throttledUrl;
    std::wstring local;
    int requestStatus = -1;
    std::string requestOut;
    int64_t probedSize = -1;
    int downloaded = -1;
};

void RequestSlowly(void* param)
{
    auto* t = static_cast<Transfers*>(param);
    CHttpClient client;
    client.InitLibCurl(nullptr);
    t->requestStatus = client.Request(t->slowUrl, kHttpGet, t->requestOut, nullptr, L"");
}

void ProbeSlowly(void* param)
{
    auto* t = static_cast<Transfers*>(param);
    t->probedSize = CHttpClient().GetRemoteFileSize(t->slowUrl);
}

void DownloadSlowly(void* param)
{
    auto* t = static_cast<Transfers*>(param);
    Progress progress;
    t->downloaded = CHttpClient().DownloadFile(&progress, t->throttledUrl.c_str(), t->local, &RecordProgress);
}
}  // namespace

// A window that goes while its workers wait for the network does not wait for
// the network: every kind of transfer ends on the stop request.
TEST_F(HttpClientTest, TransfersOfAStoppedWorkerEndAtOnce)
{
    const std::string content = MakeContent(200000, 6);
    Transfers t;
    t.slowUrl = ServeFile("waiting.bin", content);
    t.throttledUrl = ServeFile("trickle.bin", content);
    t.local = m_folder.File(L"trickle.bin");
    AddFault(R"({"path": "/files/waiting.bin", "kind": "slow", "seconds": 90})");
    AddFault(R"({"path": "/files/trickle.bin", "kind": "throttle", "rate": 1000})");

    {
        CWindowMultiThreadManager threads;
        threads.StartThread(&RequestSlowly, &t);
        threads.StartThread(&ProbeSlowly, &t);
        threads.StartThread(&DownloadSlowly, &t);
        // Wait until all three requests have reached the service.
        for (int i = 0; i < 200 && (Journal("/files/waiting.bin").size() < 2 || Journal("/files/trickle.bin").empty());
             ++i)
            Sleep(50);
        threads.TerminateAll();
    }
    EXPECT_EQ(t.requestStatus, 0);
    EXPECT_EQ(t.requestOut, curl_easy_strerror(CURLE_ABORTED_BY_CALLBACK));
    EXPECT_EQ(t.probedSize, 0);
    EXPECT_EQ(t.downloaded, 0);
    RefService::ClearFaults();
}
