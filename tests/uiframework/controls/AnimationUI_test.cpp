// The GIF and APNG animations in a real layered window: frames are read as
// pixels of the window's off-screen picture while the manager's timer plays
// them. Durations are only bounded from below.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ClickableTestWindow.h"
#include "GifBuilder.h"
#include "PngBuilder.h"
#include "ScratchFolder.h"
#include "TestPaths.h"
#include "controls/AnimationUI.h"
#include "core/ContainerUI.h"

using namespace CalUI;

namespace {

constexpr DWORD kRed = 0xFF0000;
constexpr DWORD kGreen = 0x00FF00;
constexpr DWORD kBlue = 0x0000FF;
constexpr DWORD kMagenta = 0xFF00FF;
constexpr DWORD kYellow = 0xFFFF00;
constexpr DWORD kGrey = 0x404040;  // the animations' own background colour
constexpr POINT kScreenPlace = {40, 520};
// Timers may fire a tick early against GetTickCount's granularity.
constexpr DWORD kTimerSlackMs = 20;

// 0xRRGGBBAA
constexpr uint32_t Rgba(DWORD rgb, uint32_t alpha = 0xFF) { return rgb << 8 | alpha; }

// Red, green, blue for 0, 50 and 70 hundredths of a second.
std::string ThreeFrameGif(int size)
{
    return GifBuilder(size, size, {kRed, kGreen, kBlue, kMagenta})
        .SolidFrame(0, 0)
        .SolidFrame(1, 50)
        .SolidFrame(2, 70)
        .Bytes();
}

std::string SolidPng(int width, int height, uint32_t rgba)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, rgba);
    PngBuilder png;
    png.Header(width, height).ImageData(RgbaScanlines(width, height, pixels.data())).End();
    return png.Bytes();
}

// One frame of an APNG: a solid rectangle of the 20 x 10 canvas.
struct ApngTestFrame
{
    uint32_t x, y, width, height;
    uint32_t rgba;
    uint8_t dispose = 0;
    uint8_t blend = 0;
};

constexpr uint32_t kCanvasWidth = 20;
constexpr uint32_t kCanvasHeight = 10;

std::string Scanlines(const ApngTestFrame& f)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(f.width) * f.height, f.rgba);
    return RgbaScanlines(f.width, f.height, pixels.data());
}

// The default image is frame 0 unless `separateDefault` is given: then it is
// that colour and stands outside the animation.
std::string Apng(const std::vector<ApngTestFrame>& frames, uint16_t delayNum, uint16_t delayDen, uint32_t plays = 0,
                 const uint32_t* separateDefault = nullptr)
{
    PngBuilder png;
    png.Header(kCanvasWidth, kCanvasHeight).AnimationControl(static_cast<uint32_t>(frames.size()), plays);
    uint32_t sequence = 0;
    if (separateDefault != nullptr)
        png.ImageData(Scanlines({0, 0, kCanvasWidth, kCanvasHeight, *separateDefault}));
    for (size_t i = 0; i < frames.size(); ++i) {
        const ApngTestFrame& f = frames[i];
        png.FrameControl(sequence++, f.width, f.height, f.x, f.y, delayNum, delayDen, f.dispose, f.blend);
        if (i == 0 && separateDefault == nullptr)
            png.ImageData(Scanlines(f));
        else
            png.FrameData(sequence++, Scanlines(f));
    }
    png.End();
    return png.Bytes();
}

std::wstring Anim(LPCWSTR element, LPCWSTR name, int left, int top, int width, int height, const std::wstring& image,
                  const std::wstring& more = L"")
{
    return L"<" + std::wstring(element) + L" name=\"" + name + L"\" float=\"true\" pos=\"" + std::to_wstring(left) +
           L"," + std::to_wstring(top) + L"," + std::to_wstring(left + width) + L"," + std::to_wstring(top + height) +
           L"\" bkcolor=\"#FF404040\" bkimage=\"" + image + L"\" " + more + L"/>";
}

