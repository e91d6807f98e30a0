// Registry helpers on a test key under HKEY_CURRENT_USER that every test
// removes again.
#include <windows.h>
#include <gtest/gtest.h>

#include "services/RegistryUtil.h"
#include "services/TextConvert.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// "张三的游戏" in UTF-8.
const std::string kChineseUtf8 = "\xE5\xBC\xA0\xE4\xB8\x89\xE7\x9A\x84\xE6\xB8\xB8\xE6\x88\x8F";
const std::wstring kChineseWide = L"张三的游戏";

class Registry : public testing::Test
{
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str()); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str()); }

    // What the registry itself holds, read without the helpers.
    struct Stored
    {
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
    };
    Stored ReadStored(const std::wstring& valueName) const
    {
        Stored stored;
        DWORD size = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, key_.c_str(), valueName.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &stored.type,
                         nullptr, &size) == ERROR_SUCCESS) {
            stored.data.resize(size);
            RegGetValueW(HKEY_CURRENT_USER, key_.c_str(), valueName.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &stored.type,
                         stored.data.data(), &size);
            stored.data.resize(size);
        }
        return stored;
    }

    std::wstring Read(const std::wstring& valueName, DWORD type = REG_SZ) const
    {
        std::wstring text = L"stale";
        EXPECT_TRUE(ReadRegValue(HKEY_CURRENT_USER, key_, valueName, type, text));
        return text;
    }

    const std::wstring key_ = L"Software\\calverin_test_" + std::to_wstring(GetCurrentProcessId());
    const std::string keyUtf8_ = WideToUtf8(key_);
};

TEST_F(Registry, WideValuesReadBackExactly)
{
    ASSERT_TRUE(WriteRegValue(HKEY_CURRENT_USER, key_, L"用户", REG_SZ, kChineseWide,
                              static_cast<DWORD>((kChineseWide.size() + 1) * sizeof(wchar_t))));
    EXPECT_EQ(kChineseWide, Read(L"用户"));
    ASSERT_TRUE(WriteRegValue(HKEY_CURRENT_USER, key_, L"用户", REG_SZ, std::wstring(L"1"), 4));
    EXPECT_EQ(L"1", Read(L"用户")) << "a second write replaces the value";
}

TEST_F(Registry, Utf8ValuesWrittenAsBytesReadBackExactly)
{
    // The sign-in stores its texts as UTF-8 bytes counted without a terminating zero.
    ASSERT_TRUE(WriteRegValue(HKEY_CURRENT_USER, keyUtf8_, "username", REG_SZ, kChineseUtf8,
                              static_cast<DWORD>(kChineseUtf8.size())));
    EXPECT_EQ(kChineseWide, Read(L"username"));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), ReadStored(L"username").type);

    const std::string token = "9f86d081884c7d659a2feaa0c55ad015";
    ASSERT_TRUE(WriteRegValue(HKEY_CURRENT_USER, keyUtf8_, "token", REG_SZ, token, static_cast<DWORD>(token.size())));
    EXPECT_EQ(L"9f86d081884c7d659a2feaa0c55ad015", Read(L"token"));

    // A value name and key in UTF-8 name the same value as their wide form.
    ASSERT_TRUE(WriteRegValue(HKEY_CURRENT_USER, keyUtf8_, kChineseUtf8, REG_SZ, std::string("1"), 1));
    EXPECT_EQ(L"1", Read(kChineseWide));
}

TEST_F(Registry, ByteCountPicksThePartOfTheDataToStore)
{
    ASSERT_TRUE(WriteRegValue(HKEY_CURRENT_USER, keyUtf8_, "part", REG_SZ, std::string("abcdef"), 3));
    EXPECT_EQ(L"abc", Read(L"part"));

    // A count past the end of the data stops at the string's own terminating zero.
    ASSERT_TRUE(WriteRegValue(HKEY_CURRENT_USER, key_, L"wide", REG_SZ, std::wstring(L"abc"), 4096));
    EXPECT_EQ(8u, ReadStored(L"wide").data.size());
    ASSERT_TRUE(WriteRegValue(HKEY_CURRENT_USER, keyUtf8_, "bytes", REG_BINARY, std::string("\x01\x02", 2), 4096));
    EXPECT_EQ((std::vector<BYTE>{1, 2, 0}), ReadStored(L"bytes").data);
}

TEST_F(Registry, NonStringTypesKeepTheirBytes)
{
    const DWORD number = 0xFFFFFFFE;
    const std::string bytes(reinterpret_cast<const char*>(&number), sizeof number);
    ASSERT_TRUE(WriteRegValue(HKEY_CURRENT_USER, keyUtf8_, "count", REG_DWORD, bytes, sizeof number));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), ReadStored(L"count").type);
    EXPECT_EQ(L"4294967294", Read(L"count", REG_DWORD));

    const std::string binary = "\xE4\xB8\xAD\x00\xFF";
    ASSERT_TRUE(WriteRegValue(HKEY_CURRENT_USER, keyUtf8_, "blob", REG_BINARY, std::string(binary.data(), 5), 5));
    const Stored stored = ReadStored(L"blob");
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), stored.type);
    EXPECT_EQ(std::string(binary.data(), 5), std::string(stored.data.begin(), stored.data.end()));
}

