#pragma once
// The wait overlay: a mask with a spinning picture over the main window while
// a page's pictures are still loading. It asks every 20 ms whether the
// loading is over and then closes itself with 1; SC_CLOSE ends it with 0
// whatever the loading does. It has no time limit of its own: the main
// window's batches always end, also when a worker could not start.
//
// While the main window is hidden in the notification area the overlay waits
// hidden too, and shows again with it. The main window's enabled state is
// left as the overlay found it (the modal loop restores it).

#include <functional>

#include "dialogs/QueuedDialogWnd.h"

class CWaitWnd;
// The one open overlay; null while none is open.
extern CWaitWnd* g_waitWnd;

// What the overlay waits for; also the id of its polling timer.
enum class WaitMode : UINT_PTR
{
    GamePage = 10000,  // the icons of the game page's lists
    AllGames = 10001,  // the tile pictures of the all-games page
};

class CWaitWnd : public CQueuedDialogWnd<CWaitWnd, g_waitWnd>
{
public:
    // `stillLoading` is asked on every tick until it answers false.
    CWaitWnd(WaitMode mode, std::function<bool()> stillLoading);

    LPCWSTR GetWindowClassName() const override;  // "CWaitWnd"
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Opens the overlay over `owner` and runs it until the loading is over
    // or it is closed; shown only while the owner is shown, and only once the
    // loading has taken a moment. 1 when the loading ended, 0 when it was
    // closed.
    int RunOver(HWND owner);

private:
    void OnWindowInit() override;
    static void CALLBACK WaitTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
    void OnTick();
    void StopTimer();
    // Hidden while the owner is hidden, shown (without the activation) with
    // it once the quiet start is over.
    void FollowOwnerVisibility();

    WaitMode m_mode;
    std::function<bool()> m_stillLoading;
    bool m_timerRunning = false;
    DWORD m_openedAt = 0;
};
