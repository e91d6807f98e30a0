// Control timers, notifications with their queue, delayed deletion and
// option groups, on a real window.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "ManagedWindow.h"
#include "core/ScrollBarUI.h"

using namespace CalUI;

namespace {

class WindowManagerServices : public testing::Test
{
protected:
    RecordingControl* NewControl(LPCWSTR name)
    {
        auto* control = new RecordingControl(&log, name, {0, 0, 10, 10});
        owned.emplace_back(control);
        control->SetManager(&window.manager, nullptr, false);
        return control;
    }

    // Which control answers a WM_TIMER with this window-timer id, and with
    // which of its own timer ids.
    std::pair<std::wstring, WPARAM> TimerTarget(WPARAM windowTimerId)
    {
        log.clear();
        window.Send(WM_TIMER, windowTimerId, 0);
        if (log.empty())
            return {L"", 0};
        return {log[0].receiver, log[0].event.wParam};
    }

    struct ControlDeleter
    {
        void operator()(CControlUI* control) const { control->Delete(); }
    };

    EventLog log;
    ManagedWindow window;
    std::vector<std::unique_ptr<CControlUI, ControlDeleter>> owned;
};

TEST_F(WindowManagerServices, ControlTimersArriveAsTimerNotifications)
{
    RecordingControl* ticker = NewControl(L"ticker");
    ASSERT_TRUE(window.manager.SetTimer(ticker, 7, 10));
    ASSERT_TRUE(window.PumpUntil([&] { return !window.notifications.empty(); }));
    EXPECT_EQ(window.notifications[0].type, L"timer");
    EXPECT_EQ(window.notifications[0].sender, L"ticker");
    EXPECT_EQ(window.notifications[0].wParam, 7u);  // the control's own timer id
    ASSERT_TRUE(window.manager.KillTimer(ticker, 7));
    window.Pump();
    window.notifications.clear();
    Sleep(50);
    window.Pump();
    EXPECT_TRUE(window.notifications.empty());
}

TEST_F(WindowManagerServices, WindowTimerIdsAreHandedOutInTurnAndReusedAfterAKill)
{
    RecordingControl* first = NewControl(L"first");
    RecordingControl* second = NewControl(L"second");
    ASSERT_TRUE(window.manager.SetTimer(first, 1, 60000));
    ASSERT_TRUE(window.manager.SetTimer(second, 1, 60000));
    ASSERT_TRUE(window.manager.SetTimer(second, 2, 60000));
    EXPECT_EQ(TimerTarget(17), (std::pair<std::wstring, WPARAM>{L"first", 1}));
    EXPECT_EQ(TimerTarget(18), (std::pair<std::wstring, WPARAM>{L"second", 1}));
    EXPECT_EQ(TimerTarget(19), (std::pair<std::wstring, WPARAM>{L"second", 2}));
    // Other timers of the window may take any id, a pointer too: one that
    // shares only its low bits with a control timer's reaches no control.
    for (WPARAM other : {WPARAM(17) | 0x10000, WPARAM(17) | WPARAM(1) << (sizeof(WPARAM) * 8 - 1)})
        EXPECT_EQ(TimerTarget(other).first, L"") << std::hex << other;

    EXPECT_FALSE(window.manager.SetTimer(first, 1, 100)) << "a running timer is left alone";
    ASSERT_TRUE(window.manager.KillTimer(first, 1));
    EXPECT_FALSE(window.manager.KillTimer(first, 1));
    EXPECT_EQ(TimerTarget(17).first, L"") << "a killed timer sends nothing";
    ASSERT_TRUE(window.manager.SetTimer(first, 1, 60000));
    EXPECT_EQ(TimerTarget(17).first, L"first") << "revived under its old id";

    window.manager.KillTimers(second);
    EXPECT_EQ(TimerTarget(18).first, L"");
    ASSERT_TRUE(window.manager.SetTimer(second, 1, 60000));
    EXPECT_EQ(TimerTarget(20).first, L"second") << "a removed record gives its id up; the counter goes on";
}

TEST_F(WindowManagerServices, WindowTimerIdsWrapPastZeroAndHeldIds)
{
    // Ids 17 to 254, then 1 to 16: the counter wraps below 255 and never
    // hands out 0, which is no id for a control timer.
    std::vector<RecordingControl*> controls;
    for (int i = 0; i < 254; ++i) {
        controls.push_back(NewControl(L"t"));
        ASSERT_TRUE(window.manager.SetTimer(controls.back(), 1, 60000)) << i;
    }
    controls[238]->SetName(L"after254");
    EXPECT_EQ(TimerTarget(1).first, L"after254");
    EXPECT_EQ(TimerTarget(0).first, L"");

    // Every id is held now: no second control may share one.
    RecordingControl* late = NewControl(L"late");
    EXPECT_FALSE(window.manager.SetTimer(late, 1, 60000));

    // Ids held by killed records stay theirs; a freed id is found past them.
    controls[0]->SetName(L"holder17");
    ASSERT_TRUE(window.manager.KillTimer(controls[0], 1));
    window.manager.KillTimers(controls[5]);  // frees 22
    ASSERT_TRUE(window.manager.SetTimer(late, 1, 60000));
    EXPECT_EQ(TimerTarget(22).first, L"late");
    ASSERT_TRUE(window.manager.SetTimer(controls[0], 1, 60000));
    EXPECT_EQ(TimerTarget(17).first, L"holder17");
}

TEST_F(WindowManagerServices, DeletedControlsTakeTheirTimersAlong)
{
    RecordingControl* doomed = NewControl(L"doomed");
    ASSERT_TRUE(window.manager.SetTimer(doomed, 3, 60000));
    owned.clear();
    EXPECT_EQ(TimerTarget(17).first, L"");
}

// The handler runs while the manager walks its timer records; what it does
// to them must hold afterwards.
TEST_F(WindowManagerServices, ATimerHandlerMayDeleteItsControlAndStartOtherTimers)
{
    struct TimerHook : RecordingControl
    {
        using RecordingControl::RecordingControl;
        std::function<void()> onTimer;
        void OnEvent(UIEvent& event) override
        {
            RecordingControl::OnEvent(event);
            if (event.type == UIEventType::Timer && onTimer)
                onTimer();  // may delete this control: nothing of it is used after
        }
    };
    RecordingControl* survivor = NewControl(L"survivor");
    auto* doomed = new TimerHook(&log, L"doomed", {0, 0, 10, 10});
    doomed->SetManager(&window.manager, nullptr, false);
    ASSERT_TRUE(window.manager.SetTimer(doomed, 1, 60000));
    doomed->onTimer = [&] {
        for (UINT id = 1; id <= 20; ++id)
            window.manager.SetTimer(survivor, id, 60000);
        doomed->Delete();
    };
    EXPECT_EQ(TimerTarget(17).first, L"doomed");
    EXPECT_EQ(TimerTarget(17).first, L"") << "the record went with its control";
    EXPECT_EQ(TimerTarget(18), (std::pair<std::wstring, WPARAM>{L"survivor", 1}));
    EXPECT_EQ(TimerTarget(37), (std::pair<std::wstring, WPARAM>{L"survivor", 20}));
}

TEST_F(WindowManagerServices, SynchronousNotificationsReachDelegatesThenReceivers)
{
    struct Receiver : INotifyUI
    {
        Receiver(std::vector<std::wstring>* o, LPCWSTR n) : order(o), name(n) {}
        std::vector<std::wstring>* order;
        std::wstring name;
        void Notify(NotifyMsg& msg) override { order->push_back(name + L":" + msg.type.GetData()); }
    };
    struct Hook
    {
        std::vector<std::wstring>* order;
        bool Handle(void* param)
        {
            order->push_back(std::wstring(L"delegate:") + static_cast<NotifyMsg*>(param)->type.GetData());
            return false;  // cannot stop the receivers
        }
    };
    std::vector<std::wstring> order;
    Receiver second(&order, L"second");
    Hook hook{&order};
    ManagedWindow plain;
    plain.manager.AddNotifyReceiver(&second);
    EXPECT_FALSE(plain.manager.AddNotifyReceiver(nullptr));
    RecordingControl sender(&log, L"sender", {0, 0, 1, 1});
    sender.SetManager(&plain.manager, nullptr, false);
    sender.notifyDelegates.Add(CDelegate<Hook, Hook>(&hook, &Hook::Handle));
    plain.manager.SendNotify(&sender, L"click", 5, 6);
    EXPECT_EQ(order, (std::vector<std::wstring>{L"delegate:click", L"second:click"}));
    ASSERT_EQ(plain.notifications.size(), 1u);  // the window registered itself first
    EXPECT_EQ(plain.notifications[0].wParam, 5u);
    EXPECT_EQ(plain.notifications[0].lParam, 6);
}

TEST_F(WindowManagerServices, ScrollNotificationsOfABurstArriveOnceWithTheLastValues)
{
    auto* bar = new CScrollBarUI;
    owned.emplace_back(bar);
    bar->SetName(L"bar");
    bar->SetManager(&window.manager, nullptr, false);
    bar->SetAttribute(L"scrollunit", L"5");
    bar->SetScrollPos(12);
    bar->SetScrollPos(-4);
    bar->SetScrollPos(31);
    EXPECT_EQ(bar->GetScrollPos(), 35) << "rounded up to the scroll unit";
    bar->SetScrollPos(500);
    EXPECT_EQ(bar->GetScrollPos(), 100) << "held inside the range";
    EXPECT_TRUE(window.notifications.empty()) << "nothing before the window's queue is served";
    window.Pump();
    ASSERT_EQ(window.notifications.size(), 1u);
    EXPECT_EQ(window.notifications[0].type, L"scroll");
    EXPECT_EQ(window.notifications[0].wParam, 100u);
    EXPECT_EQ(window.notifications[0].lParam, 35);

    bar->SetScrollRange(-3);
    EXPECT_EQ(bar->GetScrollRange(), 0);
    EXPECT_EQ(bar->GetScrollPos(), 0);
}

TEST_F(WindowManagerServices, QueueDrainsInOrderIncludingWhatDeliveryQueues)
{
    struct Requeuer : INotifyUI
    {
        Requeuer(CWindowManagerUI* m, CControlUI* s) : manager(m), sender(s) {}
        CWindowManagerUI* manager;
        CControlUI* sender;
        std::vector<std::wstring> seen;
        void Notify(NotifyMsg& msg) override
        {
            seen.push_back(msg.type.GetData());
            if (msg.type == L"first")
                manager->SendNotify(sender, L"late", 0, 0, true, true);
        }
    };
    RecordingControl* sender = NewControl(L"sender");
    Requeuer requeuer(&window.manager, sender);
    window.manager.AddNotifyReceiver(&requeuer);
    window.manager.SendNotify(sender, L"first", 0, 0, true, true);
    window.manager.SendNotify(sender, L"second", 0, 0, true, true);
    window.manager.SendNotify(sender, L"second", 1, 0, true, true);  // repeats allowed: both stay

    // One deferred-work message stands for all three.
    std::vector<MSG> posted;
    MSG msg;
    while (PeekMessageW(&msg, window.GetWindowHandle(), 0x8001, 0x8001, PM_REMOVE))
        posted.push_back(msg);
    ASSERT_EQ(posted.size(), 1u);
    DispatchMessageW(&posted[0]);
    EXPECT_EQ(requeuer.seen, (std::vector<std::wstring>{L"first", L"second", L"second", L"late"}));
}

TEST_F(WindowManagerServices, QueuedNotificationsOfADeletedSenderArriveWithoutSender)
{
    RecordingControl* sender = NewControl(L"gone");
    window.manager.SendNotify(sender, L"late", 0, 0, true, false);
    owned.clear();
    window.Pump();
    ASSERT_EQ(window.notifications.size(), 1u);
    EXPECT_EQ(window.notifications[0].senderControl, nullptr);
}

TEST_F(WindowManagerServices, DelayedCleanupDetachesAtOnceAndDeletesOnTheDeferredMessage)
{
    struct Watched : RecordingControl
    {
        bool* deletedFlag;
        Watched(EventLog* log, bool* flag) : RecordingControl(log, L"watched", {0, 0, 1, 1}), deletedFlag(flag) {}
        ~Watched() override { *deletedFlag = true; }
    };
    bool deleted = false;
    TestBox parent;
    auto* child = new Watched(&log, &deleted);
    child->SetManager(&window.manager, &parent, false);
    window.manager.AddDelayedCleanup(child);
    window.manager.AddDelayedCleanup(nullptr);
    EXPECT_EQ(child->GetParent(), nullptr);
    EXPECT_FALSE(deleted);
    window.Pump();
    EXPECT_TRUE(deleted);
}

// A control deleted by the clean-up may hand over another, whose deletion
// hands over a third: the one deferred-work message deletes them all, in order.
TEST_F(WindowManagerServices, ControlsHandedOverDuringTheCleanupGoInTheSamePass)
{
    struct Handing : RecordingControl
    {
        Handing(EventLog* log, LPCWSTR name, std::vector<std::wstring>* gone, CWindowManagerUI* manager,
                CControlUI* next)
            : RecordingControl(log, name, {0, 0, 1, 1}), gone(gone), manager(manager), next(next)
        {}
        ~Handing() override
        {
            gone->push_back(GetName().GetData());
            if (next != nullptr)
                manager->AddDelayedCleanup(next);
        }
        std::vector<std::wstring>* gone;
        CWindowManagerUI* manager;
        CControlUI* next;
    };
    std::vector<std::wstring> gone;
    auto* third = new Handing(&log, L"third", &gone, &window.manager, nullptr);
    auto* second = new Handing(&log, L"second", &gone, &window.manager, third);
    auto* first = new Handing(&log, L"first", &gone, &window.manager, second);
    window.manager.AddDelayedCleanup(first);

    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, window.GetWindowHandle(), 0x8001, 0x8001, PM_REMOVE));
    DispatchMessageW(&msg);
    EXPECT_EQ(gone, (std::vector<std::wstring>{L"first", L"second", L"third"}));
}

