#pragma once
// Shows web pages by hosting the platform's web browser control through the
// ActiveX host, and acts as the document host around it: the documents'
// UI handler, service and command answers (script errors run on without a
// dialog; downloads the browser starts are taken and dropped), the pages'
// external object (which knows no names), the receiver of the browser's
// events and, while the keyboard focus is inside the browser's window, the
// translator of its accelerators.
//
// The browser is created at the first layout (delay create), windowed. The
// COM parts share one count that frees nothing: the control's lifetime
// belongs to the framework. Release (ReleaseControl, also at destruction,
// and before every new creation) disconnects the events, removes the
// translator and lets go of the browser interface before the ActiveX host
// releases the hosted object; a released browser is made again at the next
// layout.

#include <docobj.h>
#include <downloadmgr.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <servprov.h>

#include "controls/ActiveXUI.h"
#include "core/UIInterfaces.h"

namespace CalUI {

class CWebBrowserUI : public CActiveXUI,
                      public IDocHostUIHandler,
                      public IServiceProvider,
                      public IOleCommandTarget,
                      public IDispatch,
                      public ITranslateAccelerator,
                      public IDownloadManager
{
public:
    CWebBrowserUI();
    ~CWebBrowserUI() override;

    LPCWSTR GetClass() const override;
    void* GetInterface(LPCWSTR name) override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;
    void ReleaseControl() override;
    bool CreateControl() override;

    void SetHomePage(LPCWSTR url);
    const CUIString& GetHomePage() const { return m_homePage; }
    void SetAutoNavigate(bool autoNavigate);
    bool IsAutoNavigate() const { return m_autoNavigate; }
    // Nothing without a url or a browser.
    void Navigate(LPCWSTR url);
    // The first failure of the chain (browser, connection point, advise or
    // unadvise) is answered.
    HRESULT ConnectEventSink(bool connect);
    IWebBrowser2* GetWebBrowser() const { return m_browser; }  // not counted; null before creation

    // IUnknown (shared by every COM part)
    STDMETHOD(QueryInterface)(REFIID iid, void** out) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;

    // IDocHostUIHandler
    STDMETHOD(ShowContextMenu)(DWORD id, POINT* point, IUnknown* target, IDispatch* reserved) override;
    STDMETHOD(GetHostInfo)(DOCHOSTUIINFO* info) override;
    STDMETHOD(ShowUI)
    (DWORD id, IOleInPlaceActiveObject* object, IOleCommandTarget* target, IOleInPlaceFrame* frame,
     IOleInPlaceUIWindow* document) override;
    STDMETHOD(HideUI)() override;
    STDMETHOD(UpdateUI)() override;
    STDMETHOD(EnableModeless)(BOOL enable) override;
    STDMETHOD(OnDocWindowActivate)(BOOL activate) override;
    STDMETHOD(OnFrameWindowActivate)(BOOL activate) override;
    STDMETHOD(ResizeBorder)(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) override;
    STDMETHOD(TranslateAccelerator)(LPMSG message, const GUID* group, DWORD id) override;
    STDMETHOD(GetOptionKeyPath)(LPOLESTR* key, DWORD reserved) override;
    STDMETHOD(GetDropTarget)(IDropTarget* target, IDropTarget** own) override;
    STDMETHOD(GetExternal)(IDispatch** external) override;
    STDMETHOD(TranslateUrl)(DWORD translate, LPWSTR url, LPWSTR* translated) override;
    STDMETHOD(FilterDataObject)(IDataObject* object, IDataObject** filtered) override;

    // IServiceProvider: only the download manager is offered.
    STDMETHOD(QueryService)(REFGUID service, REFIID iid, void** out) override;

    // IOleCommandTarget
    STDMETHOD(QueryStatus)(const GUID* group, ULONG count, OLECMD* commands, OLECMDTEXT* text) override;
    // Script errors: read, answered VARIANT_TRUE in `out` (scripts run on,
    // no dialog).
    STDMETHOD(Exec)(const GUID* group, DWORD id, DWORD option, VARIANT* in, VARIANT* out) override;

    // IDispatch: the browser's events; as the pages' external object it
    // knows no names.
    STDMETHOD(GetTypeInfoCount)(UINT* count) override;
    STDMETHOD(GetTypeInfo)(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHOD(GetIDsOfNames)(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHOD(Invoke)
    (DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
     UINT* argumentError) override;

    // ITranslateAccelerator: S_OK when the browser translated a key that came
    // while the focus is inside its window.
    LRESULT TranslateAccelerator(MSG* message) override;

    // IDownloadManager: every download is taken and dropped (S_OK).
    STDMETHOD(Download)
    (IMoniker* moniker, IBindCtx* context, DWORD verb, LONG flags, BINDINFO* info, LPCOLESTR headers,
     LPCOLESTR redirect, UINT codePage) override;

private:
    void OnNavigateComplete();
    HRESULT ReadScriptError(VARIANT* in);
    bool IsFocusInHostWindow() const;

    CUIString m_homePage;
    bool m_autoNavigate = false;
    IWebBrowser2* m_browser = nullptr;  // one reference while created
    DWORD m_eventCookie = 0;
    bool m_translatorJoined = false;
    LONG m_refCount = 0;
};

}  // namespace CalUI
