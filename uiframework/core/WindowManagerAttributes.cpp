// The attributes of a skin's root "Window" element and the window settings
// they feed.

#include "core/WindowManagerUI.h"

#include <cwchar>

#include "core/AttributeValues.h"
#include "core/StringMapValues.h"

namespace CalUI {

namespace {

bool IsTrueIgnoringCase(LPCWSTR value) { return lstrcmpiW(value, L"true") == 0; }

}  // namespace

void CWindowManagerUI::SetWindowAttribute(LPCWSTR name, LPCWSTR value)
{
    auto is = [name](LPCWSTR known) { return lstrcmpiW(name, known) == 0; };
    auto isExactly = [name](LPCWSTR known) { return std::wcscmp(name, known) == 0; };
    if (is(L"size")) {
        SIZE size = ParseSizeValue(value);
        SetInitSize(size.cx, size.cy);
    } else if (is(L"shadowsize")) {
        SetShadowSize(_wtoi(value));
    } else if (is(L"shadowcolor")) {
        SetShadowColor(ParseColorValue(value));
    } else if (is(L"shadowfocusscales")) {
        SetShadowFocusScales(static_cast<float>(std::wcstod(value, nullptr)));
    } else if (is(L"sizebox")) {
        SetSizeBox(ParseRectValue(value));
    } else if (is(L"caption")) {
        SetCaptionRect(ParseRectValue(value));
    } else if (is(L"roundcorner")) {
        SIZE corner = ParseSizeValue(value);
        SetRoundCorner(corner.cx, corner.cy);
    } else if (is(L"mininfo")) {
        SIZE size = ParseSizeValue(value);
        SetMinInfo(size.cx, size.cy);
    } else if (is(L"maxinfo")) {
        SIZE size = ParseSizeValue(value);
        SetMaxInfo(size.cx, size.cy);
    } else if (is(L"showdirty")) {
        SetShowUpdateRect(IsTrueIgnoringCase(value));
    } else if (isExactly(L"noactivate")) {
        SetNoActivate(IsTrueIgnoringCase(value));
    } else if (is(L"opacity")) {
        SetOpacity(static_cast<BYTE>(_wtoi(value)));
    } else if (isExactly(L"layeredopacity")) {
        SetLayeredOpacity(static_cast<BYTE>(_wtoi(value)));
    } else if (isExactly(L"layeredimage")) {
        SetLayeredImage(value);
    } else if (is(L"nolayeredpadding")) {
        SetLayeredInset(ParseRectValue(value));
    } else if (is(L"disabledfontcolor")) {
        SetDefaultDisabledColor(ParseColorValue(value));
    } else if (is(L"defaultfontcolor")) {
        SetDefaultFontColor(ParseColorValue(value));
    } else if (is(L"linkfontcolor")) {
        SetDefaultLinkFontColor(ParseColorValue(value));
    } else if (is(L"linkhoverfontcolor")) {
        SetDefaultLinkHoverFontColor(ParseColorValue(value));
    } else if (is(L"selectedcolor")) {
        SetDefaultSelectedBkColor(ParseColorValue(value));
    } else {
        AddWindowCustomAttribute(name, value);
    }
}

SIZE CWindowManagerUI::GetInitSize() const { return m_initSize; }

void CWindowManagerUI::SetInitSize(int cx, int cy)
{
    m_initSize = {cx, cy};
    if (m_paintWindow != nullptr && m_root == nullptr)
        SetWindowPos(m_paintWindow, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT CWindowManagerUI::GetSizeBox() const { return m_sizeBox; }
void CWindowManagerUI::SetSizeBox(const RECT& rc) { m_sizeBox = rc; }

RECT CWindowManagerUI::GetCaptionRect()
{
    if (m_caption.bottom == -1) {
        RECT window = {};
        GetWindowRect(m_paintWindow, &window);
        m_caption.bottom = window.bottom - window.top;
    }
    return m_caption;
}

void CWindowManagerUI::SetCaptionRect(const RECT& rc) { m_caption = rc; }

SIZE CWindowManagerUI::GetRoundCorner() const { return m_roundCorner; }
void CWindowManagerUI::SetRoundCorner(int cx, int cy) { m_roundCorner = {cx, cy}; }
SIZE CWindowManagerUI::GetMinInfo() const { return m_minTrackSize; }
void CWindowManagerUI::SetMinInfo(int cx, int cy) { m_minTrackSize = {cx, cy}; }
SIZE CWindowManagerUI::GetMaxInfo() const { return m_maxTrackSize; }
void CWindowManagerUI::SetMaxInfo(int cx, int cy) { m_maxTrackSize = {cx, cy}; }
bool CWindowManagerUI::IsShowUpdateRect() const { return m_showUpdateRect; }
void CWindowManagerUI::SetShowUpdateRect(bool show) { m_showUpdateRect = show; }
bool CWindowManagerUI::IsNoActivate() const { return m_noActivate; }
void CWindowManagerUI::SetNoActivate(bool noActivate) { m_noActivate = noActivate; }

void CWindowManagerUI::AddWindowCustomAttribute(LPCWSTR name, LPCWSTR value)
{
    if (name == nullptr || name[0] == L'\0' || value == nullptr || value[0] == L'\0')
        return;
    if (m_windowCustomAttributes.Find(name) != nullptr)
        return;  // the first value given for a name stays
    auto* copy = new CUIString(value);
    if (!m_windowCustomAttributes.Insert(name, copy))
        delete copy;
}

LPCWSTR CWindowManagerUI::GetWindowCustomAttribute(LPCWSTR name)
{
    auto* value = static_cast<CUIString*>(m_windowCustomAttributes.Find(name));
    return value != nullptr ? value->GetData() : nullptr;
}

void CWindowManagerUI::RemoveAllWindowCustomAttributes()
{
    DeleteMapValues<CUIString>(m_windowCustomAttributes);
    m_windowCustomAttributes.Resize(CUIStringMap::kDefaultBucketCount);
}

}  // namespace CalUI
