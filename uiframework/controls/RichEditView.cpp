// The rich edit's layout, painting and scrolling. The engine owns the text's
// layout and scroll position; the control gives it the client rectangle,
// draws it, and turns every scroll operation into a scroll message.

#include "controls/RichEditUI.h"
#include "core/ScrollBarUI.h"
#include "core/ClipGuard.h"
#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

RECT Shrink(RECT rc, const RECT& by)
{
    rc.left += by.left;
    rc.top += by.top;
    rc.right -= by.right;
    rc.bottom -= by.bottom;
    return rc;
}

bool Meets(const RECT& a, const RECT& b)
{
    RECT common;
    return ::IntersectRect(&common, &a, &b) != FALSE;
}

int Clamp(int value, int low, int high) { return value < low ? low : (value > high ? high : value); }

}  // namespace

// ---- Layout ----------------------------------------------------------------------------------

bool CRichEditUI::NeedsForcedVerticalBar(int width, int height) const
{
    SIZEL extent = {-1, -1};
    LONG naturalWidth = width;
    LONG naturalHeight = 0;
    m_host->GetTextServices()->TxGetNaturalSize(DVASPECT_CONTENT, m_manager->GetPaintDC(), nullptr, nullptr,
                                                TXTNS_FITTOCONTENT, &extent, &naturalWidth, &naturalHeight);
    return naturalHeight > height;
}

void CRichEditUI::SetPos(RECT rc, bool invalidate)
{
    if (m_horizontalScrollBar != nullptr && m_horizontalScrollBar->IsVisible() &&
        rc.right - rc.left != m_pos.right - m_pos.left)
        m_horizontalScrollBar->SetScrollRange(0);
    if (m_verticalScrollBar != nullptr && m_verticalScrollBar->IsVisible() &&
        rc.bottom - rc.top != m_pos.bottom - m_pos.top)
        m_verticalScrollBar->SetScrollRange(0);
    CControlUI::SetPos(rc, invalidate);

    RECT inner = Shrink(m_pos, m_inset);
    RECT view = inner;
    const bool hadVerticalBar = m_verticalScrollBar != nullptr && m_verticalScrollBar->IsVisible();
    if (hadVerticalBar) {
        inner.top -= m_verticalScrollBar->GetScrollPos();
        inner.bottom -= m_verticalScrollBar->GetScrollPos();
        inner.bottom += m_verticalScrollBar->GetScrollRange();
        inner.right -= m_verticalScrollBar->GetFixedWidth();
        view.right -= m_verticalScrollBar->GetFixedWidth();
    }
    if (m_horizontalScrollBar != nullptr && m_horizontalScrollBar->IsVisible()) {
        inner.left -= m_horizontalScrollBar->GetScrollPos();
        inner.right -= m_horizontalScrollBar->GetScrollPos();
        inner.right += m_horizontalScrollBar->GetScrollRange();
        inner.bottom -= m_horizontalScrollBar->GetFixedHeight();
        view.bottom -= m_horizontalScrollBar->GetFixedHeight();
    }
    if (m_host != nullptr && m_manager != nullptr) {
        m_host->SetClientRect(Shrink(view, m_textPadding));
        const RECT text = Shrink(inner, m_textPadding);
        if (hadVerticalBar && (!m_verticalScrollBar->IsVisible() || m_vscrollForced)) {
            const int width = text.right - text.left + m_verticalScrollBar->GetFixedWidth();
            if (NeedsForcedVerticalBar(width, text.bottom - text.top)) {
                m_verticalScrollBar->SetVisible(true);
                m_verticalScrollBar->SetScrollPos(0, true);
                m_vscrollForced = true;
            } else if (m_vscrollForced) {
                m_verticalScrollBar->SetVisible(false);
                m_vscrollForced = false;
            }
        }
    }
    if (m_verticalScrollBar != nullptr && m_verticalScrollBar->IsVisible()) {
        m_verticalScrollBar->SetPos(
            RECT{view.right, view.top, view.right + m_verticalScrollBar->GetFixedWidth(), view.bottom}, false);
    }
    if (m_horizontalScrollBar != nullptr && m_horizontalScrollBar->IsVisible()) {
        m_horizontalScrollBar->SetPos(
            RECT{view.left, view.bottom, view.right, view.bottom + m_horizontalScrollBar->GetFixedHeight()}, false);
    }
    LayoutChildren(inner);
}

