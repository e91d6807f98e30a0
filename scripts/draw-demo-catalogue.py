#!/usr/bin/env python3
"""Draws the pictures of the reference service's demo catalogue.

Run once by hand after changing a drawing; its output is committed:
    scripts/draw-demo-catalogue.py [NAME...]
writes tests/refservice/files/category/<game>_<kind>.png (a game's tile,
logo, advertisement, page background and small icon) and
tests/refservice/files/icons/<row>.png (the icons of the game, plug-in and
accelerator rows), or only the files whose names start with one of the NAMEs.
The service names each picture by the digest of its content, so a new drawing
is a new picture to every client cache.

Each game has a world of its own colours (a star sea, a dragon before a
setting sun, a harbour at dusk, misty mountains over the sea) that its
pictures show at their sizes, with the game's name lettered as it is written.
The shapes and the PNG writing are those of the client skin's drawing
script; ImageMagick only letters the names (WenQuanYi Micro Hei for Chinese,
DejaVu, which comes with fontconfig, for Latin), as grey masks that are
painted here. The page background takes a minute or so: it is drawn pixel by
pixel at the window's 1200 x 800.
"""

import importlib.util
import math
import os
import random
import re
import subprocess
import sys

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FILES = os.path.join(TOP, "tests", "refservice", "files")

_spec = importlib.util.spec_from_file_location("client_skin", os.path.join(TOP, "scripts", "draw-client-skin.py"))
skin = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(skin)
Canvas, rounded_rect, stroke, segment, circle, polyline, polygon, intersect, upper_part, rgba, lerp_colour = (
    skin.Canvas, skin.rounded_rect, skin.stroke, skin.segment, skin.circle, skin.polyline, skin.polygon,
    skin.intersect, skin.upper_part, skin.rgba, skin.lerp_colour)

HEI = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
SANS_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
CONDENSED_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf"
SERIF_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf"

WHITE = 0xFFFFFFFF

# The sizes at which the client shows them: the tile's picture, the game
# page's logo and advertisement, the window behind the page, the entries of
# the user's own games and the rows.
TILE = (139, 199)
LOGO = (180, 100)
SLIDE = (180, 240)
BACKGROUND = (1200, 800)
CATEGORY_ICON = 30
ROW_ICON = 40


# Lettering: ImageMagick draws the text white on black, trimmed to its ink
# and bordered by a margin (room for a blur), and hands back the grey levels.

class Mask:
    def __init__(self, width, height, levels):
        self.w, self.h, self.levels = width, height, levels


def lettering(text, size, font=HEI, weight=0.0, spacing=0.0, blur=0.0, margin=0, line_gap=None):
    args = ["convert", "-background", "black", "-fill", "white", "-font", font, "-pointsize", str(size),
            "-gravity", "center"]
    if spacing:
        args += ["-kerning", str(spacing)]
    if line_gap is not None:
        args += ["-interline-spacing", str(line_gap)]
    if weight:
        args += ["-stroke", "white", "-strokewidth", str(weight)]
    args += ["label:" + text, "-trim", "+repage", "-bordercolor", "black", "-border", str(margin)]
    if blur:
        args += ["-blur", "0x%g" % blur]
    args += ["-depth", "8", "pgm:-"]
    out = subprocess.run(args, check=True, stdout=subprocess.PIPE).stdout
    head = re.match(rb"P5\s+(\d+)\s+(\d+)\s+(\d+)\s", out)
    width, height = int(head.group(1)), int(head.group(2))
    return Mask(width, height, out[head.end():head.end() + width * height])


def paint(c, mask, cx, cy, colour, opacity=1.0):
    """Covers the canvas with the colour through the mask, centred on (cx, cy)."""
    shade = colour if callable(colour) else tone(rgba(colour))
    left, top = int(round(cx - mask.w / 2.0)), int(round(cy - mask.h / 2.0))
    for my in range(mask.h):
        y = top + my
        if not 0 <= y < c.h:
            continue
        row = my * mask.w
        for mx in range(mask.w):
            level = mask.levels[row + mx]
            x = left + mx
            if level and 0 <= x < c.w:
                c.blend(x, y, shade(x + 0.5, y + 0.5), level / 255.0 * opacity)


def title(c, text, cx, cy, size, fill, font=HEI, weight=0.0, spacing=0.0, outline=None, glow=None,
          shadow=0.55, line_gap=None):
    """A name as a poster letters it: a soft shadow, a glow or an outline, then the fill."""
    margin = max(4, int(size / 4))
    if shadow:
        soft = lettering(text, size, font, weight + 1, spacing, size / 10.0, margin, line_gap)
        paint(c, soft, cx, cy + size / 14.0, 0xFF000000, shadow)
    if glow is not None:
        halo = lettering(text, size, font, weight + 2, spacing, size / 6.0, margin, line_gap)
        paint(c, halo, cx, cy, glow, 0.9)
    if outline is not None:
        ring = lettering(text, size, font, weight + max(2.0, size / 9.0), spacing, 0, margin, line_gap)
        paint(c, ring, cx, cy, outline)
    paint(c, lettering(text, size, font, weight, spacing, 0, margin, line_gap), cx, cy, fill)


def tone(colour):
    """An RGBA colour as the shading function that a fill takes."""
    return lambda x, y: colour


# Fills that cover much of a canvas, cheaper than a shape's distance field.

def gradient(stops):
    """A colour along t in [0, 1] through (t, ARGB) stops."""
    def at(t):
        for (ta, ca), (tb, cb) in zip(stops, stops[1:]):
            if t <= tb:
                return lerp_colour(ca, cb, (t - ta) / float(tb - ta))
        return rgba(stops[-1][1])
    return at


