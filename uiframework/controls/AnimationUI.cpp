// The GIF and APNG animations.

#include "controls/AnimationUI.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cwchar>

#include "core/AttributeValues.h"
#include "core/GifDecoder.h"
#include "core/ImageDecode.h"
#include "core/SkinFiles.h"
#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

// The decoders take the length of an image as an int.
constexpr uint64_t kMaxAnimationBytes = INT_MAX;
constexpr int kBytesPerPixel = 4;
constexpr unsigned kOpaqueAlpha = 255;

enum class ApngDispose : uint8_t
{
    None = 0,
    Background = 1,
    Previous = 2,
};

enum class ApngBlend : uint8_t
{
    Source = 0,
    Over = 1,
};

struct DecodedPixelsFree
{
    void operator()(void* p) const { FreeImagePixels(p); }
};
template <class T>
using DecodedPixels = std::unique_ptr<T, DecodedPixelsFree>;

bool IsAllZero(const RECT& rc) { return rc.left == 0 && rc.top == 0 && rc.right == 0 && rc.bottom == 0; }

// A frame's place on the canvas, as the directory gives it.
struct FrameRegion
{
    uint32_t x;
    uint32_t y;
    uint32_t width;
    uint32_t height;
};

// Calls step(canvas row, frame row or null, pixel count) for each row of the
// region inside the canvas; the frame pixel for canvas pixel (x, y) is the
// one at column x - x offset of row y - y offset. 64-bit: offsets and sizes
// are unsigned 32-bit.
template <class RowStep>
void ForEachRegionRow(BYTE* canvas, const BYTE* frame, int canvasWidth, int canvasHeight, const FrameRegion& region,
                      RowStep step)
{
    const int left = static_cast<int>(std::min<int64_t>(region.x, canvasWidth));
    const int top = static_cast<int>(std::min<int64_t>(region.y, canvasHeight));
    const int right = static_cast<int>(std::min<int64_t>(static_cast<int64_t>(region.x) + region.width, canvasWidth));
    const int bottom =
        static_cast<int>(std::min<int64_t>(static_cast<int64_t>(region.y) + region.height, canvasHeight));
    if (right <= left)
        return;
    const auto count = static_cast<size_t>(right - left);
    for (int y = top; y < bottom; ++y) {
        BYTE* to = canvas + (static_cast<size_t>(y) * canvasWidth + left) * kBytesPerPixel;
        const BYTE* from = nullptr;
        if (frame != nullptr) {
            const size_t row = static_cast<size_t>(y) - region.y;
            const size_t column = static_cast<size_t>(left) - region.x;
            from = frame + (row * region.width + column) * kBytesPerPixel;
        }
        step(to, from, count);
    }
}

}  // namespace

bool ReadAnimationImageBytes(LPCWSTR name, std::vector<BYTE>& bytes)
{
    bytes.clear();
    if (name == nullptr || *name == 0)
        return false;
    if (ReadSkinFile(name, kMaxAnimationBytes, bytes) != SkinFileResult::Ok) {
        bytes.clear();
        if (ReadWholeFile(name, kMaxAnimationBytes, bytes) != SkinFileResult::Ok)
            bytes.clear();
    }
    return !bytes.empty();
}

AnimFrame::AnimFrame(int frameIndex, HBITMAP frameBitmap, int delay)
    : index(frameIndex), bitmap(frameBitmap), delayMs(delay)
{}

AnimFrame::~AnimFrame()
{
    if (bitmap != nullptr)
        ::DeleteObject(bitmap);
}

// ---- The GIF animation ------------------------------------------------------------

CGifAnimUI::CGifAnimUI() = default;

CGifAnimUI::~CGifAnimUI() { StopFrameTimer(); }

LPCWSTR CGifAnimUI::GetClass() const { return L"GifAnim"; }

void* CGifAnimUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, L"GifAnim") == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

// The skin builder lends its manager while it applies attributes and takes it
// back: a timer started then would outlive a tree that never joins a window.
void CGifAnimUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init)
{
    if (manager != m_manager) {
        StopFrameTimer();
        m_joined = false;
    }
    CLabelUI::SetManager(manager, parent, init);
}

void CGifAnimUI::OnInit()
{
    CLabelUI::OnInit();
    m_joined = m_manager != nullptr;
    StartFrameTimer();
}

void CGifAnimUI::SetVisible(bool show)
{
    CLabelUI::SetVisible(show);
    if (IsVisible() && m_autoPlay) {
        Play();
        StartFrameTimer();
    } else {
        Stop();
    }
}

