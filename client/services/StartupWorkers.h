#pragma once
// The two requests at the client's start: the version check and the service
// configuration. Both are started on the main window's thread manager with a
// null parameter, as &CheckVersionThread<g_mainWnd> (WindowCalls.h), and queue
// exactly one call on the main window.

#include "services/WindowCalls.h"

#include <string>

// The texts of the requests that got no readable answer.
inline constexpr wchar_t kCheckVersionFailedText[] = L"检查更新失败，请下载最新版本！";
inline constexpr wchar_t kGetConfigFailedText[] = L"配置数据获取失败！";

// What the version check came to.
struct VersionOutcome
{
    bool success = false;
    std::string updateText;  // UTF-8, passed on unparsed; empty: up to date
    std::wstring message;    // of a failure: the service's message or the fixed text
};

// What the configuration request came to; a success has stored both addresses
// in the session.
struct ConfigOutcome
{
    bool success = false;
    std::wstring message;
};

VersionOutcome CheckVersion();
ConfigOutcome GetConfig();

template <auto& MainWnd>
void CheckVersionThread(void*)
{
    using Wnd = WindowOf<MainWnd>;
    const VersionOutcome outcome = CheckVersion();
    if (!outcome.success)
        QueueMessage(MainWnd, &Wnd::OnCheckVersionFailed, 0, outcome.message);
    else if (outcome.updateText.empty())
        QueueCall(MainWnd, &Wnd::OnCheckVersionReply, 0, 0);
    else
        QueueWithSecond(MainWnd, &Wnd::OnCheckVersionReply, 1, outcome.updateText);
}

template <auto& MainWnd>
void GetConfigThread(void*)
{
    using Wnd = WindowOf<MainWnd>;
    const ConfigOutcome outcome = GetConfig();
    if (outcome.success)
        QueueCall(MainWnd, &Wnd::OnGetConfigDone, 0, 0);
    else
        QueueMessage(MainWnd, &Wnd::OnGetConfigFailed, 0, outcome.message);
}
