// The process-wide skin settings. Setting the skin archive cannot be undone
// within a process, so the tests of this program run in the order written:
// first the defaults, then the archive that start-up sets.

#include "core/SkinMarkup.h"
#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"

#include "ScratchFolder.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <string>

using namespace CalUI;

namespace {

TEST(SkinArchiveSettings, DefaultsBeforeStartUp)
{
    EXPECT_EQ(nullptr, CWindowManagerUI::GetResourceInstance());
    HINSTANCE module = GetModuleHandleW(nullptr);
    CWindowManagerUI::SetInstance(module);
    EXPECT_EQ(module, CWindowManagerUI::GetInstance());
    EXPECT_EQ(module, CWindowManagerUI::GetResourceInstance()) << "falls back to the module instance";
    EXPECT_TRUE(CWindowManagerUI::GetResourcePath().IsEmpty());
    EXPECT_TRUE(CWindowManagerUI::GetResourceZip().IsEmpty());
    EXPECT_TRUE(CWindowManagerUI::IsResourceZipCached());
    EXPECT_EQ(nullptr, CWindowManagerUI::GetResourceZipHandle());
    EXPECT_EQ(nullptr, CWindowManagerUI::GetResourceZipPassword());
    short h = 0, s = 0, l = 0;
    EXPECT_FALSE(CWindowManagerUI::GetHsl(&h, &s, &l));
    EXPECT_EQ(180, h);
    EXPECT_EQ(100, s);
    EXPECT_EQ(100, l);
}

TEST(SkinArchiveSettings, ArchiveSetAtStartUpServesSkinFilesAndImages)
{
    static const std::string skin = ScratchFolder::ReadFile(SourceTreePath(L"tests\\fixtures\\skin.zip"));
    ASSERT_FALSE(skin.empty());
    CWindowManagerUI::SetResourceZip(skin.data(), unsigned(skin.size()), "Cv!2024");
    EXPECT_STREQ(L"membuffer", CWindowManagerUI::GetResourceZip());
    EXPECT_STREQ("Cv!2024", CWindowManagerUI::GetResourceZipPassword());
    ZipHandle* first = CWindowManagerUI::GetResourceZipHandle();
    ASSERT_NE(nullptr, first);

    // A second archive only replaces the stored password (cut to 64 bytes).
    const std::string other = "PK\x05\x06 not the skin";
    const std::string longPassword(70, 'p');
    CWindowManagerUI::SetResourceZip(other.data(), unsigned(other.size()), longPassword.c_str());
    EXPECT_EQ(first, CWindowManagerUI::GetResourceZipHandle());
    EXPECT_EQ(std::string(64, 'p'), CWindowManagerUI::GetResourceZipPassword());
    CWindowManagerUI::SetResourceZip(other.data(), unsigned(other.size()), "");
    EXPECT_EQ(nullptr, CWindowManagerUI::GetResourceZipPassword());

    struct Case
    {
        const wchar_t* file;
        const wchar_t* message;
    };
    const Case cases[] = {
        {L"login.xml", L""},
        {L"\\LOGIN.XML", L""},
        {L"missing.xml", L"Could not find ziped file"},
    };
    for (const Case& c : cases) {
        CSkinMarkup markup;
        EXPECT_EQ(!*c.message, markup.LoadSkinFile(c.file)) << c.file;
        EXPECT_STREQ(c.message, markup.GetLastErrorMessage()) << c.file;
        if (!*c.message) {
            CSkinMarkupNode window = markup.RootNode();
            EXPECT_STREQ(L"Window", window.TagName());
            wchar_t text[32] = {};
            EXPECT_TRUE(window.FirstChild().NextSibling().FirstChild().FindAttr(L"text", text, 31));
            EXPECT_STREQ(L"登录 & 注册", text);
        }
    }

    LoadedImage* image = CSkinPainter::LoadSkinImage(ResourceRef(L"img\\BK.png"), nullptr, 0);
    ASSERT_NE(nullptr, image) << "found in the archive, ignoring case and separators";
    EXPECT_EQ(2, image->width);
    EXPECT_EQ(255, image->pixels[2]) << "opaque red top left";
    CSkinPainter::FreeLoadedImage(image, true);

    // An absolute path still loads once every skin source has failed.
    image = CSkinPainter::LoadSkinImage(ResourceRef(SourceTreePath(L"tests\\fixtures\\two-frames.gif").c_str()),
                                        nullptr, 0);
    EXPECT_NE(nullptr, image);
    CSkinPainter::FreeLoadedImage(image, true);
    EXPECT_EQ(nullptr, CSkinPainter::LoadSkinImage(ResourceRef(L"img/none.png"), nullptr, 0));
}

}  // namespace
