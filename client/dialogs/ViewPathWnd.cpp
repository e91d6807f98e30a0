// The folder view window: two folders shown, opened in Explorer, and the
// removal asked for.

#include "dialogs/ViewPathWnd.h"

#include <shellapi.h>

#include "services/FileUtil.h"

using namespace CalUI;

std::wstring ExplorerParameters(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // A backslash before the closing quote would escape it: the separators
    // at the end go, but for a drive root's, which is doubled instead.
    std::wstring name = path;
    while (name.size() > 3 && IsPathSeparator(name.back()))
        name.pop_back();
    if (!name.empty() && IsPathSeparator(name.back()))
        name += L'\\';
    const std::wstring quoted = L"\"" + name + L"\"";
    return folder ? quoted : L"/select, " + quoted;
}

CViewPathWnd::CViewPathWnd(const std::wstring& downloadFolder, const std::wstring& installFolder)
    : CDialogWnd(L"viewpath.xml", CaptionClickables::FlaggedControls),
      m_downloadFolder(downloadFolder),
      m_installFolder(installFolder)
{}

LPCWSTR CViewPathWnd::GetWindowClassName() const { return L"CViewPathWnd"; }

void CViewPathWnd::OnWindowInit()
{
    SetTextOf(L"download_path_edit", m_downloadFolder);
    SetTextOf(L"install_path_edit", m_installFolder);
}

void CViewPathWnd::OnNotify(NotifyMsg& msg)
{
    if (msg.type != L"click" || msg.sender == nullptr)
        return;
    const CUIString name = msg.sender->GetName();
    if (name == L"close_btn")
        Close(0);
    else if (name == L"open_download_btn")
        OpenInExplorer(m_downloadFolder);
    else if (name == L"open_install_btn")
        OpenInExplorer(m_installFolder);
    else if (name == L"unstall_btn")
        Close(1);
    else if (name == L"close2_btn")
        Close(2);
}

void CViewPathWnd::OpenInExplorer(const std::wstring& path)
{
    ShellExecuteW(nullptr, L"open", L"explorer.exe", ExplorerParameters(path).c_str(), nullptr, SW_SHOWDEFAULT);
}
