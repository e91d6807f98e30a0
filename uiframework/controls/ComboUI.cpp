#include "controls/ComboUI.h"

#include <algorithm>
#include <cwchar>

#include "controls/ListUI.h"
#include "core/ScrollBarUI.h"
#include "controls/TextFormatValues.h"
#include "core/AttributeValues.h"
#include "core/SkinPainter.h"

namespace CalUI {

namespace {

constexpr int kSingleLineAir = 8;
constexpr DWORD kOpaque = 0xFF000000;

bool IsNamed(LPCWSTR name, LPCWSTR candidate) { return std::wcscmp(name, candidate) == 0; }

}  // namespace

// ---- Drop body ------------------------------------------------------------------------------

CComboBodyUI::CComboBodyUI(CComboUI* owner) : m_owner(owner) {}

bool CComboBodyUI::OnPaint(HDC hdc, const RECT& paint, CControlUI* stopControl)
{
    return PaintListRows(*this, m_owner != nullptr ? m_owner->GetItemStyle() : nullptr, hdc, paint, stopControl);
}

// ---- Popup window ---------------------------------------------------------------------------

LPCWSTR CComboWnd::GetWindowClassName() const { return L"ComboWnd"; }

bool CComboWnd::Init(CComboUI* owner)
{
    m_owner = owner;
    m_body = nullptr;
    m_oldSelection = owner->GetSelectedIndex();
    m_scrollBarPressed = false;

    const SIZE box = owner->GetDropBoxSize();
    const RECT combo = owner->GetPos();
    RECT popup = {combo.left, combo.bottom, combo.right, combo.bottom + box.cy};
    if (box.cx > 0)
        popup.right = combo.left + box.cx;

    const RECT border = owner->GetDropBorderSize();
    int needed = border.top + border.bottom;
    const SIZE available = {popup.right - popup.left, box.cy};
    for (int i = 0; i < owner->GetCount(); ++i) {
        CControlUI* row = owner->GetItemAt(i);
        if (row->IsVisible())
            needed += row->EstimateSize(available).cy;
    }
    const int height = std::min(needed, static_cast<int>(box.cy));
    popup.bottom = popup.top + height;

    HWND ownerWindow = owner->GetManager()->GetPaintWindow();
    ::MapWindowPoints(ownerWindow, HWND_DESKTOP, reinterpret_cast<POINT*>(&popup), 2);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(ownerWindow, MONITOR_DEFAULTTOPRIMARY), &monitor);
    if (popup.bottom > monitor.rcWork.bottom) {
        popup = {combo.left, combo.top - height, combo.right, combo.top};
        if (box.cx > 0)
            popup.right = combo.left + box.cx;
        ::MapWindowPoints(ownerWindow, HWND_DESKTOP, reinterpret_cast<POINT*>(&popup), 2);
    }

    m_creating = true;
    HWND window = Create(ownerWindow, nullptr, WS_POPUP, WS_EX_TOOLWINDOW, popup);
    m_creating = false;
    if (window == nullptr)
        return false;
    ::ShowWindow(window, SW_SHOW);
    return true;
}

void CComboWnd::CreateBody()
{
    CWindowManagerUI* comboManager = m_owner->GetManager();
    m_body = new CComboBodyUI(m_owner);
    m_body->SetManager(&m_manager, nullptr, true);
    if (LPCWSTR list = comboManager->GetDefaultAttributeList(L"VerticalLayout"))
        m_body->SetAttributeList(list);
    m_body->SetBkColor(m_owner->GetDropBkColor());
    m_body->SetBorderColor(m_owner->GetDropBorderColor());
    m_body->SetBorderSizes(m_owner->GetDropBorderSize());
    m_body->SetInset(m_owner->GetDropBorderSize());
    m_body->SetAutoDestroy(false);  // the rows stay the combo's
    m_body->EnableScrollBar(true, false);
    m_body->SetAttributeList(m_owner->GetDropBoxAttributeList());
    for (int i = 0; i < m_owner->GetCount(); ++i)
        m_body->Add(m_owner->GetItemAt(i));
    m_manager.AttachRoot(m_body);
    m_manager.AddNotifyReceiver(this);

    // Without "vscrollbar" in the combo's skin the popup has no bar.
    for (LPCWSTR name : {L"vscrollbar", L"hscrollbar", L"vscrollbarstyle", L"hscrollbarstyle"})
        m_body->SetAttribute(name, m_owner->GetScrollBarAttribute(name));
    if (CScrollBarUI* bar = m_body->GetVerticalScrollBar()) {
        if (LPCWSTR list = comboManager->GetDefaultAttributeList(L"VScrollBar"))
            bar->SetAttributeList(list);
    }
    if (CScrollBarUI* bar = m_body->GetHorizontalScrollBar()) {
        if (LPCWSTR list = comboManager->GetDefaultAttributeList(L"HScrollBar"))
            bar->SetAttributeList(list);
    }
}

