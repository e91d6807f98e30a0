"""The reference service itself: requests signed as the client signs them, its
verdicts, its account and list answers, its faults and its file store.

Runs its own instance on free ports, so it needs neither the shared service
nor its lock. Result texts are read from the journal: deciphering "data" is
the client's business and is tested there.
"""

import base64
import gzip
import hashlib
import http.client
import io
import json
import shutil
import ssl
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile
from pathlib import Path
from urllib.parse import quote, quote_plus

HERE = Path(__file__).resolve().parent
SALT = "Ab3dEf6hIj9kLm2N"
DATA_KEY = "Qr5sTu8vWx1yZa4B"
DEMO_MOBILE = "13800138000"
CHINESE_NAMED_TOKEN = "a81e4d6c2f0b9e3d7c5a1f8e4b2d6c90"


def client_encode(value: str) -> str:
    # The client leaves only letters, digits, "-", "_" and "." alone; Python's
    # encoder would also leave "~".
    return quote_plus(value.encode("utf-8"), safe="-_.").replace("~", "%7E")


def signed(query: str, salt: str = SALT) -> str:
    """The body for a query: the signature is over the query in small letters and the salt."""
    return query + "&sign=" + hashlib.md5((query.lower() + salt).encode("ascii")).hexdigest()


def client_body(params: list[tuple[str, str]], salt: str = SALT) -> str:
    """The body exactly as the client builds it."""
    return signed("&".join("%s=%s" % (key, value if key == "ts" else client_encode(value))
                           for key, value in params), salt)


def with_ts(*params: tuple[str, str]) -> list[tuple[str, str]]:
    """The parameters with "ts" in its place in ascending key order."""
    return sorted(list(params) + [("ts", str(int(time.time())))])


class ServiceTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.state_dir = Path(tempfile.mkdtemp(prefix="refservice-test-"))
        with open(cls.state_dir / "service.log", "wb") as log:
            cls.process = subprocess.Popen(
                [sys.executable, str(HERE / "main.py"), "--state-dir", str(cls.state_dir),
                 "--api-port", "0", "--fallback-port", "0", "--salt", SALT, "--data-key", DATA_KEY],
                stdout=subprocess.DEVNULL, stderr=log)
        ready = cls.state_dir / "ready.json"
        deadline = time.monotonic() + 30
        while not ready.exists():
            if cls.process.poll() is not None or time.monotonic() > deadline:
                raise RuntimeError((cls.state_dir / "service.log").read_text())
            time.sleep(0.1)
        cls.addresses = {name: tuple(address) for name, address in json.loads(ready.read_text()).items()
                         if name != "pid"}

    @classmethod
    def tearDownClass(cls):
        cls.process.terminate()
        cls.process.wait(10)
        shutil.rmtree(cls.state_dir)

    def setUp(self):
        self.control("POST", "reset")

    def request(self, method, path, body=b"", listener="api", headers=None):
        """(status, headers, body) of one request; status 0 when no answer came."""
        address, port = self.addresses[listener]
        connection = http.client.HTTPSConnection(address, port, timeout=10,
                                                 context=ssl._create_unverified_context())
        try:
            connection.request(method, path, body=body, headers=headers or {})
            reply = connection.getresponse()
            return reply.status, dict(reply.getheaders()), reply.read()
        except (http.client.RemoteDisconnected, ConnectionError):
            return 0, {}, b""
        finally:
            connection.close()

    def control(self, method, name, value=None, raw=b""):
        body = json.dumps(value).encode() if value is not None else raw
        status, _, reply = self.request(method, "/__control/" + name, body)
        self.assertEqual(200, status, reply)
        return json.loads(reply)

    def call(self, path, params, listener="api", body=None):
        """Envelope of a signed POST, and the journal entry of that request."""
        status, _, reply = self.request(
            "POST", path, (body or client_body(params)).encode("ascii"), listener,
            {"Content-Type": "application/x-www-form-urlencoded"})
        self.assertEqual(200, status, reply)
        return json.loads(reply), self.control("GET", "journal")[-1]

    def sign_in(self, login_type, mobile, password="", token="", code=""):
        return self.call("/Box/User/login", with_ts(
            ("login_password", password), ("login_token", token), ("mobile", mobile),
            ("mobile_code", code), ("type", login_type)))


