#!/usr/bin/env python3
"""Draws the launcher's skin images and icons.

    gen_art.py OUTDIR

Writes every PNG that LgTarvo.rc embeds, plus the two .ico files, into OUTDIR.
Standard library only; the same bytes on every run.

How the program uses these pictures decides how they are drawn:
- Skins are converted to colour-keyed bitmaps when loaded: a fully transparent
  pixel becomes magenta RGB(255, 0, 255) and a partly transparent one is
  blended with white. So every skin except the login background is written
  fully opaque: see-through parts are opaque magenta, and anti-aliased edges
  are blended here with the colour the picture will sit on.
- Buttons are strips of equal-width states side by side: normal, hover,
  pressed, disabled (tabs: normal, hot, current; tab close: normal, hover,
  pressed).
- A skinned window's corners are cut wherever its background shows magenta in
  the 9 x 9 corner squares. Frames that are stretched keep their magenta inside
  the fixed 4-pixel border columns, or the stretch would smear it along the top.
- The login background (129) is the one picture with real per-pixel alpha: it
  is shown by a layered window over whatever lies behind it.
"""

import os
import struct
import sys
import zlib

KEY = (255, 0, 255)

# Palette. One caption colour for every caption band, header and tab, so that
# all caption buttons can be blended against it.
CAPTION = (40, 48, 62)
WINDOW_EDGE = (22, 27, 36)
CAPTION_LINE = (58, 69, 88)
ACCENT = (24, 119, 200)
ACCENT_DARK = (16, 86, 150)
BODY_LIGHT = (246, 248, 251)
BODY_DARK = (30, 34, 42)
LINE_LIGHT = (214, 221, 230)
GLYPH = (234, 238, 244)
GLYPH_OFF = (108, 114, 124)
HOVER = (68, 80, 100)
PRESSED = (20, 24, 31)
RED = (220, 62, 56)
RED_DARK = (170, 36, 32)
GOLD = (242, 196, 70)
WHITE = (255, 255, 255)

WINDOW_CORNER_RADIUS = 4  # rounded top corners of skinned windows


# ---------------------------------------------------------------------------
# Shapes: each is (coverage function of a point, bounding box). Points are
# pixel centres (x + 0.5, y + 0.5); coverage is 0..1.

def _clamp01(v):
    return 0.0 if v <= 0.0 else 1.0 if v >= 1.0 else v


def _cov(d):
    """Coverage of a pixel whose centre lies at signed distance d from an edge."""
    return 1.0 if d <= -0.5 else 0.0 if d >= 0.5 else 0.5 - d


def rrect(x0, y0, x1, y1, r=0.0, tl=True, tr=True, br=True, bl=True):
    """Rectangle [x0, x1) x [y0, y1) with corners of radius r (chosen corners only)."""
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0, (y1 - y0) / 2.0

    def cov(px, py):
        left, top = px < cx, py < cy
        rounded = (tl if top else bl) if left else (tr if top else br)
        rr = r if rounded else 0.0
        qx = abs(px - cx) - (hx - rr)
        qy = abs(py - cy) - (hy - rr)
        ox, oy = max(qx, 0.0), max(qy, 0.0)
        d = (ox * ox + oy * oy) ** 0.5 + min(max(qx, qy), 0.0) - rr
        return _cov(d)

    return cov, (x0, y0, x1, y1)


def circle(cx, cy, r):
    def cov(px, py):
        return _cov(((px - cx) ** 2 + (py - cy) ** 2) ** 0.5 - r)

    return cov, (cx - r, cy - r, cx + r, cy + r)


def ellipse(cx, cy, rx, ry):
    # Distance approximated by scaling to a unit circle: good enough for small glyphs.
    k = min(rx, ry)

    def cov(px, py):
        dx, dy = (px - cx) / rx, (py - cy) / ry
        return _cov(((dx * dx + dy * dy) ** 0.5 - 1.0) * k)

    return cov, (cx - rx, cy - ry, cx + rx, cy + ry)


def ring(cx, cy, r, width):
    def cov(px, py):
        return _cov(abs(((px - cx) ** 2 + (py - cy) ** 2) ** 0.5 - r) - width / 2.0)

    e = r + width / 2.0
    return cov, (cx - e, cy - e, cx + e, cy + e)


def line(x0, y0, x1, y1, width):
    """A stroke with round caps."""
    dx, dy = x1 - x0, y1 - y0
    ll = dx * dx + dy * dy
    hw = width / 2.0

    def cov(px, py):
        t = 0.0 if ll == 0 else _clamp01(((px - x0) * dx + (py - y0) * dy) / ll)
        ex, ey = px - (x0 + t * dx), py - (y0 + t * dy)
        return _cov((ex * ex + ey * ey) ** 0.5 - hw)

    return cov, (min(x0, x1) - hw, min(y0, y1) - hw, max(x0, x1) + hw, max(y0, y1) + hw)


