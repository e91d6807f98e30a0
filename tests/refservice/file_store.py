"""Files that the service hands out under "/files/": packages, installers, pictures.

The shipped files live in a folder; tests may add more at run time. Every
shipped file is also reachable as "<folder>/<md5><extension>", because the
client names its cached pictures by the digest of their content and checks
them against that name.
"""

import hashlib
import os
import threading
from pathlib import Path


class FileStore:
    def __init__(self, root: Path):
        self._root = root.resolve()
        self._lock = threading.Lock()
        self._added: dict[str, bytes] = {}
        self._by_digest_name = {self._digest_name(path): path for path in self._shipped_files()}

    def read(self, name: str) -> bytes | None:
        """Content of the file under its plain or digest name, or None."""
        with self._lock:
            if name in self._added:
                return self._added[name]
        path = self._by_digest_name.get(name) or self._shipped_path(name)
        return path.read_bytes() if path is not None else None

    def add(self, name: str, content: bytes):
        if not name or name.startswith("/") or ".." in name.split("/"):
            raise ValueError("bad file name %r" % name)
        with self._lock:
            self._added[name] = content

    def forget_added(self):
        with self._lock:
            self._added.clear()

    def digest_name(self, name: str) -> str:
        """The digest name of a shipped file; the plain name when it is not shipped."""
        path = self._shipped_path(name)
        return self._digest_name(path) if path is not None else name

    def size_and_md5(self, name: str) -> tuple[int, str] | None:
        path = self._shipped_path(name)
        if path is None:
            return None
        content = path.read_bytes()
        return len(content), hashlib.md5(content).hexdigest()

    def _shipped_files(self):
        if not self._root.is_dir():
            return []
        return [path for path in self._root.rglob("*") if path.is_file()]

    def _shipped_path(self, name: str) -> Path | None:
        path = (self._root / name).resolve()
        if self._root not in path.parents or not path.is_file():
            return None
        return path

    def _digest_name(self, path: Path) -> str:
        folder = path.parent.relative_to(self._root).as_posix()
        extension = path.name[path.name.index("."):] if "." in path.name else ""
        name = hashlib.md5(path.read_bytes()).hexdigest() + extension
        return name if folder == "." else folder + "/" + name


def content_type(name: str) -> str:
    extension = os.path.splitext(name)[1].lower()
    return {".png": "image/png", ".jpg": "image/jpeg", ".jpeg": "image/jpeg",
            ".gif": "image/gif", ".zip": "application/zip",
            ".exe": "application/octet-stream"}.get(extension, "application/octet-stream")
