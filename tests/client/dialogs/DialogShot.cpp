// One of the client's dialogs over a stand-in owner the size and place of
// the main window, for the dialog screenshots (scripts/screenshot-main.sh,
// which lays each shot over its shot of the main window). The client's skin
// archive, named on the command line, goes to the framework; the dialog
// comes up in the state its kind names and is closed after the given time,
// so the program ends on its own.
//   dialog_shot ARCHIVE KIND [SECONDS]
// Kinds: msgbox1 and msgbox2 (the message box with one and two buttons),
// login0, login1 and login2 (the sign-in window's pages), setpsd, logout,
// selpath (the folder selection with a game's proposed folders), viewpath,
// bindjsq (the binding window counting down after a code was sent) and
// bindjsq_bound (a bound account, read-only).
// Only the dialog is titled "Calverin"; the owner is not, so the script
// finds the dialog alone.

#include "services/AppFolder.h"
#include "services/FileUtil.h"

#include "controls/ComboUI.h"
#include "core/TabLayoutUI.h"
#include "core/WindowManagerUI.h"

#include "dialogs/BindUsrWnd.h"
#include "dialogs/LoginWnd.h"
#include "dialogs/LogoutWnd.h"
#include "dialogs/MsgBoxWnd.h"
#include "dialogs/SetPasswordWnd.h"
#include "dialogs/SetPathWnd.h"
#include "dialogs/ViewPathWnd.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

constexpr UINT kDefaultSeconds = 8;
constexpr UINT kStateDelayMs = 600;

UINT g_closeAfterMs = kDefaultSeconds * 1000;

class OwnerWnd : public CalUI::CWindowWnd
{
public:
    LPCWSTR GetWindowClassName() const override { return L"CalverinShotOwner"; }
};

// The sign-in window with a page chosen from outside.
class ShotLoginWnd : public CLoginWnd
{
public:
    ShotLoginWnd(int page) : CLoginWnd([](UINT_PTR) {}), m_page(page) {}

    void ShowPage()
    {
        if (auto* pages = static_cast<CalUI::CTabLayoutUI*>(FindControl(L"child_page")))
            pages->SelectItem(m_page, true);
        // What each page shows in use: a code just sent, the first password.
        if (m_page == 1)
            ShowMessage(L"发送成功!");
        if (m_page == 2)
            SetLoginButtonText(L"提交");
    }

private:
    void SetLoginButtonText(LPCWSTR text)
    {
        if (CalUI::CControlUI* button = FindControl(L"login_btn"))
            button->SetText(text);
    }

    int m_page;
};

ShotLoginWnd* g_shotLogin = nullptr;

// The binding window as a user sees it after asking for a code.
class ShotBindUsrWnd : public CBindUsrWnd
{
public:
    ShotBindUsrWnd() : CBindUsrWnd({{L"Ostrel加速器", L"1"}, {L"Pellinor加速器", L"2"}, {L"Tamsk加速器", L"3"}}, [] {})
    {}

    void ShowCodeSent()
    {
        if (auto* box = static_cast<CalUI::CComboUI*>(FindControl(L"seljsq")))
            box->SelectItem(1, false, false);
        SetTextOf(L"phonenum", L"13700137000");
        StartCodeCountdown(FindControl(L"getcheckcode"));
        ShowMessage(L"发送成功!");
    }
};

ShotBindUsrWnd* g_shotBind = nullptr;

// Hands the archive to the framework for the life of the process; false when
// it cannot be read.
bool SupplySkinArchive(const wchar_t* path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const DWORD size = GetFileSize(file, nullptr);
    // The framework reads every skin file from this block while the process
    // runs, so it is never freed.
    auto* bytes = size != INVALID_FILE_SIZE && size > 0 ? new BYTE[size] : nullptr;
    DWORD read = 0;
    const bool ok = bytes != nullptr && ReadFile(file, bytes, size, &read, nullptr) && read == size;
    CloseHandle(file);
    if (!ok)
        return false;
    CalUI::CWindowManagerUI::SetResourceZip(bytes, size, nullptr);
    return true;
}

