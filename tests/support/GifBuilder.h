#pragma once
// Builds GIF files for tests, benchmarks and fuzzer seeds: palettes of up to
// four colours (global, or local to a frame), frames anywhere on the canvas
// with their own delays, transparent index and disposal, interlaced or not,
// with or without a control block; compressed as GIF encoders do.

#include <cstdint>
#include <string>
#include <vector>

// What a frame's control block asks for before the next frame is drawn.
enum class GifDispose : uint8_t
{
    Unspecified = 0,
    Keep = 1,
    Background = 2,
    Previous = 3,
};

struct GifPicture
{
    std::vector<uint8_t> indices;  // palette indices, width x height of them, rows top to bottom
    int left = 0;
    int top = 0;
    int width = 0;   // 0: the canvas width
    int height = 0;  // 0: the canvas height
    int delayHundredths = 0;
    int transparentIndex = -1;
    GifDispose dispose = GifDispose::Keep;
    bool control = true;  // false: no Graphic Control Extension before the frame
    bool interlaced = false;
    std::vector<uint32_t> localPalette;  // up to four 0xRRGGBB colours; empty: the global palette
};

class GifBuilder
{
public:
    // `palette`: up to four 0xRRGGBB colours.
    GifBuilder(int width, int height, std::vector<uint32_t> palette, int backgroundIndex = 0);

    GifBuilder& Frame(const GifPicture& picture);
    // A whole-canvas frame of palette indices, row by row, kept under the next.
    GifBuilder& Frame(const std::vector<uint8_t>& indices, int delayHundredths, int transparentIndex = -1);
    // A whole-canvas frame of a single palette index.
    GifBuilder& SolidFrame(uint8_t index, int delayHundredths);

    std::string Bytes() const;  // the file, trailer included

private:
    int m_width;
    int m_height;
    int m_backgroundIndex;
    std::vector<uint32_t> m_palette;
    std::string m_frames;
};
