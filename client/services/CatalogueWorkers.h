#pragma once
// The game catalogue for the main window: the category lists (all, search
// results, the user's own), adding a category to the user's own list, and the
// game, plug-in and accelerator lists. Category lists arrive parsed into heap
// CategoryInfo records; the other lists go to the main window as text, which
// the window parses. Each run queues exactly one result call on the main window
// (the session-expiry call of the own-category workers comes on top), except
// that a category list text that is not JSON, and an empty list of all
// categories, queue nothing. The workers are started as
// &GetGamesCategoryThread<g_mainWnd> and so on (WindowCalls.h).

#include "services/ImageCache.h"
#include "services/ItemRecords.h"
#include "services/RequestProtocol.h"
#include "services/WindowCalls.h"

#include <memory>
#include <string>

// The texts of the sign-in's three requests when they get no readable answer.
inline constexpr wchar_t kCategoriesFailedText[] = L"游戏分类列表获取失败！";
inline constexpr wchar_t kOwnCategoriesFailedText[] = L"我的游戏分类列表获取失败！";
inline constexpr wchar_t kSoftwaresFailedText[] = L"加速器列表获取失败！";

// A category list with its records, until it is queued.
struct CategoryListDelete
{
    void operator()(CategoryList* list) const;
};
typedef std::unique_ptr<CategoryList, CategoryListDelete> CategoryListPtr;

// The records of a category list text in list order (the values of an object
// in the byte order of their keys; any other root gives an empty list). Null
// when the text is not JSON. Throws std::runtime_error for an element that is
// neither an object nor null.
CategoryListPtr ParseCategoryList(const std::string& listText);

// What a catalogue request came to.
struct CatalogueOutcome
{
    enum class Kind
    {
        kSuccess,
        kRefused,     // the service's own failure code: message holds its text
        kUnreadable,  // message holds the worker's fixed text
        kSilent,      // a category list text that is not JSON: nothing to report
    };
    Kind kind = Kind::kUnreadable;
    std::wstring message;
    int code = 0;                // the service's code of a refusal
    std::string listText;        // the deciphered "data" of a list reply
    CategoryListPtr categories;  // of a category reply
};

// Sends one catalogue request; failureText stands for every unreadable reply,
// which is logged with its body.
CatalogueOutcome RequestListText(const char* path, const RequestParams& params, const wchar_t* failureText);
CatalogueOutcome RequestCategories(const char* path, const RequestParams& params, const wchar_t* failureText);
CatalogueOutcome RequestAddOwnCategory(const std::wstring& categoryId, const wchar_t* failureText);

// The failure call of every catalogue worker; the codes of an expired
// session are failures like any other here.
template <auto& MainWnd>
void QueueCatalogueFailure(const CatalogueOutcome& outcome, WindowHandler<WindowOf<MainWnd>> failed)
{
    QueueMessage(MainWnd, failed, 0, outcome.message);
}

// The requests that need the user's token: their refusal for an expired
// session also drops the session.
template <auto& MainWnd>
void QueueOwnCategoryFailure(const CatalogueOutcome& outcome, WindowHandler<WindowOf<MainWnd>> failed)
{
    QueueCatalogueFailure<MainWnd>(outcome, failed);
    if (outcome.kind == CatalogueOutcome::Kind::kRefused && IsSessionExpiredCode(outcome.code))
        QueueCall(MainWnd, &WindowOf<MainWnd>::OnSessionExpired, 0, 0);
}

template <auto& MainWnd>
void QueueCategoryOutcome(CatalogueOutcome& outcome, UINT_PTR second, bool queueEmptyList)
{
    using Wnd = WindowOf<MainWnd>;
    if (outcome.kind == CatalogueOutcome::Kind::kSilent)
        return;
    if (outcome.kind != CatalogueOutcome::Kind::kSuccess)
        return QueueCatalogueFailure<MainWnd>(outcome, &Wnd::OnCategoryListFailed);
    if (outcome.categories->empty() && !queueEmptyList)
        return;
    QueueCall(MainWnd, &Wnd::OnCategoryListReply, std::move(outcome.categories), second);
}

// The list-text workers: (first, list text) on success.
template <auto& MainWnd, class First>
void QueueListTextOutcome(CatalogueOutcome& outcome, WindowHandler<WindowOf<MainWnd>> done,
                          WindowHandler<WindowOf<MainWnd>> failed, std::unique_ptr<First> first)
{
    if (outcome.kind != CatalogueOutcome::Kind::kSuccess)
        return QueueCatalogueFailure<MainWnd>(outcome, failed);
    QueueCall(MainWnd, done, std::move(first), std::make_unique<std::string>(std::move(outcome.listText)));
}

