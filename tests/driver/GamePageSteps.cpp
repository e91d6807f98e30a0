#include "GamePageSteps.h"

#include <gtest/gtest.h>

#include <utility>

#include "RefService.h"
#include "ServiceLists.h"
#include "services/FileUtil.h"
#include "services/SessionData.h"

namespace {

const char kCategoriesPath[] = "/Box/Game/getGamesCategory";
const char kGamesPath[] = "/Box/Game/getGames";
const char kPluginsPath[] = "/Box/Game/getGamesPlugins";
constexpr int kDemoCategoryTiles = 4;
// More than any field the folder window proposes holds.
constexpr int kFieldClearingKeys = 120;

SIZE RowSize(RowKind kind)
{
    const RowPtr row(BuildItemRow(kind, ItemRowFace()));
    return SIZE{row->GetFixedWidth(), row->GetFixedHeight()};
}

}  // namespace

RECT RowPart(RowKind kind, RowChild child)
{
    const RowPtr row(BuildItemRow(kind, ItemRowFace()));
    const CalUI::CControlUI* part = RowChildOf(row.get(), child);
    const SIZE at = part->GetFixedXY();
    return RECT{at.cx, at.cy, at.cx + part->GetFixedWidth(), at.cy + part->GetFixedHeight()};
}

std::wstring ConfigValue(const std::wstring& section, LPCWSTR key)
{
    wchar_t value[512] = {};
    GetPrivateProfileStringW(section.c_str(), key, L"", value, 512, g_sessionData.GetConfigIniPath().c_str());
    return value;
}

std::vector<Json::Value> Downloads(const std::string& path)
{
    std::vector<Json::Value> gets;
    for (const Json::Value& entry : RefService::Journal(path)) {
        if (entry["method"].asString() == "GET")
            gets.push_back(entry);
    }
    return gets;
}

void WaitForFileSize(const std::wstring& file, const std::string& what, const std::function<bool(int64_t)>& done,
                     DWORD limitMs)
{
    WaitUntil(
        what, [&] { return done(GetLocalFileSize(file)); }, limitMs);
}

void WaitUntilEnabled(HWND main, const std::string& what)
{
    WaitUntilSteady(
        what + ", no overlay over it", [main] { return IsWindowEnabled(main) != FALSE; }, kPageSteadyMs, kWaitLimitMs);
}

OwnSections::OwnSections(std::vector<std::wstring> sections) : m_sections(std::move(sections)) { Remove(); }

OwnSections::~OwnSections() { Remove(); }

void OwnSections::Remove() const
{
    for (const std::wstring& section : m_sections)
        WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, g_sessionData.GetConfigIniPath().c_str());
}

ItemSpot GamePageSteps::Row(RowKind kind, LPCWSTR list, int index, int count)
{
    ItemSpot spot;
    spot.container = list;
    spot.index = index;
    spot.count = count;
    spot.size = RowSize(kind);
    return spot;
}

void GamePageSteps::ClickRowChild(HWND main, RowKind kind, const ItemSpot& row, RowChild child)
{
    m_driver.ClickItem(main, L"main.xml", row, RowPart(kind, child));
}

bool GamePageSteps::StatusShown(HWND main, RowKind kind, const ItemSpot& row)
{
    RECT status = RowPart(kind, RowChild::kStatus);
    const RECT item = m_driver.ItemRect(L"main.xml", row);
    OffsetRect(&status, item.left, item.top);
    return m_driver.CountLightPixels(main, status) > 10;
}

void GamePageSteps::ReplaceField(HWND window, LPCWSTR skinFile, LPCWSTR field, const std::wstring& text)
{
    m_driver.ClickControl(window, skinFile, field);
    m_driver.PressKey(window, VK_END);
    for (int i = 0; i < kFieldClearingKeys; ++i)
        m_driver.PressKey(window, VK_BACK);
    m_driver.Type(window, text);
}

void GamePageSteps::ConfirmFolders(HWND folders, const std::wstring& download, const std::wstring& install)
{
    ReplaceField(folders, L"selpath.xml", L"download_path_edit", download);
    ReplaceField(folders, L"selpath.xml", L"install_path_edit", install);
    m_driver.ClickControl(folders, L"selpath.xml", L"ok_btn");
    m_driver.WaitForWindowGone(folders, "the folder window");
}

void GamePageSteps::OpenXinghaiPage(HWND main, unsigned timesOpened)
{
    const Json::Value categories = ListInReply(m_driver.WaitForJournal(kCategoriesPath));
    ASSERT_EQ(static_cast<int>(categories.size()), kDemoCategoryTiles);
    const int xinghai = IndexOfName(categories, "星海征途");
    ASSERT_GE(xinghai, 0);
    WaitUntilEnabled(main, "the tiles");
    m_driver.ClickTile(main, xinghai, kDemoCategoryTiles);
    WaitForGamePage(main, categories[xinghai]["category_id"].asString(), timesOpened);
}

void GamePageSteps::WaitForGamePage(HWND main, const std::string& categoryId, unsigned timesOpened)
{
    EXPECT_EQ(RefService::BodyValue(m_driver.WaitForJournal(kGamesPath, timesOpened), "category_id"), categoryId);
    m_driver.WaitForJournal(kPluginsPath, timesOpened);
    const RECT title = m_driver.ControlRect(L"main.xml", L"game_name_lab");
    WaitUntil(
        "the game page's title", [&] { return m_driver.CountLightPixels(main, title) > 20; }, kWaitLimitMs);
    WaitUntilEnabled(main, "the game page");
}
