#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DibCanvas.h"
#include "GeometryText.h"
#include "ManagedWindow.h"
#include "ScratchFolder.h"
#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"

using namespace CalUI;

namespace {

constexpr DWORD kWhite = 0xFFFFFF;
constexpr int kRegular = 1;
constexpr int kBold = 2;
constexpr int kChinese = 3;

// A manager with known fonts, a canvas to draw on and the fonts' own
// measurements to compare with.
class MarkupTextTest : public testing::Test
{
protected:
    MarkupTextTest()
    {
        manager.AddFont(kRegular, L"Tahoma", 14, false, false, false, false);
        manager.AddFont(kBold, L"Tahoma", 14, true, false, false, false);
        manager.AddFont(kChinese, L"微软雅黑", 16, false, false, false, false);
        manager.SetDefaultLinkFontColor(0xFF0000FF);
        manager.SetDefaultLinkHoverFontColor(0xFFFF0000);
    }

    int Extent(LPCWSTR text, int fontId = kRegular, int length = -1)
    {
        HGDIOBJ old = SelectObject(canvas.dc(), manager.GetFont(fontId));
        SIZE size = {};
        GetTextExtentPoint32W(canvas.dc(), text, length < 0 ? lstrlenW(text) : length, &size);
        SelectObject(canvas.dc(), old);
        return size.cx;
    }

    // How many leading characters of the text fit into the width.
    int Fits(const std::wstring& text, int width, int fontId = kRegular)
    {
        HGDIOBJ old = SelectObject(canvas.dc(), manager.GetFont(fontId));
        int fits = 0;
        SIZE size = {};
        GetTextExtentExPointW(canvas.dc(), text.c_str(), static_cast<int>(text.size()), width, &fits, nullptr, &size);
        SelectObject(canvas.dc(), old);
        return fits;
    }

    int LineHeight(int fontId = kRegular)
    {
        HGDIOBJ old = SelectObject(canvas.dc(), manager.GetFont(fontId));
        TEXTMETRICW metrics = {};
        GetTextMetricsW(canvas.dc(), &metrics);
        SelectObject(canvas.dc(), old);
        return metrics.tmHeight + metrics.tmExternalLeading;
    }

    RECT Measure(LPCWSTR text, UINT format = 0, int width = 400, int fontId = kRegular)
    {
        RECT rc = {0, 0, width, 300};
        int none = 0;
        CSkinPainter::DrawMarkupText(canvas.dc(), &manager, rc, text, 0, nullptr, nullptr, none, fontId,
                                     format | DT_CALCRECT);
        return rc;
    }

    // Draws into the canvas; returns the links produced.
    int Draw(LPCWSTR text, RECT rc, UINT format, int fontId = kRegular)
    {
        int count = 8;
        CSkinPainter::DrawMarkupText(canvas.dc(), &manager, rc, text, 0, linkRects, linkTexts, count, fontId, format);
        return count;
    }

    // What plain TextOutW gives for the same lines, one per line height.
    void DrawReference(DibCanvas& reference, const std::vector<std::wstring>& lines, int clipRight,
                       int fontId = kRegular)
    {
        HRGN clip = CreateRectRgn(0, 0, clipRight, reference.height());
        SelectClipRgn(reference.dc(), clip);
        DeleteObject(clip);
        HGDIOBJ old = SelectObject(reference.dc(), manager.GetFont(fontId));
        SetBkMode(reference.dc(), TRANSPARENT);
        SetTextColor(reference.dc(), RGB(0, 0, 1));
        for (size_t i = 0; i < lines.size(); ++i)
            TextOutW(reference.dc(), 0, static_cast<int>(i) * LineHeight(fontId), lines[i].c_str(),
                     static_cast<int>(lines[i].size()));
        SelectObject(reference.dc(), old);
        SelectClipRgn(reference.dc(), nullptr);
    }

    int DifferingPixels(const DibCanvas& other)
    {
        int differing = 0;
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x)
                differing += canvas.Rgb(x, y) != other.Rgb(x, y);
        return differing;
    }

