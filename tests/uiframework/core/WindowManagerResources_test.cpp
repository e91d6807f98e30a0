// Fonts, colours, default attribute lists, language strings and window
// attributes of the paint manager.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/LoadedImage.h"
#include "DibCanvas.h"
#include "ManagedWindow.h"
#include "ScratchFolder.h"
#include "core/SharedUIResources.h"
#include "core/SkinPainter.h"

using namespace CalUI;

namespace {

LOGFONTW LogFontOf(HFONT font)
{
    LOGFONTW lf = {};
    GetObjectW(font, sizeof lf, &lf);
    return lf;
}

LOGFONTW StockGuiFont() { return LogFontOf(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))); }

class WindowManagerResources : public testing::Test
{
protected:
    ManagedWindow window;
    CWindowManagerUI& m = window.manager;
};

TEST_F(WindowManagerResources, FontsAreMadeFromTheStockFontWithTheSkinsChoices)
{
    HFONT bold = m.AddFont(1, L"Arial", 14, true, true, false, true);
    ASSERT_NE(bold, nullptr);
    LOGFONTW lf = LogFontOf(bold);
    EXPECT_EQ(lf.lfWeight, StockGuiFont().lfWeight + 700) << "bold adds to the stock weight";
    EXPECT_EQ(lf.lfHeight, -14);
    EXPECT_EQ(lf.lfUnderline, 1);
    EXPECT_EQ(lf.lfItalic, 0);
    EXPECT_EQ(lf.lfStrikeOut, 1);
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
    EXPECT_STREQ(lf.lfFaceName, L"Arial");

    FontInfo* info = m.GetFontInfo(1);
    EXPECT_EQ(info->font, bold);
    EXPECT_GT(info->textMetrics.tmHeight, 0) << "measured with the window's DC";
    EXPECT_EQ(m.FindFont(L"Arial", 14, true, true, false, true), bold);
    EXPECT_EQ(m.FindFont(L"Arial", 14, true, false, false, true), nullptr);
}

TEST_F(WindowManagerResources, AFaceNameLongerThanTheFontFieldIsCut)
{
    std::wstring longFace(80, L'F');
    HFONT font = m.AddFont(4, longFace.c_str(), 12, false, false, false, false);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(std::wstring(LogFontOf(font).lfFaceName), longFace.substr(0, LF_FACESIZE - 1));
    EXPECT_EQ(m.FindFont(longFace.c_str(), 12, false, false, false, false), font)
        << "the record keeps the face asked for";
}

TEST_F(WindowManagerResources, ReplacingAFontDeletesTheOldOneAndMissesFallBackToTheDefault)
{
    HFONT first = m.AddFont(2, L"Arial", 12, false, false, false, false);
    HFONT second = m.AddFont(2, L"Arial", 13, false, false, false, false);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetObjectType(first), 0u) << "the replaced font is deleted";
    EXPECT_EQ(m.GetFont(2), second);
    HFONT fallback = m.GetDefaultFontInfo()->font;
    ASSERT_NE(fallback, nullptr);
    EXPECT_EQ(m.GetFont(-1), fallback);
    EXPECT_EQ(m.GetFont(99), fallback);
    EXPECT_EQ(m.GetFontInfo(99), m.GetDefaultFontInfo());

    m.RemoveAllFonts(false);
    EXPECT_EQ(GetObjectType(second), 0u);
    EXPECT_EQ(m.GetFont(2), fallback);
}

TEST_F(WindowManagerResources, SharedFontsServeEveryWindowAndTheWindowsOwnComeFirst)
{
    ManagedWindow other;
    HFONT shared = m.AddFont(31, L"Arial", 20, false, false, false, false, true);
    EXPECT_EQ(other.manager.GetFont(31), shared);
    HFONT own = other.manager.AddFont(31, L"Arial", 21, false, false, false, false);
    EXPECT_EQ(other.manager.GetFont(31), own);
    EXPECT_EQ(m.GetFont(31), shared);
    EXPECT_EQ(m.GetFontInfoByHandle(shared)->size, 20);
    EXPECT_EQ(m.GetFontInfoByHandle(m.GetDefaultFontInfo()->font), m.GetDefaultFontInfo());

    // A window that shares its resources puts even its own fonts in the shared table.
    other.manager.SetResourcesShared(true);
    HFONT pushed = other.manager.AddFont(32, L"Arial", 22, false, false, false, false);
    EXPECT_EQ(m.GetFont(32), pushed);
}

