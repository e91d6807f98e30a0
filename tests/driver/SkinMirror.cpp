// The client's skin laid out by the framework in a hidden window.

#include "SkinMirror.h"

#include <cwchar>
#include <stdexcept>
#include <string>

#include "core/ContainerUI.h"
#include "core/ControlUI.h"
#include "builder/SkinBuilder.h"
#include "core/TabLayoutUI.h"
#include "core/WindowManagerUI.h"
#include "core/WindowWnd.h"
#include "mainwindow/ContainerExUI.h"

using namespace CalUI;

namespace {

std::string Narrow(LPCWSTR text)
{
    std::string narrow;
    for (; *text != L'\0'; ++text)
        narrow += *text < 0x80 ? static_cast<char>(*text) : '?';
    return narrow;
}

bool Holds(const RECT& outer, const RECT& inner)
{
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

}  // namespace

// Never shown: its paint manager lays the tree out when asked, not at a
// paint. It makes the client's own element as the main window makes it.
class MirrorWnd : public CWindowWnd, public IDialogBuilderCallback
{
public:
    MirrorWnd() { Create(nullptr, L"skin mirror", WS_POPUP, 0, 0, 0, 0, 0, nullptr); }
    ~MirrorWnd() override
    {
        if (IsWindow(m_hWnd))
            DestroyWindow(m_hWnd);
    }

    LPCWSTR GetWindowClassName() const override { return L"CalverinDriverSkinMirror"; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CREATE)
            manager.Init(m_hWnd);
        LRESULT result = 0;
        if (manager.HandleWindowMessage(message, wParam, lParam, result))
            return result;
        return CWindowWnd::HandleMessage(message, wParam, lParam);
    }

    CControlUI* CreateControl(LPCWSTR className) override
    {
        return std::wcscmp(className, L"ContainerEx") == 0 ? new CContainerExUI : nullptr;
    }

    CWindowManagerUI manager;
};

SkinMirror::SkinMirror(LPCWSTR skinFile) : m_window(std::make_unique<MirrorWnd>())
{
    CSkinBuilder builder;
    CControlUI* root = builder.Create(skinFile, nullptr, m_window.get(), &m_window->manager);
    if (root == nullptr)
        throw std::runtime_error("the skin " + Narrow(skinFile) + " does not build");
    m_window->manager.AttachRoot(root);
    const SIZE size = m_window->manager.GetInitSize();
    SetWindowPos(m_window->GetWindowHandle(), nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    LayOut();
}

SkinMirror::~SkinMirror() = default;

RECT SkinMirror::ControlRect(LPCWSTR name)
{
    CControlUI& control = Find(name);
    ShowWithAncestors(control);
    LayOut();
    return control.GetPos();
}

ItemPlace SkinMirror::PlaceItem(const ItemSpot& spot)
{
    CContainerUI& container = FindContainer(spot.container);
    if (spot.index < 0 || spot.index >= spot.count)
        throw std::runtime_error("item " + std::to_string(spot.index) + " of " + std::to_string(spot.count) + " in " +
                                 Narrow(spot.container) + " does not exist");
    ShowWithAncestors(container);
    FillWithItems(container, spot);
    LayOut();

    ItemPlace place;
    const SIZE range = container.GetScrollRange();
    for (container.SetScrollPos(SIZE{0, range.cy}); container.GetScrollPos().cy > 0; container.LineUp())
        ++place.notchesUp;

    const RECT view = container.GetClientPos();
    CControlUI* item = container.GetItemAt(spot.index);
    while (!Holds(view, item->GetPos())) {
        const LONG before = container.GetScrollPos().cy;
        container.LineDown();
        if (container.GetScrollPos().cy == before)
            break;
        ++place.notchesDown;
    }
    place.rect = item->GetPos();
    place.wheelAt = POINT{(view.left + view.right) / 2, (view.top + view.bottom) / 2};
    return place;
}

CControlUI& SkinMirror::Find(LPCWSTR name)
{
    CControlUI* control = m_window->manager.FindControl(name);
    if (control == nullptr)
        throw std::runtime_error("the skin has no control " + Narrow(name));
    return *control;
}

CContainerUI& SkinMirror::FindContainer(LPCWSTR name)
{
    auto* container = static_cast<CContainerUI*>(Find(name).GetInterface(L"Container"));
    if (container == nullptr)
        throw std::runtime_error(Narrow(name) + " holds no items");
    return *container;
}

void SkinMirror::ShowWithAncestors(CControlUI& control)
{
    for (CControlUI* shown = &control; shown != nullptr; shown = shown->GetParent()) {
        shown->SetVisible(true);
        CControlUI* parent = shown->GetParent();
        if (auto* pages = parent != nullptr ? static_cast<CTabLayoutUI*>(parent->GetInterface(L"TabLayout")) : nullptr)
            pages->SelectItem(pages->GetItemIndex(shown), false);
    }
}

void SkinMirror::FillWithItems(CContainerUI& container, const ItemSpot& spot)
{
    container.SetScrollPos(SIZE{0, 0});
    container.RemoveAll();
    for (int i = 0; i < spot.count; ++i) {
        auto* item = new CControlUI;
        if (spot.size.cx > 0)
            item->SetFixedWidth(spot.size.cx);
        if (spot.size.cy > 0)
            item->SetFixedHeight(spot.size.cy);
        container.Add(item);
    }
}

void SkinMirror::LayOut()
{
    RECT client = {};
    GetClientRect(m_window->GetWindowHandle(), &client);
    m_window->manager.GetRoot()->SetPos(client, false);
}
