#pragma once
// The accelerator-account binding window: the user picks one of the listed
// accelerators, enters the account's mobile number, requests an SMS code and
// binds. With a binding handed over before it opens, it only shows that
// binding, every input disabled.
//
// Opened over the main window with ShowModal(true, true) by the user menu,
// by a game's download start while no account is bound, and after a first
// sign-in. Result 1: bound (the session holds the new account); 0: closed
// without a binding, also when the service found the session expired: the
// window then ends at once, and only after that reports the expiry to its
// opener, so that the sign-in window never opens under it.

#include <functional>
#include <string>
#include <vector>

#include "dialogs/QueuedDialogWnd.h"

class CBindUsrWnd;
// The one binding window; null while none is open.
extern CBindUsrWnd* g_bindUsrWnd;

// One accelerator the user can bind an account of.
struct AcceleratorChoice
{
    std::wstring name;
    std::wstring softwareId;
};

// Told that the service refused a binding for an expired session; runs once
// the window is closing.
using SessionExpiryReport = std::function<void()>;

class CBindUsrWnd : public CQueuedDialogWnd<CBindUsrWnd, g_bindUsrWnd>
{
public:
    // `choices` fill the accelerator box in their order; the window keeps its
    // own copy.
    CBindUsrWnd(std::vector<AcceleratorChoice> choices, SessionExpiryReport reportExpiry);

    LPCWSTR GetWindowClassName() const override;  // "CBindUsrWnd"

    // The account already bound (UTF-8 account name and accelerator id), to
    // be shown read-only; called between CreateOver and ShowModal.
    void SetBoundAccount(const std::string& accountName, const std::string& softwareId);

    // Worker results; a heap payload is freed by its handler.
    // (heap request {accelerator id, account, code}, ignored)
    void OnBindDone(UINT_PTR request, UINT_PTR);
    void OnBindFailed(UINT_PTR, UINT_PTR message);
    void OnSendCodeDone(UINT_PTR, UINT_PTR);
    // The countdown goes on.
    void OnSendCodeFailed(UINT_PTR, UINT_PTR message);
    // Closes with 0, then tells the opener.
    void OnSessionExpired(UINT_PTR, UINT_PTR);

private:
    void OnWindowInit() override;
    void OnNotify(CalUI::NotifyMsg& msg) override;
    // Enter in the number fields requests a code, in the code field binds;
    // each only while its button is enabled, so that a request running or
    // a countdown is never doubled.
    bool OnKeyDown(WPARAM key) override;

    void FillChoices();
    void ShowBindingReadOnly();
    void OnSendCode();
    void OnBind();
    // A box over this window titled "绑定失败"; the bind button is itself again.
    void RefuseBind(LPCWSTR text);
    void SetBindButton(LPCWSTR text, bool enabled);
    bool IsEnabled(LPCWSTR name);

    std::vector<AcceleratorChoice> m_choices;
    SessionExpiryReport m_reportExpiry;
    std::wstring m_boundAccount;
    std::wstring m_boundSoftwareId;
};
