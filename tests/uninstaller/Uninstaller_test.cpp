// The built uninstall.exe run against a real installation laid out in a
// scratch folder: its move to a folder of its own under TEMP, its errors at
// start, its window and the whole removal. Runs holding the installed
// client's registry keys and the desktop's "CMainWnd" windows alone.
#include "uninstaller/ClientProcesses.h"
#include "uninstaller/UninstallEntry.h"

#include "ScratchFolder.h"
#include "TestPaths.h"
#include "services/TextConvert.h"

#include <gtest/gtest.h>

#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <thread>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr wchar_t kTitle[] = L"Calverin-卸载";
constexpr DWORD kLimitMs = 30000;
// Window points of the skin: the buttons' centres and a point of the band.
constexpr POINT kUninstallButton = {209, 272};
constexpr POINT kStillUseButton = {337, 272};
constexpr POINT kFinishButton = {273, 272};
constexpr POINT kCloseButton = {516, 31};
constexpr POINT kMinButton = {482, 31};
constexpr POINT kVersionLabel = {90, 53};

bool WaitUntil(const std::function<bool()>& condition, DWORD limitMs = kLimitMs)
{
    const ULONGLONG deadline = GetTickCount64() + limitMs;
    while (!condition()) {
        if (GetTickCount64() > deadline)
            return false;
        Sleep(20);
    }
    return true;
}

void WriteFileOf(const std::wstring& path, const std::string& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << WideToUtf8(path);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

std::vector<HWND> UninstallerWindows()
{
    std::vector<HWND> windows;
    for (HWND w = FindWindowExW(nullptr, nullptr, L"CMainWnd", kTitle); w;
         w = FindWindowExW(nullptr, w, L"CMainWnd", kTitle))
        windows.push_back(w);
    return windows;
}

HWND WaitForUninstallerWindow(DWORD limitMs = kLimitMs)
{
    HWND window = nullptr;
    WaitUntil(
        [&] {
            window = FindWindowW(L"CMainWnd", kTitle);
            return window && IsWindowVisible(window);
        },
        limitMs);
    return window;
}

int CountProcesses(const wchar_t* name)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {sizeof(entry)};
    int count = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        count += _wcsicmp(entry.szExeFile, name) == 0;
    CloseHandle(snapshot);
    return count;
}

// The process behind a window, opened to wait on and to read its image path.
class WindowProcess
{
public:
    explicit WindowProcess(HWND window)
    {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        m_process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id);
    }
    ~WindowProcess()
    {
        if (m_process)
            CloseHandle(m_process);
    }
    WindowProcess(const WindowProcess&) = delete;
    WindowProcess& operator=(const WindowProcess&) = delete;

    std::wstring ImagePath() const
    {
        wchar_t path[1024] = {};
        DWORD size = 1024;
        QueryFullProcessImageNameW(m_process, 0, path, &size);
        return path;
    }
    DWORD WaitForExit(DWORD limitMs = kLimitMs) const
    {
        if (WaitForSingleObject(m_process, limitMs) != WAIT_OBJECT_0)
            return STILL_ACTIVE;
        DWORD code = 0;
        GetExitCodeProcess(m_process, &code);
        return code;
    }

private:
    HANDLE m_process = nullptr;
};

void Click(HWND window, POINT at)
{
    const LPARAM where = MAKELPARAM(at.x, at.y);
    PostMessageW(window, WM_MOUSEMOVE, 0, where);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageW(window, WM_LBUTTONUP, 0, where);
}

// Clicks the point until the program ends (a window may take a click only to
// come forward); its exit code, STILL_ACTIVE when it did not end in time.
DWORD ClickUntilExit(HWND window, POINT at, const WindowProcess& process)
{
    DWORD code = STILL_ACTIVE;
    WaitUntil([&] {
        Click(window, at);
        code = process.WaitForExit(100);
        return code != STILL_ACTIVE;
    });
    return code;
}

LRESULT HitTest(HWND window, POINT at)
{
    ClientToScreen(window, &at);
    return SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
}

