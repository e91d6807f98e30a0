#include "core/ApngDecoder.h"
#include "core/ImageDecode.h"

#include "PngBuilder.h"

// stb_image's own PNG decoder, compiled privately into this program, is the
// reference that the framework's decoder must agree with.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb_image.h>
#pragma GCC diagnostic pop

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

using namespace CalUI;

namespace {

struct PixelsDeleter
{
    void operator()(void* p) const { FreeImagePixels(p); }
};
using Pixels = std::unique_ptr<unsigned char, PixelsDeleter>;

const uint32_t kRed = 0xFF0000FF, kGreen = 0x00FF00FF, kBlue = 0x0000FFFF, kHalfWhite = 0xFFFFFF80;

std::string Rgba(std::initializer_list<uint32_t> pixels, uint32_t width)
{
    std::vector<uint32_t> v(pixels);
    return RgbaScanlines(width, uint32_t(v.size()) / width, v.data());
}

std::vector<uint8_t> Bytes(std::initializer_list<uint32_t> rgba)
{
    std::vector<uint8_t> out;
    for (uint32_t p : rgba)
        out.insert(out.end(), {uint8_t(p >> 24), uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
    return out;
}

struct Animation
{
    Pixels block;
    const ApngFrameRecord* frames = nullptr;
    int width = 0, height = 0, frameCount = -1, playCount = -1;
    bool separateDefault = false;

    explicit Animation(const std::string& png)
    {
        block.reset(LoadApngFrames(reinterpret_cast<const unsigned char*>(png.data()), int(png.size()), &frames, &width,
                                   &height, &frameCount, &playCount, &separateDefault));
    }
    std::vector<uint8_t> At(size_t offset, size_t count) const
    {
        return std::vector<uint8_t>(block.get() + offset, block.get() + offset + count);
    }
    size_t DirectoryOffset() const
    {
        return reinterpret_cast<const unsigned char*>(frames) - block.get() - sizeof(ApngDirectoryHeader);
    }
};

// Random scanlines in every format the decoder knows, compared with the
// reference decoder pixel for pixel: filters, interlacing, bit depths,
// palettes and transparency all meet here.
TEST(Apng, DefaultImagesMatchTheReferenceDecoder)
{
    struct Format
    {
        uint8_t depth, colour, interlace;
        std::string palette, transparency;
    };
    const std::string palette("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\x80\x80\x80\x10\x20\x30", 15);
    const Format formats[] = {
        {8, 6, 0, "", ""},
        {8, 6, 1, "", ""},
        {16, 6, 0, "", ""},
        {16, 6, 1, "", ""},
        {8, 2, 0, "", std::string("\0\1\0\2\0\3", 6)},
        {16, 2, 1, "", std::string("\0\1\0\2\0\3", 6)},
        {8, 0, 0, "", std::string("\0\2", 2)},
        {1, 0, 0, "", ""},
        {2, 0, 1, "", std::string("\0\1", 2)},
        {4, 0, 0, "", ""},
        {8, 4, 0, "", ""},
        {16, 4, 1, "", ""},
        {8, 3, 0, palette, std::string("\x00\x80", 2)},
        {4, 3, 1, palette, ""},
        {2, 3, 0, palette, "\x40"},
        {1, 3, 0, palette, ""},
        {16, 0, 0, "", std::string("\x01\x02", 2)},
    };
    std::mt19937 random(7);
    for (const Format& f : formats) {
        const uint32_t width = 13, height = 7;
        // Every byte below 5 keeps filter types valid and palette indices inside the palette.
        std::string raw(height * (width * 8 + 1) * 2 + 64, '\0');
        for (char& c : raw)
            c = char(random() % 5);
        PngBuilder png;
        png.Header(width, height, f.depth, f.colour, f.interlace);
        if (!f.palette.empty())
            png.Chunk("PLTE", f.palette);
        if (!f.transparency.empty())
            png.Chunk("tRNS", f.transparency);
        png.ImageData(raw).End();
        const std::string& bytes = png.Bytes();
        auto data = reinterpret_cast<const unsigned char*>(bytes.data());

        int rw = 0, rh = 0, rn = 0, w = 0, h = 0;
        Pixels reference(stbi_load_from_memory(data, int(bytes.size()), &rw, &rh, &rn, 4));
        Pixels ours(LoadPngDefaultImage(data, int(bytes.size()), &w, &h));
        std::string label = "depth " + std::to_string(f.depth) + " colour " + std::to_string(f.colour) + " interlace " +
                            std::to_string(f.interlace);
        ASSERT_TRUE(reference) << label << ": " << stbi_failure_reason();
        ASSERT_TRUE(ours) << label << ": " << ApngFailureReason();
        ASSERT_EQ(rw, w);
        ASSERT_EQ(rh, h);
        EXPECT_EQ(0, memcmp(reference.get(), ours.get(), size_t(w) * h * 4)) << label;
    }
}

TEST(Apng, PngWithoutAnimationGivesTheDefaultImageAlone)
{
    PngBuilder png;
    png.Header(2, 1).ImageData(Rgba({kRed, kHalfWhite}, 2)).End();
    Animation a(png.Bytes());
    ASSERT_TRUE(a.block) << ApngFailureReason();
    EXPECT_EQ(nullptr, a.frames);
    EXPECT_EQ(-1, a.frameCount) << "counts are left as the caller set them";
    EXPECT_EQ(-1, a.playCount);
    EXPECT_EQ(2, a.width);
    EXPECT_EQ(Bytes({kRed, kHalfWhite}), a.At(0, 8));
}

TEST(Apng, DefaultImageAsFirstFrame)
{
    PngBuilder png;
    png.Header(2, 1)
        .AnimationControl(2, 3)
        .FrameControl(0, 2, 1, 0, 0, 1, 10, /*dispose*/ 2, /*blend*/ 1)
        .ImageData(Rgba({kRed, kGreen}, 2))
        .FrameControl(1, 1, 1, 1, 0, 3, 100, 2, 0)
        .FrameData(2, Rgba({kBlue}, 1))
        .End();
    Animation a(png.Bytes());
    ASSERT_TRUE(a.block) << ApngFailureReason();
    EXPECT_EQ(2, a.frameCount);
    EXPECT_EQ(3, a.playCount);
    EXPECT_FALSE(a.separateDefault);
    EXPECT_EQ(Bytes({kRed, kGreen, kBlue}), a.At(0, 12)) << "frame 1 follows the default image directly";
    ASSERT_EQ(12u, a.DirectoryOffset());
    EXPECT_EQ(std::vector<uint8_t>({'A', 'P', 'N', 'G', 2, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0}), a.At(12, 16));
    const ApngFrameRecord& f0 = a.frames[0];
    EXPECT_EQ(std::make_tuple(2u, 1u, 0u, 0u, 1, 10, 1, 1),
              std::make_tuple(f0.width, f0.height, f0.x_offset, f0.y_offset, int(f0.delay_num), int(f0.delay_den),
                              int(f0.dispose_op), int(f0.blend_op)))
        << "frame 0 reports dispose 'previous' as 'background'";
    const ApngFrameRecord& f1 = a.frames[1];
    EXPECT_EQ(std::make_tuple(1u, 1u, 1u, 0u, 3, 100, 2, 0),
              std::make_tuple(f1.width, f1.height, f1.x_offset, f1.y_offset, int(f1.delay_num), int(f1.delay_den),
                              int(f1.dispose_op), int(f1.blend_op)));
}

TEST(Apng, DefaultImageOutsideTheAnimation)
{
    PngBuilder png;
    png.Header(3, 1)
        .AnimationControl(1, 0)
        .ImageData(Rgba({kRed, kGreen, kBlue}, 3))
        .FrameControl(0, 1, 1, 2, 0, 5, 0, 0, 1)
        .FrameData(1, Rgba({kHalfWhite}, 1))
        .End();
    Animation a(png.Bytes());
    ASSERT_TRUE(a.block) << ApngFailureReason();
    EXPECT_TRUE(a.separateDefault);
    EXPECT_EQ(1, a.frameCount);
    EXPECT_EQ(0, a.playCount);
    EXPECT_EQ(Bytes({kRed, kGreen, kBlue, kHalfWhite}), a.At(0, 16));
    EXPECT_EQ(16u, a.DirectoryOffset()) << "16 pixel bytes need no padding";
    EXPECT_EQ(std::vector<uint8_t>({'A', 'P', 'N', 'G', 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), a.At(16, 16));
    EXPECT_EQ(std::vector<uint8_t>({1, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0, 1, 0, 0}),
              a.At(32, 24))
        << "the record ends the 56-byte block";
}

TEST(Apng, SixteenBitFramesArePackedAsEightBit)
{
    auto wide = [](std::initializer_list<uint16_t> samples) {
        std::string row(1, '\0');
        for (uint16_t s : samples)
            row += {char(s >> 8), char(s)};
        return row;
    };
    PngBuilder png;
    png.Header(1, 1, 16, 6)
        .AnimationControl(1, 0)
        .ImageData(wide({0x1234, 0xABCD, 0xFF00, 0x80FF}))
        .FrameControl(0, 1, 1, 0, 0)
        .FrameData(1, wide({0x0102, 0x0304, 0x0506, 0xFFFF}))
        .End();
    Animation a(png.Bytes());
    ASSERT_TRUE(a.block) << ApngFailureReason();
    EXPECT_EQ(std::vector<uint8_t>({0x12, 0xAB, 0xFF, 0x80, 0x01, 0x03, 0x05, 0xFF}), a.At(0, 8));
}

TEST(Apng, BrokenFilesAreRejectedWithTheirReason)
{
    const std::string one = Rgba({kRed}, 1), two = Rgba({kRed, kGreen}, 2), four = Rgba({kRed, kRed, kRed, kRed}, 4);
    struct Case
    {
        const char* reason;
        std::string png;
    };
    const Case cases[] = {
        {"invalid sequence number", PngBuilder()
                                        .Header(2, 1)
                                        .AnimationControl(2, 0)
                                        .FrameControl(0, 2, 1, 0, 0)
                                        .ImageData(two)
                                        .FrameControl(2, 1, 1, 0, 0)
                                        .FrameData(3, one)
                                        .End()
                                        .Bytes()},
        {"invalid x_offset in fcTL for default image",
         PngBuilder().Header(2, 1).AnimationControl(1, 0).FrameControl(0, 1, 1, 1, 0).ImageData(two).End().Bytes()},
        {"invalid width in fcTL for default image",
         PngBuilder().Header(2, 1).AnimationControl(1, 0).FrameControl(0, 1, 1, 0, 0).ImageData(two).End().Bytes()},
        {"missing fcTL chunks", PngBuilder()
                                    .Header(2, 1)
                                    .AnimationControl(3, 0)
                                    .FrameControl(0, 2, 1, 0, 0)
                                    .ImageData(two)
                                    .FrameControl(1, 1, 1, 0, 0)
                                    .FrameData(2, one)
                                    .End()
                                    .Bytes()},
        {"too many frames", PngBuilder()
                                .Header(2, 1)
                                .AnimationControl(1, 0)
                                .FrameControl(0, 2, 1, 0, 0)
                                .ImageData(two)
                                .FrameControl(1, 1, 1, 0, 0)
                                .End()
                                .Bytes()},
        {"fcTL before acTL", PngBuilder().Header(2, 1).FrameControl(0, 2, 1, 0, 0).ImageData(two).End().Bytes()},
        {"acTL after IDAT", PngBuilder().Header(2, 1).ImageData(two).AnimationControl(1, 0).End().Bytes()},
        {"acTL with 0 frames", PngBuilder().Header(2, 1).AnimationControl(0, 0).ImageData(two).End().Bytes()},
        {"missing fcTL",
         PngBuilder().Header(2, 1).AnimationControl(1, 0).ImageData(two).FrameData(0, one).End().Bytes()},
        {"zero width in fcTL",
         PngBuilder().Header(2, 1).AnimationControl(1, 0).ImageData(two).FrameControl(0, 0, 1, 0, 0).End().Bytes()},
        {"invalid sequence number for IDAT", PngBuilder()
                                                 .Header(2, 1)
                                                 .AnimationControl(2, 0)
                                                 .FrameControl(0, 2, 1, 0, 0)
                                                 .FrameControl(1, 2, 1, 0, 0)
                                                 .ImageData(two)
                                                 .End()
                                                 .Bytes()},
        {"invalid sequence number for IDAT", PngBuilder()
                                                 .Header(2, 1)
                                                 .AnimationControl(2, 0)
                                                 .FrameControl(0, 2, 1, 0, 0)
                                                 .ImageData(two)
                                                 .FrameControl(1, 1, 1, 0, 0)
                                                 .FrameData(2, one)
                                                 .ImageData(two)
                                                 .End()
                                                 .Bytes()},
        {"no IDAT", PngBuilder().Header(2, 1).End().Bytes()},
        {"not enough pixels", PngBuilder().Header(2, 2).ImageData(two).End().Bytes()},
        {"ABCD PNG chunk not known", PngBuilder().Header(2, 1).Chunk("ABCD", "").ImageData(two).End().Bytes()},
        {"first not IHDR", PngBuilder().ImageData(two).Header(2, 1).End().Bytes()},
        // Counts whose frame records would not fit in 32 bits.
        {"too many frames", PngBuilder().Header(2, 1).AnimationControl(0x04000001, 0).ImageData(two).End().Bytes()},
        {"too many frames", PngBuilder().Header(2, 1).AnimationControl(0xFFFFFFFF, 0).ImageData(two).End().Bytes()},
        {"duplicate acTL", PngBuilder()
                               .Header(2, 1)
                               .AnimationControl(1, 0)
                               .AnimationControl(3, 0)
                               .FrameControl(0, 2, 1, 0, 0)
                               .ImageData(two)
                               .End()
                               .Bytes()},
        // Offsets whose sum with the frame size wraps around 32 bits.
        {"fcTL out of image bounds", PngBuilder()
                                         .Header(4, 1)
                                         .AnimationControl(1, 0)
                                         .ImageData(four)
                                         .FrameControl(0, 2, 1, 0xFFFFFFFF, 0)
                                         .FrameData(1, two)
                                         .End()
                                         .Bytes()},
        {"fcTL out of image bounds", PngBuilder()
                                         .Header(4, 1)
                                         .AnimationControl(1, 0)
                                         .ImageData(four)
                                         .FrameControl(0, 1, 2, 0, 0xFFFFFFFF)
                                         .FrameData(1, one)
                                         .End()
                                         .Bytes()},
        {"fcTL out of image bounds", PngBuilder()
                                         .Header(4, 1)
                                         .AnimationControl(1, 0)
                                         .ImageData(four)
                                         .FrameControl(0, 2, 1, 3, 0)
                                         .FrameData(1, two)
                                         .End()
                                         .Bytes()},
        {"invalid fdAT", PngBuilder()
                             .Header(2, 1)
                             .AnimationControl(1, 0)
                             .ImageData(two)
                             .FrameControl(0, 1, 1, 0, 0)
                             .Chunk("fdAT", std::string("\0\0\1", 3))
                             .End()
                             .Bytes()},
        {"outofdata", PngBuilder().Header(2, 1).Bytes() + Be32Bytes(0xFFFFFFF0) + "IDAT" + "xx"},
    };
    for (const Case& c : cases) {
        Animation a(c.png);
        EXPECT_FALSE(a.block) << c.reason;
        EXPECT_STREQ(c.reason, ApngFailureReason());
        int w = 0, h = 0;
        Pixels still(
            LoadPngDefaultImage(reinterpret_cast<const unsigned char*>(c.png.data()), int(c.png.size()), &w, &h));
        EXPECT_FALSE(still) << c.reason;
    }
}

// LoadApngFrames reads the counts back only from a directory that passes
// the decoder's own check.
TEST(Apng, DirectoryWithoutItsMagicIsRefused)
{
    PngBuilder png;
    png.Header(1, 1)
        .AnimationControl(1, 0)
        .ImageData(Rgba({kRed}, 1))
        .FrameControl(0, 1, 1, 0, 0)
        .FrameData(1, Rgba({kBlue}, 1))
        .End();
    Animation a(png.Bytes());
    ASSERT_TRUE(a.block) << ApngFailureReason();
    const uint32_t offset = uint32_t(a.DirectoryOffset());
    const ApngDirectoryHeader* header = CheckApngDirectory(a.block.get(), offset);
    ASSERT_NE(nullptr, header);
    EXPECT_EQ(1u, header->frameCount);

    a.block.get()[offset] = 'X';
    testing::internal::CaptureStderr();
    EXPECT_EQ(nullptr, CheckApngDirectory(a.block.get(), offset));
    EXPECT_EQ("invalid apng directory\n", testing::internal::GetCapturedStderr());
    EXPECT_STREQ("invalid apng directory", ApngFailureReason());
}

// Four frames of 16384 x 16384 would need 4 GiB, a size that wraps to 0 in
// 32 bits. The file itself is tiny: it is refused before anything is inflated.
TEST(Apng, DirectoryTooLargeForThirtyTwoBitsIsRefused)
{
    const uint32_t side = 16384;
    PngBuilder png;
    png.Header(side, side).AnimationControl(4, 0).FrameControl(0, side, side, 0, 0).ImageData("x");
    for (uint32_t i = 1; i < 4; ++i)
        png.FrameControl(2 * i - 1, side, side, 0, 0).FrameData(2 * i, "x");
    Animation a(png.End().Bytes());
    EXPECT_FALSE(a.block);
    EXPECT_STREQ("too large", ApngFailureReason());
}

TEST(Apng, AncillaryChunksAreSkipped)
{
    PngBuilder png;
    png.Header(1, 1).Chunk("tEXt", "Comment\0hello").ImageData(Rgba({kBlue}, 1)).Chunk("abCD", "zz").End();
    int w = 0, h = 0;
    Pixels p(LoadPngDefaultImage(reinterpret_cast<const unsigned char*>(png.Bytes().data()), int(png.Bytes().size()),
                                 &w, &h));
    ASSERT_TRUE(p) << ApngFailureReason();
    EXPECT_EQ(Bytes({kBlue}), std::vector<uint8_t>(p.get(), p.get() + 4));
}

}  // namespace
