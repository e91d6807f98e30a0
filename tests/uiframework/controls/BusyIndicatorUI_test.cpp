// The spinner and the rotating image in a real layered window: the ring's
// spokes and the turned arrow are read from the window's off-screen pixels.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ClickableTestWindow.h"
#include "PngBuilder.h"
#include "ScratchFolder.h"
#include "ZipWriter.h"
#include "controls/BusyIndicatorUI.h"
#include "core/WindowManagerUI.h"

using namespace CalUI;

namespace {

constexpr POINT kScreenPlace = {1100, 60};
constexpr int kSpokes = 10;
constexpr UINT kStill = 100000;  // an interval that never ticks during a test

// 40 x 40, transparent, a red bar from the centre to the right edge.
std::string ArrowPng()
{
    std::vector<uint32_t> pixels(40 * 40, 0);
    for (int y = 18; y < 22; ++y) {
        for (int x = 20; x < 38; ++x)
            pixels[y * 40 + x] = 0xFF0000FF;
    }
    PngBuilder png;
    png.Header(40, 40).ImageData(RgbaScanlines(40, 40, pixels.data())).End();
    return png.Bytes();
}

std::wstring Spinner(LPCWSTR name, int left, const std::wstring& more)
{
    return L"<ChrysanthemumLoading name=\"" + std::wstring(name) + L"\" float=\"true\" pos=\"" + std::to_wstring(left) +
           L",10," + std::to_wstring(left + 80) +
           L",90\" spokecolor=\"#FFFFFFFF\" innerradius=\"10\" outradius=\"20\" thickness=\"4\" font=\"1\""
           L" text=\"加载中\" textcolor=\"#FF00FF00\" textpadding=\"0,64,0,0\" " +
           more + L"/>";
}

std::wstring Rotate(LPCWSTR name, int left, const std::wstring& image, const std::wstring& more)
{
    return L"<RotateImage name=\"" + std::wstring(name) + L"\" float=\"true\" pos=\"" + std::to_wstring(left) +
           L",100," + std::to_wstring(left + 40) + L",140\" bkcolor=\"#FF000000\" bkimage=\"" + image + L"\" " + more +
           L"/>";
}

class BusyIndicator : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        scratch = new ScratchFolder;
        const std::string arrow = ArrowPng();
        archive = BuildZip({{"img/arrow.png", arrow}});
        CWindowManagerUI::SetResourceZip(archive.data(), static_cast<unsigned int>(archive.size()), nullptr);
        const std::wstring arrowPath = scratch->WriteFile(L"arrow.png", arrow);
        const std::wstring controls =
            Spinner(L"spinner", 10, L"bkcolor=\"#FF000000\"") +
            Spinner(L"zero", 100, L"bkcolor=\"#FF0000FF\" spokenum=\"0\"") +
            Spinner(L"negative", 190, L"bkcolor=\"#FF0000FF\" spokenum=\"-3\"") +
            L"<ChrysanthemumLoading name=\"empty\" float=\"true\" pos=\"280,10,280,10\" text=\"x\"/>" +
            Rotate(L"fromzip", 10, L"img/arrow.png", L"autostart=\"false\" fixangle=\"90\"") +
            Rotate(L"frompath", 60, arrowPath, L"fixangle=\"350\" eachtimeangle=\"7\" timeinterval=\"60\"") +
            Rotate(L"unreadable", 110, L"img/none.png", L"bkcolor=\"#FF0000FF\"");
        ui = new ClickableTestWindow(kScreenPlace, controls, L"<Font id=\"1\" name=\"微软雅黑\" size=\"14\"/>");
    }
    static void TearDownTestSuite()
    {
        delete ui;
        delete scratch;
    }

    // The red of the spoke of place i (its middle, at radius 15), which over
    // black equals the spoke's alpha.
    static int SpokeAlpha(CControlUI* spinner, int i)
    {
        const RECT& rc = spinner->GetPos();
        const double a = (i + 1) * 360.0 / kSpokes * 3.14 / 180;
        const int x = static_cast<int>(std::lround(rc.left + (rc.right - rc.left) / 2 + std::cos(a) * 15 - 0.5));
        const int y = static_cast<int>(std::lround(rc.top + (rc.bottom - rc.top) / 2 + std::sin(a) * 15 - 0.5));
        return static_cast<int>(ui->Rgb(x, y) >> 16);
    }

    static int CaptionPixels(CControlUI* spinner)
    {
        const RECT& rc = spinner->GetPos();
        const RECT band = {rc.left, rc.top + 64, rc.right, rc.bottom};
        return ui->CountPixels(band, [](DWORD rgb) { return (rgb >> 8 & 0xFF) > 0x80 && (rgb >> 16) < 0x40; });
    }

    static inline ScratchFolder* scratch = nullptr;
    static inline ClickableTestWindow* ui = nullptr;
    static inline std::string archive;
};