TEST_F(WindowManagerServices, OptionGroupsKnowTheirMembers)
{
    RecordingControl* one = NewControl(L"one");
    RecordingControl* two = NewControl(L"two");
    CWindowManagerUI& m = window.manager;
    EXPECT_TRUE(m.AddOptionGroup(L"g", one));
    EXPECT_FALSE(m.AddOptionGroup(L"g", one)) << "a member joins once";
    EXPECT_TRUE(m.AddOptionGroup(L"g", two));
    EXPECT_FALSE(m.AddOptionGroup(nullptr, two));
    EXPECT_FALSE(m.AddOptionGroup(L"g", nullptr));
    ASSERT_NE(m.GetOptionGroup(L"g"), nullptr);
    EXPECT_EQ(m.GetOptionGroup(L"g")->GetCount(), 2);
    m.RemoveOptionGroup(L"g", one);
    EXPECT_EQ(m.GetOptionGroup(L"g")->GetAt(0), two);
    m.RemoveOptionGroup(L"g", two);
    EXPECT_EQ(m.GetOptionGroup(L"g"), nullptr) << "the last member takes the group along";
}

// The manager's lists hold plain pointers; a deleted control must leave all of
// them, or the next paint or focus change calls into freed memory.
TEST_F(WindowManagerServices, ADeletedControlLeavesThePostPaintListItsNativeWindowsAndItsOptionGroups)
{
    CWindowManagerUI& m = window.manager;
    auto* doomed = new RecordingControl(&log, L"doomed", {0, 0, 10, 10});
    doomed->SetManager(&m, nullptr, false);
    RecordingControl* member = NewControl(L"member");
    HWND edits[2];
    for (HWND& edit : edits) {
        edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 200, 100, 20, window.GetWindowHandle(),
                               nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(edit, nullptr);
        ASSERT_TRUE(m.AddNativeWindow(doomed, edit));
    }
    ASSERT_TRUE(m.AddPostPaint(doomed));
    ASSERT_TRUE(m.AddPostPaint(doomed));  // the list takes it twice
    ASSERT_TRUE(m.AddOptionGroup(L"alone", doomed));
    ASSERT_TRUE(m.AddOptionGroup(L"pair", doomed));
    ASSERT_TRUE(m.AddOptionGroup(L"pair", member));

    CControlUI* gone = doomed;  // compared below, never followed
    doomed->Delete();
    ASSERT_FALSE(m.RemovePostPaint(gone));
    for (HWND edit : edits)
        ASSERT_FALSE(m.RemoveNativeWindow(edit)) << "every window the control hosted is let go";
    ASSERT_EQ(m.GetOptionGroup(L"alone"), nullptr) << "the last member takes the group along";
    CUIPtrArray* pair = m.GetOptionGroup(L"pair");
    ASSERT_NE(pair, nullptr);
    ASSERT_EQ(pair->GetCount(), 1);
    EXPECT_EQ(pair->GetAt(0), member);

    // What reached the freed control before: a paint, and the keyboard focus
    // moving into a window it hosted.
    RedrawWindow(window.GetWindowHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    SetFocus(window.GetWindowHandle());
    SetFocus(edits[0]);
    EXPECT_EQ(m.GetFocus(), nullptr);
    for (HWND edit : edits)
        DestroyWindow(edit);
}

}  // namespace
