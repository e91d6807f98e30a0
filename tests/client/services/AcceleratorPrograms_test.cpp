// Accelerator programs: the installed test through their uninstall entries
// (in the test prefix's registry), the uninstaller's copy under TEMP (a
// scratch folder) and starting programs.
#include "services/AcceleratorPrograms.h"
#include "ScratchFolder.h"
#include "TestPaths.h"
#include "services/RegistryUtil.h"
#include "services/TextConvert.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Sets TEMP (or unsets it: nullopt) for the object's life.
class ScopedTemp
{
public:
    explicit ScopedTemp(const std::optional<std::wstring>& value)
    {
        wchar_t old[2048] = {};
        const DWORD length = GetEnvironmentVariableW(L"TEMP", old, 2048);
        if (length > 0 && length < 2048)
            m_old = std::wstring(old, length);
        SetEnvironmentVariableW(L"TEMP", value ? value->c_str() : nullptr);
    }
    ~ScopedTemp() { SetEnvironmentVariableW(L"TEMP", m_old ? m_old->c_str() : nullptr); }
    ScopedTemp(const ScopedTemp&) = delete;
    ScopedTemp& operator=(const ScopedTemp&) = delete;

private:
    std::optional<std::wstring> m_old;
};

class AcceleratorProgramsTest : public testing::Test
{
protected:
    void SetUp() override { ClearEntries(); }
    void TearDown() override { ClearEntries(); }
    static void ClearEntries()
    {
        for (int32_t type : {1, 2, 3}) {
            for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
                RegDeleteKeyExW(HKEY_LOCAL_MACHINE, AcceleratorUninstallKey(type).c_str(), view, 0);
        }
    }
    static void Register(int32_t type, const std::wstring& uninstallString)
    {
        ASSERT_TRUE(WriteRegValue(HKEY_LOCAL_MACHINE, AcceleratorUninstallKey(type), L"UninstallString", REG_SZ,
                                  uninstallString, static_cast<DWORD>((uninstallString.size() + 1) * 2)));
    }

    ScratchFolder m_scratch;
};

TEST_F(AcceleratorProgramsTest, EachTypeHasItsEntryAndOthersNone)
{
    EXPECT_EQ(AcceleratorUninstallKey(1), L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ostrel加速器");
    EXPECT_EQ(AcceleratorUninstallKey(3), L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\tamsk");
    const std::wstring second = AcceleratorUninstallKey(2);
    EXPECT_EQ(second.find(L"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{"), 0u);
    EXPECT_EQ(second.substr(second.size() - 5), L"}_is1");
    for (int32_t type : {0, 4, -1})
        EXPECT_EQ(AcceleratorUninstallKey(type), L"");
    EXPECT_FALSE(IsAcceleratorInstalled(0));
}

TEST_F(AcceleratorProgramsTest, InstalledMeansTheRegisteredFolderHoldsSomething)
{
    const std::wstring folder = m_scratch.File(L"Program Files\\Ostrel 加速器");
    fs::create_directories(folder);
    m_scratch.WriteFile(L"Program Files\\Ostrel 加速器\\unins000.exe", "MZ");

    struct Case
    {
        const char* what;
        std::wstring uninstallString;
        bool installed;
    };
    const Case cases[] = {
        {"quoted with arguments", L"\"" + folder + L"\\unins000.exe\" /SILENT", true},
        {"unquoted with a blank in the path", folder + L"\\unins000.exe /SILENT", true},
        {"plain", folder + L"\\unins000.exe", true},
        {"no folder part", L"unins000.exe", false},
        {"empty", L"", false},
        {"a folder that is gone", L"\"" + m_scratch.File(L"gone\\unins000.exe") + L"\"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Register(1, c.uninstallString);
        EXPECT_EQ(IsAcceleratorInstalled(1), c.installed);
        if (c.installed) {
            EXPECT_EQ(AcceleratorProgramFolder(1), folder);
        }
    }

    Register(3, L"\"" + folder + L"\\unins000.exe\"");
    EXPECT_TRUE(IsAcceleratorInstalled(3));
    fs::remove(folder + L"\\unins000.exe");
    EXPECT_FALSE(IsAcceleratorInstalled(3)) << "an empty folder";
    EXPECT_FALSE(IsAcceleratorInstalled(2)) << "no entry";
}

TEST_F(AcceleratorProgramsTest, TheUninstallerRunsFromACopyInAFolderOfItsOwnUnderTemp)
{
    fs::create_directories(m_scratch.File(L"Ostrel"));
    const std::wstring program = m_scratch.WriteFile(L"Ostrel\\unins000.exe", "program bytes");
    m_scratch.WriteFile(L"Ostrel\\unins000.dat", "data bytes");
    fs::create_directories(m_scratch.File(L"temp"));
    const CommandLine registered{program, L"/SILENT"};

    ScopedTemp temp(m_scratch.File(L"temp\\"));
    const UninstallerRun first = PrepareUninstallerCopy(registered);
    const UninstallerRun second = PrepareUninstallerCopy(registered);
    ASSERT_FALSE(first.copyFolder.empty());
    EXPECT_NE(first.copyFolder, second.copyFolder);
    EXPECT_EQ(fs::path(first.copyFolder).parent_path().parent_path(), fs::path(m_scratch.File(L"temp")));
    EXPECT_EQ(first.command.program, first.copyFolder + L"unins000.exe");
    EXPECT_EQ(first.command.arguments, L"/SILENT");
    EXPECT_EQ(ScratchFolder::ReadFile(first.command.program), "program bytes");
    EXPECT_EQ(ScratchFolder::ReadFile(first.copyFolder + L"unins000.dat"), "data bytes");

    // A program that cannot be copied runs in place and leaves no folder.
    const UninstallerRun missing = PrepareUninstallerCopy({m_scratch.File(L"gone\\unins000.exe"), L""});
    EXPECT_TRUE(missing.copyFolder.empty());
    EXPECT_EQ(missing.command.program, m_scratch.File(L"gone\\unins000.exe"));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_scratch.File(L"temp")), fs::directory_iterator()), 2);
}

