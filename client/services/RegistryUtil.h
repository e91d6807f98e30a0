#pragma once
// Reading, writing and deleting registry values under a root key such as
// HKEY_CURRENT_USER. Byte strings are UTF-8, wide strings UTF-16.
#include <windows.h>
#include <string>

// The client's own key under HKEY_CURRENT_USER: sign-in, user name and the
// daily count of SMS codes.
inline constexpr char kClientSettingsKey[] = "Software\\calverin";

// Reads the value into text (cleared first), rendered by the type the caller
// names: REG_DWORD as decimal digits, every other type as text up to its first
// zero character. Looks in the registry's 32-bit view and then in the 64-bit
// view, so a value that only the 64-bit view holds is found too. False, with an
// empty text, when neither view has it.
bool ReadRegValue(HKEY root, const std::wstring& subkey, const std::wstring& valueName, DWORD type, std::wstring& text);

// Opens the subkey for writing, creating it when it does not exist, and sets the
// value with the given type and the first dataSize bytes of data; true when the
// value was set. String types (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) are stored as
// the UTF-16 form of the UTF-8 data, so that ReadRegValue gives the same text
// back; other types keep their bytes unchanged.
bool WriteRegValue(HKEY root, const std::string& subkey, const std::string& valueName, DWORD type,
                   const std::string& data, DWORD dataSize);
bool WriteRegValue(HKEY root, const std::wstring& subkey, const std::wstring& valueName, DWORD type,
                   const std::wstring& data, DWORD dataSize);

// Deletes the value; false when the subkey cannot be opened or the value cannot
// be deleted.
bool DeleteRegValue(HKEY root, const std::string& subkey, const std::string& valueName);
