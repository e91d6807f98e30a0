// Times the paint of a 1200 x 800 layered window with a shadow and a
// background image, holding 1,000 controls, and prints the median time of a
// full paint, of a paint after one control changed, and of the parts of a
// full paint on their own: the controls' drawing, the layered background's
// drawing and putting the finished picture on the screen:
//   paint_bench [ROUNDS [CONTROLS]]
// A paint here is what the repaint timer runs after an invalidation: the
// layout check, the layered background, the drawing of the controls within the
// invalid rectangle, the alpha fix-up and the layered update.
#include "BenchWindow.h"
#include "core/ContainerUI.h"
#include "core/ControlUI.h"
#include "core/PaintSurface.h"
#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"
#include "core/WindowWnd.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

using namespace CalUI;

namespace {

constexpr int kWidth = 1200;
constexpr wchar_t kLayeredImage[] = L"color='#FFF4F4F4' corner='8,8,8,8'";
constexpr int kHeight = 800;
constexpr int kColumns = 40;
constexpr int kRows = 25;

// A cell as list rows and tiles draw it: a blended fill and a GDI frame.
class Cell : public CControlUI
{
public:
    Cell(int column, int row, int width, int height) : m_color(0xC0000000 | (column * 6 << 16) | (row * 9 << 8) | 0x80)
    {
        SetFloat(true);
        SetFixedXY({column * width, row * height});
        SetFixedWidth(width - 2);
        SetFixedHeight(height - 2);
    }

    void PaintBkColor(HDC hdc) override { CSkinPainter::FillSolidColor(hdc, GetPos(), m_color); }
    void PaintBorder(HDC hdc) override { CSkinPainter::DrawRectFrame(hdc, GetPos(), 1, 0xFF303030); }

private:
    DWORD m_color;
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

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const int controls = argc > 2 ? std::clamp(std::atoi(argv[2]), 0, kColumns * kRows) : kColumns * kRows;
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    BenchWindow window(L"CalverinPaintBench");
    window.Create(nullptr, L"paint bench", WS_POPUP | WS_VISIBLE, 0, 50, 50, kWidth, kHeight, nullptr);
    CWindowManagerUI& manager = window.manager;
    manager.SetShadowSize(14);
    manager.SetLayeredImage(kLayeredImage);

    auto* root = new CContainerUI;
    const int cellWidth = (kWidth - 28) / kColumns;
    const int cellHeight = (kHeight - 28) / kRows;
    for (int i = 0; i < controls; ++i)
        root->Add(new Cell(i % kColumns, i / kColumns, cellWidth, cellHeight));
    manager.AttachRoot(root);
    for (int i = 0; i < 5; ++i) {  // layout, "windowinit" and the first drawings
        manager.InvalidateAll();
        LRESULT ignored = 0;
        manager.HandleWindowMessage(WM_PAINT, 0, 0, ignored);
        Pump();
    }

    const double paintMs = MedianMs(rounds, [&] {
        manager.InvalidateAll();
        LRESULT ignored = 0;
        manager.HandleWindowMessage(WM_PAINT, 0, 0, ignored);
    });
    // One control changes, as a row's progress bar or a hovered button does.
    CControlUI* changed = root->GetCount() > 0 ? root->GetItemAt(root->GetCount() / 2) : root;
    const double smallPaintMs = MedianMs(rounds, [&] {
        changed->Invalidate();
        LRESULT ignored = 0;
        manager.HandleWindowMessage(WM_PAINT, 0, 0, ignored);
    });

    // The parts of a full paint, each into surfaces of the window's size.
    CPaintSurface target;
    HDC screen = GetDC(nullptr);
    const bool surfaces = target.Create(screen, kWidth, kHeight, true);
    ReleaseDC(nullptr, screen);
    if (!surfaces) {
        std::fprintf(stderr, "paint_bench: no surfaces to draw into\n");
        return 1;
    }
    const RECT all = target.GetRect();
    target.Select();
    const double drawingMs = MedianMs(rounds, [&] {
        const int saved = SaveDC(target.GetDC());
        root->Paint(target.GetDC(), all, nullptr);
        RestoreDC(target.GetDC(), saved);
    });
    ImageDrawInfo layeredImage;
    layeredImage.attributeText = kLayeredImage;
    const double backgroundMs = MedianMs(rounds, [&] {
        target.Clear(all);
        CSkinPainter::DrawImageAttr(target.GetDC(), &manager, all, all, layeredImage);
    });
    target.Deselect();
    const double updateMs = MedianMs(rounds, [&] { manager.PaintShadow(); });

    std::printf("layered window %d x %d, %d controls, %d rounds\n", kWidth, kHeight, root->GetCount(), rounds);
    std::printf("full paint:              median %.3f ms\n", paintMs);
    std::printf("paint after one change:  median %.3f ms\n", smallPaintMs);
    std::printf("parts of a full paint:\n");
    std::printf("  controls' own drawing: median %.3f ms\n", drawingMs);
    std::printf("  layered background:    median %.3f ms\n", backgroundMs);
    std::printf("  layered update:        median %.3f ms\n", updateMs);
    std::printf("budget (a quarter of a 60 Hz frame): 4.167 ms\n");
    return 0;
}
