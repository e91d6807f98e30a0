#pragma once
// The client's main window: built from "main.xml" of the skin archive and run
// modally by the entry point for the whole life of the client. Workers reach
// it through g_mainWnd and hand it their results on its call queue.

#include "services/MsgDispatch.h"
#include "services/WindowMultiThreadManager.h"

#include "core/UIInterfaces.h"
#include "core/WindowManagerUI.h"
#include "core/WindowWnd.h"

class CMainWnd : public CalUI::CWindowWnd,
                 public CalUI::INotifyUI,
                 public CalUI::IDialogBuilderCallback,
                 public CMsgDispatch<CMainWnd>
{
public:
    // Registers the object as g_mainWnd; creates no native window.
    CMainWnd();
    // Stops the window's workers before anything they might touch goes.
    ~CMainWnd() override;

    LPCWSTR GetWindowClassName() const override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Notify(CalUI::NotifyMsg& msg) override;
    CalUI::CControlUI* CreateControl(LPCWSTR className) override;

private:
    // False when the skin yields no control tree.
    bool BuildSkin();

    CalUI::CWindowManagerUI m_manager;
    CWindowMultiThreadManager m_threads;
};

// The one main window; null before it is constructed and after it is gone.
extern CMainWnd* g_mainWnd;
