#pragma once
// What the client reads of the two outside game launchers (their registry
// entries) and writes into their data files so that they find a game the
// client installed: the Nexon launcher's installed-apps database for game 12
// and the ReflectionNetworkLauncher's configuration for game 15. The files
// belong to the launchers: whatever else they hold stays, and a file that
// cannot be taken as the JSON object it should be is copied aside before it
// is replaced, never lost.

#include "services/DesktopShortcuts.h"

#include <cstdint>
#include <string>

enum class OutsideLauncher
{
    Nexon,       // runs game 12 ("HIT2")
    Reflection,  // runs game 15
};

// The Nexon launcher's id of game 12, its member under "installedApps".
inline constexpr char kNexonGameAppId[] = "59767";

// The launcher's folder as its registry entry names it; empty when the value
// is missing or empty.
std::wstring ReadLauncherFolder(OutsideLauncher launcher);

// The launcher's program in that folder; empty when there is no folder.
std::wstring LauncherProgram(OutsideLauncher launcher);

// True when the registry names a folder and the launcher's program is there.
bool IsLauncherPresent(OutsideLauncher launcher);

// The folder with "\" appended unless it ends in "\" or "/" already.
std::wstring WithTrailingBackslash(const std::wstring& folder);

// Game 15's install folder derived from the launcher's "InstallLocation":
// cut after its last "\" or "/", with "D4R_ENRU\" appended ("C:\L\" gives
// "C:\L\D4R_ENRU\", "C:\L" gives "C:\D4R_ENRU\"); empty when it has no
// separator.
std::wstring ReflectionGameFolder(const std::wstring& installLocation);

// The two data files under the roaming application-data folder.
std::wstring NexonInstalledAppsPath();
std::wstring ReflectionConfigPath();

enum class LauncherFileOutcome
{
    Written,
    KeptAsideAndWritten,  // the old file did not hold what it should: copied to keptCopy first
    NotWritten,           // the old file (if any) is untouched
};

struct LauncherFileResult
{
    LauncherFileOutcome outcome = LauncherFileOutcome::NotWritten;
    std::wstring keptCopy;  // "<file>.<n>.bak" when the old text was copied aside
};

// Sets "installedApps"."59767" of the database at path to game 12 installed in
// installFolder (UTF-8 paths, a 64-bit size and time), keeping every other
// member. A missing or empty file starts as an empty object; one whose text is
// not an object, or whose "installedApps" or "59767" is no object, is copied
// aside and those parts start afresh; one that cannot be read or copied is
// left alone (NotWritten). The new text is written beside the file and then
// moved over it, so a failed write leaves the old one whole. The parent
// folder is made when missing.
LauncherFileResult WriteNexonInstalledApp(const std::wstring& path, const std::wstring& installFolder,
                                          int64_t installTime);

// Sets "d4_installed_locale", "d4_install_dir" and "d4_download_finished" of
// the configuration at path, with the same keeping rules.
LauncherFileResult WriteReflectionConfig(const std::wstring& path, const std::wstring& installFolder);

// The desktop shortcut "HIT2.lnk" that starts game 12 through the Nexon
// launcher's program: "nxl://launch/59767" in the launcher's folder, with the
// game's own program in its install folder as the icon.
ShellLinkDetails NexonGameShortcut(const std::wstring& launcherProgram, const std::wstring& installFolder);
