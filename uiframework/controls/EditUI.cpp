// The edit control: the closed field's looks, its events and attributes.

#include "controls/EditUI.h"

#include <cwchar>

#include "controls/NativeWindowPlace.h"
#include "core/AttributeValues.h"
#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

constexpr RECT kEditTextPadding = {4, 3, 4, 3};
constexpr int kLineExtraHeight = 8;

bool IsNamed(LPCWSTR name, LPCWSTR expected) { return std::wcscmp(name, expected) == 0; }

LPARAM PackPoint(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

}  // namespace

CEditUI::CEditUI() { m_textPadding = kEditTextPadding; }

CEditUI::~CEditUI()
{
    if (m_window == nullptr)
        return;
    // The window outlives this object only as a handle: it must neither
    // report to nor clear anything in a control that is gone.
    CEditWnd* window = m_window;
    m_window = nullptr;
    HWND hWnd = window->GetWindowHandle();
    window->ForgetOwner();
    if (m_manager != nullptr)
        m_manager->RemoveNativeWindow(hWnd);
    ::DestroyWindow(hWnd);
}

LPCWSTR CEditUI::GetClass() const { return L"Edit"; }

void* CEditUI::GetInterface(LPCWSTR name)
{
    if (IsNamed(name, L"Edit"))
        return this;
    return CLabelUI::GetInterface(name);
}

UIControlFlag CEditUI::GetControlFlags() const
{
    return IsEnabled() ? UIControlFlag::TabStop | UIControlFlag::SetCursor : UIControlFlag::None;
}

HWND CEditUI::GetNativeWindow() const { return m_window != nullptr ? m_window->GetWindowHandle() : nullptr; }

void CEditUI::SetText(LPCWSTR text)
{
    if (m_text == text)
        return;
    // An open window reports the new text as it reports typing, once.
    if (m_window != nullptr)
        ::SetWindowTextW(m_window->GetWindowHandle(), text);
    m_text = text;
    NeedMeasure();
    Invalidate();
}

// ---- Place of the native window ----------------------------------------------------

RECT CEditUI::ComputeEditRect() const { return ClipToAncestors(*this, GetTextRect()); }

void CEditUI::PlaceWindow()
{
    if (m_window == nullptr)
        return;
    HWND hWnd = m_window->GetWindowHandle();
    const RECT rc = ComputeEditRect();
    // Hiding a focused window moves the focus away, which closes the window:
    // nothing here may use it afterwards.
    if (::IsRectEmpty(&rc))
        ::ShowWindow(hWnd, SW_HIDE);
    else
        ::SetWindowPos(hWnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                       SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER);
}

void CEditUI::SetPos(RECT rc, bool invalidate)
{
    CLabelUI::SetPos(rc, invalidate);
    PlaceWindow();
}

void CEditUI::Move(SIZE offset, bool invalidate)
{
    CLabelUI::Move(offset, invalidate);
    PlaceWindow();
}

void CEditUI::CloseWindowIfHidden()
{
    if (!IsVisible() && m_window != nullptr && m_manager != nullptr)
        m_manager->SetFocus(nullptr);
}

void CEditUI::SetVisible(bool show)
{
    CLabelUI::SetVisible(show);
    CloseWindowIfHidden();
}

void CEditUI::SetInternVisible(bool show)
{
    CLabelUI::SetInternVisible(show);
    CloseWindowIfHidden();
}

void CEditUI::SetEnabled(bool enable)
{
    CLabelUI::SetEnabled(enable);
    if (!IsEnabled())
        m_state = UIControlState::None;
}

// ---- Events ------------------------------------------------------------------------

void CEditUI::OpenWindow()
{
    m_window = new CEditWnd;
    m_window->Init(this);
    Invalidate();
}

void CEditUI::PassClickToWindow(const UIEvent& event)
{
    HWND hWnd = m_window->GetWindowHandle();
    const int x = event.mousePoint.x - m_pos.left - m_textPadding.left;
    const int y = event.mousePoint.y - m_pos.top - m_textPadding.top;
    ::SendMessageW(hWnd, EM_SETSEL, 0, 0);
    ::SendMessageW(hWnd, WM_LBUTTONDOWN, event.wParam, PackPoint(x, y));
}

