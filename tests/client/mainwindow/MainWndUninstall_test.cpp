// Uninstalling from the rows of the signed-in main window in the test's own
// process: the folder view window and the removal of a game's or its
// plug-ins' install folder, the Nexon Launcher's uninstaller, and the
// accelerator programs' own uninstallers (the reference service's
// stand-ins), over real folders, config.ini and the prefix's registry.
// Windows are answered by posted clicks. The balloons cannot be seen under
// Wine and the tray icon offers no hook: a removal's end shows here in the
// rows and the boxes only.

#include "DialogTexts.h"
#include "MainWndRowsFixture.h"
#include "RefService.h"
#include "dialogs/DialogWnd.h"
#include "services/AcceleratorPrograms.h"
#include "services/DesktopShortcuts.h"
#include "services/FileUtil.h"

#include <shlobj.h>

#include <filesystem>
#include <optional>

namespace {

namespace fs = std::filesystem;

// Files below the folder, relative and "/"-separated, sorted; empty when it
// is missing.
std::vector<std::string> FilesIn(const std::wstring& root)
{
    std::vector<std::string> files;
    if (!fs::exists(root))
        return files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_directory())
            files.push_back(WideToUtf8(fs::relative(entry.path(), root).generic_wstring()));
    }
    std::sort(files.begin(), files.end());
    return files;
}

// An environment value for the test's life (and its children's), then the
// previous one again.
class ScopedEnvironment
{
public:
    ScopedEnvironment(const wchar_t* name, const std::optional<std::wstring>& value) : m_name(name)
    {
        wchar_t previous[32768] = {};
        if (GetEnvironmentVariableW(name, previous, 32768) != 0)
            m_previous = previous;
        Set(value);
    }
    ~ScopedEnvironment() { Set(m_previous); }
    void Set(const std::optional<std::wstring>& value)
    {
        SetEnvironmentVariableW(m_name, value ? value->c_str() : nullptr);
    }

private:
    const wchar_t* m_name;
    std::optional<std::wstring> m_previous;
};

// Sees what a row shows before each message of the test's thread is
// handled: a look that lasts only until the next queued call is seen too.
class RowWatch
{
public:
    explicit RowWatch(std::function<CControlUI*()> row) : m_row(std::move(row))
    {
        s_current = this;
        m_hook = SetWindowsHookExW(WH_GETMESSAGE, &Hook, nullptr, GetCurrentThreadId());
    }
    ~RowWatch()
    {
        UnhookWindowsHookEx(m_hook);
        s_current = nullptr;
    }
    RowWatch(const RowWatch&) = delete;
    RowWatch& operator=(const RowWatch&) = delete;

    // Each face the row showed, in order, once per change of its status.
    std::vector<RowFace> faces;
    std::vector<std::wstring> Statuses() const
    {
        std::vector<std::wstring> statuses;
        for (const RowFace& face : faces)
            statuses.push_back(face.status);
        return statuses;
    }
    // The first face with that status; an empty face when there was none.
    RowFace First(const std::wstring& status) const
    {
        for (const RowFace& face : faces) {
            if (face.status == status)
                return face;
        }
        return RowFace();
    }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code >= 0 && s_current != nullptr)
            s_current->Look();
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    void Look()
    {
        CControlUI* row = m_row();
        if (row == nullptr)
            return;
        const RowFace face = FaceOf(row);
        if (faces.empty() || faces.back().status != face.status)
            faces.push_back(face);
    }

    std::function<CControlUI*()> m_row;
    HHOOK m_hook = nullptr;
    static inline RowWatch* s_current = nullptr;
};

int InstalledFlag(const std::wstring& section)
{
    return GetPrivateProfileIntW(section.c_str(), L"installed", -1, g_sessionData.GetConfigIniPath().c_str());
}

class MainWndUninstallTest : public MainWndRows
{
protected:
    static void SetUpTestSuite()
    {
        UseSkin(BuildTreePath(L"client\\skin\\client.zip"));
        removeAt = SkinControlCentre(L"viewpath.xml", L"unstall_btn");
        cancelAt = SkinControlCentre(L"msgbox.xml", L"msgbox_cancel");
    }

