// The list, its rows and its header: the row bookkeeping on a list without a
// window, then one real layered window for clicks, keys, scrolling, columns
// and the header's separator drag, with looks read from its off-screen
// pixels.

#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <string>
#include <vector>

#include "ClickableTestWindow.h"
#include "controls/ListContainerElementUI.h"
#include "controls/ListElementUI.h"
#include "controls/ListHeaderUI.h"
#include "controls/ListUI.h"
#include "core/ScrollBarUI.h"

using namespace CalUI;

namespace {

using Notes = std::vector<std::wstring>;

CListLabelElementUI* LabelRow(const std::wstring& text)
{
    auto* row = new CListLabelElementUI;
    row->SetText(text.c_str());
    return row;
}

std::vector<int> Indices(CListUI& list)
{
    std::vector<int> indices;
    for (int i = 0; i < list.GetCount(); ++i)
        indices.push_back(AsListItem(list.GetItemAt(i))->GetIndex());
    return indices;
}

std::vector<int> Positions(int count)
{
    std::vector<int> positions;
    for (int i = 0; i < count; ++i)
        positions.push_back(i);
    return positions;
}

}  // namespace

// ---- Bookkeeping without a window ----------------------------------------------------

// Each step changes the rows of a five-row list whose row "c" (2) is
// selected and row "d" (3) expanded; indices must equal positions and both
// marks must stay on their rows (or go with them).
TEST(ListRows, IndicesFollowPositionsAndTheMarksFollowTheirRows)
{
    struct Case
    {
        const char* step;
        void (*change)(CListUI& list, std::vector<CControlUI*>& rows);
        int selected;  // -1: none
        int expanded;
    };
    const Case cases[] = {
        {"insert at 0", [](CListUI& l, std::vector<CControlUI*>&) { l.AddAt(LabelRow(L"new"), 0); }, 3, 4},
        {"insert after the marks", [](CListUI& l, std::vector<CControlUI*>&) { l.AddAt(LabelRow(L"new"), 4); }, 2, 3},
        {"remove before", [](CListUI& l, std::vector<CControlUI*>& r) { l.Remove(r[0]); }, 1, 2},
        {"remove the expanded", [](CListUI& l, std::vector<CControlUI*>& r) { l.Remove(r[3]); }, 2, -1},
        {"move the selected to 0", [](CListUI& l, std::vector<CControlUI*>& r) { l.SetItemIndex(r[2], 0); }, 0, 3},
        {"move a row across", [](CListUI& l, std::vector<CControlUI*>& r) { l.SetItemIndex(r[4], 1); }, 3, 4},
        {"move two rows to 0", [](CListUI& l, std::vector<CControlUI*>& r) { l.MoveItems(r[2], 2, 0); }, 0, 1},
        {"remove all", [](CListUI& l, std::vector<CControlUI*>&) { l.RemoveAll(); }, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        CListUI list;
        std::vector<CControlUI*> rows;
        for (const wchar_t* text : {L"a", L"b", L"c", L"d", L"e"}) {
            auto* row = new CListContainerElementUI;
            row->SetText(text);
            row->SetExpandable(true);
            rows.push_back(row);
            ASSERT_TRUE(list.Add(row));
        }
        ASSERT_TRUE(list.SelectItem(2));
        ASSERT_TRUE(list.ExpandItem(3));
        c.change(list, rows);
        EXPECT_EQ(Indices(list), Positions(list.GetCount()));
        EXPECT_EQ(list.GetSelectedIndex(), c.selected);
        EXPECT_EQ(list.GetExpandedItem(), c.expanded);
        if (c.selected >= 0) {
            EXPECT_TRUE(AsListItem(list.GetItemAt(c.selected))->IsSelected());
        }
    }
}

// Removing the selected row selects the nearest selectable row at or before
// its place, else the first; a removed row kept alive forgets its owner.
TEST(ListRows, RemovingTheSelectedRowMovesTheSelectionAndAKeptRowForgetsTheList)
{
    CListUI list;
    std::vector<CListLabelElementUI*> rows;
    for (int i = 0; i < 5; ++i) {
        rows.push_back(LabelRow(std::to_wstring(i)));
        list.Add(rows.back());
    }
    rows[4]->SetEnabled(false);
    EXPECT_EQ(list.FindSelectable(4, false), 3) << "the rows are the body's";
    list.SelectItem(3);
    ASSERT_TRUE(list.Remove(rows[3], true));
    EXPECT_EQ(list.GetSelectedIndex(), 2) << "row 3 is now the disabled one: the nearest before it";
    EXPECT_EQ(rows[3]->GetOwner(), nullptr);
    EXPECT_EQ(rows[3]->GetIndex(), -1);
    rows[3]->Select(true);  // reaches no list
    EXPECT_EQ(list.GetSelectedIndex(), 2);
    delete rows[3];

    rows[0]->SetVisible(false);
    rows[1]->SetEnabled(false);
    list.Remove(rows[2]);
    EXPECT_EQ(list.GetSelectedIndex(), -1) << "only the hidden and the disabled rows are left";
    EXPECT_EQ(Indices(list), Positions(3));
}

TEST(ListRows, RemovingTheHeaderLeavesNoColumnsUntilAnotherComes)
{
    CListUI list;
    auto* header = new CListHeaderUI;
    ASSERT_TRUE(list.Add(header));
    ASSERT_EQ(list.GetHeader(), header) << "an empty header gives way to the new one";
    list.Add(new CListHeaderItemUI);
    list.Add(new CListHeaderItemUI);
    EXPECT_EQ(list.GetItemStyle()->columnCount, 2);
    EXPECT_EQ(list.GetCount(), 0) << "header items are no rows";

    ASSERT_TRUE(list.Remove(header));
    EXPECT_EQ(list.GetHeader(), nullptr);
    EXPECT_EQ(list.GetItemStyle()->columnCount, 0);
    list.SetPos({0, 0, 200, 100});
    EXPECT_FALSE(list.Add(new CListHeaderItemUI)) << "no header to join";

    auto* next = new CListHeaderUI;
    next->Add(new CListHeaderItemUI);
    ASSERT_TRUE(list.Add(next));
    EXPECT_EQ(list.GetHeader(), next);
    EXPECT_EQ(list.GetItemStyle()->columnCount, 1);
}

TEST(ListRows, ItemStyleAttributes)
{
    struct Case
    {
        std::vector<std::pair<LPCWSTR, LPCWSTR>> attributes;
        UINT textStyle;
    };
    const Case cases[] = {
        {{{L"itemalign", L"center"}, {L"itemalign", L"right"}}, DT_RIGHT | DT_VCENTER | DT_SINGLELINE},
        {{{L"itemmultiline", L"true"}}, DT_WORDBREAK | DT_VCENTER},
        {{{L"itemmultiline", L"true"}, {L"itemmultiline", L"false"}}, DT_WORDBREAK | DT_VCENTER | DT_SINGLELINE},
        {{{L"itemvalign", L"bottom"}, {L"itemendellipsis", L"true"}}, DT_BOTTOM | DT_SINGLELINE | DT_END_ELLIPSIS},
    };
    for (const Case& c : cases) {
        CListUI list;
        for (const auto& [name, value] : c.attributes)
            list.SetAttribute(name, value);
        EXPECT_EQ(list.GetItemStyle()->textStyle, c.textStyle);
    }
    CListUI list;
    list.SetAttribute(L"itemselectedbkcolor", L"0x80FFFFFF");
    list.SetAttribute(L"itemhotbkcolor", L"#80FFFFFF");
    EXPECT_EQ(list.GetItemStyle()->selectedBkColor, 0x80FFFFFFu);
    EXPECT_EQ(list.GetItemStyle()->hotBkColor, 0x80FFFFFFu);
    list.SetAttribute(L"itemtextpadding", L"10,2");  // short: the rest is 0
    const RECT pad = list.GetItemStyle()->textPadding;
    EXPECT_EQ((std::vector<LONG>{pad.left, pad.top, pad.right, pad.bottom}), (std::vector<LONG>{10, 2, 0, 0}));
    list.SetAttribute(L"multiexpanding", L"true");
    EXPECT_TRUE(list.GetItemStyle()->multiExpanding);
}

TEST(ListRows, ALabelRowWithoutAWindowAnswersItsFixedSizes)
{
    CListUI list;
    CListLabelElementUI* row = LabelRow(L"text");
    list.Add(row);
    list.SetAttribute(L"itemheight", L"30");
    row->SetFixedWidth(100);
    EXPECT_EQ(row->EstimateSize({500, 500}).cx, 100);
    EXPECT_EQ(row->EstimateSize({500, 500}).cy, 30);
    row->SetFixedWidth(0);
    EXPECT_EQ(row->EstimateSize({500, 500}).cy, 30) << "nothing to measure with, and no crash";
}

TEST(ListRows, ExpandingKeepsOneRowOpenUnlessMultiExpanding)
{
    for (bool multi : {false, true}) {
        CListUI list;
        list.SetAttribute(L"multiexpanding", multi ? L"true" : L"false");
        std::vector<CListContainerElementUI*> rows;
        for (int i = 0; i < 4; ++i) {
            rows.push_back(new CListContainerElementUI);
            rows.back()->SetExpandable(i != 2);
            list.Add(rows.back());
        }
        ASSERT_TRUE(rows[1]->Expand(true));
        ASSERT_TRUE(rows[3]->Expand(true));
        EXPECT_EQ(rows[1]->IsExpanded(), multi) << (multi ? "multi" : "single");
        EXPECT_TRUE(rows[3]->IsExpanded());
        EXPECT_EQ(list.GetExpandedItem(), 3);
        EXPECT_TRUE(rows[2]->Expand(true)) << "a row that cannot expand only keeps the flag";
        EXPECT_EQ(list.GetExpandedItem(), 3);
        EXPECT_TRUE(list.ExpandItem(-1, false)) << "collapses without an index";
        EXPECT_EQ(list.GetExpandedItem(), multi ? 3 : -1);
        auto* loose = new CListContainerElementUI;
        EXPECT_FALSE(loose->Expand(true)) << "no owner";
        delete loose;
    }
}

TEST(ListRows, HeaderItemAttributesAndSeparatorStrips)
{
    struct Case
    {
        LPCWSTR name;
        LPCWSTR value;
        DWORD textColor;
        RECT strip;  // for an item at (100, 0, 200, 30)
        UIControlFlag flags;
    };
    const Case cases[] = {
        {L"textcolor", L"FF0000", 0xFFFF0000, {196, 0, 200, 30}, UIControlFlag::SetCursor},
        {L"textcolor", L"#80112233", 0x80112233, {196, 0, 200, 30}, UIControlFlag::SetCursor},
        {L"sepwidth", L"-4", 0, {100, 0, 104, 30}, UIControlFlag::SetCursor},
        {L"sepwidth", L"0", 0, {200, 0, 200, 30}, UIControlFlag::None},
        {L"enabled", L"false", 0, {196, 0, 200, 30}, UIControlFlag::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name) + L"=" + c.value));
        CListHeaderItemUI item;
        item.SetPos({100, 0, 200, 30});
        item.SetAttribute(c.name, c.value);
        EXPECT_EQ(item.GetTextColor(), c.textColor);
        const RECT strip = item.GetSeparatorRect();
        EXPECT_EQ((std::vector<LONG>{strip.left, strip.top, strip.right, strip.bottom}),
                  (std::vector<LONG>{c.strip.left, c.strip.top, c.strip.right, c.strip.bottom}));
        EXPECT_EQ(item.GetControlFlags(), c.flags);
    }
    CListHeaderItemUI item;
    item.SetAttribute(L"multiline", L"true");
    item.SetAttribute(L"align", L"right");
    EXPECT_EQ(item.GetTextStyle(), static_cast<UINT>(DT_RIGHT | DT_VCENTER | DT_WORDBREAK));
    EXPECT_EQ(item.GetMinWidth(), 16);
}