// False while the mouse is still inside: the real leave comes later.
bool CEditUI::OnMouseLeave(const UIEvent& event)
{
    if (::PtInRect(&m_pos, event.mousePoint)) {
        if (m_manager != nullptr)
            m_manager->AddMouseLeaveNeeded(this);
        return false;
    }
    if (IsEnabled() && HasAny(m_state, UIControlState::Hot)) {
        m_state &= ~UIControlState::Hot;
        Invalidate();
    }
    if (m_manager != nullptr)
        m_manager->RemoveMouseLeaveNeeded(this);
    return true;
}

void CEditUI::OnEvent(UIEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (m_parent != nullptr)
            m_parent->OnEvent(event);
        else
            CLabelUI::OnEvent(event);
        return;
    }
    switch (event.type) {
    case UIEventType::SetCursor:
        if (IsEnabled()) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
            return;
        }
        break;
    case UIEventType::WindowSize:
        if (m_window != nullptr && m_manager != nullptr)
            m_manager->SetFocusNeeded(this);
        break;
    case UIEventType::ScrollWheel:
        if (m_window != nullptr)
            return;
        break;
    case UIEventType::SetFocus:
        if (IsEnabled()) {
            if (m_window != nullptr)
                return;
            OpenWindow();
        }
        break;
    case UIEventType::KillFocus:
        if (IsEnabled())
            Invalidate();
        break;
    case UIEventType::ButtonDown:
    case UIEventType::DoubleClick:
    case UIEventType::RightButtonDown:
        if (!IsEnabled())
            return;
        if (m_manager != nullptr)
            m_manager->ReleaseCapture();
        if (IsFocused() && m_window == nullptr)
            OpenWindow();
        if (m_window != nullptr && !m_autoSelAll)
            PassClickToWindow(event);
        return;
    case UIEventType::MouseMove:
    case UIEventType::ButtonUp:
    case UIEventType::ContextMenu:
        return;
    case UIEventType::MouseEnter:
        if (::PtInRect(&m_pos, event.mousePoint) && IsEnabled() && !HasAny(m_state, UIControlState::Hot)) {
            m_state |= UIControlState::Hot;
            Invalidate();
        }
        return;
    case UIEventType::MouseLeave:
        OnMouseLeave(event);
        return;
    default:
        break;
    }
    CLabelUI::OnEvent(event);
}

// ---- Attributes and settings ---------------------------------------------------------

void CEditUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    if (IsNamed(name, L"readonly"))
        SetReadOnly(IsTrueValue(value));
    else if (IsNamed(name, L"numberonly"))
        SetNumberOnly(IsTrueValue(value));
    else if (IsNamed(name, L"password"))
        SetPasswordMode(IsTrueValue(value));
    else if (IsNamed(name, L"autoselall"))
        SetAutoSelAll(IsTrueValue(value));
    else if (IsNamed(name, L"maxchar"))
        SetMaxChar(_wtoi(value));
    else if (IsNamed(name, L"normalimage"))
        SetNormalImage(value);
    else if (IsNamed(name, L"hotimage"))
        SetHotImage(value);
    else if (IsNamed(name, L"focusedimage"))
        SetFocusedImage(value);
    else if (IsNamed(name, L"disabledimage"))
        SetDisabledImage(value);
    else if (IsNamed(name, L"nativebkcolor"))
        SetNativeEditBkColor(ParseColorValue(value));
    else
        CLabelUI::SetAttribute(name, value);
}

int CEditUI::GetMaxChar() const { return m_maxChar; }

void CEditUI::SetMaxChar(int maxChars)
{
    m_maxChar = maxChars;
    if (m_window != nullptr)
        ::SendMessageW(m_window->GetWindowHandle(), EM_LIMITTEXT, static_cast<WPARAM>(m_maxChar), 0);
}

bool CEditUI::IsReadOnly() const { return m_readOnly; }

