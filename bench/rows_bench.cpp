// Times the main window's item rows at the size of a long game page, in a
// main-window-sized layered window, and prints the figures beside their aims:
//   rows_bench [ROUNDS]
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
#include "controls/LabelUI.h"
#include "core/SkinBuilder.h"
#include "core/WindowManagerUI.h"
#include "core/WindowWnd.h"
#include "mainwindow/ItemRows.h"
#include "mainwindow/RowLooks.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
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
constexpr double kPaintOverFewAim = 1.10;
constexpr double kProgressRepaintAimMs = 5.0;

const wchar_t kSkin[] = L"<Window><Font id=\"0\" name=\"微软雅黑\" size=\"14\" default=\"true\" />"
                        L"<Font id=\"2\" name=\"微软雅黑\" size=\"12\" />"
                        L"<VerticalLayout bkcolor=\"#FF1B1F27\" inset=\"307,154,53,14\">"
                        L"<VerticalLayout name=\"game_list\" vscrollbar=\"true\" /></VerticalLayout></Window>";

class BenchWindow : public CWindowWnd
{
public:
    LPCWSTR GetWindowClassName() const override { return L"CalverinRowsBench"; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CREATE)
            manager.Init(m_hWnd);
        LRESULT result = 0;
        if (manager.HandleWindowMessage(message, wParam, lParam, result))
            return result;
        return CWindowWnd::HandleMessage(message, wParam, lParam);
    }

    CWindowManagerUI manager;
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

void AddRows(CContainerUI* list, int rows)
{
    for (int i = 0; i < rows; ++i) {
        ItemRowFace face;
        face.id = std::to_wstring(10000 + i);
        face.name = L"星海征途 完整客户端 " + std::to_wstring(i);
        face.detail = L"星海征途正式版完整客户端，含全部资源";
        face.size = std::to_wstring(3221225472ll + i);
        face.installed = i % 7 == 0;
        list->Add(BuildItemRow(RowKind::kGame, face));
    }
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
    AddRows(list, kFewRows);
    Layout(window);
    Paint(window, surface, all);
    figures.fewPaintMedian = Percentile(FullPaints(window, surface, 30), 0.5);
    list->RemoveAll();
    figures.workingSetBeforeMb = WorkingSetMb();

    figures.build = ElapsedMs([&] {
        AddRows(list, kRows);
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

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    BenchWindow window;
    if (window.Create(nullptr, L"rows bench", WS_POPUP | WS_VISIBLE, 0, 0, 0, kWidth, kHeight, nullptr) == nullptr)
        return 1;
    CSkinBuilder builder;
    CControlUI* root = builder.Create(kSkin, nullptr, nullptr, &window.manager);
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
    return 0;
}
