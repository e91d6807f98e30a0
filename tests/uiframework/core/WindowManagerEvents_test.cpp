// Real messages sent to a real window reach the right controls as events.

#include <gtest/gtest.h>

#include <algorithm>

#include "core/ControlInterfaces.h"
#include "ManagedWindow.h"

using namespace CalUI;

namespace {

constexpr UIControlFlag kTabStop = UIControlFlag::TabStop;

// A control that keeps the Tab key, the way the rich edit does.
class TabKeeper : public RecordingControl, public IWantTabUI
{
public:
    TabKeeper(EventLog* log, LPCWSTR name, RECT pos, bool wantTab)
        : RecordingControl(log, name, pos, kTabStop, L"RichEditProbe"), m_wantTab(wantTab)
    {}
    void* GetInterface(LPCWSTR name) override
    {
        if (std::wcscmp(name, kWantTabInterface) == 0)
            return static_cast<IWantTabUI*>(this);
        return RecordingControl::GetInterface(name);
    }
    bool IsWantTab() const override { return m_wantTab; }

private:
    bool m_wantTab;
};

class WindowManagerEvents : public testing::Test
{
protected:
    void SetUp() override
    {
        // The real cursor may rest where an earlier program left it, over this
        // window; the moves it makes would hover a control before the test's.
        SetCursorPos(1590, 990);
        window.Pump();
        root = new TestBox;
        root->SetName(L"root");
        a = Add(L"a", {10, 10, 110, 60}, kTabStop);
        b = Add(L"b", {150, 10, 250, 60}, kTabStop);
        c = Add(L"c", {10, 100, 110, 150}, kTabStop);
        label = Add(L"label", {150, 100, 250, 150}, UIControlFlag::None, L"Label");
        label->SetShortcut(L'n');
        d = Add(L"d", {260, 100, 390, 150}, kTabStop);
        window.Attach(root);
        ASSERT_TRUE(window.PumpUntil([&] { return window.manager.GetFocus() != nullptr; }));
        log.clear();
        window.notifications.clear();
    }

    RecordingControl* Add(LPCWSTR name, RECT pos, UIControlFlag flags, LPCWSTR className = L"Recording")
    {
        auto* control = new RecordingControl(&log, name, pos, flags, className);
        root->Add(control);
        return control;
    }

    std::vector<std::pair<std::wstring, UIEventType>> Sequence() const
    {
        std::vector<std::pair<std::wstring, UIEventType>> seq;
        for (const ReceivedEvent& e : log)
            seq.emplace_back(e.receiver, e.type);
        return seq;
    }

    const ReceivedEvent* Last(UIEventType type) const
    {
        for (auto it = log.rbegin(); it != log.rend(); ++it)
            if (it->type == type)
                return &*it;
        return nullptr;
    }

    LPARAM ScreenPoint(int x, int y)
    {
        POINT pt = {x, y};
        ClientToScreen(window.GetWindowHandle(), &pt);
        return MAKELPARAM(pt.x, pt.y);
    }

    std::vector<std::wstring> NotifyTypes() const
    {
        std::vector<std::wstring> types;
        for (const ReceivedNotify& n : window.notifications)
            types.push_back(n.type + L":" + n.sender);
        return types;
    }

