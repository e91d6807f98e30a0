// Times the main window's item rows at the size of a long game page, in a
// main-window-sized layered window, and prints the figures beside their aims:
//   rows_bench [ROUNDS [PACKAGE_URL]]
// The rows draw without the skin archive's pictures (buttons, band), as
// text, colours and layout are what their number costs.
// For 1,000 game rows (and, beside them, 10 rows of the same kind):
//   build            making and adding the rows, the first layout and the
//                    first paint
//   working set      of the process once the rows are shown, and before
//                    them (first round)
//   GDI and USER     objects of the process once the rows are shown
//   full paint       median and 95th percentile of painting the whole client,
//                    beside the same paint with 10 rows
//   progress repaint median and 95th percentile of 50 progress steps, each
//                    the running look on one row and the paint of that row
// With a package URL (bench/rows.sh serves a throttled one), the same figures
// once more while 50 real downloads of it run on worker threads beside the
// 1,000 rows, each posting its progress to the window as the client's tasks
// do, the window giving its row the running look and repainting it; and what
// one download adds to the working set beside what an idle thread costs.
// First: curl brings winsock2.h, which must come before windows.h.
#include "services/HttpClient.h"

#include "GameRows.h"
#include "IdleThreads.h"
#include "controls/LabelUI.h"
#include "builder/SkinBuilder.h"
#include "core/WindowManagerUI.h"
#include "core/WindowWnd.h"
#include "mainwindow/ItemRows.h"
#include "mainwindow/RowLooks.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace CalUI;

namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 800;
constexpr int kRows = 1000;
constexpr int kFewRows = 10;
constexpr int kProgressSteps = 50;
constexpr double kBuildAimMs = 150.0;
constexpr double kWorkingSetAimMb = 35.0;
// Each running download may add this much to the working set.
constexpr double kWorkingSetAimMbPerDownload = 1.0;
constexpr double kPaintOverFewAim = 1.10;
constexpr double kProgressRepaintAimMs = 5.0;
constexpr int kDownloads = 50;
constexpr DWORD kDownloadRunMs = 8000;
constexpr DWORD kFullPaintEveryMs = 250;
// Each download posts at most this often, so that 50 of them keep the window
// as busy as the client's tasks at their busiest.
constexpr DWORD kProgressPostEveryMs = 250;
constexpr UINT kProgressMessage = WM_APP + 1;

class BenchWindow : public CWindowWnd
{
public:
    LPCWSTR GetWindowClassName() const override { return L"CalverinRowsBench"; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CREATE)
            manager.Init(m_hWnd);
        if (message == kProgressMessage && onProgress) {
            onProgress(static_cast<int>(wParam));
            return 0;
        }
        LRESULT result = 0;
        if (manager.HandleWindowMessage(message, wParam, lParam, result))
            return result;
        return CWindowWnd::HandleMessage(message, wParam, lParam);
    }

    CWindowManagerUI manager;
    std::function<void(int)> onProgress;
};

double ElapsedMs(const std::function<void()>& step)
{
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Percentile(std::vector<double> times, double share)
{
    std::sort(times.begin(), times.end());
    return times[std::min(times.size() - 1, static_cast<size_t>(times.size() * share))];
}

class DrawingSurface
{
public:
    DrawingSurface()
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* pixels = nullptr;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
    }
    ~DrawingSurface()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    DrawingSurface(const DrawingSurface&) = delete;
    DrawingSurface& operator=(const DrawingSurface&) = delete;
    HDC dc() const { return m_dc; }

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
};

struct Figures
{
    double build = 0, workingSetBeforeMb = 0, workingSetMb = 0, paintMedian = 0, paintP95 = 0, fewPaintMedian = 0,
           progressMedian = 0, progressP95 = 0;
    DWORD gdiObjects = 0, userObjects = 0;
};

double WorkingSetMb()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize / (1024.0 * 1024.0);
}

void Layout(BenchWindow& window)
{
    RECT client;
    GetClientRect(window.GetWindowHandle(), &client);
    window.manager.GetRoot()->SetPos(client, false);
}

