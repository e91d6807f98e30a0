// The scroll bar.

#include "core/ScrollBarUI.h"

#include <algorithm>
#include <climits>
#include <cwchar>

#include "core/AttributeValues.h"
#include "core/ContainerUI.h"
#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

// Positions are formed in 64 bits and handed on as int: a sum or a product
// that leaves the int range stops at its end.
int SaturateToInt(long long value) { return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX)); }

bool IsNoRect(const RECT& rc) { return rc.left == 0 && rc.top == 0 && rc.right == 0 && rc.bottom == 0; }

RECT RelativeTo(const RECT& rc, const RECT& origin)
{
    RECT relative = rc;
    ::OffsetRect(&relative, -origin.left, -origin.top);
    return relative;
}

}  // namespace

CScrollBarUI::CScrollBarUI() { m_fixedWidth = kDefaultThickness; }

LPCWSTR CScrollBarUI::GetClass() const { return L"ScrollBar"; }

void* CScrollBarUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, L"ScrollBar") == 0)
        return this;
    return CControlUI::GetInterface(name);
}

CContainerUI* CScrollBarUI::GetOwner() const { return m_owner; }
void CScrollBarUI::SetOwner(CContainerUI* owner) { m_owner = owner; }

// ---- Range and position -----------------------------------------------------------

bool CScrollBarUI::IsHorizontal() const { return m_horizontal; }

void CScrollBarUI::SetHorizontal(bool horizontal)
{
    if (m_horizontal == horizontal)
        return;
    m_horizontal = horizontal;
    if (horizontal && m_fixedHeight == 0) {
        m_fixedWidth = 0;
        m_fixedHeight = kDefaultThickness;
    } else if (!horizontal && m_fixedWidth == 0) {
        m_fixedWidth = kDefaultThickness;
        m_fixedHeight = 0;
    }
    if (m_owner != nullptr)
        m_owner->RequestUpdate();
    else
        RequestParentUpdate();
}

int CScrollBarUI::GetScrollRange() const { return m_range; }

void CScrollBarUI::SetScrollRange(int range)
{
    if (m_range == range)
        return;
    m_range = std::max(range, 0);
    m_scrollPos = std::min(m_scrollPos, m_range);
    LayOutAgain();
}

int CScrollBarUI::GetScrollPos() const { return m_scrollPos; }

void CScrollBarUI::SetScrollPos(int pos, bool notify)
{
    if (m_scrollPos == pos)
        return;
    const int old = m_scrollPos;
    long long next = std::max(pos, 0);
    if (m_scrollUnit > 1 && next % m_scrollUnit != 0)
        next += m_scrollUnit - next % m_scrollUnit;
    m_scrollPos = static_cast<int>(std::min<long long>(next, m_range));
    // A step past an end clamps back onto the end the bar already stands at.
    if (m_scrollPos == old)
        return;
    LayOutAgain();
    if (notify && m_manager != nullptr)
        m_manager->SendNotify(this, L"scroll", static_cast<WPARAM>(m_scrollPos), static_cast<LPARAM>(old), true, false);
}

int CScrollBarUI::GetLineSize() const { return m_scrollUnit > 1 ? m_scrollUnit : m_lineSize; }

void CScrollBarUI::SetLineSize(int size)
{
    if (size >= 0)
        m_lineSize = size;
}

int CScrollBarUI::GetScrollUnit() const { return m_scrollUnit; }

void CScrollBarUI::SetScrollUnit(int unit)
{
    if (unit >= 0)
        m_scrollUnit = unit;
}

void CScrollBarUI::SetShowButton1(bool show)
{
    m_showButton1 = show;
    LayOutAgain();
}

void CScrollBarUI::SetShowButton2(bool show)
{
    m_showButton2 = show;
    LayOutAgain();
}

// A float bar is placed relative to its parent; SetPos takes it that way.
void CScrollBarUI::LayOutAgain() { SetPos(IsFloat() ? GetRelativePos() : GetPos(), true); }

// ---- Images and colours ---------------------------------------------------------------

