// The vertical layout's placement of its own children (m_items: a list
// answers GetCount with its rows, which its body places).

#include "controls/VerticalLayoutUI.h"

#include <algorithm>
#include <cwchar>

#include "controls/LayoutArea.h"

namespace CalUI {

// What the first pass learns of the visible, non-float children.
struct CVerticalLayoutUI::Measure
{
    int placed = 0;
    int adjustable = 0;        // children whose estimated height is 0
    LayoutSum fixedTotal = 0;  // heights and paddings of the others, and the gaps
    LayoutSum neededWidth = 0;
};

CVerticalLayoutUI::CVerticalLayoutUI() : CSeparatorLayoutUI(UISeparatorAxis::Height) {}

LPCWSTR CVerticalLayoutUI::GetClass() const { return L"VerticalLayout"; }

void* CVerticalLayoutUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, L"VerticalLayout") == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

int CVerticalLayoutUI::GetSepHeight() const { return GetSeparatorSize(); }
void CVerticalLayoutUI::SetSepHeight(int height) { SetSeparatorSize(height); }

namespace {

// The room a child is offered across: the whole width less its side padding.
LONG WidthFor(SIZE available, const RECT& pad) { return ToRectRange(LayoutSum{available.cx} - pad.left - pad.right); }

}  // namespace

CVerticalLayoutUI::Measure CVerticalLayoutUI::MeasureChildren(SIZE available) const
{
    Measure m;
    for (int i = 0; i < m_items.GetCount(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible() || child->IsFloat())
            continue;
        const RECT pad = child->GetPadding();
        SIZE size = child->EstimateSize(LimitByFixedOrMax(child, SIZE{WidthFor(available, pad), available.cy}));
        if (size.cy == 0)
            ++m.adjustable;
        else
            size.cy = RaiseThenLower(size.cy, child->GetMinHeight(), child->GetMaxHeight());
        m.fixedTotal += LayoutSum{size.cy} + pad.top + pad.bottom;
        size.cx = RaiseThenLower(std::max<LONG>(size.cx, 0), child->GetMinWidth(), child->GetMaxWidth());
        m.neededWidth = std::max(m.neededWidth, LayoutSum{size.cx} + pad.left + pad.right);
        ++m.placed;
    }
    m.fixedTotal += LayoutSum{std::max(m.placed - 1, 0)} * m_childPadding;
    return m;
}

LayoutSum CVerticalLayoutUI::ChildLeft(const LayoutArea& area, const RECT& padding, int width) const
{
    const RECT& client = area.client;
    const LayoutSum scrollPos = area.scrollPos.cx;
    switch (m_childAlign) {
    case UIChildAlign::Center:
        // Centred children leave their left and right padding out.
        return (LayoutSum{client.left} + client.right) / 2 + area.scrollRange.cx / 2 - scrollPos - width / 2;
    case UIChildAlign::Right:
        return LayoutSum{client.right} + area.scrollRange.cx - scrollPos - padding.right - width;
    default:
        return LayoutSum{client.left} - scrollPos + padding.left;
    }
}

void CVerticalLayoutUI::SetPos(RECT rc, bool invalidate)
{
    if (KeepsLayout(rc, invalidate))
        return;
    ResetBarsForNewSize(rc);
    CControlUI::SetPos(rc, invalidate);
    const LayoutArea area = LayoutAreaOf(*this);
    if (m_items.IsEmpty()) {
        UpdateScrollBars(area.client, 0, 0);
        return;
    }
    const SIZE available = area.available;

    const Measure m = MeasureChildren(available);
    const LayoutSum expand =
        m.adjustable > 0 ? std::max<LayoutSum>(0, (available.cy - m.fixedTotal) / m.adjustable) : 0;

    LayoutSum remainingHeight = available.cy;
    LayoutSum y = LayoutSum{area.client.top} - area.scrollPos.cy;
    LayoutSum fixedLeft = m.fixedTotal;
    int placedSoFar = 0;
    int adjustableSoFar = 0;
    LayoutSum neededHeight = 0;
    for (int i = 0; i < m_items.GetCount(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible())
            continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        const RECT pad = child->GetPadding();
        ++placedSoFar;
        remainingHeight -= pad.top;
        const SIZE limit = LimitByFixedOrMax(child, SIZE{WidthFor(available, pad), ToRectRange(remainingHeight)});
        fixedLeft -= LayoutSum{pad.top} + pad.bottom;
        if (placedSoFar > 1)
            fixedLeft -= m_childPadding;

        SIZE size = child->EstimateSize(limit);
        if (size.cy == 0) {
            ++adjustableSoFar;
            LayoutSum height = expand;
            // The last one takes what the division left over.
            if (adjustableSoFar == m.adjustable)
                height = std::max<LayoutSum>(0, remainingHeight - pad.bottom - fixedLeft);
            size.cy = RaiseThenLower(ToRectRange(height), child->GetMinHeight(), child->GetMaxHeight());
        } else {
            size.cy = RaiseThenLower(size.cy, child->GetMinHeight(), child->GetMaxHeight());
            fixedLeft -= size.cy;
        }

        if (!child->IsAutoCalcWidth())
            size.cx = child->GetMaxWidth();
        if (size.cx == 0)
            size.cx = WidthFor(available, pad);
        size.cx = std::max<LONG>(std::min(std::max<LONG>(size.cx, 0), limit.cx), child->GetMinWidth());

        const LayoutSum left = ChildLeft(area, pad, size.cx);
        const LayoutSum top = y + pad.top;
        child->SetPos(RectInRange(left, top, left + size.cx, top + size.cy), false);

        y += LayoutSum{size.cy} + m_childPadding + pad.top + pad.bottom;
        neededHeight += LayoutSum{size.cy} + pad.top + pad.bottom;
        remainingHeight -= LayoutSum{size.cy} + m_childPadding + pad.bottom;
    }
    neededHeight += LayoutSum{std::max(m.placed - 1, 0)} * m_childPadding;
    UpdateScrollBars(area.client, ToRectRange(m.neededWidth), ToRectRange(neededHeight));
    KeepLayoutUnchanged();
}

}  // namespace CalUI
