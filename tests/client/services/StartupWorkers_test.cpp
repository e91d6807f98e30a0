// The version check and the configuration request against the reference web
// service, with the results arriving on a real window.
#include "RecordingWnd.h"
#include "RefService.h"
#include "services/SessionData.h"
#include "services/StartupWorkers.h"

#include <gtest/gtest.h>

#include <string>

namespace {
CRecordingWnd* g_testMainWnd = nullptr;

const char kVersionPath[] = "/Box/Version/checkVersion";
const char kConfigPath[] = "/Box/Config/getConfig";

class StartupWorkersTest : public testing::Test
{
protected:
    void SetUp() override
    {
        RefService::Reset();
        g_testMainWnd = &m_main;
        ASSERT_NE(m_main.GetWindowHandle(), nullptr);
    }
    void TearDown() override { g_testMainWnd = nullptr; }

    ReceivedCall Run(CWindowMultiThreadManager::ThreadProc worker)
    {
        m_calls.clear();
        EXPECT_NE(m_main.Threads().StartThread(worker, nullptr), 0u);
        if (!m_main.WaitForCalls(1))
            return ReceivedCall();
        return m_calls[0];
    }

    CallLog m_calls;
    CRecordingWnd m_main{&m_calls};
};

TEST_F(StartupWorkersTest, VersionCheck)
{
    ReceivedCall call = Run(&CheckVersionThread<g_testMainWnd>);
    EXPECT_EQ(call.handler, "OnCheckVersionReply");
    EXPECT_EQ(call.first, 0u);

    // The update text is handed on byte for byte, unparsed.
    Json::Value config;
    config["update_text"] = "--url \"https://x/更新.zip\" {not json";
    RefService::PutConfig(config);
    call = Run(&CheckVersionThread<g_testMainWnd>);
    EXPECT_EQ(call.handler, "OnCheckVersionReply");
    EXPECT_EQ(call.first, 1u);
    EXPECT_EQ(call.bytes, "--url \"https://x/更新.zip\" {not json");

    struct Case
    {
        const char* kind;
        std::wstring text;
    };
    const Case failures[] = {
        {"bad_data", L"检查更新失败，请下载最新版本！"},
        {"short_data", L"检查更新失败，请下载最新版本！"},
        {"not_json", L"检查更新失败，请下载最新版本！"},
        {"code_string", L"请升级"},
    };
    for (const Case& c : failures) {
        SCOPED_TRACE(c.kind);
        Json::Value fault = RefService::Fault(kVersionPath, c.kind);
        fault["count"] = 1;
        fault["message"] = "请升级";
        RefService::AddFault(fault);
        call = Run(&CheckVersionThread<g_testMainWnd>);
        EXPECT_EQ(call.handler, "OnCheckVersionFailed");
        EXPECT_EQ(call.text, c.text);
    }
}

TEST_F(StartupWorkersTest, ConfigurationIsStoredInTheSession)
{
    Json::Value config;
    config["service"] = "https://客服.example/";
    config["upload_plugins"] = "https://x/upload";
    RefService::PutConfig(config);
    EXPECT_EQ(Run(&GetConfigThread<g_testMainWnd>).handler, "OnGetConfigDone");
    EXPECT_EQ(g_sessionData.GetService(), L"https://客服.example/");
    EXPECT_EQ(g_sessionData.GetUploadPlugins(), L"https://x/upload");
}

TEST_F(StartupWorkersTest, ConfigurationTextsAreReadAsText)
{
    struct Case
    {
        const char* result;
        const char* handler;
        std::wstring service;
        std::wstring uploadPlugins;
    };
    const Case cases[] = {
        {R"({"service":5})", "OnGetConfigDone", L"5", L""},
        {R"({"service":true,"upload_plugins":["u"]})", "OnGetConfigDone", L"true", L""},
        {"null", "OnGetConfigDone", L"", L""},
        {"[1]", "OnGetConfigFailed", L"kept", L"kept"},
        {"not json", "OnGetConfigFailed", L"kept", L"kept"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        g_sessionData.SetService(L"kept");
        g_sessionData.SetUploadPlugins(L"kept");
        Json::Value fault = RefService::Fault(kConfigPath, "result");
        fault["count"] = 1;
        fault["text"] = c.result;
        RefService::AddFault(fault);
        const ReceivedCall call = Run(&GetConfigThread<g_testMainWnd>);
        EXPECT_EQ(call.handler, c.handler);
        if (call.handler == "OnGetConfigFailed") {
            EXPECT_EQ(call.text, L"配置数据获取失败！");
        }
        EXPECT_EQ(g_sessionData.GetService(), c.service);
        EXPECT_EQ(g_sessionData.GetUploadPlugins(), c.uploadPlugins);
    }

    Json::Value fault = RefService::Fault(kConfigPath, "empty_data");
    fault["count"] = 1;
    RefService::AddFault(fault);
    EXPECT_EQ(Run(&GetConfigThread<g_testMainWnd>).text, L"配置数据获取失败！");
    fault = RefService::Fault(kConfigPath, "code");
    fault["count"] = 1;
    fault["code"] = 10002;
    fault["message"] = "签名错误";
    RefService::AddFault(fault);
    EXPECT_EQ(Run(&GetConfigThread<g_testMainWnd>).text, L"签名错误");
}
}  // namespace