bool RegistryKeyExists(HKEY root, const wchar_t* key, REGSAM view)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key, 0, KEY_READ | view, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

void SetTextValue(HKEY root, const wchar_t* key, REGSAM view, const wchar_t* name, const std::wstring& text)
{
    HKEY opened = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &opened, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(opened);
}

std::wstring StartMenuFolder()
{
    wchar_t startMenu[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, startMenu, CSIDL_STARTMENU, TRUE);
    return std::wstring(startMenu) + L"\\Calverin";
}

// A real installation in a scratch folder: both built programs, the list,
// files and a tree, the uninstall entry, the client's key and the Start-menu
// folder "Calverin". Everything it made goes with it.
class Installation
{
public:
    Installation()
    {
        fs::create_directories(m_install);
        fs::create_directories(m_temp);
        CopyFileW(BuildTreePath(L"uninstaller\\uninstall.exe").c_str(), (m_install + L"uninstall.exe").c_str(), FALSE);
        CopyFileW(BuildTreePath(L"client\\calverinapp.exe").c_str(), (m_install + L"calverinapp.exe").c_str(), FALSE);
        for (const wchar_t* file : {L"res\\skin.dat", L"res\\deep\\a.png", L"readme.txt", L"user\\saved.cfg"})
            WriteFileOf(m_install + file, "x");
        WriteFileOf(m_scratch.File(L"outside.txt"), "stays");
        WriteFileOf(m_scratch.File(L"desktop\\Calverin.lnk"), "shortcut");
        m_startMenu = StartMenuFolder();
        m_startMenuMade = !fs::exists(m_startMenu);
        for (const wchar_t* shortcut : {L"\\启动Calverin.lnk", L"\\卸载Calverin.lnk"})
            WriteFileOf(m_startMenu + shortcut, "shortcut");
        SetList(R"([{"name":"calverinapp.exe"},{"name":"res"},{"name":"readme.txt"},{"name":"..\\outside.txt"},)"
                R"({"name":"uninstall.exe"},{"name":"uninstall.dat"}])");
        SetTextValue(HKEY_LOCAL_MACHINE, kUninstallEntryKey, KEY_WOW64_32KEY, L"UninstallString",
                     L"\"" + m_install + L"uninstall.exe\"");
        SetTextValue(HKEY_LOCAL_MACHINE, kUninstallEntryKey, KEY_WOW64_32KEY, L"DisplayShortcut",
                     m_scratch.File(L"desktop\\Calverin.lnk"));
        SetTextValue(HKEY_CURRENT_USER, L"Software\\calverin", 0, L"token", L"saved-token");
    }
    ~Installation()
    {
        KillProcessByName(L"uninstall.exe", 10000);
        KillProcessByName(kClientProgramName, 10000);
        for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
            DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kUninstallEntryKey, view);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\calverin");
        for (const wchar_t* shortcut : {L"\\启动Calverin.lnk", L"\\卸载Calverin.lnk", L"\\third.txt"})
            DeleteFileW((m_startMenu + shortcut).c_str());
        if (m_startMenuMade)
            RemoveDirectoryW(m_startMenu.c_str());
    }
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    void SetList(const std::string& list) { WriteFileOf(m_install + L"uninstall.dat", list); }

    // Starts the program with TEMP set to temp (unset when null); its exit
    // code once it ended on its own.
    DWORD Run(const std::wstring& program, const wchar_t* temp)
    {
        HANDLE process = Start(program, temp);
        if (!process)
            return 1;
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(process, kLimitMs) == WAIT_OBJECT_0)
            GetExitCodeProcess(process, &code);
        CloseHandle(process);
        return code;
    }
    DWORD RunFromInstall() { return Run(m_install + L"uninstall.exe", m_temp.c_str()); }

    HANDLE Start(const std::wstring& program, const wchar_t* temp)
    {
        wchar_t previous[2048] = {};
        const bool hadTemp = GetEnvironmentVariableW(L"TEMP", previous, 2048) != 0;
        SetEnvironmentVariableW(L"TEMP", temp);
        std::wstring commandLine = L"\"" + program + L"\"";
        STARTUPINFOW startup = {sizeof(startup)};
        PROCESS_INFORMATION process = {};
        const BOOL started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                            m_scratch.File(L"").c_str(), &startup, &process);
        SetEnvironmentVariableW(L"TEMP", hadTemp ? previous : nullptr);
        if (!started)
            return nullptr;
        CloseHandle(process.hThread);
        return process.hProcess;
    }

    bool Exists(const std::wstring& relative) const { return fs::exists(fs::symlink_status(m_install + relative)); }
    bool ClientKeyExists() const { return RegistryKeyExists(HKEY_CURRENT_USER, L"Software\\calverin", 0); }
    bool EntryExists() const { return RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallEntryKey, KEY_WOW64_32KEY); }
    // Nothing of the installation is gone.
    bool Untouched() const
    {
        return Exists(L"calverinapp.exe") && Exists(L"res\\deep\\a.png") && Exists(L"readme.txt") &&
               fs::exists(m_scratch.File(L"desktop\\Calverin.lnk")) && ClientKeyExists() && EntryExists() &&
               fs::exists(m_startMenu + L"\\卸载Calverin.lnk");
    }

    ScratchFolder m_scratch;
    std::wstring m_install = m_scratch.File(L"Calverin\\");
    std::wstring m_temp = m_scratch.File(L"temp");
    std::wstring m_startMenu;
    bool m_startMenuMade = false;
};

}  // namespace

