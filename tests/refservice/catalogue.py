"""The demo catalogue: game categories, games, plug-ins and accelerator programs.

Entries name their files relative to the file store ("files/" beside this
module); the address, size and MD5 of a shipped file are filled in from the
file itself, and pictures are addressed by their digest name. An entry whose
file is not shipped keeps the size and MD5 written here. Ids are numbers in
some lists and texts in others on purpose: the client reads every member as
text whatever its JSON type.
"""

from file_store import FileStore

CATEGORIES = [
    {"category_id": 1, "name": "星海征途", "server": "电信一区",
     "pictures": "category/xinghai", "slide_target_url": "/files/pages/xinghai.html"},
    {"category_id": 2, "name": "龙纹传说", "server": "网通二区",
     "pictures": "category/longwen", "slide_target_url": "/files/pages/longwen.html"},
    {"category_id": 3, "name": "Iron Harbor", "server": "亚服",
     "pictures": "category/ironharbor", "slide_target_url": ""},
    {"category_id": 4, "name": "云梦山海", "server": "双线",
     "pictures": "category/yunmeng", "slide_target_url": ""},
]

# The five pictures of a category, each "<pictures>_<suffix>.png" in the store.
CATEGORY_PICTURES = {"icon": "icon", "big_icon": "big", "slide_url": "slide",
                     "logo": "logo", "bg_img": "bg"}

GAMES = {
    1: [
        {"game_id": 101, "server": "电信一区", "version": "正式版", "name": "星海征途 完整客户端",
         "install_folder": "XingHai", "detail": "星海征途正式版完整客户端，含全部资源",
         "file": "packages/xinghai_full.zip", "size": "0", "file_md5": "",
         "zip_pwd": "xh2024", "lnk_app": "XingHai\\XingHai.exe", "icon": "icons/xinghai.png",
         "help_url": "/files/pages/xinghai_help.html", "file_url_type": "0", "cdn_url_type": "0"},
        {"game_id": 102, "server": "电信一区", "version": "测试版", "name": "星海征途 测试客户端",
         "install_folder": "XingHaiTest", "detail": "测试服客户端",
         "file": "packages/xinghai_test.zip", "size": "0", "file_md5": "",
         "zip_pwd": "xhtest", "lnk_app": "XingHaiTest\\XingHai.exe", "icon": "icons/xinghai_test.png",
         "help_url": "", "file_url_type": "1", "cdn_url_type": "1"},
    ],
    2: [
        {"game_id": 201, "server": "网通二区", "version": "怀旧版", "name": "龙纹传说 怀旧版",
         "install_folder": "LongWen", "detail": "龙纹传说怀旧服客户端",
         "file": "packages/longwen.zip", "size": "0", "file_md5": "",
         "zip_pwd": "lw-88", "lnk_app": "LongWen\\Game.exe", "icon": "icons/longwen.png",
         "help_url": "", "file_url_type": "0", "cdn_url_type": "0"},
    ],
    3: [
        {"game_id": 301, "server": "亚服", "version": "1.0", "name": "Iron Harbor",
         "install_folder": "IronHarbor", "detail": "Iron Harbor client",
         "file": "packages/ironharbor.zip", "size": "0", "file_md5": "",
         "zip_pwd": "harbor", "lnk_app": "IronHarbor\\IronHarbor.exe",
         "icon": "icons/ironharbor.png", "help_url": "", "file_url_type": "0", "cdn_url_type": "0"},
        # Game 12 runs in an outside launcher that the "package" of game 13 installs.
        {"game_id": 12, "server": "台服", "version": "1.0", "name": "HIT2",
         "install_folder": "HIT2", "detail": "HIT2 台服客户端（需要 Nexon 启动器）",
         "file": "packages/hit2.zip", "size": "0", "file_md5": "",
         "zip_pwd": "hit2", "lnk_app": "", "icon": "icons/hit2.png", "help_url": "",
         "file_url_type": "0", "cdn_url_type": "0"},
        {"game_id": 13, "server": "台服", "version": "1.0", "name": "Nexon 启动器",
         "install_folder": "Nexon", "detail": "HIT2 所需的启动器安装程序",
         "file": "installers/NexonLauncherSetup.exe", "size": "0", "file_md5": "",
         "zip_pwd": "", "lnk_app": "", "icon": "icons/nexon.png", "help_url": "",
         "file_url_type": "0", "cdn_url_type": "0"},
    ],
    4: [
        # Likewise game 15 and the launcher that game 16 installs.
        {"game_id": 15, "server": "俄服", "version": "1.0", "name": "暗黑4",
         "install_folder": "D4R", "detail": "俄语客户端（需要 ReflectionNetworkLauncher）",
         "file": "packages/d4r.zip", "size": "0", "file_md5": "",
         "zip_pwd": "d4r", "lnk_app": "", "icon": "icons/d4r.png", "help_url": "",
         "file_url_type": "0", "cdn_url_type": "0"},
        {"game_id": 16, "server": "俄服", "version": "1.0", "name": "ReflectionNetworkLauncher",
         "install_folder": "ReflectionNetworkLauncher", "detail": "暗黑4 所需的启动器安装程序",
         "file": "installers/ReflectionNetworkLauncherSetup.exe", "size": "0", "file_md5": "",
         "zip_pwd": "", "lnk_app": "", "icon": "icons/reflection.png", "help_url": "",
         "file_url_type": "0", "cdn_url_type": "0"},
    ],
}

