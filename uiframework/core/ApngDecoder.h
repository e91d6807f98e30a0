#pragma once
// The framework's own PNG decoder. It also reads the animated-PNG chunks
// (acTL, fcTL, fdAT), so that the APNG animation control gets every frame in
// one block: the default image, the frames' pixels, then an ApngDirectory.

#include <cstdint>

namespace CalUI {

constexpr uint32_t kApngDirectoryMagic = 0x474E5041;  // the bytes 'A','P','N','G'

// One frame record of an ApngDirectory (24 bytes, little-endian).
#pragma pack(push, 1)
struct ApngFrameRecord
{
    uint32_t width;
    uint32_t height;
    uint32_t x_offset;
    uint32_t y_offset;
    uint16_t delay_num;
    uint16_t delay_den;
    uint8_t dispose_op;  // 0 none, 1 background, 2 previous
    uint8_t blend_op;    // 0 source, 1 over
    uint8_t reserved[2];
};
#pragma pack(pop)
static_assert(sizeof(ApngFrameRecord) == 24);

// Directory header that follows the pixels, at a multiple of 4.
#pragma pack(push, 1)
struct ApngDirectoryHeader
{
    uint32_t magic;
    uint32_t frameCount;
    uint32_t defaultIsFrame;  // 1 when frame 0 has no pixels of its own
    uint32_t playCount;       // 0 plays for ever
};
#pragma pack(pop)
static_assert(sizeof(ApngDirectoryHeader) == 16);

bool IsPngSignature(const unsigned char* data, int size);

// Why the last decode on this thread failed.
const char* ApngFailureReason();

// The default image as 8-bit RGBA rows, top to bottom; free with FreeImagePixels.
unsigned char* LoadPngDefaultImage(const unsigned char* data, int size, int* width, int* height);

// Every frame as 8-bit RGBA. A PNG without acTL gives the default image alone
// and leaves *frames and the counts as they were. Free with FreeImagePixels.
unsigned char* LoadApngFrames(const unsigned char* data, int size, const ApngFrameRecord** frames, int* width,
                              int* height, int* frameCount, int* playCount, bool* separateDefault);

// The decoder's own check of a directory it has packed, before the counts are
// read back from it: the header at directoryOffset, or null when it does not
// start with the magic ("invalid apng directory", also written to the
// standard error stream).
const ApngDirectoryHeader* CheckApngDirectory(const unsigned char* block, uint32_t directoryOffset);

}  // namespace CalUI
