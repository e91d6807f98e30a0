// Removing an uninstalled item's install folder and waiting for accelerator
// installers, on real folders, real processes and a real window.
#include "services/FolderWorkers.h"
#include "RecordingWnd.h"
#include "ScratchFolder.h"
#include "services/FileUtil.h"
#include "services/TextConvert.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {
CRecordingWnd* g_testMainWnd = nullptr;

namespace fs = std::filesystem;

// Files and folders of a tree, relative to its root, "/"-separated, folders
// ending with "/"; sorted.
std::vector<std::string> ListTree(const std::wstring& root)
{
    std::vector<std::string> entries;
    if (!fs::exists(root))
        return entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        std::string relative = WideToUtf8(fs::relative(entry.path(), root).generic_wstring());
        entries.push_back(entry.is_directory() ? relative + "/" : relative);
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

class FolderWorkersTest : public testing::Test
{
protected:
    void SetUp() override { g_testMainWnd = &m_main; }
    void TearDown() override { g_testMainWnd = nullptr; }

    // Runs the worker to its end and gives the calls it queued.
    CallLog RunToEnd(CWindowMultiThreadManager::ThreadProc worker, void* param)
    {
        const DWORD id = m_main.Threads().StartThread(worker, param);
        EXPECT_NE(id, 0u);
        const DWORD start = GetTickCount();
        while (m_main.Threads().GetThreadProc(id) && GetTickCount() - start < 30000)
            m_main.WaitForCalls(m_calls.size() + 1, 20);
        m_main.WaitForCalls(m_calls.size() + 1, 50);
        return m_calls;
    }

    // The calls of one deletion, its report of a clean end left out: every
    // deletion reports its end exactly once, naming the folder as given.
    CallLog RunDeletion(const std::wstring& keep, const std::wstring& folder)
    {
        m_calls.clear();
        CallLog calls = RunToEnd(&DeleteFolderThread<g_testMainWnd>, new FolderDeletionParam(keep, folder));
        EXPECT_EQ(calls.size(), 1u) << "one report of the end";
        if (calls.empty())
            return calls;
        EXPECT_EQ(calls[0].itemId, folder);
        if (calls.size() == 1 && calls[0].handler == "OnFolderDeleted")
            calls.clear();
        return calls;
    }

    CallLog m_calls;
    CRecordingWnd m_main{&m_calls};
    ScratchFolder m_scratch;
};

TEST_F(FolderWorkersTest, DeletesTheTreeButKeepsThePackageFile)
{
    // The download folder is the install folder: the package and with it the
    // install folder stay, nested folders go from the bottom up, nothing is told.
    const std::wstring install = m_scratch.File(L"游戏\\");
    WriteTree(install, {L"Setup.ZIP", L"game.exe", L"data\\a.pak", L"data\\maps\\deep\\m.bin", L"空\\说明.txt"});
    fs::create_directories(install + L"empty");

    EXPECT_TRUE(RunDeletion(install + L"setup.zip", install).empty());
    EXPECT_EQ(ListTree(install), std::vector<std::string>{"Setup.ZIP"});

    // The package named in another spelling of the same path stays too.
    WriteTree(install, {L"data\\a.pak"});
    std::wstring otherSpelling = install + L"data\\..\\\\Setup.zip";
    std::replace(otherSpelling.begin(), otherSpelling.end(), L'\\', L'/');
    EXPECT_TRUE(RunDeletion(otherSpelling, install).empty());
    EXPECT_EQ(ListTree(install), std::vector<std::string>{"Setup.ZIP"});

    // A package kept elsewhere: the whole install folder goes.
    WriteTree(install, {L"bin\\game.exe"});
    EXPECT_TRUE(RunDeletion(m_scratch.File(L"downloads\\Setup.zip"), install).empty());
    EXPECT_FALSE(fs::exists(install));

    // A missing install folder: nothing to do, nothing told.
    EXPECT_TRUE(RunDeletion(L"", install).empty());
}

TEST_F(FolderWorkersTest, LockedFileStaysWithItsFoldersAndIsToldOnce)
{
    const std::wstring install = m_scratch.File(L"LongWen\\");
    WriteTree(install, {L"a.txt", L"data\\b.txt", L"data\\locked\\in-use.dll", L"data\\locked\\c.txt", L"z.txt"});
    HANDLE inUse = CreateFileW((install + L"data\\locked\\in-use.dll").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(inUse, INVALID_HANDLE_VALUE);

    CallLog calls = RunDeletion(L"", install);
    CloseHandle(inUse);

    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].handler, "OnDeleteFilesFailed");
    EXPECT_EQ(calls[0].text, L"【" + install + L"】里面有部分文件删除失败，请手动删除！");
    EXPECT_EQ(ListTree(install), (std::vector<std::string>{"data/", "data/locked/", "data/locked/in-use.dll"}));
}