class Animation : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        scratch = new ScratchFolder;
        auto file = [](LPCWSTR name, const std::string& bytes) { return scratch->WriteFile(name, bytes); };
        gif = file(L"three.gif", ThreeFrameGif(20));
        otherGif = file(L"other.gif", GifBuilder(30, 30, {kYellow, kBlue}).SolidFrame(0, 10).SolidFrame(1, 10).Bytes());
        const std::wstring magentaGif = file(L"magenta.gif", GifBuilder(20, 20, {kMagenta}).SolidFrame(0, 10).Bytes());
        const std::wstring halfMagenta = file(L"half.png", SolidPng(20, 20, Rgba(kMagenta, 0x80)));
        const std::wstring bluePng = file(L"blue.png", SolidPng(20, 20, Rgba(kBlue)));
        const std::wstring stillPng = file(L"still.png", SolidPng(20, 10, Rgba(kYellow)));
        const std::wstring jpeg = SourceTreePath(L"tests\\fixtures\\solid-blue.jpg");
        const std::wstring notAnImage = file(L"garbage.png", "\x89PNG\r\n\x1a\n garbage that decodes to nothing");
        const std::wstring loading = SourceTreePath(L"skins\\client\\img\\loading.png");

        std::wstring controls =
            Anim(L"GifAnim", L"gif", 10, 10, 20, 20, gif) +
            Anim(L"GifAnim", L"manual", 40, 10, 20, 20, gif, L"autoplay=\"false\"") +
            Anim(L"GifAnim", L"new", 70, 10, 40, 40, gif) +
            Anim(L"GifAnim", L"masked", 10, 60, 20, 20, L"file='" + magentaGif + L"' mask='#FFFF00FF'") +
            Anim(L"GifAnim", L"unmasked", 40, 60, 20, 20, magentaGif) +
            Anim(L"ApngAnim", L"half", 70, 60, 20, 20, L"file='" + halfMagenta + L"' mask='#FFFF00FF'") +
            Anim(L"GifAnim", L"png", 100, 60, 20, 20, bluePng) + Anim(L"GifAnim", L"jpeg", 130, 60, 20, 20, jpeg) +
            Anim(L"ApngAnim", L"rejected", 160, 60, 20, 20, notAnImage) +
            Anim(L"ApngAnim", L"gifasapng", 190, 60, 20, 20, gif) +
            Anim(L"GifAnim", L"missing", 220, 60, 20, 20, scratch->File(L"none.gif")) +
            Anim(L"GifAnim", L"shortrects", 250, 60, 20, 20, L"file='" + gif + L"' dest='2,2' source='1' corner='3,'") +
            Anim(L"ApngAnim", L"still", 10, 90, 20, 10, stillPng) +
            Anim(L"ApngAnim", L"loading", 40, 90, 50, 50, loading);
        ui = new ClickableTestWindow(kScreenPlace, controls);
    }
    static void TearDownTestSuite()
    {
        delete ui;
        delete scratch;
    }

    static CGifAnimUI* Find(LPCWSTR name) { return ui->Find<CGifAnimUI>(name, L"GifAnim"); }

    // The colour at the middle of the control after a repaint.
    static DWORD Centre(CControlUI* control)
    {
        ui->Repaint();
        const RECT& rc = control->GetPos();
        return ui->Rgb((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }

    static bool WaitForFrame(CGifAnimUI* anim, int frame, DWORD limitMs = 5000)
    {
        return ui->window.PumpUntil([&] { return anim->GetCurrentFrame() == frame; }, limitMs);
    }

    static inline ScratchFolder* scratch = nullptr;
    static inline ClickableTestWindow* ui = nullptr;
    static inline std::wstring gif;
    static inline std::wstring otherGif;
};

TEST_F(Animation, AGifShowsEachFrameForAtLeastItsDelayAndSendsNoTimerNotification)
{
    CGifAnimUI* anim = Find(L"gif");
    ASSERT_NE(anim, nullptr);
    ASSERT_EQ(anim->GetFrameCount(), 3);
    EXPECT_EQ(anim->GetFrameDelay(0), 0);
    EXPECT_EQ(anim->GetFrameDelay(1), 500);
    EXPECT_EQ(anim->GetFrameDelay(2), 700);
    anim->Stop();
    ui->window.notifications.clear();

    // Each tick moves the animation on: the times between ticks are how long
    // the frames stayed, whenever the test's polling notices the change.
    static struct TickTimes
    {
        bool OnEvent(void* param)
        {
            if (static_cast<const UIEvent*>(param)->type == UIEventType::Timer)
                at.push_back(GetTickCount());
            return true;
        }
        std::vector<DWORD> at;
    } ticks;
    anim->eventDelegates.Add(CDelegate<TickTimes, TickTimes>(&ticks, &TickTimes::OnEvent));

    const DWORD expectedColour[] = {kRed, kGreen, kBlue};
    const DWORD shownAtLeastMs[] = {100, 500, 700};  // delay 0 shows 100 ms
    EXPECT_EQ(Centre(anim), kRed);
    ticks.at.assign(1, GetTickCount());
    anim->Play();
    for (int step = 0; step < 3; ++step) {
        const int next = (step + 1) % 3;
        ASSERT_TRUE(WaitForFrame(anim, next)) << "frame " << next;
        EXPECT_EQ(Centre(anim), expectedColour[next]) << "frame " << next;
    }
    ASSERT_GE(ticks.at.size(), 4u);
    for (int step = 0; step < 3; ++step)
        EXPECT_GE(ticks.at[step + 1] - ticks.at[step] + kTimerSlackMs, shownAtLeastMs[step]) << "frame " << step;
    for (const ReceivedNotify& n : ui->window.notifications)
        EXPECT_NE(n.type, L"timer");
}

TEST_F(Animation, ThePlayerPausesStopsAndFollowsVisibilityAndAutoplay)
{
    CGifAnimUI* manual = Find(L"manual");
    ASSERT_NE(manual, nullptr);
    // Autoplay off: the first frame shows and nothing moves.
    ui->window.PumpUntil([] { return false; }, 250);
    EXPECT_FALSE(manual->IsPlaying());
    EXPECT_EQ(manual->GetCurrentFrame(), 0);
    EXPECT_EQ(Centre(manual), kRed);

    manual->Play();
    ASSERT_TRUE(WaitForFrame(manual, 1));
    manual->Pause();
    ui->window.PumpUntil([] { return false; }, 600);
    EXPECT_EQ(manual->GetCurrentFrame(), 1) << "a pause keeps the frame";
    EXPECT_EQ(Centre(manual), kGreen);
    manual->Stop();
    EXPECT_EQ(manual->GetCurrentFrame(), 1) << "a paused animation is not playing: Stop leaves it";
    manual->Play();
    EXPECT_TRUE(manual->IsPlaying());
    manual->Stop();
    EXPECT_EQ(manual->GetCurrentFrame(), 0);
    EXPECT_EQ(Centre(manual), kRed);

    // Hiding stops; showing plays again only with autoplay on.
    CGifAnimUI* gifAnim = Find(L"gif");
    ASSERT_TRUE(WaitForFrame(gifAnim, 1));
    gifAnim->SetVisible(false);
    EXPECT_FALSE(gifAnim->IsPlaying());
    EXPECT_EQ(gifAnim->GetCurrentFrame(), 0);
    gifAnim->SetVisible(true);
    EXPECT_TRUE(gifAnim->IsPlaying());
    EXPECT_TRUE(WaitForFrame(gifAnim, 1));
    manual->SetVisible(false);
    manual->SetVisible(true);
    EXPECT_FALSE(manual->IsPlaying());

    // "autoplay" in any case switches it; "AutoSize" is not "autosize".
    manual->SetAttribute(L"AutoPlay", L"true");
    EXPECT_TRUE(manual->IsAutoPlay());
    EXPECT_TRUE(manual->IsPlaying());
    manual->SetAttribute(L"AUTOPLAY", L"false");
    EXPECT_FALSE(manual->IsPlaying());
    manual->SetAttribute(L"AutoSize", L"true");
    EXPECT_FALSE(manual->IsAutoSize());
}

TEST_F(Animation, TheSameImageAgainKeepsPlayingAndANewOneReplacesIt)
{
    CGifAnimUI* anim = Find(L"new");
    ASSERT_NE(anim, nullptr);
    ASSERT_TRUE(WaitForFrame(anim, 1));
    anim->SetAttribute(L"bkimage", gif.c_str());
    EXPECT_EQ(anim->GetCurrentFrame(), 1);
    EXPECT_TRUE(anim->IsPlaying());

    anim->SetAttribute(L"autosize", L"true");
    anim->SetAttribute(L"BKIMAGE", otherGif.c_str());
    EXPECT_EQ(anim->GetFrameCount(), 2);
    EXPECT_EQ(anim->GetCurrentFrame(), 0);
    EXPECT_TRUE(anim->IsPlaying());
    EXPECT_EQ(anim->GetFixedWidth(), 30);
    EXPECT_EQ(anim->GetFixedHeight(), 30);
    // The whole new picture shows, not the old one's 20 x 20 corner of it.
    ASSERT_TRUE(ui->window.PumpUntil([&] { return anim->GetPos().right - anim->GetPos().left == 30; }));
    ui->Repaint();
    const RECT& rc = anim->GetPos();
    const DWORD expected = anim->GetCurrentFrame() == 0 ? kYellow : kBlue;
    EXPECT_EQ(ui->Rgb(rc.left + 2, rc.top + 2), expected);
    EXPECT_EQ(ui->Rgb(rc.right - 2, rc.bottom - 2), expected);
}

// Opaque magenta under a magenta mask is transparent in every frame; half
// magenta is premultiplied to another value and stays. Images the loader of
// the control refuses show as the plain background image, or not at all.
TEST_F(Animation, MaskAndRefusedImagesAsOneTable)
{
    struct Case
    {
        LPCWSTR name;
        int frames;
        DWORD centre;  // kGrey: the control's own background shows
    };
    const Case cases[] = {
        {L"masked", 1, kGrey},   {L"unmasked", 1, kMagenta}, {L"png", 0, kBlue},     {L"jpeg", 0, kBlue},
        {L"rejected", 0, kGrey}, {L"gifasapng", 0, kRed},    {L"missing", 0, kGrey}, {L"still", 0, kYellow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        CGifAnimUI* anim = Find(c.name);
        ASSERT_NE(anim, nullptr);
        EXPECT_EQ(anim->GetFrameCount(), c.frames);
        EXPECT_FALSE(anim->GetFrameCount() == 0 && anim->IsPlaying());
        const DWORD seen = Centre(anim);
        for (int shift : {16, 8, 0})  // a JPEG is off by a step or two
            EXPECT_NEAR(static_cast<int>(seen >> shift & 0xFF), static_cast<int>(c.centre >> shift & 0xFF), 3)
                << std::hex << seen;
    }
    // Half-transparent magenta over the grey background: neither grey nor magenta.
    const DWORD half = Centre(Find(L"half"));
    EXPECT_NEAR(static_cast<int>(half >> 16), 0x80 + 0x40 / 2, 3);
    EXPECT_NEAR(static_cast<int>(half >> 8 & 0xFF), 0x40 / 2, 3);

    // Short rectangles read their missing numbers as 0: dest (2,2,0,0) is empty.
    CGifAnimUI* shortRects = Find(L"shortrects");
    EXPECT_EQ(shortRects->GetFrameCount(), 3);
    EXPECT_EQ(Centre(shortRects), kGrey);
}

TEST_F(Animation, AStillPngStaysStillAndTheShippedSpinnerKeepsTurning)
{
    CGifAnimUI* still = Find(L"still");
    ui->window.PumpUntil([] { return false; }, 200);
    EXPECT_FALSE(still->IsPlaying());

    CGifAnimUI* loading = Find(L"loading");
    ASSERT_NE(loading, nullptr);
    EXPECT_GE(loading->GetFrameCount(), 8);
    EXPECT_EQ(loading->GetFrameSize().cx, 50);
    EXPECT_EQ(loading->GetFrameSize().cy, 50);
    EXPECT_TRUE(loading->IsPlaying());
    // Several changes in a row: it loops and never rests.
    int changes = 0;
    int last = loading->GetCurrentFrame();
    ASSERT_TRUE(ui->window.PumpUntil(
        [&] {
            if (loading->GetCurrentFrame() != last) {
                last = loading->GetCurrentFrame();
                ++changes;
            }
            return changes >= loading->GetFrameCount() + 3;
        },
        15000));
}

// Each case: the frames, then the left and right halves of each frame shown.
TEST_F(Animation, ApngCompositionAsOneTable)
{
    constexpr uint32_t kHalfRed = Rgba(kRed, 0x80);
    constexpr DWORD kRedOverBlue = 0x80007F;
    struct Case
    {
        LPCWSTR what;
        std::vector<ApngTestFrame> frames;
        std::vector<std::pair<DWORD, DWORD>> shown;  // kGrey: transparent
        bool separateDefault = false;
    };
    const uint32_t yellow = Rgba(kYellow);
    const Case cases[] = {
        {L"dispose none, blend source",
         {{0, 0, 20, 10, Rgba(kRed)}, {0, 0, 10, 10, Rgba(kBlue)}},
         {{kRed, kRed}, {kBlue, kRed}}},
        {L"dispose background clears the region",
         {{0, 0, 20, 10, Rgba(kRed), 1}, {0, 0, 10, 10, Rgba(kBlue)}},
         {{kRed, kRed}, {kBlue, kGrey}}},
        {L"dispose previous restores the canvas",
         {{0, 0, 20, 10, Rgba(kRed)}, {0, 0, 10, 10, Rgba(kBlue), 2}, {10, 0, 10, 10, Rgba(kGreen)}},
         {{kRed, kRed}, {kBlue, kRed}, {kRed, kGreen}}},
        {L"a first frame's previous is background",
         {{0, 0, 20, 10, Rgba(kRed), 2}, {10, 0, 10, 10, Rgba(kGreen)}},
         {{kRed, kRed}, {kGrey, kGreen}}},
        {L"blend over mixes half red into blue",
         {{0, 0, 20, 10, Rgba(kBlue)}, {0, 0, 20, 10, kHalfRed, 0, 1}},
         {{kBlue, kBlue}, {kRedOverBlue, kRedOverBlue}}},
        {L"the default image outside the animation never shows",
         {{0, 0, 20, 10, Rgba(kRed)}, {0, 0, 20, 10, Rgba(kBlue)}},
         {{kRed, kRed}, {kBlue, kBlue}},
         true},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.what)));
        const std::wstring path = scratch->WriteFile(L"case" + std::to_wstring(n++) + L".png",
                                                     Apng(c.frames, 3, 10, 0, c.separateDefault ? &yellow : nullptr));
        auto* anim = new CApngAnimUI;
        anim->SetFloat(true);
        anim->SetBkColor(0xFF404040);
        anim->SetAttribute(L"pos", L"300,10,320,20");
        anim->SetAttribute(L"autoplay", L"false");
        anim->SetAttribute(L"bkimage", path.c_str());
        auto* root = static_cast<CContainerUI*>(ui->window.manager.GetRoot()->GetInterface(L"Container"));
        ASSERT_TRUE(root->Add(anim));
        ASSERT_EQ(anim->GetFrameCount(), static_cast<int>(c.frames.size())) << testing::PrintToString(path);
        for (size_t frame = 0; frame < c.shown.size(); ++frame) {
            SCOPED_TRACE(frame);
            if (frame > 0) {
                anim->Play();
                ASSERT_TRUE(WaitForFrame(anim, static_cast<int>(frame)));
                anim->Pause();
            }
            ui->window.PumpUntil([&] { return anim->GetPos().left == 300; });
            ui->Repaint();
            const DWORD left = ui->Rgb(305, 15);
            const DWORD right = ui->Rgb(315, 15);
            for (auto [seen, expected] : {std::pair{left, c.shown[frame].first}, {right, c.shown[frame].second}}) {
                for (int shift : {16, 8, 0})
                    EXPECT_NEAR(static_cast<int>(seen >> shift & 0xFF), static_cast<int>(expected >> shift & 0xFF), 2)
                        << std::hex << seen << " for " << expected;
            }
        }
        root->Remove(anim);
    }
}

