// The signed request as the reference web service receives it, the one retry
// at the fallback address, the reading of unusable replies, and the
// download-address request.
#include "RecordingWnd.h"
#include "RefService.h"
#include "services/RequestProtocol.h"
#include "services/SessionData.h"
#include "services/SignInWorkers.h"
#include "services/StartupWorkers.h"

#include "services/BuildSettings.h"
#include "services/Md5A.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
CRecordingWnd* g_testLoginWnd = nullptr;
CRecordingWnd* g_testMainWnd = nullptr;

const char kLoginPath[] = "/Box/User/login";
const char kVersionPath[] = "/Box/Version/checkVersion";
const char kLinkPath[] = "/Box/Game/getEncryLink";
const wchar_t kSignInFailedText[] = L"登录错误！请稍后重试";

class RequestProtocolTest : public testing::Test
{
protected:
    void SetUp() override
    {
        RefService::Reset();
        g_sessionData.SetUserId("");
        g_sessionData.SetToken("");
        g_testLoginWnd = &m_login;
        g_testMainWnd = &m_main;
        ASSERT_NE(m_login.GetWindowHandle(), nullptr);
    }
    void TearDown() override
    {
        g_testLoginWnd = nullptr;
        g_testMainWnd = nullptr;
    }

    ReceivedCall Run(CWindowMultiThreadManager::ThreadProc worker, void* param)
    {
        const size_t before = m_calls.size();
        EXPECT_NE(m_login.Threads().StartThread(worker, param), 0u);
        if (!m_login.WaitForCalls(before + 1))
            return ReceivedCall();
        return m_calls.back();
    }

    ReceivedCall SignInByPassword(const std::wstring& password)
    {
        return Run(&PasswordLoginThread<g_testLoginWnd>, new AccountParam{L"86", L"13800138000", password});
    }

    CallLog m_calls;
    CRecordingWnd m_login{&m_calls};
    CRecordingWnd m_main{&m_calls};
};

