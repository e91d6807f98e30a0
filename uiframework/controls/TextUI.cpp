// The text with links.

#include "controls/TextUI.h"

#include <algorithm>
#include <cwchar>

#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

CTextUI::CTextUI()
{
    m_textStyle = DT_WORDBREAK;
    m_textPadding = RECT{2, 0, 2, 0};
}

CTextUI::~CTextUI() = default;

LPCWSTR CTextUI::GetClass() const { return L"Text"; }

void* CTextUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, L"Text") == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

UIControlFlag CTextUI::GetControlFlags() const
{
    return IsEnabled() && m_linkCount > 0 ? UIControlFlag::SetCursor : UIControlFlag::None;
}

int CTextUI::GetLinkCount() const { return m_linkCount; }

RECT CTextUI::GetLinkRect(int index) const
{
    if (index < 0 || index >= m_linkCount)
        return RECT{0, 0, 0, 0};
    return m_linkRects[index];
}

int CTextUI::LinkAt(POINT pt) const
{
    for (int i = 0; i < m_linkCount; ++i) {
        if (::PtInRect(&m_linkRects[i], pt))
            return i;
    }
    return -1;
}

void CTextUI::OnEvent(UIEvent& event)
{
    if (IsMouseEvent(event.type) && !IsMouseEnabled()) {
        if (m_parent != nullptr)
            m_parent->OnEvent(event);
        else
            CLabelUI::OnEvent(event);
        return;
    }
    if (!OnLinkMouseEvent(event))
        CLabelUI::OnEvent(event);
}

// True when the event was about the links and is used up.
bool CTextUI::OnLinkMouseEvent(UIEvent& event)
{
    const int link = LinkAt(event.mousePoint);
    switch (event.type) {
    case UIEventType::SetCursor:
        if (link < 0)
            return false;
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return true;
    case UIEventType::ButtonDown:
    case UIEventType::DoubleClick:
        if (link < 0 || (event.type == UIEventType::DoubleClick && !IsEnabled()))
            return false;
        Invalidate();
        return true;
    case UIEventType::ButtonUp:
        // The release decides: a press on one link and a release on another
        // reports the second.
        if (link < 0 || !IsEnabled())
            return false;
        if (m_manager != nullptr)
            m_manager->SendNotify(this, L"link", static_cast<WPARAM>(link), 0);
        return true;
    case UIEventType::ContextMenu:
        return true;
    case UIEventType::MouseMove:
        if (!IsEnabled() || m_linkCount == 0 || link == m_hoveredLink)
            return false;
        m_hoveredLink = link;
        Invalidate();
        return true;
    case UIEventType::MouseLeave:
        if (!IsEnabled() || m_linkCount == 0 || m_hoveredLink < 0)
            return false;
        if (m_hoveredLink < m_linkCount && ::PtInRect(&m_linkRects[m_hoveredLink], event.mousePoint)) {
            // Another control took the hover but the mouse is still on the
            // link: ask to hear the next leave as well.
            if (m_manager != nullptr)
                m_manager->AddMouseLeaveNeeded(this);
            return true;
        }
        m_hoveredLink = -1;
        Invalidate();
        if (m_manager != nullptr)
            m_manager->RemoveMouseLeaveNeeded(this);
        return false;
    default:
        return false;
    }
}

void CTextUI::PaintText(HDC hdc)
{
    if (m_text.IsEmpty()) {
        m_linkCount = 0;
        return;
    }
    TakeDefaultTextColors();
    RECT rc = GetTextRect();
    const DWORD color = IsEnabled() ? m_textColor : m_disabledTextColor;
    if (!m_showHtml) {
        CSkinPainter::DrawPlainText(hdc, m_manager, rc, m_text, color, m_font, m_textStyle);
        m_linkCount = 0;
        return;
    }
    // The markup colours a link the mouse is over in the previous paint's
    // rectangles: only this text's current links may count, and none while
    // it is disabled.
    if (!IsEnabled())
        m_linkCount = 0;
    ForgetLinks();
    m_linkCount = kMaxLinks;
    CSkinPainter::DrawMarkupText(hdc, m_manager, rc, m_text, color, m_linkRects, m_linkTexts, m_linkCount, m_font,
                                 m_textStyle);
    // The count is of every link met, also those beyond the entries filled.
    m_linkCount = std::min(m_linkCount, kMaxLinks);
}

// Empties the entries past the link count, which older paints left behind.
void CTextUI::ForgetLinks()
{
    for (int i = m_linkCount; i < kMaxLinks; ++i) {
        m_linkRects[i] = RECT{0, 0, 0, 0};
        m_linkTexts[i].Empty();
    }
}

}  // namespace CalUI