void CComboWnd::ReturnRows()
{
    if (m_rowsReturned || m_owner == nullptr)
        return;
    m_rowsReturned = true;
    if (m_body != nullptr)
        m_body->RemoveAll();
    m_owner->SetManager(m_owner->GetManager(), m_owner->GetParent(), false);
    m_owner->EmptyRowRects();
}

void CComboWnd::CloseNow()
{
    ReturnRows();
    if (m_hWnd != nullptr)
        ::DestroyWindow(m_hWnd);
}

void CComboWnd::OnFinalMessage(HWND)
{
    ReturnRows();
    m_owner->DropWindowGone();
    if (!m_creating)
        delete this;
}

void CComboWnd::EnsureVisible(int index)
{
    if (m_owner->GetSelectedIndex() < 0 || m_body == nullptr)
        return;
    CControlUI* row = m_body->GetItemAt(index);
    if (row == nullptr)
        return;
    const RECT r = row->GetPos();
    RECT b = m_body->GetPos();
    b.top += m_body->GetInset().top;
    b.bottom -= m_body->GetInset().bottom;
    CScrollBarUI* horizontal = m_body->GetHorizontalScrollBar();
    if (horizontal != nullptr && horizontal->IsVisible())
        b.bottom -= horizontal->GetFixedHeight();
    if (r.top >= b.top && r.bottom < b.bottom)
        return;
    int dy = 0;
    if (r.top < b.top)
        dy = r.top - b.top;
    if (r.bottom > b.bottom)
        dy = r.bottom - b.bottom;
    Scroll(0, dy);
}

void CComboWnd::Scroll(int dx, int dy)
{
    if ((dx == 0 && dy == 0) || m_body == nullptr)
        return;
    const SIZE pos = m_body->GetScrollPos();
    m_body->SetScrollPos({pos.cx + dx, pos.cy + dy}, true);
}

bool CComboWnd::IsScrollBarAt(POINT point)
{
    CControlUI* control = m_manager.FindControlAt(point);
    return control != nullptr && std::wcscmp(control->GetClass(), L"ScrollBar") == 0;
}

void CComboWnd::Notify(NotifyMsg& msg)
{
    if (msg.type == L"windowinit") {
        EnsureVisible(m_owner->GetSelectedIndex());
        return;
    }
    if (msg.type == L"itemclick" || msg.type == L"itemactivate" || msg.type == L"link" || msg.type == L"click") {
        if (CWindowManagerUI* comboManager = m_owner->GetManager())
            comboManager->SendNotify(msg.sender, msg.type, msg.wParam, msg.lParam, true, true);
    }
}