    EventLog log;
    ManagedWindow window;
    TestBox* root = nullptr;
    RecordingControl *a = nullptr, *b = nullptr, *c = nullptr, *label = nullptr, *d = nullptr;
};

using Seq = std::vector<std::pair<std::wstring, UIEventType>>;

TEST_F(WindowManagerEvents, FirstPaintsSendWindowInitOnceAndFocusTheFirstTabStop)
{
    ManagedWindow fresh;
    EventLog events;
    auto* box = new TestBox;
    box->Add(new RecordingControl(&events, L"first", {10, 10, 50, 50}, kTabStop));
    fresh.Attach(box);
    ASSERT_TRUE(fresh.PumpUntil([&] { return fresh.manager.GetFocus() != nullptr; }));
    fresh.Pump();
    auto count = [&](LPCWSTR type) {
        return std::count_if(fresh.notifications.begin(), fresh.notifications.end(),
                             [&](const ReceivedNotify& n) { return n.type == type; });
    };
    EXPECT_EQ(count(L"windowinit"), 1);
    EXPECT_EQ(fresh.manager.GetFocus()->GetName(), L"first");
    EXPECT_EQ(box->GetPos().right, 400);  // laid out over the client area

    // A second tree: "windowinit" again, and the old root goes on 0x8001.
    bool oldRootDeleted = false;
    struct Watch : CControlUI
    {
        bool* flag;
        explicit Watch(bool* f) : flag(f) {}
        ~Watch() override { *flag = true; }
    };
    fresh.manager.AttachRoot(new Watch(&oldRootDeleted));
    EXPECT_FALSE(oldRootDeleted);
    fresh.manager.AttachRoot(new TestBox);  // the watched root is replaced in turn
    InvalidateRect(fresh.GetWindowHandle(), nullptr, FALSE);
    ASSERT_TRUE(fresh.PumpUntil([&] { return count(L"windowinit") == 2 && oldRootDeleted; }));
}

TEST_F(WindowManagerEvents, NameIndexFollowsRenames)
{
    EXPECT_EQ(window.manager.FindControl(L"b"), b);
    b->SetName(L"renamed");
    EXPECT_EQ(window.manager.FindControl(L"renamed"), b);
    EXPECT_EQ(window.manager.FindControl(L"b"), nullptr);
    EXPECT_FALSE(window.manager.RenameControl(c, L"renamed")) << "the name is taken";
    EXPECT_FALSE(window.manager.RenameControl(c, L""));
    EXPECT_TRUE(window.manager.RenameControl(c, L"c2"));
    EXPECT_EQ(c->GetName(), L"c2");
    EXPECT_EQ(window.manager.FindControl(L"c2"), c);
}

// A name the index refuses is still the control's own: the old name must not
// keep finding it, or it would find freed memory once the control is gone.
TEST_F(WindowManagerEvents, NameIndexHoldsOnlyLiveControlsUnderTheirNames)
{
    auto join = [&](LPCWSTR name) {
        auto* control = new RecordingControl(&log, name, {0, 0, 0, 0}, UIControlFlag::None);
        window.manager.InitControls(control, root);
        return control;
    };
    RecordingControl* emptied = join(L"emptied");
    RecordingControl* refused = join(L"refused");
    RecordingControl* renamed = join(L"renamed");
    ASSERT_EQ(window.manager.FindControl(L"refused"), refused);

    emptied->SetName(L"");
    EXPECT_EQ(window.manager.FindControl(L"emptied"), nullptr) << "renamed to empty";
    refused->SetName(L"a");
    EXPECT_EQ(refused->GetName(), L"a");
    EXPECT_EQ(window.manager.FindControl(L"refused"), nullptr) << "a refused rename drops the old name";
    EXPECT_EQ(window.manager.FindControl(L"a"), a) << "the name's holder keeps it";
    renamed->SetName(L"renamed2");
    EXPECT_EQ(window.manager.FindControl(L"renamed2"), renamed);

    for (CControlUI* gone : {emptied, refused, renamed})
        gone->Delete();
    for (LPCWSTR name : {L"emptied", L"refused", L"renamed", L"renamed2", L""})
        EXPECT_EQ(window.manager.FindControl(name), nullptr) << "name \"" << name << "\"";
    EXPECT_EQ(window.manager.FindControl(L"a"), a);
}

TEST_F(WindowManagerEvents, MovingBetweenControlsLeavesEntersAndMoves)
{
    window.manager.AddMouseLeaveNeeded(c);
    window.Send(WM_MOUSEMOVE, 0, PointParam(20, 20));
    window.Send(WM_MOUSEMOVE, 0, PointParam(160, 20));
    EXPECT_EQ(Sequence(), (Seq{{L"a", UIEventType::MouseEnter},
                               {L"a", UIEventType::MouseMove},
                               {L"c", UIEventType::MouseLeave},
                               {L"a", UIEventType::MouseLeave},
                               {L"b", UIEventType::MouseEnter},
                               {L"b", UIEventType::MouseMove}}));
    EXPECT_EQ(log[2].sender, L"a");  // the listener hears whom the mouse left
    EXPECT_EQ(log[3].sender, L"a");
    POINT expected = {160, 20};
    EXPECT_EQ(log.back().event.mousePoint.x, expected.x);
    EXPECT_EQ(window.manager.GetMousePos().y, expected.y);
}

TEST_F(WindowManagerEvents, PressedButtonKeepsTheMouseUntilReleased)
{
    window.Send(WM_MOUSEMOVE, 0, PointParam(20, 20));
    log.clear();
    window.Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(20, 20));
    EXPECT_TRUE(window.manager.IsCaptured());
    EXPECT_EQ(GetCapture(), window.GetWindowHandle());
    window.Send(WM_MOUSEMOVE, MK_LBUTTON, PointParam(160, 20));
    window.Send(WM_LBUTTONUP, 0, PointParam(160, 20));
    EXPECT_FALSE(window.manager.IsCaptured());
    EXPECT_EQ(Sequence(),
              (Seq{{L"a", UIEventType::ButtonDown}, {L"a", UIEventType::MouseMove}, {L"a", UIEventType::ButtonUp}}));
    EXPECT_EQ(Last(UIEventType::ButtonDown)->event.keyState, MK_LBUTTON);
    EXPECT_EQ(Last(UIEventType::ButtonUp)->event.mousePoint.x, 160);

