// The button in a real layered window, driven by posted mouse and key
// messages; its looks read from the window's off-screen pixels. One window
// serves the whole program: each test starts with the mouse parked over the
// empty corner, nothing pressed and nothing focused.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ClickableTestWindow.h"
#include "GeometryText.h"
#include "controls/ButtonUI.h"
#include "PngBuilder.h"
#include "ScratchFolder.h"

using namespace CalUI;

namespace {

constexpr DWORD kBlue = 0x0000FF;
constexpr DWORD kGreen = 0x00FF00;
constexpr DWORD kRed = 0xFF0000;
constexpr DWORD kYellow = 0xFFFF00;
constexpr DWORD kGrey = 0x808080;
constexpr DWORD kCyan = 0x00FFFF;
constexpr DWORD kMagenta = 0xFF00FF;
constexpr POINT kParking = {390, 290};  // over the container only
constexpr POINT kScreenPlace = {600, 60};

// The five frames of the strip, left to right: normal, pushed, hot,
// focused, disabled.
constexpr DWORD kStripFrames[] = {kBlue, kRed, kGreen, kYellow, kGrey};

// A 400 x 30 strip of five 80-pixel frames, one flat colour each.
std::string FiveFrameStripPng()
{
    constexpr int width = 400;
    constexpr int height = 30;
    std::vector<uint32_t> rgba(width * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            rgba[y * width + x] = kStripFrames[x / 80] << 8 | 0xFF;
    }
    PngBuilder png;
    png.Header(width, height).ImageData(RgbaScanlines(width, height, rgba.data())).End();
    return png.Bytes();
}

std::wstring Colour(DWORD rgb)
{
    wchar_t text[32];
    swprintf(text, 32, L"color='#FF%06X'", static_cast<unsigned>(rgb));
    return text;
}

std::wstring Skin(const std::wstring& stripPath)
{
    const std::wstring images = L" normalimage=\"" + Colour(kBlue) + L"\" hotimage=\"" + Colour(kGreen) +
                                L"\" pushedimage=\"" + Colour(kRed) + L"\" focusedimage=\"" + Colour(kYellow) + L"\"";
    const std::wstring strip = L" fivestatusimage=\"file='" + stripPath + L"'\"";
    return L"<Button name=\"plain\" float=\"true\" pos=\"10,10,110,40\"" + images +
           L" hotforeimage=\"color='#FFFF00FF' dest='0,0,10,10'\" foreimage=\"color='#FF00FFFF' dest='90,20,100,30'\""
           L"/>"
           L"<Control name=\"over\" float=\"true\" pos=\"80,15,100,35\"/>"
           L"<Button name=\"off\" float=\"true\" pos=\"120,10,220,40\" enabled=\"false\"" +
           images + L" disabledimage=\"" + Colour(kGrey) +
           L"\"/>"
           L"<Button name=\"menu\" float=\"true\" pos=\"230,10,330,40\" menu=\"true\"/>"
           L"<Button name=\"nomenu\" float=\"true\" pos=\"230,50,330,80\"/>"
           L"<Button name=\"fade\" float=\"true\" pos=\"10,50,110,80\" fadedelta=\"51\" normalimage=\"" +
           Colour(kBlue) + L"\" hotimage=\"" + Colour(kRed) +
           L"\"/>"
           L"<Button name=\"colours\" float=\"true\" pos=\"120,50,220,90\" text=\"MMMM\" font=\"1\""
           L" bkcolor=\"#FF101010\" hotbkcolor=\"#FF404040\" focusedbkcolor=\"#FF603060\""
           L" textcolor=\"#FFFF0000\" hottextcolor=\"#FF00FF00\" pushedtextcolor=\"#FF0000FF\""
           L" focusedtextcolor=\"#FFFFFF00\" bordersize=\"3\" bordercolor=\"#FF00FFFF\""
           L" hotbordercolor=\"#FFFF00FF\" focusbordercolor=\"#FFFFFFFF\"/>"
           L"<Button name=\"strip\" float=\"true\" pos=\"10,100,10,100\"" +
           strip +
           L"/>"
           L"<Button name=\"stripoff\" float=\"true\" pos=\"100,100,100,100\" enabled=\"false\"" +
           strip +
           L"/>"
           L"<Button name=\"arrow\" float=\"true\" pos=\"230,100,330,130\" cursor=\"arrow\"/>";
}

constexpr wchar_t kFonts[] = L"<Font id=\"1\" name=\"Arial\" size=\"28\" bold=\"true\"/>";

// Counts the fade timer's ticks that reach the button.
struct FadeTicks
{
    bool OnEvent(void* param)
    {
        const auto* event = static_cast<const UIEvent*>(param);
        if (event->type == UIEventType::Timer && event->wParam == kButtonFadeTimerId)
            ++count;
        return true;
    }
    int count = 0;
};

class Button : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        scratch = new ScratchFolder;
        const std::wstring strip = scratch->WriteFile(L"strip.png", FiveFrameStripPng());
        ui = new ClickableTestWindow(kScreenPlace, Skin(strip), kFonts);
        ui->Find(L"fade")->eventDelegates.Add(CDelegate<FadeTicks, FadeTicks>(&fadeTicks, &FadeTicks::OnEvent));
    }
    static void TearDownTestSuite()
    {
        delete ui;
        delete scratch;
    }

    void SetUp() override
    {
        ui->MoveTo(kParking.x, kParking.y);
        ui->window.manager.SetFocus(nullptr);
        ui->Repaint();
        ui->TakeNotifications();
    }

    static CButtonUI* ButtonNamed(LPCWSTR name) { return ui->Find<CButtonUI>(name, L"Button"); }

    static bool Has(CButtonUI* button, UIControlState bits) { return HasAny(button->GetButtonState(), bits); }

    // The pixel at (x, y) after the window drew what changed.
    static DWORD Shown(int x, int y)
    {
        ui->Repaint();
        return ui->Rgb(x, y);
    }

    // Runs the window's messages one at a time until the fade timer has been
    // quiet for twenty of its periods (room for a loaded machine), and reads
    // the pixel after each tick.
    static std::vector<DWORD> FollowFade(POINT at)
    {
        constexpr DWORD kQuietMs = 20 * kButtonFadeTimerMs;
        std::vector<DWORD> frames;
        int seen = fadeTicks.count;
        DWORD lastTick = GetTickCount();
        while (GetTickCount() - lastTick < kQuietMs && frames.size() < 20) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
                if (fadeTicks.count == seen)
                    continue;
                seen = fadeTicks.count;
                frames.push_back(Shown(at.x, at.y));
                lastTick = GetTickCount();
            }
        }
        return frames;
    }

    static ClickableTestWindow* ui;
    static ScratchFolder* scratch;
    static FadeTicks fadeTicks;
};

