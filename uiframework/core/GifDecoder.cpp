#include "core/GifDecoder.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

namespace CalUI {

namespace {

enum class GifBlock : uint8_t
{
    Extension = 0x21,
    Image = 0x2C,
    Trailer = 0x3B,
};

enum class GifExtension : uint8_t
{
    GraphicControl = 0xF9,
};

// What happens to a frame's area before the next frame is drawn (values 4 to
// 7 are undefined and, like 0, leave the frame in place).
enum class GifDisposal : uint8_t
{
    Unspecified = 0,
    Keep = 1,
    Background = 2,
    Previous = 3,
};

constexpr size_t kSignatureBytes = 6;
constexpr size_t kScreenDescriptorBytes = kSignatureBytes + 7;
constexpr size_t kImageDescriptorBytes = 9;
constexpr size_t kControlBlockBytes = 4;
constexpr uint8_t kHasPalette = 0x80;
constexpr uint8_t kInterlaced = 0x40;
constexpr uint8_t kHasTransparency = 0x01;
constexpr int kMaxCodeBits = 12;
constexpr uint32_t kTableSize = 1u << kMaxCodeBits;
// Palette indices are bytes: a wider first code size has nothing to name.
constexpr int kMaxMinCodeSize = 8;
constexpr int kDelayUnitMs = 10;
// The whole result, every frame of the canvas, stays below this.
constexpr uint64_t kMaxBlockBytes = INT_MAX;

using Rgba = uint32_t;  // R, G, B, A in memory order; 0 for "not drawn"

Rgba ColourAt(const uint8_t* rgb) { return Rgba(rgb[0]) | Rgba(rgb[1]) << 8 | Rgba(rgb[2]) << 16 | Rgba(0xFF) << 24; }

class ByteReader
{
public:
    ByteReader(const uint8_t* data, size_t size) : at_(data), end_(data + size) {}

    bool Has(size_t count) const { return size_t(end_ - at_) >= count; }
    const uint8_t* Position() const { return at_; }
    uint8_t U8() { return *at_++; }
    uint16_t Le16()
    {
        uint16_t value = uint16_t(at_[0] | at_[1] << 8);
        at_ += 2;
        return value;
    }
    const uint8_t* Take(size_t count)
    {
        const uint8_t* taken = at_;
        at_ += count;
        return taken;
    }
    // Past a chain of sub-blocks and its empty terminator; false, at the end
    // of the input, when the input ends first.
    bool SkipSubBlocks()
    {
        while (Has(1)) {
            const uint8_t length = U8();
            if (length == 0)
                return true;
            if (!Has(length))
                break;
            at_ += length;
        }
        at_ = end_;
        return false;
    }

private:
    const uint8_t* at_;
    const uint8_t* end_;
};

struct Palette
{
    const uint8_t* rgb = nullptr;
    int count = 0;
};

// What a Graphic Control Extension says about the one image after it.
struct GraphicControl
{
    int delayMs = 0;
    GifDisposal disposal = GifDisposal::Unspecified;
    int transparentIndex = -1;
};

struct GifFrameInfo
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    Palette palette;
    GraphicControl control;
    int minCodeSize = 0;
    const uint8_t* data = nullptr;  // the picture's sub-blocks, cut short when the file is
    size_t dataSize = 0;
};

struct GifFile
{
    int width = 0;
    int height = 0;
    Palette global;
    int backgroundIndex = 0;
    std::vector<GifFrameInfo> frames;
};

bool ReadPalette(ByteReader& in, uint8_t flags, Palette& palette)
{
    const int count = 2 << (flags & 7);
    if (!in.Has(size_t(count) * 3))
        return false;
    palette = {in.Take(size_t(count) * 3), count};
    return true;
}

bool ReadScreen(ByteReader& in, GifFile& file)
{
    if (!in.Has(kScreenDescriptorBytes))
        return false;
    in.Take(kSignatureBytes);
    file.width = in.Le16();
    file.height = in.Le16();
    const uint8_t flags = in.U8();
    file.backgroundIndex = in.U8();
    in.U8();  // pixel aspect ratio
    if (file.width == 0 || file.height == 0)
        return false;
    return (flags & kHasPalette) == 0 || ReadPalette(in, flags, file.global);
}

bool ReadExtension(ByteReader& in, GraphicControl& control)
{
    if (!in.Has(1))
        return false;
    const auto label = GifExtension(in.U8());
    if (label == GifExtension::GraphicControl && in.Has(1 + kControlBlockBytes) &&
        *in.Position() == kControlBlockBytes) {
        in.U8();
        const uint8_t flags = in.U8();
        control.delayMs = in.Le16() * kDelayUnitMs;
        control.disposal = GifDisposal((flags >> 2) & 7);
        const uint8_t transparent = in.U8();
        control.transparentIndex = (flags & kHasTransparency) ? transparent : -1;
    }
    return in.SkipSubBlocks();
}

bool ReadImage(ByteReader& in, const GifFile& file, GifFrameInfo& frame)
{
    if (!in.Has(kImageDescriptorBytes))
        return false;
    frame.left = in.Le16();
    frame.top = in.Le16();
    frame.width = in.Le16();
    frame.height = in.Le16();
    const uint8_t flags = in.U8();
    frame.interlaced = (flags & kInterlaced) != 0;
    frame.palette = file.global;
    if ((flags & kHasPalette) && !ReadPalette(in, flags, frame.palette))
        return false;
    if (frame.palette.count == 0 || !in.Has(1))
        return false;
    frame.minCodeSize = in.U8();
    if (frame.minCodeSize < 1 || frame.minCodeSize > kMaxMinCodeSize)
        return false;
    frame.data = in.Position();
    in.SkipSubBlocks();
    frame.dataSize = size_t(in.Position() - frame.data);
    return true;
}

// The screen and every frame up to the limit, the trailer or the first fault;
// false when not one frame is there. Nothing is decoded yet.
bool ParseGif(const uint8_t* data, size_t size, size_t frameLimit, GifFile& file)
{
    ByteReader in(data, size);
    if (!ReadScreen(in, file))
        return false;
    GraphicControl control;
    while (file.frames.size() < frameLimit && in.Has(1)) {
        const auto block = GifBlock(in.U8());
        if (block == GifBlock::Extension) {
            if (!ReadExtension(in, control))
                break;
        } else if (block == GifBlock::Image) {
            GifFrameInfo frame;
            if (!ReadImage(in, file, frame))
                break;
            // A control block covers only the image right after it.
            frame.control = control;
            control = GraphicControl();
            file.frames.push_back(frame);
        } else {
            break;  // the trailer, or a block no GIF has
        }
    }
    return !file.frames.empty();
}

// The data bytes of a chain of sub-blocks, without their length bytes.
void JoinSubBlocks(const uint8_t* data, size_t size, std::vector<uint8_t>& joined)
{
    joined.clear();
    size_t at = 0;
    while (at < size && data[at] != 0) {
        const size_t length = std::min<size_t>(data[at], size - at - 1);
        joined.insert(joined.end(), data + at + 1, data + at + 1 + length);
        at += 1 + length;
    }
}

// Variable-length LZW codes, least significant bit first.
class CodeReader
{
public:
    CodeReader(const uint8_t* data, size_t size) : at_(data), end_(data + size) {}

