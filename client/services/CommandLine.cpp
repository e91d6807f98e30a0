#include "services/CommandLine.h"

#include <cwctype>

namespace {

void TrimBlanks(std::wstring& text)
{
    while (!text.empty() && std::iswspace(text.front()))
        text.erase(0, 1);
    while (!text.empty() && std::iswspace(text.back()))
        text.pop_back();
}

// Where an unquoted program path ends: just after the first ".exe" that a
// blank or the end follows; npos when there is none.
size_t EndOfUnquotedProgram(const std::wstring& text)
{
    std::wstring lower = text;
    for (wchar_t& c : lower)
        c = static_cast<wchar_t>(std::towlower(c));
    for (size_t at = lower.find(L".exe"); at != std::wstring::npos; at = lower.find(L".exe", at + 1)) {
        const size_t end = at + 4;
        if (end == lower.size() || std::iswspace(lower[end]))
            return end;
    }
    return std::wstring::npos;
}

}  // namespace

CommandLine ParseCommandLine(const std::wstring& text)
{
    std::wstring rest = text;
    TrimBlanks(rest);
    CommandLine command;
    size_t end = std::wstring::npos;
    if (!rest.empty() && rest.front() == L'"') {
        const size_t close = rest.find(L'"', 1);
        command.program = rest.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
        end = close == std::wstring::npos ? rest.size() : close + 1;
    } else {
        end = EndOfUnquotedProgram(rest);
        if (end == std::wstring::npos)
            end = rest.size();
        command.program = rest.substr(0, end);
    }
    command.arguments = rest.substr(end);
    TrimBlanks(command.program);
    TrimBlanks(command.arguments);
    return command;
}

std::wstring JoinCommandLine(const CommandLine& command)
{
    std::wstring line = L"\"" + command.program + L"\"";
    if (!command.arguments.empty())
        line += L" " + command.arguments;
    return line;
}
