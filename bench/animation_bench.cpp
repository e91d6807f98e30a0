// Figures of the animations:
//   animation_bench [ROUNDS]
// - decode and composition time and memory per frame of a 60-frame
//   960 x 300 GIF and APNG (aims: at most 3 ms a frame; the bitmaps within 5 %
//   of width x height x 4 bytes a frame);
// - the GIF loader's time per frame at 15 to 120 frames (aim: the same at
//   every count, the whole file's decode linear in its frames);
// - what one frame switch invalidates and how long its repaint takes (aim:
//   only the animation's own rectangle);
// - processor time of a playing spinner and rotating image (aim: within 0.5 %
//   of one core of the floor, a plain control repainted as often).
#include "controls/AnimationUI.h"
#include "controls/BusyIndicatorUI.h"
#include "BenchWindow.h"
#include "core/ApngDecoder.h"
#include "core/ContainerUI.h"
#include "core/GifDecoder.h"
#include "core/ImageDecode.h"
#include "core/WindowManagerUI.h"
#include "core/WindowWnd.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "GifBuilder.h"
#include "PngBuilder.h"

using namespace CalUI;

namespace {

constexpr int kWidth = 960;
constexpr int kHeight = 300;
constexpr int kFrames = 60;
constexpr DWORD kPlaySeconds = 5;

// A bar that runs across a striped field: every frame differs everywhere.
std::string BenchGif(int frames = kFrames)
{
    GifBuilder gif(kWidth, kHeight, {0x1B1F27, 0x242A35, 0x43CF7C, 0xFFFFFF});
    std::vector<uint8_t> indices(static_cast<size_t>(kWidth) * kHeight);
    for (int f = 0; f < frames; ++f) {
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const bool bar = x >= f % kFrames * 16 && x < f % kFrames * 16 + 40;
                indices[static_cast<size_t>(y) * kWidth + x] = bar ? 2 : static_cast<uint8_t>(((x + y + f) / 8) % 2);
            }
        }
        gif.Frame(indices, 4);
    }
    return gif.Bytes();
}

// Full frames with alpha, every third blended over the one before.
std::string BenchApng()
{
    PngBuilder png;
    png.Header(kWidth, kHeight).AnimationControl(kFrames, 0);
    std::vector<uint32_t> pixels(static_cast<size_t>(kWidth) * kHeight);
    uint32_t sequence = 0;
    for (int f = 0; f < kFrames; ++f) {
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const uint32_t alpha = x >= f * 16 && x < f * 16 + 40 ? 0xFF : 0x80 + ((x + f) % 64);
                pixels[static_cast<size_t>(y) * kWidth + x] = (0x43CF7Cu + (y << 2)) << 8 | alpha;
            }
        }
        png.FrameControl(sequence++, kWidth, kHeight, 0, 0, 1, 25, 0, f % 3 == 2 ? 1 : 0);
        const std::string rows = RgbaScanlines(kWidth, kHeight, pixels.data());
        if (f == 0)
            png.ImageData(rows);
        else
            png.FrameData(sequence++, rows);
    }
    png.End();
    return png.Bytes();
}

// What an animation holds for its frames: each frame's bitmap bits and its
// record. (The process counters of Wine do not follow DIB sections.)
template <class Animation>
class Measured : public Animation
{
public:
    size_t HeldBytes() const
    {
        size_t bytes = 0;
        for (const auto& frame : this->m_frames) {
            DIBSECTION section = {};
            if (GetObjectW(frame->bitmap, sizeof section, &section) == sizeof section)
                bytes += static_cast<size_t>(section.dsBm.bmWidthBytes) * section.dsBm.bmHeight;
            bytes += sizeof(AnimFrame);
        }
        return bytes;
    }
};

double MedianMs(int rounds, const std::function<void()>& step)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        auto start = std::chrono::steady_clock::now();
        step();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The core's frame loader alone, for telling its share from the control's.
