// The ActiveX host with the test library's objects in a real layered window:
// the order of creation and release calls, a windowless object drawn through
// its view object and fed the window's messages, windowed objects in their
// "ActiveXWnd" child, the site's answers, and creation failures.

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "ActiveXTestWindow.h"
#include "GeometryText.h"
#include "controls/ActiveXSite.h"
#include "controls/ActiveXUI.h"

using namespace CalUI;
using Lines = std::vector<std::wstring>;

namespace {

constexpr RECT kWindowlessPos = {10, 10, 110, 60};  // its right quarter (x >= 85) is no hit
constexpr RECT kWindowedPos = {130, 10, 230, 60};
constexpr RECT kNoWindowlessPos = {250, 10, 350, 60};
constexpr RECT kInvisiblePos = {10, 80, 110, 130};
constexpr RECT kSiteFirstPos = {130, 80, 230, 130};
constexpr RECT kFailInitPos = {250, 80, 350, 130};

TestActiveXLibrary* library = nullptr;
ActiveXTestWindow* window = nullptr;

std::wstring Controls()
{
    using namespace TestActiveX;
    return TestActiveXElement(L"ActiveX", L"windowless", kWindowlessPos, kWindowlessClsid, L"bkcolor=\"#FFFF0000\"") +
           TestActiveXElement(L"ActiveX", L"windowed", kWindowedPos, kWindowedClsid) +
           TestActiveXElement(L"ActiveX", L"nowindowless", kNoWindowlessPos, kNoWindowlessClsid) +
           TestActiveXElement(L"ActiveX", L"invisible", kInvisiblePos, kInvisibleClsid) +
           TestActiveXElement(L"ActiveX", L"sitefirst", kSiteFirstPos, kSiteFirstClsid) +
           TestActiveXElement(L"ActiveX", L"failinit", kFailInitPos, kFailInitClsid);
}

CActiveXUI* Control(LPCWSTR name) { return window->Find<CActiveXUI>(name, L"ActiveX"); }

// The object's client site: the host's site, counted for the caller.
IOleClientSite* SiteOf(CActiveXUI* control)
{
    IOleObject* object = nullptr;
    if (FAILED(control->GetControl(IID_IOleObject, reinterpret_cast<void**>(&object))))
        return nullptr;
    IOleClientSite* site = nullptr;
    object->GetClientSite(&site);
    object->Release();
    return site;
}

template <class T>
T* As(IUnknown* unknown, REFIID iid)
{
    T* part = nullptr;
    if (unknown == nullptr || FAILED(unknown->QueryInterface(iid, reinterpret_cast<void**>(&part))))
        return nullptr;
    return part;
}

std::wstring Rect(RECT rc)
{
    return std::to_wstring(rc.left) + L"," + std::to_wstring(rc.top) + L"," + std::to_wstring(rc.right) + L"," +
           std::to_wstring(rc.bottom);
}

HWND ActiveXWndOf(CActiveXUI* control)
{
    HWND host = control->GetNativeWindow();
    WCHAR name[64] = {};
    if (host != nullptr)
        GetClassNameW(host, name, 64);
    return std::wstring(name) == L"ActiveXWnd" ? host : nullptr;
}

void Post(UINT message, int x, int y, WPARAM wParam = 0)
{
    PostMessageW(window->GetWindowHandle(), message, wParam, MAKELPARAM(x, y));
    window->Pump();
}

class ActiveXHost : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        SetCursorPos(1590, 990);  // far from the window: no real mouse messages
        library = new TestActiveXLibrary;
        ASSERT_TRUE(library->IsLoaded());
        library->Clear();
        window = new ActiveXTestWindow(*library);
        window->Load(Controls());
    }
    static void TearDownTestSuite()
    {
        delete window;
        window = nullptr;
        delete library;
        library = nullptr;
    }
};

}  // namespace

