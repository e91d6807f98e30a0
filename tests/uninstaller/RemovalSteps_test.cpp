// The removal steps on real folders, links, registry keys and processes:
// which names may be deleted, how the installer's list ends, what the
// registered shortcut may be, and which processes end.
#include "uninstaller/ClientProcesses.h"
#include "uninstaller/RemovalSteps.h"
#include "uninstaller/UninstallEntry.h"

#include "ScratchFolder.h"
#include "TestPaths.h"
#include "services/TextConvert.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Files and folders of a tree, relative to its root, "/"-separated, folders
// ending with "/"; links listed as entries, never entered; sorted.
std::vector<std::string> ListTree(const std::wstring& root)
{
    std::vector<std::string> entries;
    if (!fs::exists(fs::symlink_status(root)))
        return entries;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        std::string relative = WideToUtf8(fs::relative(it->path(), root).generic_wstring());
        const bool isLink = it->is_symlink();
        entries.push_back(!isLink && it->is_directory() ? relative + "/" : relative);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

void WriteTree(const std::wstring& root, const std::vector<std::wstring>& files)
{
    for (const std::wstring& file : files) {
        const fs::path path = fs::path(root) / file;
        fs::create_directories(path.parent_path());
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(h, "x", 1, &written, nullptr);
        CloseHandle(h);
    }
}

std::string ListOf(const std::vector<std::wstring>& names)
{
    Json::Value list(Json::arrayValue);
    for (const std::wstring& name : names) {
        Json::Value element;
        element["name"] = WideToUtf8(name);
        list.append(element);
    }
    Json::StreamWriterBuilder writer;
    return Json::writeString(writer, list);
}

}  // namespace

TEST(InstallFolderTest, QuotesAndArgumentsNameTheSameFolder)
{
    struct Case
    {
        const wchar_t* uninstallString;
        const wchar_t* folder;
    };
    const Case cases[] = {
        {L"C:\\Games\\Calverin\\uninstall.exe", L"C:\\Games\\Calverin\\"},
        {L"\"C:\\Games\\Calverin\\uninstall.exe\"", L"C:\\Games\\Calverin\\"},
        {L"\"C:\\Games\\Calverin\\uninstall.exe\" /S", L"C:\\Games\\Calverin\\"},
        {L"C:\\Games\\Calverin\\uninstall.exe /log=C:\\temp\\u.log", L"C:\\Games\\Calverin\\"},
        {L"  C:\\Games\\My Calverin\\uninstall.exe  ", L"C:\\Games\\My Calverin\\"},
        {L"uninstall.exe", L""},
        {L"Calverin\\uninstall.exe", L""},
        {L"C:\\uninstall.exe", L""},
        {L"\"C:\\uninstall.exe\" /S", L""},
        {L"\\\\server\\share\\uninstall.exe", L""},
        {L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.uninstallString));
        EXPECT_EQ(InstallFolderOf(c.uninstallString), c.folder);
    }
}

class RemovalTest : public testing::Test
{
protected:
    void SetUp() override
    {
        WriteTree(m_install, {L"calverinapp.exe", L"uninstall.exe", L"res\\skin\\a.png", L"res\\b.dat", L"log.txt",
                              L"keep\\user.cfg", L"sub\\x.txt"});
        WriteTree(m_scratch.File(L""), {L"outside.txt", L"outside2.txt"});
    }

    ScratchFolder m_scratch;
    std::wstring m_install = m_scratch.File(L"Calverin\\");
};

TEST_F(RemovalTest, ListedFilesAndTreesGoAndNamesLeadingOutAreSkipped)
{
    const std::string list = ListOf({L"calverinapp.exe", L"res", L"..\\outside.txt", L"sub\\..\\..\\outside2.txt",
                                     m_scratch.File(L"outside.txt"), L"\\outside.txt", L"*.txt", L".", L"sub/x.txt",
                                     L"missing.dll", L"uninstall.exe"});
    EXPECT_EQ(DeleteListedItems(m_install, list), 4);
    EXPECT_EQ(ListTree(m_install), (std::vector<std::string>{"keep/", "keep/user.cfg", "log.txt", "sub/"}));
    EXPECT_TRUE(fs::exists(m_scratch.File(L"outside.txt")));
    EXPECT_TRUE(fs::exists(m_scratch.File(L"outside2.txt")));
}

