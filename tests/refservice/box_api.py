"""The "/Box/" paths: what each expects in its body and what it answers."""

import base64
import binascii
from dataclasses import dataclass, field
from typing import Callable

import wire
from accounts import Accounts
from catalogue import Catalogue

BAD_SIGNATURE = (10002, "签名错误")
BAD_PARAMETERS = (10003, "参数错误")
WRONG_SMS_CODE = (10004, "验证码错误")
WRONG_PASSWORD = (10004, "手机号或密码错误")
BAD_MOBILE = (10005, "手机号格式错误")
NO_SUCH_CATEGORY = (10006, "游戏分类不存在")
NO_SUCH_ACCELERATOR = (10007, "加速器不存在")
SESSION_EXPIRED = (10011, "登录已过期，请重新登录")

LOGIN_BY_CODE, LOGIN_BY_PASSWORD, LOGIN_BY_TOKEN = "1", "2", "3"
CODE_FOR_SIGN_IN, CODE_FOR_BINDING = "1", "2"


@dataclass
class Outcome:
    """What a path decided: a failure code with its message, or success with a result text."""
    code: int = wire.SUCCESS
    message: str = ""
    result: str | None = None

    @staticmethod
    def failed(code_and_message: tuple[int, str]) -> "Outcome":
        return Outcome(*code_and_message)

    @staticmethod
    def of(value) -> "Outcome":
        return Outcome(result=wire.to_result_text(value))


@dataclass
class StartupConfig:
    """The answers of the version check and of the configuration request."""
    update_text: str = ""
    service: str = ""
    upload_plugins: str = ""


@dataclass
class Route:
    keys: tuple[str, ...]
    handler: Callable[[dict], Outcome]
    number_keys: frozenset[str] = field(default_factory=frozenset)


def make_report_code(report_type: int, op_type: int, op_status: int, object_id: int) -> int:
    return min(int("11%d%d%d%d" % (report_type, op_type, op_status, object_id)), 0xFFFFFFFF)


