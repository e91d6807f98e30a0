// The button.

#include "controls/ButtonUI.h"

#include <cwchar>

#include "core/AttributeValues.h"
#include "core/LoadedImage.h"
#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

constexpr DWORD kOpaque = 0xFF000000;
constexpr BYTE kFadeOpaque = 255;
constexpr int kFiveStatusFrames = 5;

bool IsNamed(LPCWSTR name, LPCWSTR expected) { return std::wcscmp(name, expected) == 0; }

}  // namespace

CButtonUI::CButtonUI() { m_textStyle = DT_CENTER | DT_VCENTER | DT_SINGLELINE; }

LPCWSTR CButtonUI::GetClass() const { return L"Button"; }

void* CButtonUI::GetInterface(LPCWSTR name)
{
    if (IsNamed(name, L"Button"))
        return this;
    return CLabelUI::GetInterface(name);
}

UIControlFlag CButtonUI::GetControlFlags() const
{
    UIControlFlag flags = UIControlFlag::None;
    if (IsKeyboardEnabled())
        flags |= UIControlFlag::TabStop;
    if (IsEnabled())
        flags |= UIControlFlag::SetCursor;
    return flags;
}

bool CButtonUI::Activate()
{
    if (!CLabelUI::Activate())
        return false;
    if (m_manager != nullptr)
        m_manager->SendNotify(this, L"click");
    return true;
}

void CButtonUI::SetEnabled(bool enable)
{
    CLabelUI::SetEnabled(enable);
    if (IsEnabled())
        return;
    m_state = UIControlState::None;
    // The hover goes with the state: a fade left at the hot end would show
    // the hot image in place of the normal one.
    m_fadeAlpha = kFadeOpaque;
    if (m_manager != nullptr)
        m_manager->KillTimer(this, kButtonFadeTimerId);
}

UIControlState CButtonUI::GetButtonState() const { return m_state; }

bool CButtonUI::HasState(UIControlState bits) const { return HasAny(m_state, bits); }

void CButtonUI::SetState(UIControlState bits, bool on)
{
    if (on)
        m_state |= bits;
    else
        m_state &= ~bits;
}

void CButtonUI::RefreshFocusAndEnabledState()
{
    SetState(UIControlState::Focused, IsFocused());
    SetState(UIControlState::Disabled, !IsEnabled());
}

bool CButtonUI::IsInside(POINT pt) const { return ::PtInRect(&m_pos, pt) != FALSE; }

bool CButtonUI::IsUnderMouse() const
{
    if (m_manager == nullptr)
        return false;
    POINT pt;
    if (!::GetCursorPos(&pt) || !::ScreenToClient(m_manager->GetPaintWindow(), &pt))
        return false;
    return IsInside(pt);
}

// ---- Events --------------------------------------------------------------------

void CButtonUI::OnEvent(UIEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (m_parent != nullptr)
            m_parent->OnEvent(event);
        else
            CLabelUI::OnEvent(event);
        return;
    }
    const bool captured = HasState(UIControlState::Captured);
    switch (event.type) {
    case UIEventType::SetFocus:
    case UIEventType::KillFocus:
        Invalidate();
        break;
    case UIEventType::KeyDown:
        if ((event.keyChar == VK_SPACE || event.keyChar == VK_RETURN) && IsVisible() && IsKeyboardEnabled() &&
            IsEnabled()) {
            Activate();
            return;
        }
        break;
    case UIEventType::ButtonDown:
    case UIEventType::DoubleClick:
        if (IsInside(event.mousePoint) && IsEnabled()) {
            m_state |= UIControlState::Pushed | UIControlState::Captured;
            Invalidate();
        }
        return;
    case UIEventType::MouseMove:
        if (captured) {
            SetState(UIControlState::Pushed, IsInside(event.mousePoint));
            Invalidate();
        }
        return;
    case UIEventType::ButtonUp:
        if (captured) {
            if (IsInside(event.mousePoint) && IsEnabled())
                Activate();
            m_state &= ~(UIControlState::Pushed | UIControlState::Captured);
            Invalidate();
        }
        return;
    case UIEventType::ContextMenu:
        if (IsContextMenuUsed() && IsEnabled() && m_manager != nullptr)
            m_manager->SendNotify(this, L"menu", event.wParam, event.lParam);
        return;
    case UIEventType::MouseEnter:
        OnMouseEnter(event);
        break;
    case UIEventType::MouseLeave:
        if (!OnMouseLeave(event))
            return;
        break;
    case UIEventType::SetCursor:
        ApplyCursor();
        return;
    case UIEventType::Timer:
        if (event.wParam == kButtonFadeTimerId) {
            StepFade();
            return;
        }
        break;
    default:
        break;
    }
    CLabelUI::OnEvent(event);
}

