// Text with inline tags: one-letter tags in <> or {} for colour, bold,
// italic, underline, named fonts, links, images, paragraphs, line heights,
// vertical alignment, selection, raw sections, line breaks and skips. Each
// line is measured first and then drawn, so that its height and width are
// known before its first character is drawn.

#include "core/SkinPainter.h"

#include <algorithm>
#include <cwchar>
#include <vector>

#include "core/AttributeValues.h"
#include "core/ClipGuard.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

constexpr int kAlignTop = 0;
constexpr int kAlignCenter = 4;
constexpr int kAlignBottom = 8;

// Fonts added for tag variants get ids from here on, for the whole process.
int g_nextMarkupFontId = 30000;

bool IsTagLetter(WCHAR ch) { return ch >= L'a' && ch <= L'z'; }

bool IsAsciiLetter(WCHAR ch) { return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z'); }

bool IsTagClose(WCHAR ch) { return ch == L'>' || ch == L'}'; }

bool IsTagOpen(WCHAR ch) { return ch == L'<' || ch == L'{'; }

// Past the next '>' or '}', or at the end of the text.
LPCWSTR AfterTagClose(LPCWSTR p)
{
    while (*p != 0 && !IsTagClose(*p))
        ++p;
    return *p != 0 ? p + 1 : p;
}

bool IsRawEnd(LPCWSTR p) { return IsTagOpen(p[0]) && p[1] == L'/' && p[2] == L'r'; }

// "<{>" and "<}>" stand for a brace, "{<}" and "{>}" for an angle bracket.
WCHAR EscapedBracket(LPCWSTR p)
{
    if (p[0] == L'<' && (p[1] == L'{' || p[1] == L'}') && p[2] == L'>')
        return p[1];
    if (p[0] == L'{' && (p[1] == L'<' || p[1] == L'>') && p[2] == L'}')
        return p[1];
    return 0;
}

struct MarkupTag
{
    WCHAR letter = 0;
    bool closing = false;
    CUIString argument;  // what follows the letter's blank, up to the closing character
    LPCWSTR next = nullptr;
};

bool ReadTag(LPCWSTR p, MarkupTag& tag)
{
    if (!IsTagOpen(p[0]))
        return false;
    if (p[1] == L'/' && IsTagLetter(p[2])) {
        tag.letter = p[2];
        tag.closing = true;
        tag.next = AfterTagClose(p + 3);
        return true;
    }
    if (!IsTagLetter(p[1]) || (p[2] != L' ' && !IsTagClose(p[2])))
        return false;
    tag.letter = p[1];
    tag.closing = false;
    LPCWSTR argument = p[2] == L' ' ? p + 3 : p + 2;
    LPCWSTR end = argument;
    while (*end != 0 && !IsTagClose(*end))
        ++end;
    tag.argument.Assign(argument, static_cast<int>(end - argument));
    tag.next = *end != 0 ? end + 1 : end;
    return true;
}

bool IsBlankText(LPCWSTR text)
{
    while (*text == L' ' || *text == L'\t')
        ++text;
    return *text == 0;
}

COLORREF RgbOf(DWORD argb) { return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }

// The part of the renderer's state that a line's measuring pass changes and
// its drawing pass starts from again.
struct LineState
{
    LPCWSTR position = nullptr;
    std::vector<FontInfo*> fonts;
    std::vector<COLORREF> colors;
    std::vector<int> spacings;
    std::vector<int> alignments;
    bool raw = false;
    bool selection = false;
    bool inLink = false;
    POINT linkStart = {0, 0};
    CUIString linkText;
    int linkIndex = 0;
};

enum class Pass
{
    Measure,
    Draw
};

class MarkupRenderer
{
public:
    MarkupRenderer(HDC dc, CWindowManagerUI* manager, const RECT& box, COLORREF color, RECT* linkRects,
                   CUIString* linkTexts, int linkEntries, int fontId, UINT format)
        : m_dc(dc),
          m_manager(manager),
          m_box(box),
          m_baseColor(color),
          m_linkRects(linkRects),
          m_linkTexts(linkTexts),
          m_linkEntries(linkEntries),
          m_baseFont(manager->GetFontInfo(fontId)),
          m_format(format),
          m_measuring((format & DT_CALCRECT) != 0)
    {
        FindHoveredLink();
    }

    void Render(LPCWSTR text);

    // Measuring mode: the box down to the last line or image, and no wider
    // than the widest position reached.
    RECT MeasuredBox() const
    {
        RECT measured = m_box;
        measured.bottom = std::max(m_lastLineBottom, m_lastImageBottom);
        measured.right = std::min(static_cast<int>(m_box.right), m_widest);
        return measured;
    }

    int LinkCount() const { return m_state.linkIndex; }

private:
    bool Single() const { return (m_format & DT_SINGLELINE) != 0; }
    bool Drawing() const { return m_pass == Pass::Draw; }
    bool Recording() const { return m_pass == Pass::Measure; }

    void FindHoveredLink();
    void RenderLine();
    void ProcessLine();
    void EndLineLinks();

    // Placing text; each returns true when the line ends after it.
    bool PlaceText(LPCWSTR lineStart);
    bool PlaceRun(LPCWSTR chars, int length, bool atLineStart, int& consumed);
    int TextTop();

    bool PlaceImage(const CUIString& argument);

    // Tags; each returns true when the line ends at it.
    bool HandleTag(const MarkupTag& tag);
    bool HandleOpening(const MarkupTag& tag);
    bool HandleClosing(const MarkupTag& tag);
    void StartLink(const CUIString& text);
    void EndLink();
    void PushStyleVariant(bool bold, bool underline, bool italic);
    void PushNamedFont(const CUIString& argument);
    FontInfo* FindOrAddFont(LPCWSTR face, int size, bool bold, bool underline, bool italic, bool strikeout);

    // The current font, colour, paragraph spacing and alignment.
    FontInfo* CurrentFont() const { return m_state.fonts.empty() ? m_baseFont : m_state.fonts.back(); }
    const TEXTMETRICW& Metrics(FontInfo* font);
    int FontHeight();
    int TopSpacing() const { return m_state.spacings.empty() ? 0 : m_state.spacings.back(); }
    int Alignment() const { return m_state.alignments.empty() ? kAlignBottom : m_state.alignments.back(); }
    void PushFont(FontInfo* font);
    void PopFont();
    void SelectCurrentFont();
    void PushColor(COLORREF color);
    void PopColor();
    void ApplySelection();
    void RaiseLineHeight(int height);
    void Advance(int width);

    HDC m_dc;
    CWindowManagerUI* m_manager;
    RECT m_box;
    COLORREF m_baseColor;
    RECT* m_linkRects;
    CUIString* m_linkTexts;
    int m_linkEntries;
    FontInfo* m_baseFont;
    UINT m_format;
    bool m_measuring;

    bool m_hasHoveredLink = false;
    CUIString m_hoveredLinkText;

    LineState m_state;
    Pass m_pass = Pass::Measure;
    int m_x = 0;
    int m_y = 0;
    int m_lineHeight = 0;
    int m_lineWidth = 0;
    int m_shift = 0;
    int m_lineLinkFirst = 0;
    int m_widest = 0;
    int m_lastLineBottom = 0;
    int m_lastImageBottom = 0;
};

void MarkupRenderer::FindHoveredLink()
{
    const POINT mouse = m_manager->GetMousePos();
    for (int i = 0; i < m_linkEntries; ++i) {
        if (PtInRect(&m_linkRects[i], mouse)) {
            m_hasHoveredLink = true;
            m_hoveredLinkText = m_linkTexts[i];
            return;
        }
    }
}

const TEXTMETRICW& MarkupRenderer::Metrics(FontInfo* font)
{
    if (font->textMetrics.tmHeight == 0) {
        HGDIOBJ old = SelectObject(m_dc, font->font);
        GetTextMetricsW(m_dc, &font->textMetrics);
        SelectObject(m_dc, old);
    }
    return font->textMetrics;
}

int MarkupRenderer::FontHeight()
{
    const TEXTMETRICW& metrics = Metrics(CurrentFont());
    return metrics.tmHeight + metrics.tmExternalLeading;
}

void MarkupRenderer::Render(LPCWSTR text)
{
    m_state.position = text;
    SelectCurrentFont();
    SetBkMode(m_dc, TRANSPARENT);
    SetTextColor(m_dc, m_baseColor);
    SetBkColor(m_dc, RgbOf(m_manager->GetDefaultSelectedBkColor()));
    m_x = m_box.left;
    m_y = m_box.top;
    m_lineHeight = FontHeight();
    while (*m_state.position != 0) {
        RenderLine();
        if (Single())
            break;
        m_x = m_box.left;
        m_y += m_lineHeight;
        if (!m_measuring && m_y >= m_box.bottom)
            break;
        m_lineHeight = FontHeight() + TopSpacing();
    }
}

void MarkupRenderer::RenderLine()
{
    const LineState start = m_state;
    m_pass = Pass::Measure;
    m_shift = 0;
    ProcessLine();
    m_lastLineBottom = m_y + m_lineHeight;
    if (m_measuring)
        return;

    m_state = start;
    m_x = m_box.left;
    SelectCurrentFont();
    SetTextColor(m_dc, m_state.colors.empty() ? m_baseColor : m_state.colors.back());
    ApplySelection();
    if (!Single()) {
        const int boxWidth = m_box.right - m_box.left;
        if ((m_format & DT_CENTER) != 0)
            m_shift = (boxWidth - m_lineWidth) / 2;
        else if ((m_format & DT_RIGHT) != 0)
            m_shift = boxWidth - m_lineWidth;
    }
    m_pass = Pass::Draw;
    ProcessLine();
}

void MarkupRenderer::ProcessLine()
{
    const LPCWSTR lineStart = m_state.position;
    m_lineLinkFirst = m_state.linkIndex;
    m_lineWidth = 0;
    for (;;) {
        LPCWSTR& p = m_state.position;
        if (*p == 0)
            break;
        if (*p == L'\n') {
            ++p;
            break;
        }
        if (m_state.raw && IsRawEnd(p)) {
            m_state.raw = false;
            p = AfterTagClose(p + 3);
            continue;
        }
        MarkupTag tag;
        if (!m_state.raw && EscapedBracket(p) == 0 && ReadTag(p, tag)) {
            if (HandleTag(tag))
                break;
            continue;
        }
        if (PlaceText(lineStart))
            break;
    }
    EndLineLinks();
}

// A link still open at the line's end goes on in the next line under the same
// text; every rectangle of this line reaches down to the line's bottom.
void MarkupRenderer::EndLineLinks()
{
    const int lineBottom = m_y + m_lineHeight;
    if (m_state.inLink) {
        if (Recording() && m_state.linkIndex < m_linkEntries) {
            m_linkRects[m_state.linkIndex] = RECT{m_state.linkStart.x, m_state.linkStart.y,
                                                  std::min(m_x, static_cast<int>(m_box.right)), lineBottom};
            if (m_state.linkIndex + 1 < m_linkEntries)
                m_linkTexts[m_state.linkIndex + 1] = m_state.linkText;
        }
        ++m_state.linkIndex;
        m_state.linkStart = POINT{m_box.left, lineBottom};
    }
    if (Recording())
        for (int i = m_lineLinkFirst; i < std::min(m_state.linkIndex, m_linkEntries); ++i)
            m_linkRects[i].bottom = lineBottom;
}

bool MarkupRenderer::PlaceText(LPCWSTR lineStart)
{
    LPCWSTR& p = m_state.position;
    const bool atLineStart = p == lineStart;
    int consumed = 0;
    bool lineEnds;
    if (WCHAR escaped = EscapedBracket(p); escaped != 0 && !m_state.raw) {
        lineEnds = PlaceRun(&escaped, 1, atLineStart, consumed);
        p += consumed * 3;
        return lineEnds;
    }
    int length = 1;
    if (*p != L' ' || m_state.raw) {
        while (p[length] != 0 && p[length] != L'\n' && !(m_state.raw ? IsRawEnd(p + length) : IsTagOpen(p[length])))
            ++length;
    }
    lineEnds = PlaceRun(p, length, atLineStart, consumed);
    p += consumed;
    return lineEnds;
}

// Places as much of the run as fits before the right edge. A run that
// overflows keeps at least its first character, goes back to its last word
// boundary with DT_WORDBREAK and makes room for "..." with DT_END_ELLIPSIS;
// a line never ends without having consumed something.
bool MarkupRenderer::PlaceRun(LPCWSTR chars, int length, bool atLineStart, int& consumed)
{
    const int room = m_box.right - m_x;
    SIZE size = {0, 0};
    bool overflows = false;
    int count = length;
    int fit = length;
    // Only a run that may reach the edge needs to know how much of it fits.
    if (m_x + length * Metrics(CurrentFont()).tmMaxCharWidth >= m_box.right) {
        GetTextExtentExPointW(m_dc, chars, length, std::max(room, 0), &fit, nullptr, &size);
        overflows = size.cx > room;
    } else {
        GetTextExtentPoint32W(m_dc, chars, length, &size);
    }
    if (overflows) {
        count = std::max(fit, 1);
        int boundary = 0;
        for (int i = 0; i < fit; ++i)
            if (!IsAsciiLetter(chars[i]))
                boundary = i + 1;
        if ((m_format & DT_WORDBREAK) != 0 && boundary > 0)
            count = boundary;
        if ((m_format & DT_END_ELLIPSIS) != 0)
            count = std::max(count - 2, 0);
        if (count == 0 && atLineStart)
            count = 1;
        GetTextExtentPoint32W(m_dc, chars, count, &size);
    }
    consumed = count;
    if (Drawing()) {
        const int top = TextTop();
        if (count > 0)
            TextOutW(m_dc, m_x + m_shift, top, chars, count);
        if (overflows && (m_format & DT_END_ELLIPSIS) != 0)
            TextOutW(m_dc, m_x + m_shift + size.cx, top, L"...", 3);
    }
    if (overflows && (m_format & DT_END_ELLIPSIS) != 0)
        Advance(m_box.right - m_x);
    else
        Advance(size.cx);
    return overflows || m_x >= m_box.right;
}

// An image name with an optional frame count and index, or an image
// attribute string naming a file or resource.
struct InlineImage
{
    CUIString name;
    CUIString type;
    int frames = 1;
    int index = 0;

    explicit InlineImage(const CUIString& argument)
    {
        if (argument.Find(L"file='") >= 0 || argument.Find(L"res='") >= 0) {
            ImageDrawInfo info;
            info.attributeText = argument;
            type = info.Parse().resourceType;
            name = info.imageName;
            return;
        }
        LPCWSTR p = argument;
        while (*p == L' ')
            ++p;
        LPCWSTR nameEnd = p;
        while (*nameEnd != 0 && *nameEnd != L' ')
            ++nameEnd;
        name.Assign(p, static_cast<int>(nameEnd - p));
        LPWSTR end = nullptr;
        frames = std::max(1, static_cast<int>(wcstol(nameEnd, &end, 10)));
        index = static_cast<int>(wcstol(end, nullptr, 10));
        if (index < 0 || index >= frames)
            index = 0;
    }
};

// An image that does not fit ends the line unless it starts one or the text
// is a single line.
bool MarkupRenderer::PlaceImage(const CUIString& argument)
{
    const InlineImage inlineImage(argument);
    LoadedImage* image = m_manager->GetOrAddImage(
        inlineImage.name, inlineImage.type.IsEmpty() ? nullptr : static_cast<LPCWSTR>(inlineImage.type), 0, false);
    if (image == nullptr)
        return false;
    const int frameWidth = image->width / inlineImage.frames;
    const int frameHeight = image->height;
    if (m_x + frameWidth > m_box.right && m_x != m_box.left && !Single())
        return true;
    RaiseLineHeight(frameHeight);
    if (Drawing()) {
        int bottom = m_y + m_lineHeight;
        if (frameHeight < m_lineHeight && Alignment() == kAlignCenter)
            bottom -= (m_lineHeight - frameHeight) / 2;
        else if (frameHeight < m_lineHeight && Alignment() == kAlignTop)
            bottom = m_y + frameHeight;
        const RECT dest = {m_x + m_shift, bottom - frameHeight, m_x + m_shift + frameWidth, bottom};
        const RECT source = {frameWidth * inlineImage.index, 0, frameWidth * (inlineImage.index + 1), frameHeight};
        CSkinPainter::DrawBitmap(m_dc, image->bitmap, dest, m_box, source, RECT{0, 0, 0, 0}, image->alpha);
    }
    Advance(frameWidth);
    m_lastImageBottom = m_y + frameHeight;
    return false;
}

int MarkupRenderer::TextTop()
{
    const int free = m_lineHeight - FontHeight();
    switch (Alignment()) {
    case kAlignTop:
        return m_y;
    case kAlignCenter:
        return m_y + free / 2;
    default:
        return m_y + free;
    }
}

void MarkupRenderer::Advance(int width)
{
    m_x += width;
    m_widest = std::max(m_widest, m_x);
    m_lineWidth = m_x - m_box.left;
}

void MarkupRenderer::RaiseLineHeight(int height)
{
    if (Recording())
        m_lineHeight = std::max(m_lineHeight, height);
}

bool MarkupRenderer::HandleTag(const MarkupTag& tag) { return tag.closing ? HandleClosing(tag) : HandleOpening(tag); }

bool MarkupRenderer::HandleOpening(const MarkupTag& tag)
{
    LPCWSTR& p = m_state.position;
    const CUIString& argument = tag.argument;
    switch (tag.letter) {
    case L'p':
        // A paragraph starts its own line: the tag waits for the next one.
        if (m_x != m_box.left)
            return true;
        m_state.spacings.push_back(_wtoi(argument));
        RaiseLineHeight(TopSpacing() + FontHeight());
        break;
    case L'n':
        p = tag.next;
        return true;
    case L'a':
        StartLink(argument);
        break;
    case L'b':
        PushStyleVariant(true, false, false);
        break;
    case L'u':
        PushStyleVariant(false, true, false);
        break;
    case L'i':
        if (IsBlankText(argument))
            PushStyleVariant(false, false, true);
        else if (PlaceImage(argument))
            return true;  // tried again at the start of the next line
        break;
    case L'c':
        PushColor(CSkinPainter::ToDrawingColor(ParseColorValue(argument)));
        break;
    case L'f':
        PushNamedFont(argument);
        break;
    case L'r':
        m_state.raw = true;
        break;
    case L's':
        m_state.selection = !m_state.selection;
        ApplySelection();
        break;
    case L'v':
        m_state.alignments.push_back(argument.CompareNoCase(L"center") == 0 ? kAlignCenter
                                     : argument.CompareNoCase(L"top") == 0  ? kAlignTop
                                                                            : kAlignBottom);
        break;
    case L'x':
        Advance(_wtoi(argument));
        break;
    case L'y':
        if (Recording())
            m_lineHeight = _wtoi(argument);
        break;
    default:
        break;
    }
    p = tag.next;
    return false;
}

bool MarkupRenderer::HandleClosing(const MarkupTag& tag)
{
    m_state.position = tag.next;
    switch (tag.letter) {
    case L'a':
        EndLink();
        PopFont();
        break;
    case L'b':
    case L'f':
    case L'i':
    case L'u':
        PopFont();
        break;
    case L'c':
        PopColor();
        break;
    case L'p': {
        const bool endsLine = m_x != m_box.left;
        if (!m_state.spacings.empty())
            m_state.spacings.pop_back();
        RaiseLineHeight(FontHeight() + TopSpacing());
        return endsLine;
    }
    case L's':
        m_state.selection = !m_state.selection;
        ApplySelection();
        break;
    case L'v':
        if (!m_state.alignments.empty())
            m_state.alignments.pop_back();
        break;
    default:
        break;
    }
    return false;
}

void MarkupRenderer::StartLink(const CUIString& text)
{
    if (Recording() && m_state.linkIndex < m_linkEntries)
        m_linkTexts[m_state.linkIndex] = text;
    const bool hovered = m_hasHoveredLink && m_hoveredLinkText == text;
    PushColor(CSkinPainter::ToDrawingColor(hovered ? m_manager->GetDefaultLinkHoverFontColor()
                                                   : m_manager->GetDefaultLinkFontColor()));
    PushStyleVariant(false, true, false);
    m_state.inLink = true;
    m_state.linkStart = POINT{m_x, m_y};
    m_state.linkText = text;
}

// A closing tag without an open link records nothing.
void MarkupRenderer::EndLink()
{
    if (m_state.inLink) {
        if (Recording() && m_state.linkIndex < m_linkEntries)
            m_linkRects[m_state.linkIndex] = RECT{m_state.linkStart.x, m_state.linkStart.y,
                                                  std::min(m_x, static_cast<int>(m_box.right)), m_y + FontHeight()};
        ++m_state.linkIndex;
        m_state.inLink = false;
    }
    PopColor();
}

void MarkupRenderer::PushStyleVariant(bool bold, bool underline, bool italic)
{
    FontInfo* current = CurrentFont();
    if ((bold && current->bold) || (underline && current->underline) || (italic && current->italic))
        return;
    FontInfo* variant = FindOrAddFont(current->faceName, current->size, current->bold || bold,
                                      current->underline || underline, current->italic || italic, current->strikeout);
    if (variant != nullptr)
        PushFont(variant);
}

// "f" names a font id, or a face with an optional size (10 when absent) and
// any of the words bold, underline, italic and strikeout.
void MarkupRenderer::PushNamedFont(const CUIString& argument)
{
    LPCWSTR p = argument;
    while (*p == L' ')
        ++p;
    if (*p >= L'0' && *p <= L'9') {
        PushFont(m_manager->GetFontInfo(_wtoi(p)));
        return;
    }
    LPCWSTR faceEnd = p;
    while (*faceEnd != 0 && *faceEnd != L' ')
        ++faceEnd;
    const CUIString face(p, static_cast<int>(faceEnd - p));
    LPCWSTR rest = faceEnd;
    while (*rest == L' ')
        ++rest;
    LPWSTR sizeEnd = nullptr;
    int size = static_cast<int>(wcstol(rest, &sizeEnd, 10));
    if (sizeEnd == rest)
        size = 10;
    CUIString styles = sizeEnd;
    styles.MakeLower();
    FontInfo* font = FindOrAddFont(face, size, styles.Find(L"bold") >= 0, styles.Find(L"underline") >= 0,
                                   styles.Find(L"italic") >= 0, styles.Find(L"strikeout") >= 0);
    if (font != nullptr)
        PushFont(font);
}

FontInfo* MarkupRenderer::FindOrAddFont(LPCWSTR face, int size, bool bold, bool underline, bool italic, bool strikeout)
{
    HFONT font = m_manager->FindFont(face, size, bold, underline, italic, strikeout);
    if (font == nullptr)
        font = m_manager->AddFont(g_nextMarkupFontId++, face, size, bold, underline, italic, strikeout, false);
    return font != nullptr ? m_manager->GetFontInfoByHandle(font) : nullptr;
}

void MarkupRenderer::PushFont(FontInfo* font)
{
    m_state.fonts.push_back(font);
    SelectCurrentFont();
}

// Leaving italic text keeps the slanted last letter clear of what follows.
void MarkupRenderer::PopFont()
{
    if (m_state.fonts.empty())
        return;
    FontInfo* leaving = m_state.fonts.back();
    m_state.fonts.pop_back();
    if (leaving->italic && !CurrentFont()->italic) {
        ABC abc = {};
        if (GetCharABCWidthsW(m_dc, L' ', L' ', &abc))
            Advance(abc.abcC / 2);
    }
    SelectCurrentFont();
}

void MarkupRenderer::SelectCurrentFont() { SelectObject(m_dc, CurrentFont()->font); }

void MarkupRenderer::PushColor(COLORREF color)
{
    m_state.colors.push_back(color);
    SetTextColor(m_dc, color);
}

void MarkupRenderer::PopColor()
{
    if (!m_state.colors.empty())
        m_state.colors.pop_back();
    SetTextColor(m_dc, m_state.colors.empty() ? m_baseColor : m_state.colors.back());
}

void MarkupRenderer::ApplySelection() { SetBkMode(m_dc, m_state.selection ? OPAQUE : TRANSPARENT); }

// Moves the box's edges to the measured text for single-line horizontal
// alignment and for vertical alignment.
void AlignBox(HDC dc, CWindowManagerUI* manager, RECT& box, LPCWSTR text, COLORREF color, int fontId, UINT format)
{
    const bool single = (format & DT_SINGLELINE) != 0;
    const int boxWidth = box.right - box.left;
    const int boxHeight = box.bottom - box.top;
    const RECT layout = single ? RECT{0, 0, 9999, 100} : RECT{0, 0, boxWidth, boxHeight};
    MarkupRenderer measurer(dc, manager, layout, color, nullptr, nullptr, 0, fontId, format | DT_CALCRECT);
    measurer.Render(text);
    const RECT measured = measurer.MeasuredBox();
    const int width = measured.right - measured.left;
    const int height = measured.bottom - measured.top;
    if (single && (format & DT_CENTER) != 0) {
        box.left = box.left + boxWidth / 2 - width / 2;
        box.right = box.left + width;
    } else if (single && (format & DT_RIGHT) != 0) {
        box.left = box.right - width;
    }
    if ((format & DT_VCENTER) != 0) {
        box.top = box.top + boxHeight / 2 - height / 2;
        box.bottom = box.top + height;
    } else if ((format & DT_BOTTOM) != 0) {
        box.top = box.bottom - height;
    }
}

}  // namespace