PLUGINS = {
    1: [
        {"plugins_id": 1001, "server": "电信一区", "version": "正式版", "name": "星海征途 高清材质包",
         "install_folder": "XingHaiHD", "detail": "高清材质与界面插件",
         "file": "packages/xinghai_hd.zip", "size": "0", "file_md5": "",
         "zip_pwd": "hdpack", "icon": "icons/plugin.png", "help_url": "",
         "file_url_type": "0", "cdn_url_type": "0"},
    ],
    2: [],
    3: [],
    4: [],
}

SOFTWARES = [
    {"software_id": "1", "type": 1, "name": "Ostrel加速器", "install_folder": "Ostrel",
     "detail": "游戏网络加速", "file": "installers/ostrel_setup.exe", "size": "0", "file_md5": "",
     "icon": "icons/ostrel.png", "help_url": "", "file_url_type": "0", "cdn_url_type": "0"},
    {"software_id": "2", "type": 2, "name": "Pellinor加速器", "install_folder": "Pellinor",
     "detail": "海外线路加速", "file": "installers/pellinor_setup.exe", "size": "0",
     "file_md5": "", "icon": "icons/pellinor.png", "help_url": "",
     "file_url_type": "0", "cdn_url_type": "0"},
    {"software_id": "3", "type": 3, "name": "Tamsk加速器", "install_folder": "tamsk",
     "detail": "低延迟加速", "file": "installers/tamsk_setup.exe", "size": "0", "file_md5": "",
     "icon": "icons/tamsk.png", "help_url": "", "file_url_type": "0", "cdn_url_type": "0"},
]


# What a test game added through the control interface may set; the rest
# comes from "Iron Harbor" (game 301), whose package it shares.
GAME_FIELDS = ("game_id", "server", "version", "name", "install_folder", "detail", "file", "size",
               "file_md5", "zip_pwd", "lnk_app", "icon", "help_url", "file_url_type", "cdn_url_type")


class Catalogue:
    """The lists as the service sends them, with absolute addresses under base_url."""

    def __init__(self, base_url: str, store: FileStore):
        self._base_url = base_url
        self._store = store
        self._categories = [self._category(entry) for entry in CATEGORIES]
        self._games = {str(cid): [self._item(entry) for entry in entries]
                       for cid, entries in GAMES.items()}
        self._plugins = {str(cid): [self._item(entry) for entry in entries]
                         for cid, entries in PLUGINS.items()}
        self._softwares = [self._item(entry) for entry in SOFTWARES]
        self._added_games: dict[str, list[dict]] = {}

    def categories(self) -> list[dict]:
        return list(self._categories)

    def category(self, category_id: str) -> dict | None:
        return next((c for c in self._categories if str(c["category_id"]) == category_id), None)

    def search(self, keywords: str) -> list[dict]:
        """Categories whose name and server hold every word of the keywords, ignoring case."""
        words = keywords.lower().split()
        return [c for c in self._categories
                if all(word in (c["name"] + " " + c["server"]).lower() for word in words)]

    def games(self, category_id: str) -> list[dict]:
        return list(self._games.get(category_id, [])) + list(self._added_games.get(category_id, []))

    def add_game(self, category_id: str, fields: dict) -> dict:
        """Appends a test game to the category's list until the next reset."""
        if self.category(category_id) is None:
            raise ValueError("no category %s" % category_id)
        unknown = set(fields) - set(GAME_FIELDS)
        if unknown:
            raise ValueError("unknown game fields: %s" % ", ".join(sorted(unknown)))
        if "game_id" not in fields or "name" not in fields:
            raise ValueError("a test game needs a game_id and a name")
        entry = dict(GAMES[3][0])
        entry.update(fields)
        item = self._item(entry)
        # A size or digest the test gives is what it wants listed, even when it
        # does not match the shipped package (a check that must fail).
        item.update({key: str(fields[key]) for key in ("size", "file_md5") if key in fields})
        self._added_games.setdefault(category_id, []).append(item)
        return item

    def forget_added_games(self):
        self._added_games = {}

    def plugins(self, category_id: str) -> list[dict]:
        return list(self._plugins.get(category_id, []))

    def softwares(self) -> list[dict]:
        return list(self._softwares)

    def has_software(self, software_id: str) -> bool:
        return any(s["software_id"] == software_id for s in self._softwares)

    def _category(self, entry: dict) -> dict:
        category = {key: value for key, value in entry.items() if key != "pictures"}
        for key, suffix in CATEGORY_PICTURES.items():
            category[key] = self._picture_url("%s_%s.png" % (entry["pictures"], suffix))
        category["slide_target_url"] = self._absolute(entry["slide_target_url"])
        return category

    def _item(self, entry: dict) -> dict:
        item = {key: value for key, value in entry.items() if key != "file"}
        item["file_url"] = self._base_url + "/files/" + entry["file"]
        shipped = self._store.size_and_md5(entry["file"])
        if shipped is not None:
            item["size"], item["file_md5"] = str(shipped[0]), shipped[1]
        item["icon"] = self._picture_url(entry["icon"])
        item["help_url"] = self._absolute(entry["help_url"])
        return item

    def _picture_url(self, name: str) -> str:
        return self._base_url + "/files/" + self._store.digest_name(name)

    def _absolute(self, path: str) -> str:
        return self._base_url + path if path.startswith("/") else path
