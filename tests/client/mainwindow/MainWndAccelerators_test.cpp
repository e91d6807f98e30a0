// The accelerator rows' tasks in the signed-in main window of the test's own
// process: real clicks on the rows of the service's accelerator list, real
// downloads of the programs' installers from the reference service into the
// cache folder, and the stand-in installers run from there, which register
// their program (or, told to, do nothing) and can be held until the test
// lets them go on.

#include "MainWndRowsFixture.h"
#include "RefService.h"

#include "dialogs/MsgBoxWnd.h"
#include "mainwindow/DownloadFailureText.h"
#include "services/AcceleratorPrograms.h"
#include "services/FileUtil.h"

namespace {

constexpr wchar_t kList[] = L"jiasuqi_list";
// The service's list, in its order.
constexpr int kOstrel = 0;
constexpr int kTamsk = 2;

TEST(DownloadFailureBoxText, ByTheOverseasSettingAndOnlyWithAMessage)
{
    struct Case
    {
        const wchar_t* overseas;
        const wchar_t* message;
        const wchar_t* box;
    } cases[] = {
        {L"0", L"下载出错！", L"下载出错！"},
        {L"0", L"文件大小获取失败！", L"文件大小获取失败！"},
        {L"1", L"下载出错！", L"下载失败，请从网盘下载"},
        {L"", L"下载出错！", L""},
        {L"2", L"下载出错！", L""},
        {L" 0", L"下载出错！", L""},
        {L"0", L"", L""},
        {L"1", L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << Utf8(c.overseas) << " / " << Utf8(c.message));
        EXPECT_EQ(DownloadFailureBoxText(c.overseas, c.message), c.box);
    }
}

// The box on top with its controls in reach.
class ProbedMsgBox : public CMsgBoxWnd
{
public:
    using CDialogWnd::FindControl;
};

struct BoxSeen
{
    std::wstring title, text;
};

BoxSeen ReadBox(HWND box)
{
    auto* window = static_cast<ProbedMsgBox*>(
        static_cast<CMsgBoxWnd*>(reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(box, GWLP_USERDATA))));
    auto text = [window](LPCWSTR name) {
        CControlUI* control = window->FindControl(name);
        return control != nullptr ? std::wstring(control->GetText().GetData()) : std::wstring();
    };
    return BoxSeen{text(L"msgbox_title"), text(L"msgbox_text")};
}

void SetSetting(LPCWSTR name, const std::wstring& value)
{
    SetEnvironmentVariableW(name, value.empty() ? nullptr : value.c_str());
}

class MainWndAcceleratorsTest : public MainWndRows
{
protected:
    static void SetUpTestSuite() { UseSkin(BuildTreePath(L"client\\skin\\client.zip")); }

    void SetUp() override
    {
        ClearEntries();
        MainWndRows::SetUp();
        programs = folder.File(L"programs");
        CreateDirectoryW(programs.c_str(), nullptr);
        SetSetting(L"CALVERIN_STANDIN_INSTALL_ROOT", programs);
        const std::wstring holdName = L"CalverinAcceleratorHold" + std::to_wstring(GetCurrentProcessId());
        hold = CreateEventW(nullptr, TRUE, FALSE, holdName.c_str());
        SetSetting(L"CALVERIN_STANDIN_HOLD", holdName);
    }

    void TearDown() override
    {
        // An installer still held ends now, before its entry is cleared.
        SetEvent(hold);
        Sleep(500);
        CloseHandle(hold);
        SetSetting(L"CALVERIN_STANDIN_HOLD", L"");
        SetSetting(L"CALVERIN_STANDIN_INSTALL_ROOT", L"");
        SetSetting(L"CALVERIN_STANDIN_CANCEL", L"");
        ClearEntries();
        MainWndRows::TearDown();
    }

    static void ClearEntries()
    {
        for (int32_t type : {1, 2, 3}) {
            for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
                RegDeleteKeyExW(HKEY_LOCAL_MACHINE, AcceleratorUninstallKey(type).c_str(), view, 0);
        }
    }

