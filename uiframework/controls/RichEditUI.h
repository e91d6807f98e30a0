#pragma once
// The framework's text field ("RichEdit"). It owns no native window: a text
// host (controls/TextHost.h) drives the platform's windowless rich-edit
// engine, which stores, edits, scrolls and draws the text, and the control
// feeds the engine the raw messages of its window through the paint
// manager's message filters. As a container it owns the two scroll bars the
// engine drives through the host.
//
// It tells its window "textchanged" (the text differs from the stored copy
// after an edit or SetText), "return" (an Enter it does not take) and
// "link", and forwards the engine's other notification records as
// WM_NOTIFY.
//
// Lifetime: the host is made once, when the control joins a window, and
// released with the control, which then leaves the window's filters and
// timers. Without the engine (the library is missing) the control is an
// empty box: GetText gives "", SetText only stores, nothing is registered.

#include "controls/TextHost.h"
#include "core/ContainerUI.h"
#include "core/ControlInterfaces.h"
#include "core/ImageDrawInfo.h"
#include "core/UIInterfaces.h"

namespace CalUI {

class CRichEditUI : public CContainerUI, public IMessageFilterUI, public IWantTabUI
{
public:
    // The timer on which a layered window blinks the caret the control draws.
    static constexpr UINT kCaretTimer = 20;

    CRichEditUI();
    ~CRichEditUI() override;

    LPCWSTR GetClass() const override;
    void* GetInterface(LPCWSTR name) override;
    UIControlFlag GetControlFlags() const override;
    CUIString GetText() const override;
    void SetText(LPCWSTR text) override;
    void SetPos(RECT rc, bool invalidate = true) override;
    void Move(SIZE offset, bool invalidate = true) override;
    void OnInit() override;
    void OnEvent(UIEvent& event) override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;
    SIZE EstimateSize(SIZE available) override;
    bool OnPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) override;
    void PaintStatusImage(HDC hdc) override;
    void SetScrollPos(SIZE pos, bool notify = true) override;
    void LineUp() override;
    void LineDown() override;
    void PageUp() override;
    void PageDown() override;
    void ScrollToTop() override;
    void ScrollToBottom() override;
    void LineLeft() override;
    void LineRight() override;
    void PageLeft() override;
    void PageRight() override;
    void ScrollToLeft() override;
    void ScrollToRight() override;

    // ---- Settings ---------------------------------------------------------------------------
    bool IsWantTab() const override;
    void SetWantTab(bool want);
    bool IsWantReturn() const;
    void SetWantReturn(bool want);
    bool IsWantCtrlReturn() const;
    void SetWantCtrlReturn(bool want);
    bool IsTransparent() const;
    void SetTransparent(bool transparent);
    bool IsRich() const;
    void SetRich(bool rich);
    bool IsReadOnly() const;
    int GetFont() const;
    void SetFont(int fontId);  // -1: the window's default font
    DWORD GetTextColor() const;
    void SetTextColor(DWORD argb);  // a colour without alpha becomes opaque
    int GetLimitText() const;
    void SetLimitText(int limit);
    DWORD GetWinStyle() const;
    bool IsPassword() const;
    void SetPassword(bool password);
    bool IsMultiLine() const;
    void SetMultiLine(bool multiLine);
    void SetVScroll(bool on);
    void SetHScroll(bool on);
    void SetAutoVScroll(bool on);
    void SetAutoHScroll(bool on);
    RECT GetTextPadding() const;
    void SetTextPadding(RECT padding);  // takes effect at the next layout
    CUIString GetTipValue() const;
    void SetTipValue(LPCWSTR text);
    DWORD GetTipValueColor() const;
    void SetTipValueColor(DWORD argb);
    void SetFocusedImage(LPCWSTR image);
    void SetDisabledImage(LPCWSTR image);
    bool IsShowCaret() const;
    void SetShowCaret(bool show);

    // The host, or null without the engine; the control keeps its reference.
    CTxtWinHost* GetTextHost() const;

    // ---- Text through the engine ----------------------------------------------------------
    long GetTextLength(DWORD flags = GTL_DEFAULT) const;  // 0 without the engine
    LRESULT SetSel(long start, long end);
    void ReplaceSel(LPCWSTR text, bool canUndo);
    void Copy();
    void Paste();

    // Every message to the engine goes through here. S_FALSE, with nothing
    // sent and `result` untouched, without the engine. An Enter the control
    // does not take becomes "return" and never reaches the engine.
    virtual HRESULT SendTextMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) const;
    // Always true: every view change repaints the control.
    virtual bool OnTextViewChanged();
    // The engine's notifications (codes EN_...) with their records, which
    // are read and forwarded only within the size each code's record has.
    virtual void OnTextServicesNotify(UINT code, void* record);

    LRESULT FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

protected:
    // Straight to the engine, past the Enter rule; the host must exist.
    void TellServices(UINT message, WPARAM wParam, LPARAM lParam) const;
    void PlaceCompositionWindow();
    void ShowContextMenu(LPARAM lParam);
    bool HitsTextArea(UINT message, LPARAM lParam) const;
    void OnCaretTimer();
    void SendScroll(UINT message, WORD code, WORD position = 0);
    bool NeedsForcedVerticalBar(int width, int height) const;
    void LayoutChildren(const RECT& rc);
    void UpdateStyleBit(DWORD bit, bool on);
    void PaintTip(HDC hdc);
    void PaintCaret(HDC hdc);
    bool PaintBars(HDC hdc, const RECT& paint, CControlUI* stopControl);

    CTxtWinHost* m_host = nullptr;  // one reference, owned
    bool m_vscrollForced = false;
    bool m_wantTab = true;
    bool m_wantReturn = true;
    bool m_wantCtrlReturn = true;
    bool m_transparent = true;
    bool m_rich = true;
    bool m_readOnly = false;
    DWORD m_textColor = 0;
    int m_fontId = -1;
    int m_limitText = CTxtWinHost::kDefaultMaxLength;
    DWORD m_style = ES_MULTILINE;
    bool m_showCaret = true;
    bool m_drawCaret = true;
    bool m_initialised = false;
    RECT m_textPadding = {0, 0, 0, 0};
    CUIString m_tipValue;
    DWORD m_tipColor = 0xFF8E8E8E;
    ImageDrawInfo m_focusedImage;
    ImageDrawInfo m_disabledImage;
};

}  // namespace CalUI
