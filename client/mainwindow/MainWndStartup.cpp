// The start-up chain of the main window: Favorites refusal, version check and
// update, configuration, sign-in and the catalogue requests that follow it.

#include "mainwindow/MainWnd.h"

#include <shellapi.h>

#include <memory>
#include <string>

#include "services/AppFolder.h"
#include "services/CatalogueWorkers.h"
#include "services/FileUtil.h"
#include "services/StartupWorkers.h"
#include "services/TextConvert.h"

#include "dialogs/LoginWnd.h"
#include "dialogs/MsgBoxWnd.h"

using namespace CalUI;

namespace {

constexpr WCHAR kCancelCaption[] = L"取消";
constexpr WCHAR kGotItCaption[] = L"我知道了";
// The catalogue request's tag for the full category list at sign-in.
constexpr UINT_PTR kAllCategoriesAtSignIn = 1;

std::unique_ptr<std::wstring> AdoptText(UINT_PTR message)
{
    return std::unique_ptr<std::wstring>(reinterpret_cast<std::wstring*>(message));
}

LPCWSTR TextOrEmpty(const std::unique_ptr<std::wstring>& text) { return text ? text->c_str() : L""; }

}  // namespace

// Runs as a queued call after "windowinit": the boxes of the chain must not
// open inside the window's first paint.
void CMainWnd::StartChecks(UINT_PTR, UINT_PTR)
{
    // Exact case, as the folder name is written.
    if (g_appFolder.find(L"\\Favorites\\") != std::wstring::npos) {
        RefuseFavorites(0, 0);
        return;
    }
    if (CControlUI* version = m_manager.FindControl(L"version_lab"))
        version->SetText(L"v2.0.1");
    StartChainWorker(&CheckVersionThread<g_mainWnd>, nullptr, &CMainWnd::OnCheckVersionFailed, kCheckVersionFailedText);
}

// A step whose worker cannot start ends as its request would without an
// answer: its box, and whatever follows that box.
void CMainWnd::StartChainWorker(CWindowMultiThreadManager::ThreadProc worker, void* param,
                                WindowHandler<CMainWnd> failed, LPCWSTR failureText)
{
    if (m_threads.StartThread(worker, param) == 0)
        QueueMessage(this, failed, 0, failureText);
}

void CMainWnd::RefuseFavorites(UINT_PTR, UINT_PTR)
{
    ShowMsgBox(m_hWnd, L"Calverin", L"无法在收藏夹中运行！", MsgBoxButtons::Ok, L"确定", kCancelCaption);
    PostMsg(m_hWnd, &CMainWnd::ExitApp, 0, 0);
}

void CMainWnd::OnCheckVersionReply(UINT_PTR newerVersion, UINT_PTR updateText)
{
    const std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(updateText));
    if (newerVersion == 0) {
        StartChainWorker(&GetConfigThread<g_mainWnd>, nullptr, &CMainWnd::OnGetConfigFailed, kGetConfigFailedText);
        return;
    }
    if (newerVersion != 1)
        return;
    const std::wstring parameters = text ? Utf8ToWide(*text) : std::wstring();
    const MsgBoxResult answer = ShowMsgBox(m_hWnd, L"检测到新版本", L"发现最新版本，是否立即更新？",
                                           MsgBoxButtons::OkCancel, L"立即更新", L"退出");
    if (!IsAlive())
        return;
    if (answer == MsgBoxResult::Ok)
        StartUpdater(parameters);
    PostMsg(m_hWnd, &CMainWnd::ExitApp, 0, 0);
}

// The program started is always the copy: the service's text only ever
// becomes its parameters.
void CMainWnd::StartUpdater(const std::wstring& parameters)
{
    const std::wstring source = g_appFolder + L"update.exe";
    if (!FileExists(source)) {
        ShowMsgBox(m_hWnd, L"Calverin", L"更新组件丢失，请到官网重新下载安装软件！", MsgBoxButtons::Ok, kGotItCaption,
                   kCancelCaption);
        return;
    }
    const std::wstring folder = g_appFolder + L"update";
    CreateFolderTree(folder);
    const std::wstring copy = folder + L"\\update.exe";
    ::CopyFileW(source.c_str(), copy.c_str(), FALSE);
    ::ShellExecuteW(nullptr, L"open", copy.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

void CMainWnd::OnCheckVersionFailed(UINT_PTR, UINT_PTR message)
{
    const std::unique_ptr<std::wstring> text = AdoptText(message);
    ShowMsgBox(m_hWnd, L"Calverin", TextOrEmpty(text), MsgBoxButtons::Ok, kGotItCaption, kCancelCaption);
}

void CMainWnd::OnGetConfigDone(UINT_PTR, UINT_PTR) { ShowLogin(); }

void CMainWnd::OnGetConfigFailed(UINT_PTR, UINT_PTR message)
{
    const std::unique_ptr<std::wstring> text = AdoptText(message);
    ShowMsgBox(m_hWnd, L"初始化失败", TextOrEmpty(text), MsgBoxButtons::Ok, kGotItCaption, kCancelCaption);
    if (IsAlive())
        ExitApp(0, 0);
}

void CMainWnd::ShowLogin()
{
    if (g_loginWnd != nullptr)
        return;
    m_bindingOffered = false;
    m_bindingAwaitsSignIn = false;
    int result = 0;
    bool offersBinding = false;
    {
        CLoginWnd login([this](UINT_PTR firstSignIn) { PostMsg(m_hWnd, &CMainWnd::OnLoginDone, firstSignIn, 0); });
        // Created hidden: a silent sign-in by the saved token never shows it.
        login.CreateOver(m_hWnd, DialogCreation::HiddenUntilShowModal);
        const bool signsInSilently = login.StartSavedSignIn();
        result = login.ShowModal(!signsInSilently, true);
        offersBinding = login.OffersBinding();
    }
    if (!IsAlive())
        return;
    if (result != 1) {
        ExitApp(0, 0);
        return;
    }
    ShowSignedInButtons();
    if (offersBinding || m_bindingAwaitsSignIn)
        OpenBindingAfterFirstSignIn();
}

void CMainWnd::ShowSignedInButtons()
{
    if (CControlUI* login = m_manager.FindControl(L"login_btn"))
        login->SetVisible(false);
    for (LPCWSTR name : {L"user_btn", L"expand_user_btn"}) {
        if (CControlUI* button = m_manager.FindControl(name))
            button->SetVisible(true);
    }
}

void CMainWnd::OnLoginDone(UINT_PTR firstSignIn, UINT_PTR)
{
    StartChainWorker(&GetGamesCategoryThread<g_mainWnd>, reinterpret_cast<void*>(kAllCategoriesAtSignIn),
                     &CMainWnd::OnCategoryListFailed, kCategoriesFailedText);
    StartChainWorker(&OwnerGamesCategoryThread<g_mainWnd>, nullptr, &CMainWnd::OnMyGamesFailed,
                     kOwnCategoriesFailedText);
    StartChainWorker(&GetSoftwaresThread<g_mainWnd>, reinterpret_cast<void*>(firstSignIn),
                     &CMainWnd::OnJiasuqiListFailed, kSoftwaresFailedText);
}
