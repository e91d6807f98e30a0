#include "core/SkinMarkup.h"

#include "core/SkinFiles.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace CalUI {

namespace {

bool IsBlank(WCHAR c) { return c >= 1 && c <= 32; }

void SkipWhitespace(LPWSTR& pos)
{
    while (IsBlank(*pos))
        pos = CharNextW(pos);
}

void SkipIdentifier(LPWSTR& pos)
{
    while (*pos && (IsCharAlphaNumericW(*pos) || *pos == L'_' || *pos == L':'))
        pos = CharNextW(pos);
}

struct Entity
{
    LPCWSTR text;
    int length;
    WCHAR value;
};

constexpr Entity kEntities[] = {
    {L"&amp;", 5, L'&'}, {L"&lt;", 4, L'<'}, {L"&gt;", 4, L'>'}, {L"&quot;", 6, L'"'}, {L"&apos;", 6, L'\''},
};

// Decodes in place up to `terminator` (or the end of the text) and blanks
// whatever the decoding freed. Returns the end of the decoded output.
LPWSTR DecodeText(LPWSTR& pos, WCHAR terminator)
{
    LPWSTR out = pos;
    while (*pos && *pos != terminator) {
        if (*pos == L'&') {
            const Entity* found = nullptr;
            for (const Entity& e : kEntities)
                if (wcsncmp(pos, e.text, e.length) == 0)
                    found = &e;
            if (found) {
                *out++ = found->value;
                pos += found->length;
                continue;
            }
        }
        for (LPWSTR next = CharNextW(pos); pos < next;)
            *out++ = *pos++;
    }
    for (LPWSTR gap = out; gap < pos; ++gap)
        *gap = L' ';
    return out;
}

LPWSTR CopyText(LPCWSTR text, size_t length)
{
    auto* copy = static_cast<LPWSTR>(malloc((length + 1) * sizeof(WCHAR)));
    if (!copy)
        return nullptr;
    memcpy(copy, text, length * sizeof(WCHAR));
    copy[length] = 0;
    return copy;
}

LPWSTR DecodeCodePage(UINT codePage, const BYTE* bytes, DWORD length)
{
    auto* source = reinterpret_cast<LPCSTR>(bytes);
    int chars = length ? MultiByteToWideChar(codePage, 0, source, int(length), nullptr, 0) : 0;
    auto* text = static_cast<LPWSTR>(calloc(size_t(chars) + 1, sizeof(WCHAR)));
    if (text && chars)
        MultiByteToWideChar(codePage, 0, source, int(length), text, chars);
    return text;
}

LPWSTR DecodeUtf16(const BYTE* bytes, DWORD length)
{
    bool little = bytes[0] == 0xFF && bytes[1] == 0xFE;
    bool big = bytes[0] == 0xFE && bytes[1] == 0xFF;
    if (!little && !big)
        return nullptr;
    size_t chars = length / 2 - 1;
    auto* text = static_cast<LPWSTR>(calloc(chars + 1, sizeof(WCHAR)));
    if (!text)
        return nullptr;
    for (size_t i = 0; i < chars; ++i) {
        const BYTE* unit = bytes + 2 + 2 * i;
        text[i] = little ? WCHAR(unit[0] | unit[1] << 8) : WCHAR(unit[1] | unit[0] << 8);
    }
    return text;
}

LPCWSTR FileMessage(SkinFileResult result, bool fromArchive)
{
    switch (result) {
    case SkinFileResult::CannotOpen:
        return fromArchive ? L"Error opening zip file" : L"Error opening file";
    case SkinFileResult::NotFound:
        return L"Could not find ziped file";
    case SkinFileResult::Empty:
        return L"File is empty";
    case SkinFileResult::TooLarge:
        return L"File too large";
    default:
        return fromArchive ? L"Could not unzip file" : L"Could not read file";
    }
}

}  // namespace

// ---- CSkinMarkupNode --------------------------------------------------------

CSkinMarkupNode::CSkinMarkupNode() : CSkinMarkupNode(nullptr, 0) {}

CSkinMarkupNode::CSkinMarkupNode(CSkinMarkup* owner, ULONG element)
    : m_element(element), m_attrCount(0), m_attrs(), m_owner(owner)
{}

bool CSkinMarkupNode::IsSet() const { return m_owner != nullptr; }

CSkinMarkupNode CSkinMarkupNode::NextSibling() const
{
    if (!m_owner)
        return {};
    ULONG next = m_owner->m_elements[m_element].nextSibling;
    return next ? CSkinMarkupNode(m_owner, next) : CSkinMarkupNode();
}

CSkinMarkupNode CSkinMarkupNode::FirstChild() const
{
    if (!m_owner)
        return {};
    ULONG child = m_owner->m_elements[m_element].firstChild;
    return child ? CSkinMarkupNode(m_owner, child) : CSkinMarkupNode();
}

bool CSkinMarkupNode::HasChild() const { return m_owner && m_owner->m_elements[m_element].firstChild != 0; }

