#include "GifBuilder.h"

#include <algorithm>

namespace {

constexpr int kPaletteSize = 4;
constexpr int kMinCodeSize = 2;
constexpr uint32_t kClearCode = 4;
constexpr uint32_t kEndCode = 5;
constexpr int kCodeBits = 3;
constexpr size_t kSubBlockBytes = 255;

std::string Le16(int value)
{
    return std::string{static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}

// Codes of three bits, least significant first, cut into sub-blocks.
std::string PictureData(const std::vector<uint8_t>& indices)
{
    std::string packed;
    uint32_t acc = 0;
    int bits = 0;
    auto put = [&](uint32_t code) {
        acc |= code << bits;
        bits += kCodeBits;
        while (bits >= 8) {
            packed.push_back(static_cast<char>(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    };
    for (size_t i = 0; i < indices.size(); ++i) {
        if (i % 2 == 0)
            put(kClearCode);
        put(indices[i] & 3u);
    }
    put(kEndCode);
    if (bits > 0)
        packed.push_back(static_cast<char>(acc & 0xFF));
    std::string out(1, static_cast<char>(kMinCodeSize));
    for (size_t at = 0; at < packed.size(); at += kSubBlockBytes) {
        const size_t n = std::min(kSubBlockBytes, packed.size() - at);
        out.push_back(static_cast<char>(n));
        out.append(packed, at, n);
    }
    out.push_back(0);
    return out;
}

}  // namespace

GifBuilder::GifBuilder(int width, int height, std::vector<uint32_t> palette)
    : m_width(width), m_height(height), m_palette(std::move(palette))
{
    m_palette.resize(kPaletteSize, 0);
}

GifBuilder& GifBuilder::Frame(const std::vector<uint8_t>& indices, int delayHundredths, int transparentIndex)
{
    const bool transparent = transparentIndex >= 0;
    m_frames += "\x21\xF9\x04";
    m_frames.push_back(static_cast<char>((1 << 2) | (transparent ? 1 : 0)));  // keep the frame, then transparency
    m_frames += Le16(delayHundredths);
    m_frames.push_back(static_cast<char>(transparent ? transparentIndex : 0));
    m_frames.push_back(0);
    m_frames.push_back(0x2C);
    m_frames += Le16(0) + Le16(0) + Le16(m_width) + Le16(m_height);
    m_frames.push_back(0);
    m_frames += PictureData(indices);
    return *this;
}

GifBuilder& GifBuilder::SolidFrame(uint8_t index, int delayHundredths)
{
    return Frame(std::vector<uint8_t>(static_cast<size_t>(m_width) * m_height, index), delayHundredths);
}

std::string GifBuilder::Bytes() const
{
    std::string out = "GIF89a" + Le16(m_width) + Le16(m_height);
    out.push_back(static_cast<char>(0x81));  // global palette of 4 entries
    out.push_back(0);
    out.push_back(0);
    for (uint32_t rgb : m_palette) {
        out.push_back(static_cast<char>((rgb >> 16) & 0xFF));
        out.push_back(static_cast<char>((rgb >> 8) & 0xFF));
        out.push_back(static_cast<char>(rgb & 0xFF));
    }
    out += std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
    out += m_frames;
    out.push_back(0x3B);
    return out;
}
