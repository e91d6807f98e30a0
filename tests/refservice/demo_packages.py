"""The demo catalogue's game and plug-in packages, made at the service's start.

Each package is a real ZIP archive, deflated and encrypted with its item's
password by the zip tool. The zip tool here writes names only as the bytes it
is given and never marks them as UTF-8, so it packs files under plain
placeholder names and a small rewriter then gives every entry its real name:
UTF-8 with the UTF-8 flag, or GBK without it (the ANSI code page of the
client's users). Renaming does not touch the encrypted data, whose check byte
depends on the entry's CRC or time, never on its name.
"""

import os
import random
import struct
import subprocess
import tempfile
from pathlib import Path

UTF8_FLAG = 0x0800
LOCAL_HEADER = struct.Struct("<IHHHHHIIIHH")     # signature ... name length, extra length
CENTRAL_HEADER = struct.Struct("<IHHHHHHIIIHHHHHII")
END_RECORD = struct.Struct("<IHHHHIIH")
FIXED_TIME = 1700000000


def _text(lines: int, seed: int) -> bytes:
    """Compressible game-like data, the same at every start."""
    rng = random.Random(seed)
    words = ["map", "tile", "npc", "quest", "sprite", "sound", "星海", "龙纹", "level"]
    return "\n".join(" ".join(rng.choice(words) for _ in range(12)) for _ in range(lines)).encode("utf-8")


def _exe(seed: int) -> bytes:
    rng = random.Random(seed)
    return b"MZ" + bytes(rng.getrandbits(8) for _ in range(4094))


# file name -> (password, [(entry name, name encoding, content)])
PACKAGES = {
    "xinghai_full.zip": ("xh2024", [
        ("XingHai/XingHai.exe", "utf-8", _exe(1)),
        ("XingHai/说明.txt", "utf-8", "星海征途正式版\r\n".encode("utf-8")),
        ("XingHai/data/地图/星图.pak", "utf-8", _text(6000, 2)),
        ("XingHai/data/config.ini", "utf-8", b"[game]\r\nserver=1\r\n"),
    ]),
    "xinghai_test.zip": ("xhtest", [
        ("XingHaiTest/XingHai.exe", "utf-8", _exe(3)),
        ("XingHaiTest/测试说明.txt", "utf-8", "测试服\r\n".encode("utf-8")),
    ]),
    "longwen.zip": ("lw-88", [
        ("LongWen/Game.exe", "gbk", _exe(4)),
        ("LongWen/游戏说明.txt", "gbk", "龙纹传说怀旧版\r\n".encode("gbk")),
        ("LongWen/资源/界面.dat", "gbk", _text(3000, 5)),
    ]),
    "ironharbor.zip": ("harbor", [
        ("IronHarbor/IronHarbor.exe", "utf-8", _exe(6)),
        ("IronHarbor/readme.txt", "utf-8", b"Iron Harbor client\r\n"),
    ]),
    "hit2.zip": ("hit2", [
        ("HIT2/appdata/HIT2.exe", "utf-8", _exe(8)),
    ]),
    "d4r.zip": ("d4r", [
        ("D4R_ENRU/Diablo IV.exe", "utf-8", _exe(9)),
    ]),
    "xinghai_hd.zip": ("hdpack", [
        ("XingHaiHD/高清材质.pak", "utf-8", _text(4000, 7)),
    ]),
}


def write_demo_packages(folder: Path):
    """Writes every package into the folder, replacing older copies."""
    folder.mkdir(parents=True, exist_ok=True)
    for file_name, (password, entries) in PACKAGES.items():
        write_package(folder / file_name, password, entries)


def write_package(path: Path, password: str, entries: list[tuple[str, str, bytes]]):
    with tempfile.TemporaryDirectory() as work:
        placeholders = []
        for index, (_, _, content) in enumerate(entries):
            placeholder = "entry%04d" % index
            (Path(work) / placeholder).write_bytes(content)
            os.utime(Path(work) / placeholder, (FIXED_TIME, FIXED_TIME))
            placeholders.append(placeholder)
        packed = Path(work) / "packed.zip"
        subprocess.run(["zip", "-q", "-X", "-9", "-P", password, str(packed), *placeholders],
                       cwd=work, check=True, env={**os.environ, "LC_ALL": "C"})
        names = {placeholder.encode(): _encoded_name(name, encoding)
                 for placeholder, (name, encoding, _) in zip(placeholders, entries)}
        path.write_bytes(rename_entries(packed.read_bytes(), names))


def _encoded_name(name: str, encoding: str) -> tuple[bytes, int]:
    raw = name.encode(encoding)
    flag = UTF8_FLAG if encoding == "utf-8" and raw != name.encode("ascii", "ignore") else 0
    return raw, flag


def rename_entries(archive: bytes, names: dict[bytes, tuple[bytes, int]]) -> bytes:
    """The archive with each entry renamed (and its flag bits added); entries
    keep their order, data and extra fields; no archive comment."""
    end_at = archive.rindex(b"PK\x05\x06")
    end = list(END_RECORD.unpack_from(archive, end_at))
    count, central_size, central_at = end[4], end[5], end[6]
    centrals, offset = [], central_at
    for _ in range(count):
        fields = list(CENTRAL_HEADER.unpack_from(archive, offset))
        name_len, extra_len, comment_len = fields[10], fields[11], fields[12]
        start = offset + CENTRAL_HEADER.size
        name = archive[start:start + name_len]
        tail = archive[start + name_len:start + name_len + extra_len + comment_len]
        centrals.append((fields, name, tail))
        offset = start + name_len + extra_len + comment_len
    local_starts = sorted(fields[16] for fields, _, _ in centrals) + [central_at]

    out, new_offsets = bytearray(), {}
    for fields, name, _ in sorted(centrals, key=lambda c: c[0][16]):
        at = fields[16]
        local = list(LOCAL_HEADER.unpack_from(archive, at))
        body_start = at + LOCAL_HEADER.size + local[9]
        extra = archive[body_start:body_start + local[10]]
        body = archive[body_start + local[10]:local_starts[local_starts.index(at) + 1]]
        new_name, flag = names[name]
        local[2] |= flag
        local[9] = len(new_name)
        new_offsets[at] = len(out)
        out += LOCAL_HEADER.pack(*local) + new_name + extra + body

    new_central_at = len(out)
    for fields, name, tail in centrals:
        new_name, flag = names[name]
        fields[3] |= flag
        fields[10] = len(new_name)
        fields[16] = new_offsets[fields[16]]
        out += CENTRAL_HEADER.pack(*fields) + new_name + tail
    end[5], end[6], end[7] = len(out) - new_central_at, new_central_at, 0
    out += END_RECORD.pack(*end)
    return bytes(out)
