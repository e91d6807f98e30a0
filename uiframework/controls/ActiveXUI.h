#pragma once
// Hosts an OLE control ("ActiveX control") in a framework window. The object
// comes from a class id (a CLSID in braces or a ProgID) through the COM
// runtime, or through the class factory of a named library ("modulename"),
// and shows either windowless, drawn through its view object into the
// window's picture and fed the window's messages through a message filter,
// or windowed, inside a native child window (class "ActiveXWnd").
//
// Creation needs the control attached to a window's manager; with delay
// create (the default) it happens at the first layout. The control owns one
// reference on the object and one on its site (ActiveXSite.h). Release
// (ReleaseControl, also at destruction) closes the object, detaches the site
// and takes the message filter and the native window away at once, whatever
// references the object keeps. A failed creation is not retried until a new
// class id is given. The library of "modulename" is never freed: objects it
// made may outlive their host.

#include <ocidl.h>
#include <oleidl.h>
#include <windows.h>

#include "core/ControlUI.h"
#include "core/UIInterfaces.h"

namespace CalUI {

class CActiveXCtrl;

class CActiveXUI : public CControlUI, public IMessageFilterUI
{
public:
    CActiveXUI();
    ~CActiveXUI() override;

    LPCWSTR GetClass() const override;
    void* GetInterface(LPCWSTR name) override;
    UIControlFlag GetControlFlags() const override;
    HWND GetNativeWindow() const override;  // paint window (windowless), own child (windowed) or null
    void SetPos(RECT rc, bool invalidate = true) override;
    void Move(SIZE offset, bool invalidate = true) override;
    void SetVisible(bool show = true) override;
    void SetInternVisible(bool show = true) override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;
    // Draws only a windowless object, through its view object; always true.
    bool OnPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) override;

    virtual void ReleaseControl();
    // False when any step fails; the object and site made before the failure
    // stay until the next release.
    virtual bool CreateControl();

    LRESULT FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    // A text beginning with "{" is a CLSID, any other a ProgID; only the
    // first 99 characters count. False when it names no class.
    bool SetClassIdText(LPCWSTR text);
    // False for the all-zero id, which changes nothing.
    bool SetClassId(REFCLSID clsid);
    CLSID GetClassId() const { return m_clsid; }
    void SetModuleName(LPCWSTR name);
    const CUIString& GetModuleName() const { return m_moduleName; }
    void SetDelayCreate(bool delay);
    bool IsDelayCreate() const { return m_delayCreate; }
    bool IsCreated() const { return m_created; }
    // E_POINTER for a null out pointer, E_PENDING without an object.
    HRESULT GetControl(REFIID iid, void** out);

    // For the site.
    IOleObject* GetHostedObject() const { return m_object; }  // not counted
    void SetHostWindow(HWND window) { m_hostWindow = window; }
    // Registers the filter with the current manager (once) and remembers
    // that manager, so that release removes it from the one it joined.
    void JoinMessageFilter();
    void LeaveMessageFilter();
    // The position moved to the origin for a windowed object.
    RECT ObjectRect() const;

protected:
    // A released control is made again at its next layout.
    void ForgetCreation() { m_created = false; }

private:
    bool MakeObject(IUnknown** object) const;
    bool MakeObjectFromModule(IUnknown** object) const;
    void UpdateObjectPlace();
    void ShowNativeWindow();

    CLSID m_clsid = {};
    CUIString m_moduleName;
    bool m_created = false;
    bool m_delayCreate = true;
    bool m_comInitialized = false;                // the constructor's CoInitialize succeeded
    IOleObject* m_object = nullptr;               // one reference
    CActiveXCtrl* m_site = nullptr;               // one reference
    HWND m_hostWindow = nullptr;                  // not owned
    CWindowManagerUI* m_filterManager = nullptr;  // the manager the filter joined
};

}  // namespace CalUI
