#include "core/ImageDecode.h"

#include "core/ApngDecoder.h"

// stb_image is compiled here, once, without its own PNG path: PNG data always
// goes through the APNG-capable decoder.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_PNG
#define STBI_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmisleading-indentation"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace CalUI {

unsigned char* DecodeImageRgba(const unsigned char* data, int size, int* width, int* height)
{
    if (IsPngSignature(data, size))
        return LoadPngDefaultImage(data, size, width, height);
    int channels = 0;
    return stbi_load_from_memory(data, size, width, height, &channels, 4);
}

unsigned char* LoadGifFrames(const unsigned char* data, int size, int** delays, int* width, int* height,
                             int* frameCount, int* loopCount)
{
    int channels = 0;
    *loopCount = 0;
    return stbi_load_gif_from_memory(data, size, delays, width, height, frameCount, &channels, 4);
}

void FreeImagePixels(void* pixels) { stbi_image_free(pixels); }

}  // namespace CalUI
