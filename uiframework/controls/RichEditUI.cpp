// The rich edit's settings, attributes, text and life. Input lives in
// RichEditInput.cpp, layout, painting and scrolling in RichEditView.cpp.

#include "controls/RichEditUI.h"

#include <cwchar>
#include <vector>

#include "core/AttributeValues.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

constexpr wchar_t kRichEditClass[] = L"RichEdit";

// A colour given without alpha is meant opaque.
DWORD OpaqueUnlessAlpha(DWORD argb) { return argb != 0 && argb < 0x01000000 ? argb | 0xFF000000 : argb; }

}  // namespace

CRichEditUI::CRichEditUI() = default;

CRichEditUI::~CRichEditUI()
{
    if (m_host == nullptr)
        return;
    // The engine hides its caret and lets go of the capture while it still
    // has its owner to call back.
    if (m_focused)
        TellServices(WM_KILLFOCUS, 0, 0);
    m_host->Release();
    m_host = nullptr;
    if (m_manager != nullptr) {
        m_manager->RemoveMessageFilter(this);
        m_manager->KillTimers(this);
    }
}

LPCWSTR CRichEditUI::GetClass() const { return kRichEditClass; }

void* CRichEditUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, kRichEditClass) == 0)
        return this;
    if (std::wcscmp(name, kWantTabInterface) == 0)
        return static_cast<IWantTabUI*>(this);
    return CContainerUI::GetInterface(name);
}

UIControlFlag CRichEditUI::GetControlFlags() const
{
    return IsEnabled() ? UIControlFlag::TabStop | UIControlFlag::SetCursor : UIControlFlag::None;
}

CTxtWinHost* CRichEditUI::GetTextHost() const { return m_host; }

// ---- Life ------------------------------------------------------------------------------------

void CRichEditUI::OnInit()
{
    if (m_initialised)
        return;
    m_initialised = true;
    CREATESTRUCTW create = {};
    create.style = static_cast<LONG>(m_style);
    create.lpszName = m_text.GetData();
    if (!CTxtWinHost::CreateHost(this, &create, &m_host))
        return;
    if (m_transparent)
        m_host->SetTransparent(true);
    TellServices(EM_SETLANGOPTIONS, 0, 0);
    m_host->Activate(nullptr);
    if (m_manager == nullptr)
        return;
    m_manager->AddMessageFilter(this);
    if (m_manager->IsLayered())
        m_manager->SetTimer(this, kCaretTimer, GetCaretBlinkTime());
    LRESULT mask = 0;
    SendTextMessage(EM_GETEVENTMASK, 0, 0, &mask);
    SendTextMessage(EM_SETEVENTMASK, 0, mask | ENM_CHANGE, nullptr);
}

// ---- Settings --------------------------------------------------------------------------------

bool CRichEditUI::IsWantTab() const { return m_wantTab; }
void CRichEditUI::SetWantTab(bool want) { m_wantTab = want; }
bool CRichEditUI::IsWantReturn() const { return m_wantReturn; }
void CRichEditUI::SetWantReturn(bool want) { m_wantReturn = want; }
bool CRichEditUI::IsWantCtrlReturn() const { return m_wantCtrlReturn; }
void CRichEditUI::SetWantCtrlReturn(bool want) { m_wantCtrlReturn = want; }
bool CRichEditUI::IsTransparent() const { return m_transparent; }

void CRichEditUI::SetTransparent(bool transparent)
{
    m_transparent = transparent;
    if (m_host != nullptr)
        m_host->SetTransparent(transparent);
}

bool CRichEditUI::IsRich() const { return m_rich; }

void CRichEditUI::SetRich(bool rich)
{
    m_rich = rich;
    if (m_host != nullptr)
        m_host->SetRichText(rich);
}

bool CRichEditUI::IsReadOnly() const { return m_readOnly; }
int CRichEditUI::GetFont() const { return m_fontId; }

void CRichEditUI::SetFont(int fontId)
{
    m_fontId = fontId;
    if (m_host != nullptr && m_manager != nullptr)
        m_host->SetFont(m_manager->GetFont(fontId));
}

DWORD CRichEditUI::GetTextColor() const { return m_textColor; }

