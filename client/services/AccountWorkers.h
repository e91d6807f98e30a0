#pragma once
// The account requests of the sign-in, set-password and binding windows:
// sending an SMS code, setting the password, binding an accelerator account.
// None of them reads "data"; each run queues exactly one success or failure
// call on its window, and a binding that finds the session expired also drops
// the session through the main window. Started as, for example,
// &BindSpeedThread<g_bindUsrWnd, g_mainWnd> (WindowCalls.h).

#include "services/ItemRecords.h"
#include "services/RequestProtocol.h"
#include "services/WindowCalls.h"

#include <memory>
#include <string>

// The texts of requests that got no readable answer.
inline constexpr wchar_t kSendCodeFailedText[] = L"网络错误，发送失败";
inline constexpr wchar_t kSetPassFailedText[] = L"密码设置失败！请稍后重试";
inline constexpr wchar_t kBindFailedText[] = L"绑定账号错误！请稍后重试";

// What an account request came to.
struct AccountOutcome
{
    bool success = false;
    int code = 0;          // the service's failure code; 0 for an unreadable reply
    std::wstring message;  // of a failure: the service's message or the fixed text
};

// Record {area code, request type, mobile number}.
AccountOutcome SendCode(const AccountParam& record);
RequestParams SetPassParams(const std::wstring& password);
AccountOutcome SetPass(const RequestParams& params);
// Record {accelerator id, account name, SMS code}.
AccountOutcome BindSpeed(const AccountParam& record);

template <auto& Window>
void QueueAccountOutcome(const AccountOutcome& outcome, WindowHandler<WindowOf<Window>> done,
                         WindowHandler<WindowOf<Window>> failed)
{
    if (outcome.success)
        QueueCall(Window, done, 0, 0);
    else
        QueueMessage(Window, failed, 0, outcome.message);
}

// Both windows that send codes answer with the same handler names; the record's
// request type tells the service which window asks.
template <auto& Window>
void SendCodeWorker(void* param)
{
    using Wnd = WindowOf<Window>;
    const AccountParam record = *std::unique_ptr<AccountParam>(static_cast<AccountParam*>(param));
    QueueAccountOutcome<Window>(SendCode(record), &Wnd::OnSendCodeDone, &Wnd::OnSendCodeFailed);
}

// Parameter: heap AccountParam {area code, "1", mobile number}, freed here.
template <auto& LoginWnd>
void LoginSendCodeThread(void* param)
{
    SendCodeWorker<LoginWnd>(param);
}

// Parameter: heap AccountParam {area code, "2", mobile number}, freed here.
template <auto& BindUsrWnd>
void BindSendCodeThread(void* param)
{
    SendCodeWorker<BindUsrWnd>(param);
}

// The sign-in window's set-password page and the set-password window answer
// with the same handler names. The password goes with the session token of
// the moment.
template <auto& Window>
void SetPassWorker(void* param)
{
    using Wnd = WindowOf<Window>;
    const RequestParams params = SetPassParams(*std::unique_ptr<std::wstring>(static_cast<std::wstring*>(param)));
    QueueAccountOutcome<Window>(SetPass(params), &Wnd::OnSetPassDone, &Wnd::OnSetPassFailed);
}

// Parameter: heap wide string with the new password, freed here.
template <auto& LoginWnd>
void LoginSetPassThread(void* param)
{
    SetPassWorker<LoginWnd>(param);
}

// Parameter: heap wide string with the new password, freed here.
template <auto& SetPsdWnd>
void SetPassThread(void* param)
{
    SetPassWorker<SetPsdWnd>(param);
}

// Parameter: heap AccountParam {accelerator id, account name, SMS code}, freed
// here; a success hands a copy of it to the binding window.
template <auto& BindUsrWnd, auto& MainWnd>
void BindSpeedThread(void* param)
{
    using Wnd = WindowOf<BindUsrWnd>;
    const AccountParam record = *std::unique_ptr<AccountParam>(static_cast<AccountParam*>(param));
    const AccountOutcome outcome = BindSpeed(record);
    if (outcome.success) {
        QueueWithFirst(BindUsrWnd, &Wnd::OnBindDone, record, 0);
        return;
    }
    QueueMessage(BindUsrWnd, &Wnd::OnBindFailed, 0, outcome.message);
    if (IsSessionExpiredCode(outcome.code))
        QueueCall(MainWnd, &WindowOf<MainWnd>::OnSessionExpired, 0, 0);
}