class SignedRequestTest(ServiceTest):
    def test_verdicts_on_bodies_as_sent(self):
        ts = str(int(time.time()))
        good = client_body([("keywords", "星海 电信"), ("ts", ts)])
        cases = [
            ("encoded and signed like the client", good, 10001, True),
            ("signed with another salt", client_body([("keywords", "x"), ("ts", ts)], "0" * 16),
             10002, False),
            ("no signature", good[:good.index("&sign=")], 10002, False),
            ("ts before keywords", client_body([("ts", ts), ("keywords", "5")]), 10003, True),
            ("small hexadecimal digits", signed("keywords=%e6%98%9f&ts=" + ts), 10003, True),
            ("space as %20", signed("keywords=a%20b&ts=" + ts), 10003, True),
            ("tilde left unencoded", signed("keywords=a~b&ts=" + ts), 10003, True),
            ("letter encoded needlessly", signed("keywords=%41&ts=" + ts), 10003, True),
            ("ts with letters", signed("keywords=x&ts=" + ts + "a"), 10003, True),
        ]
        for name, body, code, sign_ok in cases:
            with self.subTest(name):
                envelope, entry = self.call("/Box/Game/searchGamesCategory", None, body=body)
                self.assertEqual(code, envelope["code"])
                self.assertEqual(sign_ok, entry["sign_ok"])
                self.assertEqual(body, entry["body"])
                self.assertEqual(code == 10001, entry["problem"] == "", entry["problem"])

    def test_search_matches_every_word_of_a_non_ascii_text(self):
        _, entry = self.call("/Box/Game/searchGamesCategory", with_ts(("keywords", "星海 电信")))
        self.assertEqual(["星海征途"], [c["name"] for c in json.loads(entry["result"])])

    def test_journal_keeps_header_lines_in_order_and_the_listener(self):
        own_lines = [("Userid", "0"), ("Clientuuid", "ab" * 16), ("Categoryid", "11"),
                     ("Version", "200"), ("Lang", "zh-cn")]
        self.request("POST", "/Box/Game/getSoftwares", client_body(with_ts()).encode(), "fallback",
                     dict(own_lines))
        entry = self.control("GET", "journal?path=/Box/Game/getSoftwares")[-1]
        self.assertEqual("fallback", entry["listener"])
        names = {name for name, _ in own_lines}
        self.assertEqual([list(line) for line in own_lines],
                         [line for line in entry["headers"] if line[0] in names])

    def test_journal_finds_an_encoded_download_address_by_either_form(self):
        self.request("HEAD", "/files/packages/xinghai%5Ffull.zip")
        for form in ("/files/packages/xinghai_full.zip", "/files/packages/xinghai%255Ffull.zip"):
            entries = self.control("GET", "journal?path=" + form)
            self.assertEqual(["/files/packages/xinghai%5Ffull.zip"], [e["path"] for e in entries], form)

    def test_report_code_must_match_its_four_numbers(self):
        def report(code):
            return self.call("/Box/Server/boxReport", with_ts(
                ("code", code), ("object_id", "37"), ("op_status", "0"), ("op_type", "2"),
                ("report_type", "1"), ("token", "t")))[0]["code"]
        self.assertEqual(10001, report("1112037"))
        self.assertEqual(10003, report("1112038"))


