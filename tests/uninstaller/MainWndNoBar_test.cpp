// The uninstaller's window built in this process from its own skin with the
// bar and the percent label taken out: the progress timer must neither divide
// by a missing width nor call a missing control, and still reaches the last
// page once the removal has run. The removal is the real one: it finds no
// uninstall entry here and deletes only the client's own registry key and
// Start-menu folder, so the program runs holding their lock. Built the same
// way with its whole layout, the window whose worker cannot start says so and
// can be closed.
#include "uninstaller/MainWnd.h"

#include "ScratchFolder.h"
#include "TestPaths.h"
#include "ThreadTimerAction.h"
#include "ZipWriter.h"
#include "uninstaller/Relocation.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The skin's layout without the lines naming the two controls.
std::string LayoutWithout(const std::string& layout, const std::vector<std::string>& names)
{
    std::string kept;
    size_t start = 0;
    while (start < layout.size()) {
        size_t end = layout.find('\n', start);
        end = end == std::string::npos ? layout.size() : end + 1;
        const std::string line = layout.substr(start, end - start);
        bool named = false;
        for (const std::string& name : names)
            named |= line.find("name=\"" + name + "\"") != std::string::npos;
        if (!named)
            kept += line;
        start = end;
    }
    return kept;
}

void PumpFor(DWORD milliseconds)
{
    const ULONGLONG until = GetTickCount64() + milliseconds;
    MSG msg;
    while (GetTickCount64() < until) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void Click(HWND window, int x, int y)
{
    const LPARAM where = MAKELPARAM(x, y);
    PostMessageW(window, WM_MOUSEMOVE, 0, where);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageW(window, WM_LBUTTONUP, 0, where);
}

}  // namespace

TEST(UninstallerWindowWithoutBar, ReachesTheLastPageWithoutTheBarOrItsLabel)
{
    const std::string layout = ScratchFolder::ReadFile(SourceTreePath(L"skins\\uninstaller\\main.xml"));
    ASSERT_NE(layout.find("pro_unins_lab"), std::string::npos);
    static const std::string archive =
        BuildZip({{"main.xml", LayoutWithout(layout, {"pro_unins_lab", "unins_percent_lab"})}});
    CalUI::CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    CalUI::CWindowManagerUI::SetResourceZip(archive.data(), static_cast<unsigned>(archive.size()), nullptr);

    CMainWnd window;
    HWND handle =
        window.Create(nullptr, L"no bar", WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0, 0, 0, nullptr);
    ASSERT_NE(handle, nullptr);
    PumpFor(300);
    // "狠心卸载", then "卸载成功" where it shows on the last page only.
    Click(handle, 209, 272);
    PumpFor(300);
    Click(handle, 209, 272);
    const ULONGLONG deadline = GetTickCount64() + 60000;
    while (IsWindow(handle) && IsWindowVisible(handle) && GetTickCount64() < deadline) {
        PumpFor(100);
        Click(handle, 273, 272);
    }
    EXPECT_FALSE(IsWindow(handle) && IsWindowVisible(handle));
}

namespace {

// The box of the failed removal, owned by the window; null while none shows.
HWND FailureBox(HWND owner)
{
    HWND box = FindWindowW(L"#32770", kUninstallerTitle);
    return box != nullptr && GetWindow(box, GW_OWNER) == owner ? box : nullptr;
}

}  // namespace

TEST(UninstallerWindowWithoutWorker, SaysTheRemovalFailedAndCloses)
{
    // The layout alone: the pictures play no part here.
    static const std::string archive =
        BuildZip({{"main.xml", ScratchFolder::ReadFile(SourceTreePath(L"skins\\uninstaller\\main.xml"))}});
    CalUI::CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    CalUI::CWindowManagerUI::SetResourceZip(archive.data(), static_cast<unsigned>(archive.size()), nullptr);
    CWindowMultiThreadManager::RefuseStartsOf({&UninstallThreadProc});

    CMainWnd window;
    HWND handle =
        window.Create(nullptr, L"no worker", WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0, 0, 0, nullptr);
    ASSERT_NE(handle, nullptr);
    PumpFor(300);
    // "狠心卸载": the box comes from inside the click and runs its own loop,
    // from which the answer is given.
    std::wstring said;
    bool answered = false;
    RunFromTheLoopWhen([handle] { return FailureBox(handle) != nullptr; },
                       [&] {
                           HWND box = FailureBox(handle);
                           wchar_t text[256] = {};
                           GetDlgItemTextW(box, 0xFFFF, text, 256);
                           said = text;
                           PostMessageW(box, WM_COMMAND, IDOK, 0);
                           answered = true;
                       },
                       [] {});
    Click(handle, 209, 272);
    const ULONGLONG deadline = GetTickCount64() + 30000;
    while (!answered && GetTickCount64() < deadline)
        PumpFor(100);
    CWindowMultiThreadManager::RefuseStartsOf({});
    EXPECT_EQ(said, L"卸载失败，请关闭后重新运行卸载程序");
    // The close button, on every page.
    PumpFor(300);
    Click(handle, 516, 31);
    while (IsWindow(handle) && IsWindowVisible(handle) && GetTickCount64() < deadline)
        PumpFor(100);
    EXPECT_FALSE(IsWindow(handle) && IsWindowVisible(handle));
}
