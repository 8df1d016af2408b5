#!/usr/bin/env python3
"""Draws SheetMover's icons and cursor and writes them to res/icons/.

Every picture is built from simple shapes (rectangles, circles, polygons,
strokes) evaluated on a 4x4 sub-pixel grid, so edges come out anti-aliased.
The files are plain 32-bit BGRA .ico/.cur images with an AND mask (bit set
where the pixel is fully transparent).  Standard library only.

    python3 res/make_icons.py          # rewrites res/icons/*

Also writes res/icons/preview.png, a contact sheet of every image at 4x with
its resource number underneath, for looking the set over.
"""

import math
import os
import struct
import zlib

SS = 4  # sub-samples per pixel along each axis

OUT_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "icons")


# ---------------------------------------------------------------- rendering

class Canvas:
    """A w x h picture painted at SS x SS samples per pixel.

    Coordinates are in pixels: (0, 0) is the top-left corner of the top-left
    pixel, (w, h) the bottom-right corner of the picture.  Samples are kept
    premultiplied so that averaging them down gives correct edges.
    """

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.sw, self.sh = w * SS, h * SS
        self.buf = [[0.0, 0.0, 0.0, 0.0] for _ in range(self.sw * self.sh)]

    def paint(self, inside, color, box=None):
        """Paints color over every sample where inside(x, y) is true.

        color is (r, g, b) or (r, g, b, a) with a in 0..1, or a function
        (x, y) -> such a tuple.  box = (x0, y0, x1, y1) limits the search.
        """
        if box is None:
            box = (0, 0, self.w, self.h)
        x0, y0, x1, y1 = box
        sx0 = max(0, int(math.floor(x0 * SS)))
        sy0 = max(0, int(math.floor(y0 * SS)))
        sx1 = min(self.sw, int(math.ceil(x1 * SS)) + 1)
        sy1 = min(self.sh, int(math.ceil(y1 * SS)) + 1)
        const = None if callable(color) else _rgba(color)
        for sy in range(sy0, sy1):
            y = (sy + 0.5) / SS
            row = sy * self.sw
            for sx in range(sx0, sx1):
                x = (sx + 0.5) / SS
                if not inside(x, y):
                    continue
                r, g, b, a = const if const else _rgba(color(x, y))
                p = self.buf[row + sx]
                k = 1.0 - a
                p[0] = r * a + p[0] * k
                p[1] = g * a + p[1] * k
                p[2] = b * a + p[2] * k
                p[3] = a + p[3] * k

    def erase(self, inside, box=None):
        """Clears the samples where inside(x, y) is true back to transparent."""
        if box is None:
            box = (0, 0, self.w, self.h)
        x0, y0, x1, y1 = box
        for sy in range(max(0, int(y0 * SS)), min(self.sh, int(math.ceil(y1 * SS)) + 1)):
            y = (sy + 0.5) / SS
            for sx in range(max(0, int(x0 * SS)), min(self.sw, int(math.ceil(x1 * SS)) + 1)):
                if inside((sx + 0.5) / SS, y):
                    self.buf[sy * self.sw + sx] = [0.0, 0.0, 0.0, 0.0]

    def pixels(self):
        """Returns rows of (r, g, b, a) bytes, top row first, straight alpha."""
        rows = []
        n = SS * SS
        for py in range(self.h):
            row = []
            for px in range(self.w):
                r = g = b = a = 0.0
                for sy in range(py * SS, py * SS + SS):
                    base = sy * self.sw + px * SS
                    for p in self.buf[base:base + SS]:
                        r += p[0]
                        g += p[1]
                        b += p[2]
                        a += p[3]
                a /= n
                if a < 0.5 / 255:
                    row.append((0, 0, 0, 0))
                    continue
                row.append((_byte(r / n / a), _byte(g / n / a), _byte(b / n / a), _byte(a)))
            rows.append(row)
        return rows


def _byte(v):
    return max(0, min(255, int(round(v * 255))))


