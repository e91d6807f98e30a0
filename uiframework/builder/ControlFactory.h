#pragma once
// Controls made from their skin element names. Every control class joins the
// table in ControlFactory.cpp with the element names it answers to; the
// dialog builder asks the table first, then the paint manager's list of
// creator functions, then the window.

#include <windows.h>

namespace CalUI {

class CControlUI;

// An entry of CWindowManagerUI::GetControlCreators: a new heap control for
// the element name, or null.
using ControlCreatorProc = CControlUI* (*)(LPCWSTR elementName);

// A new heap control for the element name (compared ignoring case), or null
// when no control class answers to it.
CControlUI* CreateControlByElementName(LPCWSTR elementName);

}  // namespace CalUI
