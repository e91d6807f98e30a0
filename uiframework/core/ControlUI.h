#pragma once
// The base of every control: its place in the tree, position rules, flags,
// texts, colours, border, skin attributes, painting order and default event
// handling.

#include <windows.h>

#include "core/DelegateList.h"
#include "core/EnumFlags.h"
#include "core/ImageDrawInfo.h"
#include "core/UIEvent.h"
#include "core/UIString.h"
#include "core/UIStringMap.h"

namespace CalUI {

class CWindowManagerUI;
class CControlUI;

// Answers of GetControlFlags.
enum class UIControlFlag : UINT
{
    None = 0x0,
    TabStop = 0x1,
    SetCursor = 0x2,
    ListElement = 0x4,
};
template <>
inline constexpr bool kEnumIsFlagSet<UIControlFlag> = true;

// Flags of FindControl.
enum class UIFindFlag : UINT
{
    All = 0x0,
    Visible = 0x1,
    Enabled = 0x2,
    HitTest = 0x4,  // data is a POINT in client coordinates
    UpdateTest = 0x8,
    TopFirst = 0x10,         // children front to back (containers)
    SelfFirst = 0x80000000,  // this control before its children
};
template <>
inline constexpr bool kEnumIsFlagSet<UIFindFlag> = true;

using FindControlProc = CControlUI* (*)(CControlUI* control, void* data);

// Where a float control's edges sit as fractions of its parent's size.
struct FloatPercent
{
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

class CControlUI
{
public:
    CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    // ---- Identity and tree ---------------------------------------------------
    // Controls are destroyed only through Delete, never with plain delete, so
    // that the manager can forget them first.
    virtual void Delete();
    virtual ~CControlUI();

    virtual CUIString GetName() const;
    virtual void SetName(LPCWSTR name);
    virtual LPCWSTR GetClass() const;
    virtual void* GetInterface(LPCWSTR name);
    virtual UIControlFlag GetControlFlags() const;
    virtual HWND GetNativeWindow() const;
    virtual bool Activate();

    virtual CWindowManagerUI* GetManager() const;
    virtual void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true);
    virtual CControlUI* GetParent() const;
    virtual CControlUI* GetCover() const;
    virtual void SetCover(CControlUI* cover);  // takes ownership

    virtual CUIString GetText() const;
    virtual void SetText(LPCWSTR text);

    // ---- Position and size rules ---------------------------------------------
    virtual const RECT& GetPos() const;
    virtual RECT GetRelativePos() const;
    virtual RECT GetClientPos() const;
    virtual void SetPos(RECT rc, bool invalidate = true);
    virtual void Move(SIZE offset, bool invalidate = true);
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    virtual int GetX() const;
    virtual int GetY() const;
    virtual RECT GetPadding() const;
    virtual void SetPadding(RECT padding);
    virtual SIZE GetFixedXY() const;
    virtual void SetFixedXY(SIZE xy);
    virtual FloatPercent GetFloatPercent() const;
    virtual void SetFloatPercent(FloatPercent percent);
    virtual int GetFixedWidth() const;
    virtual void SetFixedWidth(int cx);
    virtual int GetFixedHeight() const;
    virtual void SetFixedHeight(int cy);
    virtual int GetMinWidth() const;
    virtual void SetMinWidth(int cx);
    virtual int GetMaxWidth() const;
    virtual void SetMaxWidth(int cx);
    virtual int GetMinHeight() const;
    virtual void SetMinHeight(int cy);
    virtual int GetMaxHeight() const;
    virtual void SetMaxHeight(int cy);

    // ---- Tooltip and plain properties ----------------------------------------
    virtual CUIString GetToolTip() const;
    virtual void SetToolTip(LPCWSTR text);  // "<n>" becomes a line break
    virtual void SetToolTipWidth(int width);
    virtual int GetToolTipWidth() const;
    virtual WCHAR GetShortcut() const;
    virtual void SetShortcut(WCHAR ch);
    virtual bool IsContextMenuUsed() const;
    virtual void SetContextMenuUsed(bool used);
    virtual const CUIString& GetUserData() const;
    virtual void SetUserData(LPCWSTR text);
    virtual UINT_PTR GetTag() const;
    virtual void SetTag(UINT_PTR tag);

