#include "controls/TextHost.h"

#include <cwchar>

#include "controls/RichEditUI.h"
#include "core/ScrollBarUI.h"
#include "core/WindowManagerUI.h"

// No import library of the toolchain holds these two.
EXTERN_C const IID IID_ITextHost = {0xC5BDD8D0, 0xD26E, 0x11CE, {0xA8, 0x9E, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};
EXTERN_C const IID IID_ITextServices = {0x8D33F740, 0xCF58, 0x11CE, {0xA8, 0x9D, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};

namespace CalUI {

namespace {

constexpr DWORD kCharFormatMask =
    CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_OFFSET | CFM_CHARSET | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
constexpr DWORD kParaFormatMask = PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET | PFM_ALIGNMENT | PFM_TABSTOPS |
                                  PFM_NUMBERING | PFM_RTLPARA | PFM_OFFSETINDENT;
constexpr LONG kHalfInchTwips = 720;
constexpr int kTwipsPerInch = 1440;
constexpr int kHimetricPerInch = 2540;
constexpr DWORD kScrollBarStyles = WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_DISABLENOSCROLL;

// Pure black would read as "automatic colour" to the engine; one step of
// blue keeps it black on screen and explicit.
constexpr DWORD kNearBlack = 0xFF000001;

void PutBit(DWORD& bits, DWORD bit, bool on)
{
    if (on)
        bits |= bit;
    else
        bits &= ~bit;
}

}  // namespace

bool CTxtWinHost::CreateHost(CRichEditUI* owner, const CREATESTRUCTW* create, CTxtWinHost** host)
{
    auto* made = new CTxtWinHost;
    if (!made->Init(owner, create)) {
        delete made;
        return false;
    }
    *host = made;
    return true;
}

LONG CTxtWinHost::PixelsToHimetric(int pixels, int dpi) { return MulDiv(pixels, kHimetricPerInch, dpi); }

CTxtWinHost::CTxtWinHost() = default;

CTxtWinHost::~CTxtWinHost()
{
    if (m_services == nullptr)
        return;
    m_services->OnTxInPlaceDeactivate();
    m_services->Release();
}

bool CTxtWinHost::Init(CRichEditUI* owner, const CREATESTRUCTW* create)
{
    m_owner = owner;
    m_refCount = 1;
    InitDefaultCharFormat(nullptr);
    InitDefaultParaFormat();
    SetFlag(TextHostFlag::RichText, owner->IsRich());
    // The engine reads the back style only when it is made.
    SetFlag(TextHostFlag::Transparent, owner->IsTransparent());
    m_maxLength = owner->GetLimitText() < 1 ? kDefaultMaxLength : owner->GetLimitText();
    if (create != nullptr) {
        m_style = static_cast<DWORD>(create->style);
        if ((m_style & (ES_AUTOHSCROLL | WS_HSCROLL)) == 0)
            SetFlag(TextHostFlag::WordWrap, true);
    }
    if ((m_style & ES_CENTER) != 0)
        m_paraFormat.wAlignment = PFA_CENTER;
    else if ((m_style & ES_RIGHT) != 0)
        m_paraFormat.wAlignment = PFA_RIGHT;
    SetFlag(TextHostFlag::InPlaceActive, true);

    HMODULE library = LoadLibraryW(L"msftedit.dll");
    if (library == nullptr)
        return false;
    auto createServices =
        reinterpret_cast<PCreateTextServices>(reinterpret_cast<void*>(GetProcAddress(library, "CreateTextServices")));
    if (createServices == nullptr)
        return false;
    IUnknown* unknown = nullptr;
    if (FAILED(createServices(nullptr, this, &unknown)) || unknown == nullptr)
        return false;
    HRESULT hr = unknown->QueryInterface(IID_ITextServices, reinterpret_cast<void**>(&m_services));
    unknown->Release();
    if (FAILED(hr) || m_services == nullptr) {
        m_services = nullptr;
        return false;
    }
    if (create != nullptr && create->lpszName != nullptr && FAILED(m_services->TxSetText(create->lpszName)))
        return false;
    return true;
}

// ---- Settings ------------------------------------------------------------------------------

bool CTxtWinHost::HasFlag(TextHostFlag flag) const { return HasAny(m_flags, flag); }

void CTxtWinHost::SetFlag(TextHostFlag flag, bool on)
{
    if (on)
        m_flags |= flag;
    else
        m_flags &= ~flag;
}

void CTxtWinHost::NotifyPropertyChange(DWORD mask, DWORD bits)
{
    if (m_services != nullptr)
        m_services->OnTxPropertyBitsChange(mask, bits);
}

void CTxtWinHost::SetMultiLine(bool multiLine)
{
    PutBit(m_style, ES_MULTILINE, multiLine);
    NotifyPropertyChange(TXTBIT_MULTILINE, multiLine ? TXTBIT_MULTILINE : 0);
}

void CTxtWinHost::SetPasswordMode(bool password)
{
    NotifyPropertyChange(TXTBIT_USEPASSWORD, password ? TXTBIT_USEPASSWORD : 0);
}

void CTxtWinHost::SetVScroll(bool on)
{
    if (on) {
        m_style |= WS_VSCROLL | ES_DISABLENOSCROLL;
        return;
    }
    m_style &= ~WS_VSCROLL;
    if ((m_style & WS_HSCROLL) == 0)
        m_style &= ~ES_DISABLENOSCROLL;
}

void CTxtWinHost::SetHScroll(bool on)
{
    if (on) {
        m_style |= WS_HSCROLL | ES_DISABLENOSCROLL;
        return;
    }
    m_style &= ~WS_HSCROLL;
    if ((m_style & WS_VSCROLL) == 0)
        m_style &= ~ES_DISABLENOSCROLL;
}

void CTxtWinHost::SetAutoVScroll(bool on) { PutBit(m_style, ES_AUTOVSCROLL, on); }

void CTxtWinHost::SetAutoHScroll(bool on) { PutBit(m_style, ES_AUTOHSCROLL, on); }

void CTxtWinHost::SetFont(HFONT font)
{
    if (font == nullptr)
        return;
    TakeFont(font);
    NotifyPropertyChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetColor(DWORD argb)
{
    TakeColor(argb);
    NotifyPropertyChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetMaxLength(LONG length)
{
    m_maxLength = length < 1 ? kDefaultMaxLength : length;
    NotifyPropertyChange(TXTBIT_MAXLENGTHCHANGE, TXTBIT_MAXLENGTHCHANGE);
}

void CTxtWinHost::SetRichText(bool rich)
{
    SetFlag(TextHostFlag::RichText, rich);
    NotifyPropertyChange(TXTBIT_RICHTEXT, rich ? TXTBIT_RICHTEXT : 0);
}

void CTxtWinHost::SetTransparent(bool transparent)
{
    SetFlag(TextHostFlag::Transparent, transparent);
    NotifyPropertyChange(TXTBIT_BACKSTYLECHANGE, 0);
}

void CTxtWinHost::SetClientRect(const RECT& rc)
{
    m_clientRect = rc;
    m_extent.cx = PixelsToHimetric(rc.right - rc.left, PaintDpi(LOGPIXELSX));
    m_extent.cy = PixelsToHimetric(rc.bottom - rc.top, PaintDpi(LOGPIXELSY));
    // Without the rectangle's change the engine keeps the view it had, empty
    // until its first drawing, and scrolls a text given before then as if
    // no character fitted: a long one went out of sight entirely.
    constexpr DWORD kViewBits = TXTBIT_VIEWINSETCHANGE | TXTBIT_CLIENTRECTCHANGE;
    NotifyPropertyChange(kViewBits, kViewBits);
}

HRESULT CTxtWinHost::Activate(const RECT* rc)
{
    SetFlag(TextHostFlag::InPlaceActive, true);
    HRESULT hr = m_services != nullptr ? m_services->OnTxInPlaceActivate(rc) : E_FAIL;
    if (FAILED(hr))
        SetFlag(TextHostFlag::InPlaceActive, false);
    return hr;
}

bool CTxtWinHost::DoSetCursor(const RECT* rc, POINT pt)
{
    const RECT area = rc != nullptr ? *rc : m_clientRect;
    if (!PtInRect(&area, pt))
        return false;
    const RECT* handed = (HasFlag(TextHostFlag::InPlaceActive) && rc == nullptr) ? nullptr : &area;
    CWindowManagerUI* manager = m_owner->GetManager();
    m_services->OnTxSetCursor(DVASPECT_CONTENT, -1, nullptr, nullptr,
                              manager != nullptr ? manager->GetPaintDC() : nullptr, nullptr, handed, pt.x, pt.y);
    return true;
}

bool CTxtWinHost::IsCaptured() const { return HasFlag(TextHostFlag::Captured); }

bool CTxtWinHost::IsCaretShown() const { return HasFlag(TextHostFlag::CaretShown); }

void CTxtWinHost::NeedFreshCaret() { SetFlag(TextHostFlag::FreshCaretNeeded, true); }

// ---- Formats -------------------------------------------------------------------------------

int CTxtWinHost::PaintDpi(int index) const
{
    CWindowManagerUI* manager = m_owner->GetManager();
    HDC dc = manager != nullptr ? manager->GetPaintDC() : nullptr;
    int dpi = dc != nullptr ? GetDeviceCaps(dc, index) : 0;
    return dpi != 0 ? dpi : 96;
}

void CTxtWinHost::InitDefaultCharFormat(HFONT font)
{
    m_charFormat = CHARFORMAT2W{};
    m_charFormat.cbSize = sizeof(CHARFORMAT2W);
    CWindowManagerUI* manager = m_owner->GetManager();
    if (font == nullptr && manager != nullptr)
        font = manager->GetFont(m_owner->GetFont());
    TakeColor(m_owner->GetTextColor());
    m_charFormat.yOffset = 0;
    m_charFormat.dwMask = kCharFormatMask;
    if (font != nullptr)
        TakeFont(font);
}

void CTxtWinHost::TakeFont(HFONT font)
{
    LOGFONTW logFont = {};
    if (GetObjectW(font, sizeof(logFont), &logFont) == 0)
        return;
    m_charFormat.yHeight = -logFont.lfHeight * kTwipsPerInch / PaintDpi(LOGPIXELSY);
    PutBit(m_charFormat.dwEffects, CFE_BOLD, logFont.lfWeight >= FW_BOLD);
    PutBit(m_charFormat.dwEffects, CFE_ITALIC, logFont.lfItalic != 0);
    PutBit(m_charFormat.dwEffects, CFE_UNDERLINE, logFont.lfUnderline != 0);
    PutBit(m_charFormat.dwEffects, CFE_STRIKEOUT, logFont.lfStrikeOut != 0);
    m_charFormat.bCharSet = logFont.lfCharSet;
    m_charFormat.bPitchAndFamily = logFont.lfPitchAndFamily;
    wcsncpy(m_charFormat.szFaceName, logFont.lfFaceName, LF_FACESIZE - 1);
    m_charFormat.szFaceName[LF_FACESIZE - 1] = L'\0';
}

void CTxtWinHost::TakeColor(DWORD argb)
{
    if (argb == 0 || argb == 0xFF000000)
        argb = kNearBlack;
    m_charFormat.crTextColor = RGB(argb >> 16 & 0xFF, argb >> 8 & 0xFF, argb & 0xFF);
}

void CTxtWinHost::InitDefaultParaFormat()
{
    m_paraFormat = PARAFORMAT2{};
    m_paraFormat.cbSize = sizeof(PARAFORMAT2);
    m_paraFormat.dwMask = kParaFormatMask;
    m_paraFormat.wAlignment = PFA_LEFT;
    m_paraFormat.cTabCount = 1;
    m_paraFormat.rgxTabs[0] = kHalfInchTwips;
}

// ---- IUnknown ------------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE CTxtWinHost::QueryInterface(REFIID riid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ITextHost)) {
        AddRef();
        *object = static_cast<ITextHost*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CTxtWinHost::AddRef() { return static_cast<ULONG>(++m_refCount); }

ULONG STDMETHODCALLTYPE CTxtWinHost::Release()
{
    LONG count = --m_refCount;
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

// ---- ITextHost -----------------------------------------------------------------------------

HDC CTxtWinHost::TxGetDC()
{
    CWindowManagerUI* manager = m_owner->GetManager();
    return manager != nullptr ? manager->GetPaintDC() : nullptr;
}

INT CTxtWinHost::TxReleaseDC(HDC) { return 1; }

WINBOOL CTxtWinHost::TxShowScrollBar(INT bar, WINBOOL show)
{
    const bool visible = show == 1;
    CScrollBarUI* vertical = m_owner->GetVerticalScrollBar();
    CScrollBarUI* horizontal = m_owner->GetHorizontalScrollBar();
    if ((bar == SB_VERT || bar == SB_BOTH) && vertical != nullptr)
        vertical->SetVisible(visible);
    if ((bar == SB_HORZ || bar == SB_BOTH) && horizontal != nullptr)
        horizontal->SetVisible(visible);
    return TRUE;
}

WINBOOL CTxtWinHost::TxEnableScrollBar(INT bars, INT arrows)
{
    const bool visible = arrows != ESB_DISABLE_BOTH;
    if (bars == SB_VERT) {
        m_owner->EnableScrollBar(true, m_owner->GetHorizontalScrollBar() != nullptr);
        m_owner->GetVerticalScrollBar()->SetVisible(visible);
    } else if (bars == SB_HORZ) {
        m_owner->EnableScrollBar(m_owner->GetVerticalScrollBar() != nullptr, true);
        m_owner->GetHorizontalScrollBar()->SetVisible(visible);
    } else if (bars == SB_BOTH) {
        m_owner->EnableScrollBar(true, true);
        m_owner->GetVerticalScrollBar()->SetVisible(visible);
        m_owner->GetHorizontalScrollBar()->SetVisible(visible);
    }
    return TRUE;
}

WINBOOL CTxtWinHost::TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL)
{
    const LONG length = maxPos - minPos;
    CScrollBarUI* target = nullptr;
    LONG excess = 0;
    if (bar == SB_VERT) {
        target = m_owner->GetVerticalScrollBar();
        excess = length - (m_clientRect.bottom - m_clientRect.top);
    } else if (bar == SB_HORZ) {
        target = m_owner->GetHorizontalScrollBar();
        excess = length - (m_clientRect.right - m_clientRect.left);
    }
    if (target == nullptr)
        return TRUE;
    if (excess > 0) {
        target->SetVisible(true);
        target->SetScrollRange(excess);
    } else {
        target->SetVisible(false);
    }
    return TRUE;
}

WINBOOL CTxtWinHost::TxSetScrollPos(INT bar, INT pos, WINBOOL)
{
    CScrollBarUI* target = bar == SB_VERT   ? m_owner->GetVerticalScrollBar()
                           : bar == SB_HORZ ? m_owner->GetHorizontalScrollBar()
                                            : nullptr;
    if (target != nullptr)
        target->SetScrollPos(pos, true);
    return TRUE;
}

void CTxtWinHost::TxInvalidateRect(LPCRECT rc, WINBOOL)
{
    CWindowManagerUI* manager = m_owner->GetManager();
    if (manager != nullptr)
        manager->Invalidate(rc != nullptr ? *rc : m_clientRect);
}

void CTxtWinHost::TxViewChange(WINBOOL)
{
    if (m_owner->OnTextViewChanged())
        m_owner->Invalidate();
}

WINBOOL CTxtWinHost::TxCreateCaret(HBITMAP bitmap, INT width, INT height)
{
    CWindowManagerUI* manager = m_owner->GetManager();
    if (!m_owner->IsShowCaret() || manager == nullptr)
        return FALSE;
    // A width of 0 asks for the system's caret width; the layered window's
    // drawn caret and its repaints need the width the system gives it.
    m_caretWidth = width > 0 ? width : GetSystemMetrics(SM_CXBORDER);
    m_caretHeight = height;
    return CreateCaret(manager->GetPaintWindow(), bitmap, width, height);
}

WINBOOL CTxtWinHost::TxShowCaret(WINBOOL show)
{
    CWindowManagerUI* manager = m_owner->GetManager();
    SetFlag(TextHostFlag::CaretShown, show != FALSE);
    if (manager == nullptr)
        return FALSE;
    return show ? ShowCaret(manager->GetPaintWindow()) : HideCaret(manager->GetPaintWindow());
}

void CTxtWinHost::InvalidateCaretRect(POINT at, int width, int height)
{
    m_owner->GetManager()->Invalidate(RECT{at.x, at.y, at.x + width, at.y + height});
}

WINBOOL CTxtWinHost::TxSetCaretPos(INT x, INT y)
{
    CWindowManagerUI* manager = m_owner->GetManager();
    if (manager == nullptr)
        return FALSE;
    POINT old = {0, 0};
    GetCaretPos(&old);
    if (manager->IsLayered()) {
        InvalidateCaretRect(old, m_previousCaretWidth, m_previousCaretHeight);
        InvalidateCaretRect(POINT{x, y}, m_caretWidth, m_caretHeight);
    } else if (HasFlag(TextHostFlag::FreshCaretNeeded)) {
        InvalidateCaretRect(old, m_previousCaretWidth, m_previousCaretHeight);
        SetFlag(TextHostFlag::FreshCaretNeeded, false);
    }
    m_previousCaretWidth = m_caretWidth;
    m_previousCaretHeight = m_caretHeight;
    return SetCaretPos(x, y);
}

WINBOOL CTxtWinHost::TxSetTimer(UINT id, UINT timeout)
{
    CWindowManagerUI* manager = m_owner->GetManager();
    SetFlag(TextHostFlag::TimerSet, true);
    return manager != nullptr && manager->SetTimer(m_owner, id, timeout) ? TRUE : FALSE;
}

void CTxtWinHost::TxKillTimer(UINT id)
{
    CWindowManagerUI* manager = m_owner->GetManager();
    if (manager != nullptr)
        manager->KillTimer(m_owner, id);
    SetFlag(TextHostFlag::TimerSet, false);
}

void CTxtWinHost::TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) {}

void CTxtWinHost::TxSetCapture(WINBOOL capture)
{
    CWindowManagerUI* manager = m_owner->GetManager();
    if (manager != nullptr) {
        if (capture)
            manager->SetCapture();
        else
            manager->ReleaseCapture();
    }
    SetFlag(TextHostFlag::Captured, capture != FALSE);
}

void CTxtWinHost::TxSetFocus() { m_owner->SetFocus(); }

void CTxtWinHost::TxSetCursor(HCURSOR cursor, WINBOOL) { ::SetCursor(cursor); }

WINBOOL CTxtWinHost::TxScreenToClient(LPPOINT pt)
{
    CWindowManagerUI* manager = m_owner->GetManager();
    return manager != nullptr && ScreenToClient(manager->GetPaintWindow(), pt);
}

WINBOOL CTxtWinHost::TxClientToScreen(LPPOINT pt)
{
    CWindowManagerUI* manager = m_owner->GetManager();
    return manager != nullptr && ClientToScreen(manager->GetPaintWindow(), pt);
}

HRESULT CTxtWinHost::TxActivate(LONG*) { return S_OK; }

HRESULT CTxtWinHost::TxDeactivate(LONG) { return S_OK; }

HRESULT CTxtWinHost::TxGetClientRect(LPRECT rc)
{
    *rc = m_clientRect;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetViewInset(LPRECT rc)
{
    *rc = RECT{0, 0, 0, 0};
    return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW** format)
{
    *format = reinterpret_cast<const CHARFORMATW*>(&m_charFormat);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT** format)
{
    *format = reinterpret_cast<const PARAFORMAT*>(&m_paraFormat);
    return S_OK;
}

COLORREF CTxtWinHost::TxGetSysColor(int index) { return GetSysColor(index); }

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE* style)
{
    *style = HasFlag(TextHostFlag::Transparent) ? TXTBACK_TRANSPARENT : TXTBACK_OPAQUE;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD* length)
{
    *length = static_cast<DWORD>(m_maxLength);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD* scrollBars)
{
    *scrollBars = m_style & kScrollBarStyles;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetPasswordChar(TCHAR* ch)
{
    // The engine draws a password character of 0 as clear text.
    *ch = (m_style & ES_PASSWORD) != 0 ? kPasswordChar : L'\0';
    return S_OK;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG* pos)
{
    *pos = -1;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL extent)
{
    *extent = m_extent;
    return S_OK;
}

HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW*) { return S_OK; }

HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT*) { return S_OK; }

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD mask, DWORD* bits)
{
    DWORD answer = 0;
    PutBit(answer, TXTBIT_RICHTEXT, HasFlag(TextHostFlag::RichText));
    PutBit(answer, TXTBIT_MULTILINE, (m_style & ES_MULTILINE) != 0);
    PutBit(answer, TXTBIT_READONLY, (m_style & ES_READONLY) != 0);
    PutBit(answer, TXTBIT_USEPASSWORD, (m_style & ES_PASSWORD) != 0);
    PutBit(answer, TXTBIT_HIDESELECTION, (m_style & ES_NOHIDESEL) == 0);
    PutBit(answer, TXTBIT_SAVESELECTION, HasFlag(TextHostFlag::SaveSelection));
    PutBit(answer, TXTBIT_AUTOWORDSEL, HasFlag(TextHostFlag::AutoWordSelect));
    PutBit(answer, TXTBIT_WORDWRAP, HasFlag(TextHostFlag::WordWrap));
    PutBit(answer, TXTBIT_ALLOWBEEP, HasFlag(TextHostFlag::AllowBeep));
    *bits = answer & mask;
    return S_OK;
}

HRESULT CTxtWinHost::TxNotify(DWORD code, void* record)
{
    if (code == EN_REQUESTRESIZE) {
        if (record != nullptr) {
            const RECT& wanted = static_cast<const REQRESIZE*>(record)->rc;
            SetClientRect(RECT{m_clientRect.left, m_clientRect.top, m_clientRect.left + wanted.right,
                               m_clientRect.top + wanted.bottom});
        }
        return S_OK;
    }
    m_owner->OnTextServicesNotify(code, record);
    return S_OK;
}

HIMC CTxtWinHost::TxImmGetContext() { return nullptr; }

void CTxtWinHost::TxImmReleaseContext(HIMC) {}

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG* width)
{
    *width = m_selectionBarWidth;
    return S_OK;
}

}  // namespace CalUI