ClickableTestWindow* Button::ui = nullptr;
ScratchFolder* Button::scratch = nullptr;
FadeTicks Button::fadeTicks;

using Notes = std::vector<std::wstring>;

// ---- Mouse and keys -------------------------------------------------------------

TEST_F(Button, ReleaseOutsideClicksNothingAndComingBackFirstClicksOnce)
{
    CButtonUI* plain = ButtonNamed(L"plain");
    ui->Press(60, 25);
    EXPECT_TRUE(Has(plain, UIControlState::Pushed | UIControlState::Captured));
    ui->MoveTo(200, 200, MK_LBUTTON);
    EXPECT_FALSE(Has(plain, UIControlState::Pushed)) << "out of the button while held";
    EXPECT_TRUE(Has(plain, UIControlState::Captured));
    ui->Release(200, 200);
    EXPECT_FALSE(Has(plain, UIControlState::Pushed | UIControlState::Captured));
    EXPECT_EQ(ui->TakeNotifications(), (Notes{L"mouseenter plain"}));

    ui->Press(60, 25);
    ui->MoveTo(200, 200, MK_LBUTTON);
    ui->MoveTo(60, 25, MK_LBUTTON);
    EXPECT_TRUE(Has(plain, UIControlState::Pushed)) << "back over the button while held";
    ui->Release(60, 25);
    EXPECT_EQ(ui->TakeNotifications(), (Notes{L"click plain"})) << "the mouse never left while it was held";
}