TEST_F(AcceleratorProgramsTest, WithoutAUsableTempTheUninstallerRunsInPlace)
{
    fs::create_directories(m_scratch.File(L"Ostrel"));
    const std::wstring program = m_scratch.WriteFile(L"Ostrel\\unins000.exe", "MZ");
    const std::optional<std::wstring> temps[] = {
        std::nullopt, L"", L"relative\\temp", m_scratch.File(L"missing"), program,
    };
    ScopedCurrentFolder current(m_scratch.File(L""));
    for (const std::optional<std::wstring>& value : temps) {
        SCOPED_TRACE(value ? WideToUtf8(*value) : "unset");
        ScopedTemp temp(value);
        const UninstallerRun run = PrepareUninstallerCopy({program, L"/S"});
        EXPECT_TRUE(run.copyFolder.empty());
        EXPECT_EQ(run.command.program, program);
        EXPECT_EQ(run.command.arguments, L"/S");
    }
    EXPECT_FALSE(fs::exists(m_scratch.File(L"relative")));
    EXPECT_FALSE(fs::exists(m_scratch.File(L"missing")));
}

TEST_F(AcceleratorProgramsTest, AProgramStartsWithItsArgumentsOrGivesNoHandle)
{
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const HANDLE process = StartProgram({std::wstring(system) + L"\\cmd.exe", L"/c exit 7"});
    ASSERT_NE(process, nullptr);
    ASSERT_EQ(WaitForSingleObject(process, 30000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    EXPECT_EQ(code, 7u);

    EXPECT_EQ(StartProgram({m_scratch.File(L"missing.exe"), L""}), nullptr);
    EXPECT_EQ(StartProgram({L"", L""}), nullptr);
    m_scratch.WriteFile(L"broken.exe", "not a program");
    EXPECT_EQ(StartProgram({m_scratch.File(L"broken.exe"), L""}), nullptr);
}

// Sets an environment variable (nullopt: unsets it) for the object's life.
class ScopedSetting
{
public:
    ScopedSetting(const wchar_t* name, const std::optional<std::wstring>& value) : m_name(name)
    {
        SetEnvironmentVariableW(name, value ? value->c_str() : nullptr);
    }
    ~ScopedSetting() { SetEnvironmentVariableW(m_name, nullptr); }
    ScopedSetting(const ScopedSetting&) = delete;
    ScopedSetting& operator=(const ScopedSetting&) = delete;

private:
    const wchar_t* m_name;
};

DWORD RunToEnd(const CommandLine& command)
{
    const HANDLE process = StartProgram(command);
    EXPECT_NE(process, nullptr) << WideToUtf8(command.program);
    if (!process)
        return ~0u;
    EXPECT_EQ(WaitForSingleObject(process, 60000), WAIT_OBJECT_0);
    DWORD code = ~0u;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}

TEST_F(AcceleratorProgramsTest, StandInProgramsInstallAndRemoveThemselvesOrEndDoingNothing)
{
    const std::wstring root = m_scratch.File(L"Program Files");
    fs::create_directories(root);
    fs::create_directories(m_scratch.File(L"temp"));
    ScopedSetting installRoot(L"CALVERIN_STANDIN_INSTALL_ROOT", root);
    const struct
    {
        const wchar_t* setup;
        int32_t type;
        const wchar_t* folder;
    } programs[] = {
        {L"ostrel_setup.exe", 1, L"Ostrel"},
        {L"pellinor_setup.exe", 2, L"Pellinor"},
        {L"tamsk_setup.exe", 3, L"tamsk"},
    };
    for (const auto& program : programs) {
        SCOPED_TRACE(WideToUtf8(program.setup));
        const CommandLine setup{BuildTreePath(std::wstring(L"refservice\\files\\installers\\") + program.setup), L""};
        {
            ScopedSetting cancel(L"CALVERIN_STANDIN_CANCEL", L"1");
            EXPECT_EQ(RunToEnd(setup), 0u);
            EXPECT_FALSE(IsAcceleratorInstalled(program.type)) << "a cancelled installer";
        }
        EXPECT_EQ(RunToEnd(setup), 0u);
        ASSERT_TRUE(IsAcceleratorInstalled(program.type));
        CommandLine registered;
        ASSERT_TRUE(ReadAcceleratorUninstallCommand(program.type, registered));
        const std::wstring folder = root + L"\\" + program.folder;
        EXPECT_EQ(registered.program, folder + L"\\unins000.exe");
        EXPECT_EQ(registered.arguments, L"/SILENT");

        // A cancelled uninstaller leaves everything.
        ScopedTemp temp(m_scratch.File(L"temp"));
        {
            ScopedSetting cancel(L"CALVERIN_STANDIN_CANCEL", L"1");
            EXPECT_EQ(RunToEnd(PrepareUninstallerCopy(registered).command), 0u);
            EXPECT_TRUE(IsAcceleratorInstalled(program.type));
        }
        // Run from its copy it takes the entry and the whole folder, and had
        // its arguments.
        const UninstallerRun run = PrepareUninstallerCopy(registered);
        ASSERT_FALSE(run.copyFolder.empty());
        EXPECT_EQ(RunToEnd(run.command), 0u);
        EXPECT_FALSE(IsAcceleratorInstalled(program.type));
        EXPECT_FALSE(ReadAcceleratorUninstallCommand(program.type, registered));
        EXPECT_FALSE(fs::exists(folder));
        EXPECT_EQ(ScratchFolder::ReadFile(run.command.program + L".args"), std::string("/\0S\0I\0L\0E\0N\0T\0", 14));
    }
}

TEST_F(AcceleratorProgramsTest, WithoutTempTheStandInUninstallerRunsInPlaceAndTheEntryGoes)
{
    const std::wstring root = m_scratch.File(L"Program Files");
    fs::create_directories(root);
    ScopedSetting installRoot(L"CALVERIN_STANDIN_INSTALL_ROOT", root);
    EXPECT_EQ(RunToEnd({BuildTreePath(L"refservice\\files\\installers\\ostrel_setup.exe"), L""}), 0u);
    CommandLine registered;
    ASSERT_TRUE(ReadAcceleratorUninstallCommand(1, registered));
    ScopedTemp temp(std::nullopt);
    const UninstallerRun run = PrepareUninstallerCopy(registered);
    EXPECT_TRUE(run.copyFolder.empty());
    EXPECT_EQ(RunToEnd(run.command), 0u);
    EXPECT_FALSE(IsAcceleratorInstalled(1));
}

}  // namespace
