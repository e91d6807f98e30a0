#!/usr/bin/env python3
"""Draws the control gallery's images into a folder:

    make-images.py OUTPUT_FOLDER

Every image is drawn here from shapes (rounded rectangles, circles and
2-pixel strokes), edge-smoothed by their distance to each pixel's centre,
and written as an RGBA PNG with straight alpha (the framework premultiplies
on load). Strips hold their frames left to right at equal widths; the skin
picks a frame with a "source" rectangle.
"""

import math
import os
import struct
import sys
import zlib

# The skin palette (ARGB).
WINDOW = 0xFF1B1F27
PANEL = 0xFF242A35
LINE = 0xFF3C3C3C
HOT_SURFACE = 0xFF2F3745
TEXT = 0xFFFFFFFF
SECONDARY = 0xFFA1A1A1
ACCENT = 0xFF43CF7C
ACCENT_HOT = 0xFF5AD98F
ACCENT_PUSHED = 0xFF34B368
DANGER = 0xFFE5534B
DISABLED_SURFACE = 0xFF2A2F3A
DISABLED_TEXT = 0xFF5C6370


class Canvas:
    """Straight-alpha RGBA pixels as floats, painted with the "over" rule."""

    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]

    def blend(self, x, y, argb, coverage):
        if coverage <= 0.0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        a = ((argb >> 24) & 0xFF) / 255.0 * min(coverage, 1.0)
        r, g, b = ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0, (argb & 0xFF) / 255.0
        dst = self.pixels[y * self.width + x]
        out_a = a + dst[3] * (1.0 - a)
        if out_a <= 0.0:
            return
        for i, c in enumerate((r, g, b)):
            dst[i] = (c * a + dst[i] * dst[3] * (1.0 - a)) / out_a
        dst[3] = out_a

    def paint(self, argb, distance, box=None):
        """Covers each pixel by how far its centre lies inside the shape
        whose signed distance (negative inside) `distance` gives."""
        x0, y0, x1, y1 = box if box else (0, 0, self.width, self.height)
        for y in range(max(0, int(y0) - 1), min(self.height, int(math.ceil(y1)) + 1)):
            for x in range(max(0, int(x0) - 1), min(self.width, int(math.ceil(x1)) + 1)):
                d = distance(x + 0.5, y + 0.5)
                self.blend(x, y, argb, 0.5 - d)

    def png(self):
        rows = bytearray()
        for y in range(self.height):
            rows.append(0)  # no filter
            for x in range(self.width):
                r, g, b, a = self.pixels[y * self.width + x]
                alpha = round(a * 255)
                if alpha == 0:
                    rows += b"\0\0\0\0"
                else:
                    rows += bytes((round(r * 255), round(g * 255), round(b * 255), alpha))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(rows), 9))
                + chunk(b"IEND", b""))


# ---- Signed distances (negative inside) ---------------------------------------

