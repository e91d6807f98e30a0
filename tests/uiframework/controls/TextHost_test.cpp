// The text host's answers to the engine, read through ITextHost on hosts
// made for real rich edits of a real window; the notification records the
// control forwards; and the control without the engine, whose library this
// program then cannot load.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "LayoutTestControls.h"
#include "ManagedWindow.h"
#include "controls/RichEditUI.h"
#include "core/ScrollBarUI.h"
#include "controls/TextHost.h"
#include "builder/SkinBuilder.h"

using namespace CalUI;

namespace {

std::wstring Skin()
{
    return L"<Window><Font id=\"1\" name=\"Arial\" size=\"20\" bold=\"true\"/>"
           L"<Font id=\"2\" name=\"Arial\" size=\"16\" italic=\"true\" underline=\"true\"/>"
           L"<Container>"
           L"<RichEdit name=\"default\" float=\"true\" pos=\"0,0,100,30\"/>"
           L"<RichEdit name=\"single\" float=\"true\" pos=\"0,40,100,70\" multiline=\"false\" autohscroll=\"true\""
           L" font=\"1\" textcolor=\"#FF000000\" maxchar=\"0\" align=\"center\"/>"
           L"<RichEdit name=\"styled\" float=\"true\" pos=\"0,80,100,110\" font=\"2\" textcolor=\"#102030\""
           L" maxchar=\"10\" align=\"center right\" readonly=\"true\" password=\"true\" rich=\"false\"/>"
           L"<RichEdit name=\"right\" float=\"true\" pos=\"0,120,100,150\" align=\"right\" readonly=\"false\""
           L" maxchar=\"-3\" transparent=\"false\"/>"
           L"<RichEdit name=\"multi\" float=\"true\" pos=\"120,0,300,100\" vscrollbar=\"true\" hscrollbar=\"true\""
           L" textpadding=\"7,7\"/>"
           L"<RichEdit name=\"nocaret\" float=\"true\" pos=\"120,120,300,150\" showcaret=\"false\"/>"
           L"</Container></Window>";
}

class TextHost : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        window = new ManagedWindow;
        CSkinBuilder builder;
        CControlUI* root = builder.Create(Skin().c_str(), nullptr, nullptr, &window->manager);
        ASSERT_NE(root, nullptr);
        window->Attach(root);
    }
    static void TearDownTestSuite() { delete window; }

    static CRichEditUI* Field(LPCWSTR name)
    {
        CControlUI* control = window->manager.FindControl(name);
        return control != nullptr ? static_cast<CRichEditUI*>(control->GetInterface(L"RichEdit")) : nullptr;
    }
    static ITextHost* Host(LPCWSTR name)
    {
        CRichEditUI* field = Field(name);
        return field != nullptr ? field->GetTextHost() : nullptr;
    }

    static const CHARFORMAT2W& CharFormat(ITextHost* host)
    {
        const CHARFORMATW* format = nullptr;
        EXPECT_EQ(host->TxGetCharFormat(&format), S_OK);
        return *reinterpret_cast<const CHARFORMAT2W*>(format);
    }
    static const PARAFORMAT2& ParaFormat(ITextHost* host)
    {
        const PARAFORMAT* format = nullptr;
        EXPECT_EQ(host->TxGetParaFormat(&format), S_OK);
        return *reinterpret_cast<const PARAFORMAT2*>(format);
    }
    static DWORD PropertyBits(ITextHost* host)
    {
        DWORD bits = 0;
        EXPECT_EQ(host->TxGetPropertyBits(0xFFFFFFFF, &bits), S_OK);
        return bits;
    }
    static int TwipsOf(int fontId)
    {
        LOGFONTW font = {};
        GetObjectW(window->manager.GetFont(fontId), sizeof(font), &font);
        int dpi = GetDeviceCaps(window->manager.GetPaintDC(), LOGPIXELSY);
        return -font.lfHeight * 1440 / (dpi != 0 ? dpi : 96);
    }

    static ManagedWindow* window;
};

