#pragma once
// The uninstaller's one window: a confirmation page, a progress page while
// the removal worker runs, and a closing page. WinMain creates it without
// owner and runs it modally; when its loop ends the program ends. The window
// owns the worker's progress flags and stops the worker before they go.

#include "services/WindowMultiThreadManager.h"
#include "uninstaller/RemovalSteps.h"

#include "core/ControlUI.h"
#include "core/TabLayoutUI.h"
#include "core/UIInterfaces.h"
#include "core/WindowManagerUI.h"
#include "core/WindowWnd.h"

class CMainWnd : public CalUI::CWindowWnd, public CalUI::INotifyUI
{
public:
    CMainWnd() = default;
    // Stops the removal worker first: nothing it touches may go before it.
    ~CMainWnd() override;

    LPCWSTR GetWindowClassName() const override;  // "CMainWnd", which a second start looks for
    UINT GetClassStyle() const override;          // double clicks
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Notify(CalUI::NotifyMsg& msg) override;

protected:
    // The rounded window region follows the size when the skin sets corners.
    virtual void OnSize();

    CalUI::CWindowManagerUI m_manager;

private:
    // False when the skin yields no control tree.
    bool OnCreate();
    void OnWindowInit();
    LRESULT OnNcHitTest(LPARAM lParam);
    LRESULT OnSysCommand(WPARAM command, LPARAM lParam);

    // Page 1, the progress timer and the worker.
    void StartUninstall();
    void ReportRemovalFailed();
    // One tick of the bar; pauses at 51 % and 81 % until the worker's step is
    // done, and shows page 2 once the bar is full and the worker has ended.
    void OnProgressTimer();
    void ShowPage(int index);
    void HideAndClose();

    CalUI::CTabLayoutUI* m_pages = nullptr;
    CalUI::CControlUI* m_bar = nullptr;      // the filled part of the bar; may be missing
    CalUI::CControlUI* m_percent = nullptr;  // may be missing
    bool m_removing = false;
    RemovalProgress m_progress;
    CWindowMultiThreadManager m_threads;
};
