// The container side of a hosted OLE control: site, frame, enumerator and
// the native window of a windowed object.

#include "controls/ActiveXSite.h"

#include <new>

#include "controls/ActiveXUI.h"
#include "core/SkinPainter.h"
#include "core/WindowManagerUI.h"

namespace CalUI {

namespace {

constexpr UINT_PTR kCaretTimer = 20;
constexpr UINT kCaretTimerMs = 50;
constexpr int kTicksPerCaretBlink = 10;  // 500 ms at 50 ms a tick
constexpr DWORD kCaretColor = 0xFF000000;
constexpr DWORD kActiveXWndStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr WCHAR kActiveXWndName[] = L"UIActiveX";

template <class T>
void ReleaseAndClear(T*& pointer)
{
    if (pointer != nullptr)
        pointer->Release();
    pointer = nullptr;
}

template <class Part>
HRESULT AnswerPart(Part* part, void** out)
{
    *out = part;
    part->AddRef();
    return S_OK;
}

}  // namespace

// ---- CActiveXCtrl: life and helpers ---------------------------------------------------------

CActiveXCtrl::CActiveXCtrl() = default;

CActiveXCtrl::~CActiveXCtrl()
{
    DestroyActiveXWnd();
    ReleaseAndClear(m_storedSite);
    ReleaseAndClear(m_viewObject);
    ReleaseAndClear(m_inPlaceObject);
    if (m_accelerators != nullptr)
        DestroyAcceleratorTable(m_accelerators);
}

void CActiveXCtrl::SetOwner(CActiveXUI* owner) { m_owner = owner; }

void CActiveXCtrl::Detach()
{
    if (m_owner != nullptr)
        m_owner->LeaveMessageFilter();
    m_owner = nullptr;
    DestroyActiveXWnd();
    m_inPlaceActive = false;
    m_captured = false;
    ReleaseAndClear(m_storedSite);
    ReleaseAndClear(m_viewObject);
    ReleaseAndClear(m_inPlaceObject);
}

void CActiveXCtrl::SetViewObject(IViewObject* view)
{
    if (view != nullptr)
        view->AddRef();
    ReleaseAndClear(m_viewObject);
    m_viewObject = view;
}

HWND CActiveXCtrl::HostWindow() const { return m_owner != nullptr ? m_owner->GetNativeWindow() : nullptr; }

void CActiveXCtrl::ReleaseInPlaceObject() { ReleaseAndClear(m_inPlaceObject); }

HRESULT CActiveXCtrl::CreateActiveXWnd()
{
    if (m_window != nullptr)
        return S_OK;
    if (m_owner == nullptr || m_owner->GetManager() == nullptr)
        return E_UNEXPECTED;
    CWindowManagerUI* manager = m_owner->GetManager();
    auto* window = new (std::nothrow) CActiveXWnd(this, manager);
    if (window == nullptr)
        return E_OUTOFMEMORY;
    m_window = window;
    if (window->Create(manager->GetPaintWindow(), kActiveXWndName, kActiveXWndStyle, 0, 0, 0, 0, 0, nullptr) ==
        nullptr) {
        if (m_window == window) {  // no final message came to free it
            m_window = nullptr;
            delete window;
        }
        return E_FAIL;
    }
    if (m_owner != nullptr)
        m_owner->SetHostWindow(window->GetWindowHandle());
    return S_OK;
}

void CActiveXCtrl::DestroyActiveXWnd()
{
    if (m_window == nullptr)
        return;
    // The window's last message frees its object through OnWindowGone.
    HWND hwnd = m_window->GetWindowHandle();
    if (hwnd != nullptr && ::IsWindow(hwnd)) {
        ::DestroyWindow(hwnd);
    }
    if (m_window != nullptr) {  // a window never made or already gone
        delete m_window;
        m_window = nullptr;
    }
}

void CActiveXCtrl::OnWindowGone(CActiveXWnd* window)
{
    if (window != m_window)
        return;
    m_window = nullptr;
    if (m_owner != nullptr && m_owner->GetNativeWindow() == window->GetWindowHandle())
        m_owner->SetHostWindow(nullptr);
    delete window;
}

// ---- CActiveXCtrl: IUnknown -----------------------------------------------------------------

STDMETHODIMP CActiveXCtrl::QueryInterface(REFIID iid, void** out)
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleInPlaceSiteWindowless || iid == IID_IOleInPlaceSiteEx ||
        iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
        return AnswerPart(static_cast<IOleInPlaceSiteWindowless*>(this), out);
    if (iid == IID_IOleClientSite)
        return AnswerPart(static_cast<IOleClientSite*>(this), out);
    if (iid == IID_IOleControlSite)
        return AnswerPart(static_cast<IOleControlSite*>(this), out);
    if (iid == IID_IObjectWithSite)
        return AnswerPart(static_cast<IObjectWithSite*>(this), out);
    if (iid == IID_IOleContainer)
        return AnswerPart(static_cast<IOleContainer*>(this), out);
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CActiveXCtrl::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_refCount)); }