TEST_F(FolderWorkersTest, RefusesFoldersThatAreNoInstallFolder)
{
    // The current folder lies inside the scratch folder, so that relative
    // paths and the current folder of the scratch folder's drive ("C:")
    // resolve inside it.
    const std::wstring current = m_scratch.File(L"current\\");
    WriteTree(current, {L"inner\\keep.txt"});
    const std::wstring drive = current.substr(0, 2);
    ASSERT_EQ(drive[1], L':') << "the scratch folder lies on a lettered drive";
    const std::wstring otherDrive = drive[0] == L'Y' || drive[0] == L'y' ? L"X:" : L"Y:";
    auto inInner = std::make_unique<ScopedCurrentFolder>(current + L"inner");

    // Drive and share roots and folders outside the scratch folder go to the
    // predicate alone: were its refusal ever broken, the deletion would wipe
    // them.
    const std::wstring outsideScratch[] = {
        L"",
        L"\\",                 // the current drive's root
        L"\\calverin-test\\",  // rooted, no drive
        drive + L"\\",
        drive + L"/",
        L"Z:/",
        otherDrive,  // the current folder of another drive
        otherDrive + L"inner\\",
        current + L"inner\\..\\..\\..\\..\\..\\..\\..\\..\\..\\..\\..\\..",  // the drive's root
        L"\\\\server\\share\\",
        L"\\\\\\server\\share\\games\\",  // no server name after the two separators
    };
    for (const std::wstring& folder : outsideScratch) {
        SCOPED_TRACE(testing::Message() << "folder: " << testing::PrintToString(folder));
        ASSERT_FALSE(m_scratch.Holds(folder));
        EXPECT_FALSE(IsDeletableFolder(folder));
    }

    // Relative paths and the current folder or one holding it, all inside the
    // scratch folder: the deletion itself refuses them and leaves them whole.
    const std::wstring insideScratch[] = {
        L"inner\\",  // relative to the current folder
        L".\\",
        drive,  // the current folder of the current drive
        drive + L"inner\\",
        current + L"inner\\",  // the current folder itself
        current + L"INNER",
        current,  // a folder holding it
        current + L"inner\\..\\",
    };
    for (const std::wstring& folder : insideScratch) {
        SCOPED_TRACE(testing::Message() << "folder: " << testing::PrintToString(folder));
        ASSERT_TRUE(m_scratch.Holds(folder));
        EXPECT_FALSE(IsDeletableFolder(folder));
        bool failed = false;
        DeleteFolderTree(folder, L"", failed);
        EXPECT_TRUE(failed);
        EXPECT_EQ(ListTree(current), (std::vector<std::string>{"inner/", "inner/keep.txt"}));
    }

    // The worker tells the user that the folder is still there.
    CallLog calls = RunDeletion(L"", L"inner\\");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].handler, "OnDeleteFilesFailed");
    EXPECT_EQ(ListTree(current), (std::vector<std::string>{"inner/", "inner/keep.txt"}));

    inInner.reset();
    EXPECT_TRUE(IsDeletableFolder(current + L"inner\\"));
    EXPECT_TRUE(IsDeletableFolder(L"\\\\server\\share\\games\\"));
}

