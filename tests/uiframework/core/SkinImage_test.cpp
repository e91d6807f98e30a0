// Skin images from resources, the skin folder and plain paths (no skin
// archive is set in this program), premultiplication, masks and HSL.

#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"

#include "PngBuilder.h"
#include "ScratchFolder.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace CalUI;

namespace {

struct ImageDeleter
{
    void operator()(LoadedImage* image) const { CSkinPainter::FreeLoadedImage(image, true); }
};
using Image = std::unique_ptr<LoadedImage, ImageDeleter>;

// Pixels as stored: blue, green, red, alpha.
std::vector<uint8_t> PixelBytes(const LoadedImage& image)
{
    return std::vector<uint8_t>(image.pixels, image.pixels + image.width * image.height * 4);
}

// bk.png: opaque red, green at alpha 128 / opaque blue, white at alpha 0.
const std::vector<uint8_t> kBkPixels = {0, 0, 255, 255, 0, 128, 0, 128, 255, 0, 0, 255, 0, 0, 0, 0};

class SkinImage : public testing::Test
{
protected:
    void SetUp() override
    {
        CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
        GetCurrentDirectoryW(MAX_PATH, previous_);
        SetCurrentDirectoryW(SourceTreePath(L"tests\\fixtures").c_str());
    }
    void TearDown() override { SetCurrentDirectoryW(previous_); }

    wchar_t previous_[MAX_PATH] = {};
};

TEST_F(SkinImage, LoadsFromEverySource)
{
    const std::wstring absolute = SourceTreePath(L"tests\\fixtures\\bk.png");
    const std::wstring notText = SourceTreePath(L"tests\\fixtures\\make-gif.py");
    struct Case
    {
        const char* what;
        ResourceRef name;
        const wchar_t* type;
        bool loads;
    };
    const Case cases[] = {
        {"resource by number", ResourceRef(101u), L"PNG", true},
        {"resource by name", ResourceRef(L"SKINPNG"), L"PNG", true},
        {"missing numbered resource is no path", ResourceRef(102u), L"PNG", false},
        {"missing named resource, but a file", ResourceRef(absolute.c_str()), L"PNG", true},
        {"skin folder", ResourceRef(L"bk.png"), nullptr, true},
        {"absolute path", ResourceRef(absolute.c_str()), nullptr, true},
        {"missing file", ResourceRef(L"none.png"), nullptr, false},
        {"not an image", ResourceRef(notText.c_str()), nullptr, false},
    };
    for (const Case& c : cases) {
        Image image(CSkinPainter::LoadSkinImage(c.name, c.type, 0));
        ASSERT_EQ(c.loads, image != nullptr) << c.what;
        if (!image)
            continue;
        EXPECT_EQ(2, image->width) << c.what;
        EXPECT_EQ(2, image->height) << c.what;
        EXPECT_TRUE(image->alpha) << c.what;
        EXPECT_EQ(kBkPixels, PixelBytes(*image)) << c.what;
        EXPECT_FALSE(image->followsHsl);
        EXPECT_EQ(nullptr, image->sourcePixels);
    }
}

TEST_F(SkinImage, OtherFormatsGoThroughStbImage)
{
    Image gif(CSkinPainter::LoadSkinImage(ResourceRef(L"two-frames.gif"), nullptr, 0));
    ASSERT_TRUE(gif);
    EXPECT_EQ(std::vector<uint8_t>({0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 255, 255, 255, 255}),
              PixelBytes(*gif));
    EXPECT_FALSE(gif->alpha) << "an image with no transparent pixel is drawn without blending";
}

TEST_F(SkinImage, BitmapIsATopDownDibHoldingThePixels)
{
    Image image(CSkinPainter::LoadSkinImage(ResourceRef(L"bk.png"), nullptr, 0));
    ASSERT_TRUE(image);
    DIBSECTION dib = {};
    ASSERT_EQ(int(sizeof dib), GetObjectW(image->bitmap, sizeof dib, &dib));
    EXPECT_EQ(32, dib.dsBm.bmBitsPixel);
    EXPECT_EQ(image->pixels, dib.dsBm.bmBits);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, image->bitmap);
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 0, 0)) << "the first row in memory is the top row";
    EXPECT_EQ(RGB(0, 0, 255), GetPixel(dc, 0, 1));

    BYTE* pixels = nullptr;
    HBITMAP bottomUp = CSkinPainter::CreateARGB32Bitmap(dc, 3, 2, &pixels);
    ASSERT_TRUE(bottomUp);
    ASSERT_TRUE(pixels);
    pixels[0] = 0xFF;  // blue of the first pixel in memory
    SelectObject(dc, bottomUp);
    EXPECT_EQ(RGB(0, 0, 255), GetPixel(dc, 0, 1)) << "a positive height is bottom-up";
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 0, 0));
    SelectObject(dc, old);
    DeleteObject(bottomUp);
    DeleteDC(dc);

    CSkinPainter::FreeLoadedImage(nullptr, true);
    LoadedImage* kept = image.get();
    CSkinPainter::FreeLoadedImage(kept, false);
    EXPECT_EQ(nullptr, kept->bitmap);
    EXPECT_EQ(nullptr, kept->pixels);
}

