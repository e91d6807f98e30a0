// Timers per control, all running on the one paint window. Each control timer
// holds a window-timer id below 255 that the manager hands out in turn.

#include "core/WindowManagerUI.h"

#include <memory>

#include "core/ControlUI.h"

namespace CalUI {

struct CWindowManagerUI::TimerRecord {
    CControlUI* control;
    UINT timerId;          // the control's own number
    HWND window;
    UINT_PTR windowTimerId;   // the id given to SetTimer, which WM_TIMER brings back whole
    bool killed;           // a killed record stays and keeps its id for reuse
};

namespace {

constexpr UINT kWindowTimerIdLimit = 255;

}  // namespace

CWindowManagerUI::TimerRecord* CWindowManagerUI::TimerAt(int index) const
{
    return static_cast<TimerRecord*>(m_timers[index]);
}

CWindowManagerUI::TimerRecord* CWindowManagerUI::FindTimer(CControlUI* control, UINT timerId) const
{
    for (int i = 0; i < m_timers.GetCount(); ++i) {
        TimerRecord* timer = TimerAt(i);
        if (timer->control == control && timer->window == m_paintWindow && timer->timerId == timerId)
            return timer;
    }
    return nullptr;
}

bool CWindowManagerUI::IsWindowTimerIdHeld(UINT_PTR windowTimerId) const
{
    for (int i = 0; i < m_timers.GetCount(); ++i) {
        if (TimerAt(i)->window == m_paintWindow && TimerAt(i)->windowTimerId == windowTimerId)
            return true;
    }
    return false;
}

// The counter wraps below 255. Id 0 is no usable timer id, and an id that a
// record of this window still holds (live, or killed and waiting for reuse)
// would make two controls share one system timer; both are passed over.
UINT CWindowManagerUI::NextWindowTimerId()
{
    for (UINT tries = 0; tries < kWindowTimerIdLimit; ++tries) {
        m_timerCounter = (m_timerCounter + 1) % kWindowTimerIdLimit;
        if (m_timerCounter != 0 && !IsWindowTimerIdHeld(m_timerCounter))
            return m_timerCounter;
    }
    return 0;
}

bool CWindowManagerUI::SetTimer(CControlUI* control, UINT timerId, UINT elapse)
{
    if (TimerRecord* existing = FindTimer(control, timerId)) {
        if (!existing->killed)
            return false;
        if (::SetTimer(m_paintWindow, existing->windowTimerId, elapse, nullptr) == 0)
            return false;
        existing->killed = false;
        return true;
    }
    const UINT_PTR windowTimerId = NextWindowTimerId();
    if (windowTimerId == 0 || ::SetTimer(m_paintWindow, windowTimerId, elapse, nullptr) == 0)
        return false;
    auto record = std::make_unique<TimerRecord>(TimerRecord{control, timerId, m_paintWindow, windowTimerId, false});
    if (!m_timers.Add(record.get())) {
        ::KillTimer(m_paintWindow, windowTimerId);
        return false;
    }
    record.release();
    return true;
}

void CWindowManagerUI::StopTimer(TimerRecord& timer)
{
    if (!timer.killed && IsWindow(timer.window))
        ::KillTimer(timer.window, timer.windowTimerId);
    timer.killed = true;
}

bool CWindowManagerUI::KillTimer(CControlUI* control, UINT timerId)
{
    for (int i = 0; i < m_timers.GetCount(); ++i) {
        TimerRecord* timer = TimerAt(i);
        if (timer->control == control && timer->window == m_paintWindow && timer->timerId == timerId &&
            !timer->killed) {
            StopTimer(*timer);
            return true;
        }
    }
    return false;
}

void CWindowManagerUI::KillTimers(CControlUI* control)
{
    for (int i = m_timers.GetCount() - 1; i >= 0; --i) {
        TimerRecord* timer = TimerAt(i);
        if (timer->control != control || timer->window != m_paintWindow)
            continue;
        StopTimer(*timer);
        m_timers.RemoveAt(i);
        delete timer;
    }
}

void CWindowManagerUI::RemoveAllTimers()
{
    for (int i = 0; i < m_timers.GetCount(); ++i) {
        StopTimer(*TimerAt(i));
        delete TimerAt(i);
    }
    m_timers.Empty();
}

// The id is compared whole: another timer of the window, whose id may be a
// pointer, is no control's even where its low bits equal a control timer's.
void CWindowManagerUI::OnTimer(WPARAM wParam, LPARAM lParam)
{
    for (int i = 0; i < m_timers.GetCount(); ++i) {
        TimerRecord* timer = TimerAt(i);
        if (timer->window != m_paintWindow || timer->windowTimerId != wParam || timer->killed)
            continue;
        UIEvent event = MakeEvent(UIEventType::Timer, timer->control, timer->timerId, lParam);
        timer->control->SendEvent(event);
        return;
    }
}

}  // namespace CalUI
