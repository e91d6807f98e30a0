#pragma once
// The sign-in window. Its opener runs it hidden: with a saved token it signs
// in without ever showing itself, and it comes up only when no token is saved
// or the token is refused. Three pages share `login_btn`: sign-in by mobile
// number and password (0), sign-in or first registration by SMS code (1) and
// the first password after a first sign-in by code (2).
//
// Result 1: signed in (also when the new user then sets or skips the
// password); 0: closed without a sign-in. Every sign-in is reported to the
// opener through the callback given at construction, before the window
// closes; the opener owns what follows (the catalogue, and the binding window
// once this window has gone, which OffersBinding asks for).

#include <functional>
#include <string>

#include "dialogs/QueuedDialogWnd.h"

class CLoginWnd;
// The one sign-in window; null while none is open.
extern CLoginWnd* g_loginWnd;

// Told of a sign-in with the first-sign-in flag (1 or 0).
using SignInReport = std::function<void(UINT_PTR firstSignIn)>;

class CLoginWnd : public CQueuedDialogWnd<CLoginWnd, g_loginWnd>
{
public:
    explicit CLoginWnd(SignInReport reportSignIn);

    LPCWSTR GetWindowClassName() const override;  // "CLoginWnd"

    // Between a hidden CreateOver and ShowModal: fills in the saved user name
    // and, when a token is saved, starts the sign-in by it, which shows the
    // window only if the token is refused. Whether that sign-in started; the
    // window must not show before it ends.
    bool StartSavedSignIn();

    // After the loop: true when a first sign-in closed the window and the
    // user should now bind an accelerator account.
    bool OffersBinding() const { return m_offersBinding; }

    // Worker results; a heap message in `message` is freed by its handler.
    void OnPasswordLoginDone(UINT_PTR firstSignIn, UINT_PTR);
    void OnPasswordLoginFailed(UINT_PTR, UINT_PTR message);
    void OnCodeLoginDone(UINT_PTR firstSignIn, UINT_PTR);
    void OnCodeLoginFailed(UINT_PTR, UINT_PTR message);
    void OnTokenLoginDone(UINT_PTR firstSignIn, UINT_PTR);
    // The worker's text (or none) is freed, never shown.
    void OnTokenLoginFailed(UINT_PTR, UINT_PTR message);
    void OnSendCodeDone(UINT_PTR, UINT_PTR);
    // The countdown goes on.
    void OnSendCodeFailed(UINT_PTR, UINT_PTR message);
    void OnSetPassDone(UINT_PTR, UINT_PTR);
    void OnSetPassFailed(UINT_PTR, UINT_PTR message);

private:
    void OnWindowInit() override;
    void OnNotify(CalUI::NotifyMsg& msg) override;
    // Enter in a field runs the selected page's `login_btn` action, only
    // while that button is enabled.
    bool OnKeyDown(WPARAM key) override;

    void RunLoginAction();
    void SwitchToPage(int page, LPCWSTR fromNumber, LPCWSTR toNumber);
    void OnPasswordLogin();
    void OnCodeLogin();
    void OnSendCode();
    void OnSubmitPassword();
    // Closes with 1; a first sign-in goes on to the binding window.
    void CloseSignedIn();

    void SetLoginButton(LPCWSTR text, bool enabled);
    void ShowWithFocus();
    int SelectedPage();

    SignInReport m_reportSignIn;
    bool m_offersBinding = false;
};
