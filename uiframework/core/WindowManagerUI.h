#pragma once
// The per-window paint manager. Every window and control reaches the
// process-wide skin settings and its own resources through this class.

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

#include "core/ImageDrawInfo.h"
#include "core/PaintSurface.h"
#include "core/SharedUIResources.h"
#include "core/UIEvent.h"
#include "core/UIInterfaces.h"
#include "core/UIPtrArray.h"
#include "core/UIString.h"
#include "core/UIStringMap.h"
#include "core/WindowShadow.h"

namespace CalUI {

struct ZipHandle;
struct LoadedImage;
class CControlUI;

class CWindowManagerUI
{
public:
    // ---- Process-wide skin-archive settings ----------------------------------
    // Written once at start-up, before the first window exists, and read by the
    // markup reader and the image loader whenever a skin file is needed.
    // (Implemented in WindowManagerSkinArchive.cpp.)
    static void SetInstance(HINSTANCE instance);
    static HINSTANCE GetInstance();
    static HINSTANCE GetResourceInstance();  // falls back to the module instance
    static const CUIString& GetResourcePath();

    // Opens the skin archive held in `data` (kept alive by the caller) and
    // keeps it open for the life of the process. Only the first call opens an
    // archive; later calls change the stored password alone.
    static void SetResourceZip(const void* data, unsigned int size, const char* password);
    static const CUIString& GetResourceZip();  // "membuffer" once an archive is set
    static bool IsResourceZipCached();
    static ZipHandle* GetResourceZipHandle();
    static const char* GetResourceZipPassword();  // null when there is none

    // Hue, saturation, lightness (180, 100, 100 is the identity); the result
    // tells whether the adjustment is switched on.
    static bool GetHsl(short* hue, short* saturation, short* lightness);
    // ---- End of process-wide skin-archive settings ---------------------------

    // ---- Life and the control tree (WindowManagerLife.cpp) -------------------
    CWindowManagerUI();
    CWindowManagerUI(const CWindowManagerUI&) = delete;
    CWindowManagerUI& operator=(const CWindowManagerUI&) = delete;
    ~CWindowManagerUI();

    // Called from the window's create handler; joins the list of managers.
    void Init(HWND window, LPCWSTR name = nullptr);
    HWND GetPaintWindow() const;
    HDC GetPaintDC() const;
    CControlUI* GetRoot() const;
    POINT GetMousePos() const;

    bool AttachRoot(CControlUI* root);  // the old root is deleted later
    bool InitControls(CControlUI* control, CControlUI* parent = nullptr);
    bool RenameControl(CControlUI* control, LPCWSTR newName);
    // The index stops finding the control under its current name.
    void RemoveFromNameIndex(CControlUI* control);
    void ForgetControl(CControlUI* control);  // from the control's destructor
    CControlUI* FindControl(LPCWSTR name);
    CControlUI* FindControlAt(POINT pt) const;  // topmost, any manager
    CUIPtrArray* GetFoundControls();
    void SetUpdateNeeded();

    // ---- Layout pass and invalidation (WindowManagerLayout.cpp) --------------
    void Invalidate(RECT rc);
    void InvalidateAll();

    // ---- Painting (WindowManagerPaint.cpp) -----------------------------------
    bool IsPainting() const;
    void SetPainting(bool painting);
    // Kept between paints; null before the first paint after a full layout.
    HBITMAP GetOffscreenBitmap() const;
    // The off-screen picture of a layered window: bottom-up rows of
    // premultiplied ARGB pixels of GetOffscreenSize; null in plain mode.
    const DWORD* GetOffscreenPixels() const;
    SIZE GetOffscreenSize() const;

    // ---- Layered mode and the shadow (WindowManagerLayered.cpp) --------------
    bool IsLayered() const;
    void SetLayered(bool layered);
    // Draws the shadow ring when it changed, then puts the off-screen
    // picture on the screen.
    void PaintShadow();

    // ---- Message routing (WindowManagerMessages.cpp) -------------------------
    // True when the message is handled; `result` then is the window's answer.
    bool HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // For the modal loop: true means the message must not be dispatched.
    static bool TranslateLoopMessage(MSG* msg);
    bool FilterLoopMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool TranslateAccelerators(MSG* msg);

    bool AddMessageFilter(IMessageFilterUI* filter);
    bool RemoveMessageFilter(IMessageFilterUI* filter);
    bool AddAcceleratorTranslator(ITranslateAccelerator* translator);
    bool RemoveAcceleratorTranslator(ITranslateAccelerator* translator);

    bool AddPostPaint(CControlUI* control);
    bool RemovePostPaint(CControlUI* control);
    bool AddNativeWindow(CControlUI* control, HWND window);
    bool RemoveNativeWindow(HWND window);
    RECT GetNativeWindowRect(HWND window) const;

