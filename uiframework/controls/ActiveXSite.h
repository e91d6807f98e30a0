#pragma once
// The container side of a hosted OLE control: the site the object talks to
// (CActiveXCtrl), the frame it is lent while in place (CActiveXFrameWnd), the
// enumerator over the hosted object (CActiveXEnum) and the native child
// window a windowed object lives in (CActiveXWnd).
//
// Lifetimes: the site is reference counted; its owner (the CActiveXUI) holds
// one reference, the object may hold more. Detach, called by the owner's
// release, cuts the site off its owner, destroys and unregisters the native
// window and lets go of what the object handed over, whatever references the
// object still keeps; a site without an owner answers E_UNEXPECTED wherever
// it would need one. The native window object belongs to the site and is
// freed once, when its window is gone. The frame holds one reference on the
// site, so that it learns of the release through it; the enumerator holds
// one on the object.

#include <ocidl.h>
#include <oleidl.h>
#include <windows.h>

#include "core/WindowWnd.h"

namespace CalUI {

class CActiveXUI;
class CActiveXWnd;
class CWindowManagerUI;

class CActiveXCtrl final : public IOleClientSite,
                           public IOleInPlaceSiteWindowless,
                           public IOleControlSite,
                           public IObjectWithSite,
                           public IOleContainer
{
public:
    CActiveXCtrl();
    CActiveXCtrl(const CActiveXCtrl&) = delete;
    CActiveXCtrl& operator=(const CActiveXCtrl&) = delete;

    void SetOwner(CActiveXUI* owner);
    CActiveXUI* GetOwner() const { return m_owner; }
    // Forgets the owner, destroys the native window, removes the owner's
    // message filter and releases what the object handed over.
    void Detach();

    // The view object (IViewObjectEx, IViewObject2 or IViewObject, the first
    // the object answers); not counted for the caller; null without one.
    IViewObject* GetViewObject() const { return m_viewObject; }
    void SetViewObject(IViewObject* view);  // counted
    bool IsWindowless() const { return m_windowless; }
    bool IsInPlaceActive() const { return m_inPlaceActive; }
    bool IsUIActive() const { return m_uiActive; }
    bool IsFocused() const { return m_focused; }
    void SetFocused(bool focused) { m_focused = focused; }
    bool IsCaptured() const { return m_captured; }
    // Windowless: IOleInPlaceObjectWindowless, else IOleInPlaceObject; null
    // while not in place.
    IOleInPlaceObject* GetInPlaceObject() const { return m_inPlaceObject; }
    CActiveXWnd* GetWindow() const { return m_window; }
    // Creates the windowed object's native window when there is none;
    // E_UNEXPECTED without an owner or manager, E_FAIL when it cannot be made.
    HRESULT CreateActiveXWnd();
    // From the native window's last message: it is gone and its object freed.
    void OnWindowGone(CActiveXWnd* window);

    // IUnknown (shared by every part)
    STDMETHOD(QueryInterface)(REFIID iid, void** out) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;

    // IOleClientSite
    STDMETHOD(SaveObject)() override;
    STDMETHOD(GetMoniker)(DWORD assign, DWORD which, IMoniker** moniker) override;
    STDMETHOD(GetContainer)(IOleContainer** container) override;
    STDMETHOD(ShowObject)() override;
    STDMETHOD(OnShowWindow)(BOOL show) override;
    STDMETHOD(RequestNewObjectLayout)() override;

    // IOleWindow
    STDMETHOD(GetWindow)(HWND* window) override;
    STDMETHOD(ContextSensitiveHelp)(BOOL enterMode) override;

    // IOleInPlaceSite
    STDMETHOD(CanInPlaceActivate)() override;
    STDMETHOD(OnInPlaceActivate)() override;
    STDMETHOD(OnUIActivate)() override;
    STDMETHOD(GetWindowContext)
    (IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position, LPRECT clip,
     LPOLEINPLACEFRAMEINFO frameInfo) override;
    STDMETHOD(Scroll)(SIZE extent) override;
    STDMETHOD(OnUIDeactivate)(BOOL undoable) override;
    STDMETHOD(OnInPlaceDeactivate)() override;
    STDMETHOD(DiscardUndoState)() override;
    STDMETHOD(DeactivateAndUndo)() override;
    STDMETHOD(OnPosRectChange)(LPCRECT position) override;

    // IOleInPlaceSiteEx
    STDMETHOD(OnInPlaceActivateEx)(BOOL* noRedraw, DWORD flags) override;
    STDMETHOD(OnInPlaceDeactivateEx)(BOOL noRedraw) override;
    STDMETHOD(RequestUIActivate)() override;

    // IOleInPlaceSiteWindowless
    STDMETHOD(CanWindowlessActivate)() override;
    STDMETHOD(GetCapture)() override;
    STDMETHOD(SetCapture)(BOOL capture) override;
    STDMETHOD(GetFocus)() override;
    STDMETHOD(SetFocus)(BOOL focus) override;
    STDMETHOD(GetDC)(LPCRECT rect, DWORD flags, HDC* dc) override;
    STDMETHOD(ReleaseDC)(HDC dc) override;
    STDMETHOD(InvalidateRect)(LPCRECT rect, BOOL erase) override;
    STDMETHOD(InvalidateRgn)(HRGN region, BOOL erase) override;
    STDMETHOD(ScrollRect)(INT dx, INT dy, LPCRECT scroll, LPCRECT clip) override;
    STDMETHOD(AdjustRect)(LPRECT rect) override;
    STDMETHOD(OnDefWindowMessage)(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // IOleControlSite
    STDMETHOD(OnControlInfoChanged)() override;
    STDMETHOD(LockInPlaceActive)(BOOL lock) override;
    STDMETHOD(GetExtendedControl)(IDispatch** control) override;
    STDMETHOD(TransformCoords)(POINTL* himetric, POINTF* container, DWORD flags) override;
    STDMETHOD(TranslateAccelerator)(MSG* message, DWORD modifiers) override;
    STDMETHOD(OnFocus)(BOOL gotFocus) override;
    STDMETHOD(ShowPropertyFrame)() override;

    // IObjectWithSite
    STDMETHOD(SetSite)(IUnknown* site) override;
    STDMETHOD(GetSite)(REFIID iid, void** site) override;

    // IOleContainer (with IParseDisplayName)
    STDMETHOD(ParseDisplayName)(IBindCtx* context, LPOLESTR name, ULONG* eaten, IMoniker** moniker) override;
    STDMETHOD(EnumObjects)(DWORD flags, IEnumUnknown** enumerator) override;
    STDMETHOD(LockContainer)(BOOL lock) override;

private:
    ~CActiveXCtrl();
    HWND HostWindow() const;  // null without an owner
    void DestroyActiveXWnd();
    void ReleaseInPlaceObject();

    LONG m_refCount = 1;
    CActiveXUI* m_owner = nullptr;
    CActiveXWnd* m_window = nullptr;  // owned; freed when its window is gone
    IUnknown* m_storedSite = nullptr;
    IViewObject* m_viewObject = nullptr;
    IOleInPlaceObject* m_inPlaceObject = nullptr;
    HACCEL m_accelerators = nullptr;  // lent to the object in its frame info; owned
    bool m_locked = false;
    bool m_focused = false;
    bool m_captured = false;
    bool m_uiActive = false;
    bool m_inPlaceActive = false;
    bool m_windowless = true;
};

// The frame window of an in-place object: the owner's paint window.
class CActiveXFrameWnd final : public IOleInPlaceFrame
{
public:
    explicit CActiveXFrameWnd(CActiveXCtrl* site);  // counts the site
    CActiveXFrameWnd(const CActiveXFrameWnd&) = delete;
    CActiveXFrameWnd& operator=(const CActiveXFrameWnd&) = delete;

    STDMETHOD(QueryInterface)(REFIID iid, void** out) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;

    STDMETHOD(GetWindow)(HWND* window) override;
    STDMETHOD(ContextSensitiveHelp)(BOOL enterMode) override;
    STDMETHOD(GetBorder)(LPRECT border) override;
    STDMETHOD(RequestBorderSpace)(LPCBORDERWIDTHS widths) override;
    STDMETHOD(SetBorderSpace)(LPCBORDERWIDTHS widths) override;
    STDMETHOD(SetActiveObject)(IOleInPlaceActiveObject* object, LPCOLESTR name) override;
    STDMETHOD(InsertMenus)(HMENU shared, LPOLEMENUGROUPWIDTHS widths) override;
    STDMETHOD(SetMenu)(HMENU shared, HOLEMENU descriptor, HWND activeObject) override;
    STDMETHOD(RemoveMenus)(HMENU shared) override;
    STDMETHOD(SetStatusText)(LPCOLESTR text) override;
    STDMETHOD(EnableModeless)(BOOL enable) override;
    STDMETHOD(TranslateAccelerator)(LPMSG message, WORD id) override;

private:
    ~CActiveXFrameWnd();

    LONG m_refCount = 1;
    CActiveXCtrl* m_site;
    IOleInPlaceActiveObject* m_activeObject = nullptr;
};

// Enumerates the one hosted object.
class CActiveXEnum final : public IEnumUnknown
{
public:
    explicit CActiveXEnum(IUnknown* object);  // counts the object (null allowed)
    CActiveXEnum(const CActiveXEnum&) = delete;
    CActiveXEnum& operator=(const CActiveXEnum&) = delete;

    STDMETHOD(QueryInterface)(REFIID iid, void** out) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;

    // At most one object per call, whatever the count: the object on the
    // first call after creation or Reset, S_FALSE afterwards.
    STDMETHOD(Next)(ULONG count, IUnknown** out, ULONG* fetched) override;
    STDMETHOD(Skip)(ULONG count) override;
    STDMETHOD(Reset)() override;
    STDMETHOD(Clone)(IEnumUnknown** out) override;

private:
    ~CActiveXEnum();

    LONG m_refCount = 1;
    ULONG m_position = 0;
    IUnknown* m_object;
};

// The native child window of a windowed object, registered with the owner's
// manager so that a layered window draws it through WM_PRINT.
class CActiveXWnd : public CWindowWnd
{
public:
    CActiveXWnd(CActiveXCtrl* site, CWindowManagerUI* manager);

    LPCWSTR GetWindowClassName() const override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void OnFinalMessage(HWND hWnd) override;

private:
    void DoVerb(LONG verb);
    void OnTimerTick();
    void OnPrint(HDC dc);
    void DrawCaret(HDC dc);

    CActiveXCtrl* m_site;
    CWindowManagerUI* m_manager;  // where the window is registered
    int m_ticks = 0;
    bool m_drawCaret = false;
};

}  // namespace CalUI
