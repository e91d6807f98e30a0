#include "GifBuilder.h"

#include <algorithm>
#include <unordered_map>

namespace {

constexpr int kPaletteSize = 4;
constexpr int kMinCodeSize = 2;
constexpr uint32_t kClearCode = 1u << kMinCodeSize;
constexpr uint32_t kEndCode = kClearCode + 1;
constexpr uint32_t kCodeLimit = 4095;  // a clear code comes before the table fills
constexpr int kMaxCodeBits = 12;
constexpr size_t kSubBlockBytes = 255;

std::string Le16(int value)
{
    return std::string{static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}

// Codes of growing width, least significant bit first. The decoder learns
// each entry one code after the encoder, so the width grows one code later.
class CodeWriter
{
public:
    void Put(uint32_t code, uint32_t nextFree)
    {
        if (nextFree - 1 >= (1u << m_bits) && m_bits < kMaxCodeBits)
            ++m_bits;
        m_acc |= static_cast<uint64_t>(code) << m_pending;
        m_pending += m_bits;
        while (m_pending >= 8) {
            packed.push_back(static_cast<char>(m_acc & 0xFF));
            m_acc >>= 8;
            m_pending -= 8;
        }
    }
    void ResetWidth() { m_bits = kMinCodeSize + 1; }
    void Flush()
    {
        if (m_pending > 0)
            packed.push_back(static_cast<char>(m_acc & 0xFF));
        m_acc = 0;
        m_pending = 0;
    }

    std::string packed;

private:
    uint64_t m_acc = 0;
    int m_pending = 0;
    int m_bits = kMinCodeSize + 1;
};

// Plain LZW as GIF decoders expect it.
std::string PictureData(const std::vector<uint8_t>& indices)
{
    CodeWriter out;
    std::unordered_map<uint32_t, uint32_t> table;
    uint32_t next = kEndCode + 1;
    out.Put(kClearCode, next);
    uint32_t prefix = indices.empty() ? 0 : indices[0] & 3u;
    for (size_t i = 1; i < indices.size(); ++i) {
        const uint32_t k = indices[i] & 3u;
        const uint32_t key = prefix << 8 | k;
        const auto found = table.find(key);
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        out.Put(prefix, next);
        table[key] = next++;
        if (next >= kCodeLimit) {
            out.Put(kClearCode, next);
            table.clear();
            next = kEndCode + 1;
            out.ResetWidth();
        }
        prefix = k;
    }
    if (!indices.empty())
        out.Put(prefix, next);
    out.Put(kEndCode, next);
    out.Flush();

    std::string data(1, static_cast<char>(kMinCodeSize));
    for (size_t at = 0; at < out.packed.size(); at += kSubBlockBytes) {
        const size_t n = std::min(kSubBlockBytes, out.packed.size() - at);
        data.push_back(static_cast<char>(n));
        data.append(out.packed, at, n);
    }
    data.push_back(0);
    return data;
}

std::string PaletteBytes(std::vector<uint32_t> palette)
{
    palette.resize(kPaletteSize, 0);
    std::string out;
    for (uint32_t rgb : palette) {
        out.push_back(static_cast<char>((rgb >> 16) & 0xFF));
        out.push_back(static_cast<char>((rgb >> 8) & 0xFF));
        out.push_back(static_cast<char>(rgb & 0xFF));
    }
    return out;
}

// An interlaced picture sends every eighth row from row 0, then from row 4,
// every fourth from row 2, and every other from row 1.
std::vector<uint8_t> InterlacedOrder(const std::vector<uint8_t>& indices, int width, int height)
{
    static const int kPasses[][2] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
    std::vector<uint8_t> out;
    for (const auto& pass : kPasses)
        for (int row = pass[0]; row < height; row += pass[1])
            out.insert(out.end(), indices.begin() + static_cast<ptrdiff_t>(row) * width,
                       indices.begin() + static_cast<ptrdiff_t>(row + 1) * width);
    return out;
}

}  // namespace

GifBuilder::GifBuilder(int width, int height, std::vector<uint32_t> palette, int backgroundIndex)
    : m_width(width), m_height(height), m_backgroundIndex(backgroundIndex), m_palette(std::move(palette))
{}

GifBuilder& GifBuilder::Frame(const GifPicture& picture)
{
    const int width = picture.width ? picture.width : m_width;
    const int height = picture.height ? picture.height : m_height;
    const bool transparent = picture.transparentIndex >= 0;
    if (picture.control) {
        m_frames += "\x21\xF9\x04";
        m_frames.push_back(static_cast<char>(static_cast<int>(picture.dispose) << 2 | (transparent ? 1 : 0)));
        m_frames += Le16(picture.delayHundredths);
        m_frames.push_back(static_cast<char>(transparent ? picture.transparentIndex : 0));
        m_frames.push_back(0);
    }
    m_frames.push_back(0x2C);
    m_frames += Le16(picture.left) + Le16(picture.top) + Le16(width) + Le16(height);
    const bool local = !picture.localPalette.empty();
    m_frames.push_back(static_cast<char>((local ? 0x81 : 0) | (picture.interlaced ? 0x40 : 0)));
    if (local)
        m_frames += PaletteBytes(picture.localPalette);
    m_frames += PictureData(picture.interlaced ? InterlacedOrder(picture.indices, width, height) : picture.indices);
    return *this;
}

GifBuilder& GifBuilder::Frame(const std::vector<uint8_t>& indices, int delayHundredths, int transparentIndex)
{
    return Frame(
        GifPicture{.indices = indices, .delayHundredths = delayHundredths, .transparentIndex = transparentIndex});
}

GifBuilder& GifBuilder::SolidFrame(uint8_t index, int delayHundredths)
{
    return Frame(std::vector<uint8_t>(static_cast<size_t>(m_width) * m_height, index), delayHundredths);
}

std::string GifBuilder::Bytes() const
{
    std::string out = "GIF89a" + Le16(m_width) + Le16(m_height);
    out.push_back(static_cast<char>(0x81));  // global palette of 4 entries
    out.push_back(static_cast<char>(m_backgroundIndex));
    out.push_back(0);
    out += PaletteBytes(m_palette);
    out += std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
    out += m_frames;
    out.push_back(0x3B);
    return out;
}
