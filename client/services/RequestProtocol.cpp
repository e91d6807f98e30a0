// curl brings winsock2.h, which must come before windows.h.
#include "services/HttpClient.h"
#include "services/RequestProtocol.h"

#include "services/Base64.h"
#include "services/BuildSettings.h"
#include "services/Md5A.h"
#include "services/ProductInfo.h"
#include "services/SessionData.h"
#include "services/TextConvert.h"
#include "services/Timestamp.h"
#include "services/UrlEncoding.h"
#include "services/WindowMultiThreadManager.h"
#include "services/WriteLogFile.h"
#include "services/Xxtea.h"

#include <stdexcept>

namespace {
constexpr size_t kDataPrefixLength = 10;
constexpr DWORD kRetryDelayMs = 3000;

bool IsUsable(const ServiceReply& reply) { return reply.status >= 200 && reply.status <= 300 && !reply.body.empty(); }

// Null reads as an object without members; any other non-object cannot be
// indexed by a key.
const Json::Value& MemberOf(const Json::Value& object, const char* key)
{
    static const Json::Value kNull;
    if (object.isNull())
        return kNull;
    if (!object.isObject())
        throw std::runtime_error("a member read from a value that is not an object");
    return object[key];
}
}  // namespace

RequestParam TextParam(const char* key, const std::string& utf8) { return RequestParam{key, utf8, true}; }
RequestParam TextParam(const char* key, const std::wstring& text) { return RequestParam{key, WideToUtf8(text), true}; }
RequestParam NumberParam(const char* key, uint32_t value) { return RequestParam{key, std::to_string(value), false}; }
RequestParam TimestampParam() { return RequestParam{"ts", GetTimestamp(), false}; }

std::string SignRequest(const RequestParams& params)
{
    std::string query;
    std::string signText;
    for (const RequestParam& param : params) {
        if (!query.empty()) {
            query += '&';
            signText += '&';
        }
        const std::string sent = param.encoded ? UrlEncode(param.value) : param.value;
        query += param.key + "=" + sent;
        signText += param.key + "=" + (param.encoded ? ChangeCase(false, sent) : sent);
    }
    signText += CALVERIN_SIGN_SALT;
    return query + "&sign=" + CMd5A().GetStringMd5(signText);
}

std::string CSessionData::BuildRequestHeaders()
{
    return "Userid: " + GetUserIdOrZero() + "\r\nClientuuid: " + GetClientUuid() +
           "\r\nCategoryid: 11\r\nVersion: " CALVERIN_VERSION_TEXT "\r\nLang: zh-cn";
}

ServiceReply PostSignedRequest(const char* path, const std::string& body, RetryLog retryLog)
{
    const std::string headers = g_sessionData.BuildRequestHeaders();
    CHttpClient client;
    client.InitLibCurl(nullptr);
    ServiceReply reply;
    client.SetPostData(body.c_str());
    reply.status = client.Request(std::string("https://") + CALVERIN_API_HOST + path, kHttpPostOrDefault, reply.body,
                                  headers.c_str(), L"");
    // A window that goes away meanwhile gets the first answer, not a retry.
    if (!IsUsable(reply) && !CWindowMultiThreadManager::WaitForStop(kRetryDelayMs)) {
        if (retryLog == RetryLog::kWrite)
            WRITE_LOG(Utf8ToWide(reply.body).c_str());
        client.SetPostData(body.c_str());
        reply.status = client.Request(std::string("https://") + CALVERIN_FALLBACK_IP + ":4880" + path,
                                      kHttpPostOrDefault, reply.body, headers.c_str(), L"");
    }
    client.Close();
    return reply;
}

std::string DecryptResponseData(const std::string& data)
{
    if (data.empty())
        return std::string();
    const std::string plain = DecryptText(data, CALVERIN_DATA_KEY);
    if (plain.size() < kDataPrefixLength)
        throw std::out_of_range("the reply data is shorter than its prefix");
    return plain.substr(kDataPrefixLength);
}

