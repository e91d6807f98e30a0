#include "core/UIString.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>

namespace CalUI {

namespace {

int TextLength(LPCWSTR text) { return text ? static_cast<int>(wcslen(text)) : 0; }

size_t BlockBytes(int length) { return (static_cast<size_t>(length) + 1) * sizeof(WCHAR); }

bool PointsInto(LPCWSTR p, LPCWSTR first, LPCWSTR last)
{
    const auto at = reinterpret_cast<uintptr_t>(p);
    return at >= reinterpret_cast<uintptr_t>(first) && at <= reinterpret_cast<uintptr_t>(last);
}

}  // namespace

CUIString::CUIString() : m_data(m_inline) { m_inline[0] = L'\0'; }

CUIString::CUIString(LPCWSTR text, int length) : CUIString() { Assign(text, length); }

CUIString::CUIString(const CUIString& other) : CUIString() { Assign(other.m_data, other.GetLength()); }

CUIString::~CUIString() { ReturnToInline(); }

LPCWSTR CUIString::GetData() const { return m_data; }

CUIString::operator LPCWSTR() const { return m_data; }

int CUIString::GetLength() const { return TextLength(m_data); }

bool CUIString::IsEmpty() const { return m_data[0] == L'\0'; }

WCHAR CUIString::GetAt(int index) const { return m_data[index]; }

void CUIString::Empty()
{
    ReturnToInline();
    m_inline[0] = L'\0';
}

// Allocation failures leave the old text in place: the operations have no
// error result, and a truncated or lost text is worse than a stale one.
int CUIString::Assign(LPCWSTR text, int length)
{
    if (!text)
        text = L"";
    if (length < 0)
        length = TextLength(text);
    if (length > kMaxInlineLength) {
        // A block that held a text at least this long is large enough to reuse.
        if (IsInline() || GetLength() < length) {
            void* block = IsInline() ? malloc(BlockBytes(length)) : realloc(m_data, BlockBytes(length));
            if (!block)
                return 0;
            m_data = static_cast<LPWSTR>(block);
        }
        wmemmove(m_data, text, length);
    } else {
        // The text may lie in our own heap block: copy it out before freeing the block.
        wmemmove(m_inline, text, length);
        ReturnToInline();
    }
    m_data[length] = L'\0';
    return length;
}

CUIString& CUIString::operator=(const CUIString& other)
{
    Assign(other.m_data, other.GetLength());
    return *this;
}

CUIString& CUIString::operator=(LPCWSTR text)
{
    if (text)
        Assign(text);
    else
        Empty();
    return *this;
}

void CUIString::Append(LPCWSTR text)
{
    if (!text)
        return;
    const int oldLength = GetLength();
    const int addLength = TextLength(text);
    const int newLength = oldLength + addLength;
    if (newLength > kMaxInlineLength) {
        // Appending a piece of our own heap text must survive the block moving.
        const bool ownHeapText = !IsInline() && PointsInto(text, m_data, m_data + oldLength);
        const ptrdiff_t textOffset = text - m_data;
        void* block = IsInline() ? malloc(BlockBytes(newLength)) : realloc(m_data, BlockBytes(newLength));
        if (!block)
            return;
        if (IsInline())
            wmemcpy(static_cast<LPWSTR>(block), m_inline, oldLength);
        m_data = static_cast<LPWSTR>(block);
        if (ownHeapText)
            text = m_data + textOffset;
    }
    wmemmove(m_data + oldLength, text, addLength);
    m_data[newLength] = L'\0';
}

CUIString& CUIString::operator+=(const CUIString& other)
{
    Append(other.m_data);
    return *this;
}

CUIString& CUIString::operator+=(LPCWSTR text)
{
    Append(text);
    return *this;
}

CUIString& CUIString::operator+=(WCHAR ch)
{
    const WCHAR text[2] = {ch, L'\0'};
    Append(text);
    return *this;
}

bool CUIString::operator==(LPCWSTR text) const { return wcscmp(m_data, text ? text : L"") == 0; }

bool CUIString::operator==(const CUIString& other) const { return wcscmp(m_data, other.m_data) == 0; }

bool CUIString::operator!=(LPCWSTR text) const { return !(*this == text); }

int CUIString::CompareNoCase(LPCWSTR text) const { return lstrcmpiW(m_data, text); }

void CUIString::MakeLower()
{
    for (LPWSTR p = m_data; *p; ++p) {
        if (*p >= L'A' && *p <= L'Z')
            *p += L'a' - L'A';
    }
}

CUIString CUIString::Left(int n) const
{
    const int length = GetLength();
    if (n < 0)
        n = 0;
    return CUIString(m_data, n > length ? length : n);
}

CUIString CUIString::Mid(int position, int n) const
{
    const int length = GetLength();
    if (position < 0)
        position = 0;
    else if (position > length)
        position = length;
    const int remaining = length - position;
    if (n == -1 || n > remaining)
        n = remaining;
    return n > 0 ? CUIString(m_data + position, n) : CUIString();
}

int CUIString::Find(WCHAR ch, int start) const
{
    const int length = GetLength();
    if (start != 0 && (start < 0 || start >= length))
        return -1;
    for (int i = start; i < length; ++i) {
        if (m_data[i] == ch)
            return i;
    }
    return -1;
}

int CUIString::Find(LPCWSTR text, int start) const
{
    if (!text || (start != 0 && (start < 0 || start > GetLength())))
        return -1;
    if (!*text)
        return start;  // not every runtime's wcsstr finds the empty text
    LPCWSTR hit = wcsstr(m_data + start, text);
    return hit ? static_cast<int>(hit - m_data) : -1;
}

// The search resumes after each inserted replacement, so a replacement that
// contains the search text is never replaced again. An empty search text
// would match everywhere forever; it replaces nothing.
int CUIString::Replace(LPCWSTR search, LPCWSTR replacement)
{
    if (!search || !*search)
        return 0;
    const CUIString searchText(search);
    const CUIString replacementText(replacement);
    const int searchLength = searchText.GetLength();
    int count = 0;
    for (int at = Find(searchText); at >= 0; at = Find(searchText, at + replacementText.GetLength())) {
        const CUIString rest = Mid(at + searchLength);
        Assign(m_data, at);
        Append(replacementText);
        Append(rest);
        ++count;
    }
    return count;
}

int CUIString::Format(LPCWSTR format, ...)
{
    va_list args;
    va_start(args, format);
    const int length = FormatArgs(format, args);
    va_end(args);
    return length;
}

// The same as Format: the name promises a short result, but a longer one is
// kept whole rather than cut at the inline buffer.
int CUIString::SmallFormat(LPCWSTR format, ...)
{
    va_list args;
    va_start(args, format);
    const int length = FormatArgs(format, args);
    va_end(args);
    return length;
}

// The result is built in a buffer of its own before it is assigned, so the
// format and the arguments may be this string's own text.
int CUIString::FormatArgs(LPCWSTR format, va_list args)
{
    va_list measureArgs;
    va_copy(measureArgs, args);
    const int length = format ? _vscwprintf(format, measureArgs) : -1;
    va_end(measureArgs);
    if (length < 0) {
        Empty();
        return 0;
    }
    auto buffer = static_cast<LPWSTR>(calloc(static_cast<size_t>(length) + 1, sizeof(WCHAR)));
    if (!buffer)
        return 0;
    _vsnwprintf(buffer, static_cast<size_t>(length) + 1, format, args);
    Assign(buffer, length);
    free(buffer);
    return length;
}

bool CUIString::IsInline() const { return m_data == m_inline; }

void CUIString::ReturnToInline()
{
    if (!IsInline()) {
        free(m_data);
        m_data = m_inline;
    }
}

}  // namespace CalUI