STDMETHODIMP_(ULONG) CActiveXCtrl::Release()
{
    const LONG count = InterlockedDecrement(&m_refCount);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

// ---- CActiveXCtrl: IOleClientSite -----------------------------------------------------------

STDMETHODIMP CActiveXCtrl::SaveObject() { return E_NOTIMPL; }

STDMETHODIMP CActiveXCtrl::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    if (moniker != nullptr)
        *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CActiveXCtrl::GetContainer(IOleContainer** container)
{
    if (container == nullptr)
        return E_POINTER;
    *container = nullptr;
    if (m_storedSite != nullptr &&
        SUCCEEDED(m_storedSite->QueryInterface(IID_IOleContainer, reinterpret_cast<void**>(container))) &&
        *container != nullptr)
        return S_OK;
    return AnswerPart(static_cast<IOleContainer*>(this), reinterpret_cast<void**>(container));
}

STDMETHODIMP CActiveXCtrl::ShowObject()
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    HWND host = HostWindow();
    HDC dc = ::GetDC(host);
    if (dc == nullptr)
        return E_FAIL;
    if (m_viewObject != nullptr) {
        const RECT& pos = m_owner->GetPos();
        RECTL bounds = {pos.left, pos.top, pos.right, pos.bottom};
        m_viewObject->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
    }
    ::ReleaseDC(host, dc);
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::OnShowWindow(BOOL) { return E_NOTIMPL; }
STDMETHODIMP CActiveXCtrl::RequestNewObjectLayout() { return E_NOTIMPL; }

// ---- CActiveXCtrl: IOleWindow ---------------------------------------------------------------

STDMETHODIMP CActiveXCtrl::GetWindow(HWND* window)
{
    if (window == nullptr)
        return E_POINTER;
    *window = nullptr;
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    if (HostWindow() == nullptr)
        CreateActiveXWnd();
    *window = HostWindow();
    return *window != nullptr ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXCtrl::ContextSensitiveHelp(BOOL) { return S_OK; }

// ---- CActiveXCtrl: IOleInPlaceSite ----------------------------------------------------------

STDMETHODIMP CActiveXCtrl::CanInPlaceActivate() { return S_OK; }
STDMETHODIMP CActiveXCtrl::OnInPlaceActivate() { return OnInPlaceActivateEx(nullptr, 0); }

STDMETHODIMP CActiveXCtrl::OnUIActivate()
{
    m_uiActive = true;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                            LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo)
{
    if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr)
        return E_POINTER;
    *frame = nullptr;
    *document = nullptr;
    if (m_owner == nullptr || m_owner->GetManager() == nullptr)
        return E_UNEXPECTED;
    if (m_window != nullptr) {
        ::GetClientRect(m_window->GetWindowHandle(), position);
        ::GetClientRect(m_window->GetWindowHandle(), clip);
    }
    *frame = new CActiveXFrameWnd(this);
    if (m_accelerators == nullptr) {
        ACCEL none = {};
        m_accelerators = ::CreateAcceleratorTableW(&none, 1);
    }
    if (frameInfo != nullptr) {
        frameInfo->cb = sizeof(OLEINPLACEFRAMEINFO);
        frameInfo->fMDIApp = FALSE;
        frameInfo->hwndFrame = m_owner->GetManager()->GetPaintWindow();
        frameInfo->haccel = m_accelerators;
        frameInfo->cAccelEntries = 1;
    }
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::Scroll(SIZE) { return E_NOTIMPL; }

STDMETHODIMP CActiveXCtrl::OnUIDeactivate(BOOL)
{
    m_uiActive = false;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::OnInPlaceDeactivate() { return OnInPlaceDeactivateEx(TRUE); }
STDMETHODIMP CActiveXCtrl::DiscardUndoState() { return E_NOTIMPL; }
STDMETHODIMP CActiveXCtrl::DeactivateAndUndo() { return E_NOTIMPL; }
STDMETHODIMP CActiveXCtrl::OnPosRectChange(LPCRECT) { return E_NOTIMPL; }

// ---- CActiveXCtrl: IOleInPlaceSiteEx --------------------------------------------------------

STDMETHODIMP CActiveXCtrl::OnInPlaceActivateEx(BOOL*, DWORD flags)
{
    if (m_owner == nullptr || m_owner->GetHostedObject() == nullptr || m_owner->GetManager() == nullptr)
        return E_UNEXPECTED;
    IOleObject* object = m_owner->GetHostedObject();
    OleLockRunning(object, TRUE, FALSE);

    ReleaseInPlaceObject();
    HRESULT hr = E_FAIL;
    if ((flags & ACTIVATE_WINDOWLESS) != 0) {
        m_windowless = true;
        hr = object->QueryInterface(IID_IOleInPlaceObjectWindowless, reinterpret_cast<void**>(&m_inPlaceObject));
        if (SUCCEEDED(hr)) {
            m_owner->SetHostWindow(m_owner->GetManager()->GetPaintWindow());
            m_owner->JoinMessageFilter();
        } else {
            m_inPlaceObject = nullptr;
        }
    }
    if (FAILED(hr)) {
        m_windowless = false;
        hr = CreateActiveXWnd();
        if (FAILED(hr))
            return hr;
        hr = object->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&m_inPlaceObject));
        if (FAILED(hr))
            m_inPlaceObject = nullptr;
    }
    if (m_inPlaceObject != nullptr) {
        RECT rc = m_owner->ObjectRect();
        m_inPlaceObject->SetObjectRects(&rc, &rc);
    }
    m_inPlaceActive = SUCCEEDED(hr);
    return hr;
}

STDMETHODIMP CActiveXCtrl::OnInPlaceDeactivateEx(BOOL)
{
    m_inPlaceActive = false;
    ReleaseInPlaceObject();
    DestroyActiveXWnd();
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::RequestUIActivate() { return S_OK; }

// ---- CActiveXCtrl: IOleInPlaceSiteWindowless ------------------------------------------------

STDMETHODIMP CActiveXCtrl::CanWindowlessActivate() { return S_OK; }

STDMETHODIMP CActiveXCtrl::GetCapture()
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    return m_captured ? S_OK : S_FALSE;
}

STDMETHODIMP CActiveXCtrl::SetCapture(BOOL capture)
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    m_captured = capture == TRUE;
    if (m_captured)
        ::SetCapture(HostWindow());
    else
        ::ReleaseCapture();
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetFocus()
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    return m_focused ? S_OK : S_FALSE;
}