TEST_F(WindowManagerResources, DefaultFontOfTheWindowOverridesTheSharedOne)
{
    FontInfo* shared = m.GetDefaultFontInfo();
    EXPECT_FALSE(shared->faceName.IsEmpty());
    m.SetDefaultFont(L"Arial", 17, false, false, true, false);
    FontInfo* own = m.GetDefaultFontInfo();
    EXPECT_NE(own, shared);
    EXPECT_EQ(own->size, 17);
    EXPECT_TRUE(own->italic);
    EXPECT_GT(own->textMetrics.tmHeight, 0);
    EXPECT_EQ(m.GetFont(-1), own->font);
    ManagedWindow other;
    EXPECT_EQ(other.manager.GetDefaultFontInfo(), shared);
}

TEST_F(WindowManagerResources, SharedColoursCarryAlongWindowsThatStillShowTheOldValue)
{
    ManagedWindow chose;
    chose.manager.SetDefaultFontColor(0xFF112233);
    DWORD original = m.GetDefaultFontColor();
    m.SetDefaultFontColor(0xFF445566, true);
    EXPECT_EQ(m.GetDefaultFontColor(), 0xFF445566u) << "it showed the old shared colour";
    chose.manager.SetDefaultFontColor(0xFF778899, true);
    EXPECT_EQ(chose.manager.GetDefaultFontColor(), 0xFF112233u) << "it had chosen its own";
    ManagedWindow later;
    EXPECT_EQ(later.manager.GetDefaultFontColor(), 0xFF778899u) << "new windows start from the shared colour";
    m.SetDefaultFontColor(original, true);
    EXPECT_EQ(m.GetDefaultLinkFontColor(), 0xFF0000FFu);
    EXPECT_EQ(m.GetDefaultDisabledColor(), 0xFFA7A6AAu);
}

// A 24-bit bottom-up BMP of one row: blue, then red.
std::string TwoPixelBmp()
{
    std::string pixels = {'\xFF', 0, 0, 0, 0, '\xFF', 0, 0};  // one row padded to 8 bytes
    BITMAPINFOHEADER info = {sizeof info, 2, 1, 1, 24, BI_RGB, static_cast<DWORD>(pixels.size())};
    BITMAPFILEHEADER file = {0x4D42, static_cast<DWORD>(sizeof file + sizeof info + pixels.size()), 0, 0,
                             sizeof file + sizeof info};
    return std::string(reinterpret_cast<char*>(&file), sizeof file) +
           std::string(reinterpret_cast<char*>(&info), sizeof info) + pixels;
}

TEST_F(WindowManagerResources, ImagesAreLoadedOnFirstUseAndKeptPerWindow)
{
    ScratchFolder folder;
    std::wstring path = folder.WriteFile(L"two.bmp", TwoPixelBmp());
    EXPECT_EQ(m.GetImage(path.c_str()), nullptr);
    LoadedImage* image = m.GetOrAddImage(path.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->height, 1);
    EXPECT_EQ(reinterpret_cast<DWORD*>(image->pixels)[0], 0xFF0000FFu);
    EXPECT_EQ(m.GetOrAddImage(path.c_str()), image) << "loaded once";

    ManagedWindow other;
    EXPECT_EQ(other.manager.GetImage(path.c_str()), nullptr) << "the window's own table";
    other.manager.SetResourcesShared(true);
    LoadedImage* shared = other.manager.GetOrAddImage(path.c_str());
    ASSERT_NE(shared, nullptr);
    ManagedWindow third;
    EXPECT_EQ(third.manager.GetImage(path.c_str()), shared) << "a sharing window fills the shared table";
    EXPECT_EQ(m.GetImage(path.c_str()), image) << "the window's own comes first";

    EXPECT_EQ(m.AddImage(L""), nullptr);
    EXPECT_EQ(m.AddImage(folder.File(L"missing.bmp").c_str()), nullptr);
    EXPECT_EQ(m.GetOrAddImage(folder.File(L"missing.bmp").c_str()), nullptr);
    other.manager.RemoveAllImages(true);
}