TEST_F(Button, DisabledButtonIsNeverHotPushedOrClicked)
{
    CButtonUI* off = ButtonNamed(L"off");
    const UIControlState active = UIControlState::Hot | UIControlState::Pushed | UIControlState::Captured;
    ui->MoveTo(170, 25);
    EXPECT_FALSE(Has(off, active));
    ui->Press(170, 25);
    EXPECT_FALSE(Has(off, active));
    ui->Release(170, 25);
    off->SetFocus();
    ui->Key(VK_SPACE);
    ui->Key(VK_RETURN);
    EXPECT_FALSE(Has(off, active));
    EXPECT_EQ(ui->TakeNotifications(), (Notes{L"mouseenter off"})) << "entering is reported, nothing else";
    EXPECT_FALSE(off->Activate());
    EXPECT_EQ(ui->window.notifications.size(), 0u);
}

TEST_F(Button, DisablingDropsTheStateAndEnablingStartsAfresh)
{
    CButtonUI* plain = ButtonNamed(L"plain");
    ui->MoveTo(60, 25);
    ui->Press(60, 25);
    ASSERT_TRUE(Has(plain, UIControlState::Hot | UIControlState::Pushed));
    plain->SetEnabled(false);
    EXPECT_EQ(plain->GetButtonState(), UIControlState::None);
    ui->Release(60, 25);
    plain->SetEnabled(true);
    EXPECT_EQ(ui->TakeNotifications(), (Notes{L"mouseenter plain"}))
        << "the release of a disabled press clicks nothing";
}

TEST_F(Button, SpaceAndReturnClickTheFocusedButtonOtherKeysDoNot)
{
    CButtonUI* plain = ButtonNamed(L"plain");
    plain->SetFocus();
    for (WPARAM key : {WPARAM(VK_SPACE), WPARAM('A'), WPARAM(VK_RETURN), WPARAM(VK_ESCAPE), WPARAM(VK_DOWN)})
        ui->Key(key);
    EXPECT_EQ(ui->TakeNotifications(), (Notes{L"click plain", L"click plain"}));

    plain->SetKeyboardEnabled(false);
    ui->Key(VK_SPACE);
    plain->SetKeyboardEnabled(true);
    EXPECT_TRUE(ui->TakeNotifications().empty()) << "a button that takes no keys";
}

TEST_F(Button, EnteringAndLeavingAreReportedOnce)
{
    ui->MoveTo(50, 20);
    ui->MoveTo(60, 25);
    ui->MoveTo(kParking.x, kParking.y);
    ui->MoveTo(kParking.x - 5, kParking.y);
    EXPECT_EQ(ui->TakeNotifications(), (Notes{L"mouseenter plain", L"mouseleave plain"}));
    EXPECT_FALSE(Has(ButtonNamed(L"plain"), UIControlState::Hot));
}

// A control lying over the button takes the hover without taking the
// button's: the button waits for the mouse to leave its own rectangle.
TEST_F(Button, StaysHotUnderAControlLyingOverIt)
{
    CButtonUI* plain = ButtonNamed(L"plain");
    ui->MoveTo(60, 25);
    ui->MoveTo(90, 25);
    EXPECT_TRUE(Has(plain, UIControlState::Hot)) << "over the control on top";
    EXPECT_EQ(ui->TakeNotifications(), (Notes{L"mouseenter plain"}));
    ui->MoveTo(kParking.x, kParking.y);
    EXPECT_FALSE(Has(plain, UIControlState::Hot));
    EXPECT_EQ(ui->TakeNotifications(), (Notes{L"mouseleave plain"}));
    ui->MoveTo(kParking.x - 5, kParking.y);
    EXPECT_TRUE(ui->TakeNotifications().empty()) << "left once, and no longer listening";
}

