#include "core/ControlUI.h"

#include <algorithm>
#include <cwchar>

#include "core/AttributeValues.h"
#include "core/ClipGuard.h"
#include "core/LoadedImage.h"
#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

bool IsRectEmptyOrInverted(const RECT& rc) { return rc.right <= rc.left || rc.bottom <= rc.top; }

// "l,t,r,b" fractions of the parent's size; missing parts read as 0.
FloatPercent ParseFloatPercent(LPCWSTR value)
{
    double parts[4] = {};
    for (double& part : parts) {
        LPWSTR end = nullptr;
        part = std::wcstod(value, &end);
        value = end;
        if (*value != L'\0')
            ++value;
    }
    return FloatPercent{parts[0], parts[1], parts[2], parts[3]};
}

int Clamp(int value, int low, int high) { return std::max(low, std::min(value, high)); }

bool IsRounded(SIZE round) { return round.cx > 0 || round.cy > 0; }

}  // namespace

CControlUI::CControlUI() = default;

CControlUI::~CControlUI()
{
    if (m_cover != nullptr)
        m_cover->Delete();
    RemoveAllCustomAttributes();
    if (destroyDelegates.HasAny())
        destroyDelegates.Invoke(this);
    if (m_manager != nullptr)
        m_manager->ForgetControl(this);
}

void CControlUI::Delete()
{
    if (m_manager != nullptr)
        m_manager->RemoveMouseLeaveNeeded(this);
    delete this;
}

// ---- Identity and tree --------------------------------------------------------

CUIString CControlUI::GetName() const { return m_name; }

void CControlUI::SetName(LPCWSTR name)
{
    if (m_name == name)
        return;
    // The manager re-indexes the control and calls back here to store the
    // name; storing first would make it see no change and keep the old index.
    // A name it refuses (empty, or another control's) is still this
    // control's, so the old one must stop finding it.
    if (m_manager != nullptr && !m_renaming) {
        m_renaming = true;
        if (!m_manager->RenameControl(this, name))
            m_manager->RemoveFromNameIndex(this);
        m_renaming = false;
    }
    m_name = name;
}

LPCWSTR CControlUI::GetClass() const { return L"Control"; }

void* CControlUI::GetInterface(LPCWSTR name) { return std::wcscmp(name, L"Control") == 0 ? this : nullptr; }

UIControlFlag CControlUI::GetControlFlags() const { return UIControlFlag::None; }

HWND CControlUI::GetNativeWindow() const { return nullptr; }

bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }

CWindowManagerUI* CControlUI::GetManager() const { return m_manager; }

void CControlUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init)
{
    if (m_cover != nullptr)
        m_cover->SetManager(manager, this, init);
    m_manager = manager;
    m_parent = parent;
    m_updateInvalidated = false;
    if (init && m_parent != nullptr)
        Init();
}

CControlUI* CControlUI::GetParent() const { return m_parent; }

CControlUI* CControlUI::GetCover() const { return m_cover; }

void CControlUI::SetCover(CControlUI* cover)
{
    if (cover == m_cover)
        return;
    if (m_cover != nullptr)
        m_cover->Delete();
    m_cover = cover;
    if (m_cover != nullptr && m_manager != nullptr)
        m_manager->InitControls(m_cover, this);
    if (IsVisible())
        RequestUpdate();
    else if (m_cover != nullptr)
        m_cover->SetInternVisible(false);
}

CUIString CControlUI::GetText() const { return m_text; }

void CControlUI::SetText(LPCWSTR text)
{
    if (m_text == text)
        return;
    m_text = text;
    Invalidate();
}

// ---- Position and size rules -------------------------------------------------

const RECT& CControlUI::GetPos() const { return m_pos; }

RECT CControlUI::GetRelativePos() const
{
    RECT rc = {0, 0, 0, 0};
    if (m_parent == nullptr)
        return rc;
    rc = m_pos;
    ::OffsetRect(&rc, -m_parent->GetPos().left, -m_parent->GetPos().top);
    return rc;
}

