#pragma once
// The edit: a one-line text field. Closed, it paints like a label (its
// text, or one password character per character, over a state image); on
// focus or a click it opens a native edit window over its text area, which
// closes itself when it loses the keyboard focus. While open, every change
// of the native text becomes the control's text and a "textchanged"
// notification, and Return becomes "return".
//
// Lifetimes: the control creates its CEditWnd; the window object deletes
// itself after its window's last message and then clears the control's
// pointer. A control destroyed while its window is open cuts that link
// first and destroys the window, so the window never reaches a freed owner.
//
// A layered window cannot show a native child: the paint manager draws the
// open edit into its picture through WM_PRINT, and the edit window draws
// its own caret there, blinking on a timer.

#include "core/ControlState.h"
#include "controls/LabelUI.h"
#include "core/WindowWnd.h"

namespace CalUI {

class CEditWnd;

// The edit window's caret blink timer (a Win32 timer of the edit window).
inline constexpr UINT_PTR kEditCaretTimerId = 20;
// "nativebkcolor" of this value leaves the native window its system colours.
inline constexpr DWORD kSystemEditBkColor = 0xFFFFFFFF;

class CEditUI : public CLabelUI
{
public:
    CEditUI();
    ~CEditUI() override;

    LPCWSTR GetClass() const override;          // "Edit"
    void* GetInterface(LPCWSTR name) override;  // this for "Edit"
    // Tab stop and set-cursor while enabled, else none.
    UIControlFlag GetControlFlags() const override;
    HWND GetNativeWindow() const override;  // null while closed

    // Stores the text and puts it into an open window (which then reports
    // the change as the user's changes are reported); nothing when unchanged.
    void SetText(LPCWSTR text) override;
    // An open window follows the text area: hidden when no ancestor leaves
    // any of it visible.
    void SetPos(RECT rc, bool invalidate = true) override;
    void Move(SIZE offset, bool invalidate = true) override;
    // Hiding the control closes an open window.
    void SetVisible(bool show = true) override;
    void SetInternVisible(bool show = true) override;
    // Disabling drops the hot and focused state.
    void SetEnabled(bool enable = true) override;
    void OnEvent(UIEvent& event) override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;
    // A fixed height gives the fixed size; otherwise the fixed width and the
    // font's height plus 8.
    SIZE EstimateSize(SIZE available) override;
    // Disabled, focused, hot image by state, else (or when that one does
    // not draw) the normal image.
    void PaintStatusImage(HDC hdc) override;
    void PaintText(HDC hdc) override;

    // ---- Behaviour of the native window (the next window, unless noted) ------
    int GetMaxChar() const;
    void SetMaxChar(int maxChars);  // also applies to an open window
    bool IsReadOnly() const;
    void SetReadOnly(bool readOnly);  // also applies to an open window
    bool IsNumberOnly() const;
    void SetNumberOnly(bool numberOnly);
    bool IsPasswordMode() const;
    void SetPasswordMode(bool password);
    WCHAR GetPasswordChar() const;  // '*'
    bool IsAutoSelAll() const;
    void SetAutoSelAll(bool selectAll);  // select all on open, else caret at the end
    DWORD GetNativeEditBkColor() const;
    // Translucent: the window's own content behind the edit, tinted; opaque:
    // a fill; kSystemEditBkColor: the system's colours.
    void SetNativeEditBkColor(DWORD color);
    DWORD GetWindowStyles() const;  // extra styles of the edit window (ES_NUMBER)

    // ---- State images ----------------------------------------------------------
    void SetNormalImage(LPCWSTR image);
    void SetHotImage(LPCWSTR image);
    void SetFocusedImage(LPCWSTR image);
    void SetDisabledImage(LPCWSTR image);

    UIControlState GetEditState() const;

    // The text area: the position less the text padding, cut by every
    // ancestor; empty when none of it can show.
    RECT ComputeEditRect() const;

private:
    friend class CEditWnd;

    void OpenWindow();
    void PlaceWindow();
    void CloseWindowIfHidden();
    void PassClickToWindow(const UIEvent& event);
    bool OnMouseLeave(const UIEvent& event);

    CEditWnd* m_window = nullptr;
    int m_maxChar = 255;
    bool m_readOnly = false;
    bool m_passwordMode = false;
    bool m_autoSelAll = false;
    WCHAR m_passwordChar = L'*';
    UIControlState m_state = UIControlState::None;
    DWORD m_nativeBkColor = kSystemEditBkColor;
    DWORD m_windowStyle = 0;
    ImageDrawInfo m_normalImage;
    ImageDrawInfo m_hotImage;
    ImageDrawInfo m_focusedImage;
    ImageDrawInfo m_disabledImage;
};

// The native edit window of an open CEditUI: a superclass of the system's
// "Edit" class. It lives from the control's Init until it loses the focus;
// the object deletes itself after the window's last message.
class CEditWnd : public CWindowWnd
{
public:
    // Creates the window over the owner's text area with the owner's font,
    // limits, text and styles, focuses it and places the caret.
    void Init(CEditUI* owner);
    // The owner is going away: the window touches it no more.
    void ForgetOwner();

    LPCWSTR GetWindowClassName() const override;  // "EditWnd"
    LPCWSTR GetSuperClassName() const override;   // "Edit"
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    bool IsLayered() const;
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    void OnTextChanged();
    LRESULT OnPrint(WPARAM wParam, LPARAM lParam);
    LRESULT OnControlColor(HDC dc);
    HBRUSH MakeBackgroundBrush(DWORD color);
    void CloseSelf();
    void Repaint();

    CEditUI* m_owner = nullptr;
    HBRUSH m_bkBrush = nullptr;
    bool m_initialised = false;
    bool m_caretShown = false;
    bool m_closing = false;
    bool m_creating = false;  // inside Create: a failed creation is Init's to clean up
};

}  // namespace CalUI
