// The date field in a real layered window: clicks posted to the window,
// keys posted to the open picker, the picker read through its own messages
// and its looks from the window's off-screen picture.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ClickableTestWindow.h"
#include "FailingCreate.h"
#include "GeometryText.h"
#include "controls/DateTimeUI.h"
#include "core/ContainerUI.h"

using namespace CalUI;

namespace {

constexpr POINT kParking = {395, 295};
constexpr POINT kScreenPlace = {660, 440};
constexpr POINT kElsewhere = {390, 160};

const wchar_t kSkin[] =
    L"<DateTime name=\"date\" float=\"true\" pos=\"10,10,190,40\" bkcolor=\"#FF202020\" textcolor=\"#FFFFFFFF\"/>"
    L"<DateTime name=\"other\" float=\"true\" pos=\"200,10,380,40\"/>"
    L"<Control name=\"elsewhere\" float=\"true\" pos=\"380,150,400,170\"/>"
    L"<VerticalLayout name=\"scroller\" float=\"true\" pos=\"10,60,190,100\" vscrollbar=\"true\">"
    L"<DateTime name=\"scrolled\" height=\"30\"/><Control height=\"200\"/></VerticalLayout>"
    L"<VerticalLayout name=\"box\" float=\"true\" pos=\"200,60,380,100\">"
    L"<DateTime name=\"boxed\" height=\"30\"/></VerticalLayout>"
    L"<VerticalLayout name=\"holder\" float=\"true\" pos=\"10,110,190,150\">"
    L"<DateTime name=\"doomed\" height=\"30\"/></VerticalLayout>";

std::wstring DateText(const SYSTEMTIME& date)
{
    wchar_t text[32];
    swprintf(text, 32, L"%4d-%02d-%02d", date.wYear, date.wMonth, date.wDay);
    return text;
}

SYSTEMTIME Today()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now;
}

SYSTEMTIME MakeDate(WORD year, WORD month, WORD day)
{
    SYSTEMTIME date = {};
    date.wYear = year;
    date.wMonth = month;
    date.wDay = day;
    return date;
}

class DateTime : public testing::Test
{
protected:
    static void SetUpTestSuite() { ui = new ClickableTestWindow(kScreenPlace, kSkin); }
    static void TearDownTestSuite() { delete ui; }

    void SetUp() override
    {
        ui->MoveTo(kParking.x, kParking.y);
        ClickElsewhere();
    }

    static CDateTimeUI* FieldNamed(LPCWSTR name) { return ui->Find<CDateTimeUI>(name, L"DateTime"); }

    static void ClickElsewhere()
    {
        ui->Click(kElsewhere.x, kElsewhere.y);
        ui->Repaint();
    }

