#pragma once
// Where an item goes on disk before its first download: the folder proposed
// for a game, the sub-folder named after it, and the AddOns folder of a
// game's plug-ins. Texts from the web service end up in these paths, so each
// function makes sure such a text can name one folder and nothing more.

#include <string>

// True when the text names exactly one folder below another: not empty, no
// "\", "/" or ":", and not "." or "..".
bool IsPlainFolderName(const std::wstring& name);

// The name made fit to be one folder: every character that a Windows file
// name cannot hold (control characters, < > : " / \ | ? *) becomes "_", and
// trailing dots and blanks are cut. Empty when nothing is left.
std::wstring CleanFolderName(const std::wstring& name);

// The folder proposed to a game with no folders of its own yet: the drive
// root (for example "C:\"), the item's install folder name and "\". Empty
// when there is no drive or the name is not one plain folder name: the user
// then picks the folder.
std::wstring ProposedGameFolder(const std::wstring& driveRoot, const std::wstring& installFolderName);

// The "Interface\AddOns\" folder of the game found at or below the picked
// folder (a "\" is added when it lacks one), or "" when the folder does not
// exist or holds none:
// - a path that already contains "\Interface\" (exact case) is cut there and
//   given "\Interface\AddOns\" without looking at the disk;
// - otherwise the sub-folders are searched breadth-first, three levels deep,
//   in listing order, for the first one named "Interface" in any case; hidden
//   and system folders are passed over, as are folders that cannot be listed.
// Texts of any length are taken; a path the system cannot list finds nothing.
std::wstring FindAddOnsFolder(const std::wstring& picked);
