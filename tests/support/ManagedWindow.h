#pragma once
// A real native window with a paint manager, and small controls that record
// what the manager sends them, for tests that drive the manager with real
// window messages.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "core/ControlUI.h"
#include "core/UIInterfaces.h"
#include "core/WindowManagerUI.h"
#include "core/WindowWnd.h"
#include "EnumPrinters.h"

// One event as a control received it.
struct ReceivedEvent
{
    std::wstring receiver;
    CalUI::UIEventType type{};
    std::wstring sender;
    CalUI::UIEvent event;
};

// One notification as the window's receiver got it.
struct ReceivedNotify
{
    std::wstring type;
    std::wstring sender;  // empty when the sender is null
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    CalUI::CControlUI* senderControl = nullptr;
};

using EventLog = std::vector<ReceivedEvent>;

// A leaf control placed at a fixed rectangle inside its parent's area.
class RecordingControl : public CalUI::CControlUI
{
public:
    RecordingControl(EventLog* log, LPCWSTR name, RECT relativePos,
                     CalUI::UIControlFlag flags = CalUI::UIControlFlag::None, LPCWSTR className = L"Recording");

    LPCWSTR GetClass() const override;
    CalUI::UIControlFlag GetControlFlags() const override;
    bool Activate() override;
    void OnEvent(CalUI::UIEvent& event) override;

    int activations = 0;
    bool deleted = false;

private:
    EventLog* m_log;
    CalUI::UIControlFlag m_flags;
    LPCWSTR m_className;
};

// A box that owns its children and places each at its "pos" relative to its
// own top-left corner; searched and hit-tested the way containers are.
class TestBox : public CalUI::CControlUI
{
public:
    ~TestBox() override;

    void Add(CalUI::CControlUI* child);  // takes ownership
    void SetManager(CalUI::CWindowManagerUI* manager, CalUI::CControlUI* parent, bool init = true) override;
    void SetPos(RECT rc, bool invalidate = true) override;
    CalUI::CControlUI* FindControl(CalUI::FindControlProc proc, void* data, CalUI::UIFindFlag flags) override;

private:
    std::vector<CalUI::CControlUI*> m_children;
};

// A popup window of 400 x 300 client pixels whose messages go to its paint
// manager first, and which records every notification.
class ManagedWindow : public CalUI::CWindowWnd, public CalUI::INotifyUI
{
public:
    ManagedWindow();
    ~ManagedWindow() override;

    LPCWSTR GetWindowClassName() const override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Notify(CalUI::NotifyMsg& msg) override;

    // Attaches the tree and lets the first paint lay it out.
    void Attach(CalUI::CControlUI* root);
    // Runs the messages waiting in the thread's queue through the modal
    // loop's filter and dispatch.
    void Pump();
    // Pumps until `done` holds or `limitMs` passed; reports whether it held.
    template <class Pred>
    bool PumpUntil(Pred done, DWORD limitMs = 5000)
    {
        DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > limitMs)
                return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            Pump();
        }
        return true;
    }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    CalUI::CWindowManagerUI manager;
    std::vector<ReceivedNotify> notifications;
    std::vector<UINT> unhandled;                            // messages the manager left to the window
    std::function<void(UINT, WPARAM, LPARAM)> onUnhandled;  // called for each of them
};

LPARAM PointParam(int x, int y);
