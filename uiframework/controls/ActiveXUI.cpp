// The ActiveX host: creation, release, layout, painting and the window
// messages of a windowless object.

#include "controls/ActiveXUI.h"

#include <windowsx.h>

#include <cwchar>

#include "controls/ActiveXSite.h"
#include "controls/TextHost.h"
#include "core/AttributeValues.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

// A class id text is cut to this many characters before it is read.
constexpr size_t kClassIdTextLimit = 99;
constexpr WCHAR kHostName[] = L"UIActiveX";

bool IsZeroClassId(REFCLSID clsid) { return IsEqualCLSID(clsid, CLSID_NULL) != FALSE; }

bool IsMouseMessage(UINT message) { return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST; }
bool IsKeyMessage(UINT message) { return message >= WM_KEYFIRST && message <= WM_KEYLAST; }

// HIMETRIC (hundredths of a millimetre) of a size in screen pixels.
SIZEL ScreenPixelsToHimetric(SIZE pixels)
{
    HDC screen = ::GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    SIZEL extent;
    extent.cx = CTxtWinHost::PixelsToHimetric(pixels.cx, dpiX);
    extent.cy = CTxtWinHost::PixelsToHimetric(pixels.cy, dpiY);
    return extent;
}

}  // namespace

CActiveXUI::CActiveXUI() { m_comInitialized = SUCCEEDED(CoInitialize(nullptr)); }

CActiveXUI::~CActiveXUI()
{
    // The class's own release (the web browser's included) has run in the
    // derived destructor; this one takes the object and site away.
    CActiveXUI::ReleaseControl();
    if (m_comInitialized)
        CoUninitialize();
}

LPCWSTR CActiveXUI::GetClass() const { return L"ActiveX"; }

void* CActiveXUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, L"ActiveX") == 0)
        return this;
    return CControlUI::GetInterface(name);
}

UIControlFlag CActiveXUI::GetControlFlags() const { return UIControlFlag::TabStop; }

HWND CActiveXUI::GetNativeWindow() const { return m_hostWindow; }

void CActiveXUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    if (std::wcscmp(name, L"clsid") == 0)
        SetClassIdText(value);
    else if (std::wcscmp(name, L"modulename") == 0)
        SetModuleName(value);
    else if (std::wcscmp(name, L"delaycreate") == 0)
        SetDelayCreate(IsTrueValue(value));
    else
        CControlUI::SetAttribute(name, value);
}

bool CActiveXUI::SetClassIdText(LPCWSTR text)
{
    if (text == nullptr)
        return false;
    WCHAR bounded[kClassIdTextLimit + 1] = {};
    wcsncpy(bounded, text, kClassIdTextLimit);
    CLSID clsid = CLSID_NULL;
    const HRESULT hr = bounded[0] == L'{' ? CLSIDFromString(bounded, &clsid) : CLSIDFromProgID(bounded, &clsid);
    // A failed conversion may leave a partly read id behind.
    if (FAILED(hr))
        clsid = CLSID_NULL;
    return SetClassId(clsid);
}

bool CActiveXUI::SetClassId(REFCLSID clsid)
{
    if (IsZeroClassId(clsid))
        return false;
    m_created = false;
    m_clsid = clsid;
    if (!m_delayCreate)
        CreateControl();
    return true;
}

void CActiveXUI::SetModuleName(LPCWSTR name) { m_moduleName = name != nullptr ? name : L""; }

void CActiveXUI::SetDelayCreate(bool delay)
{
    if (m_delayCreate != delay && !delay && !m_created && !IsZeroClassId(m_clsid)) {
        m_delayCreate = delay;
        CreateControl();
        return;
    }
    m_delayCreate = delay;
}

HRESULT CActiveXUI::GetControl(REFIID iid, void** out)
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (m_object == nullptr)
        return E_PENDING;
    return m_object->QueryInterface(iid, out);
}

RECT CActiveXUI::ObjectRect() const
{
    RECT rc = m_pos;
    if (m_site != nullptr && !m_site->IsWindowless())
        OffsetRect(&rc, -rc.left, -rc.top);
    return rc;
}

void CActiveXUI::JoinMessageFilter()
{
    if (m_manager == nullptr || m_filterManager == m_manager)
        return;
    LeaveMessageFilter();
    if (m_manager->AddMessageFilter(this))
        m_filterManager = m_manager;
}

void CActiveXUI::LeaveMessageFilter()
{
    if (m_filterManager != nullptr)
        m_filterManager->RemoveMessageFilter(this);
    m_filterManager = nullptr;
}