class BoxApi:
    def __init__(self, accounts: Accounts, catalogue: Catalogue, config: StartupConfig,
                 salt: bytes):
        self.accounts = accounts
        self.catalogue = catalogue
        self.config = config
        self._salt = salt
        self._routes = {
            "/Box/User/login": Route(("login_password", "login_token", "mobile", "mobile_code",
                                      "ts", "type"), self._login),
            "/Box/User/sendCode": Route(("area_code", "object", "ts", "type"), self._send_code),
            "/Box/User/setPass": Route(("password", "token", "ts"), self._set_pass),
            "/Box/User/bindSpeed": Route(("code", "software_id", "software_username", "token",
                                          "ts"), self._bind_speed),
            "/Box/Server/boxReport": Route(("code", "object_id", "op_status", "op_type",
                                            "report_type", "token", "ts"), self._box_report,
                                           frozenset(("code", "object_id", "op_status",
                                                      "op_type", "report_type"))),
            "/Box/Game/getEncryLink": Route(("cdn_url_type", "file_url", "token", "ts"),
                                            self._encry_link),
            "/Box/Version/checkVersion": Route(("ts",), self._check_version),
            "/Box/Config/getConfig": Route(("ts",), self._get_config),
            "/Box/Game/getGamesCategory": Route(("ts",), self._categories),
            "/Box/Game/searchGamesCategory": Route(("keywords", "ts"), self._search),
            "/Box/Game/ownerGamesCategory": Route(("token", "ts"), self._own_categories),
            "/Box/Game/addOwnerGamesCategory": Route(("category_id", "token", "ts"),
                                                     self._add_own_category),
            "/Box/Game/getSoftwares": Route(("ts",), self._softwares),
            "/Box/Game/getGames": Route(("category_id", "ts"), self._games),
            "/Box/Game/getGamesPlugins": Route(("category_id", "ts"), self._plugins),
        }

    def knows(self, path: str) -> bool:
        return path in self._routes

    def check(self, path: str, body: bytes) -> wire.SignedQuery:
        route = self._routes[path]
        return wire.read_signed_query(body, route.keys, route.number_keys, self._salt)

    def answer(self, path: str, query: wire.SignedQuery) -> Outcome:
        """The outcome of a checked request; a refused one gets its failure code here."""
        if query.problem:
            return Outcome.failed(BAD_PARAMETERS if query.sign_ok else BAD_SIGNATURE)
        return self._routes[path].handler(query.values)

    def _login(self, v: dict) -> Outcome:
        if v["type"] == LOGIN_BY_CODE:
            if not self.accounts.take_code(v["mobile"], v["mobile_code"], CODE_FOR_SIGN_IN):
                return Outcome.failed(WRONG_SMS_CODE)
            return Outcome.of(self.accounts.sign_in_by_code(v["mobile"]))
        if v["type"] == LOGIN_BY_PASSWORD:
            result = self.accounts.sign_in_by_password(v["mobile"], v["login_password"])
            return Outcome.of(result) if result else Outcome.failed(WRONG_PASSWORD)
        if v["type"] == LOGIN_BY_TOKEN:
            result = self.accounts.sign_in_by_token(v["login_token"], v["mobile"])
            return Outcome.of(result) if result else Outcome.failed(SESSION_EXPIRED)
        return Outcome.failed(BAD_PARAMETERS)

    def _send_code(self, v: dict) -> Outcome:
        if v["type"] not in (CODE_FOR_SIGN_IN, CODE_FOR_BINDING):
            return Outcome.failed(BAD_PARAMETERS)
        if not v["object"].isdigit() or not v["object"].isascii():
            return Outcome.failed(BAD_MOBILE)
        self.accounts.send_code(v["object"], v["type"], v["area_code"])
        return Outcome()

    def _set_pass(self, v: dict) -> Outcome:
        if not v["password"]:
            return Outcome.failed(BAD_PARAMETERS)
        if not self.accounts.set_password(v["token"], v["password"]):
            return Outcome.failed(SESSION_EXPIRED)
        return Outcome()

    def _bind_speed(self, v: dict) -> Outcome:
        if not self.accounts.is_valid_token(v["token"]):
            return Outcome.failed(SESSION_EXPIRED)
        if not self.catalogue.has_software(v["software_id"]):
            return Outcome.failed(NO_SUCH_ACCELERATOR)
        if not self.accounts.take_code(v["software_username"], v["code"], CODE_FOR_BINDING):
            return Outcome.failed(WRONG_SMS_CODE)
        self.accounts.bind_accelerator(v["token"], v["software_id"], v["software_username"])
        return Outcome()

    def _box_report(self, v: dict) -> Outcome:
        fields = [int(v[key]) for key in ("report_type", "op_type", "op_status", "object_id")]
        if int(v["code"]) != make_report_code(*fields):
            return Outcome.failed(BAD_PARAMETERS)
        return Outcome()

    def _encry_link(self, v: dict) -> Outcome:
        if not self.accounts.is_valid_token(v["token"]):
            return Outcome.failed(SESSION_EXPIRED)
        try:
            url = base64.b64decode(v["file_url"], validate=True).decode("utf-8")
        except (binascii.Error, UnicodeDecodeError):
            return Outcome.failed(BAD_PARAMETERS)
        return Outcome.of({"encry_file_url": url})

    def _check_version(self, v: dict) -> Outcome:
        # The version check hands its result text over unparsed; empty means up to date.
        return Outcome(result=self.config.update_text or None)

    def _get_config(self, v: dict) -> Outcome:
        return Outcome.of({"service": self.config.service,
                           "upload_plugins": self.config.upload_plugins})

    def _categories(self, v: dict) -> Outcome:
        return Outcome.of(self.catalogue.categories())

    def _search(self, v: dict) -> Outcome:
        return Outcome.of(self.catalogue.search(v["keywords"]))

    def _own_categories(self, v: dict) -> Outcome:
        own = self.accounts.own_categories(v["token"])
        if own is None:
            return Outcome.failed(SESSION_EXPIRED)
        return Outcome.of([c for c in map(self.catalogue.category, own) if c is not None])

    def _add_own_category(self, v: dict) -> Outcome:
        if not self.accounts.is_valid_token(v["token"]):
            return Outcome.failed(SESSION_EXPIRED)
        if self.catalogue.category(v["category_id"]) is None:
            return Outcome.failed(NO_SUCH_CATEGORY)
        self.accounts.add_own_category(v["token"], v["category_id"])
        return Outcome()

    def _softwares(self, v: dict) -> Outcome:
        return Outcome.of(self.catalogue.softwares())

    def _games(self, v: dict) -> Outcome:
        return Outcome.of(self.catalogue.games(v["category_id"]))

    def _plugins(self, v: dict) -> Outcome:
        return Outcome.of(self.catalogue.plugins(v["category_id"]))
