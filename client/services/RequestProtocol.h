#pragma once
// The one way the client talks to its web service: a signed form POST to a
// "/Box/" path, sent to the API host and, when that brings no usable answer,
// once more to the fallback address; the answer is a JSON envelope whose
// "data" is enciphered. Also the service's own ways of reading JSON values,
// which never raise where the JSON library would.

#include "services/SessionData.h"
#include "services/WindowCalls.h"

#include <json/json.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

constexpr int kServiceSuccess = 10001;

// Codes after which a caller that holds the session drops it.
inline bool IsSessionExpiredCode(int code) { return code >= 10011 && code <= 10016; }

// One parameter as sent: texts (UTF-8) travel URL-encoded, the time stamp and
// report numbers as they are.
struct RequestParam
{
    std::string key;
    std::string value;
    bool encoded = true;
};
typedef std::vector<RequestParam> RequestParams;

RequestParam TextParam(const char* key, const std::string& utf8);
RequestParam TextParam(const char* key, const std::wstring& text);
RequestParam NumberParam(const char* key, uint32_t value);
// "ts": the current time stamp.
RequestParam TimestampParam();

// The POST body: the parameters in the given order, then "&sign=" and the MD5
// of the lower-cased text followed by the signing salt.
std::string SignRequest(const RequestParams& params);

// Whether the caller logs the first attempt's body before it retries.
enum class RetryLog
{
    kNone,
    kWrite,
};

struct ServiceReply
{
    int status = 0;    // 0 when no response arrived
    std::string body;  // or the transfer's error text
};

// Sends the body to the path at the API host; a status outside 200 to 300 or
// an empty body sends the same body again to the fallback address after 3 s,
// whose answer stands whatever it is.
ServiceReply PostSignedRequest(const char* path, const std::string& body, RetryLog retryLog);

// The plaintext of "data" after its 10-byte prefix; empty for an empty text.
// Throws std::out_of_range when the plaintext is shorter than the prefix, which
// covers every text that does not decipher.
std::string DecryptResponseData(const std::string& data);

// The service's conversions of a member of a JSON object (or of null, which
// reads as an object without members). Both throw std::runtime_error when the
// value is anything else.
// Text: a string unchanged, a number its decimal text, booleans "true"/"false",
// anything else empty.
std::string JsonMemberText(const Json::Value& object, const char* key);
// Integer: a number's value (outside the 32-bit signed range: throws), booleans
// 1/0, anything else 0.
int JsonMemberInt(const Json::Value& object, const char* key);
// False when the text is not JSON.
bool ParseJsonText(const std::string& text, Json::Value& value);

// One exchange read as far as its envelope.
struct ServiceAnswer
{
    std::string body;       // the reply as read, for the callers' failure log
    bool readable = false;  // false: not JSON, not an envelope, or "data" undecipherable
    int code = 0;
    std::string message;  // UTF-8; for failure codes
    std::string result;   // the deciphered "data" of a success, when asked for

    bool Succeeded() const { return readable && code == kServiceSuccess; }
    bool Failed() const { return readable && code != kServiceSuccess; }
};

enum class ResultData
{
    kIgnore,
    kDecipher,
};

// Signs, sends (with the one retry) and reads the envelope.
ServiceAnswer CallService(const char* path, const RequestParams& params, RetryLog retryLog, ResultData resultData);

// The usage report; its answer is not read and nobody hears of a failure.
void BoxReport(uint32_t& reportType, uint32_t& opType, uint32_t& opStatus, uint32_t& objectId, uint32_t& code,
               const std::string& token);

// What a download-address request came to.
struct EncryLinkAnswer
{
    std::string link;
    // What the main window shows in turn: (the service's code or 0, text).
    std::vector<std::pair<int, std::wstring>> errors;
};

EncryLinkAnswer RequestEncryLink(const std::string& url, const std::wstring& cdnUrlType);

template <auto& MainWnd>
std::string CSessionData::GetEncryLink(const std::string& url, const std::wstring& cdnUrlType)
{
    const EncryLinkAnswer answer = RequestEncryLink(url, cdnUrlType);
    for (const auto& [code, text] : answer.errors)
        QueueMessage(MainWnd, &WindowOf<MainWnd>::OnServerError, static_cast<UINT_PTR>(code), text);
    return answer.link;
}
