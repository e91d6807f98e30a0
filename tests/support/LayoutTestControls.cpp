#include "LayoutTestControls.h"

#include "core/ControlInterfaces.h"
#include "builder/SkinBuilder.h"
#include "core/UIInterfaces.h"
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

CControlUI* BuildDetached(ManagedWindow& window, LPCWSTR xml)
{
    CSkinBuilder builder;
    CControlUI* control = builder.Create(xml, nullptr, nullptr, &window.manager);
    if (control != nullptr)
        window.manager.InitControls(control);
    return control;
}

std::vector<RECT> ChildRects(CControlUI& container)
{
    std::vector<RECT> rects;
    auto* items = static_cast<IContainerUI*>(container.GetInterface(kContainerInterface));
    for (int i = 0; items != nullptr && i < items->GetCount(); ++i)
        rects.push_back(items->GetItemAt(i)->GetPos());
    return rects;
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
