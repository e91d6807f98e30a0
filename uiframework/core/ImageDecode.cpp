#include "core/ImageDecode.h"

#include "core/ApngDecoder.h"
#include "core/GifDecoder.h"

// stb_image is compiled here, once, without its own PNG and GIF paths: those
// formats always go through the framework's decoders.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_PNG
#define STBI_NO_GIF
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
    if (IsGifSignature(data, size))
        return LoadGifFirstFrame(data, size, width, height);
    int channels = 0;
    return stbi_load_from_memory(data, size, width, height, &channels, 4);
}

void FreeImagePixels(void* pixels) { stbi_image_free(pixels); }

}  // namespace CalUI
