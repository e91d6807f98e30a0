#pragma once
// A clip region held for one painting step on the caller's stack: it narrows
// the clipping already in force and gives that clipping back when it goes.

#include <windows.h>

namespace CalUI {

class CClipGuard
{
public:
    CClipGuard() = default;
    ~CClipGuard();
    CClipGuard(const CClipGuard&) = delete;
    CClipGuard& operator=(const CClipGuard&) = delete;

    // Clips `dc` to `rc` within the clipping in force.
    static void ClipRect(HDC dc, const RECT& rc, CClipGuard& guard);
    // Clips `dc` to `rc` and to the rounded rectangle of `control` with corner
    // ellipses of cornerWidth x cornerHeight, within the clipping in force.
    static void ClipRoundRect(HDC dc, const RECT& rc, const RECT& control, int cornerWidth, int cornerHeight,
                              CClipGuard& guard);
    // Switches between the clipping the guard found and its own, for float
    // children painted outside a container's client area.
    static void SelectOuterClip(HDC dc, const CClipGuard& guard);
    static void SelectInnerClip(HDC dc, const CClipGuard& guard);

private:
    // Remembers the clipping in force and starts the own region as `rc`.
    void Begin(HDC dc, const RECT& rc);
    void Restrict(HRGN region);
    void Release();

    HDC m_dc = nullptr;
    HRGN m_region = nullptr;       // owned; the region this guard selects
    HRGN m_outer = nullptr;        // owned; the clipping found, or its box
    bool m_hadClipRegion = false;  // false: the dc had no clip region at all
};

}  // namespace CalUI
