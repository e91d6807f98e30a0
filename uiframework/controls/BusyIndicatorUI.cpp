// The spinner and the rotating image.

#include "controls/BusyIndicatorUI.h"

#include <algorithm>
#include <gdiplus.h>

#include <cmath>
#include <cstdint>
#include <cwchar>

#include "controls/AnimationUI.h"
#include "core/AttributeValues.h"
#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

constexpr int kFullCircle = 360;
// The ring's angles are turned into radians with this value, not the full
// pi, so that the spokes sit where skins have always seen them.
constexpr double kRingPi = 3.14;
constexpr BYTE kFullAlpha = 255;
constexpr double kPi = 3.14159265358979323846;

// Positions in the picture are kept in 16.16 fixed point, and the weights of
// neighbouring pixels in 256ths.
constexpr int kFixedShift = 16;
constexpr double kFixedOne = 65536.0;
constexpr DWORD kEvenChannels = 0x00FF00FF;

// a + (b - a) * f / 256 for each of a premultiplied pixel's four channels,
// two channels at a time.
DWORD Blend(DWORD a, DWORD b, DWORD f)
{
    const DWORD g = 256 - f;
    const DWORD even = ((a & kEvenChannels) * g + (b & kEvenChannels) * f) >> 8 & kEvenChannels;
    const DWORD odd = ((a >> 8 & kEvenChannels) * g + (b >> 8 & kEvenChannels) * f) & ~kEvenChannels;
    return even | odd;
}

bool IsNamed(LPCWSTR name, LPCWSTR expected) { return std::wcscmp(name, expected) == 0; }

UINT WithBit(UINT style, UINT bit, bool on) { return on ? style | bit : style & ~bit; }

void ApplyCaptionAlignment(Gdiplus::StringFormat& format, UINT textStyle)
{
    if (textStyle & DT_VCENTER)
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    else if (textStyle & DT_BOTTOM)
        format.SetLineAlignment(Gdiplus::StringAlignmentFar);
    else
        format.SetLineAlignment(Gdiplus::StringAlignmentNear);
    if (textStyle & DT_CENTER)
        format.SetAlignment(Gdiplus::StringAlignmentCenter);
    else if (textStyle & DT_RIGHT)
        format.SetAlignment(Gdiplus::StringAlignmentFar);
    else
        format.SetAlignment(Gdiplus::StringAlignmentNear);
    if (textStyle & DT_SINGLELINE)
        format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
}

}  // namespace

// ---- The spinner ------------------------------------------------------------------

CChrysanthemumLoadingUI::CChrysanthemumLoadingUI() = default;

CChrysanthemumLoadingUI::~CChrysanthemumLoadingUI()
{
    StopTimer();
    DeleteFrames();
}

LPCWSTR CChrysanthemumLoadingUI::GetClass() const { return L"ChrysanthemumLoading"; }

void* CChrysanthemumLoadingUI::GetInterface(LPCWSTR name)
{
    if (IsNamed(name, L"ChrysanthemumLoading"))
        return this;
    return CControlUI::GetInterface(name);
}

void CChrysanthemumLoadingUI::SetPos(RECT rc, bool invalidate)
{
    CControlUI::SetPos(rc, invalidate);
    PrepareFrames();
}

void CChrysanthemumLoadingUI::SetVisible(bool show)
{
    if (show)
        StartTimer();
    else
        StopTimer();
    CControlUI::SetVisible(show);
}

// The skin builder lends its manager while it applies attributes: only the
// window's own manager, from OnInit on, runs the timer.
void CChrysanthemumLoadingUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init)
{
    if (manager != m_manager) {
        StopTimer();
        m_joined = false;
    }
    CControlUI::SetManager(manager, parent, init);
}

void CChrysanthemumLoadingUI::OnInit()
{
    CControlUI::OnInit();
    PrepareFrames();
    m_joined = m_manager != nullptr;
    if (m_visible)
        StartTimer();
}

