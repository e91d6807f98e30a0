// The label: its skin attributes, its measuring for the layouts, and its
// painting in a real layered window, read back from the window's own
// off-screen pixels (Xvfb composes no layered window on the screen).

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "ManagedWindow.h"
#include "controls/LabelUI.h"
#include "core/ContainerUI.h"
#include "builder/SkinBuilder.h"

using namespace CalUI;

namespace {

constexpr UINT kRepaintTimer = 0x2000;  // the layered window's repaint timer
constexpr UINT kInitialStyle = DT_VCENTER | DT_SINGLELINE;
constexpr DWORD kWhite = 0xFFFFFF;

// A label made by the skin's element name with the given attribute list,
// not attached to any window.
struct LooseLabel
{
    explicit LooseLabel(LPCWSTR attributes) { label.SetAttributeList(attributes); }
    CLabelUI label;
};

bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

// ---- Attribute values ------------------------------------------------------------

TEST(LabelAttributes, AlignmentAndLineAttributesSetTheirTextStyleBits)
{
    struct Case
    {
        LPCWSTR attributes;
        UINT style;
    };
    const Case cases[] = {
        {L"align=\"center\"", kInitialStyle | DT_CENTER},
        {L"align=\"right\"", kInitialStyle | DT_RIGHT},
        {L"align=\"right\" align=\"left\"", kInitialStyle},
        {L"align=\"leftright\"", kInitialStyle | DT_RIGHT},  // the later test wins
        {L"align=\"centerright\"", kInitialStyle | DT_RIGHT},
        {L"valign=\"center\"", kInitialStyle},  // only "vcenter" is known
        {L"valign=\"bottom\"", DT_SINGLELINE | DT_BOTTOM},
        {L"valign=\"top\"", DT_SINGLELINE},
        {L"valign=\"bottom\" valign=\"vcenter\"", kInitialStyle},
        {L"endellipsis=\"true\"", kInitialStyle | DT_END_ELLIPSIS},
        {L"endellipsis=\"true\" endellipsis=\"TRUE\"", kInitialStyle},
        {L"multiline=\"true\"", DT_VCENTER | DT_WORDBREAK},
        {L"multiline=\"true\" multiline=\"false\"", kInitialStyle | DT_WORDBREAK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.attributes);
        LooseLabel loose(c.attributes);
        EXPECT_EQ(c.style, loose.label.GetTextStyle());
        EXPECT_EQ((c.style & DT_SINGLELINE) == 0, loose.label.IsMultiLine());
    }
}

TEST(LabelAttributes, ColoursAreHexadecimalArgbAndOnlyTheTextColourGainsAlpha)
{
    struct Case
    {
        LPCWSTR attributes;
        std::function<DWORD(const CLabelUI&)> read;
        DWORD expected;
    };
    auto text = [](const CLabelUI& l) { return l.GetTextColor(); };
    const Case cases[] = {
        {L"textcolor=\"0x123456\"", text, 0xFF123456},
        {L"textcolor=\"123456\"", text, 0xFF123456},
        {L"textcolor=\"0\"", text, 0},
        {L"textcolor=\"#80FF0000\"", text, 0x80FF0000},
        {L"textcolor=\"ffffffff\"", text, 0xFFFFFFFF},
        {L"textcolor=\"#FFFFFFFF\"", text, 0xFFFFFFFF},
        {L"textcolor=\"0xFFFFFFFF\"", text, 0xFFFFFFFF},
        {L"disabledtextcolor=\"#00123456\"", [](const CLabelUI& l) { return l.GetDisabledTextColor(); }, 0x00123456},
        {L"disabledbkcolor=\"#FF00FF00\"", [](const CLabelUI& l) { return l.GetDisabledBkColor(); }, 0xFF00FF00},
        {L"textcolor1=\"#FF0000FF\"", [](const CLabelUI& l) { return l.GetTextColor1(); }, 0xFF0000FF},
        {L"textshadowcolora=\"#FF00FF00\"", [](const CLabelUI& l) { return l.GetTextShadowColorA(); }, 0xFF00FF00},
        {L"textshadowcolorb=\"#00000000\"", [](const CLabelUI& l) { return l.GetTextShadowColorB(); }, 0},
        {L"strokecolor=\"#FF112233\"", [](const CLabelUI& l) { return l.GetStrokeColor(); }, 0xFF112233},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.attributes);
        LooseLabel loose(c.attributes);
        EXPECT_EQ(c.expected, c.read(loose.label));
    }

