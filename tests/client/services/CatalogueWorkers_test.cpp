// The catalogue workers against the reference web service, with the results
// arriving on a real window that stands in for the main window.
#include "services/BuildSettings.h"
#include "services/CatalogueWorkers.h"
#include "services/FileUtil.h"
#include "services/Md5A.h"
#include "ProgramFolder.h"
#include "RecordingWnd.h"
#include "RefService.h"
#include "services/SessionData.h"
#include "services/TextConvert.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {
CRecordingWnd* g_testMainWnd = nullptr;

const std::string kBase = std::string("https://") + CALVERIN_API_HOST;
const char kDemoToken[] = "5f0c2a9e7b1d4c38a6e2f9d1b0c7a345";
const char kCategoriesPath[] = "/Box/Game/getGamesCategory";
const char kSearchPath[] = "/Box/Game/searchGamesCategory";

Json::Value ParsedResult(const Json::Value& journalEntry)
{
    Json::Value value;
    ParseJsonText(journalEntry["result"].asString(), value);
    return value;
}

void AddResultFault(const char* path, const std::string& text)
{
    Json::Value fault = RefService::Fault(path, "result");
    fault["text"] = text;
    fault["count"] = 1;
    RefService::AddFault(fault);
}

void AddCodeFault(const char* path, int code, const std::string& message)
{
    Json::Value fault = RefService::Fault(path, "code");
    fault["code"] = code;
    fault["message"] = message;
    fault["count"] = 1;
    RefService::AddFault(fault);
}

std::vector<std::wstring> IdsOf(const std::vector<CategoryInfo>& categories)
{
    std::vector<std::wstring> ids;
    for (const CategoryInfo& record : categories)
        ids.push_back(record.category_id);
    return ids;
}

class CatalogueWorkersTest : public testing::Test
{
protected:
    void SetUp() override
    {
        RefService::Reset();
        g_sessionData.SetToken(kDemoToken);
        g_testMainWnd = &m_window;
    }
    void TearDown() override
    {
        g_testMainWnd = nullptr;
        g_sessionData.SetToken("");
    }

    // Runs the worker to its end and gives every call it queued.
    const CallLog& Run(CWindowMultiThreadManager::ThreadProc worker, void* param)
    {
        m_calls.clear();
        const DWORD id = m_window.Threads().StartThread(worker, param);
        EXPECT_NE(id, 0u);
        while (m_window.Threads().GetThreadProc(id))
            m_window.WaitForCalls(SIZE_MAX, 20);
        m_window.WaitForCalls(SIZE_MAX, 50);
        return m_calls;
    }

    ScopedProgramFolder m_programFolder;
    CallLog m_calls;
    CRecordingWnd m_window{&m_calls};
};
}  // namespace

TEST_F(CatalogueWorkersTest, AllCategoriesArriveAsRecordsInReplyOrderWithTheStartNumber)
{
    const CallLog& calls = Run(&GetGamesCategoryThread<g_testMainWnd>, reinterpret_cast<void*>(7));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].handler, "OnCategoryListReply");
    EXPECT_EQ(calls[0].second, 7u);
    const Json::Value sent = ParsedResult(RefService::Journal(kCategoriesPath)[0]);
    ASSERT_EQ(calls[0].categories.size(), sent.size());
    EXPECT_EQ(IdsOf(calls[0].categories), (std::vector<std::wstring>{L"1", L"2", L"3", L"4"}));
    for (Json::ArrayIndex i = 0; i < sent.size(); ++i) {
        const CategoryInfo& record = calls[0].categories[i];
        EXPECT_EQ(WideToUtf8(record.name), sent[i]["name"].asString());
        EXPECT_EQ(WideToUtf8(record.server), sent[i]["server"].asString());
        EXPECT_EQ(record.icon, sent[i]["icon"].asString());
        EXPECT_EQ(record.big_icon, sent[i]["big_icon"].asString());
        EXPECT_EQ(record.slide_url, sent[i]["slide_url"].asString());
        EXPECT_EQ(record.slide_target_url, sent[i]["slide_target_url"].asString());
        EXPECT_EQ(record.logo, sent[i]["logo"].asString());
        EXPECT_EQ(record.bg_img, sent[i]["bg_img"].asString());
        EXPECT_TRUE(record.local_icon.empty() && record.local_big_icon.empty() && record.local_slide.empty() &&
                    record.local_logo.empty() && record.local_bg.empty());
    }
    EXPECT_EQ(calls[0].categories[0].name, L"星海征途");
    EXPECT_EQ(calls[0].categories[0].server, L"电信一区");
}

