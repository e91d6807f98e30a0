#pragma once
// The callback interfaces through which windows, controls and the paint
// manager reach each other without knowing each other's classes.

#include <windows.h>

#include "core/UIEvent.h"

namespace CalUI {

class CControlUI;

// A window that wants its controls' notifications registers one with its
// paint manager (CWindowManagerUI::AddNotifyReceiver).
class INotifyUI
{
public:
    virtual void Notify(NotifyMsg& msg) = 0;

protected:
    ~INotifyUI() = default;
};

// Sees every message of a window before the paint manager does. Setting
// `handled` consumes the message; the return value then becomes the window
// procedure's result.
class IMessageFilterUI
{
public:
    virtual LRESULT FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) = 0;

protected:
    ~IMessageFilterUI() = default;
};

// Offered every message the modal loop takes; 0 (S_OK) means translated, and
// the loop then drops the message.
class ITranslateAccelerator
{
public:
    virtual LRESULT TranslateAccelerator(MSG* msg) = 0;

protected:
    ~ITranslateAccelerator() = default;
};

// Asked by the dialog builder for element names it does not know itself.
class IDialogBuilderCallback
{
public:
    // A new heap control, or null to skip the element and its subtree.
    virtual CControlUI* CreateControl(LPCWSTR className) = 0;

protected:
    ~IDialogBuilderCallback() = default;
};

// The item face of every control that holds children; reached through
// CControlUI::GetInterface("IContainer").
class IContainerUI
{
public:
    virtual CControlUI* GetItemAt(int index) const = 0;
    virtual int GetItemIndex(CControlUI* control) const = 0;
    virtual bool SetItemIndex(CControlUI* control, int newIndex) = 0;
    virtual bool MoveItems(CControlUI* first, int count, int newIndex) = 0;
    virtual int GetCount() const = 0;
    virtual bool Add(CControlUI* control) = 0;  // takes ownership on success
    virtual bool AddAt(CControlUI* control, int index) = 0;
    virtual bool Remove(CControlUI* control, bool keep = false) = 0;
    virtual bool RemoveAt(int index, bool keep = false) = 0;
    virtual void RemoveAll() = 0;

protected:
    ~IContainerUI() = default;
};

}  // namespace CalUI
