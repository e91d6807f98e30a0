#pragma once
// The skin XML reader: elements, double-quoted attributes, text, the five
// predefined entities, comments and processing instructions. The document is
// parsed in place, so every name and value handed out points into the one
// text buffer and stays valid until the document is cleared or reloaded.

#include <windows.h>

namespace CalUI {

class CSkinMarkup;

// Names one element of a loaded document; a plain value, copied freely.
// Its attribute index is built on the first attribute query.
class CSkinMarkupNode
{
public:
    static constexpr int kMaxAttributes = 64;

    CSkinMarkupNode();

    bool IsSet() const;
    CSkinMarkupNode NextSibling() const;
    CSkinMarkupNode FirstChild() const;
    bool HasChild() const;
    LPCWSTR TagName() const;

    int AttrCount() const;
    bool HasAttrs() const;
    LPCWSTR AttrName(int index) const;  // "" outside 0 .. count - 1
    LPCWSTR AttrValue(int index) const;
    // Copies at most `max` characters; no terminator is added when the value
    // fills them. Names are compared case-sensitively.
    bool FindAttr(LPCWSTR name, LPWSTR buffer, SIZE_T max) const;

private:
    friend class CSkinMarkup;
    CSkinMarkupNode(CSkinMarkup* owner, ULONG element);
    void IndexAttributes() const;

    struct AttrSlot
    {
        ULONG name;
        ULONG value;
    };

    ULONG m_element;
    mutable ULONG m_attrCount;
    mutable AttrSlot m_attrs[kMaxAttributes];
    CSkinMarkup* m_owner;
};

class CSkinMarkup
{
public:
    enum Encoding
    {
        kUtf8 = 0,
        kUtf16 = 1,
        kAnsi = 2
    };
    static constexpr DWORD kMaxFileBytes = 0x400000;
    // Deeper documents fail instead of exhausting the stack.
    static constexpr int kMaxNestingDepth = 256;

    explicit CSkinMarkup(LPCWSTR text = nullptr);
    ~CSkinMarkup();
    CSkinMarkup(const CSkinMarkup&) = delete;
    CSkinMarkup& operator=(const CSkinMarkup&) = delete;

    bool LoadFromText(LPCWSTR text);
    bool LoadFromBytes(const BYTE* bytes, DWORD length, int encoding = kUtf8);
    // From the skin folder, or the skin archive once one is set up.
    bool LoadSkinFile(LPCWSTR fileName, int encoding = kUtf8);
    void Clear();
    bool IsLoaded() const;
    CSkinMarkupNode RootNode();

    LPCWSTR GetLastErrorMessage() const;
    LPCWSTR GetLastErrorLocation() const;

private:
    friend class CSkinMarkupNode;

    struct MarkupElement
    {
        ULONG nameStart;
        ULONG firstChild;
        ULONG nextSibling;
        ULONG parent;
        ULONG textStart;  // content after '>', or the zeroed '/' of "/>"
    };

    bool TakeText(LPWSTR text);
    bool ParseDocument();
    bool ParseElements(LPWSTR& pos, ULONG parent, int depth);
    bool ParseElement(LPWSTR& pos, ULONG index, int depth);
    bool ParseAttributeList(LPWSTR& pos);
    bool AddElement(ULONG parent, ULONG previous, LPCWSTR name, ULONG* index);
    bool SetError(LPCWSTR message, LPCWSTR location);

    LPWSTR m_text = nullptr;
    MarkupElement* m_elements = nullptr;
    ULONG m_count = 0;
    ULONG m_capacity = 0;
    WCHAR m_errorMessage[100] = {};
    WCHAR m_errorLocation[50] = {};
};

}  // namespace CalUI