// ---- Creation and release -------------------------------------------------------------------

bool CActiveXUI::MakeObjectFromModule(IUnknown** object) const
{
    HMODULE module = LoadLibraryW(m_moduleName.GetData());
    if (module == nullptr)
        return false;
    using GetClassObjectProc = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject =
        reinterpret_cast<GetClassObjectProc>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    if (getClassObject == nullptr)
        return false;
    IClassFactory* factory = nullptr;
    if (FAILED(getClassObject(m_clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory))) || factory == nullptr)
        return false;
    HRESULT hr = factory->CreateInstance(nullptr, IID_IOleObject, reinterpret_cast<void**>(object));
    factory->Release();
    if (FAILED(hr))
        *object = nullptr;
    return *object != nullptr;
}

bool CActiveXUI::MakeObject(IUnknown** object) const
{
    *object = nullptr;
    if (!m_moduleName.IsEmpty() && MakeObjectFromModule(object))
        return true;
    HRESULT hr = CoCreateInstance(m_clsid, nullptr, CLSCTX_ALL, IID_IOleControl, reinterpret_cast<void**>(object));
    if (FAILED(hr))
        *object = nullptr;
    return *object != nullptr;
}

bool CActiveXUI::CreateControl()
{
    ReleaseControl();
    m_created = true;

    IUnknown* first = nullptr;
    if (!MakeObject(&first))
        return false;
    first->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&m_object));
    first->Release();
    if (m_object == nullptr)
        return false;

    m_site = new CActiveXCtrl;
    m_site->SetOwner(this);

    DWORD misc = 0;
    m_object->GetMiscStatus(DVASPECT_CONTENT, &misc);
    IOleClientSite* clientSite = nullptr;
    m_site->QueryInterface(IID_IOleClientSite, reinterpret_cast<void**>(&clientSite));
    const bool clientSiteFirst = (misc & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (clientSiteFirst)
        m_object->SetClientSite(clientSite);

    IPersistStreamInit* persist = nullptr;
    if (SUCCEEDED(m_object->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist))) &&
        persist != nullptr) {
        HRESULT hr = persist->InitNew();
        persist->Release();
        if (FAILED(hr)) {
            clientSite->Release();
            return false;
        }
    }
    if (!clientSiteFirst)
        m_object->SetClientSite(clientSite);

    IViewObject* view = nullptr;
    HRESULT hr = m_object->QueryInterface(IID_IViewObjectEx, reinterpret_cast<void**>(&view));
    if (FAILED(hr))
        hr = m_object->QueryInterface(IID_IViewObject2, reinterpret_cast<void**>(&view));
    if (FAILED(hr))
        hr = m_object->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view));
    if (SUCCEEDED(hr) && view != nullptr) {
        m_site->SetViewObject(view);
        view->Release();
    }

    m_object->SetHostNames(kHostName, nullptr);
    if (m_manager != nullptr)
        m_manager->SendNotify(this, L"showactivex", 0, 0, false);

    if ((misc & OLEMISC_INVISIBLEATRUNTIME) == 0) {
        const HWND paintWindow = m_manager != nullptr ? m_manager->GetPaintWindow() : nullptr;
        hr = m_object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, clientSite, 0, paintWindow, &m_pos);
    }

    IObjectWithSite* withSite = nullptr;
    if (SUCCEEDED(m_object->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&withSite))) &&
        withSite != nullptr) {
        withSite->SetSite(static_cast<IOleClientSite*>(m_site));
        withSite->Release();
    }
    clientSite->Release();
    return SUCCEEDED(hr);
}

void CActiveXUI::ReleaseControl()
{
    m_hostWindow = nullptr;
    if (m_object != nullptr) {
        IObjectWithSite* withSite = nullptr;
        if (SUCCEEDED(m_object->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&withSite))) &&
            withSite != nullptr) {
            withSite->SetSite(nullptr);
            withSite->Release();
        }
        m_object->Close(OLECLOSE_NOSAVE);
        m_object->SetClientSite(nullptr);
        m_object->Release();
        m_object = nullptr;
    }
    if (m_site != nullptr) {
        m_site->Detach();
        m_site->Release();
        m_site = nullptr;
    }
    LeaveMessageFilter();
}

// ---- Layout, visibility and painting --------------------------------------------------------

void CActiveXUI::SetPos(RECT rc, bool invalidate)
{
    CControlUI::SetPos(rc, invalidate);
    if (!m_created)
        CreateControl();
    UpdateObjectPlace();
}

