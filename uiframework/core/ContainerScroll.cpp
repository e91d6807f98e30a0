// The container's scroll bars: creating them, sizing them to the room the
// children need, and the scrolling operations their buttons, the keys and
// the mouse wheel call.

#include <cstdlib>

#include "core/ContainerUI.h"
#include "core/ScrollBarUI.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

constexpr int kDefaultLineStep = 8;

}  // namespace

// ---- The bars -------------------------------------------------------------------

bool CContainerUI::IsBarShown(const CScrollBarUI* bar) const { return bar != nullptr && bar->IsVisible(); }

bool CContainerUI::IsBarActive(const CScrollBarUI* bar) const { return IsBarShown(bar) && bar->IsEnabled(); }

CScrollBarUI* CContainerUI::GetVerticalScrollBar() const { return m_verticalScrollBar; }
CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const { return m_horizontalScrollBar; }

CScrollBarUI* CContainerUI::CreateScrollBar(bool horizontal)
{
    auto* bar = new CScrollBarUI;
    bar->SetScrollRange(0);
    if (horizontal)
        bar->SetHorizontal(true);
    bar->SetOwner(this);
    bar->SetManager(m_manager, nullptr, false);
    if (m_manager != nullptr) {
        if (LPCWSTR list = m_manager->GetDefaultAttributeList(horizontal ? L"HScrollBar" : L"VScrollBar"))
            bar->SetAttributeList(list);
    }
    return bar;
}

void CContainerUI::DeleteScrollBar(CScrollBarUI*& bar)
{
    if (bar == nullptr)
        return;
    bar->Delete();
    bar = nullptr;
}

void CContainerUI::EnableScrollBar(bool vertical, bool horizontal)
{
    if (vertical && m_verticalScrollBar == nullptr)
        m_verticalScrollBar = CreateScrollBar(false);
    else if (!vertical)
        DeleteScrollBar(m_verticalScrollBar);
    if (horizontal && m_horizontalScrollBar == nullptr)
        m_horizontalScrollBar = CreateScrollBar(true);
    else if (!horizontal)
        DeleteScrollBar(m_horizontalScrollBar);
    RequestUpdate();
}

// ---- Sizing the bars to the content ------------------------------------------------

bool CContainerUI::ResizeBarRange(CScrollBarUI* bar, int overflow)
{
    const int before = bar->GetScrollPos();
    bar->SetScrollRange(std::abs(overflow));
    if (bar->GetScrollRange() == 0) {
        bar->SetVisible(false);
        bar->SetScrollPos(0, true);
    }
    return bar->GetScrollPos() < before;
}

void CContainerUI::UpdateScrollBars(RECT rc, int neededWidth, int neededHeight)
{
    if (m_verticalScrollBar != nullptr && m_horizontalScrollBar != nullptr) {
        UpdateBothBars(rc, neededWidth, neededHeight);
    } else if (m_verticalScrollBar != nullptr) {
        const int width = m_verticalScrollBar->GetFixedWidth();
        UpdateSingleBar(m_verticalScrollBar, neededHeight - (rc.bottom - rc.top),
                        RECT{rc.right, rc.top, rc.right + width, rc.bottom});
    } else if (m_horizontalScrollBar != nullptr) {
        const int height = m_horizontalScrollBar->GetFixedHeight();
        UpdateSingleBar(m_horizontalScrollBar, neededWidth - (rc.right - rc.left),
                        RECT{rc.left, rc.bottom, rc.right, rc.bottom + height});
    }
}

// With one bar only: show it when the children overflow, hide it when they
// fit, else place it at `barPos` and follow the overflow.
void CContainerUI::UpdateSingleBar(CScrollBarUI* bar, int overflow, const RECT& barPos)
{
    if (overflow > 0 && !bar->IsVisible()) {
        bar->SetVisible(true);
        bar->SetScrollRange(overflow);
        bar->SetScrollPos(0, true);
        m_scrollRelayout = true;
        Relayout(true);
        m_scrollRelayout = false;
        return;
    }
    if (!bar->IsVisible())
        return;
    if (overflow < 1 && !m_scrollRelayout) {
        bar->SetVisible(false);
        bar->SetScrollPos(0, true);
        bar->SetScrollRange(0);
        Relayout(true);
        return;
    }
    bar->SetPos(barPos, false);
    if (bar->GetScrollRange() != overflow && ResizeBarRange(bar, overflow))
        Relayout(false);
}

