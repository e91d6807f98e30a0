// The animated buttons.

#include "controls/AnimatedButtonUI.h"

#include <cwchar>

#include "controls/LabelEffects.h"
#include "core/AttributeValues.h"
#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

bool IsNamed(LPCWSTR name, LPCWSTR expected) { return std::wcscmp(name, expected) == 0; }

}  // namespace

// Counts the button's own events; the last one out deletes a button whose
// delayed clean-up already ran while it was busy.
template <class Animation>
class CAnimatedButtonUI<Animation>::EventScope
{
public:
    explicit EventScope(CAnimatedButtonUI& button) : m_button(button) { ++m_button.m_eventDepth; }
    ~EventScope()
    {
        if (--m_button.m_eventDepth == 0 && m_button.m_deleteAfterEvent)
            delete &m_button;
    }
    EventScope(const EventScope&) = delete;
    EventScope& operator=(const EventScope&) = delete;

private:
    CAnimatedButtonUI& m_button;
};

template <class Animation>
CAnimatedButtonUI<Animation>::CAnimatedButtonUI()
{
    this->m_textStyle = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
}

template <class Animation>
void CAnimatedButtonUI<Animation>::Delete()
{
    if (m_eventDepth == 0) {
        Animation::Delete();
        return;
    }
    // Still inside its own event: the code that sent the notification goes
    // on with this object once the window's handler returns.
    if (!m_cleanupQueued && this->m_manager != nullptr) {
        m_cleanupQueued = true;
        this->m_manager->AddDelayedCleanup(this);
        return;
    }
    if (this->m_manager != nullptr)
        this->m_manager->RemoveMouseLeaveNeeded(this);
    m_deleteAfterEvent = true;
}

template <class Animation>
UIControlFlag CAnimatedButtonUI<Animation>::GetControlFlags() const
{
    UIControlFlag flags = UIControlFlag::None;
    if (this->IsKeyboardEnabled())
        flags |= UIControlFlag::TabStop;
    if (this->IsEnabled())
        flags |= UIControlFlag::SetCursor;
    return flags;
}

template <class Animation>
bool CAnimatedButtonUI<Animation>::Activate()
{
    if (!CControlUI::Activate())
        return false;
    EventScope scope(*this);
    if (this->m_manager != nullptr)
        this->m_manager->SendNotify(this, L"click");
    return true;
}

template <class Animation>
void CAnimatedButtonUI<Animation>::SetEnabled(bool enable)
{
    Animation::SetEnabled(enable);
    if (!this->IsEnabled())
        m_state = UIControlState::None;
}

template <class Animation>
UIControlState CAnimatedButtonUI<Animation>::GetButtonState() const
{
    return m_state;
}

template <class Animation>
bool CAnimatedButtonUI<Animation>::HasState(UIControlState bits) const
{
    return HasAny(m_state, bits);
}

template <class Animation>
bool CAnimatedButtonUI<Animation>::IsInside(POINT pt) const
{
    return ::PtInRect(&this->m_pos, pt) != FALSE;
}

template <class Animation>
bool CAnimatedButtonUI<Animation>::IsUnderMouse() const
{
    if (this->m_manager == nullptr)
        return false;
    POINT pt;
    if (!::GetCursorPos(&pt) || !::ScreenToClient(this->m_manager->GetPaintWindow(), &pt))
        return false;
    return IsInside(pt);
}

template <class Animation>
void CAnimatedButtonUI<Animation>::OnEvent(UIEvent& event)
{
    EventScope scope(*this);
    HandleEvent(event);
}

template <class Animation>
void CAnimatedButtonUI<Animation>::HandleEvent(UIEvent& event)
{
    if (!this->IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (this->m_parent != nullptr)
            this->m_parent->OnEvent(event);
        else
            Animation::OnEvent(event);
        return;
    }
    const bool captured = HasState(UIControlState::Captured);
    switch (event.type) {
    case UIEventType::KeyDown:
        if ((event.keyChar == VK_SPACE || event.keyChar == VK_RETURN) && this->IsKeyboardEnabled() &&
            this->IsEnabled()) {
            Activate();
            return;
        }
        break;
    case UIEventType::ButtonDown:
    case UIEventType::DoubleClick:
        if (IsInside(event.mousePoint) && this->IsEnabled()) {
            m_state |= UIControlState::Pushed | UIControlState::Captured;
            this->Invalidate();
        }
        return;
    case UIEventType::MouseMove:
        if (captured) {
            if (IsInside(event.mousePoint))
                m_state |= UIControlState::Pushed;
            else
                m_state &= ~UIControlState::Pushed;
            this->Invalidate();
        }
        return;
    case UIEventType::ButtonUp:
        if (captured) {
            if (IsInside(event.mousePoint) && this->IsEnabled())
                Activate();
            m_state &= ~(UIControlState::Pushed | UIControlState::Captured);
            this->Invalidate();
        }
        return;
    case UIEventType::ContextMenu:
        if (this->IsContextMenuUsed() && this->IsEnabled() && this->m_manager != nullptr)
            this->m_manager->SendNotify(this, L"menu", event.wParam, event.lParam);
        return;
    case UIEventType::MouseEnter:
        OnMouseEnter(event);
        break;
    case UIEventType::MouseLeave:
        if (!OnMouseLeave(event))
            return;
        break;
    case UIEventType::SetCursor:
        ::SetCursor(::LoadCursorW(nullptr, m_cursorName == L"arrow" ? IDC_ARROW : IDC_HAND));
        return;
    default:
        break;
    }
    Animation::OnEvent(event);
}

