// Sending SMS codes, setting the password and binding an accelerator account
// against the reference web service, with the results arriving on real windows.
#include "services/AccountWorkers.h"
#include "RecordingWnd.h"
#include "RefService.h"
#include "ScratchFolder.h"
#include "services/SessionData.h"
#include "services/SignInWorkers.h"
#include "services/TextConvert.h"
#include "services/WriteLogFile.h"

#include <gtest/gtest.h>

#include <string>

namespace {
CRecordingWnd* g_testLoginWnd = nullptr;
CRecordingWnd* g_testBindWnd = nullptr;
CRecordingWnd* g_testMainWnd = nullptr;

const char kDemoMobile[] = "13800138000";
const char kDemoToken[] = "5f0c2a9e7b1d4c38a6e2f9d1b0c7a345";

class AccountWorkersTest : public testing::Test
{
protected:
    void SetUp() override
    {
        RefService::Reset();
        g_sessionData.SetUserId("1001");
        g_sessionData.SetToken(kDemoToken);
        g_testLoginWnd = &m_login;
        g_testBindWnd = &m_bind;
        g_testMainWnd = &m_main;
        ASSERT_NE(m_main.GetWindowHandle(), nullptr);
    }
    void TearDown() override
    {
        g_testLoginWnd = nullptr;
        g_testBindWnd = nullptr;
        g_testMainWnd = nullptr;
    }

    // Starts the worker and waits until the window has received that many calls.
    void Run(CWindowMultiThreadManager::ThreadProc worker, void* param, size_t calls = 1)
    {
        m_calls.clear();
        ASSERT_NE(m_bind.Threads().StartThread(worker, param), 0u);
        ASSERT_TRUE(m_bind.WaitForCalls(calls));
    }

    // Gives a stray further call time to arrive.
    void Settle() { m_bind.WaitForCalls(m_calls.size() + 1, 300); }