    // Once released, the move that follows brings the hover up to date.
    window.Send(WM_MOUSEMOVE, 0, PointParam(161, 20));
    EXPECT_EQ(Sequence().back(), (std::pair<std::wstring, UIEventType>{L"b", UIEventType::MouseMove}));
}

// A click that waited in the queue while the thread was busy finds a control
// shown meanwhile, though no paint has laid it out yet.
TEST_F(WindowManagerEvents, AClickFindsAControlShownSinceTheLastPaint)
{
    auto* menu = new RecordingControl(&log, L"menu", {300, 10, 390, 60}, kTabStop);
    menu->SetVisible(false);
    root->Add(menu);
    window.Pump();
    menu->SetVisible(true);
    window.Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(320, 20));
    window.Send(WM_LBUTTONUP, 0, PointParam(320, 20));
    ASSERT_NE(Last(UIEventType::ButtonDown), nullptr);
    EXPECT_EQ(Last(UIEventType::ButtonDown)->receiver, L"menu");
    ASSERT_NE(Last(UIEventType::ButtonUp), nullptr);
    EXPECT_EQ(Last(UIEventType::ButtonUp)->receiver, L"menu");
}

TEST_F(WindowManagerEvents, ButtonMessagesTable)
{
    struct Case
    {
        const char* what;
        UINT down, up;
        UIEventType downEvent, upEvent;
        bool captures;
    };
    const Case cases[] = {
        {"double click", WM_LBUTTONDBLCLK, WM_LBUTTONUP, UIEventType::DoubleClick, UIEventType::ButtonUp, true},
        {"right button", WM_RBUTTONDOWN, WM_RBUTTONUP, UIEventType::RightButtonDown, UIEventType::RightButtonUp, false},
    };
    window.manager.SetFocus(b);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        log.clear();
        window.Send(k.down, 0, PointParam(170, 20));
        EXPECT_EQ(window.manager.IsCaptured(), k.captures);
        window.Send(k.up, 0, PointParam(300, 250));
        EXPECT_EQ(Sequence(), (Seq{{L"b", k.downEvent}, {L"b", k.upEvent}}));
        EXPECT_FALSE(window.manager.IsCaptured());
    }
}

