#pragma once
// What every modal window of the client shares. A dialog is constructed on
// the stack of the code that opens it, created over its owner (title
// "Calverin", no frame, the skin sets the size), run with ShowModal and gone
// when the opener's scope ends; its modal result 0 always means "closed
// without acting". The skins are 1200 x 800 masks with the visible panel
// floating inside, so the panel sits over the main window it darkens.
//
// A dialog whose skin does not build is not created: ShowModal returns 0.
// Shared behaviour: no caption frame and no drag (the skins set no caption
// band), Alt opens no system menu, a double click maximises nothing,
// SC_CLOSE closes with 0; the self-hiding message label "msg_lab" and the
// SMS-code countdown of a button, both driven by control timers.

#include <string>

#include "core/ControlUI.h"
#include "core/UIInterfaces.h"
#include "core/WindowManagerUI.h"
#include "core/WindowWnd.h"
#include "dialogs/ClientWindowShape.h"

// The control timers of dialogs; the paint manager reports them as "timer"
// with the id in wParam.
enum class DialogTimer : UINT_PTR
{
    MessageAutoHide = 4196,  // "msg_lab" hides 5 s after its last message
    CodeCountdown = 4197,    // one tick of the SMS-code countdown
};

// Which controls of a caption band stay clickable; the rest would drag.
enum class CaptionClickables
{
    ButtonsAndOptions,
    ButtonsOnly,
    FlaggedControls,  // what the window base does not count as caption
};

// Whether a dialog's window is visible from its creation, or waits for
// ShowModal, which can then show it without taking the activation.
enum class DialogCreation
{
    Shown,
    HiddenUntilShowModal,
};

class CDialogWnd : public CalUI::CWindowWnd, public CalUI::INotifyUI
{
public:
    // The dialog's window over `owner`, the size coming from the skin.
    HWND CreateOver(HWND owner, DialogCreation creation = DialogCreation::Shown);

    UINT GetClassStyle() const override;  // global class, double clicks
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Notify(CalUI::NotifyMsg& msg) override;

protected:
    CDialogWnd(LPCWSTR skinFile, CaptionClickables clickables);

    // The builder's callback for element names it does not know; none.
    virtual CalUI::IDialogBuilderCallback* GetBuilderCallback();
    // "windowinit", after the window was centred over its owner.
    virtual void OnWindowInit();
    // Every notification the shared part does not take.
    virtual void OnNotify(CalUI::NotifyMsg& msg);
    // WM_KEYDOWN; true when the key is consumed.
    virtual bool OnKeyDown(WPARAM key);
    // WM_SYSCOMMAND other than SC_CLOSE and SC_KEYMENU; the default handling
    // unless a dialog says otherwise.
    virtual LRESULT OnOtherSysCommand(WPARAM command, LPARAM lParam);

    // "msg_lab" shows `text` for 5 s from now; an empty text hides it now.
    void ShowMessage(LPCWSTR text);
    // Disables `button` and counts "60s" down to "1s" once a second, then
    // enables it again as "获取验证码".
    void StartCodeCountdown(CalUI::CControlUI* button);
    CalUI::CControlUI* FindControl(LPCWSTR name);
    // The text of the named control; empty when the skin has no such control.
    std::wstring TextOf(LPCWSTR name);
    // Nothing when the skin has no such control.
    void SetTextOf(LPCWSTR name, const std::wstring& text);

    CalUI::CWindowManagerUI m_manager;

private:
    // False when the skin yields no control tree.
    bool OnCreate();
    LRESULT OnNcHitTest(LPARAM lParam);
    LRESULT OnSysCommand(WPARAM command, LPARAM lParam);
    bool IsClickable(CalUI::CControlUI* control);
    // True when `msg` was one of the shared timers and is dealt with.
    bool OnSharedTimer(const CalUI::NotifyMsg& msg);
    void TickCodeCountdown(CalUI::CControlUI* button);

    LPCWSTR m_skinFile;
    CaptionClickables m_clickables;
};