// The horizontal bar is settled first: whether it shows changes the height
// left for the vertical decision.
void CContainerUI::UpdateBothBars(RECT rc, int neededWidth, int neededHeight)
{
    CScrollBarUI* vertical = m_verticalScrollBar;
    CScrollBarUI* horizontal = m_horizontalScrollBar;
    auto placeHorizontal = [&] {
        horizontal->SetPos(RECT{rc.left, rc.bottom, rc.right, rc.bottom + horizontal->GetFixedHeight()}, false);
    };

    bool changed = false;
    if (neededWidth > rc.right - rc.left) {
        if (!horizontal->IsVisible()) {
            horizontal->SetVisible(true);
            horizontal->SetScrollPos(0, true);
            rc.bottom -= horizontal->GetFixedHeight();
        }
        placeHorizontal();
        const int overflow = neededWidth - (rc.right - rc.left);
        if (horizontal->GetScrollRange() != overflow) {
            horizontal->SetScrollRange(overflow);
            changed = true;
        }
    } else if (horizontal->IsVisible()) {
        // A bar leaves the layout to its owner: the children, placed for the
        // shown bar, are placed again.
        horizontal->SetVisible(false);
        rc.bottom += horizontal->GetFixedHeight();
        changed = true;
    }

    const int overflow = neededHeight - (rc.bottom - rc.top);
    if (overflow > 0 && !vertical->IsVisible()) {
        vertical->SetVisible(true);
        vertical->SetScrollRange(overflow);
        vertical->SetScrollPos(0, true);
        rc.right -= vertical->GetFixedWidth();
        if (horizontal->IsVisible()) {
            placeHorizontal();
            horizontal->SetScrollRange(neededWidth - (rc.right - rc.left));
        }
        m_scrollRelayout = true;
        Relayout(true);
        m_scrollRelayout = false;
        return;
    }
    if (!vertical->IsVisible()) {
        if (changed)
            Relayout(true);
        return;
    }
    if (overflow < 1 && !m_scrollRelayout) {
        vertical->SetVisible(false);
        vertical->SetScrollPos(0, true);
        vertical->SetScrollRange(0);
        rc.right += vertical->GetFixedWidth();
        if (horizontal->IsVisible()) {
            placeHorizontal();
            horizontal->SetScrollRange(neededWidth - (rc.right - rc.left));
        }
        Relayout(true);
        return;
    }
    vertical->SetPos(RECT{rc.right, rc.top, rc.right + vertical->GetFixedWidth(), rc.bottom}, false);
    if (vertical->GetScrollRange() != overflow && (ResizeBarRange(vertical, overflow) || changed))
        Relayout(false);
}

// ---- Scrolling ----------------------------------------------------------------------

SIZE CContainerUI::GetScrollPos() const
{
    SIZE pos = {0, 0};
    if (IsBarShown(m_horizontalScrollBar))
        pos.cx = m_horizontalScrollBar->GetScrollPos();
    if (IsBarShown(m_verticalScrollBar))
        pos.cy = m_verticalScrollBar->GetScrollPos();
    return pos;
}

SIZE CContainerUI::GetScrollRange() const
{
    SIZE range = {0, 0};
    if (IsBarShown(m_horizontalScrollBar))
        range.cx = m_horizontalScrollBar->GetScrollRange();
    if (IsBarShown(m_verticalScrollBar))
        range.cy = m_verticalScrollBar->GetScrollRange();
    return range;
}