TEST_F(WindowManagerResources, AddingAnImageRecordsHowItWasMadeAndReplacesTheOldOne)
{
    LoadedImage* first = m.AddImage(L"#FF102030", L"*COLOR*", 0, true);
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->resourceType.GetData(), L"*COLOR*");
    EXPECT_TRUE(first->followsHsl);
    ASSERT_NE(first->sourcePixels, nullptr) << "kept for later colour changes";
    EXPECT_EQ(std::memcmp(first->sourcePixels, first->pixels, 4), 0);
    HBITMAP firstBitmap = first->bitmap;

    LoadedImage* second = m.AddImage(L"#FF102030", L"*COLOR*", 0xFF000000);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetObjectType(firstBitmap), 0u) << "the replaced image's bitmap is deleted";
    EXPECT_EQ(second->sourcePixels, nullptr);
    EXPECT_EQ(second->mask, 0xFF000000u);
    EXPECT_EQ(m.GetImage(L"#FF102030"), second);

    HBITMAP secondBitmap = second->bitmap;
    m.RemoveAllImages(false);
    EXPECT_EQ(GetObjectType(secondBitmap), 0u);
    EXPECT_EQ(m.GetImage(L"#FF102030"), nullptr);
}

// Controls keep the loaded image in their drawing records; replacing the
// image by name must not leave them holding freed memory.
TEST_F(WindowManagerResources, ReplacingAnImageReachesTheControlsThatDrawIt)
{
    ImageDrawInfo record;
    record.attributeText = L"color='#FF0000FF'";
    const RECT control = {0, 0, 10, 10};
    ASSERT_TRUE(CSkinPainter::DrawImageAttr(nullptr, &m, control, control, record));  // loads only
    ASSERT_EQ(record.image, m.GetImage(L"#FF0000FF"));

    ASSERT_NE(m.AddImage(L"#FF0000FF", L"*COLOR*", 0xFF0000FF), nullptr);
    ASSERT_EQ(record.image, m.GetImage(L"#FF0000FF")) << "the record still names the live image";
    EXPECT_EQ(record.image->mask, 0xFF0000FFu);
    EXPECT_EQ(reinterpret_cast<DWORD*>(record.image->pixels)[0], 0u) << "the new picture, keyed out by its mask";
    EXPECT_NE(GetObjectType(record.image->bitmap), 0u);
}

// A record that names no part of its image draws the whole of whichever
// picture the name holds, also after a larger one replaced it.
TEST_F(WindowManagerResources, AReplacementOfAnotherSizeIsDrawnWhole)
{
    ScratchFolder folder;
    const std::wstring path = folder.WriteFile(L"grows.bmp", BmpFileBytes(1, 1, [](int, int) { return 0x0000FF; }));
    ImageDrawInfo record;
    record.attributeText = (L"file='" + path + L"'").c_str();
    const RECT control = {0, 0, 20, 10};
    DibCanvas canvas(20, 10);
    ASSERT_TRUE(CSkinPainter::DrawImageAttr(canvas.dc(), &m, control, control, record));

    folder.WriteFile(L"grows.bmp", BmpFileBytes(2, 1, [](int x, int) { return x == 0 ? 0x0000FFu : 0xFF0000u; }));
    ASSERT_NE(m.AddImage(path.c_str()), nullptr);
    ASSERT_TRUE(CSkinPainter::DrawImageAttr(canvas.dc(), &m, control, control, record));
    EXPECT_EQ(canvas.Rgb(2, 5), 0x0000FFu);
    EXPECT_EQ(canvas.Rgb(17, 5), 0xFF0000u) << "the new picture's right half";

    folder.WriteFile(L"grows.bmp", BmpFileBytes(1, 1, [](int, int) { return 0x00FF00; }));
    ASSERT_NE(m.AddImage(path.c_str()), nullptr);
    ASSERT_TRUE(CSkinPainter::DrawImageAttr(canvas.dc(), &m, control, control, record));
    EXPECT_EQ(canvas.Count(control, 0x00FF00), 200) << "a smaller one fills the control as well";
}