    CLabelUI fresh;
    EXPECT_EQ(0u, fresh.GetTextColor());
    EXPECT_EQ(kGradientColorNotSet, fresh.GetTextColor1());
    EXPECT_EQ(0xFF000000u, fresh.GetTextShadowColorA());
    EXPECT_EQ(kGradientColorNotSet, fresh.GetTextShadowColorB());
}

// Missing numbers are 0 and the reading never runs past the value's end: the
// main window's user name label has "textpadding" "40" for its icon.
TEST(LabelAttributes, TextPaddingReadsUpToFourNumbersAndMissingOnesAreZero)
{
    struct Case
    {
        LPCWSTR value;
        RECT padding;
    };
    const Case cases[] = {
        {L"1,2,3,4", {1, 2, 3, 4}}, {L"40", {40, 0, 0, 0}}, {L"5,6", {5, 6, 0, 0}},
        {L"7,8,9", {7, 8, 9, 0}},   {L"", {0, 0, 0, 0}},    {L"-3,4,-5,6", {-3, 4, -5, 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "textpadding " << testing::PrintToString(std::wstring(c.value)));
        CLabelUI label;
        label.SetAttribute(L"textpadding", c.value);
        EXPECT_TRUE(c.padding == label.GetTextPadding());
    }
}

TEST(LabelAttributes, ShadowOffsetFollowsTheAngleAndIgnoresAnglesBeyondAHalfTurn)
{
    struct Case
    {
        LPCWSTR value;
        POINT offset;
    };
    const Case cases[] = {
        {L"2,45", {-2, -2}}, {L"2,135", {-2, 2}}, {L"2,-45", {2, -2}}, {L"2,-135", {2, 2}}, {L"2,0", {-2, -2}},
        {L"2,180", {-2, 2}}, {L"2,90", {-2, -2}}, {L"2,91", {-2, 2}},  {L"2,-180", {0, 2}}, {L"2,-90", {2, 0}},
        {L"2,-89", {2, -2}}, {L"2,-91", {2, 2}},  {L"2", {-2, -2}},  // a missing angle is 0
        {L"2,200", {9, 9}},                                          // ignored: the offset set before stays
        {L"2,-181", {9, 9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "shadowoffset " << testing::PrintToString(std::wstring(c.value)));
        CLabelUI label;
        label.SetShadowOffset(9, 135);   // (-9, 9)
        label.SetShadowOffset(9, -135);  // (9, 9)
        label.SetAttribute(L"shadowoffset", c.value);
        EXPECT_EQ(c.offset.x, label.GetShadowOffset().x);
        EXPECT_EQ(c.offset.y, label.GetShadowOffset().y);
    }
}

TEST(LabelAttributes, NumbersSwitchesAndUnknownNames)
{
    LooseLabel loose(L"font=\"3x\" rhaa=\"2\" gradientangle=\"-30\" gradientlength=\"12\" luminousfuzzy=\"1.5e0\" "
                     L"showhtml=\"true\" enabledeffect=\"true\" enabledluminous=\"true\" enabledstroke=\"true\" "
                     L"enabledshadow=\"true\" autocalwidth=\"TRUE\" AutoCalHeight=\"True\" sparkle=\"yes\"");
    const CLabelUI& l = loose.label;
    EXPECT_EQ(3, l.GetFont());
    EXPECT_EQ(2, l.GetTextRenderingHint());
    EXPECT_EQ(-30, l.GetGradientAngle());
    EXPECT_EQ(12, l.GetGradientLength());
    EXPECT_FLOAT_EQ(1.5f, l.GetLuminousFuzzy());
    EXPECT_TRUE(l.IsShowHtml());
    EXPECT_TRUE(l.IsEnabledEffect());
    EXPECT_TRUE(l.IsEnabledLuminous());
    EXPECT_TRUE(l.IsEnabledStroke());
    EXPECT_TRUE(l.IsEnabledShadow());
    EXPECT_TRUE(l.IsAutoCalcWidth());
    EXPECT_TRUE(l.IsAutoCalcHeight());
    EXPECT_STREQ(L"yes", loose.label.GetCustomAttribute(L"sparkle"));

    LooseLabel defaults(L"showhtml=\"True\" luminousfuzzy=\"0\" font=\"\"");
    EXPECT_FALSE(defaults.label.IsShowHtml());                 // booleans are exactly "true"
    EXPECT_FLOAT_EQ(3.0f, defaults.label.GetLuminousFuzzy());  // 0 is ignored
    EXPECT_EQ(0, defaults.label.GetFont());
    EXPECT_EQ(4, defaults.label.GetTextRenderingHint());
}

// ---- Measuring -----------------------------------------------------------------

namespace {

constexpr int kTahoma = 0;
constexpr int kLargeTahoma = 1;

// Labels measured on the paint DC of a real window with two known fonts.
class LabelMeasure : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        window = new ManagedWindow;
        window->manager.AddFont(kTahoma, L"Tahoma", 14, false, false, false, false);
        window->manager.AddFont(kLargeTahoma, L"Tahoma", 24, false, false, false, false);
    }
    static void TearDownTestSuite()
    {
        delete window;
        window = nullptr;
    }

    // A label of the window that is in no tree; deleted by the test's end.
    CLabelUI* Make(LPCWSTR attributes, LPCWSTR text)
    {
        auto* label = new CLabelUI;
        label->SetManager(&window->manager, nullptr, false);
        label->SetAttribute(L"font", L"0");
        label->SetAttributeList(attributes);
        label->SetText(text);
        made.push_back(label);
        return label;
    }

    void TearDown() override
    {
        for (CLabelUI* label : made)
            label->Delete();
    }

    static SIZE Extent(LPCWSTR text, int fontId = kTahoma)
    {
        HDC dc = window->manager.GetPaintDC();
        HGDIOBJ old = SelectObject(dc, window->manager.GetFont(fontId));
        SIZE size = {};
        GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
        SelectObject(dc, old);
        return size;
    }

    static int FontHeight(int fontId = kTahoma) { return window->manager.GetFontInfo(fontId)->textMetrics.tmHeight; }

    static ManagedWindow* window;
    std::vector<CLabelUI*> made;
};

ManagedWindow* LabelMeasure::window = nullptr;

}  // namespace

