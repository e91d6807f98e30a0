// The animated buttons in a real layered window, driven by posted mouse and
// key messages with the real cursor where they point. Every case runs for
// both kinds, GIF and APNG.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ClickableTestWindow.h"
#include "GifBuilder.h"
#include "PngBuilder.h"
#include "ScratchFolder.h"
#include "controls/AnimatedButtonUI.h"
#include "core/ContainerUI.h"
#include "builder/ControlFactory.h"

using namespace CalUI;

namespace {

constexpr DWORD kRed = 0xFF0000;
constexpr DWORD kBlue = 0x0000FF;
constexpr POINT kParking = {390, 290};  // over the container only
constexpr POINT kScreenPlace = {620, 520};

// Two 40 x 20 frames, each half transparent so that the background colour
// shows through the right half.
std::string HalfGif()
{
    std::vector<uint8_t> left(40 * 20, 3);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x)
            left[y * 40 + x] = 0;
    }
    std::vector<uint8_t> other = left;
    for (uint8_t& index : other)
        index = index == 0 ? 1 : 3;
    return GifBuilder(40, 20, {kRed, kBlue, 0, 0x123456}).Frame(left, 10, 3).Frame(other, 10, 3).Bytes();
}

std::string HalfApng()
{
    std::vector<uint32_t> first(40 * 20, 0);
    std::vector<uint32_t> second(40 * 20, 0);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            first[y * 40 + x] = kRed << 8 | 0xFF;
            second[y * 40 + x] = kBlue << 8 | 0xFF;
        }
    }
    PngBuilder png;
    png.Header(40, 20)
        .AnimationControl(2, 0)
        .FrameControl(0, 40, 20, 0, 0, 1, 10)
        .ImageData(RgbaScanlines(40, 20, first.data()))
        .FrameControl(1, 40, 20, 0, 0, 1, 10)
        .FrameData(2, RgbaScanlines(40, 20, second.data()))
        .End();
    return png.Bytes();
}

std::wstring Buttons(LPCWSTR element, int top, const std::wstring& image)
{
    const std::wstring e(element);
    auto at = [&](int left) {
        return L"pos=\"" + std::to_wstring(left) + L"," + std::to_wstring(top) + L"," + std::to_wstring(left + 40) +
               L"," + std::to_wstring(top + 20) + L"\"";
    };
    const std::wstring common =
        L" float=\"true\" bkcolor=\"#FF101010\" hotbkcolor=\"#FF00FF00\" bkimage=\"" + image + L"\" ";
    return L"<" + e + L" name=\"" + e + L"\"" + common + at(10) + L" menu=\"true\"/>" + L"<" + e + L" name=\"" + e +
           L"off\"" + common + at(60) + L" enabled=\"false\"/>" + L"<" + e + L" name=\"" + e + L"pointer\"" + common +
           at(110) + L" cursor=\"pointer\"/>" + L"<" + e + L" name=\"" + e + L"arrow\"" + common + at(160) +
           L" cursor=\"arrow\"/>";
}

class AnimatedButton : public testing::TestWithParam<LPCWSTR>
{
protected:
    static void SetUpTestSuite()
    {
        scratch = new ScratchFolder;
        const std::wstring gif = scratch->WriteFile(L"half.gif", HalfGif());
        const std::wstring apng = scratch->WriteFile(L"half.png", HalfApng());
        ui = new ClickableTestWindow(kScreenPlace, Buttons(L"GifButton", 10, gif) + Buttons(L"ApngButton", 40, apng));
    }
    static void TearDownTestSuite()
    {
        delete ui;
        delete scratch;
    }

    void SetUp() override
    {
        ui->MoveTo(kParking.x, kParking.y);
        ui->TakeNotifications();
    }