// Emptying an image table leaves no record holding freed memory: each looks
// its image up again at its next drawing, and the table loads it anew.
TEST_F(WindowManagerResources, RecordsOutliveTheImagesTheTablesDrop)
{
    ScratchFolder folder;
    const std::wstring path = folder.WriteFile(L"blue.bmp", BmpFileBytes(2, 2, [](int, int) { return 0x0000FF; }));
    const RECT control = {0, 0, 8, 8};
    for (bool shared : {false, true}) {
        SCOPED_TRACE(shared ? "shared table" : "the window's own table");
        m.SetResourcesShared(shared);
        ImageDrawInfo record;
        record.attributeText = (L"file='" + path + L"'").c_str();
        DibCanvas canvas(8, 8);
        ASSERT_TRUE(CSkinPainter::DrawImageAttr(canvas.dc(), &m, control, control, record));
        HBITMAP dropped = record.image->bitmap;

        m.RemoveAllImages(shared);
        EXPECT_EQ(GetObjectType(dropped), 0u);
        ASSERT_EQ(m.GetImage(path.c_str()), nullptr);
        canvas.Fill(0x00FFFFFF);
        ASSERT_TRUE(CSkinPainter::DrawImageAttr(canvas.dc(), &m, control, control, record));
        EXPECT_EQ(record.image, m.GetImage(path.c_str())) << "loaded into the table again";
        EXPECT_EQ(canvas.Count(control, 0x0000FF), 64);
        m.RemoveAllImages(shared);
    }
    m.SetResourcesShared(false);
}

TEST_F(WindowManagerResources, DefaultAttributeListsOfTheWindowWinOverSharedOnes)
{
    EXPECT_EQ(m.GetDefaultAttributeList(L"NoSuchClass"), nullptr);
    m.AddDefaultAttributeList(L"VScrollBar", L"width=\"8\"", true);
    m.AddDefaultAttributeList(L"Button", L"height=\"20\"");
    m.AddDefaultAttributeList(L"Button", L"height=\"30\"");
    EXPECT_STREQ(m.GetDefaultAttributeList(L"Button"), L"height=\"30\"");
    EXPECT_STREQ(m.GetDefaultAttributeList(L"VScrollBar"), L"width=\"8\"");
    m.AddDefaultAttributeList(L"VScrollBar", L"width=\"6\"");
    EXPECT_STREQ(m.GetDefaultAttributeList(L"VScrollBar"), L"width=\"6\"");
    m.RemoveAllDefaultAttributeLists(false);
    EXPECT_STREQ(m.GetDefaultAttributeList(L"VScrollBar"), L"width=\"8\"");
    EXPECT_EQ(m.GetDefaultAttributeList(L"Button"), nullptr);
}

TEST(LanguageStrings, TokensAreReplacedByTheirTexts)
{
    CWindowManagerUI::AddLanguageString(12, L"old");
    CWindowManagerUI::AddLanguageString(12, L"保存");
    CWindowManagerUI::AddLanguageString(0, L"zero");
    CWindowManagerUI::AddLanguageString(5, L"[%{12}]");
    EXPECT_STREQ(CWindowManagerUI::GetLanguageString(12), L"保存");
    EXPECT_EQ(CWindowManagerUI::GetLanguageString(7), nullptr);
    struct Case
    {
        LPCWSTR text;
        LPCWSTR expected;
    };
    const Case cases[] = {
        {L"%{12} and %{12}", L"保存 and 保存"},
        {L"keep %{7}", L"keep %{7}"},
        {L"100%", L"100%"},
        {L"%{a}", L"%{a}"},
        {L"%{}", L"zero"},
        {L"%{12", L"%{12"},
        {L"%%{12}%", L"%保存%"},
        {L"%{5}", L"[保存]"},  // a text with a token in it is scanned again
    };
    for (const Case& c : cases) {
        CUIString text = c.text;
        CWindowManagerUI::ReplaceLanguageTokens(text);
        EXPECT_STREQ(text.GetData(), c.expected) << "from " << testing::PrintToString(std::wstring(c.text));
    }

    // Texts that name each other end instead of growing without bound.
    CWindowManagerUI::AddLanguageString(40, L"%{41}%{41}");
    CWindowManagerUI::AddLanguageString(41, L"%{40}%{40}");
    CUIString loop = L"%{40}";
    CWindowManagerUI::ReplaceLanguageTokens(loop);
    EXPECT_LT(loop.GetLength(), 100000);
}

