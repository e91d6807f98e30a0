// The horizontal layout's placement of its children.

#include "controls/HorizontalLayoutUI.h"

#include <algorithm>
#include <cwchar>

#include "controls/LayoutArea.h"

namespace CalUI {

namespace {

// The room a child is offered down: the given height less its top and bottom padding.
LONG HeightFor(LayoutSum height, const RECT& pad) { return ToRectRange(height - pad.top - pad.bottom); }

}  // namespace

// What the first pass learns of the visible, non-float children.
struct CHorizontalLayoutUI::Measure
{
    int placed = 0;
    int adjustable = 0;        // children that share the width left over
    LayoutSum fixedTotal = 0;  // widths and paddings of the others, and the gaps
    LayoutSum neededHeight = 0;
};

CHorizontalLayoutUI::CHorizontalLayoutUI() : CSeparatorLayoutUI(UISeparatorAxis::Width) {}

LPCWSTR CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayout"; }

void* CHorizontalLayoutUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, L"HorizontalLayout") == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

int CHorizontalLayoutUI::GetSepWidth() const { return GetSeparatorSize(); }
void CHorizontalLayoutUI::SetSepWidth(int width) { SetSeparatorSize(width); }

bool CHorizontalLayoutUI::TakesASharedWidth(const CControlUI* child, SIZE estimate) const
{
    return !child->IsAutoCalcWidth() && (child->GetFixedWidth() == 0 || estimate.cx == 0);
}

CHorizontalLayoutUI::Measure CHorizontalLayoutUI::MeasureChildren(SIZE available) const
{
    Measure m;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible() || child->IsFloat())
            continue;
        const RECT pad = child->GetPadding();
        SIZE size = child->EstimateSize(LimitByFixedOrMax(child, SIZE{available.cx, HeightFor(available.cy, pad)}));
        if (child->GetFixedWidth() == 0) {
            // A child that calculates its width keeps the estimate as it is.
            if (!child->IsAutoCalcWidth()) {
                size.cx = 0;
                ++m.adjustable;
            }
            size.cy = child->GetFixedHeight();
        } else if (size.cx == 0) {
            ++m.adjustable;
        } else {
            size.cx = RaiseThenLower(size.cx, child->GetMinWidth(), child->GetMaxWidth());
        }
        m.fixedTotal += LayoutSum{size.cx} + pad.left + pad.right;
        size.cy = RaiseThenLower(std::max<LONG>(size.cy, 0), child->GetMinHeight(), child->GetMaxHeight());
        m.neededHeight = std::max(m.neededHeight, LayoutSum{size.cy} + pad.top + pad.bottom);
        ++m.placed;
    }
    m.fixedTotal += LayoutSum{std::max(m.placed - 1, 0)} * m_childPadding;
    return m;
}

// The child's top and bottom as "childvalign" places them.
std::pair<long long, long long> CHorizontalLayoutUI::ChildRowSpan(const LayoutArea& area, const RECT& padding,
                                                                  int height) const
{
    const RECT& client = area.client;
    const LayoutSum scrollPos = area.scrollPos.cy;
    const LayoutSum scrollRange = area.scrollRange.cy;
    switch (m_childVAlign) {
    case UIChildVAlign::Center: {
        // Centred children move by the difference of their top and bottom padding.
        const LayoutSum y = (LayoutSum{client.top} + client.bottom) / 2 + scrollRange / 2 - scrollPos;
        const LayoutSum shift = LayoutSum{padding.top} - padding.bottom;
        return {y - height / 2 + shift, y + height - height / 2 + shift};
    }
    case UIChildVAlign::Bottom: {
        const LayoutSum y = client.bottom + scrollRange - scrollPos;
        return {y - padding.bottom - height, y - padding.bottom};
    }
    default: {
        const LayoutSum y = client.top - scrollPos;
        return {y + padding.top, y + padding.top + height};
    }
    }
}

void CHorizontalLayoutUI::SetPos(RECT rc, bool invalidate)
{
    if (KeepsLayout(rc, invalidate))
        return;
    ResetBarsForNewSize(rc);
    CControlUI::SetPos(rc, invalidate);
    const LayoutArea area = LayoutAreaOf(*this);
    if (GetCount() == 0) {
        UpdateScrollBars(area.client, 0, 0);
        return;
    }
    const SIZE available = area.available;

    const Measure m = MeasureChildren(available);
    const LayoutSum expand =
        m.adjustable > 0 ? std::max<LayoutSum>(0, (available.cx - m.fixedTotal) / m.adjustable) : 0;

    LayoutSum remainingWidth = available.cx;
    LayoutSum x = LayoutSum{area.client.left} - area.scrollPos.cx;
    LayoutSum fixedLeft = m.fixedTotal;
    int placedSoFar = 0;
    int adjustableSoFar = 0;
    LayoutSum neededWidth = 0;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible())
            continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        const RECT pad = child->GetPadding();
        ++placedSoFar;
        remainingWidth -= pad.left;
        const SIZE limit = LimitByFixedOrMax(child, SIZE{ToRectRange(remainingWidth), HeightFor(available.cy, pad)});
        fixedLeft -= LayoutSum{pad.left} + pad.right;
        if (placedSoFar > 1)
            fixedLeft -= m_childPadding;

        SIZE size = child->EstimateSize(limit);
        if (TakesASharedWidth(child, size)) {
            ++adjustableSoFar;
            LayoutSum width = expand;
            // The last one takes what the division left over.
            if (adjustableSoFar == m.adjustable)
                width = std::max<LayoutSum>(0, remainingWidth - pad.right - fixedLeft);
            size.cx = RaiseThenLower(ToRectRange(width), child->GetMinWidth(), child->GetMaxWidth());
        } else {
            size.cx = RaiseThenLower(size.cx, child->GetMinWidth(), child->GetMaxWidth());
            fixedLeft -= size.cx;
        }

        if (!child->IsAutoCalcHeight())
            size.cy = child->GetMaxHeight();
        if (size.cy == 0)
            size.cy = HeightFor(available.cy, pad);
        size.cy = std::max<LONG>(std::min(std::max<LONG>(size.cy, 0), limit.cy), child->GetMinHeight());

        const auto [top, bottom] = ChildRowSpan(area, pad, size.cy);
        const LayoutSum left = x + pad.left;
        child->SetPos(RectInRange(left, top, left + size.cx, bottom), false);

        x += LayoutSum{size.cx} + m_childPadding + pad.left + pad.right;
        neededWidth += LayoutSum{size.cx} + pad.left + pad.right;
        remainingWidth -= LayoutSum{size.cx} + m_childPadding + pad.right;
    }
    neededWidth += LayoutSum{std::max(m.placed - 1, 0)} * m_childPadding;
    UpdateScrollBars(area.client, ToRectRange(neededWidth), ToRectRange(m.neededHeight));
    KeepLayoutUnchanged();
}

}  // namespace CalUI
