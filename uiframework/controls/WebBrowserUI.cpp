// The web browser control: creation and release around the ActiveX host,
// and the document host's answers to the browser.

#include "controls/WebBrowserUI.h"

#include <exdispid.h>
#include <mshtml.h>

#include <cwchar>

#include "core/AttributeValues.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

// In no import library of the toolchain.
constexpr CLSID kClsidWebBrowser = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
constexpr IID kIidDownloadManager = {0x988934A4, 0x064B, 0x11D3, {0xBB, 0x80, 0x00, 0x10, 0x4B, 0x35, 0xE7, 0xF9}};
constexpr GUID kCgidDocHostCommandHandler = {
    0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};
constexpr IID kIidCustomDoc = {0x3050F3F0, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
constexpr IID kDiidWebBrowserEvents2 = {0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};

constexpr DWORD kShowScriptError = 40;  // OLECMDID_SHOWSCRIPTERROR
constexpr LCID kSystemDefaultLocale = 0x800;

// What a script error tells; read so that the event is consumed, not shown.
constexpr LPCWSTR kScriptErrorProperties[] = {L"errorLine", L"errorCharacter", L"errorCode", L"errorMessage",
                                              L"errorUrl"};

template <class T>
void ReleaseAndClear(T*& pointer)
{
    if (pointer != nullptr)
        pointer->Release();
    pointer = nullptr;
}

HRESULT ReadProperty(IDispatch* object, LPCWSTR name)
{
    DISPID id = DISPID_UNKNOWN;
    auto* writableName = const_cast<LPOLESTR>(name);
    HRESULT hr = object->GetIDsOfNames(IID_NULL, &writableName, 1, kSystemDefaultLocale, &id);
    if (FAILED(hr))
        return hr;
    DISPPARAMS none = {};
    VARIANT value;
    VariantInit(&value);
    hr = object->Invoke(id, IID_NULL, kSystemDefaultLocale, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr);
    VariantClear(&value);
    return hr;
}

}  // namespace

CWebBrowserUI::CWebBrowserUI() { SetClassId(kClsidWebBrowser); }

CWebBrowserUI::~CWebBrowserUI() { CWebBrowserUI::ReleaseControl(); }

LPCWSTR CWebBrowserUI::GetClass() const { return L"WebBrowser"; }

void* CWebBrowserUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, L"WebBrowser") == 0)
        return this;
    return CActiveXUI::GetInterface(name);
}

void CWebBrowserUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    if (std::wcscmp(name, L"homepage") == 0)
        SetHomePage(value);
    else if (std::wcscmp(name, L"autonavi") == 0)
        SetAutoNavigate(IsTrueValue(value));
    else
        CActiveXUI::SetAttribute(name, value);
}

void CWebBrowserUI::SetHomePage(LPCWSTR url) { m_homePage = url != nullptr ? url : L""; }
void CWebBrowserUI::SetAutoNavigate(bool autoNavigate) { m_autoNavigate = autoNavigate; }

// ---- Creation and release -------------------------------------------------------------------

bool CWebBrowserUI::CreateControl()
{
    if (!CActiveXUI::CreateControl())
        return false;
    if (m_manager != nullptr && m_manager->AddAcceleratorTranslator(this))
        m_translatorJoined = true;
    GetControl(IID_IWebBrowser2, reinterpret_cast<void**>(&m_browser));
    if (m_autoNavigate && !m_homePage.IsEmpty())
        Navigate(m_homePage.GetData());
    ConnectEventSink(true);
    if (m_browser != nullptr)
        m_browser->put_Silent(VARIANT_FALSE);
    return true;
}

void CWebBrowserUI::ReleaseControl()
{
    ForgetCreation();
    if (m_eventCookie != 0)
        ConnectEventSink(false);
    if (m_translatorJoined && m_manager != nullptr)
        m_manager->RemoveAcceleratorTranslator(this);
    m_translatorJoined = false;
    ReleaseAndClear(m_browser);
    // The browser goes before the hosted object it came from.
    CActiveXUI::ReleaseControl();
}

void CWebBrowserUI::Navigate(LPCWSTR url)
{
    if (url == nullptr || url[0] == L'\0' || m_browser == nullptr)
        return;
    VARIANT target;
    VariantInit(&target);
    target.vt = VT_BSTR;
    target.bstrVal = SysAllocString(url);
    if (target.bstrVal != nullptr)
        m_browser->Navigate2(&target, nullptr, nullptr, nullptr, nullptr);
    VariantClear(&target);
}