// Parameter: an integer, passed on beside the list. An empty list is not
// reported.
template <auto& MainWnd>
void GetGamesCategoryThread(void* param)
{
    CatalogueOutcome outcome =
        RequestCategories("/Box/Game/getGamesCategory", {TimestampParam()}, kCategoriesFailedText);
    QueueCategoryOutcome<MainWnd>(outcome, reinterpret_cast<UINT_PTR>(param), false);
}

// Parameter: heap wide string with the search text, freed here.
template <auto& MainWnd>
void SearchGamesCategoryThread(void* param)
{
    const std::wstring keywords = *std::unique_ptr<std::wstring>(static_cast<std::wstring*>(param));
    CatalogueOutcome outcome =
        RequestCategories("/Box/Game/searchGamesCategory", {TextParam("keywords", keywords), TimestampParam()},
                          L"游戏分类列表搜索失败！");
    QueueCategoryOutcome<MainWnd>(outcome, 0, true);
}

// Parameter: none. Success queues (list text, 0).
template <auto& MainWnd>
void OwnerGamesCategoryThread(void*)
{
    using Wnd = WindowOf<MainWnd>;
    CatalogueOutcome outcome =
        RequestListText("/Box/Game/ownerGamesCategory",
                        {TextParam("token", g_sessionData.GetToken()), TimestampParam()}, kOwnCategoriesFailedText);
    if (outcome.kind != CatalogueOutcome::Kind::kSuccess)
        return QueueOwnCategoryFailure<MainWnd>(outcome, &Wnd::OnMyGamesFailed);
    QueueWithFirst(MainWnd, &Wnd::OnMyGamesReply, outcome.listText, 0);
}

// Parameter: heap CategoryInfo, the category to add. On success its pictures
// are cached and the record goes to the main window; otherwise it is freed.
template <auto& MainWnd>
void AddOwnerGamesCategoryThread(void* param)
{
    using Wnd = WindowOf<MainWnd>;
    std::unique_ptr<CategoryInfo> record(static_cast<CategoryInfo*>(param));
    const CatalogueOutcome outcome = RequestAddOwnCategory(record->category_id, L"添加我的游戏分类列表失败！");
    if (outcome.kind != CatalogueOutcome::Kind::kSuccess)
        return QueueOwnCategoryFailure<MainWnd>(outcome, &Wnd::OnAddMyGameFailed);
    CacheCategoryImages(*record);
    QueueCall(MainWnd, &Wnd::OnAddMyGameReply, std::move(record), 0);
}

// Parameter: heap CategoryInfo, the chosen category, freed here. Success
// queues (copy of the category, list text).
template <auto& MainWnd>
void GetGamesThread(void* param)
{
    const CategoryInfo category = *std::unique_ptr<CategoryInfo>(static_cast<CategoryInfo*>(param));
    CatalogueOutcome outcome =
        RequestListText("/Box/Game/getGames", {TextParam("category_id", category.category_id), TimestampParam()},
                        L"游戏列表获取失败！");
    QueueListTextOutcome<MainWnd>(outcome, &WindowOf<MainWnd>::OnGameListReply, &WindowOf<MainWnd>::OnGameListFailed,
                                  std::make_unique<CategoryInfo>(category));
}

// Parameter: heap wide string with the category id, freed here. Success
// queues (heap wide string with the id, list text).
template <auto& MainWnd>
void GetGamesPluginsThread(void* param)
{
    const std::wstring categoryId = *std::unique_ptr<std::wstring>(static_cast<std::wstring*>(param));
    CatalogueOutcome outcome = RequestListText(
        "/Box/Game/getGamesPlugins", {TextParam("category_id", categoryId), TimestampParam()}, L"插件列表获取失败！");
    QueueListTextOutcome<MainWnd>(outcome, &WindowOf<MainWnd>::OnPluginListReply,
                                  &WindowOf<MainWnd>::OnPluginListFailed, std::make_unique<std::wstring>(categoryId));
}

// Parameter: the first-sign-in flag, passed on beside the list text.
template <auto& MainWnd>
void GetSoftwaresThread(void* param)
{
    using Wnd = WindowOf<MainWnd>;
    CatalogueOutcome outcome = RequestListText("/Box/Game/getSoftwares", {TimestampParam()}, kSoftwaresFailedText);
    if (outcome.kind != CatalogueOutcome::Kind::kSuccess)
        return QueueCatalogueFailure<MainWnd>(outcome, &Wnd::OnJiasuqiListFailed);
    QueueWithFirst(MainWnd, &Wnd::OnJiasuqiListReply, outcome.listText, reinterpret_cast<UINT_PTR>(param));
}
