// The edit in a real layered window: clicks and keys are posted the way a
// user makes them (clicks to the window, typing to the focused native edit),
// and its looks are read from the window's own off-screen picture.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ClickableTestWindow.h"
#include "FailingCreate.h"
#include "GeometryText.h"
#include "controls/EditUI.h"
#include "core/ContainerUI.h"

using namespace CalUI;

namespace {

constexpr POINT kParking = {395, 295};  // over the black container only
constexpr POINT kScreenPlace = {640, 120};
constexpr POINT kElsewhere = {390, 160};  // a plain control that takes the focus

constexpr DWORD kBlue = 0x0000FF;
constexpr DWORD kGreen = 0x00FF00;
constexpr DWORD kYellow = 0xFFFF00;
constexpr DWORD kGrey = 0x808080;

const wchar_t kSkin[] =
    L"<Edit name=\"plain\" float=\"true\" pos=\"10,10,190,40\" textpadding=\"7,5\" font=\"1\"/>"
    L"<Edit name=\"selall\" float=\"true\" pos=\"200,10,380,40\" autoselall=\"true\" text=\"chosen\"/>"
    L"<Edit name=\"password\" float=\"true\" pos=\"10,50,190,80\" password=\"true\" bkcolor=\"#FFFFFFFF\"/>"
    L"<Edit name=\"stars\" float=\"true\" pos=\"200,50,380,80\" bkcolor=\"#FFFFFFFF\"/>"
    L"<Edit name=\"limited\" float=\"true\" pos=\"10,90,120,115\" maxchar=\"10\"/>"
    L"<Edit name=\"digits\" float=\"true\" pos=\"130,90,240,115\" numberonly=\"true\"/>"
    L"<Edit name=\"fixed\" float=\"true\" pos=\"250,90,360,115\" readonly=\"true\" text=\"fixed\"/>"
    L"<Edit name=\"images\" float=\"true\" pos=\"10,125,120,155\" normalimage=\"color='#FF0000FF'\""
    L" hotimage=\"color='#FF00FF00'\" focusedimage=\"color='#FFFFFF00'\" disabledimage=\"color='#FF808080'\"/>"
    L"<Edit name=\"imagesoff\" float=\"true\" pos=\"130,125,240,155\" enabled=\"false\""
    L" normalimage=\"color='#FF0000FF'\" disabledimage=\"color='#FF808080'\"/>"
    L"<Control name=\"elsewhere\" float=\"true\" pos=\"380,150,400,170\" bkcolor=\"#FF000000\"/>"
    L"<Control float=\"true\" pos=\"10,165,190,195\" bkcolor=\"#FF00FF00\"/>"
    L"<Edit name=\"tinted\" float=\"true\" pos=\"10,165,190,195\" nativebkcolor=\"#80FF0000\" maxchar=\"100000\"/>"
    L"<Edit name=\"filled\" float=\"true\" pos=\"200,165,380,195\" nativebkcolor=\"#FF3366CC\"/>"
    L"<VerticalLayout name=\"scroller\" float=\"true\" pos=\"10,205,190,245\" vscrollbar=\"true\">"
    L"<Edit name=\"scrolled\" height=\"30\"/><Control height=\"200\"/></VerticalLayout>"
    L"<VerticalLayout name=\"box\" float=\"true\" pos=\"200,205,380,245\">"
    L"<Edit name=\"boxed\" height=\"30\"/></VerticalLayout>"
    L"<VerticalLayout name=\"holder\" float=\"true\" pos=\"10,255,190,290\">"
    L"<Edit name=\"doomed\" height=\"30\"/></VerticalLayout>";

constexpr wchar_t kFonts[] = L"<Font id=\"1\" name=\"Arial\" size=\"18\"/>";

class Edit : public testing::Test
{
protected:
    static void SetUpTestSuite() { ui = new ClickableTestWindow(kScreenPlace, kSkin, kFonts); }
    static void TearDownTestSuite() { delete ui; }

    void SetUp() override
    {
        ui->MoveTo(kParking.x, kParking.y);
        ClickElsewhere();
        ui->TakeNotifications();
    }