// A drag steps the item's width; a step that would leave it at or below the
// minimum is ignored, and a strip on the left edge moves the left edge.
TEST(ListRows, SeparatorDragsStopAtTheMinimumWidth)
{
    struct Case
    {
        int sepWidth;
        std::vector<int> moves;  // x of each move after a press at the strip
        int width;
    };
    const Case cases[] = {
        {4, {218, 238}, 140},
        {4, {110}, 100},      // 12 wide would be under the minimum
        {4, {118, 100}, 20},  // the second step would leave 2
        {-4, {80}, 122},      // the left edge goes 22 to the left
    };
    for (const Case& c : cases) {
        CListHeaderItemUI item;
        item.SetSepWidth(c.sepWidth);
        item.SetPos({100, 0, 200, 30});
        const RECT strip = item.GetSeparatorRect();
        UIEvent press;
        press.type = UIEventType::ButtonDown;
        press.mousePoint = {(strip.left + strip.right) / 2, 10};
        item.OnEvent(press);
        for (int x : c.moves) {
            UIEvent move;
            move.type = UIEventType::MouseMove;
            move.mousePoint = {x, 10};
            item.OnEvent(move);
        }
        EXPECT_EQ(item.GetFixedWidth() == 0 ? 100 : item.GetFixedWidth(), c.width) << c.sepWidth;
    }
}

