#include "uninstaller/MainWnd.h"

#include "dialogs/ClientWindowShape.h"
#include "uninstaller/ClientProcesses.h"
#include "uninstaller/Relocation.h"

#include <string>

using namespace CalUI;

namespace {

constexpr UINT kIconResource = 101;
constexpr UINT_PTR kProgressTimer = 4098;
constexpr UINT kProgressTickMs = 10;
constexpr int kBarStep = 5;
// The bar waits at these percentages for the worker's first two steps.
constexpr int kFilesPausePercent = 50;
constexpr int kShortcutPausePercent = 80;

enum Page
{
    kConfirmPage = 0,
    kProgressPage = 1,
    kFinishedPage = 2,
};

}  // namespace

CMainWnd::~CMainWnd() { m_threads.TerminateAll(); }

LPCWSTR CMainWnd::GetWindowClassName() const { return L"CMainWnd"; }
UINT CMainWnd::GetClassStyle() const { return CS_DBLCLKS; }

LRESULT CMainWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        // A window without its skin would be an invisible frame nothing can
        // close: refusing the creation ends the program instead.
        return OnCreate() ? 0 : -1;
    case WM_SIZE:
        OnSize();
        break;
    case WM_NCCALCSIZE:
        return 0;
    case WM_NCHITTEST:
        return OnNcHitTest(lParam);
    case WM_KEYDOWN:
    case WM_CHAR:
        // Enter must never start the removal from a focused button.
        if (wParam == VK_RETURN)
            return 0;
        break;
    case WM_SYSCOMMAND:
        return OnSysCommand(wParam, lParam);
    case WM_TIMER:
        if (wParam == kProgressTimer) {
            OnProgressTimer();
            return 0;
        }
        break;
    default:
        break;
    }
    LRESULT result = 0;
    if (m_manager.HandleWindowMessage(message, wParam, lParam, result))
        return result;
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

void CMainWnd::Notify(NotifyMsg& msg)
{
    if (msg.type == L"windowinit") {
        OnWindowInit();
        return;
    }
    if (msg.type != L"click")
        return;
    if (IsNotifyFrom(msg, L"close_btn") || IsNotifyFrom(msg, L"immediate_stilluse_btn") ||
        IsNotifyFrom(msg, L"immediate_ubinstallfinish_btn"))
        HideAndClose();
    else if (IsNotifyFrom(msg, L"min_btn"))
        ::ShowWindow(m_hWnd, SW_MINIMIZE);
    else if (IsNotifyFrom(msg, L"immediate_uninstall_btn"))
        StartUninstall();
}

void CMainWnd::OnSize()
{
    const SIZE corner = m_manager.GetRoundCorner();
    if (::IsIconic(m_hWnd) || (corner.cx == 0 && corner.cy == 0))
        return;
    RECT window = {};
    ::GetWindowRect(m_hWnd, &window);
    HRGN region = ::CreateRoundRectRgn(0, 0, window.right - window.left + 1, window.bottom - window.top + 1, corner.cx,
                                       corner.cy);
    // The window owns the region from here on.
    ::SetWindowRgn(m_hWnd, region, TRUE);
}

bool CMainWnd::OnCreate()
{
    MakeFrameless(m_hWnd, WS_CAPTION | WS_THICKFRAME);
    return BuildWindowSkin(m_hWnd, m_manager, L"main.xml", nullptr, this);
}

void CMainWnd::OnWindowInit()
{
    SetIcon(kIconResource);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    CControlUI* pages = m_manager.FindControl(L"tabpage");
    m_pages = pages ? static_cast<CTabLayoutUI*>(pages->GetInterface(L"TabLayout")) : nullptr;
    m_bar = m_manager.FindControl(L"pro_unins_lab");
    m_percent = m_manager.FindControl(L"unins_percent_lab");
}

// The caption band drags the window except over its buttons.
LRESULT CMainWnd::OnNcHitTest(LPARAM lParam)
{
    CControlUI* control = ControlInCaptionBand(m_hWnd, m_manager, lParam);
    if (control == nullptr) {
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ::ScreenToClient(m_hWnd, &pt);
        return pt.y >= 0 && pt.y < m_manager.GetCaptionRect().bottom ? HTCAPTION : HTCLIENT;
    }
    const std::wstring className = control->GetClass();
    const bool reactsToMouse = className == L"Button" || className == L"Option" || className == L"Combo";
    return reactsToMouse ? HTCLIENT : HTCAPTION;
}

LRESULT CMainWnd::OnSysCommand(WPARAM command, LPARAM lParam)
{
    switch (command & 0xFFF0) {
    case SC_CLOSE:
        // Hidden, not closed: a second start shows the window again.
        ShowWindow(false, false);
        return 0;
    case SC_KEYMENU:
        return 0;
    default:
        return CWindowWnd::HandleMessage(WM_SYSCOMMAND, command, lParam);
    }
}

void CMainWnd::StartUninstall()
{
    if (m_removing)
        return;
    m_removing = true;
    ShowPage(kProgressPage);
    // The client goes at the click; the worker waits for it to let go of
    // its files before it deletes them.
    if (FindProcessId(kClientProgramName))
        KillProcessByName(kClientProgramName, 0);
    ::SetTimer(m_hWnd, kProgressTimer, kProgressTickMs, nullptr);
    if (m_threads.StartThread(&UninstallThreadProc, &m_progress) == 0)
        ReportRemovalFailed();
}

// Without its worker the bar would wait at its first pause for good: the
// window says so instead, and its close button ends it.
void CMainWnd::ReportRemovalFailed()
{
    ::KillTimer(m_hWnd, kProgressTimer);
    if (m_percent)
        m_percent->SetText(L"卸载失败");
    ::MessageBoxW(m_hWnd, L"卸载失败，请关闭后重新运行卸载程序", kUninstallerTitle, MB_OK);
}

void CMainWnd::OnProgressTimer()
{
    CControlUI* track = m_bar ? m_bar->GetParent() : nullptr;
    const int total = track ? track->GetFixedWidth() : 0;
    if (total <= 0) {
        // Without a bar to show there is nothing to wait for but the worker.
        if (m_progress.allDone) {
            ::KillTimer(m_hWnd, kProgressTimer);
            ShowPage(kFinishedPage);
        }
        return;
    }
    int current = m_bar->GetFixedWidth();
    const int percent = current * 100 / total;
    if (m_percent) {
        m_percent->SetText((std::to_wstring(percent) + L"%").c_str());
    }
    // The timer runs through a pause, so a pause ends at the first tick after
    // the worker set its flag.
    if (percent > kFilesPausePercent && !m_progress.filesDone)
        return;
    if (percent > kShortcutPausePercent && !m_progress.shortcutDone)
        return;
    if (percent < 100) {
        current += kBarStep;
        m_bar->SetFixedWidth(current < total ? current : total);
    } else if (m_progress.allDone) {
        ::KillTimer(m_hWnd, kProgressTimer);
        ShowPage(kFinishedPage);
    }
}

void CMainWnd::ShowPage(int index)
{
    if (m_pages)
        m_pages->SelectItem(index);
}

void CMainWnd::HideAndClose()
{
    ShowWindow(false, false);
    Close(0);
}
