// The child layout's build of its skin file.

#include "builder/ChildLayoutUI.h"

#include <cwchar>

#include "builder/SkinBuilder.h"

namespace CalUI {

namespace {

// Child layouts being built on this thread, each inside the one before: a
// child's Init runs while its parent's Add of the built tree is under way.
thread_local int t_nestedBuilds = 0;

class NestedBuild
{
public:
    NestedBuild() { ++t_nestedBuilds; }
    ~NestedBuild() { --t_nestedBuilds; }
    NestedBuild(const NestedBuild&) = delete;
    NestedBuild& operator=(const NestedBuild&) = delete;
};

}  // namespace

LPCWSTR CChildLayoutUI::GetClass() const { return L"ChildLayout"; }

void* CChildLayoutUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, L"ChildLayout") == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

const CUIString& CChildLayoutUI::GetChildLayoutXML() const { return m_xmlFile; }
void CChildLayoutUI::SetChildLayoutXML(LPCWSTR name) { m_xmlFile = name; }

void CChildLayoutUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    if (std::wcscmp(name, L"xmlfile") == 0)
        SetChildLayoutXML(value);
    else
        CContainerUI::SetAttribute(name, value);
}

void CChildLayoutUI::Init()
{
    if (m_xmlFile.IsEmpty() || t_nestedBuilds >= kMaxNesting)
        return;
    NestedBuild nested;
    CSkinBuilder builder;
    CControlUI* root = builder.Create(m_xmlFile.GetData(), nullptr, nullptr, m_manager, nullptr);
    if (root != nullptr)
        Add(root);
    else
        RemoveAll();
}

}  // namespace CalUI