ManagedWindow* TextHost::window = nullptr;

TEST_F(TextHost, AnswersOnlyItsOwnInterfacesAndCountsReferences)
{
    ITextHost* host = Host(L"default");
    ASSERT_NE(host, nullptr);
    struct Case
    {
        const IID* iid;
        bool answered;
    };
    const Case cases[] = {
        {&IID_IUnknown, true}, {&IID_ITextHost, true}, {&IID_ITextServices, false}, {&IID_IDispatch, false}};
    for (const Case& c : cases) {
        void* object = reinterpret_cast<void*>(1);
        const HRESULT hr = host->QueryInterface(*c.iid, &object);
        EXPECT_EQ(hr, c.answered ? S_OK : E_NOINTERFACE);
        EXPECT_EQ(object, c.answered ? static_cast<void*>(host) : nullptr);
        if (c.answered) {
            EXPECT_EQ(host->Release(), 1u) << "the control keeps the only other reference";
        }
    }
}

TEST_F(TextHost, DefaultFormatsComeFromTheControlsFontColourAndStyle)
{
    struct Case
    {
        LPCWSTR field;
        int fontId;
        DWORD effects;  // of bold, italic, underline, strike-out
        COLORREF colour;
        WORD alignment;
        DWORD maxLength;
    };
    const Case cases[] = {
        {L"default", -1, 0, RGB(0, 0, 1), PFA_LEFT, 32767},
        {L"single", 1, CFE_BOLD, RGB(0, 0, 1), PFA_CENTER, 32767},
        {L"styled", 2, CFE_ITALIC | CFE_UNDERLINE, RGB(0x10, 0x20, 0x30), PFA_RIGHT, 10},
        {L"right", -1, 0, RGB(0, 0, 1), PFA_RIGHT, 32767},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.field)));
        ITextHost* host = Host(c.field);
        ASSERT_NE(host, nullptr);
        const CHARFORMAT2W& cf = CharFormat(host);
        EXPECT_EQ(cf.cbSize, 116u);
        EXPECT_EQ(cf.dwMask, 0xF800000Fu);
        EXPECT_EQ(cf.yHeight, TwipsOf(c.fontId));
        EXPECT_EQ(cf.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT), c.effects);
        EXPECT_EQ(cf.crTextColor, c.colour);
        const PARAFORMAT2& pf = ParaFormat(host);
        EXPECT_EQ(pf.cbSize, 188u);
        EXPECT_EQ(pf.dwMask, 0x8001003Fu);
        EXPECT_EQ(pf.wAlignment, c.alignment);
        EXPECT_EQ(pf.cTabCount, 1);
        EXPECT_EQ(pf.rgxTabs[0], 720);
        DWORD maxLength = 0;
        host->TxGetMaxLength(&maxLength);
        EXPECT_EQ(maxLength, c.maxLength);
    }
}