// ---- In a window ---------------------------------------------------------------------------

namespace {

constexpr POINT kScreenPlace = {1150, 640};
constexpr POINT kParking = {395, 295};
constexpr DWORD kRowColour = 0x202020;
constexpr DWORD kHotColour = 0x0000FF;
constexpr DWORD kSelectedColour = 0x00FF00;
constexpr DWORD kLineColour = 0xFF0000;

// A list at (10, 10) 260 x 240: a header of 30 above rows of 20 apart by a
// 1-pixel red line (21 per row), so rows 0 to 9 show in the body of 210.
const std::wstring kSkin =
    L"<List name=\"list\" float=\"true\" pos=\"10,10,270,250\" itemheight=\"20\" itembkcolor=\"#FF202020\""
    L" itemhotbkcolor=\"#FF0000FF\" itemselectedbkcolor=\"#FF00FF00\" itemhlinesize=\"1\""
    L" itemhlinecolor=\"#FFFF0000\" vscrollbar=\"true\">"
    L"<ListHeader name=\"header\" height=\"30\">"
    L"<ListHeaderItem name=\"h0\" width=\"50\" text=\"A\"/><ListHeaderItem name=\"h1\" width=\"60\"/>"
    L"<ListHeaderItem name=\"h2\" width=\"70\"/><ListHeaderItem name=\"h3\" width=\"80\"/>"
    L"</ListHeader></List>";

class ListWindow : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ui = new ClickableTestWindow(kScreenPlace, kSkin,
                                     L"<Font id=\"0\" name=\"微软雅黑\" size=\"14\" default=\"true\"/>");
        list = ui->Find<CListUI>(L"list", L"List");
        ASSERT_NE(list, nullptr);
    }
    static void TearDownTestSuite() { delete ui; }

    void SetUp() override
    {
        ui->MoveTo(kParking.x, kParking.y);
        list->RemoveAll();
        for (int i = 0; i < 40; ++i)
            list->Add(LabelRow(L"第 " + std::to_wstring(i) + L" 行 不限区服"));
        list->GetHeader()->SetVisible(true);
        list->SetScrollPos({0, 0}, false);
        ui->Repaint();
        ui->window.Pump();
        ui->TakeNotifications();
    }

    static RECT RowRect(int index) { return list->GetItemAt(index)->GetPos(); }
    static int RowMiddle(int index) { return (RowRect(index).top + RowRect(index).bottom) / 2; }
    static DWORD Shown(int x, int y)
    {
        ui->Repaint();
        return ui->Rgb(x, y);
    }
    static std::vector<LONG> Columns()
    {
        std::vector<LONG> edges;
        const ListItemStyle& style = *list->GetItemStyle();
        for (int i = 0; i < style.columnCount; ++i) {
            edges.push_back(style.columns[i].left - 10);
            edges.push_back(style.columns[i].right - 10);
        }
        return edges;
    }

    static ClickableTestWindow* ui;
    static CListUI* list;
};

