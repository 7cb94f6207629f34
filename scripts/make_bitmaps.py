#!/usr/bin/env python3
"""Draws the block types' icons and symbols from resources/bitmaps/bitmaps.txt,
and the stand-in host's bitmaps of the channel bar.

Each line of the source names one bitmap:
    NAME icon GLYPH LABEL
    NAME symbol GLYPH LABEL CAPTION...
An icon is 32 x 32, a symbol 62 x 46, both 16 colours. The label is drawn
in a coloured band at the top, the glyph shows the kind of module. Writes
resources/bitmaps/NAME.bmp and resources/bitmaps.rc.

The host hands the plug-in one bitmap per state of a channel button (22 x 30:
available, current, in use, not available) and of the less and more buttons
(24 x 32: less disabled, normal, pressed, then more the same). Writes
hostsim/bitmaps/NAME.bmp and hostsim/bitmaps.rc.

The generated files are kept in the tree so the build needs no generator.
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.join(HERE, "..", "resources")

# The 16 standard colours, as (r, g, b).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DKRED, DKGREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, GREEN, YELLOW, BLUE, MAGENTA, CYAN, WHITE = range(8, 16)

# 3 x 5 letters.
FONT = {
    "0": ["###", "#.#", "#.#", "#.#", "###"], "1": [".#.", "##.", ".#.", ".#.", "###"],
    "2": ["###", "..#", "###", "#..", "###"], "3": ["###", "..#", ".##", "..#", "###"],
    "4": ["#.#", "#.#", "###", "..#", "..#"], "5": ["###", "#..", "###", "..#", "###"],
    "6": ["###", "#..", "###", "#.#", "###"], "7": ["###", "..#", ".#.", ".#.", ".#."],
    "8": ["###", "#.#", "###", "#.#", "###"], "9": ["###", "#.#", "###", "..#", "###"],
    "A": [".#.", "#.#", "###", "#.#", "#.#"], "B": ["##.", "#.#", "##.", "#.#", "##."],
    "C": [".##", "#..", "#..", "#..", ".##"], "D": ["##.", "#.#", "#.#", "#.#", "##."],
    "E": ["###", "#..", "##.", "#..", "###"], "F": ["###", "#..", "##.", "#..", "#.."],
    "G": [".##", "#..", "#.#", "#.#", ".##"], "H": ["#.#", "#.#", "###", "#.#", "#.#"],
    "I": ["###", ".#.", ".#.", ".#.", "###"], "J": ["..#", "..#", "..#", "#.#", ".#."],
    "K": ["#.#", "#.#", "##.", "#.#", "#.#"], "L": ["#..", "#..", "#..", "#..", "###"],
    "M": ["#.#", "###", "###", "#.#", "#.#"], "N": ["##.", "#.#", "#.#", "#.#", "#.#"],
    "O": [".#.", "#.#", "#.#", "#.#", ".#."], "P": ["##.", "#.#", "##.", "#..", "#.."],
    "Q": [".#.", "#.#", "#.#", "##.", ".##"], "R": ["##.", "#.#", "##.", "#.#", "#.#"],
    "S": [".##", "#..", ".#.", "..#", "##."], "T": ["###", ".#.", ".#.", ".#.", ".#."],
    "U": ["#.#", "#.#", "#.#", "#.#", "###"], "V": ["#.#", "#.#", "#.#", "#.#", ".#."],
    "W": ["#.#", "#.#", "###", "###", "#.#"], "X": ["#.#", "#.#", ".#.", "#.#", "#.#"],
    "Y": ["#.#", "#.#", ".#.", ".#.", ".#."], "Z": ["###", "..#", ".#.", "#..", "###"],
    "-": ["...", "...", "###", "...", "..."], "/": ["..#", "..#", ".#.", "#..", "#.."],
    " ": ["...", "...", "...", "...", "..."],
}

# Band colour of each kind of module.
KIND_COLOUR = {
    "ain": NAVY, "thermo": DKRED, "rtd": PURPLE, "strain": TEAL, "aout": DKGREEN,
    "din": BLUE, "dout": OLIVE, "readback": OLIVE, "relay": DKRED, "dio": TEAL,
    "counter": PURPLE,
}


class Canvas:
    def __init__(self, w, h, colour):
        self.w, self.h = w, h
        self.px = [[colour] * w for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.put(x, y0, c)
            self.put(x, y1, c)
        for y in range(y0, y1 + 1):
            self.put(x0, y, c)
            self.put(x1, y, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.put(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def text(self, x, y, s, c, scale=1):
        for ch in s.upper():
            rows = FONT.get(ch, FONT[" "])
            for ry, row in enumerate(rows):
                for rx, bit in enumerate(row):
                    if bit == "#":
                        self.fill(x + rx * scale, y + ry * scale, x + rx * scale + scale - 1,
                                  y + ry * scale + scale - 1, c)
            x += 4 * scale

    def bmp(self):
        row_bytes = ((self.w * 4 + 31) // 32) * 4
        pixels = bytearray()
        for y in range(self.h - 1, -1, -1):
            row = bytearray(row_bytes)
            for x in range(self.w):
                if x % 2 == 0:
                    row[x // 2] |= self.px[y][x] << 4
                else:
                    row[x // 2] |= self.px[y][x]
            pixels += row
        palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 4, 0, len(pixels), 2835,
                           2835, 16, 16)
        offset = 14 + len(info) + len(palette)
        head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
        return head + info + palette + bytes(pixels)


def text_width(s, scale):
    return (4 * len(s) - 1) * scale


def glyph(cv, kind, x0, y0, x1, y1, c):
    """Draws the kind of module into the box (x0, y0)-(x1, y1)."""
    w, h = x1 - x0, y1 - y0
    mx, my = (x0 + x1) // 2, (y0 + y1) // 2
    if kind == "ain":  # a wave entering the module
        pts = [(0, 2), (1, 1), (2, 0), (3, 1), (4, 2), (5, 3), (6, 4), (7, 3), (8, 2)]
        sx, sy = w / 8.0, h / 4.0
        for (ax, ay), (bx, by) in zip(pts, pts[1:]):
            cv.line(x0 + int(ax * sx), y0 + int(ay * sy), x0 + int(bx * sx), y0 + int(by * sy), c)
    elif kind == "thermo":  # a thermometer
        cv.frame(mx - 1, y0, mx + 1, y1 - 3, c)
        cv.fill(mx, my - 1, mx, y1 - 3, RED)
        cv.fill(mx - 2, y1 - 3, mx + 2, y1, RED)
        for y in range(y0 + 1, y1 - 3, 3):
            cv.put(mx + 3, y, c)
    elif kind == "rtd":  # a resistor
        cv.line(x0, my, x0 + w // 5, my, c)
        cv.line(x1 - w // 5, my, x1, my, c)
        cv.frame(x0 + w // 5, my - h // 4, x1 - w // 5, my + h // 4, c)
        cv.line(x0 + w // 5, my + h // 2, x1 - w // 5, my - h // 2, RED)
    elif kind == "strain":  # a bridge of four resistors
        cv.line(mx, y0, x0, my, c)
        cv.line(x0, my, mx, y1, c)
        cv.line(mx, y1, x1, my, c)
        cv.line(x1, my, mx, y0, c)
        cv.line(x0 + 2, my, x1 - 2, my, RED)
    elif kind in ("aout", "dout", "din", "readback", "dio"):
        bx1 = x0 + w // 3
        cv.frame(x0, y0, bx1, y1, c)  # the module's terminal block
        ay = my
        if kind in ("din", "readback"):  # arrow into the module
            cv.line(bx1 + 1, ay, x1, ay, c)
            cv.line(bx1 + 1, ay, bx1 + 1 + h // 3, ay - h // 3, c)
            cv.line(bx1 + 1, ay, bx1 + 1 + h // 3, ay + h // 3, c)
        else:  # arrow out of the module
            cv.line(bx1 + 1, ay, x1, ay, c)
            cv.line(x1, ay, x1 - h // 3, ay - h // 3, c)
            cv.line(x1, ay, x1 - h // 3, ay + h // 3, c)
            if kind == "dio":
                cv.line(bx1 + 1, ay, bx1 + 1 + h // 3, ay - h // 3, c)
                cv.line(bx1 + 1, ay, bx1 + 1 + h // 3, ay + h // 3, c)
        if kind == "aout":
            cv.line(x0 + 1, y1 - 1, bx1 - 1, y0 + 1, RED)
        else:  # lines of bits
            for y in range(y0 + 2, y1 - 1, 3):
                cv.fill(x0 + 2, y, bx1 - 2, y, RED if kind == "readback" else c)
    elif kind == "relay":  # an open switch
        cv.line(x0, y1 - 1, x0 + w // 3, y1 - 1, c)
        cv.line(x0 + w // 3, y1 - 1, x1 - w // 4, y0 + 1, RED)
        cv.line(x1 - w // 3, y1 - 1, x1, y1 - 1, c)
        cv.fill(x0 + w // 3 - 1, y1 - 2, x0 + w // 3 + 1, y1, c)
    elif kind == "counter":  # a pulse train
        step = max(2, w // 6)
        x, high = x0, False
        while x + step <= x1:
            y = y0 if high else y1
            cv.line(x, y, x + step, y, c)
            cv.line(x + step, y0, x + step, y1, c)
            x += step
            high = not high
    else:
        raise ValueError("unknown glyph " + kind)


def draw_icon(kind, label):
    cv = Canvas(32, 32, SILVER)
    band = KIND_COLOUR[kind]
    cv.fill(1, 1, 30, 13, band)
    scale = 2 if text_width(label, 2) <= 30 else 1
    tw = text_width(label, scale)
    cv.text((32 - tw) // 2, 2 if scale == 2 else 5, label, WHITE, scale)
    glyph(cv, kind, 4, 16, 27, 28, band)
    cv.frame(0, 0, 31, 31, BLACK)
    return cv


def draw_symbol(kind, label, caption):
    cv = Canvas(62, 46, WHITE)
    band = KIND_COLOUR[kind]
    cv.fill(1, 1, 60, 13, band)
    scale = 2 if text_width(label, 2) <= 58 else 1
    cv.text((62 - text_width(label, scale)) // 2, 2 if scale == 2 else 5, label, WHITE, scale)
    cv.text((62 - text_width(caption, 1)) // 2, 16, caption, BLACK, 1)
    glyph(cv, kind, 14, 24, 47, 42, band)
    cv.frame(0, 0, 61, 45, BLACK)
    return cv


def raised(cv, sunken=False):
    """A button's 3-D edge around the whole canvas."""
    light, dark = (GREY, WHITE) if sunken else (WHITE, GREY)
    x1, y1 = cv.w - 1, cv.h - 1
    cv.frame(0, 0, x1, y1, BLACK)
    cv.fill(1, 1, x1 - 1, 1, light)
    cv.fill(1, 1, 1, y1 - 1, light)
    cv.fill(1, y1 - 1, x1 - 1, y1 - 1, dark)
    cv.fill(x1 - 1, 1, x1 - 1, y1 - 1, dark)


