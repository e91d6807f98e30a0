#pragma once
// Animated backgrounds: a label whose "bkimage" is a GIF (CGifAnimUI) or an
// animated PNG (CApngAnimUI). Every frame is decoded once, when the image is
// set, into a premultiplied 32-bit bitmap of the image's size; playing only
// switches which bitmap the background shows, on the paint manager's timer
// kAnimationTimerId.
//
// Lifetimes: the control owns its frames and their bitmaps; they go when
// another image is set and with the control. The frame timer runs only under
// the manager of the window the control has joined (from OnInit on), so a
// tree built and thrown away before it joins a window leaves no timer behind;
// an animation asked to play earlier starts when the control joins.
//
// An image that cannot be read or decoded becomes the plain background image
// (SetBkImage), drawn by the base painting.

#include <memory>
#include <vector>

#include "controls/LabelUI.h"
#include "core/ApngDecoder.h"

namespace CalUI {

// The paint manager's timer of frame animations, the spinner and the
// rotating image.
inline constexpr UINT kAnimationTimerId = 100;
// The delay a frame of delay 0 is shown.
inline constexpr int kDefaultFrameDelayMs = 100;

// The bytes of a skin image: the skin folder or archive first, then the name
// as a path of its own. False, with `bytes` empty, when neither gives any
// (an entry too large for the decoders counts as none).
bool ReadAnimationImageBytes(LPCWSTR name, std::vector<BYTE>& bytes);

// One frame: a bitmap of the whole image (owned) and how long it shows.
struct AnimFrame
{
    AnimFrame(int frameIndex, HBITMAP frameBitmap, int delay);
    ~AnimFrame();
    AnimFrame(const AnimFrame&) = delete;
    AnimFrame& operator=(const AnimFrame&) = delete;

    int index;
    HBITMAP bitmap;
    int delayMs;  // 0: kDefaultFrameDelayMs
    ApngFrameRecord record{};
};

class CGifAnimUI : public CLabelUI
{
public:
    CGifAnimUI();
    ~CGifAnimUI() override;

    LPCWSTR GetClass() const override;          // "GifAnim"
    void* GetInterface(LPCWSTR name) override;  // this for "GifAnim"
    void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true) override;
    void OnInit() override;
    // Shown with autoplay on: plays; otherwise stops.
    void SetVisible(bool show = true) override;
    // Every timer event drives the frames: none becomes a "timer" notification.
    void OnEvent(UIEvent& event) override;
    // "bkimage" and "autoplay" (any case), "autosize" (exact).
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;
    // The current frame over the control, placed by the background record's
    // "dest", "source", "corner", "fade", "hole" and tiling; without frames the
    // plain background image.
    void PaintBkImage(HDC hdc) override;

    // The same text again changes nothing; otherwise the old animation stops
    // and goes, and the new one plays at once when autoplay is on.
    virtual void SetAnimImage(LPCWSTR text);
    virtual void SetAutoPlay(bool autoPlay);
    virtual bool IsAutoPlay() const;
    // On: the frame size becomes the control's fixed size.
    virtual void SetAutoSize(bool autoSize);
    virtual bool IsAutoSize() const;
    // Play continues from the current frame; Pause keeps it; Stop goes back
    // to frame 0. A finite animation that ran its loops rests on frame 0 and
    // still counts as playing until Stop.
    virtual void Play();
    virtual void Pause();
    virtual void Stop();
    virtual void OnFrameTimer(UINT_PTR timerId);
    // Parses the attribute string into the background record, reads the
    // image's bytes and decodes them. False when there are no bytes or the
    // decoder rejects them.
    virtual bool LoadAnimData(LPCWSTR text);
    // Turns image bytes into frames; false when the image is not one of this
    // control's kind. Pixels whose premultiplied ARGB value equals `mask`
    // become transparent.
    virtual bool DecodeFrames(const BYTE* data, int size, DWORD mask);

    int GetFrameCount() const;
    int GetCurrentFrame() const;
    int GetFrameDelay(int index) const;  // -1 outside the frames
    SIZE GetFrameSize() const;
    bool IsPlaying() const;

protected:
    // A 32-bit top-down DIB section of the RGBA pixels, premultiplied, with
    // the mask colour made transparent; null when it cannot be made.
    static HBITMAP CreateFrameBitmap(const BYTE* rgba, int width, int height, DWORD mask);
    void DeleteFrames();

    std::vector<std::unique_ptr<AnimFrame>> m_frames;
    int m_currentFrame = 0;
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    int m_loopCount = 0;  // 0: endless
    int m_loopsPlayed = 0;

private:
    void StartFrameTimer();
    void StopFrameTimer();
    int CurrentDelay() const;

    CUIString m_animText;
    bool m_autoPlay = true;
    bool m_autoSize = false;
    bool m_playing = false;
    bool m_resting = false;     // a finite animation ran out and rests on frame 0
    bool m_joined = false;      // initialised under its window's manager
    bool m_autoSource = false;  // the source rectangle was taken from the image
};

class CApngAnimUI : public CGifAnimUI
{
public:
    LPCWSTR GetClass() const override;          // "ApngAnim"
    void* GetInterface(LPCWSTR name) override;  // this for "ApngAnim"

    // Composes every frame on a canvas as the format prescribes (dispose:
    // none, background, previous; blend: source, over). A still PNG gives no
    // frames and shows as the plain background image.
    bool ComposeApngFrames(const BYTE* data, int size, DWORD mask);
    // This control's frames are composed ones.
    bool DecodeFrames(const BYTE* data, int size, DWORD mask) override;

    // The composition steps over RGBA canvases of canvasWidth x canvasHeight;
    // only pixels inside both the canvas and the frame's region (x, y,
    // frameWidth, frameHeight) are touched.
    static void BlendFrameOver(BYTE* canvas, const BYTE* frame, int canvasWidth, int canvasHeight, UINT x, UINT y,
                               UINT frameWidth, UINT frameHeight);
    static void CopyFrameRegion(BYTE* canvas, const BYTE* frame, int canvasWidth, int canvasHeight, UINT x, UINT y,
                                UINT frameWidth, UINT frameHeight);
    static void ClearFrameRegion(BYTE* canvas, int canvasWidth, int canvasHeight, UINT x, UINT y, UINT frameWidth,
                                 UINT frameHeight);
    // numerator / denominator seconds (denominator 0: hundredths) in whole ms.
    static int FrameDelayMs(const ApngFrameRecord& record);
};

}  // namespace CalUI