ClickableTestWindow* ListWindow::ui = nullptr;
CListUI* ListWindow::list = nullptr;

TEST_F(ListWindow, RowsStackUnderTheHeaderWithTheGridLineInTheGap)
{
    EXPECT_EQ(RowRect(0).top, 40);
    EXPECT_EQ(RowRect(1).top - RowRect(0).top, 21);
    EXPECT_EQ(Shown(240, RowRect(0).bottom), kLineColour);
    EXPECT_EQ(Shown(240, RowMiddle(0)), kRowColour);
}

TEST_F(ListWindow, AClickReportsTheRowThenTheSelectionAndPaintsItSelected)
{
    list->SelectItem(1, false, false);
    ui->TakeNotifications();
    ui->Click(30, RowMiddle(2));
    const Notes notes = ui->TakeNotifications();
    const Notes expected = {L"itemclick ", L"itemselect list"};
    Notes relevant;
    for (const std::wstring& n : notes) {
        if (n.rfind(L"item", 0) == 0)
            relevant.push_back(n);
    }
    EXPECT_EQ(relevant, expected);
    EXPECT_EQ(list->GetSelectedIndex(), 2);
    EXPECT_EQ(Shown(240, RowMiddle(2)), kSelectedColour);
    EXPECT_EQ(Shown(240, RowMiddle(1)), kRowColour);

    ui->MoveTo(30, RowMiddle(4));
    EXPECT_EQ(Shown(240, RowMiddle(4)), kHotColour);

    list->GetItemAt(5)->SetEnabled(false);
    ui->Click(30, RowMiddle(5));
    EXPECT_EQ(list->GetSelectedIndex(), 2) << "a disabled row takes no click";
}

