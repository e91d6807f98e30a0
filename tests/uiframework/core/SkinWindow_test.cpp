// A window built from a skin inside a password-protected ZIP archive that
// this program carries as a resource, painted as a layered window and
// checked through its own off-screen pixels (Xvfb composes no layered window
// on the screen).

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "core/ContainerUI.h"
#include "GeometryText.h"
#include "ManagedWindow.h"
#include "builder/SkinBuilder.h"

using namespace CalUI;

namespace {

constexpr WORD kArchiveResourceId = 401;
constexpr char kArchivePassword[] = "Sk1n#Win";
constexpr UINT kRepaintTimer = 0x2000;
constexpr DWORD kFrameBand = 0xFF808080;    // the layered image's bands
constexpr DWORD kFrameMiddle = 0xFFF0F0F0;  // and its middle

// Hands the archive resource to the framework, once for the process: the
// setting is process-wide and the framework reads the block for good.
void SupplyArchiveOnce()
{
    static const bool supplied = [] {
        HMODULE module = GetModuleHandleW(nullptr);
        HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(kArchiveResourceId), L"ZIPRES");
        if (resource == nullptr)
            return false;
        const void* bytes = LockResource(LoadResource(module, resource));
        const DWORD size = SizeofResource(module, resource);
        if (bytes == nullptr || size == 0)
            return false;
        auto* archive = new BYTE[size];
        std::memcpy(archive, bytes, size);
        CWindowManagerUI::SetResourceZip(archive, size, kArchivePassword);
        return true;
    }();
    ASSERT_TRUE(supplied) << "the program carries no skin archive";
}

struct PixelCase
{
    int x;
    int y;
    DWORD argb;  // premultiplied, as the off-screen bitmap holds it
    const char* what;
};

class SkinWindowTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SupplyArchiveOnce();
        CSkinBuilder builder;
        root = builder.Create(L"window.xml", nullptr, nullptr, &window.manager);
        ASSERT_NE(nullptr, root);
        window.Attach(root);
        ASSERT_TRUE(window.PumpUntil([&] { return window.manager.GetOffscreenPixels() != nullptr; }));
        window.Send(WM_TIMER, kRepaintTimer, 0);
    }

    // Client pixel (x, y) of the bottom-up off-screen bitmap.
    DWORD Pixel(int x, int y) const
    {
        const SIZE size = window.manager.GetOffscreenSize();
        return window.manager.GetOffscreenPixels()[(size.cy - 1 - y) * size.cx + x];
    }

    void ExpectPixels(std::initializer_list<PixelCase> cases) const
    {
        for (const PixelCase& c : cases)
            EXPECT_EQ(Pixel(c.x, c.y), c.argb)
                << c.what << " at " << c.x << "," << c.y << std::hex << ": 0x" << Pixel(c.x, c.y);
    }

    // Blends may round either way: every channel within one of `expected`.
    void ExpectNear(int x, int y, DWORD expected) const
    {
        const DWORD actual = Pixel(x, y);
        for (int shift = 0; shift < 32; shift += 8) {
            const int difference =
                static_cast<int>((actual >> shift) & 0xFF) - static_cast<int>((expected >> shift) & 0xFF);
            EXPECT_LE(std::abs(difference), 1)
                << "at " << x << "," << y << std::hex << ": 0x" << actual << " against 0x" << expected;
        }
    }

    ManagedWindow window;
    CControlUI* root = nullptr;  // owned by the window once attached
};

}  // namespace

TEST_F(SkinWindowTest, TheArchivesLayoutSetsUpTheWindowAndItsResources)
{
    EXPECT_TRUE(window.manager.IsLayered());
    const SIZE size = window.manager.GetOffscreenSize();
    EXPECT_EQ(200, size.cx);
    EXPECT_EQ(150, size.cy);
    RECT client;
    GetClientRect(window.GetWindowHandle(), &client);
    EXPECT_EQ((RECT{0, 0, 200, 150}), client);
    EXPECT_EQ((RECT{0, 0, 0, 20}), window.manager.GetCaptionRect());
    EXPECT_EQ(6, window.manager.GetRoundCorner().cx);
    EXPECT_EQ(6, window.manager.GetRoundCorner().cy);

    FontInfo* bold = window.manager.GetFontInfo(1);
    ASSERT_NE(nullptr, bold);
    EXPECT_STREQ(L"Arial", bold->faceName.GetData());
    EXPECT_EQ(16, bold->size);
    EXPECT_TRUE(bold->bold);
    EXPECT_STREQ(L"微软雅黑", window.manager.GetDefaultFontInfo()->faceName.GetData());
    EXPECT_STREQ(L"皮肤窗口", CWindowManagerUI::GetLanguageString(7));

    // Ten controls of its own and three copies of the included one.
    auto* container = static_cast<CContainerUI*>(root->GetInterface(L"Container"));
    ASSERT_NE(nullptr, container);
    ASSERT_EQ(13, container->GetCount());
    for (int i = 10; i < 13; ++i)
        EXPECT_STREQ(L"cell", container->GetItemAt(i)->GetName().GetData());
}

