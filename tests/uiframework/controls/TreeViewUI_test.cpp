// The tree view in a real layered window: the flat rows of a built tree,
// folder buttons and double clicks that hide and show subtrees, check boxes
// that tick a subtree, and inserting and removing nodes.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ClickableTestWindow.h"
#include "controls/ListElementUI.h"
#include "controls/ListHeaderUI.h"
#include "controls/TreeViewUI.h"

using namespace CalUI;

namespace {

using Notes = std::vector<std::wstring>;

constexpr POINT kScreenPlace = {640, 80};
constexpr POINT kParking = {395, 295};

const std::wstring kTree = L"<TreeNode name=\"A\" text=\"A\"><TreeNode name=\"B\" text=\"B\">"
                           L"<TreeNode name=\"E\" text=\"E\"/></TreeNode><TreeNode name=\"D\" text=\"D\"/></TreeNode>";

const std::wstring kSkin = L"<TreeView name=\"tree\" float=\"true\" pos=\"10,10,270,140\">" + kTree +
                           L"</TreeView><Tree name=\"ticks\" float=\"true\" pos=\"10,150,270,290\""
                           L" visiblecheckbtn=\"true\">" +
                           kTree + L"</Tree>";

class TreeView : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ui = new ClickableTestWindow(kScreenPlace, kSkin);
        tree = ui->Find<CTreeViewUI>(L"tree", L"TreeView");
        ticks = ui->Find<CTreeViewUI>(L"ticks", L"TreeView");
        ASSERT_NE(tree, nullptr);
        ASSERT_NE(ticks, nullptr);
    }
    static void TearDownTestSuite() { delete ui; }

    void SetUp() override
    {
        ui->MoveTo(kParking.x, kParking.y);
        ui->Repaint();
        ui->TakeNotifications();
    }

    static std::vector<std::wstring> Rows(CTreeViewUI* view, bool visibleOnly = false)
    {
        std::vector<std::wstring> rows;
        for (int i = 0; i < view->GetCount(); ++i) {
            auto* node = static_cast<CTreeNodeUI*>(view->GetItemAt(i)->GetInterface(L"TreeNode"));
            if (!visibleOnly || node->IsVisible())
                rows.push_back(std::wstring(node->GetItemButton()->GetText()));
        }
        return rows;
    }

    static CTreeNodeUI* Node(CTreeViewUI* view, int index)
    {
        return static_cast<CTreeNodeUI*>(view->GetItemAt(index)->GetInterface(L"TreeNode"));
    }

    static void ClickControl(CControlUI* control)
    {
        const RECT r = control->GetPos();
        ui->Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ui->Repaint();
    }

    static ClickableTestWindow* ui;
    static CTreeViewUI* tree;
    static CTreeViewUI* ticks;
};

ClickableTestWindow* TreeView::ui = nullptr;
CTreeViewUI* TreeView::tree = nullptr;
CTreeViewUI* TreeView::ticks = nullptr;

TEST_F(TreeView, TheBuiltTreeIsFlatDepthFirstAndIndentedByDepth)
{
    for (CTreeViewUI* view : {tree, ticks}) {
        EXPECT_EQ(Rows(view), (std::vector<std::wstring>{L"A", L"B", L"E", L"D"}));
        EXPECT_FALSE(Node(view, 0)->GetDotLine()->IsVisible());
        std::vector<int> widths;
        for (int i = 1; i < 4; ++i)
            widths.push_back(Node(view, i)->GetDotLine()->GetFixedWidth());
        EXPECT_EQ(widths, (std::vector<int>{18, 34, 18}));
        EXPECT_EQ(Node(view, 2)->GetTreeIndex(), 2);
        EXPECT_EQ(Node(view, 0)->GetChildNode(2), nullptr);
    }
    EXPECT_FALSE(tree->GetHeader()->IsVisible());
}

TEST_F(TreeView, FolderButtonsHideAndShowSubtreesAndAHiddenSelectedRowIsUnselected)
{
    CTreeNodeUI* a = Node(tree, 0);
    CTreeNodeUI* b = Node(tree, 1);
    ASSERT_TRUE(tree->SelectItem(2, false, false));

    ClickControl(b->GetFolderButton());
    EXPECT_EQ(Rows(tree, true), (std::vector<std::wstring>{L"A", L"B", L"D"}));
    EXPECT_EQ(tree->GetSelectedIndex(), -1) << "E was selected and went out of sight";
    EXPECT_FALSE(Node(tree, 2)->IsSelected());

    ClickControl(a->GetFolderButton());
    EXPECT_EQ(Rows(tree, true), (std::vector<std::wstring>{L"A"}));
    ClickControl(a->GetFolderButton());
    EXPECT_EQ(Rows(tree, true), (std::vector<std::wstring>{L"A", L"B", L"D"})) << "E stays under the closed B";
    ClickControl(b->GetFolderButton());
    EXPECT_EQ(Rows(tree, true), (std::vector<std::wstring>{L"A", L"B", L"E", L"D"}));
}