    static CGifAnimUI* Button(const std::wstring& suffix = L"")
    {
        return ui->Find<CGifAnimUI>((std::wstring(GetParam()) + suffix).c_str(), L"GifAnim");
    }
    static POINT Middle(CControlUI* control)
    {
        const RECT& rc = control->GetPos();
        return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
    static std::vector<std::wstring> Expect(std::initializer_list<LPCWSTR> types, const std::wstring& suffix = L"")
    {
        std::vector<std::wstring> out;
        for (LPCWSTR type : types)
            out.push_back(std::wstring(type) + L" " + GetParam() + suffix);
        return out;
    }
    // Notifications without the hover's enter and leave.
    static std::vector<std::wstring> Clicks()
    {
        std::vector<std::wstring> clicks;
        for (const std::wstring& n : ui->TakeNotifications()) {
            if (n.rfind(L"mouse", 0) != 0)
                clicks.push_back(n);
        }
        return clicks;
    }

    static inline ScratchFolder* scratch = nullptr;
    static inline ClickableTestWindow* ui = nullptr;
};

TEST_P(AnimatedButton, AClickNeedsTheReleaseOverTheButton)
{
    CGifAnimUI* button = Button();
    const POINT in = Middle(button);
    ui->Press(in.x, in.y);
    ui->MoveTo(in.x + 100, in.y + 100, MK_LBUTTON);
    ui->Release(in.x + 100, in.y + 100);
    EXPECT_TRUE(Clicks().empty()) << "released outside";

    ui->Press(in.x, in.y);
    ui->MoveTo(in.x + 100, in.y + 100, MK_LBUTTON);
    ui->MoveTo(in.x, in.y, MK_LBUTTON);
    ui->Release(in.x, in.y);
    EXPECT_EQ(Clicks(), Expect({L"click"})) << "moved back before the release";
}

TEST_P(AnimatedButton, SpaceAndReturnClickOnlyWhenEnabled)
{
    CGifAnimUI* button = Button();
    for (WPARAM key : {VK_SPACE, VK_RETURN}) {
        SCOPED_TRACE(key);
        button->SetFocus();
        ui->Key(key);
        EXPECT_EQ(Clicks(), Expect({L"click"}));
        button->SetEnabled(false);
        ui->Key(key);
        EXPECT_TRUE(Clicks().empty());
        button->SetEnabled(true);
    }
}

TEST_P(AnimatedButton, EnterAndLeaveReachTheWindowAlsoWhenDisabled)
{
    CGifAnimUI* off = Button(L"off");
    const POINT in = Middle(off);
    ui->MoveTo(in.x, in.y);
    ui->Repaint();
    EXPECT_EQ(ui->Rgb(off->GetPos().right - 5, in.y), 0x101010u) << "a disabled button does not turn hot";
    ui->MoveTo(kParking.x, kParking.y);
    EXPECT_EQ(ui->TakeNotifications(), Expect({L"mouseenter", L"mouseleave"}, L"off"));
}

TEST_P(AnimatedButton, HotAndPushedShowAndFramesRunWhileHot)
{
    CGifAnimUI* button = Button();
    const POINT in = Middle(button);
    const RECT& rc = button->GetPos();
    ui->Repaint();
    EXPECT_EQ(ui->Rgb(rc.right - 5, in.y), 0x101010u) << "normal background through the transparent half";
    ui->MoveTo(in.x, in.y);
    ui->Repaint();
    EXPECT_EQ(ui->Rgb(rc.right - 5, in.y), 0x00FF00u) << "hot background";
    // The left half keeps switching between the two frames while hot.
    bool sawRed = false;
    bool sawBlue = false;
    EXPECT_TRUE(ui->window.PumpUntil([&] {
        ui->Repaint();
        const DWORD left = ui->Rgb(rc.left + 5, in.y);
        sawRed |= left == kRed;
        sawBlue |= left == kBlue;
        return sawRed && sawBlue;
    }));
    ui->Press(in.x, in.y);
    ui->Repaint();
    EXPECT_EQ(ui->Rgb(rc.right - 5, in.y), 0x00FF00u) << "hot while pushed";
    ui->Release(in.x, in.y);
    ui->TakeNotifications();
}

// Cursor names, "menu" and the interfaces each kind answers.
TEST_P(AnimatedButton, CursorMenuAndInterfacesAsOneTable)
{
    struct CursorCase
    {
        LPCWSTR suffix;
        LPCWSTR cursor;
    };
    for (const CursorCase& c : {CursorCase{L"", IDC_HAND}, {L"pointer", IDC_HAND}, {L"arrow", IDC_ARROW}}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.suffix)));
        const POINT in = Middle(Button(c.suffix));
        ui->MoveTo(in.x, in.y);
        ::SetCursor(nullptr);
        ui->Post(WM_SETCURSOR, reinterpret_cast<WPARAM>(ui->window.GetWindowHandle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, c.cursor));
    }

    const POINT in = Middle(Button());
    const POINT screen = ui->ToScreen(in.x, in.y);
    ui->MoveTo(in.x, in.y);
    ui->TakeNotifications();
    // The manager hands the menu to the control the right button went down on.
    ui->Post(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(in.x, in.y));
    ui->Post(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(ui->window.GetWindowHandle()), MAKELPARAM(screen.x, screen.y));
    ui->Post(WM_RBUTTONUP, 0, MAKELPARAM(in.x, in.y));
    EXPECT_EQ(Clicks(), Expect({L"menu"}));

    const bool apng = std::wstring(GetParam()) == L"ApngButton";
    CControlUI* button = Button();
    struct Answer
    {
        LPCWSTR name;
        bool answered;
    };
    for (const Answer& a : {Answer{L"GifButton", !apng},
                            {L"ApngButton", apng},
                            {L"ApngAnim", apng},
                            {L"GifAnim", true},
                            {L"Label", true},
                            {L"Button", false}}) {
        EXPECT_EQ(button->GetInterface(a.name) == button, a.answered) << testing::PrintToString(std::wstring(a.name));
    }
    EXPECT_EQ(button->GetControlFlags(), UIControlFlag::TabStop | UIControlFlag::SetCursor);
    EXPECT_EQ(Button(L"off")->GetControlFlags(), UIControlFlag::None);
}

