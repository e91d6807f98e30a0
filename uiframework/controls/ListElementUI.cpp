#include "controls/ListElementUI.h"

#include <algorithm>
#include <cwchar>

#include "core/AttributeValues.h"
#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

// A single line is as high as its font plus this much air.
constexpr int kSingleLineAir = 8;
// Extent of the box a text is measured in.
constexpr int kMeasureExtent = 9999;

}  // namespace

// ---- Element base -----------------------------------------------------------------

LPCWSTR CListElementUI::GetClass() const { return L"ListElement"; }

void* CListElementUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, kListItemInterface) == 0)
        return static_cast<IListItemUI*>(this);
    if (std::wcscmp(name, L"ListElement") == 0)
        return this;
    return CControlUI::GetInterface(name);
}

UIControlFlag CListElementUI::GetControlFlags() const { return UIControlFlag::ListElement; }

bool CListElementUI::Activate() { return m_row.Activate(*this); }

void CListElementUI::SetVisible(bool show)
{
    CControlUI::SetVisible(show);
    m_row.AfterVisibilityChange(*this);
}

void CListElementUI::SetEnabled(bool enable)
{
    CControlUI::SetEnabled(enable);
    if (!IsEnabled())
        m_row.hot = false;
}

void CListElementUI::PassToOwner(UIEvent& event)
{
    if (m_row.owner != nullptr)
        m_row.owner->OnEvent(event);
    else
        CControlUI::OnEvent(event);
}

void CListElementUI::OnEvent(UIEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        PassToOwner(event);
        return;
    }
    if (m_row.HandleActivation(*this, event))
        return;
    PassToOwner(event);
}

void CListElementUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    if (std::wcscmp(name, L"selected") == 0)
        Select(IsTrueValue(value), true);
    else
        CControlUI::SetAttribute(name, value);
}

int CListElementUI::GetIndex() const { return m_row.index; }
void CListElementUI::SetIndex(int index) { m_row.index = index; }
int CListElementUI::GetVisibleRow() const { return m_row.visibleRow; }
void CListElementUI::SetVisibleRow(int row) { m_row.visibleRow = row; }
IListOwnerUI* CListElementUI::GetOwner() const { return m_row.owner; }
void CListElementUI::SetOwner(CControlUI* owner) { m_row.SetOwner(owner); }
bool CListElementUI::IsSelected() const { return m_row.selected; }
bool CListElementUI::Select(bool select, bool notify) { return m_row.Select(*this, select, notify); }
bool CListElementUI::IsExpanded() const { return false; }
bool CListElementUI::Expand(bool) { return false; }
void CListElementUI::LeaveOwner() { m_row.LeaveOwner(); }

void CListElementUI::DrawItemBk(HDC hdc, const RECT&) { m_row.DrawItemBk(*this, hdc, m_bkImage); }

// ---- Label element ----------------------------------------------------------------

LPCWSTR CListLabelElementUI::GetClass() const { return L"ListLabelElement"; }

void* CListLabelElementUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, L"ListLabelElement") == 0)
        return this;
    return CListElementUI::GetInterface(name);
}

void CListLabelElementUI::SetText(LPCWSTR text)
{
    m_needsEstimate = true;
    CListElementUI::SetText(text);
}

void CListLabelElementUI::SetFixedWidth(int cx)
{
    m_needsEstimate = true;
    CListElementUI::SetFixedWidth(cx);
}

void CListLabelElementUI::SetFixedHeight(int cy)
{
    m_needsEstimate = true;
    CListElementUI::SetFixedHeight(cy);
}

void CListLabelElementUI::SetOwner(CControlUI* owner)
{
    m_needsEstimate = true;
    CListElementUI::SetOwner(owner);
}

void CListLabelElementUI::OnEvent(UIEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        PassToOwner(event);
        return;
    }
    if (m_row.HandleMouse(*this, event))
        return;
    CListElementUI::OnEvent(event);
}