def polygon(points, samples=4):
    """Filled polygon, anti-aliased by sampling each pixel samples x samples times."""
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    edges = list(zip(points, points[1:] + points[:1]))
    offsets = [(i + 0.5) / samples - 0.5 for i in range(samples)]
    n = float(samples * samples)

    def inside(x, y):
        c = False
        for (ax, ay), (bx, by) in edges:
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                c = not c
        return c

    def cov(px, py):
        hits = 0
        for oy in offsets:
            for ox in offsets:
                if inside(px + ox, py + oy):
                    hits += 1
        return hits / n

    return cov, (min(xs), min(ys), max(xs), max(ys))


def intersect(a, b):
    (ca, ba), (cb, bb) = a, b
    box = (max(ba[0], bb[0]), max(ba[1], bb[1]), min(ba[2], bb[2]), min(ba[3], bb[3]))
    return (lambda px, py: ca(px, py) * cb(px, py)), box


def union(*shapes):
    boxes = [b for _, b in shapes]
    box = (min(b[0] for b in boxes), min(b[1] for b in boxes),
           max(b[2] for b in boxes), max(b[3] for b in boxes))
    return (lambda px, py: max(c(px, py) for c, _ in shapes)), box


def subtract(a, b):
    (ca, ba), (cb, _) = a, b
    return (lambda px, py: ca(px, py) * (1.0 - cb(px, py))), ba


def hard(shape):
    """The same shape without anti-aliasing (pixel-exact window corners)."""
    c, box = shape
    return (lambda px, py: 1.0 if c(px, py) >= 0.5 else 0.0), box


# ---------------------------------------------------------------------------
# Canvas: straight (not premultiplied) RGBA in floats, composited "over".

class Canvas:
    def __init__(self, w, h):
        """A transparent canvas."""
        self.w, self.h = w, h
        n = w * h
        self.r, self.g, self.b, self.a = [0.0] * n, [0.0] * n, [0.0] * n, [0.0] * n

    def blend(self, i, r, g, b, sa):
        """Composite a colour of alpha sa (0..1) over pixel i."""
        if sa <= 0.0:
            return
        da = self.a[i] / 255.0
        oa = sa + da * (1.0 - sa)
        k = da * (1.0 - sa)
        self.r[i] = (r * sa + self.r[i] * k) / oa
        self.g[i] = (g * sa + self.g[i] * k) / oa
        self.b[i] = (b * sa + self.b[i] * k) / oa
        self.a[i] = oa * 255.0

    def paint(self, shape, colour, alpha=1.0):
        """Fill a shape. colour is (r, g, b) or a function (x, y) -> (r, g, b)."""
        cov, (bx0, by0, bx1, by1) = shape
        x0, y0 = max(0, int(bx0) - 1), max(0, int(by0) - 1)
        x1, y1 = min(self.w, int(bx1) + 2), min(self.h, int(by1) + 2)
        flat = not callable(colour)
        for y in range(y0, y1):
            py = y + 0.5
            row = y * self.w
            for x in range(x0, x1):
                c = cov(x + 0.5, py)
                if c <= 0.0:
                    continue
                r, g, b = colour if flat else colour(x, y)
                self.blend(row + x, r, g, b, c * alpha)

    def rect(self, x0, y0, x1, y1, colour):
        self.paint(rrect(x0, y0, x1, y1), colour)

    def erase(self, shape):
        """Make a shape transparent again (used to cut one glyph part out of another)."""
        cov, (bx0, by0, bx1, by1) = shape
        for y in range(max(0, int(by0) - 1), min(self.h, int(by1) + 2)):
            for x in range(max(0, int(bx0) - 1), min(self.w, int(bx1) + 2)):
                c = cov(x + 0.5, y + 0.5)
                if c > 0.0:
                    self.a[y * self.w + x] *= 1.0 - c

    def draw(self, layer, dx=0, dy=0, colour=None):
        """Composite another canvas at (dx, dy); with colour, use only its alpha (a stencil)."""
        for y in range(layer.h):
            ty = y + dy
            if not 0 <= ty < self.h:
                continue
            for x in range(layer.w):
                tx = x + dx
                if not 0 <= tx < self.w:
                    continue
                j = y * layer.w + x
                sa = layer.a[j] / 255.0
                if sa <= 0.0:
                    continue
                if colour is None:
                    self.blend(ty * self.w + tx, layer.r[j], layer.g[j], layer.b[j], sa)
                else:
                    self.blend(ty * self.w + tx, colour[0], colour[1], colour[2], sa)

    def pixels(self, matte=None):
        """Bytes RGBA, rounded. With a matte colour the result is opaque: transparent
        pixels become the key colour and partly transparent ones are blended over
        the matte (the colour the picture sits on)."""
        out = bytearray(self.w * self.h * 4)
        for i in range(self.w * self.h):
            a = int(self.a[i] + 0.5)
            r, g, b = self.r[i], self.g[i], self.b[i]
            if matte is not None:
                if a == 0:
                    r, g, b = KEY
                elif a < 255:
                    k = a / 255.0
                    r = r * k + matte[0] * (1.0 - k)
                    g = g * k + matte[1] * (1.0 - k)
                    b = b * k + matte[2] * (1.0 - k)
                a = 255
            elif a == 0:
                r = g = b = 0
            o = i * 4
            out[o] = int(r + 0.5)
            out[o + 1] = int(g + 0.5)
            out[o + 2] = int(b + 0.5)
            out[o + 3] = a
        return bytes(out)