def sky(c, stops):
    """Replaces every pixel by an opaque vertical gradient."""
    at = gradient(stops)
    for y in range(c.h):
        r, g, b, _ = at((y + 0.5) / c.h)
        c.px[y * c.w:(y + 1) * c.w] = [[r, g, b, 1.0] for _ in range(c.w)]


def fade(c, y0, y1, argb, a0, a1):
    """A veil of one colour whose strength goes from a0 at y0 to a1 at y1 and stays below."""
    colour = rgba(argb)
    for y in range(max(0, int(y0)), c.h):
        a = a0 + (a1 - a0) * min(1.0, (y + 0.5 - y0) / float(max(1.0, y1 - y0)))
        for x in range(c.w):
            c.blend(x, y, colour, a)


def glow(c, cx, cy, radius, argb, strength):
    colour = rgba(argb)
    for y in range(max(0, int(cy - radius)), min(c.h, int(cy + radius) + 1)):
        for x in range(max(0, int(cx - radius)), min(c.w, int(cx + radius) + 1)):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy) / radius
            if d < 1.0:
                c.blend(x, y, colour, strength * (1.0 - d) ** 2)


def terrain(c, ridge, colour):
    """Everything below the line y = ridge(x)."""
    shade = colour if callable(colour) else tone(rgba(colour))
    for x in range(c.w):
        top = ridge(x + 0.5)
        for y in range(max(0, int(top)), c.h):
            c.blend(x, y, shade(x + 0.5, y + 0.5), min(max(y + 1 - top, 0.0), 1.0))


def peaks(base, crests):
    """A ridge line: the base height less a smooth bump per (x, height, half width)."""
    return lambda x: base - sum(h * math.exp(-((x - px) / w) ** 2) for px, h, w in crests)


def ellipse(cx, cy, rx, ry, angle=0.0):
    ca, sa = math.cos(angle), math.sin(angle)

    def d(x, y):
        u, v = (x - cx) * ca + (y - cy) * sa, -(x - cx) * sa + (y - cy) * ca
        return (math.hypot(u / rx, v / ry) - 1.0) * min(rx, ry)
    return d


def half_plane(cx, cy, angle, below):
    """The side of the line through (cx, cy) at the angle that lies below it (or above)."""
    ca, sa = math.cos(angle), math.sin(angle)
    sign = -1.0 if below else 1.0
    return lambda x, y: sign * (-(x - cx) * sa + (y - cy) * ca)


def finish(c, radius):
    """Rounds the corners and draws a faint inner edge, as the skin's tiles have."""
    edge = rounded_rect(0, 0, c.w, c.h, radius)
    c.fill(stroke(rounded_rect(0.5, 0.5, c.w - 0.5, c.h - 0.5, radius - 0.5), 1), 0x24FFFFFF)
    r = int(math.ceil(radius))
    for y in list(range(0, r)) + list(range(c.h - r, c.h)):
        for x in list(range(0, r)) + list(range(c.w - r, c.w)):
            p = c.px[y * c.w + x]
            p[3] *= min(max(0.5 - edge(x + 0.5, y + 0.5), 0.0), 1.0)
    return c


def stars(c, count, seed, colours=(0xFFFFFFFF, 0xFFBDEBFF, 0xFFFFD9F0), top=0.0, bottom=1.0):
    rng = random.Random(seed)
    for _ in range(count):
        x, y = rng.uniform(0, c.w), rng.uniform(top * c.h, bottom * c.h)
        r = rng.choice((0.45, 0.55, 0.7, 0.9, 1.2))
        colour = rgba(rng.choice(colours), rng.uniform(0.35, 1.0))
        c.fill(circle(x, y, r), tone(colour), (x - 2, y - 2, x + 2, y + 2))


def sparkle(c, x, y, size, argb):
    c.fill(circle(x, y, size * 0.18), argb, (x - size, y - size, x + size, y + size))
    for ax, ay in ((1, 0), (0, 1)):
        c.fill(segment(x - ax * size, y - ay * size, x + ax * size, y + ay * size, size * 0.12), argb,
               (x - size - 1, y - size - 1, x + size + 1, y + size + 1))
    glow(c, x, y, size * 1.6, argb, 0.35)


def pill(c, cx, cy, width, height, fill, text, text_colour=WHITE, size=12):
    c.fill(rounded_rect(cx - width / 2.0, cy - height / 2.0, cx + width / 2.0, cy + height / 2.0, height / 2.0), fill,
           (cx - width / 2.0, cy - height / 2.0, cx + width / 2.0, cy + height / 2.0))
    paint(c, lettering(text, size, HEI, 0.4), cx, cy, text_colour)


def seal(c, cx, cy, size, text):
    """A red seal stamp with white characters."""
    c.fill(rounded_rect(cx - size / 2.0, cy - size / 2.0, cx + size / 2.0, cy + size / 2.0, size / 8.0), 0xFFC8322B)
    c.fill(stroke(rounded_rect(cx - size * 0.4, cy - size * 0.4, cx + size * 0.4, cy + size * 0.4, size / 12.0),
                  max(1.0, size / 22.0)), 0xFFF6E3C8)
    paint(c, lettering("\n".join(text) if len(text) > 2 else text, size * (0.42 if len(text) > 2 else 0.6), HEI, 0.6,
                       line_gap=-size * 0.12), cx, cy, 0xFFF6E3C8)


# The four worlds. Each draws its backdrop at any size (portrait tiles and
# advertisements, landscape logos and backgrounds), letters its name and has
# an emblem for its icons.