void CChrysanthemumLoadingUI::OnEvent(UIEvent& event)
{
    if (event.type != UIEventType::Timer) {
        CControlUI::OnEvent(event);
        return;
    }
    if (event.wParam == kAnimationTimerId) {
        RenderFrame();
        Invalidate();
    } else if (m_manager != nullptr) {
        m_manager->SendNotify(this, L"timer", event.wParam, event.lParam);
    }
}

void CChrysanthemumLoadingUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    if (IsNamed(name, L"timeinterval")) {
        SetInterval(_wtoi(value));
    } else if (IsNamed(name, L"spokenum")) {
        SetSpokeCount(_wtoi(value));
    } else if (IsNamed(name, L"thickness")) {
        SetThickness(_wtoi(value));
    } else if (IsNamed(name, L"outradius")) {
        SetOutRadius(_wtoi(value));
    } else if (IsNamed(name, L"innerradius")) {
        SetInnerRadius(_wtoi(value));
    } else if (IsNamed(name, L"bkcolor")) {
        m_bkColor = ParseColorValue(value);
    } else if (IsNamed(name, L"spokecolor")) {
        SetSpokeColor(ParseColorValue(value));
    } else if (IsNamed(name, L"align")) {
        if (std::wcscmp(value, L"left") == 0)
            m_textStyle &= ~(DT_CENTER | DT_RIGHT);
        else if (std::wcscmp(value, L"center") == 0)
            m_textStyle = (m_textStyle & ~DT_RIGHT) | DT_CENTER;
        else if (std::wcscmp(value, L"right") == 0)
            m_textStyle = (m_textStyle & ~DT_CENTER) | DT_RIGHT;
    } else if (IsNamed(name, L"valign")) {
        if (std::wcscmp(value, L"top") == 0)
            m_textStyle &= ~(DT_VCENTER | DT_BOTTOM);
        else if (std::wcscmp(value, L"vcenter") == 0)
            m_textStyle = (m_textStyle & ~DT_BOTTOM) | DT_VCENTER;
        else if (std::wcscmp(value, L"bottom") == 0)
            m_textStyle = (m_textStyle & ~DT_VCENTER) | DT_BOTTOM;
    } else if (IsNamed(name, L"textcolor")) {
        SetTextColor(ParseColorValue(value));
    } else if (IsNamed(name, L"rhaa")) {
        SetTextRenderingHint(_wtoi(value));
    } else if (IsNamed(name, L"multiline")) {
        SetMultiLine(IsTrueValue(value));
    } else if (IsNamed(name, L"font")) {
        SetFont(_wtoi(value));
    } else if (IsNamed(name, L"textpadding")) {
        SetTextPadding(ParseRectValue(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

bool CChrysanthemumLoadingUI::OnPaint(HDC hdc, const RECT&, CControlUI*)
{
    if (!IsVisible())
        return true;
    if (m_frames == nullptr)
        PrepareFrames();
    if (m_frames == nullptr)
        return true;
    const int top = m_frameSize.cy * CurrentSlot();
    const RECT dest = {m_pos.left, m_pos.top, m_pos.left + m_frameSize.cx, m_pos.top + m_frameSize.cy};
    const RECT source = {0, top, m_frameSize.cx, top + m_frameSize.cy};
    const RECT noCorners = {0, 0, 0, 0};
    CSkinPainter::DrawBitmap(hdc, m_frames, dest, m_paintRect, source, noCorners, true);
    return true;
}

void CChrysanthemumLoadingUI::SetInterval(int ms)
{
    if (ms == m_interval)
        return;
    m_interval = ms;
    if (m_joined && m_manager != nullptr) {
        StopTimer();
        if (m_visible)
            StartTimer();
    }
}

int CChrysanthemumLoadingUI::GetInterval() const { return m_interval; }

void CChrysanthemumLoadingUI::SetSpokeCount(int count)
{
    if (count == m_spokeCount)
        return;
    m_spokeCount = count;
    PrepareFrames();
}

int CChrysanthemumLoadingUI::GetSpokeCount() const { return m_spokeCount; }

void CChrysanthemumLoadingUI::SetSpokeColor(DWORD argb)
{
    if (argb == m_spokeColor)
        return;
    m_spokeColor = argb;
    PrepareFrames();
}

// The settings below show from the next frame on: frames drawn before go.
void CChrysanthemumLoadingUI::SetThickness(int pixels)
{
    m_thickness = pixels;
    ForgetDrawnFrames();
}

void CChrysanthemumLoadingUI::SetOutRadius(int pixels)
{
    m_outRadius = pixels;
    ForgetDrawnFrames();
}

void CChrysanthemumLoadingUI::SetInnerRadius(int pixels)
{
    m_innerRadius = pixels;
    ForgetDrawnFrames();
}

void CChrysanthemumLoadingUI::SetTextColor(DWORD argb)
{
    m_textColor = argb;
    ForgetDrawnFrames();
}

void CChrysanthemumLoadingUI::SetFont(int fontId)
{
    m_font = fontId;
    ForgetDrawnFrames();
}

int CChrysanthemumLoadingUI::GetFont() const { return m_font; }

void CChrysanthemumLoadingUI::SetTextPadding(RECT padding)
{
    m_textPadding = padding;
    ForgetDrawnFrames();
}

void CChrysanthemumLoadingUI::SetTextRenderingHint(int hint)
{
    m_textRenderingHint = hint;
    ForgetDrawnFrames();
}

int CChrysanthemumLoadingUI::GetTextRenderingHint() const { return m_textRenderingHint; }
int CChrysanthemumLoadingUI::GetCurrentIndex() const { return m_currentIndex; }

void CChrysanthemumLoadingUI::SetMultiLine(bool multiLine)
{
    m_textStyle = WithBit(m_textStyle, DT_SINGLELINE, !multiLine);
    if (multiLine)
        m_textStyle |= DT_WORDBREAK;
    ForgetDrawnFrames();
}

void CChrysanthemumLoadingUI::PrepareFrames()
{
    m_angles.clear();
    m_colors.clear();
    // Below one spoke there is no ring: the frame holds background and caption.
    if (m_spokeCount >= 1) {
        const int n = m_spokeCount;
        const double step = static_cast<double>(kFullCircle) / n;
        const DWORD rgb = m_spokeColor & 0x00FFFFFF;
        const int alphaStep = kFullAlpha / n;
        double angle = 0;
        for (int k = 0; k < n; ++k) {
            angle += step;
            m_angles.push_back(angle);
            m_colors.push_back(k == 0 ? m_spokeColor : static_cast<DWORD>(k * alphaStep) << 24 | rgb);
        }
    }
    ForgetDrawnFrames();
    RenderFrame();
}

// A frame depends only on which spoke is brightest, so each of the ring's
// frames is drawn once, at its first tick, and every later turn shows it
// again: a tick costs no drawing and no allocation.
void CChrysanthemumLoadingUI::RenderFrame()
{
    const int width = m_pos.right - m_pos.left;
    const int height = m_pos.bottom - m_pos.top;
    if (width <= 0 || height <= 0) {
        DeleteFrames();
        return;
    }
    m_centerX = static_cast<float>(width / 2);
    m_centerY = static_cast<float>(height / 2);
    const int n = static_cast<int>(m_angles.size());
    if (n > 0)
        m_currentIndex = (m_currentIndex + 1) % n;
    const int slots = std::max(n, 1);
    if (m_frames == nullptr || m_frameSize.cx != width || m_frameSize.cy != height ||
        static_cast<int>(m_drawn.size()) != slots || m_drawnBkColor != m_bkColor || m_drawnText != m_text) {
        if (!MakeFrames(width, height, slots))
            return;
    }
    const int slot = CurrentSlot();
    if (!m_drawn[static_cast<size_t>(slot)]) {
        DrawFrame(slot);
        m_drawn[static_cast<size_t>(slot)] = true;
    }
}

// One bitmap holds every frame of the ring, one below the other.
bool CChrysanthemumLoadingUI::MakeFrames(int width, int height, int slots)
{
    DeleteFrames();
    m_frames = CSkinPainter::CreateARGB32Bitmap(nullptr, width, -height * slots, &m_frameBits);
    if (m_frames == nullptr || m_frameBits == nullptr) {
        DeleteFrames();
        return false;
    }
    m_frameSize = SIZE{width, height};
    m_drawn.assign(static_cast<size_t>(slots), false);
    m_drawnBkColor = m_bkColor;
    m_drawnText = m_text;
    return true;
}

int CChrysanthemumLoadingUI::CurrentSlot() const
{
    return m_currentIndex < static_cast<int>(m_drawn.size()) ? m_currentIndex : 0;
}

void CChrysanthemumLoadingUI::DrawFrame(int slot)
{
    const int width = m_frameSize.cx;
    const int height = m_frameSize.cy;
    BYTE* bits = m_frameBits + static_cast<size_t>(width) * height * 4 * static_cast<size_t>(slot);
    Gdiplus::Bitmap canvas(width, height, width * 4, PixelFormat32bppPARGB, bits);
    Gdiplus::Graphics graphics(&canvas);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    graphics.Clear(Gdiplus::Color(static_cast<Gdiplus::ARGB>(m_bkColor)));

    const int n = static_cast<int>(m_angles.size());
    for (int j = 0; j < n; ++j) {
        const int i = (slot + j) % n;
        Gdiplus::Pen pen(Gdiplus::Color(static_cast<Gdiplus::ARGB>(m_colors[static_cast<size_t>(j)])),
                         static_cast<Gdiplus::REAL>(m_thickness));
        pen.SetStartCap(Gdiplus::LineCapRound);
        pen.SetEndCap(Gdiplus::LineCapRound);
        const double a = m_angles[static_cast<size_t>(i)] * kRingPi / 180;
        const auto at = [&](int radius, double (*f)(double), float centre) {
            return static_cast<Gdiplus::REAL>(f(a) * radius + centre);
        };
        graphics.DrawLine(&pen, at(m_innerRadius, std::cos, m_centerX), at(m_innerRadius, std::sin, m_centerY),
                          at(m_outRadius, std::cos, m_centerX), at(m_outRadius, std::sin, m_centerY));
    }
    DrawCaption(graphics, width, height);
}

void CChrysanthemumLoadingUI::DrawCaption(Gdiplus::Graphics& graphics, int width, int height)
{
    if (m_text.IsEmpty() || m_manager == nullptr)
        return;
    CUIString text = m_text;
    CWindowManagerUI::ReplaceLanguageTokens(text);
    const Gdiplus::Font font(m_manager->GetPaintDC(), m_manager->GetFont(m_font));
    if (font.GetLastStatus() != Gdiplus::Ok)
        return;
    graphics.SetTextRenderingHint(static_cast<Gdiplus::TextRenderingHint>(m_textRenderingHint));
    Gdiplus::StringFormat format;
    ApplyCaptionAlignment(format, m_textStyle);
    const Gdiplus::SolidBrush brush(Gdiplus::Color(static_cast<Gdiplus::ARGB>(m_textColor)));
    const RECT& pad = m_textPadding;
    const Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(pad.left), static_cast<Gdiplus::REAL>(pad.top),
                                static_cast<Gdiplus::REAL>(width - pad.right - pad.left),
                                static_cast<Gdiplus::REAL>(height - pad.bottom - pad.top));
    graphics.DrawString(text, -1, &font, layout, &format, &brush);
}

void CChrysanthemumLoadingUI::StartTimer()
{
    if (m_joined && m_manager != nullptr && m_interval > 0)
        m_manager->SetTimer(this, kAnimationTimerId, static_cast<UINT>(m_interval));
}

void CChrysanthemumLoadingUI::StopTimer()
{
    if (m_manager != nullptr)
        m_manager->KillTimer(this, kAnimationTimerId);
}

void CChrysanthemumLoadingUI::DeleteFrames()
{
    if (m_frames != nullptr)
        ::DeleteObject(m_frames);
    m_frames = nullptr;
    m_frameBits = nullptr;
    m_frameSize = SIZE{0, 0};
    m_drawn.clear();
}

void CChrysanthemumLoadingUI::ForgetDrawnFrames() { std::fill(m_drawn.begin(), m_drawn.end(), false); }

// ---- The rotating image -----------------------------------------------------------

CRotateImageUI::CRotateImageUI() = default;

CRotateImageUI::~CRotateImageUI()
{
    FreeImage();
    if (m_manager != nullptr)
        m_manager->KillTimers(this);
}

LPCWSTR CRotateImageUI::GetClass() const { return L"RotateImage"; }

void* CRotateImageUI::GetInterface(LPCWSTR name)
{
    if (IsNamed(name, L"RotateImage"))
        return this;
    return CControlUI::GetInterface(name);
}

void CRotateImageUI::SetPos(RECT rc, bool invalidate)
{
    CControlUI::SetPos(rc, invalidate);
    const int width = m_pos.right - m_pos.left;
    const int height = m_pos.bottom - m_pos.top;
    if (width > 0 && height > 0) {
        m_centerX = static_cast<float>(m_pos.left) + static_cast<float>(width) / 2;
        m_centerY = static_cast<float>(m_pos.top) + static_cast<float>(height) / 2;
    }
}

void CRotateImageUI::SetVisible(bool show)
{
    if (show)
        StartRotation();
    else
        StopRotation();
    CControlUI::SetVisible(show);
}

void CRotateImageUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init)
{
    if (manager != m_manager) {
        StopRotation();
        m_joined = false;
    }
    CControlUI::SetManager(manager, parent, init);
}

void CRotateImageUI::OnInit()
{
    CControlUI::OnInit();
    m_joined = m_manager != nullptr;
    LoadImage();
    m_angle = m_fixAngle;
    if (m_autoStart)
        StartRotation();
}

void CRotateImageUI::OnEvent(UIEvent& event)
{
    if (event.type != UIEventType::Timer) {
        CControlUI::OnEvent(event);
        return;
    }
    if (event.wParam == kAnimationTimerId) {
        m_angle = (m_angle + m_angleStep) % kFullCircle;
        Invalidate();
    } else if (m_manager != nullptr) {
        m_manager->SendNotify(this, L"timer", event.wParam, event.lParam);
    }
}

void CRotateImageUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    if (IsNamed(name, L"bkimage"))
        SetImage(value);
    else if (IsNamed(name, L"timeinterval"))
        SetInterval(_wtoi(value));
    else if (IsNamed(name, L"eachtimeangle"))
        SetAngleStep(_wtoi(value));
    else if (IsNamed(name, L"stretch"))
        SetStretch(IsTrueValue(value));
    else if (IsNamed(name, L"autostart"))
        SetAutoStart(IsTrueValue(value));
    else if (IsNamed(name, L"fixangle"))
        SetFixAngle(_wtoi(value));
    else
        CControlUI::SetAttribute(name, value);
}