RECT CControlUI::GetClientPos() const { return m_pos; }

void CControlUI::SetPos(RECT rc, bool invalidate)
{
    rc.right = std::max(rc.right, rc.left);
    rc.bottom = std::max(rc.bottom, rc.top);
    RECT area = IsRectEmptyOrInverted(m_pos) ? rc : m_pos;

    if (m_float) {
        if (m_parent != nullptr)
            PlaceFloatInParent(rc);
    } else {
        m_pos = rc;
    }
    if (m_manager == nullptr)
        return;

    if (!m_inSizeEvent) {
        m_inSizeEvent = true;
        sizeDelegates.Invoke(this);
        m_inSizeEvent = false;
    }
    m_needsUpdate = false;
    m_updateInvalidated = false;

    if (invalidate && IsVisible()) {
        ::UnionRect(&area, &area, &m_pos);
        InvalidateClipped(area);
    }
    if (m_cover != nullptr && m_cover->IsVisible())
        PlaceCover();
}

void CControlUI::PlaceFloatInParent(const RECT& relative)
{
    const RECT& parentPos = m_parent->GetPos();
    const int parentWidth = parentPos.right - parentPos.left;
    const int parentHeight = parentPos.bottom - parentPos.top;
    m_pos = relative;
    ::OffsetRect(&m_pos, parentPos.left, parentPos.top);
    m_fixedXY.cx = relative.left - static_cast<int>(parentWidth * m_floatPercent.left);
    m_fixedXY.cy = relative.top - static_cast<int>(parentHeight * m_floatPercent.top);
    m_fixedWidth = relative.right - static_cast<int>(parentWidth * m_floatPercent.right) - m_fixedXY.cx;
    m_fixedHeight = relative.bottom - static_cast<int>(parentHeight * m_floatPercent.bottom) - m_fixedXY.cy;
}

void CControlUI::PlaceCover()
{
    const int width = GetWidth();
    const int height = GetHeight();
    RECT rc;
    if (m_cover->IsFloat()) {
        // Relative to this control, which is the cover's parent.
        const FloatPercent percent = m_cover->GetFloatPercent();
        const SIZE xy = m_cover->GetFixedXY();
        rc.left = static_cast<int>(width * percent.left) + xy.cx;
        rc.top = static_cast<int>(height * percent.top) + xy.cy;
        rc.right = static_cast<int>(width * percent.right) + xy.cx + m_cover->GetFixedWidth();
        rc.bottom = static_cast<int>(height * percent.bottom) + xy.cy + m_cover->GetFixedHeight();
    } else {
        // From the absolute position: a float control's own rectangle was
        // given relative to its parent.
        rc.left = m_pos.left;
        rc.top = m_pos.top;
        rc.right = rc.left + Clamp(width, m_cover->GetMinWidth(), m_cover->GetMaxWidth());
        rc.bottom = rc.top + Clamp(height, m_cover->GetMinHeight(), m_cover->GetMaxHeight());
    }
    m_cover->SetPos(rc, false);
}

void CControlUI::Move(SIZE offset, bool invalidate)
{
    RECT area = m_pos;
    ::OffsetRect(&m_pos, offset.cx, offset.cy);
    if (invalidate && IsVisible() && m_manager != nullptr) {
        ::UnionRect(&area, &area, &m_pos);
        InvalidateClipped(area);
    }
    if (m_cover != nullptr && m_cover->IsVisible())
        m_cover->Move(offset, false);
}

int CControlUI::GetWidth() const { return m_pos.right - m_pos.left; }

int CControlUI::GetHeight() const { return m_pos.bottom - m_pos.top; }

int CControlUI::GetX() const { return m_pos.left; }

int CControlUI::GetY() const { return m_pos.top; }