def _rgba(c):
    if len(c) == 3:
        return (c[0] / 255.0, c[1] / 255.0, c[2] / 255.0, 1.0)
    return (c[0] / 255.0, c[1] / 255.0, c[2] / 255.0, float(c[3]))


def vgrad(y0, y1, c0, c1):
    """Vertical gradient from c0 at y0 to c1 at y1."""
    def color(x, y):
        t = min(1.0, max(0.0, (y - y0) / float(y1 - y0)))
        return tuple(c0[i] + (c1[i] - c0[i]) * t for i in range(3))
    return color


def hgrad(x0, x1, c0, c1):
    """Horizontal gradient from c0 at x0 to c1 at x1."""
    def color(x, y):
        t = min(1.0, max(0.0, (x - x0) / float(x1 - x0)))
        return tuple(c0[i] + (c1[i] - c0[i]) * t for i in range(3))
    return color


# ------------------------------------------------------------------- shapes
# Each shape returns (inside, box); grow > 0 makes it that much larger all
# round, which is how outlines are drawn: the shape grown by the outline
# width in the dark colour, then the shape itself in the fill colour.

def rrect(x0, y0, x1, y1, r=0.0, grow=0.0):
    x0 -= grow
    y0 -= grow
    x1 += grow
    y1 += grow
    r = max(0.0, r + grow) if r > 0 else 0.0

    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        if r <= 0:
            return True
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside, (x0, y0, x1, y1)


def ellipse(cx, cy, rx, ry, grow=0.0):
    rx += grow
    ry += grow

    def inside(x, y):
        return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0
    return inside, (cx - rx, cy - ry, cx + rx, cy + ry)


def circle(cx, cy, r, grow=0.0):
    return ellipse(cx, cy, r, r, grow)


def ring(cx, cy, r_out, r_in):
    def inside(x, y):
        d = (x - cx) ** 2 + (y - cy) ** 2
        return r_in * r_in <= d <= r_out * r_out
    return inside, (cx - r_out, cy - r_out, cx + r_out, cy + r_out)


def _seg_dist2(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    ll = dx * dx + dy * dy
    t = 0.0 if ll == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / ll))
    px, py = ax + t * dx - x, ay + t * dy - y
    return px * px + py * py


def stroke(points, width, grow=0.0):
    """A polyline of the given width with round joins and caps."""
    hw = width / 2.0 + grow
    segs = list(zip(points, points[1:])) or [(points[0], points[0])]

    def inside(x, y):
        for (ax, ay), (bx, by) in segs:
            if _seg_dist2(x, y, ax, ay, bx, by) <= hw * hw:
                return True
        return False
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return inside, (min(xs) - hw, min(ys) - hw, max(xs) + hw, max(ys) + hw)


def polygon(points, grow=0.0):
    """A filled polygon (even-odd rule); grow adds a rounded border."""
    n = len(points)

    def inside(x, y):
        c = False
        j = n - 1
        for i in range(n):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                c = not c
            j = i
        if c or grow <= 0:
            return c
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            if _seg_dist2(x, y, ax, ay, bx, by) <= grow * grow:
                return True
        return False
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return inside, (min(xs) - grow, min(ys) - grow, max(xs) + grow, max(ys) + grow)


def arc(cx, cy, r, width, a0, a1, grow=0.0):
    """A stroked circular arc from angle a0 to a1 (degrees, counter-clockwise
    on screen, 0 = pointing right), with round caps."""
    pts = []
    steps = max(8, int(abs(a1 - a0) / 6))
    for i in range(steps + 1):
        a = math.radians(a0 + (a1 - a0) * i / steps)
        pts.append((cx + r * math.cos(a), cy - r * math.sin(a)))
    return stroke(pts, width, grow)


def union(*shapes):
    def inside(x, y):
        return any(s[0](x, y) for s in shapes)
    boxes = [s[1] for s in shapes]
    return inside, (min(b[0] for b in boxes), min(b[1] for b in boxes),
                    max(b[2] for b in boxes), max(b[3] for b in boxes))


