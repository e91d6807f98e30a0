// Times the list control at the sizes of the client's longest lists, in a
// main-window-sized layered window, and prints the medians beside their aims:
//   list_bench [ROUNDS]
// Two long lists, each beside a list of 100 rows of the same kind:
//   label rows       10,000 ListLabelElement rows (the combo's kind of row)
//   ten-child rows   10,000 ListContainerElement rows of ten float children,
//                    laid out like the client's item rows
// For each the bench times:
//   fill             adding the rows, the first layout and the first paint
//   page down        a posted Page Down through the window's message handling
//   page paint       painting the whole client after it, beside the same
//                    paint of the 100-row list
//   bare repaint     the window's repaint with nothing changed: the part of
//                    the posted Page Down the list has no share in (the
//                    picture's way to the screen)
//   select far       selecting the row 5,000 below the selected one
//   remove all       RemoveAll until the rows are destroyed
// and the memory each row takes (the process's committed bytes, first round).
#include "controls/LabelUI.h"
#include "controls/ListContainerElementUI.h"
#include "controls/ListElementUI.h"
#include "controls/ListUI.h"
#include "builder/SkinBuilder.h"
#include "BenchWindow.h"
#include "core/WindowManagerUI.h"
#include "core/WindowWnd.h"

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
constexpr int kLongRows = 10000;
constexpr int kShortRows = 100;
constexpr int kFarStep = 5000;
constexpr double kLabelFillAimMs = 150.0;
constexpr double kTenChildFillAimMs = 600.0;
constexpr double kPageDownAimMs = 5.0;
constexpr double kRemoveAllAimMs = 50.0;
constexpr double kPagePaintOverShortAimMs = 1.0;
constexpr double kLabelRowAimBytes = 1024.0;
constexpr double kTenChildRowAimBytes = 8192.0;

const wchar_t kSkin[] = L"<Window><Font id=\"0\" name=\"微软雅黑\" size=\"14\" default=\"true\" />"
                        L"<Default name=\"VScrollBar\" value=\"width=&quot;8&quot; thumbcolor=&quot;#FF5C6370&quot; "
                        L"showbutton1=&quot;false&quot; showbutton2=&quot;false&quot;\" />"
                        L"<List name=\"list\" vscrollbar=\"true\" itemheight=\"64\" itemtextcolor=\"#FFFFFFFF\" "
                        L"itembkcolor=\"#FF242A35\" itemhotbkcolor=\"#FF2F3745\" itemselectedbkcolor=\"#FF2A3A33\" "
                        L"itemhlinesize=\"1\" bkcolor=\"#FF1B1F27\" /></Window>";

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double ElapsedMs(const std::function<void()>& step)
{
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

size_t PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    // The commit charge: Wine fills it where it leaves PrivateUsage at 0.
    return counters.PagefileUsage;
}

// A 32-bit bitmap of the client's size, drawn into as the window's own
// off-screen picture is.
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

CControlUI* LabelRow(int i)
{
    auto* row = new CListLabelElementUI;
    row->SetText((L"游戏 Game " + std::to_wstring(i)).c_str());
    return row;
}

// Like the client's item rows: ten float children at fixed places.
CControlUI* TenChildRow(int i)
{
    auto* row = new CListContainerElementUI;
    row->SetFixedHeight(64);
    for (int c = 0; c < 10; ++c) {
        CControlUI* child = c % 2 == 0 ? static_cast<CControlUI*>(new CLabelUI) : new CControlUI;
        child->SetFloat(true);
        child->SetAttribute(
            L"pos", (std::to_wstring(10 + c * 110) + L",10," + std::to_wstring(110 + c * 110) + L",54").c_str());
        if (c % 2 == 0)
            child->SetText((L"第 " + std::to_wstring(i) + L" 行 " + std::to_wstring(c)).c_str());
        else
            child->SetBkColor(0xFF2F3745);
        row->Add(child);
    }
    return row;
}

struct Figures
{
    double fill = 0;
    double pageDown = 0;
    double pagePaint = 0;
    double bareRepaint = 0;
    double shortPagePaint = 0;
    double selectFar = 0;
    double removeAll = 0;
    double bytesPerRow = 0;
};

void Layout(BenchWindow& window)
{
    CControlUI* root = window.manager.GetRoot();
    RECT client;
    GetClientRect(window.GetWindowHandle(), &client);
    root->SetPos(client, false);
}

