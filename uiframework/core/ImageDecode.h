#pragma once
// Decoding skin images from memory: PNG (animated or not) and GIF through the
// framework's own decoders, every other format through stb_image.

namespace CalUI {

// 8-bit RGBA rows, top to bottom; null when the data cannot be decoded. A GIF
// gives its first frame. Free with FreeImagePixels.
unsigned char* DecodeImageRgba(const unsigned char* data, int size, int* width, int* height);

// Frees what this loader, LoadGifFrames, LoadApngFrames and stb_image return.
void FreeImagePixels(void* pixels);

}  // namespace CalUI
