#pragma once
// Turns one skin XML document into a tree of controls for one window: the
// document's fonts, default attribute lists and language strings go to the
// paint manager, the root's attributes become window attributes, and every
// other element becomes a control linked to its parent.

#include <windows.h>

#include "core/ResourceRef.h"
#include "core/SkinMarkup.h"
#include "core/UIInterfaces.h"

namespace CalUI {

class CControlUI;
class CWindowManagerUI;

class CSkinBuilder
{
public:
    CSkinBuilder();
    ~CSkinBuilder();
    CSkinBuilder(const CSkinBuilder&) = delete;
    CSkinBuilder& operator=(const CSkinBuilder&) = delete;

    // `xml`: a resource id (of `resourceType` in the paint manager's resource
    // instance), a document text beginning with '<', or a skin file name.
    // The first top-level control, or null when the document cannot be
    // loaded or yields no control.
    CControlUI* Create(ResourceRef xml, LPCWSTR resourceType = nullptr, IDialogBuilderCallback* callback = nullptr,
                       CWindowManagerUI* manager = nullptr, CControlUI* parent = nullptr);
    // Builds again from the document already loaded.
    CControlUI* Create(IDialogBuilderCallback* callback, CWindowManagerUI* manager, CControlUI* parent);

    // Builds the element's children into `parent`; the first control made
    // among them, or null.
    CControlUI* BuildChildren(CSkinMarkupNode element, CControlUI* parent, CWindowManagerUI* manager);

private:
    bool LoadResource(WORD id, LPCWSTR resourceType);

    // Window-level elements (SkinBuilderResources.cpp).
    static bool IsResourceElement(LPCWSTR elementName);
    static void RegisterResources(CSkinMarkupNode root, CWindowManagerUI* manager);
    static void RegisterImage(CSkinMarkupNode element, CWindowManagerUI* manager);
    static void RegisterFont(CSkinMarkupNode element, CWindowManagerUI* manager);
    static void RegisterDefaultList(CSkinMarkupNode element, CWindowManagerUI* manager);
    static void RegisterLanguageString(CSkinMarkupNode element);
    static void ApplyWindowAttributes(CSkinMarkupNode root, CWindowManagerUI* manager);

    void BuildInclude(CSkinMarkupNode element, CControlUI* parent, CWindowManagerUI* manager);
    // False when the node has neither a node nor a view to join.
    bool BuildTreeNode(CSkinMarkupNode element, CControlUI* parent, CWindowManagerUI* manager);
    static bool AddToContainer(CControlUI* parent, CControlUI* control);
    CControlUI* CreateControl(LPCWSTR elementName) const;
    static void ApplyAttributes(CControlUI* control, CSkinMarkupNode element, CWindowManagerUI* manager);
    static bool IsCover(CSkinMarkupNode element);
    static void Discard(CControlUI* control, CWindowManagerUI* manager);

    CSkinMarkup m_markup;
    IDialogBuilderCallback* m_callback = nullptr;
    LPCWSTR m_resourceType = nullptr;  // null unless the document came from a resource
};

}  // namespace CalUI