    CWindowManagerUI manager;
    DibCanvas canvas{400, 300};
    RECT linkRects[8] = {};
    CUIString linkTexts[8];
};

TEST_F(MarkupTextTest, MeasuresTagsAsTheyAffectWidthAndHeight)
{
    const int line = LineHeight();
    struct Case
    {
        LPCWSTR text;
        int width;
        int height;
    } cases[] = {
        {L"Hello", Extent(L"Hello"), line},
        {L"ab\ncd", Extent(L"ab"), 2 * line},
        {L"ab<n>cd", Extent(L"ab"), 2 * line},
        {L"<x 20>ab", 20 + Extent(L"ab"), line},
        {L"<y 40>ab", Extent(L"ab"), 40},
        {L"<p 10>ab</p>cd", Extent(L"ab"), 10 + line + line},
        {L"<b>ab</b>cd", Extent(L"ab", kBold) + Extent(L"cd"), line},
        // The inner b pushes nothing; its closing tag leaves bold already.
        {L"<b>ab<b>c</b>d</b>", Extent(L"abc", kBold) + Extent(L"d"), line},
        {L"<r><b>x</b></r>", Extent(L"<b>x</b>"), line},
        {L"{r}<n>{/r}", Extent(L"<n>"), line},
        {L"a<{>b{>}c", Extent(L"a{b>c"), line},
        {L"a<3b", Extent(L"a<3b"), line},
        {L"<q>ab</q><c #FF0000>cd</c>", Extent(L"abcd"), line},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case with width " << c.width << " height " << c.height);
        EXPECT_EQ(RectText(Measure(c.text)), RectText(RECT{0, 0, c.width, c.height}));
    }
}

TEST_F(MarkupTextTest, WrapsAtWordBoundariesOrAnywhereInChineseText)
{
    // A link over the whole text shows where each line ended.
    struct Case
    {
        LPCWSTR text;
        UINT format;
        int fontId;
        int firstLineChars;  // of the text inside the link
    } cases[] = {
        {L"<a>aaa bbb ccc</a>", DT_WORDBREAK, kRegular, 8},  // "aaa bbb " fits
        {L"<a>aaa-bbbccc</a>", DT_WORDBREAK, kRegular, 4},   // back to "aaa-"
        {L"<a>aaabbbccc</a>", DT_WORDBREAK, kRegular, -1},   // no boundary: as much as fits
        {L"<a>aaa bbbccc</a>", 0, kRegular, -1},             // no word breaking
        {L"<a>中文字符测试文本</a>", DT_WORDBREAK, kChinese, 3},
    };
    for (const Case& c : cases) {
        std::wstring inner(c.text + 3, wcslen(c.text) - 7);
        const int boxWidth = c.fontId == kChinese ? Extent(L"中文字", kChinese) + 5 : Extent(L"aaa bbbc") + 1;
        const int fits = Fits(inner, boxWidth, c.fontId);
        const int expectedChars = c.firstLineChars < 0 ? fits : c.firstLineChars;
        SCOPED_TRACE(testing::Message() << "first line of " << expectedChars << " characters, format " << c.format);

        canvas.Fill(0x00FFFFFF);
        const int count = Draw(c.text, RECT{0, 0, boxWidth, 300}, c.format, c.fontId);
        ASSERT_GE(count, 2);
        EXPECT_EQ(RectText(linkRects[0]),
                  RectText(RECT{0, 0, Extent(inner.c_str(), c.fontId, expectedChars), LineHeight(c.fontId)}));
        EXPECT_EQ(linkRects[1].left, 0);
        EXPECT_EQ(linkRects[1].top, LineHeight(c.fontId));
    }
}

