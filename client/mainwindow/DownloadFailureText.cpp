#include "mainwindow/DownloadFailureText.h"

namespace {

constexpr wchar_t kHomeUsers[] = L"0";
constexpr wchar_t kUsersAbroad[] = L"1";
constexpr wchar_t kCloudDriveHint[] = L"下载失败，请从网盘下载";

}  // namespace

std::wstring DownloadFailureBoxText(const std::wstring& isOverseas, const std::wstring& workerMessage)
{
    if (workerMessage.empty())
        return std::wstring();
    if (isOverseas == kHomeUsers)
        return workerMessage;
    if (isOverseas == kUsersAbroad)
        return kCloudDriveHint;
    return std::wstring();
}
