// The base control's own painting: skin layouts built into a real window,
// painted into a DIB section of the test's own and checked pixel by pixel.

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/ControlUI.h"
#include "DibCanvas.h"
#include "GeometryText.h"
#include "ManagedWindow.h"
#include "ScratchFolder.h"
#include "builder/SkinBuilder.h"

using namespace CalUI;

namespace {

constexpr DWORD kWhite = 0xFFFFFF;
constexpr DWORD kRed = 0xFF0000;
constexpr DWORD kGreen = 0x00FF00;
constexpr DWORD kBlue = 0x0000FF;
constexpr RECT kWholeWindow = {0, 0, 400, 300};

struct Pixel
{
    int x;
    int y;
    DWORD rgb;
};

// A window whose tree comes from a layout; the tree, or one control of it,
// is painted on demand into a white canvas of the window's client size.
class PaintedLayout
{
public:
    PaintedLayout() = default;
    explicit PaintedLayout(const std::wstring& controls) { Load(controls); }

    // Replaces the window's tree by a container holding `controls`.
    void Load(const std::wstring& controls)
    {
        CSkinBuilder builder;
        const std::wstring xml = L"<Window><Container>" + controls + L"</Container></Window>";
        window.Attach(builder.Create(xml.c_str(), nullptr, nullptr, &window.manager));
        window.Pump();
    }

    CControlUI* Find(LPCWSTR name) { return window.manager.FindControl(name); }

    DibCanvas& Paint(const RECT& paint = kWholeWindow) { return PaintOnly(window.manager.GetRoot(), paint); }

    // Without the container, whose clip would hide what the control itself
    // reaches.
    DibCanvas& PaintOnly(CControlUI* control, const RECT& paint)
    {
        canvas.Fill(kWhite);
        control->Paint(canvas.dc(), paint, nullptr);
        return canvas;
    }

    void ExpectPixels(const std::vector<Pixel>& pixels) const
    {
        for (const Pixel& p : pixels)
            EXPECT_EQ(canvas.Rgb(p.x, p.y), p.rgb) << "at " << p.x << "," << p.y;
    }

    ManagedWindow window;
    DibCanvas canvas{400, 300};
};

// "<Control .../>" placed at (x, y) with the given size and attributes.
std::wstring ControlAt(int x, int y, int width, int height, const std::wstring& attributes, LPCWSTR name = L"c")
{
    return L"<Control name=\"" + std::wstring(name) + L"\" float=\"true\" pos=\"" + std::to_wstring(x) + L"," +
           std::to_wstring(y) + L"," + std::to_wstring(x + width) + L"," + std::to_wstring(y + height) + L"\" " +
           attributes + L" />";
}

// A BMP file in four flat quadrants: red, green / blue, black.
std::string QuadrantBmp(int width, int height)
{
    return BmpFileBytes(width, height, [=](int x, int y) {
        if (y < height / 2)
            return x < width / 2 ? kRed : kGreen;
        return x < width / 2 ? kBlue : 0x000000u;
    });
}

// ---- Background colour ----------------------------------------------------------

TEST(ControlPaintBackground, OpaqueColourFillsThePaintedPartTranslucentTheWholeControl)
{
    struct Case
    {
        LPCWSTR attributes;
        RECT drawn;
        DWORD rgb;
    } cases[] = {
        {L"bkcolor=\"#FFFF0000\"", {10, 10, 30, 40}, kRed},
        {L"bkcolor=\"#80000000\"", {10, 10, 50, 40}, 0x7F7F7F},
        {L"bkcolor=\"#00000000\" bkcolor2=\"#FF0000FF\"", {0, 0, 0, 0}, kWhite},
    };
    PaintedLayout layout;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.attributes);
        layout.Load(ControlAt(10, 10, 40, 30, c.attributes));
        DibCanvas& canvas = layout.PaintOnly(layout.Find(L"c"), RECT{0, 0, 30, 300});
        RECT bounds = canvas.BoundsOfOther(kWhite);
        if (IsRectEmpty(&c.drawn)) {
            EXPECT_TRUE(IsRectEmpty(&bounds)) << bounds;
            continue;
        }
        EXPECT_EQ(bounds, c.drawn);
        EXPECT_EQ(canvas.Count(c.drawn, c.rgb), (c.drawn.right - c.drawn.left) * (c.drawn.bottom - c.drawn.top));
    }
}