TEST_F(Registry, MultiStringKeepsItsSeparators)
{
    const std::string texts("a\0"
                            "\xE4\xB8\xAD"
                            "\0\0",
                            7);
    ASSERT_TRUE(WriteRegValue(HKEY_CURRENT_USER, keyUtf8_, "list", REG_MULTI_SZ, texts, 7));
    const Stored stored = ReadStored(L"list");
    const std::wstring expected(L"a\0中\0\0", 5);
    ASSERT_EQ(expected.size() * sizeof(wchar_t), stored.data.size());
    EXPECT_EQ(0, std::memcmp(expected.data(), stored.data.data(), stored.data.size()));
    EXPECT_EQ(L"a", Read(L"list")) << "read as text, a list ends at its first zero";
}

TEST_F(Registry, ValuesLongerThanAnyFixedBufferAreReadWhole)
{
    for (const size_t length : {5119u, 5120u, 5121u, 10239u, 10240u, 10241u, 100000u}) {
        SCOPED_TRACE(length);
        std::wstring text(length, L'中');
        text.back() = L'x';
        ASSERT_TRUE(WriteRegValue(HKEY_CURRENT_USER, key_, L"long", REG_SZ, text,
                                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))));
        EXPECT_EQ(text, Read(L"long"));
    }
}

TEST_F(Registry, TextWithoutTerminatingZeroEndsWithItsData)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr));
    const wchar_t text[] = L"abcdef";
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, L"raw", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 6));
    RegCloseKey(key);
    EXPECT_EQ(L"abc", Read(L"raw"));
}

TEST_F(Registry, MissingKeyOrValueFailsWithEmptyText)
{
    std::wstring text = L"stale";
    EXPECT_FALSE(ReadRegValue(HKEY_CURRENT_USER, key_, L"token", REG_SZ, text));
    EXPECT_EQ(L"", text);

    ASSERT_TRUE(WriteRegValue(HKEY_CURRENT_USER, key_, L"other", REG_SZ, std::wstring(L"x"), 4));
    text = L"stale";
    EXPECT_FALSE(ReadRegValue(HKEY_CURRENT_USER, key_, L"token", REG_SZ, text));
    EXPECT_EQ(L"", text);
}

TEST_F(Registry, WriteCreatesMissingKeysAndFailsWhereNoKeyCanBe)
{
    const std::wstring nested = key_ + L"\\一\\二";
    ASSERT_TRUE(WriteRegValue(HKEY_CURRENT_USER, nested, L"v", REG_SZ, std::wstring(L"深"), 4));
    std::wstring text;
    EXPECT_TRUE(ReadRegValue(HKEY_CURRENT_USER, nested, L"v", REG_SZ, text));
    EXPECT_EQ(L"深", text);

    EXPECT_FALSE(WriteRegValue(reinterpret_cast<HKEY>(0x12345678), key_, L"v", REG_SZ, std::wstring(L"x"), 4));
}

TEST_F(Registry, DeleteRemovesTheValueOnce)
{
    ASSERT_TRUE(WriteRegValue(HKEY_CURRENT_USER, keyUtf8_, "token", REG_SZ, std::string("abc"), 3));
    ASSERT_TRUE(WriteRegValue(HKEY_CURRENT_USER, keyUtf8_, "token2", REG_SZ, std::string("42"), 2));
    EXPECT_TRUE(DeleteRegValue(HKEY_CURRENT_USER, keyUtf8_, "token"));
    std::wstring text;
    EXPECT_FALSE(ReadRegValue(HKEY_CURRENT_USER, key_, L"token", REG_SZ, text));
    EXPECT_EQ(L"42", Read(L"token2")) << "only the named value goes";

    EXPECT_FALSE(DeleteRegValue(HKEY_CURRENT_USER, keyUtf8_, "token")) << "already gone";
    EXPECT_FALSE(DeleteRegValue(HKEY_CURRENT_USER, keyUtf8_ + "\\missing", "token"));
}

// Only a 32-bit program on 64-bit Windows sees two registry views.
bool HasTwoRegistryViews()
{
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

TEST(RegistryViews, ValueOnlyInThe64BitViewIsFound)
{
    if (!HasTwoRegistryViews())
        GTEST_SKIP() << "this system has a single registry view";
    const std::wstring key = L"Software\\calverin_test_" + std::to_wstring(GetCurrentProcessId());
    // HKLM\Software is redirected for 32-bit programs, so the plain view cannot see this.
    ASSERT_TRUE(WriteRegValue(HKEY_LOCAL_MACHINE, key, L"placeholder", REG_SZ, std::wstring(L"32"), 6));
    HKEY key64 = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0,
                                             KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key64, nullptr));
    const wchar_t folder[] = L"C:\\Program Files\\游戏\\uninst.exe";
    RegSetValueExW(key64, L"UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder), sizeof folder);
    RegCloseKey(key64);

    std::wstring text;
    EXPECT_TRUE(ReadRegValue(HKEY_LOCAL_MACHINE, key, L"UninstallString", REG_SZ, text));
    EXPECT_EQ(folder, text);
    EXPECT_TRUE(ReadRegValue(HKEY_LOCAL_MACHINE, key, L"placeholder", REG_SZ, text));
    EXPECT_EQ(L"32", text);

    RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), KEY_WOW64_64KEY, 0);
}

}  // namespace