def disc(cv, cx, cy, r, c, rim):
    for y in range(cy - r, cy + r + 1):
        for x in range(cx - r, cx + r + 1):
            d = (x - cx) ** 2 + (y - cy) ** 2
            if d <= (r + 0.5) ** 2:
                cv.put(x, y, rim if d > (r - 0.5) ** 2 else c)


def draw_channel(state):
    """A channel button: a lamp above a terminal, lit when the channel is used."""
    if state == 3:  # not available: flat, as the bar's background
        cv = Canvas(22, 30, GREY)
        cv.frame(0, 0, 21, 29, BLACK)
        return cv
    cv = Canvas(22, 30, SILVER)
    raised(cv)
    lamp = {0: GREY, 1: GREEN, 2: DKGREEN}[state]
    disc(cv, 10, 9, 5, lamp, BLACK)
    if state == 1:
        cv.put(9, 7, WHITE)
        cv.put(8, 8, WHITE)
    # the terminal the channel's wire goes to
    cv.fill(6, 18, 15, 24, GREY)
    cv.frame(6, 18, 15, 24, BLACK)
    cv.line(8, 21, 13, 21, BLACK)
    if state == 1:  # the current channel: a blue frame inside the edge
        cv.frame(2, 2, 19, 27, BLUE)
        cv.frame(3, 3, 18, 26, BLUE)
    return cv