TEST_F(TextHost, LaterFontColourAndLengthReachTheAnswers)
{
    CRichEditUI* field = Field(L"default");
    CTxtWinHost* host = field->GetTextHost();
    struct WeightCase
    {
        int weight;
        bool bold;
    };
    for (const WeightCase& c : {WeightCase{699, false}, WeightCase{700, true}, WeightCase{400, false}}) {
        HFONT font = CreateFontW(-30, 0, 0, 0, c.weight, TRUE, FALSE, TRUE, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
        host->SetFont(font);
        const CHARFORMAT2W& cf = CharFormat(host);
        EXPECT_EQ((cf.dwEffects & CFE_BOLD) != 0, c.bold) << c.weight;
        EXPECT_NE(cf.dwEffects & CFE_STRIKEOUT, 0u);
        EXPECT_STREQ(cf.szFaceName, L"Arial");
        DeleteObject(font);
    }
    host->SetFont(nullptr);
    EXPECT_STREQ(CharFormat(host).szFaceName, L"Arial") << "a null font changes nothing";

    struct ColourCase
    {
        DWORD argb;
        COLORREF expected;
    };
    for (const ColourCase& c : {ColourCase{0xFF000000, RGB(0, 0, 1)}, ColourCase{0, RGB(0, 0, 1)},
                                ColourCase{0x80FF8040, RGB(0xFF, 0x80, 0x40)}}) {
        field->SetTextColor(c.argb);
        EXPECT_EQ(CharFormat(host).crTextColor, c.expected) << std::hex << c.argb;
    }
    for (int limit : {0, -1, 1, 500}) {
        field->SetLimitText(limit);
        DWORD maxLength = 0;
        host->TxGetMaxLength(&maxLength);
        EXPECT_EQ(maxLength, limit < 1 ? 32767u : static_cast<DWORD>(limit)) << limit;
    }
    field->SetLimitText(32767);
}

TEST_F(TextHost, PropertyBitsAndPasswordCharacterFollowTheStyle)
{
    struct Case
    {
        LPCWSTR field;
        DWORD bits;
        WCHAR password;
        TXTBACKSTYLE back;
    };
    constexpr DWORD rich = TXTBIT_RICHTEXT;
    constexpr DWORD hide = TXTBIT_HIDESELECTION;
    const Case cases[] = {
        {L"default", rich | TXTBIT_MULTILINE | hide | TXTBIT_WORDWRAP, 0, TXTBACK_TRANSPARENT},
        {L"single", rich | hide, 0, TXTBACK_TRANSPARENT},
        {L"styled", TXTBIT_MULTILINE | TXTBIT_READONLY | TXTBIT_USEPASSWORD | hide | TXTBIT_WORDWRAP, L'*',
         TXTBACK_TRANSPARENT},
        {L"right", rich | TXTBIT_MULTILINE | hide | TXTBIT_WORDWRAP, 0, TXTBACK_OPAQUE},
        {L"multi", rich | TXTBIT_MULTILINE | hide, 0, TXTBACK_TRANSPARENT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.field)));
        ITextHost* host = Host(c.field);
        ASSERT_NE(host, nullptr);
        EXPECT_EQ(PropertyBits(host), c.bits);
        DWORD masked = 0;
        host->TxGetPropertyBits(TXTBIT_MULTILINE, &masked);
        EXPECT_EQ(masked, c.bits & TXTBIT_MULTILINE);
        WCHAR ch = L'?';
        host->TxGetPasswordChar(&ch);
        EXPECT_EQ(ch, c.password);
        TXTBACKSTYLE back = TXTBACK_OPAQUE;
        host->TxGetBackStyle(&back);
        EXPECT_EQ(back, c.back);
    }

    // A password switched on and off later is answered at once.
    CRichEditUI* field = Field(L"right");
    for (bool on : {true, false}) {
        field->SetPassword(on);
        WCHAR ch = L'?';
        field->GetTextHost()->TxGetPasswordChar(&ch);
        EXPECT_EQ(ch, on ? L'*' : L'\0');
        EXPECT_EQ((PropertyBits(field->GetTextHost()) & TXTBIT_USEPASSWORD) != 0, on);
    }
}

