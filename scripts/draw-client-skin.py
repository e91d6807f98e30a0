#!/usr/bin/env python3
"""Draws every picture of the client's skin and the program icon.

Run once by hand after changing a drawing; its output is committed:
    scripts/draw-client-skin.py
writes skins/client/img/*.png and client/resources/calverin.ico.

Nothing here is taken from elsewhere: each picture is built from a few
shapes (rounded rectangles, circles, strokes, polygons) given as signed
distance functions, covered with one pixel of anti-aliasing, in the palette
of the skin style. The PNG files carry straight alpha (the framework
premultiplies them when it loads them); the icon holds 16, 32 and 48 pixel
32-bit images.
"""

import math
import os
import struct
import zlib

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
IMG = os.path.join(TOP, "skins", "client", "img")
ICON = os.path.join(TOP, "client", "resources", "calverin.ico")

# The palette, as 0xAARRGGBB.
WINDOW = 0xFF1B1F27
PANEL = 0xFF242A35
LINE = 0xFF3C3C3C
HOT = 0xFF2F3745
HOT_LIGHT = 0xFF3A4454
TEXT = 0xFFFFFFFF
SECONDARY = 0xFFA1A1A1
ACCENT = 0xFF43CF7C
ACCENT_HOT = 0xFF5AD98F
ACCENT_PUSHED = 0xFF34B368
DANGER = 0xFFE5534B
DANGER_PUSHED = 0xFFC9443D
DISABLED = 0xFF2A2F3A
DISABLED_TEXT = 0xFF5C6370
MASK = 0x99000000


def rgba(argb, alpha_scale=1.0):
    return ((argb >> 16) & 255, (argb >> 8) & 255, argb & 255, ((argb >> 24) & 255) / 255.0 * alpha_scale)


def lerp_colour(a, b, t):
    t = min(max(t, 0.0), 1.0)
    ca, cb = rgba(a), rgba(b)
    return tuple(ca[i] + (cb[i] - ca[i]) * t for i in range(4))


class Canvas:
    """Straight-alpha RGBA pixels, painted with the "over" operator."""

    def __init__(self, width, height):
        self.w = width
        self.h = height
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]

    def blend(self, x, y, colour, coverage):
        r, g, b, a = colour
        a *= coverage
        if a <= 0.0:
            return
        p = self.px[y * self.w + x]
        out_a = a + p[3] * (1.0 - a)
        if out_a <= 0.0:
            return
        for i, c in enumerate((r, g, b)):
            p[i] = (c * a + p[i] * p[3] * (1.0 - a)) / out_a
        p[3] = out_a

    def fill(self, sdf, colour, box=None):
        """Covers every pixel by how far its centre lies inside the shape.
        `colour` is an ARGB number or a function of (x, y) giving RGBA."""
        x0, y0, x1, y1 = box if box else (0, 0, self.w, self.h)
        x0, y0 = max(0, int(math.floor(x0)) - 1), max(0, int(math.floor(y0)) - 1)
        x1, y1 = min(self.w, int(math.ceil(x1)) + 1), min(self.h, int(math.ceil(y1)) + 1)
        shade = colour if callable(colour) else (lambda c: (lambda x, y: c))(rgba(colour))
        for y in range(y0, y1):
            for x in range(x0, x1):
                d = sdf(x + 0.5, y + 0.5)
                coverage = min(max(0.5 - d, 0.0), 1.0)
                if coverage > 0.0:
                    self.blend(x, y, shade(x + 0.5, y + 0.5), coverage)

    def scanlines(self):
        rows = bytearray()
        for y in range(self.h):
            rows.append(0)
            for x in range(self.w):
                r, g, b, a = self.px[y * self.w + x]
                rows += bytes((round(r), round(g), round(b), round(a * 255)))
        return bytes(rows)

    def png(self):
        return png_bytes(self.w, self.h, self.scanlines())


def png_bytes(width, height, scanlines):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(scanlines, 9)) +
            chunk(b"IEND", b""))


