// The control gallery: the gallery skin (gallery.zip beside the program)
// shown as a real layered window, for looking at every control in its
// states. The skin sets the disabled, selected and focused states; the one
// state a skin cannot set, the hover, comes from a posted mouse move over the
// button "button_hot" once the window has laid itself out.
//   control_gallery [SECONDS]   closes itself after that many seconds;
//                               Esc and the close button close it too

#include "core/ControlUI.h"
#include "core/SkinBuilder.h"
#include "core/UIInterfaces.h"
#include "core/WindowManagerUI.h"
#include "core/WindowWnd.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

using namespace CalUI;

namespace {

constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT kHoverDelayMs = 300;  // after "windowinit", so that the first paint is on screen
constexpr UINT_PTR kCloseTimer = 2;
constexpr wchar_t kHotButton[] = L"button_hot";
constexpr wchar_t kCloseButton[] = L"close_button";
// A popup with a caption bar of its own in the skin.
constexpr DWORD kGalleryStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

std::wstring ProgramFolder()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return L"";
        if (length < path.size())
            break;
        path.resize(path.size() * 2);
    }
    std::wstring folder(path.data());
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

// Hands the archive to the framework for the life of the process; false when
// it cannot be read.
bool SupplySkinArchive(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const DWORD size = GetFileSize(file, nullptr);
    // The framework reads every skin file from this block for as long as the
    // process runs, so it is never freed.
    auto* bytes = size != INVALID_FILE_SIZE && size > 0 ? new BYTE[size] : nullptr;
    DWORD read = 0;
    const bool ok = bytes != nullptr && ReadFile(file, bytes, size, &read, nullptr) && read == size;
    CloseHandle(file);
    if (!ok)
        return false;
    CWindowManagerUI::SetResourceZip(bytes, size, nullptr);
    return true;
}

class GalleryWindow : public CWindowWnd, public INotifyUI
{
public:
    explicit GalleryWindow(UINT closeAfterMs) : m_closeAfterMs(closeAfterMs) {}

    LPCWSTR GetWindowClassName() const override { return L"CalverinControlGallery"; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CREATE && !BuildSkin())
            return -1;
        if (message == WM_TIMER && wParam == kHoverTimer) {
            ::KillTimer(m_hWnd, kHoverTimer);
            HoverHotButton();
            return 0;
        }
        if (message == WM_TIMER && wParam == kCloseTimer) {
            Close(0);
            return 0;
        }
        if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
            Close(0);
            return 0;
        }
        LRESULT result = 0;
        if (m_manager.HandleWindowMessage(message, wParam, lParam, result))
            return result;
        return CWindowWnd::HandleMessage(message, wParam, lParam);
    }

    void Notify(NotifyMsg& msg) override
    {
        if (msg.type == L"click" && msg.sender != nullptr && msg.sender->GetName() == kCloseButton) {
            Close(0);
        } else if (msg.type == L"windowinit") {
            ::SetTimer(m_hWnd, kHoverTimer, kHoverDelayMs, nullptr);
            if (m_closeAfterMs > 0)
                ::SetTimer(m_hWnd, kCloseTimer, m_closeAfterMs, nullptr);
        }
    }

private:
    bool BuildSkin()
    {
        m_manager.Init(m_hWnd);
        CSkinBuilder builder;
        CControlUI* root = builder.Create(L"gallery.xml", nullptr, nullptr, &m_manager);
        if (root == nullptr)
            return false;
        m_manager.AttachRoot(root);
        m_manager.AddNotifyReceiver(this);
        return true;
    }

    // The cursor goes there too: the manager checks where it really is when
    // it tracks the mouse's leaving.
    void HoverHotButton()
    {
        CControlUI* button = m_manager.FindControl(kHotButton);
        if (button == nullptr)
            return;
        const RECT pos = button->GetPos();
        POINT pt = {(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2};
        POINT screen = pt;
        ClientToScreen(m_hWnd, &screen);
        SetCursorPos(screen.x, screen.y);
        PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
    }

    CWindowManagerUI m_manager;
    UINT m_closeAfterMs;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    CWindowManagerUI::SetInstance(instance);
    const std::wstring archive = ProgramFolder() + L"gallery.zip";
    if (!SupplySkinArchive(archive)) {
        MessageBoxW(nullptr, (L"The gallery skin cannot be read: " + archive).c_str(), L"Control gallery", MB_OK);
        return 1;
    }
    const int seconds = __argc > 1 ? std::max(0, _wtoi(__wargv[1])) : 0;
    GalleryWindow window(static_cast<UINT>(seconds) * 1000);
    if (window.Create(nullptr, L"Control gallery", kGalleryStyle, 0, 0, 0, 0, 0, nullptr) == nullptr)
        return 1;
    window.CenterWindow();
    window.ShowModal();
    return 0;
}