TEST_F(TextHost, ScrollBarsFollowTheEnginesRangeBeyondTheClientRectangle)
{
    CRichEditUI* field = Field(L"multi");
    CTxtWinHost* host = field->GetTextHost();
    CScrollBarUI* vertical = field->GetVerticalScrollBar();
    CScrollBarUI* horizontal = field->GetHorizontalScrollBar();
    ASSERT_NE(vertical, nullptr);
    ASSERT_NE(horizontal, nullptr);
    DWORD bars = 0;
    host->TxGetScrollBars(&bars);
    EXPECT_EQ(bars, static_cast<DWORD>(WS_VSCROLL | WS_HSCROLL | ES_DISABLENOSCROLL));

    const RECT client = host->GetClientRect();
    EXPECT_EQ(client.left, field->GetPos().left + 7) << "\"textpadding\" \"7,7\" is left 7, top 7";
    EXPECT_EQ(client.top, field->GetPos().top + 7);
    const int height = client.bottom - client.top;
    const int width = client.right - client.left;
    struct Case
    {
        int bar;
        int length;
        bool visible;
        int range;  // when visible
    };
    const Case cases[] = {
        {SB_VERT, height, false, 0}, {SB_VERT, height + 1, true, 1}, {SB_VERT, height + 40, true, 40},
        {SB_HORZ, width, false, 0},  {SB_HORZ, width + 5, true, 5},  {SB_VERT, 0, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "bar " << c.bar << " length " << c.length);
        CScrollBarUI* bar = c.bar == SB_VERT ? vertical : horizontal;
        host->TxSetScrollRange(c.bar, 10, 10 + c.length, TRUE);
        EXPECT_EQ(bar->IsVisible(), c.visible);
        if (c.visible) {
            EXPECT_EQ(bar->GetScrollRange(), c.range);
        }
    }
    host->TxSetScrollRange(SB_VERT, 0, height + 30, TRUE);
    host->TxSetScrollPos(SB_VERT, 12, TRUE);
    EXPECT_EQ(vertical->GetScrollPos(), 12);
    host->TxShowScrollBar(SB_VERT, 2);
    EXPECT_FALSE(vertical->IsVisible()) << "only exactly 1 shows a bar";
    host->TxShowScrollBar(SB_BOTH, 1);
    EXPECT_TRUE(vertical->IsVisible());
    EXPECT_TRUE(horizontal->IsVisible());
    host->TxEnableScrollBar(SB_BOTH, ESB_DISABLE_BOTH);
    EXPECT_FALSE(vertical->IsVisible());
    EXPECT_FALSE(horizontal->IsVisible());
}

TEST_F(TextHost, CaretRequestedResizeAndCursor)
{
    EXPECT_FALSE(Host(L"nocaret")->TxCreateCaret(nullptr, 2, 20)) << "\"showcaret\" \"false\"";
    EXPECT_EQ(Field(L"nocaret")->GetTextHost()->GetCaretWidth(), 0);

    CTxtWinHost* host = Field(L"default")->GetTextHost();
    const RECT before = host->GetClientRect();
    REQRESIZE request = {};
    request.rc = RECT{3, 4, 50, 20};
    EXPECT_EQ(host->TxNotify(EN_REQUESTRESIZE, &request), S_OK);
    const RECT after = host->GetClientRect();
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right, before.left + 50);
    EXPECT_EQ(after.bottom, before.top + 20);
    SIZEL extent = {};
    host->TxGetExtent(&extent);
    EXPECT_EQ(extent.cx, MulDiv(50, 2540, GetDeviceCaps(window->manager.GetPaintDC(), LOGPIXELSX)));
    window->notifications.clear();
    EXPECT_TRUE(window->notifications.empty()) << "the owner hears nothing of a requested resize";

    EXPECT_FALSE(host->DoSetCursor(nullptr, POINT{after.right + 5, after.top}));
    EXPECT_TRUE(host->DoSetCursor(nullptr, POINT{after.left + 1, after.top + 1}));
    RECT view = {};
    host->TxGetViewInset(&view);
    EXPECT_TRUE(IsRectEmpty(&view));
    LONG pos = 0;
    host->TxGetAcceleratorPos(&pos);
    EXPECT_EQ(pos, -1);
}

// ---- Attributes ------------------------------------------------------------------------------

