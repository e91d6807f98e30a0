// The folder selection and folder view windows in the test's own process,
// from the client's skin archive, over a stand-in owner the size of the main
// window: what each shows, what a picked folder becomes in each mode (the
// picker itself cannot be shown here), typed folders and the results, the
// help link, and which folder the open buttons hand to Explorer (Explorer is
// not started here; its parameters are checked on real folders).

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "TestPaths.h"
#include "ThreadTimerAction.h"
#include "controls/RichEditUI.h"
#include "dialogs/SetPathWnd.h"
#include "dialogs/ViewPathWnd.h"
#include "services/SessionData.h"

using namespace CalUI;

namespace {

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

class OwnerWnd : public CWindowWnd
{
public:
    LPCWSTR GetWindowClassName() const override { return L"CalverinFolderOwner"; }
};

class ProbedSetPathWnd : public CSetPathWnd
{
public:
    using CDialogWnd::FindControl;
    using CDialogWnd::TextOf;
    using CSetPathWnd::CSetPathWnd;
    using CSetPathWnd::OnDownloadFolderPicked;
    using CSetPathWnd::OnInstallFolderPicked;
};

// Records what would go to Explorer instead of starting it.
class ProbedViewPathWnd : public CViewPathWnd
{
public:
    using CDialogWnd::FindControl;
    using CViewPathWnd::CViewPathWnd;

