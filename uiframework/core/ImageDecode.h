#pragma once
// Decoding skin images from memory: PNG (animated or not) through the
// framework's own decoder, every other format through stb_image.

namespace CalUI {

// 8-bit RGBA rows, top to bottom; null when the data cannot be decoded.
// Free with FreeImagePixels.
unsigned char* DecodeImageRgba(const unsigned char* data, int size, int* width, int* height);

// Every GIF frame as a whole width x height RGBA image, one after the other;
// *delays gets one delay in milliseconds per frame. The loop count is always 0.
// Free both the pixels and the delays with FreeImagePixels.
unsigned char* LoadGifFrames(const unsigned char* data, int size, int** delays, int* width, int* height,
                             int* frameCount, int* loopCount);

// Frees what these loaders, LoadApngFrames and stb_image return.
void FreeImagePixels(void* pixels);

}  // namespace CalUI
