"""The record of every request the service has received, for tests to read."""

import threading
import time
from urllib.parse import unquote


class Journal:
    def __init__(self):
        self._lock = threading.Lock()
        self._entries: list[dict] = []

    def add(self, listener: str, method: str, path: str, query: str,
            headers: list[tuple[str, str]], body: bytes) -> dict:
        """Records a request as it arrived; the caller fills in the verdict and the reply."""
        entry = {"time": time.time(), "listener": listener, "method": method, "path": path,
                 "query": query, "headers": [[name, value] for name, value in headers],
                 "body": body.decode("utf-8", "replace"), "sign_ok": None, "problem": "",
                 "fault": None, "status": None, "result": None}
        with self._lock:
            self._entries.append(entry)
        return entry

    def update(self, entry: dict, **fields):
        with self._lock:
            entry.update(fields)

    def entries(self, path: str | None = None) -> list[dict]:
        """The requests of the path, in either form: download addresses arrive
        percent-encoded (even "_" becomes %5F), as faults may name them."""
        with self._lock:
            return [dict(entry) for entry in self._entries
                    if path is None or path in (entry["path"], unquote(entry["path"]))]

    def clear(self):
        with self._lock:
            self._entries.clear()
