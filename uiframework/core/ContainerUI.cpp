// The container's children, settings, layout, hit testing, events and
// painting. Scrolling lives in ContainerScroll.cpp.

#include "core/ContainerUI.h"

#include <algorithm>
#include <cwchar>

#include "core/AttributeValues.h"
#include "core/ClipGuard.h"
#include "core/ControlInterfaces.h"
#include "core/ScrollBarUI.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

bool Meets(const RECT& a, const RECT& b)
{
    RECT common;
    return ::IntersectRect(&common, &a, &b) != FALSE;
}

// Raised to the minimum first, so a maximum below the minimum wins.
int Limit(int value, int minimum, int maximum) { return std::min(std::max(value, minimum), maximum); }

}  // namespace

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI()
{
    if (m_manager != nullptr)
        m_manager->RemovePostPaint(this);
    m_delayedDestroy = false;
    // Nothing left to lay out or repaint: a container going with a long
    // list's rows asks the window for nothing.
    DestroyAllChildren();
    DeleteScrollBar(m_verticalScrollBar);
    DeleteScrollBar(m_horizontalScrollBar);
}

LPCWSTR CContainerUI::GetClass() const { return L"Container"; }

void* CContainerUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, kContainerInterface) == 0)
        return static_cast<IContainerUI*>(this);
    if (std::wcscmp(name, L"Container") == 0)
        return this;
    return CControlUI::GetInterface(name);
}

// ---- Items ----------------------------------------------------------------------

CControlUI* CContainerUI::ChildAt(int index) const { return static_cast<CControlUI*>(m_items.GetAt(index)); }

CControlUI* CContainerUI::GetItemAt(int index) const
{
    if (index < 0 || index >= m_items.GetCount())
        return nullptr;
    return ChildAt(index);
}

int CContainerUI::GetItemIndex(CControlUI* control) const { return m_items.Find(control); }

bool CContainerUI::SetItemIndex(CControlUI* control, int newIndex)
{
    const int index = m_items.Find(control);
    // Checked before the child leaves its place: a failed insertion would
    // drop it from the tree while the container still owned it.
    if (index < 0 || newIndex < 0 || newIndex >= m_items.GetCount())
        return false;
    RequestUpdate();
    m_items.RemoveAt(index);
    return m_items.InsertAt(newIndex, control);
}

bool CContainerUI::MoveItems(CControlUI* first, int count, int newIndex)
{
    if (first == nullptr || count < 0 || newIndex < 0)
        return false;
    const int index = m_items.Find(first);
    if (index < 0)
        return false;
    if (index == newIndex)
        return true;
    if (index + count > m_items.GetCount() || newIndex + count > m_items.GetCount())
        return false;
    CUIPtrArray run(count);
    for (int i = 0; i < count; ++i)
        run.Add(m_items[index + i]);
    m_items.RemoveAt(index, count);
    for (int i = 0; i < count; ++i) {
        if (!m_items.InsertAt(newIndex + i, run[i]))
            return false;
    }
    RequestUpdate();
    return true;
}

int CContainerUI::GetCount() const { return m_items.GetCount(); }

bool CContainerUI::Add(CControlUI* control) { return AddAt(control, m_items.GetCount()); }

bool CContainerUI::AddAt(CControlUI* control, int index)
{
    if (control == nullptr)
        return false;
    if (m_manager != nullptr)
        m_manager->InitControls(control, this);
    if (IsVisible())
        RequestUpdate();
    else
        control->SetInternVisible(false);
    return m_items.InsertAt(index, control);
}

bool CContainerUI::Remove(CControlUI* control, bool keep)
{
    if (control == nullptr)
        return false;
    const int index = m_items.Find(control);
    if (index < 0)
        return false;
    return DetachItem(index, keep);
}

bool CContainerUI::RemoveAt(int index, bool keep)
{
    if (GetItemAt(index) == nullptr)
        return false;
    return DetachItem(index, keep);
}

bool CContainerUI::DetachItem(int index, bool keep)
{
    CControlUI* child = ChildAt(index);
    RequestUpdate();
    // Out of the list first: a child's destructor must not find itself here.
    const bool removed = m_items.RemoveAt(index);
    if (!keep && m_autoDestroy)
        DestroyChild(child);
    return removed;
}

void CContainerUI::DestroyChild(CControlUI* child)
{
    if (m_delayedDestroy && m_manager != nullptr)
        m_manager->AddDelayedCleanup(child);
    else
        child->Delete();
}

