#pragma once
// The signed-in main window of the row tests: the demo user against the
// reference service, steps run from the window's loop, replies and progress
// queued on the window as the workers queue them, and what a row shows. A
// test program chooses its skin archive once (UseSkin in SetUpTestSuite):
// the framework keeps the first archive it is given for the process.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "RefService.h"
#include "ScratchFolder.h"
#include "SkinPlaces.h"
#include "StandInTask.h"
#include "TestPaths.h"
#include "ThreadTimerAction.h"
#include "controls/ComboUI.h"
#include "core/TabLayoutUI.h"
#include "dialogs/LoginWnd.h"
#include "mainwindow/ItemRows.h"
#include "mainwindow/MainWnd.h"
#include "services/AppFolder.h"
#include "services/RegistryUtil.h"
#include "services/SessionData.h"
#include "services/TextConvert.h"

using namespace CalUI;

inline const char kDemoToken[] = "5f0c2a9e7b1d4c38a6e2f9d1b0c7a345";
// The service's category whose plug-in list is empty.
inline const wchar_t kCategoryWithoutPlugins[] = L"2";

inline void PutSetting(const char* name, const std::string& value)
{
    WriteRegValue(HKEY_CURRENT_USER, "Software\\calverin", name, REG_SZ, value, static_cast<DWORD>(value.size()));
}

inline HWND VisibleWindow(LPCWSTR className)
{
    HWND w = FindWindowW(className, nullptr);
    return w != nullptr && IsWindowVisible(w) ? w : nullptr;
}

inline std::string Utf8(const std::wstring& text) { return WideToUtf8(text); }

// A game or plug-in entry as the service lists it.
inline std::string Entry(const char* idKey, const std::wstring& id, const std::wstring& name, const std::string& size,
                         const std::wstring& server = L"电信一区", const std::wstring& version = L"正式版")
{
    return "{\"" + std::string(idKey) + "\":\"" + Utf8(id) + "\",\"name\":\"" + Utf8(name) + "\",\"detail\":\"" +
           Utf8(name) + " 说明\",\"size\":\"" + size + "\",\"server\":\"" + Utf8(server) + "\",\"version\":\"" +
           Utf8(version) + "\",\"file_url\":\"https://127.0.0.1/p.zip\"}";
}

inline std::string GameEntry(const std::wstring& id, const std::wstring& name, const std::string& size = "0",
                             const std::wstring& server = L"电信一区", const std::wstring& version = L"正式版")
{
    return Entry("game_id", id, name, size, server, version);
}

inline std::string PluginEntry(const std::wstring& id, const std::wstring& name, const std::string& size = "0",
                               const std::wstring& server = L"电信一区", const std::wstring& version = L"正式版")
{
    return Entry("plugins_id", id, name, size, server, version);
}

// config.ini sections that a test writes and removes again.
class ConfigSections
{
public:
    ~ConfigSections()
    {
        for (const std::wstring& section : m_sections)
            WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, g_sessionData.GetConfigIniPath().c_str());
    }
    void Set(const std::wstring& section, LPCWSTR key, const std::wstring& value)
    {
        m_sections.push_back(section);
        WritePrivateProfileStringW(section.c_str(), key, value.c_str(), g_sessionData.GetConfigIniPath().c_str());
    }

private:
    std::vector<std::wstring> m_sections;
};

// What a row shows, as the user sees it.
struct RowFace
{
    std::wstring name, size, status, speed;
    bool statusShown = false, speedShown = false, downloadShown = false, cancelShown = false, viewShown = false,
         barShown = false, downloadEnabled = false;
    int barWidth = 0;
    DWORD background = 0;
    UINT_PTR cancelTag = 0;
};

inline RowFace FaceOf(CControlUI* row)
{
    RowFace face;
    auto child = [row](RowChild c) { return RowChildOf(row, c); };
    face.name = child(RowChild::kName)->GetText().GetData();
    face.size = child(RowChild::kSize)->GetText().GetData();
    face.status = child(RowChild::kStatus)->GetText().GetData();
    face.speed = child(RowChild::kSpeed)->GetText().GetData();
    face.statusShown = child(RowChild::kStatus)->IsVisible();
    face.speedShown = child(RowChild::kSpeed)->IsVisible();
    face.downloadShown = child(RowChild::kDownload)->IsVisible();
    face.downloadEnabled = child(RowChild::kDownload)->IsEnabled();
    face.cancelShown = child(RowChild::kCancel)->IsVisible();
    face.viewShown = child(RowChild::kView)->IsVisible();
    face.barShown = child(RowChild::kBar)->IsVisible();
    face.barWidth = child(RowChild::kBar)->GetFixedWidth();
    face.background = row->GetBkColor();
    face.cancelTag = child(RowChild::kCancel)->GetTag();
    return face;
}

class MainWndRows : public testing::Test
{
protected:
    static void UseSkin(const std::wstring& zip)
    {
        // The framework keeps a pointer to the first archive's bytes: a
        // second suite of the program must not free them by reading it again.
        if (archive.empty()) {
            archive = ScratchFolder::ReadFile(zip);
            CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
            CWindowManagerUI::SetResourceZip(archive.data(), static_cast<unsigned>(archive.size()), nullptr);
        }
        okAlone = SkinControlCentre(L"msgbox.xml", L"msgbox_ok", {L"msgbox_cancel"});
        okBeside = SkinControlCentre(L"msgbox.xml", L"msgbox_ok");
    }