    // ---- Visibility, input and focus -----------------------------------------
    virtual bool IsVisible() const;
    virtual void SetVisible(bool show = true);
    virtual void SetInternVisible(bool show = true);
    virtual bool IsEnabled() const;
    virtual void SetEnabled(bool enable = true);
    virtual bool IsMouseEnabled() const;
    virtual void SetMouseEnabled(bool enable = true);
    virtual bool IsKeyboardEnabled() const;
    virtual void SetKeyboardEnabled(bool enable = true);
    virtual bool IsFocused() const;
    virtual void SetFocus();
    virtual bool IsFloat() const;
    virtual void SetFloat(bool isFloat = true);

    virtual CControlUI* FindControl(FindControlProc proc, void* data, UIFindFlag flags);

    // ---- Life and events -----------------------------------------------------
    virtual void Init();
    virtual void OnInit();
    virtual void SendEvent(UIEvent& event);
    virtual void OnEvent(UIEvent& event);

    // ---- Skin attributes -----------------------------------------------------
    virtual CUIString GetAttribute(LPCWSTR name);
    virtual void SetAttribute(LPCWSTR name, LPCWSTR value);
    virtual CUIString GetAttributeList();
    // name="value" pairs separated by one blank; a malformed rest is ignored.
    virtual void SetAttributeList(LPCWSTR list);

    virtual bool IsAutoCalcWidth() const;
    virtual void SetAutoCalcWidth(bool enable);
    virtual bool IsAutoCalcHeight() const;
    virtual void SetAutoCalcHeight(bool enable);
    virtual SIZE EstimateSize(SIZE available);

    // ---- Painting, in this order: background colour, background image, status
    // image, text, border; then the cover over it all. ------------------------
    virtual bool Paint(HDC hdc, const RECT& paint, CControlUI* stopControl);
    virtual bool OnPaint(HDC hdc, const RECT& paint, CControlUI* stopControl);
    virtual void PaintBkColor(HDC hdc);
    virtual void PaintBkImage(HDC hdc);
    virtual void PaintStatusImage(HDC hdc);
    virtual void PaintText(HDC hdc);
    virtual void PaintBorder(HDC hdc);
    virtual void PostPaint(HDC hdc);

    // ---- Colours, border and images ------------------------------------------
    DWORD GetBkColor() const { return m_bkColor; }
    void SetBkColor(DWORD color);
    DWORD GetBkColor2() const { return m_bkColor2; }
    void SetBkColor2(DWORD color);
    DWORD GetBkColor3() const { return m_bkColor3; }
    void SetBkColor3(DWORD color);
    DWORD GetBorderColor() const { return m_borderColor; }
    void SetBorderColor(DWORD color);
    DWORD GetFocusBorderColor() const { return m_focusBorderColor; }
    void SetFocusBorderColor(DWORD color);
    bool IsColorHSL() const { return m_colorHsl; }
    void SetColorHSL(bool colorHsl);
    RECT GetBorderSize() const { return m_borderSize; }
    void SetBorderSize(int width);     // all four sides
    void SetBorderSizes(RECT widths);  // left, top, right, bottom
    SIZE GetBorderRound() const { return m_borderRound; }
    void SetBorderRound(SIZE round);
    int GetBorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(int style);
    const CUIString& GetBkImage() const { return m_bkImage.attributeText; }
    // Loads the image at once; a float control without a fixed size takes
    // the image's size.
    void SetBkImage(LPCWSTR image);
    const CUIString& GetForeImage() const { return m_foreImage.attributeText; }
    void SetForeImage(LPCWSTR image);
    // Draws an image attribute over pos within the part being painted; a
    // null dc only loads the image. False when there is no image.
    bool DrawImage(HDC hdc, ImageDrawInfo& image);
    // The colour as drawn: through the global HSL adjustment when colorHsl.
    DWORD AdjustColor(DWORD color) const;

    // ---- Invalidation and layout requests ------------------------------------
    void Invalidate();
    bool IsUpdateNeeded() const { return m_needsUpdate; }
    void RequestUpdate();
    void RequestParentUpdate();
    // Whether this control or one below it changed since the control was
    // last laid out: every invalidation and layout request marks the
    // control and all its ancestors, so a container laid out again at the
    // same place with nothing marked keeps its children where they are.
    bool IsLayoutChanged() const { return m_layoutChanged; }
    void KeepLayoutUnchanged() { m_layoutChanged = false; }

