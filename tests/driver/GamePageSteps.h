#pragma once
// What the driven roads do on the main window's game and application pages:
// rows found by the client's own row geometry and their buttons clicked,
// shown statuses read as light text on screen, the folder window's fields
// typed, and 星海征途's page opened from the tiles. Waits and failures are
// the driver's (Waiting.h); a missing tile or list fails the calling test.

#include <windows.h>

#include <json/json.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Driver.h"
#include "mainwindow/ItemRows.h"

// Pages bring the wait overlay for a moment while their pictures come: a
// page counts as shown once the main window stayed enabled so long.
constexpr DWORD kPageSteadyMs = 1000;
// Long enough for a package to be checked and unpacked.
constexpr DWORD kInstallLimitMs = 120000;

// Where a child lies in a row of the kind, in the row's own coordinates.
RECT RowPart(RowKind kind, RowChild child);

// A key of a section of the prefix's config.ini; empty when missing.
std::wstring ConfigValue(const std::wstring& section, LPCWSTR key);

// The GET requests of a path in the service's journal (its size probes are
// HEAD requests).
std::vector<Json::Value> Downloads(const std::string& path);

// Waits until the size of the file (-1 while it is missing) satisfies `done`.
void WaitForFileSize(const std::wstring& file, const std::string& what, const std::function<bool(int64_t)>& done,
                     DWORD limitMs = kWaitLimitMs);

// Waits until the main window stayed enabled for kPageSteadyMs.
void WaitUntilEnabled(HWND main, const std::string& what);

// The config.ini sections of a road's items, removed before and after it:
// the file belongs to the whole prefix.
class OwnSections
{
public:
    explicit OwnSections(std::vector<std::wstring> sections);
    ~OwnSections();
    OwnSections(const OwnSections&) = delete;
    OwnSections& operator=(const OwnSections&) = delete;

private:
    void Remove() const;

    const std::vector<std::wstring> m_sections;
};

class GamePageSteps
{
public:
    explicit GamePageSteps(Driver& driver) : m_driver(driver) {}

    // Row `index` of the `count` rows the client shows in the list.
    static ItemSpot Row(RowKind kind, LPCWSTR list, int index, int count);
    void ClickRowChild(HWND main, RowKind kind, const ItemSpot& row, RowChild child);
    // Light text in the row's status label: the label is shown.
    bool StatusShown(HWND main, RowKind kind, const ItemSpot& row);

    // A field of a dialog emptied with the keys and typed anew.
    void ReplaceField(HWND window, LPCWSTR skinFile, LPCWSTR field, const std::wstring& text);
    // The folder window's two fields replaced, then "安装".
    void ConfirmFolders(HWND folders, const std::wstring& download, const std::wstring& install);

    // 星海征途's page from the all-games tiles, opened for the nth time.
    void OpenXinghaiPage(HWND main, unsigned timesOpened);
    // After a click on a category's tile: its games asked for (the nth
    // time), its title shown and no overlay over the page.
    void WaitForGamePage(HWND main, const std::string& categoryId, unsigned timesOpened);

private:
    Driver& m_driver;
};