    void SetUp() override
    {
        RefService::Reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\calverin");
        PutSetting("token", kDemoToken);
        PutSetting("username", "13800138000");
        g_appFolder = folder.File(L"");
        ASSERT_NE(mainWnd.Create(nullptr, L"Calverin", 0x96CF0000, 0, 0, 0, 0, 0, nullptr), nullptr);
        mainWnd.CenterWindow();
    }

    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\calverin"); }

    CContainerUI* List(LPCWSTR name)
    {
        CControlUI* list = mainWnd.FindControl(name);
        return list != nullptr ? static_cast<CContainerUI*>(list->GetInterface(L"Container")) : nullptr;
    }
    int RowCount(LPCWSTR list) { return List(list)->GetCount(); }
    // The row, its list's page shown: a control on a hidden page never
    // counts as visible.
    CControlUI* Row(LPCWSTR list, int index)
    {
        const std::wstring name = list;
        static_cast<CTabLayoutUI*>(mainWnd.FindControl(L"maintable"))->SelectItem(name == L"jiasuqi_list" ? 2 : 0);
        if (name != L"jiasuqi_list")
            static_cast<CTabLayoutUI*>(mainWnd.FindControl(L"game_child_page_tab"))
                ->SelectItem(name == L"plugin_list" ? 1 : 0);
        return List(list)->GetItemAt(index);
    }

    // Every row of the list shows its icon: the list's icon batch is done and
    // the next reply of its kind is taken.
    bool IconsIn(LPCWSTR list)
    {
        for (int i = 0; i < RowCount(list); ++i) {
            if (RowChildOf(List(list)->GetItemAt(i), RowChild::kIcon)->GetBkImage().IsEmpty())
                return false;
        }
        return true;
    }

    // Runs the steps one after the other from the window's loop once the
    // demo user is signed in and the service's accelerator list shows; the
    // window closes after the last (or when a step's condition never holds).
    struct Step
    {
        std::function<bool()> ready;
        std::function<void()> action;
    };
    void Play(std::vector<Step> steps)
    {
        m_steps = std::move(steps);
        m_steps.insert(m_steps.begin(),
                       Step{[this] { return RowCount(L"jiasuqi_list") == 3 && IconsIn(L"jiasuqi_list"); }, [] {}});
        RunStep(0);
        EXPECT_EQ(mainWnd.ShowModal(), 0);
        EXPECT_EQ(m_stepsRun, m_steps.size()) << "a step's condition never held";
    }

    void RunStep(size_t index)
    {
        if (index == m_steps.size()) {
            mainWnd.Close(0);
            return;
        }
        RunFromTheLoopWhen(
            m_steps[index].ready,
            [this, index] {
                m_steps[index].action();
                ++m_stepsRun;
                RunStep(index + 1);
            },
            [this] { mainWnd.Close(0); }, 20000);
    }

    // True once a window of the class has been shown for a moment: laid out
    // and taking clicks.
    static std::function<bool()> ShownAWhile(LPCWSTR className)
    {
        auto since = std::make_shared<DWORD>(0);
        return [since, className] {
            if (VisibleWindow(className) == nullptr) {
                *since = 0;
                return false;
            }
            if (*since == 0)
                *since = GetTickCount();
            return GetTickCount() - *since >= 300;
        };
    }

    static Step After(DWORD ms, std::function<void()> action)
    {
        auto start = std::make_shared<DWORD>(0);
        return Step{[start, ms] {
                        if (*start == 0)
                            *start = GetTickCount();
                        return GetTickCount() - *start >= ms;
                    },
                    std::move(action)};
    }

    void QueueGames(const std::string& text, const std::wstring& categoryId = kCategoryWithoutPlugins)
    {
        CategoryInfo category;
        category.category_id = categoryId;
        category.name = L"龙纹传说";
        mainWnd.PostMsg(mainWnd.GetWindowHandle(), &CMainWnd::OnGameListReply,
                        reinterpret_cast<UINT_PTR>(new CategoryInfo(category)),
                        reinterpret_cast<UINT_PTR>(new std::string(text)));
    }
    void QueuePlugins(const std::string& text)
    {
        mainWnd.PostMsg(mainWnd.GetWindowHandle(), &CMainWnd::OnPluginListReply,
                        reinterpret_cast<UINT_PTR>(new std::wstring(L"1")),
                        reinterpret_cast<UINT_PTR>(new std::string(text)));
    }
    void QueueJiasuqis(const std::string& text, UINT_PTR firstSignIn = 0)
    {
        mainWnd.PostMsg(mainWnd.GetWindowHandle(), &CMainWnd::OnJiasuqiListReply,
                        reinterpret_cast<UINT_PTR>(new std::string(text)), firstSignIn);
    }
    // A progress call as a task's worker queues it; the record stays with the
    // test, as a task's stays with its worker.
    void QueueProgress(CMainWnd::Handler handler, TaskProgress& progress, UINT_PTR speedKb)
    {
        mainWnd.PostMsg(mainWnd.GetWindowHandle(), handler, reinterpret_cast<UINT_PTR>(&progress), speedKb);
    }

    static inline std::string archive;
    static inline POINT okAlone, okBeside;
    ScratchFolder folder;
    CMainWnd mainWnd;
    std::vector<Step> m_steps;
    size_t m_stepsRun = 0;
};
