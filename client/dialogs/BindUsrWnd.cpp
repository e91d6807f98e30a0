// The binding window: the accelerator box, the code request, the binding and
// the read-only view of a bound account.

#include "dialogs/BindUsrWnd.h"

#include <cwchar>
#include <memory>
#include <string>

#include "services/AccountWorkers.h"
#include "services/SessionData.h"
#include "services/TextConvert.h"

#include "controls/ComboUI.h"
#include "controls/ListElementUI.h"
#include "dialogs/AccountTexts.h"
#include "dialogs/MsgBoxWnd.h"
#include "dialogs/SmsCodeLimit.h"

using namespace CalUI;

CBindUsrWnd* g_bindUsrWnd = nullptr;

namespace {

constexpr WCHAR kChoiceBox[] = L"seljsq";
constexpr WCHAR kBindButton[] = L"bind_btn";
constexpr WCHAR kCodeButton[] = L"getcheckcode";
constexpr WCHAR kBindText[] = L"绑定";
// The account type that tells the service a code is for a binding.
constexpr WCHAR kBindingCodeType[] = L"2";
constexpr size_t kMobileDigits = 11;

std::unique_ptr<std::wstring> AdoptMessage(UINT_PTR message)
{
    return std::unique_ptr<std::wstring>(reinterpret_cast<std::wstring*>(message));
}

// The accelerator id as the service takes it: its decimal value, 0 when it
// is no number.
UINT_PTR IdNumber(const std::wstring& softwareId) { return std::wcstoul(softwareId.c_str(), nullptr, 10); }

}  // namespace

CBindUsrWnd::CBindUsrWnd(std::vector<AcceleratorChoice> choices, SessionExpiryReport reportExpiry)
    : CQueuedDialogWnd(L"bindjsq.xml"), m_choices(std::move(choices)), m_reportExpiry(std::move(reportExpiry))
{}

LPCWSTR CBindUsrWnd::GetWindowClassName() const { return L"CBindUsrWnd"; }

void CBindUsrWnd::SetBoundAccount(const std::string& accountName, const std::string& softwareId)
{
    m_boundAccount = Utf8ToWide(accountName);
    m_boundSoftwareId = Utf8ToWide(softwareId);
}

void CBindUsrWnd::OnWindowInit()
{
    FillChoices();
    if (m_boundAccount.empty() && m_boundSoftwareId.empty())
        return;
    ShowBindingReadOnly();
}

void CBindUsrWnd::FillChoices()
{
    auto* box = static_cast<CComboUI*>(FindControl(kChoiceBox));
    if (box == nullptr)
        return;
    box->RemoveAll();
    int index = 0;
    for (const AcceleratorChoice& choice : m_choices) {
        auto* item = new CListLabelElementUI;
        item->SetText(choice.name.c_str());
        item->SetUserData(choice.softwareId.c_str());
        item->SetTag(IdNumber(choice.softwareId));
        box->AddAt(item, index++);
    }
}

void CBindUsrWnd::ShowBindingReadOnly()
{
    SetTextOf(L"area_code", L"");
    SetTextOf(L"phonenum", m_boundAccount);
    if (auto* box = static_cast<CComboUI*>(FindControl(kChoiceBox))) {
        for (int i = 0; i < box->GetCount(); ++i) {
            if (box->GetItemAt(i)->GetUserData() == m_boundSoftwareId.c_str()) {
                box->SelectItem(i, false, true);
                break;
            }
        }
    }
    for (LPCWSTR name : {kChoiceBox, L"area_code", L"phonenum", L"checkcode", kCodeButton, kBindButton}) {
        if (CControlUI* control = FindControl(name))
            control->SetEnabled(false);
    }
}

void CBindUsrWnd::OnNotify(NotifyMsg& msg)
{
    if (msg.type != L"click")
        return;
    if (IsNotifyFrom(msg, L"close_btn"))
        Close(0);
    else if (IsNotifyFrom(msg, kCodeButton))
        OnSendCode();
    else if (IsNotifyFrom(msg, kBindButton))
        OnBind();
}

bool CBindUsrWnd::OnKeyDown(WPARAM key)
{
    if (key != VK_RETURN)
        return false;
    CControlUI* focus = m_manager.GetFocus();
    if (focus == nullptr)
        return false;
    const CUIString name = focus->GetName();
    if (name == L"area_code" || name == L"phonenum") {
        if (IsEnabled(kCodeButton))
            OnSendCode();
        return true;
    }
    if (name == L"checkcode") {
        if (IsEnabled(kBindButton))
            OnBind();
        return true;
    }
    return false;
}