class AccountTest(ServiceTest):
    def send_code(self, mobile, code_type):
        envelope, _ = self.call("/Box/User/sendCode", with_ts(
            ("area_code", "+86"), ("object", mobile), ("type", code_type)))
        self.assertEqual(10001, envelope["code"])
        return self.control("GET", "sms?mobile=" + mobile)["code"]

    def test_first_sign_in_by_code_then_password_then_saved_token(self):
        mobile = "13700137000"
        code = self.send_code(mobile, "1")
        wrong_code = "%06d" % ((int(code) + 1) % 1000000)
        self.assertEqual(10004, self.sign_in("1", mobile, code=wrong_code)[0]["code"])
        envelope, entry = self.sign_in("1", mobile, code=code)
        self.assertEqual(10001, envelope["code"])
        first = json.loads(entry["result"])
        self.assertEqual((1, mobile), (first["is_first"], first["username"]))
        self.assertEqual(10004, self.sign_in("1", mobile, code=code)[0]["code"], "a code is spent")

        self.assertEqual(10004, self.sign_in("2", mobile, password="secret")[0]["code"])
        self.assertEqual(10001, self.call("/Box/User/setPass", with_ts(
            ("password", "secret"), ("token", first["token"])))[0]["code"])
        envelope, entry = self.sign_in("2", mobile, password="secret")
        self.assertEqual((10001, 0), (envelope["code"], json.loads(entry["result"])["is_first"]))

        envelope, entry = self.sign_in("3", mobile, token=first["token"])
        self.assertEqual(first["user_id"], json.loads(entry["result"])["user_id"])

    def test_saved_token_sign_in_with_the_chinese_user_name(self):
        envelope, entry = self.sign_in("3", "张伟", token=CHINESE_NAMED_TOKEN)
        self.assertEqual(10001, envelope["code"])
        self.assertEqual("张伟", json.loads(entry["result"])["username"])
        self.assertIn("%E5%BC%A0%E4%BC%9F", entry["body"])
        self.assertEqual(10011, self.sign_in("3", "李四", token=CHINESE_NAMED_TOKEN)[0]["code"])

    def test_binding_needs_a_binding_code_for_the_account_and_a_live_token(self):
        token = self.control("GET", "user?mobile=" + DEMO_MOBILE)["token"]

        def bind(code, software_id="2", session=token):
            return self.call("/Box/User/bindSpeed", with_ts(
                ("code", code), ("software_id", software_id), ("software_username", "13600136000"),
                ("token", session)))[0]["code"]

        sign_in_code = self.send_code("13600136000", "1")
        self.assertEqual(10004, bind(sign_in_code))
        code = self.send_code("13600136000", "2")
        self.assertEqual(10011, bind(code, session="stale"))
        self.assertEqual(10007, bind(code, software_id="9"))
        self.assertEqual(10001, bind(code))
        user = self.control("GET", "user?mobile=" + DEMO_MOBILE)
        self.assertEqual(("2", "13600136000"), (user["software_id"], user["software_username"]))

    def test_own_categories_follow_additions_and_reset(self):
        token = self.control("GET", "user?mobile=" + DEMO_MOBILE)["token"]

        def own():
            envelope, entry = self.call("/Box/Game/ownerGamesCategory", with_ts(("token", token)))
            return [c["category_id"] for c in json.loads(entry["result"])]

        self.assertEqual([1, 3], own())
        self.assertEqual(10006, self.call("/Box/Game/addOwnerGamesCategory", with_ts(
            ("category_id", "99"), ("token", token)))[0]["code"])
        self.call("/Box/Game/addOwnerGamesCategory", with_ts(("category_id", "2"), ("token", token)))
        self.assertEqual([1, 3, 2], own())
        self.control("POST", "reset")
        self.assertEqual([1, 3], own())

    def test_added_test_games_join_their_category_until_reset(self):
        def games():
            _, entry = self.call("/Box/Game/getGames", with_ts(("category_id", "3")))
            return {g["game_id"]: g for g in json.loads(entry["result"])}

        added = self.control("POST", "game?category_id=3",
                             {"game_id": 901, "name": "CON<>", "lnk_app": "..\\out.exe"})
        listed = games()[901]
        self.assertEqual(added, listed)
        self.assertEqual(("CON<>", "..\\out.exe"), (listed["name"], listed["lnk_app"]))
        self.assertEqual(games()[301]["file_url"], listed["file_url"])
        self.assertEqual(games()[301]["file_md5"], listed["file_md5"])
        wrong = self.control("POST", "game?category_id=3",
                             {"game_id": 904, "name": "wrong digest", "file_md5": "0" * 32, "size": "7"})
        self.assertEqual(("0" * 32, "7"), (wrong["file_md5"], wrong["size"]))
        self.assertEqual(wrong, games()[904])
        for bad in ({"name": "no id"}, {"game_id": 902, "name": "x", "colour": "red"}):
            status, _, _ = self.request("POST", "/__control/game?category_id=3", json.dumps(bad).encode())
            self.assertEqual(400, status)
        status, _, _ = self.request("POST", "/__control/game?category_id=99",
                                    json.dumps({"game_id": 903, "name": "x"}).encode())
        self.assertEqual(400, status)
        self.control("POST", "reset")
        self.assertNotIn(901, games())

    def test_encry_link_gives_back_the_address_sent(self):
        url = "https://127.0.0.1/files/packages/a%5Fb.zip"
        token = self.control("GET", "user?mobile=" + DEMO_MOBILE)["token"]
        envelope, entry = self.call("/Box/Game/getEncryLink", with_ts(
            ("cdn_url_type", "1"), ("file_url", base64.b64encode(url.encode()).decode()),
            ("token", token)))
        self.assertEqual(url, json.loads(entry["result"])["encry_file_url"])


