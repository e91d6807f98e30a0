// Web links handed to the system's opener.

#include "services/WebLinks.h"

#include <windows.h>

#include <shellapi.h>
#include <shlwapi.h>

namespace {

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix)
{
    const size_t length = wcslen(prefix);
    return text.size() > length && ::StrCmpNIW(text.c_str(), prefix, static_cast<int>(length)) == 0;
}

}  // namespace

bool IsWebLink(const std::wstring& link)
{
    return StartsWithNoCase(link, L"http://") || StartsWithNoCase(link, L"https://");
}

bool OpenWebLink(const std::wstring& link)
{
    if (!IsWebLink(link))
        return false;
    ::ShellExecuteW(nullptr, L"open", link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return true;
}
