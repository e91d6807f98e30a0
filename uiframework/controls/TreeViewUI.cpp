#include "controls/TreeViewUI.h"

#include <cwchar>

#include "controls/ListHeaderUI.h"
#include "controls/ListRowState.h"
#include "core/AttributeValues.h"
#include "core/DelegateList.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

constexpr int kNodeHeight = 18;
constexpr int kNodeWidth = 250;
constexpr int kIndentStep = 16;
constexpr int kRootDotLineWidth = 2;

bool IsTreeNodeClass(CControlUI* control)
{
    return control != nullptr && lstrcmpiW(control->GetClass(), L"TreeNode") == 0;
}

CTreeNodeUI* AsTreeNode(CControlUI* control)
{
    return control != nullptr ? static_cast<CTreeNodeUI*>(control->GetInterface(L"TreeNode")) : nullptr;
}

using ViewDelegate = CDelegate<CTreeViewUI, CTreeViewUI>;

}  // namespace

// ---- Node -----------------------------------------------------------------------------------

CTreeNodeUI::CTreeNodeUI(CTreeNodeUI* parent)
    : m_rowLayout(new CHorizontalLayoutUI),
      m_folderButton(new CCheckBoxUI),
      m_dotLine(new CLabelUI),
      m_checkBox(new CCheckBoxUI),
      m_itemButton(new COptionUI)
{
    SetFixedHeight(kNodeHeight);
    SetFixedWidth(kNodeWidth);
    m_folderButton->SetFixedWidth(kNodeHeight);
    m_checkBox->SetFixedWidth(kNodeHeight);
    m_dotLine->SetFixedWidth(kRootDotLineWidth);
    m_itemButton->SetAttribute(L"align", L"left");
    m_dotLine->SetVisible(false);
    m_checkBox->SetVisible(false);
    // Clicks on the text reach the node itself.
    m_itemButton->SetMouseEnabled(false);
    if (IsTreeNodeClass(parent)) {
        m_dotLine->SetVisible(parent->IsVisible());
        m_dotLine->SetFixedWidth(parent->m_dotLine->GetFixedWidth() + kIndentStep);
        m_parentNode = parent;
    }
    m_rowLayout->Add(m_dotLine);
    m_rowLayout->Add(m_folderButton);
    m_rowLayout->Add(m_checkBox);
    m_rowLayout->Add(m_itemButton);
    CContainerUI::AddAt(m_rowLayout, 0);
}

// Children that no owner holds as rows (recorded while outside a view, or
// kept together when their subtree left one) go with this node.
CTreeNodeUI::~CTreeNodeUI()
{
    if (m_parentNode != nullptr)
        m_parentNode->ForgetChildNode(this);
    while (!m_childNodes.IsEmpty()) {
        auto* child = static_cast<CTreeNodeUI*>(m_childNodes[0]);
        m_childNodes.RemoveAt(0);
        child->m_parentNode = nullptr;
        if (child->GetOwner() == nullptr) {
            child->SetManager(m_manager, nullptr, false);
            child->Delete();
        }
    }
}

LPCWSTR CTreeNodeUI::GetClass() const { return L"TreeNode"; }

void* CTreeNodeUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, kTreeNodeInterface) == 0)
        return this;
    if (std::wcscmp(name, kTreeNodeRowInterface) == 0)
        return static_cast<IContainerUI*>(m_rowLayout);
    return CListContainerElementUI::GetInterface(name);
}

void CTreeNodeUI::OnEvent(UIEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (m_row.owner != nullptr)
            m_row.owner->OnEvent(event);
        else
            CContainerUI::OnEvent(event);
        return;
    }
    CListContainerElementUI::OnEvent(event);
    if (!IsEnabled())
        return;
    switch (event.type) {
    case UIEventType::DoubleClick:
        if (m_manager != nullptr)
            m_manager->SendNotify(this, L"itemdbclick");
        InvalidateListItem(*this);
        break;
    case UIEventType::MouseEnter:
        if (IsSelected() && m_selectedItemHotTextColor != 0)
            m_itemButton->SetTextColor(m_selectedItemHotTextColor);
        else
            m_itemButton->SetTextColor(m_itemHotTextColor);
        break;
    case UIEventType::MouseLeave:
        if (!IsSelected())
            m_itemButton->SetTextColor(m_itemTextColor);
        else if (m_selectedItemTextColor != 0)
            m_itemButton->SetTextColor(m_selectedItemTextColor);
        break;
    default:
        break;
    }
}

void CTreeNodeUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    const auto is = [name](LPCWSTR candidate) { return std::wcscmp(name, candidate) == 0; };
    if (is(L"text"))
        m_itemButton->SetText(value);
    else if (is(L"horizattr"))
        m_rowLayout->SetAttributeList(value);
    else if (is(L"dotlineattr"))
        m_dotLine->SetAttributeList(value);
    else if (is(L"folderattr"))
        m_folderButton->SetAttributeList(value);
    else if (is(L"checkboxattr"))
        m_checkBox->SetAttributeList(value);
    else if (is(L"itemattr"))
        m_itemButton->SetAttributeList(value);
    else if (is(L"itemtextcolor"))
        SetItemTextColor(ParseColorValue(value));
    else if (is(L"itemhottextcolor"))
        SetItemHotTextColor(ParseColorValue(value));
    else if (is(L"selitemtextcolor"))
        SetSelectedItemTextColor(ParseColorValue(value));
    else if (is(L"selitemhottextcolor"))
        SetSelectedItemHotTextColor(ParseColorValue(value));
    else
        CListContainerElementUI::SetAttribute(name, value);
}

bool CTreeNodeUI::Add(CControlUI* control)
{
    if (IsTreeNodeClass(control))
        return AddChildNode(control);
    return CContainerUI::AddAt(control, CContainerUI::GetCount());
}

bool CTreeNodeUI::AddAt(CControlUI* control, int index)
{
    CTreeNodeUI* child = AsTreeNode(control);
    if (child == nullptr)
        return false;
    CTreeNodeUI* before = GetChildNode(index);
    const bool recorded = before != nullptr ? m_childNodes.InsertAt(index, child) : m_childNodes.Add(child);
    if (!recorded)
        return false;
    // The row the new child's row goes before: the old child's, else the
    // row right under this node.
    CControlUI* nextRow = before;
    if (nextRow == nullptr && m_treeView != nullptr) {
        const int own = GetTreeIndex();
        nextRow = own >= 0 ? m_treeView->GetItemAt(own + 1) : nullptr;
    }
    SetupChildNode(child);
    if (m_treeView == nullptr)
        return true;
    if (nextRow != nullptr)
        return m_treeView->InsertNodeBefore(child, nextRow);
    return m_treeView->Add(child);
}

bool CTreeNodeUI::Select(bool select, bool notify)
{
    const bool result = CListContainerElementUI::Select(select, notify);
    m_itemButton->SetTextColor(IsSelected() ? m_selectedItemTextColor : m_itemTextColor);
    return result;
}

void CTreeNodeUI::SetItemTextColor(DWORD color)
{
    m_itemTextColor = color;
    m_itemButton->SetTextColor(color);
}

void CTreeNodeUI::SetItemHotTextColor(DWORD color)
{
    m_itemHotTextColor = color;
    InvalidateListItem(*this);
}

void CTreeNodeUI::SetSelectedItemTextColor(DWORD color)
{
    m_selectedItemTextColor = color;
    InvalidateListItem(*this);
}

void CTreeNodeUI::SetSelectedItemHotTextColor(DWORD color)
{
    m_selectedItemHotTextColor = color;
    InvalidateListItem(*this);
}

void CTreeNodeUI::SetFolderButtonVisible(bool visible) { m_folderButton->SetVisible(visible); }
void CTreeNodeUI::SetCheckBoxVisible(bool visible) { m_checkBox->SetVisible(visible); }

CTreeNodeUI* CTreeNodeUI::GetChildNode(int index) const
{
    if (index < 0 || index >= m_childNodes.GetCount())
        return nullptr;
    return static_cast<CTreeNodeUI*>(m_childNodes[index]);
}