void CContainerUI::SetScrollPos(SIZE pos, bool notify)
{
    int dx = 0;
    int dy = 0;
    if (IsBarShown(m_verticalScrollBar)) {
        const int old = m_verticalScrollBar->GetScrollPos();
        m_verticalScrollBar->SetScrollPos(pos.cy, notify);
        dy = m_verticalScrollBar->GetScrollPos() - old;
    }
    if (IsBarShown(m_horizontalScrollBar)) {
        const int old = m_horizontalScrollBar->GetScrollPos();
        m_horizontalScrollBar->SetScrollPos(pos.cx, notify);
        dx = m_horizontalScrollBar->GetScrollPos() - old;
    }
    if (dx == 0 && dy == 0)
        return;
    for (int i = 0; i < m_items.GetCount(); ++i) {
        CControlUI* child = ChildAt(i);
        if (child->IsVisible() && !child->IsFloat())
            child->Move(SIZE{-dx, -dy}, false);
    }
    Invalidate();
}

int CContainerUI::VerticalLineStep() const
{
    int step = kDefaultLineStep;
    if (m_manager != nullptr)
        step += m_manager->GetDefaultFontInfo()->textMetrics.tmHeight;
    if (m_verticalScrollBar != nullptr && m_verticalScrollBar->GetScrollUnit() > 1)
        step = m_verticalScrollBar->GetScrollUnit();
    return step;
}

int CContainerUI::HorizontalLineStep() const
{
    if (m_horizontalScrollBar != nullptr && m_horizontalScrollBar->GetScrollUnit() > 1)
        return m_horizontalScrollBar->GetScrollUnit();
    return kDefaultLineStep;
}

int CContainerUI::VerticalPage() const
{
    int page = GetHeight() - m_inset.top - m_inset.bottom;
    if (IsBarShown(m_horizontalScrollBar))
        page -= m_horizontalScrollBar->GetFixedHeight();
    return page;
}

int CContainerUI::HorizontalPage() const
{
    int page = GetWidth() - m_inset.left - m_inset.right;
    if (IsBarShown(m_verticalScrollBar))
        page -= m_verticalScrollBar->GetFixedWidth();
    return page;
}

void CContainerUI::LineUp()
{
    const SIZE pos = GetScrollPos();
    SetScrollPos(SIZE{pos.cx, pos.cy - VerticalLineStep()}, true);
}

void CContainerUI::LineDown()
{
    const SIZE pos = GetScrollPos();
    SetScrollPos(SIZE{pos.cx, pos.cy + VerticalLineStep()}, true);
}

void CContainerUI::PageUp()
{
    const SIZE pos = GetScrollPos();
    SetScrollPos(SIZE{pos.cx, pos.cy - VerticalPage()}, true);
}

void CContainerUI::PageDown()
{
    const SIZE pos = GetScrollPos();
    SetScrollPos(SIZE{pos.cx, pos.cy + VerticalPage()}, true);
}

void CContainerUI::ScrollToTop() { SetScrollPos(SIZE{GetScrollPos().cx, 0}, true); }

void CContainerUI::ScrollToBottom()
{
    // The range is known only after the layout that the next paint runs.
    if (m_manager == nullptr || m_scrollToBottomPending)
        return;
    m_scrollToBottomPending = true;
    m_manager->AddPostPaint(this);
}

void CContainerUI::LineLeft()
{
    const SIZE pos = GetScrollPos();
    SetScrollPos(SIZE{pos.cx - HorizontalLineStep(), pos.cy}, true);
}

void CContainerUI::LineRight()
{
    const SIZE pos = GetScrollPos();
    SetScrollPos(SIZE{pos.cx + HorizontalLineStep(), pos.cy}, true);
}

void CContainerUI::PageLeft()
{
    const SIZE pos = GetScrollPos();
    SetScrollPos(SIZE{pos.cx - HorizontalPage(), pos.cy}, true);
}

void CContainerUI::PageRight()
{
    const SIZE pos = GetScrollPos();
    SetScrollPos(SIZE{pos.cx + HorizontalPage(), pos.cy}, true);
}

void CContainerUI::ScrollToLeft() { SetScrollPos(SIZE{0, GetScrollPos().cy}, true); }

void CContainerUI::ScrollToRight() { SetScrollPos(SIZE{GetScrollRange().cx, GetScrollPos().cy}, true); }

}  // namespace CalUI
