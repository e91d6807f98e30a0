#include <windows.h>

#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "core/ControlUI.h"
#include "core/WindowManagerUI.h"
#include "core/WindowWnd.h"

using namespace CalUI;

namespace {

// A window as the client's windows are: WM_CLOSE destroys it, and hooks let a
// test act on chosen messages.
class TestWnd : public CWindowWnd
{
public:
    LPCWSTR GetWindowClassName() const override { return L"CalverinTestWnd"; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        messages.push_back(message);
        if (onMessage)
            onMessage(message, wParam, lParam);
        if (message == WM_CLOSE) {
            ::DestroyWindow(m_hWnd);
            return 0;
        }
        return CWindowWnd::HandleMessage(message, wParam, lParam);
    }

    void OnFinalMessage(HWND hWnd) override
    {
        finalHandle = hWnd;
        if (finalFlag != nullptr)
            *finalFlag = true;
    }

    HWND CreatePopup(HWND owner, RECT rc = {100, 100, 300, 250}) { return Create(owner, L"test", WS_POPUP, 0, rc); }

    bool Saw(UINT message) const
    {
        for (UINT m : messages) {
            if (m == message)
                return true;
        }
        return false;
    }

    std::function<void(UINT, WPARAM, LPARAM)> onMessage;
    std::vector<UINT> messages;
    HWND finalHandle = nullptr;
    bool* finalFlag = nullptr;  // outlives the object
};

class EditWnd : public TestWnd
{
public:
    LPCWSTR GetWindowClassName() const override { return L"CalverinTestEditWnd"; }
    LPCWSTR GetSuperClassName() const override { return L"Edit"; }
};

class WindowWndTest : public testing::Test
{
protected:
    void SetUp() override { CWindowManagerUI::SetInstance(::GetModuleHandleW(nullptr)); }

    // Leaves no WM_QUIT behind for the next test; returns its exit code or -1.
    static int TakeQuitMessage()
    {
        MSG msg;
        if (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
            return static_cast<int>(msg.wParam);
        return -1;
    }
};

TEST_F(WindowWndTest, WindowsOfOneClassShareTheRegistrationAndFindTheirObjects)
{
    TestWnd first;
    TestWnd second;
    HWND a = first.CreatePopup(nullptr);
    HWND b = second.CreatePopup(nullptr);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(first.GetWindowHandle(), a);
    EXPECT_EQ(second.GetWindowHandle(), b);
    EXPECT_TRUE(first.Saw(WM_NCCREATE));
    EXPECT_TRUE(first.Saw(WM_CREATE));

    second.messages.clear();
    ::SendMessageW(b, WM_APP + 5, 0, 0);
    EXPECT_TRUE(second.Saw(WM_APP + 5));
    EXPECT_FALSE(first.Saw(WM_APP + 5));

    ::DestroyWindow(a);
    EXPECT_EQ(first.GetWindowHandle(), nullptr);
    EXPECT_EQ(first.finalHandle, a);
    EXPECT_FALSE(first.Saw(WM_NCDESTROY)) << "WM_NCDESTROY is handled by the base alone";
    ::DestroyWindow(b);
}

TEST_F(WindowWndTest, SuperclassKeepsSystemBehaviourAndItsObjectInAProperty)
{
    EditWnd edit;
    HWND hWnd = edit.Create(nullptr, L"", WS_POPUP, 0, 0, 0, 100, 20, nullptr);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(::GetPropW(hWnd, L"WndX"), static_cast<CWindowWnd*>(&edit));
    EXPECT_EQ(::GetWindowLongPtrW(hWnd, GWLP_USERDATA), 0) << "the system class owns that slot";

    // Unhandled messages reach the edit control's own procedure.
    ::SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"hello"));
    wchar_t text[16] = {};
    ::SendMessageW(hWnd, WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"hello");
    ::SendMessageW(hWnd, EM_SETLIMITTEXT, 7, 0);
    EXPECT_EQ(::SendMessageW(hWnd, EM_GETLIMITTEXT, 0, 0), 7);

