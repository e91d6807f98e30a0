// Loading skin images into premultiplied 32-bit bitmaps.

#include "core/SkinPainter.h"

#include "core/AttributeValues.h"
#include "core/ImageDecode.h"
#include "core/SkinFiles.h"
#include "core/WindowManagerUI.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace CalUI {

namespace {

// The decoder takes the length of an image file as an int.
constexpr uint64_t kMaxImageFileBytes = INT_MAX;

struct PixelsDeleter
{
    void operator()(unsigned char* p) const { FreeImagePixels(p); }
};
using DecodedPixels = std::unique_ptr<unsigned char, PixelsDeleter>;

std::vector<BYTE> ResourceBytes(ResourceRef name, LPCWSTR type)
{
    HMODULE module = CWindowManagerUI::GetResourceInstance();
    HRSRC resource = FindResourceW(module, name, type);
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    DWORD size = resource ? SizeofResource(module, resource) : 0;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    std::vector<BYTE> bytes;
    if (data && size && size <= kMaxImageFileBytes)
        bytes.assign(data, data + size);
    if (loaded)
        FreeResource(loaded);
    return bytes;
}

// Resource, then skin folder or archive, then the name as a path of its own.
std::vector<BYTE> ImageBytes(ResourceRef name, LPCWSTR type)
{
    std::vector<BYTE> bytes;
    if (type)
        bytes = ResourceBytes(name, type);
    else if (!name.IsNumber())
        ReadSkinFile(name, kMaxImageFileBytes, bytes);
    if (bytes.empty() && !name.IsNumber())
        ReadWholeFile(name, kMaxImageFileBytes, bytes);
    return bytes;
}

// "#AARRGGBB", "AARRGGBB" or "0xAARRGGBB" as one RGBA pixel.
DecodedPixels ColourPixel(LPCWSTR text)
{
    const DWORD argb = ParseColorValue(text);
    auto* pixel = static_cast<unsigned char*>(malloc(4));
    if (pixel) {
        pixel[0] = BYTE(argb >> 16);
        pixel[1] = BYTE(argb >> 8);
        pixel[2] = BYTE(argb);
        pixel[3] = BYTE(argb >> 24);
    }
    return DecodedPixels(pixel);
}

// A 32-bit DIB section; a negative height is top-down.
HBITMAP CreateDib(HDC dc, int width, int height, DWORD imageSize, BYTE** pixels)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = imageSize;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    *pixels = static_cast<BYTE*>(bits);
    return bitmap;
}

}  // namespace

LoadedImage* CSkinPainter::LoadSkinImage(ResourceRef name, LPCWSTR type, DWORD mask)
{
    int width = 1, height = 1;
    DecodedPixels rgba;
    if (type && wcscmp(type, kColorImageType) == 0) {
        if (name.IsNumber())
            return nullptr;
        rgba = ColourPixel(name);
    } else {
        std::vector<BYTE> bytes = ImageBytes(name, type);
        if (bytes.empty())
            return nullptr;
        rgba.reset(DecodeImageRgba(bytes.data(), int(bytes.size()), &width, &height));
    }
    if (!rgba)
        return nullptr;

    BYTE* pixels = nullptr;
    HBITMAP bitmap = CreateDib(nullptr, width, -height, DWORD(width) * DWORD(height) * 4, &pixels);
    if (!bitmap)
        return nullptr;
    auto* image = new LoadedImage;
    image->bitmap = bitmap;
    image->pixels = pixels;
    image->width = width;
    image->height = height;
    image->alpha = PremultiplyPixels(rgba.get(), pixels, size_t(width) * height, mask);
    return image;
}

void CSkinPainter::FreeLoadedImage(LoadedImage* image, bool deleteRecord)
{
    if (!image)
        return;
    if (image->bitmap)
        DeleteObject(image->bitmap);
    delete[] image->sourcePixels;
    image->bitmap = nullptr;
    image->pixels = nullptr;
    image->sourcePixels = nullptr;
    if (deleteRecord)
        delete image;
}

bool CSkinPainter::PremultiplyPixels(const unsigned char* rgba, BYTE* bgra, size_t count, DWORD mask)
{
    bool alpha = false;
    for (size_t i = 0; i < count; ++i, rgba += 4, bgra += 4) {
        unsigned a = rgba[3];
        bgra[3] = BYTE(a);
        if (a == 255) {
            bgra[0] = rgba[2];
            bgra[1] = rgba[1];
            bgra[2] = rgba[0];
        } else {
            bgra[0] = BYTE(rgba[2] * a / 255);
            bgra[1] = BYTE(rgba[1] * a / 255);
            bgra[2] = BYTE(rgba[0] * a / 255);
            alpha = true;
        }
        DWORD argb = DWORD(bgra[3]) << 24 | DWORD(bgra[2]) << 16 | DWORD(bgra[1]) << 8 | bgra[0];
        if (argb == mask) {
            memset(bgra, 0, 4);
            alpha = true;
        }
    }
    return alpha;
}

HBITMAP CSkinPainter::CreateARGB32Bitmap(HDC dc, int width, int height, BYTE** pixels)
{
    return CreateDib(dc, width, height, 0, pixels);
}

}  // namespace CalUI
