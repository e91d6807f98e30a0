// The native window of an open edit: creation over the owner, the owner's
// notifications, colours and, in a layered window, its picture and caret.

#include <vector>

#include "controls/EditUI.h"
#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

// The paint manager hands a child window its own notifications back with
// this offset.
constexpr UINT kReflected = 0x2000;
constexpr DWORD kOpaqueAlpha = 0xFF000000;
constexpr DWORD kOpaqueBlack = 0xFF000000;
constexpr DWORD kNearBlack = 0xFF000001;

}  // namespace

LPCWSTR CEditWnd::GetWindowClassName() const { return L"EditWnd"; }
LPCWSTR CEditWnd::GetSuperClassName() const { return L"Edit"; }

void CEditWnd::ForgetOwner() { m_owner = nullptr; }

bool CEditWnd::IsLayered() const
{
    return m_owner != nullptr && m_owner->GetManager() != nullptr && m_owner->GetManager()->IsLayered();
}

void CEditWnd::Init(CEditUI* owner)
{
    m_owner = owner;
    CWindowManagerUI* manager = owner->GetManager();
    DWORD style = owner->GetWindowStyles() | WS_CHILD | ES_AUTOHSCROLL;
    const UINT textStyle = owner->GetTextStyle();
    if (textStyle & DT_CENTER)
        style |= ES_CENTER;
    else if (textStyle & DT_RIGHT)
        style |= ES_RIGHT;
    if (owner->IsPasswordMode())
        style |= ES_PASSWORD;
    // A window that fails after WM_NCCREATE has had its final message by
    // the time Create returns: the object goes here, and only here.
    m_creating = true;
    HWND window = Create(manager->GetPaintWindow(), nullptr, style, 0, owner->ComputeEditRect());
    m_creating = false;
    if (window == nullptr) {
        owner->m_window = nullptr;
        delete this;
        return;
    }
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(manager->GetFont(owner->GetFont())), TRUE);
    SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(owner->GetMaxChar()));
    if (owner->IsPasswordMode())
        SendMessage(EM_SETPASSWORDCHAR, owner->GetPasswordChar());
    ::SetWindowTextW(m_hWnd, owner->GetText());
    SendMessage(EM_SETMODIFY, FALSE);
    SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    ::EnableWindow(m_hWnd, owner->IsEnabled());
    SendMessage(EM_SETREADONLY, owner->IsReadOnly());
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    ::SetFocus(m_hWnd);
    const int length = ::GetWindowTextLengthW(m_hWnd);
    if (owner->IsAutoSelAll())
        SendMessage(EM_SETSEL, 0, length > 0 ? length : 1);
    else
        SendMessage(EM_SETSEL, length, length);
    m_initialised = true;
}

LRESULT CEditWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        if (m_owner != nullptr && m_owner->GetManager() != nullptr) {
            m_owner->GetManager()->AddNativeWindow(m_owner, m_hWnd);
            if (IsLayered())
                ::SetTimer(m_hWnd, kEditCaretTimerId, ::GetCaretBlinkTime(), nullptr);
        }
        break;
    case WM_KILLFOCUS:
        return OnKillFocus(wParam, lParam);
    case WM_CLOSE:
        m_closing = true;
        break;
    case kReflected + WM_COMMAND:
        if (HIWORD(wParam) == EN_CHANGE)
            OnTextChanged();
        else if (HIWORD(wParam) == EN_UPDATE)
            Repaint();
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            if (m_owner != nullptr && m_owner->GetManager() != nullptr)
                m_owner->GetManager()->SendNotify(m_owner, L"return");
            return 0;
        }
        break;
    case kReflected + WM_CTLCOLOREDIT:
    case kReflected + WM_CTLCOLORSTATIC:
        return OnControlColor(reinterpret_cast<HDC>(wParam));
    case WM_PAINT:
        if (IsLayered())
            m_owner->GetManager()->AddNativeWindow(m_owner, m_hWnd);
        break;
    case WM_PRINT:
        return OnPrint(wParam, lParam);
    case WM_TIMER:
        if (wParam != kEditCaretTimerId)
            break;
        m_caretShown = !m_caretShown;
        Repaint();
        return 0;
    case WM_CONTEXTMENU:
        if (m_owner == nullptr || !m_owner->IsContextMenuUsed())
            return 0;
        break;
    default:
        break;
    }
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

