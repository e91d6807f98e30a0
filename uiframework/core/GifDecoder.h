#pragma once
// The framework's GIF decoder, for the GIF animation control and for GIF skin
// images. Every frame is laid over one canvas the way the file's control
// blocks ask (transparency, disposal of the frame before), so each frame
// comes out as the whole picture shown while it plays.
//
// A file that breaks off or goes wrong after its first frame keeps the frames
// before the fault, as viewers show them; one without a whole first frame
// does not decode.

namespace CalUI {

bool IsGifSignature(const unsigned char* data, int size);

// Every frame as a whole width x height image of 8-bit R, G, B, A, rows top to
// bottom, one frame after the other. *delays gets one delay per frame in
// milliseconds: the control block's hundredths x 10, 0 for a frame without a
// control block (the player shows such a frame for its default time). The
// loop count is always 0. Null when nothing decodes. Free both the pixels and
// the delays with FreeImagePixels.
unsigned char* LoadGifFrames(const unsigned char* data, int size, int** delays, int* width, int* height,
                             int* frameCount, int* loopCount);

// The first frame alone, as a still image; free with FreeImagePixels.
unsigned char* LoadGifFirstFrame(const unsigned char* data, int size, int* width, int* height);

}  // namespace CalUI
