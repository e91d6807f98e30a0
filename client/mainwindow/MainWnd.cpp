// The main window's life, native messages, tray and ending.

#include "mainwindow/MainWnd.h"

#include <cwchar>
#include <vector>

#include "services/AppFolder.h"
#include "services/FileUtil.h"
#include "services/SessionData.h"
#include "services/WebLinks.h"

#include "dialogs/ClientWindowShape.h"
#include "dialogs/MsgBoxWnd.h"
#include "mainwindow/ContainerExUI.h"

using namespace CalUI;

CMainWnd* g_mainWnd = nullptr;

namespace {

constexpr UINT kMainIconResource = 103;
constexpr WCHAR kTrayTip[] = L"Calverin";

}  // namespace

CMainWnd::CMainWnd() { g_mainWnd = this; }

CMainWnd::~CMainWnd()
{
    m_threads.TerminateAll();
    g_mainWnd = nullptr;
}

LPCWSTR CMainWnd::GetWindowClassName() const { return L"CMainWnd"; }
UINT CMainWnd::GetClassStyle() const { return CS_DBLCLKS; }

LRESULT CMainWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsDispatchMessage(message)) {
        DispatchMsgs();
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        // A window without its skin would stay an invisible empty frame that
        // nothing can close: refusing the creation ends the client instead.
        return OnCreate() ? 0 : -1;
    case WM_SIZE:
        OnSize();
        break;
    case WM_TIMER:
        if (OnTimer(wParam))
            return 0;
        break;
    case WM_NCCALCSIZE:
    case WM_NCLBUTTONDBLCLK:
        return 0;
    case WM_NCHITTEST:
        return OnNcHitTest(lParam);
    case WM_SYSCOMMAND:
        return OnSysCommand(wParam, lParam);
    case WM_KEYDOWN:
        if (OnKeyDown(wParam))
            return 0;
        break;
    case kTrayIconMessage:
        OnTrayIcon(lParam);
        return 0;
    case WM_DESTROY:
        // However the window ends, no icon may stay behind for a dead client.
        m_tray.Remove();
        break;
    default:
        if (message == m_tray.GetTaskbarCreatedMessage())
            m_tray.AddAgain();
        break;
    }
    LRESULT result = 0;
    if (m_manager.HandleWindowMessage(message, wParam, lParam, result))
        return result;
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

void CMainWnd::Notify(NotifyMsg& msg)
{
    if (msg.type == L"windowinit")
        OnWindowInit();
    else if (msg.type == L"click")
        OnClick(msg);
    else if (msg.type == L"setfocus")
        OnSetFocus(msg);
    else if (msg.type == L"itemselect")
        OnItemSelect(msg);
    else if (msg.type == L"selectchanged")
        OnSelectChanged(msg);
    else if (msg.type == L"mouseenter")
        OnMouseEnter(msg);
    else if (msg.type == L"mouseleave")
        OnMouseLeave(msg);
    else if (msg.type == L"textchanged")
        OnTextChanged(msg);
}

// After every click, handled or not, the add-my-game mode is on exactly when
// the click was on "add_my_game". Decided before the action: a tile click may
// run the overlay's loop, during which a reply can free the sender.
void CMainWnd::OnClick(const NotifyMsg& msg)
{
    // Rows that a reply replaces while this click runs stay whole until the
    // click, and the control that sent it, are done with them. The add mode
    // is decided by the sender's name before its action may free it.
    const bool addMyGame = IsNotifyFrom(msg, L"add_my_game");
    ++m_clickDepth;
    RunClick(msg);
    SetAddMyGameMode(addMyGame);
    if (--m_clickDepth == 0 && !m_retiredRows.empty() && IsAlive())
        PostMsg(m_hWnd, &CMainWnd::FreeRetiredRows, 0, 0);
}

void CMainWnd::OnItemSelect(const NotifyMsg& msg)
{
    if (IsNotifyFrom(msg, L"game_server_combo") || IsNotifyFrom(msg, L"game_version_combo"))
        OnGameFilterChanged();
    else if (IsNotifyFrom(msg, L"plugin_server_combo") || IsNotifyFrom(msg, L"plugin_version_combo"))
        OnPluginFilterChanged();
}