    RowFace Face(int index) { return FaceOf(Row(kList, index)); }
    std::wstring Status(int index) { return RowChildOf(Row(kList, index), RowChild::kStatus)->GetText().GetData(); }
    void Click(int index, RowChild button)
    {
        const RECT& at = RowChildOf(Row(kList, index), button)->GetPos();
        PostClick(mainWnd.GetWindowHandle(), {(at.left + at.right) / 2, (at.top + at.bottom) / 2});
    }
    std::wstring Cached(const std::wstring& file) { return folder.File(L"cache\\" + file); }

    // Transfers of the file's bytes (the size probes not counted).
    static int Fetches(const std::string& path)
    {
        int fetches = 0;
        for (const Json::Value& entry : RefService::Journal(path))
            fetches += entry["method"].asString() == "GET" ? 1 : 0;
        return fetches;
    }

    // The accelerator page first, so that the rows have their places.
    static Step ShowPage(MainWndAcceleratorsTest* test)
    {
        return Step{[] { return true; }, [test] { test->Row(kList, 0); }};
    }
    // Reads and answers the box once it has laid itself out, then waits
    // until it has gone.
    void AnswerBox(std::vector<Step>& steps, BoxSeen& seen)
    {
        steps.push_back({[] { return VisibleWindow(L"CMsgBoxWnd") != nullptr; }, [] {}});
        steps.push_back(After(300, [this, &seen] {
            HWND box = VisibleWindow(L"CMsgBoxWnd");
            seen = ReadBox(box);
            PostClick(box, okAlone);
        }));
        steps.push_back({[] { return VisibleWindow(L"CMsgBoxWnd") == nullptr; }, [] {}});
    }
    Step WhenStatus(
        int index, const std::wstring& status, std::function<void()> action = [] {})
    {
        return {[this, index, status] { return Status(index) == status; }, std::move(action)};
    }

    std::wstring programs;
    HANDLE hold = nullptr;
};

// As the download asks for it, percent-encoded ("_" is "%5F"); the journal's
// query decodes its parameter once more.
const char kOstrelFile[] = "/files/installers/ostrel%5Fsetup.exe";
const char kOstrelJournal[] = "/files/installers/ostrel%5Fsetup.exe";

// A cancelled installer leaves the program uninstalled and its installer in
// the cache; the next start checks that file again and runs it without
// fetching it, and this time the program is installed and the file goes.
TEST_F(MainWndAcceleratorsTest, OstrelInstallsFromTheCacheAfterACancelledInstaller)
{
    SetSetting(L"CALVERIN_STANDIN_CANCEL", L"1");
    SetEvent(hold);
    RowFace notDetected, waiting, installed;
    BoxSeen box;
    bool cachedAfterCancel = false, cachedAtTheEnd = true, registered = false;
    int fetchesFirst = 0, fetchesSecond = 0;
    std::vector<Step> steps = {ShowPage(this), After(300, [this] { Click(kOstrel, RowChild::kDownload); })};
    AnswerBox(steps, box);
    steps.push_back({[] { return true; },
                     [&] {
                         notDetected = Face(kOstrel);
                         cachedAfterCancel = FileExists(Cached(L"ostrel_setup.exe"));
                         fetchesFirst = Fetches(kOstrelJournal);
                         SetSetting(L"CALVERIN_STANDIN_CANCEL", L"");
                         ResetEvent(hold);
                         Click(kOstrel, RowChild::kDownload);
                     }});
    steps.push_back(WhenStatus(kOstrel, L"等待安装", [&] {
        waiting = Face(kOstrel);
        SetEvent(hold);
    }));
    steps.push_back(WhenStatus(kOstrel, L"已安装", [&] {
        installed = Face(kOstrel);
        cachedAtTheEnd = FileExists(Cached(L"ostrel_setup.exe"));
        registered = IsAcceleratorInstalled(1);
        fetchesSecond = Fetches(kOstrelJournal) - fetchesFirst;
    }));
    Play(std::move(steps));

    EXPECT_EQ(box.title, L"Ostrel加速器");
    EXPECT_EQ(box.text, L"未检测到安装成功");
    EXPECT_EQ(notDetected.status, L"取消安装");
    EXPECT_TRUE(notDetected.downloadShown);
    EXPECT_FALSE(notDetected.statusShown || notDetected.speedShown || notDetected.cancelShown || notDetected.barShown);
    EXPECT_EQ(notDetected.background, 0u);
    EXPECT_TRUE(cachedAfterCancel);
    EXPECT_EQ(fetchesFirst, 1);

    EXPECT_EQ(waiting.status, L"等待安装");
    EXPECT_EQ(waiting.speed, L"等待安装");
    EXPECT_TRUE(waiting.statusShown && waiting.speedShown && waiting.cancelShown && waiting.barShown);
    EXPECT_FALSE(waiting.downloadShown);
    EXPECT_EQ(waiting.background, kBusyRowColour);

    EXPECT_TRUE(installed.statusShown && installed.viewShown);
    EXPECT_FALSE(installed.downloadShown || installed.cancelShown || installed.barShown || installed.speedShown);
    EXPECT_EQ(installed.size, notDetected.size);
    EXPECT_TRUE(registered);
    EXPECT_FALSE(cachedAtTheEnd);
    EXPECT_EQ(fetchesSecond, 0);
}

