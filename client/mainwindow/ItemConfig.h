#pragma once
// The main window's entries of an item in config.ini. A section is named by
// the id's decimal number, so that "007" and "7" are one item everywhere.

#include <string>

// prefix ("game_", "plugin_") followed by the id's number.
std::wstring ConfigSection(const wchar_t* prefix, const std::wstring& id);

// The value, cut at 511 characters; empty when it is missing.
std::wstring ReadItemConfig(const std::wstring& section, const wchar_t* key);
// False when config.ini could not be written.
bool WriteItemConfig(const std::wstring& section, const wchar_t* key, const std::wstring& value);
