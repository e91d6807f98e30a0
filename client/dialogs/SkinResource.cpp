#include "dialogs/SkinResource.h"

#include "core/WindowManagerUI.h"

bool SupplySkinArchive(WORD resourceId)
{
    HINSTANCE module = CalUI::CWindowManagerUI::GetResourceInstance();
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(resourceId), L"ZIPRES");
    if (!resource)
        return false;
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = SizeofResource(module, resource);
    if (!bytes || size == 0)
        return false;
    // The framework reads every skin file from this block for as long as the
    // process runs. The program's resources stay mapped from its file for
    // that long, so the block is handed over in place, not copied into the
    // process's own memory.
    CalUI::CWindowManagerUI::SetResourceZip(bytes, size, nullptr);
    return true;
}
