#pragma once
// The folder selection window: before an item's first download the user
// chooses where its package goes and where it is installed, by typing or
// with the folder picker. For a game the picked folder gets the game's own
// sub-folder; for plug-ins the install folder must be the game's
// "Interface\AddOns\", which the window finds below whatever folder is
// picked.
//
// Opened by a download start over the main window with ShowModal(true, true).
// Result 1: the two strings given at construction now hold the texts of the
// two fields, each either empty (the caller judges it) or an absolute folder
// ("X:\..." or a share); 0: closed, both strings unchanged. A typed folder
// that is not absolute is refused with a box over this window, which stays
// open. The strings must outlive the window.

#include <string>

#include "dialogs/DialogWnd.h"

// What the folders are chosen for.
enum class FolderMode
{
    Game = 1,
    Plugin = 2,
};

class CSetPathWnd : public CDialogWnd
{
public:
    // `folderName` (games only; plug-ins pass "") is appended to a picked
    // folder, cleaned to one folder name first: the service's item name
    // never adds a level or leaves the picked folder.
    CSetPathWnd(FolderMode mode, std::wstring& downloadFolder, std::wstring& installFolder,
                const std::wstring& folderName);

    LPCWSTR GetWindowClassName() const override;  // "CSetPathWnd"

protected:
    // The picked folders, as the picker returns them ("\" added here).
    void OnDownloadFolderPicked(std::wstring folder);
    void OnInstallFolderPicked(std::wstring folder);

private:
    void OnWindowInit() override;
    void OnNotify(CalUI::NotifyMsg& msg) override;

    // The picker for each field; a cancelled picker changes nothing.
    void ChooseDownloadFolder();
    void ChooseInstallFolder();
    // The system's folder picker titled `title`; empty when cancelled.
    std::wstring PickFolder(LPCWSTR title);
    // Both fields to the caller's strings and Close(1), unless a typed
    // folder is refused.
    void Accept();
    // The service's help page in the browser, only when it is a web link.
    void OpenHelp();
    // The picked folder with the game's sub-folder, in game mode.
    std::wstring WithFolderName(const std::wstring& folder) const;
    // Sets the field's text and tooltip.
    void SetField(LPCWSTR name, const std::wstring& folder);

    FolderMode m_mode;
    std::wstring& m_downloadFolder;
    std::wstring& m_installFolder;
    std::wstring m_folderName;
};
