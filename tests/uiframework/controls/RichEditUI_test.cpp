// The rich edit in a real layered window over the platform's text engine,
// driven by posted mouse and key messages; its looks read from the window's
// off-screen pixels. One window serves the program: each test starts with
// the mouse parked over the empty corner and nothing focused.

#include <gtest/gtest.h>

#include <windows.h>

#include <imm.h>

#include <string>
#include <vector>

#include "ClickableTestWindow.h"
#include "LayoutTestControls.h"
#include "ThreadTimerAction.h"
#include "core/ScrollBarUI.h"
#include "controls/RichEditUI.h"
#include "core/WindowManagerUI.h"

using namespace CalUI;

namespace {

constexpr POINT kParking = {395, 295};  // over the container only
constexpr POINT kScreenPlace = {640, 380};
constexpr DWORD kTextRgb = 0xFFFFFF;
constexpr DWORD kFocusRgb = 0x00A040;
constexpr DWORD kDisabledRgb = 0x404040;

// A single-line field as every dialog has it.
std::wstring DialogField(LPCWSTR name, LPCWSTR pos, LPCWSTR extra = L"")
{
    return std::wstring(L"<RichEdit name=\"") + name + L"\" float=\"true\" pos=\"" + pos +
           L"\" multiline=\"false\" autohscroll=\"true\" wanttab=\"false\" wantreturn=\"false\""
           L" wantctrlreturn=\"false\" textcolor=\"#FFFFFFFF\" textpadding=\"4,6,4,0\" " +
           extra + L"/>";
}

std::wstring Skin()
{
    return DialogField(L"plain", L"10,10,190,40", L"tipvalue=\"MMMMMM\" tipcolor=\"#FFFF0000\"") +
           DialogField(L"second", L"10,50,190,80") + DialogField(L"pass1", L"10,90,190,120", L"password=\"true\"") +
           DialogField(L"pass2", L"10,130,190,160", L"password=\"true\"") + DialogField(L"clear1", L"10,170,190,200") +
           DialogField(L"clear2", L"10,210,190,240") +
           DialogField(L"framed", L"10,250,190,280",
                       L"focusedimage=\"color='#FF00A040'\" disabledimage=\"color='#FF404040'\"") +
           L"<RichEdit name=\"multi\" float=\"true\" pos=\"200,10,390,70\" textcolor=\"#FFFFFFFF\""
           L" wantctrlreturn=\"false\" vscrollbar=\"true\" autovscroll=\"true\"/>"
           L"<RichEdit name=\"ctrlreturn\" float=\"true\" pos=\"200,80,390,110\" textcolor=\"#FFFFFFFF\"/>"
           L"<RichEdit name=\"tabber\" float=\"true\" pos=\"200,120,390,150\" multiline=\"false\" wanttab=\"true\""
           L" textcolor=\"#FFFFFFFF\"/>" +
           DialogField(L"menu", L"200,160,390,190", L"menu=\"true\"") + DialogField(L"covered", L"200,200,390,230") +
           L"<Control name=\"cover\" float=\"true\" pos=\"200,200,260,230\" bkcolor=\"#FF203040\"/>" +
           DialogField(L"hidden", L"200,240,390,270", L"visible=\"false\"");
}

class RichEdit : public testing::Test
{
protected:
    static void SetUpTestSuite() { ui = new ClickableTestWindow(kScreenPlace, Skin()); }
    static void TearDownTestSuite() { delete ui; }

    void SetUp() override
    {
        SetKeyState(VK_CONTROL, false);
        SetKeyState(VK_SHIFT, false);
        ui->MoveTo(kParking.x, kParking.y);
        ui->window.manager.SetFocus(nullptr);
        ui->Repaint();
        ui->TakeNotifications();
    }

    static CRichEditUI* Field(LPCWSTR name) { return ui->Find<CRichEditUI>(name, L"RichEdit"); }