void CScrollBarUI::SetButton1NormalImage(LPCWSTR image) { SetPartImage(m_button1.images, PartLook::Normal, image); }
void CScrollBarUI::SetButton1HotImage(LPCWSTR image) { SetPartImage(m_button1.images, PartLook::Hot, image); }
void CScrollBarUI::SetButton1PushedImage(LPCWSTR image) { SetPartImage(m_button1.images, PartLook::Pushed, image); }
void CScrollBarUI::SetButton1DisabledImage(LPCWSTR image) { SetPartImage(m_button1.images, PartLook::Disabled, image); }
void CScrollBarUI::SetButton1Color(DWORD color) { SetPartColor(m_button1.color, color); }

void CScrollBarUI::SetButton2NormalImage(LPCWSTR image) { SetPartImage(m_button2.images, PartLook::Normal, image); }
void CScrollBarUI::SetButton2HotImage(LPCWSTR image) { SetPartImage(m_button2.images, PartLook::Hot, image); }
void CScrollBarUI::SetButton2PushedImage(LPCWSTR image) { SetPartImage(m_button2.images, PartLook::Pushed, image); }
void CScrollBarUI::SetButton2DisabledImage(LPCWSTR image) { SetPartImage(m_button2.images, PartLook::Disabled, image); }
void CScrollBarUI::SetButton2Color(DWORD color) { SetPartColor(m_button2.color, color); }

void CScrollBarUI::SetThumbNormalImage(LPCWSTR image) { SetPartImage(m_thumb.images, PartLook::Normal, image); }
void CScrollBarUI::SetThumbHotImage(LPCWSTR image) { SetPartImage(m_thumb.images, PartLook::Hot, image); }
void CScrollBarUI::SetThumbPushedImage(LPCWSTR image) { SetPartImage(m_thumb.images, PartLook::Pushed, image); }
void CScrollBarUI::SetThumbDisabledImage(LPCWSTR image) { SetPartImage(m_thumb.images, PartLook::Disabled, image); }
void CScrollBarUI::SetThumbColor(DWORD color) { SetPartColor(m_thumb.color, color); }

void CScrollBarUI::SetRailNormalImage(LPCWSTR image) { SetPartImage(m_railImages, PartLook::Normal, image); }
void CScrollBarUI::SetRailHotImage(LPCWSTR image) { SetPartImage(m_railImages, PartLook::Hot, image); }
void CScrollBarUI::SetRailPushedImage(LPCWSTR image) { SetPartImage(m_railImages, PartLook::Pushed, image); }
void CScrollBarUI::SetRailDisabledImage(LPCWSTR image) { SetPartImage(m_railImages, PartLook::Disabled, image); }

void CScrollBarUI::SetBkNormalImage(LPCWSTR image) { SetPartImage(m_bkImages, PartLook::Normal, image); }
void CScrollBarUI::SetBkHotImage(LPCWSTR image) { SetPartImage(m_bkImages, PartLook::Hot, image); }
void CScrollBarUI::SetBkPushedImage(LPCWSTR image) { SetPartImage(m_bkImages, PartLook::Pushed, image); }
void CScrollBarUI::SetBkDisabledImage(LPCWSTR image) { SetPartImage(m_bkImages, PartLook::Disabled, image); }

void CScrollBarUI::SetPartImage(PartImages& images, PartLook look, LPCWSTR image)
{
    SetImageRecord(images[Look(look)], image);
}

void CScrollBarUI::SetPartColor(DWORD& field, DWORD color)
{
    if (field == color)
        return;
    field = color;
    Invalidate();
}

// ---- Layout ---------------------------------------------------------------------------

int CScrollBarUI::Thickness() const { return m_horizontal ? m_fixedHeight : m_fixedWidth; }

int CScrollBarUI::Length() const { return m_horizontal ? m_pos.right - m_pos.left : m_pos.bottom - m_pos.top; }

int CScrollBarUI::ShownButtonsLength() const
{
    return Thickness() * ((m_showButton1 ? 1 : 0) + (m_showButton2 ? 1 : 0));
}

bool CScrollBarUI::HasThumb() const { return !IsNoRect(m_thumb.rect); }

int CScrollBarUI::ThumbLength() const
{
    return m_horizontal ? m_thumb.rect.right - m_thumb.rect.left : m_thumb.rect.bottom - m_thumb.rect.top;
}

RECT CScrollBarUI::Span(int from, int to) const
{
    const int thickness = Thickness();
    if (m_horizontal)
        return RECT{from, m_pos.top, to, m_pos.top + thickness};
    return RECT{m_pos.left, from, m_pos.left + thickness, to};
}

