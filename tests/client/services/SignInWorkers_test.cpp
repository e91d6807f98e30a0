// Signing in by password, by SMS code and by saved token against the reference
// web service, with the results arriving on a real window.
#include "services/AccountWorkers.h"
#include "RecordingWnd.h"
#include "RefService.h"
#include "services/RegistryUtil.h"
#include "services/SessionData.h"
#include "services/SignInWorkers.h"
#include "services/TextConvert.h"

#include <gtest/gtest.h>

namespace {
CRecordingWnd* g_testLoginWnd = nullptr;

const char kLoginPath[] = "/Box/User/login";
const char kReportPath[] = "/Box/Server/boxReport";

std::wstring Setting(const wchar_t* name)
{
    std::wstring text;
    ReadRegValue(HKEY_CURRENT_USER, L"Software\\calverin", name, REG_SZ, text);
    return text;
}

void ClearSession()
{
    g_sessionData.SetUserId("");
    g_sessionData.SetToken("");
    g_sessionData.SetUsername("");
    g_sessionData.SetSoftwareId("");
    g_sessionData.SetSoftwareUsername("");
    g_sessionData.SetIsOverseas("");
    g_sessionData.SetIsFirst(false);
}

class SignInWorkersTest : public testing::Test
{
protected:
    void SetUp() override
    {
        RefService::Reset();
        ClearSession();
        for (const char* name : {"token", "token2", "username"})
            DeleteRegValue(HKEY_CURRENT_USER, "Software\\calverin", name);
        g_testLoginWnd = &m_window;
        ASSERT_NE(m_window.GetWindowHandle(), nullptr);
    }
    void TearDown() override { g_testLoginWnd = nullptr; }

    // Starts the worker with the record and waits for its one call.
    template <class Record>
    ReceivedCall Run(CWindowMultiThreadManager::ThreadProc worker, Record* record)
    {
        const size_t before = m_calls.size();
        EXPECT_NE(m_window.Threads().StartThread(worker, record), 0u);
        if (!m_window.WaitForCalls(before + 1))
            return ReceivedCall();
        return m_calls.back();
    }