TEST_F(BusyIndicator, TenSpokesFadeRoundTheRingAndMoveClockwisePerTick)
{
    auto* spinner = ui->Find<CChrysanthemumLoadingUI>(L"spinner", L"ChrysanthemumLoading");
    ASSERT_NE(spinner, nullptr);
    spinner->SetInterval(kStill);
    ui->Repaint();
    const int current = spinner->GetCurrentIndex();
    for (int j = 0; j < kSpokes; ++j) {
        SCOPED_TRACE(j);
        EXPECT_NEAR(SpokeAlpha(spinner, (current + j) % kSpokes), j == 0 ? 255 : 25 * j, 4);
    }
    EXPECT_GT(CaptionPixels(spinner), 10) << "the caption under the ring";

    spinner->SetInterval(40);
    ASSERT_TRUE(ui->window.PumpUntil([&] { return spinner->GetCurrentIndex() != current; }));
    spinner->SetInterval(kStill);
    const int next = spinner->GetCurrentIndex();
    ui->Repaint();
    EXPECT_NEAR(SpokeAlpha(spinner, next), 255, 4);
    EXPECT_NEAR(SpokeAlpha(spinner, (next + kSpokes - 1) % kSpokes), 225, 4) << "the bright spoke moved clockwise";

    // Hidden, it stands still; shown, it turns again.
    spinner->SetInterval(40);
    spinner->SetVisible(false);
    const int hidden = spinner->GetCurrentIndex();
    ui->window.PumpUntil([] { return false; }, 300);
    EXPECT_EQ(spinner->GetCurrentIndex(), hidden);
    spinner->SetVisible(true);
    EXPECT_TRUE(ui->window.PumpUntil([&] { return spinner->GetCurrentIndex() != hidden; }));
}

// Each frame of the ring is drawn once and kept: a background or caption
// changed after the ring went round shows from the next tick on all the same.
TEST_F(BusyIndicator, ALookChangedAfterTheRingWentRoundShowsFromTheNextTick)
{
    auto* spinner = ui->Find<CChrysanthemumLoadingUI>(L"spinner", L"ChrysanthemumLoading");
    ASSERT_NE(spinner, nullptr);
    spinner->SetInterval(40);
    int last = spinner->GetCurrentIndex();
    int ticks = 0;
    ASSERT_TRUE(ui->window.PumpUntil([&] {
        if (spinner->GetCurrentIndex() != last) {
            last = spinner->GetCurrentIndex();
            ++ticks;
        }
        return ticks > kSpokes;
    }));
    spinner->SetText(L"");
    spinner->SetBkColor(0xFF0000FF);
    const int changed = spinner->GetCurrentIndex();
    ASSERT_TRUE(ui->window.PumpUntil([&] { return spinner->GetCurrentIndex() != changed; }));
    spinner->SetInterval(kStill);
    ui->Repaint();
    EXPECT_EQ(CaptionPixels(spinner), 0);
    const RECT& rc = spinner->GetPos();
    EXPECT_EQ(ui->Rgb(rc.left + 1, rc.top + 1), 0x0000FFu) << "the new background";

    spinner->SetText(L"加载中");
    spinner->SetBkColor(0xFF000000);
    spinner->PrepareFrames();
}

