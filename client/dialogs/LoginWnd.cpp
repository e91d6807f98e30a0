// The sign-in window: its pages, their checks, the workers they start and
// what their results do.

#include "dialogs/LoginWnd.h"

#include <memory>

#include "services/AccountWorkers.h"
#include "services/RegistryUtil.h"
#include "services/SessionData.h"
#include "services/SignInWorkers.h"
#include "services/TextConvert.h"

#include "core/TabLayoutUI.h"
#include "dialogs/AccountTexts.h"
#include "dialogs/SmsCodeLimit.h"

using namespace CalUI;

CLoginWnd* g_loginWnd = nullptr;

namespace {

enum class LoginPage
{
    Password = 0,
    Code = 1,
    FirstPassword = 2,
};

constexpr WCHAR kLoginButton[] = L"login_btn";
constexpr WCHAR kPages[] = L"child_page";
constexpr WCHAR kSignInText[] = L"登录";
constexpr WCHAR kSubmitText[] = L"提交";
constexpr WCHAR kSigningInText[] = L"正在登录...";
constexpr WCHAR kSubmittingText[] = L"正在提交...";
// The account type that tells the service a code is for signing in.
constexpr WCHAR kSignInCodeType[] = L"1";

// The fields in which Enter runs the page's action.
constexpr LPCWSTR kEnterFields[] = {L"mobile_code_0", L"pwd_code_0",  L"area_code_0", L"mobile_code_1",
                                    L"verify_code",   L"area_code_1", L"pwd1_code",   L"pwd2_code"};

std::wstring ReadSetting(LPCWSTR name)
{
    std::wstring text;
    ReadRegValue(HKEY_CURRENT_USER, Utf8ToWide(kClientSettingsKey), name, REG_SZ, text);
    return text;
}

// Adopts a heap message handed to a handler; null stays null.
std::unique_ptr<std::wstring> AdoptMessage(UINT_PTR message)
{
    return std::unique_ptr<std::wstring>(reinterpret_cast<std::wstring*>(message));
}

}  // namespace

CLoginWnd::CLoginWnd(SignInReport reportSignIn)
    : CQueuedDialogWnd(L"login.xml"), m_reportSignIn(std::move(reportSignIn))
{}

LPCWSTR CLoginWnd::GetWindowClassName() const { return L"CLoginWnd"; }

bool CLoginWnd::StartSavedSignIn()
{
    const std::wstring token = ReadSetting(L"token");
    const std::wstring username = ReadSetting(L"username");
    SetTextOf(L"mobile_code_0", username);
    SetTextOf(L"mobile_code_1", username);
    if (token.empty()) {
        SetLoginButton(kSignInText, true);
        return false;
    }
    SetLoginButton(kSigningInText, false);
    StartWorker(&TokenLoginThread<g_loginWnd>,
                std::make_unique<StringPair>(StringPair{WideToUtf8(token), WideToUtf8(username)}),
                &CLoginWnd::OnTokenLoginFailed, kSignInFailedText);
    return true;
}

// Only a shown window is painted and so initialised.
void CLoginWnd::OnWindowInit()
{
    if (CControlUI* number = FindControl(L"mobile_code_0"))
        m_manager.SetFocusNeeded(number);
}

void CLoginWnd::OnNotify(NotifyMsg& msg)
{
    if (msg.type != L"click" || msg.sender == nullptr)
        return;
    const CUIString name = msg.sender->GetName();
    if (name == L"close_btn")
        Close(0);
    else if (name == L"go_verify_btn")
        SwitchToPage(static_cast<int>(LoginPage::Code), L"mobile_code_0", L"mobile_code_1");
    else if (name == L"go_pwd_btn")
        SwitchToPage(static_cast<int>(LoginPage::Password), L"mobile_code_1", L"mobile_code_0");
    else if (name == L"go_close_btn")
        CloseSignedIn();
    else if (name == L"send_verify_btn")
        OnSendCode();
    else if (name == kLoginButton)
        RunLoginAction();
}