    // A posted click in the middle of the field.
    static void ClickInto(CRichEditUI* field)
    {
        const RECT& rc = field->GetPos();
        ui->Click((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }

    static void Type(const std::wstring& text, UINT message = WM_CHAR)
    {
        for (wchar_t ch : text)
            ui->Post(message, ch, 1);
    }

    static void SetKeyState(int key, bool down)
    {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[key] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }

    // Pixels of the field's rectangle that have exactly this colour.
    static int CountIn(CRichEditUI* field, DWORD rgb)
    {
        ui->Repaint();
        return ui->CountPixels(field->GetPos(), [rgb](DWORD pixel) { return pixel == rgb; });
    }

    // Pixels of the tip's red, smoothed edges included, in the field.
    static int TipPixelsIn(CRichEditUI* field)
    {
        ui->Repaint();
        return ui->CountPixels(field->GetPos(), [](DWORD pixel) {
            return (pixel >> 16) > 0x80 && (pixel >> 8 & 0xFF) < 0x30 && (pixel & 0xFF) < 0x30;
        });
    }

    static std::vector<DWORD> PixelsOf(CRichEditUI* field)
    {
        ui->Repaint();
        const RECT& rc = field->GetPos();
        std::vector<DWORD> pixels;
        for (int y = rc.top; y < rc.bottom; ++y) {
            for (int x = rc.left; x < rc.right; ++x)
                pixels.push_back(ui->Rgb(x, y));
        }
        return pixels;
    }

    static ClickableTestWindow* ui;
};

ClickableTestWindow* RichEdit::ui = nullptr;

using Notes = std::vector<std::wstring>;

// ---- Typing ----------------------------------------------------------------------------

TEST_F(RichEdit, TypedLatinAndChineseGiveExactlyTheTextWithOneChangeEach)
{
    CRichEditUI* field = Field(L"second");
    ClickInto(field);
    ASSERT_EQ(ui->window.manager.GetFocus(), field) << "a posted click focuses the field";
    Type(L"ab中");
    Type(L"文", WM_IME_CHAR);
    EXPECT_STREQ(field->GetText(), L"ab中文");
    EXPECT_EQ(ui->TakeNotifications(), (Notes(4, L"textchanged second")));
    field->SetText(L"");
    ui->TakeNotifications();
}

TEST_F(RichEdit, OnlyTheFocusedVisibleEnabledFieldTakesKeys)
{
    CRichEditUI* plain = Field(L"plain");
    CRichEditUI* hidden = Field(L"hidden");
    Type(L"x");
    EXPECT_STREQ(plain->GetText(), L"") << "nothing focused";

    ClickInto(plain);
    plain->SetEnabled(false);
    Type(L"x");
    plain->SetEnabled(true);
    EXPECT_STREQ(plain->GetText(), L"") << "disabled";

    ui->window.manager.SetFocus(hidden);
    Type(L"x");
    EXPECT_STREQ(hidden->GetText(), L"") << "hidden";
    EXPECT_EQ(ui->TakeNotifications(), Notes{});
}

TEST_F(RichEdit, SetTextNotifiesOnlyAChange)
{
    CRichEditUI* field = Field(L"clear1");
    field->SetText(L"same");
    ui->TakeNotifications();
    field->SetText(L"same");
    EXPECT_EQ(ui->TakeNotifications(), Notes{});
    field->SetText(L"other");
    EXPECT_EQ(ui->TakeNotifications(), Notes{L"textchanged clear1"});
    EXPECT_STREQ(field->GetText(), L"other");
    field->SetText(L"");
    ui->TakeNotifications();
}

// ---- Enter and Tab ---------------------------------------------------------------------

TEST_F(RichEdit, EnterAndTabFollowTheFieldsWants)
{
    struct Case
    {
        LPCWSTR field;
        WPARAM key;
        bool ctrl;
        bool shift;
        LPCWSTR textAfter;   // after typing "a" and the key
        Notes notes;         // after the key
        LPCWSTR focusAfter;  // name of the focused control
    };
    const Case cases[] = {
        {L"plain", VK_RETURN, false, false, L"a", {L"return plain"}, L"plain"},
        {L"multi", VK_RETURN, false, false, L"a\r", {L"textchanged multi"}, L"multi"},
        {L"multi", VK_RETURN, true, false, L"a", {L"return multi"}, L"multi"},
        {L"ctrlreturn", VK_RETURN, true, false, L"a\r", {L"textchanged ctrlreturn"}, L"ctrlreturn"},
        {L"plain", VK_TAB, false, false, L"a", {}, L"second"},
        {L"second", VK_TAB, false, true, L"a", {}, L"plain"},
        {L"tabber", VK_TAB, false, false, L"a\t", {L"textchanged tabber"}, L"tabber"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.field) + L" key " + std::to_wstring(c.key) +
                                            (c.ctrl ? L" ctrl" : L"") + (c.shift ? L" shift" : L"")));
        CRichEditUI* field = Field(c.field);
        ClickInto(field);
        Type(L"a");
        ui->TakeNotifications();
        SetKeyState(VK_CONTROL, c.ctrl);
        SetKeyState(VK_SHIFT, c.shift);
        ui->Key(c.key);
        SetKeyState(VK_CONTROL, false);
        SetKeyState(VK_SHIFT, false);
        EXPECT_STREQ(field->GetText(), c.textAfter);
        EXPECT_EQ(ui->TakeNotifications(), c.notes);
        CControlUI* focus = ui->window.manager.GetFocus();
        EXPECT_STREQ(focus != nullptr ? focus->GetName().GetData() : L"", c.focusAfter);
        field->SetText(L"");
        ui->TakeNotifications();
    }
}

// ---- Tip, password and state images ------------------------------------------------------

TEST_F(RichEdit, TipShowsOnlyWhileTheFieldIsEmpty)
{
    CRichEditUI* field = Field(L"plain");
    EXPECT_GT(TipPixelsIn(field), 20) << "the empty field shows its tip in \"tipcolor\"";
    ClickInto(field);
    Type(L"a");
    EXPECT_EQ(TipPixelsIn(field), 0) << "gone at the first character";
    ui->Key(VK_BACK);
    EXPECT_STREQ(field->GetText(), L"");
    EXPECT_GT(TipPixelsIn(field), 20) << "back after Backspace to empty";
    ui->TakeNotifications();
}

TEST_F(RichEdit, PasswordFieldsPaintTheSameMaskForAnyTextOfOneLength)
{
    const LPCWSTR texts[] = {L"abcd1234", L"WXYZ9876"};
    Field(L"pass1")->SetText(texts[0]);
    Field(L"pass2")->SetText(texts[1]);
    Field(L"clear1")->SetText(texts[0]);
    Field(L"clear2")->SetText(texts[1]);
    ui->Repaint();
    EXPECT_GT(ui->CountPixels(Field(L"pass1")->GetPos(), [](DWORD rgb) { return (rgb & 0xFF) > 0x80; }), 20)
        << "the mask is drawn";
    EXPECT_EQ(PixelsOf(Field(L"pass1")), PixelsOf(Field(L"pass2")));
    EXPECT_NE(PixelsOf(Field(L"clear1")), PixelsOf(Field(L"clear2"))) << "plain fields show their texts";
    EXPECT_STREQ(Field(L"pass1")->GetText(), texts[0]);

    // Switched on later, the mask replaces the text at once.
    Field(L"clear1")->SetPassword(true);
    Field(L"clear2")->SetPassword(true);
    EXPECT_EQ(PixelsOf(Field(L"clear1")), PixelsOf(Field(L"clear2")));
    EXPECT_EQ(PixelsOf(Field(L"clear1")), PixelsOf(Field(L"pass1")));
    Field(L"clear1")->SetPassword(false);
    Field(L"clear2")->SetPassword(false);
    for (LPCWSTR name : {L"pass1", L"pass2", L"clear1", L"clear2"})
        Field(name)->SetText(L"");
    ui->TakeNotifications();
}

TEST_F(RichEdit, FocusedAndDisabledImagesFollowTheState)
{
    CRichEditUI* field = Field(L"framed");
    const int area = (field->GetWidth() * field->GetHeight());
    EXPECT_EQ(CountIn(field, kFocusRgb), 0);
    ClickInto(field);
    EXPECT_GE(CountIn(field, kFocusRgb), area - field->GetHeight()) << "focused (the caret's column aside)";
    ui->window.manager.SetFocus(nullptr);
    EXPECT_EQ(CountIn(field, kFocusRgb), 0);
    field->SetEnabled(false);
    EXPECT_EQ(CountIn(field, kDisabledRgb), area) << "disabled";
    field->SetEnabled(true);
    EXPECT_EQ(CountIn(field, kDisabledRgb), 0);
}

// ---- Mouse, menu and scrolling -------------------------------------------------------------

TEST_F(RichEdit, AClickReachesTheFieldOnlyWhereNothingLiesOnTop)
{
    CRichEditUI* field = Field(L"covered");
    ui->Click(230, 215);  // on the control laid over the field
    EXPECT_NE(ui->window.manager.GetFocus(), field);
    ui->Click(330, 215);
    EXPECT_EQ(ui->window.manager.GetFocus(), field);
}

TEST_F(RichEdit, MenuOffersCopyAndPasteAndIsDestroyedAfterwards)
{
    ASSERT_TRUE(OpenClipboard(ui->window.GetWindowHandle()));
    EmptyClipboard();
    const std::wstring pasted = L"粘贴中文";
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (pasted.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(memory), pasted.c_str(), (pasted.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();

    CRichEditUI* field = Field(L"menu");
    ClickInto(field);
    ui->TakeNotifications();
    HMENU shown = nullptr;
    std::vector<std::wstring> items;
    RunFromTheLoopIn(300, [&] {
        HWND popup = FindWindowW(L"#32768", nullptr);
        if (popup == nullptr)
            return;
        shown = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(shown); ++i) {
            wchar_t text[64] = {};
            GetMenuStringW(shown, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
            items.push_back(text);
        }
        PostMessageW(popup, WM_KEYDOWN, 'P', 1);
    });
    const POINT screen = ui->ToScreen(300, 175);
    SetCursorPos(screen.x, screen.y);
    ui->Post(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(ui->window.GetWindowHandle()), MAKELPARAM(screen.x, screen.y));
    ASSERT_NE(shown, nullptr) << "the popup opened";
    EXPECT_EQ(items, (std::vector<std::wstring>{L"复制(&C)", L"粘贴(&P)"}));
    EXPECT_FALSE(IsMenu(shown)) << "destroyed once it returned";
    EXPECT_STREQ(field->GetText(), pasted.c_str());
    EXPECT_EQ(ui->TakeNotifications(), Notes{L"textchanged menu"});
    field->SetText(L"");

    // Without "menu" no popup opens.
    bool popupSeen = false;
    RunFromTheLoopIn(300, [&] {
        HWND popup = FindWindowW(L"#32768", nullptr);
        popupSeen = popup != nullptr && IsWindowVisible(popup);
        if (popupSeen)
            PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 1);
    });
    ClickInto(Field(L"covered"));
    const POINT other = ui->ToScreen(330, 215);
    ui->Post(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(ui->window.GetWindowHandle()), MAKELPARAM(other.x, other.y));
    ui->window.PumpUntil([] { return false; }, 600);
    EXPECT_FALSE(popupSeen);
    ui->TakeNotifications();
}

TEST_F(RichEdit, MultiLineBarComesWithTheLinesScrollsAndGoes)
{
    CRichEditUI* field = Field(L"multi");
    CScrollBarUI* bar = field->GetVerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    std::wstring lines;
    for (int i = 0; i < 20; ++i)
        lines += L"line " + std::to_wstring(i) + L"\r";
    field->SetText(lines.c_str());
    ui->Repaint();
    ASSERT_TRUE(bar->IsVisible()) << "the lines pass the field's height";
    EXPECT_GT(bar->GetScrollRange(), 0);
    EXPECT_EQ(bar->GetScrollPos(), bar->GetScrollRange()) << "the new text's end is in view";
    field->ScrollToTop();
    EXPECT_EQ(bar->GetScrollPos(), 0);

    // The wheel without Ctrl: one line through the container.
    const RECT& rc = field->GetPos();
    const POINT over = ui->ToScreen((rc.left + rc.right) / 2 - 10, (rc.top + rc.bottom) / 2);
    SetCursorPos(over.x, over.y);
    ui->Post(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(over.x, over.y));
    const int afterWheel = bar->GetScrollPos();
    EXPECT_GT(afterWheel, 0) << "the wheel scrolled";

    // A click on the bar's lower arrow scrolls on.
    const RECT& barPos = bar->GetPos();
    ui->Click((barPos.left + barPos.right) / 2, barPos.bottom - 3);
    EXPECT_GT(bar->GetScrollPos(), afterWheel) << "the bar's arrow scrolled";

    // Keys: Ctrl+End goes to the last line, Ctrl+Home back to the first.
    ClickInto(field);
    SetKeyState(VK_CONTROL, true);
    ui->Key(VK_END);
    const int atEnd = bar->GetScrollPos();
    ui->Key(VK_HOME);
    SetKeyState(VK_CONTROL, false);
    EXPECT_EQ(atEnd, bar->GetScrollRange());
    EXPECT_EQ(bar->GetScrollPos(), 0);

    field->SetText(L"one line");
    ui->Repaint();
    EXPECT_FALSE(bar->IsVisible()) << "the lines went";
    field->SetText(L"");
    ui->TakeNotifications();
}

// ---- Caret and input method ----------------------------------------------------------------

TEST_F(RichEdit, CaretBlinksInTheTextColourRepaintingOnlyItself)
{
    CRichEditUI* field = Field(L"second");
    static PaintRecorder recorder;  // the sibling keeps calling it for the program's life
    static bool watching = false;
    if (!watching)
        recorder.Watch(Field(L"pass1"));
    watching = true;
    ClickInto(field);
    ui->Repaint();
    POINT caret = {};
    GetCaretPos(&caret);
    ASSERT_TRUE(PtInRect(&field->GetPos(), caret));
    const RECT column = {caret.x, caret.y + 2, caret.x + 1, caret.y + 10};
    auto caretShown = [&] {
        ui->Repaint();
        return ui->CountPixels(column, [](DWORD rgb) { return rgb == kTextRgb; }) == 8;
    };
    bool seenOn = false;
    bool seenOff = false;
    recorder.painted.clear();
    ui->window.PumpUntil(
        [&] {
            (caretShown() ? seenOn : seenOff) = true;
            return seenOn && seenOff;
        },
        10000);
    EXPECT_TRUE(seenOn && seenOff) << "the caret blinks";
    EXPECT_TRUE(recorder.painted.empty()) << "a blink repaints nothing else";

    ui->window.manager.SetFocus(nullptr);
    bool shownAfterFocusLoss = false;
    ui->window.PumpUntil(
        [&] {
            shownAfterFocusLoss = shownAfterFocusLoss || caretShown();
            return false;
        },
        3 * GetCaretBlinkTime());
    EXPECT_FALSE(shownAfterFocusLoss) << "the caret goes with the focus";
}

TEST_F(RichEdit, CompositionWindowGoesToTheCaretOnlyWhileFocused)
{
    HWND window = ui->window.GetWindowHandle();
    HIMC context = ImmGetContext(window);
    ASSERT_NE(context, nullptr);
    COMPOSITIONFORM parked = {CFS_POINT, {1, 1}, {0, 0, 0, 0}};
    ImmSetCompositionWindow(context, &parked);

    CRichEditUI* field = Field(L"second");
    ui->Post(WM_IME_STARTCOMPOSITION, 0, 0);
    COMPOSITIONFORM form = {};
    ImmGetCompositionWindow(context, &form);
    EXPECT_EQ(form.ptCurrentPos.x, 1) << "nothing focused: not placed";

    ClickInto(field);
    Type(L"ab");
    ui->Post(WM_IME_STARTCOMPOSITION, 0, 0);
    POINT caret = {};
    GetCaretPos(&caret);
    ImmGetCompositionWindow(context, &form);
    EXPECT_EQ(form.dwStyle, static_cast<DWORD>(CFS_FORCE_POSITION));
    EXPECT_EQ(form.ptCurrentPos.x, caret.x + field->GetTextHost()->GetCaretWidth());
    EXPECT_EQ(form.ptCurrentPos.y, caret.y);
    ImmReleaseContext(window, context);
    field->SetText(L"");
    ui->TakeNotifications();
}

// ---- Texts given as the window opens ---------------------------------------------------

// Fills fields as a dialog does when its window first lays out.
class WindowInitFiller : public INotifyUI
{
public:
    void Notify(NotifyMsg& msg) override
    {
        if (msg.type != L"windowinit")
            return;
        for (const auto& [name, text] : texts) {
            if (CControlUI* field = manager->FindControl(name))
                field->SetText(text);
        }
    }

    CWindowManagerUI* manager = nullptr;
    std::vector<std::pair<LPCWSTR, LPCWSTR>> texts;
};

TEST(RichEditOpening, TextsSetAsTheWindowOpensArePainted)
{
    // The dialogs' fields: a row of the dialog's layout, the skin's font.
    const std::wstring field = L" multiline=\"false\" autohscroll=\"true\" wanttab=\"false\" wantreturn=\"false\""
                               L" rich=\"false\" font=\"0\" textcolor=\"#FFFFFFFF\" textpadding=\"10,8,10,8\"/>";
    const std::wstring xml = L"<Window size=\"400,300\"><Font id=\"0\" name=\"微软雅黑\" size=\"14\" default=\"true\"/>"
                             L"<VerticalLayout bkcolor=\"#FF000000\" inset=\"20,20,20,20\">"
                             L"<HorizontalLayout height=\"36\"><RichEdit name=\"short\"" +
                             field + L"</HorizontalLayout><HorizontalLayout height=\"36\"><RichEdit name=\"long\"" +
                             field + L"</HorizontalLayout><HorizontalLayout height=\"36\"><RichEdit name=\"later\"" +
                             field + L"</HorizontalLayout></VerticalLayout></Window>";
    ManagedWindow window;
    SetWindowPos(window.GetWindowHandle(), HWND_TOPMOST, 100, 100, 400, 300, SWP_NOACTIVATE);
    WindowInitFiller filler;
    filler.manager = &window.manager;
    filler.texts = {{L"short", L"D:\\Games"},
                    {L"long", L"D:\\Calverin\\Downloads\\星海征途\\Packages\\Very Long Folder Name Here"}};
    window.manager.AddNotifyReceiver(&filler);
    CSkinBuilder builder;
    CControlUI* root = builder.Create(xml.c_str(), nullptr, nullptr, &window.manager);
    ASSERT_NE(root, nullptr);
    window.manager.SetLayered(true);
    window.Attach(root);
    ASSERT_TRUE(window.PumpUntil([&] { return window.manager.GetOffscreenPixels() != nullptr; }));
    window.manager.FindControl(L"later")->SetText(L"D:\\Games");
    window.Send(WM_TIMER, ClickableTestWindow::kRepaintTimer, 0);

    auto lightPixels = [&](LPCWSTR name) {
        const RECT rc = window.manager.FindControl(name)->GetPos();
        const SIZE size = window.manager.GetOffscreenSize();
        const DWORD* pixels = window.manager.GetOffscreenPixels();
        int count = 0;
        for (int y = rc.top; y < rc.bottom; ++y) {
            for (int x = rc.left; x < rc.right; ++x)
                count += (pixels[(size.cy - 1 - y) * size.cx + x] & 0xFF) > 0x80 ? 1 : 0;
        }
        return count;
    };
    EXPECT_GT(lightPixels(L"later"), 20) << "a text set later shows";
    EXPECT_GT(lightPixels(L"short"), 20) << "a text set as the window opens shows";
    EXPECT_GT(lightPixels(L"long"), 20) << "a text wider than its field shows";
}

// ---- Lifetimes -------------------------------------------------------------------------------

TEST_F(RichEdit, AFocusedFieldDestroyedLeavesNoFilterOrTimer)
{
    auto* container = static_cast<CContainerUI*>(ui->window.manager.GetRoot()->GetInterface(L"Container"));
    ASSERT_NE(container, nullptr);
    auto* field = new CRichEditUI;
    field->SetFloat(true);
    field->SetFixedXY({10, 285});
    field->SetFixedWidth(100);
    field->SetFixedHeight(14);
    ASSERT_TRUE(container->Add(field));
    ui->Repaint();
    ASSERT_NE(field->GetTextHost(), nullptr);
    ui->window.manager.SetFocus(field);
    Type(L"abc");
    IMessageFilterUI* filter = field;
    EXPECT_TRUE(ui->window.manager.KillTimer(field, CRichEditUI::kCaretTimer)) << "it had its caret timer";
    ui->window.manager.SetTimer(field, CRichEditUI::kCaretTimer, GetCaretBlinkTime());
    CControlUI* gone = field;
    container->Remove(field);

    EXPECT_FALSE(ui->window.manager.RemoveMessageFilter(filter));
    EXPECT_FALSE(ui->window.manager.KillTimer(gone, CRichEditUI::kCaretTimer));
    EXPECT_EQ(ui->window.manager.GetFocus(), nullptr);
    Type(L"de");
    ui->MoveTo(50, 290);
    ui->Click(50, 290);
    ui->Post(WM_IME_STARTCOMPOSITION, 0, 0);
    ui->window.PumpUntil([] { return false; }, 2 * GetCaretBlinkTime());
    ui->Repaint();
    ui->TakeNotifications();
}

}  // namespace
