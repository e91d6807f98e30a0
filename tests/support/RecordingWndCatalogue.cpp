// The main window's catalogue and picture handlers of the recording window.
// Picture calls free nothing and record the record's pictures as they stand
// when the call runs, which is after the worker has finished that record.
#include "services/CatalogueWorkers.h"
#include "RecordingWnd.h"

#include <memory>

namespace {
template <class Record>
const Record& BatchRecord(UINT_PTR list, UINT_PTR index)
{
    return *reinterpret_cast<std::deque<Record*>*>(list)->at(index);
}
}  // namespace

void CRecordingWnd::OnCategoryListReply(UINT_PTR first, UINT_PTR second)
{
    CategoryListPtr list(reinterpret_cast<CategoryList*>(first));
    ReceivedCall& call = Record("OnCategoryListReply", first);
    call.second = second;
    for (const CategoryInfo* record : *list)
        call.categories.push_back(*record);
}

void CRecordingWnd::OnCategoryListFailed(UINT_PTR first, UINT_PTR second)
{
    RecordText("OnCategoryListFailed", first, second);
}

// Calls of the form (heap list text, number).
void CRecordingWnd::RecordListText(const char* handler, UINT_PTR text, UINT_PTR second)
{
    std::unique_ptr<std::string> listText(reinterpret_cast<std::string*>(text));
    ReceivedCall& call = Record(handler, 0);
    call.second = second;
    call.bytes = *listText;
}

void CRecordingWnd::OnMyGamesReply(UINT_PTR first, UINT_PTR second) { RecordListText("OnMyGamesReply", first, second); }

void CRecordingWnd::OnMyGamesFailed(UINT_PTR first, UINT_PTR second) { RecordText("OnMyGamesFailed", first, second); }

void CRecordingWnd::OnAddMyGameReply(UINT_PTR first, UINT_PTR)
{
    std::unique_ptr<CategoryInfo> record(reinterpret_cast<CategoryInfo*>(first));
    Record("OnAddMyGameReply", 0).categories.push_back(*record);
}

void CRecordingWnd::OnAddMyGameFailed(UINT_PTR first, UINT_PTR second)
{
    RecordText("OnAddMyGameFailed", first, second);
}

void CRecordingWnd::OnGameListReply(UINT_PTR first, UINT_PTR second)
{
    std::unique_ptr<CategoryInfo> category(reinterpret_cast<CategoryInfo*>(first));
    std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(second));
    ReceivedCall& call = Record("OnGameListReply", 0);
    call.categories.push_back(*category);
    call.bytes = *text;
}

void CRecordingWnd::OnGameListFailed(UINT_PTR first, UINT_PTR second) { RecordText("OnGameListFailed", first, second); }

void CRecordingWnd::OnPluginListReply(UINT_PTR first, UINT_PTR second)
{
    std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(second));
    RecordText("OnPluginListReply", 0, first);
    m_log->back().bytes = *text;
}

void CRecordingWnd::OnPluginListFailed(UINT_PTR first, UINT_PTR second)
{
    RecordText("OnPluginListFailed", first, second);
}

void CRecordingWnd::OnJiasuqiListReply(UINT_PTR first, UINT_PTR second)
{
    RecordListText("OnJiasuqiListReply", first, second);
}

void CRecordingWnd::OnJiasuqiListFailed(UINT_PTR first, UINT_PTR second)
{
    RecordText("OnJiasuqiListFailed", first, second);
}

void CRecordingWnd::RecordPicture(const char* handler, UINT_PTR first, UINT_PTR index, const std::wstring& localIcon)
{
    ReceivedCall& call = Record(handler, first);
    call.second = index;
    call.text = localIcon;
}

void CRecordingWnd::OnPluginIconReady(UINT_PTR first, UINT_PTR second)
{
    RecordPicture("OnPluginIconReady", first, second, BatchRecord<PluginInfo>(first, second).local_icon);
}

void CRecordingWnd::OnGameIconReady(UINT_PTR first, UINT_PTR second)
{
    RecordPicture("OnGameIconReady", first, second, BatchRecord<GameInfo>(first, second).local_icon);
}

void CRecordingWnd::OnJiasuqiIconReady(UINT_PTR first, UINT_PTR second)
{
    RecordPicture("OnJiasuqiIconReady", first, second, BatchRecord<JiasuqiInfo>(first, second).local_icon);
}

void CRecordingWnd::OnMyGameIconReady(UINT_PTR first, UINT_PTR second)
{
    const CategoryInfo& record = BatchRecord<CategoryInfo>(first, second);
    RecordPicture("OnMyGameIconReady", first, second, record.local_icon);
    m_log->back().categories.push_back(record);
}

void CRecordingWnd::OnAllGamesTileImageReady(UINT_PTR first, UINT_PTR second)
{
    const auto* batch = reinterpret_cast<OwnedListRef<CategoryInfo>*>(first);
    const CategoryInfo& record = BatchRecord<CategoryInfo>(reinterpret_cast<UINT_PTR>(batch->list), second);
    RecordPicture("OnAllGamesTileImageReady", first, second, record.local_icon);
    m_log->back().categories.push_back(record);
}
