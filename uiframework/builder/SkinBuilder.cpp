// Loading a skin document and building its controls.

#include "builder/SkinBuilder.h"

#include <cwchar>

#include "builder/ControlFactory.h"
#include "core/ControlInterfaces.h"
#include "core/ControlUI.h"
#include "core/UIPtrArray.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

// Longer "source" and "count" values of an include are cut here.
constexpr SIZE_T kMaxIncludeValue = 499;
// Longer "cover" values are cut here; they cannot be "true" anyway.
constexpr SIZE_T kMaxCoverValue = 255;

// FindAttr leaves no terminator when the value fills the buffer, so every
// buffer is one character longer than what it is asked to take.
template <SIZE_T Max>
struct AttrBuffer
{
    WCHAR text[Max + 1] = {};
    bool Read(const CSkinMarkupNode& element, LPCWSTR name) { return element.FindAttr(name, text, Max); }
};

}  // namespace

CSkinBuilder::CSkinBuilder() = default;
CSkinBuilder::~CSkinBuilder() = default;

CControlUI* CSkinBuilder::Create(ResourceRef xml, LPCWSTR resourceType, IDialogBuilderCallback* callback,
                                 CWindowManagerUI* manager, CControlUI* parent)
{
    if (xml.IsNumber()) {
        m_callback = callback;
        if (!LoadResource(xml.GetNumber(), resourceType))
            return nullptr;
        m_resourceType = resourceType;
    } else {
        LPCWSTR text = xml;
        const bool loaded =
            text[0] == L'<' ? m_markup.LoadFromText(text) : m_markup.LoadSkinFile(text, CSkinMarkup::kUtf8);
        if (!loaded)
            return nullptr;
    }
    return Create(callback, manager, parent);
}

bool CSkinBuilder::LoadResource(WORD id, LPCWSTR resourceType)
{
    HINSTANCE instance = CWindowManagerUI::GetResourceInstance();
    HRSRC resource = ::FindResourceW(instance, MAKEINTRESOURCEW(id), resourceType);
    if (resource == nullptr)
        return false;
    HGLOBAL loaded = ::LoadResource(instance, resource);
    if (loaded == nullptr)
        return false;
    const auto* bytes = static_cast<const BYTE*>(::LockResource(loaded));
    if (bytes == nullptr)
        return false;
    return m_markup.LoadFromBytes(bytes, ::SizeofResource(instance, resource), CSkinMarkup::kUtf8);
}

CControlUI* CSkinBuilder::Create(IDialogBuilderCallback* callback, CWindowManagerUI* manager, CControlUI* parent)
{
    m_callback = callback;
    CSkinMarkupNode root = m_markup.RootNode();
    if (!root.IsSet())
        return nullptr;
    if (manager != nullptr) {
        RegisterResources(root, manager);
        if (lstrcmpiW(root.TagName(), L"Window") == 0 && manager->GetPaintWindow() != nullptr)
            ApplyWindowAttributes(root, manager);
    }
    return BuildChildren(root, parent, manager);
}

CControlUI* CSkinBuilder::BuildChildren(CSkinMarkupNode element, CControlUI* parent, CWindowManagerUI* manager)
{
    IContainerUI* container = nullptr;
    bool containerAsked = false;
    CControlUI* result = nullptr;
    for (CSkinMarkupNode node = element.FirstChild(); node.IsSet(); node = node.NextSibling()) {
        LPCWSTR elementName = node.TagName();
        if (IsResourceElement(elementName))
            continue;
        if (lstrcmpiW(elementName, L"Include") == 0) {
            BuildInclude(node, parent, manager);
            continue;
        }
        if (lstrcmpiW(elementName, L"TreeNode") == 0) {
            if (!BuildTreeNode(node, parent, manager))
                return nullptr;  // a node with neither node nor view around it
            continue;
        }
        CControlUI* control = CreateControl(elementName);
        if (control == nullptr)
            continue;
        if (node.HasChild())
            BuildChildren(node, control, manager);

        if (parent != nullptr) {
            if (IsCover(node)) {
                parent->SetCover(control);
            } else if (auto* row = static_cast<IContainerUI*>(parent->GetInterface(kTreeNodeRowInterface))) {
                // Written inside a tree node, a control goes into the node's row.
                if (!row->Add(control))
                    Discard(control, manager);
            } else {
                if (!containerAsked) {
                    container = static_cast<IContainerUI*>(parent->GetInterface(kContainerInterface));
                    containerAsked = true;
                }
                if (container == nullptr) {
                    Discard(control, manager);  // nobody could ever own it
                    return nullptr;
                }
                if (!container->Add(control)) {
                    Discard(control, manager);
                    continue;
                }
            }
        }

        ApplyAttributes(control, node, manager);
        if (result == nullptr)
            result = control;
        else if (parent == nullptr)
            Discard(control, manager);  // a second top-level control has no owner
    }
    return result;
}

