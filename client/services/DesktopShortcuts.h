#pragma once
// Desktop shortcuts of installed games. Their names come from the web
// service's game names, which may hold anything: one cleaning rule names a
// shortcut when it is made and when it is removed, and the cleaned name can
// only ever be a file directly in a desktop folder. COM is started and
// stopped around each use (balanced on every path) and every shell link
// interface is released.

#include <string>
#include <vector>

// What a shell link holds.
struct ShellLinkDetails
{
    std::wstring target;
    std::wstring arguments;
    std::wstring workingFolder;
    std::wstring icon;  // empty: the target's own icon
    int iconIndex = 0;
};

// The folders shortcuts go to and come from.
struct DesktopFolders
{
    // Where a shortcut of the same name is removed, in this order.
    std::vector<std::wstring> removeFrom;
    // Where a new shortcut is saved.
    std::wstring saveIn;
};

// The all-users desktop, the user's desktop folder and the shell's desktop;
// shortcuts are saved on the shell's desktop. Folders the system does not
// name are left out.
DesktopFolders SystemDesktopFolders();

// "<name>.lnk" for a shortcut named after an item: characters that Windows
// refuses in file names (control characters, \ / : * ? " < > |) become "_",
// trailing dots and blanks go, a device name (CON, PRN, AUX, NUL, COM1-9,
// LPT1-9, with or without an extension) gets a leading "_", and an overlong
// name is cut. A name that cleans to nothing uses the id instead; empty when
// that cleans to nothing as well.
std::wstring ShortcutFileName(const std::wstring& name, const std::wstring& id);

// The path of the game's program: the install folder joined with lnk_app,
// which must lead strictly below it. Empty for an lnk_app that is empty,
// absolute, rooted, names a drive or leads out with "..".
std::wstring GameShortcutTarget(const std::wstring& installFolder, const std::wstring& lnkApp);

// Removes every shortcut of that name (ShortcutFileName) from the folders'
// removeFrom, then saves the link in saveIn. False when no file name can be
// formed or the link could not be made or saved; nothing is left then.
bool SaveDesktopShortcut(const DesktopFolders& folders, const std::wstring& name, const std::wstring& id,
                         const ShellLinkDetails& link);

// The game's shortcut: its program (GameShortcutTarget) with the program's
// folder as working folder. False when lnk_app is refused: the shortcuts of
// that name are removed all the same, and none is saved.
bool SaveGameShortcut(const DesktopFolders& folders, const std::wstring& name, const std::wstring& id,
                      const std::wstring& installFolder, const std::wstring& lnkApp);

// Removes every shortcut of that name from the folders' removeFrom.
void DeleteDesktopShortcuts(const DesktopFolders& folders, const std::wstring& name, const std::wstring& id);
