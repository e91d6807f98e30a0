// The tile layout: the grid it makes of its children for the cell sizes,
// gaps, counts and modes of its skin attributes, and the children a full
// grid refuses.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "GeometryText.h"
#include "LayoutTestControls.h"
#include "ManagedWindow.h"
#include "controls/TileLayoutUI.h"

using namespace CalUI;

namespace {

// A skin document of one tile layout with `count` children; the children
// listed in `hidden` are invisible.
std::wstring Tiles(const std::wstring& attributes, int count, std::vector<int> hidden = {},
                   const std::wstring& childAttributes = L"")
{
    std::wstring xml = L"<Window><TileLayout " + attributes + L">";
    for (int i = 0; i < count; ++i) {
        const bool invisible = std::find(hidden.begin(), hidden.end(), i) != hidden.end();
        xml += L"<Control " + childAttributes + (invisible ? L" visible=\"false\"" : L"") + L"/>";
    }
    return xml + L"</TileLayout></Window>";
}

struct TileCase
{
    const char* what;
    std::wstring xml;
    RECT at;
    std::vector<std::pair<int, RECT>> cells;  // child index and its rectangle
    int columns;
    int rows;
    SIZE scrollRange = {0, 0};
};

class TileLayout : public testing::Test
{
protected:
    static void SetUpTestSuite() { window = new ManagedWindow; }
    static void TearDownTestSuite()
    {
        delete window;
        window = nullptr;
    }

    static CTileLayoutUI* Build(const std::wstring& xml)
    {
        CControlUI* built = BuildDetached(*window, xml.c_str());
        return built != nullptr ? static_cast<CTileLayoutUI*>(built->GetInterface(L"TileLayout")) : nullptr;
    }

    static ManagedWindow* window;
};

ManagedWindow* TileLayout::window = nullptr;

}  // namespace