void CEditUI::SetReadOnly(bool readOnly)
{
    if (m_readOnly == readOnly)
        return;
    m_readOnly = readOnly;
    if (m_window != nullptr)
        ::SendMessageW(m_window->GetWindowHandle(), EM_SETREADONLY, m_readOnly, 0);
    Invalidate();
}

bool CEditUI::IsNumberOnly() const { return (m_windowStyle & ES_NUMBER) != 0; }

void CEditUI::SetNumberOnly(bool numberOnly)
{
    if (numberOnly)
        m_windowStyle |= ES_NUMBER;
    else
        m_windowStyle &= ~static_cast<DWORD>(ES_NUMBER);
}

bool CEditUI::IsPasswordMode() const { return m_passwordMode; }

void CEditUI::SetPasswordMode(bool password)
{
    if (m_passwordMode == password)
        return;
    m_passwordMode = password;
    Invalidate();
}

WCHAR CEditUI::GetPasswordChar() const { return m_passwordChar; }

bool CEditUI::IsAutoSelAll() const { return m_autoSelAll; }
void CEditUI::SetAutoSelAll(bool selectAll) { m_autoSelAll = selectAll; }
DWORD CEditUI::GetNativeEditBkColor() const { return m_nativeBkColor; }
void CEditUI::SetNativeEditBkColor(DWORD color) { m_nativeBkColor = color; }
DWORD CEditUI::GetWindowStyles() const { return m_windowStyle; }

void CEditUI::SetNormalImage(LPCWSTR image) { SetImageRecord(m_normalImage, image); }
void CEditUI::SetHotImage(LPCWSTR image) { SetImageRecord(m_hotImage, image); }
void CEditUI::SetFocusedImage(LPCWSTR image) { SetImageRecord(m_focusedImage, image); }
void CEditUI::SetDisabledImage(LPCWSTR image) { SetImageRecord(m_disabledImage, image); }

UIControlState CEditUI::GetEditState() const { return m_state; }

// ---- Size and painting -----------------------------------------------------------------

SIZE CEditUI::EstimateSize(SIZE)
{
    if (m_fixedHeight != 0 || m_manager == nullptr)
        return SIZE{m_fixedWidth, m_fixedHeight};
    const FontInfo* font = m_manager->GetFontInfo(m_font);
    const int textHeight = font != nullptr ? font->textMetrics.tmHeight : 0;
    return SIZE{m_fixedWidth, textHeight + kLineExtraHeight};
}

void CEditUI::PaintStatusImage(HDC hdc)
{
    if (IsFocused())
        m_state |= UIControlState::Focused;
    else
        m_state &= ~UIControlState::Focused;
    if (IsEnabled())
        m_state &= ~UIControlState::Disabled;
    else
        m_state |= UIControlState::Disabled;

    bool drawn = false;
    if (HasAny(m_state, UIControlState::Disabled))
        drawn = DrawImage(hdc, m_disabledImage);
    else if (HasAny(m_state, UIControlState::Focused))
        drawn = DrawImage(hdc, m_focusedImage);
    else if (HasAny(m_state, UIControlState::Hot))
        drawn = DrawImage(hdc, m_hotImage);
    if (!drawn)
        DrawImage(hdc, m_normalImage);
}

void CEditUI::PaintText(HDC hdc)
{
    TakeDefaultTextColors();
    if (m_text.IsEmpty() || m_manager == nullptr)
        return;
    CUIString shown = m_text;
    if (m_passwordMode) {
        shown.Empty();
        for (int i = 0; i < m_text.GetLength(); ++i)
            shown += m_passwordChar;
    }
    const DWORD color = IsEnabled() ? m_textColor : m_disabledTextColor;
    RECT rc = GetTextRect();
    if (!m_enabledEffect) {
        CSkinPainter::DrawPlainText(hdc, m_manager, rc, shown, color, m_font, m_textStyle | DT_SINGLELINE);
        return;
    }
    CWindowManagerUI::ReplaceLanguageTokens(shown);
    TextEffectStyle solid;
    solid.renderingHint = m_effects.renderingHint;
    DrawEffectText(hdc, m_manager->GetFont(m_font), rc, shown, color, m_textStyle | DT_SINGLELINE, solid);
}

}  // namespace CalUI
