#pragma once
// The client's one icon in the notification area. Closing the main window
// only hides it; the icon brings it back, offers the only way to end the
// client, and shows the balloons of finished installs and removals.
// Owned by the main window; its messages reach the owner as kTrayIconMessage
// with the mouse message in lParam.

#include <windows.h>
#include <shellapi.h>

#ifdef CALVERIN_TEST_HOOKS
#include <string>
#include <vector>
#endif

// The callback message of the icon to its owner window.
constexpr UINT kTrayIconMessage = 2023;

// The tray menu's entries, as TrackPopupMenu returns them.
enum class TrayMenuCommand : UINT
{
    None = 0,  // the menu closed without a choice
    ExitClient = 100,
    ShowMainWindow = 101,
};

class CTrayIcon
{
public:
    // Registers "TaskbarCreated" and loads the program's icon 103.
    CTrayIcon();
    // Destroys the icon handle; removing the icon is the owner's business.
    ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // Shows the icon with its tip (cut to 127 characters) for `owner`.
    void Add(LPCWSTR tip, HWND owner);
    // After Explorer restarted: the icon again, with the last balloon's texts.
    // Nothing unless the icon was added and not removed since.
    void AddAgain();
    void Remove();
    bool IsAdded() const;
    // Title cut to 63 characters, text to 255 (bodies come from the server).
    void ShowBalloon(LPCWSTR title, LPCWSTR text, UINT timeoutMs);

#ifdef CALVERIN_TEST_HOOKS
    // Test builds only: what the shell was asked to show, Wine's stand-in
    // tray showing no balloons.
    struct Balloon
    {
        std::wstring title;
        std::wstring text;
        UINT timeoutMs = 0;
        bool operator==(const Balloon&) const = default;
    };
    // Every balloon that any icon was asked to show since the last call, in
    // order.
    static std::vector<Balloon> TakeBalloonsShown();
#endif

    // The message Explorer broadcasts when the taskbar comes (back).
    UINT GetTaskbarCreatedMessage() const;
    // The two-entry menu at the cursor, built for this one choice and gone
    // when it returns.
    TrayMenuCommand TrackMenu(HWND owner) const;

private:
    NOTIFYICONDATAW m_data = {};
    HICON m_icon = nullptr;
    UINT m_taskbarCreatedMessage = 0;
    bool m_added = false;
};