    static HWND Open(CDateTimeUI* field)
    {
        const RECT pos = field->GetPos();
        ui->Click((pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2);
        EXPECT_TRUE(ui->window.PumpUntil([&] { return field->GetNativeWindow() != nullptr; }));
        return field->GetNativeWindow();
    }

    // The field shows `date` as its text and date.
    static void Show(CDateTimeUI* field, const SYSTEMTIME& date)
    {
        field->SetDate(date);
        field->SetUpdateMode(DateTextUpdate::Update);
        field->UpdateText();
        field->SetUpdateMode(DateTextUpdate::None);
    }

    static SYSTEMTIME PickerDate(HWND picker)
    {
        SYSTEMTIME date = {};
        SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
        return date;
    }

    static void Key(HWND target, WPARAM key)
    {
        PostMessageW(target, WM_KEYDOWN, key, 1);
        PostMessageW(target, WM_KEYUP, key, 0xC0000001);
        ui->window.Pump();
    }

    static ClickableTestWindow* ui;
};

ClickableTestWindow* DateTime::ui = nullptr;

TEST_F(DateTime, NewFieldShowsItsConstructionDateAndTextFollowsTheUpdateMode)
{
    const SYSTEMTIME before = Today();
    CDateTimeUI fresh;
    const SYSTEMTIME after = Today();
    const std::wstring text = fresh.GetText().GetData();
    EXPECT_TRUE(text == DateText(before) || text == DateText(after)) << std::string(text.begin(), text.end());
    EXPECT_EQ(DateTextUpdate::None, fresh.GetUpdateMode());

    struct Case
    {
        DateTextUpdate mode;
        LPCWSTR expected;
    };
    const Case cases[] = {
        {DateTextUpdate::Update, L" 987-03-04"},  // year in four places, month and day in two
        {DateTextUpdate::Delete, L""},
        {DateTextUpdate::None, L"kept"},
        {DateTextUpdate::Cancel, L"kept"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        fresh.SetText(L"kept");
        fresh.SetDate(MakeDate(987, 3, 4));
        fresh.SetUpdateMode(c.mode);
        fresh.UpdateText();
        EXPECT_EQ(c.expected, std::wstring(fresh.GetText()));
        EXPECT_EQ(987, fresh.GetDate().wYear) << "the date itself never changes here";
    }
}

TEST_F(DateTime, ClickOpensPickerOnTheFieldsDateAndKeysChangeItWhenFocusMovesOn)
{
    CDateTimeUI* field = FieldNamed(L"date");
    Show(field, MakeDate(2021, 6, 15));
    HWND picker = Open(field);
    ASSERT_NE(nullptr, picker);
    wchar_t className[32] = {};
    GetClassNameW(picker, className, 32);
    EXPECT_STREQ(L"DateTimeWnd", className);
    EXPECT_EQ(picker, GetFocus());
    EXPECT_EQ(RectText(field->GetPos()), RectText(ui->window.manager.GetNativeWindowRect(picker)));
    EXPECT_EQ(L"2021-06-15", DateText(PickerDate(picker)));

    Key(picker, VK_RIGHT);  // selects a field of the date
    Key(picker, VK_UP);     // which steps on by one
    const std::wstring picked = DateText(PickerDate(picker));
    EXPECT_NE(L"2021-06-15", picked);
    EXPECT_EQ(L"2021-06-15", std::wstring(field->GetText())) << "nothing taken before the focus moves on";

    ClickElsewhere();
    EXPECT_EQ(nullptr, field->GetNativeWindow());
    EXPECT_FALSE(IsWindow(picker));
    EXPECT_EQ(picked, std::wstring(field->GetText()));
    EXPECT_EQ(picked, DateText(field->GetDate()));
}

TEST_F(DateTime, DeleteAndBackspaceEmptyTheTextEscapeChangesNothing)
{
    struct Case
    {
        WPARAM key;
        LPCWSTR expected;
    };
    const Case cases[] = {{VK_DELETE, L""}, {VK_BACK, L""}, {VK_ESCAPE, L"2019-11-02"}};
    CDateTimeUI* field = FieldNamed(L"date");
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.key));
        Show(field, MakeDate(2019, 11, 2));
        HWND picker = Open(field);
        ASSERT_NE(nullptr, picker);
        Key(picker, c.key);
        EXPECT_TRUE(ui->window.PumpUntil([&] { return !IsWindow(picker); })) << "the key ends the picker";
        EXPECT_EQ(nullptr, field->GetNativeWindow());
        EXPECT_EQ(c.expected, std::wstring(field->GetText()));
        EXPECT_EQ(L"2019-11-02", DateText(field->GetDate())) << "the date is kept";
        ClickElsewhere();
        EXPECT_EQ(c.expected, std::wstring(field->GetText())) << "the focus moving on takes nothing";
    }
}

TEST_F(DateTime, EmptiedFieldOpensOnTodayAndClickOnFocusedFieldOpensItAgain)
{
    CDateTimeUI* field = FieldNamed(L"date");
    field->SetDate(MakeDate(2001, 2, 3));
    field->SetText(L"");
    const SYSTEMTIME before = Today();
    HWND picker = Open(field);
    ASSERT_NE(nullptr, picker);
    const std::wstring shown = DateText(PickerDate(picker));
    EXPECT_TRUE(shown == DateText(before) || shown == DateText(Today()));

    Show(field, MakeDate(2010, 1, 20));
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&before));
    const RECT pos = field->GetPos();
    ui->Click((pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2);
    HWND again = field->GetNativeWindow();
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(again, GetFocus());
    EXPECT_EQ(DateText(field->GetDate()), DateText(PickerDate(again))) << "the picker shows the field's date";
    EXPECT_EQ(std::wstring(field->GetText()), DateText(PickerDate(again)));
}