// A cancel while the installer runs only changes the row: its download
// button stays disabled while the installer runs, so a click meanwhile starts
// nothing, and the installer's end still moves the row on.
TEST_F(MainWndAcceleratorsTest, ACancelDuringTheInstallerLetsItRunOnAndItsEndMovesTheRow)
{
    RowFace cancelled, afterClick, installed;
    int fetchesBefore = -1, fetchesAfter = -1;
    Play({ShowPage(this), After(300, [this] { Click(kOstrel, RowChild::kDownload); }), WhenStatus(kOstrel, L"等待安装"),
          After(300, [this] { Click(kOstrel, RowChild::kCancel); }),
          After(300,
                [&] {
                    cancelled = Face(kOstrel);
                    fetchesBefore = Fetches(kOstrelJournal);
                    Click(kOstrel, RowChild::kDownload);
                }),
          After(1500,
                [&] {
                    afterClick = Face(kOstrel);
                    fetchesAfter = Fetches(kOstrelJournal);
                    SetEvent(hold);
                }),
          WhenStatus(kOstrel, L"已安装", [&] { installed = Face(kOstrel); })});
    EXPECT_EQ(cancelled.status, L"已取消");
    EXPECT_TRUE(cancelled.downloadShown && !cancelled.cancelShown);
    EXPECT_FALSE(cancelled.downloadEnabled) << "the installer still runs";
    EXPECT_EQ(afterClick.status, L"已取消");
    EXPECT_TRUE(afterClick.downloadShown && !afterClick.cancelShown);
    EXPECT_FALSE(afterClick.downloadEnabled);
    EXPECT_EQ(afterClick.background, 0u);
    EXPECT_EQ(fetchesAfter, fetchesBefore);
    EXPECT_TRUE(installed.viewShown && installed.statusShown && !installed.downloadShown);
}

// A check result that the worker queued just before the user's cancel runs
// no installer, and the row keeps the cancelled look.
TEST_F(MainWndAcceleratorsTest, ACheckResultQueuedBeforeTheCancelRunsNoInstaller)
{
    SetEvent(hold);
    RowFace after;
    Play({ShowPage(this), After(300, [this] { Click(kOstrel, RowChild::kDownload); }),
          WhenStatus(kOstrel, L"等待开始",
                     [this] {
                         CControlUI* row = Row(kList, kOstrel);
                         mainWnd.OnJiasuqiCancelClick(RowChildOf(row, RowChild::kCancel));
                         mainWnd.PostMsg(mainWnd.GetWindowHandle(), &CMainWnd::OnJiasuqiVerifyDone, row->GetTag(), 0);
                     }),
          After(3000, [&] { after = Face(kOstrel); })});
    EXPECT_EQ(after.status, L"已取消");
    EXPECT_TRUE(after.downloadShown && !after.cancelShown);
    EXPECT_FALSE(IsAcceleratorInstalled(1));
}