void CALLBACK CloseDialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    if (HWND dialog = FindWindowW(nullptr, L"Calverin"))
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void CALLBACK SetLoginState(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    if (g_shotLogin != nullptr)
        g_shotLogin->ShowPage();
}

void CALLBACK SetBindState(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    if (g_shotBind != nullptr)
        g_shotBind->ShowCodeSent();
}

template <class Dialog>
void RunDialog(Dialog& dialog, HWND owner)
{
    dialog.CreateOver(owner);
    dialog.ShowModal(true, true);
}

// False for an unknown kind.
bool ShowKind(const std::wstring& kind, HWND owner)
{
    if (kind == L"msgbox1") {
        ShowMsgBox(owner, L"Calverin", L"检查更新失败，请下载最新版本！", MsgBoxButtons::Ok, L"我知道了", L"取消");
    } else if (kind == L"msgbox2") {
        ShowMsgBox(owner, L"还有任务正在进行", L"退出程序将停止全部任务，确定退出吗？", MsgBoxButtons::OkCancel,
                   L"确定", L"取消");
    } else if (kind == L"login0" || kind == L"login1" || kind == L"login2") {
        ShotLoginWnd login(kind.back() - L'0');
        g_shotLogin = &login;
        SetTimer(nullptr, 0, kStateDelayMs, SetLoginState);
        login.CreateOver(owner, DialogCreation::HiddenUntilShowModal);
        login.ShowModal(!login.StartSavedSignIn(), true);
        g_shotLogin = nullptr;
    } else if (kind == L"setpsd") {
        CSetPsdWnd window;
        RunDialog(window, owner);
    } else if (kind == L"logout") {
        CLogoutWnd window;
        RunDialog(window, owner);
    } else if (kind == L"selpath") {
        std::wstring download = L"C:\\星海征途\\";
        std::wstring install = download;
        CSetPathWnd window(FolderMode::Game, download, install, L"星海征途");
        RunDialog(window, owner);
    } else if (kind == L"viewpath") {
        CViewPathWnd window(L"D:\\Downloads\\星海征途\\", L"D:\\Games\\星海征途\\");
        RunDialog(window, owner);
    } else if (kind == L"bindjsq") {
        ShotBindUsrWnd window;
        g_shotBind = &window;
        SetTimer(nullptr, 0, kStateDelayMs, SetBindState);
        RunDialog(window, owner);
        g_shotBind = nullptr;
    } else if (kind == L"bindjsq_bound") {
        CBindUsrWnd window({{L"Ostrel加速器", L"1"}, {L"Pellinor加速器", L"2"}, {L"Tamsk加速器", L"3"}}, [] {});
        window.CreateOver(owner);
        window.SetBoundAccount("13900139000", "1");
        window.ShowModal(true, true);
    } else {
        return false;
    }
    return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    if (__argc < 3) {
        MessageBoxW(nullptr, L"usage: dialog_shot ARCHIVE KIND [SECONDS]", L"dialog_shot", MB_OK);
        return 2;
    }
    if (__argc > 3)
        g_closeAfterMs = static_cast<UINT>(std::max(1, _wtoi(__wargv[3]))) * 1000;
    g_appFolder = GetModuleFolder();
    CalUI::CWindowManagerUI::SetInstance(instance);
    if (!SupplySkinArchive(__wargv[1])) {
        MessageBoxW(nullptr, (L"The skin archive cannot be read: " + std::wstring(__wargv[1])).c_str(), L"dialog_shot",
                    MB_OK);
        return 1;
    }
    OwnerWnd owner;
    if (owner.Create(nullptr, L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 0, 1200, 800, nullptr) == nullptr)
        return 1;
    owner.CenterWindow();
    SetTimer(nullptr, 0, g_closeAfterMs, CloseDialog);
    return ShowKind(__wargv[2], owner.GetWindowHandle()) ? 0 : 2;
}
