"""XXTEA encipherment of the web service's reply data.

A block holds the plaintext padded with zero bytes to whole 32-bit words,
followed by one word with the plaintext length; all words are little-endian.
The key is 16 bytes: a shorter key is padded with zero bytes, a longer one cut.
"""

import base64
import os
import struct

DELTA = 0x9E3779B9
MASK = 0xFFFFFFFF
DATA_PREFIX_LENGTH = 10


def _key_words(key: bytes) -> list[int]:
    return list(struct.unpack("<4I", key[:16].ljust(16, b"\0")))


def encrypt_words(words: list[int], key: bytes) -> list[int]:
    """Enciphers whole words with the corrected block TEA; one word or none stays as it is."""
    v = list(words)
    n = len(v)
    if n < 2:
        return v
    k = _key_words(key)
    total = 0
    z = v[n - 1]
    for _ in range(6 + 52 // n):
        total = (total + DELTA) & MASK
        e = (total >> 2) & 3
        for p in range(n):
            y = v[(p + 1) % n]
            mix = (((z >> 5) ^ (y << 2)) + ((y >> 3) ^ (z << 4))) ^ ((total ^ y) + (k[(p & 3) ^ e] ^ z))
            v[p] = (v[p] + mix) & MASK
            z = v[p]
    return v


def pack_words(words: list[int]) -> bytes:
    return struct.pack("<%dI" % len(words), *words)


def plaintext_words(plaintext: bytes) -> list[int]:
    """The plaintext padded to whole words, then its length word."""
    padded = plaintext.ljust((len(plaintext) + 3) // 4 * 4, b"\0")
    return list(struct.unpack("<%dI" % (len(padded) // 4), padded)) + [len(plaintext)]


def encrypt(plaintext: bytes, key: bytes) -> bytes:
    return pack_words(encrypt_words(plaintext_words(plaintext), key))


def make_data_text(result: bytes, key: bytes, prefix: bytes | None = None) -> str:
    """The "data" member of a reply: base64 of the enciphered 10-byte prefix and result text.

    Neither may hold a zero byte, since the client takes the plaintext only up
    to its first one. Without a prefix a random one is made.
    """
    if prefix is None:
        prefix = bytes(b % 255 + 1 for b in os.urandom(DATA_PREFIX_LENGTH))
    if len(prefix) != DATA_PREFIX_LENGTH or 0 in prefix:
        raise ValueError("the prefix must be 10 bytes without a zero byte")
    if 0 in result:
        raise ValueError("the result text must not hold a zero byte")
    return base64.b64encode(encrypt(prefix + result, key)).decode("ascii")
