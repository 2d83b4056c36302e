#!/usr/bin/env python3
"""Draws the program's pictures and writes them beside the dialog script:

    res/printer.bmp   the wizard's picture: a receipt printer, 166 x 317,
                      24-bit, bottom-up
    res/instalix.ico  the program icon: one 32 x 32 image, 16 colours

    python3 res/art/draw.py [--png DIR]

--png also writes both pictures as PNG files (the icon enlarged) into DIR,
to look at them.  Python's standard library only.
"""
import argparse
import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.dirname(HERE)


# ---------------------------------------------------------------------------
# A small anti-aliased painter: shapes are given by signed distance
# functions (negative inside, in pixels); a pixel is covered by the part of
# a one-pixel (or, for soft shapes, wider) band that lies inside.

def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def hexcolor(s):
    return tuple(float(int(s[i:i + 2], 16)) for i in (1, 3, 5))


class Canvas:
    def __init__(self, width, height):
        self.w = width
        self.h = height
        self.px = [[0.0, 0.0, 0.0] for _ in range(width * height)]

    def fill(self, paint):
        for y in range(self.h):
            for x in range(self.w):
                self.px[y * self.w + x] = list(paint(x + 0.5, y + 0.5))

    def shape(self, sdf, box, paint, opacity=1.0, soft=1.0):
        """Paints sdf < 0 within box (x0, y0, x1, y1) with a colour or a
        function of (x, y) giving one."""
        x0, y0, x1, y1 = box
        pad = soft + 1
        xa, ya = max(0, int(x0 - pad)), max(0, int(y0 - pad))
        xb, yb = min(self.w, int(math.ceil(x1 + pad))), min(self.h, int(math.ceil(y1 + pad)))
        const = None if callable(paint) else paint
        for y in range(ya, yb):
            fy = y + 0.5
            row = y * self.w
            for x in range(xa, xb):
                fx = x + 0.5
                cover = clamp(0.5 - sdf(fx, fy) / soft) * opacity
                if cover <= 0.0:
                    continue
                c = const if const is not None else paint(fx, fy)
                p = self.px[row + x]
                p[0] += (c[0] - p[0]) * cover
                p[1] += (c[1] - p[1]) * cover
                p[2] += (c[2] - p[2]) * cover

    def rgb_rows(self):
        """Rows top to bottom, each a list of (r, g, b) bytes."""
        rows = []
        for y in range(self.h):
            row = []
            for p in self.px[y * self.w:(y + 1) * self.w]:
                row.append(tuple(int(clamp(v, 0.0, 255.0) + 0.5) for v in p))
            rows.append(row)
        return rows