    bool Next(int width, uint32_t& code)
    {
        while (count_ < width) {
            if (at_ == end_)
                return false;
            bits_ |= uint32_t(*at_++) << count_;
            count_ += 8;
        }
        code = bits_ & ((1u << width) - 1);
        bits_ >>= width;
        count_ -= width;
        return true;
    }

private:
    const uint8_t* at_;
    const uint8_t* end_;
    uint32_t bits_ = 0;
    int count_ = 0;
};

// Turns one picture's codes into palette indices, as many at a time as the
// caller asks for. A code the table cannot have yet ends the picture.
class LzwDecoder
{
public:
    void Start(const std::vector<uint8_t>& codes, int minCodeSize)
    {
        reader_ = CodeReader(codes.data(), codes.size());
        minCodeSize_ = minCodeSize;
        clear_ = 1u << minCodeSize;
        for (uint32_t i = 0; i < clear_; ++i) {
            prefix_[i] = 0;
            suffix_[i] = first_[i] = uint8_t(i);
            length_[i] = 1;
        }
        Reset();
        ended_ = false;
        pendingAt_ = pendingEnd_ = 0;
    }

    // Fills `out` with up to `count` indices; fewer when the picture ends.
    size_t Read(uint8_t* out, size_t count)
    {
        size_t written = TakePending(out, count);
        uint32_t code = 0;
        while (written < count && !ended_) {
            if (!reader_.Next(width_, code) || !Accept(code))
                ended_ = true;
            else if (code != clear_)
                written += Emit(code, out + written, count - written);
        }
        return written;
    }

private:
    void Reset()
    {
        width_ = minCodeSize_ + 1;
        next_ = clear_ + 2;
        previous_ = -1;
    }

