// Messages taken from the modal loop before they are dispatched: accelerator
// translators, Tab navigation, system keys and Alt shortcuts.

#include "core/WindowManagerUI.h"

#include <cwchar>

#include "core/ControlInterfaces.h"
#include "core/ControlUI.h"
#include "core/ThreadCheck.h"

namespace CalUI {

namespace {

struct ShortcutSearch
{
    WCHAR ch = 0;  // upper case
    bool found = false;
};

WCHAR UpperCase(WCHAR ch)
{
    return static_cast<WCHAR>(
        reinterpret_cast<UINT_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(ch)))));
}

bool ClassContains(CControlUI* control, LPCWSTR part)
{
    LPCWSTR className = control->GetClass();
    return className != nullptr && std::wcsstr(className, part) != nullptr;
}

bool KeepsTabKey(CControlUI* control)
{
    if (control == nullptr || !control->IsVisible() || !control->IsEnabled() || !ClassContains(control, L"RichEdit"))
        return false;
    auto* wantTab = static_cast<IWantTabUI*>(control->GetInterface(kWantTabInterface));
    return wantTab != nullptr && wantTab->IsWantTab();
}

}  // namespace

bool CWindowManagerUI::AddAcceleratorTranslator(ITranslateAccelerator* translator)
{
    // The loop calls every entry without looking, so an empty one never goes in.
    return translator != nullptr && m_acceleratorTranslators.Add(translator);
}

bool CWindowManagerUI::RemoveAcceleratorTranslator(ITranslateAccelerator* translator)
{
    int index = m_acceleratorTranslators.Find(translator);
    return index >= 0 && m_acceleratorTranslators.RemoveAt(index);
}

bool CWindowManagerUI::TranslateLoopMessage(MSG* msg)
{
    CUIPtrArray& managers = Managers();
    if ((GetWindowLongW(msg->hwnd, GWL_STYLE) & WS_CHILD) != 0) {
        HWND parent = GetParent(msg->hwnd);
        for (int i = managers.GetCount() - 1; i >= 0; --i) {
            auto* manager = static_cast<CWindowManagerUI*>(managers[i]);
            for (HWND ancestor = parent; ancestor != nullptr; ancestor = GetParent(ancestor)) {
                if (manager->m_paintWindow != msg->hwnd && manager->m_paintWindow != ancestor)
                    continue;
                if (manager->TranslateAccelerators(msg))
                    return true;
                LRESULT ignored = 0;
                manager->FilterLoopMessage(msg->message, msg->wParam, msg->lParam, ignored);
            }
        }
        return false;
    }
    for (int i = 0; i < managers.GetCount(); ++i) {
        auto* manager = static_cast<CWindowManagerUI*>(managers[i]);
        if (manager->m_paintWindow != msg->hwnd)
            continue;
        LRESULT ignored = 0;
        return manager->TranslateAccelerators(msg) ||
               manager->FilterLoopMessage(msg->message, msg->wParam, msg->lParam, ignored);
    }
    return false;
}

bool CWindowManagerUI::TranslateAccelerators(MSG* msg)
{
    RequireWindowThread(m_paintWindow, "paint manager accelerators");
    for (int i = 0; i < m_acceleratorTranslators.GetCount(); ++i) {
        auto* translator = static_cast<ITranslateAccelerator*>(m_acceleratorTranslators[i]);
        if (translator->TranslateAccelerator(msg) == S_OK)
            return true;
    }
    return false;
}

bool CWindowManagerUI::FilterLoopMessage(UINT message, WPARAM wParam, LPARAM, LRESULT&)
{
    RequireWindowThread(m_paintWindow, "paint manager loop filter");
    switch (message) {
    case WM_KEYDOWN:
        if (wParam != VK_TAB || KeepsTabKey(m_focus))
            return false;
        FocusNextTabStop((GetKeyState(VK_SHIFT) & 0x8000) == 0);
        return true;
    case WM_SYSKEYDOWN:
        if (m_focus != nullptr) {
            UIEvent event = MakeEvent(UIEventType::SysKey, m_focus);
            event.keyChar = static_cast<WCHAR>(wParam);
            m_focus->SendEvent(event);
        }
        return false;
    case WM_SYSCHAR: {
        if (m_root == nullptr)
            return false;
        ShortcutSearch search{UpperCase(static_cast<WCHAR>(wParam)), false};
        CControlUI* control = m_root->FindControl(ShortcutCallback, &search,
                                                  UIFindFlag::Enabled | UIFindFlag::TopFirst | UIFindFlag::SelfFirst);
        if (control == nullptr)
            return false;
        control->SetFocus();
        control->Activate();
        return true;
    }
    default:
        return false;
    }
}

// A label carrying the shortcut hands it on to the next control after it that
// is not a label; any other control carrying it is the answer at once.
CControlUI* CWindowManagerUI::ShortcutCallback(CControlUI* control, void* data)
{
    auto* search = static_cast<ShortcutSearch*>(data);
    if (!control->IsVisible())
        return nullptr;
    if (UpperCase(control->GetShortcut()) == search->ch)
        search->found = true;
    return search->found && !ClassContains(control, L"Label") ? control : nullptr;
}

}  // namespace CalUI