bool CLoginWnd::OnKeyDown(WPARAM key)
{
    if (key != VK_RETURN)
        return false;
    CControlUI* focus = m_manager.GetFocus();
    if (focus == nullptr)
        return false;
    const CUIString name = focus->GetName();
    for (LPCWSTR field : kEnterFields) {
        if (name == field) {
            // A request already running keeps the button disabled: Enter
            // must not start a second one behind it.
            CControlUI* button = FindControl(kLoginButton);
            if (button != nullptr && button->IsEnabled())
                RunLoginAction();
            return true;
        }
    }
    return false;
}

void CLoginWnd::RunLoginAction()
{
    switch (static_cast<LoginPage>(SelectedPage())) {
    case LoginPage::Password:
        OnPasswordLogin();
        break;
    case LoginPage::Code:
        OnCodeLogin();
        break;
    case LoginPage::FirstPassword:
        OnSubmitPassword();
        break;
    }
}

void CLoginWnd::SwitchToPage(int page, LPCWSTR fromNumber, LPCWSTR toNumber)
{
    if (auto* pages = static_cast<CTabLayoutUI*>(m_manager.FindControl(kPages)))
        pages->SelectItem(page, true);
    ShowMessage(L"");
    SetTextOf(toNumber, TextOf(fromNumber));
}

void CLoginWnd::OnPasswordLogin()
{
    SetLoginButton(kSigningInText, false);
    const std::wstring mobile = TextOf(L"mobile_code_0");
    const std::wstring password = TextOf(L"pwd_code_0");
    if (mobile.empty() || password.empty()) {
        ShowMessage(mobile.empty() ? L"手机号为空，请输入手机号" : L"密码为空，请输入密码");
        SetLoginButton(kSignInText, true);
        return;
    }
    StartWorker(&PasswordLoginThread<g_loginWnd>,
                std::make_unique<AccountParam>(AccountParam{TextOf(L"area_code_0"), mobile, password}),
                &CLoginWnd::OnPasswordLoginFailed, kSignInFailedText);
}

void CLoginWnd::OnCodeLogin()
{
    SetLoginButton(kSigningInText, false);
    const std::wstring mobile = TextOf(L"mobile_code_1");
    const std::wstring code = TextOf(L"verify_code");
    if (mobile.empty() || code.empty()) {
        ShowMessage(mobile.empty() ? L"手机号为空，请输入手机号" : L"验证码为空，请输入验证码");
        SetLoginButton(kSignInText, true);
        return;
    }
    StartWorker(&CodeLoginThread<g_loginWnd>,
                std::make_unique<AccountParam>(AccountParam{TextOf(L"area_code_1"), mobile, code}),
                &CLoginWnd::OnCodeLoginFailed, kSignInFailedText);
}

void CLoginWnd::OnSendCode()
{
    if (IsCodeLimitReached()) {
        ShowMessage(L"当前日发送验证码次数已超限!");
        return;
    }
    const std::wstring areaCode = TextOf(L"area_code_1");
    const std::wstring mobile = TextOf(L"mobile_code_1");
    if (!IsAllDigits(areaCode)) {
        ShowMessage(L"手机区号请勿使用特殊字符");
        return;
    }
    if (mobile.empty()) {
        ShowMessage(L"手机号不能为空!");
        return;
    }
    if (!IsAllDigits(mobile)) {
        ShowMessage(L"账号请勿使用特殊字符");
        return;
    }
    StartCodeCountdown(FindControl(L"send_verify_btn"));
    StartWorker(&LoginSendCodeThread<g_loginWnd>,
                std::make_unique<AccountParam>(AccountParam{areaCode, kSignInCodeType, mobile}),
                &CLoginWnd::OnSendCodeFailed, kSendCodeFailedText);
}