void CButtonUI::OnMouseEnter(const UIEvent& event)
{
    if (!IsInside(event.mousePoint))
        return;
    if (IsEnabled() && !HasState(UIControlState::Hot)) {
        m_state |= UIControlState::Hot;
        Invalidate();
    }
    if (m_manager != nullptr)
        m_manager->SendNotify(this, L"mouseenter");
    StartFade();
}

bool CButtonUI::OnMouseLeave(const UIEvent& event)
{
    if (IsInside(event.mousePoint)) {
        // The mouse moved onto a control over this button: the real leave
        // comes when the hovered control changes again.
        if (m_manager != nullptr)
            m_manager->AddMouseLeaveNeeded(this);
        return false;
    }
    if (IsEnabled() && HasState(UIControlState::Hot)) {
        m_state &= ~UIControlState::Hot;
        Invalidate();
    }
    if (m_manager != nullptr) {
        m_manager->SendNotify(this, L"mouseleave");
        m_manager->RemoveMouseLeaveNeeded(this);
    }
    StartFade();
    return true;
}

void CButtonUI::StartFade()
{
    if (m_fadeDelta != 0 && m_manager != nullptr)
        m_manager->SetTimer(this, kButtonFadeTimerId, kButtonFadeTimerMs);
}

// Hot fades the normal image out, not hot fades it back in; the timer stops
// at either end.
void CButtonUI::StepFade()
{
    const bool atEnd =
        HasState(UIControlState::Hot) ? m_fadeAlpha <= m_fadeDelta : m_fadeAlpha >= kFadeOpaque - m_fadeDelta;
    if (atEnd) {
        m_fadeAlpha = HasState(UIControlState::Hot) ? 0 : kFadeOpaque;
        if (m_manager != nullptr)
            m_manager->KillTimer(this, kButtonFadeTimerId);
    } else if (HasState(UIControlState::Hot)) {
        m_fadeAlpha = static_cast<BYTE>(m_fadeAlpha - m_fadeDelta);
    } else {
        m_fadeAlpha = static_cast<BYTE>(m_fadeAlpha + m_fadeDelta);
    }
    Invalidate();
}

void CButtonUI::ApplyCursor() const
{
    const bool arrow = m_cursorName == L"arrow";
    ::SetCursor(::LoadCursorW(nullptr, arrow ? IDC_ARROW : IDC_HAND));
}

// ---- Attributes ----------------------------------------------------------------

void CButtonUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    if (IsNamed(name, L"normalimage"))
        SetNormalImage(value);
    else if (IsNamed(name, L"hotimage"))
        SetHotImage(value);
    else if (IsNamed(name, L"pushedimage"))
        SetPushedImage(value);
    else if (IsNamed(name, L"focusedimage"))
        SetFocusedImage(value);
    else if (IsNamed(name, L"disabledimage"))
        SetDisabledImage(value);
    else if (IsNamed(name, L"foreimage"))
        SetForeImage(value);
    else if (IsNamed(name, L"hotforeimage"))
        SetHotForeImage(value);
    else if (IsNamed(name, L"fivestatusimage"))
        SetFiveStatusImage(value);
    else if (IsNamed(name, L"fadedelta"))
        SetFadeDelta(static_cast<BYTE>(_wtoi(value)));
    else if (IsNamed(name, L"hotbkcolor"))
        SetHotBkColor(ParseColorValue(value));
    else if (IsNamed(name, L"hottextcolor"))
        SetHotTextColor(ParseColorValue(value));
    else if (IsNamed(name, L"hotbordercolor"))
        SetHotBorderColor(ParseColorValue(value));
    else if (IsNamed(name, L"pushedtextcolor"))
        SetPushedTextColor(ParseColorValue(value));
    else if (IsNamed(name, L"focusedtextcolor"))
        SetFocusedTextColor(ParseColorValue(value));
    else if (IsNamed(name, L"focusedbkcolor"))
        SetFocusedBkColor(ParseColorValue(value));
    else if (IsNamed(name, L"cursor"))
        SetCursorName(value);
    else
        CLabelUI::SetAttribute(name, value);
}