void CSkinPainter::DrawMarkupText(HDC dc, CWindowManagerUI* manager, RECT& rc, LPCWSTR text, DWORD color,
                                  RECT* linkRects, CUIString* linkTexts, int& linkCount, int fontId, UINT format)
{
    const int linkEntries = linkRects != nullptr && linkTexts != nullptr ? std::max(linkCount, 0) : 0;
    linkCount = 0;
    if (text == nullptr || *text == 0 || manager == nullptr || IsRectEmpty(&rc))
        return;
    CUIString shown = text;
    CWindowManagerUI::ReplaceLanguageTokens(shown);
    const COLORREF baseColor = ToDrawingColor(color);
    HGDIOBJ oldFont = SelectObject(dc, manager->GetFontInfo(fontId)->font);

    if ((format & DT_CALCRECT) != 0) {
        MarkupRenderer measurer(dc, manager, rc, baseColor, linkRects, linkTexts, linkEntries, fontId, format);
        measurer.Render(shown);
        rc = measurer.MeasuredBox();
        linkCount = measurer.LinkCount();
    } else {
        if ((format & (DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM)) != 0)
            AlignBox(dc, manager, rc, shown, baseColor, fontId, format);
        CClipGuard clip;
        CClipGuard::ClipRect(dc, rc, clip);
        MarkupRenderer renderer(dc, manager, rc, baseColor, linkRects, linkTexts, linkEntries, fontId, format);
        renderer.Render(shown);
        linkCount = renderer.LinkCount();
    }
    SelectObject(dc, oldFont);
}

}  // namespace CalUI