LPCWSTR CSkinMarkupNode::TagName() const
{
    return m_owner ? m_owner->m_text + m_owner->m_elements[m_element].nameStart : nullptr;
}

int CSkinMarkupNode::AttrCount() const
{
    if (!m_owner)
        return 0;
    if (m_attrCount == 0)
        IndexAttributes();
    return int(m_attrCount);
}

bool CSkinMarkupNode::HasAttrs() const { return AttrCount() > 0; }

LPCWSTR CSkinMarkupNode::AttrName(int index) const
{
    if (!m_owner)
        return nullptr;
    if (index < 0 || index >= AttrCount())
        return L"";
    return m_owner->m_text + m_attrs[index].name;
}

LPCWSTR CSkinMarkupNode::AttrValue(int index) const
{
    if (!m_owner)
        return nullptr;
    if (index < 0 || index >= AttrCount())
        return L"";
    return m_owner->m_text + m_attrs[index].value;
}

bool CSkinMarkupNode::FindAttr(LPCWSTR name, LPWSTR buffer, SIZE_T max) const
{
    int count = AttrCount();
    for (int i = 0; i < count; ++i) {
        if (wcscmp(m_owner->m_text + m_attrs[i].name, name) != 0)
            continue;
        wcsncpy(buffer, m_owner->m_text + m_attrs[i].value, max);
        return true;
    }
    return false;
}

// Walks the attribute pairs that the parser left between the element name
// and the element's content: name, zero, blank, quote, value, zero.
void CSkinMarkupNode::IndexAttributes() const
{
    LPWSTR text = m_owner->m_text;
    const CSkinMarkup::MarkupElement& element = m_owner->m_elements[m_element];
    LPWSTR pos = text + element.nameStart;
    LPWSTR end = text + element.textStart;
    pos += wcslen(pos) + 1;
    m_attrCount = 0;
    while (pos < end && m_attrCount < kMaxAttributes) {
        SkipWhitespace(pos);
        if (pos >= end)
            break;
        AttrSlot slot;
        slot.name = ULONG(pos - text);
        pos += wcslen(pos) + 1;
        SkipWhitespace(pos);
        if (*pos != L'"')
            break;
        slot.value = ULONG(++pos - text);
        pos += wcslen(pos) + 1;
        m_attrs[m_attrCount++] = slot;
    }
}

// ---- CSkinMarkup --------------------------------------------------------------

CSkinMarkup::CSkinMarkup(LPCWSTR text)
{
    if (text)
        LoadFromText(text);
}

CSkinMarkup::~CSkinMarkup() { Clear(); }

bool CSkinMarkup::LoadFromText(LPCWSTR text)
{
    Clear();
    return text && TakeText(CopyText(text, wcslen(text)));
}

bool CSkinMarkup::LoadFromBytes(const BYTE* bytes, DWORD length, int encoding)
{
    Clear();
    if (encoding == kUtf8) {
        if (length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
            bytes += 3;
            length -= 3;
        }
        return TakeText(DecodeCodePage(CP_UTF8, bytes, length));
    }
    if (encoding == kUtf16)
        return length >= 2 && TakeText(DecodeUtf16(bytes, length));
    return TakeText(DecodeCodePage(CP_ACP, bytes, length));
}

bool CSkinMarkup::LoadSkinFile(LPCWSTR fileName, int encoding)
{
    Clear();
    std::vector<BYTE> bytes;
    bool fromArchive = false;
    SkinFileResult result = ReadSkinFile(fileName, kMaxFileBytes, bytes, &fromArchive);
    if (result != SkinFileResult::Ok)
        return SetError(FileMessage(result, fromArchive), nullptr);
    return LoadFromBytes(bytes.data(), DWORD(bytes.size()), encoding);
}

void CSkinMarkup::Clear()
{
    free(m_text);
    free(m_elements);
    m_text = nullptr;
    m_elements = nullptr;
    m_count = m_capacity = 0;
}

bool CSkinMarkup::IsLoaded() const { return m_elements != nullptr; }

CSkinMarkupNode CSkinMarkup::RootNode() { return m_count > 1 ? CSkinMarkupNode(this, 1) : CSkinMarkupNode(); }

LPCWSTR CSkinMarkup::GetLastErrorMessage() const { return m_errorMessage; }

LPCWSTR CSkinMarkup::GetLastErrorLocation() const { return m_errorLocation; }

bool CSkinMarkup::TakeText(LPWSTR text)
{
    m_text = text;
    if (text && ParseDocument())
        return true;
    Clear();
    return false;
}

bool CSkinMarkup::ParseDocument()
{
    m_errorMessage[0] = m_errorLocation[0] = 0;
    ULONG placeholder = 0;
    if (!AddElement(0, 0, m_text, &placeholder))
        return false;
    LPWSTR pos = m_text;
    return ParseElements(pos, 0, 0);
}

