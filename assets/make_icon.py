#!/usr/bin/env python3
"""Draws hdpatch.ico: white "HD" on a rounded blue-green tile, one 64 x 64 image at
32 bits per pixel with alpha. Run it from anywhere; it rewrites the .ico beside itself."""

import math
import os
import struct

SIZE = 64
SAMPLES = 4  # per axis, for smooth edges


def rounded_rect(x, y, left, top, right, bottom, radius):
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def tile(x, y):
    return rounded_rect(x, y, 2, 2, 62, 62, 12)


def letters(x, y):
    # H: two stems and a bar.
    if 10 <= x <= 17 and 19 <= y <= 45:
        return True
    if 24 <= x <= 31 and 19 <= y <= 45:
        return True
    if 17 <= x <= 24 and 28.5 <= y <= 35.5:
        return True
    # D: a stem joined to a half disc, with a half-disc hole.
    outer = (36 <= x <= 41 and 19 <= y <= 45) or (x > 41 and math.hypot(x - 41, y - 32) <= 13)
    hole = x >= 43 and math.hypot(max(x - 42, 0), y - 32) <= 6
    return outer and not hole


def colour(x, y):
    """The tile's gradient, from a deep blue at the top to a green-teal at the bottom."""
    t = y / SIZE
    top, bottom = (30, 96, 200), (20, 160, 120)
    return tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))


def pixel(px, py):
    covered = ink = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            x = px + (sx + 0.5) / SAMPLES
            y = py + (sy + 0.5) / SAMPLES
            if tile(x, y):
                covered += 1
                if letters(x, y):
                    ink += 1
    n = SAMPLES * SAMPLES
    if covered == 0:
        return (0, 0, 0, 0)
    base = colour(px, py)
    mix = ink / covered
    rgb = tuple(round(c + (255 - c) * mix) for c in base)
    return rgb + (round(255 * covered / n),)


def main():
    rows = []
    for y in range(SIZE - 1, -1, -1):  # bottom-up, as bitmaps are stored
        row = b""
        for x in range(SIZE):
            r, g, b, a = pixel(x, y)
            row += bytes((b, g, r, a))
        rows.append(row)
    colour_bits = b"".join(rows)
    mask = b""
    for y in range(SIZE - 1, -1, -1):
        bits = 0
        for x in range(SIZE):
            if pixel(x, y)[3] == 0:
                bits |= 1 << (SIZE - 1 - x)
        mask += bits.to_bytes(SIZE // 8, "big")
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                         len(colour_bits) + len(mask), 0, 0, 0, 0)
    image = header + colour_bits + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "hdpatch.ico")
    with open(path, "wb") as out:
        out.write(directory + entry + image)


if __name__ == "__main__":
    main()
