// The all-games page: one tile per category with its picture, the search,
// and the add-my-game mode of a tile click.

#include "mainwindow/MainWnd.h"

#include <memory>
#include <string>

#include "services/CatalogueWorkers.h"
#include "services/ImageCache.h"
#include "services/WindowCalls.h"

#include "controls/ButtonUI.h"
#include "controls/LabelUI.h"
#include "core/ContainerUI.h"
#include "core/TabLayoutUI.h"

using namespace CalUI;

namespace {

constexpr WCHAR kTileLayout[] = L"all_game_tilelayout";
constexpr DWORD kTileNameColour = 0xFFFFFFFF;
constexpr DWORD kTileServerColour = 0xFFA1A1A1;
constexpr int kTileServerFont = 2;

template <class Control>
Control* AddFloatChild(CContainerUI* parent, LPCWSTR pos)
{
    auto* child = new Control;
    child->SetAttribute(L"float", L"true");
    child->SetAttribute(L"pos", pos);
    parent->Add(child);
    return child;
}

}  // namespace

void CMainWnd::SelectMainPage(MainPage page)
{
    if (CControlUI* tab = m_manager.FindControl(L"maintable"))
        static_cast<CTabLayoutUI*>(tab)->SelectItem(static_cast<int>(page), true);
}

CControlUI* CMainWnd::FindControl(LPCWSTR name) { return m_manager.FindControl(name); }

bool CMainWnd::IsAllGamesLoading() const { return m_tileBatches.IsLoading(); }

bool CMainWnd::IsAddMyGameMode() const { return m_addMyGameMode; }
void CMainWnd::SetAddMyGameMode(bool on) { m_addMyGameMode = on; }

void CMainWnd::OnCategoryListReply(UINT_PTR categories, UINT_PTR)
{
    CategoryListPtr list(reinterpret_cast<CategoryList*>(categories));
    auto* tiles = static_cast<CContainerUI*>(m_manager.FindControl(kTileLayout));
    // A list that comes while the tiles still wait for pictures is dropped
    // with its records; the tiles keep theirs.
    if (!list || tiles == nullptr || m_tileBatches.IsLoading())
        return;
    if (list->empty()) {
        tiles->RemoveAll();
        return;
    }
    m_tileBatches.ReleaseFinished();
    auto holder = std::make_shared<OwnedListRef<CategoryInfo>>();
    holder->list = list.get();
    CategoryList* records = list.release();
    m_tileBatches.Add(records, holder);
    tiles->RemoveAll();
    for (CategoryInfo* category : *records)
        AddCategoryTile(tiles, category);
    if (m_threads.StartThread(&CacheCategoryImagesThread<g_mainWnd>, holder.get()) == 0) {
        // No picture will come: the tiles keep their empty pictures and the
        // page must not wait for them.
        m_tileBatches.FinishNewest();
        EnableSearch();
    }
    WaitWhileLoading(WaitMode::AllGames);
}

void CMainWnd::AddCategoryTile(CContainerUI* tiles, CategoryInfo* category)
{
    auto* tile = new CContainerUI;
    tile->SetTag(reinterpret_cast<UINT_PTR>(category));
    tiles->Add(tile);
    AddFloatChild<CControlUI>(tile, L"0,0,139,199");
    auto* name = AddFloatChild<CLabelUI>(tile, L"0,209,139,229");
    name->SetTextColor(kTileNameColour);
    name->SetText(category->name.c_str());
    auto* server = AddFloatChild<CLabelUI>(tile, L"0,229,139,249");
    server->SetTextColor(kTileServerColour);
    server->SetFont(kTileServerFont);
    server->SetText(category->server.c_str());
    server->SetToolTip(category->server.c_str());
    AddFloatChild<CButtonUI>(tile, L"0,0,139,251")->SetName(L"game_category_btn");
}

