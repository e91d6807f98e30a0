// The progress bar: its fill read from the window's own pixels, and the
// value's limits.

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "controls/ProgressUI.h"
#include "GeometryText.h"
#include "ProgressSliderWindow.h"

using namespace CalUI;

namespace {

constexpr DWORD kFill = 0xFFFF0000;
const std::wstring kFillImage = L"foreimage=\"color='#FFFF0000'\"";

struct FillCase
{
    const wchar_t* name;
    RECT pos;
    const wchar_t* attributes;
    RECT filled;  // empty: nothing filled
};

// Every bar 200 x 20 or 20 x 80.
const FillCase kFillCases[] = {
    {L"quarter", {10, 10, 210, 30}, L"value=\"25\"", {10, 10, 60, 30}},
    {L"full", {10, 40, 210, 60}, L"value=\"100\"", {10, 40, 210, 60}},
    {L"upright", {230, 10, 250, 90}, L"hor=\"false\" value=\"25\"", {230, 70, 250, 90}},
    // Equal or crossed limits paint as if the maximum were one above the
    // minimum, with the value at the minimum.
    {L"flat", {10, 70, 210, 90}, L"min=\"10\" max=\"10\" value=\"10\"", {}},
    {L"flatupright", {260, 10, 280, 90}, L"hor=\"false\" min=\"10\" max=\"10\" value=\"10\"", {}},
    {L"crossed", {10, 100, 210, 120}, L"min=\"50\" max=\"10\" value=\"30\"", {}},
    // Ranges whose product with the length needs more than 32 bits.
    {L"billions", {10, 130, 210, 150}, L"max=\"2000000000\" value=\"1000000000\"", {10, 130, 110, 150}},
    {L"wholeint", {10, 160, 210, 180}, L"min=\"-2147483648\" max=\"2147483647\" value=\"0\"", {10, 160, 110, 180}},
    {L"billionsupright",
     {290, 10, 310, 90},
     L"hor=\"false\" max=\"2000000000\" value=\"500000000\"",
     {290, 70, 310, 90}},
};

std::wstring FillLayout()
{
    std::wstring controls;
    for (const FillCase& c : kFillCases)
        controls += FloatControl(L"Progress", c.name, c.pos, kFillImage + L" " + c.attributes);
    return controls;
}

}  // namespace

TEST(ProgressFill, TheForeImageCoversTheValuesShareFromTheLeftOrFromTheBottom)
{
    ProgressSliderWindow shown;
    shown.Load(FillLayout());
    for (const FillCase& c : kFillCases) {
        SCOPED_TRACE(testing::Message() << "progress " << std::string(c.name, c.name + wcslen(c.name)));
        ASSERT_NE(shown.Find<CProgressUI>(c.name, L"Progress"), nullptr);
        EXPECT_EQ(shown.BoundsOf(kFill, c.pos), c.filled);
        if (!IsRectEmpty(&c.filled)) {
            EXPECT_EQ(shown.Pixel(c.filled.left, c.filled.top), kFill);
        }
    }

    // Changes at run time repaint the bar.
    auto* quarter = shown.Find<CProgressUI>(L"quarter", L"Progress");
    const RECT pos = quarter->GetPos();
    quarter->SetValue(75);
    shown.Paint();
    EXPECT_EQ(shown.BoundsOf(kFill, pos), (RECT{10, 10, 160, 30}));
    quarter->SetHorizontal(false);
    shown.Paint();
    EXPECT_EQ(shown.BoundsOf(kFill, pos), (RECT{10, 15, 210, 30}));
    quarter->SetMaxValue(75);
    shown.Paint();
    EXPECT_EQ(shown.BoundsOf(kFill, pos), pos);
}

TEST(ProgressValue, SetValueLowersToTheMaximumThenRaisesToTheMinimum)
{
    struct Case
    {
        int minimum;
        int maximum;
        int value;
        int stored;
    } cases[] = {
        {0, 100, 50, 50}, {0, 100, 150, 100}, {0, 100, -5, 0},
        {10, 10, 11, 10}, {50, 10, 30, 50},  // crossed limits: the minimum wins
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.minimum << ".." << c.maximum << " value " << c.value);
        auto* progress = new CProgressUI;
        progress->SetAttribute(L"min", std::to_wstring(c.minimum).c_str());
        progress->SetAttribute(L"max", std::to_wstring(c.maximum).c_str());
        progress->SetValue(c.value);
        EXPECT_EQ(progress->GetValue(), c.stored);
        EXPECT_EQ(progress->GetMinValue(), c.minimum);
        EXPECT_EQ(progress->GetMaxValue(), c.maximum);
        progress->Delete();
    }
}