    // Learns what the code teaches; false when the code ends the picture.
    bool Accept(uint32_t code)
    {
        if (code == clear_) {
            Reset();
            return true;
        }
        if (previous_ < 0) {
            previous_ = int(code);
            return code < clear_;
        }
        if (code > next_ || code == clear_ + 1)
            return false;
        if (next_ < kTableSize) {
            prefix_[next_] = uint16_t(previous_);
            first_[next_] = first_[previous_];
            suffix_[next_] = code < next_ ? first_[code] : first_[previous_];
            length_[next_] = uint16_t(length_[previous_] + 1);
            ++next_;
            if (next_ == (1u << width_) && width_ < kMaxCodeBits)
                ++width_;
        }
        previous_ = int(code);
        return true;
    }

    // Strings are linked from their last index back to the first: written
    // backwards, straight into place when they fit, else through `pending_`.
    size_t Emit(uint32_t code, uint8_t* out, size_t room)
    {
        const size_t length = length_[code];
        uint8_t* target = length <= room ? out : pending_;
        for (size_t i = length; i-- > 0; code = prefix_[code])
            target[i] = suffix_[code];
        if (target == out)
            return length;
        pendingAt_ = 0;
        pendingEnd_ = length;
        return TakePending(out, room);
    }

    size_t TakePending(uint8_t* out, size_t count)
    {
        const size_t taken = std::min(count, pendingEnd_ - pendingAt_);
        memcpy(out, pending_ + pendingAt_, taken);
        pendingAt_ += taken;
        return taken;
    }

    CodeReader reader_{nullptr, 0};
    int minCodeSize_ = 0;
    uint32_t clear_ = 0;
    int width_ = 0;
    uint32_t next_ = 0;
    int previous_ = -1;
    bool ended_ = false;
    uint16_t prefix_[kTableSize] = {};
    uint8_t suffix_[kTableSize] = {};
    uint8_t first_[kTableSize] = {};
    uint16_t length_[kTableSize] = {};
    uint8_t pending_[kTableSize] = {};
    size_t pendingAt_ = 0;
    size_t pendingEnd_ = 0;
};

// The order in which an interlaced picture sends its rows.
std::vector<int> RowOrder(int height, bool interlaced)
{
    struct Pass
    {
        int start, step;
    };
    static constexpr Pass kWhole[] = {{0, 1}};
    static constexpr Pass kInterlace[] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
    std::vector<int> rows;
    rows.reserve(size_t(height));
    for (const Pass& pass : interlaced ? std::span<const Pass>(kInterlace) : std::span<const Pass>(kWhole))
        for (int row = pass.start; row < height; row += pass.step)
            rows.push_back(row);
    return rows;
}

// The part of a frame that lies on the canvas.
struct Area
{
    int left, top, right, bottom;
    int Width() const { return right - left; }
};

// Lays the frames one by one over the canvas and keeps each result.
class GifComposer
{
public:
    explicit GifComposer(const GifFile& file) : file_(file), pixelCount_(size_t(file.width) * file.height) {}

    // Every frame in one block; the delays, when asked for, in one array.
    unsigned char* Compose(int** delays)
    {
        const size_t frames = file_.frames.size();
        if (uint64_t(pixelCount_) * sizeof(Rgba) * frames > kMaxBlockBytes)
            return nullptr;
        std::unique_ptr<Rgba, decltype(&free)> block(static_cast<Rgba*>(malloc(pixelCount_ * sizeof(Rgba) * frames)),
                                                     &free);
        std::unique_ptr<int, decltype(&free)> times(static_cast<int*>(malloc(sizeof(int) * frames)), &free);
        if (!block || !times)
            return nullptr;
        Rgba* canvas = block.get();
        StartCanvas(canvas);
        for (size_t i = 0; i < frames; ++i, canvas += pixelCount_) {
            if (i > 0) {
                memcpy(canvas, canvas - pixelCount_, pixelCount_ * sizeof(Rgba));
                Dispose(file_.frames[i - 1], canvas);
            }
            Draw(file_.frames[i], canvas);
            times.get()[i] = file_.frames[i].control.delayMs;
        }
        if (delays)
            *delays = times.release();
        return reinterpret_cast<unsigned char*>(block.release());
    }

private:
    Area OnCanvas(const GifFrameInfo& frame) const
    {
        return {std::min(frame.left, file_.width), std::min(frame.top, file_.height),
                std::min(frame.left + frame.width, file_.width), std::min(frame.top + frame.height, file_.height)};
    }

    // Index 0 is what most encoders write when they mean no background at
    // all, so only another index paints one.
    Rgba BackgroundColour() const
    {
        const int index = file_.backgroundIndex;
        return index > 0 && index < file_.global.count ? ColourAt(file_.global.rgb + 3 * index) : 0;
    }

    // The background colour around the first frame; its own area starts clear.
    void StartCanvas(Rgba* canvas) const
    {
        std::fill(canvas, canvas + pixelCount_, BackgroundColour());
        Fill(OnCanvas(file_.frames.front()), canvas, 0);
    }

