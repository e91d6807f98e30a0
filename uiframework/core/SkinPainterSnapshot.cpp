// A snapshot of a window's painted controls, for effects that show the
// window's picture, such as a fading page.

#include "core/SkinPainter.h"

#include "core/ControlUI.h"
#include "core/PaintSurface.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

// A context holding the window's last painted picture for the snapshot's
// copy: the manager's own off-screen bitmap when it can be used as it is,
// else a fresh paint of the tree.
class SnapshotSource
{
public:
    SnapshotSource(CWindowManagerUI& manager, const RECT& rc, CControlUI* stopControl)
    {
        HDC reference = manager.GetPaintDC();
        HBITMAP painted = manager.GetOffscreenBitmap();
        if (stopControl == nullptr && !manager.IsLayered() && painted != nullptr) {
            m_dc = CreateCompatibleDC(reference);
            m_previous = SelectObject(m_dc, painted);
            return;
        }
        CControlUI* root = manager.GetRoot();
        if (root == nullptr || !m_fresh.Create(reference, rc.right, rc.bottom, false))
            return;
        m_fresh.Select();
        root->Paint(m_fresh.GetDC(), rc, stopControl);
    }

    ~SnapshotSource()
    {
        if (m_dc == nullptr)
            return;
        SelectObject(m_dc, m_previous);
        DeleteDC(m_dc);
    }

    SnapshotSource(const SnapshotSource&) = delete;
    SnapshotSource& operator=(const SnapshotSource&) = delete;

    HDC GetDC() const { return m_dc != nullptr ? m_dc : m_fresh.GetDC(); }

private:
    HDC m_dc = nullptr;  // owned; holds the manager's bitmap
    HGDIOBJ m_previous = nullptr;
    CPaintSurface m_fresh;
};

}  // namespace

HBITMAP CSkinPainter::RenderControlToBitmap(CWindowManagerUI* manager, const RECT& rc, CControlUI* stopControl,
                                            DWORD overlay)
{
    if (manager == nullptr)
        return nullptr;
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    SnapshotSource source(*manager, rc, stopControl);
    if (source.GetDC() == nullptr || width <= 0 || height <= 0)
        return nullptr;
    HDC dc = CreateCompatibleDC(manager->GetPaintDC());
    BYTE* pixels = nullptr;
    HBITMAP snapshot = CreateARGB32Bitmap(manager->GetPaintDC(), width, height, &pixels);
    if (snapshot != nullptr) {
        HGDIOBJ previous = SelectObject(dc, snapshot);
        BitBlt(dc, 0, 0, width, height, source.GetDC(), rc.left, rc.top, SRCCOPY);
        if ((overlay >> 24) != 0)
            FillSolidColor(dc, RECT{0, 0, width, height}, overlay);
        GdiFlush();
        SelectObject(dc, previous);
    }
    DeleteDC(dc);
    return snapshot;
}

}  // namespace CalUI
