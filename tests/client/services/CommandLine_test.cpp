// Registered command lines split into program and arguments, and joined
// again for CreateProcessW.
#include "services/CommandLine.h"
#include "services/TextConvert.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLineTest, QuotedAndUnquotedProgramsKeepTheirArguments)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* program;
        const wchar_t* arguments;
    };
    const Case cases[] = {
        {L"C:\\Ostrel\\unins000.exe", L"C:\\Ostrel\\unins000.exe", L""},
        {L"\"C:\\Program Files\\Ostrel\\unins000.exe\"", L"C:\\Program Files\\Ostrel\\unins000.exe", L""},
        {L"\"C:\\Program Files\\Ostrel\\unins000.exe\" /SILENT /LOG=\"C:\\a b.log\"",
         L"C:\\Program Files\\Ostrel\\unins000.exe", L"/SILENT /LOG=\"C:\\a b.log\""},
        {L"C:\\Program Files\\Tamsk\\uninst.EXE /S", L"C:\\Program Files\\Tamsk\\uninst.EXE", L"/S"},
        {L"  C:\\My.exe.files\\u.exe  -x  ", L"C:\\My.exe.files\\u.exe", L"-x"},
        {L"\"C:\\unclosed\\u.exe -x", L"C:\\unclosed\\u.exe -x", L""},
        {L"C:\\tools\\uninstall", L"C:\\tools\\uninstall", L""},
        {L"", L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.text));
        const CommandLine command = ParseCommandLine(c.text);
        EXPECT_EQ(command.program, c.program);
        EXPECT_EQ(command.arguments, c.arguments);
    }
    EXPECT_EQ(JoinCommandLine({L"C:\\Program Files\\u.exe", L"/S"}), L"\"C:\\Program Files\\u.exe\" /S");
    EXPECT_EQ(JoinCommandLine({L"C:\\u.exe", L""}), L"\"C:\\u.exe\"");
}

}  // namespace
