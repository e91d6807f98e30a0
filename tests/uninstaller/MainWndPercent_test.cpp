// The uninstaller's window built in this process from its own skin: what its
// percent label under the bar says at each tick of the progress timer, from
// the removal's start until the last page shows. The removal is the real
// one: it finds no uninstall entry here and deletes only the client's own
// registry key and Start-menu folder, so the program runs holding their lock.
#include "uninstaller/MainWnd.h"

#include "ScratchFolder.h"
#include "TestPaths.h"
#include "ZipWriter.h"
#include "core/TabLayoutUI.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr UINT_PTR kProgressTimer = 4098;

// The window's controls, which the test reads as the user sees them.
class ProbedMainWnd : public CMainWnd
{
public:
    using CMainWnd::m_manager;

    std::wstring TextOf(LPCWSTR name)
    {
        CalUI::CControlUI* control = m_manager.FindControl(name);
        return control != nullptr ? std::wstring(control->GetText().GetData()) : L"<none>";
    }
    int Page() { return static_cast<CalUI::CTabLayoutUI*>(m_manager.FindControl(L"tabpage"))->GetSelectedIndex(); }
};

// Runs the thread's messages until `done` holds or `limitMs` passed, calling
// afterTick after every tick of the window's progress timer.
template <class Done, class AfterTick>
bool PumpUntil(HWND window, Done done, AfterTick afterTick, DWORD limitMs)
{
    const ULONGLONG deadline = GetTickCount64() + limitMs;
    MSG msg;
    while (!done()) {
        if (GetTickCount64() >= deadline)
            return false;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            if (msg.message == WM_TIMER && msg.hwnd == window && msg.wParam == kProgressTimer)
                afterTick();
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

}  // namespace

TEST(UninstallerPercentLabel, StartsAtSevenPassesFiftyOneAndEightyOneAndEndsFull)
{
    static const std::string archive =
        BuildZip({{"main.xml", ScratchFolder::ReadFile(SourceTreePath(L"skins\\uninstaller\\main.xml"))}});
    CalUI::CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    CalUI::CWindowManagerUI::SetResourceZip(archive.data(), static_cast<unsigned>(archive.size()), nullptr);

    ProbedMainWnd window;
    HWND handle =
        window.Create(nullptr, L"percent", WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0, 0, 0, nullptr);
    ASSERT_NE(handle, nullptr);
    CalUI::CControlUI* start = window.m_manager.FindControl(L"immediate_uninstall_btn");
    ASSERT_NE(start, nullptr);
    ASSERT_TRUE(PumpUntil(
        handle, [&] { return start->GetPos().right > 0; }, [] {}, 5000));
    EXPECT_EQ(window.TextOf(L"unins_percent_lab"), L"已卸载(15%)");

    const RECT at = start->GetPos();
    const LPARAM where = MAKELPARAM((at.left + at.right) / 2, (at.top + at.bottom) / 2);
    PostMessageW(handle, WM_MOUSEMOVE, 0, where);
    PostMessageW(handle, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageW(handle, WM_LBUTTONUP, 0, where);
    std::vector<std::wstring> shown;
    const bool finished = PumpUntil(
        handle, [&] { return window.Page() == 2; },
        [&] {
            const std::wstring text = window.TextOf(L"unins_percent_lab");
            if (shown.empty() || shown.back() != text)
                shown.push_back(text);
        },
        60000);
    ASSERT_TRUE(finished);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), L"7%");
    EXPECT_EQ(shown.back(), L"100%");
    int previous = 0;
    for (const std::wstring& text : shown) {
        SCOPED_TRACE(testing::PrintToString(text));
        ASSERT_EQ(text.back(), L'%');
        const int percent = std::stoi(text);
        EXPECT_GT(percent, previous);
        previous = percent;
    }
    // The bar's width times 100 over 411: the two pauses show these.
    for (const wchar_t* pause : {L"51%", L"81%"})
        EXPECT_NE(std::find(shown.begin(), shown.end(), pause), shown.end()) << testing::PrintToString(pause);
    DestroyWindow(handle);
}