TEST_F(WindowManagerResources, WindowAttributesTable)
{
    m.SetWindowAttribute(L"Size", L"320,240");
    RECT rc;
    GetWindowRect(window.GetWindowHandle(), &rc);
    EXPECT_EQ(rc.right - rc.left, 320);
    EXPECT_EQ(rc.bottom - rc.top, 240);

    m.SetWindowAttribute(L"caption", L"0,0,0,-1");
    EXPECT_EQ(m.GetCaptionRect().bottom, 240) << "a bottom of -1 reaches the window's bottom";
    m.SetWindowAttribute(L"roundcorner", L"5,6");
    EXPECT_EQ(m.GetRoundCorner().cy, 6);
    m.SetWindowAttribute(L"sizebox", L"4,4,4,4");
    EXPECT_EQ(m.GetSizeBox().right, 4);
    m.SetWindowAttribute(L"shadowcolor", L"#80112233");
    EXPECT_EQ(m.GetShadowColor(), 0x80112233u);
    m.SetWindowAttribute(L"shadowcolor", L"80445566");
    EXPECT_EQ(m.GetShadowColor(), 0x80445566u);
    m.SetWindowAttribute(L"shadowsize", L"14");
    EXPECT_EQ(m.GetShadowSize(), 14);
    m.SetWindowAttribute(L"shadowfocusscales", L"0.25");
    EXPECT_FLOAT_EQ(m.GetShadowFocusScales(), 0.25f);
    m.SetWindowAttribute(L"nolayeredpadding", L"1,2,3,4");
    EXPECT_TRUE(m.HasLayeredInset());
    m.SetWindowAttribute(L"opacity", L"200");
    EXPECT_EQ(m.GetOpacity(), 200);
    m.SetWindowAttribute(L"showdirty", L"TRUE");
    EXPECT_TRUE(m.IsShowUpdateRect());
    m.SetWindowAttribute(L"defaultfontcolor", L"#FF010203");
    EXPECT_EQ(m.GetDefaultFontColor(), 0xFF010203u);
    m.SetWindowAttribute(L"selectedcolor", L"FF0A0B0C");
    EXPECT_EQ(m.GetDefaultSelectedBkColor(), 0xFF0A0B0Cu);

    // Three names must be written in lower case; any other spelling is a
    // custom attribute of the window.
    m.SetWindowAttribute(L"layeredimage", L"file='bk.png'");
    EXPECT_STREQ(m.GetLayeredImage().GetData(), L"file='bk.png'");
    m.SetWindowAttribute(L"LayeredImage", L"file='other.png'");
    EXPECT_STREQ(m.GetLayeredImage().GetData(), L"file='bk.png'");
    EXPECT_STREQ(m.GetWindowCustomAttribute(L"LayeredImage"), L"file='other.png'");
    m.SetWindowAttribute(L"NoActivate", L"true");
    EXPECT_FALSE(m.IsNoActivate());
    m.SetWindowAttribute(L"noactivate", L"True");
    EXPECT_TRUE(m.IsNoActivate());

    m.SetWindowAttribute(L"renderengine", L"gdi");
    m.SetWindowAttribute(L"renderengine", L"gdiplus");
    m.SetWindowAttribute(L"empty", L"");
    EXPECT_STREQ(m.GetWindowCustomAttribute(L"renderengine"), L"gdi") << "the first value stays";
    EXPECT_EQ(m.GetWindowCustomAttribute(L"empty"), nullptr);
}

TEST_F(WindowManagerResources, TrackSizesReachTheSystem)
{
    m.SetWindowAttribute(L"mininfo", L"200,150");
    m.SetWindowAttribute(L"maxinfo", L"500,0");
    MINMAXINFO info = {};
    info.ptMaxTrackSize = {9999, 9999};
    window.Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 200);
    EXPECT_EQ(info.ptMinTrackSize.y, 150);
    EXPECT_EQ(info.ptMaxTrackSize.x, 500);
    EXPECT_EQ(info.ptMaxTrackSize.y, 9999) << "a 0 leaves the system's value";
}

TEST_F(WindowManagerResources, InitDropsTheWindowsOwnResources)
{
    m.AddFont(3, L"Arial", 12, false, false, false, false);
    m.AddDefaultAttributeList(L"Label", L"x=\"1\"");
    m.AddWindowCustomAttribute(L"k", L"v");
    m.Init(window.GetWindowHandle());
    EXPECT_EQ(m.GetFont(3), m.GetDefaultFontInfo()->font);
    EXPECT_EQ(m.GetDefaultAttributeList(L"Label"), nullptr);
    EXPECT_EQ(m.GetWindowCustomAttribute(L"k"), nullptr);
}

}  // namespace
