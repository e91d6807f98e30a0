"""The whole service behind both listeners: state, journal, faults and dispatch."""

import hashlib
import re
from pathlib import Path
from urllib.parse import unquote

import fault_replies
import wire
from accounts import Accounts
from box_api import BoxApi, StartupConfig
from catalogue import Catalogue
from control import Control
from faults import FaultTable
from file_store import FileStore, content_type
from journal import Journal
from response import Response, json_response, text_response

CONTROL_PREFIX = "/__control/"
FILES_PREFIX = "/files/"
_RANGE = re.compile(r"bytes=(\d+)-(\d*)")


class Service:
    def __init__(self, salt: bytes, data_key: bytes, base_url: str, files_dir: Path,
                 *generated_dirs: Path):
        self.data_key = data_key
        self.base_url = base_url
        self.store = FileStore(files_dir, *generated_dirs)
        self.accounts = Accounts()
        self.faults = FaultTable()
        self.journal = Journal()
        self.config = StartupConfig()
        self.box = BoxApi(self.accounts, Catalogue(base_url, self.store), self.config, salt)
        self.control = Control(self)
        self.reset()

    def reset(self):
        """Back to the demo state with an empty journal and no faults."""
        self.accounts.reset()
        self.faults.clear()
        self.journal.clear()
        self.store.forget_added()
        self.box.catalogue.forget_added_games()
        self.config.update_text = ""
        self.config.service = self.base_url + "/files/pages/service.html"
        self.config.upload_plugins = self.base_url + "/files/pages/upload_plugins.html"

    def handle(self, listener: str, method: str, path: str, query: str,
               headers: list[tuple[str, str]], body: bytes) -> Response:
        if path.startswith(CONTROL_PREFIX):
            return self.control.handle(listener, method, path[len(CONTROL_PREFIX):], query, body)
        entry = self.journal.add(listener, method, path, query, headers, body)
        verdict = self._verdict(method, path, body)
        # Download addresses arrive percent-encoded (even "_" becomes %5F); a
        # fault may name either form.
        fault = self.faults.take((path, unquote(path)), listener)
        if fault is not None and not fault.carries_out_request():
            reply = fault_replies.replacing_reply(fault, self.data_key)
        else:
            reply = self._own_reply(method, path, verdict, headers)
            if fault is not None:
                reply = fault_replies.shaped_reply(fault, reply)
        self.journal.update(entry, sign_ok=verdict.sign_ok if verdict else None,
                            problem=verdict.problem if verdict else "",
                            fault=fault.kind if fault else None,
                            status=None if reply.drop else reply.status, result=reply.result)
        return reply

    def _verdict(self, method: str, path: str, body: bytes) -> wire.SignedQuery | None:
        if method != "POST" or not self.box.knows(path):
            return None
        return self.box.check(path, body)

    def _own_reply(self, method: str, path: str, verdict: wire.SignedQuery | None,
                   headers: list[tuple[str, str]]) -> Response:
        if verdict is not None:
            outcome = self.box.answer(path, verdict)
            if outcome.code != wire.SUCCESS:
                return json_response(200, wire.failure(outcome.code, outcome.message))
            reply = json_response(200, wire.success(outcome.result, self.data_key))
            reply.result = outcome.result
            return reply
        if self.box.knows(path):
            return text_response(405, "use POST")
        if path.startswith(FILES_PREFIX) and method in ("GET", "HEAD"):
            return self._file_reply(unquote(path[len(FILES_PREFIX):]), headers)
        return text_response(404, "not found")

    def _file_reply(self, name: str, headers: list[tuple[str, str]]) -> Response:
        content = self.store.read(name)
        if content is None:
            return text_response(404, "no such file")
        base_headers = [("Content-Type", content_type(name)), ("Accept-Ranges", "bytes"),
                        ("ETag", '"%s"' % hashlib.md5(content).hexdigest())]
        return self._ranged(content, _header(headers, "Range"), base_headers)

    @staticmethod
    def _ranged(content: bytes, range_header: str | None, headers: list) -> Response:
        match = _RANGE.fullmatch(range_header.strip()) if range_header else None
        if match is None:
            return Response(200, content, headers)
        first = int(match.group(1))
        last = min(int(match.group(2)), len(content) - 1) if match.group(2) else len(content) - 1
        if first >= len(content) or last < first:
            return Response(416, b"", headers + [("Content-Range", "bytes */%d" % len(content))])
        return Response(206, content[first:last + 1],
                        headers + [("Content-Range", "bytes %d-%d/%d" % (first, last, len(content)))])


def _header(headers: list[tuple[str, str]], name: str) -> str | None:
    return next((value for key, value in headers if key.lower() == name.lower()), None)