    std::vector<std::wstring> opened;

private:
    void OpenInExplorer(const std::wstring& path) override { opened.push_back(path); }
};

void ClickAt(HWND window, CControlUI* control)
{
    ASSERT_NE(control, nullptr);
    const RECT rc = control->GetPos();
    const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    PostMessageW(window, WM_MOUSEMOVE, 0, at);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(window, WM_LBUTTONUP, 0, at);
}

HWND VisibleWindow(LPCWSTR className)
{
    HWND w = FindWindowW(className, nullptr);
    return w != nullptr && IsWindowVisible(w) ? w : nullptr;
}

class FolderWindows : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        archive = ScratchFolder::ReadFile(BuildTreePath(L"client\\skin\\client.zip"));
        CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
        CWindowManagerUI::SetResourceZip(archive.data(), static_cast<unsigned>(archive.size()), nullptr);
    }

    void SetUp() override
    {
        ASSERT_NE(owner.Create(nullptr, L"owner", WS_POPUP | WS_VISIBLE, 0, 100, 50, 1200, 800, nullptr), nullptr);
    }

    void TearDown() override { DestroyWindow(owner.GetWindowHandle()); }

    // Runs `act` once the dialog shows with its button laid out; a dialog that
    // never shows is closed.
    template <class Dialog>
    int RunDialog(Dialog& dialog, LPCWSTR laidOut, std::function<void(HWND)> act)
    {
        if (dialog.CreateOver(owner.GetWindowHandle()) == nullptr)
            return -1;
        HWND window = dialog.GetWindowHandle();
        RunFromTheLoopWhen(
            [&dialog, window, laidOut] {
                return IsWindowVisible(window) && dialog.FindControl(laidOut)->GetPos().right > 0;
            },
            [act, window] { act(window); }, [window] { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
        const int result = dialog.ShowModal(true, true);
        DropPendingLoopAction();
        return result;
    }

    static std::string archive;
    OwnerWnd owner;
};

std::string FolderWindows::archive;

std::wstring TipOf(CControlUI* field)
{
    auto* edit = static_cast<CRichEditUI*>(field);
    return edit != nullptr ? edit->GetTipValue().GetData() : L"<none>";
}

// Each mode shows the caller's folders with its own tips; closing leaves the
// caller's strings as they were, whatever was typed.
TEST_F(FolderWindows, TheSelectionShowsTheFoldersWithTheTipsOfItsModeAndClosingChangesNothing)
{
    const struct
    {
        FolderMode mode;
        LPCWSTR downloadTip, installTip;
    } cases[] = {
        {FolderMode::Game, L"请选择游戏下载路径", L"请选择游戏安装路径"},
        {FolderMode::Plugin, L"请选择插件下载路径", L"请选择插件安装路径"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        std::wstring download = L"C:\\Down\\";
        std::wstring install = L"C:\\Games\\";
        ProbedSetPathWnd window(c.mode, download, install, L"星海征途");
        std::wstring shownDownload, shownInstall, downloadTip, installTip;
        const int result = RunDialog(window, L"ok_btn", [&](HWND handle) {
            shownDownload = window.TextOf(L"download_path_edit");
            shownInstall = window.TextOf(L"install_path_edit");
            downloadTip = TipOf(window.FindControl(L"download_path_edit"));
            installTip = TipOf(window.FindControl(L"install_path_edit"));
            window.FindControl(L"download_path_edit")->SetText(L"D:\\Typed\\");
            ClickAt(handle, window.FindControl(L"close_btn"));
        });
        EXPECT_EQ(result, 0);
        EXPECT_EQ(shownDownload, L"C:\\Down\\");
        EXPECT_EQ(shownInstall, L"C:\\Games\\");
        EXPECT_EQ(downloadTip, c.downloadTip);
        EXPECT_EQ(installTip, c.installTip);
        EXPECT_EQ(download, L"C:\\Down\\");
        EXPECT_EQ(install, L"C:\\Games\\");
    }
}

// A game's folder gets the game's own sub-folder, its name made one clean
// folder name: the item's name from the service cannot climb out of the
// picked folder. An empty other field takes the same folder.
TEST_F(FolderWindows, APickedGameFolderGetsTheGamesCleanedSubFolder)
{
    std::wstring download, install;
    ProbedSetPathWnd window(FolderMode::Game, download, install, L"..\\Star:Sea. ");
    std::wstring afterFirstPick[2], afterSecondPick[2], tooltip;
    const int result = RunDialog(window, L"ok_btn", [&](HWND handle) {
        window.OnDownloadFolderPicked(L"D:\\Games");
        afterFirstPick[0] = window.TextOf(L"download_path_edit");
        afterFirstPick[1] = window.TextOf(L"install_path_edit");
        tooltip = window.FindControl(L"download_path_edit")->GetToolTip().GetData();
        window.OnInstallFolderPicked(L"E:\\");
        afterSecondPick[0] = window.TextOf(L"download_path_edit");
        afterSecondPick[1] = window.TextOf(L"install_path_edit");
        ClickAt(handle, window.FindControl(L"ok_btn"));
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(afterFirstPick[0], L"D:\\Games\\.._Star_Sea\\");
    EXPECT_EQ(afterFirstPick[1], L"D:\\Games\\.._Star_Sea\\");
    EXPECT_EQ(tooltip, afterFirstPick[0]);
    EXPECT_EQ(afterSecondPick[0], L"D:\\Games\\.._Star_Sea\\") << "a filled field stays";
    EXPECT_EQ(afterSecondPick[1], L"E:\\.._Star_Sea\\");
    EXPECT_EQ(download, L"D:\\Games\\.._Star_Sea\\");
    EXPECT_EQ(install, L"E:\\.._Star_Sea\\");
}

// Plug-ins install into the game's AddOns folder, found below whatever is
// picked; a folder without one empties the install field and says so.
TEST_F(FolderWindows, APickedPluginFolderFindsTheGamesAddOnsFolder)
{
    ScratchFolder scratch;
    const std::wstring game = scratch.File(L"Game\\");
    const std::wstring empty = scratch.File(L"Empty\\");
    CreateDirectoryW(game.c_str(), nullptr);
    CreateDirectoryW((game + L"Data").c_str(), nullptr);
    CreateDirectoryW((game + L"Data\\interface").c_str(), nullptr);
    CreateDirectoryW(empty.c_str(), nullptr);
    std::wstring download, install;
    ProbedSetPathWnd window(FolderMode::Plugin, download, install, L"");
    std::wstring byDownload, byInstall[2], refused[2], message;
    bool messageShown = false;
    const int result = RunDialog(window, L"ok_btn", [&](HWND handle) {
        window.OnDownloadFolderPicked(game);
        byDownload = window.TextOf(L"install_path_edit");
        window.OnInstallFolderPicked(empty);
        refused[0] = window.TextOf(L"download_path_edit");
        refused[1] = window.TextOf(L"install_path_edit");
        message = window.TextOf(L"msg_lab");
        messageShown = window.FindControl(L"msg_lab")->IsVisible();
        window.FindControl(L"download_path_edit")->SetText(L"");
        window.OnInstallFolderPicked(game.substr(0, game.size() - 1));
        byInstall[0] = window.TextOf(L"download_path_edit");
        byInstall[1] = window.TextOf(L"install_path_edit");
        ClickAt(handle, window.FindControl(L"ok_btn"));
    });
    const std::wstring addOns = game + L"Data\\Interface\\AddOns\\";
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Narrow(byDownload), Narrow(addOns)) << "an empty install field takes the AddOns folder";
    EXPECT_EQ(Narrow(refused[0]), Narrow(game));
    EXPECT_EQ(refused[1], L"");
    EXPECT_EQ(message, L"请选择正确的安装目录");
    EXPECT_TRUE(messageShown);
    EXPECT_EQ(Narrow(byInstall[0]), Narrow(game)) << "an empty download field takes the picked folder";
    EXPECT_EQ(Narrow(byInstall[1]), Narrow(addOns));
    EXPECT_EQ(Narrow(download), Narrow(game));
    EXPECT_EQ(Narrow(install), Narrow(addOns));
}

// Typed folders come back as typed when absolute or empty; a relative one is
// refused with its box and the window stays open for a better one.
TEST_F(FolderWindows, TypedFoldersComeBackAsTypedUnlessNotAbsolute)
{
    const struct
    {
        const char* what;
        LPCWSTR download, install;
        bool refused;
    } cases[] = {
        {"two drive folders", L"D:\\Down\\", L"E:\\Games\\Star", false},
        {"a share", L"\\\\server\\share\\down\\", L"D:/Games/", false},
        {"both empty, for the caller to judge", L"", L"", false},
        {"a relative download folder", L"Games\\Down", L"D:\\Games\\", true},
        {"a drive without separator", L"D:Down", L"D:\\Games\\", true},
        {"a rooted install folder without drive", L"D:\\Down\\", L"\\Games\\", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::wstring download = L"C:\\Before\\";
        std::wstring install = L"C:\\Before\\";
        ProbedSetPathWnd window(FolderMode::Game, download, install, L"Star");
        bool boxShown = false, stayed = false;
        const int result = RunDialog(window, L"ok_btn", [&](HWND handle) {
            window.FindControl(L"download_path_edit")->SetText(c.download);
            window.FindControl(L"install_path_edit")->SetText(c.install);
            ClickAt(handle, window.FindControl(L"ok_btn"));
            RunFromTheLoopWhen([] { return VisibleWindow(L"CMsgBoxWnd") != nullptr; },
                               [&, handle] {
                                   boxShown = true;
                                   PostMessageW(VisibleWindow(L"CMsgBoxWnd"), WM_KEYDOWN, VK_ESCAPE, 0);
                                   RunFromTheLoopIn(300, [&, handle] {
                                       stayed = IsWindow(handle) && IsWindowVisible(handle);
                                       PostMessageW(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
                                   });
                               },
                               [] {}, 1500);
        });
        if (!c.refused) {
            EXPECT_EQ(result, 1);
            EXPECT_EQ(download, c.download);
            EXPECT_EQ(install, c.install);
            EXPECT_FALSE(boxShown);
        } else {
            EXPECT_EQ(result, 0);
            EXPECT_TRUE(boxShown);
            EXPECT_TRUE(stayed);
            EXPECT_EQ(download, L"C:\\Before\\");
            EXPECT_EQ(install, L"C:\\Before\\");
        }
    }
}

// The help button hands the service's text to the shell only when it is a
// web address: a program named there is never started.
TEST_F(FolderWindows, HelpStartsNothingButAWebAddress)
{
    ScratchFolder scratch;
    const std::wstring marker = scratch.File(L"started.txt");
    const std::wstring script = scratch.WriteFile(L"help.cmd", "echo x > \"" + Narrow(marker) + "\"\r\n");
    // The shell does start it when asked: what the window must not do.
    ShellExecuteW(nullptr, L"open", script.c_str(), nullptr, nullptr, SW_HIDE);
    for (int i = 0; i < 100 && GetFileAttributesW(marker.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(100);
    ASSERT_NE(GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES) << "the shell runs the script";
    DeleteFileW(marker.c_str());

    g_sessionData.SetService(script);
    std::wstring download, install;
    ProbedSetPathWnd window(FolderMode::Game, download, install, L"");
    RunDialog(window, L"go_help_btn", [&](HWND handle) {
        ClickAt(handle, window.FindControl(L"go_help_btn"));
        RunFromTheLoopIn(4000, [handle] { PostMessageW(handle, WM_SYSCOMMAND, SC_CLOSE, 0); });
    });
    g_sessionData.SetService(L"");
    EXPECT_EQ(GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES);
}

// The open buttons open the folders given to the window, not what the user
// typed over them; each closing button gives its own result.
TEST_F(FolderWindows, TheViewOpensItsOwnFoldersAndEachButtonGivesItsResult)
{
    const struct
    {
        LPCWSTR button;
        int result;
    } cases[] = {{L"unstall_btn", 1}, {L"close2_btn", 2}, {L"close_btn", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.button));
        ProbedViewPathWnd window(L"D:\\Down\\", L"E:\\Games\\Star\\");
        std::wstring shown[2];
        const int result = RunDialog(window, L"open_install_btn", [&](HWND handle) {
            shown[0] = window.FindControl(L"download_path_edit")->GetText().GetData();
            shown[1] = window.FindControl(L"install_path_edit")->GetText().GetData();
            window.FindControl(L"download_path_edit")->SetText(L"C:\\Windows\\");
            window.FindControl(L"install_path_edit")->SetText(L"C:\\");
            ClickAt(handle, window.FindControl(L"open_download_btn"));
            RunFromTheLoopIn(300, [&, handle] {
                ClickAt(handle, window.FindControl(L"open_install_btn"));
                RunFromTheLoopIn(300, [&, handle] { ClickAt(handle, window.FindControl(c.button)); });
            });
        });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(shown[0], L"D:\\Down\\");
        EXPECT_EQ(shown[1], L"E:\\Games\\Star\\");
        ASSERT_EQ(window.opened.size(), 2u);
        EXPECT_EQ(window.opened[0], L"D:\\Down\\");
        EXPECT_EQ(window.opened[1], L"E:\\Games\\Star\\");
    }
}

// Explorer gets the path quoted whole; a folder opens, anything else is
// selected in its folder.
TEST_F(FolderWindows, ExplorerGetsThePathQuoted)
{
    ScratchFolder scratch;
    const std::wstring odd = scratch.File(L"a, b c");
    CreateDirectoryW(odd.c_str(), nullptr);
    const std::wstring file = scratch.WriteFile(L"package.zip", "zip");
    const struct
    {
        std::wstring path, parameters;
    } cases[] = {
        {odd, L"\"" + odd + L"\""},
        {odd + L"\\", L"\"" + odd + L"\""},
        {file, L"/select, \"" + file + L"\""},
        {scratch.File(L"gone\\"), L"/select, \"" + scratch.File(L"gone") + L"\""},
        {L"C:\\", L"\"C:\\\\\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.path));
        EXPECT_EQ(Narrow(ExplorerParameters(c.path)), Narrow(c.parameters));
    }
}

}  // namespace
