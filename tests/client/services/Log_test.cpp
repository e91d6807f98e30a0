// The log writer on real files: byte-order mark, entry layout, the size cap,
// the cut of formatted text and writers on several threads.
#include "ScratchFolder.h"
#include "services/WriteLogFile.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <latch>
#include <cwctype>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

const std::string kBom = "\xFF\xFE";
constexpr unsigned long kCapBytes = 1024 * 1024;

struct Entry
{
    std::wstring time, source, text;
    int line = 0;
};

std::wstring LocalTimeText()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t text[32];
    _snwprintf(text, 31, L"%04d-%02d-%02d %02d:%02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
               now.wSecond);
    text[31] = 0;
    return text;
}

// "[yyyy-mm-dd hh:mm:ss][source line]text", every number of the time with
// its fixed count of digits.
bool ParseEntry(const std::wstring& piece, Entry& entry)
{
    static const std::wstring timeShape = L"dddd-dd-dd dd:dd:dd";
    if (piece.size() < 2 + timeShape.size() + 2 || piece[0] != L'[' || piece.compare(20, 2, L"][") != 0)
        return false;
    entry.time = piece.substr(1, timeShape.size());
    for (size_t i = 0; i < timeShape.size(); ++i)
        if (timeShape[i] == L'd' ? !iswdigit(entry.time[i]) : entry.time[i] != timeShape[i])
            return false;
    size_t close = piece.find(L']', 22);
    size_t space = piece.rfind(L' ', close);
    if (close == std::wstring::npos || space == std::wstring::npos || space < 22 || space + 1 == close)
        return false;
    for (size_t i = space + 1; i < close; ++i)
        if (!iswdigit(piece[i]))
            return false;
    entry.source = piece.substr(22, space - 22);
    entry.line = std::stoi(piece.substr(space + 1, close - space - 1));
    entry.text = piece.substr(close + 1);
    return true;
}

class LogTest : public testing::Test
{
protected:
    void SetUp() override { m_log.SetLogPath(m_path, 1024); }

    std::string Raw() const { return ScratchFolder::ReadFile(m_path); }

    // The file's entries; the file must start with exactly one byte-order mark.
    std::vector<Entry> Entries() const
    {
        std::string raw = Raw();
        EXPECT_EQ(kBom, raw.substr(0, 2));
        EXPECT_EQ(0u, raw.size() % 2);
        std::wstring text(raw.size() / 2 - 1, L'\0');
        memcpy(text.data(), raw.data() + 2, text.size() * 2);
        EXPECT_EQ(L"\r\n", text.substr(text.size() < 2 ? 0 : text.size() - 2)) << "the last entry is complete";

        std::vector<Entry> entries;
        for (size_t start = 0, end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
            Entry entry;
            if (ParseEntry(text.substr(start, end - start), entry))
                entries.push_back(entry);
            else
                ADD_FAILURE() << "torn or malformed entry: " << testing::PrintToString(text.substr(start, 60));
        }
        return entries;
    }

    // Makes the log exactly this size: a byte-order mark and filler.
    void FillLog(unsigned long size) { m_folder.WriteFile(L"log.txt", kBom + std::string(size - 2, 'x')); }

    ScratchFolder m_folder;
    std::wstring m_path = m_folder.File(L"log.txt");
    CWriteLogFile m_log;
};

TEST_F(LogTest, EntriesCarryTimeSourceAndLineAfterOneByteOrderMark)
{
    std::wstring before = LocalTimeText();
    m_log.WriteLog(L"C:\\src\\ThreadFunc.cpp", 7, L"第一行\n第二行");
    m_log.WriteLogFormat(L"Data.cpp", 1234, L"当前版本：%s", L"200");
    std::wstring after = LocalTimeText();

    std::vector<Entry> entries = Entries();
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ(L"C:\\src\\ThreadFunc.cpp", entries[0].source);
    EXPECT_EQ(7, entries[0].line);
    EXPECT_EQ(L"第一行\n第二行", entries[0].text) << "a line break inside the text stays as it is";
    EXPECT_EQ(L"Data.cpp", entries[1].source);
    EXPECT_EQ(1234, entries[1].line);
    EXPECT_EQ(L"当前版本：200", entries[1].text);
    for (const Entry& entry : entries) {
        EXPECT_LE(before, entry.time);
        EXPECT_GE(after, entry.time);
    }
    EXPECT_EQ(std::string::npos, Raw().find(kBom, 2)) << "a second byte-order mark";
}

TEST_F(LogTest, MacrosNameTheCallingSourceFileAndLine)
{
    g_logFile.SetLogPath(m_path, 1024);
    WRITE_LOG(L"plain");
    const int plainLine = __LINE__ - 1;
    WRITE_LOG_FORMAT(L"%d items", 3);
    const int formatLine = __LINE__ - 1;

    std::vector<Entry> entries = Entries();
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ(L"" __FILE__, entries[0].source);
    EXPECT_EQ(plainLine, entries[0].line);
    EXPECT_EQ(L"" __FILE__, entries[1].source);
    EXPECT_EQ(formatLine, entries[1].line);
    EXPECT_EQ(L"3 items", entries[1].text);
}

