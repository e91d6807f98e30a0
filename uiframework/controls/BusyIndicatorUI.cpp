// The spinner and the rotating image.

#include "controls/BusyIndicatorUI.h"

#include <algorithm>
#include <gdiplus.h>

#include <cmath>
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
    DeleteFrame();
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
    if (m_frame == nullptr)
        PrepareFrames();
    if (m_frame == nullptr)
        return true;
    const RECT dest = {m_pos.left, m_pos.top, m_pos.left + m_frameSize.cx, m_pos.top + m_frameSize.cy};
    const RECT source = {0, 0, m_frameSize.cx, m_frameSize.cy};
    const RECT noCorners = {0, 0, 0, 0};
    CSkinPainter::DrawBitmap(hdc, m_frame, dest, m_paintRect, source, noCorners, true);
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

void CChrysanthemumLoadingUI::SetThickness(int pixels) { m_thickness = pixels; }
void CChrysanthemumLoadingUI::SetOutRadius(int pixels) { m_outRadius = pixels; }
void CChrysanthemumLoadingUI::SetInnerRadius(int pixels) { m_innerRadius = pixels; }
void CChrysanthemumLoadingUI::SetTextColor(DWORD argb) { m_textColor = argb; }
void CChrysanthemumLoadingUI::SetFont(int fontId) { m_font = fontId; }
int CChrysanthemumLoadingUI::GetFont() const { return m_font; }
void CChrysanthemumLoadingUI::SetTextPadding(RECT padding) { m_textPadding = padding; }
void CChrysanthemumLoadingUI::SetTextRenderingHint(int hint) { m_textRenderingHint = hint; }
int CChrysanthemumLoadingUI::GetTextRenderingHint() const { return m_textRenderingHint; }
int CChrysanthemumLoadingUI::GetCurrentIndex() const { return m_currentIndex; }

void CChrysanthemumLoadingUI::SetMultiLine(bool multiLine)
{
    m_textStyle = WithBit(m_textStyle, DT_SINGLELINE, !multiLine);
    if (multiLine)
        m_textStyle |= DT_WORDBREAK;
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
    RenderFrame();
}

void CChrysanthemumLoadingUI::RenderFrame()
{
    const int width = m_pos.right - m_pos.left;
    const int height = m_pos.bottom - m_pos.top;
    if (width <= 0 || height <= 0) {
        DeleteFrame();
        return;
    }
    m_centerX = static_cast<float>(width / 2);
    m_centerY = static_cast<float>(height / 2);
    // One bitmap serves every tick until the size changes.
    if (m_frame == nullptr || m_frameSize.cx != width || m_frameSize.cy != height) {
        DeleteFrame();
        m_frame = CSkinPainter::CreateARGB32Bitmap(nullptr, width, -height, &m_frameBits);
        if (m_frame == nullptr || m_frameBits == nullptr) {
            DeleteFrame();
            return;
        }
        m_frameSize = SIZE{width, height};
    }
    Gdiplus::Bitmap canvas(width, height, width * 4, PixelFormat32bppPARGB, m_frameBits);
    Gdiplus::Graphics graphics(&canvas);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    graphics.Clear(Gdiplus::Color(static_cast<Gdiplus::ARGB>(m_bkColor)));

    const int n = static_cast<int>(m_angles.size());
    if (n > 0) {
        m_currentIndex = (m_currentIndex + 1) % n;
        for (int j = 0; j < n; ++j) {
            const int i = (m_currentIndex + j) % n;
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

void CChrysanthemumLoadingUI::DeleteFrame()
{
    if (m_frame != nullptr)
        ::DeleteObject(m_frame);
    m_frame = nullptr;
    m_frameBits = nullptr;
    m_frameSize = SIZE{0, 0};
}

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

void CRotateImageUI::PaintBkImage(HDC hdc)
{
    if (m_image == nullptr)
        return;
    Gdiplus::Graphics graphics(hdc);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
    graphics.TranslateTransform(m_centerX, m_centerY);
    graphics.RotateTransform(static_cast<Gdiplus::REAL>(m_angle));
    graphics.TranslateTransform(-m_centerX, -m_centerY);
    const RECT& paint = m_paintRect;
    graphics.SetClip(Gdiplus::Rect(paint.left, paint.top, paint.right - paint.left, paint.bottom - paint.top),
                     Gdiplus::CombineModeReplace);
    if (m_stretch) {
        graphics.DrawImage(m_image.get(), static_cast<Gdiplus::REAL>(m_pos.left), static_cast<Gdiplus::REAL>(m_pos.top),
                           static_cast<Gdiplus::REAL>(m_pos.right - m_pos.left),
                           static_cast<Gdiplus::REAL>(m_pos.bottom - m_pos.top));
        return;
    }
    const auto width = static_cast<Gdiplus::REAL>(m_image->GetWidth());
    const auto height = static_cast<Gdiplus::REAL>(m_image->GetHeight());
    graphics.DrawImage(m_image.get(), m_centerX - width / 2, m_centerY - height / 2, width, height);
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

void CRotateImageUI::SetStretch(bool stretch) { m_stretch = stretch; }
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
    std::vector<BYTE> bytes;
    if (!ReadAnimationImageBytes(m_imageName, bytes))
        return;
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (memory == nullptr)
        return;
    if (void* target = ::GlobalLock(memory)) {
        std::copy(bytes.begin(), bytes.end(), static_cast<BYTE*>(target));
        ::GlobalUnlock(memory);
    }
    if (::CreateStreamOnHGlobal(memory, TRUE, &m_stream) != S_OK) {
        ::GlobalFree(memory);
        m_stream = nullptr;
        return;
    }
    std::unique_ptr<Gdiplus::Image> image(new Gdiplus::Image(m_stream));
    if (image->GetLastStatus() != Gdiplus::Ok) {
        image.reset();
        FreeImage();
        return;
    }
    m_image = std::move(image);
}

void CRotateImageUI::FreeImage()
{
    m_image.reset();
    if (m_stream != nullptr)
        m_stream->Release();
    m_stream = nullptr;
}

}  // namespace CalUI