TEST_F(CatalogueWorkersTest, CategoryListTextsOfEveryShape)
{
    struct Case
    {
        const char* text;
        // Ids of the list queued by the search; "failed" for the failure text,
        // nothing at all for no call.
        std::vector<std::wstring> ids;
        bool failed;
        bool silent;
    };
    const Case cases[] = {
        {"[]", {}, false, false},
        {R"([{"category_id": 12, "name": "甲"}, null, {"category_id": true}])", {L"12", L"", L"true"}, false, false},
        {R"({"b": {"category_id": "2"}, "a": {"category_id": "1"}})", {L"1", L"2"}, false, false},
        {"5", {}, false, false},
        {"null", {}, false, false},
        {R"([{"category_id": 1}, 7])", {}, true, false},
        {R"([{"category_id": 1}, [1]])", {}, true, false},
        {"not json", {}, false, true},
        {"", {}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        AddResultFault(kSearchPath, c.text);
        const CallLog& search = Run(&SearchGamesCategoryThread<g_testMainWnd>, new std::wstring(L"x"));
        if (c.silent) {
            EXPECT_TRUE(search.empty());
        } else if (c.failed) {
            ASSERT_EQ(search.size(), 1u);
            EXPECT_EQ(search[0].handler, "OnCategoryListFailed");
            EXPECT_EQ(search[0].text, L"游戏分类列表搜索失败！");
        } else {
            ASSERT_EQ(search.size(), 1u);
            EXPECT_EQ(search[0].handler, "OnCategoryListReply");
            EXPECT_EQ(search[0].second, 0u);
            EXPECT_EQ(IdsOf(search[0].categories), c.ids);
        }

        // All categories: the same, except that an empty list is not reported.
        AddResultFault(kCategoriesPath, c.text);
        const CallLog& all = Run(&GetGamesCategoryThread<g_testMainWnd>, reinterpret_cast<void*>(1));
        if (c.silent || (!c.failed && c.ids.empty()))
            EXPECT_TRUE(all.empty());
        else if (c.failed)
            EXPECT_EQ(all.at(0).text, L"游戏分类列表获取失败！");
        else
            EXPECT_EQ(IdsOf(all.at(0).categories), c.ids);
    }
}

TEST_F(CatalogueWorkersTest, MembersAreReadAsText)
{
    AddResultFault(kSearchPath, R"([{"name": false, "server": 12.5, "icon": [1], "logo": {"a": 1}, "bg_img": null}])");
    const CallLog& calls = Run(&SearchGamesCategoryThread<g_testMainWnd>, new std::wstring(L"x"));
    const CategoryInfo& record = calls.at(0).categories.at(0);
    EXPECT_EQ(record.name, L"false");
    EXPECT_EQ(record.server, L"12.5");
    EXPECT_EQ(record.icon, "");
    EXPECT_EQ(record.logo, "");
    EXPECT_EQ(record.bg_img, "");
}

TEST_F(CatalogueWorkersTest, SearchTextTravelsEncodedAndFindsTheCategory)
{
    const CallLog& calls = Run(&SearchGamesCategoryThread<g_testMainWnd>, new std::wstring(L"星海 电信"));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(IdsOf(calls[0].categories), std::vector<std::wstring>{L"1"});
    const Json::Value entry = RefService::Journal(kSearchPath)[0];
    EXPECT_EQ(RefService::BodyValue(entry, "keywords"), "%E6%98%9F%E6%B5%B7+%E7%94%B5%E4%BF%A1");
    EXPECT_TRUE(entry["sign_ok"].asBool());
}

TEST_F(CatalogueWorkersTest, ListTextsReachTheMainWindowUnread)
{
    CategoryInfo category;
    category.category_id = L"1";
    category.name = L"星海征途";
    const CallLog& games = Run(&GetGamesThread<g_testMainWnd>, new CategoryInfo(category));
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(games[0].handler, "OnGameListReply");
    EXPECT_EQ(games[0].categories.at(0).name, L"星海征途");
    Json::Value entry = RefService::Journal("/Box/Game/getGames")[0];
    EXPECT_EQ(RefService::BodyValue(entry, "category_id"), "1");
    EXPECT_EQ(games[0].bytes, entry["result"].asString());
    EXPECT_NE(games[0].bytes.find("101"), std::string::npos);

    const CallLog& plugins = Run(&GetGamesPluginsThread<g_testMainWnd>, new std::wstring(L"1"));
    ASSERT_EQ(plugins.size(), 1u);
    EXPECT_EQ(plugins[0].handler, "OnPluginListReply");
    EXPECT_EQ(plugins[0].text, L"1");
    EXPECT_EQ(plugins[0].bytes, RefService::Journal("/Box/Game/getGamesPlugins")[0]["result"].asString());

    const CallLog& softwares = Run(&GetSoftwaresThread<g_testMainWnd>, reinterpret_cast<void*>(1));
    ASSERT_EQ(softwares.size(), 1u);
    EXPECT_EQ(softwares[0].handler, "OnJiasuqiListReply");
    EXPECT_EQ(softwares[0].second, 1u);
    EXPECT_EQ(softwares[0].bytes, RefService::Journal("/Box/Game/getSoftwares")[0]["result"].asString());

    const CallLog& own = Run(&OwnerGamesCategoryThread<g_testMainWnd>, nullptr);
    ASSERT_EQ(own.size(), 1u);
    EXPECT_EQ(own[0].handler, "OnMyGamesReply");
    entry = RefService::Journal("/Box/Game/ownerGamesCategory")[0];
    EXPECT_EQ(RefService::BodyValue(entry, "token"), kDemoToken);
    EXPECT_EQ(own[0].bytes, entry["result"].asString());
}

TEST_F(CatalogueWorkersTest, RefusalsPassTheServiceMessageAndUnreadableRepliesTheFixedText)
{
    struct Case
    {
        const char* path;
        std::function<void*()> param;
        CWindowMultiThreadManager::ThreadProc worker;
        const char* failedHandler;
        const wchar_t* fixedText;
        bool needsToken;  // the codes of an expired session drop it
    };
    const Case cases[] = {
        {kCategoriesPath, [] { return nullptr; }, &GetGamesCategoryThread<g_testMainWnd>, "OnCategoryListFailed",
         L"游戏分类列表获取失败！", false},
        {kSearchPath, [] { return new std::wstring(L"x"); }, &SearchGamesCategoryThread<g_testMainWnd>,
         "OnCategoryListFailed", L"游戏分类列表搜索失败！", false},
        {"/Box/Game/ownerGamesCategory", [] { return nullptr; }, &OwnerGamesCategoryThread<g_testMainWnd>,
         "OnMyGamesFailed", L"我的游戏分类列表获取失败！", true},
        {"/Box/Game/addOwnerGamesCategory", [] { return new CategoryInfo{L"2"}; },
         &AddOwnerGamesCategoryThread<g_testMainWnd>, "OnAddMyGameFailed", L"添加我的游戏分类列表失败！", true},
        {"/Box/Game/getGames", [] { return new CategoryInfo{L"1"}; }, &GetGamesThread<g_testMainWnd>,
         "OnGameListFailed", L"游戏列表获取失败！", false},
        {"/Box/Game/getGamesPlugins", [] { return new std::wstring(L"1"); }, &GetGamesPluginsThread<g_testMainWnd>,
         "OnPluginListFailed", L"插件列表获取失败！", false},
        {"/Box/Game/getSoftwares", [] { return nullptr; }, &GetSoftwaresThread<g_testMainWnd>, "OnJiasuqiListFailed",
         L"加速器列表获取失败！", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        for (int code : {10010, 10011, 10016}) {
            SCOPED_TRACE(code);
            AddCodeFault(c.path, code, "服务维护中");
            const CallLog& refused = Run(c.worker, c.param());
            const bool drops = c.needsToken && code != 10010;
            ASSERT_EQ(refused.size(), drops ? 2u : 1u);
            EXPECT_EQ(refused[0].handler, c.failedHandler);
            EXPECT_EQ(refused[0].text, L"服务维护中");
            if (drops) {
                EXPECT_EQ(refused[1].handler, "OnSessionExpired");
            }
        }

        Json::Value fault = RefService::Fault(c.path, "not_json");
        fault["count"] = 1;
        RefService::AddFault(fault);
        const CallLog& unreadable = Run(c.worker, c.param());
        ASSERT_EQ(unreadable.size(), 1u);
        EXPECT_EQ(unreadable[0].handler, c.failedHandler);
        EXPECT_EQ(unreadable[0].text, c.fixedText);
    }
}

TEST_F(CatalogueWorkersTest, OwnCategoryRequestsDropTheSessionOnlyForItsCodes)
{
    struct Case
    {
        int code;
        bool expires;
    };
    for (const Case c :
         {Case{10010, false}, Case{10011, true}, Case{10013, true}, Case{10016, true}, Case{10017, false}}) {
        SCOPED_TRACE(c.code);
        AddCodeFault("/Box/Game/ownerGamesCategory", c.code, "登录已过期");
        const CallLog& own = Run(&OwnerGamesCategoryThread<g_testMainWnd>, nullptr);
        ASSERT_EQ(own.size(), c.expires ? 2u : 1u);
        EXPECT_EQ(own[0].handler, "OnMyGamesFailed");
        EXPECT_EQ(own[0].text, L"登录已过期");
        if (c.expires) {
            EXPECT_EQ(own[1].handler, "OnSessionExpired");
        }

        AddCodeFault("/Box/Game/addOwnerGamesCategory", c.code, "登录已过期");
        const CallLog& add = Run(&AddOwnerGamesCategoryThread<g_testMainWnd>, new CategoryInfo{L"2"});
        ASSERT_EQ(add.size(), c.expires ? 2u : 1u);
        EXPECT_EQ(add[0].handler, "OnAddMyGameFailed");
        if (c.expires) {
            EXPECT_EQ(add[1].handler, "OnSessionExpired");
        }
    }
}

TEST_F(CatalogueWorkersTest, AddedCategoryComesBackWithItsPicturesCachedAndJoinsTheOwnList)
{
    const CallLog& all = Run(&GetGamesCategoryThread<g_testMainWnd>, nullptr);
    CategoryInfo picked = all.at(0).categories.at(1);
    picked.bg_img = kBase + "/files/category/nodigest";

    const CallLog& added = Run(&AddOwnerGamesCategoryThread<g_testMainWnd>, new CategoryInfo(picked));
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].handler, "OnAddMyGameReply");
    const CategoryInfo& record = added[0].categories.at(0);
    EXPECT_EQ(record.category_id, picked.category_id);
    const std::string pictures[] = {picked.icon, picked.big_icon, picked.slide_url, picked.logo};
    const std::wstring local[] = {record.local_icon, record.local_big_icon, record.local_slide, record.local_logo};
    for (size_t i = 0; i < 4; ++i) {
        const std::wstring name = GetFileNamePart(Utf8ToWide(pictures[i]));
        EXPECT_EQ(local[i], m_programFolder.CacheFile(pictures[i]));
        EXPECT_EQ(Utf8ToWide(CMd5A().GetFileMd5(local[i])) + L".png", name);
    }
    EXPECT_EQ(record.local_bg, L"/img/CategoryInfoBgIconDef.png");
    EXPECT_EQ(RefService::BodyValue(RefService::Journal("/Box/Game/addOwnerGamesCategory")[0], "category_id"), "2");

    const CallLog& own = Run(&OwnerGamesCategoryThread<g_testMainWnd>, nullptr);
    Json::Value list;
    ASSERT_TRUE(ParseJsonText(own.at(0).bytes, list));
    bool found = false;
    for (const Json::Value& entry : list)
        found = found || JsonMemberText(entry, "category_id") == "2";
    EXPECT_TRUE(found);

    const CallLog& unknown = Run(&AddOwnerGamesCategoryThread<g_testMainWnd>, new CategoryInfo{L"99"});
    ASSERT_EQ(unknown.size(), 1u);
    EXPECT_EQ(unknown[0].handler, "OnAddMyGameFailed");
    EXPECT_FALSE(unknown[0].text.empty());
}
