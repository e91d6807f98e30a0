#pragma once
// Controls for tests of containers and the skin builder: a leaf that counts
// its live instances and reports clicks, and a recorder of painting.

#include <string>
#include <vector>

#include "core/ControlUI.h"
#include "GeometryText.h"
#include "ManagedWindow.h"

// A leaf of a fixed size (0 = fill) that sends "click" when the left button
// is released over it. Every instance is counted while it lives.
class CountedControl : public CalUI::CControlUI
{
public:
    explicit CountedControl(int width = 0, int height = 0);
    ~CountedControl() override;

    LPCWSTR GetClass() const override;
    void OnEvent(CalUI::UIEvent& event) override;

    static int live;
};

// The first control of a skin document given as text ("<Window>...</Window>"),
// built for the window's manager and initialised there, but outside the
// window's tree: the caller places it by hand and deletes it.
CalUI::CControlUI* BuildDetached(ManagedWindow& window, LPCWSTR xml);

// The positions of a container's children, in child order.
std::vector<RECT> ChildRects(CalUI::CControlUI& container);

// The notifications of one type the window received, in order.
std::vector<ReceivedNotify> NotificationsOfType(const ManagedWindow& window, LPCWSTR type);

// Records the name of each control whose Paint reaches its own drawing.
class PaintRecorder
{
public:
    void Watch(CalUI::CControlUI* control);
    std::vector<std::wstring> painted;

private:
    bool OnPaint(void* control);
};