    // ---- Focus, capture and input state (WindowManagerFocus.cpp) -------------
    CControlUI* GetFocus() const;
    void SetFocus(CControlUI* control, bool focusWindow = true);
    void SetFocusNeeded(CControlUI* control);
    bool FocusNextTabStop(bool forward = true);
    void SetCapture();
    void ReleaseCapture();
    bool IsCaptured() const;
    bool AddMouseLeaveNeeded(CControlUI* control);
    bool RemoveMouseLeaveNeeded(CControlUI* control);
    static UIKeyState GetKeyStateFlags();

    // ---- Control timers (WindowManagerTimers.cpp) ----------------------------
    bool SetTimer(CControlUI* control, UINT timerId, UINT elapse);
    bool KillTimer(CControlUI* control, UINT timerId);
    void KillTimers(CControlUI* control);
    void RemoveAllTimers();

    // ---- Notifications, deferred work, option groups (WindowManagerNotify.cpp)
    bool AddNotifyReceiver(INotifyUI* receiver);
    void SendNotify(CControlUI* sender, LPCWSTR type, WPARAM wParam = 0, LPARAM lParam = 0, bool async = false,
                    bool allowRepeat = true);
    void SendNotifyMsg(NotifyMsg& msg, bool async = false, bool allowRepeat = true);
    void SetUsesVirtualWindows(bool uses);
    void PostDeferredWork();
    void AddDelayedCleanup(CControlUI* control);  // takes ownership
    bool AddOptionGroup(LPCWSTR groupName, CControlUI* control);
    CUIPtrArray* GetOptionGroup(LPCWSTR groupName);
    void RemoveOptionGroup(LPCWSTR groupName, CControlUI* control);
    void RemoveAllOptionGroups();

    // ---- Shared resources (WindowManagerResources.cpp, WindowManagerFonts.cpp)
    static CUIPtrArray& GetControlCreators();  // ControlCreatorProc entries
    void SetResourcesShared(bool shared);

    void SetDefaultDisabledColor(DWORD color, bool shared = false);
    DWORD GetDefaultDisabledColor() const;
    void SetDefaultFontColor(DWORD color, bool shared = false);
    DWORD GetDefaultFontColor() const;
    void SetDefaultLinkFontColor(DWORD color, bool shared = false);
    DWORD GetDefaultLinkFontColor() const;
    void SetDefaultLinkHoverFontColor(DWORD color, bool shared = false);
    DWORD GetDefaultLinkHoverFontColor() const;
    void SetDefaultSelectedBkColor(DWORD color, bool shared = false);
    DWORD GetDefaultSelectedBkColor() const;

    void SetDefaultFont(LPCWSTR face, int size, bool bold, bool underline, bool italic, bool strikeout,
                        bool shared = false);
    HFONT AddFont(int id, LPCWSTR face, int size, bool bold, bool underline, bool italic, bool strikeout,
                  bool shared = false);
    HFONT GetFont(int id);
    HFONT FindFont(LPCWSTR face, int size, bool bold, bool underline, bool italic, bool strikeout) const;
    FontInfo* GetFontInfo(int id);
    FontInfo* GetFontInfoByHandle(HFONT font);
    FontInfo* GetDefaultFontInfo();
    void RemoveAllFonts(bool shared = false);

    LoadedImage* AddImage(LPCWSTR name, LPCWSTR type = nullptr, DWORD mask = 0, bool keepSource = false,
                          bool shared = false);
    LoadedImage* GetImage(LPCWSTR name);
    LoadedImage* GetOrAddImage(LPCWSTR name, LPCWSTR type = nullptr, DWORD mask = 0, bool keepSource = false);
    void RemoveAllImages(bool shared = false);
    // The pixel bytes that the decoded images of every window and of the
    // shared table hold, HSL source copies included: what the benchmarks
    // report as decoded skin images.
    static size_t DecodedImageBytes();

    void AddDefaultAttributeList(LPCWSTR className, LPCWSTR attributeList, bool shared = false);
    LPCWSTR GetDefaultAttributeList(LPCWSTR className);
    void RemoveAllDefaultAttributeLists(bool shared = false);

    static void AddLanguageString(int id, LPCWSTR text);
    static LPCWSTR GetLanguageString(int id);
    static void ReplaceLanguageTokens(CUIString& text);