HRESULT CWebBrowserUI::ConnectEventSink(bool connect)
{
    IWebBrowser2* browser = nullptr;
    HRESULT hr = GetControl(IID_IWebBrowser2, reinterpret_cast<void**>(&browser));
    if (FAILED(hr) || browser == nullptr)
        return FAILED(hr) ? hr : E_NOINTERFACE;
    IConnectionPointContainer* container = nullptr;
    hr = browser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    browser->Release();
    if (FAILED(hr) || container == nullptr)
        return FAILED(hr) ? hr : E_NOINTERFACE;
    IConnectionPoint* point = nullptr;
    hr = container->FindConnectionPoint(kDiidWebBrowserEvents2, &point);
    container->Release();
    if (FAILED(hr) || point == nullptr)
        return FAILED(hr) ? hr : E_NOINTERFACE;
    if (connect) {
        hr = point->Advise(static_cast<IDispatch*>(this), &m_eventCookie);
        if (FAILED(hr))
            m_eventCookie = 0;
    } else {
        hr = point->Unadvise(m_eventCookie);
        m_eventCookie = 0;
    }
    point->Release();
    return hr;
}

// ---- IUnknown -------------------------------------------------------------------------------

STDMETHODIMP CWebBrowserUI::QueryInterface(REFIID iid, void** out)
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    // COM identity: IUnknown is always the same part.
    if (iid == IID_IUnknown || iid == IID_IDocHostUIHandler)
        *out = static_cast<IDocHostUIHandler*>(this);
    else if (iid == IID_IDispatch)
        *out = static_cast<IDispatch*>(this);
    else if (iid == IID_IServiceProvider)
        *out = static_cast<IServiceProvider*>(this);
    else if (iid == IID_IOleCommandTarget)
        *out = static_cast<IOleCommandTarget*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CWebBrowserUI::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_refCount)); }
STDMETHODIMP_(ULONG) CWebBrowserUI::Release() { return static_cast<ULONG>(InterlockedDecrement(&m_refCount)); }

// ---- IDocHostUIHandler ----------------------------------------------------------------------

STDMETHODIMP CWebBrowserUI::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) { return S_FALSE; }
STDMETHODIMP CWebBrowserUI::GetHostInfo(DOCHOSTUIINFO*) { return E_NOTIMPL; }

STDMETHODIMP CWebBrowserUI::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                   IOleInPlaceUIWindow*)
{
    return S_OK;
}

STDMETHODIMP CWebBrowserUI::HideUI() { return S_OK; }
STDMETHODIMP CWebBrowserUI::UpdateUI() { return S_OK; }
STDMETHODIMP CWebBrowserUI::EnableModeless(BOOL) { return E_NOTIMPL; }
STDMETHODIMP CWebBrowserUI::OnDocWindowActivate(BOOL) { return E_NOTIMPL; }
STDMETHODIMP CWebBrowserUI::OnFrameWindowActivate(BOOL) { return E_NOTIMPL; }
STDMETHODIMP CWebBrowserUI::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return E_NOTIMPL; }
STDMETHODIMP CWebBrowserUI::TranslateAccelerator(LPMSG, const GUID*, DWORD) { return S_FALSE; }