LRESULT CComboWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    switch (message) {
    case WM_CREATE:
        m_manager.SetResourcesShared(true);
        m_manager.Init(m_hWnd);
        if (m_owner->GetManager()->IsLayered())
            m_manager.SetLayered(true);
        CreateBody();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (IsScrollBarAt(point))
            m_scrollBarPressed = true;
        break;
    case WM_LBUTTONUP:
        if (m_scrollBarPressed) {
            m_scrollBarPressed = false;
        } else if (CControlUI* control = m_manager.FindControlAt(point)) {
            if (std::wcscmp(control->GetClass(), L"ScrollBar") != 0)
                PostMessage(WM_KILLFOCUS);
        }
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            PostMessage(WM_KILLFOCUS);
            break;
        }
        if (wParam == VK_ESCAPE) {
            m_owner->SelectItem(m_oldSelection, true, true);
            EnsureVisible(m_oldSelection);
            PostMessage(WM_KILLFOCUS);
            break;
        }
        {
            UIEvent event;
            event.type = UIEventType::KeyDown;
            event.keyChar = static_cast<WCHAR>(wParam);
            event.timestamp = ::GetTickCount();
            m_owner->OnEvent(event);
            EnsureVisible(m_owner->GetSelectedIndex());
        }
        return 0;
    case WM_MOUSEWHEEL: {
        UIEvent event;
        event.type = UIEventType::ScrollWheel;
        event.wParam = GET_WHEEL_DELTA_WPARAM(wParam) < 0 ? 1 : 0;
        event.lParam = lParam;
        event.timestamp = ::GetTickCount();
        m_owner->OnEvent(event);
        if (m_owner->IsMouseWheelEnabled())
            EnsureVisible(m_owner->GetSelectedIndex());
        else if (m_body != nullptr)
            m_body->OnEvent(event);
        return 0;
    }
    case WM_KILLFOCUS:
        if (m_hWnd != reinterpret_cast<HWND>(wParam) && !::IsChild(m_hWnd, ::GetFocus())) {
            PostMessage(WM_CLOSE);
            return 0;
        }
        break;
    case WM_CLOSE:
        ReturnRows();
        m_owner->SetFocus();
        break;
    case WM_DESTROY:
        // Also when the combo's window goes first and takes this popup along.
        ReturnRows();
        break;
    default:
        break;
    }
    LRESULT result = 0;
    if (m_manager.HandleWindowMessage(message, wParam, lParam, result))
        return result;
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

// ---- Combo: rows ----------------------------------------------------------------------------

CControlUI* CComboUI::OwnRows::GetItemAt(int index) const { return m_combo.CContainerUI::GetItemAt(index); }
int CComboUI::OwnRows::GetItemIndex(CControlUI* c) const { return m_combo.CContainerUI::GetItemIndex(c); }
bool CComboUI::OwnRows::SetItemIndex(CControlUI* c, int i) { return m_combo.CContainerUI::SetItemIndex(c, i); }
bool CComboUI::OwnRows::MoveItems(CControlUI* c, int n, int i) { return m_combo.CContainerUI::MoveItems(c, n, i); }
int CComboUI::OwnRows::GetCount() const { return m_combo.CContainerUI::GetCount(); }
bool CComboUI::OwnRows::Add(CControlUI* c) { return m_combo.CContainerUI::AddAt(c, GetCount()); }
bool CComboUI::OwnRows::AddAt(CControlUI* c, int i) { return m_combo.CContainerUI::AddAt(c, i); }
bool CComboUI::OwnRows::Remove(CControlUI* c, bool keep) { return m_combo.CContainerUI::Remove(c, keep); }
bool CComboUI::OwnRows::RemoveAt(int i, bool keep) { return m_combo.CContainerUI::RemoveAt(i, keep); }
void CComboUI::OwnRows::RemoveAll() { m_combo.CContainerUI::RemoveAll(); }

CComboUI::CComboUI() : m_ownRows(*this), m_rows(*this, m_ownRows, m_selected, nullptr)
{
    // Rows a handler removes while their own event runs must outlive it.
    SetDelayedDestroy(true);
}

// The popup goes first, giving the rows back, so they are destroyed here.
CComboUI::~CComboUI() { CloseDropWindow(); }

void CComboUI::CloseDropWindow()
{
    if (m_dropWindow != nullptr)
        m_dropWindow->CloseNow();
}

void CComboUI::DropWindowGone()
{
    m_dropWindow = nullptr;
    Set(ButtonState::Pushed, false);
    Invalidate();
}

void CComboUI::EmptyRowRects()
{
    for (int i = 0; i < m_items.GetCount(); ++i)
        ChildAt(i)->SetPos({0, 0, 0, 0}, false);
}

bool CComboUI::SetItemIndex(CControlUI* control, int index)
{
    CloseDropWindow();
    return m_rows.SetItemIndex(control, index);
}

bool CComboUI::MoveItems(CControlUI* first, int count, int index)
{
    CloseDropWindow();
    return m_rows.MoveItems(first, count, index);
}

bool CComboUI::Add(CControlUI* control)
{
    CloseDropWindow();
    return m_rows.Add(control);
}