def draw_less_more(state):
    """Less (states 0..2) and more (3..5): disabled, normal, pressed."""
    more = state >= 3
    kind = state % 3
    cv = Canvas(24, 32, SILVER)
    raised(cv, sunken=kind == 2)
    c = GREY if kind == 0 else BLACK
    shift = 1 if kind == 2 else 0
    cy = 15 + shift
    for i in range(7):  # a triangle pointing left (less) or right (more)
        x = (8 + i if not more else 15 - i) + shift
        cv.line(x, cy - i, x, cy + i, c)
    return cv


def host_bitmaps():
    out = os.path.join(HERE, "..", "hostsim")
    os.makedirs(os.path.join(out, "bitmaps"), exist_ok=True)
    rc = ["// Generated by scripts/make_bitmaps.py: the host's bitmaps of the channel bar,",
          "// one per button state.", ""]
    drawn = [("HOST_CHANNEL%d" % i, draw_channel(i)) for i in range(4)]
    drawn += [("HOST_LESSMORE%d" % i, draw_less_more(i)) for i in range(6)]
    for name, cv in drawn:
        with open(os.path.join(out, "bitmaps", name + ".bmp"), "wb") as f:
            f.write(cv.bmp())
        rc.append('%s BITMAP "bitmaps/%s.bmp"' % (name, name))
    with open(os.path.join(out, "bitmaps.rc"), "w", encoding="ascii") as f:
        f.write("\n".join(rc) + "\n")


def main():
    source = os.path.join(RES, "bitmaps", "bitmaps.txt")
    rc = ["// Generated by scripts/make_bitmaps.py from bitmaps/bitmaps.txt.", ""]
    for number, line in enumerate(open(source, encoding="ascii"), 1):
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        parts = line.split()
        if len(parts) < 4 or parts[1] not in ("icon", "symbol"):
            sys.exit("bitmaps.txt line %d: NAME icon|symbol GLYPH LABEL [CAPTION]" % number)
        name, size, kind, label = parts[:4]
        if size == "icon":
            cv = draw_icon(kind, label)
        else:
            cv = draw_symbol(kind, label, " ".join(parts[4:]))
        with open(os.path.join(RES, "bitmaps", name + ".bmp"), "wb") as f:
            f.write(cv.bmp())
        rc.append('%s BITMAP "bitmaps/%s.bmp"' % (name, name))
    with open(os.path.join(RES, "bitmaps.rc"), "w", encoding="ascii") as f:
        f.write("\n".join(rc) + "\n")
    host_bitmaps()


if __name__ == "__main__":
    main()