void CRichEditUI::SetTextColor(DWORD argb)
{
    argb = OpaqueUnlessAlpha(argb);
    if (argb == m_textColor)
        return;
    m_textColor = argb;
    if (m_host != nullptr)
        m_host->SetColor(argb);
}

int CRichEditUI::GetLimitText() const { return m_limitText; }

void CRichEditUI::SetLimitText(int limit)
{
    m_limitText = limit;
    if (m_host != nullptr)
        m_host->SetMaxLength(limit);
}

DWORD CRichEditUI::GetWinStyle() const { return m_style; }

void CRichEditUI::UpdateStyleBit(DWORD bit, bool on)
{
    if (on)
        m_style |= bit;
    else
        m_style &= ~bit;
}

bool CRichEditUI::IsPassword() const { return (m_style & ES_PASSWORD) != 0; }

void CRichEditUI::SetPassword(bool password)
{
    UpdateStyleBit(ES_PASSWORD, password);
    if (m_host == nullptr)
        return;
    // The host answers the masking character from the style, so the style
    // goes first and the engine, told of the change, asks for it anew.
    m_host->SetStyle(m_style);
    m_host->SetPasswordMode(password);
    Invalidate();
}

bool CRichEditUI::IsMultiLine() const { return (m_style & ES_MULTILINE) != 0; }

void CRichEditUI::SetMultiLine(bool multiLine)
{
    UpdateStyleBit(ES_MULTILINE, multiLine);
    if (m_host != nullptr)
        m_host->SetMultiLine(multiLine);
}

void CRichEditUI::SetVScroll(bool on)
{
    UpdateStyleBit(WS_VSCROLL, on);
    UpdateStyleBit(ES_DISABLENOSCROLL, on || (m_style & WS_HSCROLL) != 0);
    if (m_host != nullptr)
        m_host->SetVScroll(on);
}

void CRichEditUI::SetHScroll(bool on)
{
    UpdateStyleBit(WS_HSCROLL, on);
    UpdateStyleBit(ES_DISABLENOSCROLL, on || (m_style & WS_VSCROLL) != 0);
    if (m_host != nullptr)
        m_host->SetHScroll(on);
}

void CRichEditUI::SetAutoVScroll(bool on)
{
    UpdateStyleBit(ES_AUTOVSCROLL, on);
    if (m_host != nullptr)
        m_host->SetAutoVScroll(on);
}

void CRichEditUI::SetAutoHScroll(bool on)
{
    UpdateStyleBit(ES_AUTOHSCROLL, on);
    if (m_host != nullptr)
        m_host->SetAutoHScroll(on);
}

RECT CRichEditUI::GetTextPadding() const { return m_textPadding; }

void CRichEditUI::SetTextPadding(RECT padding)
{
    m_textPadding = padding;
    Invalidate();
}

CUIString CRichEditUI::GetTipValue() const { return m_tipValue; }

void CRichEditUI::SetTipValue(LPCWSTR text)
{
    if (m_tipValue == text)
        return;
    m_tipValue = text;
    Invalidate();
}

DWORD CRichEditUI::GetTipValueColor() const { return m_tipColor; }

void CRichEditUI::SetTipValueColor(DWORD argb)
{
    argb = OpaqueUnlessAlpha(argb);
    if (argb == m_tipColor)
        return;
    m_tipColor = argb;
    Invalidate();
}

void CRichEditUI::SetFocusedImage(LPCWSTR image) { SetImageRecord(m_focusedImage, image); }
void CRichEditUI::SetDisabledImage(LPCWSTR image) { SetImageRecord(m_disabledImage, image); }
bool CRichEditUI::IsShowCaret() const { return m_showCaret; }

void CRichEditUI::SetShowCaret(bool show)
{
    if (show == m_showCaret)
        return;
    m_showCaret = show;
    if (m_host != nullptr)
        m_host->TxShowCaret(show);
    Invalidate();
}

void CRichEditUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    const std::wstring n = name;
    const bool on = IsTrueValue(value);
    if (n == L"vscrollbar") {
        SetVScroll(on);
        CContainerUI::SetAttribute(name, value);
    } else if (n == L"autovscroll") {
        SetAutoVScroll(on);
        CContainerUI::SetAttribute(name, value);
    } else if (n == L"hscrollbar") {
        SetHScroll(on);
        CContainerUI::SetAttribute(name, value);
    } else if (n == L"autohscroll") {
        SetAutoHScroll(on);
    } else if (n == L"wanttab") {
        SetWantTab(on);
    } else if (n == L"wantreturn") {
        SetWantReturn(on);
    } else if (n == L"wantctrlreturn") {
        SetWantCtrlReturn(on);
    } else if (n == L"transparent") {
        SetTransparent(on);
    } else if (n == L"rich") {
        SetRich(on);
    } else if (n == L"multiline") {
        SetMultiLine(std::wcscmp(value, L"false") != 0);
    } else if (n == L"readonly") {
        if (on) {
            m_style |= ES_READONLY;
            m_readOnly = true;
        }
    } else if (n == L"password") {
        SetPassword(on);
    } else if (n == L"align") {
        // Each word met overrides the ones before, so "center right" ends right.
        if (std::wcsstr(value, L"left") != nullptr)
            m_style &= ~(ES_CENTER | ES_RIGHT);
        if (std::wcsstr(value, L"center") != nullptr) {
            m_style &= ~ES_RIGHT;
            m_style |= ES_CENTER;
        }
        if (std::wcsstr(value, L"right") != nullptr) {
            m_style &= ~ES_CENTER;
            m_style |= ES_RIGHT;
        }
    } else if (n == L"font") {
        SetFont(_wtoi(value));
    } else if (n == L"textcolor") {
        SetTextColor(ParseColorValue(value));
    } else if (n == L"textpadding") {
        SetTextPadding(ParseRectValue(value));
    } else if (n == L"maxchar") {
        SetLimitText(_wtoi(value));
    } else if (n == L"focusedimage") {
        SetFocusedImage(value);
    } else if (n == L"disabledimage") {
        SetDisabledImage(value);
    } else if (n == L"showcaret") {
        SetShowCaret(on);
    } else if (n == L"tipvalue") {
        SetTipValue(value);
    } else if (n == L"tipcolor") {
        SetTipValueColor(ParseColorValue(value));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

SIZE CRichEditUI::EstimateSize(SIZE available) { return CControlUI::EstimateSize(available); }

// ---- Text ------------------------------------------------------------------------------------

long CRichEditUI::GetTextLength(DWORD flags) const
{
    GETTEXTLENGTHEX query = {flags, 1200};
    LRESULT length = 0;
    if (SendTextMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0, &length) != S_OK)
        return 0;
    return static_cast<long>(length);
}

CUIString CRichEditUI::GetText() const
{
    const long length = GetTextLength(GTL_DEFAULT);
    if (m_host == nullptr || length <= 0)
        return CUIString();
    std::vector<WCHAR> buffer(static_cast<size_t>(length) + 1, L'\0');
    GETTEXTEX request = {};
    request.cb = static_cast<DWORD>(buffer.size() * sizeof(WCHAR));
    request.flags = GT_DEFAULT;
    request.codepage = 1200;
    LRESULT ignored = 0;
    SendTextMessage(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request), reinterpret_cast<LPARAM>(buffer.data()),
                    &ignored);
    buffer.back() = L'\0';
    return CUIString(buffer.data());
}

void CRichEditUI::SetText(LPCWSTR text)
{
    if (text == nullptr)
        text = L"";
    const bool changed = !(m_text == text);
    m_text = text;
    if (m_host == nullptr)
        return;
    SetSel(0, -1);
    ReplaceSel(text, false);
    if (changed && m_manager != nullptr)
        m_manager->SendNotify(this, L"textchanged");
}

LRESULT CRichEditUI::SetSel(long start, long end)
{
    CHARRANGE range = {start, end};
    LRESULT result = 0;
    SendTextMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range), &result);
    return result;
}

void CRichEditUI::ReplaceSel(LPCWSTR text, bool canUndo)
{
    LRESULT ignored = 0;
    SendTextMessage(EM_REPLACESEL, canUndo ? TRUE : FALSE, reinterpret_cast<LPARAM>(text), &ignored);
}

void CRichEditUI::Copy()
{
    LRESULT ignored = 0;
    SendTextMessage(WM_COPY, 0, 0, &ignored);
}

void CRichEditUI::Paste()
{
    LRESULT ignored = 0;
    SendTextMessage(WM_PASTE, 0, 0, &ignored);
}

}  // namespace CalUI