void Paint(BenchWindow& window, DrawingSurface& surface, const RECT& area)
{
    window.manager.GetRoot()->Paint(surface.dc(), area, nullptr);
}

std::vector<double> FullPaints(BenchWindow& window, DrawingSurface& surface, int times)
{
    const RECT all = {0, 0, kWidth, kHeight};
    std::vector<double> paints;
    for (int i = 0; i < times; ++i)
        paints.push_back(ElapsedMs([&] { Paint(window, surface, all); }));
    return paints;
}

Figures Round(BenchWindow& window, DrawingSurface& surface)
{
    Figures figures;
    auto* list = static_cast<CContainerUI*>(window.manager.FindControl(L"game_list"));
    const RECT all = {0, 0, kWidth, kHeight};
    AddGameRows(list, kFewRows);
    Layout(window);
    Paint(window, surface, all);
    figures.fewPaintMedian = Percentile(FullPaints(window, surface, 30), 0.5);
    list->RemoveAll();
    figures.workingSetBeforeMb = WorkingSetMb();

    figures.build = ElapsedMs([&] {
        AddGameRows(list, kRows);
        Layout(window);
        Paint(window, surface, all);
    });
    figures.workingSetMb = WorkingSetMb();
    figures.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    figures.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    const std::vector<double> paints = FullPaints(window, surface, 30);
    figures.paintMedian = Percentile(paints, 0.5);
    figures.paintP95 = Percentile(paints, 0.95);

    std::vector<double> steps;
    for (int i = 0; i < kProgressSteps; ++i) {
        CControlUI* row = list->GetItemAt(1 + i % 8);
        const ProgressFigures progress{static_cast<uint64_t>(i + 1) * 1024 * 1024, 50ull * 1024 * 1024, 1536};
        steps.push_back(ElapsedMs([&] {
            ApplyRowLook(row, RunningLook(RowKind::kGame, L"已下载%.1f%%", progress, row->GetFixedWidth(), 1));
            Paint(window, surface, row->GetPos());
        }));
    }
    figures.progressMedian = Percentile(steps, 0.5);
    figures.progressP95 = Percentile(steps, 0.95);
    list->RemoveAll();
    return figures;
}

// One running download: what it has received, and when it last posted.
struct DownloadSlot
{
    HWND window = nullptr;
    int row = 0;
    const std::atomic<bool>* stop = nullptr;
    std::atomic<int64_t> received{0};
    std::atomic<int64_t> expected{0};
    DWORD lastPost = 0;
};

bool OnDownloadProgress(void* user, int64_t expected, int64_t received, double)
{
    DownloadSlot& slot = *static_cast<DownloadSlot*>(user);
    if (slot.stop->load())
        return false;
    slot.expected = expected;
    slot.received = received;
    const DWORD now = GetTickCount();
    if (now - slot.lastPost >= kProgressPostEveryMs) {
        slot.lastPost = now;
        PostMessageW(slot.window, kProgressMessage, static_cast<WPARAM>(slot.row), 0);
    }
    return true;
}

struct DownloadFigures
{
    double workingSetBeforeMb = 0, idleThreadMb = 0, workingSetMb = 0, paintMedian = 0, paintP95 = 0,
           progressMedian = 0, progressP95 = 0, receivedMb = 0;
    DWORD gdiObjects = 0, userObjects = 0;
    size_t repaints = 0, running = 0;
};

// Runs the window's messages until the time is up, painting the whole client
// every kFullPaintEveryMs.
void PumpWhileDownloading(BenchWindow& window, DrawingSurface& surface, std::vector<double>& fullPaints,
                          DownloadFigures& figures)
{
    const RECT all = {0, 0, kWidth, kHeight};
    const DWORD start = GetTickCount();
    DWORD lastFullPaint = start;
    while (GetTickCount() - start < kDownloadRunMs) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        if (GetTickCount() - lastFullPaint >= kFullPaintEveryMs) {
            lastFullPaint = GetTickCount();
            fullPaints.push_back(ElapsedMs([&] { Paint(window, surface, all); }));
            figures.workingSetMb = std::max(figures.workingSetMb, WorkingSetMb());
        }
    }
}

