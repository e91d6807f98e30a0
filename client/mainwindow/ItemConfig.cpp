#include "mainwindow/ItemConfig.h"

#include <windows.h>

#include <cwchar>
#include <iterator>

#include "services/SessionData.h"

std::wstring ConfigSection(const wchar_t* prefix, const std::wstring& id)
{
    return prefix + std::to_wstring(_wtoi(id.c_str()));
}

std::wstring ReadItemConfig(const std::wstring& section, const wchar_t* key)
{
    wchar_t value[512] = {};
    ::GetPrivateProfileStringW(section.c_str(), key, L"", value, static_cast<DWORD>(std::size(value)),
                               g_sessionData.GetConfigIniPath().c_str());
    return value;
}

bool WriteItemConfig(const std::wstring& section, const wchar_t* key, const std::wstring& value)
{
    return ::WritePrivateProfileStringW(section.c_str(), key, value.c_str(),
                                        g_sessionData.GetConfigIniPath().c_str()) != FALSE;
}
