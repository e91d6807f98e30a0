// Fonts by number, shared by the process or held by one window, and the
// default font that text falls back to.

#include "core/WindowManagerUI.h"

#include <memory>

#include "core/StringMapValues.h"

namespace CalUI {

namespace {

void DeleteFontInfo(FontInfo* info)
{
    if (info->font != nullptr)
        DeleteObject(info->font);
    delete info;
}

bool SameFont(const FontInfo& info, LPCWSTR face, int size, bool bold, bool underline, bool italic, bool strikeout)
{
    return info.faceName == face && info.size == size && info.bold == bold && info.underline == underline &&
           info.italic == italic && info.strikeout == strikeout;
}

}  // namespace

SharedUIResources& CWindowManagerUI::Shared()
{
    static SharedUIResources shared;
    return shared;
}

SharedUIResources& CWindowManagerUI::ResourcesFor(bool shared)
{
    return shared || m_resourcesShared ? Shared() : m_resources;
}

void CWindowManagerUI::SetResourcesShared(bool shared) { m_resourcesShared = shared; }

void CWindowManagerUI::FillSharedDefaults()
{
    SharedUIResources& shared = Shared();
    shared.disabledTextColor = 0xFFA7A6AA;
    shared.defaultTextColor = 0xFF000000;
    shared.linkColor = 0xFF0000FF;
    shared.linkHoverColor = 0xFFD3215F;
    shared.selectedBkColor = 0xFFBAE4FF;
    LOGFONTW lf = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfCharSet = DEFAULT_CHARSET;
    FontInfo& font = shared.defaultFont;
    font.font = CreateFontIndirectW(&lf);
    font.faceName = lf.lfFaceName;
    font.size = -lf.lfHeight;
    font.bold = lf.lfWeight >= FW_BOLD;
    font.underline = lf.lfUnderline == 1;
    font.italic = lf.lfItalic == 1;
    font.strikeout = lf.lfStrikeOut == 1;
    font.textMetrics = {};
}

// Skin fonts start from the stock GUI font, so what a skin leaves open
// (quality, pitch) matches the system's dialogs. Bold adds to the stock weight.
HFONT CWindowManagerUI::CreateSkinFont(LPCWSTR face, int size, bool bold, bool underline, bool italic,
                                       bool strikeout) const
{
    LOGFONTW lf = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lstrcpynW(lf.lfFaceName, face != nullptr ? face : L"", LF_FACESIZE);  // cut to the field, terminator kept
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = -size;
    if (bold)
        lf.lfWeight += FW_BOLD;
    if (underline)
        lf.lfUnderline = TRUE;
    if (italic)
        lf.lfItalic = TRUE;
    if (strikeout)
        lf.lfStrikeOut = TRUE;
    return CreateFontIndirectW(&lf);
}

void CWindowManagerUI::MeasureFont(FontInfo& info) const
{
    if (info.textMetrics.tmHeight != 0 || m_paintDC == nullptr)
        return;
    HGDIOBJ old = SelectObject(m_paintDC, info.font);
    GetTextMetricsW(m_paintDC, &info.textMetrics);
    SelectObject(m_paintDC, old);
}

void CWindowManagerUI::SetDefaultFont(LPCWSTR face, int size, bool bold, bool underline, bool italic, bool strikeout,
                                      bool shared)
{
    HFONT font = CreateSkinFont(face, size, bold, underline, italic, strikeout);
    if (font == nullptr)
        return;
    FontInfo& info = shared ? Shared().defaultFont : m_resources.defaultFont;
    if (info.font != nullptr)
        DeleteObject(info.font);
    info.font = font;
    info.faceName = face != nullptr ? face : L"";
    info.size = size;
    info.bold = bold;
    info.underline = underline;
    info.italic = italic;
    info.strikeout = strikeout;
    info.textMetrics = {};
    MeasureFont(info);
}

HFONT CWindowManagerUI::AddFont(int id, LPCWSTR face, int size, bool bold, bool underline, bool italic, bool strikeout,
                                bool shared)
{
    HFONT font = CreateSkinFont(face, size, bold, underline, italic, strikeout);
    if (font == nullptr)
        return nullptr;
    auto info = std::make_unique<FontInfo>();
    info->font = font;
    info->faceName = face != nullptr ? face : L"";
    info->size = size;
    info->bold = bold;
    info->underline = underline;
    info->italic = italic;
    info->strikeout = strikeout;
    MeasureFont(*info);

    CUIStringMap& fonts = ResourcesFor(shared).fonts;
    CUIString key = DecimalKey(id);
    if (auto* old = static_cast<FontInfo*>(fonts.Find(key, false))) {
        DeleteFontInfo(old);
        fonts.Remove(key);
    }
    if (!fonts.Insert(key, info.get())) {
        DeleteFontInfo(info.release());
        return nullptr;
    }
    return info.release()->font;
}

HFONT CWindowManagerUI::GetFont(int id)
{
    if (id >= 0) {
        CUIString key = DecimalKey(id);
        auto* info = static_cast<FontInfo*>(m_resources.fonts.Find(key));
        if (info == nullptr)
            info = static_cast<FontInfo*>(Shared().fonts.Find(key));
        if (info != nullptr)
            return info->font;
    }
    return GetDefaultFontInfo()->font;
}

HFONT CWindowManagerUI::FindFont(LPCWSTR face, int size, bool bold, bool underline, bool italic, bool strikeout) const
{
    auto matches = [&](LPCWSTR, FontInfo* info) {
        return SameFont(*info, face, size, bold, underline, italic, strikeout);
    };
    FontInfo* info = FindMapValue<FontInfo>(m_resources.fonts, matches);
    if (info == nullptr)
        info = FindMapValue<FontInfo>(Shared().fonts, matches);
    return info != nullptr ? info->font : nullptr;
}

FontInfo* CWindowManagerUI::GetFontInfo(int id)
{
    CUIString key = DecimalKey(id);
    auto* info = static_cast<FontInfo*>(m_resources.fonts.Find(key));
    if (info == nullptr)
        info = static_cast<FontInfo*>(Shared().fonts.Find(key));
    if (info == nullptr)
        return GetDefaultFontInfo();
    MeasureFont(*info);
    return info;
}

FontInfo* CWindowManagerUI::GetFontInfoByHandle(HFONT font)
{
    auto holds = [font](LPCWSTR, FontInfo* info) { return info->font == font; };
    FontInfo* info = FindMapValue<FontInfo>(m_resources.fonts, holds);
    if (info == nullptr)
        info = FindMapValue<FontInfo>(Shared().fonts, holds);
    if (info == nullptr)
        return GetDefaultFontInfo();
    MeasureFont(*info);
    return info;
}

FontInfo* CWindowManagerUI::GetDefaultFontInfo()
{
    FontInfo& info = m_resources.defaultFont.faceName.IsEmpty() ? Shared().defaultFont : m_resources.defaultFont;
    MeasureFont(info);
    return &info;
}

void CWindowManagerUI::RemoveAllFonts(bool shared)
{
    DeleteMapValues<FontInfo>(shared ? Shared().fonts : m_resources.fonts, DeleteFontInfo);
}

}  // namespace CalUI
