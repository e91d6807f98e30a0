// Clip guards on a DIB section: each narrows the clipping it finds, and gives
// back exactly that clipping, rounded corners included, when it ends.

#include <windows.h>

#include <gtest/gtest.h>

#include "core/ClipGuard.h"
#include "DibCanvas.h"
#include "GeometryText.h"
#include "core/SkinPainter.h"

using namespace CalUI;

namespace {

constexpr DWORD kWhite = 0xFFFFFF;
constexpr RECT kAll = {0, 0, 100, 100};

// What a fill of the whole canvas reaches under the clipping in force.
RECT Reached(DibCanvas& canvas)
{
    canvas.Fill(kWhite);
    CSkinPainter::FillSolidColor(canvas.dc(), kAll, 0xFFFF0000);
    return canvas.BoundsOfOther(kWhite);
}

TEST(ClipGuard, NestedRectanglesNarrowAndEachEndRestoresWhatItFound)
{
    DibCanvas canvas(100, 100);
    {
        CClipGuard outer;
        CClipGuard::ClipRect(canvas.dc(), RECT{10, 10, 50, 50}, outer);
        {
            CClipGuard inner;
            CClipGuard::ClipRect(canvas.dc(), RECT{30, 0, 100, 100}, inner);
            EXPECT_EQ(Reached(canvas), (RECT{30, 10, 50, 50}));
            CClipGuard::SelectOuterClip(canvas.dc(), inner);
            EXPECT_EQ(Reached(canvas), (RECT{10, 10, 50, 50}));
            CClipGuard::SelectInnerClip(canvas.dc(), inner);
            EXPECT_EQ(Reached(canvas), (RECT{30, 10, 50, 50}));
        }
        EXPECT_EQ(Reached(canvas), (RECT{10, 10, 50, 50}));
    }
    EXPECT_EQ(Reached(canvas), kAll);
    HRGN left = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(canvas.dc(), left), 0);  // no clip region was there, none is left
    DeleteObject(left);
}

TEST(ClipGuard, RoundedCornersSurviveAGuardNestedInside)
{
    DibCanvas canvas(100, 100);
    CClipGuard rounded;
    CClipGuard::ClipRoundRect(canvas.dc(), RECT{0, 0, 60, 100}, RECT{10, 10, 50, 50}, 16, 16, rounded);
    const auto expectRounded = [&] {
        EXPECT_EQ(canvas.BoundsOfOther(kWhite), (RECT{10, 10, 50, 50}));
        EXPECT_EQ(canvas.Rgb(10, 10), kWhite);
        EXPECT_EQ(canvas.Rgb(49, 49), kWhite);
        EXPECT_EQ(canvas.Rgb(30, 10), 0xFF0000u);
        EXPECT_EQ(canvas.Rgb(49, 30), 0xFF0000u);  // the right and bottom edges belong to it
        EXPECT_EQ(canvas.Rgb(30, 49), 0xFF0000u);
    };
    Reached(canvas);
    expectRounded();
    {
        CClipGuard inner;
        CClipGuard::ClipRect(canvas.dc(), RECT{30, 30, 100, 100}, inner);
        EXPECT_EQ(Reached(canvas), (RECT{30, 30, 50, 50}));
        EXPECT_EQ(canvas.Rgb(49, 49), kWhite);
    }
    Reached(canvas);
    expectRounded();
}

}  // namespace
