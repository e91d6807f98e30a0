#include "LayoutTestControls.h"

#include <algorithm>

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

void StackLayout::SetPos(RECT rc, bool invalidate)
{
    ResetBarsForNewSize(rc);
    CControlUI::SetPos(rc, invalidate);
    RECT client = GetClientPos();
    const SIZE scroll = GetScrollPos();
    int neededWidth = 0;
    int y = client.top - scroll.cy;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible())
            continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        const int width = child->GetFixedWidth() != 0 ? child->GetFixedWidth() : client.right - client.left;
        const int left = client.left - scroll.cx;
        child->SetPos(RECT{left, y, left + width, y + child->GetFixedHeight()}, false);
        y += child->GetFixedHeight();
        neededWidth = std::max(neededWidth, width);
    }
    UpdateScrollBars(client, neededWidth, y + scroll.cy - client.top);
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