TEST_F(Animation, ApngDelaysAndBlendingByTheNumbers)
{
    struct DelayCase
    {
        uint16_t num, den;
        int ms;
    };
    for (const DelayCase& c : {DelayCase{1, 3, 333}, {7, 0, 70}, {0, 10, 0}, {3, 10, 300}}) {
        ApngFrameRecord record{};
        record.delay_num = c.num;
        record.delay_den = c.den;
        EXPECT_EQ(CApngAnimUI::FrameDelayMs(record), c.ms) << c.num << "/" << c.den;
    }
    // Opaque red at alpha 128 over opaque blue.
    BYTE canvas[4] = {0, 0, 255, 255};
    const BYTE frame[4] = {255, 0, 0, 128};
    CApngAnimUI::BlendFrameOver(canvas, frame, 1, 1, 0, 0, 1, 1);
    EXPECT_EQ(canvas[0], 128);
    EXPECT_EQ(canvas[1], 0);
    EXPECT_EQ(canvas[2], 127);
    EXPECT_EQ(canvas[3], 255);
    // A region reaching past the canvas touches only the canvas.
    BYTE small[4] = {1, 2, 3, 4};
    CApngAnimUI::ClearFrameRegion(small, 1, 1, 0xFFFFFFF0u, 0, 1, 1);
    EXPECT_EQ(small[0], 1);
}

