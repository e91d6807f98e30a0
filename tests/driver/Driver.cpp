#include "Driver.h"

#include <stdexcept>

#include "ClientProgram.h"
#include "DibCanvas.h"
#include "RefService.h"
#include "ScratchFolder.h"
#include "SkinPlaces.h"
#include "TestPaths.h"
#include "WineTray.h"
#include "core/WindowManagerUI.h"
#include "services/RegistryUtil.h"

namespace {

constexpr wchar_t kClientKey[] = L"Software\\calverin";
// Long enough for a layered window's repaint timer to lay out and paint.
constexpr DWORD kHoverSettleMs = 300;
constexpr DWORD kDialogSettleMs = 500;

std::string Narrow(const std::wstring& text)
{
    std::string narrow;
    for (wchar_t c : text)
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

// The framework keeps a pointer to the archive's bytes: they stay for the
// whole process.
void HandArchiveToFrameworkOnce()
{
    static const std::string archive = [] {
        std::string bytes = ScratchFolder::ReadFile(BuildTreePath(L"client\\skin\\client.zip"));
        if (bytes.empty())
            throw std::runtime_error("the build holds no client skin archive (client\\skin\\client.zip)");
        CalUI::CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
        CalUI::CWindowManagerUI::SetResourceZip(bytes.data(), static_cast<unsigned>(bytes.size()), nullptr);
        return bytes;
    }();
}

void SaveSetting(const char* name, const std::string& value)
{
    WriteRegValue(HKEY_CURRENT_USER, "Software\\calverin", name, REG_SZ, value, static_cast<DWORD>(value.size()));
}

struct WindowSearch
{
    DWORD processId;
    LPCWSTR className;
    LPCWSTR title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window))
        return TRUE;
    wchar_t text[256] = {};
    GetClassNameW(window, text, 256);
    if (std::wstring(text) != search->className)
        return TRUE;
    GetWindowTextW(window, text, 256);
    if (search->title != nullptr && std::wstring(text) != search->title)
        return TRUE;
    search->found = window;
    return FALSE;
}

POINT CentreOf(const RECT& rc) { return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }

}  // namespace

Driver::Driver() { HandArchiveToFrameworkOnce(); }

Driver::~Driver()
{
    m_program.reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, kClientKey);
}

void Driver::StartClient(const std::string& token, const std::string& username)
{
    if (m_program)
        throw std::runtime_error("the driver runs one client");
    RegDeleteTreeW(HKEY_CURRENT_USER, kClientKey);
    if (!token.empty()) {
        SaveSetting("token", token);
        SaveSetting("username", username);
    }
    m_program = std::make_unique<ProgramCopy>(L"calverinapp.exe");
    m_process = m_program->Start();
}

const std::wstring& Driver::ProgramFolder() const
{
    if (!m_program)
        throw std::runtime_error("no client was started");
    return m_program->ProgramFolder();
}

