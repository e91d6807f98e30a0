#pragma once
// What the user reads when a row's download failed, by the sign-in's
// overseas setting: users abroad get the pointer to the cloud drive instead
// of the worker's message.

#include <string>

// The box's text for the setting ("0" or "1") and the worker's message;
// empty when no box shows (no message, or any other setting).
std::wstring DownloadFailureBoxText(const std::wstring& isOverseas, const std::wstring& workerMessage);
