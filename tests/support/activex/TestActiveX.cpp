// The test library of OLE controls (see TestActiveX.h): one object class
// whose kind chooses what it asks and answers, a stand-in web browser on
// top of it, and the stand-in HTML document, window and event object that
// the browser's tests reach.

#include "TestActiveX.h"

#include <ocidl.h>
#include <olectl.h>
#include <windows.h>

#include <string>
#include <vector>

#include "ActiveXStubs.h"

namespace {

using namespace TestActiveX;

// In no import library of the toolchain.
constexpr IID kIidCustomDoc = {0x3050F3F0, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

// ---- Log and library state ------------------------------------------------------------------

std::wstring& Log()
{
    static std::wstring log;
    return log;
}

std::wstring& LogCopy()
{
    static std::wstring copy;
    return copy;
}

void Record(const wchar_t* kind, const std::wstring& call) { Log() += std::wstring(kind) + L":" + call + L"\n"; }

LONG g_liveObjects = 0;
IDispatch* g_browserSink = nullptr;
IUnknown* g_documentUIHandler = nullptr;
HMODULE g_module = nullptr;

std::wstring Hex(unsigned long long value)
{
    wchar_t text[32];
    wsprintfW(text, L"0x%X", static_cast<unsigned>(value));
    return text;
}

std::wstring RectText(const RECT& rc)
{
    return std::to_wstring(rc.left) + L"," + std::to_wstring(rc.top) + L"," + std::to_wstring(rc.right) + L"," +
           std::to_wstring(rc.bottom);
}

template <class T>
void ReleaseAndClear(T*& pointer)
{
    if (pointer != nullptr)
        pointer->Release();
    pointer = nullptr;
}

// ---- Kinds ----------------------------------------------------------------------------------

enum class Kind
{
    Windowless,
    Windowed,
    NoWindowless,
    Invisible,
    SiteFirst,
    FailInit,
    Browser,
};

struct KindInfo
{
    Kind kind;
    const wchar_t* name;
    const wchar_t* clsid;
};

const KindInfo kKinds[] = {
    {Kind::Windowless, L"windowless", kWindowlessClsid},
    {Kind::Windowed, L"windowed", kWindowedClsid},
    {Kind::NoWindowless, L"nowindowless", kNoWindowlessClsid},
    {Kind::Invisible, L"invisible", kInvisibleClsid},
    {Kind::SiteFirst, L"sitefirst", kSiteFirstClsid},
    {Kind::FailInit, L"failinit", kFailInitClsid},
    {Kind::Browser, L"browser", kBrowserClsid},
};

bool AsksWindowless(Kind kind) { return kind == Kind::Windowless || kind == Kind::NoWindowless; }

// ---- The object's own child window ----------------------------------------------------------

constexpr wchar_t kChildClass[] = L"TestActiveXChild";

LRESULT CALLBACK ChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_MOUSEWHEEL:
        Record(L"child", Hex(message));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
        PAINTSTRUCT ps = {};
        HDC dc = message == WM_PAINT ? BeginPaint(hwnd, &ps) : reinterpret_cast<HDC>(wParam);
        RECT rc;
        GetClientRect(hwnd, &rc);
        HBRUSH brush = CreateSolidBrush(kWindowedColor);
        FillRect(dc, &rc, brush);
        DeleteObject(brush);
        if (message == WM_PAINT)
            EndPaint(hwnd, &ps);
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void RegisterChildClass()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ChildProc;
    wc.hInstance = g_module;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kChildClass;
    RegisterClassW(&wc);
}

// ---- The control --------------------------------------------------------------------------

class TestControl : public IOleObject,
                    public IOleInPlaceObjectWindowless,
                    public IOleInPlaceActiveObject,
                    public IViewObjectEx,
                    public IPersistStreamInit,
                    public IObjectWithSite
{
public:
    explicit TestControl(const KindInfo& info) : m_info(info) { InterlockedIncrement(&g_liveObjects); }
    TestControl(const TestControl&) = delete;
    TestControl& operator=(const TestControl&) = delete;

    virtual ~TestControl()
    {
        DestroyChild();
        ReleaseAndClear(m_site);
        ReleaseAndClear(m_objectSite);
        InterlockedDecrement(&g_liveObjects);
    }

    void Note(const std::wstring& call) { Record(m_info.name, call); }

    // ---- IUnknown
    STDMETHOD(QueryInterface)(REFIID iid, void** out) override
    {
        if (out == nullptr)
            return E_POINTER;
        *out = Answer(iid);
        if (*out == nullptr)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override { return static_cast<ULONG>(InterlockedIncrement(&m_refCount)); }
    STDMETHOD_(ULONG, Release)() override
    {
        const LONG count = InterlockedDecrement(&m_refCount);
        if (count == 0)
            delete this;
        return static_cast<ULONG>(count);
    }

    // ---- IOleObject
    STDMETHOD(SetClientSite)(IOleClientSite* site) override
    {
        Note(site != nullptr ? L"SetClientSite(site)" : L"SetClientSite(null)");
        if (site != nullptr)
            site->AddRef();
        ReleaseAndClear(m_site);
        m_site = site;
        return S_OK;
    }
    STDMETHOD(GetClientSite)(IOleClientSite** site) override
    {
        *site = m_site;
        if (m_site != nullptr)
            m_site->AddRef();
        return m_site != nullptr ? S_OK : E_FAIL;
    }
    STDMETHOD(SetHostNames)(LPCOLESTR app, LPCOLESTR object) override
    {
        Note(std::wstring(L"SetHostNames(") + (app != nullptr ? app : L"null") + L"," +
             (object != nullptr ? object : L"null") + L")");
        return S_OK;
    }
    STDMETHOD(Close)(DWORD option) override
    {
        Note(L"Close(" + std::to_wstring(option) + L")");
        DestroyChild();
        return S_OK;
    }
    STDMETHOD(SetMoniker)(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHOD(GetMoniker)(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHOD(InitFromData)(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetClipboardData)(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHOD(DoVerb)(LONG verb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT pos) override
    {
        Note(L"DoVerb(" + std::to_wstring(verb) + L"," + (pos != nullptr ? RectText(*pos) : L"null") + L")");
        if (verb == OLEIVERB_INPLACEACTIVATE)
            return m_inPlace ? S_OK : ActivateInPlace();
        if (verb == OLEIVERB_UIACTIVATE && m_site != nullptr) {
            IOleInPlaceSite* site = nullptr;
            if (SUCCEEDED(m_site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&site)))) {
                site->OnUIActivate();
                site->Release();
            }
        }
        return S_OK;
    }
    STDMETHOD(EnumVerbs)(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHOD(Update)() override { return S_OK; }
    STDMETHOD(IsUpToDate)() override { return S_OK; }
    STDMETHOD(GetUserClassID)(CLSID*) override { return E_NOTIMPL; }
    STDMETHOD(GetUserType)(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHOD(SetExtent)(DWORD aspect, SIZEL* size) override
    {
        Note(L"SetExtent(" + std::to_wstring(aspect) + L"," + std::to_wstring(size->cx) + L"," +
             std::to_wstring(size->cy) + L")");
        return S_OK;
    }
    STDMETHOD(GetExtent)(DWORD, SIZEL*) override { return E_NOTIMPL; }
    STDMETHOD(Advise)(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHOD(Unadvise)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(EnumAdvise)(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHOD(GetMiscStatus)(DWORD, DWORD* status) override
    {
        *status = OLEMISC_RECOMPOSEONRESIZE;
        if (m_info.kind == Kind::Invisible)
            *status |= OLEMISC_INVISIBLEATRUNTIME;
        if (m_info.kind == Kind::SiteFirst)
            *status |= OLEMISC_SETCLIENTSITEFIRST;
        return S_OK;
    }
    STDMETHOD(SetColorScheme)(LOGPALETTE*) override { return E_NOTIMPL; }

    // ---- IOleWindow (of the in-place object and the active object)
    STDMETHOD(GetWindow)(HWND* window) override
    {
        *window = m_child;
        return m_child != nullptr ? S_OK : E_FAIL;
    }
    STDMETHOD(ContextSensitiveHelp)(BOOL) override { return S_OK; }

    // ---- IOleInPlaceObject
    STDMETHOD(InPlaceDeactivate)() override
    {
        Note(L"InPlaceDeactivate");
        return S_OK;
    }
    STDMETHOD(UIDeactivate)() override { return S_OK; }
    STDMETHOD(SetObjectRects)(LPCRECT pos, LPCRECT) override
    {
        Note(L"SetObjectRects(" + RectText(*pos) + L")");
        m_pos = *pos;
        if (m_child != nullptr)
            MoveWindow(m_child, 0, 0, pos->right - pos->left, pos->bottom - pos->top, TRUE);
        return S_OK;
    }
    STDMETHOD(ReactivateAndUndo)() override { return E_NOTIMPL; }

    // ---- IOleInPlaceObjectWindowless
    STDMETHOD(OnWindowMessage)(UINT message, WPARAM, LPARAM lParam, LRESULT* result) override
    {
        Note(L"OnWindowMessage(" + Hex(message) + L"," + std::to_wstring(static_cast<short>(LOWORD(lParam))) + L"," +
             std::to_wstring(static_cast<short>(HIWORD(lParam))) + L")");
        *result = 0;
        IOleInPlaceSiteWindowless* site = WindowlessSite();
        if (site != nullptr) {
            if (message == WM_LBUTTONDOWN)
                site->SetCapture(TRUE);
            else if (message == WM_LBUTTONUP)
                site->SetCapture(FALSE);
            site->Release();
        }
        return S_OK;
    }
    STDMETHOD(GetDropTarget)(IDropTarget** target) override
    {
        *target = nullptr;
        return E_NOTIMPL;
    }

    // ---- IOleInPlaceActiveObject
    STDMETHOD(TranslateAccelerator)(LPMSG message) override
    {
        Note(L"TranslateAccelerator(" + Hex(message->message) + L")");
        return S_OK;
    }
    STDMETHOD(OnFrameWindowActivate)(BOOL) override { return S_OK; }
    STDMETHOD(OnDocWindowActivate)(BOOL) override { return S_OK; }
    STDMETHOD(ResizeBorder)(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHOD(EnableModeless)(BOOL) override { return S_OK; }

    // ---- IViewObject, IViewObject2, IViewObjectEx
    STDMETHOD(Draw)
    (DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
     BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override
    {
        if (bounds == nullptr || dc == nullptr)
            return E_INVALIDARG;
        const RECT rc = {bounds->left, bounds->top, bounds->right, bounds->bottom};
        Note(L"Draw(" + std::to_wstring(aspect) + L"," + RectText(rc) + L")");
        const bool windowless = m_info.kind == Kind::Windowless;
        HBRUSH brush = CreateSolidBrush(windowless ? kWindowlessColor : kWindowedColor);
        FillRect(dc, &rc, brush);
        DeleteObject(brush);
        DrawKind(dc, rc, windowless);
        return S_OK;
    }
    STDMETHOD(GetColorSet)(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override { return E_NOTIMPL; }
    STDMETHOD(Freeze)(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    STDMETHOD(Unfreeze)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(SetAdvise)(DWORD, DWORD, IAdviseSink*) override { return E_NOTIMPL; }
    STDMETHOD(GetAdvise)(DWORD*, DWORD*, IAdviseSink**) override { return E_NOTIMPL; }
    STDMETHOD(GetExtent)(DWORD, LONG, DVTARGETDEVICE*, LPSIZEL) override { return E_NOTIMPL; }
    STDMETHOD(GetRect)(DWORD, LPRECTL) override { return E_NOTIMPL; }
    STDMETHOD(GetViewStatus)(DWORD* status) override
    {
        *status = VIEWSTATUS_OPAQUE;
        return S_OK;
    }
    // A hit within the bounds, except their right quarter.
    STDMETHOD(QueryHitPoint)(DWORD, LPCRECT bounds, POINT pt, LONG, DWORD* result) override
    {
        RECT live = *bounds;
        live.right -= (live.right - live.left) / 4;
        *result = PtInRect(&live, pt) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
        return S_OK;
    }
    STDMETHOD(QueryHitRect)(DWORD, LPCRECT, LPCRECT, LONG, DWORD*) override { return E_NOTIMPL; }
    STDMETHOD(GetNaturalExtent)(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL) override
    {
        return E_NOTIMPL;
    }

    // ---- IPersistStreamInit
    STDMETHOD(GetClassID)(CLSID* clsid) override { return CLSIDFromString(m_info.clsid, clsid); }
    STDMETHOD(IsDirty)() override { return S_FALSE; }
    STDMETHOD(Load)(LPSTREAM) override { return E_NOTIMPL; }
    STDMETHOD(Save)(LPSTREAM, BOOL) override { return E_NOTIMPL; }
    STDMETHOD(GetSizeMax)(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHOD(InitNew)() override
    {
        Note(L"InitNew");
        return m_info.kind == Kind::FailInit ? E_FAIL : S_OK;
    }

    // ---- IObjectWithSite
    STDMETHOD(SetSite)(IUnknown* site) override
    {
        Note(site != nullptr ? L"SetSite(site)" : L"SetSite(null)");
        if (site != nullptr)
            site->AddRef();
        ReleaseAndClear(m_objectSite);
        m_objectSite = site;
        return S_OK;
    }
    STDMETHOD(GetSite)(REFIID iid, void** site) override
    {
        if (m_objectSite == nullptr) {
            *site = nullptr;
            return E_FAIL;
        }
        return m_objectSite->QueryInterface(iid, site);
    }

protected:
    virtual void* Answer(REFIID iid)
    {
        if (iid == IID_IUnknown || iid == IID_IOleObject || iid == IID_IOleControl)
            return static_cast<IOleObject*>(this);
        if (iid == IID_IOleInPlaceObjectWindowless && m_info.kind != Kind::NoWindowless)
            return static_cast<IOleInPlaceObjectWindowless*>(this);
        if (iid == IID_IOleInPlaceObject || iid == IID_IOleWindow)
            return static_cast<IOleInPlaceObjectWindowless*>(this);
        if (iid == IID_IOleInPlaceActiveObject)
            return static_cast<IOleInPlaceActiveObject*>(this);
        if (iid == IID_IViewObjectEx || iid == IID_IViewObject2 || iid == IID_IViewObject)
            return static_cast<IViewObjectEx*>(this);
        if (iid == IID_IPersistStreamInit || iid == IID_IPersist)
            return static_cast<IPersistStreamInit*>(this);
        if (iid == IID_IObjectWithSite)
            return static_cast<IObjectWithSite*>(this);
        return nullptr;
    }

    const KindInfo& m_info;

private:
    IOleInPlaceSiteWindowless* WindowlessSite() const
    {
        IOleInPlaceSiteWindowless* site = nullptr;
        if (m_site == nullptr ||
            FAILED(m_site->QueryInterface(IID_IOleInPlaceSiteWindowless, reinterpret_cast<void**>(&site))))
            return nullptr;
        return site;
    }

    HRESULT ActivateInPlace()
    {
        if (m_site == nullptr)
            return E_UNEXPECTED;
        IOleInPlaceSiteWindowless* site = WindowlessSite();
        if (site == nullptr)
            return E_NOINTERFACE;
        HRESULT hr = site->CanInPlaceActivate();
        if (hr == S_OK) {
            BOOL noRedraw = FALSE;
            if (AsksWindowless(m_info.kind) && site->CanWindowlessActivate() == S_OK)
                hr = site->OnInPlaceActivateEx(&noRedraw, ACTIVATE_WINDOWLESS);
            else
                hr = site->OnInPlaceActivate();
            Note(L"activated(" + Hex(static_cast<ULONG>(hr)) + L")");
        }
        if (SUCCEEDED(hr))
            hr = TakeWindowContext(site);
        if (SUCCEEDED(hr) && m_info.kind != Kind::Windowless)
            hr = MakeChild(site);
        site->Release();
        m_inPlace = SUCCEEDED(hr);
        return hr;
    }

    void DrawKind(HDC dc, RECT rc, bool windowless) const
    {
        HFONT font = CreateFontW(-14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, L"微软雅黑");
        HGDIOBJ oldFont = SelectObject(dc, font);
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        const COLORREF oldColor = SetTextColor(dc, windowless ? RGB(0x1B, 0x1F, 0x27) : RGB(0xFF, 0xFF, 0xFF));
        const wchar_t* text = windowless ? L"ActiveX 无窗口 · windowless" : L"ActiveX 窗口 · windowed";
        DrawTextW(dc, text, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SetTextColor(dc, oldColor);
        SetBkMode(dc, oldMode);
        SelectObject(dc, oldFont);
        DeleteObject(font);
    }

    HRESULT TakeWindowContext(IOleInPlaceSiteWindowless* site)
    {
        IOleInPlaceFrame* frame = nullptr;
        IOleInPlaceUIWindow* document = nullptr;
        RECT pos = {}, clip = {};
        OLEINPLACEFRAMEINFO info = {};
        info.cb = sizeof(info);
        HRESULT hr = site->GetWindowContext(&frame, &document, &pos, &clip, &info);
        if (frame != nullptr) {
            frame->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
            frame->SetActiveObject(nullptr, nullptr);
            frame->Release();
        }
        ReleaseAndClear(document);
        return hr;
    }

    HRESULT MakeChild(IOleInPlaceSiteWindowless* site)
    {
        HWND parent = nullptr;
        HRESULT hr = site->GetWindow(&parent);
        if (FAILED(hr))
            return hr;
        RECT rc = {};
        GetClientRect(parent, &rc);
        m_child = CreateWindowExW(0, kChildClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, rc.right, rc.bottom, parent,
                                  nullptr, g_module, nullptr);
        Note(L"child(" + RectText(rc) + L")");
        return m_child != nullptr ? S_OK : E_FAIL;
    }

    void DestroyChild()
    {
        if (m_child != nullptr && IsWindow(m_child))
            DestroyWindow(m_child);
        m_child = nullptr;
        m_inPlace = false;
    }

    LONG m_refCount = 0;
    IOleClientSite* m_site = nullptr;
    IUnknown* m_objectSite = nullptr;
    HWND m_child = nullptr;
    RECT m_pos = {};
    bool m_inPlace = false;
};

// ---- The stand-in HTML document and what it leads to ----------------------------------------

// Reference counting shared by the small stand-ins below.
template <class Base>
class Counted : public Base
{
public:
    STDMETHOD_(ULONG, AddRef)() override { return static_cast<ULONG>(InterlockedIncrement(&m_refCount)); }
    STDMETHOD_(ULONG, Release)() override
    {
        const LONG count = InterlockedDecrement(&m_refCount);
        if (count == 0)
            delete this;
        return static_cast<ULONG>(count);
    }
    virtual ~Counted() = default;

private:
    LONG m_refCount = 1;
};

class ScriptErrorEvent : public Counted<StubIHTMLEventObj>
{
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** out) override
    {
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IHTMLEventObj) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = this;
        AddRef();
        return S_OK;
    }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override
    {
        Record(L"event", std::wstring(L"GetIDsOfNames(") + (count > 0 ? names[0] : L"") + L"," + Hex(locale) + L")");
        if (count == 1)
            ids[0] = 1000 + static_cast<DISPID>(m_names++);
        return S_OK;
    }
    STDMETHOD(Invoke)
    (DISPID id, REFIID, LCID locale, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override
    {
        Record(L"event", L"Invoke(" + std::to_wstring(id) + L"," + Hex(flags) + L"," + Hex(locale) + L")");
        if (result != nullptr) {
            VariantInit(result);
            result->vt = VT_I4;
            result->lVal = 7;
        }
        return S_OK;
    }

private:
    int m_names = 0;
};

class ScriptErrorWindow : public Counted<StubIHTMLWindow2>
{
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** out) override
    {
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IHTMLWindow2) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = this;
        AddRef();
        return S_OK;
    }
    STDMETHOD(get_event)(IHTMLEventObj** event) override
    {
        *event = new ScriptErrorEvent;
        return S_OK;
    }
};

class StandInDocument : public Counted<StubIHTMLDocument2>, public ICustomDoc
{
public:
    ~StandInDocument() override { ReleaseAndClear(m_handler); }

    STDMETHOD(QueryInterface)(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IHTMLDocument || iid == IID_IHTMLDocument2)
            *out = static_cast<IHTMLDocument2*>(this);
        else if (iid == kIidCustomDoc)
            *out = static_cast<ICustomDoc*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override { return Counted<StubIHTMLDocument2>::AddRef(); }
    STDMETHOD_(ULONG, Release)() override { return Counted<StubIHTMLDocument2>::Release(); }

    STDMETHOD(get_parentWindow)(IHTMLWindow2** window) override
    {
        *window = new ScriptErrorWindow;
        return S_OK;
    }
    STDMETHOD(SetUIHandler)(IDocHostUIHandler* handler) override
    {
        Record(L"document", handler != nullptr ? L"SetUIHandler(handler)" : L"SetUIHandler(null)");
        if (handler != nullptr)
            handler->AddRef();
        ReleaseAndClear(m_handler);
        m_handler = handler;
        g_documentUIHandler = handler;
        return S_OK;
    }

private:
    IDocHostUIHandler* m_handler = nullptr;
};

// ---- The stand-in web browser ---------------------------------------------------------------

class StandInBrowser : public TestControl,
                       public StubIWebBrowser2,
                       public IConnectionPointContainer,
                       public IConnectionPoint
{
public:
    explicit StandInBrowser(const KindInfo& info) : TestControl(info) {}
    ~StandInBrowser() override
    {
        ReleaseAndClear(m_sink);
        g_browserSink = nullptr;
        ReleaseAndClear(m_document);
    }

    STDMETHOD(QueryInterface)(REFIID iid, void** out) override { return TestControl::QueryInterface(iid, out); }
    STDMETHOD_(ULONG, AddRef)() override { return TestControl::AddRef(); }
    STDMETHOD_(ULONG, Release)() override { return TestControl::Release(); }

    // ---- IWebBrowser2
    STDMETHOD(Navigate2)(VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override
    {
        Note(std::wstring(L"Navigate2(") + (url != nullptr && url->vt == VT_BSTR ? url->bstrVal : L"?") + L")");
        return S_OK;
    }
    STDMETHOD(get_Document)(IDispatch** document) override
    {
        if (m_document == nullptr)
            m_document = new StandInDocument;
        *document = static_cast<IHTMLDocument2*>(m_document);
        m_document->AddRef();
        return S_OK;
    }
    STDMETHOD(put_Silent)(VARIANT_BOOL silent) override
    {
        Note(L"put_Silent(" + std::to_wstring(silent) + L")");
        return S_OK;
    }

    // ---- IConnectionPointContainer
    STDMETHOD(EnumConnectionPoints)(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    STDMETHOD(FindConnectionPoint)(REFIID iid, IConnectionPoint** point) override
    {
        if (iid != DIID_DWebBrowserEvents2) {
            *point = nullptr;
            return CONNECT_E_NOCONNECTION;
        }
        *point = this;
        AddRef();
        return S_OK;
    }

    // ---- IConnectionPoint
    STDMETHOD(GetConnectionInterface)(IID* iid) override
    {
        *iid = DIID_DWebBrowserEvents2;
        return S_OK;
    }
    STDMETHOD(GetConnectionPointContainer)(IConnectionPointContainer** container) override
    {
        *container = this;
        AddRef();
        return S_OK;
    }
    STDMETHOD(Advise)(IUnknown* sink, DWORD* cookie) override
    {
        IDispatch* dispatch = nullptr;
        if (FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
            return CONNECT_E_CANNOTCONNECT;
        Note(L"Advise");
        ReleaseAndClear(m_sink);
        m_sink = dispatch;
        g_browserSink = dispatch;
        *cookie = 77;
        return S_OK;
    }
    STDMETHOD(Unadvise)(DWORD cookie) override
    {
        Note(L"Unadvise(" + std::to_wstring(cookie) + L")");
        if (cookie != 77 || m_sink == nullptr)
            return CONNECT_E_NOCONNECTION;
        ReleaseAndClear(m_sink);
        g_browserSink = nullptr;
        return S_OK;
    }
    STDMETHOD(EnumConnections)(IEnumConnections**) override { return E_NOTIMPL; }

protected:
    void* Answer(REFIID iid) override
    {
        if (iid == IID_IWebBrowser2 || iid == IID_IWebBrowserApp || iid == IID_IWebBrowser || iid == IID_IDispatch)
            return static_cast<IWebBrowser2*>(this);
        if (iid == IID_IConnectionPointContainer)
            return static_cast<IConnectionPointContainer*>(this);
        if (iid == IID_IConnectionPoint)
            return static_cast<IConnectionPoint*>(this);
        // The browser is always windowed.
        if (iid == IID_IOleInPlaceObjectWindowless)
            return nullptr;
        return TestControl::Answer(iid);
    }

private:
    IDispatch* m_sink = nullptr;
    StandInDocument* m_document = nullptr;
};

// ---- The class factory ----------------------------------------------------------------------

class Factory : public IClassFactory
{
public:
    explicit Factory(const KindInfo& info) : m_info(info) {}

    STDMETHOD(QueryInterface)(REFIID iid, void** out) override
    {
        if (iid != IID_IUnknown && iid != IID_IClassFactory) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = this;
        AddRef();
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override { return static_cast<ULONG>(InterlockedIncrement(&m_refCount)); }
    STDMETHOD_(ULONG, Release)() override
    {
        const LONG count = InterlockedDecrement(&m_refCount);
        if (count == 0)
            delete this;
        return static_cast<ULONG>(count);
    }
    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID iid, void** out) override
    {
        *out = nullptr;
        if (outer != nullptr)
            return CLASS_E_NOAGGREGATION;
        TestControl* object = m_info.kind == Kind::Browser ? new StandInBrowser(m_info) : new TestControl(m_info);
        object->AddRef();
        const HRESULT hr = object->QueryInterface(iid, out);
        object->Release();
        return hr;
    }
    STDMETHOD(LockServer)(BOOL) override { return S_OK; }

private:
    virtual ~Factory() = default;
    LONG m_refCount = 1;
    const KindInfo& m_info;
};

}  // namespace

// ---- Exports --------------------------------------------------------------------------------

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        RegisterChildClass();
    }
    return TRUE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    *out = nullptr;
    for (const KindInfo& info : kKinds) {
        CLSID known = {};
        CLSIDFromString(info.clsid, &known);
        if (!IsEqualCLSID(known, clsid))
            continue;
        Record(info.name, L"DllGetClassObject");
        auto* factory = new Factory(info);
        const HRESULT hr = factory->QueryInterface(iid, out);
        factory->Release();
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

__declspec(dllexport) const wchar_t* TestActiveXCalls()
{
    LogCopy() = Log();
    return LogCopy().c_str();
}

__declspec(dllexport) void TestActiveXClearCalls() { Log().clear(); }

__declspec(dllexport) void TestActiveXNote(const wchar_t* text) { Record(L"note", text); }

__declspec(dllexport) LONG TestActiveXLiveObjects() { return g_liveObjects; }

__declspec(dllexport) IDispatch* TestActiveXBrowserSink() { return g_browserSink; }

__declspec(dllexport) IUnknown* TestActiveXDocumentUIHandler() { return g_documentUIHandler; }

__declspec(dllexport) IUnknown* TestActiveXNewScriptErrorDocument()
{
    return static_cast<IHTMLDocument2*>(new StandInDocument);
}

}  // extern "C"