void CButtonUI::SetStateImage(ImageDrawInfo& record, LPCWSTR image)
{
    if (record.TakeAttributeText(image))
        Invalidate();
}

void CButtonUI::SetNormalImage(LPCWSTR image) { SetStateImage(m_normalImage, image); }
void CButtonUI::SetHotImage(LPCWSTR image) { SetStateImage(m_hotImage, image); }
void CButtonUI::SetPushedImage(LPCWSTR image) { SetStateImage(m_pushedImage, image); }
void CButtonUI::SetFocusedImage(LPCWSTR image) { SetStateImage(m_focusedImage, image); }
void CButtonUI::SetDisabledImage(LPCWSTR image) { SetStateImage(m_disabledImage, image); }
void CButtonUI::SetHotForeImage(LPCWSTR image) { SetStateImage(m_hotForeImage, image); }

void CButtonUI::SetFiveStatusImage(LPCWSTR image)
{
    ImageDrawInfo* frames[kFiveStatusFrames] = {&m_normalImage, &m_pushedImage, &m_hotImage, &m_focusedImage,
                                                &m_disabledImage};
    for (int i = 0; i < kFiveStatusFrames; ++i) {
        ImageDrawInfo& frame = *frames[i];
        frame.Clear();
        frame.attributeText = image;
        DrawImage(nullptr, frame);
        if (frame.image == nullptr)
            continue;
        const LONG width = frame.image->width / kFiveStatusFrames;
        frame.source = RECT{i * width, 0, (i + 1) * width, frame.image->height};
    }
    if (m_normalImage.image != nullptr && m_float && m_fixedWidth == 0 && m_fixedHeight == 0) {
        SetFixedWidth(m_normalImage.image->width / kFiveStatusFrames);
        SetFixedHeight(m_normalImage.image->height);
    }
    Invalidate();
}

DWORD CButtonUI::GetHotBkColor() const { return m_hotBkColor; }
void CButtonUI::SetHotBkColor(DWORD color) { m_hotBkColor = color; }
DWORD CButtonUI::GetHotBorderColor() const { return m_hotBorderColor; }
void CButtonUI::SetHotBorderColor(DWORD color) { m_hotBorderColor = color; }
DWORD CButtonUI::GetHotTextColor() const { return m_hotTextColor; }
void CButtonUI::SetHotTextColor(DWORD color) { m_hotTextColor = color; }
DWORD CButtonUI::GetPushedTextColor() const { return m_pushedTextColor; }
void CButtonUI::SetPushedTextColor(DWORD color) { m_pushedTextColor = color; }
DWORD CButtonUI::GetFocusedTextColor() const { return m_focusedTextColor; }
void CButtonUI::SetFocusedTextColor(DWORD color) { m_focusedTextColor = color; }
DWORD CButtonUI::GetFocusedBkColor() const { return m_focusedBkColor; }
void CButtonUI::SetFocusedBkColor(DWORD color) { m_focusedBkColor = color; }

BYTE CButtonUI::GetFadeDelta() const { return m_fadeDelta; }
void CButtonUI::SetFadeDelta(BYTE step) { m_fadeDelta = step; }

const CUIString& CButtonUI::GetCursorName() const { return m_cursorName; }

void CButtonUI::SetCursorName(LPCWSTR name)
{
    m_cursorName = name;
    if (!IsEnabled() || !IsUnderMouse())
        return;
    if (m_cursorName == L"arrow")
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    else if (m_cursorName == L"hand")
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
}

// ---- Painting ------------------------------------------------------------------

void CButtonUI::FillStateBkColor(HDC hdc, DWORD color)
{
    const RECT& area = color >= kOpaque ? m_paintRect : m_pos;
    CSkinPainter::FillSolidColor(hdc, area, AdjustColor(color));
}

bool CButtonUI::PaintFocusedOrHotBkColor(HDC hdc)
{
    if (!IsEnabled())
        return false;
    if (IsFocused() && m_focusedBkColor != 0) {
        FillStateBkColor(hdc, m_focusedBkColor);
        return true;
    }
    if (HasState(UIControlState::Hot) && m_hotBkColor != 0) {
        FillStateBkColor(hdc, m_hotBkColor);
        return true;
    }
    return false;
}