TEST_F(LabelMeasure, EstimateSizeFollowsFixedSizesPaddingLinesAndEffects)
{
    const int line = FontHeight();
    const int hello = Extent(L"Hello").cx;
    // One line is measured in a box as high as the font plus 8 and the
    // padding, vertically centred as it is drawn: the measured line reaches
    // from the box's top to the bottom of the centred text.
    auto single = [line](int paddingHeight) { return (8 + paddingHeight) / 2 + line; };
    const SIZE wide = {400, 300};
    struct Case
    {
        LPCWSTR attributes;
        LPCWSTR text;
        SIZE expected;
    };
    const Case cases[] = {
        {L"", L"Hello", {hello, single(0)}},
        {L"textpadding=\"1,2,3,4\"", L"Hello", {hello + 4, single(6) + 6}},
        // a fixed width is taken as it is, whatever the text, and the line
        // is as high as its box
        {L"width=\"100\" textpadding=\"0,2,0,3\"", L"Hello", {100, line + 8 + 5}},
        {L"width=\"100\" textpadding=\"0,2,0,3\"",
         L"Hello, a much longer line than one hundred pixels",
         {100, line + 8 + 5}},
        {L"height=\"40\" textpadding=\"3,0,3,0\"", L"Hello", {hello + 6, 40}},
        {L"width=\"100\" height=\"30\"", L"Hello, a much longer line", {100, 30}},
        // GDI+ draws wider than GDI measures
        {L"enabledeffect=\"true\"", L"Hello", {hello * 103 / 100, single(0)}},
        {L"enabledeffect=\"true\" width=\"90\"", L"Hello", {90, line + 8}},
        {L"multiline=\"true\"", L"abc abc abc", {Extent(L"abc abc abc").cx, line}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << testing::PrintToString(std::wstring(c.attributes)) << " "
                                        << testing::PrintToString(std::wstring(c.text)));
        const SIZE size = Make(c.attributes, c.text)->EstimateSize(wide);
        EXPECT_EQ(c.expected.cx, size.cx);
        EXPECT_EQ(c.expected.cy, size.cy);
    }

    // Three words wrap one a line at the available width, or at a fixed
    // width however much room there is.
    const int word = Extent(L"abc").cx;
    const int twoWords = Extent(L"abc abc").cx;
    const SIZE wrapped =
        Make(L"multiline=\"true\" textpadding=\"2,1,2,1\"", L"abc abc abc")->EstimateSize(SIZE{twoWords - 1, 300});
    EXPECT_EQ(3 * line + 2, wrapped.cy);
    EXPECT_GE(wrapped.cx, word + 4);
    EXPECT_LT(wrapped.cx, twoWords + 4);
    CLabelUI* narrow = Make(L"multiline=\"true\"", L"abc abc abc");
    narrow->SetFixedWidth(twoWords - 1);
    const SIZE fixed = narrow->EstimateSize(wide);
    EXPECT_EQ(twoWords - 1, fixed.cx);
    EXPECT_EQ(3 * line, fixed.cy);

    // Markup is measured as drawn: its tags take no room, bold text more.
    const SIZE markup = Make(L"showhtml=\"true\"", L"{b}Hello{/b}")->EstimateSize(wide);
    EXPECT_GE(markup.cx, hello);
    EXPECT_LT(markup.cx, Extent(L"{b}Hello{/b}").cx);
    EXPECT_EQ(line, markup.cy);
}

