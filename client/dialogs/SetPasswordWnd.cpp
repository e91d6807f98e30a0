// The set-password window: checks, the request and its result.

#include "dialogs/SetPasswordWnd.h"

#include <memory>

#include "services/AccountWorkers.h"

#include "dialogs/AccountTexts.h"

using namespace CalUI;

CSetPsdWnd* g_setPsdWnd = nullptr;

namespace {

constexpr WCHAR kOkButton[] = L"ok_btn";
constexpr WCHAR kSubmitText[] = L"提交";

}  // namespace

CSetPsdWnd::CSetPsdWnd() : CQueuedDialogWnd(L"setpsd.xml") {}

LPCWSTR CSetPsdWnd::GetWindowClassName() const { return L"CSetPsdWnd"; }

void CSetPsdWnd::OnNotify(NotifyMsg& msg)
{
    if (msg.type != L"click")
        return;
    if (IsNotifyFrom(msg, L"close_btn"))
        Close(0);
    else if (IsNotifyFrom(msg, kOkButton))
        OnSubmit();
}

// Enter in an entry is swallowed: the password goes only by the button.
bool CSetPsdWnd::OnKeyDown(WPARAM key)
{
    if (key != VK_RETURN)
        return false;
    CControlUI* focus = m_manager.GetFocus();
    if (focus == nullptr)
        return false;
    const CUIString name = focus->GetName();
    return name == L"pwd1_code" || name == L"pwd2_code";
}

void CSetPsdWnd::OnSubmit()
{
    const std::wstring first = TextOf(L"pwd1_code");
    const std::wstring second = TextOf(L"pwd2_code");
    if (first.empty() || second.empty()) {
        ShowMessage(L"密码不能为空");
        return;
    }
    if (first != second) {
        ShowMessage(L"两次输入的密码不一致");
        return;
    }
    SetOkButton(L"正在提交...", false);
    StartWorker(&SetPassThread<g_setPsdWnd>, std::make_unique<std::wstring>(first), &CSetPsdWnd::OnSetPassFailed,
                kSetPassFailedText);
}

void CSetPsdWnd::OnSetPassDone(UINT_PTR, UINT_PTR)
{
    SetOkButton(kSubmitText, true);
    ShowMessage(L"新密码设置成功！");
    RememberPasswordSet();
    Close(1);
}

void CSetPsdWnd::OnSetPassFailed(UINT_PTR, UINT_PTR message)
{
    const std::unique_ptr<std::wstring> text(reinterpret_cast<std::wstring*>(message));
    SetOkButton(kSubmitText, true);
    ShowMessage(text ? text->c_str() : L"");
}

void CSetPsdWnd::SetOkButton(LPCWSTR text, bool enabled)
{
    CControlUI* button = FindControl(kOkButton);
    if (button == nullptr)
        return;
    button->SetText(text);
    button->SetEnabled(enabled);
}
