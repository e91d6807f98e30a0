// The message box.

#include "dialogs/MsgBoxWnd.h"

using namespace CalUI;

namespace {

std::wstring TextOrEmpty(LPCWSTR text) { return text != nullptr ? text : L""; }

}  // namespace

CMsgBoxWnd::CMsgBoxWnd(LPCWSTR title, LPCWSTR text, MsgBoxButtons buttons, LPCWSTR okCaption, LPCWSTR cancelCaption)
    : CDialogWnd(L"msgbox.xml", CaptionClickables::ButtonsOnly),
      m_title(TextOrEmpty(title)),
      m_text(TextOrEmpty(text)),
      m_buttons(buttons),
      m_okCaption(TextOrEmpty(okCaption)),
      m_cancelCaption(TextOrEmpty(cancelCaption))
{}

LPCWSTR CMsgBoxWnd::GetWindowClassName() const { return L"CMsgBoxWnd"; }
UINT CMsgBoxWnd::GetClassStyle() const { return CS_DBLCLKS; }

void CMsgBoxWnd::OnWindowInit()
{
    SetTextOf(L"msgbox_title", m_title);
    SetTextOf(L"msgbox_text", m_text);
    ShowButton(L"msgbox_ok", m_buttons == MsgBoxButtons::Ok || m_buttons == MsgBoxButtons::OkCancel, m_okCaption);
    ShowButton(L"msgbox_cancel", m_buttons == MsgBoxButtons::OkCancel, m_cancelCaption);
}

void CMsgBoxWnd::OnNotify(NotifyMsg& msg)
{
    if (msg.type != L"click")
        return;
    if (IsNotifyFrom(msg, L"close_btn"))
        Close(static_cast<int>(MsgBoxResult::Closed));
    else if (IsNotifyFrom(msg, L"msgbox_ok"))
        Close(static_cast<int>(MsgBoxResult::Ok));
    else if (IsNotifyFrom(msg, L"msgbox_cancel"))
        Close(static_cast<int>(MsgBoxResult::Cancel));
}

bool CMsgBoxWnd::OnKeyDown(WPARAM key)
{
    if (key == VK_ESCAPE)
        Close(static_cast<int>(MsgBoxResult::Closed));
    return true;
}

// A control missing from the skin leaves the others working.
void CMsgBoxWnd::ShowButton(LPCWSTR name, bool show, const std::wstring& caption)
{
    CControlUI* button = FindControl(name);
    if (button == nullptr)
        return;
    if (show)
        button->SetText(caption.c_str());
    button->SetVisible(show);
}

MsgBoxResult ShowMsgBox(HWND owner, LPCWSTR title, LPCWSTR text, MsgBoxButtons buttons, LPCWSTR okCaption,
                        LPCWSTR cancelCaption)
{
    CMsgBoxWnd box(title, text, buttons, okCaption, cancelCaption);
    if (box.CreateOver(owner, DialogCreation::HiddenUntilShowModal) == nullptr)
        return MsgBoxResult::Closed;
    return static_cast<MsgBoxResult>(box.ShowModal(true, false));
}
