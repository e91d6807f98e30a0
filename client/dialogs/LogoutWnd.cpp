// The sign-out confirmation.

#include "dialogs/LogoutWnd.h"

using namespace CalUI;

CLogoutWnd* g_logoutWnd = nullptr;

CLogoutWnd::CLogoutWnd() : CQueuedDialogWnd(L"logout.xml") {}

LPCWSTR CLogoutWnd::GetWindowClassName() const { return L"CLogoutWnd"; }

void CLogoutWnd::OnNotify(NotifyMsg& msg)
{
    if (msg.type != L"click")
        return;
    if (IsNotifyFrom(msg, L"close_btn") || IsNotifyFrom(msg, L"cancel_logout"))
        Close(0);
    else if (IsNotifyFrom(msg, L"ok_logout"))
        Close(1);
}
