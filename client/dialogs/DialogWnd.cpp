// The shared shape and behaviour of the client's modal windows.

#include "dialogs/DialogWnd.h"

#include <cwchar>
#include <string>

using namespace CalUI;

namespace {

constexpr UINT kMessageShownMs = 5000;
constexpr UINT kCountdownTickMs = 993;
constexpr int kCountdownSeconds = 60;
constexpr WCHAR kMessageLabel[] = L"msg_lab";
constexpr WCHAR kRequestCodeText[] = L"获取验证码";

bool HasClass(CControlUI* control, LPCWSTR className) { return std::wcscmp(control->GetClass(), className) == 0; }

std::wstring SecondsText(int seconds) { return std::to_wstring(seconds) + L"s"; }

}  // namespace

CDialogWnd::CDialogWnd(LPCWSTR skinFile, CaptionClickables clickables) : m_skinFile(skinFile), m_clickables(clickables)
{}

HWND CDialogWnd::CreateOver(HWND owner, DialogCreation creation)
{
    // A window created visible is activated on the spot, whatever ShowModal
    // asks afterwards.
    const DWORD visible = creation == DialogCreation::Shown ? WS_VISIBLE : 0;
    return Create(owner, L"Calverin", visible | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION, 0, RECT{});
}

UINT CDialogWnd::GetClassStyle() const { return CS_GLOBALCLASS | CS_DBLCLKS; }

LRESULT CDialogWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        // A dialog without its skin would be an empty mask, invisible for a
        // window that opens hidden: refusing it returns ShowModal's 0 at once.
        return OnCreate() ? 0 : -1;
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
    case WM_NCLBUTTONDBLCLK:
        return 0;
    case WM_NCHITTEST:
        return OnNcHitTest(lParam);
    case WM_SYSCOMMAND:
        return OnSysCommand(wParam, lParam);
    case WM_KEYDOWN:
        if (OnKeyDown(wParam))
            return 0;
        break;
    default:
        break;
    }
    LRESULT result = 0;
    if (m_manager.HandleWindowMessage(message, wParam, lParam, result))
        return result;
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

void CDialogWnd::Notify(NotifyMsg& msg)
{
    if (msg.type == L"windowinit") {
        CenterWindow();
        OnWindowInit();
        return;
    }
    if (msg.type == L"timer" && OnSharedTimer(msg))
        return;
    OnNotify(msg);
}

IDialogBuilderCallback* CDialogWnd::GetBuilderCallback() { return nullptr; }
void CDialogWnd::OnWindowInit() {}
void CDialogWnd::OnNotify(NotifyMsg&) {}
bool CDialogWnd::OnKeyDown(WPARAM) { return false; }

LRESULT CDialogWnd::OnOtherSysCommand(WPARAM command, LPARAM lParam)
{
    return CWindowWnd::HandleMessage(WM_SYSCOMMAND, command, lParam);
}

void CDialogWnd::ShowMessage(LPCWSTR text)
{
    CControlUI* label = FindControl(kMessageLabel);
    if (label == nullptr)
        return;
    m_manager.KillTimers(label);
    const bool hide = text == nullptr || *text == L'\0';
    if (!hide)
        m_manager.SetTimer(label, static_cast<UINT>(DialogTimer::MessageAutoHide), kMessageShownMs);
    label->SetText(hide ? L"" : text);
    label->SetVisible(!hide);
}

void CDialogWnd::StartCodeCountdown(CControlUI* button)
{
    if (button == nullptr)
        return;
    button->SetEnabled(false);
    button->SetTag(kCountdownSeconds);
    button->SetText(SecondsText(kCountdownSeconds).c_str());
    m_manager.SetTimer(button, static_cast<UINT>(DialogTimer::CodeCountdown), kCountdownTickMs);
}

CControlUI* CDialogWnd::FindControl(LPCWSTR name) { return m_manager.FindControl(name); }

std::wstring CDialogWnd::TextOf(LPCWSTR name)
{
    CControlUI* control = FindControl(name);
    return control != nullptr ? std::wstring(control->GetText().GetData()) : std::wstring();
}

void CDialogWnd::SetTextOf(LPCWSTR name, const std::wstring& text)
{
    if (CControlUI* control = FindControl(name))
        control->SetText(text.c_str());
}

bool CDialogWnd::OnCreate()
{
    MakeFrameless(m_hWnd, WS_CAPTION);
    return BuildWindowSkin(m_hWnd, m_manager, m_skinFile, GetBuilderCallback(), this);
}

LRESULT CDialogWnd::OnNcHitTest(LPARAM lParam)
{
    CControlUI* control = ControlInCaptionBand(m_hWnd, m_manager, lParam);
    return control == nullptr || IsClickable(control) ? HTCLIENT : HTCAPTION;
}

bool CDialogWnd::IsClickable(CControlUI* control)
{
    switch (m_clickables) {
    case CaptionClickables::ButtonsAndOptions:
        return HasClass(control, L"Button") || HasClass(control, L"Option");
    case CaptionClickables::ButtonsOnly:
        return HasClass(control, L"Button");
    case CaptionClickables::FlaggedControls:
        return !IsCaptionControl(control);
    }
    return true;
}

LRESULT CDialogWnd::OnSysCommand(WPARAM command, LPARAM lParam)
{
    switch (command) {
    case SC_CLOSE:
        Close(0);
        return 0;
    case SC_KEYMENU:
        return 0;
    default:
        return OnOtherSysCommand(command, lParam);
    }
}

bool CDialogWnd::OnSharedTimer(const NotifyMsg& msg)
{
    if (IsNotifyFrom(msg, kMessageLabel)) {
        ShowMessage(L"");
        return true;
    }
    if (msg.sender != nullptr && msg.wParam == static_cast<WPARAM>(DialogTimer::CodeCountdown)) {
        TickCodeCountdown(msg.sender);
        return true;
    }
    return false;
}

void CDialogWnd::TickCodeCountdown(CControlUI* button)
{
    const INT_PTR left = static_cast<INT_PTR>(button->GetTag()) - 1;
    button->SetTag(static_cast<UINT_PTR>(left));
    if (left > 0) {
        button->SetText(SecondsText(static_cast<int>(left)).c_str());
        return;
    }
    button->SetEnabled(true);
    button->SetText(kRequestCodeText);
    m_manager.KillTimer(button, static_cast<UINT>(DialogTimer::CodeCountdown));
}