// The manager hands the context menu to the control the right button went
// down on.
TEST_F(Button, ContextMenuIsReportedOnlyWithMenuOn)
{
    auto rightClick = [](POINT at) {
        ui->MoveTo(at.x, at.y);
        ui->Post(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
        const POINT screen = ui->ToScreen(at.x, at.y);
        ui->Post(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(ui->window.GetWindowHandle()),
                 MAKELPARAM(screen.x, screen.y));
        ui->Post(WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    };
    auto menus = [] {
        std::vector<ReceivedNotify> found;
        for (const ReceivedNotify& n : ui->window.notifications) {
            if (n.type == L"menu")
                found.push_back(n);
        }
        ui->window.notifications.clear();
        return found;
    };
    rightClick({280, 25});
    std::vector<ReceivedNotify> on = menus();
    ASSERT_EQ(on.size(), 1u);
    EXPECT_EQ(on[0].sender, L"menu");
    EXPECT_EQ(on[0].lParam, reinterpret_cast<LPARAM>(ui->Find(L"menu"))) << "the event's parameters go along";

    rightClick({280, 65});
    EXPECT_TRUE(menus().empty()) << "without menu";
    ui->Find(L"menu")->SetEnabled(false);
    rightClick({280, 25});
    ui->Find(L"menu")->SetEnabled(true);
    EXPECT_TRUE(menus().empty()) << "disabled";
}

// ---- Looks ----------------------------------------------------------------------

TEST_F(Button, StateImagesFollowHoverPressAndFocus)
{
    EXPECT_EQ(Shown(60, 25), kBlue) << "normal";
    ui->MoveTo(60, 25);
    EXPECT_EQ(Shown(60, 25), kGreen) << "hot";
    ui->Press(60, 25);
    EXPECT_EQ(Shown(60, 25), kRed) << "pushed";
    ui->MoveTo(200, 200, MK_LBUTTON);
    EXPECT_EQ(Shown(60, 25), kGreen) << "held outside: still hot, no longer pushed";
    ui->Release(200, 200);
    ui->MoveTo(kParking.x, kParking.y);
    EXPECT_EQ(Shown(60, 25), kYellow) << "focused by the press";
    ui->window.manager.SetFocus(nullptr);
    EXPECT_EQ(Shown(60, 25), kBlue);

    ui->MoveTo(170, 25);
    EXPECT_EQ(Shown(170, 25), kGrey) << "disabled, hovered";
    ui->Press(170, 25);
    EXPECT_EQ(Shown(170, 25), kGrey) << "disabled, pressed";
    ui->Release(170, 25);
}

// The hot fore image goes over the hot image and takes the place of the
// fore image, which every other state draws last.
TEST_F(Button, ForeImagesOverTheStateImages)
{
    EXPECT_EQ(Shown(105, 35), kCyan) << "the fore image";
    EXPECT_EQ(Shown(12, 12), kBlue);
    ui->MoveTo(60, 25);
    EXPECT_EQ(Shown(12, 12), kMagenta) << "the hot fore image";
    EXPECT_EQ(Shown(105, 35), kGreen) << "no fore image while the hot fore image shows";
    ui->Press(60, 25);
    EXPECT_EQ(Shown(105, 35), kCyan) << "pushed";
    EXPECT_EQ(Shown(12, 12), kRed);
    ui->Release(60, 25);
}

TEST_F(Button, StateColoursOfBackgroundTextAndBorder)
{
    const RECT text = {123, 53, 217, 87};
    auto countOf = [&](DWORD rgb) { return ui->CountPixels(text, [rgb](DWORD p) { return p == rgb; }); };
    struct Look
    {
        const char* state;
        DWORD background;
        DWORD text;
        DWORD border;
    };
    auto expectLook = [&](const Look& look) {
        SCOPED_TRACE(look.state);
        ui->Repaint();
        EXPECT_EQ(ui->Rgb(125, 55), look.background);
        EXPECT_EQ(ui->Rgb(121, 70), look.border);
        EXPECT_GT(countOf(look.text), 20);
        for (DWORD other : {kRed, kGreen, kBlue, kYellow}) {
            if (other != look.text) {
                EXPECT_EQ(countOf(other), 0) << std::hex << other;
            }
        }
    };
    expectLook({"normal", 0x101010, kRed, kCyan});
    ui->MoveTo(130, 60);
    expectLook({"hot", 0x404040, kGreen, kMagenta});
    ui->Press(130, 60);
    expectLook({"pushed and focused", 0x603060, kBlue, 0xFFFFFF});
    ui->Release(130, 60);
    ui->MoveTo(kParking.x, kParking.y);
    expectLook({"focused", 0x603060, kYellow, 0xFFFFFF});
}

TEST_F(Button, FadeDeltaCrossFadesOverFiveTicksEachWay)
{
    const POINT at = {60, 65};
    EXPECT_EQ(Shown(at.x, at.y), kBlue);
    ui->MoveTo(at.x, at.y);
    // The hot image's first drawing already has its fade: at most one tick
    // can have passed.
    EXPECT_LE(Shown(at.x, at.y) >> 16, 53u) << "entered";
    const std::vector<DWORD> in = FollowFade(at);
    ASSERT_EQ(in.size(), 5u) << "51 a tick from 255 to 0";
    for (size_t i = 0; i < in.size(); ++i) {
        const int red = static_cast<int>(in[i] >> 16);
        EXPECT_LE(std::abs(red - 51 * static_cast<int>(i + 1)), 2) << "tick " << i << std::hex << ": " << in[i];
    }
    EXPECT_EQ(in.back(), kRed);

    ui->MoveTo(kParking.x, kParking.y);
    const std::vector<DWORD> out = FollowFade(at);
    ASSERT_EQ(out.size(), 5u);
    for (size_t i = 0; i < out.size(); ++i) {
        const int blue = static_cast<int>(out[i] & 0xFF);
        EXPECT_LE(std::abs(blue - 51 * static_cast<int>(i + 1)), 2) << "tick " << i << std::hex << ": " << out[i];
    }
    EXPECT_EQ(out.back(), kBlue);
}

// Without a disabled image a disabled button shows its normal image, never
// the hot one its fade had reached.
TEST_F(Button, DisablingEndsTheCrossFade)
{
    const POINT at = {60, 65};
    CButtonUI* fade = ButtonNamed(L"fade");
    ui->MoveTo(at.x, at.y);
    ASSERT_EQ(FollowFade(at).size(), 5u);
    ASSERT_EQ(Shown(at.x, at.y), kRed);
    fade->SetEnabled(false);
    EXPECT_EQ(Shown(at.x, at.y), kBlue) << "disabled";
    ui->MoveTo(kParking.x, kParking.y);
    for (DWORD frame : FollowFade(at))
        EXPECT_EQ(frame, kBlue) << "leaving while disabled";
    fade->SetEnabled(true);
    EXPECT_EQ(Shown(at.x, at.y), kBlue) << "enabled again";
    ui->MoveTo(at.x, at.y);
    EXPECT_EQ(FollowFade(at).size(), 5u) << "a new hover fades from the start";
}

TEST_F(Button, FiveStatusImageSplitsTheStripAndSizesAFloatButton)
{
    CButtonUI* strip = ButtonNamed(L"strip");
    EXPECT_EQ(strip->GetFixedWidth(), 80);
    EXPECT_EQ(strip->GetFixedHeight(), 30);
    EXPECT_EQ(strip->GetPos(), (RECT{10, 100, 90, 130}));

    EXPECT_EQ(Shown(11, 101), kStripFrames[0]) << "normal";
    EXPECT_EQ(Shown(89, 129), kStripFrames[0]);
    ui->MoveTo(50, 115);
    EXPECT_EQ(Shown(50, 115), kStripFrames[2]) << "hot";
    ui->Press(50, 115);
    EXPECT_EQ(Shown(50, 115), kStripFrames[1]) << "pushed";
    ui->Release(50, 115);
    ui->MoveTo(kParking.x, kParking.y);
    EXPECT_EQ(Shown(50, 115), kStripFrames[3]) << "focused";
    EXPECT_EQ(Shown(140, 115), kStripFrames[4]) << "disabled";
    EXPECT_EQ(ButtonNamed(L"stripoff")->GetPos(), (RECT{100, 100, 180, 130}));
}

TEST_F(Button, CursorIsTheHandUnlessArrowIsAsked)
{
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    auto cursorOver = [&](int x, int y) {
        ui->MoveTo(x, y);
        SetCursor(nullptr);
        ui->window.Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(ui->window.GetWindowHandle()),
                        MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    EXPECT_EQ(cursorOver(60, 25), hand);
    EXPECT_EQ(cursorOver(280, 115), arrow);

    // Changed under the mouse, the cursor follows at once.
    CButtonUI* plain = ButtonNamed(L"plain");
    cursorOver(60, 25);
    plain->SetCursorName(L"arrow");
    EXPECT_EQ(GetCursor(), arrow);
    plain->SetCursorName(L"hand");
    EXPECT_EQ(GetCursor(), hand);
    EXPECT_EQ(cursorOver(60, 25), hand);
}

}  // namespace
