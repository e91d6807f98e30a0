// The user's own categories at the left edge: the narrow panel's icons, the
// wide panel's entries that open a game page, and the add entries.

#include "mainwindow/MainWnd.h"

#include <memory>
#include <stdexcept>
#include <string>

#include "services/CatalogueWorkers.h"
#include "services/ImageCache.h"

#include "controls/ButtonUI.h"
#include "controls/OptionUI.h"
#include "core/ContainerUI.h"
#include "dialogs/MsgBoxWnd.h"

using namespace CalUI;

namespace {

constexpr WCHAR kNarrowList[] = L"mygamelist";
constexpr WCHAR kWideList[] = L"mygamelist_expand";
constexpr WCHAR kEntryHotImage[] = L"img/ellipseh.png";
constexpr DWORD kWideEntryColour = 0xFFA1A1A1;
constexpr int kNarrowEntrySize = 30;
constexpr int kWideEntryWidth = 195;
constexpr int kWideEntryHeight = 40;

const CategoryInfo* CategoryOf(CControlUI* entry) { return reinterpret_cast<const CategoryInfo*>(entry->GetTag()); }

// The wide entries share this look, the add entry included.
void SetWideEntryLook(CButtonUI* entry)
{
    entry->SetTextColor(kWideEntryColour);
    entry->SetAttribute(L"align", L"left");
    entry->SetAttribute(L"textpadding", L"50,0,10,0");
    entry->SetFixedWidth(kWideEntryWidth);
    entry->SetFixedHeight(kWideEntryHeight);
}

CButtonUI* NewNarrowEntry(LPCWSTR name)
{
    auto* entry = new CButtonUI;
    entry->SetName(name);
    entry->SetFixedWidth(kNarrowEntrySize);
    entry->SetFixedHeight(kNarrowEntrySize);
    return entry;
}

std::wstring ForeImageOf(const std::wstring& icon) { return L"file='" + icon + L"' dest='10,5,40,35'"; }

}  // namespace

void CMainWnd::OnMyGamesReply(UINT_PTR listText, UINT_PTR)
{
    const std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(listText));
    auto* narrow = static_cast<CContainerUI*>(m_manager.FindControl(kNarrowList));
    auto* wide = static_cast<CContainerUI*>(m_manager.FindControl(kWideList));
    if (!text || narrow == nullptr || wide == nullptr || m_myGameBatches.IsLoading())
        return;
    if (text->empty()) {
        // Only the add entries, always last, stay.
        for (CContainerUI* list : {narrow, wide}) {
            while (list->GetCount() > 1)
                list->RemoveAt(0);
        }
        return;
    }
    CategoryListPtr categories;
    try {
        categories = ParseCategoryList(*text);
    } catch (const std::runtime_error&) {
        categories.reset();
    }
    if (!categories) {
        ShowMsgBox(m_hWnd, L"数据错误", L"我的游戏分类列表解析异常！", MsgBoxButtons::Ok, L"确定", L"取消");
        return;
    }
    RebuildMyGames(categories.release());
}

void CMainWnd::RebuildMyGames(CategoryList* categories)
{
    std::unique_ptr<CategoryList> list(categories);
    auto* narrow = static_cast<CContainerUI*>(m_manager.FindControl(kNarrowList));
    auto* wide = static_cast<CContainerUI*>(m_manager.FindControl(kWideList));
    narrow->RemoveAll();
    wide->RemoveAll();
    for (CategoryInfo* category : *list)
        InsertMyGameEntries(category, -1);
    m_myGameBatches.ReleaseFinished();
    AddMyGameAddEntries();
    if (list->empty())
        return;
    CategoryList* batch = list.release();
    m_myGameBatches.Add(batch);
    if (m_threads.StartThread(&CacheMyGameImagesThread<g_mainWnd>, batch) == 0) {
        m_myGameBatches.FinishNewest();
        ApplyPendingPagePictures(batch);
    }
}

// At `index`, or at the end for -1: the narrow icon and the wide entry.
void CMainWnd::InsertMyGameEntries(CategoryInfo* category, int index)
{
    const auto tag = reinterpret_cast<UINT_PTR>(category);
    CButtonUI* icon = NewNarrowEntry(L"user_game_category_btn");
    icon->SetToolTip(category->name.c_str());
    icon->SetTag(tag);

    auto* entry = new COptionUI;
    entry->SetName(L"mygamelist_btn");
    entry->SetGroup(L"mygamelist_group");
    const std::wstring text = category->name + category->server;
    entry->SetText(text.c_str());
    entry->SetToolTip(text.c_str());
    SetWideEntryLook(entry);
    entry->SetTag(tag);

    auto* narrow = static_cast<CContainerUI*>(m_manager.FindControl(kNarrowList));
    auto* wide = static_cast<CContainerUI*>(m_manager.FindControl(kWideList));
    if (index < 0) {
        narrow->Add(icon);
        wide->Add(entry);
    } else {
        narrow->AddAt(icon, index);
        wide->AddAt(entry, index);
    }
}