STDMETHODIMP CActiveXCtrl::SetFocus(BOOL focus)
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    if (focus)
        m_owner->SetFocus();
    m_focused = focus == TRUE;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetDC(LPCRECT, DWORD flags, HDC* dc)
{
    if (dc == nullptr)
        return E_POINTER;
    *dc = nullptr;
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    if (m_windowless)
        return S_FALSE;
    *dc = ::GetDC(HostWindow());
    if (*dc == nullptr)
        return E_FAIL;
    if ((flags & OLEDC_PAINTBKGND) != 0) {
        RECT rc = m_owner->GetPos();
        OffsetRect(&rc, -rc.left, -rc.top);
        ::FillRect(*dc, &rc, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
    }
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::ReleaseDC(HDC dc)
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    ::ReleaseDC(HostWindow(), dc);
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::InvalidateRect(LPCRECT rect, BOOL erase)
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    HWND host = HostWindow();
    if (host == nullptr || !::InvalidateRect(host, rect, erase))
        return E_FAIL;
    // A layered window paints only what its manager collected.
    CWindowManagerUI* manager = m_owner->GetManager();
    if (m_windowless && manager != nullptr && host == manager->GetPaintWindow())
        manager->Invalidate(rect != nullptr ? *rect : m_owner->GetPos());
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::InvalidateRgn(HRGN region, BOOL erase)
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    HWND host = HostWindow();
    if (host == nullptr || !::InvalidateRgn(host, region, erase))
        return E_FAIL;
    CWindowManagerUI* manager = m_owner->GetManager();
    if (m_windowless && manager != nullptr && host == manager->GetPaintWindow())
        manager->Invalidate(m_owner->GetPos());
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::ScrollRect(INT, INT, LPCRECT, LPCRECT) { return S_OK; }
STDMETHODIMP CActiveXCtrl::AdjustRect(LPRECT) { return S_OK; }

STDMETHODIMP CActiveXCtrl::OnDefWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    const LRESULT answer = ::DefWindowProcW(HostWindow(), message, wParam, lParam);
    if (result != nullptr)
        *result = answer;
    return S_OK;
}

// ---- CActiveXCtrl: IOleControlSite ----------------------------------------------------------

STDMETHODIMP CActiveXCtrl::OnControlInfoChanged() { return S_OK; }
STDMETHODIMP CActiveXCtrl::LockInPlaceActive(BOOL) { return S_OK; }

STDMETHODIMP CActiveXCtrl::GetExtendedControl(IDispatch** control)
{
    if (control == nullptr)
        return E_POINTER;
    *control = nullptr;
    if (m_owner == nullptr || m_owner->GetHostedObject() == nullptr)
        return E_UNEXPECTED;
    return m_owner->GetHostedObject()->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(control));
}

