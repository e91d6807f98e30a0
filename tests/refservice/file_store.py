"""Files that the service hands out under "/files/": packages, installers, pictures.

The shipped files live in folders: the one beside this module and the one
that the build and the service's start fill (installers, packages); tests may
add more at run time. Every shipped file is also reachable as "<folder>/<md5><extension>", because the
client names its cached pictures by the digest of their content and checks
them against that name.
"""

import hashlib
import os
import threading
from pathlib import Path


class FileStore:
    def __init__(self, root: Path, *more_roots: Path):
        """Roots in the order of precedence for a name that several hold."""
        self._roots = [folder.resolve() for folder in (root, *more_roots)]
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
        return [path for root in self._roots if root.is_dir()
                for path in root.rglob("*") if path.is_file()]

    def _shipped_path(self, name: str) -> Path | None:
        for root in self._roots:
            path = (root / name).resolve()
            if root in path.parents and path.is_file():
                return path
        return None

    def _digest_name(self, path: Path) -> str:
        root = next(root for root in self._roots if root in path.parents)
        folder = path.parent.relative_to(root).as_posix()
        extension = path.name[path.name.index("."):] if "." in path.name else ""
        name = hashlib.md5(path.read_bytes()).hexdigest() + extension
        return name if folder == "." else folder + "/" + name


def content_type(name: str) -> str:
    extension = os.path.splitext(name)[1].lower()
    return {".png": "image/png", ".jpg": "image/jpeg", ".jpeg": "image/jpeg",
            ".gif": "image/gif", ".zip": "application/zip",
            ".exe": "application/octet-stream"}.get(extension, "application/octet-stream")
