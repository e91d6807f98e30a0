#include "services/Base64.h"

#include <array>

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kNotInAlphabet = -1;

constexpr std::array<int, 256> MakeDecodeTable()
{
    std::array<int, 256> table{};
    table.fill(kNotInAlphabet);
    for (int i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(kAlphabet[i])] = i;
    return table;
}

constexpr std::array<int, 256> kDecodeTable = MakeDecodeTable();

}  // namespace

std::string Base64Encode(const void* data, int length)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::string text;
    if (length <= 0)
        return text;
    text.reserve((static_cast<size_t>(length) + 2) / 3 * 4);
    int i = 0;
    for (; i + 2 < length; i += 3) {
        unsigned group = bytes[i] << 16 | bytes[i + 1] << 8 | bytes[i + 2];
        text += kAlphabet[group >> 18 & 63];
        text += kAlphabet[group >> 12 & 63];
        text += kAlphabet[group >> 6 & 63];
        text += kAlphabet[group & 63];
    }
    int rest = length - i;
    if (rest > 0) {
        unsigned group = bytes[i] << 16 | (rest == 2 ? bytes[i + 1] << 8 : 0);
        text += kAlphabet[group >> 18 & 63];
        text += kAlphabet[group >> 12 & 63];
        text += rest == 2 ? kAlphabet[group >> 6 & 63] : '=';
        text += '=';
    }
    return text;
}

std::string Base64Decode(const std::string& text)
{
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3 + 2);
    unsigned group = 0;
    int count = 0;
    for (char c : text) {
        int value = kDecodeTable[static_cast<unsigned char>(c)];
        if (value == kNotInAlphabet)
            break;
        group = group << 6 | value;
        if (++count == 4) {
            bytes += static_cast<char>(group >> 16);
            bytes += static_cast<char>(group >> 8);
            bytes += static_cast<char>(group);
            group = 0;
            count = 0;
        }
    }
    if (count >= 2) {
        group <<= 6 * (4 - count);
        bytes += static_cast<char>(group >> 16);
        if (count == 3)
            bytes += static_cast<char>(group >> 8);
    }
    return bytes;
}
