#pragma once
// Files, folders and path splitting. Paths are wide strings; file contents are
// byte strings taken as they lie on disk.
#include <windows.h>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// True when the path's attributes can be read: a file or a folder. False for an
// empty path.
bool FileExists(const std::wstring& path);

// The file's content up to its first zero byte; empty when it cannot be opened
// or read (the reason goes to the debugger output).
std::string ReadFileToString(const std::wstring& path);

// The file's length in bytes; 0 when it cannot be opened.
int64_t GetLocalFileSize(const std::wstring& path);

// Creates or truncates the file and writes the data. -1 when the data or the
// path is empty, 0 when the file cannot be created or written, 1 when written.
int WriteStringToFile(const std::string& data, const std::wstring& path);

// A C runtime file that is closed when it goes; for files only read, or whose
// write errors do not matter (see CloseWrittenFile).
struct CFileCloser
{
    void operator()(FILE* file) const { fclose(file); }
};
typedef std::unique_ptr<FILE, CFileCloser> UniqueCFile;

// Flushes and closes a C runtime file; false when the last buffered bytes
// could not be written (a full disk shows only here) or the close failed.
// Flushing first matters: some runtimes' fclose reports success after a
// failed flush.
bool CloseWrittenFile(FILE* file);

// Creates the folder and every missing parent; true when the folder exists
// afterwards. A trailing separator names the folder before it.
bool CreateFolderTree(const std::wstring& path);

// "\" or "/": either separates the steps of a path.
bool IsPathSeparator(wchar_t c);

// "X:\..." or a UNC path. Anything else would resolve against the current
// folder or the root of the current drive.
bool IsAbsoluteFolder(const std::wstring& path);

// Drive and folder of the module's file, ending with a backslash; a null module
// is the running program.
std::wstring GetModuleFolder(HINSTANCE module = nullptr);

// Everything before the last "\" or "/" (without it); the path unchanged when
// it has neither.
std::wstring GetFolderPart(const std::wstring& path);

// Everything after the last "\" or "/"; the path unchanged when it has neither.
// Works on download URLs too.
std::wstring GetFileNamePart(const std::wstring& path);

// The shell's folder of that CSIDL_ number (CSIDL_APPDATA, CSIDL_DESKTOP, ...),
// without a trailing separator; empty when the system names none.
std::wstring ShellFolderPath(int csidl);

// True when the folder text is empty, cannot be listed (missing, unreadable,
// a file) or holds nothing but "." and "..".
bool IsFolderEmpty(const std::wstring& folder);
// The same, except that entries named like the file (in any case) do not
// count and an empty text lists the current folder.
bool IsFolderEmptyExcept(const std::wstring& folder, const std::wstring& fileName);

// The folder with "\" appended unless it ends with one already.
std::wstring WithFinalBackslash(std::wstring folder);