class FaultTest(ServiceTest):
    PATH = "/Box/Version/checkVersion"

    def fault(self, **fields):
        return self.control("POST", "fault", dict(path=self.PATH, **fields))

    def raw_call(self, listener="api"):
        return self.request("POST", self.PATH, client_body(with_ts()).encode(), listener)

    def test_each_kind_shapes_the_answer(self):
        def envelope_of(body):
            value = json.loads(body)
            return value["code"], value["message"], value["data"]

        cases = [
            ({"kind": "status", "status": 500}, 500, lambda body: body == b"injected status"),
            ({"kind": "status", "status": 301}, 301, lambda body: body == b"injected status"),
            ({"kind": "empty"}, 200, lambda body: body == b""),
            ({"kind": "drop"}, 0, lambda body: body == b""),
            ({"kind": "not_json"}, 200, lambda body: body.startswith(b"<html>")),
            ({"kind": "json_array"}, 200, lambda body: isinstance(json.loads(body), list)),
            ({"kind": "null"}, 200, lambda body: body == b"null"),
            ({"kind": "code_string", "message": "m"}, 200,
             lambda body: envelope_of(body)[:2] == ("10001", "m") and envelope_of(body)[2]),
            ({"kind": "code", "code": 10013, "message": "过期"}, 200,
             lambda body: envelope_of(body) == (10013, "过期", "")),
            ({"kind": "empty_data"}, 200, lambda body: envelope_of(body) == (10001, "", "")),
            ({"kind": "raw", "body": "<p>x</p>"}, 200, lambda body: body == b"<p>x</p>"),
        ]
        for fields, status, body_is_right in cases:
            with self.subTest(fields["kind"]):
                self.fault(count=1, **fields)
                got_status, headers, body = self.raw_call()
                self.assertEqual(status, got_status)
                self.assertNotIn("Location", headers)
                self.assertTrue(body_is_right(body), body)
                self.assertEqual(fields["kind"], self.control("GET", "journal")[-1]["fault"])
                self.assertEqual(10001, json.loads(self.raw_call()[2])["code"], "count 1 is spent")

    def test_fault_keeps_to_its_listener_and_lasts_until_cleared(self):
        self.fault(kind="status", status=500, listener="api")
        self.assertEqual([500, 500, 200], [self.raw_call("api")[0], self.raw_call("api")[0],
                                           self.raw_call("fallback")[0]])
        self.control("POST", "clear-faults", {"path": self.PATH})
        self.assertEqual(200, self.raw_call("api")[0])

    def test_only_a_usable_answer_carries_the_request_out(self):
        self.PATH = "/Box/User/sendCode"
        body = client_body(with_ts(("area_code", "86"), ("object", "13500135000"), ("type", "1")))
        self.fault(kind="status", status=500, count=1)
        self.request("POST", self.PATH, body.encode())
        self.assertEqual(404, self.request("GET", "/__control/sms?mobile=13500135000")[0])
        self.fault(kind="status", status=300, count=1)
        status, _, reply = self.request("POST", self.PATH, body.encode())
        self.assertEqual((300, 10001), (status, json.loads(reply)["code"]))
        self.control("GET", "sms?mobile=13500135000")

    def test_result_and_slow_and_gzip(self):
        self.control("POST", "config", {"update_text": "/S /url https://x/u.exe"})
        self.fault(kind="result", text="[1, 2]", count=1)
        self.raw_call()
        self.assertEqual("[1, 2]", self.control("GET", "journal")[-1]["result"])
        self.fault(kind="slow", seconds=1, count=1)
        started = time.monotonic()
        self.raw_call()
        self.assertGreaterEqual(time.monotonic() - started, 1)
        self.fault(kind="gzip", count=1)
        _, headers, body = self.raw_call()
        self.assertEqual("gzip", headers["Content-Encoding"])
        self.assertEqual(10001, json.loads(gzip.decompress(body))["code"])
        self.assertEqual("/S /url https://x/u.exe", self.control("GET", "journal")[-1]["result"])

    def test_bad_fault_requests_are_refused(self):
        for fields in ({"kind": "teapot"}, {"kind": "drop", "listener": "both2"},
                       {"kind": "drop", "colour": "red"}, {"kind": "drop", "count": "2"}):
            with self.subTest(fields):
                status, _, _ = self.request("POST", "/__control/fault",
                                            json.dumps(dict(path=self.PATH, **fields)).encode())
                self.assertEqual(400, status)


