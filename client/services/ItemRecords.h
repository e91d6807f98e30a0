#pragma once
// The plain records that carry the catalogue's items from the web service's
// lists to the main window and the workers, the progress record of a download
// task, and the parameters that windows hand to workers. All are value types:
// member-wise copy, no virtual operations. Item fields read from JSON carry the
// name of their JSON member.

#include <windows.h>

#include <cstdint>
#include <deque>
#include <string>

#include "services/LiveRecordCount.h"

// One game package of the "/Box/Game/getGames" list.
struct GameInfo
{
    std::wstring game_id;
    std::wstring server;
    std::wstring version;
    std::string icon;         // UTF-8 address of the picture
    std::wstring local_icon;  // cached picture or its default
    std::wstring name;
    std::wstring install_folder;
    std::wstring detail;
    std::wstring size;  // display text
    std::string file_url;
    std::string file_md5;
    std::string zip_pwd;
    std::wstring lnk_app;  // target of the shortcut made after installation
    std::string help_url;
    std::string file_url_type;  // "0": file_url is the download address
    std::string cdn_url_type;
};

// One plug-in package of the "/Box/Game/getGamesPlugins" list.
struct PluginInfo
{
    std::wstring plugins_id;
    std::wstring server;
    std::wstring version;
    std::string icon;
    std::wstring local_icon;
    std::wstring name;
    std::wstring install_folder;
    std::wstring detail;
    std::wstring size;
    std::string file_url;
    std::string file_md5;
    std::string zip_pwd;
    std::string help_url;
    std::string file_url_type;
    std::string cdn_url_type;
};

// One accelerator program of the "/Box/Game/getSoftwares" list.
struct JiasuqiInfo
{
    std::wstring software_id;  // "1", "2" and "3" have built-in pictures
    std::string icon;
    std::wstring local_icon;
    std::wstring name;
    std::wstring install_folder;
    std::wstring detail;
    std::wstring size;
    std::string file_url;  // the installer
    std::string file_md5;
    int32_t type = 1;
    std::string help_url;
    std::string file_url_type;
    std::string cdn_url_type;
};

// One game category of the category lists.
struct CategoryInfo
{
    std::wstring category_id;
    std::wstring name;
    std::wstring server;
    std::string icon;
    std::string big_icon;
    std::string slide_url;
    std::string slide_target_url;
    std::string logo;
    std::string bg_img;
    std::wstring local_icon;
    std::wstring local_big_icon;
    std::wstring local_slide;
    std::wstring local_logo;
    std::wstring local_bg;
#ifdef CALVERIN_TEST_HOOKS
    CLiveRecordCount<CategoryInfo> live;
#endif
};

// A category list as the category workers hand it over: heap records that
// the receiving window owns together with the queue.
typedef std::deque<CategoryInfo*> CategoryList;

// Progress of one running download task. The task creates and frees it; its
// run flag is what the session's task registry points to.
struct TaskProgress
{
    int32_t kind = 1;      // 1 game, 2 plug-in, 3 accelerator
    void* item = nullptr;  // GameInfo, PluginInfo or JiasuqiInfo by kind
    // The resume offset while downloading; from the check on, the tick at
    // which the current phase began.
    uint64_t bytes_on_disk = 0;
    uint64_t done = 0;
    uint64_t total = 0;
    uint32_t thread_id = 0;
    // Written by the GUI thread, read by the task between its steps.
    volatile uint8_t run_flag = 0;
};

// Parameter of an account worker; the meaning of the three texts depends on
// the worker (send code: area code, code type, mobile number; sign-in: -,
// mobile number, code or password; binding: accelerator id, account, code).
struct AccountParam
{
    std::wstring first;
    std::wstring second;
    std::wstring third;
};

// Two UTF-8 texts: {saved token, saved user name} for the token sign-in.
struct StringPair
{
    std::string first;
    std::string second;
};

// An accelerator installer or uninstaller that a wait worker watches.
struct ProcessWaitParam
{
    JiasuqiInfo* item = nullptr;  // the row's own record
    HANDLE process = nullptr;
};

// The main window's bookkeeping of one picture batch: a new list reply is
// ignored while the newest batch still loads (done 0); finished batches are
// freed with their records at the next reply. The tile worker is handed one
// naming its batch's list.
template <class Record>
struct OwnedListRef
{
    std::deque<Record*>* list = nullptr;
    uint32_t done = 0;
};

// As OwnedListRef, for the game and plug-in batches of one category id.
template <class Record>
struct KeyedListRef
{
    std::wstring key;
    std::deque<Record*>* list = nullptr;
    uint32_t done = 0;
};
