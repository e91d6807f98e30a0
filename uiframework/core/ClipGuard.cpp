#include "core/ClipGuard.h"

namespace CalUI {

CClipGuard::~CClipGuard() { Release(); }

void CClipGuard::ClipRect(HDC dc, const RECT& rc, CClipGuard& guard)
{
    guard.Begin(dc, rc);
    guard.Restrict(guard.m_outer);
    SelectInnerClip(dc, guard);
}

void CClipGuard::ClipRoundRect(HDC dc, const RECT& rc, const RECT& control, int cornerWidth, int cornerHeight,
                               CClipGuard& guard)
{
    guard.Begin(dc, rc);
    // The platform's rounded region leaves out its right and bottom edges.
    HRGN rounded =
        CreateRoundRectRgn(control.left, control.top, control.right + 1, control.bottom + 1, cornerWidth, cornerHeight);
    guard.Restrict(rounded);
    DeleteObject(rounded);
    guard.Restrict(guard.m_outer);
    SelectInnerClip(dc, guard);
}

// A dc that had no clip region gets none back, so that a later, larger
// bitmap selected into it is not clipped to the old one's size.
void CClipGuard::SelectOuterClip(HDC dc, const CClipGuard& guard)
{
    SelectClipRgn(dc, guard.m_hadClipRegion ? guard.m_outer : nullptr);
}

void CClipGuard::SelectInnerClip(HDC dc, const CClipGuard& guard) { SelectClipRgn(dc, guard.m_region); }

// The clipping in force is kept as the region itself, not just its box: a
// guard inside a rounded one must hand the rounded corners back intact.
void CClipGuard::Begin(HDC dc, const RECT& rc)
{
    Release();
    m_dc = dc;
    m_outer = CreateRectRgn(0, 0, 0, 0);
    m_hadClipRegion = GetClipRgn(dc, m_outer) == 1;
    if (!m_hadClipRegion) {
        RECT box = {0, 0, 0, 0};
        GetClipBox(dc, &box);
        SetRectRgn(m_outer, box.left, box.top, box.right, box.bottom);
    }
    m_region = CreateRectRgnIndirect(&rc);
}

void CClipGuard::Restrict(HRGN region) { CombineRgn(m_region, m_region, region, RGN_AND); }

void CClipGuard::Release()
{
    if (m_dc != nullptr)
        SelectOuterClip(m_dc, *this);
    if (m_region != nullptr)
        DeleteObject(m_region);
    if (m_outer != nullptr)
        DeleteObject(m_outer);
    m_dc = nullptr;
    m_region = nullptr;
    m_outer = nullptr;
}

}  // namespace CalUI