// A window that removes the clicked row while the row is still handling its
// click: the row finishes on live memory and is destroyed afterwards.
struct RemoveOnClick
{
    CListUI* list;
    int clicks = 0;
    bool Remove(void* param)
    {
        auto* msg = static_cast<NotifyMsg*>(param);
        if (msg->type == L"itemclick") {
            ++clicks;
            list->Remove(msg->sender);
        }
        return true;
    }
};

TEST_F(ListWindow, ARowRemovedByTheHandlerOfItsOwnClickIsDestroyedAfterIt)
{
    RemoveOnClick remover{list};
    CControlUI* row = list->GetItemAt(3);
    row->notifyDelegates.Add(CDelegate<RemoveOnClick, RemoveOnClick>(&remover, &RemoveOnClick::Remove));
    ui->Click(240, RowMiddle(3));
    ui->window.Pump();
    EXPECT_EQ(remover.clicks, 1);
    EXPECT_EQ(list->GetCount(), 39);
    EXPECT_EQ(list->GetSelectedIndex(), -1) << "the removed row reached no list";
    EXPECT_EQ(Indices(*list), Positions(39));
}

TEST_F(ListWindow, KeysSkipHiddenAndDisabledRowsAndStopWhereNothingIsAhead)
{
    list->GetItemAt(0)->SetEnabled(false);
    list->GetItemAt(2)->SetVisible(false);
    list->GetItemAt(39)->SetEnabled(false);
    list->SelectItem(1, true, false);
    ui->Repaint();
    struct Step
    {
        WPARAM key;
        int selected;
    };
    const Step steps[] = {{VK_DOWN, 3}, {VK_UP, 1}, {VK_UP, 1}, {VK_END, 38}, {VK_DOWN, 38}, {VK_HOME, 1}};
    for (const Step& step : steps) {
        ui->Key(step.key);
        EXPECT_EQ(list->GetSelectedIndex(), step.selected) << "key " << step.key;
    }
}

TEST_F(ListWindow, SelectingARowBelowScrollsItsBottomOntoTheBodysEdgeWithAQueuedScroll)
{
    list->SelectItem(0, false, false);
    ui->TakeNotifications();
    ASSERT_TRUE(list->SelectItem(30, false, true));
    EXPECT_EQ(RowRect(30).bottom, list->GetBody()->GetPos().bottom);
    Notes notes = ui->TakeNotifications();
    EXPECT_EQ(notes, (Notes{L"itemselect list"})) << "the scroll is queued";
    EXPECT_EQ(ui->window.notifications.size(), 0u);
    EXPECT_TRUE(ui->window.PumpUntil([] {
        for (const ReceivedNotify& n : ui->window.notifications) {
            if (n.type == L"scroll")
                return true;
        }
        return false;
    }));
    const int scrolled = list->GetScrollPos().cy;
    list->SelectItem(29, false, false);
    EXPECT_EQ(list->GetScrollPos().cy, scrolled) << "a row in view does not scroll";
}

// Texts a window supplies for its text rows, one per row and column.
class ColumnTexts : public IListTextProviderUI
{
public:
    LPCWSTR GetItemText(CControlUI*, int index, int column) override
    {
        texts.push_back(L"WWWWWWWWWWWWWWWW" + std::to_wstring(index) + L"/" + std::to_wstring(column));
        return texts.back().c_str();
    }
    std::list<std::wstring> texts;
};

// Markup with links in the first column, nothing in the others.
class MarkupTexts : public IListTextProviderUI
{
public:
    LPCWSTR GetItemText(CControlUI*, int, int column) override { return column == 0 ? markup.c_str() : L""; }
    std::wstring markup;
};

