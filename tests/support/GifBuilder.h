#pragma once
// Builds animated GIF files for tests and benchmarks: up to four palette
// colours, whole-image frames with their own delays and an optional
// transparent index, compressed as GIF encoders do.

#include <cstdint>
#include <string>
#include <vector>

class GifBuilder
{
public:
    // `palette`: up to four 0xRRGGBB colours.
    GifBuilder(int width, int height, std::vector<uint32_t> palette);

    // One frame of palette indices, row by row (width x height of them).
    GifBuilder& Frame(const std::vector<uint8_t>& indices, int delayHundredths, int transparentIndex = -1);
    // One frame of a single palette index.
    GifBuilder& SolidFrame(uint8_t index, int delayHundredths);

    std::string Bytes() const;  // the file, trailer included

private:
    int m_width;
    int m_height;
    std::vector<uint32_t> m_palette;
    std::string m_frames;
};