    // The row's page shown and laid out first: a page just selected has
    // its places only after the window has painted it.
    void ClickView(LPCWSTR list, int index)
    {
        CControlUI* row = Row(list, index);
        RedrawWindow(mainWnd.GetWindowHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const RECT& at = RowChildOf(row, RowChild::kView)->GetPos();
        PostClick(mainWnd.GetWindowHandle(), {(at.left + at.right) / 2, (at.top + at.bottom) / 2});
    }
    // Whatever row the list holds at that place when the watch looks.
    std::function<CControlUI*()> RowAt(LPCWSTR list, int index)
    {
        return [this, list, index] {
            CContainerUI* rows = List(list);
            return rows != nullptr && index < rows->GetCount() ? rows->GetItemAt(index) : nullptr;
        };
    }
    std::wstring Status(LPCWSTR list, int index)
    {
        return RowChildOf(Row(list, index), RowChild::kStatus)->GetText().GetData();
    }

    // Once the window of the class shows: `seen` with it, then the click.
    // The window has stood for a moment, so that it has laid out its
    // buttons where the click goes.
    static Step Answer(LPCWSTR className, POINT at, std::function<void(HWND)> seen = nullptr)
    {
        auto since = std::make_shared<std::pair<HWND, DWORD>>(nullptr, 0);
        return Step{[className, since] {
                        const HWND window = VisibleWindow(className);
                        if (window != since->first)
                            *since = {window, GetTickCount()};
                        return window != nullptr && GetTickCount() - since->second >= 300;
                    },
                    [className, at, seen] {
                        const HWND window = VisibleWindow(className);
                        if (seen)
                            seen(window);
                        PostClick(window, at);
                    }};
    }
    // A box's title and text, then OK.
    static Step ReadBox(std::wstring& title, std::wstring& text)
    {
        return Answer(L"CMsgBoxWnd", okAlone, [&title, &text](HWND box) {
            title = DialogTexts::Of(box, L"msgbox_title");
            text = DialogTexts::Of(box, L"msgbox_text");
        });
    }
    // A list reply, once the list's icons of the previous one are in.
    Step Rebuild(LPCWSTR list, std::function<void()> queue)
    {
        return Step{[this, list] { return IconsIn(list); }, std::move(queue)};
    }

    static inline POINT removeAt, cancelAt;
};

// "查看" shows both folders; the removal takes the install folder but the
// downloaded package, resets the flag and the shortcut at once, and the row
// waits with "等待卸载" until the deletion has ended. With its own download
// folder the install folder goes whole; a list reply while the view window
// is open changes nothing of that. A file held open stays and a box names
// the folder instead of the success.
TEST_F(MainWndUninstallTest, GameFolderGoesButItsPackageAndTheRowWaitsForTheEnd)
{
    ConfigSections config;
    // 301: one folder for both.
    const std::wstring both = folder.File(L"g301\\");
    CreateDirectoryW(both.c_str(), nullptr);
    CreateDirectoryW((both + L"data").c_str(), nullptr);
    folder.WriteFile(L"g301\\p.zip", "PK");
    folder.WriteFile(L"g301\\game.exe", "MZ");
    for (int i = 0; i < 20; ++i)
        folder.WriteFile(L"g301\\data\\" + std::to_wstring(i) + L".pak", "x");
    config.Set(L"game_301", L"path", both);
    config.Set(L"game_301", L"installed", L"1");
    const std::wstring shortcut =
        ShellFolderPath(CSIDL_DESKTOPDIRECTORY) + L"\\" + ShortcutFileName(L"龙纹三零一", L"301");
    ASSERT_EQ(WriteStringToFile("link", shortcut), 1);
    // 302: downloads elsewhere.
    const std::wstring downloads = folder.File(L"d302\\");
    const std::wstring install = folder.File(L"i302\\");
    CreateDirectoryW(downloads.c_str(), nullptr);
    CreateDirectoryW(install.c_str(), nullptr);
    folder.WriteFile(L"d302\\p.zip", "PK");
    folder.WriteFile(L"i302\\p.zip", "PK");
    folder.WriteFile(L"i302\\game.exe", "MZ");
    config.Set(L"game_302", L"path", downloads);
    config.Set(L"game_302", L"install_path", install);
    config.Set(L"game_302", L"installed", L"1");
    // 303: a file in use.
    const std::wstring held = folder.File(L"g303\\");
    CreateDirectoryW(held.c_str(), nullptr);
    folder.WriteFile(L"g303\\a.txt", "a");
    const std::wstring inUsePath = folder.WriteFile(L"g303\\in-use.dll", "MZ");
    config.Set(L"game_303", L"path", held);
    config.Set(L"game_303", L"installed", L"1");
    HANDLE inUse = CreateFileW(inUsePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(inUse, INVALID_HANDLE_VALUE);

    const std::string list = "[" + GameEntry(L"301", L"龙纹三零一") + "," + GameEntry(L"302", L"龙纹三零二") + "," +
                             GameEntry(L"303", L"龙纹三零三") + "]";
    std::wstring shownDownload, shownInstall, boxTitle, boxText;
    RowFace removed302, removed303;
    RowWatch watch(RowAt(L"game_list", 0));
    int flagAtEnd = -1;
    bool shortcutGoneAtEnd = false;
    CTrayIcon::TakeBalloonsShown();
    Play(
        {{[] { return true; }, [&] { QueueGames(list); }},
         {[this] { return RowCount(L"game_list") == 3 && IconsIn(L"game_list"); }, [&] { ClickView(L"game_list", 0); }},
         Answer(L"CViewPathWnd", removeAt,
                [&](HWND view) {
                    shownDownload = DialogTexts::Of(view, L"download_path_edit");
                    shownInstall = DialogTexts::Of(view, L"install_path_edit");
                }),
         {[this] { return Status(L"game_list", 0) == L"已卸载"; },
          [&] {
              flagAtEnd = InstalledFlag(L"game_301");
              shortcutGoneAtEnd = !FileExists(shortcut);
              ClickView(L"game_list", 1);
          }},
         // The rows are built anew while the view window is open.
         {[] { return VisibleWindow(L"CViewPathWnd") != nullptr; }, [&] { QueueGames(list); }},
         After(800, [&] { PostClick(VisibleWindow(L"CViewPathWnd"), removeAt); }),
         {[this] { return RowCount(L"game_list") == 3 && Status(L"game_list", 1) == L"已卸载"; },
          [&] { removed302 = FaceOf(Row(L"game_list", 1)); }},
         Rebuild(L"game_list", [] {}),
         {[] { return true; }, [&] { ClickView(L"game_list", 2); }},
         Answer(L"CViewPathWnd", removeAt),
         ReadBox(boxTitle, boxText),
         {[this] { return VisibleWindow(L"CMsgBoxWnd") == nullptr; },
          [&] { removed303 = FaceOf(Row(L"game_list", 2)); }}});
    CloseHandle(inUse);
    DeleteFileW(shortcut.c_str());

    EXPECT_EQ(shownDownload, both);
    EXPECT_EQ(shownInstall, both);
    const std::vector<std::wstring> statuses = watch.Statuses();
    ASSERT_GE(statuses.size(), 3u);
    EXPECT_EQ(std::vector<std::wstring>(statuses.begin(), statuses.begin() + 3),
              (std::vector<std::wstring>{L"已安装", L"等待卸载", L"已卸载"}));
    const RowFace waiting = watch.First(L"等待卸载");
    const RowFace removed301 = watch.First(L"已卸载");
    EXPECT_TRUE(waiting.statusShown);
    EXPECT_FALSE(waiting.downloadShown || waiting.viewShown || waiting.cancelShown || waiting.barShown);
    EXPECT_EQ(flagAtEnd, 0);
    EXPECT_TRUE(shortcutGoneAtEnd);
    EXPECT_TRUE(removed301.statusShown && removed301.downloadShown);
    EXPECT_FALSE(removed301.viewShown || removed301.cancelShown || removed301.barShown);
    EXPECT_EQ(FilesIn(both), std::vector<std::string>{"p.zip"});

    EXPECT_EQ(removed302.status, L"已卸载");
    EXPECT_FALSE(fs::exists(install));
    EXPECT_EQ(FilesIn(downloads), std::vector<std::string>{"p.zip"});
    EXPECT_EQ(InstalledFlag(L"game_302"), 0);

    EXPECT_EQ(boxTitle, L"龙纹三零三");
    EXPECT_EQ(boxText, L"【" + held + L"】里面有部分文件删除失败，请手动删除！");
    EXPECT_EQ(removed303.status, L"已卸载");
    EXPECT_EQ(FilesIn(held), std::vector<std::string>{"in-use.dll"});
    EXPECT_EQ(InstalledFlag(L"game_303"), 0);
    // The removals that left nothing say so in a balloon; the third has its box.
    EXPECT_EQ(CTrayIcon::TakeBalloonsShown(), (std::vector<CTrayIcon::Balloon>{{L"卸载成功！", L"龙纹三零一", 8000},
                                                                               {L"卸载成功！", L"龙纹三零二", 8000}}));
}

// A recorded install folder that is relative, or holds the current folder
// (also when written with ".."), is never handed to the deletion: a box
// names it, and flag and files stay. A link inside goes as a link.
TEST_F(MainWndUninstallTest, RefusedFoldersStayAndLinksAreNotFollowed)
{
    ConfigSections config;
    const std::wstring current = folder.File(L"cur\\inner\\");
    CreateFolderTree(current);
    folder.WriteFile(L"cur\\inner\\keep.txt", "k");
    ScopedCurrentFolder inInner(folder.File(L"cur"));
    const std::wstring refused[] = {L"inner", folder.File(L"cur"), folder.File(L"cur\\inner\\..\\")};
    for (size_t i = 0; i < std::size(refused); ++i) {
        ASSERT_TRUE(folder.Holds(refused[i]));
        config.Set(L"game_31" + std::to_wstring(i), L"install_path", refused[i]);
        config.Set(L"game_31" + std::to_wstring(i), L"installed", L"1");
    }
    const std::wstring outside = folder.File(L"outside\\");
    CreateDirectoryW(outside.c_str(), nullptr);
    folder.WriteFile(L"outside\\theirs.txt", "t");
    const std::wstring linked = folder.File(L"linked\\");
    CreateDirectoryW(linked.c_str(), nullptr);
    folder.WriteFile(L"linked\\game.exe", "MZ");
    ASSERT_TRUE(folder.LinkOnHost(L"linked\\to-outside", HostPathOf(folder.File(L"outside"))));
    config.Set(L"game_319", L"install_path", linked);
    config.Set(L"game_319", L"installed", L"1");

    std::string list = "[";
    for (size_t i = 0; i < std::size(refused); ++i)
        list += GameEntry(L"31" + std::to_wstring(i), L"拒绝" + std::to_wstring(i)) + ",";
    list += GameEntry(L"319", L"链接") + "]";
    std::vector<std::wstring> titles(std::size(refused)), texts(std::size(refused)), statuses(std::size(refused));
    std::vector<Step> steps = {{[] { return true; }, [&] { QueueGames(list); }},
                               {[this] { return RowCount(L"game_list") == 4 && IconsIn(L"game_list"); }, [] {}}};
    for (size_t i = 0; i < std::size(refused); ++i) {
        steps.push_back({[] { return VisibleWindow(L"CMsgBoxWnd") == nullptr; },
                         [this, i] { ClickView(L"game_list", static_cast<int>(i)); }});
        steps.push_back(Answer(L"CViewPathWnd", removeAt));
        steps.push_back(ReadBox(titles[i], texts[i]));
        steps.push_back(After(300, [&, i] { statuses[i] = Status(L"game_list", static_cast<int>(i)); }));
    }
    std::wstring linkStatus;
    steps.push_back({[] { return true; }, [this] { ClickView(L"game_list", 3); }});
    steps.push_back(Answer(L"CViewPathWnd", removeAt));
    steps.push_back(
        {[this] { return Status(L"game_list", 3) == L"已卸载"; }, [&] { linkStatus = Status(L"game_list", 3); }});
    Play(std::move(steps));

    for (size_t i = 0; i < std::size(refused); ++i) {
        SCOPED_TRACE(WideToUtf8(refused[i]));
        EXPECT_EQ(titles[i], L"拒绝" + std::to_wstring(i));
        EXPECT_EQ(texts[i], L"【" + refused[i] + L"】里面有部分文件删除失败，请手动删除！");
        EXPECT_EQ(statuses[i], L"已安装");
        EXPECT_EQ(InstalledFlag(L"game_31" + std::to_wstring(i)), 1);
    }
    EXPECT_EQ(FilesIn(current), std::vector<std::string>{"keep.txt"});
    EXPECT_EQ(linkStatus, L"已卸载");
    // (This Wine cannot delete a host link, so the link and its folder stay.)
    EXPECT_FALSE(FileExists(linked + L"game.exe"));
    EXPECT_EQ(FilesIn(outside), std::vector<std::string>{"theirs.txt"});
}

// Every installed plug-in of the clicked one's folder goes with it: the
// folder spelled in another case, with "/" or without the trailing
// separator, a folder below it, and plug-ins the page does not list. A
// cancelled confirmation changes nothing.
TEST_F(MainWndUninstallTest, PluginsOfTheFolderGoTogether)
{
    ConfigSections config;
    const std::wstring shared = folder.File(L"Plugins\\");
    CreateFolderTree(shared + L"sub");
    folder.WriteFile(L"Plugins\\a.lua", "--");
    folder.WriteFile(L"Plugins\\sub\\b.lua", "--");
    const std::wstring other = folder.File(L"other\\");
    CreateDirectoryW(other.c_str(), nullptr);
    folder.WriteFile(L"other\\c.lua", "--");
    std::wstring slashed = folder.File(L"PLUGINS");
    std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
    const struct
    {
        const wchar_t* id;
        std::wstring path;
        bool goes;
    } plugins[] = {{L"401", shared, true},
                   {L"402", slashed, true},
                   {L"403", shared + L"sub", true},
                   {L"404", other, false},
                   {L"405", folder.File(L"plugins"), true}};  // not on the page
    for (const auto& p : plugins) {
        config.Set(std::wstring(L"plugin_") + p.id, L"path", p.path);
        config.Set(std::wstring(L"plugin_") + p.id, L"installed", L"1");
    }
    std::vector<std::wstring> before, after;
    CTrayIcon::TakeBalloonsShown();
    Play({{[] { return true; },
           [&] {
               QueuePlugins("[" + PluginEntry(L"401", L"插件一") + "," + PluginEntry(L"402", L"插件二") + "," +
                            PluginEntry(L"403", L"插件三") + "," + PluginEntry(L"404", L"插件四") + "]");
           }},
          {[this] { return RowCount(L"plugin_list") == 4 && IconsIn(L"plugin_list"); },
           [&] { ClickView(L"plugin_list", 0); }},
          Answer(L"CViewPathWnd", removeAt),
          Answer(L"CMsgBoxWnd", cancelAt),
          After(500,
                [&] {
                    for (int i = 0; i < 4; ++i)
                        before.push_back(Status(L"plugin_list", i));
                    ClickView(L"plugin_list", 0);
                }),
          Answer(L"CViewPathWnd", removeAt),
          Answer(L"CMsgBoxWnd", okBeside),
          {[this] { return Status(L"plugin_list", 0) == L"已卸载"; },
           [&] {
               for (int i = 0; i < 4; ++i)
                   after.push_back(Status(L"plugin_list", i));
           }}});
    EXPECT_EQ(before, (std::vector<std::wstring>{L"已安装", L"已安装", L"已安装", L"已安装"}));
    EXPECT_EQ(after, (std::vector<std::wstring>{L"已卸载", L"已卸载", L"已卸载", L"已安装"}));
    for (const auto& p : plugins) {
        SCOPED_TRACE(WideToUtf8(p.id));
        EXPECT_EQ(InstalledFlag(std::wstring(L"plugin_") + p.id), p.goes ? 0 : 1);
    }
    EXPECT_TRUE(FilesIn(shared).empty());
    EXPECT_EQ(FilesIn(other), std::vector<std::string>{"c.lua"});
    EXPECT_EQ(CTrayIcon::TakeBalloonsShown(), (std::vector<CTrayIcon::Balloon>{{L"卸载成功！", L"插件一", 8000}}));
}

// Game 13's row runs the Nexon Launcher's own Uninstall.exe: without one
// only the flag goes; one that cannot start leaves row and flag with a box.
TEST_F(MainWndUninstallTest, NexonLauncherRowRunsItsUninstaller)
{
    ConfigSections config;
    config.Set(L"game_13", L"installed", L"1");
    const std::wstring launcher = folder.File(L"Nexon");
    CreateDirectoryW(launcher.c_str(), nullptr);
    folder.WriteFile(L"Nexon\\nexon_launcher.exe", "MZ");
    const std::string directory = WideToUtf8(launcher);
    ASSERT_TRUE(WriteRegValue(HKEY_CURRENT_USER, "SOFTWARE\\Nexon Launcher", "Install Directory", REG_SZ, directory,
                              static_cast<DWORD>(directory.size())));
    const std::string list = "[" + GameEntry(L"13", L"Nexon Launcher") + "]";
    int flagWithout = -1, flagUnstartable = -1;
    bool viewWithout = true;
    std::wstring statusUnstartable, boxTitle, boxText, statusRemoved;
    Play(
        {{[] { return true; }, [&] { QueueGames(list); }},
         {[this] { return RowCount(L"game_list") == 1 && IconsIn(L"game_list"); }, [&] { ClickView(L"game_list", 0); }},
         After(1000,
               [&] {
                   viewWithout = VisibleWindow(L"CViewPathWnd") != nullptr;
                   flagWithout = InstalledFlag(L"game_13");
                   config.Set(L"game_13", L"installed", L"1");
                   folder.WriteFile(L"Nexon\\Uninstall.exe", "not a program");
                   ClickView(L"game_list", 0);
               }),
         Answer(L"CViewPathWnd", removeAt),
         ReadBox(boxTitle, boxText),
         After(300,
               [&] {
                   flagUnstartable = InstalledFlag(L"game_13");
                   statusUnstartable = Status(L"game_list", 0);
                   CopyFileW(BuildTreePath(L"refservice\\files\\installers\\NexonLauncherSetup.exe").c_str(),
                             (launcher + L"\\Uninstall.exe").c_str(), FALSE);
                   ClickView(L"game_list", 0);
               }),
         Answer(L"CViewPathWnd", removeAt),
         {[this] { return Status(L"game_list", 0) == L"已卸载"; }, [&] { statusRemoved = Status(L"game_list", 0); }},
         {[] {
              std::wstring left;
              return !ReadRegValue(HKEY_CURRENT_USER, L"SOFTWARE\\Nexon Launcher", L"Install Directory", REG_SZ, left);
          },
          [] {}}});
    RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\Nexon Launcher");
    EXPECT_FALSE(viewWithout);
    EXPECT_EQ(flagWithout, 0);
    EXPECT_EQ(boxTitle, L"Nexon Launcher");
    EXPECT_EQ(boxText, L"【" + launcher + L"\\Uninstall.exe】无法启动，请手动卸载！");
    EXPECT_EQ(flagUnstartable, 1);
    EXPECT_EQ(statusUnstartable, L"已安装");
    EXPECT_EQ(statusRemoved, L"已卸载");
    EXPECT_EQ(InstalledFlag(L"game_13"), 0);
}

// An accelerator's "卸载" runs the program's registered uninstaller from a
// copy in a new folder under TEMP (in place when TEMP is unset) and waits;
// the row says how it ended, and no copy's folder stays behind.
TEST_F(MainWndUninstallTest, AcceleratorUninstallersAreRunAndWaitedFor)
{
    enum class Before
    {
        Nothing,
        FolderGone,
        Cancel,
        Unstartable,
        ClickTwice,
        TempUnset
    };
    const struct Case
    {
        const char* what;
        Before before;
        const wchar_t* status;  // the row's end
        bool box;               // "未检测到卸载成功"
        bool programLeft;
    } cases[] = {
        {"removed", Before::Nothing, L"已卸载", false, false},
        {"folder gone already", Before::FolderGone, L"已卸载", false, false},
        {"cancelled", Before::Cancel, L"已安装", true, true},
        {"not startable", Before::Unstartable, L"已安装", true, true},
        {"clicked twice", Before::ClickTwice, L"已卸载", false, false},
        {"TEMP unset", Before::TempUnset, L"已卸载", false, false},
    };
    const std::wstring key = AcceleratorUninstallKey(3);
    const std::string list = "[{\"software_id\":\"3\",\"type\":3,\"name\":\"Tamsk加速器\",\"size\":\"1048576\"}]";
    ScopedEnvironment cancel(L"CALVERIN_STANDIN_CANCEL", std::nullopt);
    ScopedEnvironment temp(L"TEMP", std::nullopt);
    ScopedEnvironment installRoot(L"CALVERIN_STANDIN_INSTALL_ROOT", std::nullopt);

    struct Seen
    {
        std::wstring status, boxTitle, boxText;
        std::vector<std::wstring> statuses;  // from the click on
        bool argsInPlace = false;
        int copies = -1;  // folders under TEMP
    };
    std::vector<Seen> seen(std::size(cases));
    RowWatch watch(RowAt(L"jiasuqi_list", 0));
    std::vector<Step> steps;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const std::wstring root = folder.File(L"acc" + std::to_wstring(i));
        const std::wstring tempFolder = folder.File(L"temp" + std::to_wstring(i));
        const std::wstring program = root + L"\\tamsk";
        steps.push_back(Rebuild(L"jiasuqi_list", [&, root, tempFolder, list, c] {
            // The old row says nothing until the new list replaces it.
            if (RowCount(L"jiasuqi_list") > 0)
                RowChildOf(Row(L"jiasuqi_list", 0), RowChild::kStatus)->SetText(L"");
            CreateDirectoryW(root.c_str(), nullptr);
            CreateDirectoryW(tempFolder.c_str(), nullptr);
            cancel.Set(std::nullopt);
            temp.Set(tempFolder);
            installRoot.Set(root);
            const HANDLE setup = StartProgram({BuildTreePath(L"refservice\\files\\installers\\tamsk_setup.exe"), L""});
            WaitForSingleObject(setup, 60000);
            CloseHandle(setup);
            QueueJiasuqis(list);
        }));
        steps.push_back({[this] { return RowCount(L"jiasuqi_list") == 1 && Status(L"jiasuqi_list", 0) == L"已安装"; },
                         [&, c, program] {
                             if (c.before == Before::FolderGone)
                                 fs::remove_all(program);
                             if (c.before == Before::Cancel)
                                 cancel.Set(L"1");
                             if (c.before == Before::Unstartable)
                                 WriteStringToFile("not a program", program + L"\\unins000.exe");
                             if (c.before == Before::TempUnset)
                                 temp.Set(std::nullopt);
                             watch.faces.clear();
                             ClickView(L"jiasuqi_list", 0);
                             if (c.before == Before::ClickTwice)
                                 ClickView(L"jiasuqi_list", 0);
                         }});
        if (c.box)
            steps.push_back(ReadBox(seen[i].boxTitle, seen[i].boxText));
        steps.push_back({[this, c] { return Status(L"jiasuqi_list", 0) == c.status; },
                         [&, i, tempFolder, program] {
                             seen[i].status = Status(L"jiasuqi_list", 0);
                             seen[i].statuses = watch.Statuses();
                             seen[i].argsInPlace = FileExists(program + L"\\unins000.exe.args");
                             seen[i].copies = 0;
                             for (const auto& entry : fs::directory_iterator(tempFolder))
                                 seen[i].copies += entry.is_directory() ? 1 : 0;
                         }});
        steps.push_back(After(300, [&key] {
            for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
                RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), view, 0);
        }));
    }
    Play(std::move(steps));

    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.what);
        const bool waits = c.before != Before::FolderGone && c.before != Before::Unstartable;
        const auto& statuses = seen[i].statuses;
        EXPECT_EQ(std::find(statuses.begin(), statuses.end(), L"等待卸载") != statuses.end(), waits);
        EXPECT_EQ(seen[i].status, c.status);
        EXPECT_EQ(seen[i].boxTitle, c.box ? L"Tamsk加速器" : L"");
        EXPECT_EQ(seen[i].boxText, c.box ? L"未检测到卸载成功" : L"");
        EXPECT_EQ(seen[i].copies, 0);
        EXPECT_EQ(seen[i].argsInPlace, c.before == Before::TempUnset);
    }
}

}  // namespace