    static CEditUI* EditNamed(LPCWSTR name) { return ui->Find<CEditUI>(name, L"Edit"); }

    static void ClickElsewhere()
    {
        ui->Click(kElsewhere.x, kElsewhere.y);
        ui->Repaint();
    }

    // Clicks the middle of the edit and waits for its native window.
    static HWND Open(CEditUI* edit)
    {
        const RECT pos = edit->GetPos();
        ui->Click((pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2);
        EXPECT_TRUE(ui->window.PumpUntil([&] { return edit->GetNativeWindow() != nullptr; }));
        return edit->GetNativeWindow();
    }

    // Typing goes to the focused window, as the keyboard sends it.
    static void Type(const std::wstring& text)
    {
        for (wchar_t ch : text)
            PostMessageW(GetFocus(), WM_CHAR, ch, 1);
        ui->window.Pump();
    }

    static std::wstring WindowText(HWND hWnd)
    {
        std::vector<wchar_t> text(static_cast<size_t>(GetWindowTextLengthW(hWnd)) + 1);
        GetWindowTextW(hWnd, text.data(), static_cast<int>(text.size()));
        return text.data();
    }

    static RECT ClientRectOf(HWND child) { return ui->window.manager.GetNativeWindowRect(child); }

    // The picture's raw pixels (premultiplied ARGB) of an area, row by row.
    static std::vector<DWORD> Pixels(const RECT& area)
    {
        ui->Repaint();
        const SIZE size = ui->window.manager.GetOffscreenSize();
        const DWORD* bits = ui->window.manager.GetOffscreenPixels();
        std::vector<DWORD> pixels;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x)
                pixels.push_back(bits[(size.cy - 1 - y) * size.cx + x]);
        }
        return pixels;
    }

    static int Differences(const std::vector<DWORD>& a, const std::vector<DWORD>& b)
    {
        int count = 0;
        for (size_t i = 0; i < a.size() && i < b.size(); ++i)
            count += a[i] != b[i] ? 1 : 0;
        return count;
    }

    static ClickableTestWindow* ui;
};

ClickableTestWindow* Edit::ui = nullptr;

using Notes = std::vector<std::wstring>;

bool IsNearBlack(DWORD rgb) { return (rgb & 0xFF) <= 8 && ((rgb >> 8) & 0xFF) <= 8 && ((rgb >> 16) & 0xFF) <= 8; }

// ---- Opening, typing and closing -------------------------------------------------------

