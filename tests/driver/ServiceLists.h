#pragma once
// The lists that the reference service sent, as its journal holds the
// plaintext of each reply: what the client was given to show.

#include <json/json.h>

#include <string>

// The list that a reply carried (categories, games, plug-ins).
Json::Value ListInReply(const Json::Value& journalEntry);

// The index of the first entry whose "name" is the name; -1 when none is.
int IndexOfName(const Json::Value& list, const std::string& name);