void CRichEditUI::LayoutChildren(const RECT& rc)
{
    for (int i = 0; i < m_items.GetCount(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible())
            continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        const int width = Clamp(rc.right - rc.left, child->GetMinWidth(), child->GetMaxWidth());
        const int height = Clamp(rc.bottom - rc.top, child->GetMinHeight(), child->GetMaxHeight());
        child->SetPos(RECT{rc.left, rc.top, rc.left + width, rc.top + height}, false);
    }
}

void CRichEditUI::Move(SIZE offset, bool invalidate)
{
    CContainerUI::Move(offset, invalidate);
    if (m_host == nullptr)
        return;
    RECT rc = Shrink(Shrink(m_pos, m_inset), m_textPadding);
    if (m_verticalScrollBar != nullptr && m_verticalScrollBar->IsVisible())
        rc.right -= m_verticalScrollBar->GetFixedWidth();
    if (m_horizontalScrollBar != nullptr && m_horizontalScrollBar->IsVisible())
        rc.bottom -= m_horizontalScrollBar->GetFixedHeight();
    m_host->SetClientRect(rc);
}

// ---- Painting --------------------------------------------------------------------------------

bool CRichEditUI::OnPaint(HDC hdc, const RECT& paint, CControlUI* stopControl)
{
    RECT area;
    if (!::IntersectRect(&area, &paint, &m_pos))
        return true;
    CClipGuard clip;
    CClipGuard::ClipRect(hdc, area, clip);
    CControlUI::OnPaint(hdc, paint, stopControl);
    if (m_host != nullptr) {
        const RECT client = m_host->GetClientRect();
        const RECTL bounds = {client.left, client.top, client.right, client.bottom};
        RECT update = paint;
        // The engine draws a scrolled line's part above the text area too.
        CClipGuard textClip;
        CClipGuard::ClipRect(hdc, client, textClip);
        m_host->GetTextServices()->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, hdc, nullptr, &bounds, nullptr,
                                          &update, nullptr, 0, TXTVIEW_ACTIVE);
        if (m_vscrollForced && m_verticalScrollBar != nullptr) {
            const int width = client.right - client.left + m_verticalScrollBar->GetFixedWidth();
            if (!NeedsForcedVerticalBar(width, client.bottom - client.top))
                RequestUpdate();
        }
        PaintTip(hdc);
    }
    if (!PaintChildren(hdc, paint, stopControl))
        return false;
    PaintCaret(hdc);
    return PaintBars(hdc, paint, stopControl);
}

void CRichEditUI::PaintTip(HDC hdc)
{
    if (m_tipValue.IsEmpty() || GetTextLength(GTL_DEFAULT) != 0)
        return;
    RECT rc = m_host->GetClientRect();
    if (IsMultiLine())
        rc = Shrink(rc, m_textPadding);
    CSkinPainter::DrawPlainText(hdc, m_manager, rc, m_tipValue, m_tipColor, m_fontId, DT_VCENTER);
}

void CRichEditUI::PaintCaret(HDC hdc)
{
    if (m_host == nullptr || !m_host->IsCaretShown() || m_manager == nullptr || !m_manager->IsLayered() ||
        !IsFocused() || !m_drawCaret)
        return;
    POINT caret = {0, 0};
    GetCaretPos(&caret);
    if (!PtInRect(&m_pos, caret))
        return;
    CSkinPainter::DrawLineSegment(hdc, RECT{caret.x, caret.y, caret.x, caret.y + m_host->GetCaretHeight()},
                                  m_host->GetCaretWidth(), m_textColor, PS_SOLID);
}