def apng_bytes(frames, delay_num, delay_den):
    """An animated PNG that loops for ever: every frame covers the whole image,
    replaces what was there and stays until the next; the first frame is also
    the still image."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    width, height = frames[0].w, frames[0].h
    out = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    out += chunk(b"acTL", struct.pack(">II", len(frames), 0))
    sequence = 0
    for i, frame in enumerate(frames):
        out += chunk(b"fcTL", struct.pack(">IIIIIHHBB", sequence, width, height, 0, 0, delay_num, delay_den, 0, 0))
        sequence += 1
        data = zlib.compress(frame.scanlines(), 9)
        if i == 0:
            out += chunk(b"IDAT", data)
        else:
            out += chunk(b"fdAT", struct.pack(">I", sequence) + data)
            sequence += 1
    return out + chunk(b"IEND", b"")


# Signed distances: negative inside, in pixels.

def rounded_rect(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r

    def d(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return d


def corner_rect(x0, y0, x1, y1, r, corners):
    """A rectangle whose named corners ("tl", "tr", "bl", "br") are rounded."""
    plain = rounded_rect(x0, y0, x1, y1, 0)
    centres = {"tl": (x0 + r, y0 + r), "tr": (x1 - r, y0 + r), "bl": (x0 + r, y1 - r), "br": (x1 - r, y1 - r)}

    def d(x, y):
        for name in corners:
            cx, cy = centres[name]
            inside_x = x < cx if name[1] == "l" else x > cx
            inside_y = y < cy if name[0] == "t" else y > cy
            if inside_x and inside_y:
                return math.hypot(x - cx, y - cy) - r
        return plain(x, y)
    return d


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def segment(ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy or 1e-9

    def d(x, y):
        t = min(max(((x - ax) * dx + (y - ay) * dy) / length2, 0.0), 1.0)
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - width / 2.0
    return d


def polyline(points, width):
    parts = [segment(*points[i], *points[i + 1], width) for i in range(len(points) - 1)]
    return lambda x, y: min(p(x, y) for p in parts)


def polygon(points):
    n = len(points)

    def d(x, y):
        best = float("inf")
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            ex, ey = bx - ax, by - ay
            t = min(max(((x - ax) * ex + (y - ay) * ey) / (ex * ex + ey * ey), 0.0), 1.0)
            best = min(best, math.hypot(x - ax - t * ex, y - ay - t * ey))
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / (by - ay):
                inside = not inside
        return -best if inside else best
    return d


def stroke(shape, width):
    """The outline of a shape, `width` pixels wide, centred on its edge."""
    return lambda x, y: abs(shape(x, y)) - width / 2.0


def cut(shape, away):
    """The shape less another."""
    return lambda x, y: max(shape(x, y), -away(x, y))


def upper_part(y_limit):
    """Everything above the line y = y_limit."""
    return lambda x, y: y - y_limit


def intersect(*shapes):
    return lambda x, y: max(s(x, y) for s in shapes)


def vertical(top, bottom, y0, y1):
    return lambda x, y: lerp_colour(top, bottom, (y - y0) / float(y1 - y0))


# Line icons: 2-pixel strokes on a 24-pixel grid, scaled and placed.

def gamepad(c, ox, oy, s, colour, width=2.0):
    body = rounded_rect(ox + 2 * s, oy + 6 * s, ox + 22 * s, oy + 18 * s, 5 * s)
    c.fill(stroke(body, width), colour)
    c.fill(segment(ox + 7 * s, oy + 10 * s, ox + 7 * s, oy + 14 * s, width), colour)
    c.fill(segment(ox + 5 * s, oy + 12 * s, ox + 9 * s, oy + 12 * s, width), colour)
    c.fill(circle(ox + 15.5 * s, oy + 11 * s, 1.3 * s), colour)
    c.fill(circle(ox + 18 * s, oy + 13.5 * s, 1.3 * s), colour)


def apps_grid(c, ox, oy, colour):
    for gx, gy in ((3, 3), (13, 3), (3, 13), (13, 13)):
        c.fill(stroke(rounded_rect(ox + gx, oy + gy, ox + gx + 8, oy + gy + 8, 2), 2), colour)


def plus(c, cx, cy, half, colour, width=2.0):
    c.fill(segment(cx - half, cy, cx + half, cy, width), colour)
    c.fill(segment(cx, cy - half, cx, cy + half, width), colour)


def cross(c, cx, cy, half, colour, width=2.0):
    c.fill(segment(cx - half, cy - half, cx + half, cy + half, width), colour)
    c.fill(segment(cx - half, cy + half, cx + half, cy - half, width), colour)


def headset(c, ox, oy, colour):
    arc = intersect(stroke(circle(ox + 12, oy + 13, 8), 2), upper_part(oy + 14))
    c.fill(arc, colour)
    c.fill(rounded_rect(ox + 3, oy + 12, ox + 7, oy + 19, 1.5), colour)
    c.fill(rounded_rect(ox + 17, oy + 12, ox + 21, oy + 19, 1.5), colour)


def person(c, ox, oy, s, colour, width=2.0):
    c.fill(stroke(circle(ox + 12 * s, oy + 8.5 * s, 4 * s), width), colour)
    shoulders = intersect(stroke(circle(ox + 12 * s, oy + 22 * s, 8 * s), width), upper_part(oy + 21 * s))
    c.fill(shoulders, colour)


def magnifier(c, ox, oy, colour):
    c.fill(stroke(circle(ox + 10.5, oy + 10.5, 6), 2), colour)
    c.fill(segment(ox + 15, oy + 15, ox + 20, oy + 20, 2.2), colour)


def lock(c, ox, oy, colour):
    c.fill(stroke(rounded_rect(ox + 3, oy + 7, ox + 13, oy + 14, 1.5), 1.6), colour)
    c.fill(intersect(stroke(circle(ox + 8, oy + 6, 3), 1.6), upper_part(oy + 6.5)), colour)
    c.fill(segment(ox + 5, oy + 6, ox + 5, oy + 7.5, 1.6), colour)
    c.fill(segment(ox + 11, oy + 6, ox + 11, oy + 7.5, 1.6), colour)


def chain(c, ox, oy, colour):
    c.fill(stroke(rounded_rect(ox + 1.5, oy + 5, ox + 9, oy + 11, 3), 1.6), colour)
    c.fill(stroke(rounded_rect(ox + 7, oy + 5, ox + 14.5, oy + 11, 3), 1.6), colour)


def exit_door(c, ox, oy, colour):
    c.fill(polyline([(ox + 8, oy + 2.5), (ox + 3, oy + 2.5), (ox + 3, oy + 13.5), (ox + 8, oy + 13.5)], 1.6), colour)
    c.fill(segment(ox + 6.5, oy + 8, ox + 14, oy + 8, 1.6), colour)
    c.fill(polyline([(ox + 11, oy + 5), (ox + 14, oy + 8), (ox + 11, oy + 11)], 1.6), colour)


def save(canvas, name):
    with open(os.path.join(IMG, name), "wb") as f:
        f.write(canvas.png())


# The window, its panels and its fields.

def window_pictures():
    c = Canvas(64, 64)
    c.fill(rounded_rect(0, 0, 64, 64, 20), WINDOW)
    save(c, "bk.png")

    # The mask that a dialog lays over the main window, rounded like it.
    c = Canvas(64, 64)
    c.fill(rounded_rect(0, 0, 64, 64, 20), MASK)
    save(c, "bkmask.png")

    # The navigation panels: the window's bottom-left corner and a line on the right.
    c = Canvas(60, 60)
    c.fill(corner_rect(0, 0, 60, 60, 20, ["bl"]), PANEL)
    c.fill(rounded_rect(59, 0, 60, 60, 0), LINE)
    save(c, "rail.png")

    # Dialog panels and menus.
    c = Canvas(32, 32)
    c.fill(rounded_rect(0, 0, 32, 32, 8), PANEL)
    c.fill(stroke(rounded_rect(0.5, 0.5, 31.5, 31.5, 7.5), 1), LINE)
    save(c, "panel.png")

    c = Canvas(32, 36)
    c.fill(rounded_rect(0, 0, 32, 36, 4), PANEL)
    c.fill(stroke(rounded_rect(0.5, 0.5, 31.5, 35.5, 3.5), 1), LINE)
    save(c, "field.png")

    # The game page's shade over its background picture: the caption band
    # stays readable, the lists sit on the window's own colour.
    c = Canvas(4, 800)
    stops = [(0, 0.70), (90, 0.45), (150, 0.55), (300, 0.88), (800, 0.96)]
    for y in range(800):
        for (ya, aa), (yb, ab) in zip(stops, stops[1:]):
            if ya <= y <= yb:
                a = aa + (ab - aa) * (y - ya) / float(yb - ya)
                break
        for x in range(4):
            c.blend(x, y, rgba(WINDOW, a), 1.0)
    save(c, "pageshade.png")

    c = Canvas(2, 16)
    c.fill(rounded_rect(0, 0, 2, 16, 1), 0xFF5C6370)
    save(c, "scroll_thumb.png")

    c = Canvas(32, 3)
    c.fill(rounded_rect(0, 0, 32, 3, 1.5), ACCENT)
    save(c, "tab_sel.png")


def button_pictures():
    for name, fill in (("normal", ACCENT), ("hot", ACCENT_HOT), ("pushed", ACCENT_PUSHED), ("disabled", DISABLED)):
        c = Canvas(16, 16)
        c.fill(rounded_rect(0, 0, 16, 16, 4), fill)
        save(c, "btn_primary_%s.png" % name)
    for name, fill, border in (("normal", HOT, LINE), ("hot", HOT_LIGHT, 0xFF4A5568), ("pushed", PANEL, LINE)):
        c = Canvas(16, 16)
        c.fill(rounded_rect(0, 0, 16, 16, 4), fill)
        c.fill(stroke(rounded_rect(0.5, 0.5, 15.5, 15.5, 3.5), 1), border)
        save(c, "btn_secondary_%s.png" % name)

    # The caption band's buttons, 32 x 32, with a hover surface.
    def caption_button(name, glyph, hot_fill, pushed_fill):
        for state, fill, colour in (("", None, SECONDARY), ("_hot", hot_fill, TEXT), ("_pushed", pushed_fill, TEXT)):
            c = Canvas(32, 32)
            if fill is not None:
                c.fill(rounded_rect(0, 0, 32, 32, 4), fill)
            glyph(c, colour)
            save(c, name + state + ".png")

    caption_button("close", lambda c, col: cross(c, 16, 16, 5.5, col), DANGER, DANGER_PUSHED)
    caption_button("min", lambda c, col: c.fill(segment(10, 16, 22, 16, 2), col), HOT, PANEL)
    caption_button("service", lambda c, col: headset(c, 4, 4, col), HOT, PANEL)
    caption_button("user", lambda c, col: person(c, 4, 4, 1.0, col), HOT, PANEL)

    # The navigation's icons and their hover surfaces.
    c = Canvas(24, 24)
    gamepad(c, 0, 0, 1.0, SECONDARY)
    save(c, "nav_games.png")
    c = Canvas(24, 24)
    apps_grid(c, 0, 0, SECONDARY)
    save(c, "nav_apps.png")
    c = Canvas(24, 24)
    person(c, 0, 0, 1.0, SECONDARY)
    save(c, "nav_user.png")
    c = Canvas(40, 40)
    c.fill(rounded_rect(0, 0, 40, 40, 8), HOT)
    save(c, "nav_hot.png")
    # Hover and selection of the wide list's entries (195 x 40).
    c = Canvas(195, 40)
    c.fill(rounded_rect(0, 0, 195, 40, 20), HOT)
    save(c, "ellipseh.png")

    # The add entry of both game lists.
    c = Canvas(30, 30)
    c.fill(stroke(circle(15, 15, 13.5), 2), SECONDARY)
    plus(c, 15, 15, 6, SECONDARY)
    save(c, "gameadd.png")

    c = Canvas(24, 24)
    magnifier(c, 1, 1, SECONDARY)
    save(c, "search.png")
    c = Canvas(24, 24)
    magnifier(c, 1, 1, ACCENT)
    save(c, "search_hot.png")
    c = Canvas(24, 24)
    magnifier(c, 1, 1, DISABLED_TEXT)
    save(c, "search_disabled.png")

    # The user menu's icons, 16 x 16.
    for name, glyph in (("menu_bind", chain), ("menu_password", lock), ("menu_logout", exit_door)):
        c = Canvas(16, 16)
        glyph(c, 0, 0, SECONDARY)
        save(c, name + ".png")
    c = Canvas(16, 16)
    person(c, 0, 0, 16 / 24.0, ACCENT, 1.6)
    save(c, "menu_user.png")


def row_pictures():
    """Pictures of the item rows, whose rectangles the code fixes: the
    download and view buttons are 67 x 24 with their text 27 pixels in,
    the cancel button 24 x 24, the progress bar the row's 64 pixels high."""
    def row_button(name, border, fill, glyph, colour):
        c = Canvas(67, 24)
        if fill is not None:
            c.fill(rounded_rect(0, 0, 67, 24, 4), fill)
        c.fill(stroke(rounded_rect(0.5, 0.5, 66.5, 23.5, 3.5), 1), border)
        glyph(c, colour)
        save(c, name)

    def arrow_down(c, colour):
        c.fill(segment(15, 6, 15, 15, 1.8), colour)
        c.fill(polyline([(11, 11.5), (15, 15.5), (19, 11.5)], 1.8), colour)
        c.fill(segment(10, 18.5, 20, 18.5, 1.8), colour)

    def folder(c, colour):
        c.fill(stroke(polygon([(9, 7), (13, 7), (15, 9), (21, 9), (21, 18), (9, 18)]), 1.6), colour)

    row_button("download.png", ACCENT, None, arrow_down, ACCENT)
    row_button("download_hot.png", ACCENT_HOT, 0x3343CF7C, arrow_down, ACCENT_HOT)
    row_button("view.png", 0xFF4A5568, None, folder, SECONDARY)
    row_button("view_hot.png", 0xFF5C6370, HOT, folder, TEXT)

    c = Canvas(24, 24)
    c.fill(stroke(circle(12, 12, 10), 1.8), DANGER)
    cross(c, 12, 12, 3.8, DANGER, 1.8)
    save(c, "cancel.png")

    c = Canvas(8, 64)
    c.fill(rounded_rect(0, 0, 8, 64, 0), 0x2643CF7C)
    c.fill(rounded_rect(0, 62, 8, 64, 0), ACCENT)
    save(c, "process.png")