void CGifAnimUI::OnEvent(UIEvent& event)
{
    if (event.type == UIEventType::Timer) {
        OnFrameTimer(event.wParam);
        return;
    }
    CLabelUI::OnEvent(event);
}

void CGifAnimUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    if (_wcsicmp(name, L"bkimage") == 0)
        SetAnimImage(value);
    else if (_wcsicmp(name, L"autoplay") == 0)
        SetAutoPlay(IsTrueValue(value));
    else if (std::wcscmp(name, L"autosize") == 0)
        SetAutoSize(IsTrueValue(value));
    else
        CLabelUI::SetAttribute(name, value);
}

void CGifAnimUI::PaintBkImage(HDC hdc)
{
    if (m_frames.empty()) {
        CLabelUI::PaintBkImage(hdc);
        return;
    }
    const AnimFrame& frame = *m_frames[static_cast<size_t>(m_currentFrame) % m_frames.size()];
    RECT dest = m_pos;
    const RECT& offsets = m_bkImage.dest;
    if (!IsAllZero(offsets))
        dest =
            RECT{m_pos.left + offsets.left, m_pos.top + offsets.top, std::min(m_pos.left + offsets.right, m_pos.right),
                 std::min(m_pos.top + offsets.bottom, m_pos.bottom)};
    RECT source = m_bkImage.source;
    source.right = std::min<LONG>(source.right, m_frameWidth);
    source.bottom = std::min<LONG>(source.bottom, m_frameHeight);
    CSkinPainter::DrawBitmap(hdc, frame.bitmap, dest, m_paintRect, source, m_bkImage.corners, true, m_bkImage.fade,
                             m_bkImage.hole, m_bkImage.xTiled, m_bkImage.yTiled);
}

void CGifAnimUI::SetAnimImage(LPCWSTR text)
{
    if (text == nullptr)
        text = L"";
    if (m_animText == text)
        return;
    m_animText = text;
    Stop();
    if (m_frames.empty()) {
        if (m_bkImage.image != nullptr)
            m_bkImage.Clear();
    } else {
        DeleteFrames();
    }
    const bool loaded = LoadAnimData(text);
    Invalidate();
    if (!loaded) {
        SetBkImage(text);
        return;
    }
    if (m_autoSize)
        SetAutoSize(true);
    if (m_autoPlay && !m_frames.empty())
        Play();
}

void CGifAnimUI::SetAutoPlay(bool autoPlay)
{
    if (m_autoPlay == autoPlay)
        return;
    m_autoPlay = autoPlay;
    if (autoPlay)
        Play();
    else
        Stop();
}

bool CGifAnimUI::IsAutoPlay() const { return m_autoPlay; }

void CGifAnimUI::SetAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    if (autoSize && !m_frames.empty()) {
        SetFixedWidth(m_frameWidth);
        SetFixedHeight(m_frameHeight);
    }
}

bool CGifAnimUI::IsAutoSize() const { return m_autoSize; }

void CGifAnimUI::Play()
{
    if (m_playing || m_frames.empty())
        return;
    m_loopsPlayed = 0;
    m_playing = true;
    m_resting = false;
    StartFrameTimer();
    Invalidate();
}

void CGifAnimUI::Pause()
{
    if (!m_playing || m_frames.empty())
        return;
    StopFrameTimer();
    Invalidate();
    m_playing = false;
    m_resting = false;
}

void CGifAnimUI::Stop()
{
    if (!m_playing)
        return;
    StopFrameTimer();
    m_currentFrame = 0;
    Invalidate();
    m_playing = false;
    m_resting = false;
    m_loopsPlayed = 0;
}

void CGifAnimUI::OnFrameTimer(UINT_PTR timerId)
{
    if (timerId != kAnimationTimerId)
        return;
    StopFrameTimer();
    Invalidate();
    // A tick already on its way when the animation stopped moves nothing.
    if (!m_playing || m_frames.empty())
        return;
    if (m_loopCount > 0) {
        if (m_currentFrame == 0)
            ++m_loopsPlayed;
        if (m_loopsPlayed > m_loopCount) {
            m_resting = true;
            return;
        }
    }
    m_currentFrame = (m_currentFrame + 1) % static_cast<int>(m_frames.size());
    StartFrameTimer();
}

