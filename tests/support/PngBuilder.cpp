#include "PngBuilder.h"

#include <zlib.h>

std::string Be32Bytes(uint32_t value)
{
    return std::string{char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

namespace {
std::string Be16Bytes(uint16_t value) { return std::string{char(value >> 8), char(value)}; }
}  // namespace

std::string Deflated(const std::string& data)
{
    uLongf size = compressBound(uLong(data.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
              uLong(data.size()), 9);
    out.resize(size);
    return out;
}

PngBuilder::PngBuilder() : m_bytes("\x89PNG\r\n\x1a\n", 8) {}

PngBuilder& PngBuilder::Chunk(const char (&type)[5], const std::string& data)
{
    std::string typed = std::string(type, 4) + data;
    uint32_t crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(typed.data()), uInt(typed.size())));
    m_bytes += Be32Bytes(uint32_t(data.size())) + typed + Be32Bytes(crc);
    return *this;
}

PngBuilder& PngBuilder::Header(uint32_t width, uint32_t height, uint8_t depth, uint8_t colourType, uint8_t interlace)
{
    return Chunk("IHDR", Be32Bytes(width) + Be32Bytes(height) +
                             std::string{char(depth), char(colourType), 0, 0, char(interlace)});
}

PngBuilder& PngBuilder::ImageData(const std::string& scanlines) { return Chunk("IDAT", Deflated(scanlines)); }

PngBuilder& PngBuilder::AnimationControl(uint32_t frames, uint32_t plays)
{
    return Chunk("acTL", Be32Bytes(frames) + Be32Bytes(plays));
}

PngBuilder& PngBuilder::FrameControl(uint32_t sequence, uint32_t width, uint32_t height, uint32_t x, uint32_t y,
                                     uint16_t delayNum, uint16_t delayDen, uint8_t dispose, uint8_t blend)
{
    return Chunk("fcTL", Be32Bytes(sequence) + Be32Bytes(width) + Be32Bytes(height) + Be32Bytes(x) + Be32Bytes(y) +
                             Be16Bytes(delayNum) + Be16Bytes(delayDen) + std::string{char(dispose), char(blend)});
}

PngBuilder& PngBuilder::FrameData(uint32_t sequence, const std::string& scanlines)
{
    return Chunk("fdAT", Be32Bytes(sequence) + Deflated(scanlines));
}

PngBuilder& PngBuilder::End() { return Chunk("IEND", ""); }

std::string RgbaScanlines(uint32_t width, uint32_t height, const uint32_t* pixels)
{
    std::string out;
    for (uint32_t y = 0; y < height; ++y) {
        out += '\0';
        for (uint32_t x = 0; x < width; ++x)
            out += Be32Bytes(pixels[y * width + x]);
    }
    return out;
}