TEST_F(FolderWorkersTest, RefusesTheSystemsAndTheUsersOwnFoldersAndThoseHoldingThem)
{
    // Asked of the predicate alone: were its refusal ever broken, a deletion
    // would take them.
    std::vector<std::wstring> protectedFolders;
    for (int csidl : {CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86,
                      CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROFILE, CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY,
                      CSIDL_PERSONAL, CSIDL_COMMON_DOCUMENTS}) {
        wchar_t folder[MAX_PATH] = {};
        ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder))) << csidl;
        protectedFolders.push_back(folder);
    }
    for (std::wstring folder : protectedFolders) {
        SCOPED_TRACE(WideToUtf8(folder));
        ASSERT_FALSE(m_scratch.Holds(folder));
        while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/'))
            folder.pop_back();
        std::wstring slashed = folder;
        std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
        std::wstring upper = folder;
        for (wchar_t& c : upper)
            c = static_cast<wchar_t>(towupper(c));
        for (const std::wstring& spelling : {folder, folder + L"\\", slashed + L"/", upper, folder + L"\\.\\",
                                             folder + L"\\sub\\..", GetFolderPart(folder) + L"\\"}) {
            SCOPED_TRACE(WideToUtf8(spelling));
            EXPECT_FALSE(IsDeletableFolder(spelling));
        }
    }
    // Below them, as install folders are, deletion is allowed.
    EXPECT_TRUE(IsDeletableFolder(m_scratch.File(L"game\\")));
    wchar_t programFiles[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles);
    EXPECT_TRUE(IsDeletableFolder(std::wstring(programFiles) + L"\\Ostrel"));

    // The client's own folder, and one holding it, are no item's folder.
    EXPECT_TRUE(HoldsProgramFolder(GetModuleFolder()));
    EXPECT_TRUE(HoldsProgramFolder(GetModuleFolder() + L"sub\\..\\"));
    EXPECT_TRUE(HoldsProgramFolder(GetFolderPart(GetFolderPart(GetModuleFolder())) + L"/"));
    EXPECT_FALSE(HoldsProgramFolder(GetModuleFolder() + L"games\\XingHai"));
    EXPECT_FALSE(HoldsProgramFolder(m_scratch.File(L"game")));
}

TEST_F(FolderWorkersTest, LinksAreRemovedNotFollowed)
{
    ScratchFolder elsewhere;
    WriteTree(elsewhere.File(L""), {L"precious\\save.dat", L"single.dat"});
    const std::wstring install = m_scratch.File(L"IronHarbor\\");
    WriteTree(install, {L"game.exe"});

    const std::wstring folderLink = install + L"saves";
    const std::wstring fileLink = install + L"single.lnk.dat";
    ASSERT_TRUE(
        CreateSymbolicLinkW(folderLink.c_str(), elsewhere.File(L"precious").c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY))
        << GetLastError();
    ASSERT_TRUE(CreateSymbolicLinkW(fileLink.c_str(), elsewhere.File(L"single.dat").c_str(), 0)) << GetLastError();
    ASSERT_NE(GetFileAttributesW(folderLink.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);

    EXPECT_TRUE(RunDeletion(L"", install).empty());
    EXPECT_FALSE(fs::exists(fs::symlink_status(install)));
    EXPECT_EQ(ListTree(elsewhere.File(L"")),
              (std::vector<std::string>{"precious/", "precious/save.dat", "single.dat"}));

    // An install folder that is itself a link: the link goes, its target stays.
    ASSERT_TRUE(CreateSymbolicLinkW(m_scratch.File(L"linked").c_str(), elsewhere.File(L"precious").c_str(),
                                    SYMBOLIC_LINK_FLAG_DIRECTORY));
    EXPECT_TRUE(RunDeletion(L"", m_scratch.File(L"linked\\")).empty());
    EXPECT_FALSE(fs::exists(fs::symlink_status(m_scratch.File(L"linked"))));
    EXPECT_EQ(ListTree(elsewhere.File(L"")),
              (std::vector<std::string>{"precious/", "precious/save.dat", "single.dat"}));
}

// A process that runs until the test ends it: a suspended copy of cmd.exe,
// ended at the latest when the object goes. It shares the test's output, so a
// copy left running by a failed assertion or a crash would keep the run waiting
// for that output to close until its time limit: a job that kills what it holds
// when its last handle closes (also at the test's exit) prevents that.
class HeldProcess
{
public:
    HeldProcess()
    {
        m_job = CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (!m_job || !SetInformationJobObject(m_job, JobObjectExtendedLimitInformation, &limits, sizeof(limits)))
            return;
        wchar_t commandLine[] = L"cmd.exe /c exit 7";
        STARTUPINFOW startup = {sizeof(startup)};
        PROCESS_INFORMATION process = {};
        if (!CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                            &process))
            return;
        CloseHandle(process.hThread);
        m_process = process.hProcess;
        // Still suspended: it cannot have ended before it is in the job.
        if (!AssignProcessToJobObject(m_job, m_process))
            End();
    }
    ~HeldProcess()
    {
        End();
        if (m_process)
            CloseHandle(m_process);
        if (m_job)
            CloseHandle(m_job);
    }
    HeldProcess(const HeldProcess&) = delete;
    HeldProcess& operator=(const HeldProcess&) = delete;

    // Not yet ended; false also when the process or its job could not be set up.
    bool Running() const { return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; }
    // A new handle to the process, for a worker that closes it.
    HANDLE NewHandle() const
    {
        HANDLE copy = nullptr;
        DuplicateHandle(GetCurrentProcess(), m_process, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS);
        return copy;
    }
    // As when the user cancels the installer.
    void End()
    {
        if (m_process)
            TerminateProcess(m_process, 0);
    }

private:
    HANDLE m_job = nullptr;
    HANDLE m_process = nullptr;
};