// GDI+ turns the picture once into plain premultiplied pixels (its natural
// size, or the control's when stretched); each new angle is then resampled
// from those into the control's own bitmap, and a paint is one blit.
void CRotateImageUI::PaintBkImage(HDC hdc)
{
    if (m_image == nullptr)
        return;
    const int width = m_pos.right - m_pos.left;
    const int height = m_pos.bottom - m_pos.top;
    if (!PrepareTurn(width, height))
        return;
    if (m_turnAngle != m_angle) {
        DrawTurn();
        m_turnAngle = m_angle;
    }
    const RECT source = {0, 0, width, height};
    const RECT noCorners = {0, 0, 0, 0};
    CSkinPainter::DrawBitmap(hdc, m_turn, m_pos, m_paintRect, source, noCorners, true);
}

bool CRotateImageUI::PrepareTurn(int width, int height)
{
    if (width <= 0 || height <= 0)
        return false;
    if (m_turn != nullptr && m_turnSize.cx == width && m_turnSize.cy == height)
        return !m_upright.empty();
    DeleteTurn();
    m_turn = CSkinPainter::CreateARGB32Bitmap(nullptr, width, -height, &m_turnBits);
    if (m_turn == nullptr || m_turnBits == nullptr) {
        DeleteTurn();
        return false;
    }
    m_turnSize = SIZE{width, height};
    m_uprightSize =
        m_stretch ? m_turnSize : SIZE{static_cast<LONG>(m_image->GetWidth()), static_cast<LONG>(m_image->GetHeight())};
    if (m_uprightSize.cx <= 0 || m_uprightSize.cy <= 0)
        return false;
    m_upright.assign(static_cast<size_t>(m_uprightSize.cx) * m_uprightSize.cy, 0);
    Gdiplus::Bitmap canvas(m_uprightSize.cx, m_uprightSize.cy, m_uprightSize.cx * 4, PixelFormat32bppPARGB,
                           reinterpret_cast<BYTE*>(m_upright.data()));
    Gdiplus::Graphics graphics(&canvas);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
    graphics.DrawImage(m_image.get(), 0, 0, m_uprightSize.cx, m_uprightSize.cy);
    return true;
}

