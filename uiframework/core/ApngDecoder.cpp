#include "core/ApngDecoder.h"

#include <zlib.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace CalUI {

namespace {

thread_local const char* t_failure = "";
thread_local char t_unknownChunk[] = "XXXX PNG chunk not known";

bool Fail(const char* reason)
{
    t_failure = reason;
    return false;
}

constexpr uint32_t ChunkType(const char (&name)[5])
{
    return uint32_t(uint8_t(name[0])) << 24 | uint32_t(uint8_t(name[1])) << 16 | uint32_t(uint8_t(name[2])) << 8 |
           uint8_t(name[3]);
}

constexpr uint32_t kIHDR = ChunkType("IHDR");
constexpr uint32_t kPLTE = ChunkType("PLTE");
constexpr uint32_t kTRNS = ChunkType("tRNS");
constexpr uint32_t kIDAT = ChunkType("IDAT");
constexpr uint32_t kIEND = ChunkType("IEND");
constexpr uint32_t kACTL = 0x6163544C;
constexpr uint32_t kFCTL = 0x6663544C;
constexpr uint32_t kFDAT = 0x66644154;

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint32_t kMaxDimension = 1u << 24;
// Every block this decoder makes, the final one included, stays below this.
constexpr uint64_t kMaxBlockBytes = INT_MAX;
// An fcTL chunk with its length, type and CRC: each announced frame needs one.
constexpr uint32_t kFcTLChunkBytes = 12 + 26;
constexpr uint32_t kFirstGatherCapacity = 4096;

uint32_t Be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
uint16_t Be16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }

// Concatenated compressed data of one image, grown by doubling.
class Gather
{
public:
    Gather() = default;
    Gather(const Gather&) = delete;
    Gather& operator=(const Gather&) = delete;
    ~Gather() { free(data_); }

    bool Append(const uint8_t* bytes, uint32_t count)
    {
        if (count > UINT32_MAX - length_)
            return Fail("outofmem");
        uint32_t needed = length_ + count;
        if (needed > capacity_) {
            uint32_t capacity = capacity_ ? capacity_ : (count > kFirstGatherCapacity ? count : kFirstGatherCapacity);
            while (capacity < needed)
                capacity = capacity > UINT32_MAX / 2 ? needed : capacity * 2;
            auto* grown = static_cast<uint8_t*>(realloc(data_, capacity));
            if (!grown)
                return Fail("outofmem");
            data_ = grown;
            capacity_ = capacity;
        }
        memcpy(data_ + length_, bytes, count);
        length_ = needed;
        return true;
    }
    const uint8_t* Data() const { return data_; }
    uint32_t Length() const { return length_; }

private:
    uint8_t* data_ = nullptr;
    uint32_t length_ = 0;
    uint32_t capacity_ = 0;
};

struct ApngFrameInfo
{
    ApngFrameRecord record = {};
    Gather compressed;
    std::vector<uint8_t> pixels;  // RGBA; empty when the frame is the default image
};

struct ImageFormat
{
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t depth = 0;
    uint8_t colourType = 0;
    bool interlaced = false;

    int Samples() const
    {
        static const int samples[] = {1, 0, 3, 1, 2, 0, 4};
        return samples[colourType];
    }
    int BitsPerPixel() const { return Samples() * depth; }
};

struct Transparency
{
    uint8_t palette[256][4] = {};  // RGBA; entries past the palette stay transparent black
    uint32_t paletteCount = 0;
    bool hasKey = false;
    uint16_t key[3] = {};
};

uint64_t RowBytes(uint32_t width, int bitsPerPixel) { return (uint64_t(width) * bitsPerPixel + 7) >> 3; }