void CContainerUI::DestroyAllChildren()
{
    for (int i = 0; m_autoDestroy && i < m_items.GetCount(); ++i)
        DestroyChild(ChildAt(i));
    m_items.Empty();
}

void CContainerUI::RemoveAll()
{
    DestroyAllChildren();
    RequestUpdate();
}

// ---- Settings -------------------------------------------------------------------

RECT CContainerUI::GetInset() const { return m_inset; }

void CContainerUI::SetInset(RECT inset)
{
    m_inset = inset;
    RequestUpdate();
}

int CContainerUI::GetChildPadding() const { return m_childPadding; }

void CContainerUI::SetChildPadding(int padding)
{
    m_childPadding = std::max(padding, 0);
    RequestUpdate();
}

UIChildAlign CContainerUI::GetChildAlign() const { return m_childAlign; }

void CContainerUI::SetChildAlign(UIChildAlign align)
{
    m_childAlign = align;
    RequestUpdate();
}

UIChildVAlign CContainerUI::GetChildVAlign() const { return m_childVAlign; }

void CContainerUI::SetChildVAlign(UIChildVAlign align)
{
    m_childVAlign = align;
    RequestUpdate();
}

bool CContainerUI::IsAutoDestroy() const { return m_autoDestroy; }
void CContainerUI::SetAutoDestroy(bool autoDestroy) { m_autoDestroy = autoDestroy; }
bool CContainerUI::IsDelayedDestroy() const { return m_delayedDestroy; }
void CContainerUI::SetDelayedDestroy(bool delayed) { m_delayedDestroy = delayed; }
bool CContainerUI::IsMouseChildEnabled() const { return m_mouseChildEnabled; }
void CContainerUI::SetMouseChildEnabled(bool enable) { m_mouseChildEnabled = enable; }

// Through GetCount and GetItemAt, so a control whose rows live in an inner
// container (the list in its body) finds them there.
int CContainerUI::FindSelectable(int index, bool forward) const
{
    const int count = GetCount();
    if (count == 0)
        return -1;
    index = Limit(index, 0, count - 1);
    auto selectable = [this](int i) {
        CControlUI* child = GetItemAt(i);
        return child != nullptr && child->GetInterface(kListItemInterface) != nullptr && child->IsVisible() &&
               child->IsEnabled();
    };
    if (forward) {
        for (int i = index; i < count; ++i) {
            if (selectable(i))
                return i;
        }
        return -1;
    }
    for (int i = index; i >= 0; --i) {
        if (selectable(i))
            return i;
    }
    return FindSelectable(0, true);
}

// ---- Tree overrides -------------------------------------------------------------

void CContainerUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init)
{
    for (int i = 0; i < m_items.GetCount(); ++i)
        ChildAt(i)->SetManager(manager, this, init);
    if (m_verticalScrollBar != nullptr)
        m_verticalScrollBar->SetManager(manager, this, init);
    if (m_horizontalScrollBar != nullptr)
        m_horizontalScrollBar->SetManager(manager, this, init);
    CControlUI::SetManager(manager, parent, init);
}

RECT CContainerUI::GetInsetPos() const
{
    RECT rc = m_pos;
    rc.left += m_inset.left;
    rc.top += m_inset.top;
    rc.right -= m_inset.right;
    rc.bottom -= m_inset.bottom;
    return rc;
}

RECT CContainerUI::GetClientPos() const
{
    RECT rc = GetInsetPos();
    if (IsBarShown(m_verticalScrollBar))
        rc.right -= m_verticalScrollBar->GetFixedWidth();
    if (IsBarShown(m_horizontalScrollBar))
        rc.bottom -= m_horizontalScrollBar->GetFixedHeight();
    return rc;
}

void CContainerUI::SetVisible(bool show)
{
    if (m_visible == show)
        return;
    CControlUI::SetVisible(show);
    for (int i = 0; i < m_items.GetCount(); ++i)
        ChildAt(i)->SetInternVisible(IsVisible());
}

void CContainerUI::SetInternVisible(bool show)
{
    CControlUI::SetInternVisible(show);
    for (int i = 0; i < m_items.GetCount(); ++i)
        ChildAt(i)->SetInternVisible(IsVisible());
}

