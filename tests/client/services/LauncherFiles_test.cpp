// The outside launchers' registry entries (in the test prefix's registry)
// and their data files (in scratch folders): what the client reads, what it
// writes and that an existing file is never lost.
#include "services/LauncherFiles.h"
#include "JsonText.h"
#include "ScratchFolder.h"
#include "TestPaths.h"
#include "services/AcceleratorPrograms.h"
#include "services/RegistryUtil.h"
#include "services/TextConvert.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr int64_t kAfter2038 = 4102444800;  // 2100-01-01, beyond 32 bits

// Every member of game 12's entry, for a game installed in folder (UTF-8,
// ending with "\").
void ExpectGameEntry(const Json::Value& game, const std::string& folder)
{
    ASSERT_TRUE(game.isObject());
    EXPECT_EQ(game["name"], "HIT2TW");
    EXPECT_TRUE(game["gameSize"].isInt64());
    EXPECT_EQ(game["gameSize"].asInt64(), 16366786146LL);
    EXPECT_EQ(game["installPath"], folder + "appdata");
    EXPECT_EQ(game["installRootPath"], folder);
    EXPECT_EQ(game["localManifest"], folder + "patchdata\\59767.manifest.hash");
    EXPECT_EQ(game["autoUpdate"], true);
    EXPECT_EQ(game["installTime"].asInt64(), kAfter2038);
    EXPECT_EQ(game["currentState"], 2);
    EXPECT_EQ(game["currentBranch"], "public");
    EXPECT_TRUE(game.isMember("customTargetBuildId") && game["customTargetBuildId"].isNull());
    EXPECT_EQ(game["customLaunchConfigEnable"], false);
    EXPECT_TRUE(game.isMember("customLaunchConfigExe") && game["customLaunchConfigExe"].isNull());
    EXPECT_TRUE(game["customLaunchConfigArgs"].isArray() && game["customLaunchConfigArgs"].empty());
}

class LauncherFilesTest : public testing::Test
{
protected:
    std::wstring Db() const { return m_scratch.File(L"NexonLauncher\\installed-apps.db"); }

    ScratchFolder m_scratch;
    const std::wstring m_install = m_scratch.File(L"游戏\\HIT2");  // no trailing separator
    const std::string m_installUtf8 = WideToUtf8(m_install) + "\\";
};

TEST_F(LauncherFilesTest, WritesGameTwelveCompactAsUtf8With64BitNumbers)
{
    const LauncherFileResult result = WriteNexonInstalledApp(Db(), m_install, kAfter2038);
    EXPECT_EQ(result.outcome, LauncherFileOutcome::Written);
    EXPECT_TRUE(result.keptCopy.empty());

    const std::string text = ScratchFolder::ReadFile(Db());
    EXPECT_NE(text.find("\"gameSize\":16366786146"), std::string::npos) << text;
    EXPECT_NE(text.find("\"installTime\":4102444800"), std::string::npos) << text;
    EXPECT_NE(text.find("\xE6\xB8\xB8\xE6\x88\x8F"), std::string::npos) << "the Chinese folder as UTF-8 bytes";
    EXPECT_EQ(text.find('\n'), std::string::npos) << "compact";
    EXPECT_NE(text.compare(0, 3, "\xEF\xBB\xBF"), 0) << "no byte-order prefix";
    const Json::Value game = ParseJsonText(text)["installedApps"]["59767"];
    ExpectGameEntry(game, m_installUtf8);
    EXPECT_EQ(game.size(), 13u) << "nothing but the launcher's members";
    EXPECT_FALSE(fs::exists(Db() + L".new"));
}