TEST_F(RequestProtocolTest, RequestCarriesTheHeaderLinesAndASignedBodyInKeyOrder)
{
    g_sessionData.SetUserId("1001");
    const ReceivedCall call = SignInByPassword(L"AbC d中/");
    EXPECT_EQ(call.handler, "OnPasswordLoginFailed");
    EXPECT_EQ(call.text, L"手机号或密码错误");

    const Json::Value journal = RefService::Journal(kLoginPath);
    ASSERT_EQ(journal.size(), 1u);
    const Json::Value& entry = journal[0];
    // The service checked the order, the encoding and the signature over the
    // lower-cased text and the salt.
    EXPECT_TRUE(entry["sign_ok"].asBool());
    EXPECT_EQ(entry["problem"].asString(), "");
    const std::string body = entry["body"].asString();
    const std::string head = "login_password=AbC+d%E4%B8%AD%2F&login_token=&mobile=13800138000&mobile_code=&ts=";
    ASSERT_EQ(body.substr(0, head.size()), head);
    const size_t typeAt = body.find("&type=2&sign=");
    ASSERT_NE(typeAt, std::string::npos);
    EXPECT_EQ(body.substr(head.size(), typeAt - head.size()).find_first_not_of("0123456789"), std::string::npos);
    EXPECT_EQ(body.size(), typeAt + 13 + 32);

    std::vector<std::string> names;
    for (const Json::Value& header : entry["headers"])
        if (header[0].asString() != "Host" && header[0].asString().rfind("Content-", 0) != 0)
            names.push_back(header[0].asString());
    const std::vector<std::string> expected = {
        "Accept", "Accept-Language", "User-Agent", "Accept-Encoding", "Connection",
        "Userid", "Clientuuid",      "Categoryid", "Version",         "Lang"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(RefService::Header(entry, "Userid"), "1001");
    EXPECT_EQ(RefService::Header(entry, "Clientuuid"), g_sessionData.GetClientUuid());
    EXPECT_EQ(RefService::Header(entry, "Categoryid"), "11");
    EXPECT_EQ(RefService::Header(entry, "Version"), "200");
    EXPECT_EQ(RefService::Header(entry, "Lang"), "zh-cn");
    EXPECT_EQ(RefService::Header(entry, "Content-Type"), "application/x-www-form-urlencoded");
}

TEST_F(RequestProtocolTest, SignatureAndEncodingOfTextValues)
{
    const std::string salt = CALVERIN_SIGN_SALT;
    const std::string body = SignRequest({TextParam("a", std::string("AbC d")), TextParam("b", std::wstring(L"中")),
                                          TextParam("c", std::string()), NumberParam("n", 4294967295u)});
    EXPECT_EQ(body, "a=AbC+d&b=%E4%B8%AD&c=&n=4294967295&sign=" +
                        CMd5A().GetStringMd5("a=abc+d&b=%e4%b8%ad&c=&n=4294967295" + salt));
}

// A lost first attempt goes once more, unchanged, to the fallback address.
TEST_F(RequestProtocolTest, UnusableFirstAnswerIsRetriedOnceAtTheFallbackAfterThreeSeconds)
{
    for (const char* kind : {"status", "drop"}) {
        SCOPED_TRACE(kind);
        RefService::Reset();
        Json::Value fault = RefService::Fault(kVersionPath, kind);
        fault["status"] = 500;
        fault["listener"] = "api";
        RefService::AddFault(fault);

        const ReceivedCall call = Run(&CheckVersionThread<g_testMainWnd>, nullptr);
        EXPECT_EQ(call.handler, "OnCheckVersionReply");
        EXPECT_EQ(call.first, 0u);

        const Json::Value journal = RefService::Journal(kVersionPath);
        ASSERT_EQ(journal.size(), 2u);
        EXPECT_EQ(journal[0]["listener"].asString(), "api");
        EXPECT_EQ(journal[1]["listener"].asString(), "fallback");
        EXPECT_EQ(journal[1]["body"].asString(), journal[0]["body"].asString());
        EXPECT_GE(journal[1]["time"].asDouble() - journal[0]["time"].asDouble(), 3.0);
        EXPECT_EQ(RefService::Header(journal[1], "Host"), std::string(CALVERIN_FALLBACK_IP) + ":4880");
    }
}

// Every reply that cannot be read ends in the fixed text; a readable
// non-success carries the service's message. The third column is the number
// of attempts.
TEST_F(RequestProtocolTest, UnreadableRepliesEndInTheFixedText)
{
    struct Case
    {
        const char* kind;
        int status;
        const char* handler;
        std::wstring text;
        unsigned attempts;
    };
    const Case cases[] = {
        {"status", 500, "OnPasswordLoginFailed", kSignInFailedText, 2},
        {"status", 301, "OnPasswordLoginFailed", kSignInFailedText, 2},
        {"empty", 0, "OnPasswordLoginFailed", kSignInFailedText, 2},
        {"status", 300, "OnPasswordLoginDone", L"", 1},
        {"not_json", 0, "OnPasswordLoginFailed", kSignInFailedText, 1},
        {"json_array", 0, "OnPasswordLoginFailed", kSignInFailedText, 1},
        {"bad_data", 0, "OnPasswordLoginFailed", kSignInFailedText, 1},
        {"short_data", 0, "OnPasswordLoginFailed", kSignInFailedText, 1},
        {"prefix_only", 0, "OnPasswordLoginFailed", kSignInFailedText, 1},
        {"null", 0, "OnPasswordLoginFailed", L"", 1},
        {"code_string", 0, "OnPasswordLoginFailed", L"字符串代码", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " " + std::to_string(c.status));
        RefService::Reset();
        Json::Value fault = RefService::Fault(kLoginPath, c.kind);
        if (c.status)
            fault["status"] = c.status;
        fault["message"] = "字符串代码";
        RefService::AddFault(fault);
        const ReceivedCall call = SignInByPassword(L"demo1234");
        EXPECT_EQ(call.handler, c.handler);
        EXPECT_EQ(call.text, c.text);
        EXPECT_EQ(RefService::Journal(kLoginPath).size(), c.attempts);
    }
}

TEST_F(RequestProtocolTest, DecipheredDataDropsItsPrefix)
{
    EXPECT_EQ(DecryptResponseData(""), "");
    EXPECT_THROW(DecryptResponseData("not base64 of a block"), std::out_of_range);
}

TEST_F(RequestProtocolTest, JsonMembersReadAsTheServiceMeansThem)
{
    Json::Value object;
    ASSERT_TRUE(ParseJsonText(R"({"s":"x","i":5,"r":2.5,"t":true,"f":false,"n":null,"a":[1],"o":{},
                                  "big":2147483648,"neg":-2147483648})",
                              object));
    EXPECT_EQ(JsonMemberText(object, "s"), "x");
    EXPECT_EQ(JsonMemberText(object, "i"), "5");
    EXPECT_EQ(JsonMemberText(object, "t"), "true");
    EXPECT_EQ(JsonMemberText(object, "f"), "false");
    for (const char* empty : {"n", "a", "o", "missing"})
        EXPECT_EQ(JsonMemberText(object, empty), "") << empty;

    EXPECT_EQ(JsonMemberInt(object, "i"), 5);
    EXPECT_EQ(JsonMemberInt(object, "r"), 2);
    EXPECT_EQ(JsonMemberInt(object, "t"), 1);
    EXPECT_EQ(JsonMemberInt(object, "neg"), INT32_MIN);
    for (const char* zero : {"s", "f", "n", "a", "o", "missing"})
        EXPECT_EQ(JsonMemberInt(object, zero), 0) << zero;
    EXPECT_ANY_THROW(JsonMemberInt(object, "big"));

    EXPECT_EQ(JsonMemberText(Json::Value(), "code"), "");
    EXPECT_ANY_THROW(JsonMemberText(Json::Value(Json::arrayValue), "code"));
    EXPECT_ANY_THROW(JsonMemberInt(Json::Value("10001"), "code"));
}