TEST_F(LogTest, FormattingTakesWideStringsAndCutsAtTheBufferSize)
{
    const std::wstring fits(10239, L'a');
    const std::wstring longer = fits + L"bcd";
    const std::wstring huge(30000, L'z');
    m_log.WriteLogFormat(L"f", 1, L"%s|%S|%d|%u", L"宽字符", "bytes", -5, 7u);
    m_log.WriteLogFormat(L"f", 2, L"%s", fits.c_str());
    m_log.WriteLogFormat(L"f", 3, L"%s", longer.c_str());
    m_log.WriteLogFormat(L"f", 4, L"%s%s", huge.c_str(), huge.c_str());
    m_log.WriteLog(L"f", 5, huge.c_str());

    std::vector<Entry> entries = Entries();
    ASSERT_EQ(5u, entries.size());
    EXPECT_EQ(L"宽字符|bytes|-5|7", entries[0].text);
    EXPECT_EQ(fits, entries[1].text);
    EXPECT_EQ(fits, entries[2].text);
    EXPECT_EQ(std::wstring(10239, L'z'), entries[3].text);
    EXPECT_EQ(huge, entries[4].text) << "unformatted text is written whole";
}

TEST_F(LogTest, ALogOverTheCapIsDeletedBeforeTheNextEntry)
{
    const std::pair<unsigned long, bool> cases[] = {{kCapBytes, true}, {kCapBytes + 1, false}};
    for (const auto& [size, kept] : cases) {
        FillLog(size);
        m_log.WriteLog(L"f", 1, L"next");
        std::string raw = Raw();
        SCOPED_TRACE(size);
        EXPECT_EQ(kept, raw.size() > size);
        EXPECT_EQ(kBom, raw.substr(0, 2));
        EXPECT_EQ(std::string::npos, raw.find(kBom, 2));
        EXPECT_EQ(std::string("n\0e\0x\0t\0\r\0\n\0", 12), raw.substr(raw.size() - 12))
            << "the entry is written either way";
    }
}

TEST_F(LogTest, SettingThePathDeletesAnEmptyOrOversizedLog)
{
    const std::pair<unsigned long, bool> cases[] = {{0, false}, {100, true}, {kCapBytes + 1, false}};
    for (const auto& [size, kept] : cases) {
        if (size == 0)
            m_folder.WriteFile(L"log.txt", "");
        else
            FillLog(size);
        CWriteLogFile log;
        log.SetLogPath(m_path, 1024);
        EXPECT_EQ(kept, GetFileAttributesW(m_path.c_str()) != INVALID_FILE_ATTRIBUTES) << size;
    }
}

TEST_F(LogTest, AnUnwritablePathLosesTheEntryQuietly)
{
    std::wstring path = m_folder.File(L"missing\\log.txt");
    CWriteLogFile log;
    log.SetLogPath(path, 1024);
    log.WriteLog(L"f", 1, L"lost");
    log.WriteLogFormat(L"f", 2, L"%s", L"lost");
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str()));
}

TEST_F(LogTest, EntriesFromManyThreadsStayWhole)
{
    constexpr int kThreads = 8;
    constexpr int kEntriesPerThread = 200;
    m_log.SetLogPath(m_path, 64 * 1024);  // room for everything: nothing is deleted midway
    std::latch start(kThreads);
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([this, t, &start] {
            start.arrive_and_wait();
            const std::wstring filler(1500 + 100 * t, static_cast<wchar_t>(L'A' + t));
            for (int i = 0; i < kEntriesPerThread; ++i) {
                std::wstring text = std::to_wstring(t) + L"#" + std::to_wstring(i) + L":" + filler;
                if (i % 2)
                    m_log.WriteLog(L"worker.cpp", t, text.c_str());
                else
                    m_log.WriteLogFormat(L"worker.cpp", t, L"%s", text.c_str());
            }
        });
    }
    for (std::thread& writer : writers)
        writer.join();

    std::set<std::pair<int, int>> seen;
    for (const Entry& entry : Entries()) {
        size_t hash = entry.text.find(L'#'), colon = entry.text.find(L':');
        ASSERT_NE(std::wstring::npos, colon);
        int t = std::stoi(entry.text.substr(0, hash));
        int i = std::stoi(entry.text.substr(hash + 1, colon - hash - 1));
        EXPECT_EQ(t, entry.line);
        EXPECT_EQ(std::wstring(1500 + 100 * t, static_cast<wchar_t>(L'A' + t)), entry.text.substr(colon + 1));
        EXPECT_TRUE(seen.insert({t, i}).second) << "entry " << t << "#" << i << " twice";
    }
    EXPECT_EQ(static_cast<size_t>(kThreads * kEntriesPerThread), seen.size());
}

}  // namespace
