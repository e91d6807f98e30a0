#pragma once
// Builds PNG and animated-PNG files chunk by chunk for decoder tests, including
// files that break the rules: any chunk may be written with any content.

#include <cstdint>
#include <string>

std::string Be32Bytes(uint32_t value);

class PngBuilder
{
public:
    PngBuilder();  // starts with the signature

    PngBuilder& Chunk(const char (&type)[5], const std::string& data);
    PngBuilder& Header(uint32_t width, uint32_t height, uint8_t depth = 8, uint8_t colourType = 6,
                       uint8_t interlace = 0);
    // Scanlines (each row with its filter byte) compressed into one IDAT.
    PngBuilder& ImageData(const std::string& scanlines);
    PngBuilder& AnimationControl(uint32_t frames, uint32_t plays);
    PngBuilder& FrameControl(uint32_t sequence, uint32_t width, uint32_t height, uint32_t x, uint32_t y,
                             uint16_t delayNum = 1, uint16_t delayDen = 10, uint8_t dispose = 0, uint8_t blend = 0);
    PngBuilder& FrameData(uint32_t sequence, const std::string& scanlines);
    PngBuilder& End();

    const std::string& Bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};

// Unfiltered 8-bit RGBA scanlines; pixels are 0xRRGGBBAA values, row by row.
std::string RgbaScanlines(uint32_t width, uint32_t height, const uint32_t* pixels);
std::string Deflated(const std::string& data);