bool CListLabelElementUI::StyleChangedSinceEstimate(const ListItemStyle& style)
{
    const RECT& p = style.textPadding;
    const RECT& c = m_cachedPadding;
    const bool changed = m_cachedItemHeight != style.itemHeight || m_cachedFont != style.font ||
                         m_cachedTextStyle != style.textStyle || c.left != p.left || c.top != p.top ||
                         c.right != p.right || c.bottom != p.bottom;
    m_cachedItemHeight = style.itemHeight;
    m_cachedFont = style.font;
    m_cachedTextStyle = style.textStyle;
    m_cachedPadding = style.textPadding;
    return changed;
}

SIZE CListLabelElementUI::MeasureText(LPCWSTR text, SIZE estimate, const ListItemStyle& style)
{
    const RECT& pad = style.textPadding;
    HDC dc = m_manager->GetPaintDC();
    const UINT format = (style.textStyle & ~(DT_CENTER | DT_RIGHT)) | DT_CALCRECT;
    RECT measured;
    if ((style.textStyle & DT_SINGLELINE) != 0) {
        if (estimate.cy == 0) {
            const FontInfo* font = m_manager->GetFontInfo(style.font);
            estimate.cy = font->textMetrics.tmHeight + kSingleLineAir + pad.top + pad.bottom;
        }
        if (estimate.cx == 0) {
            measured = {0, 0, kMeasureExtent, estimate.cy};
            if (style.showHtml) {
                int links = 0;
                CSkinPainter::DrawMarkupText(dc, m_manager, measured, text, 0, nullptr, nullptr, links, style.font,
                                             format);
            } else {
                CSkinPainter::DrawPlainText(dc, m_manager, measured, text, 0, style.font, format);
            }
            estimate.cx = measured.right - measured.left + pad.left + pad.right;
        }
        return estimate;
    }
    if (estimate.cx == 0)
        estimate.cx = m_lastAvailable.cx;
    measured = {pad.left, 0, estimate.cx - pad.right, kMeasureExtent};
    if (style.showHtml) {
        int links = 0;
        CSkinPainter::DrawMarkupText(dc, m_manager, measured, text, 0, nullptr, nullptr, links, style.font, format);
    } else {
        CSkinPainter::DrawPlainText(dc, m_manager, measured, text, 0, style.font, format);
    }
    estimate.cy = measured.bottom - measured.top + pad.top + pad.bottom;
    return estimate;
}

SIZE CListLabelElementUI::EstimateSize(SIZE available)
{
    ListItemStyle* style = m_row.Style();
    if (style == nullptr)
        return {0, 0};
    if (m_fixedWidth > 0) {
        if (m_fixedHeight > 0)
            return {m_fixedWidth, m_fixedHeight};
        if (style->itemHeight != 0)
            return {m_fixedWidth, style->itemHeight};
    }
    if ((style->textStyle & DT_SINGLELINE) == 0 &&
        (available.cx != m_lastAvailable.cx || available.cy != m_lastAvailable.cy))
        m_needsEstimate = true;
    if (StyleChangedSinceEstimate(*style))
        m_needsEstimate = true;
    if (!m_needsEstimate)
        return m_estimated;

    SIZE estimate = {m_fixedWidth, m_fixedHeight != 0 ? m_fixedHeight : style->itemHeight};
    // Without a window there is nothing to measure with: the fixed sizes stand.
    if (m_manager == nullptr)
        return estimate;
    m_needsEstimate = false;
    m_lastAvailable = available;
    m_estimated = MeasureText(m_text, estimate, *style);
    return m_estimated;
}

bool CListLabelElementUI::OnPaint(HDC hdc, const RECT&, CControlUI*)
{
    DrawItemBk(hdc, m_pos);
    PaintItemText(hdc, m_pos);
    return true;
}