int CTreeNodeUI::GetTreeIndex() const
{
    if (m_treeView == nullptr)
        return -1;
    return m_treeView->GetItemIndex(const_cast<CTreeNodeUI*>(this));
}

CTreeNodeUI* CTreeNodeUI::GetLastNode()
{
    if (!HasChildren())
        return this;
    return GetChildNode(GetChildCount() - 1)->GetLastNode();
}

void CTreeNodeUI::SetupChildNode(CTreeNodeUI* child)
{
    child->m_dotLine->SetVisible(true);
    child->m_dotLine->SetFixedWidth(m_dotLine->GetFixedWidth() + kIndentStep);
    child->m_parentNode = this;
    child->m_itemButton->SetGroup(m_itemButton->GetGroup());
    child->m_treeView = m_treeView;
}

bool CTreeNodeUI::AddChildNode(CControlUI* control)
{
    if (!IsTreeNodeClass(control))
        return false;
    auto* child = static_cast<CTreeNodeUI*>(control);
    SetupChildNode(child);
    if (m_treeView != nullptr) {
        CTreeNodeUI* anchor = HasChildren() ? GetChildNode(GetChildCount() - 1)->GetLastNode() : this;
        if (m_treeView->InsertNodeAt(child, anchor->GetTreeIndex() + 1) < 0)
            return false;
    }
    return m_childNodes.Add(child);
}

void CTreeNodeUI::ForgetChildNode(CTreeNodeUI* child)
{
    const int index = m_childNodes.Find(child);
    if (index >= 0)
        m_childNodes.RemoveAt(index);
}

// ---- View -----------------------------------------------------------------------------------

CTreeViewUI::CTreeViewUI()
{
    if (CListHeaderUI* header = GetHeader())
        header->SetVisible(false);
}

LPCWSTR CTreeViewUI::GetClass() const { return L"TreeView"; }

void* CTreeViewUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, kTreeViewInterface) == 0)
        return this;
    return CListUI::GetInterface(name);
}

void CTreeViewUI::Notify(NotifyMsg&) {}

CTreeNodeUI* CTreeViewUI::NodeAtRow(int index) const { return AsTreeNode(GetItemAt(index)); }

void CTreeViewUI::PrepareNode(CTreeNodeUI* node)
{
    node->notifyDelegates.Add(ViewDelegate(this, &CTreeViewUI::OnItemDoubleClick));
    node->GetFolderButton()->notifyDelegates.Add(ViewDelegate(this, &CTreeViewUI::OnFolderButtonSelectChanged));
    node->GetCheckBox()->notifyDelegates.Add(ViewDelegate(this, &CTreeViewUI::OnCheckBoxSelectChanged));
    node->SetFolderButtonVisible(m_folderButtonsVisible);
    node->SetCheckBoxVisible(m_checkBoxesVisible);
    if (m_itemMinWidth != 0)
        node->SetMinWidth(m_itemMinWidth);
}

bool CTreeViewUI::Add(CControlUI* control)
{
    CTreeNodeUI* node = AsTreeNode(control);
    if (node == nullptr)
        return false;
    PrepareNode(node);
    if (!CListUI::Add(node))
        return false;
    node->SetTreeView(this);
    for (int i = 0; i < node->GetChildCount(); ++i)
        Add(node->GetChildNode(i));
    return true;
}

int CTreeViewUI::InsertNodeAt(CTreeNodeUI* node, int index)
{
    if (AsTreeNode(node) == nullptr || index < 0 || index > GetCount())
        return -1;
    PrepareNode(node);
    if (!CListUI::AddAt(node, index))
        return -1;
    node->SetTreeView(this);
    int next = index + 1;
    for (int i = 0; i < node->GetChildCount() && next >= 0; ++i)
        next = InsertNodeAt(node->GetChildNode(i), next);
    return next;
}

bool CTreeViewUI::AddAt(CControlUI* control, int index)
{
    CTreeNodeUI* node = AsTreeNode(control);
    return node != nullptr && InsertNodeAt(node, index) >= 0;
}

bool CTreeViewUI::InsertNodeBefore(CTreeNodeUI* node, CControlUI* row)
{
    if (node == nullptr || row == nullptr)
        return false;
    const int index = GetItemIndex(row);
    return index >= 0 && InsertNodeAt(node, index) >= 0;
}