void CContainerUI::SetMouseEnabled(bool enable)
{
    if (m_verticalScrollBar != nullptr)
        m_verticalScrollBar->SetMouseEnabled(enable);
    if (m_horizontalScrollBar != nullptr)
        m_horizontalScrollBar->SetMouseEnabled(enable);
    CControlUI::SetMouseEnabled(enable);
}

void CContainerUI::Move(SIZE offset, bool invalidate)
{
    CControlUI::Move(offset, invalidate);
    if (IsBarShown(m_verticalScrollBar))
        m_verticalScrollBar->Move(offset, false);
    if (IsBarShown(m_horizontalScrollBar))
        m_horizontalScrollBar->Move(offset, false);
    for (int i = 0; i < m_items.GetCount(); ++i) {
        CControlUI* child = ChildAt(i);
        if (child->IsVisible())
            child->Move(offset, false);
    }
}

// ---- Layout ---------------------------------------------------------------------

void CContainerUI::ResetBarsForNewSize(const RECT& rc)
{
    if (rc.right - rc.left != GetWidth() && IsBarShown(m_horizontalScrollBar))
        m_horizontalScrollBar->SetScrollRange(0);
    if (rc.bottom - rc.top != GetHeight() && IsBarShown(m_verticalScrollBar))
        m_verticalScrollBar->SetScrollRange(0);
}

void CContainerUI::SetPos(RECT rc, bool invalidate)
{
    if (KeepsLayout(rc, invalidate))
        return;
    ResetBarsForNewSize(rc);
    CControlUI::SetPos(rc, invalidate);
    if (m_items.IsEmpty())
        return;

    RECT layout = GetInsetPos();
    if (IsBarShown(m_verticalScrollBar)) {
        layout.top -= m_verticalScrollBar->GetScrollPos();
        layout.bottom -= m_verticalScrollBar->GetScrollPos();
        layout.bottom += m_verticalScrollBar->GetScrollRange();
        layout.right -= m_verticalScrollBar->GetFixedWidth();
    }
    if (IsBarShown(m_horizontalScrollBar)) {
        layout.left -= m_horizontalScrollBar->GetScrollPos();
        layout.right -= m_horizontalScrollBar->GetScrollPos();
        layout.right += m_horizontalScrollBar->GetScrollRange();
        layout.bottom -= m_horizontalScrollBar->GetFixedHeight();
    }

    for (int i = 0; i < m_items.GetCount(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible())
            continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        const int width = Limit(layout.right - layout.left, child->GetMinWidth(), child->GetMaxWidth());
        const int height = Limit(layout.bottom - layout.top, child->GetMinHeight(), child->GetMaxHeight());
        child->SetPos(RECT{layout.left, layout.top, layout.left + width, layout.top + height}, false);
    }
    KeepLayoutUnchanged();
}

void CContainerUI::SetFloatPos(int index)
{
    CControlUI* child = GetItemAt(index);
    if (child == nullptr || !child->IsVisible() || !child->IsFloat())
        return;
    const int width = GetWidth();
    const int height = GetHeight();
    const SIZE xy = child->GetFixedXY();
    const FloatPercent percent = child->GetFloatPercent();
    RECT rc;
    rc.left = static_cast<int>(width * percent.left) + xy.cx;
    rc.top = static_cast<int>(height * percent.top) + xy.cy;
    rc.right = static_cast<int>(width * percent.right) + xy.cx + child->GetFixedWidth();
    rc.bottom = static_cast<int>(height * percent.bottom) + xy.cy + child->GetFixedHeight();
    child->SetPos(rc, false);
}

void CContainerUI::Relayout(bool invalidate)
{
    // The bars changed the room the children have.
    m_layoutChanged = true;
    SetPos(IsFloat() ? GetRelativePos() : GetPos(), invalidate);
}

bool CContainerUI::KeepsLayout(const RECT& rc, bool invalidate)
{
    if (m_layoutChanged || m_needsUpdate || m_manager == nullptr || m_float || !::EqualRect(&rc, &m_pos))
        return false;
    CControlUI::SetPos(rc, invalidate);
    KeepLayoutUnchanged();
    return true;
}

// ---- Hit testing ----------------------------------------------------------------

