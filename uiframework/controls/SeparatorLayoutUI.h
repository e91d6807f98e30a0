#pragma once
// What the vertical and horizontal layouts share: a strip along one edge
// that the user drags to resize the layout itself. The vertical layout's
// strip ("sepheight") changes its height, the horizontal one's ("sepwidth")
// its width; the drag is one algorithm along either axis.
//
// A positive separator size puts the strip on the far edge (bottom, right),
// a negative one on the near edge (top, left); 0 means no strip. The size a
// drag reaches stays as the layout's fixed height or width, so the parent's
// next layout keeps it. With "sepimm" the parent lays the layout out at every
// step; without it a tracker strip of 0xAA000000 shows where the edge would
// go and the layout changes on release. The layout sits in the manager's
// post-paint list only during a tracker drag; the manager forgets a layout
// destroyed in the middle of one.

#include "core/ControlState.h"
#include "core/ContainerUI.h"

namespace CalUI {

// The dimension a separator drag changes.
enum class UISeparatorAxis
{
    Height,  // the vertical layout: the strip lies along the top or bottom edge
    Width,   // the horizontal layout: along the left or right edge
};

class CSeparatorLayoutUI : public CContainerUI
{
public:
    // TabStop never; SetCursor while enabled and a strip exists.
    UIControlFlag GetControlFlags() const override;
    void OnEvent(UIEvent& event) override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;
    // Draws the tracker strip during a drag without "sepimm".
    void PostPaint(HDC hdc) override;

    // The strip on the current rectangle or, with `useNew` during a drag, on
    // the rectangle the drag would make; it never reaches beyond that rectangle.
    RECT GetSeparatorRect(bool useNew) const;
    bool IsSepImmMode() const;
    // Switching in the middle of a tracker drag takes the layout off the
    // post-paint list; the drag goes on in the new mode.
    void SetSepImmMode(bool immediate);
    bool IsDraggingSeparator() const;

protected:
    explicit CSeparatorLayoutUI(UISeparatorAxis axis);

    int GetSeparatorSize() const;
    void SetSeparatorSize(int size);  // stored as given; nothing else

    // Placement helpers of both twins.
    // The value raised to the minimum, then lowered to the maximum (which
    // thus wins when it is the smaller).
    static int RaiseThenLower(int value, int minimum, int maximum);
    // The room offered to a child, cut to its fixed size, or to its maximum
    // along an axis where it has none.
    static SIZE LimitByFixedOrMax(const CControlUI* child, SIZE limit);

private:
    LONG Along(POINT pt) const;
    LONG& NearEdge(RECT& rc) const;
    LONG& FarEdge(RECT& rc) const;
    int Extent(const RECT& rc) const;
    int MinExtent() const;
    int MaxExtent() const;
    LPCWSTR SizeAttributeName() const;
    LPCWSTR SizingCursor() const;

    bool StartDrag(const UIEvent& event);
    void EndDrag();
    void DragTo(POINT pt);
    // False when the step must be dropped: the mouse is on the wrong side
    // of the edge for the direction it moves in.
    bool FollowsTheEdge(LONG along, int delta) const;
    // Keeps the dragged extent within minimum and maximum; false when the
    // step would cross a limit that the drag has already reached.
    bool ClampToLimits(RECT& rc) const;
    void SetDraggedEdgeForExtent(RECT& rc, int extent) const;
    void InvalidateTracker(const RECT& oldTracker);

    const UISeparatorAxis m_axis;
    int m_separatorSize = 0;
    UIControlState m_separatorState = UIControlState::None;  // Captured while dragging
    POINT m_lastMouse = {0, 0};
    RECT m_newPos = {0, 0, 0, 0};
    bool m_immediate = false;
};

}  // namespace CalUI