STDMETHODIMP CActiveXCtrl::TransformCoords(POINTL*, POINTF*, DWORD) { return S_OK; }
STDMETHODIMP CActiveXCtrl::TranslateAccelerator(MSG*, DWORD) { return S_FALSE; }

STDMETHODIMP CActiveXCtrl::OnFocus(BOOL gotFocus)
{
    m_focused = gotFocus == TRUE;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::ShowPropertyFrame() { return E_NOTIMPL; }

// ---- CActiveXCtrl: IObjectWithSite ----------------------------------------------------------

STDMETHODIMP CActiveXCtrl::SetSite(IUnknown* site)
{
    if (site != nullptr)
        site->AddRef();
    ReleaseAndClear(m_storedSite);
    m_storedSite = site;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetSite(REFIID iid, void** site)
{
    if (site == nullptr)
        return E_POINTER;
    *site = nullptr;
    if (m_storedSite == nullptr)
        return E_FAIL;
    return m_storedSite->QueryInterface(iid, site);
}

// ---- CActiveXCtrl: IOleContainer ------------------------------------------------------------

STDMETHODIMP CActiveXCtrl::ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker** moniker)
{
    if (moniker != nullptr)
        *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CActiveXCtrl::EnumObjects(DWORD, IEnumUnknown** enumerator)
{
    if (enumerator == nullptr)
        return E_POINTER;
    *enumerator = nullptr;
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    *enumerator = new CActiveXEnum(m_owner->GetHostedObject());
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::LockContainer(BOOL lock)
{
    m_locked = lock != FALSE;
    return S_OK;
}

// ---- CActiveXFrameWnd -----------------------------------------------------------------------

CActiveXFrameWnd::CActiveXFrameWnd(CActiveXCtrl* site) : m_site(site) { m_site->AddRef(); }

CActiveXFrameWnd::~CActiveXFrameWnd()
{
    ReleaseAndClear(m_activeObject);
    m_site->Release();
}

STDMETHODIMP CActiveXFrameWnd::QueryInterface(REFIID iid, void** out)
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
        return AnswerPart(static_cast<IOleInPlaceFrame*>(this), out);
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CActiveXFrameWnd::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_refCount)); }