TEST(UninstallerRelocation, ExactlyOneCopyRunsFromItsOwnFolderForEverySpellingOfTemp)
{
    Installation installation;
    const std::wstring temp = installation.m_temp;
    std::wstring upper = temp;
    for (wchar_t& c : upper)
        c = towupper(c);
    std::wstring slashes = temp;
    for (wchar_t& c : slashes)
        c = c == L'\\' ? L'/' : c;
    wchar_t shortForm[1024] = {};
    GetShortPathNameW(temp.c_str(), shortForm, 1024);
    std::vector<std::wstring> spellings = {temp, upper, slashes, temp + L"\\"};
    if (shortForm[0] && temp != shortForm)
        spellings.push_back(shortForm);

    for (const std::wstring& spelling : spellings) {
        SCOPED_TRACE(WideToUtf8(spelling));
        EXPECT_EQ(installation.Run(installation.m_install + L"uninstall.exe", spelling.c_str()), 0u);
        HWND window = WaitForUninstallerWindow();
        ASSERT_NE(window, nullptr);
        WindowProcess copy(window);
        const fs::path image = copy.ImagePath();
        EXPECT_EQ(_wcsicmp(image.parent_path().parent_path().c_str(), temp.c_str()), 0) << image;
        EXPECT_EQ(image.parent_path().filename().wstring().rfind(L"CalverinUninstall-", 0), 0u) << image;
        EXPECT_EQ(ScratchFolder::ReadFile((image.parent_path() / L"uninstall.dat").wstring()),
                  ScratchFolder::ReadFile(installation.m_install + L"uninstall.dat"));
        // No relaunch: the copy stays the only uninstaller.
        Sleep(1000);
        EXPECT_EQ(CountProcesses(L"uninstall.exe"), 1);
        EXPECT_EQ(UninstallerWindows().size(), 1u);

        RECT area = {};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        RECT frame = {};
        GetWindowRect(window, &frame);
        EXPECT_EQ(frame.right - frame.left, 546);
        EXPECT_EQ(frame.bottom - frame.top, 355);
        EXPECT_NEAR((frame.left + frame.right) / 2, (area.left + area.right) / 2, 2);
        EXPECT_NEAR((frame.top + frame.bottom) / 2, (area.top + area.bottom) / 2, 2);

        // Closing on the first page removes nothing.
        EXPECT_EQ(ClickUntilExit(window, kCloseButton, copy), 0u);
        EXPECT_TRUE(installation.Untouched());
    }
}

