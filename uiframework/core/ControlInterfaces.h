#pragma once
// The names controls answer CControlUI::GetInterface with, and the small
// faces through which the framework's core reaches concrete controls
// without knowing their classes.

#include <windows.h>

namespace CalUI {

constexpr wchar_t kContainerInterface[] = L"IContainer";  // IContainerUI*: holds children
constexpr wchar_t kListItemInterface[] = L"IListItem";    // non-null for list elements
constexpr wchar_t kWantTabInterface[] = L"WantTab";       // IWantTabUI*: the rich edit
// The skin builder's view of the tree: a node and a view answer their names
// with themselves, and take nodes through their "IContainer" face; a node's
// row, which holds the controls written inside the node, is its IContainerUI*.
constexpr wchar_t kTreeNodeInterface[] = L"TreeNode";
constexpr wchar_t kTreeViewInterface[] = L"TreeView";
constexpr wchar_t kTreeNodeRowInterface[] = L"ITreeNodeRow";

// A control that may keep the Tab key for itself instead of letting the
// window move the focus to the next tab stop.
class IWantTabUI
{
public:
    virtual bool IsWantTab() const = 0;

protected:
    ~IWantTabUI() = default;
};

}  // namespace CalUI