STDMETHODIMP_(ULONG) CActiveXFrameWnd::Release()
{
    const LONG count = InterlockedDecrement(&m_refCount);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

STDMETHODIMP CActiveXFrameWnd::GetWindow(HWND* window)
{
    if (window == nullptr)
        return E_POINTER;
    *window = nullptr;
    CActiveXUI* owner = m_site->GetOwner();
    if (owner == nullptr || owner->GetManager() == nullptr)
        return E_UNEXPECTED;
    *window = owner->GetManager()->GetPaintWindow();
    return S_OK;
}

STDMETHODIMP CActiveXFrameWnd::ContextSensitiveHelp(BOOL) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::GetBorder(LPRECT) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP CActiveXFrameWnd::SetBorderSpace(LPCBORDERWIDTHS) { return S_OK; }

STDMETHODIMP CActiveXFrameWnd::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR)
{
    if (object != nullptr)
        object->AddRef();
    ReleaseAndClear(m_activeObject);
    m_activeObject = object;
    return S_OK;
}

STDMETHODIMP CActiveXFrameWnd::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::RemoveMenus(HMENU) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::SetStatusText(LPCOLESTR) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::EnableModeless(BOOL) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

// ---- CActiveXEnum ---------------------------------------------------------------------------

CActiveXEnum::CActiveXEnum(IUnknown* object) : m_object(object)
{
    if (m_object != nullptr)
        m_object->AddRef();
}

CActiveXEnum::~CActiveXEnum() { ReleaseAndClear(m_object); }

STDMETHODIMP CActiveXEnum::QueryInterface(REFIID iid, void** out)
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IEnumUnknown)
        return AnswerPart(static_cast<IEnumUnknown*>(this), out);
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CActiveXEnum::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_refCount)); }