class StarSea:
    name = "星海征途"
    key = "xinghai"
    accent = 0xFF3EC6FF
    button = 0xFF1C7FC4

    def backdrop(self, c):
        w, h = c.w, c.h
        sky(c, [(0.0, 0xFF05061A), (0.45, 0xFF17124A), (0.8, 0xFF3F1A6B), (1.0, 0xFF6E2473)])
        glow(c, w * 0.18, h * 0.62, max(w, h) * 0.55, 0xFFFF4FA3, 0.30)
        glow(c, w * 0.85, h * 0.2, max(w, h) * 0.45, 0xFF3EC6FF, 0.22)
        stars(c, min(int(w * h / 220), 1600), 11 + w)
        wide = w > h
        r = h * 0.2 if wide else w * 0.3
        cx, cy = (w * 0.78, h * 0.22) if wide else (w * 0.66, h * 0.27)
        tilt = -0.32
        ring = ellipse(cx, cy, r * 1.75, r * 0.42, tilt)
        band = stroke(ring, r * 0.13)
        c.fill(intersect(band, half_plane(cx, cy, tilt, False)), 0xCCA8E6FF)
        glow(c, cx, cy, r * 1.6, 0xFF3EC6FF, 0.35)

        def planet(x, y):
            nx, ny = (x - cx) / r, (y - cy) / r
            light = 0.62 - 0.5 * (nx * 0.55 + ny * 0.85) + 0.07 * math.sin(ny * 13 + nx * 3)
            return lerp_colour(0xFF1A1F5C, 0xFF6FE0FF, light)
        c.fill(circle(cx, cy, r), planet, (cx - r, cy - r, cx + r, cy + r))
        c.fill(stroke(circle(cx, cy, r - 1), 2.0), 0x663EC6FF, (cx - r - 2, cy - r - 2, cx + r + 2, cy + r + 2))
        c.fill(intersect(band, half_plane(cx, cy, tilt, True)), 0xE6C8F1FF)
        # A ship climbing away with its trail.
        sx, sy = (w * 0.28, h * 0.58) if wide else (w * 0.3, h * 0.55)
        k = max(w, h) / 200.0
        for i in range(12):
            t = i / 12.0
            c.fill(segment(sx - (40 - 30 * t) * k, sy + (22 - 16.5 * t) * k, sx - (36 - 30 * t) * k,
                           sy + (20 - 16.5 * t) * k, (1.0 + 2.2 * t) * k), tone(rgba(0xFFFF9BD2, 0.15 + 0.5 * t)))
        c.fill(polygon([(sx + 7 * k, sy - 4 * k), (sx - 6 * k, sy - 2 * k), (sx - 3 * k, sy + 3 * k)]), WHITE)
        glow(c, sx, sy, 10 * k, 0xFFFFFFFF, 0.6)
        for x, y, s in ((0.36, 0.07, 4), (0.95, 0.62, 4), (0.05, 0.9, 3)) if wide else \
                ((0.12, 0.12, 5), (0.42, 0.08, 3.5), (0.9, 0.55, 4)):
            sparkle(c, w * x, h * y, s * k, 0xFFE0F7FF)

    def lettering(self, c, cx, cy, size):
        title(c, self.name, cx, cy, size, lambda x, y: lerp_colour(0xFFFFFFFF, 0xFF9BE7FF, (y - cy + size / 2) / size),
              weight=0.8, spacing=size * 0.06, glow=0xFF3EC6FF)

    def subtitle(self):
        return "STAR VOYAGE"

    def emblem(self, c, x, y, s):
        cx, cy, r = x + s * 0.5, y + s * 0.52, s * 0.22
        c.fill(intersect(stroke(ellipse(cx, cy, r * 1.9, r * 0.55, -0.35), s * 0.05), half_plane(cx, cy, -0.35, False)),
               0xCCBDEBFF)
        c.fill(circle(cx, cy, r), lambda px, py: lerp_colour(0xFF6FE0FF, 0xFF2A58C8, (py - cy + r) / (2 * r)))
        c.fill(intersect(stroke(ellipse(cx, cy, r * 1.9, r * 0.55, -0.35), s * 0.05), half_plane(cx, cy, -0.35, True)),
               WHITE)
        c.fill(circle(x + s * 0.24, y + s * 0.24, s * 0.035), WHITE)
        c.fill(circle(x + s * 0.8, y + s * 0.8, s * 0.03), 0xCCFFFFFF)

    icon_colours = (0xFF2B1C6E, 0xFF0C0B2A)


