#pragma once
// The picture cache: every picture that a web-service list names by URL is kept
// in "cache\" under the program folder under the URL's file name. That name is
// the MD5 of the content (32 lower-case hexadecimal digits) and an extension,
// so the name alone tells whether a cached file is still good. A picture that
// cannot be had is replaced by a default image of the skin.
//
// The five workers fill the local picture paths of a batch that the main window
// built from a list reply, and queue one call per record as soon as its
// pictures are ready. The main window owns the batch and keeps it alive until
// the call of the last index; the workers only write the local path fields.
// They are started as &CacheGameIconsThread<g_mainWnd> and so on
// (WindowCalls.h), and stop between pictures when their window goes.

#include "services/ItemRecords.h"
#include "services/SessionData.h"
#include "services/WindowCalls.h"
#include "services/WindowMultiThreadManager.h"

#include <deque>
#include <string>

// How the URL field becomes the download address.
enum class UrlForm
{
    kAsStored,
    kPathEncoded,  // through UrlEncodePath
};

// The local path of one picture: its cache file when that is valid, if need
// be after fetching it again; otherwise the default. A download that does not
// match its name stays in the cache and is replaced at the next attempt. A
// name that is not 32 lower-case hexadecimal digits, a dot and a plain
// extension is never read nor fetched: its default comes at once.
std::wstring CacheRemoteImage(const std::string& url, UrlForm form, const std::wstring& defaultPath);

// The five pictures of a category, in the order icon, big icon, slide, logo,
// background, each into its local path field.
void CacheCategoryImages(CategoryInfo& record);

// Runs the step over every record in list order and queues (param, index)
// after each; ends early when the window's workers are being stopped.
template <class Record, class Step, class Queue>
void CacheBatch(const std::deque<Record*>& list, Step step, Queue queue)
{
    for (size_t index = 0; index < list.size(); ++index) {
        if (CWindowMultiThreadManager::IsStopRequested())
            return;
        step(*list[index]);
        queue(index);
    }
}

template <auto& MainWnd, class Record>
void CacheIconBatch(void* param, WindowHandler<WindowOf<MainWnd>> handler, UrlForm form,
                    std::wstring (*defaultIcon)(const Record&))
{
    const auto& list = *static_cast<std::deque<Record*>*>(param);
    CacheBatch(
        list, [&](Record& record) { record.local_icon = CacheRemoteImage(record.icon, form, defaultIcon(record)); },
        [&](size_t index) { QueueCall(MainWnd, handler, reinterpret_cast<UINT_PTR>(param), index); });
}

inline std::wstring DefaultIconOf(const PluginInfo&) { return CSessionData::GetDefaultPluginIcon(); }
inline std::wstring DefaultIconOf(const GameInfo&) { return CSessionData::GetDefaultGameIcon(); }
inline std::wstring DefaultIconOf(const JiasuqiInfo& record)
{
    return CSessionData::GetJiasuqiIcon(record.software_id);
}

// Parameter: the main window's batch, a heap list of PluginInfo pointers.
template <auto& MainWnd>
void CachePluginIconsThread(void* param)
{
    CacheIconBatch<MainWnd, PluginInfo>(param, &WindowOf<MainWnd>::OnPluginIconReady, UrlForm::kPathEncoded,
                                        &DefaultIconOf);
}

// Parameter: the main window's batch, a heap list of GameInfo pointers.
template <auto& MainWnd>
void CacheGameIconsThread(void* param)
{
    CacheIconBatch<MainWnd, GameInfo>(param, &WindowOf<MainWnd>::OnGameIconReady, UrlForm::kAsStored, &DefaultIconOf);
}

// Parameter: the main window's batch, a heap list of JiasuqiInfo pointers.
template <auto& MainWnd>
void CacheJiasuqiIconsThread(void* param)
{
    CacheIconBatch<MainWnd, JiasuqiInfo>(param, &WindowOf<MainWnd>::OnJiasuqiIconReady, UrlForm::kPathEncoded,
                                         &DefaultIconOf);
}

// Parameter: the main window's batch of the user's own categories.
template <auto& MainWnd>
void CacheMyGameImagesThread(void* param)
{
    CacheBatch(*static_cast<CategoryList*>(param), &CacheCategoryImages, [&](size_t index) {
        QueueCall(MainWnd, &WindowOf<MainWnd>::OnMyGameIconReady, reinterpret_cast<UINT_PTR>(param), index);
    });
}

// Parameter: a heap OwnedListRef naming the tile page's batch, which the
// main window frees with the batch.
template <auto& MainWnd>
void CacheCategoryImagesThread(void* param)
{
    CacheBatch(*static_cast<OwnedListRef<CategoryInfo>*>(param)->list, &CacheCategoryImages, [&](size_t index) {
        QueueCall(MainWnd, &WindowOf<MainWnd>::OnAllGamesTileImageReady, reinterpret_cast<UINT_PTR>(param), index);
    });
}