bool CSkinMarkup::ParseElements(LPWSTR& pos, ULONG parent, int depth)
{
    if (depth > kMaxNestingDepth)
        return SetError(L"Elements nested too deeply", pos);
    ULONG previous = 0;
    for (;;) {
        SkipWhitespace(pos);
        // The root and its direct children may be left open at the end.
        if (*pos == 0 && parent <= 1)
            return true;
        if (*pos != L'<')
            return SetError(L"Expected start tag", pos);
        if (pos[1] == L'/')
            return true;
        *pos++ = 0;
        SkipWhitespace(pos);
        if (*pos == L'!' || *pos == L'?') {
            WCHAR closer = *pos == L'!' ? L'-' : L'?';
            while (*pos && !(pos[0] == closer && pos[1] == L'>'))
                pos = CharNextW(pos);
            if (*pos)
                pos += 2;
            SkipWhitespace(pos);
            continue;
        }
        ULONG index = 0;
        if (!AddElement(parent, previous, pos, &index))
            return false;
        previous = index;
        if (!ParseElement(pos, index, depth))
            return false;
        SkipWhitespace(pos);
    }
}

bool CSkinMarkup::ParseElement(LPWSTR& pos, ULONG index, int depth)
{
    LPWSTR name = pos;
    SkipIdentifier(pos);
    if (*pos == 0)
        return SetError(L"Error parsing element name", pos);
    LPWSTR nameEnd = pos;
    size_t nameLength = size_t(nameEnd - name);
    if (!ParseAttributeList(pos))
        return false;
    SkipWhitespace(pos);
    if (pos[0] == L'/' && pos[1] == L'>') {
        m_elements[index].textStart = ULONG(pos - m_text);
        *pos = 0;
        pos += 2;
    } else {
        if (*pos != L'>')
            return SetError(L"Expected start-tag closing", pos);
        m_elements[index].textStart = ULONG(++pos - m_text);
        LPWSTR textEnd = DecodeText(pos, L'<');
        ULONG parent = m_elements[index].parent;
        if (*pos == 0 && parent <= 1) {
            *nameEnd = 0;
            return true;
        }
        if (*pos != L'<')
            return SetError(L"Expected end-tag start", pos);
        if (pos[1] != L'/' && !ParseElements(pos, index, depth + 1))
            return false;
        if (pos[0] == L'<' && pos[1] == L'/') {
            *textEnd = 0;
            *pos = 0;
            pos += 2;
            SkipWhitespace(pos);
            if (wcsncmp(pos, name, nameLength) != 0)
                return SetError(L"Unmatched closing tag", pos);
            pos += nameLength;
            SkipWhitespace(pos);
            if (*pos != L'>')
                return SetError(L"Unmatched closing tag", pos);
            ++pos;
        }
    }
    *nameEnd = 0;
    return true;
}

bool CSkinMarkup::ParseAttributeList(LPWSTR& pos)
{
    if (*pos == L'>' || (pos[0] == L'/' && pos[1] == L'>'))
        return true;
    *pos++ = 0;
    SkipWhitespace(pos);
    while (*pos && *pos != L'>' && *pos != L'/') {
        LPWSTR nameEnd = pos;
        SkipIdentifier(nameEnd);
        pos = nameEnd;
        SkipWhitespace(pos);
        if (*pos != L'=')
            return SetError(L"Error while parsing attributes", pos);
        *pos++ = L' ';
        *nameEnd = 0;
        SkipWhitespace(pos);
        if (*pos != L'"')
            return SetError(L"Expected attribute value", pos);
        LPWSTR valueEnd = DecodeText(++pos, L'"');
        if (*pos == 0)
            return SetError(L"Error while parsing attribute string", pos);
        *valueEnd = 0;
        if (valueEnd != pos)
            *pos = L' ';
        ++pos;
        SkipWhitespace(pos);
    }
    return true;
}

bool CSkinMarkup::AddElement(ULONG parent, ULONG previous, LPCWSTR name, ULONG* index)
{
    if (m_count == m_capacity) {
        ULONG capacity = m_capacity == 0 ? 500 : m_capacity + m_capacity / 2 + 500;
        auto* grown = static_cast<MarkupElement*>(realloc(m_elements, capacity * sizeof(MarkupElement)));
        if (!grown)
            return SetError(L"Out of memory", name);
        m_elements = grown;
        m_capacity = capacity;
    }
    *index = m_count++;
    m_elements[*index] = {ULONG(name - m_text), 0, 0, parent, 0};
    if (previous)
        m_elements[previous].nextSibling = *index;
    else if (parent)
        m_elements[parent].firstChild = *index;
    return true;
}

bool CSkinMarkup::SetError(LPCWSTR message, LPCWSTR location)
{
    lstrcpynW(m_errorMessage, message, ARRAYSIZE(m_errorMessage));
    lstrcpynW(m_errorLocation, location ? location : L"", ARRAYSIZE(m_errorLocation));
    return false;
}

}  // namespace CalUI
