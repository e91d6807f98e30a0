#include "StepMarks.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "Waiting.h"

namespace {

constexpr DWORD kShotLimitMs = 60000;
constexpr wchar_t kFolderVariable[] = L"CALVERIN_DRIVER_SHOTS";

std::wstring FolderFromEnvironment()
{
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(kFolderVariable, folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    std::wstring path(folder);
    if (path.back() != L'\\')
        path += L'\\';
    return path;
}

}  // namespace

StepMarks::StepMarks() : m_folder(FolderFromEnvironment()) {}

void StepMarks::Mark(const std::string& name, HWND window)
{
    char label[16];
    std::snprintf(label, sizeof label, "%02d", ++m_count);
    std::printf("step %s %s\n", label, name.c_str());
    std::fflush(stdout);
    if (m_folder.empty())
        return;

    RECT rc = {};
    GetWindowRect(window, &rc);
    char request[160];
    std::snprintf(request, sizeof request, "%s-%s %ld %ld %ld %ld\n", label, name.c_str(), rc.left, rc.top, rc.right,
                  rc.bottom);
    const std::wstring file = m_folder + L"step.request";
    const std::wstring partial = file + L".part";
    // Written whole, then renamed, so the script never reads half a request.
    HANDLE out = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool wrote = out != INVALID_HANDLE_VALUE &&
                       WriteFile(out, request, static_cast<DWORD>(std::strlen(request)), &written, nullptr);
    if (out != INVALID_HANDLE_VALUE)
        CloseHandle(out);
    if (!wrote || !MoveFileExW(partial.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING))
        throw std::runtime_error("step " + name + ": cannot hand the shot request over");

    WaitUntil(
        "the screenshot of step " + name,
        [&file] { return GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES; }, kShotLimitMs);
}
