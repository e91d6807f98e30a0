// The picture cache against the reference web service's file store: pictures
// named by the digest of their content are fetched once and then served from
// "cache\" under the program folder; the batch workers fill their records and
// report each one to a real window.
#include "services/AppFolder.h"
#include "services/BuildSettings.h"
#include "services/FileUtil.h"
#include "services/ImageCache.h"
#include "services/Md5A.h"
#include "ProgramFolder.h"
#include "RecordingWnd.h"
#include "RefService.h"
#include "ScratchFolder.h"
#include "TestPaths.h"
#include "services/TextConvert.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace {
CRecordingWnd* g_testMainWnd = nullptr;

const std::string kBase = std::string("https://") + CALVERIN_API_HOST;
const std::string kPicture = "unused content of a picture";

std::string DigestOf(const std::string& content) { return CMd5A().GetStringMd5(content); }

// A picture that the service answers at /files/NAME with the given content
// until the test's reset.
std::string ServePicture(const std::string& name, const std::string& content)
{
    Json::Value fault = RefService::Fault("/files/" + name, "raw");
    fault["status"] = 200;
    fault["body"] = content;
    RefService::AddFault(fault);
    return kBase + "/files/" + name;
}

size_t RequestsFor(const std::string& url) { return RefService::Journal(url.substr(kBase.size())).size(); }

class ImageCacheTest : public testing::Test
{
protected:
    void SetUp() override
    {
        RefService::Reset();
        g_testMainWnd = &m_window;
    }
    void TearDown() override { g_testMainWnd = nullptr; }

    std::wstring CacheFile(const std::string& url) const { return m_programFolder.CacheFile(url); }

    // Runs the worker over the batch until it has reported count records.
    void RunBatch(CWindowMultiThreadManager::ThreadProc worker, void* batch, size_t count)
    {
        m_calls.clear();
        ASSERT_NE(m_window.Threads().StartThread(worker, batch), 0u);
        ASSERT_TRUE(m_window.WaitForCalls(count));
    }

    ScopedProgramFolder m_programFolder;
    CallLog m_calls;
    CRecordingWnd m_window{&m_calls};
};

template <class Record>
struct Batch
{
    std::deque<Record*> list;
    std::vector<std::unique_ptr<Record>> records;

    Record& Add()
    {
        records.push_back(std::make_unique<Record>());
        list.push_back(records.back().get());
        return *records.back();
    }
};
}  // namespace

TEST_F(ImageCacheTest, CachedPictureIsUsedWithoutRequestAndAFileThatDoesNotMatchItsNameIsFetchedAgain)
{
    const std::string url = ServePicture(DigestOf(kPicture) + ".png", kPicture);
    const std::wstring cacheFile = CacheFile(url);

    EXPECT_EQ(CacheRemoteImage(url, UrlForm::kAsStored, L"/img/def.png"), cacheFile);
    EXPECT_EQ(ScratchFolder::ReadFile(cacheFile), kPicture);
    EXPECT_EQ(RequestsFor(url), 1u);

    EXPECT_EQ(CacheRemoteImage(url, UrlForm::kAsStored, L"/img/def.png"), cacheFile);
    EXPECT_EQ(RequestsFor(url), 1u);

    m_programFolder.WriteCacheFile(GetFileNamePart(Utf8ToWide(url)), "corrupt");
    EXPECT_EQ(CacheRemoteImage(url, UrlForm::kAsStored, L"/img/def.png"), cacheFile);
    EXPECT_EQ(ScratchFolder::ReadFile(cacheFile), kPicture);
    EXPECT_EQ(RequestsFor(url), 2u);
}