TEST_F(ListWindow, TextRowsDrawTheProvidersTextsClearOfTheGridAndBoxRowsFillTheColumns)
{
    constexpr DWORD kGrid = 0xFF00FF;
    ColumnTexts provider;
    list->RemoveAll();
    list->SetTextProvider(&provider);
    list->SetAttribute(L"itemvlinesize", L"2");
    list->SetAttribute(L"itemvlinecolor", L"#FFFF00FF");
    list->SetAttribute(L"itemtextcolor", L"#FFFFFFFF");
    for (int i = 0; i < 3; ++i)
        list->Add(new CListTextElementUI);
    auto* box = new CListHBoxElementUI;
    for (int i = 0; i < 5; ++i)
        box->Add(new CControlUI);
    list->Add(box);
    ui->Repaint();
    ui->Repaint();

    EXPECT_NE(std::find(provider.texts.begin(), provider.texts.end(), L"WWWWWWWWWWWWWWWW2/3"), provider.texts.end());
    const ListItemStyle& style = *list->GetItemStyle();
    for (int column = 0; column < 3; ++column) {
        const int x = style.columns[column].right - 1;
        EXPECT_EQ(ui->Rgb(x, RowMiddle(0)), kGrid) << "line at the end of column " << column;
    }
    std::vector<LONG> cells;
    for (int i = 0; i < 4; ++i)
        cells.push_back(box->GetItemAt(i)->GetPos().left - 10);
    EXPECT_EQ(cells, (std::vector<LONG>{0, 50, 110, 180}));
    EXPECT_EQ(box->GetItemAt(0)->GetPos().right - 10, 48) << "short of the grid line";
    EXPECT_EQ(box->GetItemAt(4)->GetPos().right, 0) << "beyond the columns: not placed";

    list->SetTextProvider(nullptr);
    list->SetAttribute(L"itemvlinesize", L"0");
}

// Label rows measure their text unless a fixed size or the item height
// answers; a text row with markup keeps at most eight links and reports a
// click on one as "link" with its number.
TEST_F(ListWindow, RowsMeasureThemselvesAndTextRowsKeepEightLinks)
{
    list->RemoveAll();
    list->SetAttribute(L"itemheight", L"0");
    list->SetAttribute(L"itemtextpadding", L"6,2,4,3");
    CListLabelElementUI* measured = LabelRow(L"MMMM");
    CListLabelElementUI* fixed = LabelRow(L"MMMM");
    fixed->SetFixedWidth(100);
    fixed->SetFixedHeight(30);
    list->Add(measured);
    list->Add(fixed);
    const int fontHeight = ui->window.manager.GetDefaultFontInfo()->textMetrics.tmHeight;
    const SIZE size = measured->EstimateSize({500, 500});
    EXPECT_EQ(size.cy, fontHeight + 8 + 2 + 3);
    EXPECT_GT(size.cx, 10 + 4 * 5) << "four wide letters and the padding";
    measured->SetText(L"MMMMMMMM");
    EXPECT_GT(measured->EstimateSize({500, 500}).cx, size.cx) << "a new text is measured again";
    EXPECT_EQ(fixed->EstimateSize({500, 500}).cx, 100);
    EXPECT_EQ(fixed->EstimateSize({500, 500}).cy, 30);

    list->RemoveAll();
    list->SetAttribute(L"itemheight", L"20");
    list->SetAttribute(L"itemtextpadding", L"0,0,0,0");
    list->SetAttribute(L"itemshowhtml", L"true");
    auto* links = new CListTextElementUI;
    ASSERT_TRUE(list->Add(links));
    EXPECT_EQ(links->GetColumnText(0), nullptr) << "no column texts";
    EXPECT_EQ(links->GetColumnText(-1), nullptr);
    // The first column is wide enough for all ten links.
    auto* first = ui->Find<CListHeaderItemUI>(L"h0", L"ListHeaderItem");
    first->SetFixedWidth(230);
    MarkupTexts provider;
    for (int i = 0; i < 10; ++i)
        provider.markup += L"{a t" + std::to_wstring(i) + L"}L" + std::to_wstring(i) + L"{/a} ";
    list->SetTextProvider(&provider);
    ui->Repaint();
    ui->Repaint();
    ASSERT_EQ(links->GetLinkCount(), 8);
    const RECT third = links->GetLinkRect(2);
    ui->Click((third.left + third.right) / 2, (third.top + third.bottom) / 2);
    bool reported = false;
    for (const ReceivedNotify& n : ui->window.notifications)
        reported = reported || (n.type == L"link" && n.wParam == 2);
    EXPECT_TRUE(reported);
    list->SetTextProvider(nullptr);
    first->SetFixedWidth(50);
    list->SetAttribute(L"itemshowhtml", L"false");
}

