#pragma once
#include <windows.h>
#include <cstdarg>

namespace CalUI {

// The framework's UTF-16 text. Short texts (up to kMaxInlineLength characters)
// live inside the object; longer ones move to a heap block that the string owns.
// The text is always zero-terminated and never null; copies never share text.
// Not for use from more than one thread at a time.
class CUIString
{
public:
    static constexpr int kInlineChars = 64;
    static constexpr int kMaxInlineLength = 62;

    CUIString();
    CUIString(LPCWSTR text, int length = -1);
    CUIString(const CUIString& other);
    ~CUIString();

    // Access
    LPCWSTR GetData() const;
    operator LPCWSTR() const;
    int GetLength() const;
    bool IsEmpty() const;
    WCHAR GetAt(int index) const;

    // Changing the whole text
    void Empty();
    int Assign(LPCWSTR text, int length = -1);
    CUIString& operator=(const CUIString& other);
    CUIString& operator=(LPCWSTR text);
    void MakeLower();
    int Replace(LPCWSTR search, LPCWSTR replacement);
    int Format(LPCWSTR format, ...);
    int SmallFormat(LPCWSTR format, ...);

    // Appending
    void Append(LPCWSTR text);
    CUIString& operator+=(const CUIString& other);
    CUIString& operator+=(LPCWSTR text);
    CUIString& operator+=(WCHAR ch);

    // Comparing
    bool operator==(LPCWSTR text) const;
    bool operator==(const CUIString& other) const;
    bool operator!=(LPCWSTR text) const;
    int CompareNoCase(LPCWSTR text) const;

    // Pieces and searching
    CUIString Left(int n) const;
    CUIString Mid(int position, int n = -1) const;
    int Find(WCHAR ch, int start = 0) const;
    int Find(LPCWSTR text, int start = 0) const;

private:
    bool IsInline() const;
    void ReturnToInline();
    int FormatArgs(LPCWSTR format, va_list args);

    LPWSTR m_data;  // m_inline, or a heap block owned by this string
    WCHAR m_inline[kInlineChars];
};

}  // namespace CalUI