bool CGifAnimUI::LoadAnimData(LPCWSTR text)
{
    if (text == nullptr || *text == 0)
        return false;
    // The image is this control's own: the record carries only the placement.
    m_bkImage.image = nullptr;
    m_bkImage.parsed = false;
    m_bkImage.attributeText = text;
    if (m_autoSource)
        m_bkImage.source = RECT{0, 0, 0, 0};
    m_autoSource = false;
    const ImageLoadRequest request = m_bkImage.Parse();

    std::vector<BYTE> bytes;
    if (!ReadAnimationImageBytes(m_bkImage.imageName, bytes))
        return false;
    const bool decoded = DecodeFrames(bytes.data(), static_cast<int>(bytes.size()), request.mask);
    if (IsAllZero(m_bkImage.source)) {
        m_bkImage.source = RECT{0, 0, m_frameWidth, m_frameHeight};
        m_autoSource = true;
    }
    return decoded;
}

bool CGifAnimUI::DecodeFrames(const BYTE* data, int size, DWORD mask)
{
    int* rawDelays = nullptr;
    int width = 0;
    int height = 0;
    int count = 0;
    int loops = 0;
    DecodedPixels<BYTE> pixels(LoadGifFrames(data, size, &rawDelays, &width, &height, &count, &loops));
    DecodedPixels<int> delays(rawDelays);
    if (pixels == nullptr || width <= 0 || height <= 0)
        return false;
    m_frameWidth = width;
    m_frameHeight = height;
    m_loopCount = 0;
    const size_t frameBytes = static_cast<size_t>(width) * height * kBytesPerPixel;
    for (int i = 0; i < count; ++i) {
        HBITMAP bitmap = CreateFrameBitmap(pixels.get() + frameBytes * i, width, height, mask);
        if (bitmap == nullptr)
            return false;
        m_frames.push_back(std::make_unique<AnimFrame>(i, bitmap, delays != nullptr ? delays.get()[i] : 0));
    }
    return true;
}

int CGifAnimUI::GetFrameCount() const { return static_cast<int>(m_frames.size()); }
int CGifAnimUI::GetCurrentFrame() const { return m_currentFrame; }

int CGifAnimUI::GetFrameDelay(int index) const
{
    if (index < 0 || index >= GetFrameCount())
        return -1;
    return m_frames[static_cast<size_t>(index)]->delayMs;
}

SIZE CGifAnimUI::GetFrameSize() const { return SIZE{m_frameWidth, m_frameHeight}; }
bool CGifAnimUI::IsPlaying() const { return m_playing; }

HBITMAP CGifAnimUI::CreateFrameBitmap(const BYTE* rgba, int width, int height, DWORD mask)
{
    BYTE* bits = nullptr;
    HBITMAP bitmap = CSkinPainter::CreateARGB32Bitmap(nullptr, width, -height, &bits);
    if (bitmap == nullptr || bits == nullptr) {
        if (bitmap != nullptr)
            ::DeleteObject(bitmap);
        return nullptr;
    }
    CSkinPainter::PremultiplyPixels(rgba, bits, static_cast<size_t>(width) * height, mask);
    return bitmap;
}

void CGifAnimUI::DeleteFrames()
{
    m_frames.clear();
    m_currentFrame = 0;
}

void CGifAnimUI::StartFrameTimer()
{
    if (m_joined && m_manager != nullptr && m_playing && !m_resting && m_visible && !m_frames.empty())
        m_manager->SetTimer(this, kAnimationTimerId, static_cast<UINT>(CurrentDelay()));
}

void CGifAnimUI::StopFrameTimer()
{
    if (m_manager != nullptr)
        m_manager->KillTimer(this, kAnimationTimerId);
}

int CGifAnimUI::CurrentDelay() const
{
    const int delay = GetFrameDelay(m_currentFrame);
    return delay > 0 ? delay : kDefaultFrameDelayMs;
}

// ---- The APNG animation -----------------------------------------------------------

LPCWSTR CApngAnimUI::GetClass() const { return L"ApngAnim"; }

void* CApngAnimUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, L"ApngAnim") == 0)
        return this;
    return CGifAnimUI::GetInterface(name);
}

int CApngAnimUI::FrameDelayMs(const ApngFrameRecord& record)
{
    const double denominator = record.delay_den != 0 ? record.delay_den : 100.0;
    return static_cast<int>(record.delay_num / denominator * 1000.0);
}

bool CApngAnimUI::DecodeFrames(const BYTE* data, int size, DWORD mask) { return ComposeApngFrames(data, size, mask); }