double PaintMs(BenchWindow& window, DrawingSurface& surface)
{
    const RECT all = {0, 0, kWidth, kHeight};
    return ElapsedMs([&] { window.manager.GetRoot()->Paint(surface.dc(), all, nullptr); });
}

void Fill(CListUI* list, int rows, CControlUI* (*make)(int))
{
    for (int i = 0; i < rows; ++i)
        list->Add(make(i));
}

void ClearAndWait(CListUI* list)
{
    list->RemoveAll();
    Pump();  // the rows are destroyed by the window's deferred work
}

Figures Measure(BenchWindow& window, CListUI* list, CControlUI* (*make)(int), int rounds)
{
    DrawingSurface surface;
    Figures f;
    std::vector<double> fills, pageDowns, pagePaints, bareRepaints, shortPaints, selects, removes;
    for (int r = 0; r < rounds; ++r) {
        ClearAndWait(list);
        Fill(list, kShortRows, make);
        Layout(window);
        PaintMs(window, surface);
        shortPaints.push_back(PaintMs(window, surface));
        ClearAndWait(list);

        // Measured in the first round only: later rounds reuse freed memory.
        const size_t before = PrivateBytes();
        fills.push_back(ElapsedMs([&] {
            Fill(list, kLongRows, make);
            Layout(window);
            PaintMs(window, surface);
        }));
        if (r == 0)
            f.bytesPerRow = static_cast<double>(PrivateBytes() - before) / kLongRows;

        list->SetFocus();
        pageDowns.push_back(ElapsedMs([&] {
            PostMessageW(window.GetWindowHandle(), WM_KEYDOWN, VK_NEXT, 1);
            Pump();
        }));
        pagePaints.push_back(PaintMs(window, surface));
        bareRepaints.push_back(ElapsedMs([&] {
            InvalidateRect(window.GetWindowHandle(), nullptr, FALSE);
            Pump();
        }));
        list->SelectItem(10, false, false);
        selects.push_back(ElapsedMs([&] { list->SelectItem(10 + kFarStep, false, true); }));
        removes.push_back(ElapsedMs([&] { ClearAndWait(list); }));
    }
    f.fill = Median(fills);
    f.pageDown = Median(pageDowns);
    f.pagePaint = Median(pagePaints);
    f.bareRepaint = Median(bareRepaints);
    f.shortPagePaint = Median(shortPaints);
    f.selectFar = Median(selects);
    f.removeAll = Median(removes);
    return f;
}

void Print(const char* name, const Figures& f, double fillAim, double bytesAim)
{
    std::printf("%s\n", name);
    std::printf("  fill (add, layout, paint)   %9.2f ms   aim %.0f ms\n", f.fill, fillAim);
    std::printf("  posted Page Down            %9.3f ms   aim %.0f ms\n", f.pageDown, kPageDownAimMs);
    std::printf("  bare repaint                %9.3f ms   (in the Page Down figure)\n", f.bareRepaint);
    std::printf("  page paint                  %9.3f ms   (100 rows: %.3f ms, aim within %.0f ms of it)\n", f.pagePaint,
                f.shortPagePaint, kPagePaintOverShortAimMs);
    std::printf("  select 5,000 rows away      %9.3f ms\n", f.selectFar);
    std::printf("  RemoveAll                   %9.2f ms   aim %.0f ms\n", f.removeAll, kRemoveAllAimMs);
    std::printf("  memory per row              %9.0f bytes   aim %.0f bytes\n", f.bytesPerRow, bytesAim);
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    BenchWindow window(L"CalverinListBench");
    if (window.Create(nullptr, L"list bench", WS_POPUP | WS_VISIBLE, 0, 0, 0, kWidth, kHeight, nullptr) == nullptr)
        return 1;
    CSkinBuilder builder;
    CControlUI* root = builder.Create(kSkin, nullptr, nullptr, &window.manager);
    if (root == nullptr)
        return 1;
    window.manager.AttachRoot(root);
    Pump();
    auto* list = static_cast<CListUI*>(root->GetInterface(L"List"));

    Print("label rows (10,000)", Measure(window, list, &LabelRow, rounds), kLabelFillAimMs, kLabelRowAimBytes);
    Print("ten-child rows (10,000)", Measure(window, list, &TenChildRow, rounds), kTenChildFillAimMs,
          kTenChildRowAimBytes);
    return 0;
}