class DragonSun:
    name = "龙纹传说"
    key = "longwen"
    accent = 0xFFE0A030
    button = 0xFFB8322A

    def backdrop(self, c):
        w, h = c.w, c.h
        wide = w > h
        horizon = h * (0.62 if wide else 0.7)
        sky(c, [(0.0, 0xFF240407), (0.3, 0xFF5E0D12), (horizon / h, 0xFFD1551F), (1.0, 0xFFF0A040)])
        sun_r = h * 0.3 if wide else w * 0.42
        sun_x, sun_y = (w * 0.62, h * 0.36) if wide else (w * 0.5, h * 0.42)
        glow(c, sun_x, sun_y, sun_r * 2.2, 0xFFFFB347, 0.45)
        c.fill(circle(sun_x, sun_y, sun_r), lambda x, y: lerp_colour(0xFFFFE8A8, 0xFFF5A540, (y - sun_y + sun_r) /
                                                                      (2 * sun_r)),
               (sun_x - sun_r, sun_y - sun_r, sun_x + sun_r, sun_y + sun_r))
        # Cloud scrolls: rows of arcs across the sun.
        k = max(w, h) / 200.0
        for row, (y, span) in enumerate(((sun_y + sun_r * 0.35, 0.9), (sun_y + sun_r * 0.62, 1.2))):
            for i in range(-3, 4):
                ax = sun_x + i * 11 * k + row * 5 * k
                if abs(ax - sun_x) < sun_r * span:
                    c.fill(intersect(stroke(circle(ax, y, 6 * k), 1.4 * k), upper_part(y)), 0x99FFF1C8,
                           (ax - 8 * k, y - 8 * k, ax + 8 * k, y + 1))
        # The dragon: a silhouette that winds across the sun, scales on its back.
        body = 0xFF1E0306
        thick = (h * 0.05) if wide else (w * 0.075)
        points = []
        for i in range(90):
            t = i / 89.0
            x = w * (-0.08 + 0.98 * t) if wide else w * (-0.15 + 1.0 * t)
            y = sun_y + sun_r * (0.15 + 0.55 * math.sin(2 * math.pi * 1.15 * t + 0.6)) - t * sun_r * 0.5
            points.append((x, y, thick * (0.35 + 0.65 * math.sin(math.pi * min(1.0, 0.12 + t * 0.95)) ** 0.6)))
        for x, y, r in points:
            c.fill(circle(x, y, r), body, (x - r, y - r, x + r, y + r))
        for i in range(4, 86, 6):
            (x0, y0, r0), (x1, y1, _) = points[i], points[i + 1]
            length = math.hypot(x1 - x0, y1 - y0) or 1.0
            nx, ny = (y1 - y0) / length, -(x1 - x0) / length
            if ny > 0:
                nx, ny = -nx, -ny
            tip = (x0 + nx * r0 * 1.5, y0 + ny * r0 * 1.5)
            c.fill(polygon([(x0 - (x1 - x0) * 0.9, y0 - (y1 - y0) * 0.9), tip, (x0 + (x1 - x0) * 1.6,
                                                                               y0 + (y1 - y0) * 1.6)]), body,
                   (tip[0] - 3 * r0, tip[1] - 3 * r0, tip[0] + 3 * r0, tip[1] + 3 * r0))
        hx, hy, hr = points[-6]
        c.fill(polygon([(hx - hr, hy - hr * 1.2), (hx + hr * 2.6, hy - hr * 0.2), (hx + hr * 2.2, hy + hr * 0.7),
                        (hx - hr * 0.6, hy + hr * 1.1)]), body)
        c.fill(polyline([(hx, hy - hr), (hx - hr * 0.8, hy - hr * 2.4), (hx - hr * 1.8, hy - hr * 2.8)], hr * 0.35),
               body)
        c.fill(polyline([(hx + hr * 2.2, hy + hr * 0.5), (hx + hr * 3.2, hy + hr * 1.4), (hx + hr * 3.4,
                                                                                          hy + hr * 2.6)],
                        max(1.0, hr * 0.14)), body)
        c.fill(circle(hx + hr * 1.1, hy - hr * 0.25, max(0.8, hr * 0.18)), 0xFFFFC85A)
        # The pattern that names it: gold scales down its back.
        for x, y, r in points[6:80:4]:
            c.fill(stroke(circle(x, y - r * 0.15, r * 0.42), max(0.8, r * 0.12)), 0xCCF2C14E,
                   (x - r, y - r, x + r, y + r))
        # Karst mountains, far and near.
        terrain(c, peaks(horizon + h * 0.05, [(w * 0.1, h * 0.16, w * 0.06), (w * 0.32, h * 0.1, w * 0.05),
                                                (w * 0.86, h * 0.2, w * 0.07), (w * 0.6, h * 0.06, w * 0.08)]),
                0xFF5A0F12)
        terrain(c, peaks(horizon + h * 0.16, [(w * 0.0, h * 0.2, w * 0.09), (w * 0.22, h * 0.08, w * 0.05),
                                                (w * 0.72, h * 0.12, w * 0.06), (w * 1.0, h * 0.24, w * 0.08)]),
                0xFF2A0508)

    def lettering(self, c, cx, cy, size):
        title(c, self.name, cx, cy, size, lambda x, y: lerp_colour(0xFFFFF0B8, 0xFFE09A2A, (y - cy + size / 2) / size),
              weight=1.0, spacing=size * 0.04, outline=0xFF3A0608)

    def subtitle(self):
        return "DRAGON LEGEND"

    def emblem(self, c, x, y, s):
        c.fill(stroke(rounded_rect(x + s * 0.16, y + s * 0.16, x + s * 0.84, y + s * 0.84, s * 0.1), s * 0.04),
               0xFFE0A030)
        paint(c, lettering("龙", s * 0.5, HEI, s * 0.02), x + s * 0.5, y + s * 0.5,
              lambda px, py: lerp_colour(0xFFFFF0B8, 0xFFE0A030, (py - y - s * 0.25) / (s * 0.5)))

    icon_colours = (0xFFB3261E, 0xFF4A070B)


