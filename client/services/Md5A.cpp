#include "services/Md5A.h"

#include "services/FileUtil.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// RFC 1321 MD5, fed in pieces of any size.
class Md5Digest
{
public:
    void Update(const unsigned char* data, size_t length);
    std::string FinishHex();

private:
    void Transform(const unsigned char* block);

    uint32_t m_state[4] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};
    uint64_t m_bitCount = 0;
    unsigned char m_buffer[64] = {};
};

constexpr uint32_t kSines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

constexpr int kShifts[64] = {
    7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 5,  9,  14, 20, 5,  9,
    14, 20, 5,  9,  14, 20, 5,  9,  14, 20, 4,  11, 16, 23, 4,  11, 16, 23, 4,  11, 16, 23,
    4,  11, 16, 23, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21,
};

uint32_t RotateLeft(uint32_t value, int bits) { return value << bits | value >> (32 - bits); }

void Md5Digest::Transform(const unsigned char* block)
{
    uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = block[4 * i] | block[4 * i + 1] << 8 | block[4 * i + 2] << 16 |
               static_cast<uint32_t>(block[4 * i + 3]) << 24;

    uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
    // Unrolled, every round's function, word index and shift become constants:
    // hashing a downloaded package runs about a third faster.
#pragma GCC unroll 64
    for (int i = 0; i < 64; ++i) {
        uint32_t f;
        int k;
        switch (i / 16) {
        case 0:
            f = (b & c) | (~b & d);
            k = i;
            break;
        case 1:
            f = (d & b) | (~d & c);
            k = (5 * i + 1) % 16;
            break;
        case 2:
            f = b ^ c ^ d;
            k = (3 * i + 5) % 16;
            break;
        default:
            f = c ^ (b | ~d);
            k = (7 * i) % 16;
            break;
        }
        uint32_t rotated = b + RotateLeft(a + f + kSines[i] + x[k], kShifts[i]);
        a = d;
        d = c;
        c = b;
        b = rotated;
    }
    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
}

void Md5Digest::Update(const unsigned char* data, size_t length)
{
    size_t used = static_cast<size_t>(m_bitCount / 8 % 64);
    m_bitCount += static_cast<uint64_t>(length) * 8;
    while (length > 0) {
        // Whole blocks are hashed where they lie, without the copy.
        if (used == 0 && length >= 64) {
            Transform(data);
            data += 64;
            length -= 64;
            continue;
        }
        size_t take = 64 - used < length ? 64 - used : length;
        memcpy(m_buffer + used, data, take);
        used += take;
        data += take;
        length -= take;
        if (used == 64) {
            Transform(m_buffer);
            used = 0;
        }
    }
}

std::string Md5Digest::FinishHex()
{
    unsigned char lengthBytes[8];
    for (int i = 0; i < 8; ++i)
        lengthBytes[i] = static_cast<unsigned char>(m_bitCount >> (8 * i));
    static const unsigned char kPadding[64] = {0x80};
    size_t used = static_cast<size_t>(m_bitCount / 8 % 64);
    Update(kPadding, used < 56 ? 56 - used : 120 - used);
    Update(lengthBytes, 8);

    static const char kHexDigits[] = "0123456789abcdef";
    std::string hex;
    for (uint32_t word : m_state) {
        for (int i = 0; i < 4; ++i) {
            unsigned char byte = static_cast<unsigned char>(word >> (8 * i));
            hex += kHexDigits[byte >> 4];
            hex += kHexDigits[byte & 15];
        }
    }
    return hex;
}

constexpr size_t kReadBufferSize = 64 * 1024;

}  // namespace

std::string CMd5A::GetStringMd5(const std::string& text) const
{
    Md5Digest digest;
    digest.Update(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    return digest.FinishHex();
}

std::string CMd5A::GetFileMd5(const std::wstring& path, UnzipProgressCallback callback, void* user) const
{
    // 0 when the size cannot be read; hashing goes on regardless.
    const uint64_t size = static_cast<uint64_t>(GetLocalFileSize(path));
    UniqueCFile file(_wfopen(path.c_str(), L"rb"));
    if (!file)
        return {};
    // Reads stay 512 bytes for the callback; the larger buffer saves the
    // system calls of the default one.
    setvbuf(file.get(), nullptr, _IOFBF, kReadBufferSize);

    Md5Digest digest;
    uint64_t done = 0;
    unsigned char block[512];
    for (;;) {
        size_t count = fread(block, 1, sizeof block, file.get());
        if (count == 0)
            break;
        digest.Update(block, count);
        done += count;
        if (callback && !callback(user, &done, size))
            break;
    }
    return digest.FinishHex();
}