// Every pixel of the control takes the upright picture's pixel that the
// turn brings there, interpolated between the four nearest; the picture's
// centre lies on the control's centre and the turn is clockwise. Fixed-point
// steps keep it cheap on both targets.
void CRotateImageUI::DrawTurn()
{
    const double radians = m_angle * kPi / 180;
    const double cosine = std::cos(radians);
    const double sine = std::sin(radians);
    const double centerX = m_centerX - static_cast<double>(m_pos.left);
    const double centerY = m_centerY - static_cast<double>(m_pos.top);
    const int sourceWidth = m_uprightSize.cx;
    const int sourceHeight = m_uprightSize.cy;
    // The sample point, less half a pixel, lies between the four source
    // pixel centres around it.
    const double halfWidth = sourceWidth / 2.0 - 0.5;
    const double halfHeight = sourceHeight / 2.0 - 0.5;
    const auto fixed = [](double value) { return static_cast<int32_t>(std::lround(value * kFixedOne)); };
    const int32_t stepX = fixed(cosine);
    const int32_t stepY = fixed(-sine);
    const auto at = [&](int x, int y) -> DWORD {
        if (x < 0 || y < 0 || x >= sourceWidth || y >= sourceHeight)
            return 0;
        return m_upright[static_cast<size_t>(y) * sourceWidth + x];
    };
    auto* target = reinterpret_cast<DWORD*>(m_turnBits);
    for (int y = 0; y < m_turnSize.cy; ++y) {
        const double dy = y + 0.5 - centerY;
        const double dx = 0.5 - centerX;
        int32_t sx = fixed(cosine * dx + sine * dy + halfWidth);
        int32_t sy = fixed(cosine * dy - sine * dx + halfHeight);
        for (int x = 0; x < m_turnSize.cx; ++x, sx += stepX, sy += stepY) {
            const int x0 = sx >> kFixedShift;
            const int y0 = sy >> kFixedShift;
            DWORD pixel = 0;
            if (x0 >= -1 && y0 >= -1 && x0 < sourceWidth && y0 < sourceHeight) {
                const auto fx = static_cast<DWORD>(sx >> 8 & 0xFF);
                const auto fy = static_cast<DWORD>(sy >> 8 & 0xFF);
                pixel = Blend(Blend(at(x0, y0), at(x0 + 1, y0), fx), Blend(at(x0, y0 + 1), at(x0 + 1, y0 + 1), fx), fy);
            }
            *target++ = pixel;
        }
    }
}