class DuskHarbour:
    name = "Iron Harbor"
    key = "ironharbor"
    accent = 0xFFE07B39
    button = 0xFFC4572A

    def backdrop(self, c):
        w, h = c.w, c.h
        wide = w > h
        sea_y = h * (0.5 if wide else 0.66)
        sky(c, [(0.0, 0xFF111A24), (0.35, 0xFF24384A), (sea_y / h * 0.92, 0xFFB25A34), (sea_y / h, 0xFFE8924C),
                (sea_y / h + 0.001, 0xFF173740), (1.0, 0xFF060F14)])
        k = max(w, h) / 200.0
        sun_x = w * (0.3 if wide else 0.62)
        glow(c, sun_x, sea_y, h * 0.5, 0xFFFFA55A, 0.45)
        c.fill(intersect(circle(sun_x, sea_y, 14 * k), upper_part(sea_y)), 0xFFFFC27A,
               (sun_x - 15 * k, sea_y - 15 * k, sun_x + 15 * k, sea_y))
        rng = random.Random(7 + w)
        for i in range(int(h * 0.3 / (2.2 * k))):
            y = sea_y + 2 + i * 2.2 * k
            spread = (18 + i * 4) * k
            x = sun_x + rng.uniform(-spread, spread) * 0.6
            length = rng.uniform(4, 12) * k * (1 - i * 0.02)
            c.fill(segment(x - length, y, x + length, y, 0.9 * k), tone(rgba(0xFFFFB46B, max(0.1, 0.7 - i * 0.04))),
                   (x - length - 2, y - 2 * k, x + length + 2, y + 2 * k))
        steel = 0xFF0A1117
        # The quay with its stacks of containers, and two gantry cranes.
        quay = sea_y - 0.5 * k
        left = w * (0.52 if wide else 0.0)
        c.fill(rounded_rect(left, quay - 2 * k, w, quay + 3 * k, 0), steel)
        colours = (0xFF8C3B2A, 0xFF2E6F7A, 0xFFB08A3A, 0xFF5A6B7A, 0xFF7A2E3A)
        box_w, box_h = 11 * k, 5 * k
        for col in range(int((w - left) / box_w)):
            for level in range(rng.choice((1, 2, 2, 3))):
                x0 = left + 2 * k + col * box_w
                y1 = quay - 2 * k - level * box_h
                c.fill(rounded_rect(x0, y1 - box_h + 0.6, x0 + box_w - 0.8, y1, 0.4), tone(lerp_colour(
                    rng.choice(colours), steel, 0.35)))
        for base in ((w * 0.66, 0.8), (w * 0.9, 0.65)) if wide else ((w * 0.35, 1.0), (w * 0.82, 0.75)):
            x, s = base[0], base[1] * k
            top = quay - 62 * s
            for leg in (-9, 9):
                c.fill(segment(x + leg * s, quay - 2 * k, x + leg * s * 0.6, top, 2.2 * s), steel)
            c.fill(segment(x - 40 * s, top, x + 22 * s, top, 2.6 * s), steel)
            c.fill(segment(x - 9 * s, top - 10 * s, x - 40 * s, top, 1.0 * s), steel)
            c.fill(segment(x - 9 * s, top - 10 * s, x + 22 * s, top, 1.0 * s), steel)
            c.fill(segment(x - 9 * s, top - 10 * s, x - 9 * s, top, 1.6 * s), steel)
            c.fill(segment(x - 30 * s, top, x - 30 * s, top + 26 * s, 0.6 * s), steel)
            c.fill(rounded_rect(x - 34 * s, top + 26 * s, x - 26 * s, top + 30 * s, 0.5 * s), steel)
            c.fill(circle(x + 22 * s, top - 1 * s, 1.2 * s), 0xFFFF5A3C)
        # A freighter coming in.
        fx = w * (0.08 if wide else 0.08)
        fy = sea_y + 9 * k
        c.fill(polygon([(fx, fy - 7 * k), (fx + 70 * k, fy - 7 * k), (fx + 64 * k, fy), (fx + 5 * k, fy)]), steel)
        c.fill(rounded_rect(fx + 6 * k, fy - 17 * k, fx + 18 * k, fy - 7 * k, 0.5 * k), steel)
        c.fill(rounded_rect(fx + 9 * k, fy - 23 * k, fx + 13 * k, fy - 17 * k, 0.3 * k), steel)
        for i in range(4):
            c.fill(rounded_rect(fx + (22 + i * 11) * k, fy - 12 * k, fx + (32 + i * 11) * k, fy - 7 * k, 0.3 * k),
                   tone(lerp_colour(colours[i], steel, 0.45)))
        for i in range(3):
            c.fill(circle(fx + (8 + i * 4) * k, fy - 14 * k, 0.6 * k), 0xFFFFD08A)

    def lettering(self, c, cx, cy, size):
        top = lettering("IRON", size, SANS_BOLD, 0, size * 0.18)
        paint(c, lettering("IRON", size, SANS_BOLD, 0, size * 0.18, size / 10.0, 6), cx, cy - size * 0.42 + 2,
              0xFF000000, 0.6)
        paint(c, top, cx, cy - size * 0.42, lambda x, y: lerp_colour(0xFFFFFFFF, 0xFFC9D3DC, (y - cy + size) / size))
        bar_w = top.w * 0.92
        c.fill(rounded_rect(cx - bar_w / 2, cy + size * 0.06, cx + bar_w / 2, cy + size * 0.06 + max(2.0, size / 9.0),
                            1), self.accent)
        low = size * 0.42
        paint(c, lettering("HARBOR", low, CONDENSED_BOLD, 0, low * 0.55, low / 8.0, 6), cx, cy + size * 0.5 + 1,
              0xFF000000, 0.6)
        paint(c, lettering("HARBOR", low, CONDENSED_BOLD, 0, low * 0.55), cx, cy + size * 0.5, 0xFFF2C49A)

    def subtitle(self):
        return "钢铁港湾"

    def emblem(self, c, x, y, s):
        colour = 0xFFF2EDE4
        cx = x + s * 0.5
        c.fill(stroke(circle(cx, y + s * 0.24, s * 0.07), s * 0.045), colour)
        c.fill(segment(cx, y + s * 0.31, cx, y + s * 0.8, s * 0.065), colour)
        c.fill(segment(cx - s * 0.16, y + s * 0.4, cx + s * 0.16, y + s * 0.4, s * 0.055), colour)
        arc = intersect(stroke(circle(cx, y + s * 0.52, s * 0.28), s * 0.065), lambda px, py: y + s * 0.6 - py)
        c.fill(arc, colour)
        for side in (-1, 1):
            c.fill(polygon([(cx + side * s * 0.3, y + s * 0.5), (cx + side * s * 0.2, y + s * 0.58),
                            (cx + side * s * 0.34, y + s * 0.62)]), colour)

    icon_colours = (0xFF3A5A74, 0xFF14222E)


