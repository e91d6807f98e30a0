#include "services/DesktopShortcuts.h"

#include "services/FileUtil.h"
#include "services/SafeNames.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cwctype>

namespace {

// Windows refuses longer names in many places; the ".lnk" and a folder must
// still fit a classic path.
constexpr size_t kMaxShortcutNameChars = 120;

// Starts COM for this thread and stops it again only when this start counted.
class ScopedComStart
{
public:
    ScopedComStart() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ScopedComStart()
    {
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }
    ScopedComStart(const ScopedComStart&) = delete;
    ScopedComStart& operator=(const ScopedComStart&) = delete;

    // A thread already in the other apartment model can still make links.
    bool Usable() const { return SUCCEEDED(m_result) || m_result == RPC_E_CHANGED_MODE; }

private:
    HRESULT m_result;
};

// Releases a COM interface when it goes.
template <class Interface>
class ComRef
{
public:
    ComRef() = default;
    ~ComRef()
    {
        if (m_pointer)
            m_pointer->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    Interface** Receive() { return &m_pointer; }
    Interface* operator->() const { return m_pointer; }
    Interface* Get() const { return m_pointer; }

private:
    Interface* m_pointer = nullptr;
};

bool IsRefusedNameCharacter(wchar_t c) { return c < 0x20 || c == 0x7F || wcschr(L"\\/:*?\"<>|", c) != nullptr; }

std::wstring CleanName(const std::wstring& raw)
{
    std::wstring name = raw.substr(0, kMaxShortcutNameChars);
    for (wchar_t& c : name) {
        if (IsRefusedNameCharacter(c))
            c = L'_';
    }
    while (!name.empty() && (name.back() == L'.' || std::iswspace(name.back())))
        name.pop_back();
    while (!name.empty() && std::iswspace(name.front()))
        name.erase(0, 1);
    if (!name.empty() && IsDeviceName(name))
        name.insert(0, 1, L'_');
    return name;
}

std::wstring InFolder(const std::wstring& folder, const std::wstring& fileName)
{
    return folder.empty() || IsPathSeparator(folder.back()) ? folder + fileName : folder + L"\\" + fileName;
}

void RemoveShortcutFiles(const DesktopFolders& folders, const std::wstring& fileName)
{
    for (const std::wstring& folder : folders.removeFrom) {
        if (!folder.empty())
            DeleteFileW(InFolder(folder, fileName).c_str());
    }
}

bool WriteShellLink(const std::wstring& path, const ShellLinkDetails& details)
{
    const ScopedComStart com;
    if (!com.Usable())
        return false;
    ComRef<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.Receive()))))
        return false;
    if (FAILED(link->SetPath(details.target.c_str())) || FAILED(link->SetArguments(details.arguments.c_str())) ||
        FAILED(link->SetWorkingDirectory(details.workingFolder.c_str())))
        return false;
    if (!details.icon.empty() && FAILED(link->SetIconLocation(details.icon.c_str(), details.iconIndex)))
        return false;
    ComRef<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Receive()))))
        return false;
    if (SUCCEEDED(file->Save(path.c_str(), TRUE)))
        return true;
    DeleteFileW(path.c_str());
    return false;
}

}  // namespace

DesktopFolders SystemDesktopFolders()
{
    DesktopFolders folders;
    for (int csidl : {CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY, CSIDL_DESKTOP}) {
        const std::wstring folder = ShellFolderPath(csidl);
        if (!folder.empty())
            folders.removeFrom.push_back(folder);
    }
    folders.saveIn = ShellFolderPath(CSIDL_DESKTOP);
    return folders;
}

std::wstring ShortcutFileName(const std::wstring& name, const std::wstring& id)
{
    std::wstring clean = CleanName(name);
    if (clean.empty())
        clean = CleanName(id);
    return clean.empty() ? clean : clean + L".lnk";
}

std::wstring GameShortcutTarget(const std::wstring& installFolder, const std::wstring& lnkApp)
{
    if (installFolder.empty() || !IsAbsoluteFolder(installFolder))
        return std::wstring();
    const std::wstring folder = IsPathSeparator(installFolder.back()) ? installFolder : installFolder + L"\\";
    return ResolveListedName(folder, lnkApp);
}

bool SaveDesktopShortcut(const DesktopFolders& folders, const std::wstring& name, const std::wstring& id,
                         const ShellLinkDetails& link)
{
    const std::wstring fileName = ShortcutFileName(name, id);
    if (fileName.empty() || folders.saveIn.empty())
        return false;
    RemoveShortcutFiles(folders, fileName);
    return WriteShellLink(InFolder(folders.saveIn, fileName), link);
}

ShellLinkDetails GameShortcut(const std::wstring& installFolder, const std::wstring& lnkApp)
{
    ShellLinkDetails link;
    link.target = GameShortcutTarget(installFolder, lnkApp);
    if (!link.target.empty())
        link.workingFolder = GetFolderPart(link.target);
    return link;
}

void DeleteDesktopShortcuts(const DesktopFolders& folders, const std::wstring& name, const std::wstring& id)
{
    const std::wstring fileName = ShortcutFileName(name, id);
    if (!fileName.empty())
        RemoveShortcutFiles(folders, fileName);
}
