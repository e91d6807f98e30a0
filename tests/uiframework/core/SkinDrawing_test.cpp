#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/ClipGuard.h"
#include "DibCanvas.h"
#include "GeometryText.h"
#include "core/ImageDrawInfo.h"
#include "ScratchFolder.h"
#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"

using namespace CalUI;

namespace {

constexpr DWORD kWhite = 0xFFFFFF;
constexpr RECT kNoBands = {0, 0, 0, 0};

// Channels within one step of each other: the platform's blending rounds.
void ExpectNearRgb(DWORD actual, DWORD expected)
{
    for (int shift : {16, 8, 0})
        EXPECT_LE(std::abs(int((actual >> shift) & 0xFF) - int((expected >> shift) & 0xFF)), 1)
            << std::hex << "actual " << actual << " expected " << expected;
}

// An owned bitmap of the fixture.
struct Bitmap
{
    explicit Bitmap(HBITMAP h) : handle(h) {}
    ~Bitmap() { DeleteObject(handle); }
    HBITMAP handle;
};

// ---- Image attribute strings ------------------------------------------------

struct ParseCase
{
    LPCWSTR text;
    LPCWSTR name;
    RECT corners;
    LPCWSTR type;  // what the image table is asked with; null for a file
};

TEST(ImageAttributeString, NameTypeAndBands)
{
    const ParseCase cases[] = {
        {L"file='img\\msgokbtn.png' corner='15,15,15,15' ", L"img\\msgokbtn.png", {15, 15, 15, 15}, nullptr},
        {L"img/close nor.png", L"img/close nor.png", kNoBands, nullptr},
        {L"file='a.png',corner='1,2,3,4'", L"a.png", kNoBands, nullptr},
        {L"file='a.png' scale9='1,2,3,4'", L"a.png", {1, 2, 3, 4}, nullptr},
        {L"  file = 'a.png'  corner='1'", L"a.png", {1, 0, 0, 0}, nullptr},
        {L"file='a.png' corner='1,2", L"a.png", kNoBands, nullptr},
        {L"file='' corner='1,2,3,4'", L"file='' corner='1,2,3,4'", {1, 2, 3, 4}, nullptr},
        {L"File='a.png'", L"File='a.png'", kNoBands, nullptr},
        {L"res='101' restype='PNG'", L"101", kNoBands, L"PNG"},
        {L"file='a.png' restype='PNG'", L"a.png", kNoBands, nullptr},
        {L"color='#80FF0000'", L"#80FF0000", kNoBands, L"*COLOR*"},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "text " << std::wstring(c.text).size());
        ImageDrawInfo info;
        info.attributeText = c.text;
        ImageLoadRequest request = info.Parse();
        EXPECT_STREQ(info.imageName, c.name);
        EXPECT_EQ(RectText(info.corners), RectText(c.corners));
        if (c.type == nullptr)
            EXPECT_EQ(request.Type(), nullptr);
        else
            EXPECT_STREQ(request.Type(), c.type);
    }
}

TEST(ImageAttributeString, DrawingFieldsLoadSettingsAndClear)
{
    ImageDrawInfo info;
    info.attributeText = L"file='a.png' dest='0,3,24,27' source='1,2' fade='300' hole='true' "
                         L"xtiled='true' ytiled='yes' mask='#FFFF00FF' hsl='true'";
    ImageLoadRequest request = info.Parse();
    EXPECT_EQ(RectText(info.dest), "0,3,24,27");
    EXPECT_EQ(RectText(info.source), "1,2,0,0");
    EXPECT_EQ(info.fade, 300 & 0xFF);
    EXPECT_TRUE(info.hole);
    EXPECT_TRUE(info.xTiled);
    EXPECT_FALSE(info.yTiled);
    EXPECT_EQ(request.mask, 0xFFFF00FFu);
    EXPECT_TRUE(request.hsl);

    info.parsed = true;
    info.Clear();
    EXPECT_TRUE(info.attributeText.IsEmpty());
    EXPECT_TRUE(info.imageName.IsEmpty());
    EXPECT_FALSE(info.parsed);
    EXPECT_EQ(info.fade, 255);
    EXPECT_EQ(RectText(info.dest), "0,0,0,0");
    EXPECT_FALSE(info.hole || info.xTiled || info.yTiled);
}