    // A second object of the same class learns the system procedure too.
    EditWnd other;
    HWND second = other.Create(nullptr, L"x", WS_POPUP, 0, 0, 0, 100, 20, nullptr);
    ASSERT_NE(second, nullptr);
    ::SendMessageW(second, WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"x");

    ::DestroyWindow(hWnd);
    EXPECT_EQ(edit.GetWindowHandle(), nullptr);
    EXPECT_EQ(edit.finalHandle, hWnd);
    ::DestroyWindow(second);
}

TEST_F(WindowWndTest, UnknownSuperclassFailsCreation)
{
    class Orphan : public TestWnd
    {
        LPCWSTR GetWindowClassName() const override { return L"CalverinOrphanWnd"; }
        LPCWSTR GetSuperClassName() const override { return L"NoSuchSystemClass"; }
    } orphan;
    EXPECT_EQ(orphan.CreatePopup(nullptr), nullptr);
    EXPECT_EQ(orphan.GetWindowHandle(), nullptr);
}

TEST_F(WindowWndTest, DestroyingTheObjectFirstDestroysTheWindowWithoutCallingTheObject)
{
    for (bool superclass : {false, true}) {
        SCOPED_TRACE(superclass ? "superclass" : "own class");
        std::vector<UINT> log;
        bool finalMessage = false;
        TestWnd* window = superclass ? new EditWnd : new TestWnd;
        HWND hWnd = window->CreatePopup(nullptr);
        ASSERT_NE(hWnd, nullptr);
        window->onMessage = [&log](UINT message, WPARAM, LPARAM) { log.push_back(message); };
        window->finalFlag = &finalMessage;
        window->messages.clear();

        delete window;

        EXPECT_FALSE(::IsWindow(hWnd));
        EXPECT_TRUE(log.empty()) << "first late message: " << (log.empty() ? 0 : log.front());
        EXPECT_FALSE(finalMessage);
    }
}

TEST_F(WindowWndTest, CloseEndsTheModalLoopWithItsResultAndFreesTheOwnerFirst)
{
    TestWnd owner;
    ASSERT_NE(owner.CreatePopup(nullptr), nullptr);
    owner.ShowWindow(true, true);
    TestWnd dialog;
    ASSERT_NE(dialog.CreatePopup(owner.GetWindowHandle()), nullptr);

    bool ownerEnabledWhileDestroyed = false;
    bool ownerDisabledWhileModal = false;
    HWND focusWhileDestroyed = nullptr;
    dialog.onMessage = [&](UINT message, WPARAM, LPARAM) {
        if (message == WM_APP) {
            ownerDisabledWhileModal = !::IsWindowEnabled(owner.GetWindowHandle());
            dialog.Close(1);
        } else if (message == WM_DESTROY) {
            ownerEnabledWhileDestroyed = ::IsWindowEnabled(owner.GetWindowHandle()) != FALSE;
            focusWhileDestroyed = ::GetFocus();
        }
    };
    dialog.PostMessage(WM_APP);

    EXPECT_EQ(dialog.ShowModal(), 1);
    EXPECT_TRUE(ownerDisabledWhileModal);
    EXPECT_TRUE(ownerEnabledWhileDestroyed);
    EXPECT_EQ(focusWhileDestroyed, owner.GetWindowHandle());
    EXPECT_FALSE(::IsWindow(dialog.GetWindowHandle()));
    EXPECT_EQ(TakeQuitMessage(), -1);
    ::DestroyWindow(owner.GetWindowHandle());
}

TEST_F(WindowWndTest, SentCloseBypassesTheLoopAndKeepsTheResult)
{
    for (int earlier : {0, 4}) {
        SCOPED_TRACE(earlier);
        TestWnd dialog;
        ASSERT_NE(dialog.CreatePopup(nullptr), nullptr);
        dialog.onMessage = [&dialog, earlier](UINT message, WPARAM, LPARAM) {
            if (message != WM_APP)
                return;
            if (earlier != 0)
                dialog.Close(earlier);
            dialog.SendMessage(WM_CLOSE, 9, 0);  // as the system menu would
        };
        dialog.PostMessage(WM_APP);
        EXPECT_EQ(dialog.ShowModal(), earlier);
    }
    EXPECT_EQ(TakeQuitMessage(), -1);
}

