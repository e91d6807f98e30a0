#pragma once
// A container whose content comes from a skin file of its own ("ChildLayout",
// "xmlfile"): when the window initialises it, it builds that file with the
// skin builder and adds the tree as its child, registered with the window
// like any other control. A file that cannot be built leaves it empty.
// Files that build child layouts of themselves, directly or through other
// files, stop: at most kMaxNesting child layouts build one inside the other,
// and one further down stays empty.

#include "core/ContainerUI.h"

namespace CalUI {

class CChildLayoutUI : public CContainerUI
{
public:
    static constexpr int kMaxNesting = 8;

    LPCWSTR GetClass() const override;
    // "ChildLayout", then the container's names ("IContainer", "Container").
    void* GetInterface(LPCWSTR name) override;
    // Builds the file; neither OnInit nor the init delegates run.
    void Init() override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;

    const CUIString& GetChildLayoutXML() const;
    void SetChildLayoutXML(LPCWSTR name);  // built at the next Init only

private:
    CUIString m_xmlFile;
};

}  // namespace CalUI
