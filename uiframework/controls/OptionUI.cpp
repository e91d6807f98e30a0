// The option and the check box.

#include "controls/OptionUI.h"

#include <cwchar>

#include "core/AttributeValues.h"
#include "core/UIPtrArray.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

// A single line is as high as its font plus this much air.
constexpr int kSingleLineAir = 8;

bool IsNamed(LPCWSTR name, LPCWSTR expected) { return std::wcscmp(name, expected) == 0; }

}  // namespace

COptionUI::COptionUI() = default;

COptionUI::~COptionUI() { LeaveGroup(); }

LPCWSTR COptionUI::GetClass() const { return L"Option"; }

void* COptionUI::GetInterface(LPCWSTR name)
{
    if (IsNamed(name, L"Option"))
        return this;
    return CButtonUI::GetInterface(name);
}

bool COptionUI::Activate()
{
    if (!CButtonUI::Activate())
        return false;
    SetSelected(m_group.IsEmpty() ? !m_selected : true, true);
    return true;
}

void COptionUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init)
{
    CButtonUI::SetManager(manager, parent, init);
    if (init)
        JoinGroup();
}

void COptionUI::SetEnabled(bool enable)
{
    CButtonUI::SetEnabled(enable);
    if (!IsEnabled())
        m_state = m_selected ? UIControlState::Selected : UIControlState::None;
}

void COptionUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    if (IsNamed(name, L"group"))
        SetGroup(value);
    else if (IsNamed(name, L"selected"))
        SetSelected(IsTrueValue(value), true);
    else if (IsNamed(name, L"selectedimage"))
        SetSelectedImage(value);
    else if (IsNamed(name, L"selectedhotimage"))
        SetSelectedHotImage(value);
    else if (IsNamed(name, L"foreimage"))
        SetForeImage(value);
    else if (IsNamed(name, L"selectedbkcolor"))
        SetSelectedBkColor(ParseColorValue(value));
    else if (IsNamed(name, L"selectedtextcolor"))
        SetSelectedTextColor(ParseColorValue(value));
    else
        CButtonUI::SetAttribute(name, value);
}

SIZE COptionUI::EstimateSize(SIZE)
{
    if (m_fixedHeight != 0)
        return SIZE{m_fixedWidth, m_fixedHeight};
    const FontInfo* font = m_manager != nullptr ? m_manager->GetFontInfo(m_font) : nullptr;
    const int textHeight = font != nullptr ? font->textMetrics.tmHeight : 0;
    return SIZE{m_fixedWidth, textHeight + kSingleLineAir};
}

// ---- Selection and groups -------------------------------------------------------

bool COptionUI::IsSelected() const { return m_selected; }

void COptionUI::SetSelected(bool selected, bool notify)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    SetState(UIControlState::Selected, selected);
    if (m_manager == nullptr) {
        Invalidate();
        return;
    }
    if (!m_group.IsEmpty()) {
        if (!m_selected) {
            Invalidate();
            return;
        }
        UnselectOtherMembers(notify);
    }
    if (notify)
        m_manager->SendNotify(this, L"selectchanged");
    Invalidate();
}

void COptionUI::UnselectOtherMembers(bool notify)
{
    CUIPtrArray* members = m_manager->GetOptionGroup(m_group);
    if (members == nullptr)
        return;
    for (int i = 0; i < members->GetCount(); ++i) {
        auto* member = static_cast<CControlUI*>(members->GetAt(i));
        auto* option = static_cast<COptionUI*>(member->GetInterface(L"Option"));
        if (option != nullptr && option != this)
            option->SetSelected(false, notify);
    }
}

const CUIString& COptionUI::GetGroup() const { return m_group; }

void COptionUI::SetGroup(LPCWSTR name)
{
    const bool named = name != nullptr && name[0] != L'\0';
    if (named ? m_group == name : m_group.IsEmpty())
        return;
    LeaveGroup();
    m_group = named ? name : L"";
    JoinGroup();
}

void COptionUI::JoinGroup()
{
    if (!m_group.IsEmpty() && m_manager != nullptr)
        m_manager->AddOptionGroup(m_group, this);
}

void COptionUI::LeaveGroup()
{
    if (!m_group.IsEmpty() && m_manager != nullptr)
        m_manager->RemoveOptionGroup(m_group, this);
}

// ---- Images and colours ---------------------------------------------------------

void COptionUI::SetSelectedImage(LPCWSTR image) { SetStateImage(m_selectedImage, image); }
void COptionUI::SetSelectedHotImage(LPCWSTR image) { SetStateImage(m_selectedHotImage, image); }
void COptionUI::SetForeImage(LPCWSTR image) { SetStateImage(m_optionForeImage, image); }

DWORD COptionUI::GetSelectedBkColor() const { return m_selectedBkColor; }
void COptionUI::SetSelectedBkColor(DWORD color) { m_selectedBkColor = color; }
DWORD COptionUI::GetSelectedTextColor() const { return m_selectedTextColor; }
void COptionUI::SetSelectedTextColor(DWORD color) { m_selectedTextColor = color; }

// ---- Painting -------------------------------------------------------------------

template <class PaintStep>
void COptionUI::PaintAsUnpushedButton(PaintStep paint)
{
    const bool pushed = HasState(UIControlState::Pushed);
    SetState(UIControlState::Pushed, false);
    paint();
    SetState(UIControlState::Pushed, pushed);
}

void COptionUI::PaintBkColor(HDC hdc)
{
    if (PaintFocusedOrHotBkColor(hdc))
        return;
    if (IsEnabled() && m_selected && m_selectedBkColor != 0)
        FillStateBkColor(hdc, m_selectedBkColor);
    else
        CLabelUI::PaintBkColor(hdc);
}

void COptionUI::PaintStatusImage(HDC hdc)
{
    if (IsEnabled() && m_selected) {
        const bool drawn =
            (HasState(UIControlState::Hot) && DrawImage(hdc, m_selectedHotImage)) || DrawImage(hdc, m_selectedImage);
        if (drawn) {
            DrawImage(hdc, m_optionForeImage);
            return;
        }
    }
    PaintAsUnpushedButton([&] { CButtonUI::PaintStatusImage(hdc); });
    DrawImage(hdc, m_optionForeImage);
}

void COptionUI::PaintText(HDC hdc)
{
    if (!IsEnabled() || !m_selected) {
        PaintAsUnpushedButton([&] { CButtonUI::PaintText(hdc); });
        return;
    }
    TakeDefaultTextColors();
    DrawStateText(hdc, m_selectedTextColor != 0 ? m_selectedTextColor : m_textColor);
}

// ---- Check box ------------------------------------------------------------------

LPCWSTR CCheckBoxUI::GetClass() const { return L"CheckBox"; }

void* CCheckBoxUI::GetInterface(LPCWSTR name)
{
    if (IsNamed(name, L"CheckBox"))
        return this;
    return COptionUI::GetInterface(name);
}

bool CCheckBoxUI::GetCheck() const { return IsSelected(); }

}  // namespace CalUI
