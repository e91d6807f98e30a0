"""The signed form body of a request and the JSON envelope of its reply.

Everything here works on the raw bytes the client sent: the service must
notice a parameter sent out of order, encoded in another way or signed over
other text, so nothing is decoded before it has been checked.
"""

import hashlib
import json
import re
from dataclasses import dataclass, field

import xxtea

SUCCESS = 10001

_UNRESERVED = frozenset(b"0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-_.")
_ENCODED_TEXT = re.compile(rb"(?:[0-9A-Za-z\-_.+]|%[0-9A-F]{2})*")
_DIGITS = re.compile(rb"[0-9]+")


def url_encode(data: bytes) -> bytes:
    """The client's parameter encoding: a space as "+", capital hexadecimal digits."""
    out = bytearray()
    for byte in data:
        if byte in _UNRESERVED:
            out.append(byte)
        elif byte == 0x20:
            out += b"+"
        else:
            out += b"%%%02X" % byte
    return bytes(out)


def url_decode(text: bytes) -> bytes:
    """Inverse of url_encode for text that passed the encoding check."""
    out = bytearray()
    i = 0
    while i < len(text):
        if text[i:i + 1] == b"%":
            out.append(int(text[i + 1:i + 3], 16))
            i += 3
        else:
            out += b" " if text[i:i + 1] == b"+" else text[i:i + 1]
            i += 1
    return bytes(out)


def signature(pairs: list[tuple[bytes, bytes]], salt: bytes) -> str:
    """MD5 over the pairs as sent with capital ASCII letters made small, then the salt."""
    sign_text = b"&".join(key + b"=" + value.lower() for key, value in pairs) + salt
    return hashlib.md5(sign_text).hexdigest()


@dataclass
class SignedQuery:
    """A request body taken apart: values decoded, and what was wrong with it."""
    values: dict[str, str] = field(default_factory=dict)
    sign_ok: bool = False
    problem: str = ""


def read_signed_query(body: bytes, keys: tuple[str, ...], number_keys: frozenset[str],
                      salt: bytes) -> SignedQuery:
    """Checks a body against the keys the path expects, in the order given.

    "ts" and the number keys must be plain digits; every other value must be
    exactly what url_encode makes of its UTF-8 bytes.
    """
    query = SignedQuery()
    pairs = [tuple(part.split(b"=", 1)) if b"=" in part else (part, None)
             for part in body.split(b"&")] if body else []
    if not pairs or pairs[-1][0] != b"sign" or pairs[-1][1] is None:
        query.problem = "the body does not end with the sign parameter"
        return query
    sent_sign = pairs.pop()[1]
    if any(value is None for _, value in pairs):
        query.problem = "a parameter has no '='"
        return query
    query.sign_ok = sent_sign == signature(pairs, salt).encode()
    sent_keys = tuple(key.decode("latin-1") for key, _ in pairs)
    if sent_keys != keys:
        query.problem = "parameters %s, expected %s" % (",".join(sent_keys), ",".join(keys))
        return query
    for (key, value), name in zip(pairs, keys):
        problem = _value_problem(name, value, number_keys)
        if problem:
            query.problem = problem
            return query
        query.values[name] = _decoded(name, value, number_keys)
    if not query.sign_ok:
        query.problem = "bad signature"
    return query


def _value_problem(name: str, value: bytes, number_keys: frozenset[str]) -> str:
    if name == "ts" or name in number_keys:
        return "" if _DIGITS.fullmatch(value) else "%s is not plain digits" % name
    if not _ENCODED_TEXT.fullmatch(value) or url_encode(url_decode(value)) != value:
        return "%s is not encoded as the client encodes" % name
    try:
        url_decode(value).decode("utf-8")
    except UnicodeDecodeError:
        return "%s is not UTF-8" % name
    return ""


def _decoded(name: str, value: bytes, number_keys: frozenset[str]) -> str:
    if name == "ts" or name in number_keys:
        return value.decode("ascii")
    return url_decode(value).decode("utf-8")


def envelope(code, message: str = "", data: str = "") -> bytes:
    """A reply body; "code" is passed through as given so faults can send odd types."""
    return json.dumps({"code": code, "message": message, "data": data},
                      ensure_ascii=False).encode("utf-8")


def success(result: str | None, data_key: bytes) -> bytes:
    """A success reply; None for calls that give no result (an empty "data")."""
    if result is None:
        return envelope(SUCCESS)
    return envelope(SUCCESS, data=xxtea.make_data_text(result.encode("utf-8"), data_key))


def failure(code: int, message: str) -> bytes:
    return envelope(code, message)


def to_result_text(value) -> str:
    return json.dumps(value, ensure_ascii=False)