TEST_F(Animation, AnApngPlayedTwiceRestsOnItsFirstFrame)
{
    const std::wstring path =
        scratch->WriteFile(L"twice.png", Apng({{0, 0, 20, 10, Rgba(kRed)}, {0, 0, 20, 10, Rgba(kBlue)}}, 15, 100, 2));
    auto* anim = new CApngAnimUI;
    anim->SetFloat(true);
    anim->SetAttribute(L"pos", L"300,40,320,50");
    anim->SetAttribute(L"bkimage", path.c_str());
    auto* root = static_cast<CContainerUI*>(ui->window.manager.GetRoot()->GetInterface(L"Container"));
    ASSERT_TRUE(root->Add(anim));
    // Every tick but the last moves a frame on: 0 1 0 1 0, then the fifth
    // finds both plays done and leaves the animation resting, with no timer.
    struct Frames
    {
        bool OnEvent(void* param)
        {
            if (static_cast<const UIEvent*>(param)->type == UIEventType::Timer)
                ++ticks;
            return true;
        }
        int ticks = 0;
    } frames;
    anim->eventDelegates.Add(CDelegate<Frames, Frames>(&frames, &Frames::OnEvent));
    EXPECT_TRUE(ui->window.PumpUntil([&] { return frames.ticks >= 5; }, 10000)) << frames.ticks << " ticks";
    ui->window.PumpUntil([] { return false; }, 800);
    EXPECT_EQ(frames.ticks, 5);
    EXPECT_EQ(anim->GetCurrentFrame(), 0);
    EXPECT_TRUE(anim->IsPlaying());
    root->Remove(anim);
}

