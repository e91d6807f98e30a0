#pragma once
// Links that the web service hands the client (advertisements, the support
// and plug-in upload pages) open in the user's browser. The service's text
// is not trusted to name a program or a local file: only web addresses open.

#include <string>

// True when the text starts with "http://" or "https://" (the scheme in any
// case) and has something after it.
bool IsWebLink(const std::wstring& link);

// Hands a web link to the system's opener (ShellExecuteW "open", no owner,
// SW_SHOWNORMAL); any other text opens nothing. True when it was handed on.
bool OpenWebLink(const std::wstring& link);