// Every name the service gives is fetched, as long as it stays one file of
// the cache; a stem that is no lower-case digest can never be found valid,
// so its picture is fetched each time and the record keeps the default.
TEST_F(ImageCacheTest, PicturesThatCannotBeHadGiveTheDefault)
{
    const std::string digest = DigestOf(kPicture);
    struct Case
    {
        const char* what;
        std::string path;    // after "/files/"
        std::string served;  // empty: the service has no such file
        size_t requests;     // of each attempt
        bool fileStays;
    };
    const Case cases[] = {
        {"no dot in the name", digest, kPicture, 0, false},
        {"nothing after the last slash", "", kPicture, 0, false},
        {"only dots", "..", kPicture, 0, false},
        {"dots after a backslash", "x\\..", kPicture, 0, false},
        {"a device name", "CON.png", kPicture, 0, false},
        {"a device name in lower case", "nul.txt", kPicture, 0, false},
        {"a stream after the extension", digest + ".png:hidden", kPicture, 0, false},
        {"a name ending in a dot", digest + ".png.", kPicture, 0, false},
        {"an over-long name", std::string(252, 'a') + ".png", kPicture, 0, false},
        {"the digest in capitals", ChangeCase(true, digest) + ".png", kPicture, 1, true},
        {"a short plain stem", "logo.png", kPicture, 1, true},
        {"one digit short", digest.substr(1) + ".png", kPicture, 1, true},
        {"nothing before the first dot", ".png", kPicture, 1, true},
        {"content that does not match", DigestOf("other") + ".png", kPicture, 1, true},
        {"a file the service lacks", DigestOf("missing") + ".png", "", 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RefService::Reset();
        const std::string url = c.served.empty() ? kBase + "/files/" + c.path : ServePicture(c.path, c.served);
        EXPECT_EQ(CacheRemoteImage(url, UrlForm::kAsStored, L"/img/def.png"), L"/img/def.png");
        EXPECT_EQ(RequestsFor(url), c.requests);
        EXPECT_EQ(CacheRemoteImage(url, UrlForm::kAsStored, L"/img/def.png"), L"/img/def.png");
        EXPECT_EQ(RequestsFor(url), 2 * c.requests);
        if (c.requests) {
            EXPECT_EQ(FileExists(CacheFile(url)), c.fileStays);
            if (c.fileStays) {
                EXPECT_EQ(ScratchFolder::ReadFile(CacheFile(url)), c.served);
            }
        }
    }
    // Nothing that was refused left a file or stream of its own in the cache.
    size_t cached = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(g_appFolder + L"cache")))
        cached += entry.path().filename().string().find(digest) == std::string::npos ? 0 : 1;
    EXPECT_EQ(cached, 0u);
    EXPECT_EQ(CacheRemoteImage("", UrlForm::kAsStored, L"/img/def.png"), L"/img/def.png");
}

TEST_F(ImageCacheTest, IconWorkersFillEachRecordAndSecondRunMakesNoPictureRequest)
{
    // The demo games: two share one picture.
    const std::string shared = ServePicture(DigestOf(kPicture) + ".png", kPicture);
    const std::string own = ServePicture(DigestOf("own") + ".png", "own");
    Batch<GameInfo> games;
    games.Add().icon = shared;
    games.Add().icon = own;
    games.Add().icon = shared;
    games.Add().icon = kBase + "/files/noextension";

    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        for (auto& record : games.records)
            record->local_icon.clear();
        RunBatch(&CacheGameIconsThread<g_testMainWnd>, &games.list, 4);
        ASSERT_EQ(m_calls.size(), 4u);
        for (size_t index = 0; index < 4; ++index) {
            EXPECT_EQ(m_calls[index].handler, "OnGameIconReady");
            EXPECT_EQ(m_calls[index].first, reinterpret_cast<UINT_PTR>(&games.list));
            EXPECT_EQ(m_calls[index].second, index);
        }
        EXPECT_EQ(m_calls[0].text, CacheFile(shared));
        EXPECT_EQ(m_calls[1].text, CacheFile(own));
        EXPECT_EQ(m_calls[2].text, CacheFile(shared));
        EXPECT_EQ(m_calls[3].text, L"/img/GameIconDef.png");
        EXPECT_EQ(RequestsFor(shared), 1u);
        EXPECT_EQ(RequestsFor(own), 1u);
    }
}

