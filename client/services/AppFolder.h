#pragma once
// The folder of the running program, with a trailing backslash. Empty until
// the entry point sets it first thing; the log and the picture cache ("cache\")
// live under it.

#include <string>

extern std::wstring g_appFolder;