namespace {

// Takes the rows of the node's descendants out of the view, deepest last
// first. Kept rows keep their links; destroyed ones are unlinked now, as
// they are destroyed only after the current event.
void RemoveDescendantRows(CListUI& list, CTreeNodeUI* node, bool keep)
{
    for (int i = node->GetChildCount() - 1; i >= 0; --i) {
        CTreeNodeUI* child = node->GetChildNode(i);
        RemoveDescendantRows(list, child, keep);
        child->SetTreeView(nullptr);
        list.CListUI::Remove(child, keep);
        if (!keep) {
            node->ForgetChildNode(child);
            child->SetParentNode(nullptr);
        }
    }
}

}  // namespace

bool CTreeViewUI::Remove(CControlUI* control, bool keep)
{
    if (control == nullptr)
        return false;
    CTreeNodeUI* node = AsTreeNode(control);
    if (node == nullptr)
        return CListUI::Remove(control, keep);
    if (GetItemIndex(node) < 0)
        return false;
    RemoveDescendantRows(*this, node, keep);
    if (CTreeNodeUI* parent = node->GetParentNode())
        parent->ForgetChildNode(node);
    node->SetParentNode(nullptr);
    node->SetTreeView(nullptr);
    return CListUI::Remove(node, keep);
}

bool CTreeViewUI::RemoveAt(int index, bool keep)
{
    CControlUI* row = GetItemAt(index);
    return row != nullptr && Remove(row, keep);
}

void CTreeViewUI::RemoveAll()
{
    // Every node goes: none may reach another after this.
    for (int i = 0; i < GetCount(); ++i) {
        if (CTreeNodeUI* node = NodeAtRow(i)) {
            while (node->HasChildren())
                node->ForgetChildNode(node->GetChildNode(0));
            node->SetParentNode(nullptr);
            node->SetTreeView(nullptr);
        }
    }
    CListUI::RemoveAll();
}

CTreeNodeUI* CTreeViewUI::NodeOfButton(CControlUI* button) const
{
    CControlUI* row = button != nullptr ? button->GetParent() : nullptr;
    CTreeNodeUI* node = AsTreeNode(row != nullptr ? row->GetParent() : nullptr);
    return node != nullptr && node->GetTreeView() == this ? node : nullptr;
}

bool CTreeViewUI::OnCheckBoxSelectChanged(void* param)
{
    const auto* msg = static_cast<NotifyMsg*>(param);
    if (msg->type != L"selectchanged")
        return true;
    if (CTreeNodeUI* node = NodeOfButton(msg->sender))
        SetChildrenChecked(node->GetCheckBox()->GetCheck(), node);
    return true;
}

bool CTreeViewUI::OnFolderButtonSelectChanged(void* param)
{
    const auto* msg = static_cast<NotifyMsg*>(param);
    if (msg->type != L"selectchanged")
        return true;
    if (CTreeNodeUI* node = NodeOfButton(msg->sender))
        SetChildrenExpanded(!node->GetFolderButton()->GetCheck(), node);
    return true;
}

bool CTreeViewUI::OnItemDoubleClick(void* param)
{
    const auto* msg = static_cast<NotifyMsg*>(param);
    if (msg->type != L"itemdbclick")
        return false;
    CTreeNodeUI* node = AsTreeNode(msg->sender);
    if (node == nullptr || node->GetTreeView() != this)
        return true;
    CCheckBoxUI* folder = node->GetFolderButton();
    folder->SetSelected(!folder->IsSelected(), true);
    SetChildrenExpanded(!folder->GetCheck(), node);
    return true;
}

bool CTreeViewUI::SetChildrenChecked(bool tick, CTreeNodeUI* node)
{
    auto tickBelow = [this, tick](CTreeNodeUI* parent) {
        for (int i = 0; i < parent->GetChildCount(); ++i) {
            CTreeNodeUI* child = parent->GetChildNode(i);
            child->GetCheckBox()->SetSelected(tick, true);
            if (child->HasChildren())
                SetChildrenChecked(tick, child);
        }
    };
    if (node != nullptr) {
        tickBelow(node);
        return true;
    }
    for (int i = 0; i < GetCount(); ++i) {
        if (CTreeNodeUI* row = NodeAtRow(i))
            tickBelow(row);
    }
    return true;
}