// Attributes on a control of no window, read back through the control.
TEST(RichEditAttributes, EachValueSetsExactlyItsSetting)
{
    struct Case
    {
        LPCWSTR name;
        LPCWSTR value;
        DWORD style;  // the style word after it, from the default ES_MULTILINE
        RECT padding;
        DWORD textColor;
        DWORD tipColor;
        int limit;
    };
    constexpr DWORD multi = ES_MULTILINE;
    constexpr RECT none = {0, 0, 0, 0};
    constexpr DWORD tip = 0xFF8E8E8E;
    const Case cases[] = {
        {L"textpadding", L"7,7", multi, {7, 7, 0, 0}, 0, tip, 32767},
        {L"textpadding", L"7", multi, {7, 0, 0, 0}, 0, tip, 32767},
        {L"textpadding", L"1,2,3,4", multi, {1, 2, 3, 4}, 0, tip, 32767},
        {L"multiline", L"false", 0, none, 0, tip, 32767},
        {L"multiline", L"yes", multi, none, 0, tip, 32767},
        {L"readonly", L"false", multi, none, 0, tip, 32767},
        {L"readonly", L"true", multi | ES_READONLY, none, 0, tip, 32767},
        {L"password", L"true", multi | ES_PASSWORD, none, 0, tip, 32767},
        {L"align", L"center", multi | ES_CENTER, none, 0, tip, 32767},
        {L"align", L"right", multi | ES_RIGHT, none, 0, tip, 32767},
        {L"align", L"center right", multi | ES_RIGHT, none, 0, tip, 32767},
        {L"align", L"left", multi, none, 0, tip, 32767},
        {L"vscrollbar", L"true", multi | WS_VSCROLL | ES_DISABLENOSCROLL, none, 0, tip, 32767},
        {L"autohscroll", L"true", multi | ES_AUTOHSCROLL, none, 0, tip, 32767},
        {L"textcolor", L"#102030", multi, none, 0xFF102030, tip, 32767},
        {L"textcolor", L"#80102030", multi, none, 0x80102030, tip, 32767},
        {L"tipcolor", L" #FF8A8A8A", multi, none, 0, 0xFF8A8A8A, 32767},
        {L"tipcolor", L"ffffff", multi, none, 0, 0xFFFFFFFF, 32767},
        {L"maxchar", L"10", multi, none, 0, tip, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name) + L"=" + c.value));
        CRichEditUI field;
        field.SetAttribute(c.name, c.value);
        EXPECT_EQ(field.GetWinStyle(), c.style);
        const RECT padding = field.GetTextPadding();
        EXPECT_TRUE(EqualRect(&padding, &c.padding));
        EXPECT_EQ(field.GetTextColor(), c.textColor);
        EXPECT_EQ(field.GetTipValueColor(), c.tipColor);
        EXPECT_EQ(field.GetLimitText(), c.limit);
    }
    CRichEditUI field;
    for (const auto& [name, want] :
         {std::pair{L"wanttab", &CRichEditUI::IsWantTab}, std::pair{L"wantreturn", &CRichEditUI::IsWantReturn},
          std::pair{L"wantctrlreturn", &CRichEditUI::IsWantCtrlReturn},
          std::pair{L"transparent", &CRichEditUI::IsTransparent}, std::pair{L"rich", &CRichEditUI::IsRich},
          std::pair{L"showcaret", &CRichEditUI::IsShowCaret}}) {
        EXPECT_TRUE((field.*want)()) << testing::PrintToString(std::wstring(name)) << " is on by default";
        field.SetAttribute(name, L"TRUE");
        EXPECT_FALSE((field.*want)()) << "only \"true\" is true";
        field.SetAttribute(name, L"true");
        EXPECT_TRUE((field.*want)());
    }
}

// ---- Notification records ----------------------------------------------------------------

// A record of exactly `size` bytes that ends where an inaccessible page
// begins, so any read past its end faults.
class GuardedRecord
{
public:
    explicit GuardedRecord(size_t size)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        m_page = info.dwPageSize;
        m_base = static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * m_page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(m_base + m_page, m_page, PAGE_NOACCESS, &old);
        m_record = m_base + m_page - size;
        ZeroMemory(m_record, size);
    }
    ~GuardedRecord() { VirtualFree(m_base, 0, MEM_RELEASE); }
    GuardedRecord(const GuardedRecord&) = delete;
    GuardedRecord& operator=(const GuardedRecord&) = delete;

    void* get() const { return m_record; }

private:
    BYTE* m_base = nullptr;
    BYTE* m_record = nullptr;
    size_t m_page = 0;
};