// The gradient runs over the whole control whatever part is painted. Its
// exact steps depend on whether the platform's gradient function is there,
// so the checks hold for both ways of drawing it.
TEST(ControlPaintBackground, SecondColourMakesAVerticalGradientAndThirdASecondHalf)
{
    PaintedLayout layout(ControlAt(0, 0, 10, 40, L"bkcolor=\"#FFFF0000\" bkcolor2=\"#FF0000FF\"") +
                         ControlAt(20, 0, 10, 41,
                                   L"bkcolor=\"#FFFF0000\" bkcolor2=\"#FF00FF00\" "
                                   L"bkcolor3=\"#FF0000FF\"",
                                   L"three"));
    DibCanvas& canvas = layout.PaintOnly(layout.Find(L"c"), RECT{0, 0, 10, 10});
    EXPECT_EQ(canvas.BoundsOfOther(kWhite), (RECT{0, 0, 10, 40}));
    EXPECT_GE(canvas.Rgb(5, 0) >> 16, 0xE0u);
    EXPECT_GE(canvas.Rgb(5, 39) & 0xFF, 0xE0u);
    for (int y = 1; y < 40; ++y) {
        SCOPED_TRACE(y);
        const DWORD above = canvas.Rgb(5, y - 1);
        const DWORD here = canvas.Rgb(5, y);
        EXPECT_EQ(here & 0x00FF00, 0u);
        EXPECT_LE(here >> 16, above >> 16);
        EXPECT_GE(here & 0xFF, above & 0xFF);
        EXPECT_EQ(canvas.Rgb(0, y), here);  // rows are flat
    }

    // Red to green over rows 0 to 19, green to blue over rows 20 to 40.
    layout.Paint();
    for (int y = 0; y <= 40; ++y) {
        SCOPED_TRACE(y);
        const DWORD rgb = canvas.Rgb(25, y);
        EXPECT_EQ(y < 20 ? rgb & 0xFF : rgb >> 16, 0u);
    }
    EXPECT_GE(canvas.Rgb(25, 0) >> 16, 0xE0u);
    EXPECT_GE(canvas.Rgb(25, 19) >> 8 & 0xFF, 0xE0u);
    EXPECT_GE(canvas.Rgb(25, 20) >> 8 & 0xFF, 0xE0u);
    EXPECT_GE(canvas.Rgb(25, 40) & 0xFF, 0xE0u);
}

// ---- Images ---------------------------------------------------------------------

TEST(ControlPaintImages, BackgroundImageFromAFileIsStretchedOverTheControlWithinThePaintRect)
{
    ScratchFolder folder;
    const std::wstring path = folder.WriteFile(L"quad.bmp", QuadrantBmp(10, 10));
    PaintedLayout layout(ControlAt(20, 20, 40, 40, L"bkimage=\"file='" + path + L"'\""));
    layout.Paint();
    EXPECT_EQ(layout.canvas.BoundsOfOther(kWhite), (RECT{20, 20, 60, 60}));
    layout.ExpectPixels({{20, 20, kRed},
                         {39, 39, kRed},
                         {40, 20, kGreen},
                         {59, 39, kGreen},
                         {20, 40, kBlue},
                         {39, 59, kBlue},
                         {40, 40, 0},
                         {59, 59, 0}});

    layout.Paint(RECT{0, 0, 30, 300});
    EXPECT_EQ(layout.canvas.BoundsOfOther(kWhite), (RECT{20, 20, 30, 60}));
}

// Background colour, background image, status image, border: each drawn over
// the one before.
TEST(ControlPaintImages, LayersArePaintedInOrder)
{
    PaintedLayout layout(ControlAt(10, 10, 40, 40,
                                   L"bkcolor=\"#FFFF0000\" bkimage=\"color='#FF00FF00' dest='5,5,35,35'\" "
                                   L"foreimage=\"color='#FF0000FF' dest='15,15,25,25'\" "
                                   L"bordersize=\"1\" bordercolor=\"#FFFFFF00\""));
    layout.Paint();
    layout.ExpectPixels({{10, 10, 0xFFFF00},
                         {12, 12, kRed},
                         {16, 16, kGreen},
                         {24, 24, kGreen},
                         {25, 25, kBlue},
                         {34, 34, kBlue},
                         {35, 35, kGreen},
                         {45, 45, kRed},
                         {49, 30, 0xFFFF00},
                         {50, 50, kWhite}});
}

