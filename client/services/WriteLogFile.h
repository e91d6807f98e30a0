#pragma once

#include "services/CritLock.h"

#include <string>

// Appends time-stamped entries to one UTF-16 little-endian log file with a
// byte-order mark. Every thread writes through the one instance g_logFile;
// a file over the size cap is deleted before the next entry.
class CWriteLogFile
{
public:
    CWriteLogFile();
    virtual ~CWriteLogFile();
    CWriteLogFile(const CWriteLogFile&) = delete;
    CWriteLogFile& operator=(const CWriteLogFile&) = delete;

    // Deletes the file at the path when it is empty or over the cap, then
    // writes there from now on.
    void SetLogPath(const std::wstring& path, int capKb);

    // Size in bytes, 0 when the file cannot be opened.
    unsigned long GetFileSize(const std::wstring& path);

    void WriteLog(const wchar_t* sourceFile, int line, const wchar_t* text);
    // printf-style; "%s" takes a wide string. The text is cut to 10239 characters.
    void WriteLogFormat(const wchar_t* sourceFile, int line, const wchar_t* format, ...);

private:
    void AppendEntry(const wchar_t* sourceFile, int line, const wchar_t* text, size_t length);
    void DeleteIfOverCap();

    std::wstring m_path;
    int m_capKb;
    CCritLock m_lock;
};

extern CWriteLogFile g_logFile;

// Log through g_logFile naming the calling source file and line.
#define WRITE_LOG(text) g_logFile.WriteLog(L"" __FILE__, __LINE__, (text))
#define WRITE_LOG_FORMAT(format, ...)                                                                                  \
    g_logFile.WriteLogFormat(L"" __FILE__, __LINE__, (format)__VA_OPT__(, ) __VA_ARGS__)