void CMainWnd::RunClick(const NotifyMsg& msg)
{
    if (OnCatalogueClick(msg))
        return;
    if (IsNotifyFrom(msg, L"game_download_btn"))
        OnGameDownloadClick(msg.sender);
    else if (IsNotifyFrom(msg, L"plugin_download_btn"))
        OnPluginDownloadClick(msg.sender);
    else if (IsNotifyFrom(msg, L"game_canceldownload_btn"))
        OnGameCancelClick(msg.sender);
    else if (IsNotifyFrom(msg, L"plugin_canceldownload_btn"))
        OnPluginCancelClick(msg.sender);
    else if (IsNotifyFrom(msg, L"jiasuqi_canceldownload_btn"))
        OnJiasuqiCancelClick(msg.sender);
    else if (IsNotifyFrom(msg, L"jiasuqi_download_btn"))
        OnJiasuqiDownloadClick(msg.sender);
    // ---- Item uninstall and view (MainWndUninstall.cpp)
    else if (IsNotifyFrom(msg, L"game_unintall_btn"))
        UninstallGame(msg.sender);
    else if (IsNotifyFrom(msg, L"plugin_unintall_btn"))
        UninstallPlugins(msg.sender);
    else if (IsNotifyFrom(msg, L"jiasuqi_unintall_btn"))
        UninstallJiasuqi(msg.sender);
    // ---- End of item uninstall and view
    else if (IsNotifyFrom(msg, L"close_btn"))
        ShowWindow(false, true);
    else if (IsNotifyFrom(msg, L"min_btn"))
        ::ShowWindow(m_hWnd, SW_MINIMIZE);
    else if (IsNotifyFrom(msg, L"user_btn") || IsNotifyFrom(msg, L"expand_user_btn"))
        ShowUserMenu();
    else if (IsNotifyFrom(msg, L"usermenu_bindjsq"))
        OpenBindingFromMenu();
    else if (IsNotifyFrom(msg, L"usermenu_setpsd"))
        OpenSetPassword();
    else if (IsNotifyFrom(msg, L"usermenu_logout"))
        OpenLogoutConfirmation();
    else if (IsNotifyFrom(msg, L"service_btn"))
        OpenWebLink(g_sessionData.GetService());
    else if (IsNotifyFrom(msg, L"upload_plugin"))
        OpenWebLink(g_sessionData.GetUploadPlugins());
    else if (IsNotifyFrom(msg, L"game_ads_btn"))
        OpenWebLink(msg.sender->GetUserData().GetData());
}

// The user menu closes as soon as the focus goes anywhere outside it.
void CMainWnd::OnSetFocus(const NotifyMsg& msg)
{
    if (msg.sender == nullptr || IsNotifyFrom(msg, L"user_menu"))
        return;
    CControlUI* parent = msg.sender->GetParent();
    if (parent != nullptr && parent->GetName() != L"user_menu")
        HideUserMenu();
}

CControlUI* CMainWnd::CreateControl(LPCWSTR name)
{
    if (std::wcscmp(name, L"ContainerEx") == 0)
        return new CContainerExUI;
    return nullptr;
}

void CMainWnd::ExitApp(UINT_PTR, UINT_PTR)
{
    if (HasRunningTasks()) {
        const MsgBoxResult answer = ShowMsgBox(m_hWnd, L"还有任务正在进行", L"退出程序将停止全部任务，确定退出吗？",
                                               MsgBoxButtons::OkCancel, L"确定", L"取消");
        if (answer != MsgBoxResult::Ok)
            return;
        StopAllTasks();
    }
    m_ending = true;
    ShowWindow(false, true);
    m_tray.Remove();
    CloseModalWindows();
    Close(0);
}

// Each loop ends on its own window's WM_CLOSE; posted before the main
// window's, innermost first, they end with 0 before the main window goes, so
// that no code after them runs against a destroyed main window.
void CMainWnd::CloseModalWindows()
{
    const std::vector<HWND> loops = GetModalWindows();
    for (auto it = loops.rbegin(); it != loops.rend(); ++it) {
        if (*it != m_hWnd)
            ::PostMessageW(*it, WM_CLOSE, 0, 0);
    }
}

bool CMainWnd::IsAlive() const { return !m_ending && ::IsWindow(m_hWnd); }

bool CMainWnd::HasRunningTasks() const { return g_sessionData.GetTaskCount() > 0; }

void CMainWnd::StopAllTasks()
{
    while (g_sessionData.PopFirstTask() != 0) {
    }
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
    return BuildWindowSkin(m_hWnd, m_manager, L"main.xml", this, this);
}

void CMainWnd::OnWindowInit()
{
    m_tray.Add(kTrayTip, m_hWnd);
    SetIcon(kMainIconResource);
    ::SetForegroundWindow(m_hWnd);
    ::BringWindowToTop(m_hWnd);
    CreateFolderTree(g_appFolder + L"cache");
    PostMsg(m_hWnd, &CMainWnd::StartChecks, 0, 0);
}

// Only the caption band drags, and only where no control reacts to the mouse.
LRESULT CMainWnd::OnNcHitTest(LPARAM lParam)
{
    CControlUI* control = ControlInCaptionBand(m_hWnd, m_manager, lParam);
    return control != nullptr && IsCaptionControl(control) ? HTCAPTION : HTCLIENT;
}

// The whole command is compared: a command with low bits set is none of these.
LRESULT CMainWnd::OnSysCommand(WPARAM command, LPARAM lParam)
{
    switch (command) {
    case SC_CLOSE:
        ShowWindow(false, true);
        return 0;
    case SC_MINIMIZE:
        ::ShowWindow(m_hWnd, SW_MINIMIZE);
        return 0;
    case SC_MAXIMIZE:
    case SC_KEYMENU:
        return 0;
    default:
        return CWindowWnd::HandleMessage(WM_SYSCOMMAND, command, lParam);
    }
}

void CMainWnd::OnTrayIcon(LPARAM mouseMessage)
{
    switch (mouseMessage) {
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        ShowInFront();
        break;
    case WM_RBUTTONDOWN:
        switch (m_tray.TrackMenu(m_hWnd)) {
        case TrayMenuCommand::ShowMainWindow:
            ShowWindow(true, true);
            break;
        case TrayMenuCommand::ExitClient:
            ExitApp(0, 0);
            break;
        case TrayMenuCommand::None:
            break;
        }
        break;
    default:
        break;
    }
}

void CMainWnd::ShowInFront()
{
    ShowWindow(true, true);
    ::BringWindowToTop(m_hWnd);
    ::SetForegroundWindow(m_hWnd);
}
