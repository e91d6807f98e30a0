#include "RefService.h"

#include "services/BuildSettings.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <memory>

namespace {
size_t AppendBody(char* data, size_t size, size_t count, void* out)
{
    static_cast<std::string*>(out)->append(data, size * count);
    return size * count;
}

// One exchange with /__control/NAME at the API listener; the body posted when
// given, else a GET. Fails the running test on anything but status 200.
Json::Value Control(const std::string& nameAndQuery, const std::string* postBody)
{
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
    const std::string url = std::string("https://") + CALVERIN_API_HOST + "/__control/" + nameAndQuery;
    std::string reply;
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(curl.get(), CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, 30L);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, &AppendBody);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &reply);
    if (postBody) {
        curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDS, postBody->c_str());
        curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(postBody->size()));
    }
    const CURLcode result = curl_easy_perform(curl.get());
    long status = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    Json::Value value;
    if (result != CURLE_OK || status != 200) {
        ADD_FAILURE() << nameAndQuery << ": " << curl_easy_strerror(result) << " status " << status << " " << reply;
        return value;
    }
    Json::Reader().parse(reply, value, false);
    return value;
}

Json::Value Post(const std::string& name, const Json::Value& body)
{
    const std::string text = Json::FastWriter().write(body);
    return Control(name, &text);
}

Json::Value Get(const std::string& nameAndQuery) { return Control(nameAndQuery, nullptr); }
}  // namespace

namespace RefService {
void Reset() { Post("reset", Json::Value(Json::objectValue)); }
void AddFault(const Json::Value& fault) { Post("fault", fault); }
void ClearFaults() { Post("clear-faults", Json::Value(Json::objectValue)); }

Json::Value Fault(const std::string& path, const std::string& kind)
{
    Json::Value fault;
    fault["path"] = path;
    fault["kind"] = kind;
    return fault;
}
Json::Value Journal(const std::string& path)
{
    // The service reads the query decoded: a path as sent keeps its escapes.
    std::string query;
    for (const char c : path) {
        static const char kHex[] = "0123456789ABCDEF";
        if (c == '%' || c == '&' || c == '+' || c == '#' || c == ' ')
            query += std::string("%") + kHex[(c >> 4) & 0xF] + kHex[c & 0xF];
        else
            query += c;
    }
    return Get("journal?path=" + query);
}
Json::Value PutUser(const Json::Value& user) { return Post("user", user); }
void PutConfig(const Json::Value& config) { Post("config", config); }
Json::Value AddGame(const std::string& categoryId, const Json::Value& game)
{
    return Post("game?category_id=" + categoryId, game);
}
Json::Value AddFile(const std::string& name, const std::string& content)
{
    return Control("file?name=" + name, &content);
}

std::string SmsCode(const std::string& mobile) { return Get("sms?mobile=" + mobile)["code"].asString(); }

std::string Header(const Json::Value& entry, const std::string& name)
{
    for (const Json::Value& header : entry["headers"])
        if (header[0].asString() == name)
            return header[1].asString();
    return std::string();
}

std::string BodyValue(const Json::Value& entry, const std::string& key)
{
    const std::string body = "&" + entry["body"].asString();
    const size_t start = body.find("&" + key + "=");
    if (start == std::string::npos)
        return std::string();
    const size_t valueStart = start + key.size() + 2;
    const size_t end = body.find('&', valueStart);
    return body.substr(valueStart, end == std::string::npos ? std::string::npos : end - valueStart);
}
}  // namespace RefService
