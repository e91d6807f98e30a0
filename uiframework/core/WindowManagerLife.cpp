// The paint manager's life, the list of managers and the control tree with
// its name index.

#include "core/WindowManagerUI.h"

#include <initializer_list>
#include <vector>

#include "core/ControlUI.h"
#include "core/StringMapValues.h"

namespace CalUI {

CUIPtrArray& CWindowManagerUI::Managers()
{
    static CUIPtrArray managers;
    return managers;
}

CWindowManagerUI::CWindowManagerUI()
{
    LoadPaintLibrariesOnce();
    if (Shared().defaultFont.faceName.IsEmpty())
        FillSharedDefaults();
    const SharedUIResources& shared = Shared();
    m_resources.disabledTextColor = shared.disabledTextColor;
    m_resources.defaultTextColor = shared.defaultTextColor;
    m_resources.linkColor = shared.linkColor;
    m_resources.linkHoverColor = shared.linkHoverColor;
    m_resources.selectedBkColor = shared.selectedBkColor;
}

CWindowManagerUI::~CWindowManagerUI()
{
    DeleteDelayedCleanups();
    FreeQueuedNotifications();
    m_nameIndex.RemoveAll();
    if (m_root != nullptr) {
        CControlUI* root = m_root;
        m_root = nullptr;
        root->Delete();
    }
    // Anything the tree's deletion handed over goes now, while the manager it
    // reports to is whole, not later among the members' destructors.
    DeleteDelayedCleanups();
    if (m_resources.defaultFont.font != nullptr)
        DeleteObject(m_resources.defaultFont.font);
    FreeOwnResources();
    DestroyToolTip();
    if (m_paintDC != nullptr)
        ReleaseDC(m_paintWindow, m_paintDC);
    int index = Managers().Find(this);
    if (index >= 0)
        Managers().RemoveAt(index);
}

void CWindowManagerUI::Init(HWND window, LPCWSTR name)
{
    m_nameIndex.Resize(CUIStringMap::kDefaultBucketCount);
    FreeOwnResources();
    m_name = name != nullptr ? name : L"";
    if (window == m_paintWindow)
        return;
    if (m_paintDC != nullptr)
        ReleaseDC(m_paintWindow, m_paintDC);
    m_paintWindow = window;
    m_paintDC = GetDC(window);
    if (Managers().Find(this) < 0)
        Managers().Add(this);
}

// The window's own fonts, images, attribute lists, custom attributes, option
// groups and timers: what Init and the destructor drop.
void CWindowManagerUI::FreeOwnResources()
{
    RemoveAllFonts(false);
    RemoveAllImages(false);
    RemoveAllDefaultAttributeLists(false);
    RemoveAllWindowCustomAttributes();
    RemoveAllOptionGroups();
    RemoveAllTimers();
}

HWND CWindowManagerUI::GetPaintWindow() const { return m_paintWindow; }
HDC CWindowManagerUI::GetPaintDC() const { return m_paintDC; }
CControlUI* CWindowManagerUI::GetRoot() const { return m_root; }
POINT CWindowManagerUI::GetMousePos() const { return m_lastMousePos; }

bool CWindowManagerUI::AttachRoot(CControlUI* root)
{
    SetFocus(nullptr, true);
    m_key = m_hover = m_click = m_lastToolTipControl = nullptr;
    if (m_root != nullptr) {
        DeleteDelayedCleanups();
        FreeQueuedNotifications();
        m_nameIndex.RemoveAll();
        m_postPaintControls.Empty();
        m_nativeWindows.Empty();
        m_nativeWindowControls.Empty();
        AddDelayedCleanup(m_root);
    }
    m_root = root;
    m_updateNeeded = m_firstLayout = m_focusNeeded = true;
    // A layered window repaints only what its controls mark: a new tree
    // marks nothing until it is laid out, so the whole window is marked here.
    if (m_paintWindow != nullptr)
        InvalidateAll();
    return InitControls(root);
}

bool CWindowManagerUI::InitControls(CControlUI* control, CControlUI* parent)
{
    if (control == nullptr)
        return false;
    control->SetManager(this, parent != nullptr ? parent : control->GetParent(), true);
    control->FindControl(RegisterNameCallback, this, UIFindFlag::All);
    return true;
}

CControlUI* CWindowManagerUI::RegisterNameCallback(CControlUI* control, void* data)
{
    auto* manager = static_cast<CWindowManagerUI*>(data);
    CUIString name = control->GetName();
    if (!name.IsEmpty())
        manager->m_nameIndex.Set(name, control);
    return nullptr;
}

// A control renames itself by storing the new name first and then calling
// here, so the index, not the control, tells under which name it was found.
bool CWindowManagerUI::RenameControl(CControlUI* control, LPCWSTR newName)
{
    if (control == nullptr || control->GetManager() != this || newName == nullptr || newName[0] == L'\0')
        return false;
    void* indexed = m_nameIndex.Find(newName, false);
    if (indexed == control)
        return true;
    if (indexed != nullptr)
        return false;
    CUIString oldKey;
    FindMapValue<CControlUI>(m_nameIndex, [&](LPCWSTR key, CControlUI* value) {
        if (value != control)
            return false;
        oldKey = key;
        return true;
    });
    if (!oldKey.IsEmpty())
        m_nameIndex.Remove(oldKey);
    if (!m_nameIndex.Insert(newName, control))
        return false;
    if (control->GetName() != newName)
        control->SetName(newName);
    return true;
}

void CWindowManagerUI::RemoveFromNameIndex(CControlUI* control)
{
    const CUIString name = control->GetName();
    if (!name.IsEmpty() && m_nameIndex.Find(name, false) == control)
        m_nameIndex.Remove(name);
}

void CWindowManagerUI::ForgetControl(CControlUI* control)
{
    for (CControlUI** slot : {&m_key, &m_hover, &m_click, &m_focus, &m_lastToolTipControl}) {
        if (*slot == control)
            *slot = nullptr;
    }
    KillTimers(control);
    RemoveFromNameIndex(control);
    for (const auto& msg : m_queuedNotifications) {
        if (msg->sender == control)
            msg->sender = nullptr;
    }
    // The post-paint list takes a control more than once, and a control may
    // host several native windows, so every entry goes.
    while (RemovePostPaint(control)) {
    }
    for (int i = m_nativeWindowControls.GetCount() - 1; i >= 0; --i) {
        if (m_nativeWindowControls[i] == control) {
            m_nativeWindows.RemoveAt(i);
            m_nativeWindowControls.RemoveAt(i);
        }
    }
    // Groups are collected first: removing the last member deletes the group
    // and its map entry, which would shift the walk under our feet.
    std::vector<CUIString> groups;
    FindMapValue<CUIPtrArray>(m_optionGroups, [&](LPCWSTR key, CUIPtrArray* group) {
        if (group->Find(control) >= 0)
            groups.emplace_back(key);
        return false;
    });
    for (const CUIString& group : groups)
        RemoveOptionGroup(group, control);
}

CControlUI* CWindowManagerUI::FindControl(LPCWSTR name)
{
    return static_cast<CControlUI*>(m_nameIndex.Find(name, true));
}

CControlUI* CWindowManagerUI::HitTestCallback(CControlUI* control, void*) { return control; }

CControlUI* CWindowManagerUI::FindControlAt(POINT pt) const
{
    if (m_root == nullptr)
        return nullptr;
    return m_root->FindControl(HitTestCallback, &pt, UIFindFlag::Visible | UIFindFlag::HitTest | UIFindFlag::TopFirst);
}

CUIPtrArray* CWindowManagerUI::GetFoundControls() { return &m_foundControls; }

void CWindowManagerUI::SetUpdateNeeded() { m_updateNeeded = true; }

}  // namespace CalUI
