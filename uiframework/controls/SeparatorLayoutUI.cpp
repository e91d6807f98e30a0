// The separator strip of the vertical and horizontal layouts and its drag.

#include "controls/SeparatorLayoutUI.h"

#include <algorithm>
#include <cwchar>

#include "core/AttributeValues.h"
#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

constexpr DWORD kTrackerColor = 0xAA000000;

}  // namespace

CSeparatorLayoutUI::CSeparatorLayoutUI(UISeparatorAxis axis) : m_axis(axis) {}

UIControlFlag CSeparatorLayoutUI::GetControlFlags() const
{
    return IsEnabled() && m_separatorSize != 0 ? UIControlFlag::SetCursor : UIControlFlag::None;
}

int CSeparatorLayoutUI::GetSeparatorSize() const { return m_separatorSize; }
void CSeparatorLayoutUI::SetSeparatorSize(int size) { m_separatorSize = size; }

bool CSeparatorLayoutUI::IsSepImmMode() const { return m_immediate; }

void CSeparatorLayoutUI::SetSepImmMode(bool immediate)
{
    if (m_immediate == immediate)
        return;
    if (IsDraggingSeparator() && !m_immediate && m_manager != nullptr)
        m_manager->RemovePostPaint(this);
    m_immediate = immediate;
}

bool CSeparatorLayoutUI::IsDraggingSeparator() const { return HasAny(m_separatorState, UIControlState::Captured); }

void CSeparatorLayoutUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    if (std::wcscmp(name, SizeAttributeName()) == 0)
        SetSeparatorSize(_wtoi(value));
    else if (std::wcscmp(name, L"sepimm") == 0)
        SetSepImmMode(IsTrueValue(value));
    else
        CContainerUI::SetAttribute(name, value);
}

// ---- The axis -------------------------------------------------------------------

LONG CSeparatorLayoutUI::Along(POINT pt) const { return m_axis == UISeparatorAxis::Height ? pt.y : pt.x; }

LONG& CSeparatorLayoutUI::NearEdge(RECT& rc) const { return m_axis == UISeparatorAxis::Height ? rc.top : rc.left; }

LONG& CSeparatorLayoutUI::FarEdge(RECT& rc) const { return m_axis == UISeparatorAxis::Height ? rc.bottom : rc.right; }

int CSeparatorLayoutUI::Extent(const RECT& rc) const
{
    return m_axis == UISeparatorAxis::Height ? rc.bottom - rc.top : rc.right - rc.left;
}

int CSeparatorLayoutUI::MinExtent() const { return m_axis == UISeparatorAxis::Height ? GetMinHeight() : GetMinWidth(); }

int CSeparatorLayoutUI::MaxExtent() const { return m_axis == UISeparatorAxis::Height ? GetMaxHeight() : GetMaxWidth(); }

LPCWSTR CSeparatorLayoutUI::SizeAttributeName() const
{
    return m_axis == UISeparatorAxis::Height ? L"sepheight" : L"sepwidth";
}

LPCWSTR CSeparatorLayoutUI::SizingCursor() const { return m_axis == UISeparatorAxis::Height ? IDC_SIZENS : IDC_SIZEWE; }

// ---- The strip ------------------------------------------------------------------

RECT CSeparatorLayoutUI::GetSeparatorRect(bool useNew) const
{
    RECT rc = useNew && IsDraggingSeparator() ? m_newPos : m_pos;
    // In 64 bits: a skin may give any size.
    const LONGLONG size = m_separatorSize;
    if (size >= 0)
        NearEdge(rc) = static_cast<LONG>(std::max<LONGLONG>(FarEdge(rc) - size, NearEdge(rc)));
    else
        FarEdge(rc) = static_cast<LONG>(std::min<LONGLONG>(NearEdge(rc) - size, FarEdge(rc)));
    return rc;
}

void CSeparatorLayoutUI::PostPaint(HDC hdc)
{
    if (IsDraggingSeparator() && !m_immediate)
        CSkinPainter::FillSolidColor(hdc, GetSeparatorRect(true), kTrackerColor);
    CContainerUI::PostPaint(hdc);
}

// ---- Placement helpers of the twins -------------------------------------------------

int CSeparatorLayoutUI::RaiseThenLower(int value, int minimum, int maximum)
{
    return std::min(std::max(value, minimum), maximum);
}

SIZE CSeparatorLayoutUI::LimitByFixedOrMax(const CControlUI* child, SIZE limit)
{
    const int maxWidth = child->GetFixedWidth() < 1 ? child->GetMaxWidth() : child->GetFixedWidth();
    const int maxHeight = child->GetFixedHeight() < 1 ? child->GetMaxHeight() : child->GetFixedHeight();
    return SIZE{std::min<LONG>(limit.cx, maxWidth), std::min<LONG>(limit.cy, maxHeight)};
}