class MistMountains:
    name = "云梦山海"
    key = "yunmeng"
    accent = 0xFF4FB39A
    button = 0xFF257A68

    def backdrop(self, c):
        w, h = c.w, c.h
        wide = w > h
        sky(c, [(0.0, 0xFF0C3338), (0.35, 0xFF2D7570), (0.7, 0xFF9FD3BE), (1.0, 0xFFE6F2DE)])
        k = max(w, h) / 200.0
        mx, my = (w * 0.56, h * 0.1) if wide else (w * 0.72, h * 0.16)
        glow(c, mx, my, 40 * k, 0xFFFFF6D8, 0.5)
        c.fill(circle(mx, my, 11 * k), 0xFFF8F1D6, (mx - 12 * k, my - 12 * k, mx + 12 * k, my + 12 * k))
        layers = ((0.5, 0xFF86BFAE, 0.32), (0.62, 0xFF55978A, 0.26), (0.74, 0xFF2C6B63, 0.22),
                  (0.86, 0xFF123F3E, 0.16))
        rng = random.Random(3 + w)
        for n, (base, colour, tall) in enumerate(layers):
            crests = [(w * rng.uniform(-0.05, 1.05), h * tall * rng.uniform(0.5, 1.0), w * rng.uniform(0.04, 0.09))
                      for _ in range(5 if wide else 3)]
            terrain(c, peaks(h * base, crests), colour)
            # Mist settles in the valleys in front of each range.
            fade(c, h * (base - 0.03), h * (base + 0.12), 0xFFE9F5EA, 0.0, 0.22 - n * 0.04)
        # The sea below the ranges, with rows of waves.
        sea = h * 0.9
        terrain(c, lambda x: sea, lambda x, y: lerp_colour(0xFF1A5A58, 0xFF0B2E30, (y - sea) / (h - sea + 1)))
        step = 9 * k
        for row in range(4):
            y = sea + step * 0.7 * (row + 1)
            for i in range(-1, int(w / step) + 2):
                x = i * step + (row % 2) * step / 2
                c.fill(intersect(stroke(circle(x, y, step * 0.45), 0.8 * k), upper_part(y)), 0x66CFEDE2,
                       (x - step, y - step, x + step, y + 1))
        # Cranes flying home.
        for bx, by, s in ((0.36, 0.05, 1.0), (0.41, 0.075, 0.8), (0.32, 0.08, 0.7)) if wide else \
                ((0.25, 0.28, 1.0), (0.35, 0.33, 0.8), (0.18, 0.35, 0.7)):
            x, y, s = w * bx, h * by, s * 3.5 * k
            c.fill(polyline([(x - s, y - s * 0.35), (x - s * 0.35, y - s * 0.1), (x, y + s * 0.1),
                             (x + s * 0.35, y - s * 0.1), (x + s, y - s * 0.4)], max(1.0, s * 0.16)), 0xFF0E2F30)

    def lettering(self, c, cx, cy, size, upright=True):
        text = "\n".join(self.name) if upright else self.name
        gap = -size * 0.12 if upright else None
        title(c, text, cx, cy, size, WHITE, weight=0.6, spacing=0 if upright else size * 0.12,
              glow=0xFF0C3338, line_gap=gap, shadow=0.35)

    def subtitle(self):
        return "CLOUDS · PEAKS · SEAS"

    def emblem(self, c, x, y, s):
        c.fill(circle(x + s * 0.68, y + s * 0.3, s * 0.11), 0xFFF8F1D6)
        c.fill(polygon([(x + s * 0.12, y + s * 0.78), (x + s * 0.4, y + s * 0.32), (x + s * 0.56, y + s * 0.56),
                        (x + s * 0.66, y + s * 0.46), (x + s * 0.88, y + s * 0.78)]), 0xFFE6F2DE)
        c.fill(polygon([(x + s * 0.3, y + s * 0.78), (x + s * 0.52, y + s * 0.5), (x + s * 0.74, y + s * 0.78)]),
               0xFF9FD3BE)
        c.fill(segment(x + s * 0.14, y + s * 0.8, x + s * 0.86, y + s * 0.8, s * 0.05), 0xFFE6F2DE)

    icon_colours = (0xFF2D7570, 0xFF0C3338)


GAMES = (StarSea(), DragonSun(), DuskHarbour(), MistMountains())

# The advertisement of each game: a headline, a line and the button's text.
ADVERTS = {
    "xinghai": ("新赛季", "星际远征 今日开启", "立即下载"),
    "longwen": ("怀旧服", "重燃热血 经典再现", "立即体验"),
    "ironharbor": ("NEW SEASON", "亚服 全新港口开放", "了解更多"),
    "yunmeng": ("山海奇遇", "限时活动 登录领奖", "前往查看"),
}


def tile(game):
    c = Canvas(*TILE)
    game.backdrop(c)
    fade(c, c.h * 0.5, c.h, 0xFF000000, 0.0, 0.6)
    if isinstance(game, MistMountains):
        game.lettering(c, c.w * 0.22, c.h * 0.33, 22)
        seal(c, c.w * 0.22, c.h * 0.69, 16, "山海")
    elif isinstance(game, DuskHarbour):
        game.lettering(c, c.w / 2, c.h * 0.78, 30)
    else:
        game.lettering(c, c.w / 2, c.h * 0.8, 25)
        paint(c, lettering(game.subtitle(), 7, SANS_BOLD, 0, 2.2), c.w / 2, c.h * 0.91, 0xCCFFFFFF)
        if isinstance(game, DragonSun):
            seal(c, c.w - 18, 18, 18, "龙")
    return finish(c, 6)


def logo(game):
    c = Canvas(*LOGO)
    game.backdrop(c)
    fade(c, 0, c.h, 0xFF000000, 0.25, 0.45)
    if isinstance(game, MistMountains):
        game.lettering(c, c.w / 2, c.h * 0.44, 28, upright=False)
        paint(c, lettering(game.subtitle(), 8, SANS_BOLD, 0, 1.6), c.w / 2, c.h * 0.76, 0xE6FFFFFF)
    elif isinstance(game, DuskHarbour):
        game.lettering(c, c.w / 2, c.h * 0.4, 32)
    else:
        game.lettering(c, c.w / 2, c.h * 0.44, 32)
        paint(c, lettering(game.subtitle(), 8, SANS_BOLD, 0, 2.4), c.w / 2, c.h * 0.76, 0xE6FFFFFF)
    return finish(c, 6)