// The copy folders under the folder, by name.
std::vector<std::wstring> CopyFoldersIn(const std::wstring& temp)
{
    std::vector<std::wstring> names;
    for (const auto& entry : fs::directory_iterator(temp)) {
        const std::wstring name = entry.path().filename().wstring();
        if (entry.is_directory() && name.rfind(L"CalverinUninstall-", 0) == 0)
            names.push_back(name);
    }
    return names;
}

// Each start clears the folders of the runs before it, so that TEMP holds
// only the folder of the run still going; a run that ends takes its list
// and log with it.
TEST(UninstallerRelocation, RunsLeaveNoFolderButTheOneStillGoing)
{
    Installation installation;
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(run);
        EXPECT_EQ(installation.RunFromInstall(), 0u);
        HWND window = WaitForUninstallerWindow();
        ASSERT_NE(window, nullptr);
        WindowProcess copy(window);
        const fs::path image = copy.ImagePath();
        EXPECT_EQ(CopyFoldersIn(installation.m_temp),
                  std::vector<std::wstring>{image.parent_path().filename().wstring()});
        EXPECT_EQ(ClickUntilExit(window, kCloseButton, copy), 0u);
        EXPECT_FALSE(fs::exists(image.parent_path() / L"uninstall.dat"));
        EXPECT_FALSE(fs::exists(image.parent_path() / L"uninstall.log"));
    }
    EXPECT_LE(CopyFoldersIn(installation.m_temp).size(), 1u);
    EXPECT_TRUE(installation.Untouched());
}

// Text of the system box with the uninstaller's caption, closed once read;
// empty when none came.
std::wstring TakeMessageBoxText()
{
    HWND box = nullptr;
    // Shown only once all its controls hold their texts.
    if (!WaitUntil([&] { return (box = FindWindowW(L"#32770", kTitle)) != nullptr && IsWindowVisible(box); }))
        return std::wstring();
    std::wstring text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t part[512] = {};
        GetWindowTextW(child, part, 512);
        text += part;
        text += L"|";
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return text;
}

TEST(UninstallerStart, ErrorsEndWithZeroAndRemoveNothing)
{
    struct Case
    {
        const char* situation;
        std::function<void(Installation&)> prepare;
        std::function<DWORD(Installation&)> run;
        const wchar_t* box;  // part of the box's text; null: no box
        bool window;         // a window opens (and is closed by the test)
    };
    const Case cases[] = {
        {"no list", [](Installation& i) { DeleteFileW((i.m_install + L"uninstall.dat").c_str()); },
         [](Installation& i) { return i.RunFromInstall(); }, L"uninstall.dat文件不存在，无法卸载", false},
        {"TEMP names a missing folder", [](Installation&) {},
         [](Installation& i) { return i.Run(i.m_install + L"uninstall.exe", (i.m_temp + L"\\missing").c_str()); },
         L"uninstall.exe复制到缓存目录失败,err=3", false},
        {"TEMP longer than any path buffer", [](Installation&) {},
         [](Installation& i) {
             return i.Run(i.m_install + L"uninstall.exe", (i.m_temp + L"\\" + std::wstring(600, L't')).c_str());
         },
         L"uninstall.exe复制到缓存目录失败,err=", false},
        {"the list cannot be copied",
         [](Installation& i) {
             DeleteFileW((i.m_install + L"uninstall.dat").c_str());
             fs::create_directories(i.m_install + L"uninstall.dat");
         },
         [](Installation& i) { return i.RunFromInstall(); }, L"uninstall.dat复制到缓存目录失败,err=", false},
        {"no skin resource",
         [](Installation& i) {
             CopyFileW(BuildTreePath(L"uninstaller\\uninstall_noskin.exe").c_str(),
                       (i.m_install + L"uninstall.exe").c_str(), FALSE);
         },
         [](Installation& i) { return i.RunFromInstall(); }, nullptr, false},
        {"TEMP unset", [](Installation&) {},
         [](Installation& i) { return i.Run(i.m_install + L"uninstall.exe", nullptr); }, nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.situation);
        Installation installation;
        c.prepare(installation);
        DWORD code = STILL_ACTIVE;
        std::thread runner([&] { code = c.run(installation); });
        if (c.box) {
            const std::wstring text = TakeMessageBoxText();
            EXPECT_NE(text.find(c.box), std::wstring::npos) << WideToUtf8(text);
        }
        if (c.window) {
            HWND window = WaitForUninstallerWindow();
            ASSERT_NE(window, nullptr);
            WindowProcess inPlace(window);
            EXPECT_EQ(_wcsicmp(inPlace.ImagePath().c_str(), (installation.m_install + L"uninstall.exe").c_str()), 0);
            EXPECT_EQ(ClickUntilExit(window, kStillUseButton, inPlace), 0u);
        }
        runner.join();
        EXPECT_EQ(code, 0u);
        EXPECT_TRUE(UninstallerWindows().empty());
        EXPECT_TRUE(installation.Untouched());
        EXPECT_TRUE(fs::is_empty(installation.m_temp));
    }
}

