#pragma once
// Two small busy marks driven by the paint manager's timer kAnimationTimerId:
// the spinner ("ChrysanthemumLoading"), a ring of spokes whose brightness runs
// round clockwise under an optional caption, and the rotating image
// ("RotateImage"), a picture turned clockwise about the control's centre.
//
// Lifetimes: each control owns what it draws from (the spinner its tables and
// the frames of its ring, the rotating image its GDI+ image, the stream that
// holds the image's bytes, the picture's pixels and its last turn). A tick
// repaints only the control's rectangle, draws nothing with GDI+ and
// allocates nothing. Timers run only under the manager of the window
// the control has joined and die with the control. A spinner with fewer
// than one spoke draws its background and caption only; one of no size has
// no frame.

#include <memory>
#include <vector>

#include "core/ControlUI.h"

namespace Gdiplus {
class Graphics;
class Image;
}  // namespace Gdiplus

namespace CalUI {

class CChrysanthemumLoadingUI : public CControlUI
{
public:
    CChrysanthemumLoadingUI();
    ~CChrysanthemumLoadingUI() override;

    LPCWSTR GetClass() const override;          // "ChrysanthemumLoading"
    void* GetInterface(LPCWSTR name) override;  // this for "ChrysanthemumLoading"
    // A new size renders a new frame.
    void SetPos(RECT rc, bool invalidate = true) override;
    // Hiding stops the ring, showing runs it again.
    void SetVisible(bool show = true) override;
    void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true) override;
    void OnInit() override;
    // Its own timer turns the ring; another timer id becomes "timer".
    void OnEvent(UIEvent& event) override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;
    // The last frame (background colour, spokes, caption) at the top-left
    // corner, unscaled; nothing while hidden.
    bool OnPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) override;

    void SetInterval(int ms);  // the timer runs again at the new period
    int GetInterval() const;
    void SetSpokeCount(int count);
    int GetSpokeCount() const;
    void SetSpokeColor(DWORD argb);
    void SetThickness(int pixels);
    void SetOutRadius(int pixels);
    void SetInnerRadius(int pixels);
    void SetTextColor(DWORD argb);
    void SetFont(int fontId);
    int GetFont() const;
    void SetTextPadding(RECT padding);
    void SetTextRenderingHint(int hint);
    int GetTextRenderingHint() const;
    // On: the caption wraps; off: one line.
    void SetMultiLine(bool multiLine);
    int GetCurrentIndex() const;  // the brightest spoke

    // New tables of angles and colours, then RenderFrame.
    void PrepareFrames();
    // Moves the ring one spoke on and makes its frame ready; a frame of the
    // ring is drawn the first time it comes and kept while the look stays.
    void RenderFrame();

private:
    void StartTimer();
    void StopTimer();
    bool MakeFrames(int width, int height, int slots);
    void DeleteFrames();
    void ForgetDrawnFrames();
    int CurrentSlot() const;
    void DrawFrame(int slot);
    void DrawCaption(Gdiplus::Graphics& graphics, int width, int height);

    int m_interval = 40;
    int m_spokeCount = 10;
    int m_thickness = 4;
    int m_currentIndex = 0;
    int m_outRadius = 0;
    int m_innerRadius = 0;
    float m_centerX = 0;
    float m_centerY = 0;
    DWORD m_spokeColor = 0xFF000000;
    std::vector<DWORD> m_colors;   // per place in the ring
    std::vector<double> m_angles;  // per spoke, degrees
    UINT m_textStyle = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    DWORD m_textColor = 0xFF000000;
    int m_font = -1;
    RECT m_textPadding = {0, 0, 0, 0};
    int m_textRenderingHint = 4;
    HBITMAP m_frames = nullptr;   // owned; premultiplied, top-down, one frame per spoke below the other
    BYTE* m_frameBits = nullptr;  // the frames' pixels
    SIZE m_frameSize = {0, 0};    // of one frame
    std::vector<bool> m_drawn;    // per frame: drawn with the current look
    DWORD m_drawnBkColor = 0;     // the background and caption the frames show
    CUIString m_drawnText;
    bool m_joined = false;
};

class CRotateImageUI : public CControlUI
{
public:
    CRotateImageUI();
    ~CRotateImageUI() override;

    LPCWSTR GetClass() const override;          // "RotateImage"
    void* GetInterface(LPCWSTR name) override;  // this for "RotateImage"
    void SetPos(RECT rc, bool invalidate = true) override;
    // Showing starts the rotation (also with "autostart" off), hiding stops it.
    void SetVisible(bool show = true) override;
    void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true) override;
    void OnInit() override;
    void OnEvent(UIEvent& event) override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;
    // The image turned by the current angle; nothing without an image.
    void PaintBkImage(HDC hdc) override;

    // A skin file or archive entry, else a path of its own.
    void SetImage(LPCWSTR name);
    bool HasImage() const;
    void SetInterval(int ms);  // values below 1 are ignored
    int GetInterval() const;
    void SetAngleStep(int degrees);  // values below 1 are ignored
    void SetStretch(bool stretch);
    void SetAutoStart(bool autoStart);
    // The angle at initialisation; negative values are ignored.
    void SetFixAngle(int degrees);
    int GetAngle() const;
    bool IsRunning() const;
    void StartRotation();
    void StopRotation();

    // Drops the image and takes the one named, when there is a name.
    void LoadImage();

private:
    // The named image's bytes as a GDI+ image over a stream of its own, which
    // becomes the control's stream: call it only without an image.
    std::unique_ptr<Gdiplus::Image> LoadImageData(LPCWSTR name);
    void FreeImage();
    bool PrepareTurn(int width, int height);
    void DrawTurn();
    void DeleteTurn();

    int m_interval = 40;
    int m_angleStep = 1;
    bool m_stretch = false;
    bool m_autoStart = true;
    int m_fixAngle = 0;
    int m_angle = 0;
    std::unique_ptr<Gdiplus::Image> m_image;
    IStream* m_stream = nullptr;  // owned; holds the image's bytes while it lives
    CUIString m_imageName;
    bool m_running = false;
    float m_centerX = 0;
    float m_centerY = 0;
    bool m_joined = false;
    std::vector<DWORD> m_upright;  // the picture unturned, premultiplied, as it is drawn
    SIZE m_uprightSize = {0, 0};
    HBITMAP m_turn = nullptr;  // owned; the control's size, premultiplied, top-down
    BYTE* m_turnBits = nullptr;
    SIZE m_turnSize = {0, 0};
    int m_turnAngle = -1;  // the angle m_turn shows; -1 none
};

}  // namespace CalUI