TEST_F(TextHost, EveryForwardedRecordIsReadWithinItsSize)
{
    CRichEditUI* field = Field(L"default");
    std::vector<UINT> forwarded;
    window->onUnhandled = [&](UINT message, WPARAM, LPARAM lParam) {
        if (message == WM_NOTIFY + 0x2000)
            forwarded.push_back(reinterpret_cast<NMHDR*>(lParam)->code);
    };
    struct Case
    {
        UINT code;
        size_t size;
        bool forwarded;
    };
    const Case cases[] = {
        {EN_MSGFILTER, sizeof(MSGFILTER), true},
        {EN_SELCHANGE, sizeof(SELCHANGE), true},
        {EN_DROPFILES, sizeof(ENDROPFILES), true},
        {EN_PROTECTED, sizeof(ENPROTECTED), true},
        {EN_STOPNOUNDO, sizeof(NMHDR), true},
        {EN_SAVECLIPBOARD, sizeof(ENSAVECLIPBOARD), true},
        {EN_OLEOPFAILED, sizeof(ENOLEOPFAILED), true},
        {EN_LINK, sizeof(ENLINK), true},
        {EN_OBJECTPOSITIONS, sizeof(OBJECTPOSITIONS), true},
        {EN_DRAGDROPDONE, sizeof(NMHDR), true},
        {EN_ALIGNLTR, sizeof(NMHDR), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << "code 0x" << c.code);
        GuardedRecord record(c.size);
        forwarded.clear();
        window->notifications.clear();
        field->OnTextServicesNotify(c.code, record.get());
        EXPECT_EQ(forwarded, c.forwarded ? std::vector<UINT>{c.code} : std::vector<UINT>{});
        const auto* header = static_cast<const NMHDR*>(record.get());
        if (c.forwarded) {
            EXPECT_EQ(header->hwndFrom, window->GetWindowHandle());
            EXPECT_EQ(header->idFrom, static_cast<UINT_PTR>(GetWindowLongPtrW(window->GetWindowHandle(), GWLP_ID)));
        }
        EXPECT_TRUE(NotificationsOfType(*window, L"link").empty());
    }
    window->onUnhandled = nullptr;
}

TEST_F(TextHost, OnlyALeftPressInARecordWithAMessageGivesLink)
{
    CRichEditUI* field = Field(L"default");
    struct Case
    {
        UINT code;
        bool link;
    };
    const Case cases[] = {{EN_LINK, true}, {EN_MSGFILTER, true}, {EN_PROTECTED, true}, {EN_SELCHANGE, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << "code 0x" << c.code);
        window->notifications.clear();
        ENLINK link = {};
        SELCHANGE selection = {};
        selection.chrg.cpMin = WM_LBUTTONDOWN;  // a selection from 513 is no click
        link.msg = WM_LBUTTONDOWN;
        void* record = c.code == EN_SELCHANGE ? static_cast<void*>(&selection) : static_cast<void*>(&link);
        field->OnTextServicesNotify(c.code, record);
        const std::vector<ReceivedNotify> links = NotificationsOfType(*window, L"link");
        ASSERT_EQ(links.size(), c.link ? 1u : 0u);
        if (c.link) {
            EXPECT_EQ(links[0].lParam, reinterpret_cast<LPARAM>(record));
        }
    }
}

// ---- Without the engine ----------------------------------------------------------------------

// While it lives, this program's own import of LoadLibraryW finds no text
// engine, as on a system without its library: the framework, linked into the
// program, loads the engine through that import.
class EngineSwitchedOff
{
public:
    EngineSwitchedOff() : m_slot(ImportSlot("LoadLibraryW"))
    {
        if (m_slot == nullptr)
            return;
        s_load = reinterpret_cast<LoadProc>(*m_slot);
        Write(reinterpret_cast<ULONG_PTR>(&LoadWithoutEngine));
    }
    ~EngineSwitchedOff()
    {
        if (m_slot != nullptr)
            Write(reinterpret_cast<ULONG_PTR>(s_load));
    }
    EngineSwitchedOff(const EngineSwitchedOff&) = delete;
    EngineSwitchedOff& operator=(const EngineSwitchedOff&) = delete;

