// The slider: the thumb's place, and presses, drags, the wheel, the cursor
// and the thumb's images by posted messages in one real window.

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "controls/SliderUI.h"
#include "GeometryText.h"
#include "ProgressSliderWindow.h"

using namespace CalUI;

namespace {

constexpr DWORD kGreen = 0xFF00FF00;
constexpr DWORD kBlue = 0xFF0000FF;
constexpr DWORD kRed = 0xFFFF0000;

std::string Narrow(const wchar_t* text) { return std::string(text, text + wcslen(text)); }

// One window for every case: destroying one takes seconds.
class SliderInWindow : public testing::Test
{
protected:
    static void SetUpTestSuite() { shown = new ProgressSliderWindow; }
    static void TearDownTestSuite()
    {
        delete shown;
        shown = nullptr;
    }
    void TearDown() override
    {
        if (shown->held)
            shown->Mouse(WM_LBUTTONUP, 0, 0);
    }

    CSliderUI* Slider(const wchar_t* name) { return shown->Find<CSliderUI>(name, L"Slider"); }

    // The "valuechanged" notifications so far, as the names of their senders;
    // wParam and lParam are 0 in every one.
    std::vector<std::wstring> ValueChanges() const
    {
        std::vector<std::wstring> senders;
        for (const ReceivedNotify& received : shown->window.notifications) {
            if (received.type != L"valuechanged")
                continue;
            EXPECT_EQ(received.wParam, 0u);
            EXPECT_EQ(received.lParam, 0);
            senders.push_back(received.sender);
        }
        return senders;
    }

    static ProgressSliderWindow* shown;
};

ProgressSliderWindow* SliderInWindow::shown = nullptr;

}  // namespace

TEST(SliderGeometry, TheThumbStandsForTheValueAlongTheBarAndCentredAcrossIt)
{
    struct Case
    {
        const wchar_t* attributes;
        RECT pos;
        RECT thumb;
    } cases[] = {
        {L"value=\"0\"", {0, 0, 100, 20}, {0, 5, 10, 15}},
        {L"value=\"50\"", {0, 0, 100, 20}, {45, 5, 55, 15}},
        {L"value=\"100\"", {0, 0, 100, 20}, {90, 5, 100, 15}},
        {L"value=\"50\"", {30, 40, 130, 60}, {75, 45, 85, 55}},
        {L"hor=\"false\" value=\"0\"", {0, 0, 20, 100}, {5, 90, 15, 100}},
        {L"hor=\"false\" value=\"25\"", {0, 0, 20, 100}, {5, 68, 15, 78}},
        {L"hor=\"false\" value=\"100\"", {0, 0, 20, 100}, {5, 0, 15, 10}},
        // Equal limits: the range is repaired, nothing divides by zero.
        {L"min=\"10\" max=\"10\" value=\"10\"", {0, 0, 100, 20}, {0, 5, 10, 15}},
        {L"hor=\"false\" min=\"10\" max=\"10\" value=\"10\"", {0, 0, 20, 100}, {5, 90, 15, 100}},
        // A range whose product with the length needs more than 32 bits.
        {L"max=\"2000000000\" value=\"1000000000\"", {0, 0, 110, 20}, {50, 5, 60, 15}},
        // "thumbsize": missing numbers are 0, negative sizes count as 0.
        {L"thumbsize=\"12,8\"", {0, 0, 100, 20}, {0, 6, 12, 14}},
        {L"thumbsize=\"12\"", {0, 0, 100, 20}, {0, 10, 12, 10}},
        {L"thumbsize=\"\"", {0, 0, 100, 20}, {0, 10, 0, 10}},
        {L"thumbsize=\"-4,6\"", {0, 0, 100, 20}, {0, 7, 0, 13}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.attributes));
        auto* slider = new CSliderUI;
        slider->SetAttributeList(c.attributes);
        slider->SetPos(c.pos);
        EXPECT_EQ(slider->GetThumbRect(), c.thumb);
        slider->Delete();
    }
}

