// Times the layouts of a 960 x 620 layered window that holds a long list or
// a large grid, and prints the median times beside their aims:
//   layout_bench [ROUNDS [FIRST_LAYOUT_ROUNDS]]
// The list is a vertical layout of 5,000 rows, each a horizontal layout of an
// option, three labels, a button and a progress bar (timed again with no
// label that measures its text); the grid a tile layout of 2,000 tiles. Both are built from skin markup, as windows build theirs,
// and scroll with their own vertical bar. For each the bench times:
//   first layout    the first SetPos of a freshly built tree (texts measured)
//   width change    a layout after the window's width changed by a pixel
//   forced layout   a layout asked for with nothing changed
//   wheel layout    one wheel notch through the window's message handling
//   wheel drawing   painting the whole client after that notch into an
//                   off-screen bitmap: the drawing without the layered update
#include "BenchWindow.h"
#include "core/ContainerUI.h"
#include "core/ControlUI.h"
#include "builder/SkinBuilder.h"
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

using namespace CalUI;

namespace {

constexpr int kWidth = 960;
constexpr int kHeight = 620;
constexpr int kListRows = 5000;
constexpr int kGridTiles = 2000;
constexpr double kForcedLayoutAimMs = 2.0;
constexpr double kWidthChangeAimMs = 20.0;
constexpr double kWheelDrawingAimMs = 4.0;

const wchar_t kSkinHead[] =
    L"<Window><Font id=\"0\" name=\"微软雅黑\" size=\"14\" default=\"true\" />"
    L"<Default name=\"VScrollBar\" value=\"width=&quot;8&quot; thumbcolor=&quot;#FF5C6370&quot; "
    L"showbutton1=&quot;false&quot; showbutton2=&quot;false&quot;\" />";

// With `measuredLabel` the size label of each row takes the width of its
// text, which the label measures whenever its available width changes; without
// it every label has a fixed width, so the layout alone is timed.
std::wstring ListMarkup(bool measuredLabel)
{
    const std::wstring sizeWidth = measuredLabel ? L"" : L" width=\"90\"";
    std::wstring xml = kSkinHead;
    xml += L"<VerticalLayout vscrollbar=\"true\" inset=\"16,8,16,8\" bkcolor=\"#FF1B1F27\">";
    for (int i = 0; i < kListRows; ++i) {
        xml += L"<HorizontalLayout height=\"28\" childpadding=\"8\" childvalign=\"vcenter\">";
        xml += L"<Option width=\"24\" height=\"24\" bkcolor=\"#FF2F3745\" selectedbkcolor=\"#FF43CF7C\" />";
        xml += L"<Label text=\"游戏 Game " + std::to_wstring(i) + L"\" width=\"180\" />";
        xml += L"<Label text=\"" + std::to_wstring(i % 97) + L".5 GB\"" + sizeWidth + L" textcolor=\"#FFA1A1A1\" />";
        xml += L"<Label text=\"下载中 Downloading\" width=\"140\" endellipsis=\"true\" />";
        xml += L"<Button text=\"安装 Install\" width=\"96\" height=\"24\" bkcolor=\"#FF43CF7C\" "
               L"hotbkcolor=\"#FF5AD98F\" />";
        xml += L"<Progress width=\"160\" height=\"8\" value=\"" + std::to_wstring(i % 101) +
               L"\" bkcolor=\"#FF2A2F3A\" foreimage=\"color='#FF43CF7C'\" />";
        xml += L"</HorizontalLayout>";
    }
    xml += L"</VerticalLayout></Window>";
    return xml;
}

std::wstring GridMarkup()
{
    std::wstring xml = kSkinHead;
    xml += L"<TileLayout vscrollbar=\"true\" itemsize=\"139,180\" childpadding=\"16\" childvpadding=\"16\" "
           L"inset=\"16,16,16,16\" bkcolor=\"#FF1B1F27\">";
    for (int i = 0; i < kGridTiles; ++i) {
        xml += L"<VerticalLayout bkcolor=\"#FF242A35\" inset=\"6,6,6,6\" childpadding=\"6\">";
        xml += L"<Control height=\"132\" bkcolor=\"#FF2F3745\" />";
        xml += L"<Label text=\"游戏 Game " + std::to_wstring(i) + L"\" align=\"center\" endellipsis=\"true\" />";
        xml += L"</VerticalLayout>";
    }
    xml += L"</TileLayout></Window>";
    return xml;
}

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

double MedianMs(int rounds, const std::function<void()>& step)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i)
        times.push_back(ElapsedMs(step));
    return Median(times);
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// A 32-bit bitmap of the client's size to draw into, as the window's own
// off-screen picture is drawn.
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
    double firstLayout = 0;
    double widthChange = 0;
    double forcedLayout = 0;
    double wheelLayout = 0;
    double wheelDrawing = 0;
    int scrolledBy = 0;  // the wheel steps' total, to show they scrolled
    int controls = 0;
};

