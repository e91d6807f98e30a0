#pragma once
// The tree view ("TreeView", "Tree"): a list whose rows are tree nodes
// ("TreeNode"), stored flat in depth-first order, a node's depth showing only
// as the indentation of its row. A node row holds, left to right, a dot line
// (the indentation), a folder button (selected = collapsed), a check box and
// an item button with the node's text. The view binds its handlers to every
// node it receives and so carries expanding and ticking down the tree.
//
// Every node is owned as a row by the list it is in; a node only records its
// parent and children. Removing a node from its view removes its
// descendants' rows too, and a node out of its view reaches no view handler.

#include "controls/HorizontalLayoutUI.h"
#include "controls/LabelUI.h"
#include "controls/ListContainerElementUI.h"
#include "controls/ListUI.h"
#include "controls/OptionUI.h"
#include "core/UIInterfaces.h"
#include "core/UIPtrArray.h"

namespace CalUI {

class CTreeViewUI;

class CTreeNodeUI : public CListContainerElementUI
{
public:
    // A parent of another class than "TreeNode" is ignored.
    explicit CTreeNodeUI(CTreeNodeUI* parent = nullptr);
    ~CTreeNodeUI() override;

    LPCWSTR GetClass() const override;          // "TreeNode"
    void* GetInterface(LPCWSTR name) override;  // this for "TreeNode"
    void OnEvent(UIEvent& event) override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;
    // A node becomes a child node; anything else an item of the node.
    bool Add(CControlUI* control) override;
    // Takes nodes only: the child at `index` in the child list.
    bool AddAt(CControlUI* control, int index) override;
    bool Select(bool select = true, bool notify = true) override;

    void SetItemTextColor(DWORD color);
    DWORD GetItemTextColor() const { return m_itemTextColor; }
    void SetItemHotTextColor(DWORD color);
    DWORD GetItemHotTextColor() const { return m_itemHotTextColor; }
    void SetSelectedItemTextColor(DWORD color);
    DWORD GetSelectedItemTextColor() const { return m_selectedItemTextColor; }
    void SetSelectedItemHotTextColor(DWORD color);
    DWORD GetSelectedItemHotTextColor() const { return m_selectedItemHotTextColor; }
    void SetFolderButtonVisible(bool visible);
    void SetCheckBoxVisible(bool visible);

    bool HasChildren() const { return !m_childNodes.IsEmpty(); }
    int GetChildCount() const { return m_childNodes.GetCount(); }
    CTreeNodeUI* GetChildNode(int index) const;  // null out of range
    CUIPtrArray GetChildNodes() const { return m_childNodes; }
    CTreeNodeUI* GetParentNode() const { return m_parentNode; }
    void SetParentNode(CTreeNodeUI* parent) { m_parentNode = parent; }
    CTreeViewUI* GetTreeView() const { return m_treeView; }
    void SetTreeView(CTreeViewUI* view) { m_treeView = view; }
    // -1 outside a view.
    int GetTreeIndex() const;
    CTreeNodeUI* GetLastNode();
    void SetupChildNode(CTreeNodeUI* child);
    bool AddChildNode(CControlUI* control);
    // Drops the child from the child list; the child's row is the view's.
    void ForgetChildNode(CTreeNodeUI* child);

    CHorizontalLayoutUI* GetRow() const { return m_rowLayout; }
    CCheckBoxUI* GetFolderButton() const { return m_folderButton; }
    CLabelUI* GetDotLine() const { return m_dotLine; }
    CCheckBoxUI* GetCheckBox() const { return m_checkBox; }
    COptionUI* GetItemButton() const { return m_itemButton; }

private:
    DWORD m_itemTextColor = 0;
    DWORD m_itemHotTextColor = 0;
    DWORD m_selectedItemTextColor = 0;
    DWORD m_selectedItemHotTextColor = 0;
    CTreeViewUI* m_treeView = nullptr;
    CHorizontalLayoutUI* m_rowLayout;  // the node's own item
    CCheckBoxUI* m_folderButton;
    CLabelUI* m_dotLine;
    CCheckBoxUI* m_checkBox;
    COptionUI* m_itemButton;
    CTreeNodeUI* m_parentNode = nullptr;
    CUIPtrArray m_childNodes;  // CTreeNodeUI*, not owned
};

class CTreeViewUI : public CListUI, public INotifyUI
{
public:
    CTreeViewUI();

    LPCWSTR GetClass() const override;          // "TreeView"
    void* GetInterface(LPCWSTR name) override;  // this for "TreeView"
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;
    void Notify(NotifyMsg& msg) override;  // nothing: the view is no receiver

    // A node with its subtree; anything else is refused.
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    // A node goes with its descendants' rows, destroyed unless kept.
    bool Remove(CControlUI* control, bool keep = false) override;
    bool RemoveAt(int index, bool keep = false) override;
    void RemoveAll() override;

    virtual bool OnCheckBoxSelectChanged(void* param);
    virtual bool OnFolderButtonSelectChanged(void* param);
    virtual bool OnItemDoubleClick(void* param);
    virtual bool SetChildrenChecked(bool tick, CTreeNodeUI* node);
    virtual bool SetChildrenExpanded(bool expand, CTreeNodeUI* node);
    virtual void SetFolderButtonVisible(bool visible);
    virtual bool IsFolderButtonVisible() const;
    virtual void SetCheckButtonVisible(bool visible);
    virtual bool IsCheckButtonVisible() const;
    virtual void SetItemMinWidth(int width);
    virtual int GetItemMinWidth() const;
    virtual void SetItemTextColor(DWORD color);
    virtual void SetItemHotTextColor(DWORD color);
    virtual void SetSelectedItemTextColor(DWORD color);
    virtual void SetSelectedItemHotTextColor(DWORD color);

    // The node's rows from `index` on, depth first; returns the position
    // after the last, -1 on failure. `index` may be the row count (append).
    int InsertNodeAt(CTreeNodeUI* node, int index);
    bool InsertNodeBefore(CTreeNodeUI* node, CControlUI* row);

private:
    void PrepareNode(CTreeNodeUI* node);
    // The node a button notification came from, when it is one of this view's.
    CTreeNodeUI* NodeOfButton(CControlUI* button) const;
    CTreeNodeUI* NodeAtRow(int index) const;
    void ForEachNode(void (*apply)(CTreeNodeUI* node, DWORD value), DWORD value);

    int m_itemMinWidth = 0;
    bool m_folderButtonsVisible = true;
    bool m_checkBoxesVisible = false;
};

}  // namespace CalUI
