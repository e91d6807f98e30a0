#pragma once
// Where a dialog skin of the client's archive puts its controls, read by
// laying the skin out in a window of the test's own, so that tests click a
// running client where its skin says. The archive must have been handed to
// the framework (SetResourceZip) first.

#include <windows.h>

#include <initializer_list>

// The centre of the named control in the window's client area, the control
// and its parents shown and the controls of `hidden` hidden first (as the window code shows
// and hides them); throws when the skin or the control is not there.
// Laying out pumps every message of the thread: a test that runs a window of
// its own in-process measures before that window exists.
POINT SkinControlCentre(LPCWSTR skinFile, LPCWSTR name, std::initializer_list<LPCWSTR> hidden = {});

// Mouse move, button down and button up at `at`, posted to the window.
void PostClick(HWND window, POINT at);
