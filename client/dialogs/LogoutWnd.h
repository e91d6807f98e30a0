#pragma once
// The sign-out confirmation opened from the user menu: 1 when the user
// confirms, 0 for "取消", the close button or SC_CLOSE. It starts no workers;
// its queue exists so that it is reached like the other account windows.

#include "dialogs/QueuedDialogWnd.h"

class CLogoutWnd;
// The one sign-out confirmation; null while none is open.
extern CLogoutWnd* g_logoutWnd;

class CLogoutWnd : public CQueuedDialogWnd<CLogoutWnd, g_logoutWnd>
{
public:
    CLogoutWnd();

    LPCWSTR GetWindowClassName() const override;  // "CLogoutWnd"

private:
    void OnNotify(CalUI::NotifyMsg& msg) override;
};
