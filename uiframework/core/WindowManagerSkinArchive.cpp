// The process-wide skin-archive settings of the paint manager.

#include "core/WindowManagerUI.h"

#include "core/SkinArchive.h"

namespace CalUI {

namespace {

constexpr int kMaxPasswordBytes = 64;
constexpr wchar_t kMemoryArchiveName[] = L"membuffer";

struct SkinArchiveSettings
{
    HINSTANCE instance = nullptr;
    HINSTANCE resourceInstance = nullptr;  // never set: the module instance serves
    CUIString resourcePath;                // never set: skin files come from the archive
    CUIString archiveName;
    bool cacheArchive = true;  // the opened archive stays open for the process
    ZipHandle* cachedArchive = nullptr;
    char password[kMaxPasswordBytes + 1] = {};
    short hue = 180;
    short saturation = 100;
    short lightness = 100;
    bool hslOn = false;
};

SkinArchiveSettings& Settings()
{
    static SkinArchiveSettings settings;
    return settings;
}

}  // namespace

void CWindowManagerUI::SetInstance(HINSTANCE instance) { Settings().instance = instance; }

HINSTANCE CWindowManagerUI::GetInstance() { return Settings().instance; }

HINSTANCE CWindowManagerUI::GetResourceInstance()
{
    return Settings().resourceInstance ? Settings().resourceInstance : Settings().instance;
}

const CUIString& CWindowManagerUI::GetResourcePath() { return Settings().resourcePath; }

void CWindowManagerUI::SetResourceZip(const void* data, unsigned int size, const char* password)
{
    SkinArchiveSettings& s = Settings();
    lstrcpynA(s.password, password ? password : "", sizeof s.password);
    if (s.archiveName == kMemoryArchiveName)
        return;
    if (s.cacheArchive && s.cachedArchive) {
        CloseZip(s.cachedArchive);
        s.cachedArchive = nullptr;
    }
    s.archiveName = kMemoryArchiveName;
    if (s.cacheArchive)
        s.cachedArchive = OpenZipMemory(data, size, GetResourceZipPassword());
}

const CUIString& CWindowManagerUI::GetResourceZip() { return Settings().archiveName; }

bool CWindowManagerUI::IsResourceZipCached() { return Settings().cacheArchive; }

ZipHandle* CWindowManagerUI::GetResourceZipHandle() { return Settings().cachedArchive; }

const char* CWindowManagerUI::GetResourceZipPassword()
{
    return Settings().password[0] ? Settings().password : nullptr;
}

bool CWindowManagerUI::GetHsl(short* hue, short* saturation, short* lightness)
{
    const SkinArchiveSettings& s = Settings();
    *hue = s.hue;
    *saturation = s.saturation;
    *lightness = s.lightness;
    return s.hslOn;
}

}  // namespace CalUI
