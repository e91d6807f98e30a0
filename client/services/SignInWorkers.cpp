#include "services/SignInWorkers.h"

#include "services/RegistryUtil.h"
#include "services/TextConvert.h"
#include "services/WindowMultiThreadManager.h"
#include "services/WriteLogFile.h"

#include <optional>

namespace {
const char kLoginPath[] = "/Box/User/login";

// The members of a sign-in result, all read as text.
struct SignedInUser
{
    std::string token;
    std::string isFirst;
    std::string userId;
    std::string username;
    std::string softwareId;
    std::string softwareUsername;
    std::string isOverseas;
};

// Nothing when the result is empty, not JSON, or neither an object nor null.
std::optional<SignedInUser> ReadSignedInUser(const std::string& resultText)
{
    Json::Value result;
    if (resultText.empty() || !ParseJsonText(resultText, result))
        return std::nullopt;
    try {
        SignedInUser user;
        user.token = JsonMemberText(result, "token");
        user.isFirst = JsonMemberText(result, "is_first");
        user.userId = JsonMemberText(result, "user_id");
        user.username = JsonMemberText(result, "username");
        user.softwareId = JsonMemberText(result, "software_id");
        user.softwareUsername = JsonMemberText(result, "software_username");
        user.isOverseas = JsonMemberText(result, "is_overseas");
        return user;
    } catch (...) {
        return std::nullopt;
    }
}

void SaveSetting(const char* name, const std::string& utf8)
{
    WriteRegValue(HKEY_CURRENT_USER, kClientSettingsKey, name, REG_SZ, utf8, static_cast<DWORD>(utf8.size()));
}

SignInOutcome StoreSignIn(const SignedInUser& user, uint32_t opType)
{
    SaveSetting("token", user.token);
    SaveSetting("token2", user.userId);
    SaveSetting("username", user.username);
    g_sessionData.SetUserId(user.userId);
    g_sessionData.SetToken(user.token);
    g_sessionData.SetUsername(user.username);
    g_sessionData.SetSoftwareId(user.softwareId);
    g_sessionData.SetSoftwareUsername(user.softwareUsername);
    g_sessionData.SetIsOverseas(user.isOverseas);

    uint32_t reportType = 0;
    uint32_t opStatus = 1;
    uint32_t objectId = 0;
    uint32_t code = CSessionData::MakeReportCode(reportType, opType, opStatus, objectId);
    BoxReport(reportType, opType, opStatus, objectId, code, g_sessionData.GetToken());

    SignInOutcome outcome;
    outcome.success = true;
    outcome.first = Utf8ToWide(user.isFirst) == L"1";
    if (outcome.first)
        g_sessionData.SetIsFirst(true);
    return outcome;
}

RequestParams LoginParams(const std::string& password, const std::string& token, const std::string& mobile,
                          const std::string& code, const char* type)
{
    return {TextParam("login_password", password),
            TextParam("login_token", token),
            TextParam("mobile", mobile),
            TextParam("mobile_code", code),
            TimestampParam(),
            TextParam("type", std::string(type))};
}
}  // namespace

RequestParams CodeSignInParams(const AccountParam& record)
{
    return LoginParams("", "", WideToUtf8(record.second), WideToUtf8(record.third), "1");
}

RequestParams PasswordSignInParams(const AccountParam& record)
{
    return LoginParams(WideToUtf8(record.third), "", WideToUtf8(record.second), "", "2");
}

RequestParams TokenSignInParams(const StringPair& saved) { return LoginParams("", saved.first, saved.second, "", "3"); }

SignInOutcome SignIn(const RequestParams& params, uint32_t opType)
{
    const ServiceAnswer answer = CallService(kLoginPath, params, RetryLog::kNone, ResultData::kDecipher);
    if (answer.Failed())
        return SignInOutcome{false, false, Utf8ToWide(answer.message)};
    std::optional<SignedInUser> user;
    if (answer.Succeeded())
        user = ReadSignedInUser(answer.result);
    if (user)
        return StoreSignIn(*user, opType);
    // A request cut short by the window's closing is no fault to log.
    if (!CWindowMultiThreadManager::IsStopRequested())
        WRITE_LOG(Utf8ToWide(answer.body).c_str());
    return SignInOutcome{false, false, kSignInFailedText};
}