    CallLog m_calls;
    CRecordingWnd m_login{&m_calls};
    CRecordingWnd m_bind{&m_calls};
    CRecordingWnd m_main{&m_calls};
};

TEST_F(AccountWorkersTest, CodesAreSentForTheAskingWindow)
{
    Run(&LoginSendCodeThread<g_testLoginWnd>, new AccountParam{L"86", L"1", L"13800138000"});
    EXPECT_EQ(m_calls[0].handler, "OnSendCodeDone");
    EXPECT_EQ(m_calls[0].window, &m_login);
    Run(&BindSendCodeThread<g_testBindWnd>, new AccountParam{L"86", L"2", L"13900139000"});
    EXPECT_EQ(m_calls[0].handler, "OnSendCodeDone");
    EXPECT_EQ(m_calls[0].window, &m_bind);

    const Json::Value journal = RefService::Journal("/Box/User/sendCode");
    ASSERT_EQ(journal.size(), 2u);
    EXPECT_EQ(RefService::BodyValue(journal[0], "object"), kDemoMobile);
    EXPECT_EQ(RefService::BodyValue(journal[0], "type"), "1");
    EXPECT_EQ(RefService::BodyValue(journal[1], "area_code"), "86");
    EXPECT_EQ(RefService::BodyValue(journal[1], "type"), "2");
    EXPECT_EQ(journal[1]["problem"].asString(), "");
    EXPECT_FALSE(RefService::SmsCode("13900139000").empty());

    Run(&LoginSendCodeThread<g_testLoginWnd>, new AccountParam{L"86", L"1", L"138 0013"});
    EXPECT_EQ(m_calls[0].handler, "OnSendCodeFailed");
    EXPECT_EQ(m_calls[0].text, L"手机号格式错误");
}

TEST_F(AccountWorkersTest, NewPasswordGoesWithTheSessionToken)
{
    Run(&SetPassThread<g_testBindWnd>, new std::wstring(L"新 密码"));
    EXPECT_EQ(m_calls[0].handler, "OnSetPassDone");
    const Json::Value journal = RefService::Journal("/Box/User/setPass");
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_EQ(RefService::BodyValue(journal[0], "password"), "%E6%96%B0+%E5%AF%86%E7%A0%81");
    EXPECT_EQ(RefService::BodyValue(journal[0], "token"), kDemoToken);

    // The service now takes the new password.
    Run(&PasswordLoginThread<g_testLoginWnd>, new AccountParam{L"", L"13800138000", L"新 密码"});
    EXPECT_EQ(m_calls[0].handler, "OnPasswordLoginDone");

    // Without a token the key still goes, with nothing behind it.
    g_sessionData.SetToken("");
    Run(&LoginSetPassThread<g_testLoginWnd>, new std::wstring(L"x"));
    EXPECT_EQ(m_calls[0].handler, "OnSetPassFailed");
    EXPECT_EQ(m_calls[0].window, &m_login);
    EXPECT_EQ(m_calls[0].text, L"登录已过期，请重新登录");
    EXPECT_NE(RefService::Journal("/Box/User/setPass")[1]["body"].asString().find("&token=&ts="), std::string::npos);
}

TEST_F(AccountWorkersTest, BindingHandsBackWhatWasBound)
{
    Run(&BindSendCodeThread<g_testBindWnd>, new AccountParam{L"86", L"2", L"13800138000"});
    const std::wstring code = Utf8ToWide(RefService::SmsCode(kDemoMobile));
    Run(&BindSpeedThread<g_testBindWnd, g_testMainWnd>, new AccountParam{L"1", L"13800138000", code});
    EXPECT_EQ(m_calls[0].handler, "OnBindDone");
    EXPECT_EQ(m_calls[0].account.first, L"1");
    EXPECT_EQ(m_calls[0].account.second, L"13800138000");
    EXPECT_EQ(m_calls[0].account.third, code);

    EXPECT_EQ(RefService::Journal("/Box/User/bindSpeed")[0]["problem"].asString(), "");

    Run(&BindSpeedThread<g_testBindWnd, g_testMainWnd>, new AccountParam{L"99", L"13800138000", L"0000"});
    EXPECT_EQ(m_calls[0].handler, "OnBindFailed");
    EXPECT_EQ(m_calls[0].text, L"加速器不存在");
}

// Only the binding drops the session on the expiry codes, and only on 10011 to 10016.
TEST_F(AccountWorkersTest, SessionExpiryCodesDropTheSessionOnlyAfterABinding)
{
    struct Case
    {
        int code;
        bool expires;
    };
    for (const Case c : {Case{10011, true}, Case{10016, true}, Case{10010, false}, Case{10017, false}}) {
        SCOPED_TRACE(c.code);
        Json::Value fault = RefService::Fault("/Box/User/bindSpeed", "code");
        fault["count"] = 1;
        fault["code"] = c.code;
        fault["message"] = "过期";
        RefService::AddFault(fault);
        Run(&BindSpeedThread<g_testBindWnd, g_testMainWnd>, new AccountParam{L"1", L"13800138000", L"1"},
            c.expires ? 2 : 1);
        Settle();
        EXPECT_EQ(m_calls[0].handler, "OnBindFailed");
        EXPECT_EQ(m_calls[0].text, L"过期");
        ASSERT_EQ(m_calls.size(), c.expires ? 2u : 1u);
        if (c.expires) {
            EXPECT_EQ(m_calls[1].handler, "OnSessionExpired");
            EXPECT_EQ(m_calls[1].window, &m_main);
        }
    }

    for (const char* path : {"/Box/User/sendCode", "/Box/User/setPass"}) {
        Json::Value fault = RefService::Fault(path, "code");
        fault["count"] = 1;
        fault["code"] = 10011;
        RefService::AddFault(fault);
    }
    Run(&LoginSendCodeThread<g_testLoginWnd>, new AccountParam{L"86", L"1", L"13800138000"});
    Settle();
    ASSERT_EQ(m_calls.size(), 1u);
    EXPECT_EQ(m_calls[0].handler, "OnSendCodeFailed");
    Run(&LoginSetPassThread<g_testLoginWnd>, new std::wstring(L"x"));
    Settle();
    ASSERT_EQ(m_calls.size(), 1u);
    EXPECT_EQ(m_calls[0].handler, "OnSetPassFailed");
}

TEST_F(AccountWorkersTest, HtmlPageEndsInTheWorkersFixedText)
{
    struct Case
    {
        const char* path;
        CWindowMultiThreadManager::ThreadProc worker;
        void* param;
        const char* handler;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"/Box/User/sendCode", &BindSendCodeThread<g_testBindWnd>, new AccountParam{L"86", L"2", L"13800138000"},
         "OnSendCodeFailed", L"网络错误，发送失败"},
        {"/Box/User/setPass", &SetPassThread<g_testBindWnd>, new std::wstring(L"x"), "OnSetPassFailed",
         L"密码设置失败！请稍后重试"},
        {"/Box/User/bindSpeed", &BindSpeedThread<g_testBindWnd, g_testMainWnd>,
         new AccountParam{L"1", L"13800138000", L"1"}, "OnBindFailed", L"绑定账号错误！请稍后重试"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        Json::Value fault = RefService::Fault(c.path, "not_json");
        fault["count"] = 1;
        RefService::AddFault(fault);
        Run(c.worker, c.param);
        EXPECT_EQ(m_calls[0].handler, c.handler);
        EXPECT_EQ(m_calls[0].text, c.text);
    }
}
}  // namespace

namespace {
// The log's text without its byte-order mark.
std::wstring LogText(const std::wstring& path)
{
    const std::string bytes = ScratchFolder::ReadFile(path);
    if (bytes.size() < 2)
        return std::wstring();
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / sizeof(wchar_t));
}

// A send-code request logs the lost first answer before it retries; a
// set-password request retries without a word.
TEST_F(AccountWorkersTest, OnlySomeWorkersLogTheAnswerBeforeTheRetry)
{
    ScratchFolder folder;
    const std::wstring logPath = folder.File(L"log.txt");
    g_logFile.SetLogPath(logPath, 1024);
    for (const char* path : {"/Box/User/sendCode", "/Box/User/setPass"}) {
        Json::Value fault = RefService::Fault(path, "status");
        fault["listener"] = "api";
        RefService::AddFault(fault);
    }

    Run(&LoginSendCodeThread<g_testLoginWnd>, new AccountParam{L"86", L"1", L"13800138000"});
    EXPECT_EQ(m_calls[0].handler, "OnSendCodeDone");
    const std::wstring afterSendCode = LogText(logPath);
    EXPECT_NE(afterSendCode.find(L"injected status"), std::wstring::npos);

    Run(&LoginSetPassThread<g_testLoginWnd>, new std::wstring(L"x"));
    EXPECT_EQ(m_calls[0].handler, "OnSetPassDone");
    EXPECT_EQ(LogText(logPath), afterSendCode);
    g_logFile.SetLogPath(L"", 1024);
}
}  // namespace