def rounded_rect(x0, y0, x1, y1, radius):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - radius, (y1 - y0) / 2.0 - radius

    def distance(px, py):
        qx, qy = abs(px - cx) - hx, abs(py - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius

    return distance


def circle(cx, cy, radius):
    return lambda px, py: math.hypot(px - cx, py - cy) - radius


def ring(shape, width):
    """The band `width` thick just inside the shape's edge."""
    return lambda px, py: abs(shape(px, py) + width / 2.0) - width / 2.0


def polyline(points, width):
    """A stroke through the points with round joins and caps."""

    def segment(px, py, a, b):
        ax, ay = a
        bx, by = b
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
        return math.hypot(px - ax - t * dx, py - ay - t * dy)

    pairs = list(zip(points, points[1:]))
    return lambda px, py: min(segment(px, py, a, b) for a, b in pairs) - width / 2.0


def moved(shape, dx, dy):
    return lambda px, py: shape(px - dx, py - dy)


# ---- Images -------------------------------------------------------------------

def strip(frame_width, frame_height, painters):
    """One frame per painter, each painter drawing at the origin."""
    canvas = Canvas(frame_width * len(painters), frame_height)
    for i, painter in enumerate(painters):
        painter(canvas, i * frame_width)
    return canvas


def surface(width, height, radius, fill, border=None):
    canvas = Canvas(width, height)
    shape = rounded_rect(0, 0, width, height, radius)
    canvas.paint(fill, shape)
    if border:
        canvas.paint(border, ring(shape, 1))
    return canvas


def button_strip():
    """Five frames, 96 x 32: normal, pushed, hot, focused, disabled."""

    def frame(fill, focus_ring=False):
        def painter(canvas, x):
            shape = rounded_rect(x, 0, x + 96, 32, 4)
            canvas.paint(fill, shape, (x, 0, x + 96, 32))
            if focus_ring:
                inner = rounded_rect(x + 2, 2, x + 94, 30, 3)
                canvas.paint(WINDOW, ring(inner, 1), (x, 0, x + 96, 32))
                canvas.paint(TEXT, ring(shape, 2), (x, 0, x + 96, 32))
        return painter

    return strip(96, 32, [frame(ACCENT), frame(ACCENT_PUSHED), frame(ACCENT_HOT), frame(ACCENT, True),
                          frame(DISABLED_SURFACE)])


def radio_strip():
    """Six frames, 20 x 20: normal, hot, selected, selected hot, disabled,
    disabled selected."""

    def frame(ring_colour, dot_colour=None):
        def painter(canvas, x):
            box = (x, 0, x + 20, 20)
            canvas.paint(ring_colour, ring(circle(x + 10, 10, 8), 2), box)
            if dot_colour:
                canvas.paint(dot_colour, circle(x + 10, 10, 4), box)
        return painter

    return strip(20, 20, [frame(SECONDARY), frame(TEXT), frame(ACCENT, ACCENT), frame(ACCENT_HOT, ACCENT_HOT),
                          frame(DISABLED_TEXT), frame(DISABLED_TEXT, DISABLED_TEXT)])


def check_strip():
    """Six frames, 20 x 20: normal, hot, selected, selected hot, disabled,
    disabled selected."""
    mark = [(5.5, 10.5), (8.5, 13.5), (14.5, 6.5)]

    def frame(colour, checked, mark_colour=WINDOW):
        def painter(canvas, x):
            box = (x, 0, x + 20, 20)
            square = rounded_rect(x + 1, 1, x + 19, 19, 4)
            if checked:
                canvas.paint(colour, square, box)
                canvas.paint(mark_colour, polyline([(x + px, py) for px, py in mark], 2), box)
            else:
                canvas.paint(colour, ring(square, 2), box)
        return painter

    return strip(20, 20, [frame(SECONDARY, False), frame(TEXT, False), frame(ACCENT, True), frame(ACCENT_HOT, True),
                          frame(DISABLED_TEXT, False), frame(DISABLED_TEXT, True, DISABLED_SURFACE)])


def arrow_strip(direction):
    """Four frames, 12 x 12: normal, hot, pushed, disabled; a chevron
    pointing up, down, left or right."""
    chevrons = {
        "up": [(3.0, 7.5), (6.0, 4.5), (9.0, 7.5)],
        "down": [(3.0, 4.5), (6.0, 7.5), (9.0, 4.5)],
        "left": [(7.5, 3.0), (4.5, 6.0), (7.5, 9.0)],
        "right": [(4.5, 3.0), (7.5, 6.0), (4.5, 9.0)],
    }

    def frame(colour, backdrop=None):
        def painter(canvas, x):
            box = (x, 0, x + 12, 12)
            if backdrop:
                canvas.paint(backdrop, rounded_rect(x, 0, x + 12, 12, 3), box)
            canvas.paint(colour, polyline([(x + px, py) for px, py in chevrons[direction]], 2), box)
        return painter

    return strip(12, 12, [frame(SECONDARY), frame(TEXT, HOT_SURFACE), frame(ACCENT, HOT_SURFACE),
                          frame(DISABLED_TEXT)])


def thumb_strip(horizontal):
    """Three frames, 12 x 12: normal, hot, pushed; an 8-pixel pill in the
    middle of the bar, stretched along it by a nine-grid."""

    def frame(colour):
        def painter(canvas, x):
            box = (x, 0, x + 12, 12)
            pill = rounded_rect(x, 2, x + 12, 10, 4) if horizontal else rounded_rect(x + 2, 0, x + 10, 12, 4)
            canvas.paint(colour, pill, box)
        return painter

    return strip(12, 12, [frame(DISABLED_TEXT), frame(SECONDARY), frame(ACCENT)])


def grip(horizontal):
    """The rail image: three short lines across the middle of the thumb."""
    canvas = Canvas(12, 12)
    for offset in (-2, 0, 2):
        if horizontal:
            canvas.paint(WINDOW, rounded_rect(5.5 + offset, 4, 6.5 + offset, 8, 0.5))
        else:
            canvas.paint(WINDOW, rounded_rect(4, 5.5 + offset, 8, 6.5 + offset, 0.5))
    return canvas


def track(horizontal):
    """The bar's background: a slim groove along it."""
    canvas = Canvas(12, 12)
    canvas.paint(WINDOW, rounded_rect(0, 4, 12, 8, 2) if horizontal else rounded_rect(4, 0, 8, 12, 2))
    return canvas


def bar(fill):
    """24 x 24 with nine-grid corners 4: a rounded bar that stretches along
    either axis (progress bars lie and stand)."""
    canvas = Canvas(24, 24)
    canvas.paint(fill, rounded_rect(0, 0, 24, 24, 4))
    return canvas


def groove(fill):
    """24 x 18, nine-grid corners 4 at the ends: a 6-pixel groove through
    the middle, for the slider's rail and its filled part."""
    canvas = Canvas(24, 18)
    canvas.paint(fill, rounded_rect(0, 6, 24, 12, 3))
    return canvas


def slider_thumb_strip():
    """Three frames, 18 x 18: normal, hot, pushed."""

    def frame(disc, edge, halo=None):
        def painter(canvas, x):
            box = (x, 0, x + 18, 18)
            if halo:
                canvas.paint(halo, circle(x + 9, 9, 9), box)
            canvas.paint(disc, circle(x + 9, 9, 7), box)
            canvas.paint(edge, ring(circle(x + 9, 9, 7), 2), box)
        return painter

    return strip(18, 18, [frame(TEXT, ACCENT), frame(TEXT, ACCENT_HOT, 0x5543CF7C), frame(ACCENT_PUSHED, TEXT)])


def tile_picture():
    """A stand-in game picture for the tiles: hills under an evening sky."""
    canvas = Canvas(96, 64)
    top, horizon = (0x3B, 0x2F, 0x6B), (0xF0, 0x9A, 0x5B)
    for y in range(64):
        t = min(1.0, y / 44.0)
        r, g, b = (round(a + (z - a) * t) for a, z in zip(top, horizon))
        for x in range(96):
            canvas.blend(x, y, 0xFF000000 | (r << 16) | (g << 8) | b, 1.0)
    canvas.paint(0xFFFFE2A8, circle(66, 30, 8))
    canvas.paint(0xFF2E5E4E, lambda px, py: (42 + 6 * math.sin(px / 12.0)) - py)
    canvas.paint(0xFF1F3B36, lambda px, py: (50 + 5 * math.sin(px / 8.0 + 2.0)) - py)
    return canvas


def close_strip():
    """Three frames, 16 x 16: normal, hot, pushed; a cross of 2-pixel lines."""

    def frame(colour, backdrop=None):
        def painter(canvas, x):
            box = (x, 0, x + 16, 16)
            if backdrop:
                canvas.paint(backdrop, rounded_rect(x, 0, x + 16, 16, 4), box)
            canvas.paint(colour, polyline([(x + 4.5, 4.5), (x + 11.5, 11.5)], 2), box)
            canvas.paint(colour, polyline([(x + 11.5, 4.5), (x + 4.5, 11.5)], 2), box)
        return painter

    return strip(16, 16, [frame(SECONDARY), frame(TEXT, HOT_SURFACE), frame(DANGER, HOT_SURFACE)])


IMAGES = {
    "window.png": lambda: surface(64, 64, 20, WINDOW, LINE),
    "panel.png": lambda: surface(32, 32, 8, PANEL, LINE),
    "tile.png": lambda: surface(32, 32, 6, WINDOW, LINE),
    "tile_hot.png": lambda: surface(32, 32, 6, HOT_SURFACE, ACCENT),
    "tile_picture.png": tile_picture,
    "button.png": button_strip,
    "radio.png": radio_strip,
    "check.png": check_strip,
    "scroll_up.png": lambda: arrow_strip("up"),
    "scroll_down.png": lambda: arrow_strip("down"),
    "scroll_left.png": lambda: arrow_strip("left"),
    "scroll_right.png": lambda: arrow_strip("right"),
    "scroll_thumb_v.png": lambda: thumb_strip(False),
    "scroll_thumb_h.png": lambda: thumb_strip(True),
    "scroll_grip_v.png": lambda: grip(False),
    "scroll_grip_h.png": lambda: grip(True),
    "scroll_track_v.png": lambda: track(False),
    "scroll_track_h.png": lambda: track(True),
    "progress_track.png": lambda: bar(WINDOW),
    "progress_fill.png": lambda: bar(ACCENT),
    "slider_track.png": lambda: groove(WINDOW),
    "slider_fill.png": lambda: groove(ACCENT),
    "slider_thumb.png": slider_thumb_strip,
    "close.png": close_strip,
    "text_field.png": lambda: surface(32, 32, 4, WINDOW, LINE),
    "text_field_focused.png": lambda: surface(32, 32, 4, WINDOW, ACCENT),
    "text_field_disabled.png": lambda: surface(32, 32, 4, DISABLED_SURFACE, LINE),
}


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make-images.py OUTPUT_FOLDER")
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, draw in IMAGES.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(draw().png())


if __name__ == "__main__":
    main()