RECT CControlUI::GetPadding() const { return m_padding; }

void CControlUI::SetPadding(RECT padding)
{
    m_padding = padding;
    RequestParentUpdate();
}

SIZE CControlUI::GetFixedXY() const { return m_fixedXY; }

void CControlUI::SetFixedXY(SIZE xy)
{
    m_fixedXY = xy;
    RequestParentUpdate();
}

FloatPercent CControlUI::GetFloatPercent() const { return m_floatPercent; }

void CControlUI::SetFloatPercent(FloatPercent percent)
{
    m_floatPercent = percent;
    RequestParentUpdate();
}

int CControlUI::GetFixedWidth() const { return m_fixedWidth; }

void CControlUI::SetFixedWidth(int cx)
{
    if (cx < 0)
        return;
    m_fixedWidth = cx;
    RequestParentUpdate();
}

int CControlUI::GetFixedHeight() const { return m_fixedHeight; }

void CControlUI::SetFixedHeight(int cy)
{
    if (cy < 0)
        return;
    m_fixedHeight = cy;
    RequestParentUpdate();
}

void CControlUI::SetSizeLimit(int& limit, int value)
{
    if (value == limit || value < 0)
        return;
    limit = value;
    RequestParentUpdate();
}

int CControlUI::GetMinWidth() const { return m_minWidth; }

void CControlUI::SetMinWidth(int cx) { SetSizeLimit(m_minWidth, cx); }

int CControlUI::GetMaxWidth() const { return std::max(m_maxWidth, m_minWidth); }

void CControlUI::SetMaxWidth(int cx) { SetSizeLimit(m_maxWidth, cx); }

int CControlUI::GetMinHeight() const { return m_minHeight; }

void CControlUI::SetMinHeight(int cy) { SetSizeLimit(m_minHeight, cy); }

int CControlUI::GetMaxHeight() const { return std::max(m_maxHeight, m_minHeight); }

void CControlUI::SetMaxHeight(int cy) { SetSizeLimit(m_maxHeight, cy); }

// ---- Tooltip and plain properties --------------------------------------------

CUIString CControlUI::GetToolTip() const { return m_toolTip; }

void CControlUI::SetToolTip(LPCWSTR text)
{
    m_toolTip = text;
    m_toolTip.Replace(L"<n>", L"\r\n");
}

void CControlUI::SetToolTipWidth(int width) { m_toolTipWidth = width; }

int CControlUI::GetToolTipWidth() const { return m_toolTipWidth; }

WCHAR CControlUI::GetShortcut() const { return m_shortcut; }

void CControlUI::SetShortcut(WCHAR ch) { m_shortcut = ch; }

bool CControlUI::IsContextMenuUsed() const { return m_contextMenuUsed; }

void CControlUI::SetContextMenuUsed(bool used) { m_contextMenuUsed = used; }

const CUIString& CControlUI::GetUserData() const { return m_userData; }

void CControlUI::SetUserData(LPCWSTR text) { m_userData = text; }

UINT_PTR CControlUI::GetTag() const { return m_tag; }

void CControlUI::SetTag(UINT_PTR tag) { m_tag = tag; }

// ---- Visibility, input and focus ---------------------------------------------

bool CControlUI::IsVisible() const { return m_visible && m_internVisible; }

void CControlUI::SetVisible(bool show)
{
    if (m_visible == show)
        return;
    const bool wasVisible = IsVisible();
    m_visible = show;
    m_focused = false;
    if (!show)
        ReleaseFocus();
    if (IsVisible() != wasVisible)
        RequestParentUpdate();
    if (m_cover != nullptr)
        m_cover->SetInternVisible(IsVisible());
}

void CControlUI::SetInternVisible(bool show)
{
    m_internVisible = show;
    if (!show)
        ReleaseFocus();
    if (m_cover != nullptr)
        m_cover->SetInternVisible(IsVisible());
}

