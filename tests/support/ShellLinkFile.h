#pragma once
// Reads a saved shell link back, for tests of the shortcuts the client makes.

#include <string>

struct ShellLinkContents
{
    bool read = false;  // false when the file is missing or no link
    std::wstring target;
    std::wstring arguments;
    std::wstring workingFolder;
    std::wstring icon;
    int iconIndex = 0;
};

ShellLinkContents ReadShellLinkFile(const std::wstring& path);
