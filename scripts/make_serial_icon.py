#!/usr/bin/env python3
"""Draws icon 1200 of the programming dialog: a module with a serial cable.

Writes resources/serial_module.ico (32 x 32, 16 colours); the generated file
is kept in the tree so the build needs no generator.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources", "serial_module.ico")

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, GREY, SILVER, GREEN, BLUE, YELLOW = 0, 8, 7, 10, 4, 11
SIZE = 32


def draw():
    px = [[None] * SIZE for _ in range(SIZE)]  # None: transparent

    def rect(x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                px[y][x] = c

    rect(4, 6, 27, 21, BLACK)     # module case
    rect(5, 7, 26, 20, SILVER)
    rect(7, 9, 16, 13, BLUE)      # label
    for i in range(4):            # terminals
        rect(8 + i * 5, 17, 10 + i * 5, 19, GREY)
    rect(21, 9, 23, 11, GREEN)    # status lamp
    rect(21, 13, 23, 15, YELLOW)
    rect(15, 22, 16, 29, BLACK)   # cable
    rect(10, 28, 21, 30, GREY)
    return px


def ico(px):
    rows = []
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(0, SIZE, 2):
            a = px[y][x] if px[y][x] is not None else 0
            b = px[y][x + 1] if px[y][x + 1] is not None else 0
            row.append((a << 4) | b)
        rows.append(bytes(row))
    xor = b"".join(rows)
    mask_rows = []
    for y in range(SIZE - 1, -1, -1):
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if px[y][x] is None else 0)
        mask_rows.append(struct.pack(">I", bits))
    mask = b"".join(mask_rows)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    image = header + palette + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack(
        "<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 22)
    return directory + image


if __name__ == "__main__":
    with open(OUT, "wb") as f:
        f.write(ico(draw()))