TEST_F(WindowWndTest, QuitInANestedLoopEndsEveryLoopAndReenablesTheOwner)
{
    TestWnd mainWnd;
    ASSERT_NE(mainWnd.CreatePopup(nullptr), nullptr);
    TestWnd dialog;
    int dialogResult = -1;
    bool mainEnabledAfterDialog = false;
    mainWnd.onMessage = [&](UINT message, WPARAM, LPARAM) {
        if (message != WM_APP)
            return;
        ASSERT_NE(dialog.CreatePopup(mainWnd.GetWindowHandle()), nullptr);
        dialog.onMessage = [](UINT m, WPARAM, LPARAM) {
            if (m == WM_APP + 1)
                ::PostQuitMessage(7);
        };
        dialog.PostMessage(WM_APP + 1);
        dialogResult = dialog.ShowModal(true, false);
        mainEnabledAfterDialog = ::IsWindowEnabled(mainWnd.GetWindowHandle()) != FALSE;
    };
    mainWnd.PostMessage(WM_APP);

    EXPECT_EQ(mainWnd.ShowModal(), 0);
    EXPECT_EQ(dialogResult, 0);
    EXPECT_TRUE(mainEnabledAfterDialog);
    EXPECT_TRUE(::IsWindow(dialog.GetWindowHandle())) << "a quit does not destroy the dialog";
    EXPECT_EQ(TakeQuitMessage(), 7) << "the outermost loop passes WM_QUIT on as well";
    ::DestroyWindow(dialog.GetWindowHandle());
    ::DestroyWindow(mainWnd.GetWindowHandle());
}

// A box over a dialog: whichever window owns the box, closing it must leave
// the main window disabled until the dialog under it closes too.
TEST_F(WindowWndTest, NestedModalLoopsLeaveTheMainWindowDisabledUntilTheLastCloses)
{
    for (bool boxOwnedByDialog : {false, true}) {
        SCOPED_TRACE(boxOwnedByDialog ? "box owned by the dialog" : "box owned by the main window");
        TestWnd mainWnd;
        ASSERT_NE(mainWnd.CreatePopup(nullptr), nullptr);
        mainWnd.ShowWindow(true, true);
        TestWnd dialog;
        ASSERT_NE(dialog.CreatePopup(mainWnd.GetWindowHandle()), nullptr);
        TestWnd box;
        bool mainEnabledAfterBox = true;
        bool dialogEnabledAfterBox = false;
        std::vector<HWND> loopsInTheBox, expectedLoops;
        dialog.onMessage = [&](UINT message, WPARAM, LPARAM) {
            if (message != WM_APP)
                return;
            HWND boxOwner = boxOwnedByDialog ? dialog.GetWindowHandle() : mainWnd.GetWindowHandle();
            ASSERT_NE(box.CreatePopup(boxOwner), nullptr);
            box.onMessage = [&](UINT m, WPARAM, LPARAM) {
                if (m != WM_APP)
                    return;
                loopsInTheBox = CWindowWnd::GetModalWindows();
                expectedLoops = {dialog.GetWindowHandle(), box.GetWindowHandle()};
                box.Close(2);
            };
            box.PostMessage(WM_APP);
            EXPECT_EQ(box.ShowModal(), 2);
            mainEnabledAfterBox = ::IsWindowEnabled(mainWnd.GetWindowHandle()) != FALSE;
            dialogEnabledAfterBox = ::IsWindowEnabled(dialog.GetWindowHandle()) != FALSE;
            dialog.Close(1);
        };
        dialog.PostMessage(WM_APP);

        EXPECT_EQ(dialog.ShowModal(), 1);
        EXPECT_EQ(loopsInTheBox, expectedLoops) << "outermost first";
        EXPECT_TRUE(CWindowWnd::GetModalWindows().empty());
        EXPECT_FALSE(mainEnabledAfterBox);
        EXPECT_TRUE(dialogEnabledAfterBox);
        EXPECT_TRUE(::IsWindowEnabled(mainWnd.GetWindowHandle()));
        ::DestroyWindow(mainWnd.GetWindowHandle());
    }
    EXPECT_EQ(TakeQuitMessage(), -1);
}

