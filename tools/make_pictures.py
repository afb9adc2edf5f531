#!/usr/bin/env python3
"""Draws Pelmar's icon (32x32, 256 colours) and map bitmaps (16x16, and 24x24 and 32x32
for 144 and 192 DPI; 24 bpp, magenta background) into resources/. Run it again after
changing a picture; the outputs are kept in the repo so that a build needs no Python."""
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources")

MAGENTA = (255, 0, 255)


def map_picture():
    """A folded paper map: tan sheet, blue river, red cross for the spot."""
    px = [[MAGENTA] * 16 for _ in range(16)]
    for y in range(2, 14):
        for x in range(1, 15):
            fold = (x - 1) // 5 % 2
            px[y][x] = (222, 196, 140) if fold == 0 else (200, 172, 116)
    for x in range(1, 15):
        px[2][x] = px[13][x] = (96, 72, 40)
    for y in range(2, 14):
        px[y][1] = px[y][14] = (96, 72, 40)
    for x in range(2, 14):
        y = int(round(8 + 2.5 * math.sin(x / 2.0)))
        px[y][x] = (40, 90, 200)
    for d in range(-2, 3):
        px[6 + d][10 + d] = (200, 30, 30)
        px[6 + d][10 - d] = (200, 30, 30)
    return px


def map_picture_at(size):
    """The same map drawn afresh at size x size for higher DPI: the 16x16 drawing's
    coordinates scaled, lines as thick as the scale rounds to."""
    s = size / 16.0
    t = max(1, int(s + 0.5))
    px = [[MAGENTA] * size for _ in range(size)]
    left, right = int(1 * s + 0.5), int(15 * s + 0.5)
    top, bottom = int(2 * s + 0.5), int(14 * s + 0.5)
    for y in range(top, bottom):
        for x in range(left, right):
            fold = int((x + 0.5) / s - 1) // 5 % 2
            edge = x < left + t or x >= right - t or y < top + t or y >= bottom - t
            px[y][x] = (96, 72, 40) if edge else ((222, 196, 140) if fold == 0 else (200, 172, 116))
    for x in range(left + t, right - t):
        cell = (x + 0.5) / s - 0.5
        centre = (8 + 2.5 * math.sin(cell / 2.0) + 0.5) * s
        first = int(centre - t / 2.0 + 0.5)
        for y in range(first, first + t):
            px[y][x] = (40, 90, 200)
    for y in range(size):
        for x in range(size):
            dx, dy = (x + 0.5) / s - 10.5, (y + 0.5) / s - 6.5
            if abs(dy) <= 2.5 and (abs(dx - dy) < t / s * 0.5 or abs(dx + dy) < t / s * 0.5):
                px[y][x] = (200, 30, 30)
    return px


def write_bmp24(path, px):
    h, w = len(px), len(px[0])
    row = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytearray()
        for x in range(w):
            r, g, b = px[y][x]
            line += bytes((b, g, r))
        line += b"\0" * (row - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def icon_picture():
    """A dark blue disc with a gold P and a red cross, transparent outside the disc."""
    size = 32
    px = [[None] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            dx, dy = x - 15.5, y - 15.5
            r = math.hypot(dx, dy)
            if r <= 15.5:
                shade = int(40 + 60 * (1 - r / 15.5))
                px[y][x] = (20, 30, shade + 80) if r < 14.5 else (10, 14, 60)
    gold = (240, 190, 40)
    for y in range(7, 26):
        for x in range(9, 13):
            px[y][x] = gold
    for y in range(7, 18):
        for x in range(12, 23):
            cx, cy = 16.0, 12.0
            rr = math.hypot((x - cx) * 0.9, y - cy)
            if 3.0 <= rr <= 6.2 and x >= 12:
                px[y][x] = gold
    for y in range(7, 11):
        for x in range(12, 17):
            px[y][x] = gold
    for y in range(14, 18):
        for x in range(12, 17):
            px[y][x] = gold
    for d in range(-2, 3):
        for t in (0, 1):
            px[22 + d][22 + d + t] = (220, 40, 40)
            px[22 + d][22 - d + t] = (220, 40, 40)
    return px


def write_ico8(path, px):
    size = len(px)
    palette = []
    for row in px:
        for c in row:
            if c is not None and c not in palette:
                palette.append(c)
    if len(palette) > 255:
        sys.exit("icon uses more than 255 colours")
    palette = [(0, 0, 0)] + palette
    pal = bytearray()
    for r, g, b in palette + [(0, 0, 0)] * (256 - len(palette)):
        pal += bytes((b, g, r, 0))
    xor = bytearray()
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            c = px[y][x]
            xor.append(0 if c is None else palette.index(c))
        bits = 0
        line = bytearray()
        for x in range(size):
            bits = (bits << 1) | (1 if px[y][x] is None else 0)
            if x % 8 == 7:
                line.append(bits)
                bits = 0
        line += b"\0" * ((4 - len(line) % 4) % 4)
        mask += line
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, len(xor) + len(mask), 0, 0, 256, 0)
    image = info + pal + xor + mask
    head = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(head + entry + image)


if __name__ == "__main__":
    write_bmp24(os.path.join(OUT, "map.bmp"), map_picture())
    write_bmp24(os.path.join(OUT, "map-24.bmp"), map_picture_at(24))
    write_bmp24(os.path.join(OUT, "map-32.bmp"), map_picture_at(32))
    write_ico8(os.path.join(OUT, "pelmar.ico"), icon_picture())
