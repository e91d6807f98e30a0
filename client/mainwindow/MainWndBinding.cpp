// The accelerator-account binding as the main window offers it: from the
// user menu, to a download start, and after a first sign-in.

#include "mainwindow/MainWnd.h"

#include "services/SessionData.h"

#include "dialogs/LoginWnd.h"

bool CMainWnd::OpenBindingWindow()
{
    if (g_bindUsrWnd != nullptr)
        return false;
    // Queued, the session is dropped after the binding window's loop has
    // ended and the code that opened it has gone on with result 0.
    CBindUsrWnd window(AcceleratorChoices(), [this] { PostMsg(m_hWnd, &CMainWnd::OnSessionExpired, 0, 0); });
    window.CreateOver(m_hWnd);
    const std::string account = g_sessionData.GetSoftwareUsername();
    if (!account.empty())
        window.SetBoundAccount(account, g_sessionData.GetSoftwareId());
    return window.ShowModal(true, true) == 1;
}

void CMainWnd::OpenBindingFromMenu()
{
    HideUserMenu();
    OpenBindingWindow();
}

void CMainWnd::OpenBindingAfterFirstSignIn()
{
    if (m_bindingOffered || !IsAlive())
        return;
    if (g_loginWnd != nullptr) {
        m_bindingAwaitsSignIn = true;
        return;
    }
    m_bindingOffered = true;
    m_bindingAwaitsSignIn = false;
    OpenBindingWindow();
}

std::vector<AcceleratorChoice> CMainWnd::AcceleratorChoices() const
{
    std::vector<AcceleratorChoice> choices;
    if (const std::deque<JiasuqiInfo*>* list = m_jiasuqiIcons.Newest()) {
        for (const JiasuqiInfo* record : *list)
            choices.push_back({record->name, record->software_id});
    }
    return choices;
}
