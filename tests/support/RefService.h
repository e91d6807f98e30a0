#pragma once
// The reference web service's control interface, reached with libcurl
// directly so that the client code under test plays no part in it.

#include <json/json.h>

#include <string>

namespace RefService {
// Demo state, empty journal, no faults.
void Reset();
// A fault of that kind on the path, on both listeners until cleared; its
// further fields ("status", "count", "listener", ...) are the caller's.
Json::Value Fault(const std::string& path, const std::string& kind);
void AddFault(const Json::Value& fault);
// Removes every fault, keeping the rest of the state.
void ClearFaults();
// The requests of one path in the order they arrived.
Json::Value Journal(const std::string& path);
// The last unspent SMS code sent to the number; empty when none.
std::string SmsCode(const std::string& mobile);
// Creates or changes a user (a JSON object with "mobile").
Json::Value PutUser(const Json::Value& user);
// Serves the bytes as /files/NAME until the next reset; gives {url, size, md5}.
Json::Value AddFile(const std::string& name, const std::string& content);
// "update_text", "service", "upload_plugins".
void PutConfig(const Json::Value& config);
// Lists a test game ("game_id", "name" and any other game field) in the
// category until the next reset; gives the entry as listed.
Json::Value AddGame(const std::string& categoryId, const Json::Value& game);

// The value of the header in a journal entry; empty when it is missing.
std::string Header(const Json::Value& entry, const std::string& name);
// The value of the key in a journal entry's body, still URL-encoded.
std::string BodyValue(const Json::Value& entry, const std::string& key);
}  // namespace RefService
