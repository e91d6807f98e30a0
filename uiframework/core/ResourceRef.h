#pragma once
#include <windows.h>

namespace CalUI {

// Names a file or resource in one word, the way the platform's resource
// functions take it: a number (below 0x10000) or a pointer to a zero-terminated
// name, which the caller keeps alive while the reference is used.
class ResourceRef
{
public:
    ResourceRef(UINT id) : m_value(MAKEINTRESOURCEW(id)) {}
    ResourceRef(LPCWSTR name) : m_value(name) {}

    bool IsNumber() const { return IS_INTRESOURCE(m_value); }
    WORD GetNumber() const { return LOWORD(reinterpret_cast<ULONG_PTR>(m_value)); }
    operator LPCWSTR() const { return m_value; }

private:
    LPCWSTR m_value;
};

static_assert(sizeof(ResourceRef) == sizeof(void*));

}  // namespace CalUI