    // ---- Window attributes of a skin's root element (WindowManagerAttributes.cpp)
    void SetWindowAttribute(LPCWSTR name, LPCWSTR value);
    SIZE GetInitSize() const;
    void SetInitSize(int cx, int cy);
    RECT GetSizeBox() const;
    void SetSizeBox(const RECT& rc);
    RECT GetCaptionRect();  // a bottom of -1 becomes the window height
    void SetCaptionRect(const RECT& rc);
    SIZE GetRoundCorner() const;
    void SetRoundCorner(int cx, int cy);
    SIZE GetMinInfo() const;
    void SetMinInfo(int cx, int cy);
    SIZE GetMaxInfo() const;
    void SetMaxInfo(int cx, int cy);
    bool IsShowUpdateRect() const;
    void SetShowUpdateRect(bool show);
    bool IsNoActivate() const;
    void SetNoActivate(bool noActivate);
    void AddWindowCustomAttribute(LPCWSTR name, LPCWSTR value);
    LPCWSTR GetWindowCustomAttribute(LPCWSTR name);
    void RemoveAllWindowCustomAttributes();

    // Layered-window settings: kept here, drawn by the painting code.
    int GetShadowSize() const;
    void SetShadowSize(int size);
    DWORD GetShadowColor() const;
    void SetShadowColor(DWORD color);
    float GetShadowFocusScales() const;
    void SetShadowFocusScales(float scale);
    BYTE GetOpacity() const;
    void SetOpacity(BYTE opacity);
    void SetLayeredOpacity(BYTE opacity);
    const CUIString& GetLayeredImage() const;
    void SetLayeredImage(LPCWSTR image);
    RECT GetLayeredInset() const;
    void SetLayeredInset(const RECT& inset);
    bool HasLayeredInset() const;

private:
    // Find callbacks handed to CControlUI::FindControl.
    static CControlUI* HitTestCallback(CControlUI* control, void* data);
    static CControlUI* RegisterNameCallback(CControlUI* control, void* data);
    static CControlUI* TabStopCallback(CControlUI* control, void* data);
    static CControlUI* ShortcutCallback(CControlUI* control, void* data);
    static CControlUI* UpdateNeededCallback(CControlUI* control, void* data);

    static CUIPtrArray& Managers();  // every manager with a paint window
    static SharedUIResources& Shared();

