#pragma once
// The client's main window: a frameless, layered window built from
// "main.xml" of the skin archive and run modally by the entry point for the
// whole life of the client. Closing it only hides it in the notification
// area; the tray menu's exit (ExitApp) or a WM_CLOSE from outside ends the
// client, and the tray icon goes with the window whatever ends it. Workers
// reach the window through g_mainWnd and hand it their results on its call
// queue.

#include "services/MsgDispatch.h"
#include "services/WindowMultiThreadManager.h"

#include "core/UIInterfaces.h"
#include "core/WindowManagerUI.h"
#include "core/WindowWnd.h"

#include "mainwindow/TrayIcon.h"

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

    LPCWSTR GetWindowClassName() const override;  // "CMainWnd", which a second start looks for
    UINT GetClassStyle() const override;          // double clicks
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Notify(CalUI::NotifyMsg& msg) override;
    // "ContainerEx" for the navigation panels; none for other names.
    CalUI::CControlUI* CreateControl(LPCWSTR className) override;

    // Ends the client: asks first while downloads run (declined: nothing
    // changes), then stops them, hides the window, removes the tray icon and
    // ends the modal loop with 0. Both parameters are ignored (queued form).
    void ExitApp(UINT_PTR, UINT_PTR);
    bool HasRunningTasks() const;
    // Clears every registered task's run flag; the workers end on their own.
    void StopAllTasks();

protected:
    // The rounded window region follows the size, kept while minimised.
    virtual void OnSize();

private:
    // False when the skin yields no control tree.
    bool BuildSkin();
    void OnWindowInit();
    LRESULT OnNcHitTest(LPARAM lParam);
    LRESULT OnSysCommand(WPARAM command, LPARAM lParam);
    void OnTrayIcon(LPARAM mouseMessage);
    void ShowInFront();
    // Ends every modal loop running over the main window's, each with 0.
    void CloseModalWindows();

    CalUI::CWindowManagerUI m_manager;
    CTrayIcon m_tray;
    CWindowMultiThreadManager m_threads;
};

// The one main window; null before it is constructed and after it is gone.
extern CMainWnd* g_mainWnd;
