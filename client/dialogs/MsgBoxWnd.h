#pragma once
// The client's one message box: a title, a centred multi-line text and up to
// two buttons over a mask of its owner. It takes no focus, swallows every key
// but Escape (which closes it with 0), and returns 1 for OK, 2 for cancel and
// 0 when it was closed otherwise, or could not be built.

#include <string>

#include "dialogs/DialogWnd.h"

// Which buttons the box shows.
enum class MsgBoxButtons
{
    None = 0,
    Ok = 1,
    OkCancel = 2,
};

// The box's result.
enum class MsgBoxResult
{
    Closed = 0,
    Ok = 1,
    Cancel = 2,
};

class CMsgBoxWnd : public CDialogWnd
{
public:
    CMsgBoxWnd(LPCWSTR title, LPCWSTR text, MsgBoxButtons buttons, LPCWSTR okCaption, LPCWSTR cancelCaption);

    LPCWSTR GetWindowClassName() const override;  // "CMsgBoxWnd"
    UINT GetClassStyle() const override;          // double clicks only

private:
    void OnWindowInit() override;
    void OnNotify(CalUI::NotifyMsg& msg) override;
    // Every key is consumed; Escape closes.
    bool OnKeyDown(WPARAM key) override;
    void ShowButton(LPCWSTR name, bool show, const std::wstring& caption);

    std::wstring m_title;
    std::wstring m_text;
    MsgBoxButtons m_buttons;
    std::wstring m_okCaption;
    std::wstring m_cancelCaption;
};

// Runs a box over `owner` until it closes and returns its result.
MsgBoxResult ShowMsgBox(HWND owner, LPCWSTR title, LPCWSTR text, MsgBoxButtons buttons, LPCWSTR okCaption,
                        LPCWSTR cancelCaption);