TEST_F(SkinImage, ColourPseudoImages)
{
    struct Case
    {
        const wchar_t* text;
        std::vector<uint8_t> pixel;
        bool alpha;
    };
    const Case cases[] = {
        {L"#80FF0000", {0, 0, 128, 128}, true},
        {L"FF0000FF", {255, 0, 0, 255}, false},
        {L"#00FFFFFF", {0, 0, 0, 0}, true},
    };
    for (const Case& c : cases) {
        Image image(CSkinPainter::LoadSkinImage(ResourceRef(c.text), L"*COLOR*", 0));
        ASSERT_TRUE(image) << c.text;
        EXPECT_EQ(1, image->width);
        EXPECT_EQ(1, image->height);
        EXPECT_EQ(c.pixel, PixelBytes(*image)) << c.text;
        EXPECT_EQ(c.alpha, image->alpha) << c.text;
    }
}

// A 2 x 3 PNG written into a scratch folder and loaded by path.
Image LoadPixels(const ScratchFolder& folder, std::vector<uint32_t> rgba, DWORD mask)
{
    PngBuilder png;
    png.Header(2, uint32_t(rgba.size() / 2)).ImageData(RgbaScanlines(2, uint32_t(rgba.size() / 2), rgba.data())).End();
    std::wstring path = folder.WriteFile(L"pixels.png", png.Bytes());
    return Image(CSkinPainter::LoadSkinImage(ResourceRef(path.c_str()), nullptr, mask));
}

TEST(SkinImagePixels, ColoursArePremultipliedWithTruncation)
{
    ScratchFolder folder;
    Image image = LoadPixels(folder, {0xC8000080, 0xFFFFFF01, 0x0A141EFF, 0x00000000, 0xFF80407F, 0x646464FE}, 0);
    ASSERT_TRUE(image);
    EXPECT_EQ(std::vector<uint8_t>(
                  {0, 0, 100, 128, 1, 1, 1, 1, 30, 20, 10, 255, 0, 0, 0, 0, 31, 63, 127, 127, 99, 99, 99, 254}),
              PixelBytes(*image));
    EXPECT_TRUE(image->alpha);
}

