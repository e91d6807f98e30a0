// The daily limit of SMS codes, as the registry of the test prefix keeps it.

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>

#include "dialogs/SmsCodeLimit.h"
#include "services/RegistryUtil.h"
#include "services/TextConvert.h"

namespace {

// The two values as a test sets them; nullopt: the value is missing.
void Store(const char* name, const std::optional<std::string>& digits)
{
    if (!digits) {
        DeleteRegValue(HKEY_CURRENT_USER, kClientSettingsKey, name);
        return;
    }
    WriteRegValue(HKEY_CURRENT_USER, kClientSettingsKey, name, REG_SZ, *digits, static_cast<DWORD>(digits->size()));
}

std::string Read(const char* name)
{
    std::wstring text;
    ReadRegValue(HKEY_CURRENT_USER, Utf8ToWide(kClientSettingsKey), Utf8ToWide(name), REG_SZ, text);
    return WideToUtf8(text);
}

TEST(SmsCodeLimit, FiveCodesADayAcrossEveryWindow)
{
    const std::string today = std::to_string(TodayAsDateNumber());
    const std::string yesterday = std::to_string(TodayAsDateNumber() - 1);
    struct Case
    {
        const char* name;
        std::optional<std::string> date, count;
        bool limitReached;
        std::string countAfterASend;  // "": nothing written
    } cases[] = {
        {"first run: no values", std::nullopt, std::nullopt, false, "1"},
        {"empty values", "", "", false, "1"},
        {"an earlier day restarts at one", yesterday, "5", false, "1"},
        {"today, four so far", today, "4", false, "5"},
        {"today, five: refused, nothing counted", today, "5", true, ""},
        {"today, beyond five", today, "9", true, ""},
        {"unreadable count counts as none", today, "x7", false, "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Store("send_date", c.date);
        Store("send_count", c.count);
        EXPECT_EQ(IsCodeLimitReached(), c.limitReached);

        const std::string countBefore = Read("send_count");
        CountCodeSent();
        if (c.countAfterASend.empty()) {
            EXPECT_EQ(Read("send_count"), countBefore);
        } else {
            EXPECT_EQ(Read("send_date"), today);
            EXPECT_EQ(Read("send_count"), c.countAfterASend);
        }
    }
    DeleteRegValue(HKEY_CURRENT_USER, kClientSettingsKey, "send_date");
    DeleteRegValue(HKEY_CURRENT_USER, kClientSettingsKey, "send_count");
}

}  // namespace
