// The web browser control: the platform's browser under Wine where it can
// be created, and the test library's stand-in browser for everything the
// control does around it (home page, events, document UI handler, script
// errors, downloads, keys, release and re-creation).

#include <windows.h>

#include <exdispid.h>
#include <mshtmhst.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ActiveXTestWindow.h"
#include "controls/WebBrowserUI.h"

using namespace CalUI;
using Lines = std::vector<std::wstring>;

namespace {

constexpr wchar_t kHomePage[] = L"http://calverin.test/home.html";
constexpr RECT kBrowserPos = {10, 10, 210, 150};
constexpr RECT kEmptyHomePos = {220, 10, 390, 150};

// In no import library of the toolchain.
constexpr GUID kCgidDocHostCommandHandler = {
    0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};
constexpr IID kIidDownloadManager = {0x988934A4, 0x064B, 0x11D3, {0xBB, 0x80, 0x00, 0x10, 0x4B, 0x35, 0xE7, 0xF9}};

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int CountThreadWindows()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

HWND StandInChild(CWebBrowserUI* browser)
{
    return FindWindowExW(browser->GetNativeWindow(), nullptr, L"TestActiveXChild", nullptr);
}

class StandInBrowser : public testing::Test
{
protected:
    void SetUp() override
    {
        SetCursorPos(1590, 990);
        ASSERT_TRUE(library.IsLoaded());
        library.Clear();
        window = std::make_unique<ActiveXTestWindow>(library);
        window->Load(TestActiveXElement(L"WebBrowser", L"browser", kBrowserPos, TestActiveX::kBrowserClsid,
                                        L"autonavi=\"true\" homepage=\"" + std::wstring(kHomePage) + L"\"") +
                     TestActiveXElement(L"WebBrowser", L"emptyhome", kEmptyHomePos, TestActiveX::kBrowserClsid,
                                        L"autonavi=\"true\" homepage=\"\""));
        browser = window->Find<CWebBrowserUI>(L"browser", L"WebBrowser");
        ASSERT_NE(browser, nullptr);
        ASSERT_NE(browser->GetWebBrowser(), nullptr);
    }

    TestActiveXLibrary library;
    std::unique_ptr<ActiveXTestWindow> window;
    CWebBrowserUI* browser = nullptr;
};

}  // namespace

// Created at the first layout like any hosted object, then: the home page
// once (never for an empty one), the event sink, and silent mode off.
TEST_F(StandInBrowser, CreatesAtTheFirstLayoutNavigatesHomeOnceAndListens)
{
    const Lines created = library.Calls(L"browser:");
    auto after = std::find(created.begin(), created.end(), L"browser:SetSite(site)");
    ASSERT_NE(after, created.end());
    EXPECT_EQ(Lines(after + 1, after + 4), (Lines{L"browser:Navigate2(" + std::wstring(kHomePage) + L")",
                                                  L"browser:Advise", L"browser:put_Silent(0)"}));
    EXPECT_EQ(library.Calls(L"browser:Navigate2").size(), 1u);
    EXPECT_EQ(library.Calls(L"browser:Advise").size(), 2u);

    // Windowed, inside the host's native window.
    WCHAR name[32] = {};
    GetClassNameW(browser->GetNativeWindow(), name, 32);
    EXPECT_STREQ(name, L"ActiveXWnd");
    EXPECT_NE(StandInChild(browser), nullptr);
    // The sink is the control's event part (the library keeps the last one
    // advised: the second control's).
    auto* emptyHome = window->Find<CWebBrowserUI>(L"emptyhome", L"WebBrowser");
    EXPECT_EQ(library.Find<TestActiveX::BrowserSinkProc>(TestActiveX::kBrowserSink)(),
              static_cast<IDispatch*>(emptyHome));
}