TEST_F(WindowWndTest, ShowModalOnADestroyedWindowReturnsAtOnce)
{
    TestWnd dialog;
    HWND hWnd = dialog.CreatePopup(nullptr);
    dialog.Close(3);
    ::DestroyWindow(hWnd);
    EXPECT_EQ(dialog.ShowModal(), 3);
    dialog.Close(5);  // no window: ignored
    EXPECT_EQ(dialog.ShowModal(), 3);
    EXPECT_EQ(TakeQuitMessage(), -1);
}

RECT WorkAreaOf(HWND hWnd)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

TEST_F(WindowWndTest, CenterWindowOverTheOwnerOrTheWorkAreaAndStaysInside)
{
    TestWnd probe;
    ASSERT_NE(probe.CreatePopup(nullptr), nullptr);
    const RECT work = WorkAreaOf(probe.GetWindowHandle());
    ::DestroyWindow(probe.GetWindowHandle());

    struct Case
    {
        const char* name;
        bool hasOwner;
        RECT owner;
        bool minimised;
        POINT expected;  // top-left of a 200 x 150 window
    };
    const int midX = (work.left + work.right) / 2 - 100;
    const int midY = (work.top + work.bottom) / 2 - 75;
    const Case cases[] = {
        {"no owner", false, {}, false, {midX, midY}},
        {"over the owner", true, {300, 200, 700, 600}, false, {400, 325}},
        {"odd owner size", true, {300, 200, 701, 601}, false, {400, 325}},
        {"minimised owner", true, {300, 200, 700, 600}, true, {midX, midY}},
        {"owner at the left edge", true, {work.left - 300, 200, work.left + 100, 600}, false, {work.left, 325}},
        {"owner at the bottom right",
         true,
         {work.right - 100, work.bottom - 50, work.right + 300, work.bottom + 250},
         false,
         {work.right - 200, work.bottom - 150}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestWnd owner;
        HWND ownerHandle = nullptr;
        if (c.hasOwner) {
            ownerHandle = owner.CreatePopup(nullptr, c.owner);
            ASSERT_NE(ownerHandle, nullptr);
            if (c.minimised)
                ::ShowWindow(ownerHandle, SW_MINIMIZE);
        }
        TestWnd window;
        ASSERT_NE(window.CreatePopup(ownerHandle, {5, 5, 205, 155}), nullptr);
        window.CenterWindow();
        RECT rc;
        ::GetWindowRect(window.GetWindowHandle(), &rc);
        EXPECT_EQ(rc.left, c.expected.x);
        EXPECT_EQ(rc.top, c.expected.y);
        EXPECT_EQ(rc.right - rc.left, 200);
        ::DestroyWindow(window.GetWindowHandle());
        if (ownerHandle != nullptr)
            ::DestroyWindow(ownerHandle);
    }
}

class FlaggedControl : public CControlUI
{
public:
    explicit FlaggedControl(UIControlFlag flags) : m_flags(flags) {}
    UIControlFlag GetControlFlags() const override { return m_flags; }

private:
    UIControlFlag m_flags;
};

TEST_F(WindowWndTest, CaptionControlsAreFlaglessUpToTheRoot)
{
    TestWnd window;
    FlaggedControl root(UIControlFlag::None);
    FlaggedControl listElement(UIControlFlag::ListElement);
    FlaggedControl plain(UIControlFlag::None);
    FlaggedControl tabStop(UIControlFlag::TabStop);
    FlaggedControl insideList(UIControlFlag::None);
    plain.SetManager(nullptr, &root, false);
    tabStop.SetManager(nullptr, &root, false);
    listElement.SetManager(nullptr, &root, false);
    insideList.SetManager(nullptr, &listElement, false);

    EXPECT_FALSE(window.IsCaptionControl(nullptr));
    EXPECT_TRUE(window.IsCaptionControl(&root));
    EXPECT_TRUE(window.IsCaptionControl(&plain));
    EXPECT_FALSE(window.IsCaptionControl(&tabStop));
    EXPECT_FALSE(window.IsCaptionControl(&insideList));
}

}  // namespace