def minus(a, b):
    def inside(x, y):
        return a[0](x, y) and not b[0](x, y)
    return inside, a[1]


def fill(cv, shape, color):
    cv.paint(shape[0], color, shape[1])


def outlined(cv, make, line, body, width=1.0):
    """make(grow) -> shape; paints it grown by width in line, then body."""
    fill(cv, make(width), line)
    fill(cv, make(0.0), body)


# ------------------------------------------------------------------ palette

INK = (40, 40, 40)
WHITE = (255, 255, 255)
GREEN_DARK = (27, 110, 46)
GREEN = (52, 168, 83)
GREEN_LIGHT = (120, 214, 130)
SHEET_LINE = (120, 180, 130)
BLUE_DARK = (24, 72, 150)
BLUE = (52, 120, 210)
BLUE_LIGHT = (120, 180, 240)
RED_DARK = (150, 24, 24)
RED = (214, 48, 40)
RED_LIGHT = (245, 120, 100)
ORANGE_DARK = (170, 80, 0)
ORANGE = (240, 130, 20)
ORANGE_LIGHT = (255, 190, 90)
GREY_DARK = (90, 90, 90)
GREY = (150, 150, 150)
GREY_LIGHT = (205, 205, 205)
FOLDER_DARK = (160, 110, 20)
FOLDER = (236, 184, 64)
FOLDER_LIGHT = (255, 222, 130)


# --------------------------------------------------------------- components

def draw_cylinder(cv, x0, y0, x1, y1, cap=None, line=BLUE_DARK, bands=True):
    """A database drum filling the box (x0, y0)-(x1, y1)."""
    cx = (x0 + x1) / 2.0
    rx = (x1 - x0) / 2.0
    ry = cap if cap is not None else max(1.2, rx * 0.35)
    top, bot = y0 + ry, y1 - ry

    def body(g):
        return union(rrect(x0, top, x1, bot, grow=g),
                     ellipse(cx, top, rx, ry, grow=g),
                     ellipse(cx, bot, rx, ry, grow=g))
    side = hgrad(x0, x1, BLUE_LIGHT, BLUE)
    fill(cv, body(0.0), line)
    fill(cv, union(rrect(x0 + 1, top, x1 - 1, bot),
                   ellipse(cx, bot, rx - 1, ry - 1 + 0.01)), side)
    if bands:
        # a seam between the stacked discs
        n = 2 if (y1 - y0) >= 12 else 1
        for i in range(1, n + 1):
            yy = top + (bot - top) * i / (n + 1.0)
            seam = minus(ellipse(cx, yy, rx - 0.5, ry),
                         ellipse(cx, yy - 1.0, rx - 0.5, ry))
            fill(cv, (lambda x, y, s=seam, yy=yy: s[0](x, y) and y > yy - 0.2, seam[1]),
                 line)
    # the lid
    fill(cv, ellipse(cx, top, rx - 1, ry - 1 + 0.01), (200, 226, 252))


def draw_sheet(cv, x0, y0, x1, y1, cols, rows, header):
    """A spreadsheet page: white cells, green rules, a green header row of
    the given height.  Sizes are best chosen so the cells come out even."""
    fill(cv, rrect(x0, y0, x1, y1), GREEN_DARK)
    fill(cv, rrect(x0 + 1, y0 + 1, x1 - 1, y1 - 1), WHITE)
    fill(cv, rrect(x0 + 1, y0 + 1, x1 - 1, y0 + 1 + header), GREEN)
    start = y0 + 1 + header
    for i in range(1, cols):
        x = x0 + 1 + (x1 - x0 - 2) * i // cols
        fill(cv, rrect(x, y0 + 1, x + 1, y1 - 1), SHEET_LINE)
    for j in range(1, rows):
        y = start + (y1 - 1 - start) * j // rows
        fill(cv, rrect(x0 + 1, y, x1 - 1, y + 1), SHEET_LINE)