def rounded_box(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return sdf


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ellipse(cx, cy, rx, ry):
    k = min(rx, ry)
    return lambda x, y: (math.hypot((x - cx) / rx, (y - cy) / ry) - 1.0) * k


def intersect(a, b):
    return lambda x, y: max(a(x, y), b(x, y))


def subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def vgradient(y0, y1, stops):
    """Colour by height: stops are (t, colour) with t from 0 at y0 to 1 at y1."""
    def at(t):
        t = clamp(t)
        for (ta, ca), (tb, cb) in zip(stops, stops[1:]):
            if t <= tb:
                return mix(ca, cb, 0.0 if tb == ta else (t - ta) / (tb - ta))
        return stops[-1][1]
    return lambda x, y: at((y - y0) / float(y1 - y0))


def shaded(paint, cx, half, depth):
    """Darkens a paint towards the left and right edges, for roundness."""
    def p(x, y):
        c = paint(x, y)
        k = 1.0 - depth * ((x - cx) / half) ** 2
        return tuple(v * k for v in c)
    return p


# ---------------------------------------------------------------------------
# The wizard's picture.

W, H = 166, 317
BLACK = (0.0, 0.0, 0.0)
WHITE = (255.0, 255.0, 255.0)


def background(c):
    top, bottom = hexcolor("#f7fafe"), hexcolor("#8fb0d8")
    glow = hexcolor("#ffffff")

    def paint(x, y):
        t = y / float(H)
        col = mix(top, bottom, t ** 1.35)
        # A soft light behind the printer.
        d = math.hypot((x - 84) / 95.0, (y - 170) / 150.0)
        col = mix(col, glow, 0.45 * clamp(1.0 - d) ** 2)
        # A little darker at the right edge, towards the pages.
        return mix(col, hexcolor("#6f8fb8"), 0.10 * clamp((x - 120) / 46.0) ** 2)
    c.fill(paint)
    # Faint rings in the upper corner.
    for cx, cy, r, a in ((18, 22, 46, 0.10), (140, 70, 30, 0.08), (30, 292, 38, 0.06)):
        c.shape(subtract(circle(cx, cy, r), circle(cx, cy, r - 1.6)), (cx - r, cy - r, cx + r, cy + r),
                WHITE, a)
        c.shape(circle(cx, cy, r - 6), (cx - r, cy - r, cx + r, cy + r), WHITE, a * 0.6)
    # The table the printer stands on: a lighter band that fades out.
    c.shape(lambda x, y: 268.0 - y, (0, 262, W, H),
            vgradient(268, H, [(0.0, hexcolor("#dfe9f5")), (1.0, hexcolor("#9db9dc"))]), 0.55, soft=6.0)


# Geometry of the printer.
BODY = (18, 182, 148, 262)      # front part, dark
LID = (22, 150, 144, 200)       # light clamshell lid
SLOT = (34, 163, 132, 170)      # the paper exit
PAPER_X = (44, 122)
PAPER_TOP = 22
TEETH = 6.0                     # width of one tooth of the torn edge


def paper_sdf():
    x0, x1 = PAPER_X
    body = rounded_box(x0, PAPER_TOP - 10, x1, SLOT[3], 0.5)
    slope = 1.0

    def torn(x, y):
        # A zigzag top edge.
        u = (x - x0) / TEETH
        tri = abs(u - math.floor(u) - 0.5) * 2.0      # 0 at the points, 1 in the notches
        edge = PAPER_TOP + 3.0 * tri
        return (edge - y) / math.sqrt(1.0 + slope * slope)
    return intersect(body, torn)


def draw_receipt(c):
    x0, x1 = PAPER_X
    bottom = SLOT[3]
    paper = paper_sdf()
    # Shadow of the strip on the background.
    shifted = lambda x, y: paper(x - 4.0, y - 2.0)
    c.shape(shifted, (x0, PAPER_TOP, x1 + 10, bottom), hexcolor("#34507a"), 0.22, soft=7.0)
    # The paper: white, slightly warmer and greyer towards the slot, with
    # a soft fold of light along its length.
    base = vgradient(PAPER_TOP, bottom, [(0.0, hexcolor("#ffffff")), (0.7, hexcolor("#fbfbf9")),
                                         (1.0, hexcolor("#d9dcdf"))])

    def paint(x, y):
        col = base(x, y)
        u = (x - x0) / float(x1 - x0)
        k = 1.0 - 0.07 * (u ** 3) - 0.04 * ((1 - u) ** 4)
        return tuple(v * k for v in col)
    # A faint edge, so that the strip stands out from the light background.
    c.shape(lambda x, y: paper(x, y) - 0.9, (x0 - 2, PAPER_TOP - 2, x1 + 2, bottom), hexcolor("#a3b1c4"), 0.7)
    c.shape(paper, (x0, PAPER_TOP, x1, bottom), paint)

    ink = hexcolor("#4a5160")
    light_ink = hexcolor("#8a909b")

    def bar(xa, xb, y, thick=2.0, col=ink, a=1.0):
        c.shape(rounded_box(xa, y, xb, y + thick, thick / 2.0), (xa, y, xb, y + thick), col, a)

    # Header: a round logo and the shop's name, centred.
    cx = (x0 + x1) / 2.0
    c.shape(circle(cx, 40, 7.0), (cx - 8, 32, cx + 8, 48), hexcolor("#2f6db5"))
    c.shape(subtract(circle(cx, 40, 4.2), circle(cx + 1.6, 38.6, 3.0)), (cx - 6, 34, cx + 6, 46), WHITE)
    bar(cx - 22, cx + 22, 52, 3.0)
    bar(cx - 15, cx + 15, 58, 1.6, light_ink)
    bar(cx - 18, cx + 18, 62, 1.6, light_ink)

    def dashes(y):
        x = x0 + 5.0
        while x + 3 <= x1 - 5:
            bar(x, x + 3.0, y, 1.2, light_ink)
            x += 5.0

    dashes(69)
    # Items: name on the left, price on the right.
    items = [(30, 14), (22, 12), (34, 16), (18, 12), (26, 14)]
    y = 75.0
    for name, price in items:
        bar(x0 + 6, x0 + 6 + name, y, 2.0)
        bar(x1 - 6 - price, x1 - 6, y, 2.0)
        y += 7.0
    dashes(y + 1)
    # Total, in bold.
    bar(x0 + 6, x0 + 26, y + 7, 3.2)
    bar(x1 - 26, x1 - 6, y + 7, 3.2)
    # A barcode.
    widths = [2, 1, 1, 2, 1, 3, 1, 1, 2, 2, 1, 1, 3, 1, 2, 1, 1, 2, 1, 3, 2, 1, 1, 2, 1, 2, 1, 1, 3, 1, 1, 2]
    total = sum(widths)
    scale = 1.1
    bx = cx - total * scale / 2.0
    top = y + 17
    black = True
    for wdt in widths:
        if black:
            c.shape(rounded_box(bx, top, bx + wdt * scale, top + 14, 0.01),
                    (bx, top, bx + wdt * scale, top + 14), hexcolor("#2c313a"))
        bx += wdt * scale
        black = not black
    bar(cx - 20, cx + 20, top + 18, 1.4, light_ink)
    bar(cx - 12, cx + 12, top + 22, 1.4, light_ink)


def draw_printer(c):
    bx0, by0, bx1, by1 = BODY
    lx0, ly0, lx1, ly1 = LID
    cx = (bx0 + bx1) / 2.0

    # Shadow on the table.
    c.shape(ellipse(cx + 2, by1 + 3, 72, 8), (bx0 - 14, by1 - 10, bx1 + 16, by1 + 16),
            hexcolor("#1c2b44"), 0.45, soft=9.0)
    c.shape(ellipse(cx + 1, by1 + 1, 62, 3.5), (bx0 - 4, by1 - 6, bx1 + 6, by1 + 6),
            hexcolor("#121a28"), 0.5, soft=3.0)

    # Feet.
    for fx in (bx0 + 10, bx1 - 24):
        c.shape(rounded_box(fx, by1 - 4, fx + 14, by1 + 2, 2.5), (fx, by1 - 4, fx + 14, by1 + 2),
                hexcolor("#15181d"))

    # Body: dark charcoal, rounded, shaded towards its sides and bottom.
    body = rounded_box(bx0, by0, bx1, by1, 13)
    body_paint = shaded(vgradient(by0, by1, [(0.0, hexcolor("#5d6878")), (0.45, hexcolor("#414a57")),
                                             (1.0, hexcolor("#262b33"))]), cx, (bx1 - bx0) / 2.0, 0.28)
    c.shape(body, BODY, body_paint)
    # A thin light rim at the body's lower edge (reflection of the table).
    c.shape(intersect(body, lambda x, y: (by1 - 3.0) - y), BODY, hexcolor("#7d8aa0"), 0.35)

    # Lid: light grey, a rounded clamshell over the body's top.
    lid = rounded_box(lx0, ly0, lx1, ly1, 17)
    lid_paint = shaded(vgradient(ly0, ly1, [(0.0, hexcolor("#fafbfd")), (0.35, hexcolor("#e3e7ed")),
                                            (1.0, hexcolor("#aeb6c2"))]), cx, (lx1 - lx0) / 2.0, 0.22)
    # Its shadow on the body.
    c.shape(lambda x, y: lid(x, y - 3.0), (lx0, ly0, lx1, ly1 + 5), hexcolor("#1a1e25"), 0.55, soft=4.0)
    c.shape(lid, LID, lid_paint)
    # A band of reflected light across the top of the lid.
    c.shape(intersect(rounded_box(lx0 + 8, ly0 + 2.5, lx1 - 8, ly0 + 8, 3), lid), LID, WHITE, 0.55, soft=2.0)
    # Seam between lid and body.
    seam = intersect(rounded_box(lx0 + 2, ly1 - 2.2, lx1 - 2, ly1 - 0.8, 0.7), lid)
    c.shape(seam, (lx0, ly1 - 4, lx1, ly1), hexcolor("#7b8594"), 0.8)

    # Paper exit: a dark slot with the strip coming out of it.
    sx0, sy0, sx1, sy1 = SLOT
    c.shape(rounded_box(sx0, sy0, sx1, sy1, 3.5), SLOT, hexcolor("#1b1f26"))
    draw_receipt(c)
    # The slot's front lip and the tear bar over the strip's foot.
    c.shape(rounded_box(sx0 - 1, sy1 - 1.5, sx1 + 1, sy1 + 3.5, 2.5), (sx0 - 1, sy1 - 2, sx1 + 1, sy1 + 4),
            vgradient(sy1 - 1.5, sy1 + 3.5, [(0.0, hexcolor("#f4f6f9")), (1.0, hexcolor("#b9c1cc"))]))
    for tx in range(int(sx0 + 3), int(sx1 - 2), 3):
        c.shape(rounded_box(tx, sy1 + 1.2, tx + 1.2, sy1 + 3.0, 0.4), (tx, sy1, tx + 2, sy1 + 4),
                hexcolor("#8d96a3"), 0.7)
    c.shape(rounded_box(sx0 + 2, sy1 + 3.8, sx1 - 2, sy1 + 4.8, 0.5), (sx0, sy1 + 3, sx1, sy1 + 6),
            hexcolor("#ffffff"), 0.6)

    # The lid's release lever on its side.
    c.shape(rounded_box(lx1 - 18, ly1 - 14, lx1 - 8, ly1 - 7, 2.5), (lx1 - 19, ly1 - 15, lx1 - 7, ly1 - 6),
            vgradient(ly1 - 14, ly1 - 7, [(0.0, hexcolor("#c5ccd6")), (1.0, hexcolor("#8f99a8"))]))

    # Front panel: a recessed strip with the feed button and the status light.
    px0, py0, px1, py1 = bx0 + 14, by0 + 30, bx1 - 14, by0 + 50
    c.shape(rounded_box(px0, py0 - 1, px1, py1 - 1, 6), (px0, py0 - 2, px1, py1), hexcolor("#1d2128"), 0.7)
    c.shape(rounded_box(px0, py0 + 0.5, px1, py1 + 0.5, 6), (px0, py0, px1, py1 + 1), hexcolor("#7f8ba0"), 0.35)
    c.shape(rounded_box(px0, py0, px1, py1, 6), (px0, py0, px1, py1),
            vgradient(py0, py1, [(0.0, hexcolor("#2a3039")), (1.0, hexcolor("#3a424e"))]))
    # Name plate: a light bar on the left.
    c.shape(rounded_box(px0 + 8, py0 + 8, px0 + 42, py0 + 11.5, 1.5), (px0 + 8, py0 + 8, px0 + 42, py0 + 12),
            hexcolor("#c8d2e0"), 0.85)
    c.shape(rounded_box(px0 + 8, py0 + 13.5, px0 + 28, py0 + 15, 0.7), (px0 + 8, py0 + 13, px0 + 28, py0 + 15),
            hexcolor("#8794a8"), 0.8)
    # Feed button.
    fbx = px1 - 40
    c.shape(rounded_box(fbx, py0 + 5, fbx + 16, py0 + 15, 4), (fbx - 1, py0 + 4, fbx + 17, py0 + 17),
            hexcolor("#111418"), 0.6, soft=1.6)
    c.shape(rounded_box(fbx, py0 + 4, fbx + 16, py0 + 14, 4), (fbx, py0 + 4, fbx + 16, py0 + 14),
            vgradient(py0 + 4, py0 + 14, [(0.0, hexcolor("#e9edf2")), (1.0, hexcolor("#a6afbc"))]))
    # Status light: green, glowing.
    lx, ly = px1 - 12, py0 + 9.5
    c.shape(circle(lx, ly, 9), (lx - 10, ly - 10, lx + 10, ly + 10), hexcolor("#39e07a"), 0.25, soft=8.0)
    c.shape(circle(lx, ly, 3.6), (lx - 5, ly - 5, lx + 5, ly + 5), hexcolor("#0e3a20"))
    c.shape(circle(lx, ly, 2.9), (lx - 4, ly - 4, lx + 4, ly + 4),
            lambda x, y: mix(hexcolor("#caffd9"), hexcolor("#22c45e"), clamp(math.hypot(x - lx + 0.8, y - ly + 0.8) / 3.2)))


def draw_picture():
    c = Canvas(W, H)
    background(c)
    draw_printer(c)
    return c.rgb_rows()


def bmp_bytes(rows):
    """A 24-bit bottom-up BMP file of rows (top to bottom) of (r, g, b)."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        pixels += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + bytes(pixels)


# ---------------------------------------------------------------------------
# The icon: pixel art in the standard 16 colours.

VGA = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
# Letters of the drawing: "." is transparent.
ICON_KEYS = {"K": 0, "r": 1, "d": 2, "n": 4, "t": 6, "s": 7, "g": 8, "L": 10, "B": 12, "W": 15}

ICON = [
    "................................",
    "................................",
    "..........KKKKKKKKKKKK..........",
    "..........KWWWWWWWWWWK..........",
    "..........KWBBBBBBBBWK..........",
    "..........KWWWWWWWWWWK..........",
    "..........KWggggWWggWK..........",
    "..........KWWWWWWWWWWK..........",
    "..........KWgggWWWggWK..........",
    "..........KWWWWWWWWWWK..........",
    "..........KWggggWgggWK..........",
    "..........KWWWWWWWWWWK..........",
    "....KKKKKKKWgggWWWggWKKKKKKK....",
    "...KWWWWWWKWWWWWWWWWWKWWWWWWK...",
    "..KWssssssKWWWWWWWWWWKsssssssK..",
    "..KWsssKKKKKKKKKKKKKKKKKKssssK..",
    "..KWsssWWWWWWWWWWWWWWWWWWssssK..",
    "..KsssssssssssssssssssssssssgK..",
    "..KggggggggggggggggggggggggggK..",
    ".KKKKKKKKKKKKKKKKKKKKKKKKKKKKKK.",
    ".KssssssssssssssssssssssssssssK.",
    ".KggggggggggggggggggggggggggggK.",
    ".KggnnnnnnnnnnnnnnnnnnnnnnnnggK.",
    ".KggnWWWWWWnnnnnnnnnssnnLLnnggK.",
    ".KggnnnnnnnnnnnnnnnnggnnLLnnggK.",
    ".KggnnnnnnnnnnnnnnnnnnnnnnnnggK.",
    ".KggggggggggggggggggggggggggggK.",
    ".KKKKKKKKKKKKKKKKKKKKKKKKKKKKKK.",
    "...KKKK..................KKKK...",
    "................................",
    "................................",
    "................................",
]


def icon_bytes(art):
    """A .ico file with one 32 x 32, 4-bit image and its AND mask."""
    assert len(art) == 32 and all(len(r) == 32 for r in art), "the icon must be 32 x 32"
    xor = bytearray()
    mask = bytearray()
    for row in reversed(art):
        indexes = [0 if ch == "." else ICON_KEYS[ch] for ch in row]
        for i in range(0, 32, 2):
            xor.append((indexes[i] << 4) | indexes[i + 1])
        bits = 0
        for ch in row:
            bits = (bits << 1) | (1 if ch == "." else 0)
        mask += struct.pack(">I", bits)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA)
    info = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = info + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def icon_preview_rows(art, scale=8):
    rows = []
    for y, line in enumerate(art):
        row = []
        for x, ch in enumerate(line):
            if ch == ".":
                checker = (x + y) % 2
                col = (205, 210, 220) if checker else (225, 228, 235)
            else:
                col = VGA[ICON_KEYS[ch]]
            row += [col] * scale
        rows += [row] * scale
    return rows


# ---------------------------------------------------------------------------

def png_bytes(rows):
    height, width = len(rows), len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for px in row:
            raw += bytes(px)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def main():
    parser = argparse.ArgumentParser(description="Draws the program's pictures.")
    parser.add_argument("--png", metavar="DIR", help="also write PNG previews into DIR")
    parser.add_argument("--out-dir", default=RES, help="where printer.bmp and instalix.ico go")
    args = parser.parse_args()
    picture = draw_picture()
    with open(os.path.join(args.out_dir, "printer.bmp"), "wb") as f:
        f.write(bmp_bytes(picture))
    with open(os.path.join(args.out_dir, "instalix.ico"), "wb") as f:
        f.write(icon_bytes(ICON))
    if args.png:
        os.makedirs(args.png, exist_ok=True)
        with open(os.path.join(args.png, "printer.png"), "wb") as f:
            f.write(png_bytes(picture))
        with open(os.path.join(args.png, "instalix-icon.png"), "wb") as f:
            f.write(png_bytes(icon_preview_rows(ICON)))
        # The picture at twice its size, to judge the edges.
        big = []
        for row in picture:
            wide = [p for p in row for _ in (0, 1)]
            big += [wide, wide]
        with open(os.path.join(args.png, "printer-2x.png"), "wb") as f:
            f.write(png_bytes(big))
    return 0


if __name__ == "__main__":
    sys.exit(main())
