#include "services/AccountWorkers.h"

#include "services/SessionData.h"
#include "services/TextConvert.h"
#include "services/WindowMultiThreadManager.h"
#include "services/WriteLogFile.h"

namespace {

AccountOutcome CallAccountService(const char* path, const RequestParams& params, RetryLog retryLog,
                                  const wchar_t* fixedFailureText)
{
    const ServiceAnswer answer = CallService(path, params, retryLog, ResultData::kIgnore);
    if (answer.Succeeded())
        return AccountOutcome{true, answer.code, std::wstring()};
    if (answer.Failed())
        return AccountOutcome{false, answer.code, Utf8ToWide(answer.message)};
    // A request cut short by the window's closing is no fault to log.
    if (!CWindowMultiThreadManager::IsStopRequested())
        WRITE_LOG(Utf8ToWide(answer.body).c_str());
    return AccountOutcome{false, 0, fixedFailureText};
}
}  // namespace

AccountOutcome SendCode(const AccountParam& record)
{
    const RequestParams params = {TextParam("area_code", record.first), TextParam("object", record.third),
                                  TimestampParam(), TextParam("type", record.second)};
    return CallAccountService("/Box/User/sendCode", params, RetryLog::kWrite, kSendCodeFailedText);
}

RequestParams SetPassParams(const std::wstring& password)
{
    return {TextParam("password", password), TextParam("token", g_sessionData.GetToken()), TimestampParam()};
}

AccountOutcome SetPass(const RequestParams& params)
{
    return CallAccountService("/Box/User/setPass", params, RetryLog::kNone, kSetPassFailedText);
}

AccountOutcome BindSpeed(const AccountParam& record)
{
    const RequestParams params = {TextParam("code", record.third), TextParam("software_id", record.first),
                                  TextParam("software_username", record.second),
                                  TextParam("token", g_sessionData.GetToken()), TimestampParam()};
    return CallAccountService("/Box/User/bindSpeed", params, RetryLog::kNone, kBindFailedText);
}
