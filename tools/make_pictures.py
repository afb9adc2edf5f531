#!/usr/bin/env python3
"""Draws Pelmar's icon and map bitmaps into resources/, each size drawn for its own grid.
The icon file holds 16, 20, 24, 32, 40 and 48 and 64 pixels (256 colours each) and 256 (PNG
with alpha): the sizes Windows asks for as caption and large icons at 96 to 192 DPI. The map
bitmaps are 16x16 for 96 DPI, and 20x20, 24x24 and 32x32 for 120, 144 and 192 DPI (24 bpp,
magenta background). Run it again after changing a picture; the outputs are kept in the repo
so that a build needs no Python."""
import math
import os
import struct
import sys
import zlib

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


def snap(v):
    """A design coordinate already scaled, rounded to the grid's nearest pixel edge."""
    return int(v + 0.5)


def icon_picture_at(size):
    """The icon drawn afresh for a size x size grid: the 32x32 drawing's shapes placed on the
    grid's own pixel edges, strokes as thick as the scale rounds to (never thinner than a
    pixel), so that each size is sharp rather than resampled. None is transparent."""
    if size == 32:
        return icon_picture()
    s = size / 32.0
    t = max(1, snap(s))
    px = [[None] * size for _ in range(size)]
    c = size / 2.0 - 0.5
    radius = size / 2.0 - 0.25
    for y in range(size):
        for x in range(size):
            r = math.hypot(x - c, y - c)
            if r <= radius:
                shade = int(40 + 60 * (1 - min(r, radius) / radius))
                px[y][x] = (20, 30, shade + 80) if r < radius - t else (10, 14, 60)
    gold = (240, 190, 40)
    stroke = max(2, snap(4 * s))
    stem_left, top, bottom = snap(9 * s), snap(7 * s), snap(26 * s)
    # The bowl: bars from the stem to its middle, and a half ring on the right.
    bowl_top, bowl_bottom = top, snap(18 * s)
    middle, right = snap(16 * s), snap(23 * s)
    ry, rx = (bowl_bottom - bowl_top) / 2.0, float(right - middle)
    cy = (bowl_top + bowl_bottom) / 2.0
    for y in range(top, bottom):
        for x in range(stem_left, stem_left + stroke):
            px[y][x] = gold
    for y in list(range(bowl_top, bowl_top + stroke)) + list(
        range(bowl_bottom - stroke, bowl_bottom)
    ):
        for x in range(stem_left, middle):
            px[y][x] = gold
    for y in range(bowl_top, bowl_bottom):
        for x in range(middle, right):
            dx, dy = x + 0.5 - middle, y + 0.5 - cy
            outer = (dx / rx) ** 2 + (dy / ry) ** 2 <= 1.0
            inner = (
                rx > stroke
                and ry > stroke
                and (dx / (rx - stroke)) ** 2 + (dy / (ry - stroke)) ** 2 < 1.0
            )
            if outer and not inner:
                px[y][x] = gold
    # The red cross: an X of an odd number of rows, strokes t2 wide.
    rows = snap(5 * s) | 1
    t2 = max(1, snap(2 * s))
    left = snap(23 * s - (rows - 1 + t2) / 2.0)
    first = snap(22.5 * s - rows / 2.0)
    for i in range(rows):
        d = i - (rows - 1) // 2
        for k in range(t2):
            px[first + i][left + (rows - 1) // 2 + d + k] = (220, 40, 40)
            px[first + i][left + (rows - 1) // 2 - d + k] = (220, 40, 40)
    return px


def icon_picture_smooth(size, over=4):
    """The large icon with smooth edges: drawn for a grid over times finer, each pixel then
    the mean of its over x over cells; alpha is the share of cells inside the disc."""
    fine = icon_picture_at(size * over)
    px = []
    for y in range(size):
        row = []
        for x in range(size):
            cells = [fine[y * over + j][x * over + i] for j in range(over) for i in range(over)]
            inside = [c for c in cells if c is not None]
            if not inside:
                row.append((0, 0, 0, 0))
                continue
            mean = tuple(int(sum(c[k] for c in inside) / len(inside) + 0.5) for k in range(3))
            row.append(mean + (int(255 * len(inside) / len(cells) + 0.5),))
        px.append(row)
    return px


def png_bytes(px):
    """An RGBA picture as PNG, written with zlib only."""
    h, w = len(px), len(px[0])
    raw = bytearray()
    for row in px:
        raw.append(0)
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        return (
            struct.pack(">I", len(data))
            + kind
            + data
            + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
        )

    head = struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)
    return (
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", head)
        + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
        + chunk(b"IEND", b"")
    )


def ico8_image(px):
    """One icon image of 256 colours: header, palette, colour indices and the AND mask."""
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
        if size % 8:
            line.append(bits << (8 - size % 8))
        line += b"\0" * ((4 - len(line) % 4) % 4)
        mask += line
    info = struct.pack(
        "<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, len(xor) + len(mask), 0, 0, 256, 0
    )
    return info + pal + xor + mask


def write_ico(path, images):
    """images: (size, bits per pixel, bytes), smallest first; 256 is written as 0."""
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, bits, data in images:
        entries += struct.pack(
            "<BBBBHHII", size % 256, size % 256, 0, 0, 1, bits, len(data), offset
        )
        offset += len(data)
    with open(path, "wb") as f:
        f.write(head + entries + b"".join(data for _, _, data in images))


ICON_SIZES = (16, 20, 24, 32, 40, 48, 64)


if __name__ == "__main__":
    write_bmp24(os.path.join(OUT, "map.bmp"), map_picture())
    write_bmp24(os.path.join(OUT, "map-20.bmp"), map_picture_at(20))
    write_bmp24(os.path.join(OUT, "map-24.bmp"), map_picture_at(24))
    write_bmp24(os.path.join(OUT, "map-32.bmp"), map_picture_at(32))
    images = [(size, 8, ico8_image(icon_picture_at(size))) for size in ICON_SIZES]
    images.append((256, 32, png_bytes(icon_picture_smooth(256))))
    write_ico(os.path.join(OUT, "pelmar.ico"), images)
