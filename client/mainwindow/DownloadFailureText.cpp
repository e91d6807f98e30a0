#include "mainwindow/DownloadFailureText.h"

std::wstring DownloadFailureBoxText(const std::wstring& isOverseas, const std::wstring& workerMessage)
{
    if (workerMessage.empty())
        return std::wstring();
    if (isOverseas == L"0")
        return workerMessage;
    if (isOverseas == L"1")
        return L"下载失败，请从网盘下载";
    return std::wstring();
}