bool CComboUI::AddAt(CControlUI* control, int index)
{
    CloseDropWindow();
    return m_rows.AddAt(control, index);
}

bool CComboUI::Remove(CControlUI* control, bool keep)
{
    CloseDropWindow();
    return m_rows.Remove(control, keep);
}

bool CComboUI::RemoveAt(int index, bool keep)
{
    CloseDropWindow();
    return m_rows.RemoveAt(index, keep);
}

void CComboUI::RemoveAll()
{
    CloseDropWindow();
    m_rows.RemoveAll();
}

// ---- Combo: control -------------------------------------------------------------------------

LPCWSTR CComboUI::GetClass() const { return L"Combo"; }

void* CComboUI::GetInterface(LPCWSTR name)
{
    if (IsNamed(name, kListOwnerInterface))
        return static_cast<IListOwnerUI*>(this);
    if (IsNamed(name, L"Combo"))
        return this;
    return CContainerUI::GetInterface(name);
}

UIControlFlag CComboUI::GetControlFlags() const { return UIControlFlag::TabStop; }

void CComboUI::Set(ButtonState bit, bool on)
{
    if (on)
        m_buttonState |= static_cast<unsigned>(bit);
    else
        m_buttonState &= ~static_cast<unsigned>(bit);
}

bool CComboUI::Activate()
{
    if (!CControlUI::Activate())
        return false;
    if (m_dropWindow != nullptr)
        return true;
    if (m_manager == nullptr)
        return false;
    auto* popup = new CComboWnd;
    m_dropWindow = popup;
    if (!popup->Init(this)) {
        // No window, or one that failed while being made: nothing stays
        // open, and the next activation tries again.
        popup->CloseNow();
        m_dropWindow = nullptr;
        delete popup;
        return false;
    }
    m_manager->SendNotify(this, L"dropdown");
    Invalidate();
    return true;
}

CUIString CComboUI::GetText() const
{
    CControlUI* row = GetItemAt(m_selected);
    return row != nullptr ? row->GetText() : CUIString();
}

void CComboUI::SetPos(RECT rc, bool invalidate)
{
    // The rows' rectangles belong to the popup while it shows them.
    if (m_dropWindow == nullptr)
        EmptyRowRects();
    CControlUI::SetPos(rc, invalidate);
}

void CComboUI::Move(SIZE offset, bool invalidate) { CControlUI::Move(offset, invalidate); }

void CComboUI::SetEnabled(bool enable)
{
    CContainerUI::SetEnabled(enable);
    if (!IsEnabled())
        m_buttonState = 0;
}

SIZE CComboUI::EstimateSize(SIZE available)
{
    if (m_fixedHeight != 0 || m_manager == nullptr)
        return CControlUI::EstimateSize(available);
    return {m_fixedWidth, m_manager->GetDefaultFontInfo()->textMetrics.tmHeight + kSingleLineAir};
}

ListItemStyle* CComboUI::GetItemStyle() { return &m_style; }
int CComboUI::GetSelectedIndex() const { return m_selected; }
bool CComboUI::ExpandItem(int, bool) { return false; }
int CComboUI::GetExpandedItem() const { return -1; }

const CUIString& CComboUI::GetScrollBarAttribute(LPCWSTR name) const
{
    if (IsNamed(name, L"vscrollbar"))
        return m_vScrollBar;
    if (IsNamed(name, L"hscrollbar"))
        return m_hScrollBar;
    if (IsNamed(name, L"vscrollbarstyle"))
        return m_vScrollBarStyle;
    return m_hScrollBarStyle;
}

bool CComboUI::SelectItem(int index, bool takeFocus, bool notify)
{
    if (m_closeOnSelect && m_dropWindow != nullptr)
        m_dropWindow->Close(1);
    if (index == m_selected)
        return true;
    const int old = m_selected;
    if (m_selected >= 0) {
        CControlUI* row = GetItemAt(m_selected);
        if (row == nullptr)
            return false;
        if (IListItemUI* item = AsListItem(row))
            item->Select(false, notify);
        m_selected = -1;
    }
    if (index < 0 || GetCount() == 0)
        return false;
    index = std::min(index, GetCount() - 1);
    CControlUI* row = GetItemAt(index);
    IListItemUI* item = AsListItem(row);
    if (row == nullptr || !row->IsEnabled() || item == nullptr)
        return false;
    m_selected = index;
    if (m_dropWindow != nullptr || takeFocus)
        row->SetFocus();
    item->Select(true, notify);
    if (notify && m_manager != nullptr)
        m_manager->SendNotify(this, L"itemselect", static_cast<WPARAM>(index), static_cast<LPARAM>(old));
    Invalidate();
    return true;
}