void CRotateImageUI::DeleteTurn()
{
    if (m_turn != nullptr)
        ::DeleteObject(m_turn);
    m_turn = nullptr;
    m_turnBits = nullptr;
    m_turnSize = SIZE{0, 0};
    m_turnAngle = -1;
    m_upright.clear();
}

void CRotateImageUI::SetImage(LPCWSTR name)
{
    if (m_imageName == name)
        return;
    FreeImage();
    m_imageName = name;
    // GDI+ runs while a paint manager lives; one without a manager loads
    // when it joins its window.
    if (m_manager != nullptr)
        LoadImage();
    Invalidate();
}

bool CRotateImageUI::HasImage() const { return m_image != nullptr; }

void CRotateImageUI::SetInterval(int ms)
{
    if (ms <= 0 || ms == m_interval)
        return;
    m_interval = ms;
    if (m_running && m_manager != nullptr) {
        m_manager->KillTimer(this, kAnimationTimerId);
        m_manager->SetTimer(this, kAnimationTimerId, static_cast<UINT>(ms));
    }
}

int CRotateImageUI::GetInterval() const { return m_interval; }

void CRotateImageUI::SetAngleStep(int degrees)
{
    if (degrees > 0)
        m_angleStep = degrees;
}

void CRotateImageUI::SetStretch(bool stretch)
{
    m_stretch = stretch;
    DeleteTurn();
}
void CRotateImageUI::SetAutoStart(bool autoStart) { m_autoStart = autoStart; }

