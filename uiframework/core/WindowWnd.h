#pragma once
// Ties one object to one native window: class registration (own classes and
// superclasses of system classes), creation, the window procedures that find
// the object again, the modal loop every dialog lives in, and small chores.

#include <windows.h>

#include <vector>

namespace CalUI {

class CControlUI;

class CWindowWnd
{
public:
    CWindowWnd() = default;
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;
    // The object does not own its window; but should it die first, the window
    // is unlinked and destroyed so that no later message reaches a dead object.
    virtual ~CWindowWnd();

    HWND GetWindowHandle() const { return m_hWnd; }

    HWND Create(HWND parent, LPCWSTR name, DWORD style, DWORD exStyle, int x, int y, int cx, int cy, HMENU menu);
    HWND Create(HWND parent, LPCWSTR name, DWORD style, DWORD exStyle, RECT rc);

    void ShowWindow(bool show, bool takeFocus);
    // Both run a message loop until the window is gone (or WM_QUIT arrives,
    // which is passed on to the enclosing loop) and return the modal result.
    int ShowModal();
    int ShowModal(bool show, bool takeFocus);
    // Posts WM_CLOSE carrying `result`, which becomes the modal result.
    void Close(int result);
    // The windows whose modal loops run on the calling thread, outermost
    // first; each loop ends on the WM_CLOSE of its own window.
    static std::vector<HWND> GetModalWindows();
    void CenterWindow();
    void SetIcon(UINT resourceId);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    bool RegisterWindowClass();
    bool RegisterSuperclass();

    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    virtual LPCWSTR GetWindowClassName() const = 0;
    virtual LPCWSTR GetSuperClassName() const;  // null: an own class
    virtual UINT GetClassStyle() const;
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnFinalMessage(HWND hWnd);
    // True for a control that, like all its ancestors, has no control flags.
    virtual bool IsCaptionControl(CControlUI* control);

protected:
    HWND m_hWnd = nullptr;  // from WM_NCCREATE until WM_NCDESTROY
    WNDPROC m_oldWndProc = ::DefWindowProcW;
    int m_modalResult = 0;

private:
    int RunModalLoop(int showCommand);
    static void RestoreOwner(HWND owner, bool wasEnabled);  // as the loop found it
    void Unlink();
    static LRESULT RouteMessage(CWindowWnd* window, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace CalUI
