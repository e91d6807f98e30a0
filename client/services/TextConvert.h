#pragma once
// Conversions between the client's three encodings (UTF-8 and ANSI byte strings,
// UTF-16 wide strings) and small text helpers. Every conversion stops at the
// input's first zero character and gives an empty text when it fails.
#include <string>
#include <string_view>

std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);
// From the ANSI code page of the system.
std::wstring AnsiToWide(std::string_view text);

// Copy of the text with its ASCII letters in upper (upper true) or lower case;
// every other byte stays.
std::string ChangeCase(bool upper, std::string_view text);

// Removes every leading and trailing character that is in the set.
void Trim(std::wstring& text, std::wstring_view set);