TEST_F(Edit, ClickOpensFocusedEditWindowOverTextAreaInControlsFont)
{
    CEditUI* plain = EditNamed(L"plain");
    plain->SetText(L"abc");
    EXPECT_TRUE(ui->TakeNotifications().empty()) << "SetText on a closed edit reports nothing";
    HWND hWnd = Open(plain);
    ASSERT_NE(nullptr, hWnd);

    wchar_t className[32] = {};
    GetClassNameW(hWnd, className, 32);
    EXPECT_STREQ(L"EditWnd", className);
    EXPECT_EQ(hWnd, GetFocus());
    EXPECT_EQ(plain, ui->window.manager.GetFocus());
    // "textpadding" "7,5" reads the two missing sides as 0.
    EXPECT_EQ(RectText(RECT{17, 15, 190, 40}), RectText(ClientRectOf(hWnd)));
    EXPECT_EQ(reinterpret_cast<LRESULT>(ui->window.manager.GetFont(1)), SendMessageW(hWnd, WM_GETFONT, 0, 0));
    EXPECT_EQ(L"abc", WindowText(hWnd));
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(3u, start) << "caret at the end";
    EXPECT_EQ(3u, end);

    HWND all = Open(EditNamed(L"selall"));
    ASSERT_NE(nullptr, all);
    EXPECT_FALSE(IsWindow(hWnd)) << "the first edit closed when the focus moved on";
    SendMessageW(all, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(0u, start) << "autoselall selects everything";
    EXPECT_EQ(6u, end);
}

TEST_F(Edit, TypingReportsEveryChangeAndReturnStaysOpenUntilClickElsewhere)
{
    CEditUI* plain = EditNamed(L"plain");
    plain->SetText(L"");
    HWND hWnd = Open(plain);
    ASSERT_NE(nullptr, hWnd);
    ui->TakeNotifications();

    Type(L"ab\x4E2D");
    EXPECT_EQ(ui->TakeNotifications(), (Notes{L"textchanged plain", L"textchanged plain", L"textchanged plain"}));
    EXPECT_EQ(L"ab\x4E2D", std::wstring(plain->GetText()));
    EXPECT_EQ(L"ab\x4E2D", WindowText(hWnd));
    plain->SetText(L"ab\x4E2D");
    EXPECT_TRUE(ui->TakeNotifications().empty()) << "the same text changes nothing";
    plain->SetText(L"ab\x6587");
    EXPECT_EQ(ui->TakeNotifications(), (Notes{L"textchanged plain"})) << "a new text, set while open";
    EXPECT_EQ(L"ab\x6587", WindowText(hWnd));

    PostMessageW(hWnd, WM_KEYDOWN, VK_RETURN, 1);
    ui->window.Pump();
    EXPECT_EQ(ui->TakeNotifications(), (Notes{L"return plain"}));
    EXPECT_EQ(L"ab\x6587", WindowText(hWnd)) << "Return inserts nothing";
    EXPECT_EQ(hWnd, plain->GetNativeWindow()) << "and the edit stays open";

    ClickElsewhere();
    EXPECT_EQ(nullptr, plain->GetNativeWindow());
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(L"ab\x6587", std::wstring(plain->GetText()));
    plain->SetText(L"later");
    EXPECT_TRUE(ui->TakeNotifications().empty()) << "SetText on a closed edit reports nothing";
}

TEST_F(Edit, WindowKeepsTheLimitsOfItsControl)
{
    struct Case
    {
        LPCWSTR name;
        LPCWSTR typed;
        LPCWSTR expected;
        size_t changes;
    };
    const Case cases[] = {
        {L"limited", L"abcdefghijkl", L"abcdefghij", 10},  // "maxchar" 10
        {L"digits", L"1a2b3", L"123", 3},                  // "numberonly"
        {L"fixed", L"xyz", L"fixed", 0},                   // "readonly"
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CEditUI* edit = EditNamed(c.name);
        ASSERT_NE(nullptr, Open(edit));
        ui->TakeNotifications();
        Type(c.typed);
        EXPECT_EQ(c.expected, std::wstring(edit->GetText()));
        EXPECT_EQ(c.changes, ui->TakeNotifications().size());
        ClickElsewhere();
    }
}

TEST_F(Edit, LongTextIsTakenWholeAtEachChange)
{
    CEditUI* edit = EditNamed(L"tinted");  // "maxchar" 100000
    HWND hWnd = Open(edit);
    ASSERT_NE(nullptr, hWnd);
    const std::wstring longText(50000, L'x');
    SetWindowTextW(hWnd, longText.c_str());
    SendMessageW(hWnd, EM_SETSEL, 50000, 50000);
    Type(L"y");
    EXPECT_EQ(50001, edit->GetText().GetLength());
    EXPECT_TRUE(longText + L"y" == std::wstring(edit->GetText())) << "the whole text, the last character included";
    edit->SetText(L"");
}

// ---- Painting --------------------------------------------------------------------------

TEST_F(Edit, PasswordEditPaintsStarsClosedAndMasksWhenOpen)
{
    CEditUI* password = EditNamed(L"password");
    CEditUI* stars = EditNamed(L"stars");
    password->SetText(L"abcd");
    stars->SetText(L"****");
    const RECT left = password->GetPos();
    const RECT right = stars->GetPos();
    EXPECT_EQ(Pixels(left), Pixels(right)) << "one '*' per character, closed";

    HWND hWnd = Open(password);
    ASSERT_NE(nullptr, hWnd);
    EXPECT_EQ(L'*', SendMessageW(hWnd, EM_GETPASSWORDCHAR, 0, 0));
    const RECT area = ClientRectOf(hWnd);
    const std::vector<DWORD> first = Pixels(area);
    password->SetText(L"wxyz");
    const std::vector<DWORD> second = Pixels(area);
    EXPECT_LE(Differences(first, second), area.bottom - area.top) << "at most the caret differs";
    EXPECT_EQ(L"wxyz", WindowText(hWnd)) << "the window holds the real text";

    // The same change in a plain edit shows.
    HWND plain = Open(stars);
    ASSERT_NE(nullptr, plain);
    const RECT plainArea = ClientRectOf(plain);
    stars->SetText(L"abcd");
    const std::vector<DWORD> plainFirst = Pixels(plainArea);
    stars->SetText(L"wxyz");
    EXPECT_GT(Differences(plainFirst, Pixels(plainArea)), 2 * (plainArea.bottom - plainArea.top));
    password->SetText(L"");
    stars->SetText(L"");
}

TEST_F(Edit, LayeredWindowShowsOpenEditWithOpaqueNearBlackTextAndBlinkingCaret)
{
    CEditUI* plain = EditNamed(L"plain");
    plain->SetText(L"");
    HWND hWnd = Open(plain);
    ASSERT_NE(nullptr, hWnd);
    Type(L"WWW");
    const RECT area = ClientRectOf(hWnd);
    const std::vector<DWORD> pixels = Pixels(area);
    int dark = 0;
    for (DWORD pixel : pixels) {
        EXPECT_EQ(0xFF000000u, pixel & 0xFF000000u) << "every pixel of the edit is opaque";
        dark += IsNearBlack(pixel & 0xFFFFFF) ? 1 : 0;
    }
    EXPECT_GT(dark, 30) << "the typed text shows in the picture";

    // The caret is a column of dark pixels right of the text: all there or gone.
    POINT caret = {};
    ASSERT_TRUE(GetCaretPos(&caret));
    const RECT column = {area.left + caret.x, area.top + 2, area.left + caret.x + 1, area.bottom - 2};
    auto caretShown = [&] {
        ui->Repaint();
        const int count = ui->CountPixels(column, IsNearBlack);
        EXPECT_TRUE(count == 0 || count >= (column.bottom - column.top) / 2) << count;
        return count > 0;
    };
    // Each tick of the blink timer turns it over and repaints its place.
    const bool shownAtFirst = caretShown();
    SendMessageW(hWnd, WM_TIMER, kEditCaretTimerId, 0);
    EXPECT_NE(shownAtFirst, caretShown());
    SendMessageW(hWnd, WM_TIMER, kEditCaretTimerId, 0);
    EXPECT_EQ(shownAtFirst, caretShown());
    // And the timer ticks by itself.
    EXPECT_TRUE(ui->window.PumpUntil([&] { return caretShown() != shownAtFirst; }));
    plain->SetText(L"");
}

TEST_F(Edit, NativeBackgroundTintsWhatLiesBehindOrFills)
{
    HWND tinted = Open(EditNamed(L"tinted"));
    ASSERT_NE(nullptr, tinted);
    const RECT area = ClientRectOf(tinted);
    ui->Repaint();
    // Half red over the green control behind.
    const DWORD tint = ui->Rgb(area.right - 5, (area.top + area.bottom) / 2);
    EXPECT_NEAR(0x80, static_cast<int>((tint >> 16) & 0xFF), 8);
    EXPECT_NEAR(0x7F, static_cast<int>((tint >> 8) & 0xFF), 8);
    EXPECT_NEAR(0, static_cast<int>(tint & 0xFF), 8);

    HWND filled = Open(EditNamed(L"filled"));
    ASSERT_NE(nullptr, filled);
    const RECT fill = ClientRectOf(filled);
    ui->Repaint();
    EXPECT_EQ(0x3366CCu, ui->Rgb(fill.right - 5, (fill.top + fill.bottom) / 2));

    // Black text in a coloured field is drawn near-black, never as black.
    Type(L"WWW");
    ui->Repaint();
    EXPECT_GT(ui->CountPixels(fill, [](DWORD rgb) { return rgb == 0x000001; }), 5);
    EXPECT_EQ(0, ui->CountPixels(fill, [](DWORD rgb) { return rgb == 0; }));
    EditNamed(L"filled")->SetText(L"");
}

TEST_F(Edit, StateImageFollowsHoverFocusAndDisabling)
{
    CEditUI* images = EditNamed(L"images");
    const RECT pos = images->GetPos();
    const POINT corner = {pos.left + 1, pos.top + 1};  // in the padding, never under the native window
    ui->Repaint();
    EXPECT_EQ(kBlue, ui->Rgb(corner.x, corner.y)) << "normal";
    ui->MoveTo(pos.left + 10, pos.top + 10);
    ui->Repaint();
    EXPECT_EQ(kGreen, ui->Rgb(corner.x, corner.y)) << "hot";
    ASSERT_NE(nullptr, Open(images));
    ui->Repaint();
    EXPECT_EQ(kYellow, ui->Rgb(corner.x, corner.y)) << "focused";
    const RECT off = EditNamed(L"imagesoff")->GetPos();
    EXPECT_EQ(kGrey, ui->Rgb(off.left + 1, off.top + 1)) << "disabled";
    ui->MoveTo(kParking.x, kParking.y);
}

// ---- Clipping and lifetimes ---------------------------------------------------------------

TEST_F(Edit, OpenWindowHidesWhenScrolledAwayOrItsContainerHides)
{
    CEditUI* scrolled = EditNamed(L"scrolled");
    HWND hWnd = Open(scrolled);
    ASSERT_NE(nullptr, hWnd);
    auto* scroller = static_cast<CContainerUI*>(ui->Find(L"scroller"));
    scroller->SetScrollPos(SIZE{0, 100});
    ui->window.Pump();
    EXPECT_FALSE(IsWindow(hWnd) && IsWindowVisible(hWnd)) << "scrolled out of view";
    scroller->SetScrollPos(SIZE{0, 0});
    ClickElsewhere();

    CEditUI* boxed = EditNamed(L"boxed");
    hWnd = Open(boxed);
    ASSERT_NE(nullptr, hWnd);
    ui->Find(L"box")->SetVisible(false);
    ui->window.Pump();
    EXPECT_FALSE(IsWindow(hWnd) && IsWindowVisible(hWnd)) << "in a hidden container";
    EXPECT_EQ(nullptr, boxed->GetNativeWindow());
    ui->Find(L"box")->SetVisible(true);
}

// A native edit that fails after WM_NCCREATE has had its last message by the
// time its creation returns: its object must be freed once, not twice.
TEST_F(Edit, WindowThatFailsAfterItsFirstMessageIsFreedOnceAndTheFieldOpensLater)
{
    HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
    CEditUI* edit = EditNamed(L"plain");
    const RECT pos = edit->GetPos();
    {
        FailingCreate failing(L"Edit");
        ASSERT_TRUE(failing.Active());
        ui->Click((pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2);
        ASSERT_TRUE(ui->window.PumpUntil([&] { return failing.Refusals() > 0; }));
        ui->window.Pump();
        EXPECT_EQ(edit->GetNativeWindow(), nullptr);
        EXPECT_TRUE(ProcessHeapsAreWhole());
    }
    ClickElsewhere();
    EXPECT_NE(Open(edit), nullptr);
    EXPECT_TRUE(ProcessHeapsAreWhole());
}

TEST_F(Edit, ControlDestroyedWithOpenWindowTakesTheWindowAlong)
{
    CEditUI* doomed = EditNamed(L"doomed");
    HWND hWnd = Open(doomed);
    ASSERT_NE(nullptr, hWnd);
    auto* holder = static_cast<IContainerUI*>(ui->Find(L"holder")->GetInterface(L"IContainer"));
    ASSERT_TRUE(holder->Remove(doomed, false));
    ui->window.Pump();
    EXPECT_FALSE(IsWindow(hWnd));
    // Later messages, typing and painting reach nothing freed.
    Type(L"zz");
    ClickElsewhere();
    ui->Repaint();
    EXPECT_EQ(nullptr, ui->Find(L"doomed"));
}

}  // namespace