    bool Active() const { return m_slot != nullptr; }

private:
    using LoadProc = HMODULE(WINAPI*)(LPCWSTR);

    static HMODULE WINAPI LoadWithoutEngine(LPCWSTR name)
    {
        if (name != nullptr && _wcsicmp(name, L"msftedit.dll") == 0) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        return s_load(name);
    }

    // The program's import address slot of a kernel32 function, found by name.
    static ULONG_PTR* ImportSlot(const char* function)
    {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
        for (; descriptor->Name != 0; ++descriptor) {
            if (_stricmp(reinterpret_cast<const char*>(base + descriptor->Name), "kernel32.dll") != 0 ||
                descriptor->OriginalFirstThunk == 0)
                continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
            for (; names->u1.AddressOfData != 0; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                    continue;
                const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                    return reinterpret_cast<ULONG_PTR*>(&slots->u1.Function);
            }
        }
        return nullptr;
    }

    void Write(ULONG_PTR value)
    {
        DWORD old = 0;
        VirtualProtect(m_slot, sizeof(*m_slot), PAGE_READWRITE, &old);
        *m_slot = value;
        VirtualProtect(m_slot, sizeof(*m_slot), old, &old);
    }

    ULONG_PTR* m_slot;
    static LoadProc s_load;
};

EngineSwitchedOff::LoadProc EngineSwitchedOff::s_load = nullptr;

TEST(TextHostWithoutEngine, FieldsAreEmptyBoxesAndNothingFails)
{
    EngineSwitchedOff switchedOff;
    ASSERT_TRUE(switchedOff.Active()) << "the program imports LoadLibraryW from kernel32";
    ASSERT_EQ(LoadLibraryW(L"msftedit.dll"), nullptr) << "the engine must be switched off here";

    ManagedWindow window;
    CSkinBuilder builder;
    CControlUI* root = builder.Create(
        L"<Window><Container><RichEdit name=\"field\" text=\"start\" tipvalue=\"tip\"/></Container></Window>", nullptr,
        nullptr, &window.manager);
    ASSERT_NE(root, nullptr);
    window.manager.SetLayered(true);
    window.Attach(root);
    window.PumpUntil([&] { return window.manager.GetOffscreenPixels() != nullptr; });
    auto* field = static_cast<CRichEditUI*>(window.manager.FindControl(L"field")->GetInterface(L"RichEdit"));
    EXPECT_EQ(field->GetTextHost(), nullptr);

    CTxtWinHost* host = reinterpret_cast<CTxtWinHost*>(1);
    CREATESTRUCTW create = {};
    EXPECT_FALSE(CTxtWinHost::CreateHost(field, &create, &host));
    EXPECT_EQ(host, reinterpret_cast<CTxtWinHost*>(1)) << "the out pointer stays untouched";

    EXPECT_STREQ(field->GetText(), L"");
    EXPECT_EQ(field->GetTextLength(), 0);
    window.notifications.clear();
    field->SetText(L"other");
    EXPECT_STREQ(field->GetText(), L"");
    EXPECT_TRUE(NotificationsOfType(window, L"textchanged").empty());
    LRESULT result = 77;
    EXPECT_EQ(field->SendTextMessage(WM_CHAR, L'a', 0, &result), S_FALSE);
    EXPECT_EQ(result, 77);
    EXPECT_FALSE(window.manager.KillTimer(field, CRichEditUI::kCaretTimer)) << "no caret timer";
    EXPECT_FALSE(window.manager.RemoveMessageFilter(field)) << "no filter";

    window.manager.SetFocus(field);
    PostMessageW(window.GetWindowHandle(), WM_CHAR, L'a', 1);
    PostMessageW(window.GetWindowHandle(), WM_KEYDOWN, VK_RETURN, 1);
    window.Pump();
    EXPECT_STREQ(field->GetText(), L"");
    EXPECT_TRUE(NotificationsOfType(window, L"return").empty());
    window.Send(WM_TIMER, 0x2000, 0);  // paints
}

}  // namespace