void CListLabelElementUI::PaintItemText(HDC hdc, const RECT& rc)
{
    ListItemStyle* style = m_row.Style();
    if (m_text.IsEmpty() || style == nullptr || m_manager == nullptr)
        return;
    const DWORD color = m_row.TextColor(*this, *style);
    RECT text = rc;
    text.left += style->textPadding.left;
    text.top += style->textPadding.top;
    text.right -= style->textPadding.right;
    text.bottom -= style->textPadding.bottom;
    if (style->showHtml) {
        int links = 0;
        CSkinPainter::DrawMarkupText(hdc, m_manager, text, m_text, color, nullptr, nullptr, links, style->font,
                                     style->textStyle);
    } else {
        CSkinPainter::DrawPlainText(hdc, m_manager, text, m_text, color, style->font, style->textStyle);
    }
}

// ---- Text element -----------------------------------------------------------------

CListTextElementUI::~CListTextElementUI()
{
    for (int i = 0; i < m_columnTexts.GetCount(); ++i)
        delete static_cast<CUIString*>(m_columnTexts[i]);
}

LPCWSTR CListTextElementUI::GetClass() const { return L"ListTextElement"; }

void* CListTextElementUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, L"ListTextElement") == 0)
        return this;
    return CListLabelElementUI::GetInterface(name);
}

UIControlFlag CListTextElementUI::GetControlFlags() const
{
    if (IsEnabled() && m_linkCount > 0)
        return UIControlFlag::ListElement | UIControlFlag::SetCursor;
    return UIControlFlag::ListElement;
}

void CListTextElementUI::SetOwner(CControlUI* owner)
{
    if (owner == nullptr)
        return;
    m_needsEstimate = true;
    CListElementUI::SetOwner(owner);
    m_ownerList = static_cast<IListUI*>(owner->GetInterface(kListInterface));
}

void CListTextElementUI::LeaveOwner()
{
    CListElementUI::LeaveOwner();
    m_ownerList = nullptr;
}

LPCWSTR CListTextElementUI::GetColumnText(int column) const
{
    if (column < 0 || column >= m_columnTexts.GetCount())
        return nullptr;
    const auto* text = static_cast<const CUIString*>(m_columnTexts[column]);
    return text != nullptr ? text->GetData() : nullptr;
}

LPCWSTR CListTextElementUI::TextOfColumn(int column)
{
    if (m_ownerList != nullptr) {
        if (IListTextProviderUI* provider = m_ownerList->GetTextProvider())
            return provider->GetItemText(this, m_row.index, column);
    }
    return GetColumnText(column);
}

LPCWSTR CListTextElementUI::SingleText()
{
    if (m_ownerList != nullptr) {
        if (IListTextProviderUI* provider = m_ownerList->GetTextProvider())
            return provider->GetItemText(this, m_row.index, 0);
    }
    if (m_columnTexts.IsEmpty())
        return m_text;
    return GetColumnText(0);
}

int CListTextElementUI::LinkAt(POINT point) const
{
    for (int i = 0; i < m_linkCount; ++i) {
        if (::PtInRect(&m_linkRects[i], point))
            return i;
    }
    return -1;
}

void CListTextElementUI::OnEvent(UIEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (m_ownerList != nullptr)
            m_ownerList->OnEvent(event);
        else
            CControlUI::OnEvent(event);
        return;
    }
    const int link = LinkAt(event.mousePoint);
    switch (event.type) {
    case UIEventType::SetCursor:
        if (link >= 0) {
            ::SetCursor(::LoadCursor(nullptr, IDC_HAND));
            return;
        }
        break;
    case UIEventType::ButtonUp:
        if (IsEnabled() && link >= 0) {
            if (m_manager != nullptr)
                m_manager->SendNotify(this, L"link", static_cast<WPARAM>(link));
            return;
        }
        break;
    case UIEventType::MouseMove:
        if (m_linkCount > 0 && link != m_hoveredLink) {
            InvalidateListItem(*this);
            m_hoveredLink = link;
        }
        break;
    case UIEventType::MouseLeave:
        if (m_hoveredLink >= 0 && m_hoveredLink < m_linkCount) {
            if (::PtInRect(&m_linkRects[m_hoveredLink], event.mousePoint)) {
                if (m_manager != nullptr)
                    m_manager->AddMouseLeaveNeeded(this);
                return;
            }
            m_hoveredLink = -1;
            InvalidateListItem(*this);
            if (m_manager != nullptr)
                m_manager->RemoveMouseLeaveNeeded(this);
        }
        break;
    default:
        break;
    }
    CListLabelElementUI::OnEvent(event);
}