def default_pictures():
    """Stand-ins for pictures that the web service did not deliver."""
    def tile(width, height, radius, top, bottom, glyph_scale):
        c = Canvas(width, height)
        c.fill(rounded_rect(0, 0, width, height, radius), vertical(top, bottom, 0, height))
        s = glyph_scale
        gamepad(c, width / 2.0 - 12 * s, height / 2.0 - 12 * s, s, 0xFF5C6370, 2.0 * max(1.0, s * 0.8))
        return c

    save(tile(40, 40, 6, 0xFF2F3745, 0xFF262C37, 1.0), "GameIconDef.png")
    save(tile(139, 199, 6, 0xFF2F3745, 0xFF20252F, 2.2), "CategoryInfoBigIconDef.png")
    save(tile(180, 100, 6, 0xFF2F3745, 0xFF232831, 1.8), "CategoryInfoLogoIconDef.png")
    save(tile(180, 100, 6, 0xFF2F3745, 0xFF232831, 1.8), "CategoryInfoIconDef.png")

    c = Canvas(40, 40)
    c.fill(rounded_rect(0, 0, 40, 40, 6), vertical(0xFF2F3745, 0xFF262C37, 0, 40))
    c.fill(stroke(rounded_rect(13, 14, 27, 27, 3), 2), 0xFF5C6370)
    c.fill(segment(17, 9, 17, 14, 2), 0xFF5C6370)
    c.fill(segment(23, 9, 23, 14, 2), 0xFF5C6370)
    c.fill(segment(20, 27, 20, 32, 2), 0xFF5C6370)
    save(c, "PluginIconDef.png")

    # The advertisement's stand-in: soft accent light over the panel colour.
    c = Canvas(180, 240)
    c.fill(rounded_rect(0, 0, 180, 240, 6), vertical(0xFF263040, 0xFF1E232C, 0, 240))
    c.fill(intersect(circle(150, 40, 90), rounded_rect(0, 0, 180, 240, 6)), 0x1A43CF7C)
    c.fill(intersect(circle(30, 230, 70), rounded_rect(0, 0, 180, 240, 6)), 0x1443CF7C)
    gamepad(c, 90 - 24, 120 - 24, 2.0, 0xFF5C6370, 3.0)
    save(c, "CategoryInfoSlideIconDef.png")

    # The game page's background stand-in, stretched over the whole window.
    c = Canvas(600, 400)
    c.fill(rounded_rect(0, 0, 600, 400, 0), vertical(0xFF25324A, 0xFF1B1F27, 0, 300))
    for cx, cy, r, colour in ((470, 40, 160, 0x2643CF7C), (120, 10, 120, 0x1A5A8DEE), (330, 150, 90, 0x10FFFFFF)):
        c.fill(circle(cx, cy, r), colour)
    save(c, "CategoryInfoBgIconDef.png")