template <class Animation>
void CAnimatedButtonUI<Animation>::OnMouseEnter(const UIEvent& event)
{
    if (!IsInside(event.mousePoint))
        return;
    if (this->IsEnabled() && !HasState(UIControlState::Hot)) {
        m_state |= UIControlState::Hot;
        this->Invalidate();
    }
    if (this->m_manager != nullptr)
        this->m_manager->SendNotify(this, L"mouseenter");
}

template <class Animation>
bool CAnimatedButtonUI<Animation>::OnMouseLeave(const UIEvent& event)
{
    if (IsInside(event.mousePoint)) {
        // A control over this button took the hover: the real leave comes
        // when the hovered control changes again.
        if (this->m_manager != nullptr)
            this->m_manager->AddMouseLeaveNeeded(this);
        return false;
    }
    if (this->IsEnabled() && HasState(UIControlState::Hot)) {
        m_state &= ~UIControlState::Hot;
        this->Invalidate();
    }
    if (this->m_manager != nullptr) {
        this->m_manager->SendNotify(this, L"mouseleave");
        this->m_manager->RemoveMouseLeaveNeeded(this);
    }
    return true;
}

template <class Animation>
void CAnimatedButtonUI<Animation>::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    if (IsNamed(name, L"cursor"))
        SetCursorName(value);
    else if (IsNamed(name, L"hotbkcolor"))
        SetHotBkColor(ParseColorValue(value));
    else if (IsNamed(name, L"hottextcolor"))
        SetHotTextColor(ParseColorValue(value));
    else if (IsNamed(name, L"pushedtextcolor"))
        SetPushedTextColor(ParseColorValue(value));
    else
        Animation::SetAttribute(name, value);
}

template <class Animation>
const CUIString& CAnimatedButtonUI<Animation>::GetCursorName() const
{
    return m_cursorName;
}

template <class Animation>
void CAnimatedButtonUI<Animation>::SetCursorName(LPCWSTR name)
{
    m_cursorName = name;
    if (!this->IsEnabled() || !IsUnderMouse())
        return;
    if (m_cursorName == L"arrow")
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    else if (m_cursorName == L"hand")
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
}

template <class Animation>
DWORD CAnimatedButtonUI<Animation>::GetHotBkColor() const
{
    return m_hotBkColor;
}
template <class Animation>
void CAnimatedButtonUI<Animation>::SetHotBkColor(DWORD color)
{
    m_hotBkColor = color;
}
template <class Animation>
DWORD CAnimatedButtonUI<Animation>::GetHotTextColor() const
{
    return m_hotTextColor;
}
template <class Animation>
void CAnimatedButtonUI<Animation>::SetHotTextColor(DWORD color)
{
    m_hotTextColor = color;
}
template <class Animation>
DWORD CAnimatedButtonUI<Animation>::GetPushedTextColor() const
{
    return m_pushedTextColor;
}
template <class Animation>
void CAnimatedButtonUI<Animation>::SetPushedTextColor(DWORD color)
{
    m_pushedTextColor = color;
}

template <class Animation>
void CAnimatedButtonUI<Animation>::PaintBkColor(HDC hdc)
{
    if (this->IsEnabled() && HasState(UIControlState::Hot) && m_hotBkColor != 0) {
        CSkinPainter::FillSolidColor(hdc, this->m_paintRect, this->AdjustColor(m_hotBkColor));
        return;
    }
    Animation::PaintBkColor(hdc);
}

template <class Animation>
void CAnimatedButtonUI<Animation>::PaintText(HDC hdc)
{
    if (this->IsFocused())
        m_state |= UIControlState::Focused;
    else
        m_state &= ~UIControlState::Focused;
    if (this->IsEnabled())
        m_state &= ~UIControlState::Disabled;
    else
        m_state |= UIControlState::Disabled;
    this->TakeDefaultTextColors();
    if (this->m_text.IsEmpty())
        return;
    DWORD color = this->IsEnabled() ? this->m_textColor : this->m_disabledTextColor;
    if (HasState(UIControlState::Pushed) && m_pushedTextColor != 0)
        color = m_pushedTextColor;
    else if (HasState(UIControlState::Hot) && m_hotTextColor != 0)
        color = m_hotTextColor;
    if (!this->m_enabledEffect) {
        this->DrawLabelText(hdc, color);
        return;
    }
    if (this->m_manager == nullptr)
        return;
    CUIString text = this->m_text;
    CWindowManagerUI::ReplaceLanguageTokens(text);
    TextEffectStyle solid;
    solid.renderingHint = this->m_effects.renderingHint;
    DrawEffectText(hdc, this->m_manager->GetFont(this->m_font), this->GetTextRect(), text, color, this->m_textStyle,
                   solid);
}

template class CAnimatedButtonUI<CGifAnimUI>;
template class CAnimatedButtonUI<CApngAnimUI>;

LPCWSTR CGifButtonUI::GetClass() const { return L"GifButton"; }

void* CGifButtonUI::GetInterface(LPCWSTR name)
{
    if (IsNamed(name, L"GifButton"))
        return this;
    return CAnimatedButtonUI<CGifAnimUI>::GetInterface(name);
}

LPCWSTR CApngButtonUI::GetClass() const { return L"ApngButton"; }

void* CApngButtonUI::GetInterface(LPCWSTR name)
{
    if (IsNamed(name, L"ApngButton"))
        return this;
    return CAnimatedButtonUI<CApngAnimUI>::GetInterface(name);
}

}  // namespace CalUI