def strip(frames):
    """Join equally sized frames (byte RGBA) side by side into one image."""
    w, h = frames[0][0], frames[0][1]
    rows = []
    for y in range(h):
        for fw, fh, data in frames:
            assert (fw, fh) == (w, h)
            rows.append(data[y * w * 4:(y + 1) * w * 4])
    return w * len(frames), h, b"".join(rows)


# ---------------------------------------------------------------------------
# PNG and ICO writers.

def _chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png_bytes(w, h, rgba):
    """PNG of 8-bit RGBA, or RGB when every pixel is opaque. Each row takes the
    filter (none, sub or up) with the smallest sum of magnitudes."""
    opaque = all(rgba[i] == 255 for i in range(3, len(rgba), 4))
    bpp = 3 if opaque else 4
    if opaque:
        px = bytearray(w * h * 3)
        px[0::3], px[1::3], px[2::3] = rgba[0::4], rgba[1::4], rgba[2::4]
        px = bytes(px)
    else:
        px = rgba
    stride = w * bpp
    raw = bytearray()
    prev = bytes(stride)
    for y in range(h):
        row = px[y * stride:(y + 1) * stride]
        sub = bytes((row[i] - (row[i - bpp] if i >= bpp else 0)) & 255 for i in range(stride))
        up = bytes((row[i] - prev[i]) & 255 for i in range(stride))
        best = min(((0, row), (1, sub), (2, up)),
                   key=lambda c: sum(v if v < 128 else 256 - v for v in c[1]))
        raw.append(best[0])
        raw += best[1]
        prev = row
    ihdr = struct.pack(">IIBBBBB", w, h, 8, 6 if bpp == 4 else 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", ihdr) +
            _chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + _chunk(b"IEND", b""))


def ico_bytes(images):
    """Icon file with 32-bit images (size, RGBA bytes), stored as bottom-up DIBs
    with an AND mask that marks the fully transparent pixels."""
    head = struct.pack("<HHH", 0, 1, len(images))
    entries, blobs = b"", b""
    offset = 6 + 16 * len(images)
    for size, rgba in images:
        xor = bytearray()
        for y in range(size - 1, -1, -1):
            for x in range(size):
                o = (y * size + x) * 4
                xor += bytes((rgba[o + 2], rgba[o + 1], rgba[o], rgba[o + 3]))
        mask_stride = ((size + 31) // 32) * 4
        mask = bytearray()
        for y in range(size - 1, -1, -1):
            row = bytearray(mask_stride)
            for x in range(size):
                if rgba[(y * size + x) * 4 + 3] == 0:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        bih = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask),
                          0, 0, 0, 0)
        blob = bih + bytes(xor) + bytes(mask)
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        blobs += blob
        offset += len(blob)
    return head + entries + blobs


# ---------------------------------------------------------------------------
# Small pieces shared by several pictures.

