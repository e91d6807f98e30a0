// Timers per control, all running on the one paint window. Each control timer
// holds a window-timer id below 255 that the manager hands out in turn.

#include "core/WindowManagerUI.h"

#include <cstddef>
#include <memory>

#include "core/ControlUI.h"

namespace CalUI {

namespace {

constexpr UINT kWindowTimerIdLimit = 255;

}  // namespace

CWindowManagerUI::TimerRecord* CWindowManagerUI::FindTimer(CControlUI* control, UINT timerId) const
{
    for (const auto& timer : m_timers) {
        if (timer->control == control && timer->window == m_paintWindow && timer->timerId == timerId)
            return timer.get();
    }
    return nullptr;
}

bool CWindowManagerUI::IsWindowTimerIdHeld(UINT_PTR windowTimerId) const
{
    for (const auto& timer : m_timers) {
        if (timer->window == m_paintWindow && timer->windowTimerId == windowTimerId)
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
    if (windowTimerId == 0)
        return false;
    // The record is in place before the system timer starts, so a failed
    // allocation leaves no timer running that nothing would ever kill.
    m_timers.push_back(
        std::make_unique<TimerRecord>(TimerRecord{control, timerId, m_paintWindow, windowTimerId, false}));
    if (::SetTimer(m_paintWindow, windowTimerId, elapse, nullptr) == 0) {
        m_timers.pop_back();
        return false;
    }
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
    for (const auto& timer : m_timers) {
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
    for (size_t i = m_timers.size(); i-- > 0;) {
        TimerRecord& timer = *m_timers[i];
        if (timer.control != control || timer.window != m_paintWindow)
            continue;
        StopTimer(timer);
        m_timers.erase(m_timers.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void CWindowManagerUI::RemoveAllTimers()
{
    for (const auto& timer : m_timers)
        StopTimer(*timer);
    m_timers.clear();
}

// The id is compared whole: another timer of the window, whose id may be a
// pointer, is no control's even where its low bits equal a control timer's.
void CWindowManagerUI::OnTimer(WPARAM wParam, LPARAM lParam)
{
    // The handler may set, kill or drop timers, which moves or frees records:
    // nothing of the list is touched once it has run.
    for (const auto& timer : m_timers) {
        if (timer->window != m_paintWindow || timer->windowTimerId != wParam || timer->killed)
            continue;
        CControlUI* control = timer->control;
        UIEvent event = MakeEvent(UIEventType::Timer, control, timer->timerId, lParam);
        control->SendEvent(event);
        return;
    }
}

}  // namespace CalUI