TEST_F(FolderWorkersTest, ProcessWaitsQueueTheirHandlerOnlyWhenTheProcessHasEnded)
{
    struct Case
    {
        CWindowMultiThreadManager::ThreadProc worker;
        const char* handler;
    };
    const Case cases[] = {{&WaitInstallThread<g_testMainWnd>, "OnJiasuqiInstallerExited"},
                          {&WaitUninstallThread<g_testMainWnd>, "OnJiasuqiUninstallerExited"}};
    JiasuqiInfo row;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.handler);
        m_calls.clear();
        HeldProcess installer;
        ASSERT_TRUE(installer.Running());

        auto* param = new ProcessWaitParam{&row, installer.NewHandle()};
        ASSERT_NE(param->process, nullptr);
        ASSERT_NE(m_main.Threads().StartThread(c.worker, param), 0u);
        EXPECT_FALSE(m_main.WaitForCalls(1, 500));  // still running

        installer.End();  // the user cancelled the installer
        ASSERT_TRUE(m_main.WaitForCalls(1, 10000));
        EXPECT_EQ(m_calls[0].handler, c.handler);
        EXPECT_EQ(m_calls[0].waitItem, &row);
        EXPECT_EQ(m_calls[0].waitProcess, nullptr);  // closed by the worker

        // A process that never started: the handler comes at once.
        m_calls.clear();
        ASSERT_NE(m_main.Threads().StartThread(c.worker, new ProcessWaitParam{&row, nullptr}), 0u);
        ASSERT_TRUE(m_main.WaitForCalls(1, 10000));
        EXPECT_EQ(m_calls[0].handler, c.handler);
    }
}

TEST_F(FolderWorkersTest, ClosingTheWindowEndsAProcessWait)
{
    HeldProcess installer;
    ASSERT_TRUE(installer.Running());
    JiasuqiInfo row;
    ASSERT_NE(m_main.Threads().StartThread(&WaitInstallThread<g_testMainWnd>,
                                           new ProcessWaitParam{&row, installer.NewHandle()}),
              0u);
    Sleep(100);
    m_main.Threads().TerminateAll();  // returns although the installer still runs
    EXPECT_TRUE(installer.Running());
    EXPECT_FALSE(m_main.WaitForCalls(1, 200));
}
}  // namespace
