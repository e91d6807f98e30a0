#include "services/StartupWorkers.h"

#include "services/RequestProtocol.h"
#include "services/SessionData.h"
#include "services/TextConvert.h"
#include "services/WindowMultiThreadManager.h"
#include "services/WriteLogFile.h"

VersionOutcome CheckVersion()
{
    const ServiceAnswer answer =
        CallService("/Box/Version/checkVersion", {TimestampParam()}, RetryLog::kWrite, ResultData::kDecipher);
    if (answer.Succeeded())
        return VersionOutcome{true, answer.result, std::wstring()};
    if (answer.Failed())
        return VersionOutcome{false, std::string(), Utf8ToWide(answer.message)};
    // A request cut short by the window's closing is no fault to log.
    if (!CWindowMultiThreadManager::IsStopRequested())
        WRITE_LOG(Utf8ToWide(answer.body).c_str());
    return VersionOutcome{false, std::string(), kCheckVersionFailedText};
}

ConfigOutcome GetConfig()
{
    const ServiceAnswer answer =
        CallService("/Box/Config/getConfig", {TimestampParam()}, RetryLog::kWrite, ResultData::kDecipher);
    if (answer.Failed())
        return ConfigOutcome{false, Utf8ToWide(answer.message)};
    try {
        Json::Value config;
        if (answer.Succeeded() && ParseJsonText(answer.result, config)) {
            // Both are read before either is stored, so a failure changes nothing.
            const std::wstring service = Utf8ToWide(JsonMemberText(config, "service"));
            const std::wstring uploadPlugins = Utf8ToWide(JsonMemberText(config, "upload_plugins"));
            g_sessionData.SetService(service);
            g_sessionData.SetUploadPlugins(uploadPlugins);
            return ConfigOutcome{true, std::wstring()};
        }
    } catch (...) {
    }
    if (!CWindowMultiThreadManager::IsStopRequested())
        WRITE_LOG(Utf8ToWide(answer.body).c_str());
    return ConfigOutcome{false, kGetConfigFailedText};
}