TEST(ControlPaintImages, ChangedImageTextIsLoadedAgainAndAFailedLoadIsRetriedWhenSetAgain)
{
    ScratchFolder folder;
    const std::wstring path = folder.File(L"late.bmp");
    const std::wstring lateImage = L"file='" + path + L"'";
    PaintedLayout layout(ControlAt(0, 0, 20, 20, L"bkimage=\"color='#FFFF0000'\""));
    CControlUI* control = layout.Find(L"c");
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(layout.Paint().Rgb(5, 5), kRed);

    control->SetBkImage(L"color='#FF00FF00'");
    EXPECT_EQ(layout.Paint().Rgb(5, 5), kGreen);

    control->SetBkImage(lateImage.c_str());  // the file does not exist yet
    EXPECT_EQ(layout.Paint().Rgb(5, 5), kWhite);
    folder.WriteFile(L"late.bmp", QuadrantBmp(2, 2));
    EXPECT_EQ(layout.Paint().Rgb(5, 5), kWhite);  // a failed record is not retried on its own
    control->SetBkImage(lateImage.c_str());
    EXPECT_EQ(layout.Paint().Rgb(5, 5), kRed);
    EXPECT_EQ(layout.canvas.Rgb(15, 15), 0u);

    control->SetForeImage(L"color='#FF0000FF' dest='0,0,5,5'");
    layout.Paint();
    layout.ExpectPixels({{2, 2, kBlue}, {7, 7, kRed}});
}

// A float control given neither width nor height takes its background
// image's size when the skin is built; a given size stays.
TEST(ControlPaintImages, FloatControlTakesItsBackgroundImageSize)
{
    ScratchFolder folder;
    const std::wstring path = folder.WriteFile(L"badge.bmp", QuadrantBmp(12, 8));
    const std::wstring image = L" bkimage=\"file='" + path + L"'\"";
    PaintedLayout layout(L"<Control name=\"sized\" float=\"true\" pos=\"30,20,30,20\"" + image + L" />" +
                         L"<Control name=\"given\" float=\"true\" pos=\"100,20,140,30\"" + image + L" />");
    CControlUI* sized = layout.Find(L"sized");
    CControlUI* given = layout.Find(L"given");
    ASSERT_NE(sized, nullptr);
    ASSERT_NE(given, nullptr);
    EXPECT_EQ(sized->GetFixedWidth(), 12);
    EXPECT_EQ(sized->GetFixedHeight(), 8);
    EXPECT_EQ(sized->GetPos(), (RECT{30, 20, 42, 28}));
    EXPECT_EQ(given->GetPos(), (RECT{100, 20, 140, 30}));

    layout.Paint(RECT{0, 0, 90, 300});
    EXPECT_EQ(layout.canvas.BoundsOfOther(kWhite), (RECT{30, 20, 42, 28}));
    layout.ExpectPixels({{30, 20, kRed}, {36, 20, kGreen}, {30, 24, kBlue}, {41, 27, 0}});
}

TEST(ControlPaintImages, ControlInTheFlowKeepsItsLayoutSize)
{
    ScratchFolder folder;
    const std::wstring path = folder.WriteFile(L"badge.bmp", QuadrantBmp(12, 8));
    PaintedLayout layout(L"<Control name=\"flow\" bkimage=\"file='" + path + L"'\" />");
    CControlUI* flow = layout.Find(L"flow");
    ASSERT_NE(flow, nullptr);
    EXPECT_EQ(flow->GetFixedWidth(), 0);
    EXPECT_EQ(flow->GetPos(), kWholeWindow);
}

// ---- Borders --------------------------------------------------------------------

struct BorderCase
{
    LPCWSTR attributes;
    bool focused;
    std::vector<Pixel> pixels;  // of a control at (10, 10, 50, 40)
};

