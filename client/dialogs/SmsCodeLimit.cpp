// The daily count of SMS codes in the registry.

#include "dialogs/SmsCodeLimit.h"

#include <windows.h>

#include <string>

#include "services/RegistryUtil.h"
#include "services/TextConvert.h"

namespace {

constexpr unsigned kCodesPerDay = 5;
constexpr char kDateValue[] = "send_date";
constexpr char kCountValue[] = "send_count";

// Leading decimal digits; anything else, or no value, is 0.
unsigned ReadNumber(const char* valueName)
{
    std::wstring text;
    if (!ReadRegValue(HKEY_CURRENT_USER, Utf8ToWide(kClientSettingsKey), Utf8ToWide(valueName), REG_SZ, text))
        return 0;
    unsigned number = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            break;
        number = number * 10 + static_cast<unsigned>(c - L'0');
    }
    return number;
}

// The digits alone, without a terminating null character, as stored files
// of earlier versions have them.
void WriteNumber(const char* valueName, unsigned number)
{
    const std::string digits = std::to_string(number);
    WriteRegValue(HKEY_CURRENT_USER, kClientSettingsKey, valueName, REG_SZ, digits, static_cast<DWORD>(digits.size()));
}

}  // namespace

unsigned TodayAsDateNumber()
{
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    return now.wYear * 10000u + now.wMonth * 100u + now.wDay;
}

bool IsCodeLimitReached()
{
    if (ReadNumber(kDateValue) < TodayAsDateNumber())
        return false;
    return ReadNumber(kCountValue) >= kCodesPerDay;
}

void CountCodeSent()
{
    const unsigned today = TodayAsDateNumber();
    if (ReadNumber(kDateValue) < today) {
        WriteNumber(kDateValue, today);
        WriteNumber(kCountValue, 1);
        return;
    }
    const unsigned count = ReadNumber(kCountValue);
    if (count >= kCodesPerDay)
        return;
    WriteNumber(kDateValue, today);
    WriteNumber(kCountValue, count + 1);
}