// ---- Drawing by attribute string ----------------------------------------------

TEST(DrawImageAttr, DestinationOffsetsAreCutToTheControl)
{
    CWindowManagerUI manager;
    const RECT control = {10, 10, 110, 40};
    struct Case
    {
        LPCWSTR attribute;
        const char* drawn;
    } cases[] = {
        {L"color='#FF00FF00'", "10,10,110,40"},
        {L"color='#FF00FF00' dest='0,3,24,27'", "10,13,34,37"},
        {L"color='#FF00FF00' dest='0,0,200,50'", "10,10,110,40"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.drawn);
        DibCanvas canvas(200, 100);
        ImageDrawInfo info;
        info.attributeText = c.attribute;
        EXPECT_TRUE(CSkinPainter::DrawImageAttr(canvas.dc(), &manager, control, RECT{0, 0, 200, 100}, info));
        EXPECT_EQ(RectText(canvas.BoundsOfOther(kWhite)), c.drawn);
        EXPECT_EQ(canvas.Rgb(20, 20), 0x00FF00u);
    }
}

TEST(DrawImageAttr, LoadsOnceAndKeepsAFailedLoadUntilCleared)
{
    CWindowManagerUI manager;
    DibCanvas canvas(40, 40);
    const RECT control = {0, 0, 20, 20};
    ImageDrawInfo info;
    EXPECT_FALSE(CSkinPainter::DrawImageAttr(canvas.dc(), &manager, control, control, info));  // empty text

    info.Clear();
    info.attributeText = L"file='no such image.png'";
    EXPECT_FALSE(CSkinPainter::DrawImageAttr(canvas.dc(), &manager, control, control, info));
    EXPECT_TRUE(info.parsed);
    info.attributeText = L"color='#FF0000FF'";  // not seen: the record remembers the failure
    EXPECT_FALSE(CSkinPainter::DrawImageAttr(canvas.dc(), &manager, control, control, info));

    info.Clear();
    info.attributeText = L"color='#FF0000FF' fade='128'";
    EXPECT_TRUE(CSkinPainter::DrawImageAttr(nullptr, &manager, control, control, info));  // loads only
    ASSERT_NE(info.image, nullptr);
    EXPECT_EQ(RectText(info.source), "0,0,0,0") << "all of the image, whatever its size";
    EXPECT_EQ(canvas.Count(RECT{0, 0, 40, 40}, kWhite), 1600);
    EXPECT_TRUE(CSkinPainter::DrawImageAttr(canvas.dc(), &manager, control, control, info));
    ExpectNearRgb(canvas.Rgb(5, 5), 0x7F7FFF);
    EXPECT_TRUE(CSkinPainter::DrawImageAttr(canvas.dc(), nullptr, control, control, info));
}

// A colour that starts with a digit once went to the resources as a number
// and drew nothing.
TEST(DrawImageAttr, AColourIsAColourWithOrWithoutItsHash)
{
    CWindowManagerUI manager;
    const RECT control = {0, 0, 20, 20};
    for (LPCWSTR attribute :
         {L"color='#80FF0000'", L"color='80FF0000'", L"color='0x80FF0000'", L"color='0X80FF0000'"}) {
        SCOPED_TRACE(testing::Message() << "spelling " << std::wstring(attribute).size());
        DibCanvas canvas(40, 40);
        ImageDrawInfo info;
        info.attributeText = attribute;
        EXPECT_TRUE(CSkinPainter::DrawImageAttr(canvas.dc(), &manager, control, control, info));
        ExpectNearRgb(canvas.Rgb(5, 5), 0xFF7F7F);  // half red over white
        EXPECT_EQ(canvas.Rgb(30, 30), kWhite);
    }
}

