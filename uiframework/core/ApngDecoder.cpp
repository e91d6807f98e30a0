#include "core/ApngDecoder.h"

#include <zlib.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <utility>
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
    Gather compressed;  // empty when the frame is the default image
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
    bool IsRgba8() const { return colourType == 6 && depth == 8; }
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
constexpr Pass kWhole[1] = {{0, 0, 1, 1}};

uint32_t PassSize(uint32_t size, uint32_t origin, uint32_t step)
{
    return size > origin ? (size - origin + step - 1) / step : 0;
}

enum class PngFilter : uint8_t
{
    None = 0,
    Sub = 1,
    Up = 2,
    Average = 3,
    Paeth = 4,
};

uint8_t Paeth(int a, int b, int c)
{
    int p = a + b - c, pa = abs(p - a), pb = abs(p - b), pc = abs(p - c);
    return uint8_t(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Reverses one row's filter in place; `previous` is the row above, already
// unfiltered (zeros above a pass's first row), `bpp` the bytes of one pixel
// (at least 1).
bool UnfilterRow(uint8_t filter, uint8_t* row, const uint8_t* previous, uint32_t length, uint32_t bpp)
{
    const uint32_t lead = bpp < length ? bpp : length;
    switch (PngFilter(filter)) {
    case PngFilter::None:
        return true;
    case PngFilter::Sub:
        for (uint32_t i = bpp; i < length; ++i)
            row[i] = uint8_t(row[i] + row[i - bpp]);
        return true;
    case PngFilter::Up:
        for (uint32_t i = 0; i < length; ++i)
            row[i] = uint8_t(row[i] + previous[i]);
        return true;
    case PngFilter::Average:
        for (uint32_t i = 0; i < lead; ++i)
            row[i] = uint8_t(row[i] + (previous[i] >> 1));
        for (uint32_t i = bpp; i < length; ++i)
            row[i] = uint8_t(row[i] + ((row[i - bpp] + previous[i]) >> 1));
        return true;
    case PngFilter::Paeth:
        for (uint32_t i = 0; i < lead; ++i)
            row[i] = uint8_t(row[i] + previous[i]);
        for (uint32_t i = bpp; i < length; ++i)
            row[i] = uint8_t(row[i] + Paeth(row[i - bpp], previous[i], previous[i - bpp]));
        return true;
    }
    return Fail("invalid filter");
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

// One zlib stream after another, each read out in pieces of the caller's size.
class Inflater
{
public:
    Inflater() = default;
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    ~Inflater()
    {
        if (ready_)
            inflateEnd(&z_);
    }

    bool Start(const Gather& compressed)
    {
        if (!ready_ && inflateInit(&z_) != Z_OK)
            return Fail("outofmem");
        ready_ = true;
        inflateReset(&z_);
        z_.next_in = const_cast<Bytef*>(compressed.Data());
        z_.avail_in = compressed.Length();
        return true;
    }

    // Exactly `count` bytes, or the reason there are not.
    bool Read(uint8_t* out, uint32_t count)
    {
        z_.next_out = out;
        z_.avail_out = count;
        int status = Z_OK;
        while (z_.avail_out && status == Z_OK)
            status = inflate(&z_, Z_NO_FLUSH);
        if (z_.avail_out == 0)
            return true;
        return Fail(status == Z_STREAM_END ? "not enough pixels" : status == Z_BUF_ERROR ? "outofdata" : "bad zlib");
    }

private:
    z_stream z_ = {};
    bool ready_ = false;
};

// Turns images of one PNG's format into 8-bit RGBA rows, a scanline at a
// time, so that what is inflated is used while it is still in the cache.
class ImageDecoder
{
public:
    ImageDecoder(const ImageFormat& format, const Transparency& transparency)
        : format_(format), transparency_(transparency)
    {}

    // One image (the default image or a frame) into width x height pixels at `out`.
    bool Decode(const Gather& compressed, uint32_t width, uint32_t height, uint8_t* out)
    {
        if (!inflater_.Start(compressed))
            return false;
        if (format_.IsRgba8() && !format_.interlaced)
            return DecodeRgba8Rows(width, height, out);
        const Pass* passes = format_.interlaced ? kAdam7 : kWhole;
        const size_t passCount = format_.interlaced ? std::size(kAdam7) : std::size(kWhole);
        for (size_t i = 0; i < passCount; ++i)
            if (!DecodePass(passes[i], width, height, out))
                return false;
        return true;
    }

private:
    // Rows of 8-bit RGBA are already what is handed out: each is inflated
    // straight into its place and unfiltered against the row above it there.
    bool DecodeRgba8Rows(uint32_t width, uint32_t height, uint8_t* out)
    {
        const uint32_t rowBytes = width * 4;
        previous_.assign(rowBytes, 0);
        const uint8_t* above = previous_.data();
        for (uint32_t y = 0; y < height; ++y, above = out, out += rowBytes) {
            uint8_t filter = 0;
            if (!inflater_.Read(&filter, 1) || !inflater_.Read(out, rowBytes) ||
                !UnfilterRow(filter, out, above, rowBytes, 4))
                return false;
        }
        return true;
    }

    bool DecodePass(const Pass& p, uint32_t width, uint32_t height, uint8_t* out)
    {
        const uint32_t w = PassSize(width, p.x0, p.dx), h = PassSize(height, p.y0, p.dy);
        if (!w || !h)
            return true;
        const int bits = format_.BitsPerPixel();
        const uint32_t rowBytes = uint32_t(RowBytes(w, bits));
        const uint32_t bpp = bits >= 8 ? uint32_t(bits / 8) : 1;
        // Each row keeps its filter byte in front.
        current_.resize(size_t(rowBytes) + 1);
        previous_.assign(size_t(rowBytes) + 1, 0);
        for (uint32_t y = 0; y < h; ++y) {
            if (!inflater_.Read(current_.data(), rowBytes + 1) ||
                !UnfilterRow(current_[0], current_.data() + 1, previous_.data() + 1, rowBytes, bpp))
                return false;
            uint8_t* target = out + (size_t(p.y0 + y * p.dy) * width + p.x0) * 4;
            for (uint32_t x = 0; x < w; ++x, target += size_t(p.dx) * 4)
                ConvertPixel(format_, transparency_, current_.data() + 1, x, target);
            current_.swap(previous_);
        }
        return true;
    }

    const ImageFormat& format_;
    const Transparency& transparency_;
    Inflater inflater_;
    std::vector<uint8_t> current_;
    std::vector<uint8_t> previous_;
};

struct FreeBlock
{
    void operator()(unsigned char* block) const { free(block); }
};
using Block = std::unique_ptr<unsigned char, FreeBlock>;

enum class ApngPart
{
    DefaultImage,
    EveryFrame,
};

class ApngDecoder
{
public:
    ApngDecoder(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    // Every chunk up to IEND with its checks; the compressed data of the
    // default image and of each frame is gathered, nothing is inflated yet.
    bool ParseApngChunks()
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
                return Finish();
            if (!Chunk(type, chunk, length, size_ - pos))
                return false;
        }
    }

    // Parses, then decodes the default image and, for every frame, each frame
    // with data of its own, as 8-bit RGBA straight into one block that is
    // sized for them and, when there are frames, the directory.
    bool DecodeApng(ApngPart part, uint32_t* width, uint32_t* height)
    {
        if (!ParseApngChunks())
            return false;
        directory_ = part == ApngPart::EveryFrame && !frames_.empty();
        uint64_t pixelBytes = uint64_t(format_.width) * format_.height * 4;
        for (const ApngFrameInfo& frame : frames_)
            if (directory_ && frame.compressed.Length())
                pixelBytes += uint64_t(frame.record.width) * frame.record.height * 4;
        // Four bytes a pixel leave the directory on a multiple of 4.
        const uint64_t total =
            pixelBytes + (directory_ ? sizeof(ApngDirectoryHeader) + frames_.size() * sizeof(ApngFrameRecord) : 0);
        if (total > kMaxBlockBytes)
            return Fail("too large");
        block_.reset(static_cast<unsigned char*>(malloc(size_t(total))));
        if (!block_)
            return Fail("outofmem");
        pixelBytes_ = size_t(pixelBytes);
        try {
            if (!DecodePixels())
                return false;
        } catch (const std::bad_alloc&) {
            return Fail("outofmem");
        }
        *width = format_.width;
        *height = format_.height;
        return true;
    }

    // Hands the block over; with frames, after writing the directory behind
    // the pixels and its offset to *directoryOffset.
    unsigned char* PackApngDirectory(uint32_t* directoryOffset)
    {
        if (directory_) {
            unsigned char* at = block_.get() + pixelBytes_;
            const ApngDirectoryHeader header = {kApngDirectoryMagic, uint32_t(frames_.size()),
                                                frames_[0].compressed.Length() ? 0u : 1u, playCount_};
            memcpy(at, &header, sizeof header);
            at += sizeof header;
            for (const ApngFrameInfo& frame : frames_)
                at = static_cast<unsigned char*>(memcpy(at, &frame.record, sizeof frame.record)) + sizeof frame.record;
            *directoryOffset = uint32_t(pixelBytes_);
        }
        return block_.release();
    }

    bool HasDirectory() const { return directory_; }

private:
    bool DecodePixels()
    {
        ImageDecoder images(format_, transparency_);
        unsigned char* at = block_.get();
        if (!images.Decode(compressed_, format_.width, format_.height, at))
            return false;
        at += size_t(format_.width) * format_.height * 4;
        for (const ApngFrameInfo& frame : frames_) {
            if (!directory_ || !frame.compressed.Length())
                continue;
            if (!images.Decode(frame.compressed, frame.record.width, frame.record.height, at))
                return false;
            at += size_t(frame.record.width) * frame.record.height * 4;
        }
        return true;
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

    bool Finish()
    {
        if (!sawImageData_)
            return Fail("no IDAT");
        if (frameIndex_ != frames_.size())
            return Fail("missing fcTL chunks");
        return true;
    }

    const uint8_t* data_;
    size_t size_;
    ImageFormat format_;
    Transparency transparency_;
    Gather compressed_;
    std::vector<ApngFrameInfo> frames_;
    Block block_;
    size_t pixelBytes_ = 0;
    bool directory_ = false;
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

const ApngDirectoryHeader* CheckApngDirectory(const unsigned char* block, uint32_t directoryOffset)
{
    uint32_t magic = 0;
    memcpy(&magic, block + directoryOffset, sizeof magic);
    if (magic != kApngDirectoryMagic) {
        fputs("invalid apng directory\n", stderr);
        return Fail("invalid apng directory"), nullptr;
    }
    return reinterpret_cast<const ApngDirectoryHeader*>(block + directoryOffset);
}

unsigned char* LoadPngDefaultImage(const unsigned char* data, int size, int* width, int* height)
{
    if (size < 0)
        return Fail("outofdata"), nullptr;
    ApngDecoder decoder(data, size_t(size));
    uint32_t w = 0, h = 0, unused = 0;
    if (!decoder.DecodeApng(ApngPart::DefaultImage, &w, &h))
        return nullptr;
    *width = int(w);
    *height = int(h);
    return decoder.PackApngDirectory(&unused);
}

unsigned char* LoadApngFrames(const unsigned char* data, int size, const ApngFrameRecord** frames, int* width,
                              int* height, int* frameCount, int* playCount, bool* separateDefault)
{
    if (size < 0)
        return Fail("outofdata"), nullptr;
    ApngDecoder decoder(data, size_t(size));
    uint32_t w = 0, h = 0, offset = 0;
    if (!decoder.DecodeApng(ApngPart::EveryFrame, &w, &h))
        return nullptr;
    Block block(decoder.PackApngDirectory(&offset));
    *width = int(w);
    *height = int(h);
    if (!decoder.HasDirectory()) {
        *frames = nullptr;
        return block.release();
    }
    const ApngDirectoryHeader* header = CheckApngDirectory(block.get(), offset);
    if (!header)
        return nullptr;
    *frames = reinterpret_cast<const ApngFrameRecord*>(header + 1);
    *frameCount = int(header->frameCount);
    *playCount = int(header->playCount);
    *separateDefault = header->defaultIsFrame == 0;
    return block.release();
}

}  // namespace CalUI