SIZE CListTextElementUI::EstimateSize(SIZE available)
{
    ListItemStyle* style = m_row.Style();
    if (m_ownerList == nullptr || style == nullptr)
        return {0, 0};
    const int columnsWidth = style->ColumnsWidth();
    if (columnsWidth != m_lastColumnsWidth) {
        m_lastColumnsWidth = columnsWidth;
        m_needsEstimate = true;
    }
    const int fixedWidth = m_fixedWidth == 0 && style->columnCount > 0 ? columnsWidth : m_fixedWidth;
    if (fixedWidth > 0) {
        if (m_fixedHeight > 0)
            return {fixedWidth, m_fixedHeight};
        if (style->itemHeight != 0)
            return {fixedWidth, style->itemHeight};
    }
    const LPCWSTR text = SingleText();
    if (m_lastText != (text != nullptr ? text : L"")) {
        m_lastText = text != nullptr ? text : L"";
        m_needsEstimate = true;
    }
    if ((style->textStyle & DT_SINGLELINE) == 0 &&
        (available.cx != m_lastAvailable.cx || available.cy != m_lastAvailable.cy))
        m_needsEstimate = true;
    if (StyleChangedSinceEstimate(*style))
        m_needsEstimate = true;
    if (!m_needsEstimate)
        return m_estimated;
    SIZE estimate = {fixedWidth, m_fixedHeight != 0 ? m_fixedHeight : style->itemHeight};
    if (m_manager == nullptr)
        return estimate;
    m_needsEstimate = false;
    m_lastAvailable = available;
    m_estimated = MeasureText(m_lastText, estimate, *style);
    return m_estimated;
}

void CListTextElementUI::PaintItemText(HDC hdc, const RECT& rc)
{
    ListItemStyle* style = m_row.Style();
    if (m_ownerList == nullptr || style == nullptr || m_manager == nullptr)
        return;
    const DWORD color = m_row.TextColor(*this, *style);
    const RECT& pad = style->textPadding;
    int linkCount = 0;
    auto drawText = [&](LPCWSTR text, RECT box) {
        if (text == nullptr || *text == L'\0')
            return;
        box.left += pad.left;
        box.top += pad.top;
        box.right -= pad.right;
        box.bottom -= pad.bottom;
        if (!style->showHtml) {
            CSkinPainter::DrawPlainText(hdc, m_manager, box, text, color, style->font, style->textStyle);
            return;
        }
        int links = kMaxLinks - linkCount;
        CSkinPainter::DrawMarkupText(hdc, m_manager, box, text, color, &m_linkRects[linkCount], &m_linkTexts[linkCount],
                                     links, style->font, style->textStyle);
        linkCount = std::min(kMaxLinks, linkCount + std::max(links, 0));
    };

    if (style->columnCount <= 0) {
        drawText(SingleText(), rc);
    } else {
        for (int i = 0; i < style->columnCount; ++i) {
            RECT cell = {style->columns[i].left, m_pos.top, style->columns[i].right, m_pos.bottom};
            if (style->vLineSize > 0 && i < style->columnCount - 1) {
                const int x = cell.right - style->vLineSize / 2;
                const RECT line = {x, m_pos.top, x, m_pos.bottom};
                CSkinPainter::DrawLineSegment(hdc, line, style->vLineSize, AdjustColor(style->vLineColor));
                cell.right -= style->vLineSize;
            }
            drawText(TextOfColumn(i), cell);
        }
    }
    for (int i = linkCount; i < kMaxLinks; ++i) {
        m_linkRects[i] = {0, 0, 0, 0};
        m_linkTexts[i].Empty();
    }
    m_linkCount = linkCount;
}

}  // namespace CalUI
