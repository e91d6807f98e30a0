#pragma once
// Command lines that other programs' installers registered, such as an
// uninstall entry's "UninstallString": a program path, quoted when it holds
// blanks or not, and the arguments the program wants.

#include <string>

struct CommandLine
{
    std::wstring program;    // without quotes or surrounding blanks
    std::wstring arguments;  // as written after the program, without the blanks between
};

// Splits the text: a leading quoted path ends at its closing quote (a missing
// one takes the rest); an unquoted one ends at the first ".exe" followed by a
// blank or the end, so that "C:\My Games\unins000.exe /S" keeps its blank;
// without such an ".exe" the whole text is the program. Leading and trailing
// blanks go.
CommandLine ParseCommandLine(const std::wstring& text);

// The text to hand CreateProcessW: the program quoted, then the arguments.
std::wstring JoinCommandLine(const CommandLine& command);