TEST_F(WindowManagerEvents, ContextMenuGoesToThePressedControl)
{
    window.Send(WM_RBUTTONDOWN, MK_RBUTTON, PointParam(20, 20));
    log.clear();
    window.Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window.GetWindowHandle()), ScreenPoint(30, 40));
    ASSERT_EQ(Sequence(), (Seq{{L"a", UIEventType::ContextMenu}}));
    EXPECT_EQ(log[0].event.lParam, reinterpret_cast<LPARAM>(a));
    EXPECT_EQ(window.manager.GetMousePos().x, 30);
    EXPECT_EQ(window.manager.GetMousePos().y, 40);

    // The press is used up: a second context menu reaches nobody.
    window.Send(WM_CONTEXTMENU, 0, ScreenPoint(30, 40));
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(WindowManagerEvents, WheelTellsTheDirectionAndHoverFollows)
{
    SetFocus(window.GetWindowHandle());
    window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), ScreenPoint(20, 20));
    window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), ScreenPoint(20, 20));
    EXPECT_EQ(Sequence(), (Seq{{L"a", UIEventType::ScrollWheel},
                               {L"a", UIEventType::MouseEnter},
                               {L"a", UIEventType::MouseMove},
                               {L"a", UIEventType::ScrollWheel},
                               {L"a", UIEventType::MouseMove}}));
    EXPECT_EQ(log[0].event.wParam, 1u);  // towards the user
    EXPECT_EQ(log[3].event.wParam, 0u);
}

TEST_F(WindowManagerEvents, KeysGoToTheFocusAndKeyUpToWhereTheKeyWentDown)
{
    window.manager.SetFocus(a);
    log.clear();
    window.Send(WM_KEYDOWN, 'X', 0);
    window.Send(WM_CHAR, 'x', 0);
    window.manager.SetFocus(b);
    window.Send(WM_KEYUP, 'X', 0);
    window.Send(WM_KEYUP, 'X', 0);  // no key control any more: nobody
    EXPECT_EQ(Sequence(), (Seq{{L"a", UIEventType::KeyDown},
                               {L"a", UIEventType::Char},
                               {L"a", UIEventType::KillFocus},
                               {L"b", UIEventType::SetFocus},
                               {L"a", UIEventType::KeyUp}}));
    EXPECT_EQ(log[0].event.keyChar, L'X');
    EXPECT_EQ(log[1].event.keyChar, L'x');
    EXPECT_EQ(log[2].sender, L"b");  // kill focus names the control that gains it
    EXPECT_EQ(NotifyTypes(), (std::vector<std::wstring>{L"killfocus:a", L"setfocus:b"}));
}

TEST_F(WindowManagerEvents, FocusRefusesControlsThatCannotTakeIt)
{
    window.manager.SetFocus(a);
    c->SetEnabled(false);
    window.manager.SetFocus(c);
    EXPECT_EQ(window.manager.GetFocus(), nullptr);  // the old focus is gone all the same
    RecordingControl stranger(&log, L"stranger", {0, 0, 1, 1});
    window.manager.SetFocus(&stranger);
    EXPECT_EQ(window.manager.GetFocus(), nullptr);
}

TEST_F(WindowManagerEvents, FocusNeededLandsOnTheControlAtTheNextPaint)
{
    window.manager.SetFocus(a);
    log.clear();
    window.manager.SetFocusNeeded(c);
    EXPECT_EQ(window.manager.GetFocus(), b) << "quietly on the tab stop before it";
    EXPECT_EQ(Sequence(), (Seq{{L"a", UIEventType::KillFocus}}));
    EXPECT_EQ(log[0].sender, L"c");
    ASSERT_TRUE(window.PumpUntil([&] { return window.manager.GetFocus() == c; }));
}