void CControlUI::ReleaseFocus()
{
    if (m_manager != nullptr && m_manager->GetFocus() == this)
        m_manager->SetFocus(nullptr, true);
}

bool CControlUI::IsEnabled() const { return m_enabled; }

void CControlUI::SetEnabled(bool enable)
{
    if (m_enabled == enable)
        return;
    m_enabled = enable;
    Invalidate();
}

bool CControlUI::IsMouseEnabled() const { return m_mouseEnabled; }

void CControlUI::SetMouseEnabled(bool enable) { m_mouseEnabled = enable; }

bool CControlUI::IsKeyboardEnabled() const { return m_enabled && m_keyboardEnabled; }

void CControlUI::SetKeyboardEnabled(bool enable) { m_keyboardEnabled = enable; }

bool CControlUI::IsFocused() const { return m_focused; }

void CControlUI::SetFocus()
{
    if (m_manager != nullptr)
        m_manager->SetFocus(this, false);
}

bool CControlUI::IsFloat() const { return m_float; }

void CControlUI::SetFloat(bool isFloat)
{
    if (m_float == isFloat)
        return;
    m_float = isFloat;
    RequestParentUpdate();
}

CControlUI* CControlUI::FindControl(FindControlProc proc, void* data, UIFindFlag flags)
{
    if (HasAny(flags, UIFindFlag::Visible) && !IsVisible())
        return nullptr;
    if (HasAny(flags, UIFindFlag::Enabled) && !IsEnabled())
        return nullptr;
    if (HasAny(flags, UIFindFlag::HitTest) && !::PtInRect(&m_pos, *static_cast<const POINT*>(data)))
        return nullptr;
    if (HasAny(flags, UIFindFlag::UpdateTest) && proc(this, data) != nullptr)
        return nullptr;

    // A hit test never answers with a control that ignores the mouse, but its
    // cover may still be hit.
    const bool offerSelf = !HasAny(flags, UIFindFlag::HitTest) || IsMouseEnabled();
    CControlUI* result = nullptr;
    if (HasAny(flags, UIFindFlag::SelfFirst) && offerSelf)
        result = proc(this, data);
    if (result == nullptr && m_cover != nullptr)
        result = m_cover->FindControl(proc, data, flags);
    if (result == nullptr && !HasAny(flags, UIFindFlag::SelfFirst) && offerSelf)
        result = proc(this, data);
    return result;
}

// ---- Life and events ---------------------------------------------------------

void CControlUI::Init()
{
    OnInit();
    if (initDelegates.HasAny())
        initDelegates.Invoke(this);
}

void CControlUI::OnInit() {}

void CControlUI::SendEvent(UIEvent& event)
{
    if (eventDelegates.Invoke(&event))
        OnEvent(event);
}

void CControlUI::OnEvent(UIEvent& event)
{
    switch (event.type) {
    case UIEventType::SetCursor:
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        return;
    case UIEventType::SetFocus:
        m_focused = true;
        Invalidate();
        return;
    case UIEventType::KillFocus:
        m_focused = false;
        Invalidate();
        return;
    case UIEventType::Timer:
        if (m_manager != nullptr)
            m_manager->SendNotify(this, L"timer", event.wParam, event.lParam, false, true);
        return;
    case UIEventType::ContextMenu:
        if (IsContextMenuUsed()) {
            if (m_manager != nullptr)
                m_manager->SendNotify(this, L"menu", event.wParam, event.lParam, false, true);
            return;
        }
        break;
    default:
        break;
    }
    if (m_parent != nullptr)
        m_parent->OnEvent(event);
}

// ---- Skin attributes ---------------------------------------------------------

CUIString CControlUI::GetAttribute(LPCWSTR) { return CUIString(); }

void CControlUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    const CUIString n(name);
    if (n == L"pos") {
        const RECT rc = ParseRectValue(value);
        SetFixedXY(SIZE{rc.left, rc.top});
        SetFixedWidth(rc.right - rc.left);
        SetFixedHeight(rc.bottom - rc.top);
    } else if (n == L"padding") {
        SetPadding(ParseRectValue(value));
    } else if (n == L"bkcolor" || n == L"bkcolor1") {
        SetBkColor(ParseColorValue(value));
    } else if (n == L"bkcolor2") {
        SetBkColor2(ParseColorValue(value));
    } else if (n == L"bkcolor3") {
        SetBkColor3(ParseColorValue(value));
    } else if (n == L"bordercolor") {
        SetBorderColor(ParseColorValue(value));
    } else if (n == L"focusbordercolor") {
        SetFocusBorderColor(ParseColorValue(value));
    } else if (n == L"colorhsl") {
        SetColorHSL(IsTrueValue(value));
    } else if (n == L"bordersize") {
        if (std::wcschr(value, L',') != nullptr)
            SetBorderSizes(ParseRectValue(value));
        else
            SetBorderSize(_wtoi(value));
    } else if (n == L"borderstyle") {
        SetBorderStyle(_wtoi(value));
    } else if (n == L"borderround") {
        SetBorderRound(ParseSizeValue(value));
    } else if (n == L"bkimage") {
        SetBkImage(value);
    } else if (n == L"foreimage") {
        SetForeImage(value);
    } else if (n == L"width") {
        SetFixedWidth(_wtoi(value));
    } else if (n == L"height") {
        SetFixedHeight(_wtoi(value));
    } else if (n == L"minwidth") {
        SetMinWidth(_wtoi(value));
    } else if (n == L"minheight") {
        SetMinHeight(_wtoi(value));
    } else if (n == L"maxwidth") {
        SetMaxWidth(_wtoi(value));
    } else if (n == L"maxheight") {
        SetMaxHeight(_wtoi(value));
    } else if (n == L"name") {
        SetName(value);
    } else if (n == L"text") {
        SetText(value);
    } else if (n == L"tooltip") {
        SetToolTip(value);
    } else if (n == L"userdata") {
        SetUserData(value);
    } else if (n == L"tag") {
        SetTag(static_cast<UINT_PTR>(std::wcstoul(value, nullptr, 10)));
    } else if (n == L"enabled") {
        SetEnabled(IsTrueValue(value));
    } else if (n == L"mouse") {
        SetMouseEnabled(IsTrueValue(value));
    } else if (n == L"keyboard") {
        SetKeyboardEnabled(IsTrueValue(value));
    } else if (n == L"visible") {
        SetVisible(IsTrueValue(value));
    } else if (n == L"float") {
        if (std::wcschr(value, L',') != nullptr) {
            SetFloatPercent(ParseFloatPercent(value));
            SetFloat(true);
        } else {
            SetFloat(IsTrueValue(value));
        }
    } else if (n == L"shortcut") {
        SetShortcut(value[0]);
    } else if (n == L"menu") {
        SetContextMenuUsed(IsTrueValue(value));
    } else if (n == L"virtualwnd") {
        SetVirtualWnd(value);
    } else if (n.CompareNoCase(L"autocalwidth") == 0) {
        SetAutoCalcWidth(_wcsicmp(value, L"true") == 0);
    } else if (n.CompareNoCase(L"autocalheight") == 0) {
        SetAutoCalcHeight(_wcsicmp(value, L"true") == 0);
    } else {
        AddCustomAttribute(name, value);
    }
}

CUIString CControlUI::GetAttributeList() { return CUIString(); }

void CControlUI::SetAttributeList(LPCWSTR list)
{
    LPCWSTR p = list;
    while (*p != L'\0') {
        LPCWSTR equals = std::wcschr(p, L'=');
        if (equals == nullptr || equals[1] != L'"')
            return;
        LPCWSTR valueStart = equals + 2;
        LPCWSTR closingQuote = std::wcschr(valueStart, L'"');
        if (closingQuote == nullptr)
            return;
        SetAttribute(CUIString(p, static_cast<int>(equals - p)),
                     CUIString(valueStart, static_cast<int>(closingQuote - valueStart)));
        p = closingQuote + 1;
        if (*p != L' ')
            return;
        ++p;
    }
}

