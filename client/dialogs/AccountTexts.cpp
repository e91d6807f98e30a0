// Input checks and the password mark of the account windows.

#include "dialogs/AccountTexts.h"

#include <windows.h>

#include <algorithm>

#include "services/RegistryUtil.h"
#include "services/SessionData.h"

bool IsAllDigits(const std::wstring& text)
{
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

void RememberPasswordSet()
{
    const std::string one = "1";
    WriteRegValue(HKEY_CURRENT_USER, kClientSettingsKey, g_sessionData.GetUserIdOrZero(), REG_SZ, one,
                  static_cast<DWORD>(one.size()));
}
