#pragma once
// The date field: a label showing a date as "2024-05-07". On focus or a
// click it opens a native date picker over itself; when the picker loses
// the focus its date becomes the field's date and text, Delete or Backspace
// in it empties the text (the date stays), Escape changes nothing. The
// field sends no notification of its own: a new date shows as a new text.
//
// Lifetimes: the control creates its CDateTimeWnd; the window object
// deletes itself after its window's last message and then clears the
// control's pointer. A control destroyed while its picker is open cuts that
// link first and destroys the picker. In a layered window the paint manager
// draws the picker into its picture through WM_PRINT.

#include "controls/LabelUI.h"
#include "core/WindowWnd.h"

namespace CalUI {

class CDateTimeWnd;

// What UpdateText makes of the date (the values stay as they always were).
enum class DateTextUpdate : int
{
    None = 0,    // nothing
    Update = 1,  // the text from the date
    Delete = 2,  // an empty text
    Cancel = 3,  // nothing: the picker was left with Escape
};

class CDateTimeUI : public CLabelUI
{
public:
    // The date is the local date of construction, shown at once.
    CDateTimeUI();
    ~CDateTimeUI() override;

    LPCWSTR GetClass() const override;               // "DateTime"
    void* GetInterface(LPCWSTR name) override;       // this for "DateTime"
    UIControlFlag GetControlFlags() const override;  // a tab stop
    HWND GetNativeWindow() const override;           // null while no picker is open

    // An open picker follows the control: hidden when no ancestor leaves any
    // of it visible.
    void SetPos(RECT rc, bool invalidate = true) override;
    void Move(SIZE offset, bool invalidate = true) override;
    void OnEvent(UIEvent& event) override;

    SYSTEMTIME GetDate() const;
    // Stores the date; the text follows at the next UpdateText in Update mode.
    void SetDate(const SYSTEMTIME& date);
    DateTextUpdate GetUpdateMode() const;
    void SetUpdateMode(DateTextUpdate mode);
    // Update: the text becomes the date as "%4d-%02d-%02d"; Delete: the text
    // becomes empty; None and Cancel: nothing.
    void UpdateText();

private:
    friend class CDateTimeWnd;

    void OpenPicker();
    void PlacePicker();

    SYSTEMTIME m_date = {};
    DateTextUpdate m_updateMode = DateTextUpdate::None;
    CDateTimeWnd* m_window = nullptr;
};

// The native picker of an open CDateTimeUI: a superclass of the platform's
// "SysDateTimePick32". The object deletes itself after the window's last
// message.
class CDateTimeWnd : public CWindowWnd
{
public:
    // Creates the picker once (as a child of the owner's paint window, at
    // CalcPos), then shows the owner's date (today's when its text is empty)
    // and takes the focus. Called again it shows the owner's date anew.
    void Init(CDateTimeUI* owner);
    // The owner is going away: the window touches it no more.
    void ForgetOwner();
    // The owner's position cut by every ancestor; empty when none of it shows.
    RECT CalcPos() const;

    LPCWSTR GetWindowClassName() const override;  // "DateTimeWnd"
    LPCWSTR GetSuperClassName() const override;   // "SysDateTimePick32"
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnEditKeyUp(UINT message, WPARAM wParam, LPARAM lParam);
    void CloseSelf(bool posted);

    CDateTimeUI* m_owner = nullptr;
    bool m_closing = false;
    bool m_creating = false;  // inside Create: a failed creation is Init's to clean up
};

}  // namespace CalUI