void CMainWnd::AddMyGameAddEntries()
{
    CButtonUI* add = NewNarrowEntry(L"add_btn");
    add->SetNormalImage(L"img/gameadd.png");
    static_cast<CContainerUI*>(m_manager.FindControl(kNarrowList))->Add(add);

    auto* addWide = new CButtonUI;
    addWide->SetName(L"add_my_game");
    addWide->SetText(L"添加游戏");
    addWide->SetToolTip(L"点击然后选择要添加的游戏分类添加我的游戏");
    SetWideEntryLook(addWide);
    addWide->SetAttribute(L"foreimage", L"file='img/gameadd.png' dest='10,5,40,35'");
    addWide->SetHotImage(kEntryHotImage);
    static_cast<CContainerUI*>(m_manager.FindControl(kWideList))->Add(addWide);
}

// The first entry of each list that carries the category shows its icon.
void CMainWnd::SetMyGameIcons(CategoryInfo* category)
{
    const auto tag = reinterpret_cast<UINT_PTR>(category);
    auto* narrow = static_cast<CContainerUI*>(m_manager.FindControl(kNarrowList));
    for (int i = 0; narrow != nullptr && i < narrow->GetCount(); ++i) {
        if (narrow->GetItemAt(i)->GetTag() == tag) {
            static_cast<CButtonUI*>(narrow->GetItemAt(i))->SetNormalImage(category->local_icon.c_str());
            break;
        }
    }
    auto* wide = static_cast<CContainerUI*>(m_manager.FindControl(kWideList));
    for (int i = 0; wide != nullptr && i < wide->GetCount(); ++i) {
        if (wide->GetItemAt(i)->GetTag() == tag) {
            auto* entry = static_cast<COptionUI*>(wide->GetItemAt(i));
            entry->SetAttribute(L"foreimage", ForeImageOf(category->local_icon).c_str());
            entry->SetHotImage(kEntryHotImage);
            entry->SetSelectedImage(kEntryHotImage);
            break;
        }
    }
}

void CMainWnd::OnMyGameIconReady(UINT_PTR list, UINT_PTR index)
{
    const auto* batch = reinterpret_cast<const CategoryList*>(list);
    if (!m_myGameBatches.Contains(batch) || index >= batch->size())
        return;
    SetMyGameIcons((*batch)[index]);
    if (m_myGameBatches.FinishIfLast(batch, index))
        ApplyPendingPagePictures(batch);
}

// A category the lists hold already (by id) is not listed twice; the record
// of a new one belongs to the window from now on.
void CMainWnd::OnAddMyGameReply(UINT_PTR category, UINT_PTR)
{
    std::unique_ptr<CategoryInfo> record(reinterpret_cast<CategoryInfo*>(category));
    if (!record || m_manager.FindControl(kNarrowList) == nullptr || m_manager.FindControl(kWideList) == nullptr ||
        MyGamesHoldId(record->category_id))
        return;
    InsertMyGameEntries(record.get(), 0);
    SetMyGameIcons(record.get());
    m_addedMyGames.push_back(std::move(record));
}

bool CMainWnd::MyGamesHoldId(const std::wstring& categoryId)
{
    auto* wide = static_cast<CContainerUI*>(m_manager.FindControl(kWideList));
    for (int i = 0; wide != nullptr && i < wide->GetCount(); ++i) {
        const CategoryInfo* held = CategoryOf(wide->GetItemAt(i));
        if (held != nullptr && held->category_id == categoryId)
            return true;
    }
    return false;
}

// The wide panel lies over the narrow one: it opens when the mouse comes
// over the narrow panel and closes when the mouse leaves the wide one.
void CMainWnd::OnMouseEnter(const NotifyMsg& msg)
{
    if (!IsNotifyFrom(msg, L"small_nav_layout"))
        return;
    if (CControlUI* panel = m_manager.FindControl(L"expand_nav_layout"))
        panel->SetVisible(true);
}

void CMainWnd::OnMouseLeave(const NotifyMsg& msg)
{
    if (!IsNotifyFrom(msg, L"expand_nav_layout"))
        return;
    if (CControlUI* panel = m_manager.FindControl(L"expand_nav_layout"))
        panel->SetVisible(false);
}