def draw_arrow(cv, x0, y, x1, shaft, head_w, head_l, body, line):
    """A right-pointing block arrow with its shaft centred on y."""
    pts = [(x0, y - shaft / 2.0), (x1 - head_l, y - shaft / 2.0),
           (x1 - head_l, y - head_w / 2.0), (x1, y), (x1 - head_l, y + head_w / 2.0),
           (x1 - head_l, y + shaft / 2.0), (x0, y + shaft / 2.0)]
    fill(cv, polygon(pts, grow=1.0), line)
    fill(cv, polygon(pts), body)


def draw_gear(cv, cx, cy, r_out, r_in, hole, teeth, tooth_w, line, body):
    def gear(g):
        def inside(x, y):
            dx, dy = x - cx, y - cy
            d = math.hypot(dx, dy)
            if d <= r_in + g:
                return True
            if d > r_out + g:
                return False
            # distance from the axis of the nearest tooth
            step = 2 * math.pi / teeth
            a = math.atan2(dy, dx)
            k = round(a / step)
            delta = a - k * step
            return abs(d * math.sin(delta)) <= tooth_w / 2.0 + g
        return inside, (cx - r_out - g, cy - r_out - g, cx + r_out + g, cy + r_out + g)
    fill(cv, gear(1.0), line)
    fill(cv, gear(0.0), body)
    fill(cv, circle(cx, cy, hole + 1.0), line)
    fill(cv, circle(cx, cy, hole), WHITE)


# -------------------------------------------------------------------- icons

def app_icon_32():
    cv = Canvas(32, 32)
    draw_sheet(cv, 1, 1, 20, 22, cols=3, rows=4, header=3)
    draw_cylinder(cv, 17, 12, 31, 31, cap=3.5)
    draw_arrow(cv, 6, 25, 19, shaft=4, head_w=10, head_l=5,
               body=vgrad(20, 30, ORANGE_LIGHT, ORANGE), line=ORANGE_DARK)
    return cv


def app_icon_16():
    cv = Canvas(16, 16)
    draw_sheet(cv, 0, 0, 10, 13, cols=2, rows=3, header=2)
    draw_cylinder(cv, 8, 6, 16, 16, cap=2.0, bands=False)
    draw_arrow(cv, 3, 13, 10.5, shaft=2, head_w=6, head_l=3,
               body=ORANGE, line=ORANGE_DARK)
    return cv


def icon_minus():
    cv = Canvas(16, 16)
    outlined(cv, lambda g: rrect(2, 6, 14, 10, 1.0, g), RED_DARK,
             vgrad(6, 10, RED_LIGHT, RED))
    return cv


def icon_plus():
    cv = Canvas(16, 16)
    outlined(cv, lambda g: union(rrect(2, 6, 14, 10, 1.0, g), rrect(6, 2, 10, 14, 1.0, g)),
             GREEN_DARK, vgrad(2, 14, GREEN_LIGHT, GREEN))
    return cv


def icon_exit():
    cv = Canvas(16, 16)
    outlined(cv, lambda g: circle(8, 8, 7, g), RED_DARK, vgrad(1, 15, RED_LIGHT, RED), 1.0)
    fill(cv, stroke([(5, 5), (11, 11)], 2.2), WHITE)
    fill(cv, stroke([(11, 5), (5, 11)], 2.2), WHITE)
    return cv


def icon_destination():
    cv = Canvas(16, 16)
    draw_cylinder(cv, 1, 1, 12, 15, cap=2.5)
    draw_gear(cv, 11, 11, 4.4, 3.0, 1.0, 6, 2.4, GREY_DARK, (190, 190, 190))
    return cv


def icon_convert():
    cv = Canvas(16, 16)
    pts = [(4, 2), (14, 8), (4, 14)]
    fill(cv, polygon(pts, grow=1.0), GREEN_DARK)
    fill(cv, polygon(pts), vgrad(2, 14, GREEN_LIGHT, GREEN))
    return cv