void CLoginWnd::OnSubmitPassword()
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
    SetLoginButton(kSubmittingText, false);
    StartWorker(&LoginSetPassThread<g_loginWnd>, std::make_unique<std::wstring>(first), &CLoginWnd::OnSetPassFailed,
                kSetPassFailedText);
}

void CLoginWnd::CloseSignedIn()
{
    m_offersBinding = g_sessionData.GetIsFirst();
    Close(1);
}

void CLoginWnd::OnPasswordLoginDone(UINT_PTR firstSignIn, UINT_PTR)
{
    m_reportSignIn(firstSignIn);
    Close(1);
}

void CLoginWnd::OnPasswordLoginFailed(UINT_PTR, UINT_PTR message)
{
    const std::unique_ptr<std::wstring> text = AdoptMessage(message);
    SetLoginButton(kSignInText, true);
    ShowMessage(text ? text->c_str() : L"");
}

void CLoginWnd::OnCodeLoginDone(UINT_PTR firstSignIn, UINT_PTR)
{
    SetLoginButton(kSubmitText, true);
    // A sign-in by code starts the catalogue without the binding offer: a
    // new user sets a password first, and the binding follows this window.
    m_reportSignIn(0);
    if (firstSignIn == 0) {
        Close(1);
        return;
    }
    if (auto* pages = static_cast<CTabLayoutUI*>(m_manager.FindControl(kPages)))
        pages->SelectItem(static_cast<int>(LoginPage::FirstPassword), true);
    ShowMessage(L"");
}

void CLoginWnd::OnCodeLoginFailed(UINT_PTR first, UINT_PTR message) { OnPasswordLoginFailed(first, message); }

void CLoginWnd::OnTokenLoginDone(UINT_PTR firstSignIn, UINT_PTR second) { OnPasswordLoginDone(firstSignIn, second); }

void CLoginWnd::OnTokenLoginFailed(UINT_PTR, UINT_PTR message)
{
    AdoptMessage(message);
    SetLoginButton(kSignInText, true);
    ShowWithFocus();
    ShowMessage(L"用户信息过期，请重新登录！");
}

void CLoginWnd::OnSendCodeDone(UINT_PTR, UINT_PTR)
{
    ShowMessage(L"发送成功!");
    CountCodeSent();
}

void CLoginWnd::OnSendCodeFailed(UINT_PTR, UINT_PTR message)
{
    const std::unique_ptr<std::wstring> text = AdoptMessage(message);
    ShowMessage(text ? text->c_str() : L"");
}

void CLoginWnd::OnSetPassDone(UINT_PTR, UINT_PTR)
{
    SetLoginButton(kSubmitText, true);
    ShowMessage(L"新密码设置成功！");
    RememberPasswordSet();
    CloseSignedIn();
}

void CLoginWnd::OnSetPassFailed(UINT_PTR, UINT_PTR message)
{
    const std::unique_ptr<std::wstring> text = AdoptMessage(message);
    SetLoginButton(kSubmitText, true);
    ShowMessage(text ? text->c_str() : L"");
}

void CLoginWnd::SetLoginButton(LPCWSTR text, bool enabled)
{
    CControlUI* button = FindControl(kLoginButton);
    if (button == nullptr)
        return;
    button->SetText(text);
    button->SetEnabled(enabled);
}

// The number field takes the focus at the next paint: a focus set before
// the window's first paint would be moved on by that paint's own.
void CLoginWnd::ShowWithFocus()
{
    ShowWindow(true, true);
    if (CControlUI* number = FindControl(L"mobile_code_0"))
        m_manager.SetFocusNeeded(number);
}

int CLoginWnd::SelectedPage()
{
    auto* pages = static_cast<CTabLayoutUI*>(m_manager.FindControl(kPages));
    return pages != nullptr ? pages->GetSelectedIndex() : static_cast<int>(LoginPage::Password);
}