# A 5 x 7 pixel font, just the letters of the product's word mark.
FONT = {
    "t": [".#...", ".#...", "####.", ".#...", ".#...", ".#..#", "..##."],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    "v": [".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
}

# 9 x 10 pixel drawings of the two characters on the picture notice's close button.
CLOSE_TEXT = [
    ["..#...#..", "...#.#...", ".#######.", "....#....", "#########",
     "....#....", "...#.#...", "..#...#..", ".#.....#.", "#.......#"],
    [".#.######", "#.......#", "#....#..#", "#.#####.#", "#...##..#",
     "#..#.#..#", "#.#..#..#", "#....#..#", "#..##...#", "#......##"],
]


def bitmap_text(canvas, x, y, rows_list, colour, scale=1, gap=1):
    """Draws pixel drawings (lists of rows of '#') side by side; returns the end x."""
    for rows in rows_list:
        for j, row in enumerate(rows):
            for i, ch in enumerate(row):
                if ch == "#":
                    x0, y0 = x + i * scale, y + j * scale
                    canvas.rect(x0, y0, x0 + scale, y0 + scale, colour)
        x += (len(rows[0]) + gap) * scale
    return x


def word_mark(canvas, x, y, colour, scale=1):
    return bitmap_text(canvas, x, y, [FONT[c] for c in "tarvo"], colour, scale)


def note(canvas, cx, cy, s, colour):
    """The logo's music note, about s pixels high, centred on (cx, cy)."""
    hx, hy = cx - 0.14 * s, cy + 0.28 * s
    canvas.paint(ellipse(hx, hy, 0.2 * s, 0.15 * s), colour)
    stem_x = hx + 0.17 * s
    canvas.paint(line(stem_x, hy - 0.02 * s, stem_x, cy - 0.42 * s, max(1.2, 0.09 * s)), colour)
    flag_end = (stem_x + 0.24 * s, cy - 0.16 * s)
    canvas.paint(line(stem_x, cy - 0.42 * s, flag_end[0], flag_end[1], max(1.2, 0.09 * s)), colour)


def logo(canvas, cx, cy, r, badge=ACCENT, ink=WHITE):
    """Round badge with the note: the product's logo."""
    canvas.paint(circle(cx, cy, r), badge)
    if badge == ACCENT:
        canvas.paint(ring(cx, cy, r - 0.08 * r - 0.5, max(1.0, 0.08 * r)), (86, 164, 230))
    note(canvas, cx, cy, 1.15 * r, ink)


def cross(layer, cx, cy, size, width):
    h = size / 2.0
    layer.paint(line(cx - h, cy - h, cx + h, cy + h, width), WHITE)
    layer.paint(line(cx - h, cy + h, cx + h, cy - h, width), WHITE)


def speaker(layer, x, cy):
    """Speaker: a box from x and a cone that ends at x + 6, centred vertically on cy."""
    layer.paint(rrect(x, cy - 2, x + 3, cy + 2), WHITE)
    cone = [(x + 3, cy - 2), (x + 6, cy - 5), (x + 6, cy + 5), (x + 3, cy + 2)]
    layer.paint(polygon(cone), WHITE)


def corner_key(w, h, radius=WINDOW_CORNER_RADIUS, left=True, right=True, x0=0):
    """Hard-edged shape of a window with rounded top corners; outside it is key colour."""
    return hard(rrect(x0, 0, x0 + w, h + radius, radius, tl=left, tr=right, br=False, bl=False))


def outlined(canvas, shape_outer, shape_inner, edge, fill):
    canvas.paint(shape_outer, edge)
    canvas.paint(shape_inner, fill)


# ---------------------------------------------------------------------------
# Glyph layers for caption buttons: white on transparent, used as stencils.

def glyph_maximize(w, h):
    g = Canvas(w, h)
    x0, y0 = w // 2 - 5, h // 2 - 5
    g.paint(subtract(rrect(x0, y0, x0 + 10, y0 + 10), rrect(x0 + 1, y0 + 2, x0 + 9, y0 + 9)), WHITE)
    return g


def glyph_minimize(w, h):
    g = Canvas(w, h)
    g.rect(w // 2 - 5, h // 2 + 3, w // 2 + 5, h // 2 + 5, WHITE)
    return g


def glyph_restore(w, h):
    g = Canvas(w, h)
    x0, y0 = w // 2 - 5, h // 2 - 5
    back = subtract(rrect(x0 + 3, y0, x0 + 11, y0 + 8), rrect(x0 + 4, y0 + 2, x0 + 10, y0 + 7))
    g.paint(back, WHITE)
    g.erase(rrect(x0 - 1, y0 + 2, x0 + 9, y0 + 12))
    front = subtract(rrect(x0, y0 + 3, x0 + 8, y0 + 11), rrect(x0 + 1, y0 + 5, x0 + 7, y0 + 10))
    g.paint(front, WHITE)
    return g


def glyph_hide(w, h):
    """Arrow down onto a bar: the window goes away to the tray."""
    g = Canvas(w, h)
    cx, cy = w // 2 + 1.0, h // 2 + 0.0  # between two pixel columns: a crisp 2-pixel shaft
    g.paint(line(cx, cy - 6, cx, cy + 2, 2.0), WHITE)
    g.paint(line(cx - 4.5, cy - 2, cx, cy + 2.5, 1.8), WHITE)
    g.paint(line(cx + 4.5, cy - 2, cx, cy + 2.5, 1.8), WHITE)
    g.rect(cx - 5, cy + 5, cx + 5, cy + 7, WHITE)
    return g


def glyph_sound(w, h, on):
    g = Canvas(w, h)
    x, cy = w // 2 - 6, h / 2.0
    speaker(g, x, cy)
    if on:
        # Two sound waves: arcs around the cone's tip, cut to a wedge in front of it.
        ox = x + 5.0
        wedge = (lambda px, py: 1.0 if px >= ox + 2.0 and abs(py - cy) <= 1.1 * (px - ox) else 0.0,
                 (ox, 0, w, h))
        for r in (4.5, 7.5):
            g.paint(intersect(ring(ox, cy, r, 1.4), wedge), WHITE)
    else:
        cross(g, x + 11.5, cy, 6.0, 1.5)
    return g


def glyph_close(w, h, size=8.0, width=1.5):
    g = Canvas(w, h)
    # Centred on a pixel centre with an even size, the strokes run through pixel centres.
    cross(g, (w - 1) // 2 + 0.5, (h - 1) // 2 + 0.5, size, width)
    return g


# ---------------------------------------------------------------------------
# The pictures. Each function returns (width, height, RGBA bytes).

def caption_button(w, h, glyph, hover=HOVER, pressed=PRESSED, round_top_right=False):
    """Caption button on the dark caption band: the glyph alone while normal,
    on a lighter square while hovered, a darker one while pressed, grey while
    disabled. Blended against the caption colour; what the band should show
    through is key colour."""
    frames = []
    for state in range(4):
        c = Canvas(w, h)
        body = corner_key(w, h, left=False) if round_top_right else rrect(0, 0, w, h)
        if state == 1:
            c.paint(body, hover)
        elif state == 2:
            c.paint(body, pressed)
        c.draw(glyph, 0, 1 if state == 2 else 0, GLYPH_OFF if state == 3 else GLYPH)
        frames.append((w, h, c.pixels(CAPTION)))
    return strip(frames)


def frame_skin(centre):
    """Nine-part window frame, 30 x 51: caption band 30, border 4, rounded top corners."""
    w, h, cb, bw = 30, 51, 30, 4
    c = Canvas(w, h)
    shape = corner_key(w, h)
    c.paint(shape, WINDOW_EDGE)
    c.paint(intersect(shape, rrect(1, 1, w - 1, cb)), CAPTION)
    c.rect(1, cb, w - 1, h - 1, CAPTION)
    c.rect(1, cb - 1, w - 1, cb, CAPTION_LINE)
    c.rect(bw - 1, cb, w - bw + 1, h - bw + 1, CAPTION_LINE)
    c.rect(bw, cb, w - bw, h - bw, centre)
    # Redraw the rounded edge pixels of the outline (the fill above covered them).
    inner = hard(rrect(1, 1, w - 1, h + 8, WINDOW_CORNER_RADIUS - 1, br=False, bl=False))
    c.paint(subtract(shape, inner), WINDOW_EDGE)
    return w, h, c.pixels(CAPTION)


def push_button():
    """57 x 23 push button on a light dialog body; the caption is drawn over it."""
    w, h = 57, 23
    looks = [((232, 237, 243), (160, 172, 188)),
             ((220, 235, 252), ACCENT),
             ((192, 214, 240), ACCENT_DARK),
             ((238, 238, 238), (202, 202, 202))]
    frames = []
    for fill, edge in looks:
        c = Canvas(w, h)
        outlined(c, rrect(0, 0, w, h, 3), rrect(1, 1, w - 1, h - 1, 2), edge, fill)
        frames.append((w, h, c.pixels(BODY_LIGHT)))
    return strip(frames)


def system_button():
    """44 x 28 caption button of the host's menu; its text is drawn over it."""
    w, h = 44, 28
    looks = [((52, 62, 80), (80, 93, 114)),
             ((72, 86, 110), (104, 120, 146)),
             ((26, 31, 41), (80, 93, 114)),
             ((46, 49, 55), (60, 63, 69))]
    frames = []
    for fill, edge in looks:
        c = Canvas(w, h)
        outlined(c, rrect(1, 3, w - 1, h - 3, 3), rrect(2, 4, w - 2, h - 4, 2), edge, fill)
        frames.append((w, h, c.pixels(CAPTION)))
    return strip(frames)


def person(c, x, y, colour):
    """Person symbol in a 12 x 14 box at (x, y)."""
    c.paint(circle(x + 6, y + 3.5, 3.2), colour)
    c.paint(intersect(ellipse(x + 6, y + 14, 6, 6.5), rrect(x, y, x + 12, y + 14)), colour)


def tab_background():
    w, h = 189, 22
    looks = [((204, 226, 248), (132, 170, 210)),   # normal: light blue
             ((170, 234, 246), (96, 180, 200)),    # hot: cyan
             ((255, 224, 138), (206, 164, 60))]    # current: yellow
    frames = []
    for fill, edge in looks:
        c = Canvas(w, h)
        outlined(c, rrect(0, 0, w, h + 4, 4, br=False, bl=False),
                 rrect(1, 1, w - 1, h + 4, 3, br=False, bl=False), edge, fill)
        person(c, 2, 4, (54, 84, 120))
        frames.append((w, h, c.pixels(CAPTION)))
    return strip(frames)


def tab_close():
    w = h = 13
    frames = []
    for fill in ((150, 156, 166), RED, RED_DARK):
        c = Canvas(w, h)
        c.paint(circle(6.5, 6.5, 6.0), fill)
        g = Canvas(w, h)
        cross(g, 6.5, 6.5, 6.0, 1.5)
        c.draw(g, colour=WHITE)
        frames.append((w, h, c.pixels((170, 234, 246))))
    return strip(frames)


def padlock():
    w, h = 14, 16
    c = Canvas(w, h)
    shackle = subtract(ring(7, 6, 3.6, 1.8), rrect(0, 6, w, h))
    c.paint(shackle, (214, 220, 228))
    c.paint(line(3.4, 6, 3.4, 8, 1.8), (214, 220, 228))
    c.paint(line(10.6, 6, 10.6, 8, 1.8), (214, 220, 228))
    c.paint(rrect(1.5, 7.5, 12.5, 15.5, 1.8), GOLD)
    c.paint(circle(7, 10.8, 1.4), (120, 86, 20))
    c.paint(line(7, 11, 7, 13.4, 1.2), (120, 86, 20))
    return w, h, c.pixels(CAPTION)


def notice_background(h):
    """Text notice, 250 wide: caption-coloured header with the logo and name,
    light body below, rounded corners."""
    w = 250
    c = Canvas(w, h)
    shape = hard(rrect(0, 0, w, h, WINDOW_CORNER_RADIUS))
    c.paint(shape, WINDOW_EDGE)
    inner = rrect(1, 1, w - 1, h - 1, WINDOW_CORNER_RADIUS - 1)
    c.paint(intersect(inner, rrect(0, 0, w, 38)), CAPTION)
    c.paint(intersect(inner, rrect(0, 38, w, h)), BODY_LIGHT)
    c.rect(1, 38, w - 1, 40, ACCENT)
    logo(c, 20, 19, 11)
    word_mark(c, 38, 12, WHITE, 2)
    c.rect(12, h - 28, w - 12, h - 27, LINE_LIGHT)
    return w, h, c.pixels(BODY_LIGHT)


def notice_close():
    w, h = 36, 14
    return caption_button(w, h, glyph_close(w, h, 6.0, 1.4), hover=RED, pressed=RED_DARK)


def picture_close():
    """54 x 22 tab at the top right of the picture notice: a cross and its text."""
    w, h = 54, 22
    frames = []
    for fill in (CAPTION, HOVER, PRESSED, (58, 61, 67)):
        c = Canvas(w, h)
        c.paint(corner_key(w, h), fill)
        ink = GLYPH_OFF if fill == (58, 61, 67) else GLYPH
        g = Canvas(w, h)
        cross(g, 11.5, 11.5, 6.0, 1.5)
        c.draw(g, colour=ink)
        bitmap_text(c, 21, 6, CLOSE_TEXT, ink)
        frames.append((w, h, c.pixels(CAPTION)))
    return strip(frames)


def picture_background():
    """Picture notice, 160 x 212: a tab for the close button at the top right,
    the picture's frame below; the rest of the top strip is see-through."""
    w, h = 160, 212
    c = Canvas(w, h)
    c.paint(intersect(corner_key(54, 22, x0=w - 54), rrect(0, 0, w, 22)), CAPTION)
    c.paint(hard(rrect(0, 22, w, h, WINDOW_CORNER_RADIUS, tl=False, tr=False)), WINDOW_EDGE)
    body = rrect(1, 22, w - 1, h - 1, WINDOW_CORNER_RADIUS - 1, tl=False, tr=False)
    c.paint(body, (236, 240, 245))
    c.rect(1, 22, w - 1, 24, CAPTION)
    logo(c, w / 2.0, 118, 22)
    return w, h, c.pixels(BODY_LIGHT)


def hall_button(fill, edge):
    w, h = 79, 28
    frames = []
    shades = (0, 24, -24, None)
    for shade in shades:
        c = Canvas(w, h)
        if shade is None:
            f, e = (200, 203, 208), (170, 173, 178)
        else:
            f = tuple(max(0, min(255, v + shade)) for v in fill)
            e = tuple(max(0, min(255, v + shade)) for v in edge)
        outlined(c, rrect(0, 0, w, h, 4), rrect(1, 1, w - 1, h - 1, 3), e, f)
        ink = WHITE if shade is not None else (236, 237, 240)
        logo(c, 14, 14, 9, badge=ink, ink=f)
        word_mark(c, 32, 10, ink, 1)
        frames.append((w, h, c.pixels(BODY_LIGHT)))
    return strip(frames)


def progress(fill, edge, shine):
    """390 x 21 bar with fully round ends; beyond them, key colour. A lighter
    upper half gives it some depth."""
    w, h = 390, 21
    c = Canvas(w, h)
    outlined(c, rrect(0, 0, w, h, h / 2.0), rrect(1, 1, w - 1, h - 1, h / 2.0 - 1), edge, fill)
    c.paint(intersect(rrect(0, 2, w, h // 2), rrect(2, 2, w - 2, h - 2, h / 2.0 - 2)), shine)
    return w, h, c.pixels(BODY_LIGHT)


def add_login_background():
    """New-login choice, 284 x 150: caption band 30, light body, rounded corners."""
    w, h = 284, 150
    c = Canvas(w, h)
    shape = hard(rrect(0, 0, w, h, WINDOW_CORNER_RADIUS))
    c.paint(shape, WINDOW_EDGE)
    inner = rrect(1, 1, w - 1, h - 1, WINDOW_CORNER_RADIUS - 1)
    c.paint(intersect(inner, rrect(0, 0, w, 30)), CAPTION)
    c.paint(intersect(inner, rrect(0, 30, w, h)), BODY_LIGHT)
    c.rect(1, 29, w - 1, 30, CAPTION_LINE)
    c.rect(12, 104, w - 12, 105, LINE_LIGHT)
    return w, h, c.pixels(BODY_LIGHT)


def login_background():
    """888 x 518, with alpha: a soft shadow, a rounded card with a header (logo
    and name), artwork on the left, and a plain area on the right where the
    login page is shown. The logo badge overhangs the card's top edge."""
    w, h = 888, 518
    c = Canvas(w, h)
    card = (12, 14, 876, 504)
    radius = 14.0
    # Shadow: alpha falls off over 12 pixels outside the card, slightly lower.
    sx0, sy0, sx1, sy1 = card[0], card[1] + 4, card[2], card[3] + 4
    card_dist = rrect(sx0, sy0, sx1, sy1, radius)[0]

    def shadow_cov(px, py):
        if card_dist(px, py) >= 1.0:
            return 0.0  # under the card
        # Approximate distance outside the shadow rectangle.
        qx = max(sx0 + radius - px, px - (sx1 - radius), 0.0)
        qy = max(sy0 + radius - py, py - (sy1 - radius), 0.0)
        d = (qx * qx + qy * qy) ** 0.5 - radius
        t = _clamp01(1.0 - d / 12.0)
        return t * t

    c.paint((shadow_cov, (0, 0, w, h)), (0, 0, 0), 0.32)
    card_shape = rrect(*card, radius)
    c.paint(card_shape, BODY_LIGHT)

    header = intersect(card_shape, rrect(card[0], card[1], card[2], 74))
    c.paint(header, CAPTION)
    c.paint(intersect(card_shape, rrect(card[0], 74, card[2], 77)), ACCENT)

    # Artwork: evening sky, sun, clouds, hills and pebbles, inside the card's left part.
    art = intersect(card_shape, rrect(card[0], 77, 262, card[3]))
    top, bottom = (48, 102, 186), (250, 186, 140)

    def sky(x, y):
        t = _clamp01((y - 77) / float(card[3] - 77))
        return tuple(top[i] + (bottom[i] - top[i]) * t for i in range(3))

    c.paint(art, sky)
    c.paint(intersect(art, circle(188, 214, 40)), (255, 236, 190), 0.25)
    c.paint(intersect(art, circle(188, 214, 30)), (255, 214, 110))
    for cx, cy, length in ((52, 150, 80), (146, 116, 64), (88, 262, 70)):
        cloud = union(line(cx, cy, cx + length, cy, 16), circle(cx + length * 0.35, cy - 8, 13),
                      circle(cx + length * 0.65, cy - 5, 10))
        c.paint(intersect(art, cloud), WHITE, 0.9)
    for cx, cy, r, colour in ((40, 640, 250, (70, 142, 104)), (250, 660, 260, (48, 116, 86)),
                              (130, 760, 330, (34, 92, 70))):
        c.paint(intersect(art, circle(cx, cy, r)), colour)
    pebbles = ((52, 470, 12, 7, (150, 156, 160)), (80, 478, 9, 6, (184, 188, 190)),
               (190, 466, 14, 8, (132, 138, 144)), (222, 480, 8, 5, (176, 180, 184)),
               (128, 484, 10, 6, (160, 164, 168)))
    for cx, cy, rx, ry, colour in pebbles:
        c.paint(intersect(art, ellipse(cx, cy, rx, ry)), colour)
    # A music note over the hills, the game's theme.
    note(c, 116, 380, 64, (255, 246, 222))

    # Separator between the artwork and the page area.
    c.rect(262, 77, 263, card[3] - radius, LINE_LIGHT)

    # Logo: badge over the card's top edge, with its own soft shadow, and the name.
    c.paint(circle(52, 42, 36), (0, 0, 0), 0.25)
    c.paint(circle(52, 40, 32), WHITE)
    logo(c, 52, 40, 28)
    word_mark(c, 96, 30, WHITE, 4)
    return w, h, c.pixels(None)


def icon_images(draw):
    return [(s, draw(s)) for s in (16, 32, 48)]


def main_icon(s):
    c = Canvas(s, s)
    m = s / 16.0
    c.paint(rrect(0.5 * m, 0.5 * m, s - 0.5 * m, s - 0.5 * m, 3.5 * m), ACCENT_DARK)
    c.paint(rrect(1.2 * m, 1.2 * m, s - 1.2 * m, s - 1.2 * m, 2.9 * m), ACCENT)
    note(c, s / 2.0 + 0.3 * m, s / 2.0, 11.0 * m, WHITE)
    return c.pixels(None)


def favourite_icon(s):
    c = Canvas(s, s)
    cx, cy = s / 2.0, s / 2.0 + s * 0.04
    outer, inner = s * 0.48, s * 0.2
    pts = []
    # Star corners: cosines and sines of multiples of 36 degrees, written out
    # so the shape does not depend on the platform's trigonometry.
    trig = [(0.0, -1.0), (0.587785, -0.809017), (0.951057, -0.309017), (0.951057, 0.309017),
            (0.587785, 0.809017), (0.0, 1.0), (-0.587785, 0.809017), (-0.951057, 0.309017),
            (-0.951057, -0.309017), (-0.587785, -0.809017)]
    for i, (sx, sy) in enumerate(trig):
        r = outer if i % 2 == 0 else inner
        pts.append((cx + sx * r, cy + sy * r))
    c.paint(polygon(pts, 6), (196, 140, 20))
    k = 1.0 - 1.6 / s * 2
    pts_in = [(cx + (x - cx) * k, cy + (y - cy) * k) for x, y in pts]
    c.paint(polygon(pts_in, 6), GOLD)
    return c.pixels(None)


def pictures():
    """File name -> bytes, for every picture the resource script names."""
    caption = lambda w, h, glyph, **kw: caption_button(w, h, glyph(w, h), **kw)
    pngs = {
        "login_back.png": login_background,                                  # 129
        "frame_light.png": lambda: frame_skin(BODY_LIGHT),                   # 131
        "caption_close.png": lambda: caption(33, 28, glyph_close, hover=RED, pressed=RED_DARK,
                                             round_top_right=True),          # 132
        "push_button.png": push_button,                                      # 133
        "frame_dark.png": lambda: frame_skin(BODY_DARK),                     # 134
        "caption_maximize.png": lambda: caption(27, 27, glyph_maximize),     # 135
        "caption_minimize.png": lambda: caption(27, 27, glyph_minimize),     # 136
        "caption_restore.png": lambda: caption(27, 27, glyph_restore),       # 137
        "caption_hide.png": lambda: caption(27, 27, glyph_hide),             # 138
        "caption_system.png": system_button,                                 # 139
        "tab_back.png": tab_background,                                      # 140
        "tab_close.png": tab_close,                                          # 141
        "padlock.png": padlock,                                              # 142
        "notice_tall.png": lambda: notice_background(191),                   # 143
        "notice_close.png": notice_close,                                    # 144
        "picture_close.png": picture_close,                                  # 145
        "picture_back.png": picture_background,                              # 146
        "notice_short.png": lambda: notice_background(167),                  # 147
        "sound_off.png": lambda: caption(27, 27, lambda w, h: glyph_sound(w, h, False)),  # 148
        "sound_on.png": lambda: caption(27, 27, lambda w, h: glyph_sound(w, h, True)),    # 149
        "hall_blue.png": lambda: hall_button(ACCENT, ACCENT_DARK),           # 150
        "hall_green.png": lambda: hall_button((46, 160, 96), (30, 118, 68)), # 151
        "progress_track.png": lambda: progress((224, 229, 236), (188, 197, 210),
                                               (232, 236, 242)),             # 152
        "progress_fill.png": lambda: progress(ACCENT, ACCENT_DARK, (60, 146, 220)),  # 153
        "add_login_back.png": add_login_background,                          # 162
    }
    files = {name: png_bytes(*make()) for name, make in pngs.items()}
    files["main.ico"] = ico_bytes(icon_images(main_icon))                    # 128
    files["favourite.ico"] = ico_bytes(icon_images(favourite_icon))         # 155
    return files


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: gen_art.py OUTDIR\n")
        return 2
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    for name, data in sorted(pictures().items()):
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