TEST(DrawImageAttr, DrawsThePartOfAnImageFileNamedBySource)
{
    ScratchFolder folder;
    const std::wstring path = folder.WriteFile(L"strip.bmp", BmpFileBytes(30, 10, [](int x, int) {
                                                   return x < 10 ? 0xFF0000 : x < 20 ? 0x00FF00 : 0x0000FF;
                                               }));
    CWindowManagerUI manager;
    DibCanvas canvas(40, 40);
    ImageDrawInfo info;
    info.attributeText = (L"file='" + path + L"' source='10,0,20,10'").c_str();
    const RECT control = {0, 0, 20, 20};
    ASSERT_TRUE(CSkinPainter::DrawImageAttr(canvas.dc(), &manager, control, control, info));
    EXPECT_EQ(canvas.Count(control, 0x00FF00), 400);
}

// ---- Bitmaps ------------------------------------------------------------------

// A 30 x 30 bitmap in nine flat regions of 10 x 10, each its own colour.
DWORD NineRegionColor(int column, int row)
{
    return 0xFF000000 | (0x40 + column * 0x50) << 16 | (0x40 + row * 0x50) << 8 | 0x20;
}

int BandOf(int position, int extent, int before, int after)
{
    return position < before ? 0 : position >= extent - after ? 2 : 1;
}

TEST(DrawBitmap, NineGridKeepsCornersAndStretchesBandsOnBothPaths)
{
    Bitmap image(MakeBitmap(30, 30, [](int x, int y) { return NineRegionColor(x / 10, y / 10); }));
    for (bool alpha : {false, true}) {
        SCOPED_TRACE(alpha ? "blended" : "copied");
        DibCanvas canvas(100, 50);
        RECT dest = {0, 0, 100, 50};
        CSkinPainter::DrawBitmap(canvas.dc(), image.handle, dest, dest, RECT{0, 0, 30, 30}, RECT{10, 10, 10, 10},
                                 alpha);
        int wrong = 0;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 100; ++x)
                wrong +=
                    canvas.Rgb(x, y) != (NineRegionColor(BandOf(x, 100, 10, 10), BandOf(y, 50, 10, 10)) & 0xFFFFFF);
        EXPECT_EQ(wrong, 0);
    }
}

