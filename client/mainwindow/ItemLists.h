#pragma once
// The three item lists of the web service (games, plug-ins, accelerator
// programs) read from their JSON texts into heap records, in list order.
// Every member is read as text; a missing member, null, an array or an
// object read as the empty text, and elements that are no objects are
// skipped.

#include <deque>
#include <memory>
#include <string>

#include "services/ItemRecords.h"

// A list of heap records with the records it holds.
template <class Record>
struct RecordListDelete
{
    void operator()(std::deque<Record*>* list) const
    {
        for (Record* record : *list)
            delete record;
        delete list;
    }
};
template <class Record>
using RecordListPtr = std::unique_ptr<std::deque<Record*>, RecordListDelete<Record>>;

// Null when the text is not JSON; a root that is no array gives no records.
RecordListPtr<GameInfo> ParseGameList(const std::string& listText);
RecordListPtr<PluginInfo> ParsePluginList(const std::string& listText);
RecordListPtr<JiasuqiInfo> ParseJiasuqiList(const std::string& listText);