def slide(game):
    headline, line, button = ADVERTS[game.key]
    c = Canvas(*SLIDE)
    game.backdrop(c)
    fade(c, c.h * 0.45, c.h * 0.8, 0xFF000000, 0.0, 0.7)
    latin = headline.isascii()
    title(c, headline, c.w / 2, c.h * 0.64, 19 if latin else 34, WHITE, SANS_BOLD if latin else HEI,
          weight=0 if latin else 1.0, spacing=1 if latin else 4, glow=game.accent)
    paint(c, lettering(line, 13, HEI, 0.3), c.w / 2, c.h * 0.76, 0xFFE8E8E8)
    pill(c, c.w / 2, c.h * 0.88, 96, 28, game.button, button)
    return finish(c, 6)


def background(game):
    c = Canvas(*BACKGROUND)
    game.backdrop(c)
    return finish(c, 20)


def badge(size, colours, draw, radius):
    """An icon: a rounded square in two colours, lit from its top, with a glyph."""
    c = Canvas(size, size)
    top, bottom = colours
    c.fill(rounded_rect(0, 0, size, size, radius), lambda x, y: lerp_colour(top, bottom, (x * 0.4 + y) / (1.4 * size)))
    glow(c, size * 0.3, 0, size * 0.9, 0xFFFFFFFF, 0.12)
    draw(c, size)
    return finish(c, radius)


# Glyphs of the items that have no world of their own.

def ship_glyph(c, s):
    c.fill(polygon([(s * 0.5, s * 0.14), (s * 0.64, s * 0.4), (s * 0.64, s * 0.66), (s * 0.36, s * 0.66),
                    (s * 0.36, s * 0.4)]), WHITE)
    c.fill(polygon([(s * 0.36, s * 0.48), (s * 0.22, s * 0.7), (s * 0.36, s * 0.66)]), 0xFFBDEBFF)
    c.fill(polygon([(s * 0.64, s * 0.48), (s * 0.78, s * 0.7), (s * 0.64, s * 0.66)]), 0xFFBDEBFF)
    c.fill(circle(s * 0.5, s * 0.42, s * 0.06), 0xFF2B1C6E)
    c.fill(polygon([(s * 0.42, s * 0.68), (s * 0.58, s * 0.68), (s * 0.5, s * 0.88)]), 0xFFFFA040)
    # The test build's mark: a corner ribbon.
    c.fill(intersect(polygon([(s * 0.55, s), (s, s * 0.55), (s, s * 0.75), (s * 0.75, s)]),
                     rounded_rect(0, 0, s, s, s / 5.0)), 0xFFFFA040)


def hd_glyph(c, s):
    c.fill(stroke(rounded_rect(s * 0.16, s * 0.22, s * 0.84, s * 0.7, s * 0.07), s * 0.05), WHITE)
    paint(c, lettering("HD", s * 0.3, SANS_BOLD), s * 0.5, s * 0.46, WHITE)
    c.fill(segment(s * 0.36, s * 0.8, s * 0.64, s * 0.8, s * 0.05), WHITE)
    sparkle(c, s * 0.8, s * 0.2, s * 0.1, 0xFFFFFFFF)


def swords_glyph(c, s):
    for sign in (-1, 1):
        ax, ay = s * (0.5 - sign * 0.3), s * 0.2
        bx, by = s * (0.5 + sign * 0.22), s * 0.74
        c.fill(segment(ax, ay, bx, by, s * 0.08), 0xFFF2F2F2)
        # The guard across the blade, near the hilt.
        gx, gy = ax + (bx - ax) * 0.8, ay + (by - ay) * 0.8
        c.fill(segment(gx - s * 0.09, gy + sign * s * 0.085, gx + s * 0.09, gy - sign * s * 0.085, s * 0.06),
               0xFFFFC14D)
        c.fill(segment(bx, by, s * (0.5 + sign * 0.3), s * 0.84, s * 0.08), 0xFF3A0A0A)
    paint(c, lettering("2", s * 0.3, SANS_BOLD), s * 0.5, s * 0.3, 0xFFFFC14D)


def launcher_glyph(c, s):
    c.fill(stroke(circle(s * 0.5, s * 0.5, s * 0.3), s * 0.06), WHITE)
    c.fill(polygon([(s * 0.43, s * 0.36), (s * 0.64, s * 0.5), (s * 0.43, s * 0.64)]), WHITE)


def flame_glyph(c, s):
    outer = [(s * 0.5, s * 0.12), (s * 0.66, s * 0.38), (s * 0.62, s * 0.28), (s * 0.78, s * 0.56),
             (s * 0.72, s * 0.82), (s * 0.28, s * 0.82), (s * 0.22, s * 0.56), (s * 0.34, s * 0.36),
             (s * 0.38, s * 0.5)]
    c.fill(polygon(outer), lambda x, y: lerp_colour(0xFFFFD36B, 0xFFE8401C, (y - s * 0.12) / (s * 0.7)))
    c.fill(polygon([(s * 0.5, s * 0.44), (s * 0.62, s * 0.66), (s * 0.58, s * 0.82), (s * 0.42, s * 0.82),
                    (s * 0.38, s * 0.66)]), 0xFFFFF1B0)
    paint(c, lettering("IV", s * 0.2, SERIF_BOLD), s * 0.5, s * 0.73, 0xFF5A0A0A)