// A node inside a node joins it before its own attributes and children, so
// it is only recorded there; a node under a view joins the view after them,
// with its whole subtree. Anywhere else the node is an orphan: it is
// destroyed (with the nodes it recorded) and the false answer ends the
// enclosing element's children.
bool CSkinBuilder::BuildTreeNode(CSkinMarkupNode element, CControlUI* parent, CWindowManagerUI* manager)
{
    if (parent == nullptr)
        return false;
    CControlUI* node = CreateControlByElementName(kTreeNodeInterface);
    if (node == nullptr)
        return true;
    const bool inNode = parent->GetInterface(kTreeNodeInterface) != nullptr;
    if (inNode && !AddToContainer(parent, node)) {
        Discard(node, manager);
        return true;
    }
    ApplyAttributes(node, element, manager);
    if (element.HasChild())
        BuildChildren(element, node, manager);
    if (inNode)
        return true;
    if (parent->GetInterface(kTreeViewInterface) == nullptr) {
        Discard(node, manager);
        return false;
    }
    if (!AddToContainer(parent, node))
        Discard(node, manager);
    return true;
}

bool CSkinBuilder::AddToContainer(CControlUI* parent, CControlUI* control)
{
    auto* container = static_cast<IContainerUI*>(parent->GetInterface(kContainerInterface));
    return container != nullptr && container->Add(control);
}

// Names given while the manager was set sit in its name index: the manager
// must see the controls go, or it would hand out freed ones by name.
void CSkinBuilder::Discard(CControlUI* control, CWindowManagerUI* manager)
{
    if (manager != nullptr)
        control->SetManager(manager, nullptr, false);
    control->Delete();
}

// An element's own attributes come after its default list, so they win.
void CSkinBuilder::ApplyAttributes(CControlUI* control, CSkinMarkupNode element, CWindowManagerUI* manager)
{
    if (manager != nullptr) {
        control->SetManager(manager, nullptr, false);
        if (LPCWSTR list = manager->GetDefaultAttributeList(element.TagName()))
            control->SetAttributeList(list);
    }
    for (int i = 0; i < element.AttrCount(); ++i)
        control->SetAttribute(element.AttrName(i), element.AttrValue(i));
    // The controls join the manager for good when the window attaches the root.
    if (manager != nullptr)
        control->SetManager(nullptr, nullptr, false);
}

bool CSkinBuilder::IsCover(CSkinMarkupNode element)
{
    AttrBuffer<kMaxCoverValue> cover;
    return cover.Read(element, L"cover") && std::wcscmp(cover.text, L"true") == 0;
}

void CSkinBuilder::BuildInclude(CSkinMarkupNode element, CControlUI* parent, CWindowManagerUI* manager)
{
    AttrBuffer<kMaxIncludeValue> source;
    if (!element.HasAttrs() || !source.Read(element, L"source"))
        return;
    AttrBuffer<kMaxIncludeValue> countText;
    const int count = countText.Read(element, L"count") ? _wtoi(countText.text) : 1;

    CSkinBuilder included;
    for (int i = 0; i < count; ++i) {
        CControlUI* built = nullptr;
        if (i > 0)
            built = included.Create(m_callback, manager, parent);
        else if (m_resourceType != nullptr)
            built = included.Create(static_cast<UINT>(_wtoi(source.text)), m_resourceType, m_callback, manager, parent);
        else
            built = included.Create(source.text, nullptr, m_callback, manager, parent);
        // Attached to the parent when there is one; otherwise nobody owns it.
        if (built != nullptr && parent == nullptr)
            Discard(built, manager);
    }
}

CControlUI* CSkinBuilder::CreateControl(LPCWSTR elementName) const
{
    if (CControlUI* control = CreateControlByElementName(elementName))
        return control;
    CUIPtrArray& creators = CWindowManagerUI::GetControlCreators();
    for (int i = 0; i < creators.GetCount(); ++i) {
        auto create = reinterpret_cast<ControlCreatorProc>(creators[i]);
        if (CControlUI* control = create(elementName))
            return control;
    }
    if (m_callback != nullptr)
        return m_callback->CreateControl(elementName);
    return nullptr;
}

}  // namespace CalUI