TEST_F(LabelMeasure, BothFixedSizesNeedNoWindowAtAll)
{
    CLabelUI label;
    label.SetAttributeList(L"width=\"120\" height=\"24\" text=\"anything\"");
    EXPECT_EQ(120, label.EstimateSize(SIZE{10, 10}).cx);
    EXPECT_EQ(24, label.EstimateSize(SIZE{10, 10}).cy);
}

// Every change that moves the text's size is measured again; compared with a
// label made with the final settings from the start.
TEST_F(LabelMeasure, ChangesAfterAnEstimateAreMeasuredAgain)
{
    const SIZE available = {300, 200};
    struct Case
    {
        const char* what;
        std::function<void(CLabelUI&)> change;
        LPCWSTR finalAttributes;
        LPCWSTR finalText;
    };
    const Case cases[] = {
        {"text", [](CLabelUI& l) { l.SetText(L"Hello there"); }, L"", L"Hello there"},
        {"font", [](CLabelUI& l) { l.SetFont(kLargeTahoma); }, L"font=\"1\"", L"{b}Hello{/b}"},
        {"padding",
         [](CLabelUI& l) {
             l.SetTextPadding(RECT{5, 6, 7, 8});
         },
         L"textpadding=\"5,6,7,8\"", L"{b}Hello{/b}"},
        {"markup", [](CLabelUI& l) { l.SetShowHtml(true); }, L"showhtml=\"true\"", L"{b}Hello{/b}"},
        {"fixed width", [](CLabelUI& l) { l.SetFixedWidth(33); }, L"width=\"33\"", L"{b}Hello{/b}"},
        {"fixed height", [](CLabelUI& l) { l.SetFixedHeight(44); }, L"height=\"44\"", L"{b}Hello{/b}"},
        {"multi-line", [](CLabelUI& l) { l.SetMultiLine(true); }, L"multiline=\"true\"", L"{b}Hello{/b}"},
        {"effects", [](CLabelUI& l) { l.SetEnabledEffect(true); }, L"enabledeffect=\"true\"", L"{b}Hello{/b}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CLabelUI* label = Make(L"", L"{b}Hello{/b}");
        const SIZE before = label->EstimateSize(available);
        c.change(*label);
        const SIZE after = label->EstimateSize(available);
        const SIZE fresh = Make(c.finalAttributes, c.finalText)->EstimateSize(available);
        EXPECT_EQ(fresh.cx, after.cx);
        EXPECT_EQ(fresh.cy, after.cy);
        EXPECT_TRUE(before.cx != after.cx || before.cy != after.cy);
    }

    // A new available size wraps a multi-line text again.
    CLabelUI* wrapping = Make(L"multiline=\"true\"", L"abc abc abc");
    const int oneLine = wrapping->EstimateSize(SIZE{400, 300}).cy;
    EXPECT_EQ(3 * oneLine, wrapping->EstimateSize(SIZE{Extent(L"abc abc").cx - 1, 300}).cy);
    EXPECT_EQ(oneLine, wrapping->EstimateSize(SIZE{400, 300}).cy);
}

// ---- Painting ------------------------------------------------------------------

namespace {

// One layered window of 400 x 300 built from a skin, shared by the painting
// tests: white behind every label, each label in a place of its own.
constexpr wchar_t kPaintSkin[] =
    L"<Window defaultfontcolor=\"#FF008000\" disabledfontcolor=\"#FF808080\">"
    L"<Font id=\"0\" name=\"Tahoma\" size=\"14\" default=\"true\"/>"
    L"<Font id=\"1\" name=\"微软雅黑\" size=\"28\"/>"
    L"<Font id=\"2\" name=\"Tahoma\" size=\"36\" bold=\"true\"/>"
    L"<Container bkcolor=\"#FFFFFFFF\">"
    L"<Label name=\"padded\" float=\"true\" pos=\"0,0,200,30\" text=\"Name\" textpadding=\"40\""
    L" textcolor=\"#FF0000FF\"/>"
    L"<Label name=\"defaulted\" float=\"true\" pos=\"200,0,400,30\" text=\"Default\"/>"
    L"<Label name=\"disabled\" float=\"true\" pos=\"0,30,200,60\" text=\"Off\" enabled=\"false\""
    L" bkcolor=\"#FFFF0000\" disabledbkcolor=\"#FF00FF00\" textcolor=\"#FF0000FF\" disabledtextcolor=\"#FF800080\"/>"
    L"<Label name=\"disabledmarkup\" float=\"true\" pos=\"200,30,400,60\" text=\"{b}Off{/b}\" showhtml=\"true\""
    L" enabled=\"false\" textcolor=\"#FF0000FF\" disabledtextcolor=\"#FF800080\"/>"
    L"<Label name=\"markup\" float=\"true\" pos=\"0,60,200,100\" showhtml=\"true\""
    L" text=\"{c #FFFF0000}Red{/c} {c #FF0000FF}Blue{/c}\"/>"
    L"<Label name=\"chinese\" float=\"true\" pos=\"200,60,400,100\" font=\"1\" text=\"中文\""
    L" textcolor=\"#FF0000FF\"/>"
    L"<Label name=\"gradient\" float=\"true\" pos=\"0,100,200,150\" font=\"2\" text=\"MMMM\" enabledeffect=\"true\""
    L" textcolor=\"#FFFF0000\" textcolor1=\"#FF0000FF\"/>"
    L"<Label name=\"solid\" float=\"true\" pos=\"200,100,400,150\" font=\"2\" text=\"MMMM\" enabledeffect=\"true\""
    L" textcolor=\"#FFFF0000\"/>"
    L"<Label name=\"stroke\" float=\"true\" pos=\"0,150,200,200\" font=\"2\" text=\"MMMM\" enabledeffect=\"true\""
    L" textcolor=\"#FFFF0000\" enabledstroke=\"true\" strokecolor=\"#FF00FF00\"/>"
    L"<Label name=\"shadow\" float=\"true\" pos=\"200,150,400,200\" font=\"2\" text=\"MMMM\" enabledeffect=\"true\""
    L" textcolor=\"#FFFF0000\" enabledshadow=\"true\" textshadowcolora=\"#FF00FF00\" shadowoffset=\"3,135\"/>"
    L"<Label name=\"glow\" float=\"true\" pos=\"0,200,200,250\" font=\"2\" text=\"MMMM\" enabledeffect=\"true\""
    L" textcolor=\"#FFFF0000\" enabledluminous=\"true\"/>"
    L"<Label name=\"flat\" float=\"true\" pos=\"200,200,400,250\" font=\"2\" text=\"MMMM\" enabledeffect=\"true\""
    L" textcolor=\"#FFFF0000\" enabledluminous=\"true\" enabledstroke=\"true\" strokecolor=\"#FF00FF00\""
    L" enabledshadow=\"true\" textpadding=\"0,25,0,25\"/>"
    L"<Label name=\"inverted\" float=\"true\" pos=\"0,250,200,300\" font=\"2\" text=\"MMMM\" enabledeffect=\"true\""
    L" textcolor=\"#FFFF0000\" enabledluminous=\"true\" enabledstroke=\"true\" strokecolor=\"#FF00FF00\""
    L" enabledshadow=\"true\" textpadding=\"150,0,150,0\"/>"
    L"</Container></Window>";

enum class Hue
{
    Red,
    Green,
    Blue,
};

// A pixel whose colour leans clearly to one hue.
bool Leans(DWORD rgb, Hue hue)
{
    const int r = (rgb >> 16) & 0xFF;
    const int g = (rgb >> 8) & 0xFF;
    const int b = rgb & 0xFF;
    switch (hue) {
    case Hue::Red:
        return r > g + 60 && r > b + 60;
    case Hue::Green:
        return g > r + 60 && g > b + 60;
    case Hue::Blue:
        return b > r + 60 && b > g + 60;
    }
    return false;
}

class LabelPaint : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        window = new ManagedWindow;
        CSkinBuilder builder;
        CControlUI* root = builder.Create(kPaintSkin, nullptr, nullptr, &window->manager);
        ASSERT_NE(nullptr, root);
        window->manager.SetLayered(true);
        window->Attach(root);
        ASSERT_TRUE(window->PumpUntil([] { return window->manager.GetOffscreenPixels() != nullptr; }));
        window->Send(WM_TIMER, kRepaintTimer, 0);
    }
    static void TearDownTestSuite()
    {
        delete window;
        window = nullptr;
    }

    static CLabelUI* Label(LPCWSTR name)
    {
        CControlUI* control = window->manager.FindControl(name);
        return control != nullptr ? static_cast<CLabelUI*>(control->GetInterface(L"Label")) : nullptr;
    }

    // The colour (0xRRGGBB) of client pixel (x, y) of the bottom-up
    // off-screen bitmap; GDI leaves the alpha byte of its text at 0.
    static DWORD Rgb(int x, int y)
    {
        const SIZE size = window->manager.GetOffscreenSize();
        return window->manager.GetOffscreenPixels()[(size.cy - 1 - y) * size.cx + x] & 0xFFFFFF;
    }

    static int Count(const RECT& rc, const std::function<bool(DWORD)>& matches)
    {
        int count = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                count += matches(Rgb(x, y)) ? 1 : 0;
        return count;
    }

    static int CountExactly(const RECT& rc, DWORD rgb)
    {
        return Count(rc, [rgb](DWORD pixel) { return pixel == rgb; });
    }

    static int CountLeaning(const RECT& rc, Hue hue)
    {
        return Count(rc, [hue](DWORD pixel) { return Leans(pixel, hue); });
    }

    // The smallest rectangle of the pixels in `rc` that match, by default
    // those that are not white; empty when none does.
    static RECT Ink(
        const RECT& rc, const std::function<bool(DWORD)>& matches = [](DWORD pixel) { return pixel != kWhite; })
    {
        RECT ink = {rc.right, rc.bottom, rc.left, rc.top};
        for (int y = rc.top; y < rc.bottom; ++y) {
            for (int x = rc.left; x < rc.right; ++x) {
                if (!matches(Rgb(x, y)))
                    continue;
                ink.left = std::min<LONG>(ink.left, x);
                ink.top = std::min<LONG>(ink.top, y);
                ink.right = std::max<LONG>(ink.right, x + 1);
                ink.bottom = std::max<LONG>(ink.bottom, y + 1);
            }
        }
        return ink;
    }

    static const RECT& Pos(LPCWSTR name) { return Label(name)->GetPos(); }

    static ManagedWindow* window;
};