// The 50 downloads, each on a thread of its own into a scratch file of the
// process, until Stop.
class DownloadCrowd
{
public:
    DownloadCrowd(HWND window, const std::string& url) : m_folder(ScratchFolder())
    {
        for (int i = 0; i < kDownloads; ++i) {
            auto slot = std::make_unique<DownloadSlot>();
            slot->window = window;
            slot->row = i;
            slot->stop = &m_stop;
            m_slots.push_back(std::move(slot));
        }
        for (int i = 0; i < kDownloads; ++i)
            m_workers.emplace_back([this, i, url] {
                CHttpClient().DownloadFile(m_slots[i].get(), url.c_str(), PartFile(i), &OnDownloadProgress);
            });
    }
    ~DownloadCrowd() { Stop(); }
    DownloadCrowd(const DownloadCrowd&) = delete;
    DownloadCrowd& operator=(const DownloadCrowd&) = delete;

    const DownloadSlot& Slot(int row) const { return *m_slots[row]; }
    size_t Running() const
    {
        return std::count_if(m_slots.begin(), m_slots.end(), [](const auto& slot) {
            return slot->received.load() > 0 && slot->received.load() < slot->expected.load();
        });
    }
    // Ends every transfer and deletes the scratch files; the megabytes received.
    double Stop()
    {
        m_stop = true;
        for (std::thread& worker : m_workers) {
            if (worker.joinable())
                worker.join();
        }
        double receivedMb = 0;
        for (int i = 0; i < kDownloads; ++i) {
            receivedMb += m_slots[i]->received.load() / (1024.0 * 1024.0);
            DeleteFileW(PartFile(i).c_str());
        }
        RemoveDirectoryW(m_folder.c_str());
        return receivedMb;
    }

private:
    static std::wstring ScratchFolder()
    {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        return std::wstring(temp) + L"calverin-rows-bench-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    }
    std::wstring PartFile(int i) const { return m_folder + std::to_wstring(i) + L".part"; }

    const std::wstring m_folder;
    std::atomic<bool> m_stop{false};
    std::vector<std::unique_ptr<DownloadSlot>> m_slots;
    std::vector<std::thread> m_workers;
};

void SetMedianAndP95(const std::vector<double>& times, double& median, double& p95)
{
    if (times.empty())
        return;
    median = Percentile(times, 0.5);
    p95 = Percentile(times, 0.95);
}

DownloadFigures RunDownloads(BenchWindow& window, DrawingSurface& surface, const std::string& url)
{
    DownloadFigures figures;
    auto* list = static_cast<CContainerUI*>(window.manager.FindControl(L"game_list"));
    const RECT client = {0, 0, kWidth, kHeight};
    AddGameRows(list, kRows);
    Layout(window);
    Paint(window, surface, client);
    figures.workingSetBeforeMb = WorkingSetMb();
    figures.idleThreadMb = IdleThreadCost(WorkingSetMb, [] { Sleep(500); });

    std::vector<double> repaints, fullPaints;
    DownloadCrowd downloads(window.GetWindowHandle(), url);
    window.onProgress = [&](int row) {
        const DownloadSlot& slot = downloads.Slot(row);
        CControlUI* item = list->GetItemAt(row);
        const ProgressFigures progress{static_cast<uint64_t>(slot.received.load()),
                                       static_cast<uint64_t>(slot.expected.load()), 64};
        repaints.push_back(ElapsedMs([&] {
            ApplyRowLook(item, RunningLook(RowKind::kGame, L"已下载%.1f%%", progress, item->GetFixedWidth(), 1));
            RECT shown;
            if (IntersectRect(&shown, &item->GetPos(), &client))
                Paint(window, surface, shown);
        }));
    };
    PumpWhileDownloading(window, surface, fullPaints, figures);
    figures.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    figures.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    figures.running = downloads.Running();
    figures.receivedMb = downloads.Stop();
    window.onProgress = nullptr;
    MSG message;
    while (PeekMessageW(&message, nullptr, kProgressMessage, kProgressMessage, PM_REMOVE)) {
    }
    list->RemoveAll();

    figures.repaints = repaints.size();
    SetMedianAndP95(fullPaints, figures.paintMedian, figures.paintP95);
    SetMedianAndP95(repaints, figures.progressMedian, figures.progressP95);
    return figures;
}

void PrintDownloadFigures(const DownloadFigures& figures)
{
    std::printf("with %d throttled downloads running (%.1f s; %zu still running at the end, %.1f MB received):\n",
                kDownloads, kDownloadRunMs / 1000.0, figures.running, figures.receivedMb);
    const double perDownloadMb = (figures.workingSetMb - figures.workingSetBeforeMb) / kDownloads;
    std::printf("  working set           %8.2f MB   (highest; aim at most %.0f MB, %.0f MB plus %.0f MB a download)\n",
                figures.workingSetMb, kWorkingSetAimMb + kDownloads * kWorkingSetAimMbPerDownload, kWorkingSetAimMb,
                kWorkingSetAimMbPerDownload);
    std::printf("  a download            %8.2f MB   (over the %.2f MB of the rows alone; aim at most %.0f MB; of it "
                "an idle thread's %.2f MB)\n",
                perDownloadMb, figures.workingSetBeforeMb, kWorkingSetAimMbPerDownload, figures.idleThreadMb);
    std::printf("  GDI / USER objects    %8lu / %lu\n", static_cast<unsigned long>(figures.gdiObjects),
                static_cast<unsigned long>(figures.userObjects));
    std::printf("  full paint            %8.2f ms median, %.2f ms p95\n", figures.paintMedian, figures.paintP95);
    std::printf("  progress repaint      %8.3f ms median, %.3f ms p95 over %zu repaints (aim under %.0f ms)\n",
                figures.progressMedian, figures.progressP95, figures.repaints, kProgressRepaintAimMs);
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const std::string packageUrl = argc > 2 ? argv[2] : "";
    curl_global_init(CURL_GLOBAL_ALL);
    BenchWindow window;
    if (window.Create(nullptr, L"rows bench", WS_POPUP | WS_VISIBLE, 0, 0, 0, kWidth, kHeight, nullptr) == nullptr)
        return 1;
    CSkinBuilder builder;
    CControlUI* root = builder.Create(kGameListSkin, nullptr, nullptr, &window.manager);
    if (root == nullptr)
        return 1;
    window.manager.AttachRoot(root);
    DrawingSurface surface;

    std::vector<Figures> all;
    for (int i = 0; i < rounds; ++i)
        all.push_back(Round(window, surface));
    auto median = [&](double Figures::*field) {
        std::vector<double> values;
        for (const Figures& f : all)
            values.push_back(f.*field);
        return Percentile(values, 0.5);
    };
    const double paint = median(&Figures::paintMedian);
    const double fewPaint = median(&Figures::fewPaintMedian);
    std::printf("rows_bench: %d game rows, %d rounds (medians of the rounds)\n", kRows, rounds);
    std::printf("  build                 %8.2f ms   (aim under %.0f ms)\n", median(&Figures::build), kBuildAimMs);
    std::printf("  working set           %8.2f MB   (aim at most %.0f MB; %.2f MB before the rows)\n",
                all[0].workingSetMb, kWorkingSetAimMb, all[0].workingSetBeforeMb);
    std::printf("  GDI / USER objects    %8lu / %lu\n", static_cast<unsigned long>(all[0].gdiObjects),
                static_cast<unsigned long>(all[0].userObjects));
    std::printf("  full paint            %8.2f ms median, %.2f ms p95; %d rows %.2f ms (aim within %.0f %%)\n", paint,
                median(&Figures::paintP95), kFewRows, fewPaint, (kPaintOverFewAim - 1.0) * 100.0);
    std::printf("  progress repaint      %8.3f ms median, %.3f ms p95 (aim under %.0f ms)\n",
                median(&Figures::progressMedian), median(&Figures::progressP95), kProgressRepaintAimMs);
    if (!packageUrl.empty())
        PrintDownloadFigures(RunDownloads(window, surface, packageUrl));
    return 0;
}
