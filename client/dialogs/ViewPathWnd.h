#pragma once
// The folder view window of an installed game or of a game's plug-ins: the
// download and install folders, each openable in Explorer, and the way to
// ask for the removal of the installation.
//
// Opened by a row's view button over the main window with ShowModal(true,
// true). Result 1: the user asked for the removal (the caller confirms and
// removes); 2: "关闭"; 0: closed otherwise. The open buttons and the caller
// act on the folders given at construction; the fields only show them, and
// what the user types there changes nothing.

#include <string>

#include "dialogs/DialogWnd.h"

// Explorer's parameters that show `path`: an existing folder opens, anything
// else (a file, a path that is gone) is selected in its folder. The path is
// quoted, so that Explorer takes a folder with commas or blanks whole.
std::wstring ExplorerParameters(const std::wstring& path);

class CViewPathWnd : public CDialogWnd
{
public:
    CViewPathWnd(const std::wstring& downloadFolder, const std::wstring& installFolder);

    LPCWSTR GetWindowClassName() const override;  // "CViewPathWnd"

private:
    void OnWindowInit() override;
    void OnNotify(CalUI::NotifyMsg& msg) override;
    // Starts Explorer on the path; what Explorer then does is its own.
    virtual void OpenInExplorer(const std::wstring& path);

    const std::wstring m_downloadFolder;
    const std::wstring m_installFolder;
};
