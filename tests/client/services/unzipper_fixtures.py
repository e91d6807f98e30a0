"""Writes the ZIP archives that the unzipper's tests extract.

Archives with real compression and traditional encryption come from the zip
tool; archives whose names or data no zip tool would write (names in GBK
without the UTF-8 flag, names leading out of the destination, cut or damaged
data) are written here byte by byte. The files packed by the zip tool stay in
"src" so that the tests can compare the extracted copies with them.
"""

import os
import random
import shutil
import struct
import subprocess
import sys
import zlib

PASSWORD = "secret"
UTF8_FLAG = 0x800
STORED = 0
DEFLATED = 8


def write_sources(src: str) -> None:
    os.makedirs(os.path.join(src, "data", "sub"))
    os.makedirs(os.path.join(src, "empty"))
    rng = random.Random(20261210)
    # Larger than one copy block, so that a stop after the first block leaves a part.
    with open(os.path.join(src, "big.bin"), "wb") as f:
        f.write(bytes(rng.randrange(256) for _ in range(700_000)))
    with open(os.path.join(src, "story.txt"), "wb") as f:
        f.write(b"".join(b"line %d of a story that compresses well\n" % i for i in range(3000)))
    with open(os.path.join(src, "data", "sub", "notes.txt"), "wb") as f:
        f.write(b"notes in a folder two levels down\n")


def zip_tool(src: str, archive: str, *arguments: str) -> None:
    subprocess.run(["zip", "-q", "-X", archive, *arguments], cwd=src, check=True)


def deflate_raw(data: bytes) -> bytes:
    compressor = zlib.compressobj(9, zlib.DEFLATED, -15)
    return compressor.compress(data) + compressor.flush()


def entry(name: bytes, data: bytes, flags: int = 0, method: int = STORED, packed: bytes | None = None,
          crc: int | None = None) -> dict:
    return {
        "name": name,
        "flags": flags,
        "method": method,
        "packed": data if packed is None else packed,
        "crc": zlib.crc32(data) if crc is None else crc,
        "size": len(data),
    }


def write_zip(path: str, entries: list[dict]) -> None:
    """Local headers, central directory and end record, exactly as given."""
    dos_time, dos_date = (5 << 11) | (6 << 5) | 4, (46 << 9) | (12 << 5) | 10
    body, directory = b"", b""
    for e in entries:
        offset = len(body)
        fields = (20, e["flags"], e["method"], dos_time, dos_date, e["crc"], len(e["packed"]), e["size"])
        body += struct.pack("<I5H3I2H", 0x04034B50, *fields, len(e["name"]), 0) + e["name"] + e["packed"]
        directory += struct.pack("<I6H3I5HII", 0x02014B50, 20, *fields, len(e["name"]), 0, 0, 0, 0, 0x20, offset)
        directory += e["name"]
    end = struct.pack("<I4HIIH", 0x06054B50, 0, 0, len(entries), len(entries), len(directory), len(body), 0)
    with open(path, "wb") as f:
        f.write(body + directory + end)


def write_tool_archives(out: str, src: str) -> None:
    # Directory order: the big stored entry first, then deflated ones and folders.
    zip_tool(src, os.path.join(out, "package.zip"), "-P", PASSWORD, "-n", ".bin",
             "big.bin", "story.txt", "data/", "data/sub/", "data/sub/notes.txt", "empty/")
    zip_tool(src, os.path.join(out, "deflated.zip"), "-P", PASSWORD, "story.txt")
    zip_tool(src, os.path.join(out, "plain.zip"), "story.txt", "data/sub/notes.txt")


def write_damaged_archives(out: str) -> None:
    with open(os.path.join(out, "plain.zip"), "rb") as f:
        plain = bytearray(f.read())
    with open(os.path.join(out, "truncated.zip"), "wb") as f:
        f.write(plain[: len(plain) // 2])
    # The first entry's deflated data starts after its local header.
    name_length, extra_length = struct.unpack_from("<HH", plain, 26)
    data_start = 30 + name_length + extra_length
    for i in range(data_start + 40, data_start + 60):
        plain[i] ^= 0x5A
    with open(os.path.join(out, "corrupt.zip"), "wb") as f:
        f.write(plain)

    story = b"".join(b"a story line %d\n" % i for i in range(2000))
    write_zip(os.path.join(out, "bad_crc.zip"), [entry(b"story.txt", story, crc=zlib.crc32(story) ^ 1)])
    packed = deflate_raw(story)
    write_zip(os.path.join(out, "short_deflate.zip"),
              [entry(b"story.txt", story, method=DEFLATED, packed=packed[: len(packed) // 2])])
    write_zip(os.path.join(out, "short_stored.zip"),
              [entry(b"story.txt", story, packed=story[: len(story) // 2])])


def write_name_archives(out: str) -> None:
    write_zip(os.path.join(out, "names.zip"), [
        entry("中文目录/简体说明.txt".encode("utf-8"), b"utf-8 name", UTF8_FLAG),
        entry("游戏/补丁说明.txt".encode("gbk"), b"gbk name"),
        # 365 bytes in UTF-8: longer than a fixed 256-byte name buffer, while
        # each step stays within what the file systems take.
        entry(("长" * 60 + "/" + "长" * 60 + ".txt").encode("utf-8"), b"long name", UTF8_FLAG),
    ])
    write_zip(os.path.join(out, "probe.zip"), [entry(b"calverin-unzip-probe/probe.txt", b"probe")])
    hostile = {
        "parent": "../escaped.txt",
        "parent_backslash": "..\\escaped.txt",
        "nested_parent": "inner/../../escaped.txt",
        "parent_trailing_blank": "inner/.. /.. /escaped.txt",
        "rooted_slash": "/escaped.txt",
        "rooted_backslash": "\\escaped.txt",
        "drive": "C:\\escaped.txt",
        "drive_slash": "C:/escaped.txt",
        "drive_relative": "C:escaped.txt",
        "unc": "\\\\localhost\\share\\escaped.txt",
        "unc_slash": "//localhost/share/escaped.txt",
        "stream": "carrier.txt:escaped.txt",
    }
    for stem, name in hostile.items():
        write_zip(os.path.join(out, f"hostile_{stem}.zip"), [entry(name.encode("utf-8"), b"escaped", UTF8_FLAG)])


def main() -> None:
    out = sys.argv[1]
    shutil.rmtree(out, ignore_errors=True)
    src = os.path.join(out, "src")
    write_sources(src)
    write_tool_archives(out, src)
    write_damaged_archives(out)
    write_name_archives(out)
    with open(os.path.join(out, "fixtures.stamp"), "w") as f:
        f.write("done\n")


if __name__ == "__main__":
    main()
