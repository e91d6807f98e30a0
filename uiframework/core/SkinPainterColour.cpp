// Hue, saturation and lightness adjustment of colours and images.

#include "core/SkinPainter.h"

#include <cstring>

namespace CalUI {

namespace {

constexpr short kIdentityHue = 180;
constexpr short kIdentityPercent = 100;

bool IsIdentity(short hue, short saturation, short lightness)
{
    return hue == kIdentityHue && saturation == kIdentityPercent && lightness == kIdentityPercent;
}

float ChannelFraction(DWORD colour, int shift) { return float((colour >> shift) & 0xFF) / 255.0f; }

float HueChannel(float p, float q, float t)
{
    if (t < 0)
        t += 1;
    if (t > 1)
        t -= 1;
    if (6 * t < 1)
        return p + (q - p) * 6 * t;
    if (2 * t < 1)
        return q;
    if (3 * t < 2)
        return p + (q - p) * 6 * (2.0f / 3.0f - t);
    return p;
}

DWORD ToByte(float channel)
{
    float v = channel * 255.0f;
    return v < 0 ? 0 : v > 255 ? 255 : DWORD(v);
}

// The adjustment itself, with the scaling factors worked out by the caller.
DWORD Adjust(DWORD colour, float hueShift, float saturationScale, float lightnessScale)
{
    float h, s, l;
    CSkinPainter::RgbToHsl(colour, &h, &s, &l);
    h += hueShift;
    if (h <= 0)
        h += 360;
    CSkinPainter::HslToRgb(&colour, h, s * saturationScale, l * lightnessScale);
    return colour;
}

}  // namespace

void CSkinPainter::RgbToHsl(DWORD colour, float* hue, float* saturation, float* lightness)
{
    float r = ChannelFraction(colour, 16), g = ChannelFraction(colour, 8), b = ChannelFraction(colour, 0);
    float lo = r < g ? (r < b ? r : b) : (g < b ? g : b);
    float hi = r > g ? (r > b ? r : b) : (g > b ? g : b);
    float l = (lo + hi) / 2;
    float h = 0, s = 0;
    if (hi != lo) {
        float d = hi - lo;
        if (r == lo)
            h = 3 - (g - b) / d;
        else if (g == lo)
            h = 5 - (b - r) / d;
        else
            h = 1 - (r - g) / d;
        if (h >= 6)
            h -= 6;
        h *= 60;
        s = 2 * l <= 1 ? d / (hi + lo) : d / (2 - hi - lo);
    }
    *hue = h;
    *saturation = s;
    *lightness = l;
}

void CSkinPainter::HslToRgb(DWORD* colour, float hue, float saturation, float lightness)
{
    const float third = 1.0f / 3.0f;
    float h = hue / 360;
    float q = 2 * lightness < 1 ? lightness * (1 + saturation) : lightness + saturation - lightness * saturation;
    float p = 2 * lightness - q;
    DWORD r = ToByte(HueChannel(p, q, h + third));
    DWORD g = ToByte(HueChannel(p, q, h));
    DWORD b = ToByte(HueChannel(p, q, h - third));
    *colour = (*colour & 0xFF000000) | r << 16 | g << 8 | b;
}

DWORD CSkinPainter::AdjustColorHsl(DWORD colour, short hue, short saturation, short lightness)
{
    if (IsIdentity(hue, saturation, lightness))
        return colour;
    return Adjust(colour, float(hue - kIdentityHue), saturation / 100.0f, lightness / 100.0f);
}

void CSkinPainter::AdjustImageHsl(bool useHsl, LoadedImage* image, short hue, short saturation, short lightness)
{
    if (!image || !image->followsHsl || !image->bitmap || !image->pixels || !image->sourcePixels)
        return;
    size_t count = size_t(image->width) * image->height;
    if (!useHsl || IsIdentity(hue, saturation, lightness)) {
        memcpy(image->pixels, image->sourcePixels, count * 4);
        return;
    }
    const float hueShift = float(hue - kIdentityHue), sScale = saturation / 100.0f, lScale = lightness / 100.0f;
    for (size_t i = 0; i < count; ++i) {
        DWORD source, current;
        memcpy(&source, image->sourcePixels + i * 4, 4);
        memcpy(&current, image->pixels + i * 4, 4);
        DWORD adjusted = (Adjust(source, hueShift, sScale, lScale) & 0x00FFFFFF) | (current & 0xFF000000);
        memcpy(image->pixels + i * 4, &adjusted, 4);
    }
}

}  // namespace CalUI