TEST_F(SkinWindowTest, LayeredImageAndColourFillsAreDrawnAtTheirPlaces)
{
    const DWORD band = kFrameBand;
    const DWORD middle = kFrameMiddle;
    const DWORD nearBlack = 0xFF000001;  // what black outlines and gradients become
    ExpectPixels({
        {0, 0, 0, "the frame's transparent corner"},
        {0, 1, 0, "the frame's transparent corner"},
        {198, 1, 0, "the frame's transparent corner"},
        {199, 149, 0, "the frame's transparent corner"},
        {100, 0, band, "the frame's top band"},
        {0, 75, band, "the frame's left band"},
        {199, 75, band, "the frame's right band"},
        {190, 148, band, "the frame's bottom band"},
        {100, 100, middle, "the frame's middle"},
        {2, 2, middle, "the frame's middle"},
        {10, 30, 0xFF336699, "a solid fill"},
        {39, 49, 0xFF336699, "a solid fill"},
        {40, 50, middle, "beside a solid fill"},
        {50, 30, 0xFF204060, "the default list's fill"},
        {79, 49, 0xFF204060, "the default list's fill"},
        {110, 30, nearBlack, "a black gradient"},
        {119, 39, nearBlack, "a black gradient"},
        {120, 40, middle, "beside a black gradient"},
        {130, 30, nearBlack, "a black border"},
        {149, 40, nearBlack, "a black border"},
        {140, 49, nearBlack, "a black border"},
        {131, 31, 0xFFFFFFFF, "inside a black border"},
        {148, 48, 0xFFFFFFFF, "inside a black border"},
        {160, 60, 0xFF00FF00, "the included control"},
        {169, 69, 0xFF00FF00, "the included control"},
    });
}

// Half-transparent red blends over the frame and keeps its own alpha where
// the frame is transparent.
TEST_F(SkinWindowTest, TranslucentFillsBlendPremultipliedOverTheLayeredImage)
{
    const DWORD overMiddle = 0xFF000000 | (0x80 + 0xF0 * 127 / 255) << 16 | (0xF0 * 127 / 255) << 8 | 0xF0 * 127 / 255;
    const DWORD overBand = 0xFF000000 | (0x80 + 0x80 * 127 / 255) << 16 | (0x80 * 127 / 255) << 8 | 0x80 * 127 / 255;
    const struct
    {
        POINT at;
        DWORD expected;
    } cases[] = {
        {{170, 30}, overMiddle}, {{189, 49}, overMiddle}, {{9, 140}, overMiddle},
        {{5, 148}, overBand},    {{1, 140}, overBand},
    };
    for (const auto& c : cases)
        ExpectNear(c.at.x, c.at.y, c.expected);
    EXPECT_EQ(0x80800000u, Pixel(0, 149));  // the frame's transparent corner
    EXPECT_EQ(0x80800000u, Pixel(1, 148));
}

// The platform's gradient steps are not fixed, so only the ends, the
// direction and the flat rows are.
TEST_F(SkinWindowTest, GradientRunsDownFromTheFirstColourToTheSecondAndIsOpaque)
{
    EXPECT_GE((Pixel(95, 30) >> 16) & 0xFF, 0xE0u);
    EXPECT_GE(Pixel(95, 69) & 0xFF, 0xE0u);
    for (int y = 30; y < 70; ++y) {
        SCOPED_TRACE(y);
        const DWORD here = Pixel(95, y);
        EXPECT_EQ(0xFFu, here >> 24);
        EXPECT_EQ(0u, here & 0x00FF00);
        EXPECT_EQ(here, Pixel(90, y));
        EXPECT_EQ(here, Pixel(99, y));
        if (y > 30) {
            const DWORD above = Pixel(95, y - 1);
            EXPECT_LE((here >> 16) & 0xFF, (above >> 16) & 0xFF);
            EXPECT_GE(here & 0xFF, above & 0xFF);
        }
    }
}

TEST_F(SkinWindowTest, NineGridTiledAndFadedImagesFromTheArchive)
{
    const DWORD red = 0xFFFF0000, green = 0xFF00FF00, blue = 0xFF0000FF;
    ExpectPixels({
        // A 6 x 6 image with 2-pixel bands over 20 x 20: corners unstretched.
        {10, 60, red, "a nine-grid corner"},
        {11, 61, red, "a nine-grid corner"},
        {28, 78, red, "a nine-grid corner"},
        {29, 60, red, "a nine-grid corner"},
        {12, 60, green, "a nine-grid top band"},
        {27, 61, green, "a nine-grid top band"},
        {10, 70, green, "a nine-grid left band"},
        {20, 79, green, "a nine-grid bottom band"},
        {12, 62, blue, "the nine-grid middle"},
        {27, 77, blue, "the nine-grid middle"},
        // A 3 x 2 tile over 10 x 10: the last column of tiles is cut.
        {40, 60, 0xFFFF0000, "a tile's first row"},
        {41, 60, 0xFF00FF00, "a tile's first row"},
        {42, 60, 0xFF0000FF, "a tile's first row"},
        {43, 60, 0xFFFF0000, "the next tile"},
        {49, 60, 0xFFFF0000, "the cut last tile"},
        {40, 61, 0xFFFFFF00, "a tile's second row"},
        {44, 63, 0xFF00FFFF, "a tile's second row"},
        {48, 69, 0xFFFF00FF, "the last row of tiles"},
        {50, 60, kFrameMiddle, "beside the tiles"},
    });
    // White faded to 128 over the default fill 0xFF204060.
    const DWORD faded = 0xFF000000 | (0x20 + (0xFF - 0x20) * 128 / 255) << 16 |
                        (0x40 + (0xFF - 0x40) * 128 / 255) << 8 | (0x60 + (0xFF - 0x60) * 128 / 255);
    for (POINT p : {POINT{60, 60}, POINT{79, 79}, POINT{70, 65}})
        ExpectNear(p.x, p.y, faded);
}
