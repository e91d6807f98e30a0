#include "services/WriteLogFile.h"

#include "services/FileUtil.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

// The formatted text of one entry lives in a buffer of this many characters;
// one is kept free for the terminating zero.
constexpr size_t kFormatBufferChars = 10240;
constexpr size_t kMaxFormattedChars = kFormatBufferChars - 1;

const unsigned char kByteOrderMark[] = {0xFF, 0xFE};

// The cap is compared unsigned, as a size in bytes.
bool IsOverCap(unsigned long size, int capKb) { return size > static_cast<unsigned long>(capKb) * 1024; }

std::wstring EntryPrefix(const wchar_t* sourceFile, int line)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::vector<wchar_t> prefix(64 + wcslen(sourceFile));
    _snwprintf(prefix.data(), prefix.size() - 1, L"[%04d-%02d-%02d %02d:%02d:%02d][%s %d]", now.wYear, now.wMonth,
               now.wDay, now.wHour, now.wMinute, now.wSecond, sourceFile, line);
    return prefix.data();
}

}  // namespace

CWriteLogFile::CWriteLogFile() : m_capKb(0) {}

CWriteLogFile::~CWriteLogFile() = default;

void CWriteLogFile::SetLogPath(const std::wstring& path, int capKb)
{
    CCritLockGuard guard(&m_lock);
    unsigned long size = GetFileSize(path);
    if (IsOverCap(size, capKb) || size == 0)
        DeleteFileW(path.c_str());
    m_path = path;
    m_capKb = capKb;
}

unsigned long CWriteLogFile::GetFileSize(const std::wstring& path)
{
    CCritLockGuard guard(&m_lock);
    const int64_t size = GetLocalFileSize(path);
    return size > MAXDWORD ? MAXDWORD : static_cast<unsigned long>(size);
}

void CWriteLogFile::WriteLog(const wchar_t* sourceFile, int line, const wchar_t* text)
{
    text = text ? text : L"";
    AppendEntry(sourceFile, line, text, wcslen(text));
}

void CWriteLogFile::WriteLogFormat(const wchar_t* sourceFile, int line, const wchar_t* format, ...)
{
    try {
        // A longer text is cut to kMaxFormattedChars characters. The count
        // bounds the runtime's writing to the buffer, and the length is taken
        // no further than kMaxFormattedChars whether or not the runtime
        // terminated a cut text.
        std::vector<wchar_t> buffer(kFormatBufferChars, L'\0');
        va_list arguments;
        va_start(arguments, format);
        _vsnwprintf(buffer.data(), kFormatBufferChars, format ? format : L"", arguments);
        va_end(arguments);
        AppendEntry(sourceFile, line, buffer.data(), wcsnlen(buffer.data(), kMaxFormattedChars));
    } catch (...) {
        // A lost entry must never disturb the caller.
    }
}

void CWriteLogFile::DeleteIfOverCap()
{
    if (IsOverCap(GetFileSize(m_path), m_capKb))
        DeleteFileW(m_path.c_str());
}

void CWriteLogFile::AppendEntry(const wchar_t* sourceFile, int line, const wchar_t* text, size_t length)
{
    CCritLockGuard guard(&m_lock);
    try {
        std::wstring entry = EntryPrefix(sourceFile ? sourceFile : L"", line);
        entry.append(text, length);
        entry += L"\r\n";
        DeleteIfOverCap();
        const bool existed = FileExists(m_path);
        FILE* file = _wfopen(m_path.c_str(), L"ab+");
        if (!file)
            return;
        if (!existed)
            fwrite(kByteOrderMark, 1, sizeof kByteOrderMark, file);
        fwrite(entry.data(), sizeof(wchar_t), entry.size(), file);
        fclose(file);
    } catch (...) {
        // A lost entry must never disturb the caller.
    }
}