TEST(DrawBitmap, HoleAndPiecesWithoutSizeLeaveTheMiddleAlone)
{
    Bitmap image(MakeBitmap(30, 30, [](int x, int y) { return NineRegionColor(x / 10, y / 10); }));
    RECT dest = {0, 0, 100, 60};
    struct Case
    {
        const char* name;
        RECT corners;
        bool hole;
    } cases[] = {
        {"hole", {10, 10, 10, 10}, true},
        // Bands wider than the source leave a source middle of -10: drawing it
        // would mirror columns 10..20 into the destination middle.
        {"bands wider than the source", {20, 20, 20, 20}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DibCanvas canvas(100, 60);
        CSkinPainter::DrawBitmap(canvas.dc(), image.handle, dest, dest, RECT{0, 0, 30, 30}, c.corners, false, 255,
                                 c.hole);
        RECT middle = {c.corners.left, c.corners.top, 100 - c.corners.right, 60 - c.corners.bottom};
        EXPECT_EQ(canvas.Count(middle, kWhite), (middle.right - middle.left) * (middle.bottom - middle.top));
        EXPECT_EQ(canvas.Rgb(0, 0), NineRegionColor(0, 0) & 0xFFFFFF);
        EXPECT_EQ(canvas.Rgb(99, 59), NineRegionColor(2, 2) & 0xFFFFFF);
    }
}

// A 30 x 20 bitmap whose every pixel tells its own position.
DWORD PositionColor(int x, int y) { return 0xFF000000 | (x * 8) << 16 | (y * 12) << 8 | 0x40; }

TEST(DrawBitmap, TilingRepeatsTheSourceMiddleAndCutsTheLastTile)
{
    Bitmap image(MakeBitmap(30, 20, PositionColor));
    struct Case
    {
        const char* name;
        bool xTiled, yTiled;
        RECT dest;
    } cases[] = {
        {"xtiled: four tiles, the last 10 wide", true, false, {0, 0, 100, 20}},
        {"ytiled: three rows, the last 10 high", false, true, {0, 0, 30, 50}},
        {"both: unscaled tiles cut at both edges", true, true, {0, 0, 100, 50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DibCanvas canvas(100, 50);
        CSkinPainter::DrawBitmap(canvas.dc(), image.handle, c.dest, c.dest, RECT{0, 0, 30, 20}, kNoBands, false, 255,
                                 false, c.xTiled, c.yTiled);
        int wrong = 0;
        for (int y = c.dest.top; y < c.dest.bottom; ++y)
            for (int x = c.dest.left; x < c.dest.right; ++x)
                wrong += canvas.Rgb(x, y) != (PositionColor(x % 30, y % 20) & 0xFFFFFF);
        EXPECT_EQ(wrong, 0);
    }
}

TEST(DrawBitmap, OnlyWhatMeetsThePaintRectangleIsDrawn)
{
    Bitmap image(MakeBitmap(30, 20, PositionColor));
    DibCanvas canvas(100, 50);
    RECT dest = {0, 0, 100, 20};
    CSkinPainter::DrawBitmap(canvas.dc(), image.handle, dest, RECT{0, 0, 10, 10}, RECT{0, 0, 30, 20}, kNoBands, false,
                             255, false, true, false);
    EXPECT_EQ(RectText(canvas.BoundsOfOther(kWhite)), "0,0,30,20");

    // An unscaled copy without bands: only the visible part, from the matching
    // part of the source.
    canvas.Fill(0x00FFFFFF);
    RECT placed = {40, 10, 70, 30};
    CSkinPainter::DrawBitmap(canvas.dc(), image.handle, placed, RECT{50, 15, 100, 50}, RECT{0, 0, 30, 20}, kNoBands,
                             false);
    EXPECT_EQ(RectText(canvas.BoundsOfOther(kWhite)), "50,15,70,30");
    EXPECT_EQ(canvas.Rgb(50, 15), PositionColor(10, 5) & 0xFFFFFF);
    EXPECT_EQ(canvas.Rgb(69, 29), PositionColor(29, 19) & 0xFFFFFF);
}

TEST(DrawBitmap, FadeBlendsAnOpaqueImageAndAlphaIsHonoured)
{
    Bitmap red(MakeBitmap(4, 4, [](int, int) { return 0xFFFF0000; }));
    Bitmap halfBlack(MakeBitmap(4, 4, [](int, int) { return 0x80000000; }));
    DibCanvas canvas(8, 4);
    RECT left = {0, 0, 4, 4};
    RECT right = {4, 0, 8, 4};
    CSkinPainter::DrawBitmap(canvas.dc(), red.handle, left, left, RECT{0, 0, 4, 4}, kNoBands, false, 128);
    CSkinPainter::DrawBitmap(canvas.dc(), halfBlack.handle, right, right, RECT{0, 0, 4, 4}, kNoBands, true);
    ExpectNearRgb(canvas.Rgb(1, 1), 0xFF7F7F);
    ExpectNearRgb(canvas.Rgb(5, 1), 0x7F7F7F);
}

TEST(DrawBitmap, FallbackBlendsUnpremultipliedSourceOverTheDestination)
{
    Bitmap source(MakeBitmap(2, 2, [](int, int) { return 0x80FF0000; }));
    DibCanvas canvas(4, 4);
    HDC sourceDC = CreateCompatibleDC(canvas.dc());
    HGDIOBJ old = SelectObject(sourceDC, source.handle);
    // Stretched 2 x 2 -> 4 x 4 at opacity 128 of 255: white keeps 127 of its
    // 255 exactly, and red gains 128.
    EXPECT_TRUE(CSkinPainter::AlphaBlendFallback(canvas.dc(), 0, 0, 4, 4, sourceDC, 0, 0, 2, 2,
                                                 BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}));
    EXPECT_EQ(canvas.Rgb(3, 3), 0xFF7F7Fu);
    EXPECT_FALSE(CSkinPainter::AlphaBlendFallback(canvas.dc(), 0, 0, 0, 4, sourceDC, 0, 0, 2, 2,
                                                  BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}));
    // Without per-pixel alpha only the constant opacity counts.
    EXPECT_TRUE(CSkinPainter::AlphaBlendFallback(canvas.dc(), 0, 0, 4, 4, sourceDC, 0, 0, 2, 2,
                                                 BLENDFUNCTION{AC_SRC_OVER, 0, 0, 0}));
    EXPECT_EQ(canvas.Rgb(3, 3), 0xFF7F7Fu);
    SelectObject(sourceDC, old);
    DeleteDC(sourceDC);
}

// ---- Fills and outlines -------------------------------------------------------

TEST(FillSolidColor, BlendsByTheColoursAlpha)
{
    DibCanvas canvas(30, 10);
    CSkinPainter::FillSolidColor(canvas.dc(), RECT{0, 0, 10, 10}, 0x00FF0000);
    CSkinPainter::FillSolidColor(canvas.dc(), RECT{10, 0, 20, 10}, 0x80000000);
    CSkinPainter::FillSolidColor(canvas.dc(), RECT{20, 0, 30, 10}, 0xFF00FF00);
    EXPECT_EQ(canvas.Count(RECT{0, 0, 10, 10}, kWhite), 100);
    ExpectNearRgb(canvas.Rgb(15, 5), 0x7F7F7F);
    EXPECT_EQ(canvas.Count(RECT{20, 0, 30, 10}, 0x00FF00), 100);
}

// A 32-bit surface, bottom-up as the paint manager's off-screen bitmap or
// top-down, whose every byte can be compared; rows from kFillRows on are
// never filled.
class PixelSurface
{
public:
    static constexpr int kWidth = 256;
    static constexpr int kFillRows = 16;

    explicit PixelSurface(bool bottomUp) : m_dc(CreateCompatibleDC(nullptr))
    {
        BYTE* bits = nullptr;
        m_bitmap = CSkinPainter::CreateARGB32Bitmap(m_dc, kWidth, bottomUp ? kFillRows + 4 : -(kFillRows + 4), &bits);
        m_pixels = reinterpret_cast<DWORD*>(bits);
        m_old = SelectObject(m_dc, m_bitmap);
        // Every alpha with unrelated colours, as blended images and plain GDI
        // output leave them behind.
        for (int i = 0; i < kWidth * (kFillRows + 4); ++i)
            m_pixels[i] = DWORD(i % kWidth) << 24 | (i * 7 & 0xFF) << 16 | (i * 29 & 0xFF) << 8 | (i * 5 & 0xFF);
    }
    ~PixelSurface()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }

    HDC dc() const { return m_dc; }
    const DWORD* pixels() const { return m_pixels; }

    // Adds a pixel outside the filled rows to the clipping, so that the
    // clipping is no longer one rectangle while the fill sees no difference.
    void AddFarPixelToClip()
    {
        HRGN outside = CreateRectRgn(0, kFillRows + 3, 1, kFillRows + 4);
        HRGN current = CreateRectRgn(0, 0, 0, 0);
        if (GetClipRgn(m_dc, current) != 1)
            SetRectRgn(current, 0, 0, kWidth, kFillRows);
        CombineRgn(current, current, outside, RGN_OR);
        SelectClipRgn(m_dc, current);
        DeleteObject(outside);
        DeleteObject(current);
    }

private:
    HDC m_dc;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_pixels = nullptr;
};