TEST_F(SliderInWindow, APressSetsTheValueUnderThePointerAndItsReleaseReportsIt)
{
    shown->Load(FloatControl(L"Slider", L"h", {50, 40, 150, 60}, L"") +
                FloatControl(L"Slider", L"v", {200, 20, 220, 120}, L"hor=\"false\"") +
                FloatControl(L"Slider", L"big", {50, 80, 150, 100}, L"max=\"2000000000\"") +
                FloatControl(L"Slider", L"flat", {50, 120, 150, 140}, L"min=\"10\" max=\"10\" value=\"10\""));
    struct Case
    {
        const wchar_t* slider;
        int x;
        int y;
        int value;
    } cases[] = {
        {L"h", 55, 50, 0},              // half a thumb from the left end
        {L"h", 145, 50, 100},           // half a thumb from the right end
        {L"h", 100, 50, 50},            // the middle
        {L"h", 56, 50, 1},              // one pixel into the proportional part
        {L"h", 149, 50, 100},           // the right edge
        {L"h", 50, 50, 0},              // the left edge
        {L"v", 210, 115, 0},            // the bottom is the minimum
        {L"v", 210, 25, 100},           // the top the maximum
        {L"v", 210, 70, 50},            // the middle
        {L"big", 100, 90, 1000000000},  // range times length beyond 32 bits
        {L"flat", 100, 130, 10},        // equal limits work as 10 to 11
        {L"flat", 145, 130, 11},        // the repaired maximum
        {L"flat", 55, 130, 10},         // the minimum
    };
    std::vector<std::wstring> reported;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << Narrow(c.slider) << " at " << c.x << "," << c.y);
        CSliderUI* slider = Slider(c.slider);
        ASSERT_NE(slider, nullptr);
        shown->Mouse(WM_LBUTTONDOWN, c.x, c.y);
        EXPECT_EQ(slider->GetValue(), c.value) << "the press moves the thumb";
        EXPECT_EQ(ValueChanges(), reported) << "but reports nothing";
        shown->Mouse(WM_LBUTTONUP, c.x, c.y);
        EXPECT_EQ(slider->GetValue(), c.value);
        reported.push_back(c.slider);
        EXPECT_EQ(ValueChanges(), reported);
    }

    // A double click presses as well.
    shown->Mouse(WM_LBUTTONDBLCLK, 120, 50);
    EXPECT_EQ(Slider(L"h")->GetValue(), 72);
    shown->Mouse(WM_LBUTTONUP, 120, 50);
    reported.push_back(L"h");
    EXPECT_EQ(ValueChanges(), reported);
}

TEST_F(SliderInWindow, ADisabledSliderTakesNoPressAndNoWheel)
{
    shown->Load(FloatControl(L"Slider", L"off", {50, 40, 150, 60}, L"enabled=\"false\" value=\"30\" step=\"5\""));
    CSliderUI* off = Slider(L"off");
    ASSERT_NE(off, nullptr);
    shown->Click(140, 50);
    shown->Wheel(true, 100, 50);
    EXPECT_EQ(off->GetValue(), 30);
    EXPECT_TRUE(ValueChanges().empty());
    EXPECT_EQ(off->GetControlFlags(), UIControlFlag::None);

    // Disabled in the middle of a drag, it stops dragging.
    off->SetEnabled(true);
    shown->Mouse(WM_LBUTTONDOWN, 140, 50);
    off->SetEnabled(false);
    shown->Mouse(WM_MOUSEMOVE, 60, 50);
    shown->Mouse(WM_LBUTTONUP, 60, 50);
    EXPECT_EQ(off->GetValue(), 94);
    EXPECT_TRUE(ValueChanges().empty());
}

TEST_F(SliderInWindow, ADragReportsOnReleaseOnlyUnlessImmReportsEveryMove)
{
    shown->Load(FloatControl(L"Slider", L"plain", {50, 40, 150, 60}, L"") +
                FloatControl(L"Slider", L"imm", {50, 80, 150, 100}, L"imm=\"true\""));
    struct Step
    {
        UINT message;
        int x;
        int value;
        int plainReports;  // "valuechanged" so far without "imm"
        int immReports;    // and with it
    } steps[] = {
        {WM_LBUTTONDOWN, 55, 0, 0, 0},   // the press reports nothing
        {WM_MOUSEMOVE, 100, 50, 0, 1},   // the thumb follows the pointer
        {WM_MOUSEMOVE, 127, 80, 0, 2},   // further along
        {WM_MOUSEMOVE, 300, 100, 0, 3},  // beyond the end: the maximum
        {WM_MOUSEMOVE, 127, 80, 0, 4},   // and back
        {WM_LBUTTONUP, 127, 80, 1, 5},   // the release reports
        {WM_MOUSEMOVE, 60, 80, 1, 5},    // released: moves change nothing
    };
    for (const wchar_t* name : {L"plain", L"imm"}) {
        CSliderUI* slider = Slider(name);
        ASSERT_NE(slider, nullptr);
        const int y = (slider->GetPos().top + slider->GetPos().bottom) / 2;
        shown->window.notifications.clear();
        for (const Step& step : steps) {
            SCOPED_TRACE(testing::Message() << Narrow(name) << ": message " << step.message << " at " << step.x);
            shown->Mouse(step.message, step.x, y);
            EXPECT_EQ(slider->GetValue(), step.value);
            const size_t reports = slider->GetName() == L"imm" ? step.immReports : step.plainReports;
            EXPECT_EQ(ValueChanges(), std::vector<std::wstring>(reports, name));
        }
    }
}

TEST_F(SliderInWindow, AWheelNotchMovesByTheStepKeptWithinTheLimitsAndReportsEveryNotch)
{
    shown->Load(FloatControl(L"Slider", L"w", {50, 40, 150, 60}, L"step=\"5\" value=\"97\""));
    CSliderUI* slider = Slider(L"w");
    ASSERT_NE(slider, nullptr);
    struct Notch
    {
        bool up;
        int value;
    } notches[] = {{false, 92}, {true, 97}, {true, 100}, {true, 100}};
    int reports = 0;
    for (const Notch& notch : notches) {
        shown->Wheel(notch.up, 100, 50);
        EXPECT_EQ(slider->GetValue(), notch.value);
        EXPECT_EQ(ValueChanges().size(), static_cast<size_t>(++reports));
    }
    slider->SetValue(3);
    for (int i = 0; i < 2; ++i) {
        shown->Wheel(false, 100, 50);
        EXPECT_EQ(slider->GetValue(), 0);
        EXPECT_EQ(ValueChanges().size(), static_cast<size_t>(++reports));
    }
}