namespace {

// A suspended copy of cmd.exe under another name, killed with its job at the
// latest when the object goes.
class HeldProcess
{
public:
    HeldProcess(const std::wstring& program)
    {
        wchar_t system[MAX_PATH] = {};
        GetSystemDirectoryW(system, MAX_PATH);
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
    ~HeldProcess()
    {
        if (m_process) {
            TerminateProcess(m_process, 1);
            CloseHandle(m_process);
        }
        if (m_job)
            CloseHandle(m_job);
    }
    HeldProcess(const HeldProcess&) = delete;
    HeldProcess& operator=(const HeldProcess&) = delete;

    bool Running() const { return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; }

private:
    HANDLE m_job = nullptr;
    HANDLE m_process = nullptr;
};

// Clicks "狠心卸载" until the removal shows in the condition. A window that
// has just come up may take its first click only to come forward; nothing
// lies at that point on the later pages.
bool StartRemoval(HWND window, const std::function<bool()>& started)
{
    return WaitUntil([&] {
        Click(window, kUninstallButton);
        return WaitUntil(started, 200);
    });
}

// Starts from the install folder and gives the relocated copy's window.
HWND StartRelocated(Installation& installation)
{
    EXPECT_EQ(installation.RunFromInstall(), 0u);
    return WaitForUninstallerWindow();
}

}  // namespace

TEST(UninstallerRemoval, EndsTheClientAndRemovesExactlyWhatWasInstalled)
{
    Installation installation;
    ScratchFolder elsewhere;
    WriteFileOf(elsewhere.File(L"precious\\save.dat"), "keep");
    ASSERT_TRUE(installation.m_scratch.LinkOnHost(L"Calverin\\res\\saves", HostPathOf(elsewhere.File(L"precious"))));
    ASSERT_TRUE(installation.m_scratch.LinkOnHost(L"Calverin\\linked", HostPathOf(elsewhere.File(L"precious"))));
    installation.SetList(R"([{"name":"calverinapp.exe"},{"name":"res"},{"name":"readme.txt"},)"
                         R"({"name":"linked\\save.dat"},{"name":"linked"},{"name":"..\\outside.txt"},)"
                         R"({"name":"*.cfg"},{"name":"."},{"name":"uninstall.exe"},{"name":"uninstall.dat"}])");

    // The client with its window up, a copy of another spelling, and a
    // bystander whose name only begins alike.
    HANDLE client = installation.Start(installation.m_install + L"calverinapp.exe", installation.m_temp.c_str());
    ASSERT_NE(client, nullptr);
    ASSERT_TRUE(WaitUntil([] { return FindWindowW(L"CMainWnd", L"Calverin") != nullptr; }));
    HeldProcess copy(installation.m_scratch.File(L"copy\\CalverinApp.exe"));
    HeldProcess bystander(installation.m_scratch.File(L"calverinapp-helper.exe"));
    ASSERT_TRUE(copy.Running());

    HWND window = StartRelocated(installation);
    ASSERT_NE(window, nullptr);
    WindowProcess uninstaller(window);
    EXPECT_TRUE(StartRemoval(window, [&] { return WaitForSingleObject(client, 0) == WAIT_OBJECT_0; }));
    CloseHandle(client);
    // The finishing button exists only on the last page: clicking where it
    // will be ends the program once that page shows.
    WaitUntil([&] {
        Click(window, kFinishButton);
        return uninstaller.WaitForExit(100) != STILL_ACTIVE;
    });
    EXPECT_EQ(uninstaller.WaitForExit(0), 0u);

    EXPECT_FALSE(copy.Running());
    EXPECT_TRUE(bystander.Running());
    // The links themselves go on Windows; this Wine follows a link even when
    // asked for the link itself, so there they stay rather than take their
    // targets, and so does the folder holding one.
    for (const wchar_t* gone : {L"calverinapp.exe", L"res\\skin.dat", L"res\\deep", L"readme.txt", L"uninstall.exe"})
        EXPECT_FALSE(installation.Exists(gone)) << WideToUtf8(gone);
    EXPECT_TRUE(installation.Exists(L"user\\saved.cfg"));
    EXPECT_TRUE(fs::exists(installation.m_scratch.File(L"outside.txt")));
    EXPECT_TRUE(fs::exists(elsewhere.File(L"precious\\save.dat")));
    EXPECT_FALSE(fs::exists(installation.m_scratch.File(L"desktop\\Calverin.lnk")));
    EXPECT_FALSE(installation.EntryExists());
    EXPECT_FALSE(installation.ClientKeyExists());
    EXPECT_FALSE(fs::exists(installation.m_startMenu));
}

TEST(UninstallerRemoval, StartMenuFolderWithAThirdFileStays)
{
    Installation installation;
    WriteFileOf(installation.m_startMenu + L"\\third.txt", "mine");
    HWND window = StartRelocated(installation);
    ASSERT_NE(window, nullptr);
    WindowProcess uninstaller(window);
    EXPECT_TRUE(StartRemoval(window, [&] { return !installation.Exists(L"readme.txt"); }));
    WaitUntil([&] {
        Click(window, kFinishButton);
        return uninstaller.WaitForExit(100) != STILL_ACTIVE;
    });
    EXPECT_EQ(uninstaller.WaitForExit(0), 0u);
    EXPECT_FALSE(fs::exists(installation.m_startMenu + L"\\卸载Calverin.lnk"));
    EXPECT_TRUE(fs::exists(installation.m_startMenu + L"\\third.txt"));
}

TEST(UninstallerRemoval, ClosingDuringASlowStepEndsTheProgramAndLeavesTheLaterSteps)
{
    Installation installation;
    for (int folder = 0; folder < 40; ++folder) {
        for (int file = 0; file < 300; ++file)
            WriteFileOf(installation.m_install + L"big\\" + std::to_wstring(folder) + L"\\" + std::to_wstring(file),
                        "x");
    }
    installation.SetList(R"([{"name":"big"},{"name":"readme.txt"}])");
    HWND window = StartRelocated(installation);
    ASSERT_NE(window, nullptr);
    WindowProcess uninstaller(window);
    const auto foldersLeft = [&] {
        const fs::path big = installation.m_install + L"big";
        return fs::exists(big) ? std::distance(fs::directory_iterator(big), fs::directory_iterator()) : 0;
    };
    ASSERT_TRUE(StartRemoval(window, [&] { return foldersLeft() < 40; }));
    EXPECT_TRUE(WaitUntil([&] {
        Click(window, kCloseButton);
        return uninstaller.WaitForExit(100) != STILL_ACTIVE;
    }));
    EXPECT_EQ(uninstaller.WaitForExit(), 0u);
    // Stopped inside the tree: the next entry and the later steps never ran.
    EXPECT_GT(foldersLeft(), 0);
    EXPECT_TRUE(installation.Exists(L"readme.txt"));
    EXPECT_TRUE(installation.EntryExists());
    EXPECT_TRUE(installation.ClientKeyExists());
    EXPECT_TRUE(fs::exists(installation.m_startMenu + L"\\卸载Calverin.lnk"));
}

namespace {

// The bar's filled width as the screen shows it: the pixels of its colour
// ("ffeebe22") along its middle row; 0 where no bar shows (another page).
int BarWidthOnScreen(HWND window)
{
    RECT frame = {};
    GetWindowRect(window, &frame);
    constexpr int kTrackWidth = 420;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP row = CreateCompatibleBitmap(screen, kTrackWidth, 1);
    HGDIOBJ previous = SelectObject(memory, row);
    // The track lies at (58, 259) of the pages, which begin at (10, 40).
    BitBlt(memory, 0, 0, kTrackWidth, 1, screen, frame.left + 68, frame.top + 300, SRCCOPY);
    int width = 0;
    for (int x = 0; x < kTrackWidth; ++x) {
        const COLORREF c = GetPixel(memory, x, 0);
        if (GetRValue(c) > 200 && GetGValue(c) > 150 && GetBValue(c) < 80)
            width = x + 1;
    }
    SelectObject(memory, previous);
    DeleteObject(row);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return width;
}

// Samples the bar every few milliseconds from the click on "狠心卸载" until
// it has been full and is gone again (page 2), calling check with each
// width; the widths seen, in order, without repeats.
std::vector<int> SampleBar(HWND window, const std::function<void(int)>& check)
{
    // Other tests' windows share the screen: this one stays in front.
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    std::vector<int> widths;
    bool full = false;
    const ULONGLONG deadline = GetTickCount64() + 120000;
    while (GetTickCount64() < deadline) {
        if (widths.empty())
            Click(window, kUninstallButton);
        const int width = BarWidthOnScreen(window);
        check(width);
        full |= width == 411;
        if (width != 0 && (widths.empty() || widths.back() != width))
            widths.push_back(width);
        if (full && width == 0)
            break;
        Sleep(3);
    }
    return widths;
}

}  // namespace

TEST(UninstallerProgress, TheBarOnlyGrowsAndIsFullBeforeTheLastPage)
{
    // A removal of almost no time still runs the bar through its steps.
    Installation installation;
    HWND window = StartRelocated(installation);
    ASSERT_NE(window, nullptr);
    WindowProcess uninstaller(window);
    const std::vector<int> widths = SampleBar(window, [](int) {});
    ASSERT_FALSE(widths.empty());
    EXPECT_TRUE(std::is_sorted(widths.begin(), widths.end()));
    EXPECT_GE(widths.front(), 30);
    EXPECT_EQ(widths.back(), 411);
    EXPECT_GE(widths.size(), 10u);
    EXPECT_EQ(ClickUntilExit(window, kFinishButton, uninstaller), 0u);

    // A slow first step holds the bar at 51 % (210 of 411) until its files
    // are gone.
    Installation slow;
    for (int folder = 0; folder < 40; ++folder) {
        for (int file = 0; file < 150; ++file)
            WriteFileOf(slow.m_install + L"big\\" + std::to_wstring(folder) + L"\\" + std::to_wstring(file), "x");
    }
    slow.SetList(R"([{"name":"big"}])");
    window = StartRelocated(slow);
    ASSERT_NE(window, nullptr);
    WindowProcess slowUninstaller(window);
    bool heldWhileFilesLeft = false;
    const std::vector<int> slowWidths = SampleBar(window, [&](int width) {
        const bool filesLeft = slow.Exists(L"big");
        heldWhileFilesLeft |= width == 210 && filesLeft;
        // The flag comes after the deletion, so a wider bar means the files
        // were gone already.
        if (width > 210) {
            EXPECT_FALSE(filesLeft) << width;
        }
    });
    EXPECT_TRUE(heldWhileFilesLeft);
    EXPECT_TRUE(std::is_sorted(slowWidths.begin(), slowWidths.end()));
    EXPECT_EQ(slowWidths.empty() ? 0 : slowWidths.back(), 411);
    EXPECT_EQ(ClickUntilExit(window, kFinishButton, slowUninstaller), 0u);
}

TEST(UninstallerWindow, ButtonsKeysAndSecondStarts)
{
    Installation installation;
    HWND window = StartRelocated(installation);
    ASSERT_NE(window, nullptr);
    WindowProcess uninstaller(window);

    // Once the first paint has laid the skin out.
    EXPECT_TRUE(WaitUntil([&] {
        return HitTest(window, kCloseButton) == HTCLIENT && HitTest(window, kMinButton) == HTCLIENT &&
               HitTest(window, kUninstallButton) == HTCLIENT;
    }));
    EXPECT_EQ(HitTest(window, kVersionLabel), HTCAPTION);
    HMODULE program = LoadLibraryExW(uninstaller.ImagePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(FindResourceW(program, MAKEINTRESOURCEW(101), RT_GROUP_ICON), nullptr);
    EXPECT_NE(FindResourceW(program, MAKEINTRESOURCEW(109), L"ZIPRES"), nullptr);
    FreeLibrary(program);

    // Enter on a button focused by Tab starts nothing.
    for (int tab = 0; tab < 3; ++tab) {
        PostMessageW(window, WM_KEYDOWN, VK_TAB, 0);
        PostMessageW(window, WM_KEYUP, VK_TAB, 0);
        PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageW(window, WM_CHAR, VK_RETURN, 0);
        PostMessageW(window, WM_KEYUP, VK_RETURN, 0);
    }
    Sleep(1500);
    EXPECT_TRUE(installation.Untouched());
    EXPECT_EQ(uninstaller.WaitForExit(0), STILL_ACTIVE);

    EXPECT_TRUE(WaitUntil([&] {
        Click(window, kMinButton);
        return WaitUntil([&] { return IsIconic(window) != FALSE; }, 200);
    }));

    // Alt+F4 hides; a second start from the install folder shows it again and
    // ends, as does one of the copy itself.
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }));
    EXPECT_EQ(installation.RunFromInstall(), 0u);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(window) && !IsIconic(window); }));
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }));
    EXPECT_EQ(installation.Run(uninstaller.ImagePath(), installation.m_temp.c_str()), 0u);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }));
    EXPECT_EQ(UninstallerWindows().size(), 1u);

    EXPECT_EQ(ClickUntilExit(window, kStillUseButton, uninstaller), 0u);
    EXPECT_TRUE(installation.Untouched());
}

