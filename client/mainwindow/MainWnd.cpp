#include "mainwindow/MainWnd.h"

#include <cwchar>

#include "core/SkinBuilder.h"
#include "mainwindow/ContainerExUI.h"

CMainWnd* g_mainWnd = nullptr;

CMainWnd::CMainWnd() { g_mainWnd = this; }

CMainWnd::~CMainWnd()
{
    m_threads.TerminateAll();
    g_mainWnd = nullptr;
}

LPCWSTR CMainWnd::GetWindowClassName() const { return L"CMainWnd"; }

LRESULT CMainWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsDispatchMessage(message)) {
        DispatchMsgs();
        return 0;
    }
    // A window without its skin would stay an invisible empty frame that
    // nothing can close: refusing the creation ends the client instead.
    if (message == WM_CREATE && !BuildSkin())
        return -1;
    LRESULT result = 0;
    if (m_manager.HandleWindowMessage(message, wParam, lParam, result))
        return result;
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

void CMainWnd::Notify(CalUI::NotifyMsg&) {}

CalUI::CControlUI* CMainWnd::CreateControl(LPCWSTR name)
{
    if (std::wcscmp(name, L"ContainerEx") == 0)
        return new CContainerExUI;
    return nullptr;
}

bool CMainWnd::BuildSkin()
{
    m_manager.Init(m_hWnd);
    CalUI::CSkinBuilder builder;
    CalUI::CControlUI* root = builder.Create(L"main.xml", nullptr, this, &m_manager);
    if (!root)
        return false;
    m_manager.AttachRoot(root);
    m_manager.AddNotifyReceiver(this);
    return true;
}