TEST_F(MarkupTextTest, EveryOverflowingLineEndsInAnEllipsis)
{
    const int boxWidth = Extent(L"abcdef") + 2;
    Draw(L"abcdefghij\nklmnopqrst", RECT{0, 0, boxWidth, 3 * LineHeight()}, DT_END_ELLIPSIS);
    // What fits, less two characters to make room for the dots, which the
    // box clips; the rest of the text goes on in the next line, and the
    // output stops at the box's bottom.
    const std::wstring first = L"abcdefghij";
    const int kept = Fits(first, boxWidth) - 2;
    const std::wstring rest = first.substr(kept);
    ASSERT_EQ(Fits(rest, boxWidth), static_cast<int>(rest.size()));
    const std::wstring second = L"klmnopqrst";
    DibCanvas reference(400, 300);
    DrawReference(reference,
                  {first.substr(0, kept) + L"...", rest, second.substr(0, Fits(second, boxWidth) - 2) + L"..."},
                  boxWidth);
    EXPECT_EQ(DifferingPixels(reference), 0);

    // With word breaking the cut goes back to the boundary first.
    canvas.Fill(0x00FFFFFF);
    reference.Fill(0x00FFFFFF);
    Draw(L"ab-cdefghij", RECT{0, 0, boxWidth, 300}, DT_END_ELLIPSIS | DT_WORDBREAK | DT_SINGLELINE);
    DrawReference(reference, {L"a..."}, boxWidth);
    EXPECT_EQ(DifferingPixels(reference), 0);
}

TEST_F(MarkupTextTest, ALineAlwaysConsumesACharacterUnderAnEllipsis)
{
    // Narrower than any character: every line takes one character instead of
    // giving back all of them to the ellipsis and starting over forever.
    const RECT measured = Measure(L"abc", DT_END_ELLIPSIS, 2);
    EXPECT_EQ(measured.bottom, 3 * LineHeight());
    EXPECT_EQ(Measure(L"a b", DT_END_ELLIPSIS | DT_WORDBREAK, 2).bottom, 3 * LineHeight());
}

TEST_F(MarkupTextTest, LinksReportTheirTextAndRectangles)
{
    const int count = Draw(L"see <a home>home page</a> now", RECT{0, 0, 400, 300}, 0);
    ASSERT_EQ(count, 1);
    EXPECT_STREQ(linkTexts[0], L"home");
    EXPECT_EQ(RectText(linkRects[0]), RectText(RECT{Extent(L"see "), 0, Extent(L"see home page"), LineHeight()}));

    // A wrapping link gives two rectangles under the same text.
    const int boxWidth = Extent(L"see home ") + 1;
    ASSERT_EQ(Draw(L"see <a home>home page</a> now", RECT{0, 0, boxWidth, 300}, DT_WORDBREAK), 2);
    EXPECT_STREQ(linkTexts[0], L"home");
    EXPECT_STREQ(linkTexts[1], L"home");
    EXPECT_EQ(RectText(linkRects[0]), RectText(RECT{Extent(L"see "), 0, Extent(L"see home "), LineHeight()}));
    EXPECT_EQ(RectText(linkRects[1]), RectText(RECT{0, LineHeight(), Extent(L"page"), 2 * LineHeight()}));
}

TEST_F(MarkupTextTest, TagArgumentsOfAnyLengthArriveWhole)
{
    const std::wstring target(700, L'x');
    const std::wstring face(300, L'F');
    ASSERT_EQ(Draw((L"<f " + face + L" 12 bold><a " + target + L">go</a></f>").c_str(), RECT{0, 0, 400, 300}, 0), 1);
    EXPECT_EQ(std::wstring(linkTexts[0]), target);
}

TEST_F(MarkupTextTest, LinksBeyondTheCallersEntriesAreCountedButNotWritten)
{
    RECT rects[2] = {{}, {7, 7, 7, 7}};
    CUIString texts[2] = {L"", L"untouched"};
    int count = 1;
    RECT rc = {0, 0, 400, 300};
    CSkinPainter::DrawMarkupText(canvas.dc(), &manager, rc, L"<a one>1</a> <a two>2</a>", 0, rects, texts, count,
                                 kRegular, 0);
    EXPECT_EQ(count, 2);
    EXPECT_STREQ(texts[0], L"one");
    EXPECT_STREQ(texts[1], L"untouched");
    EXPECT_EQ(RectText(rects[1]), "7,7,7,7");
}