// Two programs' installers at once; each end finds its own row.
TEST_F(MainWndAcceleratorsTest, TwoInstallersRunAtOnce)
{
    bool bothWaiting = false;
    RowFace ostrel, tamsk, pellinor;
    Play({ShowPage(this),
          After(300,
                [this] {
                    Click(kOstrel, RowChild::kDownload);
                    Click(kTamsk, RowChild::kDownload);
                }),
          {[this] { return Status(kOstrel) == L"等待安装" && Status(kTamsk) == L"等待安装"; },
           [&] {
               bothWaiting = true;
               SetEvent(hold);
           }},
          {[this] { return Status(kOstrel) == L"已安装" && Status(kTamsk) == L"已安装"; },
           [&] {
               ostrel = Face(kOstrel);
               tamsk = Face(kTamsk);
               pellinor = Face(1);
           }}});
    EXPECT_TRUE(bothWaiting);
    EXPECT_TRUE(ostrel.viewShown && tamsk.viewShown);
    EXPECT_TRUE(IsAcceleratorInstalled(1) && IsAcceleratorInstalled(3));
    EXPECT_FALSE(FileExists(Cached(L"ostrel_setup.exe")) || FileExists(Cached(L"tamsk_setup.exe")));
    EXPECT_TRUE(pellinor.downloadShown && !pellinor.statusShown);
}

// The list is rebuilt while an installer runs, then once more so that the
// first list's records would be freed: the waiting installer keeps its
// record, a click on the new row of the same program starts nothing, and the
// installer's end changes no row but still tells the user, by the program's
// name.
TEST_F(MainWndAcceleratorsTest, ARebuiltListKeepsTheWaitingInstallersRecord)
{
    SetSetting(L"CALVERIN_STANDIN_CANCEL", L"1");
    RowFace rebuilt, afterEnd;
    BoxSeen box;
    int fetchesBefore = -1, fetchesAfter = -1;
    std::string listText;
    std::vector<Step> steps = {
        ShowPage(this),
        After(300, [this] { Click(kOstrel, RowChild::kDownload); }),
        WhenStatus(kOstrel, L"等待安装",
                   [&] {
                       const auto* record = reinterpret_cast<const JiasuqiInfo*>(Row(kList, kOstrel)->GetTag());
                       listText = "[{\"software_id\":\"1\",\"type\":1,\"name\":\"" + Utf8(record->name) +
                                  "\",\"size\":\"" + Utf8(record->size) + "\",\"file_url\":\"" + record->file_url +
                                  "\",\"file_md5\":\"" + record->file_md5 + "\",\"file_url_type\":\"0\"}]";
                       QueueJiasuqis(listText);
                   }),
        {[this] { return RowCount(kList) == 1 && IconsIn(kList); }, [&] { QueueJiasuqis(listText + " "); }},
        After(1000,
              [&] {
                  rebuilt = Face(0);
                  fetchesBefore = Fetches(kOstrelJournal);
                  Click(0, RowChild::kDownload);
              }),
        After(1500, [&] {
            fetchesAfter = Fetches(kOstrelJournal);
            SetEvent(hold);
        })};
    AnswerBox(steps, box);
    steps.push_back(After(300, [&] { afterEnd = Face(0); }));
    Play(std::move(steps));
    EXPECT_TRUE(rebuilt.downloadShown && !rebuilt.cancelShown);
    EXPECT_EQ(fetchesAfter, fetchesBefore);
    EXPECT_EQ(box.title, L"Ostrel加速器");
    EXPECT_EQ(box.text, L"未检测到安装成功");
    EXPECT_TRUE(afterEnd.downloadShown && !afterEnd.statusShown && !afterEnd.cancelShown);
    EXPECT_EQ(afterEnd.status, rebuilt.status);
    EXPECT_EQ(afterEnd.background, 0u);
}

