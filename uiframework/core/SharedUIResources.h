#pragma once
// The resources a window draws with: default colours, the default font and the
// tables of fonts, images, default attribute lists and language strings. One
// record is shared by the whole process; every paint manager has its own of
// the same shape, which wins over the shared one where it holds an entry.

#include <windows.h>

#include "core/UIString.h"
#include "core/UIStringMap.h"

namespace CalUI {

struct FontInfo
{
    HFONT font = nullptr;
    CUIString faceName;
    int size = 0;  // the size asked for; the font's height is -size
    bool bold = false;
    bool underline = false;
    bool italic = false;
    bool strikeout = false;
    TEXTMETRICW textMetrics = {};  // tmHeight 0: not measured yet
};

struct SharedUIResources
{
    DWORD disabledTextColor = 0;
    DWORD defaultTextColor = 0;
    DWORD linkColor = 0;
    DWORD linkHoverColor = 0;
    DWORD selectedBkColor = 0;
    FontInfo defaultFont;                // an empty face name: use the shared default font
    CUIStringMap fonts;                  // font id in base 10 -> owned FontInfo
    CUIStringMap images;                 // image name -> owned LoadedImage
    CUIStringMap defaultAttributeLists;  // control class name -> owned CUIString
    CUIStringMap languageStrings;        // text id in base 10 -> owned CUIString (shared record only)
};

}  // namespace CalUI
