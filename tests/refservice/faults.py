"""Failures that tests ask for, per path and listener, for a number of requests or until cleared."""

import threading
from dataclasses import asdict, dataclass

LISTENERS = ("api", "fallback", "both")

# Each kind, and whether the service still carries out the request (and so
# changes its state) before the fault shapes the answer. Kinds that stand for
# a lost or unusable answer leave the state alone, so that the client's retry
# meets the same state as its first attempt.
KINDS = {
    "status": None,             # the given status; carried out only for 200 to 300
    "empty": False,             # status 200, empty body
    "drop": False,              # connection closed without an answer
    "slow": True,               # the normal answer after the given seconds
    "not_json": False,          # an HTML error page with status 200
    "json_array": False,        # a JSON array as the whole body
    "null": False,              # the body "null"
    "code_string": False,       # "code" as the string "10001", with valid "data"
    "bad_data": False,          # code 10001 and a "data" that does not decipher
    "short_data": False,        # code 10001 and a plaintext shorter than 10 bytes
    "prefix_only": False,       # code 10001 and a plaintext of exactly the 10-byte prefix
    "empty_data": False,        # code 10001 and an empty "data"
    "code": False,              # the given failure code and message
    "result": False,            # code 10001 with the given result text in "data"
    "raw": False,               # the given status and body, verbatim
    "gzip": True,               # the normal answer, gzip-encoded
    "redirect": False,          # 302 (or the given status) to the given location
    "truncate": True,           # the normal headers, then only the given bytes of the body
    "throttle": True,           # the normal answer at the given bytes per second
}


@dataclass
class Fault:
    path: str
    kind: str
    listener: str = "both"
    count: int | None = None
    status: int | None = None
    code: int = 10000
    message: str = "服务器错误"
    seconds: float = 0
    text: str = ""
    body: str = ""
    location: str = ""
    bytes: int = 0
    rate: int = 1024

    def carries_out_request(self) -> bool:
        if self.kind == "status":
            return 200 <= self.status_or(500) <= 300
        return KINDS[self.kind]

    def status_or(self, default: int) -> int:
        return default if self.status is None else self.status

    def applies_to(self, paths: tuple[str, ...], listener: str) -> bool:
        return self.path in paths and self.listener in (listener, "both")


NUMBER_FIELDS = ("count", "status", "code", "seconds", "bytes", "rate")


def _check_numbers(fault: Fault):
    for name in NUMBER_FIELDS:
        value = getattr(fault, name)
        if value is not None and (isinstance(value, bool) or not isinstance(value, (int, float))):
            raise ValueError("%s must be a number" % name)


class FaultTable:
    def __init__(self):
        self._lock = threading.Lock()
        self._faults: list[Fault] = []

    def add(self, fields: dict) -> Fault:
        """A new fault from a test's JSON object; raises ValueError for a bad one."""
        unknown = set(fields) - set(Fault.__dataclass_fields__)
        if unknown:
            raise ValueError("unknown fault fields: %s" % ", ".join(sorted(unknown)))
        try:
            fault = Fault(**fields)
        except TypeError as error:
            raise ValueError(str(error)) from error
        _check_numbers(fault)
        if fault.kind not in KINDS:
            raise ValueError("unknown fault kind %r" % fault.kind)
        if fault.listener not in LISTENERS:
            raise ValueError("listener must be one of %s" % ", ".join(LISTENERS))
        if fault.count is not None and fault.count < 1:
            fault.count = None
        with self._lock:
            self._faults.append(fault)
        return fault

    def take(self, paths: tuple[str, ...], listener: str) -> Fault | None:
        """The oldest fault for a request to any of the paths, spending one of its count."""
        with self._lock:
            fault = next((f for f in self._faults if f.applies_to(paths, listener)), None)
            if fault is not None and fault.count is not None:
                fault.count -= 1
                if fault.count == 0:
                    self._faults.remove(fault)
            return fault

    def clear(self, path: str | None = None):
        with self._lock:
            self._faults = [f for f in self._faults if path is not None and f.path != path]

    def listing(self) -> list[dict]:
        with self._lock:
            return [asdict(f) for f in self._faults]