TEST_F(LauncherFilesTest, ExistingFilesKeepWhatTheyHoldOrAreCopiedAsideFirst)
{
    struct Case
    {
        const char* what;
        std::string before;  // null: no file
        bool keptAside;
        const char* stays;  // a member path that must survive, "a/b"; empty: none
    };
    const Case cases[] = {
        {"missing", "", false, ""},
        {"empty", "\r\n ", false, ""},
        {"other apps and settings",
         R"({"installedApps":{"1":{"name":"Other"},"59767":{"name":"old","extra":7}},"settings":{"lang":"zh"}})", false,
         "installedApps/1"},
        {"byte-order prefix", "\xEF\xBB\xBF{\"settings\":{\"lang\":\"zh\"}}", false, "settings"},
        {"unparsable", R"({"installedApps":{"1":)", true, ""},
        {"zero byte inside", std::string("{\"settings\":{}}\0tail", 20), true, ""},
        {"text after the object", "{\"settings\":{}} {\"more\":1}", true, ""},
        {"top level an array", "[1,2]", true, ""},
        {"installedApps no object", R"({"installedApps":[1],"settings":{"lang":"zh"}})", true, "settings"},
        {"59767 no object", R"({"installedApps":{"59767":"x","1":{"name":"Other"}}})", true, "installedApps/1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(m_scratch.File(L"NexonLauncher"));
        if (std::string(c.what) != "missing") {
            fs::create_directories(m_scratch.File(L"NexonLauncher"));
            m_scratch.WriteFile(L"NexonLauncher\\installed-apps.db", c.before);
        }

        const LauncherFileResult result = WriteNexonInstalledApp(Db(), m_install, kAfter2038);

        EXPECT_EQ(result.outcome,
                  c.keptAside ? LauncherFileOutcome::KeptAsideAndWritten : LauncherFileOutcome::Written);
        if (c.keptAside) {
            EXPECT_EQ(result.keptCopy, Db() + L".1.bak");
            EXPECT_EQ(ScratchFolder::ReadFile(result.keptCopy), c.before);
        } else {
            EXPECT_TRUE(result.keptCopy.empty());
        }
        const Json::Value written = ParseJsonText(ScratchFolder::ReadFile(Db()));
        ExpectGameEntry(written["installedApps"]["59767"], m_installUtf8);
        const std::string stays = c.stays;
        if (!stays.empty()) {
            const size_t slash = stays.find('/');
            const Json::Value& member =
                slash == std::string::npos ? written[stays] : written[stays.substr(0, slash)][stays.substr(slash + 1)];
            EXPECT_TRUE(member.isObject() && !member.empty()) << stays;
        }
        EXPECT_FALSE(fs::exists(Db() + L".new"));
    }
}

TEST_F(LauncherFilesTest, OtherMembersOfGameTwelveStayAndEachDamagedFileGetsItsOwnCopy)
{
    fs::create_directories(m_scratch.File(L"NexonLauncher"));
    m_scratch.WriteFile(L"NexonLauncher\\installed-apps.db", R"({"installedApps":{"59767":{"extra":7}}})");
    WriteNexonInstalledApp(Db(), m_install, kAfter2038);
    const Json::Value game = ParseJsonText(ScratchFolder::ReadFile(Db()))["installedApps"]["59767"];
    EXPECT_EQ(game["extra"], 7);
    EXPECT_EQ(game["name"], "HIT2TW");

    m_scratch.WriteFile(L"NexonLauncher\\installed-apps.db", "first broken");
    EXPECT_EQ(WriteNexonInstalledApp(Db(), m_install, kAfter2038).keptCopy, Db() + L".1.bak");
    m_scratch.WriteFile(L"NexonLauncher\\installed-apps.db", "second broken");
    EXPECT_EQ(WriteNexonInstalledApp(Db(), m_install, kAfter2038).keptCopy, Db() + L".2.bak");
    EXPECT_EQ(ScratchFolder::ReadFile(Db() + L".1.bak"), "first broken");
    EXPECT_EQ(ScratchFolder::ReadFile(Db() + L".2.bak"), "second broken");
}

TEST_F(LauncherFilesTest, AFileThatCannotBeReadOrWrittenStaysAsItWas)
{
    // Held open by the launcher without sharing: neither read nor copied.
    fs::create_directories(m_scratch.File(L"NexonLauncher"));
    const std::string before = R"({"installedApps":{"1":{}}})";
    m_scratch.WriteFile(L"NexonLauncher\\installed-apps.db", before);
    HANDLE held = CreateFileW(Db().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const LauncherFileResult locked = WriteNexonInstalledApp(Db(), m_install, kAfter2038);
    CloseHandle(held);
    EXPECT_EQ(locked.outcome, LauncherFileOutcome::NotWritten);
    EXPECT_EQ(ScratchFolder::ReadFile(Db()), before);
    EXPECT_FALSE(fs::exists(Db() + L".new"));

    // The database's name taken by a folder, and a launcher folder that is a file.
    fs::create_directories(m_scratch.File(L"folder\\installed-apps.db\\inside"));
    EXPECT_EQ(WriteNexonInstalledApp(m_scratch.File(L"folder\\installed-apps.db"), m_install, kAfter2038).outcome,
              LauncherFileOutcome::NotWritten);
    EXPECT_TRUE(fs::exists(m_scratch.File(L"folder\\installed-apps.db\\inside")));
    m_scratch.WriteFile(L"file", "not a folder");
    EXPECT_EQ(WriteNexonInstalledApp(m_scratch.File(L"file\\installed-apps.db"), m_install, kAfter2038).outcome,
              LauncherFileOutcome::NotWritten);
    EXPECT_EQ(ScratchFolder::ReadFile(m_scratch.File(L"file")), "not a folder");
}

TEST_F(LauncherFilesTest, ReflectionConfigurationGetsItsThreeMembersAndKeepsTheRest)
{
    const std::wstring config = m_scratch.File(L"ReflectionNetworkLauncher\\config.json");
    fs::create_directories(m_scratch.File(L"ReflectionNetworkLauncher"));
    m_scratch.WriteFile(L"ReflectionNetworkLauncher\\config.json", R"({"volume":3,"d4_installed_locale":"en"})");
    EXPECT_EQ(WriteReflectionConfig(config, m_install + L"\\").outcome, LauncherFileOutcome::Written);
    const Json::Value written = ParseJsonText(ScratchFolder::ReadFile(config));
    EXPECT_EQ(written["volume"], 3);
    EXPECT_EQ(written["d4_installed_locale"], "enru");
    EXPECT_EQ(written["d4_install_dir"], m_installUtf8);
    EXPECT_EQ(written["d4_download_finished"], true);

    m_scratch.WriteFile(L"ReflectionNetworkLauncher\\config.json", "not json");
    const LauncherFileResult result = WriteReflectionConfig(config, m_install);
    EXPECT_EQ(result.outcome, LauncherFileOutcome::KeptAsideAndWritten);
    EXPECT_EQ(ScratchFolder::ReadFile(result.keptCopy), "not json");
    EXPECT_EQ(ParseJsonText(ScratchFolder::ReadFile(config))["d4_install_dir"], m_installUtf8);
}

TEST(NexonGameShortcutTest, StartsGameTwelveThroughTheLauncher)
{
    const ShellLinkDetails link = NexonGameShortcut(L"C:\\Nexon\\Launcher\\nexon_launcher.exe", L"D:\\游戏\\HIT2");
    EXPECT_EQ(link.target, L"C:\\Nexon\\Launcher\\nexon_launcher.exe");
    EXPECT_EQ(link.arguments, L"nxl://launch/59767");
    EXPECT_EQ(link.workingFolder, L"C:\\Nexon\\Launcher");
    EXPECT_EQ(link.icon, L"D:\\游戏\\HIT2\\appdata\\HIT2.exe");
    EXPECT_EQ(link.iconIndex, 0);
}

// The launchers' registry values in the test prefix, removed again.
class LauncherRegistryTest : public testing::Test
{
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear()
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\Nexon Launcher");
        for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\d0673521-1e7c-5647-8f72-b2cae5719a78", view, 0);
    }
    static void SetValue(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value)
    {
        ASSERT_TRUE(WriteRegValue(root, key, name, REG_SZ, value, static_cast<DWORD>((value.size() + 1) * 2)));
    }

    ScratchFolder m_scratch;
};

TEST_F(LauncherRegistryTest, ALauncherIsPresentOnlyWhenItsProgramIsWhereTheEntrySays)
{
    EXPECT_FALSE(IsLauncherPresent(OutsideLauncher::Nexon));
    EXPECT_TRUE(LauncherProgram(OutsideLauncher::Nexon).empty());

    const std::wstring folder = m_scratch.File(L"Nexon Launcher");
    fs::create_directories(folder);
    SetValue(HKEY_CURRENT_USER, L"SOFTWARE\\Nexon Launcher", L"Install Directory", folder);
    EXPECT_EQ(LauncherProgram(OutsideLauncher::Nexon), folder + L"\\nexon_launcher.exe");
    EXPECT_FALSE(IsLauncherPresent(OutsideLauncher::Nexon)) << "the folder without the program";
    m_scratch.WriteFile(L"Nexon Launcher\\nexon_launcher.exe", "MZ");
    EXPECT_TRUE(IsLauncherPresent(OutsideLauncher::Nexon));

    SetValue(HKEY_CURRENT_USER, L"SOFTWARE\\Nexon Launcher", L"Install Directory", L"");
    EXPECT_FALSE(IsLauncherPresent(OutsideLauncher::Nexon));

    const std::wstring reflection = m_scratch.File(L"RNL\\");
    fs::create_directories(reflection);
    m_scratch.WriteFile(L"RNL\\ReflectionNetworkLauncher.exe", "MZ");
    SetValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\d0673521-1e7c-5647-8f72-b2cae5719a78", L"InstallLocation", reflection);
    EXPECT_TRUE(IsLauncherPresent(OutsideLauncher::Reflection));
}

TEST_F(LauncherRegistryTest, GameFifteenGoesBesideOrInsideTheReflectionLauncher)
{
    struct Case
    {
        const wchar_t* installLocation;
        const wchar_t* gameFolder;
    };
    const Case cases[] = {
        {L"C:\\L\\", L"C:\\L\\D4R_ENRU\\"},
        {L"C:\\L", L"C:\\D4R_ENRU\\"},
        {L"C:/Games/L", L"C:/Games\\D4R_ENRU\\"},
        {L"L", L""},
        {L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.installLocation));
        SetValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\d0673521-1e7c-5647-8f72-b2cae5719a78", L"InstallLocation",
                 c.installLocation);
        EXPECT_EQ(ReflectionGameFolder(ReadLauncherFolder(OutsideLauncher::Reflection)), c.gameFolder);
    }
}

