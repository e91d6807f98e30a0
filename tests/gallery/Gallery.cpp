// The control gallery: a page of the gallery skin (gallery.zip beside the
// program) shown as a real layered window, for looking at every control in
// its states. The skin sets the disabled, selected and focused states; what a
// skin cannot set (the hover, typed text, an open popup) a page plays by
// posting messages once the window has laid itself out (GalleryPages.h).
//   control_gallery [SECONDS] [PAGE]   closes itself after that many seconds
//                                      (0: never); PAGE is a skin file in the
//                                      archive, "gallery.xml" by default;
//                                      Esc and the close button close it too

#include "GalleryPages.h"
#include "core/ControlUI.h"
#include "builder/SkinBuilder.h"
#include "core/UIInterfaces.h"
#include "core/WindowManagerUI.h"
#include "core/WindowWnd.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

using namespace CalUI;

namespace {

// Above the ids the paint manager hands its controls' timers on this window.
constexpr UINT_PTR kPlayTimer = 0x1001;
constexpr UINT kPlayDelayMs = 300;  // after "windowinit", so that the first paint is on screen
constexpr UINT_PTR kCloseTimer = 0x1002;
constexpr wchar_t kCloseButton[] = L"close_button";
constexpr wchar_t kDefaultPage[] = L"gallery.xml";
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
    GalleryWindow(std::wstring page, UINT closeAfterMs) : m_page(std::move(page)), m_closeAfterMs(closeAfterMs) {}

    LPCWSTR GetWindowClassName() const override { return L"CalverinControlGallery"; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CREATE && !BuildSkin())
            return -1;
        if (message == WM_TIMER && wParam == kPlayTimer) {
            ::KillTimer(m_hWnd, kPlayTimer);
            PlayGalleryPage(m_page, m_manager);
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
            ::SetTimer(m_hWnd, kPlayTimer, kPlayDelayMs, nullptr);
            if (m_closeAfterMs > 0)
                ::SetTimer(m_hWnd, kCloseTimer, m_closeAfterMs, nullptr);
        }
    }

private:
    bool BuildSkin()
    {
        m_manager.Init(m_hWnd);
        CSkinBuilder builder;
        CControlUI* root = builder.Create(m_page.c_str(), nullptr, nullptr, &m_manager);
        if (root == nullptr)
            return false;
        m_manager.AttachRoot(root);
        m_manager.AddNotifyReceiver(this);
        return true;
    }

    CWindowManagerUI m_manager;
    std::wstring m_page;
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
    const std::wstring page = __argc > 2 ? __wargv[2] : kDefaultPage;
    GalleryWindow window(page, static_cast<UINT>(seconds) * 1000);
    if (window.Create(nullptr, L"Control gallery", kGalleryStyle, 0, 0, 0, 0, 0, nullptr) == nullptr)
        return 1;
    window.CenterWindow();
    window.ShowModal();
    return 0;
}
