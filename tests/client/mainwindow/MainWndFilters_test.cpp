// The server and version filters of the game page's two lists, on a copy of
// the client's skin that adds the four filter boxes, with the demo user
// signed in against the reference service.

#include "MainWndRowsFixture.h"
#include "RefService.h"

namespace {

class MainWndFilters : public MainWndRows
{
protected:
    static void SetUpTestSuite() { UseSkin(BuildTreePath(L"testdata\\filters\\client.zip")); }

    void Choose(LPCWSTR box, int index)
    {
        static_cast<CComboUI*>(mainWnd.FindControl(box)->GetInterface(L"Combo"))->SelectItem(index);
    }
    std::vector<bool> Shown(LPCWSTR list)
    {
        std::vector<bool> shown;
        for (int i = 0; i < RowCount(list); ++i)
            shown.push_back(Row(list, i)->IsVisible());
        return shown;
    }
};

// Box entries: servers "不限区服", "电信一区", "网通二区", "天空岛", "";
// versions "不限版本", "正式版", "测试版".
TEST_F(MainWndFilters, BoxTextsChooseTheRowsAndTheNextListShowsAll)
{
    struct Case
    {
        const char* what;
        int server, version;
        std::vector<bool> games;
    } cases[] = {
        {"no restriction", 0, 0, {true, true, true, true}},
        {"one server", 1, 0, {true, true, false, false}},
        {"server and version", 1, 2, {false, true, false, false}},
        {"another server", 2, 0, {false, false, true, false}},
        {"a server no row has", 3, 1, {false, false, false, false}},
        {"an empty server text", 4, 0, {false, false, false, true}},
        {"a version alone", 0, 1, {true, false, true, true}},
    };
    const std::string games = "[" + GameEntry(L"9781", L"甲", "0", L"电信一区", L"正式版") + "," +
                              GameEntry(L"9782", L"乙", "0", L"电信一区", L"测试版") + "," +
                              GameEntry(L"9783", L"丙", "0", L"网通二区", L"正式版") + "," +
                              GameEntry(L"9784", L"丁", "0", L"", L"正式版") + "]";
    std::vector<std::vector<bool>> seen;
    std::vector<bool> plugins, nextList;
    bool versionBoxGone = false;
    // The game list asks the service for its category's plug-ins, an empty
    // list that clears the plug-in rows whenever it comes. A row put there
    // first shows when it has come: only then are the test's plug-ins queued.
    std::vector<Step> steps = {
        {[] { return true; }, [&] { QueuePlugins("[" + PluginEntry(L"9786", L"占位") + "]"); }},
        {[this] { return RowCount(L"plugin_list") == 1 && IconsIn(L"plugin_list"); }, [&] { QueueGames(games); }},
        {[this] { return RowCount(L"game_list") == 4 && IconsIn(L"game_list") && RowCount(L"plugin_list") == 0; },
         [&] { QueuePlugins("[" + PluginEntry(L"9785", L"插件", "0", L"网通二区") + "]"); }},
        {[this] { return RowCount(L"plugin_list") == 1 && IconsIn(L"plugin_list"); }, [] {}}};
    for (const Case& c : cases) {
        steps.push_back({[] { return true; },
                         [&, c] {
                             Choose(L"game_server_combo", c.server);
                             Choose(L"game_version_combo", c.version);
                             seen.push_back(Shown(L"game_list"));
                         }});
    }
    steps.push_back({[] { return true; },
                     [&] {
                         Choose(L"plugin_server_combo", 1);
                         plugins.push_back(Shown(L"plugin_list")[0]);
                         // A layout with the server box alone filters by it.
                         CControlUI* box = mainWnd.FindControl(L"plugin_version_combo");
                         static_cast<CContainerUI*>(box->GetParent()->GetInterface(L"Container"))->Remove(box);
                         versionBoxGone = mainWnd.FindControl(L"plugin_version_combo") == nullptr;
                         if (!versionBoxGone)
                             return QueueGames(games);
                         Choose(L"plugin_server_combo", 2);
                         plugins.push_back(Shown(L"plugin_list")[0]);
                         Choose(L"plugin_server_combo", 1);
                         plugins.push_back(Shown(L"plugin_list")[0]);
                         QueueGames(games);
                     }});
    steps.push_back({[this] { return IconsIn(L"game_list"); }, [&] {}});
    steps.push_back(After(300, [&] { nextList = Shown(L"game_list"); }));
    Play(std::move(steps));
    ASSERT_EQ(seen.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].what);
        EXPECT_EQ(seen[i], cases[i].games);
    }
    EXPECT_TRUE(versionBoxGone);
    EXPECT_EQ(plugins, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(nextList, (std::vector<bool>{true, true, true, true}));
}

}  // namespace