void CScrollBarUI::SetPos(RECT rc, bool invalidate)
{
    CControlUI::SetPos(rc, invalidate);
    PlaceParts();
}

void CScrollBarUI::PlaceParts()
{
    const int thickness = Thickness();
    const int length = Length();
    const int start = m_horizontal ? m_pos.left : m_pos.top;
    const int end = m_horizontal ? m_pos.right : m_pos.bottom;
    const int rail = length - ShownButtonsLength();

    if (rail <= thickness) {
        // Too short for a thumb: the buttons share the length.
        const int button = std::min(length / 2, thickness);
        m_button1.rect = m_showButton1 ? Span(start, start + button) : Span(start, start);
        m_button2.rect = m_showButton2 ? Span(end - button, end) : Span(end, end);
        m_thumb.rect = RECT{0, 0, 0, 0};
        return;
    }

    m_button1.rect = m_showButton1 ? Span(start, start + thickness) : Span(start, start);
    m_button2.rect = m_showButton2 ? Span(end - thickness, end) : Span(end, end);
    const int railStart = m_horizontal ? m_button1.rect.right : m_button1.rect.bottom;
    const int railEnd = m_horizontal ? m_button2.rect.left : m_button2.rect.top;
    if (m_range == 0) {
        m_thumb.rect = Span(railStart, railEnd);
        return;
    }
    const long long thumb = std::max<long long>(
        static_cast<long long>(length) * rail / (static_cast<long long>(m_range) + length), thickness);
    long long thumbStart = (rail - thumb) * m_scrollPos / m_range + railStart;
    if (thumbStart + thumb > railEnd)
        thumbStart = railEnd - thumb;
    m_thumb.rect = Span(static_cast<int>(thumbStart), static_cast<int>(thumbStart + thumb));
}

// ---- Visibility, enabling, focus ------------------------------------------------------------

void CScrollBarUI::SetVisible(bool show)
{
    if (m_visible == show)
        return;
    // The place the bar leaves or takes shows what lies there now.
    InvalidateClipped(m_pos);
    m_visible = show;
    m_focused = false;
    if (!show)
        ReleaseFocus();
    if (m_cover != nullptr)
        m_cover->SetInternVisible(IsVisible());
}

void CScrollBarUI::SetEnabled(bool enable)
{
    CControlUI::SetEnabled(enable);
    if (IsEnabled())
        return;
    m_button1.state = UIControlState::None;
    m_button2.state = UIControlState::None;
    m_thumb.state = UIControlState::None;
}

void CScrollBarUI::SetFocus()
{
    if (m_owner != nullptr)
        m_owner->SetFocus();
    else
        CControlUI::SetFocus();
}

// ---- Events ---------------------------------------------------------------------------

void CScrollBarUI::OnEvent(UIEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        PassOn(event);
        return;
    }
    switch (event.type) {
    case UIEventType::SetFocus:
    case UIEventType::KillFocus:
    case UIEventType::ContextMenu:
        return;
    case UIEventType::ButtonDown:
    case UIEventType::DoubleClick:
        if (IsEnabled())
            OnButtonDown(event.mousePoint);
        return;
    case UIEventType::ButtonUp:
        OnButtonUp();
        return;
    case UIEventType::MouseMove:
        OnMouseMove(event.mousePoint);
        return;
    case UIEventType::Timer:
        if (event.wParam != kRepeatTimerId)
            break;
        OnTimerTick();
        return;
    case UIEventType::MouseEnter:
        OnMouseEnter(event.mousePoint);
        break;
    case UIEventType::MouseLeave:
        if (!OnMouseLeave(event.mousePoint))
            return;
        break;
    default:
        break;
    }
    PassOn(event);
}

// What the bar does not handle itself is the owner's: the wheel and the keys
// scroll the container the bar belongs to.
void CScrollBarUI::PassOn(UIEvent& event)
{
    if (m_owner != nullptr)
        m_owner->OnEvent(event);
    else
        CControlUI::OnEvent(event);
}