def icon_browse():
    cv = Canvas(16, 16)
    # back of the folder with its tab
    back = [(1, 3), (6, 3), (7.5, 4.5), (13, 4.5), (13, 14), (1, 14)]
    fill(cv, polygon(back, grow=0.0), FOLDER_DARK)
    fill(cv, polygon([(2, 4), (5.6, 4), (7.1, 5.5), (12, 5.5), (12, 13), (2, 13)]),
         FOLDER)
    # a sheet of paper peeking out
    fill(cv, rrect(3.5, 6, 11, 11), GREY_DARK)
    fill(cv, rrect(4.5, 7, 10, 11), WHITE)
    # the open front flap, tilted forward
    front = [(3.5, 8), (15.5, 8), (13, 14), (1, 14)]
    fill(cv, polygon(front, grow=1.0), FOLDER_DARK)
    fill(cv, polygon(front), vgrad(8, 14, FOLDER_LIGHT, FOLDER))
    return cv


def icon_help():
    cv = Canvas(16, 16)
    outlined(cv, lambda g: circle(8, 8, 7, g), BLUE_DARK, vgrad(1, 15, BLUE_LIGHT, BLUE), 1.0)
    # the hook of the question mark, then its stem and dot
    fill(cv, arc(8, 6.2, 2.4, 2.0, 160, -60), WHITE)
    fill(cv, stroke([(8 + 2.4 * math.cos(math.radians(-60)),
                      6.2 + 2.4 * math.sin(math.radians(60))), (8, 9.0), (8, 9.6)], 2.0),
         WHITE)
    fill(cv, circle(8, 12.2, 1.2), WHITE)
    return cv


def icon_column(size):
    cv = Canvas(size, size)
    m = (size - 14) // 2
    x0, y0, x1, y1 = m, m, m + 14, m + 14
    fill(cv, rrect(x0, y0, x1, y1), GREY_DARK)
    fill(cv, rrect(x0 + 1, y0 + 1, x1 - 1, y1 - 1), WHITE)
    # header and row rules of the whole table in grey
    fill(cv, rrect(x0 + 1, y0 + 1, x1 - 1, y0 + 4), GREY_LIGHT)
    for y in (y0 + 7, y0 + 10):
        fill(cv, rrect(x0 + 1, y, x1 - 1, y + 1), GREY_LIGHT)
    # the field itself: a blue column with a dark header
    c0, c1 = x0 + 5, x0 + 9
    fill(cv, rrect(c0 - 1, y0 - 1, c1 + 1, y1 + 1), BLUE_DARK)
    fill(cv, rrect(c0, y0 + 4, c1, y1), vgrad(y0 + 4, y1, BLUE_LIGHT, BLUE))
    for y in (y0 + 7, y0 + 10):
        fill(cv, rrect(c0, y, c1, y + 1), (90, 150, 225))
    return cv


def icon_mapping(size):
    cv = Canvas(size, size)
    o = (size - 16) / 2.0

    def arrow(y, left):
        if left:
            pts = [(1.5, y), (6, y - 3.5), (6, y - 1.5), (14.5, y - 1.5),
                   (14.5, y + 1.5), (6, y + 1.5), (6, y + 3.5)]
        else:
            pts = [(14.5, y), (10, y - 3.5), (10, y - 1.5), (1.5, y - 1.5),
                   (1.5, y + 1.5), (10, y + 1.5), (10, y + 3.5)]
        return [(px + o, py + o) for px, py in pts]
    top = arrow(4.5, False)
    bot = arrow(11.5, True)
    fill(cv, polygon(top, grow=1.0), GREEN_DARK)
    fill(cv, polygon(top), GREEN)
    fill(cv, polygon(bot, grow=1.0), BLUE_DARK)
    fill(cv, polygon(bot), BLUE)
    return cv