// Every newly loaded document gets the control as its UI handler, through
// the event the browser sends.
TEST_F(StandInBrowser, NavigateCompleteMakesTheControlTheDocumentsUIHandler)
{
    // The library keeps the sink advised last: the second control's.
    auto* emptyHome = window->Find<CWebBrowserUI>(L"emptyhome", L"WebBrowser");
    IDispatch* sink = library.Find<TestActiveX::BrowserSinkProc>(TestActiveX::kBrowserSink)();
    ASSERT_NE(sink, nullptr);
    DISPPARAMS none = {};
    EXPECT_EQ(sink->Invoke(DISPID_NAVIGATECOMPLETE2, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(library.Calls(L"document:"), Lines{L"document:SetUIHandler(handler)"});
    EXPECT_EQ(library.Find<TestActiveX::DocumentUIHandlerProc>(TestActiveX::kDocumentUIHandler)(),
              static_cast<IDocHostUIHandler*>(emptyHome));
}

// A script error is read from the document's event and answered "go on",
// without any window.
TEST_F(StandInBrowser, AScriptErrorIsAnsweredTrueWithoutAWindow)
{
    IUnknown* document = library.Find<TestActiveX::NewScriptErrorDocumentProc>(TestActiveX::kNewScriptErrorDocument)();
    VARIANT in;
    VariantInit(&in);
    in.vt = VT_UNKNOWN;
    in.punkVal = document;
    VARIANT out;
    VariantInit(&out);
    const int windowsBefore = CountThreadWindows();
    EXPECT_EQ(browser->Exec(&kCgidDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out), S_OK);
    EXPECT_EQ(out.vt, VT_BOOL);
    EXPECT_EQ(out.boolVal, VARIANT_TRUE);
    EXPECT_EQ(CountThreadWindows(), windowsBefore);
    Lines expected;
    int id = 1000;
    for (const wchar_t* property : {L"errorLine", L"errorCharacter", L"errorCode", L"errorMessage", L"errorUrl"}) {
        expected.push_back(L"event:GetIDsOfNames(" + std::wstring(property) + L",0x800)");
        expected.push_back(L"event:Invoke(" + std::to_wstring(id++) + L",0x2,0x800)");
    }
    EXPECT_EQ(library.Calls(L"event:"), expected);
    VariantClear(&in);

    // No document, or not one: the answer says so and scripts still go on.
    struct Case
    {
        const char* name;
        VARIANT* in;
        HRESULT expected;
    };
    VARIANT number;
    VariantInit(&number);
    number.vt = VT_I4;
    for (const Case& c : {Case{"null", nullptr, E_POINTER}, Case{"a number", &number, E_UNEXPECTED}}) {
        VariantInit(&out);
        EXPECT_EQ(browser->Exec(&kCgidDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, 0, c.in, &out), c.expected)
            << c.name;
        EXPECT_EQ(out.boolVal, VARIANT_TRUE) << c.name;
    }
    EXPECT_EQ(browser->Exec(&kCgidDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, nullptr), E_POINTER);
}

// Downloads the browser starts go to the control's download manager, which
// takes them and saves nothing.
TEST_F(StandInBrowser, DownloadsAreTakenAndDropped)
{
    IDownloadManager* downloads = nullptr;
    ASSERT_EQ(browser->QueryService(kIidDownloadManager, kIidDownloadManager, reinterpret_cast<void**>(&downloads)),
              S_OK);
    ASSERT_NE(downloads, nullptr);
    EXPECT_EQ(downloads->Download(nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr, CP_UTF8), S_OK);
    downloads->Release();
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(browser->QueryService(kIidDownloadManager, IID_IUnknown, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(browser->QueryService(kIidDownloadManager, kIidDownloadManager, nullptr), E_POINTER);
}

// Keys posted while the focus is in the browser's window go to its in-place
// active object, which takes them (not dispatched); elsewhere they are not
// offered to it.
TEST_F(StandInBrowser, KeysGoToTheBrowserOnlyWhileTheFocusIsInItsWindow)
{
    HWND child = StandInChild(browser);
    ASSERT_NE(child, nullptr);
    SetFocus(child);
    ASSERT_EQ(GetFocus(), child);
    library.Clear();
    PostMessageW(child, WM_KEYDOWN, 'A', 0);
    window->Pump();
    EXPECT_EQ(library.Calls(L"browser:TranslateAccelerator"), Lines{L"browser:TranslateAccelerator(0x100)"});
    EXPECT_EQ(library.Calls(L"child:"), Lines{});

    SetFocus(window->GetWindowHandle());
    library.Clear();
    PostMessageW(child, WM_KEYDOWN, 'B', 0);
    window->Pump();
    EXPECT_EQ(library.Calls(L"browser:TranslateAccelerator"), Lines{});
    EXPECT_EQ(library.Calls(L"child:"), (Lines{L"child:0x100", L"child:0x102"}));  // WM_KEYDOWN, WM_CHAR

    MSG mouse = {child, WM_MOUSEMOVE, 0, 0};
    EXPECT_EQ(browser->TranslateAccelerator(&mouse), S_FALSE);
}

// The control's other answers to the browser.
TEST_F(StandInBrowser, AnswersTheBrowsersOtherCalls)
{
    // One identity for IUnknown, each part counted on one shared count.
    IUnknown* unknown = nullptr;
    ASSERT_EQ(browser->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    IUnknown* again = nullptr;
    static_cast<IDispatch*>(browser)->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&again));
    EXPECT_EQ(unknown, again);
    EXPECT_EQ(unknown, static_cast<IDocHostUIHandler*>(browser));
    const ULONG count = unknown->AddRef();
    EXPECT_EQ(static_cast<IOleCommandTarget*>(browser)->Release(), count - 1);
    unknown->Release();
    again->Release();
    struct Part
    {
        const char* name;
        IID iid;
        void* expected;
    };
    const Part parts[] = {
        {"IDocHostUIHandler", IID_IDocHostUIHandler, static_cast<IDocHostUIHandler*>(browser)},
        {"IDispatch", IID_IDispatch, static_cast<IDispatch*>(browser)},
        {"IServiceProvider", IID_IServiceProvider, static_cast<IServiceProvider*>(browser)},
        {"IOleCommandTarget", IID_IOleCommandTarget, static_cast<IOleCommandTarget*>(browser)},
        {"IOleObject", IID_IOleObject, nullptr},
    };
    for (const Part& p : parts) {
        void* part = reinterpret_cast<void*>(1);
        EXPECT_EQ(browser->QueryInterface(p.iid, &part), p.expected != nullptr ? S_OK : E_NOINTERFACE) << p.name;
        EXPECT_EQ(part, p.expected) << p.name;
        if (part != nullptr)
            static_cast<IUnknown*>(part)->Release();
    }

    IDispatch* external = nullptr;
    LPWSTR translated = reinterpret_cast<LPWSTR>(1);
    IDataObject* filtered = reinterpret_cast<IDataObject*>(1);
    UINT typeInfos = 9;
    DISPPARAMS none = {};
    MSG key = {nullptr, WM_KEYDOWN, 'A', 0};
    struct Answer
    {
        const char* call;
        HRESULT got;
        HRESULT expected;
    };
    const Answer answers[] = {
        {"ShowContextMenu", browser->ShowContextMenu(0, nullptr, nullptr, nullptr), S_FALSE},
        {"GetHostInfo", browser->GetHostInfo(nullptr), E_NOTIMPL},
        {"ShowUI", browser->ShowUI(0, nullptr, nullptr, nullptr, nullptr), S_OK},
        {"HideUI", browser->HideUI(), S_OK},
        {"UpdateUI", browser->UpdateUI(), S_OK},
        {"EnableModeless", browser->EnableModeless(TRUE), E_NOTIMPL},
        {"ResizeBorder", browser->ResizeBorder(nullptr, nullptr, FALSE), E_NOTIMPL},
        {"doc TranslateAccelerator", browser->TranslateAccelerator(&key, nullptr, 0), S_FALSE},
        {"GetDropTarget", browser->GetDropTarget(nullptr, nullptr), S_FALSE},
        {"GetExternal(null)", browser->GetExternal(nullptr), E_POINTER},
        {"GetExternal", browser->GetExternal(&external), S_OK},
        {"TranslateUrl", browser->TranslateUrl(0, nullptr, &translated), E_NOTIMPL},
        {"TranslateUrl(null)", browser->TranslateUrl(0, nullptr, nullptr), E_NOTIMPL},
        {"FilterDataObject", browser->FilterDataObject(nullptr, &filtered), E_NOTIMPL},
        {"QueryStatus", browser->QueryStatus(nullptr, 0, nullptr, nullptr), OLECMDERR_E_NOTSUPPORTED},
        {"Exec no group", browser->Exec(nullptr, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, nullptr),
         OLECMDERR_E_UNKNOWNGROUP},
        {"Exec other group", browser->Exec(&IID_IUnknown, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, nullptr),
         OLECMDERR_E_UNKNOWNGROUP},
        {"Exec other command", browser->Exec(&kCgidDocHostCommandHandler, OLECMDID_PRINT, 0, nullptr, nullptr),
         OLECMDERR_E_NOTSUPPORTED},
        {"GetTypeInfoCount", browser->GetTypeInfoCount(&typeInfos), E_NOTIMPL},
        {"GetIDsOfNames", browser->GetIDsOfNames(IID_NULL, nullptr, 0, 0, nullptr), E_NOTIMPL},
        {"Invoke other iid",
         browser->Invoke(DISPID_NAVIGATECOMPLETE2, IID_IUnknown, 0, 0, &none, nullptr, nullptr, nullptr), E_INVALIDARG},
        {"Invoke before navigate",
         browser->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, 0, &none, nullptr, nullptr, nullptr), S_OK},
        {"Invoke new window", browser->Invoke(DISPID_NEWWINDOW3, IID_NULL, 0, 0, &none, nullptr, nullptr, nullptr),
         S_OK},
        {"Invoke unknown", browser->Invoke(9999, IID_NULL, 0, 0, &none, nullptr, nullptr, nullptr),
         DISP_E_MEMBERNOTFOUND},
    };
    for (const Answer& a : answers)
        EXPECT_EQ(a.got, a.expected) << a.call;
    EXPECT_EQ(external, static_cast<IDispatch*>(browser));
    EXPECT_EQ(translated, nullptr);
    EXPECT_EQ(filtered, nullptr);
    EXPECT_EQ(typeInfos, 0u);
    if (external != nullptr)
        external->Release();
}

// A new class id releases the first browser (events, translator, object)
// before the next is made; after a failed creation nothing of the old one
// is used.
TEST_F(StandInBrowser, CreatingAgainReleasesTheFirstBrowserAndAFailedOneLeavesNone)
{
    const LONG live = library.LiveObjects();
    library.Clear();
    ASSERT_TRUE(browser->SetClassIdText(TestActiveX::kBrowserClsid));
    browser->SetPos(kBrowserPos);
    const Lines calls = library.Calls(L"browser:");
    ASSERT_GE(calls.size(), 5u);
    EXPECT_EQ(Lines(calls.begin(), calls.begin() + 5),
              (Lines{L"browser:Unadvise(77)", L"browser:SetSite(null)", L"browser:Close(1)",
                     L"browser:SetClientSite(null)", L"browser:DllGetClassObject"}));
    EXPECT_EQ(library.LiveObjects(), live);
    ASSERT_NE(browser->GetWebBrowser(), nullptr);

    library.Clear();
    ASSERT_TRUE(browser->SetClassIdText(L"{6C1A00FF-5E2B-4C71-9A31-0C4D1E7A0F01}"));
    browser->SetPos(kBrowserPos);
    EXPECT_EQ(library.LiveObjects(), live - 1);
    EXPECT_EQ(browser->GetWebBrowser(), nullptr);
    EXPECT_EQ(browser->GetNativeWindow(), nullptr);
    MSG key = {window->GetWindowHandle(), WM_KEYDOWN, 'A', 0};
    EXPECT_EQ(browser->TranslateAccelerator(&key), E_NOTIMPL);
    browser->Navigate(kHomePage);
    EXPECT_EQ(library.Calls(L"browser:Navigate2"), Lines{});

    // A released browser is made again at the next layout.
    ASSERT_TRUE(browser->SetClassIdText(TestActiveX::kBrowserClsid));
    browser->SetPos(kBrowserPos);
    ASSERT_NE(browser->GetWebBrowser(), nullptr);
    library.Clear();
    browser->ReleaseControl();
    EXPECT_FALSE(browser->IsCreated());
    EXPECT_EQ(browser->GetWebBrowser(), nullptr);
    EXPECT_EQ(library.LiveObjects(), live - 1);
    browser->SetPos(kBrowserPos);
    EXPECT_EQ(library.Calls(L"browser:DllGetClassObject").size(), 1u);
    EXPECT_NE(browser->GetWebBrowser(), nullptr);
}

// Destruction disconnects the events and the translator and lets go of the
// browser before the host closes and releases the object.
TEST_F(StandInBrowser, DestructionUnadvisesThenReleasesTheBrowser)
{
    library.Clear();
    window.reset();
    const Lines calls = library.Calls(L"browser:");
    ASSERT_EQ(calls.size(), 8u);
    for (size_t first : {size_t{0}, size_t{4}}) {
        EXPECT_EQ(Lines(calls.begin() + first, calls.begin() + first + 4),
                  (Lines{L"browser:Unadvise(77)", L"browser:SetSite(null)", L"browser:Close(1)",
                         L"browser:SetClientSite(null)"}));
    }
    EXPECT_EQ(library.LiveObjects(), 0);
    EXPECT_EQ(library.Find<TestActiveX::BrowserSinkProc>(TestActiveX::kBrowserSink)(), nullptr);
}

// Under Wine the platform's browser is made at the first layout, windowed,
// with its events and translator, navigating nothing.
TEST(PlatformBrowser, IsCreatedAtTheFirstLayoutWindowedAndNavigatesNothing)
{
    TestActiveXLibrary library;
    ActiveXTestWindow window(library);
    window.Load(L"<WebBrowser name=\"web\" float=\"true\" pos=\"10,10,390,290\" />");
    auto* web = window.Find<CWebBrowserUI>(L"web", L"WebBrowser");
    ASSERT_NE(web, nullptr);
    EXPECT_TRUE(web->IsCreated());
    IWebBrowser2* platform = nullptr;
    if (FAILED(web->GetControl(IID_IWebBrowser2, reinterpret_cast<void**>(&platform))) || platform == nullptr)
        GTEST_SKIP() << "this Wine prefix cannot create the platform's web browser control";
    ASSERT_EQ(web->GetWebBrowser(), platform);
    WCHAR name[32] = {};
    GetClassNameW(web->GetNativeWindow(), name, 32);
    EXPECT_STREQ(name, L"ActiveXWnd");
    // Seen through WM_PRINT; a browser that draws nothing (no engine here)
    // shows a blank page.
    window.Paint();
    EXPECT_EQ(window.Pixel(200, 150), Rgb(GetSysColor(COLOR_WINDOW)));
    BSTR location = nullptr;
    if (SUCCEEDED(platform->get_LocationURL(&location)) && location != nullptr) {
        EXPECT_EQ(SysStringLen(location), 0u);
        SysFreeString(location);
    }
    platform->Release();
    // Its events were connected: they disconnect.
    EXPECT_EQ(web->ConnectEventSink(false), S_OK);
}
