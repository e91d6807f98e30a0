// The signed-in user in the main window: the user menu, sign-out, a session
// the service dropped, and the boxes of failed requests.

#include "mainwindow/MainWnd.h"

#include <memory>
#include <string>

#include "services/RegistryUtil.h"
#include "services/RequestProtocol.h"
#include "services/SessionData.h"
#include "services/TextConvert.h"

#include "dialogs/LogoutWnd.h"
#include "dialogs/MsgBoxWnd.h"
#include "dialogs/SetPasswordWnd.h"

using namespace CalUI;

namespace {

constexpr WCHAR kUserMenu[] = L"user_menu";

}  // namespace

void CMainWnd::ShowUserMenu()
{
    if (CControlUI* name = m_manager.FindControl(L"username"))
        name->SetText(Utf8ToWide(g_sessionData.GetUsername()).c_str());
    if (CControlUI* menu = m_manager.FindControl(kUserMenu))
        menu->SetVisible(true);
}

void CMainWnd::HideUserMenu()
{
    if (CControlUI* menu = m_manager.FindControl(kUserMenu))
        menu->SetVisible(false);
}

void CMainWnd::OpenSetPassword()
{
    HideUserMenu();
    CSetPsdWnd window;
    window.CreateOver(m_hWnd);
    window.ShowModal(true, true);
}

void CMainWnd::OpenLogoutConfirmation()
{
    HideUserMenu();
    int answer = 0;
    {
        CLogoutWnd window;
        window.CreateOver(m_hWnd);
        answer = window.ShowModal(true, true);
    }
    if (answer == 1 && IsAlive())
        Logout();
}

void CMainWnd::Logout()
{
    if (HasRunningTasks()) {
        const MsgBoxResult answer = ShowMsgBox(m_hWnd, L"还有任务正在进行", L"退出登录将停止全部任务，确定退出登录吗？",
                                               MsgBoxButtons::OkCancel, L"确定", L"取消");
        if (answer != MsgBoxResult::Ok || !IsAlive())
            return;
        StopAllTasks();
    }
    ForgetSignIn();
    CancelAllRows();
    ShowLogin();
}

void CMainWnd::ForgetSignIn()
{
    g_sessionData.SetUserId("0");
    DeleteRegValue(HKEY_CURRENT_USER, kClientSettingsKey, "token2");
    g_sessionData.SetToken("");
    DeleteRegValue(HKEY_CURRENT_USER, kClientSettingsKey, "token");
}

void CMainWnd::OnSessionExpired(UINT_PTR, UINT_PTR)
{
    if (!IsAlive())
        return;
    // A binding window belongs to the session that ended: it closes with 0,
    // so that whatever opened it stops, and the sign-in comes once its loop
    // has returned.
    if (g_bindUsrWnd != nullptr) {
        g_bindUsrWnd->Close(0);
        PostMsg(m_hWnd, &CMainWnd::OnSessionExpired, 0, 0);
        return;
    }
    if (HasRunningTasks())
        StopAllTasks();
    ForgetSignIn();
    ShowLogin();
}

void CMainWnd::OnServerError(UINT_PTR code, UINT_PTR message)
{
    ShowListFailure(L"Calverin", message);
    if (IsAlive() && IsSessionExpiredCode(static_cast<int>(code)))
        PostMsg(m_hWnd, &CMainWnd::OnSessionExpired, 0, 0);
}

void CMainWnd::ShowListFailure(LPCWSTR title, UINT_PTR message)
{
    const std::unique_ptr<std::wstring> text(reinterpret_cast<std::wstring*>(message));
    ShowMsgBox(m_hWnd, title, text ? text->c_str() : L"", MsgBoxButtons::Ok, L"我知道了", L"取消");
}

void CMainWnd::OnCategoryListFailed(UINT_PTR, UINT_PTR message) { ShowListFailure(L"游戏分类列表获取失败", message); }
void CMainWnd::OnMyGamesFailed(UINT_PTR, UINT_PTR message) { ShowListFailure(L"我的游戏列表获取失败", message); }
void CMainWnd::OnAddMyGameFailed(UINT_PTR, UINT_PTR message) { ShowListFailure(L"添加我的游戏列表失败", message); }
void CMainWnd::OnGameListFailed(UINT_PTR, UINT_PTR message) { ShowListFailure(L"游戏列表获取失败", message); }
void CMainWnd::OnPluginListFailed(UINT_PTR, UINT_PTR message) { ShowListFailure(L"插件列表获取失败", message); }
void CMainWnd::OnJiasuqiListFailed(UINT_PTR, UINT_PTR message) { ShowListFailure(L"加速器列表获取失败", message); }
