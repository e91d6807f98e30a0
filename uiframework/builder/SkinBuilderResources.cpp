// The window-level elements of a skin document: images, fonts, default
// attribute lists and language strings registered with the paint manager,
// and the root element's window attributes. Their attribute names and "true"
// are compared ignoring case.

#include <cwchar>
#include <initializer_list>

#include "core/AttributeValues.h"
#include "builder/SkinBuilder.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

constexpr int kDefaultFontSize = 12;

// The value of the attribute named `name` (ignoring case), or null.
LPCWSTR FindAttrNoCase(const CSkinMarkupNode& element, LPCWSTR name)
{
    for (int i = 0; i < element.AttrCount(); ++i) {
        if (lstrcmpiW(element.AttrName(i), name) == 0)
            return element.AttrValue(i);
    }
    return nullptr;
}

bool IsTrueNoCase(const CSkinMarkupNode& element, LPCWSTR name)
{
    LPCWSTR value = FindAttrNoCase(element, name);
    return value != nullptr && lstrcmpiW(value, L"true") == 0;
}

// A required decimal id: false when missing or negative.
bool ReadId(const CSkinMarkupNode& element, int& id)
{
    LPCWSTR value = FindAttrNoCase(element, L"id");
    if (value == nullptr)
        return false;
    id = _wtoi(value);
    return id >= 0;
}

}  // namespace

bool CSkinBuilder::IsResourceElement(LPCWSTR elementName)
{
    for (LPCWSTR name : {L"Image", L"Font", L"Default", L"MultiLanguage"}) {
        if (lstrcmpiW(elementName, name) == 0)
            return true;
    }
    return false;
}

void CSkinBuilder::RegisterResources(CSkinMarkupNode root, CWindowManagerUI* manager)
{
    for (CSkinMarkupNode node = root.FirstChild(); node.IsSet(); node = node.NextSibling()) {
        LPCWSTR name = node.TagName();
        if (lstrcmpiW(name, L"Image") == 0)
            RegisterImage(node, manager);
        else if (lstrcmpiW(name, L"Font") == 0)
            RegisterFont(node, manager);
        else if (lstrcmpiW(name, L"Default") == 0)
            RegisterDefaultList(node, manager);
        else if (lstrcmpiW(name, L"MultiLanguage") == 0)
            RegisterLanguageString(node);
    }
}

// "shared" picks the process-wide table; the window keeps no second copy of
// the pixels.
void CSkinBuilder::RegisterImage(CSkinMarkupNode element, CWindowManagerUI* manager)
{
    LPCWSTR name = FindAttrNoCase(element, L"name");
    if (name == nullptr)
        return;
    LPCWSTR maskText = FindAttrNoCase(element, L"mask");
    const DWORD mask = maskText != nullptr ? ParseColorValue(maskText) : 0;
    manager->AddImage(name, FindAttrNoCase(element, L"restype"), mask, false, IsTrueNoCase(element, L"shared"));
}

void CSkinBuilder::RegisterFont(CSkinMarkupNode element, CWindowManagerUI* manager)
{
    int id = 0;
    LPCWSTR face = FindAttrNoCase(element, L"name");
    if (!ReadId(element, id) || face == nullptr)
        return;
    LPCWSTR sizeText = FindAttrNoCase(element, L"size");
    const int size = sizeText != nullptr ? _wtoi(sizeText) : kDefaultFontSize;
    const bool bold = IsTrueNoCase(element, L"bold");
    const bool underline = IsTrueNoCase(element, L"underline");
    const bool italic = IsTrueNoCase(element, L"italic");
    const bool strikeout = IsTrueNoCase(element, L"strikeout");
    const bool shared = IsTrueNoCase(element, L"shared");
    manager->AddFont(id, face, size, bold, underline, italic, strikeout, shared);
    if (IsTrueNoCase(element, L"default"))
        manager->SetDefaultFont(face, size, bold, underline, italic, strikeout, shared);
}

void CSkinBuilder::RegisterDefaultList(CSkinMarkupNode element, CWindowManagerUI* manager)
{
    LPCWSTR className = FindAttrNoCase(element, L"name");
    if (className == nullptr)
        return;
    LPCWSTR list = FindAttrNoCase(element, L"value");
    manager->AddDefaultAttributeList(className, list != nullptr ? list : L"", IsTrueNoCase(element, L"shared"));
}

void CSkinBuilder::RegisterLanguageString(CSkinMarkupNode element)
{
    int id = 0;
    LPCWSTR text = FindAttrNoCase(element, L"value");
    if (!ReadId(element, id) || text == nullptr)
        return;
    CWindowManagerUI::AddLanguageString(id, text);
}

void CSkinBuilder::ApplyWindowAttributes(CSkinMarkupNode root, CWindowManagerUI* manager)
{
    for (int i = 0; i < root.AttrCount(); ++i)
        manager->SetWindowAttribute(root.AttrName(i), root.AttrValue(i));
}

}  // namespace CalUI
