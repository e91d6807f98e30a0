// The date field and its native picker.

#include "controls/DateTimeUI.h"

#include <commctrl.h>

#include <cwchar>

#include "controls/NativeWindowPlace.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

bool IsNamed(LPCWSTR name, LPCWSTR expected) { return std::wcscmp(name, expected) == 0; }

// The picker class is registered by the common controls on request only.
void RegisterPickerClassOnce()
{
    static const bool registered = [] {
        INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_DATE_CLASSES};
        return ::InitCommonControlsEx(&classes) != FALSE;
    }();
    (void)registered;
}

}  // namespace

// ---- The field ------------------------------------------------------------------------

CDateTimeUI::CDateTimeUI()
{
    ::GetLocalTime(&m_date);
    m_updateMode = DateTextUpdate::Update;
    UpdateText();
    m_updateMode = DateTextUpdate::None;
}

CDateTimeUI::~CDateTimeUI()
{
    if (m_window == nullptr)
        return;
    CDateTimeWnd* window = m_window;
    m_window = nullptr;
    HWND hWnd = window->GetWindowHandle();
    window->ForgetOwner();
    if (m_manager != nullptr)
        m_manager->RemoveNativeWindow(hWnd);
    ::DestroyWindow(hWnd);
}

LPCWSTR CDateTimeUI::GetClass() const { return L"DateTime"; }

void* CDateTimeUI::GetInterface(LPCWSTR name)
{
    if (IsNamed(name, L"DateTime"))
        return this;
    return CLabelUI::GetInterface(name);
}

UIControlFlag CDateTimeUI::GetControlFlags() const { return UIControlFlag::TabStop; }

HWND CDateTimeUI::GetNativeWindow() const { return m_window != nullptr ? m_window->GetWindowHandle() : nullptr; }

SYSTEMTIME CDateTimeUI::GetDate() const { return m_date; }
void CDateTimeUI::SetDate(const SYSTEMTIME& date) { m_date = date; }
DateTextUpdate CDateTimeUI::GetUpdateMode() const { return m_updateMode; }
void CDateTimeUI::SetUpdateMode(DateTextUpdate mode) { m_updateMode = mode; }

void CDateTimeUI::UpdateText()
{
    if (m_updateMode == DateTextUpdate::Delete) {
        SetText(L"");
    } else if (m_updateMode == DateTextUpdate::Update) {
        CUIString text;
        text.Format(L"%4d-%02d-%02d", m_date.wYear, m_date.wMonth, m_date.wDay);
        SetText(text);
    }
}

void CDateTimeUI::PlacePicker()
{
    if (m_window == nullptr)
        return;
    HWND hWnd = m_window->GetWindowHandle();
    const RECT rc = m_window->CalcPos();
    // Hiding the focused picker ends it (and its object): nothing here may
    // use it afterwards.
    if (::IsRectEmpty(&rc))
        ::ShowWindow(hWnd, SW_HIDE);
    else
        ::SetWindowPos(hWnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                       SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER);
}

void CDateTimeUI::SetPos(RECT rc, bool invalidate)
{
    CLabelUI::SetPos(rc, invalidate);
    PlacePicker();
}

void CDateTimeUI::Move(SIZE offset, bool invalidate)
{
    CLabelUI::Move(offset, invalidate);
    PlacePicker();
}

void CDateTimeUI::OpenPicker()
{
    if (m_window == nullptr)
        m_window = new CDateTimeWnd;
    // Init may end in a failed creation, which frees the object.
    m_window->Init(this);
    if (m_window != nullptr)
        m_window->ShowWindow(true, true);
}

void CDateTimeUI::OnEvent(UIEvent& event)
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
            OpenPicker();
        }
        break;
    case UIEventType::KillFocus:
        if (IsEnabled())
            Invalidate();
        break;
    case UIEventType::ButtonDown:
    case UIEventType::DoubleClick:
    case UIEventType::RightButtonDown:
        if (IsEnabled()) {
            if (m_manager != nullptr)
                m_manager->ReleaseCapture();
            if (IsFocused() || m_window != nullptr)
                OpenPicker();
        }
        return;
    case UIEventType::MouseMove:
    case UIEventType::ButtonUp:
    case UIEventType::ContextMenu:
        return;
    default:
        break;
    }
    CLabelUI::OnEvent(event);
}

// ---- The picker -----------------------------------------------------------------------

LPCWSTR CDateTimeWnd::GetWindowClassName() const { return L"DateTimeWnd"; }
LPCWSTR CDateTimeWnd::GetSuperClassName() const { return DATETIMEPICK_CLASSW; }