TEST_F(WindowManagerEvents, KeyboardFocusInAHostedNativeWindowMovesTheControlFocus)
{
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 200, 100, 20, window.GetWindowHandle(),
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(window.manager.AddNativeWindow(c, edit));
    EXPECT_FALSE(window.manager.AddNativeWindow(c, edit));
    RECT rc = window.manager.GetNativeWindowRect(edit);
    EXPECT_EQ(rc.left, 10);
    EXPECT_EQ(rc.top, 200);
    window.manager.SetFocus(a);
    SetFocus(window.GetWindowHandle());
    SetFocus(edit);
    EXPECT_EQ(window.manager.GetFocus(), c);
    EXPECT_EQ(GetFocus(), edit) << "the keyboard focus stays in the native window";
    EXPECT_TRUE(window.manager.RemoveNativeWindow(edit));
    EXPECT_FALSE(window.manager.RemoveNativeWindow(edit));
    DestroyWindow(edit);
}

TEST_F(WindowManagerEvents, TabAndShiftTabWalkTheTabStopsAround)
{
    auto pressTab = [&](bool shift) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageW(window.GetWindowHandle(), WM_KEYDOWN, VK_TAB, 0);
        window.Pump();
        return window.manager.GetFocus() != nullptr ? std::wstring(window.manager.GetFocus()->GetName()) : L"";
    };
    window.manager.SetFocus(a);
    EXPECT_EQ(pressTab(false), L"b");
    EXPECT_EQ(pressTab(false), L"c");
    EXPECT_EQ(pressTab(false), L"d");  // the label is no tab stop
    EXPECT_EQ(pressTab(false), L"a");  // around from the last
    EXPECT_EQ(pressTab(true), L"d");   // and back from the first
    EXPECT_EQ(pressTab(true), L"c");
    pressTab(false);
    EXPECT_EQ(Last(UIEventType::KeyDown), nullptr) << "a Tab that moves the focus is no key for the control";
}

TEST_F(WindowManagerEvents, TabStaysWithARichEditThatWantsIt)
{
    for (bool wantTab : {true, false}) {
        SCOPED_TRACE(wantTab ? "wants Tab" : "does not want Tab");
        auto* editor = new TabKeeper(&log, wantTab ? L"keeper" : L"passer", {10, 200, 110, 250}, wantTab);
        root->Add(editor);
        window.manager.SetFocus(editor);
        log.clear();
        PostMessageW(window.GetWindowHandle(), WM_KEYDOWN, VK_TAB, 0);
        window.Pump();
        EXPECT_EQ(window.manager.GetFocus() == editor, wantTab);
        EXPECT_EQ(Last(UIEventType::KeyDown) != nullptr, wantTab);
        window.manager.SetFocus(nullptr);
    }
}

TEST_F(WindowManagerEvents, AltShortcutOfALabelActivatesTheControlAfterIt)
{
    // The search runs front to back (the last child first): after the label
    // comes c, while d, in front of the label, was passed before the label.
    window.unhandled.clear();
    PostMessageW(window.GetWindowHandle(), WM_SYSCHAR, 'n', 0);
    window.Pump();
    EXPECT_EQ(window.manager.GetFocus(), c);
    EXPECT_EQ(c->activations, 1);
    EXPECT_EQ(d->activations, 0);
    EXPECT_EQ(label->activations, 0);
    EXPECT_EQ(std::count(window.unhandled.begin(), window.unhandled.end(), WM_SYSCHAR), 0) << "consumed in the loop";

    // A letter nobody carries is left to the window.
    PostMessageW(window.GetWindowHandle(), WM_SYSCHAR, 'q', 0);
    window.Pump();
    EXPECT_EQ(std::count(window.unhandled.begin(), window.unhandled.end(), WM_SYSCHAR), 1);
}