void CBindUsrWnd::OnSendCode()
{
    if (IsCodeLimitReached()) {
        ShowMessage(L"当前日发送验证码次数已超限!");
        return;
    }
    const std::wstring mobile = TextOf(L"phonenum");
    if (mobile.empty()) {
        ShowMessage(L"手机号不能为空!");
        return;
    }
    if (!IsAllDigits(mobile)) {
        ShowMessage(L"账号请勿使用特殊字符");
        return;
    }
    if (mobile.size() != kMobileDigits) {
        ShowMessage(L"账号长度错误");
        return;
    }
    StartCodeCountdown(FindControl(kCodeButton));
    StartWorker(&BindSendCodeThread<g_bindUsrWnd>,
                std::make_unique<AccountParam>(AccountParam{TextOf(L"area_code"), kBindingCodeType, mobile}),
                &CBindUsrWnd::OnSendCodeFailed, kSendCodeFailedText);
}

void CBindUsrWnd::OnBind()
{
    SetBindButton(L"正在绑定...", false);
    auto* box = static_cast<CComboUI*>(FindControl(kChoiceBox));
    const int selected = box != nullptr ? box->GetSelectedIndex() : -1;
    CControlUI* item = selected >= 0 ? box->GetItemAt(selected) : nullptr;
    if (item == nullptr) {
        RefuseBind(L"还没有选择加速器，请先选择加速器");
        return;
    }
    const std::wstring mobile = TextOf(L"phonenum");
    const std::wstring code = TextOf(L"checkcode");
    if (mobile.empty()) {
        RefuseBind(L"手机号为空，请输入手机号");
        return;
    }
    if (code.empty()) {
        RefuseBind(L"验证码为空，请输入验证码");
        return;
    }
    const std::wstring softwareId = std::to_wstring(static_cast<unsigned>(item->GetTag()));
    // The session-expiry call comes back to this window, which ends first
    // and then tells its opener.
    StartWorker(&BindSpeedThread<g_bindUsrWnd, g_bindUsrWnd>,
                std::make_unique<AccountParam>(AccountParam{softwareId, mobile, code}), &CBindUsrWnd::OnBindFailed,
                kBindFailedText);
}

void CBindUsrWnd::RefuseBind(LPCWSTR text)
{
    ShowMsgBox(m_hWnd, L"绑定失败", text, MsgBoxButtons::Ok, L"我知道了", L"取消");
    SetBindButton(kBindText, true);
}

void CBindUsrWnd::OnBindDone(UINT_PTR request, UINT_PTR)
{
    const std::unique_ptr<AccountParam> bound(reinterpret_cast<AccountParam*>(request));
    if (bound) {
        g_sessionData.SetSoftwareId(WideToUtf8(bound->first));
        g_sessionData.SetSoftwareUsername(WideToUtf8(bound->second));
    }
    SetBindButton(kBindText, true);
    ShowMessage(L"账号绑定成功！");
    Close(1);
}

void CBindUsrWnd::OnBindFailed(UINT_PTR, UINT_PTR message)
{
    const std::unique_ptr<std::wstring> text = AdoptMessage(message);
    SetBindButton(kBindText, true);
    ShowMessage(text ? text->c_str() : L"");
}

void CBindUsrWnd::OnSendCodeDone(UINT_PTR, UINT_PTR)
{
    ShowMessage(L"发送成功!");
    CountCodeSent();
}

void CBindUsrWnd::OnSendCodeFailed(UINT_PTR, UINT_PTR message)
{
    const std::unique_ptr<std::wstring> text = AdoptMessage(message);
    ShowMessage(text ? text->c_str() : L"");
}

void CBindUsrWnd::OnSessionExpired(UINT_PTR, UINT_PTR)
{
    Close(0);
    if (m_reportExpiry)
        m_reportExpiry();
}

void CBindUsrWnd::SetBindButton(LPCWSTR text, bool enabled)
{
    if (CControlUI* button = FindControl(kBindButton)) {
        button->SetText(text);
        button->SetEnabled(enabled);
    }
}

bool CBindUsrWnd::IsEnabled(LPCWSTR name)
{
    CControlUI* control = FindControl(name);
    return control != nullptr && control->IsEnabled();
}
