#include "ServiceLists.h"

Json::Value ListInReply(const Json::Value& journalEntry)
{
    Json::Value list;
    Json::Reader().parse(journalEntry["result"].asString(), list, false);
    return list;
}

int IndexOfName(const Json::Value& list, const std::string& name)
{
    for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
        if (list[i]["name"].asString() == name)
            return static_cast<int>(i);
    }
    return -1;
}