    CallLog m_calls;
    CRecordingWnd m_window{&m_calls};
};

TEST_F(SignInWorkersTest, PasswordSignInStoresTheUserSavesItAndReportsIt)
{
    const ReceivedCall call =
        Run(&PasswordLoginThread<g_testLoginWnd>, new AccountParam{L"+86", L"13900139000", L"mima5678"});
    EXPECT_EQ(call.handler, "OnPasswordLoginDone");
    EXPECT_EQ(call.first, 0u);
    EXPECT_NE(call.thread, 0u);

    EXPECT_EQ(g_sessionData.GetToken(), "a81e4d6c2f0b9e3d7c5a1f8e4b2d6c90");
    EXPECT_EQ(g_sessionData.GetUserIdOrZero(), "1002");
    EXPECT_EQ(g_sessionData.GetUsername(), "张伟");
    EXPECT_FALSE(g_sessionData.GetIsFirst());
    // Written as UTF-8 through the byte-string registry call, read back whole.
    EXPECT_EQ(Setting(L"token"), L"a81e4d6c2f0b9e3d7c5a1f8e4b2d6c90");
    EXPECT_EQ(Setting(L"token2"), L"1002");
    EXPECT_EQ(Setting(L"username"), L"张伟");

    const Json::Value reports = RefService::Journal(kReportPath);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(RefService::BodyValue(reports[0], "code"), "110110");
    EXPECT_EQ(RefService::BodyValue(reports[0], "token"), "a81e4d6c2f0b9e3d7c5a1f8e4b2d6c90");
    EXPECT_TRUE(reports[0]["sign_ok"].asBool());
    EXPECT_EQ(reports[0]["problem"].asString(), "");
    // The area code is not sent; the service checked the keys.
    const Json::Value login = RefService::Journal(kLoginPath)[0];
    EXPECT_EQ(login["problem"].asString(), "");
    EXPECT_EQ(login["body"].asString().find("%2B86"), std::string::npos);
}

TEST_F(SignInWorkersTest, CodeSignInOfANewUserIsAFirstSignIn)
{
    const std::string mobile = "13700137000";
    ASSERT_EQ(Run(&LoginSendCodeThread<g_testLoginWnd>, new AccountParam{L"86", L"1", L"13700137000"}).handler,
              "OnSendCodeDone");
    const std::wstring code = Utf8ToWide(RefService::SmsCode(mobile));
    ASSERT_FALSE(code.empty());

    const ReceivedCall call = Run(&CodeLoginThread<g_testLoginWnd>, new AccountParam{L"86", L"13700137000", code});
    EXPECT_EQ(call.handler, "OnCodeLoginDone");
    EXPECT_EQ(call.first, 1u);
    EXPECT_TRUE(g_sessionData.GetIsFirst());
    EXPECT_EQ(Setting(L"username"), Utf8ToWide(mobile));
    EXPECT_FALSE(g_sessionData.GetToken().empty());

    const Json::Value login = RefService::Journal(kLoginPath);
    ASSERT_EQ(login.size(), 1u);
    EXPECT_EQ(login[0]["body"].asString().rfind("login_password=&login_token=&mobile=13700137000&mobile_code=", 0), 0u);
    const Json::Value reports = RefService::Journal(kReportPath);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(RefService::BodyValue(reports[0], "code"), "110010");
}

TEST_F(SignInWorkersTest, SavedTokenSignInCarriesTheTokenAsUserIdUntilItSucceeds)
{
    const ReceivedCall call =
        Run(&TokenLoginThread<g_testLoginWnd>, new StringPair{"5f0c2a9e7b1d4c38a6e2f9d1b0c7a345", "13800138000"});
    EXPECT_EQ(call.handler, "OnTokenLoginDone");
    EXPECT_EQ(call.first, 0u);
    EXPECT_EQ(RefService::Header(RefService::Journal(kLoginPath)[0], "Userid"), "5f0c2a9e7b1d4c38a6e2f9d1b0c7a345");
    EXPECT_EQ(g_sessionData.GetUserIdOrZero(), "1001");
    EXPECT_EQ(Setting(L"token2"), L"1001");
    EXPECT_EQ(RefService::BodyValue(RefService::Journal(kReportPath)[0], "code"), "110010");
}

TEST_F(SignInWorkersTest, FailedSignInsLeaveRegistryAndSessionAlone)
{
    // A refused token keeps standing in as the user id for later requests.
    const ReceivedCall token = Run(&TokenLoginThread<g_testLoginWnd>, new StringPair{"stale", "13800138000"});
    EXPECT_EQ(token.handler, "OnTokenLoginFailed");
    EXPECT_EQ(token.text, L"登录已过期，请重新登录");
    EXPECT_EQ(g_sessionData.GetUserIdOrZero(), "stale");

    const ReceivedCall password =
        Run(&PasswordLoginThread<g_testLoginWnd>, new AccountParam{L"", L"13800138000", L"wrong"});
    EXPECT_EQ(password.handler, "OnPasswordLoginFailed");
    EXPECT_EQ(password.text, L"手机号或密码错误");

    // A success without a result: the fixed text, not a success.
    RefService::AddFault(RefService::Fault(kLoginPath, "empty_data"));
    const ReceivedCall empty =
        Run(&PasswordLoginThread<g_testLoginWnd>, new AccountParam{L"", L"13800138000", L"demo1234"});
    EXPECT_EQ(empty.handler, "OnPasswordLoginFailed");
    EXPECT_EQ(empty.text, L"登录错误！请稍后重试");

    EXPECT_EQ(g_sessionData.GetToken(), "");
    EXPECT_EQ(Setting(L"token"), L"");
    EXPECT_EQ(RefService::Journal(kReportPath).size(), 0u);
}

TEST_F(SignInWorkersTest, EmptySavedTokenSendsNothing)
{
    g_sessionData.SetUserId("1001");
    const ReceivedCall call = Run(&TokenLoginThread<g_testLoginWnd>, new StringPair{"", "13800138000"});
    EXPECT_EQ(call.handler, "OnTokenLoginFailed");
    EXPECT_FALSE(call.hasText);
    EXPECT_EQ(g_sessionData.GetUserIdOrZero(), "0");
    EXPECT_EQ(RefService::Journal(kLoginPath).size(), 0u);
}

// What the result object holds decides the first-sign-in flag and what is stored.
TEST_F(SignInWorkersTest, ResultObjectsAreReadAsText)
{
    struct Case
    {
        const char* result;
        const char* handler;
        UINT_PTR first;
        const char* token;
    };
    const Case cases[] = {
        {R"({"token":"t1","is_first":1})", "OnPasswordLoginDone", 1, "t1"},
        {R"({"token":"t2","is_first":"true"})", "OnPasswordLoginDone", 0, "t2"},
        {R"({"token":"t3","is_first":"01"})", "OnPasswordLoginDone", 0, "t3"},
        {R"({"token":["x"],"user_id":7})", "OnPasswordLoginDone", 0, ""},
        {"null", "OnPasswordLoginDone", 0, ""},
        {R"(["token"])", "OnPasswordLoginFailed", 0, "kept"},
        {R"("text")", "OnPasswordLoginFailed", 0, "kept"},
        {"not json", "OnPasswordLoginFailed", 0, "kept"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        g_sessionData.SetToken("kept");
        g_sessionData.SetIsFirst(false);
        Json::Value fault = RefService::Fault(kLoginPath, "result");
        fault["text"] = c.result;
        fault["count"] = 1;
        RefService::AddFault(fault);
        const ReceivedCall call =
            Run(&PasswordLoginThread<g_testLoginWnd>, new AccountParam{L"", L"13800138000", L"demo1234"});
        EXPECT_EQ(call.handler, c.handler);
        EXPECT_EQ(call.first, c.first);
        EXPECT_EQ(g_sessionData.GetIsFirst(), c.first == 1);
        EXPECT_EQ(g_sessionData.GetToken(), c.token);
    }
}
}  // namespace
