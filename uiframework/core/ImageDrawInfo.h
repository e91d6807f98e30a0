#pragma once
// The parsed and cached state of one image attribute of a control or window,
// and the reader of the image attribute string behind it: either a plain
// image name or key='value' pairs separated by single spaces, such as
// "file='img/login.png' corner='15,15,15,15'".

#include <windows.h>

#include "core/UIString.h"

namespace CalUI {

struct LoadedImage;

// The image type under which a colour pseudo-image is loaded and kept.
inline constexpr WCHAR kColorImageType[] = L"*COLOR*";

// What the image table is asked for; kept out of ImageDrawInfo because the
// table applies it once, when the image is loaded.
struct ImageLoadRequest
{
    enum class Source
    {
        File,
        Resource,
        Color
    };
    Source source = Source::File;  // "res" or "color", whichever came last
    CUIString resourceType;        // "restype"
    DWORD mask = 0;                // "mask"
    bool hsl = false;              // "hsl"

    // The type text for the image table: "*COLOR*", the resource type, or
    // null for a file.
    LPCWSTR Type() const;
};

struct ImageDrawInfo
{
    CUIString attributeText;
    CUIString imageName;
    bool parsed = false;           // a drawing was tried; with no image it failed
    LoadedImage* image = nullptr;  // owned by the paint manager's image table
    RECT dest = {0, 0, 0, 0};      // offsets from the control's top-left corner
    RECT source = {0, 0, 0, 0};
    RECT corners = {0, 0, 0, 0};  // widths of the left, top, right and bottom bands
    BYTE fade = 255;
    bool hole = false;
    bool xTiled = false;
    bool yTiled = false;

    void Clear();
    // Gives the record a new attribute text, to be parsed on its next
    // drawing; false, leaving it alone, when it already holds the loaded
    // image of that text.
    bool TakeAttributeText(LPCWSTR text);

    // Reads the attribute text into the image name and the drawing fields.
    ImageLoadRequest Parse();
};

}  // namespace CalUI