bool CControlUI::IsAutoCalcWidth() const { return m_autoCalcWidth; }

void CControlUI::SetAutoCalcWidth(bool enable)
{
    if (m_autoCalcWidth == enable)
        return;
    m_autoCalcWidth = enable;
    Invalidate();
}

bool CControlUI::IsAutoCalcHeight() const { return m_autoCalcHeight; }

void CControlUI::SetAutoCalcHeight(bool enable)
{
    if (m_autoCalcHeight == enable)
        return;
    m_autoCalcHeight = enable;
    Invalidate();
}

SIZE CControlUI::EstimateSize(SIZE) { return SIZE{m_fixedWidth, m_fixedHeight}; }

// ---- Painting ----------------------------------------------------------------

bool CControlUI::Paint(HDC hdc, const RECT& paint, CControlUI* stopControl)
{
    if (stopControl == this)
        return false;
    if (!::IntersectRect(&m_paintRect, &paint, &m_pos))
        return true;
    if (paintDelegates.HasAny() && !paintDelegates.Invoke(this))
        return true;
    if (!OnPaint(hdc, paint, stopControl))
        return false;
    if (m_cover != nullptr)
        return m_cover->Paint(hdc, paint, nullptr);
    return true;
}

bool CControlUI::OnPaint(HDC hdc, const RECT&, CControlUI*)
{
    CClipGuard roundedClip;
    if (IsRounded(m_borderRound))
        CClipGuard::ClipRoundRect(hdc, m_paintRect, m_pos, m_borderRound.cx, m_borderRound.cy, roundedClip);
    PaintBkColor(hdc);
    PaintBkImage(hdc);
    PaintStatusImage(hdc);
    PaintText(hdc);
    PaintBorder(hdc);
    return true;
}

void CControlUI::PaintBkColor(HDC hdc)
{
    if (m_bkColor == 0)
        return;
    const DWORD first = AdjustColor(m_bkColor);
    if (m_bkColor2 == 0) {
        const RECT& area = m_bkColor >= 0xFF000000 ? m_paintRect : m_pos;
        CSkinPainter::FillSolidColor(hdc, area, first);
        return;
    }
    const DWORD second = AdjustColor(m_bkColor2);
    if (m_bkColor3 == 0) {
        CSkinPainter::FillGradient(hdc, m_pos, first, second, true, 16);
        return;
    }
    const LONG middle = (m_pos.top + m_pos.bottom) / 2;
    CSkinPainter::FillGradient(hdc, RECT{m_pos.left, m_pos.top, m_pos.right, middle}, first, second, true, 8);
    CSkinPainter::FillGradient(hdc, RECT{m_pos.left, middle, m_pos.right, m_pos.bottom}, second,
                               AdjustColor(m_bkColor3), true, 8);
}

void CControlUI::PaintBkImage(HDC hdc) { DrawImage(hdc, m_bkImage); }

void CControlUI::PaintStatusImage(HDC hdc) { DrawImage(hdc, m_foreImage); }

void CControlUI::PaintText(HDC) {}

void CControlUI::PaintBorder(HDC hdc)
{
    const RECT& widths = m_borderSize;
    if (widths.left <= 0 && widths.top <= 0 && widths.right <= 0 && widths.bottom <= 0)
        return;
    if (m_borderColor == 0 && m_focusBorderColor == 0)
        return;
    const DWORD color = AdjustColor(IsFocused() && m_focusBorderColor != 0 ? m_focusBorderColor : m_borderColor);
    if (IsRounded(m_borderRound))
        CSkinPainter::DrawRoundRectFrame(hdc, m_pos, widths.left, m_borderRound.cx, m_borderRound.cy, color,
                                         m_borderStyle);
    else if (widths.left == widths.top && widths.left == widths.right && widths.left == widths.bottom)
        CSkinPainter::DrawRectFrame(hdc, m_pos, widths.left, color, m_borderStyle);
    else
        PaintBorderSides(hdc, color);
}

