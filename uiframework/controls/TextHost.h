#pragma once
// The host through which a rich edit drives the platform's windowless text
// engine ("msftedit.dll", made through its export CreateTextServices). The
// engine stores, edits, scrolls and draws the text; the host answers its
// questions on behalf of the owner control and the owner's window: device
// context, client rectangle, default formats, the owner's two scroll bars,
// caret, timers (the owner's paint-manager timers), capture and focus, and
// it hands the engine's notifications to the owner.
//
// Lifetime: reference-counted. The owner holds the only reference and
// releases it when it is destroyed; the host then deactivates and releases
// the engine. The engine's library is loaded by each host and stays loaded
// for the process.

#include <windows.h>

#include <richedit.h>
#include <textserv.h>

#include "core/EnumFlags.h"

namespace CalUI {

class CRichEditUI;

// Host flags, kept in one word as the engine's property answers read them.
enum class TextHostFlag : DWORD
{
    None = 0,
    AutoWordSelect = 0x1,
    WordWrap = 0x2,
    AllowBeep = 0x4,
    RichText = 0x8,
    SaveSelection = 0x10,
    InPlaceActive = 0x20,
    Transparent = 0x40,
    TimerSet = 0x80,
    Captured = 0x100,
    CaretShown = 0x200,
    FreshCaretNeeded = 0x400,  // a window that is not layered repaints the old caret at the next move
};
template <>
inline constexpr bool kEnumIsFlagSet<TextHostFlag> = true;

class CTxtWinHost : public ITextHost
{
public:
    // The password character answered while the style holds ES_PASSWORD.
    static constexpr WCHAR kPasswordChar = L'*';
    static constexpr LONG kDefaultMaxLength = 0x7FFF;

    // Makes a host for `owner` from the creation record's style and window
    // name (the initial text); a null record means neither. True, with the
    // host in `host`, only when the engine was made and took the text;
    // otherwise false and `host` untouched.
    static bool CreateHost(CRichEditUI* owner, const CREATESTRUCTW* create, CTxtWinHost** host);
    // Hundredths of a millimetre of `pixels` on a device of `dpi` dots per inch.
    static LONG PixelsToHimetric(int pixels, int dpi);

    CTxtWinHost();
    CTxtWinHost(const CTxtWinHost&) = delete;
    CTxtWinHost& operator=(const CTxtWinHost&) = delete;

    bool Init(CRichEditUI* owner, const CREATESTRUCTW* create);
    ITextServices* GetTextServices() const { return m_services; }

    // ---- Settings the owner changes ---------------------------------------------------
    void SetMultiLine(bool multiLine);
    void SetPasswordMode(bool password);
    void SetStyle(DWORD style) { m_style = style; }
    DWORD GetStyle() const { return m_style; }
    void SetVScroll(bool on);
    void SetHScroll(bool on);
    void SetAutoVScroll(bool on);
    void SetAutoHScroll(bool on);
    void SetFont(HFONT font);  // nothing for a null font
    void SetColor(DWORD argb);
    void SetMaxLength(LONG length);  // below 1 becomes kDefaultMaxLength
    void SetRichText(bool rich);
    void SetTransparent(bool transparent);
    void SetClientRect(const RECT& rc);
    RECT GetClientRect() const { return m_clientRect; }
    HRESULT Activate(const RECT* rc);
    // Lets the engine set the cursor when `pt` lies in `rc` (or the client
    // rectangle); false when it lies outside.
    bool DoSetCursor(const RECT* rc, POINT pt);
    bool IsCaptured() const;
    bool IsCaretShown() const;
    int GetCaretWidth() const { return m_caretWidth; }
    int GetCaretHeight() const { return m_caretHeight; }
    void NeedFreshCaret();

    // ---- ITextHost ------------------------------------------------------------------------
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HDC TxGetDC() override;
    INT TxReleaseDC(HDC hdc) override;
    WINBOOL TxShowScrollBar(INT bar, WINBOOL show) override;
    WINBOOL TxEnableScrollBar(INT bars, INT arrows) override;
    WINBOOL TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL redraw) override;
    WINBOOL TxSetScrollPos(INT bar, INT pos, WINBOOL redraw) override;
    void TxInvalidateRect(LPCRECT rc, WINBOOL erase) override;
    void TxViewChange(WINBOOL update) override;
    WINBOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override;
    WINBOOL TxShowCaret(WINBOOL show) override;
    WINBOOL TxSetCaretPos(INT x, INT y) override;
    WINBOOL TxSetTimer(UINT id, UINT timeout) override;
    void TxKillTimer(UINT id) override;
    void TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN updateRegion, LPRECT update,
                          UINT flags) override;
    void TxSetCapture(WINBOOL capture) override;
    void TxSetFocus() override;
    void TxSetCursor(HCURSOR cursor, WINBOOL text) override;
    WINBOOL TxScreenToClient(LPPOINT pt) override;
    WINBOOL TxClientToScreen(LPPOINT pt) override;
    HRESULT TxActivate(LONG* oldState) override;
    HRESULT TxDeactivate(LONG newState) override;
    HRESULT TxGetClientRect(LPRECT rc) override;
    HRESULT TxGetViewInset(LPRECT rc) override;
    HRESULT TxGetCharFormat(const CHARFORMATW** format) override;
    HRESULT TxGetParaFormat(const PARAFORMAT** format) override;
    COLORREF TxGetSysColor(int index) override;
    HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override;
    HRESULT TxGetMaxLength(DWORD* length) override;
    HRESULT TxGetScrollBars(DWORD* scrollBars) override;
    HRESULT TxGetPasswordChar(TCHAR* ch) override;
    HRESULT TxGetAcceleratorPos(LONG* pos) override;
    HRESULT TxGetExtent(LPSIZEL extent) override;
    HRESULT OnTxCharFormatChange(const CHARFORMATW* format) override;
    HRESULT OnTxParaFormatChange(const PARAFORMAT* format) override;
    HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override;
    HRESULT TxNotify(DWORD code, void* record) override;
    HIMC TxImmGetContext() override;
    void TxImmReleaseContext(HIMC context) override;
    HRESULT TxGetSelectionBarWidth(LONG* width) override;

    virtual ~CTxtWinHost();

private:
    bool HasFlag(TextHostFlag flag) const;
    void SetFlag(TextHostFlag flag, bool on);
    void NotifyPropertyChange(DWORD mask, DWORD bits);
    void InitDefaultCharFormat(HFONT font);
    void InitDefaultParaFormat();
    void TakeFont(HFONT font);  // size, weight, effects, charset, pitch and face
    void TakeColor(DWORD argb);
    int PaintDpi(int index) const;
    void InvalidateCaretRect(POINT at, int width, int height);

    CRichEditUI* m_owner = nullptr;
    LONG m_refCount = 0;
    ITextServices* m_services = nullptr;  // one reference, owned
    DWORD m_style = 0;
    TextHostFlag m_flags = TextHostFlag::None;
    int m_caretWidth = 0;
    int m_caretHeight = 0;
    int m_previousCaretWidth = 0;
    int m_previousCaretHeight = 0;
    LONG m_selectionBarWidth = 0;
    LONG m_maxLength = kDefaultMaxLength;
    RECT m_clientRect = {0, 0, 0, 0};
    SIZEL m_extent = {0, 0};
    CHARFORMAT2W m_charFormat = {};
    PARAFORMAT2 m_paraFormat = {};
};

}  // namespace CalUI
