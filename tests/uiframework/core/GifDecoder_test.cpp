#include "core/GifDecoder.h"
#include "core/ImageDecode.h"

#include "GifBuilder.h"
#include "ScratchFolder.h"
#include "TestPaths.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace CalUI;

namespace {

struct PixelsDeleter
{
    void operator()(void* p) const { FreeImagePixels(p); }
};
using Pixels = std::unique_ptr<unsigned char, PixelsDeleter>;

// The global palette of every file here; the local one of some frames.
const std::vector<uint32_t> kGlobal = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
const std::vector<uint32_t> kLocal = {0xFFFF00, 0x00FFFF, 0xFF00FF, 0x000000};
enum : uint8_t
{
    kR,
    kG,
    kB,
    kW,
};

// Pixels written down one letter each: R G B W of the global palette, Y C M K
// of the local one, '.' for transparent.
std::string Letters(const unsigned char* rgba, size_t count)
{
    std::string out;
    for (size_t i = 0; i < count; ++i, rgba += 4) {
        const uint32_t rgb = uint32_t(rgba[0]) << 16 | uint32_t(rgba[1]) << 8 | rgba[2];
        char letter = '?';
        if (rgba[3] == 0 && rgb == 0)
            letter = '.';
        else if (rgba[3] == 0xFF)
            for (size_t c = 0; c < 4; ++c) {
                if (rgb == kGlobal[c])
                    letter = "RGBW"[c];
                else if (rgb == kLocal[c])
                    letter = "YCMK"[c];
            }
        out.push_back(letter);
    }
    return out;
}

struct Decoded
{
    Pixels pixels;
    std::unique_ptr<int, PixelsDeleter> delays;
    int width = 0, height = 0, frames = 0, loops = -1;

