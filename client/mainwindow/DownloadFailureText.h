#pragma once
// What the user is told when a task's download failed: overseas users get
// pointed at the other download place instead of the worker's message.

#include <string>

// The box text for the sign-in's overseas setting ("0" or "1") and the
// worker's message; empty when no box is shown (no message, or any other
// setting).
std::wstring DownloadFailureBoxText(const std::wstring& isOverseas, const std::wstring& workerMessage);