ManagedWindow* LabelPaint::window = nullptr;

}  // namespace

TEST_F(LabelPaint, PlainTextKeepsItsPaddingAndTakesTheWindowsDefaultColour)
{
    // "textpadding" "40": a 40-pixel left margin and no other.
    const RECT padded = Pos(L"padded");
    const RECT ink = Ink(padded);
    EXPECT_GE(ink.left, padded.left + 40);
    EXPECT_LT(ink.left, padded.left + 44);
    EXPECT_GT(CountExactly(padded, 0x0000FF), 0);
    const int middle = (padded.top + padded.bottom) / 2;
    EXPECT_LT(ink.top, middle);
    EXPECT_GT(ink.bottom, middle);

    // Text colour 0 paints in the window's "defaultfontcolor" and keeps it.
    EXPECT_GT(CountExactly(Pos(L"defaulted"), 0x008000), 0);
    EXPECT_EQ(0xFF008000u, Label(L"defaulted")->GetTextColor());
}

TEST_F(LabelPaint, DisabledLabelsPaintTheirDisabledBackgroundAndTextColours)
{
    const RECT disabled = Pos(L"disabled");
    const int area = (disabled.right - disabled.left) * (disabled.bottom - disabled.top);
    EXPECT_EQ(0, CountExactly(disabled, 0xFF0000));             // never the enabled background
    EXPECT_GT(CountExactly(disabled, 0x00FF00), area * 3 / 4);  // the disabled one
    EXPECT_GT(CountExactly(disabled, 0x800080), 0);
    EXPECT_EQ(0, CountLeaning(disabled, Hue::Blue));

    const RECT markup = Pos(L"disabledmarkup");
    EXPECT_GT(CountExactly(markup, 0x800080), 0);
    EXPECT_EQ(0, CountLeaning(markup, Hue::Blue));

    // Enabled again: the own background and text colour.
    CLabelUI* label = Label(L"disabled");
    label->SetEnabled(true);
    window->Send(WM_TIMER, kRepaintTimer, 0);
    EXPECT_GT(CountExactly(disabled, 0xFF0000), area * 3 / 4);
    EXPECT_EQ(0, CountExactly(disabled, 0x00FF00));
    EXPECT_GT(CountExactly(disabled, 0x0000FF), 0);
    label->SetEnabled(false);
    window->Send(WM_TIMER, kRepaintTimer, 0);
    EXPECT_EQ(0, CountExactly(disabled, 0xFF0000));
}