    explicit Decoded(const std::string& gif)
    {
        int* rawDelays = nullptr;
        pixels.reset(LoadGifFrames(reinterpret_cast<const unsigned char*>(gif.data()), int(gif.size()), &rawDelays,
                                   &width, &height, &frames, &loops));
        delays.reset(rawDelays);
    }
    // Frame i, one letter a pixel, rows one after the other.
    std::string Frame(int i) const
    {
        const size_t count = size_t(width) * height;
        return Letters(pixels.get() + count * 4 * i, count);
    }
    std::vector<std::string> All() const
    {
        std::vector<std::string> out;
        for (int i = 0; i < frames; ++i)
            out.push_back(Frame(i));
        return out;
    }
    std::vector<int> Delays() const { return std::vector<int>(delays.get(), delays.get() + frames); }
};

std::vector<uint8_t> Solid(int count, uint8_t index) { return std::vector<uint8_t>(size_t(count), index); }

// A red 4 x 2 canvas, two green pixels over it with the disposal under test,
// then one blue pixel: the third frame shows what the disposal left.
TEST(GifDecoder, EachDisposalMethodPreparesTheNextFrame)
{
    struct Case
    {
        GifDispose dispose;
        const char* third;
    };
    const Case cases[] = {
        {GifDispose::Unspecified, "RGGR"
                                  "RRRB"},
        {GifDispose::Keep, "RGGR"
                           "RRRB"},
        {GifDispose::Background, "R..R"
                                 "RRRB"},
        {GifDispose::Previous, "RRRR"
                               "RRRB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.dispose));
        const std::string gif =
            GifBuilder(4, 2, kGlobal)
                .Frame({.indices = Solid(8, kR)})
                .Frame({.indices = Solid(2, kG), .left = 1, .width = 2, .height = 1, .dispose = c.dispose})
                .Frame({.indices = {kB}, .left = 3, .top = 1, .width = 1, .height = 1})
                .Bytes();
        Decoded d(gif);
        ASSERT_TRUE(d.pixels);
        EXPECT_EQ((std::vector<std::string>{"RRRR"
                                            "RRRR",
                                            "RGGR"
                                            "RRRR",
                                            c.third}),
                  d.All());
    }
}

// Each "restore to previous" puts back the picture from before its own frame,
// however many such frames follow each other.
TEST(GifDecoder, RestoreToPreviousGoesBackToTheFrameBefore)
{
    auto dot = [](int x, uint8_t index, GifDispose dispose) {
        return GifPicture{.indices = {index}, .left = x, .width = 1, .height = 1, .dispose = dispose};
    };
    const std::string gif = GifBuilder(4, 1, kGlobal)
                                .Frame({.indices = Solid(4, kR), .dispose = GifDispose::Previous})
                                .Frame(dot(0, kG, GifDispose::Keep))
                                .Frame(dot(1, kB, GifDispose::Previous))
                                .Frame(dot(2, kW, GifDispose::Previous))
                                .Frame(dot(3, kG, GifDispose::Previous))
                                .Frame(dot(1, kW, GifDispose::Keep))
                                .Bytes();
    Decoded d(gif);
    ASSERT_TRUE(d.pixels);
    EXPECT_EQ((std::vector<std::string>{"RRRR", "G...", "GB..", "G.W.", "G..G", "GW.."}), d.All())
        << "the first frame goes back to the empty canvas";
}

// The background colour (blue here, so a red/blue swap shows) fills the
// canvas around the first frame; the frame's own area starts transparent.
// Index 0 names no background.
TEST(GifDecoder, FramesAtOffsetsOverTheBackgroundColour)
{
    struct Case
    {
        int background;
        std::vector<std::string> frames;
    };
    const Case cases[] = {
        {kB,
         {"BBBB"
          "BG.B"
          "BBBB",
          "YCMB"
          "BG.B"
          "BBBB"}},
        {kW,
         {"WWWW"
          "WG.W"
          "WWWW",
          "YCMW"
          "WG.W"
          "WWWW"}},
        {0,
         {"...."
          ".G.."
          "....",
          "YCM."
          ".G.."
          "...."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.background);
        const std::string gif =
            GifBuilder(4, 3, kGlobal, c.background)
                .Frame({.indices = {kG, kR}, .left = 1, .top = 1, .width = 2, .height = 1, .transparentIndex = kR})
                .Frame({.indices = {0, 1, 2, 3, 3, 3},
                        .width = 3,
                        .height = 2,
                        .transparentIndex = 3,
                        .localPalette = kLocal})
                .Bytes();
        Decoded d(gif);
        ASSERT_TRUE(d.pixels);
        EXPECT_EQ(4, d.width);
        EXPECT_EQ(3, d.height);
        EXPECT_EQ(c.frames, d.All());

        int width = 0, height = 0;
        Pixels still(
            DecodeImageRgba(reinterpret_cast<const unsigned char*>(gif.data()), int(gif.size()), &width, &height));
        ASSERT_TRUE(still);
        EXPECT_EQ(c.frames[0], Letters(still.get(), 12)) << "a still GIF is its first frame";
    }
}

// A control block covers only the image right after it: a frame without one
// has delay 0, keeps its transparent-looking index and is left in place.
TEST(GifDecoder, FrameWithoutControlBlockTakesNothingFromTheOneBefore)
{
    const std::string gif =
        GifBuilder(2, 1, kGlobal)
            .Frame(
                {.indices = {kR, kG}, .delayHundredths = 7, .transparentIndex = kB, .dispose = GifDispose::Background})
            .Frame({.indices = {kB}, .left = 1, .width = 1, .height = 1, .control = false})
            .Frame({.indices = {kW}, .width = 1, .height = 1, .delayHundredths = 3})
            .Bytes();
    Decoded d(gif);
    ASSERT_TRUE(d.pixels);
    EXPECT_EQ((std::vector<std::string>{"RG", ".B", "WB"}), d.All());
    EXPECT_EQ((std::vector<int>{70, 0, 30}), d.Delays());
    EXPECT_EQ(0, d.loops);
}

TEST(GifDecoder, InterlacedRowsLandInTheirPlaces)
{
    // Ten rows reach every pass; the frame sits one row down a taller canvas.
    std::vector<uint8_t> indices;
    for (uint8_t row = 0; row < 10; ++row)
        indices.insert(indices.end(), {uint8_t(row % 4), uint8_t((row / 4) % 4)});
    const std::string gif = GifBuilder(2, 12, kGlobal)
                                .Frame({.indices = indices, .top = 1, .width = 2, .height = 10, .interlaced = true})
                                .Bytes();
    Decoded d(gif);
    ASSERT_TRUE(d.pixels);
    EXPECT_EQ(".."
              "RR"
              "GR"
              "BR"
              "WR"
              "RG"
              "GG"
              "BG"
              "WG"
              "RB"
              "GB"
              "..",
              d.Frame(0));
}

TEST(GifDecoder, FileCutShortKeepsTheWholeFramesBeforeTheCut)
{
    const std::string gif = GifBuilder(2, 1, kGlobal).SolidFrame(kR, 1).SolidFrame(kG, 2).Bytes();
    struct Case
    {
        size_t keep;
        int frames;
    };
    const std::string::size_type secondControl = gif.rfind("\x21\xF9", std::string::npos);
    const Case cases[] = {
        {gif.size() - 1, 2},     // no trailer
        {secondControl + 3, 1},  // inside the second frame's control block
        {13, 0},                 // the screen without its palette
        {5, 0},                  // not even the signature
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keep);
        Decoded d(gif.substr(0, c.keep));
        if (c.frames == 0) {
            EXPECT_FALSE(d.pixels);
            continue;
        }
        ASSERT_TRUE(d.pixels);
        EXPECT_EQ(c.frames, d.frames);
        EXPECT_EQ("RR", d.Frame(0));
    }
}

TEST(GifDecoder, FramesFromAFileOfAnotherEncoder)
{
    std::string gif = ScratchFolder::ReadFile(SourceTreePath(L"tests\\fixtures\\two-frames.gif"));
    ASSERT_FALSE(gif.empty());
    Decoded d(gif);
    ASSERT_TRUE(d.pixels);
    EXPECT_EQ(2, d.width);
    EXPECT_EQ(2, d.height);
    EXPECT_EQ((std::vector<int>{100, 200}), d.Delays());
    EXPECT_EQ((std::vector<std::string>{"RGBW", "RBBG"}), d.All())
        << "the second frame's transparent pixel keeps the first frame's red";
}

bool EveryHeapIsWhole()
{
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr));
    heaps.resize(GetProcessHeaps(DWORD(heaps.size()), heaps.data()));
    for (HANDLE heap : heaps)
        if (!HeapValidate(heap, 0, nullptr))
            return false;
    return !heaps.empty();
}