TEST_F(RemovalTest, TheListEndsAtItsFirstUnusableElement)
{
    struct Case
    {
        const char* list;
        std::vector<std::string> left;  // of calverinapp.exe, log.txt, uninstall.exe
    };
    const std::vector<std::string> all = {"calverinapp.exe", "log.txt", "uninstall.exe"};
    const Case cases[] = {
        {R"([{"name":"log.txt"},{"name":""},{"name":"uninstall.exe"}])", {"calverinapp.exe", "uninstall.exe"}},
        {R"([{"name":"log.txt"},{"size":3},{"name":"uninstall.exe"}])", {"calverinapp.exe", "uninstall.exe"}},
        {R"([{"name":"log.txt"},7,{"name":"uninstall.exe"}])", {"calverinapp.exe", "uninstall.exe"}},
        {R"([{"name":"log.txt"},{"name":7},{"name":"uninstall.exe"}])", {"calverinapp.exe", "uninstall.exe"}},
        {R"([{"name":"log.txt"},{"name":["uninstall.exe"]}])", {"calverinapp.exe", "uninstall.exe"}},
        {"// written by the installer\n[{\"name\":\"log.txt\", \"size\": 1}]", {"calverinapp.exe", "uninstall.exe"}},
        {R"({"name":"log.txt"})", all},
        {R"(["log.txt"])", all},
        {R"([{"name":null}])", all},
        {"[{\"name\":\"log.txt\"}", all},
        {"not json", all},
        {"", all},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        WriteTree(m_install, {L"log.txt"});
        DeleteListedItems(m_install, c.list);
        std::vector<std::string> left;
        for (const std::string& name : all) {
            if (fs::exists(m_install + Utf8ToWide(name)))
                left.push_back(name);
        }
        EXPECT_EQ(left, c.left);
    }
}

TEST_F(RemovalTest, LinksGoAsLinksAndNamesThroughLinksAreSkipped)
{
    ScratchFolder elsewhere;
    WriteTree(elsewhere.File(L""), {L"precious\\save.dat", L"single.dat"});
    // Wine makes no links of its own: these are the host's, as an installer
    // on a real system could leave junctions and symbolic links.
    ASSERT_TRUE(m_scratch.LinkOnHost(L"Calverin\\saves", HostPathOf(elsewhere.File(L"precious"))));
    ASSERT_TRUE(m_scratch.LinkOnHost(L"Calverin\\res\\inner", HostPathOf(elsewhere.File(L"precious"))));
    ASSERT_TRUE(m_scratch.LinkOnHost(L"Calverin\\single.dat", HostPathOf(elsewhere.File(L"single.dat"))));

    DeleteListedItems(m_install, ListOf({L"saves\\save.dat", L"saves", L"res", L"single.dat"}));
    // What the links point to stays whole, the name through a link included;
    // everything of the listed folder that is not a link goes. The links
    // themselves go on Windows; this Wine follows them even when asked for
    // the link itself, so there they stay rather than take their targets.
    EXPECT_EQ(ListTree(elsewhere.File(L"")),
              (std::vector<std::string>{"precious/", "precious/save.dat", "single.dat"}));
    EXPECT_FALSE(fs::exists(m_install + L"res\\b.dat"));
    EXPECT_FALSE(fs::exists(m_install + L"res\\skin"));
    EXPECT_TRUE(fs::exists(m_install + L"calverinapp.exe"));
}

TEST_F(RemovalTest, TheRegisteredShortcutGoesOnlyWhenItIsOneOrAFolderOfThem)
{
    ScratchFolder elsewhere;
    WriteTree(m_scratch.File(L""), {L"desk\\Calverin.lnk", L"only\\a.lnk", L"only\\b.lnk", L"mixed\\a.lnk",
                                    L"mixed\\notes.txt", L"desk\\notes.txt", L"nested\\a.lnk", L"nested\\in\\b.lnk"});
    WriteTree(elsewhere.File(L""), {L"target\\Calverin.lnk"});
    ASSERT_TRUE(m_scratch.LinkOnHost(L"via", HostPathOf(elsewhere.File(L"target"))));
    struct Case
    {
        std::wstring shortcut;
        std::wstring checked;  // what must (not) exist afterwards
        bool deleted;
    };
    const Case cases[] = {
        {m_scratch.File(L"desk\\Calverin.lnk"), m_scratch.File(L"desk\\Calverin.lnk"), true},
        {m_scratch.File(L"only"), m_scratch.File(L"only"), true},
        {m_scratch.File(L"mixed"), m_scratch.File(L"mixed\\a.lnk"), false},
        {m_scratch.File(L"nested"), m_scratch.File(L"nested\\a.lnk"), false},
        {m_scratch.File(L"desk\\notes.txt"), m_scratch.File(L"desk\\notes.txt"), false},
        {m_scratch.File(L"via\\Calverin.lnk"), elsewhere.File(L"target\\Calverin.lnk"), false},
        {L"desk\\notes.lnk", m_scratch.File(L"desk\\notes.txt"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.shortcut));
        UninstallEntry entry;
        entry.displayShortcut = c.shortcut;
        EXPECT_TRUE(DeleteDisplayShortcut(entry));
        EXPECT_EQ(fs::exists(c.checked), !c.deleted);
    }
}