TEST_F(LabelPaint, MarkupDrawsItsColoursAndNoTags)
{
    const RECT markup = Pos(L"markup");
    const RECT red = Ink(markup, [](DWORD pixel) { return Leans(pixel, Hue::Red); });
    const RECT blue = Ink(markup, [](DWORD pixel) { return Leans(pixel, Hue::Blue); });
    EXPECT_GT(CountExactly(markup, 0xFF0000), 0);
    EXPECT_GT(CountExactly(markup, 0x0000FF), 0);
    EXPECT_LT(red.right, blue.left);  // "Red", then "Blue"
    // A literal tag would show in the default colour.
    EXPECT_EQ(0, CountLeaning(markup, Hue::Green));
}

// A font without the characters would draw the same empty box twice.
TEST_F(LabelPaint, ChineseInTheSkinsFontDrawsTwoDifferentGlyphs)
{
    const RECT ink = Ink(Pos(L"chinese"));
    ASSERT_GT(ink.right - ink.left, 20);
    const LONG half = (ink.right - ink.left + 1) / 2;
    int differing = 0;
    int inked = 0;
    for (LONG y = ink.top; y < ink.bottom; ++y) {
        for (LONG x = 0; x < half && ink.left + half + x < ink.right; ++x) {
            const bool first = Rgb(ink.left + x, y) != kWhite;
            const bool second = Rgb(ink.left + half + x, y) != kWhite;
            differing += first != second;
            inked += first;
        }
    }
    EXPECT_GT(inked, 30);
    EXPECT_GT(differing, inked / 4);
    // The face asked for is what the window uses.
    EXPECT_STREQ(L"微软雅黑", window->manager.GetFontInfo(1)->faceName.GetData());
}

