#pragma once
// The three ways of signing in through "/Box/User/login": SMS code, password
// and the token saved by an earlier sign-in. A success stores the user in the
// registry and the session and reports the sign-in; each run queues exactly one
// call on the sign-in window. The workers are started with
// &CodeLoginThread<g_loginWnd> and so on (WindowCalls.h).

#include "services/ItemRecords.h"
#include "services/RequestProtocol.h"
#include "services/SessionData.h"
#include "services/WindowCalls.h"

#include <memory>
#include <string>

// The text of a sign-in that got no readable answer.
inline constexpr wchar_t kSignInFailedText[] = L"登录错误！请稍后重试";

// What a sign-in came to.
struct SignInOutcome
{
    bool success = false;
    bool first = false;    // the user's first sign-in
    std::wstring message;  // of a failure: the service's message or the fixed text
};

// The report's op_type of each way of signing in.
constexpr uint32_t kSignInByCodeOrToken = 0;
constexpr uint32_t kSignInByPassword = 1;

// The request parameters; the area code is not sent.
RequestParams CodeSignInParams(const AccountParam& record);
RequestParams PasswordSignInParams(const AccountParam& record);
RequestParams TokenSignInParams(const StringPair& saved);

// Sends the sign-in and, on success, stores and reports it.
SignInOutcome SignIn(const RequestParams& params, uint32_t opType);

template <auto& LoginWnd>
void QueueSignInOutcome(const SignInOutcome& outcome, WindowHandler<WindowOf<LoginWnd>> done,
                        WindowHandler<WindowOf<LoginWnd>> failed)
{
    if (outcome.success)
        QueueCall(LoginWnd, done, outcome.first ? 1 : 0, 0);
    else
        QueueMessage(LoginWnd, failed, 0, outcome.message);
}

// Parameter: heap AccountParam {area code, mobile number, SMS code}, freed here.
template <auto& LoginWnd>
void CodeLoginThread(void* param)
{
    using Wnd = WindowOf<LoginWnd>;
    const RequestParams params = CodeSignInParams(*std::unique_ptr<AccountParam>(static_cast<AccountParam*>(param)));
    QueueSignInOutcome<LoginWnd>(SignIn(params, kSignInByCodeOrToken), &Wnd::OnCodeLoginDone, &Wnd::OnCodeLoginFailed);
}

// Parameter: heap AccountParam {area code, mobile number, password}, freed here.
template <auto& LoginWnd>
void PasswordLoginThread(void* param)
{
    using Wnd = WindowOf<LoginWnd>;
    const RequestParams params =
        PasswordSignInParams(*std::unique_ptr<AccountParam>(static_cast<AccountParam*>(param)));
    QueueSignInOutcome<LoginWnd>(SignIn(params, kSignInByPassword), &Wnd::OnPasswordLoginDone,
                                 &Wnd::OnPasswordLoginFailed);
}

// Parameter: heap StringPair {saved token, saved user name}, freed here. The
// saved token stands in the session's user id (and so in the "Userid" header)
// until a sign-in stores the real one; without a token nothing is sent.
template <auto& LoginWnd>
void TokenLoginThread(void* param)
{
    using Wnd = WindowOf<LoginWnd>;
    const StringPair saved = *std::unique_ptr<StringPair>(static_cast<StringPair*>(param));
    g_sessionData.SetUserId(saved.first);
    if (saved.first.empty()) {
        QueueCall(LoginWnd, &Wnd::OnTokenLoginFailed, 0, 0);
        return;
    }
    QueueSignInOutcome<LoginWnd>(SignIn(TokenSignInParams(saved), kSignInByCodeOrToken), &Wnd::OnTokenLoginDone,
                                 &Wnd::OnTokenLoginFailed);
}