// Drawing on a surface may bypass GDI under a clipping of one rectangle;
// whatever path it takes, every byte, alpha included, must be what GDI gives
// under the same clipping, on either orientation.
void ExpectSameAsGdi(const std::function<void(HDC)>& draw, const std::string& what)
{
    struct ClipCase
    {
        const char* name;
        std::function<void(HDC, CClipGuard&)> clip;
    };
    const ClipCase clips[] = {
        {"no clip", [](HDC, CClipGuard&) {}},
        {"clip rectangle",
         [](HDC dc, CClipGuard& g) {
             CClipGuard::ClipRect(dc, RECT{10, 2, 200, 14}, g);
         }},
        {"shifted origin",
         [](HDC dc, CClipGuard& g) {
             SetWindowOrgEx(dc, -5, 3, nullptr);
             CClipGuard::ClipRect(dc, RECT{0, 0, 240, 11}, g);
         }},
        {"rounded clip",
         [](HDC dc, CClipGuard& g) {
             CClipGuard::ClipRoundRect(dc, RECT{0, 0, 256, 16}, RECT{2, 0, 120, 15}, 12, 12, g);
         }},
        {"clip outside the drawing",
         [](HDC dc, CClipGuard& g) {
             CClipGuard::ClipRect(dc, RECT{0, 17, 9, 19}, g);
         }},
    };
    for (const ClipCase& c : clips) {
        for (bool bottomUp : {true, false}) {
            PixelSurface direct(bottomUp), reference(bottomUp);
            CClipGuard directClip, referenceClip;
            c.clip(direct.dc(), directClip);
            c.clip(reference.dc(), referenceClip);
            reference.AddFarPixelToClip();
            draw(direct.dc());
            draw(reference.dc());
            int differing = 0;
            for (int i = 0; i < PixelSurface::kWidth * (PixelSurface::kFillRows + 4); ++i)
                differing += direct.pixels()[i] != reference.pixels()[i];
            EXPECT_EQ(differing, 0) << what << ", " << c.name << (bottomUp ? ", bottom-up" : ", top-down");
        }
    }
}

