// The rich edit's input: the window messages it takes from the paint
// manager's filters for the engine, its events, the engine's notifications,
// the right-click menu and the input method's composition window.

#include "controls/RichEditUI.h"

#include <imm.h>
#include <windowsx.h>

#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

enum class MenuCommand : UINT
{
    Copy = 1000,
    Paste = 1001,
};

bool IsMouseMessage(UINT message) { return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST; }
bool IsKeyMessage(UINT message) { return message >= WM_KEYFIRST && message <= WM_KEYLAST; }

// Only these records have a message member after their header; reading one
// from any other record reads past it or misreads another field.
bool HasMessageMember(UINT code) { return code == EN_MSGFILTER || code == EN_PROTECTED || code == EN_LINK; }

bool IsForwardedCode(UINT code)
{
    switch (code) {
    case EN_MSGFILTER:
    case EN_SELCHANGE:
    case EN_DROPFILES:
    case EN_PROTECTED:
    case EN_STOPNOUNDO:
    case EN_SAVECLIPBOARD:
    case EN_OLEOPFAILED:
    case EN_LINK:
    case EN_OBJECTPOSITIONS:
    case EN_DRAGDROPDONE:
        return true;
    default:
        return false;
    }
}

}  // namespace

HRESULT CRichEditUI::SendTextMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) const
{
    if (m_host == nullptr)
        return S_FALSE;
    if (message == WM_KEYDOWN && LOWORD(wParam) == VK_RETURN) {
        const bool ctrlDown = GetKeyState(VK_CONTROL) < 0;
        if (!m_wantReturn || (ctrlDown && !m_wantCtrlReturn)) {
            if (m_manager != nullptr)
                m_manager->SendNotify(const_cast<CRichEditUI*>(this), L"return");
            return S_OK;
        }
    }
    LRESULT ignored = 0;
    return m_host->GetTextServices()->TxSendMessage(message, wParam, lParam, result != nullptr ? result : &ignored);
}

void CRichEditUI::TellServices(UINT message, WPARAM wParam, LPARAM lParam) const
{
    LRESULT ignored = 0;
    m_host->GetTextServices()->TxSendMessage(message, wParam, lParam, &ignored);
}

bool CRichEditUI::OnTextViewChanged() { return true; }

void CRichEditUI::OnTextServicesNotify(UINT code, void* record)
{
    if (code == EN_CHANGE) {
        const CUIString text = GetText();
        if (text == m_text)
            return;
        if (m_manager != nullptr)
            m_manager->SendNotify(this, L"textchanged");
        m_text = text;
        return;
    }
    if (record == nullptr || !IsForwardedCode(code) || m_manager == nullptr)
        return;
    // Every record begins with its header, so the header is the most written.
    auto* header = static_cast<NMHDR*>(record);
    if (HasMessageMember(code) && static_cast<MSGFILTER*>(record)->msg == WM_LBUTTONDOWN)
        m_manager->SendNotify(this, L"link", 0, reinterpret_cast<LPARAM>(record));
    HWND window = m_manager->GetPaintWindow();
    const LONG_PTR id = GetWindowLongPtrW(window, GWLP_ID);
    header->hwndFrom = window;
    header->idFrom = static_cast<UINT_PTR>(id);
    header->code = code;
    SendMessageW(window, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(record));
}

// ---- Window messages -------------------------------------------------------------------------

bool CRichEditUI::HitsTextArea(UINT message, LPARAM lParam) const
{
    if (m_host->IsCaptured())
        return true;
    HWND window = m_manager->GetPaintWindow();
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (message == WM_SETCURSOR) {
        GetCursorPos(&pt);
        ScreenToClient(window, &pt);
    } else if (message == WM_MOUSEWHEEL) {
        ScreenToClient(window, &pt);
    }
    const RECT client = m_host->GetClientRect();
    return PtInRect(&client, pt) && !m_manager->IsCaptured();
}