void CScrollBarUI::OnButtonDown(POINT pt)
{
    m_dragOffset = 0;
    m_repeatCount = 0;
    if (m_manager != nullptr)
        m_manager->SetTimer(this, kRepeatTimerId, kRepeatPeriodMs);

    if (::PtInRect(&m_button1.rect, pt)) {
        m_button1.state |= UIControlState::Pushed;
        RunStep(Step::LineBefore);
    } else if (::PtInRect(&m_button2.rect, pt)) {
        m_button2.state |= UIControlState::Pushed;
        RunStep(Step::LineAfter);
    } else if (::PtInRect(&m_thumb.rect, pt)) {
        m_thumb.state |= UIControlState::Pushed | UIControlState::Captured;
        m_pressPoint = pt;
        m_dragStartPos = m_scrollPos;
    } else {
        Step step;
        if (RailStepAt(pt, step))
            RunStep(step);
    }
    Invalidate();
}

void CScrollBarUI::OnButtonUp()
{
    m_dragOffset = 0;
    m_repeatCount = 0;
    if (m_manager != nullptr)
        m_manager->KillTimer(this, kRepeatTimerId);

    const UIControlState pushed = UIControlState::Pushed;
    if (HasAny(m_thumb.state, UIControlState::Captured))
        m_thumb.state &= ~(pushed | UIControlState::Captured);
    else if (HasAny(m_button1.state, pushed))
        m_button1.state &= ~pushed;
    else if (HasAny(m_button2.state, pushed))
        m_button2.state &= ~pushed;
    else
        return;
    Invalidate();
}

void CScrollBarUI::OnMouseMove(POINT pt)
{
    if (HasAny(m_thumb.state, UIControlState::Captured)) {
        DragTo(pt);
        return;
    }
    const bool hot = HasAny(m_thumb.state, UIControlState::Hot);
    const bool over = ::PtInRect(&m_thumb.rect, pt) != FALSE;
    if (hot && !over) {
        m_thumb.state &= ~UIControlState::Hot;
        Invalidate();
    } else if (!hot && over && IsEnabled()) {
        m_thumb.state |= UIControlState::Hot;
        Invalidate();
    }
}

// The move only notes the offset; the next tick applies it, so a fast drag
// lays the content out at most once per tick.
void CScrollBarUI::DragTo(POINT pt)
{
    const long long travel = Length() - ThumbLength() - ShownButtonsLength();
    if (travel <= 0)
        return;
    const long long moved = m_horizontal ? pt.x - m_pressPoint.x : pt.y - m_pressPoint.y;
    m_dragOffset = SaturateToInt(moved * m_range / travel);
}

void CScrollBarUI::OnTimerTick()
{
    ++m_repeatCount;
    if (HasAny(m_thumb.state, UIControlState::Captured)) {
        const int target = SaturateToInt(static_cast<long long>(m_dragStartPos) + m_dragOffset);
        if (m_owner != nullptr) {
            SIZE pos = m_owner->GetScrollPos();
            (m_horizontal ? pos.cx : pos.cy) = target;
            m_owner->SetScrollPos(pos, true);
        } else {
            SetScrollPos(target, true);
        }
        Invalidate();
        return;
    }
    const bool repeating = m_repeatCount > kRepeatDelayTicks;
    if (HasAny(m_button1.state, UIControlState::Pushed)) {
        if (repeating)
            RunStep(Step::LineBefore);
    } else if (HasAny(m_button2.state, UIControlState::Pushed)) {
        if (repeating)
            RunStep(Step::LineAfter);
    } else if (repeating && m_manager != nullptr) {
        POINT cursor;
        ::GetCursorPos(&cursor);
        ::ScreenToClient(m_manager->GetPaintWindow(), &cursor);
        Step step;
        if (IsInRail(cursor) && RailStepAt(cursor, step))
            RunStep(step);
    }
}

void CScrollBarUI::OnMouseEnter(POINT pt)
{
    if (!::PtInRect(&m_pos, pt) || !IsEnabled())
        return;
    m_button1.state |= UIControlState::Hot;
    m_button2.state |= UIControlState::Hot;
    if (::PtInRect(&m_thumb.rect, pt))
        m_thumb.state |= UIControlState::Hot;
    Invalidate();
}

bool CScrollBarUI::OnMouseLeave(POINT pt)
{
    if (::PtInRect(&m_pos, pt)) {
        // Something over the bar took the hover; the bar still wants to hear
        // when the mouse really goes.
        if (m_manager != nullptr)
            m_manager->AddMouseLeaveNeeded(this);
        return false;
    }
    if (IsEnabled()) {
        m_button1.state &= ~UIControlState::Hot;
        m_button2.state &= ~UIControlState::Hot;
        m_thumb.state &= ~UIControlState::Hot;
        Invalidate();
    }
    if (m_manager != nullptr)
        m_manager->RemoveMouseLeaveNeeded(this);
    return true;
}