void CDateTimeWnd::ForgetOwner() { m_owner = nullptr; }

RECT CDateTimeWnd::CalcPos() const
{
    if (m_owner == nullptr)
        return RECT{0, 0, 0, 0};
    return ClipToAncestors(*m_owner, m_owner->GetPos());
}

void CDateTimeWnd::Init(CDateTimeUI* owner)
{
    m_owner = owner;
    owner->m_updateMode = DateTextUpdate::None;
    CWindowManagerUI* manager = owner->GetManager();
    if (m_hWnd == nullptr) {
        RegisterPickerClassOnce();
        // A window that fails after WM_NCCREATE has had its final message by
        // the time Create returns: the object goes here, and only here.
        m_creating = true;
        HWND window = Create(manager->GetPaintWindow(), nullptr, WS_CHILD, 0, CalcPos());
        m_creating = false;
        if (window == nullptr) {
            owner->m_window = nullptr;
            delete this;
            return;
        }
        const FontInfo* font = manager->GetFontInfo(owner->GetFont());
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font != nullptr ? font->font : nullptr), TRUE);
    }
    if (owner->GetText().IsEmpty())
        ::GetLocalTime(&owner->m_date);
    SendMessage(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&owner->m_date));
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    ::SetFocus(m_hWnd);
}

LRESULT CDateTimeWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        if (m_owner != nullptr && m_owner->GetManager() != nullptr)
            m_owner->GetManager()->AddNativeWindow(m_owner, m_hWnd);
        break;
    case WM_KILLFOCUS:
        return OnKillFocus(wParam, lParam);
    case WM_KEYUP:
        if (wParam == VK_DELETE || wParam == VK_BACK || wParam == VK_ESCAPE)
            return OnEditKeyUp(message, wParam, lParam);
        break;
    case WM_CLOSE:
        m_closing = true;
        break;
    case WM_PRINT:
        // The picker paints its face only on an erase: a picture made
        // without one would show the text on whatever lay there before.
        lParam |= PRF_ERASEBKGND;
        break;
    case WM_PAINT:
        // The picture of a layered window shows the picker only when the
        // manager repaints its place.
        if (m_owner != nullptr && m_owner->GetManager() != nullptr && m_owner->GetManager()->IsLayered())
            m_owner->GetManager()->AddNativeWindow(m_owner, m_hWnd);
        break;
    default:
        break;
    }
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

// Delete and Backspace empty the field, Escape leaves it; either ends the
// picker. The picker's own procedure never sees these key-ups.
LRESULT CDateTimeWnd::OnEditKeyUp(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = ::DefWindowProcW(m_hWnd, message, wParam, lParam);
    if (m_owner == nullptr || m_closing)
        return result;
    if (wParam == VK_ESCAPE) {
        m_owner->m_updateMode = DateTextUpdate::Cancel;
    } else {
        m_owner->m_updateMode = DateTextUpdate::Delete;
        m_owner->UpdateText();
    }
    CloseSelf(true);
    return result;
}

// Losing the focus ends the picker; unless a key already decided the
// outcome, its date becomes the field's. The close destroys the window and
// this object, so nothing touches either afterwards.
LRESULT CDateTimeWnd::OnKillFocus(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = ::DefWindowProcW(m_hWnd, WM_KILLFOCUS, wParam, lParam);
    if (m_owner == nullptr || m_closing)
        return result;
    if (m_owner->m_updateMode == DateTextUpdate::None) {
        SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&m_owner->m_date));
        m_owner->m_updateMode = DateTextUpdate::Update;
        m_owner->UpdateText();
    }
    CWindowManagerUI* manager = m_owner->GetManager();
    if (manager != nullptr && reinterpret_cast<HWND>(wParam) != manager->GetPaintWindow())
        ::SendMessageW(manager->GetPaintWindow(), WM_KILLFOCUS, wParam, lParam);
    CloseSelf(false);
    return result;
}

void CDateTimeWnd::CloseSelf(bool posted)
{
    if (posted) {
        PostMessage(WM_CLOSE);
        return;
    }
    m_closing = true;
    ::SendMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

void CDateTimeWnd::OnFinalMessage(HWND hWnd)
{
    if (m_owner != nullptr) {
        if (m_owner->GetManager() != nullptr)
            m_owner->GetManager()->RemoveNativeWindow(hWnd);
        m_owner->m_window = nullptr;
    }
    if (!m_creating)
        delete this;
}

}  // namespace CalUI