STDMETHODIMP_(ULONG) CActiveXEnum::Release()
{
    const LONG count = InterlockedDecrement(&m_refCount);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

STDMETHODIMP CActiveXEnum::Next(ULONG count, IUnknown** out, ULONG* fetched)
{
    if (fetched != nullptr)
        *fetched = 0;
    if (count == 0)
        return S_OK;
    if (out == nullptr)
        return E_POINTER;
    ++m_position;
    if (m_position > 1 || m_object == nullptr)
        return S_FALSE;
    out[0] = m_object;
    m_object->AddRef();
    if (fetched != nullptr)
        *fetched = 1;
    return S_OK;
}

STDMETHODIMP CActiveXEnum::Skip(ULONG count)
{
    m_position += count;
    return S_OK;
}

STDMETHODIMP CActiveXEnum::Reset()
{
    m_position = 0;
    return S_OK;
}

STDMETHODIMP CActiveXEnum::Clone(IEnumUnknown** out)
{
    if (out != nullptr)
        *out = nullptr;
    return E_NOTIMPL;
}

// ---- CActiveXWnd ----------------------------------------------------------------------------

CActiveXWnd::CActiveXWnd(CActiveXCtrl* site, CWindowManagerUI* manager) : m_site(site), m_manager(manager) {}

LPCWSTR CActiveXWnd::GetWindowClassName() const { return L"ActiveXWnd"; }

void CActiveXWnd::OnFinalMessage(HWND hWnd)
{
    if (m_manager != nullptr)
        m_manager->RemoveNativeWindow(hWnd);
    m_site->OnWindowGone(this);  // frees this object
}

void CActiveXWnd::DoVerb(LONG verb)
{
    CActiveXUI* owner = m_site->GetOwner();
    if (owner == nullptr || owner->GetHostedObject() == nullptr)
        return;
    IOleClientSite* clientSite = nullptr;
    m_site->QueryInterface(IID_IOleClientSite, reinterpret_cast<void**>(&clientSite));
    RECT pos = owner->GetPos();
    owner->GetHostedObject()->DoVerb(verb, nullptr, clientSite, 0, m_hWnd, &pos);
    if (clientSite != nullptr)
        clientSite->Release();
}

void CActiveXWnd::OnTimerTick()
{
    CActiveXUI* owner = m_site->GetOwner();
    // Registering again is refused without a repaint, so the area is asked
    // for by hand: what the object shows (and the caret) changes unseen.
    if (owner != nullptr && m_manager != nullptr && m_manager->IsLayered() &&
        !m_manager->AddNativeWindow(owner, m_hWnd))
        m_manager->Invalidate(m_manager->GetNativeWindowRect(m_hWnd));
    if (++m_ticks >= kTicksPerCaretBlink) {
        m_ticks = 0;
        m_drawCaret = !m_drawCaret;
    }
}

void CActiveXWnd::OnPrint(HDC dc)
{
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    RECTL bounds = {client.left, client.top, client.right, client.bottom};
    // An object that draws nothing (or cannot) shows as a blank page rather
    // than as whatever the picture held.
    ::FillRect(dc, &client, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
    if (IViewObject* view = m_site->GetViewObject())
        view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
    if (m_drawCaret)
        DrawCaret(dc);
}

void CActiveXWnd::DrawCaret(HDC dc)
{
    CActiveXUI* owner = m_site->GetOwner();
    if (owner == nullptr || m_manager == nullptr)
        return;
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!::GetGUIThreadInfo(0, &info) || info.hwndCaret == nullptr)
        return;
    POINT corner = {info.rcCaret.left, info.rcCaret.top};
    ::ClientToScreen(info.hwndCaret, &corner);
    ::ScreenToClient(m_manager->GetPaintWindow(), &corner);
    if (!PtInRect(&owner->GetPos(), corner))
        return;
    const int height = info.rcCaret.bottom - info.rcCaret.top;
    const RECT line = {corner.x, corner.y, corner.x, corner.y + height};
    CSkinPainter::DrawLineSegment(dc, line, 1, kCaretColor, PS_SOLID);
}

LRESULT CActiveXWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        if (m_site->GetOwner() != nullptr && m_manager != nullptr) {
            m_manager->AddNativeWindow(m_site->GetOwner(), m_hWnd);
            if (m_manager->IsLayered())
                ::SetTimer(m_hWnd, kCaretTimer, kCaretTimerMs, nullptr);
        }
        return 0;
    case WM_SETFOCUS:
        m_site->SetFocused(true);
        if (!m_site->IsUIActive())
            DoVerb(OLEIVERB_UIACTIVATE);
        return 0;
    case WM_KILLFOCUS:
        m_site->SetFocused(false);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        ::BeginPaint(m_hWnd, &ps);
        ::EndPaint(m_hWnd, &ps);
        return 1;
    }
    case WM_ERASEBKGND:
        if (m_site->GetViewObject() != nullptr)
            return 1;
        break;
    case WM_MOUSEACTIVATE: {
        CActiveXUI* owner = m_site->GetOwner();
        if (owner == nullptr || owner->GetHostedObject() == nullptr)
            break;
        DWORD misc = 0;
        owner->GetHostedObject()->GetMiscStatus(DVASPECT_CONTENT, &misc);
        if ((misc & OLEMISC_NOUIACTIVATE) != 0)
            return 0;
        if (!m_site->IsInPlaceActive())
            DoVerb(OLEIVERB_INPLACEACTIVATE);
        break;
    }
    case WM_TIMER:
        if (wParam != kCaretTimer)
            break;
        OnTimerTick();
        return 0;
    case WM_MOUSEWHEEL:
        return 0;
    case WM_PRINT:
        OnPrint(reinterpret_cast<HDC>(wParam));
        return 1;
    default:
        break;
    }
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

}  // namespace CalUI
