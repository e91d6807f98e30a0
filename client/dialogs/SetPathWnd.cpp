// The folder selection window: the two fields, the picker and what a picked
// folder becomes in each mode.

#include "dialogs/SetPathWnd.h"

#include <shlobj.h>

#include <memory>

#include "services/FileUtil.h"
#include "services/InstallFolders.h"
#include "services/SessionData.h"
#include "services/WebLinks.h"

#include "controls/RichEditUI.h"
#include "dialogs/MsgBoxWnd.h"

using namespace CalUI;

namespace {

constexpr WCHAR kDownloadField[] = L"download_path_edit";
constexpr WCHAR kInstallField[] = L"install_path_edit";
// BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_EDITBOX | BIF_NEWDIALOGSTYLE
constexpr UINT kPickerFlags = 0x53;
constexpr WCHAR kWholeFolderWanted[] = L"请填写完整的目录，如 D:\\Games\\";

struct FieldTips
{
    LPCWSTR download;
    LPCWSTR install;
};

FieldTips TipsFor(FolderMode mode)
{
    if (mode == FolderMode::Plugin)
        return {L"请选择插件下载路径", L"请选择插件安装路径"};
    return {L"请选择游戏下载路径", L"请选择游戏安装路径"};
}

struct PidlFree
{
    void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};

}  // namespace

CSetPathWnd::CSetPathWnd(FolderMode mode, std::wstring& downloadFolder, std::wstring& installFolder,
                         const std::wstring& folderName)
    : CDialogWnd(L"selpath.xml", CaptionClickables::ButtonsAndOptions),
      m_mode(mode),
      m_downloadFolder(downloadFolder),
      m_installFolder(installFolder),
      m_folderName(CleanFolderName(folderName))
{}

LPCWSTR CSetPathWnd::GetWindowClassName() const { return L"CSetPathWnd"; }

void CSetPathWnd::OnWindowInit()
{
    const FieldTips tips = TipsFor(m_mode);
    SetTextOf(kDownloadField, m_downloadFolder);
    SetTextOf(kInstallField, m_installFolder);
    if (auto* download = static_cast<CRichEditUI*>(FindControl(kDownloadField)))
        download->SetTipValue(tips.download);
    if (auto* install = static_cast<CRichEditUI*>(FindControl(kInstallField)))
        install->SetTipValue(tips.install);
}

void CSetPathWnd::OnNotify(NotifyMsg& msg)
{
    if (msg.type != L"click" || msg.sender == nullptr)
        return;
    const CUIString name = msg.sender->GetName();
    if (name == L"close_btn") {
        Close(0);
    } else if (name == L"choose_download_btn") {
        ChooseDownloadFolder();
    } else if (name == L"choose_install_btn") {
        ChooseInstallFolder();
    } else if (name == L"ok_btn") {
        Accept();
    } else if (name == L"go_help_btn") {
        OpenHelp();
    }
}

void CSetPathWnd::ChooseDownloadFolder()
{
    const std::wstring folder = PickFolder(L"选择下载路径");
    if (!folder.empty())
        OnDownloadFolderPicked(folder);
}

void CSetPathWnd::ChooseInstallFolder()
{
    const std::wstring folder = PickFolder(L"选择安装路径");
    if (!folder.empty())
        OnInstallFolderPicked(folder);
}

void CSetPathWnd::OnDownloadFolderPicked(std::wstring folder)
{
    folder = WithFinalBackslash(folder);
    if (m_mode == FolderMode::Game) {
        folder = WithFolderName(folder);
        SetField(kDownloadField, folder);
        if (TextOf(kInstallField).empty())
            SetField(kInstallField, folder);
        return;
    }
    SetField(kDownloadField, folder);
    if (TextOf(kInstallField).empty())
        SetField(kInstallField, FindAddOnsFolder(folder));
}

void CSetPathWnd::OnInstallFolderPicked(std::wstring folder)
{
    folder = WithFinalBackslash(folder);
    if (m_mode == FolderMode::Game) {
        folder = WithFolderName(folder);
        SetField(kInstallField, folder);
        if (TextOf(kDownloadField).empty())
            SetField(kDownloadField, folder);
        return;
    }
    const std::wstring addOns = FindAddOnsFolder(folder);
    if (addOns.empty())
        ShowMessage(L"请选择正确的安装目录");
    SetField(kInstallField, addOns);
    if (TextOf(kDownloadField).empty())
        SetField(kDownloadField, folder);
}

std::wstring CSetPathWnd::PickFolder(LPCWSTR title)
{
    WCHAR path[MAX_PATH] = {};
    BROWSEINFOW browse = {};
    browse.hwndOwner = m_hWnd;
    browse.lpszTitle = title;
    browse.ulFlags = kPickerFlags;
    const std::unique_ptr<ITEMIDLIST, PidlFree> picked(SHBrowseForFolderW(&browse));
    if (!picked || !SHGetPathFromIDListW(picked.get(), path))
        return std::wstring();
    return path;
}

void CSetPathWnd::Accept()
{
    const std::wstring download = TextOf(kDownloadField);
    const std::wstring install = TextOf(kInstallField);
    // A relative folder would land wherever the client's current folder is.
    const struct
    {
        const std::wstring& folder;
        LPCWSTR title;
    } fields[] = {{download, L"无法下载到此目录"}, {install, L"无法安装到此目录"}};
    for (const auto& field : fields) {
        if (!field.folder.empty() && !IsAbsoluteFolder(field.folder)) {
            ShowMsgBox(m_hWnd, field.title, kWholeFolderWanted, MsgBoxButtons::Ok, L"确定", L"取消");
            return;
        }
    }
    m_downloadFolder = download;
    m_installFolder = install;
    Close(1);
}

void CSetPathWnd::OpenHelp()
{
    // The help address comes from the service's configuration.
    OpenWebLink(g_sessionData.GetService());
}

std::wstring CSetPathWnd::WithFolderName(const std::wstring& folder) const
{
    return m_folderName.empty() ? folder : folder + m_folderName + L"\\";
}

void CSetPathWnd::SetField(LPCWSTR name, const std::wstring& folder)
{
    if (CControlUI* field = FindControl(name)) {
        field->SetText(folder.c_str());
        field->SetToolTip(folder.c_str());
    }
}