void CButtonUI::PaintBkColor(HDC hdc)
{
    if (!PaintFocusedOrHotBkColor(hdc))
        CLabelUI::PaintBkColor(hdc);
}

bool CButtonUI::DrawImageFaded(HDC hdc, ImageDrawInfo& image, BYTE fade)
{
    if (!DrawImage(nullptr, image))
        return false;
    image.fade = fade;
    return DrawImage(hdc, image);
}

void CButtonUI::PaintNormalImage(HDC hdc)
{
    if (m_fadeDelta == 0) {
        DrawImage(hdc, m_normalImage);
    } else if (m_fadeAlpha == kFadeOpaque) {
        DrawImageFaded(hdc, m_normalImage, kFadeOpaque);
    } else {
        DrawImageFaded(hdc, m_hotImage, static_cast<BYTE>(kFadeOpaque - m_fadeAlpha));
        DrawImageFaded(hdc, m_normalImage, m_fadeAlpha);
    }
}

// True when the hot fore image was drawn, which ends the status images.
bool CButtonUI::PaintHotImage(HDC hdc)
{
    if (m_fadeDelta == 0) {
        if (!DrawImage(hdc, m_hotImage))
            DrawImage(hdc, m_normalImage);
    } else if (m_fadeAlpha == 0) {
        DrawImageFaded(hdc, m_hotImage, kFadeOpaque);
    } else {
        DrawImageFaded(hdc, m_normalImage, m_fadeAlpha);
        DrawImageFaded(hdc, m_hotImage, static_cast<BYTE>(kFadeOpaque - m_fadeAlpha));
    }
    return DrawImage(hdc, m_hotForeImage);
}

void CButtonUI::PaintStatusImage(HDC hdc)
{
    RefreshFocusAndEnabledState();
    if (HasState(UIControlState::Disabled)) {
        if (!DrawImage(hdc, m_disabledImage))
            PaintNormalImage(hdc);
    } else if (HasState(UIControlState::Pushed)) {
        if (!DrawImage(hdc, m_pushedImage))
            DrawImage(hdc, m_normalImage);
    } else if (HasState(UIControlState::Hot)) {
        if (PaintHotImage(hdc))
            return;
    } else if (!HasState(UIControlState::Focused) || !DrawImage(hdc, m_focusedImage)) {
        PaintNormalImage(hdc);
    }
    DrawImage(hdc, m_foreImage);
}

void CButtonUI::DrawStateText(HDC hdc, DWORD color)
{
    if (!m_enabledEffect) {
        DrawLabelText(hdc, color);
        return;
    }
    if (m_manager == nullptr || m_text.IsEmpty())
        return;
    CUIString text = m_text;
    CWindowManagerUI::ReplaceLanguageTokens(text);
    TextEffectStyle solid;
    solid.renderingHint = m_effects.renderingHint;
    DrawEffectText(hdc, m_manager->GetFont(m_font), GetTextRect(), text, color, m_textStyle, solid);
}

void CButtonUI::PaintText(HDC hdc)
{
    RefreshFocusAndEnabledState();
    TakeDefaultTextColors();
    DWORD color = IsEnabled() ? m_textColor : m_disabledTextColor;
    if (HasState(UIControlState::Pushed) && m_pushedTextColor != 0)
        color = m_pushedTextColor;
    else if (HasState(UIControlState::Hot) && m_hotTextColor != 0)
        color = m_hotTextColor;
    else if (HasState(UIControlState::Focused) && m_focusedTextColor != 0)
        color = m_focusedTextColor;
    DrawStateText(hdc, color);
}

void CButtonUI::PaintBorder(HDC hdc)
{
    const bool focusColorWins = IsFocused() && m_focusBorderColor != 0;
    if (focusColorWins || !HasState(UIControlState::Hot) || m_hotBorderColor == 0) {
        CLabelUI::PaintBorder(hdc);
        return;
    }
    // The base draws the border colour: the hot one stands in for this paint.
    const DWORD borderColor = m_borderColor;
    m_borderColor = m_hotBorderColor;
    CLabelUI::PaintBorder(hdc);
    m_borderColor = borderColor;
}

}  // namespace CalUI
