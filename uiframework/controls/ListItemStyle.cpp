#include "controls/ListItemStyle.h"

#include <cwchar>

#include "controls/TextFormatValues.h"
#include "core/AttributeValues.h"

namespace CalUI {

namespace {

using Setter = bool (*)(ListItemStyle& style, LPCWSTR value);  // false: nothing changed

struct ItemAttribute
{
    LPCWSTR name;
    Setter set;
    ItemStyleEffect listEffect;
    ItemStyleEffect comboEffect;
};

template <DWORD ListItemStyle::*Field>
bool SetColour(ListItemStyle& style, LPCWSTR value)
{
    style.*Field = ParseColorValue(value);
    return true;
}

template <int ListItemStyle::*Field>
bool SetNumber(ListItemStyle& style, LPCWSTR value)
{
    style.*Field = _wtoi(value);
    return true;
}

template <bool ListItemStyle::*Field>
bool SetFlag(ListItemStyle& style, LPCWSTR value)
{
    const bool old = style.*Field;
    style.*Field = IsTrueValue(value);
    return old != style.*Field;
}

template <ImageDrawInfo ListItemStyle::*Field>
bool SetImage(ListItemStyle& style, LPCWSTR value)
{
    return (style.*Field).TakeAttributeText(value);
}

bool SetAlign(ListItemStyle& style, LPCWSTR value)
{
    style.textStyle = ApplyHorizontalAlign(style.textStyle, value);
    return true;
}

bool SetVAlign(ListItemStyle& style, LPCWSTR value)
{
    style.textStyle = ApplyVerticalAlign(style.textStyle, value);
    return true;
}

bool SetEndEllipsis(ListItemStyle& style, LPCWSTR value)
{
    if (IsTrueValue(value))
        style.textStyle |= DT_END_ELLIPSIS;
    else
        style.textStyle &= ~DT_END_ELLIPSIS;
    return true;
}

// "false" keeps a word-break bit set before: the single-line bit wins.
bool SetMultiLine(ListItemStyle& style, LPCWSTR value)
{
    if (IsTrueValue(value))
        style.textStyle = (style.textStyle & ~DT_SINGLELINE) | DT_WORDBREAK;
    else
        style.textStyle |= DT_SINGLELINE;
    return true;
}

bool SetTextPadding(ListItemStyle& style, LPCWSTR value)
{
    style.textPadding = ParseRectValue(value);
    return true;
}

constexpr ItemStyleEffect kStore = ItemStyleEffect::Stored;
constexpr ItemStyleEffect kLayout = ItemStyleEffect::Relayout;
constexpr ItemStyleEffect kPaint = ItemStyleEffect::Repaint;
constexpr ItemStyleEffect kNo = ItemStyleEffect::NotAccepted;

// clang-format off
const ItemAttribute kItemAttributes[] = {
    {L"itemheight", &SetNumber<&ListItemStyle::itemHeight>, kStore, kStore},
    {L"itemfont", &SetNumber<&ListItemStyle::font>, kStore, kStore},
    {L"itemalign", &SetAlign, kStore, kStore},
    {L"itemvalign", &SetVAlign, kStore, kNo},
    {L"itemendellipsis", &SetEndEllipsis, kStore, kNo},
    {L"itemmultiline", &SetMultiLine, kStore, kNo},
    {L"itemtextpadding", &SetTextPadding, kLayout, kPaint},
    {L"itemtextcolor", &SetColour<&ListItemStyle::textColor>, kPaint, kPaint},
    {L"itembkcolor", &SetColour<&ListItemStyle::bkColor>, kPaint, kStore},
    {L"itembkimage", &SetImage<&ListItemStyle::bkImage>, kPaint, kStore},
    {L"itemaltbk", &SetFlag<&ListItemStyle::alternateBk>, kPaint, kStore},
    {L"itemselectedtextcolor", &SetColour<&ListItemStyle::selectedTextColor>, kPaint, kStore},
    {L"itemselectedbkcolor", &SetColour<&ListItemStyle::selectedBkColor>, kPaint, kStore},
    {L"itemselectedimage", &SetImage<&ListItemStyle::selectedImage>, kPaint, kStore},
    {L"itemhottextcolor", &SetColour<&ListItemStyle::hotTextColor>, kPaint, kStore},
    {L"itemhotbkcolor", &SetColour<&ListItemStyle::hotBkColor>, kPaint, kStore},
    {L"itemhotimage", &SetImage<&ListItemStyle::hotImage>, kPaint, kStore},
    {L"itemdisabledtextcolor", &SetColour<&ListItemStyle::disabledTextColor>, kPaint, kStore},
    {L"itemdisabledbkcolor", &SetColour<&ListItemStyle::disabledBkColor>, kPaint, kStore},
    {L"itemdisabledimage", &SetImage<&ListItemStyle::disabledImage>, kPaint, kStore},
    {L"itemhlinesize", &SetNumber<&ListItemStyle::hLineSize>, kPaint, kStore},
    {L"itemhlinecolor", &SetColour<&ListItemStyle::hLineColor>, kPaint, kStore},
    {L"itemvlinesize", &SetNumber<&ListItemStyle::vLineSize>, kPaint, kStore},
    {L"itemvlinecolor", &SetColour<&ListItemStyle::vLineColor>, kPaint, kStore},
    {L"itemshowhtml", &SetFlag<&ListItemStyle::showHtml>, kLayout, kPaint},
    {L"multiexpanding", &SetFlag<&ListItemStyle::multiExpanding>, kStore, kNo},
};
// clang-format on

}  // namespace

int ListItemStyle::ColumnsWidth() const
{
    if (columnCount <= 0)
        return 0;
    return columns[columnCount - 1].right - columns[0].left;
}

ItemStyleEffect ApplyItemStyleAttribute(ListItemStyle& style, ItemStyleOwner owner, LPCWSTR name, LPCWSTR value)
{
    for (const ItemAttribute& attribute : kItemAttributes) {
        if (std::wcscmp(attribute.name, name) != 0)
            continue;
        const ItemStyleEffect effect = owner == ItemStyleOwner::List ? attribute.listEffect : attribute.comboEffect;
        if (effect == ItemStyleEffect::NotAccepted)
            return effect;
        // An unchanged flag or image asks for nothing more.
        return attribute.set(style, value) ? effect : ItemStyleEffect::Stored;
    }
    return ItemStyleEffect::NotAccepted;
}

}  // namespace CalUI
