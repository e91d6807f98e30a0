#include "services/UrlEncoding.h"

namespace {

bool IsAsciiLetterOrDigit(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

void AppendPercentEncoded(std::string& out, unsigned char c)
{
    static const char hexDigits[] = "0123456789ABCDEF";
    out += '%';
    out += hexDigits[c >> 4];
    out += hexDigits[c & 0x0F];
}

// Percent-encodes every byte except ASCII letters, digits and the kept marks.
std::string PercentEncode(std::string_view text, std::string_view keptMarks, bool spaceAsPlus)
{
    std::string encoded;
    encoded.reserve(text.size() * 3);
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsAsciiLetterOrDigit(c) || keptMarks.find(ch) != std::string_view::npos)
            encoded += ch;
        else if (c == ' ' && spaceAsPlus)
            encoded += '+';
        else
            AppendPercentEncoded(encoded, c);
    }
    return encoded;
}

}  // namespace

std::string UrlEncode(std::string_view text) { return PercentEncode(text, "-_.", true); }

std::string UrlEncodePath(std::string_view text) { return PercentEncode(text, "/.:?=-", false); }
