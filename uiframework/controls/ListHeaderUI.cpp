#include "controls/ListHeaderUI.h"

#include <algorithm>
#include <cwchar>

#include "controls/TextFormatValues.h"
#include "core/AttributeValues.h"
#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

constexpr int kSingleLineAir = 8;
constexpr int kMinItemWidth = 16;
constexpr DWORD kOpaque = 0xFF000000;

int DefaultLineHeight(CWindowManagerUI* manager)
{
    return manager->GetDefaultFontInfo()->textMetrics.tmHeight + kSingleLineAir;
}

}  // namespace

// ---- Header ---------------------------------------------------------------------------

LPCWSTR CListHeaderUI::GetClass() const { return L"ListHeader"; }

void* CListHeaderUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, L"ListHeader") == 0)
        return this;
    return CHorizontalLayoutUI::GetInterface(name);
}

SIZE CListHeaderUI::EstimateSize(SIZE available)
{
    SIZE size = {0, m_fixedHeight};
    if (size.cy == 0 && m_manager != nullptr) {
        for (int i = 0; i < m_items.GetCount(); ++i)
            size.cy = std::max<LONG>(size.cy, ChildAt(i)->EstimateSize(available).cy);
        size.cy = std::max(size.cy, static_cast<LONG>(DefaultLineHeight(m_manager)));
    }
    for (int i = 0; i < m_items.GetCount(); ++i)
        size.cx += ChildAt(i)->EstimateSize(available).cx;
    return size;
}

// ---- Header item ------------------------------------------------------------------------

CListHeaderItemUI::CListHeaderItemUI() { SetMinWidth(kMinItemWidth); }

LPCWSTR CListHeaderItemUI::GetClass() const { return L"ListHeaderItem"; }

void* CListHeaderItemUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, L"ListHeaderItem") == 0)
        return this;
    return CControlUI::GetInterface(name);
}

UIControlFlag CListHeaderItemUI::GetControlFlags() const
{
    return IsEnabled() && m_sepWidth != 0 ? UIControlFlag::SetCursor : UIControlFlag::None;
}

void CListHeaderItemUI::SetEnabled(bool enable)
{
    CControlUI::SetEnabled(enable);
    if (!IsEnabled())
        m_state = 0;
}

void CListHeaderItemUI::Set(DragState bit, bool on)
{
    if (on)
        m_state |= static_cast<unsigned>(bit);
    else
        m_state &= ~static_cast<unsigned>(bit);
}

void CListHeaderItemUI::SetDragable(bool dragable)
{
    m_dragable = dragable;
    if (!dragable)
        Set(DragState::Dragging, false);
}

void CListHeaderItemUI::SetTextColor(DWORD color)
{
    if (color != 0 && color < 0x01000000)
        color |= kOpaque;
    m_textColor = color;
    Invalidate();
}

void CListHeaderItemUI::SetSepColor(DWORD color)
{
    m_sepColor = color;
    Invalidate();
}

void CListHeaderItemUI::SetFont(int font)
{
    m_font = font;
    Invalidate();
}

void CListHeaderItemUI::SetTextPadding(RECT padding)
{
    m_textPadding = padding;
    Invalidate();
}

void CListHeaderItemUI::SetShowHtml(bool showHtml)
{
    if (m_showHtml == showHtml)
        return;
    m_showHtml = showHtml;
    Invalidate();
}

RECT CListHeaderItemUI::GetSeparatorRect() const
{
    if (m_sepWidth < 0)
        return {m_pos.left, m_pos.top, m_pos.left - m_sepWidth, m_pos.bottom};
    return {m_pos.right - m_sepWidth, m_pos.top, m_pos.right, m_pos.bottom};
}

void CListHeaderItemUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    const auto is = [name](LPCWSTR candidate) { return std::wcscmp(name, candidate) == 0; };
    if (is(L"dragable")) {
        SetDragable(IsTrueValue(value));
    } else if (is(L"align")) {
        m_textStyle = ApplyHorizontalAlign(m_textStyle, value);
    } else if (is(L"valign")) {
        m_textStyle = ApplyVerticalAlign(m_textStyle, value);
    } else if (is(L"endellipsis")) {
        m_textStyle = IsTrueValue(value) ? m_textStyle | DT_END_ELLIPSIS : m_textStyle & ~DT_END_ELLIPSIS;
    } else if (is(L"multiline")) {
        m_textStyle = IsTrueValue(value) ? (m_textStyle & ~DT_SINGLELINE) | DT_WORDBREAK : m_textStyle | DT_SINGLELINE;
    } else if (is(L"font")) {
        SetFont(_wtoi(value));
    } else if (is(L"textcolor")) {
        SetTextColor(ParseColorValue(value));
    } else if (is(L"textpadding")) {
        SetTextPadding(ParseRectValue(value));
    } else if (is(L"showhtml")) {
        SetShowHtml(IsTrueValue(value));
    } else if (is(L"normalimage")) {
        SetImageRecord(m_normalImage, value);
    } else if (is(L"hotimage")) {
        SetImageRecord(m_hotImage, value);
    } else if (is(L"pushedimage")) {
        SetImageRecord(m_pushedImage, value);
    } else if (is(L"focusedimage")) {
        SetImageRecord(m_focusedImage, value);
    } else if (is(L"sepimage")) {
        SetImageRecord(m_sepImage, value);
    } else if (is(L"sepwidth")) {
        SetSepWidth(_wtoi(value));
    } else if (is(L"sepcolor")) {
        SetSepColor(ParseColorValue(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

SIZE CListHeaderItemUI::EstimateSize(SIZE available)
{
    if (m_fixedHeight != 0 || m_manager == nullptr)
        return CControlUI::EstimateSize(available);
    return {m_fixedWidth, DefaultLineHeight(m_manager)};
}

// The header's parent is the list, which takes the new columns from its
// header at its next layout.
void CListHeaderItemUI::RelayoutList()
{
    if (m_parent != nullptr)
        m_parent->RequestParentUpdate();
}

// Steps add to the width the item was last given, not to its rectangle:
// several moves may come before the list is laid out again.
void CListHeaderItemUI::DragTo(POINT point)
{
    const int step = point.x - m_lastMouse.x;
    if (step == 0)
        return;
    const int width = (m_fixedWidth > 0 ? m_fixedWidth : m_pos.right - m_pos.left) + (m_sepWidth < 0 ? -step : step);
    if (width <= GetMinWidth())
        return;
    SetFixedWidth(width);
    m_lastMouse = point;
    RelayoutList();
}

void CListHeaderItemUI::OnEvent(UIEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (m_parent != nullptr)
            m_parent->OnEvent(event);
        else
            CControlUI::OnEvent(event);
        return;
    }
    if (event.type == UIEventType::SetFocus || event.type == UIEventType::KillFocus)
        Invalidate();
    switch (event.type) {
    case UIEventType::ButtonDown:
    case UIEventType::DoubleClick: {
        if (!IsEnabled())
            return;
        const RECT strip = GetSeparatorRect();
        if (::PtInRect(&strip, event.mousePoint)) {
            if (m_dragable) {
                Set(DragState::Dragging, true);
                m_lastMouse = event.mousePoint;
            }
            return;
        }
        Set(DragState::Pushed, true);
        if (m_manager != nullptr)
            m_manager->SendNotify(this, L"headerclick");
        Invalidate();
        return;
    }
    case UIEventType::ButtonUp:
        if (Has(DragState::Dragging)) {
            Set(DragState::Dragging, false);
            RelayoutList();
        } else if (Has(DragState::Pushed)) {
            Set(DragState::Pushed, false);
            Invalidate();
        }
        return;
    case UIEventType::MouseMove:
        if (Has(DragState::Dragging))
            DragTo(event.mousePoint);
        return;
    case UIEventType::SetCursor: {
        const RECT strip = GetSeparatorRect();
        if (IsEnabled() && m_dragable && ::PtInRect(&strip, event.mousePoint)) {
            ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
            return;
        }
        break;
    }
    case UIEventType::MouseEnter:
        if (::PtInRect(&m_pos, event.mousePoint) && IsEnabled() && !Has(DragState::Hot)) {
            Set(DragState::Hot, true);
            Invalidate();
        }
        break;
    case UIEventType::MouseLeave:
        if (::PtInRect(&m_pos, event.mousePoint)) {
            if (m_manager != nullptr)
                m_manager->AddMouseLeaveNeeded(this);
            return;
        }
        if (IsEnabled() && Has(DragState::Hot)) {
            Set(DragState::Hot, false);
            Invalidate();
        }
        if (m_manager != nullptr)
            m_manager->RemoveMouseLeaveNeeded(this);
        break;
    default:
        break;
    }
    CControlUI::OnEvent(event);
}

void CListHeaderItemUI::PaintStatusImage(HDC hdc)
{
    bool drawn = false;
    if (Has(DragState::Pushed))
        drawn = DrawImage(hdc, m_pushedImage);
    else if (Has(DragState::Hot))
        drawn = DrawImage(hdc, m_hotImage);
    else if (IsFocused())
        drawn = DrawImage(hdc, m_focusedImage);
    if (!drawn)
        DrawImage(hdc, m_normalImage);

    if (m_sepWidth <= 0)
        return;
    const RECT strip = GetSeparatorRect();
    m_sepImage.dest = {strip.left - m_pos.left, strip.top - m_pos.top, strip.right - m_pos.left,
                       strip.bottom - m_pos.top};
    if (DrawImage(hdc, m_sepImage) || m_sepColor == 0)
        return;
    const int x = strip.left + m_sepWidth / 2;
    const RECT line = {x, strip.top, x, strip.bottom};
    CSkinPainter::DrawLineSegment(hdc, line, m_sepWidth, AdjustColor(m_sepColor));
}

void CListHeaderItemUI::PaintText(HDC hdc)
{
    if (m_manager == nullptr)
        return;
    if (m_textColor == 0)
        m_textColor = m_manager->GetDefaultFontColor();
    if (m_text.IsEmpty())
        return;
    RECT rc = {m_pos.left + m_textPadding.left, m_pos.top + m_textPadding.top, m_pos.right - m_textPadding.right,
               m_pos.bottom - m_textPadding.bottom};
    if (m_showHtml) {
        int links = 0;
        CSkinPainter::DrawMarkupText(hdc, m_manager, rc, m_text, m_textColor, nullptr, nullptr, links, m_font,
                                     m_textStyle);
    } else {
        CSkinPainter::DrawPlainText(hdc, m_manager, rc, m_text, m_textColor, m_font, m_textStyle);
    }
}

}  // namespace CalUI
