// The notification-area icon.

#include "mainwindow/TrayIcon.h"

#include <utility>

namespace {

constexpr UINT kTrayIconId = 1000;
constexpr WORD kTrayIconResource = 103;

// Copies as much of `text` as fits and always terminates.
template <size_t N>
void CopyCut(WCHAR (&field)[N], LPCWSTR text)
{
    size_t length = 0;
    for (; text != nullptr && text[length] != L'\0' && length + 1 < N; ++length)
        field[length] = text[length];
    field[length] = L'\0';
}

#ifdef CALVERIN_TEST_HOOKS
std::vector<CTrayIcon::Balloon>& BalloonsShown()
{
    static std::vector<CTrayIcon::Balloon> shown;
    return shown;
}
#endif

}  // namespace

CTrayIcon::CTrayIcon()
    : m_icon(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kTrayIconResource))),
      m_taskbarCreatedMessage(::RegisterWindowMessageW(L"TaskbarCreated"))
{}

CTrayIcon::~CTrayIcon()
{
    if (m_icon != nullptr)
        ::DestroyIcon(m_icon);
}

void CTrayIcon::Add(LPCWSTR tip, HWND owner)
{
    m_data = {};
    m_data.cbSize = sizeof m_data;
    m_data.hWnd = owner;
    m_data.uID = kTrayIconId;
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_data.uCallbackMessage = kTrayIconMessage;
    m_data.hIcon = m_icon;
    CopyCut(m_data.szTip, tip);
    ::Shell_NotifyIconW(NIM_ADD, &m_data);
    m_added = true;
}

void CTrayIcon::AddAgain()
{
    if (m_added)
        ::Shell_NotifyIconW(NIM_ADD, &m_data);
}

void CTrayIcon::Remove()
{
    if (!m_added)
        return;
    ::Shell_NotifyIconW(NIM_DELETE, &m_data);
    m_added = false;
}

bool CTrayIcon::IsAdded() const { return m_added; }

void CTrayIcon::ShowBalloon(LPCWSTR title, LPCWSTR text, UINT timeoutMs)
{
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
    CopyCut(m_data.szInfoTitle, title);
    CopyCut(m_data.szInfo, text);
    m_data.dwInfoFlags = NIIF_INFO;
    m_data.uTimeout = timeoutMs;
    ::Shell_NotifyIconW(NIM_MODIFY, &m_data);
#ifdef CALVERIN_TEST_HOOKS
    BalloonsShown().push_back({m_data.szInfoTitle, m_data.szInfo, m_data.uTimeout});
#endif
}

#ifdef CALVERIN_TEST_HOOKS
std::vector<CTrayIcon::Balloon> CTrayIcon::TakeBalloonsShown() { return std::exchange(BalloonsShown(), {}); }
#endif

UINT CTrayIcon::GetTaskbarCreatedMessage() const { return m_taskbarCreatedMessage; }

TrayMenuCommand CTrayIcon::TrackMenu(HWND owner) const
{
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    HMENU menu = ::CreatePopupMenu();
    if (menu == nullptr)
        return TrayMenuCommand::None;
    ::AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(TrayMenuCommand::ShowMainWindow), L"显示主窗口");
    ::AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(TrayMenuCommand::ExitClient), L"退出程序");
    // Without the foreground the menu would not close on a click elsewhere.
    ::SetForegroundWindow(owner);
    const UINT choice = static_cast<UINT>(::TrackPopupMenu(menu, TPM_RETURNCMD, cursor.x, cursor.y, 0, owner, nullptr));
    ::DestroyMenu(menu);
    return static_cast<TrayMenuCommand>(choice);
}