CControlUI* CContainerUI::FindControl(FindControlProc proc, void* data, UIFindFlag flags)
{
    if (HasAny(flags, UIFindFlag::Visible) && !IsVisible())
        return nullptr;
    if (HasAny(flags, UIFindFlag::Enabled) && !IsEnabled())
        return nullptr;
    const bool hitTest = HasAny(flags, UIFindFlag::HitTest);
    if (hitTest && !::PtInRect(&m_pos, *static_cast<const POINT*>(data)))
        return nullptr;
    if (HasAny(flags, UIFindFlag::UpdateTest) && proc(this, data) != nullptr)
        return nullptr;

    const bool offerSelf = !hitTest || IsMouseEnabled();
    const bool offerChildren = !hitTest || m_mouseChildEnabled;
    CControlUI* result = nullptr;
    if (HasAny(flags, UIFindFlag::SelfFirst) && offerSelf)
        result = proc(this, data);
    if (result == nullptr && m_cover != nullptr && offerChildren)
        result = m_cover->FindControl(proc, data, flags);
    if (result == nullptr && m_verticalScrollBar != nullptr && offerSelf)
        result = m_verticalScrollBar->FindControl(proc, data, flags);
    if (result == nullptr && m_horizontalScrollBar != nullptr && offerSelf)
        result = m_horizontalScrollBar->FindControl(proc, data, flags);
    if (result != nullptr)
        return result;

    if (offerChildren) {
        const RECT client = GetClientPos();
        const int count = m_items.GetCount();
        const bool topFirst = HasAny(flags, UIFindFlag::TopFirst);
        for (int n = 0; n < count; ++n) {
            CControlUI* found = ChildAt(topFirst ? count - 1 - n : n)->FindControl(proc, data, flags);
            if (found == nullptr)
                continue;
            if (!hitTest || found->IsFloat() || ::PtInRect(&client, *static_cast<const POINT*>(data)))
                return found;
        }
    }
    if (!HasAny(flags, UIFindFlag::SelfFirst) && offerSelf)
        return proc(this, data);
    return nullptr;
}

// ---- Events ---------------------------------------------------------------------

void CContainerUI::OnEvent(UIEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (m_parent != nullptr)
            m_parent->OnEvent(event);
        else
            CControlUI::OnEvent(event);
        return;
    }
    switch (event.type) {
    case UIEventType::SetFocus:
        m_focused = true;
        return;
    case UIEventType::KillFocus:
        m_focused = false;
        return;
    case UIEventType::KeyDown:
        if (IsKeyboardEnabled() && IsEnabled() && HandleScrollKey(static_cast<UINT>(event.wParam)))
            return;
        break;
    case UIEventType::ScrollWheel:
        if (HandleWheel(event))
            return;
        break;
    default:
        break;
    }
    CControlUI::OnEvent(event);
}

bool CContainerUI::HandleScrollKey(UINT key)
{
    if (IsBarActive(m_verticalScrollBar)) {
        switch (key) {
        case VK_PRIOR:
            PageUp();
            return true;
        case VK_NEXT:
            PageDown();
            return true;
        case VK_END:
            ScrollToBottom();
            return true;
        case VK_HOME:
            ScrollToTop();
            return true;
        case VK_UP:
            LineUp();
            return true;
        case VK_DOWN:
            LineDown();
            return true;
        default:
            return false;
        }
    }
    // A vertical bar that is hidden or disabled leaves the keys to the horizontal one.
    if (IsBarActive(m_horizontalScrollBar)) {
        switch (key) {
        case VK_PRIOR:
            PageLeft();
            return true;
        case VK_NEXT:
            PageRight();
            return true;
        case VK_END:
            ScrollToRight();
            return true;
        case VK_HOME:
            ScrollToLeft();
            return true;
        case VK_UP:
            LineLeft();
            return true;
        case VK_DOWN:
            LineRight();
            return true;
        default:
            return false;
        }
    }
    return false;
}

bool CContainerUI::HandleWheel(const UIEvent& event)
{
    const bool towardsUser = event.wParam == 1;
    const bool overHorizontalBar =
        IsBarActive(m_horizontalScrollBar) && ::PtInRect(&m_horizontalScrollBar->GetPos(), event.mousePoint);
    if (!overHorizontalBar && IsBarActive(m_verticalScrollBar)) {
        towardsUser ? LineDown() : LineUp();
        return true;
    }
    if (IsBarActive(m_horizontalScrollBar)) {
        towardsUser ? LineRight() : LineLeft();
        return true;
    }
    return false;
}

// ---- Attributes -----------------------------------------------------------------

void CContainerUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    const CUIString n(name);
    const CUIString v(value);
    if (n == L"inset") {
        SetInset(ParseRectValue(value));
    } else if (n == L"mousechild") {
        SetMouseChildEnabled(IsTrueValue(value));
    } else if (n == L"vscrollbar") {
        EnableScrollBar(IsTrueValue(value), m_horizontalScrollBar != nullptr);
    } else if (n == L"vscrollbarstyle") {
        if (m_verticalScrollBar != nullptr)
            m_verticalScrollBar->SetAttributeList(value);
    } else if (n == L"hscrollbar") {
        EnableScrollBar(m_verticalScrollBar != nullptr, IsTrueValue(value));
    } else if (n == L"hscrollbarstyle") {
        if (m_horizontalScrollBar != nullptr)
            m_horizontalScrollBar->SetAttributeList(value);
    } else if (n == L"childpadding") {
        SetChildPadding(_wtoi(value));
    } else if (n == L"childalign") {
        if (v == L"left")
            m_childAlign = UIChildAlign::Left;
        else if (v == L"center")
            m_childAlign = UIChildAlign::Center;
        else if (v == L"right")
            m_childAlign = UIChildAlign::Right;
    } else if (n == L"childvalign") {
        if (v == L"top")
            m_childVAlign = UIChildVAlign::Top;
        else if (v == L"vcenter")
            m_childVAlign = UIChildVAlign::Center;
        else if (v == L"bottom")
            m_childVAlign = UIChildVAlign::Bottom;
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

// ---- Painting -------------------------------------------------------------------

bool CContainerUI::OnPaint(HDC hdc, const RECT& paint, CControlUI* stopControl)
{
    RECT area;
    if (!::IntersectRect(&area, &paint, &m_pos))
        return true;
    CClipGuard clip;
    CClipGuard::ClipRect(hdc, area, clip);
    CControlUI::OnPaint(hdc, paint, stopControl);
    if (!PaintChildren(hdc, paint, stopControl))
        return false;
    for (CScrollBarUI* bar : {m_verticalScrollBar, m_horizontalScrollBar}) {
        if (bar == nullptr)
            continue;
        if (bar == stopControl)
            return false;
        if (bar->IsVisible() && Meets(paint, bar->GetPos()) && !bar->Paint(hdc, paint, stopControl))
            return false;
    }
    return true;
}

// Non-float children show only inside the client area; float children
// anywhere over the container, under the container's own clip.
bool CContainerUI::PaintChildren(HDC hdc, const RECT& paint, CControlUI* stopControl)
{
    if (m_items.IsEmpty())
        return true;
    const RECT client = GetClientPos();
    RECT clientPaint;
    if (!::IntersectRect(&clientPaint, &client, &paint))
        return PaintFloatChildren(hdc, paint, stopControl);

    CClipGuard clip;
    CClipGuard::ClipRect(hdc, clientPaint, clip);
    for (int i = 0; i < m_items.GetCount(); ++i) {
        CControlUI* child = ChildAt(i);
        if (child == stopControl)
            return false;
        if (!child->IsVisible() || !Meets(paint, child->GetPos()))
            continue;
        if (child->IsFloat()) {
            if (!Meets(child->GetPos(), m_pos))
                continue;
            CClipGuard::SelectOuterClip(hdc, clip);
            const bool goOn = child->Paint(hdc, paint, stopControl);
            CClipGuard::SelectInnerClip(hdc, clip);
            if (!goOn)
                return false;
        } else if (Meets(child->GetPos(), client) && !child->Paint(hdc, paint, stopControl)) {
            return false;
        }
    }
    return true;
}

bool CContainerUI::PaintFloatChildren(HDC hdc, const RECT& paint, CControlUI* stopControl)
{
    for (int i = 0; i < m_items.GetCount(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsFloat())
            continue;
        if (child == stopControl)
            return false;
        if (child->IsVisible() && Meets(paint, child->GetPos()) && Meets(child->GetPos(), m_pos) &&
            !child->Paint(hdc, paint, stopControl))
            return false;
    }
    return true;
}

void CContainerUI::PostPaint(HDC hdc)
{
    if (m_scrollToBottomPending) {
        SetScrollPos(SIZE{GetScrollPos().cx, GetScrollRange().cy}, true);
        m_scrollToBottomPending = false;
        if (m_manager != nullptr)
            m_manager->RemovePostPaint(this);
    }
    CControlUI::PostPaint(hdc);
}

}  // namespace CalUI