void CActiveXUI::UpdateObjectPlace()
{
    if (m_object == nullptr || m_site == nullptr)
        return;
    SIZEL extent = ScreenPixelsToHimetric(SIZE{m_pos.right - m_pos.left, m_pos.bottom - m_pos.top});
    m_object->SetExtent(DVASPECT_CONTENT, &extent);
    if (IOleInPlaceObject* inPlace = m_site->GetInPlaceObject()) {
        RECT rc = ObjectRect();
        inPlace->SetObjectRects(&rc, &rc);
    }
    if (!m_site->IsWindowless() && m_site->GetWindow() != nullptr) {
        ::MoveWindow(m_site->GetWindow()->GetWindowHandle(), m_pos.left, m_pos.top, m_pos.right - m_pos.left,
                     m_pos.bottom - m_pos.top, TRUE);
    }
}

void CActiveXUI::Move(SIZE offset, bool invalidate)
{
    CControlUI::Move(offset, invalidate);
    if (m_site != nullptr && !m_site->IsWindowless() && m_site->GetWindow() != nullptr) {
        ::MoveWindow(m_site->GetWindow()->GetWindowHandle(), m_pos.left, m_pos.top, m_pos.right - m_pos.left,
                     m_pos.bottom - m_pos.top, TRUE);
    }
}

void CActiveXUI::ShowNativeWindow()
{
    if (m_site != nullptr && !m_site->IsWindowless() && m_hostWindow != nullptr)
        ::ShowWindow(m_hostWindow, IsVisible() ? SW_SHOW : SW_HIDE);
}

void CActiveXUI::SetVisible(bool show)
{
    CControlUI::SetVisible(show);
    ShowNativeWindow();
}

void CActiveXUI::SetInternVisible(bool show)
{
    CControlUI::SetInternVisible(show);
    ShowNativeWindow();
}

bool CActiveXUI::OnPaint(HDC hdc, const RECT&, CControlUI*)
{
    if (m_site == nullptr || !m_site->IsWindowless() || m_site->GetViewObject() == nullptr)
        return true;
    RECTL bounds = {m_pos.left, m_pos.top, m_pos.right, m_pos.bottom};
    m_site->GetViewObject()->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, hdc, &bounds, &bounds, nullptr, 0);
    return true;
}

// ---- Messages of a windowless object --------------------------------------------------------

LRESULT CActiveXUI::FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    if (m_site == nullptr || !m_site->IsInPlaceActive() || !m_site->IsWindowless() ||
        m_site->GetInPlaceObject() == nullptr)
        return 0;
    if (IsMouseMessage(message) && !IsMouseEnabled())
        return 0;

    bool handledAnswer = true;
    if (IsMouseMessage(message) || message == WM_SETCURSOR) {
        bool hit = m_site->IsCaptured();
        if (!hit && m_site->GetViewObject() != nullptr) {
            IViewObjectEx* viewEx = nullptr;
            if (SUCCEEDED(
                    m_site->GetViewObject()->QueryInterface(IID_IViewObjectEx, reinterpret_cast<void**>(&viewEx))) &&
                viewEx != nullptr) {
                // WM_SETCURSOR carries no point: the last mouse position stands in.
                POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                if (message == WM_SETCURSOR && m_manager != nullptr)
                    pt = m_manager->GetMousePos();
                DWORD result = HITRESULT_OUTSIDE;
                viewEx->QueryHitPoint(DVASPECT_CONTENT, &m_pos, pt, 0, &result);
                viewEx->Release();
                hit = result == HITRESULT_HIT;
            }
        }
        if (!hit)
            return 0;
        if (message == WM_SETCURSOR)
            handledAnswer = false;
        if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN) {
            if (m_manager != nullptr && !m_manager->IsNoActivate())
                ::SetFocus(m_manager->GetPaintWindow());
            SetFocus();
        }
    } else if (IsKeyMessage(message)) {
        if (!IsFocused())
            return 0;
    } else if (message == WM_HELP || message == WM_CONTEXTMENU) {
        handledAnswer = false;
    } else {
        return 0;
    }

    LRESULT result = 0;
    auto* windowless = static_cast<IOleInPlaceObjectWindowless*>(m_site->GetInPlaceObject());
    if (windowless->OnWindowMessage(message, wParam, lParam, &result) == S_OK)
        handled = handledAnswer;
    return result;
}

}  // namespace CalUI