double LoaderMs(bool gif, const BYTE* data, int size, int rounds)
{
    return MedianMs(rounds, [&] {
        int width = 0;
        int height = 0;
        int count = 0;
        int loops = 0;
        if (gif) {
            int* delays = nullptr;
            FreeImagePixels(LoadGifFrames(data, size, &delays, &width, &height, &count, &loops));
            FreeImagePixels(delays);
        } else {
            const ApngFrameRecord* records = nullptr;
            bool separate = false;
            FreeImagePixels(LoadApngFrames(data, size, &records, &width, &height, &count, &loops, &separate));
        }
    });
}

template <class Animation>
void DecodeFigures(const char* kind, const std::string& bytes, int rounds)
{
    const auto* data = reinterpret_cast<const BYTE*>(bytes.data());
    const int size = static_cast<int>(bytes.size());
    const double loaderMs = LoaderMs(std::string(kind) == "GIF", data, size, rounds);
    const double ms = MedianMs(rounds, [&] {
        auto* anim = new Animation;
        anim->DecodeFrames(data, size, 0);
        anim->Delete();
    });
    auto* anim = new Measured<Animation>;
    anim->DecodeFrames(data, size, 0);
    const double perFrame = static_cast<double>(anim->HeldBytes()) / std::max(1, anim->GetFrameCount());
    const double aim = static_cast<double>(kWidth) * kHeight * 4;
    std::printf("%s: %d frames of %d x %d, file %d bytes\n", kind, anim->GetFrameCount(), kWidth, kHeight, size);
    std::printf(
        "  decode and compose: median %.3f ms a frame (aim: at most 3 ms), of which the core's loader %.3f ms\n",
        ms / kFrames, loaderMs / kFrames);
    std::printf("  memory: %.0f bytes a frame, %.1f %% of width x height x 4 (aim: within 5 %%)\n", perFrame,
                100.0 * perFrame / aim);
    anim->Delete();
}

void GifLoaderGrowth(int rounds)
{
    std::printf("  the core's GIF loader a frame (aim: the same at every count)");
    const char* separator = ":";
    for (int frames : {15, 30, 60, 120}) {
        const std::string gif = BenchGif(frames);
        const double ms =
            LoaderMs(true, reinterpret_cast<const BYTE*>(gif.data()), static_cast<int>(gif.size()), rounds);
        std::printf("%s %d frames %.3f ms", separator, frames, ms / frames);
        separator = ",";
    }
    std::printf("\n");
}

// The floor under the busy marks: a control that only repaints itself on
// the same timer, drawing one colour.
class Ticker : public CControlUI
{
public:
    void OnInit() override { m_manager->SetTimer(this, kAnimationTimerId, 40); }
    void OnEvent(UIEvent& event) override
    {
        if (event.type == UIEventType::Timer)
            Invalidate();
        else
            CControlUI::OnEvent(event);
    }
};

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void PumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        Pump();
    }
}

ULONGLONG ProcessorMs()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) {
        return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10000;
    };
    return ms(kernel) + ms(user);
}