    // ---- Virtual window and custom attributes --------------------------------
    void SetVirtualWnd(LPCWSTR name);
    CUIString GetVirtualWnd() const;
    // The first value given for a name stays.
    void AddCustomAttribute(LPCWSTR name, LPCWSTR value);
    LPCWSTR GetCustomAttribute(LPCWSTR name);  // null when absent
    void RemoveAllCustomAttributes();

    // ---- Hooks ---------------------------------------------------------------
    CDelegateList initDelegates;       // Init, with the control
    CDelegateList destroyDelegates;    // destructor, with the control
    CDelegateList sizeDelegates;       // SetPos, with the control
    CDelegateList eventDelegates;      // SendEvent, with the UIEvent; false swallows it
    CDelegateList notifyDelegates;     // each notification this control sends, with the NotifyMsg
    CDelegateList paintDelegates;      // Paint, with the control; false skips the own drawing
    CDelegateList postPaintDelegates;  // PostPaint, with the control

protected:
    // Invalidates `area` clipped by every ancestor, unless one is hidden or
    // the clipped area becomes empty.
    void InvalidateClipped(RECT area);
    // Gives one of the control's image records a new attribute text and
    // repaints, unless it already shows that loaded image.
    void SetImageRecord(ImageDrawInfo& record, LPCWSTR text);
    void MarkLayoutChanged();
    // A control that is hidden must not keep the window's focus.
    void ReleaseFocus();

private:
    void PlaceFloatInParent(const RECT& relative);
    void PlaceCover();
    void SetSizeLimit(int& limit, int value);
    void SetColor(DWORD& field, DWORD color);
    void PaintBorderSides(HDC hdc, DWORD color);

protected:
    CWindowManagerUI* m_manager = nullptr;
    CControlUI* m_parent = nullptr;
    CControlUI* m_cover = nullptr;  // owned
    CUIString m_virtualWnd;
    CUIString m_name;
    bool m_needsUpdate = true;
    bool m_layoutChanged = true;       // see IsLayoutChanged
    bool m_updateInvalidated = false;  // RequestUpdate invalidated the place the coming layout repaints
    bool m_contextMenuUsed = false;
    RECT m_pos = {0, 0, 0, 0};  // window client coordinates
    RECT m_padding = {0, 0, 0, 0};
    SIZE m_fixedXY = {0, 0};
    int m_fixedWidth = 0;  // 0: not fixed
    int m_fixedHeight = 0;
    int m_minWidth = 0;
    int m_minHeight = 0;
    int m_maxWidth = 9999;
    int m_maxHeight = 9999;
    bool m_visible = true;
    bool m_internVisible = true;
    bool m_enabled = true;
    bool m_mouseEnabled = true;
    bool m_keyboardEnabled = true;
    bool m_focused = false;
    bool m_float = false;
    FloatPercent m_floatPercent;
    bool m_inSizeEvent = false;  // guards sizeDelegates against re-entry
    CUIString m_text;
    CUIString m_toolTip;
    WCHAR m_shortcut = 0;
    CUIString m_userData;
    UINT_PTR m_tag = 0;
    DWORD m_bkColor = 0;
    DWORD m_bkColor2 = 0;
    DWORD m_bkColor3 = 0;
    ImageDrawInfo m_bkImage;
    ImageDrawInfo m_foreImage;
    DWORD m_borderColor = 0;
    DWORD m_focusBorderColor = 0;
    bool m_colorHsl = false;
    int m_borderStyle = 0;  // pen style of the border
    int m_toolTipWidth = 300;
    SIZE m_borderRound = {0, 0};
    RECT m_paintRect = {0, 0, 0, 0};  // the part of pos being painted
    RECT m_borderSize = {0, 0, 0, 0};
    CUIStringMap m_customAttributes;  // name -> owned CUIString
    bool m_autoCalcWidth = false;
    bool m_autoCalcHeight = false;
    bool m_renaming = false;  // SetName is waiting for the manager's re-index
};

}  // namespace CalUI
