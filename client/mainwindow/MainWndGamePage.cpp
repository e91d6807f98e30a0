// The game page of one category: its three pictures, its title and the
// request of its lists, opened from a tile or from the user's own category.

#include "mainwindow/MainWnd.h"

#include <memory>
#include <string>

#include "services/CatalogueWorkers.h"
#include "services/ImageCache.h"
#include "services/SessionData.h"
#include "services/TextConvert.h"

#include "controls/AnimationUI.h"
#include "core/TabLayoutUI.h"

using namespace CalUI;

bool CMainWnd::IsGamePageLoading() const { return m_gameIconBatches.IsLoading() || m_pluginIconBatches.IsLoading(); }

void CMainWnd::OnOpenGamePage(UINT_PTR category, UINT_PTR)
{
    const std::unique_ptr<CategoryInfo> posted(reinterpret_cast<CategoryInfo*>(category));
    if (!posted)
        return;
    // The page fills the local paths of its own copy: the tile's record stays
    // as its batch left it.
    CategoryInfo page = *posted;
    ShowGamePage(page, CSessionData::GetDefaultCategoryIcon());
}

// The entry's record is copied before the overlay's loop: a reply handled
// meanwhile may rebuild the entries and free the sender.
void CMainWnd::OnMyGameClick(CControlUI* sender)
{
    auto* record = sender != nullptr ? reinterpret_cast<CategoryInfo*>(sender->GetTag()) : nullptr;
    std::unique_ptr<CategoryInfo> page = record != nullptr ? std::make_unique<CategoryInfo>(*record) : nullptr;
    WaitWhileLoading(WaitMode::GamePage);
    if (!IsAlive())
        return;
    SelectMainPage(MainPage::Game);
    if (!page)
        return;
    ShowGamePage(*page, CSessionData::GetDefaultCategoryLogoIcon());
    StorePagePictures(record, *page);
}

void CMainWnd::ShowGamePage(CategoryInfo& category, const std::wstring& logoDefault)
{
    SelectMainPage(MainPage::Game);
    if (CControlUI* games = m_manager.FindControl(L"game_opt"))
        games->SetAttribute(L"selected", L"true");
    if (CControlUI* tab = m_manager.FindControl(L"game_child_page_tab"))
        static_cast<CTabLayoutUI*>(tab)->SelectItem(0, true);
    StartWorker(&GetGamesThread<g_mainWnd>, std::make_unique<CategoryInfo>(category));

    // The slide link goes out only through the web-link opener.
    category.local_slide =
        CacheRemoteImage(category.slide_url, UrlForm::kAsStored, CSessionData::GetDefaultCategorySlideIcon());
    if (CControlUI* ads = m_manager.FindControl(L"game_ads_btn")) {
        if (auto* animation = static_cast<CGifAnimUI*>(ads->GetInterface(L"GifAnim")))
            animation->SetAnimImage(category.local_slide.c_str());
        ads->SetUserData(Utf8ToWide(category.slide_target_url).c_str());
    }
    category.local_logo = CacheRemoteImage(category.logo, UrlForm::kAsStored, logoDefault);
    if (CControlUI* logo = m_manager.FindControl(L"game_pic"))
        logo->SetBkImage(category.local_logo.c_str());
    category.local_bg = CacheRemoteImage(category.bg_img, UrlForm::kAsStored, CSessionData::GetDefaultCategoryBgIcon());
    if (CControlUI* root = m_manager.FindControl(L"root"))
        root->SetBkImage(category.local_bg.c_str());
}

// The record's batch worker writes the same fields while its batch loads:
// the page's paths wait for the batch's end. A record that is gone by now
// (a newer list replaced it) takes nothing.
void CMainWnd::StorePagePictures(CategoryInfo* record, const CategoryInfo& pictures)
{
    bool done = false;
    bool added = false;
    for (const auto& own : m_addedMyGames)
        added = added || own.get() == record;
    if (!added && !m_myGameBatches.Holds(record, done))
        return;
    if (!added && !done) {
        m_pendingPagePictures.emplace_back(record, pictures);
        return;
    }
    record->local_slide = pictures.local_slide;
    record->local_logo = pictures.local_logo;
    record->local_bg = pictures.local_bg;
}

void CMainWnd::ApplyPendingPagePictures(const CategoryList* finishedBatch)
{
    std::vector<std::pair<CategoryInfo*, CategoryInfo>> pending;
    pending.swap(m_pendingPagePictures);
    for (const auto& [record, pictures] : pending) {
        bool held = false;
        for (const CategoryInfo* category : *finishedBatch)
            held = held || category == record;
        if (held) {
            record->local_slide = pictures.local_slide;
            record->local_logo = pictures.local_logo;
            record->local_bg = pictures.local_bg;
        }
    }
}

// The title and the plug-in request; the game rows follow with the item
// lists.
void CMainWnd::OnGameListReply(UINT_PTR category, UINT_PTR listText)
{
    const std::unique_ptr<CategoryInfo> posted(reinterpret_cast<CategoryInfo*>(category));
    const std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(listText));
    if (!posted)
        return;
    if (CControlUI* title = m_manager.FindControl(L"game_name_lab"))
        title->SetText((posted->name + posted->server).c_str());
    StartWorker(&GetGamesPluginsThread<g_mainWnd>, std::make_unique<std::wstring>(posted->category_id));
}

void CMainWnd::OnSelectChanged(const NotifyMsg& msg)
{
    int page = -1;
    if (IsNotifyFrom(msg, L"game_opt"))
        page = 0;
    else if (IsNotifyFrom(msg, L"plugin_opt"))
        page = 1;
    else if (IsNotifyFrom(msg, L"article_opt"))
        page = 2;
    CControlUI* tab = m_manager.FindControl(L"game_child_page_tab");
    if (page >= 0 && tab != nullptr)
        static_cast<CTabLayoutUI*>(tab)->SelectItem(page, true);
}