TEST_F(SliderInWindow, TheHandCursorShowsOverTheThumbOnly)
{
    shown->Load(FloatControl(L"Slider", L"c", {50, 40, 150, 60}, L"") +
                FloatControl(L"Slider", L"off", {50, 80, 150, 100}, L"enabled=\"false\""));
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    auto cursorAt = [&](int x, int y) {
        const POINT screen = shown->ScreenPoint(x, y);
        SetCursorPos(screen.x, screen.y);
        SetCursor(LoadCursorW(nullptr, IDC_CROSS));
        PostMessageW(shown->window.GetWindowHandle(), WM_SETCURSOR,
                     reinterpret_cast<WPARAM>(shown->window.GetWindowHandle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        shown->window.Pump();
        return GetCursor();
    };
    EXPECT_EQ(cursorAt(55, 50), hand) << "the thumb at the minimum";
    EXPECT_NE(cursorAt(100, 50), hand) << "the bar beside it";
    EXPECT_NE(cursorAt(55, 42), hand) << "the bar above it";
    EXPECT_NE(cursorAt(55, 90), hand) << "a disabled slider's thumb";
    Slider(L"c")->SetValue(100);
    EXPECT_EQ(cursorAt(145, 50), hand) << "the thumb moved to the maximum";
    EXPECT_NE(cursorAt(55, 50), hand) << "where it was";
}

TEST_F(SliderInWindow, TheThumbShowsItsHotAndPushedImagesFallingBackToThePlainOne)
{
    const std::wstring allImages =
        L"thumbimage=\"color='#FF00FF00'\" thumbhotimage=\"color='#FF0000FF'\" thumbpushedimage=\"color='#FFFF0000'\"";
    shown->Load(FloatControl(L"Slider", L"s", {50, 40, 150, 60}, allImages) +
                FloatControl(L"Slider", L"plain", {50, 80, 150, 100}, L"thumbimage=\"color='#FF00FF00'\"") +
                FloatControl(L"Slider", L"off", {50, 120, 150, 140}, allImages + L" enabled=\"false\""));
    struct Step
    {
        const char* what;
        UINT message;
        int x;
        int y;
        DWORD s;  // the thumbs' middles at (55, 50), (55, 90) and (55, 130)
        DWORD plain;
        DWORD off;
    } steps[] = {
        {"nothing yet", 0, 0, 0, kGreen, kGreen, kGreen},
        {"over s", WM_MOUSEMOVE, 100, 50, kBlue, kGreen, kGreen},
        {"pressing s", WM_LBUTTONDOWN, 55, 50, kRed, kGreen, kGreen},
        {"released over s", WM_LBUTTONUP, 55, 50, kBlue, kGreen, kGreen},
        // Focused now, and the value stays: the press alone repaints the thumb.
        {"pressing s again", WM_LBUTTONDOWN, 55, 50, kRed, kGreen, kGreen},
        {"released again", WM_LBUTTONUP, 55, 50, kBlue, kGreen, kGreen},
        {"away", WM_MOUSEMOVE, 300, 250, kGreen, kGreen, kGreen},
        {"over plain", WM_MOUSEMOVE, 100, 90, kGreen, kGreen, kGreen},
        {"pressing plain", WM_LBUTTONDOWN, 55, 90, kGreen, kGreen, kGreen},
        {"released over plain", WM_LBUTTONUP, 55, 90, kGreen, kGreen, kGreen},
        {"over off", WM_MOUSEMOVE, 100, 130, kGreen, kGreen, kGreen},
        {"pressing off", WM_LBUTTONDOWN, 55, 130, kGreen, kGreen, kGreen},
        {"released over off", WM_LBUTTONUP, 55, 130, kGreen, kGreen, kGreen},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.message != 0) {
            // Hot follows the real mouse once the capture goes, so it stands where the messages say.
            shown->PlaceCursor(step.x, step.y);
            shown->Mouse(step.message, step.x, step.y);
        }
        shown->Paint();
        EXPECT_EQ(shown->Pixel(55, 50), step.s);
        EXPECT_EQ(shown->Pixel(55, 90), step.plain);
        EXPECT_EQ(shown->Pixel(55, 130), step.off);
    }

    shown->ParkCursor();

    // The thumb follows the value; the bar itself shows nothing without a fore image.
    Slider(L"s")->SetValue(100);
    shown->Paint();
    EXPECT_EQ(shown->BoundsOf(kGreen, Slider(L"s")->GetPos()), (RECT{140, 45, 150, 55}));
    EXPECT_EQ(shown->Pixel(55, 50), 0u);
}