TEST_F(ListWindow, DoubleClickAndReturnActivateAndTheWheelCanSelect)
{
    ui->Click(240, RowMiddle(1));
    ui->TakeNotifications();
    ui->Post(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(240, RowMiddle(1)));
    ui->Post(WM_LBUTTONUP, 0, MAKELPARAM(240, RowMiddle(1)));
    ui->Key(VK_RETURN);
    Notes activations;
    for (const std::wstring& n : ui->TakeNotifications()) {
        if (n.rfind(L"itemactivate", 0) == 0)
            activations.push_back(n);
    }
    EXPECT_EQ(activations.size(), 2u);

    list->SetAttribute(L"scrollselect", L"true");
    const POINT overRow = ui->ToScreen(240, RowMiddle(1));
    ui->Post(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(overRow.x, overRow.y));
    EXPECT_EQ(list->GetSelectedIndex(), 2) << "a notch down selects the next row";
    list->SetAttribute(L"scrollselect", L"false");
    const int before = list->GetScrollPos().cy;
    ui->Post(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(overRow.x, overRow.y));
    EXPECT_EQ(list->GetSelectedIndex(), 2);
    EXPECT_GT(list->GetScrollPos().cy, before) << "without it the notch scrolls";
}

TEST_F(ListWindow, HeaderItemsGiveTheColumnsAlsoScrolledAndHidden)
{
    EXPECT_EQ(Columns(), (std::vector<LONG>{0, 50, 50, 110, 110, 180, 180, 260}));

    // A last column wider than the body gives the horizontal bar room for 30.
    auto* h3 = ui->Find<CListHeaderItemUI>(L"h3", L"ListHeaderItem");
    ASSERT_NE(h3, nullptr);
    h3->SetFixedWidth(120);
    list->EnableScrollBar(true, true);
    ui->Repaint();
    list->SetScrollPos({30, 0}, false);
    const std::vector<LONG> scrolled = {-30, 20, 20, 80, 80, 150, 150, 270};
    EXPECT_EQ(Columns(), scrolled) << "the scroll moves every column";
    EXPECT_EQ(ui->Find(L"h0")->GetPos().left, 10 - 30) << "and the header's items with them";
    list->SetPos(list->GetPos(), false);
    EXPECT_EQ(Columns(), scrolled) << "a layout at the same size keeps the shift";
    list->SetScrollPos({0, 0}, false);
    list->EnableScrollBar(true, false);
    h3->SetFixedWidth(80);

    list->GetHeader()->SetVisible(false);
    ui->Repaint();
    EXPECT_EQ(Columns(), (std::vector<LONG>{0, 50, 50, 110, 110, 180, 180, 260}));
    EXPECT_EQ(RowRect(0).top, 10) << "the rows take the hidden header's place";
}

TEST_F(ListWindow, AlternateRowsLeaveEveryOtherRowUnfilled)
{
    list->SetAttribute(L"itemaltbk", L"true");
    EXPECT_EQ(Shown(240, RowMiddle(0)), kRowColour);
    EXPECT_EQ(Shown(240, RowMiddle(1)), 0x000000u) << "the window's black shows through";
    EXPECT_EQ(Shown(240, RowMiddle(2)), kRowColour);
    list->SelectItem(1, false, false);
    EXPECT_EQ(Shown(240, RowMiddle(1)), kSelectedColour) << "selected still fills an odd row";
    list->SetAttribute(L"itemaltbk", L"false");
    list->SelectItem(-1, false, false);
    EXPECT_EQ(Shown(240, RowMiddle(1)), kRowColour);
}

TEST_F(ListWindow, ExpandingAndCollapsingARowAreReported)
{
    auto* row = new CListContainerElementUI;
    row->SetName(L"opening");
    row->SetExpandable(true);
    list->Add(row);
    ui->TakeNotifications();
    ASSERT_TRUE(row->Expand(true));
    ASSERT_TRUE(row->Expand(false));
    Notes relevant;
    for (const std::wstring& n : ui->TakeNotifications()) {
        if (n.rfind(L"item", 0) == 0)
            relevant.push_back(n);
    }
    EXPECT_EQ(relevant, (Notes{L"itemexpand opening", L"itemcollapse opening"}));
}

