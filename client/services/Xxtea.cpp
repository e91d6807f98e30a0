#include "services/Xxtea.h"

#include "services/Base64.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kDelta = 0x9E3779B9;

// Little-endian words; missing bytes of the last word count as zero.
std::vector<uint32_t> ReadWords(const unsigned char* data, size_t length)
{
    std::vector<uint32_t> words((length + 3) / 4, 0);
    for (size_t i = 0; i < length; ++i)
        words[i / 4] |= static_cast<uint32_t>(data[i]) << (8 * (i % 4));
    return words;
}

// Only the first 16 key bytes count; a shorter key is padded with zero bytes.
std::vector<uint32_t> KeyWords(const void* key, size_t keyLength)
{
    unsigned char bytes[16] = {};
    if (keyLength > 0)
        memcpy(bytes, key, keyLength < 16 ? keyLength : 16);
    return ReadWords(bytes, sizeof bytes);
}

uint32_t Mix(uint32_t y, uint32_t z, uint32_t sum, const std::vector<uint32_t>& key, size_t p, uint32_t e)
{
    return (((z >> 5) ^ (y << 2)) + ((y >> 3) ^ (z << 4))) ^ ((sum ^ y) + (key[(p & 3) ^ e] ^ z));
}

// The corrected block TEA, deciphering direction; fewer than 2 words stay as they are.
void DecipherWords(std::vector<uint32_t>& v, const std::vector<uint32_t>& key)
{
    const size_t n = v.size();
    if (n < 2)
        return;
    uint32_t rounds = 6 + 52 / static_cast<uint32_t>(n);
    uint32_t sum = rounds * kDelta;
    uint32_t y = v[0];
    while (rounds-- > 0) {
        uint32_t e = (sum >> 2) & 3;
        for (size_t p = n - 1; p > 0; --p) {
            uint32_t z = v[p - 1];
            y = v[p] -= Mix(y, z, sum, key, p, e);
        }
        uint32_t z = v[n - 1];
        y = v[0] -= Mix(y, z, sum, key, 0, e);
        sum -= kDelta;
    }
}

// The stored length must leave at most 3 bytes of padding in the words before it.
bool IsValidLength(size_t wordCount, uint32_t plainLength)
{
    if (wordCount < 2)
        return false;
    uint64_t capacity = 4 * static_cast<uint64_t>(wordCount - 1);
    return plainLength + 3 >= capacity && plainLength <= capacity;
}

}  // namespace

std::unique_ptr<unsigned char[]> XxteaDecrypt(const void* data, size_t length, const void* key, size_t keyLength,
                                              size_t& plainLength)
{
    plainLength = 0;
    std::vector<uint32_t> words = ReadWords(static_cast<const unsigned char*>(data), length);
    DecipherWords(words, KeyWords(key, keyLength));
    if (words.empty() || !IsValidLength(words.size(), words.back()))
        return nullptr;

    const uint32_t m = words.back();
    auto plain = std::make_unique<unsigned char[]>(static_cast<size_t>(m) + 1);
    for (uint32_t i = 0; i < m; ++i)
        plain[i] = static_cast<unsigned char>(words[i / 4] >> (8 * (i % 4)));
    plain[m] = 0;
    plainLength = m;
    return plain;
}

std::string DecryptText(const std::string& text, const std::string& key)
{
    try {
        if (text.empty())
            return {};
        std::string bytes = Base64Decode(text);
        if (bytes.empty())
            return {};
        size_t plainLength = 0;
        auto plain = XxteaDecrypt(bytes.data(), bytes.size(), key.data(), key.size(), plainLength);
        if (!plain)
            return {};
        return std::string(reinterpret_cast<const char*>(plain.get()));
    } catch (...) {
        return {};
    }
}
