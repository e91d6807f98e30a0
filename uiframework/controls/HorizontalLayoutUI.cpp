// The horizontal layout's placement of its children.

#include "controls/HorizontalLayoutUI.h"

#include <algorithm>
#include <cwchar>

#include "controls/LayoutArea.h"

namespace CalUI {

// What the first pass learns of the visible, non-float children.
struct CHorizontalLayoutUI::Measure
{
    int placed = 0;
    int adjustable = 0;  // children that share the width left over
    int fixedTotal = 0;  // widths and paddings of the others, and the gaps
    int neededHeight = 0;
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
        const SIZE limit = LimitByFixedOrMax(child, SIZE{available.cx, available.cy - pad.top - pad.bottom});
        SIZE size = child->EstimateSize(limit);
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
        m.fixedTotal += size.cx + pad.left + pad.right;
        size.cy = RaiseThenLower(std::max<LONG>(size.cy, 0), child->GetMinHeight(), child->GetMaxHeight());
        m.neededHeight = std::max<int>(m.neededHeight, size.cy + pad.top + pad.bottom);
        ++m.placed;
    }
    m.fixedTotal += std::max(m.placed - 1, 0) * m_childPadding;
    return m;
}

// The child's top and bottom as "childvalign" places them; left and right
// are left 0.
RECT CHorizontalLayoutUI::ChildRowSpan(const LayoutArea& area, const RECT& padding, int height) const
{
    const RECT& client = area.client;
    const int scrollPos = area.scrollPos.cy;
    const int scrollRange = area.scrollRange.cy;
    switch (m_childVAlign) {
    case UIChildVAlign::Center: {
        // Centred children move by the difference of their top and bottom padding.
        const int y = (client.top + client.bottom) / 2 + scrollRange / 2 - scrollPos;
        const int shift = padding.top - padding.bottom;
        return RECT{0, y - height / 2 + shift, 0, y + height - height / 2 + shift};
    }
    case UIChildVAlign::Bottom: {
        const int y = client.bottom + scrollRange - scrollPos;
        return RECT{0, y - padding.bottom - height, 0, y - padding.bottom};
    }
    default: {
        const int y = client.top - scrollPos;
        return RECT{0, y + padding.top, 0, y + padding.top + height};
    }
    }
}

void CHorizontalLayoutUI::SetPos(RECT rc, bool invalidate)
{
    ResetBarsForNewSize(rc);
    CControlUI::SetPos(rc, invalidate);
    const LayoutArea area = LayoutAreaOf(*this);
    if (GetCount() == 0) {
        UpdateScrollBars(area.client, 0, 0);
        return;
    }
    const SIZE available = area.available;

    const Measure m = MeasureChildren(available);
    const int expand = m.adjustable > 0 ? std::max<int>(0, (available.cx - m.fixedTotal) / m.adjustable) : 0;

    SIZE remaining = available;
    int x = area.client.left - area.scrollPos.cx;
    int fixedLeft = m.fixedTotal;
    int placedSoFar = 0;
    int adjustableSoFar = 0;
    int neededWidth = 0;
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
        remaining.cx -= pad.left;
        const SIZE limit = LimitByFixedOrMax(child, SIZE{remaining.cx, remaining.cy - pad.top - pad.bottom});
        fixedLeft -= pad.left + pad.right;
        if (placedSoFar > 1)
            fixedLeft -= m_childPadding;

        SIZE size = child->EstimateSize(limit);
        if (TakesASharedWidth(child, size)) {
            ++adjustableSoFar;
            size.cx = expand;
            // The last one takes what the division left over.
            if (adjustableSoFar == m.adjustable)
                size.cx = std::max<LONG>(0, remaining.cx - pad.right - fixedLeft);
            size.cx = RaiseThenLower(size.cx, child->GetMinWidth(), child->GetMaxWidth());
        } else {
            size.cx = RaiseThenLower(size.cx, child->GetMinWidth(), child->GetMaxWidth());
            fixedLeft -= size.cx;
        }

        if (!child->IsAutoCalcHeight())
            size.cy = child->GetMaxHeight();
        if (size.cy == 0)
            size.cy = available.cy - pad.top - pad.bottom;
        size.cy = std::max<LONG>(std::min(std::max<LONG>(size.cy, 0), limit.cy), child->GetMinHeight());

        RECT place = ChildRowSpan(area, pad, size.cy);
        place.left = x + pad.left;
        place.right = place.left + size.cx;
        child->SetPos(place, false);

        x += size.cx + m_childPadding + pad.left + pad.right;
        neededWidth += size.cx + pad.left + pad.right;
        remaining.cx -= size.cx + m_childPadding + pad.right;
    }
    neededWidth += std::max(m.placed - 1, 0) * m_childPadding;
    UpdateScrollBars(area.client, neededWidth, m.neededHeight);
}

}  // namespace CalUI