TEST_F(WindowManagerEvents, SystemKeyGoesToTheFocusFromTheLoop)
{
    window.manager.SetFocus(b);
    log.clear();
    PostMessageW(window.GetWindowHandle(), WM_SYSKEYDOWN, VK_F10, 0);
    window.Pump();
    ASSERT_NE(Last(UIEventType::SysKey), nullptr);
    EXPECT_EQ(Last(UIEventType::SysKey)->receiver, L"b");
    EXPECT_EQ(Last(UIEventType::SysKey)->event.keyChar, VK_F10);
}

struct ConsumingFilter : IMessageFilterUI
{
    UINT consumes;
    explicit ConsumingFilter(UINT message) : consumes(message) {}
    LRESULT FilterMessage(UINT message, WPARAM, LPARAM, bool& handled) override
    {
        handled = message == consumes;
        return handled ? 77 : 0;
    }
};

struct Translator : ITranslateAccelerator
{
    int seen = 0;
    LRESULT TranslateAccelerator(MSG* msg) override
    {
        if (msg->message != WM_KEYDOWN)
            return S_FALSE;
        ++seen;
        return S_OK;
    }
};

TEST_F(WindowManagerEvents, MessageFiltersSeeMessagesFirst)
{
    ConsumingFilter filter(WM_LBUTTONDOWN);
    ASSERT_FALSE(window.manager.AddMessageFilter(nullptr));
    ASSERT_TRUE(window.manager.AddMessageFilter(&filter));
    EXPECT_EQ(window.Send(WM_LBUTTONDOWN, 0, PointParam(33, 44)), 77);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(window.manager.GetMousePos().x, 33);  // the point is still taken
    EXPECT_EQ(window.manager.GetMousePos().y, 44);

    ASSERT_TRUE(window.manager.RemoveMessageFilter(&filter));
    EXPECT_FALSE(window.manager.RemoveMessageFilter(&filter));
    window.Send(WM_LBUTTONDOWN, 0, PointParam(33, 44));
    window.Send(WM_LBUTTONUP, 0, PointParam(33, 44));
    EXPECT_NE(Last(UIEventType::ButtonDown), nullptr);
}

TEST_F(WindowManagerEvents, AcceleratorTranslatorsConsumeLoopMessages)
{
    Translator translator;
    EXPECT_FALSE(window.manager.AddAcceleratorTranslator(nullptr)) << "the loop would call through it";
    ASSERT_TRUE(window.manager.AddAcceleratorTranslator(&translator));
    window.manager.SetFocus(a);
    log.clear();
    PostMessageW(window.GetWindowHandle(), WM_KEYDOWN, 'K', 0);
    window.Pump();
    EXPECT_EQ(translator.seen, 1);
    EXPECT_EQ(Last(UIEventType::KeyDown), nullptr) << "a translated message is not dispatched";
    ASSERT_TRUE(window.manager.RemoveAcceleratorTranslator(&translator));
    PostMessageW(window.GetWindowHandle(), WM_KEYDOWN, 'K', 0);
    window.Pump();
    EXPECT_NE(Last(UIEventType::KeyDown), nullptr);
}

// A native child that answers reflected messages.
LRESULT CALLBACK ReflectTarget(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY + 0x2000 || message == WM_COMMAND + 0x2000 || message == WM_CTLCOLOREDIT + 0x2000)
        return 40 + (message - 0x2000 == WM_NOTIFY ? 2 : message - 0x2000 == WM_COMMAND ? 3 : 4);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(WindowManagerEvents, ChildMessagesAreReflectedToTheChild)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ReflectTarget;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CalverinReflectTarget";
    RegisterClassW(&wc);
    HWND child = CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD, 0, 0, 10, 10, window.GetWindowHandle(), nullptr,
                                 wc.hInstance, nullptr);
    ASSERT_NE(child, nullptr);
    NMHDR header = {child, 1, 0};
    EXPECT_EQ(window.Send(WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header)), 42);
    EXPECT_EQ(window.Send(WM_COMMAND, 1, reinterpret_cast<LPARAM>(child)), 43);
    EXPECT_EQ(window.Send(WM_CTLCOLOREDIT, 0, reinterpret_cast<LPARAM>(child)), 44);

    window.unhandled.clear();
    window.Send(WM_NOTIFY, 1, 0);
    window.Send(WM_COMMAND, 1, 0);
    EXPECT_EQ(window.unhandled, std::vector<UINT>{WM_COMMAND}) << "a notify without header is still handled";
    DestroyWindow(child);
}

