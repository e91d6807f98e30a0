#!/usr/bin/env python3
"""Draws every picture of the uninstaller's skin.

Run once by hand after changing a drawing; its output is committed:
    scripts/draw-uninstaller-skin.py
writes skins/uninstaller/img/*.png. The shapes, the palette and the mark are
those of the client's drawing script, so both programs look alike.
"""

import importlib.util
import os

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
IMG = os.path.join(TOP, "skins", "uninstaller", "img")

_spec = importlib.util.spec_from_file_location("client_skin", os.path.join(TOP, "scripts", "draw-client-skin.py"))
skin = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(skin)
Canvas, rounded_rect, stroke, segment, circle, polyline = (
    skin.Canvas, skin.rounded_rect, skin.stroke, skin.segment, skin.circle, skin.polyline)


def save(canvas, name):
    with open(os.path.join(IMG, name), "wb") as f:
        f.write(canvas.png())


def window_pictures():
    # Nine-grid background with the window's corner of 40 and a hairline edge.
    c = Canvas(128, 128)
    c.fill(rounded_rect(0, 0, 128, 128, 40), skin.WINDOW)
    c.fill(stroke(rounded_rect(0.5, 0.5, 127.5, 127.5, 39.5), 1), skin.LINE)
    save(c, "main_bk.png")


def button_pictures():
    for name, fill in (("normal", skin.ACCENT), ("hot", skin.ACCENT_HOT), ("pushed", skin.ACCENT_PUSHED)):
        c = Canvas(16, 16)
        c.fill(rounded_rect(0, 0, 16, 16, 4), fill)
        save(c, "btn_primary_%s.png" % name)
    for name, fill in (("normal", skin.DANGER), ("hot", 0xFFEC6E67), ("pushed", skin.DANGER_PUSHED)):
        c = Canvas(16, 16)
        c.fill(rounded_rect(0, 0, 16, 16, 4), fill)
        save(c, "btn_danger_%s.png" % name)
    for name, fill, border in (("normal", skin.HOT, skin.LINE), ("hot", skin.HOT_LIGHT, 0xFF4A5568),
                               ("pushed", skin.PANEL, skin.LINE)):
        c = Canvas(16, 16)
        c.fill(rounded_rect(0, 0, 16, 16, 4), fill)
        c.fill(stroke(rounded_rect(0.5, 0.5, 15.5, 15.5, 3.5), 1), border)
        save(c, "btn_secondary_%s.png" % name)

    # The caption buttons, 28 x 28: a line glyph, a hover surface.
    def caption_button(name, glyph, hot_fill):
        for state, fill, colour in (("", None, skin.SECONDARY), ("_hot", hot_fill, skin.TEXT),
                                    ("_pushed", skin.PANEL, skin.TEXT)):
            c = Canvas(28, 28)
            if fill is not None:
                c.fill(rounded_rect(0, 0, 28, 28, 4), fill)
            for shape in glyph:
                c.fill(shape, colour)
            save(c, "%s%s.png" % (name, state))

    caption_button("min", [segment(9, 14, 19, 14, 2)], skin.HOT)
    caption_button("close", [segment(9, 9, 19, 19, 2), segment(19, 9, 9, 19, 2)], skin.DANGER)


def page_pictures():
    # The question: a ring with a small wave of goodbye in the accent.
    c = Canvas(64, 64)
    c.fill(circle(32, 32, 32), skin.PANEL)
    c.fill(stroke(circle(32, 32, 20), 2), skin.SECONDARY)
    c.fill(circle(25, 28, 2.2), skin.TEXT)
    c.fill(circle(39, 28, 2.2), skin.TEXT)
    c.fill(polyline([(24, 41), (28, 38), (36, 38), (40, 41)], 2), skin.TEXT)
    save(c, "farewell.png")
    # Done: a check mark in the accent.
    c = Canvas(64, 64)
    c.fill(circle(32, 32, 32), skin.PANEL)
    c.fill(stroke(circle(32, 32, 20), 2), skin.ACCENT)
    c.fill(polyline([(23, 33), (29, 39), (41, 26)], 3), skin.ACCENT)
    save(c, "done.png")


def main():
    os.makedirs(IMG, exist_ok=True)
    window_pictures()
    button_pictures()
    page_pictures()
    save(skin.logo(24), "logo.png")


if __name__ == "__main__":
    main()