TEST_F(TreeView, TickingANodeTicksItsSubtree)
{
    CTreeNodeUI* a = Node(ticks, 0);
    ASSERT_TRUE(a->GetCheckBox()->IsVisible());
    ClickControl(a->GetCheckBox());
    std::vector<bool> ticked;
    for (int i = 0; i < 4; ++i)
        ticked.push_back(Node(ticks, i)->GetCheckBox()->GetCheck());
    EXPECT_EQ(ticked, (std::vector<bool>{true, true, true, true}));
    ClickControl(a->GetCheckBox());
    EXPECT_FALSE(Node(ticks, 2)->GetCheckBox()->GetCheck());
}

TEST_F(TreeView, ADoubleClickActivatesThenReportsAndTogglesTheNode)
{
    CTreeNodeUI* a = Node(tree, 0);
    const RECT text = a->GetItemButton()->GetPos();
    const int x = (text.left + text.right) / 2;
    const int y = (text.top + text.bottom) / 2;
    ui->Click(x, y);
    ui->TakeNotifications();
    ui->Post(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    ui->Post(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    ui->Repaint();
    Notes order;
    for (const std::wstring& n : ui->TakeNotifications()) {
        if (n == L"itemactivate A" || n == L"itemdbclick A")
            order.push_back(n);
    }
    EXPECT_EQ(order, (Notes{L"itemactivate A", L"itemdbclick A"}));
    EXPECT_TRUE(a->GetFolderButton()->IsSelected());
    EXPECT_EQ(Rows(tree, true), (std::vector<std::wstring>{L"A"}));
    ClickControl(a->GetFolderButton());
    EXPECT_EQ(Rows(tree, true), (std::vector<std::wstring>{L"A", L"B", L"E", L"D"}));
}

TEST_F(TreeView, NodesInsertedAndRemovedKeepTheRowsDepthFirst)
{
    CTreeViewUI* view = ticks;
    CTreeNodeUI* d = Node(view, 3);
    auto* f = new CTreeNodeUI;
    f->SetAttribute(L"text", L"F");
    ASSERT_TRUE(d->AddChildNode(f)) << "D's last descendant is the last row";
    EXPECT_EQ(Rows(view), (std::vector<std::wstring>{L"A", L"B", L"E", L"D", L"F"}));

    auto* g = new CTreeNodeUI;
    g->SetAttribute(L"text", L"G");
    EXPECT_EQ(view->InsertNodeAt(g, view->GetCount() + 1), -1) << "past the row count";
    EXPECT_EQ(view->InsertNodeAt(g, 1), 2);
    EXPECT_EQ(Rows(view), (std::vector<std::wstring>{L"A", L"G", L"B", L"E", L"D", L"F"}));
    CListLabelElementUI refused;  // the test's own: the view does not take it
    EXPECT_FALSE(view->Add(&refused)) << "only nodes";

    CTreeNodeUI* a = Node(view, 0);
    CTreeNodeUI* b = Node(view, 2);
    ASSERT_TRUE(view->Remove(b));
    EXPECT_EQ(Rows(view), (std::vector<std::wstring>{L"A", L"G", L"D", L"F"})) << "E went with B";
    EXPECT_EQ(a->GetChildCount(), 1);
    ASSERT_TRUE(view->Remove(g));
    ASSERT_TRUE(view->Remove(d));
    EXPECT_EQ(Rows(view), (std::vector<std::wstring>{L"A"}));
    ui->window.Pump();

    // Back as it was for the other cases.
    auto* nb = new CTreeNodeUI;
    nb->SetAttribute(L"text", L"B");
    auto* ne = new CTreeNodeUI;
    ne->SetAttribute(L"text", L"E");
    auto* nd = new CTreeNodeUI;
    nd->SetAttribute(L"text", L"D");
    ASSERT_TRUE(a->AddChildNode(nb));
    ASSERT_TRUE(nb->AddChildNode(ne));
    ASSERT_TRUE(a->AddChildNode(nd));
    EXPECT_EQ(Rows(view), (std::vector<std::wstring>{L"A", L"B", L"E", L"D"}));
}

}  // namespace