struct Pass
{
    uint32_t x0, y0, dx, dy;
};
constexpr Pass kAdam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                            {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
constexpr Pass kWhole = {0, 0, 1, 1};

uint32_t PassSize(uint32_t size, uint32_t origin, uint32_t step)
{
    return size > origin ? (size - origin + step - 1) / step : 0;
}

// The inflated length of an image of the given size: filter byte plus row.
uint64_t ScanlineBytes(const ImageFormat& f, uint32_t width, uint32_t height)
{
    uint64_t total = 0;
    for (const Pass& p : f.interlaced ? std::vector<Pass>(kAdam7, kAdam7 + 7) : std::vector<Pass>{kWhole}) {
        uint32_t w = PassSize(width, p.x0, p.dx), h = PassSize(height, p.y0, p.dy);
        if (w && h)
            total += h * (RowBytes(w, f.BitsPerPixel()) + 1);
    }
    return total;
}

bool Inflate(const Gather& compressed, std::vector<uint8_t>& out)
{
    z_stream z = {};
    if (inflateInit(&z) != Z_OK)
        return Fail("outofmem");
    z.next_in = const_cast<Bytef*>(compressed.Data());
    z.avail_in = compressed.Length();
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    int status = Z_OK;
    while (z.avail_out && status == Z_OK)
        status = inflate(&z, Z_NO_FLUSH);
    bool full = z.avail_out == 0;
    inflateEnd(&z);
    if (full)
        return true;
    return Fail(status == Z_STREAM_END ? "not enough pixels" : status == Z_BUF_ERROR ? "outofdata" : "bad zlib");
}

uint8_t Paeth(int a, int b, int c)
{
    int p = a + b - c, pa = abs(p - a), pb = abs(p - b), pc = abs(p - c);
    return uint8_t(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Reverses the row filters in place; rows keep their leading filter byte.
bool Unfilter(uint8_t* rows, uint32_t height, uint32_t rowBytes, int bitsPerPixel)
{
    const uint32_t bpp = bitsPerPixel >= 8 ? uint32_t(bitsPerPixel / 8) : 1;
    const uint8_t* previous = nullptr;
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = rows + uint64_t(y) * (rowBytes + 1);
        uint8_t filter = row[0];
        uint8_t* cur = row + 1;
        if (filter > 4)
            return Fail("invalid filter");
        for (uint32_t i = 0; i < rowBytes; ++i) {
            int a = i >= bpp ? cur[i - bpp] : 0;
            int b = previous ? previous[i] : 0;
            int c = previous && i >= bpp ? previous[i - bpp] : 0;
            switch (filter) {
            case 1:
                cur[i] = uint8_t(cur[i] + a);
                break;
            case 2:
                cur[i] = uint8_t(cur[i] + b);
                break;
            case 3:
                cur[i] = uint8_t(cur[i] + ((a + b) >> 1));
                break;
            case 4:
                cur[i] = uint8_t(cur[i] + Paeth(a, b, c));
                break;
            default:
                break;
            }
        }
        previous = cur;
    }
    return true;
}

uint16_t Sample(const uint8_t* row, uint32_t index, int depth)
{
    switch (depth) {
    case 16:
        return Be16(row + index * 2);
    case 8:
        return row[index];
    default: {
        uint32_t bit = index * depth;
        return uint16_t((row[bit >> 3] >> (8 - depth - (bit & 7))) & ((1 << depth) - 1));
    }
    }
}

// One pixel of an unfiltered row as 8-bit RGBA, with palette and colour key.
void ConvertPixel(const ImageFormat& f, const Transparency& t, const uint8_t* row, uint32_t x, uint8_t* out)
{
    const int n = f.Samples();
    uint16_t s[4];
    for (int i = 0; i < n; ++i)
        s[i] = Sample(row, x * n + i, f.depth);
    if (f.colourType == 3) {
        memcpy(out, t.palette[s[0]], 4);
        return;
    }
    auto to8 = [&](uint16_t v) -> uint8_t {
        static const uint8_t scale[] = {0, 0xFF, 0x55, 0, 0x11};
        return f.depth == 16 ? uint8_t(v >> 8) : f.depth == 8 ? uint8_t(v) : uint8_t(v * scale[f.depth]);
    };
    bool grey = f.colourType == 0 || f.colourType == 4;
    out[0] = to8(s[0]);
    out[1] = to8(grey ? s[0] : s[1]);
    out[2] = to8(grey ? s[0] : s[2]);
    bool hasAlpha = f.colourType == 4 || f.colourType == 6;
    out[3] = hasAlpha ? to8(s[n - 1]) : 255;
    if (t.hasKey && s[0] == t.key[0] && (grey || (s[1] == t.key[1] && s[2] == t.key[2])))
        out[3] = 0;
}

// Inflates, unfilters and converts one image (the default image or a frame).
bool DecodeImage(const ImageFormat& f, const Transparency& t, const Gather& compressed, uint32_t width, uint32_t height,
                 std::vector<uint8_t>& rgba)
{
    uint64_t rawBytes = ScanlineBytes(f, width, height);
    if (rawBytes > kMaxBlockBytes)
        return Fail("too large");
    std::vector<uint8_t> raw(static_cast<size_t>(rawBytes));
    if (!Inflate(compressed, raw))
        return false;
    rgba.assign(size_t(width) * height * 4, 0);
    size_t at = 0;
    for (const Pass& p : f.interlaced ? std::vector<Pass>(kAdam7, kAdam7 + 7) : std::vector<Pass>{kWhole}) {
        uint32_t w = PassSize(width, p.x0, p.dx), h = PassSize(height, p.y0, p.dy);
        if (!w || !h)
            continue;
        uint32_t rowBytes = uint32_t(RowBytes(w, f.BitsPerPixel()));
        if (!Unfilter(raw.data() + at, h, rowBytes, f.BitsPerPixel()))
            return false;
        for (uint32_t y = 0; y < h; ++y) {
            const uint8_t* row = raw.data() + at + size_t(y) * (rowBytes + 1) + 1;
            for (uint32_t x = 0; x < w; ++x) {
                size_t target = (size_t(p.y0 + y * p.dy) * width + p.x0 + x * p.dx) * 4;
                ConvertPixel(f, t, row, x, rgba.data() + target);
            }
        }
        at += size_t(h) * (rowBytes + 1);
    }
    return true;
}

class ApngDecoder
{
public:
    ApngDecoder(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    // Parses every chunk and decodes the default image and, when asked, every
    // frame that has data of its own.
    bool Decode(bool withFrames)
    {
        if (!IsPngSignature(data_, int(size_)))
            return Fail("not PNG");
        size_t pos = sizeof kSignature;
        for (bool first = true;; first = false) {
            if (size_ - pos < 8)
                return Fail("outofdata");
            uint32_t length = Be32(data_ + pos), type = Be32(data_ + pos + 4);
            pos += 8;
            if (length > size_ - pos || size_ - pos - length < 4)
                return Fail("outofdata");
            const uint8_t* chunk = data_ + pos;
            pos += size_t(length) + 4;
            if (first && type != kIHDR)
                return Fail("first not IHDR");
            if (type == kIEND)
                return Finish(withFrames);
            if (!Chunk(type, chunk, length, size_ - pos))
                return false;
        }
    }

    unsigned char* PackDefaultImage() const { return Copy(pixels_.data(), pixels_.size()); }

    // The default image, each frame's own pixels, padding, the directory.
    unsigned char* PackDirectory(uint32_t* directoryOffset) const
    {
        uint64_t pixelBytes = pixels_.size();
        for (const ApngFrameInfo& frame : frames_)
            pixelBytes += frame.pixels.size();
        uint64_t offset = (pixelBytes + 3) & ~uint64_t(3);
        uint64_t total = offset + sizeof(ApngDirectoryHeader) + frames_.size() * sizeof(ApngFrameRecord);
        if (total > kMaxBlockBytes)
            return Fail("too large"), nullptr;
        auto* block = static_cast<unsigned char*>(calloc(size_t(total), 1));
        if (!block)
            return Fail("outofmem"), nullptr;
        unsigned char* at = block;
        at = static_cast<unsigned char*>(memcpy(at, pixels_.data(), pixels_.size())) + pixels_.size();
        for (const ApngFrameInfo& frame : frames_)
            at =
                static_cast<unsigned char*>(memcpy(at, frame.pixels.data(), frame.pixels.size())) + frame.pixels.size();
        ApngDirectoryHeader header = {kApngDirectoryMagic, uint32_t(frames_.size()),
                                      frames_[0].pixels.empty() ? 1u : 0u, playCount_};
        memcpy(block + offset, &header, sizeof header);
        auto* records = block + offset + sizeof header;
        for (size_t i = 0; i < frames_.size(); ++i)
            memcpy(records + i * sizeof(ApngFrameRecord), &frames_[i].record, sizeof(ApngFrameRecord));
        *directoryOffset = uint32_t(offset);
        return block;
    }

    bool IsAnimated() const { return !frames_.empty(); }
    uint32_t Width() const { return format_.width; }
    uint32_t Height() const { return format_.height; }

private:
    static unsigned char* Copy(const uint8_t* bytes, size_t size)
    {
        auto* copy = static_cast<unsigned char*>(malloc(size));
        if (!copy)
            return Fail("outofmem"), nullptr;
        return static_cast<unsigned char*>(memcpy(copy, bytes, size));
    }

    bool Chunk(uint32_t type, const uint8_t* d, uint32_t length, size_t remaining)
    {
        switch (type) {
        case kIHDR:
            return Header(d, length);
        case kPLTE:
            return Palette(d, length);
        case kTRNS:
            return TransparencyChunk(d, length);
        case kIDAT:
            return ImageData(d, length);
        case kACTL:
            return AnimationControl(d, length, remaining);
        case kFCTL:
            return FrameControl(d, length);
        case kFDAT:
            return FrameData(d, length);
        default:
            if (type & 0x20000000)
                return true;  // ancillary: skipped
            for (int i = 0; i < 4; ++i)
                t_unknownChunk[i] = char(type >> (24 - 8 * i));
            return Fail(t_unknownChunk);
        }
    }

    bool Header(const uint8_t* d, uint32_t length)
    {
        if (format_.width)
            return Fail("multiple IHDR");
        if (length != 13)
            return Fail("bad IHDR len");
        format_.width = Be32(d);
        format_.height = Be32(d + 4);
        format_.depth = d[8];
        format_.colourType = d[9];
        if (format_.width > kMaxDimension || format_.height > kMaxDimension)
            return Fail("too large");
        if (!format_.width || !format_.height)
            return Fail("0-pixel image");
        uint8_t depth = format_.depth, colour = format_.colourType;
        if (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16)
            return Fail("1/2/4/8/16-bit only");
        if (colour > 6 || colour == 1 || colour == 5)
            return Fail("bad ctype");
        if ((colour == 3 && depth == 16) || (colour != 0 && colour != 3 && depth < 8))
            return Fail("bad ctype");
        if (d[10])
            return Fail("bad comp method");
        if (d[11])
            return Fail("bad filter method");
        if (d[12] > 1)
            return Fail("bad interlace method");
        format_.interlaced = d[12] == 1;
        return true;
    }

    bool Palette(const uint8_t* d, uint32_t length)
    {
        if (length > 256 * 3 || length % 3)
            return Fail("invalid PLTE");
        transparency_.paletteCount = length / 3;
        for (uint32_t i = 0; i < transparency_.paletteCount; ++i) {
            memcpy(transparency_.palette[i], d + i * 3, 3);
            transparency_.palette[i][3] = 255;
        }
        return true;
    }

    bool TransparencyChunk(const uint8_t* d, uint32_t length)
    {
        if (sawImageData_)
            return Fail("tRNS after IDAT");
        switch (format_.colourType) {
        case 3:
            if (!transparency_.paletteCount)
                return Fail("tRNS before PLTE");
            if (length > transparency_.paletteCount)
                return Fail("bad tRNS len");
            for (uint32_t i = 0; i < length; ++i)
                transparency_.palette[i][3] = d[i];
            return true;
        case 0:
        case 2: {
            uint32_t samples = format_.colourType == 0 ? 1 : 3;
            if (length != samples * 2)
                return Fail("bad tRNS len");
            transparency_.hasKey = true;
            for (uint32_t i = 0; i < samples; ++i)
                transparency_.key[i] = Be16(d + 2 * i);
            return true;
        }
        default:
            return Fail("tRNS with alpha");
        }
    }

    bool ImageData(const uint8_t* d, uint32_t length)
    {
        if (format_.colourType == 3 && !transparency_.paletteCount)
            return Fail("no PLTE");
        // Sequence numbers only rise, so this also refuses a second fcTL before IDAT.
        if (lastSequence_ != 0)
            return Fail("invalid sequence number for IDAT");
        sawImageData_ = true;
        return compressed_.Append(d, length);
    }

    bool AnimationControl(const uint8_t* d, uint32_t length, size_t remaining)
    {
        if (sawImageData_)
            return Fail("acTL after IDAT");
        if (sawAnimationControl_)
            return Fail("duplicate acTL");
        if (length != 8)
            return Fail("invalid acTL");
        uint32_t count = Be32(d);
        if (count == 0)
            return Fail("acTL with 0 frames");
        // Every announced frame needs its own fcTL chunk in what follows.
        if (count > remaining / kFcTLChunkBytes)
            return Fail("too many frames");
        try {
            frames_ = std::vector<ApngFrameInfo>(count);
        } catch (const std::bad_alloc&) {
            return Fail("outofmem");
        }
        playCount_ = Be32(d + 4);
        sawAnimationControl_ = true;
        return true;
    }

    bool Sequence(uint32_t sequence)
    {
        if (sequence != expectedSequence_)
            return Fail("invalid sequence number");
        lastSequence_ = sequence;
        expectedSequence_ = sequence + 1;
        return true;
    }

    bool FrameControl(const uint8_t* d, uint32_t length)
    {
        if (!sawAnimationControl_)
            return Fail("fcTL before acTL");
        if (frameIndex_ >= frames_.size())
            return Fail("too many frames");
        if (length != 26)
            return Fail("invalid fcTL");
        if (!Sequence(Be32(d)))
            return false;
        ApngFrameRecord& r = frames_[frameIndex_].record;
        r = ApngFrameRecord{Be32(d + 4),  Be32(d + 8), Be32(d + 12), Be32(d + 16), Be16(d + 20),
                            Be16(d + 22), d[24],       d[25],        {0, 0}};
        if (!r.width)
            return Fail("zero width in fcTL");
        if (!r.height)
            return Fail("zero height in fcTL");
        // Written so that no sum can wrap past the image size.
        if (r.width > format_.width || r.x_offset > format_.width - r.width || r.height > format_.height ||
            r.y_offset > format_.height - r.height)
            return Fail("fcTL out of image bounds");
        if (!sawImageData_) {
            if (r.x_offset)
                return Fail("invalid x_offset in fcTL for default image");
            if (r.y_offset)
                return Fail("invalid y_offset in fcTL for default image");
            if (r.width != format_.width)
                return Fail("invalid width in fcTL for default image");
            if (r.height != format_.height)
                return Fail("invalid height in fcTL for default image");
        }
        if (frameIndex_ == 0 && r.dispose_op == 2)
            r.dispose_op = 1;
        ++frameIndex_;
        return true;
    }

    bool FrameData(const uint8_t* d, uint32_t length)
    {
        if (frameIndex_ == 0)
            return Fail("missing fcTL");
        if (length < 4)
            return Fail("invalid fdAT");
        if (!Sequence(Be32(d)))
            return false;
        return frames_[frameIndex_ - 1].compressed.Append(d + 4, length - 4);
    }

    bool Finish(bool withFrames)
    {
        if (!sawImageData_)
            return Fail("no IDAT");
        if (frameIndex_ != frames_.size())
            return Fail("missing fcTL chunks");
        // The whole result is sized before anything is inflated.
        uint64_t total = uint64_t(format_.width) * format_.height * 4;
        for (const ApngFrameInfo& frame : frames_)
            if (frame.compressed.Length())
                total += uint64_t(frame.record.width) * frame.record.height * 4;
        if (total + sizeof(ApngDirectoryHeader) + 3 + frames_.size() * sizeof(ApngFrameRecord) > kMaxBlockBytes)
            return Fail("too large");
        try {
            if (!DecodeImage(format_, transparency_, compressed_, format_.width, format_.height, pixels_))
                return false;
            if (!withFrames)
                return true;
            for (ApngFrameInfo& frame : frames_) {
                if (!frame.compressed.Length())
                    continue;
                if (!DecodeImage(format_, transparency_, frame.compressed, frame.record.width, frame.record.height,
                                 frame.pixels))
                    return false;
            }
        } catch (const std::bad_alloc&) {
            return Fail("outofmem");
        }
        return true;
    }

    const uint8_t* data_;
    size_t size_;
    ImageFormat format_;
    Transparency transparency_;
    Gather compressed_;
    std::vector<uint8_t> pixels_;
    std::vector<ApngFrameInfo> frames_;
    uint32_t playCount_ = 0;
    size_t frameIndex_ = 0;
    uint32_t expectedSequence_ = 0;
    uint32_t lastSequence_ = 0;
    bool sawImageData_ = false;
    bool sawAnimationControl_ = false;
};

}  // namespace

bool IsPngSignature(const unsigned char* data, int size)
{
    return data && size >= int(sizeof kSignature) && memcmp(data, kSignature, sizeof kSignature) == 0;
}

const char* ApngFailureReason() { return t_failure; }

unsigned char* LoadPngDefaultImage(const unsigned char* data, int size, int* width, int* height)
{
    if (size < 0)
        return Fail("outofdata"), nullptr;
    ApngDecoder decoder(data, size_t(size));
    if (!decoder.Decode(false))
        return nullptr;
    unsigned char* pixels = decoder.PackDefaultImage();
    if (!pixels)
        return nullptr;
    *width = int(decoder.Width());
    *height = int(decoder.Height());
    return pixels;
}

unsigned char* LoadApngFrames(const unsigned char* data, int size, const ApngFrameRecord** frames, int* width,
                              int* height, int* frameCount, int* playCount, bool* separateDefault)
{
    if (size < 0)
        return Fail("outofdata"), nullptr;
    ApngDecoder decoder(data, size_t(size));
    if (!decoder.Decode(true))
        return nullptr;
    *width = int(decoder.Width());
    *height = int(decoder.Height());
    if (!decoder.IsAnimated()) {
        *frames = nullptr;
        return decoder.PackDefaultImage();
    }
    uint32_t offset = 0;
    unsigned char* block = decoder.PackDirectory(&offset);
    if (!block)
        return nullptr;
    ApngDirectoryHeader header;
    memcpy(&header, block + offset, sizeof header);
    *frames = reinterpret_cast<const ApngFrameRecord*>(block + offset + sizeof header);
    *frameCount = int(header.frameCount);
    *playCount = int(header.playCount);
    *separateDefault = header.defaultIsFrame == 0;
    return block;
}

}  // namespace CalUI