// The window removes the button while it handles the click: the button,
// which still clears its state after the notification, is destroyed only
// once its event is over.
TEST_P(AnimatedButton, AButtonRemovedDuringItsClickIsDestroyedAfterIt)
{
    struct Remover
    {
        bool OnNotify(void* param)
        {
            auto* msg = static_cast<NotifyMsg*>(param);
            if (msg->type == L"click") {
                container->Remove(msg->sender);
                destroyedDuringClick = destroyed;
            }
            return true;
        }
        bool OnDestroy(void*)
        {
            destroyed = true;
            return true;
        }
        CContainerUI* container = nullptr;
        bool destroyed = false;
        bool destroyedDuringClick = true;
    } remover;
    auto* root = static_cast<CContainerUI*>(ui->window.manager.GetRoot()->GetInterface(L"Container"));
    remover.container = root;
    CControlUI* button = CreateControlByElementName(GetParam());
    ASSERT_NE(button, nullptr);
    button->SetAttribute(L"float", L"true");
    button->SetAttribute(L"pos", L"300,200,340,220");
    button->notifyDelegates.Add(CDelegate<Remover, Remover>(&remover, &Remover::OnNotify));
    button->destroyDelegates.Add(CDelegate<Remover, Remover>(&remover, &Remover::OnDestroy));
    ASSERT_TRUE(root->Add(button));
    ASSERT_TRUE(ui->window.PumpUntil([&] {
        ui->Repaint();
        return button->GetPos().left == 300;
    }));
    ui->Click(320, 210);
    EXPECT_FALSE(remover.destroyedDuringClick);
    EXPECT_TRUE(ui->window.PumpUntil([&] { return remover.destroyed; }));
    ui->TakeNotifications();
}

INSTANTIATE_TEST_SUITE_P(BothKinds, AnimatedButton, testing::Values(L"GifButton", L"ApngButton"));

}  // namespace