TEST_F(LabelPaint, GdiplusTextRunsItsGradientDownTheTextRectangle)
{
    // Red at the top of the rectangle, blue at its bottom.
    const RECT gradient = Pos(L"gradient");
    const RECT ink = Ink(gradient);
    ASSERT_GT(ink.bottom - ink.top, 12);
    const LONG third = (ink.bottom - ink.top) / 3;
    const RECT top = {gradient.left, ink.top, gradient.right, ink.top + third};
    const RECT bottom = {gradient.left, ink.bottom - third, gradient.right, ink.bottom};
    EXPECT_GT(CountLeaning(top, Hue::Red), 2 * CountLeaning(top, Hue::Blue));
    EXPECT_GT(CountLeaning(bottom, Hue::Blue), 2 * CountLeaning(bottom, Hue::Red));

    // Without a second colour the brush is solid.
    const RECT solid = Pos(L"solid");
    EXPECT_GT(CountLeaning(solid, Hue::Red), 100);
    EXPECT_EQ(0, CountLeaning(solid, Hue::Blue));
}

TEST_F(LabelPaint, GdiplusStrokeShadowAndGlowDrawAroundTheText)
{
    const RECT solid = Pos(L"solid");
    const RECT solidInk = Ink(solid);
    EXPECT_EQ(0, CountLeaning(solid, Hue::Green));

    // The stroke outlines the text in its own colour.
    EXPECT_GT(CountLeaning(Pos(L"stroke"), Hue::Green), 50);

    // The shadow at angle 135 falls 3 pixels left and 3 down.
    const RECT shadow = Pos(L"shadow");
    const RECT shadowInk = Ink(shadow);
    EXPECT_GT(CountLeaning(shadow, Hue::Green), 20);
    EXPECT_EQ(solidInk.left - solid.left - 3, shadowInk.left - shadow.left);
    EXPECT_EQ(solidInk.bottom - solid.top + 3, shadowInk.bottom - shadow.top);
    EXPECT_EQ(solidInk.right - solid.left, shadowInk.right - shadow.left);

    // The glow is a blurred copy under the text: more pixels take colour.
    const RECT glow = Pos(L"glow");
    const int glowInk = Count(glow, [](DWORD pixel) { return pixel != kWhite; });
    const int solidCount = Count(solid, [](DWORD pixel) { return pixel != kWhite; });
    EXPECT_GT(glowInk, solidCount + solidCount / 10);
}

// A text rectangle of no area, by padding as high or wider than the label,
// draws nothing at all, effects or not.
TEST_F(LabelPaint, GdiplusTextInARectangleOfNoAreaDrawsNothing)
{
    for (LPCWSTR name : {L"flat", L"inverted"}) {
        SCOPED_TRACE(testing::Message() << testing::PrintToString(std::wstring(name)));
        const RECT pos = Pos(name);
        EXPECT_EQ(0, Count(pos, [](DWORD pixel) { return pixel != kWhite; }));
    }
}