def icon_check(body, line):
    cv = Canvas(20, 20)
    pts = [(3.5, 10.5), (8, 15), (16.5, 4.5)]
    fill(cv, stroke(pts, 3.6, grow=1.0), line)
    fill(cv, stroke(pts, 3.6), body)
    return cv


def icon_back(body, line):
    cv = Canvas(20, 20)
    # a U-turn: from the right, over the top and back towards the left
    head = [(2, 5.5), (8.5, 0.8), (8.5, 10.2)]

    def shape(g):
        return union(arc(11, 10, 4.5, 3.0, -90, 90, g),
                     stroke([(11, 14.5), (6.5, 14.5)], 3.0, g),
                     stroke([(11, 5.5), (8, 5.5)], 3.0, g),
                     polygon(head, g))
    fill(cv, shape(1.0), line)
    fill(cv, shape(0.0), body)
    return cv


def hand_cursor():
    cv = Canvas(32, 32)

    def hand(g):
        return union(
            rrect(9, 1, 14, 19, 2.5, g),           # index finger, pointing up
            rrect(13.5, 9, 18, 20, 2.2, g),        # middle finger
            rrect(17.5, 10, 22, 21, 2.2, g),       # ring finger
            rrect(21.5, 11.5, 26, 22, 2.2, g),     # little finger
            rrect(9, 15, 26, 27, 3.5, g),          # palm
            stroke([(5, 15.5), (11, 23)], 4.4, g),  # thumb
            rrect(11, 24, 24.5, 30, 1.0, g),       # wrist
        )
    fill(cv, hand(1.0), (0, 0, 0))
    fill(cv, hand(0.0), WHITE)
    # creases between the curled fingers
    for x in (13.75, 17.75, 21.75):
        fill(cv, rrect(x - 0.45, 14.5, x + 0.45, 19), (0, 0, 0))
    return cv


# ------------------------------------------------------------ file writers

def _dib(cv):
    """BITMAPINFOHEADER + bottom-up BGRA + AND mask for one image."""
    rows = cv.pixels()
    w, h = cv.w, cv.h
    mask_stride = ((w + 31) // 32) * 4
    xor = bytearray()
    andm = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a)) if a else b"\0\0\0\0"
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        andm += bits
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(andm),
                         0, 0, 0, 0)
    return header + bytes(xor) + bytes(andm)


def write_icon_file(path, images, hotspot=None):
    """images: canvases, largest first.  hotspot=(x, y) writes a .cur."""
    kind = 2 if hotspot else 1
    out = bytearray(struct.pack("<HHH", 0, kind, len(images)))
    blobs = [_dib(cv) for cv in images]
    offset = 6 + 16 * len(images)
    for cv, blob in zip(images, blobs):
        if hotspot:
            p1, p2 = hotspot
        else:
            p1, p2 = 1, 32
        out += struct.pack("<BBBBHHII", cv.w % 256, cv.h % 256, 0, 0, p1, p2,
                           len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    with open(path, "wb") as f:
        f.write(out)


def write_png(path, w, h, rgb_rows):
    def chunk(tag, data):
        c = struct.pack(">I", len(data)) + tag + data
        return c + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)
    raw = bytearray()
    for row in rgb_rows:
        raw.append(0)
        for px in row:
            raw += bytes(px)
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


# ------------------------------------------------------------ contact sheet

DIGITS = {  # 3x5 figures for labelling the preview
    "0": "111101101101111", "1": "010110010010111", "2": "111001111100111",
    "3": "111001111001111", "4": "101101111001001", "5": "111100111001111",
    "6": "111100111101111", "7": "111001010010010", "8": "111101111101111",
    "9": "111101111001111", "x": "000101010101000", "c": "000111100100111",
}