void CComboUI::StepTo(int index)
{
    if (index < 0)
        return;
    const bool closeOnSelect = m_closeOnSelect;
    m_closeOnSelect = false;
    SelectItem(index, false, true);
    m_closeOnSelect = closeOnSelect;
}

void CComboUI::OnEvent(UIEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (m_parent != nullptr)
            m_parent->OnEvent(event);
        else
            CContainerUI::OnEvent(event);
        return;
    }
    switch (event.type) {
    case UIEventType::SetFocus:
    case UIEventType::KillFocus:
        Invalidate();
        break;
    case UIEventType::ButtonDown:
        if (IsEnabled()) {
            Activate();
            Set(ButtonState::Pushed, true);
            Set(ButtonState::Captured, true);
        }
        return;
    case UIEventType::ButtonUp:
        if (Has(ButtonState::Captured)) {
            Set(ButtonState::Captured, false);
            Invalidate();
        }
        return;
    case UIEventType::MouseMove:
        return;
    case UIEventType::KeyDown:
        if (!IsKeyboardEnabled() || !IsEnabled())
            break;
        switch (event.keyChar) {
        case VK_F4:
            Activate();
            break;
        case VK_UP:
        case VK_PRIOR:
            StepTo(FindSelectable(m_selected - 1, false));
            break;
        case VK_DOWN:
        case VK_NEXT:
            StepTo(FindSelectable(m_selected + 1, true));
            break;
        case VK_HOME:
            StepTo(FindSelectable(0, true));
            break;
        case VK_END:
            StepTo(FindSelectable(GetCount() - 1, false));
            break;
        default:
            break;
        }
        return;
    case UIEventType::ScrollWheel:
        if (IsEnabled() && m_mouseWheel) {
            if (LOWORD(event.wParam) == 1)
                StepTo(FindSelectable(m_selected + 1, true));
            else
                StepTo(FindSelectable(m_selected - 1, false));
            return;
        }
        break;
    case UIEventType::ContextMenu:
        return;
    case UIEventType::MouseEnter:
        if (::PtInRect(&m_pos, event.mousePoint) && IsEnabled() && !Has(ButtonState::Hot)) {
            Set(ButtonState::Hot, true);
            Invalidate();
        }
        break;
    case UIEventType::MouseLeave:
        if (::PtInRect(&m_pos, event.mousePoint)) {
            if (m_manager != nullptr)
                m_manager->AddMouseLeaveNeeded(this);
            return;
        }
        if (IsEnabled() && Has(ButtonState::Hot)) {
            Set(ButtonState::Hot, false);
            Invalidate();
        }
        if (m_manager != nullptr)
            m_manager->RemoveMouseLeaveNeeded(this);
        break;
    default:
        break;
    }
    CControlUI::OnEvent(event);
}

void CComboUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    auto is = [name](LPCWSTR candidate) { return IsNamed(name, candidate); };
    if (is(L"textpadding")) {
        m_textPadding = ParseRectValue(value);
        Invalidate();
    } else if (is(L"align")) {
        m_textStyle = ApplyHorizontalAlign(m_textStyle, value);
    } else if (is(L"font")) {
        m_font = _wtoi(value);
        Invalidate();
    } else if (is(L"textcolor")) {
        DWORD color = ParseColorValue(value);
        if (color != 0 && color < 0x01000000)
            color |= kOpaque;
        m_textColor = color;
        Invalidate();
    } else if (is(L"disabledtextcolor")) {
        m_disabledTextColor = ParseColorValue(value);
        Invalidate();
    } else if (is(L"rhaa")) {
        m_textRenderingHint = _wtoi(value);
        Invalidate();
    } else if (is(L"showtext")) {
        m_showText = IsTrueValue(value);
        Invalidate();
    } else if (is(L"selectedid")) {
        SelectItem(_wtoi(value), false, true);
    } else if (is(L"normalimage")) {
        SetImageRecord(m_normalImage, value);
    } else if (is(L"hotimage")) {
        SetImageRecord(m_hotImage, value);
    } else if (is(L"pushedimage")) {
        SetImageRecord(m_pushedImage, value);
    } else if (is(L"focusedimage")) {
        SetImageRecord(m_focusedImage, value);
    } else if (is(L"disabledimage")) {
        SetImageRecord(m_disabledImage, value);
    } else if (is(L"dropbox")) {
        m_dropBoxAttributes = value;
    } else if (is(L"dropboxsize")) {
        m_dropBoxSize = ParseSizeValue(value);
    } else if (is(L"dropbordercolor")) {
        const DWORD color = ParseColorValue(value);
        if (color != m_dropBorderColor) {
            m_dropBorderColor = color;
            Invalidate();
        }
    } else if (is(L"dropbordersize")) {
        if (std::wcschr(value, L',') != nullptr) {
            m_dropBorderSize = ParseRectValue(value);
        } else {
            const int size = _wtoi(value);
            m_dropBorderSize = {size, size, size, size};
        }
        Invalidate();
    } else if (is(L"dropbkcolor")) {
        const DWORD color = ParseColorValue(value);
        if (color != m_dropBkColor) {
            m_dropBkColor = color;
            Invalidate();
        }
    } else if (is(L"vscrollbar")) {
        m_vScrollBar = value;
    } else if (is(L"hscrollbar")) {
        m_hScrollBar = value;
    } else if (is(L"vscrollbarstyle")) {
        m_vScrollBarStyle = value;
    } else if (is(L"hscrollbarstyle")) {
        m_hScrollBarStyle = value;
    } else if (is(L"mousewheel")) {
        m_mouseWheel = IsTrueValue(value);
    } else {
        switch (ApplyItemStyleAttribute(m_style, ItemStyleOwner::Combo, name, value)) {
        case ItemStyleEffect::NotAccepted:
            CContainerUI::SetAttribute(name, value);
            break;
        case ItemStyleEffect::Relayout:
        case ItemStyleEffect::Repaint:
            Invalidate();
            break;
        case ItemStyleEffect::Stored:
            break;
        }
    }
}

bool CComboUI::OnPaint(HDC hdc, const RECT& paint, CControlUI* stopControl)
{
    return CControlUI::OnPaint(hdc, paint, stopControl);
}

void CComboUI::PaintStatusImage(HDC hdc)
{
    Set(ButtonState::Focused, IsFocused());
    Set(ButtonState::Disabled, !IsEnabled());
    bool drawn = false;
    if (Has(ButtonState::Disabled))
        drawn = DrawImage(hdc, m_disabledImage);
    else if (Has(ButtonState::Pushed))
        drawn = DrawImage(hdc, m_pushedImage);
    else if (Has(ButtonState::Hot))
        drawn = DrawImage(hdc, m_hotImage);
    else if (Has(ButtonState::Focused))
        drawn = DrawImage(hdc, m_focusedImage);
    if (!drawn)
        DrawImage(hdc, m_normalImage);
}

void CComboUI::PaintText(HDC hdc)
{
    if (!m_showText || m_selected < 0 || m_manager == nullptr)
        return;
    CControlUI* row = GetItemAt(m_selected);
    if (row == nullptr)
        return;
    RECT rc = {m_pos.left + m_textPadding.left, m_pos.top + m_textPadding.top, m_pos.right - m_textPadding.right,
               m_pos.bottom - m_textPadding.bottom};
    if (AsListItem(row) != nullptr) {
        DWORD color = IsEnabled() ? m_textColor : m_disabledTextColor;
        if (color == 0)
            color = IsEnabled() ? m_manager->GetDefaultFontColor() : m_manager->GetDefaultDisabledColor();
        CSkinPainter::DrawPlainText(hdc, m_manager, rc, row->GetText(), color, m_font, m_textStyle);
        return;
    }
    const RECT old = row->GetPos();
    row->SetPos(rc, false);
    row->Paint(hdc, rc, nullptr);
    row->SetPos(old, false);
}

}  // namespace CalUI