TEST_F(DateTime, LayeredWindowDrawsOpenPickerIntoItsPicture)
{
    CDateTimeUI* field = FieldNamed(L"date");
    const RECT pos = field->GetPos();
    auto light = [](DWORD rgb) { return (rgb & 0xFF) > 0xC0 && ((rgb >> 8) & 0xFF) > 0xC0 && (rgb >> 16) > 0xC0; };
    ui->Repaint();
    const int closed = ui->CountPixels(pos, light);
    ASSERT_NE(nullptr, Open(field));
    ui->Repaint();
    const int area = (pos.right - pos.left) * (pos.bottom - pos.top);
    EXPECT_LT(closed, area / 4) << "closed: white digits on dark grey";
    EXPECT_GT(ui->CountPixels(pos, light), area / 2) << "open: the picker's light face";
}

TEST_F(DateTime, PickerHidesWhenScrolledAwayOrItsContainerHides)
{
    HWND picker = Open(FieldNamed(L"scrolled"));
    ASSERT_NE(nullptr, picker);
    auto* scroller = static_cast<CContainerUI*>(ui->Find(L"scroller"));
    scroller->SetScrollPos(SIZE{0, 100});
    ui->window.Pump();
    EXPECT_FALSE(IsWindow(picker) && IsWindowVisible(picker)) << "scrolled out of view";
    scroller->SetScrollPos(SIZE{0, 0});
    ClickElsewhere();

    CDateTimeUI* boxed = FieldNamed(L"boxed");
    picker = Open(boxed);
    ASSERT_NE(nullptr, picker);
    ui->Find(L"box")->SetVisible(false);
    ui->window.Pump();
    EXPECT_FALSE(IsWindow(picker) && IsWindowVisible(picker)) << "in a hidden container";
    ui->Find(L"box")->SetVisible(true);
}

// A picker that fails after WM_NCCREATE has had its last message by the time
// its creation returns: its object must be freed once, not twice.
TEST_F(DateTime, PickerThatFailsAfterItsFirstMessageIsFreedOnceAndTheFieldOpensLater)
{
    HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_DATE_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&classes));
    CDateTimeUI* field = FieldNamed(L"other");
    const RECT pos = field->GetPos();
    {
        FailingCreate failing(DATETIMEPICK_CLASSW);
        ASSERT_TRUE(failing.Active());
        ui->Click((pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2);
        ASSERT_TRUE(ui->window.PumpUntil([&] { return failing.Refusals() > 0; }));
        ui->window.Pump();
        EXPECT_EQ(field->GetNativeWindow(), nullptr);
        EXPECT_TRUE(ProcessHeapsAreWhole());
    }
    ClickElsewhere();
    EXPECT_NE(Open(field), nullptr);
    EXPECT_TRUE(ProcessHeapsAreWhole());
}

TEST_F(DateTime, FieldDestroyedWithOpenPickerTakesThePickerAlong)
{
    CDateTimeUI* doomed = FieldNamed(L"doomed");
    HWND picker = Open(doomed);
    ASSERT_NE(nullptr, picker);
    auto* holder = static_cast<IContainerUI*>(ui->Find(L"holder")->GetInterface(L"IContainer"));
    ASSERT_TRUE(holder->Remove(doomed, false));
    ui->window.Pump();
    EXPECT_FALSE(IsWindow(picker));
    Key(GetFocus(), VK_DELETE);
    ClickElsewhere();
    ui->Repaint();
    EXPECT_EQ(nullptr, ui->Find(L"doomed"));
}

}  // namespace
