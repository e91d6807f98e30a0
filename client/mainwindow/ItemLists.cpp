#include "mainwindow/ItemLists.h"

#include <cwchar>

#include "services/RequestProtocol.h"
#include "services/TextConvert.h"

namespace {

std::wstring Wide(const Json::Value& element, const char* key) { return Utf8ToWide(JsonMemberText(element, key)); }

GameInfo ReadGame(const Json::Value& e)
{
    GameInfo r;
    r.game_id = Wide(e, "game_id");
    r.server = Wide(e, "server");
    r.version = Wide(e, "version");
    r.icon = JsonMemberText(e, "icon");
    r.name = Wide(e, "name");
    r.install_folder = Wide(e, "install_folder");
    r.detail = Wide(e, "detail");
    r.size = Wide(e, "size");
    r.file_url = JsonMemberText(e, "file_url");
    r.file_md5 = JsonMemberText(e, "file_md5");
    r.zip_pwd = JsonMemberText(e, "zip_pwd");
    r.lnk_app = Wide(e, "lnk_app");
    r.help_url = JsonMemberText(e, "help_url");
    r.file_url_type = JsonMemberText(e, "file_url_type");
    r.cdn_url_type = JsonMemberText(e, "cdn_url_type");
    return r;
}

PluginInfo ReadPlugin(const Json::Value& e)
{
    PluginInfo r;
    r.plugins_id = Wide(e, "plugins_id");
    r.server = Wide(e, "server");
    r.version = Wide(e, "version");
    r.icon = JsonMemberText(e, "icon");
    r.name = Wide(e, "name");
    r.install_folder = Wide(e, "install_folder");
    r.detail = Wide(e, "detail");
    r.size = Wide(e, "size");
    r.file_url = JsonMemberText(e, "file_url");
    r.file_md5 = JsonMemberText(e, "file_md5");
    r.zip_pwd = JsonMemberText(e, "zip_pwd");
    r.help_url = JsonMemberText(e, "help_url");
    r.file_url_type = JsonMemberText(e, "file_url_type");
    r.cdn_url_type = JsonMemberText(e, "cdn_url_type");
    return r;
}

JiasuqiInfo ReadJiasuqi(const Json::Value& e)
{
    JiasuqiInfo r;
    r.software_id = Wide(e, "software_id");
    r.icon = JsonMemberText(e, "icon");
    r.name = Wide(e, "name");
    r.install_folder = Wide(e, "install_folder");
    r.detail = Wide(e, "detail");
    r.size = Wide(e, "size");
    r.file_url = JsonMemberText(e, "file_url");
    r.file_md5 = JsonMemberText(e, "file_md5");
    // Leading blanks, a sign and digits; 0 without digits.
    r.type = static_cast<int32_t>(std::wcstol(Wide(e, "type").c_str(), nullptr, 10));
    r.help_url = JsonMemberText(e, "help_url");
    r.file_url_type = JsonMemberText(e, "file_url_type");
    r.cdn_url_type = JsonMemberText(e, "cdn_url_type");
    return r;
}

template <class Record>
RecordListPtr<Record> ParseList(const std::string& listText, Record (*read)(const Json::Value&))
{
    Json::Value root;
    if (!ParseJsonText(listText, root))
        return nullptr;
    RecordListPtr<Record> list(new std::deque<Record*>);
    if (!root.isArray())
        return list;
    for (const Json::Value& element : root) {
        if (element.isObject())
            list->push_back(new Record(read(element)));
    }
    return list;
}

}  // namespace

RecordListPtr<GameInfo> ParseGameList(const std::string& listText) { return ParseList(listText, &ReadGame); }
RecordListPtr<PluginInfo> ParsePluginList(const std::string& listText) { return ParseList(listText, &ReadPlugin); }
RecordListPtr<JiasuqiInfo> ParseJiasuqiList(const std::string& listText) { return ParseList(listText, &ReadJiasuqi); }