bool CTreeViewUI::SetChildrenExpanded(bool expand, CTreeNodeUI* node)
{
    auto showBelow = [this, expand](CTreeNodeUI* parent) {
        for (int i = 0; i < parent->GetChildCount(); ++i) {
            CTreeNodeUI* child = parent->GetChildNode(i);
            child->SetVisible(expand);
            if (child->HasChildren() && !child->GetFolderButton()->IsSelected())
                SetChildrenExpanded(expand, child);
        }
    };
    if (node != nullptr) {
        showBelow(node);
        return true;
    }
    for (int i = 0; i < GetCount(); ++i) {
        if (CTreeNodeUI* row = NodeAtRow(i))
            showBelow(row);
    }
    return true;
}

void CTreeViewUI::ForEachNode(void (*apply)(CTreeNodeUI* node, DWORD value), DWORD value)
{
    for (int i = 0; i < GetCount(); ++i) {
        if (CTreeNodeUI* node = NodeAtRow(i))
            apply(node, value);
    }
}

void CTreeViewUI::SetFolderButtonVisible(bool visible)
{
    m_folderButtonsVisible = visible;
    ForEachNode([](CTreeNodeUI* node, DWORD on) { node->SetFolderButtonVisible(on != 0); }, visible);
}

bool CTreeViewUI::IsFolderButtonVisible() const { return m_folderButtonsVisible; }

void CTreeViewUI::SetCheckButtonVisible(bool visible)
{
    m_checkBoxesVisible = visible;
    ForEachNode([](CTreeNodeUI* node, DWORD on) { node->SetCheckBoxVisible(on != 0); }, visible);
}

bool CTreeViewUI::IsCheckButtonVisible() const { return m_checkBoxesVisible; }

void CTreeViewUI::SetItemMinWidth(int width)
{
    m_itemMinWidth = width;
    ForEachNode([](CTreeNodeUI* node, DWORD w) { node->SetMinWidth(static_cast<int>(w)); }, static_cast<DWORD>(width));
    Invalidate();
}

int CTreeViewUI::GetItemMinWidth() const { return m_itemMinWidth; }

void CTreeViewUI::SetItemTextColor(DWORD color)
{
    ForEachNode([](CTreeNodeUI* node, DWORD c) { node->SetItemTextColor(c); }, color);
}

void CTreeViewUI::SetItemHotTextColor(DWORD color)
{
    ForEachNode([](CTreeNodeUI* node, DWORD c) { node->SetItemHotTextColor(c); }, color);
}

void CTreeViewUI::SetSelectedItemTextColor(DWORD color)
{
    ForEachNode([](CTreeNodeUI* node, DWORD c) { node->SetSelectedItemTextColor(c); }, color);
}

void CTreeViewUI::SetSelectedItemHotTextColor(DWORD color)
{
    ForEachNode([](CTreeNodeUI* node, DWORD c) { node->SetSelectedItemHotTextColor(c); }, color);
}

void CTreeViewUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    const auto is = [name](LPCWSTR candidate) { return std::wcscmp(name, candidate) == 0; };
    if (is(L"visiblefolderbtn"))
        SetFolderButtonVisible(IsTrueValue(value));
    else if (is(L"visiblecheckbtn"))
        SetCheckButtonVisible(IsTrueValue(value));
    else if (is(L"itemminwidth"))
        SetItemMinWidth(_wtoi(value));
    else if (is(L"itemtextcolor"))
        SetItemTextColor(ParseColorValue(value));
    else if (is(L"itemhottextcolor"))
        SetItemHotTextColor(ParseColorValue(value));
    else if (is(L"selitemtextcolor"))
        SetSelectedItemTextColor(ParseColorValue(value));
    else if (is(L"selitemhottextcolor"))
        SetSelectedItemHotTextColor(ParseColorValue(value));
    else
        CListUI::SetAttribute(name, value);
}

}  // namespace CalUI