void CMainWnd::OnAllGamesTileImageReady(UINT_PTR holder, UINT_PTR index)
{
    const CategoryList* list = reinterpret_cast<OwnedListRef<CategoryInfo>*>(holder)->list;
    if (!m_tileBatches.Contains(list) || index >= list->size())
        return;
    const CategoryInfo* category = (*list)[index];
    if (auto* tiles = static_cast<CContainerUI*>(m_manager.FindControl(kTileLayout))) {
        for (int i = 0; i < tiles->GetCount(); ++i) {
            auto* tile = static_cast<CContainerUI*>(tiles->GetItemAt(i));
            if (tile->GetTag() == reinterpret_cast<UINT_PTR>(category)) {
                tile->GetItemAt(0)->SetBkImage(category->local_big_icon.c_str());
                break;
            }
        }
    }
    if (m_tileBatches.FinishIfLast(list, index))
        EnableSearch();
}

void CMainWnd::EnableSearch()
{
    for (LPCWSTR name : {L"search_key", L"search_game_btn"}) {
        if (CControlUI* control = m_manager.FindControl(name))
            control->SetEnabled(true);
    }
}

void CMainWnd::WaitWhileLoading(WaitMode mode)
{
    auto stillLoading = [this, mode] { return mode == WaitMode::AllGames ? IsAllGamesLoading() : IsGamePageLoading(); };
    if (!stillLoading() || !IsAlive())
        return;
    CWaitWnd overlay(mode, stillLoading);
    overlay.RunOver(m_hWnd);
}

void CMainWnd::SearchGames()
{
    CControlUI* box = m_manager.FindControl(L"search_key");
    if (box == nullptr || box->GetText().IsEmpty())
        return;
    SelectMainPage(MainPage::AllGames);
    StartWorker(&SearchGamesCategoryThread<g_mainWnd>, std::make_unique<std::wstring>(box->GetText().GetData()));
}

// An emptied search box brings every category back.
void CMainWnd::OnTextChanged(const NotifyMsg& msg)
{
    if (!IsNotifyFrom(msg, L"search_key") || !msg.sender->GetText().IsEmpty())
        return;
    SelectMainPage(MainPage::AllGames);
    m_threads.StartThread(&GetGamesCategoryThread<g_mainWnd>, nullptr);
}

bool CMainWnd::OnKeyDown(WPARAM key)
{
    CControlUI* focus = m_manager.GetFocus();
    if (key != VK_RETURN || focus == nullptr || focus->GetName() != L"search_key")
        return false;
    SearchGames();
    return true;
}

// The category is copied before the overlay's loop: a reply handled meanwhile
// may rebuild the tiles and free the sender.
void CMainWnd::OnCategoryTileClick(CControlUI* sender)
{
    CControlUI* tile = sender != nullptr ? sender->GetParent() : nullptr;
    const auto* record = tile != nullptr ? reinterpret_cast<const CategoryInfo*>(tile->GetTag()) : nullptr;
    if (record == nullptr)
        return;
    const CategoryInfo category = *record;
    const bool adding = IsAddMyGameMode();
    WaitWhileLoading(WaitMode::GamePage);
    if (!IsAlive())
        return;
    if (adding && !MyGamesHoldId(category.category_id))
        StartWorker(&AddOwnerGamesCategoryThread<g_mainWnd>, std::make_unique<CategoryInfo>(category));
    QueueCall(this, &CMainWnd::OnOpenGamePage, std::make_unique<CategoryInfo>(category), 0);
}

void CMainWnd::OnAllGamesClick() { SelectMainPage(MainPage::AllGames); }

// The mode itself is set after the click, as after every click.
void CMainWnd::OnAddMyGameClick() { SelectMainPage(MainPage::AllGames); }

void CMainWnd::OnAllAppsClick() { SelectMainPage(MainPage::AllApps); }

bool CMainWnd::OnCatalogueClick(const NotifyMsg& msg)
{
    if (IsNotifyFrom(msg, L"game_category_btn"))
        OnCategoryTileClick(msg.sender);
    else if (IsNotifyFrom(msg, L"all_game_btn_exp"))
        OnAllGamesClick();
    else if (IsNotifyFrom(msg, L"add_my_game"))
        OnAddMyGameClick();
    else if (IsNotifyFrom(msg, L"all_apps_btn"))
        OnAllAppsClick();
    else if (IsNotifyFrom(msg, L"mygamelist_btn"))
        OnMyGameClick(msg.sender);
    else if (IsNotifyFrom(msg, L"search_game_btn"))
        SearchGames();
    else
        return false;
    return true;
}
