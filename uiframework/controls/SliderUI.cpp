// The slider.

#include "controls/SliderUI.h"

#include <algorithm>
#include <climits>
#include <cwchar>

#include "core/AttributeValues.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

// A rectangle's edges in 64 bits, so that no sum of edges and thumb sizes
// overflows.
struct Edges
{
    long long left;
    long long top;
    long long right;
    long long bottom;
};

Edges EdgesOf(const RECT& rc) { return Edges{rc.left, rc.top, rc.right, rc.bottom}; }

}  // namespace

CSliderUI::CSliderUI() { m_textStyle = DT_CENTER | DT_SINGLELINE; }

LPCWSTR CSliderUI::GetClass() const { return L"Slider"; }

void* CSliderUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, L"Slider") == 0)
        return this;
    return CProgressUI::GetInterface(name);
}

UIControlFlag CSliderUI::GetControlFlags() const
{
    return IsEnabled() ? UIControlFlag::TabStop | UIControlFlag::SetCursor : UIControlFlag::None;
}

void CSliderUI::SetEnabled(bool enable)
{
    CProgressUI::SetEnabled(enable);
    if (!enable)
        m_state = UIControlState::None;
}

void CSliderUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    if (std::wcscmp(name, L"thumbimage") == 0)
        SetThumbImage(value);
    else if (std::wcscmp(name, L"thumbhotimage") == 0)
        SetThumbHotImage(value);
    else if (std::wcscmp(name, L"thumbpushedimage") == 0)
        SetThumbPushedImage(value);
    else if (std::wcscmp(name, L"thumbsize") == 0)
        SetThumbSize(ParseSizeValue(value));
    else if (std::wcscmp(name, L"step") == 0)
        SetChangeStep(_wtoi(value));
    else if (std::wcscmp(name, L"imm") == 0)
        SetCanSendMove(IsTrueValue(value));
    else
        CProgressUI::SetAttribute(name, value);
}

int CSliderUI::GetChangeStep() const { return m_step; }
void CSliderUI::SetChangeStep(int step) { m_step = step; }

void CSliderUI::SetThumbSize(SIZE size) { m_thumbSize = SIZE{std::max(size.cx, 0L), std::max(size.cy, 0L)}; }

void CSliderUI::SetCanSendMove(bool canSend) { m_sendMove = canSend; }

void CSliderUI::SetThumbImage(LPCWSTR image) { SetImageText(m_thumbImage, image); }
void CSliderUI::SetThumbHotImage(LPCWSTR image) { SetImageText(m_thumbHotImage, image); }
void CSliderUI::SetThumbPushedImage(LPCWSTR image) { SetImageText(m_thumbPushedImage, image); }

void CSliderUI::SetImageText(ImageDrawInfo& image, LPCWSTR text)
{
    if (image.image != nullptr && image.attributeText == text)
        return;  // a text that failed to load is tried again
    image.Clear();
    image.attributeText = text;
    Invalidate();
}

// ---- Geometry -------------------------------------------------------------------

RECT CSliderUI::GetThumbRect()
{
    RepairRange();
    const long long span = static_cast<long long>(m_max) - m_min;
    const long long done = static_cast<long long>(m_value) - m_min;
    const Edges rc = EdgesOf(m_pos);
    const long long thumbWidth = m_thumbSize.cx;
    const long long thumbHeight = m_thumbSize.cy;
    long long left = 0;
    long long top = 0;
    if (m_horizontal) {
        left = rc.left + Scale(rc.right - rc.left - thumbWidth, done, span);
        top = (rc.top + rc.bottom - thumbHeight) / 2;
    } else {
        left = (rc.left + rc.right - thumbWidth) / 2;
        top = rc.bottom - thumbHeight - Scale(rc.bottom - rc.top - thumbHeight, done, span);
    }
    return RECT{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(left + thumbWidth),
                static_cast<LONG>(top + thumbHeight)};
}

// Between the two ends the pointer is at least half a thumb from either, so
// the length it divides by is at least 1 and the value lies within the range.
int CSliderUI::ValueAt(POINT pt)
{
    RepairRange();
    const long long span = static_cast<long long>(m_max) - m_min;
    const Edges rc = EdgesOf(m_pos);
    if (m_horizontal) {
        const long long x = pt.x;
        const long long half = m_thumbSize.cx / 2;
        if (x >= rc.right - half)
            return m_max;
        if (x <= rc.left + half)
            return m_min;
        return static_cast<int>(m_min + Scale(span, x - rc.left - half, rc.right - rc.left - m_thumbSize.cx));
    }
    const long long y = pt.y;
    const long long half = m_thumbSize.cy / 2;
    if (y >= rc.bottom - half)
        return m_min;
    if (y <= rc.top + half)
        return m_max;
    return static_cast<int>(m_min + Scale(span, rc.bottom - y - half, rc.bottom - rc.top - m_thumbSize.cy));
}