def write_preview(path, entries):
    """entries: (label, canvas).  Each picture at 4x on a light panel, the
    same picture at 1x on light and on dark beside it, label underneath."""
    scale = 4
    pad = 8
    cell_w = 32 * scale + 2 * pad + 40
    cell_h = 32 * scale + 2 * pad + 14
    per_row = 4
    nrows = (len(entries) + per_row - 1) // per_row
    W, H = cell_w * per_row, cell_h * nrows
    bg = (236, 238, 240)
    img = [[bg] * W for _ in range(H)]

    def put(x, y, c):
        if 0 <= x < W and 0 <= y < H:
            img[y][x] = c

    def blit(cv, ox, oy, s, back):
        for y, row in enumerate(cv.pixels()):
            for x, (r, g, b, a) in enumerate(row):
                t = a / 255.0
                c = tuple(int(round(v * t + back[i] * (1 - t))) for i, v in enumerate((r, g, b)))
                for dy in range(s):
                    for dx in range(s):
                        put(ox + x * s + dx, oy + y * s + dy, c)

    for i, (label, cv) in enumerate(entries):
        cx = (i % per_row) * cell_w + pad
        cy = (i // per_row) * cell_h + pad
        ox = cx + (32 - cv.w) * scale // 2
        oy = cy + (32 - cv.h) * scale // 2
        # faint frame showing the image bounds
        for x in range(ox - 1, ox + cv.w * scale + 1):
            put(x, oy - 1, (200, 204, 208))
            put(x, oy + cv.h * scale, (200, 204, 208))
        for y in range(oy - 1, oy + cv.h * scale + 1):
            put(ox - 1, y, (200, 204, 208))
            put(ox + cv.w * scale, y, (200, 204, 208))
        blit(cv, ox, oy, scale, bg)
        sx = cx + 32 * scale + 6
        blit(cv, sx, cy, 1, bg)
        dark = (50, 54, 60)
        for y in range(cy + 36, cy + 38 + cv.h + 2):
            for x in range(sx - 2, sx + cv.w + 2):
                put(x, y, dark)
        blit(cv, sx, cy + 38, 1, dark)
        lx = cx
        ly = cy + 32 * scale + 4
        for ch in label:
            glyph = DIGITS.get(ch)
            if glyph:
                for k, bit in enumerate(glyph):
                    if bit == "1":
                        for dy in range(2):
                            for dx in range(2):
                                put(lx + (k % 3) * 2 + dx, ly + (k // 3) * 2 + dy, (60, 60, 60))
            lx += 8
    write_png(path, W, H, img)


# --------------------------------------------------------------------- main

def main():
    os.makedirs(OUT_DIR, exist_ok=True)
    preview = []

    def icon(num, *images):
        write_icon_file(os.path.join(OUT_DIR, "icon%d.ico" % num), list(images))
        for cv in images:
            preview.append(("%d" % num, cv))

    icon(128, app_icon_32(), app_icon_16())       # application and caption
    icon(129, icon_minus())                        # remove a mapping
    icon(130, icon_exit())                         # exit / close
    icon(131, icon_plus())                         # create a mapping
    icon(132, icon_destination())                  # destination settings
    icon(133, icon_convert())                      # convert
    icon(134, icon_browse())                       # browse for a workbook
    icon(135, icon_column(18), icon_column(16))    # list: table column
    icon(136, icon_mapping(18), icon_mapping(16))  # list: mapping row
    icon(138, icon_check(GREY, GREY_DARK))         # OK, idle
    icon(139, icon_back(GREY, GREY_DARK))          # return, idle
    icon(141, icon_help())                         # how to use
    icon(142, icon_back(ORANGE, ORANGE_DARK))      # return, active
    icon(143, icon_check((60, 200, 70), GREEN_DARK))  # OK, active

    cursor = hand_cursor()
    write_icon_file(os.path.join(OUT_DIR, "cursor140.cur"), [cursor], hotspot=(11, 1))
    preview.append(("140c", cursor))

    write_preview(os.path.join(OUT_DIR, "preview.png"), preview)


if __name__ == "__main__":
    main()
