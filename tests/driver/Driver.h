#pragma once
// The client program driven from outside, as a user drives it, for the
// end-to-end tests and the screenshot scripts. The driver starts the built
// calverinapp.exe from a scratch program folder of its own, finds its
// windows by class and title, clicks where the shipped skin laid out by the
// framework puts a control (list rows and tiles by their fixed geometry,
// scrolled into view with the wheel as a user would), types and presses keys
// as posted messages, and waits for windows, the reference service's journal
// and files. Every wait has a time limit and throws DriverTimeout naming what
// it awaited; every other failure throws std::runtime_error with its reason.
//
// Posted mouse and key messages reach the client in the order they were
// posted, whatever the real cursor and keyboard do, so drivers never fight
// over the one cursor of the display; the tests that use a driver still take
// the display's turns (the main_window and mouse_cursor locks), since the
// client's windows come to the foreground.

#include <windows.h>

#include <json/json.h>

#include <map>
#include <memory>
#include <string>

#include "SkinMirror.h"
#include "StepMarks.h"
#include "Waiting.h"

class DibCanvas;
class ProgramCopy;

constexpr DWORD kWaitLimitMs = 30000;

class Driver
{
public:
    // Hands the build's client skin archive to the framework (once per
    // process), so that skins can be laid out here as the client lays them out.
    Driver();
    // A client still running is ended (terminated) and its scratch folder
    // removed; the client's registry key is removed too.
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    // ---- The program ---------------------------------------------------------------
    // Starts calverinapp.exe, copied into a new scratch program folder, with
    // the current user's key "Software\calverin" reset. With a token, the
    // token and the user name are saved there first, so the client signs in
    // without showing its sign-in window. One client per driver.
    void StartClient(const std::string& token = std::string(), const std::string& username = std::string());
    HANDLE Process() const { return m_process; }
    // With a trailing backslash; log.txt and the "cache" folder live here.
    const std::wstring& ProgramFolder() const;

    // ---- Windows ------------------------------------------------------------------
    // A shown top-level window of the client's process with that class, and
    // that title unless it is null.
    HWND WaitForWindow(LPCWSTR className, LPCWSTR title = nullptr, DWORD limitMs = kWaitLimitMs);
    // A dialog shown, then given a moment to lay out and paint: until its
    // layered repaint timer has laid it out, a click meets no control.
    HWND WaitForDialog(LPCWSTR className, DWORD limitMs = kWaitLimitMs);
    // The main window ("CMainWnd", "Calverin"), shown.
    HWND WaitForMainWindow(DWORD limitMs = kWaitLimitMs) { return WaitForWindow(L"CMainWnd", L"Calverin", limitMs); }
    // Waits until the window is destroyed.
    void WaitForWindowGone(HWND window, const std::string& what, DWORD limitMs = kWaitLimitMs);

    // ---- Mouse --------------------------------------------------------------------
    // A click (move, button down, button up) at the centre of the named
    // control of `skinFile` as the window shows that skin.
    void ClickControl(HWND window, LPCWSTR skinFile, LPCWSTR controlName);
    // The mouse moved to the control's centre; then the client is given a
    // moment to lay out and paint what the hover shows (as the wide navigation
    // panel), before anything there can be clicked.
    void HoverControl(HWND window, LPCWSTR skinFile, LPCWSTR controlName);
    // A click at the centre of one item of a list or tile layout that the
    // client filled, after the wheel turned the list to its top and then down
    // just far enough to show the item whole.
    void ClickItem(HWND window, LPCWSTR skinFile, const ItemSpot& spot);
    // The same, at the centre of a part of the item (a row's button), given
    // in the item's own coordinates.
    void ClickItem(HWND window, LPCWSTR skinFile, const ItemSpot& spot, const RECT& part);
    // A tile of the all-games page of the main window ("main.xml",
    // "all_game_tilelayout"), `count` tiles shown.
    void ClickTile(HWND mainWindow, int index, int count);
    // A click at a point of the window's client area.
    void ClickAt(HWND window, POINT at);

    // ---- Keys ---------------------------------------------------------------------
    // Each UTF-16 unit of the text as one WM_CHAR to the window, which hands
    // it to its focused control.
    void Type(HWND window, const std::wstring& text);
    // WM_KEYDOWN and WM_KEYUP of the virtual key.
    void PressKey(HWND window, UINT virtualKey);

    // ---- Notification area ------------------------------------------------------------
    // A left click on the client's icon in Wine's stand-in notification area.
    void ClickTrayIcon(DWORD limitMs = kWaitLimitMs);
    // A right click on the client's icon: its menu, shown. The menu runs its
    // own loop on the client's thread, where keys posted to the main window
    // reach it (PressKey): it opens under the cursor, which may already have
    // picked an entry, so Home or End chooses, not an arrow.
    HWND OpenTrayMenu(DWORD limitMs = kWaitLimitMs);
    // How many icons the notification area shows.
    static int TrayIconCount();

    // ---- Service and files ------------------------------------------------------------
    // Waits until the reference service's journal holds `count` requests of
    // the path and returns the last of them.
    Json::Value WaitForJournal(const std::string& path, unsigned count = 1, DWORD limitMs = kWaitLimitMs);
    // Waits until the file exists (and is not empty, with `nonEmpty`).
    void WaitForFile(const std::wstring& path, bool nonEmpty = true, DWORD limitMs = kWaitLimitMs);

    // ---- The end ------------------------------------------------------------------
    // WM_CLOSE from outside to the main window; waits for the client to end
    // and returns its exit code.
    DWORD CloseClient(HWND mainWindow, DWORD limitMs = kWaitLimitMs);
    // Waits for the client to end after `what`; returns its exit code.
    DWORD WaitForExit(const std::string& what, DWORD limitMs = kWaitLimitMs);

    // ---- Places and the screen --------------------------------------------------------
    // Where the skin puts the named control, and an item of a list or tile
    // layout scrolled into view (as ClickControl and ClickItem find them).
    RECT ControlRect(LPCWSTR skinFile, LPCWSTR controlName) { return Mirror(skinFile).ControlRect(controlName); }
    RECT ItemRect(LPCWSTR skinFile, const ItemSpot& spot) { return Mirror(skinFile).PlaceItem(spot).rect; }
    // What the screen shows of the window's client rectangle `rc`.
    std::unique_ptr<DibCanvas> CaptureScreen(HWND window, RECT rc) const;
    // How many pixels of that rectangle on screen have all three channels at
    // `floor` or above: text drawn light on the client's dark skin.
    int CountLightPixels(HWND window, RECT rc, BYTE floor = 200) const;

    // ---- Steps --------------------------------------------------------------------
    // Marks a step of the run, shot over the window by a waiting script
    // (StepMarks.h).
    void MarkStep(const std::string& name, HWND window) { m_steps.Mark(name, window); }

private:
    SkinMirror& Mirror(LPCWSTR skinFile);
    // Turns the list so that the item shows whole; where it then shows.
    RECT ScrollToItem(HWND window, LPCWSTR skinFile, const ItemSpot& spot);
    void Wheel(HWND window, POINT at, int notches);

    std::unique_ptr<ProgramCopy> m_program;
    HANDLE m_process = nullptr;
    std::map<std::wstring, std::unique_ptr<SkinMirror>> m_mirrors;
    StepMarks m_steps;
};