bool CScrollBarUI::IsInRail(POINT pt) const
{
    return ::PtInRect(&m_pos, pt) && !::PtInRect(&m_button1.rect, pt) && !::PtInRect(&m_button2.rect, pt);
}

bool CScrollBarUI::RailStepAt(POINT pt, Step& step) const
{
    if (!HasThumb())
        return false;
    const int at = m_horizontal ? pt.x : pt.y;
    const int thumbStart = m_horizontal ? m_thumb.rect.left : m_thumb.rect.top;
    const int thumbEnd = m_horizontal ? m_thumb.rect.right : m_thumb.rect.bottom;
    if (at < thumbStart)
        step = Step::PageBefore;
    else if (at > thumbEnd)
        step = Step::PageAfter;
    else
        return false;
    return true;
}

void CScrollBarUI::RunStep(Step step)
{
    if (m_owner != nullptr) {
        switch (step) {
        case Step::LineBefore:
            m_horizontal ? m_owner->LineLeft() : m_owner->LineUp();
            break;
        case Step::LineAfter:
            m_horizontal ? m_owner->LineRight() : m_owner->LineDown();
            break;
        case Step::PageBefore:
            m_horizontal ? m_owner->PageLeft() : m_owner->PageUp();
            break;
        case Step::PageAfter:
            m_horizontal ? m_owner->PageRight() : m_owner->PageDown();
            break;
        }
        return;
    }
    const long long page = m_horizontal ? GetWidth() : GetHeight();
    long long pos = m_scrollPos;
    switch (step) {
    case Step::LineBefore:
        pos -= GetLineSize();
        break;
    case Step::LineAfter:
        pos += GetLineSize();
        break;
    case Step::PageBefore:
        pos -= page;
        break;
    case Step::PageAfter:
        pos += page;
        break;
    }
    SetScrollPos(SaturateToInt(pos), true);
}

// ---- Attributes -------------------------------------------------------------------------

namespace {

struct ImageAttribute
{
    LPCWSTR name;
    void (CScrollBarUI::*set)(LPCWSTR);
};

constexpr ImageAttribute kImageAttributes[] = {
    {L"button1normalimage", &CScrollBarUI::SetButton1NormalImage},
    {L"button1hotimage", &CScrollBarUI::SetButton1HotImage},
    {L"button1pushedimage", &CScrollBarUI::SetButton1PushedImage},
    {L"button1disabledimage", &CScrollBarUI::SetButton1DisabledImage},
    {L"button2normalimage", &CScrollBarUI::SetButton2NormalImage},
    {L"button2hotimage", &CScrollBarUI::SetButton2HotImage},
    {L"button2pushedimage", &CScrollBarUI::SetButton2PushedImage},
    {L"button2disabledimage", &CScrollBarUI::SetButton2DisabledImage},
    {L"thumbnormalimage", &CScrollBarUI::SetThumbNormalImage},
    {L"thumbhotimage", &CScrollBarUI::SetThumbHotImage},
    {L"thumbpushedimage", &CScrollBarUI::SetThumbPushedImage},
    {L"thumbdisabledimage", &CScrollBarUI::SetThumbDisabledImage},
    {L"railnormalimage", &CScrollBarUI::SetRailNormalImage},
    {L"railhotimage", &CScrollBarUI::SetRailHotImage},
    {L"railpushedimage", &CScrollBarUI::SetRailPushedImage},
    {L"raildisabledimage", &CScrollBarUI::SetRailDisabledImage},
    {L"bknormalimage", &CScrollBarUI::SetBkNormalImage},
    {L"bkhotimage", &CScrollBarUI::SetBkHotImage},
    {L"bkpushedimage", &CScrollBarUI::SetBkPushedImage},
    {L"bkdisabledimage", &CScrollBarUI::SetBkDisabledImage},
};

bool Is(LPCWSTR name, LPCWSTR attribute) { return std::wcscmp(name, attribute) == 0; }

}  // namespace

void CScrollBarUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    if (Is(name, L"button1color")) {
        SetButton1Color(ParseColorValue(value));
        return;
    }
    if (Is(name, L"button2color")) {
        SetButton2Color(ParseColorValue(value));
        return;
    }
    if (Is(name, L"thumbcolor")) {
        SetThumbColor(ParseColorValue(value));
        return;
    }
    for (const ImageAttribute& attribute : kImageAttributes) {
        if (Is(name, attribute.name)) {
            (this->*attribute.set)(value);
            return;
        }
    }
    if (Is(name, L"hor"))
        SetHorizontal(IsTrueValue(value));
    else if (Is(name, L"linesize"))
        SetLineSize(_wtoi(value));
    else if (Is(name, L"range"))
        SetScrollRange(_wtoi(value));
    else if (Is(name, L"value"))
        SetScrollPos(_wtoi(value), true);
    else if (Is(name, L"scrollunit"))
        SetScrollUnit(_wtoi(value));
    else if (Is(name, L"showbutton1"))
        SetShowButton1(IsTrueValue(value));
    else if (Is(name, L"showbutton2"))
        SetShowButton2(IsTrueValue(value));
    else
        CControlUI::SetAttribute(name, value);
}

// ---- Painting ---------------------------------------------------------------------------

bool CScrollBarUI::OnPaint(HDC hdc, const RECT&, CControlUI*)
{
    PaintBkColor(hdc);
    PaintBkImage(hdc);
    PaintBk(hdc);
    PaintButton1(hdc);
    PaintButton2(hdc);
    PaintThumb(hdc);
    PaintRail(hdc);
    PaintBorder(hdc);
    return true;
}

void CScrollBarUI::RefreshDisabled(UIControlState& state) const
{
    if (IsEnabled())
        state &= ~UIControlState::Disabled;
    else
        state |= UIControlState::Disabled;
}

void CScrollBarUI::DrawStateImage(HDC hdc, PartImages& images, UIControlState state, const RECT* dest)
{
    PartLook look = PartLook::Normal;
    if (HasAny(state, UIControlState::Disabled))
        look = PartLook::Disabled;
    else if (HasAny(state, UIControlState::Pushed))
        look = PartLook::Pushed;
    else if (HasAny(state, UIControlState::Hot))
        look = PartLook::Hot;

    auto draw = [&](ImageDrawInfo& image) {
        if (dest != nullptr)
            image.dest = RelativeTo(*dest, m_pos);
        return DrawImage(hdc, image);
    };
    if (look != PartLook::Normal && draw(images[Look(look)]))
        return;
    draw(images[Look(PartLook::Normal)]);
}

void CScrollBarUI::PaintBk(HDC hdc)
{
    RefreshDisabled(m_thumb.state);
    DrawStateImage(hdc, m_bkImages, m_thumb.state, nullptr);
}

void CScrollBarUI::PaintButton1(HDC hdc)
{
    if (m_showButton1)
        PaintPart(hdc, m_button1);
}

void CScrollBarUI::PaintButton2(HDC hdc)
{
    if (m_showButton2)
        PaintPart(hdc, m_button2);
}

void CScrollBarUI::PaintThumb(HDC hdc)
{
    if (HasThumb())
        PaintPart(hdc, m_thumb);
}

void CScrollBarUI::PaintPart(HDC hdc, Part& part)
{
    RefreshDisabled(part.state);
    // A part of no area would give its image an empty destination, which
    // stands for the whole bar.
    if (::IsRectEmpty(&part.rect))
        return;
    RECT fill;
    if (part.color != 0 && ::IntersectRect(&fill, &part.rect, &m_paintRect))
        CSkinPainter::FillSolidColor(hdc, fill, AdjustColor(part.color));
    DrawStateImage(hdc, part.images, part.state, &part.rect);
}

void CScrollBarUI::PaintRail(HDC hdc)
{
    if (!HasThumb())
        return;
    RefreshDisabled(m_thumb.state);
    const int thickness = Thickness();
    if (thickness <= 0)
        return;
    const RECT& thumb = m_thumb.rect;
    RECT square;
    if (m_horizontal) {
        const int from = (thumb.left + thumb.right) / 2 - thickness / 2;
        square = RECT{from, thumb.top, from + thickness, thumb.bottom};
    } else {
        const int from = (thumb.top + thumb.bottom) / 2 - thickness / 2;
        square = RECT{thumb.left, from, thumb.right, from + thickness};
    }
    DrawStateImage(hdc, m_railImages, m_thumb.state, &square);
}

}  // namespace CalUI