def accelerator_pictures():
    """The built-in icons of the three accelerator programs, 40 x 40."""
    def badge(name, top, bottom, glyph):
        c = Canvas(40, 40)
        c.fill(rounded_rect(0, 0, 40, 40, 8), vertical(top, bottom, 0, 40))
        glyph(c)
        save(c, name)

    badge("ostrel.png", 0xFF4C8DF6, 0xFF2F64C9,
          lambda c: c.fill(polygon([(22, 6), (11, 22), (19, 22), (17, 34), (29, 16), (21, 16)]), TEXT))
    badge("pellinor.png", 0xFF8E6CF0, 0xFF6446C6,
          lambda c: (c.fill(polygon([(20, 7), (31, 11), (30, 22), (20, 33), (10, 22), (9, 11)]), TEXT),
                     c.fill(polyline([(15, 20), (19, 24), (26, 15)], 2.4), 0xFF6446C6)))
    badge("tamsk.png", 0xFFF29A4A, 0xFFD9702A,
          lambda c: (c.fill(polyline([(11, 23), (20, 14), (29, 23)], 3.2), TEXT),
                     c.fill(polyline([(11, 31), (20, 22), (29, 31)], 3.2), 0xB3FFFFFF)))


def logo(size):
    """The product's mark: an open ring on the accent, scaled to `size`."""
    s = size / 32.0
    c = Canvas(size, size)
    c.fill(rounded_rect(0, 0, size, size, 8 * s), vertical(ACCENT_HOT, ACCENT_PUSHED, 0, size))
    ring = stroke(circle(16 * s, 16 * s, 8 * s), 4 * s)
    opening = polygon([(16 * s, 16 * s), (32 * s, 8 * s), (32 * s, 24 * s)])
    c.fill(cut(ring, opening), WINDOW)
    c.fill(circle(22.5 * s, 16 * s, 2.2 * s), WINDOW)
    return c


