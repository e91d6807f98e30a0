#include "LayoutTestControls.h"

#include "core/WindowManagerUI.h"

using namespace CalUI;

int CountedControl::live = 0;

CountedControl::CountedControl(int width, int height)
{
    ++live;
    SetFixedWidth(width);
    SetFixedHeight(height);
}

CountedControl::~CountedControl() { --live; }

LPCWSTR CountedControl::GetClass() const { return L"Counted"; }

void CountedControl::OnEvent(UIEvent& event)
{
    if (event.type == UIEventType::ButtonUp && m_manager != nullptr && ::PtInRect(&m_pos, event.mousePoint)) {
        m_manager->SendNotify(this, L"click");
        return;
    }
    CControlUI::OnEvent(event);
}

std::vector<ReceivedNotify> NotificationsOfType(const ManagedWindow& window, LPCWSTR type)
{
    std::vector<ReceivedNotify> found;
    for (const ReceivedNotify& n : window.notifications) {
        if (n.type == type)
            found.push_back(n);
    }
    return found;
}

void PaintRecorder::Watch(CControlUI* control)
{
    control->paintDelegates.Add(CDelegate<PaintRecorder, PaintRecorder>(this, &PaintRecorder::OnPaint));
}

bool PaintRecorder::OnPaint(void* control)
{
    painted.push_back(static_cast<CControlUI*>(control)->GetName().GetData());
    return true;
}
