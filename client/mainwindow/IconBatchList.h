#pragma once
// The icon batches of one kind of item row: each accepted list reply's
// records, whose icons a worker fetches one after the other. A new list of
// the kind is refused while the newest batch still loads; finished batches
// are freed when the next list is accepted. The records are the rows' tags.
//
// Records that a running task still uses (an accelerator's task works on the
// row's own record) must outlive their batch: the release hands them to a
// retired list, from which they go once nothing uses them any more.

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "mainwindow/ItemLists.h"

template <class Record>
class CIconBatchList
{
public:
    CIconBatchList() = default;
    CIconBatchList(const CIconBatchList&) = delete;
    CIconBatchList& operator=(const CIconBatchList&) = delete;
    ~CIconBatchList()
    {
        for (Batch& batch : m_batches)
            FreeList(batch.list);
    }

    // The newest batch has not had its last icon yet.
    bool IsLoading() const { return !m_batches.empty() && !m_batches.back().done; }

    // Frees every finished batch; records for which inUse holds are kept
    // until a later release finds them unused.
    void ReleaseDone(const std::function<bool(const Record*)>& inUse)
    {
        FreeUnused(inUse);
        for (auto it = m_batches.begin(); it != m_batches.end();) {
            if (!it->done) {
                ++it;
                continue;
            }
            for (Record* record : *it->list) {
                if (inUse(record))
                    m_retired.emplace_back(record);
                else
                    delete record;
            }
            delete it->list;
            it = m_batches.erase(it);
        }
    }

    // Takes the list over as the newest batch and returns it, for the worker.
    std::deque<Record*>* Add(std::wstring key, RecordListPtr<Record> list)
    {
        m_batches.push_back(Batch{std::move(key), list.release(), 0});
        return m_batches.back().list;
    }

    // The batch's icon at the index is in: the last one of the newest batch
    // ends its loading.
    void IconReady(const std::deque<Record*>* list, size_t index)
    {
        if (!m_batches.empty() && m_batches.back().list == list && index + 1 == list->size())
            m_batches.back().done = 1;
    }

    // For a batch whose worker could not start: no icon will end it.
    void FinishNewest()
    {
        if (!m_batches.empty())
            m_batches.back().done = 1;
    }

    // The records of the newest batch; null when there is none.
    const std::deque<Record*>* Newest() const { return m_batches.empty() ? nullptr : m_batches.back().list; }

    // A list of this kind that a worker may still hold.
    bool Holds(const std::deque<Record*>* list) const
    {
        return std::any_of(m_batches.begin(), m_batches.end(), [list](const Batch& b) { return b.list == list; });
    }

private:
    // The key is the category id of game and plug-in batches.
    using Batch = KeyedListRef<Record>;

    static void FreeList(std::deque<Record*>* list) { RecordListDelete<Record>()(list); }

    void FreeUnused(const std::function<bool(const Record*)>& inUse)
    {
        std::erase_if(m_retired, [&](const std::unique_ptr<Record>& record) { return !inUse(record.get()); });
    }

    std::deque<Batch> m_batches;
    std::vector<std::unique_ptr<Record>> m_retired;
};