CControlUI* Place(CControlUI* control, int left, int top, int width, int height)
{
    control->SetFloat(true);
    control->SetFixedXY({left, top});
    control->SetFixedWidth(width);
    control->SetFixedHeight(height);
    return control;
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));

    BenchWindow window(L"CalverinAnimationBench");
    window.Create(nullptr, L"animation bench", WS_POPUP | WS_VISIBLE, 0, 50, 50, 1000, 700, nullptr);
    DecodeFigures<CGifAnimUI>("GIF", BenchGif(), rounds);
    GifLoaderGrowth(rounds);
    DecodeFigures<CApngAnimUI>("APNG", BenchApng(), rounds);

    // A frame switch in a plain (not layered) window: the system keeps the
    // invalid region, so it shows what the switch asks to repaint.
    CWindowManagerUI& manager = window.manager;
    auto* root = new CContainerUI;
    root->SetBkColor(0xFF1B1F27);
    auto* anim = new CGifAnimUI;
    anim->SetAutoPlay(false);
    const std::string gif = GifBuilder(200, 60, {0xFF0000, 0x00FF00}).SolidFrame(0, 10).SolidFrame(1, 10).Bytes();
    root->Add(Place(anim, 100, 100, 200, 60));
    manager.AttachRoot(root);
    anim->DecodeFrames(reinterpret_cast<const BYTE*>(gif.data()), static_cast<int>(gif.size()), 0);
    for (int i = 0; i < 5; ++i) {
        InvalidateRect(window.GetWindowHandle(), nullptr, FALSE);
        UpdateWindow(window.GetWindowHandle());
        Pump();
    }
    ValidateRect(window.GetWindowHandle(), nullptr);
    anim->Play();
    anim->OnFrameTimer(kAnimationTimerId);
    RECT dirty = {};
    GetUpdateRect(window.GetWindowHandle(), &dirty, FALSE);
    const RECT& pos = anim->GetPos();
    std::printf("frame switch: invalidates (%ld,%ld)-(%ld,%ld); the animation is (%ld,%ld)-(%ld,%ld) of a 1000 x 700 "
                "window\n",
                dirty.left, dirty.top, dirty.right, dirty.bottom, pos.left, pos.top, pos.right, pos.bottom);
    const double switchMs = MedianMs(rounds * 20, [&] {
        anim->OnFrameTimer(kAnimationTimerId);
        UpdateWindow(window.GetWindowHandle());
    });
    std::printf("  switch and repaint: median %.3f ms\n", switchMs);
    anim->Stop();

    // The busy marks playing on their own timers.
    auto* spinner = new CChrysanthemumLoadingUI;
    spinner->SetAttribute(L"spokecolor", L"#FF43CF7C");
    spinner->SetAttribute(L"innerradius", L"16");
    spinner->SetAttribute(L"outradius", L"28");
    spinner->SetAttribute(L"thickness", L"5");
    root->Add(Place(spinner, 400, 100, 80, 80));
    auto* rotating = new CRotateImageUI;
    PngBuilder arrow;
    std::vector<uint32_t> pixels(64 * 64, 0x43CF7CFF);
    arrow.Header(64, 64).ImageData(RgbaScanlines(64, 64, pixels.data())).End();
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring arrowPath = std::wstring(folder) + L"calverin-animation-bench-arrow.png";
    HANDLE file = CreateFileW(arrowPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, arrow.Bytes().data(), static_cast<DWORD>(arrow.Bytes().size()), &written, nullptr);
    CloseHandle(file);
    rotating->SetAttribute(L"bkimage", arrowPath.c_str());
    root->Add(Place(rotating, 500, 100, 64, 64));
    auto measure = [&](const char* what, const char* aim) {
        PumpFor(500);
        const ULONGLONG cpuBefore = ProcessorMs();
        const DWORD wallBefore = GetTickCount();
        PumpFor(kPlaySeconds * 1000);
        const double cpu = static_cast<double>(ProcessorMs() - cpuBefore);
        const double wall = static_cast<double>(GetTickCount() - wallBefore);
        std::printf("%s playing for %.1f s: %.2f %% of one core%s\n", what, wall / 1000, 100.0 * cpu / wall, aim);
    };
    const char* const kNearFloor = " (aim: within 0.5 % of the floor's, each alone)";
    measure("spinner (40 ms) and rotating image (40 ms)", "");
    rotating->SetVisible(false);
    measure("spinner alone", kNearFloor);
    rotating->SetVisible(true);
    spinner->SetVisible(false);
    measure("rotating image alone", kNearFloor);
    rotating->SetVisible(false);
    auto* ticker = new Ticker;
    ticker->SetBkColor(0xFF43CF7C);
    root->Add(Place(ticker, 600, 100, 64, 64));
    measure("floor: a plain control repainted every 40 ms", "");
    DeleteFileW(arrowPath.c_str());
    return 0;
}
