#include "services/TextConvert.h"

#include <windows.h>
#include <climits>

namespace {

template <typename Char>
std::basic_string_view<Char> UpToFirstZero(std::basic_string_view<Char> text)
{
    return text.substr(0, text.find(Char(0)));
}

std::wstring MultiByteToWide(UINT codePage, std::string_view text)
{
    text = UpToFirstZero(text);
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (needed <= 0)
        return {};
    std::wstring wide(needed, L'\0');
    if (MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), needed) != needed)
        return {};
    return wide;
}

}  // namespace

std::string WideToUtf8(std::wstring_view text)
{
    text = UpToFirstZero(text);
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const int length = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return {};
    std::string utf8(needed, '\0');
    if (WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), needed, nullptr, nullptr) != needed)
        return {};
    return utf8;
}

std::wstring Utf8ToWide(std::string_view text) { return MultiByteToWide(CP_UTF8, text); }

std::wstring AnsiToWide(std::string_view text) { return MultiByteToWide(CP_ACP, text); }

std::string ChangeCase(bool upper, std::string_view text)
{
    std::string changed(text);
    for (char& c : changed) {
        if (upper && c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (!upper && c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return changed;
}

void Trim(std::wstring& text, std::wstring_view set)
{
    const size_t first = text.find_first_not_of(set);
    if (first == std::wstring::npos) {
        text.clear();
        return;
    }
    text.erase(text.find_last_not_of(set) + 1);
    text.erase(0, first);
}