TEST_F(TileLayout, ArrangesChildrenInAGridOfCells)
{
    const TileCase cases[] = {
        {"the all-games page: six columns, 13 tiles need 819 pixels",
         Tiles(L"itemsize=\"139,251\" childpadding=\"40\" childvpadding=\"33\" vscrollbar=\"true\"", 13),
         {0, 0, 1056, 600},
         {{0, {0, 0, 139, 251}}, {5, {895, 0, 1034, 251}}, {6, {0, 284, 139, 535}}, {12, {0, 568, 139, 819}}},
         6,
         3,
         {0, 219}},
        {"without child padding the free width is shared between the columns",
         Tiles(L"itemsize=\"80,80\"", 5),
         {0, 0, 430, 100},
         {{1, {87, 0, 167, 80}}, {4, {348, 0, 428, 80}}},
         5,
         1},
        {"a layout narrower than a cell has one column as wide as the cell",
         Tiles(L"itemsize=\"80,80\" hscrollbar=\"true\"", 2),
         {0, 0, 50, 200},
         {{0, {0, 0, 80, 80}}, {1, {0, 80, 80, 160}}},
         1,
         2,
         {30, 0}},
        {"fixed columns share the room left",
         Tiles(L"itemsize=\"80,80\" columns=\"3\"", 4),
         {0, 0, 400, 300},
         {{1, {160, 0, 240, 80}}, {3, {0, 80, 80, 160}}},
         3,
         2},
        {"filling rows, later children move up into a hidden child's cell",
         Tiles(L"itemsize=\"80,80\" childpadding=\"10\" childvpadding=\"10\"", 4, {1}),
         {0, 0, 400, 300},
         {{0, {0, 0, 80, 80}}, {3, {180, 0, 260, 80}}},
         4,
         1},
        {"filling columns, a hidden child keeps its cell empty",
         Tiles(L"itemsize=\"80,80\" childpadding=\"10\" childvpadding=\"10\" rows=\"2\"", 4, {1}),
         {0, 0, 400, 300},
         {{0, {0, 0, 80, 80}}, {2, {90, 0, 170, 80}}, {3, {90, 90, 170, 170}}},
         2,
         2},
        {"alignment and padding inside the cell",
         L"<Window><TileLayout itemsize=\"80,80\" childalign=\"center\" childvalign=\"vcenter\">"
         L"<Control maxwidth=\"40\" maxheight=\"20\"/><Control padding=\"5,5,5,5\"/></TileLayout></Window>",
         {0, 0, 400, 300},
         {{0, {20, 30, 60, 50}}, {1, {90, 10, 150, 70}}},
         5,
         1},
        {"cells of no size without padding",
         Tiles(L"itemsize=\"0,0\"", 3),
         {0, 0, 400, 300},
         {{2, {2, 0, 2, 0}}},
         400,
         1},
        {"a single number leaves the height 0",
         Tiles(L"itemsize=\"80\"", 3),
         {0, 0, 400, 300},
         {{1, {80, 0, 160, 0}}},
         5,
         1},
        {"a negative width counts as 0",
         Tiles(L"itemsize=\"-50,80\"", 3),
         {0, 0, 400, 300},
         {{2, {2, 0, 2, 80}}},
         400,
         1},
        {"no room and cells of no size keep one column",
         Tiles(L"itemsize=\"0\"", 3),
         {0, 0, 0, 300},
         {{2, {0, 0, 0, 0}}},
         1,
         3},
    };
    for (const TileCase& c : cases) {
        SCOPED_TRACE(c.what);
        CTileLayoutUI* tiles = Build(c.xml);
        ASSERT_NE(nullptr, tiles);
        tiles->SetPos(c.at, false);
        for (const auto& [index, rect] : c.cells)
            EXPECT_EQ(rect, tiles->GetItemAt(index)->GetPos()) << "child " << index;
        EXPECT_EQ(c.columns, tiles->GetColumnCount());
        EXPECT_EQ(c.rows, tiles->GetRowCount());
        EXPECT_EQ(c.scrollRange, tiles->GetScrollRange());
        tiles->Delete();
    }
}

TEST_F(TileLayout, ItemSizeReadsMissingNumbersAsZero)
{
    const std::pair<LPCWSTR, SIZE> cases[] = {
        {L"139,251", {139, 251}}, {L"80", {80, 0}}, {L"", {0, 0}}, {L"-50,80", {-50, 80}}, {L"7,", {7, 0}},
    };
    CTileLayoutUI tiles;
    for (const auto& [value, size] : cases) {
        tiles.SetAttribute(L"itemsize", value);
        EXPECT_EQ(size, tiles.GetItemSize()) << value;
    }
}

TEST_F(TileLayout, AFullGridRefusesChildren)
{
    CTileLayoutUI* grid = Build(Tiles(L"columns=\"3\" rows=\"2\"", 6));
    ASSERT_NE(nullptr, grid);
    auto* extra = new CControlUI;
    EXPECT_FALSE(grid->Add(extra)) << "a seventh child";
    EXPECT_FALSE(grid->AddAt(extra, 0));
    EXPECT_FALSE(grid->Add(nullptr));
    grid->RemoveAt(5);
    EXPECT_TRUE(grid->AddAt(extra, 0));
    grid->Delete();

    // The skin applies the counts after the children: the grid holds seven
    // and takes no more.
    CTileLayoutUI* over = Build(Tiles(L"columns=\"3\" rows=\"2\"", 7));
    ASSERT_NE(nullptr, over);
    ASSERT_EQ(7, over->GetCount());
    auto* another = new CControlUI;
    EXPECT_FALSE(over->Add(another));
    over->SetColumns(-1);
    EXPECT_EQ(3, over->GetColumns()) << "negative counts are ignored";
    over->SetRows(0);
    EXPECT_TRUE(over->Add(another)) << "without rows there is no limit";
    over->Delete();
}