// Tasks that end before an installer could run, or with one that cannot
// run: the row's look, the box by the program's name, and what stays in the
// cache. The programs are the service's files under their own entries.
TEST_F(MainWndAcceleratorsTest, TasksThatEndWithoutAnInstalledProgram)
{
    const Json::Value notAProgram = RefService::AddFile("installers/broken_setup.exe", "not a program at all");
    const Json::Value badDigest = RefService::AddFile("installers/bad_setup.exe", "MZ some bytes");
    struct Case
    {
        const char* what;
        std::string fileUrl, md5, size;
        const wchar_t* status;
        bool statusShown;
        const wchar_t* boxText;
        const wchar_t* cachedFile;
        bool cached;
    } cases[] = {
        {"no such file", notAProgram["url"].asString() + ".missing", "", "0", L"下载失败", true, L"文件大小获取失败！",
         L"broken_setup.exe.missing", false},
        {"digest does not match", badDigest["url"].asString(), "0123456789abcdef0123456789abcdef",
         badDigest["size"].asString(), L"校验失败", true, L"校验失败！", L"bad_setup.exe", false},
        {"installer cannot start", notAProgram["url"].asString(), notAProgram["md5"].asString(),
         notAProgram["size"].asString(), L"取消安装", false, L"未检测到安装成功", L"broken_setup.exe", true},
    };
    std::vector<RowFace> seen(std::size(cases));
    std::vector<BoxSeen> boxes(std::size(cases));
    std::vector<bool> cached(std::size(cases));
    std::vector<Step> steps = {ShowPage(this)};
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const std::string list = "[{\"software_id\":\"7\",\"type\":1,\"name\":\"试验加速器\",\"size\":\"" + c.size +
                                 "\",\"file_url\":\"" + c.fileUrl + "\",\"file_md5\":\"" + c.md5 +
                                 "\",\"file_url_type\":\"0\"}]";
        steps.push_back(After(300, [this, list] { QueueJiasuqis(list); }));
        steps.push_back(
            {[this] { return RowCount(kList) == 1 && IconsIn(kList) && Face(0).name == L"试验加速器"; }, [] {}});
        steps.push_back(After(300, [this] { Click(0, RowChild::kDownload); }));
        AnswerBox(steps, boxes[i]);
        steps.push_back(After(300, [&, i] {
            seen[i] = Face(0);
            cached[i] = FileExists(Cached(cases[i].cachedFile));
        }));
    }
    Play(std::move(steps));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].what);
        EXPECT_EQ(seen[i].status, cases[i].status);
        EXPECT_EQ(seen[i].statusShown, cases[i].statusShown);
        EXPECT_TRUE(seen[i].downloadShown && !seen[i].cancelShown);
        EXPECT_EQ(seen[i].background, 0u);
        EXPECT_EQ(boxes[i].title, L"试验加速器");
        EXPECT_EQ(boxes[i].text, cases[i].boxText);
        EXPECT_EQ(cached[i], cases[i].cached);
    }
}

// Users abroad are sent to the cloud drive instead of the worker's message.
TEST_F(MainWndAcceleratorsTest, ADownloadFailureAbroadPointsToTheCloudDrive)
{
    Json::Value user;
    user["mobile"] = "13800138000";
    user["is_overseas"] = "1";
    RefService::PutUser(user);
    RefService::AddFault(RefService::Fault(kOstrelFile, "status"));
    BoxSeen box;
    RowFace failed;
    std::vector<Step> steps = {ShowPage(this), After(300, [this] { Click(kOstrel, RowChild::kDownload); })};
    AnswerBox(steps, box);
    steps.push_back({[] { return true; }, [&] { failed = Face(kOstrel); }});
    Play(std::move(steps));
    EXPECT_EQ(box.title, L"Ostrel加速器");
    EXPECT_EQ(box.text, L"下载失败，请从网盘下载");
    EXPECT_EQ(failed.status, L"下载失败");
    EXPECT_TRUE(failed.downloadShown && failed.statusShown && !failed.cancelShown);
}

}  // namespace