bool CRichEditUI::PaintBars(HDC hdc, const RECT& paint, CControlUI* stopControl)
{
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

void CRichEditUI::PaintStatusImage(HDC hdc)
{
    if (IsFocused()) {
        if (DrawImage(hdc, m_focusedImage))
            return;
    }
    if (!IsEnabled())
        DrawImage(hdc, m_disabledImage);
}

// ---- Scrolling -------------------------------------------------------------------------------

void CRichEditUI::SendScroll(UINT message, WORD code, WORD position)
{
    LRESULT ignored = 0;
    SendTextMessage(message, MAKEWPARAM(code, position), 0, &ignored);
}

void CRichEditUI::SetScrollPos(SIZE pos, bool notify)
{
    int dx = 0;
    int dy = 0;
    if (m_verticalScrollBar != nullptr && m_verticalScrollBar->IsVisible()) {
        const int old = m_verticalScrollBar->GetScrollPos();
        m_verticalScrollBar->SetScrollPos(pos.cy, notify);
        dy = m_verticalScrollBar->GetScrollPos() - old;
    }
    if (m_horizontalScrollBar != nullptr && m_horizontalScrollBar->IsVisible()) {
        const int old = m_horizontalScrollBar->GetScrollPos();
        m_horizontalScrollBar->SetScrollPos(pos.cx, notify);
        dx = m_horizontalScrollBar->GetScrollPos() - old;
    }
    if (dy != 0) {
        // The engine may stop short of the bar's end in plain text; the bar
        // then stays where the user put it instead of jumping back.
        const bool keepBar = !m_rich && m_host != nullptr && m_verticalScrollBar->IsVisible();
        const int kept = keepBar ? m_verticalScrollBar->GetScrollPos() : 0;
        SendScroll(WM_VSCROLL, SB_THUMBPOSITION, static_cast<WORD>(m_verticalScrollBar->GetScrollPos()));
        if (keepBar && dy > 0 && m_verticalScrollBar->GetScrollPos() <= kept)
            m_verticalScrollBar->SetScrollPos(kept, notify);
    }
    if (dx != 0)
        SendScroll(WM_HSCROLL, SB_THUMBPOSITION, static_cast<WORD>(m_horizontalScrollBar->GetScrollPos()));
}

void CRichEditUI::LineUp() { SendScroll(WM_VSCROLL, SB_LINEUP); }

void CRichEditUI::LineDown()
{
    const bool watchBar =
        !m_rich && m_host != nullptr && m_verticalScrollBar != nullptr && m_verticalScrollBar->IsVisible();
    const int before = watchBar ? m_verticalScrollBar->GetScrollPos() : 0;
    SendScroll(WM_VSCROLL, SB_LINEDOWN);
    if (watchBar && m_verticalScrollBar->GetScrollPos() <= before)
        m_verticalScrollBar->SetScrollPos(m_verticalScrollBar->GetScrollRange(), true);
}

void CRichEditUI::PageUp() { SendScroll(WM_VSCROLL, SB_PAGEUP); }
void CRichEditUI::PageDown() { SendScroll(WM_VSCROLL, SB_PAGEDOWN); }
void CRichEditUI::ScrollToTop() { SendScroll(WM_VSCROLL, SB_TOP); }
void CRichEditUI::ScrollToBottom() { SendScroll(WM_VSCROLL, SB_BOTTOM); }
void CRichEditUI::LineLeft() { SendScroll(WM_HSCROLL, SB_LINELEFT); }
void CRichEditUI::LineRight() { SendScroll(WM_HSCROLL, SB_LINERIGHT); }
void CRichEditUI::PageLeft() { SendScroll(WM_HSCROLL, SB_PAGELEFT); }
void CRichEditUI::PageRight() { SendScroll(WM_HSCROLL, SB_PAGERIGHT); }
void CRichEditUI::ScrollToLeft() { SendScroll(WM_HSCROLL, SB_LEFT); }
void CRichEditUI::ScrollToRight() { SendScroll(WM_HSCROLL, SB_RIGHT); }

}  // namespace CalUI
