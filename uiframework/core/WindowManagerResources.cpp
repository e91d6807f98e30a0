// Default colours, default attribute lists per control class and the
// process-wide language strings with their "%{n}" tokens.

#include "core/WindowManagerUI.h"

#include <cwchar>

#include "core/StringMapValues.h"

namespace CalUI {

CUIPtrArray& CWindowManagerUI::GetControlCreators()
{
    static CUIPtrArray creators;
    return creators;
}

// ---- Colours ----------------------------------------------------------------------

// A window still showing the old shared colour follows the new one; a window
// that chose its own colour keeps it.
void CWindowManagerUI::SetResourceColor(DWORD SharedUIResources::*field, DWORD color, bool shared)
{
    if (shared) {
        DWORD old = Shared().*field;
        Shared().*field = color;
        if (m_resources.*field != old)
            return;
    }
    m_resources.*field = color;
}

void CWindowManagerUI::SetDefaultDisabledColor(DWORD color, bool shared)
{
    SetResourceColor(&SharedUIResources::disabledTextColor, color, shared);
}
DWORD CWindowManagerUI::GetDefaultDisabledColor() const { return m_resources.disabledTextColor; }

void CWindowManagerUI::SetDefaultFontColor(DWORD color, bool shared)
{
    SetResourceColor(&SharedUIResources::defaultTextColor, color, shared);
}
DWORD CWindowManagerUI::GetDefaultFontColor() const { return m_resources.defaultTextColor; }

void CWindowManagerUI::SetDefaultLinkFontColor(DWORD color, bool shared)
{
    SetResourceColor(&SharedUIResources::linkColor, color, shared);
}
DWORD CWindowManagerUI::GetDefaultLinkFontColor() const { return m_resources.linkColor; }

void CWindowManagerUI::SetDefaultLinkHoverFontColor(DWORD color, bool shared)
{
    SetResourceColor(&SharedUIResources::linkHoverColor, color, shared);
}
DWORD CWindowManagerUI::GetDefaultLinkHoverFontColor() const { return m_resources.linkHoverColor; }

void CWindowManagerUI::SetDefaultSelectedBkColor(DWORD color, bool shared)
{
    SetResourceColor(&SharedUIResources::selectedBkColor, color, shared);
}
DWORD CWindowManagerUI::GetDefaultSelectedBkColor() const { return m_resources.selectedBkColor; }

// ---- Default attribute lists ---------------------------------------------------------

void CWindowManagerUI::AddDefaultAttributeList(LPCWSTR className, LPCWSTR attributeList, bool shared)
{
    auto* copy = new CUIString(attributeList);
    auto* replaced = static_cast<CUIString*>(ResourcesFor(shared).defaultAttributeLists.Set(className, copy));
    delete replaced;  // Set hands back the given value when the map cannot store it
}

LPCWSTR CWindowManagerUI::GetDefaultAttributeList(LPCWSTR className)
{
    auto* list = static_cast<CUIString*>(m_resources.defaultAttributeLists.Find(className));
    if (list == nullptr)
        list = static_cast<CUIString*>(Shared().defaultAttributeLists.Find(className));
    return list != nullptr ? list->GetData() : nullptr;
}

void CWindowManagerUI::RemoveAllDefaultAttributeLists(bool shared)
{
    DeleteMapValues<CUIString>(shared ? Shared().defaultAttributeLists : m_resources.defaultAttributeLists);
}

// ---- Language strings -----------------------------------------------------------------

void CWindowManagerUI::AddLanguageString(int id, LPCWSTR text)
{
    auto* copy = new CUIString(text);
    delete static_cast<CUIString*>(Shared().languageStrings.Set(DecimalKey(id), copy));
}

LPCWSTR CWindowManagerUI::GetLanguageString(int id)
{
    auto* text = static_cast<CUIString*>(Shared().languageStrings.Find(DecimalKey(id)));
    return text != nullptr ? text->GetData() : nullptr;
}

// Replacement texts are scanned again, so texts that name each other would
// grow the text without end; the number of replacements is bounded far above
// what any real text holds.
void CWindowManagerUI::ReplaceLanguageTokens(CUIString& text)
{
    constexpr int kMaxReplacements = 1024;
    int replacements = 0;
    for (int p = text.Find(L'%'); p >= 0 && replacements < kMaxReplacements; p = text.Find(L'%', p + 1)) {
        LPCWSTR data = text.GetData();
        if (data[p + 1] != L'{')
            continue;
        int end = p + 2;
        while (data[end] >= L'0' && data[end] <= L'9')
            ++end;
        if (data[end] != L'}')
            continue;
        LPCWSTR replacement = GetLanguageString(_wtoi(data + p + 2));
        if (replacement == nullptr)
            continue;
        CUIString token = text.Mid(p, end - p + 1);
        CUIString value = replacement;  // the table entry may not alias the text being edited
        replacements += text.Replace(token, value);
    }
}

}  // namespace CalUI