TEST_F(ImageCacheTest, PluginAndAcceleratorIconsAreFetchedPathEncodedGameIconsAsStored)
{
    const std::string name = DigestOf(kPicture) + ".a_b.png";
    const std::string url = ServePicture(name, kPicture);
    const std::string encodedPath = "/files/" + DigestOf(kPicture) + ".a%5Fb.png";
    Batch<PluginInfo> plugins;
    plugins.Add().icon = url;
    RunBatch(&CachePluginIconsThread<g_testMainWnd>, &plugins.list, 1);
    EXPECT_EQ(m_calls[0].handler, "OnPluginIconReady");
    EXPECT_EQ(m_calls[0].text, CacheFile(url));
    EXPECT_EQ(RefService::Journal(encodedPath).size(), 1u);

    // Accelerators without a picture fall back by their id.
    Batch<JiasuqiInfo> accelerators;
    for (const wchar_t* id : {L"1", L"2", L"3", L"9"})
        accelerators.Add().software_id = id;
    accelerators.records[0]->icon = url;
    std::filesystem::remove(CacheFile(url));
    RunBatch(&CacheJiasuqiIconsThread<g_testMainWnd>, &accelerators.list, 4);
    EXPECT_EQ(m_calls[0].text, CacheFile(url));
    EXPECT_EQ(m_calls[1].text, L"/img/pellinor.png");
    EXPECT_EQ(m_calls[2].text, L"/img/tamsk.png");
    EXPECT_EQ(m_calls[3].text, L"/img/tamsk.png");
    EXPECT_EQ(m_calls[3].handler, "OnJiasuqiIconReady");
    EXPECT_EQ(RefService::Journal(encodedPath).size(), 2u);

    Batch<GameInfo> games;
    games.Add().icon = url;
    std::filesystem::remove(CacheFile(url));
    RunBatch(&CacheGameIconsThread<g_testMainWnd>, &games.list, 1);
    EXPECT_EQ(m_calls[0].text, CacheFile(url));
    // Game icons go as stored: the one request whose path is the plain name.
    size_t plain = 0;
    for (const Json::Value& entry : RefService::Journal("/files/" + name))
        plain += entry["path"].asString() == "/files/" + name ? 1 : 0;
    EXPECT_EQ(plain, 1u);
}

