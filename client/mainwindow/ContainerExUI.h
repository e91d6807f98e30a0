#pragma once
// The skin element "ContainerEx": a container that tells the window once
// when the mouse comes over it ("mouseenter") and once when the mouse really
// leaves its rectangle ("mouseleave"), not when it passes onto a child. The
// main window opens and closes its wide navigation panel by these two.

#include "core/ContainerUI.h"

class CContainerExUI : public CalUI::CContainerUI
{
public:
    LPCWSTR GetClass() const override;
    // "ContainerEx" answers with the container's item interface.
    void* GetInterface(LPCWSTR name) override;
    void OnEvent(CalUI::UIEvent& event) override;

private:
    bool ContainsEventPoint(const CalUI::UIEvent& event) const;
    // Only with a paint manager: a detached container has no window to tell.
    void NotifyWindow(LPCWSTR type);

    bool m_mouseOver = false;  // between the panel's "mouseenter" and "mouseleave"
};