// One line per side, centred on the band that side's width takes inside pos.
void CControlUI::PaintBorderSides(HDC hdc, DWORD color)
{
    const RECT& widths = m_borderSize;
    const RECT& p = m_pos;
    if (widths.left > 0) {
        const LONG x = p.left + widths.left / 2;
        CSkinPainter::DrawLineSegment(hdc, RECT{x, p.top, x, p.bottom}, widths.left, color, m_borderStyle);
    }
    if (widths.top > 0) {
        const LONG y = p.top + widths.top / 2;
        CSkinPainter::DrawLineSegment(hdc, RECT{p.left + widths.left, y, p.right - widths.right, y}, widths.top, color,
                                      m_borderStyle);
    }
    if (widths.right > 0) {
        const LONG x = p.right - widths.right / 2 - widths.right % 2;
        CSkinPainter::DrawLineSegment(hdc, RECT{x, p.top, x, p.bottom}, widths.right, color, m_borderStyle);
    }
    if (widths.bottom > 0) {
        const LONG y = p.bottom - widths.bottom / 2 - widths.bottom % 2;
        CSkinPainter::DrawLineSegment(hdc, RECT{p.left + widths.left, y, p.right - widths.right, y}, widths.bottom,
                                      color, m_borderStyle);
    }
}

void CControlUI::PostPaint(HDC)
{
    if (postPaintDelegates.HasAny())
        postPaintDelegates.Invoke(this);
}

// ---- Colours, border and images ----------------------------------------------

void CControlUI::SetColor(DWORD& field, DWORD color)
{
    if (field == color)
        return;
    field = color;
    Invalidate();
}

void CControlUI::SetBkColor(DWORD color) { SetColor(m_bkColor, color); }

void CControlUI::SetBkColor2(DWORD color) { SetColor(m_bkColor2, color); }

void CControlUI::SetBkColor3(DWORD color) { SetColor(m_bkColor3, color); }

void CControlUI::SetBorderColor(DWORD color) { SetColor(m_borderColor, color); }

void CControlUI::SetFocusBorderColor(DWORD color) { SetColor(m_focusBorderColor, color); }

void CControlUI::SetColorHSL(bool colorHsl)
{
    if (m_colorHsl == colorHsl)
        return;
    m_colorHsl = colorHsl;
    Invalidate();
}

void CControlUI::SetBorderSize(int width)
{
    m_borderSize = RECT{width, width, width, width};
    Invalidate();
}

void CControlUI::SetBorderSizes(RECT widths)
{
    m_borderSize = widths;
    Invalidate();
}

void CControlUI::SetBorderRound(SIZE round)
{
    m_borderRound = round;
    Invalidate();
}

void CControlUI::SetBorderStyle(int style)
{
    m_borderStyle = style;
    Invalidate();
}

void CControlUI::SetBkImage(LPCWSTR image)
{
    if (!m_bkImage.TakeAttributeText(image))
        return;
    DrawImage(nullptr, m_bkImage);
    if (m_float && m_fixedWidth == 0 && m_fixedHeight == 0 && m_bkImage.image != nullptr) {
        SetFixedWidth(m_bkImage.image->width);
        SetFixedHeight(m_bkImage.image->height);
    }
    Invalidate();
}

void CControlUI::SetImageRecord(ImageDrawInfo& record, LPCWSTR text)
{
    if (record.TakeAttributeText(text))
        Invalidate();
}