class FileStoreTest(ServiceTest):
    def test_added_file_with_ranges_and_broken_transfer(self):
        content = bytes(range(256)) * 40
        added = self.control("POST", "file?name=packages/t.zip", raw=content)
        self.assertEqual(hashlib.md5(content).hexdigest(), added["md5"])
        path = "/files/packages/t.zip"
        self.assertEqual((200, content), (self.request("GET", path)[0], self.request("GET", path)[2]))
        status, headers, body = self.request("GET", path, headers={"Range": "bytes=1000-"})
        self.assertEqual((206, content[1000:]), (status, body))
        self.assertEqual("bytes 1000-10239/10240", headers["Content-Range"])
        self.assertEqual(416, self.request("GET", path, headers={"Range": "bytes=10240-"})[0])
        status, headers, body = self.request("HEAD", path)
        self.assertEqual(("10240", b""), (headers["Content-Length"], body))

        self.control("POST", "fault", {"path": path, "kind": "truncate", "bytes": 100, "count": 1})
        with self.assertRaises(http.client.IncompleteRead):
            self.request("GET", path)

    def test_percent_encoded_names_reach_the_file(self):
        self.control("POST", "file?name=" + quote("packages/星海_full.zip"), raw=b"zip")
        self.control("POST", "fault", {"path": "/files/packages/星海_full.zip", "kind": "status",
                                       "status": 503, "count": 1})
        encoded = "/files/packages/%E6%98%9F%E6%B5%B7%5Ffull.zip"
        self.assertEqual(503, self.request("GET", encoded)[0])
        self.assertEqual((200, b"zip"), self.request("GET", encoded)[::2])

    def test_catalogue_pictures_are_named_by_their_digest(self):
        _, entry = self.call("/Box/Game/getGamesCategory", with_ts())
        for category in json.loads(entry["result"]):
            name = category["icon"].rsplit("/", 1)[1]
            status, _, body = self.request("GET", category["icon"].split(":%d" % self.addresses["api"][1], 1)[1])
            if status == 200:
                self.assertEqual(hashlib.md5(body).hexdigest(), name.split(".")[0])

    def test_demo_packages_are_encrypted_archives_named_in_utf8_and_gbk(self):
        expected = {"1": ("xh2024", "XingHai/data/地图/星图.pak", True),
                    "2": ("lw-88", "LongWen/资源/界面.dat", False)}
        for category_id, (password, name, utf8) in expected.items():
            _, entry = self.call("/Box/Game/getGames", with_ts(("category_id", category_id)))
            game = json.loads(entry["result"])[0]
            body = self.request("GET", game["file_url"].split(":%d" % self.addresses["api"][1], 1)[1])[2]
            self.assertEqual((game["size"], game["file_md5"]), (str(len(body)), hashlib.md5(body).hexdigest()))
            archive = zipfile.ZipFile(io.BytesIO(body))
            info = next(i for i in archive.infolist() if i.filename.endswith((".pak", ".dat")))
            raw_name = info.filename if info.flag_bits & 0x800 else info.filename.encode("cp437").decode("gbk")
            self.assertEqual((name, utf8), (raw_name, bool(info.flag_bits & 0x800)))
            self.assertEqual((1, zipfile.ZIP_DEFLATED), (info.flag_bits & 1, info.compress_type))
            self.assertGreater(len(archive.read(info, pwd=password.encode())), info.compress_size)


if __name__ == "__main__":
    unittest.main()