std::string Hex(DWORD value)
{
    char text[16];
    snprintf(text, sizeof(text), "%08lX", static_cast<unsigned long>(value));
    return text;
}

TEST(FillSolidColor, EveryClipAndColourGivesWhatGdiDraws)
{
    const RECT fill = {3, 1, PixelSurface::kWidth - 2, PixelSurface::kFillRows};
    for (DWORD colour : std::initializer_list<DWORD>{0xFF123456, 0xFF000000, 0xC0A0B0C0, 0x80000000, 0x7F00FF00,
                                                     0xFEFF8040, 0x01FFFFFF})
        ExpectSameAsGdi([&](HDC dc) { CSkinPainter::FillSolidColor(dc, fill, colour); }, "colour " + Hex(colour));
}

// The fallback stands in for the platform's AlphaBlend, so it must give the
// very bytes that the platform gives on this machine, alpha included, over
// every alpha and colour of the destination. Colour channels of 0 and 255 have
// exact premultiplied forms (0 and the alpha), which the platform is given.
TEST(DrawBitmap, FallbackGivesWhatThePlatformsAlphaBlendGives)
{
    constexpr int kRows = PixelSurface::kFillRows + 4;
    auto unpremultiplied = [](int x, int y) {
        const DWORD alpha = (x * 37 + y * 91) & 0xFF;
        return alpha << 24 | (x & 1 ? 0xFF0000 : 0) | (y & 1 ? 0xFF00 : 0) | ((x ^ y) & 2 ? 0xFF : 0);
    };
    auto premultiplied = [&](int x, int y) {
        const DWORD pixel = unpremultiplied(x, y), alpha = pixel >> 24;
        return alpha << 24 | (pixel & 0xFF0000 ? alpha << 16 : 0) | (pixel & 0xFF00 ? alpha << 8 : 0) |
               (pixel & 0xFF ? alpha : 0);
    };
    Bitmap plain(MakeBitmap(PixelSurface::kWidth, kRows, unpremultiplied));
    Bitmap multiplied(MakeBitmap(PixelSurface::kWidth, kRows, premultiplied));
    for (BYTE format : {BYTE(AC_SRC_ALPHA), BYTE(0)}) {
        for (BYTE opacity : {255, 254, 200, 128, 127, 1}) {
            SCOPED_TRACE(testing::Message() << "format " << int(format) << ", opacity " << int(opacity));
            const BLENDFUNCTION blend = {AC_SRC_OVER, 0, opacity, format};
            PixelSurface fallback(false), platform(false);
            HDC source = CreateCompatibleDC(nullptr);
            // Without per-pixel alpha the platform reads the colours as they are.
            HGDIOBJ old = SelectObject(source, format != 0 ? multiplied.handle : plain.handle);
            ASSERT_TRUE(AlphaBlend(platform.dc(), 0, 0, PixelSurface::kWidth, kRows, source, 0, 0, PixelSurface::kWidth,
                                   kRows, blend));
            SelectObject(source, plain.handle);
            ASSERT_TRUE(CSkinPainter::AlphaBlendFallback(fallback.dc(), 0, 0, PixelSurface::kWidth, kRows, source, 0, 0,
                                                         PixelSurface::kWidth, kRows, blend));
            SelectObject(source, old);
            DeleteDC(source);
            GdiFlush();
            int differing = 0;
            for (int i = 0; i < PixelSurface::kWidth * kRows; ++i) {
                if (fallback.pixels()[i] != platform.pixels()[i] && differing++ == 0)
                    ADD_FAILURE() << "pixel " << i << ": fallback " << Hex(fallback.pixels()[i]) << ", platform "
                                  << Hex(platform.pixels()[i]);
            }
            EXPECT_EQ(differing, 0);
        }
    }
}