std::string JsonMemberText(const Json::Value& object, const char* key)
{
    const Json::Value& member = MemberOf(object, key);
    switch (member.type()) {
    case Json::stringValue:
    case Json::intValue:
    case Json::uintValue:
    case Json::realValue:
    case Json::booleanValue:
        return member.asString();
    default:
        return std::string();
    }
}

int JsonMemberInt(const Json::Value& object, const char* key)
{
    const Json::Value& member = MemberOf(object, key);
    switch (member.type()) {
    case Json::intValue:
    case Json::uintValue:
    case Json::realValue:
        // Raises for a number outside the 32-bit signed range.
        return member.asInt();
    case Json::booleanValue:
        return member.asBool() ? 1 : 0;
    default:
        return 0;
    }
}

bool ParseJsonText(const std::string& text, Json::Value& value)
{
    Json::Reader reader;
    return reader.parse(text, value, false);
}

ServiceAnswer CallService(const char* path, const RequestParams& params, RetryLog retryLog, ResultData resultData)
{
    ServiceAnswer answer;
    answer.body = PostSignedRequest(path, SignRequest(params), retryLog).body;
    Json::Value envelope;
    if (!ParseJsonText(answer.body, envelope))
        return answer;
    try {
        answer.code = JsonMemberInt(envelope, "code");
        if (answer.code != kServiceSuccess)
            answer.message = JsonMemberText(envelope, "message");
        else if (resultData == ResultData::kDecipher)
            answer.result = DecryptResponseData(JsonMemberText(envelope, "data"));
        answer.readable = true;
    } catch (...) {
        answer.code = 0;
        answer.message.clear();
        answer.result.clear();
    }
    return answer;
}

void BoxReport(uint32_t& reportType, uint32_t& opType, uint32_t& opStatus, uint32_t& objectId, uint32_t& code,
               const std::string& token)
{
    const RequestParams params = {NumberParam("code", code),
                                  NumberParam("object_id", objectId),
                                  NumberParam("op_status", opStatus),
                                  NumberParam("op_type", opType),
                                  NumberParam("report_type", reportType),
                                  TextParam("token", token),
                                  TimestampParam()};
    PostSignedRequest("/Box/Server/boxReport", SignRequest(params), RetryLog::kWrite);
}

EncryLinkAnswer RequestEncryLink(const std::string& url, const std::wstring& cdnUrlType)
{
    static const wchar_t kUnreadableText[] = L"加密链接解析失败。";
    EncryLinkAnswer answer;
    if (cdnUrlType == L"0") {
        answer.link = url;
        return answer;
    }
    const RequestParams params = {TextParam("cdn_url_type", cdnUrlType),
                                  TextParam("file_url", Base64Encode(url.data(), static_cast<int>(url.size()))),
                                  TextParam("token", g_sessionData.GetToken()), TimestampParam()};
    const std::string body = PostSignedRequest("/Box/Game/getEncryLink", SignRequest(params), RetryLog::kWrite).body;
    Json::Value envelope;
    if (!ParseJsonText(body, envelope)) {
        answer.errors.emplace_back(0, kUnreadableText);
        return answer;
    }
    try {
        const int code = JsonMemberInt(envelope, "code");
        if (code != kServiceSuccess) {
            answer.errors.emplace_back(code, Utf8ToWide(JsonMemberText(envelope, "message")));
            answer.errors.emplace_back(0, kUnreadableText);
            return answer;
        }
        const std::string result = DecryptResponseData(JsonMemberText(envelope, "data"));
        Json::Value link;
        if (!result.empty() && ParseJsonText(result, link))
            answer.link = JsonMemberText(link, "encry_file_url");
        else
            answer.errors.emplace_back(0, kUnreadableText);
    } catch (...) {
        answer.link.clear();
        answer.errors.assign(1, {0, L"加密链接字段解析异常。"});
    }
    return answer;
}