// The uninstall entry is read, and deleted, in whichever registry view holds
// it. Holds the key of the installed client, so it runs alone.
TEST(UninstallEntryTest, IsReadAndDeletedInTheViewThatHoldsIt)
{
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        SCOPED_TRACE(view == KEY_WOW64_64KEY ? "64-bit view" : "32-bit view");
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallEntryKey, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        const std::wstring program = L"\"C:\\Games\\Calverin\\uninstall.exe\"";
        RegSetValueExW(key, L"UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(program.c_str()),
                       static_cast<DWORD>((program.size() + 1) * sizeof(wchar_t)));
        HKEY below = nullptr;
        RegCreateKeyExW(key, L"Details", 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &below, nullptr);
        RegCloseKey(below);
        RegCloseKey(key);

        const UninstallEntry entry = ReadUninstallEntry();
        EXPECT_TRUE(entry.found);
        EXPECT_EQ(entry.view, view);
        EXPECT_EQ(entry.uninstallString, program);
        EXPECT_TRUE(entry.displayShortcut.empty());
        EXPECT_TRUE(DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kUninstallEntryKey, entry.view));
        for (REGSAM either : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
            EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallEntryKey, 0, KEY_READ | either, &key), ERROR_SUCCESS);
        }
    }
    EXPECT_FALSE(ReadUninstallEntry().found);
    EXPECT_FALSE(DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kUninstallEntryKey, KEY_WOW64_32KEY));
}

// A process that runs until the test ends it: a suspended copy of cmd.exe
// under the given name, killed with its job at the latest when the object goes.
class NamedProcess
{
public:
    NamedProcess(const ScratchFolder& folder, const std::wstring& name)
    {
        wchar_t system[MAX_PATH] = {};
        GetSystemDirectoryW(system, MAX_PATH);
        const std::wstring program = folder.File(name);
        fs::create_directories(fs::path(program).parent_path());
        CopyFileW((std::wstring(system) + L"\\cmd.exe").c_str(), program.c_str(), FALSE);
        m_job = CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(m_job, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
        std::wstring commandLine = L"\"" + program + L"\" /c exit 7";
        STARTUPINFOW startup = {sizeof(startup)};
        PROCESS_INFORMATION process = {};
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                            nullptr, &startup, &process))
            return;
        CloseHandle(process.hThread);
        m_process = process.hProcess;
        AssignProcessToJobObject(m_job, m_process);
    }
    ~NamedProcess()
    {
        if (m_process) {
            TerminateProcess(m_process, 1);
            CloseHandle(m_process);
        }
        if (m_job)
            CloseHandle(m_job);
    }
    NamedProcess(const NamedProcess&) = delete;
    NamedProcess& operator=(const NamedProcess&) = delete;

    DWORD Id() const { return GetProcessId(m_process); }

    bool Running() const { return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; }
    // The exit code; STILL_ACTIVE while it runs.
    DWORD ExitCode() const
    {
        DWORD code = 0;
        GetExitCodeProcess(m_process, &code);
        return code;
    }

private:
    HANDLE m_job = nullptr;
    HANDLE m_process = nullptr;
};

TEST(ClientProcessesTest, EveryClientEndsWhateverTheCaseOfItsNameAndOthersRunOn)
{
    ScratchFolder scratch;
    NamedProcess client(scratch, L"calverinapp.exe");
    NamedProcess upperCase(scratch, L"copy\\CalverinApp.exe");
    NamedProcess other(scratch, L"calverinapp2.exe");
    ASSERT_TRUE(client.Running());
    ASSERT_TRUE(upperCase.Running());
    ASSERT_TRUE(other.Running());
    const std::optional<DWORD> found = FindProcessId(L"CALVERINAPP.EXE");
    ASSERT_TRUE(found.has_value());
    EXPECT_TRUE(*found == client.Id() || *found == upperCase.Id());
    EXPECT_EQ(FindProcessId(L"calverinapp2.exe").value_or(0), other.Id());

    EXPECT_EQ(KillProcessByName(kClientProgramName, 10000), 2);
    // Gone by the time the call returns, so their files can be deleted.
    EXPECT_FALSE(client.Running());
    EXPECT_FALSE(upperCase.Running());
    EXPECT_EQ(client.ExitCode(), 0u);
    EXPECT_TRUE(other.Running());
    EXPECT_FALSE(FindProcessId(kClientProgramName).has_value());
    EXPECT_EQ(KillProcessByName(kClientProgramName, 10000), 0);
}