TEST(FillGradient, RunsFromTheFirstColourToTheSecond)
{
    // One step of a 64-pixel gradient from 0 to 255 is about 4.
    auto expectWithinOneStep = [](DWORD actual, DWORD expected) {
        for (int shift : {16, 8, 0})
            EXPECT_LE(std::abs(int((actual >> shift) & 0xFF) - int((expected >> shift) & 0xFF)), 5)
                << std::hex << actual;
    };
    DibCanvas canvas(64, 96);
    CSkinPainter::FillGradient(canvas.dc(), RECT{0, 0, 64, 32}, 0xFF000000, 0xFF0000FF, false, 64);
    expectWithinOneStep(canvas.Rgb(0, 10), 0x000000);
    expectWithinOneStep(canvas.Rgb(63, 10), 0x0000FF);
    EXPECT_LT(canvas.Rgb(20, 10), canvas.Rgb(40, 10));

    CSkinPainter::FillGradient(canvas.dc(), RECT{0, 32, 64, 96}, 0xFFFF0000, 0xFF00FF00, true, 64);
    expectWithinOneStep(canvas.Rgb(5, 32), 0xFF0000);
    expectWithinOneStep(canvas.Rgb(5, 95), 0x00FF00);
    EXPECT_GT(canvas.Rgb(5, 50) & 0xFF0000, canvas.Rgb(5, 80) & 0xFF0000);
}

TEST(FillGradient, BlackIsDrawnAsNearBlack)
{
    DibCanvas canvas(16, 16);
    CSkinPainter::FillGradient(canvas.dc(), RECT{0, 0, 16, 16}, 0xFF000000, 0xFF000000, true, 64);
    EXPECT_EQ(canvas.Count(RECT{0, 0, 16, 16}, 0x000001), 256);
}

TEST(FillGradient, TranslucentColoursBlendAtTheirMeanAlphaAndTransparentOnesDrawNothing)
{
    DibCanvas canvas(20, 10);
    CSkinPainter::FillGradient(canvas.dc(), RECT{0, 0, 10, 10}, 0x40FF0000, 0xC0FF0000, true, 64);
    CSkinPainter::FillGradient(canvas.dc(), RECT{10, 0, 20, 10}, 0x00FF0000, 0x01FF0000, true, 64);
    ExpectNearRgb(canvas.Rgb(5, 5), 0xFF7F7F);
    EXPECT_EQ(canvas.Count(RECT{10, 0, 20, 10}, kWhite), 100);
}