// Timers run only under the window's manager: an animation set before the
// control joins plays once it joins, and a tree the builder made under a
// lent manager and threw away leaves no timer.
TEST_F(Animation, TimersStartWhenTheControlJoinsAndNeverUnderALentManager)
{
    auto* early = new CGifAnimUI;
    early->SetAttribute(L"bkimage", gif.c_str());
    early->SetFloat(true);
    early->SetAttribute(L"pos", L"300,60,320,80");
    auto* root = static_cast<CContainerUI*>(ui->window.manager.GetRoot()->GetInterface(L"Container"));
    ASSERT_TRUE(root->Add(early));
    EXPECT_TRUE(WaitForFrame(early, 1));
    root->Remove(early);

    CSkinBuilder builder;
    const std::wstring xml = L"<Window><GifAnim bkimage=\"" + gif + L"\"/></Window>";
    CControlUI* unattached = builder.Create(xml.c_str(), nullptr, nullptr, &ui->window.manager);
    ASSERT_NE(unattached, nullptr);
    const void* gone = unattached;
    unattached->Delete();
    // The pointer is only compared: no timer record of the window names it.
    EXPECT_FALSE(ui->window.manager.KillTimer(static_cast<CControlUI*>(const_cast<void*>(gone)), kAnimationTimerId));
}

}  // namespace