bool CApngAnimUI::ComposeApngFrames(const BYTE* data, int size, DWORD mask)
{
    const ApngFrameRecord* records = nullptr;
    int width = 0;
    int height = 0;
    int count = 0;
    int plays = 0;
    bool separateDefault = false;
    DecodedPixels<BYTE> block(LoadApngFrames(data, size, &records, &width, &height, &count, &plays, &separateDefault));
    if (block == nullptr || width <= 0 || height <= 0)
        return false;
    m_frameWidth = width;
    m_frameHeight = height;
    m_loopCount = plays;
    if (count <= 0 || records == nullptr)
        return true;

    const size_t canvasBytes = static_cast<size_t>(width) * height * kBytesPerPixel;
    std::vector<BYTE> canvas(canvasBytes, 0);
    std::vector<BYTE> saved(canvasBytes, 0);
    const BYTE* framePixels = block.get() + (separateDefault ? canvasBytes : 0);
    for (int i = 0; i < count; ++i) {
        ApngFrameRecord record = records[i];
        const int delay = FrameDelayMs(record);
        // The first frame has nothing beneath it to blend with or go back to.
        if (i == 0) {
            record.blend_op = static_cast<uint8_t>(ApngBlend::Source);
            if (record.dispose_op == static_cast<uint8_t>(ApngDispose::Previous))
                record.dispose_op = static_cast<uint8_t>(ApngDispose::Background);
        }
        const auto dispose = static_cast<ApngDispose>(record.dispose_op);
        if (dispose == ApngDispose::Previous)
            saved = canvas;
        if (record.blend_op == static_cast<uint8_t>(ApngBlend::Over))
            BlendFrameOver(canvas.data(), framePixels, width, height, record.x_offset, record.y_offset, record.width,
                           record.height);
        else
            CopyFrameRegion(canvas.data(), framePixels, width, height, record.x_offset, record.y_offset, record.width,
                            record.height);
        HBITMAP bitmap = CreateFrameBitmap(canvas.data(), width, height, mask);
        if (bitmap == nullptr) {
            DeleteFrames();
            return false;
        }
        auto frame = std::make_unique<AnimFrame>(i, bitmap, delay);
        frame->record = record;
        m_frames.push_back(std::move(frame));
        if (dispose == ApngDispose::Previous)
            canvas = saved;
        else if (dispose == ApngDispose::Background)
            ClearFrameRegion(canvas.data(), width, height, record.x_offset, record.y_offset, record.width,
                             record.height);
        framePixels += static_cast<size_t>(record.width) * record.height * kBytesPerPixel;
    }
    return true;
}

void CApngAnimUI::BlendFrameOver(BYTE* canvas, const BYTE* frame, int canvasWidth, int canvasHeight, UINT x, UINT y,
                                 UINT frameWidth, UINT frameHeight)
{
    const FrameRegion region = {x, y, frameWidth, frameHeight};
    ForEachRegionRow(canvas, frame, canvasWidth, canvasHeight, region, [](BYTE* to, const BYTE* from, size_t count) {
        for (size_t i = 0; i < count; ++i, to += kBytesPerPixel, from += kBytesPerPixel) {
            const unsigned a = from[3];
            const unsigned b = to[3];
            if (a == 0)
                continue;
            if (a == kOpaqueAlpha || b == 0) {
                std::copy(from, from + kBytesPerPixel, to);
                continue;
            }
            const unsigned u = a * 255;
            const unsigned v = (255 - a) * b;
            const unsigned t = u + v;
            for (int c = 0; c < 3; ++c)
                to[c] = static_cast<BYTE>((from[c] * u + to[c] * v) / t);
            to[3] = static_cast<BYTE>(t / 255);
        }
    });
}

void CApngAnimUI::CopyFrameRegion(BYTE* canvas, const BYTE* frame, int canvasWidth, int canvasHeight, UINT x, UINT y,
                                  UINT frameWidth, UINT frameHeight)
{
    const FrameRegion region = {x, y, frameWidth, frameHeight};
    ForEachRegionRow(canvas, frame, canvasWidth, canvasHeight, region, [](BYTE* to, const BYTE* from, size_t count) {
        std::copy(from, from + count * kBytesPerPixel, to);
    });
}

void CApngAnimUI::ClearFrameRegion(BYTE* canvas, int canvasWidth, int canvasHeight, UINT x, UINT y, UINT frameWidth,
                                   UINT frameHeight)
{
    const FrameRegion region = {x, y, frameWidth, frameHeight};
    ForEachRegionRow(canvas, nullptr, canvasWidth, canvasHeight, region,
                     [](BYTE* to, const BYTE*, size_t count) { std::fill(to, to + count * kBytesPerPixel, BYTE{0}); });
}

}  // namespace CalUI