def mirror_glyph(c, s):
    c.fill(polygon([(s * 0.5, s * 0.12), (s * 0.76, s * 0.48), (s * 0.24, s * 0.48)]), WHITE)
    c.fill(polygon([(s * 0.24, s * 0.54), (s * 0.76, s * 0.54), (s * 0.5, s * 0.88)]), 0x80FFFFFF)
    c.fill(segment(s * 0.14, s * 0.51, s * 0.86, s * 0.51, s * 0.03), 0xCCFFFFFF)


def bolt_glyph(c, s):
    c.fill(polygon([(s * 0.58, s * 0.12), (s * 0.3, s * 0.56), (s * 0.48, s * 0.56), (s * 0.42, s * 0.88),
                    (s * 0.72, s * 0.42), (s * 0.54, s * 0.42)]), WHITE)
    for i, y in enumerate((0.36, 0.5, 0.64)):
        c.fill(segment(s * (0.1 + i * 0.03), s * y, s * (0.24 + i * 0.02), s * y, s * 0.05), 0xB3FFFFFF)


def globe_glyph(c, s):
    cx, cy, r = s * 0.5, s * 0.5, s * 0.32
    c.fill(stroke(circle(cx, cy, r), s * 0.05), WHITE)
    c.fill(stroke(ellipse(cx, cy, r * 0.45, r), s * 0.04), 0xCCFFFFFF)
    c.fill(segment(cx - r, cy, cx + r, cy, s * 0.04), 0xCCFFFFFF)
    route = intersect(stroke(circle(cx + r * 0.1, cy + r * 1.6, r * 1.55), s * 0.06), upper_part(cy + r * 0.2))
    c.fill(route, 0xFFFFD36B)
    c.fill(circle(cx - r * 0.95, cy + r * 0.2, s * 0.06), 0xFFFFD36B)
    c.fill(circle(cx + r * 1.05, cy + r * 0.1, s * 0.06), 0xFFFFD36B)


def bars_glyph(c, s):
    for i, height in enumerate((0.18, 0.32, 0.46, 0.6)):
        x = s * (0.22 + i * 0.16)
        c.fill(rounded_rect(x, s * (0.78 - height), x + s * 0.1, s * 0.78, s * 0.03), WHITE if i < 3 else 0xB3FFFFFF)
    c.fill(polyline([(s * 0.18, s * 0.36), (s * 0.34, s * 0.26), (s * 0.5, s * 0.3), (s * 0.7, s * 0.16)],
                    s * 0.05), 0xFFFFF1B0)


# The row icons by file name: a game's own world where it has one, else a
# glyph of what the item is (a test build, a texture pack, a launcher, an
# accelerator), each on colours of its own.
ROW_ICONS = {
    "xinghai": (GAMES[0].icon_colours, lambda c, s: GAMES[0].emblem(c, 0, 0, s)),
    "xinghai_test": ((0xFF3B2A8E, 0xFF1A1450), ship_glyph),
    "plugin": ((0xFF1FA7C9, 0xFF105A7A), hd_glyph),
    "longwen": (GAMES[1].icon_colours, lambda c, s: GAMES[1].emblem(c, 0, 0, s)),
    "ironharbor": (GAMES[2].icon_colours, lambda c, s: GAMES[2].emblem(c, 0, 0, s)),
    "hit2": ((0xFFC22A2A, 0xFF1A1A1E), swords_glyph),
    "nexon": ((0xFF2C8FD6, 0xFF1B3F8A), launcher_glyph),
    "d4r": ((0xFF3A0A0C, 0xFF0A0506), flame_glyph),
    "reflection": ((0xFFB04FD0, 0xFF4A2090), mirror_glyph),
    "ostrel": ((0xFF4C8DF6, 0xFF2F64C9), bolt_glyph),
    "pellinor": ((0xFF8E6CF0, 0xFF6446C6), globe_glyph),
    "tamsk": ((0xFFF29A4A, 0xFFD9702A), bars_glyph),
}


def png_file(c):
    """The canvas as PNG, each row filtered by the difference (to the left or
    above) that leaves the smallest bytes, which shrinks gradients."""
    raw = c.scanlines()
    stride = c.w * 4
    rows, previous = bytearray(), bytes(stride)
    for y in range(c.h):
        row = raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)]
        left = bytes(4) + row[:-4]
        candidates = ((1, bytes((a - b) & 255 for a, b in zip(row, left))),
                      (2, bytes((a - b) & 255 for a, b in zip(row, previous))))
        kind, data = min(candidates, key=lambda k: sum(min(v, 256 - v) for v in k[1]))
        rows.append(kind)
        rows += data
        previous = row
    return skin.png_bytes(c.w, c.h, bytes(rows))


def pictures():
    """Every picture by its file name under the store, as a function that draws it."""
    drawn = {}
    for game in GAMES:
        drawn["category/%s_big.png" % game.key] = lambda game=game: tile(game)
        drawn["category/%s_logo.png" % game.key] = lambda game=game: logo(game)
        drawn["category/%s_slide.png" % game.key] = lambda game=game: slide(game)
        drawn["category/%s_bg.png" % game.key] = lambda game=game: background(game)
        drawn["category/%s_icon.png" % game.key] = lambda game=game: badge(
            CATEGORY_ICON, game.icon_colours, lambda c, s, game=game: game.emblem(c, 0, 0, s), 6)
    for name, (colours, glyph) in ROW_ICONS.items():
        drawn["icons/%s.png" % name] = lambda colours=colours, glyph=glyph: badge(ROW_ICON, colours, glyph, 8)
    return drawn


def main(prefixes):
    for name, draw in pictures().items():
        if prefixes and not any(name.split("/")[1].startswith(p) for p in prefixes):
            continue
        path = os.path.join(FILES, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(png_file(draw()))
        print(name)


if __name__ == "__main__":
    main(sys.argv[1:])
