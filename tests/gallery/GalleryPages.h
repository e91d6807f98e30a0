// What each gallery page plays once its window has laid itself out: the
// states a skin cannot set (a hover, typed text, an open popup) made by
// posting messages to the window, as a user's mouse and keys would.
#pragma once

#include <string>

#include "core/WindowManagerUI.h"

// Plays the page named by its skin file ("gallery.xml", ...); a page without
// a script is left as its skin shows it.
void PlayGalleryPage(const std::wstring& page, CalUI::CWindowManagerUI& manager);

// Puts the cursor over the named control and posts the move there: the manager
// checks where the cursor really is when it tracks the mouse's leaving.
// Nothing happens when the page has no such control.
void HoverGalleryControl(CalUI::CWindowManagerUI& manager, const wchar_t* name);

// Types a password and Chinese and Latin text into the text-field page and
// leaves the typed field focused.
void PlayTextFieldsPage(CalUI::CWindowManagerUI& manager);