// Runs a copy of the service's stand-in launcher installer from the scratch
// folder (it leaves its marker beside itself), asked to install into folder
// unless that is empty.
void RunStandInSetup(ScratchFolder& scratch, const wchar_t* setupName, const std::wstring& folder)
{
    const std::wstring copy = scratch.File(setupName);
    ASSERT_TRUE(CopyFileW(BuildTreePath(std::wstring(L"refservice\\files\\installers\\") + setupName).c_str(),
                          copy.c_str(), FALSE));
    SetEnvironmentVariableW(L"CALVERIN_STANDIN_LAUNCHER_FOLDER", folder.empty() ? nullptr : folder.c_str());
    const HANDLE process = StartProgram({copy, L""});
    SetEnvironmentVariableW(L"CALVERIN_STANDIN_LAUNCHER_FOLDER", nullptr);
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(WaitForSingleObject(process, 60000), WAIT_OBJECT_0);
    CloseHandle(process);
    EXPECT_TRUE(fs::exists(copy + L".installed"));
}

TEST_F(LauncherRegistryTest, StandInInstallersRegisterTheirLauncherOnlyWhenAsked)
{
    RunStandInSetup(m_scratch, L"NexonLauncherSetup.exe", L"");
    EXPECT_FALSE(IsLauncherPresent(OutsideLauncher::Nexon));

    const std::wstring nexon = m_scratch.File(L"Nexon Launcher");
    RunStandInSetup(m_scratch, L"NexonLauncherSetup.exe", nexon);
    EXPECT_TRUE(IsLauncherPresent(OutsideLauncher::Nexon));
    EXPECT_EQ(ReadLauncherFolder(OutsideLauncher::Nexon), nexon);
    ASSERT_TRUE(fs::exists(nexon + L"\\Uninstall.exe"));
    const HANDLE uninstall = StartProgram({nexon + L"\\Uninstall.exe", L""});
    ASSERT_NE(uninstall, nullptr);
    EXPECT_EQ(WaitForSingleObject(uninstall, 60000), WAIT_OBJECT_0);
    CloseHandle(uninstall);
    EXPECT_FALSE(IsLauncherPresent(OutsideLauncher::Nexon));

    const std::wstring reflection = m_scratch.File(L"RNL\\");
    RunStandInSetup(m_scratch, L"ReflectionNetworkLauncherSetup.exe", reflection);
    EXPECT_TRUE(IsLauncherPresent(OutsideLauncher::Reflection));
    EXPECT_EQ(ReflectionGameFolder(ReadLauncherFolder(OutsideLauncher::Reflection)), reflection + L"D4R_ENRU\\");
}

}  // namespace
