// The wait overlay.

#include "dialogs/WaitWnd.h"

#include <utility>

CWaitWnd* g_waitWnd = nullptr;

namespace {

constexpr UINT kPollMs = 20;
// A load that ends this soon (pictures already cached) shows no mask at all.
constexpr DWORD kQuietStartMs = 150;

}  // namespace

CWaitWnd::CWaitWnd(WaitMode mode, std::function<bool()> stillLoading)
    : CQueuedDialogWnd(L"wait.xml"), m_mode(mode), m_stillLoading(std::move(stillLoading))
{}

LPCWSTR CWaitWnd::GetWindowClassName() const { return L"CWaitWnd"; }

LRESULT CWaitWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // However the overlay ends, its timer ends with its window.
    if (message == WM_DESTROY)
        StopTimer();
    return CQueuedDialogWnd::HandleMessage(message, wParam, lParam);
}

int CWaitWnd::RunOver(HWND owner)
{
    if (CreateOver(owner, DialogCreation::HiddenUntilShowModal) == nullptr)
        return 0;
    m_openedAt = ::GetTickCount();
    return ShowModal(false, false);
}

void CWaitWnd::OnWindowInit()
{
    if (m_mode != WaitMode::GamePage && m_mode != WaitMode::AllGames)
        return;
    m_timerRunning = ::SetTimer(m_hWnd, static_cast<UINT_PTR>(m_mode), kPollMs, &CWaitWnd::WaitTimerProc) != 0;
}

// A tick that finds no overlay of its own (the window went, or another took
// the global) only ends its timer.
void CALLBACK CWaitWnd::WaitTimerProc(HWND window, UINT, UINT_PTR timerId, DWORD)
{
    if (g_waitWnd == nullptr || g_waitWnd->GetWindowHandle() != window) {
        ::KillTimer(window, timerId);
        return;
    }
    g_waitWnd->OnTick();
}

void CWaitWnd::OnTick()
{
    if (!m_stillLoading || !m_stillLoading()) {
        StopTimer();
        Close(1);
        return;
    }
    FollowOwnerVisibility();
}

void CWaitWnd::StopTimer()
{
    if (!m_timerRunning)
        return;
    ::KillTimer(m_hWnd, static_cast<UINT_PTR>(m_mode));
    m_timerRunning = false;
}

void CWaitWnd::FollowOwnerVisibility()
{
    const HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    const bool ownerShown = owner != nullptr && ::IsWindowVisible(owner);
    const bool show = ownerShown && ::GetTickCount() - m_openedAt >= kQuietStartMs;
    if (show != (::IsWindowVisible(m_hWnd) != FALSE))
        ::ShowWindow(m_hWnd, show ? SW_SHOWNA : SW_HIDE);
}