TEST(SkinImagePixels, MaskKeysOutWholePremultipliedPixels)
{
    ScratchFolder folder;
    const uint32_t magenta = 0xFF00FFFF, halfMagenta = 0xFF00FF80, blue = 0x0000FFFF;
    Image keyed = LoadPixels(folder, {magenta, blue, halfMagenta, magenta}, 0xFFFF00FF);
    ASSERT_TRUE(keyed);
    EXPECT_EQ(std::vector<uint8_t>({0, 0, 0, 0, 255, 0, 0, 255, 128, 0, 128, 128, 0, 0, 0, 0}), PixelBytes(*keyed));
    EXPECT_TRUE(keyed->alpha);

    Image opaque = LoadPixels(folder, {magenta, blue, blue, magenta}, 0xFFFF00FF);
    ASSERT_TRUE(opaque);
    EXPECT_TRUE(opaque->alpha) << "keying out a pixel of an opaque image turns blending on";
    Image unmasked = LoadPixels(folder, {magenta, blue, blue, magenta}, 0);
    EXPECT_FALSE(unmasked->alpha);
    Image halfKey = LoadPixels(folder, {halfMagenta, blue, magenta, blue}, 0x80800080);
    EXPECT_EQ(std::vector<uint8_t>({0, 0, 0, 0, 255, 0, 0, 255, 255, 0, 255, 255, 255, 0, 0, 255}),
              PixelBytes(*halfKey))
        << "the mask names the premultiplied value";
}

TEST(SkinColour, AdjustColorHsl)
{
    struct Case
    {
        DWORD colour;
        short h, s, l;
        DWORD expected;
    };
    const Case cases[] = {
        {0x12345678, 180, 100, 100, 0x12345678}, {0x00000000, 180, 100, 100, 0x00000000},
        {0xFFFFFFFF, 180, 100, 50, 0xFF7F7F7F},  {0xFFFF0000, 300, 100, 100, 0xFF00FF00},  // red turned by 120 degrees
        {0x80FF0000, 60, 100, 100, 0x800000FF},  // by -120 degrees, alpha kept
        {0xFFFF0000, 180, 0, 100, 0xFF7F7F7F},   // no saturation: grey
        {0xFF00FFFF, 180, 100, 0, 0xFF000000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, CSkinPainter::AdjustColorHsl(c.colour, c.h, c.s, c.l))
            << std::hex << c.colour << " " << std::dec << c.h << "," << c.s << "," << c.l;
}

TEST(SkinColour, RgbToHsl)
{
    struct Case
    {
        DWORD colour;
        float h, s, l;
    };
    const Case cases[] = {
        {0xFF00FFFF, 180, 1, 0.5f}, {0xFFFF00FF, 300, 1, 0.5f},       {0xFFFFFF00, 60, 1, 0.5f},
        {0xFFFF0000, 0, 1, 0.5f},   {0xFF808080, 0, 0, 128 / 255.0f},
    };
    for (const Case& c : cases) {
        float h, s, l;
        CSkinPainter::RgbToHsl(c.colour, &h, &s, &l);
        EXPECT_FLOAT_EQ(c.h, h) << std::hex << c.colour;
        EXPECT_FLOAT_EQ(c.s, s) << std::hex << c.colour;
        EXPECT_FLOAT_EQ(c.l, l) << std::hex << c.colour;
    }
}

TEST(SkinColour, AdjustImageHslWorksFromTheSourceCopy)
{
    Image image(CSkinPainter::LoadSkinImage(ResourceRef(L"#FFFFFFFF"), L"*COLOR*", 0));
    ASSERT_TRUE(image);
    const std::vector<uint8_t> loaded = PixelBytes(*image);

    CSkinPainter::AdjustImageHsl(true, image.get(), 180, 100, 50);
    EXPECT_EQ(loaded, PixelBytes(*image)) << "an image that does not follow HSL is never changed";

    image->followsHsl = true;
    image->sourcePixels = new BYTE[4];
    memcpy(image->sourcePixels, image->pixels, 4);
    image->pixels[3] = 0x77;
    CSkinPainter::AdjustImageHsl(true, image.get(), 180, 100, 50);
    EXPECT_EQ(std::vector<uint8_t>({127, 127, 127, 0x77}), PixelBytes(*image))
        << "white at half lightness; the pixel's own alpha stays";
    CSkinPainter::AdjustImageHsl(true, image.get(), 180, 100, 50);
    EXPECT_EQ(std::vector<uint8_t>({127, 127, 127, 0x77}), PixelBytes(*image)) << "never compounds";
    CSkinPainter::AdjustImageHsl(false, image.get(), 180, 100, 50);
    EXPECT_EQ(loaded, PixelBytes(*image)) << "switched off: the source copy comes back";
}

}  // namespace