// The picture of a layered window shows this window only when the manager
// repaints its place; the window's own paint may never come there.
void CEditWnd::Repaint()
{
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    if (IsLayered())
        m_owner->GetManager()->AddNativeWindow(m_owner, m_hWnd);
}

// The window ends here: when the focus goes elsewhere the edit is over. The
// close destroys the window and this object, so nothing touches either
// afterwards.
LRESULT CEditWnd::OnKillFocus(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CWindowWnd::HandleMessage(WM_KILLFOCUS, wParam, lParam);
    if (m_owner == nullptr || m_closing || m_owner->GetManager() == nullptr)
        return result;
    HWND paintWindow = m_owner->GetManager()->GetPaintWindow();
    if (reinterpret_cast<HWND>(wParam) != paintWindow)
        ::SendMessageW(paintWindow, WM_KILLFOCUS, wParam, lParam);
    CloseSelf();
    return result;
}

void CEditWnd::CloseSelf()
{
    if (m_closing)
        return;
    m_closing = true;
    ::SendMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

// The whole text, however long, becomes the owner's.
void CEditWnd::OnTextChanged()
{
    if (!m_initialised || m_owner == nullptr)
        return;
    const int length = ::GetWindowTextLengthW(m_hWnd);
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    ::GetWindowTextW(m_hWnd, text.data(), length + 1);
    // The native edit reports a change even when a full field refused the key.
    if (m_owner->m_text == text.data())
        return;
    m_owner->m_text = text.data();
    m_owner->NeedMeasure();
    if (IsLayered())
        m_owner->Invalidate();
    if (m_owner->GetManager() != nullptr)
        m_owner->GetManager()->SendNotify(m_owner, L"textchanged");
}

LRESULT CEditWnd::OnPrint(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CWindowWnd::HandleMessage(WM_PRINT, wParam, lParam);
    if (!IsLayered() || !m_owner->IsEnabled() || !m_caretShown)
        return result;
    POINT caret;
    if (!::GetCaretPos(&caret))
        return result;
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const RECT line = {caret.x, caret.y + 1, caret.x, caret.y + client.bottom - 1};
    CSkinPainter::DrawLineSegment(reinterpret_cast<HDC>(wParam), line, 1, kOpaqueBlack);
    return result;
}

LRESULT CEditWnd::OnControlColor(HDC dc)
{
    if (m_owner == nullptr)
        return 0;
    CWindowManagerUI* manager = m_owner->GetManager();
    if (IsLayered() && !manager->IsPainting())
        manager->AddNativeWindow(m_owner, m_hWnd);
    // Opaque black would read as a hole in a layered picture.
    DWORD color = m_owner->GetNativeEditBkColor();
    if (color == kOpaqueBlack)
        color = kNearBlack;
    if (color == kSystemEditBkColor)
        return 0;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, CSkinPainter::ToDrawingColor(m_owner->GetTextColor()));
    return reinterpret_cast<LRESULT>(MakeBackgroundBrush(color));
}

// A translucent colour tints what lies behind the window, which changes with
// every paint; an opaque one is made once.
HBRUSH CEditWnd::MakeBackgroundBrush(DWORD color)
{
    if (color >= kOpaqueAlpha) {
        if (m_bkBrush == nullptr)
            m_bkBrush = ::CreateSolidBrush(CSkinPainter::ToDrawingColor(color));
        return m_bkBrush;
    }
    if (m_bkBrush != nullptr)
        ::DeleteObject(m_bkBrush);
    m_bkBrush = nullptr;
    CWindowManagerUI* manager = m_owner->GetManager();
    HBITMAP behind = CSkinPainter::RenderControlToBitmap(manager, manager->GetNativeWindowRect(m_hWnd), m_owner, color);
    if (behind != nullptr) {
        m_bkBrush = ::CreatePatternBrush(behind);
        ::DeleteObject(behind);
    }
    return m_bkBrush;
}

void CEditWnd::OnFinalMessage(HWND hWnd)
{
    if (m_bkBrush != nullptr)
        ::DeleteObject(m_bkBrush);
    if (m_owner != nullptr) {
        m_owner->Invalidate();
        if (m_owner->GetManager() != nullptr)
            m_owner->GetManager()->RemoveNativeWindow(hWnd);
        m_owner->m_window = nullptr;
    }
    if (!m_creating)
        delete this;
}

}  // namespace CalUI