TEST(Outlines, BlackBecomesNearBlackAndFramesStayInside)
{
    DibCanvas canvas(40, 40);
    CSkinPainter::DrawRectFrame(canvas.dc(), RECT{0, 0, 10, 10}, 1, 0, PS_SOLID);
    EXPECT_EQ(canvas.Rgb(0, 0), 0x000001u);
    EXPECT_EQ(canvas.Rgb(9, 9), 0x000001u);
    EXPECT_EQ(canvas.Rgb(5, 5), kWhite);

    CSkinPainter::DrawRectFrame(canvas.dc(), RECT{10, 10, 30, 30}, 3, 0xFF000000, PS_SOLID);
    EXPECT_EQ(canvas.Count(RECT{12, 10, 28, 13}, 0x000001), 48);
    EXPECT_EQ(canvas.Rgb(13, 13), kWhite);
    EXPECT_EQ(canvas.Rgb(30, 20), kWhite);
    EXPECT_EQ(canvas.Rgb(20, 30), kWhite);

    CSkinPainter::DrawLineSegment(canvas.dc(), RECT{0, 35, 40, 35}, 1, 0xFF00FF00, PS_SOLID);
    EXPECT_EQ(canvas.Count(RECT{0, 35, 40, 36}, 0x00FF00), 40);
}

TEST(Outlines, OnePixelFramesOfEverySizeGiveWhatGdiDraws)
{
    const RECT frames[] = {{3, 1, 250, 16}, {20, 3, 23, 6}, {30, 3, 32, 5}, {40, 4, 41, 12}, {60, 9, 50, 2}};
    for (const RECT& frame : frames)
        for (DWORD colour : std::initializer_list<DWORD>{0xFF000000, 0x80FF8040})
            ExpectSameAsGdi([&](HDC dc) { CSkinPainter::DrawRectFrame(dc, frame, 1, colour, PS_SOLID); },
                            "frame " + RectText(frame) + " colour " + Hex(colour));
}

TEST(Outlines, DashedOnePixelFrameKeepsItsGaps)
{
    DibCanvas canvas(40, 10);
    CSkinPainter::DrawRectFrame(canvas.dc(), RECT{0, 0, 40, 10}, 1, 0xFFFF0000, PS_DOT);
    int drawn = canvas.Count(RECT{0, 0, 40, 1}, 0xFF0000);
    EXPECT_GT(drawn, 5);
    EXPECT_LT(drawn, 40);
}

TEST(Outlines, RoundRectFrameRoundsItsCorners)
{
    DibCanvas canvas(40, 40);
    CSkinPainter::DrawRoundRectFrame(canvas.dc(), RECT{0, 0, 40, 40}, 2, 16, 16, 0xFF0000FF, PS_SOLID);
    EXPECT_EQ(canvas.Rgb(0, 0), kWhite);
    EXPECT_EQ(canvas.Rgb(20, 0), 0x0000FFu);
    EXPECT_EQ(canvas.Rgb(20, 1), 0x0000FFu);
    EXPECT_EQ(canvas.Rgb(20, 20), kWhite);
}

// ---- Plain text ---------------------------------------------------------------

TEST(DrawPlainText, ReplacesLanguageTokensAndDrawsBlackAsNearBlack)
{
    CWindowManagerUI manager;
    CWindowManagerUI::AddLanguageString(4711, L"Hello");
    DibCanvas direct(120, 30);
    DibCanvas tokens(120, 30);
    RECT rc = {0, 0, 120, 30};
    CSkinPainter::DrawPlainText(direct.dc(), &manager, rc, L"Hello & more", 0, -1, DT_SINGLELINE);
    rc = {0, 0, 120, 30};
    CSkinPainter::DrawPlainText(tokens.dc(), &manager, rc, L"%{4711} & more", 0, -1, DT_SINGLELINE);

    RECT all = {0, 0, 120, 30};
    EXPECT_GT(direct.Count(all, 0x000001), 20);
    EXPECT_EQ(direct.Count(all, 0x000000), 0);
    int differing = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x)
            differing += direct.Rgb(x, y) != tokens.Rgb(x, y);
    EXPECT_EQ(differing, 0);

    // The ampersand is no prefix: DT_NOPREFIX keeps it, so the text is wider
    // than the same text without it.
    RECT withAmpersand = {0, 0, 500, 30};
    RECT without = {0, 0, 500, 30};
    CSkinPainter::DrawPlainText(direct.dc(), &manager, withAmpersand, L"a&b", 0, -1, DT_CALCRECT | DT_SINGLELINE);
    CSkinPainter::DrawPlainText(direct.dc(), &manager, without, L"ab", 0, -1, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_GT(withAmpersand.right, without.right);
}

}  // namespace