STDMETHODIMP CWebBrowserUI::GetOptionKeyPath(LPOLESTR* key, DWORD)
{
    if (key != nullptr)
        *key = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::GetDropTarget(IDropTarget*, IDropTarget** own)
{
    if (own != nullptr)
        *own = nullptr;
    return S_FALSE;
}

STDMETHODIMP CWebBrowserUI::GetExternal(IDispatch** external)
{
    if (external == nullptr)
        return E_POINTER;
    *external = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP CWebBrowserUI::TranslateUrl(DWORD, LPWSTR, LPWSTR* translated)
{
    if (translated != nullptr)
        *translated = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::FilterDataObject(IDataObject*, IDataObject** filtered)
{
    if (filtered != nullptr)
        *filtered = nullptr;
    return E_NOTIMPL;
}

// ---- IServiceProvider and IDownloadManager --------------------------------------------------

STDMETHODIMP CWebBrowserUI::QueryService(REFGUID service, REFIID iid, void** out)
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (service != kIidDownloadManager || iid != kIidDownloadManager)
        return E_NOINTERFACE;
    *out = static_cast<IDownloadManager*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP CWebBrowserUI::Download(IMoniker*, IBindCtx*, DWORD, LONG, BINDINFO*, LPCOLESTR, LPCOLESTR, UINT)
{
    return S_OK;
}

// ---- IOleCommandTarget ----------------------------------------------------------------------

STDMETHODIMP CWebBrowserUI::QueryStatus(const GUID*, ULONG, OLECMD*, OLECMDTEXT*) { return OLECMDERR_E_NOTSUPPORTED; }

STDMETHODIMP CWebBrowserUI::Exec(const GUID* group, DWORD id, DWORD, VARIANT* in, VARIANT* out)
{
    if (group == nullptr || *group != kCgidDocHostCommandHandler)
        return OLECMDERR_E_UNKNOWNGROUP;
    if (id != kShowScriptError)
        return OLECMDERR_E_NOTSUPPORTED;
    const HRESULT hr = ReadScriptError(in);
    if (out != nullptr) {
        VariantClear(out);
        out->vt = VT_BOOL;
        out->boolVal = VARIANT_TRUE;  // go on running the page's scripts
    }
    return hr;
}

HRESULT CWebBrowserUI::ReadScriptError(VARIANT* in)
{
    if (in == nullptr)
        return E_POINTER;
    if ((in->vt != VT_UNKNOWN && in->vt != VT_DISPATCH) || in->punkVal == nullptr)
        return E_UNEXPECTED;
    IHTMLDocument2* document = nullptr;
    HRESULT hr = in->punkVal->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&document));
    if (FAILED(hr) || document == nullptr)
        return FAILED(hr) ? hr : E_UNEXPECTED;
    IHTMLWindow2* window = nullptr;
    hr = document->get_parentWindow(&window);
    document->Release();
    if (FAILED(hr) || window == nullptr)
        return FAILED(hr) ? hr : E_UNEXPECTED;
    IHTMLEventObj* event = nullptr;
    hr = window->get_event(&event);
    window->Release();
    if (FAILED(hr) || event == nullptr)
        return FAILED(hr) ? hr : E_UNEXPECTED;
    for (LPCWSTR name : kScriptErrorProperties)
        hr = ReadProperty(event, name);
    event->Release();
    return hr;
}

// ---- IDispatch ------------------------------------------------------------------------------

STDMETHODIMP CWebBrowserUI::GetTypeInfoCount(UINT* count)
{
    if (count != nullptr)
        *count = 0;
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info != nullptr)
        *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP CWebBrowserUI::Invoke(DISPID id, REFIID iid, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
{
    if (iid != IID_NULL)
        return E_INVALIDARG;
    switch (id) {
    case DISPID_NAVIGATECOMPLETE2:
        OnNavigateComplete();
        return S_OK;
    case DISPID_STATUSTEXTCHANGE:
    case DISPID_COMMANDSTATECHANGE:
    case DISPID_BEFORENAVIGATE2:
    case DISPID_DOCUMENTCOMPLETE:
    case DISPID_WINDOWCLOSING:
    case DISPID_NAVIGATEERROR:
    case DISPID_NEWWINDOW3:
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

void CWebBrowserUI::OnNavigateComplete()
{
    if (m_browser == nullptr)
        return;
    IDispatch* document = nullptr;
    if (FAILED(m_browser->get_Document(&document)) || document == nullptr)
        return;
    ICustomDoc* custom = nullptr;
    if (SUCCEEDED(document->QueryInterface(kIidCustomDoc, reinterpret_cast<void**>(&custom))) && custom != nullptr) {
        custom->SetUIHandler(static_cast<IDocHostUIHandler*>(this));
        custom->Release();
    }
    document->Release();
}

// ---- Accelerators ---------------------------------------------------------------------------

bool CWebBrowserUI::IsFocusInHostWindow() const
{
    const HWND host = GetNativeWindow();
    if (host == nullptr)
        return false;
    for (HWND window = ::GetFocus(); window != nullptr; window = ::GetParent(window)) {
        if (window == host)
            return true;
    }
    return false;
}

LRESULT CWebBrowserUI::TranslateAccelerator(MSG* message)
{
    if (message == nullptr || message->message < WM_KEYFIRST || message->message > WM_KEYLAST)
        return S_FALSE;
    if (m_browser == nullptr)
        return E_NOTIMPL;
    if (!IsFocusInHostWindow())
        return S_FALSE;
    IOleInPlaceActiveObject* active = nullptr;
    if (FAILED(m_browser->QueryInterface(IID_IOleInPlaceActiveObject, reinterpret_cast<void**>(&active))) ||
        active == nullptr)
        return S_FALSE;
    const HRESULT hr = active->TranslateAccelerator(message);
    active->Release();
    return hr;
}

}  // namespace CalUI