TEST(ControlPaintBorder, SizesColoursFocusAndRounding)
{
    const BorderCase cases[] = {
        // One frame of two pixels inside the control.
        {L"bordersize=\"2\" bordercolor=\"#FFFF0000\"",
         false,
         {{10, 10, kRed},
          {11, 11, kRed},
          {12, 12, kWhite},
          {49, 39, kRed},
          {48, 38, kRed},
          {47, 37, kWhite},
          {9, 20, kWhite},
          {50, 20, kWhite},
          {30, 9, kWhite},
          {30, 40, kWhite}}},
        // Four lines, each as wide as its side.
        {L"bordersize=\"1,2,3,4\" bordercolor=\"#FFFF0000\"",
         false,
         {{10, 25, kRed},
          {11, 25, kWhite},
          {30, 10, kRed},
          {30, 11, kRed},
          {30, 12, kWhite},
          {49, 25, kRed},
          {47, 25, kRed},
          {46, 25, kWhite},
          {30, 39, kRed},
          {30, 36, kRed},
          {30, 35, kWhite}}},
        // Black is drawn as near-black.
        {L"bordersize=\"1\" bordercolor=\"#FF000000\"", false, {{10, 20, 0x000001}, {49, 20, 0x000001}}},
        // The focus colour only while focused.
        {L"bordersize=\"1\" bordercolor=\"#FFFF0000\" focusbordercolor=\"#FF0000FF\"", false, {{10, 20, kRed}}},
        {L"bordersize=\"1\" bordercolor=\"#FFFF0000\" focusbordercolor=\"#FF0000FF\"", true, {{10, 20, kBlue}}},
        {L"bordersize=\"1\" bordercolor=\"#FFFF0000\"", true, {{10, 20, kRed}}},
        // No colour or no width: no border.
        {L"bordersize=\"1\"", false, {{10, 20, kWhite}, {30, 10, kWhite}}},
        {L"bordersize=\"0\" bordercolor=\"#FFFF0000\"", false, {{10, 20, kWhite}, {30, 10, kWhite}}},
        // Rounded: the frame leaves the corners and takes the left width.
        {L"bordersize=\"2,5,5,5\" borderround=\"12,12\" bordercolor=\"#FFFF0000\"",
         false,
         {{10, 10, kWhite},
          {49, 39, kWhite},
          {30, 10, kRed},
          {30, 11, kRed},
          {30, 12, kWhite},
          {10, 25, kRed},
          {12, 25, kWhite}}},
    };
    PaintedLayout layout;
    for (const BorderCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.attributes << (c.focused ? " focused" : ""));
        layout.Load(ControlAt(10, 10, 40, 30, c.attributes));
        if (c.focused) {
            layout.Find(L"c")->SetFocus();
            ASSERT_TRUE(layout.Find(L"c")->IsFocused());
        }
        layout.Paint();
        layout.ExpectPixels(c.pixels);
    }
}

// ---- Rounded corners ------------------------------------------------------------

TEST(ControlPaintRounding, RoundedControlPaintsNothingInItsCornersAndReleasesTheClip)
{
    PaintedLayout layout(ControlAt(10, 10, 40, 40, L"bkcolor=\"#FFFF0000\" borderround=\"16,16\"") +
                         ControlAt(60, 10, 40, 40, L"bkcolor=\"#FF00FF00\"", L"square"));
    layout.Paint();
    layout.ExpectPixels({{10, 10, kWhite},
                         {49, 10, kWhite},
                         {10, 49, kWhite},
                         {49, 49, kWhite},
                         {30, 30, kRed},
                         {10, 30, kRed},
                         {30, 10, kRed},
                         {49, 30, kRed},
                         {30, 49, kRed},
                         // the next control is not clipped by the first one's corners
                         {60, 10, kGreen},
                         {99, 49, kGreen}});

    // Painting only part of the control clips to that part as well.
    layout.Paint(RECT{0, 0, 30, 300});
    EXPECT_EQ(layout.canvas.BoundsOfOther(kWhite), (RECT{10, 10, 30, 50}));
    layout.ExpectPixels({{10, 10, kWhite}, {20, 30, kRed}});
}

}  // namespace