TEST_F(WindowManagerEvents, WindowMessagesReachTheirControls)
{
    window.manager.SetFocus(c);
    window.Send(WM_MOUSEMOVE, 0, PointParam(20, 20));
    window.Send(WM_LBUTTONDOWN, 0, PointParam(20, 20));
    window.manager.SetFocus(c);
    log.clear();
    window.Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(400, 300));
    EXPECT_EQ(Sequence(), (Seq{{L"c", UIEventType::WindowSize}}));

    log.clear();
    a->SetToolTip(L"hello");
    EXPECT_EQ(window.Send(WM_MOUSEHOVER, 0, PointParam(20, 20)), 0);
    EXPECT_EQ(Sequence(), (Seq{{L"a", UIEventType::MouseHover}}));

    // Closing lets go of hover, press and focus.
    log.clear();
    window.Send(WM_CLOSE);
    EXPECT_EQ(Sequence(),
              (Seq{{L"a", UIEventType::MouseLeave}, {L"a", UIEventType::ButtonUp}, {L"c", UIEventType::KillFocus}}));
    EXPECT_EQ(window.manager.GetFocus(), nullptr);
}

TEST_F(WindowManagerEvents, CursorAndLeaveFollowTheRealPointer)
{
    auto* pointer = new RecordingControl(&log, L"pointer", {10, 200, 110, 250}, UIControlFlag::SetCursor);
    root->Add(pointer);
    root->SetPos(root->GetPos());
    POINT onPointer = {20, 210};
    ClientToScreen(window.GetWindowHandle(), &onPointer);
    SetCursorPos(onPointer.x, onPointer.y);
    log.clear();
    EXPECT_EQ(window.Send(WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
    EXPECT_EQ(Sequence(), (Seq{{L"pointer", UIEventType::SetCursor}}));
    window.unhandled.clear();
    window.Send(WM_SETCURSOR, 0, MAKELPARAM(HTCAPTION, WM_MOUSEMOVE));
    EXPECT_EQ(window.unhandled, std::vector<UINT>{WM_SETCURSOR});
    window.manager.SetCapture();
    log.clear();
    EXPECT_EQ(window.Send(WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
    EXPECT_TRUE(log.empty()) << "the cursor stays while the mouse is captured";
    window.manager.ReleaseCapture();

    // The pointer is really elsewhere: leaving the window leaves the hover control.
    SetCursorPos(5, 5);
    window.Send(WM_MOUSEMOVE, 0, PointParam(20, 20));
    log.clear();
    window.Send(WM_MOUSELEAVE);
    EXPECT_EQ(Sequence(), (Seq{{L"a", UIEventType::MouseLeave}}));
}

TEST_F(WindowManagerEvents, NoActivateWindowsAreNotActivatedByClicks)
{
    window.unhandled.clear();
    window.Send(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(window.GetWindowHandle()),
                MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(window.unhandled, std::vector<UINT>{WM_MOUSEACTIVATE});
    window.manager.SetWindowAttribute(L"noactivate", L"true");
    EXPECT_EQ(window.Send(WM_MOUSEACTIVATE, 0, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)), MA_NOACTIVATE);
    SetFocus(nullptr);
    window.Send(WM_LBUTTONDOWN, 0, PointParam(20, 20));
    EXPECT_NE(GetFocus(), window.GetWindowHandle());
    EXPECT_EQ(window.manager.GetFocus(), a);  // the control focus still moves
    window.Send(WM_LBUTTONUP, 0, PointParam(20, 20));
}

}  // namespace
