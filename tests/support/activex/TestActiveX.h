#pragma once
// The test library of OLE controls (calverin_test_activex.dll): never
// registered, reached by hosts through "modulename" and "clsid". Every
// class records the calls it receives, in order, in one log of the library,
// as "<kind>:<call>" lines.
//
// Kinds and their class ids:
//   windowless   asks windowless activation; view object fills its area with
//                kWindowlessColor; hit test: the area less its right quarter
//   windowed     activates in a window; makes its own child window (class
//                "TestActiveXChild") filling the host's, painted and printed
//                kWindowedColor
//   nowindowless asks windowless activation but answers no windowless
//                in-place interface; then behaves as "windowed"
//   invisible    OLEMISC_INVISIBLEATRUNTIME
//   sitefirst    OLEMISC_SETCLIENTSITEFIRST
//   failinit     InitNew fails
//   browser      a stand-in of the platform's web browser: windowed,
//                IWebBrowser2 (Navigate2, get_Document, put_Silent),
//                events through IConnectionPointContainer, accelerators
//                through IOleInPlaceActiveObject (answers S_OK)
//
// The library's functions, found with GetProcAddress by the names below.

#include <windows.h>

namespace TestActiveX {

constexpr wchar_t kLibraryName[] = L"calverin_test_activex.dll";

constexpr wchar_t kWindowlessClsid[] = L"{6C1A0001-5E2B-4C71-9A31-0C4D1E7A0F01}";
constexpr wchar_t kWindowedClsid[] = L"{6C1A0002-5E2B-4C71-9A31-0C4D1E7A0F01}";
constexpr wchar_t kNoWindowlessClsid[] = L"{6C1A0003-5E2B-4C71-9A31-0C4D1E7A0F01}";
constexpr wchar_t kInvisibleClsid[] = L"{6C1A0004-5E2B-4C71-9A31-0C4D1E7A0F01}";
constexpr wchar_t kSiteFirstClsid[] = L"{6C1A0005-5E2B-4C71-9A31-0C4D1E7A0F01}";
constexpr wchar_t kFailInitClsid[] = L"{6C1A0006-5E2B-4C71-9A31-0C4D1E7A0F01}";
constexpr wchar_t kBrowserClsid[] = L"{6C1A0007-5E2B-4C71-9A31-0C4D1E7A0F01}";

// The view objects fill their bounds with these and write their kind in the
// middle.
constexpr COLORREF kWindowlessColor = RGB(0x43, 0xCF, 0x7C);
constexpr COLORREF kWindowedColor = RGB(0x2F, 0x37, 0x45);

// Every line recorded since the last clear, each ended by '\n'. The text
// stays valid until the next call into the library.
using CallsProc = const wchar_t* (*)();
constexpr char kCalls[] = "TestActiveXCalls";
using ClearCallsProc = void (*)();
constexpr char kClearCalls[] = "TestActiveXClearCalls";
// Adds a line of the test's own ("note:<text>") between the objects' lines.
using NoteProc = void (*)(const wchar_t* text);
constexpr char kNote[] = "TestActiveXNote";
// Objects of the library alive now (documents and frames not counted).
using LiveObjectsProc = LONG (*)();
constexpr char kLiveObjects[] = "TestActiveXLiveObjects";
// The event sink the stand-in browser holds (not counted); null when none.
using BrowserSinkProc = IDispatch* (*)();
constexpr char kBrowserSink[] = "TestActiveXBrowserSink";
// The UI handler the stand-in browser's document was given (not counted).
using DocumentUIHandlerProc = IUnknown* (*)();
constexpr char kDocumentUIHandler[] = "TestActiveXDocumentUIHandler";
// A stand-in HTML document whose window's event carries a script error;
// one reference for the caller.
using NewScriptErrorDocumentProc = IUnknown* (*)();
constexpr char kNewScriptErrorDocument[] = "TestActiveXNewScriptErrorDocument";

}  // namespace TestActiveX
