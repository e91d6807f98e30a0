#include "core/ImageDrawInfo.h"

#include <cwchar>

#include "core/AttributeValues.h"

namespace CalUI {

namespace {

bool IsBlank(WCHAR ch) { return ch != 0 && ch <= L' '; }

LPCWSTR SkipBlanks(LPCWSTR p)
{
    while (IsBlank(*p))
        ++p;
    return p;
}

// One key='value' pair; false when the text holds no further complete pair.
bool ReadPair(LPCWSTR& p, CUIString& key, CUIString& value)
{
    p = SkipBlanks(p);
    LPCWSTR keyStart = p;
    while (*p != 0 && *p != L'=' && !IsBlank(*p))
        ++p;
    key.Assign(keyStart, static_cast<int>(p - keyStart));
    p = SkipBlanks(p);
    if (*p++ != L'=')
        return false;
    p = SkipBlanks(p);
    if (*p++ != L'\'')
        return false;
    LPCWSTR valueStart = p;
    while (*p != 0 && *p != L'\'')
        ++p;
    if (*p == 0)
        return false;
    value.Assign(valueStart, static_cast<int>(p - valueStart));
    ++p;
    return true;
}

}  // namespace

LPCWSTR ImageLoadRequest::Type() const
{
    switch (source) {
    case Source::Resource:
        return resourceType;
    case Source::Color:
        return kColorImageType;
    default:
        return nullptr;
    }
}

void ImageDrawInfo::Clear() { *this = ImageDrawInfo(); }

bool ImageDrawInfo::TakeAttributeText(LPCWSTR text)
{
    if (image != nullptr && attributeText == text)
        return false;
    Clear();
    attributeText = text;
    return true;
}

ImageLoadRequest ImageDrawInfo::Parse()
{
    ImageLoadRequest request;
    imageName = attributeText;
    CUIString key;
    CUIString value;
    for (LPCWSTR p = attributeText; ReadPair(p, key, value);) {
        if (!value.IsEmpty()) {
            if (key == L"file") {
                imageName = value;
            } else if (key == L"res") {
                imageName = value;
                request.source = ImageLoadRequest::Source::Resource;
            } else if (key == L"restype") {
                request.resourceType = value;
            } else if (key == L"color") {
                imageName = value;
                request.source = ImageLoadRequest::Source::Color;
            } else if (key == L"dest") {
                dest = ParseRectValue(value);
            } else if (key == L"source") {
                source = ParseRectValue(value);
            } else if (key == L"corner" || key == L"scale9") {
                corners = ParseRectValue(value);
            } else if (key == L"mask") {
                request.mask = ParseColorValue(value);
            } else if (key == L"fade") {
                fade = static_cast<BYTE>(_wtoi(value));
            } else if (key == L"hole") {
                hole = IsTrueValue(value);
            } else if (key == L"xtiled") {
                xTiled = IsTrueValue(value);
            } else if (key == L"ytiled") {
                yTiled = IsTrueValue(value);
            } else if (key == L"hsl") {
                request.hsl = IsTrueValue(value);
            }
        }
        if (*p++ != L' ')
            break;
    }
    return request;
}

}  // namespace CalUI