// Sprites that each go back to the picture before them, on a canvas large
// enough that a read before the frames' block leaves the heap.
TEST(GifDecoder, LargeAnimationRestoringToPreviousStaysInItsBlock)
{
    const int width = 800, height = 600, frames = 30, side = 20;
    GifBuilder builder(width, height, kGlobal);
    builder.Frame({.indices = Solid(width * height, kR)});
    for (int i = 1; i < frames; ++i)
        builder.Frame({.indices = Solid(side * side, uint8_t(1 + i % 3)),
                       .left = i * 25,
                       .top = i * 18,
                       .width = side,
                       .height = side,
                       .dispose = GifDispose::Previous});
    const std::string gif = builder.Bytes();
    ASSERT_TRUE(EveryHeapIsWhole());
    Decoded d(gif);
    ASSERT_TRUE(EveryHeapIsWhole());
    ASSERT_TRUE(d.pixels);
    ASSERT_EQ(frames, d.frames);
    auto paint = [&](std::vector<unsigned char>& canvas, int left, int top, int w, int h, uint8_t index) {
        const uint32_t rgb = kGlobal[index];
        const unsigned char rgba[4] = {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 0xFF};
        for (int y = top; y < top + h; ++y)
            for (int x = left; x < left + w; ++x)
                memcpy(&canvas[(size_t(y) * width + x) * 4], rgba, 4);
    };
    std::vector<unsigned char> red(size_t(width) * height * 4);
    paint(red, 0, 0, width, height, kR);
    for (int i = 0; i < frames; ++i) {
        std::vector<unsigned char> expected = red;
        if (i > 0)
            paint(expected, i * 25, i * 18, side, side, uint8_t(1 + i % 3));
        EXPECT_EQ(0, memcmp(expected.data(), d.pixels.get() + expected.size() * i, expected.size()))
            << "frame " << i << " is the red canvas with its own sprite only";
    }
}

}  // namespace
