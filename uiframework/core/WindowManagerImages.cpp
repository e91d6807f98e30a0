// Skin images by name, shared by the process or held by one window, loaded on
// first use.

#include "core/WindowManagerUI.h"

#include <cstring>
#include <cwchar>
#include <memory>

#include "core/LoadedImage.h"
#include "core/ResourceRef.h"
#include "core/SkinPainter.h"
#include "core/StringMapValues.h"

namespace CalUI {

namespace {

void FreeImage(LoadedImage* image) { CSkinPainter::FreeLoadedImage(image, true); }

size_t PixelBytesOf(const CUIStringMap& images)
{
    size_t bytes = 0;
    FindMapValue<LoadedImage>(images, [&](LPCWSTR, LoadedImage* image) {
        const size_t pixels = static_cast<size_t>(image->width) * image->height * 4;
        bytes += (image->pixels != nullptr ? pixels : 0) + (image->sourcePixels != nullptr ? pixels : 0);
        return false;
    });
    return bytes;
}

// With a resource type, a name that starts with a number names the resource
// by that number. A colour is always its text: "80FF0000" is not resource 80.
ResourceRef ImageSource(LPCWSTR name, LPCWSTR type)
{
    if (type != nullptr && *type != L'\0' && std::wcscmp(type, kColorImageType) != 0 && name[0] >= L'0' &&
        name[0] <= L'9')
        return ResourceRef(static_cast<UINT>(_wtoi(name)));
    return ResourceRef(name);
}

}  // namespace

LoadedImage* CWindowManagerUI::AddImage(LPCWSTR name, LPCWSTR type, DWORD mask, bool keepSource, bool shared)
{
    if (name == nullptr || *name == L'\0')
        return nullptr;
    LoadedImage* image = CSkinPainter::LoadSkinImage(ImageSource(name, type), type, mask);
    if (image == nullptr)
        return nullptr;
    image->followsHsl = keepSource;
    if (type != nullptr)
        image->resourceType = type;
    image->mask = mask;
    if (keepSource) {
        size_t bytes = static_cast<size_t>(image->width) * image->height * 4;
        image->sourcePixels = new BYTE[bytes];
        std::memcpy(image->sourcePixels, image->pixels, bytes);
    }
    short hue, saturation, lightness;
    if (GetHsl(&hue, &saturation, &lightness))
        CSkinPainter::AdjustImageHsl(true, image, hue, saturation, lightness);

    CUIStringMap& images = ResourcesFor(shared).images;
    if (auto* old = static_cast<LoadedImage*>(images.Find(name, false))) {
        // Drawing records of controls hold the table's pointer and are not
        // known here, so the record stays where it is and takes over the new
        // picture: every holder sees the replacement and none is left dangling.
        CSkinPainter::FreeLoadedImage(old, false);
        *old = *image;
        delete image;  // the bitmap and pixels now belong to `old`
        return old;
    }
    if (!images.Insert(name, image)) {
        FreeImage(image);
        return nullptr;
    }
    return image;
}

LoadedImage* CWindowManagerUI::GetImage(LPCWSTR name)
{
    auto* image = static_cast<LoadedImage*>(m_resources.images.Find(name));
    if (image == nullptr)
        image = static_cast<LoadedImage*>(Shared().images.Find(name));
    return image;
}

LoadedImage* CWindowManagerUI::GetOrAddImage(LPCWSTR name, LPCWSTR type, DWORD mask, bool keepSource)
{
    if (LoadedImage* image = GetImage(name))
        return image;
    if (AddImage(name, type, mask, keepSource, false) == nullptr)
        return nullptr;
    return static_cast<LoadedImage*>(ResourcesFor(false).images.Find(name));
}

size_t CWindowManagerUI::DecodedImageBytes()
{
    size_t bytes = PixelBytesOf(Shared().images);
    for (int i = 0; i < Managers().GetCount(); ++i)
        bytes += PixelBytesOf(static_cast<CWindowManagerUI*>(Managers().GetAt(i))->m_resources.images);
    return bytes;
}

void CWindowManagerUI::RemoveAllImages(bool shared)
{
    DeleteMapValues<LoadedImage>(shared ? Shared().images : m_resources.images, FreeImage);
}

}  // namespace CalUI