int CountControls(CControlUI* control)
{
    int count = 1;
    if (auto* container = static_cast<CContainerUI*>(control->GetInterface(L"Container"))) {
        for (int i = 0; i < container->GetCount(); ++i)
            count += CountControls(container->GetItemAt(i));
    }
    return count;
}

CControlUI* Build(BenchWindow& window, const std::wstring& markup)
{
    CSkinBuilder builder;
    CControlUI* root = builder.Create(markup.c_str(), nullptr, nullptr, &window.manager);
    if (root != nullptr)
        window.manager.AttachRoot(root);
    return root;
}

bool Measure(BenchWindow& window, const std::wstring& markup, int rounds, int firstRounds, Figures& figures)
{
    const RECT full = {0, 0, kWidth, kHeight};
    const RECT narrower = {0, 0, kWidth - 1, kHeight};
    CControlUI* root = nullptr;
    std::vector<double> firsts;
    for (int i = 0; i < firstRounds; ++i) {
        root = Build(window, markup);  // the tree before it goes with the manager's next pass
        if (root == nullptr)
            return false;
        firsts.push_back(ElapsedMs([&] { root->SetPos(full, true); }));
        Pump();
    }
    figures.firstLayout = Median(firsts);
    figures.controls = CountControls(root);

    bool narrow = false;
    figures.widthChange = MedianMs(rounds, [&] {
        narrow = !narrow;
        root->SetPos(narrow ? narrower : full, true);
    });
    root->SetPos(full, true);
    figures.forcedLayout = MedianMs(rounds, [&] { root->SetPos(full, true); });

    // A notch down over the middle of the window, through the window's own
    // message handling: the layout under the mouse scrolls by a line.
    auto* container = static_cast<CContainerUI*>(root->GetInterface(L"Container"));
    POINT middle = {kWidth / 2, kHeight / 2};
    ClientToScreen(window.GetWindowHandle(), &middle);
    const int before = container != nullptr ? container->GetScrollPos().cy : 0;
    DrawingSurface surface;
    std::vector<double> layouts;
    std::vector<double> drawings;
    for (int i = 0; i < rounds; ++i) {
        layouts.push_back(ElapsedMs([&] {
            LRESULT ignored = 0;
            window.manager.HandleWindowMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA),
                                               MAKELPARAM(middle.x, middle.y), ignored);
        }));
        drawings.push_back(ElapsedMs([&] { root->Paint(surface.dc(), full, nullptr); }));
    }
    figures.wheelLayout = Median(layouts);
    figures.wheelDrawing = Median(drawings);
    figures.scrolledBy = (container != nullptr ? container->GetScrollPos().cy : 0) - before;
    return true;
}

void Print(const char* what, const Figures& f)
{
    std::printf("%s: %d controls\n", what, f.controls);
    std::printf("  first layout:   median %8.3f ms\n", f.firstLayout);
    std::printf("  width change:   median %8.3f ms   aim < %.0f ms%s\n", f.widthChange, kWidthChangeAimMs,
                f.widthChange < kWidthChangeAimMs ? "" : "   MISSED");
    std::printf("  forced layout:  median %8.3f ms   aim < %.0f ms%s\n", f.forcedLayout, kForcedLayoutAimMs,
                f.forcedLayout < kForcedLayoutAimMs ? "" : "   MISSED");
    std::printf("  wheel layout:   median %8.3f ms   (scrolled %d pixels in all)\n", f.wheelLayout, f.scrolledBy);
    std::printf("  wheel drawing:  median %8.3f ms   aim < %.0f ms%s\n", f.wheelDrawing, kWheelDrawingAimMs,
                f.wheelDrawing < kWheelDrawingAimMs ? "" : "   MISSED");
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 101;
    const int firstRounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    BenchWindow window(L"CalverinLayoutBench");
    window.Create(nullptr, L"layout bench", WS_POPUP | WS_VISIBLE, 0, 50, 50, kWidth, kHeight, nullptr);
    window.manager.SetLayeredImage(L"color='#FF1B1F27'");
    // The wheel goes to the window that has the keyboard focus.
    SetForegroundWindow(window.GetWindowHandle());
    SetFocus(window.GetWindowHandle());
    Pump();

    std::printf("layered window %d x %d, %d rounds (first layouts: %d)\n", kWidth, kHeight, rounds, firstRounds);
    Figures list;
    if (!Measure(window, ListMarkup(true), rounds, firstRounds, list)) {
        std::printf("the list's markup built nothing\n");
        return 1;
    }
    Print("vertical layout of 5,000 rows", list);
    Figures fixedList;
    if (!Measure(window, ListMarkup(false), rounds, firstRounds, fixedList)) {
        std::printf("the list's markup built nothing\n");
        return 1;
    }
    Print("the same rows, every label of fixed width (no text measured)", fixedList);
    Figures grid;
    if (!Measure(window, GridMarkup(), rounds, firstRounds, grid)) {
        std::printf("the grid's markup built nothing\n");
        return 1;
    }
    Print("tile layout of 2,000 tiles", grid);
    return 0;
}