// Each object is created at the first layout in the same order of calls:
// the client site before or after InitNew as the object asks, host names,
// then "showactivex" before activation, then the object's own site.
TEST_F(ActiveXHost, CreatesEachObjectAtTheFirstLayoutInOrder)
{
    struct Case
    {
        const wchar_t* kind;
        Lines calls;
    };
    const std::wstring names = L"SetHostNames(UIActiveX,null)";
    const Case cases[] = {
        {L"windowless",
         {L"windowless:DllGetClassObject", L"windowless:InitNew", L"windowless:SetClientSite(site)",
          L"windowless:" + names, L"note:showactivex(windowless)",
          L"windowless:DoVerb(-5," + Rect(kWindowlessPos) + L")",
          L"windowless:SetObjectRects(" + Rect(kWindowlessPos) + L")", L"windowless:activated(0x0)",
          L"windowless:SetSite(site)"}},
        {L"sitefirst",
         {L"sitefirst:DllGetClassObject", L"sitefirst:SetClientSite(site)", L"sitefirst:InitNew", L"sitefirst:" + names,
          L"note:showactivex(sitefirst)", L"sitefirst:DoVerb(-5," + Rect(kSiteFirstPos) + L")",
          L"sitefirst:SetObjectRects(0,0,100,50)", L"sitefirst:activated(0x0)", L"sitefirst:child(0,0,0,0)",
          L"sitefirst:SetSite(site)"}},
        // Invisible at run time: never activated.
        {L"invisible",
         {L"invisible:DllGetClassObject", L"invisible:InitNew", L"invisible:SetClientSite(site)", L"invisible:" + names,
          L"note:showactivex(invisible)", L"invisible:SetSite(site)"}},
        // A failing InitNew ends creation: no client site, no "showactivex".
        {L"failinit", {L"failinit:DllGetClassObject", L"failinit:InitNew"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.kind)));
        EXPECT_EQ(library->CallsOf(c.kind, c.kind, L"SetExtent"), c.calls);
        EXPECT_TRUE(Control(c.kind)->IsCreated());
    }
    // The layout then gives the extent in HIMETRIC and the object's place.
    HDC screen = GetDC(nullptr);
    const int cx = MulDiv(2540, 100, GetDeviceCaps(screen, LOGPIXELSX));
    const int cy = MulDiv(2540, 50, GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    const Lines afterCreation = library->Calls(L"windowless:SetExtent");
    ASSERT_FALSE(afterCreation.empty());
    EXPECT_EQ(afterCreation.front(),
              L"windowless:SetExtent(1," + std::to_wstring(cx) + L"," + std::to_wstring(cy) + L")");
    EXPECT_EQ(Control(L"invisible")->GetNativeWindow(), nullptr);
    EXPECT_EQ(Control(L"failinit")->GetNativeWindow(), nullptr);
}

TEST_F(ActiveXHost, AWindowlessObjectIsDrawnOnlyThroughItsViewObject)
{
    CActiveXUI* control = Control(L"windowless");
    EXPECT_EQ(control->GetNativeWindow(), window->GetWindowHandle());
    EXPECT_EQ(ActiveXWndOf(control), nullptr);
    window->Paint();
    // The view object's colour over the whole area; the control's own red
    // background is never painted.
    EXPECT_EQ(window->Pixel(kWindowlessPos.left, kWindowlessPos.top), Rgb(TestActiveX::kWindowlessColor));
    EXPECT_EQ(window->Pixel(kWindowlessPos.right - 1, kWindowlessPos.bottom - 1), Rgb(TestActiveX::kWindowlessColor));
    EXPECT_NE(window->Pixel(kWindowlessPos.right, kWindowlessPos.top), Rgb(TestActiveX::kWindowlessColor));

    // The object's own request to be redrawn reaches the layered window's
    // picture: a pixel spoilt behind the manager's back comes back.
    const SIZE size = window->manager.GetOffscreenSize();
    const int spoilt = (size.cy - 1 - (kWindowlessPos.top + 5)) * size.cx + kWindowlessPos.left + 5;
    const_cast<DWORD*>(window->manager.GetOffscreenPixels())[spoilt] = 0;
    ASSERT_NE(window->Pixel(kWindowlessPos.left + 5, kWindowlessPos.top + 5), Rgb(TestActiveX::kWindowlessColor));
    IOleClientSite* site = SiteOf(control);
    ASSERT_NE(site, nullptr);
    auto* inPlace = As<IOleInPlaceSiteWindowless>(site, IID_IOleInPlaceSiteWindowless);
    EXPECT_EQ(inPlace->InvalidateRect(&kWindowlessPos, FALSE), S_OK);
    window->Send(WM_TIMER, ActiveXTestWindow::kRepaintTimer, 0);  // paints only what was invalidated
    EXPECT_EQ(window->Pixel(kWindowlessPos.left + 5, kWindowlessPos.top + 5), Rgb(TestActiveX::kWindowlessColor));
    inPlace->Release();
    site->Release();
}

