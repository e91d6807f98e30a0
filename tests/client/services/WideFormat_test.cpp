// The project builds without mingw's C99 printf, so formats behave as the
// Windows runtime defines them. Every format string in the system relies on it.
#include <gtest/gtest.h>
#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::wstring FormatWide(const wchar_t* format, ...)
{
    wchar_t buffer[128];
    va_list args;
    va_start(args, format);
    _vsnwprintf(buffer, 127, format, args);
    va_end(args);
    buffer[127] = 0;
    return buffer;
}

std::string FormatNarrow(const char* format, ...)
{
    char buffer[128];
    va_list args;
    va_start(args, format);
    _vsnprintf(buffer, 127, format, args);
    va_end(args);
    buffer[127] = 0;
    return buffer;
}

TEST(WideFormat, LowerSInWideFormatTakesWideString)
{
    EXPECT_EQ(L"[游戏 main.cpp]", FormatWide(L"[%s %s]", L"游戏", L"main.cpp"));
}

TEST(WideFormat, UpperSInWideFormatTakesByteString) { EXPECT_EQ(L"token=abc", FormatWide(L"token=%S", "abc")); }

TEST(WideFormat, NarrowFormatKeepsItsOwnMeaning) { EXPECT_EQ("a-b", FormatNarrow("%s-%S", "a", L"b")); }

TEST(WideFormat, NumbersAndSixtyFourBitValues)
{
    EXPECT_EQ(L"[2026-01-05 07:08:09][x.cpp 42]",
              FormatWide(L"[%04d-%02d-%02d %02d:%02d:%02d][%s %d]", 2026, 1, 5, 7, 8, 9, L"x.cpp", 42));
    EXPECT_EQ("1765000000123", FormatNarrow("%lld", 1765000000123LL));
    EXPECT_EQ("4294967295", FormatNarrow("%lu", 4294967295UL));
}

}  // namespace