// Fewer than one spoke: background and caption, nothing turns, nothing fails.
TEST_F(BusyIndicator, NoSpokesDrawBackgroundAndCaptionOnly)
{
    for (LPCWSTR name : {L"zero", L"negative"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(name)));
        auto* spinner = ui->Find<CChrysanthemumLoadingUI>(name, L"ChrysanthemumLoading");
        ASSERT_NE(spinner, nullptr);
        ui->window.PumpUntil([] { return false; }, 150);
        ui->Repaint();
        const RECT& rc = spinner->GetPos();
        const RECT ring = {rc.left + 15, rc.top + 15, rc.right - 15, rc.bottom - 25};
        EXPECT_EQ(ui->CountPixels(ring, [](DWORD rgb) { return rgb != 0x0000FF; }), 0);
        EXPECT_GT(CaptionPixels(spinner), 10);
        EXPECT_EQ(spinner->GetCurrentIndex(), 0);
    }
    ASSERT_NE(ui->Find(L"empty"), nullptr);
}

TEST_F(BusyIndicator, TheArrowTurnsClockwiseAndWaitsForHideAndShowWithoutAutostart)
{
    auto* fromZip = ui->Find<CRotateImageUI>(L"fromzip", L"RotateImage");
    ASSERT_NE(fromZip, nullptr);
    ASSERT_TRUE(fromZip->HasImage()) << "read from the skin archive";
    EXPECT_FALSE(fromZip->IsRunning());
    ui->window.PumpUntil([] { return false; }, 200);
    EXPECT_EQ(fromZip->GetAngle(), 90);
    ui->Repaint();
    const RECT& rc = fromZip->GetPos();
    const int cx = (rc.left + rc.right) / 2;
    const int cy = (rc.top + rc.bottom) / 2;
    EXPECT_EQ(ui->Rgb(cx, cy + 12), 0xFF0000u) << "turned a quarter clockwise, the arrow points down";
    EXPECT_EQ(ui->Rgb(cx + 12, cy), 0u);
    EXPECT_EQ(ui->Rgb(cx, cy - 12), 0u);

    fromZip->SetVisible(false);
    fromZip->SetVisible(true);
    EXPECT_TRUE(fromZip->IsRunning());
    EXPECT_TRUE(ui->window.PumpUntil([&] { return fromZip->GetAngle() != 90; }));

    // From a plain path, 7 degrees a tick from 343: 350, 357, then 4.
    auto* fromPath = ui->Find<CRotateImageUI>(L"frompath", L"RotateImage");
    ASSERT_TRUE(fromPath->HasImage());
    EXPECT_TRUE(fromPath->IsRunning());
    fromPath->StopRotation();
    fromPath->SetFixAngle(343);
    EXPECT_EQ(fromPath->GetAngle(), 343) << "stopped, a fixed angle shows at once";
    // The angle each tick finds, so that no tick goes unseen.
    static struct AngleLog
    {
        bool OnEvent(void* param)
        {
            if (static_cast<const UIEvent*>(param)->type == UIEventType::Timer)
                before.push_back(image->GetAngle());
            return true;
        }
        CRotateImageUI* image = nullptr;
        std::vector<int> before;
    } log;
    log.image = fromPath;
    fromPath->eventDelegates.Add(CDelegate<AngleLog, AngleLog>(&log, &AngleLog::OnEvent));
    fromPath->StartRotation();
    ASSERT_TRUE(ui->window.PumpUntil([&] { return log.before.size() >= 4; }));
    EXPECT_EQ(std::vector<int>(log.before.begin(), log.before.begin() + 4), (std::vector<int>{343, 350, 357, 4}));
    // A fixed angle set while it turns waits for the next initialisation.
    fromPath->SetFixAngle(200);
    EXPECT_NE(fromPath->GetAngle(), 200);
}

TEST_F(BusyIndicator, AnUnreadableImageLeavesTheBasePainting)
{
    auto* unreadable = ui->Find<CRotateImageUI>(L"unreadable", L"RotateImage");
    ASSERT_NE(unreadable, nullptr);
    EXPECT_FALSE(unreadable->HasImage());
    ui->Repaint();
    const RECT& rc = unreadable->GetPos();
    EXPECT_EQ(ui->Rgb((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2), 0x0000FFu);
}

}  // namespace