    // Message handlers, one per message family.
    bool OnSize(WPARAM wParam, LPARAM lParam);
    void OnKillFocus(WPARAM wParam);
    bool OnPaint();
    void OnClose();
    bool OnSetCursor(WPARAM wParam, LPARAM lParam, LRESULT& result);
    void OnGetMinMaxInfo(LPARAM lParam);
    LRESULT Reflect(HWND child, UINT message, WPARAM wParam, LPARAM lParam);
    void OnContextMenu(WPARAM wParam, LPARAM lParam);
    void OnKey(UINT message, WPARAM wParam, LPARAM lParam);
    void OnMouseMove(WPARAM wParam, LPARAM lParam);
    void OnButtonDown(UINT message, WPARAM wParam, LPARAM lParam);
    void OnButtonUp(UINT message, WPARAM wParam, LPARAM lParam);
    void OnMouseWheel(WPARAM wParam, LPARAM lParam);
    bool OnMouseHover(WPARAM wParam, LPARAM lParam);
    void OnMouseLeave();
    void OnTimer(WPARAM wParam, LPARAM lParam);
    void OnDeferredWork();
    void TrackMouse();
    void ShowToolTip(CControlUI* control, POINT pt);
    void DestroyToolTip();
    void UpdateMousePosFromFilteredMessage(UINT message, LPARAM lParam);
    void FocusPaintWindowUnlessNoActivate();
    void DropFocus(CControlUI* gainer);
    UIEvent MakeEvent(UIEventType type, CControlUI* sender, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // Layout pass of the paint; false when the paint must stop after it.
    bool LayoutPendingControls(const RECT& client);
    // The same pass ahead of a mouse hit test, once the first paint has run.
    void LayOutBeforeHitTest();
    RECT ContentRect(const RECT& client) const;  // client less the shadow ring

    // Steps of a paint (WindowManagerPaint.cpp).
    static void LoadPaintLibrariesOnce();
    void ValidateWithoutDrawing();
    bool TakePaintRect(const RECT& client, RECT& paint);
    bool PrepareOffscreen(const RECT& client);
    void ComposeLayeredBackground(const RECT& client, const RECT& paint);
    void PaintNativeWindows(const RECT& paint);
    void PaintPostPaintControls();
    void PresentLayered(const RECT& client, const RECT& paint);
    void OutlineUpdateRect(HDC dc, const RECT& paint);
    void PrintClient(HDC dc, LPARAM flags);
    void DropPaintSurfaces();

    // Layered mode (WindowManagerLayered.cpp).
    bool HandleLayeredFrameMessage(UINT message, WPARAM wParam, LRESULT& result);
    bool OnRepaintTimer(WPARAM wParam);
    // `changed` (client coordinates, null for all) is the part of the
    // picture that differs from what the screen shows.
    void PresentLayeredPicture(const RECT* changed);
    void UpdateLayeredWindowFromOffscreen(SIZE size, const RECT* changed);
    bool ScreenHoldsPictureOf(SIZE size) const;
    void MarkShadowDirty();

    // Notifications and delayed clean-up.
    void DeliverNotify(NotifyMsg& msg);
    void FreeQueuedNotifications();
    void DeleteDelayedCleanups();

    // Controls end through Delete, never plain delete (see CControlUI).
    struct ControlDeleter
    {
        void operator()(CControlUI* control) const;
    };

    // Timer records.
    struct TimerRecord
    {
        CControlUI* control;
        UINT timerId;  // the control's own number
        HWND window;
        UINT_PTR windowTimerId;  // the id given to SetTimer, which WM_TIMER brings back whole
        bool killed;             // a killed record stays and keeps its id for reuse
    };
    TimerRecord* FindTimer(CControlUI* control, UINT timerId) const;
    bool IsWindowTimerIdHeld(UINT_PTR windowTimerId) const;
    UINT NextWindowTimerId();
    static void StopTimer(TimerRecord& timer);

    // Resources.
    SharedUIResources& ResourcesFor(bool shared);
    void SetResourceColor(DWORD SharedUIResources::*field, DWORD color, bool shared);
    HFONT CreateSkinFont(LPCWSTR face, int size, bool bold, bool underline, bool italic, bool strikeout) const;
    void MeasureFont(FontInfo& info) const;
    void FreeOwnResources();
    static void FillSharedDefaults();

    CUIString m_name;
    HWND m_paintWindow = nullptr;
    HDC m_paintDC = nullptr;
    int m_lastToolTipWidth = -1;
    HWND m_toolTipWindow = nullptr;
    TOOLINFOW m_toolInfo = {};
    CUIString m_toolTipText;  // what m_toolInfo points at
    UINT m_hoverTime = 1000;
    bool m_noActivate = false;
    bool m_showUpdateRect = false;
    CPaintSurface m_offscreen;
    bool m_painting = false;
    CControlUI* m_root = nullptr;  // owned
    CControlUI* m_focus = nullptr;
    CControlUI* m_hover = nullptr;
    CControlUI* m_click = nullptr;
    CControlUI* m_key = nullptr;
    CControlUI* m_lastToolTipControl = nullptr;
    POINT m_lastMousePos = {-1, -1};
    SIZE m_minTrackSize = {0, 0};
    SIZE m_maxTrackSize = {0, 0};
    SIZE m_initSize = {0, 0};
    RECT m_sizeBox = {0, 0, 0, 0};
    SIZE m_roundCorner = {0, 0};
    RECT m_caption = {0, 0, 0, 0};
    UINT m_timerCounter = 4096;
    bool m_firstLayout = true;
    bool m_updateNeeded = false;
    bool m_focusNeeded = false;
    ShadowStyle m_shadow;
    bool m_shadowDirty = false;
    BYTE m_opacity = 255;
    bool m_layered = false;
    bool m_layeredImageDirty = false;
    RECT m_layeredDirty = {0, 0, 0, 0};  // invalidated since the last layered paint
    // What the last layered update put on the screen; a part of a picture may
    // be pushed only over a whole one of the same size and opacity.
    bool m_screenHoldsPicture = false;
    SIZE m_screenPictureSize = {0, 0};
    BYTE m_screenOpacity = 255;
    ImageDrawInfo m_layeredImage;
    RECT m_layeredInset = {0, 0, 0, 0};  // "nolayeredpadding"
    CGdiplusSession m_gdiplus;
    bool m_mouseTracking = false;
    bool m_captured = false;
    bool m_usesVirtualWindows = false;
    bool m_deferredWorkPosted = false;
    CUIPtrArray m_notifyReceivers;  // INotifyUI*
    std::vector<std::unique_ptr<TimerRecord>> m_timers;
    CUIPtrArray m_messageFilters;  // IMessageFilterUI*
    CUIPtrArray m_postPaintControls;
    CUIPtrArray m_nativeWindows;         // HWND
    CUIPtrArray m_nativeWindowControls;  // the owner of the window at the same index
    std::vector<std::unique_ptr<CControlUI, ControlDeleter>> m_delayedCleanups;
    std::vector<std::unique_ptr<NotifyMsg>> m_queuedNotifications;
    CUIPtrArray m_foundControls;  // controls needing layout
    CUIPtrArray m_mouseLeaveListeners;
    CUIStringMap m_nameIndex;               // control name -> control
    CUIStringMap m_windowCustomAttributes;  // name -> owned CUIString
    CUIStringMap m_optionGroups;            // group name -> owned CUIPtrArray of options
    bool m_resourcesShared = false;
    SharedUIResources m_resources;
    CUIPtrArray m_acceleratorTranslators;  // ITranslateAccelerator*
};

}  // namespace CalUI
