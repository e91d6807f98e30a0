#pragma once
// The set-password window of a signed-in user, opened from the user menu.
// It checks the two entries, sends the new password and closes with 1 once
// the service took it (marking the user's password as set in the registry);
// 0 when closed otherwise. Enter in either entry does nothing.

#include <string>

#include "dialogs/QueuedDialogWnd.h"

class CSetPsdWnd;
// The one set-password window; null while none is open.
extern CSetPsdWnd* g_setPsdWnd;

class CSetPsdWnd : public CQueuedDialogWnd<CSetPsdWnd, g_setPsdWnd>
{
public:
    CSetPsdWnd();

    LPCWSTR GetWindowClassName() const override;  // "CSetPsdWnd"

    void OnSetPassDone(UINT_PTR, UINT_PTR);
    // Frees the heap message it shows.
    void OnSetPassFailed(UINT_PTR, UINT_PTR message);

private:
    void OnNotify(CalUI::NotifyMsg& msg) override;
    bool OnKeyDown(WPARAM key) override;
    void OnSubmit();
    void SetOkButton(LPCWSTR text, bool enabled);
};
