#include "dialogs/SkinResource.h"

#include "core/WindowManagerUI.h"

#include <cstring>

bool SupplySkinArchive(WORD resourceId)
{
    HINSTANCE module = CalUI::CWindowManagerUI::GetResourceInstance();
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(resourceId), L"ZIPRES");
    if (!resource)
        return false;
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return false;
    const DWORD size = SizeofResource(module, resource);
    if (size == 0)
        return false;
    // The framework reads every skin file from this block for as long as the
    // process runs, so it is handed over for good and never freed.
    auto* archive = new BYTE[size];
    memcpy(archive, bytes, size);
    FreeResource(loaded);
    CalUI::CWindowManagerUI::SetResourceZip(archive, size, nullptr);
    return true;
}