// ---- Events ---------------------------------------------------------------------

bool CSliderUI::HasState(UIControlState bit) const { return HasAny(m_state, bit); }

void CSliderUI::NotifyValueChanged()
{
    if (m_manager != nullptr)
        m_manager->SendNotify(this, L"valuechanged");
}

void CSliderUI::OnEvent(UIEvent& event)
{
    if (IsMouseEvent(event.type) && !IsMouseEnabled()) {
        if (m_parent != nullptr)
            m_parent->OnEvent(event);
        else
            CLabelUI::OnEvent(event);
        return;
    }
    switch (event.type) {
    case UIEventType::ButtonDown:
    case UIEventType::DoubleClick:
        OnPress(event.mousePoint);
        return;
    case UIEventType::ButtonUp:
        if (!HasState(UIControlState::Captured))
            break;
        OnRelease(event.mousePoint);
        return;
    case UIEventType::ContextMenu:
        return;
    case UIEventType::ScrollWheel:
        if (!IsEnabled() || !OnWheel(event.wParam))
            break;
        return;
    case UIEventType::MouseMove:
        if (HasState(UIControlState::Captured))
            OnDrag(event.mousePoint);
        return;
    case UIEventType::SetCursor: {
        const RECT thumb = GetThumbRect();
        if (!IsEnabled() || !::PtInRect(&thumb, event.mousePoint))
            break;
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return;
    }
    case UIEventType::MouseEnter:
        OnMouseEnter(event.mousePoint);
        return;
    case UIEventType::MouseLeave:
        OnMouseLeave(event.mousePoint);
        return;
    default:
        break;
    }
    // Not the label's: the base repaints on focus changes, which the focus
    // border needs.
    CControlUI::OnEvent(event);
}

// The pushed image shows from the press on, also when the value stays.
void CSliderUI::OnPress(POINT pt)
{
    if (!IsEnabled())
        return;
    m_state |= UIControlState::Captured;
    m_value = ValueAt(pt);
    Invalidate();
}

// The notification comes last: the window may destroy the slider in it.
void CSliderUI::OnRelease(POINT pt)
{
    m_value = ValueAt(pt);
    m_state &= ~UIControlState::Captured;
    Invalidate();
    NotifyValueChanged();
}

void CSliderUI::OnDrag(POINT pt)
{
    m_value = ValueAt(pt);
    Invalidate();
    if (m_sendMove)
        NotifyValueChanged();
}

bool CSliderUI::OnWheel(WPARAM direction)
{
    long long change = 0;
    switch (LOWORD(direction)) {
    case 0:
        change = m_step;
        break;
    case 1:
        change = -static_cast<long long>(m_step);
        break;
    default:
        return false;
    }
    SetValue(static_cast<int>(std::clamp<long long>(m_value + change, INT_MIN, INT_MAX)));
    NotifyValueChanged();
    return true;
}

void CSliderUI::OnMouseEnter(POINT pt)
{
    if (!IsEnabled() || HasState(UIControlState::Hot) || !::PtInRect(&m_pos, pt))
        return;
    m_state |= UIControlState::Hot;
    Invalidate();
}

// A pointer still over the slider (on a control floating above it) keeps it
// hot; the manager then reports every later leave as well.
void CSliderUI::OnMouseLeave(POINT pt)
{
    if (::PtInRect(&m_pos, pt)) {
        if (m_manager != nullptr)
            m_manager->AddMouseLeaveNeeded(this);
        return;
    }
    if (IsEnabled() && HasState(UIControlState::Hot)) {
        m_state &= ~UIControlState::Hot;
        Invalidate();
    }
    if (m_manager != nullptr)
        m_manager->RemoveMouseLeaveNeeded(this);
}

// ---- Painting -------------------------------------------------------------------

void CSliderUI::PaintStatusImage(HDC hdc)
{
    CProgressUI::PaintStatusImage(hdc);
    RECT thumb = GetThumbRect();
    ::OffsetRect(&thumb, -m_pos.left, -m_pos.top);
    ImageDrawInfo* stateImage = HasState(UIControlState::Captured) ? &m_thumbPushedImage
                                : HasState(UIControlState::Hot)    ? &m_thumbHotImage
                                                                   : nullptr;
    if (stateImage != nullptr && DrawImageAt(hdc, *stateImage, thumb))
        return;
    DrawImageAt(hdc, m_thumbImage, thumb);
}

}  // namespace CalUI
