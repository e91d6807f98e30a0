#!/usr/bin/env python3
"""The client's skin with the four filter boxes on the game page, for the
filter tests: a copy of skins/client whose main.xml gains the server and
version boxes of both lists, each with its "any" entry and a few more.
With --with-article the game page also shows its article tab, which the
client's own skin keeps hidden.
  make_filter_skin.py SKIN_FOLDER COPY_FOLDER [--with-article]"""
import pathlib
import shutil
import sys

SERVERS = ["不限区服", "电信一区", "网通二区", "天空岛", ""]
VERSIONS = ["不限版本", "正式版", "测试版"]


def combo(name: str, items: list[str], x: int) -> str:
    entries = "".join(f'<ListLabelElement text="{text}" />' for text in items)
    return (f'<Combo name="{name}" float="true" pos="{x},110,{x + 120},138" selectedid="0" '
            f'textcolor="#FFFFFFFF" itemtextcolor="#FFFFFFFF" dropbkcolor="#FF242A35">{entries}</Combo>')


def main() -> None:
    skin, out = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    main_xml = (skin / "main.xml").read_text(encoding="utf-8")
    boxes = "".join([combo("game_server_combo", SERVERS, 640), combo("game_version_combo", VERSIONS, 770),
                     combo("plugin_server_combo", SERVERS, 900), combo("plugin_version_combo", VERSIONS, 1030)])
    anchor = '<Control float="true" pos="307,146,1147,147"'
    if anchor not in main_xml:
        sys.exit("main.xml has no place for the filter boxes")
    main_xml = main_xml.replace(anchor, boxes + anchor, 1)
    if "--with-article" in sys.argv[3:]:
        hidden_tab = '<Option name="article_opt" float="true" pos="523,106,623,142" group="game_child_page_group" visible="false"'
        if hidden_tab not in main_xml:
            sys.exit("main.xml has no hidden article tab")
        main_xml = main_xml.replace(hidden_tab, hidden_tab.replace(' visible="false"', ''), 1)
    shutil.rmtree(out, ignore_errors=True)
    shutil.copytree(skin, out)
    (out / "main.xml").write_text(main_xml, encoding="utf-8")


if __name__ == "__main__":
    main()