TEST(UninstallerWindow, TwoQuickStartsLeaveOneWindow)
{
    Installation installation;
    HANDLE first = installation.Start(installation.m_install + L"uninstall.exe", installation.m_temp.c_str());
    HANDLE second = installation.Start(installation.m_install + L"uninstall.exe", installation.m_temp.c_str());
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(WaitForSingleObject(first, kLimitMs), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(second, kLimitMs), WAIT_OBJECT_0);
    CloseHandle(first);
    CloseHandle(second);
    HWND window = WaitForUninstallerWindow();
    ASSERT_NE(window, nullptr);
    // Every start has settled once only the window's own process is left.
    EXPECT_TRUE(WaitUntil([] { return CountProcesses(L"uninstall.exe") == 1; }));
    EXPECT_EQ(UninstallerWindows().size(), 1u);
    WindowProcess uninstaller(window);
    EXPECT_EQ(ClickUntilExit(window, kStillUseButton, uninstaller), 0u);
}

TEST(UninstallerProgram, CarriesNoNetworkCode)
{
    const std::string uninstaller = ScratchFolder::ReadFile(BuildTreePath(L"uninstaller\\uninstall.exe"));
    const std::string client = ScratchFolder::ReadFile(BuildTreePath(L"client\\calverinapp.exe"));
    ASSERT_FALSE(uninstaller.empty());
    // The client shows that the search finds them where they are.
    for (const char* marker : {"libcurl", "OpenSSL "}) {
        SCOPED_TRACE(marker);
        EXPECT_NE(client.find(marker), std::string::npos);
        EXPECT_EQ(uninstaller.find(marker), std::string::npos);
    }
}