HWND Driver::WaitForWindow(LPCWSTR className, LPCWSTR title, DWORD limitMs)
{
    WindowSearch search = {GetProcessId(m_process), className, title, nullptr};
    std::string what = "a shown window of class " + Narrow(className);
    if (title != nullptr)
        what += " titled \"" + Narrow(title) + "\"";
    WaitUntil(
        what,
        [&search, this] {
            if (WaitForSingleObject(m_process, 0) != WAIT_TIMEOUT)
                throw std::runtime_error("the client ended while waiting for a window");
            EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        limitMs);
    return search.found;
}

HWND Driver::WaitForDialog(LPCWSTR className, DWORD limitMs)
{
    HWND dialog = WaitForWindow(className, nullptr, limitMs);
    PumpFor(kDialogSettleMs);
    return dialog;
}

void Driver::WaitForWindowGone(HWND window, const std::string& what, DWORD limitMs)
{
    WaitUntil(
        what + " to close", [window] { return !IsWindow(window); }, limitMs);
}

void Driver::ClickControl(HWND window, LPCWSTR skinFile, LPCWSTR controlName)
{
    ClickAt(window, CentreOf(Mirror(skinFile).ControlRect(controlName)));
}

void Driver::HoverControl(HWND window, LPCWSTR skinFile, LPCWSTR controlName)
{
    const POINT at = CentreOf(Mirror(skinFile).ControlRect(controlName));
    PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    PumpFor(kHoverSettleMs);
}

void Driver::ClickItem(HWND window, LPCWSTR skinFile, const ItemSpot& spot)
{
    ClickAt(window, CentreOf(ScrollToItem(window, skinFile, spot)));
}

void Driver::ClickItem(HWND window, LPCWSTR skinFile, const ItemSpot& spot, const RECT& part)
{
    const RECT item = ScrollToItem(window, skinFile, spot);
    RECT at = part;
    OffsetRect(&at, item.left, item.top);
    ClickAt(window, CentreOf(at));
}

void Driver::ClickTile(HWND mainWindow, int index, int count)
{
    ItemSpot spot;
    spot.container = L"all_game_tilelayout";
    spot.index = index;
    spot.count = count;
    ClickItem(mainWindow, L"main.xml", spot);
}

void Driver::ClickAt(HWND window, POINT at) { PostClick(window, at); }

void Driver::Type(HWND window, const std::wstring& text)
{
    for (wchar_t unit : text)
        PostMessageW(window, WM_CHAR, unit, 1);
}

void Driver::PressKey(HWND window, UINT virtualKey)
{
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(window, WM_KEYDOWN, virtualKey, scan | 1);
    PostMessageW(window, WM_KEYUP, virtualKey, scan | 1 | (LPARAM{3} << 30));
}

void Driver::ClickTrayIcon(DWORD limitMs)
{
    HWND icon = nullptr;
    WaitUntil(
        "the client's icon in the notification area", [&icon] { return (icon = FindTrayIconWindow()) != nullptr; },
        limitMs);
    PostMessageW(icon, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(icon, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

HWND Driver::OpenTrayMenu(DWORD limitMs)
{
    HWND icon = nullptr;
    WaitUntil(
        "the client's icon in the notification area", [&icon] { return (icon = FindTrayIconWindow()) != nullptr; },
        limitMs);
    PostMessageW(icon, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    return WaitForWindow(L"#32768", nullptr, limitMs);
}

int Driver::TrayIconCount() { return CountTrayIcons(); }

Json::Value Driver::WaitForJournal(const std::string& path, unsigned count, DWORD limitMs)
{
    Json::Value requests;
    WaitUntil(
        std::to_string(count) + " request(s) of " + path + " in the service's journal",
        [&] { return (requests = RefService::Journal(path)).size() >= count; }, limitMs);
    return requests[count - 1];
}

void Driver::WaitForFile(const std::wstring& path, bool nonEmpty, DWORD limitMs)
{
    WaitUntil(
        "the file " + Narrow(path),
        [&] {
            WIN32_FILE_ATTRIBUTE_DATA data = {};
            if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
                return false;
            return !nonEmpty || data.nFileSizeLow != 0 || data.nFileSizeHigh != 0;
        },
        limitMs);
}

DWORD Driver::CloseClient(HWND mainWindow, DWORD limitMs)
{
    PostMessageW(mainWindow, WM_CLOSE, 0, 0);
    return WaitForExit("WM_CLOSE", limitMs);
}

DWORD Driver::WaitForExit(const std::string& what, DWORD limitMs)
{
    WaitUntil(
        "the client to end after " + what, [this] { return WaitForSingleObject(m_process, 0) != WAIT_TIMEOUT; },
        limitMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(m_process, &code);
    return code;
}

std::unique_ptr<DibCanvas> Driver::CaptureScreen(HWND window, RECT rc) const
{
    POINT origin = {rc.left, rc.top};
    ClientToScreen(window, &origin);
    auto canvas = std::make_unique<DibCanvas>(rc.right - rc.left, rc.bottom - rc.top);
    HDC screen = GetDC(nullptr);
    BitBlt(canvas->dc(), 0, 0, canvas->width(), canvas->height(), screen, origin.x, origin.y, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return canvas;
}

int Driver::CountLightPixels(HWND window, RECT rc, BYTE floor) const
{
    const std::unique_ptr<DibCanvas> canvas = CaptureScreen(window, rc);
    int count = 0;
    for (int y = 0; y < canvas->height(); ++y) {
        for (int x = 0; x < canvas->width(); ++x) {
            const DWORD rgb = canvas->Rgb(x, y);
            if ((rgb & 0xFF) >= floor && ((rgb >> 8) & 0xFF) >= floor && ((rgb >> 16) & 0xFF) >= floor)
                ++count;
        }
    }
    return count;
}

SkinMirror& Driver::Mirror(LPCWSTR skinFile)
{
    std::unique_ptr<SkinMirror>& mirror = m_mirrors[skinFile];
    if (!mirror)
        mirror = std::make_unique<SkinMirror>(skinFile);
    return *mirror;
}

RECT Driver::ScrollToItem(HWND window, LPCWSTR skinFile, const ItemSpot& spot)
{
    const ItemPlace place = Mirror(skinFile).PlaceItem(spot);
    Wheel(window, place.wheelAt, place.notchesUp);
    Wheel(window, place.wheelAt, -place.notchesDown);
    return place.rect;
}

// Positive notches turn the wheel away from the user (up), negative towards
// (down); the message carries screen coordinates.
void Driver::Wheel(HWND window, POINT at, int notches)
{
    ClientToScreen(window, &at);
    const int step = notches > 0 ? WHEEL_DELTA : -WHEEL_DELTA;
    for (int i = 0; i < (notches > 0 ? notches : -notches); ++i)
        PostMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, step), MAKELPARAM(at.x, at.y));
}
