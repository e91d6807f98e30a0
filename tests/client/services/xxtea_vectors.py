"""Writes XXTEA vectors made by the reference service's encipherer for the client's tests.

Lines, fields separated by ":" (hex fields may be empty):
  block:KEY:PLAINTEXT:CIPHERTEXT      a valid block and its plaintext
  badlength:KEY:CIPHERTEXT            a block whose stored length is out of range
  data:KEY:RESULT:DATA                a reply's "data" text (base64) and the result text it carries
"""

import os
import random
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "refservice"))
import xxtea  # noqa: E402

KEYS = [b"", b"short", b"0123456789abcdef", b"0123456789abcdef-and-more", bytes(range(0xF0, 0x100))]


def block_lines(rng: random.Random) -> list[str]:
    lines = []
    for key in KEYS:
        for length in range(41):
            plaintext = bytes(rng.randrange(256) for _ in range(length))
            lines.append(f"block:{key.hex()}:{plaintext.hex()}:{xxtea.encrypt(plaintext, key).hex()}")
    return lines


def bad_length_lines() -> list[str]:
    key = b"0123456789abcdef"
    lines = []
    for padding_words, stored_length in [(1, 5), (2, 4), (2, 9), (3, 0), (3, 0xFFFFFFFF)]:
        words = [0x61626364] * padding_words + [stored_length]
        lines.append(f"badlength:{key.hex()}:{xxtea.pack_words(xxtea.encrypt_words(words, key)).hex()}")
    return lines


def data_lines() -> list[str]:
    results = [b"", b"{}", '{"user_name":"玩家一号","token":"t0k3n"}'.encode(), b"x" * 300]
    lines = []
    for key in [b"Kp3sJd8YhF1uGe6R", b"k"]:
        for result in results:
            lines.append(f"data:{key.hex()}:{result.hex()}:{xxtea.make_data_text(result, key)}")
    return lines


def check_published_vector() -> None:
    """Both sides could share one misreading of the algorithm; the published vector rules that out."""
    if xxtea.encrypt_words([0, 0], bytes(16)) != [0x053704AB, 0x575D8C80]:
        sys.exit("the reference encipherer does not match the published XXTEA vector")


def main() -> None:
    check_published_vector()
    rng = random.Random(20240501)
    lines = block_lines(rng) + bad_length_lines() + data_lines()
    os.makedirs(os.path.dirname(os.path.abspath(sys.argv[1])), exist_ok=True)
    with open(sys.argv[1], "w", encoding="ascii", newline="\n") as out:
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
