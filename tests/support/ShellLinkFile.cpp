#include "ShellLinkFile.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

ShellLinkContents ReadShellLinkFile(const std::wstring& path)
{
    ShellLinkContents contents;
    const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES && SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
        wchar_t text[MAX_PATH * 2] = {};
        if (SUCCEEDED(link->GetPath(text, MAX_PATH * 2, nullptr, SLGP_RAWPATH)))
            contents.target = text;
        text[0] = 0;
        if (SUCCEEDED(link->GetArguments(text, MAX_PATH * 2)))
            contents.arguments = text;
        text[0] = 0;
        if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH * 2)))
            contents.workingFolder = text;
        text[0] = 0;
        if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH * 2, &contents.iconIndex)))
            contents.icon = text;
        contents.read = true;
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    if (SUCCEEDED(started))
        CoUninitialize();
    return contents;
}
