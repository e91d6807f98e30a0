// The navigation panel's container: one "mouseenter" when the mouse comes
// over it, none when the mouse passes onto a child, one "mouseleave" when it
// really leaves.

#include <gtest/gtest.h>

#include "builder/SkinBuilder.h"
#include "core/UIEvent.h"
#include "mainwindow/ContainerExUI.h"
#include "ManagedWindow.h"

using namespace CalUI;

namespace {

class ContainerExFactory : public IDialogBuilderCallback
{
public:
    CControlUI* CreateControl(LPCWSTR name) override
    {
        return std::wcscmp(name, L"ContainerEx") == 0 ? new CContainerExUI : nullptr;
    }
};

std::vector<std::wstring> EnterLeaveOf(const ManagedWindow& window, LPCWSTR sender)
{
    std::vector<std::wstring> types;
    for (const ReceivedNotify& n : window.notifications) {
        if (n.sender == sender && (n.type == L"mouseenter" || n.type == L"mouseleave"))
            types.push_back(n.type);
    }
    return types;
}

TEST(ContainerExUI, ReportsEnteringAndLeavingTheWholePanelOnce)
{
    ManagedWindow window;
    ContainerExFactory factory;
    CSkinBuilder builder;
    window.Attach(builder.Create(L"<Window><Container>"
                                 L"<ContainerEx name=\"nav\" float=\"true\" pos=\"20,20,220,220\">"
                                 L"<Control name=\"child\" float=\"true\" pos=\"50,50,150,150\"/>"
                                 L"</ContainerEx></Container></Window>",
                                 nullptr, &factory, &window.manager));
    window.Pump();
    auto* nav = static_cast<CContainerExUI*>(window.manager.FindControl(L"nav"));
    ASSERT_NE(nav, nullptr);
    EXPECT_STREQ(nav->GetClass(), L"ContainerEx");
    EXPECT_EQ(nav->GetInterface(L"ContainerEx"), static_cast<IContainerUI*>(nav));
    EXPECT_EQ(nav->GetInterface(L"containerex"), nullptr);

    const POINT path[] = {{300, 250}, {30, 30}, {100, 100}, {120, 120}, {30, 30}, {300, 250}};
    for (const POINT& p : path) {
        window.PostMessage(WM_MOUSEMOVE, 0, PointParam(p.x, p.y));
        window.Pump();
    }
    EXPECT_EQ(EnterLeaveOf(window, L"nav"), (std::vector<std::wstring>{L"mouseenter", L"mouseleave"}));

    // Straight from the child out of the panel: still one leave.
    window.notifications.clear();
    for (const POINT& p : {POINT{30, 30}, POINT{100, 100}, POINT{300, 250}}) {
        window.PostMessage(WM_MOUSEMOVE, 0, PointParam(p.x, p.y));
        window.Pump();
    }
    EXPECT_EQ(EnterLeaveOf(window, L"nav"), (std::vector<std::wstring>{L"mouseenter", L"mouseleave"}));
}

// Taken out of its window, the panel hears mouse events it cannot report:
// the window is told nothing and asked to send it nothing, and once back the
// panel reports the first real entering as ever.
TEST(ContainerExUI, WithoutAPaintManagerItSendsAndRegistersNothing)
{
    ManagedWindow window;
    ContainerExFactory factory;
    CSkinBuilder builder;
    window.Attach(builder.Create(L"<Window><Container>"
                                 L"<ContainerEx name=\"nav\" float=\"true\" pos=\"20,20,220,220\">"
                                 L"<Control name=\"child\" float=\"true\" pos=\"50,50,150,150\"/>"
                                 L"</ContainerEx></Container></Window>",
                                 nullptr, &factory, &window.manager));
    window.Pump();
    auto* nav = static_cast<CContainerExUI*>(window.manager.FindControl(L"nav"));
    ASSERT_NE(nav, nullptr);
    CControlUI* parent = nav->GetParent();

    nav->SetManager(nullptr, nullptr, false);
    // A leave over a child would register, an enter would be remembered.
    for (UIEventType type : {UIEventType::MouseLeave, UIEventType::MouseEnter}) {
        for (POINT p : {POINT{200, 200}, POINT{30, 30}}) {
            UIEvent event;
            event.type = type;
            event.mousePoint = p;
            nav->OnEvent(event);
        }
    }
    EXPECT_TRUE(EnterLeaveOf(window, L"nav").empty());
    EXPECT_FALSE(window.manager.RemoveMouseLeaveNeeded(nav));

    nav->SetManager(&window.manager, parent, false);
    for (const POINT& p : {POINT{300, 250}, POINT{30, 30}, POINT{300, 250}}) {
        window.PostMessage(WM_MOUSEMOVE, 0, PointParam(p.x, p.y));
        window.Pump();
    }
    EXPECT_EQ(EnterLeaveOf(window, L"nav"), (std::vector<std::wstring>{L"mouseenter", L"mouseleave"}));
}

}  // namespace
