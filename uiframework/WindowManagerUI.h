#pragma once
// The per-window paint manager. Every window and control reaches the
// process-wide skin settings and its own resources through this class.

#include <windows.h>

#include "UIString.h"

namespace CalUI {

struct ZipHandle;

class CWindowManagerUI {
public:
    // ---- Process-wide skin-archive settings ----------------------------------
    // Written once at start-up, before the first window exists, and read by the
    // markup reader and the image loader whenever a skin file is needed.
    // (Implemented in WindowManagerSkinArchive.cpp.)
    static void SetInstance(HINSTANCE instance);
    static HINSTANCE GetInstance();
    static HINSTANCE GetResourceInstance();   // falls back to the module instance
    static const CUIString& GetResourcePath();

    // Opens the skin archive held in `data` (kept alive by the caller) and
    // keeps it open for the life of the process. Only the first call opens an
    // archive; later calls change the stored password alone.
    static void SetResourceZip(const void* data, unsigned int size, const char* password);
    static const CUIString& GetResourceZip();  // "membuffer" once an archive is set
    static bool IsResourceZipCached();
    static ZipHandle* GetResourceZipHandle();
    static const char* GetResourceZipPassword();  // null when there is none

    // Hue, saturation, lightness (180, 100, 100 is the identity); the result
    // tells whether the adjustment is switched on.
    static bool GetHsl(short* hue, short* saturation, short* lightness);
    // ---- End of process-wide skin-archive settings ---------------------------
};

}  // namespace CalUI