TEST_F(MarkupTextTest, TheHoveredLinkIsDrawnInTheHoverColourOnEveryLine)
{
    ManagedWindow window;
    EventLog log;
    window.Attach(new RecordingControl(&log, L"root", RECT{0, 0, 400, 300}));
    window.manager.AddFont(kRegular, L"Tahoma", 14, false, false, false, false);
    window.manager.SetDefaultLinkFontColor(0xFF0000FF);
    window.manager.SetDefaultLinkHoverFontColor(0xFFFF0000);
    const int boxWidth = Extent(L"see home ") + 1;
    const RECT box = {0, 0, boxWidth, 300};
    LPCWSTR text = L"see <a home>home page</a> <a other>x</a>";
    auto draw = [&] {
        canvas.Fill(0x00FFFFFF);
        RECT rc = box;
        int count = 8;
        CSkinPainter::DrawMarkupText(canvas.dc(), &window.manager, rc, text, 0, linkRects, linkTexts, count, kRegular,
                                     DT_WORDBREAK);
        return count;
    };
    ASSERT_EQ(draw(), 3);
    const RECT firstPart = linkRects[0];
    const RECT secondPart = linkRects[1];
    const RECT other = linkRects[2];
    EXPECT_EQ(canvas.Count(firstPart, 0xFF0000), 0);
    EXPECT_GT(canvas.Count(firstPart, 0x0000FF), 0);

    // The mouse over the second part lights both parts, not the other link.
    window.Send(WM_MOUSEMOVE, 0, PointParam(secondPart.left + 2, secondPart.top + 2));
    draw();
    EXPECT_GT(canvas.Count(firstPart, 0xFF0000), 0);
    EXPECT_GT(canvas.Count(secondPart, 0xFF0000), 0);
    EXPECT_EQ(canvas.Count(other, 0xFF0000), 0);
    EXPECT_GT(canvas.Count(other, 0x0000FF), 0);
}

