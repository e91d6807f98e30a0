#pragma once
// The main window's bookkeeping of the picture batches of one kind (tiles,
// the user's own categories, game, plug-in or accelerator rows). A batch is a
// list of heap records that a worker walks, filling each record's local
// picture paths and reporting it by index; the controls built from the list
// carry the same records as their tags. The list owns its batches and their
// records: a finished batch goes when the next list of its kind is accepted,
// every batch goes with the list (after the window stopped its workers).
//
// A new list of a kind is refused while the newest batch is unfinished, so
// only the newest batch can be unfinished, and only it becomes done.

#include <deque>
#include <memory>
#include <type_traits>

template <class Ref>  // OwnedListRef<Record> or KeyedListRef<Record>
class CImageBatchList
{
public:
    using List = std::remove_pointer_t<decltype(Ref::list)>;
    using Record = std::remove_pointer_t<typename List::value_type>;

    CImageBatchList() = default;
    CImageBatchList(const CImageBatchList&) = delete;
    CImageBatchList& operator=(const CImageBatchList&) = delete;
    ~CImageBatchList()
    {
        for (Entry& entry : m_entries)
            Free(entry.ref);
    }

    // The newest batch is still waiting for pictures.
    bool IsLoading() const { return !m_entries.empty() && !m_entries.back().ref.done; }

    // Frees every finished batch with its records (and its companion).
    void ReleaseFinished()
    {
        for (auto it = m_entries.begin(); it != m_entries.end();) {
            if (it->ref.done) {
                Free(it->ref);
                it = m_entries.erase(it);
            } else {
                ++it;
            }
        }
    }

    // Takes the list over as the newest batch, not done. The companion (the
    // worker's parameter where it is not the list itself) lives as long as
    // the batch.
    Ref& Add(List* list, std::shared_ptr<void> companion = nullptr)
    {
        m_entries.push_back(Entry{Ref{}, std::move(companion)});
        m_entries.back().ref.list = list;
        return m_entries.back().ref;
    }

    // The done rule of an image-ready call: true (and the newest batch is
    // done from now on) when the list is the newest batch's and the index is
    // its last record.
    bool FinishIfLast(const List* list, size_t index)
    {
        if (!IsNewest(list) || index + 1 != list->size())
            return false;
        m_entries.back().ref.done = 1;
        return true;
    }

    // For a batch whose worker could not start: nothing will report it.
    void FinishNewest()
    {
        if (!m_entries.empty())
            m_entries.back().ref.done = 1;
    }

    // Whether the list is one of the batches still held.
    bool Contains(const List* list) const
    {
        for (const Entry& entry : m_entries) {
            if (entry.ref.list == list)
                return true;
        }
        return false;
    }

    bool IsNewest(const List* list) const { return !m_entries.empty() && m_entries.back().ref.list == list; }

    // Whether the record belongs to a batch of this list; `done` tells
    // whether that batch is finished.
    bool Holds(const Record* record, bool& done) const
    {
        for (const Entry& entry : m_entries) {
            for (const Record* held : *entry.ref.list) {
                if (held == record) {
                    done = entry.ref.done != 0;
                    return true;
                }
            }
        }
        return false;
    }

    // The newest batch's list; null when there is none.
    const List* Newest() const { return m_entries.empty() ? nullptr : m_entries.back().ref.list; }

private:
    struct Entry
    {
        Ref ref;
        std::shared_ptr<void> companion;
    };

    static void Free(Ref& ref)
    {
        for (Record* record : *ref.list)
            delete record;
        delete ref.list;
        ref.list = nullptr;
    }

    std::deque<Entry> m_entries;
};