TEST_F(ListWindow, DraggingASeparatorWidensItsColumnWithoutAHeaderClick)
{
    auto* h1 = ui->Find<CListHeaderItemUI>(L"h1", L"ListHeaderItem");
    ASSERT_NE(h1, nullptr);
    const int y = 25;
    ui->Press(10 + 108, y);  // inside h1's 4-pixel strip at 106..110
    ui->MoveTo(10 + 128, y, MK_LBUTTON);
    ui->Release(10 + 128, y);
    ui->Repaint();
    EXPECT_EQ(h1->GetFixedWidth(), 80);
    EXPECT_EQ(Columns(), (std::vector<LONG>{0, 50, 50, 130, 130, 200, 200, 280}));
    Notes notes = ui->TakeNotifications();
    for (const std::wstring& n : notes)
        EXPECT_NE(n.rfind(L"headerclick", 0), 0u) << "a drag is no click";

    ui->Click(10 + 20, y);
    notes = ui->TakeNotifications();
    EXPECT_NE(std::find(notes.begin(), notes.end(), L"headerclick h0"), notes.end());
    h1->SetFixedWidth(60);
}

// ---- The list's own layout ------------------------------------------------------------

// The list stacks its header and its body as a vertical layout: the
// header's padding and the body's fixed height, padding, minimum and maximum
// all count. Rectangles are relative to the list's top-left corner.
struct ListLayoutCase
{
    const wchar_t* name;
    const wchar_t* listAttributes;
    const wchar_t* headerAttributes;
    const wchar_t* bodyAttributes;
    RECT header;  // unused when the header is hidden
    RECT body;
};

TEST(ListLayout, HeaderAndBodyTakeTheirPaddingsAndHeights)
{
    const ListLayoutCase cases[] = {
        {L"padded header", L"", L"height=\"30\" padding=\"4,6,4,2\"", L"", {4, 6, 256, 36}, {0, 38, 260, 240}},
        {L"fixed-height body",
         L"",
         L"height=\"30\"",
         L"height=\"100\" padding=\"0,5,0,0\"",
         {0, 0, 260, 30},
         {0, 35, 260, 135}},
        {L"body with a maximum", L"", L"height=\"30\"", L"maxheight=\"150\"", {0, 0, 260, 30}, {0, 30, 260, 180}},
        {L"body with a minimum", L"", L"height=\"220\"", L"minheight=\"50\"", {0, 0, 260, 220}, {0, 220, 260, 270}},
        {L"hidden header", L"header=\"hidden\"", L"height=\"30\"", L"padding=\"0,5,0,0\"", {}, {0, 5, 260, 240}},
    };
    for (const ListLayoutCase& c : cases) {
        const std::wstring skin = std::wstring(L"<List name=\"list\" float=\"true\" pos=\"10,10,270,250\" ") +
                                  c.listAttributes + L"><ListHeader name=\"header\" " + c.headerAttributes +
                                  L"><ListHeaderItem width=\"50\"/></ListHeader></List>";
        ClickableTestWindow ui(kScreenPlace, skin);
        auto* list = ui.Find<CListUI>(L"list", L"List");
        ASSERT_NE(list, nullptr) << c.name;
        list->GetBody()->SetAttributeList(c.bodyAttributes);
        ui.Repaint();
        auto edges = [](RECT r) { return std::vector<LONG>{r.left, r.top, r.right, r.bottom}; };
        auto relative = [&edges](RECT r) {
            ::OffsetRect(&r, -10, -10);
            return edges(r);
        };
        EXPECT_EQ(relative(list->GetBody()->GetPos()), edges(c.body)) << c.name;
        if (list->GetHeader()->IsVisible())
            EXPECT_EQ(relative(list->GetHeader()->GetPos()), edges(c.header)) << c.name;
        EXPECT_EQ(list->GetItemStyle()->columnCount, 1) << c.name;
        EXPECT_EQ(list->GetItemStyle()->columns[0].right - list->GetItemStyle()->columns[0].left, 50) << c.name;
    }
}

}  // namespace