TEST_F(MarkupTextTest, AlignmentMovesTheBoxToTheMeasuredText)
{
    const int width = Extent(L"centred");
    RECT rc = {10, 20, 210, 120};
    int none = 0;
    CSkinPainter::DrawMarkupText(canvas.dc(), &manager, rc, L"centred", 0, nullptr, nullptr, none, kRegular,
                                 DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    const int left = 10 + 100 - width / 2;
    const int top = 20 + 50 - LineHeight() / 2;
    EXPECT_EQ(RectText(rc), RectText(RECT{left, top, left + width, top + LineHeight()}));
    const RECT drawn = canvas.BoundsOfOther(kWhite);
    EXPECT_GE(drawn.left, left);
    EXPECT_LE(drawn.right, left + width);
    EXPECT_GE(drawn.top, top);

    // Lines of a multi-line text are shifted one by one.
    canvas.Fill(0x00FFFFFF);
    Draw(L"a\nabcabc", RECT{0, 0, 200, 300}, DT_RIGHT);
    DibCanvas reference(400, 300);
    HGDIOBJ old = SelectObject(reference.dc(), manager.GetFont(kRegular));
    SetBkMode(reference.dc(), TRANSPARENT);
    SetTextColor(reference.dc(), RGB(0, 0, 1));
    TextOutW(reference.dc(), 200 - Extent(L"a"), 0, L"a", 1);
    TextOutW(reference.dc(), 200 - Extent(L"abcabc"), LineHeight(), L"abcabc", 6);
    SelectObject(reference.dc(), old);
    EXPECT_EQ(DifferingPixels(reference), 0);
}

TEST_F(MarkupTextTest, ColoursSelectionAndNearBlack)
{
    Draw(L"ab<c #FF00FF00>cd</c><s>ef</s>", RECT{0, 0, 400, 300}, 0);
    const RECT line = {0, 0, 400, LineHeight()};
    EXPECT_GT(canvas.Count(line, 0x00FF00), 0);
    EXPECT_GT(canvas.Count(line, 0x000001), 0);
    EXPECT_EQ(canvas.Count(line, 0x000000), 0);
    const int selectionStart = Extent(L"abcd");
    const RECT selection = {selectionStart + 1, 1, selectionStart + Extent(L"ef") - 1, LineHeight() - 1};
    EXPECT_GT(canvas.Count(selection, 0xBAE4FF), 0);
    EXPECT_EQ(canvas.Count(RECT{0, 0, selectionStart, LineHeight()}, 0xBAE4FF), 0);
}

// A strip of three 20 x 24 frames: red, green, blue.
class MarkupImageTest : public MarkupTextTest
{
protected:
    MarkupImageTest()
    {
        strip = folder.WriteFile(L"strip.bmp", BmpFileBytes(60, 24, [](int x, int) {
                                     return x < 20 ? 0xFF0000 : x < 40 ? 0x00FF00 : 0x0000FF;
                                 }));
    }

    std::wstring Tag(const std::wstring& frames) { return L"<i " + strip + L" " + frames + L">"; }

    ScratchFolder folder;
    std::wstring strip;
};

TEST_F(MarkupImageTest, FramesOfAStripAreDrawnOnTheLine)
{
    const std::wstring text = L"a" + Tag(L"3 1") + L"b";
    EXPECT_EQ(RectText(Measure(text.c_str())), RectText(RECT{0, 0, Extent(L"a") + 20 + Extent(L"b"), 24}));
    Draw(text.c_str(), RECT{0, 0, 400, 300}, 0);
    const RECT frame = {Extent(L"a"), 0, Extent(L"a") + 20, 24};
    EXPECT_EQ(canvas.Count(frame, 0x00FF00), 20 * 24);

    // A frame index outside the strip shows the first frame; an attribute
    // string names the file too and shows the whole image.
    canvas.Fill(0x00FFFFFF);
    Draw((Tag(L"3 7") + L"<i file='" + strip + L"'>").c_str(), RECT{0, 0, 400, 300}, 0);
    EXPECT_EQ(canvas.Count(RECT{0, 0, 20, 24}, 0xFF0000), 20 * 24);
    EXPECT_EQ(canvas.Count(RECT{20, 0, 80, 24}, 0xFF0000), 20 * 24);
    EXPECT_EQ(canvas.Count(RECT{20, 0, 80, 24}, 0x0000FF), 20 * 24);
}

TEST_F(MarkupImageTest, AnImageThatDoesNotFitStartsTheNextLine)
{
    const std::wstring two = Tag(L"3 0") + Tag(L"3 2");
    EXPECT_EQ(Measure(two.c_str(), 0, 30).bottom, 48);
    // At a line start an image is placed even when wider than the box.
    EXPECT_EQ(RectText(Measure(Tag(L"3 0").c_str(), 0, 10)), "0,0,10,24");
    Draw(two.c_str(), RECT{0, 0, 30, 300}, 0);
    EXPECT_EQ(canvas.Count(RECT{0, 24, 20, 48}, 0x0000FF), 20 * 24);
    // A missing image is skipped.
    EXPECT_EQ(RectText(Measure(L"a<i no-such-image.png>b")), RectText(Measure(L"ab")));
}

TEST_F(MarkupImageTest, LowerImagesFollowTheVerticalAlignment)
{
    struct Case
    {
        LPCWSTR alignment;
        int top;
    } cases[] = {{L"", 16}, {L"<v center>", 8}, {L"<v top>", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "image top " << c.top);
        canvas.Fill(0x00FFFFFF);
        Draw((std::wstring(L"<y 40>") + c.alignment + Tag(L"3 1")).c_str(), RECT{0, 0, 400, 300}, 0);
        EXPECT_EQ(RectText(canvas.BoundsOfOther(kWhite)), RectText(RECT{0, c.top, 20, c.top + 24}));
    }
}

}  // namespace