void CControlUI::SetForeImage(LPCWSTR image) { SetImageRecord(m_foreImage, image); }

bool CControlUI::DrawImage(HDC hdc, ImageDrawInfo& image)
{
    return CSkinPainter::DrawImageAttr(hdc, m_manager, m_pos, m_paintRect, image);
}

DWORD CControlUI::AdjustColor(DWORD color) const
{
    if (!m_colorHsl)
        return color;
    short hue = 0;
    short saturation = 0;
    short lightness = 0;
    CWindowManagerUI::GetHsl(&hue, &saturation, &lightness);
    return CSkinPainter::AdjustColorHsl(color, hue, saturation, lightness);
}

// ---- Invalidation and layout requests ----------------------------------------

void CControlUI::MarkLayoutChanged()
{
    // All the way up: a parent may have been laid out while this control,
    // hidden at the time, kept its mark.
    for (CControlUI* control = this; control != nullptr; control = control->m_parent)
        control->m_layoutChanged = true;
}

void CControlUI::Invalidate()
{
    // What changes a control's looks may change its size too (a text).
    MarkLayoutChanged();
    if (IsVisible())
        InvalidateClipped(m_pos);
}

void CControlUI::InvalidateClipped(RECT area)
{
    for (CControlUI* ancestor = m_parent; ancestor != nullptr; ancestor = ancestor->GetParent()) {
        if (!ancestor->IsVisible() || !::IntersectRect(&area, &area, &ancestor->GetPos()))
            return;
    }
    if (m_manager != nullptr)
        m_manager->Invalidate(area);
}

void CControlUI::RequestUpdate()
{
    MarkLayoutChanged();
    if (!IsVisible())
        return;
    // A control whose place the window already repaints for its coming
    // layout needs no second invalidation: the rows added one by one to a
    // long list ask the window for nothing more each time.
    if (!m_updateInvalidated) {
        Invalidate();
        m_updateInvalidated = m_manager != nullptr && !::IsRectEmpty(&m_pos);
    }
    m_needsUpdate = true;
    if (m_manager != nullptr)
        m_manager->SetUpdateNeeded();
}

void CControlUI::RequestParentUpdate()
{
    if (m_parent != nullptr) {
        m_parent->RequestUpdate();
        m_parent->Invalidate();
    } else {
        RequestUpdate();
    }
    if (m_manager != nullptr)
        m_manager->SetUpdateNeeded();
}

// ---- Virtual window and custom attributes ------------------------------------

void CControlUI::SetVirtualWnd(LPCWSTR name)
{
    m_virtualWnd = name;
    if (m_manager != nullptr)
        m_manager->SetUsesVirtualWindows(true);
}

CUIString CControlUI::GetVirtualWnd() const
{
    if (!m_virtualWnd.IsEmpty())
        return m_virtualWnd;
    if (m_parent != nullptr)
        return m_parent->GetVirtualWnd();
    return CUIString();
}

void CControlUI::AddCustomAttribute(LPCWSTR name, LPCWSTR value)
{
    if (name == nullptr || name[0] == L'\0' || value == nullptr || value[0] == L'\0')
        return;
    if (m_customAttributes.Find(name) != nullptr)
        return;
    CUIString* copy = new CUIString(value);
    if (!m_customAttributes.Insert(name, copy))
        delete copy;
}

LPCWSTR CControlUI::GetCustomAttribute(LPCWSTR name)
{
    const CUIString* value = static_cast<const CUIString*>(m_customAttributes.Find(name));
    return value != nullptr ? value->GetData() : nullptr;
}

void CControlUI::RemoveAllCustomAttributes()
{
    for (int i = 0; LPCWSTR key = m_customAttributes.GetKeyAt(i); ++i)
        delete static_cast<CUIString*>(m_customAttributes.Find(key, false));
    m_customAttributes.Resize(CUIStringMap::kDefaultBucketCount);
}

}  // namespace CalUI