TEST_F(ImageCacheTest, CategoryWorkersReportEachRecordWithAllFivePictures)
{
    const std::string big = ServePicture(DigestOf("big") + ".png", "big");
    const std::string logo = ServePicture(DigestOf("logo") + ".jpg", "logo");
    Batch<CategoryInfo> categories;
    CategoryInfo& full = categories.Add();
    full.icon = ServePicture(DigestOf("icon") + ".png", "icon");
    full.big_icon = big;
    full.slide_url = ServePicture(DigestOf("slide") + ".png", "slide");
    full.slide_target_url = kBase + "/files/pages/x.html";
    full.logo = logo;
    full.bg_img = ServePicture(DigestOf("bg") + ".png", "bg");
    CategoryInfo& sparse = categories.Add();
    sparse.big_icon = big;
    sparse.logo = kBase + "/files/" + DigestOf("gone") + ".png";

    OwnedListRef<CategoryInfo> holder{&categories.list};
    RunBatch(&CacheCategoryImagesThread<g_testMainWnd>, &holder, 2);
    ASSERT_EQ(m_calls.size(), 2u);
    EXPECT_EQ(m_calls[0].handler, "OnAllGamesTileImageReady");
    EXPECT_EQ(m_calls[0].first, reinterpret_cast<UINT_PTR>(&holder));
    const CategoryInfo& first = m_calls[0].categories.at(0);
    EXPECT_EQ(first.local_icon, CacheFile(full.icon));
    EXPECT_EQ(first.local_big_icon, CacheFile(big));
    EXPECT_EQ(first.local_slide, CacheFile(full.slide_url));
    EXPECT_EQ(first.local_logo, CacheFile(logo));
    EXPECT_EQ(first.local_bg, CacheFile(full.bg_img));
    const CategoryInfo& second = m_calls[1].categories.at(0);
    EXPECT_EQ(second.local_icon, L"/img/CategoryInfoIconDef.png");
    EXPECT_EQ(second.local_big_icon, CacheFile(big));
    EXPECT_EQ(second.local_slide, L"/img/CategoryInfoSlideIconDef.png");
    EXPECT_EQ(second.local_logo, L"/img/CategoryInfoLogoIconDef.png");
    EXPECT_EQ(second.local_bg, L"/img/CategoryInfoBgIconDef.png");
    EXPECT_EQ(RequestsFor(big), 1u);

    RunBatch(&CacheMyGameImagesThread<g_testMainWnd>, &categories.list, 2);
    EXPECT_EQ(m_calls[1].handler, "OnMyGameIconReady");
    EXPECT_EQ(m_calls[1].second, 1u);
    EXPECT_EQ(m_calls[0].categories.at(0).local_logo, CacheFile(logo));
    EXPECT_EQ(RequestsFor(big), 1u);
    EXPECT_EQ(RequestsFor(logo), 1u);
}

TEST_F(ImageCacheTest, ClosingTheWindowEndsTheBatchBetweenPictures)
{
    // The service has no such file; it says so after a long delay.
    const std::string slow = kBase + "/files/" + DigestOf("slow") + ".png";
    Json::Value fault = RefService::Fault(slow.substr(kBase.size()), "slow");
    fault["seconds"] = 30;
    RefService::AddFault(fault);
    const std::string later = ServePicture(DigestOf("later") + ".png", "later");
    Batch<GameInfo> games;
    games.Add().icon = slow;
    games.Add().icon = later;
    {
        CallLog calls;
        CRecordingWnd closing(&calls);
        g_testMainWnd = &closing;
        ASSERT_NE(closing.Threads().StartThread(&CacheGameIconsThread<g_testMainWnd>, &games.list), 0u);
        while (RequestsFor(slow) == 0)
            Sleep(20);
    }
    EXPECT_TRUE(games.records[1]->local_icon.empty());
    EXPECT_EQ(RequestsFor(later), 0u);
}

TEST_F(ImageCacheTest, WorkersWantingTheSamePictureAtOnceFetchItOnce)
{
    // A picture of the demo catalogue, sent slowly the first time: in about two seconds.
    const std::string content = ScratchFolder::ReadFile(SourceTreePath(L"tests\\refservice\\files\\icons\\plugin.png"));
    ASSERT_FALSE(content.empty());
    const std::string url = kBase + "/files/icons/" + DigestOf(content) + ".png";
    Json::Value fault = RefService::Fault(url.substr(kBase.size()), "throttle");
    fault["rate"] = static_cast<Json::UInt>(content.size() / 2);
    fault["count"] = 1;
    RefService::AddFault(fault);
    Batch<GameInfo> games;
    games.Add().icon = url;
    Batch<PluginInfo> plugins;
    plugins.Add().icon = url;

    ASSERT_NE(m_window.Threads().StartThread(&CacheGameIconsThread<g_testMainWnd>, &games.list), 0u);
    ASSERT_NE(m_window.Threads().StartThread(&CachePluginIconsThread<g_testMainWnd>, &plugins.list), 0u);
    ASSERT_TRUE(m_window.WaitForCalls(2));
    EXPECT_EQ(m_calls[0].text, CacheFile(url));
    EXPECT_EQ(m_calls[1].text, CacheFile(url));
    EXPECT_EQ(RequestsFor(url), 1u);
}