LRESULT CRichEditUI::FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    if (m_host == nullptr || m_manager == nullptr || !IsVisible() || !IsEnabled())
        return 0;
    const bool mouse = IsMouseMessage(message);
    if (mouse && !IsMouseEnabled())
        return 0;
    if (message == WM_MOUSEWHEEL && (LOWORD(wParam) & MK_CONTROL) == 0)
        return 0;
    bool answer = true;
    if (mouse || message == WM_SETCURSOR) {
        if (!m_host->IsCaptured() && message >= WM_MOUSEMOVE && message <= WM_RBUTTONUP) {
            const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (m_manager->FindControlAt(pt) != this) {
                handled = false;
                return 0;
            }
        }
        if (!HitsTextArea(message, lParam))
            return 0;
        if (message == WM_SETCURSOR) {
            answer = false;
        } else if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN) {
            if (!m_manager->IsNoActivate())
                ::SetFocus(m_manager->GetPaintWindow());
            SetFocus();
        }
    } else if (IsKeyMessage(message)) {
        if (!IsFocused())
            return 0;
    } else if (message == WM_IME_STARTCOMPOSITION) {
        if (IsFocused())
            PlaceCompositionWindow();
        handled = false;
        return 0;
    } else if (message == WM_CONTEXTMENU) {
        if (IsContextMenuUsed()) {
            POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(m_manager->GetPaintWindow(), &pt);
            if (m_manager->FindControlAt(pt) != this) {
                handled = false;
                return 0;
            }
            ShowContextMenu(lParam);
        }
    } else if (message == WM_HELP) {
        answer = false;
    } else {
        // WM_IME_CHAR included: default handling turns it into one WM_CHAR,
        // which comes back here and reaches the engine once.
        return 0;
    }
    LRESULT result = 0;
    const HRESULT hr = SendTextMessage(message, wParam, lParam, &result);
    if (hr == S_OK || IsKeyMessage(message) || (mouse && m_host->IsCaptured()))
        handled = answer;
    return result;
}

void CRichEditUI::ShowContextMenu(LPARAM)
{
    HWND window = m_manager->GetPaintWindow();
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr)
        return;
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(MenuCommand::Copy), L"复制(&C)");
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(MenuCommand::Paste), L"粘贴(&P)");
    SetForegroundWindow(window);
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD, cursor.x, cursor.y, 0, window, nullptr));
    DestroyMenu(menu);
    if (chosen == static_cast<UINT>(MenuCommand::Copy))
        Copy();
    else if (chosen == static_cast<UINT>(MenuCommand::Paste))
        Paste();
}

void CRichEditUI::PlaceCompositionWindow()
{
    HWND window = m_manager->GetPaintWindow();
    HIMC context = ImmGetContext(window);
    if (context == nullptr)
        return;
    POINT caret = {0, 0};
    GetCaretPos(&caret);
    COMPOSITIONFORM form = {};
    form.dwStyle = CFS_FORCE_POSITION;
    form.ptCurrentPos = POINT{caret.x + m_host->GetCaretWidth(), caret.y};
    ImmSetCompositionWindow(context, &form);
    LOGFONTW font = {};
    HFONT handle = m_manager->GetFont(m_fontId);
    if (handle != nullptr && GetObjectW(handle, sizeof(font), &font) != 0)
        ImmSetCompositionFontW(context, &font);
    ImmReleaseContext(window, context);
}

// ---- Events ----------------------------------------------------------------------------------

void CRichEditUI::OnCaretTimer()
{
    if (m_host == nullptr || m_manager == nullptr || !m_manager->IsLayered() || !IsFocused() ||
        GetFocus() != m_manager->GetPaintWindow())
        return;
    m_drawCaret = !m_drawCaret;
    POINT caret = {0, 0};
    GetCaretPos(&caret);
    RECT area = {caret.x, caret.y, caret.x + m_host->GetCaretWidth(), caret.y + m_host->GetCaretHeight()};
    if (!::IntersectRect(&area, &area, &m_pos))
        return;
    InvalidateClipped(area);
}

void CRichEditUI::OnEvent(UIEvent& event)
{
    if (IsMouseEvent(event.type) && !IsMouseEnabled()) {
        if (m_parent != nullptr)
            m_parent->OnEvent(event);
        else
            CControlUI::OnEvent(event);
        return;
    }
    switch (event.type) {
    case UIEventType::SetCursor:
        if (IsEnabled() && m_host != nullptr && m_host->DoSetCursor(nullptr, event.mousePoint))
            return;
        break;
    case UIEventType::WindowSize:
        if (m_host != nullptr)
            m_host->NeedFreshCaret();
        break;
    case UIEventType::SetFocus:
    case UIEventType::KillFocus: {
        const bool gaining = event.type == UIEventType::SetFocus;
        if (m_host != nullptr) {
            m_host->Activate(nullptr);
            TellServices(gaining ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0);
        }
        m_focused = gaining;
        Invalidate();
        return;
    }
    case UIEventType::Timer:
        if (event.wParam == kCaretTimer)
            OnCaretTimer();
        else if (m_host != nullptr)
            TellServices(WM_TIMER, event.wParam, event.lParam);
        return;
    case UIEventType::ScrollWheel:
        if (HasAny(FromBits<UIKeyState>(event.keyState), UIKeyState::Control))
            return;
        break;
    case UIEventType::ButtonDown:
    case UIEventType::DoubleClick:
    case UIEventType::MouseMove:
    case UIEventType::ButtonUp:
    case UIEventType::KeyDown:
    case UIEventType::KeyUp:
    case UIEventType::Char:
    case UIEventType::SysKey:
        return;
    default:
        break;
    }
    CContainerUI::OnEvent(event);
}

}  // namespace CalUI