TEST_F(RequestProtocolTest, DownloadAddressRequest)
{
    // Base64 of this address holds "+", "/" and "=", which travel encoded.
    const std::string url = "https://127.0.0.1/files/\xE6\xB8\xB8\xE6\x88\x8F?>>>x";
    EXPECT_EQ(g_sessionData.GetEncryLink<g_testMainWnd>(url, L"0"), url);
    EXPECT_EQ(RefService::Journal(kLinkPath).size(), 0u);

    g_sessionData.SetToken("5f0c2a9e7b1d4c38a6e2f9d1b0c7a345");
    EXPECT_EQ(g_sessionData.GetEncryLink<g_testMainWnd>(url, L"1"), url);
    const Json::Value journal = RefService::Journal(kLinkPath);
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_EQ(journal[0]["problem"].asString(), "");

    // A failure code: the service's message, then the general text.
    g_sessionData.SetToken("stale");
    EXPECT_EQ(g_sessionData.GetEncryLink<g_testMainWnd>(url, L"1"), "");
    ASSERT_TRUE(m_main.WaitForCalls(2));
    EXPECT_EQ(m_calls[0].handler, "OnServerError");
    EXPECT_EQ(m_calls[0].first, 10011u);
    EXPECT_EQ(m_calls[0].text, L"登录已过期，请重新登录");
    EXPECT_EQ(m_calls[1].first, 0u);
    EXPECT_EQ(m_calls[1].text, L"加密链接解析失败。");

    g_sessionData.SetToken("5f0c2a9e7b1d4c38a6e2f9d1b0c7a345");
    const std::pair<const char*, std::wstring> unreadable[] = {
        {"not_json", L"加密链接解析失败。"},
        {"empty_data", L"加密链接解析失败。"},
        {"json_array", L"加密链接字段解析异常。"},
        {"bad_data", L"加密链接字段解析异常。"},
    };
    for (const auto& [kind, text] : unreadable) {
        SCOPED_TRACE(kind);
        m_calls.clear();
        Json::Value fault = RefService::Fault(kLinkPath, kind);
        fault["count"] = 1;
        RefService::AddFault(fault);
        EXPECT_EQ(g_sessionData.GetEncryLink<g_testMainWnd>(url, L"1"), "");
        ASSERT_TRUE(m_main.WaitForCalls(1));
        EXPECT_EQ(m_calls.size(), 1u);
        EXPECT_EQ(m_calls[0].text, text);
    }
}
}  // namespace