// Mouse messages reach the object where its hit test says so, and all of
// them while it holds the capture; keys only once a click focused it.
TEST_F(ActiveXHost, AWindowlessObjectGetsTheWindowsMessagesInItsAreaAndKeysOnceClicked)
{
    CActiveXUI* control = Control(L"windowless");
    window->manager.SetFocus(nullptr);  // the first tab stop took it at the first paint
    library->Clear();
    Post(WM_KEYDOWN, 0, 0, 'A');
    Post(WM_MOUSEMOVE, 20, 20);
    Post(WM_MOUSEMOVE, 100, 20);  // in the area, but outside the object's hit test
    Post(WM_MOUSEMOVE, 300, 200);
    EXPECT_EQ(library->Calls(L"windowless:OnWindowMessage"), (Lines{L"windowless:OnWindowMessage(0x200,20,20)"}));

    library->Clear();
    Post(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    EXPECT_TRUE(control->IsFocused());
    Post(WM_MOUSEMOVE, 300, 200, MK_LBUTTON);  // captured: outside too
    Post(WM_LBUTTONUP, 300, 200);
    Post(WM_MOUSEMOVE, 310, 210);  // released: outside no more
    Post(WM_KEYDOWN, 0, 0, 'A');
    EXPECT_EQ(library->Calls(L"windowless:OnWindowMessage"),
              (Lines{L"windowless:OnWindowMessage(0x201,20,20)", L"windowless:OnWindowMessage(0x200,300,200)",
                     L"windowless:OnWindowMessage(0x202,300,200)", L"windowless:OnWindowMessage(0x100,0,0)",
                     L"windowless:OnWindowMessage(0x102,0,0)"}));

    // WM_SETCURSOR carries no point: the object is asked where the mouse
    // last was.
    library->Clear();
    Post(WM_MOUSEMOVE, 30, 30);
    SendMessageW(window->GetWindowHandle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(window->GetWindowHandle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(library->Calls(L"windowless:OnWindowMessage"),
              (Lines{L"windowless:OnWindowMessage(0x200,30,30)", L"windowless:OnWindowMessage(0x20,1,512)"}));

    // A control that takes no mouse input passes no mouse message on.
    library->Clear();
    control->SetMouseEnabled(false);
    Post(WM_MOUSEMOVE, 20, 20);
    control->SetMouseEnabled(true);
    Post(WM_MOUSEMOVE, 21, 20);
    EXPECT_EQ(library->Calls(L"windowless:OnWindowMessage"), (Lines{L"windowless:OnWindowMessage(0x200,21,20)"}));
}

// A windowed object lives in its "ActiveXWnd" child at the control's place,
// follows the control's position and visibility, is seen through WM_PRINT
// in the layered window, and swallows the wheel.
TEST_F(ActiveXHost, AWindowedObjectLivesInAnActiveXWndFollowingTheControl)
{
    CActiveXUI* control = Control(L"windowed");
    HWND host = ActiveXWndOf(control);
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(GetParent(host), window->GetWindowHandle());
    auto placeOf = [](HWND child) {
        RECT rc;
        GetWindowRect(child, &rc);
        MapWindowPoints(nullptr, window->GetWindowHandle(), reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    };
    EXPECT_EQ(placeOf(host), kWindowedPos);
    EXPECT_TRUE(IsWindowVisible(host));
    EXPECT_NE(FindWindowExW(host, nullptr, L"TestActiveXChild", nullptr), nullptr);

    window->Paint();
    EXPECT_EQ(window->Pixel(kWindowedPos.left + 5, kWindowedPos.top + 5), Rgb(TestActiveX::kWindowedColor));
    EXPECT_EQ(window->Pixel(kWindowedPos.right - 1, kWindowedPos.bottom - 1), Rgb(TestActiveX::kWindowedColor));

    // In a layered window the child's own timer keeps its picture current:
    // a pixel spoilt behind the manager's back comes back by itself.
    const SIZE size = window->manager.GetOffscreenSize();
    const int spoilt = (size.cy - 1 - (kWindowedPos.top + 5)) * size.cx + kWindowedPos.left + 5;
    const_cast<DWORD*>(window->manager.GetOffscreenPixels())[spoilt] = 0;
    EXPECT_TRUE(window->PumpUntil(
        [] { return window->Pixel(kWindowedPos.left + 5, kWindowedPos.top + 5) == Rgb(TestActiveX::kWindowedColor); }));

    control->SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(host));
    control->SetVisible(true);
    EXPECT_TRUE(IsWindowVisible(host));
    control->SetInternVisible(false);
    EXPECT_FALSE(IsWindowVisible(host));
    control->SetInternVisible(true);
    EXPECT_TRUE(IsWindowVisible(host));

    const RECT moved = {140, 150, 260, 190};
    control->SetPos(moved);
    EXPECT_EQ(placeOf(host), moved);
    control->Move(SIZE{-10, 5});
    EXPECT_EQ(placeOf(host), (RECT{130, 155, 250, 195}));
    control->SetPos(kWindowedPos);

    const int wheelsBefore = window->wheels;
    EXPECT_EQ(SendMessageW(host, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(150, 120)), 0);
    HWND child = FindWindowExW(host, nullptr, L"TestActiveXChild", nullptr);
    SendMessageW(child, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(150, 120));
    EXPECT_EQ(window->wheels, wheelsBefore);
}

// An object that asks for windowless activation without the interface for
// it is activated windowed.
TEST_F(ActiveXHost, AnObjectAskingWindowlessWithoutTheInterfaceGoesWindowed)
{
    CActiveXUI* control = Control(L"nowindowless");
    HWND host = ActiveXWndOf(control);
    ASSERT_NE(host, nullptr);
    EXPECT_NE(FindWindowExW(host, nullptr, L"TestActiveXChild", nullptr), nullptr);
    IOleClientSite* site = SiteOf(control);
    ASSERT_NE(site, nullptr);
    auto* windowless = As<IOleInPlaceSiteWindowless>(site, IID_IOleInPlaceSiteWindowless);
    HDC dc = nullptr;
    EXPECT_EQ(windowless->GetDC(nullptr, 0, &dc), S_OK);  // windowed sites lend DCs
    EXPECT_EQ(windowless->ReleaseDC(dc), S_OK);
    windowless->Release();
    site->Release();
}

// The site's answers to an object, and the frame and enumerator it lends.
TEST_F(ActiveXHost, TheSiteAnswersAsTheContainer)
{
    CActiveXUI* control = Control(L"windowless");
    IOleClientSite* site = SiteOf(control);
    ASSERT_NE(site, nullptr);
    auto* inPlace = As<IOleInPlaceSiteWindowless>(site, IID_IOleInPlaceSiteWindowless);
    auto* controlSite = As<IOleControlSite>(site, IID_IOleControlSite);
    auto* container = As<IOleContainer>(site, IID_IOleContainer);
    auto* withSite = As<IObjectWithSite>(site, IID_IObjectWithSite);
    ASSERT_TRUE(inPlace && controlSite && container && withSite);

    // One identity: IUnknown is the in-place part.
    IUnknown* identity = As<IUnknown>(site, IID_IUnknown);
    EXPECT_EQ(identity, static_cast<IUnknown*>(inPlace));
    identity->Release();
    EXPECT_EQ(As<IUnknown>(site, IID_IDispatch), nullptr);

    IOleContainer* found = nullptr;
    IMoniker* moniker = reinterpret_cast<IMoniker*>(1);
    IDispatch* extended = reinterpret_cast<IDispatch*>(1);
    IUnknown* stored = reinterpret_cast<IUnknown*>(1);
    HDC dc = reinterpret_cast<HDC>(1);
    struct Answer
    {
        const char* call;
        HRESULT got;
        HRESULT expected;
    };
    const Answer answers[] = {
        {"GetContainer(null)", site->GetContainer(nullptr), E_POINTER},
        {"GetContainer", site->GetContainer(&found), S_OK},
        {"GetMoniker", site->GetMoniker(0, 0, &moniker), E_NOTIMPL},
        {"SaveObject", site->SaveObject(), E_NOTIMPL},
        {"CanWindowlessActivate", inPlace->CanWindowlessActivate(), S_OK},
        {"GetCapture", inPlace->GetCapture(), S_FALSE},
        {"GetDC(null)", inPlace->GetDC(nullptr, 0, nullptr), E_POINTER},
        {"GetDC windowless", inPlace->GetDC(nullptr, 0, &dc), S_FALSE},
        {"InvalidateRect", inPlace->InvalidateRect(nullptr, FALSE), S_OK},
        {"ScrollRect", inPlace->ScrollRect(1, 1, nullptr, nullptr), S_OK},
        {"DiscardUndoState", inPlace->DiscardUndoState(), E_NOTIMPL},
        {"RequestUIActivate", inPlace->RequestUIActivate(), S_OK},
        {"GetExtendedControl(null)", controlSite->GetExtendedControl(nullptr), E_POINTER},
        {"GetExtendedControl", controlSite->GetExtendedControl(&extended), E_NOINTERFACE},
        {"TranslateAccelerator", controlSite->TranslateAccelerator(nullptr, 0), S_FALSE},
        {"ShowPropertyFrame", controlSite->ShowPropertyFrame(), E_NOTIMPL},
        {"GetSite(null)", withSite->GetSite(IID_IUnknown, nullptr), E_POINTER},
        {"GetSite without one", withSite->GetSite(IID_IUnknown, reinterpret_cast<void**>(&stored)), E_FAIL},
        {"ParseDisplayName", container->ParseDisplayName(nullptr, nullptr, nullptr, nullptr), E_NOTIMPL},
        {"EnumObjects(null)", container->EnumObjects(0, nullptr), E_POINTER},
    };
    for (const Answer& a : answers)
        EXPECT_EQ(a.got, a.expected) << a.call;
    EXPECT_EQ(found, container);
    EXPECT_EQ(moniker, nullptr);
    EXPECT_EQ(extended, nullptr);
    EXPECT_EQ(stored, nullptr);
    EXPECT_EQ(dc, nullptr);
    found->Release();

    // The enumerator yields the one object once per Reset.
    IEnumUnknown* objects = nullptr;
    ASSERT_EQ(container->EnumObjects(0, &objects), S_OK);
    IUnknown* object = nullptr;
    ULONG fetched = 9;
    EXPECT_EQ(objects->Next(5, &object, &fetched), S_OK);
    EXPECT_EQ(fetched, 1u);
    IOleObject* hosted = nullptr;
    control->GetControl(IID_IOleObject, reinterpret_cast<void**>(&hosted));
    EXPECT_EQ(object, static_cast<IUnknown*>(hosted));
    object->Release();
    EXPECT_EQ(objects->Next(1, &object, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(objects->Next(1, &object, nullptr), S_FALSE);
    EXPECT_EQ(objects->Reset(), S_OK);
    EXPECT_EQ(objects->Next(1, &object, nullptr), S_OK);  // a null count is allowed
    object->Release();
    IEnumUnknown* clone = reinterpret_cast<IEnumUnknown*>(1);
    EXPECT_EQ(objects->Clone(&clone), E_NOTIMPL);
    EXPECT_EQ(clone, nullptr);
    objects->Release();
    hosted->Release();

    // The frame is the paint window and has no tool space.
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* document = nullptr;
    RECT pos = {1, 2, 3, 4}, clip = {1, 2, 3, 4};
    OLEINPLACEFRAMEINFO info = {};
    EXPECT_EQ(inPlace->GetWindowContext(nullptr, &document, &pos, &clip, &info), E_POINTER);
    EXPECT_EQ(inPlace->GetWindowContext(&frame, &document, nullptr, &clip, &info), E_POINTER);
    ASSERT_EQ(inPlace->GetWindowContext(&frame, &document, &pos, &clip, &info), S_OK);
    EXPECT_EQ(document, nullptr);
    EXPECT_EQ(pos, (RECT{1, 2, 3, 4}));  // windowless: not written
    EXPECT_EQ(info.cb, sizeof(OLEINPLACEFRAMEINFO));
    EXPECT_EQ(info.hwndFrame, window->GetWindowHandle());
    EXPECT_EQ(info.cAccelEntries, 1u);
    EXPECT_NE(info.haccel, nullptr);
    HWND frameWindow = nullptr;
    EXPECT_EQ(frame->GetWindow(&frameWindow), S_OK);
    EXPECT_EQ(frameWindow, window->GetWindowHandle());
    EXPECT_EQ(frame->RequestBorderSpace(nullptr), INPLACE_E_NOTOOLSPACE);
    EXPECT_EQ(frame->TranslateAccelerator(nullptr, 0), S_FALSE);
    IUnknown* frameIdentity = As<IUnknown>(frame, IID_IOleInPlaceUIWindow);
    EXPECT_EQ(frameIdentity, static_cast<IUnknown*>(frame));
    frameIdentity->Release();

    // Focus and capture as the object sets them.
    EXPECT_EQ(inPlace->SetCapture(TRUE), S_OK);
    EXPECT_EQ(inPlace->GetCapture(), S_OK);
    EXPECT_EQ(inPlace->SetCapture(FALSE), S_OK);
    EXPECT_EQ(controlSite->OnFocus(TRUE), S_OK);
    EXPECT_EQ(inPlace->GetFocus(), S_OK);
    EXPECT_EQ(controlSite->OnFocus(FALSE), S_OK);
    EXPECT_EQ(inPlace->GetFocus(), S_FALSE);

    frame->Release();
    inPlace->Release();
    controlSite->Release();
    container->Release();
    withSite->Release();
    site->Release();
    EXPECT_EQ(control->GetControl(IID_IOleObject, nullptr), E_POINTER);
}

// Release closes the object in order and takes the window and the message
// filter away at once, even while the object (here: the test) still holds
// the site; the site then answers E_UNEXPECTED wherever it needs its owner,
// and so does the frame it lent.
TEST_F(ActiveXHost, ReleaseClosesTheObjectAndCutsOffTheSiteItKeeps)
{
    struct Case
    {
        const wchar_t* kind;
        bool windowed;
    };
    for (const Case c : {Case{L"windowless", false}, Case{L"windowed", true}}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.kind)));
        CActiveXUI* control = Control(c.kind);
        IOleClientSite* site = SiteOf(control);
        ASSERT_NE(site, nullptr);
        auto* inPlace = As<IOleInPlaceSiteWindowless>(site, IID_IOleInPlaceSiteWindowless);
        auto* controlSite = As<IOleControlSite>(site, IID_IOleControlSite);
        auto* container = As<IOleContainer>(site, IID_IOleContainer);
        IOleInPlaceFrame* frame = nullptr;
        IOleInPlaceUIWindow* document = nullptr;
        RECT pos, clip;
        OLEINPLACEFRAMEINFO info = {};
        ASSERT_EQ(inPlace->GetWindowContext(&frame, &document, &pos, &clip, &info), S_OK);
        HWND host = ActiveXWndOf(control);
        EXPECT_EQ(host != nullptr, c.windowed);
        const LONG liveBefore = library->LiveObjects();

        library->Clear();
        control->ReleaseControl();
        const std::wstring kind = c.kind;
        EXPECT_EQ(library->Calls(kind + L":"),
                  (Lines{kind + L":SetSite(null)", kind + L":Close(1)", kind + L":SetClientSite(null)"}));
        EXPECT_EQ(library->LiveObjects(), liveBefore - 1);
        EXPECT_EQ(control->GetNativeWindow(), nullptr);
        if (host != nullptr) {
            EXPECT_FALSE(IsWindow(host));
        }
        EXPECT_EQ(control->GetControl(IID_IOleObject, reinterpret_cast<void**>(&document)), E_PENDING);

        HWND got = nullptr;
        HDC dc = nullptr;
        IEnumUnknown* objects = nullptr;
        IDispatch* extended = nullptr;
        IOleInPlaceFrame* secondFrame = nullptr;
        LRESULT result = 0;
        BOOL noRedraw = FALSE;
        const HRESULT answers[] = {
            inPlace->GetWindow(&got),
            site->ShowObject(),
            inPlace->GetCapture(),
            inPlace->SetCapture(TRUE),
            inPlace->GetFocus(),
            inPlace->SetFocus(TRUE),
            inPlace->GetDC(nullptr, 0, &dc),
            inPlace->ReleaseDC(nullptr),
            inPlace->InvalidateRect(nullptr, FALSE),
            inPlace->InvalidateRgn(nullptr, FALSE),
            inPlace->OnDefWindowMessage(WM_NULL, 0, 0, &result),
            inPlace->OnInPlaceActivateEx(&noRedraw, ACTIVATE_WINDOWLESS),
            inPlace->GetWindowContext(&secondFrame, &document, &pos, &clip, &info),
            container->EnumObjects(0, &objects),
            controlSite->GetExtendedControl(&extended),
            frame->GetWindow(&got),
        };
        for (size_t i = 0; i < std::size(answers); ++i)
            EXPECT_EQ(answers[i], E_UNEXPECTED) << "answer " << i;
        EXPECT_EQ(objects, nullptr);
        EXPECT_EQ(secondFrame, nullptr);

        // Messages no longer reach a released windowless object.
        library->Clear();
        Post(WM_MOUSEMOVE, 20, 20);
        EXPECT_EQ(library->Calls(L"windowless:OnWindowMessage"), Lines{});

        frame->Release();
        inPlace->Release();
        controlSite->Release();
        container->Release();
        site->Release();
    }
}

// A failed creation shows nothing, reports nothing, is not retried by later
// layouts, and a new class id tries again.
TEST(ActiveXFailures, AFailedCreationShowsAndReportsNothingAndWaitsForANewClassId)
{
    TestActiveXLibrary lib;
    ASSERT_TRUE(lib.IsLoaded());
    ActiveXTestWindow failing(lib);
    struct Case
    {
        const wchar_t* name;
        const wchar_t* module;
        const wchar_t* clsid;
        bool objectStays;   // made, and kept until release though creation failed
        bool classIdTaken;  // false: the id stays zero, and creation is tried with it at the first layout
    };
    const Case cases[] = {
        {L"nolibrary", L"calverin_no_such_library.dll", TestActiveX::kWindowlessClsid, false, true},
        {L"nofactory", L"kernel32.dll", TestActiveX::kWindowlessClsid, false, true},
        {L"unknownclass", TestActiveX::kLibraryName, L"{6C1A00FF-5E2B-4C71-9A31-0C4D1E7A0F01}", false, true},
        {L"zeroclass", TestActiveX::kLibraryName, L"{00000000-0000-0000-0000-000000000000}", false, false},
        {L"noprogid", TestActiveX::kLibraryName, L"Calverin.NoSuchControl.1", false, false},
        {L"failinit", TestActiveX::kLibraryName, TestActiveX::kFailInitClsid, true, true},
    };
    std::wstring controls;
    int top = 10;
    for (const Case& c : cases) {
        controls += L"<ActiveX name=\"" + std::wstring(c.name) + L"\" float=\"true\" pos=\"10," + std::to_wstring(top) +
                    L",110," + std::to_wstring(top + 30) + L"\" modulename=\"" + c.module + L"\" clsid=\"" + c.clsid +
                    L"\" />";
        top += 40;
    }
    lib.Clear();
    failing.Load(controls);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        auto* control = failing.Find<CActiveXUI>(c.name, L"ActiveX");
        ASSERT_NE(control, nullptr);
        IUnknown* unknown = nullptr;
        EXPECT_TRUE(control->IsCreated());
        EXPECT_EQ(IsEqualCLSID(control->GetClassId(), CLSID_NULL) == FALSE, c.classIdTaken);
        EXPECT_EQ(control->GetControl(IID_IUnknown, reinterpret_cast<void**>(&unknown)),
                  c.objectStays ? S_OK : E_PENDING);
        if (unknown != nullptr)
            unknown->Release();
        EXPECT_EQ(control->GetNativeWindow(), nullptr);
        EXPECT_EQ(ActiveXWndOf(control), nullptr);
    }
    EXPECT_TRUE(failing.notifications.empty() ||
                std::none_of(failing.notifications.begin(), failing.notifications.end(),
                             [](const ReceivedNotify& n) { return n.type == L"showactivex"; }));
    // The object stays until release, but gets no client site and is never
    // activated.
    EXPECT_EQ(lib.CallsOf(L"failinit", L"failinit", L"SetExtent"),
              (Lines{L"failinit:DllGetClassObject", L"failinit:InitNew"}));
    EXPECT_EQ(lib.Calls(L"failinit:DoVerb"), Lines{});

    // Later layouts do not retry; a new class id does.
    auto* failinit = failing.Find<CActiveXUI>(L"failinit", L"ActiveX");
    lib.Clear();
    failinit->SetPos(RECT{10, 210, 120, 240});
    EXPECT_EQ(lib.Calls(L"failinit:DllGetClassObject"), Lines{});
    CLSID clsid;
    CLSIDFromString(TestActiveX::kFailInitClsid, &clsid);
    EXPECT_TRUE(failinit->SetClassId(clsid));
    EXPECT_FALSE(failinit->IsCreated());
    failinit->SetPos(RECT{10, 210, 110, 240});
    EXPECT_EQ(lib.Calls(L"failinit:DllGetClassObject"), Lines{L"failinit:DllGetClassObject"});

    // A zero id changes nothing; an over-long text is cut, not overrun.
    EXPECT_FALSE(failinit->SetClassId(CLSID_NULL));
    EXPECT_TRUE(IsEqualCLSID(failinit->GetClassId(), clsid));
    const std::wstring longText = L"{" + std::wstring(300, L'A') + L"}";
    EXPECT_FALSE(failinit->SetClassIdText(longText.c_str()));
    EXPECT_FALSE(failinit->SetClassIdText(std::wstring(300, L'B').c_str()));
    EXPECT_TRUE(IsEqualCLSID(failinit->GetClassId(), clsid));
}

// With "delaycreate" "false" the object is made as soon as the class id is
// set (the builder attaches the control to the window first).
TEST(ActiveXDelayCreate, OffCreatesWhenTheClassIdIsSet)
{
    TestActiveXLibrary lib;
    ActiveXTestWindow host(lib);
    CSkinBuilder builder;
    const std::wstring xml = L"<Window><Container>" +
                             TestActiveXElement(L"ActiveX", L"early", RECT{10, 10, 60, 60},
                                                TestActiveX::kInvisibleClsid, L"delaycreate=\"false\"") +
                             L"</Container></Window>";
    lib.Clear();
    CControlUI* root = builder.Create(xml.c_str(), nullptr, nullptr, &host.manager);
    ASSERT_NE(root, nullptr);
    auto* early = static_cast<CActiveXUI*>(host.manager.FindControl(L"early"));
    ASSERT_NE(early, nullptr);
    EXPECT_TRUE(early->IsCreated());
    EXPECT_EQ(lib.Calls(L"invisible:DllGetClassObject").size(), 1u);
    IOleObject* object = nullptr;
    EXPECT_EQ(early->GetControl(IID_IOleObject, reinterpret_cast<void**>(&object)), S_OK);
    object->Release();
    host.Attach(root);
    host.Pump();
    EXPECT_EQ(lib.Calls(L"invisible:DllGetClassObject").size(), 1u);  // not again at the layout
    EXPECT_EQ(lib.Calls(L"invisible:DoVerb"), Lines{});
}

// The host balances only its own successful CoInitialize: on a thread whose
// apartment is already multithreaded its CoInitialize fails, and destroying
// it must leave that apartment alone.
TEST(ActiveXCom, TheHostUninitialisesOnlyWhatItInitialised)
{
    HRESULT again = E_FAIL;
    std::thread thread([&] {
        if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
            return;
        auto* control = new CActiveXUI;
        control->Delete();
        again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);  // S_FALSE: still initialised
        if (SUCCEEDED(again))
            CoUninitialize();
        CoUninitialize();
    });
    thread.join();
    EXPECT_EQ(again, S_FALSE);
}