# The busy mark of the wait overlay: twelve accent dots on a ring, the
# brightest one running round clockwise, one step per twelfth of a second.

def loading_picture():
    dots = 12
    frames = []
    for step in range(dots):
        c = Canvas(50, 50)
        for k in range(dots):
            angle = 2 * math.pi * k / dots - math.pi / 2
            x, y = 25 + 18 * math.cos(angle), 25 + 18 * math.sin(angle)
            behind = (step - k) % dots
            brightness = 1.0 - 0.8 * behind / (dots - 1)
            radius = 3.6 if behind == 0 else 3.0
            shade = lerp_colour(ACCENT & 0x00FFFFFF, ACCENT, brightness)
            c.fill(circle(x, y, radius), lambda px, py, shade=shade: shade, (x - 5, y - 5, x + 5, y + 5))
        frames.append(c)
    with open(os.path.join(IMG, "loading.png"), "wb") as f:
        f.write(apng_bytes(frames, 1, 12))


def icon_file(sizes):
    """An icon file of 32-bit images, each with its all-zero AND mask."""
    images = []
    for size in sizes:
        c = logo(size)
        pixels = bytearray()
        for y in reversed(range(size)):
            for x in range(size):
                r, g, b, a = c.px[y * size + x]
                pixels += bytes((round(b), round(g), round(r), round(a * 255)))
        mask_row = ((size + 31) // 32) * 4
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + mask_row * size, 0, 0, 0, 0)
        images.append((size, header + bytes(pixels) + bytes(mask_row * size)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


# The combo boxes: a field with a drop arrow in its right 32 pixels, which
# the nine-grid corner "4,4,32,4" keeps unstretched.
def combo_pictures():
    looks = {
        "normal": (PANEL, LINE, SECONDARY),
        "hot": (HOT, HOT_LIGHT, TEXT),
        "pushed": (HOT, ACCENT, ACCENT),
        "disabled": (DISABLED, DISABLED, DISABLED_TEXT),
    }
    for name, (fill, border, arrow) in looks.items():
        c = Canvas(64, 36)
        c.fill(rounded_rect(0, 0, 64, 36, 4), fill)
        c.fill(stroke(rounded_rect(0.5, 0.5, 63.5, 35.5, 3.5), 1), border)
        c.fill(polyline([(43, 15), (48, 20), (53, 15)], 2.0), arrow)
        save(c, "combo_%s.png" % name)


# The sign-in, password and sign-out windows.

def dialog_pictures():
    # Field looks beside field.png: the accent border while focused, the
    # disabled surface without one.
    c = Canvas(32, 36)
    c.fill(rounded_rect(0, 0, 32, 36, 4), PANEL)
    c.fill(stroke(rounded_rect(0.5, 0.5, 31.5, 35.5, 3.5), 1), ACCENT)
    save(c, "field_focused.png")

    c = Canvas(32, 36)
    c.fill(rounded_rect(0, 0, 32, 36, 4), DISABLED)
    save(c, "field_disabled.png")

    # A link button's hover: a quiet surface behind its text.
    c = Canvas(16, 16)
    c.fill(rounded_rect(0, 0, 16, 16, 4), HOT)
    save(c, "link_hot.png")

    # The sign-out picture over its panel: a door in an accent ring.
    c = Canvas(96, 96)
    c.fill(circle(48, 48, 47), PANEL)
    c.fill(stroke(circle(48, 48, 46), 2), ACCENT)
    k, ox, oy = 3.0, 24, 24
    c.fill(polyline([(ox + 8 * k, oy + 2.5 * k), (ox + 3 * k, oy + 2.5 * k), (ox + 3 * k, oy + 13.5 * k),
                     (ox + 8 * k, oy + 13.5 * k)], 4), ACCENT)
    c.fill(segment(ox + 6.5 * k, oy + 8 * k, ox + 14 * k, oy + 8 * k, 4), ACCENT)
    c.fill(polyline([(ox + 11 * k, oy + 5 * k), (ox + 14 * k, oy + 8 * k), (ox + 11 * k, oy + 11 * k)], 4), ACCENT)
    save(c, "logout_pic.png")


# The folder and binding windows: the uninstall button's danger looks and
# the binding window's picture.

def folder_and_binding_pictures():
    # Quiet at rest (a danger outline), filled under the mouse: the removal
    # should never look like the window's default answer.
    for name, fill, border in (("normal", None, DANGER), ("hot", DANGER, DANGER), ("pushed", DANGER_PUSHED,
                                                                                   DANGER_PUSHED)):
        c = Canvas(16, 16)
        if fill is not None:
            c.fill(rounded_rect(0, 0, 16, 16, 4), fill)
        c.fill(stroke(rounded_rect(0.5, 0.5, 15.5, 15.5, 3.5), 1), border)
        save(c, "btn_danger_%s.png" % name)

    # A speed gauge in an accent ring: the accelerator the user binds.
    c = Canvas(64, 64)
    c.fill(circle(32, 32, 31), PANEL)
    c.fill(stroke(circle(32, 32, 30), 2), ACCENT)
    c.fill(intersect(stroke(circle(32, 36, 16), 3), upper_part(38)), TEXT)
    for angle in (200, 240, 270, 300, 340):
        a = math.radians(angle)
        c.fill(segment(32 + 10 * math.cos(a), 36 + 10 * math.sin(a), 32 + 13 * math.cos(a),
                       36 + 13 * math.sin(a), 2), SECONDARY)
    c.fill(segment(32, 36, 41, 26, 3), ACCENT)
    c.fill(circle(32, 36, 3.5), ACCENT)
    c.fill(segment(22, 45, 42, 45, 2), SECONDARY)
    save(c, "bind_pic.png")


def main():
    os.makedirs(IMG, exist_ok=True)
    os.makedirs(os.path.dirname(ICON), exist_ok=True)
    window_pictures()
    button_pictures()
    row_pictures()
    default_pictures()
    accelerator_pictures()
    loading_picture()
    combo_pictures()
    dialog_pictures()
    folder_and_binding_pictures()
    save(logo(32), "logo.png")
    with open(ICON, "wb") as f:
        f.write(icon_file((16, 32, 48)))


if __name__ == "__main__":
    main()