// ---- The drag -------------------------------------------------------------------

void CSeparatorLayoutUI::OnEvent(UIEvent& event)
{
    if (m_separatorSize != 0) {
        switch (event.type) {
        case UIEventType::ButtonDown:
            if (StartDrag(event))
                return;
            break;
        case UIEventType::ButtonUp:
            if (IsDraggingSeparator()) {
                EndDrag();
                return;
            }
            break;
        case UIEventType::MouseMove:
            if (IsDraggingSeparator()) {
                DragTo(event.mousePoint);
                return;
            }
            break;
        case UIEventType::SetCursor: {
            const RECT strip = GetSeparatorRect(false);
            if (IsEnabled() && ::PtInRect(&strip, event.mousePoint)) {
                ::SetCursor(::LoadCursorW(nullptr, SizingCursor()));
                return;
            }
            break;
        }
        default:
            break;
        }
    }
    CContainerUI::OnEvent(event);
}

bool CSeparatorLayoutUI::StartDrag(const UIEvent& event)
{
    const RECT strip = GetSeparatorRect(false);
    if (!IsEnabled() || !::PtInRect(&strip, event.mousePoint))
        return false;
    // A press without the release of the last one must not list us twice.
    const bool listed = IsDraggingSeparator() && !m_immediate;
    m_separatorState |= UIControlState::Captured;
    m_lastMouse = event.mousePoint;
    m_newPos = m_pos;
    if (!m_immediate && !listed && m_manager != nullptr)
        m_manager->AddPostPaint(this);
    return true;
}

void CSeparatorLayoutUI::EndDrag()
{
    m_separatorState &= ~UIControlState::Captured;
    m_pos = m_newPos;
    if (!m_immediate && m_manager != nullptr)
        m_manager->RemovePostPaint(this);
    RequestParentUpdate();
}

void CSeparatorLayoutUI::DragTo(POINT pt)
{
    const int delta = Along(pt) - Along(m_lastMouse);
    m_lastMouse = pt;
    if (!FollowsTheEdge(Along(pt), delta))
        return;
    RECT rc = m_newPos;
    if (m_separatorSize < 0)
        NearEdge(rc) += delta;
    else
        FarEdge(rc) += delta;
    if (!ClampToLimits(rc))
        return;

    const RECT oldTracker = GetSeparatorRect(true);
    m_newPos = rc;
    // Stored without asking the parent for a layout: in tracker mode the
    // layout keeps its size until the release.
    if (m_axis == UISeparatorAxis::Height)
        m_fixedHeight = Extent(rc);
    else
        m_fixedWidth = Extent(rc);

    if (m_immediate) {
        m_pos = m_newPos;
        RequestParentUpdate();
    } else {
        InvalidateTracker(oldTracker);
    }
}

// The edge follows the mouse only while the mouse is on the side it moves
// to: a mouse that went past a limit and turns back moves nothing until it
// reaches the strip again. Both axes use one rule, so the edge keeps the
// offset at which the strip was grabbed.
bool CSeparatorLayoutUI::FollowsTheEdge(LONG along, int delta) const
{
    RECT rc = m_newPos;
    const LONGLONG size = m_separatorSize;
    if (size < 0) {
        const LONG edge = NearEdge(rc);
        return !((delta > 0 && along < edge) || (delta < 0 && along > edge - size));
    }
    const LONG edge = FarEdge(rc);
    return !((delta > 0 && along < edge - size) || (delta < 0 && along > edge));
}

bool CSeparatorLayoutUI::ClampToLimits(RECT& rc) const
{
    const int reached = Extent(m_newPos);
    if (Extent(rc) <= MinExtent()) {
        if (reached <= MinExtent())
            return false;
        SetDraggedEdgeForExtent(rc, MinExtent());
    }
    if (Extent(rc) >= MaxExtent()) {
        if (reached >= MaxExtent())
            return false;
        SetDraggedEdgeForExtent(rc, MaxExtent());
    }
    return true;
}

void CSeparatorLayoutUI::SetDraggedEdgeForExtent(RECT& rc, int extent) const
{
    if (m_separatorSize < 0)
        NearEdge(rc) = FarEdge(rc) - extent;
    else
        FarEdge(rc) = NearEdge(rc) + extent;
}

void CSeparatorLayoutUI::InvalidateTracker(const RECT& oldTracker)
{
    if (m_manager == nullptr)
        return;
    const RECT newTracker = GetSeparatorRect(true);
    const RECT strip = GetSeparatorRect(false);
    RECT area;
    ::UnionRect(&area, &oldTracker, &newTracker);
    ::UnionRect(&area, &area, &strip);
    m_manager->Invalidate(area);
}

}  // namespace CalUI
