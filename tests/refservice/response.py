"""One answer as the listener is to send it, including the ways of sending it badly."""

import gzip
from dataclasses import dataclass, field


@dataclass
class Response:
    status: int = 200
    body: bytes = b""
    headers: list[tuple[str, str]] = field(default_factory=list)
    result: str | None = None       # the plaintext behind "data", for the journal
    drop: bool = False              # close the connection without answering
    delay: float = 0                # seconds to wait before answering
    send_only: int | None = None    # bytes of the body to send before closing
    rate: int | None = None         # bytes per second for the body

    def gzipped(self) -> "Response":
        self.body = gzip.compress(self.body)
        self.headers.append(("Content-Encoding", "gzip"))
        return self


def json_response(status: int, body: bytes) -> Response:
    return Response(status, body, [("Content-Type", "application/json; charset=utf-8")])


def text_response(status: int, text: str, content_type: str = "text/plain") -> Response:
    return Response(status, text.encode("utf-8"), [("Content-Type", content_type + "; charset=utf-8")])