    void Fill(const Area& area, Rgba* canvas, Rgba colour) const
    {
        for (int y = area.top; y < area.bottom; ++y)
            std::fill_n(canvas + size_t(y) * file_.width + area.left, area.Width(), colour);
    }

    // What lies under a frame that is to be undone once it has been shown.
    void SaveArea(const Area& area, const Rgba* canvas)
    {
        saved_.resize(size_t(area.Width()) * (area.bottom - area.top));
        Rgba* kept = saved_.data();
        for (int y = area.top; y < area.bottom; ++y, kept += area.Width())
            memcpy(kept, canvas + size_t(y) * file_.width + area.left, size_t(area.Width()) * sizeof(Rgba));
    }

    void RestoreArea(const Area& area, Rgba* canvas) const
    {
        const Rgba* kept = saved_.data();
        for (int y = area.top; y < area.bottom; ++y, kept += area.Width())
            memcpy(canvas + size_t(y) * file_.width + area.left, kept, size_t(area.Width()) * sizeof(Rgba));
    }

    void Dispose(const GifFrameInfo& frame, Rgba* canvas)
    {
        if (frame.control.disposal == GifDisposal::Background)
            Fill(OnCanvas(frame), canvas, 0);
        else if (frame.control.disposal == GifDisposal::Previous)
            RestoreArea(OnCanvas(frame), canvas);
    }

    // Indices past the palette and the transparent one draw nothing (0).
    static void FrameColours(const GifFrameInfo& frame, Rgba (&colours)[256])
    {
        std::fill(std::begin(colours), std::end(colours), 0);
        for (int i = 0; i < frame.palette.count; ++i)
            colours[i] = ColourAt(frame.palette.rgb + 3 * i);
        if (frame.control.transparentIndex >= 0)
            colours[frame.control.transparentIndex] = 0;
    }

    void Draw(const GifFrameInfo& frame, Rgba* canvas)
    {
        const Area area = OnCanvas(frame);
        if (frame.control.disposal == GifDisposal::Previous)
            SaveArea(area, canvas);
        if (area.Width() <= 0 || area.bottom <= area.top)
            return;
        Rgba colours[256];
        FrameColours(frame, colours);

        JoinSubBlocks(frame.data, frame.dataSize, codes_);
        lzw_.Start(codes_, frame.minCodeSize);
        row_.resize(size_t(frame.width));
        const std::vector<int> order = RowOrder(frame.height, frame.interlaced);
        // Rows after the last one that lands on the canvas need no decoding.
        size_t rows = order.size();
        while (rows > 0 && frame.top + order[rows - 1] >= file_.height)
            --rows;
        for (size_t i = 0; i < rows; ++i) {
            const size_t got = lzw_.Read(row_.data(), row_.size());
            const int y = frame.top + order[i];
            if (y < file_.height) {
                Rgba* target = canvas + size_t(y) * file_.width + frame.left;
                const size_t visible = std::min(got, size_t(area.Width()));
                for (size_t x = 0; x < visible; ++x)
                    if (const Rgba colour = colours[row_[x]])
                        target[x] = colour;
            }
            if (got < row_.size())
                break;
        }
    }

    const GifFile& file_;
    const size_t pixelCount_;
    LzwDecoder lzw_;
    std::vector<uint8_t> codes_;
    std::vector<uint8_t> row_;
    std::vector<Rgba> saved_;
};

unsigned char* Decode(const unsigned char* data, int size, size_t frameLimit, int** delays, int* width, int* height,
                      int* frameCount)
{
    if (!IsGifSignature(data, size))
        return nullptr;
    GifFile file;
    if (!ParseGif(data, size_t(size), frameLimit, file))
        return nullptr;
    auto composer = std::make_unique<GifComposer>(file);
    unsigned char* pixels = composer->Compose(delays);
    if (!pixels)
        return nullptr;
    *width = file.width;
    *height = file.height;
    if (frameCount)
        *frameCount = int(file.frames.size());
    return pixels;
}

}  // namespace

bool IsGifSignature(const unsigned char* data, int size)
{
    return data && size >= int(kSignatureBytes) && memcmp(data, "GIF8", 4) == 0 && (data[4] == '7' || data[4] == '9') &&
           data[5] == 'a';
}

unsigned char* LoadGifFrames(const unsigned char* data, int size, int** delays, int* width, int* height,
                             int* frameCount, int* loopCount)
{
    *loopCount = 0;
    return Decode(data, size, SIZE_MAX, delays, width, height, frameCount);
}

unsigned char* LoadGifFirstFrame(const unsigned char* data, int size, int* width, int* height)
{
    return Decode(data, size, 1, nullptr, width, height, nullptr);
}

}  // namespace CalUI