void CRotateImageUI::SetFixAngle(int degrees)
{
    if (degrees < 0 || degrees == m_fixAngle)
        return;
    m_fixAngle = degrees;
    if (!m_running) {
        m_angle = degrees % kFullCircle;
        Invalidate();
    }
}

int CRotateImageUI::GetAngle() const { return m_angle; }
bool CRotateImageUI::IsRunning() const { return m_running; }

void CRotateImageUI::StartRotation()
{
    if (m_interval <= 0 || m_angleStep <= 0 || m_running || !m_joined || m_manager == nullptr)
        return;
    if (m_manager->SetTimer(this, kAnimationTimerId, static_cast<UINT>(m_interval)))
        m_running = true;
}

void CRotateImageUI::StopRotation()
{
    if (!m_running || m_manager == nullptr)
        return;
    m_manager->KillTimer(this, kAnimationTimerId);
    m_running = false;
}

void CRotateImageUI::LoadImage()
{
    if (m_imageName.IsEmpty())
        return;
    FreeImage();
    m_image = LoadImageData(m_imageName);
}

// GDI+ reads an image from its stream as long as the image lives, so the
// stream stays with the control; it owns the global memory it reads from.
std::unique_ptr<Gdiplus::Image> CRotateImageUI::LoadImageData(LPCWSTR name)
{
    std::vector<BYTE> bytes;
    if (!ReadAnimationImageBytes(name, bytes))
        return nullptr;
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (memory == nullptr)
        return nullptr;
    if (void* target = ::GlobalLock(memory)) {
        std::copy(bytes.begin(), bytes.end(), static_cast<BYTE*>(target));
        ::GlobalUnlock(memory);
    }
    IStream* stream = nullptr;
    if (::CreateStreamOnHGlobal(memory, TRUE, &stream) != S_OK) {
        ::GlobalFree(memory);
        return nullptr;
    }
    std::unique_ptr<Gdiplus::Image> image(new Gdiplus::Image(stream));
    if (image->GetLastStatus() != Gdiplus::Ok) {
        image.reset();
        stream->Release();
        return nullptr;
    }
    m_stream = stream;
    return image;
}

void CRotateImageUI::FreeImage()
{
    DeleteTurn();
    m_image.reset();
    if (m_stream != nullptr)
        m_stream->Release();
    m_stream = nullptr;
}

}  // namespace CalUI
