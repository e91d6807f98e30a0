#include "services/FileUtil.h"

#include <shlobj.h>

#include <algorithm>
#include <cwctype>
#include <memory>
#include <new>

namespace {

struct HandleCloser
{
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueFileHandle = std::unique_ptr<void, HandleCloser>;

UniqueFileHandle OpenFile(const std::wstring& path, DWORD access, DWORD sharing, DWORD disposition)
{
    HANDLE handle = CreateFileW(path.c_str(), access, sharing, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return UniqueFileHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

size_t LastSeparator(const std::wstring& path) { return path.find_last_of(L"\\/"); }

// ReadFile and WriteFile move at most 4 GB a call; smaller steps stay well inside that.
constexpr size_t kIoStep = 1u << 24;

bool ReadWhole(HANDLE file, std::string& content)
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size))
        return false;
    content.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < content.size()) {
        const DWORD wanted = static_cast<DWORD>(std::min<size_t>(kIoStep, content.size() - done));
        DWORD got = 0;
        if (!ReadFile(file, content.data() + done, wanted, &got, nullptr))
            return false;
        if (got == 0)
            break;  // the file shrank while we read it
        done += got;
    }
    content.resize(done);
    return true;
}

}  // namespace

bool FileExists(const std::wstring& path)
{
    return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int64_t GetLocalFileSize(const std::wstring& path)
{
    // Others may be writing or deleting the file (the log, a download in progress).
    const UniqueFileHandle file =
        OpenFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file.get(), &size))
        return 0;
    return size.QuadPart;
}

std::string ReadFileToString(const std::wstring& path)
{
    UniqueFileHandle file = OpenFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    if (!file) {
        OutputDebugStringW(L"文件打开失败\n");
        return {};
    }
    std::string content;
    bool read = false;
    try {
        read = ReadWhole(file.get(), content);
    } catch (const std::bad_alloc&) {
    }
    if (!read) {
        OutputDebugStringW(L"文件读写异常\n");
        return {};
    }
    if (const size_t zero = content.find('\0'); zero != std::string::npos)
        content.resize(zero);
    return content;
}

int WriteStringToFile(const std::string& data, const std::wstring& path)
{
    if (data.empty() || path.empty())
        return -1;
    UniqueFileHandle file = OpenFile(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
    if (!file)
        return 0;
    size_t done = 0;
    while (done < data.size()) {
        const DWORD wanted = static_cast<DWORD>(std::min<size_t>(kIoStep, data.size() - done));
        DWORD written = 0;
        if (!WriteFile(file.get(), data.data() + done, wanted, &written, nullptr) || written == 0)
            return 0;
        done += written;
    }
    return 1;
}

bool CloseWrittenFile(FILE* file)
{
    const bool flushed = fflush(file) == 0;
    const bool closed = fclose(file) == 0;
    return flushed && closed;
}

bool CreateFolderTree(const std::wstring& path)
{
    if (IsFolder(path))
        return true;
    const size_t separator = LastSeparator(path);
    if (separator == std::wstring::npos)
        return false;
    const std::wstring parent = path.substr(0, separator);
    if (!IsFolder(parent) && !CreateFolderTree(parent))
        return false;
    if (CreateDirectoryW(path.c_str(), nullptr))
        return true;
    // "Already exists" also answers a path with a trailing separator, whose folder
    // was made as the parent, and a path that names a file: only a folder counts.
    return GetLastError() == ERROR_ALREADY_EXISTS && IsFolder(path);
}

std::wstring GetModuleFolder(HINSTANCE module)
{
    std::wstring fileName(512, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, fileName.data(), static_cast<DWORD>(fileName.size()));
        if (length == 0)
            return {};
        if (length < fileName.size()) {
            fileName.resize(length);
            break;
        }
        fileName.resize(fileName.size() * 2);  // the name was cut: ask again with room for it
    }
    const size_t separator = LastSeparator(fileName);
    return separator == std::wstring::npos ? std::wstring() : fileName.substr(0, separator + 1);
}

bool IsPathSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsAbsoluteFolder(const std::wstring& path)
{
    if (path.size() >= 3 && iswalpha(path[0]) && path[1] == L':' && IsPathSeparator(path[2]))
        return true;
    return path.size() >= 3 && IsPathSeparator(path[0]) && IsPathSeparator(path[1]) && !IsPathSeparator(path[2]);
}

std::wstring GetFolderPart(const std::wstring& path)
{
    const size_t separator = LastSeparator(path);
    return separator == std::wstring::npos ? path : path.substr(0, separator);
}

std::wstring GetFileNamePart(const std::wstring& path)
{
    const size_t separator = LastSeparator(path);
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

std::wstring ShellFolderPath(int csidl)
{
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return std::wstring();
    std::wstring path(folder);
    while (path.size() > 3 && IsPathSeparator(path.back()))
        path.pop_back();
    return path;
}

bool IsFolderEmpty(const std::wstring& folder) { return folder.empty() || IsFolderEmptyExcept(folder, L""); }

bool IsFolderEmptyExcept(const std::wstring& folder, const std::wstring& fileName)
{
    const std::wstring pattern = folder.empty() || IsPathSeparator(folder.back()) ? folder + L"*" : folder + L"\\*";
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW(pattern.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return true;
    bool empty = true;
    do {
        const wchar_t* name = entry.cFileName;
        if (wcscmp(name, L".") != 0 && wcscmp(name, L"..") != 0 &&
            (fileName.empty() || _wcsicmp(name, fileName.c_str()) != 0))
            empty = false;
    } while (empty && FindNextFileW(search, &entry));
    FindClose(search);
    return empty;
}

std::wstring WithFinalBackslash(std::wstring folder)
{
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    return folder;
}
